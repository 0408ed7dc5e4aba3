// The flyby window's imagery and heights: cut from the world's 60- and 12-degree tiles by the
// terrain extraction's walk (in memory, full codebook resolution), the rivers drawn over the
// imagery, the pixels reduced to the flyby palette, the heights brought to 500 m units.
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "flyby/flyby_internal.h"
#include "imaging/imaging.h"
#include "map2d/vector_layers.h"
#include "terrain/terrain_extraction.h"

namespace {

constexpr size_t kCells = (size_t)kFlybyGrid * kFlybyGrid;

// The flyby palette and its inverse table, read once from the volume.
struct {
    int loaded;
    ColourRef palette[256];
    uint8_t inverse[32768];
} flybyPalette;

int SizeGrid(std::vector<uint8_t>* grid, size_t bytes, const char* message) {
    if (grid->size() == bytes) return 1;
    try {
        grid->assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("%s", message);
        return 0;
    }
    return 1;
}

// The theme's colour of a river layer, so the flyby shows rivers as the map does.
ColourRef RiverColour(const char* layer) {
    for (int i = 0; i < vectorLayerCount; i++)
        if (strcasecmp(vectorLayers[i].name, layer) == 0)
            return MakeColour(vectorLayers[i].red1, vectorLayers[i].green1, vectorLayers[i].blue1);
    return MakeColour(0, 0, 255);
}

}  // namespace

// [SECTION] Cutting the grids

int CutFlybyImagery(FlybyGrids* g, float x, float y) {
    std::vector<uint8_t> rgb(kCells * 3, 0);
    if (!CutColourGrid(FlybyWindowDegrees(x, y), kFlybyGrid, kFlybyGrid, 1, rgb.data())) return 0;
    g->imagery.resize(kCells * 3);
    for (size_t i = 0; i < kCells; i++) {
        g->imagery[3 * i] = rgb[3 * i + 2];
        g->imagery[3 * i + 1] = rgb[3 * i + 1];
        g->imagery[3 * i + 2] = rgb[3 * i];
    }
    return 1;
}

int CutFlybyHeights(FlybyGrids* g, float x, float y) {
    std::vector<int16_t> heights(kCells, 0);
    if (!CutHeightGrid(FlybyWindowDegrees(x, y), kFlybyGrid, kFlybyGrid, 1, heights.data(), nullptr)) return 0;
    g->heights.resize(kCells);
    // The heights carry the sea floor; the aircraft flies over the sea's surface.
    for (size_t i = 0; i < kCells; i++) g->heights[i] = (heights[i] > 0 ? heights[i] : 0) / 500.0f;
    return 1;
}

void SubtractLowestHeight(FlybyGrids* g) {
    float lowest = 300000.0f;
    for (float h : g->heights) lowest = h < lowest ? h : lowest;
    for (float& h : g->heights) h -= lowest;
    g->lowestHeight = lowest;
}

// [SECTION] Rivers

int DrawFlybyRivers(FlybyGrids* g, float x, float y) {
    Surface* picture = CreateSurface(kFlybyGrid, kFlybyGrid);
    if (!picture) {
        ShowMessage("CreateDIBitmap() == NULL");
        return 0;
    }
    DrawBgrImage(picture, 0, 0, g->imagery.data(), kFlybyGrid, kFlybyGrid, kFlybyGrid * 3);
    // The drawer looks for Escape among the waiting keys and takes them; the flight needs them.
    std::vector<Message> keys;
    Message m;
    while (PeekMessageInRange(&m, MSG_KEYDOWN, MSG_CHAR, 1)) keys.push_back(m);
    int abortedBefore = drawAborted;
    drawAborted = 0;
    std::vector<uint8_t> buffer(kVectorWorkBufferSize);
    MapWindow w = FlybyWindowDegrees(x, y);
    int ok = 1;
    for (const char* layer : {"riv01", "riv03", "riv04"}) {
        char data[64], index[64];
        snprintf(data, sizeof data, "v_data\\%s.dat", layer);
        snprintf(index, sizeof index, "v_index\\%s.idx", layer);
        ColourRef colour = RiverColour(layer);
        SetPen(picture, PEN_SOLID, 1, colour);
        ok = DrawOneVectorLayer(picture, w, kFlybyGrid, kFlybyGrid, 0, 0, data, index, buffer.data(), (int)buffer.size(),
                                colour) && ok;
    }
    drawAborted = abortedBefore;
    for (const Message& k : keys) PostMessage(k.kind, k.wParam, k.lParam);
    const uint32_t* pixels = SurfacePixels(picture);
    int pitch = SurfaceStride(picture);
    for (int r = 0; r < kFlybyGrid; r++)
        for (int c = 0; c < kFlybyGrid; c++) {
            uint32_t p = pixels[(size_t)r * pitch + c];
            uint8_t* out = &g->imagery[((size_t)r * kFlybyGrid + c) * 3];
            out[0] = (uint8_t)p;
            out[1] = (uint8_t)(p >> 8);
            out[2] = (uint8_t)(p >> 16);
        }
    DeleteSurface(picture);
    return ok;
}

// [SECTION] The palette

// The art's palette once the flyby has loaded it; until then the file's, read here.
int FlybyPaletteReady() {
    if (flybyArt.loaded || flybyPalette.loaded) return 1;
    if (!LoadFlybyPalette(flybyPalette.palette)) return 0;
    BuildInverseColourTable(flybyPalette.palette, flybyPalette.inverse);
    flybyPalette.loaded = 1;
    return 1;
}

const ColourRef* FlybyPalette() { return flybyArt.loaded ? flybyArt.palette : flybyPalette.palette; }

int FlybyPaletteLoaded() { return flybyArt.loaded || flybyPalette.loaded; }

void ForgetFlybyPalette() { flybyPalette.loaded = 0; }

void ReduceFlybyColours(FlybyGrids* g) {
    const uint8_t* inverse = flybyArt.loaded ? flybyArt.inverse : flybyPalette.inverse;
    g->colours.resize(kCells);
    for (size_t i = 0; i < kCells; i++) {
        const uint8_t* p = &g->imagery[3 * i];
        g->colours[i] = inverse[(p[0] >> 3) + 32 * (p[1] >> 3) + 1024 * (p[2] >> 3)];
    }
}

// [SECTION] The two steps

int ExtractFlybyImagery(FlybyGrids* g, float x, float y) {
    if (!SizeGrid(&g->imagery, kCells * 3, "Cannot allocate flyby512Data[]")) return 0;
    if (!codebookRGB) {
        ShowMessage("codebookRGB[] not allocated yet");
        return 0;
    }
    if (!FlybyPaletteReady()) return 0;
    if (!CutFlybyImagery(g, x, y)) {
        ShowMessage("Cannot allocate flyby512Data[]");
        return 0;
    }
    DrawFlybyRivers(g, x, y);
    ReduceFlybyColours(g);
    return 1;
}

int ExtractFlybyHeights(FlybyGrids* g, float x, float y) {
    if (!codebookH) {
        ShowMessage("codebookH[] not allocated yet");
        return 0;
    }
    if (!CutFlybyHeights(g, x, y)) {
        ShowMessage("Cannot allocate data[]");
        return 0;
    }
    return 1;
}
