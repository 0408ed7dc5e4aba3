// The globe screen's loop driven through the message queue: its ways out and codes, the dial,
// keys at their ends, speeds, overlay months, the legend, missing overlays, the units switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/window_fixture.h"
#include "core/command_line.h"
#include "core/core.h"
#include "globe/globe.h"
#include "globe/globe_screen.h"
#include "globe/satellites.h"
#include "globe/globe_test_support.h"
#include "globe/satellite_test_files.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct GlobeScreen : ::testing::Test {
    WindowFixture window;
    TempFolder root;
    char savedRoot[256];
    OptionsRecord savedOptions;
    uint32_t savedUnits;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        savedOptions = options;
        savedUnits = imperialUnits;
        window.Open();
        screenMode = 5;
        for (const char* cue : {"error.wav", "slide2.wav", "panel.wav", "click.wav"}) WriteTestFile(root / cue, SilentWave());
        options.soundsOn = 1;
        TestSetNoAudioDevice(0);
        TestClearSounds();
        globeView.rotationPaused = 0;
        globeView.overlayMonth = 0;
        globeView.namesShown = 0;
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        window.Close();
        options = savedOptions;
        imperialUnits = savedUnits;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
    static Point ButtonCentre(int id) {
        PanelButton* b = FindPanelButton(id);
        return Point{b->x + b->w / 2, b->y + b->h / 2};
    }
    static void ClickButton(int id) {
        Point p = ButtonCentre(id);
        TestInjectClick(p.x, p.y);
    }
    // A click on a button handed straight to the screen, outside its loop.
    static void Send(uint32_t kind, int x, int y) {
        Message m;
        m.kind = kind;
        m.lParam = MakeMouseParam(x, y);
        HandleGlobeMessage(m);
    }
    static void Press(int id) {
        Point p = ButtonCentre(id);
        Send(MSG_LBUTTONDOWN, p.x, p.y);
    }
    static void Char(char c) { TestInjectMessage(MSG_CHAR, (uint8_t)c, 0); }
    // Runs the screen over the input queued so far, ended with Escape.
    static int RunToEscape() {
        TestInjectKey(VK_ESCAPE);
        return RunGlobeScreen();
    }
    int ErrorCues() const {
        int n = 0;
        for (const std::string& s : TestPlayedSounds()) n += s.size() >= 9 && s.compare(s.size() - 9, 9, "error.wav") == 0;
        return n;
    }
    void WriteOverlayMonth(int overlay, int month) {
        std::string name = SlashPath(OverlayMonthFile(overlay, month));
        std::filesystem::create_directories(std::filesystem::path(root / name).parent_path());
        WriteTestFile(root / name, std::vector<uint8_t>(kOverlayBytes, 7));
    }
};

TEST_F(GlobeScreen, EachWayOutHandsBackItsCode) {
    struct Case { int button, code; } cases[] = {{1, 3}, {2, 4}, {3, 7}, {4, 8}, {6, 1}};
    ElevationRange before = fixedElevation = ElevationRange{-11000, 7000};
    for (const Case& c : cases) {
        ClickButton(c.button);
        TestInjectKey(VK_ESCAPE);  // never reached: the button leaves first
        EXPECT_EQ(RunGlobeScreen(), c.code) << "button " << c.button;
        FlushMessages(0, 0xFFFFFFFF);
        EXPECT_EQ(fixedElevation.minimum, before.minimum);
        EXPECT_EQ(fixedElevation.maximum, before.maximum);
        EXPECT_EQ(climateDataLoaded, 0);
    }
    // The globe's own tab refuses with the error cue; the screen stays. The manual's texts
    // and the demonstration's recording are missing here: each says so and the globe carries
    // on. The help
    // prompts switch as on the map. F5 without "geo.tle" anywhere only beeps.
    helpPromptsOn = 1;
    TestClearShown();
    for (int id : {5, 9, 10, 14, 8}) ClickButton(id);
    TestInjectKey(VK_F5);
    int beeps = TestBeepCount();
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(ErrorCues(), 1);
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Cannot open file manual\\globe.rec"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Cannot open file manual\\m_globe.txt"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Cannot open file manual\\about.txt"), texts.end());
    EXPECT_EQ(TestBeepCount(), beeps + 1);
    EXPECT_EQ(helpPromptsOn, 0u);
}

