// The place names of a terrain set: every populated place of the gazetteer inside the area
// (unless marked to stay off the 3D views) as a 104-byte record with its grid position, and the
// place-name search's found places while the map shows them. A gazetteer of some 100,000
// places is read whole.
#include <cstdio>
#include <vector>

#include "core/core.h"
#include "names/labels.h"
#include "names/names.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "terrain/terrain_extraction.h"

namespace {

// The longitude as the window sees it, shifted a full turn when that brings it inside (a
// window across the date line); 0 when it lies outside either way.
int LongitudeInWindow(const MapWindow& w, double longitude, double* shown) {
    for (double shift : {0.0, 360.0, -360.0}) {
        double v = longitude + shift;
        if (v >= w.west && v <= w.east) {
            *shown = v;
            return 1;
        }
    }
    return 0;
}

}  // namespace

int ExtractTerrainNames(const MapWindow& w, const char* namPath, const char* n2Path, int size) {
    FILE* f = OpenFile(namPath, "wb");
    if (!f) {
        ShowMessage("Cannot open file %s", namPath);
        return 0;
    }
    std::vector<uint8_t> bytes;
    std::vector<PlaceRecord> places;
    if (ReadVolumeFile("names\\pplace2.dat", &bytes)) DecodePlaceFile(bytes.data(), bytes.size(), &places);
    int written = 0;
    double width = w.east - w.west, height = w.north - w.south;
    for (const PlaceRecord& p : places) {
        double longitude;
        if ((p.flags & kPlaceNot3D) || p.lat < w.south || p.lat > w.north || !LongitudeInWindow(w, p.lon, &longitude)) continue;
        TerrainNameRecord r;
        r.name = p.name;
        r.nameClass = p.cls;
        r.row = height > 0 ? size * (1.0 - (p.lat - w.south) / height) : 0.0;
        r.column = width > 0 ? size * (longitude - w.west) / width : 0.0;
        uint8_t record[kTerrainNameRecordSize];
        EncodeTerrainNameRecord(r, record);
        if (fwrite(record, 1, sizeof record, f) != sizeof record) break;
        written++;
    }
    fclose(f);
    FILE* n2 = OpenFile(n2Path, "wb");
    if (!n2) {
        ShowMessage("Cannot open file %s", n2Path);
        return written;
    }
    std::vector<LocateRecord> found;
    if (placeSearch.show != SEARCH_SHOW_NONE) ReadLocateFile(&found);
    for (const LocateRecord& l : found) {
        double longitude;
        if (l.lat < w.south || l.lat > w.north || !LongitudeInWindow(w, l.lon, &longitude)) continue;
        TerrainNameRecord r;
        r.name = l.name;
        r.found = 1;
        r.nameClass = 6;
        r.row = height > 0 ? size * (1.0 - (l.lat - w.south) / height) : 0.0;
        r.column = width > 0 ? size * (longitude - w.west) / width : 0.0;
        uint8_t record[kTerrainNameRecordSize];
        EncodeTerrainNameRecord(r, record);
        if (fwrite(record, 1, sizeof record, n2) != sizeof record) break;
    }
    fclose(n2);
    return written;
}
