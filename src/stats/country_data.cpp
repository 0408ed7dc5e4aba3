// The country values of "table\country.dat" (261 records of 396 bytes) read a variable at a
// time for the maps and the table, the table's selection of countries and variables, and
// its paging.
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "platform/platform.h"
#include "stats/country_files.h"
#include "stats/stats.h"

float countryValues[kCountryRecords];
StatSelection statSelection;
StatTablePages statTablePages;

// Infinities and NaNs are no figures: they would make the whole range meaningless.
static void WidenRange(float v, float* min, float* max) {
    if (StatValueMissing(v) || !std::isfinite(v)) return;
    if (v < *min) *min = v;
    if (v > *max) *max = v;
}

int ReadVariableRange(int variable, float* min, float* max) {
    for (float& v : countryValues) v = kStatNotAvailable;
    FILE* f = OpenDataFile(kCountryDataFile, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", kCountryDataFile);
        return 0;
    }
    int read = 0;
    if (variable >= 1 && variable <= kCountryVariables) {
        for (int r = 0; r < kCountryRecords; r++) {
            if (!ReadCountryValueAt(f, (long long)CountryValueOffset(r, variable), &countryValues[r])) break;
            WidenRange(countryValues[r], min, max);
            read++;
        }
    }
    fclose(f);
    return read;
}

int ReadSelectionRange(int variableIndex, float* min, float* max) {
    *min = 9.9e13f;
    *max = -9.9e13f;
    FILE* f = OpenDataFile(kCountryDataFile, "rb");
    if (!f) return 0;
    if (variableIndex >= 0 && variableIndex < kCountryVariables) {
        for (int i = 0; i < statSelection.countryCount && i < kCountryRecords; i++) {
            int n = statSelection.countries[i];
            float v;
            if (n < 1 || n > kCountryRecords) continue;
            if (ReadCountryValueAt(f, (long long)CountryValueOffset(n - 1, variableIndex + 1), &v)) WidenRange(v, min, max);
        }
    }
    fclose(f);
    return statSelection.countryCount;
}

void ResetStatTablePages() {
    statTablePages.page = 0;
    statTablePages.start[0] = 0;
    for (int i = 1; i < kStatTablePages; i++) statTablePages.start[i] = -1;
}

int SetSelectionForRegion(int region, const int variables[4]) {
    int count = 0;
    for (int i = 0; i < 4; i++) {
        // A number outside the table would read into the record's name: it counts as none.
        if (variables[i] >= 1 && variables[i] <= kCountryVariables) statSelection.variables[count++] = variables[i] - 1;
    }
    statSelection.variableCount = count;
    if (count == 0) return 0;
    ResetStatTablePages();
    statSelection.countryCount = 0;
    if (const StatRegion* info = StatRegionInfo(region)) {
        for (int i = 0; i < info->count && i < kCountryRecords; i++) statSelection.countries[i] = info->members[i];
        statSelection.countryCount = info->count < kCountryRecords ? info->count : kCountryRecords;
    }
    return statSelection.countryCount;
}
