// The terrain renderer: the loaded set drawn as shaded triangles in perspective, near squares
// over far ones by the order of drawing alone (no depth buffer), into the set's off-screen
// image and then onto the window. It owns the terrain camera and the geometry the terrain
// screen's tools use: projecting points, bearings and lines of sight.
#pragma once

#include "platform/platform.h"

// [SECTION] Camera (terrain_camera.cpp)

struct TerrainCamera {
    double eyeX, eyeHeight, eyeDepth;
    double plane;          // depth of the picture plane
    double rotation;       // about the vertical axis, degrees
    double tilt;           // about the east-west axis, degrees
    double roll;           // about the depth axis, degrees
    double zoom;
    double shiftX, shiftY; // pixels
    double exaggeration;   // vertical size of the block in grid units
};
extern TerrainCamera terrainCamera;

void ResetTerrainCamera();       // preset A
void ResetTerrainCameraWide();   // preset B (its 640 x 480 variant in the small layout)
void SetTerrainExaggeration(double e);
double GetTerrainExaggeration();
void SetTerrainShift(double dx, double dy);
void SetTerrainRotation(double degrees);
void SetTerrainTilt(double degrees);
void GetTerrainAngles(double* rotation, double* tilt);
void SetTerrainZoom(double zoom);
double GetTerrainZoom();
// The cell the projection turns the block about: the block's centre (n div 2, n div 2) unless
// set, as the panorama sets a point ahead of its observer. The resets go back to the centre.
void SetTerrainCentre(double column, double row);
void ResetTerrainCentre();
void TerrainCentre(int n, double* column, double* row);

// [SECTION] Projection (terrain_projection.cpp)

// In place: zoom, then rotation, tilt and roll in polar form about their axes.
void RotateTerrainPoint(double* x, double* y, double* z, double zoom, double rotation, double tilt, double roll);
// A model point (x, height, depth) to image pixels; 0 behind the eye (outputs -9999).
int ProjectTerrainPoint(const double point[3], int* sx, int* sy, int imageWidth, int imageHeight);
// Fills the screen-position layer for every step-th cell of the n x n set, adding the offsets:
// the multiples of step and, when n is not one, the cells n - step, n - 2 step, ... that the
// descending drawing orders use. "dtmDataBuf not allocated yet" and 0 without buffers.
int ProjectTerrainCells(int hmin, int hmax, int n, int offsetX, int offsetY, int imageWidth, int imageHeight, int step);
// One cell, for picking. Both take the model's x and depth from the projection centre.
int ProjectTerrainCell(int column, int row, int hmin, int hmax, int n, int offsetX, int offsetY, int imageWidth,
                       int imageHeight, int* sx, int* sy);
// Degrees clockwise from north between two cells, -90 .. 270 (the north-west quarter comes out
// negative); 0 when they coincide. (terrain_sight.cpp)
int TerrainBearing(int x1, int y1, int x2, int y2, double* degrees);
// 1 when the cell (x1, y1) is seen from (x0, y0) with the eye eyeHeight above the ground.
int TerrainLineOfSight(int x0, int y0, double eyeHeight, int x1, int y1, int n);

// [SECTION] Drawing (terrain_render.cpp, terrain_triangles.cpp, terrain_frame.cpp,
// terrain_render_labels.cpp)

enum TerrainDisplayType {
    kTerrainImagery = 0, kTerrainRelief = 1, kTerrainElevation = 2, kTerrainAspect = 3, kTerrainSlope = 4,
    kTerrainDetails = 5, kTerrainFlooding = 6, kTerrainPanoramaSetup = 7, kTerrainPreview = 8,
};

// What the terrain screen's tools set for the drawing.
struct TerrainDrawOptions {
    int namesOn;              // labels when the step is 1
    int flooding;             // a flood is in progress: below-water corners of type 2, no clipping
    int waterLevel;           // height class (0..255) of the water: lower classes are under it
    int observerX, observerY; // panorama set-up: observer cell
    double direction;         // panorama set-up: viewing direction, degrees
    double fieldOfView;       // degrees
    double eyeHeight;         // metres above the ground
    int panoramaStrip;        // the panorama strip is being drawn: imagery colours, no view mask
    Rect strip;               // where the strip is shown (window pixels) while panoramaStrip is set
};
extern TerrainDrawOptions terrainDraw;

// The frame (green): north mark beside the block, and with box the base and corner edges.
void DrawTerrainFrame(Surface* s, int n, int hmin, int hmax, int offsetX, int offsetY, int imageWidth, int imageHeight,
                      int box);
// Draws the loaded n x n set into the area (left, top, width, height) of the window: all squares
// in the order the rotation asks for, every step-th cell, with the frame when asked; copies the
// off-screen image there. "dtmDataBuf not allocated yet" and 0 without buffers. Escape between
// rows stops the drawing and shows what was drawn. The legend is the screen's to draw first.
// Projects the cells first (the panorama set-up onto window coordinates). Loads the colour
// table from scalePath when one is given, except for flooding, whose palette the screen builds
// in the colour table; aspect and slope load the derived layers. Types 0-5 and 8 draw at 24
// bits, flooding at 8 (palette indices, black 225 around the block), the panorama set-up
// straight into the window. "The window" is the visible window, or hbmVirtual without one;
// the picture is also copied into hbmVirtual so that repainting keeps it.
int RenderTerrain(int n, int left, int top, int width, int height, int displayType, double shadingGain,
                  const char* scalePath, int step, int frame);

// 1 when the last RenderTerrain was stopped by Escape (what was drawn so far is shown).
int TerrainRenderAborted();

// The order of drawing for a rotation, far squares first: row by row (inner loop over the
// columns) or column by column, each ascending (+step) or descending (-step).
struct TerrainTraversal {
    int columnsInner;
    int rowDelta, columnDelta;
};
TerrainTraversal ChooseTerrainTraversal(double rotation, int step);
// The rows (and columns) a drawing at this step uses, ascending; returns their count (at most n).
int TerrainStepCells(int n, int step, int* out);

// The colour of a cell's corners for a display type (a palette index for flooding). The
// panorama set-up works out the cell's view mask first when it is not known yet.
ColourRef TerrainCornerColour(int displayType, int column, int row, double shadingGain);

// Moves a label box up one pixel at a time until it overlaps none of the boxes placed before.
void PushTerrainLabelBox(Rect* box, const Rect* placed, int count);
