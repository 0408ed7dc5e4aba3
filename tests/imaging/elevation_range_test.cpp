// The map window's elevation range, precise (60-degree height tiles) and quick ("hts.top"):
// which samples count, the clamps, the whole world and a missing world grid.
#include <gtest/gtest.h>

#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct ElevationRangeTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        observedElevation = ElevationRange{1, 2};
        TestClearShown();
    }
    void TearDown() override { strcpy(dataRoot, savedRoot); }
    static ComposeRequest Request(double w, double e, double s, double n, int whole = 0) {
        return ComposeRequest{w, e, s, n, 665, 499, 4, whole, 0};
    }
};

// The world grid: `base` everywhere, with a block of other values where given.
std::vector<uint8_t> TopGrid(int16_t base, int c0, int c1, int r0, int r1, int16_t inside) {
    std::vector<uint8_t> bytes;
    for (int r = 0; r < kTopHeight; r++)
        for (int c = 0; c < kTopWidth; c++) WriteI16LE(bytes, c >= c0 && c < c1 && r >= r0 && r < r1 ? inside : base);
    return bytes;
}

TEST_F(ElevationRangeTest, QuickRangeSamplesTheWorldGridUnderTheWindow) {
    struct Case {
        const char* what;
        int16_t base, inside;
        ComposeRequest q;
        double min, max;
    } cases[] = {
        // The block covers 0..30 E, 0..30 N (columns 400..466, rows 200..300).
        {"block and its surroundings", 100, 3000, Request(-10, 40, -10, 40), 100, 3000},
        {"inside the block only", 100, 3000, Request(5, 25, 5, 25), 3000, 3001},
        {"coast raised to sea level", -5, 700, Request(-10, 40, -10, 40), 0, 700},
        {"clamped to the lowest land and the highest summit", -6000, 9100, Request(-10, 40, -10, 40), -392, 8848},
        // Beyond the date line nothing counts; what is left is the base west of it.
        {"window past 180 E", 250, 3000, Request(170, 200, -10, 10), 250, 251},
        {"window wholly past 180 E", 250, 3000, Request(190, 200, -10, 10), -392, 8848},
        {"the world view", 100, 3000, Request(-180, 180, -135, 135, 1), -392, 8848},
    };
    for (const Case& k : cases) {
        ASSERT_TRUE(WriteTestFile(folder / "raster/hts/hts.top", TopGrid(k.base, 400, 467, 200, 300, k.inside)));
        EXPECT_EQ(WindowElevationRangeQuick(k.q), 1) << k.what;
        EXPECT_EQ(observedElevation.minimum, k.min) << k.what;
        EXPECT_EQ(observedElevation.maximum, k.max) << k.what;
    }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(ElevationRangeTest, QuickRangeWithoutTheWorldGridKeepsTheFixedRange) {
    EXPECT_EQ(WindowElevationRangeQuick(Request(-180, 180, -135, 135, 1)), 1);  // the world needs no file
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(WindowElevationRangeQuick(Request(0, 10, 0, 10)), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file raster\\hts\\hts.top");
    EXPECT_EQ(observedElevation.minimum, -392);
    EXPECT_EQ(observedElevation.maximum, 8848);
}

// A coarse tile at 180 W 90 N, stored scrambled: `low` west of column 800, `high` from it on.
std::vector<uint8_t> CoarseHeights(int16_t low, int16_t high) {
    std::vector<uint8_t> bytes((size_t)kCoarseFileSize);
    uint16_t row[kCoarseSamples];
    for (int r = 0; r < kCoarseSamples; r++) {
        for (int c = 0; c < kCoarseSamples; c++) row[c] = (uint16_t)(c < 800 ? low : high);
        UnscrambleCoarseRow(r, row);
        for (int c = 0; c < kCoarseSamples; c++) PokeU16LE(&bytes[(size_t)r * kCoarseRowBytes + 2 * c], row[c]);
    }
    return bytes;
}

TEST_F(ElevationRangeTest, PreciseRangeSamplesTheHeightTilesUnderThePixels) {
    // Column 800 lies at 151.26 W.
    struct Case {
        const char* what;
        int16_t low, high;
        ComposeRequest q;
        double min, max;
    } cases[] = {
        {"both halves", 20, 1500, Request(-170, -140, 40, 80), 20, 1500},
        {"western half only", 20, 1500, Request(-175, -160, 40, 80), 20, 21},
        {"coast", -5, 1500, Request(-170, -140, 40, 80), 0, 1500},
        {"ocean floor and a spike", -4000, 12000, Request(-170, -140, 40, 80), -392, 8848},
        {"no tile under the window", 20, 1500, Request(10, 20, 40, 50), -392, 8848},
        {"the world view", 20, 1500, Request(-180, 180, -135, 135, 1), -392, 8848},
    };
    for (const Case& k : cases) {
        ASSERT_TRUE(WriteTestFile(folder / "raster/hts/4k/4W180N90.HLE", CoarseHeights(k.low, k.high)));
        EXPECT_EQ(WindowElevationRangePrecise(k.q), 1) << k.what;
        EXPECT_EQ(observedElevation.minimum, k.min) << k.what;
        EXPECT_EQ(observedElevation.maximum, k.max) << k.what;
    }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

}  // namespace
