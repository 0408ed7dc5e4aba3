// Orbits on a globe frame: seen from above and from behind, a geostationary one beyond the
// limb, and the clock in the status line.
#include <gtest/gtest.h>

#include <cmath>

#include "globe/satellites.h"
#include "satellite_test_files.h"

namespace {

constexpr int kWidth = 665, kHeight = 499;
constexpr double kRadius = 16000.0 * 0.8;   // the globe fills 80% of the viewport's height
constexpr uint32_t kOrange = 0xFFFF8000u, kGreen = 0xFF00C000u, kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

int CountColour(Surface* s, const Rect& r, uint32_t colour) {
    int n = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) n += SurfacePixels(s)[y * SurfaceStride(s) + x] == colour;
    return n;
}

struct SatelliteOrbitDrawing : ::testing::Test {
    SatelliteVolume volume;
    Surface* s = nullptr;
    const Rect all{0, 0, kWidth, kHeight};
    void SetUp() override {
        ResetSatelliteState();
        s = CreateSurface(kWidth, kHeight);
        SetTextColour(s, MakeColour(0, 0, 255));   // blended over black or the pens, never orange or green
        SetBackgroundMode(s, BK_TRANSPARENT);
    }
    void TearDown() override {
        DeleteSurface(s);
        ResetSatelliteState();
    }
    // One satellite whose clock stands at 00:07:30, so its half hour crosses midnight; returns
    // where it was a quarter of an hour before, in radians.
    void LoadOne(const char* motion, const char* inclination, double* lambda, double* phi) {
        ElementText e;
        e.motion = motion, e.inclination = inclination;
        volume.Write("sats\\noaa.dat", ElementSet("SAT ONE", e));
        ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 1);
        SatelliteRecord& r = globeSatInfo[0];
        r.year = 1998, r.month = 1, r.day = 2, r.hours = 0.125;
        SatelliteRecord midway = r;
        AdvanceSatelliteClock(&midway, -0.25);
        OrbitResult o = PropagateSatellite(midway);
        *lambda = o.longitude * M_PI / 180.0;
        *phi = o.latitude * M_PI / 180.0;
    }
};

}  // namespace

TEST_F(SatelliteOrbitDrawing, LowOrbitSeenFromAboveAndFromBehind) {
    double lambda, phi;
    LoadOne("15.49000000", " 51.6400", &lambda, &phi);
    SatelliteRecord before = globeSatInfo[0];
    DrawGroupOrbits(nullptr, s, kRadius, lambda, phi, kWidth, kHeight);
    EXPECT_GT(CountColour(s, all, kOrange), 50);
    EXPECT_GT(CountColour(s, all, kGreen), 50);
    EXPECT_GE(CountColour(s, all, kWhite), 6);   // the diamond, less what the name covers
    const SatelliteRecord& after = globeSatInfo[0];   // the clock ends where it started
    EXPECT_EQ(after.year * 10000 + after.month * 100 + after.day, 19980102);
    EXPECT_NEAR(after.hours, before.hours, 1e-9);

    FillRect(s, all, 0);
    DrawGroupOrbits(nullptr, s, kRadius, lambda > 0.0 ? lambda - M_PI : lambda + M_PI, -phi, kWidth, kHeight);
    EXPECT_EQ(CountColour(s, all, kBlack), kWidth * kHeight);   // no orbit, track, marker or name
}

// With a small globe, a geostationary satellite seen from 100 degrees away is outside the
// disk: its orbit shows while its ground point is on the far side.
TEST_F(SatelliteOrbitDrawing, HighOrbitBeyondTheLimb) {
    double lambda, phi;
    LoadOne(" 1.00273791", "  0.0500", &lambda, &phi);
    DrawGroupOrbits(nullptr, s, kRadius * 0.1, lambda + 100.0 * M_PI / 180.0, 0.0, kWidth, kHeight);
    EXPECT_GT(CountColour(s, all, kWhite), 0);
    EXPECT_EQ(CountColour(s, all, kGreen), 0);
    EXPECT_LT(CountColour(s, all, kOrange), 40);   // half an hour of it is a few pixels
}

TEST_F(SatelliteOrbitDrawing, ClockInTheRightHalfOfTheStatusLine) {
    double lambda, phi;
    LoadOne("15.49000000", " 51.6400", &lambda, &phi);
    smallLayout = 0;
    SetLayoutRectangles();
    Surface* window = CreateSurface(800, 600);
    Surface* screen = CreateSurface(800, 600);
    FillRect(window, Rect{0, 0, 800, 600}, MakeColour(255, 0, 0));
    FillRect(screen, Rect{0, 0, 800, 600}, MakeColour(0, 0, 255));
    Surface* savedScreen = hbmVirtual;
    hbmVirtual = screen;
    DrawGroupOrbits(window, s, kRadius, 0.0, 0.0, kWidth, kHeight);
    hbmVirtual = savedScreen;

    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    int mid = (statusRect.left + statusRect.right) / 2, top = statusRect.top, bottom = statusRect.bottom;
    auto area = [](const Rect& r) { return (r.right - r.left) * (r.bottom - r.top); };
    const Rect left{statusRect.left, top, mid, bottom}, right{mid, top, statusRect.right, bottom};
    const Rect end{statusRect.right - 40, top, statusRect.right, bottom}, clear{mid, top, mid + 100, bottom};
    EXPECT_EQ(CountColour(window, left, red), area(left));           // the other half is left alone
    EXPECT_EQ(CountColour(window, right, red), 0);                   // restored from the screen image
    EXPECT_GT(area(end) - CountColour(window, end, blue), 20);       // the text ends at the right edge
    EXPECT_GT(CountColour(window, end, kWhite), 0);
    EXPECT_EQ(CountColour(window, clear, blue), area(clear));
    EXPECT_EQ(CountColour(window, Rect{0, 0, 800, top}, red), 800 * top);
    DeleteSurface(window);
    DeleteSurface(screen);
}
