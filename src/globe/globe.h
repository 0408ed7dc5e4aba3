// The globe screen: the Earth as a sphere turning in the map area. A frame is one pass over a
// per-pixel lookup table (the filter of a globe size and viewing latitude) into two world
// layers of 2160 x 1080 bytes; turning the globe adds one constant shift to every offset.
// What other folders and the shell may call.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// [SECTION] Sizes of the buffers and files

constexpr int kGlobeLayerWidth = 2160, kGlobeLayerHeight = 1080;
constexpr int kGlobeLayerBytes = kGlobeLayerWidth * kGlobeLayerHeight;   // 2,332,800
constexpr int kRotationDataBytes = 4840000;                              // both layers
constexpr int kMaxFilterEntries = 490000;
constexpr int kFilterHeaderBytes = 24;
constexpr int kOverlayColumns = 720, kOverlayRows = 360;
constexpr int kOverlayBytes = kOverlayColumns * kOverlayRows;            // 259,200
constexpr int kGlobeSizes = 4, kGlobeTilts = 5;

enum GlobeImageType { kGlobeImagery = 0, kGlobeRelief = 1, kGlobeElevation = 2, kGlobeOverlay = 4 };
enum GlobeOverlayKind {
    kOverlayNone = 0,
    kOverlayLandVegetation = 1,
    kOverlayOceanVegetation = 2,
    kOverlayTemperature = 3,
    kOverlayPrecipitation = 4,
    kOverlaySunshine = 5,
};

// [SECTION] Buffers (globe_buffers.cpp): allocated together on entry, released together

struct GlobeBuffers {
    int32_t* rotationFilter;   // entries of the current filter file
    int filterEntries;         // N
    int filterRadius;          // r: the entries form rows of 2r
    int alignTop, alignBottom; // vertical placement of the filter's rows in the viewport
    uint8_t* rotationData;     // globeLayerA at 0, globeLayerB at kGlobeLayerBytes
    int layerWidth;            // 2160, or the imagery BMP's width
    int layerBytes;            // bytes read into the layer; offsets at or beyond are never drawn
    ColourRef* paletteBuf;     // 256 colours of the current image type (raw, no gamma)
    int paletteEntries;        // 256, or the imagery's own colour count
    uint8_t* globeInfoHdr;     // 40-byte info header and 256 (blue, green, red, 0) entries
    uint8_t* bmpDataBits;      // 24-bit output, bottom-up rows of rowBytes, blue green red
    int imageWidth;            // width of the viewport rounded up to a multiple of 4
    int imageHeight;
    int rowBytes;              // imageWidth * 3
    int viewportWidth, viewportHeight;
    Surface* output;           // the memory surface the frame, graticule and texts go on
    uint8_t* monthBuffer;      // one month of overlay data as read
    double radiusUnits;        // R: globe radius in drawing units, set by the filter loader
    double viewLatitude;       // degrees, set by the filter loader
};
extern GlobeBuffers globeBuffers;

inline uint8_t* GlobeLayerA() { return globeBuffers.rotationData; }
inline uint8_t* GlobeLayerB() { return globeBuffers.rotationData ? globeBuffers.rotationData + kGlobeLayerBytes : nullptr; }

// All or nothing for a viewport of width x height pixels: "Cannot allocate rotationFilter[]",
// "Cannot allocate rotationData[]", ... , "Cannot create hdcMem". Fails without a message
// when buffers already exist.
int AllocateGlobeBuffers(int width, int height);
void ReleaseGlobeBuffers();
int GlobeBuffersAllocated();
// Clears bmpDataBits to black (size and tilt changes).
void ClearGlobeImage();

// [SECTION] The state of the globe screen while it runs

struct GlobeView {
    int size;                 // 0 smallest .. 3 large
    int tilt;                 // 0..4: viewing latitude 90 - 45 * tilt
    double centreLongitude;   // degrees
    double rotationSpeed;     // degrees per frame; negative turns the globe eastward
    int imageType;            // GlobeImageType
    int overlay;              // GlobeOverlayKind
    int overlayMonth;         // 0..11, kept between visits
    int overlayFrozen;
    int rotationPaused;       // kept between visits
    int satDisplayOn;         // kept between visits
    int floodMode;
    int floodLevel;           // height class 0..255
    int namesShown;           // kept between visits
    std::string overlayTitle; // "Avg. Temperature, degrees C (March)", set with each month
};
extern GlobeView globeView;

// [SECTION] Loaders (globe_loaders.cpp). Failures show their message and leave the previous
// layers, palette and filter in place.

