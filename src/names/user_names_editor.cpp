// The editor of the user's own place names: edit mode holds the file's n records and 50 spare
// slots in one table (`editRec`); names are added by typing them and clicking their place,
// removed by clicking near them, and saved when edit mode ends. Also the drawing of the names
// over the map, edited or saved, and the menu of the map's button 19.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "map2d/map2d.h"
#include "map2d/zoom_commands.h"
#include "names/labels.h"
#include "names/names.h"
#include "names/user_names.h"
#include "platform/files.h"

int editingUserNames;

static struct {
    UserNameRecord* editRec;  // n + 50 records while edit mode is on
    int count;
    int damageShown;          // the name layer has said once that the file is damaged
} editor;

int UserNameTableSize() { return editingUserNames ? editor.count : 0; }
const UserNameRecord* UserNameTable() { return editingUserNames ? editor.editRec : nullptr; }

static void FreeTable() {
    free(editor.editRec);
    editor.editRec = nullptr;
    editor.count = 0;
    editingUserNames = 0;
}

void ResetUserNames() {
    FreeTable();
    editor.damageShown = 0;
}

static int IsFree(const UserNameRecord& r) { return (r.flags & kUserNameFree) != 0; }

// [SECTION] Start, add, delete, finish

int StartEditingUserNames() {
    if (editingUserNames) {
        ShowMessage("Save currently loaded data first");
        return 0;
    }
    // A missing file is created empty; an existing one, even unreadable, is never touched.
    std::string path = UserNamesPath();
    if (!FileExists(path.c_str())) {
        MakeDirectories(tempDir);
        FILE* f = OpenFile(path.c_str(), "ab");
        if (!f) {
            ShowMessage("Cannot open file %s", "userdef.dat");
            return 0;
        }
        fclose(f);
    }
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadUserNamesFile(&bytes, &message)) {
        ShowMessage("%s", message.c_str());
        return 0;
    }
    int n = (int)(bytes.size() / kNameRecordSize);
    UserNameRecord* rec = (UserNameRecord*)calloc((size_t)n + kUserNameSpares, sizeof(UserNameRecord));
    if (!rec) {
        ShowMessage("Cannot allocate editRec[]");
        return 0;
    }
    for (int i = 0; i < n; i++) {
        DecodeUserNameRecord(&bytes[(size_t)i * kNameRecordSize], &rec[i]);
        rec[i].flags = 0;
    }
    for (int i = n; i < n + kUserNameSpares; i++) {
        strcpy(rec[i].name, "unused");
        rec[i].cls = 1;
        rec[i].flags = kUserNameFree;
    }
    editor.editRec = rec;
    editor.count = n + kUserNameSpares;
    ShowMessage("loaded %d user-defined place names", n);
    editingUserNames = 1;
    return 1;
}

static int FirstFreeSlot() {
    for (int i = 0; i < editor.count; i++)
        if (IsFree(editor.editRec[i])) return i;
    return -1;
}

enum { kNamePrompt = 1123, kNameEdit = 1040, kNameLimit = 70 };

static int NameDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    if (event == DLG_INIT) {
        SetItemText(d, kNamePrompt, "Specify place name");
        FocusItem(d, kNameEdit);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        std::string name = GetItemText(d, kNameEdit);
        // A name of blanks would be as invisible as none at all.
        if (name.find_first_not_of(' ') == std::string::npos) {
            Beep();
            return 1;
        }
        *(std::string*)user = name;
        EndDialog(d, IDOK);
        return 1;
    }
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

// Resource 118: the prompt, an edit of 70 characters, OK and Cancel.
static int AskPlaceName(std::string* name) {
    DialogTemplate t;
    t.caption = "Place Name";
    t.width = 330;
    t.height = 110;
    t.items.push_back({DI_STATIC, kNamePrompt, 12, 10, 306, 18, ""});
    DialogItem edit{DI_EDIT, kNameEdit, 12, 32, 306, 24, ""};
    edit.limit = kNameLimit;
    t.items.push_back(edit);
    t.items.push_back({DI_DEFBUTTON, IDOK, 148, 72, 80, 26, "OK"});
    t.items.push_back({DI_BUTTON, IDCANCEL, 238, 72, 80, 26, "Cancel"});
    return DialogBox(t, NameDialogProc, name) == IDOK;
}

