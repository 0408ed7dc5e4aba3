// The flyby's world coordinates: the start point picked in degrees, the clamps that keep the
// window on the world, the window in degrees, the class raster's rows and columns, and when
// the window is cut again.
#include <gtest/gtest.h>

#include <cmath>

#include "flyby/flyby.h"
#include "flyby/flyby_internal.h"

namespace {

TEST(FlybyPosition, StartPointFromDegrees) {
    struct Case {
        double longitude, latitude;
        float x, y;
    } cases[] = {
        {0, 90, 20040, 500},             // the pole gives y 0, raised to 500
        {-180, 0, 500, 10020},           // x 0 raised to 500
        {180, -90, 39500, 19500},        // both upper limits
        {200, 100, 39500, 500},          // limited to +-180 and +-90 first
        {-250, -100, 500, 19500},
        {10.5, 46.5, 21209, 4843},       // y = 20040 - trunc(136.5 / 180 * 20040)
        {-0.01, -45.3, 20038.8867f, 15064},
    };
    for (const Case& c : cases) {
        float x, y;
        FlybyStartFromDegrees(c.longitude, c.latitude, &x, &y);
        EXPECT_NEAR(x, c.x, 0.01) << c.longitude << " " << c.latitude;
        EXPECT_EQ(y, c.y) << c.longitude << " " << c.latitude;
    }
}

TEST(FlybyPosition, ClampStopsHorizontalMotionOnlyWhenItApplies) {
    struct Case {
        float x, y, clampedX, clampedY;
        int stops;
    } cases[] = {
        {100, 5000, 256, 5000, 1},       // flying off the west edge
        {40000, 5000, 39824, 5000, 1},
        {5000, 100, 5000, 256, 1},
        {5000, 19800, 5000, 19784, 1},
        {256, 19784, 256, 19784, 0},     // exactly on the limits
        {4000, 4000, 4000, 4000, 0},
    };
    for (const Case& c : cases) {
        FlybyFlight f;
        f.x = c.x, f.y = c.y, f.vx = 3, f.vy = -2, f.speed = 4;
        ClampFlybyPosition(&f);
        EXPECT_EQ(f.x, c.clampedX);
        EXPECT_EQ(f.y, c.clampedY);
        EXPECT_EQ(f.vx, c.stops ? 0.0f : 3.0f) << c.x << " " << c.y;
        EXPECT_EQ(f.vy, c.stops ? 0.0f : -2.0f);
    }
}

TEST(FlybyPosition, WindowInDegreesAroundTheAircraft) {
    // Without a chosen start point the aircraft is at (4000, 4000) km.
    FlybyFlight f;
    MapWindow w = FlybyWindowDegrees(f.x, f.y);
    EXPECT_NEAR((w.west + w.east) / 2, -144.0718563, 1e-6);
    EXPECT_NEAR((w.south + w.north) / 2, 54.0718563, 1e-6);
    EXPECT_NEAR(w.east - w.west, 2 * 2.2994011976047903, 1e-12);
    EXPECT_NEAR(w.north - w.south, 2 * 2.2994011976047903, 1e-12);
    // 256 km either way at 360 / 40080 degrees a kilometre.
    EXPECT_NEAR(kFlybyHalfWindowDegrees, 256 * 360.0 / 40080.0, 1e-12);
    w = FlybyWindowDegrees(20040, 10020);
    EXPECT_NEAR(w.west, -2.2994011976, 1e-9);
    EXPECT_NEAR(w.north, 2.2994011976, 1e-9);
}

TEST(FlybyPosition, ClassRasterRowsAndColumns) {
    struct Case {
        int cell;
        float km;
        int row, column;
    } cases[] = {
        {0, 4000, 201, 201},      // trunc(0 + 3744 / 20040 * 1080), trunc(3744 / 40080 * 2160)
        {511, 4000, 229, 229},
        {0, 256, 0, 0},
        {256, 10020, 540, 540},
        {300, 20040, 1079, 1082},  // the row clamps at the raster's last
        {511, 19784, 1079, 1079},
        {0, 0, 0, 0},              // below zero clamps to 0
        {511, 39824, 1079, 2159},
        {511, 41000, 1079, 2159},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FlybyClassRow(c.cell, c.km), c.row) << c.cell << " " << c.km;
        EXPECT_EQ(FlybyClassColumn(c.cell, c.km), c.column) << c.cell << " " << c.km;
    }
    // Across the window the row advances 27 or 28 times, one raster row per few grid rows.
    int changes = 0;
    for (int i = 1; i < kFlybyGrid; i++) changes += FlybyClassRow(i, 9000) != FlybyClassRow(i - 1, 9000);
    EXPECT_GE(changes, 27);
    EXPECT_LE(changes, 28);
}

TEST(FlybyPosition, WindowIsCutAgainBeforeTheViewLeavesIt) {
    FlybyGrids g{};
    FlybyFlight f;
    EXPECT_EQ(FlybyWindowNeeded(f, g), 1);  // nothing prepared yet
    g.prepared = 1;
    g.west = 4000 - 256, g.east = 4000 + 256, g.north = 4000 - 256, g.south = 4000 + 256;
    struct Case {
        float x, y;
        int needed;
    } cases[] = {
        {4000, 4000, 0}, {4047, 4000, 0}, {4000, 3953, 0}, {4049, 4000, 1}, {4000, 3951, 1}, {3900, 4100, 1},
    };
    for (const Case& c : cases) {
        f.x = c.x, f.y = c.y;
        EXPECT_EQ(FlybyWindowNeeded(f, g), c.needed) << c.x << " " << c.y;
        // Whatever the direction, the view keeps more than 200 km of the window ahead.
        if (!c.needed) EXPECT_GT(256 - std::max(std::fabs(c.x - 4000), std::fabs(c.y - 4000)), 200);
    }
    // At the world's edge the window stops where the clamp holds the aircraft.
    g.west = 0, g.east = 512, g.north = 4000 - 256, g.south = 4000 + 256;
    f.x = 100, f.y = 4000;
    EXPECT_EQ(FlybyWindowNeeded(f, g), 0);
}

}  // namespace
