// The pixel buffer layer: up to 32 palette-indexed off-screen buffers with clipping, lines,
// image blocks and palettes. The flyby writes indices straight into buffer memory and pastes
// whole buffers to its surface once a frame.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"

struct PixelBuffer {
    int used = 0;
    int width = 0, height = 0;
    int minX = 0, maxX = -1, minY = 0, maxY = -1;  // clipping rectangle, inclusive
    ColourRef table[256];                            // the colour table written by open
    int tableHoldsIndices = 0;                       // opened in palette-index mode
    std::vector<uint8_t> pixels;
};

static struct {
    PixelBuffer buffers[kMaxPixelBuffers];
    int active = -1;
    Surface* target = nullptr;
    int x = 0, y = 0;
    uint8_t colour = 0;
    int indexMode = 0;
    ColourRef palette[256];
    ColourRef firstPalette[256];
    int paletteReplaced = 0;
} pb;

void PbInitialise() {
    for (PixelBuffer& b : pb.buffers) b = PixelBuffer();
    pb.active = -1;
    pb.target = nullptr;
    pb.x = pb.y = 0;
    pb.colour = 0;
    pb.indexMode = 0;
    pb.paletteReplaced = 0;
    for (int i = 0; i < 256; i++) pb.palette[i] = MakeColour(i, i, i);
}

void PbSetSurface(Surface* target) { pb.target = target; }
void PbSetPaletteIndexMode(int on) { pb.indexMode = on; }

int PbCreate(int width, int height) {
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return -1;
    for (int h = 0; h < kMaxPixelBuffers; h++) {
        PixelBuffer& b = pb.buffers[h];
        if (b.used) continue;
        b.used = 1;
        b.width = width;
        b.height = height;
        b.minX = 0, b.maxX = width - 1, b.minY = 0, b.maxY = height - 1;
        b.pixels.assign((size_t)width * height, 0);
        memcpy(b.table, pb.palette, sizeof b.table);
        return h;
    }
    return -1;
}

int PbActivate(int handle) {
    if (handle < 0 || handle >= kMaxPixelBuffers) return -1;
    if (!pb.buffers[handle].used) return -2;
    pb.active = handle;
    return 0;
}

static PixelBuffer* Active() { return pb.active >= 0 ? &pb.buffers[pb.active] : nullptr; }

void PbOpen() {
    PixelBuffer* b = Active();
    if (!b) return;
    // In palette-index mode the table holds indices into the palette realised at paste time,
    // so a palette set later recolours the next paste without opening the buffer again.
    b->tableHoldsIndices = pb.indexMode;
    for (int i = 0; i < 256; i++) b->table[i] = pb.indexMode ? (ColourRef)i : pb.palette[i];
}

uint8_t* PbAddress(int handle) {
    if (handle < 0 || handle >= kMaxPixelBuffers || !pb.buffers[handle].used) return nullptr;
    return pb.buffers[handle].pixels.data();
}

void PbSetClip(int minX, int maxX, int minY, int maxY) {
    PixelBuffer* b = Active();
    if (!b) return;
    b->minX = std::max(0, minX);
    b->maxX = std::min(b->width - 1, maxX);
    b->minY = std::max(0, minY);
    b->maxY = std::min(b->height - 1, maxY);
}

void PbMove(int x, int y) {
    pb.x = x;
    pb.y = y;
}

void PbSetColour(uint8_t index) { pb.colour = index; }

void PbPoint(int x, int y) {
    PixelBuffer* b = Active();
    if (!b || x < b->minX || x > b->maxX || y < b->minY || y > b->maxY) return;
    b->pixels[(size_t)y * b->width + x] = pb.colour;
}

void PbLineTo(int x, int y) {
    int x0 = pb.x, y0 = pb.y;
    int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        PbPoint(x0, y0);
        if (x0 == x && y0 == y) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
    pb.x = x;
    pb.y = y;
}

int PbNearestColour(int red, int green, int blue) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; i++) {
        ColourRef c = pb.palette[i];
        long dr = ColourRed(c) - red, dg = ColourGreen(c) - green, db = ColourBlue(c) - blue;
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {  // strict: the lower index keeps a tie
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// Draws an 8-bit BMP file into the active buffer with its top-left corner at the current
// position. With flags bit 1 the file's indices are used as they are; otherwise each colour
// of the file's table is mapped to the nearest colour of the current palette.
int PbLoadBMP(const char* name, int flags) {
    PixelBuffer* b = Active();
    if (!b) return 0;
    std::vector<uint8_t> bytes;
    std::string path = FindDataFile(name);
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes, 64u << 20)) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    BmpLayout l;
    std::string reason = bytes.size() < 14 ? "the file ends inside its file header" : "";
    if (reason.empty() && ParseBmp(bytes.data(), bytes.data() + 14, bytes.size() - 14, &l, &reason) && l.bitCount != 8)
        reason = "bit count 24 where a palette picture needs 8";
    if (!reason.empty()) {
        ShowMessage("File %s is not a valid BMP file", name);
        ShowMessage("%s", reason.c_str());
        return 0;
    }
    const uint8_t* rest = bytes.data() + 14;
    uint8_t map[256];
    for (int i = 0; i < 256; i++) {
        ColourRef c = BmpTableColour(rest, l, i);
        map[i] = (flags & 1) ? (uint8_t)i : (uint8_t)PbNearestColour(ColourRed(c), ColourGreen(c), ColourBlue(c));
    }
    uint8_t saved = pb.colour;
    for (int r = 0; r < l.height; r++) {
        const uint8_t* row = BmpRowFromTop(rest, l, r);
        for (int x = 0; x < l.width; x++) {
            pb.colour = map[row[x]];
            PbPoint(pb.x + x, pb.y + r);
        }
    }
    pb.colour = saved;
    return 1;
}

