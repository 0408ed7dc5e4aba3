// Composing the 665x499 map background on a builder-made volume: from the world overview,
// from the coarse tiles and from coarse plus fine tiles, in colour and in elevation, and
// returning to a depth whose screen cache exists. The volume is the end-to-end tests' one
// (build/tests/e2e-volume) unless MUNDORA_BENCH_VOLUME names another.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/app.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/test_double.h"

namespace {

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    std::string volume;
    if (const char* v = getenv("MUNDORA_BENCH_VOLUME")) volume = v;
    else volume = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/../tests/e2e-volume";
    ready = FileExists((volume + "/raster/rgb/rgb2.top").c_str());
    if (!ready) {
        fprintf(stderr, "no volume at %s: run test_e2e first or set MUNDORA_BENCH_VOLUME\n", volume.c_str());
        return 0;
    }
    static std::string temp = "/tmp/mundora-bench-" + std::to_string(getpid());
    MakeDirectories(temp.c_str());
    // The data root holds the theme file; everything else comes from the volume, which is
    // the working directory as after start-up.
    snprintf(dataRoot, sizeof dataRoot, "%s", temp.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", temp.c_str());
    static const char theme[] = "[Raster2D=0 0  000000001 999999999\n";
    WriteFileAtomically((temp + "/theme1.dat").c_str(), theme, sizeof theme - 1);
    ChangeDirectory(volume.c_str());
    screenWidth = 800;
    screenHeight = 600;
    mapRect = Rect{16, 39, 681, 538};
    options.monitorInches = 14;
    options.soundsOn = 0;
    screenMode = 3;
    hbmVirtual = CreateSurface(800, 600);
    ResetZoomHistory();
    return 1;
}

void Compose(benchmark::State& state, MapWindow window, int background, int expectedSource) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    mapBackground = background;
    zoomHistory[1] = window;
    zoomDepth = window.west == -180 && window.east == 180 ? 0 : 1;
    int source = 0;
    for (auto _ : state) {
        DiscardScreenCache(zoomDepth);
        ComposeMapBackground();
        source = lastComposeSource;
    }
    if (source != expectedSource) state.SkipWithError("the composition read another layer than this benchmark measures");
}

// Europe 48 x 36 degrees: coarse elevation (8 km a pixel); 40 x 30: coarse colour (4 km);
// the Alps 4 x 3 degrees: fine tiles (under 1 km a pixel).
const MapWindow kWorld{-180, 180, -135, 135};
const MapWindow kEuropeWide{-12, 36, 24, 60};
const MapWindow kEurope{-10, 30, 30, 60};
const MapWindow kAlps{6, 10, 44, 47};

void BM_OverviewColour(benchmark::State& s) { Compose(s, kWorld, 0, kSourceOverview); }
void BM_OverviewElevation(benchmark::State& s) { Compose(s, kWorld, 2, kSourceOverview); }
void BM_CoarseColour(benchmark::State& s) { Compose(s, kEurope, 0, kSourceCoarse); }
void BM_CoarseElevation(benchmark::State& s) { Compose(s, kEuropeWide, 2, kSourceCoarse); }
void BM_FineColour(benchmark::State& s) { Compose(s, kAlps, 0, kSourceFine); }
void BM_FineElevation(benchmark::State& s) { Compose(s, kAlps, 2, kSourceFine); }
void BM_FineRelief(benchmark::State& s) { Compose(s, kAlps, 1, kSourceFine); }

void BM_ReturnToCachedDepth(benchmark::State& state) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    mapBackground = 0;
    zoomHistory[1] = kAlps;
    zoomDepth = 1;
    DiscardScreenCache(1);
    ComposeMapBackground();
    for (auto _ : state) {
        ComposeMapBackground();
        if (lastComposeSource != kSourceCache) state.SkipWithError("cache not used");
    }
}

BENCHMARK(BM_OverviewColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverviewElevation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoarseColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoarseElevation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineElevation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FineRelief)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReturnToCachedDepth)->Unit(benchmark::kMillisecond);

}  // namespace
