// Distances and areas on a sphere of 6,378 km: the units the status line offers (with the
// custom units of "distance.dat"), great-circle lengths, the surface of a map window, and the
// status line under the map with its area text, scale text and checkered scale bar.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "map2d/measurement.h"

MeasureUnits measureUnits;
Rect areaTextBox, scaleTextBox, unitBox;

static struct {
    Surface* background;  // the empty status strip across the whole status rectangle
    Rect at;
} statusLine;

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kSphereCircleArea = 255592966.26126274;  // 2 pi 6378^2, km^2

void ResetMeasureUnits() { measureUnits = MeasureUnits{0, 0, 0}; }

// [SECTION] Units

int ReadCustomUnit(int k, double* sizeMetres, std::string* name) {
    *sizeMetres = 1.0;
    FILE* f = OpenDataFile("distance.dat", "rb");
    if (!f) return 0;
    char line[115];
    int found = 0, index = 0;
    while (fgets(line, sizeof line, f)) {
        if (line[0] < '0' || line[0] > '9') continue;
        if (index++ < k) continue;
        *sizeMetres = atof(line);
        line[strcspn(line, "\r\n")] = 0;
        const char* open = strchr(line, '"');
        if (open) {
            const char* close = strchr(open + 1, '"');
            *name = close ? std::string(open + 1, close) : std::string(open + 1);
        } else {
            *name = line;
        }
        found = 1;
        break;
    }
    fclose(f);
    return found;
}

const char* AreaUnitLabel(int unit) {
    static const char* const kLabels[4] = {" square kilometers", " square miles", " acres", " hectares"};
    return kLabels[unit >= 0 && unit < 4 ? unit : 0];
}

double SquareKmToAreaUnit(double squareKm, int unit) {
    switch (unit) {
    case kAreaSquareMiles: return squareKm * 0.3861;
    case kAreaAcres: return squareKm * 247.10538146716533;
    case kAreaHectares: return squareKm * 100.0;
    default: return squareKm;
    }
}

std::string DistanceUnitLabel(int unit, int k) {
    static const char* const kLabels[4] = {"meters", "nm", "km", "miles"};
    if (unit >= 0 && unit < 4) return kLabels[unit];
    double size;
    std::string name;
    return ReadCustomUnit(k, &size, &name) ? name : std::string("meters");
}

double MetresToDistanceUnit(double metres, int unit, int k) {
    switch (unit) {
    case kUnitNauticalMiles: return metres / 1852.0;
    case kUnitKilometres: return metres * 0.001;
    case kUnitMiles: return metres * 0.0006213727366498068;
    case kUnitCustom: {
        double size;
        std::string name;
        ReadCustomUnit(k, &size, &name);  // a missing unit leaves the size at 1: metres
        return metres / size;
    }
    default: return metres;
    }
}

void AdvanceDistanceUnit(int* unit, int* k) {
    double size;
    std::string name;
    if (*unit < kUnitMiles) {
        (*unit)++;
    } else if (*unit == kUnitMiles) {
        *unit = kUnitCustom;
        *k = 0;
        if (!ReadCustomUnit(0, &size, &name)) *unit = kUnitMeters;
    } else {
        (*k)++;
        if (!ReadCustomUnit(*k, &size, &name)) {
            *unit = kUnitMeters;
            *k = 0;
        }
    }
}

void AdvanceAreaUnit(int* unit) { *unit = (*unit + 1) % 4; }

