// The colour-scale legend: bar rectangles per screen, colour rows compared pixel by pixel
// with the scale file, the empty bar, label texts, the marker and the hot areas.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

// Colour k of the test scale: red = k / 256, green = k % 256, blue = 200.
std::vector<uint8_t> CountingScale() {
    std::vector<uint8_t> bytes(8 + 3 * kScaleColours);
    for (int k = 0; k < kScaleColours; k++) {
        bytes[8 + 3 * k] = (uint8_t)(k / 256);
        bytes[9 + 3 * k] = (uint8_t)(k % 256);
        bytes[10 + 3 * k] = 200;
    }
    return bytes;
}

ColourRef ScaleColourOf(int k) { return MakeColour(k / 256, k % 256, 200); }

const ColourRef kUnder = MakeColour(10, 20, 30);  // what hbmVirtual holds under the legend

struct LegendScreen : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Surface* savedVirtual = nullptr;
    Surface* target = nullptr;
    std::string scale;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        ASSERT_TRUE(WriteTestFile(folder / "scales/ian1.sca", CountingScale()));
        scale = std::string(dataRoot) + "\\scales\\ian1.sca";
        savedVirtual = hbmVirtual;
        hbmVirtual = CreateSurface(800, 600);
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, kUnder);
        target = CreateSurface(800, 600);
        screenMode = 3;
        smallLayout = 0;
        imperialUnits = 0;
        fixedElevationRange = 1;
        fixedElevation = {-392, 8848};
        observedElevation = {0, 4000};
        gammaTable.enabled = 0;
        memset(legendCache, 0xFF, sizeof legendCache);
        ReadScaleList();
        TestClearShown();
    }
    void TearDown() override {
        DeleteSurface(target);
        DeleteSurface(hbmVirtual);
        hbmVirtual = savedVirtual;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        screenMode = 0;
        imperialUnits = 0;
        fixedElevationRange = 0;
        gammaTable.enabled = 0;
    }
    int Draw(int displayCode, int drawMarker = 0, int marker = 0, int low = kLegendElevation, int high = kLegendElevation) {
        return DrawLegend(target, legendRect, scale.c_str(), marker, 1, drawMarker, legendCache, 1, displayCode, low, high);
    }
    // The colour the bar should show in row r above its bottom row.
    ColourRef Expected(const Rect& bar, int r, int floor) {
        int height = bar.bottom - bar.top;
        int k = (int)((long)r * 10000 / height);
        if (floor && k < 492) k = 492;
        return ScaleColourOf(k);
    }
};

}  // namespace

TEST_F(LegendScreen, BarRectanglePerScreenAndLayout) {
    struct Case {
        int mode, small;
        Rect bar;
    } cases[] = {
        {3, 0, {737, 222, 747, 278}}, {1, 0, {737, 222, 747, 278}}, {4, 0, {738, 222, 748, 292}},
        {5, 0, {738, 181, 748, 240}}, {7, 0, {757, 278, 767, 352}}, {3, 1, {589, 177, 597, 222}},
        {4, 1, {590, 177, 598, 233}}, {5, 1, {590, 144, 598, 192}}, {7, 1, {605, 222, 613, 281}},
    };
    for (const Case& c : cases) {
        screenMode = c.mode;
        smallLayout = c.small;
        Rect r = LegendBarRect();
        EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom), std::tie(c.bar.left, c.bar.top, c.bar.right, c.bar.bottom))
            << c.mode << "/" << c.small;
    }
}

