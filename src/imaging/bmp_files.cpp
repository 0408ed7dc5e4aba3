// BMP files of the data volume: 24-bit pictures loaded into surfaces (with gamma and the
// 640x480 fallbacks), backgrounds loaded into hbmVirtual, 8-bit pictures drawn through a
// caller's palette, and the window capture used by printing. Every header field is checked
// against the bytes actually present before a pixel is touched.
#include <cstring>
#include <string>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

// The layout of an information header that we accept, read field by field.
struct BmpInfo {
    int32_t width, height;
    int topDown;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t pixelOffset;  // from the start of the file
    size_t rowBytes;
};

// Reads the information header at `info` (the file after its 14-byte header) and checks that
// the pixel rows lie within `size` bytes of the file. Returns 0 for anything malformed.
static int ParseInfo(const uint8_t* afterFileHeader, size_t available, uint32_t pixelOffset, BmpInfo* out) {
    if (available < 40) return 0;
    ByteCursor c = MakeCursor(afterFileHeader, available);
    uint32_t headerSize = ReadU32LE(c);
    out->width = ReadI32LE(c);
    int32_t height = ReadI32LE(c);
    ReadU16LE(c);  // planes
    out->bitCount = ReadU16LE(c);
    out->compression = ReadU32LE(c);
    if (c.bad || headerSize < 40 || out->width <= 0 || height == 0 || height == INT32_MIN) return 0;
    if (out->width > 32768 || height > 32768 || height < -32768) return 0;
    if (out->bitCount != 8 && out->bitCount != 24) return 0;
    if (out->compression != 0) return 0;
    out->topDown = height < 0;
    out->height = height < 0 ? -height : height;
    out->pixelOffset = pixelOffset;
    out->rowBytes = (((size_t)out->width * out->bitCount + 31) / 32) * 4;
    if (pixelOffset < 14 + 40) return 0;
    size_t need = (size_t)(pixelOffset - 14) + out->rowBytes * (size_t)out->height;
    return need <= available;
}

// Row r counted from the top of the picture.
static const uint8_t* RowFromTop(const uint8_t* pixels, const BmpInfo& info, int r) {
    int stored = info.topDown ? r : info.height - 1 - r;
    return pixels + (size_t)stored * info.rowBytes;
}

int DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out) {
    if (size < 14 + 40 || data[0] != 'B' || data[1] != 'M') return 0;
    BmpInfo info;
    if (!ParseInfo(data + 14, size - 14, PeekU32LE(data + 10), &info)) return 0;
    const uint8_t* pixels = data + info.pixelOffset;
    const uint8_t* table = data + 14 + PeekU32LE(data + 14);
    if (info.bitCount == 8 && (size_t)(table - data) + 1024 > size) return 0;
    out->width = info.width;
    out->height = info.height;
    out->bitCount = info.bitCount;
    out->pixels.assign((size_t)info.width * info.height, 0);
    for (int r = 0; r < info.height; r++) {
        const uint8_t* row = RowFromTop(pixels, info, r);
        uint32_t* to = &out->pixels[(size_t)r * info.width];
        for (int x = 0; x < info.width; x++) {
            const uint8_t* b = info.bitCount == 24 ? row + 3 * x : table + 4 * row[x];
            to[x] = 0xFF000000u | ((uint32_t)b[2] << 16) | ((uint32_t)b[1] << 8) | b[0];
        }
    }
    return 1;
}

