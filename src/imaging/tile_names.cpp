// Names of the raster tiles on the data volume, and positions to samples.
// Fine tiles are named by their north-west corner with the latitude as folder; coarse tiles
// carry the hemisphere letters before the numbers.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "imaging/imaging.h"

static const char* FineFolder(TileLayer layer) {
    return layer == kLayerColour ? "raster\\rgb" : layer == kLayerHeight ? "raster\\hts" : "raster\\shadow";
}

static const char* FineExtension(TileLayer layer) {
    return layer == kLayerColour ? "cvq" : layer == kLayerHeight ? "hvc" : "vqc";
}

std::string TileNameFine(TileLayer layer, int west, int north) {
    char name[64];
    char latLetter = north > 0 ? 'N' : 'S';
    char lonLetter = west >= 0 ? 'E' : 'W';
    snprintf(name, sizeof name, "%s\\%02d%c\\%03d%c%02d%c.%s", FineFolder(layer), abs(north), latLetter, abs(west),
             lonLetter, abs(north), latLetter, FineExtension(layer));
    return name;
}

std::string TileNameCoarse(TileLayer layer, int west, int north) {
    if (layer == kLayerShade) return "";
    char name[64];
    snprintf(name, sizeof name, "%s\\4k\\4%c%03d%c%02d.%s", FineFolder(layer), west >= 0 ? 'E' : 'W', abs(west),
             north >= 0 ? 'N' : 'S', abs(north), layer == kLayerColour ? "16e" : "HLE");
    return name;
}

int PositionToSample(double offset, double extent, int n, int* sample) {
    if (!(extent > 0) || !std::isfinite(offset)) return 0;
    double s = offset / extent * n;
    if (!(s > -1.0) || s >= (double)n) return 0;  // truncation toward zero keeps (-1, 0) at 0
    *sample = (int)s;
    return 1;
}
