// The terrain view's off-screen image: dtmBmpData holds its pixels as the renderer writes them,
// 8 bits a pixel through the header's colour table (flooding) or 24 bits (every other display
// type), and is put into the image surface or taken back from it.
#include <cstring>

#include "platform/le_bytes.h"
#include "terrain/terrain_set.h"

int TerrainImageDepth() {
    const uint8_t* h = terrainBuffers.dtmInfoHdr;
    return h ? PeekU16LE(h + 14) : 0;
}

void SetTerrainImageDepth(int bits) {
    TerrainBuffers& b = terrainBuffers;
    if (!b.dtmInfoHdr || (bits != 8 && bits != 24)) return;
    PokeU16LE(b.dtmInfoHdr + 14, (uint16_t)bits);
    PokeU32LE(b.dtmInfoHdr + 20, (uint32_t)(TerrainImageRowBytes() * b.imageHeight));
}

int TerrainImageRowBytes() {
    // The width is a multiple of 4, so rows of either depth need no padding.
    return terrainBuffers.imageWidth * (TerrainImageDepth() == 24 ? 3 : 1);
}

int PutTerrainImage() {
    TerrainBuffers& b = terrainBuffers;
    if (!b.image) return 0;
    if (TerrainImageDepth() == 24) {
        DrawBgrImage(b.image, 0, 0, b.dtmBmpData, b.imageWidth, b.imageHeight, TerrainImageRowBytes());
        return 1;
    }
    ColourRef palette[256];
    for (int i = 0; i < 256; i++) palette[i] = TerrainColourEntry(i);
    DrawPaletteImage(b.image, 0, 0, b.dtmBmpData, b.imageWidth, b.imageHeight, TerrainImageRowBytes(), palette);
    return 1;
}

int TakeTerrainImage() {
    TerrainBuffers& b = terrainBuffers;
    if (!b.image) return 0;
    SetTerrainImageDepth(24);
    const uint32_t* pixels = SurfacePixels(b.image);
    int stride = SurfaceStride(b.image);
    for (int y = 0; y < b.imageHeight; y++) {
        const uint32_t* from = pixels + (size_t)y * stride;
        uint8_t* to = b.dtmBmpData + (size_t)y * b.imageWidth * 3;
        for (int x = 0; x < b.imageWidth; x++, to += 3) {
            to[0] = (uint8_t)from[x];
            to[1] = (uint8_t)(from[x] >> 8);
            to[2] = (uint8_t)(from[x] >> 16);
        }
    }
    return 1;
}
