// Help prompts: one line of text at the bottom left that says what the thing under the
// pointer does, shown while the help-prompt switch is on.
#include "imaging/panel_buttons.h"

#include "core/core.h"
#include "imaging/imaging.h"

struct PromptText {
    int id;
    const char* text;
};

static const PromptText kPrompts[] = {
    {-5, "Pan down"}, {-4, "Pan up"}, {-3, "Pan right"}, {-2, "Pan left"}, {-1, "Zoom in or out of map"},
    {1, "View data in 2D mode"}, {2, "View data in 3D mode"}, {3, "View statistical data"}, {4, "Fly over terrain"},
    {5, "Go to globe view"}, {6, "Go back to room"}, {7, "Modify program settings"}, {8, "Turn off help prompts"},
    {9, "Access on-line user manual"}, {10, "Contact information for Orvek"}, {11, "Connect to Orvek's web site"},
    {12, "Send data to printer"}, {13, "Set printer options"}, {14, "Start self-running demo"},
    {15, "Change background data"}, {16, "Change overlay data"}, {17, "Search for place names"},
    {18, "Measure distances on map"}, {21, "Find names of features"}, {22, "Zoom in on map"}, {23, "Zoom out on map"},
    {24, "Set new map center point"}, {25, "Go back to top level"}, {27, "See panoramic view"},
    {28, "Cut out cross-section view"}, {29, "Turn names off or on"}, {31, "Raise water level"},
    {32, "Increase grid resolution"}, {33, "Decrease grid resolution"}, {34, "Increase vertical exaggeration"},
    {35, "Decrease vertical exaggeration"}, {38, "Shift image around"}, {43, "Reset 3D viewpoint"},
    {44, "Set display options"}, {45, "Turn joystick on or off"}, {47, "Choose different area"},
    {51, "Turn satellite orbits on/off"}, {52, "Information on satellites"}, {53, "Show next satellite group"},
    {54, "Show previous satellite group"}, {55, "Raise ocean water levels"}, {56, "Set to smallest size"},
    {57, "Set to small size"}, {58, "Set to medium size"}, {59, "Set to large size"}, {61, "Rotate towards left"},
    {62, "Rotate towards right"}, {64, "Start or stop rotation"}, {65, "Start or stop data display"},
    {66, "Launch your web browser"}, {67, "Launch your e-mail client"}, {68, "Access trivia game"},
    {70, "Information about other products"}, {71, "Contact information about Orvek"},
    {72, "Contact information about Pelandor"}, {73, "Start the program"}, {74, "Exit the program"},
    {75, "View as flat map"}, {76, "View as 3D bar chart"}, {77, "View as table of values"}, {83, "Show index list"},
    {84, "Go to previous page"}, {85, "Go to next page"}, {86, "Search for word(s)"}, {88, "Print the screen"},
    {89, "Set up printer options"}, {93, "Show list of countries"}, {94, "Pick different continent"},
    {95, "Minimize the program"}, {96, "Show map legend"}, {97, "Search for visible satellites"},
};

const char* HelpPromptText(int id) {
    for (const PromptText& p : kPrompts)
        if (p.id == id) return p.text;
    return nullptr;
}

void HelpPrompt(int id, int erase) {
    if (!RestorePromptLine() || erase) return;
    Surface* w = WindowSurface();
    Rect line = PromptLineRect();
    const char* text = HelpPromptText(id);
    if (!text) return;
    DrawState saved = GetDrawState(w);
    SetFont(w, fhGeneric);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    SetClipRect(w, line);
    Point extent = TextExtent(w, text);
    TextOut(w, line.left + 4, (line.top + line.bottom - extent.y) / 2, text);
    ClearClip(w);
    SetDrawState(w, saved);
}

void ToggleHelpPrompts() {
    if (helpPromptsOn) HelpPrompt(0, 1);
    helpPromptsOn = !helpPromptsOn;
    DrawButton(8, 0);
    Delay(0.25);
}
