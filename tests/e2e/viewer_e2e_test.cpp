// End to end: the viewer starts offscreen on a small volume made by the builder, with its
// data root in a temporary folder, and is driven through its message queue: title page,
// room, 2D map, the background chooser, the pointer readout, the screen cache, the globe and
// the manual.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "imaging/panel_buttons.h"
#include "app/screens.h"
#include "core/command_line.h"
#include "flyby/flyby.h"
#include "flyby/flyby_screen.h"
#include "core/demonstrations.h"
#include "globe/globe.h"
#include "globe/satellites.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "e2e/user_data_root.h"
#include "stats/stats_files.h"
#include "stats/stats_screen.h"

namespace fs = std::filesystem;

namespace {

std::string ExeDir() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

// The volume is built by the test run's "e2e_volume" step next to the test program; run
// alone, the program builds it the same way when it is missing.
const std::string& Volume() {
    static std::string path;
    if (!path.empty()) return path;
    std::string dir = ExeDir();
    std::string volume = dir + "/e2e-volume";
    if (!FileExists((volume + "/titlepg.bmp").c_str())) {
        std::string builder = dir + "/../tools/volume/mundora-volume";
        std::string recipe = SourceDir() + "/tests/e2e/e2e-volume.recipe";
        std::string command = builder + " --out " + volume + " --only rasters,scales,sounds,font,artwork,manual,globe,climate,flyby,satellites --recipe " + recipe +
                              " --jobs 2 > " + dir + "/e2e-volume.log 2>&1";
        int status = system(command.c_str());
        if (status != 0) fprintf(stderr, "builder exit status %d, see %s/e2e-volume.log\n", status, dir.c_str());
    }
    path = volume;
    return path;
}

std::string ScreenshotPath(const char* name) {
    std::string dir = ExeDir() + "/e2e-screens";
    fs::create_directories(dir);
    return dir + "/" + name;
}

uint32_t WindowPixel(int x, int y) { return SurfacePixels(WindowSurface())[(size_t)y * SurfaceStride(WindowSurface()) + x] & 0xFFFFFF; }

// The viewer started as a user starts it: from an empty data root, finding the volume as an
// installed one.
struct Viewer : ::testing::Test {
    TempFolder root, xdg;
    std::string savedCwd;
    void SetUp() override {
        PrepareUserDataRoot(Volume(), root, xdg);
        if (HasFatalFailure()) return;
        savedCwd = CurrentDirectory();
        ChangeDirectory(root.path.c_str());
        ResetShellState();
        TestClearShown();
        options.soundsOn = 0;
        ASSERT_EQ(InitInstance(), 1) << TestLastMessage();
        TestPumpMessages();
    }
    void TearDown() override {
        Shutdown();
        DestroyMainWindow();
        ResetShellState();
        ChangeDirectory(savedCwd.c_str());
        unsetenv("XDG_DATA_HOME");
    }
    void Click(int x, int y) {
        TestInjectClick(x, y);
        TestPumpMessages();
    }
    void Move(int x, int y) {
        TestInjectMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(x, y));
        TestPumpMessages();
    }
    void ToMap() {
        Click(400, 300);  // title page -> room
        ASSERT_EQ(screenMode, 1);
        Click(200, 150);  // the room's start button (73)
        ASSERT_EQ(screenMode, 3);
    }
};

TEST_F(Viewer, TitlePageRoomAndMap) {
    EXPECT_EQ(screenMode, 2);
    EXPECT_EQ(panelButtonsBuilt, 1) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("title.png").c_str()));
    size_t paused = TestRecordedPauses().size();
    Click(400, 300);
    EXPECT_EQ(screenMode, 1);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("room.png").c_str()));
    // The lights come on: eight frames a tenth of a second apart, a second before the last.
    std::vector<int> pauses(TestRecordedPauses().begin() + paused, TestRecordedPauses().end());
    EXPECT_EQ(pauses, (std::vector<int>{100, 100, 100, 100, 100, 100, 100, 100, 1000}));
    // Close requests and system commands other than restore leave the program running.
    TestInjectMessage(MSG_CLOSE, 0, 0);
    TestInjectMessage(MSG_SYSCOMMAND, SC_CLOSE, 0);
    TestPumpMessages();
    EXPECT_TRUE(MainWindowExists());
    // The room's web and mail objects open the about page and a message to the contact, both
    // found like every data file (here in the data root, ahead of the volume).
    WriteTestText(root / "about.html", "<!DOCTYPE html>\n");
    WriteTestText(root / "contact.txt", "atlas@example.net\n");
    size_t opened = TestOpenedAddresses().size();
    Click(60, 330);
    Click(120, 430);
    ASSERT_EQ(TestOpenedAddresses().size(), opened + 2);
    EXPECT_EQ(TestOpenedAddresses()[opened], "file://" + root.path + "/about.html");
    EXPECT_EQ(TestOpenedAddresses()[opened + 1], "mailto:atlas@example.net?subject=Mundora");
    Click(200, 150);
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);  // the 2D tab shows pressed
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    // The status line names the world's scale on a 14-inch monitor.
    EXPECT_EQ(scaleBoxRect.right, mapRect.right);
    EXPECT_GT(scaleBoxRect.right - scaleBoxRect.left, 60);
    // The 2D tab again: the error cue, nothing changes.
    int mode = screenMode;
    Click(300, 10);
    EXPECT_EQ(screenMode, mode);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-0-imagery.png").c_str()));
}

TEST_F(Viewer, BackgroundChooserRecomposesEachBackground) {
    ToMap();
    const char* names[] = {"map-0-imagery.png", "map-1-relief.png", "map-2-elevation.png", "map-3-silhouette.png",
                           "map-4-elevation-flat.png"};
    uint32_t centre[kBackgroundChoices];
    for (int choice : {1, 2, 3, 4, 0}) {
        // Button 15 opens the chooser at (546, 45), which then reads the next click: lines
        // start 26 pixels below the panel's top, 24 pixels apart.
        TestInjectClick(745, 57);
        TestInjectClick(600, 45 + 26 + choice * 24 + 10);
        TestPumpMessages();
        ASSERT_EQ(mapBackground, choice);
        EXPECT_FALSE(FileExists(ScreenCachePath(1).c_str()));
        EXPECT_TRUE(FileExists(ScreenCachePath(0).c_str()));
        EXPECT_NE(lastComposeSource, kSourceCache);
        centre[choice] = WindowPixel(16 + 360, 39 + 160);  // about 20 N, 15 E: the Sahara
        TestSaveWindowPng(ScreenshotPath(names[choice]).c_str());
    }
    EXPECT_NE(centre[0], centre[1]);
    EXPECT_EQ(centre[3], 0x404040u);  // land in the silhouette
    // Escape leaves the choice as it was.
    TestInjectClick(745, 57);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(mapBackground, 0);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(Viewer, ReadoutShowsThePositionUnderThePointer) {
    ToMap();
    Rect r = readoutRect;
    Surface* expected = CreateSurface(800, 600);
    Blit(expected, 0, 0, 800, 600, hbmVirtual, 0, 0);
    // The world window: pixel (348, 288) is 0.2705 N, 0.2707 W.
    Move(16 + 332, 39 + 249);
    SetFont(expected, fhGeneric);
    SetTextColour(expected, MakeColour(255, 255, 255));
    SetBackgroundMode(expected, BK_TRANSPARENT);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    SetTextAlign(expected, TA_CENTER | TA_BOTTOM);
    TextOut(expected, cx, cy, "0\xB0" "16'14\" N");
    SetTextAlign(expected, TA_CENTER | TA_TOP);
    TextOut(expected, cx, cy, "0\xB0" "16'14\" W");
    int differing = 0, lit = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) {
            uint32_t want = SurfacePixels(expected)[(size_t)y * SurfaceStride(expected) + x] & 0xFFFFFF;
            differing += WindowPixel(x, y) != want;
            lit += want != (SurfacePixels(hbmVirtual)[(size_t)y * 800 + x] & 0xFFFFFF);
        }
    EXPECT_GT(lit, 20);
    EXPECT_EQ(differing, 0);
    // Off the map the readout is erased once.
    Move(750, 580);
    int still = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) still += WindowPixel(x, y) != (SurfacePixels(hbmVirtual)[(size_t)y * 800 + x] & 0xFFFFFF);
    EXPECT_EQ(still, 0);
    DeleteSurface(expected);
}

