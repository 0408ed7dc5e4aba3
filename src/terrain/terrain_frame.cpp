// The green frame of the terrain block: a north mark beside its east side and, when asked, the
// base rectangle at the block's bottom with an edge up to each corner cell. Lines are made of
// model points projected with the camera, so the frame turns with the block.
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_set.h"

struct FrameProjection {
    Surface* s;
    int offsetX, offsetY, imageWidth, imageHeight;
};

// A polyline of model points (x, height, z); a segment with an end behind the eye is left out.
static void FrameLine(const FrameProjection& f, const double (*points)[3], int count) {
    int havePrevious = 0;
    for (int i = 0; i < count; i++) {
        int sx, sy;
        int ok = ProjectTerrainPoint(points[i], &sx, &sy, f.imageWidth, f.imageHeight);
        sx += f.offsetX, sy += f.offsetY;
        if (ok && havePrevious) LineTo(f.s, sx, sy);
        if (ok) MoveTo(f.s, sx, sy);
        havePrevious = ok;
    }
}

static double CornerHeight(int column, int row, int hmin, int hmax) {
    double range = hmax - hmin == 0 ? 1.0 : (double)(hmax - hmin);
    return (terrainBuffers.rows.height[row][column] - hmin) / range * terrainCamera.exaggeration;
}

void DrawTerrainFrame(Surface* s, int n, int hmin, int hmax, int offsetX, int offsetY, int imageWidth, int imageHeight,
                      int box) {
    if (!s) return;
    FrameProjection f{s, offsetX, offsetY, imageWidth, imageHeight};
    SetPen(s, PEN_SOLID, 1, MakeColour(0, 255, 0));
    double e = n / 2 + 10;  // the mark stands ten cells east of the block's centre line
    const double arrow[2][3] = {{e, 0, (double)(n / 4)}, {e, 0, 0}};
    const double head[3][3] = {{e - 1, 0, 2.5}, {e, 0, 0}, {e + 1, 0, 2.5}};
    const double letter[4][3] = {{e + 2, 0, 5}, {e + 2, 0, 0}, {e + 5, 0, 5}, {e + 5, 0, 0}};
    FrameLine(f, arrow, 2);
    FrameLine(f, head, 3);
    FrameLine(f, letter, 4);
    if (!box || !terrainBuffers.dtmDataBuf || n < 2) return;
    double lo = -n / 2.0 + 1, hi = n - 1 - n / 2.0, base = -terrainCamera.exaggeration;
    const double rectangle[5][3] = {{lo, base, lo}, {hi, base, lo}, {hi, base, hi}, {lo, base, hi}, {lo, base, lo}};
    FrameLine(f, rectangle, 5);
    const int cells[4][2] = {{1, 1}, {n - 1, 1}, {n - 1, n - 1}, {1, n - 1}};
    for (int i = 0; i < 4; i++) {
        const double edge[2][3] = {{rectangle[i][0], base, rectangle[i][2]},
                                   {rectangle[i][0], CornerHeight(cells[i][0], cells[i][1], hmin, hmax), rectangle[i][2]}};
        FrameLine(f, edge, 2);
    }
}
