// The flyby's frame, drawn in software from the 512 x 512 grids of the window.
//
// The terrain is ray-cast one screen column at a time. The column's ray leaves the eye through
// the picture plane and is marched front to back over the grids in depth steps that grow with
// the depth (1.2 % of it, so a step never covers more than a few screen rows). At each step
// the ground's height (bilinear between cell centres) is projected onto the screen; when it
// rises above everything drawn so far in the column, the rows between are filled with the
// ground's colour there: the four nearest cells' palette colours blended bilinearly, lit by the
// slope toward a light in the south-west, and pulled toward the haze colour through the haze
// table by depth. The column is done when it is filled to the top or the ray leaves the grids
// or the camera's reach. Every depth step is the same for all columns (depth is measured along
// the heading), so the step sizes, haze levels and projection scale are worked out once.
//
// Before the terrain, the frame is filled with the sky picture, scrolled sideways by the sky
// offset and wrapping, its bottom row on the horizon and continued below it; each pixel's
// depth is kept beside it. After it, the vegetation sprites of the cells near the eye are drawn
// scaled by distance against those depths, and the place-name markers where the eye can see
// them. With the textures off the ground is coloured by height alone and no trees are drawn.
// A 666 x 498 frame takes a few milliseconds on one core.
#include <algorithm>
#include <cmath>
#include <vector>

#include "flyby/flyby_render_internal.h"

// [SECTION] Sky

static void DrawSky(const FlybyArt& art, const FlybyView& v, int skyOffset, const FlybyFrameTarget& t) {
    // The picture's bottom row lies on the horizon row.
    int top = (int)v.horizonY - art.skyHeight;
    for (int y = 0; y < t.height; y++) {
        uint32_t* line = t.pixels + (size_t)y * t.stride;
        std::fill(t.depth + (size_t)y * t.width, t.depth + (size_t)(y + 1) * t.width, INFINITY);
        if (art.skyWidth <= 0 || art.skyHeight <= 0) {
            std::fill(line, line + t.width, 0xFF000000u);
            continue;
        }
        const uint32_t* row = &art.sky[(size_t)std::clamp(y - top, 0, art.skyHeight - 1) * art.skyWidth];
        int column = (skyOffset % art.skyWidth + art.skyWidth) % art.skyWidth;
        for (int x = 0; x < t.width; x++) {
            line[x] = row[column];
            if (++column == art.skyWidth) column = 0;
        }
    }
}

// [SECTION] Ground colours

// The plain colours of the ground by height above the sea (in 500 m units), for the view
// without textures: sea blue below 0, green lowlands to brown hills, grey rock and snow.
static ColourRef PlainColour(float height) {
    struct Stop {
        float height;
        int r, g, b;
    };
    static const Stop stops[] = {{0, 60, 120, 60}, {1.5f, 120, 150, 80}, {4, 140, 110, 70}, {6.5f, 140, 135, 130}, {9, 240, 240, 240}};
    if (height < 0) return MakeColour(40, 70, 150);
    for (int i = 1; i < 5; i++)
        if (height < stops[i].height) {
            const Stop &a = stops[i - 1], &b = stops[i];
            float f = (height - a.height) / (b.height - a.height);
            return MakeColour((int)(a.r + (b.r - a.r) * f), (int)(a.g + (b.g - a.g) * f), (int)(a.b + (b.b - a.b) * f));
        }
    return MakeColour(240, 240, 240);
}

// Palette indices of the plain colours, one every tenth of a height unit above the sea from
// one unit below it (deeper is sea too) to 24.5 units (higher is snow too).
constexpr int kPlainSteps = 256;
constexpr float kPlainLowest = -1.0f;
static void MakePlainColours(const FlybyArt& art, uint8_t out[kPlainSteps]) {
    for (int i = 0; i < kPlainSteps; i++) {
        ColourRef c = PlainColour(kPlainLowest + i * 0.1f);
        out[i] = art.inverse[(ColourBlue(c) >> 3) + 32 * (ColourGreen(c) >> 3) + 1024 * (ColourRed(c) >> 3)];
    }
}

