// The theme file "theme1.dat": the smallest zoom scale, the scale ranges of the raster
// backdrop, the vector layer table and the country numbers. Four readers scan the file
// independently from its beginning; lines they do not know are ignored. Lines are read at
// most 114 characters at a time, so a longer line reads as several.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "map2d/map2d.h"
#include "platform/files.h"

VectorLayer vectorLayers[kMaxVectorLayers];
int vectorLayerCount;
CountryId countryIds[kMaxCountryIds];
int countryIdCount;
ColourRef cityColourPrimary, cityColourSecondary;

constexpr int kThemeLine = 115;  // 114 characters and the terminator

// Reads the theme file in the data root, else relative to the current directory. With
// `complain`, a file found in neither place shows "Cannot open file" with the full path.
static int ReadThemeFile(int complain, std::vector<uint8_t>* text) {
    std::string path = DataRootPath("theme1.dat");
    const size_t limit = 16 << 20;
    if (ReadWholeFile(path.c_str(), text, limit) || ReadWholeFile("theme1.dat", text, limit)) return 1;
    if (complain) ShowMessage("Cannot open file %s", path.c_str());
    return 0;
}

// Lines as a fixed buffer reads them: up to and including the line end, at most 114
// characters at a time.
struct ThemeLines {
    const char* p;
    const char* end;
};

static int NextLine(ThemeLines& lines, char out[kThemeLine]) {
    if (lines.p >= lines.end) return 0;
    int n = 0;
    while (lines.p < lines.end && n < kThemeLine - 1) {
        char c = *lines.p++;
        out[n++] = c;
        if (c == '\n') break;
    }
    out[n] = 0;
    return 1;
}

int32_t ThemeFieldAt(const char* line, int column) {
    int length = (int)strlen(line);
    if (column < 0 || column >= length) return 0;
    const char* p = line + column;
    while (*p == ' ' || *p == '\t') p++;
    int negative = 0;
    if (*p == '-') {
        negative = 1;
        p++;
    }
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < 100000000000LL) value = value * 10 + (*p - '0');
        p++;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return (int32_t)value;
}

int ParseMaxZoomScale(const char* text, size_t size, int32_t* out) {
    ThemeLines lines{text, text + size};
    char line[kThemeLine];
    while (NextLine(lines, line)) {
        if (strlen(line) < 5 || strncmp(line, "[MaxZoomScale=", 14) != 0) continue;
        *out = ThemeFieldAt(line, 14);
        return 1;
    }
    return 0;
}

int ReadMaxZoomScale(int32_t* out) {
    std::vector<uint8_t> text;
    return ReadThemeFile(1, &text) && ParseMaxZoomScale((const char*)text.data(), text.size(), out);
}

int ParseRasterEntry(const char* text, size_t size, int32_t scale, RasterEntry* out) {
    ThemeLines lines{text, text + size};
    char line[kThemeLine];
    while (NextLine(lines, line)) {
        if (strlen(line) < 5 || strncmp(line, "[Raster2D=", 10) != 0) continue;
        int32_t a = ThemeFieldAt(line, 15), b = ThemeFieldAt(line, 25);
        int32_t lower = a < b ? a : b, upper = a < b ? b : a;
        if (lower <= scale && scale < upper) {
            out->smoothing = ThemeFieldAt(line, 12);
            out->lower = lower;
            out->upper = upper;
            return 1;
        }
    }
    return 0;
}

int ChooseRasterEntry(int32_t scale, RasterEntry* out) {
    std::vector<uint8_t> text;
    return ReadThemeFile(1, &text) && ParseRasterEntry((const char*)text.data(), text.size(), scale, out);
}

// The text after the first `open` up to the next `close` (or the end of the line, without
// its line-end characters), cut to `capacity` - 1 characters.
static void DelimitedField(const char* line, char open, char close, char* out, int capacity) {
    out[0] = 0;
    const char* start = strchr(line + 2, open);
    if (!start) return;
    start++;
    const char* end = strchr(start, close);
    if (!end) end = start + strcspn(start, "\r\n");
    int n = (int)(end - start);
    if (n > capacity - 1) n = capacity - 1;
    memcpy(out, start, n);
    out[n] = 0;
}

