// The orthographic projection, drawing units to pixels, and the graticule on known frames.
#include <cmath>

#include "globe_build.h"
#include "globe_test_support.h"

namespace {

constexpr double kDeg = M_PI / 180.0;

TEST(GlobeProjection, OrthographicPoints) {
    const double R = 10000.0;
    struct Case {
        double lat, lon, lambda0, phi0;  // degrees
        int visible;
        double x, y;
    } cases[] = {
        {60, 0, 0, 0, 1, 0, R * std::sin(60 * kDeg)},          // straight above the centre
        {60, 0, 0, 60, 1, 0, 0},                               // seen from above latitude 60
        {0, 0, 0, 60, 1, 0, -R * std::sin(60 * kDeg)},
        {0, 30, 0, 0, 1, R * 0.5, 0},
        {0, 30, 30, 0, 1, 0, 0},
        {0, 89.9999, 0, 0, 1, R * std::sin(89.9999 * kDeg), 0}, // both sides of the limb
        {0, 90.0001, 0, 0, 0, R * std::sin(90.0001 * kDeg), 0},
        {-44.9, 0, 0, 45, 1, 0, -R * std::sin(89.9 * kDeg)},   // the limb below a view from 45 N
        {-45.1, 0, 0, 45, 0, 0, -R * std::sin(90.1 * kDeg)},
        {-90, 0, 0, -90, 1, 0, 0},                             // the south pole is taken,
        {90, 0, 0, 90, 0, 0, 0},                               // the north pole is not,
        {0, -180, 180, 0, 1, 0, 0},                            // nor longitude 180, but -180 is
        {0, 180, 180, 0, 0, 0, 0},
        {-90.01, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        double x, y;
        EXPECT_EQ(OrthographicPoint(c.lat, c.lon, R, c.lambda0 * kDeg, c.phi0 * kDeg, &x, &y), c.visible) << c.lat << "," << c.lon;
        EXPECT_NEAR(x, c.x, 1e-6) << c.lat << "," << c.lon;
        EXPECT_NEAR(y, c.y, 1e-6) << c.lat << "," << c.lon;
    }
}

TEST(GlobeProjection, UnitsToPixels) {
    const double a = 665.0 / 499.0;
    struct Case {
        double x, y;
        int w, h, px, py;
    } cases[] = {
        {0, 0, 665, 499, 332, 249},     {0, 16000, 665, 499, 332, 0},       {0, -16000, 665, 499, 332, 499},
        {-16000 * a, 0, 665, 499, 0, 249}, {-16000 * a - 40, 0, 665, 499, 0, 249},  // truncated towards 0
        {-16000 * a - 100, 0, 665, 499, -1, 249}, {8000, -8000, 400, 400, 300, 300},
    };
    for (const Case& c : cases) {
        Point p = GlobeUnitsToPixel(c.x, c.y, c.w, c.h);
        EXPECT_EQ(p.x, c.px) << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.py) << c.x << "," << c.y;
    }
}

struct GraticuleTest : GlobeTest {
    Surface* s = nullptr;
    void Draw(int tilt, double lon) {
        ReleaseGlobeBuffers();
        ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
        WriteRoot("globe\\large.flt", EncodeGlobeFilter(GlobeRadius(3), 90.0 - 45.0 * tilt));
        ASSERT_EQ(LoadGlobeFilter(90.0 - 45.0 * tilt, "globe\\large.flt", 0, 0), 1);
        if (s) DeleteSurface(s);
        s = CreateSurface(668, 499);
        DrawGraticule(s, 665, 499, lon);
    }
    void TearDown() override {
        if (s) DeleteSurface(s);
        GlobeTest::TearDown();
    }
    // The pixel of (lat, lon); 0 unless the point faces the viewer well inside the limb.
    int Inside(double lat, double lon, double centre, Point* p) {
        double x, y;
        if (!OrthographicPoint(lat, lon, globeBuffers.radiusUnits, centre * kDeg, globeBuffers.viewLatitude * kDeg, &x, &y) ||
            std::hypot(x, y) > 0.9 * globeBuffers.radiusUnits)
            return 0;
        *p = GlobeUnitsToPixel(x, y, 665, 499);
        return 1;
    }
};

const ColourRef kRed = MakeColour(128, 0, 0), kGreen = MakeColour(0, 128, 0), kGrey = MakeColour(96, 96, 96), kBlack = 0;

TEST_F(GraticuleTest, EquatorAndPrimeMeridianOnAnEquatorialView) {
    Draw(2, 0.0);
    // The equator along row 249, the prime meridian down column 332, green where they cross.
    const struct {
        int x, y;
        ColourRef c;
    } pixels[] = {{432, 249, kRed},   {232, 249, kRed},   {432, 248, kBlack}, {332, 149, kGreen}, {332, 349, kGreen},
                  {332, 249, kGreen}, {336, 150, kGrey},  // the tropic, row 150: longitudes 0..2 drawn,
                  {344, 150, kBlack},                     // 2..4 left out
                  {584, 249, kBlack}, {80, 249, kBlack}}; // nothing beyond the limb
    for (const auto& p : pixels) EXPECT_EQ(GetPixel(s, p.x, p.y), p.c) << p.x << "," << p.y;
}

// The view from over the pole and a southern tilt: a tilt of the wrong sign or a pole
// treated like any other view shows in one of the two.
TEST_F(GraticuleTest, LinesFollowTheProjectionAtAPolarAndASouthernTilt) {
    for (int tilt : {0, 3})
        for (double centre : {0.0, 37.0, -170.0}) {
            Draw(tilt, centre);
            int checked = 0;
            Point p, q;
            // Where a stroke of the equator starts, away from meridians and circles: red.
            for (int lon = -180; lon <= 176; lon += 2) {
                int m = ((lon % 15) + 15) % 15;
                if (m < 3 || m > 12 || !Inside(0, lon, centre, &p) || !Inside(0, lon + 2, centre, &q)) continue;
                EXPECT_EQ(GetPixel(s, p.x, p.y), kRed) << "tilt " << tilt << " centre " << centre << " lon " << lon;
                checked++;
            }
            // The prime meridian is drawn last: green all along.
            for (int lat = -60; lat <= 58; lat += 2) {
                if (!Inside(lat, 0, centre, &p) || !Inside(lat + 2, 0, centre, &q)) continue;
                EXPECT_EQ(GetPixel(s, p.x, p.y), kGreen) << "tilt " << tilt << " centre " << centre << " lat " << lat;
                checked++;
            }
            if (tilt != 0 || centre == 0.0) {
                EXPECT_GT(checked, 10) << "tilt " << tilt << " centre " << centre;
            }
        }
}

}  // namespace
