// The user's own place names: the editor's table and commands driven through the queue and
// the test double's dialogs, the file as saved (record layout, atomic replacement, backup),
// damaged files left alone, and the names drawn over the map.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "names/labels.h"
#include "platform/le_bytes.h"
#include "support/user_names_fixture.h"

namespace {

NameRecord Named(const char* name, float lat, float lon) {
    NameRecord r;
    r.name = name, r.lat = lat, r.lon = lon, r.cls = 1;
    return r;
}

float F32At(const std::vector<uint8_t>& b, size_t at) {
    uint32_t u = PeekU32LE(&b[at]);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

struct UserNamesTest : UserNamesFixture {
    void WriteNames(const std::vector<NameRecord>& records) { ASSERT_TRUE(WriteTestFile(File(), EncodeNameFile(records))); }
    // One A command: the name typed and confirmed, then a click at the place.
    void Add(const std::string& name, double lat, double lon) {
        TypeName(name);
        Click(At(lat, lon));
        AddUserName();
        FlushMessages(0, 0xFFFFFFFF);
    }
    int Used() {
        int n = 0;
        for (int i = 0; i < UserNameTableSize(); i++) n += !(UserNameTable()[i].flags & kUserNameFree);
        return n;
    }
};

TEST_F(UserNamesTest, AMissingOrEmptyFileGivesFiftyAdditionsAndNoMore) {
    for (int empty = 0; empty <= 1; empty++) {
        SCOPED_TRACE(empty ? "empty file" : "missing file");
        RemoveFile(File().c_str());
        if (empty) {
            ASSERT_TRUE(WriteTestFile(File(), {}));
        }
        TestClearShown();
        ASSERT_EQ(StartEditingUserNames(), 1);
        EXPECT_EQ(TestLastMessage(), "loaded 0 user-defined place names");
        EXPECT_EQ(TestShownMessages().back().caption, "");
        EXPECT_TRUE(FileExists(File().c_str()));  // created empty when it was missing
        ASSERT_EQ(UserNameTableSize(), 50);
        const UserNameRecord& spare = UserNameTable()[49];
        EXPECT_STREQ(spare.name, "unused");
        EXPECT_EQ(spare.cls, 1);
        EXPECT_EQ(spare.flags, kUserNameFree);
        EXPECT_EQ(spare.lat, 0.0f);
        for (int i = 0; i < 50; i++) Add("Place " + std::to_string(i), 41 + i * 0.2, 1 + i * 0.3);
        EXPECT_EQ(Used(), 50);
        EXPECT_EQ(Shown("No more space for new entries"), 0);
        // Refused before the name is asked for.
        size_t dialogs = TestShownDialogs().size();
        EXPECT_EQ(AddUserName(), 0);
        EXPECT_EQ(Shown("No more space for new entries"), 1);
        EXPECT_EQ(TestShownDialogs().size(), dialogs);
        EXPECT_EQ(Used(), 50);
        TestPushAnswer(IDYES);
        EXPECT_EQ(EndEditingUserNames(), 1);
        EXPECT_EQ(editingUserNames, 0);
        std::vector<NameRecord> saved = SavedNames();
        ASSERT_EQ(saved.size(), 50u);
        EXPECT_EQ(saved[0].name, "Place 0");
        EXPECT_EQ(saved[49].name, "Place 49");
    }
}

TEST_F(UserNamesTest, DeleteTakesTheNearestNameInsideTheWindowAndAddingReusesItsSlot) {
    // Outside is west of the window and nearer the click than anything inside it.
    WriteNames({Named("Outside", 47, -0.5f), Named("Inside", 47, 5), Named("Far", 54, 19)});
    ASSERT_EQ(StartEditingUserNames(), 1);
    EXPECT_EQ(TestLastMessage(), "loaded 3 user-defined place names");
    ASSERT_EQ(UserNameTableSize(), 53);
    Click(At(47, 0.5));
    EXPECT_EQ(DeleteUserName(), 1);  // the map must be repainted to take the name away
    EXPECT_EQ(TestLastMessage(), "Deleted 1 records");
    EXPECT_EQ(UserNameTable()[0].flags, 0);
    EXPECT_EQ(UserNameTable()[1].flags, kUserNameFree);
    EXPECT_EQ(UserNameTable()[2].flags, 0);
    Add("Delta", 48, 12);
    EXPECT_STREQ(UserNameTable()[1].name, "Delta");
    EXPECT_EQ(UserNameTable()[1].flags, 0);
    EXPECT_EQ(UserNameTable()[3].flags, kUserNameFree);  // the first spare is still free
    // Starting again while editing is refused and keeps the table as it is.
    EXPECT_EQ(StartEditingUserNames(), 0);
    EXPECT_EQ(TestLastMessage(), "Save currently loaded data first");

    // Nothing shown in the window: refused, nothing freed. A cancelled pick says nothing.
    zoomHistory[1] = MapWindow{100, 120, -20, -5};
    TestClearShown();
    Click(At(-10, 110));
    EXPECT_EQ(DeleteUserName(), 0);
    EXPECT_EQ(TestLastMessage(), "did not select a record");
    EXPECT_EQ(Used(), 3);
    TestClearShown();
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(DeleteUserName(), 0);
    EXPECT_TRUE(TestShownMessages().empty());
    TestPushAnswer(IDYES);
    EndEditingUserNames();
    std::vector<NameRecord> saved = SavedNames();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[1].name, "Delta");
}

TEST_F(UserNamesTest, NoKeepsTheFileYesKeepsABackupACrashLeavesNoTrace) {
    WriteNames({Named("Alpha", 45, 5), Named("Beta", 50, 10), Named("Gamma", 52, 15)});
    std::vector<uint8_t> before = ReadTestFile(File());

    ASSERT_EQ(StartEditingUserNames(), 1);
    Add("Delta", 48, 12);
    TestPushAnswer(IDNO);
    EXPECT_EQ(EndEditingUserNames(), 1);
    EXPECT_EQ(TestLastMessage(), "Save changes to user-defined place names?");
    EXPECT_EQ(editingUserNames, 0);
    EXPECT_EQ(ReadTestFile(File()), before);
    EXPECT_FALSE(FileExists(Backup().c_str()));

    // Three records with the middle one deleted are saved as two, in table order; the three
    // stay in the backup. What a crash between writing a new version and renaming it leaves
    // behind neither stops the load nor survives the save.
    ASSERT_TRUE(WriteTestFile(File() + ".part", std::vector<uint8_t>(37, 0xEE)));
    ASSERT_EQ(StartEditingUserNames(), 1);
    EXPECT_EQ(TestLastMessage(), "loaded 3 user-defined place names");
    Click(At(50, 10));
    DeleteUserName();
    TestPushAnswer(IDYES);
    EndEditingUserNames();
    std::vector<NameRecord> saved = SavedNames();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].name, "Alpha");
    EXPECT_EQ(saved[1].name, "Gamma");
    EXPECT_EQ(ReadTestFile(Backup()), before);
    EXPECT_FALSE(FileExists((File() + ".part").c_str()));
    EXPECT_EQ(labelSwitches[7], 1);  // what was just saved is shown from now on

    // Saving the same list again keeps the backup of the last change.
    std::vector<uint8_t> two = ReadTestFile(File());
    ASSERT_EQ(StartEditingUserNames(), 1);
    TestPushAnswer(IDYES);
    EndEditingUserNames();
    EXPECT_EQ(ReadTestFile(File()), two);
    EXPECT_EQ(ReadTestFile(Backup()), before);
}

