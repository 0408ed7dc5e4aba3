// The globe's world layers: sources turned onto the world grid, height classes, shading,
// the colour reduction of the imagery and its 8-bit BMP file.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "globe_build.h"
#include "imaging/imaging.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"
#include "volume_helpers.h"

namespace {

float At(const GlobeGrid& g, int band, double lat, double lon) {
    int row = (int)std::floor((lat + 90.0) * g.height / 180.0), column = (int)std::floor((lon + 180.0) * g.width / 360.0);
    return g.planes[band][(size_t)row * g.width + column];
}

// Cell-centre latitude and longitude of the grid cell holding (lat, lon).
double CentreLat(const GlobeGrid& g, double lat) { return -90.0 + (std::floor((lat + 90.0) * g.height / 180.0) + 0.5) * 180.0 / g.height; }
double CentreLon(const GlobeGrid& g, double lon) { return -180.0 + (std::floor((lon + 180.0) * g.width / 360.0) + 0.5) * 360.0 / g.width; }

}  // namespace

TEST(GlobeSource, RowsAndLongitudesAreTurnedOntoTheWorldGrid) {
    TempFolder dir;
    // Band 0 holds each pixel's latitude, band 1 its longitude: linear, so interpolation keeps them.
    struct Case {
        const char* name;
        double gt[6];
        int hasGeoTransform;
        double lonOffset;  // what the source calls longitude 0 ... 360 or -180 ... 180
    } cases[] = {
        {"south_up_0_360.tif", {0.0, 5.0, 0, -90.0, 0, 5.0}, 1, 0},          // like ETOPO5
        {"north_up_180.tif", {-180.0, 5.0, 0, 90.0, 0, -5.0}, 1, -180},
        {"plain.tif", {-180.0, 5.0, 0, 90.0, 0, -5.0}, 0, -180},             // no georeferencing at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir / c.name;
        ASSERT_TRUE(WriteTestRaster(path, 72, 36, 2, c.hasGeoTransform ? c.gt : nullptr, [&](int b, int x, int y) {
            double lat = c.gt[3] + (y + 0.5) * c.gt[5], lon = c.gt[0] + (x + 0.5) * c.gt[1];
            return (float)(b == 0 ? lat : lon);
        }));
        GlobeGrid g;
        std::string note;
        ASSERT_EQ(ReadGlobeSource(path.c_str(), 2, 720, 360, &g, &note), 1);
        EXPECT_EQ(note.empty(), c.hasGeoTransform != 0);
        for (double lat : {-60.0, -45.0, -12.3, 0.0, 33.3, 45.0, 70.1})
            EXPECT_NEAR(At(g, 0, lat, 20.0), CentreLat(g, lat), 1e-3) << lat;
        for (double lon : {-170.0, -90.0, -45.5, -10.0, 10.0, 90.0, 135.2, 170.0}) {
            double expected = CentreLon(g, lon);
            if (c.lonOffset == 0 && expected < 0) expected += 360.0;
            EXPECT_NEAR(At(g, 1, 10.0, lon), expected, 1e-3) << lon;
        }
    }
}

