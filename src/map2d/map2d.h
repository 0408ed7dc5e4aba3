// The 2D map: the zoom history of map windows and the projection that every map layer uses.
#pragma once

struct MapWindow {
    double west, east, south, north;
};

constexpr int kZoomDepths = 10;
extern MapWindow zoomHistory[kZoomDepths];
extern int zoomDepth;

// Depth 0 holds the whole world as a 4:3 window: -180..180 by -135..135 degrees.
void ResetZoomHistory();
inline const MapWindow& CurrentMapWindow() { return zoomHistory[zoomDepth]; }
