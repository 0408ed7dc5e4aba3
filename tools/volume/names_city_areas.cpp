// Urban areas traced from a night-lights image: lit pixels (bright in red, which moonlit snow
// and desert never are) are grouped into 8-connected areas, each named after the most populous
// locality inside. Each area's outline is the contour of the red brightness at the threshold,
// its crossings interpolated between pixel centres, then simplified to a third of a pixel, so
// a town reads as a town and not as a staircase of pixels. 4096x2048 pixels take a second.
#include <algorithm>
#include <cmath>

#include "contour_rings.h"
#include "gdal.h"
#include "names_build.h"

// Clockwise from north, in image coordinates (y grows downwards).
static const int stepX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
static const int stepY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

static int ReadLights(const std::string& path, int threshold, int* width, int* height, std::vector<uint8_t>* lit,
                      std::vector<uint8_t>* red) {
    GDALAllRegister();
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (!ds) {
        BuildError("Cannot open the night-lights image %s", path.c_str());
        return 0;
    }
    int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
    int ok = GDALGetRasterCount(ds) >= 1 && w >= 360 && h >= 180 && w <= 65536 && h <= 32768;
    if (ok) {
        red->resize((size_t)w * h);
        ok = GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, w, h, red->data(), w, h, GDT_Byte, 0, 0) == CE_None;
    }
    GDALClose(ds);
    if (!ok) {
        BuildError("%s is not a readable image of the whole world", path.c_str());
        return 0;
    }
    // City light is warm or white; moonlit snow and desert stay below a red of about 20.
    lit->resize((size_t)w * h);
    for (size_t i = 0; i < lit->size(); i++) (*lit)[i] = (*red)[i] >= threshold;
    *width = w;
    *height = h;
    return 1;
}

// Labels the 8-connected lit areas 1, 2, ...; returns how many.
static int LabelAreas(const std::vector<uint8_t>& lit, int w, int h, std::vector<int>* label) {
    label->assign(lit.size(), 0);
    int areas = 0;
    std::vector<int> stack;
    for (size_t start = 0; start < lit.size(); start++) {
        if (!lit[start] || (*label)[start]) continue;
        areas++;
        (*label)[start] = areas;
        stack.push_back((int)start);
        while (!stack.empty()) {
            int i = stack.back();
            stack.pop_back();
            int x = i % w, y = i / w;
            for (int d = 0; d < 8; d++) {
                int nx = x + stepX[d], ny = y + stepY[d];
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                int n = ny * w + nx;
                if (lit[n] && !(*label)[n]) {
                    (*label)[n] = areas;
                    stack.push_back(n);
                }
            }
        }
    }
    return areas;
}

struct AreaBox {
    int west = 1 << 30, east = -1, north = 1 << 30, south = -1, pixels = 0;
};

// The outer rings of one area: its red brightness contoured at the threshold over its box,
// with other areas' pixels dark so neighbours never merge; holes (parks, rivers) are left
// out, as the map fills every polygon.
static void AreaOutlines(const std::vector<int>& label, const std::vector<uint8_t>& red, int w, int id,
                         const AreaBox& box, int threshold, std::vector<GeoLine>* rings) {
    int bw = box.east - box.west + 1, bh = box.south - box.north + 1;
    std::vector<float> values((size_t)bw * bh);
    for (int y = 0; y < bh; y++)
        for (int x = 0; x < bw; x++) {
            size_t i = (size_t)(box.north + y) * w + box.west + x;
            values[(size_t)y * bw + x] = label[i] == id || label[i] == 0 ? red[i] : 0.0f;
        }
    // Brightness is whole numbers, so half a step below the threshold never meets a sample.
    std::vector<GeoLine> all;
    ContourRings(values, bw, bh, threshold - 0.5f, &all);
    rings->clear();
    for (GeoLine& ring : all)
        if (RingArea(ring) > 0) rings->push_back(std::move(ring));
}

