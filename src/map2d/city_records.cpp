// The records of the city-area files, read and written field by field: index entries of
// 8 bytes, boxes of 20 bytes and polygons of a counted name, a box and counted points.
#include "map2d/city_areas.h"

#include <algorithm>

#include "platform/le_bytes.h"

void EncodeCityIndexEntry(const CityIndexEntry& e, std::vector<uint8_t>& out) {
    WriteU32LE(out, e.count);
    WriteU32LE(out, e.offset);
}

int DecodeCityIndexEntry(const uint8_t* data, size_t size, int cell, CityIndexEntry* e) {
    if (cell < 0 || cell >= kCityCells || (size_t)(cell + 1) * kCityIndexEntrySize > size) return 0;
    const uint8_t* b = data + (size_t)cell * kCityIndexEntrySize;
    e->count = PeekU32LE(b);
    e->offset = PeekU32LE(b + 4);
    return 1;
}

void EncodeCityBox(const CityBox& b, std::vector<uint8_t>& out) {
    WriteF32LE(out, b.west);
    WriteF32LE(out, b.east);
    WriteF32LE(out, b.south);
    WriteF32LE(out, b.north);
    WriteU32LE(out, b.offset);
}

int DecodeCityBox(const uint8_t* data, size_t size, uint32_t offset, CityBox* b) {
    if (offset > size) return 0;
    ByteCursor c = MakeCursor(data + offset, size - offset);
    b->west = ReadF32LE(c);
    b->east = ReadF32LE(c);
    b->south = ReadF32LE(c);
    b->north = ReadF32LE(c);
    b->offset = ReadU32LE(c);
    return !c.bad;
}

void AppendCityPolygon(std::vector<uint8_t>& out, const CityPolygon& p) {
    size_t n = std::min<size_t>(p.name.size(), kCityMaxName);
    size_t points = std::min<size_t>(p.points.size() / 2, kCityMaxPoints);
    WriteI16LE(out, (int16_t)n);
    WriteBytes(out, p.name.data(), n);
    for (float f : p.extra) WriteF32LE(out, f);
    WriteU8(out, p.spare);
    WriteI16LE(out, (int16_t)points);
    for (size_t i = 0; i < points * 2; i++) WriteF32LE(out, p.points[i]);
}

int DecodeCityPolygon(const uint8_t* data, size_t size, uint32_t offset, CityPolygon* p) {
    if (offset > size) return 0;
    ByteCursor c = MakeCursor(data + offset, size - offset);
    int n = ReadI16LE(c);
    n = n < 0 ? 0 : n > kCityMaxName ? kCityMaxName : n;
    const uint8_t* name;
    if (!CursorTake(c, n, &name)) return 0;
    p->name.assign((const char*)name, n);
    for (float& f : p->extra) f = ReadF32LE(c);
    p->spare = ReadU8(c);
    int points = ReadI16LE(c);
    points = points < 0 ? 0 : points > kCityMaxPoints ? kCityMaxPoints : points;
    if (c.bad || CursorLeft(c) < (size_t)points * 8) return 0;
    p->points.resize((size_t)points * 2);
    for (float& f : p->points) f = ReadF32LE(c);
    return !c.bad;
}
