// Fuzz target: fine tiles and coarse rows of any content and length, decoded at every level
// through the viewer's codec, with indices that reach past a 2048-entry shade codebook.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/imaging.h"
#include "platform/test_double.h"

static void LoadCodebooksOnce() {
    if (codebook) return;
    TestModeEnable(1);
    std::vector<uint8_t> shade(32768, 0x80), sixteen(4096 * 32, 0xF0);
    codebook = new Codebook8;
    ParseShadeCodebook(shade.data(), shade.size(), codebook);
    codebookH = new Codebook16;
    ParseCodebook16(sixteen.data(), sixteen.size(), 4096, codebookH->level0, codebookH->level1, codebookH->level2);
    codebookRGB = new CodebookRGB;
    ParseCodebook16(sixteen.data(), sixteen.size(), 2048, codebookRGB->rg0, codebookRGB->rg1, codebookRGB->rg2);
    ParseCodebook16(sixteen.data(), sixteen.size(), 1024, codebookRGB->b0, codebookRGB->b1, codebookRGB->b2);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadCodebooksOnce();
    if (size < 2) return 0;
    // The first byte picks the layer; the rest repeats to fill a tile (a short input is refused).
    TileLayer layer = (TileLayer)(data[0] % 3);
    size_t want = layer == kLayerColour ? kCvqFileSize : kVqcFileSize;
    FineTile tile;
    std::vector<uint8_t> raw(data + 1, data + size);
    SetFineTileBytes(&tile, layer, raw);  // almost always the wrong size: refused
    std::vector<uint8_t> bytes(want);
    for (size_t i = 0; i < want; i++) bytes[i] = data[1 + i % (size - 1)];
    if (SetFineTileBytes(&tile, layer, bytes)) {
        for (int level = 0; level < 3; level++) {
            SetFineTileLevel(&tile, level);
            int value;
            for (int r = 0; r < kFineSamples; r += 97)
                for (int c = -3; c < kFineSamples + 3; c += 89) FineSample(&tile, c, r, level % 3, &value);
        }
    }
    // Coarse rows from a file of the fuzz bytes, of any length.
    FILE* f = fmemopen((void*)data, size, "rb");
    if (f) {
        uint16_t row[kCoarseSamples];
        for (int r : {0, 1, 170, 1669, 1670, -1}) ReadCoarseRow(f, r, row);
        fclose(f);
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (uint8_t layer = 0; layer < 3; layer++) {
        std::vector<uint8_t> s(4000);
        s[0] = layer;
        for (size_t i = 1; i < s.size(); i++) s[i] = (uint8_t)(i * 13);
        seeds.push_back(s);
    }
    seeds.push_back(std::vector<uint8_t>(kCoarseRowBytes * 2 + 1, 0xFF));
    return seeds;
}
