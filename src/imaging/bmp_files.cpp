// BMP files of the data volume: the one parser of the format (ParseBmp, which the decoder,
// the loaders here and the pixel buffers all read through), 24-bit pictures loaded into
// surfaces (with gamma and the 640x480 fallbacks), backgrounds loaded into hbmVirtual, 8-bit
// pictures drawn through a caller's palette, and the window capture used by printing. Every
// header field is checked against the bytes actually present before a pixel is touched, and
// a refusal says what is wrong with the file.
#include <cerrno>
#include <cstring>
#include <string>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

// [SECTION] The one BMP parser: every reader of BMP files goes through ParseBmp

// Limits no picture of the volume comes near; they keep width x height x 3 far from overflow.
constexpr int32_t kMaxBmpSide = 32768;

static int Refuse(std::string* reason, const char* text) {
    if (reason) *reason = text;
    return 0;
}

static int RefuseNumber(std::string* reason, const char* format, long long value) {
    char text[96];
    snprintf(text, sizeof text, format, value);
    return Refuse(reason, text);
}

// The 12-byte core header: 16-bit sizes, rows always bottom-up, 3-byte colour entries.
static int ParseCoreHeader(const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason) {
    ByteCursor c = MakeCursor(rest, restSize);
    ReadU32LE(c);  // header size
    int width = ReadU16LE(c), height = ReadU16LE(c);
    ReadU16LE(c);  // planes
    uint16_t bitCount = ReadU16LE(c);
    if (c.bad) return Refuse(reason, "the file ends inside its information header");
    if (bitCount != 8 && bitCount != 24) return RefuseNumber(reason, "unsupported bit count %lld", bitCount);
    if (width == 0 || width > kMaxBmpSide) return RefuseNumber(reason, "width %lld out of range", width);
    if (height == 0 || height > kMaxBmpSide) return RefuseNumber(reason, "height %lld out of range", height);
    out->width = width;
    out->height = height;
    out->topDown = 0;
    out->bitCount = bitCount;
    out->tableEntries = bitCount == 8 ? 256 : 0;
    out->tableEntryBytes = 3;
    return 1;
}

// The 40-byte header and its longer successors.
static int ParseInfoHeader(const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason) {
    ByteCursor c = MakeCursor(rest, restSize);
    uint32_t headerSize = ReadU32LE(c);
    int32_t width = ReadI32LE(c);
    int32_t height = ReadI32LE(c);
    ReadU16LE(c);  // planes
    uint16_t bitCount = ReadU16LE(c);
    uint32_t compression = ReadU32LE(c);
    for (int i = 0; i < 3; i++) ReadU32LE(c);  // image size and resolution: not needed
    uint32_t coloursUsed = ReadU32LE(c);
    if (c.bad || restSize < 40) return Refuse(reason, "the file ends inside its information header");
    if (headerSize < 40) return RefuseNumber(reason, "information header of %lld bytes, fewer than 40", headerSize);
    if (bitCount != 8 && bitCount != 24) return RefuseNumber(reason, "unsupported bit count %lld", bitCount);
    if (compression != 0) return RefuseNumber(reason, "unsupported compression %lld", compression);
    if (width <= 0 || width > kMaxBmpSide) return RefuseNumber(reason, "width %lld out of range", width);
    if (height == 0 || height > kMaxBmpSide || height < -kMaxBmpSide) return RefuseNumber(reason, "height %lld out of range", height);
    out->width = width;
    out->height = height < 0 ? -height : height;
    out->topDown = height < 0;
    out->bitCount = bitCount;
    out->tableEntries = bitCount != 8 ? 0 : coloursUsed == 0 || coloursUsed > 256 ? 256 : (int)coloursUsed;
    out->tableEntryBytes = 4;
    return 1;
}

