// Start-up and shutdown run for real, offscreen, on tiny volumes made here.
#include <gtest/gtest.h>

#include "app/app.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/files.h"
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

namespace {

struct StartupTest : ::testing::Test {
    TempFolder root, drive;
    std::string savedCwd;
    std::vector<std::string> drives;
    void SetUp() override {
        ASSERT_TRUE(WritePanelBitmaps(root.path));
        ASSERT_TRUE(WritePanelBitmaps(drive.path));
        savedCwd = CurrentDirectory();
        ResetShellState();
        TestClearShown();
        drives.clear();
        OverrideVolumeSearch(&drives);
        ChangeDirectory(root.path.c_str());
    }
    void TearDown() override {
        if (MainWindowExists()) {
            Shutdown();
            DestroyMainWindow();
        }
        OverrideVolumeSearch(nullptr);
        UseVolumeDirectory("");
        ChangeDirectory(savedCwd.c_str());
    }
    void UseDrives(std::vector<std::string> d) {
        drives = d;
        OverrideVolumeSearch(&drives);
    }
};

TEST_F(StartupTest, VolumeInWorkingDirectoryShowsTitlePage) {
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0x2040A0)));
    ASSERT_TRUE(WriteTestText(root / "names.dat", "1\n0\n3 places\nx\n\n7\n2\n9\n"));
    ASSERT_EQ(InitInstance(), 1);
    EXPECT_EQ(std::string(dataRoot), root.path);
    EXPECT_EQ(std::string(tempDir), root.path + "\\tmp");
    EXPECT_TRUE(DirectoryExists(tempDir));
    EXPECT_EQ(screenMode, 2);
    EXPECT_EQ(CurrentDirectory(), root.path);
    EXPECT_EQ(GetPixel(hbmVirtual, 400, 300), MakeColour(0x20, 0x40, 0xA0));
    EXPECT_EQ(GetPixel(WindowSurface(), 10, 590), MakeColour(0x20, 0x40, 0xA0));
    uint8_t expected[8] = {1, 0, 3, 0, 0, 7, 2, 0};
    for (int i = 0; i < 8; i++) EXPECT_EQ(labelSwitches[i], expected[i]) << i;
    EXPECT_EQ(mapRect.left, 16);
    EXPECT_EQ(mapRect.bottom, 538);
    EXPECT_EQ(legendRect.right, 793);
    EXPECT_EQ(legendCache[2][15], 0xFF);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(zoomHistory[0].north, 135.0);
    EXPECT_EQ(fhGeneric.family, "Arial");
    EXPECT_EQ(fhGeneric.points, 8);
    EXPECT_TRUE(ShownBesidesPanelBitmaps().empty()) << TestLastMessage();
}

TEST_F(StartupTest, NoDrivesAtAll) {
    EXPECT_EQ(InitInstance(), 0);
    EXPECT_EQ(TestLastMessage(), "No CDROM drive detected");
    EXPECT_FALSE(MainWindowExists());
}

TEST_F(StartupTest, DrivesWithoutTheTitlePage) {
    UseDrives({drive.path});
    EXPECT_EQ(InitInstance(), 0);
    ASSERT_FALSE(TestShownMessages().empty());
    EXPECT_EQ(TestShownMessages().back().text, "Please insert the correct disc into the CDROM drive and run the program again");
    EXPECT_EQ(TestShownMessages().back().caption, "Cannot find CDROM");
    EXPECT_EQ(CurrentDirectory(), root.path);  // back where it started
}

TEST_F(StartupTest, VolumeOnADriveKeepsTheDataRoot) {
    TempFolder empty;
    ASSERT_TRUE(WriteTestFile(drive / "TitlePg.BMP", SolidBmp24(800, 600, 0x00FF00)));
    UseDrives({empty.path + "/not-there", empty.path, drive.path});
    ASSERT_EQ(InitInstance(), 1);
    EXPECT_EQ(std::string(dataRoot), root.path);
    EXPECT_EQ(CurrentDirectory(), drive.path);
    EXPECT_EQ(GetPixel(hbmVirtual, 0, 0), MakeColour(0, 255, 0));
}

