// The vector layers as drawn: the polyline drawer on layers written by the shared encoder
// (date-line shift, the pixel-size threshold, empty records, the scan's northern stop, Escape),
// the world point files, the graticule, and the layer switches over a theme file.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "support/vector_layer_files.h"

namespace {

constexpr ColourRef kPen = MakeColour(255, 0, 0);
constexpr ColourRef kDots = MakeColour(0, 0, 255);

struct VectorLayersTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Surface* s = nullptr;
    uint8_t buffer[kVectorWorkBufferSize];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(dataRoot, folder.path.c_str());
        TestClearShown();
        drawAborted = 0;
        s = CreateSurface(200, 200);
        SetPen(s, PEN_SOLID, 1, kPen);
    }
    void TearDown() override {
        DeleteSurface(s);
        strcpy(dataRoot, savedRoot);
        FlushMessages(0, 0xFFFFFFFF);
    }
    void Layer(const std::vector<VectorCellRecord>& records) {
        ASSERT_TRUE(WriteTestVectorLayer(folder.path, "TEST", records));
    }
    int Draw(const MapWindow& w, int width = 200, int height = 200) {
        return DrawOneVectorLayer(s, w, width, height, 0, 0, "v_data\\TEST.dat", "v_index\\TEST.idx", buffer,
                                  sizeof buffer, kDots);
    }
    ColourRef At(int x, int y) { return GetPixel(s, x, y); }
    int Count(ColourRef c) {
        int n = 0;
        for (int y = 0; y < 200; y++)
            for (int x = 0; x < 200; x++) n += GetPixel(s, x, y) == c;
        return n;
    }
};

VectorCellRecord Rec(int south, int west, uint16_t extent, std::vector<VectorPoint> points, int16_t refLon = 0,
                     int16_t refLat = 0) {
    VectorCellRecord r;
    r.cell = VectorCellNumber(south, west);
    r.points = points;
    r.record = {extent, (uint16_t)points.size(), refLon, refLat};
    return r;
}

