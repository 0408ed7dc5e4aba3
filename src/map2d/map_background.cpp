// The background of the 2D map: the raster composition of the current map window for the
// user's background choice, drawn into hbmVirtual at mapRect and kept per zoom depth in the
// screen cache, so that going back up the zoom history does not compose it again.
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "map2d/map2d.h"

int mapBackground;
int lastComposeSource;

// The window, depth and background of the picture now in the map area. A composition that
// fails puts them back, so that what is drawn over the kept picture (grid, coastlines,
// names, the readout and the scale) belongs to it.
static struct {
    int valid = 0;
    int depth = 0;
    MapWindow window{};
    int background = 0;
} shownMap;

static void RememberShownMap() {
    shownMap.valid = 1;
    shownMap.depth = zoomDepth;
    shownMap.window = CurrentMapWindow();
    shownMap.background = mapBackground;
}

static void RestoreShownMap() {
    if (!shownMap.valid) return;
    zoomDepth = shownMap.depth;
    zoomHistory[zoomDepth] = shownMap.window;
    mapBackground = shownMap.background;
}

void ResetMapComposition() {
    ResetElevationRamp();
    shownMap.valid = 0;
}

int ComposeMapBackground() {
    if (!hbmVirtual) return 0;
    if (LoadScreenCache()) {
        lastComposeSource = kSourceCache;
        RememberShownMap();
        return 1;
    }
    RasterEntry entry{};
    if (!ChooseRasterEntry((int32_t)MapScale(), &entry)) {
        FillRect(hbmVirtual, mapRect, MakeColour(0, 0, 0));
        lastComposeSource = kSourceBlack;
        RememberShownMap();
        return 1;
    }
    const MapWindow& w = CurrentMapWindow();
    ComposeRequest q{w.west, w.east, w.south, w.north, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
                     mapBackground, zoomDepth == 0, entry.smoothing};
    static std::vector<uint8_t> rows;
    int source = kSourceNone;
    int ok = ComposeRaster(q, &rows, &source);
    lastComposeSource = source;
    if (!ok) {
        // The user keeps the picture they had, and the view that goes with it; only the
        // message tells of the failure.
        DiscardScreenCache(zoomDepth);
        RestoreShownMap();
        return 0;
    }
    DrawBgrImage(hbmVirtual, mapRect.left, mapRect.top, rows.data(), q.width, q.height, ((q.width + 3) & ~3) * 3);
    SaveScreenCache();
    RememberShownMap();
    return 1;
}
