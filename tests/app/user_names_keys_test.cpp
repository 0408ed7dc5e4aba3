// The user's own place names as the map screen offers them: F12, A, D and X through the
// window's queue, the menu of button 19, the exits refused while names are being edited, and
// the file surviving shutdown.
#include <gtest/gtest.h>

#include <cstring>

#include "app/screens.h"
#include "names/names.h"
#include "names/user_names.h"
#include "platform/files.h"
#include "window_fixture.h"

namespace {

struct UserNamesKeysTest : ::testing::Test {
    TempFolder folder;
    WindowFixture window;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        window.Open();
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        strcpy(dataRoot, folder.path.c_str());
        strcpy(tempDir, (folder / "tmp").c_str());
        MakeDirectories(tempDir);
        zoomHistory[1] = MapWindow{0, 20, 40, 55};
        zoomDepth = 1;
        screenMode = 3;
        ResetUserNames();
        TestClearShown();
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        ResetUserNames();
        memset(labelSwitches, 0, sizeof labelSwitches);
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
        window.Close();
    }
    std::string File() { return folder / "tmp/userdef.dat"; }
    void Click(double lat, double lon) {
        int x, y;
        GeoToPixel(lat, lon, &x, &y);
        TestInjectMessage(MSG_LBUTTONDOWN, 0, MakeMouseParam(x, y));
        TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(x, y));
    }
    void TypeName(const char* name) {
        std::string n = name;
        TestPushDialogScript([n](Dialog* d) {
            SetItemText(d, 1040, n.c_str());
            TestDialogCommand(d, IDOK);
        });
    }
    int Shown(const char* text) {
        int n = 0;
        for (const ShownText& t : TestShownMessages()) n += t.text == text;
        return n;
    }
    // A menu script that clicks one of its buttons (0 for none) and may flip the switch.
    void ChooseInMenu(int button, int flipShow = 0, std::vector<int>* enabled = nullptr) {
        TestPushDialogScript([=](Dialog* d) {
            if (enabled)
                for (int id = 1902; id <= 1905; id++) enabled->push_back(TestItemEnabled(d, id));
            if (flipShow) TestDialogCommand(d, 1906);
            TestDialogCommand(d, button ? button : IDCANCEL);
        });
    }
};

TEST_F(UserNamesKeysTest, KeysStartAddDeleteAndFinish) {
    // A, D and X mean nothing before F12.
    size_t dialogs = TestShownDialogs().size();
    TestInjectKey('A');
    TestInjectKey('D');
    TestInjectKey('X');
    TestPumpMessages();
    EXPECT_EQ(TestShownDialogs().size(), dialogs);
    EXPECT_TRUE(TestShownMessages().empty());

    TestInjectKey(VK_F12);
    TestPumpMessages();
    EXPECT_EQ(editingUserNames, 1);
    EXPECT_EQ(Shown("loaded 0 user-defined place names"), 1);
    TestInjectKey(VK_F12);
    TestPumpMessages();
    EXPECT_EQ(Shown("Save currently loaded data first"), 1);

    TypeName("Home");
    TestInjectKey('A');
    Click(45, 5);
    TypeName("Work");
    TestInjectKey('A');
    Click(50, 10);
    TestPumpMessages();
    EXPECT_EQ(TestShownDialogs().back(), "Place Name");
    TestInjectKey('D');
    Click(49.5, 10.5);
    TestPumpMessages();
    EXPECT_EQ(Shown("Deleted 1 records"), 1);
    // The repaint after the delete: Home stays in white, Work is gone.
    int hx, hy, wx, wy;
    GeoToPixel(45, 5, &hx, &hy);
    GeoToPixel(50, 10, &wx, &wy);
    EXPECT_EQ(WindowPixel(hx, hy), 0x00FFFFu);
    EXPECT_NE(WindowPixel(wx, wy), 0x00FFFFu);

    TestPushAnswer(IDYES);
    TestInjectKey('X');
    TestPumpMessages();
    EXPECT_EQ(editingUserNames, 0);
    std::vector<uint8_t> bytes = ReadTestFile(File());
    std::vector<NameRecord> saved;
    DecodeNameFile(bytes.data(), bytes.size(), &saved);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].name, "Home");
}

TEST_F(UserNamesKeysTest, TheMenuOffersWhatTheKeysDo) {
    std::vector<int> enabled;
    ChooseInMenu(1902, 0, &enabled);  // Start editing
    MapButton(19, 0);
    EXPECT_EQ(enabled, (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(editingUserNames, 1);
    EXPECT_EQ(TestShownDialogs().back(), "Your Place Names");

    enabled.clear();
    ChooseInMenu(1903, 0, &enabled);  // Add a name
    TypeName("Harbour");
    Click(44, 8);
    MapButton(19, 0);
    EXPECT_EQ(enabled, (std::vector<int>{0, 1, 1, 1}));
    ASSERT_EQ(UserNameTableSize(), 50);
    EXPECT_STREQ(UserNameTable()[0].name, "Harbour");

    ChooseInMenu(1905);  // Save and finish
    TestPushAnswer(IDYES);
    MapButton(19, 0);
    EXPECT_EQ(editingUserNames, 0);
    EXPECT_EQ(ReadTestFile(File()).size(), 80u);
    EXPECT_EQ(labelSwitches[7], 1);

    // Close with the switch flipped hides the saved names; a plain Close changes nothing.
    ChooseInMenu(0, 1);
    MapButton(19, 0);
    EXPECT_EQ(labelSwitches[7], 0);
    EXPECT_EQ(editingUserNames, 0);
    ChooseInMenu(0);
    MapButton(19, 0);
    EXPECT_EQ(labelSwitches[7], 0);
}

TEST_F(UserNamesKeysTest, TheExitsAreRefusedWhileEditing) {
    ASSERT_EQ(StartEditingUserNames(), 1);
    screenMode = 1;
    RoomButton(74);
    EXPECT_EQ(TestLastMessage(), "Save your editing changes first!");
    EXPECT_EQ(ShutdownDone(), 0);
    EXPECT_TRUE(MainWindowExists());
    TestClearShown();
    TestInjectMessage(MSG_COMMAND, 40005, 0);
    TestPumpMessages();
    EXPECT_EQ(TestLastMessage(), "Save your editing changes first!");
    EXPECT_EQ(ShutdownDone(), 0);
    EXPECT_EQ(editingUserNames, 1);
}

TEST_F(UserNamesKeysTest, ShutdownKeepsTheNamesAndTheirBackup) {
    ASSERT_TRUE(WriteTestFile(File(), std::vector<uint8_t>(160, 0)));
    ASSERT_TRUE(WriteTestFile(folder / "tmp/userdef.bak", std::vector<uint8_t>(80, 0)));
    ASSERT_TRUE(WriteTestFile(folder / "tmp/locate.tmp", {1, 2, 3}));
    Shutdown();
    EXPECT_FALSE(FileExists((folder / "tmp/locate.tmp").c_str()));  // scratch goes
    EXPECT_EQ(ReadTestFile(File()).size(), 160u);
    EXPECT_EQ(ReadTestFile(folder / "tmp/userdef.bak").size(), 80u);
    ResetShellState();
    hbmVirtual = CreateSurface(screenWidth, screenHeight);
    BuildButtonTable();
}

}  // namespace
