// Fuzz target for the visible-satellites search's result entries and names: any bytes decode
// into 168-byte entries whose names end within their 40 bytes, whatever a record holds the
// path view's readout stays within its lines, and the name rules never overrun.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "globe/satellite_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteCursor c = MakeCursor(data, size);
    SearchEntry e;
    size_t entries = 0;
    while (DecodeSearchEntry(c, &e)) {
        entries++;
        if (strlen(e.name) > kSatelliteNameSize - 1) abort();
        OrbitResult o = PropagateSatellite(e.record);
        PathReadout readout;
        FormatPathReadout(o, e.record.hours, e.record.revolution, &readout);
        for (const char* line : readout.lines)
            if (strlen(line) >= sizeof readout.lines[0]) abort();
        PathPointColour(o);
    }
    if (entries != size / kSearchEntrySize) abort();
    std::string name((const char*)data, strnlen((const char*)data, size < 200 ? size : 200));
    char listed[kSatelliteNameSize];
    SkippedSatelliteName(name.c_str());
    ListedSatelliteName(name.c_str(), listed);
    if (strlen(listed) > kSatelliteNameSize - 1) abort();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    SearchEntry e{};
    strcpy(e.name, "Cosmos 1234");
    e.record = SatelliteRecord{98001.0, 51.64, 247.46, 0.0006703, 130.536, 325.0288, 15.49, 0.00002182,
                               146.0, 53.5, -113.5, 0.0, 0.0, 26.5, 56353, 1998, 1, 1};
    std::vector<uint8_t> bytes;
    EncodeSearchEntry(e, bytes);
    strcpy(e.name, "Cos 99 deb");
    e.record.meanMotion = 1.00273791, e.record.hours = -3.0;
    EncodeSearchEntry(e, bytes);
    return {bytes};
}
