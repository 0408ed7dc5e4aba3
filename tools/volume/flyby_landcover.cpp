// The flyby's vegetation class raster (2160 x 1080 bytes, a sixth of a degree a cell, rows from
// 90 N). No land-cover data set comes with the default sources, so the classes are derived
// cell by cell from the imagery's colour, the elevation and the monthly air temperature; a real
// land-cover raster named in the recipe replaces the derivation through a class table.
#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "climate_fields.h"
#include "climate_step.h"
#include "flyby/flyby.h"
#include "flyby_build.h"
#include "raster_sources.h"

namespace {

constexpr double kCellDegrees = 1.0 / 6.0;
constexpr float kLapseRatePerMetre = -0.0065f;  // the standard atmosphere's fall of temperature with height

SampleGrid ClassGrid() {
    SampleGrid g;
    g.west = -180, g.north = 90, g.stepX = g.stepY = kCellDegrees;
    g.width = kClassRasterColumns, g.height = kClassRasterRows;
    return g;
}

// The coldest and warmest monthly means on the climate grid (720 x 360, rows from 90 N).
int MonthlyExtremes(BuildContext& ctx, std::vector<float>* coldest, std::vector<float>* warmest) {
    MonthlyField field;
    if (!ReadTemperatureField(LandTemperatureSource(ctx), &field)) return 0;
    size_t cells = (size_t)kClimateColumns * kClimateRows;
    coldest->assign(cells, INFINITY);
    warmest->assign(cells, -INFINITY);
    std::vector<float> month;
    for (int m = 0; m < 12; m++) {
        RegridMonth(field, m, &month);
        for (size_t i = 0; i < cells; i++) {
            (*coldest)[i] = std::min((*coldest)[i], month[i]);  // NaN stays out of min and max
            (*warmest)[i] = std::max((*warmest)[i], month[i]);
        }
    }
    for (size_t i = 0; i < cells; i++)
        if (!std::isfinite((*coldest)[i]) || !std::isfinite((*warmest)[i])) (*coldest)[i] = (*warmest)[i] = NAN;
    ReportLine(ctx, "flyby: temperature %s", FieldNote(field).c_str());
    return 1;
}

}  // namespace

int ReadClassImagery(BuildContext& ctx, std::vector<float> bands[3]) {
    RasterSource src;
    std::string path = ImagerySourcePath(ctx);
    if (!OpenRasterSource(path, RecipeValue(ctx, "imagery_extent", ""), &src)) return 0;
    int ok = 1;
    for (int b = 0; b < 3 && ok; b++) ok = ReadSourceGrid(&src, std::min(b + 1, src.bands), ClassGrid(), 0, &bands[b]);
    CloseRasterSource(&src);
    if (ok) ReportLine(ctx, "flyby: imagery %s, averaged over each cell", path.c_str());
    return ok;
}

