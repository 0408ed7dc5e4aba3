// Cutting the flyby's window: at once, as the flight starts (imagery with rivers, heights,
// names, classes), over the Alps and over open sea; and in flight, where a worker thread cuts
// it and the frame loop only takes it (the counter take_ms is that part, on the window's
// thread). Reads the installed default volume (~/.local/share/mundora/volume) or the one
// MUNDORA_BENCH_VOLUME names; MUNDORA_FLYBY_DATA names a folder holding the flyby's own files
// (raster\owe14d.img, Textures\...) when the volume has none yet, e.g. one built with
// `mundora-volume --out DIR --only flyby`.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/core.h"
#include "flyby/flyby.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/scratch_folder.h"

namespace {

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    std::string volume;
    if (const char* v = getenv("MUNDORA_BENCH_VOLUME")) volume = v;
    else if (const char* home = getenv("HOME")) volume = std::string(home) + "/.local/share/mundora/volume";
    std::string flybyFiles = getenv("MUNDORA_FLYBY_DATA") ? getenv("MUNDORA_FLYBY_DATA") : volume;
    ready = FileExists((volume + "/raster/hts/hts_4096.cod").c_str()) && FileExists((flybyFiles + "/raster/owe14d.img").c_str());
    if (!ready) {
        fprintf(stderr, "no volume with the flyby's files: set MUNDORA_BENCH_VOLUME and MUNDORA_FLYBY_DATA\n");
        return 0;
    }
    fprintf(stderr, "volume: %s, flyby files: %s\n", volume.c_str(), flybyFiles.c_str());
    const std::string& temp = BenchScratchFolder("flyby");
    // Files are looked up under the data root first, then on the volume (the working folder).
    snprintf(dataRoot, sizeof dataRoot, "%s", flybyFiles.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", temp.c_str());
    ChangeDirectory(volume.c_str());
    screenMode = 1;  // no progress panel: the bar's drawing is not what is measured
    hbmVirtual = CreateSurface(800, 600);
    return 1;
}

void Place(double longitude, double latitude) {
    flyby = FlybyFlight{};
    flyby.x = (float)((longitude + 180.0) / 360.0 * 40080.0);
    flyby.y = (float)((90.0 - latitude) / 180.0 * 20040.0);
}

void ReportMessages(benchmark::State& state) {
    if (!TestShownMessages().empty()) state.SkipWithError(TestLastMessage().c_str());
    TestClearShown();
}

void AtOnce(benchmark::State& state, double longitude, double latitude) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    Place(longitude, latitude);
    PrepareFlybyWindow(1);  // the palette's inverse table is made once per program
    TestClearShown();
    for (auto _ : state)
        if (!PrepareFlybyWindow(1)) state.SkipWithError("preparation failed");
    ReportMessages(state);
    size_t trees = 0;
    for (uint8_t c : flybyGrids.classes) trees += c != 0;
    state.counters["tree_cells"] = (double)trees;
    state.counters["names"] = (double)flybyGrids.names.size();
}

void InFlight(benchmark::State& state, double longitude, double latitude) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    Place(longitude, latitude);
    PrepareFlybyWindow(1);
    TestClearShown();
    flyby.running = 1;
    double takeSeconds = 0, worst = 0;
    for (auto _ : state) {
        if (!StartFlybyPreparation()) state.SkipWithError("start failed");
        for (;;) {
            auto before = std::chrono::steady_clock::now();
            int taken = TakeFlybyPreparation();
            double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
            if (taken) {
                takeSeconds += spent;
                worst = std::max(worst, spent);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // a frame's wait, shortened
        }
    }
    flyby.running = 0;
    ReportMessages(state);
    state.counters["take_ms"] = 1000 * takeSeconds / (double)state.iterations();
    state.counters["take_worst_ms"] = 1000 * worst;
}

}  // namespace

BENCHMARK_CAPTURE(AtOnce, alps, 10.0, 46.5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AtOnce, open_sea, -30.0, 0.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(InFlight, alps, 10.0, 46.5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(InFlight, open_sea, -30.0, 0.0)->Unit(benchmark::kMillisecond)->UseRealTime();
