// The grids of a terrain set cut from the world's tiles by nearest sample: a base pass over the
// 60-degree tiles, then the 12-degree tiles' residuals and shades over it. Grids are at most
// 1280 x 1024 cells (350 x 350 in use); each tile row is read and each block row decoded once.
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "terrain/extraction_internal.h"
#include "terrain/terrain_extraction.h"

namespace {

struct Faults {
    int failAt = 0, count = 0;
} faults;

// A tile placed in the window's longitudes: shift is 0, or a full turn when the window reaches
// across the date line and the tile lies on its far side.
struct PlacedTile {
    int west, north;
    double shift;
};

// Output column and row of the grid to tile sample column and row; -1 outside the tile.
struct GridMapping {
    std::vector<int> col, row;
    double spanCols = 0, spanRows = 0;  // the window's extent in the tile's samples
};

// Tiles of `extent` degrees sharing a point with the window (borders included), west to east,
// each column north to south.
std::vector<PlacedTile> TilesUnder(const MapWindow& w, int extent, int columns, int rows) {
    std::vector<PlacedTile> tiles;
    for (double shift : {-360.0, 0.0, 360.0})
        for (int j = 0; j < columns; j++) {
            double west = -180 + extent * j + shift;
            if (west > w.east || west + extent < w.west) continue;
            for (int i = 0; i < rows; i++) {
                int north = 90 - extent * i;
                if (north < w.south || north - extent > w.north) continue;
                tiles.push_back(PlacedTile{-180 + extent * j, north, shift});
            }
        }
    return tiles;
}

// Sample s0 + i (s1 - s0) / cells for each cell i, truncated toward zero, so that -0.9 still
// reads sample 0.
void MapAxis(double s0, double s1, int cells, int n, std::vector<int>* out) {
    out->assign((size_t)cells, -1);
    for (int i = 0; i < cells; i++) {
        double s = s0 + i * (s1 - s0) / cells;
        if (s > -1.0 && s < n) (*out)[(size_t)i] = (int)s;
    }
}

void MapGrid(const MapWindow& w, const PlacedTile& t, int extent, int samples, int width, int height, GridMapping* m) {
    double west = t.west + t.shift;
    double c0 = (w.west - west) / extent * samples, c1 = (w.east - west) / extent * samples;
    double r0 = (t.north - w.north) / extent * samples, r1 = (t.north - w.south) / extent * samples;
    MapAxis(c0, c1, width, samples, &m->col);
    MapAxis(r0, r1, height, samples, &m->row);
    m->spanCols = c1 - c0;
    m->spanRows = r1 - r0;
}

// Half resolution when even the grid would skip three of every four samples on both axes,
// unless the caller asks for the full entries always.
int FineLevelFor(const GridMapping& m, int width, int height, int fullResolution) {
    if (fullResolution) return 0;
    return m.spanCols * 0.25 >= width && m.spanRows * 0.25 >= height ? 1 : 0;
}

int RefuseSize(int width, int height) {
    if (width > kTerrainMaxGridWidth || height > kTerrainMaxGridHeight || width <= 0 || height <= 0) {
        ShowMessage("Screen size too large");
        return 1;
    }
    return 0;
}

// [SECTION] Heights and shades

// The one walk over the 60-degree tiles of a layer under the window: every grid cell a tile
// covers gets put(cell index, sample), the tile's rows read once each into `row`.
template <typename Sample, typename Put>
static void CoarseTilePass(const MapWindow& w, TileLayer layer, int width, int height, Sample* row, Put put) {
    GridMapping m;
    for (const PlacedTile& t : TilesUnder(w, kCoarseDegrees, kCoarseTileColumns, kCoarseTileRows)) {
        FILE* f = OpenDataFile(TileNameCoarse(layer, t.west, t.north).c_str(), "rb");
        if (!f) continue;
        MapGrid(w, t, kCoarseDegrees, kCoarseSamples, width, height, &m);
        int lastRow = -1;
        for (int y = 0; y < height; y++) {
            int r = m.row[(size_t)y];
            if (r < 0) continue;
            if (r != lastRow) {
                ReadCoarseRow(f, r, row);
                lastRow = r;
            }
            size_t at = (size_t)y * width;
            for (int x = 0; x < width; x++)
                if (m.col[(size_t)x] >= 0) put(at + x, row[m.col[(size_t)x]]);
        }
        fclose(f);
    }
}

// Base heights of the 60-degree tiles into base (width x height).
void HeightBasePass(const MapWindow& w, int width, int height, int16_t* base, int16_t* row) {
    CoarseTilePass(w, kLayerHeight, width, height, row, [base](size_t at, int16_t v) { base[at] = v; });
}

// Heights (base plus residual) and shades of the 12-degree tiles; a tile missing either file
// contributes nothing. Without `shades` (sh null) only the height tiles are read.
void HeightFinePass(const MapWindow& w, int width, int height, int fullResolution, const int16_t* base, FineTile* hv,
                    FineTile* sh, int16_t* heights, uint8_t* shades) {
    GridMapping m;
    for (const PlacedTile& t : TilesUnder(w, kFineDegrees, kFineTileColumns, kFineTileRows)) {
        if (!LoadFineTile(TileNameFine(kLayerHeight, t.west, t.north).c_str(), kLayerHeight, hv) ||
            (sh && !LoadFineTile(TileNameFine(kLayerShade, t.west, t.north).c_str(), kLayerShade, sh)))
            continue;
        MapGrid(w, t, kFineDegrees, kFineSamples, width, height, &m);
        int level = FineLevelFor(m, width, height, fullResolution);
        SetFineTileLevel(hv, level);
        if (sh) SetFineTileLevel(sh, level);
        for (int y = 0; y < height; y++) {
            int r = m.row[(size_t)y];
            if (r < 0 || !DecodeFineBlockRow(hv, r / 4) || (sh && !DecodeFineBlockRow(sh, r / 4))) continue;
            size_t offset = (size_t)FineValueRow(r, level) * kFineSamples;
            const int16_t* residual = hv->values[0].data() + offset;
            const int16_t* shade = sh ? sh->values[0].data() + offset : nullptr;
            size_t at = (size_t)y * width;
            for (int x = 0; x < width; x++) {
                int c = m.col[(size_t)x];
                if (c < 0) continue;
                int v = FineValueColumn(c, level);
                heights[at + x] = (int16_t)(base[at + x] + residual[v]);
                if (shade) shades[at + x] = (uint8_t)shade[v];
            }
        }
    }
}

// [SECTION] Imagery

void ColourBasePass(const MapWindow& w, int width, int height, uint8_t* rgb, uint16_t* row) {
    CoarseTilePass(w, kLayerColour, width, height, row, [rgb](size_t at, uint16_t v) {
        Expand565(v, &rgb[3 * at], &rgb[3 * at + 1], &rgb[3 * at + 2]);
    });
}

void ColourFinePass(const MapWindow& w, int width, int height, int fullResolution, FineTile* cvq, uint8_t* rgb) {
    GridMapping m;
    for (const PlacedTile& t : TilesUnder(w, kFineDegrees, kFineTileColumns, kFineTileRows)) {
        if (!LoadFineTile(TileNameFine(kLayerColour, t.west, t.north).c_str(), kLayerColour, cvq)) continue;
        MapGrid(w, t, kFineDegrees, kFineSamples, width, height, &m);
        int level = FineLevelFor(m, width, height, fullResolution);
        SetFineTileLevel(cvq, level);
        for (int y = 0; y < height; y++) {
            int r = m.row[(size_t)y];
            if (r < 0 || !DecodeFineBlockRow(cvq, r / 4)) continue;
            size_t offset = (size_t)FineValueRow(r, level) * kFineSamples;
            uint8_t* out = rgb + (size_t)y * width * 3;
            for (int x = 0; x < width; x++) {
                int c = m.col[(size_t)x];
                if (c < 0) continue;
                size_t v = offset + FineValueColumn(c, level);
                for (int ch = 0; ch < 3; ch++) out[3 * x + ch] = AddResidual(out[3 * x + ch], cvq->values[ch][v]);
            }
        }
    }
}

}  // namespace