TEST_F(VectorLayersTest, CellsWestOfTheDateLineAreShiftedIntoAWindowEastOfIt) {
    // A line along latitude 5.5 across the cell at -180, and one in the cell at 175.
    Layer({Rec(5, -180, 60000, {{0, 5000}, {10000, 5000}}), Rec(5, 175, 60000, {{0, 5000}, {10000, 5000}})});
    ASSERT_EQ(Draw(MapWindow{170, 190, 0, 20}), 1);  // 0.1 degree a pixel
    int y = (int)((5.5 - 20) / -20.0 * 200);
    EXPECT_EQ(At(100, y), kPen);   // longitude 180 (-180 + 360)
    EXPECT_EQ(At(109, y), kPen);   // 180.9
    EXPECT_EQ(At(50, y), kPen);    // 175
    EXPECT_NE(At(120, y), kPen);   // nothing east of 181
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(VectorLayersTest, FeaturesNoLargerThanAPixelAreOnePixelAtTheirReferencePoint) {
    // Window 0..10 degrees on 200 pixels: a pixel is 0.05 degree, T = 500.
    Layer({Rec(2, 2, 500, {{0, 0}, {5000, 0}}, 2500, 5000),   // T: one pixel
           Rec(4, 4, 501, {{0, 0}, {5000, 0}}, 2500, 5000)}); // T + 1: the line
    ASSERT_EQ(Draw(MapWindow{0, 10, 0, 10}), 1);
    int x, y;
    GeoToPixelIn(MapWindow{0, 10, 0, 10}, Rect{0, 0, 200, 200}, 2.5, 2.25, &x, &y);
    EXPECT_EQ(At(x, y), kDots);
    EXPECT_EQ(Count(kDots), 1);
    EXPECT_EQ(Count(kPen), 10);  // 4.0 .. 4.5 degrees, the end point left open
    GeoToPixelIn(MapWindow{0, 10, 0, 10}, Rect{0, 0, 200, 200}, 4.0, 4.2, &x, &y);
    EXPECT_EQ(At(x, y), kPen);
}

TEST_F(VectorLayersTest, AnEmptyRecordDrawsNothingAndLeavesTheNextRecordsPointsInPlace) {
    // Between two lines: a record of no points above the threshold, and a small feature whose
    // points are skipped unread. Misplaced reading would draw the third line elsewhere.
    Layer({Rec(1, 1, 9000, {{0, 0}, {0, 9000}}), Rec(1, 1, 9000, {}), Rec(1, 1, 1, {{9999, 9999}, {1, 1}, {2, 2}}, 5000, 2000),
           Rec(1, 1, 9000, {{0, 5000}, {9000, 5000}})});
    ASSERT_EQ(Draw(MapWindow{0, 10, 0, 10}), 1);
    EXPECT_EQ(Count(kPen), 18 + 18 - 1);  // two lines of 18 pixels meeting at (20, 170)
    EXPECT_EQ(Count(kDots), 1);
    int x, y;
    GeoToPixelIn(MapWindow{0, 10, 0, 10}, Rect{0, 0, 200, 200}, 1.5, 1.45, &x, &y);
    EXPECT_EQ(At(x, y), kPen);
}

TEST_F(VectorLayersTest, TheScanVisitsACellOnTheNorthEdgeAndStopsAtTheNextLatitude) {
    // Features reaching 1.5 degrees below their cells: the one in the cell whose south edge is
    // the window's north edge shows; the one a degree further north would too, were it visited.
    Layer({Rec(5, 2, 30000, {{0, -15000}, {0, -5000}}), Rec(6, 4, 30000, {{0, -15000}, {0, -5000}})});
    ASSERT_EQ(Draw(MapWindow{0, 10, -5, 5}), 1);
    int x2, x4, y2, y4;
    GeoToPixelIn(MapWindow{0, 10, -5, 5}, Rect{0, 0, 200, 200}, 4.0, 2.0, &x2, &y2);
    GeoToPixelIn(MapWindow{0, 10, -5, 5}, Rect{0, 0, 200, 200}, 4.8, 4.0, &x4, &y4);
    EXPECT_EQ(At(x2, y2), kPen);
    EXPECT_NE(At(x4, y4), kPen);
    EXPECT_EQ(Count(kPen), 20);
}

TEST_F(VectorLayersTest, ALineFarLargerThanTheWindowCrossesItWhereItShould) {
    // A thousandth of a degree shown on 200 pixels: the cell's diagonal is 2,000,000 pixels long.
    Layer({Rec(1, 1, 14142, {{0, 0}, {9999, 9999}})});
    ASSERT_EQ(Draw(MapWindow{1.0, 1.001, 1.0, 1.001}), 1);
    for (int x : {1, 50, 100, 150, 199})  // on the diagonal y = 200 - x, to a pixel
        EXPECT_TRUE(At(x, 200 - x) == kPen || At(x, 199 - x) == kPen || At(x, 201 - x) == kPen) << x;
    EXPECT_LT(Count(kPen), 210);
}

TEST_F(VectorLayersTest, EscapeStopsTheLayerBeforeItsFirstCell) {
    Layer({Rec(1, 1, 9000, {{0, 0}, {0, 9000}})});
    TestInjectKey('A');  // other keys are taken and ignored
    TestInjectKey(VK_ESCAPE);
    ASSERT_EQ(Draw(MapWindow{0, 10, 0, 10}), 1);
    EXPECT_EQ(drawAborted, 1);
    EXPECT_EQ(Count(kPen), 0);
}

TEST_F(VectorLayersTest, MissingAndTruncatedFilesAreReported) {
    EXPECT_EQ(Draw(MapWindow{0, 10, 0, 10}), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file v_data\\TEST.dat");
    ASSERT_TRUE(WriteTestFile(folder / "v_data/TEST.dat", std::vector<uint8_t>(256)));
    ASSERT_TRUE(WriteTestFile(folder / "v_index/TEST.idx", std::vector<uint8_t>(257)));
    EXPECT_EQ(Draw(MapWindow{0, 10, 0, 10}), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot read data from file v_index\\TEST.idx");
    // An index promising more cells than it holds, and a cell pointing past the data's end.
    std::vector<uint8_t> index(256 + 2 + 12), data(256);
    index[256] = 9;
    int cell = VectorCellNumber(1, 1);
    memcpy(&index[258], &cell, 4);
    index[262] = 50;
    index[266] = 0x10;
    index[267] = 0x27;  // offset 10000
    ASSERT_TRUE(WriteTestFile(folder / "v_data/TEST.dat", data));
    ASSERT_TRUE(WriteTestFile(folder / "v_index/TEST.idx", index));
    TestClearShown();
    EXPECT_EQ(Draw(MapWindow{0, 10, 0, 10}), 1);
    EXPECT_EQ(Count(kPen) + Count(kDots), 0);
}

TEST_F(VectorLayersTest, WorldPointFilesMapTheirGridOntoTheRectangle) {
    std::vector<WorldPoint> points = {{0, 0}, {400, 300}, {799, 599}};
    std::vector<uint8_t> bytes;
    EncodeWorldPoints(points, &bytes);
    ASSERT_TRUE(WriteTestFile(folder / "800_z0/RD01.top", bytes));
    ASSERT_EQ(DrawWorldPointFile(s, 200, 150, 0, 0, "800_z0\\RD01.top", buffer, 16, kPen), 1);
    EXPECT_EQ(At(0, 149), kPen);   // column 0, bottom row
    EXPECT_EQ(At(100, 74), kPen);  // (600 - 1 - 300) / 600 * 150 = 74.75
    EXPECT_EQ(At(199, 0), kPen);
    EXPECT_EQ(Count(kPen), 3);
    // A file of its header alone draws nothing.
    ASSERT_TRUE(WriteTestFile(folder / "800_z0/RD01.top", std::vector<uint8_t>(4)));
    FillRect(s, Rect{0, 0, 200, 200}, 0);
    ASSERT_EQ(DrawWorldPointFile(s, 200, 150, 0, 0, "800_z0\\RD01.top", buffer, sizeof buffer, kPen), 1);
    EXPECT_EQ(Count(kPen), 0);
}

TEST_F(VectorLayersTest, ThirtyDegreeGridWithDashedTropicsAndPolarCircles) {
    Surface* g = CreateSurface(361, 181);
    SetPen(g, PEN_SOLID, 1, kPen);
    // One degree a pixel: column = longitude + 180, row = 90 - latitude.
    DrawGridLayer(g, MapWindow{-180, 180, -90, 90}, Rect{0, 0, 360, 180}, 30);
    for (int lon = -180; lon < 180; lon += 30) EXPECT_EQ(GetPixel(g, lon + 180, 100), kPen) << lon;
    EXPECT_NE(GetPixel(g, 15, 100), kPen);
    for (int lat = -60; lat <= 90; lat += 30) EXPECT_EQ(GetPixel(g, 15, 90 - lat), kPen) << lat;
    for (int row : {23, 156, 66, 113}) {  // 66.5, -66.5, 23.5, -23.5
        EXPECT_EQ(GetPixel(g, 12, row), kPen) << row;
        EXPECT_EQ(GetPixel(g, 14, row), kPen) << row;
        EXPECT_NE(GetPixel(g, 16, row), kPen) << row;   // the gap of each 10-pixel step
        EXPECT_EQ(GetPixel(g, 21, row), kPen) << row;
    }
    DeleteSurface(g);
}

TEST_F(VectorLayersTest, FractionalGridAndTickSpacings) {
    // Ten pixels a degree: column = (longitude + 10) x 10, row = (10 - latitude) x 10.
    const MapWindow w{-10, 10, -10, 10};
    const Rect r{0, 0, 200, 200};
    DrawGridLayer(s, w, r, 0.5);
    for (int x : {5, 95, 105, 195}) EXPECT_EQ(At(x, 33), kPen) << x;  // meridians every 5 pixels
    for (int x : {3, 97, 102}) EXPECT_NE(At(x, 33), kPen) << x;
    EXPECT_EQ(At(33, 195), kPen);  // parallel of -9.5

    // Ticks of 4 pixels every 2.5 degrees, without labels: a spacing read as a whole number
    // would put them every 2 degrees instead.
    FillRect(s, Rect{0, 0, 200, 200}, 0);
    DrawTickLayer(s, w, r, "*4  0 2.5", kPen);
    for (int x : {25, 75, 125, 175}) {
        EXPECT_EQ(At(x, 2), kPen) << x;    // top edge, ticks downward
        EXPECT_EQ(At(x, 197), kPen) << x;  // bottom edge, ticks upward
    }
    for (int x : {20, 40, 80, 120}) EXPECT_NE(At(x, 2), kPen) << x;
    for (int y : {25, 75, 125, 175}) {
        EXPECT_EQ(At(2, y), kPen) << y;    // left edge, rightward
        EXPECT_EQ(At(197, y), kPen) << y;  // right edge, leftward
    }
    for (int y : {20, 40, 80, 120}) EXPECT_NE(At(2, y), kPen) << y;
    EXPECT_NE(At(25, 8), kPen) << "a tick is 4 pixels long";
}

// [SECTION] Switches

std::string Row(int on, const char* name) {
    return std::to_string(on) + ",<" + name + ">\"" + name + "\"{255,000,000,000,000,000,0,01,00,000000000,000000000,0}\n";
}

int RowOn(const char* name) {
    for (int i = 0; i < vectorLayerCount; i++)
        if (!strcmp(vectorLayers[i].name, name)) return vectorLayers[i].on;
    return -1;
}

std::vector<int> RowsOn(std::initializer_list<const char*> names) {
    std::vector<int> on;
    for (const char* name : names) on.push_back(RowOn(name));
    return on;
}

TEST_F(VectorLayersTest, SwitchesComeFromTheFirstLoadAndRuleEveryLoadAfter) {
    ResetLayerSwitches();
    std::string theme = "[Vector 2D Layers]\n" + Row(0, "RIV01") + Row(1, "RIV04") + Row(0, "LAKES") + Row(1, "PO13") +
                        Row(0, "~30") + Row(1, "RD08") + Row(0, "RD02") + Row(1, "ODD");
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
    ASSERT_EQ(LoadLayerTableWithSwitches(), 8);
    const uint8_t expected[kLayerSwitches] = {0, 0, 0, 1};
    EXPECT_EQ(memcmp(layerSwitches, expected, kLayerSwitches), 0);
    // Canals alone: the lakes come with them, the major rivers stay off; PO13 is on in the
    // file, but its switch 0 is off; a name no switch knows (ODD) never draws.
    EXPECT_EQ(RowsOn({"RIV04", "LAKES", "RIV01", "PO13", "RD08", "ODD"}), (std::vector<int>{1, 1, 0, 0, 0, 0}));

    // The user's switches now rule, whatever the file says.
    memset(layerSwitches, 0, sizeof layerSwitches);
    layerSwitches[0] = layerSwitches[9] = 1;
    LoadLayerTableWithSwitches();
    EXPECT_EQ(RowsOn({"RIV04", "LAKES", "PO13", "~30", "RD02", "RD08"}), (std::vector<int>{0, 0, 1, 1, 1, 1}));
    ResetLayerSwitches();
}

// The coarse sources of a group ("BORDERS_c") follow the group's switch; only the part before
// the "_" is the group, so a name that merely starts like one stays unknown.
TEST_F(VectorLayersTest, ScaleBandRowsFollowTheirGroupsSwitch) {
    ResetLayerSwitches();
    std::string theme = "[Vector 2D Layers]\n" + Row(1, "BORDERS_c") + Row(0, "BORDERS") + Row(1, "LAKES_l") +
                        Row(1, "PO13_i") + Row(1, "BORDERSX") + Row(1, "RIV04_l");
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
    ASSERT_EQ(LoadLayerTableWithSwitches(), 6);
    const uint8_t expected[kLayerSwitches] = {0, 0, 0, 1, 0, 0, 1};
    EXPECT_EQ(memcmp(layerSwitches, expected, kLayerSwitches), 0);
    // BORDERS is off in the file, on under the switch its band row set; LAKES_l comes with
    // the canals; PO13_i stays off with switch 0.
    EXPECT_EQ(RowsOn({"BORDERS_c", "BORDERS", "LAKES_l", "PO13_i", "BORDERSX"}), (std::vector<int>{1, 1, 1, 0, 0}));
    memset(layerSwitches, 0, sizeof layerSwitches);
    layerSwitches[0] = 1;
    LoadLayerTableWithSwitches();
    EXPECT_EQ(RowsOn({"PO13_i", "BORDERS_c", "LAKES_l"}), (std::vector<int>{1, 0, 0}));
    ResetLayerSwitches();
}

TEST(LayerScaleInDegrees, RulesCompareTheSpanWithTheBoundsInThousandths) {
    VectorLayer l{};
    l.scaleA = 10000;   // 10 degrees
    l.scaleB = 40000;   // 40 degrees
    struct Case { int rule; double span; int drawn; } cases[] = {
        {0, 500, 1}, {1, 9.9, 1}, {1, 10, 0}, {2, 40, 0}, {2, 40.1, 1}, {3, 20, 1}, {3, 10, 0}, {3, 40, 0}, {4, 20, 0},
    };
    for (const Case& c : cases) {
        l.scaleRule = (uint8_t)c.rule;
        EXPECT_EQ(LayerDrawnAtSpan(l, c.span), c.drawn) << c.rule << " " << c.span;
    }
}

}  // namespace

namespace {

TEST_F(VectorLayersTest, OverlayChooserSetsSwitchesOnOkOnly) {
    ResetLayerSwitches();
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", "[Vector 2D Layers]\n" + Row(1, "RIV01") + Row(0, "BORDERS")));
    uint8_t savedNames[8];
    memcpy(savedNames, labelSwitches, 8);
    memset(labelSwitches, 0, 8);
    TestPushDialogScript([](Dialog* d) {
        EXPECT_EQ(GetItemCheck(d, kOverlayLayerBox + 2), 1);  // derived from the theme file
        EXPECT_EQ(GetItemCheck(d, kOverlayLayerBox + 6), 0);
        SetItemCheck(d, kOverlayLayerBox + 6, 1);
        SetItemCheck(d, kOverlayNameBox + 4, 1);
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(OverlayChooser(), 0);
    EXPECT_EQ(layerSwitches[6], 0);
    EXPECT_EQ(labelSwitches[4], 0);
    TestPushDialogScript([](Dialog* d) {
        SetItemCheck(d, kOverlayLayerBox + 2, 0);
        SetItemCheck(d, kOverlayLayerBox + 6, 1);
        SetItemCheck(d, kOverlayNameBox + 4, 1);
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(OverlayChooser(), 1);
    EXPECT_EQ(layerSwitches[2], 0);
    EXPECT_EQ(layerSwitches[6], 1);
    EXPECT_EQ(labelSwitches[4], 1);
    LoadLayerTableWithSwitches();
    EXPECT_EQ(RowsOn({"RIV01", "BORDERS"}), (std::vector<int>{0, 1}));
    memcpy(labelSwitches, savedNames, 8);
    ResetLayerSwitches();
}

TEST_F(VectorLayersTest, OverlayChooserOffersTheRoadsAndRailwaysOfTheVolumeOnly) {
    ResetLayerSwitches();
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", "[Vector 2D Layers]\n" + Row(1, "RIV01") + Row(1, "RD01")));
    struct Seen { std::vector<std::string> texts; std::vector<int> enabled; } seen;
    auto look = [&seen](Dialog* d) {
        seen = Seen{};
        for (int i = 0; i < kLayerSwitches; i++) {
            seen.texts.push_back(GetItemText(d, kOverlayLayerBox + i));
            seen.enabled.push_back(TestItemEnabled(d, kOverlayLayerBox + i));
        }
    };
    // No road or railway layer in the volume: the six switches are offered disabled, and a
    // check that reaches one anyway changes nothing.
    TestPushDialogScript([&](Dialog* d) {
        look(d);
        SetItemCheck(d, kOverlayLayerBox + 12, 1);
        SetItemCheck(d, kOverlayLayerBox + 8, 0);
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(OverlayChooser(), 0);
    ASSERT_EQ(seen.texts.size(), (size_t)kLayerSwitches);
    EXPECT_EQ(seen.texts[7], "State and province borders");
    EXPECT_EQ(seen.texts[8], "Major roads (not in this volume)");
    EXPECT_EQ(seen.texts[13], "Minor railways (not in this volume)");
    EXPECT_EQ(seen.enabled, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(layerSwitches[8], 1) << "derived from the theme file and left alone";
    EXPECT_EQ(layerSwitches[12], 0);

    // Class 8 roads draw under all three road switches; the railways of class 2 under one.
    for (const char* name : {"RD08", "RR02"})
        ASSERT_TRUE(WriteTestFile(folder / (std::string("v_index/") + name + ".idx"), std::vector<uint8_t>(258)));
    TestPushDialogScript([&](Dialog* d) {
        look(d);
        SetItemCheck(d, kOverlayLayerBox + 12, 1);
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(OverlayChooser(), 1);
    EXPECT_EQ(seen.enabled, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0}));
    EXPECT_EQ(seen.texts[9], "Roads");
    EXPECT_EQ(seen.texts[11], "Major railways (not in this volume)");
    EXPECT_EQ(seen.texts[12], "Railways");
    EXPECT_EQ(layerSwitches[12], 1);
    ResetLayerSwitches();
}

}  // namespace
