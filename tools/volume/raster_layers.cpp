// The work inside the raster step: reading heights and colours, relief shading, residual
// blocks against the coarse base the viewer will use, and encoding of one fine tile.
#include "raster_layers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "volume.h"

// [SECTION] Sources

int OpenRasterInputs(const BuildContext& ctx, RasterInputs* in) {
    if (!OpenRasterSource(ElevationSourcePath(ctx), RecipeValue(ctx, "elevation_extent", ""), &in->elevation)) return 0;
    if (!OpenRasterSource(ImagerySourcePath(ctx), RecipeValue(ctx, "imagery_extent", ""), &in->imagery)) {
        CloseRasterSource(&in->elevation);
        return 0;
    }
    return 1;
}

void CloseRasterInputs(RasterInputs* in) {
    CloseRasterSource(&in->elevation);
    CloseRasterSource(&in->imagery);
}

int ReadHeights(RasterInputs* in, const SampleGrid& grid, std::vector<float>* heights) {
    return ReadSourceGrid(&in->elevation, 1, grid, 0.0f, heights);
}

int ReadColours(RasterInputs* in, const SampleGrid& grid, std::vector<float> rgb[3]) {
    for (int ch = 0; ch < 3; ch++) {
        int band = in->imagery.bands >= 3 ? ch + 1 : 1;  // a grey image gives all three
        if (ch > 0 && band == 1) {
            rgb[ch] = rgb[0];
            continue;
        }
        if (!ReadSourceGrid(&in->imagery, band, grid, 0.0f, &rgb[ch])) return 0;
        for (float& v : rgb[ch]) v = std::min(255.0f, std::max(0.0f, v));
    }
    return 1;
}

// [SECTION] Relief shading

// Heights are exaggerated so that relief shows at world scale too.
constexpr double kReliefExaggeration = 2.5;

void ReliefShade(const std::vector<float>& heights, const SampleGrid& grid, std::vector<uint8_t>* shade) {
    int w = grid.width - 2, h = grid.height - 2;
    shade->assign((size_t)std::max(0, w) * std::max(0, h), 0);
    const double sunX = -0.5, sunY = 0.5, sunZ = sqrt(0.5);  // azimuth 315, altitude 45 degrees
    const double kPi = 3.14159265358979323846;
    for (int j = 0; j < h; j++) {
        double lat = grid.north - (j + 1.5) * grid.stepY;
        double cosLat = std::max(0.01, cos(lat * kPi / 180));
        double dxm = grid.stepX * 111320.0 * cosLat, dym = grid.stepY * 110574.0;
        const float* up = heights.data() + (size_t)j * grid.width;
        const float* mid = up + grid.width;
        const float* down = mid + grid.width;
        for (int i = 0; i < w; i++) {
            float z = mid[i + 1];
            if (z <= 0) continue;
            double gx = (mid[i + 2] - mid[i]) / (2 * dxm) * kReliefExaggeration;   // rise to the east
            double gy = (up[i + 1] - down[i + 1]) / (2 * dym) * kReliefExaggeration;  // rise to the north
            double lit = (-gx * sunX - gy * sunY + sunZ) / sqrt(gx * gx + gy * gy + 1);
            int v = (int)lround(std::max(0.0, lit) * 255);
            (*shade)[(size_t)j * w + i] = (uint8_t)std::min(255, std::max(1, v));
        }
    }
}

// [SECTION] Error statistics

void ErrorStats::Add(const ErrorStats& o) {
    colourSquared += o.colourSquared, shadeSquared += o.shadeSquared, heightAbsolute += o.heightAbsolute;
    colourCount += o.colourCount, shadeCount += o.shadeCount, heightCount += o.heightCount;
    for (size_t i = 0; i < heightHistogram.size(); i++) heightHistogram[i] += o.heightHistogram[i];
}

static double Psnr(double squared, uint64_t count) {
    if (count == 0) return 0;
    double mse = squared / count;
    return mse <= 0 ? 99.0 : 10 * log10(255.0 * 255.0 / mse);
}

double ErrorStats::ColourPsnr() const { return Psnr(colourSquared, colourCount); }
double ErrorStats::ShadePsnr() const { return Psnr(shadeSquared, shadeCount); }
double ErrorStats::HeightMean() const { return heightCount ? heightAbsolute / heightCount : 0; }

double ErrorStats::HeightPercentile(double p) const {
    uint64_t want = (uint64_t)ceil(p / 100.0 * heightCount), seen = 0;
    for (size_t i = 0; i < heightHistogram.size(); i++) {
        seen += heightHistogram[i];
        if (seen >= want && seen > 0) return (double)i;
    }
    return 0;
}

// [SECTION] Codebooks