TEST_F(LegendScreen, ColourRowsFollowTheScaleFromTheBottom) {
    ASSERT_EQ(Draw(-1), 1);
    Rect bar = LegendBarRect();
    for (int r = 0; r < bar.bottom - bar.top; r++) {
        int y = bar.bottom - 1 - r;
        EXPECT_EQ(GetPixel(target, bar.left, y), Expected(bar, r, 0)) << "row " << r;
        EXPECT_EQ(GetPixel(target, bar.right - 2, y), Expected(bar, r, 0)) << "row " << r;
        EXPECT_EQ(GetPixel(target, bar.right - 1, y), 0u) << "row " << r;  // the fill stops before right - 1
    }
    EXPECT_EQ(GetPixel(target, bar.left + 3, bar.top - 1), 0u);
    EXPECT_TRUE(TestShownMessages().empty());
    // Labels sit left of the bar at its two ends and nowhere between.
    auto lit = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; y++)
            for (int x = bar.left - 40; x < bar.left - 2; x++) n += ColourGreen(GetPixel(target, x, y)) > 128;
        return n;
    };
    EXPECT_GT(lit(bar.top - 8, bar.top + 8), 0);
    EXPECT_GT(lit(bar.bottom - 8, bar.bottom + 8), 0);
    EXPECT_EQ(lit(bar.top + 12, bar.bottom - 12), 0);
    Rect hot = LegendHotArea(legendCache, 0);
    EXPECT_EQ(hot.left, bar.left);
    EXPECT_EQ(hot.bottom, bar.bottom);
}

TEST_F(LegendScreen, FloorOnTheMapBarOnlyOverTheObservedRange) {
    fixedElevationRange = 0;
    ASSERT_EQ(Draw(2), 1);  // the map's elevation background shows colours
    Rect bar = LegendBarRect();
    // Rows 0..2 fall below index 492 (3/56 gives 535), so they take colour 492.
    EXPECT_EQ(GetPixel(target, bar.left, bar.bottom - 1), ScaleColourOf(492));
    EXPECT_EQ(GetPixel(target, bar.left, bar.bottom - 3), ScaleColourOf(492));
    EXPECT_EQ(GetPixel(target, bar.left, bar.bottom - 4), ScaleColourOf(535));
    // The terrain screen never floors its bar.
    screenMode = 4;
    ASSERT_EQ(Draw(2), 1);
    bar = LegendBarRect();
    EXPECT_EQ(GetPixel(target, bar.left, bar.bottom - 1), ScaleColourOf(0));
}

TEST_F(LegendScreen, GammaAppliesToTheBar) {
    BuildGammaTable(2.2);
    ASSERT_EQ(Draw(-1), 1);
    Rect bar = LegendBarRect();
    ColourRef raw = Expected(bar, 20, 0);
    ColourRef shown = MakeColour(gammaTable.entry[ColourRed(raw)], gammaTable.entry[ColourGreen(raw)], gammaTable.entry[ColourBlue(raw)]);
    EXPECT_EQ(GetPixel(target, bar.left + 1, bar.bottom - 21), shown);
    EXPECT_NE(shown, raw);
}

TEST_F(LegendScreen, DisplayTypesWithoutColoursDrawAnEmptyBar) {
    struct Case {
        int mode, code, colours;
    } cases[] = {{3, 0, 0}, {3, 2, 1}, {3, 4, 1}, {3, 1, 0}, {4, 3, 1}, {4, 9, 1}, {4, 5, 0}, {5, 4, 1}, {5, 3, 0}, {7, 2, 0}, {7, -1, 1}};
    for (const Case& c : cases) {
        screenMode = c.mode;
        FillRect(target, Rect{0, 0, 800, 600}, 0);
        // An empty bar never needs the scale file: a missing one is not reported.
        std::string path = c.colours ? scale : std::string("no-such.sca");
        TestClearShown();
        ASSERT_EQ(DrawLegend(target, legendRect, path.c_str(), 0, 1, 0, nullptr, 0, c.code, kLegendNoLabels, kLegendNoLabels), 1);
        EXPECT_TRUE(TestShownMessages().empty());
        Rect bar = LegendBarRect();
        ColourRef inside = GetPixel(target, bar.left + 1, bar.top + 5);
        if (c.colours) {
            EXPECT_EQ(inside, Expected(bar, bar.bottom - 1 - (bar.top + 5), 0)) << c.mode << "/" << c.code;
        } else {
            EXPECT_EQ(inside, kUnder) << c.mode << "/" << c.code;  // restored from hbmVirtual
            EXPECT_EQ(GetPixel(target, bar.left + 1, bar.top), MakeColour(255, 255, 255));
            EXPECT_EQ(GetPixel(target, bar.right - 4, bar.top + 5), MakeColour(255, 255, 255));
        }
    }
}

