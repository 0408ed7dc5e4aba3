// The place-name search: the seven gazetteers, the best matches of a typed name, the list of
// every location bearing a chosen name, the search-result files in the temporary folder, the
// map window fitted to the results and the results drawn over the map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map2d/map2d.h"
#include "names/names.h"
#include "platform/platform.h"

enum {
    kSearchTypes = 7,            // 1 localities ... 7 countries
    kSearchMaxMatches = 14,      // rows of the best-match list
    kSearchMaxLocations = 250,   // rows of the location list
    kSearchKeyChars = 40,        // characters of the search text kept
    kSearchTypedChars = 30,      // characters the name field takes
    kLocateRecordSize = 272,     // "locate.tmp": f64 longitude, f64 latitude, 256-byte name
    kLocateNameBytes = 256,
};

// What the results drawing shows after every repaint of the map.
enum { SEARCH_SHOW_NONE = 0, SEARCH_SHOW_NAME = 1, SEARCH_SHOW_FILE = 2 };

// What a search session did, for the shell to act on (bits).
enum { SEARCH_MAP_MOVED = 1, SEARCH_RESULTS_CHANGED = 2, SEARCH_COUNTRY_LIST = 4 };

struct PlaceSearchState {
    int type = 1;              // the chosen gazetteer
    std::string text;          // at most kSearchKeyChars characters
    int exactOnly = 0;         // "Match exact name only"
    long position = -1;        // index offset of the first best match, -1 when none
    int listed = 0;            // rows of the last location list
    int show = SEARCH_SHOW_NONE;
    int recentre = 0;          // "Re-center map when drawing"
};
extern PlaceSearchState placeSearch;

// Forgets the state and the gazetteers read so far (tests, a new volume).
void ResetPlaceSearch();
// Lets the next search look again for gazetteer files that were missing.
void RetryMissingGazetteers();

// [SECTION] Gazetteers (place_search.cpp)

// The radio-button label and the file stem of a type 1..7; "" outside.
const char* GazetteerLabel(int type);
const char* GazetteerStem(int type);
// "names\<stem>.ix4" for type 1, ".ix3" otherwise; likewise ".ix2" and ".dat".
std::string GazetteerPath(int type, const char* extension);

// [SECTION] Searching (place_search.cpp)

// The best matches of key in the chosen gazetteer as list rows "%s  (%ld)" (name and location
// count), at most 14. Returns the index offset of the first row, or -1 (no search for an empty
// key or one that does not start with a letter or digit; "Cannot open file %s" when the
// prefix table or the name index is missing).
long SearchBestMatches(const std::string& key, std::vector<std::string>* rows);
// The name of a best-match row: the text before its "  (" with trailing blanks removed.
std::string MatchRowName(const std::string& row);
// Lists every location of the name at placeSearch.position (at most 250, the exact-name switch
// applied) as rows "%s\t%s" (name and country) and writes them to "locate.tmp". Returns the
// row count; "Cannot load country names" or "Cannot open file %s" on failure.
int ListSearchLocations(std::vector<std::string>* rows);
// The locations of the name at placeSearch.position in file order, the exact-name switch
// applied, at most maxCount. 0 when there is no chosen name or its gazetteer cannot be read.
int ChosenNameLocations(int maxCount, std::vector<GazetteerLocation>* out);

// [SECTION] Result files (place_search.cpp)

struct LocateRecord {
    double lon = 0, lat = 0;
    std::string name;   // at most 255 bytes are stored
};
void AppendLocateRecord(std::vector<uint8_t>& out, const LocateRecord& r);
// Whole records only; a name without its terminator ends at the field's end.
void DecodeLocateFile(const uint8_t* data, size_t size, std::vector<LocateRecord>* out);
// Reads "%s\locate.tmp" in tempDir; "Cannot open file %s" and 0 when it is missing.
int ReadLocateFile(std::vector<LocateRecord>* out);
// Keeps the rows chosen (in order) of "locate.tmp": copies them to "locate2.tmp", which then
// replaces it. 0 with "Cannot open file %s" when a file cannot be written.
int KeepSelectedLocations(const std::vector<int>& rows);

// [SECTION] Re-centring (place_search.cpp)

// The window that shows all records: their bounding box widened by a degree on every side and
// brought to the map's 4:3 shape. 1 when it lies within the world, 0 when it does not (the map
// then goes back to the world view); 0 also for no records.
int FitSearchWindow(const std::vector<LocateRecord>& records, MapWindow* out);
// Fits the zoom history to the records of "locate.tmp": the window replaces the current depth
// (depth 0 becomes depth 1), or the map goes back to depth 0. 1 when the map moved.
int RecentreOnSearchResults();

// [SECTION] Drawing (search_results.cpp)

// The results over the map shown in r: a white pixel at every location inside the current
// window and its name in red from that point, clipped to r. Escape stops the drawing and sets
// drawAborted. Does nothing while no results are shown.
void DrawSearchResults(Surface* s, const Rect& r);

// [SECTION] Dialogs (search_dialogs.cpp)

// The search dialog and, from it, the locations dialog. Returns SEARCH_* bits: the map window
// changed, the results to draw changed, or the user asked for the list of countries (the shell
// shows it and opens the search again).
int RunPlaceSearch();
