// The region palettes: how a value is classified into a colour index and a height class,
// both palette builders over hand-made country.inf lines and a scale whose colours name their
// index, and their messages for damaged lines and missing files.
#include <gtest/gtest.h>

#include <cmath>

#include "stats_files.h"

namespace {

TEST(StatPalettes, Classification) {
    struct Row {
        float v, min, max;
        int index, height;
    } rows[] = {
        {5, 0, 10, 5000, 15},
        {10, 0, 10, 9999, 30},         // at max: 10000 clamped, the full height
        {0, 0, 10, 0, 0},
        {-5, 0, 10, 0, 0},             // below the range
        {15, 0, 10, 9999, 30},         // above it
        {1, 0, 3, 3333, 10},           // truncated, not rounded
        {2, 0, 3, 6666, 20},
        {0.99999f, 0, 1, 9999, 29},
        {-0.5f, -1, 0, 5000, 15},
        {3, 3, 3, 0, 0},               // all values equal: max becomes min + 1
        {3.5f, 3, 3, 5000, 15},
        {2, 5, 1, 0, 0},               // max below min: max = 6, the value below the range
        {-1, 9.9e13f, -9.9e13f, 0, 0}, // no value was available
        {-1, 1e8f, -1e8f, 0, 0},
        {NAN, 0, 10, 0, 0},
    };
    for (const Row& row : rows) {
        int index = -7, height = -7;
        ClassifyStatValue(row.v, row.min, row.max, &index, &height);
        EXPECT_EQ(index, row.index) << row.v << " in " << row.min << ".." << row.max;
        EXPECT_EQ(height, row.height) << row.v << " in " << row.min << ".." << row.max;
    }
    EXPECT_EQ(ChoroplethScalePath(7), std::string(dataRoot) + "\\scales\\choro07.sca");
    EXPECT_EQ(ChoroplethScalePath(34), std::string(dataRoot) + "\\scales\\choro34.sca");
}

// Checks the fixed entries and that every index outside `set` is grey without a height.
void ExpectUntouchedExcept(const ColourRef palette[256], const int heights[256], std::initializer_list<int> set) {
    EXPECT_EQ(palette[0], MakeColour(0, 0, 0));
    EXPECT_EQ(palette[254], MakeColour(254, 254, 254));
    EXPECT_EQ(palette[255], MakeColour(255, 255, 255));
    EXPECT_EQ(heights[0], -1);
    EXPECT_EQ(heights[254], -1);
    EXPECT_EQ(heights[255], -1);
    for (int i = 1; i <= 253; i++) {
        if (std::find(set.begin(), set.end(), i) != set.end()) continue;
        EXPECT_EQ(palette[i], kGrey) << i;
        EXPECT_EQ(heights[i], -1) << i;
    }
}

TEST(StatPalettes, ChoroplethFromCountryInfo) {
    StatsRoot root;
    std::string scale = ChoroplethScalePath(14);
    ASSERT_TRUE(WriteTestFile(root / "scales/choro14.sca", IndexScaleBytes()));
    ASSERT_TRUE(WriteTestText(root / "table/country.inf",
                              "1 0   1   Aland\r\n"
                              "1 5   17  Bee\n"
                              "0 7   20  Flagged zero\n"     // leading integer 0: not a country
                              "1 261 30  Beyond\n"           // record out of range
                              "1 -1  31  Negative\n"
                              "1 8   0   No index\n"         // palette index out of range
                              "1 9   254 Border\n"
                              "2 10  40  Two\n"              // neither 0 nor 1 in front
                              "07 12  42  Zero-led seven\n"  // 0 in front, leading integer 7: used
                              "1 2   253 Last\n"
                              "1 3   2   Missing\n"
                              "1 4   3   At max\n"
                              "1 6   4   Above max\n"));
    float values[kCountryRecords];
    for (float& v : values) v = 77;  // lines that are skipped would bring this out
    values[0] = 0;
    values[5] = 50;
    values[2] = 25;
    values[3] = -1;
    values[4] = 100;
    values[6] = 250;
    values[12] = 12.5f;
    ColourRef palette[256];
    int heights[256];
    float byIndex[256];
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(1, 2, 3), heights[i] = 99, byIndex[i] = -1;
    ASSERT_EQ(BuildChoroplethPalette(scale.c_str(), values, 0, 100, palette, heights, byIndex), 1);
    struct {
        int index;
        ColourRef colour;
        int height;
        float value;
    } expected[] = {
        {1, IndexColour(0), 0, 0},        {17, IndexColour(5000), 15, 50},   {42, IndexColour(1250), 3, 12.5f},
        {253, IndexColour(2500), 7, 25},  {2, kGrey, 0, -1},                 {3, IndexColour(9999), 30, 100},
        {4, IndexColour(9999), 30, 250},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(palette[e.index], e.colour) << e.index;
        EXPECT_EQ(heights[e.index], e.height) << e.index;
        EXPECT_EQ(byIndex[e.index], e.value) << e.index;
    }
    ExpectUntouchedExcept(palette, heights, {1, 17, 42, 253, 2, 3, 4});
    for (int i : {20, 30, 31, 40}) EXPECT_EQ(byIndex[i], -1) << i;
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"country id out of range", "country id out of range",
                                                      "palette index out of range", "palette index out of range"}));

    // Without the per-index values, and with every value equal: all at the scale's start.
    for (float& v : values) v = 8;
    ASSERT_EQ(BuildChoroplethPalette(scale.c_str(), values, 8, 8, palette, heights, nullptr), 1);
    for (int i : {1, 17, 42, 253, 2, 3, 4}) {
        EXPECT_EQ(palette[i], IndexColour(0)) << i;
        EXPECT_EQ(heights[i], 0) << i;
    }
    // Nothing available: the range keeps its start values and every country is grey.
    for (float& v : values) v = -1;
    ASSERT_EQ(BuildChoroplethPalette(scale.c_str(), values, 9.9e13f, -9.9e13f, palette, heights, nullptr), 1);
    for (int i : {1, 17, 42, 253, 2, 3, 4}) {
        EXPECT_EQ(palette[i], kGrey) << i;
        EXPECT_EQ(heights[i], 0) << i;
    }
}