std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride) {
    size_t rowBytes = ((size_t)width * 3 + 3) & ~(size_t)3;
    size_t imageBytes = rowBytes * height;
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    WriteU8(out, 'B');
    WriteU8(out, 'M');
    WriteU32LE(out, (uint32_t)(54 + imageBytes));
    WriteU32LE(out, 0);
    WriteU32LE(out, 54);
    WriteU32LE(out, 40);
    WriteI32LE(out, width);
    WriteI32LE(out, height);
    WriteU16LE(out, 1);
    WriteU16LE(out, 24);
    WriteU32LE(out, 0);
    WriteU32LE(out, (uint32_t)imageBytes);
    WriteU32LE(out, 2835);
    WriteU32LE(out, 2835);
    WriteU32LE(out, 0);
    WriteU32LE(out, 0);
    for (int r = height - 1; r >= 0; r--) {
        const uint32_t* row = pixels + (size_t)r * stride;
        size_t start = out.size();
        for (int x = 0; x < width; x++) {
            WriteU8(out, (uint8_t)row[x]);
            WriteU8(out, (uint8_t)(row[x] >> 8));
            WriteU8(out, (uint8_t)(row[x] >> 16));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

// Opens a picture of the volume by the lookup order of the current layout.
static FILE* OpenPicture(const char* name) {
    std::string candidates[4];
    int n = 0;
    if (smallLayout) {
        candidates[n++] = DataRootPath((std::string("640\\") + name).c_str());
        candidates[n++] = std::string("640\\") + name;
    }
    candidates[n++] = DataRootPath(name);
    candidates[n++] = name;
    for (int i = 0; i < n; i++)
        if (FILE* f = OpenFile(candidates[i].c_str(), "rb")) return f;
    return nullptr;
}

// Reads the rest of a BMP file after its 14-byte header into a block of the file's length.
static int ReadAfterHeader(FILE* f, const uint8_t header[14], std::vector<uint8_t>* block) {
    int64_t length = OpenFileLength(f);
    if (length < 14 || length > (int64_t)512 << 20) return 0;
    block->assign((size_t)length, 0);
    uint32_t declared = PeekU32LE(header + 2);
    size_t want = declared >= 14 ? (size_t)declared - 14 : 0;
    if (want > (size_t)length - 14) want = (size_t)length - 14;
    size_t got = fread(block->data(), 1, want, f);
    block->resize(got);
    return 1;
}

static void ShowBitmapFailure() {
    // The picture's header promises more than the file holds or sizes no picture can have.
    ShowMessage("Cannot allocate *hBitmap, (0x%08x)", 0x57u);
    ShowMessage("%s", "The parameter is incorrect.");
}

int LoadBMPFromFile(const char* name, Surface** out) {
    *out = nullptr;
    FILE* f = OpenPicture(name);
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    uint8_t header[14];
    if (fread(header, 1, 14, f) != 14 || header[0] != 'B' || header[1] != 'M') {
        fclose(f);
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    std::vector<uint8_t> block;
    int read = ReadAfterHeader(f, header, &block);
    fclose(f);
    if (!read) {
        ShowMessage("Cannot allocate hGlobal (%s)", name);
        return 0;
    }
    uint16_t bitCount = block.size() >= 16 ? PeekU16LE(block.data() + 14) : 0;
    if (bitCount != 24) {
        ShowMessage("File %s is not a 24-bit file", name);
        return 0;
    }
    BmpInfo info;
    if (!ParseInfo(block.data(), block.size(), PeekU32LE(header + 10), &info)) {
        ShowBitmapFailure();
        return 0;
    }
    uint8_t* pixels = block.data() + (info.pixelOffset - 14);
    if (gammaTable.enabled) {
        size_t n = block.size() - (info.pixelOffset - 14);
        for (size_t i = 0; i < n; i++) pixels[i] = gammaTable.entry[pixels[i]];
    }
    Surface* s = CreateSurface(info.width, info.height);
    if (!s) {
        ShowMessage("Cannot allocate *hBitmap, (0x%08x)", 0x8u);
        ShowMessage("%s", "Not enough storage is available to process this command.");
        return 0;
    }
    uint32_t* to = SurfacePixels(s);
    int stride = SurfaceStride(s);
    for (int r = 0; r < info.height; r++) {
        const uint8_t* row = RowFromTop(pixels, info, r);
        uint32_t* line = to + (size_t)r * stride;
        for (int x = 0; x < info.width; x++)
            line[x] = 0xFF000000u | ((uint32_t)row[3 * x + 2] << 16) | ((uint32_t)row[3 * x + 1] << 8) | row[3 * x];
    }
    *out = s;
    return 1;
}

int LoadBMPToBackground(const char* name) {
    if (!hbmVirtual) {
        ShowMessage("hbmVirtual not allocated yet");
        return 0;
    }
    int previous = SetCursorShape(CURSOR_WAIT);
    Surface* picture;
    if (!LoadBMPFromFile(name, &picture)) {
        MessageBox("LoadBMPFromFile() == FALSE", "LoadBMPToBackground()", MB_OK);
        SetCursorShape(previous);
        return 0;
    }
    Blit(hbmVirtual, 0, 0, screenWidth, screenHeight, picture, 0, 0);
    DeleteSurface(picture);
    SetCursorShape(previous);
    return 1;
}

int Load8BitBMP(const ColourRef palette[256], const char* name, Bitmap8* out) {
    FILE* f = OpenFile(DataRootPath(name).c_str(), "rb");
    if (!f) f = OpenFile(name, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    uint8_t header[14];
    if (fread(header, 1, 14, f) != 14 || header[0] != 'B' || header[1] != 'M') {
        fclose(f);
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    int read = ReadAfterHeader(f, header, &out->loadBuf);
    fclose(f);
    if (!read) {
        ShowMessage("Cannot allocate loadBuf (%s)", name);
        return 0;
    }
    BmpInfo info;
    if (!ParseInfo(out->loadBuf.data(), out->loadBuf.size(), PeekU32LE(header + 10), &info) || info.bitCount != 8) {
        out->loadBuf.clear();
        ShowMessage("hBitmap == NULL");
        return 0;
    }
    out->width = info.width;
    out->height = info.height;
    out->pixels = out->loadBuf.data() + (info.pixelOffset - 14);
    out->bitmap = CreateSurface(info.width, info.height);
    if (!out->bitmap) {
        out->loadBuf.clear();
        ShowMessage("hBitmap == NULL");
        return 0;
    }
    for (int r = 0; r < info.height; r++)
        DrawPaletteImage(out->bitmap, 0, r, RowFromTop(out->pixels, info, r), info.width, 1, (int)info.rowBytes, palette);
    return 1;
}

void Release8BitBMP(Bitmap8* b) {
    if (b->bitmap) DeleteSurface(b->bitmap);
    b->bitmap = nullptr;
    b->loadBuf.clear();
    b->loadBuf.shrink_to_fit();
    b->pixels = nullptr;
}

int CaptureWindow(int fromWindow, int blackToWhite, std::vector<uint8_t>* out) {
    Surface* source = fromWindow ? WindowSurface() : hbmVirtual;
    if (!source) {
        ShowMessage("Cannot allocate newDC");
        return 0;
    }
    int previous = blackToWhite ? SetCursorShape(CURSOR_WAIT) : GetCursorShape();
    out->assign((size_t)kCaptureWidth * kCaptureHeight * 3, 0);
    int w = std::min(kCaptureWidth, SurfaceWidth(source)), h = std::min(kCaptureHeight, SurfaceHeight(source));
    for (int y = 0; y < h; y++) {
        uint8_t* row = out->data() + (size_t)(kCaptureHeight - 1 - y) * kCaptureWidth * 3;
        for (int x = 0; x < w; x++) {
            ColourRef c = GetPixel(source, x, y);
            if (blackToWhite && (c & 0xFFFFFF) == 0) c = MakeColour(255, 255, 255);
            row[3 * x] = (uint8_t)ColourBlue(c);
            row[3 * x + 1] = (uint8_t)ColourGreen(c);
            row[3 * x + 2] = (uint8_t)ColourRed(c);
        }
    }
    SetCursorShape(previous);
    return 1;
}
