// City areas: the built-up outlines of the "CITIES" layer, stored in three files under "poly\":
// "cities.idx" gives each one-degree cell (64,800, numbered as the vector layers number them)
// the count and offset of its boxes in "cities.ix2", and each box locates a polygon in
// "cities.dat". The viewer reads these files and the volume builder writes them here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] Records (city_records.cpp)

constexpr int kCityCells = 180 * 360;
enum {
    kCityIndexEntrySize = 8,
    kCityBoxSize = 20,
    kCityMaxPoints = 2000,
    kCityMaxName = 115,
};

struct CityIndexEntry {
    uint32_t count = 0;     // polygons of the cell
    uint32_t offset = 0;    // byte offset of the first in cities.ix2
};
struct CityBox {
    float west = 0, east = 0, south = 0, north = 0;
    uint32_t offset = 0;    // byte offset of the polygon in cities.dat
};
struct CityPolygon {
    std::string name;
    float extra[4] = {};    // not interpreted by the map: the polygon's bounding box
    uint8_t spare = 0;      // not interpreted
    std::vector<float> points;  // longitude, latitude pairs
};

void EncodeCityIndexEntry(const CityIndexEntry& e, std::vector<uint8_t>& out);
int DecodeCityIndexEntry(const uint8_t* data, size_t size, int cell, CityIndexEntry* e);
void EncodeCityBox(const CityBox& b, std::vector<uint8_t>& out);
int DecodeCityBox(const uint8_t* data, size_t size, uint32_t offset, CityBox* b);
void AppendCityPolygon(std::vector<uint8_t>& out, const CityPolygon& p);
// Reads the polygon at offset; names longer than 115 bytes and point counts beyond 2,000 are cut
// as the map cuts them. 0 when it runs past the end.
int DecodeCityPolygon(const uint8_t* data, size_t size, uint32_t offset, CityPolygon* p);

// [SECTION] Drawing (city_areas.cpp)

// Fills the city areas of the cells under the current window in rectangle r with a cross-hatch
// in the primary colour over the secondary; grey when both are 0. "Cannot open file %s" and 0
// when a file is missing. Escape ends the drawing early.
int DrawCityAreas(Surface* s, const Rect& r, ColourRef primary, ColourRef secondary);
