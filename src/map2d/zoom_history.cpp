// The zoom history: ten map windows, depth 0 the whole world, and the current depth.
#include "map2d/map2d.h"

MapWindow zoomHistory[kZoomDepths];
int zoomDepth;

void ResetZoomHistory() {
    zoomDepth = 0;
    zoomHistory[0] = MapWindow{-180.0, 180.0, -135.0, 135.0};
}
