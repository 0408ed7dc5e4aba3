// The place-name search over the seven gazetteers: the best matches of a typed name, the
// locations bearing a chosen name with their countries, the result files "locate.tmp" and
// "locate2.tmp" in the temporary folder and the map window fitted to the results. A gazetteer
// is read whole the first time it is searched (the localities, about 9 MB, in a few
// milliseconds; 1.7 million locations, about 39 MB, in under 20), so that a keystroke costs
// microseconds, and a crowded prefix block of the largest a millisecond or two.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "names/labels.h"
#include "names/names.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

PlaceSearchState placeSearch;

namespace {

struct GazetteerCache {
    int tried = 0;                 // the files were looked for
    int haveIndex = 0, haveData = 0;
    std::vector<uint8_t> prefix, index, data;
};

struct SearchGazetteers {
    GazetteerCache types[kSearchTypes + 1];
};
SearchGazetteers gazetteers;

const char* const kLabels[kSearchTypes + 1] = {"", "Localities", "Cities", "Mountains", "Ocean features",
                                               "Provinces and States", "Airports", "Countries"};
const char* const kStems[kSearchTypes + 1] = {"", "world", "search6", "search1", "search2",
                                              "search4", "search3", "search5"};

int ValidType(int type) { return type >= 1 && type <= kSearchTypes; }
int TypeSymbols(int type) { return type == 1 ? 4 : 2; }

// The prefix table and name index of a type, read once; a missing file is reported when it is
// first looked for and then stays missing until the next search session.
GazetteerCache* GazetteerOf(int type) {
    if (!ValidType(type)) return nullptr;
    GazetteerCache& g = gazetteers.types[type];
    if (!g.tried) {
        g.tried = 1;
        if (ReadVolumeFile(GazetteerPath(type, "").c_str(), &g.prefix)) {
            g.haveIndex = ReadVolumeFile(GazetteerPath(type, "ix2").c_str(), &g.index);
        } else {
            g.prefix.clear();
        }
    }
    return g.prefix.empty() ? nullptr : &g;
}

int LoadLocationData(GazetteerCache* g, int type) {
    if (!g->haveData) g->haveData = ReadVolumeFile(GazetteerPath(type, "dat").c_str(), &g->data);
    return g->haveData;
}

// The country column of a location: "(ocean)" for ocean features, otherwise the country's name
// from the theme file up to its first comma or quote, blank when the number is not there.
std::string CountryText(int type, int number) {
    if (type == 4) return "(ocean)";
    for (int i = 0; i < countryIdCount; i++)
        if (countryIds[i].number == number) {
            const char* name = countryIds[i].name;
            return std::string(name, strcspn(name, ",\"\r\n"));
        }
    return " ";
}

int WriteLocateFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = TempPath(name);
    FILE* f = OpenFile(path.c_str(), "wb");
    if (!f) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    size_t written = bytes.empty() ? 0 : fwrite(bytes.data(), 1, bytes.size(), f);
    int ok = fclose(f) == 0 && written == bytes.size();
    if (!ok) ShowMessage("Cannot open file %s", path.c_str());
    return ok;
}

}  // namespace

void ResetPlaceSearch() {
    placeSearch = PlaceSearchState{};
    for (GazetteerCache& g : gazetteers.types) g = GazetteerCache{};
}

// A search session looks again for the files that were missing in the last one.
void RetryMissingGazetteers() {
    for (GazetteerCache& g : gazetteers.types)
        if (g.prefix.empty() || !g.haveIndex) g = GazetteerCache{};
}

const char* GazetteerLabel(int type) { return ValidType(type) ? kLabels[type] : ""; }
const char* GazetteerStem(int type) { return ValidType(type) ? kStems[type] : ""; }

std::string GazetteerPath(int type, const char* extension) {
    const char* ext = *extension ? extension : type == 1 ? "ix4" : "ix3";
    return std::string("names\\") + GazetteerStem(type) + "." + ext;
}

// [SECTION] Searching

long SearchBestMatches(const std::string& key, std::vector<std::string>* rows) {
    rows->clear();
    std::string typed = key.substr(0, kSearchKeyChars);
    std::string normalised = NormaliseSearchKey(typed);
    if (normalised.empty() || SymbolCode((unsigned char)normalised[0]) < 0) return -1;
    GazetteerCache* g = GazetteerOf(placeSearch.type);
    if (!g || !g->haveIndex) return -1;
    std::vector<GazetteerMatch> matches;
    long first = FindBestMatches(g->index.data(), g->index.size(), g->prefix.data(), g->prefix.size(),
                                 TypeSymbols(placeSearch.type), typed, kSearchMaxMatches, &matches);
    char row[300];
    for (const GazetteerMatch& m : matches) {
        snprintf(row, sizeof row, "%s  (%ld)", m.name.c_str(), (long)m.locations);
        rows->push_back(row);
    }
    return first;
}

