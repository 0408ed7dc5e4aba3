// The flyby's frame: the terrain's skyline against a naive march at every pixel's depth, the
// heading against where a peak of known bearing appears, the camera from the flight, the sky's
// scrolling, the haze by distance and the switch to plain colours.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "flyby/flyby_render_internal.h"
#include "flyby_fixture.h"

using namespace flyby_fixture;

namespace {

constexpr int kW = 666, kH = 498;
constexpr uint32_t kPlainSky = 0xFF010203u;   // no terrain colour comes out like this

struct Frame {
    std::vector<uint32_t> pixels = std::vector<uint32_t>((size_t)kW * kH);
    uint32_t at(int x, int y) const { return pixels[(size_t)y * kW + x]; }
};

Frame Render(const FlybyGrids& g, const FlybyArt& art, const FlybyCamera& c, FlybyDisplay d = {}, int skyOffset = 0) {
    Frame f;
    RenderFlybyFrame(g, art, c, d, skyOffset, f.pixels.data(), kW, kH, kW);
    return f;
}

std::unique_ptr<FlybyArt> PlainSkyArt() {
    auto art = MakeArt();
    std::fill(art->sky.begin(), art->sky.end(), kPlainSky);
    return art;
}

// The first row of a column that is not sky; kH when the column is all sky.
int SkylineRow(const Frame& f, int x) {
    for (int y = 0; y < kH; y++)
        if (f.at(x, y) != kPlainSky) return y;
    return kH;
}

// The ground between cell centres, written out plainly.
double NaiveGround(const FlybyGrids& g, double column, double row) {
    double u = std::min(std::max(column - 0.5, 0.0), 511.0), w = std::min(std::max(row - 0.5, 0.0), 511.0);
    int c0 = (int)std::floor(u), r0 = (int)std::floor(w);
    int c1 = std::min(c0 + 1, 511), r1 = std::min(r0 + 1, 511);
    double fu = u - c0, fw = w - r0;
    auto h = [&](int r, int c) { return (double)g.heights[(size_t)r * 512 + c]; };
    return h(r0, c0) * (1 - fu) * (1 - fw) + h(r0, c1) * fu * (1 - fw) + h(r1, c0) * (1 - fu) * fw + h(r1, c1) * fu * fw;
}

// Pixel row y of column x shows terrain when the line of sight through it meets the ground
// somewhere on the way out: marched in steps of a fiftieth of a cell.
int NaiveSkylineRow(const FlybyGrids& g, const FlybyCamera& c, int x) {
    double focal = kW / 2.0 / std::tan(30 * M_PI / 180);
    double horizon = kH * kFlybyHorizonFraction;
    double a = c.heading * M_PI / 180, spread = (x + 0.5 - kW / 2.0) / focal;
    double dx = std::sin(a) + std::cos(a) * spread, dy = -std::cos(a) + std::sin(a) * spread;
    double highest = INFINITY;   // the smallest screen row the ground reaches
    for (double z = kFlybyNearestDepth; z < c.farCells; z += 0.02) {
        double column = c.column + dx * z, row = c.row + dy * z;
        if (column < 0 || row < 0 || column > 512 || row > 512) break;
        double y = horizon + (c.altitude - NaiveGround(g, column, row)) * 0.5 * focal / z;
        highest = std::min(highest, y);
    }
    return highest >= kH ? kH : std::max(0, (int)std::ceil(highest));
}

TEST(FlybyFrame, SkylineMatchesANaiveMarchAtEveryHeadingAndAltitude) {
    FlybyGrids g = MakeGrids(Hills, HillColour);
    auto art = PlainSkyArt();
    FlybyDisplay bare;
    bare.names = bare.airports = 0;
    float column = 256.3f, row = 300.7f;
    float ground = (float)NaiveGround(g, column, row);
    struct Case {
        float heading, altitude;
    } cases[] = {{0, ground + 2.05f}, {90, ground + 2.05f}, {225, ground + 2.05f}, {313, ground + 2.05f},
                 {0, 30}, {90, 30}, {225, 30}, {313, 30}};
    for (const Case& k : cases) {
        FlybyCamera c;
        c.column = column, c.row = row, c.heading = k.heading, c.altitude = k.altitude;
        Frame f = Render(g, *art, c, bare);
        int worst = 0, farthest = 0;
        for (int x = 0; x < kW; x++) {
            int expected = NaiveSkylineRow(g, c, x), got = SkylineRow(f, x);
            worst = std::max(worst, std::abs(expected - got));
            farthest |= expected < kH;
        }
        EXPECT_LE(worst, 1) << "heading " << k.heading << ", altitude " << k.altitude;
        EXPECT_TRUE(farthest) << "the terrain shows at all";
    }
}

// A tall narrow peak on flat land, at a known bearing from the eye, must appear where the
// heading puts it: straight ahead in the middle, to the right when it lies clockwise of the
// heading, not at all behind.
TEST(FlybyFrame, APeakAppearsAtItsBearingFromTheHeading) {
    auto art = PlainSkyArt();
    FlybyCamera c;
    c.column = 256.5f, c.row = 256.5f, c.altitude = 3;   // the eye over a cell's centre, as is the peak
    double focal = kW / 2.0 / std::tan(30 * M_PI / 180);
    struct Case {
        int dc, dr;             // the peak from the eye, in cells (rows grow southward)
        float heading;
        double expectedX;       // -1: not in view
    } cases[] = {
        {0, -40, 0, kW / 2.0},                                           // north, looking north
        {40, 0, 90, kW / 2.0},                                           // east, looking east
        {40, 0, 75, kW / 2.0 + focal * std::tan(15 * M_PI / 180)},       // 15 degrees to the right
        {0, 40, 200, kW / 2.0 - focal * std::tan(20 * M_PI / 180)},      // south, 20 degrees left
        {-30, -30, 300, kW / 2.0 + focal * std::tan(15 * M_PI / 180)},   // north-west
        {40, 0, 270, -1},                                                // behind
    };
    for (const Case& k : cases) {
        FlybyGrids g = MakeGrids([&](int r, int col) { return r == 256 + k.dr && col == 256 + k.dc ? 8.0 : 0.0; },
                                 [](int, int) { return kGreenIndex; });
        c.heading = k.heading;
        Frame f = Render(g, *art, c);
        int best = kH, firstX = -1, lastX = -1;
        for (int x = 0; x < kW; x++) {
            int y = SkylineRow(f, x);
            if (y < best) best = y, firstX = lastX = x;
            else if (y == best) lastX = x;
        }
        double bestX = (firstX + lastX) / 2.0;
        FlybyGrids plain = MakeGrids([](int, int) { return 0.0; }, [](int, int) { return kGreenIndex; });
        if (k.expectedX < 0) {
            EXPECT_EQ(f.pixels, Render(plain, *art, c).pixels) << "heading " << k.heading << ": nothing but the plain";
        } else {
            EXPECT_LT(best, SkylineRow(Render(plain, *art, c), firstX) - 20) << "heading " << k.heading;
            EXPECT_NEAR(bestX, k.expectedX, 6) << "heading " << k.heading;
        }
    }
}

TEST(FlybyFrame, CameraComesFromThePositionInsideTheWindow) {
    FlybyGrids g{};
    g.west = 1000, g.east = 1512, g.north = 2000, g.south = 2512;
    struct Case {
        float x, y;
        int heading;
        float column, row;
    } cases[] = {{1256.5f, 2100.25f, 0, 256.5f, 100.25f}, {1000, 2512, 359, 0, 512}, {1511, 2001, 90, 511, 1}};
    for (const Case& k : cases) {
        FlybyFlight f;
        f.x = k.x, f.y = k.y, f.heading = k.heading, f.altitude = 7.4f;
        FlybyCamera c = FlybyCameraFor(f, g);
        EXPECT_FLOAT_EQ(c.column, k.column);
        EXPECT_FLOAT_EQ(c.row, k.row);
        EXPECT_FLOAT_EQ(c.heading, (float)k.heading);
        EXPECT_FLOAT_EQ(c.altitude, 7.4f);
        EXPECT_LE(c.farCells, 256 - 48) << "the view ends inside the window, which is cut again 48 km off its centre";
    }
}

// Without grids the frame is all sky: the picture scrolled by the offset, its columns wrapping,
// its top row continued upward and its bottom row below the horizon.
TEST(FlybyFrame, SkyScrollsByItsOffsetAndWraps) {
    auto art = MakeArt();
    FlybyGrids none{};
    FlybyCamera c{};
    int horizon = (int)(kH * kFlybyHorizonFraction);
    for (int offset : {0, 5, 700, 1023, 1024, 1030, -3, -1030}) {
        Frame f = Render(none, *art, c, {}, offset);
        int bad = 0;
        for (int x = 0; x < kW; x += 7) {
            int column = ((x + offset) % kSkyWidth + kSkyWidth) % kSkyWidth;
            bad += f.at(x, horizon - 1) != SkyColour(column, kSkyHeight - 1);
            bad += f.at(x, horizon - kSkyHeight) != SkyColour(column, 0);
            bad += f.at(x, 0) != SkyColour(column, 0);
            bad += f.at(x, kH - 1) != SkyColour(column, kSkyHeight - 1);
        }
        EXPECT_EQ(bad, 0) << "offset " << offset;
    }
    EXPECT_EQ(Render(none, *art, c, {}, 77).pixels, Render(none, *art, c, {}, 77 + kSkyWidth).pixels);
}

int Distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift : {0, 8, 16}) d += std::abs((int)((a >> shift) & 255) - (int)((b >> shift) & 255));
    return d;
}

