// The globe's satellite tools: the visible-satellites search over the installed volume's
// catalogue (3,743 element sets; a generated catalogue of that size without a volume), the
// dish-aiming report over its geo.tle, and the path view on an 800 x 600 surface: the map
// alone, and the map with an hour of 3,600 positions and their readouts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "core/core.h"
#include "globe/satellite_tools.h"
#include "platform/files.h"

namespace {

constexpr int kGeneratedCatalogue = 3743;

// A scratch data root for what the tools write; the volume is only read.
const std::string& Scratch() {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/mundora-bench-satellite-tools-XXXXXX";
        if (mkdtemp(pattern)) folder = pattern;
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
        snprintf(tempDir, sizeof tempDir, "%s", folder.c_str());
    }
    return folder;
}

std::string InstalledFile(const char* relative) {
    for (const std::string& dir : InstalledVolumeDirectories()) {
        std::string path = dir + "/" + relative;
        if (FileExists(path.c_str())) return path;
    }
    return std::string();
}

// Low, navigation and geostationary orbits in the published two-line layout.
std::string GeneratedElementFile(const char* name, int count, int geostationaryOnly) {
    std::string path = Scratch() + "/" + name;
    FILE* f = fopen(path.c_str(), "w");
    if (!f) return std::string();
    std::mt19937 random(3743);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    for (int i = 0; i < count; i++) {
        double kind = geostationaryOnly ? 1.0 : uniform(0.0, 1.0);
        double motion = kind < 0.7 ? uniform(13.5, 15.8) : kind < 0.85 ? uniform(1.9, 2.1) : uniform(1.0025, 1.003);
        fprintf(f, "OBJECT %d\n", i);
        fprintf(f, "1 %05dU 98067A   26339.50000000  .00000100  00000-0  40768-4 0  9990\n", i % 100000);
        fprintf(f, "2 %05d %8.4f %8.4f 0006703 %8.4f %8.4f %11.8f%5d7\n", i % 100000, uniform(0.0, 100.0),
                uniform(0.0, 360.0), uniform(0.0, 360.0), uniform(0.0, 360.0), motion, i % 90000);
    }
    fclose(f);
    return path;
}

std::string CatalogueFile() {
    std::string installed = InstalledFile("sats/kepler.tle");
    return installed.empty() ? GeneratedElementFile("kepler.tle", kGeneratedCatalogue, 0) : installed;
}

const SatelliteQuery kQuery{53.5, -113.5, 6, 12, 2026, 1, 30};

void BM_SearchCatalogue(benchmark::State& state) {
    std::string catalogue = CatalogueFile();
    std::string result = Scratch() + "/sats.tmp";
    int count = 0;
    for (auto _ : state)
        if (!SearchVisibleSatellites(kQuery, catalogue.c_str(), result.c_str(), &count)) state.SkipWithError("search failed");
    state.counters["found"] = count;
    state.SetLabel(InstalledFile("sats/kepler.tle").empty() ? "generated catalogue" : "installed catalogue");
}
BENCHMARK(BM_SearchCatalogue)->Unit(benchmark::kMillisecond);

void BM_DishReport(benchmark::State& state) {
    std::string geo = InstalledFile("geo.tle");
    if (geo.empty()) geo = GeneratedElementFile("geo.tle", 20, 1);
    for (auto _ : state)
        if (!WriteDishReport(geo.c_str(), 53.5, -113.5, 672.0, 2026, 12, 6)) state.SkipWithError("report failed");
    state.SetLabel(InstalledFile("geo.tle").empty() ? "generated geo.tle" : "installed geo.tle");
}
BENCHMARK(BM_DishReport)->Unit(benchmark::kMillisecond);

// Bigger, Smaller and the opening of the result list redraw the map alone.
void BM_PathViewMap(benchmark::State& state) {
    std::string outline = InstalledFile("sats/worldmap.deg");
    if (!outline.empty()) ChangeDirectory(outline.substr(0, outline.size() - strlen("sats/worldmap.deg")).c_str());
    SetLayoutRectangles();
    Surface* s = CreateSurface(800, 600);
    for (auto _ : state) DrawPathView(nullptr, s, 0, "", 20000, kQuery.longitude, kQuery.latitude, 0, nullptr);
    DeleteSurface(s);
    state.SetLabel(outline.empty() ? "graticule only" : "with the installed world outline");
}
BENCHMARK(BM_PathViewMap)->Unit(benchmark::kMillisecond);

void BM_PathViewHour(benchmark::State& state) {
    std::string catalogue = CatalogueFile();
    std::string result = Scratch() + "/sats.tmp";
    int count = 0;
    if (!SearchVisibleSatellites(kQuery, catalogue.c_str(), result.c_str(), &count) || count == 0) {
        state.SkipWithError("nothing found to draw");
        return;
    }
    // The world outline is read from the volume by its bare name, as the viewer does.
    std::string outline = InstalledFile("sats/worldmap.deg");
    if (!outline.empty()) ChangeDirectory(outline.substr(0, outline.size() - strlen("sats/worldmap.deg")).c_str());
    SetLayoutRectangles();
    Surface* s = CreateSurface(800, 600);
    for (auto _ : state) DrawPathView(nullptr, s, 0, result.c_str(), 20000, kQuery.longitude, kQuery.latitude, 1, nullptr);
    DeleteSurface(s);
}
BENCHMARK(BM_PathViewHour)->Unit(benchmark::kMillisecond);

}  // namespace