std::string MatchRowName(const std::string& row) {
    std::string name = row.substr(0, row.find("  ("));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

int ChosenNameLocations(int maxCount, std::vector<GazetteerLocation>* out) {
    out->clear();
    GazetteerCache* g = GazetteerOf(placeSearch.type);
    GazetteerName record;
    if (placeSearch.position < 0 || !g || !g->haveIndex || !LoadLocationData(g, placeSearch.type) ||
        !DecodeGazetteerName(g->index.data(), g->index.size(), (uint32_t)placeSearch.position, &record, nullptr))
        return 0;
    for (uint32_t offset : record.locations) {
        if ((int)out->size() >= maxCount) break;
        GazetteerLocation l;
        if (!DecodeGazetteerLocation(g->data.data(), g->data.size(), offset, &l)) continue;
        // Index names are upper case; the locations keep theirs as written.
        if (placeSearch.exactOnly && UpperCase1252(l.name) != record.name) continue;
        out->push_back(l);
    }
    return 1;
}

int ListSearchLocations(std::vector<std::string>* rows) {
    rows->clear();
    placeSearch.listed = 0;
    if (placeSearch.position < 0) return 0;
    if (LoadCountryIds() <= 0) {
        ShowMessage("Cannot load country names");
        return 0;
    }
    std::vector<GazetteerLocation> locations;
    ChosenNameLocations(kSearchMaxLocations, &locations);
    std::vector<uint8_t> bytes;
    for (const GazetteerLocation& l : locations) {
        std::string country = placeSearch.type == 7 ? l.name : CountryText(placeSearch.type, l.country);
        rows->push_back(l.name + "\t" + country);
        AppendLocateRecord(bytes, LocateRecord{l.lon, l.lat, l.name});
    }
    if (!WriteLocateFile("locate.tmp", bytes)) rows->clear();
    placeSearch.listed = (int)rows->size();
    return placeSearch.listed;
}

// [SECTION] Result files

void AppendLocateRecord(std::vector<uint8_t>& out, const LocateRecord& r) {
    WriteF64LE(out, r.lon);
    WriteF64LE(out, r.lat);
    uint8_t name[kLocateNameBytes] = {};
    memcpy(name, r.name.data(), std::min<size_t>(r.name.size(), kLocateNameBytes - 1));
    WriteBytes(out, name, sizeof name);
}

void DecodeLocateFile(const uint8_t* data, size_t size, std::vector<LocateRecord>* out) {
    out->clear();
    ByteCursor c = MakeCursor(data, size - size % kLocateRecordSize);
    while (CursorLeft(c) >= kLocateRecordSize) {
        LocateRecord r;
        r.lon = ReadF64LE(c);
        r.lat = ReadF64LE(c);
        const uint8_t* name = nullptr;
        if (!CursorTake(c, kLocateNameBytes, &name)) break;
        r.name.assign((const char*)name, strnlen((const char*)name, kLocateNameBytes));
        out->push_back(r);
    }
}

int ReadLocateFile(std::vector<LocateRecord>* out) {
    out->clear();
    std::string path = TempPath("locate.tmp");
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path.c_str(), &bytes, (size_t)kSearchMaxLocations * kLocateRecordSize * 4)) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    DecodeLocateFile(bytes.data(), bytes.size(), out);
    return 1;
}

int KeepSelectedLocations(const std::vector<int>& rows) {
    std::vector<LocateRecord> all;
    if (!ReadLocateFile(&all)) return 0;
    std::vector<uint8_t> bytes;
    for (int row : rows)
        if (row >= 0 && row < (int)all.size()) AppendLocateRecord(bytes, all[row]);
    if (!WriteLocateFile("locate2.tmp", bytes)) return 0;
    std::string kept = TempPath("locate2.tmp"), path = TempPath("locate.tmp");
    RemoveFile(path.c_str());
    if (rename(ResolvePath(kept.c_str()).c_str(), ResolvePath(path.c_str()).c_str()) != 0) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    return 1;
}

// [SECTION] Re-centring

int FitSearchWindow(const std::vector<LocateRecord>& records, MapWindow* out) {
    if (records.empty()) return 0;
    double west = records[0].lon, east = west, south = records[0].lat, north = south;
    for (const LocateRecord& r : records) {
        west = std::min(west, r.lon), east = std::max(east, r.lon);
        south = std::min(south, r.lat), north = std::max(north, r.lat);
    }
    west -= 1.0, east += 1.0, south -= 1.0, north += 1.0;
    double lonSpan = east - west, latSpan = north - south;
    if (latSpan >= lonSpan) {
        double centre = (west + east) / 2, half = latSpan * 1.3333 / 2;
        west = centre - half, east = centre + half;
    } else {
        double centre = (south + north) / 2, half = lonSpan * 0.7500187504687618 / 2;
        south = centre - half, north = centre + half;
    }
    *out = MapWindow{west, east, south, north};
    return west >= -180.0 && east <= 180.0 && south >= -90.0 && north <= 90.0;
}

int RecentreOnSearchResults() {
    std::vector<LocateRecord> records;
    if (!ReadLocateFile(&records) || records.empty()) return 0;
    MapWindow w;
    if (FitSearchWindow(records, &w)) {
        if (zoomDepth == 0) zoomDepth = 1;  // the world view itself never changes
        zoomHistory[zoomDepth] = w;
    } else {
        zoomDepth = 0;
    }
    return 1;
}
