// The theme file readers: fixed columns, the section rules, line lengths, the style block
// and the limits of 100 layers and 300 countries.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "map2d/map2d.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct ThemeFileTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(dataRoot, folder.path.c_str());
        TestClearShown();
    }
    void TearDown() override { strcpy(dataRoot, savedRoot); }
    void Theme(const std::string& text) { ASSERT_TRUE(WriteTestText(folder / "theme1.dat", text)); }
};

// A style block of twelve fields with widths 3,3,3,3,3,3,1,2,2,9,9,1.
const char* kBordersStyle = "{255,128,001,010,020,030,2,03,01,000500000,020000000,3}";

TEST_F(ThemeFileTest, MaxZoomScaleTakesTheFirstKeyOnly) {
    Theme("; comment\n[MaxZoomScale=   250000\n[MaxZoomScale=999\n");
    int32_t value = 0;
    EXPECT_EQ(ReadMaxZoomScale(&value), 1);
    EXPECT_EQ(value, 250000);
    Theme("[MaxZoomScal=5\n");
    EXPECT_EQ(ReadMaxZoomScale(&value), 0);
}

TEST_F(ThemeFileTest, MissingThemeFileNamesItsFullPath) {
    int32_t value;
    EXPECT_EQ(ReadMaxZoomScale(&value), 0);
    ASSERT_FALSE(TestShownMessages().empty());
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + std::string(dataRoot) + "\\theme1.dat");
    RasterEntry entry;
    EXPECT_EQ(ChooseRasterEntry(1000, &entry), 0);
    EXPECT_EQ(LoadCountryIds(), 0);
    size_t shown = TestShownMessages().size();
    EXPECT_EQ(LoadVectorLayerTable(), 0);  // the layer table is silent
    EXPECT_EQ(TestShownMessages().size(), shown);
}

