// The screen cache: the composed map background of one zoom depth kept in the temporary
// directory, so that going back up the zoom history shows it again without reading a tile.
// Layout: rows top first of the map area's width rounded up to 4 pixels, 3 bytes a pixel
// (blue, green, red), then the observed and fixed elevation ranges as four doubles.
// The files are "screen00.tmp" .. "screen09.tmp"; a changed window discards its depth's file.
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

std::string ScreenCachePath(int depth) {
    char name[32];
    snprintf(name, sizeof name, "screen%02d.tmp", depth);
    return TempPath(name);
}

void DiscardScreenCache(int depth) {
    if (depth < 0 || depth >= kZoomDepths) return;
    RemoveFile(ScreenCachePath(depth).c_str());
}

void DiscardAllScreenCaches() {
    for (int d = 0; d < kZoomDepths; d++) RemoveFile(ScreenCachePath(d).c_str());
}

static void CacheSize(int* width, int* height, int* rowBytes) {
    *width = mapRect.right - mapRect.left;
    *height = mapRect.bottom - mapRect.top;
    *rowBytes = ((*width + 3) & ~3) * 3;
}

static void PutF64(uint8_t* at, double v) {
    uint64_t u;
    memcpy(&u, &v, 8);
    PokeU32LE(at, (uint32_t)u);
    PokeU32LE(at + 4, (uint32_t)(u >> 32));
}

int SaveScreenCache() {
    int width, height, rowBytes;
    CacheSize(&width, &height, &rowBytes);
    std::string path = ScreenCachePath(zoomDepth);
    if (!hbmVirtual || width <= 0 || height <= 0) return 0;
    std::vector<uint8_t> data;
    try {
        data.assign((size_t)rowBytes * height + 32, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("Cannot allocate dataBits[]");
        return 0;
    }
    const uint32_t* pixels = SurfacePixels(hbmVirtual);
    int stride = SurfaceStride(hbmVirtual);
    for (int y = 0; y < height; y++) {
        const uint32_t* from = pixels + (size_t)(mapRect.top + y) * stride + mapRect.left;
        uint8_t* to = data.data() + (size_t)y * rowBytes;
        for (int x = 0; x < width; x++, to += 3) {
            to[0] = (uint8_t)from[x];
            to[1] = (uint8_t)(from[x] >> 8);
            to[2] = (uint8_t)(from[x] >> 16);
        }
    }
    uint8_t* tail = data.data() + (size_t)rowBytes * height;
    PutF64(tail, observedElevation.minimum);
    PutF64(tail + 8, observedElevation.maximum);
    PutF64(tail + 16, fixedElevation.minimum);
    PutF64(tail + 24, fixedElevation.maximum);
    // A scratch file: written anew without waiting for the disk; a short write removes it,
    // so a later load never sees a partial image.
    FILE* f = OpenFile(path.c_str(), "wb");
    if (!f) {
        ShowMessage("Cannot open file %s", path.c_str());
        return 0;
    }
    int ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) RemoveFile(path.c_str());
    return ok;
}

int LoadScreenCache() {
    int width, height, rowBytes;
    CacheSize(&width, &height, &rowBytes);
    if (!hbmVirtual || width <= 0 || height <= 0) return 0;
    size_t pixelBytes = (size_t)rowBytes * height;
    std::vector<uint8_t> data;
    if (!ReadWholeFile(ScreenCachePath(zoomDepth).c_str(), &data, pixelBytes + 32)) return 0;
    if (data.size() < pixelBytes) return 0;
    DrawBgrImage(hbmVirtual, mapRect.left, mapRect.top, data.data(), width, height, rowBytes);
    if (data.size() < pixelBytes + 32) return 0;
    ByteCursor c = MakeCursor(data.data() + pixelBytes, 32);
    observedElevation.minimum = ReadF64LE(c);
    observedElevation.maximum = ReadF64LE(c);
    fixedElevation.minimum = ReadF64LE(c);
    fixedElevation.maximum = ReadF64LE(c);
    return 1;
}
