// The imaging core: BMP files, window capture and the pixel buffer layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/platform.h"

// [SECTION] BMP files

// Loads a 24-bit BMP file of the data volume into a new surface (gamma applied). With the
// 640x480 layout the "640\" variant is tried first. Shows the failure and returns 0.
int LoadBMPFromFile(const char* name, Surface** out);
// Loads a BMP file over hbmVirtual from its top-left corner; the window is not repainted.
int LoadBMPToBackground(const char* name);

// An 8-bit BMP file drawn through the caller's palette; the file's own colour table is not used.
struct Bitmap8 {
    Surface* bitmap = nullptr;
    int width = 0, height = 0;         // heights of top-down files are reported positive
    const uint8_t* pixels = nullptr;   // into loadBuf: rows as stored in the file
    std::vector<uint8_t> loadBuf;      // the file after its 14-byte header; owned by the caller
};
int Load8BitBMP(const ColourRef palette[256], const char* name, Bitmap8* out);
void Release8BitBMP(Bitmap8* b);

// Decodes BMP bytes (a whole file) into rows of 32-bit pixels; no messages, for checks and tests.
// Returns 0 for anything that is not a well-formed 8- or 24-bit BMP.
struct DecodedBmp {
    int width = 0, height = 0, bitCount = 0;
    std::vector<uint32_t> pixels;  // 0xFFRRGGBB, top row first
};
int DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out);
// Encodes a 24-bit bottom-up BMP file from 0xFFRRGGBB pixels (top row first).
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride);

// [SECTION] Window capture

constexpr int kCaptureWidth = 800, kCaptureHeight = 600;
// Captures the window (fromWindow = 1) or hbmVirtual as 800x600 24-bit rows, bottom row first;
// with blackToWhite every pure black pixel becomes white.
int CaptureWindow(int fromWindow, int blackToWhite, std::vector<uint8_t>* out);

// [SECTION] Pixel buffers: palette-indexed off-screen buffers for the flyby

constexpr int kMaxPixelBuffers = 32;
void PbInitialise();
void PbSetSurface(Surface* target);
int PbCreate(int width, int height);           // handle 0..31, or -1 when none is free
int PbActivate(int handle);                    // 0, -1 for a handle above 31, -2 for a free one
void PbOpen();
void PbSetPaletteIndexMode(int on);
uint8_t* PbAddress(int handle);                // 0 for a bad handle
int PbWidth(int handle);
int PbHeight(int handle);
void PbSetClip(int minX, int maxX, int minY, int maxY);
void PbMove(int x, int y);
void PbSetColour(uint8_t index);
void PbPoint(int x, int y);
void PbLineTo(int x, int y);
int PbNearestColour(int red, int green, int blue);
int PbLoadBMP(const char* name, int flags);
void PbGetImage(uint8_t* memory, int width, int height);
void PbPutImage(const uint8_t* memory, int width, int height);
void PbScaleImage(const uint8_t* source, uint8_t* target, int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);
void PbCopyRegion(int fromHandle, int minX, int maxX, int minY, int maxY, int toHandle, int x, int y);
void PbPaste(int minX, int maxX, int minY, int maxY, int x, int y);
void PbSetPalette(const ColourRef palette[256]);
const ColourRef* PbCurrentPalette();
void PbFree(int handle);
void PbDeactivate();

// [SECTION] Colour scales
// A scale file holds 10,000 colours, colour k at offset 8 + 3k as red, green, blue. Colours
// are read one at a time; the file is never loaded whole.

constexpr int kScaleColours = 10000;
constexpr int kElevationFloor = 492;   // lowest index for elevations over the observed range
constexpr int kMaxScaleEntries = 25;   // entries of "scales.dat"
constexpr int kChooserScales = 8;      // swatches of the elevation scale chooser

// Elevations in metres.
struct ElevationRange {
    double minimum, maximum;
};
// The fixed range (normally -392 .. 8848) and the range met while composing the current map.
extern ElevationRange fixedElevation;
extern ElevationRange observedElevation;
// Set: elevations are coloured over the fixed range with the whole scale. Clear: over the
// observed range, with indices below kElevationFloor raised to it.
extern int fixedElevationRange;

