// The statistics screen's pieces shared between its files and with the shell: the screen's
// state, the region map and chart, the table with its paging and clipboard text, the value
// texts, the variable and region choosers and the hover readout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "stats/stats.h"

// [SECTION] State (stats_screen.cpp)

struct StatsScreenState {
    int view;               // -k while the region chooser shows (k the view to go back to); 1 map, 2 chart, 3 table
    int region;             // 0..8
    int variable;           // 1..34, of the map and the chart
    int tableVariables[4];  // most recent first, 0 empty
    int hoveredRegion;      // region rectangle under the pointer in the chooser, -1 none
    int readoutShown;
    int readoutIndex;       // palette index of the readout, 255 after clearing
    int leaveCode;          // -1 while the screen runs
    // What the legend shows, for a repaint.
    int legendShown;
    int legendVariable;
    float legendMin, legendMax;
};
extern StatsScreenState statsScreen;

// Repaints an area of the window: the backdrop, the panels and the current view.
void PaintStatisticsScreen(const Rect& area);
// Draws the current view again (the map, the chart or the table; nothing in the chooser).
void RedrawStatisticsView();

// The state a first visit starts from (view 1, region 1, variable 14 "Population").
void ResetStatisticsState();

// [SECTION] Value texts and the table's variables (stats_values.cpp)

// "N.A.", "%.3f trillion", "%.2f billion", "%.2f million", or the number with thousands
// separators and the variable's decimals.
std::string FormatStatValue(float value, int variable);
// Puts `variable` first among the four slots, keeping the others most recent first without
// repeats.
void UpdateTableVariables(int slots[4], int variable);
// The readout of a country: "%s: " and the value text.
std::string HoverReadoutText(const char* name, float value, int variable);

// [SECTION] Map and chart (stats_map.cpp)

// The region image file of a region for the layout: flat or chart, "640\" in front when small.
std::string RegionImageName(int region, int extruded, int small);
// Draws the flat map (extruded 0) or the chart (1) of a variable over a region, with its title
// and legend. 0 for a variable or region out of range or a file that cannot be read.
int DrawStatisticsMap(int variable, int region, int extruded);
// The chart's row walk over an image of palette indices (top row first, `stride` bytes a
// row) drawn with its top-left corner at (x, y) on s, which already shows the flat image.
// heights[p] are the height classes of the country indices (negative counts as 0). Nothing is
// drawn above row y.
void ExtrudeRegionImage(Surface* s, int x, int y, const uint8_t* indices, int width, int height, int stride,
                        const ColourRef palette[256], const int heights[256]);
// The title bar of the layout.
Rect StatsTitleRect();
// Draws the legend remembered by the last map draw, if any.
void DrawStatisticsLegend();
// Restores the legend's box and backdrop from the screen buffer.
void ClearStatisticsLegend();
// Forgets the region image kept between draws.
void ReleaseRegionImageCache();

// [SECTION] Table (stats_table.cpp)

// Where the table's columns go and which variables fit, for a drawing surface with the
// table's font selected.
struct TableLayout {
    int x, h;           // width and height of "X"
    int nameWidth;
    int columns;        // how many of the table variables fit
    int columnStart[4];
    int columnWidth[4];
};
// The names of the selection's countries from country.dat, by selection order. 0 after
// "Cannot open file table\country.dat".
int ReadSelectionNames(std::vector<std::string>* names);
// The header of a variable's column: its vars.inf name split into at most three words.
std::vector<std::string> ColumnHeaderWords(int variable);
TableLayout LayoutTable(Surface* s, const Rect& area, const std::vector<std::string>& names);
// The tab-separated text of the whole selection for the columns that fit.
std::string TableClipboardText(const std::vector<std::string>& names, const int* variables, int columns,
                               const std::vector<std::vector<float>>& values);
// Draws the table page on the window (the map area) and hands its text to the clipboard;
// the rows drawn, 0 when the last country was drawn.
int DrawStatisticsTable();
// Prints every page of the table through the print dialog, each page a job of its own.
int PrintStatisticsTable();
// The same onto a chosen printer; returns the number of jobs printed.
int PrintTableOn(Surface* printer);
// Steps the page by delta with a beep at either end, and redraws.
void StepTablePage(int delta);

// [SECTION] Choosers (stats_choosers.cpp)

// The region rectangle (0..8) of the layout.
Rect RegionHotRect(int region);
// The first region whose rectangle holds (x, y), or -1.
int RegionAt(int x, int y);
// Loads the nine highlight pictures; 0 (none kept) when one fails.
int LoadRegionHighlights();
void ReleaseRegionHighlights();
// Shows the highlight of region (or none with -1), restoring the one shown before.
void HighlightRegion(int region);
// The variable chooser of buttons 78, 79, 81 and 80: the variable picked, or 0.
int ChooseStatVariable(int button, int current);
// The variables of a chooser button in item order; the count, 0 for another button.
int ChooserVariables(int button, const int** items);
