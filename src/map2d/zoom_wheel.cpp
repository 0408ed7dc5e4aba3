// Beyond the original design: zooming the 2D map with the mouse wheel about the point under
// the pointer. It goes through the same zoom history and limits as the click zoom and the
// zoom-out tool.
#include <cmath>

#include "core/core.h"
#include "map2d/zoom_commands.h"

// The window scaled by `factor` about a geographic point: the point keeps its fraction of the
// window's width and height, so it stays on the same pixel.
static MapWindow ScaledAbout(const MapWindow& w, double lat, double lon, double factor) {
    return MapWindow{lon - (lon - w.west) * factor, lon + (w.east - lon) * factor, lat - (lat - w.south) * factor,
                     lat + (w.north - lat) * factor};
}

// The geographic point under a pixel by the window's linear mapping, without the wrap and
// clamp of the readout, so that scaling about it is exact.
static void PointUnder(const MapWindow& w, int x, int y, double* lat, double* lon) {
    double width = mapRect.right - mapRect.left, height = mapRect.bottom - mapRect.top;
    *lon = w.west + (x - mapRect.left) / width * (w.east - w.west);
    *lat = w.north + (y - mapRect.top) / height * (w.south - w.north);
}

static int WheelIn(double lat, double lon) {
    if (zoomDepth >= 9) {
        PlayCue(CUE_ERROR);
        ShowMessage("Maximum zooming level reached");
        return 0;
    }
    if (lat <= -89.9 || lat >= 89.9 || lon < -180.0 || lon > 180.0) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    MapWindow w = ScaledAbout(CurrentMapWindow(), lat, lon, kClickZoomFactor);
    double scale = ScaleAtNextDepth(w);
    if (w.east - w.west < 0.05 || (int64_t)scale < ZoomLimit(kZoomBoxDefaultMaxScale)) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    CommitNextDepth(w);
    return 1;
}

// Shifts a window that fits the world in size back inside it.
static MapWindow MovedInsideWorld(MapWindow w) {
    double dx = w.west < -180.0 ? -180.0 - w.west : w.east > 180.0 ? 180.0 - w.east : 0.0;
    double dy = w.south < -90.0 ? -90.0 - w.south : w.north > 90.0 ? 90.0 - w.north : 0.0;
    return MapWindow{w.west + dx, w.east + dx, w.south + dy, w.north + dy};
}

static int WheelOut(double lat, double lon) {
    if (zoomDepth == 0) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    MapWindow w = ScaledAbout(CurrentMapWindow(), lat, lon, 1.0 / kClickZoomFactor);
    if (w.east - w.west > 360.0 || w.north - w.south > 180.0) {
        zoomDepth = 0;  // larger than the world: its cached image serves
        return 1;
    }
    zoomHistory[zoomDepth] = MovedInsideWorld(w);
    DiscardScreenCache(zoomDepth);
    return 1;
}

int WheelZoom(int x, int y, int notches) {
    if (notches == 0) return 0;
    double lat, lon;
    PointUnder(CurrentMapWindow(), x, y, &lat, &lon);
    return notches > 0 ? WheelIn(lat, lon) : WheelOut(lat, lon);
}
