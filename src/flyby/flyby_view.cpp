// The geometry of a flyby frame: the camera from the flight and the window, the view it gives
// (eye, heading, picture plane, horizon), the ground under a point, projection of points, the
// line of sight to a place name and the haze by distance.
#include <algorithm>
#include <cmath>

#include "flyby/flyby_render_internal.h"

FlybyCamera FlybyCameraFor(const FlybyFlight& f, const FlybyGrids& g) {
    FlybyCamera c;
    float across = g.east - g.west, down = g.south - g.north;
    c.column = across > 0 ? (f.x - g.west) / across * kFlybyGrid : kFlybyGrid / 2.0f;
    c.row = down > 0 ? (f.y - g.north) / down * kFlybyGrid : kFlybyGrid / 2.0f;
    c.altitude = f.altitude;
    c.heading = (float)f.heading;
    c.farCells = kFlybyViewReach;
    return c;
}

FlybyView MakeFlybyView(const FlybyCamera& camera, int width, int height) {
    FlybyView v;
    double a = camera.heading * M_PI / 180.0;
    v.column = camera.column;
    v.row = camera.row;
    v.eyeHeight = camera.altitude;
    // Heading 0 looks north (rows decrease), 90 east (columns increase).
    v.forwardX = (float)sin(a);
    v.forwardY = (float)-cos(a);
    v.rightX = (float)cos(a);
    v.rightY = (float)sin(a);
    v.focal = (float)(width / 2.0 / tan(kFlybyFieldOfViewDegrees / 2.0 * M_PI / 180.0));
    v.horizonY = height * kFlybyHorizonFraction;
    v.farCells = (float)std::max(camera.farCells, 8);
    v.width = width;
    v.height = height;
    return v;
}

float FlybyGroundHeight(const FlybyGrids& g, float column, float row) {
    float u = std::clamp(column - 0.5f, 0.0f, (float)(kFlybyGrid - 1));
    float w = std::clamp(row - 0.5f, 0.0f, (float)(kFlybyGrid - 1));
    int c = std::min((int)u, kFlybyGrid - 2), r = std::min((int)w, kFlybyGrid - 2);
    float fu = u - c, fw = w - r;
    const float* h = &g.heights[(size_t)r * kFlybyGrid + c];
    float top = h[0] + (h[1] - h[0]) * fu;
    float bottom = h[kFlybyGrid] + (h[kFlybyGrid + 1] - h[kFlybyGrid]) * fu;
    return top + (bottom - top) * fw;
}

int FlybyProjectPoint(const FlybyView& v, float column, float row, float height, float* x, float* y, float* depth) {
    float dx = column - v.column, dy = row - v.row;
    float z = dx * v.forwardX + dy * v.forwardY;
    if (z <= 1e-3f) return 0;
    float side = dx * v.rightX + dy * v.rightY;
    *x = v.width / 2.0f + side * v.focal / z;
    *y = FlybyScreenRow(v, height, z);
    *depth = z;
    return 1;
}

int FlybyLineOfSight(const FlybyGrids& g, const FlybyView& v, float column, float row, float height) {
    float dx = column - v.column, dy = row - v.row;
    float distance = std::sqrt(dx * dx + dy * dy);
    // Half-cell steps; the last cell before the point is its own ground and is not asked.
    int steps = (int)(distance * 2);
    for (int i = 1; i < steps - 1; i++) {
        float t = (float)i / steps;
        float line = v.eyeHeight + (height - v.eyeHeight) * t;
        if (FlybyGroundHeight(g, v.column + dx * t, v.row + dy * t) > line) return 0;
    }
    return 1;
}

int FlybyHazeLevel(float depth, float farCells) {
    float clear = farCells / 6;
    if (depth <= clear) return 0;
    int level = (int)((depth - clear) / (farCells - clear) * (kFlybyHazeLevels - 1) + 0.5f);
    return std::min(level, kFlybyHazeLevels - 1);
}

static uint32_t PixelOf(ColourRef c) {
    return 0xFF000000u | ((uint32_t)ColourRed(c) << 16) | ((uint32_t)ColourGreen(c) << 8) | ColourBlue(c);
}

void MakeFlybyHazedPalette(const FlybyArt& art, int haze, FlybyHazedPalette* out) {
    for (int k = 0; k < kFlybyHazeLevels; k++)
        for (int i = 0; i < 256; i++) out->colour[k][i] = PixelOf(art.palette[haze ? art.haze[k][i] : i]);
}
