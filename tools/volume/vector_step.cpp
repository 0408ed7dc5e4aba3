// Builder step "vectors": the cell-indexed vector layers and their world point files from
// GSHHG and DCW (through gmt, at the resolution of each scale band) and from the user's road
// and railway sources (through OGR), then the country polygons. The default build holds
// about 3.5 million points in 19 layers.
// Recipe keys: gmt (the gmt program), gshhg_resolution (c, l, i, h or f; h by default),
// roads and railways (any OGR source of lines) with roads_class and railways_class (the
// integer attribute 1..8 that picks RD01..RD08 and RR01..RR08; "class" by default).
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "vector_build.h"

// GSHHG layers. River classes of GSHHG: 0 double-lined rivers, 1 permanent major rivers,
// 2 additional major rivers, 3 additional rivers, 4 minor rivers, 5-7 intermittent rivers
// (major, additional, minor), 8-10 canals (major, minor, irrigation). The layer switches group
// RIV01, RIV02 and RIV05 as the rivers proper, so they take the permanent classes from the
// largest down; RIV03 takes the intermittent rivers and RIV04 the canals.
//
// Coastline, lakes and borders come once per scale band: the world view and continents get
// the crude and low resolutions, countries the intermediate one, regions the recipe's (high
// by default). Each band also drops islands and lakes smaller than about a pixel of its
// largest scale (gmt's -A, in square kilometres), so a map is never crowded with specks.
struct GmtLayer {
    const char* name;
    const char* resolution;  // c, l, i; nullptr takes the recipe's gshhg_resolution
    const char* arguments;   // after "gmt coast -Rd -D<resolution> -M"
    const char* what;
};
static const GmtLayer gmtLayers[] = {
    {"PO13_c", "c", "-A2000/1/1 -W", "coastline for the world (crude; islands of 2,000 km2 and more)"},
    {"PO13_l", "l", "-A100/1/1 -W", "coastline for continents (low; islands of 100 km2 and more)"},
    {"PO13_i", "i", "-A10/1/1 -W", "coastline for countries (intermediate; islands of 10 km2 and more)"},
    {"PO13", nullptr, "-A0/1/1 -W", "coastline for regions (GSHHG shore level 1)"},
    {"LAKES_c", "c", "-A5000/2/4 -W", "lakes for the world (crude; 5,000 km2 and more)"},
    {"LAKES_l", "l", "-A300/2/4 -W", "lakes for continents (low; 300 km2 and more)"},
    {"LAKES_i", "i", "-A20/2/4 -W", "lakes for countries (intermediate; 20 km2 and more)"},
    {"LAKES", nullptr, "-A0/2/4 -W", "lake shores, islands in lakes and ponds (GSHHG levels 2-4)"},
    {"RIV01", nullptr, "-I0 -I1", "double-lined and permanent major rivers (GSHHG river classes 0, 1)"},
    {"RIV02", nullptr, "-I2 -I3", "additional major and additional rivers (classes 2, 3)"},
    {"RIV05", nullptr, "-I4", "minor rivers (class 4)"},
    {"RIV03", nullptr, "-I5 -I6 -I7", "intermittent rivers (classes 5-7)"},
    {"RIV04", nullptr, "-I8 -I9 -I10", "canals (classes 8-10)"},
    {"BORDERS_c", "c", "-N1", "national boundaries for the world (crude)"},
    {"BORDERS_l", "l", "-N1", "national boundaries for continents (low)"},
    {"BORDERS_i", "i", "-N1", "national boundaries for countries (intermediate)"},
    {"BORDERS", nullptr, "-N1", "national boundaries (GSHHG border level 1)"},
    {"PO05", nullptr, "-N2", "state boundaries of the Americas (GSHHG border level 2)"},
};

