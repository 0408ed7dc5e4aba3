// The globe's data-type chooser: imagery, relief, elevation and the five climate overlays, with
// a small preview of the highlighted entry. Like the other choosers it runs its own loop on the
// message queue while open; the globe screen applies the entry it returns.
#include <algorithm>
#include <cstdio>

#include "core/core.h"
#include "core/panel_layout.h"
#include "globe/globe.h"
#include "imaging/imaging.h"

namespace {

enum Look { LOOK_NORMAL = 0, LOOK_MARKED = 1, LOOK_HOVER = 2, LOOK_PRESSED = 3 };
constexpr int kEntries = 8;
constexpr int kConfirmArea = kEntries;  // areas 0-7 are the entry rows
enum { kStillOpen = 0, kConfirmed = 1, kCancelled = 2 };

struct DataChooser {
    Point at;
    int width, height;
    Surface* look[4] = {};
    Surface* preview = nullptr;  // of the highlighted entry; none when its picture is missing
    int highlighted;
    ChooserPointer pointer;
};

}  // namespace

static const char* const kLookNames[4] = {"menu\\68.bmp", "menu\\68m.bmp", "menu\\68r.bmp", "menu\\68h.bmp"};

static Rect AreaRect(int area) {
    return LayoutArea(area == kConfirmArea ? kDataChooserConfirm : kDataChooserRows[area], smallLayout);
}

static void ReleasePictures(DataChooser& c) {
    for (Surface*& s : c.look) {
        if (s) DeleteSurface(s);
        s = nullptr;
    }
    if (c.preview) DeleteSurface(c.preview);
    c.preview = nullptr;
}

static int LoadLooks(DataChooser& c) {
    for (int i = 0; i < 4; i++) {
        if (!LoadBMPFromFile(kLookNames[i], &c.look[i])) {
            ReleasePictures(c);
            return 0;
        }
    }
    return 1;
}

// A missing preview has been reported by the loader; its place keeps the panel's own look.
static void LoadPreview(DataChooser& c) {
    if (c.preview) DeleteSurface(c.preview);
    c.preview = nullptr;
    char name[32];
    snprintf(name, sizeof name, "menu\\71%c.bmp", 'a' + c.highlighted);
    LoadBMPFromFile(name, &c.preview);
}

static int AreaLook(const DataChooser& c, int area) {
    if (area == c.pointer.pressed) return LOOK_PRESSED;
    if (area == c.pointer.hover) return LOOK_HOVER;
    return area == c.highlighted ? LOOK_MARKED : LOOK_NORMAL;
}

static void DrawPanel(const DataChooser& c) {
    Surface* win = WindowSurface();
    if (!win) return;
    Blit(win, c.at.x, c.at.y, c.width, c.height, c.look[LOOK_NORMAL], 0, 0);
    for (int area = 0; area <= kConfirmArea; area++) {
        int look = AreaLook(c, area);
        if (look == LOOK_NORMAL) continue;
        Rect a = AreaRect(area);
        Blit(win, c.at.x + a.left, c.at.y + a.top, a.right - a.left, a.bottom - a.top, c.look[look], a.left, a.top);
    }
    if (!c.preview) return;
    Rect p = LayoutArea(kDataChooserPreview, smallLayout);
    int w = std::min(SurfaceWidth(c.preview), p.right - p.left);
    int h = std::min(SurfaceHeight(c.preview), p.bottom - p.top);
    Blit(win, c.at.x + p.left, c.at.y + p.top, w, h, c.preview, 0, 0);
}

static int AreaAt(const DataChooser& c, int x, int y) {
    x -= c.at.x;
    y -= c.at.y;
    for (int area = 0; area <= kConfirmArea; area++) {
        Rect a = AreaRect(area);
        if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return area;
    }
    return -1;
}

static void RedrawGlobe() {
    if (!GlobeBuffersAllocated()) return;
    Surface* win = WindowSurface();
    SetClipRect(win, mapRect);
    DrawGlobe(win, mapRect.left, mapRect.top, globeView.centreLongitude, globeView.imageType);
    ClearClip(win);
}

// A click on an entry highlights it (with its preview); one on the confirm area confirms.
static int HandleClick(DataChooser& c, int area) {
    if (area == kConfirmArea) return kConfirmed;
    if (area != c.highlighted) {
        c.highlighted = area;
        LoadPreview(c);
    }
    DrawPanel(c);
    return kStillOpen;
}

static int HandleMessage(DataChooser& c, const Message& m) {
    switch (m.kind) {
    case MSG_KEYDOWN:
        if (m.wParam == VK_RETURN) return kConfirmed;
        if (m.wParam == VK_ESCAPE) return kCancelled;
        return kStillOpen;
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONDOWN:
    case MSG_LBUTTONUP: {
        int area = AreaAt(c, MessageX(m), MessageY(m));
        int tracked = TrackChooserPointer(&c.pointer, m, area);
        if (tracked == kPointerClicked) return HandleClick(c, area);
        if (tracked == kPointerRedraw) DrawPanel(c);
        return kStillOpen;
    }
    case MSG_PAINT:
        // The window repaints from hbmVirtual, which holds no globe: the frame as it stood and
        // the panel go back on top.
        DispatchMessage(m);
        RedrawGlobe();
        DrawPanel(c);
        return kStillOpen;
    case MSG_TIMER:
        DispatchMessage(m);
        return kStillOpen;
    default:
        return kStillOpen;
    }
}

static int RunChooser(DataChooser& c) {
    for (;;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);  // left for the screen's own loop
            return kCancelled;
        }
        int result = HandleMessage(c, m);
        if (result != kStillOpen) return result;
    }
}

int GlobeDataChooser(int current) {
    Surface* win = WindowSurface();
    if (!win) return -1;
    DataChooser c;
    c.at = ChooserPanelPosition(546, 45);
    c.width = LayoutLength(kDataChooserW, smallLayout);
    c.height = LayoutLength(kDataChooserH, smallLayout);
    if (!LoadLooks(c)) return -1;
    c.highlighted = std::clamp(current, 0, kEntries - 1);
    PlayCue(CUE_SLIDE);
    LoadPreview(c);
    DrawPanel(c);

    int result = RunChooser(c);
    PlayCue(CUE_SLIDE);
    if (hbmVirtual) Blit(win, c.at.x, c.at.y, c.width, c.height, hbmVirtual, c.at.x, c.at.y);
    ReleasePictures(c);
    return result == kConfirmed && c.highlighted != current ? c.highlighted : -1;
}