// Linear blend of two pixels, w of 256 toward b.
static inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t rb = (((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
    uint32_t g = (((a & 0x00FF00u) * (256 - w) + (b & 0x00FF00u) * w) >> 8) & 0x00FF00u;
    return rb | g;
}

// Scales the channels by light / 256 (up to twice), saturating.
static inline uint32_t Light(uint32_t c, int light) {
    int r = std::min(255, (int)((c >> 16) & 255) * light >> 8);
    int g = std::min(255, (int)((c >> 8) & 255) * light >> 8);
    int b = std::min(255, (int)(c & 255) * light >> 8);
    return 0xFF000000u | (uint32_t)(r << 16) | (uint32_t)(g << 8) | (uint32_t)b;
}

// [SECTION] Terrain

// One depth step of the march, the same for every column.
struct MarchStep {
    float depth;
    float rowsPerUnit;   // screen rows per height unit at this depth
    int haze;
    int lightFade;       // how much of the slope lighting survives the haze, of 256
};

static std::vector<MarchStep> MarchSteps(const FlybyView& v, int haze) {
    std::vector<MarchStep> steps;
    for (float z = kFlybyNearestDepth; z < v.farCells; z += std::max(0.05f, z * 0.012f)) {
        MarchStep s;
        s.depth = z;
        s.rowsPerUnit = kFlybyKmPerHeightUnit * v.focal / z;
        s.haze = haze ? FlybyHazeLevel(z, v.farCells) : 0;
        s.lightFade = 256 - s.haze * 256 / kFlybyHazeLevels;
        steps.push_back(s);
    }
    return steps;
}

struct TerrainFrame {
    const FlybyGrids* g;
    const FlybyView* v;
    const FlybyHazedPalette* hazed;
    const uint8_t* colours;   // the grids' palette indices
    const uint8_t* plain;     // textures off: palette index per tenth of a height unit
    float lowest;             // what was subtracted from the grids' heights
    const std::vector<MarchStep>* steps;
};

static inline uint8_t CellColour(const TerrainFrame& f, size_t cell) {
    if (f.plain) return f.plain[std::clamp((int)((f.g->heights[cell] + f.lowest - kPlainLowest) * 10), 0, kPlainSteps - 1)];
    return f.colours[cell];
}

static void DrawTerrainColumn(const TerrainFrame& f, int x, const FlybyFrameTarget& t) {
    const FlybyView& v = *f.v;
    const float* heights = f.g->heights.data();
    float spread = (x + 0.5f - v.width / 2.0f) / v.focal;
    float dirX = v.forwardX + v.rightX * spread, dirY = v.forwardY + v.rightY * spread;
    int top = t.height;   // rows from here down are drawn
    for (const MarchStep& s : *f.steps) {
        float u = v.column + dirX * s.depth - 0.5f, w = v.row + dirY * s.depth - 0.5f;
        if (u < -0.5f || w < -0.5f || u > kFlybyGrid - 0.5f || w > kFlybyGrid - 0.5f) break;
        u = std::clamp(u, 0.0f, kFlybyGrid - 1.001f);
        w = std::clamp(w, 0.0f, kFlybyGrid - 1.001f);
        int c = (int)u, r = (int)w;
        float fu = u - c, fw = w - r;
        size_t cell = (size_t)r * kFlybyGrid + c;
        const float* h = heights + cell;
        float northEdge = h[0] + (h[1] - h[0]) * fu;
        float southEdge = h[kFlybyGrid] + (h[kFlybyGrid + 1] - h[kFlybyGrid]) * fu;
        float ground = northEdge + (southEdge - northEdge) * fw;
        float screenY = v.horizonY + (v.eyeHeight - ground) * s.rowsPerUnit;
        if (screenY >= top) continue;
        int from = std::max(0, (int)std::ceil(screenY));
        if (from >= top) continue;
        const uint32_t* hazed = f.hazed->colour[s.haze];
        uint32_t wu = (uint32_t)(fu * 256), ww = (uint32_t)(fw * 256);
        uint32_t colour = Blend(Blend(hazed[CellColour(f, cell)], hazed[CellColour(f, cell + 1)], wu),
                                Blend(hazed[CellColour(f, cell + kFlybyGrid)], hazed[CellColour(f, cell + kFlybyGrid + 1)], wu), ww);
        // Slope toward the light, low in the south-west as the sun of the northern mid-latitudes
        // in the afternoon, in km per km: ground rising eastward and northward faces it.
        float east = (h[1] - h[0] + h[kFlybyGrid + 1] - h[kFlybyGrid]) * 0.5f;
        float south = southEdge - northEdge;
        // The sea floor under the sea lies in the grids too; its slopes are not lit, so the water
        // looks level.
        float slope = ground + f.lowest < 0 ? 0 : (east - south) * kFlybyKmPerHeightUnit;
        int light = 256 + (int)(std::clamp(slope * 0.8f, -0.4f, 0.4f) * s.lightFade);
        colour = Light(colour, light);
        for (int y = from; y < top; y++) {
            t.pixels[(size_t)y * t.stride + x] = colour;
            t.depth[(size_t)y * t.width + x] = s.depth;
        }
        top = from;
        if (top == 0) break;
    }
}

// [SECTION] The frame

void RenderFlybyFrame(const FlybyGrids& g, const FlybyArt& art, const FlybyCamera& camera, const FlybyDisplay& display,
                      int skyOffset, uint32_t* pixels, int width, int height, int stride) {
    if (width <= 0 || height <= 0) return;
    static std::vector<float> depth;   // the frame's scratch, kept between frames
    depth.resize((size_t)width * height);
    FlybyFrameTarget t = {pixels, depth.data(), width, height, stride};
    FlybyView v = MakeFlybyView(camera, width, height);
    DrawSky(art, v, skyOffset, t);
    if (g.heights.size() < (size_t)kFlybyGrid * kFlybyGrid || g.colours.size() < (size_t)kFlybyGrid * kFlybyGrid) return;

    static FlybyHazedPalette hazed;
    MakeFlybyHazedPalette(art, display.haze, &hazed);
    uint8_t plain[kPlainSteps];
    if (!display.textures) MakePlainColours(art, plain);
    std::vector<MarchStep> steps = MarchSteps(v, display.haze);
    TerrainFrame f = {&g, &v, &hazed, g.colours.data(), display.textures ? nullptr : plain, g.lowestHeight, &steps};
    for (int x = 0; x < width; x++) DrawTerrainColumn(f, x, t);
    if (display.textures && g.classes.size() >= (size_t)kFlybyGrid * kFlybyGrid) DrawFlybyVegetation(g, art, v, hazed, t);
    if (display.airports) DrawFlybyMarkers(g, art, v, t);
}
