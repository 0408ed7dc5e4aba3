// The panel buttons of every screen, the units switch and the help prompts: the shared pieces of
// the main window that every view draws through.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// [SECTION] Button table (panel_buttons.cpp)

struct PanelButton {
    int16_t x, y, w, h;  // window pixels of the current layout
    int16_t id;
    uint8_t hover, pressed;
};
constexpr int kPanelButtons = 97;
extern PanelButton panelButtons[kPanelButtons];
extern int panelButtonsBuilt;

// Conditions other views set for the buttons that show only sometimes.
extern int satelliteDataLoaded;  // 52, 53, 54, 97
extern int climateDataLoaded;    // 65
extern int textHasIndex;         // 83
extern int mapZoomedIn;          // 24, 25: the map is below its top zoom depth

// Loads every rollover, hit and normal-look bitmap and builds the table; when one bitmap
// fails, everything loaded is released, the table stays unbuilt and the result is 0.
int LoadPanelButtons();
void ReleasePanelButtons();
// The table alone (the 640x480 scaling applied once), for start-up and tests.
void BuildButtonTable();
// How many bitmaps the buttons of the layout need.
int PanelBitmapCount();
// The bitmap names of one button ("menu\20r.bmp", ...), in load order.
void PanelBitmapNames(int id, std::string names[6], int* count);
PanelButton* FindPanelButton(int id);
// Whether a button takes part in the hit test of a mode.
int ButtonVisible(int id, int mode);
// Updates hover flags, rollover images and help prompts of every visible button for the
// pointer at (x, y); 1 and *id when a visible button is under it.
int ButtonHitTest(int x, int y, int mode, int* id);
// The hit image (pressed) or the normal look; a released button still under the pointer
// shows its rollover image. The hit image also goes into hbmVirtual.
void DrawButton(int id, int pressed);
// The rollover image on the window (over), or the look kept in hbmVirtual.
void DrawHover(int id, int over);
// Draws the pressed and two-state buttons of a mode as they are now.
void RedrawButtons(int mode);
void ClearButtonStates();
// Flashes a button's hit image for a click and releases it.
void FlashButton(int id);

// The units switch image (metric or imperial) of modes 3, 4 and 5, on the window and in
// hbmVirtual.
void DrawUnitsSwitch(int mode);

// [SECTION] Help prompts (help_prompts.cpp)

// The prompt of an identifier, or 0 when it has none (negative ones are the map's edges).
const char* HelpPromptText(int id);
// Writes the prompt of `id` on the prompt line, or restores the line with erase.
void HelpPrompt(int id, int erase);
// Button 8 of every view: flips the help-prompt switch, erasing the prompt shown, and redraws
// the switch in its new state.
void ToggleHelpPrompts();

