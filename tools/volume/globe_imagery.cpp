// The globe's imagery layer "globe\2160.bmp": the true-colour world reduced to 256 colours of
// its own (median cut over a colour histogram, refined by k-means) and written as an 8-bit BMP
// file with a 40-byte info header and its colour table. 2.3 million pixels take about a second.
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

#include "globe_build.h"
#include "platform/le_bytes.h"

namespace {

struct ColourPoint {
    float c[3];
    double weight;
};

struct Box {
    size_t begin, end;  // range of points
    double error;       // weighted squared distance of its points from their mean
    int channel;        // the channel of widest spread
};

void Measure(const std::vector<ColourPoint>& points, Box* box, float mean[3]) {
    double w = 0, s[3] = {0, 0, 0}, s2[3] = {0, 0, 0};
    for (size_t i = box->begin; i < box->end; i++) {
        const ColourPoint& p = points[i];
        w += p.weight;
        for (int k = 0; k < 3; k++) {
            s[k] += p.weight * p.c[k];
            s2[k] += p.weight * p.c[k] * p.c[k];
        }
    }
    box->error = 0;
    double widest = -1;
    for (int k = 0; k < 3; k++) {
        double spread = w > 0 ? s2[k] - s[k] * s[k] / w : 0;
        box->error += spread;
        if (spread > widest) widest = spread, box->channel = k;
        if (mean) mean[k] = w > 0 ? (float)(s[k] / w) : 0;
    }
    if (box->end - box->begin < 2) box->error = 0;
}

// Splits the box of largest error at the weighted median of its widest channel until there are
// nColours boxes or nothing left to split; returns the box means.
std::vector<std::array<float, 3>> MedianCut(std::vector<ColourPoint>& points, int nColours) {
    std::vector<Box> boxes(1, Box{0, points.size(), 0, 0});
    Measure(points, &boxes[0], nullptr);
    while ((int)boxes.size() < nColours) {
        size_t worst = 0;
        for (size_t i = 1; i < boxes.size(); i++)
            if (boxes[i].error > boxes[worst].error) worst = i;
        Box box = boxes[worst];
        if (box.error <= 0) break;
        int k = box.channel;
        std::sort(points.begin() + box.begin, points.begin() + box.end,
                  [k](const ColourPoint& a, const ColourPoint& b) { return a.c[k] < b.c[k]; });
        double total = 0, running = 0;
        for (size_t i = box.begin; i < box.end; i++) total += points[i].weight;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; i++) {
            running += points[i].weight;
            split = i + 1;
            if (running >= total / 2) break;
        }
        Box low{box.begin, split, 0, 0}, high{split, box.end, 0, 0};
        Measure(points, &low, nullptr);
        Measure(points, &high, nullptr);
        boxes[worst] = low;
        boxes.push_back(high);
    }
    std::vector<std::array<float, 3>> means(boxes.size());
    for (size_t i = 0; i < boxes.size(); i++) Measure(points, &boxes[i], means[i].data());
    return means;
}

int Nearest(const std::vector<std::array<float, 3>>& centres, const float c[3]) {
    int best = 0;
    float bestDistance = 1e30f;
    for (size_t j = 0; j < centres.size(); j++) {
        float d0 = c[0] - centres[j][0], d1 = c[1] - centres[j][1], d2 = c[2] - centres[j][2];
        float d = d0 * d0 + d1 * d1 + d2 * d2;
        if (d < bestDistance) bestDistance = d, best = (int)j;
    }
    return best;
}

// Lloyd iterations over the weighted histogram points.
void RefineKMeans(const std::vector<ColourPoint>& points, std::vector<std::array<float, 3>>* centres, int iterations) {
    size_t n = centres->size();
    std::vector<int> owner(points.size());
    for (int it = 0; it < iterations; it++) {
#pragma omp parallel for schedule(static)
        for (size_t i = 0; i < points.size(); i++) owner[i] = Nearest(*centres, points[i].c);
        std::vector<double> sums(n * 4, 0.0);
        for (size_t i = 0; i < points.size(); i++) {
            double* s = &sums[owner[i] * 4];
            for (int k = 0; k < 3; k++) s[k] += points[i].weight * points[i].c[k];
            s[3] += points[i].weight;
        }
        for (size_t j = 0; j < n; j++)
            if (sums[j * 4 + 3] > 0)
                for (int k = 0; k < 3; k++) (*centres)[j][k] = (float)(sums[j * 4 + k] / sums[j * 4 + 3]);
    }
}

// The distinct colours when there are no more than limit of them, else an empty list.
std::vector<uint32_t> FewColours(const uint8_t* rgb, size_t n, int limit) {
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i < n; i++) {
        seen.insert((uint32_t)rgb[3 * i] << 16 | (uint32_t)rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
        if ((int)seen.size() > limit) return {};
    }
    std::vector<uint32_t> out(seen.begin(), seen.end());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

void QuantiseColours(const uint8_t* rgb, size_t n, int maxColours, std::vector<uint8_t>* palette,
                     std::vector<uint8_t>* indices) {
    maxColours = std::max(1, std::min(256, maxColours));
    std::vector<std::array<float, 3>> centres;
    std::vector<uint32_t> few = FewColours(rgb, n, maxColours);
    if (!few.empty()) {
        for (uint32_t c : few) centres.push_back({(float)(c >> 16), (float)((c >> 8) & 255), (float)(c & 255)});
    } else {
        // A histogram of 6 bits per channel holding each bin's exact mean colour.
        const int bins = 1 << 18;
        std::vector<double> sums((size_t)bins * 4, 0.0);
        for (size_t i = 0; i < n; i++) {
            const uint8_t* p = rgb + 3 * i;
            double* s = &sums[(size_t)((p[0] >> 2) << 12 | (p[1] >> 2) << 6 | (p[2] >> 2)) * 4];
            s[0] += p[0], s[1] += p[1], s[2] += p[2], s[3] += 1;
        }
        std::vector<ColourPoint> points;
        for (int b = 0; b < bins; b++) {
            const double* s = &sums[(size_t)b * 4];
            if (s[3] > 0) points.push_back({{(float)(s[0] / s[3]), (float)(s[1] / s[3]), (float)(s[2] / s[3])}, s[3]});
        }
        if (points.empty()) points.push_back({{0, 0, 0}, 1});
        centres = MedianCut(points, maxColours);
        RefineKMeans(points, &centres, 8);
    }
    palette->resize(centres.size() * 3);
    for (size_t j = 0; j < centres.size(); j++)
        for (int k = 0; k < 3; k++)
            (*palette)[j * 3 + k] = (uint8_t)std::lround(std::max(0.0f, std::min(255.0f, centres[j][k])));
    std::vector<std::array<float, 3>> rounded(centres.size());
    for (size_t j = 0; j < centres.size(); j++)
        for (int k = 0; k < 3; k++) rounded[j][k] = (*palette)[j * 3 + k];

    // Every distinct colour is matched once against the final palette.
    std::vector<uint16_t> cache((size_t)1 << 24, 0xFFFF);
    indices->resize(n);
    for (size_t i = 0; i < n; i++) {
        const uint8_t* p = rgb + 3 * i;
        uint32_t key = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
        if (cache[key] == 0xFFFF) {
            float c[3] = {(float)p[0], (float)p[1], (float)p[2]};
            cache[key] = (uint16_t)Nearest(rounded, c);
        }
        (*indices)[i] = (uint8_t)cache[key];
    }
}

