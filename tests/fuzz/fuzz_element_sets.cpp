// Fuzz target for element-set text and satellite records: any bytes count, parse and name
// without reading past the end, every satellite counted can be read, and whatever numbers a
// file or a record holds, propagation and the clock end.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "globe/satellites.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int count = CountElementSets(data, size);
    size_t lineFeeds = 0;
    for (size_t k = 0; k < size; k++) lineFeeds += data[k] == '\n';
    if (count < 0 || (size_t)count * 3 > lineFeeds + size / 199 + 1) abort();
    for (int i = 0; i <= count && i < 40; i++) {
        SatelliteRecord r{};
        r.year = 2026, r.month = 12, r.day = 6, r.hours = 1.5, r.frequency = 146.0;
        int read = ParseElementSet(data, size, i, &r);
        if (i < count && !read) abort();
        char name[kSatelliteNameSize];
        if (ParseElementSetName(data, size, i, name, sizeof name) && strlen(name) > kSatelliteNameSize - 1) abort();
        if (read) PropagateSatellite(r);
    }
    ByteCursor c = MakeCursor(data, size);
    SatelliteRecord r;
    while (DecodeSatelliteRecord(c, &r)) {
        PropagateSatellite(r);
        AdvanceSatelliteClock(&r, 0.5);
        AdvanceSatelliteClock(&r, -0.5);
        char text[64];
        FormatSatelliteClock(r, text, sizeof text);
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::string sets =
        "ISS (ZARYA)             \r\n"
        "1 25544U 98067A   98001.00000000  .00002182  00000-0  40768-4 0  9990\r\n"
        "2 25544  51.6400 247.4627 0006703 130.5360 325.0288 15.49000000563537\r\n"
        "GOES 16\n"
        "1 41866U 16071A   26300.00000000 -.00000089  00000-0  00000+0 0  9995\n"
        "2 41866   0.0500  80.0000 0002000 100.0000 250.0000  1.00273791 50001\n";
    std::vector<uint8_t> records;
    SatelliteRecord r{98001.0, 51.64, 247.46, 0.0006703, 130.536, 325.0288, 15.49, 0.00002182,
                      146.0, 53.5, -113.5, 670.0, 0.0, 23.9, 56353, 2026, 12, 31};
    EncodeSatelliteRecord(r, records);
    return {std::vector<uint8_t>(sets.begin(), sets.end()), records};
}
