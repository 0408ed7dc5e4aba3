// The terrain view driven through its messages: its ways out, the grid steps, the exaggeration
// limits, the display types and the three tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/command_line.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"
#include "map2d/map2d.h"
#include "platform/test_double.h"
#include "terrain_screen_fixture.h"

using TerrainScreen = TerrainScreenTest;

TEST_F(TerrainScreen, EachWayOutHandsBackItsCodeAndRestoresTheLegend) {
    struct Case { int button, code; } cases[] = {{1, 3}, {3, 7}, {4, 8}, {5, 5}, {6, 1}};
    for (const Case& c : cases) {
        Point p = ButtonCentre(c.button);
        TestInjectClick(p.x, p.y);
        TestInjectClick(ButtonCentre(34).x, ButtonCentre(34).y);  // never reached: the tab leaves first
        int level = terrainReliefLevel;
        EXPECT_EQ(RunTerrainView(), c.code) << "button " << c.button;
        EXPECT_EQ(terrainReliefLevel, level);
        EXPECT_EQ(terrainBuffers.dtmDataBuf, nullptr);
        EXPECT_EQ(legendRect.left, savedLegend.left);
        EXPECT_EQ(legendRect.top, savedLegend.top);
        FlushMessages(0, 0xFFFFFFFF);
    }
    // The view's own tab refuses with the error cue; the demonstration plays the view's
    // recording, which this volume lacks.
    TestClearShown();
    for (int id : {2, 14}) TestInjectClick(ButtonCentre(id).x, ButtonCentre(id).y);
    TestInjectClick(ButtonCentre(1).x, ButtonCentre(1).y);
    EXPECT_EQ(RunTerrainView(), 3);
    EXPECT_EQ(ErrorCues(), 1);
    EXPECT_EQ(TestLastMessage(), "Cannot open file manual\\3d.rec");
}

// The manual over the view: the "about" text is missing here and says so, and the view
// carries on; a map link of the manual leaves for the 2D map on the link's window.
TEST_F(TerrainScreen, ManualOverTheViewAndItsMapLink) {
    WriteTestText(root / "manual/m_3d.txt", "{4}Drag the controls. {z \"6,47,44,10\" The Alps} on the map.\n");
    screenMode = 6;
    ASSERT_EQ(RunManualViewer("manual\\m_3d.txt", 1, nullptr, nullptr, nullptr), kManualEnded);
    Rect alps = manualViewer.shown.links[0].hot;
    screenMode = 4;
    TestClearShown();
    TestInjectClick(ButtonCentre(10).x, ButtonCentre(10).y);
    TestInjectClick(ButtonCentre(9).x, ButtonCentre(9).y);
    TestInjectClick((alps.left + alps.right) / 2, (alps.top + alps.bottom) / 2);
    EXPECT_EQ(RunTerrainView(), 3);
    EXPECT_EQ(screenMode, 4);
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Cannot open file manual\\about.txt"), texts.end());
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Cannot open file manual\\m_3d.txt"), 0);
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_DOUBLE_EQ(zoomHistory[1].west, 6);
    EXPECT_DOUBLE_EQ(zoomHistory[1].north, 47);
    ResetZoomHistory();
}

// F1 opens the view's own manual page as its Manual button does: the page's map link, clicked
// in it, proves which page was shown.
TEST_F(TerrainScreen, FunctionKeyOneOpensTheViewsPage) {
    WriteTestText(root / "manual/m_3d.txt", "{4}Drag the controls. {z \"6,47,44,10\" The Alps} on the map.\n");
    screenMode = 6;
    ASSERT_EQ(RunManualViewer("manual\\m_3d.txt", 1, nullptr, nullptr, nullptr), kManualEnded);
    Rect alps = manualViewer.shown.links[0].hot;
    screenMode = 4;
    TestClearShown();
    TestInjectKey(VK_F1);
    TestInjectClick((alps.left + alps.right) / 2, (alps.top + alps.bottom) / 2);
    EXPECT_EQ(RunTerrainView(), 3);
    for (const ShownText& t : TestShownMessages()) EXPECT_NE(t.text, "Cannot open file manual\\m_3d.txt");
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_DOUBLE_EQ(zoomHistory[1].west, 6);
    ResetZoomHistory();
}

