// The two dialogs of the place-name search: the search dialog (resource 113), whose list of
// best matches follows every keystroke, and the locations dialog (resource 115), which lists
// every place of the chosen name with its country and draws all or some of them on the map.
#include "core/core.h"
#include "names/place_search.h"

enum : int {
    kNameEdit = 1005, kMatchList = 1006, kExactCheck = 1007, kChooseButton = 1011, kCountriesButton = 1133,
    kLocationList = 1015, kDrawAllButton = 1014, kDrawSelectedButton = 1016, kRecentreCheck = 1122,
};
// The type buttons in the order of the types 1..7.
static const int kTypeButtons[kSearchTypes] = {1041, 1042, 1043, 1093, 1128, 1129, 1131};

struct SearchSession {
    int result = 0;      // SEARCH_* bits
    int filling = 0;     // the match list is being refilled: its selection changes are ours
};

// [SECTION] Locations dialog

static DialogTemplate LocationsTemplate() {
    DialogTemplate t;
    t.caption = "Choose Locations";
    t.width = 460;
    t.height = 370;
    t.items = {
        {DI_STATIC, 200, 12, 8, 436, 48,
         "To draw specific items, highlight them by holding down the control key as you click them with the "
         "mouse, then press 'Draw Selected'. To draw them all, choose 'Draw All'."},
        {DI_STATIC, 201, 15, 60, 200, 18, "Name"},
        {DI_STATIC, 202, 255, 60, 180, 18, "Country"},
        {DI_LISTBOX, kLocationList, 12, 78, 436, 220, "", DS_MULTISELECT | DS_TABSTOPS},
        {DI_CHECKBOX, kRecentreCheck, 12, 304, 240, 22, "Re-center map when drawing"},
        {DI_BUTTON, kDrawSelectedButton, 12, 334, 130, 26, "Draw Selected..."},
        {DI_DEFBUTTON, kDrawAllButton, 150, 334, 110, 26, "Draw All..."},
        {DI_BUTTON, IDCANCEL, 368, 334, 80, 26, "Cancel"},
    };
    t.tabStops = {240};
    return t;
}

// Shows the chosen results and fits the map to them when asked to.
static void DrawResults(SearchSession* s, int show) {
    placeSearch.show = show;
    s->result |= SEARCH_RESULTS_CHANGED;
    if (placeSearch.recentre && RecentreOnSearchResults()) s->result |= SEARCH_MAP_MOVED;
}

