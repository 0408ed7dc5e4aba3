// The 2D map screen (mode 3) as the main window drives it: entering it, composing and
// repainting the map with its status line and legend, the pointer's hover states and
// cursors, clicks on the map and on its panel, the units switch and the background chooser.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "core/browser.h"
#include "core/command_line.h"
#include "core/demonstrations.h"
#include "app/map_commands.h"
#include "imaging/panel_buttons.h"
#include "app/screens.h"
#include "map2d/zoom_commands.h"
#include "imaging/imaging.h"
#include "manual/manual.h"
#include "map2d/map2d.h"
#include "map2d/measurement.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/user_names.h"
#include "print/print.h"
#include "names/place_search.h"
#include "print/settings_dialog.h"

int mapHoverState;
int zoomOutTool;
Rect scaleBoxRect;

constexpr int kEdge = 15;

static Rect Scaled(int l, int t, int r, int b) {
    if (!smallLayout) return Rect{l, t, r, b};
    return Rect{(int)(l * 0.8), (int)(t * 0.8), (int)(r * 0.8), (int)(b * 0.8)};
}
// Hot spots of the map's panel, inclusive pixel ranges turned into rectangles.
static Rect UnitsSwitchSpot() { return smallLayout ? Rect{564, 142, 629, 152} : Rect{705, 178, 787, 190}; }
static Rect LocatorSpot() { return Scaled(695, 434, 797, 489); }
static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
static int InMap(int x, int y) { return Inside(mapRect, x, y); }

// [SECTION] Status line

static void KeepStatusBackground() { KeepStatusLineBackground(); }

// The area text, the scale bar and "Scale = 1:169,465,531 " under the map, in hbmVirtual.
static void DrawStatusLine() {
    if (!hbmVirtual) return;
    DrawStatusLine(hbmVirtual, mapRect, statusRect, measureUnits);
    scaleBoxRect = scaleTextBox;
}

// [SECTION] Composing and painting

