// The raster step end to end on small synthetic sources: every file at its exact size, the
// tiles decoded by the viewer's own codec against the sources, land-only fine tiles, shards,
// up-to-date skipping and the scrambling of coarse rows.
#include <gtest/gtest.h>
#include <gdal.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "raster_layers.h"
#include "support/built_fixtures.h"
#include "support/test_volume.h"
#include "volume.h"
#include "volume_helpers.h"

namespace fs = std::filesystem;

namespace {

// Inside the box the land rises as a plane (bilinear resampling reproduces a plane exactly);
// everywhere else lies sea 1000 m deep.
double Height(double lon, double lat) {
    if (lon < -10 || lon > 30 || lat < -10 || lat > 40) return -1000;
    return 10000 + 1000 * (lon - 6) + 500 * (lat - 12);
}
double Channel(int ch, double lon, double lat) {
    return ch == 0 ? 100 + 10 * (lon - 6) : ch == 1 ? 120 + 8 * (lat - 12) : 60 - 5 * (lon - 6) + 3 * (lat - 12);
}

// A float GeoTIFF of the world at 0.5 degrees whose pixel values are f at the pixel centres.
// Imagery is written without georeferencing, placed by the recipe's extent.
int WriteSource(const std::string& path, int bands, int georeferenced, double (*f)(int, double, double)) {
    const double gt[6] = {-180, 0.5, 0, 90, 0, -0.5};
    return WriteTestRaster(path, 720, 360, bands, georeferenced ? gt : nullptr,
                           [f](int b, int x, int y) { return (float)f(b, -180 + (x + 0.5) * 0.5, 90 - (y + 0.5) * 0.5); });
}

// The recipe of the small volume in folder: two fine tiles over land, one over the sea.
BuildContext RasterContext(const std::string& folder) {
    BuildContext ctx;
    ctx.outDir = folder + "/volume";
    ctx.jobs = 2;
    ctx.recipe = {{"elevation", folder + "/height.tif"}, {"imagery", folder + "/colour.tif"},
                  {"imagery_extent", "-180,180,-90,90"}, {"region", "1,23,7,17"},
                  {"vq_training_tiles", "2"}, {"vq_blocks_per_codeword", "1"}, {"vq_iterations", "2"}};
    return ctx;
}

// The sources and the raster step's output, built once for the test run (the setup test below).
int BuildRasterFixture(const std::string& folder) {
    if (!WriteSource(folder + "/height.tif", 1, 1, [](int, double lon, double lat) { return Height(lon, lat); }) ||
        !WriteSource(folder + "/colour.tif", 3, 0, [](int b, double lon, double lat) { return Channel(b, lon, lat); }))
        return 0;
    BuildContext ctx = RasterContext(folder);
    MakeDirectories(ctx.outDir.c_str());
    return BuildRasters(ctx);
}

struct RasterBuild : ::testing::Test {
    static BuildContext ctx;
    static void SetUpTestSuite() {
        std::string folder = FixtureFolder("rasters", BuildRasterFixture);
        ctx = folder.empty() ? BuildContext() : RasterContext(folder);
    }
    void SetUp() override { ASSERT_FALSE(ctx.outDir.empty()) << "the raster step failed"; }
    std::string Path(const std::string& name) { return VolumePath(ctx, name.c_str()); }
};
BuildContext RasterBuild::ctx;

}  // namespace

TEST(FixtureBuild, Rasters) { EXPECT_EQ(BuildFixture("rasters", BuildRasterFixture), 1); }