TEST(FlybyFrame, HazeThickensWithDistance) {
    int previous = 0;
    for (float depth = 0; depth <= 300; depth += 0.5f) {
        int level = FlybyHazeLevel(depth, 300);
        EXPECT_GE(level, previous) << depth;
        previous = level;
    }
    EXPECT_EQ(FlybyHazeLevel(10, 300), 0);
    EXPECT_EQ(FlybyHazeLevel(299.9f, 300), kFlybyHazeLevels - 1);

    // Flat land of one colour: up the middle column, from the nearest ground to the farthest,
    // the colour only ever moves toward the haze colour, and reaches it.
    auto art = PlainSkyArt();
    FlybyGrids g = MakeGrids([](int, int) { return 0.0; }, [](int, int) { return kGreenIndex; });
    FlybyCamera c;
    c.column = 256, c.row = 500, c.altitude = 6, c.heading = 0;
    Frame f = Render(g, *art, c);
    uint32_t haze = 0xFF000000u | kHazeRgb, green = 0xFF009900u;
    int top = SkylineRow(f, kW / 2), last = Distance(f.at(kW / 2, kH - 1), haze);
    EXPECT_EQ(f.at(kW / 2, kH - 1), green) << "clear air near the eye";
    for (int y = kH - 2; y >= top; y--) {
        int d = Distance(f.at(kW / 2, y), haze);
        EXPECT_LE(d, last) << "row " << y;
        last = d;
    }
    EXPECT_LT(last, Distance(green, haze) / 4) << "the farthest ground is mostly haze";

    FlybyDisplay clear;
    clear.haze = 0;
    Frame off = Render(g, *art, c, clear);
    for (int y = top; y < kH; y++) EXPECT_EQ(off.at(kW / 2, y), green) << "row " << y;
}

