// The flyby's vegetation: the global class raster (2160 x 1080 bytes, a sixth of a degree a
// cell) sampled under the 512 x 512 window, then cleared where trees cannot stand. One raster
// row is read per distinct row the window meets, some 28 of them.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "flyby/flyby_internal.h"

namespace {

constexpr int kClassColumns = 2160, kClassRows = 1080;
// The window's width in class cells: 512 km of the 40080 km world over 2160 cells.
constexpr double kWindowClassCells = 27.592814371257482;

int ClampTo(int v, int most) { return v < 0 ? 0 : v > most ? most : v; }

}  // namespace

int FlybyClassRow(int i, float y) {
    double r = i / (double)kFlybyGrid * kWindowClassCells + (y - 256.0) / 20040.0 * kClassRows;
    return ClampTo((int)r, kClassRows - 1);
}

int FlybyClassColumn(int j, float x) {
    double c = j / (double)kFlybyGrid * kWindowClassCells + (x - 256.0) / 40080.0 * kClassColumns;
    return ClampTo((int)c, kClassColumns - 1);
}

int ReadFlybyClasses(std::vector<uint8_t>* classes, float x, float y) {
    FILE* f = OpenDataFile(kFlybyClassRaster, "rb");
    if (!f) return 0;
    classes->assign((size_t)kFlybyGrid * kFlybyGrid, 0);
    std::vector<uint8_t> row(kClassColumns, 0);
    int columns[kFlybyGrid];
    for (int j = 0; j < kFlybyGrid; j++) columns[j] = FlybyClassColumn(j, x);
    int lastRow = -1, rowsRead = 0;
    for (int i = 0; i < kFlybyGrid; i++) {
        int r = FlybyClassRow(i, y);
        if (r != lastRow) {
            rowsRead++;
            // A raster cut short reads as class 0 where it ends.
            std::fill(row.begin(), row.end(), 0);
            if (fseek(f, (long)r * kClassColumns, SEEK_SET) == 0) (void)!fread(row.data(), 1, row.size(), f);
            lastRow = r;
        }
        uint8_t* out = classes->data() + (size_t)i * kFlybyGrid;
        for (int j = 0; j < kFlybyGrid; j++) out[j] = row[(size_t)columns[j]];
    }
    fclose(f);
    return rowsRead;
}

void ClearFlybyClasses(std::vector<uint8_t>* classes, const std::vector<float>& heights,
                       const std::vector<uint8_t>& colours, const ColourRef palette[256]) {
    for (int i = 0; i < kFlybyGrid; i++)
        for (int j = 0; j < kFlybyGrid; j++) {
            size_t at = (size_t)i * kFlybyGrid + j;
            ColourRef c = palette[colours[at]];
            int red = ColourRed(c), green = ColourGreen(c), blue = ColourBlue(c);
            int lowGround = heights[at] < 1.0f;                  // less than 500 m above the lowest cell
            int water = blue > red && blue > green;
            int snow = red >= 181 && blue >= 181;
            int cliff = j >= 1 && std::fabs(heights[at] - heights[at - 1]) > 0.3f;
            if (lowGround || water || snow || cliff) (*classes)[at] = 0;
        }
}

int ExtractFlybyClasses(FlybyGrids* g, float x, float y) {
    std::vector<uint8_t> classes;
    if (!ReadFlybyClasses(&classes, x, y)) {
        ShowMessage("Cannot open file %s", kFlybyClassRaster);
        return 0;
    }
    size_t cells = (size_t)kFlybyGrid * kFlybyGrid;
    // Without the palette the imagery step has said so already; the colour rules wait for it.
    if (g->heights.size() == cells && g->colours.size() == cells && FlybyPaletteLoaded())
        ClearFlybyClasses(&classes, g->heights, g->colours, FlybyPalette());
    g->classes.swap(classes);
    return 1;
}
