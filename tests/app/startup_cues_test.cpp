// Start-up with sounds on: the colour-depth warning plays the error cue; a missing
// "error.wav" is reported once and later error cues only beep.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "support/test_volume.h"


// These volumes carry no panel buttons: start-up reports the first missing one, which the
// checks below leave aside.
static std::vector<ShownText> ShownBesidesPanelBitmaps() {
    std::vector<ShownText> kept;
    for (const ShownText& t : TestShownMessages())
        if (t.text.rfind("Cannot open file menu\\", 0) != 0) kept.push_back(t);
    return kept;
}

TEST(StartupCues, DepthWarningPlaysTheErrorCueOnce) {
    TempFolder root;
    ASSERT_TRUE(WritePanelBitmaps(root.path));
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0x203040)));
    ASSERT_TRUE(WriteTestText(root / "scales.dat", "0<ian1.sca>\n1<relief.sca>\n"));
    OptionsRecord o{};
    o.version = 1;
    o.monitorInches = 14;
    o.gamma = 1.0f;
    o.soundsOn = 1;
    o.preferredDepth = ScreenDepth() == 15 ? 16 : 15;  // never the display's depth
    uint8_t bytes[kOptionsSize];
    EncodeOptions(o, bytes);
    ASSERT_TRUE(WriteTestFile(root / "options.dat", std::vector<uint8_t>(bytes, bytes + kOptionsSize)));

    std::string cwd = CurrentDirectory();
    std::string savedRoot = dataRoot, savedTemp = tempDir;
    ASSERT_TRUE(ChangeDirectory(root.path.c_str()));
    ResetShellState();
    TestClearShown();
    TestClearSounds();
    int started = InitInstance();
    std::vector<ShownText> shown = ShownBesidesPanelBitmaps();
    int scales = ScaleListCount(), current = ElevationScaleIndex();
    PlayCue(CUE_ERROR);
    int beeps = TestBeepCount();
    size_t after = ShownBesidesPanelBitmaps().size();
    DestroyMainWindow();
    if (hbmVirtual) DeleteSurface(hbmVirtual);
    hbmVirtual = nullptr;
    ChangeDirectory(cwd.c_str());
    snprintf(dataRoot, sizeof dataRoot, "%s", savedRoot.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", savedTemp.c_str());
    ResetShellState();
    options = OptionsRecord{};

    ASSERT_EQ(started, 1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Cannot open file " + std::string(root.path) + "\\error.wav");
    EXPECT_EQ(shown[1].caption, "Note");
    EXPECT_EQ(after, shown.size());  // the error cue now only beeps
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(scales, 2);  // the scale list was read at start-up
    EXPECT_EQ(current, 1);
}
