// Cutting the flyby's window from a tiny volume: heights and imagery against a naive decoding
// of the tiles, palette indices against a nearest-colour search, vegetation classes against
// the raster and each clearing rule, the name records field by field, the open sea, every
// message, and the in-flight cut on its worker thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "core/core.h"
#include "flyby/flyby.h"
#include "flyby/flyby_internal.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "names/names.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "support/vector_layer_files.h"
#include "terrain/extraction_volume.h"

namespace {

constexpr size_t kCells = (size_t)kFlybyGrid * kFlybyGrid;

// Over the 108 E 42 N fine tile and, south of 30 N, a tile with base values only.
constexpr double kLongitude = 114.0, kLatitude = 32.0;
float KmX(double longitude) { return (float)((longitude + 180.0) / 360.0 * 40080.0); }
float KmY(double latitude) { return (float)((90.0 - latitude) / 180.0 * 20040.0); }

int RasterClass(int row, int column) { return (row * 3 + column * 5) % 11; }

// A palette of a 6 x 7 x 6 cube and four greys: every rule has colours on both sides.
std::vector<uint8_t> PaletteBytes() {
    std::vector<uint8_t> bytes;
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 7; g++)
            for (int b = 0; b < 6; b++) {
                bytes.push_back((uint8_t)(r * 51));
                bytes.push_back((uint8_t)(g * 42));
                bytes.push_back((uint8_t)(b * 51));
            }
    for (int grey : {64, 128, 181, 230}) bytes.insert(bytes.end(), {(uint8_t)grey, (uint8_t)grey, (uint8_t)grey});
    return bytes;
}

PlaceRecord Place(float lat, float lon, const char* name, uint8_t flags) {
    PlaceRecord p;
    p.lat = lat, p.lon = lon, p.name = name, p.cls = 3, p.flags = flags;
    return p;
}

struct FlybyWindowTest : ::testing::Test {
    TempFolder volume, temp;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        const std::string& tiles = extraction_test::VolumeFolder();
        MakeDirectories((volume.path + "/raster").c_str());
        for (const char* folder : {"hts", "rgb"})
            ASSERT_EQ(symlink((tiles + "/raster/" + folder).c_str(), (volume.path + "/raster/" + folder).c_str()), 0);
        WriteTestFile(volume / "Textures/PrePals.pal", PaletteBytes());
        std::vector<uint8_t> raster(2160 * 1080);
        for (int r = 0; r < 1080; r++)
            for (int c = 0; c < 2160; c++) raster[(size_t)r * 2160 + c] = (uint8_t)RasterClass(r, c);
        WriteTestFile(volume / "raster/owe14d.img", raster);
        std::vector<PlaceRecord> places = {Place(32.5f, 114.5f, "Inside", 0), Place(32.6f, 114.6f, "Kept off", 1),
                                           Place(35.0f, 114.0f, "North of it", 0), Place(29.8f, 111.8f, "South West", 16)};
        WriteTestFile(volume / "names/pplace2.dat", EncodePlaceFile(places));
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", volume.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s", temp.path.c_str());
        screenMode = 1;  // no progress panel
        ForgetFlybyPalette();
        flybyArt.loaded = 0;  // the palette comes from this volume's file
        flybyGrids = FlybyGrids{};
        flyby = FlybyFlight{};
        TestClearShown();
    }
    void TearDown() override {
        StopFlybyPreparation();
        if (codebookH) ReleaseCodebookH();
        if (codebookRGB) ReleaseCodebookRGB();
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
        ForgetFlybyPalette();
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
        return texts;
    }
    // The messages other than the missing rivers (the tiny volume has no vector layers).
    std::vector<std::string> MessagesBesideRivers() {
        std::vector<std::string> texts;
        for (const std::string& t : Messages())
            if (t.find("v_data") == std::string::npos) texts.push_back(t);
        return texts;
    }
    void FlyTo(double longitude, double latitude) {
        flyby.x = KmX(longitude);
        flyby.y = KmY(latitude);
    }
};