// [SECTION] Shared helpers

void FailTerrainAllocation(int nth) {
    faults.failAt = nth;
    faults.count = 0;
}

int TerrainAllocationFails() {
    if (!faults.failAt || ++faults.count != faults.failAt) return 0;
    faults.failAt = 0;
    return 1;
}

int WriteGridFile(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = OpenFile(path, "wb");
    int ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && fclose(f) != 0) ok = 0;
    if (!ok) {
        if (f) RemoveFile(path);
        ShowMessage("Cannot open file %s", path);
    }
    return ok;
}

// [SECTION] The two grid steps

int ExtractTerrainHeights(const MapWindow& area, const char* htsPath, const char* shaPath, int width, int height) {
    if (RefuseSize(width, height)) return 0;
    if (!codebook) {
        ShowMessage("codebook[] not allocated yet");
        return 0;
    }
    if (!codebookH) {
        ShowMessage("codebookH[] not allocated yet");
        return 0;
    }
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    size_t cells = (size_t)width * height;
    std::vector<int16_t> heights, base, row;
    std::vector<uint8_t> shades;
    std::vector<FineTile> tiles;  // the decoded block rows of the height and the shade tile
    int ok = TerrainAllocate(&heights, cells, "Cannot allocate dataBits[]") &&
             TerrainAllocate(&shades, cells, "Cannot allocate dataBits[]") &&
             TerrainAllocate(&tiles, 2, "Cannot allocate data[]") &&
             TerrainAllocate(&base, cells, "Cannot allocate row[]") &&
             TerrainAllocate(&row, (size_t)kCoarseSamples, "Cannot allocate row[]");
    if (ok) {
        MapWindow w = ExtractionWindow(area, width, height);
        HeightBasePass(w, width, height, base.data(), row.data());
        HeightFinePass(w, width, height, 0, base.data(), &tiles[0], &tiles[1], heights.data(), shades.data());
        std::vector<uint8_t> bytes;
        bytes.reserve(cells * 2);
        for (int16_t h : heights) WriteI16LE(bytes, h);
        ok = WriteGridFile(htsPath, bytes);
        if (ok && !(ok = WriteGridFile(shaPath, shades))) RemoveFile(htsPath);
    }
    SetCursorShape(previousCursor);
    return ok;
}

