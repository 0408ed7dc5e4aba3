// The globe's satellite groups: which published names, categories and orbits make each family,
// how its at most 34 members are chosen, and the three-line text the group files hold.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "satellites.h"

// Names are matched at their start, or right after an opening bracket where a pattern begins
// with one ("FOX-1B (AO-91)", "DMSP 5D-3 F19 (USA 249)"), and never inside a longer word.
static const char* kAmateur =
    "OSCAR|AO-|(AO-|FO-|(FO-|SO-|(SO-|LO-|(LO-|CO-|(CO-|DO-|(DO-|EO-|(EO-|GO-|(GO-|IO-|(IO-|NO-|(NO-|UO-|(UO-|"
    "KO-|(KO-|HO-|(HO-|JO-|(JO-|PO-|(PO-|TO-|(TO-|VO-|(VO-|XW-|(XW-|RS-|(RS-";

// File, text, title; name patterns; category lists; names never taken; geostationary only;
// names that count only on the family's orbit, with its mean motion and inclination limits.
static const std::vector<SatelliteGroup> kGroups = {
    {"sats\\noaa.dat", "sats\\goes.txt", "weather satellites",
     "GOES|NOAA|METEOSAT|METOP|HIMAWARI|FENGYUN|METEOR|ELEKTRO|KALPANA|INSAT-3D|JPSS|SUOMI NPP|TIROS|NIMBUS",
     "noaa|weather", "", 0, "", 0, 0, 0, 0},
    {"sats\\leasat.dat", "sats\\leasat.txt", "geostationary communication satellites",
     "LEASAT|FLTSATCOM|UFO|MUOS|DSCS|WGS|MILSTAR|AEHF|SKYNET|SYRACUSE|SICRAL|TDRS|INTELSAT|INMARSAT|EUTELSAT|"
     "ASTRA|GALAXY|ECHOSTAR|ARABSAT|TURKSAT|EXPRESS|GORIZONT|RADUGA|MOLNIYA|COMS|ANIK|OPTUS|JCSAT|THAICOM|"
     "NILESAT|HISPASAT|TELSTAR|APSTAR|ASIASAT|CHINASAT|INSAT",
     "", "", 1, "", 0, 0, 0, 0},
    {"sats\\landsat.dat", "sats\\landsat.txt", "Landsat Earth-observation satellites", "LANDSAT", "", "", 0, "", 0, 0,
     0, 0},
    {"sats\\nadezhda.dat", "sats\\nadezhda.txt", "search and rescue satellites (Nadezhda, COSPAS-SARSAT)",
     "NADEZHDA|COSPAS|SARSAT", "", "", 0, "", 0, 0, 0, 0},
    {"sats\\glonas.dat", "sats\\glonass.txt", "GLONASS navigation satellites", "GLONASS", "glo-ops", "", 0, "COSMOS",
     2.12, 2.14, 63.0, 67.0},
    {"sats\\ake.dat", "sats\\akebono.txt", "Akebono and other space and Earth science satellites",
     "AKEBONO|(AKEBONO|EXOS D|EXOS-D", "science", "", 0, "", 0, 0, 0, 0},
    {"sats\\spot.dat", "sats\\spot.txt", "SPOT and Pleiades Earth-observation satellites", "SPOT|PLEIADES", "", "", 0,
     "", 0, 0, 0, 0},
    {"sats\\gps.dat", "sats\\gps.txt", "GPS navigation satellites", "GPS|NAVSTAR", "gps-ops", "", 0, "", 0, 0, 0, 0},
    {"sats\\ers.dat", "sats\\ers.txt", "ESA Earth-observation satellites (ERS, Envisat, Sentinel and others)",
     "ERS|ENVISAT|SENTINEL|CRYOSAT|SMOS|SWARM|AEOLUS|ADM-AEOLUS|GOCE", "", "", 0, "", 0, 0, 0, 0},
    {"sats\\mir.dat", "sats\\mir.txt", "space stations", "ISS|TIANGONG|TIANHE|CSS|MIR|SALYUT|SKYLAB", "", "", 0, "", 0,
     0, 0, 0},
    {"sats\\oscar.dat", "sats\\sats.txt", "amateur radio satellites", kAmateur, "amateur", "", 0, "", 0, 0, 0, 0},
    {"sats\\radarsat.dat", "sats\\radarsat.txt", "RADARSAT radar satellites", "RADARSAT", "", "", 0, "", 0, 0, 0, 0},
    {"sats\\spy.dat", "sats\\sats.txt",
     "military satellites (US military spacecraft under their USA numbers, France's Helios reconnaissance satellites)",
     "USA|(USA|HELIOS", "", "NAVSTAR|GPS", 0, "", 0, 0, 0, 0},
};

const std::vector<SatelliteGroup>& SatelliteGroups() { return kGroups; }