// [SECTION] Lengths and areas on the sphere

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, int unit, int k) {
    double dLon = fabs(lon1 - lon2);
    if (dLon > 180.0) dLon = 360.0 - dLon;
    double c = cos(dLon / kDegreesPerRadian) * cos(lat2 / kDegreesPerRadian) * cos(lat1 / kDegreesPerRadian) +
               sin(lat2 / kDegreesPerRadian) * sin(lat1 / kDegreesPerRadian);
    if (c > 1.0) c = 1.0;  // rounding can push identical points just past 1
    if (c < -1.0) c = -1.0;
    double theta = acos(c) * kDegreesPerRadian;
    switch (unit) {
    case kUnitNauticalMiles: return theta * 60.0;
    case kUnitKilometres: return theta * 60.0 * 1.852;
    case kUnitMiles: return theta * 60.0 * 1.150779356060606;
    case kUnitCustom: return MetresToDistanceUnit(theta * 60.0 * 1852.0, unit, k);
    default: return theta * 60.0 * 1852.0;
    }
}

static double ClampLatitude(double v) { return v < -90.0 ? -90.0 : v > 90.0 ? 90.0 : v; }

double WindowAreaSquareKm(double north, double west, double south, double east) {
    north = ClampLatitude(north);
    south = ClampLatitude(south);
    return (cos((90.0 - north) * M_PI / 180.0) - cos((90.0 - south) * M_PI / 180.0)) * kSphereCircleArea *
           fabs(east - west) / 360.0;
}

double WindowWidthInUnit(const MapWindow& w, int unit, int k) {
    double centre = cos((w.north + w.south) / 2.0 * M_PI / 180.0);
    if (unit == kUnitNauticalMiles) return centre * fabs(w.east - w.west) * 60.0;
    return MetresToDistanceUnit(centre * fabs(w.east - w.west) * kMetresPerDegree, unit, k);
}

// [SECTION] Scale bar

ScaleBarChoice ChooseScaleBar(double target) {
    static const int kMultiples[14] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 14, 15, 16, 18};
    static const int kDivisions[14] = {5, 4, 6, 4, 5, 6, 7, 4, 6, 6, 7, 5, 4, 6};
    ScaleBarChoice best{1000.0, 5};
    double bestDifference = HUGE_VAL;
    double power = 1.0;
    for (int p = 0; p <= 8; p++, power *= 10.0) {
        for (int i = 0; i < 14; i++) {
            double candidate = kMultiples[i] * power;
            double difference = fabs(target - candidate);
            if (difference < bestDifference) {
                bestDifference = difference;
                best = ScaleBarChoice{candidate, kDivisions[i]};
            }
        }
    }
    return best;
}

int ScaleBarPixels(double length, double target, int mapWidth) {
    if (!(target > 0.0)) return 0;
    double pixels = length / target * (mapWidth / 4);
    return pixels > 100000.0 ? 100000 : (int)pixels;
}

// [SECTION] Status line

// Draws a text clipped to its own extent with its top-left corner at (x, y); returns its box.
static Rect DrawClippedText(Surface* s, int x, int y, const std::string& text) {
    Point e = TextExtent(s, text.c_str());
    Rect box{x, y, x + e.x, y + e.y};
    SetClipRect(s, box);
    TextOut(s, x, y, text.c_str());
    ClearClip(s);
    return box;
}

void DrawScaleBar(Surface* s, int centreX, int top, int pixels, int divisions, int u) {
    int left = centreX - pixels / 2;
    FillRect(s, Rect{left, top, left + pixels, top + 5 * u}, MakeColour(255, 255, 255));
    for (int i = 0; i < divisions; i++) {
        int x0 = left + pixels * i / divisions, x1 = left + pixels * (i + 1) / divisions;
        int row = (i % 2 == 0) ? 1 : 3;
        FillRect(s, Rect{x0, top + row * u, x1, top + (row + 2) * u}, MakeColour(0, 0, 255));
    }
    // End ticks reach a pixel above and below the band.
    FillRect(s, Rect{left, top - u, left + u, top + 7 * u}, MakeColour(255, 255, 255));
    FillRect(s, Rect{left + pixels - u, top - u, left + pixels, top + 7 * u}, MakeColour(255, 255, 255));
}

