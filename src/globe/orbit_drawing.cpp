// The loaded group's orbits on one globe frame: for each satellite the 30 minutes before its
// clock as 40 positions, the orbit in orange where the Earth does not hide it, the ground track
// in green, and a white marker with the name and height at the newest position.
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/satellites.h"

constexpr int kOrbitPositions = 40;
constexpr double kOrbitSpanHours = 0.5;
constexpr double kOrbitStepHours = 0.0125;   // 45 seconds; 40 steps make the half hour
constexpr double kEarthRadiusKm = 6378.16;
// Farther than this from the centre (in drawing units, 32,000 to the viewport's height) a
// point cannot be on screen; such points come only from absurd elements and break the line.
constexpr double kFarUnits = 1e6;
constexpr ColourRef kOrbitColour = MakeColour(255, 128, 0);
constexpr ColourRef kGroundColour = MakeColour(0, 192, 0);
constexpr ColourRef kMarkerColour = MakeColour(255, 255, 255);

// [SECTION] The clock in the status line

static int ClampedInt(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;   // also for a value that is not a number
    return v > hi ? hi : (int)v;
}

void FormatSatelliteClock(const SatelliteRecord& r, char* out, size_t size) {
    double whole = floor(r.hours);
    int hour = ClampedInt(whole, 0, 23);
    int minute = ClampedInt(trunc((r.hours - whole) * 60.0), 0, 59);
    snprintf(out, size, "%d/%d/%d %02d:%02d %s", r.month, r.day, r.year, hour, minute, "UTC");
}

static void DrawSatelliteClock(Surface* window, const SatelliteRecord& r) {
    if (!window) return;
    int mid = (statusRect.left + statusRect.right) / 2, h = statusRect.bottom - statusRect.top;
    if (hbmVirtual) Blit(window, mid, statusRect.top, statusRect.right - mid, h, hbmVirtual, mid, statusRect.top);
    char text[80];
    FormatSatelliteClock(r, text, sizeof text);
    DrawState saved = GetDrawState(window);
    if (fhGenericCreated) SetFont(window, fhGeneric);
    SetTextColour(window, kMarkerColour);
    SetBackgroundMode(window, BK_TRANSPARENT);
    SetTextAlign(window, TA_RIGHT | TA_TOP);
    int textHeight = TextExtent(window, text).y;
    TextOut(window, statusRect.right, statusRect.top + (h - textHeight) / 2, text);
    SetDrawState(window, saved);
}

// [SECTION] One orbit

struct GlobeFrame {
    Surface* s;
    double R, lambda0, phi0;
    int width, height;
    int lineHeight;   // of the marker's text
};

// Where the last orbit and ground points went, so consecutive visible ones are joined.
struct OrbitTrace {
    Point orbit, ground;
    int orbitShown, groundShown;
};

static int Reasonable(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && fabs(x) < kFarUnits && fabs(y) < kFarUnits;
}

static void Segment(Surface* s, ColourRef colour, Point from, Point to) {
    SetPen(s, PEN_SOLID, 1, colour);
    MoveTo(s, from.x, from.y);
    LineTo(s, to.x, to.y);
}

// Draws the satellite at one position; returns 1 with its pixel when the Earth does not hide it.
static int DrawPosition(const GlobeFrame& f, const OrbitResult& o, OrbitTrace* trace, Point* at) {
    // The projection scales with the radius and faces the viewer alike at any radius, so one
    // unit-sphere point serves the ground point and the orbit point above it.
    double ux = 0.0, uy = 0.0;
    int facing = OrthographicPoint(o.latitude, o.longitude, 1.0, f.lambda0, f.phi0, &ux, &uy);
    double lifted = f.R * (o.height + kEarthRadiusKm) / kEarthRadiusKm;
    double x = lifted * ux, y = lifted * uy;
    int hidden = (!facing && hypot(x, y) <= f.R) || !Reasonable(x, y);
    if (hidden) {
        trace->orbitShown = 0;
    } else {
        *at = GlobeUnitsToPixel(x, y, f.width, f.height);
        if (trace->orbitShown) Segment(f.s, kOrbitColour, trace->orbit, *at);
        trace->orbit = *at;
        trace->orbitShown = 1;
    }
    double gx = f.R * ux, gy = f.R * uy;
    int ground = facing && Reasonable(gx, gy);
    if (ground) {
        Point p = GlobeUnitsToPixel(gx, gy, f.width, f.height);
        if (trace->groundShown) Segment(f.s, kGroundColour, trace->ground, p);
        trace->ground = p;
    }
    trace->groundShown = ground;
    return !hidden;
}

static void DrawMarker(Surface* s, Point p, const char* name, double height, int lineHeight) {
    SetPen(s, PEN_SOLID, 1, kMarkerColour);
    MoveTo(s, p.x, p.y - 2);
    LineTo(s, p.x + 2, p.y);
    LineTo(s, p.x, p.y + 2);
    LineTo(s, p.x - 2, p.y);
    LineTo(s, p.x, p.y - 2);
    char text[64];
    snprintf(text, sizeof text, "altitude %.1f km", height);
    TextOut(s, p.x, p.y, name);
    TextOut(s, p.x, p.y + lineHeight, text);
}

// Steps the satellite's clock back half an hour and forward again over its 40 positions.
static void DrawSatelliteOrbit(const GlobeFrame& f, int i) {
    SatelliteRecord* r = &globeSatInfo[i];
    AdvanceSatelliteClock(r, -kOrbitSpanHours);
    OrbitTrace trace{};
    for (int k = 0; k < kOrbitPositions; k++) {
        OrbitResult o = SatelliteGroundPoint(*r);
        AdvanceSatelliteClock(r, kOrbitStepHours);
        Point at{};
        int shown = DrawPosition(f, o, &trace, &at);
        if (k == kOrbitPositions - 1 && shown) DrawMarker(f.s, at, globeSatNames[i], o.height, f.lineHeight);
    }
}

void DrawGroupOrbits(Surface* window, Surface* s, double R, double lambda0, double phi0, int width, int height) {
    if (!s || !globeSatInfo || !globeSatNames || globeSatCount <= 0 || width <= 0 || height <= 0) return;
    DrawSatelliteClock(window, globeSatInfo[0]);
    GlobeFrame f{s, R, lambda0, phi0, width, height, TextExtent(s, "altitude").y};
    DrawState saved = GetDrawState(s);
    for (int i = 0; i < globeSatCount; i++) DrawSatelliteOrbit(f, i);
    SetDrawState(s, saved);
}
