// Drawing surfaces: line end points, XOR, rectangles, clipping, text alignment, blits.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

const ColourRef kWhite = MakeColour(255, 255, 255);
const ColourRef kBlack = MakeColour(0, 0, 0);

int CountColour(Surface* s, ColourRef c) {
    int n = 0;
    for (int y = 0; y < SurfaceHeight(s); y++)
        for (int x = 0; x < SurfaceWidth(s); x++) n += GetPixel(s, x, y) == c;
    return n;
}

TEST(Surface, ThinLinesLeaveOutTheirLastPoint) {
    Surface* s = CreateSurface(20, 20);
    SetPen(s, PEN_SOLID, 1, kWhite);
    MoveTo(s, 2, 5);
    LineTo(s, 12, 5);
    EXPECT_EQ(GetPixel(s, 2, 5), kWhite);
    EXPECT_EQ(GetPixel(s, 11, 5), kWhite);
    EXPECT_EQ(GetPixel(s, 12, 5), kBlack);
    EXPECT_EQ(CountColour(s, kWhite), 10);
    DeleteSurface(s);
}

TEST(Surface, XorTwiceRestoresTheImage) {
    Surface* s = CreateSurface(30, 30);
    FillRect(s, Rect{0, 0, 15, 30}, MakeColour(200, 100, 50));
    SetRasterOp(s, ROP_XOR);
    SetPen(s, PEN_SOLID, 1, kWhite);
    Point box[5] = {{3, 3}, {25, 3}, {25, 25}, {3, 25}, {3, 3}};
    Polyline(s, box, 5);
    EXPECT_EQ(GetPixel(s, 3, 3), MakeColour(55, 155, 205));
    EXPECT_EQ(GetPixel(s, 20, 3), kWhite);
    Polyline(s, box, 5);
    EXPECT_EQ(GetPixel(s, 3, 3), MakeColour(200, 100, 50));
    EXPECT_EQ(GetPixel(s, 20, 3), kBlack);
    DeleteSurface(s);
}

TEST(Surface, RectangleFillsInsideAndOutlinesWithPen) {
    Surface* s = CreateSurface(20, 20);
    SetPen(s, PEN_SOLID, 1, kWhite);
    SetSolidBrush(s, MakeColour(0, 0, 255));
    RectangleShape(s, 2, 2, 10, 8);
    EXPECT_EQ(GetPixel(s, 2, 2), kWhite);
    EXPECT_EQ(GetPixel(s, 9, 7), kWhite);
    EXPECT_EQ(GetPixel(s, 5, 5), MakeColour(0, 0, 255));
    EXPECT_EQ(GetPixel(s, 10, 8), kBlack);  // right and bottom are exclusive
    SetNullBrush(s);
    RectangleShape(s, 12, 12, 18, 18);
    EXPECT_EQ(GetPixel(s, 14, 14), kBlack);
    DeleteSurface(s);
}

TEST(Surface, ClipRectangleLimitsDrawing) {
    Surface* s = CreateSurface(20, 20);
    SetClipRect(s, Rect{5, 5, 10, 10});
    FillRect(s, Rect{0, 0, 20, 20}, kWhite);
    EXPECT_EQ(CountColour(s, kWhite), 25);
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 0, 0));
    MoveTo(s, 0, 7);
    LineTo(s, 20, 7);
    EXPECT_EQ(GetPixel(s, 4, 7), kBlack);
    EXPECT_EQ(GetPixel(s, 9, 7), MakeColour(255, 0, 0));
    ClearClip(s);
    FillRect(s, Rect{0, 0, 1, 1}, kWhite);
    EXPECT_EQ(GetPixel(s, 0, 0), kWhite);
    DeleteSurface(s);
}

TEST(Surface, TextAlignmentPlacesTheBox) {
    Surface* s = CreateSurface(200, 60);
    FontSpec f;
    f.pixelHeight = 16;
    SetFont(s, f);
    SetTextColour(s, kWhite);
    SetBackgroundMode(s, BK_TRANSPARENT);
    Point extent = TextExtent(s, "MMMM");
    EXPECT_GT(extent.x, 20);
    EXPECT_GE(extent.y, 16);
    SetTextAlign(s, TA_RIGHT | TA_TOP);
    TextOut(s, 100, 10, "MMMM");
    int minX = 1000, maxX = -1;
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 200; x++)
            if (GetPixel(s, x, y) != kBlack) minX = std::min(minX, x), maxX = std::max(maxX, x);
    EXPECT_LE(maxX, 100);
    EXPECT_GE(minX, 100 - extent.x - 1);
    // Opaque background fills the whole text box.
    Surface* t = CreateSurface(100, 40);
    SetFont(t, f);
    SetBackgroundMode(t, BK_OPAQUE);
    SetBackgroundColour(t, MakeColour(0, 255, 0));
    SetTextAlign(t, TA_LEFT | TA_BASELINE);
    TextOut(t, 10, 30, "a");
    EXPECT_EQ(GetPixel(t, 10, 30 - FontAscent(t)), MakeColour(0, 255, 0));
    DeleteSurface(t);
    DeleteSurface(s);
}

TEST(Surface, BlitClipsAgainstBothImages) {
    Surface* src = CreateSurface(10, 10);
    FillRect(src, Rect{0, 0, 10, 10}, MakeColour(1, 2, 3));
    Surface* dst = CreateSurface(8, 8);
    Blit(dst, -5, -5, 10, 10, src, 0, 0);
    EXPECT_EQ(GetPixel(dst, 0, 0), MakeColour(1, 2, 3));
    EXPECT_EQ(GetPixel(dst, 4, 4), MakeColour(1, 2, 3));
    EXPECT_EQ(GetPixel(dst, 5, 5), kBlack);
    Blit(dst, 6, 6, 100, 100, src, 8, 8);  // only 2x2 remain in the source
    EXPECT_EQ(GetPixel(dst, 7, 7), MakeColour(1, 2, 3));
    EXPECT_EQ(GetPixel(dst, 100, 100), 0xFFFFFFFFu);  // outside reads as invalid
    DeleteSurface(src);
    DeleteSurface(dst);
}

TEST(Surface, PaletteAndBgrImages) {
    Surface* s = CreateSurface(4, 2);
    ColourRef palette[256] = {};
    palette[5] = MakeColour(9, 8, 7);
    uint8_t indices[8] = {5, 0, 0, 0, 0, 0, 0, 5};
    DrawPaletteImage(s, 0, 0, indices, 4, 2, 4, palette);
    EXPECT_EQ(GetPixel(s, 0, 0), MakeColour(9, 8, 7));
    EXPECT_EQ(GetPixel(s, 3, 1), MakeColour(9, 8, 7));
    uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
    DrawBgrImage(s, 2, 0, bgr, 2, 1, 6);
    EXPECT_EQ(GetPixel(s, 2, 0), MakeColour(3, 2, 1));
    EXPECT_EQ(GetPixel(s, 3, 0), MakeColour(6, 5, 4));
    DeleteSurface(s);
    EXPECT_EQ(CreateSurface(0, 10), nullptr);
    EXPECT_EQ(CreateSurface(100000, 10), nullptr);
}

}  // namespace
