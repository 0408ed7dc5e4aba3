// Burns the names of the world's largest places into the globe's named shading layer: white
// capitals of a 5 x 7 font at twice its size with a dark rim, widened by 1/cos(latitude) to keep
// their shape on the sphere, placed right of a dot without overlapping one another.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "globe_build.h"
#include "platform/le_bytes.h"

namespace {

const int kGlyphWidth = 5, kGlyphHeight = 7;
// Each font pixel covers 2 x 2 cells: the globe shows the layer at up to 1.4 cells a pixel,
// and a stroke one cell wide would fall between its samples.
const int kScale = 2;
const int kMaxLabels = 400;
const double kMaxLatitude = 72.0;       // further north or south the letters would be stretched too far
const uint8_t kInk = 255, kRim = 1;     // the rim keeps land brightness above 0, which means sea

// Rows of five pixels, top row first, most significant of the five bits on the left.
struct Glyph {
    char c;
    uint8_t rows[kGlyphHeight];
};
const Glyph glyphs[] = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}}, {'C', {14, 17, 16, 16, 16, 17, 14}},
    {'D', {28, 18, 17, 17, 17, 18, 28}}, {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}}, {'I', {14, 4, 4, 4, 4, 4, 14}},
    {'J', {7, 2, 2, 2, 2, 18, 12}},      {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}}, {'O', {14, 17, 17, 17, 17, 17, 14}},
    {'P', {30, 17, 17, 30, 16, 16, 16}}, {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},       {'U', {17, 17, 17, 17, 17, 17, 14}},
    {'V', {17, 17, 17, 17, 17, 10, 4}},  {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 10, 4, 4, 4, 4}},     {'Z', {31, 1, 2, 4, 8, 16, 31}},     {'0', {14, 17, 19, 21, 25, 17, 14}},
    {'1', {4, 12, 4, 4, 4, 4, 14}},      {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},   {'6', {6, 8, 16, 30, 17, 17, 14}},
    {'7', {31, 1, 2, 4, 8, 8, 8}},       {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'-', {0, 0, 0, 31, 0, 0, 0}},       {'.', {0, 0, 0, 0, 0, 12, 12}},      {'\'', {12, 4, 8, 0, 0, 0, 0}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
};

// Windows-1252 letters 0xC0...0xFF without their accents.
const char* kAccentFree = "AAAAAAACEEEEIIIIDNOOOOOXOUUUUYPSAAAAAAACEEEEIIIIDNOOOOO-OUUUUYPY";

const Glyph* GlyphFor(uint8_t c) {
    if (c >= 0xC0) c = (uint8_t)kAccentFree[c - 0xC0];
    else if (c == 0x8A || c == 0x9A) c = 'S';
    else if (c == 0x8E || c == 0x9E) c = 'Z';
    else if (c == 0x8C || c == 0x9C) c = 'O';
    else if (c == 0x9F) c = 'Y';
    if (c >= 'a' && c <= 'z') c = (uint8_t)(c - 'a' + 'A');
    for (const Glyph& g : glyphs)
        if ((uint8_t)g.c == c) return &g;
    return nullptr;
}

struct Place {
    double lat, lon;
    std::string name;
    int rank;  // capitals first, then the other places of the largest class, in file order
};

// A label's cells: columns x0 ... x1 - 1 (may run past 2159 and wrap), rows y0 ... y1 - 1.
struct Box {
    int x0, x1, y0, y1;
};

int Overlaps(const Box& a, const Box& b) {
    if (a.y1 <= b.y0 || b.y1 <= a.y0) return 0;
    for (int shift : {-kGlobeWidth, 0, kGlobeWidth})
        if (a.x0 < b.x1 + shift && b.x0 + shift < a.x1) return 1;
    return 0;
}

