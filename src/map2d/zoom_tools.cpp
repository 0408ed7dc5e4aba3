// The interactive zoom tools of the 2D map: the zoom box dragged with an exclusive-or
// crosshair and a live scale label, the plain-click 30 % zoom, the zoom-in tool, the point
// pick of the re-centre tool, and the choice of the area shown in 3D.
#include <cmath>
#include <string>

#include "core/core.h"
#include "map2d/measurement.h"
#include "map2d/tool_loops.h"
#include "map2d/zoom_commands.h"

constexpr ColourRef kWhite = MakeColour(255, 255, 255);
constexpr uint32_t kPickIdleMs = 10000;
constexpr uint32_t kAreaIdleMs = 20000;

// [SECTION] Exclusive-or drawing on the window

struct XorPen {
    Surface* s;
    DrawState saved;
    Rect clip;
};

static XorPen BeginXor(Surface* s, const Rect& clip) {
    XorPen pen{s, GetDrawState(s), clip};
    SetClipRect(s, clip);
    SetPen(s, PEN_SOLID, 1, kWhite);
    SetNullBrush(s);
    SetRasterOp(s, ROP_XOR);
    return pen;
}

static void EndXor(XorPen& pen) {
    SetDrawState(pen.s, pen.saved);
    ClearClip(pen.s);
}

// The pointer readout lies outside the map area: it is drawn unclipped with the window's own
// drawing state, then the tool's exclusive-or pen and map clip come back.
static void ReadoutDuringTool(XorPen& pen, int x, int y) {
    DrawState tool = GetDrawState(pen.s);
    SetDrawState(pen.s, pen.saved);
    ClearClip(pen.s);
    MapPointerReadout(x, y);
    SetDrawState(pen.s, tool);
    SetClipRect(pen.s, pen.clip);
}

static void XorSegment(Surface* s, int x0, int y0, int x1, int y1) {
    MoveTo(s, x0, y0);
    LineTo(s, x1, y1);
}

// A vertical line between the rows of +-89.9 degrees and a horizontal one across the map.
static void XorCrosshair(Surface* s, int x, int y) {
    int yNorth, ySouth;
    PoleRows(&yNorth, &ySouth);
    XorSegment(s, x, yNorth, x, ySouth + 1);
    XorSegment(s, mapRect.left, y, mapRect.right, y);
}

static void XorBox(Surface* s, const Rect& r) { RectangleShape(s, r.left, r.top, r.right + 1, r.bottom + 1); }

// [SECTION] The scale label beside the box

struct SavedArea {
    Surface* copy = nullptr;
    Rect at{};
};

static void SaveArea(Surface* s, SavedArea* a, int x, int y, int w, int h) {
    if (!a->copy) a->copy = CreateSurface(w, h);
    if (!a->copy) return;
    a->at = Rect{x, y, x + w, y + h};
    Blit(a->copy, 0, 0, w, h, s, x, y);
}

static void RestoreArea(Surface* s, SavedArea* a) {
    if (!a->copy || a->at.right <= a->at.left) return;
    int rop = GetDrawState(s).rop;
    SetRasterOp(s, ROP_COPY);  // the tool draws with exclusive-or meanwhile
    Blit(s, a->at.left, a->at.top, a->at.right - a->at.left, a->at.bottom - a->at.top, a->copy, 0, 0);
    SetRasterOp(s, rop);
    a->at = Rect{};
}

static void DrawLabel(Surface* s, SavedArea* a, int x, int y, const std::string& text) {
    DrawState saved = GetDrawState(s);
    SetRasterOp(s, ROP_COPY);
    SetFont(s, fhGeneric);
    Point size = TextExtent(s, "1:100,000,000");
    SaveArea(s, a, x, y, size.x, size.y);
    SetTextColour(s, kWhite);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    TextOut(s, x, y, text.c_str());
    SetDrawState(s, saved);
}

// [SECTION] Zoom box

