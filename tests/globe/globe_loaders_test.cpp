// Globe loaders: buffers made all or nothing, the lookup table and its failures, shading and
// height layers with their palettes, the imagery BMP by the globe's rules, and the monthly
// overlays with their titles, files and 3 x 3 cells.
#include <algorithm>

#include "globe_test_support.h"

namespace {

// A scale whose colour k spells k: red = k / 256, green = k % 256, blue = 77.
std::vector<uint8_t> CountingScale() {
    std::vector<uint8_t> bytes(8 + 3 * 10000);
    for (int k = 0; k < 10000; k++) {
        bytes[8 + 3 * k] = (uint8_t)(k / 256);
        bytes[9 + 3 * k] = (uint8_t)(k % 256);
        bytes[10 + 3 * k] = 77;
    }
    return bytes;
}
int ScaleIndexOf(ColourRef c) { return ColourRed(c) * 256 + ColourGreen(c); }

// An 8-bit imagery BMP with a 40-byte header, `colours` table entries (colour i = (i, 2i, 3i))
// and pixel i of the file = i % 251.
std::vector<uint8_t> Imagery40(int width, int height, int colours) {
    std::vector<uint8_t> out;
    uint32_t offset = 54 + 4 * (uint32_t)colours;
    WriteU8(out, 'B');
    WriteU8(out, 'M');
    WriteU32LE(out, offset + (uint32_t)(width * height));
    WriteU32LE(out, 0);
    WriteU32LE(out, offset);
    WriteU32LE(out, 40);
    WriteI32LE(out, width);
    WriteI32LE(out, height);
    WriteU16LE(out, 1);
    WriteU16LE(out, 8);
    for (int i = 0; i < 6; i++) WriteU32LE(out, 0);
    for (int i = 0; i < colours; i++) {
        WriteU8(out, (uint8_t)(3 * i));
        WriteU8(out, (uint8_t)(2 * i));
        WriteU8(out, (uint8_t)i);
        WriteU8(out, 0);
    }
    for (int i = 0; i < width * height; i++) WriteU8(out, (uint8_t)(i % 251));
    return out;
}

// The same with the old 12-byte header: 256 three-byte entries.
std::vector<uint8_t> Imagery12(int width, int height) {
    std::vector<uint8_t> out;
    uint32_t offset = 26 + 3 * 256;
    WriteU8(out, 'B');
    WriteU8(out, 'M');
    WriteU32LE(out, offset + (uint32_t)(width * height));
    WriteU32LE(out, 0);
    WriteU32LE(out, offset);
    WriteU32LE(out, 12);
    WriteU16LE(out, (uint16_t)width);
    WriteU16LE(out, (uint16_t)height);
    WriteU16LE(out, 1);
    WriteU16LE(out, 8);
    for (int i = 0; i < 256; i++) {
        WriteU8(out, (uint8_t)(255 - i));
        WriteU8(out, 7);
        WriteU8(out, (uint8_t)i);
    }
    for (int i = 0; i < width * height; i++) WriteU8(out, (uint8_t)(i % 13));
    return out;
}

TEST_F(GlobeTest, BuffersAreMadeAllOrNothing) {
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
    EXPECT_EQ(AllocateGlobeBuffers(0, 499), 0);
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
    EXPECT_EQ(AllocateGlobeBuffers(20000, 10), 0);  // no surface that wide
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Cannot allocate bmpDataBits[]", "Cannot create DI bitmap"}));
    TestClearShown();

    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    const GlobeBuffers& b = globeBuffers;
    EXPECT_EQ(b.imageWidth, 668);
    EXPECT_EQ(b.rowBytes, 668 * 3);
    EXPECT_EQ(SurfaceWidth(b.output), 668);
    EXPECT_EQ(SurfaceHeight(b.output), 499);
    EXPECT_TRUE(std::all_of(b.bmpDataBits, b.bmpDataBits + (size_t)b.rowBytes * 499, [](uint8_t v) { return v == 0; }));
    // The info header: 668 x 499, one plane, 24 bits, no compression, 256 colours.
    EXPECT_EQ(PeekU32LE(b.globeInfoHdr), 40u);
    EXPECT_EQ(PeekU32LE(b.globeInfoHdr + 4), 668u);
    EXPECT_EQ(PeekU32LE(b.globeInfoHdr + 8), 499u);
    EXPECT_EQ(PeekU16LE(b.globeInfoHdr + 12), 1);
    EXPECT_EQ(PeekU16LE(b.globeInfoHdr + 14), 24);
    EXPECT_EQ(PeekU32LE(b.globeInfoHdr + 16), 0u);
    EXPECT_EQ(PeekU32LE(b.globeInfoHdr + 32), 256u);
    // A second allocation while the first stands does nothing, silently.
    EXPECT_EQ(AllocateGlobeBuffers(532, 399), 0);
    EXPECT_EQ(b.imageWidth, 668);
    EXPECT_TRUE(TestShownMessages().empty());
    ReleaseGlobeBuffers();
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
    EXPECT_EQ(AllocateGlobeBuffers(532, 399), 1);
}

TEST_F(GlobeTest, TableLoaderAndItsFailures) {
    EXPECT_EQ(LoadGlobeFilter(45.0, "globe\\02_01.FLT", 0, 0), 0);
    EXPECT_EQ(TestLastMessage(), "rotationFilter[] not allocated yet");
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    std::vector<int32_t> good(4 * 4, 5);
    good[3] = -1;
    WriteRoot("globe\\good.flt", FilterFile(2, good));
    std::vector<uint8_t> tooMany = FilterFile(2, good);
    PokeU32LE(tooMany.data(), 490001);
    WriteRoot("globe\\many.flt", tooMany);
    std::vector<uint8_t> cut = FilterFile(2, good);
    cut.resize(cut.size() - 2);
    WriteRoot("globe\\cut.flt", cut);
    WriteRoot("globe\\head.flt", std::vector<uint8_t>(cut.begin(), cut.begin() + 20));
    WriteRoot("globe\\zero.flt", FilterFile(0, good));
    struct Case {
        const char* name;
        int result;
        std::string message;
    } cases[] = {
        {"globe\\good.flt", 1, ""},
        {"globe\\absent.flt", 0, "Cannot open file globe\\absent.flt"},
        {"globe\\many.flt", 0, "File globe\\many.flt too large to load"},
        {"globe\\cut.flt", 0, "Cannot read data from file globe\\cut.flt"},
        {"globe\\head.flt", 0, ""},  // not even a header: passed over silently
        {"globe\\zero.flt", 0, "Cannot read data from file globe\\zero.flt"},
    };
    for (const Case& c : cases) {
        TestClearShown();
        EXPECT_EQ(LoadGlobeFilter(120.0, c.name, 0, 0), c.result) << c.name;
        EXPECT_EQ(TestLastMessage(), c.message) << c.name;
        // Every failure leaves the good table in place.
        EXPECT_EQ(globeBuffers.filterEntries, 16) << c.name;
        EXPECT_EQ(globeBuffers.filterRadius, 2) << c.name;
        EXPECT_EQ(globeBuffers.rotationFilter[3], -1) << c.name;
        EXPECT_EQ(globeBuffers.rotationFilter[4], 5) << c.name;
    }
    EXPECT_EQ(globeBuffers.viewLatitude, 90.0);  // clamped
    EXPECT_NEAR(globeBuffers.radiusUnits, 4.0 / 499 * 16000, 1e-9);
    // The data root comes before the volume, whose names are found in any letter case.
    std::vector<int32_t> other(36, 7);
    ASSERT_TRUE(WriteTestFile(volume / "GLOBE/Vol.FLT", FilterFile(3, other)));
    EXPECT_EQ(LoadGlobeFilter(-100.0, "globe\\vol.flt", 0, 0), 1);
    EXPECT_EQ(globeBuffers.filterRadius, 3);
    EXPECT_EQ(globeBuffers.viewLatitude, -90.0);
    WriteRoot("globe\\vol.flt", FilterFile(2, good));
    EXPECT_EQ(LoadGlobeFilter(0.0, "globe\\vol.flt", 0, 0), 1);
    EXPECT_EQ(globeBuffers.filterRadius, 2);
}

TEST_F(GlobeTest, ShadingAndHeightLayersWithTheirPalettes) {
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160.sha", "globe\\2160.hts", "", kGlobeRelief, 1, 0), 0);
    EXPECT_EQ(TestLastMessage(), "rotationData[] not allocated yet");
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    std::string scale = std::string(dataRoot) + "\\scales\\ian1.sca";
    WriteRoot("scales\\ian1.sca", CountingScale());
    WriteRoot("globe\\2160.sha", std::vector<uint8_t>(kGlobeLayerBytes, 11));
    WriteRoot("globe\\2160.hts", std::vector<uint8_t>(kGlobeLayerBytes, 22));
    WriteRoot("globe\\short.hts", std::vector<uint8_t>(1000, 33));
    WriteRoot("globe\\2160n.sha", std::vector<uint8_t>(kGlobeLayerBytes, 44));

    TestClearShown();
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160.sha", "globe\\2160.hts", scale.c_str(), kGlobeRelief, 1, 0), kGlobeLayerBytes);
    EXPECT_EQ(GlobeLayerA()[12345], 11);
    EXPECT_EQ(GlobeLayerB()[kGlobeLayerBytes - 1], 22);
    EXPECT_EQ(globeBuffers.paletteBuf[200], MakeColour(200, 200, 200));
    EXPECT_TRUE(TestShownMessages().empty());

    // A missing file of the pair leaves both layers as they were.
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160n.sha", "globe\\none.hts", scale.c_str(), kGlobeRelief, 1, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file globe\\none.hts");
    EXPECT_EQ(GlobeLayerA()[0], 11);
    EXPECT_EQ(LoadGlobeLayers("", "globe\\none.sha", "globe\\2160.hts", scale.c_str(), kGlobeRelief, 1, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file globe\\none.sha");

    // Elevation: the scale with its floor; a partial height file leaves the count short.
    TestClearShown();
    globeBuffers.bmpDataBits[5] = 99;
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160.sha", "globe\\short.hts", scale.c_str(), kGlobeElevation, 1, 1), 1000);
    EXPECT_EQ(globeBuffers.layerBytes, 1000);
    EXPECT_EQ(globeBuffers.bmpDataBits[5], 0);  // cleared
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[0]), 492);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[128]), 5000);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[255]), 9960);
    EXPECT_EQ(globeBuffers.globeInfoHdr[40 + 4 * 128 + 1], 5000 % 256);  // green mirrored into the header
    EXPECT_TRUE(TestShownMessages().empty());

    // Without the load flag only the palette changes; an unreadable scale keeps the old one.
    EXPECT_EQ(LoadGlobeLayers("", "", "", scale.c_str(), kGlobeRelief, 0, 0), 1000);
    EXPECT_EQ(globeBuffers.paletteBuf[7], MakeColour(7, 7, 7));
    std::string missing = std::string(dataRoot) + "\\scales\\none.sca";
    EXPECT_EQ(LoadGlobeLayers("", "", "", missing.c_str(), kGlobeOverlay, 0, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + missing);
    EXPECT_EQ(globeBuffers.paletteBuf[7], MakeColour(7, 7, 7));

    // The names' shading replaces layer A only, and never for imagery.
    EXPECT_EQ(ReloadShading(kGlobeImagery, "globe\\2160n.sha"), 1);
    EXPECT_EQ(GlobeLayerA()[0], 11);
    EXPECT_EQ(ReloadShading(kGlobeRelief, "globe\\2160n.sha"), 1);
    EXPECT_EQ(GlobeLayerA()[0], 44);
    EXPECT_EQ(GlobeLayerB()[0], 33);
    EXPECT_EQ(ReloadShading(kGlobeRelief, "globe\\gone.sha"), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file globe\\gone.sha");

    // Overlay palettes: with or without the floor.
    EXPECT_EQ(LoadOverlayPalette(scale.c_str(), 0), 1);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[0]), 0);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[1]), 39);
    EXPECT_EQ(LoadOverlayPalette(scale.c_str(), 1), 1);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[1]), 492);
    TestClearShown();
    EXPECT_EQ(LoadOverlayPalette(missing.c_str(), 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + missing);
}

