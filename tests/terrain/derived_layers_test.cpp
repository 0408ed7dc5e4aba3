// Layers derived from a set's heights against brute-force references, the cell size from
// clip.zl, and the files kept beside the set.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "terrain_set_fixture.h"

namespace {

// The mean over every cell within a distance of 3, by testing each cell of the grid.
std::vector<int16_t> NaiveSmooth(const std::vector<int16_t>& h, int n) {
    std::vector<int16_t> out(h.size());
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            long sum = 0, count = 0;
            for (int yy = 0; yy < n; yy++)
                for (int xx = 0; xx < n; xx++)
                    if (std::sqrt((double)(xx - x) * (xx - x) + (double)(yy - y) * (yy - y)) <= 3.0)
                        sum += h[(size_t)yy * n + xx], count++;
            out[(size_t)y * n + x] = (int16_t)std::trunc((double)sum / (double)count);
        }
    return out;
}

std::vector<int16_t> RandomHeights(int n, std::mt19937& random, int lo, int hi) {
    std::uniform_int_distribution<int> value(lo, hi);
    std::vector<int16_t> h((size_t)n * n);
    for (int16_t& v : h) v = (int16_t)value(random);
    return h;
}

TEST(DerivedLayers, SmoothingIsTheDiscMean) {
    std::mt19937 random(5);
    for (int n : {1, 2, 3, 6, 7, 13, 40}) {
        for (auto [lo, hi] : {std::pair{-400, 400}, std::pair{-32768, 32767}, std::pair{0, 3}}) {
            std::vector<int16_t> h = RandomHeights(n, random, lo, hi), fast((size_t)n * n);
            SmoothTerrainHeights(h.data(), n, fast.data());
            ASSERT_EQ(fast, NaiveSmooth(h, n)) << n << " " << lo;
        }
    }
    // One raised cell in the middle of a 13 x 13 grid spreads over exactly 29 cells.
    std::vector<int16_t> spike(169, 0), out(169);
    spike[6 * 13 + 6] = 29 * 100;
    SmoothTerrainHeights(spike.data(), 13, out.data());
    int touched = 0;
    for (int16_t v : out) touched += v == 100;
    EXPECT_EQ(touched, 29);
    // Negative means are truncated toward zero: -7 / 29 is 0, not -1.
    std::vector<int16_t> dip(169, 0);
    dip[6 * 13 + 6] = -7;
    SmoothTerrainHeights(dip.data(), 13, out.data());
    EXPECT_EQ(out[6 * 13 + 6], 0);
}

TEST(DerivedLayers, SlopeAndAspectOfOneSquare) {
    struct Case {
        double q0, q1, q2, q3, d;
        double slope, aspect;
    } cases[] = {
        {5, 5, 5, 5, 100, 0, 0},                      // flat
        {0, 0, 0, 10, 100, 5.7106, 360},              // a = 0, b >= 0
        {0, 10, 0, 0, 100, 5.7106, 180},              // a = 0, b < 0
        {10, 0, 0, 0, 100, 5.7106, 90},               // b = 0, a > 0
        {0, 0, 10, 0, 100, 4.0447, 270},              // b = 0, a < 0; lowest and highest across
        {10, 0, 0, 10, 100, 5.7106, 90 - 45.00017},   // 57.296 degrees a radian
        {0, 10, 10, 0, 100, 5.7106, 270 - 45.00017},
        {0, 0, 0, 100, 100, 45, 360},                 // lowest q0 beside highest q3: run d
        {0, 50, 100, 50, 100, 35.2644, 270},          // lowest q0, highest q2 across: run d * sqrt 2
        {0, 0, 100, 50, 100, 35.2644, 270 + 26.5652}, // ties: the first lowest (q0) is taken
        {100, 0, 100, 0, 100, 45, 0},                 // a = 0 and b = 0: no aspect
        {0, 0, 0, 1000, 1000, 45, 360},
        {0, 0.0005, 0, 0.0005, 1, 0.02865, 0},        // gradient under 0.001 percent
    };
    for (const Case& k : cases) {
        double slope, aspect;
        TerrainSlopeAspect(k.q0, k.q1, k.q2, k.q3, k.d, &slope, &aspect);
        EXPECT_NEAR(slope, k.slope, 1e-3) << k.q0 << " " << k.q1 << " " << k.q2 << " " << k.q3;
        EXPECT_NEAR(aspect, k.aspect, 1e-3) << k.q0 << " " << k.q1 << " " << k.q2 << " " << k.q3;
    }
}