// F1 opens the globe's manual page, as its Manual button does: the text is missing here, and
// the message names the page that was asked for. The globe carries on afterwards.
TEST_F(GlobeScreen, FunctionKeyOneOpensTheGlobesPage) {
    TestClearShown();
    TestInjectKey(VK_F1);
    EXPECT_EQ(RunToEscape(), 0);
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Cannot open file manual\\m_globe.txt"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Cannot open file manual\\about.txt"), 0);
}

// A place a later start hands over ends the loop with the code that opens the map there; a
// line that names no place is dropped and the globe goes on. A place taken by the window
// procedure while a chooser passed messages on ends the loop after that message.
TEST_F(GlobeScreen, AHandedOverPlaceLeavesForTheMap) {
    OpeningPlace place;
    TestHandOverLine("at nowhere");
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(TakeWaitingPlace(&place), 0);
    FlushMessages(0, 0xFFFFFFFF);

    TestHandOverLine("at 46.5 9.25 1000000");
    TestInjectKey(VK_ESCAPE);  // never reached: the place leaves first
    EXPECT_EQ(RunGlobeScreen(), kViewCodeHandedOverPlace);
    Message m;
    EXPECT_TRUE(PeekMessageInRange(&m, MSG_KEYDOWN, MSG_KEYDOWN, 0));
    ASSERT_EQ(TakeWaitingPlace(&place), 1);
    EXPECT_EQ(place.latitude, 46.5);
    EXPECT_EQ(place.longitude, 9.25);
    EXPECT_EQ(place.scale, 1000000.0);
    FlushMessages(0, 0xFFFFFFFF);

    TestHandOverLine("at -33.9 18.4 2000000");
    TestPumpMessages();  // the window procedure, as a chooser's loop would dispatch it
    ASSERT_EQ(HandedOverPlaceWaiting(), 1);
    EXPECT_EQ(screenMode, 5);
    TestInjectMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(5, 5));
    EXPECT_EQ(RunToEscape(), kViewCodeHandedOverPlace);
    ASSERT_EQ(TakeWaitingPlace(&place), 1);
    EXPECT_EQ(place.latitude, -33.9);
}

TEST_F(GlobeScreen, WithoutBuffersTheScreenHandsBackAtOnce) {
    // Buffers already taken stand for an allocation that fails: the screen returns 0 without
    // reading input, and leaves the buffers it did not make alone.
    ASSERT_EQ(AllocateGlobeBuffers(64, 48), 1);
    ElevationRange before = fixedElevation = ElevationRange{-50, 50};
    ClickButton(1);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(GlobeBuffersAllocated(), 1);
    EXPECT_EQ(fixedElevation.maximum, before.maximum);
    Message m;
    EXPECT_TRUE(PeekMessageInRange(&m, MSG_LBUTTONDOWN, MSG_LBUTTONDOWN, 0));
    ReleaseGlobeBuffers();
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
}

TEST_F(GlobeScreen, EnteringStartsFromTheSameView) {
    globeView.size = 0, globeView.tilt = 4, globeView.rotationSpeed = 3, globeView.imageType = kGlobeOverlay;
    globeView.overlay = kOverlaySunshine, globeView.overlayFrozen = 1, globeView.floodMode = 1;
    globeView.rotationPaused = 1, globeView.overlayMonth = 7, globeView.namesShown = 1;
    EXPECT_EQ(RunToEscape(), 0);
    const GlobeView& v = globeView;
    EXPECT_TRUE(v.size == 2 && v.tilt == 1 && v.rotationSpeed == -1.0 && v.imageType == kGlobeImagery);
    EXPECT_TRUE(v.overlay == kOverlayNone && v.overlayFrozen == 0 && v.floodMode == 0);
    EXPECT_TRUE(v.rotationPaused == 1 && v.overlayMonth == 7 && v.namesShown == 1);  // kept between visits
    EXPECT_STREQ(GlobeShadingFile(), "globe\\2160n.sha");
}

