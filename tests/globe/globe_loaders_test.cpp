// Globe loaders: buffers, the lookup table, shading and heights with their palettes, imagery
// BMPs and monthly overlays; every failure is checked by the text it shows.
#include <algorithm>

#include "globe_test_support.h"

namespace {

// A scale whose colour k spells k: red = k / 256, green = k % 256.
std::vector<uint8_t> CountingScale() {
    std::vector<uint8_t> bytes(8 + 3 * 10000);
    for (int k = 0; k < 10000; k++) bytes[8 + 3 * k] = (uint8_t)(k / 256), bytes[9 + 3 * k] = (uint8_t)(k % 256);
    return bytes;
}
int ScaleIndexOf(ColourRef c) { return ColourRed(c) * 256 + ColourGreen(c); }

// An 8-bit imagery BMP: a 40-byte header with `colours` entries (colour i = (i, 2i, 3i)), or
// the old 12-byte header with 256 three-byte entries (colour i = (i, 7, 255 - i)); pixel i = i % 251.
std::vector<uint8_t> Imagery(int headerSize, int width, int height, int colours) {
    uint32_t offset = headerSize == 12 ? 26 + 768 : 54 + 4 * (uint32_t)colours;
    std::vector<uint8_t> out = {'B', 'M'};
    WriteU32LE(out, offset + (uint32_t)(width * height));
    WriteU32LE(out, 0);
    WriteU32LE(out, offset);
    WriteU32LE(out, (uint32_t)headerSize);
    if (headerSize == 12) {
        WriteU16LE(out, (uint16_t)width), WriteU16LE(out, (uint16_t)height);
    } else {
        WriteI32LE(out, width), WriteI32LE(out, height);
    }
    WriteU16LE(out, 1);
    WriteU16LE(out, 8);
    out.resize(14 + (size_t)headerSize, 0);
    for (int i = 0; i < (headerSize == 12 ? 256 : colours); i++) {
        if (headerSize == 12) out.insert(out.end(), {(uint8_t)(255 - i), 7, (uint8_t)i});
        else out.insert(out.end(), {(uint8_t)(3 * i), (uint8_t)(2 * i), (uint8_t)i, 0});
    }
    for (int i = 0; i < width * height; i++) WriteU8(out, (uint8_t)(i % 251));
    return out;
}

TEST_F(GlobeTest, BuffersAreMadeAllOrNothing) {
    EXPECT_EQ(AllocateGlobeBuffers(0, 499), 0);
    EXPECT_EQ(AllocateGlobeBuffers(20000, 10), 0);  // no surface that wide
    EXPECT_EQ(GlobeBuffersAllocated(), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Cannot allocate bmpDataBits[]", "Cannot create DI bitmap"}));
    TestClearShown();
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    EXPECT_EQ(globeBuffers.imageWidth, 668);  // rows of a multiple of 4 pixels
    EXPECT_EQ(SurfaceWidth(globeBuffers.output), 668);
    EXPECT_EQ(AllocateGlobeBuffers(532, 399), 0);  // while the first stand: nothing, silently
    EXPECT_EQ(globeBuffers.imageWidth, 668);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobeTest, TableLoaderAndItsFailures) {
    EXPECT_EQ(LoadGlobeFilter(45.0, "globe\\02_01.FLT", 0, 0), 0);
    EXPECT_EQ(TestLastMessage(), "rotationFilter[] not allocated yet");
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    std::vector<int32_t> good(16, 5);
    good[3] = -1;
    std::vector<uint8_t> tooMany = FilterFile(2, good), cut = FilterFile(2, good);
    PokeU32LE(tooMany.data(), 490001);
    cut.pop_back();
    WriteRoot("globe\\good.flt", FilterFile(2, good));
    WriteRoot("globe\\many.flt", tooMany);
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
        EXPECT_EQ(globeBuffers.rotationFilter[3], -1) << c.name;
    }
    EXPECT_EQ(globeBuffers.viewLatitude, 90.0);  // clamped
    EXPECT_NEAR(globeBuffers.radiusUnits, 4.0 / 499 * 16000, 1e-9);
    // The volume's names are found in any letter case; the data root's copy comes first.
    ASSERT_TRUE(WriteTestFile(volume / "GLOBE/Vol.FLT", FilterFile(3, std::vector<int32_t>(36, 7))));
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
    std::string scale = std::string(dataRoot) + "\\scales\\ian1.sca", missing = std::string(dataRoot) + "\\scales\\no.sca";
    WriteRoot("scales\\ian1.sca", CountingScale());
    WriteRoot("globe\\2160.sha", std::vector<uint8_t>(kGlobeLayerBytes, 11));
    WriteRoot("globe\\2160.hts", std::vector<uint8_t>(kGlobeLayerBytes, 22));
    WriteRoot("globe\\short.hts", std::vector<uint8_t>(1000, 33));
    WriteRoot("globe\\2160n.sha", std::vector<uint8_t>(kGlobeLayerBytes, 44));
    TestClearShown();
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160.sha", "globe\\2160.hts", scale.c_str(), kGlobeRelief, 1, 0), kGlobeLayerBytes);
    EXPECT_EQ(GlobeLayerA()[12345], 11);
    EXPECT_EQ(GlobeLayerB()[kGlobeLayerBytes - 1], 22);
    EXPECT_EQ(globeBuffers.paletteBuf[200], MakeColour(200, 200, 200));  // grey ramp
    // One file of the pair missing: both layers stay as they were.
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160n.sha", "globe\\none.hts", scale.c_str(), kGlobeRelief, 1, 0), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file globe\\none.hts"});
    EXPECT_EQ(GlobeLayerA()[0], 11);
    // Elevation: the scale with its floor; a short height file leaves the count short.
    TestClearShown();
    globeBuffers.bmpDataBits[5] = 99;
    EXPECT_EQ(LoadGlobeLayers("", "globe\\2160.sha", "globe\\short.hts", scale.c_str(), kGlobeElevation, 1, 1), 1000);
    EXPECT_EQ(globeBuffers.bmpDataBits[5], 0);  // the clear flag
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[0]), 492);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[128]), 5000);
    EXPECT_EQ(globeBuffers.globeInfoHdr[40 + 4 * 128 + 1], 5000 % 256);  // mirrored into the header
    // An unreadable scale keeps the palette.
    EXPECT_EQ(LoadGlobeLayers("", "", "", missing.c_str(), kGlobeOverlay, 0, 0), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file " + missing});
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[128]), 5000);
    EXPECT_EQ(LoadOverlayPalette(scale.c_str(), 0), 1);
    EXPECT_EQ(ScaleIndexOf(globeBuffers.paletteBuf[1]), 39);
    // The names' shading replaces layer A only, and never for imagery.
    EXPECT_EQ(ReloadShading(kGlobeImagery, "globe\\2160n.sha"), 1);
    EXPECT_EQ(GlobeLayerA()[0], 11);
    EXPECT_EQ(ReloadShading(kGlobeRelief, "globe\\2160n.sha"), 1);
    EXPECT_EQ(GlobeLayerA()[0], 44);
    EXPECT_EQ(GlobeLayerB()[0], 33);
}

