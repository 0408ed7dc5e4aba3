// The background chooser of the 2D map: a small panel at (546, 45) listing the five raster
// backgrounds. A click on a line chooses it; Escape or a click outside leaves the map as it is.
#include "app/app.h"
#include "app/screens.h"
#include "imaging/raster_compose.h"
#include "map2d/map2d.h"

static const char* const kChoiceNames[kBackgroundChoices] = {
    "Satellite Imagery", "Shaded Relief", "Elevation", "Land Silhouette", "Elevation, flat colours",
};

namespace {

struct Panel {
    Rect box;
    int hover = -1;
};

constexpr int kTitleHeight = 26, kLineHeight = 24, kPanelWidth = 143;

Panel MakePanel() {
    Panel p;
    int height = kTitleHeight + kBackgroundChoices * kLineHeight + 8;
    int x = 546, y = 45;
    if (smallLayout) x = (int)((x + kPanelWidth) * 0.8) - kPanelWidth, y = (int)(y * 0.8);
    p.box = Rect{x, y, x + kPanelWidth, y + height};
    return p;
}

Rect LineRect(const Panel& p, int i) {
    int top = p.box.top + kTitleHeight + i * kLineHeight;
    return Rect{p.box.left + 4, top, p.box.right - 4, top + kLineHeight - 2};
}

int LineAt(const Panel& p, int x, int y) {
    for (int i = 0; i < kBackgroundChoices; i++) {
        Rect r = LineRect(p, i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}

void DrawPanel(const Panel& p) {
    Surface* w = WindowSurface();
    if (!w) return;
    DrawState saved = GetDrawState(w);
    FillRect(w, p.box, MakeColour(24, 38, 56));
    SetPen(w, PEN_SOLID, 1, MakeColour(120, 160, 200));
    SetNullBrush(w);
    RectangleShape(w, p.box.left, p.box.top, p.box.right, p.box.bottom);
    SetFont(w, fhGeneric);
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    SetTextColour(w, MakeColour(255, 255, 255));
    TextOut(w, p.box.left + 8, p.box.top + 7, "Background");
    for (int i = 0; i < kBackgroundChoices; i++) {
        Rect r = LineRect(p, i);
        if (i == p.hover) FillRect(w, r, MakeColour(52, 84, 120));
        int cx = r.left + 9, cy = (r.top + r.bottom) / 2;
        SetPen(w, PEN_SOLID, 1, MakeColour(220, 230, 240));
        if (i == mapBackground) SetSolidBrush(w, MakeColour(120, 220, 140));
        else SetNullBrush(w);
        EllipseShape(w, cx - 5, cy - 5, cx + 6, cy + 6);
        Point extent = TextExtent(w, kChoiceNames[i]);
        TextOut(w, r.left + 20, cy - extent.y / 2, kChoiceNames[i]);
    }
    SetDrawState(w, saved);
}

}  // namespace

int BackgroundChooser() {
    Surface* w = WindowSurface();
    if (!w) return -1;
    Panel p = MakePanel();
    PlayCue(CUE_SLIDE);
    DrawPanel(p);
    int result = -1, open = 1;
    while (open) {
        Message m;
        // Tests feed their input first; once it is used up the user has walked away.
        if (!GetMessageUntil(&m, 0)) break;
        if (m.kind == MSG_QUIT) {
            PostQuitMessage((int)m.wParam);  // left for the main loop
            break;
        }
        switch (m.kind) {
        case MSG_MOUSEMOVE: {
            int line = LineAt(p, MessageX(m), MessageY(m));
            if (line != p.hover) {
                p.hover = line;
                DrawPanel(p);
            }
            break;
        }
        case MSG_LBUTTONDOWN: {
            int line = LineAt(p, MessageX(m), MessageY(m));
            if (line >= 0) result = line;
            open = 0;
            break;
        }
        case MSG_KEYDOWN:
            if (m.wParam == VK_ESCAPE) open = 0;
            if (m.wParam == VK_RETURN) {
                result = p.hover;
                open = 0;
            }
            break;
        case MSG_PAINT:
        case MSG_TIMER:
            DispatchMessage(m);
            DrawPanel(p);
            break;
        default:
            break;
        }
    }
    PlayCue(CUE_SLIDE);
    if (hbmVirtual) Blit(w, p.box.left, p.box.top, p.box.right - p.box.left, p.box.bottom - p.box.top, hbmVirtual, p.box.left, p.box.top);
    return result == mapBackground ? -1 : result;
}
