// The commands that move the 2D map: zoom boxes, back, zoom out, world view, re-centring,
// panning, the scale and position dialogs, the zoom-in tool and the choice of the area the
// 3D view shows. The main window calls them while the map is shown.
#pragma once

#include <cstdint>
#include <string>

#include "map2d/map2d.h"

// Each command returns 1 when the map must be recomposed and repainted: it has already
// discarded the screen cache of every depth whose window it changed, and the caller
// recomposes the current depth, invalidates the map area and the status line and redraws the
// elevation legend. 0 means nothing changed (a refusal has played the error cue).

// Set while the zoom-out tool is chosen: a plain click on the map then goes back one depth
// (the map screen owns it).
extern int zoomOutTool;

// Default limits of MaxZoomScale when the theme file has no such key.
constexpr int32_t kZoomBoxDefaultMaxScale = 0;
constexpr int32_t kScaleDialogDefaultMaxScale = 500000;
constexpr double kLargestTypedScale = 130000000.0;

enum : int { PAN_WEST = 0, PAN_EAST = 1, PAN_NORTH = 2, PAN_SOUTH = 3 };

int ZoomBack();
int ZoomOut();
// One of PAN_WEST, PAN_EAST, PAN_NORTH, PAN_SOUTH: the arrow keys at any depth and the
// clicks within 15 pixels of an edge below the world view.
int PanMap(int direction);
// The zoom box started at a pixel; runs its drag loop until the button is released.
int ZoomBox(int x, int y, int corner);
// The toolbar's zoom command: point, then a press starts a zoom box there.
int ZoomInTool();
// A click on the map for tools that ask for a point: 0 on a right click, Escape or ten
// seconds without a click.
int PickPointOnMap(Point* at);
// The re-centre tool: pick a point and move there at the same scale.
int RecentreTool();
// The window centred on a position at the current scale, at depth d (1..8).
int RecentreAt(double latitude, double longitude);
// Beyond the original design, for the command line and geo: links: depth 1 becomes a window
// of the world view's shape centred on the place at the scale (held to the typed scales'
// limits), moved inside the map when it would cross an edge; a window larger than the world
// leaves the world view. Returns the depth shown.
int ZoomToPlace(double latitude, double longitude, double scale);
// The dialogs opened by clicks on the scale text and on the coordinate readout.
int ScaleDialog();
int PositionDialog();
// The 3D tool's choice of area. A window at most 20 degrees wide is offered as it is, once
// the user confirms; a wider one is picked as a 20-degree square on the world view, which the
// caller shows first. PickAreaFor3D returns 1 with the area (also written to depth 1).
int CurrentAreaFitsFor3D();
int ConfirmAreaFor3D();
int PickAreaFor3D(MapWindow* area);

// Helpers shared by the commands and their tests.
int32_t ZoomLimit(int32_t defaultValue);
// The scale a window would have shown at the next depth (it is written there as scratch).
double ScaleAtNextDepth(const MapWindow& w);
// 1 when a window lies inside west >= -180, east <= 180, south >= -90, north <= 90.
int WindowInsideWorld(const MapWindow& w);
// The label beside a dragged zoom box for its window: "1:" and the scale rounded as the status
// line shows it, or "(too small)" below the limit.
std::string ZoomBoxScaleLabel(const MapWindow& w, int32_t limit);
// The 20 by 20 degree window the 3D tool takes around a point picked on the world view.
MapWindow AreaWindowForPick(int x, int y);
// Stores a window at depth d + 1, makes it current and discards its screen cache.
void CommitNextDepth(const MapWindow& w);
// Beyond the original design: the mouse wheel. One notch (notches > 0 in, < 0 out) scales the
// window by the click zoom's 30 % about the pixel under the pointer, which keeps its place on
// the screen. Zooming in commits the new window at the next depth, like a click, with the same
// limits (depth 9, MaxZoomScale); zooming out replaces the window at this depth, like the
// zoom-out tool, moved inside the world at its edges and the world view once it outgrows it.
int WheelZoom(int x, int y, int notches);
// The click zoom's share of the current spans that the next depth shows.
constexpr double kClickZoomFactor = 0.3;
// Moves the window at depth d - 1 so that it is centred on the current window (d >= 2).
void RecentrePreviousDepth();