static int LocationsProc(Dialog* d, int event, int itemId, int notification, void* user) {
    SearchSession* s = (SearchSession*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        SetItemCheck(d, kRecentreCheck, placeSearch.recentre);
        std::vector<std::string> rows;
        ListSearchLocations(&rows);
        for (const std::string& row : rows) ListAdd(d, kLocationList, row.c_str());
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    placeSearch.recentre = GetItemCheck(d, kRecentreCheck);
    switch (itemId) {
    case kDrawAllButton:
        DrawResults(s, SEARCH_SHOW_NAME);
        EndDialog(d, IDOK);
        return 1;
    case kDrawSelectedButton: {
        std::vector<int> rows = ListGetSelections(d, kLocationList);
        if (rows.empty()) {
            PlayCue(CUE_ERROR);
            ShowMessage("You have not selected any items yet");
            return 1;
        }
        if (KeepSelectedLocations(rows)) DrawResults(s, SEARCH_SHOW_FILE);
        EndDialog(d, IDOK);
        return 1;
    }
    case IDCANCEL:
        EndDialog(d, IDCANCEL);
        return 1;
    default: return 0;
    }
}

// [SECTION] Search dialog

static DialogTemplate SearchTemplate() {
    DialogTemplate t;
    t.caption = "Place Name Search";
    t.width = 520;
    t.height = 376;
    t.items = {
        {DI_STATIC, 100, 12, 8, 496, 36,
         "Type in the name you want to search for, then hit 'choose locations' to draw:"},
        {DI_STATIC, 101, 12, 50, 50, 22, "Name:"},
        {DI_EDIT, kNameEdit, 64, 48, 250, 24, "", 0, kSearchTypedChars},
        {DI_CHECKBOX, kExactCheck, 330, 48, 180, 24, "Match exact name only"},
        {DI_STATIC, 102, 12, 82, 310, 36, "Best matches found (closest match appears first):"},
        {DI_LISTBOX, kMatchList, 12, 120, 310, 206, ""},
        {DI_GROUPBOX, 103, 336, 82, 172, 244, "Data types:"},
    };
    for (int type = 1; type <= kSearchTypes; type++)
        t.items.push_back(DialogItem{DI_RADIO, kTypeButtons[type - 1], 348, 82 + 30 * type - 4, 156, 24,
                                     GazetteerLabel(type), type == 1 ? DS_GROUPSTART : 0});
    t.items.push_back(DialogItem{DI_DEFBUTTON, kChooseButton, 12, 338, 160, 28, "Choose Locations..."});
    t.items.push_back(DialogItem{DI_BUTTON, kCountriesButton, 182, 338, 200, 28, "Go to list of Countries..."});
    t.items.push_back(DialogItem{DI_BUTTON, IDCANCEL, 418, 338, 90, 28, "Cancel"});
    return t;
}

// Runs the best-match search for the text now in the name field and refills the list.
static void RefreshMatches(Dialog* d, SearchSession* s) {
    placeSearch.text = GetItemText(d, kNameEdit).substr(0, kSearchKeyChars);
    std::vector<std::string> rows;
    placeSearch.position = SearchBestMatches(placeSearch.text, &rows);
    s->filling = 1;
    ListClear(d, kMatchList);
    for (const std::string& row : rows) ListAdd(d, kMatchList, row.c_str());
    s->filling = 0;
}

// A chosen best match becomes the name searched for.
static void ChooseMatch(Dialog* d, SearchSession* s) {
    std::vector<int> rows = ListGetSelections(d, kMatchList);
    if (rows.empty()) return;
    std::string name = MatchRowName(ListGetText(d, kMatchList, rows[0]));
    if (name != GetItemText(d, kNameEdit)) SetItemText(d, kNameEdit, name.c_str());
    RefreshMatches(d, s);
}

static int TypeOfButton(int itemId) {
    for (int type = 1; type <= kSearchTypes; type++)
        if (kTypeButtons[type - 1] == itemId) return type;
    return 0;
}

static int SearchProc(Dialog* d, int event, int itemId, int notification, void* user) {
    SearchSession* s = (SearchSession*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        SetItemText(d, kNameEdit, placeSearch.text.substr(0, kSearchTypedChars).c_str());
        SetItemCheck(d, kExactCheck, placeSearch.exactOnly);
        SetItemCheck(d, kTypeButtons[placeSearch.type - 1], 1);
        RefreshMatches(d, s);
        FocusItem(d, kNameEdit);
        return 1;
    }
    if (event != DLG_COMMAND) return 0;
    if (itemId == kNameEdit && notification == NOTIFY_CHANGED) {
        RefreshMatches(d, s);
        return 1;
    }
    if (itemId == kMatchList && (notification == NOTIFY_SELCHANGE || notification == NOTIFY_DBLCLK)) {
        if (!s->filling) ChooseMatch(d, s);
        return 1;
    }
    if (notification != NOTIFY_CLICKED) return 0;
    if (int type = TypeOfButton(itemId)) {
        placeSearch.type = type;
        RefreshMatches(d, s);
        return 1;
    }
    switch (itemId) {
    case kExactCheck:
        placeSearch.exactOnly = GetItemCheck(d, kExactCheck);
        return 1;
    case kChooseButton:
        if (placeSearch.position < 0) {
            PlayCue(CUE_ERROR);
            return 1;
        }
        if (DialogBox(LocationsTemplate(), LocationsProc, s) == IDOK) EndDialog(d, IDOK);
        else placeSearch.show = SEARCH_SHOW_NONE;
        return 1;
    case kCountriesButton:
        s->result |= SEARCH_COUNTRY_LIST;
        EndDialog(d, IDOK);
        return 1;
    case IDCANCEL:
        placeSearch.show = SEARCH_SHOW_NONE;
        EndDialog(d, IDCANCEL);
        return 1;
    default: return 0;
    }
}

int RunPlaceSearch() {
    if (placeSearch.type < 1 || placeSearch.type > kSearchTypes) placeSearch.type = 1;
    RetryMissingGazetteers();
    int shownBefore = placeSearch.show;
    SearchSession s;
    DialogBox(SearchTemplate(), SearchProc, &s);
    if (shownBefore != placeSearch.show || placeSearch.show != SEARCH_SHOW_NONE) s.result |= SEARCH_RESULTS_CHANGED;
    return s.result;
}
