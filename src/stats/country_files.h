// Shared by the country data readers of this folder only: the line and field rules of
// "country.inf" and the value reader of "country.dat".
#pragma once

#include <cstddef>
#include <cstdio>

// Lines are read with a 115-byte buffer: a longer line arrives in pieces of 114 characters.
constexpr int kCountryInfoLineBuffer = 115;

// The volume's names of the three tables; messages name them without the folder.
constexpr const char* kCountryDataFile = "table\\country.dat";
constexpr const char* kCountryInfoFile = "table\\country.inf";
constexpr const char* kVariableNamesFile = "table\\vars.inf";

// The next line (or piece of one) of f, NUL-terminated; 0 at the end of the file.
int ReadCountryInfoLine(FILE* f, char line[kCountryInfoLineBuffer]);
// Cuts the line at its first CR or LF.
void CutLineEnd(char* line);
// The decimal integer that leads the text from column on (blanks, a sign, digits), 0 when
// none does or the line is shorter; values beyond the int range saturate.
int LeadingInteger(const char* line, size_t column);
// The value at byte offset of country.dat, read as a little-endian single; 0 when the file
// does not hold four bytes there.
int ReadCountryValueAt(FILE* f, long long offset, float* value);
