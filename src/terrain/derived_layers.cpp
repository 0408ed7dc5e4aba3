// Layers derived from a set's heights: smoothed heights (the mean over a disc of radius three
// cells), slope and aspect codes. Worked out on first demand, about 3.5 million additions and
// 120,000 squares for the 350 grid, and kept beside the set as ".ht2", ".slp" and ".asp".
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_set.h"
#include "terrain/terrain_set_internal.h"

// [SECTION] Slope and aspect of one square

void TerrainSlopeAspect(double q0, double q1, double q2, double q3, double d, double* slope, double* aspect) {
    double a = q0 - q2, b = q3 - q1;
    double g = std::sqrt(a * a + b * b) / (2 * d) * 100;
    if (std::fabs(g) < 0.001) *aspect = 0;
    else if (std::fabs(a) < 0.001) *aspect = b >= 0 ? 360 : 180;
    else if (a > 0) *aspect = 90 - std::atan(b / a) * 57.296;
    else *aspect = 270 - std::atan(b / a) * 57.296;

    const double q[4] = {q0, q1, q2, q3};
    if (q0 == q1 && q0 == q2 && q0 == q3) {
        *slope = 0;
        return;
    }
    int lo = 0, hi = 0;
    for (int i = 1; i < 4; i++) {
        if (q[i] < q[lo]) lo = i;
        if (q[i] > q[hi]) hi = i;
    }
    // Corners 0 and 2, and 1 and 3, lie across the diagonal.
    double run = (lo ^ hi) == 2 ? d * std::sqrt(2.0) : d;
    *slope = std::atan((q[hi] - q[lo]) / run) * 57.29577951308232;
}

static int ByteCode(double scaled) {
    if (!(scaled > 0)) return 0;   // negative or not a number
    if (scaled >= 255) return 255;
    return (int)scaled;
}

int TerrainSlopeCode(double slope) { return ByteCode(slope * 256 / kTerrainSlopeRange); }
int TerrainAspectCode(double aspect) { return ByteCode(aspect * 256 / 360); }

// [SECTION] The whole grid

double TerrainCellSize(int n) {
    int offset = n == 100 ? 32 : n == 150 ? 40 : n == 350 ? 48 : -1;
    uint8_t bytes[56];
    FILE* f = offset >= 0 ? OpenFile(TempPath("clip.zl").c_str(), "rb") : nullptr;
    if (!f) return kTerrainDefaultCellSize;
    size_t got = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    ByteCursor c = MakeCursor(bytes, got);
    const uint8_t* before;
    CursorTake(c, (size_t)offset, &before);
    double d = ReadF64LE(c);
    // A damaged file must not make every slope vertical or undefined.
    return c.bad || !std::isfinite(d) || d <= 0 ? kTerrainDefaultCellSize : d;
}

// Half-widths of the disc's rows, three rows above to three below: 29 cells in all.
static const int kDiscHalfWidth[7] = {0, 2, 2, 3, 2, 2, 0};

void SmoothTerrainHeights(const int16_t* heights, int n, int16_t* out) {
    // Sums along each row let every row of the disc be added in one subtraction.
    std::vector<int64_t> prefix((size_t)n * (n + 1));
    for (int r = 0; r < n; r++) {
        int64_t* p = &prefix[(size_t)r * (n + 1)];
        p[0] = 0;
        for (int c = 0; c < n; c++) p[c + 1] = p[c] + heights[(size_t)r * n + c];
    }
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            int64_t sum = 0, count = 0;
            for (int k = 0; k < 7; k++) {
                int row = y + k - 3;
                if (row < 0 || row >= n) continue;
                int x0 = std::max(x - kDiscHalfWidth[k], 0), x1 = std::min(x + kDiscHalfWidth[k], n - 1);
                const int64_t* p = &prefix[(size_t)row * (n + 1)];
                sum += p[x1 + 1] - p[x0];
                count += x1 - x0 + 1;
            }
            out[(size_t)y * n + x] = (int16_t)(sum / count);   // truncated toward zero
        }
}

