// What the terrain view's panel buttons do: the display types, names and elevation colours,
// the grid sizes with the extraction of the high grid, the exaggeration levels, the drag
// controls for zoom, shift and rotation, the viewpoint reset and the tabs that leave.
#include <cmath>

#include "core/core.h"
#include "core/browser.h"
#include "core/demonstrations.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "map2d/map2d.h"
#include "names/place_search.h"
#include "print/settings_dialog.h"
#include "print/print.h"
#include "platform/files.h"
#include "terrain/terrain_extraction.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

static struct {
    int heldButton;  // the control's button drawn pressed while its drag lasts
    int wheelTurn;   // wheel turn not yet a whole notch
} commands;

// A failed reload leaves nothing to show: the view closes with 0.
static int LeaveAfterFailure() {
    terrainView.leaveCode = 0;
    return 0;
}

static void Redraw() { DrawTerrainView(terrainView.displayType, 1); }

// [SECTION] Display types

int ChooseTerrainType(int type) {
    if (type == kTerrainDetails && terrainView.gridSize != kTerrainDetailsGrid) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    if ((type == kTerrainAspect || type == kTerrainSlope) && !LoadTerrainDerivedLayers(terrainView.gridSize)) return 0;
    terrainView.displayType = type;
    terrainDraw.flooding = 0;
    DrawTerrainLegend(type, terrainView.scalePath.c_str());
    Redraw();
    return 1;
}

static void DisplayTypeButton() {
    DrawButton(26, 1);
    int type = TerrainTypeChooser(terrainView.displayType, terrainView.gridSize == kTerrainDetailsGrid);
    DrawButton(26, 0);
    if (type >= 0) ChooseTerrainType(type);
}

static void FlipNames() {
    FlashButton(29);
    namesOn3D = !namesOn3D;
    Redraw();
}

static void ChooserLegend(int) { DrawTerrainLegend(kTerrainElevation, ElevationScalePath().c_str()); }

// The chooser labels its colours with the set's heights; the map's ranges come back after.
static void ElevationColours() {
    ElevationRange fixed = fixedElevation, observed = observedElevation;
    fixedElevation = observedElevation = ElevationRange{(double)terrainSet.minHeight, (double)terrainSet.maxHeight};
    DrawButton(30, 1);
    int chosen = ElevationScaleChooser(546, 45, kTerrainElevation, ChooserLegend);
    DrawButton(30, 0);
    fixedElevation = fixed, observedElevation = observed;
    if (!chosen) {
        DrawTerrainLegend(terrainView.displayType, terrainView.scalePath.c_str());
        return;
    }
    terrainView.scalePath = ElevationScalePath();
    ChooseTerrainType(kTerrainElevation);
}

// [SECTION] Grid sizes

int ChangeTerrainGrid(int n) {
    int old = terrainView.gridSize;
    // The block keeps its size on screen: fewer cells are drawn larger and stand taller.
    SetTerrainZoom(GetTerrainZoom() * old / n);
    SetTerrainExaggeration(GetTerrainExaggeration() * n / old);
    terrainView.gridSize = n;
    ShowTerrainPanelValues();
    if (!LoadTerrainSet(terrainView.scalePath.c_str(), n, placeSearch.show != SEARCH_SHOW_NONE)) return LeaveAfterFailure();
    int type = terrainView.displayType;
    if ((type == kTerrainAspect || type == kTerrainSlope) && !LoadTerrainDerivedLayers(n)) return LeaveAfterFailure();
    terrainDraw.observerX = terrainDraw.observerY = n / 2;
    DrawTerrainLegend(type, terrainView.scalePath.c_str());
    Redraw();
    return 1;
}

// The high grid is cut from the tiles only when first asked for, after the user agrees.
static int HighGridReady() {
    std::string hts = TempPath("350.hts");
    if (FileExists(hts.c_str())) return 1;
    PlayCue(CUE_ERROR);
    if (MessageBox("It may take a few moments to extract this data. Continue?", "", MB_YESNO) != IDYES) return 0;
    return ExtractTerrainSet(CurrentMapWindow(), 1);
}

int IncreaseTerrainGrid() {
    int n = terrainView.gridSize;
    if (n == kTerrainGridHigh) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    if (n == kTerrainGridLow) return ChangeTerrainGrid(kTerrainGridMedium);
    if (!HighGridReady()) return 0;
    return ChangeTerrainGrid(kTerrainGridHigh);
}

