// Triangle filling for the terrain renderer: each triangle scan-converted row by row with its
// corner values interpolated across it (Gouraud), into the off-screen image's pixels at 24 or
// 8 bits, or pixel by pixel into a surface. A 350 grid is about 245,000 mostly tiny triangles.
#include <algorithm>
#include <cmath>

#include "terrain/terrain_render_internal.h"
#include "terrain/terrain_set.h"

// The corners from top to bottom and the value planes: value = base + dx x + dy y a channel.
struct TriangleSetup {
    const TerrainCorner* p[3];  // sorted top to bottom
    double base[3], dx[3], dy[3];
};

// Endpoints closer than this to a pixel count as on it: exact edges of integer corners lie
// either on a pixel or at least 1/64000 from one.
constexpr double kEdgeSlack = 1e-6;

static int SetUpTriangle(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c, int channels,
                         TriangleSetup* t) {
    double area = (double)(b.x - a.x) * (c.y - a.y) - (double)(c.x - a.x) * (b.y - a.y);
    if (area == 0) return 0;
    for (int k = 0; k < channels; k++) {
        double d1 = b.v[k] - a.v[k], d2 = c.v[k] - a.v[k];
        t->dx[k] = (d1 * (c.y - a.y) - d2 * (b.y - a.y)) / area;
        t->dy[k] = (d2 * (b.x - a.x) - d1 * (c.x - a.x)) / area;
        t->base[k] = a.v[k] - t->dx[k] * a.x - t->dy[k] * a.y + 0.5;  // + 0.5: round on truncation
    }
    const TerrainCorner *p0 = &a, *p1 = &b, *p2 = &c, *swap;
    if (p1->y < p0->y) swap = p0, p0 = p1, p1 = swap;
    if (p2->y < p1->y) swap = p1, p1 = p2, p2 = swap;
    if (p1->y < p0->y) swap = p0, p0 = p1, p1 = swap;
    t->p[0] = p0, t->p[1] = p1, t->p[2] = p2;
    return 1;
}

// x of an edge at row y, which the edge spans. Of a level edge only its start: its end is the
// point the long edge gives on that row.
static inline double EdgeX(const TerrainCorner* from, const TerrainCorner* to, int y) {
    if (to->y == from->y) return from->x;
    return from->x + (double)(y - from->y) * (to->x - from->x) / (to->y - from->y);
}

// Calls span(y, x0, x1) for every row of the triangle within the rows 0 .. height - 1 and its
// inclusive pixel range clipped to 0 .. width - 1.
template <typename Span>
static void ScanTriangle(const TriangleSetup& t, int width, int height, Span span) {
    const TerrainCorner *p0 = t.p[0], *p1 = t.p[1], *p2 = t.p[2];
    int yFirst = p0->y < 0 ? 0 : p0->y, yLast = p2->y >= height ? height - 1 : p2->y;
    for (int y = yFirst; y <= yLast; y++) {
        double xa = EdgeX(p0, p2, y);
        double xb = y < p1->y ? EdgeX(p0, p1, y) : EdgeX(p1, p2, y);
        if (xa > xb) {
            double s = xa;
            xa = xb, xb = s;
        }
        int x0 = (int)ceil(xa - kEdgeSlack), x1 = (int)floor(xb + kEdgeSlack);
        if (x0 < 0) x0 = 0;
        if (x1 >= width) x1 = width - 1;
        if (x0 <= x1) span(y, x0, x1);
    }
}

static int OutsideImage(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c, int w, int h) {
    if (a.x < 0 && b.x < 0 && c.x < 0) return 1;
    if (a.y < 0 && b.y < 0 && c.y < 0) return 1;
    if (a.x >= w && b.x >= w && c.x >= w) return 1;
    return a.y >= h && b.y >= h && c.y >= h;
}

void FillTerrainTriangle24(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c) {
    const TerrainBuffers& buf = terrainBuffers;
    int w = buf.imageWidth, h = buf.imageHeight;
    TriangleSetup t;
    if (OutsideImage(a, b, c, w, h) || !SetUpTriangle(a, b, c, 3, &t)) return;
    ScanTriangle(t, w, h, [&](int y, int x0, int x1) {
        uint8_t* p = buf.dtmBmpData + ((size_t)y * w + x0) * 3;
        double r = t.base[0] + t.dx[0] * x0 + t.dy[0] * y;
        double g = t.base[1] + t.dx[1] * x0 + t.dy[1] * y;
        double bl = t.base[2] + t.dx[2] * x0 + t.dy[2] * y;
        for (int x = x0; x <= x1; x++, p += 3) {
            p[0] = (uint8_t)(int)bl, p[1] = (uint8_t)(int)g, p[2] = (uint8_t)(int)r;
            r += t.dx[0], g += t.dx[1], bl += t.dx[2];
        }
    });
}

void FillTerrainTriangle8(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c) {
    const TerrainBuffers& buf = terrainBuffers;
    int w = buf.imageWidth, h = buf.imageHeight;
    TriangleSetup t;
    if (OutsideImage(a, b, c, w, h) || !SetUpTriangle(a, b, c, 1, &t)) return;
    ScanTriangle(t, w, h, [&](int y, int x0, int x1) {
        uint8_t* p = buf.dtmBmpData + (size_t)y * w + x0;
        double v = t.base[0] + t.dx[0] * x0 + t.dy[0] * y;
        for (int x = x0; x <= x1; x++, v += t.dx[0]) *p++ = (uint8_t)(int)v;
    });
}

void FillTerrainTriangleSurface(Surface* s, const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c) {
    int minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    int minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    if (minX >= 800 || minY >= 600 || maxX < 0 || maxY < 0 || maxX - minX > 2000 || maxY - minY > 2000) return;
    TriangleSetup t;
    if (!SetUpTriangle(a, b, c, 3, &t)) return;
    ScanTriangle(t, SurfaceWidth(s), SurfaceHeight(s), [&](int y, int x0, int x1) {
        for (int x = x0; x <= x1; x++) {
            int r = (int)(t.base[0] + t.dx[0] * x + t.dy[0] * y);
            int g = (int)(t.base[1] + t.dx[1] * x + t.dy[1] * y);
            int bl = (int)(t.base[2] + t.dx[2] * x + t.dy[2] * y);
            SetPixel(s, x, y, MakeColour(r, g, bl));
        }
    });
}
