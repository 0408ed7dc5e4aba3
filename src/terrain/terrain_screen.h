// The terrain screen (mode 4): the loaded set shown in perspective with its own loop of mouse
// input, the panel's display types, grid sizes, exaggeration and drag controls, its legend and
// the flooding tool. The shell enters it with RunTerrainView and acts on the code it returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] The view's state (terrain_screen.cpp)

enum TerrainControl { kControlNone = 0, kControlZoom = 1, kControlShift = 2, kControlRotate = 3 };

struct TerrainView {
    int ready;            // buffers allocated and a set loaded
    int gridSize;         // 100, 150 or 350
    int displayType;      // 0..7
    int leaveCode;        // -1 while the view runs, then what RunTerrainView returns
    int control;          // the drag control held, kControlNone when none
    int lastX, lastY;     // the pointer at the previous move of a drag
    int startX, startY;   // where the drag began: the centre of the map image
    int waterLevel;       // metres, signed 16-bit
    std::string scalePath;  // the current scale: "<dataRoot>\scales\ian1.sca" or the chosen one
};
extern TerrainView terrainView;
// Lives for the program's run, not the visit.
extern int terrainReliefLevel;  // exaggeration level 1..5 shown on the panel

constexpr double kTerrainShadingGain = 1.4;
constexpr int kTerrainMinRelief = 1, kTerrainMaxRelief = 5;

// Enters the view on the area last clipped (its set files are in the temporary folder), runs
// its loop until another screen is chosen and returns that screen's code: 3 the 2D map, 5 the
// globe, 7 statistics, 8 the flyby, 1 the room. 0 when the view could not start or a reload
// failed (the message has been shown).
int RunTerrainView();
// The steps of RunTerrainView around its loop. Opening draws type 0 at grid 150; 0 when the
// buffers or the set could not be had. Closing restores the legend and frees the buffers, and
// may be called twice.
int OpenTerrainView();
void CloseTerrainView();
// One message taken from the queue while the view runs.
void HandleTerrainMessage(const Message& m);
// The window caption of a display type ("3D View: Slope").
const char* TerrainCaption(int displayType);
// Re-projects the set every `step` cells and draws it with the type; 1 on success.
int DrawTerrainView(int displayType, int step);
// The preview step of a drag for the grid size: 4, 6 or 14.
int TerrainPreviewStep(int gridSize);
// Centre of the map image: where a drag starts and where the pointer is put back in the
// small layout.
Point TerrainImageCentre();
// The grid size and exaggeration level in their boxes on the panel.
void ShowTerrainPanelValues();

// [SECTION] Commands (terrain_commands.cpp)

// A panel button of the view; leaving sets terrainView.leaveCode.
void TerrainButton(int id);
// The screen's print button (toFile 0) or its export to a file (1).
void PrintTerrainView(int toFile);
// Display type chooser entry taken: 1 when the type was drawn, 0 when refused (Details below
// the high grid) with the error cue.
int ChooseTerrainType(int type);
// Grid steps: 1 when the grid changed. A refused step plays the error cue.
int IncreaseTerrainGrid();
int DecreaseTerrainGrid();
// Loads grid n (camera kept in step: zoom x old / n, exaggeration x n / old); 0 after a load
// failure, with the view left.
int ChangeTerrainGrid(int n);
// Exaggeration level steps: 1 when changed.
int StepTerrainRelief(int step);
// The drag controls: pressing starts one at the centre of the map image; moves change the
// camera and draw the preview; the release puts the pointer back and draws in full.
void StartTerrainDrag(int control);
void TerrainDragMove(int x, int y);
// Beyond the original design: wheel turns (kWheelDelta a notch) change the camera's zoom.
void TerrainWheel(int delta);
void EndTerrainDrag();
// Where the pointer goes back to when a control is released.
Point TerrainControlHome(int control);
// The medium-grid zoom the zoom control works on: zoom x N / 150.
double TerrainMediumZoom();
// Camera preset A, grid 150, level 2, type 0; reload; 0 when the reload failed.
int ResetTerrainViewpoint();
// The legend's unit line: a click there while type 2 or 6 is shown switches metres and feet.
Rect TerrainUnitLine();
int TerrainUnitLineClick(int x, int y);

// [SECTION] Panel drawing (terrain_panels.cpp)