void PbGetImage(uint8_t* memory, int width, int height) {
    PixelBuffer* b = Active();
    if (!b) return;
    for (int r = 0; r < height; r++)
        for (int c = 0; c < width; c++) {
            int x = pb.x + c, y = pb.y + r;
            int inside = x >= 0 && y >= 0 && x < b->width && y < b->height;
            memory[(size_t)r * width + c] = inside ? b->pixels[(size_t)y * b->width + x] : 0;
        }
}

void PbPutImage(const uint8_t* memory, int width, int height) {
    uint8_t saved = pb.colour;
    for (int r = 0; r < height; r++)
        for (int c = 0; c < width; c++) {
            pb.colour = memory[(size_t)r * width + c];
            PbPoint(pb.x + c, pb.y + r);
        }
    pb.colour = saved;
}

// Nearest-sample resampling: index maps stay exact (no colours are blended).
void PbScaleImage(const uint8_t* source, uint8_t* target, int sourceWidth, int sourceHeight, int targetWidth, int targetHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) return;
    for (int r = 0; r < targetHeight; r++) {
        int sr = (int)((int64_t)r * sourceHeight / targetHeight);
        for (int c = 0; c < targetWidth; c++) {
            int sc = (int)((int64_t)c * sourceWidth / targetWidth);
            target[(size_t)r * targetWidth + c] = source[(size_t)sr * sourceWidth + sc];
        }
    }
}

void PbCopyRegion(int fromHandle, int minX, int maxX, int minY, int maxY, int toHandle, int x, int y) {
    if (!PbAddress(fromHandle) || !PbAddress(toHandle)) return;
    const PixelBuffer& from = pb.buffers[fromHandle];
    PixelBuffer& to = pb.buffers[toHandle];
    for (int r = minY; r <= maxY; r++)
        for (int c = minX; c <= maxX; c++) {
            int tx = x + (c - minX), ty = y + (r - minY);
            if (c < 0 || r < 0 || c >= from.width || r >= from.height) continue;
            if (tx < to.minX || tx > to.maxX || ty < to.minY || ty > to.maxY) continue;
            to.pixels[(size_t)ty * to.width + tx] = from.pixels[(size_t)r * from.width + c];
        }
}

void PbPaste(int minX, int maxX, int minY, int maxY, int x, int y) {
    PixelBuffer* b = Active();
    if (!b || !pb.target) return;
    minX = std::max(0, minX), minY = std::max(0, minY);
    maxX = std::min(b->width - 1, maxX), maxY = std::min(b->height - 1, maxY);
    if (maxX < minX || maxY < minY) return;
    int w = maxX - minX + 1, h = maxY - minY + 1;
    ColourRef colours[256];
    for (int i = 0; i < 256; i++) colours[i] = b->tableHoldsIndices ? pb.palette[b->table[i] & 255] : b->table[i];
    // (x, y) is where the rectangle's lower-left corner lands.
    DrawPaletteImage(pb.target, x, y - h + 1, b->pixels.data() + (size_t)minY * b->width + minX, w, h, b->width, colours);
}

void PbSetPalette(const ColourRef palette[256]) {
    if (!pb.paletteReplaced) {
        memcpy(pb.firstPalette, pb.palette, sizeof pb.palette);
        pb.paletteReplaced = 1;
    }
    memcpy(pb.palette, palette, sizeof pb.palette);
}

const ColourRef* PbCurrentPalette() { return pb.palette; }

void PbFree(int handle) {
    if (handle < 0 || handle >= kMaxPixelBuffers || handle == pb.active) return;
    pb.buffers[handle] = PixelBuffer();
}

void PbDeactivate() {
    pb.active = -1;
    for (const PixelBuffer& b : pb.buffers)
        if (b.used) return;
    if (pb.paletteReplaced) {
        memcpy(pb.palette, pb.firstPalette, sizeof pb.palette);
        pb.paletteReplaced = 0;
    }
}