TEST_F(ThemeFileTest, RasterEntriesBracketTheScaleInFileOrder) {
    //       0         1         2         3
    //       0123456789012345678901234567890123
    Theme("[Raster2D=1 -3 000050000 004000000\n"
          "[Raster2D=2 7  200000000 004000000\n"   // bounds written larger-first
          "[Raster2D=2 9  004000000 300000000\n");  // never reached for scales it shares
    struct Case { int32_t scale; int found; int smoothing; int32_t lower, upper; } cases[] = {
        {49999, 0, 0, 0, 0},
        {50000, 1, -3, 50000, 4000000},
        {3999999, 1, -3, 50000, 4000000},
        {4000000, 1, 7, 4000000, 200000000},
        {169465530, 1, 7, 4000000, 200000000},
        {200000000, 1, 9, 4000000, 300000000},
        {300000000, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RasterEntry e{};
        EXPECT_EQ(ChooseRasterEntry(c.scale, &e), c.found) << c.scale;
        if (!c.found) continue;
        EXPECT_EQ(e.smoothing, c.smoothing) << c.scale;
        EXPECT_EQ(e.lower, c.lower) << c.scale;
        EXPECT_EQ(e.upper, c.upper) << c.scale;
    }
}

TEST_F(ThemeFileTest, FieldsReadAsLeadingIntegers) {
    struct Case { const char* line; int column; int32_t value; } cases[] = {
        {"ab   -42x", 2, -42}, {"12", 5, 0}, {"x--3", 1, 0}, {"  7 8", 0, 7}, {"-", 0, 0}, {"99999999999", 0, INT32_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(ThemeFieldAt(c.line, c.column), c.value) << c.line;
}

TEST_F(ThemeFileTest, LayerRowsFollowTheColumnRules) {
    std::string text = "1,<BEFORE> \"ignored: not yet in the section\"\n"
                       "[Vector 2D Layers]\n"
                       "1,<BORDERS> \"National borders\" " + std::string(kBordersStyle) + "\n"
                       "; a comment line\n"
                       "0,{255,255,255,000,000,000,0,01,00,000000000,000000000,0} \"Cities\" <CITIES>\n"
                       "2,<NOPE>\n"
                       "1;<NOPE>\n"
                       "1,<A_VERY_LONG_LAYER_NAME_INDEED> \"" + std::string(60, 'd') + "\"\n"
                       "1,<SHORT> {255,128,001,010,020,030,2,03,01,000500000,020000000,}\n"
                       "0,<~10\n"
                       "[Names Country IDs]\n"
                       "1,<AFTER>\n";
    Theme(text);
    ASSERT_EQ(LoadVectorLayerTable(), 5);
    const VectorLayer& b = vectorLayers[0];
    EXPECT_EQ(b.on, 1);
    EXPECT_STREQ(b.name, "BORDERS");
    EXPECT_STREQ(b.description, "National borders");
    EXPECT_EQ(b.red1, 255);
    EXPECT_EQ(b.green1, 128);
    EXPECT_EQ(b.blue1, 1);
    EXPECT_EQ(b.red2, 10);
    EXPECT_EQ(b.green2, 20);
    EXPECT_EQ(b.blue2, 30);
    EXPECT_EQ(b.lineStyle, 2);
    EXPECT_EQ(b.width1, 3);
    EXPECT_EQ(b.width2, 1);
    EXPECT_EQ(b.scaleA, 500000);
    EXPECT_EQ(b.scaleB, 20000000);
    EXPECT_EQ(b.scaleRule, 3);
    // Parts in any order after column 1; the CITIES colours are kept.
    EXPECT_EQ(vectorLayers[1].on, 0);
    EXPECT_STREQ(vectorLayers[1].name, "CITIES");
    EXPECT_STREQ(vectorLayers[1].description, "Cities");
    EXPECT_EQ(cityColourPrimary, MakeColour(255, 255, 255));
    EXPECT_EQ(cityColourSecondary, MakeColour(0, 0, 0));
    // Long texts are cut to what the row holds.
    EXPECT_STREQ(vectorLayers[2].name, "A_VERY_LONG_LAYE");
    EXPECT_EQ(strlen(vectorLayers[2].description), 43u);
    // A 52-character block leaves every style field zero.
    EXPECT_STREQ(vectorLayers[3].name, "SHORT");
    EXPECT_EQ(vectorLayers[3].red1, 0);
    EXPECT_EQ(vectorLayers[3].scaleA, 0);
    // A name without its closing bracket runs to the end of the line.
    EXPECT_STREQ(vectorLayers[4].name, "~10");
}

TEST_F(ThemeFileTest, StyleBlocksOfOtherLengthsOrMisplacedCommasAreZero) {
    std::string good = kBordersStyle;  // with braces: 55 characters
    std::string longer = good.substr(0, 54) + "0}";
    std::string misplaced = good;
    std::swap(misplaced[4], misplaced[5]);  // the comma of column 3 moves
    Theme("[Vector 2D Layers]\n1,<A> " + good + "\n1,<B> " + longer + "\n1,<C> " + misplaced + "\n");
    ASSERT_EQ(LoadVectorLayerTable(), 3);
    EXPECT_EQ(vectorLayers[0].scaleRule, 3);
    EXPECT_EQ(vectorLayers[1].red1, 0);
    EXPECT_EQ(vectorLayers[1].scaleRule, 0);
    EXPECT_EQ(vectorLayers[2].red1, 0);
    EXPECT_EQ(vectorLayers[2].scaleB, 0);
}

TEST_F(ThemeFileTest, AHundredAndFirstLayerIsNotRead) {
    std::string text = "[Vector 2D Layers]\n";
    for (int i = 0; i < 101; i++) text += "1,<L" + std::to_string(i) + ">\n";
    Theme(text);
    EXPECT_EQ(LoadVectorLayerTable(), 100);
    EXPECT_STREQ(vectorLayers[99].name, "L99");
    // Reloading clears the table first.
    Theme("[Vector 2D Layers]\n0,<ONE>\n");
    EXPECT_EQ(LoadVectorLayerTable(), 1);
    EXPECT_EQ(vectorLayers[1].name[0], 0);
}

TEST_F(ThemeFileTest, ScaleRulesOfLayers) {
    VectorLayer l{};
    l.scaleA = 1000;
    l.scaleB = 5000;
    struct Case { int rule; int32_t scale; int drawn; } cases[] = {
        {0, 1, 1}, {1, 999, 1}, {1, 1000, 0}, {2, 5000, 0}, {2, 5001, 1},
        {3, 1000, 0}, {3, 1001, 1}, {3, 4999, 1}, {3, 5000, 0}, {4, 2000, 0},
    };
    for (const Case& c : cases) {
        l.scaleRule = (uint8_t)c.rule;
        EXPECT_EQ(LayerDrawnAtScale(l, c.scale), c.drawn) << c.rule << " " << c.scale;
    }
}

TEST_F(ThemeFileTest, CountryIdsBetweenTheirHeadingAndTheNextSection) {
    Theme("12 \"Outside\"\n"
          "[Names Country IDs]\n"
          "1 \"Afghanistan\",\n"
          "2 no quote here\n"
          "\"\n"                           // shorter than 5 characters
          "  250 \"Cote d'Ivoire\"\r\n"
          "-3 \"" + std::string(70, 'x') + "\n"
          "[Other]\n"
          "4 \"After\"\n");
    ASSERT_EQ(LoadCountryIds(), 3);
    EXPECT_EQ(countryIds[0].number, 1);
    EXPECT_STREQ(countryIds[0].name, "Afghanistan");
    EXPECT_EQ(countryIds[1].number, 250);
    EXPECT_STREQ(countryIds[1].name, "Cote d'Ivoire");
    EXPECT_EQ(countryIds[2].number, -3);
    EXPECT_EQ(strlen(countryIds[2].name), 61u);
}

TEST_F(ThemeFileTest, ThreeHundredCountriesAtMostAndLongLinesSplit) {
    std::string text = "[Names Country IDs]\n";
    for (int i = 1; i <= 305; i++) text += std::to_string(i) + " \"C" + std::to_string(i) + "\"\n";
    Theme(text);
    EXPECT_EQ(LoadCountryIds(), 300);
    EXPECT_STREQ(countryIds[299].name, "C300");
    // A line longer than 114 characters reads as two: the tail is a line of its own.
    Theme(std::string(114, ';') + "[MaxZoomScale=77\n");
    int32_t v = 0;
    EXPECT_EQ(ReadMaxZoomScale(&v), 1);
    EXPECT_EQ(v, 77);
}

}  // namespace
