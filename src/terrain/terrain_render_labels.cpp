// Name labels over the drawn terrain: each name of the set's label table boxed beside its
// cell's projected point, placed in drawing order and pushed up clear of the labels placed
// before it, with a line back to the cell.
#include <vector>

#include "terrain/terrain_render_internal.h"
#include "terrain/terrain_set.h"

static int Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void PushTerrainLabelBox(Rect* box, const Rect* placed, int count) {
    for (int i = 0; i < count;) {
        if (Overlap(*box, placed[i])) {
            box->top--, box->bottom--;
            i = 0;  // moved: every earlier label must be checked again
        } else {
            i++;
        }
    }
}

static void DrawLabel(Surface* s, const TerrainNameRecord& label, TerrainScreenPoint at, Rect* placed, int* count) {
    const char* name = label.name.c_str();
    Point extent = TextExtent(s, name);
    Rect box{at.x + 10, 0, at.x + 10 + extent.x + 3, at.y - 20};
    box.top = box.bottom - (extent.y + 2);
    PushTerrainLabelBox(&box, placed, *count);
    placed[(*count)++] = box;
    MoveTo(s, at.x, at.y);
    LineTo(s, box.left, box.bottom);
    RectangleShape(s, box.left, box.top, box.right, box.bottom);
    SetTextColour(s, label.found ? MakeColour(255, 0, 0) : MakeColour(255, 255, 0));
    TextOut(s, box.left + 2, box.top + 1, name);
}

void DrawTerrainLabels(const TerrainTraversal& t, int n) {
    Surface* s = terrainBuffers.image;
    Rect placed[kTerrainMaxLabels];
    int column[kTerrainMaxLabels], row[kTerrainMaxLabels], done[kTerrainMaxLabels] = {0}, count = 0;
    // Rows and columns holding a label, so that the walk passes most cells with one look.
    std::vector<uint8_t> labelRow((size_t)n, 0), labelColumn((size_t)n, 0);
    for (int i = 0; i < terrainSet.labelCount; i++) {
        column[i] = (int)terrainSet.labels[i].column, row[i] = (int)terrainSet.labels[i].row;
        if (column[i] >= 0 && column[i] < n && row[i] >= 0 && row[i] < n) labelRow[row[i]] = labelColumn[column[i]] = 1;
    }
    WalkTerrainSquares(
        t, n,
        [&](int c, int r) {
            if (!labelRow[r] || !labelColumn[c]) return;
            for (int i = 0; i < terrainSet.labelCount; i++) {
                if (done[i] || column[i] != c || row[i] != r) continue;
                done[i] = 1;
                TerrainScreenPoint at = terrainBuffers.rows.screen[r][c];
                if (at.x != kTerrainNotProjected && at.y != kTerrainNotProjected)
                    DrawLabel(s, terrainSet.labels[i], at, placed, &count);
            }
        },
        [] { return 1; });
}
