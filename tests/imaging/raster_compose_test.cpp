// Raster map composition on tiny volumes written here: layer choice by scale, nearest-sample
// mapping with the unscrambled coarse rows, height colouring with shade and the observed
// range clamps, the size limit, the black map without a theme entry, and the screen cache.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/app.h"
#include "imaging/panel_buttons.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

uint16_t ColourSample(int c, int r) { return Pack565((c * 7) & 255, (r * 3) & 255, ((c + r) * 5) & 255); }
int16_t HeightSample(int c, int r) { return (int16_t)(c + r - 500); }

std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    return texts;
}

// A coarse tile whose samples follow f, stored scrambled as the volume keeps them.
std::vector<uint8_t> CoarseTile(uint16_t (*f)(int, int)) {
    std::vector<uint8_t> bytes((size_t)kCoarseFileSize);
    uint16_t row[kCoarseSamples];
    for (int r = 0; r < kCoarseSamples; r++) {
        for (int c = 0; c < kCoarseSamples; c++) row[c] = f(c, r);
        UnscrambleCoarseRow(r, row);
        for (int c = 0; c < kCoarseSamples; c++) PokeU16LE(&bytes[(size_t)r * kCoarseRowBytes + 2 * c], row[c]);
    }
    return bytes;
}

struct ComposeTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        strcpy(dataRoot, folder.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s\\tmp", dataRoot);
        MakeDirectories(tempDir);
        ReadScaleList();  // none here: an earlier test's list must not choose the ramp
        ResetMapComposition();
        screenWidth = 800;
        smallLayout = 0;
        options.monitorInches = 14;
        hbmVirtual = CreateSurface(800, 600);
        mapRect = Rect{16, 39, 681, 538};
        screenMode = 1;  // no progress panel for these tests
        ResetZoomHistory();
        mapBackground = 0;
        fixedElevationRange = 1;
        fixedElevation = ElevationRange{-392, 8848};
        TestClearShown();
        WriteTestText(folder / "theme1.dat", "[Raster2D=0 0  000000001 999999999\n");
    }
    void TearDown() override {
        DeleteSurface(hbmVirtual);
        hbmVirtual = nullptr;
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
    }
    void Window(double w, double e, double s, double n) {
        zoomHistory[1] = MapWindow{w, e, s, n};
        zoomDepth = 1;
    }
    uint32_t Pixel(int x, int y) { return SurfacePixels(hbmVirtual)[(size_t)(mapRect.top + y) * 800 + mapRect.left + x] & 0xFFFFFF; }
    // The sample a map pixel shows in the tile whose north-west corner is (-180, 90).
    static int Column(int x, double w, double e) { return (int)(x / 665.0 * ((e - w) / 60 * 1670) + (w + 180) / 60 * 1670); }
    static int Row(int y, double s, double n) { return (int)(y / 499.0 * ((n - s) / 60 * 1670) + (90 - n) / 60 * 1670); }
};

