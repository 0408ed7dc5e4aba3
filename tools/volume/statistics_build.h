// The builder's country statistics: the Factbook's figures read into the 34 variables, the
// record of every country number, the tables the statistics screen reads, its region images
// and the country pages of the text viewer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "countries.h"
#include "cpl_json.h"
#include "stats/country_tables.h"
#include "vector_build.h"
#include "volume.h"

// [SECTION] Factbook figures (statistics_figures.cpp)

// How a Factbook field writes its figure.
enum FactbookUnit {
    kFigurePercent,      // "12.5%", "-0.17% (2015 est.)"
    kFigurePerThousand,  // "8.47 births/1,000 population", "3.43 deaths/1,000 live births"
    kFigureYears,        // "80.57 years", "77.9"
    kFigurePerWoman,     // "1.44 children born/woman"
    kFigureSquareKm,     // "357,022 sq km", "1.267 million sq km"
    kFigureCount,        // "80,854,408 (July 2015 est.)", "42.65 million"
    kFigureDollars,      // "$3.722 trillion (2014 est.)", "$45,900"
};

// Reads the latest figure of a Factbook text: the entries after "++" are older ones and are
// read only while the newer ones say "NA". A figure counts when it opens its entry (after
// "ca." or "approximately" at most) and is followed by its unit and then nothing but a note in
// brackets or after ";". 1 with *value, 0 when the text holds no such figure. *older, when
// given, is set when an older entry had to stand in for an "NA".
int ParseFactbookFigure(const std::string& text, FactbookUnit unit, double* value, int* older = nullptr);
// The share of one kind of land in the land use text ("... arable land 34.1%; permanent
// crops 0.6%; ..."): label "arable land" gives 34.1. 0 when the label or its figure is missing.
int ParseLandUseShare(const std::string& text, const char* label, double* value);

// The 34 variables of one profile, kStatNotAvailable where the Factbook has no figure.
// olderUsed[k] is set where an older figure stood in for an "NA".
void ReadFactbookVariables(const CPLJSONObject& profile, float values[kCountryVariables],
                           int olderUsed[kCountryVariables]);

// [SECTION] The records (statistics_step.cpp)

// Territories of the regions' lists that the Factbook has no profile of: their records keep
// every value "not available".
struct RemainingTerritory {
    int number;        // country number 1..261, unused by the country table
    const char* name;  // Windows-1252
    int region;        // the statistics region whose list holds the number
};
const RemainingTerritory* RemainingTerritories(int* count);
// The statistics region 1..8 whose member list holds the country number; 0 when none does.
int RegionOfCountry(int number);

struct StatCountry {
    int number = 0;            // 1..261; the record is number - 1
    std::string name;          // Windows-1252, at most kCountryDisplayName characters
    const Country* country = nullptr;  // null for a remaining territory
    int paletteIndex = 0;      // 1..253 in the region images, 0 when it has no outline
    float values[kCountryVariables];
    int hasProfile = 0;
    std::string capital, area, population;   // the profile's texts, Windows-1252
    std::vector<std::string> background;     // paragraphs, Windows-1252
};

// "table\country.dat": 261 records of 396 bytes, the values then the NUL-padded name.
std::vector<uint8_t> EncodeCountryData(const std::vector<StatCountry>& records);
// "table\country.inf": a line per record, "1" and the palette index where the country is in
// the region images, "0" and index 0 where it is not.
std::string CountryInfoText(const std::vector<StatCountry>& records);
// "table\vars.inf": the 34 column and print titles, "_" where a header must not break.
std::string VariableNamesText();

// [SECTION] Region images (statistics_maps.cpp)

// An 8-bit region image, width x height palette indices, top row first.
struct RegionImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};
// Draws region 0..8 as the flat map or the extruded chart's base (chart set) at the size of
// either layout: every country polygon in its palette index (paletteIndex[number], 0 for none),
// 255 between neighbouring countries, 254 for the graticule over the sea. Countries too small
// to cover a pixel centre get a 2 x 2 dot at their largest polygon.
RegionImage DrawRegionImage(const std::vector<CountryPolygon>& polygons, const int paletteIndex[kCountryRecords + 1],
                            int region, int chart, int smallLayout);
// The image as a bottom-up 8-bit BMP file with a grey colour table (the viewer brings its own).
std::vector<uint8_t> EncodeRegionImage(const RegionImage& image);
// Reads "stats\cpoly.idx" and "stats\cpoly.dat" back into polygons; 0 when they do not agree.
int DecodeCountryPolygons(const std::vector<uint8_t>& index, const std::vector<uint8_t>& data,
                          std::vector<CountryPolygon>* out);

// [SECTION] Country pages (statistics_pages.cpp)

// "stats\<number>.txt": the country's page in the text viewer's mark-up.
std::string CountryPageText(const StatCountry& c, const char* edition);
// "stats\country.txt": every country with a link to its page, in alphabetical order.
std::string CountryIndexText(const std::vector<StatCountry>& records, const char* edition);