// Red pixels of the legend's marker, right of the colour bar.
int MarkerPixels() {
    Rect bar = LegendBarRect();
    int red = 0;
    for (int y = bar.top - 6; y < bar.bottom + 6; y++)
        for (int x = bar.right + 1; x < bar.right + 8; x++) red += WindowPixel(x, y) == 0xFF0000;
    return red;
}

TEST_F(Viewer, ElevationMarkerFollowsThePointer) {
    ToMap();
    ASSERT_TRUE(ElevationLegendShown());
    // Over the Alps (46 N, 10 E) the marker stands at the height there; over the deep Atlantic
    // (35 N, 45 W) it goes.
    int x = 16 + (int)((10 + 180) / 360.0 * 665), y = 39 + (int)((135 - 46) / 270.0 * 499);
    Move(x, y);
    EXPECT_EQ(elevationMarkerShown, 1);
    int height = 0;
    double lat, lon;
    PixelToGeo(x, y, &lat, &lon);
    ASSERT_EQ(PointElevation(lat, lon, &height), 1);
    EXPECT_GT(height, 500);
    Rect bar = LegendBarRect();
    int top = -1, bottom = -1;
    for (int row = bar.top - 4; row < bar.bottom + 4; row++)
        for (int col = bar.right + 1; col < bar.right + 8; col++)
            if (WindowPixel(col, row) == 0xFF0000) {
                if (top < 0) top = row;
                bottom = row;
            }
    ASSERT_GE(top, 0);
    int markerRow = (top + bottom) / 2;
    int expectedRow = LegendMarkerY(bar, height, (int)observedElevation.minimum, (int)observedElevation.maximum);
    EXPECT_NEAR(markerRow, expectedRow, 1);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-readout.png").c_str()));
    Move(16 + (int)((-45 + 180) / 360.0 * 665), 39 + (int)((135 - 35) / 270.0 * 499));
    EXPECT_EQ(elevationMarkerShown, 0);
    EXPECT_EQ(MarkerPixels(), 0);
}

TEST_F(Viewer, HoverStatesAndCursorsOverTheMap) {
    ToMap();
    Move(300, 300);
    EXPECT_EQ(mapHoverState, 6);
    EXPECT_EQ(GetCursorShape(), 141);
    EXPECT_EQ(FindPanelButton(22)->pressed, 1);
    TestInjectKey(VK_CONTROL);
    TestPumpMessages();
    EXPECT_EQ(mapHoverState, 7);
    EXPECT_EQ(GetCursorShape(), 144);
    EXPECT_EQ(FindPanelButton(22)->pressed, 0);
    EXPECT_EQ(FindPanelButton(23)->pressed, 1);
    // At depth 0 the edges do not pan; over a button the state is 1.
    Move(20, 300);
    EXPECT_EQ(mapHoverState, 7);
    Move(740, 57);
    EXPECT_EQ(mapHoverState, 1);
    EXPECT_EQ(GetCursorShape(), 107);
    EXPECT_EQ(FindPanelButton(23)->pressed, 0);
    // Deeper, the edges pan.
    zoomHistory[1] = MapWindow{0, 20, 35, 50};
    zoomDepth = 1;
    struct Edge { int x, y, state, cursor; } edges[] = {
        {20, 300, 2, 130}, {675, 300, 3, 131}, {300, 45, 4, 132}, {300, 530, 5, 133}};
    for (const Edge& e : edges) {
        Move(e.x, e.y);
        EXPECT_EQ(mapHoverState, e.state) << e.x << "," << e.y;
        EXPECT_EQ(GetCursorShape(), e.cursor);
    }
    zoomDepth = 0;
}

TEST_F(Viewer, GoingBackUpReusesTheScreenCache) {
    ToMap();
    ASSERT_TRUE(FileExists(ScreenCachePath(0).c_str()));
    uint32_t world = WindowPixel(300, 250);
    // A deeper window, as a zoom command leaves it.
    zoomHistory[1] = MapWindow{-10, 30, 30, 60};
    zoomDepth = 1;
    MapViewChanged();
    ASSERT_TRUE(FileExists(ScreenCachePath(1).c_str()));
    EXPECT_NE(lastComposeSource, kSourceCache);
    TestSaveWindowPng(ScreenshotPath("map-depth1.png").c_str());
    // A right click in the map goes back one depth, from its cache.
    TestInjectMessage(MSG_RBUTTONDOWN, MK_RBUTTON, MakeMouseParam(300, 250));
    TestPumpMessages();
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(lastComposeSource, kSourceCache);
    EXPECT_EQ(WindowPixel(300, 250), world);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

}  // namespace

