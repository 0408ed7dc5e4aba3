// What the window preparation's files share inside the flyby folder: the pieces of each step
// that need no message and no drawing (so a worker thread can run them), and the rest that
// must run on the window's thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flyby/flyby.h"
#include "map2d/map2d.h"

// The window around (x, y) km in degrees: the aircraft's longitude and latitude +- 2.2994.
MapWindow FlybyWindowDegrees(float x, float y);

// [SECTION] Imagery and heights (flyby_imagery.cpp)

// Base colours and residuals into g->imagery (blue, green, red), black where no tile lies;
// heights (base + residual) / 500 into g->heights, 0 where no tile lies and below sea level. The grids must be
// sized; the codebooks loaded. 0 only when memory ran out.
int CutFlybyImagery(FlybyGrids* g, float x, float y);
int CutFlybyHeights(FlybyGrids* g, float x, float y);
// The rivers riv01, riv03 and riv04 drawn over g->imagery (platform drawing: the window's
// thread only). Key messages waiting in the queue are kept for the flight.
int DrawFlybyRivers(FlybyGrids* g, float x, float y);
// "Textures\PrePals.pal" read into a palette (flyby_art.cpp); 1, or its message and 0.
int LoadFlybyPalette(ColourRef palette[256]);
// The palette the colour indices refer to: the art's when it is loaded, otherwise
// the palette file read through LoadFlybyPalette (message and 0 when it cannot be read).
int FlybyPaletteReady();
int FlybyPaletteLoaded();  // without trying to read it
const ColourRef* FlybyPalette();
// Every pixel of g->imagery to its palette index in g->colours.
void ReduceFlybyColours(FlybyGrids* g);
// Finds the lowest height (from 300000 down) and subtracts it from every cell.
void SubtractLowestHeight(FlybyGrids* g);
// Reads the palette file again on next use (a test that changes volumes).
void ForgetFlybyPalette();

// [SECTION] Classes (flyby_classes.cpp)

// Class-raster row of grid row i and column of grid column j for the aircraft at (x, y),
// clamped to the raster.
int FlybyClassRow(int i, float y);
int FlybyClassColumn(int j, float x);
// Reads the class raster's bytes under the window into `classes` (512 x 512); each distinct
// raster row is read once. The number of rows read, 0 when the raster cannot be opened (no
// message).
int ReadFlybyClasses(std::vector<uint8_t>* classes, float x, float y);
// The rules that keep trees off low ground, water, snow and cliffs.
void ClearFlybyClasses(std::vector<uint8_t>* classes, const std::vector<float>& heights,
                       const std::vector<uint8_t>& colours, const ColourRef palette[256]);
constexpr const char* kFlybyClassRaster = "raster\\owe14d.img";

// [SECTION] Names (flyby_names.cpp)

// The gazetteer's places inside the window around (x, y) as 88-byte records into `file`;
// the number written, or -1 when the gazetteer or the file could not be had (no message).
int CollectFlybyNames(float x, float y, const char* file);
// At most `most` records of the file; 0 when it cannot be opened (no message).
int ReadFlybyNameFile(const char* file, std::vector<FlybyName>* names, int most);
