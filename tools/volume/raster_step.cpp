// The raster step of the builder: world overviews, coarse 60-degree tiles (scrambled), the
// world shade, the four codebooks trained from the data and the fine 12-degree tiles of every
// tile that holds land. Each output is resampled from the sources on its own grid.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "raster_layers.h"
#include "volume.h"

// [SECTION] Running work on every core

// Runs work(i, inputs) for i in 0..count-1 on ctx.jobs threads, each with its own sources.
static int RunParallel(BuildContext& ctx, int count, Progress* progress,
                       const std::function<int(int, RasterInputs*)>& work) {
    std::atomic<int> next{0}, failed{0};
    auto worker = [&] {
        RasterInputs in;
        if (!OpenRasterInputs(ctx, &in)) {
            failed = 1;
            return;
        }
        for (int i; !failed && (i = next++) < count;) {
            if (!work(i, &in)) failed = 1;
            if (progress) ProgressStep(*progress);
        }
        CloseRasterInputs(&in);
    };
    int threads = std::max(1, std::min(ctx.jobs, count));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; t++) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    return !failed;
}

static std::vector<std::string> SourcePaths(const BuildContext& ctx) {
    return {ElevationSourcePath(ctx), ImagerySourcePath(ctx)};
}

// [SECTION] World files

static SampleGrid WorldGrid(int width, int height, int margin) {
    SampleGrid g;
    g.stepX = 360.0 / width, g.stepY = 180.0 / height;
    g.west = -180 - margin * g.stepX, g.north = 90 + margin * g.stepY;
    g.width = width + 2 * margin, g.height = height + 2 * margin;
    return g;
}

static int WriteShadeFile(BuildContext& ctx, RasterInputs* in, const char* name, int width, int height) {
    SampleGrid grid = WorldGrid(width, height, 1);
    std::vector<float> heights;
    std::vector<uint8_t> shade;
    if (!ReadHeights(in, grid, &heights)) return 0;
    ReliefShade(heights, grid, &shade);
    return WriteVolumeFile(ctx, name, shade);
}

static int WriteWorldFiles(BuildContext& ctx) {
    std::vector<std::string> sources = SourcePaths(ctx);
    struct WorldFile {
        const char* name;
        std::function<int(RasterInputs*)> build;
    } files[] = {
        {"raster\\rgb\\rgb2.top",
         [&](RasterInputs* in) {
             std::vector<float> rgb[3];
             if (!ReadColours(in, WorldGrid(kRgbTopWidth, kRgbTopHeight, 0), rgb)) return 0;
             std::vector<uint8_t> out;
             for (size_t i = 0; i < rgb[0].size(); i++)
                 for (int ch = 0; ch < 3; ch++) out.push_back((uint8_t)lroundf(rgb[ch][i]));
             return WriteVolumeFile(ctx, "raster\\rgb\\rgb2.top", out);
         }},
        {"raster\\hts\\hts.top",
         [&](RasterInputs* in) {
             std::vector<float> h;
             if (!ReadHeights(in, WorldGrid(kTopWidth, kTopHeight, 0), &h)) return 0;
             std::vector<uint8_t> out;
             for (float v : h) WriteI16LE(out, (int16_t)std::max(-32768L, std::min(32767L, lroundf(v))));
             return WriteVolumeFile(ctx, "raster\\hts\\hts.top", out);
         }},
        {"raster\\shadow\\shadow.top",
         [&](RasterInputs* in) { return WriteShadeFile(ctx, in, "raster\\shadow\\shadow.top", kTopWidth, kTopHeight); }},
        {"raster\\shadow\\shadow.8",
         [&](RasterInputs* in) { return WriteShadeFile(ctx, in, "raster\\shadow\\shadow.8", kShade8Width, kShade8Height); }},
    };
    std::vector<int> todo;
    for (int i = 0; i < 4; i++)
        if (!VolumeFileUpToDate(ctx, files[i].name, sources)) todo.push_back(i);
    if (todo.empty()) return 1;
    Progress p;
    ProgressStart(p, "world overviews and shade", (int)todo.size());
    int ok = RunParallel(ctx, (int)todo.size(), &p, [&](int i, RasterInputs* in) { return files[todo[i]].build(in); });
    ProgressEnd(p);
    return ok;
}

// [SECTION] Coarse tiles