namespace {

// The wheel over the map zooms about the pointer, a notch a depth, recomposing each time;
// turns outside the map do nothing and finer turns add up to a notch.
TEST_F(Viewer, WheelZoomsAboutThePointer) {
    ToMap();
    double lat, lon;
    PixelToGeo(420, 260, &lat, &lon);
    TestInjectWheel(420, 260, kWheelDelta);
    TestInjectWheel(420, 260, 2 * kWheelDelta);
    TestPumpMessages();
    EXPECT_EQ(zoomDepth, 3);
    int x, y;
    GeoToPixel(lat, lon, &x, &y);
    EXPECT_LE(std::abs(x - 420), 1);
    EXPECT_LE(std::abs(y - 260), 1);
    EXPECT_TRUE(FileExists(ScreenCachePath(3).c_str()));
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-wheel.png").c_str()));
    TestInjectWheel(740, 183, -kWheelDelta);  // the panel
    TestInjectWheel(420, 260, -kWheelDelta / 2);
    TestPumpMessages();
    EXPECT_EQ(zoomDepth, 3);
    TestInjectWheel(420, 260, -kWheelDelta / 2);
    TestPumpMessages();
    EXPECT_EQ(zoomDepth, 3);
    EXPECT_NEAR(CurrentMapWindow().east - CurrentMapWindow().west, 360 * 0.3 * 0.3, 1e-9);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    ResetZoomHistory();
}

TEST_F(Viewer, KeysSwitchesAndTheWayOut) {
    TestInjectKey('Q');  // any key leaves the title page
    TestPumpMessages();
    ASSERT_EQ(screenMode, 1);
    Click(200, 150);
    ASSERT_EQ(screenMode, 3);
    // The units switch and the help-prompt switch.
    uint32_t before = imperialUnits;
    Click(740, 183);
    EXPECT_NE(imperialUnits, before);
    uint32_t prompts = helpPromptsOn;
    Click(400, 588);
    EXPECT_NE(helpPromptsOn, prompts);
    EXPECT_EQ(screenMode, 3);
    // Back to the room with button 6; out through the exit button 74.
    Click(280, 588);
    ASSERT_EQ(screenMode, 1);
    Click(200, 230);
    EXPECT_FALSE(MainWindowExists());
    EXPECT_TRUE(ShutdownDone());
    EXPECT_FALSE(FileExists(ScreenCachePath(0).c_str()));
    EXPECT_TRUE(FileExists((root.path + "/options.dat").c_str()));
}

// --at and geo: links (beyond the original design): the map opens straight from the title
// page, centred on the place at the asked scale, held inside the map and the zoom limits.
TEST_F(Viewer, PlaceFromTheCommandLineOpensTheMapThere) {
    ASSERT_EQ(screenMode, 2);
    OpenMapAtPlace(45.5, 8.0, 1000000);
    EXPECT_EQ(screenMode, 3);
    ASSERT_EQ(zoomDepth, 1);
    const MapWindow& w = CurrentMapWindow();
    EXPECT_NEAR((w.west + w.east) / 2.0, 8.0, 1e-9);
    EXPECT_NEAR((w.south + w.north) / 2.0, 45.5, 1e-9);
    EXPECT_NEAR(MapScale() / 1000000.0, 1.0, 0.001);
    EXPECT_NEAR((w.north - w.south) / (w.east - w.west), 0.75, 1e-9);  // the world view's shape
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-at-alps.png").c_str()));

    // Near the pole and the date line the window moves inside the map, the place still in it.
    OpenMapAtPlace(85.0, 179.5, 2000000);
    ASSERT_EQ(zoomDepth, 1);
    const MapWindow& edge = CurrentMapWindow();
    EXPECT_EQ(edge.north, 90.0);
    EXPECT_EQ(edge.east, 180.0);
    EXPECT_LT(edge.south, 85.0);
    EXPECT_LT(edge.west, 179.5);
    // Closer than the volume allows stops at its limit (this theme file's 1:100,000).
    OpenMapAtPlace(45.5, 8.0, 1000);
    EXPECT_NEAR(MapScale() / 100000.0, 1.0, 0.001);
    // A scale larger than the world shows the world view.
    OpenMapAtPlace(0.0, 0.0, 130000000);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(screenMode, 3);
}

// A second start with a place hands it to this copy through the single-instance channel.
TEST_F(Viewer, ASecondStartHandsItsPlaceToTheRunningCopy) {
    std::string key = "MundoraHandOverTest" + std::to_string(getpid());
    ASSERT_EQ(AnotherInstanceRunning(key.c_str()), 0);  // this copy listens
    // A plain second start only raises the window: nothing changes.
    ASSERT_EQ(AnotherInstanceRunning(key.c_str()), 1);
    for (int i = 0; i < 20; i++) TestPumpMessages(), usleep(5000);
    EXPECT_EQ(screenMode, 2);
    OpeningPlace place;
    std::string error;
    ASSERT_EQ(ParseGeoUri("geo:46.5,9.25;u=40?z=5", &place, &error), 1) << error;
    ASSERT_EQ(AnotherInstanceRunning(key.c_str(), FormatPlaceMessage(place).c_str()), 1);
    for (int i = 0; i < 400 && screenMode != 3; i++) TestPumpMessages(), usleep(5000);
    ASSERT_EQ(screenMode, 3);
    ASSERT_EQ(zoomDepth, 1);
    const MapWindow& w = CurrentMapWindow();
    EXPECT_NEAR((w.west + w.east) / 2.0, 9.25, 1e-6);
    EXPECT_NEAR((w.south + w.north) / 2.0, 46.5, 1e-6);
    EXPECT_NEAR(MapScale() / (559082264.028 / 32), 1.0, 0.001);
    EXPECT_EQ(TakeInstanceMessage(), "");
    // A message that is not a place is ignored; the next place moves the map again.
    ASSERT_EQ(AnotherInstanceRunning(key.c_str(), "at nowhere"), 1);
    ASSERT_EQ(AnotherInstanceRunning(key.c_str(), "at -33.9 18.4 2000000"), 1);
    for (int i = 0; i < 400 && (CurrentMapWindow().south + CurrentMapWindow().north) / 2.0 > 0.0; i++)
        TestPumpMessages(), usleep(5000);
    EXPECT_NEAR((CurrentMapWindow().south + CurrentMapWindow().north) / 2.0, -33.9, 1e-6);
    EXPECT_NEAR(MapScale() / 2000000.0, 1.0, 0.001);
}

TEST_F(Viewer, ExitCommand) {
    TestInjectMessage(MSG_SYSCOMMAND, SC_MINIMIZE, 0);
    TestPumpMessages();
    EXPECT_TRUE(MainWindowExists());
    TestInjectMessage(MSG_COMMAND, 40005, 0);
    TestPumpMessages();
    EXPECT_FALSE(MainWindowExists());
}

}  // namespace

namespace {

// The 640x480 layout: the "640\" pictures, the room without its animation, the map area of
// 532 x 399 pixels composed and cached at that size.
struct SmallViewer : Viewer {
    void SetUp() override {
        TestSetScreen(640, 480, 24, 96);
        Viewer::SetUp();
    }
    void TearDown() override {
        Viewer::TearDown();
        TestSetScreen(0, 0, 0, 0);
    }
};

TEST_F(SmallViewer, TitleRoomAndMapInTheSmallLayout) {
    ASSERT_EQ(smallLayout, 1);
    EXPECT_EQ(SurfaceWidth(WindowSurface()), 640);
    size_t paused = TestRecordedPauses().size();
    Click(320, 240);
    ASSERT_EQ(screenMode, 1);
    EXPECT_EQ(TestRecordedPauses().size(), paused);  // no animation in this layout
    Click(180, 120);  // 73 at (113, 104, 112, 32)
    ASSERT_EQ(screenMode, 3);
    EXPECT_EQ(mapRect.right - mapRect.left, 532);
    std::vector<uint8_t> cache = ReadTestFile(ResolvePath(ScreenCachePath(0).c_str()));
    EXPECT_EQ(cache.size(), (size_t)532 * 3 * 399 + 32);
    EXPECT_NE(WindowPixel(12 + 300, 31 + 150), 0u);  // Africa in the imagery
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("small-map.png").c_str()));
}

}  // namespace

