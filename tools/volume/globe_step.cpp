// The builder's "globe" step: the world layers the globe screen rotates ("globe\2160.bmp",
// "globe\2160.sha", "globe\2160n.sha", "globe\2160.hts") from an elevation raster and a
// true-colour image, and its twenty lookup tables. The default sources take a few seconds.
#include <unistd.h>
#ifdef _OPENMP
#include <omp.h>
#endif

#include <cmath>
#include <cstdio>

#include "globe_build.h"
#include "platform/files.h"

static const char* kDefaultElevation = "/usr/share/ferret-vis/data/etopo5.cdf";

// The Blue Marble of the npm package that scripts/setup.sh installs beside content/.
static std::string DefaultImagery() {
    std::string tree = MUNDORA_CONTENT_DIR;
    size_t slash = tree.rfind('/');
    if (slash != std::string::npos) tree.resize(slash);
    return tree + "/node_modules/three-globe/example/img/earth-blue-marble.jpg";
}

// The running builder counts as a source, so a changed builder rewrites its output.
static std::string BuilderPath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    path[n] = 0;
    return path;
}

static int AllUpToDate(const BuildContext& ctx, const std::vector<const char*>& names, std::vector<std::string> sources) {
    std::string self = BuilderPath();
    if (!self.empty()) sources.push_back(self);
    for (const char* name : names)
        if (!VolumeFileUpToDate(ctx, name, sources)) return 0;
    return 1;
}

// "globe\2160n.sha": the shading with the names of the largest places burnt in, or the plain
// shading while the volume has no gazetteer yet.
static int WriteNamedShading(BuildContext& ctx, const std::vector<uint8_t>& shade) {
    std::vector<uint8_t> named = shade;
    std::string gazetteerPath = VolumePath(ctx, "names\\pplace2.dat");
    std::vector<uint8_t> gazetteer;
    if (FileExists(gazetteerPath.c_str())) {
        if (!ReadWholeFile(gazetteerPath.c_str(), &gazetteer, 256u << 20)) {
            BuildError("Cannot read the gazetteer %s", gazetteerPath.c_str());
            return 0;
        }
        int drawn = BurnPlaceNames(gazetteer, &named);
        ReportLine(ctx, "globe: %d place names burnt into globe\\2160n.sha", drawn);
    } else {
        ReportLine(ctx, "globe: globe\\2160n.sha equals globe\\2160.sha (no gazetteer names\\pplace2.dat yet)");
        ReportMissing(ctx, "globe\\2160n.sha", "no place names burnt in: names\\pplace2.dat was not built before the globe step");
    }
    return WriteVolumeFile(ctx, "globe\\2160n.sha", named);
}

static int BuildReliefLayers(BuildContext& ctx, const std::string& elevation) {
    std::vector<std::string> sources = {elevation};
    std::string gazetteerPath = VolumePath(ctx, "names\\pplace2.dat");
    if (FileExists(gazetteerPath.c_str())) sources.push_back(gazetteerPath);
    if (AllUpToDate(ctx, {"globe\\2160.sha", "globe\\2160n.sha", "globe\\2160.hts"}, sources)) {
        ReportLine(ctx, "globe: relief layers up to date");
        return 1;
    }
    GlobeGrid heights;
    std::string note;
    if (!ReadGlobeSource(elevation.c_str(), 1, kGlobeWidth, kGlobeHeight, &heights, &note)) return 0;
    if (!note.empty()) ReportLine(ctx, "globe: %s: %s", elevation.c_str(), note.c_str());
    std::vector<uint8_t> classes = HeightClassLayer(heights);
    std::vector<uint8_t> shade = ShadeLayer(heights);
    size_t land = 0;
    int top = 0;
    float highest = -1e30f;
    for (size_t i = 0; i < shade.size(); i++) {
        land += shade[i] != 0;
        top = std::max(top, (int)classes[i]);
        if (!std::isnan(heights.planes[0][i])) highest = std::max(highest, heights.planes[0][i]);
    }
    ReportLine(ctx, "globe: relief from %s: %.1f%% land, highest cell %.0f m (height class %d)", elevation.c_str(),
               100.0 * land / shade.size(), highest, top);
    int ok = WriteVolumeFile(ctx, "globe\\2160.hts", classes);
    ok = ok && WriteVolumeFile(ctx, "globe\\2160.sha", shade);
    return ok && WriteNamedShading(ctx, shade);
}

