// The menu of the user's own place names (the map's button 19): what edit mode's keys do, as
// buttons, with a line on the state of the list and the switch that shows the saved names.
#include <cstdio>

#include "core/core.h"
#include "names/names.h"
#include "names/user_names.h"

enum {
    kMenuState = 1901,
    kMenuStart = 1902,
    kMenuAdd = 1903,
    kMenuDelete = 1904,
    kMenuFinish = 1905,
    kMenuShow = 1906,
};

struct MenuState {
    int command;
    int show;
};

static std::string StateLine() {
    char text[160];
    if (editingUserNames) {
        int names = 0, table = UserNameTableSize();
        for (int i = 0; i < table; i++) names += !(UserNameTable()[i].flags & kUserNameFree);
        snprintf(text, sizeof text, "Editing: %d names, room for %d more.", names, table - names);
        return text;
    }
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadUserNamesFile(&bytes, &message)) return "Your list cannot be read: Start editing says why.";
    snprintf(text, sizeof text, "Your list holds %d names. Start editing to change it.",
             (int)(bytes.size() / kNameRecordSize));
    return text;
}

static int MenuProc(Dialog* d, int event, int itemId, int notification, void* user) {
    MenuState* st = (MenuState*)user;
    if (event == DLG_INIT) {
        SetItemText(d, kMenuState, StateLine().c_str());
        EnableItem(d, kMenuStart, !editingUserNames);
        EnableItem(d, kMenuAdd, editingUserNames);
        EnableItem(d, kMenuDelete, editingUserNames);
        EnableItem(d, kMenuFinish, editingUserNames);
        SetItemCheck(d, kMenuShow, st->show);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    static const int kCommands[][2] = {{kMenuStart, USER_NAMES_START},
                                       {kMenuAdd, USER_NAMES_ADD},
                                       {kMenuDelete, USER_NAMES_DELETE},
                                       {kMenuFinish, USER_NAMES_FINISH},
                                       {IDCANCEL, USER_NAMES_NONE}};
    for (const auto& c : kCommands) {
        if (itemId != c[0]) continue;
        st->command = c[1];
        st->show = GetItemCheck(d, kMenuShow) != 0;
        EndDialog(d, c[1] ? IDOK : IDCANCEL);
        return 1;
    }
    return 0;
}

int UserNamesMenu(int* shownChanged) {
    DialogTemplate t;
    t.caption = "Your Place Names";
    t.width = 360;
    t.height = 250;
    t.items.push_back({DI_STATIC, kMenuState, 14, 10, 332, 20, ""});
    t.items.push_back({DI_BUTTON, kMenuStart, 14, 38, 200, 26, "Start editing   (F12)"});
    t.items.push_back({DI_BUTTON, kMenuAdd, 14, 70, 200, 26, "Add a name...   (A)"});
    t.items.push_back({DI_BUTTON, kMenuDelete, 14, 102, 200, 26, "Delete a name...   (D)"});
    t.items.push_back({DI_BUTTON, kMenuFinish, 14, 134, 200, 26, "Save and finish...   (X)"});
    t.items.push_back({DI_CHECKBOX, kMenuShow, 14, 174, 332, 20, "Show my saved names on the map"});
    t.items.push_back({DI_DEFBUTTON, IDCANCEL, 266, 212, 80, 26, "Close"});
    MenuState st{USER_NAMES_NONE, labelSwitches[7] != 0};
    DialogBox(t, MenuProc, &st);
    *shownChanged = st.show != (labelSwitches[7] != 0);
    labelSwitches[7] = (uint8_t)st.show;
    return st.command;
}
