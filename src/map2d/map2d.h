// The 2D map: the zoom history of map windows and the projection that every map layer uses.
#pragma once

struct MapWindow {
    double west, east, south, north;
};

// [SECTION] Vector layer files (vector_format.cpp)
// A layer is an index of one-degree cells ("v_index\%s.idx") and a data file of polylines
// ("v_data\%s.dat") in ten-thousandths of a degree from each cell's south-west corner; the
// world view draws it from a point file on an 800 x 600 grid ("800_z0\%s.top"). The viewer
// reads these files and the volume builder writes them through the same code.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kVectorHeaderSize = 256;     // leading bytes of both files, not interpreted
constexpr int kVectorCellEntrySize = 12;
constexpr int kVectorRecordSize = 14;
constexpr int kVectorPointSize = 4;
constexpr int kVectorUnitsPerDegree = 10000;

struct VectorCellEntry {
    int32_t cell;       // (south + 90) * 360 + (west + 180)
    int32_t nRecords;
    uint32_t offset;    // of the cell's first record in the data file
};

struct VectorRecord {
    uint16_t extent;    // size of the feature, ten-thousandths of a degree
    uint16_t nPoints;
    int16_t refLon, refLat;  // one point standing for the feature when it is under a pixel
};

struct VectorPoint {
    int16_t dLon, dLat;  // from the cell's south-west corner
};

// One record with its points in the cell it belongs to, as the builder hands them over.
struct VectorCellRecord {
    int32_t cell;
    VectorRecord record;
    std::vector<VectorPoint> points;
};

inline int VectorCellNumber(int south, int west) { return (south + 90) * 360 + (west + 180); }
inline int VectorCellSouth(int cell) { return cell / 360 - 90; }
inline int VectorCellWest(int cell) { return cell % 360 - 180; }
inline int IsVectorCell(int cell) { return cell >= 0 && cell < 180 * 360; }

// The longitude shift (0, -360 or +360) that brings the cell whose west edge is cellWest into
// the window; 0 when the cell cannot be seen in it.
int VectorCellShift(const MapWindow& w, int cellWest, int* shift);

// Field decoders for buffers the caller has already checked to hold the entry.
void DecodeVectorCellEntry(const uint8_t* b, VectorCellEntry* e);
void DecodeVectorRecord(const uint8_t* b, VectorRecord* r);
void DecodeVectorPoint(const uint8_t* b, VectorPoint* p);

// A whole index file: 0 when it is too short for its header, its cell count or its entries.
int ParseVectorIndex(const uint8_t* data, size_t size, std::vector<VectorCellEntry>* cells);
// The records of one cell and all their points, from a whole data file; 0 when the cell's
// block runs past the end of the file.
int ParseVectorCell(const uint8_t* data, size_t size, const VectorCellEntry& cell,
                    std::vector<VectorRecord>* records, std::vector<VectorPoint>* points);
// Builds both files of a layer. Records may come in any order; cells are written in increasing
// number, records keep their order within a cell. 0 when a record is in no valid cell, holds
// more than 65,535 points, or the data file would pass 4 GB.
int EncodeVectorLayer(const char* layerName, const std::vector<VectorCellRecord>& records,
                      std::vector<uint8_t>* index, std::vector<uint8_t>* data);

constexpr int kWorldGridColumns = 800;
constexpr int kWorldGridRows = 600;
constexpr int kWorldPointHeaderSize = 4;

struct WorldPoint {
    int16_t column, row;  // row 0 at the bottom of the depth-0 window
};

// The grid cell of a position in the depth-0 window (-180..180, -135..135), clamped to the grid.
int WorldGridColumn(double longitude);
int WorldGridRow(double latitude);
void EncodeWorldPoints(const std::vector<WorldPoint>& points, std::vector<uint8_t>* out);
// 0 when the file is shorter than its header; a trailing partial pair is ignored.
int ParseWorldPoints(const uint8_t* data, size_t size, std::vector<WorldPoint>* points);

constexpr int kZoomDepths = 10;
extern MapWindow zoomHistory[kZoomDepths];
extern int zoomDepth;

// Depth 0 holds the whole world as a 4:3 window: -180..180 by -135..135 degrees.
void ResetZoomHistory();
inline const MapWindow& CurrentMapWindow() { return zoomHistory[zoomDepth]; }
