// Flooding the terrain: the 8-bit flood palette (32 height levels in seven shading bands) and
// the tool that reads a water level from the panel and floods by recolouring the palette alone,
// so raising the water never draws the triangles again.
//
// Water level to palette level: the renderer gives a cell the elevation index
// e = trunc((h - hmin) / (hmax - hmin) x 256), clamped to 0..255, and the flood level e div 8.
// The water floods the levels whose every index lies at or below the water's own index, that is
// L = (e(water) + 1) div 8 - 1; a water level below the set's lowest height floods nothing and
// one at its highest floods all 32 levels.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/core.h"
#include "core/panel_layout.h"
#include "imaging/imaging.h"
#include "platform/le_bytes.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

constexpr int kWideLevels = 128;  // the variant without bands
constexpr uint8_t kReservedForAnimation = 0x01;

// [SECTION] The palette

static void PutEntry(int i, ColourRef c) {
    uint8_t* e = terrainBuffers.dtmInfoHdr + kTerrainInfoHeaderBytes + 4 * i;
    e[0] = (uint8_t)ColourBlue(c), e[1] = (uint8_t)ColourGreen(c), e[2] = (uint8_t)ColourRed(c), e[3] = 0;
    uint8_t* p = terrainBuffers.dtmLogPal + 4 + 4 * i;
    p[0] = (uint8_t)ColourRed(c), p[1] = (uint8_t)ColourGreen(c), p[2] = (uint8_t)ColourBlue(c), p[3] = kReservedForAnimation;
}

static ColourRef Darker(ColourRef c, int band) {
    int f = 8 - band;
    return MakeColour(ColourRed(c) * f / 8, ColourGreen(c) * f / 8, ColourBlue(c) * f / 8);
}

static ColourRef UnderWater(ColourRef c) { return MakeColour(0, 0, std::min(255, ColourBlue(c) + 128)); }

int BuildFloodPalette(const char* scalePath, int levels32, int flooded, int waterIndex) {
    if (!terrainBuffers.dtmInfoHdr || !terrainBuffers.dtmLogPal) {
        ShowMessage("dtmInfoHdr not allocated yet");
        return 0;
    }
    int levels = levels32 ? kFloodLevels : kWideLevels;
    int bands = levels32 ? kFloodBands : 1;
    ColourRef base[kWideLevels];
    if (!PaletteFromScale(scalePath, levels, 0, base)) return 0;
    for (int i = 0; i < 256; i++) PutEntry(i, 0);
    for (int band = 0; band < bands; band++)
        for (int i = 0; i < levels; i++) {
            ColourRef c = Darker(base[i], band);
            if (flooded && i <= waterIndex) c = UnderWater(c);
            PutEntry(band * levels + i, c);
        }
    int fixed = bands * levels;
    PutEntry(fixed, MakeColour(0, 0, 128));
    PutEntry(fixed + 1, MakeColour(0, 0, 0));
    PutEntry(fixed + 2, MakeColour(0, 255, 0));
    PokeU16LE(terrainBuffers.dtmLogPal, 0x300);
    PokeU16LE(terrainBuffers.dtmLogPal + 2, (uint16_t)(fixed + 3));
    return 1;
}

int ShowFloodPalette() {
    Surface* w = WindowSurface();
    if (!terrainBuffers.image || TerrainImageDepth() != 8) return 0;
    PutTerrainImage();
    if (w)
        Blit(w, mapRect.left, mapRect.top, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
             terrainBuffers.image, 0, 0);
    return 1;
}

// [SECTION] Water levels

// The water's height class on the set's range, as the renderer classes each corner: 0 below
// the lowest cell, 255 at the top.
static int WaterHeightClass(int metres, int hmin, int hmax) {
    if (metres < hmin) return 0;
    double range = hmax > hmin ? hmax - hmin : 1;
    return (int)std::min(255.0, std::trunc((metres - hmin) / range * 256.0));
}

int FloodLevelForWater(int metres, int hmin, int hmax) {
    if (metres < hmin) return -1;
    return std::min(kFloodLevels - 1, (WaterHeightClass(metres, hmin, hmax) + 1) / 8 - 1);
}

int WaterLevelMetres(long typed, int feet) {
    double v = std::clamp(typed, -32000L, 32000L);
    if (feet) v *= 0.3048;
    return (int16_t)std::trunc(v);
}

// [SECTION] The tool

// The typed number with its unit in the entry box; closed, the box is left empty.
static void ShowEntry(const std::string& text, int open = 1) {
    Surface* w = WindowSurface();
    if (!w) return;
    Rect r = LayoutArea(kTerrainWaterEntry, smallLayout);
    FillRect(w, r, MakeColour(0, 0, 0));
    if (!open) return;
    FontSpec font;
    font.pixelHeight = smallLayout ? 10 : 13;
    font.weight = 700;
    SetFont(w, font);
    SetTextColour(w, MakeColour(0, 255, 0));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_RIGHT | TA_TOP);
    std::string shown = text + (imperialUnits ? " ft" : " m");
    TextOut(w, r.right - 4, r.top + (r.bottom - r.top - font.pixelHeight) / 2, shown.c_str());
    SetTextAlign(w, TA_LEFT | TA_TOP);
}

static void Flood(const std::string& typed) {
    terrainView.waterLevel = WaterLevelMetres(std::strtol(typed.c_str(), nullptr, 10), imperialUnits ? 1 : 0);
    terrainDraw.flooding = 1;
    terrainDraw.waterLevel = WaterHeightClass(terrainView.waterLevel, terrainSet.minHeight, terrainSet.maxHeight);
    int level = FloodLevelForWater(terrainView.waterLevel, terrainSet.minHeight, terrainSet.maxHeight);
    BuildFloodPalette(terrainView.scalePath.c_str(), 1, level >= 0, level);
    ShowFloodPalette();
}

// 1 while the tool goes on.
static int FloodKey(uint32_t key, std::string* typed) {
    if (key == VK_ESCAPE) return 0;
    if (key == VK_BACK && !typed->empty()) typed->pop_back();
    if (key == VK_RETURN) {
        if (typed->empty()) PlayCue(CUE_ERROR);
        else Flood(*typed);
    }
    ShowEntry(*typed);
    return 1;
}

static void FloodCharacter(uint32_t c, std::string* typed) {
    int digit = c >= '0' && c <= '9';
    int sign = c == '-' && typed->empty();
    if ((digit || sign) && typed->size() < 6) typed->push_back((char)c);
    ShowEntry(*typed);
}

int RunFlooding() {
    terrainView.displayType = kTerrainFlooding;
    terrainDraw.flooding = 0;
    DrawTerrainLegend(kTerrainFlooding, terrainView.scalePath.c_str());
    if (!DrawTerrainView(kTerrainFlooding, 1)) return 0;
    std::string typed;
    ShowEntry(typed);
    for (;;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);
            break;
        }
        if (m.kind == MSG_KEYDOWN && !FloodKey((uint32_t)m.wParam, &typed)) break;
        if (m.kind == MSG_CHAR) FloodCharacter((uint32_t)m.wParam, &typed);
        if (m.kind == MSG_PAINT) HandleTerrainMessage(m);
        // A click elsewhere ends the entry and is then the view's to act on.
        if (m.kind == MSG_LBUTTONDOWN) {
            PostMessage(m.kind, m.wParam, m.lParam);
            break;
        }
    }
    ShowEntry("", 0);
    return 1;
}
