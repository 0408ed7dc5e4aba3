// Reading monthly climate rasters whole (they are small: a few hundred cells a side) and
// resampling them in plain code, so that missing cells near coasts drop out of the
// interpolation instead of being smeared in as fill values.
#include "climate_fields.h"

#include <cpl_error.h>
#include <gdal.h>

#include <cmath>
#include <cstring>
#include <mutex>

#include "band_values.h"
#include "volume.h"

static std::once_flag gdalOnce;

static int IsKelvinUnit(const char* unit) {
    return !strcmp(unit, "K") || !strcasecmp(unit, "kelvin") || !strcasecmp(unit, "degK") || !strcasecmp(unit, "deg_K") ||
           !strcasecmp(unit, "degrees_K");
}

static int IsCelsiusUnit(const char* unit) {
    return !strcasecmp(unit, "DEG C") || !strcasecmp(unit, "degC") || !strcasecmp(unit, "deg_C") ||
           !strcasecmp(unit, "C") || !strcasecmp(unit, "celsius") || !strcasecmp(unit, "degrees_C") ||
           !strcasecmp(unit, "degree_Celsius") || !strcasecmp(unit, "degrees Celsius");
}

// Geometry from the geotransform (or the whole world without one); rows south to north are
// recorded in flip so that the reader stores them north to south.
static int ReadGeometry(GDALDatasetH ds, const char* quantity, MonthlyField* f, int* flip) {
    double gt[6];
    *flip = 0;
    if (GDALGetGeoTransform(ds, gt) != CE_None || gt[1] == 0 || gt[5] == 0) {
        f->west = -180, f->north = 90;
        f->dx = 360.0 / f->width, f->dy = 180.0 / f->height;
    } else {
        if (gt[2] != 0 || gt[4] != 0 || gt[1] < 0) {
            BuildError("The %s source %s is rotated or runs east to west, which is not supported", quantity,
                       f->path.c_str());
            return 0;
        }
        f->west = gt[0], f->dx = gt[1], f->dy = fabs(gt[5]);
        *flip = gt[5] > 0;
        f->north = *flip ? gt[3] + gt[5] * f->height : gt[3];
    }
    if (fabs(f->dx * f->width - 360.0) < 0.5 * f->dx) {
        f->global = 1;
        f->dx = 360.0 / f->width;
    }
    return 1;
}

static int ReadBands(GDALDatasetH ds, int flip, MonthlyField* f) {
    size_t plane = (size_t)f->width * f->height;
    f->values.assign(12 * plane, NAN);
    std::vector<float> rows(plane);
    for (int m = 0; m < 12; m++) {
        GDALRasterBandH b = GDALGetRasterBand(ds, m + 1);
        if (GDALRasterIO(b, GF_Read, 0, 0, f->width, f->height, rows.data(), f->width, f->height, GDT_Float32, 0, 0) !=
            CE_None) {
            BuildError("Cannot read band %d of %s", m + 1, f->path.c_str());
            return 0;
        }
        BandValueRule rule = ReadBandValueRule(b);
        for (int r = 0; r < f->height; r++) {
            const float* in = rows.data() + (size_t)(flip ? f->height - 1 - r : r) * f->width;
            float* out = f->values.data() + m * plane + (size_t)r * f->width;
            for (int c = 0; c < f->width; c++) BandValue(rule, in[c], &out[c]);
        }
    }
    return 1;
}

void ConvertToCelsius(MonthlyField* f) {
    const char* unit = f->unit.c_str();
    if (IsKelvinUnit(unit)) f->kelvin = 1;
    else if (IsCelsiusUnit(unit)) f->kelvin = 0;
    else {
        double sum = 0;
        size_t n = 0;
        for (float v : f->values)
            if (!std::isnan(v)) sum += v, n++;
        f->kelvin = n > 0 && sum / n > 100;
    }
    if (f->kelvin)
        for (float& v : f->values) v -= 273.15f;
}

int ReadMonthlyField(const std::string& path, const char* quantity, MonthlyField* out) {
    std::call_once(gdalOnce, [] { GDALAllRegister(); });
    *out = MonthlyField();
    out->path = path;
    // GDAL's own warnings (a Gaussian grid's uneven latitudes) stay quiet; failures are ours.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    CPLPopErrorHandler();
    if (!ds) {
        BuildError("Cannot open the %s source %s", quantity, path.c_str());
        return 0;
    }
    out->width = GDALGetRasterXSize(ds);
    out->height = GDALGetRasterYSize(ds);
    int bands = GDALGetRasterCount(ds);
    int flip = 0;
    int ok = 1;
    if (bands != 12) {
        BuildError("The %s source %s has %d bands, not the 12 months", quantity, path.c_str(), bands);
        ok = 0;
    }
    ok = ok && ReadGeometry(ds, quantity, out, &flip) && ReadBands(ds, flip, out);
    if (ok) {
        const char* unit = GDALGetRasterUnitType(GDALGetRasterBand(ds, 1));
        out->unit = unit ? unit : "";
    }
    GDALClose(ds);
    return ok;
}

