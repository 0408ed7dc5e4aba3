// One globe frame at each of the four sizes, composed alone and drawn whole (transfer,
// graticule, copy to the window), for imagery, shaded relief and an overlay; and a second of
// animation, 60 frames turning the globe a degree each. The tables are built here; the
// layers come from the installed volume when there is one, else from a synthetic world.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/core.h"
#include "globe/globe.h"
#include "globe_build.h"
#include "platform/files.h"

namespace {

constexpr int kViewWidth = 665, kViewHeight = 499;

struct Bench {
    std::string root;
    Surface* window = nullptr;
    int realLayers = 0;
};

Bench& State() {
    static Bench b;
    return b;
}

// A world with seas, land of every shade and height, and overlay values in bands.
void FillSyntheticLayers() {
    uint8_t *a = GlobeLayerA(), *h = GlobeLayerB();
    for (int row = 0; row < kGlobeLayerHeight; row++)
        for (int col = 0; col < kGlobeLayerWidth; col++) {
            size_t o = (size_t)row * kGlobeLayerWidth + col;
            int land = ((row / 40) + (col / 55)) % 3 != 0;
            a[o] = land ? (uint8_t)(1 + (row * 7 + col * 3) % 255) : 0;
            h[o] = (uint8_t)((row + col) & 255);
        }
    for (int i = 0; i < 256; i++) globeBuffers.paletteBuf[i] = MakeColour(i, 255 - i, (i * 3) & 255);
    globeBuffers.layerBytes = kGlobeLayerBytes;
    globeBuffers.layerWidth = kGlobeLayerWidth;
}

int Prepare() {
    Bench& b = State();
    if (b.window) return 1;
    b.root = "/tmp/mundora-bench-globe-" + std::to_string(getpid());
    MakeDirectories((b.root + "/globe").c_str());
    snprintf(dataRoot, sizeof dataRoot, "%s", b.root.c_str());
    for (int size = 0; size < kGlobeSizes; size++) {
        std::vector<uint8_t> table = EncodeGlobeFilter(GlobeRadius(size), GlobeViewLatitude(1));
        WriteFileAtomically((b.root + "/" + std::to_string(size) + ".flt").c_str(), table.data(), table.size());
    }
    SetLayoutRectangles();
    hbmVirtual = CreateSurface(800, 600);
    b.window = CreateSurface(800, 600);
    if (!AllocateGlobeBuffers(kViewWidth, kViewHeight)) return 0;
    const char* volume = "/root/.local/share/mundora/volume";
    if (getenv("MUNDORA_BENCH_VOLUME")) volume = getenv("MUNDORA_BENCH_VOLUME");
    if (DirectoryExists((std::string(volume) + "/globe").c_str())) {
        ChangeDirectory(volume);
        b.realLayers = LoadGlobeLayers("globe\\2160.bmp", "globe\\2160.sha", "globe\\2160.hts", "scales\\ian1.sca", 2, 1, 1) > 0;
    }
    if (!b.realLayers) FillSyntheticLayers();
    return 1;
}

int Setup(benchmark::State& state, int size, int type) {
    if (!Prepare()) {
        state.SkipWithError("no globe buffers");
        return 0;
    }
    std::string table = State().root + "/" + std::to_string(size) + ".flt";
    if (!LoadGlobeFilter(GlobeViewLatitude(1), table.c_str(), 0, 0)) {
        state.SkipWithError("no table");
        return 0;
    }
    if (State().realLayers) {
        if (type == kGlobeImagery) LoadGlobeLayers("globe\\2160.bmp", "", "", "", 0, 1, 1);
        else LoadGlobeLayers("", "globe\\2160.sha", "globe\\2160.hts", "scales\\ian1.sca", type, 1, 1);
    }
    globeView.overlay = type == kGlobeOverlay ? kOverlayTemperature : kOverlayNone;
    globeView.overlayTitle = "Avg. Temperature, degrees C (March)";
    ClearGlobeImage();
    state.SetLabel(State().realLayers ? "volume layers" : "synthetic layers");
    return 1;
}

void BM_Compose(benchmark::State& state) {
    int size = (int)state.range(0), type = (int)state.range(1);
    if (!Setup(state, size, type)) return;
    double lon = 0;
    for (auto _ : state) {
        ComposeGlobeFrame(lon, type);
        lon += 1.0;
    }
}

void BM_DrawGlobe(benchmark::State& state) {
    int size = (int)state.range(0), type = (int)state.range(1);
    if (!Setup(state, size, type)) return;
    double lon = 0;
    for (auto _ : state) {
        DrawGlobe(State().window, mapRect.left, mapRect.top, lon, type);
        lon += 1.0;
    }
}

// A second of turning at the large size: 60 frames, the centre a degree further each.
void BM_AnimationSecond(benchmark::State& state) {
    int type = (int)state.range(0);
    if (!Setup(state, 3, type)) return;
    for (auto _ : state) {
        double lon = 0;
        for (int f = 0; f < 60; f++) {
            DrawGlobe(State().window, mapRect.left, mapRect.top, lon, type);
            lon = lon + 1.0 >= 180.0 ? lon + 1.0 - 360.0 : lon + 1.0;
        }
    }
}

void SizesAndTypes(benchmark::internal::Benchmark* b) {
    for (int type : {kGlobeImagery, kGlobeRelief, kGlobeOverlay})
        for (int size = 0; size < kGlobeSizes; size++) b->Args({size, type});
    b->ArgNames({"size", "type"});
}

BENCHMARK(BM_Compose)->Apply(SizesAndTypes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawGlobe)->Apply(SizesAndTypes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationSecond)->Arg(kGlobeImagery)->Arg(kGlobeOverlay)->ArgName("type")->Unit(benchmark::kMillisecond);

}  // namespace
