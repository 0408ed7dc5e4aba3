// The satellite imagery of the globe: an 8-bit BMP of the world layer's size whose colour
// table becomes the palette and whose pixel rows, bottom row first, become globeLayerA.
// The headers go through the program's BMP parser; the rules here are the globe's own.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/globe_renderer.h"
#include "imaging/imaging.h"
#include "platform/files.h"

// Enough for the 14-byte file header, a 40-byte info header and 256 four-byte colours.
constexpr size_t kImageryHeadBytes = 2048;

struct ImageryTable {
    int entries;
    ColourRef colours[256];
};

// The colour count: all 256 three-byte entries after a core header, (pixel offset - 54) / 4
// four-byte entries after a 40-byte one. 0 when the count is out of 1..256 or the table is
// not all in `head`.
static int ReadImageryTable(const uint8_t* head, size_t headSize, const BmpLayout& l, ImageryTable* out) {
    long long count = l.headerSize == 12 ? 256 : ((long long)l.pixelOffset - 54) / 4;
    if (count < 1 || count > 256) return 0;
    size_t end = l.tableOffset + (size_t)count * l.tableEntryBytes;
    if (end > headSize) return 0;
    out->entries = (int)count;
    for (int i = 0; i < 256; i++) {
        const uint8_t* e = head + l.tableOffset + (size_t)i * l.tableEntryBytes;
        out->colours[i] = i < count ? MakeColour(e[2], e[1], e[0]) : MakeColour(0, 0, 0);
    }
    return 1;
}

// Checks the headers against the globe's rules; shows the failure and returns 0.
static int CheckImageryHeaders(const char* name, const uint8_t* head, size_t headSize, BmpLayout* l, ImageryTable* table) {
    std::string reason;
    int parsed = headSize >= 14 && ParseBmpHeaders(head, head + 14, headSize - 14, l, &reason);
    if (!parsed || (l->headerSize != 12 && l->headerSize != 40) || l->bitCount != 8) {
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    if (!ReadImageryTable(head, headSize, *l, table)) {
        ShowMessage("Cant read color table");
        return 0;
    }
    if (l->width % 4 != 0) {
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    return 1;
}

int LoadGlobeImagery(const char* name, int loadFlag) {
    GlobeBuffers& b = globeBuffers;
    FILE* f = OpenDataFile(name, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    uint8_t head[kImageryHeadBytes];
    size_t headSize = fread(head, 1, sizeof head, f);
    BmpLayout l;
    ImageryTable table;
    if (!CheckImageryHeaders(name, head, headSize, &l, &table)) {
        fclose(f);
        return 0;
    }
    std::copy(table.colours, table.colours + 256, b.paletteBuf);
    b.paletteEntries = table.entries;
    SyncGlobeInfoHeader();
    if (loadFlag) {
        // Rows are taken in file order; a file cut short leaves the count short and the
        // frame draws only what arrived.
        int read = fseek(f, (long)l.pixelOffset, SEEK_SET) == 0 ? (int)fread(GlobeLayerA(), 1, kGlobeLayerBytes, f) : 0;
        b.layerBytes = read;
        b.layerWidth = l.width;
    }
    fclose(f);
    return 1;
}