namespace {

int DeriveClasses(BuildContext& ctx, const std::vector<float>& heights, const std::vector<float> bands[3],
                  std::vector<uint8_t>* classes) {
    if (heights.empty()) {
        BuildError("flyby: the classes need the elevation source %s", ElevationSourcePath(ctx).c_str());
        return 0;
    }
    std::vector<float> coldest, warmest;
    if (bands[0].empty()) {
        BuildError("flyby: the classes need the imagery %s", ImagerySourcePath(ctx).c_str());
        return 0;
    }
    if (!MonthlyExtremes(ctx, &coldest, &warmest)) return 0;
    // Each climate cell covers 3 x 3 class cells; their own heights against the mean of the
    // nine (sea counted at 0 m) shift the temperature by the lapse rate.
    std::vector<float> meanHeight((size_t)kClimateColumns * kClimateRows, 0);
    for (int r = 0; r < kClassRasterRows; r++)
        for (int c = 0; c < kClassRasterColumns; c++)
            meanHeight[(size_t)(r / 3) * kClimateColumns + c / 3] += std::max(0.0f, heights[(size_t)r * kClassRasterColumns + c]) / 9;
    classes->assign((size_t)kClassRasterColumns * kClassRasterRows, 0);
    for (int r = 0; r < kClassRasterRows; r++)
        for (int c = 0; c < kClassRasterColumns; c++) {
            size_t at = (size_t)r * kClassRasterColumns + c, climate = (size_t)(r / 3) * kClimateColumns + c / 3;
            LandCell cell;
            cell.height = heights[at];
            cell.red = (int)std::lround(bands[0][at]);
            cell.green = (int)std::lround(bands[1][at]);
            cell.blue = (int)std::lround(bands[2][at]);
            float shift = kLapseRatePerMetre * (std::max(0.0f, cell.height) - meanHeight[climate]);
            cell.coldest = coldest[climate] + shift;
            cell.warmest = warmest[climate] + shift;
            (*classes)[at] = (uint8_t)DeriveLandClass(cell);
        }
    ReportLine(ctx, "flyby: classes derived per cell: none at or below sea level, above 4500 m, where the warmest month "
                    "is below 0 C or the colour is snow outside the boreal belt; tundra (warmest month below 10 C) with "
                    "any vegetation colour 4 shrubs; desert colour (brightness >= 80, red - blue >= 35) 10 desert scrub "
                    "where the coldest month is >= 0 C or the warmest >= 26 C, else 4 shrubs; boreal (coldest below -3 C) "
                    "green or snow-covered 8 needleleaf; tropical (coldest >= 18 C) dense 9, woodland 5, open 3; "
                    "subtropical (coldest 12..18 C) dense 5, woodland and open 3; temperate dense 7 where the warmest "
                    "month is below 20 C and the coldest above 0 C, 5 where the coldest is >= 5 C, else 6; temperate "
                    "woodland 1 where the coldest month is above 0 C, else 2; dense = brightness below 42 with green "
                    ">= red, woodland below 62 with green >= red - 10, open below 80 with green >= red - 14; "
                    "temperatures corrected by -6.5 C per km of the cell's height above its 0.5-degree mean");
    return 1;
}

int MapLandCover(BuildContext& ctx, const std::string& path, std::vector<uint8_t>* classes) {
    std::string tablePath = RecipeValue(ctx, "landcover-classes", ""), reason;
    if (tablePath.empty()) {
        BuildError("flyby: the recipe names landcover = %s without landcover-classes", path.c_str());
        return 0;
    }
    std::vector<uint8_t> table;
    if (!ReadLandCoverTable(tablePath, &table, &reason)) {
        BuildError("flyby: %s: %s", tablePath.c_str(), reason.c_str());
        return 0;
    }
    RasterSource src;
    if (!OpenRasterSource(path, RecipeValue(ctx, "landcover-extent", ""), &src)) return 0;
    src.categorical = 1;
    std::vector<float> values;
    int ok = ReadSourceGrid(&src, 1, ClassGrid(), -1, &values);
    CloseRasterSource(&src);
    if (!ok) return 0;
    classes->assign(values.size(), 0);
    long outside = 0;
    for (size_t i = 0; i < values.size(); i++) {
        long v = std::lround(values[i]);
        if (v >= 0 && v < (long)table.size()) (*classes)[i] = table[(size_t)v];
        else outside++;
    }
    ReportLine(ctx, "flyby: classes from the land-cover raster %s (the most common source class of each cell) "
               "through the table %s; %ld cells without a source value are 0", path.c_str(), tablePath.c_str(), outside);
    return 1;
}

}  // namespace

