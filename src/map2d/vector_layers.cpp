// The vector drawing pass of the 2D map: every switched-on row of the layer table, in table
// order, with its pen and scale rule, its description in the status line while it draws, and
// Escape stopping the rest. The terrain texture variant draws the same rows without text.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "map2d/city_areas.h"
#include "map2d/vector_layers.h"

int citiesDrawn, riversDrawn;

void CityColours(ColourRef* primary, ColourRef* secondary) {
    *primary = cityColourPrimary;
    *secondary = cityColourSecondary;
}

static ColourRef Primary(const VectorLayer& l) { return MakeColour(l.red1, l.green1, l.blue1); }
static ColourRef Secondary(const VectorLayer& l) { return MakeColour(l.red2, l.green2, l.blue2); }

// The pen of a line style for one pass (style 5 draws the casing first, pass 0).
// A page multiplies every width by its line thickness t.
static void SelectStylePen(Surface* s, const VectorLayer& l, int pass, int t) {
    switch (l.lineStyle) {
    case 1: SetPen(s, PEN_DASH, t, Primary(l)); break;
    case 2: SetPen(s, PEN_DOT, t, Primary(l)); break;
    case 3: SetPen(s, PEN_DASHDOTDOT, t, Primary(l)); break;
    case 5:
        if (pass == 0) SetPen(s, PEN_SOLID, l.width2 * t, Secondary(l));
        else SetPen(s, PEN_SOLID, l.width1 * t, Primary(l));
        break;
    default: SetPen(s, PEN_SOLID, (l.width1 ? l.width1 : 1) * t, Primary(l)); break;
    }
}

static void VectorPaths(const char* name, char* dataPath, char* indexPath) {
    snprintf(dataPath, 64, "v_data\\%s.dat", name);
    snprintf(indexPath, 64, "v_index\\%s.idx", name);
}

// Grid, ticks or the layer's files at a depth below the world view, with the pen of its style.
static void DrawRowFromFiles(Surface* s, const VectorLayer& l, const MapWindow& w, const Rect& r, uint8_t* buffer,
                             int thickness) {
    int passes = l.lineStyle == 5 ? 2 : 1;
    for (int pass = passes == 2 ? 0 : 1; pass < 2 && !drawAborted; pass++) {
        SelectStylePen(s, l, pass, thickness);
        if (l.name[0] == '~') DrawGridLayer(s, w, r, atof(l.name + 1));
        else if (l.name[0] == '*') DrawTickLayer(s, w, r, l.name, Primary(l));
        else {
            char dataPath[64], indexPath[64];
            VectorPaths(l.name, dataPath, indexPath);
            ColourRef dots = pass == 0 ? Secondary(l) : Primary(l);
            DrawOneVectorLayer(s, w, r.right - r.left, r.bottom - r.top, r.left, r.top, dataPath, indexPath, buffer,
                               kVectorWorkBufferSize, dots);
        }
    }
}

static void DrawRowAtWorldView(Surface* s, const VectorLayer& l, const MapWindow& w, const Rect& r, uint8_t* buffer,
                               int thickness) {
    SetPen(s, PEN_SOLID, thickness, Primary(l));
    if (l.name[0] == '~') DrawGridLayer(s, w, r, atof(l.name + 1));
    else if (l.name[0] == '*') DrawTickLayer(s, w, r, l.name, Primary(l));
    else {
        char path[64];
        snprintf(path, sizeof path, "%d_z%d\\%s.top", 800, 0, l.name);
        DrawWorldPointFile(s, r.right - r.left, r.bottom - r.top, r.left, r.top, path, buffer, kVectorWorkBufferSize,
                           Primary(l));
    }
}

// The status text box: at the left of the status line, vertically centred, one text high.
static Rect StatusTextBox(Surface* s) {
    SetFont(s, fhGeneric);
    int h = TextExtent(s, "Testing").y;
    int top = statusRect.top + (statusRect.bottom - statusRect.top - h) / 2;
    return Rect{statusRect.left, top, statusRect.right, top + h};
}

static void RestoreBox(Surface* s, const Rect& box) {
    if (hbmVirtual && s != hbmVirtual)
        Blit(s, box.left, box.top, box.right - box.left, box.bottom - box.top, hbmVirtual, box.left, box.top);
}

static void ShowDescription(Surface* s, const Rect& box, const char* text, const Rect& mapArea) {
    RestoreBox(s, box);
    SetFont(s, fhGeneric);
    int width = TextExtent(s, text).x;
    SetClipRect(s, Rect{box.left, box.top, box.left + 1 + width, box.bottom});
    SetTextColour(s, MakeColour(255, 255, 255));
    SetTextAlign(s, TA_LEFT | TA_TOP);
    TextOut(s, box.left + 1, box.top, text);
    SetClipRect(s, mapArea);
}

int DrawVectorLayers(Surface* s, int x, int y, int width, int height) {
    return DrawVectorLayersWith(s, Rect{x, y, x + width, y + height}, VectorPassOptions{});
}

int DrawVectorLayersWith(Surface* s, const Rect& r, const VectorPassOptions& options) {
    int width = r.right - r.left;
    int thickness = options.thickness < 1 ? 1 : options.thickness;
    std::vector<uint8_t> buffer;
    buffer.resize(kVectorWorkBufferSize);
    if (buffer.size() != (size_t)kVectorWorkBufferSize) {
        ShowMessage("Cannot allocate buffer[]");
        return 0;
    }
    int n = LoadLayerTableWithSwitches();
    DrawState saved = GetDrawState(s);
    SetBackgroundMode(s, BK_TRANSPARENT);
    Rect textBox = options.describe ? StatusTextBox(s) : Rect{0, 0, 0, 0};
    SetClipRect(s, r);
    const MapWindow& w = CurrentMapWindow();
    int worldView = zoomDepth == 0;
    int32_t scale = options.ruleScale > 0 ? options.ruleScale
                    : (int32_t)MapScaleOf(w, ::options.monitorInches ? ::options.monitorInches : 14, screenWidth, width);
    citiesDrawn = riversDrawn = 0;
    for (int i = 0; i < n; i++) {
        const VectorLayer& l = vectorLayers[i];
        if (!l.on) continue;
        if (drawAborted) break;
        if (!LayerDrawnAtScale(l, scale)) continue;
        if (options.describe) ShowDescription(s, textBox, l.description, r);
        DrawState pen = GetDrawState(s);
        if (!strcmp(l.name, "CITIES")) {
            ColourRef primary, secondary;
            CityColours(&primary, &secondary);
            DrawCityAreas(s, r, primary, secondary);
            citiesDrawn = 1;
            continue;
        }
        if (!strcmp(l.name, "RIV01")) riversDrawn = 1;
        if (worldView) DrawRowAtWorldView(s, l, w, r, buffer.data(), thickness);
        else DrawRowFromFiles(s, l, w, r, buffer.data(), thickness);
        SetDrawState(s, pen);
    }
    SetDrawState(s, saved);
    ClearClip(s);
    if (options.describe) RestoreBox(s, textBox);
    return 1;
}

// [SECTION] Terrain textures

int LayerDrawnAtSpan(const VectorLayer& l, double d) {
    switch (l.scaleRule) {
    case 0: return 1;
    case 1: return l.scaleA / 1000.0 > d;
    case 2: return l.scaleB / 1000.0 < d;
    case 3: return l.scaleA / 1000.0 < d && d < l.scaleB / 1000.0;
    default: return 0;
    }
}

