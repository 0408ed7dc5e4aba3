// The visible-satellites search: its dialog (a place and a local date and time) and the pass
// over the catalogue "sats\kepler.tle", a few thousand element sets, each propagated at the
// time and five minutes either side. The finds go to "sats.tmp" in the temporary folder.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "core/core.h"
#include "globe/satellite_tools.h"
#include "platform/files.h"

constexpr int kCatalogueLine = 115;   // longer lines read as several
constexpr size_t kMaxCatalogueBytes = 64u << 20;
constexpr size_t kMaxResultBytes = 64u << 20;
// Both sub-satellite coordinates moving less than this in ten minutes mark a geostationary object.
constexpr double kStationaryDegrees = 0.05;
// Deliberately wider than 1996-1999, the only years the search once took: every year from the
// first satellite on up to 2099, the last year the propagator's day numbers hold for.
constexpr int kFirstYear = 1957, kLastYear = 2099;

// [SECTION] Checked fields

// A whole number with optional blanks around it and an optional sign; 0 for anything else.
static int ParseWholeNumber(const char* text, long* value) {
    const char* p = text;
    while (*p == ' ') p++;
    char* end = nullptr;
    if (!*p || !(isdigit((unsigned char)*p) || ((*p == '-' || *p == '+') && isdigit((unsigned char)p[1])))) return 0;
    long v = strtol(p, &end, 10);
    while (*end == ' ') end++;
    if (*end) return 0;
    *value = v;
    return 1;
}

static int RefuseField(const char* message) {
    PlayCue(CUE_ERROR);
    ShowMessage("%s", message);
    return 0;
}

int CheckedIntegerText(const char* text, int lo, int hi, const char* message, int* value) {
    if (!*text) return RefuseField("All fields must be filled in");
    long v = 0;
    if (!ParseWholeNumber(text, &v) || v < lo || v > hi) return RefuseField(message);
    *value = (int)v;
    return 1;
}

int ReadCheckedInteger(Dialog* d, int id, int lo, int hi, const char* message, int* value) {
    return CheckedIntegerText(GetItemText(d, id).c_str(), lo, hi, message, value);
}

int LocalZoneWestSeconds() {
    tzset();
    return (int)timezone;
}

// [SECTION] Result entries

void EncodeSearchEntry(const SearchEntry& e, std::vector<uint8_t>& out) {
    WriteBytes(out, e.name, kSatelliteNameSize);
    EncodeSatelliteRecord(e.record, out);
}

int DecodeSearchEntry(ByteCursor& c, SearchEntry* e) {
    if (CursorLeft(c) < (size_t)kSearchEntrySize) return 0;
    ReadBytes(c, e->name, kSatelliteNameSize);
    e->name[kSatelliteNameSize - 1] = 0;
    return DecodeSatelliteRecord(c, &e->record);
}

int ReadSearchEntries(const char* file, std::vector<SearchEntry>* entries) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(file, &bytes, kMaxResultBytes)) {
        ShowMessage("Cannot open file %s", file);
        return 0;
    }
    entries->clear();
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    SearchEntry e{};
    while (DecodeSearchEntry(c, &e)) entries->push_back(e);
    return 1;
}

// [SECTION] Names

int SkippedSatelliteName(const char* name) {
    const char* blank = strrchr(name, ' ');
    const char* word = blank ? blank + 1 : name;
    size_t n = strlen(word);
    return n >= 1 && n <= 3 && (word[0] == 'r' || word[0] == 'd');
}

void ListedSatelliteName(const char* name, char out[kSatelliteNameSize]) {
    std::string listed = strncmp(name, "Cos ", 4) == 0 ? std::string("Cosmos ") + (name + 4) : std::string(name);
    memset(out, 0, kSatelliteNameSize);
    memcpy(out, listed.data(), std::min(listed.size(), (size_t)kSatelliteNameSize - 1));
}

