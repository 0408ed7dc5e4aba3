// Fuzz target: the header reader that checks sound files before they are played.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveInfo info;
    if (ParseWaveHeader(data, size, &info)) {
        if (info.dataOffset > size || info.dataBytes > size - info.dataOffset) abort();
        if (info.byteRate == 0 || info.durationMs < 0) abort();
    }
    return 0;
}

static void Put32(std::vector<uint8_t>& w, uint32_t v) {
    for (int i = 0; i < 4; i++) w.push_back((uint8_t)(v >> (8 * i)));
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<uint8_t> w;
    w.insert(w.end(), {'R', 'I', 'F', 'F'});
    Put32(w, 0);
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(w, 16);
    w.insert(w.end(), {1, 0, 2, 0});
    Put32(w, 22050);
    Put32(w, 88200);
    w.insert(w.end(), {4, 0, 16, 0});
    w.insert(w.end(), {'L', 'I', 'S', 'T'});
    Put32(w, 5);
    w.insert(w.end(), {'i', 'n', 'f', 'o', '!', 0});
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    Put32(w, 64);
    for (int i = 0; i < 64; i++) w.push_back((uint8_t)(i * 7));
    return {w};
}
