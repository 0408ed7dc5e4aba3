// Decoding a whole 1336 x 1336 fine tile, block row by block row, at levels 0 and 1: the
// work the map composer and the terrain extraction do per tile.
#include <benchmark/benchmark.h>

#include <random>

#include "imaging/imaging.h"
#include "platform/le_bytes.h"

namespace {

// Loads random codebooks straight into the globals the decoder reads.
void LoadRandomCodebooks() {
    if (codebook) return;
    std::mt19937 random(11);
    std::vector<uint8_t> shade(65536), height, rg, b;
    for (uint8_t& v : shade) v = (uint8_t)random();
    for (int i = 0; i < 4096 * 16; i++) WriteI16LE(height, (int16_t)(random() % 2001 - 1000));
    for (int i = 0; i < 2048 * 16; i++) WriteI16LE(rg, (int16_t)(random() % 511 - 255));
    for (int i = 0; i < 1024 * 16; i++) WriteI16LE(b, (int16_t)(random() % 511 - 255));
    codebook = new Codebook8;
    ParseShadeCodebook(shade.data(), shade.size(), codebook);
    codebookH = new Codebook16;
    ParseCodebook16(height.data(), height.size(), 4096, codebookH->level0, codebookH->level1, codebookH->level2);
    codebookRGB = new CodebookRGB;
    ParseCodebook16(rg.data(), rg.size(), 2048, codebookRGB->rg0, codebookRGB->rg1, codebookRGB->rg2);
    ParseCodebook16(b.data(), b.size(), 1024, codebookRGB->b0, codebookRGB->b1, codebookRGB->b2);
}

void DecodeWholeTile(benchmark::State& state, TileLayer layer) {
    LoadRandomCodebooks();
    std::mt19937 random(12);
    std::vector<uint8_t> bytes(layer == kLayerColour ? kCvqFileSize : kVqcFileSize);
    for (uint8_t& v : bytes) v = (uint8_t)random();
    FineTile tile;
    SetFineTileBytes(&tile, layer, bytes);
    SetFineTileLevel(&tile, (int)state.range(0));
    int64_t sum = 0;
    for (auto _ : state) {
        for (int k = 0; k < kFineBlocks; k++) {
            tile.decodedRow = -1;
            DecodeFineBlockRow(&tile, k);
            sum += tile.values[0][k];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kFineSamples * kFineSamples);
}

void BM_DecodeColourTile(benchmark::State& state) { DecodeWholeTile(state, kLayerColour); }
void BM_DecodeHeightTile(benchmark::State& state) { DecodeWholeTile(state, kLayerHeight); }
void BM_DecodeShadeTile(benchmark::State& state) { DecodeWholeTile(state, kLayerShade); }

}  // namespace

BENCHMARK(BM_DecodeColourTile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeHeightTile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeShadeTile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
