// Drawing flyby frames as the flight does: a fixed path of frames (climbing, turning, speeding
// over the grids) at the size of the flyby's view and at 800 x 600, with vegetation and names,
// over synthetic hills with forests. Each iteration draws the next frame of the path; the
// counter worst_ms is the slowest frame met. Also the inverse-colour table that every flyby
// start builds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "../tests/flyby/flyby_fixture.h"
#include "flyby/flyby.h"

namespace {

using namespace flyby_fixture;

const FlybyGrids& SyntheticGrids() {
    static FlybyGrids g = [] {
        FlybyGrids grids = MakeGrids(Hills, HillColour);
        // Forest where the land is above the plain, in patches of every class.
        for (int r = 0; r < kFlybyGrid; r++)
            for (int c = 0; c < kFlybyGrid; c++)
                if (Hills(r, c) > 1.5) grids.classes[(size_t)r * kFlybyGrid + c] = (uint8_t)(1 + (r / 24 + c / 32) % 10);
        for (int i = 0; i < kFlybyMaxNames; i++) {
            FlybyName n{};
            snprintf(n.name, sizeof n.name, "Place %d", i);
            n.row = 60 + (i * 151) % 400, n.column = 60 + (i * 97) % 400;
            grids.names.push_back(n);
        }
        return grids;
    }();
    return g;
}

// Frame i of the path: north from the south of the window, weaving 40 degrees either side,
// climbing from near the ground to high and back.
FlybyCamera PathCamera(const FlybyGrids& g, int i) {
    constexpr int kFrames = 600;
    i %= kFrames;
    FlybyCamera c;
    c.heading = (float)std::fmod(360 + 40 * std::sin(i * 0.02), 360.0);
    c.column = 256 + 60 * (float)std::sin(i * 0.01);
    c.row = 450 - 0.6f * i;
    float ground = 0;
    for (float dr = -1; dr <= 1; dr++)
        for (float dc = -1; dc <= 1; dc++) {
            int r = std::clamp((int)(c.row + dr), 0, kFlybyGrid - 1), col = std::clamp((int)(c.column + dc), 0, kFlybyGrid - 1);
            ground = std::max(ground, g.heights[(size_t)r * kFlybyGrid + col]);
        }
    c.altitude = std::max(ground + 2.0f, 4 + 16 * (float)(1 - std::cos(i * 2 * M_PI / kFrames)));
    return c;
}

void FlyPath(benchmark::State& state, const FlybyGrids& g, int width, int height) {
    static auto art = MakeArt();
    std::vector<uint32_t> frame((size_t)width * height);
    FlybyDisplay display;
    int i = 0;
    double worst = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        RenderFlybyFrame(g, *art, PathCamera(g, i), display, i * 3, frame.data(), width, height, width);
        std::vector<FlybyLabel> labels;
        FlybyLabelsFor(g, PathCamera(g, i), width, height, &labels);
        benchmark::DoNotOptimize(labels.data());
        worst = std::max(worst, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(frame.data());
        i++;
    }
    state.counters["worst_ms"] = worst;
}

void BM_FlyHillsView(benchmark::State& s) { FlyPath(s, SyntheticGrids(), 666, 498); }
void BM_FlyHills800(benchmark::State& s) { FlyPath(s, SyntheticGrids(), 800, 600); }
BENCHMARK(BM_FlyHillsView)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_FlyHills800)->Unit(benchmark::kMillisecond)->Iterations(600);

void BM_InverseColourTable(benchmark::State& state) {
    ColourRef palette[256];
    MakePalette(palette);
    static uint8_t inverse[32768];
    for (auto _ : state) {
        BuildInverseColourTable(palette, inverse);
        benchmark::DoNotOptimize(inverse);
    }
}
BENCHMARK(BM_InverseColourTable)->Unit(benchmark::kMillisecond);

}  // namespace