void PrepareSearchers(RasterCodebooks* books) {
    for (float& v : books->shade) v = std::min(255.0f, std::max(0.0f, roundf(v)));
    for (auto* words : {&books->height, &books->rg, &books->b})
        for (float& v : *words) v = std::min(32767.0f, std::max(-32768.0f, roundf(v)));
    BuildVqSearcher(books->shade.data(), (int)books->shade.size() / kBlockValues, &books->shadeSearch);
    BuildVqSearcher(books->height.data(), (int)books->height.size() / kBlockValues, &books->heightSearch);
    BuildVqSearcher(books->rg.data(), (int)books->rg.size() / kBlockValues, &books->rgSearch);
    BuildVqSearcher(books->b.data(), (int)books->b.size() / kBlockValues, &books->bSearch);
}

std::vector<uint8_t> ShadeCodebookBytes(const std::vector<float>& words) {
    std::vector<uint8_t> out;
    for (float v : words) out.push_back((uint8_t)std::min(255.0f, std::max(0.0f, roundf(v))));
    return out;
}

std::vector<uint8_t> Codebook16Bytes(const std::vector<float>& words) {
    std::vector<uint8_t> out;
    for (float v : words) WriteI16LE(out, (int16_t)std::min(32767.0f, std::max(-32768.0f, roundf(v))));
    return out;
}

// [SECTION] Fine tile sources

static std::string VolumeFile(const std::string& volumeDir, const std::string& name) {
    std::string relative = name;
    for (char& c : relative)
        if (c == '\\') c = '/';
    return ResolvePath((volumeDir + "/" + relative).c_str());
}

// The 334 x 334 coarse samples under fine tile (west, north), unscrambled as the viewer reads them.
static int ReadCoarseBase(const std::string& volumeDir, TileLayer layer, int west, int north, std::vector<uint16_t>* out) {
    out->assign((size_t)kFineBlocks * kFineBlocks, 0);
    int coarseWest = west - ((west + 180) % kCoarseDegrees), coarseNorth = north + ((90 - north) % kCoarseDegrees);
    int c0 = (west - coarseWest) / kFineDegrees * kFineBlocks, r0 = (coarseNorth - north) / kFineDegrees * kFineBlocks;
    std::string path = VolumeFile(volumeDir, TileNameCoarse(layer, coarseWest, coarseNorth));
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        BuildError("Cannot open %s for the base of a fine tile", path.c_str());
        return 0;
    }
    uint16_t row[kCoarseSamples];
    int ok = 1;
    for (int r = 0; r < kFineBlocks && ok; r++) {
        ok = ReadCoarseRow(f, r0 + r, row);
        std::copy(row + c0, row + c0 + kFineBlocks, out->begin() + (size_t)r * kFineBlocks);
    }
    fclose(f);
    if (!ok) BuildError("%s is too short", path.c_str());
    return ok;
}

int ReadFineSource(RasterInputs* in, const std::string& volumeDir, int west, int north, FineSource* src) {
    SampleGrid wide = TileGrid(west, north, kFineDegrees, kFineSamples, 1);
    std::vector<float> heights;
    if (!ReadHeights(in, wide, &heights)) return 0;
    ReliefShade(heights, wide, &src->shade);
    src->height.resize((size_t)kFineSamples * kFineSamples);
    src->hasLand = 0;
    for (int r = 0; r < kFineSamples; r++) {
        const float* from = heights.data() + (size_t)(r + 1) * wide.width + 1;
        std::copy(from, from + kFineSamples, src->height.begin() + (size_t)r * kFineSamples);
        for (int c = 0; c < kFineSamples && !src->hasLand; c++) src->hasLand = from[c] > 0;
    }
    if (!ReadColours(in, TileGrid(west, north, kFineDegrees, kFineSamples, 0), src->rgb)) return 0;
    std::vector<uint16_t> base;
    if (!ReadCoarseBase(volumeDir, kLayerHeight, west, north, &base)) return 0;
    src->heightBase.assign(base.begin(), base.end());
    return ReadCoarseBase(volumeDir, kLayerColour, west, north, &src->colourBase);
}

// [SECTION] Residual blocks

static inline int Round255(float v) { return (int)lroundf(std::min(255.0f, std::max(0.0f, v))); }
static inline int ClampI16(long v) { return (int)std::min(32767L, std::max(-32768L, v)); }

static void HeightBlock(const FineSource& s, int j, int k, float out[16]) {
    int base = s.heightBase[(size_t)k * kFineBlocks + j];
    for (int p = 0; p < 16; p++) {
        float h = s.height[(size_t)(4 * k + p / 4) * kFineSamples + 4 * j + p % 4];
        out[p] = (float)ClampI16(lroundf(h) - base);
    }
}

