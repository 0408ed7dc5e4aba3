// The terrain set's buffers and loader: the layer block and its row tables, every layer read
// from files whose cells tell themselves apart, the height range, the colour table sampled from
// the scale, the off-screen image, and every message of the loader's failures.
#include "terrain/terrain_renderer.h"
#include "terrain_set_fixture.h"

namespace {

TEST_F(TerrainSetTest, BuffersAreMadeAllOrNothing) {
    const char* messages[] = {"Cannot allocate dtmInfoHdr[]", "Cannot allocate dtmRowPtr[]", "Cannot allocate dtmDataBuf[]",
                              "Cannot allocate dtmLogPal[]", "Cannot allocate dtmBmpData[]"};
    for (int nth = 1; nth <= 5; nth++) {
        TestClearShown();
        TerrainFailAllocation(nth);
        EXPECT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 0) << nth;
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{messages[nth - 1]});
        EXPECT_EQ(terrainBuffers.dtmInfoHdr, nullptr);
        EXPECT_EQ(FreeTerrainBuffers(), 0);
    }
    TerrainFailAllocation(0);
    TestClearShown();
    EXPECT_EQ(AllocateTerrainBuffers(350, 350, 20000, 10), 0);   // no surface that wide
    EXPECT_EQ(AllocateTerrainBuffers(0, 350, 665, 499), 0);
    EXPECT_EQ(AllocateTerrainBuffers(350, 350, 0, 499), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"CreateDIBitmap() == NULL", "Cannot allocate dtmDataBuf[]",
                                                      "Cannot allocate dtmBmpData[]"}));
    EXPECT_EQ(terrainBuffers.dtmDataBuf, nullptr);

    TestClearShown();
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    EXPECT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"dtmDataBuf already allocated"});
    EXPECT_EQ(FreeTerrainBuffers(), 1);
    EXPECT_EQ(FreeTerrainBuffers(), 0);
}

// Layer k starts at this many cells' bytes into the block.
TEST_F(TerrainSetTest, RowTablesReachEveryLayerOfTheBlock) {
    const int w = 7, h = 5;
    ASSERT_EQ(AllocateTerrainBuffers(w, h, 665, 499), 1);
    const TerrainRows& rows = terrainBuffers.rows;
    const uint8_t* block = terrainBuffers.dtmDataBuf;
    struct Layer {
        const void* first;
        const void* second;
        size_t start, cellBytes;
    } layers[] = {
        {rows.height[0], rows.height[1], 0, 2},           {rows.smoothed[0], rows.smoothed[1], 2, 2},
        {rows.shade[0], rows.shade[1], 4, 1},             {rows.red[0], rows.red[1], 5, 1},
        {rows.green[0], rows.green[1], 6, 1},             {rows.blue[0], rows.blue[1], 7, 1},
        {rows.screen[0], rows.screen[1], 8, 8},           {rows.slope[0], rows.slope[1], 16, 1},
        {rows.aspect[0], rows.aspect[1], 17, 1},          {rows.viewMask[0], rows.viewMask[1], 18, 1},
        {rows.detailRed[0], rows.detailRed[1], 19, 1},    {rows.detailGreen[0], rows.detailGreen[1], 20, 1},
        {rows.detailBlue[0], rows.detailBlue[1], 21, 1},
    };
    for (size_t k = 0; k < std::size(layers); k++) {
        SCOPED_TRACE(k + 1);
        EXPECT_EQ((const uint8_t*)layers[k].first - block, (ptrdiff_t)(layers[k].start * w * h));
        EXPECT_EQ((const uint8_t*)layers[k].second - (const uint8_t*)layers[k].first, (ptrdiff_t)(layers[k].cellBytes * w));
    }
    // The last row of the last layer ends where the block does.
    EXPECT_EQ(&rows.detailBlue[h - 1][w - 1] + 1, block + (size_t)kTerrainCellBytes * w * h);

    // The image: a top-down 8-bit header for rows of a multiple of 4 pixels, black pixels.
    const uint8_t* header = terrainBuffers.dtmInfoHdr;
    EXPECT_EQ(PeekU32LE(header), 40u);
    EXPECT_EQ(PeekI32LE(header + 4), 668);
    EXPECT_EQ(PeekI32LE(header + 8), -499);
    EXPECT_EQ(PeekU16LE(header + 12), 1);
    EXPECT_EQ(TerrainImageDepth(), 8);
    EXPECT_EQ(SurfaceWidth(terrainBuffers.image), 668);
    EXPECT_EQ(SurfaceHeight(terrainBuffers.image), 499);
    EXPECT_EQ(PeekU16LE(terrainBuffers.dtmLogPal + 2), 256);
    std::vector<uint8_t> zero((size_t)668 * 499 * 3, 0);
    EXPECT_EQ(memcmp(terrainBuffers.dtmBmpData, zero.data(), zero.size()), 0);
}

