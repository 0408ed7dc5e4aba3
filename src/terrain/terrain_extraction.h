// Terrain extraction: cuts an area of the 2D map out of the world's height, shade and colour
// tiles into a terrain set in the temporary folder (grids of 100, 150 and 350 cells a side),
// with the place names inside it and, for the 350 grid, the map's vector layers over the imagery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "map2d/map2d.h"
#include "terrain/terrain_files.h"

constexpr int kTerrainGridLow = 100, kTerrainGridMedium = 150, kTerrainGridHigh = 350;
constexpr int kTerrainMaxGridWidth = 1280, kTerrainMaxGridHeight = 1024;

// [SECTION] Extraction (terrain_extraction.cpp)

// Clips a new area (detailsOnly 0: clip.zl, then grids 100 and 150 with the progress bar), or
// extracts grid 350 with the "Details" overlay for the area stored in clip.zl (detailsOnly 1;
// `area` is used when clip.zl is missing). 1 when every imagery and height step succeeded;
// failures of the names and the overlay do not change the result. The codebooks are loaded
// for the call and released before it returns.
int ExtractTerrainSet(const MapWindow& area, int detailsOnly);

// The window a grid of width x height cells is cut from: west <= east, south <= north, and
// widened around its centre to width x height kilometres when it is smaller than that.
MapWindow ExtractionWindow(const MapWindow& area, int width, int height);

// [SECTION] Grids (extraction_tiles.cpp)

// One grid each, written row by row from the north-west corner: .rgb with red, green, blue a
// cell; .hts with a signed 16-bit height and .sha with a shade byte a cell. They need the
// colour, or the shade and height, codebooks loaded. 1 on success; on failure the message has
// been shown and nothing is written.
int ExtractTerrainImagery(const MapWindow& area, const char* rgbPath, int width, int height);
int ExtractTerrainHeights(const MapWindow& area, const char* htsPath, const char* shaPath, int width, int height);

// The same walks over exactly `w` (no widening) into caller-owned grids of width x height:
// heights only when shades is null, rgb as red, green, blue a cell. fullResolution 1 always
// decodes the full 4 x 4 codebook entries. No message and no file written, so they may run off
// the window's thread while the codebooks they need stay loaded; 0 without those codebooks or
// memory. Cells no tile covers keep what the caller put there.
int CutHeightGrid(const MapWindow& w, int width, int height, int fullResolution, int16_t* heights, uint8_t* shades);
int CutColourGrid(const MapWindow& w, int width, int height, int fullResolution, uint8_t* rgb);

// Test hook in the manner of a fault injector: the nth buffer allocation of the grid and
// overlay steps from now on fails (1 the first); 0 switches it off.
void FailTerrainAllocation(int nth);

// [SECTION] Names (extraction_names.cpp)

// The gazetteer's places inside `window` (already the extraction window) into the .nam file of
// a size x size grid, and the found places of the place-name search into the .n2 file. The
// number of gazetteer names written; 0 after "Cannot open file %s".
int ExtractTerrainNames(const MapWindow& window, const char* namPath, const char* n2Path, int size);

// [SECTION] Details (extraction_details.cpp)

// Draws the current map window's vector layers over the size x size imagery of the set and
// writes the picture as "<size>.vec" in the layout of the .rgb file. 1 on success.
int DrawTerrainDetails(int size);
