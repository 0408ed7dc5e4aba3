// The screens the main window procedure drives itself: the room, its pages and the 2D map.
#pragma once

#include "platform/platform.h"

// [SECTION] Views with their own loops

// A view's loop runs inside the click that entered it and returns the code of the next
// screen (0 or 3 the 2D map, 1 the room, 4 terrain, 5 globe, 7 statistics, 8 flyby,
// 17 place-name search, 18 the 2D map at a place a later start handed over); the window
// procedure posts itself that code as the next-view message.
// The button a next-view code stands for (5 globe, 7 statistics, 8 flyby, 4 terrain, 1 room,
// 17 place-name search), or 0.
int NextViewButton(int code);
// What a view's code leads to: 0 and 3 the 2D map, 18 the map at the handed-over place; any
// other code is posted as the next-view message.
void ViewReturned(int code);
// The globe tab: mode 5 on "menu\glbmain.bmp", the globe's loop, then where its code leads.
void EnterGlobeView();
// The terrain view (mode 4 on "menu\3dmain.bmp") on the area clipped last, then where its
// code leads.
void EnterTerrainView();
// The statistics tab: mode 7 on "menu\statmain.bmp" with the region chooser, its loop, then
// where its code leads.
void EnterStatisticsView();
// The flyby tab: mode 8 on "menu\flymain.bmp", from the 2D map over the map's centre
// (fromMap), otherwise from a start point the user picks; then where its code leads.
void EnterFlybyView(int fromMap);

// [SECTION] The room and its pages (room.cpp)

// The entry animation from the title page and the room itself.
void EnterRoomFromTitle();
void ShowRoom();
// A click in the room (mode 1) or on a page (modes 9-12) at a button.
void RoomButton(int id);

// [SECTION] The 2D map screen (map_screen.cpp)

extern int mapHoverState;   // 0 none, 1 hot spot, 2-5 left/right/top/bottom edge, 6 zoom in, 7 zoom out
extern int zoomOutTool;     // the map's click tool: 0 zoom in, 1 zoom out
extern Rect scaleBoxRect;   // where the scale text was drawn; a click there opens the scale dialog

// Enters the map from the room or a view: background, caches deleted, map composed, mode 3.
void EnterMapScreen(int deleteCaches);
// Opens the 2D map centred on a place at a scale denominator, from any screen the main window
// procedure drives (beyond the original design: --at and geo: links).
void OpenMapAtPlace(double latitude, double longitude, double scale);
// The place a later start handed over (TakeHandedOverPlace), or the map as it was when none waits.
void OpenWaitingPlace();
// After any change of the map window at the current depth: the depth's cache is discarded,
// the map recomposed, repainted with its status line, and the legend redrawn.
void MapViewChanged();
// Recomposes (from the cache when it is still valid) and repaints the map area.
void RecomposeAndRepaintMap();
// Mouse and keys of mode 3.
void MapMouseMove(int x, int y);
void MapLeftClick(int x, int y, uint32_t keys);
void MapRightClick(int x, int y, uint32_t keys);
void MapKeyDown(uint32_t key);
// Beyond the original design: wheel turns over the map (kWheelDelta a notch).
void MapWheel(int x, int y, int delta);
// A 2D-map button (also reached through the next-view message).
void MapButton(int id, int fromRightClick);
// Paints the parts of mode 3 drawn over hbmVirtual's copy: layers, names, status, buttons.
void PaintMapScreen();
// Button 17: the place-name search, run until the user leaves it.
void PlaceNameSearch();
// Where the flyby starts when entered from the map: over the centre of the map window, in
// kilometres east of 180 W and south of 90 N, kept 500 km inside the world's edges.
void FlybyStartPosition(int* x, int* y);
// The background chooser at (546, 45); returns the new choice or -1 when nothing changed.
int BackgroundChooser();