TEST_F(UserNamesTest, TheNameDialogRefusesBlanksAndTheSavedRecordHoldsEveryFieldAtItsOffset) {
    ASSERT_EQ(StartEditingUserNames(), 1);
    std::string longName;
    for (int i = 0; i < 75; i++) longName += (char)('a' + i % 26);
    Point p = At(43.3, 17.7);
    int beeps = TestBeepCount();
    TestPushDialogScript([&](Dialog* d) {
        TestDialogCommand(d, IDOK);  // empty or blank: a beep each, and the dialog stays
        SetItemText(d, 1040, "   ");
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1040, longName.c_str());
        EXPECT_EQ(GetItemText(d, 1040).size(), 70u);  // the field takes 70 characters
        EXPECT_EQ(GetItemText(d, 1123), "Specify place name");
        TestDialogCommand(d, IDOK);
    });
    Click(p);
    AddUserName();
    EXPECT_EQ(TestBeepCount(), beeps + 2);
    TestPushAnswer(IDYES);
    EndEditingUserNames();
    std::vector<uint8_t> b = ReadTestFile(File());
    ASSERT_EQ(b.size(), 80u);
    double lat, lon;
    PixelToGeo(p.x, p.y, &lat, &lon);
    EXPECT_EQ(F32At(b, 0), (float)lat);
    EXPECT_EQ(F32At(b, 4), (float)lon);
    EXPECT_NE((float)lat, (float)lon);
    EXPECT_EQ(std::string((const char*)&b[8], 69), longName.substr(0, 69));  // the first 69 are used
    EXPECT_EQ(b[77], 0);
    EXPECT_EQ(b[78], 1);  // class
    EXPECT_EQ(b[79], 0);  // flags
}