// A place a later start hands over leaves the view for the map there; a line that names no
// place is dropped and the view goes on.
TEST_F(TerrainScreen, AHandedOverPlaceLeavesForTheMap) {
    TestHandOverLine("at 91 0 1000000");  // off the globe: not a place
    TestInjectClick(ButtonCentre(6).x, ButtonCentre(6).y);
    EXPECT_EQ(RunTerrainView(), 1);
    FlushMessages(0, 0xFFFFFFFF);
    TestHandOverLine("at 27.98 86.92 250000");
    TestInjectClick(ButtonCentre(6).x, ButtonCentre(6).y);  // never reached
    EXPECT_EQ(RunTerrainView(), kViewCodeHandedOverPlace);
    EXPECT_EQ(terrainBuffers.dtmDataBuf, nullptr);
    OpeningPlace place;
    ASSERT_EQ(TakeWaitingPlace(&place), 1);
    EXPECT_EQ(place.latitude, 27.98);
    EXPECT_EQ(place.longitude, 86.92);
    EXPECT_EQ(place.scale, 250000.0);
}

TEST_F(TerrainScreen, AViewWithoutItsSetLeavesAtOnceWithNothingHeld) {
    std::filesystem::remove(File(150, "hts"));
    EXPECT_EQ(RunTerrainView(), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + Shown(150, "hts"));
    EXPECT_EQ(terrainBuffers.dtmDataBuf, nullptr);
    EXPECT_EQ(legendRect.left, savedLegend.left);
}

// The wheel moves the zoom a quarter of the zoom control's unit a notch within its range,
// whatever the grid; half notches add up, the ends refuse.
TEST_F(TerrainScreen, WheelChangesTheZoomWithinTheControlsRange) {
    ASSERT_TRUE(OpenTerrainView());
    auto wheel = [](int delta) {
        Message m;
        m.kind = MSG_MOUSEWHEEL;
        m.wParam = MakeWheelParam(delta, 0);
        m.lParam = MakeMouseParam(300, 300);
        HandleTerrainMessage(m);
    };
    double medium = TerrainMediumZoom();
    wheel(kWheelDelta);
    EXPECT_NEAR(TerrainMediumZoom(), medium + 0.25, 1e-9);
    wheel(-kWheelDelta / 2);
    EXPECT_NEAR(TerrainMediumZoom(), medium + 0.25, 1e-9);
    wheel(-kWheelDelta / 2);
    wheel(-kWheelDelta);
    EXPECT_NEAR(TerrainMediumZoom(), medium - 0.25, 1e-9);
    EXPECT_EQ(ErrorCues(), 0);
    Press(33);  // the coarser grid keeps the block's size and the step
    EXPECT_NEAR(TerrainMediumZoom(), medium - 0.25, 1e-9);
    wheel(-40 * kWheelDelta);
    EXPECT_NEAR(TerrainMediumZoom(), 3.0, 1e-9);
    wheel(-kWheelDelta);
    EXPECT_EQ(ErrorCues(), 1);
    wheel(40 * kWheelDelta);
    EXPECT_NEAR(TerrainMediumZoom(), 7.0, 1e-9);
}

TEST_F(TerrainScreen, GridStepsKeepTheBlocksSizeAndRefuseAtTheEnds) {
    ASSERT_TRUE(OpenTerrainView());
    double zoom = GetTerrainZoom(), exaggeration = GetTerrainExaggeration();
    Press(33);
    EXPECT_EQ(terrainView.gridSize, 100);
    EXPECT_EQ(terrainSet.size, 100);
    EXPECT_NEAR(GetTerrainZoom(), zoom * 1.5, 1e-9);
    EXPECT_NEAR(GetTerrainExaggeration(), exaggeration * 2 / 3, 1e-9);
    Press(33);
    EXPECT_EQ(terrainView.gridSize, 100);
    EXPECT_EQ(ErrorCues(), 1);
    Press(32);
    EXPECT_EQ(terrainView.gridSize, 150);
    EXPECT_NEAR(GetTerrainZoom(), zoom, 1e-9);
    EXPECT_NEAR(GetTerrainExaggeration(), exaggeration, 1e-9);

    // No high grid yet: the question, answered No, changes nothing.
    TestClearShown();
    TestPushAnswer(IDNO);
    Press(32);
    EXPECT_EQ(terrainView.gridSize, 150);
    EXPECT_EQ(ErrorCues(), 2);
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestLastMessage(), "It may take a few moments to extract this data. Continue?");

    // With the high grid in the temporary folder it is loaded without asking.
    WriteSet(350);
    TestClearShown();
    Press(32);
    EXPECT_EQ(terrainView.gridSize, 350);
    EXPECT_EQ(terrainSet.size, 350);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_NEAR(GetTerrainZoom(), zoom * 150 / 350, 1e-9);
    Press(32);
    EXPECT_EQ(ErrorCues(), 3);
    EXPECT_EQ(terrainView.gridSize, 350);
}

