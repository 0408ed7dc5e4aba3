// The elevation scale chooser: a panel of eight colour swatches from "scales.dat", a switch
// between the fixed and the observed elevation range, and a confirm button. It runs its own
// small loop on the message queue while it is open, as the screens' panels do.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "imaging/colour_scales_internal.h"
#include "imaging/imaging.h"

namespace {

enum Look { LOOK_NORMAL = 0, LOOK_MARKED = 1, LOOK_HOVER = 2, LOOK_PRESSED = 3 };

struct Swatch {
    char name[20];
    char path[512];               // "<dataRoot>\scales\<name>", the volume's copy when that is absent
    int opened;
    std::vector<ColourRef> rows;  // top row first, already through the gamma table
};

struct Chooser {
    Point at;
    Surface* look[4] = {};
    Swatch swatches[kChooserScales];
    int selected;
    ChooserPointer pointer;
    int displayCode;
    void (*redrawLegend)(int);
};

}  // namespace

static const char* const kLookNames[4] = {"menu\\42.bmp", "menu\\42m.bmp", "menu\\42r.bmp", "menu\\42h.bmp"};

Point ChooserPanelPosition(int x, int y) {
    if (!smallLayout) return Point{x, y};
    return Point{(int)((x + kChooserWidth) * 0.8) - kChooserWidth, (int)(y * 0.8)};
}

static void ReleaseLooks(Chooser& c) {
    for (Surface*& s : c.look) {
        if (s) DeleteSurface(s);
        s = nullptr;
    }
}

static int LoadLooks(Chooser& c) {
    for (int i = 0; i < 4; i++) {
        if (!LoadBMPFromFile(kLookNames[i], &c.look[i])) {
            ReleaseLooks(c);
            return 0;
        }
    }
    return 1;
}

// The swatch colours are read once, when the panel opens; a scale that cannot be opened
// leaves its swatch blank.
static void ReadSwatches(Chooser& c) {
    char names[kChooserScales][20];
    ReadChooserList(names);
    for (int i = 0; i < kChooserScales; i++) {
        Swatch& w = c.swatches[i];
        memcpy(w.name, names[i], sizeof w.name);
        w.name[sizeof w.name - 1] = 0;
        w.rows.clear();
        snprintf(w.path, sizeof w.path, "%s\\scales\\%s", dataRoot, w.name);
        ScaleFile scale;
        w.opened = OpenScaleFile(w.path, &scale);
        if (!w.opened) continue;
        const Rect& a = kChooserArea[i];
        int height = a.bottom - a.top - 4;
        for (int row = 0; row < height; row++) {
            ColourRef colour = 0;
            if (!ScaleColour(&scale, ScaleIndexForRow(row, height, 1, 0), &colour)) {
                // A scale cut short shows no colours rather than black ones.
                w.opened = 0;
                w.rows.clear();
                break;
            }
            w.rows.push_back(MakeColour(GammaLookup(ColourRed(colour)), GammaLookup(ColourGreen(colour)), GammaLookup(ColourBlue(colour))));
        }
        CloseScaleFile(&scale);
    }
}

static int AreaLook(const Chooser& c, int area) {
    if (area == c.pointer.pressed) return LOOK_PRESSED;
    if (area == c.pointer.hover) return LOOK_HOVER;
    int marked = area == c.selected || (area == 8 && fixedElevationRange) || (area == 9 && !fixedElevationRange);
    return marked ? LOOK_MARKED : LOOK_NORMAL;
}

static void DrawPanel(const Chooser& c) {
    Surface* win = WindowSurface();
    if (!win) return;
    Blit(win, c.at.x, c.at.y, kChooserWidth, kChooserHeight, c.look[LOOK_NORMAL], 0, 0);
    for (int area = 0; area < kChooserAreas; area++) {
        const Rect& a = kChooserArea[area];
        int look = AreaLook(c, area);
        if (look != LOOK_NORMAL)
            Blit(win, c.at.x + a.left, c.at.y + a.top, a.right - a.left, a.bottom - a.top, c.look[look], a.left, a.top);
    }
    for (int i = 0; i < kChooserScales; i++) {
        const Swatch& w = c.swatches[i];
        const Rect& a = kChooserArea[i];
        for (size_t row = 0; row < w.rows.size(); row++) {
            int y = c.at.y + a.top + 2 + (int)row;
            FillRect(win, Rect{c.at.x + a.left + 2, y, c.at.x + a.right - 2, y + 1}, w.rows[row]);
        }
    }
}