// The geographic window under a box of pixels, by the linear mapping of the current window.
static MapWindow WindowOfBox(const Rect& r) {
    const MapWindow& w = CurrentMapWindow();
    double width = mapRect.right - mapRect.left, height = mapRect.bottom - mapRect.top;
    double west = w.west + (r.left - mapRect.left) / width * (w.east - w.west);
    double east = w.west + (r.right - mapRect.left) / width * (w.east - w.west);
    double north = w.north + (r.top - mapRect.top) / height * (w.south - w.north);
    double south = w.north + (r.bottom - mapRect.top) / height * (w.south - w.north);
    return MapWindow{fmin(west, east), fmax(west, east), fmin(south, north), fmax(south, north)};
}

void CommitNextDepth(const MapWindow& w) {
    zoomHistory[zoomDepth + 1] = w;
    zoomDepth++;
    DiscardScreenCache(zoomDepth);
}

// The box for a pointer offset: the map's proportions, centred on the start or with the
// start as one corner.
static Rect BoxFor(int sx, int sy, int dx, int dy, int corner) {
    int mapW = mapRect.right - mapRect.left, mapH = mapRect.bottom - mapRect.top;
    int halfW, halfH;
    if (std::abs(dy) >= std::abs(dx)) {
        halfH = std::abs(dy);
        halfW = (int)((double)mapW / mapH * std::abs(dy));
    } else {
        halfW = std::abs(dx);
        halfH = (int)((double)mapH / mapW * std::abs(dx));
    }
    if (!corner) return Rect{sx - halfW, sy - halfH, sx + halfW, sy + halfH};
    int x2 = dx < 0 ? sx - 2 * halfW : sx + 2 * halfW, y2 = dy < 0 ? sy - 2 * halfH : sy + 2 * halfH;
    return Rect{std::min(sx, x2), std::min(sy, y2), std::max(sx, x2), std::max(sy, y2)};
}

static int BoxFits(const Rect& r) {
    int yNorth, ySouth;
    PoleRows(&yNorth, &ySouth);
    return r.left >= mapRect.left && r.right < mapRect.right && r.top >= yNorth && r.bottom <= ySouth;
}

std::string ZoomBoxScaleLabel(const MapWindow& w, int32_t limit) {
    double scale = MapScaleForSpan((w.north + w.south) / 2.0, w.west, w.east);
    return scale < limit ? "(too small)" : "1:" + formatGrouped(scale, 0);
}

int ZoomBox(int sx, int sy, int corner) {
    if (zoomDepth >= 9) {
        PlayCue(CUE_ERROR);
        ShowMessage("Maximum zooming level reached");
        return 0;
    }
    double lat, lon;
    PixelToGeo(sx, sy, &lat, &lon);
    if (lat <= -89.9 || lat >= 89.9 || lon < -180.0 || lon > 180.0) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    Surface* s = WindowSurface();
    if (!s) return 0;
    int32_t limit = ZoomLimit(kZoomBoxDefaultMaxScale);
    int previousCursor = SetCursorShape(CURSOR_CROSS);
    XorPen pen = BeginXor(s, mapRect);
    Rect pointerArea{mapRect.left + 1, mapRect.top + 1, mapRect.right - 1, mapRect.bottom - 1};
    SavedArea label;
    Rect box{sx, sy, sx, sy};
    int boxShown = 0;
    XorCrosshair(s, sx, sy);
    ReadoutDuringTool(pen, sx, sy);

    int accepted = 0;
    Message m;
    while (NextToolMessage(&m, 0)) {
        if (m.kind == MSG_KEYDOWN && m.wParam == VK_ESCAPE) break;
        if (m.kind == MSG_LBUTTONUP) {
            accepted = 1;
            break;
        }
        if (m.kind != MSG_MOUSEMOVE) continue;
        Point p = ConfinePointer(pointerArea, MessageX(m), MessageY(m));
        if (boxShown) XorBox(s, box);
        XorCrosshair(s, sx, sy);
        RestoreArea(s, &label);
        Rect next = BoxFor(sx, sy, p.x - sx, p.y - sy, corner);
        if (BoxFits(next)) {
            box = next;
            boxShown = box.right > box.left || box.bottom > box.top;
        }
        if (boxShown && box.right - box.left >= 5)
            DrawLabel(s, &label, box.left, box.bottom, ZoomBoxScaleLabel(WindowOfBox(box), limit));
        XorCrosshair(s, sx, sy);
        if (boxShown) XorBox(s, box);
        ReadoutDuringTool(pen, p.x, p.y);
    }

    // Take the crosshair, the box and the label away before deciding.
    if (boxShown) XorBox(s, box);
    XorCrosshair(s, sx, sy);
    RestoreArea(s, &label);

    int changed = 0;
    if (accepted && boxShown && box.right - box.left >= 5) {
        MapWindow w = WindowOfBox(box);
        double scale = MapScaleForSpan((w.north + w.south) / 2.0, w.west, w.east);
        if (w.east - w.west >= 0.05 && (int64_t)scale >= limit) {
            CommitNextDepth(w);
            changed = 1;
        } else {
            PlayCue(CUE_ERROR);
        }
    } else if (accepted) {
        // A click without a drag zooms in on the point by 30 % of the current spans.
        const MapWindow& now = CurrentMapWindow();
        double dLon = 0.15 * fabs(now.east - now.west), dLat = 0.15 * fabs(now.north - now.south);
        MapWindow w{lon - dLon, lon + dLon, lat - dLat, lat + dLat};
        double scale = ScaleAtNextDepth(w);
        if (w.east - w.west >= 0.05 && (int64_t)scale >= limit) {
            CommitNextDepth(w);
            changed = 1;
        } else {
            PlayCue(CUE_ERROR);
            DrawLabel(s, &label, box.left, box.bottom, "(too small)");
            Delay(0.5);
            RestoreArea(s, &label);
        }
    }
    if (label.copy) DeleteSurface(label.copy);
    EndXor(pen);
    SetCursorShape(previousCursor);
    return changed;
}

