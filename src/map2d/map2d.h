// The 2D map: the zoom history of map windows and the projection that every map layer uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

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

// [SECTION] Projection and scale (map_view.cpp)

// Geographic position to window pixel for a window shown in a rectangle (truncating).
void GeoToPixelIn(const MapWindow& w, const Rect& r, double latitude, double longitude, int* x, int* y);
// The same for the current window in mapRect.
void GeoToPixel(double latitude, double longitude, int* x, int* y);
// Window pixel to geographic position: longitude wrapped into -180..180, latitude clamped.
void PixelToGeoIn(const MapWindow& w, const Rect& r, int x, int y, double* latitude, double* longitude);
void PixelToGeo(int x, int y, double* latitude, double* longitude);
// The rows of latitude 89.9 and -89.9 of the current window, kept inside mapRect; tools that
// let the user point at the map hold the pointer between them.
void PoleRows(int* yNorth, int* ySouth);

constexpr double kMetresPerDegree = 111317.09966666668;
// Scale denominator of a window of the given ground width shown across mapWidth pixels of a
// screen screenPixels wide on a monitor of `inches` diagonal.
double MapScaleOf(const MapWindow& w, int inches, int screenPixels, int mapWidth);
// The scale denominator of the current window on the user's monitor; callers truncate it.
double MapScale();
// The scale a prospective window spanning longitudes lon1..lon2 at latitude would have.
double MapScaleForSpan(double latitude, double lon1, double lon2);
// Ground width of the current window along its central latitude, in metres.
double WindowWidthMetres();

// [SECTION] Number and angle texts (number_texts.cpp)

// "%.Nf" with commas between groups of three digits: (1234567.891, 2) -> "1,234,567.89".
std::string formatGrouped(double value, int decimals);
// Degrees, minutes and seconds with the Windows-1252 degree sign (0xB0) and N/S, E/W.
void formatDms(double latitude, double longitude, std::string* latText, std::string* lonText);

// [SECTION] Theme file "theme1.dat" (theme_file.cpp)

struct RasterEntry {
    int smoothing;
    int32_t lower, upper;
};

struct VectorLayer {
    uint8_t on;
    char name[17];           // at most 16 characters
    char description[44];    // at most 43 characters
    uint8_t red1, green1, blue1;
    uint8_t red2, green2, blue2;
    uint8_t lineStyle;       // 0..5
    uint8_t width1, width2;
    int32_t scaleA, scaleB;
    uint8_t scaleRule;       // 0 always, 1 S < A, 2 S > B, 3 A < S < B
};

struct CountryId {
    int16_t number;
    char name[62];           // at most 61 characters, as written after the opening quote
};

constexpr int kMaxVectorLayers = 100;
constexpr int kMaxCountryIds = 300;
extern VectorLayer vectorLayers[kMaxVectorLayers];
extern int vectorLayerCount;
extern CountryId countryIds[kMaxCountryIds];
extern int countryIdCount;
// The colours of the "CITIES" layer, kept when the layer table loads.
extern ColourRef cityColourPrimary, cityColourSecondary;

// "[MaxZoomScale=": 1 when found.
int ReadMaxZoomScale(int32_t* out);
// The first "[Raster2D=" entry with lower <= scale < upper; 1 when found.
int ChooseRasterEntry(int32_t scale, RasterEntry* out);
// The "[Vector 2D Layers]" rows; returns the number loaded.
int LoadVectorLayerTable();
// The "[Names Country IDs]" rows; returns the number loaded.
int LoadCountryIds();
// The same rules over the text of a theme file already in memory (tests, fuzzing).
int ParseMaxZoomScale(const char* text, size_t size, int32_t* out);
int ParseRasterEntry(const char* text, size_t size, int32_t scale, RasterEntry* out);
int ParseVectorLayerTable(const char* text, size_t size);
int ParseCountryIds(const char* text, size_t size);
// Whether a layer with this scale rule and bounds is drawn at map scale S.
int LayerDrawnAtScale(const VectorLayer& layer, int32_t scale);
// The integer field of a theme line at a column: blanks skipped, a minus sign, then digits.
int32_t ThemeFieldAt(const char* line, int column);

// [SECTION] The map background (map_background.cpp)

// The background choice: 0 "Satellite Imagery", 1 "Shaded Relief", 2 "Elevation" (height
// colours darkened by the shade), 3 the grey land silhouette, 4 "Elevation" without shade.
extern int mapBackground;
constexpr int kBackgroundChoices = 5;

// The source of the last composition (ComposeSource of imaging/raster_compose.h).
extern int lastComposeSource;
// Composes the map background of the current window into hbmVirtual at mapRect (from the
// depth's screen cache when it exists) and saves the cache. 1 on success. On failure (after
// its message) the map area keeps its picture, no cache is written, and the zoom depth,
// window and background go back to those of the picture shown.
int ComposeMapBackground();
// Forgets the picture shown and the elevation ramp kept between compositions (tests).
void ResetMapComposition();

// [SECTION] Screen cache (screen_cache.cpp: one file per zoom depth in the temporary directory)

// Screen cache of the current zoom depth: the pixels of mapRect in hbmVirtual (rows top
// first, 3 bytes blue, green, red a pixel, rows of the width rounded up to 4) and the
// observed and fixed elevation ranges.
int SaveScreenCache();
int LoadScreenCache();
std::string ScreenCachePath(int depth);
void DiscardScreenCache(int depth);
// Deletes "screen00.tmp" .. "screen09.tmp" in the temporary directory.
void DiscardAllScreenCaches();

// [SECTION] Pointer readout (map_readout.cpp)

extern int readoutCleared, elevationMarkerShown, compassShown;
extern Rect readoutRect, compassRect;
// Sets readoutRect and compassRect for the layout; start-up and tests call it.
void SetReadoutRectangles();
// Called with the pointer position on every mouse move while the map is shown.
void MapPointerReadout(int x, int y);
// The magnetic declination at a position, east positive; 1 when defined. The readout asks the
// geomagnetic model for today's date (TodaysMagneticDeclination); a test may put in its own.
using DeclinationSource = int (*)(double latitude, double longitude, double* declination);
void SetDeclinationSource(DeclinationSource source);
// Draws the compass needle and its text into a surface for a declination in degrees.
void DrawDeclinationCompass(Surface* s, const Rect& box, double declination);

// [SECTION] The elevation legend of the map (map_legend.cpp)

// Whether the legend's colour bar has been drawn (its hot area is recorded).
int ElevationLegendShown();
// Redraws the legend on the window, with the marker at a height in metres or without one.
void RedrawElevationLegend(int withMarker, int height);
// Draws the legend of the current background into hbmVirtual and the window.
void DrawMapElevationLegend();

// [SECTION] Point elevation from the coarse height tiles (point_elevation.cpp)

// The height in metres at a position; 0 when the point has no value (sea, outside, no tile).
int PointElevation(double latitude, double longitude, int* height);
void ResetPointElevation();
