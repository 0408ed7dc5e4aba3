// Projection of the terrain block: the camera's turns done in polar form about each axis, the
// perspective onto the picture plane, and the screen positions of every cell the renderer
// draws, worked out once a redraw and shared by the squares around each cell.
#include <algorithm>
#include <cmath>
#include <vector>

#include "terrain/terrain_renderer.h"
#include "terrain/terrain_set.h"
#include "terrain/terrain_set_internal.h"

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kAxisClamp = 0.9999999999;  // keeps arccos finite for a point on the axis
constexpr double kNearAxis = 0.01;           // closer to an axis than this, a point is not turned

static double IntoHalfTurn(double degrees) {
    while (degrees > 180) degrees -= 360;
    while (degrees < -180) degrees += 360;
    return degrees;
}

// One turn about an axis: (first, second) turn by the angle, the axis component is kept as
// R cos(phi). 0 when the point lies within kNearAxis of the axis, which ends the transform.
static int PolarTurn(double* axis, double* first, double* second, double r, double degrees) {
    double c = *axis / r;
    if (c > kAxisClamp) c = kAxisClamp;
    if (c < -kAxisClamp) c = -kAxisClamp;
    double phi = acos(c);
    double rho = r * sin(phi);
    if (rho < kNearAxis) return 0;
    double q = *first / rho;
    double alpha = acos(q > 1 ? 1 : q < -1 ? -1 : q);  // rounding may leave |q| a hair above 1
    if (*second <= 0) alpha = -alpha;
    double angle = degrees / kDegreesPerRadian;
    *first = rho * cos(alpha + angle);
    *second = rho * sin(alpha + angle);
    *axis = r * cos(phi);
    return 1;
}

// A point on an axis stops the transform: it keeps the zoom and the turns already done.
void RotateTerrainPoint(double* x, double* y, double* z, double zoom, double rotation, double tilt, double roll) {
    *x *= zoom, *y *= zoom, *z *= zoom;
    double r = sqrt(*x * *x + *y * *y + *z * *z);
    if (r < kNearAxis) return;
    double a = IntoHalfTurn(rotation), t = IntoHalfTurn(tilt), w = IntoHalfTurn(roll);
    if (fabs(a) > 0.00001 && !PolarTurn(y, x, z, r, a)) return;
    if (fabs(t) > 0.00001 && !PolarTurn(x, y, z, r, t)) return;
    if (fabs(w) > 0.00001) PolarTurn(z, x, y, r, w);
}

// The turned point onto the picture plane and into image pixels; 0 behind the eye.
static int Perspective(double x, double y, double z, int imageWidth, int imageHeight, int* sx, int* sy) {
    const TerrainCamera& cam = terrainCamera;
    if (cam.plane < 0 || cam.eyeDepth <= cam.plane || cam.eyeDepth + 10 <= z) return 0;
    double d = cam.eyeDepth - z;
    if (fabs(d) < 0.001) d = 1;
    double t = (cam.plane - z) / d;
    double px = (cam.eyeX - x) * t + x + (imageWidth / 2 + cam.shiftX);
    double py = imageHeight - ((cam.eyeHeight - y) * t + y + (imageHeight / 2 + cam.shiftY));
    px = px < -32000 ? -32000 : px > 32000 ? 32000 : px;
    py = py < -32000 ? -32000 : py > 32000 ? 32000 : py;
    *sx = (int)px, *sy = (int)py;
    // -9999 would read as "not projected".
    if (*sx == kTerrainNotProjected) *sx = kTerrainNotProjected + 1;
    if (*sy == kTerrainNotProjected) *sy = kTerrainNotProjected + 1;
    return 1;
}

int ProjectTerrainPoint(const double point[3], int* sx, int* sy, int imageWidth, int imageHeight) {
    *sx = *sy = kTerrainNotProjected;
    const TerrainCamera& cam = terrainCamera;
    double x = point[0], y = point[1], z = point[2];
    RotateTerrainPoint(&x, &y, &z, cam.zoom, cam.rotation, cam.tilt, cam.roll);
    return Perspective(x, y, z, imageWidth, imageHeight, sx, sy);
}

// Model height of a cell: the set's range stretched onto the exaggeration.
static double ModelHeight(int h, int hmin, int hmax) {
    double range = hmax - hmin == 0 ? 1.0 : (double)(hmax - hmin);
    return (h - hmin) / range * terrainCamera.exaggeration;
}

