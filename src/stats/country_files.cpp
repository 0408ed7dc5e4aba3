// The low-level rules of the country tables: country.inf read in 115-byte line pieces with
// its fields as leading integers, and single values read out of the 103 KB country.dat.
#include "stats/country_files.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/le_bytes.h"

int ReadCountryInfoLine(FILE* f, char line[kCountryInfoLineBuffer]) {
    if (!fgets(line, kCountryInfoLineBuffer, f)) {
        line[0] = 0;
        return 0;
    }
    return 1;
}

void CutLineEnd(char* line) { line[strcspn(line, "\r\n")] = 0; }

int LeadingInteger(const char* line, size_t column) {
    if (strlen(line) < column) return 0;
    const char* p = line + column;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') p++;
    int negative = 0;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        v = v * 10 + (*p - '0');
        if (v > (long long)INT_MAX + 1) v = (long long)INT_MAX + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return (int)v;
}

int ReadCountryValueAt(FILE* f, long long offset, float* value) {
    uint8_t bytes[4];
    if (offset < 0 || offset > LONG_MAX - 4) return 0;
    if (fseek(f, (long)offset, SEEK_SET) != 0 || fread(bytes, 1, 4, f) != 4) return 0;
    ByteCursor c = MakeCursor(bytes, sizeof bytes);
    *value = ReadF32LE(c);
    return !c.bad;
}
