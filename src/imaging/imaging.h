// The imaging core: BMP files, window capture, the pixel buffer layer, colour scales and
// their legend, the tile codec and the progress indicator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] Progress indicator (progress_indicator.cpp)

// The bar of a long operation at percent (0..100) on its panel at the bottom left; finished
// restores what lay beneath and plays the process cue. Not shown in the room.
void ProgressIndicator(int finished, int percent);
// Restores the help-prompt line from hbmVirtual while help prompts are on; 1 when it did.
int RestorePromptLine();

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

// What a BMP file's headers say, checked against the bytes present. Offsets count from the
// start of the file.
struct BmpLayout {
    int width = 0, height = 0;   // height positive; topDown tells the order of the rows
    int topDown = 0;
    int bitCount = 0;            // 8 or 24
    size_t rowBytes = 0;         // stored row, padded to a multiple of 4
    size_t pixelOffset = 0;
    size_t tableOffset = 0;      // 8-bit: the colour table (blue, green, red, 0 an entry)
    int tableEntries = 0;
    int tableEntryBytes = 4;     // 3 after a 12-byte core header (no reserved byte)
    int headerSize = 0;          // of the information header: 12, 40 or more
};
// The one BMP parser of the program. fileHeader is the file's first 14 bytes, rest the
// restSize bytes after them. 1 for an uncompressed 8- or 24-bit picture whose colour table
// and pixel rows lie within rest; otherwise 0 with a plain description of what is wrong
// ("the file ends before its pixel rows", "unsupported bit count 4") in *reason.
int ParseBmp(const uint8_t fileHeader[14], const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason);
// The headers alone, for a reader that takes the pixel rows from the file itself: the file
// and information headers (the old 12-byte core header too) with their own checks. The colour
// table and the pixel rows are not looked at, so rest may end after the headers.
int ParseBmpHeaders(const uint8_t fileHeader[14], const uint8_t* rest, size_t restSize, BmpLayout* out, std::string* reason);
// Row r counted from the top, in rest.
const uint8_t* BmpRowFromTop(const uint8_t* rest, const BmpLayout& layout, int r);
// Entry i of an 8-bit picture's own colour table; black beyond its entries.
ColourRef BmpTableColour(const uint8_t* rest, const BmpLayout& layout, int i);

// Decodes BMP bytes (a whole file) into rows of 32-bit pixels; no messages, for checks and tests.
// Returns 0 for anything that is not a well-formed 8- or 24-bit BMP, saying why in *reason.
struct DecodedBmp {
    int width = 0, height = 0, bitCount = 0;
    std::vector<uint32_t> pixels;  // 0xFFRRGGBB, top row first
};
int DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out, std::string* reason = nullptr);
// Encodes a 24-bit bottom-up BMP file from 0xFFRRGGBB pixels (top row first).
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride);
// Encodes an 8-bit BMP file with its own colour table (paletteRgb: red, green, blue triplets,
// at most 256) from rows of palette indices given bottom row first, each padded to 4 bytes.
std::vector<uint8_t> EncodeBmp8(const uint8_t* indices, int width, int height, const std::vector<uint8_t>& paletteRgb);

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
// The 2D map's legend hot areas (bar, -, marker label), set by the legend drawer.
extern uint8_t legendCache[3][16];
// Forgets them (-1 everywhere): at start-up, and whenever the legend is no longer shown.
void ClearLegendHotAreas();
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
// The texts at the top and bottom of the bar; 0 when the legend has none (kLegendNoLabels).
int LegendLabelTexts(int markerValue, int low, int high, std::string* top, std::string* bottom);
// Where the marker of `value` sits on a bar over [minimum, maximum], kept within the bar.
int LegendMarkerY(const Rect& bar, double value, double minimum, double maximum);
// The box the elevation legend clears: (699, 211)-(793, 289), or its 640x480 counterpart.
Rect ElevationLegendBox();
// Clears the elevation legend box of surface s and draws the current elevation scale with
// the marker at 0 and its hot areas in legendCache. displayCode is the 2D map's background
// choice (2 and 4 show elevation colours).
int ElevationLegend(Surface* s, int displayCode);
// [SECTION] Tile codec: the imagery, elevation and shade tiles of the data volume
//
// Three layers per kind: world overviews, 60-degree coarse tiles (1670 x 1670 samples) and
// 12-degree fine tiles (1336 x 1336 samples as 334 x 334 blocks of 4 x 4) whose blocks are
// indices into codebooks. Colour and height fine tiles hold corrections added to the coarse
// sample beneath; shade fine tiles hold the shade itself. Four fine samples span exactly one
// coarse sample, so fine block (j, k) of a tile lies on one coarse sample.