TEST_F(TerrainSetTest, LoadsEveryLayerOfEachGrid) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    for (int n : {100, 150, 350}) {
        SCOPED_TRACE(n);
        WriteSet(n);
        terrainSet.derivedLoaded = 1;
        ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), n, 0), 1) << TestLastMessage();
        EXPECT_EQ(terrainSet.derivedLoaded, 0);
        EXPECT_EQ(terrainSet.size, n);
        const TerrainRows& rows = terrainBuffers.rows;
        int wrong = 0;
        for (int r = 0; r < n; r++)
            for (int c = 0; c < n; c++) {
                wrong += rows.height[r][c] != Height(r, c);
                wrong += rows.shade[r][c] != Shade(r, c);
                wrong += rows.red[r][c] != Imagery(r, c, 0) || rows.green[r][c] != Imagery(r, c, 1) ||
                         rows.blue[r][c] != Imagery(r, c, 2);
                if (n == 350) {
                    wrong += rows.detailRed[r][c] != Details(r, c, 0) || rows.detailGreen[r][c] != Details(r, c, 1) ||
                             rows.detailBlue[r][c] != Details(r, c, 2);
                } else {
                    wrong += rows.detailRed[r][c] != 0 || rows.detailGreen[r][c] != 0 || rows.detailBlue[r][c] != 128;
                }
                int sx, sy;
                ProjectTerrainCell(c, r, terrainSet.minHeight, terrainSet.maxHeight, n, 0, 0, terrainBuffers.imageWidth,
                                   terrainBuffers.imageHeight, &sx, &sy);
                wrong += rows.screen[r][c].x != sx || rows.screen[r][c].y != sy;
                wrong += rows.viewMask[r][c] != 255;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(terrainSet.minHeight, Height(0, 0));
        EXPECT_EQ(terrainSet.maxHeight, Height(n - 1, n - 1));
        EXPECT_EQ(terrainSet.labelCount, 1);
        EXPECT_EQ(terrainSet.labels[0].name, "Ridge");
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(TerrainSetTest, HeightRangeOfFlatAndOneSpikeSets) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    WriteSet(100);
    struct Case {
        std::function<int(int, int)> height;
        int minimum, maximum;
    } cases[] = {
        {[](int, int) { return 42; }, 42, 43},                     // flat: a range of one metre
        {[](int r, int c) { return r == 99 && c == 0 ? 8848 : 0; }, 0, 8848},
        {[](int r, int c) { return r == 0 && c == 99 ? -392 : 5; }, -392, 5},
    };
    for (const Case& k : cases) {
        WriteHeights(100, "hts", k.height);
        ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 100, 0), 1);
        EXPECT_EQ(terrainSet.minHeight, k.minimum);
        EXPECT_EQ(terrainSet.maxHeight, k.maximum);
    }
}

TEST_F(TerrainSetTest, ColourTableSamplesTheScale) {
    ASSERT_EQ(AllocateTerrainBuffers(100, 100, 64, 48), 1);
    WriteScale();
    ASSERT_EQ(LoadTerrainColourTable(ScalePath().c_str()), 1);
    for (int i = 0; i < 256; i++) {
        ColourRef c = TerrainColourEntry(i);
        ASSERT_EQ(ScaleIndexOf(c), i * 10000 / 256) << i;
        ASSERT_EQ(ColourBlue(c), 7);
    }
    // Entries are stored as the image header's colour table: blue, green, red, 0.
    const uint8_t* e = terrainBuffers.dtmInfoHdr + 40 + 4 * 255;
    EXPECT_EQ(e[0], 7);
    EXPECT_EQ(e[1], 9960 % 256);
    EXPECT_EQ(e[2], 9960 / 256);
    EXPECT_EQ(e[3], 0);
    EXPECT_EQ(TerrainColourEntry(256), 0u);
}