TEST(DerivedLayers, CodesOnBothSidesOfTheirBoundaries) {
    struct Case {
        double degrees;
        int slope, aspect;
    } cases[] = {
        {-1, 0, 0},           {0, 0, 0},
        {0.35, 0, 0},         {0.3516, 1, 0},         // 90 / 256 = 0.3515625
        {1.40, 3, 0},         {1.40625, 4, 1},        // 360 / 256 = 1.40625
        {44.99, 127, 31},     {45, 128, 32},
        {89.6, 254, 63},      {90, 255, 64},
        {180, 255, 128},      {359.9, 255, 255},
        {360, 255, 255},      {NAN, 0, 0},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(TerrainSlopeCode(k.degrees), k.slope) << k.degrees;
        EXPECT_EQ(TerrainAspectCode(k.degrees), k.aspect) << k.degrees;
    }
    // The aspect of a = b comes out just under 45 degrees, so its code is 31, not 32.
    double slope, aspect;
    TerrainSlopeAspect(10, 0, 0, 10, 100, &slope, &aspect);
    EXPECT_EQ(TerrainAspectCode(aspect), 31);
}

TEST(DerivedLayers, GridCodesAgainstEachSquare) {
    std::mt19937 random(11);
    for (int n : {1, 2, 3, 9, 30}) {
        std::vector<int16_t> h = RandomHeights(n, random, -50, 300);
        std::vector<uint8_t> slope((size_t)n * n, 77), aspect((size_t)n * n, 77);
        DeriveSlopeAspect(h.data(), n, 250.0, slope.data(), aspect.data());
        for (int y = 0; y < n; y++)
            for (int x = 0; x < n; x++) {
                SCOPED_TRACE(testing::Message() << n << ": " << x << "," << y);
                int expectedSlope = 0, expectedAspect = 0;
                if (y < n - 1) {
                    int sx = x < n - 1 ? x : x - 1;   // the last column takes its left neighbour's square
                    auto at = [&](int dx, int dy) { return (double)h[(size_t)(y + dy) * n + sx + dx]; };
                    double s, a;
                    TerrainSlopeAspect(at(0, 0), at(1, 0), at(1, 1), at(0, 1), 250.0, &s, &a);
                    expectedSlope = std::clamp((int)(s * 256 / 90), 0, 255);
                    expectedAspect = std::clamp((int)(a * 256 / 360), 0, 255);
                }
                ASSERT_EQ(slope[(size_t)y * n + x], expectedSlope);
                ASSERT_EQ(aspect[(size_t)y * n + x], expectedAspect);
            }
    }
}

TEST_F(TerrainSetTest, DerivedCellSizeFromClipFile) {
    EXPECT_EQ(TerrainCellSize(100), 1000.0);   // no clip.zl
    std::vector<uint8_t> clip;
    for (double v : {6.0, 7.0, 45.0, 46.0, 123.5, 82.25, 35.75}) WriteF64LE(clip, v);
    ASSERT_TRUE(WriteTestFile(root / "clip.zl", clip));
    EXPECT_EQ(TerrainCellSize(100), 123.5);
    EXPECT_EQ(TerrainCellSize(150), 82.25);
    EXPECT_EQ(TerrainCellSize(350), 35.75);
    EXPECT_EQ(TerrainCellSize(200), 1000.0);
    clip.resize(50);   // cut inside the 350 grid's size
    ASSERT_TRUE(WriteTestFile(root / "clip.zl", clip));
    EXPECT_EQ(TerrainCellSize(150), 82.25);
    EXPECT_EQ(TerrainCellSize(350), 1000.0);
    PokeU32LE(&clip[36], 0);   // the 100 grid's size becomes 0
    PokeU32LE(&clip[32], 0);
    ASSERT_TRUE(WriteTestFile(root / "clip.zl", clip));
    EXPECT_EQ(TerrainCellSize(100), 1000.0);
}

