// Drawing the 350 x 350 terrain set as the terrain view does: a full redraw at step 1 for the
// imagery, elevation and flooding types (projection, triangles, frame, labels and the copy to
// the window's image included), and the preview drawn at step 14 while a camera control is
// dragged. The set is a synthetic relief of hills written to a folder under /tmp.
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
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

namespace {

constexpr int kN = 350;
constexpr int kWidth = 665, kHeight = 499;

int16_t Relief(int r, int c) {
    return (int16_t)(1200 + 900 * std::sin(r * 0.05) * std::cos(c * 0.031) + 250 * std::sin((r + 2 * c) * 0.13));
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFileAtomically(name.c_str(), bytes.data(), bytes.size());
}

std::string Scale() { return std::string(dataRoot) + "\\scales\\ian1.sca"; }

// The set written and loaded once, a whole-window image to copy into, names on.
int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    static std::string folder = "/tmp/mundora-bench-render-" + std::to_string(getpid());
    MakeDirectories((folder + "/scales").c_str());
    atexit([] { std::filesystem::remove_all(folder); });
    snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", folder.c_str());
    std::vector<uint8_t> hts, sha, rgb, scale(8);
    for (int r = 0; r < kN; r++)
        for (int c = 0; c < kN; c++) {
            WriteI16LE(hts, Relief(r, c));
            WriteU8(sha, (uint8_t)(40 + (Relief(r, c) + 3 * r) % 200));
            for (int k = 0; k < 3; k++) WriteU8(rgb, (uint8_t)(r + c * k));
        }
    for (int k = 0; k < 10000; k++) scale.insert(scale.end(), {(uint8_t)(k / 40), (uint8_t)(255 - k / 40), 90});
    WriteFile(TerrainSetPath(kN, "hts"), hts);
    WriteFile(TerrainSetPath(kN, "sha"), sha);
    WriteFile(TerrainSetPath(kN, "rgb"), rgb);
    WriteFile(TerrainSetPath(kN, "vec"), rgb);
    std::vector<TerrainNameRecord> names(20);
    for (size_t i = 0; i < names.size(); i++) {
        names[i].name = "Place " + std::to_string(i);
        names[i].nameClass = 1;
        names[i].row = 100 + 7 * (double)i, names[i].column = 120 + 5 * (double)i;
    }
    WriteFile(TerrainSetPath(kN, "nam"), EncodeTerrainNameFile(names));
    WriteFile(TerrainSetPath(kN, "n2"), {});
    WriteFile(folder + "/scales/ian1.sca", scale);
    hbmVirtual = CreateSurface(800, 600);
    ResetTerrainCamera();
    terrainDraw.namesOn = 1;
    ready = hbmVirtual && AllocateTerrainBuffers(kN, kN, kWidth, kHeight) && LoadTerrainSet(Scale().c_str(), kN, 0);
    return ready;
}

void Render(benchmark::State& state, int type, int step) {
    if (!Prepare()) {
        state.SkipWithError(TestLastMessage().c_str());
        return;
    }
    // The view passes its scale for the types that colour through it.
    std::string scale = type == kTerrainElevation ? Scale() : "";
    int ok = 1;
    for (auto _ : state) ok &= RenderTerrain(kN, 0, 0, kWidth, kHeight, type, 1.4, scale.c_str(), step, step == 1);
    if (!ok) state.SkipWithError(TestLastMessage().c_str());
}

void BM_RenderImagery(benchmark::State& s) { Render(s, kTerrainImagery, 1); }
void BM_RenderElevation(benchmark::State& s) { Render(s, kTerrainElevation, 1); }
void BM_RenderFlooding(benchmark::State& s) { Render(s, kTerrainFlooding, 1); }
void BM_RenderPreview(benchmark::State& s) { Render(s, kTerrainPreview, 14); }

// Raising the water one level over a flooded picture already drawn: the palette is built
// again and the 8-bit picture shown through it, without drawing anything anew.
void BM_RaiseWaterOneStep(benchmark::State& state) {
    if (!Prepare() || !BuildFloodPalette(Scale().c_str(), 1, 0, 0) ||
        !RenderTerrain(kN, 0, 0, kWidth, kHeight, kTerrainFlooding, 1.4, "", 1, 1)) {
        state.SkipWithError(TestLastMessage().c_str());
        return;
    }
    int level = 0, ok = 1;
    for (auto _ : state) {
        level = (level + 1) % kFloodLevels;
        ok &= BuildFloodPalette(Scale().c_str(), 1, 1, level) && ShowFloodPalette();
    }
    if (!ok) state.SkipWithError(TestLastMessage().c_str());
}
BENCHMARK(BM_RaiseWaterOneStep)->Unit(benchmark::kMicrosecond);

// Projection alone, the part every redraw and every drag step starts with.
void BM_ProjectCells(benchmark::State& state) {
    if (!Prepare()) {
        state.SkipWithError(TestLastMessage().c_str());
        return;
    }
    for (auto _ : state)
        ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, kN, 0, 0, kWidth + 3, kHeight, 1);
}

BENCHMARK(BM_RenderImagery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderElevation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFlooding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProjectCells)->Unit(benchmark::kMillisecond);

}  // namespace
