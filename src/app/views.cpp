// Entering the views that run their own loops from the 2D map or the next-view message, and
// what happens when one hands back the code of the next screen.
#include "app/screens.h"
#include "core/command_line.h"
#include "core/core.h"
#include "flyby/flyby.h"
#include "globe/globe.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "stats/stats.h"
#include "terrain/terrain_screen.h"

static void CopyWholeBackground() {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
}

void ViewReturned(int code) {
    if (code == kViewCodeHandedOverPlace) {
        OpenWaitingPlace();
        return;
    }
    if (code == 0 || code == 3) {
        EnterMapScreen(0);
        return;
    }
    // Posted, never called: the view's loop has fully returned before the next one starts.
    PostMessage(MSG_USER, (uint64_t)code, 0);
}

// The entry every view with its own loop shares: the tab pressed over the view's background
// (so the look kept for that tab is the view's own), the 2D tab released, then its loop.
static void EnterView(int mode, const char* background, int tab, int (*runView)()) {
    ClearButtonStates();
    mapHoverState = 0;
    screenMode = mode;
    LoadBMPToBackground(background);
    DrawButton(tab, 1);
    DrawButton(1, 0);
    CopyWholeBackground();
    ViewReturned(runView());
}

void EnterGlobeView() { EnterView(5, "menu\\glbmain.bmp", 5, RunGlobeScreen); }

void EnterTerrainView() { EnterView(4, "menu\\3dmain.bmp", 2, RunTerrainView); }

void EnterStatisticsView() { EnterView(7, "menu\\statmain.bmp", 3, RunStatisticsScreen); }

// From the 2D map the flight starts over the map's centre; from any other screen the user
// picks the start point first.
static struct {
    int x, y;
} flybyStart;

static int RunFlybyView() { return RunFlybyScreen(flybyStart.x, flybyStart.y); }

void EnterFlybyView(int fromMap) {
    flybyStart.x = flybyStart.y = -1;
    if (fromMap) FlybyStartPosition(&flybyStart.x, &flybyStart.y);
    EnterView(8, "menu\\flymain.bmp", 4, RunFlybyView);
}
