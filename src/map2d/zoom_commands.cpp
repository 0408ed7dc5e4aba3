// Edits of the zoom history behind the map commands: back one depth, zoom out, panning, re-centring at the same scale, and the re-centring of
// the previous depth after a move, with the limits of the world and of depth 9.
#include <cmath>

#include "core/core.h"
#include "map2d/zoom_commands.h"

int32_t ZoomLimit(int32_t defaultValue) {
    int32_t value;
    return ReadMaxZoomScale(&value) ? value : defaultValue;
}

int WindowInsideWorld(const MapWindow& w) {
    return w.west >= -180.0 && w.east <= 180.0 && w.south >= -90.0 && w.north <= 90.0;
}

double ScaleAtNextDepth(const MapWindow& w) {
    if (zoomDepth >= kZoomDepths - 1) return MapScaleOf(w, options.monitorInches ? options.monitorInches : 14, screenWidth, mapRect.right - mapRect.left);
    zoomHistory[zoomDepth + 1] = w;
    zoomDepth++;
    double scale = MapScale();
    zoomDepth--;
    return scale;
}

static double Span(double a, double b) { return fabs(b - a); }

void RecentrePreviousDepth() {
    if (zoomDepth < 2) return;
    const MapWindow& now = zoomHistory[zoomDepth];
    MapWindow& before = zoomHistory[zoomDepth - 1];
    double cx = (now.west + now.east) / 2.0, cy = (now.south + now.north) / 2.0;
    double halfLon = Span(before.west, before.east) / 2.0, halfLat = Span(before.south, before.north) / 2.0;
    MapWindow moved{cx - halfLon, cx + halfLon, cy - halfLat, cy + halfLat};
    if (!WindowInsideWorld(moved)) return;
    before = moved;
    DiscardScreenCache(zoomDepth - 1);
}

int ZoomBack() {
    if (zoomDepth == 0) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    zoomDepth--;  // the cached image of that depth is still good
    return 1;
}

int ZoomOut() {
    if (zoomDepth == 0) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    const MapWindow& w = zoomHistory[zoomDepth];
    double cx = (w.west + w.east) / 2.0, cy = (w.south + w.north) / 2.0;
    double dLon = Span(w.west, w.east), dLat = Span(w.south, w.north);
    MapWindow larger{cx - 1.15 * dLon, cx + 1.15 * dLon, cy - 1.15 * dLat, cy + 1.15 * dLat};
    if (WindowInsideWorld(larger)) {
        zoomHistory[zoomDepth] = larger;
        DiscardScreenCache(zoomDepth);
    } else {
        PlayCue(CUE_ERROR);
    }
    return 1;
}

int PanMap(int direction) {
    MapWindow w = zoomHistory[zoomDepth];
    double dLon = 0.8 * Span(w.west, w.east), dLat = 0.8 * Span(w.south, w.north);
    int allowed = 0;
    switch (direction) {
    case PAN_WEST: allowed = w.west - dLon > -180.0; w.west -= dLon; w.east -= dLon; break;
    case PAN_EAST: allowed = w.east + dLon < 180.0; w.west += dLon; w.east += dLon; break;
    case PAN_SOUTH: allowed = w.south - dLat > -135.0 && w.south - dLat > -90.0; w.south -= dLat; w.north -= dLat; break;
    case PAN_NORTH: allowed = w.north + dLat < 135.0 && w.north + dLat < 90.0; w.south += dLat; w.north += dLat; break;
    }
    if (!allowed) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    zoomHistory[zoomDepth] = w;
    RecentrePreviousDepth();
    DiscardScreenCache(zoomDepth);
    return 1;
}

// Tests of a re-centred window: inside the world and, for the world's 4:3 frame, inside it.
static int RecentredWindowFits(const MapWindow& w) {
    return w.west >= -180.0 && w.east <= 180.0 && w.north < 90.0 && w.south > -90.0 && w.north <= 135.0 &&
           w.south >= -135.0;
}

// Moves lo..hi inside min..max keeping its length.
static void ShiftInside(double* lo, double* hi, double min, double max) {
    if (*lo < min) {
        *hi += min - *lo;
        *lo = min;
    }
    if (*hi > max) {
        *lo -= *hi - max;
        *hi = max;
    }
}

int ZoomToPlace(double latitude, double longitude, double scale) {
    double smallest = ZoomLimit(kScaleDialogDefaultMaxScale);
    if (scale < smallest) scale = smallest;
    if (scale > kLargestTypedScale) scale = kLargestTypedScale;
    const MapWindow& world = zoomHistory[0];
    double perDegree = MapScaleForSpan(latitude, 0.0, 1.0);
    double dLon = perDegree > 0.0 ? scale / perDegree : 1e9;
    double dLat = dLon * Span(world.south, world.north) / Span(world.west, world.east);
    zoomDepth = 0;
    if (dLon < 360.0 && dLat < 180.0) {
        MapWindow w{longitude - dLon / 2.0, longitude + dLon / 2.0, latitude - dLat / 2.0, latitude + dLat / 2.0};
        ShiftInside(&w.west, &w.east, -180.0, 180.0);
        ShiftInside(&w.south, &w.north, -90.0, 90.0);
        zoomDepth = 1;
        zoomHistory[1] = w;
    }
    DiscardScreenCache(zoomDepth);
    return zoomDepth;
}

int RecentreAt(double latitude, double longitude) {
    if (zoomDepth < 1 || zoomDepth > 8) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    const MapWindow& w = zoomHistory[zoomDepth];
    double dLon = Span(w.west, w.east), dLat = Span(w.south, w.north);
    double before = MapScale();
    MapWindow centred{longitude - dLon / 2.0, longitude + dLon / 2.0, latitude - dLat / 2.0, latitude + dLat / 2.0};
    if (RecentredWindowFits(centred)) {
        // The same spans further north or south show a different scale: scale them back.
        double after = ScaleAtNextDepth(centred);
        double f = after > 0.0 ? before / after : 1.0;
        MapWindow final{longitude - f * dLon / 2.0, longitude + f * dLon / 2.0, latitude - f * dLat / 2.0,
                        latitude + f * dLat / 2.0};
        if (RecentredWindowFits(final)) {
            zoomHistory[zoomDepth] = final;
            RecentrePreviousDepth();
            DiscardScreenCache(zoomDepth);
            return 1;
        }
    }
    PlayCue(CUE_ERROR);
    ShowMessage("New zoom window would extend past end of map");
    return 0;
}
