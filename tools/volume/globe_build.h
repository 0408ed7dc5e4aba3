// The globe step of the builder: world layers of 2160 x 1080 cells and the per-pixel lookup
// tables the globe screen rotates them with. Shared by the step's files and their tests.
//
// Every world layer has row 0 at the south pole (the bottom-up row order of a BMP file) and
// column 0 at 180 degrees west; cell (row, column) covers latitudes -90 + row/6 ... -90 + (row+1)/6
// and longitudes -180 + column/6 ... -180 + (column+1)/6. A layer offset is row * 2160 + column.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "globe/globe.h"
#include "imaging/imaging.h"
#include "volume.h"

// The layer sizes, the table names and the counts of sizes and tilts are the viewer's own.
constexpr int kGlobeWidth = kGlobeLayerWidth, kGlobeHeight = kGlobeLayerHeight;
constexpr int kGlobeMaxEntries = 490000;
constexpr int kGlobeFilterHeader = 24;
constexpr double kEverestMetres = 8848.0;

// [SECTION] Lookup tables (globe_filters.cpp)

// Radius in pixels of globe size 0 (smallest) ... 3 (large).
int GlobeRadius(int size);
// Viewing latitude in degrees of tilt 0 ... 4: 90, 45, 0, -45, -90.
double GlobeViewLatitude(int tilt);
// The point of the sphere seen at (x, y), in units of the radius with y up, from above the
// latitude viewLat (degrees) and longitude 0; 0 when (x, y) lies outside the disk.
int OrthographicInverse(double x, double y, double viewLat, double* lat, double* lon);
// The layer offset of the cell containing (lat, lon) in degrees; latitude 90 falls in the top row.
int32_t GlobeLayerOffset(double lat, double lon);
// The table entry for pixel (row, column) of the globe's 2r x 2r bounding square (row 0 at the
// bottom): the layer offset seen at that pixel's centre at centre longitude 0, or -1 off the disk.
int32_t GlobeFilterEntry(int r, double viewLat, int row, int column);
// The file "globe\%02d_%02d.FLT" for radius r and the viewing latitude: header and entries.
std::vector<uint8_t> EncodeGlobeFilter(int r, double viewLat);
// Writes the twenty tables; 1 on success.
int WriteGlobeFilters(BuildContext& ctx);

// [SECTION] Sources (globe_source.cpp)

// A source raster resampled onto the world layer grid: planes[b][row * width + column], row 0
// south; cells the source does not cover hold NaN.
struct GlobeGrid {
    int width = 0, height = 0;
    std::vector<std::vector<float>> planes;
};
// Reads nBands bands of any raster GDAL opens (a single band is repeated) onto a grid of
// width x height cells. Georeferenced rasters may be north-up or south-up and span -180..180
// or 0..360; a raster without georeferencing is taken as the whole world, north up. Finer
// sources are averaged down while GDAL reads them, so they need not fit in memory.
// Prints the failure and returns 0.
int ReadGlobeSource(const char* path, int nBands, int width, int height, GlobeGrid* out, std::string* note);

// [SECTION] Relief layers (globe_relief.cpp)

// Height class of a height in metres: 0 ... 255 for 0 ... 8848 m, class c starting at c/256 x 8848 m.
uint8_t HeightClass(double metres);
// The height-class layer of a grid of heights (sea and missing cells are class 0).
std::vector<uint8_t> HeightClassLayer(const GlobeGrid& heights);
// The shading layer: 0 over the sea, 1...255 the brightness of land lit from the north-west.
std::vector<uint8_t> ShadeLayer(const GlobeGrid& heights);

// [SECTION] Imagery (globe_imagery.cpp)

// Chooses at most maxColours colours for n RGB pixels (median cut refined by k-means) and maps
// every pixel to its nearest colour. palette receives RGB triplets.
void QuantiseColours(const uint8_t* rgb, size_t n, int maxColours, std::vector<uint8_t>* palette,
                     std::vector<uint8_t>* indices);

// [SECTION] Place names (globe_names.cpp)

// Burns the names of the largest places (class 1, capitals first) of the gazetteer
// "names\pplace2.dat" into the shading layer, leaving out labels that would overlap.
// Returns the number of names drawn.
int BurnPlaceNames(const std::vector<uint8_t>& gazetteer, std::vector<uint8_t>* shade);
