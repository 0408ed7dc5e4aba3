// Distances and areas on the 2D map: units and their labels, custom units from "distance.dat",
// great-circle lengths, window areas, the status line with its scale bar, and the measuring
// tool. Printing draws the same status line.
#pragma once

#include <string>

#include "map2d/map2d.h"
#include "platform/platform.h"

// [SECTION] Units

enum : int { kUnitMeters = 0, kUnitNauticalMiles = 1, kUnitKilometres = 2, kUnitMiles = 3, kUnitCustom = 4 };
enum : int { kAreaSquareKm = 0, kAreaSquareMiles = 1, kAreaAcres = 2, kAreaHectares = 3 };

// The units the status line shows; they last for the run and start at 0.
struct MeasureUnits {
    int area;      // 0..3
    int distance;  // 0..4
    int custom;    // k, the custom unit shown while distance is 4
};
extern MeasureUnits measureUnits;
void ResetMeasureUnits();

// Custom unit k of "distance.dat" (the data root first, then the volume): its size in metres
// and its name. Returns 0 when the file or its k-th unit line does not exist.
int ReadCustomUnit(int k, double* sizeMetres, std::string* name);

const char* AreaUnitLabel(int unit);  // " square kilometers", " square miles", ...
double SquareKmToAreaUnit(double squareKm, int unit);
// "meters", "nm", "km", "miles" or the name of custom unit k ("meters" when it is missing).
std::string DistanceUnitLabel(int unit, int k);
double MetresToDistanceUnit(double metres, int unit, int k);
// 3 -> 4 with k = 0 when custom unit 0 exists, 4 -> next k or back to 0, otherwise +1.
void AdvanceDistanceUnit(int* unit, int* k);
void AdvanceAreaUnit(int* unit);

// [SECTION] Lengths and areas on the sphere

// Great-circle distance between two positions, in the distance unit.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, int unit, int k);
// Surface of a latitude/longitude window in square kilometres (latitudes clamped to +-90).
double WindowAreaSquareKm(double north, double west, double south, double east);
// Ground width of a window along its central latitude, in the distance unit.
double WindowWidthInUnit(const MapWindow& w, int unit, int k);

// [SECTION] Status line

struct ScaleBarChoice {
    double length;  // a whole number of units
    int divisions;
};
// The candidate length closest to the target (earlier candidates win ties).
ScaleBarChoice ChooseScaleBar(double target);
// The bar's length in pixels for a map `mapWidth` pixels wide.
int ScaleBarPixels(double length, double target, int mapWidth);

// "Scale = 1:5,000,000 ": the scale rounded to whole units as formatGrouped prints it, so a
// typed scale reads back as typed and agrees with the zoom box's label.
std::string StatusScaleText(double scale);
// " Surface area is 1,234 square kilometers": the current window's area in an area unit.
std::string StatusAreaText(int areaUnit);
// The scale bar: a band `pixels` long centred on centreX, its divisions alternating in two
// rows, with end ticks; `unit` pixels stand for one pixel of the screen's bar (a page scales it).
void DrawScaleBar(Surface* s, int centreX, int top, int pixels, int divisions, int unit);
// The hit boxes of the last status line drawn.
extern Rect areaTextBox, scaleTextBox, unitBox;
// Keeps the empty status strip of the screen's background (taken from hbmVirtual when the
// map screen's background has just been loaded) to draw every status line on.
void KeepStatusLineBackground();
// Puts the empty strip back on a surface; 0 when none was kept.
int RestoreStatusLineBackground(Surface* s);
// Draws the area text, the scale text and the scale bar of the current window into the
// status strip under the map, on the kept empty strip (or, without one, on what the window's
// hbmVirtual holds there).
void DrawStatusLine(Surface* s, const Rect& map, const Rect& status, const MeasureUnits& units);
// Redraws the status line into hbmVirtual and shows it on the window.
void RefreshStatusLine();
// A click on the status line: the area text advances the area unit, the bar's label the
// distance unit. Returns 1 when a unit changed; the caller then redraws the status line.
int StatusLineClick(int x, int y);

// [SECTION] Measuring tool

// Runs the distance tool until Escape, a right click or 10 seconds without a left click;
// then the map is recomposed and the window repainted through `recompose`.
void MeasureDistanceTool(void (*recompose)());
// The running total of the last run of the tool, in the distance unit.
double LastMeasuredTotal();