TEST_F(GlobeTest, ImageryBmpByTheGlobesRules) {
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    std::vector<uint8_t> good = Imagery(40, 8, 4, 16);
    auto with = [&](int at, uint32_t v, int bytes) {
        std::vector<uint8_t> f = good;
        if (bytes == 2) PokeU16LE(&f[(size_t)at], (uint16_t)v);
        else PokeU32LE(&f[(size_t)at], v);
        return f;
    };
    const std::string invalid = " is not a valid BMP file", table = "Cant read color table";
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string message;
    } cases[] = {
        {"globe\\nobm.bmp", with(0, 'X', 2), invalid},
        {"globe\\short.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 9), invalid},
        {"globe\\four.bmp", with(28, 4, 2), invalid},
        {"globe\\rle.bmp", with(30, 1, 4), invalid},
        {"globe\\narrow.bmp", Imagery(40, 6, 4, 16), invalid},
        {"globe\\notable.bmp", with(10, 54, 4), table},  // a 40-byte header and no colours
        {"globe\\huge.bmp", with(10, 54 + 4 * 257, 4), table},
        {"globe\\cut.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 84), table},
        {"globe\\absent.bmp", {}, "Cannot open file globe\\absent.bmp"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty()) WriteRoot(c.name, c.bytes);
        TestClearShown();
        EXPECT_EQ(LoadGlobeLayers(c.name, "", "", "", kGlobeImagery, 1, 0), 0) << c.name;
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{c.message == invalid ? "File " + std::string(c.name) + invalid : c.message});
    }
    // A good file: its 16 colours and the rest black, its rows in file order, its width.
    WriteRoot("globe\\2160.bmp", good);
    TestClearShown();
    EXPECT_EQ(LoadGlobeLayers("globe\\2160.bmp", "", "", "", kGlobeImagery, 1, 0), 32);
    EXPECT_EQ(globeBuffers.paletteEntries, 16);
    EXPECT_EQ(globeBuffers.paletteBuf[15], MakeColour(15, 30, 45));
    EXPECT_EQ(globeBuffers.paletteBuf[16], MakeColour(0, 0, 0));
    EXPECT_EQ(globeBuffers.layerWidth, 8);
    EXPECT_EQ(GlobeLayerA()[31], 31);
    // Cut inside its pixels: the count says how far the layer was read.
    WriteRoot("globe\\partial.bmp", std::vector<uint8_t>(good.begin(), good.end() - 12));
    EXPECT_EQ(LoadGlobeLayers("globe\\partial.bmp", "", "", "", kGlobeImagery, 1, 0), 20);
    // The old 12-byte header with three-byte colours.
    WriteRoot("globe\\core.bmp", Imagery(12, 12, 2, 256));
    EXPECT_EQ(LoadGlobeLayers("globe\\core.bmp", "", "", "", kGlobeImagery, 1, 0), 24);
    EXPECT_EQ(globeBuffers.paletteEntries, 256);
    EXPECT_EQ(globeBuffers.paletteBuf[3], MakeColour(3, 7, 252));
    EXPECT_EQ(globeBuffers.layerWidth, 12);
    // Without the load flag only the colours are taken.
    EXPECT_EQ(LoadGlobeLayers("globe\\2160.bmp", "", "", "", kGlobeImagery, 0, 0), 24);
    EXPECT_EQ(globeBuffers.paletteBuf[3], MakeColour(3, 6, 9));
    EXPECT_EQ(globeBuffers.layerWidth, 12);
    EXPECT_TRUE(TestShownMessages().empty());
}

