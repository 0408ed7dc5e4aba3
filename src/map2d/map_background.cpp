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

int ComposeMapBackground() {
    if (!hbmVirtual) return 0;
    if (LoadScreenCache()) {
        lastComposeSource = kSourceCache;
        return 1;
    }
    RasterEntry entry{};
    if (!ChooseRasterEntry((int32_t)MapScale(), &entry)) {
        FillRect(hbmVirtual, mapRect, MakeColour(0, 0, 0));
        lastComposeSource = kSourceBlack;
        return 1;
    }
    const MapWindow& w = CurrentMapWindow();
    ComposeRequest q{w.west, w.east, w.south, w.north, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
                     mapBackground, zoomDepth == 0, entry.smoothing};
    static std::vector<uint8_t> rows;
    int source = kSourceNone;
    int ok = ComposeRaster(q, &rows, &source);
    lastComposeSource = source;
    if (!rows.empty()) DrawBgrImage(hbmVirtual, mapRect.left, mapRect.top, rows.data(), q.width, q.height, ((q.width + 3) & ~3) * 3);
    if (ok) SaveScreenCache();
    else DiscardScreenCache(zoomDepth);
    return ok;
}