TEST_F(GlobeScreen, QuitEndsTheLoopAndStaysQueued) {
    TestInjectMessage(MSG_QUIT, 7, 0);
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(RunGlobeScreen(), 0);
    Message m;
    ASSERT_TRUE(PeekMessageInRange(&m, MSG_QUIT, MSG_QUIT, 1));
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(GlobeScreen, DialBearingsOnBothSidesOfEachStep) {
    const double bearings[] = {359.9, 337.5, 337.4, 292.5, 292.4, 247.5, 247.4, 202.5, 202.4, 180};
    for (int k = 0; k < 10; k++) EXPECT_EQ(TiltForBearing(bearings[k]), k / 2) << bearings[k];
    // Clicks around the centre (740, 496): bearings 338.2 / 336.6, 292.6 / 291.8,
    // 248.2 / 247.4, 203.4 / 201.8 and straight down.
    struct Case { int x, y, tilt; } clicks[] = {
        {728, 466, 0}, {727, 466, 1}, {716, 486, 1}, {715, 486, 2},
        {715, 506, 2}, {716, 506, 3}, {727, 526, 3}, {728, 526, 4}, {739, 532, 4},
    };
    for (const Case& c : clicks) {
        TestInjectClick(c.x, c.y);
        EXPECT_EQ(RunToEscape(), 0);
        EXPECT_EQ(globeView.tilt, c.tilt) << c.x << "," << c.y;
    }
    EXPECT_EQ(DialTiltAt(740, 496), -1);
    TestInjectClick(740, 496);  // the centre is no bearing: the tilt stays
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.tilt, 1);
}

TEST_F(GlobeScreen, SizeAndTiltKeysStopAtTheEnds) {
    // Size 2: "+" to 3, "+" refused; four "-" to 0 with the last refused.
    Char('+'), Char('+'), Char('-'), Char('-'), Char('-'), Char('-');
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 0);
    EXPECT_EQ(ErrorCues(), 2);
    // A keypad key comes as a key-down and then its character: one step, not two.
    TestInjectKey(VK_ADD), Char('+');
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 3);
    // Tilt 1: up to 0, refused; down to 4, refused.
    TestClearSounds();
    TestInjectKey(VK_UP), TestInjectKey(VK_UP);
    for (int i = 0; i < 5; i++) TestInjectKey(VK_DOWN);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.tilt, 4);
    EXPECT_EQ(ErrorCues(), 2);
    // Size buttons.
    ClickButton(56);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 0);
    ClickButton(59);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 3);
}

// The wheel steps the size as the keys do, a notch a size, refused at the ends; half notches
// add up. Each run opens at size 2.
TEST_F(GlobeScreen, WheelStepsTheSize) {
    TestInjectWheel(400, 300, kWheelDelta);
    TestInjectWheel(400, 300, kWheelDelta);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 3);
    EXPECT_EQ(ErrorCues(), 1);
    TestInjectWheel(400, 300, -kWheelDelta / 2);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 2);
    TestInjectWheel(400, 300, -kWheelDelta / 2);
    TestInjectWheel(400, 300, -2 * kWheelDelta);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.size, 0);
    EXPECT_EQ(ErrorCues(), 2);
}

TEST_F(GlobeScreen, SpeedButtonsAndArrowKeys) {
    globeScreen = GlobeScreenState{0, 0, -1, 0};
    globeView.rotationSpeed = -1.0;
    globeView.rotationPaused = 0;
    struct Case { int button; uint32_t key; double speed; int paused; } steps[] = {
        {60, 0, -0.5, 0}, {61, 0, 0.5, 0}, {62, 0, -0.5, 0}, {63, 0, -1.0, 0}, {0, VK_LEFT, -0.5, 0},
        {0, VK_RIGHT, -1.0, 0}, {62, 0, -1.0, 0}, {61, 0, 1.0, 0}, {61, 0, 1.0, 0}, {64, 0, 1.0, 1}, {64, 0, 1.0, 0},
    };
    for (const Case& c : steps) {
        if (c.button) Press(c.button);
        else GlobeKeyDown(c.key);
        EXPECT_NEAR(globeView.rotationSpeed, c.speed, 1e-9) << "button " << c.button << " key " << c.key;
        EXPECT_EQ(globeView.rotationPaused, c.paused);
    }
}

