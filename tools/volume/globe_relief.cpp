// The globe's relief layers from a grid of heights: height classes (0...255 for 0...8848 m,
// the index into the elevation colours) and the shading (0 over the sea, 1...255 land lit from
// the north-west), one byte per cell of the 2160 x 1080 world grid.
#include <algorithm>
#include <cmath>

#include "globe_build.h"

// At 10 arc-minutes a cell is about 18 km wide, so even the steepest mountain fronts rise only
// a few degrees; the relief is exaggerated to read at globe scale.
static const double kExaggeration = 20.0;
static const double kEarthRadius = 6371000.0;
// Flat land shows at 78% of full brightness; slopes facing the light go up to white and those
// facing away down to the floor.
static const double kFlatBrightness = 0.78, kDarkest = 0.12;

uint8_t HeightClass(double metres) {
    if (!(metres > 0)) return 0;
    double c = std::floor(metres * 256.0 / kEverestMetres);
    return (uint8_t)std::min(255.0, c);
}

std::vector<uint8_t> HeightClassLayer(const GlobeGrid& heights) {
    const std::vector<float>& h = heights.planes[0];
    std::vector<uint8_t> out(h.size());
    for (size_t i = 0; i < h.size(); i++) out[i] = HeightClass(h[i]);
    return out;
}

// Height of a neighbour for the slope of land: the sea counts as level ground at 0 m so that
// coasts next to deep water do not come out as cliffs.
static double LandHeight(const GlobeGrid& g, int row, int column, double fallback) {
    row = std::max(0, std::min(g.height - 1, row));
    column = (column + g.width) % g.width;
    float v = g.planes[0][(size_t)row * g.width + column];
    if (std::isnan(v)) return fallback;
    return std::max(0.0, (double)v);
}

std::vector<uint8_t> ShadeLayer(const GlobeGrid& g) {
    std::vector<uint8_t> out((size_t)g.width * g.height, 0);
    const double altitude = 45.0 * M_PI / 180.0;
    // Towards the light: north-west, 45 degrees up; x east, y north, z up.
    const double lx = -std::cos(altitude) * std::sqrt(0.5), ly = std::cos(altitude) * std::sqrt(0.5), lz = std::sin(altitude);
    const double stepY = M_PI * kEarthRadius / g.height;
#pragma omp parallel for schedule(static)
    for (int row = 0; row < g.height; row++) {
        double lat = -90.0 + (row + 0.5) * 180.0 / g.height;
        double stepX = 2 * M_PI * kEarthRadius / g.width * std::max(0.01, std::cos(lat * M_PI / 180.0));
        for (int column = 0; column < g.width; column++) {
            float h = g.planes[0][(size_t)row * g.width + column];
            if (!(h > 0)) continue;
            double dzdx = (LandHeight(g, row, column + 1, h) - LandHeight(g, row, column - 1, h)) / (2 * stepX);
            double dzdy = (LandHeight(g, row + 1, column, h) - LandHeight(g, row - 1, column, h)) / (2 * stepY);
            double nx = -kExaggeration * dzdx, ny = -kExaggeration * dzdy, nz = 1.0;
            double lit = std::max(0.0, (nx * lx + ny * ly + nz * lz) / std::sqrt(nx * nx + ny * ny + nz * nz));
            double brightness = std::max(kDarkest, std::min(1.0, lit / lz * kFlatBrightness));
            out[(size_t)row * g.width + column] = (uint8_t)std::max(1.0, std::round(255.0 * brightness));
        }
    }
    return out;
}
