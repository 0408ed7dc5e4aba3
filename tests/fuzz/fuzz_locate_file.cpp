// Fuzz target for the search-result file "locate.tmp": any bytes decode into whole 272-byte
// records whose names end within their field, the records encode back to the same positions,
// and the window fitted to them lies inside the world whenever the fit says so.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "names/place_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<LocateRecord> records;
    DecodeLocateFile(data, size, &records);
    if (records.size() != size / kLocateRecordSize) abort();
    std::vector<uint8_t> again;
    for (const LocateRecord& r : records) {
        if (r.name.size() > kLocateNameBytes || r.name.find('\0') != std::string::npos) abort();
        AppendLocateRecord(again, r);
    }
    if (again.size() != records.size() * kLocateRecordSize) abort();
    for (size_t i = 0; i < records.size(); i++)
        if (memcmp(&again[i * kLocateRecordSize], data + i * kLocateRecordSize, 16) != 0) abort();
    MapWindow w;
    if (FitSearchWindow(records, &w)) {
        if (!(w.west >= -180 && w.east <= 180 && w.south >= -90 && w.north <= 90 && w.west < w.east && w.south < w.north))
            abort();
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<uint8_t> two;
    AppendLocateRecord(two, LocateRecord{-84.08, 9.93, "San Jos\xe9"});
    AppendLocateRecord(two, LocateRecord{8.54, 47.37, "Z\xfcrich"});
    std::vector<uint8_t> edge;
    AppendLocateRecord(edge, LocateRecord{179.5, 89.5, std::string(255, 'x')});
    edge.push_back(1);
    return {two, edge};
}
