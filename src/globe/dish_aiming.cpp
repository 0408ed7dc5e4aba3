// Dish aiming (F5): asks for a place and its altitude and writes "aim_dish.txt" in the data
// root, the azimuth and elevation of each geostationary satellite of geo.tle (a few dozen)
// at 0:00 universal time today, sorted by name.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>

#include "core/core.h"
#include "globe/satellite_tools.h"
#include "platform/files.h"

constexpr int kDishNameSize = 34;   // 33 characters fit the report's 35-column name
constexpr size_t kMaxElementBytes = 32u << 20;
constexpr double kLowestAltitude = -392.0, kHighestAltitude = 8848.0;

// [SECTION] The report

struct DishEntry {
    char name[kDishNameSize];
    int index;   // of the satellite in the element file
};

static bool NameBefore(const DishEntry& a, const DishEntry& b) {
    return strcmp(a.name, b.name) < 0;   // compares as unsigned characters
}

std::string DishElementFile() {
    // The temporary folder's copy comes first. Deliberately, without one we take the data
    // root's or the volume's, so that F5 also works on a fresh data root instead of only beeping.
    std::string temp = TempPath("geo.tle");
    if (FileExists(temp.c_str())) return ResolvePath(temp.c_str());
    return FindDataFile("geo.tle");
}

static void AppendLine(std::string& out, const char* text) {
    out += text;
    out += "\r\n";
}

static void AppendHeader(std::string& out, double latitude, double longitude, double altitude) {
    char line[160];
    snprintf(line, sizeof line, "site location = (%f,%f,%f)", latitude, longitude, altitude);
    AppendLine(out, line);
    AppendLine(out, "");
    AppendLine(out, "name                                azimuth  elevation");
    AppendLine(out, "------------------------------------------------------");
}

struct DishSite {
    double latitude, longitude, altitude;
    int year, month, day;
};

static void AppendSatellite(std::string& out, const std::vector<uint8_t>& text, const DishEntry& e, const DishSite& site) {
    SatelliteRecord r{};
    ParseElementSet(text.data(), text.size(), e.index, &r);
    r.frequency = 146.0;
    r.observerLatitude = site.latitude;
    r.observerLongitude = site.longitude;
    r.observerAltitude = site.altitude;
    r.minimumElevation = 0.0;
    r.hours = 0.0;
    r.year = site.year, r.month = site.month, r.day = site.day;
    OrbitResult o = PropagateSatellite(r);
    char line[160];
    if (o.visible) snprintf(line, sizeof line, "%-35s %-8.3f %-7.3f", e.name, o.azimuth, o.elevation);
    else snprintf(line, sizeof line, "%-35s %s", e.name, "(not visible)");
    AppendLine(out, line);
}

int WriteDishReport(const char* elementFile, double latitude, double longitude, double altitude,
                    int year, int month, int day) {
    std::vector<uint8_t> text;
    if (!ReadWholeFile(elementFile, &text, kMaxElementBytes)) {
        ShowMessage("Cannot open file %s", elementFile);
        return 0;
    }
    int count = CountElementSets(text.data(), text.size());
    DishEntry* entries = new (std::nothrow) DishEntry[count > 0 ? count : 1];
    if (!entries) {
        ShowMessage("Cannot allocate names[]");
        return 0;
    }
    for (int i = 0; i < count; i++) {
        entries[i].index = i;
        entries[i].name[0] = 0;
        ParseElementSetName(text.data(), text.size(), i, entries[i].name, kDishNameSize);
    }
    std::stable_sort(entries, entries + count, NameBefore);
    std::string out;
    AppendHeader(out, latitude, longitude, altitude);
    DishSite site{latitude, longitude, altitude, year, month, day};
    for (int i = 0; i < count; i++) AppendSatellite(out, text, entries[i], site);
    delete[] entries;
    std::string path = DataRootPath(kDishReportName);
    if (!WriteFileAtomically(path.c_str(), out.data(), out.size())) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    return 1;
}

// [SECTION] The dialog

struct DishDialogState {
    std::string elementFile;
    int written;
};

static void AddEdit(DialogTemplate& t, int id, int x, int y) { t.items.push_back({DI_EDIT, id, x, y, 50, 22, "", 0, 6}); }

