// The flyby's window: the aircraft's world position and its clamps, and the 512 x 512 km
// window cut around it. Before the flight the cut runs at once behind a banner and the
// progress bar. In flight it runs on a worker thread that fills a second set of grids without
// messages or drawing; the frame loop takes them when they are complete, and the steps that
// draw or may speak (the rivers, the palette indices, the clearing of classes, any message)
// run then, on the window's thread, in a few milliseconds.
#include <atomic>
#include <cmath>
#include <thread>

#include "core/core.h"
#include "flyby/flyby_internal.h"
#include "imaging/imaging.h"

FlybyGrids flybyGrids;
FlybyFlight flyby;

namespace {

// The frame sees about 300 cells ahead, more than the window's half width, and draws nothing
// beyond its edge; so the window is cut again once the aircraft is this far from its centre,
// which leaves at least 208 km of terrain ahead in every direction.
constexpr float kRecutDistanceKm = 48.0f;

// A cut under way on the worker thread, for the position it started from.
struct CutJob {
    ~CutJob() {
        if (worker.joinable()) worker.join();  // a program quitting in flight
    }
    std::thread worker;
    std::atomic<int> done{0};
    int busy = 0;
    float x = 0, y = 0;
    FlybyGrids next;
    int cutOk = 0, classesRead = 0, namesFound = 0;
    std::vector<uint8_t> classes;
};
CutJob job;

float Clamp(float v, float low, float high) { return v < low ? low : v > high ? high : v; }

int LoadFlybyCodebooks() {
    if (!LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod")) return 0;
    if (!LoadCodebookH("raster\\hts\\hts_4096.cod")) {
        ReleaseCodebookRGB();
        return 0;
    }
    return 1;
}

void SetWindowAround(FlybyGrids* g, float x, float y) {
    g->west = x - kFlybyHalfWindowKm;
    g->east = x + kFlybyHalfWindowKm;
    g->north = y - kFlybyHalfWindowKm;
    g->south = y + kFlybyHalfWindowKm;
    g->prepared = 1;
}

// [SECTION] The banner

Rect BannerRect() { return smallLayout ? Rect{102, 357, 102 + 353, 357 + 13} : Rect{128, 447, 128 + 442, 447 + 17}; }

void ShowBanner() {
    Surface* w = WindowSurface();
    Surface* banner = nullptr;
    if (!w || !LoadBMPFromFile("menu\\144a.bmp", &banner)) return;
    Rect r = BannerRect();
    Blit(w, r.left, r.top, r.right - r.left, r.bottom - r.top, banner, 0, 0);
    DeleteSurface(banner);
}

void RestoreBanner() {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Rect r = BannerRect();
    Blit(w, r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

// [SECTION] The worker's part and the window thread's part

void CutOffThread() {
    job.cutOk = CutFlybyImagery(&job.next, job.x, job.y) && CutFlybyHeights(&job.next, job.x, job.y);
    job.classesRead = ReadFlybyClasses(&job.classes, job.x, job.y);
    std::string file = TempPath("names.tmp");
    job.namesFound = CollectFlybyNames(job.x, job.y, file.c_str()) >= 0 &&
                     ReadFlybyNameFile(file.c_str(), &job.next.names, kFlybyMaxNames);
    job.done.store(1, std::memory_order_release);
}

void EndJob() {
    if (job.worker.joinable()) job.worker.join();
    if (job.busy) {
        ReleaseCodebookRGB();
        ReleaseCodebookH();
    }
    job.busy = 0;
    job.done.store(0);
}

}  // namespace

// [SECTION] Positions

void FlybyStartFromDegrees(double longitude, double latitude, float* x, float* y) {
    longitude = longitude < -180 ? -180 : longitude > 180 ? 180 : longitude;
    latitude = latitude < -90 ? -90 : latitude > 90 ? 90 : latitude;
    float fx = (float)((longitude + 180.0) / 360.0 * 40080.0);
    float fy = (float)(20040.0 - std::trunc((latitude + 90.0) / 180.0 * 20040.0));
    *x = Clamp(fx, 500.0f, 39500.0f);
    *y = Clamp(fy, 500.0f, 19500.0f);
}

void ClampFlybyPosition(FlybyFlight* f) {
    float x = Clamp(f->x, 256.0f, 39824.0f), y = Clamp(f->y, 256.0f, 19784.0f);
    if (x != f->x || y != f->y) {
        f->vx = 0.0f;
        f->vy = 0.0f;
    }
    f->x = x;
    f->y = y;
}

int FlybyWindowNeeded(const FlybyFlight& f, const FlybyGrids& g) {
    if (!g.prepared) return 1;
    FlybyFlight at = f;
    ClampFlybyPosition(&at);
    float cx = (g.west + g.east) / 2, cy = (g.north + g.south) / 2;
    return std::fabs(at.x - cx) > kRecutDistanceKm || std::fabs(at.y - cy) > kRecutDistanceKm;
}

// [SECTION] Preparing at once

int PrepareFlybyWindow(int quiet) {
    ClampFlybyPosition(&flyby);
    if (flyby.running && !FlybyWindowNeeded(flyby, flybyGrids)) return 1;
    StopFlybyPreparation();
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    int showing = !flyby.running;
    if (showing) {
        ProgressIndicator(0, 0);
        if (!quiet) ShowBanner();
    }
    float x = flyby.x, y = flyby.y;
    int ok = LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod");
    if (ok) {
        ExtractFlybyImagery(&flybyGrids, x, y);
        ReleaseCodebookRGB();
        if (showing) ProgressIndicator(0, 25);
        ok = LoadCodebookH("raster\\hts\\hts_4096.cod");
    }
    if (ok) {
        ExtractFlybyHeights(&flybyGrids, x, y);
        ReleaseCodebookH();
        if (showing) ProgressIndicator(0, 50);
        std::string file = TempPath("names.tmp");
        flybyGrids.namesFailed = !ExtractFlybyNames(x, y, file.c_str());
        if (flybyGrids.namesFailed) {
            flybyGrids.names.clear();
            ShowMessage("Cannot extract airport names");
        } else {
            LoadFlybyNames(file.c_str(), &flybyGrids.names, kFlybyMaxNames);
        }
        if (showing) ProgressIndicator(0, 75);
        SetWindowAround(&flybyGrids, x, y);
        SubtractLowestHeight(&flybyGrids);
        ExtractFlybyClasses(&flybyGrids, x, y);
        if (showing) {
            ProgressIndicator(0, 100);
            ProgressIndicator(1, 100);
        }
    }
    if (showing && !quiet) RestoreBanner();
    SetCursorShape(previousCursor);
    return ok;
}

// [SECTION] Preparing in flight

int StartFlybyPreparation() {
    if (job.busy) return 1;
    ClampFlybyPosition(&flyby);
    if (!FlybyPaletteReady() || !LoadFlybyCodebooks()) return 0;
    job.busy = 1;
    job.done.store(0);
    job.x = flyby.x;
    job.y = flyby.y;
    job.next = FlybyGrids{};
    job.classes.clear();
    job.worker = std::thread(CutOffThread);
    return 1;
}

int TakeFlybyPreparation() {
    if (!job.busy || !job.done.load(std::memory_order_acquire)) return 0;
    EndJob();
    if (!job.cutOk) {
        ShowMessage("Cannot allocate flyby512Data[]");
        return 0;
    }
    FlybyGrids* g = &job.next;
    DrawFlybyRivers(g, job.x, job.y);
    ReduceFlybyColours(g);
    SetWindowAround(g, job.x, job.y);
    SubtractLowestHeight(g);
    if (job.classesRead) {
        ClearFlybyClasses(&job.classes, g->heights, g->colours, FlybyPalette());
        g->classes.swap(job.classes);
    } else {
        g->classes = flybyGrids.classes;  // the vegetation stays as it was
        ShowMessage("Cannot open file %s", kFlybyClassRaster);
    }
    g->namesFailed = !job.namesFound;
    if (g->namesFailed) {
        g->names.clear();
        ShowMessage("Cannot extract airport names");
    }
    std::swap(flybyGrids, *g);
    return 1;
}

void StopFlybyPreparation() { EndJob(); }
