// The builder's flyby data: the vegetation class raster raster\owe14d.img, the flyby palette
// Textures\PrePals.pal with its haze table, and the flyby's artwork (sprites, markers, bar
// fills, sky and cockpit frames).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "volume.h"

constexpr int kClassRasterColumns = 2160, kClassRasterRows = 1080;  // a sixth of a degree a cell

// [SECTION] Classes (flyby_landcover.cpp)

// What the derivation knows of one class cell.
struct LandCell {
    float height = 0;                  // metres, mean over the cell
    int red = 0, green = 0, blue = 0;  // imagery, mean over the cell
    float coldest = 0, warmest = 0;    // monthly mean air temperature, degrees C; NaN unknown
};
// The class (0..10, as kFlybyClassTextures) the derivation gives a cell.
int DeriveLandClass(const LandCell& c);
// A land-cover class table: one "source-class our-class" pair a line, '#' starts a comment.
// table[v] is the class of source value v (0..65535), 0 where the table says nothing. 0 and
// the reason when a line cannot be read or names a class above 10.
int ReadLandCoverTable(const std::string& path, std::vector<uint8_t>* table, std::string* reason);
// The 2160 x 1080 class bytes, rows from 90 N: from the recipe's `landcover` raster through
// its `landcover-classes` table, or derived from the volume's sources. Report lines say which
// and how many cells each class holds. 0 when a source named cannot be used.
int BuildClassRaster(BuildContext& ctx, const std::vector<float>& heights, const std::vector<float> bands[3],
                     std::vector<uint8_t>* classes);
// The imagery's red, green and blue averaged over every class cell; 0 when it cannot be read.
int ReadClassImagery(BuildContext& ctx, std::vector<float> bands[3]);
// A picture of the classes, a colour each, for looking at the result.
// Class 0 shows navy where heights (when given) say sea, grey on land.
int WriteClassPicture(const std::vector<uint8_t>& classes, const std::vector<float>* heights, const std::string& path);
// The mean height of every class cell from the volume's elevation source; empty when it cannot be read.
std::vector<float> ClassCellHeights(BuildContext& ctx);

// [SECTION] Palette and haze (flyby_palette.cpp)

// The sky's colour at the horizon, which distant terrain fades toward.
constexpr uint32_t kFlybyHorizonRgb = 0xC4D6E6;
// 256 x (red, green, blue): a 6-8-5 colour cube (240 entries, entry 0 black), the horizon
// colour, and the 15 most common land colours of the imagery that the cube matches worst.
// landRgb holds 0xRRGGBB.
std::vector<uint8_t> BuildFlybyPalette(const std::vector<uint32_t>& landRgb);
// The palette entry nearest to a colour; entry 0 left out when skipZero (sprites keep 0 clear).
int NearestFlybyIndex(const std::vector<uint8_t>& palette, int red, int green, int blue, int skipZero);
// kFlybyHazeLevels rows of 256: row k, column i the entry nearest to colour i taken k / 15 of
// the way to the horizon colour; row 0 is the identity.
std::vector<uint8_t> BuildHazeTable(const std::vector<uint8_t>& palette);
// The imagery's colours (0xRRGGBB) of the class cells above sea level, for the palette, each
// row thinned to one cell in 1 / cos(latitude) so that colours count by area.
std::vector<uint32_t> LandColours(const std::vector<float>& heights, const std::vector<float> bands[3]);

// [SECTION] Artwork (art_flyby.cpp)

// The sprites, markers, bar fills, sky and cockpit frames of the flyby.
int BuildFlybyArt(BuildContext& ctx, const std::vector<uint8_t>& palette);

// The step (flyby_step.cpp).
int BuildFlyby(BuildContext& ctx);
