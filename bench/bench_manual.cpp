// The manual viewer on a 300-line text of captions, headings, body lines and links: opening
// it on its first page (the file read and the page drawn) and turning to the next page.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/core.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"

namespace fs = std::filesystem;

namespace {

// A help text as the manual has them: its caption at the top (a caption sets the line
// position, so it opens a page), then sections of headings, body lines and links of each kind.
std::string ManualText() {
    static const char* const body[] = {
        "The map area shows the window of the current zoom level; each level keeps its own window.",
        "Click on the map to zoom in on the point, or hold Shift and drag a box around an area.",
        "The status line under the map gives the scale of the map on your own monitor.",
        "Borders, rivers, lakes and roads are drawn over the background in the order of the list.",
        "Place names are placed after the layers; a name that would cover another one is left out.",
    };
    std::string text;
    text += "{bigtext=40,60,\"The 2D Map\"}\n";
    int lines = 1;
    for (int section = 0; lines < 300; section++) {
        text += "{1}Working with the map, part " + std::to_string(section + 1) + "\n";
        lines++;
        for (int k = 0; k < 12 && lines < 300; k++, lines++) {
            if (k == 4) text += "{3}Zoom and pan\n";
            else if (k == 7) text += "{4}See also {f \"manual\\m_index.txt\" the index} and {u \"https://example.org/help\" the help pages}.\n";
            else if (k == 9) text += "{4}Show {z \"5.5,48,45.8,10.5\" Switzerland} or {s \"08 00\" the GPS satellites} on the map.\n";
            else text += std::string("{4}") + body[(section + k) % 5] + "\n";
        }
    }
    return text;
}

struct Setup {
    std::string root;
    int ready = 0;
    Setup() {
        root = "/tmp/mundora-bench-manual-" + std::to_string(getpid());
        fs::create_directories(root + "/manual");
        FILE* f = fopen((root + "/manual/bench.txt").c_str(), "wb");
        if (!f) return;
        std::string text = ManualText();
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", root.c_str());
        screenWidth = 800, screenHeight = 600;
        mapRect = Rect{16, 39, 681, 538};
        WindowOptions o{"Mundora", screenWidth, screenHeight, 1};
        if (!CreateMainWindow(o, [](uint32_t, uint64_t, int64_t, const Message&) -> int64_t { return 0; })) return;
        hbmVirtual = CreateSurface(screenWidth, screenHeight);
        BuildButtonTable();
        screenMode = 6;
        ready = hbmVirtual != nullptr;
    }
    ~Setup() { fs::remove_all(root); }
};

Setup& Prepared() {
    static Setup setup;
    return setup;
}

void BM_OpenManualPage(benchmark::State& state) {
    if (!Prepared().ready) {
        state.SkipWithError("no window");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(RunManualViewer("manual\\bench.txt", 1, nullptr, nullptr, nullptr));
}
BENCHMARK(BM_OpenManualPage)->Unit(benchmark::kMillisecond);

void BM_TurnManualPage(benchmark::State& state) {
    if (!Prepared().ready || RunManualViewer("manual\\bench.txt", 1, nullptr, nullptr, nullptr) != kManualEnded) {
        state.SkipWithError("no window");
        return;
    }
    // Walk the text once so every page start is known, then turn page after page.
    int page = 0;
    while (ShowManualPage(page) && page + 1 < kManualMaxPages) page++;
    int pages = page + 1;
    page = 0;
    for (auto _ : state) {
        page = (page + 1) % pages;
        benchmark::DoNotOptimize(ShowManualPage(page));
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_TurnManualPage)->Unit(benchmark::kMillisecond);

}  // namespace
