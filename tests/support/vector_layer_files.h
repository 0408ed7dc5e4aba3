// A vector layer written into a test volume: "v_data/NAME.dat" and "v_index/NAME.idx" under
// the volume's folder, encoded by the program's own writer.
#pragma once

#include <string>
#include <vector>

#include "map2d/map2d.h"
#include "support/test_volume.h"

// 1 when the layer was encoded and both files written.
inline int WriteTestVectorLayer(const std::string& root, const std::string& name, const std::vector<VectorCellRecord>& records) {
    std::vector<uint8_t> index, data;
    return EncodeVectorLayer(name.c_str(), records, &index, &data) == 1 &&
           WriteTestFile(root + "/v_data/" + name + ".dat", data) && WriteTestFile(root + "/v_index/" + name + ".idx", index);
}