std::vector<Place> ReadPlaces(const std::vector<uint8_t>& gazetteer) {
    std::vector<Place> places;
    for (size_t at = 0; at + 80 <= gazetteer.size(); at += 80) {
        const uint8_t* r = &gazetteer[at];
        ByteCursor c = MakeCursor(r, 8);
        double lat = ReadF32LE(c), lon = ReadF32LE(c);
        int placeClass = r[78], flags = r[79];
        if (!(lat >= -kMaxLatitude && lat <= kMaxLatitude && lon >= -180.0 && lon <= 180.0)) continue;
        if (placeClass != 1) continue;
        int capital = (flags & (8 | 16)) != 0;
        size_t length = strnlen((const char*)r + 16, 62);
        std::string name((const char*)r + 16, length);
        if (name.empty()) continue;
        places.push_back({lat, lon, name, capital ? 0 : 1});
    }
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.rank < b.rank; });
    return places;
}

void Put(std::vector<uint8_t>* shade, int row, int column, uint8_t value) {
    if (row < 0 || row >= kGlobeHeight) return;
    column = ((column % kGlobeWidth) + kGlobeWidth) % kGlobeWidth;
    (*shade)[(size_t)row * kGlobeWidth + column] = value;
}

// The ink of a label as cells relative to its left edge and top row; width in cells.
std::vector<std::pair<int, int>> LabelInk(const std::string& name, double stretch, int* width) {
    std::vector<std::pair<int, int>> ink;
    int pen = 0;  // in font pixels
    for (char ch : name) {
        const Glyph* g = GlyphFor((uint8_t)ch);
        if (!g) continue;
        for (int y = 0; y < kGlyphHeight; y++)
            for (int x = 0; x < kGlyphWidth; x++) {
                if (!(g->rows[y] >> (kGlyphWidth - 1 - x) & 1)) continue;
                int from = (int)std::floor((pen + x) * kScale * stretch);
                int to = (int)std::floor((pen + x + 1) * kScale * stretch);
                for (int column = from; column < std::max(to, from + 1); column++)
                    for (int k = 0; k < kScale; k++) ink.push_back({column, y * kScale + k});
            }
        pen += kGlyphWidth + 1;
    }
    *width = (int)std::ceil(std::max(0, pen - 1) * kScale * stretch);
    return ink;
}

}  // namespace

int BurnPlaceNames(const std::vector<uint8_t>& gazetteer, std::vector<uint8_t>* shade) {
    if (shade->size() != (size_t)kGlobeLayerBytes) return 0;
    std::vector<Place> places = ReadPlaces(gazetteer);
    std::vector<Box> taken;
    int drawn = 0;
    for (const Place& p : places) {
        if (drawn >= kMaxLabels) break;
        double stretch = 1.0 / std::cos(p.lat * M_PI / 180.0);
        int width = 0;
        std::vector<std::pair<int, int>> ink = LabelInk(p.name, stretch, &width);
        if (ink.empty()) continue;
        int32_t offset = GlobeLayerOffset(p.lat, p.lon);
        int row = offset / kGlobeWidth, column = offset % kGlobeWidth;
        int height = kGlyphHeight * kScale;
        int left = column + (int)std::ceil(4 * stretch), top = row + height / 2;
        Box box{column - 1, left + width + 1, top - height, top + 2};
        if (box.y0 < 0 || box.y1 > kGlobeHeight || width > kGlobeWidth / 4) continue;
        int free = 1;
        for (const Box& b : taken)
            if (Overlaps(box, b)) free = 0;
        if (!free) continue;
        taken.push_back(box);
        // The rim first, then the dot and the letters over it; rows count up towards the north.
        for (auto [x, y] : ink)
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) Put(shade, top - y + dy, left + x + dx, kRim);
        for (int dy = -1; dy <= 2; dy++)
            for (int dx = -1; dx <= 2; dx++) Put(shade, row + dy, column + dx, dy >= 0 && dy <= 1 && dx >= 0 && dx <= 1 ? kInk : kRim);
        for (auto [x, y] : ink) Put(shade, top - y, left + x, kInk);
        drawn++;
    }
    return drawn;
}
