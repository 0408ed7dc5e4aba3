// City areas, drawn by the vector pass for the "CITIES" layer: the built-up outlines of the
// cells under the window, filled with a cross-hatch in the layer's colour over its second
// colour. The index of 64,800 cells keeps the reading to the visible cells.
#include "map2d/city_areas.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/core.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"

namespace {
struct CityFiles {
    FILE* index = nullptr;
    FILE* boxes = nullptr;
    FILE* data = nullptr;
    ~CityFiles() {
        if (index) fclose(index);
        if (boxes) fclose(boxes);
        if (data) fclose(data);
    }
};
}  // namespace

static int ReadAt(FILE* f, uint64_t offset, uint8_t* out, size_t n, size_t* got) {
    if (fseeko(f, (off_t)offset, SEEK_SET) != 0) return 0;
    *got = fread(out, 1, n, f);
    return 1;
}

// `shift` moves the polygon by whole turns into a window that reaches across the date line.
static void FillCityPolygon(Surface* s, const Rect& r, const CityPolygon& poly, double shift, std::vector<Point>& pts,
                            ColourRef primary, ColourRef secondary) {
    pts.clear();
    for (size_t i = 0; i + 1 < poly.points.size(); i += 2) {
        int x, y;
        GeoToPixelIn(CurrentMapWindow(), r, poly.points[i + 1], poly.points[i] + shift, &x, &y);
        pts.push_back(Point{x, y});
    }
    if (pts.size() < 3) return;
    SetPen(s, PEN_NULL, 1, secondary);
    SetSolidBrush(s, secondary);
    PolygonShape(s, pts.data(), (int)pts.size());
    SetPen(s, PEN_SOLID, 1, primary);
    SetHatchBrush(s, HATCH_CROSS, primary);
    PolygonShape(s, pts.data(), (int)pts.size());
}

int DrawCityAreas(Surface* s, const Rect& r, ColourRef primary, ColourRef secondary) {
    if (primary == 0 && secondary == 0) primary = MakeColour(130, 130, 130), secondary = MakeColour(96, 96, 96);
    CityFiles files;
    static const char* kNames[3] = {"cities.idx", "cities.ix2", "cities.dat"};
    FILE** slots[3] = {&files.index, &files.boxes, &files.data};
    for (int i = 0; i < 3; i++) {
        std::string rel = std::string("poly\\") + kNames[i];
        *slots[i] = OpenDataFile(rel.c_str(), "rb");
        if (!*slots[i]) {
            ShowMessage("Cannot open file %s", kNames[i]);
            return 0;
        }
    }
    const MapWindow& w = CurrentMapWindow();
    double degX = (w.east - w.west) / (r.right - r.left), degY = (w.north - w.south) / (r.bottom - r.top);
    int west = (int)std::floor(w.west), east = (int)std::ceil(w.east) - 1;
    int south = (int)std::floor(w.south), north = (int)std::ceil(w.north) - 1;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetBackgroundMode(s, BK_OPAQUE);
    SetBackgroundColour(s, secondary);
    std::vector<uint8_t> boxes, polygon(2 + kCityMaxName + 16 + 1 + 2 + 8 * kCityMaxPoints);
    std::vector<Point> pts;
    RestartEscapePolling();
    CityPolygon poly;
    for (int lat = south; lat <= north; lat++) {
        if (EscapePending()) break;
        for (int lon = west; lon <= east; lon++) {
            int wrapped = ((lon + 180) % 360 + 360) % 360 - 180;
            int cell = std::clamp((lat + 90) * 360 + (wrapped + 180), 0, kCityCells - 1);
            uint8_t entry[kCityIndexEntrySize];
            size_t got;
            CityIndexEntry e;
            if (!ReadAt(files.index, (uint64_t)cell * kCityIndexEntrySize, entry, sizeof entry, &got) ||
                !DecodeCityIndexEntry(entry, got, 0, &e) || e.count == 0 || e.count > 1000000)
                continue;
            boxes.resize((size_t)e.count * kCityBoxSize);
            if (!ReadAt(files.boxes, e.offset, boxes.data(), boxes.size(), &got)) continue;
            for (uint32_t i = 0; i < e.count; i++) {
                CityBox b;
                if (!DecodeCityBox(boxes.data(), got, i * kCityBoxSize, &b)) break;
                if ((b.east - b.west) < degX && (b.north - b.south) < degY) continue;
                size_t n;
                if (!ReadAt(files.data, b.offset, polygon.data(), polygon.size(), &n)) continue;
                if (!DecodeCityPolygon(polygon.data(), n, 0, &poly)) continue;
                FillCityPolygon(s, r, poly, lon - wrapped, pts, primary, secondary);
            }
        }
    }
    SetDrawState(s, saved);
    ClearClip(s);
    return 1;
}
