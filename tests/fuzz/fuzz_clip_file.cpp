// Fuzz target: clip.zl and terrain name records of any length and content, read back as the
// Details extraction and the terrain view read them, and the extraction window made from them.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "terrain/terrain_extraction.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/mundora-fuzz-clip-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        TestModeEnable(1);
        snprintf(tempDir, sizeof tempDir, "%s", folder.c_str());
        atexit([] {
            RemoveFile(ClipFilePath().c_str());
            rmdir(folder.c_str());
        });
    }
    FILE* f = OpenFile(ClipFilePath().c_str(), "wb");
    if (!f) return 0;
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    ClipRecord clip;
    int read = ReadClipFile(&clip);
    if (read != (size >= (size_t)kClipFileSize && size <= 4096)) abort();
    if (read)
        for (int grid : {kTerrainGridLow, kTerrainGridMedium, kTerrainGridHigh}) {
            MapWindow w = ExtractionWindow(clip.window, grid, grid);
            // Whatever the file says, an ordered window comes out when its numbers are.
            if (std::isfinite(w.west) && std::isfinite(w.east) && w.west > w.east) abort();
            if (std::isfinite(w.south) && std::isfinite(w.north) && w.south > w.north) abort();
        }
    for (size_t at = 0; at + kTerrainNameRecordSize <= size; at += kTerrainNameRecordSize) {
        TerrainNameRecord r;
        DecodeTerrainNameRecord(data + at, &r);
        if (r.name.size() > 69) abort();
        uint8_t again[kTerrainNameRecordSize];
        EncodeTerrainNameRecord(r, again);
        TerrainNameRecord back;
        DecodeTerrainNameRecord(again, &back);
        if (back.name != r.name || back.nameClass != r.nameClass) abort();
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    uint8_t clip[kClipFileSize];
    EncodeClipRecord(ClipRecordFor(MapWindow{7, 9, 45.5, 47.5}), clip);
    seeds.emplace_back(clip, clip + sizeof clip);
    EncodeClipRecord(ClipRecordFor(MapWindow{182, 178, 44, 40}), clip);
    seeds.emplace_back(clip, clip + sizeof clip);
    TerrainNameRecord r;
    r.name = "Corner Town";
    r.row = 12.5;
    r.column = 99.0;
    r.nameClass = 2;
    std::vector<uint8_t> names(2 * kTerrainNameRecordSize);
    EncodeTerrainNameRecord(r, names.data());
    r.found = 1;
    r.name = std::string(69, 'x');
    EncodeTerrainNameRecord(r, names.data() + kTerrainNameRecordSize);
    seeds.push_back(names);
    seeds.push_back({});
    return seeds;
}
