// Satellites: a catalogue of 2,000 varied element sets propagated to one clock time, as the
// visibility search does; one globe frame's orbits for a full group of 34 satellites (40
// positions each, orbit, ground track, marker and name) on a 665 x 499 surface; and that
// frame's positions alone.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/core.h"
#include "globe/satellites.h"

namespace {

// Low, sun-synchronous, navigation, eccentric and geostationary orbits in a fixed mix.
std::vector<SatelliteRecord> Catalogue(int count) {
    std::mt19937 random(2000);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    std::vector<SatelliteRecord> out;
    for (int i = 0; i < count; i++) {
        SatelliteRecord r{};
        double kind = uniform(0.0, 1.0);
        r.meanMotion = kind < 0.6 ? uniform(13.5, 15.8) : kind < 0.75 ? uniform(1.9, 2.1) : kind < 0.9 ? uniform(1.0025, 1.003) : uniform(2.0, 12.0);
        r.eccentricity = kind < 0.9 ? uniform(0.0, 0.01) : uniform(0.01, 0.75);
        r.inclination = kind < 0.75 || kind >= 0.9 ? uniform(0.0, 110.0) : uniform(0.0, 0.1);
        r.epoch = 26000.0 + uniform(250.0, 340.0);
        r.node = uniform(0.0, 360.0), r.perigee = uniform(0.0, 360.0), r.meanAnomaly = uniform(0.0, 360.0);
        r.decayRate = uniform(-1e-6, 2e-5), r.revolution = (int)uniform(0, 90000);
        r.frequency = 146.0, r.observerLatitude = 53.5, r.observerLongitude = -113.5, r.observerAltitude = 670.0;
        r.year = 2026, r.month = 12, r.day = 6, r.hours = 1.5;
        out.push_back(r);
    }
    return out;
}

void BM_PropagateCatalogue(benchmark::State& state) {
    std::vector<SatelliteRecord> catalogue = Catalogue(2000);
    int visible = 0;
    for (auto _ : state) {
        for (const SatelliteRecord& r : catalogue) visible += PropagateSatellite(r).visible;
    }
    benchmark::DoNotOptimize(visible);
    state.SetItemsProcessed(state.iterations() * (int64_t)catalogue.size());
}
BENCHMARK(BM_PropagateCatalogue)->Unit(benchmark::kMillisecond);

// A group file of 34 low and medium orbits in a scratch data root.
int LoadBenchGroup() {
    char pattern[] = "/tmp/mundora-bench-orbits-XXXXXX";
    if (!mkdtemp(pattern)) return 0;
    snprintf(dataRoot, sizeof dataRoot, "%s", pattern);
    std::string folder = std::string(pattern) + "/sats";
    std::string path = folder + "/noaa.dat";
    if (mkdir(folder.c_str(), 0755) != 0) return 0;
    FILE* f = fopen(path.c_str(), "w");
    if (!f) return 0;
    for (int i = 0; i < 34; i++) {
        fprintf(f, "BENCH SATELLITE %d\n", i);
        fprintf(f, "1 %05dU 98067A   26339.50000000  .00002182  00000-0  40768-4 0  9990\n", 10000 + i);
        fprintf(f, "2 %05d %8.4f %8.4f 0006703 130.5360 %8.4f %11.8f%5d7\n", 10000 + i, 20.0 + 2.5 * i, 10.6 * i,
                (37.0 * i) - 360.0 * (int)(37.0 * i / 360.0), i % 3 == 2 ? 2.006 : 14.0 + 0.05 * i, 1000 + i);
    }
    fclose(f);
    return LoadSatelliteGroup("sats\\noaa.dat");
}

void BM_Draw34Orbits(benchmark::State& state) {
    if (LoadBenchGroup() != 34) {
        state.SkipWithError("the group did not load");
        return;
    }
    Surface* s = CreateSurface(665, 499);
    SetTextColour(s, MakeColour(0, 255, 0));
    SetBackgroundMode(s, BK_TRANSPARENT);
    for (auto _ : state) DrawGroupOrbits(nullptr, s, 16000.0 * 0.8, 0.3, 0.785, 665, 499);
    DeleteSurface(s);
    ReleaseSatelliteGroup();
}
BENCHMARK(BM_Draw34Orbits)->Unit(benchmark::kMillisecond);

// The same frame's 1,360 sub-satellite points without any drawing, to tell the two apart.
void BM_GroundPointsOf34Orbits(benchmark::State& state) {
    if (LoadBenchGroup() != 34) {
        state.SkipWithError("the group did not load");
        return;
    }
    double sum = 0.0;
    for (auto _ : state)
        for (int i = 0; i < globeSatCount; i++) {
            SatelliteRecord r = globeSatInfo[i];
            AdvanceSatelliteClock(&r, -0.5);
            for (int k = 0; k < 40; k++, AdvanceSatelliteClock(&r, 0.0125)) sum += SatelliteGroundPoint(r).latitude;
        }
    benchmark::DoNotOptimize(sum);
    ReleaseSatelliteGroup();
}
BENCHMARK(BM_GroundPointsOf34Orbits)->Unit(benchmark::kMillisecond);

}  // namespace
