// Sound cues: the cue table under the data root, the switch-off rule after a failing sound,
// the beeps while sounds are off, and wave headers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "core/core.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

// A 16-bit mono PCM wave of `samples` samples at 8000 Hz, optionally with a chunk of odd
// length before the samples.
std::vector<uint8_t> Wave(int samples, int oddChunk = 0, int byteRate = 16000) {
    std::vector<uint8_t> w;
    auto text = [&](const char* s) { w.insert(w.end(), s, s + 4); };
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) w.push_back((uint8_t)(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { w.push_back((uint8_t)v); w.push_back((uint8_t)(v >> 8)); };
    text("RIFF");
    u32(0);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32((uint32_t)byteRate);
    u16(2);
    u16(16);
    if (oddChunk) {
        text("LIST");
        u32(3);
        w.insert(w.end(), {'a', 'b', 'c', 0});
    }
    text("data");
    u32((uint32_t)samples * 2);
    for (int i = 0; i < samples; i++) u16((uint16_t)(i * 300));
    uint32_t riff = (uint32_t)w.size() - 8;
    memcpy(w.data() + 4, &riff, 4);
    return w;
}

struct SoundRoot : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    OptionsRecord savedOptions;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        savedOptions = options;
        options.soundsOn = 1;
        TestSetNoAudioDevice(0);
        TestClearShown();
        TestClearSounds();
    }
    void TearDown() override {
        options = savedOptions;
        TestSetNoAudioDevice(0);
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
    void WriteCue(const char* name) { ASSERT_TRUE(WriteTestFile(folder / name, Wave(800))); }
    std::string Cue(const char* name) const { return ResolvePath(DataRootPath(name).c_str()); }
};

}  // namespace

TEST_F(SoundRoot, EachCuePlaysItsFile) {
    const char* files[] = {"panel.wav", "click.wav", "error2.wav", "error.wav", "slide2.wav", "process.wav", "touch.wav"};
    for (const char* f : files) WriteCue(f);
    for (int cue = 0; cue <= 8; cue++) PlayCue(cue);
    ASSERT_EQ(TestPlayedSounds().size(), 7u);  // cues 0 and 8 do nothing
    for (int i = 0; i < 7; i++) EXPECT_EQ(TestPlayedSounds()[(size_t)i], Cue(files[i]));
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(TestBeepCount(), 0);
    EXPECT_EQ(options.soundsOn, 1);
}

TEST_F(SoundRoot, SoundsOffBeepOnlyForErrors) {
    WriteCue("error.wav");
    WriteCue("slide2.wav");
    options.soundsOn = 0;
    PlayCue(CUE_ERROR);
    PlayCue(CUE_ERROR2);
    EXPECT_EQ(TestBeepCount(), 2);
    PlayCue(CUE_SLIDE);
    PlayCue(CUE_PANEL);
    PlayCue(0);
    PlayCue(8);
    PlayCue(-4);
    EXPECT_EQ(TestBeepCount(), 2);
    EXPECT_TRUE(TestPlayedSounds().empty());
    EXPECT_EQ(PlaySoundFile(DataRootPath("error.wav").c_str()), 0);
    EXPECT_TRUE(TestPlayedSounds().empty());
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(SoundRoot, MissingSoundIsReportedOnceThenBeeps) {
    WriteCue("slide2.wav");
    PlayCue(CUE_ERROR);
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text, "Cannot open file " + DataRootPath("error.wav"));
    EXPECT_EQ(TestShownMessages()[0].caption, "");
    EXPECT_EQ(options.soundsOn, 0);
    EXPECT_EQ(TestBeepCount(), 0);
    PlayCue(CUE_ERROR);
    PlayCue(CUE_ERROR);
    PlayCue(CUE_SLIDE);  // even a sound that exists stays silent now
    EXPECT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestBeepCount(), 2);
    EXPECT_TRUE(TestPlayedSounds().empty());
}

// A cue is taken from the data root when it is there, else from the volume (the working
// directory); missing in both it is reported under the data root's name.
TEST_F(SoundRoot, CuesComeFromTheDataRootThenTheVolume) {
    TempFolder volume;
    ASSERT_TRUE(WriteTestFile(volume / "error.wav", Wave(800)));
    ASSERT_TRUE(WriteTestFile(volume / "slide2.wav", Wave(800)));
    WriteCue("slide2.wav");
    std::string cwd = CurrentDirectory();
    ASSERT_TRUE(ChangeDirectory(volume.path.c_str()));
    PlayCue(CUE_SLIDE);  // in both: the data root's copy
    PlayCue(CUE_ERROR);  // on the volume only
    std::vector<std::string> played = TestPlayedSounds();
    PlayCue(CUE_CLICK);  // in neither
    int soundsAfterMissing = options.soundsOn;
    ChangeDirectory(cwd.c_str());
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0], Cue("slide2.wav"));
    EXPECT_EQ(played[1], "error.wav");  // by its name on the volume, the working directory
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + DataRootPath("click.wav"));
    EXPECT_EQ(soundsAfterMissing, 0);
}

