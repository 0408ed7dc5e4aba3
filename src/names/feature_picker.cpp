// The naming command of the map: the user clicks features and their names are pinned on the
// map as tags (clicking a pinned one again takes it off). Places, rivers, undersea features
// and world localities answer when their layer or group is shown; a click on a country ends
// the command with that country, whose statistics page the shell then shows.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/core.h"
#include "map2d/vector_layers.h"
#include "map2d/zoom_commands.h"
#include "names/labels.h"
#include "names/names.h"
#include "platform/le_bytes.h"

std::vector<NameTag> tags;

static float PeekF32LE(const uint8_t* b) {
    uint32_t u = PeekU32LE(b);
    float f;
    memcpy(&f, &u, sizeof f);
    return f;
}

PickSources PickableSources(const NamesSettings& ns, long scale) {
    PickSources p{};
    p.places = citiesDrawn;
    p.rivers = riversDrawn;
    p.ocean = labelSwitches[3] && ns.classes[16].maxScale > scale;
    p.world = labelSwitches[5] && ns.classes[17].maxScale > scale;
    p.countries = labelSwitches[4] != 0;
    p.scale = scale;
    for (int c = 0; c < 6; c++) p.placeMaxScale[c] = ns.classes[10 + c].maxScale;
    return p;
}

// [SECTION] Nearest features

struct Nearest {
    double best = 5.0;  // pixels: only features closer than this count
    int found = 0;
};

static void Consider(Nearest& n, const Rect& r, int px, int py, double lat, double lon, int kind,
                     const std::string& name, NameTag* out) {
    if (!InCurrentWindow(lat, lon)) return;
    int x, y;
    GeoToPixelIn(CurrentMapWindow(), r, lat, ShownLongitude(lon), &x, &y);
    double d = std::hypot((double)(x - px), (double)(y - py));
    if (d >= n.best) return;
    n.best = d;
    n.found = 1;
    *out = NameTag{x, y, kind, name.substr(0, 67)};
}

// The nearest place among those the map shows at its scale.
static int NearestPlace(const PickSources& src, const Rect& r, int px, int py, NameTag* out) {
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\pplace2.dat", &bytes)) return 0;
    std::vector<PlaceRecord> places;
    DecodePlaceFile(bytes.data(), bytes.size(), &places);
    Nearest n;
    for (const PlaceRecord& p : places)
        if (p.cls >= 1 && p.cls <= 6 && src.placeMaxScale[p.cls - 1] >= src.scale)
            Consider(n, r, px, py, p.lat, p.lon, 1, p.name, out);
    return n.found;
}

static int NearestOceanFeature(const Rect& r, int px, int py, NameTag* out) {
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\ocean.dat", &bytes)) return 0;
    std::vector<NameRecord> records;
    DecodeNameFile(bytes.data(), bytes.size(), &records);
    Nearest n;
    for (const NameRecord& rec : records) Consider(n, r, px, py, rec.lat, rec.lon, 3, rec.name, out);
    return n.found;
}

// World localities near the click: the cells within a few pixels of it.
static int NearestWorldFeature(const Rect& r, int px, int py, NameTag* out) {
    std::vector<WorldCell> cells;
    FILE* f = OpenWorldFeatures(&cells);
    if (!f) return 0;
    double lat1, lon1, lat2, lon2;
    PixelToGeoIn(CurrentMapWindow(), r, px - 5, py + 5, &lat1, &lon1);
    PixelToGeoIn(CurrentMapWindow(), r, px + 5, py - 5, &lat2, &lon2);
    Nearest n;
    std::vector<uint8_t> chunk;
    std::vector<WorldFeature> features;
    for (const WorldCell& cell : cells) {
        int lat = CellSouth(cell.cell), lon = CellWest(cell.cell);
        if (lat + 1 < lat1 || lat > lat2 || lon + 1 < std::min(lon1, lon2) || lon > std::max(lon1, lon2)) continue;
        for (const WorldGroup& g : cell.groups) {
            if (!ReadWorldGroup(f, g, chunk, &features)) continue;
            for (const WorldFeature& wf : features) Consider(n, r, px, py, wf.lat, wf.lon, 4, wf.name, out);
        }
    }
    fclose(f);
    return n.found;
}

