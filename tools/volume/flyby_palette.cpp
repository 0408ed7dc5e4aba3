// The flyby palette and its haze table. 240 entries are a colour cube of 6 reds, 8 greens and
// 5 blues (the eye tells greens apart best); then the sky's horizon colour, which the haze
// fades into; the last 15 are fitted to the land colours of the imagery (seeded where the cube
// matches common colours worst, then moved by k-means), so forests, deserts and fields keep
// their tints after the reduction to 256 colours.
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
    for (size_t i = 0; i < heights.size() && i < bands[0].size(); i++) {
        // Cells shrink toward the poles: a row keeps one cell in 1 / cos(latitude), so that
        // each colour counts by the ground it covers and the ice sheets do not crowd out the rest.
        int row = (int)(i / kClassRasterColumns), column = (int)(i % kClassRasterColumns);
        double latitude = 90.0 - (row + 0.5) * 180.0 / kClassRasterRows;
        int step = std::max(1, (int)std::lround(1.0 / std::cos(latitude * M_PI / 180.0)));
        if (heights[i] > 0 && column % step == 0) {
            auto channel = [&](int b) { return (uint32_t)std::clamp((int)std::lround(bands[b][i]), 0, 255); };
            colours.push_back(channel(0) << 16 | channel(1) << 8 | channel(2));
        }
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
    // A histogram of the land colours on 5 bits a channel, with the mean colour of each bin.
    struct Bin {
        long count = 0;
        double red = 0, green = 0, blue = 0;
        double weight = 0;
    };
    std::vector<Bin> histogram(32768);
    for (uint32_t c : landRgb) {
        Bin& b = histogram[((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31)];
        b.count++;
        b.red += (c >> 16) & 255, b.green += (c >> 8) & 255, b.blue += c & 255;
    }
    std::vector<Bin> bins;
    for (Bin& b : histogram) {
        if (!b.count) continue;
        b.red /= b.count, b.green /= b.count, b.blue /= b.count;
        long nearest = 1L << 40;
        for (int i = 0; i < kCubeEntries; i++)
            nearest = std::min(nearest, Distance(palette, i, (int)std::lround(b.red), (int)std::lround(b.green), (int)std::lround(b.blue)));
        b.weight = (double)b.count * std::sqrt((double)nearest);
        bins.push_back(b);
    }
    std::sort(bins.begin(), bins.end(), [](const Bin& a, const Bin& b) { return a.weight > b.weight; });
    // The horizon's colour first: the farthest terrain fades into it exactly.
    palette[3 * kCubeEntries] = (uint8_t)(kFlybyHorizonRgb >> 16);
    palette[3 * kCubeEntries + 1] = (uint8_t)(kFlybyHorizonRgb >> 8);
    palette[3 * kCubeEntries + 2] = (uint8_t)kFlybyHorizonRgb;
    constexpr int kFirstExtra = kCubeEntries + 1;
    int next = kFirstExtra;
    // Seeds: the heaviest bins, kept at least 12 steps of a channel apart.
    for (const Bin& b : bins) {
        if (next == 256) break;
        int red = (int)std::lround(b.red), green = (int)std::lround(b.green), blue = (int)std::lround(b.blue);
        int close = 0;
        for (int i = kCubeEntries; i < next && !close; i++) close = Distance(palette, i, red, green, blue) < 144;
        if (close) continue;
        palette[3 * next] = (uint8_t)red;
        palette[3 * next + 1] = (uint8_t)green;
        palette[3 * next + 2] = (uint8_t)blue;
        next++;
    }
    int seeded = next;
    for (; next < 256; next++)  // imagery with fewer distinct colours: greys fill the rest
        palette[3 * next] = palette[3 * next + 1] = palette[3 * next + 2] = (uint8_t)((next - kCubeEntries) * 16 + 8);
    // Then a few rounds of k-means with the cube and the horizon held still: every bin goes to
    // its nearest entry, and each extra entry moves to the mean of the bins it took.
    for (int round = 0; round < 8; round++) {
        std::vector<Bin> taken(256);
        for (const Bin& b : bins) {
            int i = NearestFlybyIndex(palette, (int)std::lround(b.red), (int)std::lround(b.green), (int)std::lround(b.blue), 0);
            if (i < kFirstExtra || i >= seeded) continue;
            taken[i].count += b.count;
            taken[i].red += b.red * b.count, taken[i].green += b.green * b.count, taken[i].blue += b.blue * b.count;
        }
        for (int i = kFirstExtra; i < seeded; i++) {
            if (!taken[i].count) continue;
            palette[3 * i] = (uint8_t)std::lround(taken[i].red / taken[i].count);
            palette[3 * i + 1] = (uint8_t)std::lround(taken[i].green / taken[i].count);
            palette[3 * i + 2] = (uint8_t)std::lround(taken[i].blue / taken[i].count);
        }
    }
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
