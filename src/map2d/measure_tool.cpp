// The measuring tool of the 2D map: the user clicks a chain of up to 100 points, a rubber
// line follows the pointer from the last one, and each leg's great-circle length and the
// running total appear in a box at the clicked point.
#include <string>

#include "core/core.h"
#include "map2d/measurement.h"
#include "map2d/tool_loops.h"

constexpr int kMaxMeasurePoints = 100;
constexpr uint32_t kMeasureIdleMs = 10000;

static struct {
    Point points[kMaxMeasurePoints];
    int count;
    Point last;          // end of the rubber line shown, when rubberShown
    int rubberShown;
    double total;
} measure;

// The position under a pixel when it lies on the globe: latitude computed without the
// clamp the projection applies, so clicks in the empty bands beyond the poles are refused.
static int MeasurePosition(int x, int y, double* latitude, double* longitude) {
    const MapWindow& w = CurrentMapWindow();
    double lat = w.north + (double)(y - mapRect.top) / (mapRect.bottom - mapRect.top) * (w.south - w.north);
    if (lat < -90.0 || lat > 90.0) return 0;
    PixelToGeo(x, y, latitude, longitude);
    return *longitude >= -180.0 && *longitude <= 180.0;
}

static void XorLine(Surface* s, Point a, Point b) {
    MoveTo(s, a.x, a.y);
    LineTo(s, b.x, b.y);
}

// The leg's text in a light yellow box with its corner at the clicked point.
static void DrawLegBox(Surface* s, Point at, const std::string& text) {
    DrawState saved = GetDrawState(s);
    SetRasterOp(s, ROP_COPY);
    SetFont(s, fhGeneric);
    Point e = TextExtent(s, text.c_str());
    SetPen(s, PEN_SOLID, 1, MakeColour(0, 0, 0));
    SetSolidBrush(s, MakeColour(255, 255, 225));
    RectangleShape(s, at.x, at.y, at.x + e.x + 3, at.y + e.y + 3);
    SetTextColour(s, MakeColour(0, 0, 0));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    TextOut(s, at.x + 2, at.y + 2, text.c_str());
    SetDrawState(s, saved);
}

static void AddMeasurePoint(Surface* s, Point p) {
    if (measure.count >= kMaxMeasurePoints) {
        Beep();
        return;
    }
    measure.points[measure.count++] = p;
    if (measure.count < 2) return;
    Point from = measure.points[measure.count - 2];
    double lat1, lon1, lat2, lon2;
    PixelToGeo(from.x, from.y, &lat1, &lon1);
    PixelToGeo(p.x, p.y, &lat2, &lon2);
    int unit = measureUnits.distance, k = measureUnits.custom;
    double leg = GreatCircleDistance(lat1, lon1, lat2, lon2, unit, k);
    measure.total += leg;
    // The leg stays drawn as a line of its own; the rubber line starts again from here.
    if (measure.rubberShown && (measure.last.x != p.x || measure.last.y != p.y)) {
        XorLine(s, from, measure.last);
        XorLine(s, from, p);
    } else if (!measure.rubberShown) {
        XorLine(s, from, p);
    }
    measure.rubberShown = 0;
    std::string text = "Distance = " + formatGrouped(leg, 1) + " " + DistanceUnitLabel(unit, k) +
                       ", total = " + formatGrouped(measure.total, 1);
    DrawLegBox(s, p, text);
}

void MeasureDistanceTool(void (*recompose)()) {
    Surface* s = WindowSurface();
    if (!s || !hbmVirtual) return;
    measure.count = 0;
    measure.rubberShown = 0;
    measure.total = 0.0;
    Blit(hbmVirtual, 0, 0, SurfaceWidth(s), SurfaceHeight(s), s, 0, 0);
    int previousCursor = SetCursorShape(CURSOR_CROSS);
    DrawState saved = GetDrawState(s);
    SetClipRect(s, mapRect);
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 255, 255));
    SetRasterOp(s, ROP_XOR);

    uint32_t deadline = TickCount() + kMeasureIdleMs;
    Message m;
    while (NextToolMessage(&m, deadline)) {
        if (m.kind == MSG_KEYDOWN && m.wParam == VK_ESCAPE) break;
        if (m.kind == MSG_RBUTTONDOWN) break;
        if (m.kind != MSG_MOUSEMOVE && m.kind != MSG_LBUTTONDOWN) continue;
        Point p = ConfinePointer(mapRect, MessageX(m), MessageY(m));
        double lat, lon;
        int valid = MeasurePosition(p.x, p.y, &lat, &lon);
        if (m.kind == MSG_MOUSEMOVE) {
            if (measure.count == 0 || !valid) continue;
            Point from = measure.points[measure.count - 1];
            if (measure.rubberShown) XorLine(s, from, measure.last);
            XorLine(s, from, p);
            measure.last = p;
            measure.rubberShown = 1;
        } else {
            deadline = TickCount() + kMeasureIdleMs;
            if (!valid) {
                Beep();
                continue;
            }
            AddMeasurePoint(s, p);
        }
    }
    if (measure.rubberShown && measure.count > 0) XorLine(s, measure.points[measure.count - 1], measure.last);
    for (int i = 1; i < measure.count; i++) XorLine(s, measure.points[i - 1], measure.points[i]);
    SetDrawState(s, saved);
    SetCursorShape(previousCursor);
    measure.count = 0;
    if (recompose) recompose();
    InvalidateWindow(nullptr);
}

// The legs' total of the last run of the tool (tests read it).
double LastMeasuredTotal() { return measure.total; }
