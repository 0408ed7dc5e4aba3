// Raster composition: a window of the Earth (imagery, relief, elevation) composed from the
// tile layers into 24-bit rows; the 2D map draws its background through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Which source a composition read, for the readout of tests and benchmarks.
enum ComposeSource {
    kSourceNone = 0, kSourceCache, kSourceBlack, kSourceOverview, kSourceCoarse, kSourceFine,
};

// The composition core without files of the screen: composes a window into 24-bit rows
// (blue, green, red; width rounded up to 4) of an image w x h. 1 on success.
struct ComposeRequest {
    double west, east, south, north;
    int width, height;
    int background;      // 0 imagery, 1 relief, 2 elevation over shade, 3 silhouette, 4 elevation
    int wholeWorld;      // depth 0: the overviews serve shade and heights
    int smoothing;
};
int ComposeRaster(const ComposeRequest& request, std::vector<uint8_t>* bgrRows, int* source);
// The elevation ramp is kept from one composition to the next, so that a scale that cannot be
// read leaves the colours as they were. This forgets it (tests).
void ResetElevationRamp();

// The observed elevation range of the request's window into observedElevation: the lowest and
// highest height sample, with the coast's -5 raised to 0, clamped to -392 .. 8848 and at least
// a metre wide; the fixed range when nothing was found or the window is the whole world.
// Precise: the 60-degree height tiles sampled once per pixel column and row (what the tiles'
// composition shows). Quick: the world grid "hts.top", one sample per pixel (at most 1023
// columns). 0 after "Cannot open file %s" (quick, no grid) or an allocation message.
int WindowElevationRangePrecise(const ComposeRequest& request);
int WindowElevationRangeQuick(const ComposeRequest& request);