static void CopyToWindow(const Rect& r) {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

static void EdgePrompt() {
    if (mapHoverState >= 2 && mapHoverState <= 5) HelpPrompt(-mapHoverState, 0);
    else if (mapHoverState == 6 || mapHoverState == 7) HelpPrompt(-1, 0);
}

// Vector layers, then the place names unless Escape stopped the layers, then the results of
// a place-name search while they are shown.
void PaintMapScreen() {
    Surface* w = WindowSurface();
    if (!w) return;
    drawAborted = 0;
    DrawVectorLayers(w, mapRect.left, mapRect.top, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top);
    if (!drawAborted) DrawPlaceNames(w, mapRect);
    DrawSearchResults(w, mapRect);
    DrawEditedUserNames(w, mapRect);
}

void RecomposeAndRepaintMap() {
    ComposeMapBackground();
    mapZoomedIn = zoomDepth > 0;
    DrawStatusLine();
    CopyToWindow(mapRect);
    CopyToWindow(statusRect);
    PaintMapScreen();
    DrawMapElevationLegend();
    RedrawButtons(3);
}

void MapViewChanged() {
    DiscardScreenCache(zoomDepth);
    RecomposeAndRepaintMap();
}

void EnterMapScreen(int deleteCaches) {
    ClearButtonStates();
    mapHoverState = 0;
    screenMode = 3;
    LoadBMPToBackground("menu\\2dmain.bmp");
    KeepStatusBackground();
    if (deleteCaches) DiscardAllScreenCaches();
    CopyToWindow(Rect{0, 0, screenWidth, screenHeight});
    DrawButton(1, 1);
    DrawUnitsSwitch(3);
    RecomposeAndRepaintMap();
}

void OpenMapAtPlace(double latitude, double longitude, double scale) {
    ZoomToPlace(latitude, longitude, scale);
    EnterMapScreen(1);
}

void OpenWaitingPlace() {
    OpeningPlace place;
    if (TakeWaitingPlace(&place)) OpenMapAtPlace(place.latitude, place.longitude, place.scale);
    else if (screenMode != 3) EnterMapScreen(0);
}

// [SECTION] Hover states and cursors

static int OverHotSpot(int x, int y) {
    return Inside(UnitsSwitchSpot(), x, y) || Inside(LocatorSpot(), x, y) || Inside(scaleBoxRect, x, y);
}

static int EdgeState(int x, int y) {
    if (zoomDepth <= 0 || !InMap(x, y)) return 0;
    if (x < mapRect.left + kEdge) return 2;
    if (x >= mapRect.right - kEdge) return 3;
    if (y < mapRect.top + kEdge) return 4;
    if (y >= mapRect.bottom - kEdge) return 5;
    return 0;
}

static const int kStateCursor[8] = {CURSOR_ARROW, 107, 130, 131, 132, 133, 141, 144};

static void SetHoverState(int state) {
    if (state == mapHoverState) return;
    if (mapHoverState >= 2) {
        HelpPrompt(0, 1);
        DrawButton(22, 0);
        DrawButton(23, 0);
    }
    mapHoverState = state;
    SetCursorShape(kStateCursor[state]);
    if (state == 6) DrawButton(22, 1);
    if (state == 7) DrawButton(23, 1);
    EdgePrompt();
}

void MapMouseMove(int x, int y) {
    MapPointerReadout(x, y);
    int id = 0;
    int overButton = ButtonHitTest(x, y, 3, &id);
    int state = 0;
    if (overButton || OverHotSpot(x, y)) state = 1;
    else if (int edge = EdgeState(x, y)) state = edge;
    else if (InMap(x, y)) state = zoomOutTool ? 7 : 6;
    SetHoverState(state);
}

// [SECTION] The user's own place names

static void RepaintMapArea() {
    CopyToWindow(mapRect);
    PaintMapScreen();
}

// Runs an editor command; the map is repainted when a name left it or edit mode began or ended.
static void UserNamesCommand(int command) {
    if (RunUserNamesCommand(command)) RepaintMapArea();
}

static void UserNamesButton() {
    FlashButton(19);
    int shownChanged = 0;
    int command = UserNamesMenu(&shownChanged);
    if (RunUserNamesCommand(command) || shownChanged) RepaintMapArea();
}

// [SECTION] Clicks and keys

static void ToggleUnits() {
    imperialUnits = !imperialUnits;
    DrawUnitsSwitch(3);
    DrawMapElevationLegend();
    CopyToWindow(mapRect);
    PaintMapScreen();
}

void MapLeftClick(int x, int y, uint32_t keys) {
    if (Inside(UnitsSwitchSpot(), x, y)) {
        ToggleUnits();
        return;
    }
    if (Inside(LocatorSpot(), x, y)) {
        MapLocatorClick(x, y);
        return;
    }
    if (Inside(scaleBoxRect, x, y)) {
        MapScaleBoxClick(x, y);
        return;
    }
    if (StatusLineClick(x, y)) {
        DrawStatusLine();
        CopyToWindow(statusRect);
        return;
    }
    if (InMap(x, y)) {
        switch (EdgeState(x, y)) {
        case 2: MapEdgePan(kPanWest); return;
        case 3: MapEdgePan(kPanEast); return;
        case 4: MapEdgePan(kPanNorth); return;
        case 5: MapEdgePan(kPanSouth); return;
        }
        if (keys & MK_SHIFT) MapZoomBox(x, y, 1);
        else if (zoomOutTool) MapBackOneDepth();
        else MapZoomBox(x, y, 0);
        return;
    }
    int id;
    if (ButtonHitTest(x, y, 3, &id)) MapButton(id, 0);
}

void MapRightClick(int x, int y, uint32_t keys) {
    if (InMap(x, y)) {
        MapBackOneDepth();
        return;
    }
    int id;
    if (ButtonHitTest(x, y, 3, &id) && id > 5) MapButton(id, 1);
}

// Beyond the original design: the wheel over the map zooms about the pointer, a notch at a
// time; the finer turns of touchpads add up until they make a notch.
static struct {
    int wheelTurn;
} mapInput;

void MapWheel(int x, int y, int delta) {
    if (!InMap(x, y)) return;
    mapInput.wheelTurn += delta;
    int notches = mapInput.wheelTurn / kWheelDelta;
    if (notches == 0) return;
    mapInput.wheelTurn -= notches * kWheelDelta;
    for (int i = 0; i < std::abs(notches); i++)
        if (!MapWheelZoom(x, y, notches > 0 ? 1 : -1)) break;
}

void MapKeyDown(uint32_t key) {
    if (key == VK_F1) {  // beyond the original design: the map's manual page, as button 9
        MapButton(9, 0);
        return;
    }
    if (key == VK_F12) {
        UserNamesCommand(USER_NAMES_START);
        return;
    }
    if (editingUserNames && (key == 'A' || key == 'D' || key == 'X')) {
        UserNamesCommand(key == 'A' ? USER_NAMES_ADD : key == 'D' ? USER_NAMES_DELETE : USER_NAMES_FINISH);
        return;
    }
    if (key == VK_CONTROL && (mapHoverState == 6 || mapHoverState == 7)) {
        zoomOutTool = !zoomOutTool;
        SetHoverState(zoomOutTool ? 7 : 6);
        return;
    }
    switch (key) {
    case VK_UP: MapEdgePan(kPanNorth); break;
    case VK_DOWN: MapEdgePan(kPanSouth); break;
    case VK_LEFT: MapEdgePan(kPanWest); break;
    case VK_RIGHT: MapEdgePan(kPanEast); break;
    }
}

// [SECTION] Buttons

void FlybyStartPosition(int* x, int* y) {
    const MapWindow& w = CurrentMapWindow();
    int fx = (int)(((w.west + w.east) / 2 + 180) / 360 * 40080);
    int fy = (int)(20040 - ((w.south + w.north) / 2 + 90) / 180 * 20040);
    *x = fx < 500 ? 500 : fx > 39500 ? 39500 : fx;
    *y = fy < 500 ? 500 : fy > 19500 ? 19500 : fy;
}

// What the settings dialog changed, shown on the map while the dialog is still open. Gamma
// colours every bitmap as it is loaded and every composed tile, so the screen is entered
// afresh; the monitor size changes the map's scale, and with it the layers the theme picks.
static void MapSettingsApplied(int changes) {
    if (changes & SETTINGS_GAMMA) {
        EnterMapScreen(1);
        return;
    }
    if (changes & SETTINGS_MONITOR) {
        DiscardAllScreenCaches();
        RecomposeAndRepaintMap();
        return;
    }
    if (changes & SETTINGS_UNITS) {
        DrawMapElevationLegend();
        RepaintMapArea();
    }
}

static void ChooseBackground() {
    int choice = BackgroundChooser();
    if (choice < 0 || choice == mapBackground) return;
    mapBackground = choice;
    DiscardAllScreenCaches();
    RecomposeAndRepaintMap();
}

static void ChooseElevationScale() {
    if (!ElevationScaleChooser(546, 45, mapBackground)) return;
    mapBackground = 2;
    DiscardAllScreenCaches();
    RecomposeAndRepaintMap();
}

// The manual or the "about" text over the map, then the map again: on the window a map link
// chose, composed afresh, or as it was.
static void MapManual(int id, const char* file, const char* index) {
    FlashButton(id);
    ShowManualScreen(3, file, index, nullptr, nullptr);
    EnterMapScreen(0);
}

// The naming command; a click on a country shows its statistics page with the list of
// countries as its index, and the map comes back afterwards.
static void NameFeatures() {
    FlashButton(21);
    int country = 0;
    if (!PickNamedFeatures(&country)) return;
    if (country > 0) {
        char page[32];
        snprintf(page, sizeof page, "stats\\%d.txt", country);
        ShowManualScreen(3, page, "stats\\country.txt", nullptr, nullptr);
        EnterMapScreen(0);
        return;
    }
    RecomposeAndRepaintMap();
}

static void BackToTopLevel() {
    zoomDepth = 0;
    RecomposeAndRepaintMap();
}

// The place-name search: the map follows what the search did; the list of countries is shown
// in the text viewer, after which the map returns and the search opens again.
void PlaceNameSearch() {
    for (;;) {
        int result = RunPlaceSearch();
        if (result & SEARCH_COUNTRY_LIST) {
            ShowManualScreen(3, "stats\\country.txt", "", nullptr, nullptr);
            EnterMapScreen(0);
            continue;
        }
        if (result & SEARCH_MAP_MOVED) {
            MapViewChanged();
        } else if (result & SEARCH_RESULTS_CHANGED) {
            CopyToWindow(mapRect);
            PaintMapScreen();
        }
        return;
    }
}

void MapButton(int id, int fromRightClick) {
    switch (id) {
    case 1: PlayCue(CUE_ERROR); return;
    case 6: FlashButton(6); ShowRoom(); return;
    case 8: ToggleHelpPrompts(); return;
    case 11: FlashButton(11); OpenAboutPage(); return;
    case 15: ChooseBackground(); return;
    case 20: ChooseElevationScale(); return;
    case 16:
        if (OverlayChooser()) {
            CopyToWindow(mapRect);
            PaintMapScreen();
        }
        return;
    case 21: NameFeatures(); return;
    case 18: case 22: case 23: case 24: MapToolButton(id); return;
    case 25: FlashButton(25); BackToTopLevel(); return;
    case 95: MinimiseMainWindow(); return;
    case 2: MapPickAreaFor3D(); return;
    case 5: EnterGlobeView(); return;
    case 3: EnterStatisticsView(); return;
    case 19: UserNamesButton(); return;
    case 17: PlaceNameSearch(); return;
    case 9: MapManual(9, "manual\\m_2d.txt", "manual\\m_index.txt"); return;
    case 10: MapManual(10, "manual\\about.txt", nullptr); return;
    case 4: EnterFlybyView(1); return;
    case 7: FlashButton(7); SettingsDialog(MapSettingsApplied); return;
    case 12:
        FlashButton(12);
        PrintCurrentView(mapRect, MapPrintTitle(mapBackground));
        return;
    case 13: FlashButton(13); PrinterSetup(); return;
    case 14: StartDemonstration("manual\\2d.rec"); return;
    case 96:
        // Screens and tools that join the program with later parts.
        PlayCue(CUE_ERROR);
        return;
    default: Beep(); return;
    }
}