int DecreaseTerrainGrid() {
    int n = terrainView.gridSize;
    if (n == kTerrainGridLow) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    if (n == kTerrainGridHigh && terrainView.displayType == kTerrainDetails) {
        PlayCue(CUE_ERROR);
        ShowMessage("The 'Details' overlay is not available under medium or low resolution. Please choose a different "
                    "overlay from the 'Display Type' menu first.");
        return 0;
    }
    return ChangeTerrainGrid(n == kTerrainGridHigh ? kTerrainGridMedium : kTerrainGridLow);
}

// [SECTION] Exaggeration

int StepTerrainRelief(int step) {
    int level = terrainReliefLevel + step;
    if (level < kTerrainMinRelief || level > kTerrainMaxRelief) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    terrainReliefLevel = level;
    double e = GetTerrainExaggeration();
    e = step > 0 ? std::fmin(e * 1.5, 60.0) : std::fmax(e * 0.66666, 0.01);
    SetTerrainExaggeration(e);
    ShowTerrainPanelValues();
    Redraw();
    return 1;
}

// [SECTION] Drag controls

double TerrainMediumZoom() { return GetTerrainZoom() * terrainView.gridSize / 150.0; }

Point TerrainControlHome(int control) {
    if (smallLayout) return TerrainImageCentre();
    switch (control) {
    case kControlZoom: return Point{768, 502};
    case kControlShift: return Point{724, 539};
    default: return Point{768, 539};
    }
}

static int ControlOfButton(int id) {
    if (id == 36 || id == 37) return kControlZoom;
    return id == 38 ? kControlShift : kControlRotate;
}

void StartTerrainDrag(int control) {
    Point c = TerrainImageCentre();
    terrainView.control = control;
    terrainView.startX = terrainView.lastX = c.x;
    terrainView.startY = terrainView.lastY = c.y;
    SetCursorShape(CURSOR_HIDDEN);
    SetCursorPosition(c.x, c.y);
}

static void DragZoom(int y) {
    double medium = std::fmin(std::fmax(TerrainMediumZoom() + (y - terrainView.lastY) * 0.02, 3.0), 7.0);
    SetTerrainZoom(medium * 150.0 / terrainView.gridSize);
}

// Beyond the original design: the mouse wheel changes the zoom within the zoom control's
// range, kWheelZoomStep of it a notch (nearer away from the user); the error cue at either end.
constexpr double kWheelZoomStep = 0.25;

void TerrainWheel(int delta) {
    commands.wheelTurn += delta;
    int notches = commands.wheelTurn / kWheelDelta;
    if (notches == 0) return;
    commands.wheelTurn -= notches * kWheelDelta;
    double now = TerrainMediumZoom(), medium = std::fmin(std::fmax(now + notches * kWheelZoomStep, 3.0), 7.0);
    if (medium == now) {
        PlayCue(CUE_ERROR);
        return;
    }
    SetTerrainZoom(medium * 150.0 / terrainView.gridSize);
    Redraw();
}

static void DragRotate(int x, int y) {
    double rotation, tilt;
    GetTerrainAngles(&rotation, &tilt);
    rotation = std::fmod(rotation + (terrainView.lastX - x), 360.0);
    if (rotation < 0) rotation += 360.0;
    tilt = std::fmin(std::fmax(tilt + (y - terrainView.lastY), 0.0), 90.0);
    SetTerrainRotation(rotation);
    SetTerrainTilt(tilt);
}

void TerrainDragMove(int x, int y) {
    switch (terrainView.control) {
    case kControlZoom: DragZoom(y); break;
    case kControlShift: SetTerrainShift(x - terrainView.startX, terrainView.startY - y); break;
    case kControlRotate: DragRotate(x, y); break;
    default: return;
    }
    terrainView.lastX = x, terrainView.lastY = y;
    DrawTerrainView(kTerrainPreview, TerrainPreviewStep(terrainView.gridSize));
}

void EndTerrainDrag() {
    Point home = TerrainControlHome(terrainView.control);
    SetCursorPosition(home.x, home.y);
    SetCursorShape(CURSOR_ARROW);
    terrainView.control = kControlNone;
    if (commands.heldButton) DrawButton(commands.heldButton, 0);
    commands.heldButton = 0;
    Redraw();
}

static void PressControl(int id) {
    DrawButton(id, 1);
    commands.heldButton = id;
    StartTerrainDrag(ControlOfButton(id));
}

// [SECTION] Viewpoint and units

