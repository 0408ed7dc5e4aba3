// The fixed-size records of the name files (80-byte names and places, 64-byte country labels),
// the world-feature index and the river index, field by field.
// Name files hold a few hundred to some fifty thousand records and are read whole.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "names/names.h"
#include "platform/le_bytes.h"

static void PutF32(uint8_t* b, float f) {
    uint32_t u;
    memcpy(&u, &f, 4);
    PokeU32LE(b, u);
}

static float GetF32(const uint8_t* b) {
    uint32_t u = PeekU32LE(b);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

// A zero-terminated text field of width bytes: at most width - 1 bytes of text, zero padded.
static void PutText(uint8_t* b, size_t width, const std::string& s) {
    memset(b, 0, width);
    memcpy(b, s.data(), std::min(s.size(), width - 1));
}

// Text up to the first zero or the end of the field.
static std::string GetText(const uint8_t* b, size_t width) {
    size_t n = 0;
    while (n < width && b[n]) n++;
    return std::string((const char*)b, n);
}

void EncodeNameRecord(const NameRecord& r, uint8_t out[kNameRecordSize]) {
    PutF32(out, r.lat);
    PutF32(out + 4, r.lon);
    PutText(out + 8, kNameRecordNameBytes, r.name);
    out[78] = r.cls;
    out[79] = r.flags;
}

void DecodeNameRecord(const uint8_t in[kNameRecordSize], NameRecord* r) {
    r->lat = GetF32(in);
    r->lon = GetF32(in + 4);
    r->name = GetText(in + 8, kNameRecordNameBytes);
    r->cls = in[78];
    r->flags = in[79];
}

void EncodePlaceRecord(const PlaceRecord& r, uint8_t out[kNameRecordSize]) {
    PutF32(out, r.lat);
    PutF32(out + 4, r.lon);
    PokeU32LE(out + 8, r.population);
    PokeU32LE(out + 12, r.geonameId);
    PutText(out + 16, kPlaceRecordNameBytes, r.name);
    out[78] = r.cls;
    out[79] = r.flags;
}

void DecodePlaceRecord(const uint8_t in[kNameRecordSize], PlaceRecord* r) {
    r->lat = GetF32(in);
    r->lon = GetF32(in + 4);
    r->population = PeekU32LE(in + 8);
    r->geonameId = PeekU32LE(in + 12);
    r->name = GetText(in + 16, kPlaceRecordNameBytes);
    r->cls = in[78];
    r->flags = in[79];
}

void EncodeCountryNameRecord(const CountryNameRecord& r, uint8_t out[kCountryNameRecordSize]) {
    PutF32(out, r.lat);
    PutF32(out + 4, r.lon);
    PutText(out + 8, kCountryNameBytes, r.name);
    memcpy(out + 48, r.sizeCode, kCountryBands);
    memset(out + 55, 0, 9);
    PokeU16LE(out + 55, r.countryNumber);
}

void DecodeCountryNameRecord(const uint8_t in[kCountryNameRecordSize], CountryNameRecord* r) {
    r->lat = GetF32(in);
    r->lon = GetF32(in + 4);
    r->name = GetText(in + 8, kCountryNameBytes);
    memcpy(r->sizeCode, in + 48, kCountryBands);
    r->countryNumber = PeekU16LE(in + 55);
}

std::vector<uint8_t> EncodeNameFile(const std::vector<NameRecord>& records) {
    std::vector<uint8_t> out(records.size() * kNameRecordSize);
    for (size_t i = 0; i < records.size(); i++) EncodeNameRecord(records[i], &out[i * kNameRecordSize]);
    return out;
}

void DecodeNameFile(const uint8_t* data, size_t size, std::vector<NameRecord>* out) {
    out->resize(size / kNameRecordSize);
    for (size_t i = 0; i < out->size(); i++) DecodeNameRecord(data + i * kNameRecordSize, &(*out)[i]);
}

std::vector<uint8_t> EncodePlaceFile(const std::vector<PlaceRecord>& records) {
    std::vector<uint8_t> out(records.size() * kNameRecordSize);
    for (size_t i = 0; i < records.size(); i++) EncodePlaceRecord(records[i], &out[i * kNameRecordSize]);
    return out;
}

void DecodePlaceFile(const uint8_t* data, size_t size, std::vector<PlaceRecord>* out) {
    out->resize(size / kNameRecordSize);
    for (size_t i = 0; i < out->size(); i++) DecodePlaceRecord(data + i * kNameRecordSize, &(*out)[i]);
}

std::vector<uint8_t> EncodeCountryNameFile(const std::vector<CountryNameRecord>& records) {
    std::vector<uint8_t> out(records.size() * kCountryNameRecordSize);
    for (size_t i = 0; i < records.size(); i++) EncodeCountryNameRecord(records[i], &out[i * kCountryNameRecordSize]);
    return out;
}

void DecodeCountryNameFile(const uint8_t* data, size_t size, std::vector<CountryNameRecord>* out) {
    out->resize(size / kCountryNameRecordSize);
    for (size_t i = 0; i < out->size(); i++)
        DecodeCountryNameRecord(data + i * kCountryNameRecordSize, &(*out)[i]);
}

int CountryScaleBand(long scale) {
    static const long bounds[] = {42500000, 25000000, 15000000, 10000000, 5000000, 2500000};
    int band = 0;
    for (long b : bounds)
        if (scale < b) band++;
    return band;
}

int CellOfPosition(double lat, double lon) {
    int row = (int)std::floor(lat) + 90, col = (int)std::floor(lon) + 180;
    row = row < 0 ? 0 : row > 179 ? 179 : row;
    col = col < 0 ? 0 : col > 359 ? 359 : col;
    return row * 360 + col;
}

// [SECTION] World features

std::vector<uint8_t> EncodeWorldIndex(const std::vector<WorldCell>& cells) {
    std::vector<uint8_t> out;
    WriteU16LE(out, (uint16_t)cells.size());
    for (const WorldCell& c : cells) {
        WriteU16LE(out, c.cell);
        WriteU16LE(out, (uint16_t)c.groups.size());
        for (const WorldGroup& g : c.groups) WriteU16LE(out, g.kind);
        for (const WorldGroup& g : c.groups) WriteU16LE(out, g.count);
        for (const WorldGroup& g : c.groups) WriteU32LE(out, g.offset);
        for (const WorldGroup& g : c.groups) WriteU32LE(out, g.spare);
    }
    return out;
}

int DecodeWorldIndex(const uint8_t* data, size_t size, std::vector<WorldCell>* out) {
    out->clear();
    ByteCursor c = MakeCursor(data, size);
    int cells = ReadU16LE(c);
    for (int i = 0; i < cells && !c.bad; i++) {
        WorldCell cell;
        cell.cell = ReadU16LE(c);
        int k = ReadU16LE(c);
        if (c.bad || k > kWorldMaxGroups || cell.cell >= kCellCount) return 0;
        cell.groups.resize(k);
        for (WorldGroup& g : cell.groups) g.kind = ReadU16LE(c);
        for (WorldGroup& g : cell.groups) g.count = ReadU16LE(c);
        for (WorldGroup& g : cell.groups) g.offset = ReadU32LE(c);
        for (WorldGroup& g : cell.groups) g.spare = ReadU32LE(c);
        if (c.bad) return 0;
        out->push_back(cell);
    }
    return !c.bad;
}

// World features share the gazetteer's location record (world.dat serves both).
void AppendWorldFeature(std::vector<uint8_t>& out, const WorldFeature& f) {
    AppendGazetteerLocation(out, GazetteerLocation{f.lat, f.lon, f.name, f.spare});
}

int DecodeWorldFeatures(const uint8_t* data, size_t size, uint32_t offset, int count, std::vector<WorldFeature>* out) {
    if (offset > size) return 0;
    for (int i = 0; i < count; i++) {
        GazetteerLocation l;
        if (!DecodeGazetteerLocation(data, size, offset, &l)) return 0;
        out->push_back(WorldFeature{l.lat, l.lon, l.name, l.country});
        offset += (uint32_t)(4 + 4 + 1 + l.name.size() + 2);
    }
    return 1;
}

// [SECTION] Rivers

void EncodeRiverIndexEntry(const RiverIndexEntry& e, std::vector<uint8_t>& out) {
    WriteF32LE(out, e.east);
    WriteF32LE(out, e.west);
    WriteF32LE(out, e.north);
    WriteF32LE(out, e.south);
    WriteF32LE(out, e.offset);
}

void DecodeRiverIndex(const uint8_t* data, size_t size, std::vector<RiverIndexEntry>* out) {
    out->clear();
    ByteCursor c = MakeCursor(data, size - size % kRiverIndexEntrySize);
    while (CursorLeft(c) >= kRiverIndexEntrySize) {
        RiverIndexEntry e;
        e.east = ReadF32LE(c);
        e.west = ReadF32LE(c);
        e.north = ReadF32LE(c);
        e.south = ReadF32LE(c);
        e.offset = ReadF32LE(c);
        out->push_back(e);
    }
}
