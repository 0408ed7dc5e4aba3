// The pixel buffer layer: handles, clipping, lines, nearest colour, images and paste.
#include <gtest/gtest.h>

#include "imaging/imaging.h"

namespace {

struct PixelBufferTest : ::testing::Test {
    void SetUp() override { PbInitialise(); }
};

TEST_F(PixelBufferTest, HandlesAndActivation) {
    int a = PbCreate(10, 10);
    ASSERT_EQ(a, 0);
    EXPECT_EQ(PbActivate(32), -1);
    EXPECT_EQ(PbActivate(-1), -1);
    EXPECT_EQ(PbActivate(5), -2);
    EXPECT_EQ(PbActivate(a), 0);
    int b = PbCreate(4, 4);
    PbFree(a);  // the active buffer is not freed
    EXPECT_NE(PbAddress(a), nullptr);
    PbDeactivate();
    PbFree(a);
    EXPECT_EQ(PbActivate(a), -2);
    EXPECT_EQ(PbAddress(a), nullptr);
    EXPECT_EQ(PbAddress(32), nullptr);
    for (int i = 0; i < 31; i++) EXPECT_GE(PbCreate(1, 1), 0);
    EXPECT_EQ(PbCreate(1, 1), -1);  // all 32 in use
    (void)b;
}

TEST_F(PixelBufferTest, LinesAndPointsRespectTheClip) {
    int h = PbCreate(8, 8);
    PbActivate(h);
    PbSetClip(2, 5, 0, 7);
    PbSetColour(9);
    PbMove(0, 3);
    PbLineTo(7, 3);
    uint8_t* p = PbAddress(h);
    for (int x = 0; x < 8; x++) EXPECT_EQ(p[3 * 8 + x], (x >= 2 && x <= 5) ? 9 : 0) << x;
    PbPoint(6, 6);
    EXPECT_EQ(p[6 * 8 + 6], 0);
    PbPoint(-1, 100);  // far outside: ignored, not written
    PbSetClip(0, 7, 0, 7);
    PbMove(0, 0);
    PbLineTo(7, 7);
    for (int i = 0; i < 8; i++) EXPECT_EQ(p[i * 8 + i], 9);
}

TEST_F(PixelBufferTest, NearestColourLowerIndexWinsTies) {
    ColourRef palette[256];
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(255, 255, 255);
    palette[7] = MakeColour(10, 10, 10);
    palette[3] = MakeColour(30, 10, 10);
    palette[9] = MakeColour(10, 10, 10);
    PbSetPalette(palette);
    EXPECT_EQ(PbNearestColour(10, 10, 10), 7);
    EXPECT_EQ(PbNearestColour(20, 10, 10), 3);  // equally far from 3 and 7: 3 wins
    EXPECT_EQ(PbNearestColour(250, 250, 250), 0);
}

TEST_F(PixelBufferTest, GetPutScaleAndCopy) {
    int h = PbCreate(6, 6);
    PbActivate(h);
    uint8_t block[4] = {1, 2, 3, 4};
    PbMove(1, 1);
    PbPutImage(block, 2, 2);
    uint8_t back[4] = {0};
    PbGetImage(back, 2, 2);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 4), std::vector<uint8_t>(block, block + 4));
    uint8_t big[16];
    PbScaleImage(block, big, 2, 2, 4, 4);
    EXPECT_EQ(big[0], 1);
    EXPECT_EQ(big[3], 2);
    EXPECT_EQ(big[15], 4);
    int t = PbCreate(6, 6);
    PbCopyRegion(h, 1, 2, 1, 2, t, 4, 4);
    EXPECT_EQ(PbAddress(t)[4 * 6 + 4], 1);
    EXPECT_EQ(PbAddress(t)[5 * 6 + 5], 4);
}

// Every entry differs from its neighbours in red, green and blue alike, so a pixel drawn
// through the wrong entry, an entry off by one, or an index taken for a colour shows.
ColourRef Distinct(int i) { return MakeColour(i, 255 - i, (i * 37 + 11) & 255); }

TEST_F(PixelBufferTest, PasteDrawsThroughThePaletteWithLowerLeftAnchor) {
    Surface* s = CreateSurface(20, 20);
    PbSetSurface(s);
    ColourRef palette[256], later[256];
    for (int i = 0; i < 256; i++) palette[i] = Distinct(i), later[i] = Distinct(255 - i);
    PbSetPalette(palette);
    int h = PbCreate(4, 3);
    PbActivate(h);
    PbOpen();
    uint8_t* p = PbAddress(h);
    for (int i = 0; i < 12; i++) p[i] = (uint8_t)(i * 23);  // rows top first
    struct Mode { int indexMode; const ColourRef* afterChange; } modes[] = {
        {0, palette},  // the table was copied at open: a later palette changes nothing
        {1, later},    // indices into the palette realised at paste time
    };
    for (const Mode& m : modes) {
        PbSetPalette(palette);
        PbSetPaletteIndexMode(m.indexMode);
        PbOpen();
        PbPaste(0, 3, 0, 2, 5, 10);  // lower-left corner lands on (5, 10)
        for (int r = 0; r < 3; r++)
            for (int c = 0; c < 4; c++) ASSERT_EQ(GetPixel(s, 5 + c, 8 + r), palette[(r * 4 + c) * 23]) << m.indexMode << " " << c << "," << r;
        EXPECT_EQ(GetPixel(s, 9, 10), MakeColour(0, 0, 0));  // nothing beyond the rectangle
        PbSetPalette(later);
        PbPaste(1, 2, 1, 1, 0, 0);  // pixels (1, 1) and (2, 1): indices 115 and 138
        EXPECT_EQ(GetPixel(s, 0, 0), m.afterChange[115]) << m.indexMode;
        EXPECT_EQ(GetPixel(s, 1, 0), m.afterChange[138]) << m.indexMode;
    }
    PbDeactivate();
    PbFree(h);
    PbDeactivate();
    EXPECT_EQ(PbCurrentPalette()[200], MakeColour(200, 200, 200));  // the first palette is back
    DeleteSurface(s);
}

}  // namespace
