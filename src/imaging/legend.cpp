// The colour-scale legend of the map, terrain, globe and statistics screens: a colour bar
// drawn row by row from a scale file, its end labels, a red marker with its value, and the
// hot areas the pointer readout uses to find the bar again.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/le_bytes.h"

constexpr double kFeetPerMetre = 3.280839895013123;

// [SECTION] Hot-area records

uint8_t legendCache[3][16];

void ClearLegendHotAreas() { memset(legendCache, 0xFF, sizeof legendCache); }

Rect LegendHotArea(const uint8_t records[3][16], int index) {
    const uint8_t* r = records[index];
    return Rect{PeekI32LE(r), PeekI32LE(r + 4), PeekI32LE(r + 8), PeekI32LE(r + 12)};
}

void SetLegendHotArea(uint8_t records[3][16], int index, const Rect& r) {
    uint8_t* p = records[index];
    PokeU32LE(p, (uint32_t)r.left);
    PokeU32LE(p + 4, (uint32_t)r.top);
    PokeU32LE(p + 8, (uint32_t)r.right);
    PokeU32LE(p + 12, (uint32_t)r.bottom);
}

// [SECTION] Geometry

static Rect ScaledForLayout(Rect r) {
    if (!smallLayout) return r;
    return Rect{(int)(r.left * 0.8), (int)(r.top * 0.8), (int)(r.right * 0.8), (int)(r.bottom * 0.8)};
}

Rect LegendBarRect() {
    switch (screenMode) {
    case 4: return ScaledForLayout(Rect{738, 222, 748, 292});  // terrain
    case 5: return ScaledForLayout(Rect{738, 181, 748, 240});  // globe
    case 7: return ScaledForLayout(Rect{757, 278, 767, 352});  // statistics
    default: return ScaledForLayout(Rect{737, 222, 747, 278});  // 2D map and the rest
    }
}

// Whether the caller's display type shows the colours of the scale.
static int BarShowsColours(int displayCode) {
    if (displayCode == -1) return 1;
    switch (screenMode) {
    case 3: return displayCode == 2 || displayCode == 4;
    case 4: return displayCode == 2 || displayCode == 3 || displayCode == 4 || displayCode == 6 || displayCode == 9;
    case 5: return displayCode == 2 || displayCode == 4;
    default: return 0;
    }
}

// [SECTION] Texts

static double Truncated(double v) { return std::isfinite(v) ? std::trunc(v) : 0; }

// "%d" texts of values that may lie beyond an int (a damaged range): held at its limits.
static int AsInt(double v) { return (int)std::clamp(v, -2147483648.0, 2147483647.0); }

static int IsMarker(int v) { return v == kLegendElevation || v == kLegendNoLabels || v == kLegendQualitative; }

// Fixed-range labels may be huge (statistics share the range pair): billions and millions
// are shortened.
static std::string FixedRangeLabel(double value) {
    char text[64];
    if (std::fabs(value) >= 1e9) snprintf(text, sizeof text, "%.3f B", value / 1e9);
    else if (std::fabs(value) >= 1e6) snprintf(text, sizeof text, "%.3f M", value / 1e6);
    else snprintf(text, sizeof text, "%d", AsInt(value));
    return text;
}

struct LegendValues {
    double fixedMin, fixedMax, observedMin, observedMax;
    int marker;
};

static LegendValues ComputeValues(int markerValue, int low, int high) {
    LegendValues v;
    v.fixedMin = Truncated(fixedElevation.minimum);
    v.fixedMax = Truncated(fixedElevation.maximum);
    v.observedMin = Truncated(observedElevation.minimum);
    v.observedMax = Truncated(observedElevation.maximum);
    double marker = markerValue;
    if (screenMode != 7 && imperialUnits) {
        v.fixedMin = Truncated(v.fixedMin * kFeetPerMetre);
        v.fixedMax = Truncated(v.fixedMax * kFeetPerMetre);
        v.observedMin = Truncated(v.observedMin * kFeetPerMetre);
        v.observedMax = Truncated(v.observedMax * kFeetPerMetre);
        marker = Truncated(marker * kFeetPerMetre);
    }
    if (!IsMarker(low)) {
        v.fixedMin = v.observedMin = low / 10;
        v.fixedMax = v.observedMax = high / 10;
    }
    v.marker = AsInt(marker);
    return v;
}

