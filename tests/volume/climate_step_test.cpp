// The temperature overlay: the byte coding and its clamps, reading and regridding a monthly
// source stored south to north over 0..360 degrees in kelvin, the land/sea choice with its
// fallback, and the step end to end on the packaged land and sea sources.
#include <gtest/gtest.h>
#include <gdal.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "climate_fields.h"
#include "platform/files.h"
#include "volume_helpers.h"
#include "support/test_volume.h"
#include "volume.h"

namespace {

TEST(ClimateCoding, LegendEndsRoundingAndClamps) {
    EXPECT_EQ(CodeTemperature(-58.3), 1);  // byte 0 stays "no value"
    EXPECT_EQ(CodeTemperature(-90.0), 1);
    EXPECT_EQ(CodeTemperature(44.1), 255);  // the legend's top end would be byte 256
    EXPECT_EQ(CodeTemperature(60.0), 255);
    // Every byte is the nearest step: a little either side of its temperature codes to it.
    for (int b = 1; b <= 255; b++) {
        double t = -58.3 + 0.4 * b;
        EXPECT_EQ(CodeTemperature(t - 0.19), b) << t;
        EXPECT_EQ(CodeTemperature(t + 0.19), b) << t;
    }
}

TEST(ClimateCoding, LandSeaChoiceAndFallback) {
    struct Row { int land; float landValue, seaValue; int fallback, source; } rows[] = {
        {1, 20.1f, -10.3f, 1, 1}, {0, 20.1f, -10.3f, 1, 2},
        {1, NAN, -10.3f, 1, 2},  // land without a land value falls back to the sea source
        {0, 20.1f, NAN, 1, 1},   // and sea without a sea value to the land source
        {1, NAN, -10.3f, 0, 0},  // without fallback (vegetation) each keeps to its own
        {0, 20.1f, NAN, 0, 0},  {1, 20.1f, NAN, 0, 1}, {0, NAN, -10.3f, 0, 2},
        {1, NAN, NAN, 1, 0},    {0, NAN, NAN, 1, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ChooseCellSource(r.land, r.landValue, r.seaValue, r.fallback), r.source)
            << r.land << " " << r.landValue << " " << r.seaValue << " " << r.fallback;
}

TEST(ClimateCoding, SourceFileBehindNetcdfNames) {
    EXPECT_EQ(SourceFileOf("NETCDF:\"/data/a b.nc\":tas"), "/data/a b.nc");
    EXPECT_EQ(SourceFileOf("NETCDF:/data/c.nc:AIRT"), "/data/c.nc");
    EXPECT_EQ(SourceFileOf("/data/t.tif"), "/data/t.tif");
}

// A world of 1.5-degree cells, columns from 0.5 W eastwards round the globe, rows stored from
// the south pole northwards, in kelvin; cell centres fall on overlay cell centres.
const double kStep = 1.5;
const int kW = 240, kH = 120;
float Kelvin(int month, int column, int rowFromSouth) { return 250.0f + month + 0.05f * column + 0.2f * rowFromSouth; }

int WriteSouthUpWorld(const std::string& path, int bands) {
    const double gt[6] = {-0.5, kStep, 0, -90, 0, kStep};
    if (!WriteTestRaster(path, kW, kH, bands, gt, [](int b, int c, int r) {
            return b == 3 && r == kH - 2 && c == kW - 1 ? -9999.0f : Kelvin(b, c, r);
        }))
        return 0;
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_Update);
    if (!ds) return 0;
    for (int b = 1; b <= bands; b++) {
        GDALSetRasterUnitType(GDALGetRasterBand(ds, b), "K");
        GDALSetRasterNoDataValue(GDALGetRasterBand(ds, b), -9999);
    }
    GDALClose(ds);
    return 1;
}

// Overlay cell (column, row) of a regridded month.
float At(const std::vector<float>& grid, int column, int row) { return grid[(size_t)row * kClimateColumns + column]; }

TEST(ClimateRegrid, FlipsRowsTurnsLongitudesAndConvertsKelvin) {
    TempFolder dir;
    std::string path = dir / "world.tif";
    ASSERT_EQ(WriteSouthUpWorld(path, 12), 1);
    MonthlyField f;
    ASSERT_EQ(ReadTemperatureField(path, &f), 1);
    EXPECT_EQ(f.global, 1);
    EXPECT_EQ(f.kelvin, 1);
    EXPECT_DOUBLE_EQ(f.north, 90);
    std::vector<float> g;
    for (int m : {0, 6, 11}) {
        RegridMonth(f, m, &g);
        // Row 1 (89.25 N) is the last row stored; row 358 (89.25 S) the first.
        // Column 0 (179.75 W) is source column 120 (180.25 E); column 360 (0.25 E) is column 0.
        EXPECT_NEAR(At(g, 0, 1), Kelvin(m, 120, kH - 1) - 273.15f, 1e-3) << m;
        EXPECT_NEAR(At(g, 360, 1), Kelvin(m, 0, kH - 1) - 273.15f, 1e-3) << m;
        EXPECT_NEAR(At(g, 717, 358), Kelvin(m, 119, 0) - 273.15f, 1e-3) << m;
        // 44.25 N (row 91) is source row 89; 89.75 W (column 180) is 270.25 E, source column 180.
        EXPECT_NEAR(At(g, 180, 91), Kelvin(m, 180, 89) - 273.15f, 1e-3) << m;
        // 0.25 W lies two thirds of the way from column 239 (358.75 E) across the seam to
        // column 0 (360.25 E).
        float expect = (Kelvin(m, 239, kH - 1) + 2 * Kelvin(m, 0, kH - 1)) / 3 - 273.15f;
        EXPECT_NEAR(At(g, 359, 1), expect, 1e-3) << m;
    }
    // A missing cell drops out: in April column 239 of 87.75 N (overlay row 4) has no value,
    // so across the seam only column 0 is left; a month later both count again.
    RegridMonth(f, 3, &g);
    EXPECT_NEAR(At(g, 359, 4), Kelvin(3, 0, kH - 2) - 273.15f, 1e-3);
    RegridMonth(f, 4, &g);
    EXPECT_NEAR(At(g, 359, 4), (Kelvin(4, 239, kH - 2) + 2 * Kelvin(4, 0, kH - 2)) / 3 - 273.15f, 1e-3);
    // Beyond the last row centre the edge row holds up to the pole.
    EXPECT_NEAR(At(g, 360, 0), At(g, 360, 1), 1e-4);
}

TEST(ClimateRegrid, RefusesSourcesThatAreNotTwelveMonths) {
    TempFolder dir;
    std::string path = dir / "eleven.tif";
    ASSERT_EQ(WriteSouthUpWorld(path, 11), 1);
    MonthlyField f;
    EXPECT_EQ(ReadTemperatureField(path, &f), 0);
    EXPECT_EQ(ReadTemperatureField(dir / "absent.nc", &f), 0);
}

// A regional source in degrees C leaves the cells it does not cover 0.
TEST(ClimateStep, RecipeSourceLeavesUncoveredCellsZero) {
    TempFolder dir;
    std::string path = dir / "box.tif";
    const double gt[6] = {0, 0.5, 0, 10, 0, -0.5};  // 0..10 E, 0..10 N, 20 x 20 cells
    ASSERT_EQ(WriteTestRaster(path, 20, 20, 12, gt, [](int b, int, int) { return -20.0f + 5 * b; }), 1);
    BuildContext ctx;
    ctx.outDir = dir / "vol";
    ctx.recipe["temperature"] = path;
    ASSERT_EQ(BuildClimate(ctx), 1);
    for (int m : {1, 12}) {
        char name[64];
        snprintf(name, sizeof name, "vol/globe/temp%02d.raw", m);
        std::vector<uint8_t> bytes = ReadTestFile(dir / name);
        ASSERT_EQ(bytes.size(), 259200u);
        long zeros = 0;
        for (uint8_t b : bytes) zeros += b == 0;
        EXPECT_EQ(zeros, 259200 - 400);
        // 5.25 E, 5.25 N: row 190 counted from the south pole, column 370.
        EXPECT_EQ(bytes[190 * 720 + 370], CodeTemperature(-20.0 + 5 * (m - 1)));
    }
}

const char* kLand = "NETCDF:\"/usr/share/ncarg/data/nug/tas_rectilinear_grid_2D.nc\":tas";
const char* kSea = "NETCDF:\"/usr/share/ferret-vis/data/coads_climatology.cdf\":AIRT";

// The overlay cell holding a point.
size_t Cell(double lon, double lat) { return (size_t)((lat + 90) / 0.5) * 720 + (size_t)((lon + 180) / 0.5); }
double Celsius(const std::vector<uint8_t>& bytes, double lon, double lat) { return -58.3 + 0.4 * bytes[Cell(lon, lat)]; }

TEST(ClimateStep, PackagedSourcesEndToEnd) {
    if (!FileExists(SourceFileOf(kLand).c_str()) || !FileExists(SourceFileOf(kSea).c_str()))
        GTEST_SKIP() << "libncarg-data or ferret-datasets is not installed (scripts/setup.sh)";
    TempFolder dir;
    BuildContext ctx;
    ctx.outDir = dir / "vol";
    ASSERT_EQ(BuildClimate(ctx), 1);
    std::vector<uint8_t> jan = ReadTestFile(dir / "vol/globe/temp01.raw");
    std::vector<uint8_t> jul = ReadTestFile(dir / "vol/globe/temp07.raw");
    long zeros = 0;
    for (int m = 1; m <= 12; m++) {
        char name[64];
        snprintf(name, sizeof name, "vol/globe/temp%02d.raw", m);
        std::vector<uint8_t> bytes = ReadTestFile(dir / name);
        ASSERT_EQ(bytes.size(), 259200u) << name;
        for (uint8_t b : bytes) zeros += b == 0;
    }
    EXPECT_EQ(zeros, 0);  // the model covers the whole globe
    EXPECT_GT(Celsius(jul, 10, 23), 25);            // Sahara in July
    EXPECT_LT(Celsius(jan, 10, 23), Celsius(jul, 10, 23) - 10);
    EXPECT_LT(Celsius(jan, 130, 62), -15);          // Siberia in January
    EXPECT_LT(Celsius(jul, 0, -80), -30);           // Antarctica in its winter
    for (const std::vector<uint8_t>* month : {&jan, &jul}) {
        EXPECT_NEAR(Celsius(*month, -140, 0.25), 26.5, 2.0);  // equatorial Pacific
    }
    // Land takes the model, sea the marine climatology.
    MonthlyField land, sea;
    ASSERT_EQ(ReadTemperatureField(kLand, &land), 1);
    ASSERT_EQ(ReadTemperatureField(kSea, &sea), 1);
    EXPECT_EQ(land.kelvin, 1);
    EXPECT_EQ(sea.kelvin, 0);
    EXPECT_EQ(jul[Cell(10.25, 23.25)],
              CodeTemperature(SampleMonthlyField(land, 6, 10.25, 23.25)));
    EXPECT_EQ(jul[Cell(-29.75, 44.75)],
              CodeTemperature(SampleMonthlyField(sea, 6, -29.75, 44.75)));
    // A second run finds every file up to date and writes nothing.
    auto before = std::filesystem::last_write_time(dir / "vol/globe/temp07.raw");
    ctx.report.clear();
    ASSERT_EQ(BuildClimate(ctx), 1);
    EXPECT_EQ(std::filesystem::last_write_time(dir / "vol/globe/temp07.raw"), before);
    EXPECT_EQ(LinesWith(ctx.report, "temp12.raw up to date"), 1);
}

}  // namespace
