// The map's repaint as the window procedure runs it: the vector pass in table order with the
// layer's description in the status line, then the names; Escape during the pass stops the
// later layers and the names, and the next repaint starts afresh.
#include <gtest/gtest.h>

#include <cstring>

#include "app/screens.h"
#include "app/window_fixture.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"
#include "support/vector_layer_files.h"

namespace {

constexpr ColourRef kGrid = MakeColour(0, 255, 0);
constexpr ColourRef kBorder = MakeColour(255, 0, 0);
constexpr ColourRef kCountry = MakeColour(0, 255, 255);

struct MapRepaintTest : ::testing::Test {
    TempFolder folder;
    WindowFixture window;
    char savedRoot[256];
    void SetUp() override {
        window.Open();
        strcpy(savedRoot, dataRoot);
        strcpy(dataRoot, folder.path.c_str());
        options.monitorInches = 14;
        zoomHistory[1] = MapWindow{0, 40, 20, 50};
        zoomDepth = 1;
        screenMode = 3;
        ResetLayerSwitches();
        std::string theme = "[Vector 2D Layers]\n"
                            "1,<BORDERS>\"National borders\"{255,000,000,000,000,000,0,01,00,000000000,000000000,0}\n"
                            "1,<~10>\"Grid 10 degrees\"{000,255,000,000,000,000,0,01,00,000000000,000000000,0}\n";
        ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
        VectorCellRecord line;
        line.cell = VectorCellNumber(35, 5);
        line.points = {{0, 5000}, {9999, 5000}};
        line.record = {60000, 2, 0, 0};
        ASSERT_TRUE(WriteTestVectorLayer(folder.path, "BORDERS", {line}));
        std::string names;
        for (int i = 0; i < 7; i++) names += i == 4 ? "1\n" : "0\n";
        for (int k = 0; k < kNameClasses; k++) names += "300000000 12 255 255 255\n";
        ASSERT_TRUE(WriteTestText(folder / "names.dat", names));
        memcpy(labelSwitches, "\0\0\0\0\1\0\0", 7);
        CountryNameRecord c;
        c.lat = 30, c.lon = 20, c.name = "Testland";
        memset(c.sizeCode, 1, sizeof c.sizeCode);
        ASSERT_TRUE(WriteTestFile(folder / "names/cnames.dat", EncodeCountryNameFile({c})));
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, 0);
        TestClearShown();
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        ResetLayerSwitches();
        memset(labelSwitches, 0, sizeof labelSwitches);
        drawAborted = 0;
        strcpy(dataRoot, savedRoot);
        window.Close();
    }
    int CountInMap(ColourRef c) {
        int n = 0;
        for (int y = mapRect.top; y < mapRect.bottom; y++)
            for (int x = mapRect.left; x < mapRect.right; x++) n += GetPixel(WindowSurface(), x, y) == c;
        return n;
    }
    void Clear() { FillRect(WindowSurface(), Rect{0, 0, 800, 600}, 0); }
};

TEST_F(MapRepaintTest, LayersThenNamesAndEscapeStopsBoth) {
    Clear();
    PaintMapScreen();
    EXPECT_EQ(drawAborted, 0);
    EXPECT_GT(CountInMap(kBorder), 10);
    EXPECT_GT(CountInMap(kGrid), 100);
    EXPECT_GT(CountInMap(kCountry), 10);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    // The last description is wiped from the status line when the pass ends.
    int lit = 0;
    for (int y = statusRect.top; y < statusRect.bottom; y++)
        for (int x = statusRect.left; x < statusRect.right; x++) lit += GetPixel(WindowSurface(), x, y) != 0;
    EXPECT_EQ(lit, 0);

    Clear();
    TestInjectKey(VK_ESCAPE);
    PaintMapScreen();
    EXPECT_EQ(drawAborted, 1);
    EXPECT_EQ(CountInMap(kBorder), 0);
    EXPECT_EQ(CountInMap(kGrid), 0);
    EXPECT_EQ(CountInMap(kCountry), 0);

    Clear();
    PaintMapScreen();  // the next repaint clears the flag and draws everything again
    EXPECT_EQ(drawAborted, 0);
    EXPECT_GT(CountInMap(kCountry), 10);
}

TEST_F(MapRepaintTest, CasedLinesDrawTheCasingFirstAndTheLineOverIt) {
    std::string theme = "[Vector 2D Layers]\n"
                        "1,<BORDERS>\"National borders\"{255,000,000,000,000,255,5,01,05,000000000,000000000,0}\n";
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
    memcpy(labelSwitches, "\0\0\0\0\0\0\0", 7);
    Clear();
    PaintMapScreen();
    int x, y;
    GeoToPixel(35.5, 5.5, &x, &y);
    EXPECT_EQ(GetPixel(WindowSurface(), x, y), kBorder);
    EXPECT_EQ(GetPixel(WindowSurface(), x, y - 2), MakeColour(0, 0, 255));
    EXPECT_EQ(GetPixel(WindowSurface(), x, y + 2), MakeColour(0, 0, 255));
    EXPECT_NE(GetPixel(WindowSurface(), x, y - 4), MakeColour(0, 0, 255));
}

}  // namespace

namespace {

TEST_F(MapRepaintTest, TheWorldViewDrawsLayersFromTheirPointFiles) {
    // A dashed road layer: at depth 0 a solid pixel per point, whatever its style.
    std::string theme = "[Vector 2D Layers]\n"
                        "1,<RD01>\"Major roads\"{255,000,000,000,000,255,5,03,05,000000000,000000000,0}\n";
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
    std::vector<uint8_t> top;
    EncodeWorldPoints({{400, 300}, {401, 300}}, &top);
    ASSERT_TRUE(WriteTestFile(folder / "800_z0/RD01.top", top));
    memcpy(labelSwitches, "\0\0\0\0\0\0\0", 7);
    zoomDepth = 0;
    Clear();
    PaintMapScreen();
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_EQ(CountInMap(kBorder), 2);
    EXPECT_EQ(CountInMap(MakeColour(0, 0, 255)), 0);
}

}  // namespace
