// Fuzz target for the settings reader: any "options.dat" loads as a record or as defaults.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/mundora-fuzz-settings-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
    }
    std::string path = folder + "/options.dat";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    int loaded = LoadSettings();
    if (!loaded && options.monitorInches != 14) abort();
    if (loaded && (size < 60 || data[0] != 1)) abort();
    // Whatever was read survives a save and a load unchanged.
    if (loaded) {
        uint8_t before[60], after[60];
        EncodeOptions(options, before);
        SaveSettings();
        LoadSettings();
        EncodeOptions(options, after);
        if (memcmp(before, after, 60) != 0) abort();
    }
    gammaTable.enabled = 0;
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<uint8_t> good(60, 0);
    good[0] = 1;
    good[28] = 17;
    float g = 1.8f;
    memcpy(&good[32], &g, 4);
    good[44] = 1;
    return {good, std::vector<uint8_t>(59, 1), std::vector<uint8_t>(61, 1)};
}
