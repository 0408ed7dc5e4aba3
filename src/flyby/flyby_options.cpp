// The flyby's "Display Options" panel ("menu\145.bmp" at (546, 45) over the view): place names,
// airports, ground textures, haze and the cockpit instruments switched on and off. The flight
// holds still while it is open; OK or Enter keeps the switches, Escape puts them back.
#include "core/panel_layout.h"
#include "flyby/flyby_screen.h"
#include "imaging/imaging.h"

FlybyDisplay flybyDisplay;

constexpr int kOptionRows = 5, kConfirmArea = kOptionRows;

static int SwitchOn(const FlybyDisplay& d, int row) {
    const int switches[kOptionRows] = {d.names, d.airports, d.textures, d.haze, d.instruments};
    return switches[row];
}

static void Flip(FlybyDisplay& d, int row) {
    int* switches[kOptionRows] = {&d.names, &d.airports, &d.textures, &d.haze, &d.instruments};
    *switches[row] = !*switches[row];
}

static Rect AreaRect(int area) {
    return LayoutArea(area == kConfirmArea ? kFlybyOptionsConfirm : kFlybyOptionRows[area], smallLayout);
}

static int AreaAt(Point at, int x, int y) {
    for (int area = 0; area <= kConfirmArea; area++) {
        Rect a = AreaRect(area);
        if (x - at.x >= a.left && x - at.x < a.right && y - at.y >= a.top && y - at.y < a.bottom) return area;
    }
    return -1;
}

// The panel with a tick in the box of every switch that is on; the area under the pointer is
// outlined.
static void DrawOptions(Surface* picture, Point at, const FlybyDisplay& d, int hover) {
    Surface* w = WindowSurface();
    if (!w) return;
    Blit(w, at.x, at.y, SurfaceWidth(picture), SurfaceHeight(picture), picture, 0, 0);
    int small = smallLayout;
    for (int row = 0; row < kOptionRows; row++) {
        if (!SwitchOn(d, row)) continue;
        Rect a = AreaRect(row);
        int x = at.x + a.left + LayoutLength(3, small), y = at.y + a.top + LayoutLength(5, small), s = LayoutLength(12, small);
        SetPen(w, PEN_SOLID, 2, MakeColour(0, 255, 0));
        MoveTo(w, x + 2, y + s / 2);
        LineTo(w, x + s * 5 / 12, y + s - 3);
        LineTo(w, x + s - 2, y + 2);
    }
    if (hover < 0) return;
    Rect a = AreaRect(hover);
    SetPen(w, PEN_SOLID, 1, MakeColour(255, 200, 40));
    SetNullBrush(w);
    RectangleShape(w, at.x + a.left, at.y + a.top, at.x + a.right, at.y + a.bottom);
}

int FlybyDisplayOptions() {
    Surface* picture = nullptr;
    if (!LoadBMPFromFile("menu\\145.bmp", &picture)) return 0;
    PlayCue(CUE_SLIDE);
    Point at = ChooserPanelPosition(546, 45);
    FlybyDisplay before = flybyDisplay, d = flybyDisplay;
    int hover = -1, result = -1;
    DrawOptions(picture, at, d, hover);
    while (result < 0) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);  // the shell's to act on
            result = 0;
            break;
        }
        int area = -1;
        switch (m.kind) {
        case MSG_KEYDOWN:
            if (m.wParam == VK_RETURN) result = 1;
            if (m.wParam == VK_ESCAPE) result = 0;
            break;
        case MSG_MOUSEMOVE:
            area = AreaAt(at, MessageX(m), MessageY(m));
            if (area != hover) DrawOptions(picture, at, d, hover = area);
            break;
        case MSG_LBUTTONDOWN:
            area = AreaAt(at, MessageX(m), MessageY(m));
            if (area == kConfirmArea) result = 1;
            else if (area >= 0) {
                Flip(d, area);
                DrawOptions(picture, at, d, hover);
            }
            break;
        case MSG_PAINT:
            DispatchMessage(m);
            DrawOptions(picture, at, d, hover);
            break;
        default: break;
        }
    }
    DeleteSurface(picture);
    flybyDisplay = result == 1 ? d : before;
    PlayCue(CUE_SLIDE);
    const FlybyDisplay& now = flybyDisplay;
    return now.names != before.names || now.airports != before.airports || now.textures != before.textures ||
           now.haze != before.haze || now.instruments != before.instruments;
}
