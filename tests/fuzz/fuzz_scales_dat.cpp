// Fuzz target: the line rules of the elevation scale list "scales.dat".
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/imaging.h"

static void Check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const int limits[][2] = {{kMaxScaleEntries, 12}, {kChooserScales, 19}};
    for (const auto& limit : limits) {
        ScaleListEntries list;
        ParseScaleList(text, size, limit[0], limit[1], &list);
        Check(list.count >= 0 && list.count <= limit[0]);
        Check(list.defaultIndex >= -1 && list.defaultIndex < list.count);
        for (int i = 0; i < list.count; i++) {
            size_t n = strnlen(list.names[i], sizeof list.names[i]);
            Check(n >= 1 && n <= (size_t)limit[1]);
            Check(memchr(list.names[i], '>', n) == nullptr);
        }
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    const char* seeds[] = {
        "0<ian1.sca> Default\n1<relief.sca> Relief\n0<ocean.sca>\n",
        "1<a.sca>\r\n2<b.sca>\r\n<c.sca>\r\n0<>\r\n0<open-ended.sca\r\n",
        "0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n0<x>\n1<y>\n",
    };
    std::vector<std::vector<uint8_t>> out;
    for (const char* s : seeds) out.emplace_back(s, s + strlen(s));
    std::string longLine = "0<" + std::string(200, 'n') + ">\n1<after.sca>\n";
    out.emplace_back(longLine.begin(), longLine.end());
    return out;
}