static int AreaAt(const Chooser& c, int x, int y) {
    x -= c.at.x;
    y -= c.at.y;
    for (int area = 0; area < kChooserAreas; area++) {
        const Rect& a = kChooserArea[area];
        if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return area;
    }
    return -1;
}

static void RedrawLegend(const Chooser& c) {
    if (c.redrawLegend) {
        c.redrawLegend(c.displayCode);
        return;
    }
    if (hbmVirtual) ElevationLegend(hbmVirtual, c.displayCode);
    if (WindowSurface()) ElevationLegend(WindowSurface(), c.displayCode);
}

enum { kStillOpen = 0, kConfirmed = 1, kCancelled = 2 };

// Acts on one message; says whether the panel stays open.
static int HandleMessage(Chooser& c, const Message& m) {
    switch (m.kind) {
    case MSG_QUIT:
        PostQuitMessage((int)m.wParam);
        return kCancelled;
    case MSG_KEYDOWN:
        if (m.wParam == VK_RETURN) return kConfirmed;
        if (m.wParam == VK_ESCAPE) return kCancelled;
        return kStillOpen;
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONDOWN:
    case MSG_LBUTTONUP: {
        int area = AreaAt(c, MessageX(m), MessageY(m));
        int tracked = TrackChooserPointer(&c.pointer, m, area);
        if (tracked != kPointerClicked) {
            if (tracked == kPointerRedraw) DrawPanel(c);
            return kStillOpen;
        }
        if (area == 10) return kConfirmed;
        if (area < kChooserScales && !c.swatches[area].opened) {
            // A scale that cannot be read is refused here, once, rather than taken and then
            // reported again by the legend, the map's colours and every redraw after them.
            ShowMessage("Cannot open file %s", c.swatches[area].path);
            DrawPanel(c);
            return kStillOpen;
        }
        if (area < kChooserScales) {
            c.selected = area;
            PreviewElevationScale(c.swatches[area].name);
        } else {
            fixedElevationRange = area == 8;
        }
        DrawPanel(c);
        RedrawLegend(c);
        return kStillOpen;
    }
    case MSG_PAINT:
    case MSG_TIMER:
        DispatchMessage(m);
        DrawPanel(c);
        return kStillOpen;
    default:
        return kStillOpen;
    }
}

static int RunChooser(Chooser& c) {
    for (;;) {
        Message m;
        // Tests feed their input before the panel opens; once it is used up the user has
        // walked away, which cancels as Escape would.
        if (!GetMessageUntil(&m, 0)) return kCancelled;
        if (m.kind == MSG_QUIT) {
            PostQuitMessage((int)m.wParam);  // left for the main loop
            return kCancelled;
        }
        int result = HandleMessage(c, m);
        if (result != kStillOpen) return result;
    }
}

int ElevationScaleChooser(int x, int y, int displayCode, void (*redrawLegend)(int displayCode)) {
    Surface* win = WindowSurface();
    if (!win) return 0;
    Chooser c;
    c.at = ChooserPanelPosition(x, y);
    c.displayCode = displayCode;
    c.redrawLegend = redrawLegend;
    if (!LoadLooks(c)) return 0;
    ReadSwatches(c);
    int entryIndex = ElevationScaleIndex();
    int entryFixed = fixedElevationRange;
    int entrySelected = std::min(entryIndex, kChooserScales - 1);
    c.selected = entrySelected;
    DrawPanel(c);

    int result = RunChooser(c);
    int changed = c.selected != entrySelected || fixedElevationRange != entryFixed;
    PreviewElevationScale(nullptr);
    int confirmed = result == kConfirmed && changed;
    if (confirmed) {
        // A filler swatch beyond a short list cannot become the current index; the set
        // ignores it as it ignores any index beyond the list.
        SetElevationScaleIndex(c.selected);
    } else {
        fixedElevationRange = entryFixed;
        RedrawLegend(c);
    }
    PlayCue(CUE_SLIDE);
    if (hbmVirtual) Blit(win, c.at.x, c.at.y, kChooserWidth, kChooserHeight, hbmVirtual, c.at.x, c.at.y);
    ReleaseLooks(c);
    return confirmed;
}
