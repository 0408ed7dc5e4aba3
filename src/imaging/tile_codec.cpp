// The vector-quantised tile codec: codebooks at three levels, fine tiles decoded one block
// row at a time, coarse rows read one at a time and unscrambled. The map composer, the terrain
// extraction, the flyby and the volume builder all go through these functions.
#include <cstring>
#include <new>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

Codebook8* codebook = nullptr;
Codebook16* codebookH = nullptr;
CodebookRGB* codebookRGB = nullptr;

// [SECTION] Codebook levels

// Level 1 value k is the mean of full values 4k..4k+3; level 2 the mean of the four level-1
// values. Signed means truncate toward zero, which C++ division does.
static void DeriveLevels16(const int16_t* level0, int entries, int16_t* level1, int16_t* level2) {
    for (int e = 0; e < entries; e++) {
        const int16_t* full = level0 + 16 * e;
        int sum2 = 0;
        for (int k = 0; k < 4; k++) {
            int sum = full[4 * k] + full[4 * k + 1] + full[4 * k + 2] + full[4 * k + 3];
            level1[4 * e + k] = (int16_t)(sum / 4);
            sum2 += level1[4 * e + k];
        }
        level2[e] = (int16_t)(sum2 / 4);
    }
}

int ParseCodebook16(const uint8_t* bytes, size_t size, int entries, int16_t* level0, int16_t* level1, int16_t* level2) {
    if (entries <= 0 || size < (size_t)entries * 32) return 0;
    for (int i = 0; i < entries * 16; i++) level0[i] = PeekI16LE(bytes + 2 * i);
    DeriveLevels16(level0, entries, level1, level2);
    return 1;
}

int ParseShadeCodebook(const uint8_t* bytes, size_t size, Codebook8* out) {
    int entries = size == 65536 ? 4096 : 2048;
    if (size < (size_t)entries * 16) return 0;
    memset(out->level0, 0, sizeof out->level0);
    memset(out->level1, 0, sizeof out->level1);
    memset(out->level2, 0, sizeof out->level2);
    memcpy(out->level0, bytes, (size_t)entries * 16);
    for (int e = 0; e < entries; e++) {
        const uint8_t* full = out->level0 + 16 * e;
        int sum2 = 0;
        for (int k = 0; k < 4; k++) {
            int sum = full[4 * k] + full[4 * k + 1] + full[4 * k + 2] + full[4 * k + 3];
            out->level1[4 * e + k] = (uint8_t)(sum >> 2);
            sum2 += out->level1[4 * e + k];
        }
        out->level2[e] = (uint8_t)(sum2 >> 2);
    }
    out->entries = entries;
    return 1;
}

// [SECTION] Codebook loading and release