namespace {

TEST_F(Viewer, FineTilesAtCloseRange) {
    ToMap();
    zoomHistory[1] = MapWindow{6, 10, 44, 47};  // the western Alps, about 0.7 km a pixel
    zoomDepth = 1;
    const char* names[] = {"map-alps-imagery.png", "map-alps-relief.png", "map-alps-elevation.png"};
    for (int background : {0, 1, 2}) {
        mapBackground = background;
        MapViewChanged();
        EXPECT_EQ(lastComposeSource, kSourceFine) << background;
        int lit = 0;
        for (int y = mapRect.top; y < mapRect.bottom; y += 10)
            for (int x = mapRect.left; x < mapRect.right; x += 10) lit += WindowPixel(x, y) != 0;
        EXPECT_GT(lit, 2500) << background;  // land nearly everywhere
        TestSaveWindowPng(ScreenshotPath(names[background]).c_str());
    }
    mapBackground = 0;  // the background outlives the test; later tests expect the imagery
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

}  // namespace

namespace {

// The globe: its tab on the map, the data-type chooser at (546, 45) with entry rows 18 pixels
// apart from 24 below the panel's top, Enter to confirm, and Escape back to the 2D map. The
// volume holds the temperature overlay but no precipitation.
struct GlobeViewer : Viewer {
    static void ChooseDataEntry(int entry) {
        TestInjectClick(745, 56);  // button 48
        TestInjectClick(600, 45 + 24 + entry * 18 + 8);
        TestInjectKey(VK_RETURN);
    }
};

TEST_F(GlobeViewer, GlobeTabTypesAndEscapeBackToTheMap) {
    ToMap();
    TestInjectClick(754, 12);  // the globe tab
    ChooseDataEntry(kEntryRelief);
    ChooseDataEntry(kEntryElevation);
    ChooseDataEntry(kEntryTemperature);
    ChooseDataEntry(kEntryPrecipitation);  // not in this volume: refused, temperature stays
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
    EXPECT_EQ(FindPanelButton(5)->pressed, 0);
    EXPECT_EQ(globeView.imageType, kGlobeOverlay);
    EXPECT_EQ(globeView.overlay, kOverlayTemperature);
    EXPECT_EQ(climateDataLoaded, 0);  // button 65 goes with the screen
    ASSERT_EQ(TestShownMessages().size(), 1u) << TestLastMessage();
    EXPECT_EQ(TestLastMessage(), "This data volume has no precipitation data. See the README to add it.");
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-after-globe.png").c_str()));
}

TEST_F(GlobeViewer, NextViewCodesLeadThroughTheGlobe) {
    ToMap();
    // From the globe to the room (button 6), and from the room by the next-view message to
    // the globe, left with its 2D tab.
    TestInjectClick(754, 12);
    TestInjectClick(280, 588);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 1);
    TestInjectMessage(MSG_USER, 5, 0);
    TestInjectClick(300, 12);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    // The 3D tab of the globe opens the terrain on the area clipped before; with none yet its
    // set cannot be read and the user lands on the 2D map.
    TestInjectClick(754, 12);
    TestInjectClick(420, 12);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(TestLastMessage(), std::string("Cannot open file ") + tempDir + "\\150.hts");
}

// Satellites from the globe tab: the orbits switched on and stepped to the GPS group, then F5
// aims a dish from the default place with the volume's geostationary sets.
TEST_F(GlobeViewer, OrbitsGroupsAndDishAimingFromTheGlobe) {
    ToMap();
    TestInjectClick(754, 12);
    TestInjectClick(745, 306);  // Orbits
    for (int i = 0; i < 8; i++) TestInjectClick(786, 329);  // next group, eight times: GPS
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDOK); });
    TestInjectKey(VK_F5);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(globeView.satDisplayOn, 1);
    EXPECT_EQ(globeSatGroup, 8);
    std::vector<uint8_t> bytes = ReadTestFile(std::string(dataRoot) + "/aim_dish.txt");
    std::string report(bytes.begin(), bytes.end());
    EXPECT_EQ(report.rfind("site location = (53.500000,-113.500000,672.000000)\r\n\r\nname ", 0), 0u) << report;
    EXPECT_NE(report.find("------------------------------------------------------\r\n"), std::string::npos);
    EXPECT_EQ(TestLastMessage(), std::string("Output saved to file ") + dataRoot + "\\AIM_DISH.TXT");
    globeView.satDisplayOn = 0;
    ResetSatelliteState();
}

}  // namespace

namespace {

// The terrain view from the 2D map: the 3D tab picks a 20-degree square around the click on
// the world view (the Alps, where the volume's fine tile lies), the set is cut and the view
// opens on it; the display-type chooser at (546, 45) has rows 20 pixels apart from 24 below
// its top.
struct TerrainViewer : Viewer {
    static void ChooseType(int type) {
        TestInjectClick(746, 58);  // button 26
        TestInjectClick(600, 45 + 24 + type * 20 + 8);
    }
    // The volume has no gazetteer: cutting a set says so for its names, which the view goes without.
    static std::vector<std::string> ShownBesidesNames() {
        std::vector<std::string> texts;
        for (const ShownText& t : TestShownMessages())
            if (t.text != "Cannot open file names\\pplace2.dat") texts.push_back(t.text);
        return texts;
    }
    static Point WorldPoint(double longitude, double latitude) {
        int w = mapRect.right - mapRect.left, h = mapRect.bottom - mapRect.top;
        return Point{mapRect.left + (int)((longitude + 180) / 360 * w), mapRect.top + (int)((90 - latitude) / 180 * h)};
    }
};

TEST_F(TerrainViewer, ThreeDTabThroughEachTypeAndBackToTheMap) {
    ToMap();
    Point alps = WorldPoint(8.0, 45.5);
    TestInjectClick(420, 12);  // the 3D tab
    TestInjectClick(alps.x, alps.y);
    for (int type = 1; type <= 4; type++) ChooseType(type);
    // The high grid, extracted when the user agrees, and its Details overlay.
    TestPushAnswer(IDYES);
    TestInjectClick(786, 428);  // button 32
    ChooseType(kTerrainDetails);
    // Flooding to 500 m, then the 2D tab.
    TestInjectClick(746, 363);  // button 31
    for (char c : std::string("500")) TestInjectMessage(MSG_CHAR, (uint8_t)c, 0);
    TestInjectKey(VK_RETURN);
    TestInjectKey(VK_ESCAPE);
    TestInjectClick(300, 12);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
    EXPECT_EQ(FindPanelButton(2)->pressed, 0);
    EXPECT_EQ(ShownBesidesNames(), std::vector<std::string>{"It may take a few moments to extract this data. Continue?"});
    EXPECT_EQ(terrainView.leaveCode, 3);
    EXPECT_EQ(terrainView.gridSize, 350);
    EXPECT_EQ(terrainView.displayType, kTerrainFlooding);
    EXPECT_EQ(terrainView.waterLevel, 500);
    EXPECT_TRUE(FileExists(TempPath("350.vec").c_str()));
    EXPECT_EQ(terrainBuffers.dtmDataBuf, nullptr);

    // The next-view code 4 enters on the same area without a new pick, on the medium grid;
    // the panorama set-up and the cross-section open and close with Escape.
    TestClearShown();
    TestInjectMessage(MSG_USER, 4, 0);
    ChooseType(kTerrainRelief);
    // (Each tool is ended by a click: an Escape queued ahead would stop the tool's first
    // drawing, as Escape does while a picture is drawn.)
    TestInjectClick(746, 81);   // button 27, Panorama
    TestInjectClick(618, 334);  // its panel's Done
    TestInjectClick(746, 105);  // button 28, Cross-Section
    TestInjectClick(300, 300);  // beside the miniature
    TestInjectClick(300, 12);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(terrainView.gridSize, 150);
    EXPECT_EQ(terrainView.displayType, kTerrainRelief);
    EXPECT_EQ(terrainView.leaveCode, 3);
    EXPECT_EQ(terrainDraw.observerX, 75);  // the panorama put its observer at the grid's centre
    EXPECT_TRUE(ShownBesidesNames().empty());
}

}  // namespace