TEST_F(RasterBuild, WritesEveryFileAtItsSize) {
    struct File {
        std::string name;
        int64_t size;
    } files[] = {
        {"raster\\rgb\\rgb2.top", 5760000},       {"raster\\hts\\hts.top", 960000},
        {"raster\\shadow\\shadow.top", 480000},   {"raster\\shadow\\shadow.8", 12550050},
        {"raster\\shadow\\shadow.cod", 65536},    {"raster\\hts\\hts_4096.cod", 131072},
        {"raster\\rgb\\rg_2048.cod", 65536},      {"raster\\rgb\\b_1024.cod", 32768},
        {"raster\\rgb\\06N\\012E06N.cvq", -1},    // not in the region
        {"raster\\rgb\\18N\\000E18N.cvq", 446224}, {"raster\\hts\\18N\\000E18N.hvc", 167334},
        {"raster\\shadow\\18N\\000E18N.vqc", 167334}, {"raster\\rgb\\18N\\012E18N.cvq", 446224},
    };
    for (const File& f : files) EXPECT_EQ(FileSize(Path(f.name)), f.size) << f.name;
    for (int i = 0; i < kCoarseTileRows; i++)
        for (int j = 0; j < kCoarseTileColumns; j++)
            for (TileLayer layer : {kLayerColour, kLayerHeight}) {
                std::string name = TileNameCoarse(layer, CoarseTileWest(j), CoarseTileNorth(i));
                EXPECT_EQ(FileSize(Path(name)), (long long)kCoarseFileSize) << name;
            }
}