TEST_F(LegendScreen, MissingScaleReportsAndDrawsNothing) {
    std::string missing = std::string(dataRoot) + "\\scales\\gone.sca";
    EXPECT_EQ(DrawLegend(target, legendRect, missing.c_str(), 0, 1, 1, legendCache, 1, -1, kLegendElevation, kLegendElevation), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + missing);
    for (int y = 150; y < 400; y += 3)
        for (int x = 680; x < 800; x += 3) ASSERT_EQ(GetPixel(target, x, y), 0u);
    EXPECT_EQ(LegendHotArea(legendCache, 0).left, -1);
}

// A scale that cannot be read, or that ends early, leaves the elevation legend as it was:
// the colours the map keeps using stay explained.
TEST_F(LegendScreen, UnreadableScaleLeavesTheElevationLegendAsItWas) {
    ASSERT_EQ(ElevationLegend(target, 4), 1);
    std::vector<uint8_t> cut = CountingScale();
    cut.resize(8 + 3 * 9000);  // the top of the bar needs colours beyond 9000
    ASSERT_TRUE(WriteTestFile(folder / "scales/cut.sca", cut));
    Rect box = ElevationLegendBox();
    for (const char* name : {"gone.sca", "cut.sca"}) {
        ASSERT_TRUE(WriteTestText(folder / "scales.dat", std::string("1<") + name + ">\n"));
        ASSERT_EQ(ReadScaleList(), 1);
        std::vector<ColourRef> before;
        for (int y = box.top; y < box.bottom; y++)
            for (int x = box.left; x < box.right; x++) before.push_back(GetPixel(target, x, y));
        TestClearShown();
        EXPECT_EQ(ElevationLegend(target, 4), 0) << name;
        EXPECT_EQ(TestLastMessage(), "Cannot open file " + std::string(dataRoot) + "\\scales\\" + name);
        std::vector<ColourRef> after;
        for (int y = box.top; y < box.bottom; y++)
            for (int x = box.left; x < box.right; x++) after.push_back(GetPixel(target, x, y));
        EXPECT_EQ(after, before) << name;
        EXPECT_EQ(GetPixel(target, LegendBarRect().left + 2, LegendBarRect().bottom - 1), Expected(LegendBarRect(), 0, 0)) << name;
    }
    ASSERT_TRUE(WriteTestText(folder / "scales.dat", ""));
    ReadScaleList();
}

TEST_F(LegendScreen, LabelTexts) {
    struct Case {
        int mode, imperial, fixed;
        double fixedMin, fixedMax;
        int low, high;
        const char *top, *bottom;
    } cases[] = {
        {3, 0, 1, -392, 8848, kLegendElevation, kLegendElevation, "8848", "-392"},
        {3, 0, 0, -392, 8848, kLegendElevation, kLegendElevation, "4000", "0"},          // the observed range
        {3, 1, 1, -392, 8848, kLegendElevation, kLegendElevation, "29028", "-1286"},     // feet
        {7, 1, 1, 0, 2.5e6, kLegendElevation, kLegendElevation, "2.500 M", "0"},         // statistics keep their unit
        {7, 0, 1, -1.5e9, 6.1e9, kLegendElevation, kLegendElevation, "6.100 B", "-1.500 B"},
        {7, 0, 1, 999999, 1e6, kLegendElevation, kLegendElevation, "1.000 M", "999999"},
        {5, 0, 1, -392, 8848, -583, 441, "44.1", "-58.3"},
        {5, 1, 1, -392, 8848, 0, 6750, "675.0", "0.0"},                                 // tenths are not converted
        {5, 0, 1, -392, 8848, kLegendQualitative, kLegendQualitative, "Heavy", "Light"},
        {4, 0, 1, -392, 8848, kLegendNoLabels, kLegendNoLabels, "", ""},
    };
    for (const Case& c : cases) {
        screenMode = c.mode;
        imperialUnits = c.imperial;
        fixedElevationRange = c.fixed;
        fixedElevation = {c.fixedMin, c.fixedMax};
        std::string top, bottom;
        LegendLabelTexts(0, c.low, c.high, &top, &bottom);
        EXPECT_EQ(top, c.top) << c.mode << " " << c.low;
        EXPECT_EQ(bottom, c.bottom) << c.mode << " " << c.low;
    }
}

