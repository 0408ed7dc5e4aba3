// The flyby's start-point picker: the world picture ("menu\144b.bmp", lit as "menu\144c.bmp"
// while the pointer is over it) in the view area; a click on it is where the flight begins.
// The tabs stay live (the hit test of mode 13), so the user can leave from here too.
#include "core/panel_layout.h"
#include "flyby/flyby_screen.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"

static Rect PictureRect() {
    return LayoutArea(PanelRect{kStartMapX, kStartMapY, kStartMapW, kStartMapH}, smallLayout);
}

static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

int FlybyStartAt(int x, int y, float* kmX, float* kmY) {
    Rect r = PictureRect();
    if (!Inside(r, x, y)) return 0;
    double longitude = (double)(x - r.left) * 360.0 / (r.right - r.left) - 180.0;
    double latitude = 90.0 - (double)(y - r.top) * 180.0 / (r.bottom - r.top);
    FlybyStartFromDegrees(longitude, latitude, kmX, kmY);
    return 1;
}

namespace {
struct Picker {
    Surface* look[2] = {};  // plain and lit
    int lit = -1;
};
}  // namespace

static void ShowPicture(Picker& p, int lit) {
    if (lit == p.lit) return;
    p.lit = lit;
    Rect r = PictureRect();
    Surface* s = p.look[lit];
    for (Surface* target : {WindowSurface(), hbmVirtual})
        if (target && s) Blit(target, r.left, r.top, r.right - r.left, r.bottom - r.top, s, 0, 0);
}

static void ShowInstruction() {
    for (Surface* s : {WindowSurface(), hbmVirtual}) {
        if (!s) continue;
        FillRect(s, mapRect, MakeColour(0, 0, 0));
        FontSpec font;
        font.pixelHeight = smallLayout ? 13 : 16;
        font.weight = 700;
        SetFont(s, font);
        SetTextColour(s, MakeColour(255, 255, 255));
        SetBackgroundMode(s, BK_TRANSPARENT);
        SetTextAlign(s, TA_CENTER | TA_TOP);
        TextOut(s, (mapRect.left + mapRect.right) / 2, mapRect.top + LayoutLength(60, smallLayout),
                "Click on the map where you want to start flying");
        SetTextAlign(s, TA_LEFT | TA_TOP);
    }
}

// The code a tab leaves for, 0 for the flyby's own tab and button 47 (refused), -2 for none.
static int TabCode(int id) {
    switch (id) {
    case 1: return 3;
    case 2: return 4;
    case 3: return 7;
    case 5: return 5;
    case 6: return 1;
    case 4: case 47: return 0;
    default: return -2;
    }
}

// 1 when the picker is done: a point chosen (*chosen 1) or a way out taken (*leaveCode).
static int PickerMessage(Picker& p, const Message& m, FlybyFlight* f, int* chosen, int* leaveCode) {
    int id;
    switch (m.kind) {
    case MSG_PAINT: {
        DispatchMessage(m);
        int lit = p.lit;
        p.lit = -1;
        ShowPicture(p, lit < 0 ? 0 : lit);
        return 0;
    }
    case MSG_MOUSEMOVE:
        ButtonHitTest(MessageX(m), MessageY(m), 13, &id);
        ShowPicture(p, Inside(PictureRect(), MessageX(m), MessageY(m)));
        return 0;
    case MSG_LBUTTONDOWN: {
        float x, y;
        if (FlybyStartAt(MessageX(m), MessageY(m), &x, &y)) {
            f->x = x, f->y = y;
            f->vx = f->vy = 0;
            f->startChosen = 1;
            *chosen = 1;
            return 1;
        }
        if (!ButtonHitTest(MessageX(m), MessageY(m), 13, &id)) return 0;
        int code = TabCode(id);
        if (code == 0) PlayCue(CUE_ERROR);
        if (code <= 0) return 0;
        DrawButton(id, 1);
        *leaveCode = code;
        return 1;
    }
    case MSG_KEYDOWN:
        if (m.wParam != VK_ESCAPE) return 0;
        *leaveCode = -1;
        return 1;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) ShowMainWindow();
        return 0;
    case MSG_COMMAND:
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        *leaveCode = 3;
        return 1;
    default: return 0;
    }
}

int PickFlybyStart(FlybyFlight* f, int* leaveCode) {
    *leaveCode = -1;
    Picker p;
    if (!LoadBMPFromFile("menu\\144b.bmp", &p.look[0]) || !LoadBMPFromFile("menu\\144c.bmp", &p.look[1])) {
        for (Surface* s : p.look)
            if (s) DeleteSurface(s);
        return 0;
    }
    ShowInstruction();
    ShowPicture(p, 0);
    int chosen = 0;
    for (;;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);  // the shell's to act on
            *leaveCode = 0;
            break;
        }
        if (PickerMessage(p, m, f, &chosen, leaveCode)) break;
    }
    for (Surface* s : p.look) DeleteSurface(s);
    return chosen;
}
