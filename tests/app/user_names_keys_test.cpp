// The user's own place names as the map screen offers them: F12, A, D and X through the
// window's queue, the menu of button 19, the exits refused while names are being edited, and
// the file surviving shutdown.
#include "app/screens.h"
#include "support/user_names_fixture.h"

namespace {

struct UserNamesKeysTest : UserNamesFixture {
    void SetUp() override {
        UserNamesFixture::SetUp();
        screenMode = 3;
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
    Click(At(45, 5));
    TypeName("Work");
    TestInjectKey('A');
    Click(At(50, 10));
    TestPumpMessages();
    EXPECT_EQ(TestShownDialogs().back(), "Place Name");
    TestInjectKey('D');
    Click(At(49.5, 10.5));
    TestPumpMessages();
    EXPECT_EQ(Shown("Deleted 1 records"), 1);
    // The repaint after the delete: Home stays in white, Work is gone.
    EXPECT_EQ(WindowPixel(At(45, 5).x, At(45, 5).y), 0x00FFFFu);
    EXPECT_NE(WindowPixel(At(50, 10).x, At(50, 10).y), 0x00FFFFu);

    TestPushAnswer(IDYES);
    TestInjectKey('X');
    TestPumpMessages();
    EXPECT_EQ(editingUserNames, 0);
    std::vector<NameRecord> saved = SavedNames();
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
    Click(At(44, 8));
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
    for (int viaMenu = 0; viaMenu <= 1; viaMenu++) {
        TestClearShown();
        if (viaMenu) {
            TestInjectMessage(MSG_COMMAND, 40005, 0);
            TestPumpMessages();
        } else {
            RoomButton(74);
        }
        EXPECT_EQ(TestLastMessage(), "Save your editing changes first!");
        EXPECT_EQ(ShutdownDone(), 0);
        EXPECT_TRUE(MainWindowExists());
        EXPECT_EQ(editingUserNames, 1);
    }
}

TEST_F(UserNamesKeysTest, ShutdownKeepsTheNamesAndTheirBackup) {
    ASSERT_TRUE(WriteTestFile(File(), std::vector<uint8_t>(160, 0)));
    ASSERT_TRUE(WriteTestFile(Backup(), std::vector<uint8_t>(80, 0)));
    ASSERT_TRUE(WriteTestFile(folder / "tmp/locate.tmp", {1, 2, 3}));
    Shutdown();
    EXPECT_FALSE(FileExists((folder / "tmp/locate.tmp").c_str()));  // scratch goes
    EXPECT_EQ(ReadTestFile(File()).size(), 160u);
    EXPECT_EQ(ReadTestFile(Backup()).size(), 80u);
    ResetShellState();
    hbmVirtual = CreateSurface(screenWidth, screenHeight);
    BuildButtonTable();
}

}  // namespace