TEST_F(TerrainScreen, TheHighGridExtractedOnYesOrLeftAsItWasWhenTheExtractionFails) {
    ASSERT_TRUE(OpenTerrainView());
    // Yes starts the extraction; with no tiles to cut from it fails and the grid stays.
    TestPushAnswer(IDYES);
    Press(32);
    EXPECT_EQ(terrainView.gridSize, 150);
    EXPECT_EQ(terrainSet.size, 150);
    EXPECT_GE(TestShownMessages().size(), 2u);
    EXPECT_EQ(TestShownMessages()[0].text, "It may take a few moments to extract this data. Continue?");
    EXPECT_EQ(terrainView.leaveCode, -1);
}

TEST_F(TerrainScreen, DetailsOnlyOnTheHighGridAndItHoldsTheGridThere) {
    ASSERT_TRUE(OpenTerrainView());
    EXPECT_EQ(ChooseTerrainType(kTerrainDetails), 0);
    EXPECT_EQ(terrainView.displayType, 0);
    EXPECT_EQ(ErrorCues(), 1);
    WriteSet(350);
    Press(32);
    ASSERT_EQ(ChooseTerrainType(kTerrainDetails), 1);
    EXPECT_EQ(WindowCaption(), "3D View: Details");
    TestClearShown();
    Press(33);
    EXPECT_EQ(terrainView.gridSize, 350);
    EXPECT_EQ(ErrorCues(), 2);
    EXPECT_EQ(TestLastMessage(), "The 'Details' overlay is not available under medium or low resolution. Please choose a "
                                 "different overlay from the 'Display Type' menu first.");
    ASSERT_EQ(ChooseTerrainType(kTerrainRelief), 1);
    Press(33);
    EXPECT_EQ(terrainView.gridSize, 150);
}

TEST_F(TerrainScreen, AReloadThatFailsLeavesTheView) {
    ASSERT_TRUE(OpenTerrainView());
    std::filesystem::remove(File(100, "rgb"));
    Press(33);
    EXPECT_EQ(terrainView.leaveCode, 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + Shown(100, "rgb"));
}

TEST_F(TerrainScreen, ExaggerationLevelsStopAtOneAndFive) {
    ASSERT_TRUE(OpenTerrainView());
    double e = GetTerrainExaggeration();
    for (int i = 0; i < 5; i++) Press(34);
    EXPECT_EQ(terrainReliefLevel, 5);
    EXPECT_NEAR(GetTerrainExaggeration(), e * 1.5 * 1.5 * 1.5, 1e-9);
    EXPECT_EQ(ErrorCues(), 2);
    for (int i = 0; i < 5; i++) Press(35);
    EXPECT_EQ(terrainReliefLevel, 1);
    EXPECT_NEAR(GetTerrainExaggeration(), e * std::pow(1.5, 3) * std::pow(0.66666, 4), 1e-9);
    EXPECT_EQ(ErrorCues(), 3);

    // The factors are capped: 60 at the top, 0.01 at the bottom.
    SetTerrainExaggeration(50);
    Press(34);
    EXPECT_DOUBLE_EQ(GetTerrainExaggeration(), 60.0);
    terrainReliefLevel = 3;
    SetTerrainExaggeration(0.012);
    Press(35);
    EXPECT_DOUBLE_EQ(GetTerrainExaggeration(), 0.01);
}

