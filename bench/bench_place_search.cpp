// The place-name search on the default volume's gazetteers: the best-match list of one
// keystroke in the localities (the largest gazetteer, under a four-symbol prefix table), the
// first search of a session, which reads the gazetteer, and the location list of a common name
// with its countries and its "locate.tmp". The volume is the installed default one
// (~/.local/share/mundora/volume) unless MUNDORA_BENCH_VOLUME names another; without one the
// benchmarks are skipped.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "platform/test_double.h"

namespace {

int Prepare() {
    static int ready = -1;
    if (ready >= 0) return ready;
    std::string volume;
    if (const char* v = getenv("MUNDORA_BENCH_VOLUME")) volume = v;
    else if (const char* home = getenv("HOME")) volume = std::string(home) + "/.local/share/mundora/volume";
    ready = FileExists((volume + "/names/world.ix4").c_str());
    if (!ready) {
        fprintf(stderr, "no gazetteers at %s: install the default volume or set MUNDORA_BENCH_VOLUME\n", volume.c_str());
        return 0;
    }
    static std::string temp = "/tmp/mundora-bench-search-" + std::to_string(getpid());
    MakeDirectories(temp.c_str());
    atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(temp, ignored);
    });
    snprintf(dataRoot, sizeof dataRoot, "%s", volume.c_str());
    snprintf(tempDir, sizeof tempDir, "%s", temp.c_str());
    TestModeEnable(1);  // a missing file's message is recorded rather than shown
    return 1;
}

// Every prefix of these names, as they are typed one key at a time.
const char* const kTyped[] = {"Springfield", "San Jose", "Z\xfcrich", "S\xe3o Paulo", "Xyzzy", "Mount Pleasant"};

void BM_KeystrokeLocalities(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no volume");
    ResetPlaceSearch();
    placeSearch.type = 1;
    std::vector<std::string> keys, rows;
    for (const char* name : kTyped)
        for (size_t n = 1; name[n - 1]; n++) keys.push_back(std::string(name, n));
    SearchBestMatches("a", &rows);  // the gazetteer is read once per session
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SearchBestMatches(keys[i], &rows));
        i = (i + 1) % keys.size();
    }
    state.SetLabel(std::to_string(keys.size()) + " keystrokes in turn");
}
BENCHMARK(BM_KeystrokeLocalities)->Unit(benchmark::kMicrosecond);

// The dialog's first list: the localities' prefix table and name index read from the volume.
void BM_FirstSearchOfASession(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no volume");
    std::vector<std::string> rows;
    for (auto _ : state) {
        ResetPlaceSearch();
        placeSearch.type = 1;
        benchmark::DoNotOptimize(SearchBestMatches("S", &rows));
    }
}
BENCHMARK(BM_FirstSearchOfASession)->Unit(benchmark::kMillisecond);

void BM_LocationList(benchmark::State& state, const char* name) {
    if (!Prepare()) return state.SkipWithError("no volume");
    ResetPlaceSearch();
    placeSearch.type = 1;
    std::vector<std::string> rows;
    placeSearch.position = SearchBestMatches(name, &rows);
    if (placeSearch.position < 0) return state.SkipWithError("name not in the gazetteer");
    ListSearchLocations(&rows);  // the location data is read once per session
    for (auto _ : state) benchmark::DoNotOptimize(ListSearchLocations(&rows));
    state.SetLabel(std::to_string(rows.size()) + " locations");
}
BENCHMARK_CAPTURE(BM_LocationList, san_jose, "San Jose")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LocationList, springfield, "Springfield")->Unit(benchmark::kMillisecond);

}  // namespace
