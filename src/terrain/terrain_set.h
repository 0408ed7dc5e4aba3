// The terrain set as the terrain view holds it: the set files of one clipped area loaded into
// one block of per-cell layers reached through row tables, the layers derived from the heights,
// the colour table, the label table and the off-screen image the renderer draws into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "terrain/terrain_files.h"

// [SECTION] Sizes

constexpr int kTerrainMaxGrid = 350;           // the buffers are allocated once for this grid
constexpr int kTerrainDetailsGrid = 350;       // the only grid with a ".vec" details file
constexpr int kTerrainLayerCount = 13;
constexpr int kTerrainCellBytes = 22;          // all thirteen layers of one cell
constexpr int kTerrainNotProjected = -9999;    // screen position of a cell not projected
constexpr int kTerrainInfoHeaderBytes = 40;
constexpr int kTerrainInfoBytes = kTerrainInfoHeaderBytes + 4 * 256;  // header and colour table
constexpr int kTerrainLogPalBytes = 4 + 4 * 256;                      // version, count, entries
constexpr int kTerrainNameBytes = 69;          // the longest name a record holds
constexpr int kTerrainMaxLabels = 20;
constexpr double kTerrainDefaultCellSize = 1000.0;  // metres, when clip.zl cannot tell
constexpr double kTerrainSlopeRange = 90.0;    // slope codes 0..255 span 0..90 degrees

// [SECTION] Buffers (terrain_buffers.cpp): made when the terrain view opens, freed when it closes

struct TerrainScreenPoint {
    int32_t x, y;   // kTerrainNotProjected in either: not projected
};

// The thirteen row tables: every layer is addressed as layer[row][column].
struct TerrainRows {
    int16_t** height;              // 1: metres, ".hts"
    int16_t** smoothed;            // 2: metres, ".ht2" (derived)
    uint8_t** shade;               // 3: ".sha"; 0 where the set has no relief (sea)
    uint8_t** red;                 // 4-6: imagery, ".rgb"
    uint8_t** green;
    uint8_t** blue;
    TerrainScreenPoint** screen;   // 7: where the renderer projected the cell
    uint8_t** slope;               // 8: slope code, ".slp" (derived)
    uint8_t** aspect;              // 9: aspect code, ".asp" (derived)
    uint8_t** viewMask;            // 10: panorama set-up: 255 not computed, 2 in view, 1 visible, 0 out
    uint8_t** detailRed;           // 11-13: imagery with the map's vector layers, ".vec"
    uint8_t** detailGreen;
    uint8_t** detailBlue;
};

struct TerrainBuffers {
    uint8_t* dtmInfoHdr = nullptr;   // image header (40 bytes) and colour table (blue, green, red, 0)
    void* dtmRowPtr = nullptr;       // the row tables, one block of 13 x height pointers
    uint8_t* dtmDataBuf = nullptr;   // the layers, 22 bytes a cell, each layer a block of rows
    uint8_t* dtmLogPal = nullptr;    // logical palette: version, count, 256 x (red, green, blue, flags)
    uint8_t* dtmBmpData = nullptr;   // the off-screen image's pixels, 3 bytes a pixel, top row first
    Surface* image = nullptr;        // the off-screen image with its drawing state
    int width = 0, height = 0;       // the largest grid the block holds
    int imageWidth = 0;              // the map image width rounded up to a multiple of 4
    int imageHeight = 0;
    TerrainRows rows{};
};
extern TerrainBuffers terrainBuffers;

// Allocates the buffers for grids up to w x h and an off-screen image for a map image of
// imageWidth x imageHeight, all or nothing. Shows "dtmDataBuf already allocated" when they
// exist, "Cannot allocate dtmInfoHdr[]" (dtmRowPtr, dtmDataBuf, dtmLogPal, dtmBmpData) or
// "CreateDIBitmap() == NULL" and returns 0 with nothing kept.
int AllocateTerrainBuffers(int w, int h, int imageWidth, int imageHeight);
// 1 when everything was allocated and is now released; 0 (nothing released) otherwise.
int FreeTerrainBuffers();
// Makes the next allocations of this folder fail: the nth one from now (1 the next), 0 none.
// Lets tests reach every "Cannot allocate" path.
void TerrainFailAllocation(int nth);
// malloc with the failure above; 0 when it fails.
void* TerrainAllocate(size_t bytes);

// [SECTION] The off-screen image (terrain_image.cpp)

// Bits a pixel of the image as its header says: 8 (palette indices, 1 byte a pixel) or 24
// (blue, green, red). The buffers start at 8.
int TerrainImageDepth();
void SetTerrainImageDepth(int bits);
// Bytes of one row of dtmBmpData at the current depth.
int TerrainImageRowBytes();
// Puts dtmBmpData into the off-screen image (through the header's colour table at 8 bits).
int PutTerrainImage();
// Takes the off-screen image's pixels into dtmBmpData as 24 bits (what was drawn into it, the
// frame for instance), and sets the depth to 24.
int TakeTerrainImage();

