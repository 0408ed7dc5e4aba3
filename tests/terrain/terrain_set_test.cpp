// The terrain set's buffers and loader: every layer read from files whose cells tell themselves
// apart, the colour table, the loader's failure messages, and the label table.
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
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    EXPECT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"dtmDataBuf already allocated"});
    EXPECT_EQ(FreeTerrainBuffers(), 1);
    EXPECT_EQ(FreeTerrainBuffers(), 0);
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

TerrainNameRecord Name(const std::string& name, int nameClass, int found = 0) {
    TerrainNameRecord r;
    r.name = name;
    r.nameClass = nameClass;
    r.found = found;
    return r;
}

std::vector<std::string> Names(const TerrainNameRecord* labels, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; i++) names.push_back(labels[i].name);
    return names;
}

TEST_F(TerrainSetTest, LabelTableOrder) {
    TerrainNameRecord out[kTerrainMaxLabels];
    struct Case {
        const char* what;
        std::vector<TerrainNameRecord> found, gazetteer;
        std::vector<std::string> expected;
    } cases[] = {
        {"classes in turn, file order within each",
         {},
         {Name("c3", 3), Name("c1a", 1), Name("c6", 6), Name("c2", 2), Name("c1b", 1), Name("c5", 5)},
         {"c1a", "c1b", "c2", "c3", "c5", "c6"}},
        {"search results first, a name in both files taken once",
         {Name("Zermatt", 6, 1), Name("Sion", 6, 1)},
         {Name("Sion", 1), Name("Brig", 1), Name("Zermatt", 4)},
         {"Zermatt", "Sion", "Brig"}},
        {"a gazetteer name twice taken once, classes outside 1..6 never",
         {},
         {Name("Visp", 2), Name("Visp", 1), Name("Odd", 0), Name("Odder", 7), Name("Neg", -1)},
         {"Visp"}},
        {"nothing at all", {}, {}, {}},
    };
    for (const Case& k : cases) {
        int count = ChooseTerrainLabels(k.found, k.gazetteer, out);
        EXPECT_EQ(Names(out, count), k.expected) << k.what;
    }

    // Twenty at most: class 6 names only after all of classes 1..5.
    std::vector<TerrainNameRecord> gazetteer;
    for (int i = 0; i < 15; i++) gazetteer.push_back(Name("six" + std::to_string(i), 6));
    for (int i = 0; i < 15; i++) gazetteer.push_back(Name("five" + std::to_string(i), 5));
    int count = ChooseTerrainLabels({}, gazetteer, out);
    ASSERT_EQ(count, 20);
    EXPECT_EQ(out[14].name, "five14");
    EXPECT_EQ(out[15].name, "six0");
    EXPECT_EQ(out[19].name, "six4");
    std::vector<TerrainNameRecord> found(25, Name("hit", 6, 1));
    EXPECT_EQ(ChooseTerrainLabels(found, gazetteer, out), 20);
    EXPECT_EQ(out[19].found, 1);
}

TEST_F(TerrainSetTest, LabelTableFromTheSetFiles) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    WriteSet(150);
    TerrainNameRecord result = Name("Found Place", 6, 1);
    result.row = 12.5, result.column = 140.25;
    WriteNames(150, "n2", {result});
    WriteNames(150, "nam", {Name("Town", 3), Name("Found Place", 1), Name("City", 1)});
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 150, 1), 1);
    EXPECT_EQ(Names(terrainSet.labels, terrainSet.labelCount), (std::vector<std::string>{"Found Place", "City", "Town"}));
    EXPECT_EQ(terrainSet.labels[0].row, 12.5);
    EXPECT_EQ(terrainSet.labels[0].column, 140.25);
    // With no search results on the map the ".n2" file is passed over.
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 150, 0), 1);
    EXPECT_EQ(Names(terrainSet.labels, terrainSet.labelCount), (std::vector<std::string>{"Found Place", "City", "Town"}));
    EXPECT_EQ(terrainSet.labels[0].found, 0);
    EXPECT_TRUE(TestShownMessages().empty());
}

}  // namespace
