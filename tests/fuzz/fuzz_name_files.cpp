// Fuzz target: the name-file readers (80- and 64-byte records, world-feature index and
// records, city-area index, boxes and polygons, river index) on arbitrary bytes.
#include <cstdint>
#include <vector>

#include "map2d/city_areas.h"
#include "names/names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<NameRecord> names;
    DecodeNameFile(data, size, &names);
    std::vector<PlaceRecord> places;
    DecodePlaceFile(data, size, &places);
    std::vector<CountryNameRecord> countries;
    DecodeCountryNameFile(data, size, &countries);
    std::vector<RiverIndexEntry> rivers;
    DecodeRiverIndex(data, size, &rivers);

    // The same bytes as a world index whose groups point back into them as world.dat.
    std::vector<WorldCell> cells;
    DecodeWorldIndex(data, size, &cells);
    for (const WorldCell& c : cells)
        for (const WorldGroup& g : c.groups) {
            std::vector<WorldFeature> features;
            DecodeWorldFeatures(data, size, g.offset, g.count, &features);
        }

    // As cities.idx / .ix2 / .dat all at once.
    for (int cell = 0; cell < kCityCells && (size_t)cell * kCityIndexEntrySize < size; cell += 7) {
        CityIndexEntry e;
        if (!DecodeCityIndexEntry(data, size, cell, &e)) break;
        for (uint32_t k = 0; k < e.count && k < 64; k++) {
            CityBox b;
            if (!DecodeCityBox(data, size, e.offset + k * kCityBoxSize, &b)) break;
            CityPolygon p;
            DecodeCityPolygon(data, size, b.offset, &p);
        }
    }
    CityPolygon p;
    DecodeCityPolygon(data, size, 0, &p);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    NameRecord n;
    n.lat = 47.5f;
    n.lon = 8.5f;
    n.name = "Zugspitze (2963)";
    n.cls = 1;
    seeds.push_back(EncodeNameFile({n, n}));

    std::vector<uint8_t> dat;
    WorldCell cell;
    cell.cell = (uint16_t)CellOfPosition(47.3, 8.5);
    cell.groups.push_back(WorldGroup{1, 2, 0, 0});
    std::vector<uint8_t> idx = EncodeWorldIndex({cell});
    // Records after the index, with the group's offset pointing at them.
    size_t at = idx.size();
    idx[12] = (uint8_t)at;
    AppendWorldFeature(idx, WorldFeature{47.37f, 8.54f, "Z\xfcrich", 226});
    AppendWorldFeature(idx, WorldFeature{47.5f, 8.72f, "Winterthur", 226});
    seeds.push_back(idx);

    std::vector<uint8_t> city;
    EncodeCityIndexEntry(CityIndexEntry{1, 8}, city);
    EncodeCityBox(CityBox{8, 9, 47, 48, 28}, city);
    CityPolygon polygon;
    polygon.name = "Z\xfcrich";
    polygon.points = {8.4f, 47.3f, 8.6f, 47.3f, 8.6f, 47.4f};
    AppendCityPolygon(city, polygon);
    seeds.push_back(city);

    std::vector<uint8_t> river;
    EncodeRiverIndexEntry(RiverIndexEntry{10, -5, 50, 40, 0}, river);
    seeds.push_back(river);
    return seeds;
}
