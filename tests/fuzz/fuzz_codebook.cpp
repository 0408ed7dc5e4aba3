// Fuzz target: codebook files of any length and content, through the loaders the viewer uses.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/test_double.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/mundora-fuzz-codebook-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        TestModeEnable(1);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
        MakeDirectories((folder + "/raster").c_str());
    }
    TestClearShown();
    std::string path = folder + "/raster/book.cod";
    FILE* f = fopen(path.c_str(), "wb");  // no need for an atomic write here
    if (!f) return 0;
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    Codebook8 shade;
    ParseShadeCodebook(data, size, &shade);
    if (LoadCodebook("raster\\book.cod")) ReleaseCodebook();
    if (LoadCodebookH("raster\\book.cod")) ReleaseCodebookH();
    if (LoadCodebookRGB("raster\\book.cod", "raster\\book.cod")) {
        // A tile of the fuzz bytes decoded through whatever loaded.
        FineTile tile;
        std::vector<uint8_t> bytes(kCvqFileSize, 0);
        for (size_t i = 0; i < bytes.size() && size; i++) bytes[i] = data[i % size];
        SetFineTileBytes(&tile, kLayerColour, bytes);
        for (int level = 0; level < 3; level++) {
            SetFineTileLevel(&tile, level);
            DecodeFineBlockRow(&tile, 333);
        }
        ReleaseCodebookRGB();
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (size_t size : {32768u, 65536u, 131072u, 16u, 0u}) {
        std::vector<uint8_t> s(size);
        for (size_t i = 0; i < size; i++) s[i] = (uint8_t)(i * 7 + (i >> 8));
        seeds.push_back(s);
    }
    return seeds;
}