TEST_F(GlobeTest, ImageryBmpByTheGlobesRules) {
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    std::vector<uint8_t> good = Imagery40(8, 4, 16);
    std::vector<uint8_t> notBm = good;
    notBm[1] = 'A';
    std::vector<uint8_t> header20 = good;
    PokeU32LE(&header20[14], 20);
    std::vector<uint8_t> fourBits = good;
    PokeU16LE(&fourBits[28], 4);
    std::vector<uint8_t> packed = good;
    PokeU32LE(&packed[30], 1);
    std::vector<uint8_t> noTable = good;
    PokeU32LE(&noTable[10], 54);
    std::vector<uint8_t> hugeTable = good;
    PokeU32LE(&hugeTable[10], 54 + 4 * 257);
    std::vector<uint8_t> cutTable(good.begin(), good.begin() + 54 + 30);
    std::vector<uint8_t> narrow = Imagery40(6, 4, 16);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string message;
    } cases[] = {
        {"globe\\nobm.bmp", notBm, "File globe\\nobm.bmp is not a valid BMP file"},
        {"globe\\short.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 9), "File globe\\short.bmp is not a valid BMP file"},
        {"globe\\h20.bmp", header20, "File globe\\h20.bmp is not a valid BMP file"},
        {"globe\\four.bmp", fourBits, "File globe\\four.bmp is not a valid BMP file"},
        {"globe\\rle.bmp", packed, "File globe\\rle.bmp is not a valid BMP file"},
        {"globe\\colour.bmp", SolidBmp24(8, 4, 0x112233), "File globe\\colour.bmp is not a valid BMP file"},
        {"globe\\notable.bmp", noTable, "Cant read color table"},
        {"globe\\huge.bmp", hugeTable, "Cant read color table"},
        {"globe\\cut.bmp", cutTable, "Cant read color table"},
        {"globe\\narrow.bmp", narrow, "File globe\\narrow.bmp is not a valid BMP file"},
    };
    for (const Case& c : cases) {
        WriteRoot(c.name, c.bytes);
        TestClearShown();
        EXPECT_EQ(LoadGlobeLayers(c.name, "", "", "", kGlobeImagery, 1, 0), 0) << c.name;
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{c.message}) << c.name;
    }
    TestClearShown();
    EXPECT_EQ(LoadGlobeLayers("globe\\absent.bmp", "", "", "", kGlobeImagery, 1, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file globe\\absent.bmp");

    // A good file: its 16 colours, the rest black; its rows in file order; its width.
    WriteRoot("globe\\2160.bmp", good);
    TestClearShown();
    EXPECT_EQ(LoadGlobeLayers("globe\\2160.bmp", "", "", "", kGlobeImagery, 1, 0), 32);
    EXPECT_EQ(globeBuffers.paletteEntries, 16);
    EXPECT_EQ(globeBuffers.paletteBuf[15], MakeColour(15, 30, 45));
    EXPECT_EQ(globeBuffers.paletteBuf[16], MakeColour(0, 0, 0));
    EXPECT_EQ(globeBuffers.layerWidth, 8);
    EXPECT_EQ(GlobeLayerA()[31], 31);
    EXPECT_EQ(PeekU32LE(globeBuffers.globeInfoHdr + 32), 16u);
    EXPECT_TRUE(TestShownMessages().empty());

    // A file cut inside its pixels: the count tells how far the layer was read.
    std::vector<uint8_t> partial = good;
    partial.resize(partial.size() - 12);
    WriteRoot("globe\\partial.bmp", partial);
    EXPECT_EQ(LoadGlobeLayers("globe\\partial.bmp", "", "", "", kGlobeImagery, 1, 0), 20);

    // The old 12-byte header with three-byte colours.
    WriteRoot("globe\\core.bmp", Imagery12(12, 2));
    EXPECT_EQ(LoadGlobeLayers("globe\\core.bmp", "", "", "", kGlobeImagery, 1, 0), 24);
    EXPECT_EQ(globeBuffers.paletteEntries, 256);
    EXPECT_EQ(globeBuffers.paletteBuf[3], MakeColour(3, 7, 252));
    EXPECT_EQ(GlobeLayerA()[14], 1);
    EXPECT_EQ(globeBuffers.layerWidth, 12);

    // Without the load flag only the colours are taken.
    EXPECT_EQ(LoadGlobeLayers("globe\\2160.bmp", "", "", "", kGlobeImagery, 0, 0), 24);
    EXPECT_EQ(globeBuffers.paletteBuf[3], MakeColour(3, 6, 9));
    EXPECT_EQ(globeBuffers.layerWidth, 12);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobeTest, OverlayFilesAndTitles) {
    struct Case {
        int overlay, month;
        const char* file;
        const char* title;
    } cases[] = {
        {kOverlayLandVegetation, 0, "globe\\vege01.raw", "Land Vegetation (January)"},
        {kOverlayOceanVegetation, 1, "globe\\vege02.raw", "Ocean Vegetation (February)"},
        {kOverlayTemperature, 2, "globe\\temp03.raw", "Avg. Temperature, degrees C (March)"},
        {kOverlayPrecipitation, 10, "globe\\precip11.raw", "Avg. Precipitation, mm/month (November)"},
        {kOverlaySunshine, 4, "globe\\cloud05.raw", "Avg. % Sunshine (May)"},
        {kOverlaySunshine, 11, "globe\\cloud12.raw", "Avg. % Sunshine (December)"},
        {kOverlayNone, 3, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OverlayMonthFile(c.overlay, c.month), c.file);
        EXPECT_EQ(OverlayTitle(c.overlay, c.month), c.title);
    }
}

// Month m's file: cell (row, col) = m * 16 + (row + col) % 16.
std::vector<uint8_t> MonthFile(int m) {
    std::vector<uint8_t> bytes(kOverlayBytes);
    for (int row = 0; row < kOverlayRows; row++)
        for (int col = 0; col < kOverlayColumns; col++) bytes[(size_t)row * kOverlayColumns + col] = (uint8_t)(m * 16 + (row + col) % 16);
    return bytes;
}

TEST_F(GlobeTest, OverlayMonthsStepAroundTheYear) {
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    globeView.overlay = kOverlayTemperature;
    WriteRoot("globe\\temp12.raw", MonthFile(12));
    WriteRoot("globe\\temp01.raw", MonthFile(1));
    // December forward: December's title and file, then January is next.
    globeView.overlayMonth = 11;
    EXPECT_EQ(StepOverlayMonth(1), 1);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (December)");
    EXPECT_EQ(globeView.overlayMonth, 0);
    // Each cell fills a 3 x 3 block of the layer.
    const uint8_t* b = GlobeLayerB();
    for (int row : {0, 1, 2, 1077, 1079})
        for (int col : {0, 2, 3, 5, 2159}) {
            int expected = 12 * 16 + (row / 3 + col / 3) % 16;
            EXPECT_EQ(b[(size_t)row * kGlobeLayerWidth + col], expected) << row << "," << col;
        }
    // January backward: January's title and file, then December.
    EXPECT_EQ(StepOverlayMonth(-1), 1);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (January)");
    EXPECT_EQ(globeView.overlayMonth, 11);
    EXPECT_EQ(b[0], 16);
    // A month without its file: silent, and January stays on the globe.
    globeView.overlayMonth = 5;
    EXPECT_EQ(StepOverlayMonth(1), 0);
    EXPECT_EQ(globeView.overlayMonth, 6);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (June)");
    EXPECT_EQ(b[0], 16);
    EXPECT_EQ(b[(size_t)1079 * kGlobeLayerWidth + 2159], 16 + (359 + 719) % 16);
    EXPECT_TRUE(TestShownMessages().empty());
    // The vegetation overlays share one set of files.
    globeView.overlay = kOverlayOceanVegetation;
    globeView.overlayMonth = 11;
    WriteRoot("globe\\vege12.raw", MonthFile(3));
    EXPECT_EQ(StepOverlayMonth(1), 1);
    EXPECT_EQ(b[0], 48);
}

}  // namespace
