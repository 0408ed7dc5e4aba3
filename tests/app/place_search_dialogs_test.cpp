// The place-name search's two dialogs driven through the test double as a user would: typing
// the name, choosing a type and a best match, listing, selecting and drawing locations, the
// refusals and their messages, and what the search hands back to the map screen.
#include <gtest/gtest.h>

#include "app/screens.h"
#include "support/search_root.h"
#include "window_fixture.h"

namespace {

enum { kName = 1005, kMatches = 1006, kExact = 1007, kChoose = 1011, kCountries = 1133, kLocations = 1015,
       kDrawAll = 1014, kDrawSelected = 1016, kRecentre = 1122, kCities = 1042, kLocalities = 1041 };

std::vector<std::string> ListRows(Dialog* d, int id) {
    std::vector<std::string> rows;
    for (int i = 0; i < ListCount(d, id); i++) rows.push_back(ListGetText(d, id, i));
    return rows;
}

struct SearchDialogs : SearchRoot {
    void SetUp() override {
        SearchRoot::SetUp();
        WriteGazetteer(1, {{48.85f, 2.35f, "Paris", 1}, {33.66f, -95.55f, "Paris", 0}, {44.8f, 10.33f, "Parma", 2},
                           {45.19f, 9.16f, "Pavia", 2}, {9.93f, -84.08f, "San Jos\xe9", 3}, {47.37f, 8.54f, "Z\xfcrich", 0}});
        WriteGazetteer(2, {{44.8f, 10.33f, "Parma", 2}, {47.37f, 8.54f, "Z\xfcrich", 0}});
    }
};

TEST_F(SearchDialogs, BestMatchesFollowEveryKeystrokeTypeAndChoice) {
    std::vector<std::vector<std::string>> seen;
    TestPushDialogScript([&](Dialog* d) {
        EXPECT_EQ(GetItemCheck(d, kLocalities), 1);  // the first type at the start
        EXPECT_EQ(ListCount(d, kMatches), 0);
        TestTypeItemText(d, kName, "par");
        seen.push_back(ListRows(d, kMatches));
        TestTypeItemText(d, kName, "m");
        seen.push_back(ListRows(d, kMatches));
        // The cities have their own list.
        TestDialogCommand(d, kCities);
        seen.push_back(ListRows(d, kMatches));
        TestDialogCommand(d, kLocalities);
        // A chosen match replaces the name and is searched again.
        SetItemText(d, kName, "pa");
        TestDialogCommand(d, kName, NOTIFY_CHANGED);
        ListSetSelected(d, kMatches, 1, 1);
        TestDialogCommand(d, kMatches, NOTIFY_SELCHANGE);
        EXPECT_EQ(GetItemText(d, kName), "PARMA");
        seen.push_back(ListRows(d, kMatches));
        // An accented key finds its names.
        SetItemText(d, kName, "");
        TestTypeItemText(d, kName, "z\xfcr");
        seen.push_back(ListRows(d, kMatches));
        // The field takes 30 characters.
        SetItemText(d, kName, "");
        TestTypeItemText(d, kName, "abcdefghijklmnopqrstuvwxyz0123456789");
        EXPECT_EQ(GetItemText(d, kName).size(), 30u);
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(RunPlaceSearch(), 0);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{"PARIS  (2)", "PARMA  (1)", "PAVIA  (1)", "SAN JOS\xc9  (1)",
                                                 "Z\xdcRICH  (1)"}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{"PARMA  (1)", "PAVIA  (1)", "SAN JOS\xc9  (1)", "Z\xdcRICH  (1)"}));
    EXPECT_EQ(seen[2], (std::vector<std::string>{"PARMA  (1)", "Z\xdcRICH  (1)"}));
    EXPECT_EQ(seen[3], seen[1]);
    EXPECT_EQ(seen[4], (std::vector<std::string>{"Z\xdcRICH  (1)"}));
    EXPECT_EQ(TestShownDialogs(), (std::vector<std::string>{"Place Name Search"}));
    EXPECT_EQ(placeSearch.show, SEARCH_SHOW_NONE);
    // The type and the text are kept for the next time.
    EXPECT_EQ(placeSearch.type, 1);
    EXPECT_EQ(placeSearch.text, "abcdefghijklmnopqrstuvwxyz0123");
}

TEST_F(SearchDialogs, DrawSelectedKeepsTheChosenRowsAndMovesTheMap) {
    std::vector<std::string> listed;
    TestPushDialogScript([&](Dialog* d) {
        TestTypeItemText(d, kName, "paris");
        TestDialogCommand(d, kChoose);
    });
    TestPushDialogScript([&](Dialog* d) {
        listed = ListRows(d, kLocations);
        TestDialogCommand(d, kDrawSelected);  // nothing selected yet: refused, the dialog stays
        EXPECT_EQ(TestLastMessage(), "You have not selected any items yet");
        ListSetSelected(d, kLocations, 0, 1);
        TestDialogCommand(d, kRecentre);
        TestDialogCommand(d, kDrawSelected);
    });
    int result = RunPlaceSearch();
    EXPECT_EQ(result, SEARCH_MAP_MOVED | SEARCH_RESULTS_CHANGED);
    EXPECT_EQ(listed, (std::vector<std::string>{"Paris\tFrance", "Paris\t "}));
    EXPECT_EQ(TestShownDialogs(), (std::vector<std::string>{"Place Name Search", "Choose Locations"}));
    EXPECT_EQ(placeSearch.show, SEARCH_SHOW_FILE);
    EXPECT_EQ(placeSearch.recentre, 1);
    std::vector<LocateRecord> kept;
    ASSERT_TRUE(ReadLocateFile(&kept));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_FLOAT_EQ((float)kept[0].lat, 48.85f);
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_NEAR((zoomHistory[1].west + zoomHistory[1].east) / 2, 2.35, 1e-5);
    EXPECT_NEAR(zoomHistory[1].north - zoomHistory[1].south, 2.0, 1e-9);

    // Next time: Draw All without re-centring draws the whole name; the map stays.
    TestPushDialogScript([&](Dialog* d) {
        EXPECT_EQ(GetItemText(d, kName), "paris");
        TestDialogCommand(d, kChoose);
    });
    TestPushDialogScript([&](Dialog* d) {
        EXPECT_EQ(GetItemCheck(d, kRecentre), 1);
        TestDialogCommand(d, kRecentre);
        TestDialogCommand(d, kDrawAll);
    });
    EXPECT_EQ(RunPlaceSearch(), SEARCH_RESULTS_CHANGED);
    EXPECT_EQ(placeSearch.show, SEARCH_SHOW_NAME);
    EXPECT_EQ(zoomDepth, 1);
    ASSERT_TRUE(ReadLocateFile(&kept));
    EXPECT_EQ(kept.size(), 2u);

    // Cancel in the search dialog takes the results off the map.
    TestPushDialogScript([&](Dialog* d) { TestDialogCommand(d, IDCANCEL); });
    EXPECT_EQ(RunPlaceSearch(), SEARCH_RESULTS_CHANGED);
    EXPECT_EQ(placeSearch.show, SEARCH_SHOW_NONE);
}

TEST_F(SearchDialogs, RefusalsAndTheCountryList) {
    int beeps = TestBeepCount();
    TestPushDialogScript([&](Dialog* d) {
        TestTypeItemText(d, kName, "-x");  // no search: nothing to choose
        EXPECT_EQ(ListCount(d, kMatches), 0);
        TestDialogCommand(d, kChoose);
        EXPECT_EQ(TestShownDialogs().size(), 1u);
        TestDialogCommand(d, kCountries);
    });
    EXPECT_EQ(RunPlaceSearch(), SEARCH_COUNTRY_LIST);
    EXPECT_GT(TestBeepCount(), beeps);  // the error cue, sounds being off in tests
    // The locations dialog cancelled: back in the search dialog, nothing drawn.
    TestPushDialogScript([&](Dialog* d) {
        SetItemText(d, kName, "");
        TestTypeItemText(d, kName, "parma");
        TestDialogCommand(d, kChoose);
        EXPECT_EQ(placeSearch.show, SEARCH_SHOW_NONE);
        EXPECT_EQ(TestShownDialogs().size(), 3u);
        TestDialogCommand(d, IDCANCEL);
    });
    TestPushDialogScript([&](Dialog* d) {
        EXPECT_EQ(ListRows(d, kLocations), (std::vector<std::string>{"Parma\tItaly"}));
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(RunPlaceSearch(), 0);
}

TEST_F(SearchDialogs, TheMapsButtonAndNextViewCodeOpenTheSearch) {
    EXPECT_EQ(NextViewButton(17), 17);
    WindowFixture window;
    window.Open();
    screenMode = 3;
    TestPushDialogScript([&](Dialog* d) { TestDialogCommand(d, IDCANCEL); });
    MapButton(17, 0);
    EXPECT_EQ(TestShownDialogs(), (std::vector<std::string>{"Place Name Search"}));
    // Ctrl+F, the find command, opens it too, on the map only.
    TestPushDialogScript([&](Dialog* d) { TestDialogCommand(d, IDCANCEL); });
    TestInjectMessage(MSG_COMMAND, 40007, 0);
    TestPumpMessages();
    EXPECT_EQ(TestShownDialogs().size(), 2u);
    screenMode = 1;
    TestInjectMessage(MSG_COMMAND, 40007, 0);
    TestPumpMessages();
    EXPECT_EQ(TestShownDialogs().size(), 2u);
    window.Close();
}

}  // namespace