// [SECTION] The loaded set (terrain_set.cpp)

struct TerrainSet {
    int size = 0;                      // N of the N x N grid loaded, 0 when none
    int minHeight = 0, maxHeight = 1;  // height range of layer 1; maxHeight > minHeight
    int derivedLoaded = 0;             // layers 2, 8 and 9 hold this set's derived layers
    int labelCount = 0;
    TerrainNameRecord labels[kTerrainMaxLabels];
};
extern TerrainSet terrainSet;
// Loads grid n x n of the set in tempDir: heights, shade, imagery, the details (grid 350;
// 0, 0, 128 for the others), the colour table from scalePath, the height range and the label
// table (the search results first when searchShown). Every cell is projected for the terrain
// camera onto the off-screen image (the renderer projects again before it draws). Shows "dtmDataBuf not allocated yet",
// "xSize/ySize (%d,%d) > (%d,%d)" (n, n and the allocated grid), "Cannot open file %s" or
// "Cannot read data from file %s" (a file shorter than its grid) and returns 0; layers
// already read stay.
int LoadTerrainSet(const char* scalePath, int n, int searchShown);

// [SECTION] Colour table (terrain_colours.cpp)

// Samples 256 colours of a scale file (data root first, then the volume) into the image
// header's colour table: entry i takes scale colour trunc(i / 256 x 10000). Shows
// "dtmInfoHdr not allocated yet" or "Cannot open file %s" and returns 0.
int LoadTerrainColourTable(const char* scalePath);
// Entry i (0..255) of the colour table; black without buffers.
ColourRef TerrainColourEntry(int i);

// [SECTION] Labels (terrain_labels.cpp)

// The 104-byte record of ".nam" and ".n2": name (69 bytes and a zero), found flag, zero,
// row and column as 64-bit floats, class as a 32-bit integer, twelve zero bytes.
std::vector<uint8_t> EncodeTerrainNameFile(const std::vector<TerrainNameRecord>& records);
// Whole records only; a trailing partial record is ignored.
void DecodeTerrainNameFile(const uint8_t* data, size_t size, std::vector<TerrainNameRecord>* out);
// The label table from the two files' records: search results in file order (up to 20), then
// the gazetteer names class 1 to 6, each class in file order, skipping a name already taken.
// Returns the count.
int ChooseTerrainLabels(const std::vector<TerrainNameRecord>& found, const std::vector<TerrainNameRecord>& gazetteer,
                        TerrainNameRecord out[kTerrainMaxLabels]);
// Fills terrainSet's label table from the ".n2" (when searchShown) and ".nam" files of grid n.
// "Cannot open file %s" or "Cannot allocate array[]" and 0 on failure (the table is then empty).
int LoadTerrainLabels(int n, int searchShown);

// [SECTION] Derived layers (derived_layers.cpp)

// Slope and aspect in degrees of the square q0, q1, q2, q3 (q0 and q2 diagonal corners, so
// q1 and q3) of side d metres. The aspect is 0 on flat ground, otherwise in (0, 360].
void TerrainSlopeAspect(double q0, double q1, double q2, double q3, double d, double* slope, double* aspect);
// Codes stored in ".slp" and ".asp": degrees scaled onto 0..255 (slope over 0..90, aspect over
// 0..360), truncated and clamped.
int TerrainSlopeCode(double slope);
int TerrainAspectCode(double aspect);
// Cell size in metres of grid n from "<tempDir>\clip.zl"; 1000 when it cannot be read.
double TerrainCellSize(int n);
// Smoothed heights: each cell the mean of the cells within 3 cells of it, truncated toward 0.
void SmoothTerrainHeights(const int16_t* heights, int n, int16_t* out);
// Slope and aspect codes of every cell from the smoothed heights; the last row is 0 and the
// last column repeats its left neighbour.
void DeriveSlopeAspect(const int16_t* smoothed, int n, double d, uint8_t* slope, uint8_t* aspect);
// Writes ".ht2", ".asp" and ".slp" of grid n from its ".hts". "Cannot open file %s",
// "Cannot read data from file %s" or "Cannot allocate hts[]" and 0 on failure.
int DeriveTerrainFiles(int n);
// Loads layers 2, 8 and 9 of the loaded set, deriving their files first when ".slp" is missing
// or not of the grid's size; nothing to do when they are loaded already. Messages as above.
// Refuses as LoadTerrainSet does without buffers or for a grid larger than they hold.
int LoadTerrainDerivedLayers(int n);
