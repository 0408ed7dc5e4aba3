// The terrain camera: where the eye looks at the block from, how far it is turned and tilted,
// its zoom, its shift on screen and the block's vertical exaggeration. It lives for the whole
// run; the terrain screen resets it to one of two framings.
#include "core/core.h"
#include "terrain/terrain_renderer.h"

TerrainCamera terrainCamera = {0, 0, 900, 400, 19, 33, 0, 5.08, 16, 69, 7.0};

static struct {
    int set;              // 0: the block's centre cell
    double column, row;
} centre;

// Both framings share the eye, the picture plane, the roll and the exaggeration.
static void SetFraming(double rotation, double tilt, double zoom, double shiftX, double shiftY) {
    TerrainCamera& c = terrainCamera;
    c.eyeX = 0, c.eyeHeight = 0, c.eyeDepth = 900;
    c.plane = 400;
    c.rotation = rotation, c.tilt = tilt, c.roll = 0;
    c.zoom = zoom;
    c.shiftX = shiftX, c.shiftY = shiftY;
    c.exaggeration = 7.0;
}

void ResetTerrainCamera() {
    SetFraming(19, 33, smallLayout ? 4.4 : 5.08, 16, 69);
    ResetTerrainCentre();
}

void ResetTerrainCameraWide() {
    ResetTerrainCentre();
    if (smallLayout)
        SetFraming(334, 44, 3.3, -96, 91);
    else
        SetFraming(352, 43, 5.08, -64, 63);
}

void SetTerrainExaggeration(double e) { terrainCamera.exaggeration = e < 0 ? 0 : e; }
double GetTerrainExaggeration() { return terrainCamera.exaggeration; }

void SetTerrainShift(double dx, double dy) { terrainCamera.shiftX = dx, terrainCamera.shiftY = dy; }
void SetTerrainRotation(double degrees) { terrainCamera.rotation = degrees; }
void SetTerrainTilt(double degrees) { terrainCamera.tilt = degrees; }

void GetTerrainAngles(double* rotation, double* tilt) {
    *rotation = terrainCamera.rotation;
    *tilt = terrainCamera.tilt;
}

void SetTerrainZoom(double zoom) { terrainCamera.zoom = zoom < 0.01 ? 0.01 : zoom; }
double GetTerrainZoom() { return terrainCamera.zoom; }

void SetTerrainCentre(double column, double row) { centre.set = 1, centre.column = column, centre.row = row; }
void ResetTerrainCentre() { centre.set = 0; }

void TerrainCentre(int n, double* column, double* row) {
    *column = centre.set ? centre.column : n / 2;
    *row = centre.set ? centre.row : n / 2;
}