void DeriveSlopeAspect(const int16_t* smoothed, int n, double d, uint8_t* slope, uint8_t* aspect) {
    auto h = [&](int x, int y) { return (double)smoothed[(size_t)y * n + x]; };
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            size_t at = (size_t)y * n + x;
            if (y == n - 1) {
                slope[at] = aspect[at] = 0;
            } else if (x == n - 1) {
                slope[at] = slope[at - 1], aspect[at] = aspect[at - 1];
            } else {
                double s, a;
                TerrainSlopeAspect(h(x, y), h(x + 1, y), h(x + 1, y + 1), h(x, y + 1), d, &s, &a);
                slope[at] = (uint8_t)TerrainSlopeCode(s);
                aspect[at] = (uint8_t)TerrainAspectCode(a);
            }
        }
}

static int WriteDerivedFile(const std::string& path, const void* data, size_t size) {
    if (WriteFileAtomically(path.c_str(), data, size)) return 1;
    ShowMessage("Cannot open file %s", path.c_str());
    return 0;
}

// Smoothed heights, then slopes and aspects, from the working copy of the heights.
static int DeriveFromHeights(int n, const int16_t* hts) {
    size_t cells = (size_t)n * n;
    std::vector<int16_t> smoothed(cells);
    SmoothTerrainHeights(hts, n, smoothed.data());
    std::vector<uint8_t> bytes;
    bytes.reserve(cells * 2);
    for (int16_t v : smoothed) WriteI16LE(bytes, v);
    if (!WriteDerivedFile(TerrainSetPath(n, "ht2"), bytes.data(), bytes.size())) return 0;
    std::vector<uint8_t> slope(cells), aspect(cells);
    DeriveSlopeAspect(smoothed.data(), n, TerrainCellSize(n), slope.data(), aspect.data());
    // ".slp" last: its presence tells that all three files are there.
    if (!WriteDerivedFile(TerrainSetPath(n, "asp"), aspect.data(), cells)) return 0;
    return WriteDerivedFile(TerrainSetPath(n, "slp"), slope.data(), cells);
}

int DeriveTerrainFiles(int n) {
    size_t cells = n > 0 && n <= 32768 ? (size_t)n * n : 0;
    int16_t* hts = cells ? (int16_t*)TerrainAllocate(cells * sizeof(int16_t)) : nullptr;
    if (!hts) {
        ShowMessage("Cannot allocate hts[]");
        return 0;
    }
    std::vector<uint8_t> bytes;
    int ok = ReadTerrainFile(TerrainSetPath(n, "hts"), cells, 2, &bytes);
    if (ok) {
        for (size_t i = 0; i < cells; i++) hts[i] = PeekI16LE(&bytes[2 * i]);
        ok = DeriveFromHeights(n, hts);
    }
    free(hts);
    return ok;
}

// The derived files are taken as they are when ".slp" exists with a cell for every cell of
// the grid; a missing or cut ".slp" is derived again.
static int DerivedFilesPresent(int n) {
    FILE* f = OpenFile(TerrainSetPath(n, "slp").c_str(), "rb");
    if (!f) return 0;
    int64_t length = OpenFileLength(f);
    fclose(f);
    return length == (int64_t)n * n;
}

int LoadTerrainDerivedLayers(int n) {
    if (terrainSet.derivedLoaded) return 1;
    if (!CheckTerrainGrid(n)) return 0;
    if (!DerivedFilesPresent(n) && !DeriveTerrainFiles(n)) return 0;
    const TerrainRows& rows = terrainBuffers.rows;
    if (!ReadTerrainByteLayer(rows.slope, TerrainSetPath(n, "slp"), n)) return 0;
    if (!ReadTerrainByteLayer(rows.aspect, TerrainSetPath(n, "asp"), n)) return 0;
    if (!ReadTerrainHeightLayer(rows.smoothed, TerrainSetPath(n, "ht2"), n)) return 0;
    terrainSet.derivedLoaded = 1;
    return 1;
}
