// Fuzz target for the BMP parser and every reader built on it: the in-memory decoder, the
// 24-bit and 8-bit file loaders and the pixel buffers' loader.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/test_double.h"

static std::string ScratchFile() {
    static std::string path = "/tmp/mundora-fuzz-bmp-" + std::to_string(getpid()) + ".bmp";
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TestModeEnable(1);
    DecodedBmp d;
    if (DecodeBmp(data, size, &d) && d.pixels.size() != (size_t)d.width * d.height) abort();
    FILE* f = fopen(ScratchFile().c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    Surface* s = nullptr;
    if (LoadBMPFromFile(ScratchFile().c_str(), &s)) DeleteSurface(s);
    ColourRef palette[256] = {};
    Bitmap8 b;
    if (Load8BitBMP(palette, ScratchFile().c_str(), &b)) Release8BitBMP(&b);
    // The pixel buffers draw the picture at an offset into a small buffer: clipping must hold.
    static int buffer = -1;
    if (buffer < 0) {
        PbInitialise();
        buffer = PbCreate(16, 16);
    }
    PbActivate(buffer);
    PbMove(-3, 5);
    PbLoadBMP(ScratchFile().c_str(), size & 1);
    TestClearShown();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<uint32_t> pixels(7 * 5, 0xFF336699u);
    std::vector<std::vector<uint8_t>> seeds;
    seeds.push_back(EncodeBmp24(pixels.data(), 7, 5, 7));
    // An 8-bit picture: same header with a colour table.
    std::vector<uint8_t> eight = seeds[0];
    eight.resize(54);
    eight[28] = 8;
    eight[10] = (uint8_t)((54 + 1024) & 255);
    eight[11] = (uint8_t)((54 + 1024) >> 8);
    for (int i = 0; i < 1024; i++) eight.push_back((uint8_t)i);
    for (int i = 0; i < 8 * 5; i++) eight.push_back((uint8_t)(i * 7));
    seeds.push_back(eight);
    return seeds;
}