namespace {

// The manual from the screens' help buttons. The texts are the data root's own, which the
// viewer reads before the volume's; the satellites' texts are the volume's.
struct ManualViewerE2e : Viewer {
    void WriteTexts() {
        WriteTestText(root / "manual/m_2d.txt",
                      "{bigtext=40,60,\"Help\"}\n{4}Read {f \"manual\\more.txt\" more about the map}\n"
                      "{3}Places\n{4}Show {z \"6,47,44,10\" the western Alps} on the map.\n");
        WriteTestText(root / "manual/more.txt", "{1}More\n{4}Nothing else.\n");
        WriteTestText(root / "manual/m_index.txt", "{1}Index\n{f \"manual\\m_2d.txt\" The 2D map}\n");
    }
    // Where a link with this target lies: its page and its hot rectangle, as the viewer's own
    // screen lays the text out.
    static int FindLink(const char* file, const char* target, Rect* hot) {
        int saved = screenMode;
        screenMode = 6;
        int found = -1;
        if (RunManualViewer(file, 1, nullptr, nullptr, nullptr) == kManualEnded) {
            for (int page = 0; page < manualViewer.pageCount && found < 0; page++) {
                int more = ShowManualPage(page);
                for (int i = 0; i < manualViewer.shown.nLinks; i++)
                    if (strcmp(manualViewer.shown.links[i].target, target) == 0) {
                        *hot = manualViewer.shown.links[i].hot;
                        found = page;
                        break;
                    }
                if (!more) break;
            }
        }
        screenMode = saved;
        return found;
    }
    static void ClickButton(int id) {
        PanelButton* b = FindPanelButton(id);
        TestInjectClick(b->x + b->w / 2, b->y + b->h / 2);
    }
    static void ClickRect(const Rect& r) { TestInjectClick((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
};

TEST_F(ManualViewerE2e, HelpButtonOfTheMapToALinkAndBack) {
    ToMap();
    WriteTexts();
    Rect more{}, alps{}, index{};
    ASSERT_EQ(FindLink("manual\\m_2d.txt", "manual\\more.txt", &more), 0);
    ASSERT_EQ(FindLink("manual\\m_2d.txt", "6,47,44,10", &alps), 0);
    ASSERT_EQ(FindLink("manual\\m_index.txt", "manual\\m_2d.txt", &index), 0);
    TestClearShown();
    ClickButton(9);
    ClickRect(more);              // the file link
    TestInjectKey(VK_ESCAPE);     // back to the help
    ClickButton(83);              // the index
    ClickRect(index);             // from the index to the help: the index is the way back now
    ClickRect(alps);              // the map link: the 2D map on its window
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_DOUBLE_EQ(zoomHistory[1].west, 6);
    EXPECT_DOUBLE_EQ(zoomHistory[1].east, 10);
    EXPECT_DOUBLE_EQ(zoomHistory[1].south, 44);
    EXPECT_DOUBLE_EQ(zoomHistory[1].north, 47);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("map-from-manual.png").c_str()));

    // The "about" button opens the volume's about page; Escape leads back to the map.
    ClickButton(10);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    ResetZoomHistory();
}

// F1 on the map opens its manual page as the help button does; Escape leads back.
TEST_F(ManualViewerE2e, FunctionKeyOneOpensTheMapsPage) {
    ToMap();
    WriteTexts();
    manualViewer.file.clear();
    TestInjectKey(VK_F1);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(manualViewer.file, "manual\\m_2d.txt");
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(ManualViewerE2e, ManualScreenOverTheMap) {
    ToMap();
    WriteTexts();
    uint32_t tab = WindowPixel(300, 12);
    EXPECT_EQ(ShowManualScreen(3, "manual\\m_2d.txt", "manual\\m_index.txt", nullptr, nullptr), kManualEnded);
    FlushMessages(0, 0xFFFFFFFF);
    EXPECT_EQ(screenMode, 6);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("manual.png").c_str()));
    // The tabs are grey now: (r + g + b) / 6 in each colour.
    uint32_t grey = ((tab >> 16 & 255) + (tab >> 8 & 255) + (tab & 255)) / 6;
    EXPECT_EQ(WindowPixel(300, 12), grey * 0x010101u);
    // A satellite group's text of the volume on the same screen, with its value link.
    TestClearShown();
    screenMode = 3;
    Rect show{};
    EXPECT_GE(FindLink("sats\\gps.txt", "08 00", &show), 0);
    screenMode = 6;
    ASSERT_EQ(RunManualViewer("sats\\gps.txt", 1, nullptr, nullptr, "sats\\sats.txt"), kManualEnded);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("manual-gps.png").c_str()));
    EnterMapScreen(0);
}

// The room's pages: the page's picture with its text in the viewer, the product buttons
// switching texts with the shown one marked, and Back to Room.
TEST_F(ManualViewerE2e, RoomPagesInTheViewer) {
    Click(400, 300);
    ASSERT_EQ(screenMode, 1);
    WriteTestText(root / "manual/about.txt", "{bigtext=51,100,\"About Orvek\"}\n{4}Orvek makes atlases.\n{u \"https://example.org\" Our web site}\n");
    for (int i = 1; i <= 3; i++)
        WriteTestText(root / ("manual/prod" + std::to_string(i) + ".txt"), "{1}Product " + std::to_string(i) + "\n{4}An atlas.\n");
    ClickButton(92);  // the third product
    ShowManualPageScreen(9, "room\\prods_a.bmp", "manual\\prod1.txt");
    FlushMessages(0, 0xFFFFFFFF);
    EXPECT_EQ(screenMode, 11);
    EXPECT_EQ(manualViewer.file, "manual\\prod3.txt");
    EXPECT_EQ(FindPanelButton(92)->pressed, 1);
    EXPECT_EQ(FindPanelButton(90)->pressed, 0);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("products.png").c_str()));
    ShowRoom();
    TestPumpMessages();

    ShowManualPageScreen(12, "room\\btorvek.bmp", "manual\\about.txt");
    FlushMessages(0, 0xFFFFFFFF);
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("about.png").c_str()));
    ShowRoom();
    TestPumpMessages();

    TestClearShown();
    TestInjectClick(637, 401);  // Products (70)
    ClickButton(87);            // Back to Room
    TestInjectClick(585, 468);  // Orvek (71)
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// The globe's satellite information: the group's text, its index, and a value link that
// shows the amateur radio satellites at size 2.
TEST_F(ManualViewerE2e, SatelliteTextsFromTheGlobe) {
    ToMap();
    Rect amateur{};
    int page = FindLink("sats\\sats.txt", "11 02", &amateur);
    ASSERT_GE(page, 0);
    TestInjectClick(754, 12);  // the globe tab
    ClickButton(52);
    ClickButton(83);           // the groups' index
    for (int i = 0; i < page; i++) TestInjectKey(VK_NEXT);
    ClickRect(amateur);
    TestInjectKey(VK_ESCAPE);  // the globe back to the map
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_EQ(globeSatGroup, 11);
    EXPECT_EQ(globeView.size, 2);
    EXPECT_EQ(globeView.satDisplayOn, 1);
    globeView.satDisplayOn = 0;
    ResetSatelliteState();
}

// The statistics screen from the map's tab over hand-made country tables in the data root:
// the region chooser, the flat map with its readout, the chart, the table with its paging
// and clipboard text, a variable chooser, the way back to the chooser and Escape to the map.
// South Asia's fourteen countries are blocks of their own palette index in its images.
struct StatisticsViewer : Viewer {
    static constexpr int kRegion = 6;
    void SetUp() override {
        Viewer::SetUp();
        ResetStatisticsState();
        // Record r: variable k is r * 100 + k + 0.25; record 19 has no population.
        std::vector<uint8_t> data = CountryDataBytes(kCountryRecords, [](int r, int k) {
            return r == 19 && k == 14 ? kStatNotAvailable : DistinctValue(r, k);
        });
        ASSERT_TRUE(WriteTestFile(root / "table/country.dat", data));
        const StatRegion* region = StatRegionInfo(kRegion);
        std::string info;
        for (int i = 0; i < region->count; i++) {
            char line[64];
            snprintf(line, sizeof line, "1 %-3d %-3d Land %d\n", region->members[i] - 1, i + 1, region->members[i]);
            info += line;
        }
        ASSERT_TRUE(WriteTestText(root / "table/country.inf", info));
        std::string vars;
        for (int k = 1; k <= kCountryVariables; k++) vars += "Variable_" + std::to_string(k) + " in_units\r\n";
        ASSERT_TRUE(WriteTestText(root / "table/vars.inf", vars));
        // Blocks 40 x 40 in rows of seven, bordered, on the background.
        RegionImageSize size = RegionImageSizeFor(0);
        std::vector<uint8_t> rows((size_t)size.width * size.height, 0);  // the encoder pads the rows
        for (int i = 0; i < region->count; i++) {
            int left = 40 + (i % 7) * 60, top = 100 + (i / 7) * 80;
            for (int y = top - 1; y <= top + 40; y++)
                for (int x = left - 1; x <= left + 40; x++) {
                    int inside = y >= top && y < top + 40 && x >= left && x < left + 40;
                    rows[(size_t)(size.height - 1 - y) * size.width + x] = inside ? (uint8_t)(i + 1) : 255;
                }
        }
        std::vector<uint8_t> grey;
        for (int i = 0; i < 256; i++) grey.insert(grey.end(), {(uint8_t)i, (uint8_t)i, (uint8_t)i});
        std::vector<uint8_t> bmp = EncodeBmp8(rows.data(), size.width, size.height, grey);
        ASSERT_TRUE(WriteTestFile(root / "table/s_asia.bmp", bmp));
        ASSERT_TRUE(WriteTestFile(root / "table/s_asia3d.bmp", bmp));
    }
    // The centre of the block of the i-th member.
    static Point Block(int i) { return Point{16 + 40 + (i % 7) * 60 + 20, 39 + 100 + (i / 7) * 80 + 20}; }
    static void ClickButton(int id) {
        PanelButton* b = FindPanelButton(id);
        TestInjectClick(b->x + b->w / 2, b->y + b->h / 2);
    }
};

