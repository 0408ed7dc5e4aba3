// The hover table of the flat statistics map: for each palette index of the region images the
// country's record, its value of the current variable and its display name, so that the
// pointer's readout needs no file access. 256 entries of 88 bytes, kept while the screen runs.
#include <cstdio>
#include <cstring>
#include <new>

#include "core/core.h"
#include "platform/platform.h"
#include "stats/country_files.h"
#include "stats/stats.h"

static_assert(sizeof(StatHoverEntry) == 88, "a hover entry is 88 bytes");

static struct {
    StatHoverEntry* entries = nullptr;  // 256, or null until first built and after a release
} hover;

const StatHoverEntry* HoverEntry(int paletteIndex) {
    if (!hover.entries || paletteIndex < kFirstCountryIndex || paletteIndex > kLastCountryIndex) return nullptr;
    return &hover.entries[paletteIndex];
}

void ReleaseHoverTable() {
    delete[] hover.entries;
    hover.entries = nullptr;
}

// Reads the entries from country.inf, stopping at the first line whose palette index is out
// of range (the lines before it stay).
static void ReadHoverEntries(FILE* info) {
    char line[kCountryInfoLineBuffer];
    while (ReadCountryInfoLine(info, line)) {
        CutLineEnd(line);
        if (strlen(line) < 10 || line[0] != '1') continue;
        int p = LeadingInteger(line, 6);
        if (p < kFirstCountryIndex || p > kLastCountryIndex) {
            ShowMessage("palette index out of range");
            return;
        }
        StatHoverEntry* e = &hover.entries[p];
        e->record = LeadingInteger(line, 2);
        snprintf(e->name, sizeof e->name, "%.*s", (int)kCountryDisplayName, line + 10);
        e->value = kStatNotAvailable;
    }
}

int BuildHoverTable(int variable) {
    if (!hover.entries) {
        hover.entries = new (std::nothrow) StatHoverEntry[256];
        if (!hover.entries) return 0;
    }
    for (int i = 0; i < 256; i++) hover.entries[i] = StatHoverEntry{0, kStatNotAvailable, {}};
    FILE* info = OpenDataFile(kCountryInfoFile, "rb");
    if (!info) {
        ShowMessage("Cannot open file %s", "country.inf");
        ReleaseHoverTable();
        return 0;
    }
    ReadHoverEntries(info);
    fclose(info);
    FILE* data = OpenDataFile(kCountryDataFile, "rb");
    if (!data) {
        ShowMessage("Cannot open file %s", "country.dat");
        ReleaseHoverTable();
        return 0;
    }
    for (int i = 0; i < 256; i++) {
        StatHoverEntry* e = &hover.entries[i];
        // A record or variable outside the table keeps the value "not available".
        if (!e->name[0] || e->record < 0 || e->record >= kCountryRecords) continue;
        if (variable < 1 || variable > kCountryVariables) continue;
        float v;
        if (ReadCountryValueAt(data, (long long)CountryValueOffset(e->record, variable), &v)) e->value = v;
    }
    fclose(data);
    return 1;
}