TEST_F(UserNamesTest, CancelOrEscapeEndsTheCommandWithNothingAdded) {
    ASSERT_EQ(StartEditingUserNames(), 1);
    TestPushDialogScript([&](Dialog* d) { TestDialogCommand(d, IDCANCEL); });
    Click(At(45, 5));
    AddUserName();
    EXPECT_EQ(Used(), 0);
    // A name, then Escape instead of a click: nothing is added.
    FlushMessages(0, 0xFFFFFFFF);
    TypeName("Home");
    TestInjectKey(VK_ESCAPE);
    AddUserName();
    EXPECT_EQ(Used(), 0);
}

TEST_F(UserNamesTest, DamagedFilesAreLeftAloneWithAMessage) {
    std::vector<uint8_t> good = EncodeNameFile({Named("Alpha", 45, 5), Named("Beta", 50, 10)});
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    // A float written into a copy of the good file at a byte offset.
    auto withF32 = [&](const char* what, size_t at, float v) {
        cases.push_back({what, good});
        uint32_t u;
        memcpy(&u, &v, 4);
        PokeU32LE(&cases.back().bytes[at], u);
    };
    cases.push_back({"its size (161 bytes) is not a whole number of 80-byte records", good});
    cases.back().bytes.push_back(7);
    cases.push_back({"record 2: its name has no end", good});
    memset(&cases.back().bytes[80 + 8], 'x', 70);
    withF32("record 1: its latitude is not between -90 and 90 degrees", 0, NAN);
    withF32("record 2: its latitude is not between -90 and 90 degrees", 80, -90.5f);
    withF32("record 2: its longitude is not between -180 and 180 degrees", 84, INFINITY);
    withF32("record 1: its longitude is not between -180 and 180 degrees", 4, 180.5f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetUserNames();
        ASSERT_TRUE(WriteTestFile(File(), c.bytes));
        TestClearShown();
        EXPECT_EQ(StartEditingUserNames(), 0);
        EXPECT_EQ(editingUserNames, 0);
        std::string m = TestLastMessage();
        EXPECT_NE(m.find(ResolvePath(File().c_str())), std::string::npos) << m;
        EXPECT_NE(m.find(c.what), std::string::npos) << m;
        EXPECT_NE(m.find("Move it away"), std::string::npos) << m;
        // The name layer draws nothing from it and says so once.
        labelSwitches[7] = 1;
        TestClearShown();
        DrawSavedUserNames(WindowSurface(), mapRect, 1000000);
        DrawSavedUserNames(WindowSurface(), mapRect, 1000000);
        EXPECT_EQ(TestShownMessages().size(), 1u);
        EXPECT_EQ(ReadTestFile(File()), c.bytes);
        EXPECT_FALSE(FileExists(Backup().c_str()));
    }
    // The boundaries themselves are good places.
    std::vector<uint8_t> edges = EncodeNameFile({Named("Pole", 90, -180), Named("Other pole", -90, 180)});
    std::string problem;
    EXPECT_EQ(CheckUserNamesBytes(edges.data(), edges.size(), &problem), 1) << problem;
}

TEST_F(UserNamesTest, AFailedSaveKeepsEditModeAndTheTable) {
    WriteNames({Named("Alpha", 45, 5)});
    std::vector<uint8_t> before = ReadTestFile(File());
    ASSERT_EQ(StartEditingUserNames(), 1);
    Add("Beta", 50, 10);
    // The new version cannot be written beside the file.
    ASSERT_EQ(mkdir((File() + ".part").c_str(), 0755), 0);
    TestPushAnswer(IDYES);
    EXPECT_EQ(EndEditingUserNames(), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file userdef.dat");
    EXPECT_EQ(editingUserNames, 1);
    EXPECT_EQ(Used(), 2);
    EXPECT_EQ(ReadTestFile(File()), before);
    rmdir((File() + ".part").c_str());
    TestPushAnswer(IDYES);
    EXPECT_EQ(EndEditingUserNames(), 1);
    EXPECT_EQ(SavedNames().size(), 2u);
}

// [SECTION] Drawing

// Pixels of a text colour in a box of the window drawn over black. Letters are smoothed, so
// a text pixel is its colour at some strength: white gives greys, red (255, 0, 0) pure reds,
// pale red (255, 128, 128) reds with half as much green and blue.
int CountColour(const Rect& r, uint32_t rgb) {
    int n = 0;
    int tr = (rgb >> 16) & 255, tg = (rgb >> 8) & 255, tb = rgb & 255;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) {
            uint32_t p = WindowPixel(x, y);
            int pr = (p >> 16) & 255, pg = (p >> 8) & 255, pb = p & 255;
            if (pr + pg + pb < 96) continue;  // too faint to tell
            int strength = std::max({pr, pg, pb});
            int top = std::max({tr, tg, tb});
            n += std::abs(pr - tr * strength / top) <= 3 && std::abs(pg - tg * strength / top) <= 3 &&
                 std::abs(pb - tb * strength / top) <= 3;
        }
    return n;
}

