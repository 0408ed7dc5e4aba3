// The layers drawn from numbers rather than files: the graticule of a "~" row with the tropics
// and polar circles dashed, and the degree ticks with their labels along the map's edges for a
// "*" row.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "map2d/vector_layers.h"

static int ColumnOf(const MapWindow& w, const Rect& r, double longitude) {
    return r.left + (int)((longitude - w.west) / (w.east - w.west) * (r.right - r.left));
}
static int RowOf(const MapWindow& w, const Rect& r, double latitude) {
    return r.top + (int)((latitude - w.north) / (w.south - w.north) * (r.bottom - r.top));
}

static void Line(Surface* s, int x1, int y1, int x2, int y2) {
    MoveTo(s, x1, y1);
    LineTo(s, x2, y2);
}

// Rows of latitude 90 and -90 kept inside the rectangle.
static void PoleLimits(const MapWindow& w, const Rect& r, int* top, int* bottom) {
    *top = std::max(RowOf(w, r, 90.0), r.top);
    *bottom = std::min(RowOf(w, r, -90.0), r.bottom);
}

static void Meridian(Surface* s, const MapWindow& w, const Rect& r, double longitude) {
    int x = ColumnOf(w, r, longitude);
    if (x < r.left || x > r.right) return;
    int top, bottom;
    PoleLimits(w, r, &top, &bottom);
    Line(s, x, top, x, bottom);
}

// A parallel drawn only where its row is inside the rectangle and between the poles.
static int ParallelRow(const MapWindow& w, const Rect& r, double latitude, int* y) {
    *y = RowOf(w, r, latitude);
    int top, bottom;
    PoleLimits(w, r, &top, &bottom);
    return *y >= r.top && *y < r.bottom && *y >= top && *y <= bottom;
}

void DrawGridLayer(Surface* s, const MapWindow& w, const Rect& r, double g) {
    if (!(g > 0)) return;  // a spacing of zero or less would never end
    // Multiples of the spacing, so that a fraction such as 0.1 does not drift as it adds up.
    for (int i = 0; -i * g > -200; i++) Meridian(s, w, r, -i * g);
    for (int i = 1; i * g < 200; i++) Meridian(s, w, r, i * g);
    int y;
    for (int i = 0; i * g < 90.01; i++)
        if (ParallelRow(w, r, i * g, &y)) Line(s, r.left, y, r.right, y);
    for (int i = 1; -i * g > -90.01; i++)
        if (ParallelRow(w, r, -i * g, &y)) Line(s, r.left, y, r.right, y);
    static const double kCircles[4] = {66.5, -66.5, 23.5, -23.5};
    for (double lat : kCircles) {
        if (!ParallelRow(w, r, lat, &y)) continue;
        for (int x = r.left; x < r.right; x += 10) Line(s, x, y, std::min(x + 5, r.right), y);
    }
}

static void TickLabel(Surface* s, int x, int y, int align, double degrees) {
    char text[32];
    snprintf(text, sizeof text, "%.0f", degrees);
    SetTextAlign(s, align);
    TextOut(s, x, y, text);
}

void DrawTickLayer(Surface* s, const MapWindow& w, const Rect& r, const char* name, ColourRef colour) {
    int t = ThemeFieldAt(name, 1), labels = ThemeFieldAt(name, 4);
    double g = strlen(name) > 6 ? atof(name + 6) : 0.0;  // a decimal: "*4  1 2.5" ticks every 2.5 degrees
    if (!(g > 0)) return;
    DrawState saved = GetDrawState(s);
    SetPen(s, PEN_SOLID, 1, colour);
    SetTextColour(s, colour);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetFont(s, fhGeneric);
    int top, bottom;
    PoleLimits(w, r, &top, &bottom);
    auto vertical = [&](double lon) {
        int x = ColumnOf(w, r, lon);
        if (x < r.left || x >= r.right) return;
        Line(s, x, top, x, top + t);
        Line(s, x, bottom, x, bottom - t);
        if (labels) {
            TickLabel(s, x, top + t, TA_CENTER | TA_TOP, lon);
            TickLabel(s, x, bottom - t, TA_CENTER | TA_BOTTOM, lon);
        }
    };
    for (int i = 0; -i * g > -179.99; i++) vertical(-i * g);
    for (int i = 1; i * g < 179.99; i++) vertical(i * g);
    int half = TextExtent(s, "1234567890").y / 2;
    auto horizontal = [&](double lat) {
        int y = RowOf(w, r, lat);
        if (y < r.top || y >= r.bottom) return;
        Line(s, r.left, y, r.left + t, y);
        Line(s, r.right - 1, y, r.right - 1 - t, y);
        if (labels) {
            // Kept apart from the tick, which would otherwise read as a minus sign.
            TickLabel(s, r.left + t + 4, y - half, TA_LEFT | TA_TOP, lat);
            TickLabel(s, r.right - 1 - t - 4, y - half, TA_RIGHT | TA_TOP, lat);
        }
    };
    for (int i = 0; i * g < 89.99; i++) horizontal(i * g);
    for (int i = 1; -i * g > -89.99; i++) horizontal(-i * g);
    SetDrawState(s, saved);
}
