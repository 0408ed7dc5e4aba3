// The elevation of one point: the coarse height tile's sample under it, unscrambled, with
// sea and implausible samples handled as the readout expects.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"

namespace {

// The sample at (column, row) of a tile, stored scrambled like the volume's.
void PutSample(std::vector<uint8_t>& tile, int c, int r, int16_t value) {
    uint16_t row[kCoarseSamples];
    for (int i = 0; i < kCoarseSamples; i++) row[i] = (uint16_t)(tile[(size_t)r * kCoarseRowBytes + 2 * i] | tile[(size_t)r * kCoarseRowBytes + 2 * i + 1] << 8);
    UnscrambleCoarseRow(r, row);
    row[c] = (uint16_t)value;
    UnscrambleCoarseRow(r, row);
    for (int i = 0; i < kCoarseSamples; i++) PokeU16LE(&tile[(size_t)r * kCoarseRowBytes + 2 * i], row[i]);
}

TEST(PointElevation, ReadsTheUnscrambledSampleUnderThePoint) {
    TempFolder folder;
    char saved[256];
    strcpy(saved, dataRoot);
    strcpy(dataRoot, folder.path.c_str());
    std::vector<uint8_t> tile((size_t)kCoarseFileSize, 0);
    // Tile 4E000N30 covers 0..60 E, 30 N..30 S. Column 150 and row 250 are a scrambled pair
    // (150 mod 100 = 250 mod 100), column 151 is not.
    PutSample(tile, 150, 250, 4321);
    PutSample(tile, 151, 250, -3);
    PutSample(tile, 152, 250, 9000);
    PutSample(tile, 153, 250, -200);
    PutSample(tile, 154, 250, -4400);
    ASSERT_TRUE(WriteTestFile(folder / "raster/hts/4k/4E000N30.HLE", tile));
    auto lon = [](int c) { return (c + 0.5) * 60.0 / 1670; };
    double lat = 30.0 - (250 + 0.5) * 60.0 / 1670;
    ResetPointElevation();
    int h = 0;
    EXPECT_EQ(PointElevation(lat, lon(150), &h), 1);
    EXPECT_EQ(h, 4321);
    EXPECT_EQ(PointElevation(lat, lon(151), &h), 0);   // -3: sea
    EXPECT_EQ(PointElevation(lat, lon(149), &h), 0);   // 0: sea
    h = 0;
    EXPECT_EQ(PointElevation(lat, lon(152), &h), 1);   // a spike repeats the last good height
    EXPECT_EQ(h, 4321);
    EXPECT_EQ(PointElevation(lat, lon(153), &h), 1);
    EXPECT_EQ(h, -200);
    EXPECT_EQ(PointElevation(lat, lon(154), &h), 0);   // the ocean floor: sea
    // Outside the world or without a tile: no value.
    EXPECT_EQ(PointElevation(lat, 180.0, &h), 0);
    EXPECT_EQ(PointElevation(90.0, 10.0, &h), 0);
    EXPECT_EQ(PointElevation(lat, -10.0, &h), 0);
    strcpy(dataRoot, saved);
}

}  // namespace