TEST_F(TerrainSetTest, EveryFailureShowsItsMessage) {
    std::string scale = ScalePath();
    EXPECT_EQ(LoadTerrainSet(scale.c_str(), 100, 0), 0);
    EXPECT_EQ(LoadTerrainColourTable(scale.c_str()), 0);
    EXPECT_EQ(LoadTerrainDerivedLayers(100), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"dtmDataBuf not allocated yet", "dtmInfoHdr not allocated yet",
                                                      "dtmDataBuf not allocated yet"}));
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);

    struct Case {
        int n;
        int searchShown;
        std::function<void()> damage;
        std::string message;
    } cases[] = {
        {351, 0, [] {}, "xSize/ySize (351,351) > (350,350)"},
        {100, 0, [&] { RemoveFile(File(100, "hts").c_str()); }, "Cannot open file " + Shown(100, "hts")},
        {100, 0, [&] { RemoveFile(File(100, "sha").c_str()); }, "Cannot open file " + Shown(100, "sha")},
        {100, 0, [&] { RemoveFile(File(100, "rgb").c_str()); }, "Cannot open file " + Shown(100, "rgb")},
        {350, 0, [&] { RemoveFile(File(350, "vec").c_str()); }, "Cannot open file " + Shown(350, "vec")},
        {150, 0, [&] { RemoveFile(File(150, "nam").c_str()); }, "Cannot open file " + Shown(150, "nam")},
        {150, 1, [&] { RemoveFile(File(150, "n2").c_str()); }, "Cannot open file " + Shown(150, "n2")},
        {150, 0, [&] { RemoveFile(File(150, "n2").c_str()); }, ""},   // results not shown: not read
        {100, 0, [&] { RemoveFile((root / "scales/test.sca").c_str()); }, "Cannot open file " + scale},
        {100, 0, [&] { WriteScale(5000); }, "Cannot open file " + scale},   // a scale cut short
        {100, 0, [&] { WriteTestFile(File(100, "hts"), std::vector<uint8_t>(100 * 100 * 2 - 1)); },
         "Cannot read data from file " + Shown(100, "hts")},
        {100, 0, [&] { WriteTestFile(File(100, "rgb"), std::vector<uint8_t>(100 * 100 * 2)); },
         "Cannot read data from file " + Shown(100, "rgb")},
        {100, 0, [&] { TerrainFailAllocation(1); }, "Cannot allocate array[]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        if (k.n <= 350) WriteSet(k.n);
        k.damage();
        TestClearShown();
        EXPECT_EQ(LoadTerrainSet(scale.c_str(), k.n, k.searchShown), k.message.empty() ? 1 : 0);
        EXPECT_EQ(ShownTexts(), k.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{k.message});
        EXPECT_EQ(terrainSet.size, k.message.empty() ? k.n : 0);
        TerrainFailAllocation(0);
    }
}

TEST_F(TerrainSetTest, OffScreenImageAtBothDepths) {
    ASSERT_EQ(AllocateTerrainBuffers(100, 100, 10, 3), 1);   // rows of 12 pixels
    WriteScale();
    ASSERT_EQ(LoadTerrainColourTable(ScalePath().c_str()), 1);
    TerrainBuffers& b = terrainBuffers;
    EXPECT_EQ(TerrainImageRowBytes(), 12);
    b.dtmBmpData[12 * 2 + 11] = 200;   // 8 bits: a palette index, last pixel of the last row
    ASSERT_EQ(PutTerrainImage(), 1);
    EXPECT_EQ(GetPixel(b.image, 11, 2), TerrainColourEntry(200));
    EXPECT_EQ(GetPixel(b.image, 0, 0), TerrainColourEntry(0));

    SetTerrainImageDepth(24);
    EXPECT_EQ(TerrainImageDepth(), 24);
    EXPECT_EQ(TerrainImageRowBytes(), 36);
    EXPECT_EQ(PeekU32LE(b.dtmInfoHdr + 20), 36u * 3);
    uint8_t* p = b.dtmBmpData + 36 * 1 + 3 * 4;
    p[0] = 30, p[1] = 20, p[2] = 10;   // blue, green, red
    ASSERT_EQ(PutTerrainImage(), 1);
    EXPECT_EQ(GetPixel(b.image, 4, 1), MakeColour(10, 20, 30));

    // What is drawn into the surface comes back as 24-bit pixels.
    SetTerrainImageDepth(8);
    FillRect(b.image, Rect{0, 0, 12, 3}, MakeColour(1, 2, 3));
    SetPixel(b.image, 11, 2, MakeColour(250, 128, 5));
    ASSERT_EQ(TakeTerrainImage(), 1);
    EXPECT_EQ(TerrainImageDepth(), 24);
    const uint8_t* last = b.dtmBmpData + 36 * 2 + 3 * 11;
    EXPECT_EQ(std::vector<uint8_t>(last, last + 3), (std::vector<uint8_t>{5, 128, 250}));
    EXPECT_EQ(std::vector<uint8_t>(b.dtmBmpData, b.dtmBmpData + 3), (std::vector<uint8_t>{3, 2, 1}));
}

}  // namespace
