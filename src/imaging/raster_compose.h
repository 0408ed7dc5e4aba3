// Raster map composition: the background of the 2D map (imagery, relief, elevation) composed
// from the tile layers for the current map window, and its cache per zoom depth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// The background choice: 0 "Satellite Imagery", 1 "Shaded Relief", 2 "Elevation" (height
// colours darkened by the shade), 3 the grey land silhouette, 4 "Elevation" without shade.
extern int mapBackground;
constexpr int kBackgroundChoices = 5;

// Which source a composition read, for the readout of tests and benchmarks.
enum ComposeSource {
    kSourceNone = 0, kSourceCache, kSourceBlack, kSourceOverview, kSourceCoarse, kSourceFine,
};
extern int lastComposeSource;

// Composes the map background of the current window into hbmVirtual at mapRect (from the
// depth's screen cache when it exists) and saves the cache. 1 on success. On failure (after
// its message) the map area keeps its picture, no cache is written, and the zoom depth,
// window and background go back to those of the picture shown.
int ComposeMapBackground();

// Screen cache of the current zoom depth: the pixels of mapRect in hbmVirtual (rows top
// first, 3 bytes blue, green, red a pixel, rows of the width rounded up to 4) and the
// observed and fixed elevation ranges.
int SaveScreenCache();
int LoadScreenCache();

// The composition core without files of the screen: composes a window into 24-bit rows
// (blue, green, red; width rounded up to 4) of an image w x h. 1 on success.
struct ComposeRequest {
    double west, east, south, north;
    int width, height;
    int background;
    int wholeWorld;      // depth 0: the overviews serve shade and heights
    int smoothing;
};
int ComposeRaster(const ComposeRequest& request, std::vector<uint8_t>* bgrRows, int* source);
// The elevation ramp and the view of the picture shown are kept from one composition to
// the next, so that a failure leaves them as they were. This forgets both (tests).
void ResetMapComposition();
