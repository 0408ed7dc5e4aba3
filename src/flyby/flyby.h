// The flyby: a 512 x 512 km window of the world cut around the aircraft (heights, imagery,
// palette indices, vegetation classes and place names), the art it is drawn with, the frame
// renderer and the screen's loop. Other subsystems include this header only.
//
// Files of the flyby on the volume (the builder's `flyby` and artwork steps write them):
//   raster\owe14d.img        2160 x 1080 class bytes, row 0 at 90 N, column 0 at 180 W.
//   Textures\PrePals.pal     the flyby palette: 768 bytes, 256 x (red, green, blue).
//   Textures\AlphaBit.bmp    the haze table: an 8-bit BMP 256 wide and kFlybyHazeLevels high
//                            whose colour table is the flyby palette; row k, column i holds
//                            the palette index nearest to colour i taken k / (levels - 1) of
//                            the way toward the haze colour (row 0 is the identity).
//   Textures\Trees.bmp ...   vegetation sprites: 8-bit BMPs of kFlybySpriteSize squared with
//                            the flyby palette as colour table, index 0 transparent, the
//                            trunk's foot at the middle of the bottom row (kFlybyClassTextures).
//   Textures\Airport.bmp     the marker drawn at a place name: 8-bit, 16 x 16, 0 transparent.
//   Textures\C3.bmp          the aircraft symbol at the heading dial's centre (8-bit, 0 transparent).
//   Textures\C4.bmp, C5.bmp  the altitude and speed bar fills (8-bit, as wide as the bars).
//   Textures\C800.bmp        the cockpit frame over the view: 24-bit, the size of the view
//   Textures\C640.bmp        area of the layout, pure magenta (255, 0, 255) transparent.
//   Textures\Sky.bmp         the background behind the terrain, 24-bit, kFlybySkyWidth wide;
//                            its columns wrap, so the heading scrolls it without a seam.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] World coordinates and the window

constexpr int kFlybyGrid = 512;                       // cells a side, about 1 km each
constexpr float kFlybyWorldWidthKm = 40080.0f, kFlybyWorldHeightKm = 20040.0f;
constexpr float kFlybyHalfWindowKm = 256.0f;
constexpr double kFlybyHalfWindowDegrees = 2.2994011976047903;
constexpr float kFlybyKmPerHeightUnit = 0.5f;         // heights and altitude are in 500 m units
constexpr int kFlybyMaxNames = 30;

// Vegetation classes of owe14d.img and the sprite each draws with (0: none).
constexpr int kFlybyClasses = 11;
constexpr int kFlybySpriteSize = 64;
constexpr int kFlybyHazeLevels = 16;
constexpr int kFlybySkyWidth = 1024;
inline const char* const kFlybyClassTextures[kFlybyClasses] = {
    nullptr,                      // 0 no trees
    "Textures\\Trees.bmp",        // 1 broadleaf deciduous woodland
    "Textures\\Trees1.bmp",       // 2 mixed woodland
    "Textures\\Trees2.bmp",       // 3 open woodland, savanna trees
    "Textures\\Trees3.bmp",       // 4 shrubs
    "Textures\\Forest.Bmp",       // 5 dense broadleaf forest
    "Textures\\Forest2.Bmp",      // 6 mixed forest
    "Textures\\Forest3.Bmp",      // 7 temperate rain forest
    "Textures\\Spruce.Bmp",       // 8 needleleaf and boreal forest
    "Textures\\Tropic.Bmp",       // 9 tropical rain forest
    "Textures\\Cactus.Bmp",       // 10 desert scrub
};

// 88-byte records of "%s\names.tmp": the name, then its row and column in cells.
struct FlybyName {
    char name[72];
    double row, column;
};

// The grids of the window last prepared: row 0 at the north edge, column 0 at the west.
struct FlybyGrids {
    std::vector<float> heights;       // 512 x 512, lowest cell 0, 500 m units
    std::vector<uint8_t> imagery;     // flyby512Data: 512 x 512 x (blue, green, red), top row first
    std::vector<uint8_t> colours;     // 512 x 512 indices into the flyby palette
    std::vector<uint8_t> classes;     // 512 x 512 vegetation classes after the clearing rules
    std::vector<FlybyName> names;     // at most kFlybyMaxNames
    float west, north, east, south;   // the window in km, world coordinates
    float lowestHeight;               // what was subtracted from every cell
    int prepared;                     // 1 once a window has been cut
    int namesFailed;                  // 1 when the names could not be extracted: show none
};

// The aircraft and the flight. Heading 0 is north, 90 east; y grows southward.
struct FlybyFlight {
    float x = 4000.0f, y = 4000.0f;   // km
    float vx = 0.0f, vy = 0.0f;       // speed times the heading's unit vector
    float speed = 0.0f;               // -5 .. 5
    int heading = 0;                  // whole degrees 0 .. 359
    float altitude = 4.0f;            // 2 .. 40 height units
    int skyOffset = 0;                // horizontal offset of the background picture
    int running = 0;                  // the flight flag: re-preparation is silent while set
    int startChosen = 0;
};

