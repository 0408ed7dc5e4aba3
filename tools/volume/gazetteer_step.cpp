// Builder step "gazetteers": the seven search gazetteers (localities, cities, mountains, ocean
// features, divisions, airports, countries), each a sorted name index, its locations and a
// prefix table, from the same catalogue as the name files. The localities' location records
// are the world-feature records of "names\world.dat", which both steps write alike.
#include <algorithm>
#include <numeric>

#include "countries.h"
#include "names_build.h"

static GazetteerLocation Location(double lat, double lon, const std::string& name, uint16_t country) {
    return GazetteerLocation{(float)lat, (float)lon, name, country};
}

// Names of the label files without the height a peak label carries in parentheses.
static std::string SearchName(const std::string& label) {
    size_t paren = label.find(" (");
    return paren == std::string::npos ? label : label.substr(0, paren);
}

static void FromNames(const std::vector<CataloguedName>& names, std::vector<GazetteerLocation>* out) {
    for (const CataloguedName& n : names)
        out->push_back(Location(n.record.lat, n.record.lon, SearchName(n.record.name), n.country));
}

struct GazetteerPlan {
    const char* stem;
    const char* label;
    int symbols;
    std::vector<GazetteerLocation> locations;
};

int BuildGazetteers(BuildContext& ctx) {
    const NameCatalogue* cat = LoadNameCatalogue(ctx);
    if (!cat) return 0;
    std::vector<GazetteerPlan> plans = {
        {"world", "Localities", 4, {}}, {"search6", "Cities", 2, {}},  {"search1", "Mountains", 2, {}},
        {"search2", "Ocean features", 2, {}}, {"search4", "Provinces and States", 2, {}},
        {"search3", "Airports", 2, {}}, {"search5", "Countries", 2, {}},
    };
    // Under one name the most populous place is listed first.
    std::vector<int> order(cat->localities.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return cat->localities[a].population > cat->localities[b].population; });
    std::vector<uint8_t> worldIdx, worldDat;
    std::vector<uint32_t> worldOffsets, localityOffsets;
    int worldCells = 0;
    EncodeWorldFiles(*cat, &worldIdx, &worldDat, &worldOffsets, &worldCells);
    for (int i : order) {
        const SourcePlace& p = cat->localities[i];
        plans[0].locations.push_back(Location(p.lat, p.lon, p.name, cat->localityCountry[i]));
        localityOffsets.push_back(worldOffsets[i]);
    }
    std::vector<int> byPopulation(cat->places.size());
    std::iota(byPopulation.begin(), byPopulation.end(), 0);
    std::stable_sort(byPopulation.begin(), byPopulation.end(),
                     [&](int a, int b) { return cat->places[a].population > cat->places[b].population; });
    for (int i : byPopulation) {
        const PlaceRecord& p = cat->places[i];
        plans[1].locations.push_back(Location(p.lat, p.lon, p.name, cat->placeCountry[i]));
    }
    FromNames(cat->peaks, &plans[2].locations);
    FromNames(cat->oceans, &plans[3].locations);
    FromNames(cat->provinces, &plans[4].locations);
    FromNames(cat->airports, &plans[5].locations);
    for (const CountryNameRecord& c : cat->countries) {  // searched by the full name, not the label's
        const Country* country = CountryByNumber(c.countryNumber);
        plans[6].locations.push_back(Location(c.lat, c.lon, country ? country->name : c.name, c.countryNumber));
    }

    // Everything in memory first: a failure leaves the previous gazetteers as they were.
    std::vector<GazetteerFiles> built(plans.size());
    BuildGazetteerIndex(plans[0].locations, localityOffsets, plans[0].symbols, &built[0]);
    built[0].data = std::move(worldDat);
    for (size_t i = 1; i < plans.size(); i++) BuildGazetteer(plans[i].locations, plans[i].symbols, &built[i]);
    for (size_t i = 0; i < plans.size(); i++) {
        std::string stem = std::string("names\\") + plans[i].stem;
        std::string prefix = stem + (plans[i].symbols == 4 ? ".ix4" : ".ix3");
        if (!WriteVolumeFile(ctx, (stem + ".ix2").c_str(), built[i].index) ||
            !WriteVolumeFile(ctx, (stem + ".dat").c_str(), built[i].data) ||
            !WriteVolumeFile(ctx, prefix.c_str(), built[i].prefix) ||
            (i == 0 && !WriteVolumeFile(ctx, "names\\world.idx", worldIdx)))
            return 0;
        int withoutCountry = 0;
        for (const GazetteerLocation& l : plans[i].locations) withoutCountry += l.country == 0;
        ReportLine(ctx, "%s (%s): %zu locations under %d names, %zu-entry prefix table%s", stem.c_str(), plans[i].label,
                   plans[i].locations.size(), built[i].names, built[i].prefix.size() / 4,
                   i == 3 ? "" : (", " + std::to_string(withoutCountry) + " without a country number").c_str());
    }
    return 1;
}