static int BuildImageryLayer(BuildContext& ctx, const std::string& imagery) {
    if (AllUpToDate(ctx, {"globe\\2160.bmp"}, {imagery})) {
        ReportLine(ctx, "globe: imagery up to date");
        return 1;
    }
    if (!FileExists(imagery.c_str())) {
        BuildError("The imagery %s does not exist (scripts/setup.sh installs the default one)", imagery.c_str());
        ReportMissing(ctx, "globe\\2160.bmp", "no imagery source");
        return 0;
    }
    GlobeGrid colour;
    std::string note;
    if (!ReadGlobeSource(imagery.c_str(), 3, kGlobeWidth, kGlobeHeight, &colour, &note)) return 0;
    if (!note.empty()) ReportLine(ctx, "globe: %s: %s", imagery.c_str(), note.c_str());
    std::vector<uint8_t> rgb((size_t)kGlobeLayerBytes * 3);
    for (size_t i = 0; i < (size_t)kGlobeLayerBytes; i++)
        for (int k = 0; k < 3; k++) {
            float v = colour.planes[k][i];
            rgb[i * 3 + k] = std::isnan(v) ? 0 : (uint8_t)std::lround(std::max(0.0f, std::min(255.0f, v)));
        }
    std::vector<uint8_t> palette, indices;
    QuantiseColours(rgb.data(), kGlobeLayerBytes, 256, &palette, &indices);
    double squared = 0;
    for (size_t i = 0; i < (size_t)kGlobeLayerBytes; i++)
        for (int k = 0; k < 3; k++) {
            double d = (double)rgb[i * 3 + k] - palette[indices[i] * 3 + k];
            squared += d * d;
        }
    double mse = squared / (3.0 * kGlobeLayerBytes);
    ReportLine(ctx, "globe: imagery from %s: %zu colours, PSNR %.1f dB against the resampled source", imagery.c_str(),
               palette.size() / 3, mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99.0);
    return WriteVolumeFile(ctx, "globe\\2160.bmp", EncodeBmp8(indices.data(), kGlobeWidth, kGlobeHeight, palette));
}

int BuildGlobe(BuildContext& ctx) {
    // The globe's files are whole-world layers, not tiles: the first shard builds them all.
    if (ctx.shardIndex != 0) {
        ReportLine(ctx, "globe: left to shard 0");
        return 1;
    }
#ifdef _OPENMP
    omp_set_num_threads(ctx.jobs);
#endif
    double start = NowSeconds();
    std::vector<std::string> filterNames;
    for (int size = 0; size < kGlobeSizes; size++)
        for (int tilt = 0; tilt < kGlobeTilts; tilt++) filterNames.push_back(GlobeFilterName(size, tilt));
    std::vector<const char*> filters;
    for (const std::string& name : filterNames) filters.push_back(name.c_str());
    int ok = 1;
    if (AllUpToDate(ctx, filters, {})) ReportLine(ctx, "globe: lookup tables up to date");
    else ok = WriteGlobeFilters(ctx);
    ok = BuildReliefLayers(ctx, RecipeValue(ctx, "elevation", kDefaultElevation)) && ok;
    ok = BuildImageryLayer(ctx, RecipeValue(ctx, "imagery", DefaultImagery().c_str())) && ok;
    ReportLine(ctx, "globe: layers and lookup tables in %.1f s", NowSeconds() - start);
    return ok;
}
