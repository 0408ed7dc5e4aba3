// The tile codec: codebook levels and lifecycle messages, fine block rows at each level
// against a naive decoder, coarse rows and their unscrambling, colour residuals.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

// Points the data root at a fresh folder and leaves no codebook loaded behind.
struct CodecFixture : ::testing::Test {
    TempFolder dir;
    void SetUp() override {
        snprintf(dataRoot, sizeof dataRoot, "%s", dir.path.c_str());
        TestClearShown();
    }
    void TearDown() override {
        if (codebook) ReleaseCodebook();
        if (codebookH) ReleaseCodebookH();
        if (codebookRGB) ReleaseCodebookRGB();
        snprintf(dataRoot, sizeof dataRoot, ".");
    }
};

std::vector<uint8_t> Codebook16Bytes(int entries, std::mt19937& random, int lo, int hi) {
    std::vector<uint8_t> out;
    std::uniform_int_distribution<int> value(lo, hi);
    for (int i = 0; i < entries * 16; i++) WriteI16LE(out, (int16_t)value(random));
    return out;
}

}  // namespace

TEST_F(CodecFixture, LevelsTruncateTowardZero) {
    std::vector<uint8_t> bytes(4096 * 32, 0);
    int16_t firstRow[4] = {-3, -2, -2, -2};
    for (int i = 0; i < 4; i++) PokeU16LE(bytes.data() + 2 * i, (uint16_t)firstRow[i]);
    int16_t rest[12] = {5, 6, 6, 6, 1, 2, 3, 4, -8, -8, -8, -7};
    for (int i = 0; i < 12; i++) PokeU16LE(bytes.data() + 8 + 2 * i, (uint16_t)rest[i]);
    ASSERT_EQ(WriteTestFile(dir / "raster/hts/hts_4096.cod", bytes), 1);
    ASSERT_EQ(LoadCodebookH("raster\\hts\\hts_4096.cod"), 1);
    const int level1[4] = {-2, 5, 2, -7};  // -9 / 4 (not -3), 23 / 4, 10 / 4, -31 / 4
    for (int i = 0; i < 4; i++) EXPECT_EQ(codebookH->level1[i], level1[i]) << i;
    EXPECT_EQ(codebookH->level2[0], -0);  // (-2 + 5 + 2 - 7) / 4 = -2 / 4
    // The unsigned shade codebook shifts right instead.
    std::vector<uint8_t> shade(65536, 0);
    uint8_t entry[16] = {255, 254, 254, 254, 1, 1, 1, 2, 0, 0, 0, 3, 9, 9, 9, 9};
    memcpy(shade.data() + 16, entry, 16);
    ASSERT_EQ(WriteTestFile(dir / "raster/shadow/shadow.cod", shade), 1);
    ASSERT_EQ(LoadCodebook("raster\\shadow\\shadow.cod"), 1);
    const int shifted[4] = {254, 1, 0, 9};
    for (int i = 0; i < 4; i++) EXPECT_EQ(codebook->level1[4 + i], shifted[i]) << i;
    EXPECT_EQ(codebook->level2[1], (254 + 1 + 0 + 9) >> 2);
}

