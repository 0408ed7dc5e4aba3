// The map view: projection both ways with wrap and clamp, the rows of the poles, and the
// true scale on the user's monitor.
#include <gtest/gtest.h>

#include <cmath>

#include "app/app.h"
#include "map2d/map2d.h"

namespace {

struct MapViewTest : ::testing::Test {
    void SetUp() override {
        mapRect = Rect{16, 39, 681, 538};
        screenWidth = 800;
        options.monitorInches = 14;
        ResetZoomHistory();
    }
};

TEST_F(MapViewTest, WorldWindowPutsThePolesAtOneSixthAndFiveSixths) {
    int x, y;
    const int H = 499;
    GeoToPixel(90.0, -180.0, &x, &y);
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, 39 + H / 6);
    GeoToPixel(-90.0, 180.0, &x, &y);
    EXPECT_EQ(x, 681);
    EXPECT_EQ(y, 39 + (int)(5.0 * H / 6));
    GeoToPixel(0.0, 0.0, &x, &y);
    EXPECT_EQ(x, 16 + 332);
    EXPECT_EQ(y, 39 + 249);
}

TEST_F(MapViewTest, PixelToGeoWrapsLongitudeAndClampsLatitude) {
    // A window beyond the date line and the poles, so raw results leave the valid ranges.
    zoomHistory[1] = MapWindow{170.0, 236.5, 80.0, 100.0};  // 0.1 degree a pixel
    zoomDepth = 1;
    double lat, lon;
    PixelToGeo(mapRect.left + 200, mapRect.top, &lat, &lon);  // raw longitude 190
    EXPECT_NEAR(lon, -170.0, 1e-9);
    EXPECT_DOUBLE_EQ(lat, 90.0);

    struct Case { double west, east; int x; double expected; } cases[] = {
        {-540.0, -520.0, 16, -180.0},   // -540 becomes -180
        {-200.0, -180.0, 16, 160.0},
        {180.0, 200.0, 16, 180.0},      // exactly 180 stays
    };
    for (const Case& c : cases) {
        zoomHistory[1] = MapWindow{c.west, c.east, -95.0, -80.0};
        PixelToGeo(c.x, mapRect.bottom, &lat, &lon);
        EXPECT_NEAR(lon, c.expected, 1e-9) << c.west;
        EXPECT_DOUBLE_EQ(lat, -90.0);
    }
}

TEST_F(MapViewTest, ProjectionRoundTripsToWithinOnePixel) {
    zoomHistory[1] = MapWindow{-10.5, 20.25, 35.0, 58.0};
    zoomDepth = 1;
    for (int x = mapRect.left; x < mapRect.right; x += 37)
        for (int y = mapRect.top; y < mapRect.bottom; y += 29) {
            double lat, lon;
            PixelToGeo(x, y, &lat, &lon);
            int px, py;
            GeoToPixel(lat, lon, &px, &py);
            EXPECT_LE(std::abs(px - x), 1);
            EXPECT_LE(std::abs(py - y), 1);
        }
}

TEST_F(MapViewTest, PoleRowsStayInsideTheMap) {
    int north, south;
    PoleRows(&north, &south);
    EXPECT_EQ(north, 39 + (int)((89.9 - 135.0) / -270.0 * 499));
    EXPECT_EQ(south, 39 + (int)((-89.9 - 135.0) / -270.0 * 499));
    zoomHistory[1] = MapWindow{0.0, 10.0, 40.0, 50.0};
    zoomDepth = 1;
    PoleRows(&north, &south);
    EXPECT_EQ(north, mapRect.top);
    EXPECT_EQ(south, mapRect.bottom - 1);
}

TEST_F(MapViewTest, WorldScaleOnAFourteenInchMonitor) {
    EXPECT_EQ((long long)MapScale(), 169465530LL);
    // The span variant over the same width at the equator gives the same scale.
    EXPECT_EQ((long long)MapScaleForSpan(0.0, -180.0, 180.0), 169465530LL);
    // A bigger monitor shows the same ground on more inches: a smaller denominator.
    options.monitorInches = 21;
    EXPECT_NEAR(MapScale(), 169465530.0 * 14 / 21, 2.0);
}

TEST_F(MapViewTest, WindowWidthAlongTheCentralLatitude) {
    EXPECT_NEAR(WindowWidthMetres(), 360 * kMetresPerDegree, 1e-3);
    zoomHistory[1] = MapWindow{10.0, 20.0, 50.0, 70.0};
    zoomDepth = 1;
    EXPECT_NEAR(WindowWidthMetres(), 10 * kMetresPerDegree * 0.5, 1e-3);
    EXPECT_NEAR(MapScale(), 169465530.0 / 36 * 0.5, 1.0);
}

}  // namespace
