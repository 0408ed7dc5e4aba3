// The files of a terrain set in the temporary folder, shared by the extraction that writes them
// and the loader that reads them back: their paths, clip.zl and the 104-byte name record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "map2d/map2d.h"

// [SECTION] The set's files (terrain_set_files.cpp)

// "<tempDir>\<size>.<extension>", e.g. TerrainSetPath(100, "hts").
std::string TerrainSetPath(int size, const char* extension);
// "<tempDir>\clip.zl".
std::string ClipFilePath();

// clip.zl: the map window at the time of clipping and the cell size in metres of each grid.
constexpr int kClipFileSize = 56;
struct ClipRecord {
    MapWindow window;
    double cellMetres[3];  // grids 100, 150, 350
};
// The record of a window: cell sizes from its width along the centre latitude.
ClipRecord ClipRecordFor(const MapWindow& w);
void EncodeClipRecord(const ClipRecord& r, uint8_t out[kClipFileSize]);
// 0 when the bytes are fewer than a record; longer input is read up to the record's end.
int ParseClipRecord(const uint8_t* data, size_t size, ClipRecord* out);
// Writes clip.zl; "Cannot open file %s" and 0 when it cannot be written.
int WriteClipFile(const MapWindow& w);
// Reads clip.zl; 0 without a message when it is missing or short.
int ReadClipFile(ClipRecord* out);

// The 104-byte name record of the .nam and .n2 files.
constexpr int kTerrainNameRecordSize = 104;
struct TerrainNameRecord {
    std::string name;      // at most 69 bytes are stored
    int found = 0;               // 0 a gazetteer name, 1 a place-name search result
    double row = 0, column = 0;  // position in grid cells from the north-west corner
    int32_t nameClass = 0;       // gazetteer class 1..6 (1 most important); 6 for search results
};
void EncodeTerrainNameRecord(const TerrainNameRecord& r, uint8_t out[kTerrainNameRecordSize]);
void DecodeTerrainNameRecord(const uint8_t in[kTerrainNameRecordSize], TerrainNameRecord* r);