int ParseBmpHeaders(const uint8_t fileHeader[14], const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason) {
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return Refuse(reason, "the file does not begin with BM");
    uint32_t headerSize = restSize >= 4 ? PeekU32LE(rest) : 0;
    int ok = headerSize == 12 ? ParseCoreHeader(rest, restSize, out, reason) : ParseInfoHeader(rest, restSize, out, reason);
    if (!ok) return 0;
    out->headerSize = (int)headerSize;
    out->rowBytes = (((size_t)out->width * out->bitCount + 31) / 32) * 4;
    out->pixelOffset = PeekU32LE(fileHeader + 10);
    out->tableOffset = 14 + (size_t)headerSize;
    return 1;
}

int ParseBmp(const uint8_t fileHeader[14], const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason) {
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return Refuse(reason, "the file does not begin with BM");
    // Whole pictures are read with the 40-byte header or a longer one; only the globe's
    // imagery may come with the old 12-byte header, and its loader reads the headers alone.
    if (restSize >= 40 && PeekU32LE(rest) < 40)
        return RefuseNumber(reason, "information header of %lld bytes, fewer than 40", PeekU32LE(rest));
    if (restSize < 40) return Refuse(reason, "the file ends inside its information header");
    if (!ParseBmpHeaders(fileHeader, rest, restSize, out, reason)) return 0;
    size_t headersEnd = out->tableOffset;
    if (out->pixelOffset < headersEnd) return RefuseNumber(reason, "pixel data offset %lld lies inside the headers", (long long)out->pixelOffset);
    if ((size_t)out->headerSize > restSize) return Refuse(reason, "the file ends inside its information header");
    if (headersEnd - 14 + 4 * (size_t)out->tableEntries > restSize) return Refuse(reason, "the file ends inside its colour table");
    if (out->pixelOffset - 14 > restSize)
        return RefuseNumber(reason, "pixel data offset %lld lies beyond the end of the file", (long long)out->pixelOffset);
    size_t need = (size_t)(out->pixelOffset - 14) + out->rowBytes * (size_t)out->height;
    if (need > restSize) return Refuse(reason, "the file ends before its pixel rows");
    return 1;
}

const uint8_t* BmpRowFromTop(const uint8_t* rest, const BmpLayout& l, int r) {
    int stored = l.topDown ? r : l.height - 1 - r;
    return rest + (l.pixelOffset - 14) + (size_t)stored * l.rowBytes;
}

ColourRef BmpTableColour(const uint8_t* rest, const BmpLayout& l, int i) {
    if (i < 0 || i >= l.tableEntries) return MakeColour(0, 0, 0);
    const uint8_t* e = rest + (l.tableOffset - 14) + (size_t)l.tableEntryBytes * i;
    return MakeColour(e[2], e[1], e[0]);
}

int DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out, std::string* reason) {
    if (size < 14) return Refuse(reason, "the file ends inside its file header");
    BmpLayout l;
    const uint8_t* rest = data + 14;
    if (!ParseBmp(data, rest, size - 14, &l, reason)) return 0;
    out->width = l.width;
    out->height = l.height;
    out->bitCount = l.bitCount;
    out->pixels.assign((size_t)l.width * l.height, 0);
    for (int r = 0; r < l.height; r++) {
        const uint8_t* row = BmpRowFromTop(rest, l, r);
        uint32_t* to = &out->pixels[(size_t)r * l.width];
        for (int x = 0; x < l.width; x++) {
            ColourRef c = l.bitCount == 24 ? MakeColour(row[3 * x + 2], row[3 * x + 1], row[3 * x]) : BmpTableColour(rest, l, row[x]);
            to[x] = 0xFF000000u | ((uint32_t)ColourRed(c) << 16) | ((uint32_t)ColourGreen(c) << 8) | ColourBlue(c);
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

std::vector<uint8_t> EncodeBmp8(const uint8_t* indices, int width, int height, const std::vector<uint8_t>& paletteRgb) {
    uint32_t nColours = (uint32_t)(paletteRgb.size() / 3);
    uint32_t dataOffset = 14 + 40 + 4 * nColours;
    size_t rowBytes = ((size_t)width + 3) & ~(size_t)3;
    uint32_t imageBytes = (uint32_t)(rowBytes * height);
    std::vector<uint8_t> out;
    out.reserve(dataOffset + imageBytes);
    WriteU8(out, 'B');
    WriteU8(out, 'M');
    WriteU32LE(out, dataOffset + imageBytes);
    WriteU32LE(out, 0);
    WriteU32LE(out, dataOffset);
    WriteU32LE(out, 40);
    WriteI32LE(out, width);
    WriteI32LE(out, height);  // positive: bottom row first
    WriteU16LE(out, 1);
    WriteU16LE(out, 8);
    WriteU32LE(out, 0);  // no compression
    WriteU32LE(out, imageBytes);
    WriteU32LE(out, 2835);  // 72 dots per inch
    WriteU32LE(out, 2835);
    WriteU32LE(out, nColours);
    WriteU32LE(out, nColours);
    for (uint32_t j = 0; j < nColours; j++) {
        WriteU8(out, paletteRgb[j * 3 + 2]);
        WriteU8(out, paletteRgb[j * 3 + 1]);
        WriteU8(out, paletteRgb[j * 3]);
        WriteU8(out, 0);
    }
    for (int r = 0; r < height; r++) {
        const uint8_t* row = indices + (size_t)r * width;
        out.insert(out.end(), row, row + width);
        out.resize(out.size() + (rowBytes - width), 0);
    }
    return out;
}

// [SECTION] Loading pictures of the volume

// Opens the first candidate that opens. *failure is the first reason other than "no such
// file" met on the way (a file that is there but cannot be read), else 0.
static FILE* OpenFirst(const std::string* candidates, int n, int* failure) {
    *failure = 0;
    for (int i = 0; i < n; i++) {
        errno = 0;
        if (FILE* f = OpenFile(candidates[i].c_str(), "rb")) return f;
        if (!*failure && errno != 0 && errno != ENOENT) *failure = errno;
    }
    return nullptr;
}

// Opens a picture of the volume by the lookup order of the current layout.
static FILE* OpenPicture(const char* name, int* failure) {
    std::string candidates[4];
    int n = 0;
    if (smallLayout) {
        candidates[n++] = DataRootPath((std::string("640\\") + name).c_str());
        candidates[n++] = std::string("640\\") + name;
    }
    candidates[n++] = DataRootPath(name);
    candidates[n++] = name;
    return OpenFirst(candidates, n, failure);
}

static void ShowOpenFailure(const char* name, int failure) {
    ShowMessage("Cannot open file %s", name);
    if (failure) ShowMessage("%s", strerror(failure));
}

// The failure of a picture that opened but cannot be made, in two boxes: the error code and
// its text (at most 115 characters). Faults of the file's own layout carry EINVAL and say
// what is wrong with the file.
static void ShowBitmapFailure(int code, const std::string& text) {
    ShowMessage("Cannot allocate *hBitmap, (0x%08x)", (unsigned)code);
    ShowMessage("%s", text.substr(0, 115).c_str());
}

// Reads the 14-byte file header; 0 when the file is shorter or does not begin with "BM".
static int ReadFileHeader(FILE* f, uint8_t header[14]) {
    return fread(header, 1, 14, f) == 14 && header[0] == 'B' && header[1] == 'M';
}

enum { kReadDone = 1, kReadNoMemory = 0, kReadFailed = -1 };

// Reads the rest of a BMP file after its 14-byte header into a block of the file's length,
// as far as the header's file size says. A short file gives a short block (the parser then
// says what is missing); a failing read gives kReadFailed with errno in *error.
static int ReadAfterHeader(FILE* f, const uint8_t header[14], std::vector<uint8_t>* block, int* error) {
    int64_t length = OpenFileLength(f);
    if (length < 14 || length > (int64_t)512 << 20) return kReadNoMemory;
    block->assign((size_t)length, 0);
    uint32_t declared = PeekU32LE(header + 2);
    size_t want = declared >= 14 ? (size_t)declared - 14 : 0;
    if (want > (size_t)length - 14) want = (size_t)length - 14;
    errno = 0;
    size_t got = fread(block->data(), 1, want, f);
    if (got < want && ferror(f)) {
        *error = errno ? errno : EIO;
        return kReadFailed;
    }
    block->resize(got);
    return kReadDone;
}

int LoadBMPFromFile(const char* name, Surface** out) {
    *out = nullptr;
    int failure;
    FILE* f = OpenPicture(name, &failure);
    if (!f) {
        ShowOpenFailure(name, failure);
        return 0;
    }
    uint8_t header[14];
    if (!ReadFileHeader(f, header)) {
        fclose(f);
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    std::vector<uint8_t> block;
    int error = 0;
    int read = ReadAfterHeader(f, header, &block, &error);
    fclose(f);
    if (read == kReadNoMemory) {
        ShowMessage("Cannot allocate hGlobal (%s)", name);
        return 0;
    }
    if (read == kReadFailed) {
        ShowBitmapFailure(error, strerror(error));
        return 0;
    }
    if (block.size() >= 16 && PeekU16LE(block.data() + 14) != 24) {
        ShowMessage("File %s is not a 24-bit file", name);
        return 0;
    }
    BmpLayout l;
    std::string reason;
    if (!ParseBmp(header, block.data(), block.size(), &l, &reason)) {
        ShowBitmapFailure(EINVAL, reason);
        return 0;
    }
    uint8_t* pixels = block.data() + (l.pixelOffset - 14);
    if (gammaTable.enabled) {
        size_t n = block.size() - (l.pixelOffset - 14);
        for (size_t i = 0; i < n; i++) pixels[i] = gammaTable.entry[pixels[i]];
    }
    Surface* s = CreateSurface(l.width, l.height);
    if (!s) {
        ShowBitmapFailure(ENOMEM, strerror(ENOMEM));
        return 0;
    }
    uint32_t* to = SurfacePixels(s);
    int stride = SurfaceStride(s);
    for (int r = 0; r < l.height; r++) {
        const uint8_t* row = BmpRowFromTop(block.data(), l, r);
        uint32_t* line = to + (size_t)r * stride;
        for (int x = 0; x < l.width; x++)
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
    std::string candidates[2] = {DataRootPath(name), name};
    int failure;
    FILE* f = OpenFirst(candidates, 2, &failure);
    if (!f) {
        ShowOpenFailure(name, failure);
        return 0;
    }
    uint8_t header[14];
    if (!ReadFileHeader(f, header)) {
        fclose(f);
        ShowMessage("File %s is not a valid BMP file", name);
        return 0;
    }
    int error = 0;
    int read = ReadAfterHeader(f, header, &out->loadBuf, &error);
    fclose(f);
    if (read == kReadNoMemory) {
        ShowMessage("Cannot allocate loadBuf (%s)", name);
        return 0;
    }
    BmpLayout l;
    std::string reason = read == kReadFailed ? strerror(error) : "";
    if (read == kReadDone && ParseBmp(header, out->loadBuf.data(), out->loadBuf.size(), &l, &reason) && l.bitCount != 8)
        reason = "bit count 24 where a palette picture needs 8";
    if (!reason.empty()) {
        out->loadBuf.clear();
        ShowMessage("hBitmap == NULL");
        ShowMessage("%s", reason.c_str());
        return 0;
    }
    out->width = l.width;
    out->height = l.height;
    out->pixels = out->loadBuf.data() + (l.pixelOffset - 14);
    out->bitmap = CreateSurface(l.width, l.height);
    if (!out->bitmap) {
        out->loadBuf.clear();
        ShowMessage("hBitmap == NULL");
        ShowMessage("%s", strerror(ENOMEM));
        return 0;
    }
    for (int r = 0; r < l.height; r++)
        DrawPaletteImage(out->bitmap, 0, r, BmpRowFromTop(out->loadBuf.data(), l, r), l.width, 1, (int)l.rowBytes, palette);
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
