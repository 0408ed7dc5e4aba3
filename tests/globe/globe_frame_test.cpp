// Globe frames: whole frames against a naive renderer that projects every pixel with
// trigonometry, the shift of a centre longitude, the entries a frame passes over, where the
// table lands in the image, and the colours of every image type.
#include <cmath>

#include "globe_build.h"
#include "globe_test_support.h"

namespace {

constexpr ColourRef kNavy = MakeColour(0, 0, 128);

// Layer values that differ from cell to cell, so a pixel reading the wrong cell shows.
uint8_t CellValue(size_t o) { return (uint8_t)((o * 2654435761u) >> 13); }
ColourRef PaletteColour(int i) { return MakeColour(i, (i * 37 + 11) & 255, (i * 101 + 7) & 255); }

void FillDistinctLayers() {
    for (size_t o = 0; o < (size_t)kGlobeLayerBytes; o++) GlobeLayerA()[o] = CellValue(o);
    for (int i = 0; i < 256; i++) globeBuffers.paletteBuf[i] = PaletteColour(i);
    globeBuffers.layerBytes = kGlobeLayerBytes;
    globeBuffers.layerWidth = kGlobeLayerWidth;
}

// The naive renderer: the pixel's centre relative to the disk, lifted onto the sphere as a
// point in front of the viewer, turned into world coordinates (x east at longitude 0, z to
// the north pole) and read back as latitude and longitude. -1 off the disk.
int64_t NaiveOffset(int column, int row, int r, double viewLat, int shift) {
    double x = (column + 0.5 - r) / r, y = (row + 0.5 - r) / r;
    double rho2 = x * x + y * y;
    if (rho2 > 1.0) return -1;
    double z = std::sqrt(1.0 - rho2), phi0 = viewLat * M_PI / 180.0;
    double wx = -y * std::sin(phi0) + z * std::cos(phi0), wy = x, wz = y * std::cos(phi0) + z * std::sin(phi0);
    double lat = std::asin(std::fmax(-1.0, std::fmin(1.0, wz))) * 180.0 / M_PI;
    double lon = std::atan2(wy, wx) * 180.0 / M_PI;
    int cellRow = std::min(kGlobeLayerHeight - 1, std::max(0, (int)std::floor((lat + 90.0) * 6.0)));
    int cellColumn = ((int)std::floor((lon + 180.0) * 6.0) % kGlobeLayerWidth + kGlobeLayerWidth) % kGlobeLayerWidth;
    // Turning adds the shift to the offset itself, so a column past the edge reads the next
    // row's start; the naive renderer does the same to be comparable.
    return (int64_t)cellRow * kGlobeLayerWidth + cellColumn + shift;
}

struct Mismatches {
    int disk = 0, differing = 0;
};

// Every pixel of the image against the naive renderer for imagery at centre longitude lon.
Mismatches CompareWithNaive(int r, double viewLat, double lon) {
    const GlobeBuffers& b = globeBuffers;
    int side = 2 * r, hMargin = (b.imageWidth - side) / 2, vMargin = (b.imageHeight - side) / 2;
    int shift = GlobeShift(lon, kGlobeLayerWidth);
    Mismatches m;
    for (int row = 0; row < b.imageHeight; row++)
        for (int x = 0; x < b.imageWidth; x++) {
            int c = x - hMargin, sr = row - vMargin;
            int64_t o = c >= 0 && c < side && sr >= 0 && sr < side ? NaiveOffset(c, sr, r, viewLat, shift) : -1;
            int inside = o >= 0 && o < kGlobeLayerBytes;
            ColourRef expected = inside ? PaletteColour(CellValue((size_t)o)) : MakeColour(0, 0, 0);
            m.disk += inside;
            m.differing += StoredPixel(x, row) != expected;
        }
    return m;
}

TEST_F(GlobeTest, FramesMatchNaiveOrthographicRenderer) {
    struct View {
        int width, height, size;
    } views[] = {{665, 499, 3}, {532, 399, 2}, {301, 230, 0}};
    const double longitudes[] = {0.0, 359.9, -180.0, 180.0, 47.3, -101.0};
    for (const View& v : views) {
        ReleaseGlobeBuffers();
        ASSERT_EQ(AllocateGlobeBuffers(v.width, v.height), 1);
        FillDistinctLayers();
        int r = GlobeRadius(v.size);
        for (int tilt = 0; tilt < kGlobeTilts; tilt++) {
            double viewLat = 90.0 - 45.0 * tilt;
            WriteRoot(GlobeFilterName(v.size, tilt), EncodeGlobeFilter(r, viewLat));
            ASSERT_EQ(LoadGlobeFilter(viewLat, GlobeFilterName(v.size, tilt).c_str(), 0, 0), 1);
            for (double lon : longitudes) {
                ClearGlobeImage();
                ASSERT_EQ(ComposeGlobeFrame(lon, kGlobeImagery), 1);
                Mismatches m = CompareWithNaive(r, viewLat, lon);
                // The table was built with another formula; pixels whose centre falls within
                // rounding of a cell's edge may read the neighbouring cell, and no others.
                EXPECT_GT(m.disk, (int)(3.0 * r * r));
                EXPECT_LE(m.differing, m.disk / 500) << v.width << "x" << v.height << " tilt " << tilt << " lon " << lon;
            }
        }
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobeTest, OppositeEndsOfTheDatelineGiveTheSameFrame) {
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    FillDistinctLayers();
    WriteRoot("globe\\03_02.FLT", EncodeGlobeFilter(GlobeRadius(3), 0.0));
    ASSERT_EQ(LoadGlobeFilter(0.0, "globe\\03_02.FLT", 0, 0), 1);
    size_t bytes = (size_t)globeBuffers.rowBytes * globeBuffers.imageHeight;
    ASSERT_EQ(ComposeGlobeFrame(-180.0, kGlobeImagery), 1);
    std::vector<uint8_t> west(globeBuffers.bmpDataBits, globeBuffers.bmpDataBits + bytes);
    ClearGlobeImage();
    ASSERT_EQ(ComposeGlobeFrame(180.0, kGlobeImagery), 1);
    EXPECT_EQ(memcmp(west.data(), globeBuffers.bmpDataBits, bytes), 0);
    // The centre of an equatorial view shows the centre longitude: 90 E lies in column 1620.
    ASSERT_EQ(ComposeGlobeFrame(90.0, kGlobeImagery), 1);
    int cx = globeBuffers.imageWidth / 2, row = GlobeRadius(3) + (499 - 2 * GlobeRadius(3)) / 2;
    EXPECT_EQ(StoredPixel(cx, row), PaletteColour(CellValue(540 * kGlobeLayerWidth + 1620)));
}

TEST_F(GlobeTest, ShiftOfCentreLongitude) {
    struct Case {
        double lon;
        int width, shift;
    } cases[] = {
        {0.0, 2160, 0}, {359.9, 2160, 2159}, {-180.0, 2160, 1080}, {180.0, 2160, 1080},
        {360.0, 2160, 0}, {-0.1, 2160, 2159}, {-1e-18, 2160, 0}, {725.0, 2160, 30},
        {90.0, 2000, 500}, {-90.0, 2000, 1500}, {NAN, 2160, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(GlobeShift(c.lon, c.width), c.shift) << c.lon << " over " << c.width;
}

// A 4 x 4 table (radius 2) in an 8 x 6 viewport: columns 2..5, rows 1..4 from the bottom.
struct SmallFrame : GlobeTest {
    std::vector<int32_t> entries = std::vector<int32_t>(16, -1);
    void Load(int alignBottom = 0, int alignTop = 0) {
        WriteRoot("globe\\small.flt", FilterFile(2, entries));
        ASSERT_EQ(LoadGlobeFilter(45.0, "globe\\small.flt", alignBottom, alignTop), 1);
    }
    void SetUp() override {
        GlobeTest::SetUp();
        ASSERT_EQ(AllocateGlobeBuffers(8, 6), 1);
        for (int i = 0; i < 256; i++) globeBuffers.paletteBuf[i] = MakeColour(i, 0, 255 - i);
        for (int o = 0; o < kGlobeLayerBytes; o++) GlobeLayerA()[o] = (uint8_t)(o % 251);
        globeBuffers.layerBytes = kGlobeLayerBytes;
    }
    void Paint(ColourRef c) {
        for (int y = 0; y < globeBuffers.imageHeight; y++)
            for (int x = 0; x < globeBuffers.imageWidth; x++) {
                uint8_t* p = globeBuffers.bmpDataBits + (size_t)y * globeBuffers.rowBytes + 3 * x;
                p[0] = (uint8_t)ColourBlue(c), p[1] = (uint8_t)ColourGreen(c), p[2] = (uint8_t)ColourRed(c);
            }
    }
    ColourRef Of(int o) { return MakeColour(o % 251, 0, 255 - o % 251); }
};

TEST_F(SmallFrame, EntriesThatAreNotDrawn) {
    entries[0] = -1;                      // off the disk
    entries[1] = 100;
    entries[2] = -5;                      // negative, but the shift brings it into the layer
    entries[3] = kGlobeLayerBytes - 1;    // the last cell: past the end once shifted
    entries[4] = kGlobeLayerWidth - 1;    // the last column of row 0 ...
    entries[5] = -2000000;
    Load();
    globeBuffers.layerBytes = 1000;       // a layer read only in part
    entries[6] = 999;
    entries[7] = 1000;
    Load();
    ColourRef marker = MakeColour(1, 2, 3);
    Paint(marker);
    ASSERT_EQ(ComposeGlobeFrame(360.0 / kGlobeLayerWidth * 6.01, kGlobeImagery), 1);  // shift 6
    EXPECT_EQ(StoredPixel(2, 1), marker);         // -1 leaves what was there
    EXPECT_EQ(StoredPixel(3, 1), Of(106));
    EXPECT_EQ(StoredPixel(4, 1), Of(1));          // -5 + 6: a plain sum
    EXPECT_EQ(StoredPixel(5, 1), marker);         // beyond the bytes loaded
    EXPECT_EQ(StoredPixel(2, 2), marker);         // 2165 is past the 1000 bytes loaded
    EXPECT_EQ(StoredPixel(3, 2), marker);         // still negative
    EXPECT_EQ(StoredPixel(4, 2), marker);         // 1005: past the part read
    EXPECT_EQ(StoredPixel(5, 2), marker);
    // With the whole layer, the last column continues on the next row's start.
    globeBuffers.layerBytes = kGlobeLayerBytes;
    ASSERT_EQ(ComposeGlobeFrame(360.0 / kGlobeLayerWidth * 6.01, kGlobeImagery), 1);
    EXPECT_EQ(StoredPixel(2, 2), Of(kGlobeLayerWidth + 5));
    EXPECT_EQ(StoredPixel(4, 2), Of(1005));
    EXPECT_EQ(StoredPixel(5, 1), marker);
    // Nothing outside the table's square is touched.
    for (int x = 0; x < 8; x++) EXPECT_EQ(StoredPixel(x, 0), marker) << x;
    for (int y = 0; y < 6; y++) EXPECT_EQ(StoredPixel(0, y), marker) << y;
}

TEST_F(SmallFrame, WhereTheTableLands) {
    for (int k = 0; k < 16; k++) entries[(size_t)k] = k;
    struct Case {
        int alignBottom, alignTop, firstRow;  // the image row of the table's row 0, from the bottom
    } cases[] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 2}};
    for (const Case& c : cases) {
        Load(c.alignBottom, c.alignTop);
        Paint(MakeColour(0, 0, 0));
        ASSERT_EQ(ComposeGlobeFrame(0.0, kGlobeImagery), 1);
        for (int row = 0; row < 4; row++)
            for (int col = 0; col < 4; col++) EXPECT_EQ(StoredPixel(2 + col, c.firstRow + row), Of(row * 4 + col));
    }
    // A table wider and taller than the image is cut at its edges.
    std::vector<int32_t> big(20 * 20);
    for (size_t k = 0; k < big.size(); k++) big[k] = (int32_t)k;
    WriteRoot("globe\\big.flt", FilterFile(10, big));
    ASSERT_EQ(LoadGlobeFilter(0.0, "globe\\big.flt", 0, 0), 1);
    ASSERT_EQ(ComposeGlobeFrame(0.0, kGlobeImagery), 1);
    // Margins (8 - 20) / 2 = -6 and (6 - 20) / 2 = -7: image (0, 0) shows entry (7, 6).
    EXPECT_EQ(StoredPixel(0, 0), Of(7 * 20 + 6));
    EXPECT_EQ(StoredPixel(7, 5), Of(12 * 20 + 13));
}

TEST_F(SmallFrame, ColoursOfEveryImageType) {
    entries[0] = 0;
    Load();
    globeBuffers.paletteBuf[10] = MakeColour(200, 100, 51);
    globeBuffers.paletteBuf[255] = MakeColour(255, 255, 255);
    globeBuffers.paletteBuf[254] = MakeColour(254, 254, 254);
    globeBuffers.paletteBuf[9] = MakeColour(9, 99, 199);
    globeBuffers.paletteBuf[0] = MakeColour(10, 20, 30);
    struct Case {
        int type, overlay, flood, level, a, b;
        ColourRef expected;
    } cases[] = {
        {kGlobeImagery, 0, 0, 0, 9, 0, MakeColour(9, 99, 199)},
        {kGlobeImagery, 0, 0, 0, 0, 0, MakeColour(10, 20, 30)},
        {kGlobeRelief, 0, 0, 0, 9, 77, MakeColour(9, 99, 199)},
        {kGlobeRelief, 0, 0, 0, 0, 77, kNavy},                           // navy sea
        {kGlobeElevation, 0, 0, 0, 128, 10, MakeColour(100, 50, 25)},     // halved, truncated
        {kGlobeElevation, 0, 0, 0, 255, 10, MakeColour(199, 99, 50)},
        {kGlobeElevation, 0, 0, 0, 1, 10, MakeColour(0, 0, 0)},
        {kGlobeElevation, 0, 0, 0, 0, 10, kNavy},
        {kGlobeElevation, 0, 1, 0, 128, 10, MakeColour(100, 50, 25)},     // level 0 floods nothing
        {kGlobeElevation, 0, 1, 10, 128, 10, MakeColour(100, 50, 25)},
        {kGlobeElevation, 0, 1, 11, 128, 10, kNavy},                      // under water
        {kGlobeElevation, 0, 1, 255, 128, 254, kNavy},                    // 255 leaves only class 255
        {kGlobeElevation, 0, 1, 255, 128, 255, MakeColour(127, 127, 127)},
        {kGlobeElevation, 0, 0, 255, 128, 0, MakeColour(5, 10, 15)},      // the level counts only when flooding
        {kGlobeOverlay, kOverlayOceanVegetation, 0, 0, 0, 10, MakeColour(200, 100, 51)},  // coloured sea
        {kGlobeOverlay, kOverlayOceanVegetation, 0, 0, 77, 10, MakeColour(77, 77, 77)},  // grey land
        {kGlobeOverlay, kOverlayTemperature, 0, 0, 0, 10, kNavy},
        {kGlobeOverlay, kOverlayTemperature, 0, 0, 77, 10, MakeColour(200, 100, 51)},
        {kGlobeOverlay, kOverlayLandVegetation, 0, 0, 77, 9, MakeColour(9, 99, 199)},
        {kGlobeOverlay, kOverlaySunshine, 0, 0, 0, 9, kNavy},
    };
    for (const Case& c : cases) {
        globeView.overlay = c.overlay;
        globeView.floodMode = c.flood;
        globeView.floodLevel = c.level;
        GlobeLayerA()[0] = (uint8_t)c.a;
        GlobeLayerB()[0] = (uint8_t)c.b;
        Paint(MakeColour(1, 2, 3));
        ASSERT_EQ(ComposeGlobeFrame(0.0, c.type), 1);
        ColourRef got = StoredPixel(2, 1);
        EXPECT_EQ(got, c.expected) << "type " << c.type << " overlay " << c.overlay << " flood " << c.flood << "/" << c.level
                                   << " A " << c.a << " B " << c.b << ": got " << ColourRed(got) << "," << ColourGreen(got)
                                   << "," << ColourBlue(got);
    }
}

TEST_F(GlobeTest, FramesNeedTheBuffers) {
    Surface* window = CreateSurface(800, 600);
    EXPECT_EQ(ComposeGlobeFrame(0.0, kGlobeImagery), 0);
    EXPECT_EQ(DrawGlobe(window, 16, 39, 0.0, kGlobeImagery), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"rotationFilter[] not allocated yet", "rotationFilter[] not allocated yet"}));
    DeleteSurface(window);
}

