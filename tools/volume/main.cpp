// mundora-volume: builds the data volume the viewer reads, from open geodata.
//   mundora-volume --out DIR [--jobs N] [--shard I/N] [--only a,b] [--recipe FILE] [--force] [--contact ADDRESS]
//   mundora-volume --icons DIR [--recipe FILE]     (the program's icons for the desktop's menu)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "about_page.h"
#include "art.h"
#include "flyby_build.h"
#include "platform/files.h"
#include "volume.h"

struct StepEntry {
    const char* name;
    BuildStep run;
    const char* what;
};

// In build order: later steps read what earlier ones wrote (names burnt into the globe, for one).
static const StepEntry steps[] = {
    {"content", BuildContent, "names.dat, distance.dat and other authored files, the about page and the contact address"},
    {"rasters", BuildRasters, "imagery, elevation and shade tiles, overviews and codebooks"},
    {"vectors", BuildVectors, "coastline, lakes, rivers, borders, provinces, roads and railways; country polygons"},
    {"theme", BuildTheme, "theme1.dat: raster ranges, vector layer table and country numbers"},
    {"statistics", BuildStatistics, "country tables from the Factbook, region maps and country pages"},
    {"names", BuildNames, "place names, world localities and city areas"},
    {"gazetteers", BuildGazetteers, "the seven place-name search gazetteers"},
    {"trivia", BuildTrivia, "the quiz's questions, checked against the volume's heights and the name sources"},
    {"globe", BuildGlobe, "globe imagery, shading and height layers, and the globe's lookup tables"},
    {"climate", BuildClimate, "the globe's monthly overlays: temperature, and those the recipe names sources for"},
    {"flyby", BuildFlyby, "the flyby's vegetation classes, palette, haze table, sprites, sky and cockpit frames"},
    {"satellites", BuildSatellites, "satellite groups, element-set catalogues, their texts and the world outline"},
    {"scales", BuildScales, "colour scales and the elevation scale list"},
    {"sounds", BuildSounds, "the seven cue sounds"},
    {"font", BuildSymbolFont, "the map symbol font helv12.ttf"},
    {"artwork", BuildArtwork, "title page, room, screens, buttons, choosers, both layouts"},
    {"manual", BuildManual, "the manual's pages, the about page's sources and build summary, their pictures"},
};

static void Usage() {
    fprintf(stderr,
            "usage: mundora-volume --out DIR [--jobs N] [--shard I/N] [--only STEP,...] [--recipe FILE] [--force]\n"
            "                      [--contact ADDRESS]\n"
            "       mundora-volume --icons DIR [--recipe FILE]\n"
            "steps:");
    for (const StepEntry& s : steps) fprintf(stderr, " %s", s.name);
    fprintf(stderr, "\n");
}

// A recipe is "key = value" lines naming sources; '#' starts a comment.
static int ReadRecipe(const char* path, BuildContext& ctx) {
    std::ifstream in(path);
    if (!in) {
        BuildError("Cannot open the recipe %s", path);
        return 0;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        lineNumber++;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        size_t eq = line.find('=');
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t\r"));
            s.erase(s.find_last_not_of(" \t\r") + 1);
            return s;
        };
        if (trim(line).empty()) continue;
        if (eq == std::string::npos) {
            BuildError("%s:%d: expected key = value", path, lineNumber);
            return 0;
        }
        ctx.recipe[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return 1;
}

static int WriteReport(BuildContext& ctx, double seconds) {
    std::ostringstream out;
    out << "Mundora data volume build report\n\n";
    for (const std::string& line : ctx.report) out << line << "\n";
    out << "\nFiles the volume lacks:\n";
    if (ctx.missing.empty()) out << "  none\n";
    for (const std::string& m : ctx.missing) out << "  " << m << "\n";
    char timing[64];
    snprintf(timing, sizeof timing, "\nBuild time: %.1f s\n", seconds);
    out << timing;
    out << VolumeInventory(ctx);
    std::string text = out.str();
    return WriteVolumeFile(ctx, "report.txt", text.data(), text.size());
}

int main(int argc, char** argv) {
    BuildContext ctx;
    ctx.jobs = (int)std::max(1u, std::thread::hardware_concurrency());
    std::string only, iconDir;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                BuildError("%s needs a value", name);
                exit(2);
            }
            return argv[++i];
        };
        if (a == "--out") ctx.outDir = value("--out");
        else if (a == "--jobs") ctx.jobs = std::max(1, atoi(value("--jobs")));
        else if (a == "--only") only = value("--only");
        else if (a == "--force") ctx.force = 1;
        else if (a == "--icons") iconDir = value("--icons");
        else if (a == "--contact") {
            ctx.contact = value("--contact");
            if (!ValidContactAddress(ctx.contact.c_str())) {
                BuildError("--contact takes an e-mail address such as atlas@example.net, not %s", ctx.contact.c_str());
                return 2;
            }
        }
        else if (a == "--recipe") {
            if (!ReadRecipe(value("--recipe"), ctx)) return 1;
        } else if (a == "--shard") {
            const char* s = value("--shard");
            if (sscanf(s, "%d/%d", &ctx.shardIndex, &ctx.shardCount) != 2 || ctx.shardCount < 1 || ctx.shardIndex < 0 ||
                ctx.shardIndex >= ctx.shardCount) {
                BuildError("--shard takes I/N with 0 <= I < N, not %s", s);
                return 2;
            }
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else {
            BuildError("unknown argument %s", a.c_str());
            Usage();
            return 2;
        }
    }
    if (!iconDir.empty()) return WriteProgramIcons(ctx, iconDir.c_str()) ? 0 : 1;
    if (ctx.outDir.empty()) {
        Usage();
        return 2;
    }
    if (!MakeDirectories(ctx.outDir.c_str())) {
        BuildError("Cannot create %s", ctx.outDir.c_str());
        return 1;
    }
    double start = NowSeconds();
    int ok = 1;
    for (const StepEntry& s : steps) {
        if (!only.empty() && ("," + only + ",").find("," + std::string(s.name) + ",") == std::string::npos) continue;
        fprintf(stderr, "== %s: %s\n", s.name, s.what);
        double t = NowSeconds();
        int stepOk = s.run(ctx);
        ReportLine(ctx, "step %s: %s in %.1f s", s.name, stepOk ? "done" : "FAILED", NowSeconds() - t);
        ok = stepOk && ok;
    }
    WriteReport(ctx, NowSeconds() - start);
    return ok ? 0 : 1;
}