// The nearest palette entry of the middle of a 5-bit colour cell, searched one by one.
int NearestEntry(const std::vector<uint8_t>& pal, int red, int green, int blue) {
    int r = (red >> 3) * 8 + 4, g = (green >> 3) * 8 + 4, b = (blue >> 3) * 8 + 4, best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; i++) {
        long d = (long)(r - pal[3 * i]) * (r - pal[3 * i]) + (long)(g - pal[3 * i + 1]) * (g - pal[3 * i + 1]) +
                 (long)(b - pal[3 * i + 2]) * (b - pal[3 * i + 2]);
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

TEST_F(FlybyWindowTest, HeightsImageryAndIndicesMatchANaiveDecoding) {
    // The flyby needs no shades, so south of 30 N it reads a height tile that lacks its shade
    // file, where a terrain set keeps 0; the comparison covers the cells the two share. The
    // second window holds heights below sea level, which the flyby sees as the sea's surface.
    size_t heightMismatches = 0, colourMismatches = 0, indexMismatches = 0, heightOnly = 0, belowSea = 0;
    std::vector<uint8_t> pal = PaletteBytes();
    for (auto [longitude, latitude] : {std::pair{kLongitude, kLatitude}, std::pair{112.5, 38.5}}) {
        FlyTo(longitude, latitude);
        ASSERT_EQ(PrepareFlybyWindow(1), 1);
        EXPECT_EQ(MessagesBesideRivers(), std::vector<std::string>{});
        MapWindow w = FlybyWindowDegrees(flyby.x, flyby.y);
        extraction_test::ReferenceGrids ref = extraction_test::ReferenceExtraction(w, kFlybyGrid);
        ASSERT_EQ(flybyGrids.heights.size(), kCells);
        float lowest = flybyGrids.lowestHeight;
        double cellDegrees = (w.north - w.south) / kFlybyGrid;
        size_t zeros = 0;
        for (size_t i = 0; i < kCells; i++) {
            float h = flybyGrids.heights[i] + lowest;
            // The row on 30 N takes the southern tile's first row, which only the flyby reads.
            int onTheSeam = std::fabs(w.north - (double)(i / kFlybyGrid) * cellDegrees - 30.0) < cellDegrees;
            float expected = std::max<int16_t>(ref.heights[i], 0) / 500.0f;
            if (ref.heights[i] != 0 && !onTheSeam) heightMismatches += std::fabs(h - expected) > 1e-4f;
            else heightOnly += h != 0.0f;
            belowSea += ref.heights[i] < 0 && !onTheSeam;
            zeros += flybyGrids.heights[i] == 0.0f;
            lowest = std::min(lowest, h);
            const uint8_t* bgr = &flybyGrids.imagery[3 * i];
            colourMismatches += bgr[0] != ref.rgb[3 * i + 2] || bgr[1] != ref.rgb[3 * i + 1] || bgr[2] != ref.rgb[3 * i];
            if (i % 97 == 0) indexMismatches += flybyGrids.colours[i] != NearestEntry(pal, bgr[2], bgr[1], bgr[0]);
        }
        EXPECT_EQ(lowest, flybyGrids.lowestHeight);  // nothing lay below what was subtracted
        EXPECT_GE(zeros, 1u);                        // the lowest cell is 0
        // The window: the aircraft +- 256 km.
        EXPECT_EQ(flybyGrids.west, flyby.x - 256);
        EXPECT_EQ(flybyGrids.east, flyby.x + 256);
        EXPECT_EQ(flybyGrids.north, flyby.y - 256);
        EXPECT_EQ(flybyGrids.south, flyby.y + 256);
        EXPECT_EQ(flybyGrids.prepared, 1);
    }
    EXPECT_EQ(heightMismatches, 0u);
    EXPECT_GT(heightOnly, 10000u);
    EXPECT_GT(belowSea, 1000u);
    EXPECT_EQ(colourMismatches, 0u);
    EXPECT_EQ(indexMismatches, 0u);
}

TEST_F(FlybyWindowTest, RiversAreDrawnOverTheImageryAndTheKeysStayWaiting) {
    // Each of the three river layers: a line along 32.5 N from 112 to 116 E, one record a cell.
    const char* layers[] = {"RIV01", "RIV03", "RIV04"};
    for (int k = 0; k < 3; k++) {
        std::vector<VectorCellRecord> records;
        for (int west = 112; west < 116; west++) {
            VectorCellRecord r;
            r.cell = VectorCellNumber(32, west);
            r.points = {{0, (int16_t)(5000 + 10 * k)}, {10000, (int16_t)(5000 + 10 * k)}};
            r.record = {10000, 2, 5000, 5000};
            records.push_back(r);
        }
        ASSERT_TRUE(WriteTestVectorLayer(volume.path, layers[k], records));
    }
    FlushMessages(0, 0xFFFFFFFF);
    TestInjectKey(VK_UP);
    TestInjectKey(VK_ESCAPE);
    drawAborted = 0;
    FlyTo(kLongitude, kLatitude);
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    MapWindow w = FlybyWindowDegrees(flyby.x, flyby.y);
    int row = (int)(kFlybyGrid * (w.north - 32.5) / (w.north - w.south));
    int first = (int)(kFlybyGrid * (112.2 - w.west) / (w.east - w.west));
    int last = (int)(kFlybyGrid * (115.8 - w.west) / (w.east - w.west));
    int drawn = 0, cleared = 0;
    for (int c = first; c <= last; c++)
        for (int r = row - 1; r <= row + 1; r++) {
            size_t at = (size_t)r * kFlybyGrid + c;
            const uint8_t* bgr = &flybyGrids.imagery[3 * at];
            if (bgr[0] == 255 && bgr[1] == 0 && bgr[2] == 0) {
                drawn++;
                cleared += flybyGrids.classes[at] == 0;  // water carries no trees
                break;
            }
        }
    EXPECT_GE(drawn, (last - first + 1) * 95 / 100);
    EXPECT_EQ(cleared, drawn);
    // The drawing looked for Escape among the waiting keys; they are all still there, in order.
    EXPECT_EQ(drawAborted, 0);
    std::vector<uint64_t> keys;
    Message m;
    while (PeekMessageInRange(&m, MSG_KEYDOWN, MSG_KEYDOWN, 1)) keys.push_back(m.wParam);
    EXPECT_EQ(keys, (std::vector<uint64_t>{VK_UP, VK_ESCAPE}));
    FlushMessages(0, 0xFFFFFFFF);
}

TEST_F(FlybyWindowTest, ClassesComeFromTheRasterAndAreClearedByTheRules) {
    FlyTo(kLongitude, kLatitude);
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    std::vector<uint8_t> pal = PaletteBytes();
    size_t mismatches = 0, kept = 0;
    for (int i = 0; i < kFlybyGrid; i++) {
        int row = std::clamp((int)(i / 512.0 * 27.592814371257482 + (flyby.y - 256.0) / 20040.0 * 1080), 0, 1079);
        for (int j = 0; j < kFlybyGrid; j++) {
            int column = std::clamp((int)(j / 512.0 * 27.592814371257482 + (flyby.x - 256.0) / 40080.0 * 2160), 0, 2159);
            size_t at = (size_t)i * kFlybyGrid + j;
            const uint8_t* p = &pal[3 * flybyGrids.colours[at]];
            float h = flybyGrids.heights[at];
            int cleared = h < 1.0f || (p[2] > p[0] && p[2] > p[1]) || (p[0] >= 181 && p[2] >= 181) ||
                          (j > 0 && std::fabs(h - flybyGrids.heights[at - 1]) > 0.3f);
            int expected = cleared ? 0 : RasterClass(row, column);
            mismatches += flybyGrids.classes[at] != expected;
            kept += expected != 0;
        }
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_GT(kept, 1000u);  // the rules leave some trees standing on this ground
    // One read per distinct raster row the window meets, also where the rows clamp at the edges.
    struct Case {
        float y;
        int rows;
    } cases[] = {{flyby.y, 28}, {256, 28}, {19784, 28}, {19900, 22}, {100, 20}};
    for (const Case& c : cases) {
        std::vector<uint8_t> classes;
        int distinct = 1;
        for (int i = 1; i < kFlybyGrid; i++) distinct += FlybyClassRow(i, c.y) != FlybyClassRow(i - 1, c.y);
        EXPECT_EQ(ReadFlybyClasses(&classes, flyby.x, c.y), distinct) << c.y;
        EXPECT_NEAR(distinct, c.rows, 1) << c.y;
        // The edge rows clamp to the raster's first and last.
        EXPECT_EQ(classes[0], RasterClass(FlybyClassRow(0, c.y), FlybyClassColumn(0, flyby.x)));
        EXPECT_EQ(classes[kCells - 1], RasterClass(FlybyClassRow(511, c.y), FlybyClassColumn(511, flyby.x)));
    }
}

TEST_F(FlybyWindowTest, EachClearingRuleOnBothSidesOfItsThreshold) {
    ColourRef palette[256] = {};
    palette[1] = MakeColour(100, 120, 90);   // green land: no rule
    palette[2] = MakeColour(90, 100, 101);   // blue above both
    palette[3] = MakeColour(90, 101, 101);   // blue equal to green: not water
    palette[4] = MakeColour(181, 170, 181);  // snow
    palette[5] = MakeColour(180, 190, 185);  // red just short
    palette[6] = MakeColour(200, 170, 180);  // blue just short
    struct Case {
        const char* what;
        float height, westHeight;
        int colour, column, keeps;
    } cases[] = {
        {"plain ground", 2.0f, 2.0f, 1, 5, 1},
        {"low ground", 0.999f, 0.999f, 1, 5, 0},
        {"exactly 500 m up", 1.0f, 1.0f, 1, 5, 1},
        {"water", 2.0f, 2.0f, 2, 5, 0},
        {"blue equal to green", 2.0f, 2.0f, 3, 5, 1},
        {"snow", 2.0f, 2.0f, 4, 5, 0},
        {"red below 181", 2.0f, 2.0f, 5, 5, 1},
        {"blue below 181", 2.0f, 2.0f, 6, 5, 1},
        {"cliff", 2.0f, 2.31f, 1, 5, 0},
        {"cliff downward", 2.31f, 2.0f, 1, 5, 0},
        {"steep but not a cliff", 2.0f, 2.29f, 1, 5, 1},
        {"first column has no western neighbour", 2.0f, 9.0f, 1, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<float> heights(kCells, 5.0f);
        std::vector<uint8_t> colours(kCells, 1), classes(kCells, 7);
        size_t at = (size_t)100 * kFlybyGrid + c.column;
        heights[at] = c.height;
        colours[at] = (uint8_t)c.colour;
        if (c.column > 0) heights[at - 1] = c.westHeight;
        else heights[at + 1] = c.height;  // the neighbour to the east must not clear it either
        ClearFlybyClasses(&classes, heights, colours, palette);
        EXPECT_EQ(classes[at], c.keeps ? 7 : 0) << c.what;
    }
}

TEST_F(FlybyWindowTest, NameRecordsFieldByField) {
    FlyTo(kLongitude, kLatitude);
    std::string file = TempPath("names.tmp");
    ASSERT_EQ(ExtractFlybyNames(flyby.x, flyby.y, file.c_str()), 1);
    std::vector<uint8_t> bytes = ReadTestFile(ResolvePath(file.c_str()));
    ASSERT_EQ(bytes.size(), 2u * 88);  // "Kept off" has its exclusion bit; one lies outside
    MapWindow w = FlybyWindowDegrees(flyby.x, flyby.y);
    struct Expected {
        const char* name;
        double lat, lon;
    } expected[] = {{"Inside", 32.5f, 114.5f}, {"South West", 29.8f, 111.8f}};
    for (int k = 0; k < 2; k++) {
        const uint8_t* r = bytes.data() + 88 * k;
        EXPECT_STREQ((const char*)r, expected[k].name);
        for (size_t b = strlen(expected[k].name); b < 72; b++) EXPECT_EQ(r[b], 0) << b;
        ByteCursor c = MakeCursor(r + 72, 16);
        double row = ReadF64LE(c), column = ReadF64LE(c);
        EXPECT_DOUBLE_EQ(row, 512 * (1 - (expected[k].lat - w.south) / (w.north - w.south)));
        EXPECT_DOUBLE_EQ(column, 512 * (expected[k].lon - w.west) / (w.east - w.west));
    }
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    ASSERT_EQ(flybyGrids.names.size(), 2u);
    EXPECT_STREQ(flybyGrids.names[0].name, "Inside");
    EXPECT_NEAR(flybyGrids.names[0].row, 512 * (1 - (32.5 - w.south) / (w.north - w.south)), 1e-4);
}

int64_t NoWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

TEST_F(FlybyWindowTest, BannerAndProgressOnlyBeforeTheFlight) {
    ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, NoWindowProc));
    Surface* savedVirtual = hbmVirtual;
    hbmVirtual = CreateSurface(800, 600);
    FillRect(hbmVirtual, Rect{0, 0, 800, 600}, MakeColour(0, 90, 0));
    WriteTestFile(volume / "menu/152.bmp", SolidBmp24(176, 26, 0x202020));
    screenMode = 8;
    smallLayout = 0;
    // The banner's file is missing: the loader says so whenever the banner is wanted.
    struct Case {
        int quiet, running, banner;
    } cases[] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    for (const Case& c : cases) {
        flybyGrids = FlybyGrids{};
        FlyTo(kLongitude, kLatitude);
        flyby.running = c.running;
        Blit(WindowSurface(), 0, 0, 800, 600, hbmVirtual, 0, 0);
        TestClearShown();
        ASSERT_EQ(PrepareFlybyWindow(c.quiet), 1);
        std::vector<std::string> shown = MessagesBesideRivers();
        EXPECT_EQ(std::count(shown.begin(), shown.end(), "Cannot open file menu\\144a.bmp"), c.banner) << c.quiet << c.running;
    }
    // With the banner there, it is shown and its area given back from the off-screen image.
    WriteTestFile(volume / "menu/144a.bmp", SolidBmp24(442, 17, 0xFF0000));
    flyby.running = 0;
    TestClearShown();
    ASSERT_EQ(PrepareFlybyWindow(0), 1);
    EXPECT_EQ(MessagesBesideRivers(), std::vector<std::string>{});
    EXPECT_EQ(GetPixel(WindowSurface(), 300, 455), MakeColour(0, 90, 0));
    DeleteSurface(hbmVirtual);
    hbmVirtual = savedVirtual;
    DestroyMainWindow();
    screenMode = 1;
}

TEST_F(FlybyWindowTest, AtMostThirtyNamesAreLoadedBack) {
    std::vector<uint8_t> bytes;
    for (int k = 0; k < 40; k++) {
        uint8_t name[72] = {};
        snprintf((char*)name, sizeof name, "Place %d", k);
        WriteBytes(bytes, name, sizeof name);
        WriteF64LE(bytes, k + 0.25);
        WriteF64LE(bytes, -k * 2.5);
    }
    WriteTestFile(temp / "names.tmp", bytes);
    std::vector<FlybyName> names;
    ASSERT_EQ(LoadFlybyNames(TempPath("names.tmp").c_str(), &names, kFlybyMaxNames), 1);
    ASSERT_EQ(names.size(), 30u);
    EXPECT_STREQ(names[29].name, "Place 29");
    EXPECT_EQ(names[29].row, 29.25);
    EXPECT_EQ(names[29].column, -72.5);
    EXPECT_EQ(LoadFlybyNames(TempPath("none.tmp").c_str(), &names, kFlybyMaxNames), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + TempPath("none.tmp"));
}

TEST_F(FlybyWindowTest, OpenSeaHasLevelGroundAndNoTrees) {
    FlyTo(-30.0, 0.0);  // no tile of the volume lies there
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    for (size_t i = 0; i < kCells; i++) {
        ASSERT_EQ(flybyGrids.heights[i], 0.0f) << i;
        ASSERT_EQ(flybyGrids.classes[i], 0) << i;
    }
    EXPECT_EQ(flybyGrids.lowestHeight, 0.0f);
}

TEST_F(FlybyWindowTest, EveryFailureShowsItsMessage) {
    struct Case {
        const char* what;
        const char* removed;
        int result;
        const char* message;
    } cases[] = {
        {"colour codebook", "raster/rgb", 0, "Cannot open file raster\\rgb\\rg_2048.cod"},
        {"height codebook", "raster/hts", 0, "Cannot open file raster\\hts\\hts_4096.cod"},
        {"class raster", "raster/owe14d.img", 1, "Cannot open file raster\\owe14d.img"},
        {"gazetteer", "names/pplace2.dat", 1, "Cannot extract airport names"},
        {"palette", "Textures/PrePals.pal", 1, "Cannot open file prepals.pal"},
    };
    for (const Case& c : cases) {
        std::string path = volume / c.removed, aside = path + ".aside";
        ASSERT_EQ(rename(path.c_str(), aside.c_str()), 0) << c.what;
        flybyGrids = FlybyGrids{};
        ForgetFlybyPalette();
        TestClearShown();
        FlyTo(kLongitude, kLatitude);
        EXPECT_EQ(PrepareFlybyWindow(1), c.result) << c.what;
        std::vector<std::string> shown = MessagesBesideRivers();
        EXPECT_EQ(std::count(shown.begin(), shown.end(), c.message), 1) << c.what;
        EXPECT_FALSE(codebookRGB || codebookH) << c.what;  // nothing stays loaded
        EXPECT_EQ(flybyGrids.namesFailed, !strcmp(c.removed, "names/pplace2.dat")) << c.what;
        ASSERT_EQ(rename(aside.c_str(), path.c_str()), 0);
    }
    // Without the colour codebook the grids stay as they were.
    FlyTo(kLongitude, kLatitude);
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    std::vector<float> before = flybyGrids.heights;
    rename((volume / "raster/rgb").c_str(), (volume / "raster/rgb.aside").c_str());
    FlyTo(kLongitude + 1, kLatitude);
    EXPECT_EQ(PrepareFlybyWindow(1), 0);
    EXPECT_EQ(flybyGrids.heights, before);
    rename((volume / "raster/rgb.aside").c_str(), (volume / "raster/rgb").c_str());
}

TEST_F(FlybyWindowTest, InFlightTheWorkerCutsWhatThePreparationCutsAtOnce) {
    FlyTo(kLongitude, kLatitude);
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    FlybyGrids atOnce = flybyGrids;
    FlyTo(kLongitude - 3, kLatitude + 1);
    ASSERT_EQ(PrepareFlybyWindow(1), 1);
    FlybyGrids elsewhere = flybyGrids;

    flyby.running = 1;
    FlyTo(kLongitude, kLatitude);
    EXPECT_EQ(PrepareFlybyWindow(0), 1);  // in flight the at-once cut only runs when needed...
    EXPECT_EQ(flybyGrids.heights, atOnce.heights);
    flybyGrids = elsewhere;
    ASSERT_EQ(StartFlybyPreparation(), 1);
    EXPECT_EQ(StartFlybyPreparation(), 1);  // already under way
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int taken = 0;
    while (!(taken = TakeFlybyPreparation()) && std::chrono::steady_clock::now() < until) {
        EXPECT_EQ(flybyGrids.heights, elsewhere.heights);  // the frames keep the old window meanwhile
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(taken, 1);
    EXPECT_EQ(TakeFlybyPreparation(), 0);
    EXPECT_EQ(flybyGrids.heights, atOnce.heights);
    EXPECT_EQ(flybyGrids.imagery, atOnce.imagery);
    EXPECT_EQ(flybyGrids.colours, atOnce.colours);
    EXPECT_EQ(flybyGrids.classes, atOnce.classes);
    EXPECT_EQ(flybyGrids.west, atOnce.west);
    ASSERT_EQ(flybyGrids.names.size(), atOnce.names.size());
    EXPECT_EQ(MessagesBesideRivers(), std::vector<std::string>{});
    EXPECT_FALSE(codebookRGB || codebookH);

    // The worker says nothing; its failures are shown when the set is taken, and the
    // vegetation stays as it was without the class raster.
    rename((volume / "raster/owe14d.img").c_str(), (volume / "raster/owe14d.aside").c_str());
    rename((volume / "names/pplace2.dat").c_str(), (volume / "names/pplace2.aside").c_str());
    FlyTo(kLongitude - 3, kLatitude + 1);
    ASSERT_EQ(StartFlybyPreparation(), 1);
    until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!(taken = TakeFlybyPreparation()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(taken, 1);
    EXPECT_EQ(MessagesBesideRivers(),
              (std::vector<std::string>{"Cannot open file raster\\owe14d.img", "Cannot extract airport names"}));
    EXPECT_EQ(flybyGrids.heights, elsewhere.heights);
    EXPECT_EQ(flybyGrids.classes, atOnce.classes);
    EXPECT_EQ(flybyGrids.namesFailed, 1);
    EXPECT_TRUE(flybyGrids.names.empty());
    rename((volume / "raster/owe14d.aside").c_str(), (volume / "raster/owe14d.img").c_str());
    rename((volume / "names/pplace2.aside").c_str(), (volume / "names/pplace2.dat").c_str());
}

}  // namespace
