// What the renderer's files share: triangle corners and the three triangle fillers, and the
// walk over the grid squares in drawing order that the drawing and the labels both take.
#pragma once

#include "terrain/terrain_renderer.h"

// A projected corner with its values: red, green, blue, or a palette index in v[0].
struct TerrainCorner {
    int x, y;
    int v[3];
};

// Gouraud filling of a closed triangle (edges and corners included) into dtmBmpData at 24 bits
// (blue, green, red) or 8 bits; pixels outside the image are left alone. A triangle of no area
// draws nothing.
void FillTerrainTriangle24(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c);
void FillTerrainTriangle8(const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c);
// The same pixel by pixel into a surface, for the panorama set-up; triangles wholly beyond
// 800 x 600, left of or above 0, or more than 2000 pixels across are skipped.
void FillTerrainTriangleSurface(Surface* s, const TerrainCorner& a, const TerrainCorner& b, const TerrainCorner& c);

// First value and the value past the end of one loop of the traversal.
inline void TerrainTraversalRange(int delta, int n, int* first, int* end) {
    int step = delta > 0 ? delta : -delta;
    if (delta > 0)
        *first = step, *end = n - step;   // step, 2 step, ... below n - step
    else
        *first = n - step, *end = step;   // n - step down to above step
}

// Visits the near corner of every square in drawing order: visit(column, row) for each, then
// lineDone() after each row or column; lineDone returning 0 stops the walk (and the result is 0).
template <typename Visit, typename LineDone>
int WalkTerrainSquares(const TerrainTraversal& t, int n, Visit visit, LineDone lineDone) {
    int outerDelta = t.columnsInner ? t.rowDelta : t.columnDelta;
    int innerDelta = t.columnsInner ? t.columnDelta : t.rowDelta;
    int outerFirst, outerEnd, innerFirst, innerEnd;
    TerrainTraversalRange(outerDelta, n, &outerFirst, &outerEnd);
    TerrainTraversalRange(innerDelta, n, &innerFirst, &innerEnd);
    for (int o = outerFirst; outerDelta > 0 ? o < outerEnd : o > outerEnd; o += outerDelta) {
        for (int i = innerFirst; innerDelta > 0 ? i < innerEnd : i > innerEnd; i += innerDelta) {
            if (t.columnsInner)
                visit(i, o);
            else
                visit(o, i);
        }
        if (!lineDone()) return 0;
    }
    return 1;
}

// Labels of the loaded set drawn into the off-screen image in the drawing order.
void DrawTerrainLabels(const TerrainTraversal& t, int n);
