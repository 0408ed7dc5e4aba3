// A full repaint of the 2D map on the default volume: the background from its screen cache,
// then every default vector layer and the place names, at the world view, over a continent
// and in a 1:1,000,000 window. The volume is the installed default volume (the one
// scripts/run.sh builds) unless MUNDORA_BENCH_VOLUME names another; with MUNDORA_SHOTS set to a folder each view is also saved there as a PNG.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/screens.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "platform/files.h"
#include "platform/test_double.h"

namespace fs = std::filesystem;

namespace {

std::string sourceDir = MUNDORA_SOURCE_DIR;

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    std::string volume = getenv("MUNDORA_BENCH_VOLUME") ? getenv("MUNDORA_BENCH_VOLUME") : InstalledVolumeDirectories().front();
    ready = 0;
    if (!FileExists((volume + "/titlepg.bmp").c_str())) {
        fprintf(stderr, "no volume at %s\n", volume.c_str());
        return 0;
    }
    // The viewer as a user starts it: an empty data root, the volume found as an installed one.
    static std::string root = "/tmp/mundora-bench-repaint-" + std::to_string(getpid());
    fs::create_directories(root + "/xdg/mundora");
    fs::remove(root + "/xdg/mundora/volume");
    fs::create_symlink(volume, root + "/xdg/mundora/volume");
    setenv("XDG_DATA_HOME", (root + "/xdg").c_str(), 1);
    if (!FileExists((volume + "/names.dat").c_str()))  // older volumes lack the authored names.dat
        fs::copy_file(sourceDir + "/content/names.dat", root + "/names.dat", fs::copy_options::overwrite_existing);
    ChangeDirectory(root.c_str());
    TestModeEnable(1);
    options.soundsOn = 0;
    if (!InitInstance()) {
        fprintf(stderr, "start-up failed: %s\n", TestLastMessage().c_str());
        return 0;
    }
    TestPumpMessages();
    EnterMapScreen(1);
    TestPumpMessages();
    ready = 1;
    return 1;
}

void SaveShot(const char* name) {
    const char* dir = getenv("MUNDORA_SHOTS");
    if (!dir) return;
    fs::create_directories(dir);
    TestSaveWindowPng((std::string(dir) + "/" + name + ".png").c_str());
}

// The window of the given size in degrees around a centre, at depth 1.
void ShowWindow(double lon, double lat, double width) {
    double height = width * (mapRect.bottom - mapRect.top) / (mapRect.right - mapRect.left);
    zoomHistory[1] = MapWindow{lon - width / 2, lon + width / 2, lat - height / 2, lat + height / 2};
    zoomDepth = 1;
}

void Repaint(benchmark::State& state, const char* shot) {
    if (!Prepare()) {
        state.SkipWithError("no volume");
        return;
    }
    DiscardScreenCache(zoomDepth);
    RecomposeAndRepaintMap();  // the first paint leaves the screen cache behind
    TestClearShown();
    for (auto _ : state) RecomposeAndRepaintMap();
    if (!TestShownMessages().empty()) state.SkipWithError(TestShownMessages()[0].text.c_str());
    state.counters["scale"] = (double)(long)MapScale();
    SaveShot(shot);
}

void BM_RepaintWorld(benchmark::State& s) {
    if (Prepare()) zoomDepth = 0;
    Repaint(s, "world");
}
void BM_RepaintContinent(benchmark::State& s) {
    if (Prepare()) ShowWindow(12.0, 50.0, 60.0);
    Repaint(s, "europe");
}
void BM_RepaintMillion(benchmark::State& s) {
    if (Prepare()) {
        ShowWindow(8.5, 46.5, 1.0);
        ShowWindow(8.5, 46.5, 1.0 * 1000000.0 / MapScale());
    }
    Repaint(s, "alps-1-1000000");
}
void BM_RepaintRegion(benchmark::State& s) {
    if (Prepare()) ShowWindow(-95.0, 38.0, 30.0);
    Repaint(s, "north-america");
}
void BM_RepaintDateLine(benchmark::State& s) {
    if (Prepare()) ShowWindow(178.0, -18.0, 16.0);
    Repaint(s, "fiji-date-line");
}

BENCHMARK(BM_RepaintWorld)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintContinent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintRegion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintDateLine)->Unit(benchmark::kMillisecond);

}  // namespace