TEST(GlobeSource, FinerSourcesAreAveragedAndMissingOnesFail) {
    TempFolder dir;
    // A checkerboard of 0 and 100 at 0.5 degrees averages to 50 on a 5-degree grid.
    double gt[6] = {-180.0, 0.5, 0, 90.0, 0, -0.5};
    std::string path = dir / "fine.tif";
    ASSERT_TRUE(WriteTestRaster(path, 720, 360, 1, gt, [](int, int x, int y) { return (float)((x + y) % 2 ? 100 : 0); }));
    GlobeGrid g;
    std::string note;
    ASSERT_EQ(ReadGlobeSource(path.c_str(), 1, 72, 36, &g, &note), 1);
    for (float v : g.planes[0]) ASSERT_NEAR(v, 50.0f, 1.0f);

    // A regional source leaves the rest of the world empty.
    double regional[6] = {0.0, 1.0, 0, 10.0, 0, -1.0};
    ASSERT_TRUE(WriteTestRaster(dir / "regional.tif", 10, 10, 1, regional, [](int, int, int) { return 7.0f; }));
    ASSERT_EQ(ReadGlobeSource((dir / "regional.tif").c_str(), 1, 360, 180, &g, &note), 1);
    EXPECT_FLOAT_EQ(At(g, 0, 5.0, 5.0), 7.0f);
    EXPECT_TRUE(std::isnan(At(g, 0, 50.0, 5.0)));
    EXPECT_TRUE(std::isnan(At(g, 0, 5.0, -20.0)));

    // Packed values are given through the band's scale and offset.
    ASSERT_TRUE(WriteTestRaster(dir / "packed.tif", 10, 10, 1, regional, [](int, int, int) { return 7.0f; }));
    GDALDatasetH packed = GDALOpen((dir / "packed.tif").c_str(), GA_Update);
    ASSERT_NE(packed, nullptr);
    GDALSetRasterScale(GDALGetRasterBand(packed, 1), 2.0);
    GDALSetRasterOffset(GDALGetRasterBand(packed, 1), -100.0);
    GDALClose(packed);
    ASSERT_EQ(ReadGlobeSource((dir / "packed.tif").c_str(), 1, 360, 180, &g, &note), 1);
    EXPECT_FLOAT_EQ(At(g, 0, 5.0, 5.0), -86.0f);

    EXPECT_EQ(ReadGlobeSource((dir / "absent.tif").c_str(), 1, 72, 36, &g, &note), 0);
    ASSERT_TRUE(WriteTestFile(dir / "garbage.tif", {'I', 'I', 42, 0, 1, 2, 3}));
    EXPECT_EQ(ReadGlobeSource((dir / "garbage.tif").c_str(), 1, 72, 36, &g, &note), 0);
}

TEST(GlobeRelief, HeightClassesSpanSeaLevelToEverest) {
    struct {
        double metres;
        int expected;
    } cases[] = {{0, 0}, {-420, 0}, {NAN, 0}, {1000, 28}, {8848, 255}, {9500, 255}};
    for (auto& c : cases) EXPECT_EQ(HeightClass(c.metres), c.expected) << c.metres;
    // Class c starts at c/256 x 8848 m (the first, 1, at 34.5625 m).
    for (int c = 0; c < 256; c++) {
        EXPECT_EQ(HeightClass(c * kEverestMetres / 256 + 0.01), c);
        if (c > 0) {
            EXPECT_EQ(HeightClass(c * kEverestMetres / 256 - 0.01), c - 1);
        }
    }
}

TEST(GlobeRelief, ShadingMarksSeaAndLightsNorthWestSlopes) {
    // A 1-degree world: sea in the west, in the east a plain with a square hill.
    GlobeGrid g;
    g.width = 360, g.height = 180;
    g.planes.assign(1, std::vector<float>(360 * 180, -3000.0f));
    for (int row = 60; row < 120; row++)
        for (int column = 200; column < 300; column++) {
            double dx = std::abs(column - 250), dy = std::abs(row - 90);
            g.planes[0][(size_t)row * 360 + column] = (float)(200 + std::max(0.0, 5000 - 500 * std::max(dx, dy)));
        }
    std::vector<uint8_t> shade = ShadeLayer(g);
    std::vector<uint8_t> classes = HeightClassLayer(g);
    auto s = [&](int row, int column) { return (int)shade[(size_t)row * 360 + column]; };
    EXPECT_EQ(s(90, 100), 0);      // sea
    EXPECT_EQ(classes[90 * 360 + 100], 0);
    int flat = s(70, 210);
    EXPECT_GT(flat, 150);
    EXPECT_LT(flat, 230);
    EXPECT_GT(s(90, 247), flat);   // the hill's west side faces the light
    EXPECT_LT(s(90, 253), flat);   // its east side turns away
    EXPECT_GT(s(93, 250), flat);   // north side (rows count northwards)
    EXPECT_LT(s(87, 250), flat);   // south side
    for (int row = 60; row < 120; row++)
        for (int column = 200; column < 300; column++) ASSERT_GE(s(row, column), 1);
    EXPECT_EQ(classes[90 * 360 + 250], HeightClass(5200));
}

