// Monthly climate fields of the globe's overlays: twelve monthly bands of a lat/lon raster
// read whole, in degrees C, and resampled to the overlay grid of 0.5-degree cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The overlay grid: 720 columns from 180 W, 360 rows from 90 N, one byte per cell.
constexpr int kClimateColumns = 720;
constexpr int kClimateRows = 360;

// Twelve monthly bands on a regular lat/lon grid; rows run north to south whatever the file's
// order, and cells without a value hold NaN.
struct MonthlyField {
    std::string path;
    int width = 0, height = 0;
    double west = 0, north = 0;  // outer edges of the first cell, degrees
    double dx = 0, dy = 0;       // degrees per cell, both positive
    int global = 0;              // the columns span 360 degrees and wrap around
    int kelvin = 0;              // the file was in kelvin (converted on reading)
    std::vector<float> values;   // month-major: values[(m * height + row) * width + column], degrees C
};

// Reads a raster of exactly 12 bands (January first) through GDAL: NetCDF variables as
// NETCDF:"file":variable. Rows stored south to north are flipped; kelvin becomes degrees C.
// Prints the reason and returns 0 when the file cannot be used.
int ReadMonthlyField(const std::string& path, MonthlyField* out);
// The field at a point, bilinear between the four nearest cell centres (longitudes wrap for a
// global field); cells without a value drop out and the others are reweighted. NaN where no
// neighbour has a value or the point lies outside the field.
float SampleMonthlyField(const MonthlyField& f, int month, double lon, double lat);
// One month resampled to the centres of the overlay grid, rows from 90 N.
void RegridMonth(const MonthlyField& f, int month, std::vector<float>* out);

// The overlay byte of a temperature: byte b stands for -58.3 + 0.4 b degrees C, clamped to
// 1..255 so that 0 keeps meaning "no value".
uint8_t CodeTemperature(double celsius);
// The byte of one cell: the land source's value on land and the sea source's at sea, each
// falling back to the other where it has none; 0 where neither has a value.
uint8_t ChooseTemperatureCode(int land, float landValue, float seaValue);
// The file behind a GDAL source name (NETCDF:"file":variable gives file), for up-to-date checks.
std::string SourceFileOf(const std::string& gdalName);
