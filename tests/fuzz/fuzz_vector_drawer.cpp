// Fuzz target for the polyline drawer: a damaged or hostile layer (index and data file) is
// drawn into a small surface without reading or writing outside its buffers. The input is a
// u16 index length, the index bytes, then the data bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "platform/test_double.h"

static void WriteAll(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(data, 1, size, f);
    fclose(f);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string folder;
    static Surface* s;
    if (folder.empty()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        PlatformInit(0, nullptr);
        TestModeEnable(1);
        char pattern[] = "/tmp/mundora-fuzz-vector-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        mkdir((folder + "/v_data").c_str(), 0755);
        mkdir((folder + "/v_index").c_str(), 0755);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
        s = CreateSurface(64, 48);
    }
    if (size < 2) return 0;
    size_t indexSize = data[0] | (data[1] << 8);
    if (indexSize > size - 2) indexSize = size - 2;
    WriteAll(folder + "/v_index/F.idx", data + 2, indexSize);
    WriteAll(folder + "/v_data/F.dat", data + 2 + indexSize, size - 2 - indexSize);
    static uint8_t buffer[kVectorWorkBufferSize];
    static const MapWindow windows[3] = {{-10, 10, -10, 10}, {170, 190, -5, 10}, {-180, 180, -135, 135}};
    for (const MapWindow& w : windows) {
        SetPen(s, PEN_SOLID, 1 + (int)(size % 4), MakeColour(255, 0, 0));
        DrawOneVectorLayer(s, w, 64, 48, 0, 0, "v_data\\F.dat", "v_index\\F.idx", buffer, (int)(50 + size % 200), 0xFF);
    }
    drawAborted = 0;
    TestClearShown();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<VectorCellRecord> records;
    for (int i = 0; i < 6; i++) {
        VectorCellRecord r;
        r.cell = VectorCellNumber(-3 + i, i % 2 ? -180 : 2 * i);
        r.points = {{0, 0}, {(int16_t)(3000 * i), 5000}, {-20000, 32767}};
        r.record = {(uint16_t)(i * 9000), 3, 100, 200};
        records.push_back(r);
    }
    std::vector<uint8_t> index, data;
    EncodeVectorLayer("F", records, &index, &data);
    std::vector<uint8_t> seed{(uint8_t)(index.size() & 255), (uint8_t)(index.size() >> 8)};
    seed.insert(seed.end(), index.begin(), index.end());
    seed.insert(seed.end(), data.begin(), data.end());
    return {seed};
}