// [SECTION] Rivers

// The river's name from line `number` (1-based) of rivers.txt: the text after the first comma.
static int RiverName(int number, std::string* name) {
    FILE* f = OpenDataFile("names\\rivers.txt", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "rivers.txt");
        return 0;
    }
    char line[116];
    int ok = 0;
    for (int i = 1; fgets(line, sizeof line, f); i++) {
        if (i != number) continue;
        const char* start = strchr(line, ',');
        start = start ? start + 1 : line;
        size_t n = strcspn(start, "\n\r?");
        name->assign(start, n);
        ok = 1;
        break;
    }
    fclose(f);
    return ok;
}

// The band around a segment: the segment's end points moved a degree to either side.
static int NearSegment(double x1, double y1, double x2, double y2, double x, double y) {
    const double t = 1.0;
    if (x < std::min(x1, x2) - t || x > std::max(x1, x2) + t || y < std::min(y1, y2) - t || y > std::max(y1, y2) + t)
        return 0;
    double dx = x2 - x1, dy = y2 - y1, len = std::hypot(dx, dy);
    if (len == 0) return 1;
    double nx = -dy / len * t, ny = dx / len * t, ex = dx / len * t, ey = dy / len * t;
    float band[8] = {(float)(x1 - ex + nx), (float)(y1 - ey + ny), (float)(x2 + ex + nx), (float)(y2 + ey + ny),
                     (float)(x2 + ex - nx), (float)(y2 + ey - ny), (float)(x1 - ex - nx), (float)(y1 - ey - ny)};
    return PointInPolygon(band, 4, x, y);
}

int PickRiver(const Rect& r, double lat, double lon, NameTag* out) {
    std::vector<uint8_t> index;
    FILE* idx = OpenDataFile("names\\rivers.idx", "rb");
    if (!idx) {
        ShowMessage("Cannot open file %s", "rivers.idx");
        return 0;
    }
    fclose(idx);
    ReadVolumeFile("names\\rivers.idx", &index);
    FILE* f = OpenDataFile("names\\rivers.dat", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "rivers.dat");
        return 0;
    }
    std::vector<RiverIndexEntry> entries;
    DecodeRiverIndex(index.data(), index.size(), &entries);
    std::vector<uint8_t> points;
    int found = 0, line = 0;
    double ax = 0, ay = 0;
    for (const RiverIndexEntry& e : entries) {
        if (!(e.west <= lon && lon <= e.east && e.south <= lat && lat <= e.north)) continue;
        uint8_t head[4];
        if (e.offset < 0 || fseeko(f, (off_t)e.offset, SEEK_SET) != 0 || fread(head, 1, 4, f) != 4) continue;
        int number = PeekU16LE(head) - 1000, n = PeekU16LE(head + 2);
        points.resize((size_t)n * 8);
        if (fread(points.data(), 8, (size_t)n, f) != (size_t)n) continue;
        for (int i = 0; i + 1 < n && !found; i++) {
            double x1 = PeekF32LE(&points[i * 8]), y1 = PeekF32LE(&points[i * 8 + 4]);
            double x2 = PeekF32LE(&points[i * 8 + 8]), y2 = PeekF32LE(&points[i * 8 + 12]);
            if (NearSegment(x1, y1, x2, y2, lon, lat)) found = 1, line = number, ax = x1, ay = y1;
        }
        if (found) break;
    }
    fclose(f);
    if (!found) return 0;
    std::string name;
    if (!RiverName(line, &name)) return 0;
    int x, y;
    GeoToPixelIn(CurrentMapWindow(), r, ay, ax, &x, &y);
    *out = NameTag{x, y, 2, name.substr(0, 67)};
    return 1;
}

// [SECTION] Countries

