// Entering the views that run their own loops from the 2D map or the next-view message, and
// what happens when one hands back the code of the next screen.
#include "app/screens.h"
#include "core/core.h"
#include "globe/globe.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "terrain/terrain_screen.h"

static void CopyWholeBackground() {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
}

void ViewReturned(int code) {
    if (code == 0 || code == 3) {
        EnterMapScreen(0);
        return;
    }
    // Posted, never called: the view's loop has fully returned before the next one starts.
    PostMessage(MSG_USER, (uint64_t)code, 0);
}

void EnterGlobeView() {
    ClearButtonStates();
    mapHoverState = 0;
    screenMode = 5;
    LoadBMPToBackground("menu\\glbmain.bmp");
    // The tabs go on after the background, so the look kept for the globe tab is the globe's.
    DrawButton(5, 1);
    DrawButton(1, 0);
    CopyWholeBackground();
    ViewReturned(RunGlobeScreen());
}

void EnterTerrainView() {
    ClearButtonStates();
    mapHoverState = 0;
    screenMode = 4;
    LoadBMPToBackground("menu\\3dmain.bmp");
    DrawButton(2, 1);
    DrawButton(1, 0);
    CopyWholeBackground();
    ViewReturned(RunTerrainView());
}