// A failing sound switches sounds off for the run only: saving keeps the user's "on", and
// the user's own switch replaces the failure.
TEST_F(SoundRoot, AFailedCueIsNotSaved) {
    ResetCoreState();
    options.soundsOn = 1;
    ASSERT_EQ(SaveSettings(), 1);
    PlayCue(CUE_ERROR);  // no file anywhere
    EXPECT_EQ(options.soundsOn, 0);
    EXPECT_EQ(soundsFailedThisRun, 1);
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadTestFile(folder / "options.dat")[37], 1);
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(options.soundsOn, 1);  // the next start tries again

    PlayCue(CUE_ERROR);
    SetSoundsSetting(0);  // the user switches them off after all
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadTestFile(folder / "options.dat")[37], 0);
    SetSoundsSetting(1);
    EXPECT_EQ(soundsFailedThisRun, 0);
    ResetCoreState();
}

TEST_F(SoundRoot, UnplayableFilesSwitchSoundsOff) {
    // Not a wave: refused when opened, with the message.
    ASSERT_TRUE(WriteTestText(folder / "click.wav", "this is no sound"));
    PlayCue(CUE_CLICK);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + DataRootPath("click.wav"));
    EXPECT_EQ(options.soundsOn, 0);

    // A machine without an audio device: the playing fails, quietly, and sounds go off.
    options.soundsOn = 1;
    TestClearShown();
    WriteCue("touch.wav");
    TestSetNoAudioDevice(1);
    EXPECT_EQ(PlaySoundFile(DataRootPath("touch.wav").c_str()), 0);
    EXPECT_EQ(options.soundsOn, 0);
    EXPECT_TRUE(TestShownMessages().empty());
    PlayCue(CUE_ERROR);
    EXPECT_EQ(TestBeepCount(), 1);
}

TEST(WaveHeader, ReadsLengthAndRefusesDamagedFiles) {
    WaveInfo info;
    std::vector<uint8_t> good = Wave(8000);
    ASSERT_EQ(ParseWaveHeader(good.data(), good.size(), &info), 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 8000);
    EXPECT_EQ(info.dataOffset, 44u);
    EXPECT_EQ(info.dataBytes, 16000u);
    EXPECT_EQ(info.durationMs, 1000);

    std::vector<uint8_t> odd = Wave(400, 1);  // a padded odd chunk before the samples
    ASSERT_EQ(ParseWaveHeader(odd.data(), odd.size(), &info), 1);
    EXPECT_EQ(info.dataOffset, 44u + 12u);
    EXPECT_EQ(info.durationMs, 50);

    std::vector<uint8_t> cut = good;
    cut.resize(44 + 4000);  // the data chunk claims more than the file holds
    ASSERT_EQ(ParseWaveHeader(cut.data(), cut.size(), &info), 1);
    EXPECT_EQ(info.dataBytes, 4000u);
    EXPECT_EQ(info.durationMs, 250);

    std::vector<uint8_t> bad[] = {Wave(10, 0, 0), Wave(10, 0, 7), std::vector<uint8_t>(good.begin(), good.begin() + 30), {}};
    for (auto& b : bad) EXPECT_EQ(ParseWaveHeader(b.data(), b.size(), &info), 0);
    std::vector<uint8_t> notRiff = good;
    notRiff[0] = 'X';
    EXPECT_EQ(ParseWaveHeader(notRiff.data(), notRiff.size(), &info), 0);
    std::vector<uint8_t> compressed = good;
    compressed[20] = 2;  // an ADPCM format tag
    EXPECT_EQ(ParseWaveHeader(compressed.data(), compressed.size(), &info), 0);
}

TEST_F(SoundRoot, RealPlaybackReturnsWithinTheSoundsLength) {
    // Through the real back end, with silent samples: on a machine without an audio device
    // this fails at once and switches sounds off; with one, it ends after the sound.
    std::vector<uint8_t> silent = Wave(1600);
    std::fill(silent.begin() + 44, silent.end(), 0);
    ASSERT_TRUE(WriteTestFile(folder / "process.wav", silent));
    TestModeEnable(0);
    uint32_t start = TickCount();
    int played = PlaySoundFile(DataRootPath("process.wav").c_str());
    uint32_t elapsed = TickCount() - start;
    TestModeEnable(1);
    EXPECT_LT(elapsed, 3000u + 2 * 200u + 3000u + 500u);  // load, twice the length, margin
    EXPECT_EQ(options.soundsOn, played ? 1 : 0);
    EXPECT_TRUE(TestShownMessages().empty());
}
