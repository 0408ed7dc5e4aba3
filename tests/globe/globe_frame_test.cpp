// Globe frames against a naive per-pixel renderer, the longitude shift, skipped entries, the
// table's placement, every image type's colours and the frame on the window.
#include <cmath>

#include "globe_build.h"
#include "globe_test_support.h"

namespace {

// Values that differ from cell to cell, so a pixel reading the wrong cell shows.
uint8_t CellValue(size_t o) { return (uint8_t)((o * 2654435761u) >> 13); }
ColourRef PaletteColour(int i) { return MakeColour(i, (i * 37 + 11) & 255, (i * 101 + 7) & 255); }

void FillDistinctLayers() {
    for (size_t o = 0; o < (size_t)kGlobeLayerBytes; o++) GlobeLayerA()[o] = CellValue(o);
    for (int i = 0; i < 256; i++) globeBuffers.paletteBuf[i] = PaletteColour(i);
    globeBuffers.layerBytes = kGlobeLayerBytes;
}

// The pixel's centre is lifted onto the sphere in front of the viewer, turned into world
// coordinates (x towards longitude 0 on the equator, z to the north pole) and read back as
// latitude and longitude; -1 off the disk. Turning adds the shift to the offset itself (a
// column past the edge reads the next row's start), so the reference does the same.
int64_t NaiveOffset(int column, int row, int r, double viewLat, int shift) {
    double x = (column + 0.5 - r) / r, y = (row + 0.5 - r) / r;
    if (x * x + y * y > 1.0) return -1;
    double z = std::sqrt(1.0 - x * x - y * y), phi0 = viewLat * M_PI / 180.0;
    double wx = -y * std::sin(phi0) + z * std::cos(phi0), wz = y * std::cos(phi0) + z * std::sin(phi0);
    double lat = std::asin(std::fmax(-1.0, std::fmin(1.0, wz))) * 180.0 / M_PI, lon = std::atan2(x, wx) * 180.0 / M_PI;
    int cellRow = std::min(kGlobeLayerHeight - 1, (int)std::floor((lat + 90.0) * 6.0));
    int cellColumn = (int)std::floor((lon + 180.0) * 6.0) % kGlobeLayerWidth;
    return (int64_t)cellRow * kGlobeLayerWidth + cellColumn + shift;
}

// Pixels of the image that differ from the naive renderer, and pixels of the disk.
void CompareWithNaive(int r, double viewLat, double lon, int* differing, int* disk) {
    const GlobeBuffers& b = globeBuffers;
    int side = 2 * r, hMargin = (b.imageWidth - side) / 2, vMargin = (b.imageHeight - side) / 2;
    *differing = *disk = 0;
    for (int row = 0; row < b.imageHeight; row++)
        for (int x = 0; x < b.imageWidth; x++) {
            int c = x - hMargin, sr = row - vMargin;
            int64_t o = c >= 0 && c < side && sr >= 0 && sr < side ? NaiveOffset(c, sr, r, viewLat, GlobeShift(lon, 2160)) : -1;
            int inside = o >= 0 && o < kGlobeLayerBytes;
            *disk += inside;
            *differing += StoredPixel(x, row) != (inside ? PaletteColour(CellValue((size_t)o)) : 0);
        }
}

TEST_F(GlobeTest, FramesMatchNaiveOrthographicRenderer) {
    struct View {
        int width, height, size;
    } views[] = {{665, 499, 3}, {532, 399, 2}, {301, 230, 0}};
    for (const View& v : views) {
        ReleaseGlobeBuffers();
        ASSERT_EQ(AllocateGlobeBuffers(v.width, v.height), 1);
        FillDistinctLayers();
        int r = GlobeRadius(v.size);
        for (int tilt : {0, 3}) {  // over the pole, and tilted to the south
            double viewLat = 90.0 - 45.0 * tilt;
            WriteRoot("globe\\t.flt", EncodeGlobeFilter(r, viewLat));
            ASSERT_EQ(LoadGlobeFilter(viewLat, "globe\\t.flt", 0, 0), 1);
            for (double lon : {0.0, 359.9, 47.3, -101.0, 180.0, -180.0}) {
                ClearGlobeImage();
                ASSERT_EQ(ComposeGlobeFrame(lon, kGlobeImagery), 1);
                int differing, disk;
                CompareWithNaive(r, viewLat, lon, &differing, &disk);
                // The table was built with other formulas: a pixel whose centre lies within
                // rounding of a cell's edge may read the neighbouring cell, and no others.
                EXPECT_GT(disk, 3 * r * r);
                EXPECT_LE(differing, disk / 500) << v.width << "x" << v.height << " tilt " << tilt << " lon " << lon;
            }
        }
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(GlobeFrame, ShiftOfCentreLongitude) {
    struct Case {
        double lon;
        int width, shift;
    } cases[] = {{0.0, 2160, 0}, {359.9, 2160, 2159}, {-180.0, 2160, 1080}, {180.0, 2160, 1080}, {-0.1, 2160, 2159},
                 {-1e-18, 2160, 0}, {725.0, 2160, 30}, {-90.0, 2000, 1500}, {NAN, 2160, 0}};
    for (const Case& c : cases) EXPECT_EQ(GlobeShift(c.lon, c.width), c.shift) << c.lon << " over " << c.width;
}

// A 4 x 4 table (radius 2) in an 8 x 6 viewport: columns 2..5, rows 1..4 from the bottom.
struct SmallFrame : GlobeTest {
    std::vector<int32_t> entries = std::vector<int32_t>(16, -1);
    void SetUp() override {
        GlobeTest::SetUp();
        ASSERT_EQ(AllocateGlobeBuffers(8, 6), 1);
        for (int i = 0; i < 256; i++) globeBuffers.paletteBuf[i] = MakeColour(i, 0, 255 - i);
        for (int o = 0; o < kGlobeLayerBytes; o++) GlobeLayerA()[o] = (uint8_t)(o % 251);
        globeBuffers.layerBytes = kGlobeLayerBytes;
    }
    void Load(int alignBottom = 0, int alignTop = 0) {
        WriteRoot("globe\\small.flt", FilterFile(2, entries));
        ASSERT_EQ(LoadGlobeFilter(45.0, "globe\\small.flt", alignBottom, alignTop), 1);
    }
    void Paint(uint8_t v) { memset(globeBuffers.bmpDataBits, v, (size_t)globeBuffers.rowBytes * 6); }
    ColourRef Of(int o) { return MakeColour(o % 251, 0, 255 - o % 251); }
};

TEST_F(SmallFrame, EntriesThatAreNotDrawn) {
    entries = {-1, 100, -5, kGlobeLayerBytes - 1, kGlobeLayerWidth - 1, -2000000, 999, 1000, -1, -1, -1, -1, -1, -1, -1, -1};
    Load();
    const ColourRef marker = MakeColour(9, 9, 9);
    Paint(9);
    globeBuffers.layerBytes = 1000;  // a layer read only in part
    double shiftSix = 360.0 / kGlobeLayerWidth * 6.01;
    ASSERT_EQ(ComposeGlobeFrame(shiftSix, kGlobeImagery), 1);
    ColourRef row1[4] = {marker, Of(106), Of(1), marker};   // -1 kept; -5 + 6 is a plain sum
    ColourRef row2[4] = {marker, marker, marker, marker};   // past the part read, or negative
    for (int c = 0; c < 4; c++) {
        EXPECT_EQ(StoredPixel(2 + c, 1), row1[c]) << c;
        EXPECT_EQ(StoredPixel(2 + c, 2), row2[c]) << c;
    }
    // With the whole layer, the last column continues on the next row's start.
    globeBuffers.layerBytes = kGlobeLayerBytes;
    ASSERT_EQ(ComposeGlobeFrame(shiftSix, kGlobeImagery), 1);
    EXPECT_EQ(StoredPixel(2, 2), Of(kGlobeLayerWidth + 5));
    EXPECT_EQ(StoredPixel(4, 2), Of(1005));
    EXPECT_EQ(StoredPixel(5, 1), marker);  // the last cell shifted past the end
    for (int x = 0; x < 8; x++) EXPECT_EQ(StoredPixel(x, 0), marker) << "outside the table's square";
}

TEST_F(SmallFrame, WhereTheTableLands) {
    for (int k = 0; k < 16; k++) entries[(size_t)k] = k;
    // The image row of the table's row 0, from the bottom: centred, align-top, align-bottom.
    const int firstRow[3][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 2}};
    for (const auto& c : firstRow) {
        Load(c[0], c[1]);
        Paint(0);
        ASSERT_EQ(ComposeGlobeFrame(0.0, kGlobeImagery), 1);
        for (int k = 0; k < 16; k++) EXPECT_EQ(StoredPixel(2 + k % 4, c[2] + k / 4), Of(k));
    }
    // A table larger than the image, margins (8 - 20) / 2 and (6 - 20) / 2, is cut at its edges.
    std::vector<int32_t> big(400);
    for (int k = 0; k < 400; k++) big[(size_t)k] = k;
    WriteRoot("globe\\big.flt", FilterFile(10, big));
    ASSERT_EQ(LoadGlobeFilter(0.0, "globe\\big.flt", 0, 0), 1);
    ASSERT_EQ(ComposeGlobeFrame(0.0, kGlobeImagery), 1);
    EXPECT_EQ(StoredPixel(0, 0), Of(7 * 20 + 6));
    EXPECT_EQ(StoredPixel(7, 5), Of(12 * 20 + 13));
}

TEST_F(SmallFrame, ColoursOfEveryImageType) {
    entries[0] = 0;
    Load();
    ColourRef* P = globeBuffers.paletteBuf;
    P[0] = MakeColour(10, 20, 30), P[9] = MakeColour(9, 99, 199), P[10] = MakeColour(200, 100, 51);
    P[254] = MakeColour(254, 254, 254), P[255] = MakeColour(255, 255, 255);
    const ColourRef navy = MakeColour(0, 0, 128);
    struct Case {
        int type, overlay, flood, level, a, b;
        ColourRef expected;
    } cases[] = {
        {kGlobeImagery, 0, 0, 0, 9, 0, P[9]},
        {kGlobeImagery, 0, 0, 0, 0, 0, P[0]},
        {kGlobeRelief, 0, 0, 0, 9, 77, P[9]},
        {kGlobeRelief, 0, 0, 0, 0, 77, navy},
        {kGlobeElevation, 0, 0, 0, 128, 10, MakeColour(100, 50, 25)},  // shaded: x 128 / 256, truncated
        {kGlobeElevation, 0, 0, 0, 255, 10, MakeColour(199, 99, 50)},
        {kGlobeElevation, 0, 0, 0, 0, 10, navy},
        {kGlobeElevation, 0, 1, 0, 128, 10, MakeColour(100, 50, 25)},   // level 0 floods nothing
        {kGlobeElevation, 0, 1, 10, 128, 10, MakeColour(100, 50, 25)},
        {kGlobeElevation, 0, 1, 11, 128, 10, navy},
        {kGlobeElevation, 0, 1, 255, 128, 254, navy},                   // 255 leaves only class 255
        {kGlobeElevation, 0, 1, 255, 128, 255, MakeColour(127, 127, 127)},
        {kGlobeElevation, 0, 0, 255, 128, 0, MakeColour(5, 10, 15)},    // the level counts only when flooding
        {kGlobeOverlay, kOverlayOceanVegetation, 0, 0, 0, 10, P[10]},   // coloured sea, grey land
        {kGlobeOverlay, kOverlayOceanVegetation, 0, 0, 77, 10, MakeColour(77, 77, 77)},
        {kGlobeOverlay, kOverlayTemperature, 0, 0, 0, 10, navy},        // coloured land, navy sea
        {kGlobeOverlay, kOverlayLandVegetation, 0, 0, 77, 9, P[9]},
    };
    for (const Case& c : cases) {
        globeView.overlay = c.overlay, globeView.floodMode = c.flood, globeView.floodLevel = c.level;
        GlobeLayerA()[0] = (uint8_t)c.a, GlobeLayerB()[0] = (uint8_t)c.b;
        Paint(1);
        ASSERT_EQ(ComposeGlobeFrame(0.0, c.type), 1);
        EXPECT_EQ(StoredPixel(2, 1), c.expected) << "type " << c.type << " overlay " << c.overlay << " flood " << c.flood
                                                  << "/" << c.level << " A " << c.a << " B " << c.b;
    }
}

// The viewport goes to (x, y) and nowhere else; an overlay's title goes on the left half of the
// status line, which is restored once when the overlay goes off.
TEST_F(GlobeTest, WholeFrameOnTheWindow) {
    Surface* window = CreateSurface(800, 600);
    EXPECT_EQ(DrawGlobe(window, 16, 39, 0.0, kGlobeImagery), 0);
    EXPECT_EQ(TestLastMessage(), "rotationFilter[] not allocated yet");
    Surface* savedVirtual = hbmVirtual;
    hbmVirtual = CreateSurface(800, 600);
    const ColourRef background = MakeColour(10, 60, 90), old = MakeColour(200, 0, 200);
    FillRect(hbmVirtual, Rect{0, 0, 800, 600}, background);
    FillRect(window, Rect{0, 0, 800, 600}, old);
    ASSERT_EQ(AllocateGlobeBuffers(665, 499), 1);
    FillDistinctLayers();
    WriteRoot("globe\\03_02.FLT", EncodeGlobeFilter(GlobeRadius(3), 0.0));
    ASSERT_EQ(LoadGlobeFilter(0.0, "globe\\03_02.FLT", 0, 0), 1);
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeImagery), 1);
    EXPECT_EQ(GetPixel(window, 15, 39), old);
    EXPECT_EQ(GetPixel(window, 16 + 665, 100), old);
    EXPECT_EQ(GetPixel(window, 16, 39), MakeColour(0, 0, 0));
    EXPECT_EQ(GetPixel(window, 216, 239), GetPixel(globeBuffers.output, 200, 200));
    EXPECT_EQ(GetPixel(window, statusRect.left + 5, statusRect.top + 5), old);

