// Codebook training and nearest-codeword search for the fine tiles. Training uses FAISS's
// k-means (sampling, empty-cluster splitting) with our exact mean-ordered search doing the
// assignments, so the same search trains and encodes.
#include "vq_codebook.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>

#ifdef MUNDORA_HAVE_FAISS
#include <faiss/Clustering.h>
#include <faiss/Index.h>
#endif

static inline void Project(const VqSearcher& s, const float* x, float* along, float* off) {
    float p = 0, n = 0;
    for (int i = 0; i < kBlockValues; i++) p += s.axis[i] * x[i], n += x[i] * x[i];
    *along = p;
    *off = sqrtf(std::max(0.0f, n - p * p));
}

// The first principal component of the codewords by power iteration; the mean direction
// when the codewords do not vary.
static void MainAxis(const float* words, int entries, float axis[16]) {
    double mean[16] = {}, cov[16][16] = {};
    for (int e = 0; e < entries; e++)
        for (int i = 0; i < kBlockValues; i++) mean[i] += words[kBlockValues * e + i] / entries;
    for (int e = 0; e < entries; e++)
        for (int i = 0; i < kBlockValues; i++)
            for (int j = 0; j < kBlockValues; j++)
                cov[i][j] += (words[kBlockValues * e + i] - mean[i]) * (words[kBlockValues * e + j] - mean[j]);
    double v[16];
    for (int i = 0; i < kBlockValues; i++) v[i] = 0.25;
    for (int it = 0; it < 100; it++) {
        double w[16] = {}, norm = 0;
        for (int i = 0; i < kBlockValues; i++)
            for (int j = 0; j < kBlockValues; j++) w[i] += cov[i][j] * v[j];
        for (int i = 0; i < kBlockValues; i++) norm += w[i] * w[i];
        if (norm <= 1e-20) break;
        norm = sqrt(norm);
        for (int i = 0; i < kBlockValues; i++) v[i] = w[i] / norm;
    }
    for (int i = 0; i < kBlockValues; i++) axis[i] = (float)v[i];
}

void BuildVqSearcher(const float* codewords, int entries, VqSearcher* s) {
    MainAxis(codewords, entries, s->axis);
    std::vector<float> along(entries), off(entries);
    for (int e = 0; e < entries; e++) Project(*s, codewords + kBlockValues * e, &along[e], &off[e]);
    s->entries = entries;
    s->original.resize(entries);
    std::iota(s->original.begin(), s->original.end(), 0);
    std::stable_sort(s->original.begin(), s->original.end(), [&](int a, int b) { return along[a] < along[b]; });
    s->words.resize((size_t)entries * kBlockValues);
    s->projections.resize(entries);
    s->offAxis.resize(entries);
    s->position.resize(entries);
    for (int k = 0; k < entries; k++) {
        int e = s->original[k];
        std::copy(codewords + kBlockValues * e, codewords + kBlockValues * (e + 1), s->words.begin() + kBlockValues * k);
        s->projections[k] = along[e];
        s->offAxis[k] = off[e];
        s->position[e] = k;
    }
}

static inline float Distance16(const float* a, const float* b) {
    float d = 0;
    for (int i = 0; i < kBlockValues; i++) d += (a[i] - b[i]) * (a[i] - b[i]);
    return d;
}

int NearestCodeword(const VqSearcher& s, const float* x, float* distance, int hint) {
    int n = s.entries;
    if (n <= 0) {
        if (distance) *distance = INFINITY;
        return 0;
    }
    float px, ox;
    Project(s, x, &px, &ox);
    const float* proj = s.projections.data();
    const float* off = s.offAxis.data();
    float best = INFINITY;
    int bestK = 0;
    if (hint >= 0 && hint < n) {
        bestK = s.position[hint];
        best = Distance16(x, s.words.data() + (size_t)kBlockValues * bestK);
    }
    int up = (int)(std::lower_bound(s.projections.begin(), s.projections.end(), px) - s.projections.begin());
    int down = up - 1;
    auto consider = [&](int k) {
        float dp = px - proj[k], dd = ox - off[k];
        if (dp * dp + dd * dd >= best) return;
        float d = Distance16(x, s.words.data() + (size_t)kBlockValues * k);
        if (d < best) best = d, bestK = k;
    };
    while (up < n || down >= 0) {
        if (up < n) {
            float dp = proj[up] - px;
            if (dp * dp >= best) up = n;
            else consider(up++);
        }
        if (down >= 0) {
            float dp = px - proj[down];
            if (dp * dp >= best) down = -1;
            else consider(down--);
        }
    }
    if (distance) *distance = best;
    return s.original[bestK];
}

