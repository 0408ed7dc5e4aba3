// The flyby's flight controls: keys taken from the queue as a frame reads them, their limits on
// both sides, the heading's and the sky's wrap, the velocity of a heading, the ground
// clearance, and the joystick's thresholds and messages.
#include <gtest/gtest.h>

#include <cmath>

#include "flyby/flyby_screen.h"
#include "platform/test_double.h"

namespace {

constexpr int kSky = 1024;

// The keys of one frame, injected as a user's presses are queued.
int Frame(FlybyFlight* f, std::initializer_list<uint32_t> keys) {
    for (uint32_t k : keys) TestInjectKey(k);
    int leave = ReadFlybyControls(f, kSky);
    FlushMessages(0, 0xFFFF);  // the key-ups the frame passes over
    return leave;
}

struct FlybyControlsTest : ::testing::Test {
    void SetUp() override {
        FlushMessages(0, 0xFFFF);
        flybyControls = FlybyControls{};
        options = OptionsRecord{};
        TestSetJoystick(JOY_UNPLUGGED, 0, 0, 0);
        TestClearShown();
    }
    void TearDown() override {
        flybyControls = FlybyControls{};
        options = OptionsRecord{};
    }
};

TEST_F(FlybyControlsTest, EachKeyStepsItsValueAndStopsAtItsLimits) {
    struct Case {
        const char* what;
        FlybyFlight start;
        uint32_t key;
        float speed, altitude;
        int heading, sky;
    };
    auto at = [](float speed, float altitude, int heading, int sky) {
        FlybyFlight f;
        f.speed = speed, f.altitude = altitude, f.heading = heading, f.skyOffset = sky;
        return f;
    };
    const Case cases[] = {
        {"up from rest", at(0, 4, 0, 0), VK_UP, 0.02f, 4, 0, 0},
        {"up to the top", at(4.99f, 4, 0, 0), VK_UP, 5.0f, 4, 0, 0},
        {"up at the top", at(5, 4, 0, 0), VK_UP, 5.0f, 4, 0, 0},
        {"down into reverse", at(0, 4, 0, 0), VK_DOWN, -0.02f, 4, 0, 0},
        {"down to the bottom", at(-4.99f, 4, 0, 0), VK_DOWN, -5.0f, 4, 0, 0},
        {"down at the bottom", at(-5, 4, 0, 0), VK_DOWN, -5.0f, 4, 0, 0},
        {"left past north", at(0, 4, 0, 0), VK_LEFT, 0, 4, 358, kSky - 8},
        {"left", at(0, 4, 90, 100), VK_LEFT, 0, 4, 88, 92},
        {"right past north", at(0, 4, 358, kSky - 4), VK_RIGHT, 0, 4, 0, 4},
        {"right", at(0, 4, 90, 100), VK_RIGHT, 0, 4, 92, 108},
        {"page up", at(0, 4, 0, 0), VK_PRIOR, 0, 4.2f, 0, 0},
        {"page up to the ceiling", at(0, 39.9f, 0, 0), VK_PRIOR, 0, 40, 0, 0},
        {"page up at the ceiling", at(0, 40, 0, 0), VK_PRIOR, 0, 40, 0, 0},
        {"page down", at(0, 4, 0, 0), VK_NEXT, 0, 3.8f, 0, 0},
        {"page down to the floor", at(0, 2.1f, 0, 0), VK_NEXT, 0, 2, 0, 0},
        {"page down at the floor", at(0, 2, 0, 0), VK_NEXT, 0, 2, 0, 0},
        {"another key", at(1, 4, 10, 5), VK_F5, 1, 4, 10, 5},
    };
    for (const Case& c : cases) {
        FlybyFlight f = c.start;
        EXPECT_EQ(Frame(&f, {c.key}), 0) << c.what;
        EXPECT_NEAR(f.speed, c.speed, 1e-5) << c.what;
        EXPECT_NEAR(f.altitude, c.altitude, 1e-5) << c.what;
        EXPECT_EQ(f.heading, c.heading) << c.what;
        EXPECT_EQ(f.skyOffset, c.sky) << c.what;
    }
}

TEST_F(FlybyControlsTest, AFrameTakesEveryQueuedKeyInOrderUntilEscape) {
    FlybyFlight f;
    EXPECT_EQ(Frame(&f, {VK_UP, VK_UP, VK_UP, VK_RIGHT}), 0);
    EXPECT_NEAR(f.speed, 0.06f, 1e-5);
    EXPECT_EQ(f.heading, 2);
    // Keys the screen took from the queue between frames count before those still queued.
    HoldFlybyKey(VK_LEFT);
    EXPECT_EQ(Frame(&f, {VK_LEFT}), 0);
    EXPECT_EQ(f.heading, 358);
    // Escape leaves at once: what follows it is not flown.
    EXPECT_EQ(Frame(&f, {VK_DOWN, VK_ESCAPE, VK_DOWN, VK_DOWN}), 1);
    EXPECT_NEAR(f.speed, 0.04f, 1e-5);
    // A whole climb from rest to the top speed takes 250 presses and ends exactly on it.
    FlybyFlight g;
    for (int i = 0; i < 260; i++) Frame(&g, {VK_UP});
    EXPECT_FLOAT_EQ(g.speed, 5.0f);
}

TEST_F(FlybyControlsTest, VelocityFollowsTheHeadingWithNorthUpTheGrid) {
    struct Case {
        int heading;
        float vx, vy;
    } cases[] = {{0, 0, -5}, {90, 5, 0}, {180, 0, 5}, {270, -5, 0}, {45, 3.5355339f, -3.5355339f}};
    for (const Case& c : cases) {
        FlybyFlight f;
        f.x = 1000, f.y = 2000, f.speed = 5, f.heading = c.heading, f.altitude = 10;
        AdvanceFlyby(&f, 0, 0, kSky);
        EXPECT_NEAR(f.vx, c.vx, 1e-5) << c.heading;
        EXPECT_NEAR(f.vy, c.vy, 1e-5) << c.heading;
        EXPECT_NEAR(f.x, 1000 + c.vx * kFlybyKmPerFrame, 1e-3) << c.heading;
        EXPECT_NEAR(f.y, 2000 + c.vy * kFlybyKmPerFrame, 1e-3) << c.heading;
    }
    // Every whole degree against the plain trigonometry, backwards flight included.
    for (int heading = 0; heading < 360; heading++) {
        FlybyFlight f;
        f.speed = -2.5f, f.heading = heading, f.altitude = 10;
        AdvanceFlyby(&f, 0, 0, kSky);
        double radians = heading * M_PI / 180.0;
        ASSERT_NEAR(f.vx, -2.5 * std::sin(radians), 1e-5) << heading;
        ASSERT_NEAR(f.vy, 2.5 * std::cos(radians), 1e-5) << heading;
    }
}

TEST_F(FlybyControlsTest, AtTheWorldsEdgeTheAircraftStops) {
    FlybyFlight f;
    f.x = 256.05f, f.y = 5000, f.speed = 5, f.heading = 270, f.altitude = 10;
    AdvanceFlyby(&f, 0, 0, kSky);  // 0.1 km west: past the edge
    KeepFlybyInsideWorld(&f);
    EXPECT_FLOAT_EQ(f.x, 256.0f);
    EXPECT_EQ(f.speed, 0.0f);
    AdvanceFlyby(&f, 0, 0, kSky);
    EXPECT_FLOAT_EQ(f.x, 256.0f);  // and stays
    // Inside the world nothing changes.
    FlybyFlight g;
    g.x = 20000, g.y = 10000, g.speed = 3, g.heading = 90, g.altitude = 10;
    AdvanceFlyby(&g, 0, 0, kSky);
    KeepFlybyInsideWorld(&g);
    EXPECT_FLOAT_EQ(g.speed, 3.0f);
    EXPECT_NEAR(g.x, 20000.06f, 1e-3);
}

TEST_F(FlybyControlsTest, EveryFrameTheSkyDriftsAndWraps) {
    FlybyFlight f;
    f.skyOffset = kSky - 2;
    f.altitude = 10;
    AdvanceFlyby(&f, 0, 0, kSky);
    EXPECT_EQ(f.skyOffset, kSky - 1);
    AdvanceFlyby(&f, 0, 0, kSky);
    EXPECT_EQ(f.skyOffset, 0);
}

TEST_F(FlybyControlsTest, TheAircraftRisesHalfAUnitAFrameWhileTooNearTheGround) {
    struct Case {
        float altitude, ground, after;
    } cases[] = {
        {11.0f, 10.0f, 11.5f},   // 1 unit above ground: rises
        {11.9f, 10.0f, 12.4f},
        {12.0f, 10.0f, 12.0f},   // exactly 2 above: left alone
        {2.0f, 0.0f, 2.0f},      // the lowest altitude over the lowest cell
        {2.0f, 17.0f, 2.5f},     // far below a summit: one step a frame, not at once
    };
    for (const Case& c : cases) {
        FlybyFlight f;
        f.altitude = c.altitude;
        AdvanceFlyby(&f, c.ground, 0, kSky);
        EXPECT_NEAR(f.altitude, c.after, 1e-5) << c.altitude << " over " << c.ground;
    }
}

TEST_F(FlybyControlsTest, TheClimbPadRateStaysWithinTheAltitudeLimits) {
    FlybyFlight f;
    f.altitude = 39.9f;
    AdvanceFlyby(&f, 0, kFlybyTopClimb, kSky);
    EXPECT_FLOAT_EQ(f.altitude, 40.0f);
    AdvanceFlyby(&f, 0, kFlybyTopClimb, kSky);
    EXPECT_FLOAT_EQ(f.altitude, 40.0f);
    f.altitude = 2.1f;
    AdvanceFlyby(&f, 0, -kFlybyTopClimb, kSky);
    EXPECT_FLOAT_EQ(f.altitude, 2.0f);
}

TEST_F(FlybyControlsTest, TheGroundIsReadFromTheCellUnderTheAircraft) {
    FlybyGrids g{};
    g.heights.assign((size_t)kFlybyGrid * kFlybyGrid, 0.0f);
    g.west = 1000, g.north = 3000, g.east = 1512, g.south = 3512;
    g.prepared = 1;
    g.heights[(size_t)10 * kFlybyGrid + 300] = 7.0f;   // row 10, column 300
    g.heights[(size_t)300 * kFlybyGrid + 10] = 3.0f;   // the same numbers the other way round
    EXPECT_FLOAT_EQ(FlybyGroundUnder(g, 1300.5f, 3010.5f), 7.0f);
    EXPECT_FLOAT_EQ(FlybyGroundUnder(g, 1010.5f, 3300.5f), 3.0f);
    EXPECT_FLOAT_EQ(FlybyGroundUnder(g, 999.0f, 3010.5f), 0.0f);   // west of the window
    EXPECT_FLOAT_EQ(FlybyGroundUnder(g, 1300.5f, 3512.0f), 0.0f);  // south of it
    g.prepared = 0;
    EXPECT_FLOAT_EQ(FlybyGroundUnder(g, 1300.5f, 3010.5f), 0.0f);
}

// A calibration whose mapping is easy to invert: 0 .. 10000 .. 20000 raw on both axes, so a
// raw value v below the centre maps to v / 2 and above it to 5000 + (v - 10000) / 2.
void Calibrate() {
    options.joyMinX = options.joyMinY = 0;
    options.joyCentreX = options.joyCentreY = 10000;
    options.joyMaxX = options.joyMaxY = 20000;
}

TEST_F(FlybyControlsTest, JoystickDirectionsBeginPastAQuarterOfTheTravel) {
    Calibrate();
    struct Case {
        int x, y, directions;
    } cases[] = {
        {10000, 10000, 0},
        {4998, 10000, FLY_LEFT},    // 2499
        {5002, 10000, 0},           // 2501
        {14998, 10000, 0},          // 7499
        {15002, 10000, FLY_RIGHT},  // 7501
        {10000, 4998, FLY_UP},
        {10000, 5002, 0},
        {10000, 14998, 0},
        {10000, 15002, FLY_DOWN},
        {0, 20000, FLY_LEFT | FLY_DOWN},
    };
    for (const Case& c : cases) {
        JoystickReading r;
        r.x = c.x, r.y = c.y;
        EXPECT_EQ(JoystickDirections(r, options), c.directions) << c.x << "," << c.y;
    }
}

TEST_F(FlybyControlsTest, SwitchingTheJoystickOnChecksCalibrationDriverAndPlug) {
    struct Case {
        int calibrated, status;
        int on;
        const char* message;
    } cases[] = {
        {0, JOY_OK, 0, "You have not calibrated the joystick yet"},
        {1, JOY_NO_DRIVER, 0, "The software driver for the joystick has not been installed yet."},
        {1, JOY_UNPLUGGED, 0, "The joystick is not plugged into your computer"},
        {1, JOY_OK, 1, ""},
    };
    options.soundsOn = 0;  // the error cue is then the default beep, which the double counts
    for (const Case& c : cases) {
        options = OptionsRecord{};
        if (c.calibrated) Calibrate();
        TestSetJoystick(c.status, 10000, 10000, 0);
        TestClearShown();
        int beeps = TestBeepCount();
        EXPECT_EQ(StartFlybyJoystick(), c.on) << c.message;
        EXPECT_EQ(flybyControls.joystick, c.on) << c.message;
        EXPECT_EQ(TestLastMessage(), c.message);
        EXPECT_EQ(TestBeepCount() - beeps, c.on ? 0 : 1) << c.message;
    }
}

TEST_F(FlybyControlsTest, InFlightTheJoystickSteersAndALostReadingIsPassedOver) {
    Calibrate();
    TestSetJoystick(JOY_OK, 4998, 15002, 0);  // left and back
    ASSERT_EQ(StartFlybyJoystick(), 1);
    FlybyFlight f;
    f.heading = 10, f.speed = 1;
    EXPECT_EQ(Frame(&f, {}), 0);
    EXPECT_EQ(f.heading, 8);
    EXPECT_NEAR(f.speed, 0.98f, 1e-5);
    TestSetJoystick(JOY_UNPLUGGED, 0, 0, 0);
    TestClearShown();
    EXPECT_EQ(Frame(&f, {VK_RIGHT}), 0);
    EXPECT_EQ(f.heading, 10);  // the key alone
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(flybyControls.joystick, 1);  // still on for when it answers again
    // Switched off for the flight, the joystick is not read at all.
    TestSetJoystick(JOY_OK, 4998, 10000, 0);
    flybyControls.joystick = 0;
    Frame(&f, {});
    EXPECT_EQ(f.heading, 10);
}

}  // namespace
