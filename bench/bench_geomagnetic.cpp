// The declination the map readout asks for on every pointer move: one full evaluation
// (checks, two syntheses to degree 12, angles) at places spread over the map.
#include <benchmark/benchmark.h>

#include "map2d/geomagnetic_model.h"

static void BM_DeclinationUnderPointer(benchmark::State& state) {
    double latitude = -80.0, longitude = -179.0, sum = 0.0;
    for (auto _ : state) {
        double d = 0.0;
        MagneticDeclination(2026, 12, 5, latitude, longitude, &d);
        sum += d;
        latitude = latitude > 80.0 ? -80.0 : latitude + 0.37;
        longitude = longitude > 179.0 ? -179.0 : longitude + 0.53;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_DeclinationUnderPointer);

static void BM_Wmm90FullResult(benchmark::State& state) {
    GeomagneticResult r;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateWmm90(1995, 6, 1, kGeodetic, 'k', 1.0, 45.0, -75.0, &r));
    }
}
BENCHMARK(BM_Wmm90FullResult);
