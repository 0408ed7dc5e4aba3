// Art and grids for the flyby renderer's tests and its benchmark, made in memory: a palette
// of a colour cube with two colours kept for the sprites and the marker alone, a haze table
// toward a pale blue, tree and marker sprites, a sky whose every pixel tells its place, and
// grids of smooth hills.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "flyby/flyby.h"

namespace flyby_fixture {

constexpr int kTreeIndex = 250;     // (255, 0, 200): only the tree sprites use it
constexpr int kMarkerIndex = 251;   // (0, 200, 255): only the marker uses it
constexpr int kGreenIndex = 1 + 0 * 36 + 3 * 6 + 0;   // (0, 153, 0) in the cube
constexpr int kGreenRamp = 216;   // 217 .. 231: the green's mixes with the haze colour
constexpr int kSkyWidth = 1024, kSkyHeight = 120;
constexpr uint32_t kHazeRgb = 0xC8D2E1;

inline void MakePalette(ColourRef palette[256]) {
    palette[0] = MakeColour(0, 0, 0);
    for (int i = 0; i < 216; i++) palette[1 + i] = MakeColour(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51);
    for (int i = 217; i < 256; i++) palette[i] = MakeColour((i - 217) * 6, (i - 217) * 6, (i - 217) * 6 + 10);
    // The green of the cube taken step by step to the haze colour, so that the haze table
    // holds its exact mixes.
    for (int k = 1; k < kFlybyHazeLevels; k++)
        palette[kGreenRamp + k] = MakeColour(200 * k / 15, 153 + (210 - 153) * k / 15, 225 * k / 15);
    palette[kTreeIndex] = MakeColour(255, 0, 200);
    palette[kMarkerIndex] = MakeColour(0, 200, 255);
    palette[255] = MakeColour(kHazeRgb >> 16, (kHazeRgb >> 8) & 255, kHazeRgb & 255);
}

// The palette entry nearest to a colour, searched through the whole palette.
inline int NearestIndex(const FlybyArt& art, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 256; i++) {
        ColourRef c = art.palette[i];
        int d = (ColourRed(c) - r) * (ColourRed(c) - r) + (ColourGreen(c) - g) * (ColourGreen(c) - g) + (ColourBlue(c) - b) * (ColourBlue(c) - b);
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

// Row k: colour i taken k / (levels - 1) of the way to the haze colour.
inline void MakeHaze(FlybyArt* art) {
    int hr = kHazeRgb >> 16, hg = (kHazeRgb >> 8) & 255, hb = kHazeRgb & 255;
    for (int k = 0; k < kFlybyHazeLevels; k++)
        for (int i = 0; i < 256; i++) {
            ColourRef c = art->palette[i];
            auto mix = [&](int a, int h) { return a + (h - a) * k / (kFlybyHazeLevels - 1); };
            art->haze[k][i] = k == 0 ? (uint8_t)i
                                     : (uint8_t)NearestIndex(*art, mix(ColourRed(c), hr), mix(ColourGreen(c), hg), mix(ColourBlue(c), hb));
        }
}

// A fir of kTreeIndex: a triangle on a trunk, its foot at the middle of the bottom row.
inline FlybySprite MakeTree() {
    FlybySprite s;
    s.width = s.height = kFlybySpriteSize;
    s.pixels.assign(kFlybySpriteSize * kFlybySpriteSize, 0);
    int n = kFlybySpriteSize;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            int half = r * n / 2 / (n - 8);   // the crown widens downward
            bool crown = r < n - 8 && std::abs(c - n / 2) <= half;
            bool trunk = r >= n - 8 && std::abs(c - n / 2) <= 2;
            if (crown || trunk) s.pixels[r * n + c] = kTreeIndex;
        }
    return s;
}

inline FlybySprite MakeMarker() {
    FlybySprite s;
    s.width = s.height = 16;
    s.pixels.assign(256, 0);
    for (int r = 2; r < 14; r++)
        for (int c = 2; c < 14; c++) s.pixels[r * 16 + c] = kMarkerIndex;
    return s;
}

// The sky pixel at column c and row r tells both: red and green the column, blue the row.
inline uint32_t SkyColour(int c, int r) { return 0xFF000000u | (uint32_t)(c & 255) << 16 | (uint32_t)(c >> 8) << 8 | (uint32_t)r; }

inline std::unique_ptr<FlybyArt> MakeArt() {
    auto art = std::make_unique<FlybyArt>();
    MakePalette(art->palette);
    BuildInverseColourTable(art->palette, art->inverse);
    MakeHaze(art.get());
    for (int c = 1; c < kFlybyClasses; c++) art->classSprites[c] = MakeTree();
    art->airport = MakeMarker();
    art->skyWidth = kSkyWidth;
    art->skyHeight = kSkyHeight;
    art->sky.resize(kSkyWidth * kSkyHeight);
    for (int r = 0; r < kSkyHeight; r++)
        for (int c = 0; c < kSkyWidth; c++) art->sky[r * kSkyWidth + c] = SkyColour(c, r);
    art->loaded = 1;
    return art;
}

// Grids with every cell from functions of (row, column); classes 0, no names.
template <typename Height, typename Colour>
FlybyGrids MakeGrids(Height height, Colour colour) {
    FlybyGrids g{};
    size_t n = (size_t)kFlybyGrid * kFlybyGrid;
    g.heights.resize(n);
    g.colours.resize(n);
    g.classes.assign(n, 0);
    g.imagery.assign(n * 3, 0);
    for (int r = 0; r < kFlybyGrid; r++)
        for (int c = 0; c < kFlybyGrid; c++) {
            g.heights[(size_t)r * kFlybyGrid + c] = (float)height(r, c);
            g.colours[(size_t)r * kFlybyGrid + c] = (uint8_t)colour(r, c);
        }
    g.west = 1000, g.east = 1512, g.north = 2000, g.south = 2512;
    g.prepared = 1;
    return g;
}

// Rolling hills up to about 8 units (4 km) over a plain, features 30 cells and more across.
inline double Hills(int r, int c) {
    double h = 3.0 + 2.2 * std::sin(r * 0.043) * std::cos(c * 0.051) + 1.6 * std::sin((r + 2 * c) * 0.021 + 1.3) +
               1.2 * std::cos((3 * r - c) * 0.017);
    return std::max(0.0, h);
}

// Colours of the cube varying slowly over the grid.
inline int HillColour(int r, int c) { return 1 + (r / 40 % 6) * 36 + (2 + c / 90 % 4) * 6 + (r + c) / 100 % 3; }

}  // namespace flyby_fixture