    auto titlePixels = [&](int whiteOnly) {
        int n = 0;
        for (int y = statusRect.top; y < statusRect.bottom; y++)
            for (int x = statusRect.left; x < (statusRect.left + statusRect.right) / 2; x++) {
                ColourRef c = GetPixel(window, x, y);
                n += whiteOnly ? ColourRed(c) > 200 && ColourGreen(c) > 200 && ColourBlue(c) > 200 : c != background;
            }
        return n;
    };
    globeView.overlay = kOverlayTemperature;
    globeView.overlayTitle = "Avg. Temperature, degrees C (March)";
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeOverlay), 1);
    EXPECT_GT(titlePixels(0), 20);  // glyph edges are blended with the background
    EXPECT_GT(titlePixels(1), 0);
    EXPECT_EQ(GetPixel(window, statusRect.right - 3, statusRect.top + 3), old);
    globeView.overlay = kOverlayNone;
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeRelief), 1);
    EXPECT_EQ(titlePixels(0), 0);
    FillRect(window, Rect{statusRect.left, statusRect.top, statusRect.left + 10, statusRect.bottom}, old);
    ASSERT_EQ(DrawGlobe(window, 16, 39, 30.0, kGlobeRelief), 1);
    EXPECT_EQ(GetPixel(window, statusRect.left + 1, statusRect.top + 1), old);  // restored once only
    DeleteSurface(window);
    DeleteSurface(hbmVirtual);
    hbmVirtual = savedVirtual;
}

}  // namespace
