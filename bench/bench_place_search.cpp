// The place-name search on the default volume's gazetteers: the best-match list of one
// keystroke in the localities (the largest gazetteer, under a four-symbol prefix table), the
// first search of a session, which reads the gazetteer, and the location list of a common name
// with its countries and its "locate.tmp". The volume is the installed default one
// (~/.local/share/mundora/volume) unless MUNDORA_BENCH_VOLUME names another; without one the
// benchmarks are skipped.
//
// The same cases run again ("large/...") on a localities gazetteer of 1.7 million locations,
// the size a full gazetteer of populated places reaches. It is a size test built from the
// volume's real names, not data: the builder's own gazetteer writer lays it out in a temporary
// folder at start-up, from every locality of the volume, the names that several places share
// given fourteen times their locations, and variants of every name (the name followed by a
// number word or by a real city's name) that sort into the same prefix blocks, until the
// blocks hold as many names as in a gazetteer of that size. Every location of it stands where
// a real locality stands.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/core.h"
#include "names/names.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "platform/test_double.h"

namespace {

enum { kVolume = 0, kLarge = 1 };
enum { kLargeLocations = 1700000, kCommonNameFactor = 14 };

struct BenchRoots {
    int ready = -1, largeReady = -1;
    std::string volume, temp, large;
};
BenchRoots roots;

int Prepare() {
    if (roots.ready >= 0) return roots.ready;
    if (const char* v = getenv("MUNDORA_BENCH_VOLUME")) roots.volume = v;
    else if (const char* home = getenv("HOME")) roots.volume = std::string(home) + "/.local/share/mundora/volume";
    roots.ready = FileExists((roots.volume + "/names/world.ix4").c_str());
    if (!roots.ready) {
        fprintf(stderr, "no gazetteers at %s: install the default volume or set MUNDORA_BENCH_VOLUME\n",
                roots.volume.c_str());
        return 0;
    }
    roots.temp = "/tmp/mundora-bench-search-" + std::to_string(getpid());
    MakeDirectories(roots.temp.c_str());
    atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(roots.temp, ignored);
    });
    snprintf(tempDir, sizeof tempDir, "%s", roots.temp.c_str());
    TestModeEnable(1);  // a missing file's message is recorded rather than shown
    return 1;
}

// Every location of a volume's gazetteer, name by name in index order.
int ReadGazetteerLocations(const std::string& stem, std::vector<GazetteerLocation>* out) {
    std::vector<uint8_t> index, data;
    const size_t limit = (size_t)1 << 30;
    if (!ReadWholeFile((stem + ".ix2").c_str(), &index, limit) || !ReadWholeFile((stem + ".dat").c_str(), &data, limit))
        return 0;
    GazetteerName record;
    uint32_t offset = 0, next = 0;
    while (DecodeGazetteerName(index.data(), index.size(), offset, &record, &next)) {
        offset = next;
        for (uint32_t at : record.locations) {
            GazetteerLocation l;
            if (DecodeGazetteerLocation(data.data(), data.size(), at, &l)) out->push_back(l);
        }
    }
    return !out->empty();
}

// The 1.7-million-location localities (see the top of the file), written with the theme file
// into a data root of its own.
void MakeLargeLocations(const std::vector<GazetteerLocation>& real, const std::vector<GazetteerLocation>& cities,
                        std::vector<GazetteerLocation>* out) {
    static const char* const kNumberWords[] = {"Two", "Three", "Four", "Five", "Six", "Seven", "Eight",
                                               "Nine", "Ten", "Eleven", "Twelve", "Thirteen"};
    size_t n = real.size();
    out->reserve(kLargeLocations);
    *out = real;
    // Names several places share: more places of the same name, standing where other localities do.
    for (size_t i = 0; i < n; i++) {
        int shared = (i > 0 && UpperCase1252(real[i - 1].name) == UpperCase1252(real[i].name)) ||
                     (i + 1 < n && UpperCase1252(real[i + 1].name) == UpperCase1252(real[i].name));
        if (!shared) continue;
        for (int k = 1; k < kCommonNameFactor; k++) {
            GazetteerLocation l = real[(i + (size_t)k * (n / kCommonNameFactor)) % n];
            l.name = real[i].name;
            out->push_back(l);
        }
    }
    // Variants in rounds over every locality, at the locality's own place.
    for (size_t round = 0; out->size() < (size_t)kLargeLocations; round++) {
        for (size_t i = 0; i < n && out->size() < (size_t)kLargeLocations; i++) {
            GazetteerLocation l = real[i];
            if (round % 2 == 0 || cities.empty())
                l.name += std::string(" ") + kNumberWords[(round / 2) % (sizeof kNumberWords / sizeof *kNumberWords)];
            else
                l.name += " " + cities[(i * 7919 + round * 104729) % cities.size()].name;
            out->push_back(l);
        }
    }
}