// Reads a codebook file whole, first under the data root, then on the volume. Shows
// "Cannot open file %s" when neither opens; a file too short for its entries is refused
// with its own message.
static int ReadCodebookFile(const char* name, std::vector<uint8_t>* bytes) {
    FILE* f = OpenDataFile(name, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    int64_t length = OpenFileLength(f);
    if (length < 0 || length > (1 << 20)) {
        fclose(f);
        ShowMessage("Cannot read file %s", name);
        return 0;
    }
    bytes->resize((size_t)length);
    size_t got = length > 0 ? fread(bytes->data(), 1, (size_t)length, f) : 0;
    fclose(f);
    if (got != (size_t)length) {
        ShowMessage("Cannot read file %s", name);
        return 0;
    }
    return 1;
}

int LoadCodebook(const char* name) {
    if (codebook) {
        ShowMessage("codebook[] already allocated");
        return 0;
    }
    Codebook8* book = new (std::nothrow) Codebook8;
    if (!book) {
        ShowMessage("Cannot allocate codebook[]");
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!ReadCodebookFile(name, &bytes)) {
        delete book;
        return 0;
    }
    if (!ParseShadeCodebook(bytes.data(), bytes.size(), book)) {
        ShowMessage("Cannot read file %s", name);
        delete book;
        return 0;
    }
    codebook = book;
    return 1;
}

int LoadCodebookH(const char* name) {
    if (codebookH) {
        ShowMessage("codebookH[] already allocated");
        return 0;
    }
    Codebook16* book = new (std::nothrow) Codebook16;
    if (!book) {
        ShowMessage("Cannot allocate codebookH[]");
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!ReadCodebookFile(name, &bytes)) {
        delete book;
        return 0;
    }
    if (!ParseCodebook16(bytes.data(), bytes.size(), 4096, book->level0, book->level1, book->level2)) {
        ShowMessage("Cannot read file %s", name);
        delete book;
        return 0;
    }
    book->entries = 4096;
    codebookH = book;
    return 1;
}

int LoadCodebookRGB(const char* rgName, const char* bName) {
    if (codebookRGB) {
        ShowMessage("codebookRGB[] already allocated");
        return 0;
    }
    CodebookRGB* book = new (std::nothrow) CodebookRGB;
    if (!book) {
        ShowMessage("Cannot allocate codebookRGB[]");
        return 0;
    }
    std::vector<uint8_t> rg, b;
    int ok = ReadCodebookFile(rgName, &rg);
    if (ok && !ParseCodebook16(rg.data(), rg.size(), 2048, book->rg0, book->rg1, book->rg2)) {
        ShowMessage("Cannot read file %s", rgName);
        ok = 0;
    }
    ok = ok && ReadCodebookFile(bName, &b);
    if (ok && !ParseCodebook16(b.data(), b.size(), 1024, book->b0, book->b1, book->b2)) {
        ShowMessage("Cannot read file %s", bName);
        ok = 0;
    }
    if (!ok) {
        delete book;
        return 0;
    }
    codebookRGB = book;
    return 1;
}

int ReleaseCodebook() {
    if (!codebook) {
        ShowMessage("codebook[] already released");
        return 0;
    }
    delete codebook;
    codebook = nullptr;
    return 1;
}

int ReleaseCodebookH() {
    if (!codebookH) {
        ShowMessage("codebookH[] already released");
        return 0;
    }
    delete codebookH;
    codebookH = nullptr;
    return 1;
}

int ReleaseCodebookRGB() {
    if (!codebookRGB) {
        ShowMessage("codebookRGB[] already released");
        return 0;
    }
    delete codebookRGB;
    codebookRGB = nullptr;
    return 1;
}

// [SECTION] Fine tiles

static size_t FineFileSize(TileLayer layer) { return layer == kLayerColour ? kCvqFileSize : kVqcFileSize; }

int SetFineTileBytes(FineTile* tile, TileLayer layer, std::vector<uint8_t> bytes) {
    if (bytes.size() != FineFileSize(layer)) return 0;
    tile->layer = layer;
    tile->bytes = std::move(bytes);
    tile->decodedRow = -1;
    int channels = layer == kLayerColour ? 3 : 1;
    for (int ch = 0; ch < 3; ch++) tile->values[ch].assign(ch < channels ? 4 * kFineSamples : 0, 0);
    return 1;
}

int LoadFineTile(const char* name, TileLayer layer, FineTile* tile) {
    FILE* f = OpenDataFile(name, "rb");
    if (!f) return 0;
    std::vector<uint8_t> bytes;
    int ok = OpenFileLength(f) == (int64_t)FineFileSize(layer);
    if (ok) {
        bytes.resize(FineFileSize(layer));
        ok = fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    fclose(f);
    return ok && SetFineTileBytes(tile, layer, std::move(bytes));
}

void SetFineTileLevel(FineTile* tile, int level) {
    int clamped = level < 0 ? 0 : level > 2 ? 2 : level;
    if (clamped != tile->level) tile->decodedRow = -1;
    tile->level = clamped;
}

void FineBlockIndices(const FineTile* tile, int blockColumn, int blockRow, int index[3]) {
    index[0] = index[1] = index[2] = 0;
    if (blockColumn < 0 || blockColumn >= kFineBlocks || blockRow < 0 || blockRow >= kFineBlocks) return;
    if (tile->bytes.size() != FineFileSize(tile->layer)) return;
    if (tile->layer == kLayerColour) {
        uint32_t v = PeekU32LE(tile->bytes.data() + (size_t)blockRow * kCvqRowBytes + 4 * blockColumn);
        UnpackCvqRecord(v, &index[0], &index[1], &index[2]);
        return;
    }
    const uint8_t* group = tile->bytes.data() + (size_t)blockRow * kVqcRowBytes + 3 * (blockColumn / 2);
    int west, east;
    UnpackIndexPair(group, &west, &east);
    index[0] = blockColumn % 2 == 0 ? west : east;
}

// Copies one entry of edge x edge values to block column j of the decoded rows.
template <typename T>
static inline void PutEntry(const T* entry, int edge, int j, int16_t* rows) {
    if (sizeof(T) == 2 && edge == 4) {  // the common case: four rows of four values
        for (int y = 0; y < 4; y++) memcpy(rows + y * kFineSamples + 4 * j, entry + 4 * y, 8);
        return;
    }
    if (sizeof(T) == 2 && edge == 2) {
        memcpy(rows + 2 * j, entry, 4);
        memcpy(rows + kFineSamples + 2 * j, entry + 2, 4);
        return;
    }
    for (int y = 0; y < edge; y++) {
        int16_t* out = rows + y * kFineSamples + j * edge;
        const T* in = entry + y * edge;
        for (int x = 0; x < edge; x++) out[x] = (int16_t)in[x];
    }
}

static const int16_t* Level16(const int16_t* l0, const int16_t* l1, const int16_t* l2, int level) {
    return level == 0 ? l0 : level == 1 ? l1 : l2;
}

static void DecodeColourRow(FineTile* tile, int k) {
    int level = tile->level, edge = FineBlockEdge(level), size = edge * edge;
    const int16_t* rg = Level16(codebookRGB->rg0, codebookRGB->rg1, codebookRGB->rg2, level);
    const int16_t* b = Level16(codebookRGB->b0, codebookRGB->b1, codebookRGB->b2, level);
    const uint8_t* records = tile->bytes.data() + (size_t)k * kCvqRowBytes;
    int16_t* red = tile->values[0].data();
    int16_t* green = tile->values[1].data();
    int16_t* blue = tile->values[2].data();
    for (int j = 0; j < kFineBlocks; j++) {
        int ir, ig, ib;
        UnpackCvqRecord(PeekU32LE(records + 4 * j), &ir, &ig, &ib);
        PutEntry(rg + ir * size, edge, j, red);
        PutEntry(rg + ig * size, edge, j, green);
        PutEntry(b + ib * size, edge, j, blue);
    }
}

template <typename T>
static void DecodeIndexedRow(FineTile* tile, int k, const T* entries) {
    int edge = FineBlockEdge(tile->level), size = edge * edge;
    const uint8_t* groups = tile->bytes.data() + (size_t)k * kVqcRowBytes;
    int16_t* rows = tile->values[0].data();
    for (int g = 0; g < kFineBlocks / 2; g++) {
        int west, east;
        UnpackIndexPair(groups + 3 * g, &west, &east);
        PutEntry(entries + west * size, edge, 2 * g, rows);
        PutEntry(entries + east * size, edge, 2 * g + 1, rows);
    }
}

int DecodeFineBlockRow(FineTile* tile, int blockRow) {
    if (blockRow < 0 || blockRow >= kFineBlocks || tile->bytes.size() != FineFileSize(tile->layer)) return 0;
    int level = tile->level;
    switch (tile->layer) {
    case kLayerColour:
        if (!codebookRGB) {
            ShowMessage("codebookRGB[] not allocated yet");
            return 0;
        }
        if (tile->decodedRow != blockRow) DecodeColourRow(tile, blockRow);
        break;
    case kLayerHeight:
        if (!codebookH) {
            ShowMessage("codebookH[] not allocated yet");
            return 0;
        }
        if (tile->decodedRow != blockRow)
            DecodeIndexedRow(tile, blockRow, Level16(codebookH->level0, codebookH->level1, codebookH->level2, level));
        break;
    case kLayerShade:
        if (!codebook) {
            ShowMessage("codebook[] not allocated yet");
            return 0;
        }
        if (tile->decodedRow != blockRow) {
            const uint8_t* entries = level == 0 ? codebook->level0 : level == 1 ? codebook->level1 : codebook->level2;
            DecodeIndexedRow(tile, blockRow, entries);
        }
        break;
    }
    tile->decodedRow = blockRow;
    return 1;
}

int FineSample(FineTile* tile, int c, int r, int ch, int* value) {
    if (r < 0 || r >= kFineSamples || ch < 0 || ch > 2 || tile->values[ch].empty()) return 0;
    if (!DecodeFineBlockRow(tile, r / 4)) return 0;
    *value = tile->values[ch][FineValueRow(r, tile->level) * kFineSamples + FineValueColumn(c, tile->level)];
    return 1;
}

// [SECTION] Coarse tiles and their scrambling

// T is a permutation of 0..255 drawn by a fixed generator; the volume builder scrambles with
// the same table, so it never needs to be stored. It is made by the compiler: a table filled
// at start-up would read as zeros to any coarse read that comes first (another file's
// initialiser), which puts wrong samples on a diagonal of every tile.
struct ScrambleBytes {
    uint8_t table[256];
};

static constexpr ScrambleBytes MakeScrambleTable() {
    ScrambleBytes s{};
    for (int i = 0; i < 256; i++) s.table[i] = (uint8_t)i;
    uint32_t x = 0x4D554E44u;  // fixed seed
    for (int i = 255; i > 0; i--) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        int j = (int)(x % (uint32_t)(i + 1));
        uint8_t t = s.table[i];
        s.table[i] = s.table[j];
        s.table[j] = t;
    }
    return s;
}

static constexpr ScrambleBytes scramble = MakeScrambleTable();

const uint8_t* ScrambleTable() { return scramble.table; }

uint8_t ScrambleKey(int c, int r) {
    const uint8_t* T = scramble.table;
    int cm = c & 255, rm = r & 255;
    return (uint8_t)(cm ^ rm ^ T[cm] ^ T[T[cm]] ^ T[rm]);
}

void UnscrambleCoarseRow(int row, uint16_t samples[kCoarseSamples]) {
    if (row < 0) return;
    for (int c = row % 100; c < kCoarseSamples; c += 100) {
        uint8_t key = ScrambleKey(c, row);
        samples[c] ^= (uint16_t)(key | (key << 8));
    }
}

int ReadCoarseRow(FILE* f, int row, uint16_t out[kCoarseSamples]) {
    uint8_t bytes[kCoarseRowBytes];
    if (!f || row < 0 || row >= kCoarseSamples || fseek(f, (long)row * kCoarseRowBytes, SEEK_SET) != 0 ||
        fread(bytes, 1, sizeof bytes, f) != sizeof bytes) {
        memset(out, 0, kCoarseSamples * sizeof(uint16_t));
        return 0;
    }
    for (int c = 0; c < kCoarseSamples; c++) out[c] = PeekU16LE(bytes + 2 * c);
    UnscrambleCoarseRow(row, out);
    return 1;
}

int ReadCoarseRow(FILE* f, int row, int16_t out[kCoarseSamples]) {
    uint16_t samples[kCoarseSamples];
    int ok = ReadCoarseRow(f, row, samples);
    for (int c = 0; c < kCoarseSamples; c++) out[c] = (int16_t)samples[c];
    return ok;
}
