// The extruded chart's row walk on small hand-made images, against a plain reading of the
// rules drawn pixel by pixel: side colours by what lies right, below-right and below, border
// lines as high as their highest neighbour, nothing on the first and last rows' sides, and
// nothing above the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stats/stats_screen.h"

namespace {

constexpr ColourRef kWhite = MakeColour(255, 255, 255), kLight = MakeColour(196, 196, 196), kMedium = MakeColour(150, 150, 150),
                    kDark = MakeColour(120, 120, 120);

struct Image {
    int w, h;
    std::vector<uint8_t> p;
    int at(int x, int y) const { return p[(size_t)y * w + x]; }
};

int HeightOf(const int heights[256], int p) { return p >= 1 && p <= 253 ? std::max(heights[p], 0) : 0; }

// The rules read literally, one SetPixel at a time.
void NaiveChart(Surface* s, int x0, int y0, const Image& img, const ColourRef palette[256], const int heights[256]) {
    auto line = [&](int x, int y, int h, ColourRef c) {
        for (int k = 0; k < h; k++)
            if (y - k >= y0) SetPixel(s, x, y - k, c);
    };
    auto background = [](int p) { return p == 0 || p == 254; };
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            int p = img.at(x, y);
            if (background(p)) continue;
            int edge = y == 0 || y == img.h - 1;
            if (p == 255) {
                int h = 0;
                if (!edge)
                    for (int dy = -1; dy <= 1; dy++)
                        for (int dx = -1; dx <= 1; dx++)
                            if ((dx || dy) && x + dx >= 0 && x + dx < img.w) h = std::max(h, HeightOf(heights, img.at(x + dx, y + dy)));
                line(x0 + x, y0 + y, h, kWhite);
                continue;
            }
            ColourRef side = kWhite;
            if (!edge) {
                int right = x + 1 < img.w ? img.at(x + 1, y) : 0;
                int belowRight = x + 1 < img.w ? img.at(x + 1, y + 1) : 0;
                if (background(right)) side = kLight;
                else if (background(belowRight)) side = kMedium;
                else if (background(img.at(x, y + 1))) side = kDark;
            }
            int h = HeightOf(heights, p);
            line(x0 + x, y0 + y, h, side);
            if (y0 + y - h >= y0) SetPixel(s, x0 + x, y0 + y - h, palette[p]);
        }
}

void Flat(Surface* s, int x0, int y0, const Image& img, const ColourRef palette[256]) {
    FillRect(s, Rect{0, 0, SurfaceWidth(s), SurfaceHeight(s)}, MakeColour(9, 9, 9));
    DrawPaletteImage(s, x0, y0, img.p.data(), img.w, img.h, img.w, palette);
}

void ExpectSameAsNaive(const Image& img, const int heights[256], int x0, int y0) {
    ColourRef palette[256];
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(i, 255 - i, (i * 7) & 255);
    Surface* fast = CreateSurface(40, 40);
    Surface* naive = CreateSurface(40, 40);
    Flat(fast, x0, y0, img, palette);
    Flat(naive, x0, y0, img, palette);
    ExtrudeRegionImage(fast, x0, y0, img.p.data(), img.w, img.h, img.w, palette, heights);
    NaiveChart(naive, x0, y0, img, palette, heights);
    int differing = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++)
            if (GetPixel(fast, x, y) != GetPixel(naive, x, y) && differing++ < 5) ADD_FAILURE() << "at " << x << "," << y;
    EXPECT_EQ(differing, 0);
    DeleteSurface(fast);
    DeleteSurface(naive);
}

// Two countries side by side and one below, bordered, on both background shades.
Image Countries() {
    const char* rows[] = {
        "..........",
        ".BBBBBBB..",
        ".B111B22B,",
        ".B111B22B,",
        ".BBBBBBBB,",
        ".B3333B...",
        ".B3333B,,,",
        ".BBBBBB...",
        "..........",
    };
    Image img{10, 9, {}};
    for (const char* r : rows)
        for (int x = 0; x < 10; x++) img.p.push_back(r[x] == '.' ? 0 : r[x] == ',' ? 254 : r[x] == 'B' ? 255 : r[x] - '0');
    return img;
}

TEST(ChartWalk, SidesTopsAndBordersAsTheRulesSay) {
    int heights[256];
    std::fill(heights, heights + 256, -1);
    heights[1] = 3, heights[2] = 6, heights[3] = 2;
    ExpectSameAsNaive(Countries(), heights, 12, 14);
}

TEST(ChartWalk, BlocksTallerThanTheRowsAboveAreCutAtTheImageTop) {
    int heights[256];
    std::fill(heights, heights + 256, -1);
    heights[1] = 30, heights[2] = 0, heights[3] = 9;
    ExpectSameAsNaive(Countries(), heights, 5, 3);
}

TEST(ChartWalk, ACountryOnTheFirstAndLastRowsHasWhiteSides) {
    Image img{4, 3, {1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0}};
    int heights[256];
    std::fill(heights, heights + 256, 0);
    heights[1] = 4;
    ExpectSameAsNaive(img, heights, 10, 20);
    // Spelled out for a block one class high over a single-row strip: the side under the top
    // face is light (background to its right), the face one row up in the palette colour.
    Image strip{3, 3, {0, 0, 0, 0, 1, 0, 0, 0, 0}};
    heights[1] = 1;
    ColourRef palette[256] = {};
    palette[1] = MakeColour(1, 2, 3);
    Surface* s = CreateSurface(20, 30);
    ExtrudeRegionImage(s, 10, 20, strip.p.data(), 3, 3, 3, palette, heights);
    EXPECT_EQ(GetPixel(s, 11, 21), kLight);
    EXPECT_EQ(GetPixel(s, 11, 20), palette[1]);
    EXPECT_EQ(GetPixel(s, 11, 22), MakeColour(0, 0, 0));
}

}  // namespace
