// The layout of every panel button. Rectangles of the tabs, the bottom row, the 2D map's
// column and zoom cluster, the room and the product pages have fixed places; the other
// screens' panels are placed here around their hot spots, and the artwork builder draws every
// button where this table puts it.
#include "core/layout_table.h"

#include <cstdio>
#include <cstring>

static constexpr uint32_t kAllViews = ModeBit(3) | ModeBit(4) | ModeBit(5) | ModeBit(7) | ModeBit(8) | ModeBit(13);
static constexpr uint32_t kProducts = ModeBit(9) | ModeBit(10) | ModeBit(11) | ModeBit(12);
static constexpr uint32_t kProductPages = ModeBit(9) | ModeBit(10) | ModeBit(11);

const ButtonLayout kButtonLayout[kButtonCount] = {
    // View tabs along the top.
    {1, 253, 2, 99, 20, "2D Map", kAllViews, "menu", 0},
    {2, 363, 2, 103, 20, "3D Terrain", kAllViews, "menu", 0},
    {3, 475, 2, 132, 20, "Statistics", kAllViews, "menu", 0},
    {4, 614, 2, 90, 20, "Flyby", kAllViews, "menu", 0},
    {5, 711, 2, 86, 20, "Globe", kAllViews, "menu", 0},
    // Bottom row: each button ends 3 pixels before the next one starts.
    {6, 249, 579, 64, 19, "Room", kAllViews, "menu", 0},
    {7, 316, 579, 46, 19, "Settings", kAllViews, "menu", 0},
    {8, 365, 579, 77, 19, "Prompts", kAllViews, "menu", 1},
    {9, 445, 579, 67, 19, "Manual", kAllViews, "menu", 0},
    {10, 515, 579, 75, 19, "Contact", kAllViews, "menu", 0},
    {11, 593, 579, 54, 19, "Web", kAllViews, "menu", 0},
    {12, 650, 579, 38, 19, "Print", kAllViews | ModeBit(6), "menu", 0},
    {13, 691, 579, 66, 19, "Printer", kAllViews | ModeBit(6), "menu", 0},
    {14, 760, 579, 37, 19, "Demo", kAllViews, "menu", 0},
    // 2D map: the command column, the legend and the zoom cluster.
    {15, 695, 48, 102, 20, "Background", ModeBit(3), "menu", 0},
    {16, 695, 71, 102, 20, "Overlays", ModeBit(3), "menu", 0},
    {17, 695, 95, 102, 20, "Find Place", ModeBit(3), "menu", 0},
    {18, 695, 120, 102, 20, "Measure", ModeBit(3), "menu", 0},
    {19, 695, 144, 102, 20, "My Places", ModeBit(3), "menu", 0},
    {20, 695, 191, 102, 20, "Elevation Colors", ModeBit(3), "menu", 0},
    {21, 706, 499, 34, 30, "", ModeBit(3), "menu", 0},
    {22, 745, 503, 22, 26, "+", ModeBit(3), "menu", 0},
    {23, 771, 503, 22, 26, "-", ModeBit(3), "menu", 0},
    {24, 706, 530, 38, 34, "Center", ModeBit(3), "menu", 0},
    {25, 745, 531, 44, 32, "World", ModeBit(3), "menu", 0},
    // 3D terrain: commands, water level, grid and exaggeration steps, camera controls.
    {26, 695, 48, 102, 20, "Display Type", ModeBit(4), "menu", 0},
    {27, 695, 71, 102, 20, "Panorama", ModeBit(4), "menu", 0},
    {28, 695, 95, 102, 20, "Cross-Section", ModeBit(4), "menu", 0},
    {29, 695, 119, 102, 20, "Names", ModeBit(4), "menu", 0},
    {30, 695, 143, 102, 20, "Elevation Colors", ModeBit(4), "menu", 0},
    {31, 695, 353, 102, 20, "Water Level", ModeBit(4), "menu", 0},
    {32, 775, 418, 22, 20, "+", ModeBit(4), "menu", 0},
    {33, 729, 418, 22, 20, "-", ModeBit(4), "menu", 0},
    {34, 775, 441, 22, 20, "+", ModeBit(4), "menu", 0},
    {35, 729, 441, 22, 20, "-", ModeBit(4), "menu", 0},
    {36, 749, 491, 19, 20, "+", ModeBit(4), "menu", 0},
    {37, 768, 491, 18, 20, "-", ModeBit(4), "menu", 0},
    {38, 706, 521, 38, 36, "Shift", ModeBit(4), "menu", 0},
    // The rotation cluster lights up as one: all four share the cluster and button 39's images.
    {39, 750, 521, 36, 36, "Rotate", ModeBit(4), "menu", 0},
    {40, 750, 521, 36, 36, "Rotate", ModeBit(4), "menu", 0},
    {41, 750, 521, 36, 36, "Rotate", ModeBit(4), "menu", 0},
    {42, 750, 521, 36, 36, "Rotate", ModeBit(4), "menu", 0},
    {43, 706, 489, 38, 24, "Reset", ModeBit(4), "menu", 0},
    // Flyby.
    {44, 695, 47, 102, 20, "Display", ModeBit(8), "menu", 0},
    {45, 695, 70, 102, 20, "Joystick", ModeBit(8), "menu", 0},
    {46, 695, 93, 102, 20, "Names", ModeBit(8), "menu", 0},
    {47, 695, 116, 102, 20, "New Area", ModeBit(8) | ModeBit(13), "menu", 0},
    // Globe: data, legend, satellites, sizes, rotation and the overlay player.
    {48, 695, 46, 102, 20, "Data Type", ModeBit(5), "menu", 0},
    {49, 695, 69, 102, 20, "Names", ModeBit(5), "menu", 0},
    {50, 695, 92, 102, 20, "Elevation Colors", ModeBit(5), "menu", 0},
    {51, 695, 296, 102, 20, "Orbits", ModeBit(5), "menu", 0},
    {52, 721, 319, 52, 20, "Sat Info", ModeBit(5), "menu", 0},
    {53, 775, 319, 22, 20, ">", ModeBit(5), "menu", 0},
    {54, 695, 319, 24, 20, "<", ModeBit(5), "menu", 0},
    {55, 695, 246, 102, 20, "Ocean Level", ModeBit(5), "menu", 0},
    {56, 697, 408, 22, 22, "", ModeBit(5), "menu", 0},
    {57, 722, 408, 22, 22, "", ModeBit(5), "menu", 0},
    {58, 747, 408, 22, 22, "", ModeBit(5), "menu", 0},
    {59, 772, 408, 22, 22, "", ModeBit(5), "menu", 0},
    {60, 743, 508, 26, 22, "+", ModeBit(5), "menu", 0},
    {61, 743, 456, 26, 22, "<", ModeBit(5), "menu", 0},
    {62, 771, 456, 26, 22, ">", ModeBit(5), "menu", 0},
    {63, 771, 508, 26, 22, "-", ModeBit(5), "menu", 0},
    {64, 743, 481, 54, 24, "Spin", ModeBit(5), "menu", 0},
    {65, 769, 538, 21, 21, "", ModeBit(5), "menu", 0},
    // The room's hot objects; 69 has no object.
    {66, 21, 312, 115, 48, "Web", ModeBit(1), "room", 0},
    {67, 78, 408, 87, 46, "Mail", ModeBit(1), "room", 0},
    {68, 406, 275, 58, 49, "Quiz", ModeBit(1), "room", 0},
    {69, 0, 0, 0, 0, "", ModeBit(1), "room", 0},
    {70, 574, 383, 126, 36, "Products", ModeBit(1), "room", 0},
    {71, 537, 453, 97, 31, "Orvek", ModeBit(1), "room", 0},
    {72, 589, 489, 118, 28, "Pelandor", ModeBit(1), "room", 0},
    {73, 142, 131, 140, 41, "Start", ModeBit(1), "room", 0},
    {74, 154, 210, 91, 47, "Exit", ModeBit(1), "room", 0},
    // Statistics: views and the variable categories.
    {75, 694, 48, 102, 19, "Flat Map", ModeBit(7), "menu", 0},
    {76, 694, 69, 102, 19, "3D Chart", ModeBit(7), "menu", 0},
    {77, 694, 90, 102, 19, "Table", ModeBit(7), "menu", 0},
    {78, 694, 131, 102, 20, "Geography", ModeBit(7), "menu", 0},
    {79, 694, 154, 102, 20, "Land Use", ModeBit(7), "menu", 0},
    {80, 694, 200, 102, 20, "People", ModeBit(7), "menu", 0},
    {81, 694, 177, 102, 20, "Economy", ModeBit(7), "menu", 0},
    // Text viewer: its control panel at the bottom left.
    {82, 112, 568, 96, 24, "Close", ModeBit(6), "menu", 0},
    {83, 144, 510, 64, 24, "Index", ModeBit(6), "menu", 0},
    {84, 8, 510, 64, 24, "Back", ModeBit(6), "menu", 0},
    {85, 76, 510, 64, 24, "Next", ModeBit(6), "menu", 0},
    {86, 8, 539, 96, 24, "Search", ModeBit(6), "menu", 0},
    // Product and information pages; the product cards show the viewer (90), its builder (91)
    // and the open data (92).
    {87, 309, 552, 188, 39, "Back to Room", kProducts, "room", 0},
    {88, 521, 557, 120, 30, "Print", kProducts, "room", 0},
    {89, 651, 557, 130, 30, "Printer Setup", kProducts, "room", 0},
    {90, 534, 77, 150, 150, "Mundora", kProductPages, "room", 0},
    {91, 128, 77, 150, 150, "Volume Builder", kProductPages, "room", 0},
    {92, 332, 77, 150, 150, "Open Data", kProductPages, "room", 0},
    {93, 694, 376, 102, 20, "Countries", ModeBit(7), "menu", 0},
    {94, 694, 399, 102, 20, "Continents", ModeBit(7), "menu", 0},
    {95, 5, 4, 14, 14, "", kAllViews | ModeBit(6), "menu", 0},
    {96, 695, 290, 102, 20, "Legend", ModeBit(3), "menu", 0},
    {97, 695, 342, 102, 20, "Visible Now", ModeBit(5), "menu", 0},
};

