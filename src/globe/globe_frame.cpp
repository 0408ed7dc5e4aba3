// One frame of the globe: every entry of the lookup table names the layer cell its pixel
// shows at centre longitude 0; turning the globe adds one shift to all of them. The frame is
// composed into bmpDataBits, moved to the output surface, drawn over and copied to the window.
// At the large size that is one pass over 248,004 entries, with no trigonometry per pixel.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/globe_renderer.h"
#include "globe/satellites.h"

static struct {
    int wholeImage = 1;    // the next transfer covers the whole image, not just the globe
    int titleShown = 0;    // an overlay title was drawn in the previous frame
    int satellitesShown = 0;  // satellites and their clock were drawn in the previous frame
} frame;

void MarkGlobeImageCleared() { frame.wholeImage = 1; }

int GlobeShift(double centreLongitude, int layerWidth) {
    if (!std::isfinite(centreLongitude)) return 0;
    double lambda = std::fmod(centreLongitude, 360.0);
    if (lambda < 0) lambda += 360.0;
    if (lambda >= 360.0) lambda -= 360.0;  // a tiny negative longitude rounds up to 360
    return (int)(lambda / 360.0 * layerWidth);
}

// [SECTION] Composition

// Where the table lands in the output image, and the part of it inside the image.
struct FramePlan {
    const int32_t* filter;
    int side, rows;
    int hMargin, vMargin;
    int rowFirst, rowEnd, colFirst, colEnd;
    int64_t shift, layerBytes;
    uint8_t* bits;
    int rowBytes;
};

static FramePlan PlanFrame(double centreLongitude) {
    const GlobeBuffers& b = globeBuffers;
    FramePlan p{};
    p.filter = b.rotationFilter;
    p.side = 2 * b.filterRadius;
    p.rows = p.side > 0 ? b.filterEntries / p.side : 0;
    p.hMargin = (b.imageWidth - p.side) / 2;
    p.vMargin = b.alignTop ? 0 : b.alignBottom ? b.imageHeight - p.rows : (b.imageHeight - p.rows) / 2;
    p.rowFirst = p.vMargin < 0 ? -p.vMargin : 0;
    p.rowEnd = p.rows < b.imageHeight - p.vMargin ? p.rows : b.imageHeight - p.vMargin;
    p.colFirst = p.hMargin < 0 ? -p.hMargin : 0;
    p.colEnd = p.side < b.imageWidth - p.hMargin ? p.side : b.imageWidth - p.hMargin;
    p.shift = GlobeShift(centreLongitude, b.layerWidth);
    p.layerBytes = b.layerBytes;
    p.bits = b.bmpDataBits;
    p.rowBytes = b.rowBytes;
    return p;
}

// Colours are packed blue | green << 8 | red << 16, the byte order of the output rows.
static inline uint32_t Packed(ColourRef c) {
    return (uint32_t)ColourBlue(c) | (uint32_t)ColourGreen(c) << 8 | (uint32_t)ColourRed(c) << 16;
}
constexpr uint32_t kNavy = 128;  // (0, 0, 128): the sea where no colour is given

static inline void PutPixel(uint8_t* d, uint32_t v) {
    memcpy(d, &v, 2);  // blue and green, then red
    d[2] = (uint8_t)(v >> 16);
}

// The one pass over the table; colour(o) gives the packed colour of layer offset o.
template <class Colour>
static void ComposeRows(const FramePlan& p, Colour colour) {
    for (int r = p.rowFirst; r < p.rowEnd; r++) {
        const int32_t* entries = p.filter + (size_t)r * p.side;
        uint8_t* row = p.bits + (size_t)(p.vMargin + r) * p.rowBytes;
        for (int c = p.colFirst; c < p.colEnd; c++) {
            int32_t e = entries[c];
            if (e == -1) continue;
            // A plain sum: a column past the right edge continues on the next stored row.
            int64_t o = (int64_t)e + p.shift;
            if ((uint64_t)o >= (uint64_t)p.layerBytes) continue;
            PutPixel(row + 3 * (p.hMargin + c), colour((size_t)o));
        }
    }
}

