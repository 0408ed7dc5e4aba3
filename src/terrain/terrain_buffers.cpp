// The terrain view's memory: one block of thirteen per-cell layers for the largest grid (about
// 2.7 MB for 350 x 350) with a row table per layer, and the off-screen image the renderer draws
// into with its header, palette and pixels. Made together when the view opens, freed together.
#include <cstdlib>
#include <cstring>

#include "platform/le_bytes.h"
#include "terrain/terrain_set.h"

TerrainBuffers terrainBuffers;

static struct {
    int failIn;   // the allocation that fails, counted down; 0 none
} memory;

void TerrainFailAllocation(int nth) { memory.failIn = nth > 0 ? nth : 0; }

void* TerrainAllocate(size_t bytes) {
    if (memory.failIn > 0 && --memory.failIn == 0) return nullptr;
    return bytes ? malloc(bytes) : nullptr;
}

// Bytes of one grid layer of w x h cells of cellBytes each; 0 for an impossible grid.
static size_t LayerBytes(int w, int h, int cellBytes) {
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768) return 0;
    return (size_t)w * (size_t)h * (size_t)cellBytes;
}

static void ReleaseAll() {
    TerrainBuffers& b = terrainBuffers;
    free(b.dtmInfoHdr);
    free(b.dtmRowPtr);
    free(b.dtmDataBuf);
    free(b.dtmLogPal);
    free(b.dtmBmpData);
    if (b.image) DeleteSurface(b.image);
    b = TerrainBuffers{};
}

// Shows the message of the buffer that could not be made and frees what was made before it.
static int FailAllocation(const char* message) {
    ShowMessage("%s", message);
    ReleaseAll();
    return 0;
}

// A top-down picture of 8 bits a pixel with a full colour table, black until a scale is loaded.
static void FillInfoHeader(uint8_t* h, int width, int height) {
    memset(h, 0, kTerrainInfoBytes);
    PokeU32LE(h, kTerrainInfoHeaderBytes);
    PokeU32LE(h + 4, (uint32_t)width);
    PokeU32LE(h + 8, (uint32_t)-height);   // negative: the first row is the top one
    PokeU16LE(h + 12, 1);
    PokeU16LE(h + 14, 8);
    PokeU32LE(h + 20, (uint32_t)(width * height));
    PokeU32LE(h + 32, 256);
    PokeU32LE(h + 36, 256);
}

static void FillLogicalPalette(uint8_t* p) {
    memset(p, 0, kTerrainLogPalBytes);
    PokeU16LE(p, 0x300);
    PokeU16LE(p + 2, 256);
}

// Layers in their order within the block; each row table points at the rows of its layer.
template <typename T>
static uint8_t* PointRows(T** table, uint8_t* layer, int w, int h) {
    for (int r = 0; r < h; r++) table[r] = (T*)(layer + (size_t)r * w * sizeof(T));
    return layer + (size_t)w * h * sizeof(T);
}

static void PointRowTables() {
    TerrainBuffers& b = terrainBuffers;
    int w = b.width, h = b.height;
    void** tables = (void**)b.dtmRowPtr;
    TerrainRows& rows = b.rows;
    rows.height = (int16_t**)(tables + 0 * (size_t)h);
    rows.smoothed = (int16_t**)(tables + 1 * (size_t)h);
    rows.shade = (uint8_t**)(tables + 2 * (size_t)h);
    rows.red = (uint8_t**)(tables + 3 * (size_t)h);
    rows.green = (uint8_t**)(tables + 4 * (size_t)h);
    rows.blue = (uint8_t**)(tables + 5 * (size_t)h);
    rows.screen = (TerrainScreenPoint**)(tables + 6 * (size_t)h);
    rows.slope = (uint8_t**)(tables + 7 * (size_t)h);
    rows.aspect = (uint8_t**)(tables + 8 * (size_t)h);
    rows.viewMask = (uint8_t**)(tables + 9 * (size_t)h);
    rows.detailRed = (uint8_t**)(tables + 10 * (size_t)h);
    rows.detailGreen = (uint8_t**)(tables + 11 * (size_t)h);
    rows.detailBlue = (uint8_t**)(tables + 12 * (size_t)h);
    uint8_t* at = b.dtmDataBuf;
    at = PointRows(rows.height, at, w, h);
    at = PointRows(rows.smoothed, at, w, h);
    for (uint8_t** t : {rows.shade, rows.red, rows.green, rows.blue}) at = PointRows(t, at, w, h);
    at = PointRows(rows.screen, at, w, h);
    for (uint8_t** t : {rows.slope, rows.aspect, rows.viewMask, rows.detailRed, rows.detailGreen, rows.detailBlue})
        at = PointRows(t, at, w, h);
}

static_assert(sizeof(int16_t*) == sizeof(void*) && sizeof(TerrainScreenPoint*) == sizeof(void*));
static_assert(sizeof(TerrainScreenPoint) == 8);

int AllocateTerrainBuffers(int w, int h, int imageWidth, int imageHeight) {
    TerrainBuffers& b = terrainBuffers;
    if (b.dtmDataBuf) {
        ShowMessage("dtmDataBuf already allocated");
        return 0;
    }
    b = TerrainBuffers{};
    b.dtmInfoHdr = (uint8_t*)TerrainAllocate(kTerrainInfoBytes);
    if (!b.dtmInfoHdr) return FailAllocation("Cannot allocate dtmInfoHdr[]");
    size_t rowTables = LayerBytes(1, h, kTerrainLayerCount * (int)sizeof(void*));
    b.dtmRowPtr = rowTables ? TerrainAllocate(rowTables) : nullptr;
    if (!b.dtmRowPtr) return FailAllocation("Cannot allocate dtmRowPtr[]");
    size_t layers = LayerBytes(w, h, kTerrainCellBytes);
    b.dtmDataBuf = layers ? (uint8_t*)TerrainAllocate(layers) : nullptr;
    if (!b.dtmDataBuf) return FailAllocation("Cannot allocate dtmDataBuf[]");
    b.dtmLogPal = (uint8_t*)TerrainAllocate(kTerrainLogPalBytes);
    if (!b.dtmLogPal) return FailAllocation("Cannot allocate dtmLogPal[]");
    // Rows of a multiple of 4 pixels, so that 8- and 24-bit rows need no padding.
    int roundedWidth = imageWidth > 0 && imageWidth <= 32764 ? (imageWidth + 3) & ~3 : 0;
    size_t pixels = LayerBytes(roundedWidth, imageHeight, 3);
    b.dtmBmpData = pixels ? (uint8_t*)TerrainAllocate(pixels) : nullptr;
    if (!b.dtmBmpData) return FailAllocation("Cannot allocate dtmBmpData[]");
    memset(b.dtmBmpData, 0, pixels);
    memset(b.dtmDataBuf, 0, layers);
    b.width = w, b.height = h;
    b.imageWidth = roundedWidth, b.imageHeight = imageHeight;
    FillInfoHeader(b.dtmInfoHdr, roundedWidth, imageHeight);
    FillLogicalPalette(b.dtmLogPal);
    b.image = CreateSurface(roundedWidth, imageHeight);
    if (!b.image) return FailAllocation("CreateDIBitmap() == NULL");
    PointRowTables();
    return 1;
}

int FreeTerrainBuffers() {
    const TerrainBuffers& b = terrainBuffers;
    if (!b.dtmInfoHdr || !b.dtmRowPtr || !b.dtmDataBuf || !b.dtmLogPal || !b.dtmBmpData || !b.image) return 0;
    ReleaseAll();
    terrainSet = TerrainSet{};
    return 1;
}
