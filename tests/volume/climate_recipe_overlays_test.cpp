// The overlays from the user's own files: each byte coding at its ends and clamps, a 12-band
// source per recipe key giving exact bytes at known cells, the land/sea split of vegetation,
// the messages for sources and ranges that cannot be used, and no files without the keys.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "climate_fields.h"
#include "platform/files.h"
#include "volume_helpers.h"
#include "support/test_volume.h"
#include "volume.h"

namespace {

TEST(OverlayCoding, EndsRoundingAndClamps) {
    const double chlMid = sqrt(0.01 * 65);  // halfway on the log scale
    struct Row { const ByteCoding* coding; double value; int byte; } rows[] = {
        // precipitation: b = P x 256 / 675, byte 0 is 0 mm
        {&kPrecipitationCoding, 0, 0}, {&kPrecipitationCoding, -4, 0}, {&kPrecipitationCoding, 1.3, 0},
        {&kPrecipitationCoding, 1.34, 1}, {&kPrecipitationCoding, 337.5, 128},
        {&kPrecipitationCoding, 675.0 * 255 / 256, 255}, {&kPrecipitationCoding, 675, 255},
        {&kPrecipitationCoding, 2000, 255},
        // sunshine: b = S x 256 / 100
        {&kSunshineCoding, 0, 0}, {&kSunshineCoding, -1, 0}, {&kSunshineCoding, 0.2, 1}, {&kSunshineCoding, 50, 128},
        {&kSunshineCoding, 99.6, 255}, {&kSunshineCoding, 100, 255}, {&kSunshineCoding, 130, 255},
        // land NDVI -0.1..0.9, byte 0 kept for "no value"
        {&kLandVegetationCoding, -0.1, 1}, {&kLandVegetationCoding, -1, 1}, {&kLandVegetationCoding, 0.4, 128},
        {&kLandVegetationCoding, -0.1 + 10.0 / 256, 10}, {&kLandVegetationCoding, 0.9, 255},
        {&kLandVegetationCoding, 1, 255},
        // ocean chlorophyll-a 0.01..65 mg/m3 on a log scale
        {&kOceanVegetationCoding, 0.01, 1}, {&kOceanVegetationCoding, 0.001, 1}, {&kOceanVegetationCoding, 0, 1},
        {&kOceanVegetationCoding, -2, 1}, {&kOceanVegetationCoding, chlMid, 128}, {&kOceanVegetationCoding, 1, 134},
        {&kOceanVegetationCoding, 65, 255}, {&kOceanVegetationCoding, 500, 255},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CodeValue(*r.coding, r.value), r.byte) << r.coding->lo << ".." << r.coding->hi << ": " << r.value;
}

// Sources cover 0..10 E, 0..10 N in 0.5-degree cells, so each overlay cell there takes one
// source cell exactly: cell (c, r) of the box (r from 10 N) is overlay column 360 + c and,
// the files starting at the south pole, row 199 - r.
const double kBox[6] = {0, 0.5, 0, 10, 0, -0.5};
int K(int month, int c, int r) { return 12 * month + c + r; }  // the byte expected, 0..170
size_t Cell(int c, int r) { return (size_t)(199 - r) * 720 + 360 + c; }

std::string WriteBox(const TempFolder& dir, const char* name, int bands, double (*value)(int k)) {
    std::string path = dir / name;
    WriteTestRaster(path, 20, 20, bands, kBox, [value](int b, int c, int r) { return (float)value(K(b, c, r)); });
    return path;
}
double Precip(int k) { return 675.0 / 256 * k; }
double Cloud(int k) { return 100.0 / 256 * k; }  // sunshine 100 - cloud codes to 256 - k
double Ndvi(int k) { return -0.1 + k / 256.0; }
double Chlorophyll(int k) { return pow(10, -2 + k / 256.0 * (log10(65) + 2)); }

// A context whose temperature comes from a small file, so the tests need no packaged data.
BuildContext Context(const TempFolder& dir) {
    BuildContext ctx;
    ctx.outDir = dir / "vol";
    ctx.recipe["temperature"] = WriteBox(dir, "t.tif", 12, [](int k) { return (double)k; });
    return ctx;
}

std::vector<uint8_t> Month(const TempFolder& dir, const char* kind, int m) {
    char name[64];
    snprintf(name, sizeof name, "vol/globe/%s%02d.raw", kind, m);
    return ReadTestFile(dir / name);
}

TEST(RecipeOverlays, PrecipitationAndSunshineFromCloudExactBytes) {
    TempFolder dir;
    BuildContext ctx = Context(dir);
    ctx.recipe["precipitation"] = WriteBox(dir, "p.tif", 12, Precip);
    ctx.recipe["sunshine"] = WriteBox(dir, "c.tif", 12, Cloud);
    ctx.recipe["sunshine_from_cloud"] = "yes";
    ASSERT_EQ(BuildClimate(ctx), 1);
    for (int m : {1, 7, 12}) {
        std::vector<uint8_t> p = Month(dir, "precip", m), s = Month(dir, "cloud", m);
        ASSERT_EQ(p.size(), 259200u);
        ASSERT_EQ(s.size(), 259200u);
        for (int c : {0, 10, 19})
            for (int r : {0, 9, 19}) {
                EXPECT_EQ(p[Cell(c, r)], K(m - 1, c, r)) << m << " " << c << " " << r;
                EXPECT_EQ(s[Cell(c, r)], std::min(255, 256 - K(m - 1, c, r))) << m << " " << c << " " << r;
            }
        EXPECT_EQ(p[Cell(-1, 5)], 0);  // 0.25 W: outside the source
        EXPECT_EQ(s[Cell(5, -1)], 0);  // 10.25 N
    }
    EXPECT_EQ(LinesWith(ctx.report, "precipitation: 3105600 of 3110400 cells left 0"), 1);
    EXPECT_EQ(LinesWith(ctx.report, "sunshine: 3105600 of 3110400 cells left 0"), 1);
    EXPECT_EQ(LinesWith(ctx.report, "sunshine = 100 - cloud"), 1);
    EXPECT_FALSE(FileExists((dir / "vol/globe/vege01.raw").c_str()));
}

TEST(RecipeOverlays, SunshineTakenAsIsWithoutTheCloudKey) {
    TempFolder dir;
    BuildContext ctx = Context(dir);
    ctx.recipe["sunshine"] = WriteBox(dir, "s.tif", 12, Cloud);
    ASSERT_EQ(BuildClimate(ctx), 1);
    EXPECT_EQ(Month(dir, "cloud", 4)[Cell(3, 2)], K(3, 3, 2));
    EXPECT_FALSE(FileExists((dir / "vol/globe/precip04.raw").c_str()));
}

// Heights of 1-degree cells: land from 0 to 5 E, sea elsewhere.
std::string WriteHeights(const TempFolder& dir) {
    std::string path = dir / "heights.tif";
    const double gt[6] = {-180, 1, 0, 90, 0, -1};
    WriteTestRaster(path, 360, 180, 1, gt, [](int, int c, int) { return c >= 180 && c < 185 ? 500.0f : -3000.0f; });
    return path;
}

TEST(RecipeOverlays, VegetationSplitsLandAndSea) {
    TempFolder dir;
    BuildContext ctx = Context(dir);
    ctx.recipe["elevation"] = WriteHeights(dir);
    ctx.recipe["land_vegetation"] = WriteBox(dir, "ndvi.tif", 12, Ndvi);
    ctx.recipe["ocean_vegetation"] = WriteBox(dir, "chl.tif", 12, [](int k) { return Chlorophyll(k / 2 + 1); });
    ASSERT_EQ(BuildClimate(ctx), 1);
    for (int m : {1, 12}) {
        std::vector<uint8_t> v = Month(dir, "vege", m);
        ASSERT_EQ(v.size(), 259200u);
        // Columns 0..7 of the box (0..4 E) are land, 12..19 (6..10 E) sea.
        for (int r : {0, 11, 19}) {
            EXPECT_EQ(v[Cell(4, r)], std::max(1, K(m - 1, 4, r))) << m << " " << r;
            EXPECT_EQ(v[Cell(15, r)], K(m - 1, 15, r) / 2 + 1) << m << " " << r;
        }
    }
    EXPECT_EQ(Month(dir, "vege", 1)[Cell(0, 0)], 1);  // NDVI -0.1 is the lowest byte, not "no value"
    EXPECT_EQ(Month(dir, "vege", 1)[Cell(-1, 0)], 0);
    // A range key replaces the land coding; land alone leaves the sea cells 0.
    ctx.recipe.erase("ocean_vegetation");
    ctx.recipe["land_vegetation_range"] = "-0.1, 1.9";
    ctx.force = 1;
    ASSERT_EQ(BuildClimate(ctx), 1);
    std::vector<uint8_t> v = Month(dir, "vege", 3);
    EXPECT_EQ(v[Cell(4, 12)], K(2, 4, 12) / 2);
    EXPECT_EQ(v[Cell(15, 11)], 0);
    EXPECT_EQ(LinesWith(ctx.report, "sea cells left 0, the recipe names no ocean_vegetation"), 1);
}

// The exact message and a failed step for each source or key that cannot be used.
TEST(RecipeOverlays, RefusesWithItsMessage) {
    TempFolder dir;
    std::string eleven = WriteBox(dir, "eleven.tif", 11, Precip);
    struct Row {
        const char* key;
        std::string value;
        const char* extraKey;
        const char* extraValue;
        std::string message;
    } rows[] = {
        {"precipitation", eleven, "", "", "The precipitation source " + eleven + " has 11 bands, not the 12 months"},
        {"ocean_vegetation", eleven, "", "", "The ocean_vegetation source " + eleven +
                                                 " has 11 bands, not the 12 months"},
        {"sunshine", dir / "absent.nc", "", "", "Cannot open the sunshine source " + (dir / "absent.nc")},
        {"land_vegetation", eleven, "land_vegetation_range", "0.9,0.1",
         "The recipe's land_vegetation_range = 0.9,0.1 is not a range lo,hi with lo below hi"},
        {"land_vegetation", eleven, "land_vegetation_range", "0,1,2",
         "The recipe's land_vegetation_range = 0,1,2 is not a range lo,hi with lo below hi"},
        {"ocean_vegetation", eleven, "ocean_vegetation_range", "0,10",
         "The recipe's ocean_vegetation_range = 0,10 must lie above 0: it is coded on a logarithmic scale"},
        {"sunshine", eleven, "sunshine_from_cloud", "maybe",
         "The recipe's sunshine_from_cloud = maybe is neither yes nor no"},
    };
    for (const Row& r : rows) {
        BuildContext ctx = Context(dir);
        ctx.recipe[r.key] = r.value;
        if (*r.extraKey) ctx.recipe[r.extraKey] = r.extraValue;
        testing::internal::CaptureStderr();
        EXPECT_EQ(BuildClimate(ctx), 0) << r.message;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(r.message), std::string::npos) << err;
    }
}

TEST(RecipeOverlays, NoKeysNoFilesAndTheReportSaysSo) {
    TempFolder dir;
    BuildContext ctx = Context(dir);
    ASSERT_EQ(BuildClimate(ctx), 1);
    EXPECT_TRUE(FileExists((dir / "vol/globe/temp01.raw").c_str()));
    for (const char* name : {"precip", "cloud", "vege"})
        for (int m = 1; m <= 12; m++) {
            char path[64];
            snprintf(path, sizeof path, "vol/globe/%s%02d.raw", name, m);
            EXPECT_FALSE(FileExists((dir / path).c_str())) << path;
        }
    ASSERT_EQ(ctx.missing.size(), 3u);
    for (const char* key : {"no recipe key precipitation", "no recipe key sunshine",
                            "neither land_vegetation nor ocean_vegetation in the recipe"})
        EXPECT_EQ(LinesWith(ctx.missing, key), 1) << key;
}

}  // namespace
