// Orbit drawing on a globe frame: a low orbit seen from above shows its orange orbit, green
// ground track and white marker; behind the globe nothing shows; a geostationary satellite
// beyond the limb shows its orbit but no ground track; the clock goes into the status line.
#include <gtest/gtest.h>

#include <cmath>

#include "globe/satellites.h"
#include "satellite_test_files.h"

namespace {

constexpr int kWidth = 665, kHeight = 499;
constexpr double kRadius = 16000.0 * 0.8;   // the globe fills 80% of the viewport's height
constexpr uint32_t kOrange = 0xFFFF8000u, kGreen = 0xFF00C000u, kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

struct Pixels {
    int orange = 0, green = 0, white = 0, other = 0;
};

Pixels CountPixels(Surface* s, const Rect& area) {
    Pixels p;
    uint32_t* px = SurfacePixels(s);
    int stride = SurfaceStride(s);
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++) {
            uint32_t c = px[y * stride + x];
            if (c == kOrange) p.orange++;
            else if (c == kGreen) p.green++;
            else if (c == kWhite) p.white++;
            else if (c != kBlack) p.other++;
        }
    return p;
}

struct SatelliteOrbitDrawing : ::testing::Test {
    SatelliteVolume volume;
    Surface* s = nullptr;
    void SetUp() override {
        ResetSatelliteState();
        s = CreateSurface(kWidth, kHeight);
        // Blue names: blended over black or the pens they never give orange or green.
        SetTextColour(s, MakeColour(0, 0, 255));
        SetBackgroundMode(s, BK_TRANSPARENT);
    }
    void TearDown() override {
        DeleteSurface(s);
        ResetSatelliteState();
    }
    // Loads one satellite with the given mean motion and sets its clock.
    void LoadOne(const char* motion, const char* inclination) {
        ElementText e;
        e.motion = motion;
        e.inclination = inclination;
        volume.Write("sats\\noaa.dat", ElementSet("LOW ONE", e));
        ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 1);
        SatelliteRecord& r = globeSatInfo[0];
        r.year = 1998, r.month = 1, r.day = 2, r.hours = 0.125;   // 00:07:30, the track crosses midnight
    }
    // Where the satellite was a quarter of an hour before its clock, in radians.
    void Midway(double* lambda, double* phi) {
        SatelliteRecord r = globeSatInfo[0];
        AdvanceSatelliteClock(&r, -0.25);
        OrbitResult o = PropagateSatellite(r);
        *lambda = o.longitude * M_PI / 180.0;
        *phi = o.latitude * M_PI / 180.0;
    }
};

}  // namespace

TEST_F(SatelliteOrbitDrawing, LowOrbitSeenFromAbove) {
    LoadOne("15.49000000", " 51.6400");
    double lambda, phi;
    Midway(&lambda, &phi);
    SatelliteRecord before = globeSatInfo[0];
    DrawGroupOrbits(nullptr, s, kRadius, lambda, phi, kWidth, kHeight);
    Pixels p = CountPixels(s, Rect{0, 0, kWidth, kHeight});
    EXPECT_GT(p.orange, 50);
    EXPECT_GT(p.green, 50);
    EXPECT_GE(p.white, 6);   // the diamond, less what the name covers
    // The clock ends where it started, date included, although the track crossed midnight.
    const SatelliteRecord& after = globeSatInfo[0];
    EXPECT_EQ(after.day, before.day);
    EXPECT_EQ(after.month, before.month);
    EXPECT_EQ(after.year, before.year);
    EXPECT_NEAR(after.hours, before.hours, 1e-9);
}

TEST_F(SatelliteOrbitDrawing, NothingWhenBehindTheGlobe) {
    LoadOne("15.49000000", " 51.6400");
    double lambda, phi;
    Midway(&lambda, &phi);
    double opposite = lambda + M_PI;
    if (opposite > M_PI) opposite -= 2.0 * M_PI;
    DrawGroupOrbits(nullptr, s, kRadius, opposite, -phi, kWidth, kHeight);
    Pixels p = CountPixels(s, Rect{0, 0, kWidth, kHeight});
    EXPECT_EQ(p.orange, 0);
    EXPECT_EQ(p.green, 0);
    EXPECT_EQ(p.white, 0);
    EXPECT_EQ(p.other, 0);   // no name either
}

// Far beyond the limb a geostationary satellite is outside the disk: its orbit shows while
// its ground point is on the far side.
TEST_F(SatelliteOrbitDrawing, HighOrbitBeyondTheLimb) {
    LoadOne(" 1.00273791", "  0.0500");
    double lambda, phi;
    Midway(&lambda, &phi);
    DrawGroupOrbits(nullptr, s, kRadius * 0.1, lambda + 100.0 * M_PI / 180.0, 0.0, kWidth, kHeight);
    Pixels p = CountPixels(s, Rect{0, 0, kWidth, kHeight});
    EXPECT_GT(p.white, 0);
    EXPECT_EQ(p.green, 0);
    // Forty positions over half an hour barely move; the orbit is a few pixels at most.
    EXPECT_LT(p.orange, 40);
}

TEST_F(SatelliteOrbitDrawing, ClockInTheStatusLine) {
    LoadOne("15.49000000", " 51.6400");
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

    int mid = (statusRect.left + statusRect.right) / 2;
    const Rect leftHalf{statusRect.left, statusRect.top, mid, statusRect.bottom};
    const Rect rightHalf{mid, statusRect.top, statusRect.right, statusRect.bottom};
    const Rect rightEnd{statusRect.right - 40, statusRect.top, statusRect.right, statusRect.bottom};
    const Rect beyond{statusRect.right, statusRect.top, 800, statusRect.bottom};
    auto colourCount = [&](const Rect& r, uint32_t colour) {
        int n = 0;
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left; x < r.right; x++) n += SurfacePixels(window)[y * SurfaceStride(window) + x] == colour;
        return n;
    };
    auto area = [](const Rect& r) { return (r.right - r.left) * (r.bottom - r.top); };
    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    EXPECT_EQ(colourCount(leftHalf, red), area(leftHalf));   // the other half is left alone
    EXPECT_EQ(colourCount(rightHalf, red), 0);               // restored from the screen image
    // The text ends at the right edge, light on the restored background.
    EXPECT_GT(area(rightEnd) - colourCount(rightEnd, blue), 20);
    EXPECT_GT(colourCount(rightEnd, kWhite), 0);
    const Rect clear{mid, statusRect.top, mid + 100, statusRect.bottom};
    EXPECT_EQ(colourCount(clear, blue), area(clear));
    EXPECT_EQ(colourCount(beyond, 0xFFFF0000u), area(beyond));
    DeleteSurface(window);
    DeleteSurface(screen);
}

TEST_F(SatelliteOrbitDrawing, EmptyGroupDrawsNothing) {
    volume.Write("sats\\noaa.dat", "");
    EXPECT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 0);
    Surface* window = CreateSurface(800, 600);
    DrawGroupOrbits(window, s, kRadius, 0.0, 0.0, kWidth, kHeight);
    EXPECT_EQ(CountPixels(window, Rect{0, 0, 800, 600}).other + CountPixels(window, Rect{0, 0, 800, 600}).white, 0);
    EXPECT_EQ(CountPixels(s, Rect{0, 0, kWidth, kHeight}).other, 0);
    DeleteSurface(window);
    ReleaseSatelliteGroup();
    DrawGroupOrbits(window = nullptr, s, kRadius, 0.0, 0.0, kWidth, kHeight);   // no tables at all
}