int PrepareLarge() {
    if (!Prepare()) return 0;
    if (roots.largeReady >= 0) return roots.largeReady;
    roots.largeReady = 0;
    auto start = std::chrono::steady_clock::now();
    std::vector<GazetteerLocation> real, cities, large;
    if (!ReadGazetteerLocations(roots.volume + "/names/world", &real)) return 0;
    ReadGazetteerLocations(roots.volume + "/names/search6", &cities);
    MakeLargeLocations(real, cities, &large);
    GazetteerFiles files;
    BuildGazetteer(large, 4, &files);
    roots.large = roots.temp + "/large";
    std::vector<uint8_t> theme;
    if (!MakeDirectories((roots.large + "/names").c_str()) ||
        !ReadWholeFile((roots.volume + "/theme1.dat").c_str(), &theme, (size_t)16 << 20) ||
        !WriteFileAtomically((roots.large + "/theme1.dat").c_str(), theme.data(), theme.size()) ||
        !WriteFileAtomically((roots.large + "/names/world.ix2").c_str(), files.index.data(), files.index.size()) ||
        !WriteFileAtomically((roots.large + "/names/world.dat").c_str(), files.data.data(), files.data.size()) ||
        !WriteFileAtomically((roots.large + "/names/world.ix4").c_str(), files.prefix.data(), files.prefix.size()))
        return 0;
    long san = 0, s = 0;  // how crowded the blocks the keystrokes scan are
    GazetteerName record;
    uint32_t offset = 0, next = 0;
    while (DecodeGazetteerName(files.index.data(), files.index.size(), offset, &record, &next)) {
        offset = next;
        s += !record.name.empty() && record.name[0] == 'S';
        san += record.name.compare(0, 3, "SAN") == 0;
    }
    fprintf(stderr,
            "size test: %zu locations under %d names from %zu real localities, written in %.0f s; "
            "index %.1f MB, prefix table %.1f MB, locations %.1f MB; %ld names begin with S, %ld with SAN\n",
            large.size(), files.names, real.size(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), files.index.size() / 1e6,
            files.prefix.size() / 1e6, files.data.size() / 1e6, s, san);
    return roots.largeReady = 1;
}

// Starts a search session on the volume's localities or the large ones; 0 when they are missing.
int UseLocalities(benchmark::State& state, int which) {
    if (which == kLarge ? !PrepareLarge() : !Prepare()) {
        state.SkipWithError(which == kLarge ? "the size test could not be built" : "no volume");
        return 0;
    }
    const std::string& root = which == kLarge ? roots.large : roots.volume;
    snprintf(dataRoot, sizeof dataRoot, "%s", root.c_str());
    ResetPlaceSearch();
    placeSearch.type = 1;
    return 1;
}

// Every prefix of these names, as they are typed one key at a time.
const char* const kTyped[] = {"Springfield", "San Jose", "Z\xfcrich", "S\xe3o Paulo",   "Xyzzy",
                              "Mount Pleasant", "New York", "Santa Cruz", "Newport"};

std::vector<std::string> TypedKeys() {
    std::vector<std::string> keys;
    for (const char* name : kTyped)
        for (size_t n = 1; name[n - 1]; n++) keys.push_back(std::string(name, n));
    return keys;
}

