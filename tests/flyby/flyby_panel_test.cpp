// The flyby screen's pointer rules: a click on the start picture to kilometres, the heading
// dial, the throttle track and the climb pad; and the position readout's texts and units.
#include <gtest/gtest.h>

#include <cmath>

#include "flyby/flyby_screen.h"
#include "map2d/map2d.h"

namespace {

TEST(FlybyPanel, AClickOnTheWorldPictureGivesTheStartPoint) {
    struct Case {
        int px, py;
        int inside;
        float x, y;
    } cases[] = {
        {48, 139, 1, 500, 500},         // 180 W, 90 N: both held 500 km inside the world
        {348, 289, 1, 20040, 10020},    // the picture's centre: 0, 0
        {361, 212, 1, 20908.4f, 4877},  // 7.8 E, 46.2 N (the Alps); y from the truncated latitude
        {100, 400, 1, 3473.6f, 17435},  // 148.8 W, 66.6 S
        {647, 438, 1, 39500, 19500},    // the last pixel: 179.4 E, 89.4 S, held inside
        {47, 200, 0, 0, 0},
        {648, 200, 0, 0, 0},
        {200, 138, 0, 0, 0},
        {200, 439, 0, 0, 0},
    };
    for (const Case& c : cases) {
        float x = 0, y = 0;
        ASSERT_EQ(FlybyStartAt(c.px, c.py, &x, &y), c.inside) << c.px << "," << c.py;
        if (!c.inside) continue;
        EXPECT_NEAR(x, c.x, 0.05) << c.px << "," << c.py;
        EXPECT_NEAR(y, c.y, 0.05) << c.px << "," << c.py;
    }
}

TEST(FlybyPanel, TheDialTurnsTheAircraftTowardTheClick) {
    struct Case {
        int x, y, heading;
    } cases[] = {
        {746, 175, 0}, {783, 212, 90}, {746, 249, 180}, {709, 212, 270}, {775, 183, 45}, {717, 183, 315}, {746, 212, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(DialHeadingAt(c.x, c.y), c.heading) << c.x << "," << c.y;
}

TEST(FlybyPanel, ThrottleAndClimbTracksMapTheirLengthToTheirRanges) {
    EXPECT_FLOAT_EQ(ThrottleSpeedAt(699), -5.0f);
    EXPECT_FLOAT_EQ(ThrottleSpeedAt(792), 5.0f);
    EXPECT_FLOAT_EQ(ThrottleSpeedAt(600), -5.0f);  // past the ends: held at the limits
    EXPECT_FLOAT_EQ(ThrottleSpeedAt(799), 5.0f);
    // Every speed the track gives lies on the keys' steps of 0.02 and grows to the right.
    float previous = -6;
    for (int x = 699; x <= 792; x++) {
        float v = ThrottleSpeedAt(x);
        EXPECT_NEAR(v / 0.02f, std::round(v / 0.02f), 1e-3) << x;
        EXPECT_GT(v, previous) << x;
        previous = v;
    }
    EXPECT_FLOAT_EQ(ClimbRateAt(513), 0.2f);
    EXPECT_FLOAT_EQ(ClimbRateAt(549), -0.2f);
    EXPECT_FLOAT_EQ(ClimbRateAt(522), 0.1f);
    EXPECT_FLOAT_EQ(ClimbRateAt(531), 0.0f);  // the level line
    EXPECT_FLOAT_EQ(ClimbRateAt(533), 0.0f);
}

TEST(FlybyPanel, ClicksOnThePanelSteerOnlyInsideItsControls) {
    FlybyFlight f;
    flybyControls = FlybyControls{};
    EXPECT_EQ(FlybyPanelClick(&f, 783, 212), 1);
    EXPECT_EQ(f.heading, 90);
    EXPECT_EQ(FlybyPanelClick(&f, 792, 476), 1);
    EXPECT_FLOAT_EQ(f.speed, 5.0f);
    EXPECT_EQ(FlybyPanelClick(&f, 720, 513), 1);
    EXPECT_FLOAT_EQ(flybyControls.climb, 0.2f);
    FlybyFlight before = f;
    EXPECT_EQ(FlybyPanelClick(&f, 400, 300), 0);   // the view
    EXPECT_EQ(FlybyPanelClick(&f, 745, 300), 0);   // the ALT and SPEED bars
    EXPECT_EQ(f.heading, before.heading);
    EXPECT_EQ(f.speed, before.speed);
    flybyControls = FlybyControls{};
}

TEST(FlybyPanel, TheReadoutGivesThePlaceAndTheHeightAboveTheSea) {
    FlybyGrids g{};
    g.prepared = 1;
    g.lowestHeight = 1.5f;  // the window's lowest land, 750 m, was taken off every cell
    FlybyFlight f;
    f.x = 20908.4f, f.y = 4877, f.altitude = 4;
    std::string lat, lon, alt;
    FlybyReadoutTexts(f, g, 0, &lat, &lon, &alt);
    EXPECT_EQ(lat, "46\xB0" "11'41\" N");  // 46.194611: 40.6 seconds, to the nearest second
    EXPECT_EQ(lon, "7\xB0" "48'00\" E");
    EXPECT_EQ(alt, "2,750 m");
    FlybyReadoutTexts(f, g, 1, &lat, &lon, &alt);
    EXPECT_EQ(alt, "9,022 ft");  // 2,750 m
    // A position a hair short of a whole degree reads as the degree.
    f.x = (float)((9.0 - 1e-7 + 180.0) / 360.0 * 40080.0);
    FlybyReadoutTexts(f, g, 0, &lat, &lon, &alt);
    EXPECT_EQ(lon, "9\xB0" "00'00\" E");
    g.prepared = 0;               // before any window nothing was taken off
    FlybyReadoutTexts(f, g, 0, &lat, &lon, &alt);
    EXPECT_EQ(alt, "2,000 m");
}

}  // namespace
