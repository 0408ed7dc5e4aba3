// Vector layers over the 2D map: the fourteen layer switches, the drawing pass that runs after
// every repaint, the polyline drawer shared with the 3D views, the world point files of the
// world view, the graticule and the edge ticks.
#pragma once

#include <cstdint>

#include "map2d/map2d.h"
#include "platform/platform.h"

constexpr int kLayerSwitches = 14;
constexpr int kVectorWorkBufferSize = 30000;

extern uint8_t layerSwitches[kLayerSwitches];
// Set by each drawing pass: the "CITIES" and "RIV01" rows were drawn (the names read them).
extern int citiesDrawn, riversDrawn;
// Set when Escape stops the drawing; the main window clears it before each repaint.
extern int drawAborted;

// [SECTION] Switches (layer_switches.cpp)

// The switch a row turns on when the theme file has it on (first load only); -1 for none.
int LayerSwitchOfRow(const char* name);
// Whether a row of this name is drawn under the switches.
int LayerOnUnderSwitches(const char* name, const uint8_t switches[kLayerSwitches]);
// Loads the layer table; the first load of a run derives the switches from the file's on
// flags, every load then sets each row's on flag from the switches. Returns the row count.
int LoadLayerTableWithSwitches();
// Forgets the switches so that the next load derives them again (tests, a new run).
void ResetLayerSwitches();

// [SECTION] Drawers (vector_drawer.cpp, grid_layers.cpp)

// Takes pending key messages; 1 (and sets drawAborted) when one of them was Escape.
// Looks at most every 10 ms; a drawer restarts the clock so that its first look is real.
int EscapePending();
void RestartEscapePolling();
// The polyline drawer: one layer's index and data files streamed through `buffer` into the
// rectangle (x, y, width, height) showing map window w. Features no larger than a pixel are
// drawn as one pixel of pointColour. 0 when a file could not be read (the message was shown).
int DrawOneVectorLayer(Surface* s, const MapWindow& w, int width, int height, int x, int y,
                       const char* dataPath, const char* indexPath, uint8_t* buffer, int bufferSize,
                       ColourRef pointColour);
// The world view's pre-rasterised layer "800_z0\%s.top" in one colour.
int DrawWorldPointFile(Surface* s, int width, int height, int x, int y, const char* path,
                       uint8_t* buffer, int bufferSize, ColourRef colour);
// The graticule of a "~g" row with the surface's pen; tropics and polar circles dashed.
void DrawGridLayer(Surface* s, const MapWindow& w, const Rect& r, double spacing);
// The edge ticks of a "*t l g" row (tick length, label switch and spacing at columns 1, 4, 6).
void DrawTickLayer(Surface* s, const MapWindow& w, const Rect& r, const char* name, ColourRef colour);

// [SECTION] Drawing passes (vector_layers.cpp)

// Draws every switched-on layer for the current window into the rectangle, with the layer's
// description in the status line while it draws. 0 when the work buffer was not available.
int DrawVectorLayers(Surface* s, int x, int y, int width, int height);
// The same pass for a page: every line width multiplied by `thickness`, the scale rules judged
// at `ruleScale` (0: the scale of the rectangle on the monitor), and the descriptions shown in
// the status line only when `describe` is set.
struct VectorPassOptions {
    int thickness = 1;
    int32_t ruleScale = 0;
    int describe = 1;
};
int DrawVectorLayersWith(Surface* s, const Rect& r, const VectorPassOptions& options);
// Whether a layer is drawn in a window whose longitude span is `degrees` (3D textures).
int LayerDrawnAtSpan(const VectorLayer& layer, double degrees);
void CityColours(ColourRef* primary, ColourRef* secondary);

// [SECTION] The overlay chooser (overlay_chooser.cpp)

// Check box ids: the layer switch i is kOverlayLayerBox + i, the name group i kOverlayNameBox + i.
enum : int { kOverlayLayerBox = 1000, kOverlayNameBox = 1100 };
// The dialog of the layer switches and name groups; 1 when the user changed something.
int OverlayChooser();
