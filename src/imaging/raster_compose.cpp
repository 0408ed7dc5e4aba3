// Raster map composition: chooses the layer for the map window and scale (world overviews,
// coarse 60-degree tiles, or fine 12-degree tiles over the coarse ones), resamples it to
// the map area by nearest sample and colours it for the background choice into 24-bit
// rows the caller draws. A 665x499 map reads at most a few coarse rows per output row and
// decodes each fine block row once.
#include "imaging/raster_compose.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/core.h"
#include "imaging/imaging.h"

namespace {

constexpr int kMaxOutputWidth = 1280, kMaxOutputHeight = 1024;
constexpr double kShadingFactor = 1.6;

// Working planes, one value a pixel: colour (red, green, blue), shade (shade), heights
// (height, shade). Pixels no source reaches stay 0 and end black.
struct Planes {
    int width = 0, height = 0;
    std::vector<int16_t> p[3];
    std::vector<uint8_t> interpolated;  // set where negative smoothing filled a pixel
    int16_t* row(int ch, int y) { return p[ch].data() + (size_t)y * width; }
};

// Sample columns and rows of one tile (or world file) for every output column and row;
// -1 where the pixel lies outside it. Valid columns form one run x0..x1-1, rows y0..y1-1.
struct TileMapping {
    std::vector<int> col, row;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    double spanCols = 0, spanRows = 0;  // the window's extent in this tile's samples
};

struct ProgressShare {
    int from = 0, to = 100;  // percent range of this pass
    int tiles = 1, done = 0;
    int every = 20;          // output rows between reports
};

struct TileRef {
    int west, north;
};

void Report(const ProgressShare& share, int y, int rows) {
    double within = rows > 0 ? (double)y / rows : 0.0;
    double part = (share.done + within) / (share.tiles > 0 ? share.tiles : 1);
    ProgressIndicator(0, share.from + (int)((share.to - share.from) * part));
}

void MapAxis(double s0, double s1, int pixels, int n, std::vector<int>* out, int* first, int* last) {
    out->assign((size_t)pixels, -1);
    *first = pixels;
    *last = 0;
    for (int i = 0; i < pixels; i++) {
        double s = (double)i / pixels * (s1 - s0) + s0;
        if (!(s > -1.0) || s >= n) continue;  // truncation toward zero keeps (-1, 0) at 0
        (*out)[(size_t)i] = (int)s;
        if (i < *first) *first = i;
        *last = i + 1;
    }
    if (*first >= *last) *first = *last = 0;
}

// Tile of extent ex x ey degrees with nx x ny samples, north-west corner (west, north).
void MapTile(const ComposeRequest& q, double west, double north, double ex, double ey, int nx, int ny, TileMapping* m) {
    double sWest = (q.west - west) / ex * nx, sEast = (q.east - west) / ex * nx;
    double sNorth = (north - q.north) / ey * ny, sSouth = (north - q.south) / ey * ny;
    MapAxis(sWest, sEast, q.width, nx, &m->col, &m->x0, &m->x1);
    MapAxis(sNorth, sSouth, q.height, ny, &m->row, &m->y0, &m->y1);
    m->spanCols = fabs(sEast - sWest);
    m->spanRows = fabs(sSouth - sNorth);
}

// Tiles of a layer that share any point with the window (edges inclusive), west to east,
// each column north to south.
std::vector<TileRef> TilesInWindow(const ComposeRequest& q, int extent, int columns, int rows) {
    std::vector<TileRef> tiles;
    for (int j = 0; j < columns; j++) {
        int west = -180 + extent * j;
        if (west > q.east || west + extent < q.west) continue;
        for (int i = 0; i < rows; i++) {
            int north = 90 - extent * i;
            if (north < q.south || north - extent > q.north) continue;
            tiles.push_back(TileRef{west, north});
        }
    }
    return tiles;
}

int AllocatePlanes(Planes* pl, int width, int height, int channels) {
    try {
        pl->width = width;
        pl->height = height;
        for (int ch = 0; ch < 3; ch++) pl->p[ch].assign(ch < channels ? (size_t)width * height : 0, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("Cannot allocate dataBits[]");
        return 0;
    }
    return 1;
}

// [SECTION] Smoothing of magnified fine tiles

// Output positions where the source index has moved by more than n samples since the last
// counted change; only where one sample covers several pixels.
std::vector<int> Anchors(const std::vector<int>& index, int from, int to, int n, int magnified) {
    std::vector<int> anchors;
    if (!magnified) return anchors;
    int last = 0;
    for (int i = from; i < to; i++) {
        int s = index[(size_t)i];
        if (s < 0) continue;
        if (anchors.empty() || abs(s - last) > n) {
            anchors.push_back(i);
            last = s;
        }
    }
    return anchors;
}

void Smooth(Planes* pl, const TileMapping& m, int smoothing, int channels) {
    int n = abs(smoothing);
    std::vector<int> ax = Anchors(m.col, m.x0, m.x1, n, m.spanCols < pl->width);
    std::vector<int> ay = Anchors(m.row, m.y0, m.y1, n, m.spanRows < pl->height);
    if (smoothing < 0 && pl->interpolated.empty()) pl->interpolated.assign((size_t)pl->width * pl->height, 0);
    for (size_t k = 0; k + 1 < ax.size(); k++) {
        int a = ax[k], b = ax[k + 1];
        if (b - a < 2) continue;
        for (int y = m.y0; y < m.y1; y++) {
            if (m.row[(size_t)y] < 0) continue;
            for (int ch = 0; ch < channels; ch++) {
                int16_t* r = pl->row(ch, y);
                int va = r[a], vb = r[b];
                for (int x = a + 1; x < b; x++) r[x] = (int16_t)(va + (vb - va) * (x - a) / (b - a));
            }
            if (smoothing < 0)
                for (int x = a + 1; x < b; x++) pl->interpolated[(size_t)y * pl->width + x] = 1;
        }
    }
    for (size_t k = 0; k + 1 < ay.size(); k++) {
        int a = ay[k], b = ay[k + 1];
        if (b - a < 2) continue;
        for (int ch = 0; ch < channels; ch++) {
            const int16_t* ra = pl->row(ch, a);
            const int16_t* rb = pl->row(ch, b);
            for (int y = a + 1; y < b; y++) {
                int16_t* r = pl->row(ch, y);
                for (int x = m.x0; x < m.x1; x++) r[x] = (int16_t)(ra[x] + (rb[x] - ra[x]) * (y - a) / (b - a));
            }
        }
        if (smoothing < 0)
            for (int y = a + 1; y < b; y++)
                for (int x = m.x0; x < m.x1; x++) pl->interpolated[(size_t)y * pl->width + x] = 1;
    }
}

// [SECTION] Coarse tiles

// Colour (layer colour: red, green, blue planes) or heights (plane 0).
void CoarsePass(const ComposeRequest& q, TileLayer layer, Planes* pl, ProgressShare share, int zeroAsOne) {
    std::vector<TileRef> tiles = TilesInWindow(q, kCoarseDegrees, kCoarseTileColumns, kCoarseTileRows);
    share.tiles = std::max(1, (int)tiles.size());
    TileMapping m;
    static uint16_t samples[kCoarseSamples];
    for (const TileRef& t : tiles) {
        FILE* f = OpenDataFile(TileNameCoarse(layer, t.west, t.north).c_str(), "rb");
        if (f) {
            MapTile(q, t.west, t.north, kCoarseDegrees, kCoarseDegrees, kCoarseSamples, kCoarseSamples, &m);
            int lastRow = -1;
            for (int y = m.y0; y < m.y1; y++) {
                if ((y - m.y0) % share.every == 0) Report(share, y - m.y0, m.y1 - m.y0);
                int r = m.row[(size_t)y];
                if (r < 0) continue;
                if (r != lastRow) {
                    ReadCoarseRow(f, r, samples);
                    lastRow = r;
                }
                const int* col = m.col.data();
                if (layer == kLayerColour) {
                    int16_t *red = pl->row(0, y), *green = pl->row(1, y), *blue = pl->row(2, y);
                    for (int x = m.x0; x < m.x1; x++) {
                        uint16_t v = samples[col[x]];
                        red[x] = (int16_t)((v >> 11) << 3);
                        green[x] = (int16_t)(((v >> 5) & 63) << 2);
                        blue[x] = (int16_t)((v & 31) << 3);
                    }
                } else {
                    int16_t* height = pl->row(0, y);
                    for (int x = m.x0; x < m.x1; x++) {
                        int16_t h = (int16_t)samples[col[x]];
                        height[x] = zeroAsOne && h == 0 ? 1 : h;
                    }
                }
            }
            fclose(f);
        }
        share.done++;
    }
}

// [SECTION] World files read by rows: "shadow.8", "shadow.top", "hts.top", "rgb2.top"

struct WorldFile {
    const char* name;
    int width, height, bytesPerSample;
};
constexpr WorldFile kShade8{"raster\\shadow\\shadow.8", kShade8Width, kShade8Height, 1};
constexpr WorldFile kShadeTop{"raster\\shadow\\shadow.top", kTopWidth, kTopHeight, 1};
constexpr WorldFile kHeightTop{"raster\\hts\\hts.top", kTopWidth, kTopHeight, 2};
constexpr WorldFile kColourTop{"raster\\rgb\\rgb2.top", kRgbTopWidth, kRgbTopHeight, 3};

// Reads the world file's samples into plane ch (for colour, planes 0-2) for every mapped
// pixel. A missing file leaves the planes as they are.
void WorldPass(const ComposeRequest& q, const WorldFile& file, Planes* pl, int ch, ProgressShare share) {
    FILE* f = OpenDataFile(file.name, "rb");
    if (!f) return;
    TileMapping m;
    MapTile(q, -180.0, 90.0, 360.0, 180.0, file.width, file.height, &m);
    std::vector<uint8_t> bytes((size_t)file.width * file.bytesPerSample);
    int lastRow = -1;
    for (int y = m.y0; y < m.y1; y++) {
        if ((y - m.y0) % share.every == 0) Report(share, y - m.y0, m.y1 - m.y0);
        int r = m.row[(size_t)y];
        if (r < 0) continue;
        if (r != lastRow) {
            lastRow = r;
            if (fseek(f, (long)r * (long)bytes.size(), SEEK_SET) != 0 || fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
                std::fill(bytes.begin(), bytes.end(), 0);
        }
        const int* col = m.col.data();
        if (file.bytesPerSample == 1) {
            int16_t* out = pl->row(ch, y);
            for (int x = m.x0; x < m.x1; x++) out[x] = bytes[(size_t)col[x]];
        } else if (file.bytesPerSample == 2) {
            int16_t* out = pl->row(ch, y);
            for (int x = m.x0; x < m.x1; x++) {
                const uint8_t* b = &bytes[(size_t)col[x] * 2];
                out[x] = (int16_t)(b[0] | (b[1] << 8));
            }
        } else {
            int16_t *red = pl->row(0, y), *green = pl->row(1, y), *blue = pl->row(2, y);
            for (int x = m.x0; x < m.x1; x++) {
                const uint8_t* b = &bytes[(size_t)col[x] * 3];
                red[x] = b[0];
                green[x] = b[1];
                blue[x] = b[2];
            }
        }
    }
    fclose(f);
}

// [SECTION] Fine tiles

int FineLevel(const TileMapping& m, const Planes& pl) {
    return m.spanCols >= 4.0 * pl.width && m.spanRows >= 4.0 * pl.height ? 1 : 0;
}

// Colour residuals over the coarse colour already in the planes.
int FineColourPass(const ComposeRequest& q, Planes* pl, ProgressShare share) {
    std::vector<TileRef> tiles = TilesInWindow(q, kFineDegrees, kFineTileColumns, kFineTileRows);
    share.tiles = std::max(1, (int)tiles.size());
    FineTile tile;
    TileMapping m;
    for (const TileRef& t : tiles) {
        if (LoadFineTile(TileNameFine(kLayerColour, t.west, t.north).c_str(), kLayerColour, &tile)) {
            MapTile(q, t.west, t.north, kFineDegrees, kFineDegrees, kFineSamples, kFineSamples, &m);
            int level = FineLevel(m, *pl);
            SetFineTileLevel(&tile, level);
            for (int y = m.y0; y < m.y1; y++) {
                if ((y - m.y0) % share.every == 0) Report(share, y - m.y0, m.y1 - m.y0);
                int r = m.row[(size_t)y];
                if (r < 0) continue;
                if (!DecodeFineBlockRow(&tile, r / 4)) return 0;
                size_t offset = (size_t)FineValueRow(r, level) * kFineSamples;
                for (int ch = 0; ch < 3; ch++) {
                    const int16_t* residual = tile.values[ch].data() + offset;
                    int16_t* out = pl->row(ch, y);
                    for (int x = m.x0; x < m.x1; x++) out[x] = AddResidual(out[x], residual[FineValueColumn(m.col[(size_t)x], level)]);
                }
            }
            if (q.smoothing && level == 0) Smooth(pl, m, q.smoothing, 3);
        }
        share.done++;
    }
    return 1;
}

// Fine shade alone (shadeCh = 0), or height residuals into plane 0 with the shade into plane 1.
int FineHeightShadePass(const ComposeRequest& q, Planes* pl, int withHeights, ProgressShare share) {
    std::vector<TileRef> tiles = TilesInWindow(q, kFineDegrees, kFineTileColumns, kFineTileRows);
    share.tiles = std::max(1, (int)tiles.size());
    FineTile shade, heights;
    TileMapping m;
    int shadeCh = withHeights ? 1 : 0;
    for (const TileRef& t : tiles) {
        int opened = LoadFineTile(TileNameFine(kLayerShade, t.west, t.north).c_str(), kLayerShade, &shade);
        if (opened && withHeights)
            opened = LoadFineTile(TileNameFine(kLayerHeight, t.west, t.north).c_str(), kLayerHeight, &heights);
        if (opened) {
            MapTile(q, t.west, t.north, kFineDegrees, kFineDegrees, kFineSamples, kFineSamples, &m);
            int level = FineLevel(m, *pl);
            SetFineTileLevel(&shade, level);
            if (withHeights) SetFineTileLevel(&heights, level);
            for (int y = m.y0; y < m.y1; y++) {
                if ((y - m.y0) % share.every == 0) Report(share, y - m.y0, m.y1 - m.y0);
                int r = m.row[(size_t)y];
                if (r < 0) continue;
                if (!DecodeFineBlockRow(&shade, r / 4)) return 0;
                if (withHeights && !DecodeFineBlockRow(&heights, r / 4)) return 0;
                size_t offset = (size_t)FineValueRow(r, level) * kFineSamples;
                const int16_t* s = shade.values[0].data() + offset;
                int16_t* outShade = pl->row(shadeCh, y);
                for (int x = m.x0; x < m.x1; x++) outShade[x] = s[FineValueColumn(m.col[(size_t)x], level)];
                if (withHeights) {
                    const int16_t* h = heights.values[0].data() + offset;
                    int16_t* out = pl->row(0, y);
                    for (int x = m.x0; x < m.x1; x++) out[x] = (int16_t)(out[x] + h[FineValueColumn(m.col[(size_t)x], level)]);
                }
            }
            if (q.smoothing && level == 0) Smooth(pl, m, q.smoothing, withHeights ? 2 : 1);
        }
        share.done++;
    }
    return 1;
}

// [SECTION] Colouring

enum Colouring { kColourPlanes, kGreyShade, kSilhouette, kHeightsShaded, kHeightsFlat };

uint8_t Gamma(int v) { return GammaLookup((uint8_t)v); }

inline uint8_t Clamp255(int v) { return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v); }

void PutPixel(uint8_t* o, int red, int green, int blue) {
    o[0] = Gamma(Clamp255(blue));
    o[1] = Gamma(Clamp255(green));
    o[2] = Gamma(Clamp255(red));
}

// Heights: the ramp index of every 16-bit height over the colouring range, computed once a
// composition so that each pixel is a lookup; shades: the darkening factor of each shade.
struct HeightColouring {
    std::vector<uint8_t> index;  // by height + 32768
    double shadeFactor[256];
};

void PrepareHeightColouring(HeightColouring* h) {
    const ElevationRange& range = fixedElevationRange ? fixedElevation : observedElevation;
    int low = (int)range.minimum, high = (int)range.maximum;
    double span = high != low ? (double)(high - low) : 1.0;
    h->index.resize(65536);
    for (int v = -32768; v <= 32767; v++) {
        int i = (int)((v - low) / span * 256.0);
        h->index[(size_t)(v + 32768)] = (uint8_t)(i < 0 ? 0 : i > 255 ? 255 : i);
    }
    for (int s = 0; s < 256; s++) h->shadeFactor[s] = s / 256.0 * kShadingFactor;
}

void Colourise(const Planes& pl, int colouring, const ColourRef* ramp, int rowBytes, std::vector<uint8_t>* out) {
    HeightColouring heights;
    if (colouring == kHeightsShaded || colouring == kHeightsFlat) PrepareHeightColouring(&heights);
    for (int y = 0; y < pl.height; y++) {
        uint8_t* o = out->data() + (size_t)y * rowBytes;
        const int16_t* a = pl.p[0].data() + (size_t)y * pl.width;
        const int16_t* b = pl.p[1].empty() ? nullptr : pl.p[1].data() + (size_t)y * pl.width;
        const int16_t* c = pl.p[2].empty() ? nullptr : pl.p[2].data() + (size_t)y * pl.width;
        switch (colouring) {
        case kColourPlanes:
            for (int x = 0; x < pl.width; x++) PutPixel(o + 3 * x, a[x], b[x], c[x]);
            break;
        case kGreyShade:
            for (int x = 0; x < pl.width; x++) PutPixel(o + 3 * x, a[x], a[x], a[x]);
            break;
        case kSilhouette:
            for (int x = 0; x < pl.width; x++) {
                int v = a[x] ? 64 : 0;
                PutPixel(o + 3 * x, v, v, v);
            }
            break;
        default:
            for (int x = 0; x < pl.width; x++) {
                int s = b[x];
                if (s == 0) {
                    PutPixel(o + 3 * x, 0, 0, 0);
                    continue;
                }
                ColourRef colour = ramp[heights.index[(size_t)(a[x] + 32768)]];
                int red = ColourRed(colour), green = ColourGreen(colour), blue = ColourBlue(colour);
                if (colouring == kHeightsShaded) {
                    double f = heights.shadeFactor[s & 255];
                    red = (int)(red * f), green = (int)(green * f), blue = (int)(blue * f);
                }
                PutPixel(o + 3 * x, red, green, blue);
            }
        }
        // Negative smoothing shows where it interpolated: those pixels keep only their red.
        if (!pl.interpolated.empty()) {
            const uint8_t* marked = pl.interpolated.data() + (size_t)y * pl.width;
            for (int x = 0; x < pl.width; x++)
                if (marked[x]) o[3 * x] = o[3 * x + 1] = Gamma(0);
        }
    }
}

// The elevation ramp of the last scale that loaded. A scale that cannot be read leaves it
// as it was, so the heights keep their colours after the message. Before any scale has
// loaded the ramp is a grey wedge (dark for low, light for high): the relief stays readable
// instead of turning black.
struct Ramp {
    int loaded = 0;
    ColourRef colour[256];
};
Ramp elevationRamp;

const ColourRef* LoadRamp() {
    if (!elevationRamp.loaded)
        for (int i = 0; i < 256; i++) elevationRamp.colour[i] = MakeColour(i, i, i);
    std::string path = ElevationScalePath();
    if (PaletteFromScale(path.c_str(), 256, !fixedElevationRange, elevationRamp.colour)) elevationRamp.loaded = 1;
    return elevationRamp.colour;
}

}  // namespace

int ComposeRaster(const ComposeRequest& q, std::vector<uint8_t>* bgrRows, int* source) {
    *source = kSourceNone;
    int rounded = (q.width + 3) & ~3;
    if (q.width <= 0 || q.height <= 0 || rounded > kMaxOutputWidth || q.height > kMaxOutputHeight) {
        ShowMessage("Screen size too large");
        return 0;
    }
    // Kept between compositions: the map area rarely changes size, so no page is faulted in again.
    static Planes pl;
    pl.interpolated.clear();
    try {
        bgrRows->assign((size_t)rounded * 3 * q.height, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("Cannot allocate dataBits[]");
        return 0;
    }
    int heights = q.background == 2 || q.background == 4;
    if (!AllocatePlanes(&pl, q.width, q.height, q.background == 0 ? 3 : heights ? 2 : 1)) return 0;
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    double widthKm = fabs((q.east - q.west) / 360.0 * 40020.0), heightKm = fabs((q.north - q.south) / 180.0 * 20040.0);
    const ColourRef* ramp = heights ? LoadRamp() : nullptr;
    ProgressShare all, firstHalf, secondHalf;
    firstHalf.to = 50;
    secondHalf.from = 50;
    int ok = 1, colouring = kColourPlanes;
    if (q.background == 0) {
        if (fabs((q.east - q.west) / 360.0 * 1600.0) * 2.5 >= q.width && fabs((q.north - q.south) / 180.0 * 1200.0) * 2.5 >= q.height) {
            ProgressShare overview;
            overview.every = 25;
            WorldPass(q, kColourTop, &pl, 0, overview);
            *source = kSourceOverview;
        } else if (widthKm / 4 >= q.width && heightKm / 4 >= q.height) {
            CoarsePass(q, kLayerColour, &pl, all, 0);
            *source = kSourceCoarse;
        } else {
            ok = LoadCodebookRGB("raster\\rgb\\rg_2048.cod", "raster\\rgb\\b_1024.cod");
            if (ok) {
                CoarsePass(q, kLayerColour, &pl, firstHalf, 0);
                ok = FineColourPass(q, &pl, secondHalf);
                ReleaseCodebookRGB();
            }
            *source = kSourceFine;
        }
    } else {
        colouring = q.background == 1 ? kGreyShade : q.background == 3 ? kSilhouette : q.background == 2 ? kHeightsShaded : kHeightsFlat;
        int shadeCh = heights ? 1 : 0;
        if (q.wholeWorld) {
            ProgressShare overview;
            overview.every = 25;
            if (heights) WorldPass(q, kHeightTop, &pl, 0, overview);
            WorldPass(q, kShadeTop, &pl, shadeCh, overview);
            *source = kSourceOverview;
        } else if (widthKm / 8 >= q.width && heightKm / 8 >= q.height) {
            if (heights) CoarsePass(q, kLayerHeight, &pl, firstHalf, 1);
            ProgressShare shade = heights ? secondHalf : all;
            WorldPass(q, kShade8, &pl, shadeCh, shade);
            *source = kSourceCoarse;
        } else {
            ok = LoadCodebook("raster\\shadow\\shadow.cod");
            if (ok && heights && !LoadCodebookH("raster\\hts\\hts_4096.cod")) {
                ReleaseCodebook();
                ok = 0;
            }
            if (ok) {
                if (heights) CoarsePass(q, kLayerHeight, &pl, firstHalf, 0);
                ok = FineHeightShadePass(q, &pl, heights, heights ? secondHalf : all);
                ReleaseCodebook();
                if (heights) ReleaseCodebookH();
            }
            *source = kSourceFine;
        }
        // The world overview takes the quick range (the fixed one for the whole world), the
        // tiles the range of the 60-degree height samples under the map's pixels.
        if (heights) q.wholeWorld ? WindowElevationRangeQuick(q) : WindowElevationRangePrecise(q);
    }
    if (ok) Colourise(pl, colouring, ramp, rounded * 3, bgrRows);
    ProgressIndicator(1, 100);
    SetCursorShape(previousCursor);
    return ok;
}

void ResetElevationRamp() { elevationRamp.loaded = 0; }