int TraceCityAreas(const std::string& imagePath, int threshold, const std::vector<SourcePlace>& places,
                   std::vector<CityArea>* out, int* unnamed) {
    int w = 0, h = 0;
    std::vector<uint8_t> lit, red;
    if (!ReadLights(imagePath, threshold, &w, &h, &lit, &red)) return 0;
    std::vector<int> label;
    int areas = LabelAreas(lit, w, h, &label);
    std::vector<int> largest(areas + 1, -1);
    for (size_t i = 0; i < places.size(); i++) {
        int x = std::min(w - 1, (int)((places[i].lon + 180) / 360 * w));
        int y = std::min(h - 1, (int)((90 - places[i].lat) / 180 * h));
        // A dark pixel inside a lit city (a park, a river) still places it in its area.
        int id = label[(size_t)y * w + x];
        for (int d = 0; d < 8 && !id; d++) {
            int nx = x + stepX[d], ny = y + stepY[d];
            if (nx >= 0 && ny >= 0 && nx < w && ny < h) id = label[(size_t)ny * w + nx];
        }
        if (id && (largest[id] < 0 || places[i].population > places[largest[id]].population)) largest[id] = (int)i;
    }
    std::vector<AreaBox> boxes(areas + 1);
    for (size_t i = 0; i < label.size(); i++) {
        if (!label[i]) continue;
        AreaBox& b = boxes[label[i]];
        int x = (int)(i % w), y = (int)(i / w);
        b.west = std::min(b.west, x), b.east = std::max(b.east, x);
        b.north = std::min(b.north, y), b.south = std::max(b.south, y);
        b.pixels++;
    }
    *unnamed = 0;
    out->clear();
    std::vector<GeoLine> rings;
    const double degreesPerPixel = 360.0 / w;
    for (int id = 1; id <= areas; id++) {
        if (largest[id] < 0) {
            (*unnamed)++;
            continue;
        }
        if (boxes[id].pixels < 3) continue;  // a pixel or two: no area worth filling
        AreaOutlines(label, red, w, id, boxes[id], threshold, &rings);
        for (const GeoLine& ring : rings) {
            // A third of a pixel keeps the shape; rings too long for the file get a coarser tolerance.
            GeoLine simple = SimplifyRing(ring, 1.0 / 3);
            for (double tolerance = 2.0 / 3; simple.size() > kCityMaxPoints; tolerance *= 2)
                simple = SimplifyRing(ring, tolerance);
            if (simple.size() < 3) continue;
            CityArea a;
            a.name = places[largest[id]].name;
            a.west = a.south = 1e9;
            a.east = a.north = -1e9;
            for (const GeoPoint& p : simple) {
                float lon = (float)(-180 + (boxes[id].west + p.lon + 0.5) * degreesPerPixel);
                float lat = (float)(90 - (boxes[id].north + p.lat + 0.5) * 180.0 / h);
                a.points.push_back(lon);
                a.points.push_back(lat);
                a.west = std::min(a.west, lon);
                a.east = std::max(a.east, lon);
                a.south = std::min(a.south, lat);
                a.north = std::max(a.north, lat);
            }
            out->push_back(std::move(a));
        }
    }
    return 1;
}

void EncodeCityAreaFiles(const std::vector<CityArea>& areas, std::vector<uint8_t>* idx, std::vector<uint8_t>* ix2,
                         std::vector<uint8_t>* dat) {
    idx->clear();
    ix2->clear();
    dat->clear();
    std::vector<std::vector<int>> byCell(kCellCount);
    std::vector<uint32_t> offsets;
    for (size_t i = 0; i < areas.size(); i++) {
        const CityArea& a = areas[i];
        offsets.push_back((uint32_t)dat->size());
        CityPolygon p;
        p.name = a.name;
        p.extra[0] = a.west;
        p.extra[1] = a.east;
        p.extra[2] = a.south;
        p.extra[3] = a.north;
        p.points = a.points;
        AppendCityPolygon(*dat, p);
        // Listed under every cell its box touches, so any window over it finds it.
        int west = (int)floor(a.west), east = std::max(west, (int)ceil(a.east) - 1);
        int south = (int)floor(a.south), north = std::max(south, (int)ceil(a.north) - 1);
        for (int lat = south; lat <= north; lat++)
            for (int lon = west; lon <= east; lon++) byCell[CellOfPosition(lat, lon)].push_back((int)i);
    }
    for (int c = 0; c < kCellCount; c++) {
        EncodeCityIndexEntry(CityIndexEntry{(uint32_t)byCell[c].size(), (uint32_t)ix2->size()}, *idx);
        for (int i : byCell[c])
            EncodeCityBox(CityBox{areas[i].west, areas[i].east, areas[i].south, areas[i].north, offsets[i]}, *ix2);
    }
}
