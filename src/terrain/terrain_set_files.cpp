// The small files of a terrain set that extraction writes and the terrain view reads back:
// the paths in the temporary folder, clip.zl (the clipped window and the grids' cell sizes)
// and the 104-byte name records of the .nam and .n2 files.
#include <cmath>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_extraction.h"

std::string TerrainSetPath(int size, const char* extension) {
    char name[32];
    snprintf(name, sizeof name, "%d.%s", size, extension);
    return TempPath(name);
}

std::string ClipFilePath() { return TempPath("clip.zl"); }

// [SECTION] clip.zl

ClipRecord ClipRecordFor(const MapWindow& w) {
    double centre = (w.north + w.south) / 2.0 * M_PI / 180.0;
    double widthMetres = fabs(w.east - w.west) * cos(centre) * kMetresPerDegree;
    return ClipRecord{w, {widthMetres / kTerrainGridLow, widthMetres / kTerrainGridMedium, widthMetres / kTerrainGridHigh}};
}

void EncodeClipRecord(const ClipRecord& r, uint8_t out[kClipFileSize]) {
    std::vector<uint8_t> bytes;
    for (double v : {r.window.west, r.window.east, r.window.south, r.window.north}) WriteF64LE(bytes, v);
    for (double v : r.cellMetres) WriteF64LE(bytes, v);
    memcpy(out, bytes.data(), kClipFileSize);
}

int ParseClipRecord(const uint8_t* data, size_t size, ClipRecord* out) {
    ByteCursor c = MakeCursor(data, size);
    ClipRecord r;
    r.window.west = ReadF64LE(c);
    r.window.east = ReadF64LE(c);
    r.window.south = ReadF64LE(c);
    r.window.north = ReadF64LE(c);
    for (double& v : r.cellMetres) v = ReadF64LE(c);
    if (c.bad) return 0;
    *out = r;
    return 1;
}

int WriteClipFile(const MapWindow& w) {
    uint8_t bytes[kClipFileSize];
    EncodeClipRecord(ClipRecordFor(w), bytes);
    std::string path = ClipFilePath();
    FILE* f = OpenFile(path.c_str(), "wb");
    int ok = f && fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
    if (f && fclose(f) != 0) ok = 0;
    if (!ok) ShowMessage("Cannot open file %s", path.c_str());
    return ok;
}

int ReadClipFile(ClipRecord* out) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(ClipFilePath().c_str(), &bytes, 4096)) return 0;
    return ParseClipRecord(bytes.data(), bytes.size(), out);
}

// [SECTION] Name records

void EncodeTerrainNameRecord(const TerrainNameRecord& r, uint8_t out[kTerrainNameRecordSize]) {
    memset(out, 0, kTerrainNameRecordSize);
    size_t n = r.name.size() < 69 ? r.name.size() : 69;
    memcpy(out, r.name.data(), n);  // byte 69 is always 0, so even 69 characters end there
    out[70] = (uint8_t)(r.found ? 1 : 0);
    std::vector<uint8_t> tail;
    WriteF64LE(tail, r.row);
    WriteF64LE(tail, r.column);
    WriteI32LE(tail, r.nameClass);
    memcpy(out + 72, tail.data(), tail.size());
}

void DecodeTerrainNameRecord(const uint8_t in[kTerrainNameRecordSize], TerrainNameRecord* r) {
    size_t n = 0;
    while (n < 69 && in[n]) n++;
    r->name.assign((const char*)in, n);
    r->found = in[70];
    ByteCursor c = MakeCursor(in + 72, 20);
    r->row = ReadF64LE(c);
    r->column = ReadF64LE(c);
    r->nameClass = ReadI32LE(c);
}
