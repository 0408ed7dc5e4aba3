// The globe overlays whose sources the user names in the recipe: precipitation in mm per month,
// sunshine in percent of the possible (or cloud cover turned into it), and vegetation, a land and
// an ocean source sharing one set of files. Nothing is packaged for them: without their keys
// their files are not written and the report says so. Each source is a 12-band raster.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "climate_step.h"
#include "raster_sources.h"

static const int kCellMonths = 12 * kClimateColumns * kClimateRows;

// The coding of the recipe's range key ("lo,hi" in the source's units), or fallback when the
// recipe has none. Prints the reason and returns 0 for a range that cannot be used.
static int RecipeCoding(BuildContext& ctx, const char* key, const ByteCoding& fallback, ByteCoding* out) {
    *out = fallback;
    std::string text = RecipeValue(ctx, key, "");
    if (text.empty()) return 1;
    double lo = 0, hi = 0;
    char extra = 0;
    if (sscanf(text.c_str(), " %lf , %lf %c", &lo, &hi, &extra) != 2 || !(lo < hi) || !std::isfinite(hi)) {
        BuildError("The recipe's %s = %s is not a range lo,hi with lo below hi", key, text.c_str());
        return 0;
    }
    if (out->logarithmic && lo <= 0) {
        BuildError("The recipe's %s = %s must lie above 0: it is coded on a logarithmic scale", key, text.c_str());
        return 0;
    }
    out->lo = lo, out->hi = hi;
    return 1;
}

// Reads the source the recipe names under key, with a line in the report.
static int ReadRecipeField(BuildContext& ctx, const char* key, MonthlyField* f) {
    if (!ReadMonthlyField(RecipeValue(ctx, key, ""), key, f)) return 0;
    ReportLine(ctx, "climate: %s source %s%s%s", key, FieldNote(*f).c_str(), f->unit.empty() ? "" : ", unit ",
               f->unit.c_str());
    return 1;
}

static void ReportEmpty(BuildContext& ctx, const char* label, long empty) {
    ReportLine(ctx, "climate: %s: %ld of %d cells left 0 over the twelve months (no source covers them)", label, empty,
               kCellMonths);
}

// "yes" or "no" (empty counts as no); 0 with the message for anything else.
static int RecipeYes(BuildContext& ctx, const char* key, int* yes) {
    std::string text = RecipeValue(ctx, key, "no");
    *yes = text == "yes";
    if (*yes || text == "no") return 1;
    BuildError("The recipe's %s = %s is neither yes nor no", key, text.c_str());
    return 0;
}

// Precipitation or sunshine: one source for every cell, coded over the legend's range.
static int BuildOneSourceOverlay(BuildContext& ctx, const char* key, const char* pattern, const char* files,
                                 const char* what, const ByteCoding& coding, int fromCloud) {
    std::string path = RecipeValue(ctx, key, "");
    if (path.empty()) {
        std::string reason = std::string("no packaged source and no recipe key ") + key +
                             "; the overlay's scale is written, its monthly files are not";
        ReportMissing(ctx, files, reason.c_str());
        return 1;
    }
    if (MonthFilesUpToDate(ctx, pattern, {BuilderExecutablePath(), SourceFileOf(path)})) {
        ReportLine(ctx, "climate: %s up to date", files);
        return 1;
    }
    MonthlyField f;
    if (!ReadRecipeField(ctx, key, &f)) return 0;
    if (fromCloud) {
        for (float& v : f.values) v = 100 - v;  // NaN stays NaN
        ReportLine(ctx, "climate: %s taken as cloud cover in percent, sunshine = 100 - cloud", key);
    }
    OverlayPlan plan;
    plan.label = key, plan.pattern = pattern, plan.land = &f, plan.landCoding = coding;
    int ok = 1;
    long empty = WriteMonths(ctx, plan, {}, &ok);
    ReportLine(ctx, "climate: %s, %d x %d bytes each; %s %g..%g over bytes 0..255", files, kClimateColumns,
               kClimateRows, what, coding.lo, coding.hi);
    ReportEmpty(ctx, key, empty);
    return ok;
}