// With the textures off the ground takes its colour from its height, whatever the imagery says.
TEST(FlybyFrame, PlainColoursIgnoreTheImagery) {
    auto art = PlainSkyArt();
    FlybyGrids a = MakeGrids(Hills, HillColour), b = MakeGrids(Hills, [](int, int) { return 7; });
    FlybyCamera c;
    c.column = 200, c.row = 400, c.altitude = 12, c.heading = 20;
    FlybyDisplay plain;
    plain.textures = 0;
    EXPECT_EQ(Render(a, *art, c, plain).pixels, Render(b, *art, c, plain).pixels);
    EXPECT_NE(Render(a, *art, c).pixels, Render(b, *art, c).pixels);
    // Sea blue below sea level, snow high up.
    FlybyGrids sea = MakeGrids([](int, int) { return 0.0; }, HillColour), snow = sea;
    sea.lowestHeight = -3;
    snow.lowestHeight = 12;
    FlybyDisplay clear = plain;
    clear.haze = 0;
    uint32_t seaPixel = Render(sea, *art, c, clear).at(kW / 2, kH - 1), snowPixel = Render(snow, *art, c, clear).at(kW / 2, kH - 1);
    EXPECT_GT(seaPixel & 255, (seaPixel >> 16) & 255) << "blue over red";
    EXPECT_GT((snowPixel >> 16) & 255, 200u);
    EXPECT_GT(snowPixel & 255, 200u);
    // Land 2,500 m high in a window whose deepest sea floor lies 32 km lower is still land.
    FlybyGrids deep = MakeGrids([](int, int) { return 70.0; }, HillColour);
    deep.lowestHeight = -65;
    FlybyCamera above = c;
    above.altitude = 80;
    uint32_t landPixel = Render(deep, *art, above, clear).at(kW / 2, kH - 1);
    EXPECT_GT((landPixel >> 16) & 255, landPixel & 255) << "red over blue";
}

}  // namespace