TEST_F(TerrainScreen, DisplayTypeChooserTakesARowAndRefusesDetailsBelowTheHighGrid) {
    ASSERT_TRUE(OpenTerrainView());
    Point at = ChooserPanelPosition(546, 45);
    auto row = [&](int type) { return Point{at.x + 40, at.y + 24 + type * 20 + 8}; };
    struct Case { int type; const char* caption; } cases[] = {
        {1, "3D View: Shaded Relief"}, {2, "3D View: Elevation"}, {3, "3D View: Aspect"}, {4, "3D View: Slope"},
        {0, "3D View: Satellite Imagery"}};
    for (const Case& c : cases) {
        TestInjectClick(row(c.type).x, row(c.type).y);
        Press(26);
        EXPECT_EQ(terrainView.displayType, c.type);
        EXPECT_EQ(WindowCaption(), c.caption);
        FlushMessages(0, 0xFFFFFFFF);
    }
    EXPECT_EQ(terrainSet.derivedLoaded, 1);  // aspect and slope need them

    // Details at grid 150 is refused in the panel, which stays open for Escape.
    TestInjectClick(row(5).x, row(5).y);
    Key(VK_ESCAPE);
    Press(26);
    EXPECT_EQ(terrainView.displayType, 0);
    EXPECT_EQ(ErrorCues(), 1);
    // A click outside the panel closes it without a choice.
    TestInjectClick(100, 300);
    Press(26);
    EXPECT_EQ(terrainView.displayType, 0);
}

TEST_F(TerrainScreen, CrossSectionFollowsTheLineOverTheHeights) {
    ASSERT_TRUE(OpenTerrainView());
    // Nearest cells of the miniature: its corners are the set's corners.
    struct Cell { int px, py, column, row; } cells[] = {
        {0, 0, 0, 0}, {143, 192, 149, 149}, {72, 0, 75, 0}, {0, 96, 0, 75}, {-5, 500, 0, 149}};
    for (const Cell& c : cells) {
        int column, row;
        MiniatureCell(c.px, c.py, 150, &column, &row);
        EXPECT_EQ(column, c.column) << c.px;
        EXPECT_EQ(row, c.row) << c.py;
    }
    // Along row 10 from column 0 to 149 in 150 samples: each cell once, in order.
    std::vector<int> h;
    CrossSectionProfile(0, 10, 149, 10, 150, &h);
    ASSERT_EQ(h.size(), 150u);
    for (int i = 0; i < 150; i++) ASSERT_EQ(h[(size_t)i], Height(10, i));
    // A diagonal back from (149, 149) to (0, 0) in 3 samples: the ends and the middle cell.
    CrossSectionProfile(149, 149, 0, 0, 3, &h);
    EXPECT_EQ(h, (std::vector<int>{Height(149, 149), Height(75, 75), Height(0, 0)}));
    EXPECT_EQ(CrossSectionLabel(1000), "1000 m ");
    imperialUnits = 1;
    EXPECT_EQ(CrossSectionLabel(1000), "3280 ft ");
    EXPECT_EQ(CrossSectionLabel(-100), "-328 ft ");
    imperialUnits = 0;

    // The tool: a line drawn on the miniature fills the strip; Escape restores the camera.
    double zoom = GetTerrainZoom(), exaggeration = GetTerrainExaggeration();
    Rect m = CrossSectionMiniature();
    TestInjectMessage(MSG_LBUTTONDOWN, 0, MakeMouseParam(m.left + 2, m.top + 2));
    TestInjectMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(m.right - 3, m.bottom - 3));
    TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(m.right - 3, m.bottom - 3));
    Rect strip = CrossSectionStrip();
    Key(VK_ESCAPE);
    ASSERT_TRUE(RunCrossSection());
    EXPECT_DOUBLE_EQ(GetTerrainZoom(), zoom);
    EXPECT_DOUBLE_EQ(GetTerrainExaggeration(), exaggeration);
    EXPECT_EQ(terrainSet.derivedLoaded, 1);
    EXPECT_EQ(strip.right - strip.left, 650);
}

