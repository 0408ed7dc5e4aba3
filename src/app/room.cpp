// The room, the front screen reached from the title page: its entry animation, its buttons
// (web site, mail, quiz, products, the maker's and co-publisher's pages, start and exit)
// and the information pages it opens (modes 9 to 12).
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "core/browser.h"
#include "imaging/panel_buttons.h"
#include "app/screens.h"
#include "imaging/imaging.h"
#include "manual/manual.h"
#include "names/user_names.h"
#include "print/print.h"

static void ShowWholeBackground() {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
}

void ShowRoom() {
    ClearButtonStates();
    HelpPrompt(0, 1);
    screenMode = 1;
    SetCursorShape(CURSOR_ARROW);
    LoadBMPToBackground("room\\frame16.bmp");
    ShowWholeBackground();
}

// The lights come on: eight frames at their places a tenth of a second apart, a pause, the
// last frame, then the lit room.
void EnterRoomFromTitle() {
    screenMode = 1;
    if (smallLayout) {
        ShowRoom();
        return;
    }
    int previous = SetCursorShape(CURSOR_WAIT);
    LoadBMPToBackground("room\\dark.bmp");
    static const char* const names[] = {"room\\a.bmp", "room\\b.bmp", "room\\c.bmp", "room\\d.bmp", "room\\e.bmp",
                                        "room\\f.bmp", "room\\g.bmp", "room\\1.bmp", "room\\1n.bmp"};
    static const Point places[] = {{130, 263}, {123, 223}, {129, 199}, {126, 176}, {121, 143},
                                   {116, 110}, {101, 82},  {122, 98},  {99, 72}};
    Surface* frames[9] = {};
    int loaded = 1;
    for (int i = 0; i < 9 && loaded; i++) loaded = LoadBMPFromFile(names[i], &frames[i]);
    if (loaded) {
        ShowWholeBackground();
        LoadBMPToBackground("room\\frame01.bmp");
        ShowWholeBackground();
        Surface* w = WindowSurface();
        for (int i = 0; i < 9; i++) {
            Delay(i < 8 ? 0.1 : 1.0);
            if (w) Blit(w, places[i].x, places[i].y, SurfaceWidth(frames[i]), SurfaceHeight(frames[i]), frames[i], 0, 0);
        }
    }
    for (Surface* f : frames)
        if (f) DeleteSurface(f);
    SetCursorShape(previous);
    // Without its frames the room still opens, lit, so the program stays usable.
    ShowRoom();
}

// [SECTION] Information pages

// A page's picture with its text in the manual viewer; the room again when the page closes.
static void ShowPage(int mode, const char* picture, const char* textFile) {
    ShowManualPageScreen(mode, picture, textFile);
    ShowRoom();
}

static void ExitProgram() {
    Shutdown();
    DestroyMainWindow();
    PostQuitMessage(0);
}

void RoomButton(int id) {
    if (id == 0) return;
    FlashButton(id);
    switch (id) {
    case 66: OpenAboutPage(); return;
    case 67: OpenMailProgram(); return;
    case 68:
        RunTrivia();
        ShowRoom();
        return;
    case 70: ShowPage(9, "room\\prods_a.bmp", "manual\\prod1.txt"); return;
    case 71: ShowPage(12, "room\\btorvek.bmp", "manual\\about.txt"); return;
    case 72: ShowPage(12, "room\\btpelndr.bmp", "manual\\pelandor.txt"); return;
    case 73: EnterMapScreen(1); return;
    case 74:
        if (editingUserNames) {
            ShowMessage("Save your editing changes first!");
            return;
        }
        ExitProgram();
        return;
    // The pages' own buttons act inside the viewer; these are reached only without it.
    case 87: ShowRoom(); return;
    case 88: FlashButton(88); PrintScreenImage(Rect{0, 0, screenWidth, screenHeight}, "Mundora"); return;
    case 89: FlashButton(89); PrinterSetup(); return;
    default: PlayCue(CUE_ERROR); return;
    }
}
