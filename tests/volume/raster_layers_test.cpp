// Relief shading (lit from the north-west, 0 over the sea) and the error statistics the
// builder reports.
#include <gtest/gtest.h>

#include <cmath>

#include "raster_layers.h"

// A 5 x 5 grid of heights with a one-sample margin: a plane rising by (east, north) metres
// per sample, on a 0.01-degree grid at the equator.
static int ShadeOfPlane(double base, double east, double north) {
    SampleGrid grid;
    grid.west = 0, grid.north = 0.025, grid.stepX = grid.stepY = 0.01, grid.width = grid.height = 5;
    std::vector<float> h(25);
    for (int j = 0; j < 5; j++)
        for (int i = 0; i < 5; i++) h[j * 5 + i] = (float)(base + east * i - north * j);
    std::vector<uint8_t> shade;
    ReliefShade(h, grid, &shade);
    EXPECT_EQ(shade.size(), 9u);
    return shade[4];
}

TEST(ReliefShade, LitFromTheNorthWestAndDarkOverTheSea) {
    int flat = ShadeOfPlane(100, 0, 0);
    EXPECT_EQ(flat, 180);  // sin 45 degrees
    EXPECT_GT(ShadeOfPlane(1000, 200, -200), flat + 20);  // falling to the north-west: facing the sun
    EXPECT_LT(ShadeOfPlane(1000, -200, 200), flat - 20);  // falling to the south-east: turned away
    EXPECT_NEAR(ShadeOfPlane(1000, 200, 200), ShadeOfPlane(1000, -200, -200), 2);  // across the light
    EXPECT_EQ(ShadeOfPlane(0, 0, 0), 0);       // sea level and below are sea
    EXPECT_EQ(ShadeOfPlane(-50, 0, 0), 0);
    EXPECT_GE(ShadeOfPlane(5000, 50000, -50000), 1);  // the steepest land is never 0
}

TEST(ErrorStats, PsnrAndPercentiles) {
    ErrorStats s;
    EXPECT_EQ(s.ColourPsnr(), 0);
    s.colourSquared = 100 * 4.0, s.colourCount = 100;  // error 2 everywhere
    EXPECT_NEAR(s.ColourPsnr(), 10 * log10(255.0 * 255.0 / 4), 1e-9);
    for (int e = 0; e < 100; e++) s.heightHistogram[e]++, s.heightAbsolute += e, s.heightCount++;
    EXPECT_EQ(s.HeightPercentile(99), 98);
    EXPECT_EQ(s.HeightPercentile(50), 49);
    EXPECT_NEAR(s.HeightMean(), 49.5, 1e-9);
    ErrorStats t;
    t.Add(s);
    t.Add(s);
    EXPECT_EQ(t.heightCount, 200u);
    EXPECT_EQ(t.HeightPercentile(99), 98);
}