// The name line cut at its first line end, without trailing blanks.
static std::string CatalogueName(const std::string& line) {
    std::string name = line.substr(0, line.find_first_of("\r\n"));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

// [SECTION] The catalogue

// The next line as a 116-byte line buffer takes it: up to and including its line feed, at most
// 115 characters. *ended is 1 when the text ran out before a line feed or the limit.
static int NextCatalogueLine(ByteCursor& c, std::string* line, int* ended) {
    line->clear();
    *ended = 0;
    while ((int)line->size() < kCatalogueLine) {
        if (CursorLeft(c) == 0) {
            *ended = 1;
            break;
        }
        char ch = (char)ReadU8(c);
        line->push_back(ch);
        if (ch == '\n') break;
    }
    return !line->empty();
}

// The next satellite's three lines; 0 when the catalogue ends before all three are complete.
static int NextCatalogueEntry(ByteCursor& c, std::string lines[3]) {
    int ended = 0;
    for (int k = 0; k < 3; k++) {
        NextCatalogueLine(c, &lines[k], &ended);
        if (ended) return 0;
    }
    return 1;
}

// The elements of one satellite, read by the element-set parser from its three lines.
static int CatalogueElements(const std::string lines[3], SatelliteRecord* r) {
    std::string text;
    for (int k = 0; k < 3; k++) {
        std::string line = lines[k];
        if (!line.empty() && line.back() == '\n') line.pop_back();
        text += line + "\n";   // a line cut at the limit must not run into the next
    }
    return ParseElementSet((const uint8_t*)text.data(), text.size(), 0, r);
}

// [SECTION] The search

double QueryUniversalHours(const SatelliteQuery& q) {
    return q.hour + q.minute / 60.0 + LocalZoneWestSeconds() / 3600.0;
}

static OrbitResult PropagateAt(SatelliteRecord r, double hours) {
    r.hours = hours;
    return PropagateSatellite(r);
}

// 1 when the satellite is above the horizon and sunlit at the time or five minutes either side,
// and is not a geostationary object.
static int SatelliteCounts(const SatelliteRecord& r) {
    OrbitResult now = PropagateAt(r, r.hours);
    OrbitResult before = PropagateAt(r, r.hours - kSearchWindowHours);
    OrbitResult after = PropagateAt(r, r.hours + kSearchWindowHours);
    if (fabs(before.latitude - after.latitude) < kStationaryDegrees &&
        fabs(before.longitude - after.longitude) < kStationaryDegrees)
        return 0;
    return (now.visible && !now.eclipsed) || (before.visible && !before.eclipsed) || (after.visible && !after.eclipsed);
}

static void SetSearchObserver(const SatelliteQuery& q, double hours, SatelliteRecord* r) {
    r->frequency = 146.0;
    r->observerLatitude = q.latitude;
    r->observerLongitude = q.longitude;
    r->observerAltitude = 0.0;
    r->minimumElevation = 0.0;
    r->year = q.year;
    r->month = q.month;
    r->day = q.day;
    r->hours = hours;
}

int SearchVisibleSatellites(const SatelliteQuery& q, const char* catalogue, const char* resultFile, int* count) {
    std::vector<uint8_t> text;
    std::string path = FindDataFile(catalogue);
    if (path.empty() || !ReadWholeFile(path.c_str(), &text, kMaxCatalogueBytes)) {
        ShowMessage("Cannot open file %s", catalogue);
        return 0;
    }
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    double hours = QueryUniversalHours(q);
    std::vector<uint8_t> out;
    int found = 0;
    ByteCursor c = MakeCursor(text.data(), text.size());
    std::string lines[3];
    while (NextCatalogueEntry(c, lines)) {
        std::string name = CatalogueName(lines[0]);
        SearchEntry e{};
        if (SkippedSatelliteName(name.c_str()) || !CatalogueElements(lines, &e.record)) continue;
        SetSearchObserver(q, hours, &e.record);
        if (!SatelliteCounts(e.record)) continue;
        ListedSatelliteName(name.c_str(), e.name);
        EncodeSearchEntry(e, out);
        found++;
    }
    int written = WriteFileAtomically(resultFile, out.data(), out.size());
    SetCursorShape(previousCursor);
    if (!written) {
        ShowMessage("Cannot open file %s", kSearchResultName);
        return 0;
    }
    *count = found;
    return 1;
}

// [SECTION] The dialog

struct SearchDialogState {
    SatelliteQuery query;
    int searched;
};

static void AddField(DialogTemplate& t, int labelId, int x, int y, const char* label, int id) {
    t.items.push_back({DI_STATIC, labelId, x, y + 3, 130, 20, label});
    t.items.push_back({DI_EDIT, id, x + 134, y, 56, 22, "", 0, 6});
}

static DialogTemplate SearchDialogTemplate() {
    DialogTemplate t;
    t.caption = "Search for Visible Satellites";
    t.width = 460;
    t.height = 390;
    t.items = {
        {DI_STATIC, 100, 12, 10, 436, 36, "Enter your location on the ground (from the 2D map) in geographical coordinates:"},
        {DI_GROUPBOX, 101, 12, 50, 212, 156, "Latitude:"},
        {DI_GROUPBOX, 102, 236, 50, 212, 156, "Longitude:"},
        {DI_STATIC, 103, 12, 216, 436, 20, "Enter the date and time of day that you are interested in:"},
        {DI_GROUPBOX, 104, 12, 240, 212, 106, "Date:"},
        {DI_GROUPBOX, 105, 236, 240, 212, 106, "Time of day (local time):"},
        {DI_RADIO, kSearchNorth, 22, 176, 80, 22, "North", DS_GROUPSTART},
        {DI_RADIO, kSearchSouth, 110, 176, 80, 22, "South"},
        {DI_RADIO, kSearchEast, 246, 176, 80, 22, "East", DS_GROUPSTART},
        {DI_RADIO, kSearchWest, 334, 176, 80, 22, "West"},
        {DI_DEFBUTTON, IDOK, 276, 354, 80, 28, "OK"},
        {DI_BUTTON, IDCANCEL, 368, 354, 80, 28, "Cancel"},
    };
    AddField(t, 110, 20, 74, "Degrees (0 to 90):", kSearchLatDegrees);
    AddField(t, 111, 20, 108, "Minutes (0 to 59):", kSearchLatMinutes);
    AddField(t, 112, 20, 142, "Seconds (0 to 59):", kSearchLatSeconds);
    AddField(t, 113, 244, 74, "Degrees (0 to 180):", kSearchLonDegrees);
    AddField(t, 114, 244, 108, "Minutes (0 to 59):", kSearchLonMinutes);
    AddField(t, 115, 244, 142, "Seconds (0 to 59):", kSearchLonSeconds);
    AddField(t, 116, 20, 262, "Day (1-31):", kSearchDay);
    AddField(t, 117, 20, 290, "Month (1-12):", kSearchMonth);
    AddField(t, 118, 20, 318, "Year:", kSearchYear);
    AddField(t, 119, 244, 262, "Hour (0-23):", kSearchHour);
    AddField(t, 120, 244, 290, "Minute (0-59):", kSearchMinute);
    return t;
}

static void SetItemNumber(Dialog* d, int id, const char* format, int value) {
    char text[16];
    snprintf(text, sizeof text, format, value);
    SetItemText(d, id, text);
}

static void FillSearchDefaults(Dialog* d) {
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    SetItemText(d, kSearchLatDegrees, "53");
    SetItemText(d, kSearchLatMinutes, "30");
    SetItemText(d, kSearchLatSeconds, "0");
    SetItemText(d, kSearchLonDegrees, "113");
    SetItemText(d, kSearchLonMinutes, "30");
    SetItemText(d, kSearchLonSeconds, "0");
    SetItemCheck(d, kSearchNorth, 1);
    SetItemCheck(d, kSearchWest, 1);
    SetItemNumber(d, kSearchDay, "%d", local.tm_mday);
    SetItemNumber(d, kSearchMonth, "%d", local.tm_mon + 1);
    SetItemNumber(d, kSearchYear, "%d", local.tm_year + 1900);
    SetItemNumber(d, kSearchHour, "%02d", local.tm_hour);
    SetItemNumber(d, kSearchMinute, "%02d", local.tm_min);
}

// Checks the fields in the order the user is told about them; 1 with the query filled.
static int ReadSearchFields(Dialog* d, SatelliteQuery* q) {
    int latD, latM, latS, lonD, lonM, lonS;
    if (!ReadCheckedInteger(d, kSearchLatDegrees, 0, 90, "Invalid degrees value for latitude", &latD) ||
        !ReadCheckedInteger(d, kSearchLatMinutes, 0, 59, "Invalid minutes value for latitude", &latM) ||
        !ReadCheckedInteger(d, kSearchLatSeconds, 0, 59, "Invalid seconds value for latitude", &latS) ||
        !ReadCheckedInteger(d, kSearchLonDegrees, 0, 180, "Invalid degrees value for longitude", &lonD) ||
        !ReadCheckedInteger(d, kSearchLonMinutes, 0, 59, "Invalid minutes value for longitude", &lonM) ||
        !ReadCheckedInteger(d, kSearchLonSeconds, 0, 59, "Invalid seconds value for longitude", &lonS) ||
        !ReadCheckedInteger(d, kSearchHour, 0, 23, "Invalid hour value", &q->hour) ||
        !ReadCheckedInteger(d, kSearchMinute, 0, 59, "Invalid minutes", &q->minute) ||
        !ReadCheckedInteger(d, kSearchDay, 1, 31, "Invalid day value", &q->day) ||
        !ReadCheckedInteger(d, kSearchMonth, 1, 12, "Invalid month value", &q->month) ||
        !ReadCheckedInteger(d, kSearchYear, kFirstYear, kLastYear, "Invalid year value", &q->year))
        return 0;
    q->latitude = latD + latM / 60.0 + latS / 3600.0;
    if (GetItemCheck(d, kSearchSouth)) q->latitude = -q->latitude;
    q->longitude = lonD + lonM / 60.0 + lonS / 3600.0;
    if (GetItemCheck(d, kSearchWest)) q->longitude = -q->longitude;
    return 1;
}

static int SearchDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    SearchDialogState* st = (SearchDialogState*)user;
    if (event == DLG_INIT) {
        RemoveFile(TempPath(kSearchResultName).c_str());
        CentreDialogHorizontally(d);   // the dialog also sits at mid height of the window
        FillSearchDefaults(d);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        if (!ReadSearchFields(d, &st->query)) return 1;
        int count = 0;
        SearchVisibleSatellites(st->query, kSearchCatalogue, TempPath(kSearchResultName).c_str(), &count);
        st->searched = 1;
        EndDialog(d, IDOK);
        return 1;
    }
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

int SearchDialog(SatelliteQuery* q) {
    SearchDialogState st{};
    DialogBox(SearchDialogTemplate(), SearchDialogProc, &st);
    *q = st.query;
    return st.searched;
}

void VisibleSatellitesSearch() {
    SatelliteQuery q{};
    if (!SearchDialog(&q)) return;
    std::string result = TempPath(kSearchResultName);
    if (!FileExists(result.c_str())) return;   // the search failed and said why
    SearchResultDialog(result.c_str(), q.latitude, q.longitude);
}