TEST_F(GlobeScreen, OverlayMonthRunsAgainstTheTurnUnlessFrozen) {
    globeScreen = GlobeScreenState{0, 0, -1, 0};  // no buffers: the state moves, nothing is drawn
    globeView.imageType = kGlobeOverlay;
    globeView.overlay = kOverlayTemperature;
    globeView.overlayFrozen = 0;
    globeView.rotationPaused = 0;
    struct Case { double speed; int month, expected; double centre, expectedCentre; } cases[] = {
        {-1.0, 11, 0, -179.5, 179.5},   // eastward turn: months forward, longitude wraps west to east
        {1.0, 0, 11, 179.5, -179.5},    // westward: months backward
        {0.5, 5, 4, 10, 10.5},
    };
    for (const Case& c : cases) {
        globeView.rotationSpeed = c.speed;
        globeView.overlayMonth = c.month;
        globeView.centreLongitude = c.centre;
        globeScreen.monthFrames = 0;
        GlobeFrameStep();
        EXPECT_EQ(globeView.overlayMonth, c.expected) << c.speed;
        EXPECT_NEAR(globeView.centreLongitude, c.expectedCentre, 1e-9) << c.speed;
    }
    // Each month then stays for kFramesPerMonth frames while the globe goes on turning.
    globeView.rotationSpeed = -1.0;
    globeView.overlayMonth = 6;
    globeScreen.monthFrames = 0;
    for (int frame = 0; frame < kFramesPerMonth; frame++) GlobeFrameStep();
    EXPECT_EQ(globeView.overlayMonth, 7);
    GlobeFrameStep();
    EXPECT_EQ(globeView.overlayMonth, 8);
    // Frozen: the month stays, "f" steps it by the same rule.
    globeView.overlayFrozen = 1;
    globeView.rotationSpeed = -1.0;
    globeView.overlayMonth = 3;
    GlobeFrameStep();
    EXPECT_EQ(globeView.overlayMonth, 3);
    GlobeCharacter('f');
    EXPECT_EQ(globeView.overlayMonth, 4);
    globeView.rotationSpeed = 2.0;
    GlobeCharacter('F');
    EXPECT_EQ(globeView.overlayMonth, 3);
    EXPECT_EQ(globeScreen.redrawAsked, 1);
    globeView.overlayFrozen = 0;
    // Without an overlay the months never move; "f" does nothing either.
    globeView.imageType = kGlobeElevation;
    globeScreen.monthFrames = 0;
    GlobeFrameStep();
    GlobeCharacter('f');
    EXPECT_EQ(globeView.overlayMonth, 3);
}

TEST_F(GlobeScreen, AnimatesOnlyWhileSomethingMoves) {
    globeScreen = GlobeScreenState{1, 0, -1, 0};
    struct Case { double speed; int paused, type, frozen, animating; } cases[] = {
        {-1, 0, kGlobeImagery, 0, 1}, {0.0005, 0, kGlobeImagery, 0, 0}, {-1, 1, kGlobeImagery, 0, 0},
        {-1, 1, kGlobeOverlay, 0, 1}, {-1, 1, kGlobeOverlay, 1, 0}, {0, 1, kGlobeOverlay, 0, 0},
    };
    for (const Case& c : cases) {
        globeView.rotationSpeed = c.speed, globeView.rotationPaused = c.paused;
        globeView.imageType = c.type, globeView.overlayFrozen = c.frozen;
        EXPECT_EQ(GlobeAnimating(), c.animating) << c.speed << " " << c.paused << " " << c.type << " " << c.frozen;
    }
    globeScreen.framesReady = 0;
    globeView.rotationPaused = 0;
    EXPECT_EQ(GlobeAnimating(), 0);
}