// [SECTION] Pointing at the map

// Waits for a left click on the map between the rows of +-89.9 degrees (after at least one
// movement when `needMove`). Returns 1 with the point; 0 on a right click, Escape or `idleMs`
// without a click. `follow` draws at each pointer position, and again to erase.
static int PickMapPoint(int cursor, uint32_t idleMs, int needMove, uint64_t* modifiers, Point* at,
                        void (*follow)(Point p, int erase, void* user), void* user) {
    int previousCursor = SetCursorShape(cursor);
    Rect area = MapAreaBetweenPoleRows();
    int moved = !needMove, picked = 0, shown = 0;
    Point last{};
    uint32_t deadline = TickCount() + idleMs;
    Message m;
    while (NextToolMessage(&m, deadline)) {
        if (m.kind == MSG_KEYDOWN && m.wParam == VK_ESCAPE) break;
        if (m.kind == MSG_RBUTTONDOWN) break;
        if (m.kind == MSG_MOUSEMOVE) {
            Point p = ConfinePointer(area, MessageX(m), MessageY(m));
            if (follow && shown) follow(last, 1, user);
            if (follow) follow(p, 0, user);
            last = p;
            shown = 1;
            moved = 1;
        } else if (m.kind == MSG_LBUTTONDOWN && moved) {
            *at = ConfinePointer(area, MessageX(m), MessageY(m));
            *modifiers = m.wParam;
            picked = 1;
            break;
        }
    }
    if (follow && shown) follow(last, 1, user);
    SetCursorShape(previousCursor);
    return picked;
}

int PickPointOnMap(Point* at) {
    uint64_t modifiers = 0;
    return PickMapPoint(CURSOR_CROSS, kPickIdleMs, 0, &modifiers, at, nullptr, nullptr);
}

int ZoomInTool() {
    Point p;
    uint64_t modifiers = 0;
    if (!PickMapPoint(141, kPickIdleMs, 1, &modifiers, &p, nullptr, nullptr)) return 0;
    return ZoomBox(p.x, p.y, (modifiers & MK_CONTROL) ? 1 : 0);
}

int RecentreTool() {
    if (zoomDepth < 1 || zoomDepth > 8) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    Point p;
    uint64_t modifiers = 0;
    if (!PickMapPoint(CURSOR_CROSS, kPickIdleMs, 1, &modifiers, &p, nullptr, nullptr)) return 0;
    Beep();
    double lat, lon;
    PixelToGeo(p.x, p.y, &lat, &lon);
    return RecentreAt(lat, lon);
}

