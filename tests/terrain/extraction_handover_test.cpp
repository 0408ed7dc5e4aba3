// The 2D map's 3D tab through the main window procedure: a confirmed area is extracted into
// the temporary folder and the terrain view opens on it; a refused one writes nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "app/window_fixture.h"
#include "extraction_volume.h"
#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_screen.h"

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
        // What the terrain view opens with: its background and the elevation scale.
        WriteTestFile(VolumeFolder() + "/menu/3dmain.bmp", SolidBmp24(800, 600, 0x202020));
        std::vector<uint8_t> scale(8, 0);
        for (int k = 0; k < 10000; k++) scale.insert(scale.end(), {(uint8_t)(k / 40), 100, 7});
        MakeDirectories((VolumeFolder() + "/scales").c_str());
        WriteTestFile(VolumeFolder() + "/scales/ian1.sca", scale);
        window.Open();
        screenMode = 3;
        zoomHistory[1] = MapWindow{118.0, 122.0, 28.0, 32.0};
        zoomDepth = 1;
        terrainView = TerrainView{};
        TestClearShown();
    }
    void TearDown() override {
        RemoveFile((VolumeFolder() + "/theme1.dat").c_str());
        RemoveFile((VolumeFolder() + "/names.dat").c_str());
        RemoveFile((VolumeFolder() + "/menu/3dmain.bmp").c_str());
        RemoveFile((VolumeFolder() + "/scales/ian1.sca").c_str());
        window.Close();
        ResetZoomHistory();
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
    }
    // The terrain view opened on the set: nothing about its files, buffers or background was
    // reported (the 2D map it returns to may lack its own files in this volume).
    void ExpectViewOpened() {
        EXPECT_EQ(terrainView.gridSize, 150);
        EXPECT_EQ(terrainView.leaveCode, 0);  // the test double's empty queue ends the loop
        for (const std::string& t : Shown())
            for (const char* bad : {".hts", ".rgb", ".sha", "ian1.sca", "3dmain", "dtm", "xSize"})
                EXPECT_EQ(t.find(bad), std::string::npos) << t;
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
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown()[0], "Would you like to clip out this new area to view in 3D?");
    ExpectViewOpened();
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

TEST_F(ExtractionHandOver, RefusedAreaWritesNothing) {
    TestPushAnswer(IDNO);
    TestInjectClick(420, 12);
    TestPumpMessages();
    EXPECT_EQ(Shown(), std::vector<std::string>{"Would you like to clip out this new area to view in 3D?"});
    EXPECT_FALSE(FileExists(ClipFilePath().c_str()));
    EXPECT_FALSE(FileExists(TerrainSetPath(100, "hts").c_str()));
}

}  // namespace