TEST_F(GlobeScreen, LegendRangesAndScales) {
    struct Case { int overlay, low, high; const char* top; const char* bottom; } cases[] = {
        {kOverlayLandVegetation, kLegendQualitative, kLegendQualitative, "Heavy", "Light"},
        {kOverlayOceanVegetation, kLegendQualitative, kLegendQualitative, "Heavy", "Light"},
        {kOverlayTemperature, -583, 441, "44.1", "-58.3"},
        {kOverlayPrecipitation, 0, 6750, "675.0", "0.0"},
        {kOverlaySunshine, 0, 1000, "100.0", "0.0"},
    };
    for (const Case& c : cases) {
        int low, high;
        GlobeLegendRange(c.overlay, &low, &high);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
        std::string top, bottom;
        LegendLabelTexts(0, low, high, &top, &bottom);
        EXPECT_EQ(top, c.top);
        EXPECT_EQ(bottom, c.bottom);
        EXPECT_EQ(GlobeLegendScalePath(c.overlay), std::string(dataRoot) + "\\scales\\globe" + std::to_string(c.overlay) + ".sca");
    }
    // Elevations over the whole Earth while the screen runs, whichever range the map used.
    ElevationRange fixed = fixedElevation = ElevationRange{-100, 4000};
    ElevationRange observed = observedElevation = ElevationRange{200, 3000};
    int low, high;
    GlobeLegendRange(kOverlayNone, &low, &high);
    EXPECT_EQ(GlobeLegendScalePath(kOverlayNone), ElevationScalePath());
    EnterGlobeLegendRange();
    std::string top, bottom;
    for (int fixedSwitch : {0, 1}) {
        fixedElevationRange = fixedSwitch;
        LegendLabelTexts(0, low, high, &top, &bottom);
        EXPECT_EQ(top, "8848");
        EXPECT_EQ(bottom, "-392");
    }
    RestoreGlobeLegendRange();
    EXPECT_EQ(fixedElevation.minimum, fixed.minimum);
    EXPECT_EQ(observedElevation.maximum, observed.maximum);
    EXPECT_EQ(LegendBarRect().top, 181);  // mode 5's bar
    EXPECT_EQ(LegendBarRect().bottom, 240);
}

TEST_F(GlobeScreen, OverlayMissingFromTheVolumeKeepsThePicture) {
    globeScreen = GlobeScreenState{0, 0, -1, 0};
    globeView.imageType = kGlobeRelief;
    globeView.overlay = kOverlayNone;
    climateDataLoaded = 0;
    WriteOverlayMonth(kOverlayPrecipitation, 4);
    struct Case { int entry; const char* name; } missing[] = {
        {kEntryLandVegetation, "land vegetation"}, {kEntryOceanVegetation, "ocean vegetation"}, {kEntrySunshine, "sunshine"},
        {kEntryTemperature, "temperature"},
    };
    for (const Case& c : missing) {
        TestClearShown();
        ApplyGlobeDataEntry(c.entry);
        EXPECT_EQ(TestLastMessage(), std::string("This data volume has no ") + c.name + " data. See the README to add it.");
        EXPECT_EQ(globeView.imageType, kGlobeRelief);
        EXPECT_EQ(globeView.overlay, kOverlayNone);
        EXPECT_EQ(climateDataLoaded, 0);
    }
    // One month of a climatology is enough to show it.
    TestClearShown();
    globeView.overlayFrozen = 1;
    ApplyGlobeDataEntry(kEntryPrecipitation);
    for (const ShownText& t : TestShownMessages()) EXPECT_EQ(t.text.find("has no"), std::string::npos) << t.text;
    EXPECT_EQ(globeView.imageType, kGlobeOverlay);
    EXPECT_EQ(globeView.overlay, kOverlayPrecipitation);
    EXPECT_EQ(globeView.overlayFrozen, 0);
    EXPECT_EQ(climateDataLoaded, 1);
    EXPECT_EQ(ButtonVisible(65, 5), 1);
    // Back to plain elevations: the overlay and its button go.
    ApplyGlobeDataEntry(kEntryElevation);
    EXPECT_EQ(globeView.imageType, kGlobeElevation);
    EXPECT_EQ(globeView.overlay, kOverlayNone);
    EXPECT_EQ(climateDataLoaded, 0);
    EXPECT_EQ(ButtonVisible(65, 5), 0);
}

