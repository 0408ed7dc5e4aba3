// The terrain view's legend: the colour table each display type draws with, shown as a bar
// with its end values (heights in metres or feet, slope in degrees), or the compass picture
// for aspect. The view's legend box replaces the map's while the view is open.
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "imaging/imaging.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

constexpr double kFeetPerMetre = 3.280839895013123;

static struct {
    Rect savedLegend;
    int saved;
} legend;

Rect TerrainLegendBox() { return smallLayout ? Rect{560, 169, 633, 242} : Rect{700, 212, 792, 303}; }
Rect TerrainLegendBar() { return smallLayout ? Rect{590, 177, 598, 233} : Rect{738, 222, 748, 292}; }

void EnterTerrainLegendRects() {
    if (!legend.saved) legend.savedLegend = legendRect;
    legend.saved = 1;
    legendRect = TerrainLegendBox();
}

void RestoreTerrainLegendRects() {
    if (!legend.saved) return;
    legendRect = legend.savedLegend;
    legend.saved = 0;
}

static std::string HeightText(int metres) {
    double v = imperialUnits ? metres * kFeetPerMetre : metres;
    char text[16];
    snprintf(text, sizeof text, "%d", (int)std::trunc(v));
    return text;
}

void TerrainLegendLabels(int type, std::string* top, std::string* bottom) {
    if (type == kTerrainSlope) {
        *top = "90", *bottom = "0";
        return;
    }
    *top = HeightText(terrainSet.maxHeight);
    *bottom = HeightText(terrainSet.minHeight);
}

// Types 3 and 4 have their own scales; the flood type its palette; the rest the current scale.
static int LoadLegendColours(int type, const char* scalePath) {
    if (type == kTerrainAspect) return LoadTerrainColourTable(DataRootPath("scales\\aspect.sca").c_str());
    if (type == kTerrainSlope) return LoadTerrainColourTable(DataRootPath("scales\\slope.sca").c_str());
    if (type == kTerrainFlooding) {
        int level = FloodLevelForWater(terrainView.waterLevel, terrainSet.minHeight, terrainSet.maxHeight);
        int flooded = terrainDraw.flooding && level >= 0;
        return BuildFloodPalette(scalePath, 1, flooded, level);
    }
    return LoadTerrainColourTable(scalePath);
}

// Row by row from the bottom (entry 0) up, each row the entry in proportion to its height.
static void DrawBar(Surface* w, int entries) {
    Rect bar = TerrainLegendBar();
    int height = bar.bottom - bar.top;
    for (int j = 0; j < height; j++) {
        int entry = j * entries / height;
        int y = bar.bottom - 1 - j;
        FillRect(w, Rect{bar.left, y, bar.right, y + 1}, TerrainColourEntry(entry));
    }
}

static void DrawLabels(Surface* w, int type) {
    std::string top, bottom;
    TerrainLegendLabels(type, &top, &bottom);
    Rect bar = TerrainLegendBar();
    FontSpec font;
    font.pixelHeight = smallLayout ? 9 : 11;
    SetFont(w, font);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    TextOut(w, bar.right + 4, bar.top - 2, top.c_str());
    SetTextAlign(w, TA_LEFT | TA_BOTTOM);
    TextOut(w, bar.right + 4, bar.bottom + 2, bottom.c_str());
    SetTextAlign(w, TA_LEFT | TA_TOP);
}

static int DrawCompass(Surface* w) {
    Surface* compass = nullptr;
    if (!LoadBMPFromFile("menu\\106.bmp", &compass)) return 0;
    int size = smallLayout ? 75 : 94;
    Point at = smallLayout ? Point{559, 168} : Point{699, 210};
    Blit(w, at.x, at.y, size, size, compass, 0, 0);
    DeleteSurface(compass);
    return 1;
}

int DrawTerrainLegend(int type, const char* scalePath) {
    Surface* w = WindowSurface();
    if (w) FillRect(w, TerrainLegendBox(), MakeColour(0, 0, 0));
    if (type < 0) return 1;
    if (!LoadLegendColours(type, scalePath)) return 0;
    if (!w) return 1;
    if (type == kTerrainAspect) return DrawCompass(w);
    if (type != kTerrainElevation && type != kTerrainSlope && type != kTerrainFlooding) return 1;
    DrawBar(w, type == kTerrainFlooding ? kFloodLevels : 256);
    DrawLabels(w, type);
    return 1;
}