int WriteVectorLayer(BuildContext& ctx, const char* name, const std::vector<GeoLine>& lines, LayerCounts* counts) {
    std::vector<VectorCellRecord> records;
    for (const GeoLine& line : lines) SplitLineIntoRecords(line, &records);
    std::vector<uint8_t> index, data, top;
    if (!EncodeVectorLayer(name, records, &index, &data)) {
        BuildError("Layer %s does not fit the vector file format", name);
        return 0;
    }
    std::vector<WorldPoint> world;
    RasteriseWorldPoints(lines, &world);
    EncodeWorldPoints(world, &top);
    std::string dataName = std::string("v_data\\") + name + ".dat";
    std::string indexName = std::string("v_index\\") + name + ".idx";
    std::string topName = std::string("800_z0\\") + name + ".top";
    // The index goes last so a layer never has an index pointing into a missing data file.
    if (!WriteVolumeFile(ctx, dataName.c_str(), data) || !WriteVolumeFile(ctx, topName.c_str(), top) ||
        !WriteVolumeFile(ctx, indexName.c_str(), index)) {
        remove(VolumePath(ctx, dataName.c_str()).c_str());
        remove(VolumePath(ctx, topName.c_str()).c_str());
        return 0;
    }
    counts->sourceLines = (long)lines.size();
    counts->records = (long)records.size();
    counts->points = 0;
    for (const VectorCellRecord& r : records) counts->points += (long)r.points.size();
    counts->cells = (index.size() - kVectorHeaderSize - 2) / kVectorCellEntrySize;
    counts->worldPoints = (long)world.size();
    return 1;
}

static void ReportLayer(BuildContext& ctx, const char* name, const LayerCounts& c, const char* what) {
    ReportLine(ctx, "vectors: %-7s %7ld source lines, %7ld records in %5ld cells, %8ld points, %6ld world points: %s",
               name, c.sourceLines, c.records, c.cells, c.points, c.worldPoints, what);
}

static int BuildGshhgLayers(BuildContext& ctx) {
    std::string resolution = RecipeValue(ctx, "gshhg_resolution", "h");
    int ok = 1;
    for (const GmtLayer& layer : gmtLayers) {
        double start = NowSeconds();
        std::vector<GeoLine> lines;
        std::string arguments = "coast -Rd -D" + (layer.resolution ? std::string(layer.resolution) : resolution) + " -M " +
                                layer.arguments;
        LayerCounts counts;
        if (!RunGmt(ctx, arguments, &lines) || !WriteVectorLayer(ctx, layer.name, lines, &counts)) {
            ReportMissing(ctx, (std::string("v_data\\") + layer.name + ".dat").c_str(), "gmt could not extract it");
            ok = 0;
            continue;
        }
        ReportLayer(ctx, layer.name, counts, layer.what);
        fprintf(stderr, "%s: %ld records, %ld points in %.1f s\n", layer.name, counts.records, counts.points,
                NowSeconds() - start);
    }
    return ok;
}

// Names the divisions in the segment headers gmt prints ("> -Ph Nevada (United States) Segment 3").
static std::string DivisionOfHeader(std::string header) {
    size_t hole = header.find("-Ph");
    if (hole != std::string::npos) header.erase(0, hole + 3);
    size_t segment = header.rfind(" Segment ");
    if (segment != std::string::npos) header.resize(segment);
    header.erase(0, header.find_first_not_of(' '));
    return header;
}

// First-level divisions: every state DCW outlines (gmt coast -E+L lists them). gmt reads only
// about 256 characters of an -E list, so the codes go in batches well under that.
static int BuildProvinceLayer(BuildContext& ctx) {
    std::string list;
    if (!RunGmtText(ctx, "coast -E+L", &list)) return 0;
    std::vector<std::string> batches(1);
    std::vector<int> batchSizes(1, 0);
    int nStates = 0;
    size_t at = 0;
    while (at < list.size()) {
        size_t end = list.find('\n', at);
        if (end == std::string::npos) end = list.size();
        std::string row = list.substr(at, end - at);
        at = end + 1;
        size_t tab = row.find('\t');
        std::string code = row.substr(0, tab);
        if (tab == std::string::npos || code.size() < 4 || code[2] != '.') continue;
        if (batches.back().size() + code.size() > 150) batches.push_back(""), batchSizes.push_back(0);
        batches.back() += (batches.back().empty() ? "" : ",") + code;
        batchSizes.back()++;
        nStates++;
    }
    if (nStates == 0) {
        BuildError("gmt coast -E+L listed no states");
        return 0;
    }
    std::vector<GeoLine> lines;
    int ok = 1, nFound = 0;
    for (size_t b = 0; b < batches.size() && ok; b++) {
        std::vector<GeoLine> part;
        std::vector<std::string> headers;
        ok = RunGmt(ctx, "coast -M -E" + batches[b], &part, &headers);
        std::vector<std::string> names;
        for (const std::string& h : headers) names.push_back(DivisionOfHeader(h));
        std::sort(names.begin(), names.end());
        nFound += (int)(std::unique(names.begin(), names.end()) - names.begin());
        // DCW outlines carry a point every few tens of metres; 0.002 degree (about 200 m) is
        // under a pixel at the deepest zoom.
        for (GeoLine& line : part) lines.push_back(SimplifyLine(line, 0.002));
    }
    LayerCounts counts;
    if (!ok || !WriteVectorLayer(ctx, "PROV", lines, &counts)) {
        ReportMissing(ctx, "v_data\\PROV.dat", "gmt could not extract the DCW states");
        return 0;
    }
    char what[96];
    snprintf(what, sizeof what, "outlines of %d of the %d first-level divisions in DCW", nFound, nStates);
    ReportLayer(ctx, "PROV", counts, what);
    return 1;
}

