// The globe's monthly temperature overlay: globe\temp01.raw .. temp12.raw, 720 x 360 bytes
// each, from a land source (near-surface air temperature of a climate model) and a sea source
// (the COADS marine air temperature climatology), chosen cell by cell by the volume's heights.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "climate_fields.h"
#include "raster_sources.h"
#include "volume.h"

static const char* kLandTemperature = "NETCDF:\"/usr/share/ncarg/data/nug/tas_rectilinear_grid_2D.nc\":tas";
static const char* kSeaTemperature = "NETCDF:\"/usr/share/ferret-vis/data/coads_climatology.cdf\":AIRT";

// Land where the elevation source's mean height over the cell is above sea level; empty when
// the elevation source cannot be read (then the land source is taken wherever it has a value).
static std::vector<uint8_t> LandMask(BuildContext& ctx, std::string* note) {
    std::string path = ElevationSourcePath(ctx);
    RasterSource src;
    if (!OpenRasterSource(path, RecipeValue(ctx, "elevation_extent", ""), &src)) {
        *note = "no heights from " + path + ": the land source is taken wherever it has a value";
        return {};
    }
    SampleGrid grid;
    grid.west = -180, grid.north = 90, grid.stepX = grid.stepY = 0.5;
    grid.width = kClimateColumns, grid.height = kClimateRows;
    std::vector<float> heights;
    int ok = ReadSourceGrid(&src, 1, grid, NAN, &heights);
    CloseRasterSource(&src);
    if (!ok) {
        *note = "no heights from " + path + ": the land source is taken wherever it has a value";
        return {};
    }
    std::vector<uint8_t> land(heights.size());
    size_t count = 0;
    for (size_t i = 0; i < heights.size(); i++) count += land[i] = heights[i] > 0;
    char text[160];
    snprintf(text, sizeof text, "land (mean height above 0 m in %s): %.1f%% of the cells", path.c_str(),
             100.0 * count / heights.size());
    *note = text;
    return land;
}

// The twelve files; land is empty when every cell counts as land. Returns the cells left 0.
static long WriteMonths(BuildContext& ctx, const MonthlyField& landField, const MonthlyField* seaField,
                        const std::vector<uint8_t>& land, int* ok) {
    Progress progress;
    ProgressStart(progress, "climate: temperature", 12);
    long empty = 0;
    std::vector<float> landValues, seaValues;
    for (int m = 0; m < 12; m++) {
        RegridMonth(landField, m, &landValues);
        if (seaField) RegridMonth(*seaField, m, &seaValues);
        else seaValues.assign(landValues.size(), NAN);
        std::vector<uint8_t> bytes(landValues.size());
        for (size_t i = 0; i < bytes.size(); i++) {
            bytes[i] = ChooseTemperatureCode(land.empty() || land[i], landValues[i], seaValues[i]);
            empty += bytes[i] == 0;
        }
        char name[32];
        snprintf(name, sizeof name, "globe\\temp%02d.raw", m + 1);
        *ok = WriteVolumeFile(ctx, name, bytes) && *ok;
        ProgressStep(progress);
    }
    ProgressEnd(progress);
    return empty;
}

static void ReportUnsourcedOverlays(BuildContext& ctx) {
    const char* reason = "no packaged source; the overlay's scale is written, its monthly files are not";
    ReportMissing(ctx, "globe\\vege01.raw .. vege12.raw (vegetation)", reason);
    ReportMissing(ctx, "globe\\precip01.raw .. precip12.raw (precipitation)", reason);
    ReportMissing(ctx, "globe\\cloud01.raw .. cloud12.raw (sunshine)", reason);
}

static std::string FieldNote(const MonthlyField& f) {
    char text[400];
    snprintf(text, sizeof text, "%s: %d x %d cells of %.3g x %.3g degrees from %.4g E, %.4g N%s%s", f.path.c_str(),
             f.width, f.height, f.dx, f.dy, f.west, f.north, f.global ? ", wrapping" : "",
             f.kelvin ? ", kelvin converted to degrees C" : ", degrees C");
    return text;
}

int BuildClimate(BuildContext& ctx) {
    // Whole-world files, not tiles: the first shard builds them.
    if (ctx.shardIndex != 0) {
        ReportLine(ctx, "climate: left to shard 0");
        return 1;
    }
    double start = NowSeconds();
    ReportUnsourcedOverlays(ctx);
    std::string recipe = RecipeValue(ctx, "temperature", "");
    std::string landPath = recipe.empty() ? kLandTemperature : recipe;
    std::vector<std::string> sources = {BuilderExecutablePath(), SourceFileOf(landPath)};
    if (recipe.empty()) sources.push_back(SourceFileOf(kSeaTemperature)), sources.push_back(ElevationSourcePath(ctx));
    int upToDate = 1;
    for (int m = 1; m <= 12; m++) {
        char name[32];
        snprintf(name, sizeof name, "globe\\temp%02d.raw", m);
        upToDate = upToDate && VolumeFileUpToDate(ctx, name, sources);
    }
    if (upToDate) {
        ReportLine(ctx, "climate: globe\\temp01.raw .. temp12.raw up to date");
        return 1;
    }
    MonthlyField landField, seaField;
    if (!ReadMonthlyField(landPath, &landField)) return 0;
    ReportLine(ctx, "climate: %s source %s", recipe.empty() ? "land" : "temperature", FieldNote(landField).c_str());
    std::vector<uint8_t> land;
    if (recipe.empty()) {
        if (!ReadMonthlyField(kSeaTemperature, &seaField)) return 0;
        ReportLine(ctx, "climate: sea source %s", FieldNote(seaField).c_str());
        std::string note;
        land = LandMask(ctx, &note);
        ReportLine(ctx, "climate: %s", note.c_str());
    }
    int ok = 1;
    long empty = WriteMonths(ctx, landField, recipe.empty() ? &seaField : nullptr, land, &ok);
    ReportLine(ctx, "climate: globe\\temp01.raw .. temp12.raw, %d x %d bytes each; byte b = -58.3 + 0.4 b degrees C "
               "(1..255), 0 = no value", kClimateColumns, kClimateRows);
    ReportLine(ctx, "climate: %ld of %d cells left 0 over the twelve months (neither source has a value)", empty,
               12 * kClimateColumns * kClimateRows);
    ReportLine(ctx, "climate: overlay scales scales\\globe1.sca .. globe5.sca come from the scales step");
    ReportLine(ctx, "climate: temperature overlay in %.1f s", NowSeconds() - start);
    return ok;
}