constexpr int kFineSamples = 1336;        // per side of a fine tile
constexpr int kFineBlocks = 334;          // 4 x 4 blocks per side
constexpr int kFineDegrees = 12;
constexpr int kFineTileRows = 15;         // northern edges 90, 78, ..., -78
constexpr int kFineTileColumns = 30;      // western edges -180, -168, ..., 168
constexpr int kCvqRowBytes = 1336;        // 334 records of 32 bits
constexpr int kVqcRowBytes = 501;         // 167 groups of three bytes, two 12-bit indices each
constexpr int kCvqFileSize = 446224;
constexpr int kVqcFileSize = 167334;      // ".hvc" and ".vqc"
constexpr int kCoarseSamples = 1670;      // per side of a coarse tile
constexpr int kCoarseDegrees = 60;
constexpr int kCoarseTileRows = 3;        // northern edges 90, 30, -30
constexpr int kCoarseTileColumns = 6;     // western edges -180, -120, ..., 120
constexpr int kCoarseRowBytes = 3340;
constexpr int kCoarseFileSize = 5577800;
constexpr int kShade8Width = 5010, kShade8Height = 2505;     // "raster\shadow\shadow.8", u8
constexpr int kTopWidth = 800, kTopHeight = 600;             // "hts.top" (i16), "shadow.top" (u8)
constexpr int kRgbTopWidth = 1600, kRgbTopHeight = 1200;     // "rgb2.top", 3 bytes red, green, blue

enum TileLayer { kLayerColour = 0, kLayerHeight = 1, kLayerShade = 2 };

// Tile names, written the volume's way (backslashes); open them with OpenDataFile, which
// matches them without regard to letter case. Edges are whole degrees.
std::string TileNameFine(TileLayer layer, int west, int north);    // ".cvq", ".hvc", ".vqc"
std::string TileNameCoarse(TileLayer layer, int west, int north);  // ".16e", ".HLE"; no shade layer ("")
inline int FineTileNorth(int i) { return 90 - kFineDegrees * i; }   // i = 0..14
inline int FineTileWest(int j) { return -180 + kFineDegrees * j; }  // j = 0..29
inline int CoarseTileNorth(int i) { return 90 - kCoarseDegrees * i; }   // i = 0..2
inline int CoarseTileWest(int j) { return -180 + kCoarseDegrees * j; }  // j = 0..5

// Position to sample: offset = (longitude - western edge) or (northern edge - latitude) in
// degrees, over a tile of extent degrees and n samples. Truncates toward zero (so -0.5
// samples is sample 0); 1 and *sample when the result lies in 0..n-1, else 0.
int PositionToSample(double offset, double extent, int n, int* sample);

// [SECTION] Codebooks: one of each kind may be loaded at a time
//
// Each codebook is held at three levels: level 0 the 4 x 4 entries as read (16 values,
// row-major), level 1 four values per entry (value k = mean of full values 4k..4k+3,
// truncated toward zero; laid out 2 x 2), level 2 one value (mean of the level-1 values).
struct Codebook8 {          // `codebook`: shade, unsigned bytes
    int entries = 0;        // 4096 or 2048; indices above the last entry read as 0
    uint8_t level0[4096 * 16];
    uint8_t level1[4096 * 4];
    uint8_t level2[4096];
};
struct Codebook16 {         // `codebookH`: height corrections in metres
    int entries = 0;        // 4096
    int16_t level0[4096 * 16];
    int16_t level1[4096 * 4];
    int16_t level2[4096];
};
struct CodebookRGB {        // `codebookRGB`: red/green part (2048 entries) and blue part (1024)
    int16_t rg0[2048 * 16], rg1[2048 * 4], rg2[2048];
    int16_t b0[1024 * 16], b1[1024 * 4], b2[1024];
};
extern Codebook8* codebook;       // null while not loaded
extern Codebook16* codebookH;
extern CodebookRGB* codebookRGB;

