// Vector quantisation of 4x4 blocks for the fine tiles: codebook training by k-means over
// sampled blocks and an exact nearest-codeword search fast enough for a whole planet.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kBlockValues = 16;

// Exact nearest-codeword search. Codewords are kept sorted by their projection on the main
// axis of the codebook (its first principal component, unit length); since
// |x - c|^2 >= (px - pc)^2 + (|x'| - |c'|)^2, with p the projection and x' the part of x off
// the axis, the search walks outwards from the nearest projection and stops once the
// projection bound alone exceeds the best distance found. A hint (the codeword of a
// neighbouring block, which is often the answer) makes that bound tight from the start.
struct VqSearcher {
    int entries = 0;
    float axis[16] = {};
    std::vector<float> words;     // sorted by projection, 16 values each
    std::vector<float> projections;  // ascending
    std::vector<float> offAxis;   // length of the part off the axis
    std::vector<int> original;    // sorted position -> codeword index
    std::vector<int> position;    // codeword index -> sorted position
};
void BuildVqSearcher(const float* codewords, int entries, VqSearcher* s);
// Index of the codeword nearest to block x (16 values); *distance gets the squared distance.
// hint: a codeword index likely to be near, or -1.
int NearestCodeword(const VqSearcher& s, const float* x, float* distance, int hint = -1);

// k-means over n blocks (16 floats each) into entries codewords, rounded to integers, with
// iterations rounds. Deterministic for a given seed. Returns 0 when there are no blocks.
int TrainCodebook(const std::vector<float>& blocks, int entries, int iterations, int seed, std::vector<float>* codewords);