struct ScaleFile {
    FILE* file = nullptr;
};
// Opens a scale path ("<dataRoot>\scales\ian1.sca"), and when that fails the same name without
// the data root prefix on the volume. 0 when neither opens; no message.
int OpenScaleFile(const char* path, ScaleFile* out);
void CloseScaleFile(ScaleFile* scale);
// Colour k (clamped to 0..9999) as a ColourRef; 0 when it cannot be read.
int ScaleColour(ScaleFile* scale, int k, ColourRef* out);

// Value v over [lo, hi] to a scale index: trunc((v - lo) / (hi - lo) * 10000) clamped to
// 0..9999, raised to kElevationFloor when floor is set.
int ScaleIndexForValue(double v, double lo, double hi, int floor);
// Entry i of an n-entry palette: trunc(i / n * 10000), clamped, floored when asked.
int ScaleIndexForEntry(int i, int n, int floor);
// Row of a colour bar of `height` rows, counted from the bottom (legend) or from the top
// (chooser swatches); the top row always shows the high end of the scale.
int ScaleIndexForRow(int row, int height, int fromTop, int floor);
// Fills palette[0..n-1] with the raw colours of a scale (no gamma). Shows "Cannot open file %s"
// and leaves the palette as it was when the file cannot be opened or read.
int PaletteFromScale(const char* path, int n, int floor, ColourRef* palette);

// The elevation scale list "scales.dat".
struct ScaleListEntries {
    int count = 0;
    int defaultIndex = -1;   // the last entry marked with 1, or -1
    char names[kMaxScaleEntries][20] = {};
};
// Applies the line rules of "scales.dat" to its text: only lines beginning with 0 or 1 that
// name a file between < and >; names cut to nameLimit characters (at most 19).
void ParseScaleList(const char* text, size_t size, int maxEntries, int nameLimit, ScaleListEntries* out);
// Reads "scales.dat" (data root, then volume) at start-up; the number of entries. A missing
// file leaves the list empty without a message.
int ReadScaleList();
int ScaleListCount();
const char* ScaleListName(int index);
int ElevationScaleIndex();
// Ignored unless 0 <= index < ScaleListCount().
void SetElevationScaleIndex(int index);
// Writes "<dataRoot>\scales\<current entry>" and returns 1; with an empty list returns 0 and
// leaves the buffer as the caller filled it ("<dataRoot>\scales\ian1.sca").
int CurrentElevationScalePath(char* path, size_t size);
// The same with the default scale filled in for an empty list.
std::string ElevationScalePath();
// The names of the chooser's eight swatches: "ian1.sca" for each, overwritten in order by the
// entries of "scales.dat" (cut to 19 characters). Returns how many were read, at most 8.
int ReadChooserList(char names[kChooserScales][20]);

// [SECTION] The colour-scale legend

// Markers given as low and high instead of a range in tenths of the displayed unit.
constexpr int kLegendElevation = -9999;    // labels from the elevation ranges
constexpr int kLegendNoLabels = -8888;
constexpr int kLegendQualitative = -8889;  // "Light" .. "Heavy"
// Hot-area records as kept in legendCache: left, top, right, bottom as little-endian int32.
// Record 0 is the colour bar, record 2 the marker's label; -1 everywhere when none.
Rect LegendHotArea(const uint8_t records[3][16], int index);
void SetLegendHotArea(uint8_t records[3][16], int index, const Rect& r);
// The colour bar of the legend for the current screen mode and layout.
Rect LegendBarRect();
// Draws the legend of a scale into legend box `box` of surface s. displayCode -1 always
// draws the colours; otherwise the caller's display type decides whether the bar is filled.
// Returns 0 after "Cannot open file %s" when the bar needs a scale that cannot be opened.
int DrawLegend(Surface* s, const Rect& box, const char* scalePath, int markerValue, int drawBar, int drawMarker,
               uint8_t (*hotAreas)[16], int drawLabels, int displayCode, int low, int high);
// Clears the elevation legend box of surface s and draws the current elevation scale with
// the marker at 0 and its hot areas in legendCache. displayCode is the 2D map's background
// choice (2 and 4 show elevation colours).
int ElevationLegend(Surface* s, int displayCode);
// The elevation scale chooser panel at (x, y) in 800x600 coordinates, on the window; runs
// until the user confirms or cancels. 1 when a new scale or range switch was confirmed.
int ElevationScaleChooser(int x, int y, int displayCode);
