// The main window procedure: routes every message by screen mode. The title page leads to
// the room; close requests and system commands other than restore are swallowed, so the
// program is left only through its exit button or exit command.
#include "app/app.h"
#include "imaging/imaging.h"

enum : int { kCommandExit = 40005, kCommandRepaint = 40006 };

static void RepaintFromVirtual(const Rect& r) {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

// The room, the front screen reached from the title page.
static void EnterRoom() {
    screenMode = 1;
    LoadBMPToBackground("room\\frame16.bmp");
    RepaintFromVirtual(Rect{0, 0, screenWidth, screenHeight});
}

static void ExitProgram() {
    Shutdown();
    DestroyMainWindow();
    PostQuitMessage(0);
}

int64_t MainWindowProc(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg) {
    switch (kind) {
    case MSG_CREATE:
        SetCursorShape(CURSOR_ARROW);
        return 0;
    case MSG_PAINT:
        RepaintFromVirtual(msg.paintRect);
        return 0;
    case MSG_LBUTTONDOWN:
    case MSG_RBUTTONDOWN:
        if (screenMode == 2) EnterRoom();
        return 0;
    case MSG_KEYDOWN:
        if (screenMode == 2) EnterRoom();
        return 0;
    case MSG_COMMAND:
        if (wParam == kCommandExit) ExitProgram();
        else if (wParam == kCommandRepaint) InvalidateWindow(nullptr);
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
