// Drawing flyby frames as the flight does: a fixed path of frames (climbing, turning, speeding
// over the grids) at the size of the flyby's view and at 800 x 600, with vegetation and names,
// over synthetic hills with forests. Each iteration draws the next frame of the path; the
// counters worst_ms and worst_cpu_ms are the slowest frame met by the wall clock and in
// processor time. Windows cut from the installed default volume (the Alps, a coast, a desert)
// are flown the same way. Also the inverse-colour table that every flyby
// start builds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "../tests/flyby/flyby_fixture.h"
#include "core/core.h"
#include "flyby/flyby.h"
#include "flyby/flyby_internal.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/scratch_folder.h"

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
    FlybyFlight f;
    f.heading = ((int)std::lround(40 * std::sin(i * 0.02)) + 360) % 360;
    float column = 256 + 60 * (float)std::sin(i * 0.01), row = 450 - 0.6f * i;
    f.x = g.west + column * (g.east - g.west) / kFlybyGrid;
    f.y = g.north + row * (g.south - g.north) / kFlybyGrid;
    float ground = 0;
    for (float dr = -1; dr <= 1; dr++)
        for (float dc = -1; dc <= 1; dc++) {
            int r = std::clamp((int)(row + dr), 0, kFlybyGrid - 1), c = std::clamp((int)(column + dc), 0, kFlybyGrid - 1);
            ground = std::max(ground, g.heights[(size_t)r * kFlybyGrid + c]);
        }
    f.altitude = std::max(ground + 2.0f, 4 + 16 * (float)(1 - std::cos(i * 2 * M_PI / kFrames)));
    return FlybyCameraFor(f, g);
}

// This thread's processor time: on a busy machine the wall clock counts other programs too.
double ThreadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

const FlybyArt& TestArt() {
    static auto art = MakeArt();
    return *art;
}

void FlyPath(benchmark::State& state, const FlybyGrids& g, const FlybyArt& art, int width, int height) {
    std::vector<uint32_t> frame((size_t)width * height);
    FlybyDisplay display;
    int i = 0;
    double worst = 0, worstCpu = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadCpuMs();
        RenderFlybyFrame(g, art, PathCamera(g, i), display, i * 3, frame.data(), width, height, width);
        std::vector<FlybyLabel> labels;
        FlybyLabelsFor(g, PathCamera(g, i), width, height, &labels);
        benchmark::DoNotOptimize(labels.data());
        worst = std::max(worst, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        worstCpu = std::max(worstCpu, ThreadCpuMs() - cpuStart);
        benchmark::DoNotOptimize(frame.data());
        i++;
    }
    state.counters["worst_ms"] = worst;
    state.counters["worst_cpu_ms"] = worstCpu;
}

void BM_FlyHillsView(benchmark::State& s) { FlyPath(s, SyntheticGrids(), TestArt(), 666, 498); }
void BM_FlyHills800(benchmark::State& s) { FlyPath(s, SyntheticGrids(), TestArt(), 800, 600); }
BENCHMARK(BM_FlyHillsView)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_FlyHills800)->Unit(benchmark::kMillisecond)->Iterations(600);

// [SECTION] Real grids: windows cut from the installed default volume

// The volume is used read-only as the working directory. The data root is the folder named by
// MUNDORA_FLYBY_DATA when set: the output of `mundora-volume --only flyby` (art and class
// raster), for a volume built before the flyby step. Otherwise a folder of our own with the
// test palette; the flyby's art is then the test art, and with no class raster every cell is
// made forest, thinned by the clearing rules: the heaviest vegetation a window can carry.
// names.tmp goes to a folder of our own either way.
const FlybyGrids* RealGrids(double longitude, double latitude) {
    static std::string folder;
    if (folder.empty()) {
        std::string volume;
        for (const std::string& d : InstalledVolumeDirectories())
            if (FileExists((d + "/titlepg.bmp").c_str())) {
                volume = d;
                break;
            }
        if (volume.empty()) return nullptr;
        folder = BenchScratchFolder("flyby");
        MakeDirectories((folder + "/tmp").c_str());
        MakeDirectories((folder + "/Textures").c_str());
        std::vector<uint8_t> pal;
        ColourRef palette[256];
        MakePalette(palette);
        for (ColourRef c : palette) pal.insert(pal.end(), {(uint8_t)ColourRed(c), (uint8_t)ColourGreen(c), (uint8_t)ColourBlue(c)});
        WriteFileAtomically((folder + "/Textures/PrePals.pal").c_str(), pal.data(), pal.size());
        const char* built = getenv("MUNDORA_FLYBY_DATA");
        snprintf(dataRoot, sizeof dataRoot, "%s", built && *built ? built : folder.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", folder.c_str());
        ChangeDirectory(volume.c_str());
    }
    static FlybyGrids grids;
    flyby.running = 0;
    flybyGrids.prepared = 0;
    FlybyStartFromDegrees(longitude, latitude, &flyby.x, &flyby.y);
    if (!PrepareFlybyWindow(1)) return nullptr;
    grids = flybyGrids;
    if (grids.classes.size() != (size_t)kFlybyGrid * kFlybyGrid) {
        std::vector<uint8_t> forest((size_t)kFlybyGrid * kFlybyGrid, 6);
        ClearFlybyClasses(&forest, grids.heights, grids.colours, FlybyPalette());
        grids.classes = forest;
    }
    return &grids;
}

void FlyOver(benchmark::State& state, double longitude, double latitude) {
    const FlybyGrids* g = RealGrids(longitude, latitude);
    if (!g) {
        state.SkipWithError(("no default volume or no window: " + TestLastMessage()).c_str());
        return;
    }
    float highest = *std::max_element(g->heights.begin(), g->heights.end());
    size_t trees = std::count_if(g->classes.begin(), g->classes.end(), [](uint8_t c) { return c != 0; });
    // The volume's own art when it has some, else the test art.
    static int realArt = LoadFlybyArt(&flybyArt);
    FlyPath(state, *g, realArt ? flybyArt : TestArt(), 666, 498);
    state.counters["real_art"] = realArt;
    state.counters["highest_m"] = (highest + g->lowestHeight) * 500;
    state.counters["names"] = (double)g->names.size();
    state.counters["tree_cells"] = (double)trees;
}

void BM_FlyAlps(benchmark::State& s) { FlyOver(s, 7.5, 46.2); }           // Valais and Mont Blanc
void BM_FlyCoast(benchmark::State& s) { FlyOver(s, 14.3, 40.7); }         // the Bay of Naples
void BM_FlyDesert(benchmark::State& s) { FlyOver(s, 5.6, 23.3); }         // the Hoggar in the Sahara
BENCHMARK(BM_FlyAlps)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_FlyCoast)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_FlyDesert)->Unit(benchmark::kMillisecond)->Iterations(600);

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