static int WriteCoarseTile(BuildContext& ctx, RasterInputs* in, int west, int north, TileLayer layer) {
    SampleGrid grid = TileGrid(west, north, kCoarseDegrees, kCoarseSamples, 0);
    std::vector<uint16_t> samples((size_t)kCoarseSamples * kCoarseSamples);
    if (layer == kLayerHeight) {
        std::vector<float> h;
        if (!ReadHeights(in, grid, &h)) return 0;
        for (size_t i = 0; i < h.size(); i++) samples[i] = (uint16_t)(int16_t)std::max(-32768L, std::min(32767L, lroundf(h[i])));
    } else {
        std::vector<float> rgb[3];
        if (!ReadColours(in, grid, rgb)) return 0;
        for (size_t i = 0; i < samples.size(); i++)
            samples[i] = Pack565((int)lroundf(rgb[0][i]), (int)lroundf(rgb[1][i]), (int)lroundf(rgb[2][i]));
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(kCoarseFileSize);
    for (int r = 0; r < kCoarseSamples; r++) {
        uint16_t* row = samples.data() + (size_t)r * kCoarseSamples;
        UnscrambleCoarseRow(r, row);  // scrambling is its own inverse
        for (int c = 0; c < kCoarseSamples; c++) WriteU16LE(bytes, row[c]);
    }
    return WriteVolumeFile(ctx, TileNameCoarse(layer, west, north).c_str(), bytes);
}

static int WriteCoarseTiles(BuildContext& ctx) {
    std::vector<std::string> sources = SourcePaths(ctx);
    struct Job {
        int west, north;
        TileLayer layer;
    };
    std::vector<Job> jobs;
    for (int i = 0; i < kCoarseTileRows; i++)
        for (int j = 0; j < kCoarseTileColumns; j++)
            for (TileLayer layer : {kLayerHeight, kLayerColour}) {
                Job job{CoarseTileWest(j), CoarseTileNorth(i), layer};
                if (!VolumeFileUpToDate(ctx, TileNameCoarse(layer, job.west, job.north).c_str(), sources)) jobs.push_back(job);
            }
    if (jobs.empty()) return 1;
    Progress p;
    ProgressStart(p, "coarse tiles", (int)jobs.size());
    int ok = RunParallel(ctx, (int)jobs.size(), &p, [&](int i, RasterInputs* in) {
        return WriteCoarseTile(ctx, in, jobs[i].west, jobs[i].north, jobs[i].layer);
    });
    ProgressEnd(p);
    return ok;
}

// [SECTION] Fine tiles

struct FineTileRef {
    int number;  // position in the whole list of 450, for shards
    int west, north;
};

// The fine tiles inside the recipe's region ("west,east,south,north"; the world by default).
static int FineTileList(BuildContext& ctx, std::vector<FineTileRef>* list) {
    double w = -180, e = 180, s = -90, n = 90;
    std::string region = RecipeValue(ctx, "region", "");
    if (!region.empty() && (sscanf(region.c_str(), "%lf,%lf,%lf,%lf", &w, &e, &s, &n) != 4 || !(e > w) || !(n > s))) {
        BuildError("region should read west,east,south,north in degrees, not %s", region.c_str());
        return 0;
    }
    for (int i = 0; i < kFineTileRows; i++)
        for (int j = 0; j < kFineTileColumns; j++) {
            int west = FineTileWest(j), north = FineTileNorth(i);
            if (west < e && west + kFineDegrees > w && north > s && north - kFineDegrees < n)
                list->push_back({i * kFineTileColumns + j, west, north});
        }
    return 1;
}

static const char* kCodebookNames[4] = {"raster\\shadow\\shadow.cod", "raster\\hts\\hts_4096.cod",
                                        "raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod"};

static std::vector<std::string> CodebookSources(const BuildContext& ctx) {
    std::vector<std::string> sources = SourcePaths(ctx);
    for (int layer : {kLayerColour, kLayerHeight})
        for (int i = 0; i < kCoarseTileRows; i++)
            for (int j = 0; j < kCoarseTileColumns; j++)
                sources.push_back(VolumePath(ctx, TileNameCoarse((TileLayer)layer, CoarseTileWest(j), CoarseTileNorth(i)).c_str()));
    return sources;
}

static int LoadBuiltCodebooks(BuildContext& ctx, RasterCodebooks* books) {
    std::vector<float>* words[4] = {&books->shade, &books->height, &books->rg, &books->b};
    int entries[4] = {4096, 4096, 2048, 1024};
    for (int i = 0; i < 4; i++) {
        std::vector<uint8_t> bytes;
        std::string path = VolumePath(ctx, kCodebookNames[i]);
        size_t size = (size_t)entries[i] * (i == 0 ? 16 : 32);
        if (!ReadWholeFile(path.c_str(), &bytes, size) || bytes.size() != size) {
            BuildError("Cannot read the codebook %s", path.c_str());
            return 0;
        }
        words[i]->resize((size_t)entries[i] * 16);
        for (size_t v = 0; v < words[i]->size(); v++) (*words[i])[v] = i == 0 ? bytes[v] : PeekI16LE(bytes.data() + 2 * v);
    }
    PrepareSearchers(books);
    return 1;
}

// Samples residual blocks from the land tiles (every tile of the list when none holds land) and
// trains the four codebooks; a few hundred blocks per codeword are plenty.
static int TrainCodebooks(BuildContext& ctx, const std::vector<FineTileRef>& tiles, RasterCodebooks* books) {
    int perCodeword = atoi(RecipeValue(ctx, "vq_blocks_per_codeword", "128").c_str());
    int iterations = atoi(RecipeValue(ctx, "vq_iterations", "10").c_str());
    int sampled = std::min((int)tiles.size(), std::max(1, atoi(RecipeValue(ctx, "vq_training_tiles", "60").c_str())));
    // Tiles spread evenly over the list; the land check happens on the way.
    std::vector<FineTileRef> pick;
    for (int k = 0; k < sampled; k++) pick.push_back(tiles[(size_t)k * tiles.size() / sampled]);
    double share = std::min(1.0, 4096.0 * perCodeword / (sampled * (double)kFineBlocks * kFineBlocks) * 1.5);
    std::vector<std::vector<float>> shade(pick.size()), height(pick.size()), rg(pick.size()), b(pick.size());
    std::vector<int> land(pick.size(), 0);
    Progress p;
    ProgressStart(p, "codebook training samples", (int)pick.size());
    int ok = RunParallel(ctx, (int)pick.size(), &p, [&](int i, RasterInputs* in) {
        FineSource src;
        if (!ReadFineSource(in, ctx.outDir, pick[i].west, pick[i].north, &src)) return 0;
        land[i] = src.hasLand;
        SampleFineBlocks(src, 1000u + pick[i].number, share, &shade[i], &height[i], &rg[i], &b[i]);
        return 1;
    });
    ProgressEnd(p);
    if (!ok) return 0;
    int anyLand = 0;
    for (int l : land) anyLand |= l;
    std::vector<float> all[4];
    for (size_t i = 0; i < pick.size(); i++) {
        if (anyLand && !land[i]) continue;
        all[0].insert(all[0].end(), shade[i].begin(), shade[i].end());
        all[1].insert(all[1].end(), height[i].begin(), height[i].end());
        all[2].insert(all[2].end(), rg[i].begin(), rg[i].end());
        all[3].insert(all[3].end(), b[i].begin(), b[i].end());
    }
    int entries[4] = {4096, 4096, 2048, 1024};
    std::vector<float>* words[4] = {&books->shade, &books->height, &books->rg, &books->b};
#ifdef _OPENMP
    omp_set_num_threads(ctx.jobs);
#endif
    for (int i = 0; i < 4; i++) {
        // At most perCodeword blocks per codeword, taken evenly from the pool.
        size_t n = all[i].size() / kBlockValues, want = (size_t)entries[i] * perCodeword;
        if (n > want) {
            std::vector<float> thinned;
            for (size_t k = 0; k < want; k++) {
                size_t from = k * n / want;
                thinned.insert(thinned.end(), all[i].begin() + from * kBlockValues, all[i].begin() + (from + 1) * kBlockValues);
            }
            all[i].swap(thinned);
        }
        double t = NowSeconds();
        fprintf(stderr, "training %s: %zu blocks into %d codewords\n", kCodebookNames[i], all[i].size() / kBlockValues,
                entries[i]);
        if (!TrainCodebook(all[i], entries[i], iterations, 1234 + i, words[i])) {
            BuildError("No blocks to train %s", kCodebookNames[i]);
            return 0;
        }
        ReportLine(ctx, "rasters: %s trained on %zu blocks in %.1f s", kCodebookNames[i], all[i].size() / kBlockValues,
                   NowSeconds() - t);
    }
    PrepareSearchers(books);
    return WriteVolumeFile(ctx, kCodebookNames[0], ShadeCodebookBytes(books->shade)) &&
           WriteVolumeFile(ctx, kCodebookNames[1], Codebook16Bytes(books->height)) &&
           WriteVolumeFile(ctx, kCodebookNames[2], Codebook16Bytes(books->rg)) &&
           WriteVolumeFile(ctx, kCodebookNames[3], Codebook16Bytes(books->b));
}

static int BuildFineTiles(BuildContext& ctx) {
    std::vector<FineTileRef> tiles;
    if (!FineTileList(ctx, &tiles)) return 0;
    RasterCodebooks books;
    std::vector<std::string> bookSources = CodebookSources(ctx);
    int booksUpToDate = 1;
    for (const char* name : kCodebookNames) booksUpToDate &= VolumeFileUpToDate(ctx, name, bookSources);
    if (booksUpToDate ? !LoadBuiltCodebooks(ctx, &books) : !TrainCodebooks(ctx, tiles, &books)) return 0;
    if (RecipeValue(ctx, "fine_tiles", "yes") == "no") return 1;

    std::vector<std::string> tileSources = bookSources;
    for (const char* name : kCodebookNames) tileSources.push_back(VolumePath(ctx, name));
    std::vector<FineTileRef> todo;
    int skipped = 0;
    for (const FineTileRef& t : tiles) {
        if (!InShard(ctx, t.number)) continue;
        int fresh = 1;
        for (TileLayer layer : {kLayerColour, kLayerHeight, kLayerShade})
            fresh &= VolumeFileUpToDate(ctx, TileNameFine(layer, t.west, t.north).c_str(), tileSources);
        if (fresh) skipped++;
        else todo.push_back(t);
    }
    std::vector<ErrorStats> stats(todo.size());
    std::atomic<int> written{0};
    Progress p;
    ProgressStart(p, "fine tiles", (int)todo.size());
    int ok = RunParallel(ctx, (int)todo.size(), &p, [&](int i, RasterInputs* in) {
        FineSource src;
        if (!ReadFineSource(in, ctx.outDir, todo[i].west, todo[i].north, &src)) return 0;
        if (!src.hasLand) return 1;
        std::vector<uint8_t> cvq, hvc, vqc;
        EncodeFineTile(src, books, &cvq, &hvc, &vqc, &stats[i]);
        written++;
        return (int)(WriteVolumeFile(ctx, TileNameFine(kLayerColour, todo[i].west, todo[i].north).c_str(), cvq) &&
                     WriteVolumeFile(ctx, TileNameFine(kLayerHeight, todo[i].west, todo[i].north).c_str(), hvc) &&
                     WriteVolumeFile(ctx, TileNameFine(kLayerShade, todo[i].west, todo[i].north).c_str(), vqc));
    });
    ProgressEnd(p);
    ErrorStats total;
    for (const ErrorStats& s : stats) total.Add(s);
    ReportLine(ctx, "rasters: %d fine tiles with land written, %d without land, %d up to date, %zu in the region",
               written.load(), (int)todo.size() - written.load(), skipped, tiles.size());
    if (total.colourCount) {
        ReportLine(ctx, "rasters: fine colour PSNR %.2f dB against the imagery", total.ColourPsnr());
        ReportLine(ctx, "rasters: fine shade PSNR %.2f dB against the relief shading", total.ShadePsnr());
        ReportLine(ctx, "rasters: fine heights mean absolute error %.2f m, 99th percentile %.0f m against the elevation",
                   total.HeightMean(), total.HeightPercentile(99));
    }
    return ok;
}

int BuildRasters(BuildContext& ctx) {
    double t = NowSeconds();
    RasterInputs check;
    if (!OpenRasterInputs(ctx, &check)) return 0;
    ReportLine(ctx, "rasters: elevation %s (%dx%d), imagery %s (%dx%d)", check.elevation.path.c_str(),
               check.elevation.width, check.elevation.height, check.imagery.path.c_str(), check.imagery.width,
               check.imagery.height);
    CloseRasterInputs(&check);
    int ok = WriteWorldFiles(ctx) && WriteCoarseTiles(ctx) && BuildFineTiles(ctx);
    ReportLine(ctx, "rasters: %s in %.1f s", ok ? "done" : "FAILED", NowSeconds() - t);
    return ok;
}
