// Raster sources of the builder: any GDAL raster in longitude/latitude degrees, read into the
// sample grid of one output tile at a time so that a source larger than memory streams.
#pragma once

#include <string>
#include <vector>

struct BuildContext;

struct RasterSource {
    std::string path;
    void* dataset = nullptr;        // GDALDatasetH, one per thread
    int width = 0, height = 0, bands = 0;
    double west = 0, north = 0;     // outer edges of the first pixel, degrees
    double dx = 0, dy = 0;          // degrees per pixel (both positive; rows run north to south)
    int global = 0;                 // the columns span 360 degrees and wrap around
    int hasNoData = 0;
    double noData = 0;
    int upsampling = 1;             // GDALRIOResampleAlg used where the output is finer: bilinear
    int categorical = 0;            // class codes: nearest where finer, the most common where coarser
};

// A lat/lon grid of samples: sample (i, j) covers [west + i*stepX, west + (i+1)*stepX) in
// longitude and [north - (j+1)*stepY, north - j*stepY) in latitude; it is read at its centre.
struct SampleGrid {
    double west = 0, north = 0, stepX = 0, stepY = 0;
    int width = 0, height = 0;
};
// The grid of n x n samples over a square tile, widened by margin samples on every side.
SampleGrid TileGrid(double west, double north, double degrees, int n, int margin);

// Sets how a source is interpolated where the output is finer than it: "bilinear", "cubic" or
// "cubicspline"; 0 for another name.
int SetSourceUpsampling(RasterSource* src, const std::string& name);
// Opens a source; extent "west,east,south,north" places a plain image without georeferencing
// (empty: the world). Prints the reason and returns 0 when the source cannot be used.
int OpenRasterSource(const std::string& path, const std::string& extent, RasterSource* src);
void CloseRasterSource(RasterSource* src);
// Reads band (1-based) resampled bilinearly into the grid, rows north to south. Samples the
// source does not cover (or marks as no data) get fill. 1 on success.
int ReadSourceGrid(RasterSource* src, int band, const SampleGrid& grid, float fill, std::vector<float>* out);

// The default sources and the recipe keys that replace them.
std::string ElevationSourcePath(const BuildContext& ctx);   // "elevation", "elevation_extent",
                                                            // "elevation_resampling"
std::string ImagerySourcePath(const BuildContext& ctx);     // "imagery", "imagery_extent"