TEST_F(RasterBuild, CoarseTilesHoldTheSourceScrambled) {
    FILE* f = fopen(Path(TileNameCoarse(kLayerHeight, 0, 30)).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int16_t row[kCoarseSamples];
    const double step = 60.0 / kCoarseSamples;
    int scrambled = 0;
    for (int r : {500, 600, 700, 1000}) {
        ASSERT_EQ(ReadCoarseRow(f, r, row), 1);
        for (int c = 0; c < 800; c++) {
            double want = Height((c + 0.5) * step, 30 - (r + 0.5) * step);
            if (want < 0 || (c + 0.5) * step > 29 || 30 - (r + 0.5) * step < -9) continue;  // away from the coast
            ASSERT_NEAR(row[c], want, 0.6) << r << "," << c;
        }
        // The stored bytes differ from the heights at the scrambled columns.
        uint8_t raw[2];
        for (int c = r % 100; c < 800; c += 100) {
            fseek(f, (long)r * kCoarseRowBytes + 2 * c, SEEK_SET);
            ASSERT_EQ(fread(raw, 1, 2, f), 2u);
            scrambled += (int16_t)(raw[0] | raw[1] << 8) != row[c];
        }
    }
    EXPECT_GE(scrambled, 25);
    fclose(f);
    // Colour: 5-6-5 of the imagery.
    f = fopen(Path(TileNameCoarse(kLayerColour, 0, 30)).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    uint16_t colours[kCoarseSamples];
    ASSERT_EQ(ReadCoarseRow(f, 600, colours), 1);
    for (int c = 0; c < 400; c++) {
        uint8_t rgb[3];
        Expand565(colours[c], &rgb[0], &rgb[1], &rgb[2]);
        double lon = (c + 0.5) * step, lat = 30 - 600.5 * step;
        for (int ch = 0; ch < 3; ch++) {
            double want = std::min(255.0, std::max(0.0, Channel(ch, lon, lat)));
            EXPECT_NEAR(rgb[ch], want, ch == 1 ? 4.5 : 8.5) << c << " channel " << ch;
        }
    }
    fclose(f);
}

TEST_F(RasterBuild, FineTilesDecodeToTheSourceWithTheViewersCodec) {
    snprintf(dataRoot, sizeof dataRoot, "%s", ctx.outDir.c_str());
    ASSERT_EQ(LoadCodebook("raster\\shadow\\shadow.cod"), 1);
    ASSERT_EQ(LoadCodebookH("raster\\hts\\hts_4096.cod"), 1);
    ASSERT_EQ(LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"), 1);
    FineTile hts, rgb, shade;
    ASSERT_EQ(LoadFineTile(TileNameFine(kLayerHeight, 12, 18).c_str(), kLayerHeight, &hts), 1);
    ASSERT_EQ(LoadFineTile(TileNameFine(kLayerColour, 12, 18).c_str(), kLayerColour, &rgb), 1);
    ASSERT_EQ(LoadFineTile(TileNameFine(kLayerShade, 12, 18).c_str(), kLayerShade, &shade), 1);
    FILE* hle = OpenDataFile(TileNameCoarse(kLayerHeight, 0, 30).c_str(), "rb");
    FILE* e16 = OpenDataFile(TileNameCoarse(kLayerColour, 0, 30).c_str(), "rb");
    ASSERT_NE(hle, nullptr);
    ASSERT_NE(e16, nullptr);
    const double step = 12.0 / kFineSamples;
    double worstHeight = 0, worstColour = 0;
    int shadeLow = 255, shadeHigh = 0;
    int16_t baseHeights[kCoarseSamples];
    uint16_t baseColours[kCoarseSamples];
    for (int r = 0; r < kFineSamples; r += 3) {
        // The fine tile (12 E, 18 N) starts 12 degrees (334 coarse samples) into the coarse tile.
        int coarseRow = 334 + r / 4;
        ASSERT_EQ(ReadCoarseRow(hle, coarseRow, baseHeights), 1);
        ASSERT_EQ(ReadCoarseRow(e16, coarseRow, baseColours), 1);
        for (int c = 0; c < kFineSamples; c += 5) {
            double lon = 12 + (c + 0.5) * step, lat = 18 - (r + 0.5) * step;
            int residual, value;
            ASSERT_EQ(FineSample(&hts, c, r, 0, &residual), 1);
            int16_t height = (int16_t)(baseHeights[334 + c / 4] + residual);
            worstHeight = std::max(worstHeight, fabs(height - Height(lon, lat)));
            uint8_t base[3];
            Expand565(baseColours[334 + c / 4], &base[0], &base[1], &base[2]);
            for (int ch = 0; ch < 3; ch++) {
                ASSERT_EQ(FineSample(&rgb, c, r, ch, &residual), 1);
                double want = std::min(255.0, std::max(0.0, Channel(ch, lon, lat)));
                worstColour = std::max(worstColour, fabs(AddResidual(base[ch], residual) - want));
            }
            ASSERT_EQ(FineSample(&shade, c, r, 0, &value), 1);
            shadeLow = std::min(shadeLow, value), shadeHigh = std::max(shadeHigh, value);
        }
    }
    fclose(hle);
    fclose(e16);
    EXPECT_LT(worstHeight, 3.0);   // a plane: the codebook holds its residual blocks nearly exactly
    EXPECT_LT(worstColour, 3.0);
    // A plane is shaded evenly, and land is never 0.
    EXPECT_GT(shadeLow, 0);
    EXPECT_LE(shadeHigh - shadeLow, 2);
    ReleaseCodebook();
    ReleaseCodebookH();
    ReleaseCodebookRGB();
    snprintf(dataRoot, sizeof dataRoot, ".");
}

TEST_F(RasterBuild, WorldShadeIsZeroOverTheSea) {
    std::vector<uint8_t> shade;
    ASSERT_EQ(ReadWholeFile(Path("raster\\shadow\\shadow.8").c_str(), &shade, 20u << 20), 1);
    ASSERT_EQ(shade.size(), (size_t)kShade8Width * kShade8Height);
    auto at = [&](double lon, double lat) {
        int c, r;
        EXPECT_EQ(PositionToSample(lon + 180, 360, kShade8Width, &c), 1);
        EXPECT_EQ(PositionToSample(90 - lat, 180, kShade8Height, &r), 1);
        return (int)shade[(size_t)r * kShade8Width + c];
    };
    EXPECT_EQ(at(100, 0), 0);
    EXPECT_EQ(at(-60, -50), 0);
    EXPECT_GT(at(10, 20), 0);
    EXPECT_GT(at(10, 5), 0);
    // The height overview holds the sea depth, the colour overview the imagery.
    std::vector<uint8_t> top;
    ASSERT_EQ(ReadWholeFile(Path("raster\\hts\\hts.top").c_str(), &top, 2u << 20), 1);
    int16_t sea = (int16_t)(top[2 * (300 * 800 + 600)] | top[2 * (300 * 800 + 600) + 1] << 8);  // 90 E, 0 N
    EXPECT_EQ(sea, -1000);
    ASSERT_EQ(ReadWholeFile(Path("raster\\rgb\\rgb2.top").c_str(), &top, 8u << 20), 1);
    size_t pixel = 3 * ((size_t)400 * 1600 + 844);  // about 10 E, 30 N
    double lon = -180 + 844.5 * 0.225, lat = 90 - 400.5 * 0.15;
    for (int ch = 0; ch < 3; ch++) EXPECT_NEAR(top[pixel + ch], std::min(255.0, std::max(0.0, Channel(ch, lon, lat))), 1.0);
}

TEST_F(RasterBuild, SkipsWhatIsUpToDateAndBuildsOnlyItsShard) {
    // These runs change the volume, so they work on a copy of the shared one.
    TempFolder copy;
    ASSERT_EQ(CopyTree(fs::path(ctx.outDir).parent_path().string(), copy.path), 1);
    BuildContext ctx = RasterContext(copy.path);
    auto Path = [&](const std::string& name) { return VolumePath(ctx, name.c_str()); };
    std::string west = Path(TileNameFine(kLayerHeight, 0, 18)), east = Path(TileNameFine(kLayerHeight, 12, 18));
    std::string coarse = Path(TileNameCoarse(kLayerHeight, 0, 30)), book = Path("raster\\hts\\hts_4096.cod");
    double before[4] = {FileTime(west), FileTime(east), FileTime(coarse), FileTime(book)};
    ASSERT_EQ(BuildRasters(ctx), 1);
    double after[4] = {FileTime(west), FileTime(east), FileTime(coarse), FileTime(book)};
    for (int i = 0; i < 4; i++) EXPECT_EQ(after[i], before[i]) << i;
    // Shard 0 of 2 of the two missing tiles 195 (0 E) and 196 (12 E) rebuilds only 196.
    BuildContext shard = ctx;
    RemoveFile(west.c_str());
    RemoveFile(east.c_str());
    shard.shardIndex = 0, shard.shardCount = 2;
    ASSERT_EQ(BuildRasters(shard), 1);
    EXPECT_LT(FileTime(west), 0);
    EXPECT_GT(FileTime(east), 0);
    shard.shardIndex = 1;
    ASSERT_EQ(BuildRasters(shard), 1);
    EXPECT_GT(FileTime(west), 0);
    // No fine tile over the sea; one left there by an earlier build goes.
    std::string sea = Path(TileNameFine(kLayerHeight, 84, 6));
    EXPECT_LT(FileTime(sea), 0);
    ASSERT_EQ(WriteTestFile(sea, std::vector<uint8_t>(kVqcFileSize, 0)), 1);
    BuildContext seaRun = ctx;
    seaRun.recipe["region"] = "85,95,0,5";
    ASSERT_EQ(BuildRasters(seaRun), 1);
    EXPECT_LT(FileTime(sea), 0);
}

TEST(RasterSources, RefusesWhatItCannotUse) {
    TempFolder dir;
    BuildContext ctx;
    ctx.outDir = dir / "volume";
    ctx.recipe = {{"elevation", dir / "missing.tif"}};
    EXPECT_EQ(BuildRasters(ctx), 0);
    WriteTestText(dir / "bad.tif", "not a raster");
    ctx.recipe = {{"elevation", dir / "bad.tif"}};
    EXPECT_EQ(BuildRasters(ctx), 0);
    ctx.recipe = {{"region", "10,5,0,1"}};
    EXPECT_EQ(BuildRasters(ctx), 0);
    ctx.recipe = {{"elevation_resampling", "sharpest"}};
    EXPECT_EQ(BuildRasters(ctx), 0);
    RasterSource src;
    EXPECT_EQ(OpenRasterSource(ElevationSourcePath(ctx), "1,2,3", &src), 0);
}
