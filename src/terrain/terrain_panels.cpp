// The terrain view's pop-up panels, drawn in code in the look of the program's own panels (a
// dark plate with a light edge and an accent for the marked row): the display-type chooser.
// While open a panel runs its own loop on the message queue and puts the picture back on closing.
#include <algorithm>

#include "core/core.h"
#include "imaging/imaging.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"

constexpr int kChooserTypes = 6;  // flooding and the panorama set-up come through their tools
constexpr int kRowHeight = 20, kPanelWidth = 143, kTitleHeight = 24;

static const ColourRef kPlate = MakeColour(38, 44, 58), kEdge = MakeColour(150, 160, 180);
static const ColourRef kAccent = MakeColour(230, 180, 60), kText = MakeColour(235, 235, 235);
static const ColourRef kDim = MakeColour(110, 115, 125), kHover = MakeColour(62, 72, 94);

void DrawTerrainPanelFrame(Surface* s, const Rect& r, const char* title) {
    FillRect(s, r, kPlate);
    SetPen(s, PEN_SOLID, 1, kEdge);
    SetNullBrush(s);
    RectangleShape(s, r.left, r.top, r.right, r.bottom);
    FontSpec font;
    font.pixelHeight = 12;
    font.weight = 700;
    SetFont(s, font);
    SetTextColour(s, kAccent);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_CENTER | TA_TOP);
    TextOut(s, (r.left + r.right) / 2, r.top + 6, title);
    SetTextAlign(s, TA_LEFT | TA_TOP);
}

void DrawTerrainPanelRow(Surface* s, const Rect& r, const char* text, int marked, int enabled) {
    FillRect(s, r, marked ? kHover : kPlate);
    if (marked) FillRect(s, Rect{r.left, r.top, r.left + 3, r.bottom}, kAccent);
    FontSpec font;
    font.pixelHeight = 12;
    SetFont(s, font);
    SetTextColour(s, enabled ? kText : kDim);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    TextOut(s, r.left + 9, r.top + (r.bottom - r.top - 12) / 2, text);
}

// [SECTION] The display-type chooser

static struct {
    Point at;
    int current, hover, detailsAllowed;
} chooser;

static Rect PanelRect() {
    return Rect{chooser.at.x, chooser.at.y, chooser.at.x + kPanelWidth,
                chooser.at.y + kTitleHeight + kChooserTypes * kRowHeight + 6};
}

static Rect RowRect(int type) {
    int top = chooser.at.y + kTitleHeight + type * kRowHeight;
    return Rect{chooser.at.x + 4, top, chooser.at.x + kPanelWidth - 4, top + kRowHeight - 2};
}

static int RowAt(int x, int y) {
    for (int t = 0; t < kChooserTypes; t++) {
        Rect r = RowRect(t);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return t;
    }
    return -1;
}

static void DrawChooser() {
    Surface* w = WindowSurface();
    if (!w) return;
    DrawTerrainPanelFrame(w, PanelRect(), "Display Type");
    for (int t = 0; t < kChooserTypes; t++) {
        // The caption without its "3D View: " prefix names the type.
        const char* name = TerrainCaption(t) + 9;
        int enabled = t != kTerrainDetails || chooser.detailsAllowed;
        DrawTerrainPanelRow(w, RowRect(t), name, t == chooser.current || t == chooser.hover, enabled);
    }
}

// The row clicked, -2 to close without a choice, -1 to stay open.
static int ChooserClick(int x, int y) {
    int row = RowAt(x, y);
    Rect p = PanelRect();
    if (row < 0) return x >= p.left && x < p.right && y >= p.top && y < p.bottom ? -1 : -2;
    if (row == kTerrainDetails && !chooser.detailsAllowed) {
        PlayCue(CUE_ERROR);
        return -1;
    }
    return row;
}

static int ChooserMessage(const Message& m) {
    switch (m.kind) {
    case MSG_MOUSEMOVE: {
        int row = RowAt(MessageX(m), MessageY(m));
        if (row != chooser.hover) chooser.hover = row, DrawChooser();
        return -1;
    }
    case MSG_LBUTTONDOWN: return ChooserClick(MessageX(m), MessageY(m));
    case MSG_KEYDOWN:
        if (m.wParam == VK_ESCAPE) return -2;
        if (m.wParam == VK_RETURN) return chooser.current;
        return -1;
    case MSG_PAINT:
        HandleTerrainMessage(m);
        DrawChooser();
        return -1;
    default: return -1;
    }
}

int TerrainTypeChooser(int current, int detailsAllowed) {
    Surface* w = WindowSurface();
    chooser.at = ChooserPanelPosition(546, 45);
    chooser.current = std::clamp(current, 0, kChooserTypes - 1);
    chooser.hover = -1;
    chooser.detailsAllowed = detailsAllowed;
    Rect p = PanelRect();
    Surface* under = w ? CreateSurface(p.right - p.left + 1, p.bottom - p.top + 1) : nullptr;
    if (under) Blit(under, 0, 0, p.right - p.left + 1, p.bottom - p.top + 1, w, p.left, p.top);
    DrawChooser();
    int result = -1;
    for (;;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);
            break;
        }
        result = ChooserMessage(m);
        if (result != -1) break;
    }
    if (under) {
        Blit(w, p.left, p.top, p.right - p.left + 1, p.bottom - p.top + 1, under, 0, 0);
        DeleteSurface(under);
    }
    PlayCue(CUE_SLIDE);
    return result < 0 ? -1 : result;
}
