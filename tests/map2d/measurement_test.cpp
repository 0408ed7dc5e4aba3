// Distances, areas, units and the status line: the numbers the user reads under the map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/app.h"
#include "map2d/measurement.h"
#include "map2d/zoom_commands.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct MeasurementTest : ::testing::Test {
    TempFolder folder;
    void SetUp() override {
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        mapRect = Rect{16, 39, 681, 538};
        statusRect = Rect{18, 539, 679, 563};
        screenWidth = 800;
        options.monitorInches = 14;
        ResetZoomHistory();
        ResetMeasureUnits();
    }
    void WriteUnits(const std::string& text) { ASSERT_TRUE(WriteTestText(folder / "distance.dat", text)); }
};

TEST_F(MeasurementTest, GreatCircleAcrossTheDateLine) {
    EXPECT_NEAR(GreatCircleDistance(0, 170, 0, -170, kUnitNauticalMiles, 0), 1200.0, 1e-6);
    EXPECT_NEAR(GreatCircleDistance(0, 170, 0, -170, kUnitMeters, 0), 2222400.0, 1e-3);
    EXPECT_NEAR(GreatCircleDistance(0, -170, 0, 170, kUnitKilometres, 0), 2222.4, 1e-6);
    EXPECT_NEAR(GreatCircleDistance(0, 170, 0, -170, kUnitMiles, 0), 1200.0 * 1.150779356060606, 1e-6);
    // Identical points (where rounding may leave the cosine just above 1) give 0, not NaN.
    for (double lat : {0.0, 33.3, -71.123456, 89.0}) {
        double d = GreatCircleDistance(lat, 12.345, lat, 12.345, kUnitMeters, 0);
        EXPECT_EQ(d, 0.0) << lat;
    }
    // Pole to pole along a meridian: half the circumference, 180 x 60 nm.
    EXPECT_NEAR(GreatCircleDistance(90, 0, -90, 0, kUnitNauticalMiles, 0), 10800.0, 1e-6);
}

TEST_F(MeasurementTest, WindowAreas) {
    EXPECT_NEAR(WindowAreaSquareKm(135, -180, -135, 180), 511185932.52252548, 1e-3);
    EXPECT_NEAR(WindowAreaSquareKm(90, -180, -90, 180), 511185932.52252548, 1e-3);
    // A band reversed west-east gives the same surface; one degree at the equator is
    // about 111.3 km square.
    EXPECT_DOUBLE_EQ(WindowAreaSquareKm(10, 20, 0, 10), WindowAreaSquareKm(10, 10, 0, 20));
    EXPECT_NEAR(WindowAreaSquareKm(0.5, 0, -0.5, 1), 111.317 * 111.317, 2.0);
    EXPECT_NEAR(SquareKmToAreaUnit(1.0, kAreaAcres), 1e6 / 4046.8564224, 1e-9);
    EXPECT_DOUBLE_EQ(SquareKmToAreaUnit(2.0, kAreaHectares), 200.0);
    EXPECT_DOUBLE_EQ(SquareKmToAreaUnit(2.0, kAreaSquareMiles), 0.7722);
}

TEST_F(MeasurementTest, ScaleBarChoice) {
    struct Case { double target, length; int divisions; };
    const Case cases[] = {
        {2.6, 3, 6}, {12.9, 12, 6}, {13.1, 14, 7}, {0.2, 1, 5}, {0.0, 1, 5}, {11.0, 12, 6},
        {172.0, 180, 6}, {170.0, 160, 4}, {2.5e9, 1.8e9, 6}, {7600.0, 8000, 4}, {1.5, 1, 5},
    };
    for (const Case& c : cases) {
        ScaleBarChoice bar = ChooseScaleBar(c.target);
        EXPECT_EQ(bar.length, c.length) << c.target;
        EXPECT_EQ(bar.divisions, c.divisions) << c.target;
    }
    EXPECT_EQ(ScaleBarPixels(3, 2.6, 665), (int)(3 / 2.6 * 166));
}