// A text right-aligned at x and centred vertically on y.
static void LabelAt(Surface* s, int x, int y, const std::string& text, int align) {
    Point extent = TextExtent(s, text.c_str());
    SetTextAlign(s, align | TA_TOP);
    TextOut(s, x, y - extent.y / 2, text.c_str());
}

int LegendLabelTexts(int markerValue, int low, int high, std::string* top, std::string* bottom) {
    LegendValues v = ComputeValues(markerValue, low, high);
    top->clear();
    bottom->clear();
    if (low == kLegendNoLabels) return 0;
    char a[64], b[64];
    if (low == kLegendQualitative) {
        *top = "Heavy";
        *bottom = "Light";
    } else if (low == kLegendElevation) {
        if (fixedElevationRange) {
            *top = FixedRangeLabel(v.fixedMax);
            *bottom = FixedRangeLabel(v.fixedMin);
        } else {
            snprintf(a, sizeof a, "%d", AsInt(v.observedMax));
            snprintf(b, sizeof b, "%d", AsInt(v.observedMin));
            *top = a;
            *bottom = b;
        }
    } else {
        snprintf(a, sizeof a, "%.1f", high * 0.1);
        snprintf(b, sizeof b, "%.1f", low * 0.1);
        *top = a;
        *bottom = b;
    }
    return 1;
}

static void DrawLabels(Surface* s, const Rect& bar, int markerValue, int low, int high) {
    std::string top, bottom;
    if (!LegendLabelTexts(markerValue, low, high, &top, &bottom)) return;
    LabelAt(s, bar.left - 3, bar.top, top, TA_RIGHT);
    LabelAt(s, bar.left - 3, bar.bottom, bottom, TA_RIGHT);
}

// [SECTION] The bar

int LegendMarkerY(const Rect& bar, double value, double minimum, double maximum) {
    int y = bar.bottom;
    if (maximum != minimum) {
        double offset = (value - minimum) / (maximum - minimum) * (bar.top - bar.bottom);
        if (std::isfinite(offset)) y = bar.bottom + (int)std::clamp(offset, -1e6, 1e6);
    }
    return std::clamp(y, bar.top, bar.bottom);
}

// Reads the colours of every bar row, bottom row first, before anything is drawn, so that a
// scale that is missing or cut short leaves the legend as it was. 0 when a colour cannot be read.
static int ReadBarColours(const char* scalePath, const Rect& bar, std::vector<ColourRef>* rows) {
    ScaleFile scale;
    if (!OpenScaleFile(scalePath, &scale)) return 0;
    int height = bar.bottom - bar.top;
    int floor = screenMode == 3 && !fixedElevationRange;
    rows->assign((size_t)std::max(height, 0), 0);
    int ok = 1;
    for (int r = 0; r < height && ok; r++) ok = ScaleColour(&scale, ScaleIndexForRow(r, height, 0, floor), &(*rows)[(size_t)r]);
    CloseScaleFile(&scale);
    return ok;
}

static void DrawColourRows(Surface* s, const Rect& bar, const std::vector<ColourRef>& rows) {
    for (size_t r = 0; r < rows.size(); r++) {
        ColourRef c = rows[r];
        ColourRef shown = MakeColour(GammaLookup(ColourRed(c)), GammaLookup(ColourGreen(c)), GammaLookup(ColourBlue(c)));
        int y = bar.bottom - 1 - (int)r;
        SetPen(s, PEN_SOLID, 1, shown);
        MoveTo(s, bar.left, y);
        LineTo(s, bar.right - 1, y);
    }
}