// The palette as packed colours; entry 0 becomes navy for the relief's sea.
static void PackPalette(uint32_t lut[256], int navyZero) {
    for (int i = 0; i < 256; i++) lut[i] = Packed(globeBuffers.paletteBuf[i]);
    if (navyZero) lut[0] = kNavy;
}

static void ComposeImagery(const FramePlan& p, int navySea) {
    uint32_t lut[256];
    PackPalette(lut, navySea);
    const uint8_t* a = GlobeLayerA();
    ComposeRows(p, [&](size_t o) { return lut[a[o]]; });
}

// Elevation colours darkened by the shading: each channel times A / 256, truncated. The three
// channels ride in 16-bit lanes of one 64-bit product.
static void ComposeElevation(const FramePlan& p) {
    uint64_t lanes[256];
    uint8_t dry[256];
    for (int i = 0; i < 256; i++) {
        ColourRef c = globeBuffers.paletteBuf[i];
        lanes[i] = (uint64_t)ColourBlue(c) | (uint64_t)ColourGreen(c) << 16 | (uint64_t)ColourRed(c) << 32;
        dry[i] = !globeView.floodMode || globeView.floodLevel <= i;
    }
    const uint8_t *a = GlobeLayerA(), *h = GlobeLayerB();
    ComposeRows(p, [&](size_t o) -> uint32_t {
        uint32_t shade = a[o], height = h[o];
        if (shade == 0 || !dry[height]) return kNavy;
        uint64_t m = lanes[height] * shade;
        return (uint32_t)((m >> 8) & 0xFF) | (uint32_t)((m >> 16) & 0xFF00) | (uint32_t)((m >> 24) & 0xFF0000);
    });
}

static void ComposeOverlay(const FramePlan& p) {
    uint32_t lut[256], grey[256];
    PackPalette(lut, 0);
    for (int i = 0; i < 256; i++) grey[i] = (uint32_t)i * 0x010101u;
    const uint8_t *a = GlobeLayerA(), *v = GlobeLayerB();
    if (globeView.overlay == kOverlayOceanVegetation) {
        // The ocean carries the data; the land is shown as its grey shading.
        ComposeRows(p, [&](size_t o) { return a[o] ? grey[a[o]] : lut[v[o]]; });
    } else {
        ComposeRows(p, [&](size_t o) { return a[o] ? lut[v[o]] : kNavy; });
    }
}

int ComposeGlobeFrame(double centreLongitude, int imageType) {
    const GlobeBuffers& b = globeBuffers;
    if (!b.rotationFilter || !b.rotationData || !b.bmpDataBits || !b.paletteBuf) {
        ShowMessage("rotationFilter[] not allocated yet");
        return 0;
    }
    FramePlan p = PlanFrame(centreLongitude);
    if (p.rows <= 0) return 1;
    switch (imageType) {
    case kGlobeImagery: ComposeImagery(p, 0); break;
    case kGlobeRelief: ComposeImagery(p, 1); break;
    case kGlobeElevation: ComposeElevation(p); break;
    case kGlobeOverlay: ComposeOverlay(p); break;
    default: break;
    }
    return 1;
}

// [SECTION] The output surface and the window

// Rows y0..y1 and columns x0..x1 (exclusive) of bmpDataBits, counted from the bottom, into
// the output surface, whose rows count from the top.
static void TransferRows(int x0, int x1, int y0, int y1) {
    const GlobeBuffers& b = globeBuffers;
    uint32_t* pixels = SurfacePixels(b.output);
    int stride = SurfaceStride(b.output);
    for (int y = y0; y < y1; y++) {
        const uint8_t* from = b.bmpDataBits + (size_t)y * b.rowBytes + 3 * x0;
        uint32_t* to = pixels + (size_t)(b.imageHeight - 1 - y) * stride;
        for (int x = x0; x < x1; x++, from += 3)
            to[x] = 0xFF000000u | (uint32_t)from[2] << 16 | (uint32_t)from[1] << 8 | from[0];
    }
}

