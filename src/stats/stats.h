// The country statistics: the readers of the volume's country tables, the palettes that colour
// the region maps, the hover table and the table selection (country_data.cpp and friends), and
// the statistics screen the shell enters with mode 7.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "stats/country_tables.h"

// [SECTION] Country data

// The 261 values of the variable last read by ReadVariableRange, by record.
extern float countryValues[kCountryRecords];

// Reads variable (1..34) of every record into countryValues and widens *min..*max by every
// available value (infinities and NaNs never widen it). The records read: 261, fewer for a
// short file (the rest then read as not available), 0 for a variable outside 1..34, or 0
// after "Cannot open file table\country.dat".
int ReadVariableRange(int variable, float* min, float* max);

// The table selection: country numbers (1-based) and up to four variables (0-based indices).
struct StatSelection {
    int countries[kCountryRecords];
    int countryCount;
    int variables[4];
    int variableCount;
};
extern StatSelection statSelection;

// Sets *min and *max to 9.9e13 and -9.9e13, then widens them by the available values of the
// selection's countries for variableIndex (0-based). The selection's count, or 0 without a
// message when country.dat cannot be opened.
int ReadSelectionRange(int variableIndex, float* min, float* max);

// Stores the variable numbers among the four that lie in 1..34 (0 for none) as the selection's
// variables, resets the table's paging and fills the country list with the region's members
// (none for a region outside 0..8). The country count; 0, with the list and paging untouched,
// when no variable is given.
int SetSelectionForRegion(int region, const int variables[4]);

// The table's paging, reset by SetSelectionForRegion: page 0..19 and the country offset each
// page starts at (-1 while not yet known).
constexpr int kStatTablePages = 20;
struct StatTablePages {
    int page;
    int start[kStatTablePages];
};
extern StatTablePages statTablePages;
// Back to the first page: page 0 starts at 0, the others are not yet known.
void ResetStatTablePages();

// Value classification shared by both palette builders: the scale colour index (0..9999)
// and the height class (0..30) of v within [min, max] (max <= min counts as min + 1).
void ClassifyStatValue(float v, float min, float max, int* colourIndex, int* heightClass);
// 1 when the value stands for "not available" on screen, in ranges and colours (|v + 1| < 0.01).
inline int StatValueMissing(float v) { return (v + 1.0f) < 0.01f && (v + 1.0f) > -0.01f; }
// The stricter test of the clipboard's text (|v + 1| < 0.001): a bare tab instead of a number.
inline int StatValueMissingInClipboard(float v) { return (v + 1.0f) < 0.001f && (v + 1.0f) > -0.001f; }

// "<dataRoot>\scales\choro%02d.sca", the colour scale of variable (1..34).
std::string ChoroplethScalePath(int variable);

// Palette of a region image: entry 0 black, 1..253 from the values, 254 and 255 light; heights
// -1 where no country. Driven by country.inf over values (by record) from ReadVariableRange;
// valuesOut (by palette index) may be null. 1, or 0 after "Cannot open file %s".
int BuildChoroplethPalette(const char* scaleFile, const float values[kCountryRecords], float min, float max,
                           ColourRef palette[256], int heights[256], float valuesOut[256]);
// The same palette driven by values by palette index, for the indices whose visible flag is set
// (every index when visible is null); a value whose whole part is -1 counts as missing here.
int RecolourPalette(const char* scaleFile, const float valuesByIndex[256], float min, float max, ColourRef palette[256],
                    int heights[256], const uint8_t visible[256]);

// The hover table: per palette index the record number, the current variable's value and the
// display name from country.inf.
struct StatHoverEntry {
    int32_t record;
    float value;
    char name[80];
};
// Rebuilds the table for variable (1..34) from country.inf and country.dat. 1; 0 after
// "Cannot open file %s" ("country.inf", "country.dat"), the table then released. The first
// palette index out of range ends the reading of country.inf with its message.
int BuildHoverTable(int variable);
// The entry of a palette index (1..253), or null when the table is not built. An entry with an
// empty name has no country.
const StatHoverEntry* HoverEntry(int paletteIndex);
void ReleaseHoverTable();

// The long name of variable (1..34) from vars.inf, tabs and "_" as spaces; "Mundora" when the
// variable or the file is missing.
std::string ReadVariableName(int variable);

// [SECTION] The statistics screen

// Runs the screen until a navigation button or Escape; returns the next screen's code (0 after
// Escape).
int RunStatisticsScreen();
