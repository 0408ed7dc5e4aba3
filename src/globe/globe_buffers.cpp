// The globe screen's buffers: the lookup table, the two world layers, the palette, the
// output image with its info header and surface, and the month buffer of the overlays.
// All are made together when the screen is entered (about 9 MB) and freed together.
#include <cstdlib>
#include <cstring>

#include "globe/globe.h"
#include "globe/globe_renderer.h"
#include "platform/le_bytes.h"

GlobeBuffers globeBuffers;

constexpr int kInfoHeaderBytes = 40;
constexpr int kInfoHeaderTotal = kInfoHeaderBytes + 4 * 256;

// Writes the output image's info header: 24 bits a pixel, no compression, the palette's
// colour count, and the palette mirrored into its colour entries.
void SyncGlobeInfoHeader() {
    GlobeBuffers& b = globeBuffers;
    if (!b.globeInfoHdr) return;
    uint8_t* h = b.globeInfoHdr;
    memset(h, 0, kInfoHeaderTotal);
    PokeU32LE(h, kInfoHeaderBytes);
    PokeU32LE(h + 4, (uint32_t)b.imageWidth);
    PokeU32LE(h + 8, (uint32_t)b.imageHeight);
    PokeU16LE(h + 12, 1);
    PokeU16LE(h + 14, 24);
    PokeU32LE(h + 20, (uint32_t)(b.rowBytes * b.imageHeight));
    PokeU32LE(h + 32, (uint32_t)b.paletteEntries);
    PokeU32LE(h + 36, (uint32_t)b.paletteEntries);
    for (int i = 0; i < 256; i++) {
        uint8_t* e = h + kInfoHeaderBytes + 4 * i;
        e[0] = (uint8_t)ColourBlue(b.paletteBuf[i]);
        e[1] = (uint8_t)ColourGreen(b.paletteBuf[i]);
        e[2] = (uint8_t)ColourRed(b.paletteBuf[i]);
    }
}

// Sizes of the output image for a viewport; 0 when it cannot hold a picture at all.
static int PlanImage(int width, int height) {
    GlobeBuffers& b = globeBuffers;
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return 0;
    b.viewportWidth = width;
    b.viewportHeight = height;
    b.imageWidth = (width + 3) & ~3;
    b.imageHeight = height;
    b.rowBytes = b.imageWidth * 3;
    return 1;
}

// Shows the message of the buffer that could not be made and frees what was made.
static int FailAllocation(const char* message) {
    ShowMessage("%s", message);
    ReleaseGlobeBuffers();
    return 0;
}

int AllocateGlobeBuffers(int width, int height) {
    if (GlobeBuffersAllocated()) return 0;
    GlobeBuffers& b = globeBuffers;
    b = GlobeBuffers{};
    b.rotationFilter = (int32_t*)malloc(sizeof(int32_t) * kMaxFilterEntries);
    if (!b.rotationFilter) return FailAllocation("Cannot allocate rotationFilter[]");
    b.rotationData = (uint8_t*)calloc(kRotationDataBytes, 1);
    if (!b.rotationData) return FailAllocation("Cannot allocate rotationData[]");
    b.paletteBuf = (ColourRef*)calloc(256, sizeof(ColourRef));
    if (!b.paletteBuf) return FailAllocation("Cannot allocate paletteBuf[]");
    b.paletteEntries = 256;
    b.globeInfoHdr = (uint8_t*)calloc(kInfoHeaderTotal, 1);
    if (!b.globeInfoHdr) return FailAllocation("Cannot allocate globeInfoHdr[]");
    if (PlanImage(width, height)) b.bmpDataBits = (uint8_t*)calloc((size_t)b.rowBytes * b.imageHeight, 1);
    if (!b.bmpDataBits) return FailAllocation("Cannot allocate bmpDataBits[]");
    b.output = CreateSurface(b.imageWidth, b.imageHeight);
    if (!b.output) return FailAllocation("Cannot create DI bitmap");
    b.monthBuffer = (uint8_t*)calloc(kOverlayBytes, 1);
    if (!b.monthBuffer) return FailAllocation("Cannot create hdcMem");
    b.layerWidth = kGlobeLayerWidth;
    SyncGlobeInfoHeader();
    ClearGlobeImage();
    return 1;
}

void ReleaseGlobeBuffers() {
    GlobeBuffers& b = globeBuffers;
    free(b.rotationFilter);
    free(b.rotationData);
    free(b.paletteBuf);
    free(b.globeInfoHdr);
    free(b.bmpDataBits);
    free(b.monthBuffer);
    if (b.output) DeleteSurface(b.output);
    b = GlobeBuffers{};
}

int GlobeBuffersAllocated() {
    const GlobeBuffers& b = globeBuffers;
    return b.rotationFilter || b.rotationData || b.paletteBuf || b.globeInfoHdr || b.bmpDataBits || b.output || b.monthBuffer;
}

void ClearGlobeImage() {
    GlobeBuffers& b = globeBuffers;
    if (b.bmpDataBits) memset(b.bmpDataBits, 0, (size_t)b.rowBytes * b.imageHeight);
    MarkGlobeImageCleared();
}
