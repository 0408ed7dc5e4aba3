// The statistics screen's choosers: the region chooser on the screen's backdrop, whose
// rectangles light up under the pointer, and the four variable panels (geography, land use,
// economy, people) that open beside the map and run their own loop until an item is picked.
#include <algorithm>

#include "core/core.h"
#include "core/panel_layout.h"
#include "imaging/imaging.h"
#include "stats/stats_screen.h"

// [SECTION] Regions

static const Rect kRegionRects[kStatRegions] = {
    {107, 319, 177, 389}, {189, 252, 331, 359}, {297, 217, 446, 329}, {384, 194, 487, 272}, {470, 261, 596, 358},
    {331, 174, 423, 246}, {465, 202, 586, 294}, {464, 155, 596, 255}, {106, 154, 281, 284},
};

static struct {
    Surface* highlight[kStatRegions];
    int shown = -1;
} regions;

Rect RegionHotRect(int region) {
    Rect r = kRegionRects[std::clamp(region, 0, kStatRegions - 1)];
    if (!smallLayout) return r;
    return Rect{(int)(r.left * 0.8), (int)(r.top * 0.8), (int)(r.right * 0.8), (int)(r.bottom * 0.8)};
}

int RegionAt(int x, int y) {
    for (int i = 0; i < kStatRegions; i++) {
        Rect r = RegionHotRect(i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}

void ReleaseRegionHighlights() {
    for (Surface*& s : regions.highlight) {
        if (s) DeleteSurface(s);
        s = nullptr;
    }
    regions.shown = -1;
}

int LoadRegionHighlights() {
    ReleaseRegionHighlights();
    for (int i = 0; i < kStatRegions; i++) {
        char name[24];
        snprintf(name, sizeof name, "menu\\%d.bmp", 96 + i);
        if (!LoadBMPFromFile(name, &regions.highlight[i])) {
            ReleaseRegionHighlights();
            return 0;
        }
    }
    return 1;
}

void HighlightRegion(int region) {
    Surface* w = WindowSurface();
    if (!w || region == regions.shown) return;
    if (regions.shown >= 0 && hbmVirtual) {
        Rect r = RegionHotRect(regions.shown);
        Blit(w, r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
    }
    regions.shown = -1;
    if (region < 0 || region >= kStatRegions || !regions.highlight[region]) return;
    Rect r = RegionHotRect(region);
    Surface* h = regions.highlight[region];
    Blit(w, r.left, r.top, std::min(SurfaceWidth(h), r.right - r.left), std::min(SurfaceHeight(h), r.bottom - r.top), h, 0, 0);
    regions.shown = region;
}

// [SECTION] Variable choosers

namespace {

enum Look { LOOK_NORMAL = 0, LOOK_HOVER = 1, LOOK_PRESSED = 2 };

struct VariablePanel {
    int button;
    const char* looks[3];
    int rows;  // of the panel's drawing
    int items[18];
    int count;
};

const VariablePanel kPanels[4] = {
    {78, {"menu\\95.bmp", "menu\\95r.bmp", "menu\\95h.bmp"}, kVariableChooserRowsSmall, {1, 4, 13, 12, 11}, 5},
    {79, {"menu\\93.bmp", "menu\\93r.bmp", "menu\\93h.bmp"}, kVariableChooserRowsSmall, {1, 2, 3, 4, 13}, 5},
    {81, {"menu\\94.bmp", "menu\\94r.bmp", "menu\\94h.bmp"}, kVariableChooserRowsSmall, {25, 26, 27, 28, 29, 30, 31, 32, 33, 34}, 10},
    {80, {"menu\\92.bmp", "menu\\92r.bmp", "menu\\92h.bmp"}, kVariableChooserRowsLarge,
     {8, 9, 10, 5, 6, 7, 21, 22, 23, 34, 24, 19, 16, 17, 18, 14, 15, 20}, 18},
};

struct OpenChooser {
    const VariablePanel* panel;
    Point at;
    int width, height;
    Surface* look[3] = {};
    int marked = -1;
    ChooserPointer pointer;
};

enum { kStillOpen = -1, kCancelled = -2 };

}  // namespace

int ChooserVariables(int button, const int** items) {
    for (const VariablePanel& p : kPanels) {
        if (p.button != button) continue;
        *items = p.items;
        return p.count;
    }
    return 0;
}

static void ReleaseLooks(OpenChooser& c) {
    for (Surface*& s : c.look) {
        if (s) DeleteSurface(s);
        s = nullptr;
    }
}

static Rect ItemRect(int item) { return LayoutArea(VariableChooserRow(item), smallLayout); }

static void DrawPanel(const OpenChooser& c) {
    Surface* w = WindowSurface();
    if (!w) return;
    Blit(w, c.at.x, c.at.y, c.width, c.height, c.look[LOOK_NORMAL], 0, 0);
    for (int i = 0; i < c.panel->count; i++) {
        int look = i == c.pointer.pressed || i == c.marked ? LOOK_PRESSED : i == c.pointer.hover ? LOOK_HOVER : LOOK_NORMAL;
        if (look == LOOK_NORMAL) continue;
        Rect a = ItemRect(i);
        Blit(w, c.at.x + a.left, c.at.y + a.top, a.right - a.left, a.bottom - a.top, c.look[look], a.left, a.top);
    }
}

static int ItemAt(const OpenChooser& c, int x, int y) {
    x -= c.at.x;
    y -= c.at.y;
    for (int i = 0; i < c.panel->count; i++) {
        Rect a = ItemRect(i);
        if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return i;
    }
    return -1;
}

static int Inside(const OpenChooser& c, int x, int y) {
    return x >= c.at.x && x < c.at.x + c.width && y >= c.at.y && y < c.at.y + c.height;
}

// Picks on a release over the item pressed; a click beside the panel closes it.
static int HandleMessage(OpenChooser& c, const Message& m) {
    switch (m.kind) {
    case MSG_KEYDOWN: return m.wParam == VK_ESCAPE ? kCancelled : kStillOpen;
    case MSG_LBUTTONDOWN:
        if (!Inside(c, MessageX(m), MessageY(m))) return kCancelled;
        [[fallthrough]];
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONUP: {
        int item = ItemAt(c, MessageX(m), MessageY(m));
        int tracked = TrackChooserPointer(&c.pointer, m, item);
        if (tracked == kPointerClicked) return item;
        if (tracked == kPointerRedraw) DrawPanel(c);
        return kStillOpen;
    }
    case MSG_PAINT:
        PaintStatisticsScreen(m.paintRect);
        DrawPanel(c);
        return kStillOpen;
    default: return kStillOpen;
    }
}

int ChooseStatVariable(int button, int current) {
    const VariablePanel* panel = nullptr;
    for (const VariablePanel& p : kPanels)
        if (p.button == button) panel = &p;
    Surface* w = WindowSurface();
    if (!panel || !w) return 0;
    OpenChooser c;
    c.panel = panel;
    for (int i = 0; i < 3; i++) {
        if (!LoadBMPFromFile(panel->looks[i], &c.look[i])) {
            ReleaseLooks(c);
            return 0;
        }
    }
    c.at = ChooserPanelPosition(545, 45);
    c.width = SurfaceWidth(c.look[0]);
    c.height = SurfaceHeight(c.look[0]);
    for (int i = 0; i < panel->count; i++)
        if (panel->items[i] == current) c.marked = i;
    PlayCue(CUE_SLIDE);
    DrawPanel(c);
    int result = kStillOpen;
    while (result == kStillOpen) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);  // left for the screen's own loop
            result = kCancelled;
            break;
        }
        result = HandleMessage(c, m);
    }
    PlayCue(CUE_SLIDE);
    if (hbmVirtual) Blit(w, c.at.x, c.at.y, c.width, c.height, hbmVirtual, c.at.x, c.at.y);
    ReleaseLooks(c);
    return result >= 0 ? panel->items[result] : 0;
}
