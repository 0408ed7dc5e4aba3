// Loading the 350 x 350 terrain set as the terrain view does when it opens or changes grid:
// the set files alone, then with the derived layers worked out and written (first demand) and
// read back from their files (every later demand), and the derivation alone in memory. The
// set is a synthetic relief of hills written to a folder under /tmp.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "terrain/terrain_set.h"

namespace {

constexpr int kN = 350;

int16_t Relief(int r, int c) {
    return (int16_t)(1200 + 900 * std::sin(r * 0.05) * std::cos(c * 0.031) + 250 * std::sin((r + 2 * c) * 0.13));
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFileAtomically(name.c_str(), bytes.data(), bytes.size());
}

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    static std::string folder = "/tmp/mundora-bench-terrain-" + std::to_string(getpid());
    MakeDirectories((folder + "/scales").c_str());
    atexit([] { std::filesystem::remove_all(folder); });
    snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", folder.c_str());
    std::vector<uint8_t> hts, sha, rgb;
    for (int r = 0; r < kN; r++)
        for (int c = 0; c < kN; c++) {
            WriteI16LE(hts, Relief(r, c));
            WriteU8(sha, (uint8_t)(Relief(r, c) / 12));
            for (int k = 0; k < 3; k++) WriteU8(rgb, (uint8_t)(r + c * k));
        }
    WriteFile(TerrainSetPath(kN, "hts"), hts);
    WriteFile(TerrainSetPath(kN, "sha"), sha);
    WriteFile(TerrainSetPath(kN, "rgb"), rgb);
    WriteFile(TerrainSetPath(kN, "vec"), rgb);
    std::vector<TerrainNameRecord> names(300);
    for (size_t i = 0; i < names.size(); i++) {
        names[i].name = "Place " + std::to_string(i);
        names[i].nameClass = 1 + (int)(i % 6);
    }
    WriteFile(TerrainSetPath(kN, "nam"), EncodeTerrainNameFile(names));
    WriteFile(TerrainSetPath(kN, "n2"), {});
    WriteFile(folder + "/scales/ian1.sca", std::vector<uint8_t>(8 + 3 * 10000, 77));
    ready = AllocateTerrainBuffers(kN, kN, 665, 499);
    return ready;
}

std::string Scale() { return std::string(dataRoot) + "\\scales\\ian1.sca"; }

void Load(benchmark::State& state, int derived, int cached) {
    if (!Prepare()) {
        state.SkipWithError("cannot allocate the terrain buffers");
        return;
    }
    int ok = 1;
    for (auto _ : state) {
        if (derived && !cached) {
            state.PauseTiming();
            RemoveFile(TerrainSetPath(kN, "slp").c_str());
            state.ResumeTiming();
        }
        ok &= LoadTerrainSet(Scale().c_str(), kN, 0);
        if (derived) ok &= LoadTerrainDerivedLayers(kN);
    }
    if (!ok) state.SkipWithError(TestLastMessage().c_str());
}

void BM_LoadSet(benchmark::State& s) { Load(s, 0, 0); }
void BM_LoadSetDerivingLayers(benchmark::State& s) { Load(s, 1, 0); }
void BM_LoadSetDerivedFromFiles(benchmark::State& s) {
    if (Prepare() && !FileExists(TerrainSetPath(kN, "slp").c_str())) DeriveTerrainFiles(kN);
    Load(s, 1, 1);
}

// The arithmetic of the derivation, no files: the disc means and the slopes and aspects.
void BM_DeriveInMemory(benchmark::State& state) {
    std::vector<int16_t> heights((size_t)kN * kN), smoothed((size_t)kN * kN);
    std::vector<uint8_t> slope((size_t)kN * kN), aspect((size_t)kN * kN);
    for (int r = 0; r < kN; r++)
        for (int c = 0; c < kN; c++) heights[(size_t)r * kN + c] = Relief(r, c);
    for (auto _ : state) {
        SmoothTerrainHeights(heights.data(), kN, smoothed.data());
        DeriveSlopeAspect(smoothed.data(), kN, 120.0, slope.data(), aspect.data());
        benchmark::DoNotOptimize(slope.data());
    }
}

BENCHMARK(BM_LoadSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSetDerivingLayers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSetDerivedFromFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
