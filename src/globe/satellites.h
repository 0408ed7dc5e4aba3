// Satellites on the globe: the element-set files of the volume, the 128-byte satellite record,
// the fourteen groups and their clocks, the orbit propagator, and the drawing of a group's
// orbits. The globe screen and the visibility search call these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/le_bytes.h"
#include "platform/platform.h"

// [SECTION] The satellite record (satellite_record.cpp)

constexpr int kSatelliteRecordSize = 128;
constexpr int kSatelliteSlots = 35;       // a group holds at most 34 satellites
constexpr int kSatelliteNameSize = 40;    // 39 characters and the terminator
constexpr int kSatelliteGroups = 14;

// Mean elements at an epoch, an observer, a radio frequency and the satellite's clock (UTC).
struct SatelliteRecord {
    double epoch;              // YYDDD.DDDDDDDD
    double inclination;        // degrees
    double node;               // right ascension of the ascending node, degrees
    double eccentricity;
    double perigee;            // argument of perigee, degrees
    double meanAnomaly;        // at epoch, degrees
    double meanMotion;         // revolutions per day
    double decayRate;          // revolutions per day squared
    double frequency;          // MHz, for the Doppler shift
    double observerLatitude;   // degrees north
    double observerLongitude;  // degrees east, west negative
    double observerAltitude;   // metres
    double minimumElevation;   // degrees above which the satellite counts as visible
    double hours;              // time of day, 0 <= hours < 24 after each clock step
    int32_t revolution;        // revolution number at epoch
    int32_t year, month, day;  // the clock's date, four-digit year
};

// Appends the record's 128 bytes, every field little-endian.
void EncodeSatelliteRecord(const SatelliteRecord& r, std::vector<uint8_t>& out);
// Reads 128 bytes through the cursor; 0 (record untouched) when fewer are left.
int DecodeSatelliteRecord(ByteCursor& c, SatelliteRecord* r);

// [SECTION] Element-set files (element_sets.cpp)
// Three lines a satellite: its name and the two element lines. Every file is looked for under
// the data root first, then on the volume; a missing one shows "Cannot open file %s".

// Complete three-line groups; a last line without a line break does not complete its group.
int CountSatellites(const char* file);
// Fills the nine element fields of satellite i; 0 when the file ends first (record untouched).
int ReadSatellite(const char* file, int i, SatelliteRecord* r);
// The name of satellite i, cut at the first line end, without trailing blanks and tabs, at
// most size - 1 characters. "Unexpected end of file %s" and 0 when the file ends before it
// (buffer untouched).
int ReadSatelliteName(const char* file, int i, char* buffer, int size);

// The same over text already in memory; no messages.
int CountElementSets(const uint8_t* text, size_t size);
int ParseElementSet(const uint8_t* text, size_t size, int i, SatelliteRecord* r);
int ParseElementSetName(const uint8_t* text, size_t size, int i, char* buffer, int bufferSize);

// [SECTION] Groups and clocks (satellite_record.cpp)

struct SatelliteGroup {
    const char* elementFile;       // "sats\noaa.dat"
    const char* informationText;   // opened in the manual viewer
};
extern const SatelliteGroup satelliteGroups[kSatelliteGroups];
constexpr const char* kSatelliteIndexText = "sats\\sats.txt";   // the viewer's index for them

extern SatelliteRecord* globeSatInfo;   // kSatelliteSlots records while a group is loaded
extern char** globeSatNames;            // kSatelliteSlots names of kSatelliteNameSize bytes
extern int globeSatCount;               // satellites of the loaded group
extern int globeSatGroup;               // index of the current group, kept while the program runs

// Allocates the tables on first use and loads every satellite of the file, with the default
// observer and frequency and the clock at 0:00 of today's local date. Returns the number
// loaded: 0 after "Too many satellites in ephimeris file" (35 or more), an allocation message
// or a missing file.
int LoadSatelliteGroup(const char* file);
// Steps globeSatGroup by +1 or -1, wrapping 0..13, and returns the new index.
int StepSatelliteGroup(int step);
// Frees the tables; the count becomes 0. The group index stays.
void ReleaseSatelliteGroup();
// Releases the tables and sets the group index back to 0 (tests start from here).
void ResetSatelliteState();

// Moves one clock by hours (at most a day either way), with months of fixed length.
void AdvanceSatelliteClock(SatelliteRecord* r, double hours);
// Moves the clocks of every satellite of the loaded group together.
void AdvanceSatelliteClocks(double hours);

// [SECTION] Orbit propagation (orbit_propagation.cpp)

// Where a satellite is at its record's clock time and how the observer sees it.
struct OrbitResult {
    double longitude;   // sub-satellite point, degrees east, -180..180
    double latitude;    // geocentric, degrees
    double height;      // km above the 6378.16 km sphere
    double azimuth;     // degrees from north through east
    double elevation;   // degrees
    double range;       // km
    double doppler;     // Hz at the record's frequency
    int visible;        // elevation at or above the record's minimum
    int eclipsed;       // in the Earth's shadow
};

// The Sun and the sidereal clock for one clock time; all angles in radians.
struct SunReference {
    double centuries;          // T, Julian centuries of the whole day
    double siderealOrigin;     // the whole day the sidereal reference belongs to
    double siderealReference;  // revolutions at that day's origin
    double obliquity;
    double eccentricity;
    double perigee;
    double meanAnomaly;        // in [0, 2 pi)
    double meanMotion;         // revolutions per day
    double distance;           // km
    double sinP, cosP;         // the penumbra angle
    double x, y, z;            // position, km
};

// Day number of a date: 1 January 1901 is 366. Two-digit years 0..49 mean 20YY, 50..99 19YY.
int SatelliteDayNumber(int year, int month, int day);
// True anomaly in [0, 2 pi) for mean anomaly M (radians) and eccentricity e.
double KeplerTrueAnomaly(double M, double e);
// For a clock time t, a day number with its fraction.
SunReference ComputeSunReference(double t);
OrbitResult PropagateSatellite(const SatelliteRecord& r);
// The same computation up to the sub-satellite point: longitude, latitude and height only (the
// other fields stay 0), for drawing orbits without an observer.
OrbitResult SatelliteGroundPoint(const SatelliteRecord& r);

// [SECTION] Orbit drawing (orbit_drawing.cpp)

// One frame of the loaded group on the globe's surface s (width x height pixels, globe radius
// R in drawing units, centre longitude and viewing latitude in radians): the last 30 minutes
// of each orbit in orange, the ground track in green, a white marker with the name and
// height. The first clock goes into the right half of statusRect on `window`, restored from
// hbmVirtual first. The clocks end where they started.
// "12/31/1997 23:40 UTC": month, day, year, hour and minute of a clock, clamped to 0..23 and 0..59.
void FormatSatelliteClock(const SatelliteRecord& r, char* out, size_t size);
void DrawGroupOrbits(Surface* window, Surface* s, double R, double lambda0, double phi0, int width, int height);
