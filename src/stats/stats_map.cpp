// The region map in its two looks: the flat map, coloured by palette alone, and the extruded
// chart, in which every country is raised by its height class and shaded like a block. Also
// the title over the map and the colour legend beside it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"
#include "stats/stats_screen.h"

// The region image last loaded, its indices kept top row first so that a change of variable
// only builds a palette and draws through it.
static struct {
    std::string name;
    std::vector<uint8_t> indices;
    int width = 0, height = 0;
} regionImage;

std::string RegionImageName(int region, int extruded, int small) {
    const StatRegion* r = StatRegionInfo(region);
    if (!r) return "";
    return std::string(small ? "640\\" : "") + (extruded ? r->chartImage : r->flatImage);
}

Rect StatsTitleRect() { return smallLayout ? Rect{14, 431, 543, 450} : Rect{18, 539, 679, 563}; }

void ReleaseRegionImageCache() {
    regionImage.name.clear();
    regionImage.indices.clear();
    regionImage.indices.shrink_to_fit();
}

static int LoadRegionImage(const std::string& name) {
    if (name == regionImage.name && !regionImage.indices.empty()) return 1;
    ReleaseRegionImageCache();
    ColourRef black[256] = {};
    Bitmap8 b;
    if (!Load8BitBMP(black, name.c_str(), &b)) return 0;
    // Rows as the file stores them: bottom row first, each padded to four bytes.
    size_t stride = ((size_t)b.width + 3) & ~(size_t)3;
    regionImage.width = b.width;
    regionImage.height = b.height;
    regionImage.indices.resize((size_t)b.width * b.height);
    for (int r = 0; r < b.height; r++)
        memcpy(&regionImage.indices[(size_t)r * b.width], b.pixels + (size_t)(b.height - 1 - r) * stride, (size_t)b.width);
    Release8BitBMP(&b);
    regionImage.name = name;
    return 1;
}

// [SECTION] The chart's walk

static int Background(int p) { return p == kRegionBackground || p == kRegionBackground2; }

static uint32_t Argb(ColourRef c) { return 0xFF000000u | (uint32_t)ColourRed(c) << 16 | (uint32_t)ColourGreen(c) << 8 | (uint32_t)ColourBlue(c); }

void ExtrudeRegionImage(Surface* s, int x, int y, const uint8_t* indices, int width, int height, int stride,
                        const ColourRef palette[256], const int heights[256]) {
    uint32_t* pixels = SurfacePixels(s);
    int sw = SurfaceWidth(s), sh = SurfaceHeight(s), ss = SurfaceStride(s);
    int h[256];
    for (int p = 0; p < 256; p++) h[p] = p >= kFirstCountryIndex && p <= kLastCountryIndex ? std::max(heights[p], 0) : 0;
    const uint32_t white = 0xFFFFFFFFu, light = 0xFFC4C4C4u, medium = 0xFF969696u, dark = 0xFF787878u;
    // A vertical run from window row top (inclusive) down to row bottom (inclusive), clipped.
    auto column = [&](int cx, int top, int bottom, uint32_t colour) {
        if (cx < 0 || cx >= sw) return;
        top = std::max(top, std::max(y, 0));
        bottom = std::min(bottom, sh - 1);
        for (int r = top; r <= bottom; r++) pixels[(size_t)r * ss + cx] = colour;
    };
    for (int row = 0; row < height; row++) {
        const uint8_t* line = indices + (size_t)row * stride;
        const uint8_t* below = row + 1 < height ? line + stride : nullptr;
        const uint8_t* above = row > 0 ? line - stride : nullptr;
        int edgeRow = row == 0 || row == height - 1;
        for (int c = 0; c < width; c++) {
            int p = line[c];
            if (Background(p)) continue;
            int wy = y + row, wx = x + c;
            if (p == kRegionBorder) {
                int lift = 0;
                if (!edgeRow) {
                    for (int dc = -1; dc <= 1; dc++) {
                        if (c + dc < 0 || c + dc >= width) continue;
                        lift = std::max({lift, h[above[c + dc]], h[below[c + dc]], dc ? h[line[c + dc]] : 0});
                    }
                }
                if (lift > 0) column(wx, wy - lift + 1, wy, white);
                continue;
            }
            uint32_t side = white;
            if (!edgeRow) {
                int right = c + 1 < width ? line[c + 1] : (int)kRegionBackground;
                int belowRight = c + 1 < width ? below[c + 1] : (int)kRegionBackground;
                if (Background(right)) side = light;
                else if (Background(belowRight)) side = medium;
                else if (Background(below[c])) side = dark;
            }
            int lift = h[p];
            if (lift > 0) column(wx, wy - lift + 1, wy, side);
            if (wy - lift >= std::max(y, 0) && wy - lift < sh && wx >= 0 && wx < sw) pixels[(size_t)(wy - lift) * ss + wx] = Argb(palette[p]);
        }
    }
}

// [SECTION] Title and legend

static void DrawTitle(const char* title) {
    Surface* w = WindowSurface();
    Rect bar = StatsTitleRect();
    int half = (bar.right - bar.left) / 2 + 1;
    if (hbmVirtual) Blit(w, bar.left, bar.top, half, bar.bottom - bar.top, hbmVirtual, bar.left, bar.top);
    DrawState saved = GetDrawState(w);
    SetFont(w, fhGeneric);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    Point extent = TextExtent(w, title);
    TextOut(w, bar.left + 1, bar.top + (bar.bottom - bar.top - extent.y) / 2, title);
    SetDrawState(w, saved);
}