int PickCountry(double lat, double lon, int* countryNumber) {
    std::vector<uint8_t> index;
    if (!ReadVolumeFile("stats\\cpoly.idx", &index)) return 0;
    FILE* f = OpenDataFile("stats\\cpoly.dat", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "stats\\cpoly.dat");
        return 0;
    }
    const int kMaxCountryPolyPts = 8200;
    std::vector<uint8_t> raw;
    std::vector<float> xy;
    int found = 0;
    for (size_t at = 0; at + 24 <= index.size() && !found; at += 24) {
        const uint8_t* e = &index[at];
        float x1 = PeekF32LE(e), y1 = PeekF32LE(e + 4), x2 = PeekF32LE(e + 8), y2 = PeekF32LE(e + 12);
        int n = PeekI16LE(e + 16), number = PeekI16LE(e + 18);
        uint32_t offset = PeekU32LE(e + 20);
        if (lon < std::min(x1, x2) || lon > std::max(x1, x2) || lat < std::min(y1, y2) || lat > std::max(y1, y2)) continue;
        if (n > kMaxCountryPolyPts) {
            ShowMessage("numPts (%d) > MAX_COUNTRY_POLY_PTS", n);
            n = kMaxCountryPolyPts;
        }
        if (n <= 0) continue;
        raw.resize((size_t)n * 8);
        if (fseeko(f, (off_t)offset, SEEK_SET) != 0 || fread(raw.data(), 8, (size_t)n, f) != (size_t)n) continue;
        xy.resize((size_t)n * 2);
        for (int i = 0; i < 2 * n; i++) xy[i] = PeekF32LE(&raw[(size_t)i * 4]);
        if (PointInPolygon(xy.data(), n, lon, lat)) found = 1, *countryNumber = number;
    }
    fclose(f);
    return found;
}

// [SECTION] Tags

int ToggleTag(const NameTag& tag) {
    for (size_t i = 0; i < tags.size(); i++) {
        const NameTag& t = tags[i];
        if (t.x == tag.x && t.y == tag.y && t.kind == tag.kind && t.name == tag.name) {
            tags[i] = tags.back();
            tags.pop_back();
            return 0;
        }
    }
    if ((int)tags.size() >= kMaxTags) return -1;
    tags.push_back(tag);
    return 1;
}

static void DrawTag(Surface* s, const NameTag& t) {
    SetFont(s, fhGeneric);
    SetTextColour(s, MakeColour(255, 255, 255));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_BOTTOM);
    SetClipRect(s, mapRect);
    TextOut(s, t.x, t.y, t.name.c_str());
    SetPixel(s, t.x, t.y, MakeColour(255, 255, 255));
    ClearClip(s);
}

int FindNamedFeature(const PickSources& src, const Rect& r, int px, int py, NameTag* found) {
    int any = 0;
    NameTag t;
    if (src.places && NearestPlace(src, r, px, py, &t)) *found = t, any = 1;
    double lat, lon;
    PixelToGeoIn(CurrentMapWindow(), r, px, py, &lat, &lon);
    if (src.rivers && PickRiver(r, lat, lon, &t)) *found = t, any = 1;
    if (src.ocean && NearestOceanFeature(r, px, py, &t)) *found = t, any = 1;
    if (src.world && NearestWorldFeature(r, px, py, &t)) *found = t, any = 1;
    return any;
}

int PickNamedFeatures(int* countryNumber) {
    *countryNumber = 0;
    NamesSettings ns;
    if (!LoadNamesSettings(&ns)) return 0;
    tags.clear();
    tags.reserve(kMaxTags);
    PickSources src = PickableSources(ns, NamesMapScale(mapRect));
    if (!src.places && !src.rivers && !src.ocean && !src.world && !src.countries) {
        MessageBox("There are no named features currently turned on.", "Hint", MB_OK);
        return 0;
    }
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return 0;
    const Rect& r = mapRect;
    Blit(hbmVirtual, r.left, r.top, r.right - r.left, r.bottom - r.top, w, r.left, r.top);
    if (src.countries) LoadCountryIds();
    Point p;
    while (PickPointOnMap(&p)) {
        NameTag found;
        if (!FindNamedFeature(src, r, p.x, p.y, &found)) {
            double lat, lon;
            PixelToGeo(p.x, p.y, &lat, &lon);
            int number;
            if (src.countries && PickCountry(lat, lon, &number)) {
                *countryNumber = number;  // the shell shows its page, then the map again
                break;
            }
            ShowMessage("You did not click on a named feature");
            continue;
        }
        int added = ToggleTag(found);
        if (added == 1) DrawTag(w, found);
        if (added == 0) {
            Blit(w, r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
            for (const NameTag& t : tags) DrawTag(w, t);
        }
    }
    return 1;
}