// The display-type chooser at (546, 45): runs its own loop until a type is taken (returned)
// or the panel is closed (-1). Details is greyed below the high grid.
int TerrainTypeChooser(int current, int detailsAllowed);
// The panel frame in the program's look, with a title; and one of its rows.
void DrawTerrainPanelFrame(Surface* s, const Rect& r, const char* title);
void DrawTerrainPanelRow(Surface* s, const Rect& r, const char* text, int marked, int enabled);

// [SECTION] Legend (terrain_legend.cpp)

// The legend box and its colour bar in the layout.
Rect TerrainLegendBox();
Rect TerrainLegendBar();
// Loads the colour table for the type and draws the legend on the window; type -1 clears it.
// 0 when the scale could not be loaded (the message has been shown).
int DrawTerrainLegend(int type, const char* scalePath);
// The texts beside the top and bottom of the bar for a type, in the current units: 90 and 0
// for Slope, the set's highest and lowest height for the others.
void TerrainLegendLabels(int type, std::string* top, std::string* bottom);
// The legend rectangles of the screen: saved and set on entry, restored on leaving.
void EnterTerrainLegendRects();
void RestoreTerrainLegendRects();

// [SECTION] Flooding (terrain_flooding.cpp)

constexpr int kFloodLevels = 32, kFloodBands = 7, kFloodEntries = 227;
constexpr int kFloodNoRelief = 224, kFloodBlack = 225, kFloodGreen = 226;
// The flood palette into the colour table and dtmLogPal: the scale sampled at 32 (or 128 when
// levels32 is 0) levels, darker copies in bands 1..6, and the three fixed entries; when
// flooded, levels 0..waterIndex get red 0, green 0 and blue + 128 in every band.
int BuildFloodPalette(const char* scalePath, int levels32, int flooded, int waterIndex);
// Shows the 8-bit image drawn last again through the colour table, without drawing it anew.
int ShowFloodPalette();
// The palette level under water for a level in metres over the set's range hmin..hmax: the
// highest level whose every height lies at or below the water; -1 when none does.
int FloodLevelForWater(int metres, int hmin, int hmax);
// The number typed into the water entry as metres: clamped to -32000..32000, feet x 0.3048.
int WaterLevelMetres(long typed, int feet);
// The tool: type 6, the water entry, Enter floods, Escape leaves. 1 when it ran.
int RunFlooding();

// [SECTION] Cross-section (terrain_cross_section.cpp)

constexpr int kMiniatureWidth = 144, kMiniatureHeight = 193;
// The miniature of the set's imagery on the tool's panel, and the strip under the map where
// the profile is drawn.
Rect CrossSectionMiniature();
Rect CrossSectionStrip();
// The set's imagery, kMiniatureWidth x kMiniatureHeight, at (left, top) of a surface.
void DrawTerrainMiniature(Surface* s, int left, int top);
// The cell a miniature pixel shows (nearest cell) for a grid of n.
void MiniatureCell(int px, int py, int n, int* column, int* row);
// Heights at `samples` evenly spaced points from cell (c0, r0) to (c1, r1), nearest cell each.
void CrossSectionProfile(int c0, int r0, int c1, int r1, int samples, std::vector<int>* heights);
// A height label of the profile: "%d m " or, in feet, "%d ft ".
std::string CrossSectionLabel(int metres);
// The tool: the wide viewpoint, the miniature, lines drawn on it until Escape or a click
// elsewhere; then the view as it was. 0 when the set could not be drawn.
int RunCrossSection();

// [SECTION] Panorama set-up (terrain_panorama.cpp)

// The observer's eye height (metres) and field of view (degrees) are kept within these.
constexpr int kMinEyeHeight = 1, kMaxEyeHeight = 6000, kMinField = 10, kMaxField = 180;
// The set-up panel at (546, 45): the miniature where a click places the observer, then rows
// for the viewing direction and the field of view (each with - and + halves), the eye height
// (typed digits, Enter takes them) and Done.
Rect PanoramaMiniature();
Rect PanoramaRow(int row);  // 0 direction, 1 field of view, 2 eye height, 3 done
// The observer placed from a miniature pixel; direction and field stepped; a typed eye height
// taken (clamped). Each redraws the set-up (type 7) with the new observer.
void PlaceObserver(int px, int py);
void TurnObserver(double degrees);
void WidenField(int degrees);
void SetEyeHeight(long metres);
// The tool's set-up: wide viewpoint, the observer at the grid's centre, the panel until Done
// or Escape; then the view as it was. 0 when the set could not be drawn.
int RunPanorama();