TEST_F(ComposeTest, CoarseColourIsTheUnscrambledNearestSample) {
    ASSERT_TRUE(WriteTestFile(folder / "raster/rgb/4k/4W180N90.16e", CoarseTile(ColourSample)));
    Window(-180, -140, 50, 80);
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(lastComposeSource, kSourceCoarse);
    int checked = 0, scrambledColumns = 0;
    for (int y = 0; y < 499; y += 7)
        for (int x = 0; x < 665; x += 3) {
            int c = Column(x, -180, -140), r = Row(y, 50, 80);
            uint8_t red, green, blue;
            Expand565(ColourSample(c, r), &red, &green, &blue);
            ASSERT_EQ(Pixel(x, y), (uint32_t)(red << 16 | green << 8 | blue)) << x << "," << y;
            checked++;
            scrambledColumns += c % 100 == r % 100;
        }
    EXPECT_GT(scrambledColumns, 0);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(ComposeTest, PartlyOutsideEveryTileStaysBlackAndTheCacheServesTheReturn) {
    ASSERT_TRUE(WriteTestFile(folder / "raster/rgb/4k/4W180N90.16e", CoarseTile(ColourSample)));
    // Half of this window lies in the missing tile east of -120.
    Window(-160, -105, 40, 85);
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_NE(Pixel(10, 10), 0u);
    EXPECT_EQ(Pixel(600, 10), 0u);
    std::vector<uint8_t> cache = ReadTestFile(folder / "tmp/screen01.tmp");
    ASSERT_EQ(cache.size(), (size_t)668 * 3 * 499 + 32);
    // Row 0 starts with the top-left pixel, blue first.
    uint32_t first = Pixel(0, 0);
    EXPECT_EQ(cache[0], first & 255);
    EXPECT_EQ(cache[2], first >> 16);
    // Without the tile, the depth's cache alone reproduces the image.
    uint32_t before = Pixel(100, 200);
    RemoveFile((folder / "raster/rgb/4k/4W180N90.16e").c_str());
    FillRect(hbmVirtual, mapRect, MakeColour(9, 9, 9));
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(lastComposeSource, kSourceCache);
    EXPECT_EQ(Pixel(100, 200), before);
    // Discarding it forces a composition from the (now missing) tiles: black.
    DiscardScreenCache(1);
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(lastComposeSource, kSourceCoarse);
    EXPECT_EQ(Pixel(100, 200), 0u);
}

TEST_F(ComposeTest, NoThemeEntryTurnsTheMapBlackAndSucceeds) {
    WriteTestText(folder / "theme1.dat", "[Raster2D=0 0  000000001 000000100\n");
    FillRect(hbmVirtual, mapRect, MakeColour(200, 10, 10));
    EXPECT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(lastComposeSource, kSourceBlack);
    EXPECT_EQ(Pixel(300, 300), 0u);
    EXPECT_FALSE(FileExists((folder / "tmp/screen00.tmp").c_str()));
}

TEST_F(ComposeTest, ScreenSizeLimit) {
    std::vector<uint8_t> rows;
    int source;
    ComposeRequest q{-180, 180, -90, 90, 1281, 400, 0, 1, 0};
    EXPECT_EQ(ComposeRaster(q, &rows, &source), 0);
    EXPECT_EQ(TestLastMessage(), "Screen size too large");
    TestClearShown();
    q.width = 1277;  // rounds to 1280
    EXPECT_EQ(ComposeRaster(q, &rows, &source), 1);
    EXPECT_EQ(rows.size(), (size_t)1280 * 3 * 400);
    q.width = 600;
    q.height = 1025;
    EXPECT_EQ(ComposeRaster(q, &rows, &source), 0);
}

// A scale whose colour k is (k mod 256, k / 40 mod 256, 77).
std::vector<uint8_t> TestScale() {
    std::vector<uint8_t> bytes(8 + 3 * 10000);
    for (int k = 0; k < 10000; k++) {
        bytes[8 + 3 * k] = (uint8_t)(k % 256);
        bytes[9 + 3 * k] = (uint8_t)(k / 40 % 256);
        bytes[10 + 3 * k] = 77;
    }
    return bytes;
}

TEST_F(ComposeTest, HeightsColouredThroughTheRampAndDarkenedByTheShade) {
    WriteTestFile(folder / "scales/ian1.sca", TestScale());
    WriteTestFile(folder / "raster/hts/4k/4W180N90.HLE", CoarseTile([](int c, int r) { return (uint16_t)HeightSample(c, r); }));
    // shadow.8: shade 160 in the north-west quarter of the world, 0 (sea) elsewhere.
    std::vector<uint8_t> shade((size_t)kShade8Width * kShade8Height, 0);
    for (int r = 0; r < kShade8Height / 2; r++)
        for (int c = 0; c < kShade8Width / 2; c++) shade[(size_t)r * kShade8Width + c] = 160;
    WriteTestFile(folder / "raster/shadow/shadow.8", shade);
    Window(-180, -120, 40, 85);
    for (int background : {2, 4}) {
        mapBackground = background;
        DiscardAllScreenCaches();
        ASSERT_EQ(ComposeMapBackground(), 1);
        EXPECT_EQ(lastComposeSource, kSourceCoarse);
        for (int y = 0; y < 499; y += 41)
            for (int x = 0; x < 665; x += 37) {
                int h = HeightSample(Column(x, -180, -120), Row(y, 40, 85));
                int index = (int)((h + 392) / 9240.0 * 256);
                index = index < 0 ? 0 : index > 255 ? 255 : index;
                int k = (int)(index / 256.0 * 10000);
                int red = k % 256, green = k / 40 % 256, blue = 77;
                if (background == 2) {
                    double f = 160 / 256.0 * 1.6;
                    red = std::min(255, (int)(red * f)), green = std::min(255, (int)(green * f)), blue = std::min(255, (int)(blue * f));
                }
                ASSERT_EQ(Pixel(x, y), (uint32_t)(red << 16 | green << 8 | blue)) << x << "," << y << " bg " << background;
            }
    }
    // The observed range: the lowest height in the window is at column 0, row 139.
    EXPECT_EQ(observedElevation.minimum, 0 + Row(0, 40, 85) - 500);
    EXPECT_GT(observedElevation.maximum, 0);
    // The cache keeps both ranges.
    std::vector<uint8_t> cache = ReadTestFile(folder / "tmp/screen01.tmp");
    ASSERT_EQ(cache.size(), (size_t)668 * 3 * 499 + 32);
    ByteCursor c = MakeCursor(cache.data() + cache.size() - 32, 32);
    for (double v : {observedElevation.minimum, observedElevation.maximum, -392.0, 8848.0}) EXPECT_EQ(ReadF64LE(c), v);
}

TEST_F(ComposeTest, ObservedRangeRules) {
    WriteTestFile(folder / "scales/ian1.sca", TestScale());
    std::vector<uint8_t> shade((size_t)kShade8Width * kShade8Height, 200);
    WriteTestFile(folder / "raster/shadow/shadow.8", shade);
    struct Case { int16_t low, high; double min, max; } cases[] = {
        {-5, 300, 0, 300}, {100, 100, 100, 101}, {-1000, 9500, -392, 8848}, {1200, 1200, 1200, 1201},
    };
    mapBackground = 4;
    for (const Case& k : cases) {
        static int16_t low, high;
        low = k.low, high = k.high;
        WriteTestFile(folder / "raster/hts/4k/4W180N90.HLE",
                      CoarseTile([](int c, int r) { return (uint16_t)(c < 800 ? low : high); }));
        DiscardAllScreenCaches();
        Window(-180, -120, 40, 85);
        ASSERT_EQ(ComposeMapBackground(), 1);
        EXPECT_EQ(observedElevation.minimum, k.min) << k.low << ".." << k.high;
        EXPECT_EQ(observedElevation.maximum, k.max) << k.low << ".." << k.high;
    }
    // No height read at all: the fixed range.
    RemoveFile((folder / "raster/hts/4k/4W180N90.HLE").c_str());
    DiscardAllScreenCaches();
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(observedElevation.minimum, -392);
    EXPECT_EQ(observedElevation.maximum, 8848);
}

// A scale that cannot be read leaves the ramp as the last good scale made it; before any
// scale loaded, heights show as a grey wedge rather than black.
TEST_F(ComposeTest, UnreadableScaleKeepsThePreviousRamp) {
    WriteTestFile(folder / "raster/shadow/shadow.8", std::vector<uint8_t>((size_t)kShade8Width * kShade8Height, 200));
    WriteTestFile(folder / "raster/hts/4k/4W180N90.HLE", CoarseTile([](int c, int r) { return (uint16_t)HeightSample(c, r); }));
    mapBackground = 4;
    Window(-180, -120, 40, 85);
    auto snapshot = [&] {
        std::vector<uint32_t> p;
        for (int y = 0; y < 499; y += 13)
            for (int x = 0; x < 665; x += 11) p.push_back(Pixel(x, y));
        return p;
    };
    std::string ian1 = std::string(dataRoot) + "\\scales\\ian1.sca";

    // No scale yet: the grey wedge, brighter for higher ground, and the message once.
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file " + ian1});
    uint32_t low = Pixel(332, 249), high = Pixel(664, 498);  // heights rise to the south-east
    EXPECT_EQ(low & 255, (low >> 8) & 255);
    EXPECT_EQ(low & 255, low >> 16);
    EXPECT_GT(high & 255, low & 255);
    EXPECT_NE(low, 0u);

    // A good scale colours the heights.
    WriteTestFile(folder / "scales/ian1.sca", TestScale());
    TestClearShown();
    DiscardAllScreenCaches();
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    std::vector<uint32_t> coloured = snapshot();
    EXPECT_EQ(coloured[0] & 255, 77u);  // blue 77 is the test scale's mark

    // "scales.dat" names a scale that is not there: message, same colours as before.
    WriteTestText(folder / "scales.dat", "1 <nosuch.sca>\n");
    ASSERT_EQ(ReadScaleList(), 1);
    TestClearShown();
    DiscardAllScreenCaches();
    FillRect(hbmVirtual, mapRect, MakeColour(1, 2, 3));
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file " + std::string(dataRoot) + "\\scales\\nosuch.sca"});
    EXPECT_EQ(snapshot(), coloured);

    // A scale cut short is no better than a missing one.
    std::vector<uint8_t> cut = TestScale();
    cut.resize(8 + 3 * 5000);
    WriteTestFile(folder / "scales/nosuch.sca", cut);
    DiscardAllScreenCaches();
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(snapshot(), coloured);
    WriteTestText(folder / "scales.dat", "");
    ReadScaleList();
}

TEST_F(ComposeTest, SilhouetteAndShadeOfTheWholeWorldFromTheOverview) {
    std::vector<uint8_t> top((size_t)kTopWidth * kTopHeight, 0);
    for (int r = 0; r < kTopHeight; r++)
        for (int c = 0; c < kTopWidth; c++) top[(size_t)r * kTopWidth + c] = c < 400 ? 0 : 90;
    WriteTestFile(folder / "raster/shadow/shadow.top", top);
    zoomDepth = 0;
    mapBackground = 3;
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(lastComposeSource, kSourceOverview);
    EXPECT_EQ(Pixel(100, 249), 0u);          // western half: shade 0
    EXPECT_EQ(Pixel(500, 249), 0x404040u);   // eastern half: land
    EXPECT_EQ(Pixel(500, 10), 0u);           // beyond 90 degrees north
    mapBackground = 1;
    DiscardAllScreenCaches();
    ASSERT_EQ(ComposeMapBackground(), 1);
    EXPECT_EQ(Pixel(500, 249), 0x5A5A5Au);
}

}  // namespace

