// The elevation of a single point for the map's pointer readout: one sample of the coarse
// height tile under the point, unscrambled like every other coarse read. Sea gives no value;
// a spike above the highest summit repeats the last good height.
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"

static struct {
    int remembered;  // the last good height
} point;

void ResetPointElevation() { point.remembered = 0; }

int PointElevation(double latitude, double longitude, int* height) {
    if (!(longitude >= -180.0 && longitude < 180.0 && latitude >= -90.0 && latitude < 90.0)) return 0;
    int west = -180 + kCoarseDegrees * (int)floor((longitude + 180.0) / kCoarseDegrees);
    int north = 90 - kCoarseDegrees * (int)floor((90.0 - latitude) / kCoarseDegrees);
    if (north <= -90) north = -30;
    int column = (int)((longitude - west) / kCoarseDegrees * kCoarseSamples);
    int row = (int)((north - latitude) / kCoarseDegrees * kCoarseSamples);
    column = column < 0 ? 0 : column > kCoarseSamples - 1 ? kCoarseSamples - 1 : column;
    row = row < 0 ? 0 : row > kCoarseSamples - 1 ? kCoarseSamples - 1 : row;
    FILE* f = OpenDataFile(TileNameCoarse(kLayerHeight, west, north).c_str(), "rb");
    if (!f) return 0;
    uint8_t bytes[2];
    int read = fseek(f, (long)row * kCoarseRowBytes + 2L * column, SEEK_SET) == 0 && fread(bytes, 1, 2, f) == 2;
    fclose(f);
    if (!read) return 0;
    uint16_t raw = (uint16_t)(bytes[0] | (bytes[1] << 8));
    if (column % 100 == row % 100) {
        uint8_t key = ScrambleKey(column, row);
        raw ^= (uint16_t)(key | (key << 8));
    }
    int sample = (int16_t)raw;
    // Sea: the coast's -5..0, and below the lowest dry land (-392 m) the ocean floor, which
    // this volume's height tiles carry; neither is a height on land to mark.
    if ((sample >= -5 && sample <= 0) || sample < -392) return 0;
    if (sample >= -392 && sample <= 8848) point.remembered = sample;
    *height = point.remembered;
    return 1;
}
