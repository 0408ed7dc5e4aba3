// Urban areas traced from a night-lights image: lit pixels (bright in red, which moonlit snow
// and desert never are) are grouped into 8-connected areas whose outlines become the city
// polygons, each named after the most populous locality inside. 4096x2048 pixels take a second.
#include <algorithm>
#include <cmath>

#include "gdal.h"
#include "names_build.h"

// Clockwise from north, in image coordinates (y grows downwards).
static const int stepX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
static const int stepY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

static int ReadLights(const std::string& path, int threshold, int* width, int* height, std::vector<uint8_t>* lit) {
    GDALAllRegister();
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (!ds) {
        BuildError("Cannot open the night-lights image %s", path.c_str());
        return 0;
    }
    int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
    int ok = GDALGetRasterCount(ds) >= 1 && w >= 360 && h >= 180 && w <= 65536 && h <= 32768;
    std::vector<uint8_t> red;
    if (ok) {
        red.resize((size_t)w * h);
        ok = GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, w, h, red.data(), w, h, GDT_Byte, 0, 0) == CE_None;
    }
    GDALClose(ds);
    if (!ok) {
        BuildError("%s is not a readable image of the whole world", path.c_str());
        return 0;
    }
    // City light is warm or white; moonlit snow and desert stay below a red of about 20.
    lit->resize((size_t)w * h);
    for (size_t i = 0; i < lit->size(); i++) (*lit)[i] = red[i] >= threshold;
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

// The outline of the area holding pixel start (its first pixel in row order), by radial sweep:
// from each boundary pixel, turn clockwise from the previous one to the next pixel of the area.
static void TraceOutline(const std::vector<int>& label, int w, int h, int start, std::vector<int>* outline) {
    int id = label[start];
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && label[(size_t)y * w + x] == id; };
    outline->clear();
    int x = start % w, y = start / w;
    int from = 6;  // as if arrived from the west: nothing above or to the left belongs to the area
    int firstMove = -1;
    for (int steps = 0; steps < 4 * 1000000; steps++) {
        outline->push_back(y * w + x);
        int move = -1;
        for (int i = 1; i <= 8; i++) {
            int d = (from + i) % 8;
            if (inside(x + stepX[d], y + stepY[d])) {
                move = d;
                break;
            }
        }
        if (move < 0) return;  // a single pixel
        if (y * w + x == start) {
            if (firstMove == move && steps > 0) {
                outline->pop_back();
                return;
            }
            if (firstMove < 0) firstMove = move;
        }
        x += stepX[move];
        y += stepY[move];
        from = (move + 4) % 8;
    }
}

int TraceCityAreas(const std::string& imagePath, int threshold, const std::vector<SourcePlace>& places,
                   std::vector<CityArea>* out, int* unnamed) {
    int w = 0, h = 0;
    std::vector<uint8_t> lit;
    if (!ReadLights(imagePath, threshold, &w, &h, &lit)) return 0;
    std::vector<int> label;
    int areas = LabelAreas(lit, w, h, &label);
    std::vector<int> largest(areas + 1, -1), first(areas + 1, -1);
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
    for (size_t i = 0; i < label.size(); i++)
        if (label[i] && first[label[i]] < 0) first[label[i]] = (int)i;
    *unnamed = 0;
    out->clear();
    std::vector<int> outline;
    for (int id = 1; id <= areas; id++) {
        if (largest[id] < 0) {
            (*unnamed)++;
            continue;
        }
        TraceOutline(label, w, h, first[id], &outline);
        if (outline.size() < 3) continue;  // a lone pixel or a thread: no area to fill
        size_t keep = outline.size() > kCityMaxPoints ? (outline.size() + kCityMaxPoints - 1) / kCityMaxPoints : 1;
        CityArea a;
        a.name = places[largest[id]].name;
        a.west = a.south = 1e9;
        a.east = a.north = -1e9;
        for (size_t i = 0; i < outline.size(); i += keep) {
            float lon = (float)(-180 + (outline[i] % w + 0.5) * 360.0 / w);
            float lat = (float)(90 - (outline[i] / w + 0.5) * 180.0 / h);
            a.points.push_back(lon);
            a.points.push_back(lat);
            a.west = std::min(a.west, lon);
            a.east = std::max(a.east, lon);
            a.south = std::min(a.south, lat);
            a.north = std::max(a.north, lat);
        }
        if (a.points.size() < 6) continue;
        out->push_back(std::move(a));
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
