// The settings record: bytes on disk, defaults for damaged files, the gamma table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/sound.h"
#include "support/test_volume.h"

namespace {

struct SettingsTest : ::testing::Test {
    TempFolder folder;
    void SetUp() override {
        ResetCoreState();
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
    }
    std::string OptionsPath() { return folder / "options.dat"; }
};

TEST_F(SettingsTest, SaveWritesEveryFieldAtItsOffset) {
    memset(&options, 0, sizeof options);
    options.windowScale = 2;
    options.joyCentreX = 32000;
    options.joyMinY = -5;
    options.monitorInches = 17;
    options.gamma = 2.0f;
    options.preferredDepth = 24;
    options.soundsOn = 1;
    options.carried = 0xDEADBEEF;
    options.gammaInUse = 1;
    options.joystickOn = 1;
    namesOn3D = 1;
    helpPromptsOn = 0;
    imperialUnits = 1;
    ASSERT_EQ(SaveSettings(), 1);
    std::vector<uint8_t> b = ReadTestFile(OptionsPath());
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 2);
    EXPECT_EQ(b[2] | b[3], 0);
    EXPECT_EQ(PeekI32LE(&b[4]), 32000);
    EXPECT_EQ(PeekI32LE(&b[16]), -5);
    EXPECT_EQ(b[28], 17);
    float g;
    uint32_t gu = PeekU32LE(&b[32]);
    memcpy(&g, &gu, 4);
    EXPECT_FLOAT_EQ(g, 2.0f);
    EXPECT_EQ(b[36], 24);
    EXPECT_EQ(b[37], 1);
    EXPECT_EQ(PeekU32LE(&b[40]), 0xDEADBEEFu);
    EXPECT_EQ(b[44], 1);
    EXPECT_EQ(b[45], 1);
    EXPECT_EQ(PeekU32LE(&b[48]), 1u);
    EXPECT_EQ(PeekU32LE(&b[52]), 0u);
    EXPECT_EQ(PeekU32LE(&b[56]), 1u);
}

TEST_F(SettingsTest, LoadRestoresSwitchesAndCarriesOffset40) {
    uint8_t b[60] = {1};
    b[28] = 21;
    PokeU32LE(b + 40, 0x01020304);
    PokeU32LE(b + 48, 1);
    PokeU32LE(b + 52, 1);
    PokeU32LE(b + 56, 0);
    ASSERT_TRUE(WriteTestFile(OptionsPath(), std::vector<uint8_t>(b, b + 60)));
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(options.monitorInches, 21);
    EXPECT_EQ(namesOn3D, 1u);
    EXPECT_EQ(helpPromptsOn, 1u);
    EXPECT_EQ(imperialUnits, 0u);
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(PeekU32LE(ReadTestFile(OptionsPath()).data() + 40), 0x01020304u);
}

TEST_F(SettingsTest, DamagedFilesGiveDefaults) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"version 2", std::vector<uint8_t>(60, 2)},
        {"too short", std::vector<uint8_t>{1, 0, 0, 0, 5}},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        namesOn3D = helpPromptsOn = imperialUnits = 0;
        ASSERT_TRUE(WriteTestFile(OptionsPath(), c.bytes));
        EXPECT_EQ(LoadSettings(), 0) << c.what;
        EXPECT_EQ(options.monitorInches, 14) << c.what;
        EXPECT_EQ(options.soundsOn, 0) << c.what;
        EXPECT_EQ(helpPromptsOn, 0u) << c.what;
    }
    RemoveFile(OptionsPath().c_str());
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(options.monitorInches, 14);
}

// Without any options.dat (a fresh install) sounds start on when there is an audio output to
// hear them; a damaged file still gives every switch off.
TEST_F(SettingsTest, SoundsStartOnWhereTheyCanBeHeard) {
    struct Case {
        const char* what;
        int fileBytes;  // -1 no file
        int audio;
        int soundsOn;
    } cases[] = {
        {"no file, audio", -1, 1, 1},
        {"no file, no audio", -1, 0, 0},
        {"damaged file, audio", 7, 1, 0},
    };
    for (const Case& c : cases) {
        RemoveFile(OptionsPath().c_str());
        if (c.fileBytes >= 0) ASSERT_TRUE(WriteTestFile(OptionsPath(), std::vector<uint8_t>((size_t)c.fileBytes, 1)));
        TestSetAudioOutput(c.audio);
        EXPECT_EQ(LoadSettings(), 0) << c.what;
        EXPECT_EQ(options.soundsOn, c.soundsOn) << c.what;
        EXPECT_EQ(options.monitorInches, 14) << c.what;
    }
    TestSetAudioOutput(0);
    // The first save writes the default found.
    RemoveFile(OptionsPath().c_str());
    TestSetAudioOutput(1);
    LoadSettings();
    TestSetAudioOutput(0);
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadTestFile(OptionsPath())[37], 1);
}

TEST_F(SettingsTest, GammaTable) {
    BuildGammaTable(2.0);
    EXPECT_EQ(gammaTable.entry[64], 128);
    EXPECT_EQ(gammaTable.entry[0], 0);
    EXPECT_EQ(gammaTable.entry[255], 255);
    EXPECT_EQ(GammaLookup(64), 128);
    gammaTable.enabled = 0;
    EXPECT_EQ(GammaLookup(64), 64);
}

// A gamma of 1.005 is saved with the in-use flag clear and leaves the table off next time.
TEST_F(SettingsTest, GammaCloseToOneStaysOffAfterRestart) {
    memset(&options, 0, sizeof options);
    SetGammaSetting(1.005f);
    EXPECT_EQ(gammaTable.enabled, 0);
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadTestFile(OptionsPath())[44], 0);
    gammaTable.enabled = 0;
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(options.gammaInUse, 0);
    EXPECT_EQ(gammaTable.enabled, 0);

    SetGammaSetting(2.0f);
    ASSERT_EQ(SaveSettings(), 1);
    gammaTable.enabled = 0;
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(gammaTable.enabled, 1);
    EXPECT_EQ(GammaLookup(64), 128);
    gammaTable.enabled = 0;
}

TEST(Joystick, AxisMapsAroundTheCalibratedCentre) {
    EXPECT_EQ(JoystickAxis(100, 100, 0, 200), 5000);
    EXPECT_EQ(JoystickAxis(200, 100, 0, 200), 10000);
    EXPECT_EQ(JoystickAxis(0, 100, 0, 200), 0);
    EXPECT_EQ(JoystickAxis(150, 100, 0, 300), 6250);
    EXPECT_EQ(JoystickAxis(25, 100, 0, 300), 1250);
    EXPECT_EQ(JoystickAxis(5, 5, 5, 5), 5000);  // an uncalibrated stick does not divide by zero
}

}  // namespace
