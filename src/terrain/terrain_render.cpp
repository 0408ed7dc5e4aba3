// Drawing the loaded terrain set: every cell projected, each grid square drawn as two shaded
// triangles in an order that puts near squares over far ones, the frame, the labels, and the
// result copied to the window. Corner colours depend on the display type.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "terrain/terrain_render_internal.h"
#include "terrain/terrain_set.h"
#include "terrain/terrain_set_internal.h"

TerrainDrawOptions terrainDraw = {0, 0, 0, 0, 0, 0.0, 60.0, 100.0, 0, Rect{}};

static struct {
    std::vector<ColourRef> corners;  // colour of each drawn cell, row by row
    int aborted;
} render;

int TerrainRenderAborted() { return render.aborted; }

// [SECTION] Drawing order

TerrainTraversal ChooseTerrainTraversal(double rotation, int step) {
    double a = fmod(rotation, 360.0);
    if (a < 0) a += 360;
    if (a >= 360) a = 0;  // a hair below 0 comes back as 360
    static const int kOrder[8][3] = {
        // columns inner, rows ascending, columns ascending
        {1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0},
    };
    const int* o = kOrder[(int)(a / 45) & 7];
    return TerrainTraversal{o[0], o[1] ? step : -step, o[2] ? step : -step};
}

// [SECTION] Corner colours

// Height class 0..255 of a height over the colour range: the set's, or the map's fixed one.
static int HeightClass(int h) {
    double lo = terrainSet.minHeight, hi = terrainSet.maxHeight;
    if (fixedElevationRange) lo = -392, hi = 8848;
    if (hi == lo) hi = lo + 1;
    int e = (int)((h - lo) / (hi - lo) * 256);
    return e < 0 ? 0 : e > 255 ? 255 : e;
}

