// Fuzz target for the vector layer readers: an index and a data file of one layer (split at a
// length given by the first two bytes), walked the way the map walks them, plus the same bytes
// read as a world point file.
#include <cstdint>
#include <cstring>
#include <vector>

#include "map2d/map2d.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t split = (size_t)(data[0] | (data[1] << 8));
    data += 2, size -= 2;
    if (split > size) split = size;
    const uint8_t* index = data;
    const uint8_t* layer = data + split;
    size_t layerSize = size - split;
    std::vector<VectorCellEntry> cells;
    std::vector<VectorRecord> records;
    std::vector<VectorPoint> points;
    if (ParseVectorIndex(index, split, &cells)) {
        MapWindow w{170, 190, -10, 10};
        long sum = 0;
        for (const VectorCellEntry& c : cells) {
            int shift = 0;
            VectorCellShift(w, VectorCellWest(c.cell), &shift);
            if (!ParseVectorCell(layer, layerSize, c, &records, &points)) continue;
            size_t used = 0;
            for (const VectorRecord& r : records) used += r.nPoints;
            if (used != points.size()) __builtin_trap();
            for (const VectorPoint& p : points) sum += p.dLon + p.dLat + shift;
        }
        (void)sum;
    }
    std::vector<WorldPoint> world;
    ParseWorldPoints(data, size, &world);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<VectorCellRecord> records(3);
    records[0].cell = VectorCellNumber(10, -180);
    records[0].points = {{0, 0}, {5000, 2500}, {10000, 10000}};
    records[0].record = {10000, 3, 5000, 2500};
    records[1].cell = VectorCellNumber(-5, 179);
    records[1].points = {{-32768, 32767}, {0, 0}};
    records[1].record = {65535, 2, 0, 0};
    records[2].cell = records[0].cell;
    records[2].record = {12, 0, 1, 1};
    std::vector<uint8_t> index, data;
    EncodeVectorLayer("SEED", records, &index, &data);
    std::vector<uint8_t> seed{(uint8_t)index.size(), (uint8_t)(index.size() >> 8)};
    seed.insert(seed.end(), index.begin(), index.end());
    seed.insert(seed.end(), data.begin(), data.end());
    std::vector<uint8_t> world;
    EncodeWorldPoints({{0, 0}, {799, 599}, {400, 300}}, &world);
    std::vector<uint8_t> worldSeed{0, 0};
    worldSeed.insert(worldSeed.end(), world.begin(), world.end());
    return {seed, worldSeed};
}