#ifdef MUNDORA_HAVE_FAISS
// FAISS's k-means asks an index for the nearest centroid of every training block.
struct MeanOrderedIndex : faiss::Index {
    std::vector<float> centroids;
    VqSearcher searcher;
    MeanOrderedIndex() : faiss::Index(kBlockValues, faiss::METRIC_L2) {}
    void add(idx_t n, const float* x) override {
        centroids.insert(centroids.end(), x, x + n * kBlockValues);
        ntotal = (idx_t)(centroids.size() / kBlockValues);
        BuildVqSearcher(centroids.data(), (int)ntotal, &searcher);
    }
    void reset() override {
        centroids.clear();
        ntotal = 0;
    }
    // The previous round's assignment of the same blocks is the best hint: centroids move little.
    mutable std::vector<idx_t> last;
    void search(idx_t n, const float* x, idx_t k, float* distances, idx_t* labels,
                const faiss::SearchParameters*) const override {
        if ((idx_t)last.size() != n) last.assign(n, -1);
#pragma omp parallel for schedule(dynamic, 4096)
        for (idx_t i = 0; i < n; i++) {
            float d;
            int hint = last[i] >= 0 && last[i] < ntotal ? (int)last[i] : -1;
            labels[i * k] = NearestCodeword(searcher, x + i * kBlockValues, &d, hint);
            distances[i * k] = d;
            last[i] = labels[i * k];
            for (idx_t j = 1; j < k; j++) labels[i * k + j] = -1, distances[i * k + j] = INFINITY;
        }
    }
};
#endif

int TrainCodebook(const std::vector<float>& blocks, int entries, int iterations, int seed, std::vector<float>* codewords) {
    size_t n = blocks.size() / kBlockValues;
    if (n == 0 || entries <= 0) return 0;
    codewords->assign((size_t)entries * kBlockValues, 0.0f);
    if (n <= (size_t)entries) {
        // Fewer blocks than codewords: every block is a codeword, the rest repeat the first.
        for (size_t e = 0; e < (size_t)entries; e++)
            std::copy(blocks.begin() + kBlockValues * (e < n ? e : 0), blocks.begin() + kBlockValues * ((e < n ? e : 0) + 1),
                      codewords->begin() + kBlockValues * e);
        for (float& v : *codewords) v = roundf(v);
        return 1;
    }
#ifdef MUNDORA_HAVE_FAISS
    try {
        faiss::ClusteringParameters p;
        p.niter = iterations;
        p.seed = seed;
        p.int_centroids = true;
        p.max_points_per_centroid = (int)(n / entries + 1);
        p.min_points_per_centroid = 1;
        faiss::Clustering clustering(kBlockValues, entries, p);
        MeanOrderedIndex index;
        clustering.train((faiss::Index::idx_t)n, blocks.data(), index);
        std::copy(clustering.centroids.begin(), clustering.centroids.end(), codewords->begin());
        for (float& v : *codewords) v = roundf(v);
        return 1;
    } catch (const std::exception& e) {
        fprintf(stderr, "mundora-volume: k-means failed (%s); using plain Lloyd iterations\n", e.what());
    }
#endif
    // Lloyd's iterations from a random choice of blocks.
    std::mt19937 random((uint32_t)seed);
    std::vector<size_t> pick(n);
    std::iota(pick.begin(), pick.end(), 0);
    std::shuffle(pick.begin(), pick.end(), random);
    for (int e = 0; e < entries; e++)
        std::copy(blocks.begin() + kBlockValues * pick[e], blocks.begin() + kBlockValues * (pick[e] + 1),
                  codewords->begin() + kBlockValues * e);
    std::vector<int> assign(n);
    for (int it = 0; it < iterations; it++) {
        VqSearcher s;
        BuildVqSearcher(codewords->data(), entries, &s);
#pragma omp parallel for schedule(dynamic, 4096)
        for (size_t i = 0; i < n; i++) assign[i] = NearestCodeword(s, blocks.data() + kBlockValues * i, nullptr, it ? assign[i] : -1);
        std::vector<double> sum((size_t)entries * kBlockValues, 0);
        std::vector<size_t> count(entries, 0);
        for (size_t i = 0; i < n; i++) {
            count[assign[i]]++;
            for (int v = 0; v < kBlockValues; v++) sum[(size_t)assign[i] * kBlockValues + v] += blocks[kBlockValues * i + v];
        }
        for (int e = 0; e < entries; e++) {
            size_t from = count[e] ? 0 : pick[(e + it) % n];  // an empty codeword restarts at a block
            for (int v = 0; v < kBlockValues; v++)
                (*codewords)[(size_t)e * kBlockValues + v] =
                    count[e] ? (float)(sum[(size_t)e * kBlockValues + v] / count[e]) : blocks[kBlockValues * from + v];
        }
    }
    for (float& v : *codewords) v = roundf(v);
    return 1;
}