// The screen's loop ends when the test double's queue runs dry, as at Escape: each step
// below enters by the tab, acts, and is checked by what the screen left behind.
TEST_F(StatisticsViewer, FromTheMapTabThroughEveryViewAndBack) {
    ToMap();
    TestClearShown();
    int beeps = TestBeepCount();
    TestInjectClick(540, 12);   // the statistics tab
    TestInjectClick(520, 250);  // South Asia's rectangle
    ClickButton(76);            // the chart
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(statsScreen.view, 2);
    EXPECT_EQ(statsScreen.region, kRegion);

    // The table, paged past its one page, then Literacy (the People panel's first row).
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);
    ClickButton(77);
    TestInjectKey(VK_NEXT);
    TestInjectKey(VK_UP);
    ClickButton(80);
    Point at = ChooserPanelPosition(545, 45);
    TestInjectClick(at.x + 60, at.y + 24 + 8);
    TestPumpMessages();
    EXPECT_EQ(statsScreen.view, 3);
    EXPECT_EQ(statsScreen.variable, 8);
    EXPECT_EQ(TestBeepCount(), beeps + 2);
    int expected[4] = {8, 14, 0, 0};
    for (int k = 0; k < 4; k++) EXPECT_EQ(statsScreen.tableVariables[k], expected[k]) << k;
    const std::string& clip = TestClipboardText();
    EXPECT_EQ(clip.substr(0, clip.find('\n')), "Country\tVariable 8 in units\tVariable 14 in units");
    // South Asia's first member, 20, is record 19: its population is not available.
    EXPECT_NE(clip.find("\nCountry 19\t1908.2\t\n"), std::string::npos) << clip;
    EXPECT_EQ(std::count(clip.begin(), clip.end(), '\n'), 15);
    EXPECT_FALSE(FileExists(TempPath("clpboard.tmp").c_str()));

    // Back to the chooser, and a variable picked there shows once a region is chosen.
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);
    ClickButton(94);
    ClickButton(81);  // Economy: the second row is GDP per capita (26)
    TestInjectClick(at.x + 60, at.y + 24 + 18 + 8);
    TestPumpMessages();
    EXPECT_EQ(statsScreen.view, 1);  // every entry starts in the chooser of the flat map
    EXPECT_EQ(statsScreen.variable, 26);
    EXPECT_EQ(statsScreen.tableVariables[0], 26);
    EXPECT_EQ(statsScreen.tableVariables[1], 8);
    EXPECT_EQ(statsScreen.tableVariables[2], 0);  // slots 2 to 4 are cleared on every entry
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// The manual over the screen: Escape closes it and the screen goes on where it was.
TEST_F(StatisticsViewer, ManualOverTheScreenAndBack) {
    ToMap();
    TestClearShown();
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);
    ClickButton(9);
    TestInjectKey(VK_ESCAPE);  // closes the manual, not the screen
    ClickButton(76);
    TestPumpMessages();
    EXPECT_EQ(statsScreen.view, 2);
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// What the views look like, drawn as the loop draws them and saved for the eye.
TEST_F(StatisticsViewer, FlatMapChartAndTableAsDrawn) {
    ToMap();
    screenMode = 7;
    LoadBMPToBackground("menu\\statmain.bmp");
    Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    statsScreen.region = kRegion;
    statsScreen.view = 1;
    ASSERT_EQ(DrawStatisticsMap(14, kRegion, 0), 1) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("statistics-flat.png").c_str()));
    // Blocks take the scale's colours, not the image's grey, and differ from one another.
    uint32_t first = WindowPixel(Block(1).x, Block(1).y), last = WindowPixel(Block(13).x, Block(13).y);
    EXPECT_NE(first, last);
    EXPECT_NE(first, 0x020202u);
    // The hover table names the block's country with its value.
    const StatHoverEntry* e = HoverEntry(3);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(HoverReadoutText(e->name, e->value, 14), "Land 34: 3,314");
    // The colours spread over the region's own population figures (record 19 has none).
    const StatRegion* region = StatRegionInfo(kRegion);
    EXPECT_FLOAT_EQ(statsScreen.legendMin, DistinctValue(region->members[1] - 1, 14));
    EXPECT_FLOAT_EQ(statsScreen.legendMax, DistinctValue(region->members[region->count - 1] - 1, 14));
    ASSERT_EQ(DrawStatisticsMap(14, kRegion, 1), 1) << TestLastMessage();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("statistics-chart.png").c_str()));
    // The last block stands highest: its top face is lifted above its flat place.
    Point top = Block(13);
    EXPECT_EQ(WindowPixel(top.x, top.y - 20 - 30 + 2), last) << std::hex << WindowPixel(top.x, top.y - 20 - 30 + 2);
    int variables[4] = {14, 8, 0, 0};
    ASSERT_GT(SetSelectionForRegion(kRegion, variables), 0);
    DrawStatisticsTable();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("statistics-table.png").c_str()));
    EXPECT_EQ(WindowPixel(mapRect.right - 2, mapRect.bottom - 2), 0x285057u);
    screenMode = 3;
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// The globe's statistics tab leads there by the next-view code, and the screen's room button
// out of it.
TEST_F(StatisticsViewer, NextViewCodesInAndOut) {
    ToMap();
    TestInjectClick(754, 12);  // the globe
    TestInjectClick(540, 12);  // its statistics tab: the next-view code 7
    TestPumpMessages();
    EXPECT_EQ(statsScreen.view, -1);  // the screen was entered, in its chooser
    EXPECT_EQ(screenMode, 3);
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);
    ClickButton(6);  // the room: the code 1
    TestPumpMessages();
    EXPECT_EQ(statsScreen.view, 1);
    EXPECT_EQ(statsScreen.region, kRegion);
    EXPECT_EQ(screenMode, 1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// [SECTION] The flyby

// The volume has neither gazetteer nor vector layers: the window is cut without names or
// rivers, and the flyby says so; nothing else may go wrong.
void ExpectOnlyTheMissingNamesAndRivers() {
    const std::string allowed[] = {"Cannot extract airport names", "Cannot open file v_data\\riv01.dat",
                                   "Cannot open file v_data\\riv03.dat", "Cannot open file v_data\\riv04.dat"};
    for (const ShownText& t : TestShownMessages())
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), t.text), std::end(allowed)) << t.text;
}

