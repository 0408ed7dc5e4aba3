// A tiny data volume for the extraction tests, written once per test program: height and colour
// tiles around the 60- and 12-degree corner at 120 E 30 N and on both sides of the date line at
// 40 N, with the codebooks, and a naive decoder of the very same samples for the reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "terrain/terrain_extraction.h"

namespace extraction_test {

// The folder of the volume (dataRoot for the tests); built on first use.
const std::string& VolumeFolder();

// What the volume holds at coarse sample (c, r) of the 60-degree tile (west, north), before
// scrambling; and the codes of fine block (j, k) of the 12-degree tile (west, north).
int16_t CoarseHeight(int west, int north, int c, int r);
uint16_t CoarseColour(int west, int north, int c, int r);
int HeightCode(int west, int north, int j, int k);
int ShadeCode(int west, int north, int j, int k);
void ColourCodes(int west, int north, int j, int k, int codes[3]);
// Which fine files exist: some tiles lack one of them on purpose.
int HasFineHeights(int west, int north);  // both .hvc and .vqc
int HasFineColour(int west, int north);

// The grids as a naive reading of those samples gives them: for each cell every tile in
// west-to-east, north-to-south order (over a longitude range of three turns, so that a window
// across the date line meets both sides), the sample by the grid's column and row formulas,
// the codebook value by hand.
struct ReferenceGrids {
    std::vector<int16_t> heights;
    std::vector<uint8_t> shades;
    std::vector<uint8_t> rgb;
};
ReferenceGrids ReferenceExtraction(const MapWindow& window, int size);

}  // namespace extraction_test