int ResetTerrainViewpoint() {
    FlashButton(43);
    terrainView.gridSize = kTerrainGridMedium;
    terrainReliefLevel = 2;
    ResetTerrainCamera();
    terrainView.displayType = kTerrainImagery;
    terrainDraw.flooding = 0;
    ShowTerrainPanelValues();
    if (!LoadTerrainSet(terrainView.scalePath.c_str(), terrainView.gridSize, placeSearch.show != SEARCH_SHOW_NONE)) return LeaveAfterFailure();
    terrainDraw.observerX = terrainDraw.observerY = terrainView.gridSize / 2;
    DrawTerrainLegend(kTerrainImagery, terrainView.scalePath.c_str());
    Redraw();
    return 1;
}

Rect TerrainUnitLine() { return smallLayout ? Rect{564, 142, 628, 151} : Rect{705, 178, 786, 189}; }

int TerrainUnitLineClick(int x, int y) {
    Rect r = TerrainUnitLine();
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return 0;
    int type = terrainView.displayType;
    // Only the elevation and flood legends label heights.
    if (type != kTerrainElevation && type != kTerrainFlooding) return 0;
    imperialUnits = !imperialUnits;
    DrawUnitsSwitch(4);
    DrawTerrainLegend(type, terrainView.scalePath.c_str());
    return 1;
}

// [SECTION] Buttons

static void Leave(int id, int code) {
    DrawButton(id, 1);
    terrainView.leaveCode = code;
}

// The manual or the "about" text over the view; then the view again, or the 2D map when a
// map link was followed.
static void TerrainManual(int id, const char* file, const char* index) {
    FlashButton(id);
    int result = ShowManualScreen(4, file, index, nullptr, nullptr);
    screenMode = 4;
    LoadBMPToBackground("menu\\3dmain.bmp");
    DrawButton(2, 1);
    if (result == kManualMapLink) {
        terrainView.leaveCode = 3;
        return;
    }
    Rect whole{0, 0, screenWidth, screenHeight};
    InvalidateWindow(&whole);
}

static void FloodingButton() {
    DrawButton(31, 1);
    PlayCue(CUE_SLIDE);
    RunFlooding();
    PlayCue(CUE_SLIDE);
    DrawButton(31, 0);
}

// What the settings dialog changed: the legend's heights follow the units, the names and the
// gamma-coloured legend are drawn again with the view.
static void TerrainSettingsApplied(int changes) {
    if (changes & (SETTINGS_UNITS | SETTINGS_GAMMA)) DrawTerrainLegend(terrainView.displayType, terrainView.scalePath.c_str());
    if (changes & (SETTINGS_NAMES | SETTINGS_GAMMA)) Redraw();
}

void PrintTerrainView(int toFile) {
    const char* title = TerrainCaption(terrainView.displayType);
    if (!title[0]) title = "Mundora";
    if (toFile) ExportScreenImage(mapRect, title);
    else PrintScreenImage(mapRect, title);
}

void TerrainButton(int id) {
    switch (id) {
    case 1: Leave(1, 3); return;
    case 3: Leave(3, 7); return;
    case 4: Leave(4, 8); return;
    case 5: Leave(5, 5); return;
    case 6: Leave(6, 1); return;
    case 2: PlayCue(CUE_ERROR); return;  // the view's own tab
    case 7: FlashButton(7); SettingsDialog(TerrainSettingsApplied); return;
    case 8: ToggleHelpPrompts(); return;
    case 9: TerrainManual(9, "manual\\m_3d.txt", "manual\\m_index.txt"); return;
    case 10: TerrainManual(10, "manual\\about.txt", nullptr); return;
    case 11: FlashButton(11); OpenAboutPage(); return;
    case 14: StartDemonstration("manual\\3d.rec"); return;
    case 12: FlashButton(12); PrintTerrainView(0); return;
    case 13: FlashButton(13); PrinterSetup(); return;
    case 27:
        DrawButton(27, 1);
        PlayCue(CUE_SLIDE);
        RunPanorama();
        PlayCue(CUE_SLIDE);
        DrawButton(27, 0);
        return;
    case 28:
        DrawButton(28, 1);
        RunCrossSection();
        DrawButton(28, 0);
        return;
    case 95: MinimiseMainWindow(); return;
    case 26: DisplayTypeButton(); return;
    case 29: FlipNames(); return;
    case 30: ElevationColours(); return;
    case 31: FloodingButton(); return;
    case 32: FlashButton(32); IncreaseTerrainGrid(); return;
    case 33: FlashButton(33); DecreaseTerrainGrid(); return;
    case 34: FlashButton(34); StepTerrainRelief(1); return;
    case 35: FlashButton(35); StepTerrainRelief(-1); return;
    case 36: case 37: case 38: case 39: case 40: case 41: case 42: PressControl(id); return;
    case 43: ResetTerrainViewpoint(); return;
    default: Beep(); return;
    }
}