// Month m's file: cell (row, col) = 16 m + (row + col) % 16.
std::vector<uint8_t> MonthFile(int m) {
    std::vector<uint8_t> bytes(kOverlayBytes);
    for (int k = 0; k < kOverlayBytes; k++) bytes[(size_t)k] = (uint8_t)(16 * m + (k / kOverlayColumns + k % kOverlayColumns) % 16);
    return bytes;
}

TEST_F(GlobeTest, OverlayMonthsStepAroundTheYear) {
    EXPECT_EQ(OverlayMonthFile(kOverlayOceanVegetation, 1), "globe\\vege02.raw");  // shared with land
    EXPECT_EQ(OverlayMonthFile(kOverlayPrecipitation, 10), "globe\\precip11.raw");
    EXPECT_EQ(OverlayTitle(kOverlaySunshine, 4), "Avg. % Sunshine (May)");
    EXPECT_EQ(OverlayTitle(kOverlayNone, 4), "");
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    globeView.overlay = kOverlayTemperature;
    WriteRoot("globe\\temp12.raw", MonthFile(12));
    WriteRoot("globe\\temp01.raw", MonthFile(1));
    // December forward: December's title and file, then January is next.
    globeView.overlayMonth = 11;
    EXPECT_EQ(StepOverlayMonth(1), 1);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (December)");
    EXPECT_EQ(globeView.overlayMonth, 0);
    const uint8_t* b = GlobeLayerB();
    for (int row : {0, 2, 3, 1079})
        for (int col : {0, 2, 3, 5, 2159})
            EXPECT_EQ(b[(size_t)row * kGlobeLayerWidth + col], 12 * 16 + (row / 3 + col / 3) % 16) << row << "," << col;
    // January backward: January's title and file, then December.
    EXPECT_EQ(StepOverlayMonth(-1), 1);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (January)");
    EXPECT_EQ(globeView.overlayMonth, 11);
    EXPECT_EQ(b[0], 16);
    // A month without its file: silent, the month moves on and January stays on the globe.
    globeView.overlayMonth = 5;
    EXPECT_EQ(StepOverlayMonth(1), 0);
    EXPECT_EQ(globeView.overlayTitle, "Avg. Temperature, degrees C (June)");
    EXPECT_EQ(globeView.overlayMonth, 6);
    EXPECT_EQ(b[0], 16);
    EXPECT_TRUE(TestShownMessages().empty());
}

}  // namespace
