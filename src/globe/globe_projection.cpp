// The orthographic projection of the globe and the graticule drawn with it. Drawing units
// put 32,000 units across the viewport's height, centred on the globe; the satellites'
// orbits and footprints are projected the same way.
#include <cmath>

#include "globe/globe.h"

constexpr double kRadians = M_PI / 180.0;
constexpr double kMaxStroke = 2000.0;  // longer strokes would cross the globe's limb

int OrthographicPoint(double latitude, double longitude, double R, double lambda0, double phi0, double* x, double* y) {
    *x = *y = 0.0;
    if (latitude >= 90.0 || latitude < -90.0 || longitude >= 180.0 || longitude < -180.0) return 0;
    double phi = latitude * kRadians, delta = longitude * kRadians - lambda0;
    double sinPhi = std::sin(phi), cosPhi = std::cos(phi), sinDelta = std::sin(delta), cosDelta = std::cos(delta);
    double sinPhi0 = std::sin(phi0), cosPhi0 = std::cos(phi0);
    *x = R * cosPhi * sinDelta;
    *y = R * (cosPhi0 * sinPhi - sinPhi0 * cosPhi * cosDelta);
    return sinPhi0 * sinPhi + cosPhi0 * cosPhi * cosDelta > 0.0;
}

Point GlobeUnitsToPixel(double x, double y, int width, int height) {
    double a = (double)width / height;
    return Point{(int)((x + 16000.0 * a) / (32000.0 * a) * width), (int)((16000.0 - y) / 32000.0 * height)};
}

// [SECTION] Graticule

// The sines and cosines a graticule needs, once per frame instead of once per point: every
// line lies on whole degrees of longitude and half degrees of latitude. The products are
// formed as OrthographicPoint forms them, so both give the same points.
static struct {
    double sinLat[361], cosLat[361];       // latitude -90 + i / 2
    double sinDelta[361], cosDelta[361];   // longitude -180 + j, less the centre longitude
    double sinPhi0, cosPhi0, R;
    int ready = 0;
} grid;

static void PrepareGrid(double centreLongitude) {
    if (!grid.ready) {
        for (int i = 0; i <= 360; i++) {
            grid.sinLat[i] = std::sin((-90.0 + i * 0.5) * kRadians);
            grid.cosLat[i] = std::cos((-90.0 + i * 0.5) * kRadians);
        }
        grid.ready = 1;
    }
    double lambda0 = centreLongitude * kRadians;
    for (int j = 0; j <= 360; j++) {
        double delta = (-180 + j) * kRadians - lambda0;
        grid.sinDelta[j] = std::sin(delta);
        grid.cosDelta[j] = std::cos(delta);
    }
    double phi0 = globeBuffers.viewLatitude * kRadians;
    grid.sinPhi0 = std::sin(phi0);
    grid.cosPhi0 = std::cos(phi0);
    grid.R = globeBuffers.radiusUnits;
}

// OrthographicPoint for latitude halfLat / 2 and a whole longitude, from the tables.
static int GridPoint(int halfLat, int longitude, double* x, double* y) {
    if (halfLat >= 180 || halfLat < -180 || longitude >= 180 || longitude < -180) return 0;
    double sinPhi = grid.sinLat[halfLat + 180], cosPhi = grid.cosLat[halfLat + 180];
    double sinDelta = grid.sinDelta[longitude + 180], cosDelta = grid.cosDelta[longitude + 180];
    *x = grid.R * cosPhi * sinDelta;
    *y = grid.R * (grid.cosPhi0 * sinPhi - grid.sinPhi0 * cosPhi * cosDelta);
    return grid.sinPhi0 * sinPhi + grid.cosPhi0 * cosPhi * cosDelta > 0.0;
}

struct GraticuleTarget {
    Surface* s;
    int width, height;
};

// A stroke between two grid points, drawn only when both face the viewer and lie close.
static void Stroke(const GraticuleTarget& t, int halfLat0, int lon0, int halfLat1, int lon1) {
    double x0, y0, x1, y1;
    if (!GridPoint(halfLat0, lon0, &x0, &y0) || !GridPoint(halfLat1, lon1, &x1, &y1)) return;
    if (std::fabs(x1 - x0) > kMaxStroke || std::fabs(y1 - y0) > kMaxStroke) return;
    Point a = GlobeUnitsToPixel(x0, y0, t.width, t.height), b = GlobeUnitsToPixel(x1, y1, t.width, t.height);
    MoveTo(t.s, a.x, a.y);
    LineTo(t.s, b.x, b.y);
}

static void DrawParallels(const GraticuleTarget& t) {
    const ColourRef red = MakeColour(128, 0, 0), grey = MakeColour(96, 96, 96);
    for (int lat = -90; lat <= 90; lat += 15) {
        SetPen(t.s, PEN_SOLID, 1, lat == 0 ? red : grey);
        for (int lon = -180; lon <= 178; lon += 2) Stroke(t, 2 * lat, lon, 2 * lat, lon + 2);
    }
    // The tropics and the polar circles, dashed: two degrees drawn in every four.
    SetPen(t.s, PEN_SOLID, 1, grey);
    const int circles[4] = {47, -47, 133, -133};  // half degrees: 23.5 and 66.5
    for (int halfLat : circles)
        for (int lon = -180; lon < 180; lon += 4) Stroke(t, halfLat, lon, halfLat, lon + 2);
}

static void DrawMeridians(const GraticuleTarget& t) {
    const ColourRef green = MakeColour(0, 128, 0), grey = MakeColour(96, 96, 96);
    for (int lon = -180; lon <= 165; lon += 15) {
        // Only the four main meridians reach the poles; the others stop where they crowd.
        int reach = lon == -180 || lon == -90 || lon == 0 || lon == 90 ? 90 : 75;
        SetPen(t.s, PEN_SOLID, 1, lon == 0 ? green : grey);
        for (int lat = -reach; lat <= reach - 2; lat += 2) Stroke(t, 2 * lat, lon, 2 * lat + 4, lon);
    }
}

void DrawGraticule(Surface* s, int width, int height, double centreLongitude) {
    if (!s || width <= 0 || height <= 0) return;
    PrepareGrid(centreLongitude);
    DrawState saved = GetDrawState(s);
    GraticuleTarget t{s, width, height};
    DrawParallels(t);
    DrawMeridians(t);
    SetDrawState(s, saved);
}