namespace {

// A fine colour tile at (0 E, 54 N) whose blocks alternate red 0 and 200 by block column,
// green 100 everywhere, over no coarse tile (a black base).
void WriteFineColourVolume(const TempFolder& folder) {
    std::vector<uint8_t> rg(2048 * 16 * 2), b(1024 * 16 * 2, 0);
    for (int i = 0; i < 2048; i++)
        for (int k = 0; k < 16; k++) PokeU16LE(&rg[(size_t)(i * 16 + k) * 2], (uint16_t)(i == 1 ? 200 : i == 2 ? 100 : 0));
    WriteTestFile(folder / "raster/rgb/rg_2048.cod", rg);
    WriteTestFile(folder / "raster/rgb/b_1024.cod", b);
    std::vector<uint8_t> tile((size_t)kCvqFileSize);
    for (int k = 0; k < kFineBlocks; k++)
        for (int j = 0; j < kFineBlocks; j++) PokeU32LE(&tile[(size_t)k * kCvqRowBytes + 4 * j], PackCvqRecord(j % 2, 2, 0));
    WriteTestFile(folder / "raster/rgb/54N/000E54N.cvq", tile);
}

TEST_F(ComposeTest, FineColourIsResidualOverTheBaseAndSmoothingFillsBetweenChanges) {
    WriteFineColourVolume(folder);
    Window(1.0, 1.5, 50.0, 50.375);  // about 12 pixels a sample
    struct Case { const char* smoothing; int between, redOnly; } cases[] = {{"0 ", 0, 0}, {"1 ", 1, 0}, {"-1", 1, 1}};
    for (const Case& c : cases) {
        WriteTestText(folder / "theme1.dat", std::string("[Raster2D=0 ") + c.smoothing + " 000000001 999999999\n");
        DiscardAllScreenCaches();
        ASSERT_EQ(ComposeMapBackground(), 1);
        EXPECT_EQ(lastComposeSource, kSourceFine);
        int between = 0, redOnly = 0, nearestWrong = 0;
        for (int x = 0; x < 665; x++) {
            uint32_t p = Pixel(x, 250);
            int red = p >> 16, green = (p >> 8) & 255;
            between += red > 0 && red < 200;
            redOnly += green == 0;
            int column = (int)(x / 665.0 * (0.5 / 12 * 1336) + 1.0 / 12 * 1336);
            nearestWrong += p != (uint32_t)((column / 4 % 2 ? 200 : 0) << 16 | 100 << 8);
        }
        EXPECT_EQ(between > 0, c.between) << c.smoothing;
        EXPECT_EQ(redOnly > 0, c.redOnly) << c.smoothing;
        if (!c.between) { EXPECT_EQ(nearestWrong, 0); }
    }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

// A composition that fails keeps the picture the user had and writes no cache from the attempt.
TEST_F(ComposeTest, FailedCompositionKeepsThePreviousPicture) {
    WriteFineColourVolume(folder);
    Window(1.0, 1.5, 50.0, 50.375);
    ASSERT_EQ(ComposeMapBackground(), 1);
    ASSERT_EQ(lastComposeSource, kSourceFine);
    std::vector<uint32_t> before(SurfacePixels(hbmVirtual), SurfacePixels(hbmVirtual) + 800 * 600);
    struct Damage { const char* what; std::function<void()> apply; const char* book = "rg_2048.cod"; } damages[] = {
        {"missing", [&] { RemoveFile((folder / "raster/rgb/rg_2048.cod").c_str()); }},
        {"cut short", [&] { WriteTestFile(folder / "raster/rgb/rg_2048.cod", std::vector<uint8_t>(100, 1)); }},
        {"blue book missing", [&] { WriteFineColourVolume(folder); RemoveFile((folder / "raster/rgb/b_1024.cod").c_str()); },
         "b_1024.cod"},
    };
    for (const Damage& d : damages) {
        d.apply();
        TestClearShown();
        // Zoom in one step: a window that needs the fine tiles again.
        zoomHistory[2] = MapWindow{1.1, 1.35, 50.1, 50.29};
        zoomDepth = 2;
        EXPECT_EQ(ComposeMapBackground(), 0) << d.what;
        ASSERT_EQ(TestShownMessages().size(), 1u) << d.what << ": " << TestLastMessage();
        EXPECT_NE(TestLastMessage().find(d.book), std::string::npos) << TestLastMessage();
        EXPECT_TRUE(std::equal(before.begin(), before.end(), SurfacePixels(hbmVirtual))) << d.what;
        EXPECT_FALSE(FileExists((folder / "tmp/screen02.tmp").c_str())) << d.what;
        EXPECT_EQ(codebookRGB, nullptr);
        // The view is the one the kept picture shows, so what is drawn over it fits.
        EXPECT_EQ(zoomDepth, 1) << d.what;
    }
    // A pan at the same depth that fails puts the window back as well; so does a change of
    // background that cannot be composed.
    zoomHistory[1] = MapWindow{1.2, 1.7, 50.0, 50.375};
    mapBackground = 2;
    DiscardAllScreenCaches();  // as a change of view or background does
    EXPECT_EQ(ComposeMapBackground(), 0);
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_EQ(CurrentMapWindow().west, 1.0);
    EXPECT_EQ(CurrentMapWindow().east, 1.5);
    EXPECT_EQ(mapBackground, 0);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), SurfacePixels(hbmVirtual)));
}

}  // namespace
