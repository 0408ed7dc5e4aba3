// Dots for undersea features and world localities: a square of the class's dot size at each
// feature inside the window. World localities are many, so they are read cell by cell through
// their index, and Escape between cells ends the drawing.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/core.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"

static int StrictlyInWindow(double lat, double lon) {
    const MapWindow& w = CurrentMapWindow();
    lon = ShownLongitude(lon);
    return w.west < lon && lon < w.east && w.south < lat && lat < w.north;
}

static void Dot(Surface* s, const Rect& r, double lat, double lon, const NameClass& c) {
    int px, py;
    GeoToPixelIn(CurrentMapWindow(), r, lat, ShownLongitude(lon), &px, &py);
    if (c.size <= 1) SetPixel(s, px, py, c.colour);
    else FillRect(s, Rect{px, py, px + c.size, py + c.size}, c.colour);
}

int DrawOceanDots(Surface* s, const Rect& r, const NameClass& c) {
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\ocean.dat", &bytes)) return 0;
    std::vector<NameRecord> records;
    DecodeNameFile(bytes.data(), bytes.size(), &records);
    SetClipRect(s, r);
    for (const NameRecord& rec : records)
        if (StrictlyInWindow(rec.lat, rec.lon)) Dot(s, r, rec.lat, rec.lon, c);
    ClearClip(s);
    return 1;
}

FILE* OpenWorldFeatures(std::vector<WorldCell>* cells) {
    std::vector<uint8_t> index;
    if (!ReadVolumeFile("names\\world.idx", &index)) return nullptr;
    FILE* f = OpenDataFile("names\\world.dat", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "names\\world.dat");
        return nullptr;
    }
    DecodeWorldIndex(index.data(), index.size(), cells);  // a damaged index still gives its first cells
    return f;
}

int ReadWorldGroup(FILE* f, const WorldGroup& g, std::vector<uint8_t>& chunk, std::vector<WorldFeature>* out) {
    size_t most = (size_t)g.count * (4 + 4 + 1 + 255 + 2);
    chunk.resize(most);
    if (fseeko(f, (off_t)g.offset, SEEK_SET) != 0) return 0;
    size_t got = fread(chunk.data(), 1, most, f);
    out->clear();
    DecodeWorldFeatures(chunk.data(), got, 0, g.count, out);
    return 1;
}

int DrawWorldFeatureDots(Surface* s, const Rect& r, const NameClass& c) {
    std::vector<WorldCell> cells;
    FILE* f = OpenWorldFeatures(&cells);
    if (!f) return 0;
    const MapWindow& w = CurrentMapWindow();
    int west = (int)std::floor(w.west), east = (int)std::ceil(w.east) - 1;
    int south = (int)std::floor(w.south), north = (int)std::ceil(w.north) - 1;
    std::vector<uint8_t> chunk;
    std::vector<WorldFeature> features;
    SetClipRect(s, r);
    RestartEscapePolling();
    for (const WorldCell& cell : cells) {
        if (EscapePending()) break;
        int lat = CellSouth(cell.cell), lon = CellWest(cell.cell);
        int seen = 0;
        for (int shifted : {lon, lon + 360, lon - 360}) seen |= shifted >= west && shifted <= east;
        if (!seen || lat < south || lat > north) continue;
        for (const WorldGroup& g : cell.groups) {
            if (!ReadWorldGroup(f, g, chunk, &features)) continue;
            for (const WorldFeature& wf : features)
                if (StrictlyInWindow(wf.lat, wf.lon)) Dot(s, r, wf.lat, wf.lon, c);
        }
    }
    ClearClip(s);
    fclose(f);
    return 1;
}
