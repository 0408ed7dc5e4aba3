// Fuzz target: the check and record reader of the user's own place names ("userdef.dat") on
// arbitrary bytes; whatever passes the check must decode to places on the globe with names that
// end inside their field, and encode back to the same bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "names/names.h"
#include "names/user_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problem;
    if (!CheckUserNamesBytes(data, size, &problem)) {
        if (problem.empty()) abort();
        return 0;
    }
    if (size % kNameRecordSize) abort();
    for (size_t at = 0; at < size; at += kNameRecordSize) {
        UserNameRecord r;
        DecodeUserNameRecord(data + at, &r);
        if (!(r.lat >= -90 && r.lat <= 90 && r.lon >= -180 && r.lon <= 180)) abort();
        size_t n = strnlen(r.name, sizeof r.name);
        if (n >= sizeof r.name) abort();
        uint8_t back[kNameRecordSize];
        EncodeUserNameRecord(r, back);
        // The name's bytes after its end are not kept; everything else comes back as it was.
        if (memcmp(back, data + at, 8 + n + 1) != 0 || memcmp(back + 78, data + at + 78, 2) != 0) abort();
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    NameRecord home, cabin;
    home.lat = 47.37f, home.lon = 8.54f, home.name = "Home", home.cls = 1;
    cabin.lat = -89.5f, cabin.lon = 179.9f, cabin.name = "Cabin at the end of the road", cabin.cls = 1;
    std::vector<uint8_t> two = EncodeNameFile({home, cabin});
    std::vector<uint8_t> broken = two;
    broken.push_back(0);
    return {two, EncodeNameFile({home}), broken, {}};
}
