// The commands of the map's tools that edit the zoom history: edge and arrow-key pans, the
// zoom box, going back one depth, and the clicks on the locator and the scale. The window
// procedure calls them; each returns 1 when it changed the map window.
#pragma once

#include <cstdint>

enum PanDirection { kPanWest = 0, kPanEast = 1, kPanNorth = 2, kPanSouth = 3 };

// Moves the window of the current depth; a refused pan plays the error cue.
int MapEdgePan(int direction);
// A zoom box centred on (x, y), or with `corner` one whose corner is there.
int MapZoomBox(int x, int y, int corner);
// The previous depth of the zoom history; the error cue at depth 0.
int MapBackOneDepth();
// Beyond the original design: wheel notches at a pixel of the map zoom in (> 0) or out about it.
int MapWheelZoom(int x, int y, int notches);
// The locator (695-796 x 434-488) and the scale text.
int MapLocatorClick(int x, int y);
int MapScaleBoxClick(int x, int y);
// The measuring and zoom buttons of the map's panel: 18, 21, 22, 23, 24.
int MapToolButton(int id);
// The 3D tab: pick the area on the map, cut it into a terrain set and enter the terrain view.
int MapPickAreaFor3D();
