// Media clips: a clip is found by its volume name without regard to letter case, a missing
// one is reported with its name, and a closed clip no longer plays.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/core.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

struct MediaClips : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        TestClearShown();
    }
    void TearDown() override { memcpy(dataRoot, savedRoot, sizeof dataRoot); }
};

TEST_F(MediaClips, OpenedByTheirVolumeName) {
    std::string missing = DataRootPath("video\\none.avi");
    EXPECT_EQ(OpenMediaClip(missing.c_str(), nullptr, -1), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + missing);
    ASSERT_TRUE(WriteTestText(folder / "video/Intro.avi", "clip"));
    Rect box{100, 120, 260, 240};
    int device = OpenMediaClip(DataRootPath("VIDEO\\intro.avi").c_str(), &box, 0);
    ASSERT_GT(device, 0);
    EXPECT_EQ(PlayMediaClip(device, 0, 1), 1);
    CloseMediaClip(device);
    EXPECT_EQ(PlayMediaClip(device, 0, 0), 0);  // closed
    EXPECT_EQ(PlayMediaClip(0, 0, 0), 0);
}