// Roads "RD01".."RD08" and railways "RR01".."RR08" by class, from the recipe's sources.
static int BuildClassedLayers(BuildContext& ctx, const char* key, const char* prefix, const char* what) {
    std::string source = RecipeValue(ctx, key, "");
    if (source.empty()) {
        char reason[160];
        snprintf(reason, sizeof reason, "no %s source: name an OGR source with the recipe key %s (class attribute %s_class)",
                 what, key, key);
        ReportMissing(ctx, (std::string("v_data\\") + prefix + "01.dat .. " + prefix + "08.dat").c_str(), reason);
        return 1;
    }
    std::string classField = RecipeValue(ctx, (std::string(key) + "_class").c_str(), "class");
    std::vector<GeoLine> byClass[9];
    long skipped = 0;
    if (!ReadOgrLinesByClass(source, classField, byClass, &skipped)) {
        ReportMissing(ctx, (std::string("v_data\\") + prefix + "01.dat .. " + prefix + "08.dat").c_str(),
                      "the source named in the recipe could not be read");
        return 0;
    }
    int ok = 1;
    for (int cls = 1; cls <= 8; cls++) {
        char name[8], description[96];
        snprintf(name, sizeof name, "%s%02d", prefix, cls);
        LayerCounts counts;
        if (!WriteVectorLayer(ctx, name, byClass[cls], &counts)) {
            ok = 0;
            continue;
        }
        snprintf(description, sizeof description, "%s of class %d from %s", what, cls, source.c_str());
        ReportLayer(ctx, name, counts, description);
    }
    if (skipped) ReportLine(ctx, "vectors: %ld %s features left out: their %s is not 1..8", skipped, what, classField.c_str());
    return ok;
}

// The files made from GSHHG and DCW are up to date when every one is newer than the builder,
// the recipe's resolution choice and the packaged GSHHG and DCW data.
static int GmtLayersUpToDate(BuildContext& ctx) {
    std::vector<std::string> sources = {BuilderExecutablePath()};
    for (const char* dir : {"/usr/share/gmt-gshhg", "/usr/share/gmt-dcw"}) {
        DIR* d = opendir(dir);
        if (!d) continue;
        while (struct dirent* e = readdir(d))
            if (e->d_name[0] != '.') sources.push_back(std::string(dir) + "/" + e->d_name);
        closedir(d);
    }
    if (RecipeValue(ctx, "gshhg_resolution", "h") != "h") return 0;
    std::vector<std::string> outputs = {"stats\\cpoly.idx", "stats\\cpoly.dat"};
    std::vector<std::string> layers = {"PROV"};
    for (const GmtLayer& layer : gmtLayers) layers.push_back(layer.name);
    for (const std::string& name : layers)
        for (const char* pattern : {"v_data\\%s.dat", "v_index\\%s.idx", "800_z0\\%s.top"}) {
            char file[64];
            snprintf(file, sizeof file, pattern, name.c_str());
            outputs.push_back(file);
        }
    for (const std::string& out : outputs)
        if (!VolumeFileUpToDate(ctx, out.c_str(), sources)) return 0;
    return 1;
}

int BuildVectors(BuildContext& ctx) {
    if (GmtLayersUpToDate(ctx)) {
        ReportLine(ctx, "vectors: the GSHHG and DCW layers and the country polygons are up to date");
        int ok = BuildClassedLayers(ctx, "roads", "RD", "roads");
        return BuildClassedLayers(ctx, "railways", "RR", "railways") && ok;
    }
    int ok = BuildGshhgLayers(ctx);
    ok = BuildProvinceLayer(ctx) && ok;
    ok = BuildClassedLayers(ctx, "roads", "RD", "roads") && ok;
    ok = BuildClassedLayers(ctx, "railways", "RR", "railways") && ok;
    ok = BuildCountryPolygons(ctx) && ok;
    return ok;
}
