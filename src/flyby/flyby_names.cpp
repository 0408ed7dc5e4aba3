// The place names of the flyby's window: every populated place of the gazetteer (some 30,000
// records of 80 bytes, read whole) inside the window, as 88-byte records with the place's row
// and column in cells, written to a scratch file and read back, at most 30 of them.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "flyby/flyby_internal.h"
#include "names/names.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

namespace {

constexpr int kFlybyNameRecordSize = 88;
constexpr size_t kGazetteerMostBytes = 64u << 20;

void EncodeFlybyName(const std::string& name, double row, double column, std::vector<uint8_t>* out) {
    uint8_t text[72] = {};
    memcpy(text, name.data(), std::min(name.size(), sizeof text - 1));
    WriteBytes(*out, text, sizeof text);
    WriteF64LE(*out, row);
    WriteF64LE(*out, column);
}

}  // namespace

MapWindow FlybyWindowDegrees(float x, float y) {
    double longitude = x / 40080.0 * 360.0 - 180.0, latitude = 90.0 - y / 20040.0 * 180.0;
    return MapWindow{longitude - kFlybyHalfWindowDegrees, longitude + kFlybyHalfWindowDegrees,
                     latitude - kFlybyHalfWindowDegrees, latitude + kFlybyHalfWindowDegrees};
}

int CollectFlybyNames(float x, float y, const char* file) {
    std::vector<uint8_t> gazetteer;
    std::string path = FindDataFile("names\\pplace2.dat");
    if (path.empty() || !ReadWholeFile(path.c_str(), &gazetteer, kGazetteerMostBytes)) return -1;
    MapWindow w = FlybyWindowDegrees(x, y);
    std::vector<uint8_t> out;
    int written = 0;
    PlaceRecord p;
    for (size_t at = 0; at + kNameRecordSize <= gazetteer.size(); at += kNameRecordSize) {
        DecodePlaceRecord(gazetteer.data() + at, &p);
        if ((p.flags & kPlaceNot3D) || p.lat < w.south || p.lat > w.north || p.lon < w.west || p.lon > w.east) continue;
        double row = kFlybyGrid * (1.0 - (p.lat - w.south) / (w.north - w.south));
        double column = kFlybyGrid * (p.lon - w.west) / (w.east - w.west);
        EncodeFlybyName(p.name, row, column, &out);
        written++;
    }
    FILE* f = OpenFile(file, "wb");
    if (!f) return -1;
    int ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    if (fclose(f) != 0) ok = 0;
    if (!ok) {
        RemoveFile(file);
        return -1;
    }
    return written;
}

int ExtractFlybyNames(float x, float y, const char* file) { return CollectFlybyNames(x, y, file) >= 0; }

int ReadFlybyNameFile(const char* file, std::vector<FlybyName>* names, int most) {
    names->clear();
    FILE* f = OpenFile(file, "rb");
    if (!f) return 0;
    uint8_t record[kFlybyNameRecordSize];
    while ((int)names->size() < most && fread(record, 1, sizeof record, f) == sizeof record) {
        ByteCursor c = MakeCursor(record, sizeof record);
        FlybyName n;
        ReadBytes(c, n.name, sizeof n.name);
        n.name[sizeof n.name - 1] = 0;
        n.row = ReadF64LE(c);
        n.column = ReadF64LE(c);
        names->push_back(n);
    }
    fclose(f);
    return 1;
}

int LoadFlybyNames(const char* file, std::vector<FlybyName>* names, int most) {
    if (ReadFlybyNameFile(file, names, most)) return 1;
    ShowMessage("Cannot open file %s", file);
    return 0;
}