TEST_F(LegendScreen, MarkerPositionAndHotArea) {
    Rect bar{737, 222, 747, 278};
    EXPECT_EQ(LegendMarkerY(bar, -392, -392, 8848), 278);
    EXPECT_EQ(LegendMarkerY(bar, 8848, -392, 8848), 222);
    EXPECT_EQ(LegendMarkerY(bar, 4228, -392, 8848), 250);   // halfway: 278 - 28
    EXPECT_EQ(LegendMarkerY(bar, 100, 0, 1000), 273);       // trunc(-5.6) = -5
    EXPECT_EQ(LegendMarkerY(bar, 20000, -392, 8848), 222);  // kept within the bar
    EXPECT_EQ(LegendMarkerY(bar, -20000, -392, 8848), 278);
    EXPECT_EQ(LegendMarkerY(bar, 5, 5, 5), 278);

    fixedElevationRange = 0;
    observedElevation = {0, 1000};
    ASSERT_EQ(Draw(-1, 1, 500), 1);
    int y = 278 - 28;
    EXPECT_EQ(GetPixel(target, 747 + 4, y), MakeColour(255, 0, 0));  // inside the red shape
    EXPECT_EQ(GetPixel(target, 747 + 4, y - 8), 0u);
    Rect label = LegendHotArea(legendCache, 2);
    EXPECT_EQ(label.left, 748);
    EXPECT_GT(label.right, 758);
    EXPECT_LT(label.top, y);
    EXPECT_GT(label.bottom, y);

    // With a range in tenths the marker is placed over low/10 .. high/10.
    screenMode = 5;
    memset(legendCache, 0xFF, sizeof legendCache);
    ASSERT_EQ(Draw(-1, 1, 0, -1000, 1000), 1);
    Rect globeBar = LegendBarRect();
    int mid = globeBar.bottom + (int)((0 - (-100)) / 200.0 * (globeBar.top - globeBar.bottom));
    EXPECT_EQ(LegendHotArea(legendCache, 2).top < mid && LegendHotArea(legendCache, 2).bottom > mid, true);
}

TEST_F(LegendScreen, ElevationLegendClearsItsBoxAndUsesTheCurrentScale) {
    ASSERT_TRUE(WriteTestText(folder / "scales.dat", "0<ian1.sca>\n1<flat.sca>\n"));
    std::vector<uint8_t> flat(8 + 3 * kScaleColours, 0);
    for (int k = 0; k < kScaleColours; k++) flat[8 + 3 * k] = 250;
    ASSERT_TRUE(WriteTestFile(folder / "scales/flat.sca", flat));
    ASSERT_EQ(ReadScaleList(), 2);
    FillRect(target, Rect{0, 0, 800, 600}, MakeColour(0, 0, 255));
    ASSERT_EQ(ElevationLegend(target, 4), 1);
    Rect bar = LegendBarRect();
    EXPECT_EQ(GetPixel(target, bar.left + 2, bar.top + 10), MakeColour(250, 0, 0));
    EXPECT_EQ(GetPixel(target, 790, 286), 0u);                 // inside the cleared box
    EXPECT_EQ(GetPixel(target, 790, 300), MakeColour(0, 0, 255));  // below it
    Rect hot = LegendHotArea(legendCache, 0);
    EXPECT_EQ(hot.top, bar.top);
    EXPECT_EQ(hot.right, bar.right);
    EXPECT_NE(LegendHotArea(legendCache, 2).left, -1);  // the marker at 0
}
