// The place names of the flyby window as the eye sees them: the marker picture drawn on the
// ground at each name in view, and where the screen writes the names' texts afterwards. A name
// shows when it lies in front within the view's reach, on the screen, and no terrain rises
// between it and the eye.
#include <algorithm>
#include <vector>

#include "flyby/flyby_render_internal.h"

constexpr int kMarkerSize = 16;   // Airport.bmp is 16 x 16

struct SeenName {
    float x, y, depth;   // the ground point under the name on the screen
    int name;
};

static void SeenNames(const FlybyGrids& g, const FlybyView& v, std::vector<SeenName>* out) {
    out->clear();
    if (g.heights.size() < (size_t)kFlybyGrid * kFlybyGrid) return;
    for (int i = 0; i < (int)g.names.size(); i++) {
        const FlybyName& n = g.names[i];
        float column = (float)n.column, row = (float)n.row;
        if (column < 0 || row < 0 || column > kFlybyGrid || row > kFlybyGrid) continue;
        float ground = FlybyGroundHeight(g, column, row);
        float x, y, depth;
        if (!FlybyProjectPoint(v, column, row, ground, &x, &y, &depth)) continue;
        if (depth < 0.5f || depth > v.farCells) continue;
        if (x < 0 || x >= v.width || y < 0 || y >= v.height) continue;
        // The marker stands a little above the ground so that flat land does not hide it.
        if (!FlybyLineOfSight(g, v, column, row, ground + 0.05f)) continue;
        out->push_back({x, y, depth, i});
    }
    std::sort(out->begin(), out->end(), [](const SeenName& a, const SeenName& b) { return a.depth < b.depth; });
}

void DrawFlybyMarkers(const FlybyGrids& g, const FlybyArt& art, const FlybyView& v, const FlybyFrameTarget& t) {
    const FlybySprite& m = art.airport;
    if (m.width <= 0 || m.height <= 0) return;
    std::vector<SeenName> seen;
    SeenNames(g, v, &seen);
    uint32_t colours[256];
    for (int i = 0; i < 256; i++) {
        ColourRef c = art.palette[i];
        colours[i] = 0xFF000000u | ((uint32_t)ColourRed(c) << 16) | ((uint32_t)ColourGreen(c) << 8) | ColourBlue(c);
    }
    // Farthest first, so nearer markers cover farther ones.
    for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
        int left = (int)it->x - m.width / 2, top = (int)it->y - m.height;
        for (int r = 0; r < m.height; r++) {
            int y = top + r;
            if (y < 0 || y >= t.height) continue;
            for (int c = 0; c < m.width; c++) {
                int x = left + c;
                uint8_t index = m.pixels[(size_t)r * m.width + c];
                if (index != 0 && x >= 0 && x < t.width) t.pixels[(size_t)y * t.stride + x] = colours[index];
            }
        }
    }
}

void FlybyLabelsFor(const FlybyGrids& g, const FlybyCamera& camera, int width, int height, std::vector<FlybyLabel>* out) {
    out->clear();
    FlybyView v = MakeFlybyView(camera, width, height);
    std::vector<SeenName> seen;
    SeenNames(g, v, &seen);
    for (const SeenName& s : seen) out->push_back({(int)s.x, (int)s.y - kMarkerSize - 2, s.name});
}
