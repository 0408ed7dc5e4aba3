// Place names: the record layouts of the name files, the world-feature index and the gazetteers, with the name normalisation and ordering the search relies on.
// The viewer reads these files and the volume builder writes them through the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// [SECTION] Name files

enum {
    kNameRecordSize = 80,         // mount2, province, ocean2, ocean, airport, range, userdef, pplace2
    kNameRecordNameBytes = 70,    // zero-terminated within the field
    kPlaceRecordNameBytes = 62,   // pplace2: the name field is shorter
    kCountryNameRecordSize = 64,  // cnames.dat
    kCountryNameBytes = 40,
    kCountryBands = 7,
};

// Place flags of pplace2.dat.
enum {
    kPlaceNot3D = 1,            // left out of the names of the 3D views
    kPlaceNationalCapital = 8,
    kPlaceProvinceCapital = 16,
};

// One label of a class-label file (and of the user-defined names).
struct NameRecord {
    float lat = 0, lon = 0;
    std::string name;   // Windows-1252; at most 69 bytes are stored
    uint8_t cls = 0;    // 1-based class within the file (range.dat: direction code)
    uint8_t flags = 0;
};

// One populated place of pplace2.dat. The eight bytes the map does not interpret hold the
// population and the GeoNames number of the place.
struct PlaceRecord {
    float lat = 0, lon = 0;
    uint32_t population = 0;
    uint32_t geonameId = 0;
    std::string name;   // at most 61 bytes are stored
    uint8_t cls = 0;    // place class 1..6
    uint8_t flags = 0;  // kPlace* bits
};

// One country label of cnames.dat.
struct CountryNameRecord {
    float lat = 0, lon = 0;
    std::string name;                 // at most 39 bytes are stored
    uint8_t sizeCode[kCountryBands] = {};  // per scale band: 0 hidden, 1..4 = 12, 10, 8, 7 points
    uint16_t countryNumber = 0;       // kept in the bytes the map does not interpret
};

void EncodeNameRecord(const NameRecord& r, uint8_t out[kNameRecordSize]);
void DecodeNameRecord(const uint8_t in[kNameRecordSize], NameRecord* r);
void EncodePlaceRecord(const PlaceRecord& r, uint8_t out[kNameRecordSize]);
void DecodePlaceRecord(const uint8_t in[kNameRecordSize], PlaceRecord* r);
void EncodeCountryNameRecord(const CountryNameRecord& r, uint8_t out[kCountryNameRecordSize]);
void DecodeCountryNameRecord(const uint8_t in[kCountryNameRecordSize], CountryNameRecord* r);

// Whole files: the record count is the size divided by the record size (a trailing partial
// record is ignored).
std::vector<uint8_t> EncodeNameFile(const std::vector<NameRecord>& records);
void DecodeNameFile(const uint8_t* data, size_t size, std::vector<NameRecord>* out);
std::vector<uint8_t> EncodePlaceFile(const std::vector<PlaceRecord>& records);
void DecodePlaceFile(const uint8_t* data, size_t size, std::vector<PlaceRecord>* out);
std::vector<uint8_t> EncodeCountryNameFile(const std::vector<CountryNameRecord>& records);
void DecodeCountryNameFile(const uint8_t* data, size_t size, std::vector<CountryNameRecord>* out);

// Scale band of the country labels for the map scale S (integer part): 0 from 42,500,000 up.
int CountryScaleBand(long scale);

// [SECTION] One-degree cells

enum { kCellCount = 64800 };
// Cell of a position: (floor(lat) + 90) * 360 + (floor(lon) + 180), clamped to the grid.
int CellOfPosition(double lat, double lon);
// South-west corner of cell c.
inline int CellSouth(int c) { return c / 360 - 90; }
inline int CellWest(int c) { return c % 360 - 180; }

// [SECTION] World features ("names\world.idx", "names\world.dat")

enum { kWorldMaxGroups = 50 };

struct WorldGroup {
    uint16_t kind = 0;      // not interpreted by the map: the place class of the group
    uint16_t count = 0;     // records in the group
    uint32_t offset = 0;    // byte offset of its first record in world.dat
    uint32_t spare = 0;     // not interpreted
};
struct WorldCell {
    uint16_t cell = 0;
    std::vector<WorldGroup> groups;  // at most kWorldMaxGroups
};
struct WorldFeature {
    float lat = 0, lon = 0;
    std::string name;       // at most 255 bytes
    uint16_t spare = 0;     // not interpreted: the country number
};

std::vector<uint8_t> EncodeWorldIndex(const std::vector<WorldCell>& cells);
// 1 when the whole index parsed; a truncated or inconsistent index gives 0 and the cells read so far.
int DecodeWorldIndex(const uint8_t* data, size_t size, std::vector<WorldCell>* out);
void AppendWorldFeature(std::vector<uint8_t>& out, const WorldFeature& f);
// Reads count records from offset; 0 when they run past the end.
int DecodeWorldFeatures(const uint8_t* data, size_t size, uint32_t offset, int count, std::vector<WorldFeature>* out);

// [SECTION] Rivers ("names\rivers.idx", "names\rivers.dat")

