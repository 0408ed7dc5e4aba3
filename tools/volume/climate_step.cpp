// The builder's climate step and what its overlays share: the land mask, writing twelve monthly
// files from a land and a sea source, and the temperature overlay globe\temp01.raw .. temp12.raw
// (720 x 360 bytes each) from a climate model's near-surface air temperature over land and the
// COADS marine air temperature climatology at sea, chosen cell by cell by the volume's heights.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "climate_fields.h"
#include "climate_step.h"
#include "raster_sources.h"
#include "volume.h"

static const char* kLandTemperature = "NETCDF:\"/usr/share/ncarg/data/nug/tas_rectilinear_grid_2D.nc\":tas";

std::string LandTemperatureSource(const BuildContext& ctx) {
    std::string recipe = RecipeValue(ctx, "temperature", "");
    return recipe.empty() ? kLandTemperature : recipe;
}
static const char* kSeaTemperature = "NETCDF:\"/usr/share/ferret-vis/data/coads_climatology.cdf\":AIRT";

std::vector<uint8_t> LandMask(BuildContext& ctx, std::string* note) {
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

static void RegridOrEmpty(const MonthlyField* f, int month, std::vector<float>* out) {
    if (f) RegridMonth(*f, month, out);
    else out->assign((size_t)kClimateColumns * kClimateRows, NAN);
}

// The grids run north to south; the files, like the globe's world layers, start at the south
// pole, so that month row r widens into layer rows 3r .. 3r + 2.
static size_t FileCell(size_t gridCell) {
    size_t row = gridCell / kClimateColumns, column = gridCell % kClimateColumns;
    return (kClimateRows - 1 - row) * kClimateColumns + column;
}

long WriteMonths(BuildContext& ctx, const OverlayPlan& plan, const std::vector<uint8_t>& land, int* ok) {
    Progress progress;
    std::string label = std::string("climate: ") + plan.label;
    ProgressStart(progress, label.c_str(), 12);
    long empty = 0;
    std::vector<float> landValues, seaValues;
    for (int m = 0; m < 12; m++) {
        RegridOrEmpty(plan.land, m, &landValues);
        RegridOrEmpty(plan.sea, m, &seaValues);
        std::vector<uint8_t> bytes(landValues.size());
        for (size_t i = 0; i < bytes.size(); i++) {
            int source = ChooseCellSource(land.empty() || land[i], landValues[i], seaValues[i], plan.fallback);
            uint8_t& out = bytes[FileCell(i)];
            if (source == 1) out = CodeValue(plan.landCoding, landValues[i]);
            else if (source == 2) out = CodeValue(plan.seaCoding, seaValues[i]);
            else out = 0, empty++;
        }
        char name[32];
        snprintf(name, sizeof name, plan.pattern, m + 1);
        *ok = WriteVolumeFile(ctx, name, bytes) && *ok;
        ProgressStep(progress);
    }
    ProgressEnd(progress);
    return empty;
}

int MonthFilesUpToDate(BuildContext& ctx, const char* pattern, const std::vector<std::string>& sources) {
    for (int m = 1; m <= 12; m++) {
        char name[32];
        snprintf(name, sizeof name, pattern, m);
        if (!VolumeFileUpToDate(ctx, name, sources)) return 0;
    }
    return 1;
}

std::string FieldNote(const MonthlyField& f) {
    char text[400];
    snprintf(text, sizeof text, "%s: %d x %d cells of %.3g x %.3g degrees from %.4g E, %.4g N%s", f.path.c_str(),
             f.width, f.height, f.dx, f.dy, f.west, f.north, f.global ? ", wrapping" : "");
    return text;
}

static std::string TemperatureNote(const MonthlyField& f) {
    return FieldNote(f) + (f.kelvin ? ", kelvin converted to degrees C" : ", degrees C");
}

static int BuildTemperature(BuildContext& ctx) {
    std::string recipe = RecipeValue(ctx, "temperature", "");
    std::string landPath = recipe.empty() ? kLandTemperature : recipe;
    std::vector<std::string> sources = {BuilderExecutablePath(), SourceFileOf(landPath)};
    if (recipe.empty()) sources.push_back(SourceFileOf(kSeaTemperature)), sources.push_back(ElevationSourcePath(ctx));
    if (MonthFilesUpToDate(ctx, "globe\\temp%02d.raw", sources)) {
        ReportLine(ctx, "climate: globe\\temp01.raw .. temp12.raw up to date");
        return 1;
    }
    MonthlyField landField, seaField;
    if (!ReadTemperatureField(landPath, &landField)) return 0;
    ReportLine(ctx, "climate: %s source %s", recipe.empty() ? "land" : "temperature",
               TemperatureNote(landField).c_str());
    std::vector<uint8_t> land;
    if (recipe.empty()) {
        if (!ReadTemperatureField(kSeaTemperature, &seaField)) return 0;
        ReportLine(ctx, "climate: sea source %s", TemperatureNote(seaField).c_str());
        std::string note;
        land = LandMask(ctx, &note);
        ReportLine(ctx, "climate: %s", note.c_str());
    }
    OverlayPlan plan;
    plan.label = "temperature", plan.pattern = "globe\\temp%02d.raw";
    plan.land = &landField, plan.sea = recipe.empty() ? &seaField : nullptr;
    plan.landCoding = plan.seaCoding = kTemperatureCoding;
    plan.fallback = 1;
    int ok = 1;
    long empty = WriteMonths(ctx, plan, land, &ok);
    ReportLine(ctx, "climate: globe\\temp01.raw .. temp12.raw, %d x %d bytes each; byte b = -58.3 + 0.4 b degrees C "
               "(1..255), 0 = no value", kClimateColumns, kClimateRows);
    ReportLine(ctx, "climate: %ld of %d cells left 0 over the twelve months (neither source has a value)", empty,
               12 * kClimateColumns * kClimateRows);
    return ok;
}

int BuildClimate(BuildContext& ctx) {
    // Whole-world files, not tiles: the first shard builds them.
    if (ctx.shardIndex != 0) {
        ReportLine(ctx, "climate: left to shard 0");
        return 1;
    }
    double start = NowSeconds();
    int ok = BuildTemperature(ctx);
    ok = BuildRecipeOverlays(ctx) && ok;
    ReportLine(ctx, "climate: overlay scales scales\\globe1.sca .. globe5.sca come from the scales step");
    ReportLine(ctx, "climate: monthly overlays in %.1f s", NowSeconds() - start);
    return ok;
}
