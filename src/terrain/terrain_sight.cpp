// Bearings and lines of sight between cells of the loaded set, for the panorama set-up's view
// mask and the terrain screen's tools. Cells are (column, row), rows growing southward.
#include <cmath>

#include "terrain/terrain_renderer.h"
#include "terrain/terrain_set.h"

int TerrainBearing(int x1, int y1, int x2, int y2, double* degrees) {
    int dx = x2 - x1, dy = y2 - y1;
    *degrees = 0;
    if (dx == 0 && dy == 0) return 0;
    double d = sqrt((double)dx * dx + (double)dy * dy);
    double a = acos(dx / d) * 57.29577951308232;
    *degrees = dy >= 0 ? 90 + a : 90 - a;
    return 1;
}

static int InGrid(int x, int y, int n) { return x >= 0 && y >= 0 && x < n && y < n; }

// The samples stop short of the target's own neighbour, which therefore never hides it.
int TerrainLineOfSight(int x0, int y0, double eyeHeight, int x1, int y1, int n) {
    if (!terrainBuffers.dtmDataBuf || !InGrid(x1, y1, n) || !InGrid(x0, y0, n)) return 0;
    if (x0 == x1 && y0 == y1) return 1;
    int16_t** h = terrainBuffers.rows.height;
    int dx = x1 - x0, dy = y1 - y0;
    int steps = abs(dx) > abs(dy) ? abs(dx) : abs(dy);
    double eye = h[y0][x0] + eyeHeight, target = h[y1][x1];
    double length = sqrt((double)dx * dx + (double)dy * dy);
    double reference = atan((target - eye) / length);
    for (int i = 1; i <= steps - 2; i++) {
        int x = (int)(x0 + (double)dx * i / steps), y = (int)(y0 + (double)dy * i / steps);
        if (InGrid(x, y, n) && h[y][x] > eye && h[y][x] > target) return 0;
    }
    for (int i = 1; i <= steps - 2; i++) {
        double px = x0 + (double)dx * i / steps, py = y0 + (double)dy * i / steps;
        int x = (int)px, y = (int)py;
        if (!InGrid(x, y, n)) continue;
        double distance = sqrt((px - x0) * (px - x0) + (py - y0) * (py - y0));
        if (atan((h[y][x] - eye) / distance) > reference) return 0;
    }
    return 1;
}