TEST_F(TerrainScreen, ElevationColoursDrawElevationAndGiveTheMapItsRangesBack) {
    for (const char* look : {"menu/42.bmp", "menu/42m.bmp", "menu/42r.bmp", "menu/42h.bmp"})
        ASSERT_TRUE(WriteTestFile(root / look, SolidBmp24(kChooserWidth, kChooserHeight, 0x303030)));
    ASSERT_TRUE(OpenTerrainView());
    ElevationRange fixed = fixedElevation = ElevationRange{-11000, 7000};
    ElevationRange observed = observedElevation = ElevationRange{-200, 300};
    int fixedSwitch = fixedElevationRange;
    Point at = ChooserPanelPosition(546, 45);
    auto click = [&](int area) {
        const Rect& a = kChooserArea[area];
        TestInjectClick(at.x + (a.left + a.right) / 2, at.y + (a.top + a.bottom) / 2);
    };
    // Cancelled: nothing changes.
    Key(VK_ESCAPE);
    Press(30);
    EXPECT_EQ(terrainView.displayType, 0);
    EXPECT_EQ(fixedElevation.minimum, fixed.minimum);
    EXPECT_EQ(observedElevation.maximum, observed.maximum);
    // The other range switch confirmed: the elevation type is drawn.
    click(fixedSwitch ? 9 : 8);
    click(10);
    Press(30);
    EXPECT_EQ(terrainView.displayType, kTerrainElevation);
    EXPECT_EQ(WindowCaption(), "3D View: Elevation");
    EXPECT_EQ(fixedElevation.minimum, fixed.minimum);
    EXPECT_EQ(fixedElevation.maximum, fixed.maximum);
    EXPECT_EQ(observedElevation.minimum, observed.minimum);
    fixedElevationRange = fixedSwitch;
}

TEST_F(TerrainScreen, PanoramaSetUpPlacesAndTurnsTheObserver) {
    ASSERT_TRUE(OpenTerrainView());
    terrainDraw.direction = 350;
    terrainDraw.fieldOfView = 0;  // never set: the defaults come in
    terrainDraw.eyeHeight = 0;
    double zoom = GetTerrainZoom(), exaggeration = GetTerrainExaggeration();
    Point at = ChooserPanelPosition(546, 45);
    Rect m{at.x, at.y + 24, at.x + kMiniatureWidth, at.y + 24 + kMiniatureHeight};
    auto rowPoint = [&](int row, int half) {
        int top = m.bottom + 4 + row * 20;
        return Point{half < 0 ? m.left + 10 : m.right - 10, top + 8};
    };
    TestInjectClick(m.left + 143, m.top + 0);  // the north-east corner cell
    Point p = rowPoint(0, 1);
    TestInjectClick(p.x, p.y);                 // direction + 15, wrapping past north
    p = rowPoint(1, -1);
    TestInjectClick(p.x, p.y);                 // field - 10
    Key(VK_RETURN);                            // nothing typed: refused
    for (char c : std::string("9000")) Char(c);
    Key(VK_RETURN);                            // held at 6000
    Key(VK_LEFT);                              // direction - 15
    p = rowPoint(3, -1);
    TestInjectClick(p.x, p.y);                 // Done
    Press(27);
    EXPECT_EQ(terrainDraw.observerX, 149);
    EXPECT_EQ(terrainDraw.observerY, 0);
    EXPECT_DOUBLE_EQ(terrainDraw.direction, 350);
    EXPECT_DOUBLE_EQ(terrainDraw.fieldOfView, 50);
    EXPECT_DOUBLE_EQ(terrainDraw.eyeHeight, 6000);
    EXPECT_EQ(ErrorCues(), 1);
    EXPECT_DOUBLE_EQ(GetTerrainZoom(), zoom);
    EXPECT_DOUBLE_EQ(GetTerrainExaggeration(), exaggeration);
    EXPECT_EQ(WindowCaption(), "3D View: Satellite Imagery");
    EXPECT_EQ(terrainDraw.panoramaStrip, 0);

    // The limits of the field and the eye, and Escape: the observer starts at the centre again.
    WidenField(1000);
    EXPECT_DOUBLE_EQ(terrainDraw.fieldOfView, 180);
    WidenField(-1000);
    EXPECT_DOUBLE_EQ(terrainDraw.fieldOfView, 10);
    SetEyeHeight(0);
    EXPECT_DOUBLE_EQ(terrainDraw.eyeHeight, 1);
    Key(VK_ESCAPE);
    Press(27);
    EXPECT_EQ(terrainDraw.observerX, 75);
    EXPECT_DOUBLE_EQ(terrainDraw.eyeHeight, 1);  // kept for the run
}