extern FlybyGrids flybyGrids;
extern FlybyFlight flyby;

// [SECTION] Preparing the window (flyby_window.cpp, flyby_classes.cpp, flyby_names.cpp)

// The start point picked on the world picture: longitude and latitude limited to +-180 and
// +-90, then x clamped to 500..39500 and y to 500..19500.
void FlybyStartFromDegrees(double longitude, double latitude, float* x, float* y);
// Clamps the aircraft to 256..39824 and 256..19784 km; stops horizontal motion when it clamps.
void ClampFlybyPosition(FlybyFlight* f);
// Cuts the window around the aircraft into flybyGrids (banner and progress bar outside the
// flight unless quiet). 1 on success, 0 when a codebook cannot be loaded.
int PrepareFlybyWindow(int quiet);
// 1 when the region the next frames need is no longer inside the window last prepared.
int FlybyWindowNeeded(const FlybyFlight& f, const FlybyGrids& g);
// In flight: starts cutting the next window around the aircraft without holding up the
// frames (1 when started or already under way), and swaps it in once it is complete
// (TakeFlybyPreparation: 1 when new grids were swapped in this call).
int StartFlybyPreparation();
int TakeFlybyPreparation();
// Waits for a preparation under way and drops it: before leaving the flyby or quitting.
void StopFlybyPreparation();
// The steps, each over the window around (x, y) km; the codebooks must be loaded.
int ExtractFlybyImagery(FlybyGrids* g, float x, float y);
int ExtractFlybyHeights(FlybyGrids* g, float x, float y);
int ExtractFlybyClasses(FlybyGrids* g, float x, float y);
int ExtractFlybyNames(float x, float y, const char* file);
int LoadFlybyNames(const char* file, std::vector<FlybyName>* names, int most);

// [SECTION] The flyby's art (flyby_art.cpp)

struct FlybySprite {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;      // palette indices, top row first, 0 transparent
};

struct FlybyArt {
    ColourRef palette[256];
    uint8_t inverse[32768];           // (blue / 8) + 32 (green / 8) + 1024 (red / 8) -> index
    uint8_t haze[kFlybyHazeLevels][256];
    FlybySprite classSprites[kFlybyClasses];
    FlybySprite airport;
    std::vector<uint32_t> sky;        // 0xFFRRGGBB, top row first
    int skyWidth = 0, skyHeight = 0;
    int loaded = 0;
};
extern FlybyArt flybyArt;

// Loads the palette, its inverse table, the haze table, the sprites and the sky; 1 on
// success, else the loader's message ("Cannot open file %s") and 0.
int LoadFlybyArt(FlybyArt* art);
// The inverse-colour table of a palette: every 15-bit colour to its nearest entry.
void BuildInverseColourTable(const ColourRef palette[256], uint8_t inverse[32768]);

// [SECTION] The frame (flyby_render.cpp)

// What the display options switch (the panel's "Display" rows).
struct FlybyDisplay {
    int names = 1, airports = 1, textures = 1, haze = 1, instruments = 1;
};

// The camera in grid cells: column and row of the aircraft inside the grids, altitude in
// height units, heading in degrees (0 north), and how far the view reaches in cells.
struct FlybyCamera {
    float column, row;
    float altitude;
    float heading;
    int farCells = 300;
};

// Draws the terrain, vegetation, names and sky of one frame into width x height pixels
// (0xFFRRGGBB, `stride` pixels a row). Pure: reads the grids and the art only.
void RenderFlybyFrame(const FlybyGrids& g, const FlybyArt& art, const FlybyCamera& camera,
                      const FlybyDisplay& display, int skyOffset, uint32_t* pixels, int width,
                      int height, int stride);
// The camera for the aircraft inside the window last prepared.
FlybyCamera FlybyCameraFor(const FlybyFlight& f, const FlybyGrids& g);

// Where the place names the camera can see fall in a frame of width x height (the frame draws
// their markers; the screen writes the texts with TextOut after it): the bottom centre of the
// text, just above the marker, and the name's index in g.names. Nearest first.
struct FlybyLabel {
    int x, y;
    int name;
};
void FlybyLabelsFor(const FlybyGrids& g, const FlybyCamera& camera, int width, int height, std::vector<FlybyLabel>* out);

// [SECTION] The screen (flyby_screen.cpp)

// Mode 8 on "menu\flymain.bmp": the start point, the flight and its panel until another
// screen is chosen; returns that screen's code (3 the 2D map, 4 terrain, 5 globe,
// 7 statistics, 1 the room), 0 when the flyby could not start (the message has been shown).
// startX/startY: where the shell wants the flight to begin (km), or negative to pick it.
int RunFlybyScreen(int startX, int startY);
