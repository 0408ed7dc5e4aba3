// The builder's side of the satellite files: element sets read from published catalogues,
// one per object at its newest epoch, the globe's groups chosen from them by name, category and
// orbit, and the three-line text the viewer's reader takes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vector_build.h"
#include "volume.h"

struct ElementSet {
    std::string name;       // as published, without a leading "0 " or a trailing status mark
    std::string line1;      // element line 1, without its line end
    std::string line2;      // element line 2
    std::string catalogue;  // columns 3-7 of line 1, blanks and leading zeros dropped ("25544")
    double epoch = 0;       // full year x 1000 + day of the year with fraction: 2022053.83197560
    char status = 0;        // a published status mark: '+' operational, '-' not, 'P' partly...; 0 none
};

// What a source file gave: its sets, and how many lines could not be read as a set.
struct ElementFile {
    std::string path;
    std::vector<ElementSet> sets;
    long badLines = 0;
};

// [SECTION] Reading (satellite_sources.cpp)

// Reads three-line sets (a name line and two element lines) and two-line sets, mixed freely;
// CR LF or LF line ends, and a last line without a line break. A two-line set is named by its
// catalogue number. Lines that are neither are counted in file->badLines.
void ParseElementText(const std::string& text, ElementFile* file);
// Reads a catalogue of keyed entries ("NAME=", "TLE1=", "TLE2=" under "[number]").
void ParseKeyedElements(const std::string& text, ElementFile* file);
// Reads a file of either kind, chosen by its content; 0 after BuildError when it cannot be read.
int ReadElementFile(const std::string& path, ElementFile* file);
// A category list: a title line, then one catalogue number a line. Adds number -> category.
void ParseCategoryList(const std::string& text, const std::string& category,
                       std::multimap<std::string, std::string>* categories);
// One set per object: the one with the newest epoch (a later file wins a tie), keeping the
// name and status mark of an older set when the newest has none. Sorted by catalogue number.
std::vector<ElementSet> NewestPerObject(const std::vector<const ElementFile*>& files);

// The epoch of line 1 as full year x 1000 + day; 0 when the columns are not a number.
double EpochOfLine(const std::string& line1);
// Days from 1 January 1950 to the epoch.
double EpochDays(double epoch);
// "2022-02-22" for an epoch.
std::string EpochDate(double epoch);
// "2018-01-20 to 2022-02-22" for the sets, or "no element sets".
std::string EpochRange(const std::vector<ElementSet>& sets);
double MeanMotion(const ElementSet& s);   // revolutions per day, line 2 columns 53-63
double Inclination(const ElementSet& s);  // degrees, line 2 columns 9-16

// [SECTION] Groups (satellite_groups.cpp)

// Geostationary: 0.99 to 1.01 revolutions a day at an inclination below 15 degrees.
int IsGeostationary(const ElementSet& s);

struct SatelliteGroup {
    const char* file;        // the volume's group file
    const char* text;        // its information text
    const char* title;       // what the family is, for the report and the texts
    const char* patterns;    // '|' separated name beginnings; '(' first: right after an opening bracket
    const char* categories;  // '|' separated packaged category lists
    const char* excludes;    // '|' separated name beginnings never taken
    int geostationaryOnly;
    const char* orbitPatterns;               // names that count only on the family's orbit, within these limits:
    double motionLow, motionHigh;            // revolutions per day
    double inclinationLow, inclinationHigh;  // degrees
};
// The thirteen distinct group files, in the order of the globe's groups.
const std::vector<SatelliteGroup>& SatelliteGroups();
const int kGroupLimit = 34;  // the viewer refuses a group of 35

// Members of a group, best first: those marked not operational last, those in a packaged
// category list before the others, then by the name pattern they match, each rank newest launch
// (highest catalogue number) first. Unidentified objects ("OBJECT A") are never members.
// *matched counts all members before the limit.
std::vector<const ElementSet*> SelectGroup(const SatelliteGroup& group, const std::vector<ElementSet>& catalogue,
                                           const std::multimap<std::string, std::string>& categories, int* matched);
// Whether a name begins with one of the '|' separated patterns; the index of the first, or -1.
int MatchNamePattern(const std::string& name, const char* patterns);
// The three-line text of the sets, every line ending in CR LF.
std::string ThreeLineText(const std::vector<const ElementSet*>& sets);

// [SECTION] Information texts (satellite_texts.cpp)

// What the volume holds of one group, for its information text and the report.
struct GroupSummary {
    const SatelliteGroup* group;
    int count;          // satellites written
    std::string range;  // epoch range of their sets
};
// The text with its line "@EPOCHS@" replaced by a sentence per group that uses the text,
// wrapped to the viewer's width, every line ending in CR LF.
std::string FillEpochLines(const std::string& text, const char* textName, const std::vector<GroupSummary>& groups);
// Writes every information text of the group table from the templates in folder; 0 when one
// is missing or cannot be written (each is reported).
int WriteGroupTexts(BuildContext& ctx, const std::string& folder, const std::vector<GroupSummary>& groups);

// [SECTION] World outline (satellite_outline.cpp)

// The outline file's bytes: 32-bit little-endian float pairs (longitude, latitude) in degrees;
// each polyline starts with the pair (-9999, 0).
std::vector<uint8_t> EncodeWorldOutline(const std::vector<GeoLine>& lines);
// "sats\worldmap.deg" from the GSHHG low-resolution shoreline through gmt.
int WriteWorldOutline(BuildContext& ctx);