TEST_F(MeasurementTest, DistanceUnitCyclesThroughCustomUnits) {
    int unit = 0, k = 0;
    std::vector<int> seen;
    for (int i = 0; i < 6; i++) {
        AdvanceDistanceUnit(&unit, &k);
        seen.push_back(unit);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1, 2})) << "without distance.dat unit 4 is skipped";

    WriteUnits("# leagues and more\n4828.032 \"leagues\" of the sea\n");
    unit = 0;
    seen.clear();
    std::vector<int> ks;
    for (int i = 0; i < 6; i++) {
        AdvanceDistanceUnit(&unit, &k);
        seen.push_back(unit);
        ks.push_back(k);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 0, 1}));
    EXPECT_EQ(ks[3], 0);
    EXPECT_EQ(ks[4], 0);

    int area = 3;
    AdvanceAreaUnit(&area);
    EXPECT_EQ(area, 0);
}

TEST_F(MeasurementTest, CustomUnitsFromTheFile) {
    WriteUnits("furlongs are not here\n"
               "201.168 \"furlong\"\n"
               "x1 \"ignored\"\n"
               "1.8288 fathom without quotes\r\n"
               "0.3048 \"foot\n");
    double size;
    std::string name;
    ASSERT_EQ(ReadCustomUnit(0, &size, &name), 1);
    EXPECT_DOUBLE_EQ(size, 201.168);
    EXPECT_EQ(name, "furlong");
    ASSERT_EQ(ReadCustomUnit(1, &size, &name), 1);
    EXPECT_DOUBLE_EQ(size, 1.8288);
    EXPECT_EQ(name, "1.8288 fathom without quotes");
    ASSERT_EQ(ReadCustomUnit(2, &size, &name), 1);
    EXPECT_EQ(name, "foot");
    EXPECT_EQ(ReadCustomUnit(3, &size, &name), 0);
    EXPECT_EQ(size, 1.0);

    EXPECT_NEAR(GreatCircleDistance(0, 170, 0, -170, kUnitCustom, 0), 2222400.0 / 201.168, 1e-6);
    EXPECT_EQ(DistanceUnitLabel(kUnitCustom, 0), "furlong");
    // A unit that is gone leaves the numbers in metres.
    EXPECT_NEAR(GreatCircleDistance(0, 170, 0, -170, kUnitCustom, 7), 2222400.0, 1e-3);
    EXPECT_EQ(DistanceUnitLabel(kUnitCustom, 7), "meters");
    EXPECT_EQ(DistanceUnitLabel(kUnitNauticalMiles, 0), "nm");
}

TEST_F(MeasurementTest, WindowWidthInEachUnit) {
    MapWindow w{-10, 10, 59, 61};  // central latitude 60: half the equatorial width
    EXPECT_NEAR(WindowWidthInUnit(w, kUnitNauticalMiles, 0), 600.0, 1e-9);
    EXPECT_NEAR(WindowWidthInUnit(w, kUnitMeters, 0), 10 * 111317.09966666668, 1e-6);
    EXPECT_NEAR(WindowWidthInUnit(w, kUnitKilometres, 0), 10 * 111.31709966666668, 1e-9);
}

TEST_F(MeasurementTest, StatusLineDrawsTextsAndRecordsBoxes) {
    Surface* s = CreateSurface(800, 600);
    ASSERT_NE(s, nullptr);
    Surface* saved = hbmVirtual;
    hbmVirtual = nullptr;
    DrawStatusLine(s, mapRect, statusRect, measureUnits);
    EXPECT_EQ(areaTextBox.left, mapRect.left);
    EXPECT_EQ(scaleTextBox.right, mapRect.right);
    EXPECT_GT(scaleTextBox.left, areaTextBox.right);
    EXPECT_GT(unitBox.left, areaTextBox.right);
    EXPECT_LT(unitBox.right, scaleTextBox.left);
    // The world is 360 degrees at latitude 0: the target is a quarter of 40,074 km, so the
    // bar is 10,000,000 m with 5 divisions; its band has blue in rows 1-2 of the first
    // division and rows 3-4 of the second.
    int barTop = statusRect.top + 2;
    int pixels = ScaleBarPixels(1e7, 90.0 * 111317.09966666668, 665);
    int centre = (areaTextBox.right + scaleTextBox.left) / 2, left = centre - pixels / 2;
    int x0 = left + pixels / 10, x1 = left + pixels * 3 / 10;
    EXPECT_EQ(GetPixel(s, x0, barTop + 1), MakeColour(0, 0, 255));
    EXPECT_EQ(GetPixel(s, x0, barTop + 3), MakeColour(255, 255, 255));
    EXPECT_EQ(GetPixel(s, x1, barTop + 3), MakeColour(0, 0, 255));
    EXPECT_EQ(GetPixel(s, x1, barTop + 1), MakeColour(255, 255, 255));
    EXPECT_EQ(GetPixel(s, left + pixels + 3, barTop + 2), MakeColour(0, 0, 0));

    // Clicking the area text advances the area unit; the bar label the distance unit.
    measureUnits.area = 3;
    EXPECT_EQ(StatusLineClick(areaTextBox.left + 2, areaTextBox.top + 2), 1);
    EXPECT_EQ(measureUnits.area, 0);
    EXPECT_EQ(StatusLineClick(unitBox.left + 2, unitBox.top + 2), 1);
    EXPECT_EQ(measureUnits.distance, 1);
    EXPECT_EQ(StatusLineClick(mapRect.left + 300, mapRect.top + 10), 0);
    hbmVirtual = saved;
    DeleteSurface(s);
}

