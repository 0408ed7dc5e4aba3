// Fuzz target for the terrain set loader: the input's first byte picks the grid, the rest is
// written as each file of the set in turn (heights, shade, imagery, details, names, search
// results, the derived files, clip.zl and the colour scale) beside well-formed others, and the
// set is loaded with its derived layers, so that no file can make a load read or write out of bounds.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "terrain/terrain_set.h"

static void Check(bool ok) {
    if (!ok) abort();
}

static std::string RealPath(const std::string& name) { return ResolvePath(name.c_str()); }

static std::string ScalePath() { return std::string(dataRoot) + "\\scale.sca"; }

static std::string folder;
static void RemoveFolder() { std::filesystem::remove_all(folder); }

static int Prepare() {
    static int ready = 0;
    if (ready) return 1;
    // Every load writes files: in memory they cost no disc flushes.
    folder = (DirectoryExists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/mundora-fuzz-terrain-") + std::to_string(getpid());
    MakeDirectories(folder.c_str());
    atexit(RemoveFolder);
    std::string root = folder;
    snprintf(dataRoot, sizeof dataRoot, "%s", root.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", root.c_str());
    ready = AllocateTerrainBuffers(kTerrainMaxGrid, kTerrainMaxGrid, 64, 48);
    return ready;
}

// The well-formed file of a kind for grid n.
static std::vector<uint8_t> GoodFile(int n, const std::string& kind) {
    std::vector<uint8_t> out;
    size_t cells = (size_t)n * n;
    if (kind == "hts" || kind == "ht2") {
        for (size_t i = 0; i < cells; i++) WriteI16LE(out, (int16_t)(i * 37 % 900 - 100));
    } else if (kind == "sha" || kind == "slp" || kind == "asp") {
        for (size_t i = 0; i < cells; i++) WriteU8(out, (uint8_t)(i * 13));
    } else if (kind == "rgb" || kind == "vec") {
        for (size_t i = 0; i < 3 * cells; i++) WriteU8(out, (uint8_t)i);
    } else if (kind == "nam" || kind == "n2") {
        TerrainNameRecord r;
        r.name = kind;
        r.nameClass = kind == "n2" ? 6 : 1;
        r.row = r.column = n / 2.0;
        out = EncodeTerrainNameFile({r, r});
    } else if (kind == "clip.zl") {
        for (int i = 0; i < 7; i++) WriteU32LE(out, 0), WriteU32LE(out, 0x40590000);   // 100.0
    } else if (kind == "scale") {
        out.resize(8 + 3 * 10000, 99);
    }
    return out;
}

static std::string FileOf(int n, const std::string& kind) {
    if (kind == "clip.zl") return RealPath(TempPath("clip.zl"));
    if (kind == "scale") return RealPath(ScalePath());
    return RealPath(TerrainSetPath(n, kind.c_str()));
}

static const char* const kKinds[] = {"hts", "sha", "rgb", "vec", "nam", "n2", "slp", "asp", "ht2", "clip.zl", "scale"};

static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

static void LoadAndCheck(int n) {
    if (LoadTerrainSet(ScalePath().c_str(), n, 1)) {
        Check(terrainSet.size == n);
        Check(terrainSet.minHeight < terrainSet.maxHeight);
        Check(terrainSet.labelCount >= 0 && terrainSet.labelCount <= kTerrainMaxLabels);
        for (int i = 0; i < terrainSet.labelCount; i++) Check(terrainSet.labels[i].name.size() <= kTerrainNameBytes);
    }
    if (LoadTerrainDerivedLayers(n)) Check(terrainSet.derivedLoaded == 1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TestModeEnable(1);
    if (!Prepare() || size == 0) return 0;
    // Mostly tiny grids; now and then the one with details.
    int n = data[0] == 255 ? kTerrainMaxGrid : 1 + data[0] % 9;
    std::vector<uint8_t> payload(data + 1, data + size);
    for (const char* kind : kKinds) WriteFile(FileOf(n, kind), GoodFile(n, kind));
    for (const char* kind : kKinds) {
        WriteFile(FileOf(n, kind), payload);
        // Heights and cell sizes matter when the derived files are made afresh, which a
        // missing ".slp" asks for; the other files are loaded beside derived files present.
        std::string k = kind;
        if (k == "hts" || k == "clip.zl") RemoveFile(FileOf(n, "slp").c_str());
        LoadAndCheck(n);
        WriteFile(FileOf(n, kind), GoodFile(n, kind));
        for (const char* derived : {"slp", "asp", "ht2"}) WriteFile(FileOf(n, derived), GoodFile(n, derived));
    }
    std::vector<TerrainNameRecord> records;
    DecodeTerrainNameFile(payload.data(), payload.size(), &records);
    TerrainNameRecord table[kTerrainMaxLabels];
    Check(ChooseTerrainLabels(records, records, table) <= kTerrainMaxLabels);
    TestClearShown();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (auto [n, kind] : {std::pair{6, "hts"}, std::pair{4, "rgb"}, std::pair{3, "nam"}, std::pair{5, "clip.zl"}}) {
        std::vector<uint8_t> seed = {(uint8_t)(n - 1)};
        std::vector<uint8_t> file = GoodFile(n, kind);
        seed.insert(seed.end(), file.begin(), file.end());
        seeds.push_back(seed);
    }
    return seeds;
}
