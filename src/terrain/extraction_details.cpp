// The "Details" overlay of the high grid: the set's imagery with the 2D map's switched-on
// vector layers drawn over it for the clipped window, written as the .vec file in the layout
// of the .rgb file (350 x 350 cells of red, green, blue).
#include <cstdio>
#include <vector>

#include "core/core.h"
#include "map2d/vector_layers.h"
#include "platform/files.h"
#include "terrain/extraction_internal.h"
#include "terrain/terrain_extraction.h"

namespace {

// The .rgb grid into blue, green, red rows of `stride` bytes; "Cannot open file %s" when the
// file is missing or shorter than the grid.
int ReadImagery(const std::string& path, int size, int stride, std::vector<uint8_t>* bgr) {
    FILE* f = OpenFile(path.c_str(), "rb");
    std::vector<uint8_t> row((size_t)size * 3);
    int ok = f != nullptr;
    for (int y = 0; ok && y < size; y++) {
        ok = fread(row.data(), 1, row.size(), f) == row.size();
        uint8_t* out = bgr->data() + (size_t)y * stride;
        for (int x = 0; ok && x < size; x++) {
            out[3 * x] = row[3 * x + 2];
            out[3 * x + 1] = row[3 * x + 1];
            out[3 * x + 2] = row[3 * x];
        }
    }
    if (f) fclose(f);
    if (!ok) ShowMessage("Cannot open file %s", path.c_str());
    return ok;
}

}  // namespace

int DrawTerrainDetails(int size) {
    if (size <= 0 || size > kTerrainMaxGridHeight) return 0;
    int padded = (size + 3) & ~3;  // rows of a whole number of 32-bit words, as the picture keeps them
    int stride = padded * 3;
    std::vector<uint8_t> bgr;
    if (!TerrainAllocate(&bgr, (size_t)stride * size, "Cannot allocate bmpData[]")) return 0;
    if (!ReadImagery(TerrainSetPath(size, "rgb"), size, stride, &bgr)) return 0;
    Surface* picture = TerrainAllocationFails() ? nullptr : CreateSurface(size, size);
    if (!picture) {
        ShowMessage("CreateDIBitmap() == NULL");
        return 0;
    }
    DrawBgrImage(picture, 0, 0, bgr.data(), size, size, stride);
    // An Escape that stopped the last map repaint must not leave the overlay empty.
    int abortedBefore = drawAborted;
    drawAborted = 0;
    DrawVectorLayers(picture, 0, 0, size, size);
    drawAborted = abortedBefore;
    std::vector<uint8_t> rgb((size_t)size * size * 3);
    const uint32_t* pixels = SurfacePixels(picture);
    int pitch = SurfaceStride(picture);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            uint32_t p = pixels[(size_t)y * pitch + x];
            uint8_t* out = &rgb[((size_t)y * size + x) * 3];
            out[0] = (uint8_t)(p >> 16);
            out[1] = (uint8_t)(p >> 8);
            out[2] = (uint8_t)p;
        }
    DeleteSurface(picture);
    return WriteGridFile(TerrainSetPath(size, "vec").c_str(), rgb);
}