namespace {

// The sea floor's slopes are in the grids but the water over them is drawn level: one colour
// however the floor slopes, while land of the same slopes is lit by them.
TEST(FlybyFrame, WaterIsDrawnLevelOverASlopingSeaFloor) {
    auto art = PlainSkyArt();
    FlybyGrids g = MakeGrids([](int r, int c) { return 2.0 + 1.5 * std::sin(r * 0.2) * std::cos(c * 0.15); }, [](int, int) { return kGreenIndex; });
    FlybyCamera c;
    c.column = 256, c.row = 400, c.altitude = 8, c.heading = 0;
    FlybyDisplay clear;
    clear.haze = 0;
    auto colours = [&](float lowest) {
        g.lowestHeight = lowest;
        Frame f = Render(g, *art, c, clear);
        std::set<uint32_t> seen;
        for (int y = kH / 2; y < kH; y++)
            for (int x = 0; x < kW; x++) seen.insert(f.at(x, y));
        return seen.size();
    };
    EXPECT_EQ(colours(-10), 1u) << "all of it under the sea";
    EXPECT_GT(colours(0), 20u) << "all of it land";
}

}  // namespace

namespace {

// The sun stands in the south-west: ground rising toward the north-east faces it and is
// brighter than level ground of the same colour, ground falling that way darker.
TEST(FlybyFrame, SlopesFacingTheSunAreBrighter) {
    auto art = PlainSkyArt();
    FlybyCamera c;
    c.column = 256, c.row = 400, c.altitude = 30, c.heading = 0;
    FlybyDisplay clear;
    clear.haze = 0;
    auto bottom = [&](double perCellNorth, double perCellEast) {
        FlybyGrids g = MakeGrids([&](int r, int col) { return 20 + (400 - r) * perCellNorth + (col - 256) * perCellEast; },
                                 [](int, int) { return kGreenIndex; });
        return (int)((Render(g, *art, c, clear).at(kW / 2, kH - 1) >> 8) & 255);
    };
    int level = bottom(0, 0);
    EXPECT_EQ(level, 153);
    EXPECT_GT(bottom(0.2, 0), level) << "rising northward";
    EXPECT_GT(bottom(0, 0.2), level) << "rising eastward";
    EXPECT_LT(bottom(-0.2, 0), level) << "falling northward";
    EXPECT_LT(bottom(0, -0.2), level) << "falling eastward";
}

}  // namespace

namespace {

// The screen draws straight into a surface whose rows are longer than the view: the frame is
// the same, and the pixels beyond the view's width are left alone.
TEST(FlybyFrame, DrawsIntoRowsLongerThanTheView) {
    auto art = MakeArt();
    FlybyGrids g = MakeGrids(Hills, HillColour);
    for (int r = 300; r < 380; r++)
        for (int c = 240; c < 300; c++) g.classes[(size_t)r * kFlybyGrid + c] = 5;
    FlybyName n{};
    n.row = 350.5, n.column = 260.5;
    g.names = {n};
    FlybyCamera c;
    c.column = 256, c.row = 400, c.altitude = 12, c.heading = 10;
    Frame tight = Render(g, *art, c);
    constexpr int kStride = kW + 13;
    std::vector<uint32_t> wide((size_t)kStride * kH, 0x12345678u);
    RenderFlybyFrame(g, *art, c, {}, 0, wide.data(), kW, kH, kStride);
    int differ = 0, touched = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kStride; x++) {
            uint32_t p = wide[(size_t)y * kStride + x];
            if (x < kW) differ += p != tight.at(x, y);
            else touched += p != 0x12345678u;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(touched, 0);
}

}  // namespace
