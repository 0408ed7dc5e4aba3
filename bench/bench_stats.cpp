// The statistics screen's redraws on the installed volume: a change of variable on the flat
// map (a palette over the kept region image), a change of region (the image read again), the
// extruded chart, and a table page with its clipboard text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/core.h"
#include "platform/files.h"
#include "stats/stats_screen.h"

namespace {

int64_t NoWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

int Prepare(benchmark::State& state) {
    static int ready = -1;
    if (ready >= 0) return ready;
    const char* home = getenv("HOME");
    std::string volume = std::string(home ? home : "") + "/.local/share/mundora/volume";
    ready = 0;
    if (!FileExists((volume + "/table/country.dat").c_str())) return 0;
    snprintf(dataRoot, sizeof dataRoot, "%s", volume.c_str());
    snprintf(tempDir, sizeof tempDir, "/tmp/mundora-bench-stats-%d", (int)getpid());
    MakeDirectories(tempDir);
    CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, NoWindowProc);
    smallLayout = 0;
    SetLayoutRectangles();
    hbmVirtual = CreateSurface(800, 600);
    screenMode = 7;
    (void)state;
    ready = 1;
    return 1;
}

const int kVariables[] = {14, 26, 8, 16, 11, 25};

void BM_FlatMapNewVariable(benchmark::State& state) {
    if (!Prepare(state)) return state.SkipWithError("no installed volume with country tables");
    int region = (int)state.range(0), i = 0;
    DrawStatisticsMap(14, region, 0);
    for (auto _ : state) benchmark::DoNotOptimize(DrawStatisticsMap(kVariables[i++ % 6], region, 0));
}
BENCHMARK(BM_FlatMapNewVariable)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_FlatMapNewRegion(benchmark::State& state) {
    if (!Prepare(state)) return state.SkipWithError("no installed volume with country tables");
    int region = 0;
    for (auto _ : state) benchmark::DoNotOptimize(DrawStatisticsMap(14, region++ % kStatRegions, 0));
}
BENCHMARK(BM_FlatMapNewRegion)->Unit(benchmark::kMillisecond);

void BM_ChartNewVariable(benchmark::State& state) {
    if (!Prepare(state)) return state.SkipWithError("no installed volume with country tables");
    int region = (int)state.range(0), i = 0;
    DrawStatisticsMap(14, region, 1);
    for (auto _ : state) benchmark::DoNotOptimize(DrawStatisticsMap(kVariables[i++ % 6], region, 1));
}
BENCHMARK(BM_ChartNewVariable)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_ChartNewRegion(benchmark::State& state) {
    if (!Prepare(state)) return state.SkipWithError("no installed volume with country tables");
    int region = 0;
    for (auto _ : state) benchmark::DoNotOptimize(DrawStatisticsMap(14, region++ % kStatRegions, 1));
}
BENCHMARK(BM_ChartNewRegion)->Unit(benchmark::kMillisecond);

void BM_TablePage(benchmark::State& state) {
    if (!Prepare(state)) return state.SkipWithError("no installed volume with country tables");
    int variables[4] = {14, 26, 8, 11};
    SetSelectionForRegion(0, variables);
    for (auto _ : state) benchmark::DoNotOptimize(DrawStatisticsTable());
}
BENCHMARK(BM_TablePage)->Unit(benchmark::kMillisecond);

}  // namespace
