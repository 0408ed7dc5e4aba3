// Extracting a terrain set, as the 3D tab and the terrain view's commands do it: the low and
// medium grids of a newly clipped area, and the high grid with the Details overlay, for a
// 2-degree and a 12-degree area. Reads the installed default volume
// (~/.local/share/mundora/volume), else the end-to-end tests' one (build/tests/e2e-volume), or
// the one MUNDORA_BENCH_VOLUME names.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/scratch_folder.h"
#include "terrain/terrain_extraction.h"

namespace {

std::string FindVolume() {
    if (const char* v = getenv("MUNDORA_BENCH_VOLUME")) return v;
    std::string candidates[2];
    if (const char* home = getenv("HOME")) candidates[0] = std::string(home) + "/.local/share/mundora/volume";
    candidates[1] = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/../tests/e2e-volume";
    for (const std::string& c : candidates)
        if (!c.empty() && FileExists((c + "/raster/hts/hts_4096.cod").c_str())) return c;
    return "";
}

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    std::string volume = FindVolume();
    ready = !volume.empty();
    if (!ready) {
        fprintf(stderr, "no volume found: install the default volume, run test_e2e, or set MUNDORA_BENCH_VOLUME\n");
        return 0;
    }
    fprintf(stderr, "volume: %s\n", volume.c_str());
    const std::string& temp = BenchScratchFolder("extract");
    snprintf(dataRoot, sizeof dataRoot, "%s", volume.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", temp.c_str());
    ChangeDirectory(volume.c_str());
    screenWidth = 800;
    screenHeight = 600;
    mapRect = Rect{16, 39, 681, 538};
    statusRect = Rect{18, 539, 679, 563};
    options.monitorInches = 14;
    options.soundsOn = 0;
    screenMode = 1;  // no progress panel: the bar's drawing is not what is measured
    hbmVirtual = CreateSurface(800, 600);
    ResetZoomHistory();
    return 1;
}

// 2 degrees over the Alps; 12 degrees across four fine tiles of Europe.
const MapWindow kSmall{7.0, 9.0, 45.5, 47.5};
const MapWindow kLarge{4.0, 16.0, 40.0, 52.0};

// A message during the runs means the timing is of a failure, not of an extraction.
void ReportMessages(benchmark::State& state) {
    if (!TestShownMessages().empty()) state.SkipWithError(TestLastMessage().c_str());
    TestClearShown();
}

void LowAndMedium(benchmark::State& state, MapWindow area) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    for (auto _ : state)
        if (!ExtractTerrainSet(area, 0)) state.SkipWithError("extraction failed");
    ReportMessages(state);
}

void HighWithDetails(benchmark::State& state, MapWindow area) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    WriteClipFile(area);
    zoomHistory[1] = area;
    zoomDepth = 1;
    for (auto _ : state)
        if (!ExtractTerrainSet(area, 1)) state.SkipWithError("extraction failed");
    ReportMessages(state);
    // How much of the overlay differs from the imagery: the layers were drawn.
    std::vector<uint8_t> rgb, vec;
    ReadWholeFile(ResolvePath(TerrainSetPath(350, "rgb").c_str()).c_str(), &rgb, 1 << 20);
    ReadWholeFile(ResolvePath(TerrainSetPath(350, "vec").c_str()).c_str(), &vec, 1 << 20);
    size_t changed = 0;
    for (size_t i = 0; i + 2 < rgb.size() && i + 2 < vec.size(); i += 3) changed += rgb[i] != vec[i] || rgb[i + 1] != vec[i + 1] || rgb[i + 2] != vec[i + 2];
    state.counters["overlay_cells"] = (double)changed;
}

}  // namespace

BENCHMARK_CAPTURE(LowAndMedium, area_2_degrees, kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LowAndMedium, area_12_degrees, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HighWithDetails, area_2_degrees, kSmall)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HighWithDetails, area_12_degrees, kLarge)->Unit(benchmark::kMillisecond);
