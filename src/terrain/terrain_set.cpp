// Loading a terrain set: the files the extraction wrote into the temporary folder for one grid
// (heights, shade, imagery and, for the 350 grid, the details) read into their layers, then the
// colour table, the height range and the label table.
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_set.h"
#include "terrain/terrain_set_internal.h"

TerrainSet terrainSet;

int ReadTerrainFile(const std::string& path, size_t cells, int cellBytes, std::vector<uint8_t>* out) {
    FILE* f = OpenFile(path.c_str(), "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    out->resize(cells * (size_t)cellBytes);
    size_t got = fread(out->data(), 1, out->size(), f);
    fclose(f);
    if (got != out->size()) {
        ShowMessage("Cannot read data from file %s", path.c_str());
        return 0;
    }
    return 1;
}

int ReadTerrainHeightLayer(int16_t** rows, const std::string& path, int n) {
    std::vector<uint8_t> bytes;
    if (!ReadTerrainFile(path, (size_t)n * n, 2, &bytes)) return 0;
    const uint8_t* p = bytes.data();
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++, p += 2) rows[r][c] = PeekI16LE(p);
    return 1;
}

int ReadTerrainByteLayer(uint8_t** rows, const std::string& path, int n) {
    std::vector<uint8_t> bytes;
    if (!ReadTerrainFile(path, (size_t)n * n, 1, &bytes)) return 0;
    for (int r = 0; r < n; r++) memcpy(rows[r], bytes.data() + (size_t)r * n, (size_t)n);
    return 1;
}

// Red, green, blue of each cell into three layers.
static int ReadColourLayers(uint8_t** red, uint8_t** green, uint8_t** blue, const std::string& path, int n) {
    std::vector<uint8_t> bytes;
    if (!ReadTerrainFile(path, (size_t)n * n, 3, &bytes)) return 0;
    const uint8_t* p = bytes.data();
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++, p += 3) red[r][c] = p[0], green[r][c] = p[1], blue[r][c] = p[2];
    return 1;
}

static void FillLayer(uint8_t** rows, int n, uint8_t value) {
    for (int r = 0; r < n; r++) memset(rows[r], value, (size_t)n);
}

int CheckTerrainGrid(int n) {
    const TerrainBuffers& b = terrainBuffers;
    if (!b.dtmDataBuf) {
        ShowMessage("dtmDataBuf not allocated yet");
        return 0;
    }
    if (n > b.width || n > b.height || n <= 0) {
        ShowMessage("xSize/ySize (%d,%d) > (%d,%d)", n, n, b.width, b.height);
        return 0;
    }
    return 1;
}

// Lowest and highest height, each starting from a bound no real height passes; a flat set is
// given a range of one metre so that heights can be scaled by it.
static void FindHeightRange(int n) {
    int lo = 9999, hi = -9999;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            int v = terrainBuffers.rows.height[r][c];
            if (v < lo) lo = v;
            if (v > hi) hi = v;
        }
    if (hi <= lo) hi = lo + 1;
    terrainSet.minHeight = lo, terrainSet.maxHeight = hi;
}

// Layers the loaded files do not fill: no derived layers yet, nothing projected, no view mask.
static void ClearWorkingLayers(int n) {
    const TerrainRows& rows = terrainBuffers.rows;
    for (int r = 0; r < n; r++) {
        memset(rows.smoothed[r], 0, (size_t)n * 2);
        for (int c = 0; c < n; c++) rows.screen[r][c] = TerrainScreenPoint{kTerrainNotProjected, kTerrainNotProjected};
    }
    FillLayer(rows.slope, n, 0);
    FillLayer(rows.aspect, n, 0);
    FillLayer(rows.viewMask, n, 255);
}

static int ReadSetLayers(int n) {
    const TerrainRows& rows = terrainBuffers.rows;
    if (!ReadTerrainHeightLayer(rows.height, TerrainSetPath(n, "hts"), n)) return 0;
    if (!ReadTerrainByteLayer(rows.shade, TerrainSetPath(n, "sha"), n)) return 0;
    if (!ReadColourLayers(rows.red, rows.green, rows.blue, TerrainSetPath(n, "rgb"), n)) return 0;
    if (n == kTerrainDetailsGrid)
        return ReadColourLayers(rows.detailRed, rows.detailGreen, rows.detailBlue, TerrainSetPath(n, "vec"), n);
    // Grids without details show them as dark blue.
    FillLayer(rows.detailRed, n, 0);
    FillLayer(rows.detailGreen, n, 0);
    FillLayer(rows.detailBlue, n, 128);
    return 1;
}

int LoadTerrainSet(const char* scalePath, int n, int searchShown) {
    terrainSet.derivedLoaded = 0;
    terrainSet.size = 0;
    terrainSet.labelCount = 0;
    if (!CheckTerrainGrid(n)) return 0;
    ClearWorkingLayers(n);
    if (!ReadSetLayers(n)) return 0;
    if (!LoadTerrainColourTable(scalePath)) return 0;
    FindHeightRange(n);
    // Picking works on the loaded set before anything is drawn: project it for the camera now.
    ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, n, 0, 0, terrainBuffers.imageWidth,
                        terrainBuffers.imageHeight, 1);
    if (!LoadTerrainLabels(n, searchShown)) return 0;
    terrainSet.size = n;
    return 1;
}