int IsGeostationary(const ElementSet& s) {
    double motion = MeanMotion(s), inclination = Inclination(s);
    return motion >= 0.99 && motion <= 1.01 && inclination < 15.0;
}

static std::string Upper(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = (char)toupper((unsigned char)c);
    return out;
}

static int MatchesAt(const std::string& name, size_t at, const std::string& pattern) {
    if (name.compare(at, pattern.size(), pattern) != 0) return 0;
    size_t after = at + pattern.size();
    return after >= name.size() || !isalpha((unsigned char)name[after]);
}

static int MatchesOne(const std::string& name, const std::string& pattern) {
    if (pattern.empty()) return 0;
    if (pattern[0] != '(') return MatchesAt(name, 0, pattern);
    for (size_t at = name.find(pattern); at != std::string::npos; at = name.find(pattern, at + 1))
        if (MatchesAt(name, at, pattern)) return 1;
    return 0;
}

int MatchNamePattern(const std::string& name, const char* patterns) {
    std::string upper = Upper(name);
    int index = 0;
    for (const char* p = patterns; *p; index++) {
        const char* bar = strchr(p, '|');
        std::string pattern(p, bar ? (size_t)(bar - p) : strlen(p));
        if (MatchesOne(upper, pattern)) return index;
        p = bar ? bar + 1 : p + strlen(p);
    }
    return -1;
}

static int PatternCount(const char* patterns) {
    return *patterns ? 1 + (int)std::count(patterns, patterns + strlen(patterns), '|') : 0;
}

static int CategoryIndex(const std::string& category, const char* list) {
    int index = 0;
    for (const char* p = list; *p; index++) {
        const char* bar = strchr(p, '|');
        size_t n = bar ? (size_t)(bar - p) : strlen(p);
        if (category.size() == n && category.compare(0, n, p, n) == 0) return index;
        p = bar ? bar + 1 : p + n;
    }
    return -1;
}

// Some catalogues name a family's members only by their series name ("COSMOS 2425 (716)"); its
// orbit tells them apart.
static int OnFamilyOrbit(const SatelliteGroup& g, const ElementSet& s) {
    if (!*g.orbitPatterns || MatchNamePattern(s.name, g.orbitPatterns) < 0) return 0;
    double motion = MeanMotion(s), inclination = Inclination(s);
    return motion >= g.motionLow && motion <= g.motionHigh && inclination >= g.inclinationLow &&
           inclination <= g.inclinationHigh;
}

// The rank of a set in the group, lower first; -1 when it is not a member.
static int GroupRank(const SatelliteGroup& g, const ElementSet& s,
                     const std::multimap<std::string, std::string>& categories) {
    if (MatchNamePattern(s.name, g.excludes) >= 0 || MatchNamePattern(s.name, "OBJECT") >= 0) return -1;
    if (g.geostationaryOnly && !IsGeostationary(s)) return -1;
    int patterns = PatternCount(g.patterns);
    int byName = MatchNamePattern(s.name, g.patterns);
    if (byName < 0 && OnFamilyOrbit(g, s)) byName = patterns;
    int byCategory = -1;
    auto range = categories.equal_range(s.catalogue);
    for (auto it = range.first; it != range.second; ++it) {
        int j = CategoryIndex(it->second, g.categories);
        if (j >= 0 && (byCategory < 0 || j < byCategory)) byCategory = j;
    }
    if (byName < 0 && byCategory < 0) return -1;
    return (s.status == '-') * 2000000 + (byCategory < 0) * 1000000 + (byName < 0 ? patterns + 1 : byName) * 100 +
           (byCategory < 0 ? 99 : byCategory);
}

std::vector<const ElementSet*> SelectGroup(const SatelliteGroup& group, const std::vector<ElementSet>& catalogue,
                                           const std::multimap<std::string, std::string>& categories, int* matched) {
    std::vector<std::pair<int, const ElementSet*>> members;
    for (const ElementSet& s : catalogue) {
        int rank = GroupRank(group, s, categories);
        if (rank >= 0) members.push_back({rank, &s});
    }
    // Within a rank the highest catalogue number, the most recent launch, comes first.
    std::stable_sort(members.begin(), members.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        const std::string &x = a.second->catalogue, &y = b.second->catalogue;
        return x.size() != y.size() ? x.size() > y.size() : x > y;
    });
    *matched = (int)members.size();
    std::vector<const ElementSet*> out;
    for (size_t i = 0; i < members.size() && (int)i < kGroupLimit; i++) out.push_back(members[i].second);
    return out;
}

std::string ThreeLineText(const std::vector<const ElementSet*>& sets) {
    std::string text;
    for (const ElementSet* s : sets) text += s->name + "\r\n" + s->line1 + "\r\n" + s->line2 + "\r\n";
    return text;
}