TEST_F(UserNamesTest, EditedNamesAreDrawnWhiteWithACyanPointAndTheDeletedOneRed) {
    WriteNames({Named("Alpha", 45, 5), Named("Beta", 50, 10), Named("East", 47, 19.9f)});
    FillRect(WindowSurface(), Rect{0, 0, 800, 600}, 0);
    ASSERT_EQ(StartEditingUserNames(), 1);
    DrawEditedUserNames(WindowSurface(), mapRect);
    Point a = At(45, 5), b = At(50, 10), e = At(47, 19.9);
    EXPECT_EQ(WindowPixel(a.x, a.y), 0x00FFFFu);
    EXPECT_EQ(WindowPixel(b.x, b.y), 0x00FFFFu);
    // The text stands on its baseline at the point: white above and to the right, none below.
    EXPECT_GT(CountColour(Rect{a.x, a.y - 12, a.x + 40, a.y}, 0xFFFFFF), 10);
    EXPECT_EQ(CountColour(Rect{a.x - 10, a.y + 4, a.x + 40, a.y + 20}, 0xFFFFFF), 0);
    EXPECT_EQ(CountColour(Rect{a.x, a.y - 12, a.x + 40, a.y}, 0xFF0000), 0);
    // Clipped at the map's right edge.
    EXPECT_GT(CountColour(Rect{e.x, e.y - 12, mapRect.right, e.y}, 0xFFFFFF), 0);
    EXPECT_EQ(CountColour(Rect{mapRect.right, e.y - 12, mapRect.right + 40, e.y + 1}, 0xFFFFFF), 0);

    // D at Beta: marked and drawn in red before it is freed (over black here, to see the red).
    FillRect(WindowSurface(), mapRect, 0);
    Click(b);
    ASSERT_EQ(DeleteUserName(), 1);
    EXPECT_GT(CountColour(Rect{b.x, b.y - 12, b.x + 40, b.y}, 0xFF0000), 10);
    EXPECT_EQ(CountColour(Rect{a.x, a.y - 12, a.x + 40, a.y}, 0xFF0000), 0);

    // A repaint after the delete no longer shows it; outside edit mode nothing is drawn.
    FillRect(WindowSurface(), mapRect, 0);
    DrawEditedUserNames(WindowSurface(), mapRect);
    EXPECT_EQ(CountColour(Rect{b.x - 2, b.y - 12, b.x + 40, b.y + 2}, 0xFFFFFF), 0);
    EXPECT_EQ(WindowPixel(b.x, b.y), 0u);
    TestPushAnswer(IDNO);
    EndEditingUserNames();
    FillRect(WindowSurface(), mapRect, 0);
    DrawEditedUserNames(WindowSurface(), mapRect);
    EXPECT_EQ(CountColour(mapRect, 0xFFFFFF), 0);
}

TEST_F(UserNamesTest, TheNameLayerShowsSavedNamesOnlyOutsideEditMode) {
    WriteNames({Named("Alpha", 45, 5)});
    std::string names;
    for (int i = 0; i < 7; i++) names += "0\n";
    for (int k = 0; k < kNameClasses; k++) names += "300000000 12 255 255 255\n";
    ASSERT_TRUE(WriteTestText(folder / "names.dat", names));
    labelSwitches[7] = 1;
    Point a = At(45, 5);
    Rect label{a.x, a.y - 14, a.x + 40, a.y};
    FillRect(WindowSurface(), mapRect, 0);
    DrawPlaceNames(WindowSurface(), mapRect);
    EXPECT_EQ(WindowPixel(a.x, a.y), 0xFFFF00u);  // yellow point
    EXPECT_GT(CountColour(label, 0xFF8080), 5);

    ASSERT_EQ(StartEditingUserNames(), 1);
    FillRect(WindowSurface(), mapRect, 0);
    DrawPlaceNames(WindowSurface(), mapRect);
    EXPECT_EQ(CountColour(mapRect, 0xFF8080), 0);
    EXPECT_NE(WindowPixel(a.x, a.y), 0xFFFF00u);

    // A missing file is no list yet: nothing drawn, nothing said.
    TestPushAnswer(IDNO);
    EndEditingUserNames();
    RemoveFile(File().c_str());
    TestClearShown();
    DrawPlaceNames(WindowSurface(), mapRect);
    EXPECT_TRUE(TestShownMessages().empty());
}

}  // namespace