int ExtractTerrainImagery(const MapWindow& area, const char* rgbPath, int width, int height) {
    if (RefuseSize(width, height)) return 0;
    if (!codebookRGB) {
        ShowMessage("codebookRGB[] not allocated yet");
        return 0;
    }
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    std::vector<uint8_t> rgb;
    std::vector<uint16_t> row;
    std::vector<FineTile> tiles;
    int ok = TerrainAllocate(&rgb, (size_t)width * height * 3, "Cannot allocate dataBits[]") &&
             TerrainAllocate(&tiles, 1, "Cannot allocate data[]") &&
             TerrainAllocate(&row, (size_t)kCoarseSamples, "Cannot allocate row[]");
    if (ok) {
        MapWindow w = ExtractionWindow(area, width, height);
        ColourBasePass(w, width, height, rgb.data(), row.data());
        ColourFinePass(w, width, height, 0, &tiles[0], rgb.data());
        ok = WriteGridFile(rgbPath, rgb);
    }
    SetCursorShape(previousCursor);
    return ok;
}

// [SECTION] Grids in memory

int CutHeightGrid(const MapWindow& w, int width, int height, int fullResolution, int16_t* heights, uint8_t* shades) {
    if (width <= 0 || height <= 0 || !codebookH || (shades && !codebook)) return 0;
    try {
        std::vector<int16_t> base((size_t)width * height), row((size_t)kCoarseSamples);
        std::vector<FineTile> tiles(2);
        HeightBasePass(w, width, height, base.data(), row.data());
        HeightFinePass(w, width, height, fullResolution, base.data(), &tiles[0], shades ? &tiles[1] : nullptr, heights,
                       shades);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int CutColourGrid(const MapWindow& w, int width, int height, int fullResolution, uint8_t* rgb) {
    if (width <= 0 || height <= 0 || !codebookRGB) return 0;
    try {
        std::vector<uint16_t> row((size_t)kCoarseSamples);
        FineTile tile;
        ColourBasePass(w, width, height, rgb, row.data());
        ColourFinePass(w, width, height, fullResolution, &tile, rgb);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}