TEST_F(GlobeScreen, UnitsSwitchOnlyWithoutOverlayAndHandCursor) {
    globeScreen = GlobeScreenState{0, 0, -1, 0};
    imperialUnits = 0;
    globeView.imageType = kGlobeOverlay;
    globeView.overlay = kOverlayTemperature;
    Send(MSG_MOUSEMOVE, 740, 137);
    EXPECT_EQ(GetCursorShape(), CURSOR_ARROW);
    Send(MSG_LBUTTONDOWN, 740, 137);
    EXPECT_EQ(imperialUnits, 0u);
    globeView.imageType = kGlobeElevation;
    globeView.overlay = kOverlayNone;
    Send(MSG_MOUSEMOVE, 740, 137);
    EXPECT_EQ(GetCursorShape(), 107);
    Send(MSG_LBUTTONDOWN, 740, 137);
    EXPECT_EQ(imperialUnits, 1u);
    Send(MSG_LBUTTONDOWN, 787, 142);
    EXPECT_EQ(imperialUnits, 0u);
    // The hand over the dial and the buttons, the arrow over the globe.
    Point button = ButtonCentre(60);
    struct Move { int x, y, cursor; } moves[] = {
        {300, 300, CURSOR_ARROW}, {710, 500, 107}, {300, 300, CURSOR_ARROW}, {button.x, button.y, 107}, {300, 300, CURSOR_ARROW}};
    for (const Move& m : moves) {
        Send(MSG_MOUSEMOVE, m.x, m.y);
        EXPECT_EQ(GetCursorShape(), m.cursor) << m.x << "," << m.y;
    }
}

}  // namespace

// The orbits' switch and the group arrows: every visit loads the first group's file, the
// arrows step through the fourteen groups from wherever the index stood and load each, and
// the tables are gone once the screen is left.
TEST_F(GlobeScreen, SatelliteButtonsSwitchOrbitsAndStepGroups) {
    auto write = [&](const char* file, int satellites) {
        std::string text;
        for (int i = 0; i < satellites; i++) text += ElementSet("SAT " + std::to_string(i));
        WriteTestText(root / SlashPath(file), text);
    };
    write("sats\\noaa.dat", 3);
    write("sats\\leasat.dat", 2);
    write("sats\\spy.dat", 5);
    ResetSatelliteState();
    globeView.satDisplayOn = 0;
    ClickButton(51);
    ClickButton(53);  // group 1, leasat
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeView.satDisplayOn, 1);
    EXPECT_EQ(globeSatGroup, 1);
    EXPECT_EQ(globeSatCount, 0);  // released on leaving
    EXPECT_EQ(satelliteDataLoaded, 0);
    // The next visit shows noaa again but the arrows go on from group 1: back twice is 13.
    ClickButton(54);
    ClickButton(54);
    ClickButton(51);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeSatGroup, 13);
    EXPECT_EQ(globeView.satDisplayOn, 0);
    EXPECT_EQ(ErrorCues(), 0);
    for (const ShownText& t : TestShownMessages()) EXPECT_EQ(t.text.find("sats"), std::string::npos) << t.text;
    // Group 12's file is missing: stepping onto it says so, and the arrows stay usable.
    TestClearShown();
    ClickButton(54);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(globeSatGroup, 12);
    EXPECT_EQ(TestLastMessage(), "Cannot open file sats\\radarsat.dat");
}

// "Visible Now" opens the search's dialog from inside the globe's loop (satellites loaded, so
// the button takes clicks); cancelling it leaves the globe running until Escape.
TEST_F(GlobeScreen, VisibleNowOpensTheSearchFromTheGlobe) {
    std::string text = ElementSet("SAT 0");
    WriteTestText(root / "sats/noaa.dat", text);
    ResetSatelliteState();
    size_t dialogsBefore = TestShownDialogs().size();
    int cancelled = 0;
    TestPushDialogScript([&](Dialog* d) {
        cancelled = 1;
        TestDialogCommand(d, IDCANCEL);
    });
    ClickButton(97);
    EXPECT_EQ(RunToEscape(), 0);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(TestShownDialogs().size(), dialogsBefore + 1);
    EXPECT_EQ(ErrorCues(), 0);
}
