// The extraction tests' volume and their naive reference decoder (see extraction_volume.h).
#include "extraction_volume.h"

#include <cmath>

#include "imaging/imaging.h"
#include "names/names.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"

namespace extraction_test {

namespace {

struct Tile {
    int west, north;
};
// Around the corner at 120 E 30 N, and beside the date line at 40 N.
const Tile kCoarseTiles[] = {{60, 90}, {120, 90}, {60, 30}, {120, 30}, {-180, 90}};
const Tile kFineTiles[] = {{108, 42}, {120, 42}, {108, 30}, {120, 30}, {168, 54}, {168, 42}, {-180, 54}, {-180, 42}};

// Codebook entries made by formula, so that the reference needs no copy of the files.
int HeightBook(int code, int i) { return (code * 37 + i * 11) % 101 - 50; }
int ShadeBook(int code, int i) { return (code * 13 + i * 29) % 256; }
int RedGreenBook(int code, int i) { return (code * 7 + i * 5) % 81 - 40; }
int BlueBook(int code, int i) { return (code * 3 + i * 17) % 61 - 30; }

// A level-1 value: the mean of full values 4k..4k+3, truncated toward zero.
int HalfValue(int (*book)(int, int), int code, int k) {
    return (book(code, 4 * k) + book(code, 4 * k + 1) + book(code, 4 * k + 2) + book(code, 4 * k + 3)) / 4;
}

std::vector<uint8_t> CoarseFile(int west, int north, int colour) {
    std::vector<uint8_t> bytes((size_t)kCoarseFileSize);
    uint16_t row[kCoarseSamples];
    for (int r = 0; r < kCoarseSamples; r++) {
        for (int c = 0; c < kCoarseSamples; c++)
            row[c] = colour ? CoarseColour(west, north, c, r) : (uint16_t)CoarseHeight(west, north, c, r);
        UnscrambleCoarseRow(r, row);  // scrambling is its own inverse
        for (int c = 0; c < kCoarseSamples; c++) PokeU16LE(&bytes[(size_t)r * kCoarseRowBytes + 2 * c], row[c]);
    }
    return bytes;
}

std::vector<uint8_t> IndexFile(int west, int north, int (*code)(int, int, int, int)) {
    std::vector<uint8_t> bytes;
    for (int k = 0; k < kFineBlocks; k++)
        for (int g = 0; g < kFineBlocks / 2; g++) {
            uint8_t pair[3];
            PackIndexPair(code(west, north, 2 * g, k), code(west, north, 2 * g + 1, k), pair);
            bytes.insert(bytes.end(), pair, pair + 3);
        }
    return bytes;
}

std::vector<uint8_t> ColourFile(int west, int north) {
    std::vector<uint8_t> bytes;
    for (int k = 0; k < kFineBlocks; k++)
        for (int j = 0; j < kFineBlocks; j++) {
            int codes[3];
            ColourCodes(west, north, j, k, codes);
            WriteU32LE(bytes, PackCvqRecord(codes[0], codes[1], codes[2]));
        }
    return bytes;
}

std::vector<uint8_t> BookFile(int entries, int (*book)(int, int), int bytesPerValue) {
    std::vector<uint8_t> bytes;
    for (int e = 0; e < entries; e++)
        for (int i = 0; i < 16; i++) {
            if (bytesPerValue == 1) WriteU8(bytes, (uint8_t)book(e, i));
            else WriteI16LE(bytes, (int16_t)book(e, i));
        }
    return bytes;
}

std::string FineName(const char* folder, const char* extension, int west, int north) {
    char name[96];
    snprintf(name, sizeof name, "raster/%s/%02d%c/%03d%c%02d%c.%s", folder, abs(north), north > 0 ? 'N' : 'S', abs(west),
             west >= 0 ? 'E' : 'W', abs(north), north > 0 ? 'N' : 'S', extension);
    return name;
}

std::string CoarseName(const char* folder, const char* extension, int west, int north) {
    char name[96];
    snprintf(name, sizeof name, "raster/%s/4k/4%c%03d%c%02d.%s", folder, west >= 0 ? 'E' : 'W', abs(west),
             north >= 0 ? 'N' : 'S', abs(north), extension);
    return name;
}

void BuildVolume(const std::string& root) {
    for (const Tile& t : kCoarseTiles) {
        WriteTestFile(root + "/" + CoarseName("hts", "HLE", t.west, t.north), CoarseFile(t.west, t.north, 0));
        WriteTestFile(root + "/" + CoarseName("rgb", "16e", t.west, t.north), CoarseFile(t.west, t.north, 1));
    }
    for (const Tile& t : kFineTiles) {
        // Height tiles without their shade file contribute nothing; those are left out here.
        WriteTestFile(root + "/" + FineName("hts", "hvc", t.west, t.north), IndexFile(t.west, t.north, HeightCode));
        if (HasFineHeights(t.west, t.north))
            WriteTestFile(root + "/" + FineName("shadow", "vqc", t.west, t.north), IndexFile(t.west, t.north, ShadeCode));
        if (HasFineColour(t.west, t.north)) WriteTestFile(root + "/" + FineName("rgb", "cvq", t.west, t.north), ColourFile(t.west, t.north));
    }
    // Two places inside the corner's areas, one outside them.
    std::vector<PlaceRecord> places(3);
    places[0].lat = 30.5f, places[0].lon = 120.5f, places[0].name = "Corner Town", places[0].cls = 2;
    places[1].lat = 29.0f, places[1].lon = 119.0f, places[1].name = "South West", places[1].cls = 6;
    places[2].lat = 10.0f, places[2].lon = 10.0f, places[2].name = "Far Away", places[2].cls = 1;
    WriteTestFile(root + "/names/pplace2.dat", EncodePlaceFile(places));
    WriteTestFile(root + "/raster/hts/hts_4096.cod", BookFile(4096, HeightBook, 2));
    WriteTestFile(root + "/raster/shadow/shadow.cod", BookFile(4096, ShadeBook, 1));
    WriteTestFile(root + "/raster/rgb/rg_2048.cod", BookFile(2048, RedGreenBook, 2));
    WriteTestFile(root + "/raster/rgb/b_1024.cod", BookFile(1024, BlueBook, 2));
}

// Sample of a cell along one axis by the grid formula; -1 outside the tile.
int CellSample(double s0, double s1, int i, int cells, int n) {
    double s = s0 + i * (s1 - s0) / cells;
    return s > -1.0 && s < n ? (int)s : -1;
}

// The tile west edge as stored for a west edge anywhere on three turns of longitude.
int StoredWest(int west) { return ((west + 180) % 360 + 360) % 360 - 180; }

struct Placed {
    int west, north;  // as stored
    double placedWest;
    int level;
    int c0ok;
};

template <typename F>
void ForEachCell(const MapWindow& w, int size, int extent, int samples, F visit) {
    for (int placed = -540; placed < 540; placed += extent)
        for (int north = 90; north > -90; north -= extent) {
            if (placed > w.east || placed + extent < w.west || north < w.south || north - extent > w.north) continue;
            double c0 = (w.west - placed) / extent * samples, c1 = (w.east - placed) / extent * samples;
            double r0 = (north - w.north) / extent * samples, r1 = (north - w.south) / extent * samples;
            int level = (c1 - c0) * 0.25 >= size && (r1 - r0) * 0.25 >= size;
            for (int y = 0; y < size; y++) {
                int r = CellSample(r0, r1, y, size, samples);
                if (r < 0) continue;
                for (int x = 0; x < size; x++) {
                    int c = CellSample(c0, c1, x, size, samples);
                    if (c >= 0) visit(StoredWest(placed), north, level, c, r, (size_t)y * size + x);
                }
            }
        }
}

int IsFineTile(int west, int north) {
    for (const Tile& t : kFineTiles)
        if (t.west == west && t.north == north) return 1;
    return 0;
}

int IsCoarseTile(int west, int north) {
    for (const Tile& t : kCoarseTiles)
        if (t.west == west && t.north == north) return 1;
    return 0;
}

// The value a cell takes from a code: the 4 x 4 entry at full resolution, at half resolution
// the level-1 value of the quarter of the block the sample lies in.
int BookValue(int (*book)(int, int), int code, int level, int c, int r) {
    if (!level) return book(code, (r % 4) * 4 + c % 4);
    return HalfValue(book, code, ((r % 4) / 2) * 2 + (c % 4) / 2);
}

}  // namespace

const std::string& VolumeFolder() {
    static TempFolder folder;  // removed as the program ends
    static int built = 0;
    if (!built) {
        BuildVolume(folder.path);
        built = 1;
    }
    return folder.path;
}

int16_t CoarseHeight(int west, int north, int c, int r) { return (int16_t)((c * 3 + r * 5 + west * 7 + north) % 3000 - 200); }
uint16_t CoarseColour(int west, int north, int c, int r) { return (uint16_t)(c * 31 + r * 17 + west * 1234 + north * 77); }
int HeightCode(int west, int north, int j, int k) { return (j * 7 + k * 13 + west + 3 * north + 1000) % 4096; }
int ShadeCode(int west, int north, int j, int k) { return (j * 11 + k * 3 + 2 * west + north + 1000) % 4096; }
void ColourCodes(int west, int north, int j, int k, int codes[3]) {
    codes[0] = (j * 5 + k * 9 + west + 500) % 2048;
    codes[1] = (j * 13 + k + north + 500) % 2048;
    codes[2] = (j + k * 7 + west + north + 500) % 1024;
}
// Off the coast: 108 E 30 N has no fine heights, 120 E 42 N only its height file.
int HasFineHeights(int west, int north) { return !(west == 108 && north == 30) && !(west == 120 && north == 42); }
int HasFineColour(int west, int north) { return !(west == 108 && north == 30); }

ReferenceGrids ReferenceExtraction(const MapWindow& area, int size) {
    MapWindow w = ExtractionWindow(area, size, size);
    ReferenceGrids g;
    size_t cells = (size_t)size * size;
    std::vector<int16_t> base(cells, 0);
    g.heights.assign(cells, 0);
    g.shades.assign(cells, 0);
    g.rgb.assign(cells * 3, 0);
    ForEachCell(w, size, 60, 1670, [&](int west, int north, int, int c, int r, size_t i) {
        if (!IsCoarseTile(west, north)) return;
        base[i] = CoarseHeight(west, north, c, r);
        uint16_t v = CoarseColour(west, north, c, r);
        g.rgb[3 * i] = (uint8_t)((v >> 11) * 8);
        g.rgb[3 * i + 1] = (uint8_t)(((v >> 5) & 63) * 4);
        g.rgb[3 * i + 2] = (uint8_t)((v & 31) * 8);
    });
    ForEachCell(w, size, 12, 1336, [&](int west, int north, int level, int c, int r, size_t i) {
        if (!IsFineTile(west, north)) return;
        int j = c / 4, k = r / 4;
        if (HasFineHeights(west, north)) {
            g.heights[i] = (int16_t)(base[i] + BookValue(HeightBook, HeightCode(west, north, j, k), level, c, r));
            g.shades[i] = (uint8_t)BookValue(ShadeBook, ShadeCode(west, north, j, k), level, c, r);
        }
        if (HasFineColour(west, north)) {
            int codes[3];
            ColourCodes(west, north, j, k, codes);
            int (*books[3])(int, int) = {RedGreenBook, RedGreenBook, BlueBook};
            for (int ch = 0; ch < 3; ch++) {
                int v = g.rgb[3 * i + ch] + BookValue(books[ch], codes[ch], level, c, r);
                g.rgb[3 * i + ch] = (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    });
    return g;
}

}  // namespace extraction_test