TEST_F(CodecFixture, ShadeCodebookEntriesFollowFileSize) {
    struct Case {
        size_t size;
        int ok, entries;
    } cases[] = {{65536, 1, 4096}, {32768, 1, 2048}, {40000, 1, 2048}, {65537, 1, 2048}, {32767, 0, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        ASSERT_EQ(WriteTestFile(dir / "raster/shadow/shadow.cod", std::vector<uint8_t>(c.size, 200)), 1);
        TestClearShown();
        EXPECT_EQ(LoadCodebook("raster\\shadow\\shadow.cod"), c.ok) << c.size;
        if (!c.ok) {
            EXPECT_EQ(codebook, nullptr);
            EXPECT_EQ(TestLastMessage(), "Cannot read file raster\\shadow\\shadow.cod");
            continue;
        }
        EXPECT_EQ(codebook->entries, c.entries);
        // Entries beyond the file read as 0, so a 12-bit index never reaches past the table.
        EXPECT_EQ(codebook->level0[16 * c.entries - 1], 200);
        if (c.entries < 4096) { EXPECT_EQ(codebook->level0[16 * c.entries], 0); }
        ReleaseCodebook();
    }
}

TEST_F(CodecFixture, LifecycleMessages) {
    std::mt19937 random(1);
    ASSERT_EQ(WriteTestFile(dir / "raster/hts/hts_4096.cod", Codebook16Bytes(4096, random, -50, 50)), 1);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/rg_2048.cod", Codebook16Bytes(2048, random, -50, 50)), 1);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/b_1024.cod", Codebook16Bytes(1024, random, -50, 50)), 1);
    ASSERT_EQ(WriteTestFile(dir / "raster/shadow/shadow.cod", std::vector<uint8_t>(65536, 1)), 1);

    FineTile shade, height, colour;
    ASSERT_EQ(SetFineTileBytes(&shade, kLayerShade, std::vector<uint8_t>(kVqcFileSize, 0)), 1);
    ASSERT_EQ(SetFineTileBytes(&height, kLayerHeight, std::vector<uint8_t>(kVqcFileSize, 0)), 1);
    ASSERT_EQ(SetFineTileBytes(&colour, kLayerColour, std::vector<uint8_t>(kCvqFileSize, 0)), 1);
    struct Step {
        std::function<int()> run;
        int result;
        const char* message;
    } steps[] = {
        {[&] { return DecodeFineBlockRow(&shade, 0); }, 0, "codebook[] not allocated yet"},
        {[&] { return DecodeFineBlockRow(&height, 0); }, 0, "codebookH[] not allocated yet"},
        {[&] { return DecodeFineBlockRow(&colour, 0); }, 0, "codebookRGB[] not allocated yet"},
        {[&] { return ReleaseCodebook(); }, 0, "codebook[] already released"},
        {[&] { return ReleaseCodebookH(); }, 0, "codebookH[] already released"},
        {[&] { return ReleaseCodebookRGB(); }, 0, "codebookRGB[] already released"},
        {[&] { return LoadCodebook("raster\\shadow\\shadow.cod"); }, 1, ""},
        {[&] { return LoadCodebook("raster\\shadow\\shadow.cod"); }, 0, "codebook[] already allocated"},
        {[&] { return LoadCodebookH("raster\\hts\\hts_4096.cod"); }, 1, ""},
        {[&] { return LoadCodebookH("raster\\hts\\hts_4096.cod"); }, 0, "codebookH[] already allocated"},
        {[&] { return LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"); }, 1, ""},
        {[&] { return LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"); }, 0,
         "codebookRGB[] already allocated"},
        {[&] { return DecodeFineBlockRow(&shade, 0); }, 1, ""},
        {[&] { return DecodeFineBlockRow(&height, 0); }, 1, ""},
        {[&] { return DecodeFineBlockRow(&colour, 0); }, 1, ""},
        {[&] { return ReleaseCodebookRGB(); }, 1, ""},
        {[&] { return LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\missing.cod"); }, 0,
         "Cannot open file raster\\rgb\\missing.cod"},
        {[&] { return codebookRGB == nullptr; }, 1, ""},
        {[&] { return ReleaseCodebook() && ReleaseCodebookH(); }, 1, ""},
        {[&] { return LoadCodebookH("raster\\hts\\nothing.cod"); }, 0, "Cannot open file raster\\hts\\nothing.cod"},
    };
    int i = 0;
    for (const Step& s : steps) {
        TestClearShown();
        EXPECT_EQ(s.run(), s.result) << "step " << i;
        EXPECT_EQ(TestLastMessage(), s.message) << "step " << i;
        i++;
    }
}

// A naive decoder straight from the format: the entry of the block that holds (c, r) at the
// level, value (row within block at that level, column within block at that level).
static int NaiveValue(const FineTile& t, int c, int r, int ch) {
    int level = t.level, edge = FineBlockEdge(level);
    int vc = FineValueColumn(c, level), vr = FineValueRow(r, level);
    int j = vc / edge, p = vr * edge + vc % edge;
    int index[3];
    FineBlockIndices(&t, j, r / 4, index);
    if (t.layer == kLayerShade) {
        const uint8_t* e = level == 0 ? codebook->level0 : level == 1 ? codebook->level1 : codebook->level2;
        return e[index[0] * edge * edge + p];
    }
    if (t.layer == kLayerHeight) {
        const int16_t* e = level == 0 ? codebookH->level0 : level == 1 ? codebookH->level1 : codebookH->level2;
        return e[index[0] * edge * edge + p];
    }
    const int16_t* rg = level == 0 ? codebookRGB->rg0 : level == 1 ? codebookRGB->rg1 : codebookRGB->rg2;
    const int16_t* b = level == 0 ? codebookRGB->b0 : level == 1 ? codebookRGB->b1 : codebookRGB->b2;
    return ch == 2 ? b[index[2] * edge * edge + p] : rg[index[ch] * edge * edge + p];
}

TEST_F(CodecFixture, FineTilesDecodeAsTheNaiveReferenceAtEveryLevel) {
    std::mt19937 random(7);
    ASSERT_EQ(WriteTestFile(dir / "raster/hts/hts_4096.cod", Codebook16Bytes(4096, random, -3000, 3000)), 1);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/rg_2048.cod", Codebook16Bytes(2048, random, -255, 255)), 1);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/b_1024.cod", Codebook16Bytes(1024, random, -255, 255)), 1);
    std::vector<uint8_t> shadeBook(32768);
    for (uint8_t& b : shadeBook) b = (uint8_t)random();
    ASSERT_EQ(WriteTestFile(dir / "raster/shadow/shadow.cod", shadeBook), 1);
    ASSERT_EQ(LoadCodebook("raster\\shadow\\shadow.cod"), 1);
    ASSERT_EQ(LoadCodebookH("raster\\hts\\hts_4096.cod"), 1);
    ASSERT_EQ(LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"), 1);

    for (TileLayer layer : {kLayerColour, kLayerHeight, kLayerShade}) {
        std::vector<uint8_t> bytes(layer == kLayerColour ? kCvqFileSize : kVqcFileSize);
        for (uint8_t& b : bytes) b = (uint8_t)random();  // every index of 4096 on a 2048-entry shade book too
        FineTile t;
        ASSERT_EQ(SetFineTileBytes(&t, layer, bytes), 1);
        for (int level = 0; level < 3; level++) {
            SetFineTileLevel(&t, level);
            for (int n = 0; n < 4000; n++) {
                int c = (int)(random() % kFineSamples), r = (int)(random() % kFineSamples);
                if (n < 4) c = n % 2 ? kFineSamples - 1 : 0, r = n / 2 ? kFineSamples - 1 : 0;
                for (int ch = 0; ch < (layer == kLayerColour ? 3 : 1); ch++) {
                    int v = -99999;
                    ASSERT_EQ(FineSample(&t, c, r, ch, &v), 1);
                    ASSERT_EQ(v, NaiveValue(t, c, r, ch)) << "layer " << layer << " level " << level << " at " << c << ","
                                                         << r << " ch " << ch;
                }
            }
        }
    }
}

TEST_F(CodecFixture, BlockRowIsDecodedOnlyWhenItChanges) {
    std::vector<uint8_t> book(4096 * 32, 0);
    ASSERT_EQ(WriteTestFile(dir / "raster/hts/hts_4096.cod", book), 1);
    ASSERT_EQ(LoadCodebookH("raster\\hts\\hts_4096.cod"), 1);
    FineTile t;
    ASSERT_EQ(SetFineTileBytes(&t, kLayerHeight, std::vector<uint8_t>(kVqcFileSize, 0)), 1);
    int v = 0;
    ASSERT_EQ(FineSample(&t, 0, 20, 0, &v), 1);
    EXPECT_EQ(v, 0);
    codebookH->level0[0] = 77;  // a change the held block row must not see yet
    ASSERT_EQ(FineSample(&t, 0, 23, 0, &v), 1);
    EXPECT_EQ(v, 0);
    ASSERT_EQ(FineSample(&t, 0, 24, 0, &v), 1);  // block row 6: decoded afresh
    EXPECT_EQ(v, 77);
    ASSERT_EQ(FineSample(&t, 0, 20, 0, &v), 1);
    EXPECT_EQ(v, 77);
    codebookH->level1[0] = 5;
    SetFineTileLevel(&t, 1);  // a new level forgets the held row
    ASSERT_EQ(FineSample(&t, 0, 20, 0, &v), 1);
    EXPECT_EQ(v, 5);
}

TEST_F(CodecFixture, MissingOrDamagedTileIsSkippedSilently) {
    FineTile t;
    EXPECT_EQ(LoadFineTile("raster\\rgb\\06N\\012E06N.cvq", kLayerColour, &t), 0);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/06N/012E06N.cvq", std::vector<uint8_t>(kCvqFileSize - 1, 0)), 1);
    EXPECT_EQ(LoadFineTile("raster\\rgb\\06N\\012E06N.cvq", kLayerColour, &t), 0);
    ASSERT_EQ(WriteTestFile(dir / "raster/rgb/06N/012E06N.cvq", std::vector<uint8_t>(kCvqFileSize, 0)), 1);
    EXPECT_EQ(LoadFineTile("raster\\rgb\\06N\\012E06N.cvq", kLayerHeight, &t), 0);  // a colour-sized .hvc
    EXPECT_EQ(LoadFineTile("raster\\rgb\\06N\\012E06N.cvq", kLayerColour, &t), 1);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(TileCodec, ResidualsClampToTheByteRange) {
    struct Case {
        int base, residual, expected;
    } cases[] = {{10, -20, 0}, {230, 50, 255}, {100, 27, 127}, {0, 0, 0}, {255, 0, 255}, {0, -32768, 0}, {255, 32767, 255}};
    for (const Case& c : cases) EXPECT_EQ(AddResidual(c.base, c.residual), c.expected) << c.base << " + " << c.residual;
}

TEST(TileCodec, FiveSixFiveExpansion) {
    uint8_t r, g, b;
    Expand565(0xFFFF, &r, &g, &b);
    EXPECT_EQ(r, 248);
    EXPECT_EQ(g, 252);
    EXPECT_EQ(b, 248);
    Expand565((uint16_t)((17 << 11) | (40 << 5) | 3), &r, &g, &b);
    EXPECT_EQ(r, 136);
    EXPECT_EQ(g, 160);
    EXPECT_EQ(b, 24);
    for (int v = 0; v < 65536; v += 37) {
        Expand565((uint16_t)v, &r, &g, &b);
        EXPECT_EQ(Pack565(r, g, b), v);
    }
}

TEST(TileCodec, IndexPackingMatchesTheStoredLayout) {
    uint8_t group[3];
    PackIndexPair(0xABC, 0x123, group);
    EXPECT_EQ(group[0], 0x23);
    EXPECT_EQ(group[1], 0xA1);
    EXPECT_EQ(group[2], 0xBC);
    int west, east;
    UnpackIndexPair(group, &west, &east);
    EXPECT_EQ(west, 0xABC);
    EXPECT_EQ(east, 0x123);
    EXPECT_EQ(PackCvqRecord(2047, 0, 0), 0xFFE00000u);
    EXPECT_EQ(PackCvqRecord(0, 2047, 0), 0x001FFC00u);
    EXPECT_EQ(PackCvqRecord(0, 0, 1023), 0x000003FFu);
}

TEST(TileCodec, ScrambledColumnsOfACoarseRow) {
    struct Case {
        int row;
        std::vector<int> columns;
    } cases[] = {{0, {}}, {170, {}}, {1669, {}}};
    for (int c = 0; c <= 1600; c += 100) cases[0].columns.push_back(c);
    for (int c = 70; c <= 1570; c += 100) cases[1].columns.push_back(c);
    for (int c = 69; c < 1670; c += 100) cases[2].columns.push_back(c);
    for (const Case& c : cases) {
        uint16_t samples[kCoarseSamples];
        for (int i = 0; i < kCoarseSamples; i++) samples[i] = (uint16_t)(i * 31);
        UnscrambleCoarseRow(c.row, samples);
        std::set<int> expected(c.columns.begin(), c.columns.end());
        int changed = 0;
        for (int i = 0; i < kCoarseSamples; i++) {
            uint8_t key = ScrambleKey(i, c.row);
            uint16_t want = expected.count(i) ? (uint16_t)((i * 31) ^ (key | key << 8)) : (uint16_t)(i * 31);
            EXPECT_EQ(samples[i], want) << "row " << c.row << " column " << i;
            changed += samples[i] != (uint16_t)(i * 31);
        }
        EXPECT_GE(changed, (int)expected.size() - 2) << "the key should rarely be 0";
        UnscrambleCoarseRow(c.row, samples);  // its own inverse
        for (int i = 0; i < kCoarseSamples; i++) EXPECT_EQ(samples[i], (uint16_t)(i * 31));
    }
    // The key follows its formula over the table, which is a permutation.
    const uint8_t* T = ScrambleTable();
    std::set<int> values(T, T + 256);
    EXPECT_EQ(values.size(), 256u);
    EXPECT_EQ(ScrambleKey(300, 5), (uint8_t)(44 ^ 5 ^ T[44] ^ T[T[44]] ^ T[5]));
    // Every volume already built was scrambled with this table: it must never change.
    const uint8_t first[8] = {197, 154, 169, 204, 123, 90, 86, 117};
    EXPECT_EQ(memcmp(T, first, sizeof first), 0);
    EXPECT_EQ(ScrambleKey(255, 1155), 10);  // a sample of 680 m under 9.2 E 48.5 N reads 2210 on disk
}

TEST(TileCodec, CoarseRowsReadAndUnscramble) {
    TempFolder dir;
    std::vector<uint8_t> file;
    for (int r = 0; r < 3; r++) {
        uint16_t row[kCoarseSamples];
        for (int c = 0; c < kCoarseSamples; c++) row[c] = (uint16_t)(int16_t)(c - 400 + r);
        UnscrambleCoarseRow(r, row);
        for (uint16_t v : row) WriteU16LE(file, v);
    }
    ASSERT_EQ(WriteTestFile(dir / "t.HLE", file), 1);
    FILE* f = fopen((dir / "t.HLE").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int16_t heights[kCoarseSamples];
    for (int r : {2, 0, 1}) {
        ASSERT_EQ(ReadCoarseRow(f, r, heights), 1);
        for (int c = 0; c < kCoarseSamples; c++) ASSERT_EQ(heights[c], c - 400 + r) << r << "," << c;
    }
    EXPECT_EQ(ReadCoarseRow(f, 3, heights), 0);  // beyond the end of a short file
    EXPECT_EQ(heights[0], 0);
    EXPECT_EQ(ReadCoarseRow(f, -1, heights), 0);
    fclose(f);
}