static DialogTemplate DishDialogTemplate() {
    DialogTemplate t;
    t.caption = "Dish Aiming";
    t.width = 360;
    t.height = 250;
    t.items = {
        {DI_STATIC, 100, 12, 10, 336, 20, "Please enter your location on the ground:"},
        {DI_GROUPBOX, 101, 12, 36, 336, 58, "Latitude (degrees/minutes/seconds):"},
        {DI_GROUPBOX, 102, 12, 102, 336, 58, "Longitude (degrees/minutes/seconds):"},
        {DI_RADIO, kDishNorth, 200, 60, 50, 22, "N", DS_GROUPSTART},
        {DI_RADIO, kDishSouth, 260, 60, 50, 22, "S"},
        {DI_RADIO, kDishEast, 200, 126, 50, 22, "E", DS_GROUPSTART},
        {DI_RADIO, kDishWest, 260, 126, 50, 22, "W"},
        {DI_STATIC, 103, 12, 174, 230, 20, "Altitude (meters above sea level):"},
        {DI_EDIT, kDishAltitude, 246, 171, 80, 22, "", 0, 12},
        {DI_DEFBUTTON, IDOK, 176, 212, 80, 28, "OK"},
        {DI_BUTTON, IDCANCEL, 268, 212, 80, 28, "Cancel"},
    };
    AddEdit(t, kDishLatDegrees, 22, 60);
    AddEdit(t, kDishLatMinutes, 78, 60);
    AddEdit(t, kDishLatSeconds, 134, 60);
    AddEdit(t, kDishLonDegrees, 22, 126);
    AddEdit(t, kDishLonMinutes, 78, 126);
    AddEdit(t, kDishLonSeconds, 134, 126);
    return t;
}

static void FillDishDefaults(Dialog* d) {
    SetItemText(d, kDishLatDegrees, "53");
    SetItemText(d, kDishLatMinutes, "30");
    SetItemText(d, kDishLatSeconds, "0");
    SetItemText(d, kDishLonDegrees, "113");
    SetItemText(d, kDishLonMinutes, "30");
    SetItemText(d, kDishLonSeconds, "0");
    SetItemCheck(d, kDishNorth, 1);
    SetItemCheck(d, kDishWest, 1);
    SetItemText(d, kDishAltitude, "672");
}

// A decimal number from -392 to 8848 metres.
static int ReadAltitude(Dialog* d, double* altitude) {
    std::string text = GetItemText(d, kDishAltitude);
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    while (*end == ' ') end++;
    int decimal = text.find_first_not_of("0123456789.+- ") == std::string::npos;   // no "inf", no hexadecimal
    if (text.empty() || !decimal || end == text.c_str() || *end || !(v >= kLowestAltitude && v <= kHighestAltitude)) {
        PlayCue(CUE_ERROR);
        ShowMessage("%s", text.empty() ? "All fields must be filled in" : "Invalid value for altitude");
        return 0;
    }
    *altitude = v;
    return 1;
}

// Degrees, minutes and seconds of one coordinate; at the limit degree the others must be 0.
static int ReadAngle(Dialog* d, int firstId, int limit, const char* const messages[3], double* value) {
    int degrees, minutes, seconds;
    if (!ReadCheckedInteger(d, firstId, 0, limit, messages[0], &degrees)) return 0;
    int most = degrees == limit ? 0 : 59;
    if (!ReadCheckedInteger(d, firstId + 1, 0, most, messages[1], &minutes) ||
        !ReadCheckedInteger(d, firstId + 2, 0, most, messages[2], &seconds))
        return 0;
    *value = degrees + minutes / 60.0 + seconds / 3600.0;
    return 1;
}

static int ReadDishFields(Dialog* d, DishSite* site) {
    static const char* const latitudeMessages[3] = {"Invalid degrees value for latitude",
                                                    "Invalid minutes value for latitude",
                                                    "Invalid seconds value for latitude"};
    static const char* const longitudeMessages[3] = {"Invalid degrees value for longitude",
                                                     "Invalid minutes value for longitude",
                                                     "Invalid seconds value for longitude"};
    if (!ReadAngle(d, kDishLatDegrees, 90, latitudeMessages, &site->latitude) ||
        !ReadAngle(d, kDishLonDegrees, 180, longitudeMessages, &site->longitude) ||
        !ReadAltitude(d, &site->altitude))
        return 0;
    if (GetItemCheck(d, kDishSouth)) site->latitude = -site->latitude;
    if (GetItemCheck(d, kDishWest)) site->longitude = -site->longitude;
    return 1;
}

// The report for today's local date, with the wait cursor; 1 when it was written.
static int ReportForToday(const std::string& elementFile, const DishSite& place) {
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    int written = WriteDishReport(elementFile.c_str(), place.latitude, place.longitude, place.altitude,
                                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    SetCursorShape(previousCursor);
    return written;
}

static int DishDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    DishDialogState* st = (DishDialogState*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        FillDishDefaults(d);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        DishSite place{};
        if (!ReadDishFields(d, &place)) return 1;
        st->written = ReportForToday(st->elementFile, place);
        if (st->written) {
            PlayCue(CUE_PROCESS);
            ShowMessage("Output saved to file %s\\AIM_DISH.TXT", dataRoot);
        }
        EndDialog(d, IDOK);
        return 1;
    }
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

void DishAiming() {
    DishDialogState st{DishElementFile(), 0};
    if (st.elementFile.empty()) {
        Beep();
        return;
    }
    DialogBox(DishDialogTemplate(), DishDialogProc, &st);
}
