// The flyby palette and its haze table. 240 entries are a colour cube of 6 reds, 8 greens and
// 5 blues (the eye tells greens apart best); then the sky's horizon colour, which the haze
// fades into; the last 15 are the land colours of the imagery that are most common among
// those the cube matches worst, so forests, deserts and fields keep their tints after the
// reduction to 256 colours.
#include <algorithm>
#include <cmath>

#include "flyby/flyby.h"
#include "flyby_build.h"

namespace {

constexpr int kCubeReds = 6, kCubeGreens = 8, kCubeBlues = 5;
constexpr int kCubeEntries = kCubeReds * kCubeGreens * kCubeBlues;

int Level(int i, int levels) { return (int)std::lround(i * 255.0 / (levels - 1)); }

long Distance(const std::vector<uint8_t>& palette, int i, int red, int green, int blue) {
    long dr = red - palette[3 * i], dg = green - palette[3 * i + 1], db = blue - palette[3 * i + 2];
    return dr * dr + dg * dg + db * db;
}

}  // namespace

int NearestFlybyIndex(const std::vector<uint8_t>& palette, int red, int green, int blue, int skipZero) {
    int best = skipZero ? 1 : 0;
    long bestDistance = Distance(palette, best, red, green, blue);
    for (int i = best + 1; i < 256; i++) {
        long d = Distance(palette, i, red, green, blue);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

std::vector<uint32_t> LandColours(const std::vector<float>& heights, const std::vector<float> bands[3]) {
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < heights.size() && i < bands[0].size(); i++)
        if (heights[i] > 0) {
            auto channel = [&](int b) { return (uint32_t)std::clamp((int)std::lround(bands[b][i]), 0, 255); };
            colours.push_back(channel(0) << 16 | channel(1) << 8 | channel(2));
        }
    return colours;
}

std::vector<uint8_t> BuildFlybyPalette(const std::vector<uint32_t>& landRgb) {
    std::vector<uint8_t> palette(768, 0);
    for (int r = 0; r < kCubeReds; r++)
        for (int g = 0; g < kCubeGreens; g++)
            for (int b = 0; b < kCubeBlues; b++) {
                int i = (r * kCubeGreens + g) * kCubeBlues + b;
                palette[3 * i] = (uint8_t)Level(r, kCubeReds);
                palette[3 * i + 1] = (uint8_t)Level(g, kCubeGreens);
                palette[3 * i + 2] = (uint8_t)Level(b, kCubeBlues);
            }
    // A histogram of the land colours on 5 bits a channel, each bin weighed by how many cells
    // fall in it and how badly the cube matches its middle.
    std::vector<long> count(32768, 0);
    for (uint32_t c : landRgb) count[((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31)]++;
    struct Bin {
        double weight;
        int red, green, blue;
    };
    std::vector<Bin> bins;
    for (int k = 0; k < 32768; k++) {
        if (!count[k]) continue;
        int red = (k >> 10) * 8 + 4, green = ((k >> 5) & 31) * 8 + 4, blue = (k & 31) * 8 + 4;
        long nearest = 1L << 40;
        for (int i = 0; i < kCubeEntries; i++) nearest = std::min(nearest, Distance(palette, i, red, green, blue));
        bins.push_back(Bin{(double)count[k] * std::sqrt((double)nearest), red, green, blue});
    }
    std::sort(bins.begin(), bins.end(), [](const Bin& a, const Bin& b) { return a.weight > b.weight; });
    // The horizon's colour first: the farthest terrain fades into it exactly.
    palette[3 * kCubeEntries] = (uint8_t)(kFlybyHorizonRgb >> 16);
    palette[3 * kCubeEntries + 1] = (uint8_t)(kFlybyHorizonRgb >> 8);
    palette[3 * kCubeEntries + 2] = (uint8_t)kFlybyHorizonRgb;
    int next = kCubeEntries + 1;
    for (const Bin& b : bins) {
        if (next == 256) break;
        // Keep the extra entries apart from each other: 12 steps of a channel at least.
        int close = 0;
        for (int i = kCubeEntries; i < next && !close; i++) close = Distance(palette, i, b.red, b.green, b.blue) < 144;
        if (close) continue;
        palette[3 * next] = (uint8_t)b.red;
        palette[3 * next + 1] = (uint8_t)b.green;
        palette[3 * next + 2] = (uint8_t)b.blue;
        next++;
    }
    for (; next < 256; next++)  // imagery with fewer distinct colours: greys fill the rest
        palette[3 * next] = palette[3 * next + 1] = palette[3 * next + 2] = (uint8_t)((next - kCubeEntries) * 16 + 8);
    return palette;
}

std::vector<uint8_t> BuildHazeTable(const std::vector<uint8_t>& palette) {
    std::vector<uint8_t> table((size_t)kFlybyHazeLevels * 256);
    int hr = (kFlybyHorizonRgb >> 16) & 255, hg = (kFlybyHorizonRgb >> 8) & 255, hb = kFlybyHorizonRgb & 255;
    for (int k = 0; k < kFlybyHazeLevels; k++)
        for (int i = 0; i < 256; i++) {
            if (k == 0) {
                table[(size_t)i] = (uint8_t)i;
                continue;
            }
            double t = (double)k / (kFlybyHazeLevels - 1);
            int red = (int)std::lround(palette[3 * i] + (hr - palette[3 * i]) * t);
            int green = (int)std::lround(palette[3 * i + 1] + (hg - palette[3 * i + 1]) * t);
            int blue = (int)std::lround(palette[3 * i + 2] + (hb - palette[3 * i + 2]) * t);
            table[(size_t)k * 256 + i] = (uint8_t)NearestFlybyIndex(palette, red, green, blue, 0);
        }
    return table;
}