static double Clamp(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

int AddUserName() {
    if (!editingUserNames) return 0;
    // Said before the user types a name that could not be kept.
    if (FirstFreeSlot() < 0) {
        ShowMessage("No more space for new entries");
        return 0;
    }
    std::string name;
    if (!AskPlaceName(&name)) return 0;
    Point p;
    if (!PickPointOnMap(&p)) return 0;
    double lat, lon;
    PixelToGeo(p.x, p.y, &lat, &lon);
    UserNameRecord& r = editor.editRec[FirstFreeSlot()];
    memset(r.name, 0, sizeof r.name);
    memcpy(r.name, name.data(), std::min(name.size(), (size_t)kUserNameUsedBytes));
    r.lat = (float)Clamp(lat, -90, 90);
    r.lon = (float)Clamp(lon, -180, 180);
    r.cls = 1;
    r.flags = 0;
    DrawEditedUserNames(WindowSurface(), mapRect);
    return 0;
}

// The record nearest a position among those shown in the current window, or -1. Free slots
// are not shown and are passed over, so a click can only ever take away a name the user sees.
static int NearestShownRecord(double lat, double lon) {
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < editor.count; i++) {
        const UserNameRecord& r = editor.editRec[i];
        if (IsFree(r) || !InCurrentWindow(r.lat, r.lon)) continue;
        double dy = r.lat - lat, dx = ShownLongitude(r.lon) - lon;
        double d = dx * dx + dy * dy;
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int DeleteUserName() {
    if (!editingUserNames) return 0;
    for (int i = 0; i < editor.count; i++) editor.editRec[i].flags &= (uint8_t)~kUserNameMarked;
    Point p;
    if (!PickPointOnMap(&p)) return 0;
    double lat, lon;
    PixelToGeo(p.x, p.y, &lat, &lon);
    int nearest = NearestShownRecord(lat, lon);
    if (nearest < 0) {
        ShowMessage("did not select a record");
        return 0;
    }
    editor.editRec[nearest].flags ^= kUserNameMarked;
    DrawEditedUserNames(WindowSurface(), mapRect);
    int freed = 0;
    for (int i = 0; i < editor.count; i++) {
        UserNameRecord& r = editor.editRec[i];
        if (!(r.flags & kUserNameMarked)) continue;
        r.flags = kUserNameFree;
        freed++;
    }
    ShowMessage("Deleted %d records", freed);
    return 1;  // the freed name is still on the map
}

int EndEditingUserNames() {
    if (!editingUserNames) return 0;
    if (MessageBox("Save changes to user-defined place names?", "", MB_YESNO) == IDYES) {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < editor.count; i++) {
            UserNameRecord r = editor.editRec[i];
            if (IsFree(r)) continue;
            r.cls = 1;
            r.flags = 0;
            bytes.resize(bytes.size() + kNameRecordSize);
            EncodeUserNameRecord(r, &bytes[bytes.size() - kNameRecordSize]);
        }
        if (!WriteUserNamesFile(bytes)) {
            ShowMessage("Cannot open file %s", "userdef.dat");
            return 0;
        }
        // The names just saved are shown with the other names from now on.
        if (!bytes.empty()) labelSwitches[7] = 1;
    }
    FreeTable();
    return 1;
}

int RunUserNamesCommand(int command) {
    switch (command) {
    case USER_NAMES_START: return StartEditingUserNames();
    case USER_NAMES_ADD: return AddUserName();
    case USER_NAMES_DELETE: return DeleteUserName();
    case USER_NAMES_FINISH: return EndEditingUserNames();
    default: return 0;
    }
}

// [SECTION] Drawing

void DrawEditedUserNames(Surface* s, const Rect& r) {
    if (!editingUserNames || !s) return;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetFont(s, fhGeneric);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_BASELINE);
    const MapWindow& w = CurrentMapWindow();
    // The unmarked names first, so a marked one stands out on top of its neighbours.
    for (int marked = 0; marked <= 1; marked++) {
        SetTextColour(s, marked ? MakeColour(255, 0, 0) : MakeColour(255, 255, 255));
        for (int i = 0; i < editor.count; i++) {
            const UserNameRecord& rec = editor.editRec[i];
            if (IsFree(rec) || ((rec.flags & kUserNameMarked) != 0) != marked) continue;
            if (!InCurrentWindow(rec.lat, rec.lon)) continue;
            int px, py;
            GeoToPixelIn(w, r, rec.lat, ShownLongitude(rec.lon), &px, &py);
            TextOut(s, px, py, rec.name);
            SetPixel(s, px, py, MakeColour(0, 255, 255));
        }
    }
    SetDrawState(s, saved);
    ClearClip(s);
}

void DrawSavedUserNames(Surface* s, const Rect& r, long scale) {
    NameClass c = UserNameClass();
    if (c.maxScale < scale) return;
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadUserNamesFile(&bytes, &message)) {
        if (!editor.damageShown) ShowMessage("%s", message.c_str());
        editor.damageShown = 1;
        return;
    }
    editor.damageShown = 0;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    FontSpec font;
    font.family = "Arial";
    font.points = c.size;
    SetFont(s, font);
    SetTextColour(s, c.colour);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_BOTTOM);
    const MapWindow& w = CurrentMapWindow();
    for (size_t at = 0; at + kNameRecordSize <= bytes.size(); at += kNameRecordSize) {
        UserNameRecord rec;
        DecodeUserNameRecord(&bytes[at], &rec);
        if (rec.cls != 1 || !InCurrentWindow(rec.lat, rec.lon)) continue;
        int px, py;
        GeoToPixelIn(w, r, rec.lat, ShownLongitude(rec.lon), &px, &py);
        TextOut(s, px, py, rec.name);
        SetPixel(s, px, py, MakeColour(255, 255, 0));
    }
    SetDrawState(s, saved);
    ClearClip(s);
}