// Loaders look the files up under dataRoot and then on the data volume. They show
// "codebook[] already allocated", "Cannot allocate codebook[]", "Cannot open file %s" (and the
// codebookH / codebookRGB forms) and return 0; on failure nothing stays loaded.
int LoadCodebook(const char* name);                       // "raster\shadow\shadow.cod"
int LoadCodebookH(const char* name);                      // "raster\hts\hts_4096.cod"
int LoadCodebookRGB(const char* rgName, const char* bName);  // "raster\rgb\rg_2048.cod", "raster\rgb\b_1024.cod"
// Show "codebook[] already released" (and the others) and return 0 when not loaded.
int ReleaseCodebook();
int ReleaseCodebookH();
int ReleaseCodebookRGB();
// The same from bytes already in memory (the builder, tests, fuzzing); no file lookup, no
// message. A shade codebook of exactly 65,536 bytes has 4096 entries, any other 2048; 0 when
// the bytes are fewer than the entries need.
int ParseShadeCodebook(const uint8_t* bytes, size_t size, Codebook8* out);
// entries x 16 little-endian int16 values into level0, with level1 and level2 derived.
int ParseCodebook16(const uint8_t* bytes, size_t size, int entries, int16_t* level0, int16_t* level1, int16_t* level2);

// [SECTION] Fine tiles

// One fine tile read whole, with the block row decoded last. Decoded values are stored as
// int16 per channel (colour: red, green, blue corrections; height: corrections; shade: 0..255),
// edge rows of 334 * edge values each, with a row stride of kFineSamples.
struct FineTile {
    TileLayer layer = kLayerShade;
    std::vector<uint8_t> bytes;   // the whole file
    int level = 0;                // 0, 1, 2: block edge 4, 2, 1
    int decodedRow = -1;          // block row held in values, -1 for none
    std::vector<int16_t> values[3];
};
// Reads a fine tile whole (OpenDataFile). 0 without a message when the file is missing or not
// of its layer's exact size: a missing tile leaves what lies beneath.
int LoadFineTile(const char* name, TileLayer layer, FineTile* tile);
// Takes tile bytes already in memory (tests, the builder's checks); 0 when the size is wrong.
int SetFineTileBytes(FineTile* tile, TileLayer layer, std::vector<uint8_t> bytes);
void SetFineTileLevel(FineTile* tile, int level);   // forgets the decoded block row
// Decodes block row k (0..333) at the tile's level, unless it is the row decoded last.
// Shows "codebook[] not allocated yet" (codebookH, codebookRGB) and returns 0 without it.
int DecodeFineBlockRow(FineTile* tile, int blockRow);
inline int FineBlockEdge(int level) { return level == 0 ? 4 : level == 1 ? 2 : 1; }
// Within the decoded block row: the value row and column of tile sample (c, r), 0..1335.
inline int FineValueRow(int r, int level) { return level == 0 ? (r & 3) : level == 1 ? (r & 3) >> 1 : 0; }
inline int FineValueColumn(int c, int level) {
    int v = level == 0 ? c : level == 1 ? c / 2 : c / 4;
    int last = kFineBlocks * FineBlockEdge(level) - 1;
    return v < 0 ? 0 : v > last ? last : v;
}
// The value of channel ch (0 for height and shade) at tile sample (c, r); decodes the block
// row r / 4 when needed. 0 when the codebook is absent (message shown).
int FineSample(FineTile* tile, int c, int r, int ch, int* value);
// Block indices as stored, for checks: ".cvq" gives red, green, blue; the others index[0].
void FineBlockIndices(const FineTile* tile, int blockColumn, int blockRow, int index[3]);

