// What the flyby draws over the terrain: trees only on cells with a vegetation class, hidden
// by a ridge in front of them, gone with the textures; place-name markers and label positions
// where the eye can see the place, and nowhere else.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "flyby/flyby_render_internal.h"
#include "flyby_fixture.h"

using namespace flyby_fixture;

namespace {

constexpr int kW = 666, kH = 498;
const uint32_t kTreePixel = 0xFFFF00C8u, kMarkerPixel = 0xFF00C8FFu;

// Flat land at height 0, a wall of height `wall` across rows wallFrom..wallTo (all columns),
// and the vegetation class `cls` on the block rows r0..r1, columns c0..c1.
struct Scene {
    int wallFrom = -1, wallTo = -1;
    double wall = 0;
    int r0 = 0, r1 = -1, c0 = 0, c1 = -1, cls = 5;
};

FlybyGrids MakeScene(const Scene& s) {
    FlybyGrids g = MakeGrids([&](int r, int) { return r >= s.wallFrom && r <= s.wallTo ? s.wall : 0.0; },
                             [](int, int) { return kGreenIndex; });
    for (int r = s.r0; r <= s.r1; r++)
        for (int c = s.c0; c <= s.c1; c++) g.classes[(size_t)r * kFlybyGrid + c] = (uint8_t)s.cls;
    return g;
}

// The eye at row 400 looking north, 1.5 km up.
FlybyCamera NorthFrom400() {
    FlybyCamera c;
    c.column = 256.5f, c.row = 400.5f, c.altitude = 3, c.heading = 0;
    return c;
}

struct Count {
    int n = 0, minX = kW, maxX = -1;
};

Count CountPixels(const std::vector<uint32_t>& frame, uint32_t colour) {
    Count k;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++)
            if (frame[(size_t)y * kW + x] == colour) k.n++, k.minX = std::min(k.minX, x), k.maxX = std::max(k.maxX, x);
    return k;
}

std::vector<uint32_t> Render(const FlybyGrids& g, const FlybyArt& art, const FlybyCamera& c, FlybyDisplay d) {
    std::vector<uint32_t> frame((size_t)kW * kH);
    RenderFlybyFrame(g, art, c, d, 0, frame.data(), kW, kH, kW);
    return frame;
}

FlybyDisplay Clear() {
    FlybyDisplay d;
    d.haze = 0;   // the sprite's colour stays its own
    return d;
}

TEST(FlybySprites, TreesStandOnlyOnTheirCellsAndBehindNoRidge) {
    auto art = MakeArt();
    FlybyCamera eye = NorthFrom400();
    // The forest: rows 370..380 (20..30 cells ahead), columns 266..280 (to the right).
    Scene forest;
    forest.r0 = 370, forest.r1 = 380, forest.c0 = 266, forest.c1 = 280;
    Scene ridgeInFront = forest, ridgeBehind = forest, noClass = forest, desert = forest;
    ridgeInFront.wallFrom = 390, ridgeInFront.wallTo = 392, ridgeInFront.wall = 6;
    ridgeBehind.wallFrom = 340, ridgeBehind.wallTo = 342, ridgeBehind.wall = 6;
    noClass.r1 = -1;
    desert.cls = 10;
    FlybyDisplay plain = Clear();
    plain.textures = 0;
    struct Case {
        const char* what;
        Scene scene;
        FlybyDisplay display;
        int trees;
    } cases[] = {
        {"open view", forest, Clear(), 1},
        {"ridge between the eye and the trees", ridgeInFront, Clear(), 0},
        {"ridge behind the trees", ridgeBehind, Clear(), 1},
        {"no class anywhere", noClass, Clear(), 0},
        {"textures off", forest, plain, 0},
        {"desert scrub", desert, Clear(), 1},
    };
    double focal = kW / 2.0 / std::tan(30 * M_PI / 180);
    for (const Case& k : cases) {
        Count trees = CountPixels(Render(MakeScene(k.scene), *art, eye, k.display), kTreePixel);
        if (!k.trees) {
            EXPECT_EQ(trees.n, 0) << k.what;
            continue;
        }
        EXPECT_GT(trees.n, 20) << k.what;
        // Every tree pixel lies over the forest's columns: from its west edge at its farthest
        // row to its east edge at its nearest, give or take half a sprite.
        double west = kW / 2.0 + (266 - 256.5) * focal / 30.5 - 10, east = kW / 2.0 + (281 - 256.5) * focal / 19.5 + 10;
        EXPECT_GE(trees.minX, west) << k.what;
        EXPECT_LE(trees.maxX, east) << k.what;
    }
}

TEST(FlybySprites, NamesShowWhereTheEyeCanSeeThem) {
    auto art = MakeArt();
    FlybyCamera eye = NorthFrom400();
    FlybyName place{};
    strcpy(place.name, "Lakeside");
    struct Case {
        const char* what;
        double row, column;
        int wallFrom, wallTo;
        int airports;
        int seen;
    } cases[] = {
        {"straight ahead", 370.5, 256.5, -1, -1, 1, 1},
        {"to the left", 360.5, 240.5, -1, -1, 1, 1},
        {"behind a ridge", 370.5, 256.5, 385, 387, 1, 0},
        {"in front of a ridge", 370.5, 256.5, 350, 352, 1, 1},
        {"behind the eye", 420.5, 256.5, -1, -1, 1, 0},
        {"far to the side, off the screen", 395.5, 100.5, -1, -1, 1, 0},
        {"markers switched off", 370.5, 256.5, -1, -1, 0, 1},
    };
    double focal = kW / 2.0 / std::tan(30 * M_PI / 180);
    for (const Case& k : cases) {
        Scene s;
        s.wallFrom = k.wallFrom, s.wallTo = k.wallTo, s.wall = 8;
        FlybyGrids g = MakeScene(s);
        place.row = k.row, place.column = k.column;
        g.names = {place, place};
        g.names[0].row = 600;   // outside the window: never shown
        FlybyDisplay d = Clear();
        d.airports = k.airports;
        Count markers = CountPixels(Render(g, *art, eye, d), kMarkerPixel);
        std::vector<FlybyLabel> labels;
        FlybyLabelsFor(g, eye, kW, kH, &labels);
        EXPECT_EQ((int)labels.size(), k.seen) << k.what;
        EXPECT_EQ(markers.n > 0, k.seen && k.airports) << k.what;
        if (labels.empty()) continue;
        EXPECT_EQ(labels[0].name, 1) << k.what;
        double depth = 400.5 - k.row, x = kW / 2.0 + (k.column - 256.5) * focal / depth;
        double y = kH * kFlybyHorizonFraction + 3 * 0.5 * focal / depth;   // the ground under the name
        EXPECT_NEAR(labels[0].x, x, 1.5) << k.what;
        EXPECT_LT(labels[0].y, y - 16) << k.what << ": the text stands above the marker";
        EXPECT_GT(labels[0].y, y - 30) << k.what;
        if (markers.n) {
            EXPECT_NEAR((markers.minX + markers.maxX) / 2.0, x, 2) << k.what;
        }
    }
}

}  // namespace