TEST(StatPalettes, RecolourByIndex) {
    StatsRoot root;
    std::string scale = ChoroplethScalePath(3);
    ASSERT_TRUE(WriteTestFile(root / "scales/choro03.sca", IndexScaleBytes()));
    float byIndex[256];
    uint8_t visible[256] = {};
    for (int i = 0; i < 256; i++) byIndex[i] = (float)i;
    byIndex[10] = -1;
    byIndex[11] = -1.5f;   // its whole part is -1: missing here
    byIndex[12] = -0.5f;   // whole part 0: a figure below the range
    byIndex[13] = -2.0f;
    for (int i : {5, 10, 11, 12, 13, 200, 253}) visible[i] = 1;
    ColourRef palette[256];
    int heights[256];
    ASSERT_EQ(RecolourPalette(scale.c_str(), byIndex, 0, 200, palette, heights, visible), 1);
    struct {
        int index;
        ColourRef colour;
        int height;
    } expected[] = {
        {5, IndexColour(250), 0}, {10, kGrey, 0}, {11, kGrey, 0}, {12, IndexColour(0), 0},
        {13, IndexColour(0), 0},  {200, IndexColour(9999), 30},   {253, IndexColour(9999), 30},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(palette[e.index], e.colour) << e.index;
        EXPECT_EQ(heights[e.index], e.height) << e.index;
    }
    ExpectUntouchedExcept(palette, heights, {5, 10, 11, 12, 13, 200, 253});
    // Every index when no flags are given.
    ASSERT_EQ(RecolourPalette(scale.c_str(), byIndex, 0, 253, palette, heights, nullptr), 1);
    EXPECT_EQ(palette[100], IndexColour(3952));
    EXPECT_EQ(heights[100], 11);
    EXPECT_EQ(palette[254], MakeColour(254, 254, 254));
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(StatPalettes, MissingAndShortFilesLeaveThePalette) {
    StatsRoot root;
    std::string scale = ChoroplethScalePath(1);
    float values[kCountryRecords] = {};
    float byIndex[256] = {};
    values[0] = 10;
    byIndex[1] = 10;
    ColourRef palette[256];
    int heights[256];
    auto fill = [&] {
        for (int i = 0; i < 256; i++) palette[i] = MakeColour(9, 9, 9), heights[i] = 5;
    };
    auto untouched = [&] {
        for (int i = 0; i < 256; i++)
            if (palette[i] != MakeColour(9, 9, 9) || heights[i] != 5) return false;
        return true;
    };
    struct Row {
        const char* what;
        int writeScale, scaleColours, writeInfo;
        std::string message;
    } rows[] = {
        {"no scale", 0, 0, 1, "Cannot open file " + scale},
        {"no country.inf", 1, 10000, 0, "Cannot open file country.inf"},
        {"a scale without the colour asked for", 1, 4000, 1, "Cannot open file " + scale},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        remove((root / "scales/choro01.sca").c_str());
        remove((root / "table/country.inf").c_str());
        if (row.writeScale) {
            ASSERT_TRUE(WriteTestFile(root / "scales/choro01.sca", IndexScaleBytes(row.scaleColours)));
        }
        if (row.writeInfo) {
            ASSERT_TRUE(WriteTestText(root / "table/country.inf", "1 0   1   Aland\n"));
        }
        TestClearShown();
        fill();
        EXPECT_EQ(BuildChoroplethPalette(scale.c_str(), values, 0, 20, palette, heights, nullptr), 0);
        EXPECT_TRUE(untouched());
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{row.message});
        if (!row.writeInfo) continue;
        TestClearShown();
        fill();
        EXPECT_EQ(RecolourPalette(scale.c_str(), byIndex, 0, 20, palette, heights, nullptr), 0);
        EXPECT_TRUE(untouched());
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{row.message});
    }
}

}  // namespace