// The whole frame on a window: the viewport goes to (x, y) and nowhere else; an overlay's title
// goes on the left half of the status line, which is restored once the overlay is off.
TEST_F(GlobeTest, DrawGlobeCopiesTheViewportAndShowsTheOverlayTitle) {
    Surface* window = CreateSurface(800, 600);
    Surface* saved = hbmVirtual;
    hbmVirtual = CreateSurface(800, 600);
    FillRect(hbmVirtual, Rect{0, 0, 800, 600}, MakeColour(10, 60, 90));
    FillRect(window, Rect{0, 0, 800, 600}, MakeColour(200, 0, 200));
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    FillDistinctLayers();
    WriteRoot("globe\\03_02.FLT", EncodeGlobeFilter(GlobeRadius(3), 0.0));
    ASSERT_EQ(LoadGlobeFilter(0.0, "globe\\03_02.FLT", 0, 0), 1);
    globeView.overlay = kOverlayNone;
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeImagery), 1);
    EXPECT_EQ(GetPixel(window, 15, 39), MakeColour(200, 0, 200));
    EXPECT_EQ(GetPixel(window, 16 + 665, 100), MakeColour(200, 0, 200));
    EXPECT_EQ(GetPixel(window, 16, 39), MakeColour(0, 0, 0));  // the corner of the viewport, off the globe
    EXPECT_EQ(GetPixel(window, 16 + 200, 39 + 200), GetPixel(globeBuffers.output, 200, 200));
    EXPECT_NE(GetPixel(window, 16 + 200, 39 + 200), MakeColour(0, 0, 0));
    EXPECT_EQ(GetPixel(window, statusRect.left + 5, statusRect.top + 5), MakeColour(200, 0, 200));

    // Text pixels: anything but the restored background (the glyphs' edges are blended).
    auto titlePixels = [&](int whiteOnly) {
        int n = 0;
        int half = (statusRect.right - statusRect.left) / 2;
        for (int y = statusRect.top; y < statusRect.bottom; y++)
            for (int x = statusRect.left; x < statusRect.left + half; x++) {
                ColourRef c = GetPixel(window, x, y);
                n += whiteOnly ? ColourRed(c) > 200 && ColourGreen(c) > 200 && ColourBlue(c) > 200 : c != MakeColour(10, 60, 90);
            }
        return n;
    };
    globeView.overlay = kOverlayTemperature;
    globeView.overlayTitle = "Avg. Temperature, degrees C (March)";
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeOverlay), 1);
    EXPECT_GT(titlePixels(0), 20);
    EXPECT_GT(titlePixels(1), 0);
    EXPECT_EQ(GetPixel(window, statusRect.right - 3, statusRect.top + 3), MakeColour(200, 0, 200));  // right half untouched
    globeView.overlay = kOverlayNone;
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeRelief), 1);
    EXPECT_EQ(titlePixels(0), 0);
    EXPECT_EQ(GetPixel(window, statusRect.left + 1, statusRect.top + 1), MakeColour(10, 60, 90));
    // Restored once only: what is drawn there afterwards stays.
    FillRect(window, Rect{statusRect.left, statusRect.top, statusRect.left + 10, statusRect.bottom}, MakeColour(1, 1, 1));
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeRelief), 1);
    EXPECT_EQ(GetPixel(window, statusRect.left + 1, statusRect.top + 1), MakeColour(1, 1, 1));
    DeleteSurface(window);
    DeleteSurface(hbmVirtual);
    hbmVirtual = saved;
}

}  // namespace
