// What the flyby's frame drawing shares between its files (terrain, vegetation, name markers)
// and its tests: the view of one frame, the ground under a point and the haze by distance.
#pragma once

#include <cstdint>

#include "flyby/flyby.h"

// The view of one frame. Positions are in cells (column eastward, row southward, 1 km each),
// heights in the grids' 500 m units; the screen's x grows rightward and y downward.
struct FlybyView {
    float column, row;          // the eye over the grids
    float eyeHeight;            // the eye's altitude in height units
    float forwardX, forwardY;   // unit vector of the heading in (column, row)
    float rightX, rightY;       // a quarter turn clockwise from it
    float focal;                // pixels from the eye to the picture plane
    float horizonY;             // the screen row of a level line of sight
    float farCells;             // nothing farther than this depth is drawn
    int width, height;
};

constexpr float kFlybyFieldOfViewDegrees = 60.0f;
constexpr float kFlybyHorizonFraction = 0.38f;   // the horizon sits this far down the view
constexpr float kFlybyVegetationReach = 48.0f;   // cells: farther trees would be under a pixel
constexpr float kFlybyNearestDepth = 0.3f;       // cells: where the terrain's march begins
// How far the flight sees, in cells. The window is cut again once the aircraft is 48 km off
// its centre, so its edge is at least 208 km away; the rest is slack for the frames that pass
// while the next window is cut. The view thus ends in haze, never at the window's edge.
constexpr int kFlybyViewReach = 180;

FlybyView MakeFlybyView(const FlybyCamera& camera, int width, int height);

// The ground's height at a point of the grids, bilinear between the cell centres (a cell's
// value lies at its centre, column + 0.5); points off the grids take the nearest edge.
float FlybyGroundHeight(const FlybyGrids& g, float column, float row);

// Projects a point of the world; 1 with its screen position and depth (cells along the
// heading) when it lies in front of the eye, 0 behind it.
int FlybyProjectPoint(const FlybyView& v, float column, float row, float height, float* x, float* y, float* depth);
// The screen row where a point of this height at this depth appears.
inline float FlybyScreenRow(const FlybyView& v, float height, float depth) {
    return v.horizonY + (v.eyeHeight - height) * kFlybyKmPerHeightUnit * v.focal / depth;
}

// 1 when nothing of the terrain rises above the straight line from the eye to the point.
int FlybyLineOfSight(const FlybyGrids& g, const FlybyView& v, float column, float row, float height);

// The haze level (0 .. kFlybyHazeLevels - 1) at a depth: clear air up to a sixth of the view's
// reach, then thickening evenly to the full haze colour at its end.
int FlybyHazeLevel(float depth, float farCells);

// The palette through the haze table as 0xFFRRGGBB pixels, one row a haze level (with the
// haze switched off every row is the clear palette).
struct FlybyHazedPalette {
    uint32_t colour[kFlybyHazeLevels][256];
};
void MakeFlybyHazedPalette(const FlybyArt& art, int haze, FlybyHazedPalette* out);

// The frame's scratch: the depth of what each pixel shows (sky: infinitely far).
struct FlybyFrameTarget {
    uint32_t* pixels;
    float* depth;
    int width, height, stride;   // depth rows are `width` long
};

// The vegetation sprites of the cells within reach, scaled by distance and tested against
// the depth of each pixel, so ridges and nearer trees hide them.
void DrawFlybyVegetation(const FlybyGrids& g, const FlybyArt& art, const FlybyView& v, const FlybyHazedPalette& hazed,
                         const FlybyFrameTarget& t);
// The place-name marker (Airport.bmp) at each name the eye can see.
void DrawFlybyMarkers(const FlybyGrids& g, const FlybyArt& art, const FlybyView& v, const FlybyFrameTarget& t);
