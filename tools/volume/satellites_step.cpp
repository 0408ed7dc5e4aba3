// Builder step "satellites": the globe's thirteen group files, the catalogue "sats\kepler.tle"
// and "geo.tle" for the visibility search and dish aiming, the groups' information texts and
// the search's world outline. Sources: the element sets Debian's gpredict package carries with
// its category lists, and the low-orbit set in three-globe's example; or the recipe's `tle` files.
#include <dirent.h>

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "satellites.h"

static const char* kPackagedDir = "/usr/share/gpredict/data/satdata";
static const char* kLowOrbitSets =
    MUNDORA_SOURCE_ROOT "/node_modules/three-globe/example/satellites/space-track-leo.txt";

static int EndsWith(const std::string& s, const char* tail) {
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The recipe's `tle` paths, comma or blank separated.
static std::vector<std::string> RecipePaths(const std::string& value) {
    std::vector<std::string> paths;
    std::string current;
    for (char c : value + " ") {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!current.empty()) paths.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return paths;
}

// Packaged element files and category lists, in name order so the build is repeatable.
static void PackagedSources(std::vector<std::string>* elements, std::vector<std::string>* lists) {
    std::vector<std::string> names;
    if (DIR* d = opendir(kPackagedDir)) {
        while (struct dirent* e = readdir(d)) names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        std::string path = std::string(kPackagedDir) + "/" + n;
        if (EndsWith(n, ".cat"))
            lists->push_back(path);
        else if (EndsWith(n, ".dat") || EndsWith(n, ".sat") || EndsWith(n, ".tle") || EndsWith(n, ".txt"))
            elements->push_back(path);
    }
    elements->push_back(kLowOrbitSets);
}

static void ReadCategories(const std::vector<std::string>& lists, std::multimap<std::string, std::string>* categories) {
    for (const std::string& path : lists) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path.c_str(), &bytes, 1u << 20)) continue;
        std::string stem = path.substr(path.rfind('/') + 1);
        ParseCategoryList(std::string(bytes.begin(), bytes.end()), stem.substr(0, stem.size() - 4), categories);
    }
}

static int ReadSources(BuildContext& ctx, const std::vector<std::string>& paths, std::vector<ElementFile>* files) {
    for (const std::string& path : paths) {
        ElementFile f;
        if (!ReadElementFile(path, &f)) {
            ReportLine(ctx, "satellites: %s cannot be read", path.c_str());
            continue;
        }
        ReportLine(ctx, "satellites: %s: %zu element sets, epochs %s%s", path.c_str(), f.sets.size(),
                   EpochRange(f.sets).c_str(),
                   f.badLines ? (", " + std::to_string(f.badLines) + " lines unread").c_str() : "");
        files->push_back(std::move(f));
    }
    return !files->empty();
}

static std::vector<ElementSet> Copies(const std::vector<const ElementSet*>& sets) {
    std::vector<ElementSet> out;
    for (const ElementSet* s : sets) out.push_back(*s);
    return out;
}

static int WriteSets(BuildContext& ctx, const char* name, const std::vector<const ElementSet*>& sets) {
    std::string text = ThreeLineText(sets);
    return WriteVolumeFile(ctx, name, text.data(), text.size());
}

// An object a newer source lacks keeps its older set: it may have re-entered or moved since.
static void ReportStaleSets(BuildContext& ctx, const std::vector<ElementSet>& catalogue) {
    double newest = 0;
    for (const ElementSet& s : catalogue) newest = std::max(newest, s.epoch);
    long stale = 0, low = 0;
    for (const ElementSet& s : catalogue)
        if (EpochDays(newest) - EpochDays(s.epoch) > 30) {
            stale++;
            low += MeanMotion(s) > 11.25;  // periods under 128 minutes: low orbits
        }
    if (stale)
        ReportLine(ctx,
                   "satellites: %ld objects (%ld of them in low orbit) have sets more than 30 days older than the "
                   "newest, %s: no newer source holds them, and some may have re-entered since",
                   stale, low, EpochDate(newest).c_str());
}

static int WriteCatalogues(BuildContext& ctx, const std::vector<ElementSet>& catalogue) {
    std::vector<const ElementSet*> all, geo;
    for (const ElementSet& s : catalogue) {
        all.push_back(&s);
        if (IsGeostationary(s)) geo.push_back(&s);
    }
    int ok = WriteSets(ctx, "sats\\kepler.tle", all) && WriteSets(ctx, "geo.tle", geo);
    ReportLine(ctx, "satellites: sats\\kepler.tle: every object: %zu, epochs %s", all.size(),
               EpochRange(catalogue).c_str());
    ReportLine(ctx,
               "satellites: geo.tle: geostationary objects (0.99 to 1.01 revolutions a day, inclination below 15 "
               "degrees): %zu, epochs %s",
               geo.size(), EpochRange(Copies(geo)).c_str());
    ReportStaleSets(ctx, catalogue);
    return ok;
}

static int WriteGroups(BuildContext& ctx, const std::vector<ElementSet>& catalogue,
                       const std::multimap<std::string, std::string>& categories,
                       std::vector<GroupSummary>* summaries) {
    int ok = 1;
    for (const SatelliteGroup& g : SatelliteGroups()) {
        int matched = 0;
        std::vector<const ElementSet*> members = SelectGroup(g, catalogue, categories, &matched);
        ok = WriteSets(ctx, g.file, members) && ok;
        std::string range = EpochRange(Copies(members));
        summaries->push_back({&g, (int)members.size(), range});
        if (members.empty())
            ReportLine(ctx, "satellites: %s is empty: the sources name no %s", g.file, g.title);
        else
            ReportLine(
                ctx, "satellites: %s: %s: %zu%s, epochs %s", g.file, g.title, members.size(),
                matched > kGroupLimit
                    ? (" (the first " + std::to_string(kGroupLimit) + " of " + std::to_string(matched) + ")").c_str()
                    : "",
                range.c_str());
    }
    return ok;
}

int BuildSatellites(BuildContext& ctx) {
    if (ctx.shardIndex != 0) {
        ReportLine(ctx, "satellites: left to shard 0");
        return 1;
    }
    std::string recipe = RecipeValue(ctx, "tle", "");
    std::vector<std::string> elementPaths, lists;
    if (recipe.empty())
        PackagedSources(&elementPaths, &lists);
    else
        elementPaths = RecipePaths(recipe);
    // Always rebuilt: it takes well under a second, and file times cannot tell that the recipe
    // now names other sources.
    std::string texts = RecipeValue(ctx, "content", MUNDORA_CONTENT_DIR) + std::string("/sats");
    std::multimap<std::string, std::string> categories;
    ReadCategories(lists, &categories);
    std::vector<ElementFile> files;
    if (!ReadSources(ctx, elementPaths, &files)) {
        BuildError("No element sets could be read%s", recipe.empty() ? "; is gpredict installed?" : "");
        ReportMissing(ctx, "sats\\kepler.tle, geo.tle, sats\\*.dat", "no element sets could be read");
        return 0;
    }
    std::vector<const ElementFile*> order;
    for (const ElementFile& f : files) order.push_back(&f);
    std::vector<ElementSet> catalogue = NewestPerObject(order);
    std::vector<GroupSummary> summaries;
    int ok = WriteCatalogues(ctx, catalogue);
    ok = WriteGroups(ctx, catalogue, categories, &summaries) && ok;
    ok = WriteGroupTexts(ctx, texts, summaries) && ok;
    return WriteWorldOutline(ctx) && ok;
}
