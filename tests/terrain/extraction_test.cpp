// Terrain extraction on the tiny volume of extraction_volume.cpp: grids against a naive decoding
// of the tiles, the widened window, names, clip.zl, the whole set and every failure message.
#include <gtest/gtest.h>

#include <cstring>
#include <cmath>
#include <functional>

#include "extraction_volume.h"
#include "core/core.h"
#include "imaging/imaging.h"
#include "map2d/vector_layers.h"
#include "names/names.h"
#include "names/place_search.h"
#include "terrain/terrain_set.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

using namespace extraction_test;

namespace {

std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    return texts;
}

std::vector<uint8_t> SetFile(int size, const char* extension) { return ReadTestFile(ResolvePath(TerrainSetPath(size, extension).c_str())); }

struct ExtractionTest : ::testing::Test {
    TempFolder temp;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", VolumeFolder().c_str());
        snprintf(tempDir, sizeof tempDir, "%s", temp.path.c_str());
        screenMode = 1;  // no progress panel
        ResetZoomHistory();
        FailTerrainAllocation(0);
        TestClearShown();
    }
    void TearDown() override {
        if (codebook) ReleaseCodebook();
        if (codebookH) ReleaseCodebookH();
        if (codebookRGB) ReleaseCodebookRGB();
        FailTerrainAllocation(0);
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
    }
    static void LoadBooks() {
        ASSERT_EQ(LoadCodebook("raster\\shadow\\shadow.cod"), 1);
        ASSERT_EQ(LoadCodebookH("raster\\hts\\hts_4096.cod"), 1);
        ASSERT_EQ(LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"), 1);
    }
};

std::vector<int16_t> Heights(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); i++) out[i] = PeekI16LE(&bytes[2 * i]);
    return out;
}

// [SECTION] Grids against the naive decoding

