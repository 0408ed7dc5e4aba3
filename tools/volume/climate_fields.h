// Monthly climate fields of the globe's overlays: twelve monthly bands of a lat/lon raster
// read whole, resampled to the overlay grid of 0.5-degree cells and coded into bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The overlay grid: 720 columns from 180 W, 360 rows from 90 N, one byte per cell (the files
// written from it start at 90 S).
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
    std::string unit;            // the first band's unit as the file names it, or empty
    int kelvin = 0;              // a temperature was in kelvin (converted by ConvertToCelsius)
    std::vector<float> values;   // month-major: values[(m * height + row) * width + column]
};

// Reads a raster of exactly 12 bands (January first) through GDAL: NetCDF variables as
// NETCDF:"file":variable. Values are the stored ones with the band's scale and offset applied;
// rows stored south to north are flipped. quantity names the source in messages
// ("temperature"). Prints the reason and returns 0 when the file cannot be used.
int ReadMonthlyField(const std::string& path, const char* quantity, MonthlyField* out);
// Kelvin to degrees C when the unit says kelvin, or, for a file that names none, when the mean
// is above 100 (no temperature field in degrees C comes near it).
void ConvertToCelsius(MonthlyField* f);
// ReadMonthlyField of a temperature followed by ConvertToCelsius.
int ReadTemperatureField(const std::string& path, MonthlyField* out);
// The field at a point, bilinear between the four nearest cell centres (longitudes wrap for a
// global field); cells without a value drop out and the others are reweighted. NaN where no
// neighbour has a value or the point lies outside the field.
float SampleMonthlyField(const MonthlyField& f, int month, double lon, double lat);
// One month resampled to the centres of the overlay grid, rows from 90 N.
void RegridMonth(const MonthlyField& f, int month, std::vector<float>* out);

// A linear byte coding of the value range lo..hi over 256 steps: b = round((v - lo) * 256 /
// (hi - lo)), clamped to lowest..255. On a logarithmic scale log10 of the value and of both
// ends is coded instead, and a value at or below 0 takes the lowest byte. lowest is 1 where
// byte 0 must keep meaning "no value", 0 where the legend's bottom end is byte 0.
struct ByteCoding {
    double lo = 0, hi = 1;
    int logarithmic = 0;
    int lowest = 1;
};
uint8_t CodeValue(const ByteCoding& coding, double value);

// The legends' ranges: temperature -58.3..44.1 degrees C (byte b = -58.3 + 0.4 b), precipitation
// 0..675 mm per month, sunshine 0..100 %; vegetation by default land NDVI -0.1..0.9 and ocean
// chlorophyll-a 0.01..65 mg/m3 on a logarithmic scale.
extern const ByteCoding kTemperatureCoding, kPrecipitationCoding, kSunshineCoding;
extern const ByteCoding kLandVegetationCoding, kOceanVegetationCoding;
inline uint8_t CodeTemperature(double celsius) { return CodeValue(kTemperatureCoding, celsius); }

// Which source gives a cell its value: 1 the land source, 2 the sea source, 0 neither. Land
// cells take the land source and sea cells the sea source; with fallback a cell whose own
// source has no value takes the other's.
int ChooseCellSource(int land, float landValue, float seaValue, int fallback);
// The file behind a GDAL source name (NETCDF:"file":variable gives file), for up-to-date checks.
std::string SourceFileOf(const std::string& gdalName);
