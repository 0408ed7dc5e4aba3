// Tile names, case-insensitive lookup of tiles and positions to samples.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

TEST(TileNames, FineAndCoarseExamples) {
    struct Case {
        TileLayer layer;
        int west, north;
        const char* fine;
    } fine[] = {
        {kLayerColour, 12, 6, "raster\\rgb\\06N\\012E06N.cvq"},
        {kLayerColour, -180, -6, "raster\\rgb\\06S\\180W06S.cvq"},
        {kLayerHeight, 168, 90, "raster\\hts\\90N\\168E90N.hvc"},
        {kLayerShade, 0, -78, "raster\\shadow\\78S\\000E78S.vqc"},
        {kLayerShade, -12, 6, "raster\\shadow\\06N\\012W06N.vqc"},
    };
    for (const Case& c : fine) EXPECT_EQ(TileNameFine(c.layer, c.west, c.north), c.fine);
    struct CoarseCase {
        TileLayer layer;
        int west, north;
        const char* name;
    } coarse[] = {
        {kLayerColour, -180, 90, "raster\\rgb\\4k\\4W180N90.16e"},
        {kLayerColour, -60, -30, "raster\\rgb\\4k\\4W060S30.16e"},
        {kLayerHeight, 0, 30, "raster\\hts\\4k\\4E000N30.HLE"},
        {kLayerHeight, 120, -30, "raster\\hts\\4k\\4E120S30.HLE"},
        {kLayerShade, 0, 30, ""},
    };
    for (const CoarseCase& c : coarse) EXPECT_EQ(TileNameCoarse(c.layer, c.west, c.north), c.name);
    EXPECT_EQ(FineTileNorth(14), -78);
    EXPECT_EQ(FineTileWest(29), 168);
    EXPECT_EQ(CoarseTileNorth(2), -30);
    EXPECT_EQ(CoarseTileWest(5), 120);
}

TEST(TileNames, TilesAreFoundWhateverTheirLetterCase) {
    TempFolder dir;
    snprintf(dataRoot, sizeof dataRoot, "%s", dir.path.c_str());
    std::vector<uint8_t> bytes(kVqcFileSize, 7);
    ASSERT_EQ(WriteTestFile(dir / "Raster/HTS/06n/012e06n.HVC", bytes), 1);
    FineTile tile;
    EXPECT_EQ(LoadFineTile(TileNameFine(kLayerHeight, 12, 6).c_str(), kLayerHeight, &tile), 1);
    EXPECT_EQ(tile.bytes, bytes);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/4K/4w180n90.16E", std::vector<uint8_t>(kCoarseRowBytes, 0)), 1);
    FILE* f = OpenDataFile(TileNameCoarse(kLayerColour, -180, 90).c_str(), "rb");
    EXPECT_NE(f, nullptr);
    if (f) fclose(f);
    snprintf(dataRoot, sizeof dataRoot, ".");
}

TEST(TileNames, PositionToSample) {
    struct Case {
        double offset, extent;
        int n, ok, sample;
    } cases[] = {
        {0, 60, 1670, 1, 0},
        {30, 60, 1670, 1, 835},
        {59.99, 60, 1670, 1, 1669},
        {60, 60, 1670, 0, 0},       // the next tile's first sample
        {-0.005, 12, 1336, 1, 0},   // -0.56 samples: truncation toward zero keeps it
        {-0.009, 12, 1336, 0, 0},   // -1.002 samples: outside
        {6, 12, 1336, 1, 668},
        {180, 360, 5010, 1, 2505},
        {-1, 0, 10, 0, 0},
    };
    for (const Case& c : cases) {
        int s = -7;
        EXPECT_EQ(PositionToSample(c.offset, c.extent, c.n, &s), c.ok) << c.offset << " of " << c.extent;
        if (c.ok) { EXPECT_EQ(s, c.sample) << c.offset << " of " << c.extent; }
    }
}