// Only the globe's square changes from frame to frame; the graticule may stray a few pixels
// beyond it, since it is centred on the viewport and the square on the rounded-up image.
static void TransferFrame() {
    const GlobeBuffers& b = globeBuffers;
    int x0 = 0, x1 = b.imageWidth, y0 = 0, y1 = b.imageHeight;
    if (!frame.wholeImage) {
        FramePlan p = PlanFrame(0.0);
        const int slack = 4;
        x0 = std::max(0, p.hMargin - slack);
        x1 = std::min(b.imageWidth, p.hMargin + p.side + slack);
        y0 = std::max(0, p.vMargin - slack);
        y1 = std::min(b.imageHeight, p.vMargin + p.rows + slack);
    }
    TransferRows(x0, x1, y0, y1);
    frame.wholeImage = 0;
}

// The left half of the status line, restored from the screen buffer.
static void RestoreTitleArea(Surface* window) {
    if (!hbmVirtual) return;
    int w = (statusRect.right - statusRect.left) / 2, h = statusRect.bottom - statusRect.top;
    Blit(window, statusRect.left, statusRect.top, w, h, hbmVirtual, statusRect.left, statusRect.top);
}

static void DrawOverlayTitle(Surface* window) {
    RestoreTitleArea(window);
    DrawState saved = GetDrawState(window);
    SetFont(window, fhGeneric);
    SetTextColour(window, MakeColour(255, 255, 255));
    SetBackgroundMode(window, BK_TRANSPARENT);
    SetTextAlign(window, TA_LEFT | TA_TOP);
    const char* title = globeView.overlayTitle.c_str();
    int h = TextExtent(window, title).y;
    TextOut(window, statusRect.left, statusRect.top + (statusRect.bottom - statusRect.top - h) / 2, title);
    SetDrawState(window, saved);
}

// The loaded satellite group over the graticule; once they are switched off, the clock they
// wrote in the right half of the status line is taken away again.
static void DrawSatellitesOrRestore(Surface* window, double centreLongitude) {
    const GlobeBuffers& b = globeBuffers;
    const double toRadians = M_PI / 180.0;
    if (globeView.satDisplayOn) {
        DrawGroupOrbits(window, b.output, b.radiusUnits, centreLongitude * toRadians, b.viewLatitude * toRadians,
                        b.viewportWidth, b.viewportHeight);
    } else if (frame.satellitesShown && window && hbmVirtual) {
        int half = (statusRect.right - statusRect.left) / 2;
        Blit(window, statusRect.left + half, statusRect.top, statusRect.right - statusRect.left - half,
             statusRect.bottom - statusRect.top, hbmVirtual, statusRect.left + half, statusRect.top);
    }
    frame.satellitesShown = globeView.satDisplayOn;
}

int DrawGlobe(Surface* window, int x, int y, double centreLongitude, int imageType) {
    GlobeBuffers& b = globeBuffers;
    if (!b.output) {
        ShowMessage("rotationFilter[] not allocated yet");
        return 0;
    }
    if (!ComposeGlobeFrame(centreLongitude, imageType)) return 0;
    // Orbits reach beyond the globe's square: the whole image goes over them next frame.
    if (globeView.satDisplayOn || frame.satellitesShown) frame.wholeImage = 1;
    TransferFrame();
    DrawGraticule(b.output, b.viewportWidth, b.viewportHeight, centreLongitude);
    DrawSatellitesOrRestore(window, centreLongitude);
    if (!window) return 1;
    int overlayShown = imageType == kGlobeOverlay && globeView.overlay != kOverlayNone;
    if (overlayShown) DrawOverlayTitle(window);
    else if (frame.titleShown) RestoreTitleArea(window);
    frame.titleShown = overlayShown;
    Blit(window, x, y, b.viewportWidth, b.viewportHeight, b.output, 0, 0);
    return 1;
}