std::string StatusAreaText(int areaUnit) {
    const MapWindow& w = CurrentMapWindow();
    double area = SquareKmToAreaUnit(WindowAreaSquareKm(w.north, w.west, w.south, w.east), areaUnit);
    return " Surface area is " + formatGrouped(area, 0) + AreaUnitLabel(areaUnit);
}

void KeepStatusLineBackground() {
    if (statusLine.background) DeleteSurface(statusLine.background);
    statusLine.background = nullptr;
    statusLine.at = statusRect;
    int w = statusRect.right - statusRect.left, h = statusRect.bottom - statusRect.top;
    if (!hbmVirtual || w <= 0 || h <= 0) return;
    statusLine.background = CreateSurface(w, h);
    if (statusLine.background) Blit(statusLine.background, 0, 0, w, h, hbmVirtual, statusRect.left, statusRect.top);
}

int RestoreStatusLineBackground(Surface* s) {
    if (!statusLine.background || !s) return 0;
    const Rect& r = statusLine.at;
    Blit(s, r.left, r.top, r.right - r.left, r.bottom - r.top, statusLine.background, 0, 0);
    return 1;
}

std::string StatusScaleText(double scale) { return "Scale = 1:" + formatGrouped(scale, 0) + " "; }

void DrawStatusLine(Surface* s, const Rect& map, const Rect& status, const MeasureUnits& units) {
    if (!s) return;
    Rect strip{map.left, status.top, map.right, status.bottom};
    if (!RestoreStatusLineBackground(s) && hbmVirtual && s != hbmVirtual)
        Blit(s, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, hbmVirtual, strip.left, strip.top);
    DrawState saved = GetDrawState(s);
    SetFont(s, fhGeneric);
    SetTextColour(s, MakeColour(255, 255, 255));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    int textHeight = TextExtent(s, "0").y;
    int textTop = status.top + (status.bottom - status.top - textHeight) / 2;

    const MapWindow& w = CurrentMapWindow();
    areaTextBox = DrawClippedText(s, map.left, textTop, StatusAreaText(units.area));

    std::string scale = StatusScaleText(MapScale());
    Point scaleExtent = TextExtent(s, scale.c_str());
    scaleTextBox = DrawClippedText(s, map.right - scaleExtent.x, textTop, scale);

    int mapWidth = map.right - map.left;
    double target = 0.25 * WindowWidthInUnit(w, units.distance, units.custom);
    ScaleBarChoice bar = ChooseScaleBar(target);
    int pixels = ScaleBarPixels(bar.length, target, mapWidth);
    int centreX = (areaTextBox.right + scaleTextBox.left) / 2;
    int barTop = status.top + 2;
    DrawScaleBar(s, centreX, barTop, pixels, bar.divisions, 1);
    std::string label = " " + formatGrouped(bar.length, 0) + " " + DistanceUnitLabel(units.distance, units.custom) + " ";
    Point labelExtent = TextExtent(s, label.c_str());
    unitBox = DrawClippedText(s, centreX - labelExtent.x / 2, barTop + 7, label);
    SetDrawState(s, saved);
}

void RefreshStatusLine() {
    if (hbmVirtual) {
        DrawStatusLine(hbmVirtual, mapRect, statusRect, measureUnits);
        if (WindowSurface())
            Blit(WindowSurface(), statusRect.left, statusRect.top, statusRect.right - statusRect.left,
                 statusRect.bottom - statusRect.top, hbmVirtual, statusRect.left, statusRect.top);
    } else {
        DrawStatusLine(WindowSurface(), mapRect, statusRect, measureUnits);
    }
}

static int InBox(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

int StatusLineClick(int x, int y) {
    if (InBox(areaTextBox, x, y)) {
        AdvanceAreaUnit(&measureUnits.area);
    } else if (InBox(unitBox, x, y)) {
        AdvanceDistanceUnit(&measureUnits.distance, &measureUnits.custom);
    } else {
        return 0;
    }
    return 1;
}