int ProjectTerrainCell(int column, int row, int hmin, int hmax, int n, int offsetX, int offsetY, int imageWidth,
                       int imageHeight, int* sx, int* sy) {
    double cx, cy;
    TerrainCentre(n, &cx, &cy);
    double p[3] = {column - cx, ModelHeight(terrainBuffers.rows.height[row][column], hmin, hmax), row - cy};
    if (!ProjectTerrainPoint(p, sx, sy, imageWidth, imageHeight)) return 0;
    *sx += offsetX, *sy += offsetY;
    return 1;
}

// [SECTION] All cells at once

// One of the camera's turns as sine and cosine, off when its angle is too small to matter.
struct Turn {
    int on;
    double c, s;
};

static Turn MakeTurn(double degrees) {
    double a = IntoHalfTurn(degrees);
    if (fabs(a) <= 0.00001) return Turn{0, 1, 0};
    return Turn{1, cos(a / kDegreesPerRadian), sin(a / kDegreesPerRadian)};
}

// The polar turn without its arccosines: the same rotation wherever the polar form is regular.
// 0 for a point so near the axis that only the polar form says what happens to it.
static inline int FastTurn(const Turn& t, double axis, double* first, double* second, double r2) {
    if (!t.on) return 1;
    double f = *first, s = *second;
    if (axis * axis >= kAxisClamp * kAxisClamp * r2 || f * f + s * s < 0.0101 * 0.0101) return 0;
    *first = f * t.c - s * t.s;
    *second = f * t.s + s * t.c;
    return 1;
}

int TerrainStepCells(int n, int step, int* out) {
    if (step < 1) step = 1;
    int count = 0;
    for (int i = 0; i < n; i += step) out[count++] = i;
    if (n % step == 0) return count;
    // The descending lattice n - step, n - 2 step, ... merged in, keeping the list ascending.
    std::vector<int> merged;
    for (int i = n - step; i > 0; i -= step) merged.push_back(i);
    merged.insert(merged.end(), out, out + count);
    std::sort(merged.begin(), merged.end());
    merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
    std::copy(merged.begin(), merged.end(), out);
    return (int)merged.size();
}

// What projecting every cell shares: the camera's turns, the centre and the image size.
struct CellProjection {
    Turn turns[3];
    double cx, cy;
    int hmin, hmax, imageWidth, imageHeight;
};

// One cell turned with the sines and cosines, or by the polar form near an axis, and projected.
static int ProjectOne(const CellProjection& p, int c, int r, int height, int* sx, int* sy) {
    double zoom = terrainCamera.zoom, h = ModelHeight(height, p.hmin, p.hmax);
    double x = (c - p.cx) * zoom, y = h * zoom, z = (r - p.cy) * zoom;
    double r2 = x * x + y * y + z * z;
    if (r2 >= kNearAxis * kNearAxis * 1.0201 && FastTurn(p.turns[0], y, &x, &z, r2) &&
        FastTurn(p.turns[1], x, &y, &z, r2) && FastTurn(p.turns[2], z, &x, &y, r2))
        return Perspective(x, y, z, p.imageWidth, p.imageHeight, sx, sy);
    double point[3] = {c - p.cx, h, r - p.cy};
    return ProjectTerrainPoint(point, sx, sy, p.imageWidth, p.imageHeight);
}

int ProjectTerrainCells(int hmin, int hmax, int n, int offsetX, int offsetY, int imageWidth, int imageHeight, int step) {
    if (!CheckTerrainGrid(n)) return 0;
    const TerrainBuffers& b = terrainBuffers;
    const TerrainCamera& cam = terrainCamera;
    CellProjection p{{MakeTurn(cam.rotation), MakeTurn(cam.tilt), MakeTurn(cam.roll)}, 0, 0, hmin, hmax, imageWidth,
                     imageHeight};
    TerrainCentre(n, &p.cx, &p.cy);
    std::vector<int> cells((size_t)n);
    int count = TerrainStepCells(n, step, cells.data());
    for (int i = 0; i < count; i++) {
        int r = cells[i];
        for (int j = 0; j < count; j++) {
            int c = cells[j], sx, sy;
            TerrainScreenPoint& out = b.rows.screen[r][c];
            if (ProjectOne(p, c, r, b.rows.height[r][c], &sx, &sy))
                out = TerrainScreenPoint{sx + offsetX, sy + offsetY};
            else
                out = TerrainScreenPoint{kTerrainNotProjected, kTerrainNotProjected};
        }
    }
    return 1;
}
