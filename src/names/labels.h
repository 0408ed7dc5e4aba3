// Place-name labels on the 2D map: the settings of "names.dat", the eight groups of names drawn
// after the vector layers, the naming command with its tags, and the geometry
// (point in polygon, segment intersection) the pickers share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "map2d/map2d.h"
#include "names/names.h"
#include "platform/platform.h"

constexpr int kNameClasses = 19;
constexpr int kMaxOverlapBoxes = 200;
constexpr int kMaxTags = 100;

struct NameClass {
    int32_t maxScale;   // A: the largest scale denominator at which the class is drawn
    int size;           // B: points (dots: pixels), never negative
    ColourRef colour;
};

struct NamesSettings {
    uint8_t switches[7];
    NameClass classes[kNameClasses];
};

// [SECTION] names.dat (names_settings.cpp)

// Parses the text of names.dat; 1 when it held the seven switches and the nineteen classes
// (missing lines read as zero).
int ParseNamesSettings(const char* text, size_t size, NamesSettings* out);
// Reads names.dat from the data root, else the volume; "Cannot open file %s" when absent.
int LoadNamesSettings(NamesSettings* out);

// [SECTION] Placement without overprinting (label_overlap.cpp)

// The boxes placed so far by one name file. A box is left, top, right, bottom.
struct OverlapBoxes {
    Rect boxes[kMaxOverlapBoxes];
    int count = 0;
};
// 1 when the box touches no stored box; it is then stored while there is room.
int PlaceLabelBox(OverlapBoxes* placed, const Rect& box);
// 1 when the box touches a stored box (nothing is stored). A label whose first column is
// already covered cannot be placed, which spares measuring its text.
int LabelBoxCovered(const OverlapBoxes* placed, const Rect& box);

// Moves a label box the least distance that brings it wholly inside the area; 0 (box
// unchanged) when it is larger than the area.
int KeepBoxInside(const Rect& area, Rect* box);

// [SECTION] Label texts (label_texts.cpp)

// Upper case for range and large-place labels (ö, ä, ü included).
std::string UpperCaseLabel(const std::string& name);
// "A L P S": each character followed by a blank, the last blank removed, upper-cased.
std::string SpacedRangeName(const std::string& name);
// The turn of a range label, in degrees counter-clockwise, from its direction byte.
int RangeAngle(int direction);
// "Mont Blanc (4807)" -> "Mont Blanc (15771 ft)" under imperial units.
std::string PeakNameInUnits(const std::string& name, int imperial);

// [SECTION] Drawing (label_drawing.cpp, label_places.cpp, label_dots.cpp)

// A whole file of the volume (data root first); "Cannot open file %s" when it is missing.
int ReadVolumeFile(const char* relative, std::vector<uint8_t>* out);
// Opens "names\\world.dat" and reads its cell index; the caller closes the file. 0 with the
// message when either file is missing.
FILE* OpenWorldFeatures(std::vector<WorldCell>* cells);
// The world features of one group of a cell, read from the open world.dat.
int ReadWorldGroup(FILE* f, const WorldGroup& g, std::vector<uint8_t>& chunk, std::vector<WorldFeature>* out);
// Whether a position lies in the current window (edges included), also when the window
// reaches across the date line and the position is on its far side.
int InCurrentWindow(double latitude, double longitude);
// The longitude as the current window shows it: shifted by 360 degrees when that brings it in.
double ShownLongitude(double longitude);
// Scale of the current window in the rectangle, integer part; or, while a page is labelled,
// the page's own scale (0 ends that).
long NamesMapScale(const Rect& r);
void SetNamesScaleOverride(long scale);
// Every switched-on group for the current window; skipped by the caller when drawing aborted.
void DrawPlaceNames(Surface* s, const Rect& r);
// The groups, one by one (the drawing order lives in DrawPlaceNames).
enum LabelStyle { LABEL_PLAIN = 0, LABEL_ITALIC = 1, LABEL_PEAK = 2, LABEL_AIRPORT = 3 };
// placed: the boxes to test against and add to; nullptr gives the file its own set.
int DrawClassLabels(Surface* s, const Rect& r, const NamesSettings& ns, const char* file, int firstClass,
                    int classCount, int style, OverlapBoxes* placed);
int DrawRangeLabels(Surface* s, const Rect& r, const NamesSettings& ns);
int DrawPopulatedPlaces(Surface* s, const Rect& r, const NamesSettings& ns);
// Country names in two halves, so other labels can be placed between: the boxes of the names
// shown in the window (tested against and added to placed), then the drawing.
struct CountryLabel {
    std::string name;
    int font;   // 0..3: 12, 10, 8 or 7 points
    Rect box;
};
int PlaceCountryNames(Surface* s, const Rect& r, OverlapBoxes* placed, std::vector<CountryLabel>* out);
int DrawPlacedCountryNames(Surface* s, const Rect& r, const std::vector<CountryLabel>& labels);
int DrawOceanDots(Surface* s, const Rect& r, const NameClass& cls);
int DrawWorldFeatureDots(Surface* s, const Rect& r, const NameClass& cls);
// The class of the user's own names (user_names.h): every scale, 9 points, pale red.
NameClass UserNameClass();

// [SECTION] Naming features (feature_picker.cpp)

struct NameTag {
    int x, y;
    int kind;           // 1 populated place, 2 river, 3 ocean feature, 4 world feature
    std::string name;   // at most 67 characters
};
extern std::vector<NameTag> tags;

// Which sources a pick may ask under the current drawing and settings.
struct PickSources {
    int places, rivers, ocean, world, countries;
    long scale;                  // of the map the user clicks on
    int32_t placeMaxScale[6];    // class A of the place classes 1..6: only shown places answer
};
PickSources PickableSources(const NamesSettings& ns, long scale);
// The feature nearest a pixel (less than 5 pixels away) among the sources asked; 1 when found.
int FindNamedFeature(const PickSources& src, const Rect& r, int px, int py, NameTag* found);
// The river whose line passes within a degree of a position; 1 with its name and anchor.
int PickRiver(const Rect& r, double latitude, double longitude, NameTag* found);
// The country whose polygon holds a position; 1 with its number.
int PickCountry(double latitude, double longitude, int* countryNumber);
// Adds the tag, or removes it when the same one is pinned; 1 added, 0 removed, -1 full.
int ToggleTag(const NameTag& tag);
// The naming command (button 21): pins and unpins tags until Escape or a click on a country,
// whose number goes to *countryNumber (0 when none). 1 when the pick ran and the map must be
// recomposed to clear its marks; 0 when it was refused.
int PickNamedFeatures(int* countryNumber);

// [SECTION] Geometry (polygon_tests.cpp)

int PointInPolygon(const float* xy, int n, double x0, double y0);
// 1 when the segments (x1, y1)-(x2, y2) and (x3, y3)-(x4, y4) meet; the meeting point in *x, *y.
int SegmentsIntersect(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                      double* x, double* y);
