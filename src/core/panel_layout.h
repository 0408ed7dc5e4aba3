// Geometry of the chooser panels and small pictures the artwork draws, in 800x600 pixels and
// relative to each picture's top-left corner (the 640x480 set scales everything by 0.8). The
// screens hit-test and highlight with these rectangles; the artwork is drawn on them.
#pragma once

#include "platform/platform.h"

struct PanelRect {
    int x, y, w, h;
};

// A length or an area of the 800x600 set in the current layout; the 640x480 pictures are the
// same drawings at 0.8, so every edge is scaled and truncated on its own.
inline int LayoutLength(int v, int small) { return small ? (int)(v * 0.8) : v; }
inline Rect LayoutArea(const PanelRect& a, int small) {
    return Rect{LayoutLength(a.x, small), LayoutLength(a.y, small), LayoutLength(a.x + a.w, small),
                LayoutLength(a.y + a.h, small)};
}

// The choosers come in four looks: the panel ("menu\42.bmp"), every area marked as the current
// choice ("menu\42m.bmp"), under the pointer ("menu\42r.bmp") and pressed ("menu\42h.bmp"); a
// chooser copies an area's rectangle from the look it needs. Likewise 68 and 124.

// "menu\42.bmp": the elevation colour chooser, 143 x 319. Areas 0-7 are the swatches (the
// colour bar goes 2 pixels inside), 8 fixed range, 9 range of the image, 10 confirm.
constexpr int kElevationChooserW = 143, kElevationChooserH = 319;
constexpr PanelRect kElevationChooserAreas[11] = {
    {6, 30, 14, 170},  {23, 30, 14, 170},  {40, 30, 14, 170}, {57, 30, 14, 170}, {74, 30, 14, 170}, {91, 30, 14, 170},
    {108, 30, 14, 170}, {125, 30, 14, 170}, {8, 210, 127, 22}, {8, 238, 127, 22}, {40, 278, 63, 26},
};

// "menu\68.bmp": the globe's data-type chooser, 144 x 258: eight entry rows, the confirm area
// and the place of the 107 x 85 preview ("menu\71a.bmp" .. "menu\71h.bmp").
constexpr int kDataChooserW = 144, kDataChooserH = 258;
constexpr PanelRect kDataChooserRows[8] = {
    {5, 24, 134, 17}, {5, 42, 134, 17}, {5, 60, 134, 17},  {5, 78, 134, 17},
    {5, 96, 134, 17}, {5, 114, 134, 17}, {5, 132, 134, 17}, {5, 150, 134, 17},
};
constexpr PanelRect kDataChooserConfirm = {98, 3, 42, 17};
constexpr PanelRect kDataChooserPreview = {18, 168, 107, 85};

// "menu\124.bmp": the ocean-level slider, 144 x 193. The track is painted row by row by the
// globe; the thumb is 17 x 9 and moves along the track's full height.
constexpr int kOceanSliderW = 144, kOceanSliderH = 193;
constexpr PanelRect kOceanSliderTrack = {14, 28, 20, 150};
constexpr PanelRect kOceanSliderReadout = {44, 48, 92, 22};   // the level, "%.0f m"
constexpr PanelRect kOceanSliderEntry = {44, 100, 92, 22};    // a typed level
constexpr PanelRect kOceanSliderConfirm = {44, 154, 92, 24};

// "menu\92.bmp" .. "menu\95.bmp": the statistics variable choosers. Categories 1-3 (93, 94, 95)
// share one size and mask ("menu\93m.bmp"); category 4 ("menu\92.bmp") has 18 rows.
constexpr int kVariableChooserW = 143;
constexpr int kVariableChooserRowsSmall = 10, kVariableChooserRowsLarge = 18;
constexpr int kVariableChooserTop = 24, kVariableChooserRowH = 18;
inline int VariableChooserHeight(int rows) { return kVariableChooserTop + rows * kVariableChooserRowH + 6; }
inline PanelRect VariableChooserRow(int i) { return {5, kVariableChooserTop + i * kVariableChooserRowH, 133, kVariableChooserRowH - 1}; }

// "menu\145.bmp": the flyby's display options, 144 x 193: five switch rows and a confirm area.
constexpr int kFlybyOptionsW = 144, kFlybyOptionsH = 193;
constexpr PanelRect kFlybyOptionRows[5] = {{5, 26, 134, 22}, {5, 52, 134, 22}, {5, 78, 134, 22}, {5, 104, 134, 22}, {5, 130, 134, 22}};
constexpr PanelRect kFlybyOptionsConfirm = {5, 162, 134, 24};

// "menu\144b.bmp" / "menu\144c.bmp": the world on which the flyby's start point is picked,
// 600 x 300, longitude -180..180 left to right and latitude 90..-90 top to bottom; drawn at
// (48, 139) in the map area. "menu\144c.bmp" is its lit (pointer-over) look.
constexpr int kStartMapW = 600, kStartMapH = 300, kStartMapX = 48, kStartMapY = 139;

// Masks: "menu\92m.bmp", "menu\93m.bmp" and "menu\145m.bmp" are black outside the panel's
// rounded shape, white on it, and grey 20 * (k + 1) on row k. "menu\151m.bmp" is the flyby
// heading dial (85 x 84, drawn at (704, 171)) and "menu\151m2.bmp" the throttle and climb
// tracks (102 x 101 at (695, 452)), white where they take clicks.
constexpr PanelRect kFlybyDialMask = {704, 171, 85, 84};
constexpr PanelRect kFlybyTracksMask = {695, 452, 102, 101};

// The terrain screen's value boxes beside the grid and exaggeration buttons, and its water
// level entry field; the globe's overlay month box. Window pixels.
constexpr PanelRect kTerrainGridValue = {752, 418, 22, 20};
constexpr PanelRect kTerrainReliefValue = {752, 441, 22, 20};
constexpr PanelRect kTerrainWaterEntry = {700, 377, 92, 24};
constexpr PanelRect kGlobeMonthBox = {699, 541, 67, 21};
