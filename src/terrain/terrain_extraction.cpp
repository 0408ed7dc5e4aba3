// Clipping an area for the 3D terrain: writes clip.zl, clears the old set, loads the four
// codebooks for the call and runs the imagery, height, name and overlay steps of each grid.
// The low and medium grids come together with each new area; the high grid on demand later.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "terrain/terrain_extraction.h"

MapWindow ExtractionWindow(const MapWindow& area, int width, int height) {
    MapWindow w{std::min(area.west, area.east), std::max(area.west, area.east), std::min(area.south, area.north),
                std::max(area.south, area.north)};
    double widthKm = (w.east - w.west) / 360.0 * 40080.0, heightKm = (w.north - w.south) / 180.0 * 20040.0;
    if (widthKm < width || heightKm < height) {
        // Too small for one kilometre a cell: the grid is then a kilometre a cell around the centre.
        double cx = (w.west + w.east) / 2.0, cy = (w.south + w.north) / 2.0;
        double dx = (width / 2) * 360.0 / 40080.0, dy = (height / 2) * 180.0 / 20040.0;
        w = MapWindow{cx - dx, cx + dx, cy - dy, cy + dy};
    }
    return w;
}

namespace {

// The files a new extraction replaces; the overlay (.vec) is overwritten instead.
void DeleteSetFiles(int size) {
    for (const char* extension : {"asp", "hts", "ht2", "nam", "n2", "rgb", "sha", "slp"})
        RemoveFile(TerrainSetPath(size, extension).c_str());
}

// Shows its own message; on failure nothing stays loaded.
int LoadExtractionCodebooks() {
    if (!LoadCodebook("raster\\shadow\\shadow.cod")) return 0;
    if (!LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod")) {
        ReleaseCodebook();
        return 0;
    }
    if (!LoadCodebookH("raster\\hts\\hts_4096.cod")) {
        ReleaseCodebook();
        ReleaseCodebookRGB();
        return 0;
    }
    return 1;
}

void ReleaseExtractionCodebooks() {
    ReleaseCodebook();
    ReleaseCodebookRGB();
    ReleaseCodebookH();
}

// One grid: imagery, heights with shading, names, with the progress bar stepping from `percent`
// by `step` before each (no bar when step is 0). 1 when imagery and heights succeeded.
int ExtractGrid(const MapWindow& area, int size, double percent, double step) {
    if (step > 0) ProgressIndicator(0, (int)percent);
    int ok = ExtractTerrainImagery(area, TerrainSetPath(size, "rgb").c_str(), size, size);
    if (step > 0) ProgressIndicator(0, (int)(percent + step));
    ok = ExtractTerrainHeights(area, TerrainSetPath(size, "hts").c_str(), TerrainSetPath(size, "sha").c_str(), size, size) && ok;
    if (step > 0) ProgressIndicator(0, (int)(percent + 2 * step));
    ExtractTerrainNames(ExtractionWindow(area, size, size), TerrainSetPath(size, "nam").c_str(),
                        TerrainSetPath(size, "n2").c_str(), size);
    return ok;
}

}  // namespace

int ExtractTerrainSet(const MapWindow& area, int detailsOnly) {
    // The overlay draws the current map window, so a details extraction puts the clipped
    // window there for the call and gives the user's history back afterwards.
    MapWindow savedHistory[kZoomDepths];
    memcpy(savedHistory, zoomHistory, sizeof savedHistory);
    int savedDepth = zoomDepth;
    MapWindow window = area;
    if (!detailsOnly) {
        WriteClipFile(area);
    } else {
        ClipRecord clip;
        if (ReadClipFile(&clip)) window = clip.window;
    }
    for (int size : {kTerrainGridLow, kTerrainGridMedium, kTerrainGridHigh})
        if (!detailsOnly || size == kTerrainGridHigh) DeleteSetFiles(size);
    if (!LoadExtractionCodebooks()) return 0;
    int ok;
    if (!detailsOnly) {
        ok = ExtractGrid(window, kTerrainGridLow, 0.0, 100.0 / 6);
        ok = ExtractGrid(window, kTerrainGridMedium, 50.0, 100.0 / 6) && ok;
        ProgressIndicator(0, 100);
        ProgressIndicator(1, 100);
    } else {
        zoomDepth = std::max(zoomDepth, 1);  // the overlay is drawn from the layer files, never the world view's
        zoomHistory[zoomDepth] = window;
        ok = ExtractGrid(window, kTerrainGridHigh, 0.0, 0.0);
        DrawTerrainDetails(kTerrainGridHigh);
    }
    ReleaseExtractionCodebooks();
    memcpy(zoomHistory, savedHistory, sizeof savedHistory);
    zoomDepth = savedDepth;
    return ok;
}
