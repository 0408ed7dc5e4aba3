// The settings dialog driven through the test double: each control changes the record and
// "options.dat" at once, Cancel puts both back, the gamma field refuses what it cannot use,
// and the joystick is refused or calibrated from scripted readings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/sound.h"
#include "print/settings_dialog.h"
#include "window_fixture.h"

namespace {

std::vector<int> appliedChanges;
void RecordApplied(int changes) { appliedChanges.push_back(changes); }

struct SettingsDialogTest : ::testing::Test {
    WindowFixture window;
    TempFolder root;
    char savedRoot[256];

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        ResetCoreState();
        LoadSettings();  // no file: the defaults, sounds off (the double has no audio device)
        window.Open();
        screenMode = 3;
        appliedChanges.clear();
        TestClearShown();
        TestClearSounds();
        TestSetJoystick(JOY_UNPLUGGED, 0, 0, 0);
    }
    void TearDown() override {
        window.Close();
        ResetCoreState();
        options = OptionsRecord{};
        TestSetJoystick(JOY_UNPLUGGED, 0, 0, 0);
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
    std::string OptionsPath() const { return root / "options.dat"; }
    std::vector<uint8_t> Stored() const { return ReadTestFile(OptionsPath()); }
    // Runs the dialog with a script; returns what SettingsDialog reports.
    int Run(std::function<void(Dialog*)> script) {
        TestPushDialogScript(std::move(script));
        return SettingsDialog(RecordApplied);
    }
};

float StoredGamma(const std::vector<uint8_t>& b) {
    uint32_t u = PeekU32LE(&b[32]);
    float g;
    memcpy(&g, &u, 4);
    return g;
}

// Every control, one at a time: exactly its bytes of the file change, at once, and the screen
// behind is told what changed.
TEST_F(SettingsDialogTest, EachControlIsStoredAtOnce) {
    ASSERT_EQ(SaveSettings(), 1);
    struct Case {
        const char* what;
        int item;
        std::vector<std::pair<int, int>> bytes;  // offset, new value
        int change;
    } cases[] = {
        {"sounds on", kOptSounds, {{37, 1}}, SETTINGS_SOUNDS},
        {"monitor 17", kOptMonitor17, {{28, 17}}, SETTINGS_MONITOR},
        {"monitor 21", kOptMonitor21, {{28, 21}}, SETTINGS_MONITOR},
        {"imperial", kOptImperial, {{56, 1}}, SETTINGS_UNITS},
        {"depth 24", kOptDepth24, {{36, 24}}, SETTINGS_DEPTH},
        {"window 2x", kOptScale2, {{1, 2}}, SETTINGS_WINDOW_SCALE},
        {"names in 3D", kOptNames, {{48, 1}}, SETTINGS_NAMES},
        {"help prompts", kOptPrompts, {{52, 1}}, SETTINGS_PROMPTS},
        {"sounds off", kOptSounds, {{37, 0}}, SETTINGS_SOUNDS},
        {"metric", kOptMetric, {{56, 0}}, SETTINGS_UNITS},
        {"window automatic", kOptScaleAutomatic, {{1, 0}}, SETTINGS_WINDOW_SCALE},
        {"no depth", kOptDepthNone, {{36, 0}}, SETTINGS_DEPTH},
    };
    int result = Run([&](Dialog* d) {
        for (const Case& c : cases) {
            std::vector<uint8_t> before = Stored();
            size_t applied = appliedChanges.size();
            TestDialogCommand(d, c.item);
            std::vector<uint8_t> after = Stored();
            ASSERT_EQ(after.size(), 60u) << c.what;
            for (auto [offset, value] : c.bytes) {
                EXPECT_EQ(after[(size_t)offset], value) << c.what;
                before[(size_t)offset] = (uint8_t)value;
            }
            EXPECT_EQ(after, before) << c.what << ": only its bytes change";
            ASSERT_EQ(appliedChanges.size(), applied + 1) << c.what;
            EXPECT_EQ(appliedChanges.back(), c.change) << c.what;
        }
        // A radio button already chosen changes nothing and saves nothing.
        size_t applied = appliedChanges.size();
        TestDialogCommand(d, kOptMonitor21);
        EXPECT_EQ(appliedChanges.size(), applied);
        TestDialogCommand(d, IDOK);
    });
    // The live state follows the file.
    EXPECT_EQ(options.monitorInches, 21);
    EXPECT_EQ(namesOn3D, 1u);
    EXPECT_EQ(helpPromptsOn, 1u);
    EXPECT_EQ(imperialUnits, 0u);
    EXPECT_EQ(result, SETTINGS_MONITOR | SETTINGS_NAMES | SETTINGS_PROMPTS);
    // What was stored is what the next start reads.
    ResetCoreState();
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(options.monitorInches, 21);
    EXPECT_EQ(namesOn3D, 1u);
}

// Cancel puts back the record, the live switches, the gamma table and the file byte for byte,
// the field no control touches included.
TEST_F(SettingsDialogTest, CancelPutsTheFileAndTheSwitchesBack) {
    uint8_t b[60] = {1};
    b[28] = 15;
    b[37] = 1;
    PokeU32LE(b + 40, 0xDEADBEEF);
    float g = 1.8f;
    uint32_t gu;
    memcpy(&gu, &g, 4);
    PokeU32LE(b + 32, gu);
    b[44] = 1;
    PokeU32LE(b + 52, 1);
    std::vector<uint8_t> original(b, b + 60);
    ASSERT_TRUE(WriteTestFile(OptionsPath(), original));
    ASSERT_EQ(LoadSettings(), 1);
    uint8_t table[256];
    memcpy(table, gammaTable.entry, 256);

    int result = Run([&](Dialog* d) {
        // The dialog opens on the record as it is.
        int shownOn[] = {kOptSounds, kOptMonitor15, kOptMetric, kOptDepthNone, kOptScaleAutomatic, kOptPrompts};
        for (int id : shownOn) EXPECT_EQ(GetItemCheck(d, id), 1) << id;
        int shownOff[] = {kOptMonitor14, kOptMonitor21, kOptImperial, kOptDepth24, kOptScale2, kOptNames, kOptJoystick};
        for (int id : shownOff) EXPECT_EQ(GetItemCheck(d, id), 0) << id;
        EXPECT_EQ(GetItemText(d, kOptGammaEdit), "1.80");
        TestDialogCommand(d, kOptSounds);
        TestDialogCommand(d, kOptMonitor21);
        TestDialogCommand(d, kOptImperial);
        TestDialogCommand(d, kOptPrompts);
        TestDialogCommand(d, kOptNames);
        SetItemText(d, kOptGammaEdit, "");
        TestTypeItemText(d, kOptGammaEdit, "1");
        TestDialogCommand(d, kOptGammaApply);
        EXPECT_EQ(gammaTable.enabled, 0);  // gamma 1 is none
        EXPECT_NE(Stored(), original);
        EXPECT_EQ(PeekU32LE(Stored().data() + 40), 0xDEADBEEFu);
        appliedChanges.clear();
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Stored(), original);
    EXPECT_EQ(options.soundsOn, 1);
    EXPECT_EQ(options.monitorInches, 15);
    EXPECT_FLOAT_EQ(options.gamma, 1.8f);
    EXPECT_EQ(imperialUnits, 0u);
    EXPECT_EQ(helpPromptsOn, 1u);
    EXPECT_EQ(namesOn3D, 0u);
    EXPECT_EQ(gammaTable.enabled, 1);
    EXPECT_EQ(memcmp(table, gammaTable.entry, 256), 0);
    // The screen behind is told once what the restoring changed back.
    ASSERT_EQ(appliedChanges.size(), 1u);
    EXPECT_EQ(appliedChanges[0],
              SETTINGS_SOUNDS | SETTINGS_MONITOR | SETTINGS_UNITS | SETTINGS_PROMPTS | SETTINGS_NAMES | SETTINGS_GAMMA);
    gammaTable.enabled = 0;
}

TEST_F(SettingsDialogTest, CancelWithoutAFileBeforeLeavesNone) {
    Run([](Dialog* d) {
        TestDialogCommand(d, kOptMonitor17);
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_FALSE(FileExists(OptionsPath().c_str()));
    EXPECT_EQ(options.monitorInches, 14);
}

// The gamma field: numbers outside 0.25..4.00 or no number at all are refused with the error
// cue (a beep while sounds are off) and a message, and change nothing; Close refuses them too
// and keeps the dialog open.
TEST_F(SettingsDialogTest, GammaIsCheckedOnBothSides) {
    ASSERT_EQ(SaveSettings(), 1);
    struct Case {
        const char* typed;
        int accepted;
        float gamma;
    } cases[] = {
        {"0.24", 0, 0}, {"4.01", 0, 0}, {"abc", 0, 0}, {"", 0, 0}, {"2.2x", 0, 0}, {"nan", 0, 0},
        {"0.25", 1, 0.25f}, {"4", 1, 4.0f}, {"1.004", 1, 1.004f},
    };
    const std::string refusal = "The gamma value must be a number from 0.25 to 4.00";
    Run([&](Dialog* d) {
        for (const Case& c : cases) {
            std::vector<uint8_t> before = Stored();
            float gammaBefore = options.gamma;
            TestClearShown();  // also starts the beeps over
            int beeps = TestBeepCount();
            SetItemText(d, kOptGammaEdit, "");
            TestTypeItemText(d, kOptGammaEdit, c.typed);
            TestDialogCommand(d, kOptGammaApply);
            if (!c.accepted) {
                EXPECT_EQ(TestLastMessage(), refusal) << c.typed;
                EXPECT_EQ(TestBeepCount(), beeps + 1) << c.typed;
                EXPECT_EQ(Stored(), before) << c.typed;
                EXPECT_EQ(options.gamma, gammaBefore) << c.typed;
                continue;
            }
            EXPECT_TRUE(TestShownMessages().empty()) << c.typed;
            EXPECT_FLOAT_EQ(options.gamma, c.gamma) << c.typed;
            std::vector<uint8_t> after = Stored();
            EXPECT_FLOAT_EQ(StoredGamma(after), c.gamma) << c.typed;
            int inUse = std::fabs(c.gamma - 1.0f) >= 0.01f;
            EXPECT_EQ(after[44], inUse) << c.typed;
            EXPECT_EQ(gammaTable.enabled, inUse) << c.typed;
        }
        // Close with a bad value typed: refused, the dialog stays open for the next click.
        SetItemText(d, kOptGammaEdit, "9");
        TestDialogCommand(d, IDOK);
        EXPECT_EQ(TestLastMessage(), refusal);
        TestDialogCommand(d, kOptNames);
        EXPECT_EQ(namesOn3D, 1u);
        // Close with a good value typed but not applied takes it.
        SetItemText(d, kOptGammaEdit, "1.5");
        TestDialogCommand(d, IDOK);
    });
    EXPECT_FLOAT_EQ(StoredGamma(Stored()), 1.5f);
    gammaTable.enabled = 0;
}

// Switching the joystick on: a missing driver, a joystick not plugged in and one never
// calibrated are each refused with the error cue and their message; the switch stays off.
TEST_F(SettingsDialogTest, JoystickRefusals) {
    ASSERT_EQ(SaveSettings(), 1);
    struct Case {
        int status;
        const char* message;
    } cases[] = {
        {JOY_NO_DRIVER, "The software driver for the joystick has not been installed yet."},
        {JOY_UNPLUGGED, "The joystick is not plugged into your computer"},
        {JOY_OK, "You have not calibrated the joystick yet"},
    };
    Run([&](Dialog* d) {
        for (const Case& c : cases) {
            TestSetJoystick(c.status, 30000, 30000, 0);
            TestClearShown();
            int beeps = TestBeepCount();
            TestDialogCommand(d, kOptJoystick);
            ASSERT_EQ(TestShownMessages().size(), 1u) << c.message;
            EXPECT_EQ(TestLastMessage(), c.message);
            EXPECT_EQ(TestBeepCount(), beeps + 1) << c.message;  // the error cue, sounds being off
            EXPECT_EQ(GetItemCheck(d, kOptJoystick), 0) << c.message;
            EXPECT_EQ(options.joystickOn, 0) << c.message;
            EXPECT_EQ(Stored()[45], 0) << c.message;
        }
        // The calibration button says the same about a missing driver or joystick.
        TestSetJoystick(JOY_UNPLUGGED, 0, 0, 0);
        TestClearShown();
        TestDialogCommand(d, kOptCalibrate);
        EXPECT_EQ(TestLastMessage(), "The joystick is not plugged into your computer");
        EXPECT_TRUE(TestShownDialogs().empty()) << "no calibration dialog without a joystick";
        TestDialogCommand(d, IDOK);
    });
}

// Readings for the calibration: the centre, then the four corners.
struct Reading {
    int x, y;
};
std::function<void(Dialog*)> Calibrate(std::vector<Reading> readings, int status = JOY_OK) {
    return [readings, status](Dialog* d) {
        for (size_t i = 0; i < readings.size(); i++) {
            TestSetJoystick(i + 1 == readings.size() ? status : JOY_OK, readings[i].x, readings[i].y, 0);
            TestDialogCommand(d, kOptCalibrationRecord);
        }
    };
}

// The settings dialog's script clicks Calibrate; the calibration dialog's script, queued
// behind it, records the five positions. Corners do not line up: the extremes on each axis are
// kept, whichever corner gave them. With the calibration stored the joystick switches on.
TEST_F(SettingsDialogTest, CalibrationStoresCentreMinimumAndMaximum) {
    ASSERT_EQ(SaveSettings(), 1);
    TestSetJoystick(JOY_OK, 32000, 33000, 0);
    TestPushDialogScript([](Dialog* d) {
        TestDialogCommand(d, kOptCalibrate);
        TestDialogCommand(d, kOptJoystick);
        TestDialogCommand(d, IDOK);
    });
    TestPushDialogScript(Calibrate({{32000, 33000}, {1200, 900}, {64000, 1500}, {65000, 64500}, {800, 63000}}));
    EXPECT_EQ(SettingsDialog(RecordApplied), SETTINGS_JOYSTICK);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    std::vector<uint8_t> b = Stored();
    int expected[6] = {32000, 33000, 800, 900, 65000, 64500};  // centre x, y; minimum x, y; maximum x, y
    for (int i = 0; i < 6; i++) EXPECT_EQ(PeekI32LE(&b[4 + 4 * (size_t)i]), expected[i]) << "field at " << 4 + 4 * i;
    EXPECT_EQ(b[45], 1);
    EXPECT_EQ(options.joystickOn, 1);
    // The stored calibration maps the corners to the ends of the flyby's range.
    EXPECT_EQ(JoystickAxis(800, options.joyCentreX, options.joyMinX, options.joyMaxX), 0);
    EXPECT_EQ(JoystickAxis(65000, options.joyCentreX, options.joyMinX, options.joyMaxX), 10000);
}

TEST_F(SettingsDialogTest, FailedCalibrationsStoreNothing) {
    ASSERT_EQ(SaveSettings(), 1);
    std::vector<uint8_t> before = Stored();
    struct Case {
        const char* what;
        std::vector<Reading> readings;
        int lastStatus;
        const char* message;
    } cases[] = {
        // The stick never left its centre on the y axis: said, and the steps start over.
        {"no travel", {{32000, 33000}, {1000, 33000}, {64000, 33000}, {64000, 33000}, {1000, 33000}}, JOY_OK,
         "The joystick did not reach its corners. Please calibrate it again."},
        {"pulled out", {{32000, 33000}, {1000, 900}, {64000, 1000}}, JOY_UNPLUGGED, "The joystick is not plugged into your computer"},
        {"driver gone", {{32000, 33000}, {1000, 900}}, JOY_NO_DRIVER, "The software driver for the joystick has not been installed yet."},
    };
    for (const Case& c : cases) {
        TestSetJoystick(JOY_OK, 32000, 33000, 0);
        TestClearShown();
        std::string stepAfter;
        TestPushDialogScript([](Dialog* d) {
            TestDialogCommand(d, kOptCalibrate);
            TestDialogCommand(d, IDOK);
        });
        TestPushDialogScript([&](Dialog* d) {
            Calibrate(c.readings, c.lastStatus)(d);
            stepAfter = GetItemText(d, kOptCalibrationStep);
            TestDialogCommand(d, IDCANCEL);
        });
        EXPECT_EQ(SettingsDialog(RecordApplied), 0) << c.what;
        EXPECT_EQ(TestLastMessage(), c.message) << c.what;
        EXPECT_EQ(Stored(), before) << c.what;
        EXPECT_FALSE(JoystickCalibrated(options)) << c.what;
        if (c.lastStatus == JOY_OK) {
            EXPECT_EQ(stepAfter, "Let the joystick rest at its centre, then click Record.");
        }
    }
}

// A short silent PCM wave, enough for the test double to accept it as a sound.
std::vector<uint8_t> SilentWave() {
    std::vector<uint8_t> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                              1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 200, 0, 0, 0};
    w.resize(w.size() + 200, 0);
    PokeU32LE(w.data() + 4, (uint32_t)w.size() - 8);
    return w;
}

// Sounds switched on in the dialog are heard through "Test sound"; a sound that then fails
// silences the session and the check box, but options.dat keeps the user's choice.
TEST_F(SettingsDialogTest, TestSoundAndAFailureThatIsNotKept) {
    ASSERT_EQ(SaveSettings(), 1);
    ASSERT_TRUE(WriteTestFile(root / "process.wav", SilentWave()));
    Run([&](Dialog* d) {
        int beeps = TestBeepCount();
        TestDialogCommand(d, kOptTestSound);  // sounds still off: the default beep only
        EXPECT_EQ(TestBeepCount(), beeps + 1);
        EXPECT_TRUE(TestPlayedSounds().empty());
        TestDialogCommand(d, kOptSounds);
        EXPECT_EQ(Stored()[37], 1);
        TestDialogCommand(d, kOptTestSound);
        ASSERT_EQ(TestPlayedSounds().size(), 1u);
        EXPECT_EQ(TestPlayedSounds()[0], ResolvePath(DataRootPath("process.wav").c_str()));

        RemoveFile((root / "process.wav").c_str());
        TestDialogCommand(d, kOptTestSound);
        EXPECT_EQ(TestLastMessage(), "Cannot open file " + DataRootPath("process.wav"));
        EXPECT_EQ(GetItemCheck(d, kOptSounds), 0);
        EXPECT_EQ(options.soundsOn, 0);
        TestDialogCommand(d, kOptMonitor17);  // any later save keeps the sounds on
        EXPECT_EQ(Stored()[28], 17);
        EXPECT_EQ(Stored()[37], 1);
        TestDialogCommand(d, IDOK);
    });
    ASSERT_EQ(SaveSettings(), 1);  // as at shutdown
    EXPECT_EQ(Stored()[37], 1);
}

TEST_F(SettingsDialogTest, PrinterSetupChangesNoSetting) {
    ASSERT_EQ(SaveSettings(), 1);
    std::vector<uint8_t> before = Stored();
    int shown = TestPageSetupsShown();
    Run([&](Dialog* d) {
        TestDialogCommand(d, kOptPrinter);
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(TestPageSetupsShown(), shown + 1);
    EXPECT_EQ(Stored(), before);
}

}  // namespace