// Colour correction added to a base channel, clamped to 0..255.
inline uint8_t AddResidual(int base, int residual) {
    int v = base + residual;
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// [SECTION] Coarse tiles

// Reads coarse row r (0..1669) of an open ".16e" or ".HLE" file and unscrambles it; 0 on a
// short read (out is then zeroed). Heights are the same 16 bits read as int16_t.
int ReadCoarseRow(FILE* f, int row, uint16_t out[kCoarseSamples]);
int ReadCoarseRow(FILE* f, int row, int16_t out[kCoarseSamples]);
// Scrambling is its own inverse: the builder scrambles with the same call.
void UnscrambleCoarseRow(int row, uint16_t samples[kCoarseSamples]);
// The 256-byte table the key bytes are made from, built once at run time.
const uint8_t* ScrambleTable();
// The key byte for column c of row r (applies only where c mod 100 == r mod 100).
uint8_t ScrambleKey(int c, int r);

// 5-6-5 colour: red bits 11-15, green 5-10, blue 0-4; expanded by shifts of 3, 2, 3.
inline void Expand565(uint16_t v, uint8_t* red, uint8_t* green, uint8_t* blue) {
    *red = (uint8_t)((v >> 11) << 3);
    *green = (uint8_t)(((v >> 5) & 63) << 2);
    *blue = (uint8_t)((v & 31) << 3);
}
inline uint16_t Pack565(int red, int green, int blue) {
    return (uint16_t)(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// [SECTION] Block record packing, shared by the builder's encoder and the decoder
inline uint32_t PackCvqRecord(int red, int green, int blue) {
    return ((uint32_t)red << 21) | ((uint32_t)green << 10) | (uint32_t)blue;
}
inline void UnpackCvqRecord(uint32_t v, int* red, int* green, int* blue) {
    *red = (int)(v >> 21);
    *green = (int)((v >> 10) & 2047);
    *blue = (int)(v & 1023);
}
// Two 12-bit indices in three bytes: west = b2 + 256 * (b1 >> 4), east = b0 + 256 * (b1 & 15).
inline void PackIndexPair(int west, int east, uint8_t out[3]) {
    out[0] = (uint8_t)east;
    out[1] = (uint8_t)(((west >> 8) << 4) | ((east >> 8) & 15));
    out[2] = (uint8_t)west;
}
inline void UnpackIndexPair(const uint8_t in[3], int* west, int* east) {
    *west = in[2] + 256 * (in[1] >> 4);
    *east = in[0] + 256 * (in[1] & 15);
}

// The chooser panel, 143 x 319 pixels in both layouts: "menu\42.bmp" is its normal look,
// "menu\42m.bmp" its marked look (the chosen swatch and range), "menu\42r.bmp" the look under
// the pointer and "menu\42h.bmp" the pressed look; each area is copied from the picture of
// its state. Areas relative to the panel: 0-7 the swatches (colours 2 pixels inside), 8 the
// fixed range, 9 the observed range, 10 the confirm button.
constexpr int kChooserWidth = 143, kChooserHeight = 319;
constexpr int kChooserAreas = 11;
constexpr Rect kChooserArea[kChooserAreas] = {
    {6, 30, 20, 200}, {23, 30, 37, 200}, {40, 30, 54, 200}, {57, 30, 71, 200},
    {74, 30, 88, 200}, {91, 30, 105, 200}, {108, 30, 122, 200}, {125, 30, 139, 200},
    {8, 210, 135, 232}, {8, 238, 135, 260}, {40, 278, 103, 304},
};
// The panel's top-left corner for a position given in 800x600 coordinates.
Point ChooserPanelPosition(int x, int y);
// The pointer over a chooser panel's areas, shared by every chooser (chooser_pointer.cpp):
// the area under the pointer and the one the button went down on, -1 for none.
struct ChooserPointer {
    int hover = -1, pressed = -1;
};
enum : int { kPointerNothing = 0, kPointerRedraw = 1, kPointerClicked = 2 };
// Follows a mouse move, press or release over `area` (-1 outside every area). A click is a
// release over the area pressed: kPointerClicked, with the press forgotten. kPointerRedraw
// when the looks changed otherwise; kPointerNothing for anything else.
int TrackChooserPointer(ChooserPointer* p, const Message& m, int area);
// The elevation scale chooser panel at (x, y) in 800x600 coordinates, on the window; runs its
// own loop on the message queue until the user confirms (area 10 or Enter) or cancels
// (Escape). Each choice redraws the legend at once: through redrawLegend when given (the
// globe and terrain draw their own), else the 2D map's elevation legend with displayCode.
// 1 when a new scale or range switch was confirmed; otherwise what was in force on entry
// is restored. The slide cue plays as the panel closes.
int ElevationScaleChooser(int x, int y, int displayCode, void (*redrawLegend)(int displayCode) = nullptr);
