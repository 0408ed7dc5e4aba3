// Fuzz target: burning place names from a damaged or hostile gazetteer into the globe shading.
#include <cstdint>
#include <cstring>
#include <vector>

#include "globe_build.h"
#include "platform/le_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> shade(kGlobeLayerBytes, 128);
    std::vector<uint8_t> gazetteer(data, data + size);
    BurnPlaceNames(gazetteer, &shade);
    return 0;
}

static std::vector<uint8_t> Record(float lat, float lon, const char* name, int placeClass, int flags) {
    std::vector<uint8_t> r;
    uint32_t u;
    memcpy(&u, &lat, 4);
    WriteU32LE(r, u);
    memcpy(&u, &lon, 4);
    WriteU32LE(r, u);
    r.resize(80, 0);
    memcpy(&r[16], name, strlen(name));
    r[78] = (uint8_t)placeClass;
    r[79] = (uint8_t)flags;
    return r;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<uint8_t> several;
    for (auto r : {Record(41.9f, 12.5f, "Roma", 1, 8), Record(-33.9f, 151.2f, "Sydney", 1, 0),
                   Record(64.1f, -21.9f, "Reykjav\xEDk", 2, 16), Record(0.0f, 179.99f, "Dateline", 1, 0)})
        several.insert(several.end(), r.begin(), r.end());
    std::vector<uint8_t> longName = Record(10.0f, -179.9f, "", 1, 0);
    memset(&longName[16], 'W', 62);  // no terminating zero inside the field
    return {several, longName, Record(71.9f, 90.0f, "Nord", 1, 0)};
}