void ScaleButtonRect(const ButtonLayout& b, int smallLayout, int* x, int* y, int* w, int* h) {
    if (!smallLayout) {
        *x = b.x, *y = b.y, *w = b.w, *h = b.h;
        return;
    }
    *x = b.x * 8 / 10, *y = b.y * 8 / 10, *w = b.w * 8 / 10, *h = b.h * 8 / 10;
}

// Buttons 93-95 give way to the statistics choosers, whose panels are named "menu\92.bmp" to
// "menu\95.bmp" with their r and h variants; the rotation cluster shares button 39's pair.
int ButtonImageName(int id, char kind, int state, char* out, int size) {
    const ButtonLayout* b = FindButtonLayout(id);
    if (!b || b->w <= 0 || b->h <= 0) return 0;
    if (kind != 'r' && kind != 'h' && kind != 'n') return 0;
    if (b->twoState != (state >= 0) || (state > 1)) return 0;
    if (kind == 'n' && !b->twoState) return 0;
    int owner = id >= 40 && id <= 42 ? 39 : id;
    const char* prefix = strcmp(b->folder, "menu") == 0 && owner >= 93 && owner <= 95 ? "b" : "";
    int n = state >= 0 ? snprintf(out, size, "%s\\%s%d%c%d.bmp", b->folder, prefix, owner, kind, state)
                       : snprintf(out, size, "%s\\%s%d%c.bmp", b->folder, prefix, owner, kind);
    return n > 0 && n < size;
}