// The flyby tab of the map: the window cut around the map's centre, a frame's keys, Escape.
TEST_F(Viewer, FlybyFromTheMapFliesOverItsCentreAndComesBack) {
    ToMap();
    zoomHistory[1] = MapWindow{6, 10, 44, 47};  // the volume's fine tile
    zoomDepth = 1;
    MapViewChanged();
    int x, y;
    FlybyStartPosition(&x, &y);
    flyby = FlybyFlight{};
    TestClearShown();
    TestInjectClick(650, 10);
    for (uint32_t key : {VK_UP, VK_UP, VK_UP, VK_RIGHT, VK_PRIOR, VK_ESCAPE, VK_UP}) TestInjectKey(key);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
    ASSERT_EQ(flybyGrids.prepared, 1);
    EXPECT_FLOAT_EQ(flybyGrids.west, x - 256.0f);
    EXPECT_FLOAT_EQ(flybyGrids.north, y - 256.0f);
    EXPECT_FLOAT_EQ(flybyGrids.east, x + 256.0f);
    // The Alps: the window's lowest cell is 0 and its highest well over 2,000 m above it.
    auto [low, high] = std::minmax_element(flybyGrids.heights.begin(), flybyGrids.heights.end());
    EXPECT_FLOAT_EQ(*low, 0.0f);
    EXPECT_GT(*high, 4.0f);
    // The keys of the frame before Escape were flown; the one after it was not.
    EXPECT_NEAR(flyby.speed, 0.06f, 1e-5);
    EXPECT_EQ(flyby.heading, 2);
    EXPECT_NEAR(flyby.altitude, 4.2f, 1e-5);
    EXPECT_EQ(flyby.running, 0);
    ExpectOnlyTheMissingNamesAndRivers();
}

// From another screen (the next-view code 8, as the globe's and the terrain's flyby tabs hand
// back) the start is picked on the world picture; the panel steers, the display options
// switch, the joystick is refused without a calibration, and a tab leaves.
TEST_F(Viewer, FlybyFromAnotherScreenStartsWhereThePictureIsClicked) {
    ToMap();
    flyby = FlybyFlight{};
    flybyDisplay = FlybyDisplay{};
    options.joyCentreX = options.joyCentreY = options.joyMinX = options.joyMinY = options.joyMaxX = options.joyMaxY = 0;
    TestClearShown();
    TestInjectMessage(MSG_USER, 8, 0);
    TestInjectClick(361, 212);                  // 7.8 E, 46.2 N on the picture
    TestInjectClick(783, 212);                  // the dial's east
    TestInjectClick(745, 57);                   // Display: its panel at (546, 45)
    TestInjectClick(600, 45 + 104 + 10);        // the Haze row
    TestInjectClick(600, 45 + 162 + 12);        // OK
    TestInjectClick(745, 80);                   // Joystick
    TestInjectKey(VK_LEFT);                     // waits for a frame, which the tab below forestalls
    TestInjectClick(300, 10);                   // the 2D Map tab
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    float x, y;
    FlybyStartFromDegrees(7.8, 46.2, &x, &y);
    ASSERT_EQ(flybyGrids.prepared, 1);
    EXPECT_NEAR(flybyGrids.west, x - 256.0f, 0.01);
    EXPECT_NEAR(flybyGrids.north, y - 256.0f, 0.01);
    EXPECT_EQ(flyby.heading, 90);
    EXPECT_EQ(flybyDisplay.haze, 0);
    EXPECT_EQ(flybyDisplay.textures, 1);
    EXPECT_EQ(options.joystickOn, 0);
    bool refused = false;
    for (const ShownText& t : TestShownMessages()) refused |= t.text == "You have not calibrated the joystick yet";
    EXPECT_TRUE(refused);
    // Escape on the picture goes back to the map without cutting anything.
    flybyGrids.prepared = 0;
    TestInjectMessage(MSG_USER, 8, 0);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(flybyGrids.prepared, 0);
}

}  // namespace

namespace {

// [SECTION] F1 on the statistics screen, a place handed over to a running view, the window at 3x

TEST_F(StatisticsViewer, FunctionKeyOneOpensTheScreensPage) {
    ToMap();
    manualViewer.file.clear();
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);
    TestInjectKey(VK_F1);
    TestInjectKey(VK_ESCAPE);  // closes the manual, not the screen
    ClickButton(76);
    TestPumpMessages();
    EXPECT_EQ(manualViewer.file, "manual\\m_stats.txt");
    EXPECT_EQ(statsScreen.view, 2);  // the screen went on after the manual
    EXPECT_EQ(screenMode, 3);
}

void ExpectMapAt(double latitude, double longitude, double scale) {
    EXPECT_EQ(screenMode, 3);
    ASSERT_EQ(zoomDepth, 1);
    const MapWindow& w = CurrentMapWindow();
    EXPECT_NEAR((w.west + w.east) / 2.0, longitude, 1e-6);
    EXPECT_NEAR((w.south + w.north) / 2.0, latitude, 1e-6);
    EXPECT_NEAR(MapScale() / scale, 1.0, 0.001);
    EXPECT_EQ(FindPanelButton(1)->pressed, 1);
}

// The globe leaves for the map at a handed-over place, also when the place came while its
// data chooser ran a loop of its own (which passes such messages by).
TEST_F(GlobeViewer, AHandedOverPlaceOpensTheMapThere) {
    ToMap();
    TestInjectClick(754, 12);
    TestHandOverLine("at 46.5 9.25 1000000");
    TestInjectKey(VK_ESCAPE);  // never reached
    TestPumpMessages();
    ExpectMapAt(46.5, 9.25, 1000000);
    FlushMessages(0, 0xFFFFFFFF);

    ResetZoomHistory();
    EnterMapScreen(0);
    TestInjectClick(754, 12);
    TestInjectClick(745, 56);  // the data type chooser (button 48)
    TestHandOverLine("at -33.9 18.4 2000000");
    TestInjectKey(VK_RETURN);  // closes the chooser
    TestInjectKey(VK_ESCAPE);  // never reached
    TestPumpMessages();
    ExpectMapAt(-33.9, 18.4, 2000000);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// The place comes while the screen shows its region chooser: the screen closes from there.
TEST_F(StatisticsViewer, AHandedOverPlaceOpensTheMapThere) {
    ToMap();
    TestInjectClick(540, 12);
    TestHandOverLine("at 64.1 -21.9 500000");
    TestInjectKey(VK_ESCAPE);  // never reached by the screen
    TestPumpMessages();
    ExpectMapAt(64.1, -21.9, 500000);
    EXPECT_EQ(statsScreen.view, -1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// The viewer at three times its size (MUNDORA_SCALE=3), operated by the toolkit's pointer
// events at scaled positions: the same buttons answer, and the program stays in 800 x 600.
struct ScaledViewer : Viewer {
    ShownWindow shown;
    void SetUp() override {
        setenv("MUNDORA_SCALE", "3", 1);
        Viewer::SetUp();
        ASSERT_EQ(TestGrabShownWindow(&shown), 1);
    }
    void TearDown() override {
        Viewer::TearDown();
        unsetenv("MUNDORA_SCALE");
    }
    // A click in the middle of the block that program pixel (x, y) became.
    void ClickScaled(int x, int y) {
        double k = shown.devicePixelRatio;
        double wx = (x * 3 + 1.5) / k, wy = (y * 3 + 1.5) / k;
        TestSendPointer(MSG_MOUSEMOVE, wx, wy);
        TestSendPointer(MSG_LBUTTONDOWN, wx, wy);
        TestSendPointer(MSG_LBUTTONUP, wx, wy);
    }
};

TEST_F(ScaledViewer, ClicksAtScaledPositionsReachTheSameButtons) {
    EXPECT_EQ(SurfaceWidth(WindowSurface()), 800);
    EXPECT_EQ(shown.width, 2400);
    EXPECT_EQ(shown.height, 1800);
    ClickScaled(400, 300);  // the title page
    TestPumpMessages();
    ASSERT_EQ(screenMode, 1);
    ClickScaled(200, 150);  // the room's start button
    TestPumpMessages();
    ASSERT_EQ(screenMode, 3);
    // A click in the map zooms in about its point: the centre is where the click fell.
    ClickScaled(16 + 665 / 2 + 100, 39 + 499 / 2);
    TestPumpMessages();
    ASSERT_EQ(zoomDepth, 1);
    EXPECT_NEAR((CurrentMapWindow().west + CurrentMapWindow().east) / 2.0, 100.0 / 665 * 360, 1.0);
    // The globe tab, left with Escape.
    globeView.size = 0;
    ClickScaled(754, 12);
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(globeView.size, 2);  // set on entering the globe
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    // What the desktop shows is the window's image, each pixel a 3 x 3 block.
    ASSERT_EQ(TestGrabShownWindow(&shown), 1);
    int wrong = 0;
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 7)
            for (int corner : {0, 2}) wrong += (shown.pixels[(size_t)(y * 3 + corner) * shown.width + x * 3 + corner] & 0xFFFFFF) != WindowPixel(x, y);
    EXPECT_EQ(wrong, 0);
}

}  // namespace

namespace {

// [SECTION] Demonstrations: the recorder and the shipped recordings, played from button 14.

constexpr int kDemoSpeed = 8;        // the replay's own time scale: a 90 s demonstration in about 11 s
constexpr uint32_t kDemoLimitMs = 60000;

void ClickDemoButton() { TestInjectClick(778, 588); }

// Runs the program's loop as the shell does until nothing more comes; the milliseconds it took.
uint32_t RunUntilQuiet() {
    uint32_t t0 = TickCount();
    Message m;
    while (GetMessage(&m)) DispatchMessage(m);
    return TickCount() - t0;
}

std::vector<uint32_t> WindowPixels() {
    Surface* w = WindowSurface();
    std::vector<uint32_t> out;
    for (int y = 0; y < SurfaceHeight(w); y++)
        for (int x = 0; x < SurfaceWidth(w); x++) out.push_back(SurfacePixels(w)[(size_t)y * SurfaceStride(w) + x] & 0xFFFFFF);
    return out;
}

// The user's clicks recorded on the map, and the recording played back from the same start,
// end on the same picture.
TEST_F(Viewer, RecordedClicksPlayBackToTheSameMap) {
    ToMap();
    zoomOutTool = 0;  // clicks zoom in (an earlier test may have left the zoom-out tool on)
    std::string path = root / "zoom.rec";
    ArmRecorder(path.c_str());
    ClickDemoButton();
    TestPumpMessages();
    ASSERT_TRUE(RecordingRunning());
    Click(348, 200);  // zoom in twice about points of the map
    Click(420, 260);
    Click(670, 300);  // the right edge: pan east
    Move(300, 320);
    ASSERT_EQ(FinishRecording(), 1);
    ASSERT_EQ(zoomDepth, 2);
    std::vector<uint32_t> recorded = WindowPixels();
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("demo-recorded.png").c_str()));

    Click(767, 547);  // button 25: back to the top level, where the recording began
    ASSERT_EQ(zoomDepth, 0);
    TestClearShown();
    TestSetReplaySpeed(kDemoSpeed);
    ASSERT_EQ(StartPlayback(path.c_str()), 1);
    RunUntilQuiet();
    TestSetReplaySpeed(1);
    EXPECT_EQ(zoomDepth, 2);
    ASSERT_EQ(TestShownMessages().size(), 1u) << TestLastMessage();
    EXPECT_EQ(TestLastMessage(), "End of playback");
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("demo-played.png").c_str()));
    std::vector<uint32_t> played = WindowPixels();
    size_t differ = 0;
    for (size_t i = 0; i < played.size(); i++) differ += played[i] != recorded[i];
    EXPECT_EQ(differ, 0u);
}