// Land cells from land_vegetation, sea cells from ocean_vegetation, by the volume's heights;
// either key alone leaves the other half 0.
static int BuildVegetation(BuildContext& ctx) {
    const char* files = "globe\\vege01.raw .. vege12.raw (vegetation)";
    const char* pattern = "globe\\vege%02d.raw";
    std::string landPath = RecipeValue(ctx, "land_vegetation", ""), seaPath = RecipeValue(ctx, "ocean_vegetation", "");
    if (landPath.empty() && seaPath.empty()) {
        ReportMissing(ctx, files, "no packaged source and neither land_vegetation nor ocean_vegetation in the recipe; "
                                  "the overlay's scale is written, its monthly files are not");
        return 1;
    }
    ByteCoding landCoding, seaCoding;
    if (!RecipeCoding(ctx, "land_vegetation_range", kLandVegetationCoding, &landCoding) ||
        !RecipeCoding(ctx, "ocean_vegetation_range", kOceanVegetationCoding, &seaCoding))
        return 0;
    std::vector<std::string> sources = {BuilderExecutablePath(), ElevationSourcePath(ctx)};
    if (!landPath.empty()) sources.push_back(SourceFileOf(landPath));
    if (!seaPath.empty()) sources.push_back(SourceFileOf(seaPath));
    if (MonthFilesUpToDate(ctx, pattern, sources)) {
        ReportLine(ctx, "climate: %s up to date", files);
        return 1;
    }
    MonthlyField landField, seaField;
    if (!landPath.empty() && !ReadRecipeField(ctx, "land_vegetation", &landField)) return 0;
    if (!seaPath.empty() && !ReadRecipeField(ctx, "ocean_vegetation", &seaField)) return 0;
    std::string note;
    std::vector<uint8_t> land = LandMask(ctx, &note);
    ReportLine(ctx, "climate: %s", note.c_str());
    if (landPath.empty())
        ReportLine(ctx, "climate: vegetation: land cells left 0, the recipe names no land_vegetation");
    if (seaPath.empty()) ReportLine(ctx, "climate: vegetation: sea cells left 0, the recipe names no ocean_vegetation");
    OverlayPlan plan;
    plan.label = "vegetation", plan.pattern = pattern;
    plan.land = landPath.empty() ? nullptr : &landField, plan.sea = seaPath.empty() ? nullptr : &seaField;
    plan.landCoding = landCoding, plan.seaCoding = seaCoding;
    int ok = 1;
    long empty = WriteMonths(ctx, plan, land, &ok);
    ReportLine(ctx, "climate: %s, %d x %d bytes each; land %g..%g, sea %g..%g on a log10 scale, over bytes 1..255, "
               "0 = no value", files, kClimateColumns, kClimateRows, landCoding.lo, landCoding.hi, seaCoding.lo,
               seaCoding.hi);
    ReportEmpty(ctx, "vegetation", empty);
    return ok;
}

int BuildRecipeOverlays(BuildContext& ctx) {
    int fromCloud = 0;
    if (!RecipeYes(ctx, "sunshine_from_cloud", &fromCloud)) return 0;
    int ok = BuildOneSourceOverlay(ctx, "precipitation", "globe\\precip%02d.raw",
                                   "globe\\precip01.raw .. precip12.raw (precipitation)", "mm per month",
                                   kPrecipitationCoding, 0);
    ok = BuildOneSourceOverlay(ctx, "sunshine", "globe\\cloud%02d.raw", "globe\\cloud01.raw .. cloud12.raw (sunshine)",
                               "percent of the possible sunshine", kSunshineCoding, fromCloud) && ok;
    return BuildVegetation(ctx) && ok;
}