// [SECTION] Area for the 3D view

struct AreaBox {
    int halfW, halfH;
};

static Rect AreaBoxAround(const AreaBox& box, Point p) {
    Rect area = MapAreaBetweenPoleRows();
    int cx = p.x, cy = p.y;
    if (cx - box.halfW < area.left) cx = area.left + box.halfW;
    if (cx + box.halfW > area.right - 1) cx = area.right - 1 - box.halfW;
    if (cy - box.halfH < area.top) cy = area.top + box.halfH;
    if (cy + box.halfH > area.bottom - 1) cy = area.bottom - 1 - box.halfH;
    return Rect{cx - box.halfW, cy - box.halfH, cx + box.halfW, cy + box.halfH};
}

static void FollowAreaBox(Point p, int erase, void* user) {
    Surface* s = WindowSurface();
    Rect r = AreaBoxAround(*(const AreaBox*)user, p);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    XorBox(s, r);
    XorSegment(s, cx, r.top + 1, cx, r.bottom);
    XorSegment(s, r.left + 1, cy, r.right, cy);
    (void)erase;  // drawing again with exclusive-or erases
}

// The window of 20 by 20 degrees around a point picked on the world view.
MapWindow AreaWindowForPick(int x, int y) {
    int yNorth, ySouth;
    PoleRows(&yNorth, &ySouth);
    double width = mapRect.right - mapRect.left;
    double lon = (x - mapRect.left) / width * 360.0 - 180.0;
    double lat = ySouth == yNorth ? 0.0 : (double)(y - ySouth) / (yNorth - ySouth) * 180.0 - 90.0;
    lon = fmax(-170.0, fmin(170.0, lon));
    lat = fmax(-80.0, fmin(80.0, lat));
    return MapWindow{lon - 10.0, lon + 10.0, lat - 10.0, lat + 10.0};
}

static void DrawAreaPrompt() {
    Surface* s = WindowSurface();
    if (!s) return;
    Rect strip{mapRect.left, statusRect.top, mapRect.right, statusRect.bottom};
    if (!RestoreStatusLineBackground(s) && hbmVirtual)
        Blit(s, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, hbmVirtual, strip.left, strip.top);
    DrawState saved = GetDrawState(s);
    SetFont(s, fhGeneric);
    SetTextColour(s, kWhite);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    const char* prompt = "Move mouse to desired location and press left button, or ESC to cancel";
    int h = TextExtent(s, prompt).y;
    TextOut(s, statusRect.left + 15, statusRect.top + (statusRect.bottom - statusRect.top - h) / 2, prompt);
    SetDrawState(s, saved);
}

int CurrentAreaFitsFor3D() { return fabs(CurrentMapWindow().east - CurrentMapWindow().west) <= 20.0; }

int ConfirmAreaFor3D() {
    return MessageBox("Would you like to clip out this new area to view in 3D?", "", MB_YESNO) == IDYES;
}

int PickAreaFor3D(MapWindow* area) {
    Surface* s = WindowSurface();
    if (!s) return 0;
    DrawAreaPrompt();
    const MapWindow& w = CurrentMapWindow();
    double width = mapRect.right - mapRect.left, height = mapRect.bottom - mapRect.top;
    AreaBox box{(int)(13.333333333333334 / fabs(w.east - w.west) * width),
                (int)(10.0 / fabs(w.north - w.south) * height)};
    XorPen pen = BeginXor(s, mapRect);
    Point p;
    uint64_t modifiers = 0;
    int picked = PickMapPoint(CURSOR_CROSS, kAreaIdleMs, 0, &modifiers, &p, FollowAreaBox, &box);
    EndXor(pen);
    RefreshStatusLine();
    if (!picked) return 0;
    // The picked area becomes depth 1, the window the terrain is cut from; the map stays at the world.
    zoomHistory[1] = AreaWindowForPick(p.x, p.y);
    DiscardScreenCache(1);
    *area = zoomHistory[1];
    return 1;
}