static Rect StatsLegendRect() { return smallLayout ? Rect{559, 168, 634, 245} : Rect{699, 211, 793, 307}; }
static Rect StatsLegendBackdrop() { return smallLayout ? Rect{555, 187, 555 + 81, 187 + 110} : Rect{694, 234, 694 + 102, 234 + 138}; }

// The ends of the bar, short enough for the space left of it.
static std::string LegendEndText(float v, int variable) {
    double a = v < 0 ? -v : v;
    char text[32];
    if (a >= 1e12) snprintf(text, sizeof text, "%.1fT", v * 1e-12);
    else if (a >= 1e9) snprintf(text, sizeof text, "%.1fB", v * 1e-9);
    else if (a >= 1e6) snprintf(text, sizeof text, "%.1fM", v * 1e-6);
    else return FormatStatValue(v, variable);
    return text;
}

static std::string ScalePath(int variable) {
    char relative[32];
    snprintf(relative, sizeof relative, "scales\\choro%02d.sca", variable);
    return DataRootPath(relative);
}

void ClearStatisticsLegend() {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Rect box = StatsLegendRect(), back = StatsLegendBackdrop();
    Blit(w, box.left, box.top, box.right - box.left, box.bottom - box.top, hbmVirtual, box.left, box.top);
    Blit(w, back.left, back.top, back.right - back.left, back.bottom - back.top, hbmVirtual, back.left, back.top);
}

void DrawStatisticsLegend() {
    Surface* w = WindowSurface();
    if (!w || !statsScreen.legendShown) return;
    ClearStatisticsLegend();
    // The 2D map keeps its legend's hot areas in the shared records; this legend has none,
    // and the map's are put back as they were.
    uint8_t kept[3][16];
    memcpy(kept, legendCache, sizeof kept);
    std::string path = ScalePath(statsScreen.legendVariable);
    int drawn = DrawLegend(w, StatsLegendRect(), path.c_str(), 0, 1, 0, nullptr, 0, -1, kLegendNoLabels, kLegendNoLabels);
    memcpy(legendCache, kept, sizeof kept);
    if (!drawn) return;
    Rect bar = LegendBarRect();
    DrawState saved = GetDrawState(w);
    SetFont(w, fhGeneric);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_RIGHT | TA_TOP);
    std::string top = LegendEndText(statsScreen.legendMax, statsScreen.legendVariable);
    std::string bottom = LegendEndText(statsScreen.legendMin, statsScreen.legendVariable);
    int th = TextExtent(w, "X").y;
    TextOut(w, bar.left - 3, bar.top - th / 2, top.c_str());
    TextOut(w, bar.left - 3, bar.bottom - th / 2, bottom.c_str());
    SetDrawState(w, saved);
}

// [SECTION] Drawing a map

int DrawStatisticsMap(int variable, int region, int extruded) {
    const StatVariable* info = StatVariableInfo(variable);
    Surface* w = WindowSurface();
    if (!info || !StatRegionInfo(region) || !w) return 0;
    float min = 1e8f, max = -1e8f;
    if (!ReadVariableRange(variable, &min, &max)) return 0;
    std::string scale = ScalePath(variable);
    ColourRef palette[256];
    int heights[256];
    float byIndex[256];
    for (float& v : byIndex) v = kStatNotAvailable;
    if (!BuildChoroplethPalette(scale.c_str(), countryValues, min, max, palette, heights, byIndex)) return 0;
    if (!LoadRegionImage(RegionImageName(region, extruded, smallLayout))) return 0;
    int mw = std::min(regionImage.width, mapRect.right - mapRect.left);
    int mh = std::min(regionImage.height, mapRect.bottom - mapRect.top);
    uint8_t visible[256] = {};
    for (int r = 0; r < mh; r++) {
        const uint8_t* line = &regionImage.indices[(size_t)r * regionImage.width];
        for (int c = 0; c < mw; c++) visible[line[c]] = 1;
    }
    visible[kRegionBackground] = visible[kRegionBackground2] = visible[kRegionBorder] = 0;
    // The colours spread over the region's own countries; a region image without a country
    // pixel still takes its range from the region's list.
    int members[4] = {variable, 0, 0, 0};
    SetSelectionForRegion(region, members);
    if (!ReadSelectionRange(variable - 1, &min, &max)) {
        min = 9.9e13f;
        max = -9.9e13f;
        for (int p = kFirstCountryIndex; p <= kLastCountryIndex; p++) {
            if (!visible[p] || StatValueMissing(byIndex[p])) continue;
            min = std::min(min, byIndex[p]);
            max = std::max(max, byIndex[p]);
        }
    }
    if (!RecolourPalette(scale.c_str(), byIndex, min, max, palette, heights, visible)) return 0;
    DrawPaletteImage(w, mapRect.left, mapRect.top, regionImage.indices.data(), mw, mh, regionImage.width, palette);
    if (extruded) {
        ExtrudeRegionImage(w, mapRect.left, mapRect.top, regionImage.indices.data(), mw, mh, regionImage.width, palette, heights);
    }
    DrawTitle(info->title);
    statsScreen.legendShown = 1;
    statsScreen.legendVariable = variable;
    statsScreen.legendMin = min;
    statsScreen.legendMax = max;
    DrawStatisticsLegend();
    if (!extruded) BuildHoverTable(variable);
    return 1;
}