static int BaseChannel(const FineSource& s, int ch, int j, int k) {
    uint8_t rgb[3];
    Expand565(s.colourBase[(size_t)k * kFineBlocks + j], &rgb[0], &rgb[1], &rgb[2]);
    return rgb[ch];
}

static void ColourBlock(const FineSource& s, int ch, int j, int k, float out[16]) {
    int base = BaseChannel(s, ch, j, k);
    for (int p = 0; p < 16; p++) out[p] = (float)(Round255(s.rgb[ch][(size_t)(4 * k + p / 4) * kFineSamples + 4 * j + p % 4]) - base);
}

static void ShadeBlock(const FineSource& s, int j, int k, float out[16]) {
    for (int p = 0; p < 16; p++) out[p] = s.shade[(size_t)(4 * k + p / 4) * kFineSamples + 4 * j + p % 4];
}

void SampleFineBlocks(const FineSource& src, uint32_t seed, double share, std::vector<float>* shade,
                      std::vector<float>* height, std::vector<float>* rg, std::vector<float>* b) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> pick(0, 1);
    float block[16];
    for (int k = 0; k < kFineBlocks; k++)
        for (int j = 0; j < kFineBlocks; j++) {
            if (pick(random) >= share) continue;
            ShadeBlock(src, j, k, block);
            shade->insert(shade->end(), block, block + 16);
            HeightBlock(src, j, k, block);
            height->insert(height->end(), block, block + 16);
            ColourBlock(src, 0, j, k, block);
            rg->insert(rg->end(), block, block + 16);
            ColourBlock(src, 1, j, k, block);
            rg->insert(rg->end(), block, block + 16);
            ColourBlock(src, 2, j, k, block);
            b->insert(b->end(), block, block + 16);
        }
}

// [SECTION] Encoding

void EncodeFineTile(const FineSource& src, const RasterCodebooks& books, std::vector<uint8_t>* cvq,
                    std::vector<uint8_t>* hvc, std::vector<uint8_t>* vqc, ErrorStats* stats) {
    cvq->assign(kCvqFileSize, 0);
    hvc->assign(kVqcFileSize, 0);
    vqc->assign(kVqcFileSize, 0);
    float block[16];
    int shadeIndex[kFineBlocks], heightIndex[kFineBlocks];
    for (int k = 0; k < kFineBlocks; k++) {
        int index[3] = {-1, -1, -1};  // the western neighbour's codewords start each search
        for (int j = 0; j < kFineBlocks; j++) {
            ShadeBlock(src, j, k, block);
            int is = NearestCodeword(books.shadeSearch, block, nullptr, j ? shadeIndex[j - 1] : -1);
            const float* word = books.shade.data() + 16 * is;
            for (int p = 0; p < 16; p++) stats->shadeSquared += (word[p] - block[p]) * (word[p] - block[p]);
            stats->shadeCount += 16;
            shadeIndex[j] = is;

            HeightBlock(src, j, k, block);
            int ih = NearestCodeword(books.heightSearch, block, nullptr, j ? heightIndex[j - 1] : -1);
            word = books.height.data() + 16 * ih;
            int base = src.heightBase[(size_t)k * kFineBlocks + j];
            for (int p = 0; p < 16; p++) {
                int16_t decoded = (int16_t)(base + (int)word[p]);
                double error = fabs(decoded - src.height[(size_t)(4 * k + p / 4) * kFineSamples + 4 * j + p % 4]);
                stats->heightAbsolute += error;
                stats->heightHistogram[std::min<size_t>(stats->heightHistogram.size() - 1, (size_t)error)]++;
            }
            stats->heightCount += 16;
            heightIndex[j] = ih;

            for (int ch = 0; ch < 3; ch++) {
                ColourBlock(src, ch, j, k, block);
                const VqSearcher& s = ch == 2 ? books.bSearch : books.rgSearch;
                index[ch] = NearestCodeword(s, block, nullptr, index[ch]);
                word = (ch == 2 ? books.b : books.rg).data() + 16 * index[ch];
                int baseCh = BaseChannel(src, ch, j, k);
                for (int p = 0; p < 16; p++) {
                    int decoded = AddResidual(baseCh, (int)word[p]);
                    double d = decoded - (baseCh + block[p]);
                    stats->colourSquared += d * d;
                }
                stats->colourCount += 16;
            }
            PokeU32LE(cvq->data() + (size_t)k * kCvqRowBytes + 4 * j, PackCvqRecord(index[0], index[1], index[2]));
        }
        for (int g = 0; g < kFineBlocks / 2; g++) {
            PackIndexPair(heightIndex[2 * g], heightIndex[2 * g + 1], hvc->data() + (size_t)k * kVqcRowBytes + 3 * g);
            PackIndexPair(shadeIndex[2 * g], shadeIndex[2 * g + 1], vqc->data() + (size_t)k * kVqcRowBytes + 3 * g);
        }
    }
}
