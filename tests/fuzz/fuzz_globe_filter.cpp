// Fuzz target for the globe's loaders: the input is written to the data root once as a lookup
// table and once as the imagery BMP, each is loaded, and a frame is composed from whatever
// was accepted, so that no entry and no header field can make a frame write out of bounds.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/core.h"
#include "globe/globe.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"

static int Prepare() {
    static int ready = 0;
    if (ready) return 1;
    std::string root = "/tmp/mundora-fuzz-globe-" + std::to_string(getpid());
    MakeDirectories((root + "/globe").c_str());
    snprintf(dataRoot, sizeof dataRoot, "%s", root.c_str());
    // A small viewport: tables larger than it are cut at its edges.
    ready = AllocateGlobeBuffers(96, 72);
    return ready;
}

static void Check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TestModeEnable(1);
    if (!Prepare()) return 0;
    std::string table = std::string(dataRoot) + "/globe/fuzz.flt";
    std::string imagery = std::string(dataRoot) + "/globe/fuzz.bmp";
    WriteFileAtomically(table.c_str(), data, size);
    WriteFileAtomically(imagery.c_str(), data, size);
    if (LoadGlobeFilter(45.0, "globe\\fuzz.flt", size & 1, size & 2)) {
        Check(globeBuffers.filterEntries >= 0 && globeBuffers.filterEntries <= kMaxFilterEntries);
        Check(globeBuffers.filterRadius >= 1);
    }
    int read = LoadGlobeLayers("globe\\fuzz.bmp", "", "", "", kGlobeImagery, 1, 0);
    Check(read >= 0 && read <= kGlobeLayerBytes);
    Check(globeBuffers.paletteEntries >= 1 && globeBuffers.paletteEntries <= 256);
    for (double lon : {0.0, 179.9, -180.0}) {
        ComposeGlobeFrame(lon, kGlobeImagery);
        ComposeGlobeFrame(lon, kGlobeElevation);
    }
    TestClearShown();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    // A 6 x 6 table (radius 3) reaching over the whole layer, the edges and beyond.
    std::vector<uint8_t> table;
    WriteU32LE(table, 36);
    WriteU32LE(table, 3);
    for (int i = 0; i < 16; i++) WriteU8(table, 0);
    const int32_t entries[] = {-1, 0, 1, 2159, 2160, kGlobeLayerBytes - 1, kGlobeLayerBytes, -2, 1234567};
    for (int i = 0; i < 36; i++) WriteI32LE(table, entries[i % 9]);
    seeds.push_back(table);
    // An imagery BMP of 8 x 4 with 16 colours, and the same with the old 12-byte header.
    std::vector<uint8_t> bmp;
    WriteU8(bmp, 'B');
    WriteU8(bmp, 'M');
    WriteU32LE(bmp, 54 + 64 + 32);
    WriteU32LE(bmp, 0);
    WriteU32LE(bmp, 54 + 64);
    WriteU32LE(bmp, 40);
    WriteI32LE(bmp, 8);
    WriteI32LE(bmp, 4);
    WriteU16LE(bmp, 1);
    WriteU16LE(bmp, 8);
    for (int i = 0; i < 6; i++) WriteU32LE(bmp, 0);
    for (int i = 0; i < 64 + 32; i++) WriteU8(bmp, (uint8_t)(i * 5));
    seeds.push_back(bmp);
    std::vector<uint8_t> core;
    WriteU8(core, 'B');
    WriteU8(core, 'M');
    WriteU32LE(core, 26 + 768 + 32);
    WriteU32LE(core, 0);
    WriteU32LE(core, 26 + 768);
    WriteU32LE(core, 12);
    WriteU16LE(core, 8);
    WriteU16LE(core, 4);
    WriteU16LE(core, 1);
    WriteU16LE(core, 8);
    for (int i = 0; i < 768 + 32; i++) WriteU8(core, (uint8_t)(i * 3));
    seeds.push_back(core);
    return seeds;
}