// The derived layers of the loaded set equal the references, and their files are written.
TEST_F(TerrainSetTest, DerivedLayersComputedOnFirstDemandThenReadBack) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    const int n = 100;
    WriteSet(n);
    std::mt19937 random(3);
    std::vector<int16_t> heights = RandomHeights(n, random, -100, 2500);
    WriteHeights(n, "hts", [&](int r, int c) { return heights[(size_t)r * n + c]; });
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), n, 0), 1);
    ASSERT_FALSE(FileExists(File(n, "slp").c_str()));

    ASSERT_EQ(LoadTerrainDerivedLayers(n), 1) << TestLastMessage();
    EXPECT_EQ(terrainSet.derivedLoaded, 1);
    std::vector<int16_t> smooth = NaiveSmooth(heights, n);
    std::vector<uint8_t> slope((size_t)n * n), aspect((size_t)n * n);
    DeriveSlopeAspect(smooth.data(), n, 1000.0, slope.data(), aspect.data());   // no clip.zl: 1000 m
    const TerrainRows& rows = terrainBuffers.rows;
    int wrong = 0, steep = 0;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            size_t i = (size_t)r * n + c;
            wrong += rows.smoothed[r][c] != smooth[i] || rows.slope[r][c] != slope[i] || rows.aspect[r][c] != aspect[i];
            steep += slope[i] > 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(steep, n);   // the references are not trivially zero
    std::vector<uint8_t> ht2 = ReadTestFile(File(n, "ht2"));
    ASSERT_EQ(ht2.size(), (size_t)n * n * 2);
    EXPECT_EQ(PeekI16LE(&ht2[2 * 517]), smooth[517]);
    EXPECT_EQ(ReadTestFile(File(n, "slp")), slope);
    EXPECT_EQ(ReadTestFile(File(n, "asp")), aspect);

    // Loaded once per set: the files are not looked at again.
    RemoveFile(File(n, "slp").c_str());
    RemoveFile(File(n, "asp").c_str());
    RemoveFile(File(n, "ht2").c_str());
    EXPECT_EQ(LoadTerrainDerivedLayers(n), 1);
    EXPECT_FALSE(FileExists(File(n, "slp").c_str()));
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(TerrainSetTest, DerivedFilesAreReadWhenPresentAndRederivedWhenCut) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    const int n = 150;
    WriteSet(n);
    // Files already there are taken as they stand, values nothing would derive.
    WriteCells(n, "slp", 1, [](int r, int c, int) { return (uint8_t)(r ^ c); });
    WriteCells(n, "asp", 1, [](int r, int c, int) { return (uint8_t)(r + 2 * c); });
    WriteHeights(n, "ht2", [](int r, int c) { return -r * c; });
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), n, 0), 1);
    ASSERT_EQ(LoadTerrainDerivedLayers(n), 1);
    const TerrainRows& rows = terrainBuffers.rows;
    EXPECT_EQ(rows.slope[149][3], 149 ^ 3);
    EXPECT_EQ(rows.aspect[7][100], (uint8_t)207);
    EXPECT_EQ(rows.smoothed[149][149], -149 * 149);

    // A ".slp" cut short is derived again, with the other two files.
    ASSERT_TRUE(WriteTestFile(File(n, "slp"), std::vector<uint8_t>(n * n - 1, 9)));
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), n, 0), 1);
    ASSERT_EQ(LoadTerrainDerivedLayers(n), 1);
    std::vector<uint8_t> slp = ReadTestFile(File(n, "slp"));
    ASSERT_EQ(slp.size(), (size_t)n * n);
    EXPECT_EQ(rows.slope[20][30], slp[20 * n + 30]);
    EXPECT_NE(rows.smoothed[149][149], -149 * 149);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(TerrainSetTest, DerivedLayerFailures) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    const int n = 100;
    struct Case {
        std::function<void()> damage;
        std::string message;
    } cases[] = {
        {[&] { RemoveFile(File(n, "hts").c_str()); }, "Cannot open file " + Shown(n, "hts")},
        {[&] { WriteTestFile(File(n, "hts"), std::vector<uint8_t>(n * n)); }, "Cannot read data from file " + Shown(n, "hts")},
        {[&] { TerrainFailAllocation(1); }, "Cannot allocate hts[]"},
        // A name taken by a folder cannot be written.
        {[&] { MakeDirectories(File(n, "ht2").c_str()); }, "Cannot open file " + Shown(n, "ht2")},
        {[&] { MakeDirectories(File(n, "slp").c_str()); }, "Cannot open file " + Shown(n, "slp")},
        // ".slp" present: the other two are read as they are.
        {[&] { WriteTestFile(File(n, "slp"), std::vector<uint8_t>(n * n)); }, "Cannot open file " + Shown(n, "asp")},
        {[&] {
             WriteTestFile(File(n, "slp"), std::vector<uint8_t>(n * n));
             WriteTestFile(File(n, "asp"), std::vector<uint8_t>(n * n));
             WriteTestFile(File(n, "ht2"), std::vector<uint8_t>(n * n));
         },
         "Cannot read data from file " + Shown(n, "ht2")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        for (const char* e : {"slp", "asp", "ht2"}) {
            RemoveFile(File(n, e).c_str());
            rmdir(File(n, e).c_str());
        }
        WriteSet(n);
        ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), n, 0), 1);
        k.damage();
        TestClearShown();
        EXPECT_EQ(LoadTerrainDerivedLayers(n), 0);
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{k.message});
        EXPECT_EQ(terrainSet.derivedLoaded, 0);
        TerrainFailAllocation(0);
    }
    TestClearShown();
    EXPECT_EQ(LoadTerrainDerivedLayers(351), 0);
    EXPECT_EQ(TestLastMessage(), "xSize/ySize (351,351) > (350,350)");
}

}  // namespace
