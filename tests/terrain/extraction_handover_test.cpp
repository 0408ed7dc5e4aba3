// The 2D map's 3D tab through the main window procedure: a confirmed area is extracted into
// the temporary folder and the user is told so; a refused one writes nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "app/window_fixture.h"
#include "extraction_volume.h"
#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

using namespace extraction_test;

namespace {

struct ExtractionHandOver : ::testing::Test {
    WindowFixture window;
    TempFolder temp;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", VolumeFolder().c_str());
        snprintf(tempDir, sizeof tempDir, "%s", temp.path.c_str());
        WriteTestFile(VolumeFolder() + "/menu/152.bmp", SolidBmp24(176, 26, 0x404040));  // the progress panel
        window.Open();
        screenMode = 3;
        zoomHistory[1] = MapWindow{118.0, 122.0, 28.0, 32.0};
        zoomDepth = 1;
        TestClearShown();
    }
    void TearDown() override {
        RemoveFile((VolumeFolder() + "/theme1.dat").c_str());
        RemoveFile((VolumeFolder() + "/names.dat").c_str());
        window.Close();
        ResetZoomHistory();
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
    }
    std::vector<std::string> Shown() {
        std::vector<std::string> texts;
        for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
        return texts;
    }
};

TEST_F(ExtractionHandOver, ConfirmedAreaIsExtractedIntoTheTemporaryFolder) {
    TestPushAnswer(IDYES);
    TestInjectClick(420, 12);  // the 3D tab
    TestPumpMessages();
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Would you like to clip out this new area to view in 3D?",
                           "The terrain of this area was written to the temporary folder. The 3D terrain view comes in a later version.",
                       }));
    std::vector<uint8_t> clip = ReadTestFile(ResolvePath(ClipFilePath().c_str()));
    ASSERT_EQ(clip.size(), (size_t)kClipFileSize);
    ByteCursor c = MakeCursor(clip.data(), clip.size());
    EXPECT_EQ(ReadF64LE(c), 118.0);
    EXPECT_EQ(ReadF64LE(c), 122.0);
    std::vector<uint8_t> heights = ReadTestFile(ResolvePath(TerrainSetPath(100, "hts").c_str()));
    ASSERT_EQ(heights.size(), 100u * 100 * 2);
    ReferenceGrids want = ReferenceExtraction(zoomHistory[1], 100);
    EXPECT_EQ(PeekI16LE(&heights[2 * 5050]), want.heights[5050]);
    EXPECT_EQ(ReadTestFile(ResolvePath(TerrainSetPath(150, "rgb").c_str())), ReferenceExtraction(zoomHistory[1], 150).rgb);
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(zoomDepth, 1);
}

TEST_F(ExtractionHandOver, WideMapHandsOverTheSquarePickedOnTheWorldView) {
    // The world view is repainted before the pick: it needs a theme and the names' settings.
    std::string theme = VolumeFolder() + "/theme1.dat", names = VolumeFolder() + "/names.dat";
    ASSERT_TRUE(WriteTestText(theme, "[Raster2D=0 0  000000001 999999999\n"));
    ASSERT_TRUE(WriteTestFile(names, ReadTestFile(SourceDir() + "/content/names.dat")));
    zoomHistory[1] = MapWindow{90.0, 150.0, 10.0, 50.0};  // wider than 20 degrees
    TestInjectClick(420, 12);
    // The world view's centre column and the row of the equator pick 0 E 0 N.
    int x = (mapRect.left + mapRect.right) / 2, y = (mapRect.top + mapRect.bottom) / 2;
    TestInjectClick(x, y);
    TestPumpMessages();
    ASSERT_EQ(TestLastMessage(),
              "The terrain of this area was written to the temporary folder. The 3D terrain view comes in a later version.");
    ClipRecord clip;
    ASSERT_EQ(ReadClipFile(&clip), 1);
    EXPECT_NEAR(clip.window.east - clip.window.west, 20.0, 1e-9);
    EXPECT_NEAR(clip.window.north - clip.window.south, 20.0, 1e-9);
    EXPECT_NEAR((clip.window.west + clip.window.east) / 2, 0.0, 1.0);
    EXPECT_NEAR((clip.window.south + clip.window.north) / 2, 0.0, 1.0);
    EXPECT_EQ(ReadTestFile(ResolvePath(TerrainSetPath(150, "hts").c_str())).size(), 150u * 150 * 2);
    EXPECT_EQ(zoomDepth, 0);  // the map stays at the world view
    EXPECT_EQ(Shown().size(), 1u) << TestLastMessage();
}

TEST_F(ExtractionHandOver, RefusedAreaWritesNothing) {
    TestPushAnswer(IDNO);
    TestInjectClick(420, 12);
    TestPumpMessages();
    EXPECT_EQ(Shown(), std::vector<std::string>{"Would you like to clip out this new area to view in 3D?"});
    EXPECT_FALSE(FileExists(ClipFilePath().c_str()));
    EXPECT_FALSE(FileExists(TerrainSetPath(100, "hts").c_str()));
}

}  // namespace