TEST(GlobeImagery, FewColoursAreKeptExactlyAndManyAreReducedWell) {
    std::mt19937 random(7);
    // 200 colours in blocks: every one must survive unchanged.
    std::vector<uint8_t> colours(200 * 3);
    for (auto& v : colours) v = (uint8_t)random();
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 20000; i++)
        for (int k = 0; k < 3; k++) rgb.push_back(colours[(i / 100) * 3 + k]);
    std::vector<uint8_t> palette, indices;
    QuantiseColours(rgb.data(), 20000, 256, &palette, &indices);
    ASSERT_EQ(palette.size(), 600u);
    for (int i = 0; i < 20000; i++)
        for (int k = 0; k < 3; k++) ASSERT_EQ(palette[indices[i] * 3 + k], rgb[i * 3 + k]);

    // A smooth field of tens of thousands of colours: 256 entries, little error, every index valid.
    rgb.clear();
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            rgb.push_back((uint8_t)x);
            rgb.push_back((uint8_t)y);
            rgb.push_back((uint8_t)((x * y) >> 8));
        }
    QuantiseColours(rgb.data(), 65536, 256, &palette, &indices);
    ASSERT_EQ(palette.size(), 768u);
    double squared = 0;
    for (size_t i = 0; i < 65536; i++)
        for (int k = 0; k < 3; k++) {
            double d = (double)rgb[i * 3 + k] - palette[indices[i] * 3 + k];
            squared += d * d;
        }
    double psnr = 10 * std::log10(255.0 * 255.0 / (squared / (3 * 65536.0)));
    EXPECT_GT(psnr, 33.0);
    // Each pixel gets its nearest palette colour.
    for (size_t i = 0; i < 65536; i += 997) {
        auto distance = [&](int j) {
            int d = 0;
            for (int k = 0; k < 3; k++) d += (rgb[i * 3 + k] - palette[j * 3 + k]) * (rgb[i * 3 + k] - palette[j * 3 + k]);
            return d;
        };
        for (int j = 0; j < 256; j++) ASSERT_LE(distance(indices[i]), distance(j));
    }
}

TEST(GlobeImagery, Bmp8CarriesItsColourTableAndBottomUpRows) {
    const int w = 40, h = 30;
    std::vector<uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    std::vector<uint8_t> indices(w * h);
    for (int i = 0; i < w * h; i++) indices[i] = (uint8_t)((i * 7 + i / w) % 4);
    std::vector<uint8_t> file = EncodeBmp8(indices.data(), w, h, palette);
    uint32_t dataOffset = Bmp8PixelOffset(file, w, h);  // the fields the globe's loader checks
    EXPECT_EQ((dataOffset - 54) / 4, 4u);
    EXPECT_EQ(file[54], 0);   // blue of entry 0
    EXPECT_EQ(file[56], 255); // red of entry 0
    EXPECT_EQ(file[66], 30);  // blue of entry 3
    // Decoded as an image, the first row given is the bottom row.
    DecodedBmp image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &image), 1);
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    for (int row = 0; row < h; row++)
        for (int x = 0; x < w; x++) {
            int j = indices[row * w + x];
            uint32_t expected = 0xFF000000u | palette[j * 3] << 16 | palette[j * 3 + 1] << 8 | palette[j * 3 + 2];
            EXPECT_EQ(image.pixels[(size_t)(h - 1 - row) * w + x], expected);
        }
}