int ReadTemperatureField(const std::string& path, MonthlyField* out) {
    if (!ReadMonthlyField(path, "temperature", out)) return 0;
    ConvertToCelsius(out);
    return 1;
}

// The value of cell (column, row), wrapping columns of a global field; NaN outside.
static float CellValue(const MonthlyField& f, int month, int column, int row) {
    if (row < 0 || row >= f.height) return NAN;
    if (f.global) column = ((column % f.width) + f.width) % f.width;
    else if (column < 0 || column >= f.width) return NAN;
    return f.values[((size_t)month * f.height + row) * f.width + column];
}

float SampleMonthlyField(const MonthlyField& f, int month, double lon, double lat) {
    // A field whose outer rows come within a cell of a pole reaches it (the latitudes of a
    // Gaussian grid stop short of the poles).
    double north = f.north > 90 - f.dy ? 90 : f.north, south = f.north - f.dy * f.height;
    if (south < -90 + f.dy) south = -90;
    if (lat > north || lat < south) return NAN;
    double x = (lon - f.west) / f.dx;
    if (f.global) x -= floor(x / f.width) * f.width;
    else if (x < 0 || x > f.width) return NAN;
    x -= 0.5;
    // Between the outermost row centres and the field's edge, the edge row holds.
    double y = std::min(std::max((f.north - lat) / f.dy - 0.5, 0.0), f.height - 1.0);
    int c0 = (int)floor(x), r0 = (int)floor(y);
    double tx = x - c0, ty = y - r0;
    if (!f.global) {
        if (c0 < 0) c0 = 0, tx = 0;
        if (c0 >= f.width - 1) c0 = f.width - 1, tx = 0;
    }
    double sum = 0, weight = 0;
    for (int k = 0; k < 4; k++) {
        int dc = k & 1, dr = k >> 1;
        double w = (dc ? tx : 1 - tx) * (dr ? ty : 1 - ty);
        if (w <= 0) continue;
        float v = CellValue(f, month, c0 + dc, r0 + dr);
        if (std::isnan(v)) continue;
        sum += w * v, weight += w;
    }
    return weight > 0 ? (float)(sum / weight) : NAN;
}

void RegridMonth(const MonthlyField& f, int month, std::vector<float>* out) {
    out->assign((size_t)kClimateColumns * kClimateRows, NAN);
    for (int r = 0; r < kClimateRows; r++) {
        double lat = 90 - (r + 0.5) * 0.5;
        for (int c = 0; c < kClimateColumns; c++)
            (*out)[(size_t)r * kClimateColumns + c] = SampleMonthlyField(f, month, -180 + (c + 0.5) * 0.5, lat);
    }
}

const ByteCoding kTemperatureCoding = {-58.3, 44.1, 0, 1};
const ByteCoding kPrecipitationCoding = {0, 675, 0, 0};
const ByteCoding kSunshineCoding = {0, 100, 0, 0};
const ByteCoding kLandVegetationCoding = {-0.1, 0.9, 0, 1};
const ByteCoding kOceanVegetationCoding = {0.01, 65, 1, 1};

uint8_t CodeValue(const ByteCoding& coding, double value) {
    double lo = coding.lo, hi = coding.hi;
    if (coding.logarithmic) {
        if (!(value > 0)) return (uint8_t)coding.lowest;
        value = log10(value), lo = log10(lo), hi = log10(hi);
    }
    long b = lround((value - lo) * 256 / (hi - lo));
    return (uint8_t)std::min(255L, std::max((long)coding.lowest, b));
}

int ChooseCellSource(int land, float landValue, float seaValue, int fallback) {
    int first = land ? 1 : 2;
    float own = land ? landValue : seaValue, other = land ? seaValue : landValue;
    if (!std::isnan(own)) return first;
    if (fallback && !std::isnan(other)) return 3 - first;
    return 0;
}

std::string SourceFileOf(const std::string& gdalName) {
    if (gdalName.rfind("NETCDF:", 0) != 0) return gdalName;
    std::string rest = gdalName.substr(7);
    if (!rest.empty() && rest[0] == '"') {
        size_t end = rest.find('"', 1);
        return end == std::string::npos ? rest.substr(1) : rest.substr(1, end - 1);
    }
    size_t colon = rest.rfind(':');
    return colon == std::string::npos ? rest : rest.substr(0, colon);
}
