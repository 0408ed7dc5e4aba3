// Outlines of the areas of a grid at or above a level (marching squares with the crossings
// interpolated along the cell edges), and their simplification. The city areas of the names
// step are traced with them from the night-lights image.
#pragma once

#include <cstdint>
#include <vector>

#include "vector_build.h"

// Traces the closed outlines where the grid of w x h values crosses level. Points are in grid
// units: lon is the column and lat the row (rows growing downwards), value (x, y) standing at
// the whole numbers. Samples outside the grid count as 0, so level must be above 0 and every
// ring closes. Diagonal neighbours above the level belong to one area (one ring). Rings are
// given without repeating their first point; outer rings have a positive RingArea, holes a
// negative one. Returns the number of rings.
int ContourRings(const std::vector<float>& values, int w, int h, float level, std::vector<GeoLine>* rings);
// Signed area of a ring in grid units (shoelace), positive for the outer rings ContourRings gives.
double RingArea(const GeoLine& ring);
// Douglas-Peucker for a closed ring: every dropped point lies within tolerance of the
// simplified ring, which keeps at least three points (a ring of fewer comes back unchanged).
GeoLine SimplifyRing(const GeoLine& ring, double tolerance);
