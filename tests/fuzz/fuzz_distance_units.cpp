// Fuzz target for "distance.dat", the user's custom distance units: any bytes in the file
// must give a size and a name (or "no such unit") without a fault, and unit cycling must end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "map2d/measurement.h"

static std::string folder;

static void RemoveFolder() {
    unlink((folder + "/distance.dat").c_str());
    rmdir(folder.c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (folder.empty()) {
        // Memory-backed where the system has it: every input is written and read back.
        char shm[] = "/dev/shm/mundora-fuzz-units-XXXXXX", tmp[] = "/tmp/mundora-fuzz-units-XXXXXX";
        char* path = mkdtemp(shm);
        if (!path) path = mkdtemp(tmp);
        if (!path) return 0;
        folder = path;
        snprintf(dataRoot, sizeof dataRoot, "%s", path);
        atexit(RemoveFolder);
    }
    FILE* f = fopen((folder + "/distance.dat").c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    for (int k = 0; k < 4; k++) {
        double metres;
        std::string name;
        if (ReadCustomUnit(k, &metres, &name) && name.size() > 114) abort();  // lines are 114 at most
        MetresToDistanceUnit(1852.0, kUnitCustom, k);
        DistanceUnitLabel(kUnitCustom, k);
    }
    int unit = kUnitMiles, k = 0;
    for (int i = 0; i < 8; i++) AdvanceDistanceUnit(&unit, &k);
    if (unit < 0 || unit > 4 || k < 0) abort();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::string> texts = {
        "1852 \"sea mile\"\n201.168 \"furlong\"\n",
        "; comment\n0.3048 foot without quotes\r\n1e3 \"kilo\n",
        "5\"\"\n\"\n9",
    };
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& t : texts) seeds.emplace_back(t.begin(), t.end());
    return seeds;
}