// --volume: the folder given is used ahead of every other, and one without a title page is
// refused rather than passed over for another volume.
TEST_F(StartupTest, VolumeFolderFromTheCommandLine) {
    TempFolder empty;
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0x0000FF)));
    ASSERT_TRUE(WriteTestFile(drive / "titlepg.bmp", SolidBmp24(800, 600, 0x00FF00)));
    UseVolumeDirectory(empty.path.c_str());
    EXPECT_EQ(InitInstance(), 0);
    ASSERT_FALSE(TestShownMessages().empty());
    EXPECT_EQ(TestShownMessages().back().text,
              "The folder " + empty.path + " holds no Mundora data volume (its title page titlepg.bmp is missing).");
    EXPECT_EQ(TestShownMessages().back().caption, "Cannot find the data volume");
    EXPECT_EQ(CurrentDirectory(), root.path);
    EXPECT_FALSE(MainWindowExists());
    UseVolumeDirectory(drive.path.c_str());
    ASSERT_EQ(InitInstance(), 1);
    EXPECT_EQ(std::string(dataRoot), root.path);
    EXPECT_EQ(CurrentDirectory(), drive.path);  // the volume's root, though the data root holds one too
}

TEST_F(StartupTest, ShutdownRunsOnceAndClearsScratchFiles) {
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0)));
    ASSERT_EQ(InitInstance(), 1);
    const char* scratch[] = {"screen00.tmp", "screen09.tmp", "locate.tmp", "locate2.tmp", "clpboard.tmp",
                             "sats.tmp",     "names.tmp",    "100.n2",     "150.n2",      "350.n2"};
    for (const char* s : scratch) ASSERT_TRUE(WriteTestText(root / (std::string("tmp/") + s), "x"));
    ASSERT_TRUE(WriteTestText(root / "tmp/userfile.txt", "keep"));
    helpPromptsOn = 1;
    Shutdown();
    for (const char* s : scratch) EXPECT_FALSE(FileExists((root / (std::string("tmp/") + s)).c_str())) << s;
    EXPECT_TRUE(FileExists((root / "tmp/userfile.txt").c_str()));
    std::vector<uint8_t> saved = ReadTestFile(root / "options.dat");
    ASSERT_EQ(saved.size(), 60u);
    EXPECT_EQ(saved[0], 1);
    EXPECT_EQ(saved[52], 1);
    EXPECT_EQ(hbmVirtual, nullptr);
    RemoveFile((root / "options.dat").c_str());
    Shutdown();  // a second call does nothing
    EXPECT_FALSE(FileExists((root / "options.dat").c_str()));
}

TEST_F(StartupTest, StartUpDeletesOldScreenCachesAndReadsSettings) {
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0x404040)));
    ASSERT_TRUE(WriteTestText(root / "tmp/screen03.tmp", "stale"));
    uint8_t record[60] = {1};
    record[28] = 17;
    record[44] = 1;
    float gamma = 2.0f;
    memcpy(record + 32, &gamma, 4);
    ASSERT_TRUE(WriteTestFile(root / "options.dat", std::vector<uint8_t>(record, record + 60)));
    ASSERT_EQ(InitInstance(), 1);
    EXPECT_FALSE(FileExists((root / "tmp/screen03.tmp").c_str()));
    EXPECT_EQ(options.monitorInches, 17);
    EXPECT_EQ(GetPixel(hbmVirtual, 5, 5), MakeColour(128, 128, 128));  // gamma 2.0 on the title page
    gammaTable.enabled = 0;
}