struct RiverIndexEntry {
    float east = 0, west = 0, north = 0, south = 0;
    float offset = 0;        // byte offset in rivers.dat, stored as a float
};
enum { kRiverIndexEntrySize = 20 };
void EncodeRiverIndexEntry(const RiverIndexEntry& e, std::vector<uint8_t>& out);
void DecodeRiverIndex(const uint8_t* data, size_t size, std::vector<RiverIndexEntry>* out);

// [SECTION] Gazetteers: names, keys and prefix tables

enum {
    kPrefixSymbols = 36,
    kIx3Entries = 1332,      // prefixes of one and two symbols
    kIx4Entries = 1727604,   // prefixes of one to four symbols
};

// Windows-1252 upper case of one character (ß and ÿ have none of their own in the letters
// searched; ÿ becomes Ÿ).
unsigned char UpperCase1252(unsigned char c);
std::string UpperCase1252(const std::string& s);
// "A".."Z" -> 0..25, "0".."9" -> 26..35, anything else -1.
int SymbolCode(unsigned char c);
// The key as the prefix table sees it: upper case, with ö/Ö, ä/Ä, ü/Ü, é/É/è/È folded to
// O, A, U, E and ß to S.
std::string NormaliseSearchKey(const std::string& key);
// The prefix-table entry of a normalised key: its leading run of symbols, at most maxSymbols
// long. -1 when the key does not start with a symbol.
int PrefixEntry(const std::string& normalisedKey, int maxSymbols);
// The prefix (as text) of a table entry, the inverse of PrefixEntry.
std::string PrefixOfEntry(int entry);
// The comparison key of a typed key: upper case, keeping ß, Ö, Ä, Ü, É and È; *special is
// set when one of those six letters occurs.
std::string ComparisonKey(const std::string& key, int* special);
// The comparison form of an upper-case name: Ö -> O, Ä -> A, Ü -> U, ß -> SS, É and È -> E.
std::string FoldComparisonName(const std::string& upperName);
// Compares the first key.size() characters of an index name, read in place, with a comparison
// key: byte by byte, or both folded when either holds one of the six letters (foldedKey is the
// key's folded form). Only the sign counts; a folded name shorter than the folded key is less.
// The name must be at least as long as the key.
int CompareNameWithKey(const uint8_t* name, size_t length, const std::string& key, const std::string& foldedKey,
                       int keySpecial);

// [SECTION] Gazetteers: records

// Index names are upper case so that the typed key, upper-cased, compares with them byte by
// byte; the locations keep the name as written, so an exact-name match compares without regard
// to letter case.
struct GazetteerName {
    std::string name;                // upper case, at most 255 bytes
    std::vector<uint32_t> locations; // byte offsets in the data file, at most 65,535
};
struct GazetteerLocation {
    float lat = 0, lon = 0;
    std::string name;                // as written, at most 255 bytes
    uint16_t country = 0;            // number in the volume's country list, 0 for none
};

void AppendGazetteerName(std::vector<uint8_t>& out, const GazetteerName& n);
// Reads the name-index record at offset; 0 when it runs past the end. *next receives the
// offset of the following record.
int DecodeGazetteerName(const uint8_t* data, size_t size, uint32_t offset, GazetteerName* n, uint32_t* next);
void AppendGazetteerLocation(std::vector<uint8_t>& out, const GazetteerLocation& l);
int DecodeGazetteerLocation(const uint8_t* data, size_t size, uint32_t offset, GazetteerLocation* l);

// A whole gazetteer in memory: name index, location data and prefix table (entries bytes LE).
struct GazetteerFiles {
    std::vector<uint8_t> index;      // "%s.ix2"
    std::vector<uint8_t> data;       // "%s.dat"
    std::vector<uint8_t> prefix;     // "%s.ix3" or "%s.ix4"
    int names = 0;
};
// Builds the gazetteer of the given locations: one index record per distinct upper-case name,
// sorted by GazetteerNameLess, locations in the order given. maxSymbols is 2 or 4.
void BuildGazetteer(const std::vector<GazetteerLocation>& locations, int maxSymbols, GazetteerFiles* out);
// The same over location records already laid out in a data file (the localities share
// "names\world.dat" with the world-feature dots): offsets[i] is where locations[i] stands.
// Fills the index and prefix table; out->data is left as it was.
void BuildGazetteerIndex(const std::vector<GazetteerLocation>& locations, const std::vector<uint32_t>& offsets,
                         int maxSymbols, GazetteerFiles* out);
// The prefix table over a sorted name index: each entry holds the offset of the first record
// whose normalised name begins with the entry's prefix, or where such a record would stand.
void BuildPrefixTable(const std::vector<std::string>& sortedNames, const std::vector<uint32_t>& offsets,
                      uint32_t endOffset, int maxSymbols, std::vector<uint32_t>* table);

// The best matches of a typed key: reads the name index from the offset the prefix table gives
// and lists the names that equal the key so far and then the names that follow it, at most
// maxResults. Returns the index offset of the first listed record, or -1.
struct GazetteerMatch {
    uint32_t offset;
    std::string name;
    int locations;
};
long FindBestMatches(const uint8_t* index, size_t indexSize, const uint8_t* prefix, size_t prefixSize, int maxSymbols,
                     const std::string& key, int maxResults, std::vector<GazetteerMatch>* out);