static int Scaled(int channel, int shade, double gain) {
    int v = (int)(channel * shade / 256.0 * gain);
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

static ColourRef Imagery(int c, int r) {
    const TerrainRows& rows = terrainBuffers.rows;
    return MakeColour(rows.red[r][c], rows.green[r][c], rows.blue[r][c]);
}

static ColourRef ElevationColour(int c, int r, double gain) {
    int shade = terrainBuffers.rows.shade[r][c];
    if (shade == 0) return Imagery(c, r);
    int e = HeightClass(terrainBuffers.rows.height[r][c]);
    ColourRef t = TerrainColourEntry(e);
    int red = Scaled(ColourRed(t), shade, gain), green = Scaled(ColourGreen(t), shade, gain);
    int blue = Scaled(ColourBlue(t), shade, gain);
    // Flooded land in the 24-bit drawing: the water over it tints it blue.
    if (terrainDraw.flooding && e < terrainDraw.waterLevel) red = 0, green = 0, blue = blue + 128 > 255 ? 255 : blue + 128;
    return MakeColour(red, green, blue);
}

// Bands of 32 entries: brighter shading picks a lower band of the flood palette.
static ColourRef FloodIndex(int c, int r) {
    int shade = terrainBuffers.rows.shade[r][c];
    if (shade == 0) return 224;
    int k = 0;
    for (int threshold : {224, 192, 160, 128, 96, 64}) k += shade < threshold;
    return (ColourRef)(HeightClass(terrainBuffers.rows.height[r][c]) / 8 + 32 * k);
}

static ColourRef CodedColour(int code, int shade) { return shade == 0 ? MakeColour(0, 0, 128) : TerrainColourEntry(code); }

// The panorama set-up's mask of one cell: 2 inside the field of view, 1 when also seen, else 0.
static int ViewMask(int c, int r) {
    uint8_t& mask = terrainBuffers.rows.viewMask[r][c];
    if (mask != 255) return mask;
    const TerrainDrawOptions& o = terrainDraw;
    mask = 0;
    double bearing;
    TerrainBearing(o.observerX, o.observerY, c, r, &bearing);
    double off = std::min({fabs(bearing - o.direction), fabs(bearing + 360 - o.direction), fabs(bearing - 360 - o.direction)});
    if (off < o.fieldOfView / 2) {
        mask = 2;
        if (TerrainLineOfSight(o.observerX, o.observerY, o.eyeHeight, c, r, terrainSet.size)) mask = 1;
    }
    return mask;
}

static ColourRef PanoramaColour(int c, int r) {
    int shade = terrainBuffers.rows.shade[r][c];
    ColourRef base = shade == 0 ? Imagery(c, r) : MakeColour(shade, shade, shade);
    if (terrainDraw.panoramaStrip) return Imagery(c, r);
    int mask = ViewMask(c, r);
    if (mask == 2) return MakeColour(ColourRed(base), 0, 0);
    if (mask == 1) return MakeColour(0, ColourGreen(base), 0);
    return base;
}

ColourRef TerrainCornerColour(int displayType, int column, int row, double shadingGain) {
    const TerrainRows& rows = terrainBuffers.rows;
    int c = column, r = row, shade = rows.shade[r][c];
    switch (displayType) {
        case kTerrainRelief: return MakeColour(shade, shade, shade);
        case kTerrainElevation: return ElevationColour(c, r, shadingGain);
        case kTerrainAspect: return CodedColour(rows.aspect[r][c], shade);
        case kTerrainSlope: return CodedColour(rows.slope[r][c], shade);
        case kTerrainDetails: return MakeColour(rows.detailRed[r][c], rows.detailGreen[r][c], rows.detailBlue[r][c]);
        case kTerrainFlooding: return FloodIndex(c, r);
        case kTerrainPanoramaSetup: return PanoramaColour(c, r);
        default: return Imagery(c, r);
    }
}

// [SECTION] The squares

// Only an Escape is taken from the queue: keys typed ahead (a water level, say) stay for the
// screen that waits for them.
static int EscapePressed() {
    Message m;
    if (!PeekMessageInRange(&m, MSG_KEYDOWN, MSG_KEYDOWN, 0) || m.wParam != VK_ESCAPE) return 0;
    PeekMessageInRange(&m, MSG_KEYDOWN, MSG_KEYDOWN, 1);
    return 1;
}

// Colours of every cell the squares use, worked out once rather than once a triangle.
static void ColourCorners(int type, int n, int step, double gain) {
    render.corners.resize((size_t)n * n);
    std::vector<int> cells((size_t)n);
    int count = TerrainStepCells(n, step, cells.data());
    for (int i = 0; i < count; i++)
        for (int j = 0; j < count; j++)
            render.corners[(size_t)cells[i] * n + cells[j]] = TerrainCornerColour(type, cells[j], cells[i], gain);
}

static TerrainCorner Corner(int c, int r, int n, int type, double gain) {
    TerrainScreenPoint p = terrainBuffers.rows.screen[r][c];
    ColourRef v = type == kTerrainPanoramaSetup ? TerrainCornerColour(type, c, r, gain) : render.corners[(size_t)r * n + c];
    if (type == kTerrainFlooding) return TerrainCorner{p.x, p.y, {(int)v, 0, 0}};
    return TerrainCorner{p.x, p.y, {ColourRed(v), ColourGreen(v), ColourBlue(v)}};
}

static int Projected(int c, int r) {
    TerrainScreenPoint p = terrainBuffers.rows.screen[r][c];
    return p.x != kTerrainNotProjected && p.y != kTerrainNotProjected;
}

static void FillTriangle(Surface* window, int type, const TerrainCorner& a, const TerrainCorner& b,
                         const TerrainCorner& c) {
    if (type == kTerrainFlooding)
        FillTerrainTriangle8(a, b, c);
    else if (type == kTerrainPanoramaSetup) {
        if (window) FillTerrainTriangleSurface(window, a, b, c);
    }
    else
        FillTerrainTriangle24(a, b, c);
}

// The square from (c, r) one step along both directions of the traversal, as two triangles.
static void DrawSquare(Surface* window, const TerrainTraversal& t, int n, int type, double gain, int c, int r) {
    int c1 = c + t.columnDelta, r1 = r + t.rowDelta;
    int p00 = Projected(c, r), p10 = Projected(c1, r), p01 = Projected(c, r1), p11 = Projected(c1, r1);
    if (!p10 || !p01 || (!p00 && !p11)) return;
    TerrainCorner a10 = Corner(c1, r, n, type, gain), a01 = Corner(c, r1, n, type, gain);
    if (p00) FillTriangle(window, type, Corner(c, r, n, type, gain), a10, a01);
    if (p11) FillTriangle(window, type, Corner(c1, r1, n, type, gain), a10, a01);
}

static int DrawSquares(Surface* window, int n, int type, double gain, int step) {
    TerrainTraversal t = ChooseTerrainTraversal(terrainCamera.rotation, step);
    if (type != kTerrainPanoramaSetup) ColourCorners(type, n, step, gain);
    return WalkTerrainSquares(
        t, n, [&](int c, int r) { DrawSquare(window, t, n, type, gain, c, r); }, [] { return !EscapePressed(); });
}

// [SECTION] RenderTerrain

// The window's image: the visible window when there is one, else the whole-window image.
static Surface* WindowImage() { return WindowSurface() ? WindowSurface() : hbmVirtual; }

// Black background and, when asked, the frame: in the off-screen image, or for the panorama
// set-up straight in the window.
static void PrepareBackground(Surface* window, int n, int left, int top, const Rect& shown, int type, int frame) {
    const TerrainBuffers& b = terrainBuffers;
    int hmin = terrainSet.minHeight, hmax = terrainSet.maxHeight;
    if (type == kTerrainFlooding) {
        SetTerrainImageDepth(8);
        memset(b.dtmBmpData, 225, (size_t)TerrainImageRowBytes() * b.imageHeight);  // 225: black in the flood palette
    } else if (type != kTerrainPanoramaSetup) {
        FillRect(b.image, Rect{0, 0, b.imageWidth, b.imageHeight}, MakeColour(0, 0, 0));
        if (frame) DrawTerrainFrame(b.image, n, hmin, hmax, 0, 0, b.imageWidth, b.imageHeight, 1);
        TakeTerrainImage();
    } else if (window) {
        FillRect(window, shown, MakeColour(0, 0, 0));
        if (frame) DrawTerrainFrame(window, n, hmin, hmax, left, top, b.imageWidth, b.imageHeight, 1);
    }
}

// The finished picture into the map image area of the window and of the whole-window image.
static void ShowPicture(Surface* window, int left, int top, int width, int height, const Rect& shown, int type) {
    Surface* image = terrainBuffers.image;
    if (type == kTerrainPanoramaSetup) {
        // The strip reaches over the status line: the screen's own copy keeps what lay there.
        if (window && hbmVirtual && window != hbmVirtual && !terrainDraw.panoramaStrip)
            Blit(hbmVirtual, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, window, shown.left,
                 shown.top);
        return;
    }
    if (window) Blit(window, left, top, width, height, image, 0, 0);
    if (hbmVirtual && hbmVirtual != window) Blit(hbmVirtual, left, top, width, height, image, 0, 0);
}

static void PrepareLabelText(Surface* image) {
    SetBackgroundMode(image, BK_TRANSPARENT);
    SetTextColour(image, MakeColour(255, 255, 0));
    SetTextAlign(image, TA_LEFT | TA_TOP);
    SetFont(image, fhGeneric);
    SetPen(image, PEN_SOLID, 1, MakeColour(0, 255, 255));
    SetNullBrush(image);
}

// The refusals, and what the type needs loaded before anything is drawn.
static int ReadyToDraw(int n, int type, const char* scalePath) {
    if (!CheckTerrainGrid(n)) return 0;
    if (type < kTerrainImagery || type > kTerrainPreview) {
        ShowMessage("Unknown 3D display type %d", type);
        return 0;
    }
    if ((type == kTerrainAspect || type == kTerrainSlope) && !LoadTerrainDerivedLayers(n)) return 0;
    // The flood palette is the screen's: the colour table is kept as it stands.
    return type == kTerrainFlooding || !scalePath || !*scalePath || LoadTerrainColourTable(scalePath);
}

int RenderTerrain(int n, int left, int top, int width, int height, int displayType, double shadingGain,
                  const char* scalePath, int step, int frame) {
    render.aborted = 0;
    if (!ReadyToDraw(n, displayType, scalePath)) return 0;
    if (step < 1) step = 1;
    const TerrainBuffers& b = terrainBuffers;
    Surface* window = WindowImage();
    int panorama = displayType == kTerrainPanoramaSetup;
    if (panorama)
        for (int r = 0; r < n; r++) memset(b.rows.viewMask[r], 255, (size_t)n);
    DrawState savedImage = GetDrawState(b.image);
    DrawState savedWindow = window ? GetDrawState(window) : DrawState{};
    int savedCursor = SetCursorShape(CURSOR_WAIT);
    // The panorama's strip is projected over the whole area and shown only within the strip.
    Rect shown = panorama && terrainDraw.panoramaStrip ? terrainDraw.strip : Rect{left, top, left + width, top + height};
    if (window && !terrainDraw.flooding) SetClipRect(window, shown);
    ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, n, panorama ? left : 0, panorama ? top : 0,
                        b.imageWidth, b.imageHeight, step);
    PrepareBackground(window, n, left, top, shown, displayType, frame);
    render.aborted = !DrawSquares(window, n, displayType, shadingGain, step);
    if (!panorama) PutTerrainImage();
    if (terrainDraw.namesOn && step == 1 && displayType != kTerrainFlooding && !panorama && !render.aborted) {
        PrepareLabelText(b.image);
        DrawTerrainLabels(ChooseTerrainTraversal(terrainCamera.rotation, step), n);
    }
    ShowPicture(window, left, top, width, height, shown, displayType);
    if (window) ClearClip(window), SetDrawState(window, savedWindow);
    SetDrawState(b.image, savedImage);
    SetCursorShape(savedCursor);
    return 1;
}
