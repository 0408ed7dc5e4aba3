// Builder step "names": every name file of the map (populated places, countries, divisions,
// oceans, airports, highest points, world localities by cell, city areas, rivers) written from
// the name catalogue. All files are made in memory first, so a bad source leaves none behind.
#include <algorithm>
#include <cstdlib>

#include "names_build.h"

struct PendingFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

static std::vector<NameRecord> Records(const std::vector<CataloguedName>& names) {
    std::vector<NameRecord> out;
    for (const CataloguedName& n : names) out.push_back(n.record);
    return out;
}

void EncodeWorldFiles(const NameCatalogue& cat, std::vector<uint8_t>* idx, std::vector<uint8_t>* dat,
                      std::vector<uint32_t>* offsets, int* cellsUsed) {
    offsets->assign(cat.localities.size(), 0);
    std::vector<std::vector<int>> byCell(kCellCount);
    for (size_t i = 0; i < cat.localities.size(); i++)
        byCell[CellOfPosition(cat.localities[i].lat, cat.localities[i].lon)].push_back((int)i);
    std::vector<WorldCell> cells;
    dat->clear();
    for (int c = 0; c < kCellCount; c++) {
        std::vector<int>& members = byCell[c];
        if (members.empty()) continue;
        std::vector<std::pair<int, int>> keyed;  // class, locality
        for (int i : members) {
            uint8_t cls, flags;
            ClassifyPlace(cat.localities[i], &cls, &flags);
            keyed.push_back({cls, i});
        }
        std::stable_sort(keyed.begin(), keyed.end(), [&](const std::pair<int, int>& a, const std::pair<int, int>& b) {
            if (a.first != b.first) return a.first < b.first;
            return cat.localities[a.second].population > cat.localities[b.second].population;
        });
        WorldCell cell;
        cell.cell = (uint16_t)c;
        for (size_t k = 0; k < keyed.size(); k++) {
            if (cell.groups.empty() || cell.groups.back().kind != keyed[k].first || cell.groups.back().count == 65535) {
                if ((int)cell.groups.size() == kWorldMaxGroups) break;  // never reached: six classes per cell
                cell.groups.push_back(WorldGroup{(uint16_t)keyed[k].first, 0, (uint32_t)dat->size(), 0});
            }
            const SourcePlace& p = cat.localities[keyed[k].second];
            (*offsets)[keyed[k].second] = (uint32_t)dat->size();
            AppendWorldFeature(*dat, WorldFeature{(float)p.lat, (float)p.lon, p.name, cat.localityCountry[keyed[k].second]});
            cell.groups.back().count++;
        }
        cells.push_back(cell);
    }
    *idx = EncodeWorldIndex(cells);
    *cellsUsed = (int)cells.size();
}

int BuildNames(BuildContext& ctx) {
    const NameCatalogue* cat = LoadNameCatalogue(ctx);
    if (!cat) return 0;
    std::vector<CityArea> areas;
    int unnamedAreas = 0;
    int threshold = atoi(RecipeValue(ctx, "night-lights-threshold", "64").c_str());
    if (!TraceCityAreas(SourcePath(ctx, "night-lights", "three-globe/example/img/earth-night.jpg"), threshold,
                        cat->localities, &areas, &unnamedAreas))
        return 0;

    std::vector<PendingFile> files;
    files.push_back({"names\\pplace2.dat", EncodePlaceFile(cat->places)});
    files.push_back({"names\\cnames.dat", EncodeCountryNameFile(cat->countries)});
    files.push_back({"names\\province.dat", EncodeNameFile(Records(cat->provinces))});
    files.push_back({"names\\ocean2.dat", EncodeNameFile(Records(cat->oceans))});
    files.push_back({"names\\ocean.dat", {}});
    files.push_back({"names\\range.dat", {}});
    files.push_back({"names\\airport.dat", EncodeNameFile(Records(cat->airports))});
    files.push_back({"names\\mount2.dat", EncodeNameFile(Records(cat->peaks))});
    PendingFile worldIdx{"names\\world.idx", {}}, worldDat{"names\\world.dat", {}};
    int worldCells = 0;
    std::vector<uint32_t> worldOffsets;
    EncodeWorldFiles(*cat, &worldIdx.bytes, &worldDat.bytes, &worldOffsets, &worldCells);
    files.push_back(worldIdx);
    files.push_back(worldDat);
    PendingFile citiesIdx{"poly\\cities.idx", {}}, citiesIx2{"poly\\cities.ix2", {}}, citiesDat{"poly\\cities.dat", {}};
    EncodeCityAreaFiles(areas, &citiesIdx.bytes, &citiesIx2.bytes, &citiesDat.bytes);
    files.push_back(citiesIdx);
    files.push_back(citiesIx2);
    files.push_back(citiesDat);
    // No source at hand names rivers: the files stay empty so the picker finds nothing.
    files.push_back({"names\\rivers.idx", {}});
    files.push_back({"names\\rivers.dat", {}});
    files.push_back({"names\\rivers.txt", {}});

    for (const PendingFile& f : files)
        if (!WriteVolumeFile(ctx, f.name.c_str(), f.bytes)) return 0;

    int byClass[7] = {};
    for (const PlaceRecord& p : cat->places) byClass[p.cls]++;
    ReportLine(ctx, "names: %zu GeoNames localities (%d names left out: no Windows-1252 form; %d places given "
               "the country at their position for want of a known country code)",
               cat->localities.size(), cat->skippedNames, cat->placedByPosition);
    ReportLine(ctx, "names\\pplace2.dat: %zu populated places (classes 1-6: %d %d %d %d %d %d)", cat->places.size(),
               byClass[1], byClass[2], byClass[3], byClass[4], byClass[5], byClass[6]);
    ReportLine(ctx, "names\\cnames.dat: %zu countries (%d without a Factbook position)", cat->countries.size(),
               cat->countriesWithoutPosition);
    ReportLine(ctx, "names\\province.dat: %zu first-level divisions (%d without localities to place them)",
               cat->provinces.size(), cat->provincesWithoutPlaces);
    ReportLine(ctx, "names\\ocean2.dat: %zu oceans", cat->oceans.size());
    ReportLine(ctx, "names\\airport.dat: %zu airports (%d without a country)", cat->airports.size(),
               cat->airportsWithoutCountry);
    ReportLine(ctx, "names\\mount2.dat: %zu highest points (%d countries without a named, placeable one)",
               cat->peaks.size(), cat->countriesWithoutPeak);
    ReportLine(ctx, "names\\world.idx, world.dat: %zu localities in %d cells", cat->localities.size(), worldCells);
    ReportLine(ctx,
               "poly\\cities.*: %zu urban area outlines contoured from night lights at red %d (marching squares, "
               "simplified to a third of a pixel; %d lit areas without a locality left out)",
               areas.size(), threshold, unnamedAreas);
    ReportMissing(ctx, "names\\ocean.dat", "empty: no packaged source names undersea or other point features");
    ReportMissing(ctx, "names\\range.dat", "empty: no packaged source names mountain ranges");
    ReportMissing(ctx, "names\\rivers.idx, rivers.dat, rivers.txt", "empty: no packaged source names rivers");
    ReportMissing(ctx, "names\\ocean2.dat seas", "the packaged seas (earth-seas-10m) carry no names; only the "
                                                 "Factbook's five oceans are named");
    return 1;
}