// The bar of a display type without colours: what lies under it, bracketed in white.
static void DrawEmptyBar(Surface* s, const Rect& bar) {
    if (hbmVirtual && s != hbmVirtual)
        Blit(s, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, hbmVirtual, bar.left, bar.top);
    int inside = bar.right - 4;
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 255, 255));
    MoveTo(s, bar.left, bar.top);
    LineTo(s, inside, bar.top);
    LineTo(s, inside, bar.bottom - 1);
    LineTo(s, bar.left - 1, bar.bottom - 1);
}

static void DrawMarker(Surface* s, const Rect& bar, const LegendValues& v, uint8_t (*hotAreas)[16]) {
    double minimum = fixedElevationRange ? v.fixedMin : v.observedMin;
    double maximum = fixedElevationRange ? v.fixedMax : v.observedMax;
    int y = LegendMarkerY(bar, v.marker, minimum, maximum);
    Point shape[4] = {{bar.right + 1, y}, {bar.right + 6, y - 3}, {bar.right + 5, y}, {bar.right + 6, y + 3}};
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 255, 255));
    SetSolidBrush(s, MakeColour(255, 0, 0));
    PolygonShape(s, shape, 4);
    char text[32];
    snprintf(text, sizeof text, "%d", v.marker);
    Point extent = TextExtent(s, text);
    LabelAt(s, bar.right + 11, y, text, TA_LEFT);
    if (hotAreas)
        SetLegendHotArea(hotAreas, 2, Rect{bar.right + 1, y - extent.y / 2, bar.right + 11 + extent.x, y + extent.y / 2});
}

// DrawLegend with the box cleared to black first (clear set) once the colours are read.
static int DrawLegendInBox(Surface* s, const Rect& box, int clear, const char* scalePath, int markerValue, int drawBar,
                           int drawMarker, uint8_t (*hotAreas)[16], int drawLabels, int displayCode, int low, int high) {
    if (!s) return 0;
    Rect bar = LegendBarRect();
    int colours = drawBar && BarShowsColours(displayCode);
    std::vector<ColourRef> rows;
    if (colours && !ReadBarColours(scalePath, bar, &rows)) {
        ShowMessage("Cannot open file %s", scalePath);
        return 0;
    }
    // The box is the caller's; nothing is clipped to it, since the statistics bar runs below it.
    if (clear) FillRect(s, box, MakeColour(0, 0, 0));
    DrawState saved = GetDrawState(s);
    SetTextColour(s, MakeColour(255, 255, 255));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetFont(s, fhGeneric);
    SetPen(s, PEN_SOLID, 1, MakeColour(0, 0, 0));
    LegendValues values = ComputeValues(markerValue, low, high);
    if (colours) {
        DrawColourRows(s, bar, rows);
    } else if (drawBar) {
        DrawEmptyBar(s, bar);
    }
    if (drawBar || drawLabels) {
        DrawLabels(s, bar, markerValue, low, high);
        if (hotAreas) SetLegendHotArea(hotAreas, 0, bar);
    }
    if (drawMarker) DrawMarker(s, bar, values, hotAreas);
    SetDrawState(s, saved);
    return 1;
}

int DrawLegend(Surface* s, const Rect& box, const char* scalePath, int markerValue, int drawBar, int drawMarker,
               uint8_t (*hotAreas)[16], int drawLabels, int displayCode, int low, int high) {
    return DrawLegendInBox(s, box, 0, scalePath, markerValue, drawBar, drawMarker, hotAreas, drawLabels, displayCode, low, high);
}

// [SECTION] The elevation legend of the 2D map

Rect ElevationLegendBox() { return smallLayout ? Rect{559, 168, 634, 231} : Rect{699, 211, 793, 289}; }

int ElevationLegend(Surface* s, int displayCode) {
    if (!s) return 0;
    std::string path = ElevationScalePath();
    // A scale that cannot be read leaves the legend showing the colours the map still uses.
    return DrawLegendInBox(s, ElevationLegendBox(), 1, path.c_str(), 0, 1, 1, legendCache, 1, displayCode, kLegendElevation,
                           kLegendElevation);
}
