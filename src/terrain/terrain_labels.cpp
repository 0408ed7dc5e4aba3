// Names of a terrain set: the 104-byte records of ".nam" (gazetteer names inside the area)
// and ".n2" (place-name search results), and the table of at most 20 labels the renderer
// places: search results first, then the gazetteer names from the most important class down.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_set.h"

std::vector<uint8_t> EncodeTerrainNameFile(const std::vector<TerrainNameRecord>& records) {
    std::vector<uint8_t> out(records.size() * kTerrainNameRecordSize);
    for (size_t i = 0; i < records.size(); i++) EncodeTerrainNameRecord(records[i], &out[i * kTerrainNameRecordSize]);
    return out;
}

void DecodeTerrainNameFile(const uint8_t* data, size_t size, std::vector<TerrainNameRecord>* out) {
    out->resize(size / kTerrainNameRecordSize);
    for (size_t i = 0; i < out->size(); i++) DecodeTerrainNameRecord(data + i * kTerrainNameRecordSize, &(*out)[i]);
}

static int NameTaken(const std::string& name, const TerrainNameRecord* taken, int count) {
    for (int i = 0; i < count; i++)
        if (taken[i].name == name) return 1;
    return 0;
}

int ChooseTerrainLabels(const std::vector<TerrainNameRecord>& found, const std::vector<TerrainNameRecord>& gazetteer,
                        TerrainNameRecord out[kTerrainMaxLabels]) {
    int count = 0;
    for (size_t i = 0; i < found.size() && count < kTerrainMaxLabels; i++) out[count++] = found[i];
    for (int nameClass = 1; nameClass <= 6; nameClass++) {
        for (size_t i = 0; i < gazetteer.size() && count < kTerrainMaxLabels; i++) {
            const TerrainNameRecord& r = gazetteer[i];
            if (r.nameClass == nameClass && !NameTaken(r.name, out, count)) out[count++] = r;
        }
    }
    return count;
}

// The records of a whole name file; "Cannot open file %s", or "Cannot allocate array[]" when
// its copy cannot be made.
static int ReadNameFile(const std::string& path, std::vector<TerrainNameRecord>* out) {
    FILE* f = OpenFile(path.c_str(), "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    int64_t length = OpenFileLength(f);
    size_t bytes = length > 0 ? (size_t)length : 0;
    uint8_t* copy = (uint8_t*)TerrainAllocate(bytes ? bytes : 1);
    if (!copy) {
        fclose(f);
        ShowMessage("Cannot allocate array[]");
        return 0;
    }
    size_t got = bytes ? fread(copy, 1, bytes, f) : 0;
    fclose(f);
    DecodeTerrainNameFile(copy, got, out);
    free(copy);
    return 1;
}

int LoadTerrainLabels(int n, int searchShown) {
    terrainSet.labelCount = 0;
    std::vector<TerrainNameRecord> found, gazetteer;
    if (searchShown && !ReadNameFile(TerrainSetPath(n, "n2"), &found)) return 0;
    if (!ReadNameFile(TerrainSetPath(n, "nam"), &gazetteer)) return 0;
    terrainSet.labelCount = ChooseTerrainLabels(found, gazetteer, terrainSet.labels);
    return 1;
}