TEST_F(ExtractionTest, ExtractionGridsMatchANaiveDecodingOfTheTiles) {
    LoadBooks();
    struct Case {
        const char* what;
        MapWindow area;
    } cases[] = {
        {"corner of 60- and 12-degree tiles", {118.0, 122.0, 28.0, 32.0}},
        {"date line", {178.0, 182.0, 40.0, 44.0}},
        {"given east to west, south to north reversed", {122.0, 118.3, 31.7, 28.2}},
        {"narrower than the grid in kilometres", {120.0, 120.3, 30.0, 30.2}},
    };
    for (const Case& k : cases)
        for (int size : {kTerrainGridLow, kTerrainGridMedium, kTerrainGridHigh}) {
            SCOPED_TRACE(std::string(k.what) + " grid " + std::to_string(size));
            ASSERT_EQ(ExtractTerrainImagery(k.area, TerrainSetPath(size, "rgb").c_str(), size, size), 1);
            ASSERT_EQ(ExtractTerrainHeights(k.area, TerrainSetPath(size, "hts").c_str(), TerrainSetPath(size, "sha").c_str(), size, size), 1);
            ReferenceGrids want = ReferenceExtraction(k.area, size);
            std::vector<int16_t> heights = Heights(SetFile(size, "hts"));
            std::vector<uint8_t> shades = SetFile(size, "sha"), rgb = SetFile(size, "rgb");
            ASSERT_EQ(heights.size(), want.heights.size());
            ASSERT_EQ(shades.size(), want.shades.size());
            ASSERT_EQ(rgb.size(), want.rgb.size());
            int mismatches = 0, filled = 0;
            for (size_t i = 0; i < heights.size() && mismatches < 5; i++) {
                filled += want.heights[i] != 0;
                if (heights[i] != want.heights[i] || shades[i] != want.shades[i]) {
                    ADD_FAILURE() << "cell " << i % size << "," << i / size << ": " << heights[i] << "/" << (int)shades[i]
                                  << " want " << want.heights[i] << "/" << (int)want.shades[i];
                    mismatches++;
                }
            }
            for (size_t i = 0; i < rgb.size() && mismatches < 5; i++)
                if (rgb[i] != want.rgb[i]) {
                    ADD_FAILURE() << "colour byte " << i << ": " << (int)rgb[i] << " want " << (int)want.rgb[i];
                    mismatches++;
                }
            EXPECT_GT(filled, size * size / 4);  // the reference is not an empty grid
        }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(ExtractionTest, ExtractionLeavesSeaWithoutFineTilesAtZeroAndKeepsTheBaseColour) {
    LoadBooks();
    // 108 E 30 N has no fine heights, 120 E 42 N no shade file: zero where only the base lies;
    // the imagery keeps the base colour where no fine colour tile lies.
    MapWindow coast{106.0, 110.0, 27.0, 29.0};
    ASSERT_EQ(ExtractTerrainHeights(coast, TerrainSetPath(150, "hts").c_str(), TerrainSetPath(150, "sha").c_str(), 150, 150), 1);
    ASSERT_EQ(ExtractTerrainImagery(coast, TerrainSetPath(150, "rgb").c_str(), 150, 150), 1);
    std::vector<int16_t> coastHeights = Heights(SetFile(150, "hts"));
    std::vector<uint8_t> coastRgb = SetFile(150, "rgb");
    int zeroEast = 1;
    for (int y = 0; y < 150; y++)
        for (int x = 80; x < 150; x++) zeroEast &= coastHeights[(size_t)y * 150 + x] == 0;
    EXPECT_TRUE(zeroEast);
    // Cell (140, 0) lies at 109.73 E 29.0 N: a coarse sample of the tile 60 E 30 N.
    int c = (int)((106.0 - 60) / 60 * 1670 + 140 * ((110.0 - 60) / 60 * 1670 - (106.0 - 60) / 60 * 1670) / 150);
    int r = (int)((30 - 29.0) / 60 * 1670);
    uint16_t v = CoarseColour(60, 30, c, r);
    EXPECT_EQ(coastRgb[140 * 3], (v >> 11) * 8);
    EXPECT_EQ(coastRgb[140 * 3 + 1], ((v >> 5) & 63) * 4);
    EXPECT_EQ(coastRgb[140 * 3 + 2], (v & 31) * 8);
}

// [SECTION] The extraction window

TEST_F(ExtractionTest, ExtractionWindowIsOrderedAndWidenedToAKilometreACell) {
    const double kmLon = 360.0 / 40080.0, kmLat = 180.0 / 20040.0;
    struct Case {
        MapWindow area;
        int size;
        MapWindow want;
    } cases[] = {
        {{10, 14, 40, 44}, 100, {10, 14, 40, 44}},
        {{14, 10, 44, 40}, 100, {10, 14, 40, 44}},
        // 0.5 degrees is 55.7 km: widened to 100 x 100 km around the centre.
        {{10, 10.5, 40, 44}, 100, {10.25 - 50 * kmLon, 10.25 + 50 * kmLon, 42 - 50 * kmLat, 42 + 50 * kmLat}},
        // 1.2 degrees is 133.6 km: enough for 100 cells, not for 150 (75 km each side).
        {{10, 11.2, 40, 41.2}, 100, {10, 11.2, 40, 41.2}},
        {{10, 11.2, 40, 41.2}, 150, {10.6 - 75 * kmLon, 10.6 + 75 * kmLon, 40.6 - 75 * kmLat, 40.6 + 75 * kmLat}},
        // Wide but too short: both sides are replaced.
        {{10, 20, 40, 40.5}, 350, {15 - 175 * kmLon, 15 + 175 * kmLon, 40.25 - 175 * kmLat, 40.25 + 175 * kmLat}},
    };
    for (const Case& k : cases) {
        MapWindow got = ExtractionWindow(k.area, k.size, k.size);
        EXPECT_DOUBLE_EQ(got.west, k.want.west) << k.area.west << " " << k.size;
        EXPECT_DOUBLE_EQ(got.east, k.want.east) << k.area.west << " " << k.size;
        EXPECT_DOUBLE_EQ(got.south, k.want.south) << k.area.west << " " << k.size;
        EXPECT_DOUBLE_EQ(got.north, k.want.north) << k.area.west << " " << k.size;
    }
}

// [SECTION] Names

TEST_F(ExtractionTest, ExtractionNamesGiveRowsAndColumnsInGridCells) {
    TempFolder volume;
    snprintf(dataRoot, sizeof dataRoot, "%s", volume.path.c_str());
    struct Place {
        float lat, lon;
        const char* name;
        int cls, flags;
    } places[] = {
        {42.0f, 179.0f, "Centre West", 3, 0},
        {40.0f, 181.0f - 360.0f, "Across The Line", 5, kPlaceProvinceCapital},  // stored as -179
        {44.0f, 178.0f, "North West Corner", 1, 0},
        {43.0f, 179.5f, "Left Out Of 3D", 2, kPlaceNot3D},
        {45.0f, 179.0f, "North Of The Area", 4, 0},
        {42.0f, -177.5f, "East Of The Area", 4, 0},
    };
    std::vector<PlaceRecord> records;
    for (const Place& p : places) {
        PlaceRecord r;
        r.lat = p.lat, r.lon = p.lon, r.name = p.name, r.cls = (uint8_t)p.cls, r.flags = (uint8_t)p.flags;
        records.push_back(r);
    }
    ASSERT_TRUE(WriteTestFile(volume / "names/pplace2.dat", EncodePlaceFile(records)));
    MapWindow w{178.0, 182.0, 40.0, 44.0};
    ASSERT_EQ(ExtractTerrainNames(w, TerrainSetPath(150, "nam").c_str(), TerrainSetPath(150, "n2").c_str(), 150), 3);
    std::vector<uint8_t> nam = SetFile(150, "nam");
    ASSERT_EQ(nam.size(), 3u * kTerrainNameRecordSize);
    struct Want {
        const char* name;
        double row, column;
        int cls;
    } want[] = {
        {"Centre West", 150 * (1 - 2.0 / 4), 150 * 1.0 / 4, 3},
        {"Across The Line", 150.0, 150 * 3.0 / 4, 5},
        {"North West Corner", 0.0, 0.0, 1},
    };
    for (int i = 0; i < 3; i++) {
        const uint8_t* b = &nam[(size_t)i * kTerrainNameRecordSize];
        TerrainNameRecord r;
        DecodeTerrainNameRecord(b, &r);
        EXPECT_EQ(r.name, want[i].name);
        EXPECT_NEAR(r.row, want[i].row, 1e-9) << r.name;
        EXPECT_NEAR(r.column, want[i].column, 1e-9) << r.name;
        EXPECT_EQ(r.nameClass, want[i].cls);
        EXPECT_EQ(r.found, 0);
    }
    // No search results on the map: the found places' file is there and empty.
    EXPECT_TRUE(FileExists(TerrainSetPath(150, "n2").c_str()));
    EXPECT_TRUE(SetFile(150, "n2").empty());
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();

    // Results shown: those inside the area, across the date line too, as class 6 found places
    // with at most 69 characters of their name.
    std::vector<uint8_t> locate;
    AppendLocateRecord(locate, LocateRecord{179.0, 41.0, "Found Inside"});
    AppendLocateRecord(locate, LocateRecord{-179.0, 43.0, std::string(80, 'L')});
    AppendLocateRecord(locate, LocateRecord{170.0, 41.0, "Found Outside"});
    ASSERT_TRUE(WriteTestFile(std::string(tempDir) + "/locate.tmp", locate));
    placeSearch.show = SEARCH_SHOW_FILE;
    ASSERT_EQ(ExtractTerrainNames(w, TerrainSetPath(150, "nam").c_str(), TerrainSetPath(150, "n2").c_str(), 150), 3);
    placeSearch.show = SEARCH_SHOW_NONE;
    std::vector<uint8_t> n2 = SetFile(150, "n2");
    std::vector<TerrainNameRecord> found;
    DecodeTerrainNameFile(n2.data(), n2.size(), &found);
    ASSERT_EQ(n2.size(), 2u * kTerrainNameRecordSize);
    EXPECT_EQ(found[0].name, "Found Inside");
    EXPECT_NEAR(found[0].row, 150 * (1 - 1.0 / 4), 1e-9);
    EXPECT_NEAR(found[0].column, 150 * 1.0 / 4, 1e-9);
    EXPECT_EQ(found[1].name, std::string(69, 'L'));
    EXPECT_EQ(n2[kTerrainNameRecordSize + 69], 0);
    EXPECT_NEAR(found[1].row, 150 * (1 - 3.0 / 4), 1e-9);
    EXPECT_NEAR(found[1].column, 150 * 3.0 / 4, 1e-9);
    for (const TerrainNameRecord& r : found) {
        EXPECT_EQ(r.found, 1);
        EXPECT_EQ(r.nameClass, 6);
    }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// [SECTION] The whole set

TEST_F(ExtractionTest, ExtractionOfANewAreaWritesClipFileAndBothGrids) {
    // Leftovers of an earlier set: deleted, except the overlay, which is overwritten later.
    for (const char* e : {"slp", "asp", "ht2"}) WriteTestText(ResolvePath(TerrainSetPath(100, e).c_str()), "old");
    WriteTestText(ResolvePath(TerrainSetPath(350, "hts").c_str()), "old");
    WriteTestText(ResolvePath(TerrainSetPath(350, "vec").c_str()), "old");
    zoomHistory[2] = MapWindow{118.0, 122.0, 28.0, 32.0};
    zoomDepth = 2;
    ASSERT_EQ(ExtractTerrainSet(zoomHistory[2], 0), 1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_EQ(ReferenceExtraction(zoomHistory[2], 150).heights, Heights(SetFile(150, "hts")));
    EXPECT_EQ(ReferenceExtraction(zoomHistory[2], 100).rgb, SetFile(100, "rgb"));
    EXPECT_TRUE(FileExists(TerrainSetPath(150, "n2").c_str()));
    EXPECT_EQ(SetFile(100, "nam").size(), 2u * kTerrainNameRecordSize);
    for (const char* e : {"slp", "asp", "ht2"}) EXPECT_FALSE(FileExists(TerrainSetPath(100, e).c_str())) << e;
    EXPECT_FALSE(FileExists(TerrainSetPath(350, "hts").c_str()));
    EXPECT_EQ(SetFile(350, "vec").size(), 3u);
    // clip.zl: the window and the cell sizes along the centre latitude (30 degrees).
    std::vector<uint8_t> clip = ReadTestFile(ResolvePath(ClipFilePath().c_str()));
    ASSERT_EQ(clip.size(), (size_t)kClipFileSize);
    ByteCursor c = MakeCursor(clip.data(), clip.size());
    for (double edge : {118.0, 122.0, 28.0, 32.0}) EXPECT_EQ(ReadF64LE(c), edge);
    double width = 4.0 * cos(30.0 * M_PI / 180.0) * 111317.09966666668;
    for (int size : {100, 150, 350}) EXPECT_NEAR(ReadF64LE(c), width / size, 1e-6) << size;
    // Nothing stays loaded, and the map is where it was.
    EXPECT_EQ(codebook, nullptr);
    EXPECT_EQ(codebookH, nullptr);
    EXPECT_EQ(codebookRGB, nullptr);
    EXPECT_EQ(zoomDepth, 2);
}

TEST_F(ExtractionTest, ExtractionOfDetailsUsesTheClippedAreaAfterThePanAndDrawsTheLayers) {
    // A red one-degree graticule is the only vector layer.
    ResetLayerSwitches();
    TempFolder theme;
    snprintf(dataRoot, sizeof dataRoot, "%s", VolumeFolder().c_str());
    std::string row = "1,<~1>\"Grid\"{255,000,000,000,000,000,0,01,00,000000000,000000000,0}\n";
    std::string themePath = VolumeFolder() + "/theme1.dat";
    ASSERT_TRUE(WriteTestText(themePath, "[Vector 2D Layers]\n" + row));
    MapWindow clipped{118.5, 121.5, 28.5, 31.5};
    ASSERT_EQ(ExtractTerrainSet(clipped, 0), 1);
    // The user pans away, and only then asks for the details.
    zoomHistory[1] = MapWindow{10.0, 14.0, 40.0, 44.0};
    zoomDepth = 1;
    drawAborted = 1;  // Escape stopped the last repaint of the map
    ASSERT_EQ(ExtractTerrainSet(zoomHistory[1], 1), 1);
    EXPECT_EQ(drawAborted, 1);
    drawAborted = 0;
    RemoveFile(themePath.c_str());
    ResetLayerSwitches();
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_EQ(zoomHistory[1].west, 10.0);
    EXPECT_EQ(zoomHistory[1].north, 44.0);
    EXPECT_EQ(Heights(SetFile(350, "hts")), ReferenceExtraction(clipped, 350).heights);
    std::vector<uint8_t> rgb = SetFile(350, "rgb"), vec = SetFile(350, "vec");
    ASSERT_EQ(rgb.size(), (size_t)350 * 350 * 3);
    ASSERT_EQ(vec.size(), rgb.size());
    EXPECT_EQ(rgb, ReferenceExtraction(clipped, 350).rgb);
    // The meridians 119, 120 and 121 E cross the picture as red columns; elsewhere the imagery.
    int redColumns = 0, unchanged = 0;
    for (int x = 0; x < 350; x++) {
        int red = 1;
        for (int y = 10; y < 340; y += 30) {
            const uint8_t* p = &vec[((size_t)y * 350 + x) * 3];
            red &= p[0] == 255 && p[1] == 0 && p[2] == 0;
        }
        redColumns += red;
    }
    for (size_t i = 0; i < vec.size(); i += 3) unchanged += memcmp(&vec[i], &rgb[i], 3) == 0;
    EXPECT_GE(redColumns, 3);
    EXPECT_LE(redColumns, 9);
    EXPECT_GT(unchanged, 350 * 350 * 9 / 10);
    // The medium grid of the first clip is still there.
    EXPECT_EQ(SetFile(150, "hts").size(), (size_t)150 * 150 * 2);
}

// [SECTION] Failures

TEST_F(ExtractionTest, ExtractionFailureMessages) {
    std::string hts = TerrainSetPath(100, "hts"), sha = TerrainSetPath(100, "sha"), rgb = TerrainSetPath(100, "rgb");
    MapWindow w{118.0, 122.0, 28.0, 32.0};
    auto heights = [&](int width, int height) { return ExtractTerrainHeights(w, hts.c_str(), sha.c_str(), width, height); };
    auto imagery = [&](int width, int height) { return ExtractTerrainImagery(w, rgb.c_str(), width, height); };
    std::string unwritable = temp.path + "\\missing\\100.hts";
    int cursorBefore = GetCursorShape();
    struct Step {
        const char* what;
        std::function<int()> run;
        int result;
        std::string message;
    } steps[] = {
        {"too wide", [&] { return heights(1281, 100); }, 0, "Screen size too large"},
        {"too high", [&] { return imagery(100, 1025); }, 0, "Screen size too large"},
        {"no shade book", [&] { return heights(100, 100); }, 0, "codebook[] not allocated yet"},
        {"no colour book", [&] { return imagery(100, 100); }, 0, "codebookRGB[] not allocated yet"},
        {"shade book", [&] { return LoadCodebook("raster\\shadow\\shadow.cod"); }, 1, ""},
        {"no height book", [&] { return heights(100, 100); }, 0, "codebookH[] not allocated yet"},
        {"other books", [&] { return LoadCodebookH("raster\\hts\\hts_4096.cod") &&
                                      LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"); }, 1, ""},
        {"grid", [&] { FailTerrainAllocation(1); return heights(100, 100); }, 0, "Cannot allocate dataBits[]"},
        {"decoded rows", [&] { FailTerrainAllocation(3); return heights(100, 100); }, 0, "Cannot allocate data[]"},
        {"base heights", [&] { FailTerrainAllocation(4); return heights(100, 100); }, 0, "Cannot allocate row[]"},
        {"colour grid", [&] { FailTerrainAllocation(1); return imagery(100, 100); }, 0, "Cannot allocate dataBits[]"},
        {"colour rows", [&] { FailTerrainAllocation(2); return imagery(100, 100); }, 0, "Cannot allocate data[]"},
        {"coarse row", [&] { FailTerrainAllocation(3); return imagery(100, 100); }, 0, "Cannot allocate row[]"},
        {"heights file", [&] { return ExtractTerrainHeights(w, unwritable.c_str(), sha.c_str(), 100, 100); }, 0,
         "Cannot open file " + unwritable},
        {"shades file", [&] { return ExtractTerrainHeights(w, hts.c_str(), unwritable.c_str(), 100, 100); }, 0,
         "Cannot open file " + unwritable},
        {"imagery file", [&] { return ExtractTerrainImagery(w, unwritable.c_str(), 100, 100); }, 0,
         "Cannot open file " + unwritable},
        {"names file", [&] { return ExtractTerrainNames(w, unwritable.c_str(), sha.c_str(), 100); }, 0,
         "Cannot open file " + unwritable},
        {"no imagery for details", [&] { return DrawTerrainDetails(100); }, 0, "Cannot open file " + rgb},
        {"imagery", [&] { return imagery(100, 100); }, 1, ""},
        {"details picture", [&] { FailTerrainAllocation(1); return DrawTerrainDetails(100); }, 0, "Cannot allocate bmpData[]"},
        {"details surface", [&] { FailTerrainAllocation(2); return DrawTerrainDetails(100); }, 0, "CreateDIBitmap() == NULL"},
        {"details file", [&] { return DrawTerrainDetails(100); }, 1, ""},
    };
    for (const Step& s : steps) {
        TestClearShown();
        EXPECT_EQ(s.run(), s.result) << s.what;
        if (s.message.empty()) EXPECT_TRUE(TestShownMessages().empty()) << s.what << ": " << TestLastMessage();
        else EXPECT_EQ(ShownTexts(), std::vector<std::string>{s.message}) << s.what;
    }
    // A failed step leaves nothing: the heights file of the failed shades is gone too.
    EXPECT_FALSE(FileExists(hts.c_str()));
    EXPECT_FALSE(FileExists(sha.c_str()));
    EXPECT_EQ(GetCursorShape(), cursorBefore);  // the wait cursor went on every exit
}

TEST_F(ExtractionTest, ExtractionSetWithAMissingCodebookLoadsNothingAndWritesNoGrid) {
    TempFolder volume;
    snprintf(dataRoot, sizeof dataRoot, "%s", volume.path.c_str());
    std::vector<uint8_t> shade = ReadTestFile(VolumeFolder() + "/raster/shadow/shadow.cod");
    ASSERT_TRUE(WriteTestFile(volume / "raster/shadow/shadow.cod", shade));
    ASSERT_TRUE(WriteTestFile(volume / "raster/rgb/rg_2048.cod", ReadTestFile(VolumeFolder() + "/raster/rgb/rg_2048.cod")));
    ASSERT_TRUE(WriteTestFile(volume / "raster/rgb/b_1024.cod", ReadTestFile(VolumeFolder() + "/raster/rgb/b_1024.cod")));
    EXPECT_EQ(ExtractTerrainSet(MapWindow{10, 12, 40, 42}, 0), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file raster\\hts\\hts_4096.cod"});
    EXPECT_EQ(codebook, nullptr);
    EXPECT_EQ(codebookRGB, nullptr);
    EXPECT_FALSE(FileExists(TerrainSetPath(100, "hts").c_str()));
    EXPECT_EQ(ReadTestFile(ResolvePath(ClipFilePath().c_str())).size(), (size_t)kClipFileSize);
}

TEST_F(ExtractionTest, ExtractionOfDetailsWithoutClipFileUsesTheGivenArea) {
    MapWindow area{178.5, 181.5, 40.5, 43.5};
    ASSERT_EQ(ExtractTerrainSet(area, 1), 1);
    EXPECT_FALSE(FileExists(ClipFilePath().c_str()));
    EXPECT_EQ(Heights(SetFile(350, "hts")), ReferenceExtraction(area, 350).heights);
    EXPECT_EQ(SetFile(350, "vec").size(), (size_t)350 * 350 * 3);
    EXPECT_FALSE(FileExists(TerrainSetPath(100, "hts").c_str()));
    EXPECT_EQ(zoomDepth, 0);
}

}  // namespace
