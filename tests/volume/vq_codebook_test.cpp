// The builder's vector quantiser: the fast search against an exhaustive one, and training
// that finds the clusters of its data.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "vq_codebook.h"

static int Exhaustive(const std::vector<float>& words, const float* x, float* best) {
    int n = (int)words.size() / kBlockValues, bestK = 0;
    *best = INFINITY;
    for (int k = 0; k < n; k++) {
        float d = 0;
        for (int i = 0; i < kBlockValues; i++) d += (x[i] - words[kBlockValues * k + i]) * (x[i] - words[kBlockValues * k + i]);
        if (d < *best) *best = d, bestK = k;
    }
    return bestK;
}

TEST(VqSearch, FindsTheSameDistanceAsAnExhaustiveSearch) {
    std::mt19937 random(3);
    struct Case {
        int entries;
        float spread;
        int smooth;  // codewords and queries as planes, like residuals of smooth data
    } cases[] = {{1, 100, 0}, {7, 50, 0}, {1024, 255, 0}, {2048, 30, 1}, {4096, 3000, 1}, {4096, 5, 0}};
    for (const Case& c : cases) {
        std::normal_distribution<float> value(0, c.spread);
        auto make = [&](float* out) {
            if (!c.smooth) {
                for (int i = 0; i < kBlockValues; i++) out[i] = roundf(value(random));
                return;
            }
            float a = value(random), gx = value(random) / 8, gy = value(random) / 8;
            for (int i = 0; i < kBlockValues; i++) out[i] = roundf(a + gx * (i % 4) + gy * (i / 4) + value(random) / 20);
        };
        std::vector<float> words((size_t)c.entries * kBlockValues);
        for (int e = 0; e < c.entries; e++) make(words.data() + kBlockValues * e);
        VqSearcher s;
        BuildVqSearcher(words.data(), c.entries, &s);
        int previous = -1;
        for (int q = 0; q < 3000; q++) {
            float x[kBlockValues], want, got;
            make(x);
            if (q % 7 == 0) std::copy(words.begin() + kBlockValues * (q % c.entries), words.begin() + kBlockValues * (q % c.entries + 1), x);
            int expected = Exhaustive(words, x, &want);
            int index = NearestCodeword(s, x, &got, q % 2 ? previous : -1);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, c.entries);
            ASSERT_FLOAT_EQ(got, want) << "entries " << c.entries << " query " << q << " expected " << expected;
            previous = index;
        }
    }
}

TEST(VqTraining, FindsTheClustersOfItsData) {
    std::mt19937 random(5);
    std::normal_distribution<float> noise(0, 1.5f);
    std::uniform_real_distribution<float> centre(-500, 500);
    const int clusters = 64;
    std::vector<float> centres(clusters * kBlockValues);
    for (float& v : centres) v = centre(random);
    std::vector<float> blocks;
    for (int n = 0; n < clusters * 200; n++) {
        int k = n % clusters;
        for (int i = 0; i < kBlockValues; i++) blocks.push_back(centres[k * kBlockValues + i] + noise(random));
    }
    std::vector<float> words;
    ASSERT_EQ(TrainCodebook(blocks, clusters, 12, 1, &words), 1);
    ASSERT_EQ(words.size(), centres.size());
    for (float v : words) EXPECT_EQ(v, roundf(v));  // whole numbers, as stored
    VqSearcher s;
    BuildVqSearcher(words.data(), clusters, &s);
    // k-means may share a cluster between two codewords and merge two others, but most
    // clusters get their own codeword and the error falls far below the spread of the data.
    int wellPlaced = 0;
    for (int k = 0; k < clusters; k++) {
        float d;
        NearestCodeword(s, centres.data() + k * kBlockValues, &d);
        wellPlaced += d < 16 * 1.0f;  // within about one unit per value
    }
    EXPECT_GE(wellPlaced, clusters / 2);
    double error = 0, spread = 0;
    for (size_t n = 0; n < blocks.size() / kBlockValues; n++) {
        float d;
        NearestCodeword(s, blocks.data() + n * kBlockValues, &d);
        error += d;
        for (int i = 0; i < kBlockValues; i++) spread += blocks[n * kBlockValues + i] * blocks[n * kBlockValues + i];
    }
    EXPECT_LT(error, 0.2 * spread);
    // Fewer blocks than codewords: every block becomes a codeword.
    std::vector<float> few(blocks.begin(), blocks.begin() + 3 * kBlockValues);
    ASSERT_EQ(TrainCodebook(few, 8, 5, 1, &words), 1);
    for (int k = 0; k < 3; k++) {
        float d;
        BuildVqSearcher(words.data(), 8, &s);
        std::vector<float> rounded(few.begin() + k * kBlockValues, few.begin() + (k + 1) * kBlockValues);
        for (float& v : rounded) v = roundf(v);
        NearestCodeword(s, rounded.data(), &d);
        EXPECT_EQ(d, 0);
    }
    EXPECT_EQ(TrainCodebook({}, 8, 5, 1, &words), 0);
}