// Plays the demonstration of the screen the test has entered, from its button, and checks it
// ends by itself with nothing shown but its closing box (and `expectedMisses`, what the test
// volume lacks).
void PlayShippedDemonstration(const char* name, const std::vector<std::string>& expectedMisses = {}) {
    ASSERT_TRUE(FileExists((Volume() + "/manual/" + name).c_str())) << name << " is not in the volume";
    TestClearShown();
    TestSetReplaySpeed(kDemoSpeed);
    ClickDemoButton();
    uint32_t took = RunUntilQuiet();
    TestSetReplaySpeed(1);
    EXPECT_FALSE(PlaybackRunning()) << name;
    EXPECT_LT(took, kDemoLimitMs) << name;
    std::vector<std::string> shown;
    for (const ShownText& t : TestShownMessages())
        if (std::find(expectedMisses.begin(), expectedMisses.end(), t.text) == expectedMisses.end()) shown.push_back(t.text);
    EXPECT_EQ(shown, std::vector<std::string>{"End of playback"}) << name;
}

// Leaving the program stops a demonstration, with its box.
TEST_F(Viewer, ShutdownStopsADemonstration) {
    ToMap();
    TestClearShown();
    ClickDemoButton();
    TestPumpMessages();
    ASSERT_TRUE(PlaybackRunning());
    Shutdown();
    EXPECT_FALSE(PlaybackRunning());
    EXPECT_FALSE(InputReplayRunning());
    EXPECT_EQ(TestLastMessage(), "End of playback");
}

TEST_F(Viewer, MapDemonstrationPlaysToItsEnd) {
    ToMap();
    PlayShippedDemonstration("2d.rec");
    EXPECT_TRUE(TestSaveWindowPng(ScreenshotPath("demo-2d-end.png").c_str()));
}

TEST_F(GlobeViewer, GlobeDemonstrationPlaysToItsEnd) {
    ToMap();
    TestInjectClick(754, 12);  // the globe tab; the demonstration's button is the next click
    PlayShippedDemonstration("globe.rec");
    globeView.satDisplayOn = 0;
    ResetSatelliteState();
}

TEST_F(TerrainViewer, TerrainDemonstrationPlaysToItsEnd) {
    ToMap();
    Point alps = WorldPoint(8.0, 45.5);
    TestInjectClick(420, 12);
    TestInjectClick(alps.x, alps.y);
    // The volume has no gazetteer: cutting the set, and the demonstration's change of grid,
    // say so for the names the view goes without.
    PlayShippedDemonstration("3d.rec", {"Cannot open file names\\pplace2.dat"});
}

// The flyby's demonstration starts wherever the flight is (here over the world map's centre),
// picks its own start in the western Alps on the world picture, where the volume's window is
// cut from its few fine rasters, and ends standing still and back on the 2D map.
TEST_F(Viewer, FlybyDemonstrationPlaysToItsEnd) {
    ToMap();
    flyby = FlybyFlight{};
    flybyDisplay = FlybyDisplay{};
    TestInjectClick(650, 10);  // the flyby tab; the demonstration's button is the next click
    PlayShippedDemonstration("flyby.rec", {"Cannot extract airport names", "Cannot open file v_data\\riv01.dat",
                                           "Cannot open file v_data\\riv03.dat", "Cannot open file v_data\\riv04.dat"});
    EXPECT_EQ(screenMode, 3);
    float alpsX, alpsY;
    FlybyStartFromDegrees(7.8, 46.2, &alpsX, &alpsY);
    EXPECT_LT(std::hypot(flyby.x - alpsX, flyby.y - alpsY), 150.0f);
    ASSERT_EQ(flybyGrids.prepared, 1);
    EXPECT_TRUE(flybyGrids.west <= flyby.x && flyby.x <= flybyGrids.east && flybyGrids.north <= flyby.y && flyby.y <= flybyGrids.south);
    EXPECT_NEAR(flyby.speed, 0.0f, 1e-5);
    // The display options it switched off and on again are as they were.
    EXPECT_EQ(flybyDisplay.haze, FlybyDisplay{}.haze);
    EXPECT_EQ(flybyDisplay.instruments, FlybyDisplay{}.instruments);
}

TEST_F(StatisticsViewer, StatisticsDemonstrationPlaysToItsEnd) {
    ToMap();
    TestInjectClick(540, 12);
    TestInjectClick(520, 250);  // South Asia, where the demonstration stays
    PlayShippedDemonstration("stats.rec");
}

}  // namespace
