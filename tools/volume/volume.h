// The data volume builder: shared context, progress, report and file helpers for its steps.
// Each step turns one kind of source into volume files in their exact formats.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct BuildContext {
    std::string outDir;                       // the volume being built
    int jobs = 2;                             // worker threads
    int shardIndex = 0, shardCount = 1;       // this run builds tiles i, i+n, i+2n, ...
    int force = 0;                            // rebuild files that are up to date
    std::map<std::string, std::string> recipe;  // source names: "elevation", "imagery", ...
    std::string contact;                      // the address the viewer's mail button writes to
    std::vector<std::string> report;          // lines for the builder's report
    std::vector<std::string> missing;         // "file: reason" for what the volume lacks
};

// A step of the build; returns 1 on success. Steps print their own progress and errors.
using BuildStep = int (*)(BuildContext& ctx);

// The recipe value for key, or the fallback.
std::string RecipeValue(const BuildContext& ctx, const char* key, const char* fallback);
// The real path of a volume file given its name in the volume ("raster\rgb\rg_2048.cod").
std::string VolumePath(const BuildContext& ctx, const char* name);
// Writes a volume file atomically, creating its directories; 1 on success.
int WriteVolumeFile(const BuildContext& ctx, const char* name, const void* data, size_t size);
int WriteVolumeFile(const BuildContext& ctx, const char* name, const std::vector<uint8_t>& data);
// 1 when the volume file exists and is newer than every source named.
int VolumeFileUpToDate(const BuildContext& ctx, const char* name, const std::vector<std::string>& sources);
// Whether tile number i (of the whole list) belongs to this run's shard.
inline int InShard(const BuildContext& ctx, int i) { return ctx.shardCount <= 1 || i % ctx.shardCount == ctx.shardIndex; }

// One progress line "label: done/total, time left" on the terminal, rewritten in place.
struct Progress {
    std::string label;
    int total = 0;
    int done = 0;
    double startSeconds = 0;
};
void ProgressStart(Progress& p, const char* label, int total);
void ProgressStep(Progress& p, int count = 1);  // thread-safe
void ProgressEnd(Progress& p);
double NowSeconds();

void ReportLine(BuildContext& ctx, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ReportMissing(BuildContext& ctx, const char* file, const char* reason);
// The report's inventory: every file the volume holds.
std::string VolumeInventory(const BuildContext& ctx);
// Every file the volume holds now, report.txt aside: how many and their bytes.
void VolumeFileTotals(const BuildContext& ctx, long long* count, long long* bytes);
// Prints an error of the builder on stderr.
void BuildError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// [SECTION] Steps
int BuildContent(BuildContext& ctx);  // copies the authored files of content/ into the volume
int BuildRasters(BuildContext& ctx);  // imagery, elevation and shade tiles, overviews and codebooks
int BuildVectors(BuildContext& ctx);  // vector layers, world point files, country polygons
int BuildTheme(BuildContext& ctx);    // theme1.dat from the layer styles and the country table
int BuildStatistics(BuildContext& ctx);  // table\country.dat, .inf, vars.inf, region images, stats\*.txt (statistics_step.cpp)
int BuildNames(BuildContext& ctx);       // name files, world localities, city areas (names_step.cpp)
int BuildGazetteers(BuildContext& ctx);  // the seven search gazetteers (gazetteer_step.cpp)
int BuildGlobe(BuildContext& ctx);    // globe\2160.bmp, .sha, n.sha, .hts and the twenty globe\*.FLT
int BuildClimate(BuildContext& ctx);     // globe\tempNN.raw and the recipe's precipNN, cloudNN, vegeNN overlays
int BuildSatellites(BuildContext& ctx);  // sats\*.dat, sats\kepler.tle, geo.tle, the group texts, sats\worldmap.deg
int BuildScales(BuildContext& ctx);      // colour scale files and scales.dat
int BuildSounds(BuildContext& ctx);      // the seven cue sounds
int BuildSymbolFont(BuildContext& ctx);  // helv12.ttf, the "Orvek" map symbol font (runs fontforge)
int BuildArtwork(BuildContext& ctx);     // every bitmap of the screens in both layouts, and the contact sheet
int BuildTrivia(BuildContext& ctx);      // manual\trivia.txt, checked for the quiz and against the volume's data
int BuildManual(BuildContext& ctx);      // the manual's pages, about.txt with the sources and the build, their pictures

// The running builder's own file: outputs older than it were made by an older builder.
std::string BuilderExecutablePath();
// Where the artwork step writes its contact sheet: contact-sheet.png beside the volume folder.
std::string ContactSheetPath(const BuildContext& ctx);
// A 16-bit mono PCM wave file of samples in -1..1.
std::vector<uint8_t> EncodeWave16(const std::vector<float>& samples, int rate);
