// The builder's flyby step: the class rule cell by cell, the whole derivation from small world
// sources (rows from the north, columns from 180 W, temperatures by month), a land-cover
// raster through its class table, the palette and haze table, and the artwork's formats.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flyby/flyby.h"
#include "flyby_build.h"
#include "imaging/imaging.h"
#include "support/test_volume.h"
#include "volume.h"
#include "volume_helpers.h"

namespace {

LandCell Cell(float height, int r, int g, int b, float coldest, float warmest) {
    LandCell c;
    c.height = height, c.red = r, c.green = g, c.blue = b, c.coldest = coldest, c.warmest = warmest;
    return c;
}

TEST(FlybyClasses, RuleCellByCell) {
    struct Case {
        const char* what;
        LandCell cell;
        int cls;
    } cases[] = {
        {"rain forest", Cell(200, 30, 46, 13, 24, 27), 9},
        {"tropical woodland", Cell(200, 64, 65, 34, 19, 30), 5},
        {"tropical open land", Cell(200, 80, 75, 50, 19, 30), 3},
        {"subtropical forest", Cell(200, 30, 40, 15, 14, 28), 5},
        {"savanna", Cell(900, 71, 64, 35, 15, 24), 3},
        {"hot desert", Cell(300, 180, 155, 120, 12, 34), 10},
        {"desert warm summers only", Cell(300, 180, 155, 120, -8, 27), 10},
        {"cold desert", Cell(1200, 116, 98, 67, -15, 22), 4},
        {"taiga", Cell(200, 32, 36, 18, -20, 16), 8},
        {"snow over the taiga", Cell(200, 172, 176, 178, -25, 16), 8},
        {"snow in a temperate land", Cell(200, 172, 176, 178, 2, 16), 0},
        {"tundra", Cell(100, 70, 72, 50, -30, 8), 4},
        {"bare tundra", Cell(100, 120, 118, 110, -30, 8), 0},
        {"ice cap", Cell(2000, 30, 46, 13, -40, -2), 0},
        {"oceanic forest", Cell(200, 12, 18, 5, 4, 17), 7},
        {"humid subtropical forest", Cell(200, 32, 37, 15, 6, 27), 5},
        {"continental forest", Cell(200, 32, 37, 15, -2, 24), 6},
        {"mild woodland", Cell(200, 65, 68, 33, 4, 19), 1},
        {"cold woodland", Cell(200, 64, 58, 34, -2, 20), 2},
        {"grassland", Cell(200, 96, 81, 49, -5, 24), 0},
        {"sea", Cell(-50, 30, 46, 13, 24, 27), 0},
        {"at sea level", Cell(0, 30, 46, 13, 24, 27), 0},
        {"above the treeline", Cell(4600, 30, 46, 13, 24, 27), 0},
        {"no temperature", Cell(200, 30, 46, 13, NAN, NAN), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DeriveLandClass(c.cell), c.cls) << c.what;
}

TEST(FlybyClasses, ClassTableLines) {
    TempFolder dir;
    std::vector<uint8_t> table;
    std::string reason;
    WriteTestText(dir / "good.txt", "# source -> ours\n10 9\n  20\t8  # needleleaf\n\n210 0\n65535 10\n");
    ASSERT_EQ(ReadLandCoverTable(dir / "good.txt", &table, &reason), 1) << reason;
    EXPECT_EQ(table[10], 9);
    EXPECT_EQ(table[20], 8);
    EXPECT_EQ(table[65535], 10);
    EXPECT_EQ(table[11], 0);  // unnamed classes have no trees
    struct Bad {
        const char* text;
        const char* reason;
    } bad[] = {
        {"10 9\n10\n", "line 2: expected a source class 0..65535 and a class 0..10"},
        {"10 11\n", "line 1: expected a source class 0..65535 and a class 0..10"},
        {"10 9 3\n", "line 1: expected a source class 0..65535 and a class 0..10"},
        {"forest 9\n", "line 1: expected two numbers"},
        {"70000 1\n", "line 1: expected a source class 0..65535 and a class 0..10"},
    };
    for (const Bad& b : bad) {
        WriteTestText(dir / "bad.txt", b.text);
        EXPECT_EQ(ReadLandCoverTable(dir / "bad.txt", &table, &reason), 0) << b.text;
        EXPECT_EQ(reason, b.reason) << b.text;
    }
    EXPECT_EQ(ReadLandCoverTable(dir / "none.txt", &table, &reason), 0);
}

// World sources of 36 x 18 cells of 10 degrees: block (column, row) from 180 W and 90 N.
const double kWorld10[6] = {-180, 10, 0, 90, 0, -10};
size_t ClassCellAt(double lon, double lat) {
    return (size_t)((90 - lat) * 6) * kClassRasterColumns + (size_t)((lon + 180) * 6);
}

struct FlybyStepTest : ::testing::Test {
    TempFolder dir;
    BuildContext ctx;
    void SetUp() override {
        ctx.outDir = dir / "vol";
        // Heights: sea in the first column of blocks, 5000 m in the last, 300 m elsewhere.
        WriteTestRaster(dir / "h.tif", 36, 18, 1, kWorld10, [](int, int c, int) { return c == 0 ? -200.f : c == 35 ? 5000.f : 300.f; });
        // Colours by column of blocks: rain forest green, desert tan, snow, woodland.
        WriteTestRaster(dir / "i.tif", 36, 18, 3, kWorld10, [](int b, int c, int) {
            static const float colours[4][3] = {{30, 46, 13}, {180, 155, 120}, {240, 240, 240}, {65, 68, 33}};
            return colours[(c / 4) % 4][b];
        });
        // Temperatures by row of blocks: north of 30 N cold winters, south of it tropical.
        WriteTestRaster(dir / "t.tif", 36, 18, 12, kWorld10, [](int month, int, int r) {
            if (r < 6) return month == 0 ? -20.f : month == 6 ? 16.f : 0.f;
            return month == 6 ? 30.f : 24.f;
        });
        ctx.recipe["elevation"] = dir / "h.tif";
        ctx.recipe["imagery"] = dir / "i.tif";
        ctx.recipe["temperature"] = dir / "t.tif";
        ctx.recipe["flyby-classes-picture"] = dir / "classes.png";
    }
};

TEST_F(FlybyStepTest, DerivedClassesFollowTheSourcesPlaces) {
    ASSERT_EQ(BuildFlyby(ctx), 1);
    std::vector<uint8_t> classes = ReadTestFile(dir / "vol/raster/owe14d.img");
    ASSERT_EQ(classes.size(), 2160u * 1080u);
    struct Case {
        double lon, lat;
        int cls;
    } cases[] = {
        {-165, 65, 8},   // green under cold winters and a 16 C summer: needleleaf
        {-165, 5, 9},    // green in the tropics
        {-125, 5, 10},   // tan in the tropics: desert scrub
        {-125, 65, 4},   // tan with cold winters and cool summers: shrubs
        {-85, 65, 8},    // snow over the boreal belt
        {-85, 5, 0},     // "snow" in the tropics
        {-45, 5, 5},     // tropical woodland
        {-45, 65, 8},
        {-175, 5, 0},    // sea
        {175, 5, 0},     // above 4500 m
    };
    for (const Case& c : cases) EXPECT_EQ(classes[ClassCellAt(c.lon, c.lat)], c.cls) << c.lon << " " << c.lat;
    EXPECT_EQ(ReadTestFile(dir / "vol/Textures/PrePals.pal").size(), 768u);
    EXPECT_GT(FileSize(dir / "classes.png"), 0);
    EXPECT_EQ(LinesWith(ctx.report, "raster\\owe14d.img cells per class"), 1);
}

TEST_F(FlybyStepTest, LandCoverRasterThroughItsTable) {
    // Source classes 100 + block column: each 10-degree column its own source class.
    WriteTestRaster(dir / "lc.tif", 36, 18, 1, kWorld10, [](int, int c, int) { return 100.f + c; });
    std::string table;
    for (int c = 0; c < 36; c++) table += std::to_string(100 + c) + " " + std::to_string(c % 11) + "\n";
    WriteTestText(dir / "lc.txt", table);
    ctx.recipe["landcover"] = dir / "lc.tif";
    ctx.recipe["landcover-classes"] = dir / "lc.txt";
    ASSERT_EQ(BuildFlyby(ctx), 1);
    std::vector<uint8_t> classes = ReadTestFile(dir / "vol/raster/owe14d.img");
    ASSERT_EQ(classes.size(), 2160u * 1080u);
    for (int c = 0; c < 36; c++)
        for (double lat : {85.0, 0.0, -85.0}) {
            double lon = -180 + 10 * c;
            // Every class cell inside the block, its edges included, takes the block's class.
            EXPECT_EQ(classes[ClassCellAt(lon + 0.05, lat)], c % 11) << lon << " " << lat;
            EXPECT_EQ(classes[ClassCellAt(lon + 9.9, lat)], c % 11) << lon << " " << lat;
        }
    EXPECT_EQ(LinesWith(ctx.report, "land-cover raster"), 1);
    EXPECT_EQ(BuildFlyby(ctx), 1);  // up to date: nothing is read again
    EXPECT_EQ(LinesWith(ctx.report, "up to date"), 1);
    ctx.recipe.erase("landcover-classes");
    ctx.force = 1;
    EXPECT_EQ(BuildFlyby(ctx), 0);  // a land-cover raster is no use without its table
}

TEST(FlybyPalette, CubeExtrasAndHaze) {
    std::vector<uint32_t> land(5000, 0x825A3C);  // (130, 90, 60), far from the cube
    land.insert(land.end(), 3000, 0x99B6BF);     // (153, 182, 191), on a cube entry
    std::vector<uint8_t> palette = BuildFlybyPalette(land);
    ASSERT_EQ(palette.size(), 768u);
    EXPECT_EQ(palette[0] + palette[1] + palette[2], 0);  // entry 0 black
    EXPECT_EQ(palette[3 * 239], 255);
    EXPECT_EQ(palette[3 * 239 + 1], 255);
    EXPECT_EQ(palette[3 * 239 + 2], 255);
    // The horizon's colour follows the cube, so the haze ends on it exactly.
    EXPECT_EQ(palette[3 * 240] << 16 | palette[3 * 240 + 1] << 8 | palette[3 * 240 + 2], (int)kFlybyHorizonRgb);
    // The common colour the cube misses has an entry of its own, exactly.
    int found = 0;
    for (int i = 240; i < 256; i++) found += palette[3 * i] == 130 && palette[3 * i + 1] == 90 && palette[3 * i + 2] == 60;
    EXPECT_EQ(found, 1);
    // Two colours of one bin and a third near them share an entry at their weighted mean.
    std::vector<uint32_t> near(300, 0xB49B78);      // (180, 155, 120)
    near.insert(near.end(), 100, 0xB69D7C);          // (182, 157, 124)
    palette = BuildFlybyPalette(near);
    int entry = NearestFlybyIndex(palette, 180, 155, 120, 0);
    EXPECT_GE(entry, 241);
    EXPECT_EQ(NearestFlybyIndex(palette, 182, 157, 124, 0), entry);
    EXPECT_EQ(palette[3 * entry], 181);   // (300 x 180 + 100 x 182) / 400 = 180.5, rounded
    EXPECT_EQ(palette[3 * entry + 2], 121);
    palette = BuildFlybyPalette(land);
    EXPECT_EQ(NearestFlybyIndex(palette, 130, 90, 60, 0), NearestFlybyIndex(palette, 133, 93, 61, 1));
    EXPECT_NE(NearestFlybyIndex(palette, 0, 0, 0, 1), 0);

    std::vector<uint8_t> haze = BuildHazeTable(palette);
    ASSERT_EQ(haze.size(), (size_t)kFlybyHazeLevels * 256);
    int hr = kFlybyHorizonRgb >> 16 & 255, hg = kFlybyHorizonRgb >> 8 & 255, hb = kFlybyHorizonRgb & 255;
    auto towardHorizon = [&](int entry) {
        return std::abs(palette[3 * entry] - hr) + std::abs(palette[3 * entry + 1] - hg) + std::abs(palette[3 * entry + 2] - hb);
    };
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(haze[(size_t)i], i);  // row 0: no haze
        EXPECT_EQ(haze[15 * 256 + i], 240) << i;
        EXPECT_LE(towardHorizon(haze[12 * 256 + i]), towardHorizon(haze[4 * 256 + i]) + 24) << i;
    }
}

TEST_F(FlybyStepTest, ArtworkSizesTransparencyAndFeet) {
    ASSERT_EQ(BuildFlyby(ctx), 1);
    std::vector<uint8_t> pal = ReadTestFile(dir / "vol/Textures/PrePals.pal");
    for (int k = 1; k < kFlybyClasses; k++) {
        std::string name = kFlybyClassTextures[k];
        for (char& ch : name)
            if (ch == '\\') ch = '/';
        std::vector<uint8_t> file = ReadTestFile(dir / ("vol/" + name));
        uint32_t offset = Bmp8PixelOffset(file, 64, 64);
        ASSERT_GT(offset, 0u) << name;
        // The colour table is the flyby palette.
        for (int i = 0; i < 256; i++) ASSERT_EQ(file[54 + 4 * i + 2], pal[3 * i]) << name;
        const uint8_t* bottom = file.data() + offset;  // the first stored row is the bottom row
        EXPECT_EQ(bottom[0], 0) << name;
        EXPECT_EQ(file[offset + 63 * 64 + 63], 0) << name;  // the top right corner is clear
        int foot = 0;
        for (int row = 0; row < 4; row++) foot |= bottom[row * 64 + 32] != 0;
        EXPECT_TRUE(foot) << name << ": nothing stands at the middle of the bottom";
    }
    for (auto [name, size] : {std::pair{"vol/Textures/C3.bmp", 21}, std::pair{"vol/640/Textures/C3.bmp", 16}}) {
        std::vector<uint8_t> symbol = ReadTestFile(dir / name);
        DecodedBmp bmp;
        ASSERT_EQ(DecodeBmp(symbol.data(), symbol.size(), &bmp), 1) << name;
        EXPECT_EQ(bmp.width, size);
        EXPECT_EQ(bmp.height, size);
        EXPECT_EQ(bmp.bitCount, 8);
    }
    EXPECT_GT(Bmp8PixelOffset(ReadTestFile(dir / "vol/Textures/C4.bmp"), 36, 60), 0u);
    EXPECT_GT(Bmp8PixelOffset(ReadTestFile(dir / "vol/640/Textures/C5.bmp"), 28, 48), 0u);
    EXPECT_GT(Bmp8PixelOffset(ReadTestFile(dir / "vol/Textures/Airport.bmp"), 16, 16), 0u);
    EXPECT_GT(Bmp8PixelOffset(ReadTestFile(dir / "vol/Textures/AlphaBit.bmp"), 256, kFlybyHazeLevels), 0u);

    struct Frame {
        const char* name;
        int w, h;
    } frames[] = {{"vol/Textures/C800.bmp", 665, 499}, {"vol/Textures/C640.bmp", 532, 399}};
    for (const Frame& f : frames) {
        std::vector<uint8_t> file = ReadTestFile(dir / f.name);
        DecodedBmp bmp;
        ASSERT_EQ(DecodeBmp(file.data(), file.size(), &bmp), 1) << f.name;
        EXPECT_EQ(bmp.width, f.w);
        EXPECT_EQ(bmp.height, f.h);
        size_t clear = 0;
        for (uint32_t p : bmp.pixels) clear += (p & 0xFFFFFF) == 0xFF00FF;
        EXPECT_GT(clear, bmp.pixels.size() * 3 / 4) << f.name << ": most of the view stays clear";
        EXPECT_NE(bmp.pixels[0] & 0xFFFFFF, 0xFF00FFu) << f.name << ": the frame covers the corner";
    }
    std::vector<uint8_t> file = ReadTestFile(dir / "vol/Textures/Sky.bmp");
    DecodedBmp sky;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &sky), 1);
    ASSERT_EQ(sky.width, kFlybySkyWidth);
    // The columns wrap: the last column runs on into the first.
    int seam = 0, inside = 0;
    for (int y = 0; y < sky.height; y++) {
        auto step = [&](int a, int b) {
            uint32_t p = sky.pixels[(size_t)y * sky.width + a], q = sky.pixels[(size_t)y * sky.width + b];
            return std::abs((int)(p >> 16 & 255) - (int)(q >> 16 & 255)) + std::abs((int)(p & 255) - (int)(q & 255));
        };
        seam = std::max(seam, step(sky.width - 1, 0));
        inside = std::max(inside, step(500, 501));
    }
    EXPECT_LE(seam, std::max(inside, 12));
}

}  // namespace