// 1 when the box of a surface holds exactly a text drawn white at its top-left corner in the
// generic font on black, as the status line draws its texts.
int BoxShowsText(Surface* s, const Rect& box, const std::string& text) {
    Surface* reference = CreateSurface(SurfaceWidth(s), SurfaceHeight(s));
    SetFont(reference, fhGeneric);
    SetTextColour(reference, MakeColour(255, 255, 255));
    SetBackgroundMode(reference, BK_TRANSPARENT);
    SetTextAlign(reference, TA_LEFT | TA_TOP);
    Point extent = TextExtent(reference, text.c_str());
    int same = extent.x == box.right - box.left && extent.y == box.bottom - box.top;
    TextOut(reference, box.left, box.top, text.c_str());
    for (int y = box.top; y < box.bottom && same; y++)
        for (int x = box.left; x < box.right && same; x++) same = GetPixel(s, x, y) == GetPixel(reference, x, y);
    DeleteSurface(reference);
    return same;
}

TEST_F(MeasurementTest, StatusLineShowsTypedScalesAsTyped) {
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", "[MaxZoomScale=100000\n"));
    Surface* s = CreateSurface(800, 600);
    ASSERT_NE(s, nullptr);
    Surface* saved = hbmVirtual;
    hbmVirtual = nullptr;
    // From a window over Europe, as a user types them into the scale dialog.
    struct Case { const char* typed; const char* shown; } cases[] = {
        {"250000", "Scale = 1:250,000 "}, {"12345678", "Scale = 1:12,345,678 "},
    };
    for (const Case& c : cases) {
        zoomHistory[2] = MapWindow{-10, 30, 35, 65};
        zoomDepth = 2;
        TestPushDialogScript([&c](Dialog* d) {
            SetItemText(d, 1036, c.typed);
            TestDialogCommand(d, IDOK);
        });
        ASSERT_EQ(ScaleDialog(), 1) << c.typed;
        FillRect(s, Rect{0, 0, 800, 600}, MakeColour(0, 0, 0));
        DrawStatusLine(s, mapRect, statusRect, measureUnits);
        EXPECT_EQ(StatusScaleText(MapScale()), c.shown);
        EXPECT_TRUE(BoxShowsText(s, scaleTextBox, c.shown)) << c.shown;
        EXPECT_EQ(scaleTextBox.right, mapRect.right);
    }
    // The area text too is what the window's surface makes it.
    zoomDepth = 0;
    FillRect(s, Rect{0, 0, 800, 600}, MakeColour(0, 0, 0));
    DrawStatusLine(s, mapRect, statusRect, measureUnits);
    EXPECT_TRUE(BoxShowsText(s, areaTextBox, " Surface area is 511,185,933 square kilometers"));
    // The world is 1:169,465,530.87 on a 14-inch monitor: shown rounded, not cut.
    EXPECT_TRUE(BoxShowsText(s, scaleTextBox, "Scale = 1:169,465,531 "));
    EXPECT_FALSE(BoxShowsText(s, scaleTextBox, "Scale = 1:169,465,530 ")) << "the comparison sees one digit";
    hbmVirtual = saved;
    DeleteSurface(s);
}

}  // namespace
