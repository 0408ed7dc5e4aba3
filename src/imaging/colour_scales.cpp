// Colour scales: scale files read colour by colour, the rules that turn values, palette
// entries and bar rows into scale indices, palettes built from a scale, and the list of
// elevation scales "scales.dat" with the current choice.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "core/core.h"
#include "imaging/colour_scales_internal.h"
#include "imaging/imaging.h"
#include "platform/files.h"

ElevationRange fixedElevation = {-392, 8848};
ElevationRange observedElevation = {-392, 8848};
int fixedElevationRange;

static struct {
    ScaleListEntries list;
    int current;
    std::string preview;  // the chooser's swatch under consideration, or ""
} scales;

// [SECTION] Scale files

int OpenScaleFile(const char* path, ScaleFile* out) {
    out->file = OpenFile(path, "rb");
    if (out->file) return 1;
    // The same name on the volume: drop the data root prefix.
    size_t rootLength = strlen(dataRoot);
    if (strncmp(path, dataRoot, rootLength) == 0 && path[rootLength] == '\\') {
        out->file = OpenFile(path + rootLength + 1, "rb");
    }
    return out->file ? 1 : 0;
}

void CloseScaleFile(ScaleFile* scale) {
    if (scale->file) fclose(scale->file);
    scale->file = nullptr;
}

int ScaleColour(ScaleFile* scale, int k, ColourRef* out) {
    if (!scale->file) return 0;
    k = std::clamp(k, 0, kScaleColours - 1);
    uint8_t rgb[3];
    if (fseek(scale->file, 8 + 3L * k, SEEK_SET) != 0 || fread(rgb, 1, 3, scale->file) != 3) return 0;
    *out = MakeColour(rgb[0], rgb[1], rgb[2]);
    return 1;
}

// [SECTION] Index rules

static int ClampIndex(double scaled, int floor) {
    int k;
    if (!(scaled > 0)) k = 0;  // negative, zero or not a number
    else if (scaled >= kScaleColours) k = kScaleColours - 1;
    else k = (int)scaled;
    if (floor && k < kElevationFloor) k = kElevationFloor;
    return k;
}

int ScaleIndexForValue(double v, double lo, double hi, int floor) {
    if (hi == lo) return ClampIndex(v > lo ? kScaleColours : 0, floor);
    return ClampIndex((v - lo) / (hi - lo) * kScaleColours, floor);
}

// Entries and rows are whole numbers, so their fractions are computed exactly.
static int ExactIndex(int64_t numerator, int64_t denominator, int floor) {
    if (denominator <= 0 || numerator <= 0) return ClampIndex(0, floor);
    return ClampIndex((double)(numerator * kScaleColours / denominator), floor);
}

int ScaleIndexForEntry(int i, int n, int floor) { return ExactIndex(i, n, floor); }

int ScaleIndexForRow(int row, int height, int fromTop, int floor) {
    return ExactIndex(fromTop ? (int64_t)height - row : row, height, floor);
}

int PaletteFromScale(const char* path, int n, int floor, ColourRef* palette) {
    ScaleFile scale;
    if (!OpenScaleFile(path, &scale)) {
        ShowMessage("Cannot open file %s", path);
        return 0;
    }
    std::vector<ColourRef> built((size_t)std::max(n, 0));
    for (int i = 0; i < n; i++) {
        if (!ScaleColour(&scale, ScaleIndexForEntry(i, n, floor), &built[(size_t)i])) {
            CloseScaleFile(&scale);
            ShowMessage("Cannot open file %s", path);
            return 0;
        }
    }
    CloseScaleFile(&scale);
    std::copy(built.begin(), built.end(), palette);
    return 1;
}

// [SECTION] The list of elevation scales

// Lines are read in pieces of at most 115 characters, as a fixed line buffer would take them.
constexpr size_t kLineLimit = 115;

static void TakeScaleLine(const char* line, size_t length, int nameLimit, ScaleListEntries* out) {
    if (length == 0 || (line[0] != '0' && line[0] != '1')) return;
    const char* open = (const char*)memchr(line, '<', length);
    if (!open) return;
    const char* start = open + 1;
    const char* end = line + length;
    const char* close = (const char*)memchr(start, '>', (size_t)(end - start));
    if (close) end = close;
    while (end > start && (end[-1] == '\n' || end[-1] == '\r')) end--;
    size_t n = std::min((size_t)(end - start), (size_t)nameLimit);
    if (n == 0) return;
    char* name = out->names[out->count];
    memcpy(name, start, n);
    name[n] = 0;
    if (line[0] == '1') out->defaultIndex = out->count;
    out->count++;
}

void ParseScaleList(const char* text, size_t size, int maxEntries, int nameLimit, ScaleListEntries* out) {
    *out = ScaleListEntries();
    maxEntries = std::clamp(maxEntries, 0, kMaxScaleEntries);
    nameLimit = std::clamp(nameLimit, 0, 19);
    size_t at = 0;
    while (at < size && out->count < maxEntries) {
        size_t piece = 0;
        while (at + piece < size && piece < kLineLimit) {
            if (text[at + piece++] == '\n') break;
        }
        // A zero byte ends the text of a line as it would in a C string.
        const char* zero = (const char*)memchr(text + at, 0, piece);
        size_t length = zero ? (size_t)(zero - (text + at)) : piece;
        TakeScaleLine(text + at, length, nameLimit, out);
        at += piece;
    }
}

static int ReadScaleText(std::string* text) {
    FILE* f = OpenDataFile("scales.dat", "rb");
    if (!f) return 0;
    char buffer[4096];
    size_t got;
    // The list holds 25 short lines; a huge file is read only as far as that could need.
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0 && text->size() < (1u << 20)) text->append(buffer, got);
    fclose(f);
    return 1;
}

int ReadScaleList() {
    scales.list = ScaleListEntries();
    scales.current = 0;
    std::string text;
    if (!ReadScaleText(&text)) return 0;
    ParseScaleList(text.data(), text.size(), kMaxScaleEntries, 12, &scales.list);
    if (scales.list.defaultIndex >= 0) scales.current = scales.list.defaultIndex;
    return scales.list.count;
}

int ScaleListCount() { return scales.list.count; }

int ElevationScaleIndex() { return scales.current; }

void SetElevationScaleIndex(int index) {
    if (index >= 0 && index < scales.list.count) scales.current = index;
}

int CurrentElevationScalePath(char* path, size_t size) {
    if (scales.list.count == 0) return 0;
    snprintf(path, size, "%s\\scales\\%s", dataRoot, scales.list.names[scales.current]);
    return 1;
}

void PreviewElevationScale(const char* name) { scales.preview = name ? name : ""; }

std::string ElevationScalePath() {
    char path[512];
    if (!scales.preview.empty()) {
        snprintf(path, sizeof path, "%s\\scales\\%s", dataRoot, scales.preview.c_str());
        return path;
    }
    snprintf(path, sizeof path, "%s\\scales\\ian1.sca", dataRoot);
    CurrentElevationScalePath(path, sizeof path);
    return path;
}

int ReadChooserList(char names[kChooserScales][20]) {
    for (int i = 0; i < kChooserScales; i++) snprintf(names[i], 20, "ian1.sca");
    std::string text;
    if (!ReadScaleText(&text)) return 0;
    ScaleListEntries list;
    ParseScaleList(text.data(), text.size(), kChooserScales, 19, &list);
    for (int i = 0; i < list.count; i++) memcpy(names[i], list.names[i], 20);
    return list.count;
}