TEST_F(StartupTest, CloseRequestsAreSwallowedAndExitCommandQuits) {
    ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0)));
    ASSERT_EQ(InitInstance(), 1);
    TestPumpMessages();
    TestInjectMessage(MSG_CLOSE, 0, 0);
    TestInjectMessage(MSG_SYSCOMMAND, SC_CLOSE, 0);
    TestPumpMessages();
    EXPECT_TRUE(MainWindowExists());
    EXPECT_FALSE(ShutdownDone());
    TestInjectMessage(MSG_COMMAND, 40005, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_TRUE(ShutdownDone());
    EXPECT_FALSE(MainWindowExists());
    EXPECT_TRUE(FileExists((root / "options.dat").c_str()));
}

}  // namespace

namespace {

struct DisplayTest : StartupTest {
    void SetUp() override {
        StartupTest::SetUp();
        ASSERT_TRUE(WriteTestFile(root / "titlepg.bmp", SolidBmp24(800, 600, 0x808080)));
    }
    void TearDown() override {
        TestSetScreen(0, 0, 0, 0);
        StartupTest::TearDown();
    }
};

TEST_F(DisplayTest, SmallScreenWithout640SetOpensDisplaySettings) {
    TestSetScreen(640, 480, 24, 96);
    EXPECT_EQ(InitInstance(), 0);
    EXPECT_EQ(TestLastMessage(),
              "You did not install 640x480 support during setup of the Mundora. Please change to 800x600 or higher, or run the setup program to install 640x480 support.");
    ASSERT_FALSE(TestOpenedAddresses().empty());
    EXPECT_EQ(TestOpenedAddresses().back(), "display-settings");
    EXPECT_FALSE(MainWindowExists());
}

TEST_F(DisplayTest, SmallScreenWith640SetUsesTheSmallLayout) {
    TestSetScreen(640, 480, 24, 96);
    ASSERT_TRUE(WriteTestFile(root / "640/menu/x.bmp", SolidBmp24(2, 2, 0)));
    ASSERT_TRUE(WriteTestFile(root / "640/titlepg.bmp", SolidBmp24(640, 480, 0x00FF00)));
    ASSERT_EQ(InitInstance(), 1);
    EXPECT_EQ(smallLayout, 1);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(SurfaceWidth(hbmVirtual), 640);
    EXPECT_EQ(mapRect.right, 544);
    EXPECT_EQ(fhGeneric.points, 7);
    EXPECT_EQ(GetPixel(hbmVirtual, 1, 1), MakeColour(0, 255, 0));
}

TEST_F(DisplayTest, LowColourAnswerNoEndsWithANote) {
    TestSetScreen(1024, 768, 8, 96);
    TestPushAnswer(IDNO);
    EXPECT_EQ(InitInstance(), 0);
    const auto& shown = TestShownMessages();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].text, "This version will NOT run properly at 256 colors or less. Continue anyway?");
    EXPECT_EQ(shown.back().caption, "Note");
    EXPECT_EQ(shown.back().text,
              "You can use the 'settings' tab under the Windows display properties tool to change color depth and resolution.");
}

TEST_F(DisplayTest, LargeFontsAndPreferredDepthWarn) {
    TestSetScreen(1024, 768, 24, 120);
    uint8_t record[60] = {1};
    record[36] = 16;  // prefers 16 bits per pixel
    ASSERT_TRUE(WriteTestFile(root / "options.dat", std::vector<uint8_t>(record, record + 60)));
    ASSERT_EQ(InitInstance(), 1);  // the question is answered Yes
    const auto shown = ShownBesidesPanelBitmaps();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Warning");
    EXPECT_EQ(shown[0].text.rfind("Your display properties are not set to 'small fonts'.", 0), 0u);
    EXPECT_EQ(shown[1].text,
              "The video display is  not set to your preferred color depth for this program. You can exit the program and use Desktop Properties to change the color depth.");
    Shutdown();
    DestroyMainWindow();
    ResetShellState();
    TestClearShown();
    TestPushAnswer(IDNO);
    EXPECT_EQ(InitInstance(), 0);
}

}  // namespace