// A typed key for the label: its Latin-1 letters as UTF-8.
std::string Printable(const std::string& key) {
    std::string out;
    for (unsigned char c : key) {
        if (c < 0x80) out.push_back((char)c);
        else out.push_back((char)(0xC0 | c >> 6)), out.push_back((char)(0x80 | (c & 0x3F)));
    }
    return out;
}

// Each keystroke of kTyped in turn; the label names the slowest one, timed on its own beforehand.
void BM_Keystrokes(benchmark::State& state, int which) {
    if (!UseLocalities(state, which)) return;
    std::vector<std::string> keys = TypedKeys(), rows;
    SearchBestMatches("a", &rows);  // the gazetteer is read once per session
    double slowest = 0;
    std::string slowestKey;
    for (const std::string& key : keys) {
        const int repeats = 20;
        auto start = std::chrono::steady_clock::now();
        for (int r = 0; r < repeats; r++) SearchBestMatches(key, &rows);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / repeats;
        if (ms > slowest) slowest = ms, slowestKey = key;
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SearchBestMatches(keys[i], &rows));
        i = (i + 1) % keys.size();
    }
    char label[160];
    snprintf(label, sizeof label, "%zu keystrokes in turn, slowest \"%s\" %.3f ms", keys.size(), Printable(slowestKey).c_str(),
             slowest);
    state.SetLabel(label);
}
BENCHMARK_CAPTURE(BM_Keystrokes, localities, kVolume)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystrokes, large, kLarge)->Unit(benchmark::kMicrosecond);

// One keystroke over and over: the crowded blocks of common beginnings.
void BM_Keystroke(benchmark::State& state, int which, const char* key) {
    if (!UseLocalities(state, which)) return;
    std::vector<std::string> rows;
    SearchBestMatches("a", &rows);
    for (auto _ : state) benchmark::DoNotOptimize(SearchBestMatches(key, &rows));
    state.SetLabel(rows.empty() ? "no match" : "first " + rows[0]);
}
BENCHMARK_CAPTURE(BM_Keystroke, localities_san_j, kVolume, "San J")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_san, kLarge, "San")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_san_j, kLarge, "San J")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_san_jose, kLarge, "San Jose")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_santa_r, kLarge, "Santa R")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_spri, kLarge, "Spri")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, large_new, kLarge, "New")->Unit(benchmark::kMicrosecond);

// The dialog's first list: the localities' prefix table and name index read from the disk.
void BM_FirstSearchOfASession(benchmark::State& state, int which) {
    if (!UseLocalities(state, which)) return;
    std::vector<std::string> rows;
    for (auto _ : state) {
        ResetPlaceSearch();
        placeSearch.type = 1;
        benchmark::DoNotOptimize(SearchBestMatches("S", &rows));
    }
}
BENCHMARK_CAPTURE(BM_FirstSearchOfASession, localities, kVolume)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstSearchOfASession, large, kLarge)->Unit(benchmark::kMillisecond);

void BM_LocationList(benchmark::State& state, int which, const char* name) {
    if (!UseLocalities(state, which)) return;
    std::vector<std::string> rows;
    placeSearch.position = SearchBestMatches(name, &rows);
    if (placeSearch.position < 0) return state.SkipWithError("name not in the gazetteer");
    std::string count = rows[0].substr(rows[0].rfind('(') + 1);
    ListSearchLocations(&rows);  // the location data is read once per session
    for (auto _ : state) benchmark::DoNotOptimize(ListSearchLocations(&rows));
    state.SetLabel(std::to_string(rows.size()) + " of " + count.substr(0, count.size() - 1) + " locations listed");
}
BENCHMARK_CAPTURE(BM_LocationList, localities_san_jose, kVolume, "San Jose")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LocationList, localities_springfield, kVolume, "Springfield")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LocationList, large_san_jose, kLarge, "San Jose")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LocationList, large_springfield, kLarge, "Springfield")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LocationList, large_santa_cruz, kLarge, "Santa Cruz")->Unit(benchmark::kMillisecond);

}  // namespace