// "globe\%02d_%02d.FLT" for (size, tilt).
std::string GlobeFilterName(int size, int tilt);
int LoadGlobeFilter(double viewLatitude, const char* name, int alignBottom, int alignTop);
// Returns the number of bytes read into globeLayerA (0 on failure). imageType 0 reads the
// imagery BMP; the others read shading and heights and build the palette (grey ramp for 1,
// the elevation scale with its floor for 2 and 4).
int LoadGlobeLayers(const char* imagery, const char* shading, const char* heights, const char* scalePath,
                    int imageType, int loadFlag, int clearFlag);
int ReloadShading(int imageType, const char* shading);
// 256 entries from a scale file, index trunc(i / 256 * 10000), floored at 492 when asked.
int LoadOverlayPalette(const char* scalePath, int floor);
// "globe\vege%02d.raw", "globe\temp%02d.raw", "globe\precip%02d.raw", "globe\cloud%02d.raw".
std::string OverlayMonthFile(int overlay, int month);
// "Avg. Temperature, degrees C (March)" and the others.
std::string OverlayTitle(int overlay, int month);
// Names the current month's file and title, moves overlayMonth by step (wrapping 0..11) and
// reads the file into globeLayerB, each cell filling a 3 x 3 block. 0 without a message when
// the file cannot be opened.
int StepOverlayMonth(int step);

// [SECTION] The frame (globe_frame.cpp)

// Columns the layers shift for a centre longitude: trunc(lambda / 360 * layerWidth) with
// lambda wrapped into [0, 360).
int GlobeShift(double centreLongitude, int layerWidth);
// Composes bmpDataBits from the filter, the layers and the palette for the image type.
int ComposeGlobeFrame(double centreLongitude, int imageType);
// One whole frame: composes, transfers to the output surface, draws the graticule and the
// overlay title, and copies the viewport to surface `window` at (x, y).
int DrawGlobe(Surface* window, int x, int y, double centreLongitude, int imageType);

// [SECTION] Projection and graticule (globe_projection.cpp); the satellites use them too

// Orthographic projection onto a globe of radius R (drawing units); lambda0 and phi0 in
// radians. 1 when the point faces the viewer.
int OrthographicPoint(double latitude, double longitude, double R, double lambda0, double phi0, double* x, double* y);
// Drawing units (32,000 high, centred on the globe) to a pixel of a width x height viewport.
Point GlobeUnitsToPixel(double x, double y, int width, int height);
void DrawGraticule(Surface* s, int width, int height, double centreLongitude);

// [SECTION] The screen (globe_screen.cpp)

// Runs the globe screen in mode 5 until the user leaves: 0 with Escape, 3 for the 2D map
// tab, 4 terrain, 7 statistics, 8 flyby, 1 the room. The shell has drawn "menu\glbmain.bmp".
int RunGlobeScreen();

// [SECTION] Panels of the globe screen (globe_data_chooser.cpp, ocean_level.cpp)

// Entries of the data-type chooser, top to bottom.
enum GlobeDataEntry {
    kEntryImagery = 0, kEntryRelief, kEntryElevation, kEntryLandVegetation,
    kEntryOceanVegetation, kEntrySunshine, kEntryPrecipitation, kEntryTemperature,
};
// The data-type chooser at (546, 45) with its previews. Returns the confirmed entry when it
// differs from `current`, else -1 (cancelled, or the same entry confirmed).
int GlobeDataChooser(int current);
// The ocean-level slider: floods the elevation globe until Escape; floodMode and floodLevel
// are back to off and 0 when it returns. The caller reloads its image type afterwards.
void OceanLevelSlider();

// [SECTION] Ocean level arithmetic (ocean_level.cpp)

// Metres at the top of the track; height class c stands for c / 256 of it.
constexpr double kOceanLevelTopMetres = 8848;
// The fraction of the track below pointer row y: 0 at the bottom edge, 1 at the top edge,
// held within 0..1 so the thumb stays on the track.
double OceanTrackFraction(int y, int trackTop, int trackBottom);
// trunc(256 f) held within 0..255.
int FloodLevelForFraction(double f);
// The readout of a fraction: "%.0f m" of f * 8848, or "%.0f ft" of the same in feet.
std::string OceanLevelText(double f, int imperial);
// A typed level: an optional minus and at least one digit, nothing else; 0 otherwise. *typed
// is the number held within -32000..32000, *metres the same converted from feet (times 0.3048,
// truncated) when imperial.
int TypedOceanLevel(const std::string& text, int imperial, int* typed, int* metres);
// trunc(metres / 8848 * 256) held within 0..255.
int FloodLevelForMetres(int metres);