// The 53-character style block: colours, line style, widths, scale bounds and rule. Any
// other length or a comma out of place leaves every style field zero.
static void ParseStyleBlock(const char* line, VectorLayer* layer) {
    const char* start = strchr(line + 2, '{');
    if (!start) return;
    start++;
    const char* end = strchr(start, '}');
    if (!end || end - start != 53) return;
    static const int commas[] = {3, 7, 11, 15, 19, 23, 25, 28, 31, 41, 51};
    for (int c : commas)
        if (start[c] != ',') return;
    char block[54];
    memcpy(block, start, 53);
    block[53] = 0;
    auto field = [&](int column) { return ThemeFieldAt(block, column); };
    layer->red1 = (uint8_t)field(0);
    layer->green1 = (uint8_t)field(4);
    layer->blue1 = (uint8_t)field(8);
    layer->red2 = (uint8_t)field(12);
    layer->green2 = (uint8_t)field(16);
    layer->blue2 = (uint8_t)field(20);
    layer->lineStyle = (uint8_t)field(24);
    layer->width1 = (uint8_t)field(26);
    layer->width2 = (uint8_t)field(29);
    layer->scaleA = field(32);
    layer->scaleB = field(42);
    layer->scaleRule = (uint8_t)field(52);
}

int ParseVectorLayerTable(const char* text, size_t size) {
    memset(vectorLayers, 0, sizeof vectorLayers);
    vectorLayerCount = 0;
    ThemeLines lines{text, text + size};
    char line[kThemeLine];
    int inSection = 0;
    while (vectorLayerCount < kMaxVectorLayers && NextLine(lines, line)) {
        if (!inSection) {
            inSection = strncmp(line, "[Vector 2D Layers]", 18) == 0;
            continue;
        }
        if (line[0] == '[') break;
        if ((line[0] != '0' && line[0] != '1') || line[1] != ',') continue;
        VectorLayer* layer = &vectorLayers[vectorLayerCount++];
        layer->on = (uint8_t)(line[0] - '0');
        DelimitedField(line, '<', '>', layer->name, sizeof layer->name);
        DelimitedField(line, '"', '"', layer->description, sizeof layer->description);
        ParseStyleBlock(line, layer);
        if (strcmp(layer->name, "CITIES") == 0) {
            cityColourPrimary = MakeColour(layer->red1, layer->green1, layer->blue1);
            cityColourSecondary = MakeColour(layer->red2, layer->green2, layer->blue2);
        }
    }
    return vectorLayerCount;
}

int LoadVectorLayerTable() {
    std::vector<uint8_t> text;
    if (!ReadThemeFile(0, &text)) {
        memset(vectorLayers, 0, sizeof vectorLayers);
        vectorLayerCount = 0;
        return 0;
    }
    return ParseVectorLayerTable((const char*)text.data(), text.size());
}

int ParseCountryIds(const char* text, size_t size) {
    memset(countryIds, 0, sizeof countryIds);
    countryIdCount = 0;
    ThemeLines lines{text, text + size};
    char line[kThemeLine];
    int inSection = 0;
    while (countryIdCount < kMaxCountryIds && NextLine(lines, line)) {
        if (!inSection) {
            inSection = strncmp(line, "[Names Country IDs]", 19) == 0;
            continue;
        }
        if (line[0] == '[') break;
        if (strlen(line) < 5) continue;
        const char* quote = strchr(line, '"');
        if (!quote) continue;
        CountryId* row = &countryIds[countryIdCount++];
        row->number = (int16_t)ThemeFieldAt(line, 0);
        int n = (int)strcspn(quote + 1, "\",\r\n");
        if (n > 61) n = 61;
        memcpy(row->name, quote + 1, n);
        row->name[n] = 0;
    }
    return countryIdCount;
}

int LoadCountryIds() {
    std::vector<uint8_t> text;
    if (!ReadThemeFile(1, &text)) {
        memset(countryIds, 0, sizeof countryIds);
        countryIdCount = 0;
        return 0;
    }
    return ParseCountryIds((const char*)text.data(), text.size());
}

int LayerDrawnAtScale(const VectorLayer& layer, int32_t scale) {
    switch (layer.scaleRule) {
    case 0: return 1;
    case 1: return scale < layer.scaleA;
    case 2: return scale > layer.scaleB;
    case 3: return layer.scaleA < scale && scale < layer.scaleB;
    default: return 0;
    }
}
