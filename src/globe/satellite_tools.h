// The globe's two satellite tools: the search for satellites above a place around a local time
// (its dialog, the result list and the path view drawn over an orthographic map) and the
// dish-aiming report of azimuth and elevation for the geostationary satellites.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "globe/satellites.h"
#include "platform/le_bytes.h"
#include "platform/platform.h"

// [SECTION] Entry points for the globe screen

// Button 97: the search dialog, then the result dialog when the search wrote a result file.
void VisibleSatellitesSearch();
// F5: the dish dialog and report when geo.tle can be found; otherwise only a beep.
void DishAiming();

// [SECTION] Checked dialog fields (satellite_search.cpp)

// An edit holding a whole number from lo to hi. Plays the error cue and shows "All fields must
// be filled in" for an empty field, `message` for anything else out of place, and returns 0.
int ReadCheckedInteger(Dialog* d, int id, int lo, int hi, const char* message, int* value);
// The same check done on a text.
int CheckedIntegerText(const char* text, int lo, int hi, const char* message, int* value);
// Seconds the local time zone lies west of universal time (standard time, as the C library keeps it).
int LocalZoneWestSeconds();

// [SECTION] The search and its result file (satellite_search.cpp)

constexpr int kSearchEntrySize = 168;
constexpr const char* kSearchCatalogue = "sats\\kepler.tle";
constexpr const char* kSearchResultName = "sats.tmp";
constexpr double kSearchWindowHours = 0.08333333333333333;   // five minutes

// What the search dialog asks for: a place and a local date and time.
struct SatelliteQuery {
    double latitude, longitude;   // degrees, south and west negative
    int day, month, year;
    int hour, minute;             // local time
};

// A name and the satellite's record with the observer and the universal time of the search.
struct SearchEntry {
    char name[kSatelliteNameSize];
    SatelliteRecord record;
};

void EncodeSearchEntry(const SearchEntry& e, std::vector<uint8_t>& out);
// 168 bytes through the cursor; 0 when fewer are left. The name always ends in a NUL.
int DecodeSearchEntry(ByteCursor& c, SearchEntry* e);
// Every entry of a result file; "Cannot open file %s" and 0 when it cannot be read.
int ReadSearchEntries(const char* file, std::vector<SearchEntry>* entries);

// The query's time as universal hours: hour + minute / 60 + the zone offset (may pass 24).
double QueryUniversalHours(const SatelliteQuery& q);
// 1 when a catalogue name is left out of the search: its last blank-separated word has one to
// three characters and starts with a lower-case 'r' or 'd' (debris and rocket bodies).
int SkippedSatelliteName(const char* name);
// The name as listed: "Cos " becomes "Cosmos ", then cut to 39 characters.
void ListedSatelliteName(const char* name, char out[kSatelliteNameSize]);

// Runs every satellite of `catalogue` (a volume name) through the propagator at the query's
// time and five minutes either side, and writes the visible, sunlit, moving ones to
// `resultFile`. Returns 1 with the number written, or 0 after "Cannot open file %s" (nothing
// written).
int SearchVisibleSatellites(const SatelliteQuery& q, const char* catalogue, const char* resultFile, int* count);

// Items of the search dialog.
enum : int {
    kSearchLatDegrees = 1101, kSearchLatMinutes, kSearchLatSeconds, kSearchNorth, kSearchSouth,
    kSearchLonDegrees, kSearchLonMinutes, kSearchLonSeconds, kSearchEast, kSearchWest,
    kSearchDay, kSearchMonth, kSearchYear, kSearchHour, kSearchMinute,
};
// Deletes the old result file, asks for the place and time and runs the search on OK.
// Returns 1 when the search ran, with the query the user gave.
int SearchDialog(SatelliteQuery* q);

// [SECTION] The result dialog and the path view (satellite_results.cpp)

constexpr int kPathRadiusStep = 1000, kPathRadiusMin = 1000, kPathRadiusMax = 20000;
constexpr int kPathSteps = 3600;   // one second each, an hour centred on the entry's time
constexpr const char* kWorldOutlineFile = "sats\\worldmap.deg";

enum : int { kResultCountText = 1201, kResultHeading, kResultList, kResultBigger, kResultSmaller, kResultShowPath };

// The view radius in drawing units; kept while the program runs.
int SatellitePathRadius();
void SetSatellitePathRadius(int radius);

// The six readout lines of one step: azimuth, elevation, altitude, eclipsed, visible, and the
// clock (universal hours) as local time plus half an hour.
struct PathReadout {
    char lines[6][48];
};
void FormatPathReadout(const OrbitResult& o, double clockHours, int zoneWestSeconds, PathReadout* out);
// Colour of a plotted position: green shades when visible, red shades when not, dark when eclipsed.
ColourRef PathPointColour(const OrbitResult& o);

// Draws in mapRect of surface s (clipped to it): the map centred on the observer at `radius`
// drawing units and, with drawPath, the name and hour-long path of entry `index` of
// `resultFile`. Copies mapRect to `window` when it is another surface. 0 after "Cannot open
// file %s" (the map stays). `last`, when given, receives the readout of the final step.
int DrawPathView(Surface* window, Surface* s, int index, const char* resultFile, int radius,
                 double longitude, double latitude, int drawPath, PathReadout* last);
// The world outline in grey: "sats\worldmap.deg", (longitude, latitude) float pairs where a
// longitude of -9999 starts a polyline; a point on the far side breaks the line. 0 without
// drawing when the file cannot be read.
int DrawWorldOutline(Surface* s, const Rect& area, double radius, double lambda0, double phi0);
// The result dialog for the entries of `resultFile`, observer at (latitude, longitude).
void SearchResultDialog(const char* resultFile, double latitude, double longitude);

// [SECTION] Dish aiming (dish_aiming.cpp)

constexpr const char* kDishReportName = "aim_dish.txt";

enum : int {
    kDishLatDegrees = 1301, kDishLatMinutes, kDishLatSeconds, kDishNorth, kDishSouth,
    kDishLonDegrees, kDishLonMinutes, kDishLonSeconds, kDishEast, kDishWest, kDishAltitude,
};

// The element file F5 reads: geo.tle in the temporary folder, else through the data-file
// lookup; "" when there is none.
std::string DishElementFile();
// Writes "aim_dish.txt" in the data root for the satellites of `elementFile` (a real path)
// seen from the place at 0:00 universal time of the given date. 0 after the failure's message.
int WriteDishReport(const char* elementFile, double latitude, double longitude, double altitude,
                    int year, int month, int day);
