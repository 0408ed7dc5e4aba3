// Volume file names resolved on Linux, atomic writes and the volume search list.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/test_volume.h"

namespace {

TEST(Files, NamesResolveWithoutRegardToCase) {
    TempFolder t;
    ASSERT_TRUE(WriteTestText(t / "Textures/Cactus.Bmp", "x"));
    std::string wanted = t / "Textures/Cactus.Bmp";
    EXPECT_EQ(ResolvePath((t.path + "\\textures\\CACTUS.bmp").c_str()), wanted);
    EXPECT_EQ(ResolvePath((t.path + "/TEXTURES/cactus.BMP").c_str()), wanted);
    EXPECT_TRUE(FileExists((t.path + "\\TEXTURES\\cactus.bmp").c_str()));
    EXPECT_FALSE(FileExists((t.path + "\\textures").c_str()));
    EXPECT_TRUE(DirectoryExists((t.path + "\\textures").c_str()));
    // A missing last component keeps its spelling so it can be created.
    EXPECT_EQ(ResolvePath((t.path + "\\TEXTURES\\New.dat").c_str()), t / "Textures/New.dat");
    EXPECT_EQ(ResolvePath((t.path + "\\nothing\\deeper\\x").c_str()), t / "nothing/deeper/x");
}

TEST(Files, AtomicWriteReplacesWholeFiles) {
    TempFolder t;
    std::string path = t / "options.dat";
    ASSERT_EQ(WriteFileAtomically(path.c_str(), "abc", 3), 1);
    ASSERT_EQ(WriteFileAtomically(path.c_str(), "z", 1), 1);
    EXPECT_EQ(ReadTestFile(path), std::vector<uint8_t>{'z'});
    EXPECT_FALSE(FileExists((path + ".part").c_str()));
    EXPECT_EQ(WriteFileAtomically((t.path + "/no/such/dir/f").c_str(), "a", 1), 0);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(path.c_str(), &bytes, 1), 1);
    EXPECT_EQ(ReadWholeFile(path.c_str(), &bytes, 0), 0);  // larger than allowed
}

TEST(Files, VolumeSearchCanBeReplaced) {
    std::vector<std::string> drives = {"/a", "/b"};
    OverrideVolumeSearch(&drives);
    EXPECT_TRUE(RemovableVolumes().empty());
    EXPECT_EQ(InstalledVolumeDirectories(), drives);
    OverrideVolumeSearch(nullptr);
    EXPECT_FALSE(InstalledVolumeDirectories().empty());
    EXPECT_GT(FreeDiskBytes("/tmp"), 0);
    EXPECT_GT(AvailableMemoryBytes(), 0);
}

}  // namespace