int DeriveLandClass(const LandCell& c) {
    if (!(c.height > 0) || c.height > 4500 || !std::isfinite(c.coldest) || !(c.warmest >= 0)) return 0;
    int r = c.red, g = c.green, b = c.blue;
    int brightness = (r + g + b) / 3;
    int snowy = std::min({r, g, b}) >= 150 && std::max({r, g, b}) - std::min({r, g, b}) < 40;
    int desert = !snowy && brightness >= 80 && r - b >= 35;
    int dense = brightness < 42 && g >= r;
    int woodland = !dense && brightness < 62 && g >= r - 10;
    int open = !dense && !woodland && brightness < 80 && g >= r - 14;
    int green = dense || woodland || open;
    if (c.warmest < 10) return green ? 4 : 0;  // tundra: low shrubs at most
    int boreal = c.coldest < -3;
    if (snowy) return boreal ? 8 : 0;          // the imagery's winter snow over the taiga
    if (desert) return c.coldest >= 0 || c.warmest >= 26 ? 10 : 4;
    if (boreal) return green ? 8 : 0;
    if (c.coldest >= 18) return dense ? 9 : woodland ? 5 : open ? 3 : 0;
    if (c.coldest >= 12) return dense ? 5 : woodland || open ? 3 : 0;
    if (dense) return c.warmest < 20 && c.coldest > 0 ? 7 : c.coldest >= 5 ? 5 : 6;
    if (woodland) return c.coldest > 0 ? 1 : 2;
    return 0;
}

int ReadLandCoverTable(const std::string& path, std::vector<uint8_t>* table, std::string* reason) {
    std::ifstream in(path);
    if (!in) {
        *reason = "cannot be opened";
        return 0;
    }
    table->assign(65536, 0);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream fields(line);
        long source, ours;
        std::string rest;
        if (!(fields >> source)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            *reason = "line " + std::to_string(number) + ": expected two numbers";
            return 0;
        }
        if (!(fields >> ours) || (fields >> rest) || source < 0 || source > 65535 || ours < 0 || ours >= kFlybyClasses) {
            *reason = "line " + std::to_string(number) + ": expected a source class 0..65535 and a class 0..10";
            return 0;
        }
        (*table)[(size_t)source] = (uint8_t)ours;
    }
    return 1;
}

std::vector<float> ClassCellHeights(BuildContext& ctx) {
    RasterSource src;
    std::vector<float> heights;
    if (!OpenRasterSource(ElevationSourcePath(ctx), RecipeValue(ctx, "elevation_extent", ""), &src)) return heights;
    if (!ReadSourceGrid(&src, 1, ClassGrid(), NAN, &heights)) heights.clear();
    CloseRasterSource(&src);
    return heights;
}

int BuildClassRaster(BuildContext& ctx, const std::vector<float>& heights, const std::vector<float> bands[3],
                     std::vector<uint8_t>* classes) {
    std::string landcover = RecipeValue(ctx, "landcover", "");
    int ok = landcover.empty() ? DeriveClasses(ctx, heights, bands, classes) : MapLandCover(ctx, landcover, classes);
    if (!ok) return 0;
    long counts[kFlybyClasses] = {};
    for (uint8_t v : *classes) counts[v < kFlybyClasses ? v : 0]++;
    std::string line = "flyby: raster\\owe14d.img cells per class:";
    for (int k = 0; k < kFlybyClasses; k++) line += " " + std::to_string(k) + "=" + std::to_string(counts[k]);
    ReportLine(ctx, "%s", line.c_str());
    return 1;
}

int WriteClassPicture(const std::vector<uint8_t>& classes, const std::vector<float>* heights, const std::string& path) {
    static const QColor colours[kFlybyClasses] = {
        QColor(150, 150, 150), QColor(120, 200, 80),  QColor(90, 160, 90),  QColor(200, 190, 80),
        QColor(170, 130, 90),  QColor(20, 120, 40),   QColor(40, 100, 70),  QColor(0, 150, 130),
        QColor(20, 70, 60),    QColor(0, 90, 0),      QColor(230, 120, 40),
    };
    QImage image(kClassRasterColumns, kClassRasterRows, QImage::Format_RGB32);
    for (int r = 0; r < kClassRasterRows; r++)
        for (int c = 0; c < kClassRasterColumns; c++) {
            size_t at = (size_t)r * kClassRasterColumns + c;
            int k = classes[at] < kFlybyClasses ? classes[at] : 0;
            QColor colour = colours[k];
            if (k == 0 && heights && !heights->empty() && !((*heights)[at] > 0)) colour = QColor(20, 30, 70);
            image.setPixel(c, r, colour.rgb());
        }
    return image.save(QString::fromStdString(path), "PNG") ? 1 : 0;
}
