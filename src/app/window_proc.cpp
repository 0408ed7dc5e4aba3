// The main window procedure: the hub that routes every message by screen mode. The title
// page leads to the room, the room to the 2D map, and the map's tabs to the views that run
// their own loops. Close requests and system commands other than restore are swallowed, so
// the program is left only through its exit button or exit command.
#include "app/app.h"
#include "imaging/panel_buttons.h"
#include "app/screens.h"
#include "core/command_line.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "names/user_names.h"
#include "print/print.h"
#include "stats/stats_screen.h"

// The find command (Ctrl+F) is beyond the original design: the map's place-name search.
enum : int { kCommandExit = 40005, kCommandRepaint = 40006, kCommandFind = 40007 };

int NextViewButton(int code) {
    switch (code) {
    case 5: return 5;
    case 7: return 3;
    case 8: return 4;
    case 4: return 2;
    case 1: return 6;
    case 17: return 17;
    default: return 0;
    }
}

static int TabMode(int tab) {
    static const int modes[6] = {0, 3, 4, 7, 8, 5};
    return tab >= 1 && tab <= 5 ? modes[tab] : 0;
}

static int ModeTab(int mode) {
    for (int tab = 1; tab <= 5; tab++)
        if (TabMode(tab) == mode) return tab;
    return 0;
}

// The next-view message: the code a view handed back acts as a click on its button.
static void NextView(int code) {
    int button = NextViewButton(code);
    if (button == 6) {
        ShowRoom();
    } else if (button == 5) {
        EnterGlobeView();
    } else if (button == 3) {
        EnterStatisticsView();
    } else if (button == 2) {
        EnterTerrainView();  // on the area chosen before: no pick this time
    } else if (button == 4) {
        EnterFlybyView(0);  // from a screen other than the map: the start point is picked
    } else if (button == 17) {
        if (screenMode != 3) EnterMapScreen(0);
        PlaceNameSearch();
    }
}

static void Paint(const Rect& area) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
    int mode = screenMode;
    if (mode == 3) PaintMapScreen();
    if (mode == 3 || mode == 4 || mode == 5 || mode == 7 || mode == 8) {
        for (int tab = 1; tab <= 5; tab++) {
            PanelButton* b = FindPanelButton(tab);
            int pressed = tab == ModeTab(mode);
            if (b && b->pressed != pressed) DrawButton(tab, pressed);
        }
        RedrawButtons(mode);
    }
    if (mode == 3 || mode == 4 || mode == 5) DrawUnitsSwitch(mode);
    if (mode == 3) {
        if (mapHoverState >= 2 && mapHoverState <= 5) HelpPrompt(-mapHoverState, 0);
        else if (mapHoverState >= 6) HelpPrompt(-1, 0);
        DrawMapElevationLegend();
    }
    if (mode == 7) DrawStatisticsLegend();
}

static void MouseMove(int x, int y) {
    int id;
    switch (screenMode) {
    case 3: MapMouseMove(x, y); break;
    case 1: case 9: case 10: case 11: case 12: ButtonHitTest(x, y, screenMode, &id); break;
    default: break;
    }
}

static void LeftClick(int x, int y, uint32_t keys) {
    int id;
    switch (screenMode) {
    case 2: EnterRoomFromTitle(); break;
    case 1: case 9: case 10: case 11: case 12:
        if (ButtonHitTest(x, y, screenMode, &id)) RoomButton(id);
        break;
    case 3: MapLeftClick(x, y, keys); break;
    default: break;
    }
}

static void RightClick(int x, int y, uint32_t keys) {
    int id;
    switch (screenMode) {
    case 2: EnterRoomFromTitle(); break;
    case 3: MapRightClick(x, y, keys); break;
    case 1: case 9: case 10: case 11: case 12:
        if (ButtonHitTest(x, y, screenMode, &id)) RoomButton(id);
        break;
    default: break;
    }
}

// A later start handed over a place (beyond the original design): the title page, the room
// and the map move to it. A view with its own loop takes the place itself and leaves for the
// map; a chooser that passes messages on lands here with the view's mode, and the place
// waits for that view's loop to notice it.
static void HandOverPlace() {
    if (!TakeHandedOverPlace()) return;
    int fromMode = screenMode;
    if (fromMode == 2 || fromMode == 1 || fromMode == 3 || (fromMode >= 9 && fromMode <= 12)) OpenWaitingPlace();
}

static void KeyDown(uint32_t key) {
    if (screenMode == 2) EnterRoomFromTitle();
    else if (screenMode == 3) MapKeyDown(key);
}

int64_t MainWindowProc(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg) {
    switch (kind) {
    case MSG_CREATE:
        mapHoverState = 0;
        SetCursorShape(CURSOR_ARROW);
        return 0;
    case MSG_PAINT:
        Paint(msg.paintRect);
        return 0;
    case MSG_MOUSEMOVE:
        MouseMove(MessageX(msg), MessageY(msg));
        return 0;
    case MSG_LBUTTONDOWN:
        LeftClick(MessageX(msg), MessageY(msg), (uint32_t)wParam);
        return 0;
    case MSG_USER:
        NextView((int)wParam);
        return 0;
    case MSG_RBUTTONDOWN:
        RightClick(MessageX(msg), MessageY(msg), (uint32_t)wParam);
        return 0;
    case MSG_KEYDOWN:
        KeyDown((uint32_t)wParam);
        return 0;
    case MSG_MOUSEWHEEL:
        if (screenMode == 3) MapWheel(MessageX(msg), MessageY(msg), MessageWheelDelta(msg));
        return 0;
    case MSG_COMMAND:
        if (wParam == kCommandExit && editingUserNames) {
            // The exit command keeps the user's unsaved names as the room's exit button does.
            ShowMessage("Save your editing changes first!");
        } else if (wParam == kCommandExit) {
            Shutdown();
            DestroyMainWindow();
            PostQuitMessage(0);
        } else if (wParam == kCommandFind) {
            if (screenMode == 3) MapButton(17, 0);
        } else if (wParam == CMD_PRINT) {
            if (screenMode == 3) MapButton(12, 0);
        } else if (wParam == CMD_EXPORT) {
            if (screenMode == 3) ExportCurrentView(mapRect, MapPrintTitle(mapBackground));
        } else if (wParam == kCommandRepaint) {
            InvalidateWindow(nullptr);
        }
        return 0;
    case MSG_COPYDATA:
        HandOverPlace();
        return 0;
    case MSG_SYSCOMMAND:
        if (wParam == SC_RESTORE) ShowMainWindow();
        return 0;
    case MSG_DESTROY:
        Shutdown();
        PostQuitMessage(0);
        return 0;
    default:
        return 0;  // close requests, session ends and characters are swallowed
    }
}

int RunMessageLoop() {
    Message m;
    while (GetMessage(&m)) DispatchMessage(m);
    return (int)m.wParam;
}
