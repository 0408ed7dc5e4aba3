// What the terrain renderer tests share: the set fixture with the camera and the drawing
// options saved and restored, sets written straight into the layers, and a reference model of
// the camera built from rotation matrices.
#pragma once

#include <cmath>

#include "terrain/terrain_renderer.h"
#include "terrain_set_fixture.h"

struct TerrainRenderTest : TerrainSetTest {
    TerrainCamera savedCamera;
    TerrainDrawOptions savedDraw;

    void SetUp() override {
        TerrainSetTest::SetUp();
        savedCamera = terrainCamera;
        savedDraw = terrainDraw;
        terrainDraw = TerrainDrawOptions{};
        ResetTerrainCamera();
    }
    void TearDown() override {
        terrainCamera = savedCamera;
        terrainDraw = savedDraw;
        TerrainSetTest::TearDown();
    }

    // An n x n set in the layers: heights from a function, the given shade, imagery that tells
    // the cells apart (red grows southward, green eastward).
    void MakeSet(int n, const std::function<int(int r, int c)>& height, int shade = 200) {
        const TerrainRows& rows = terrainBuffers.rows;
        int lo = 9999, hi = -9999;
        for (int r = 0; r < n; r++)
            for (int c = 0; c < n; c++) {
                int h = height(r, c);
                rows.height[r][c] = (int16_t)h;
                lo = std::min(lo, h), hi = std::max(hi, h);
                rows.shade[r][c] = (uint8_t)shade;
                rows.red[r][c] = (uint8_t)(r * 255 / (n - 1));
                rows.green[r][c] = (uint8_t)(c * 255 / (n - 1));
                rows.blue[r][c] = 90;
                rows.viewMask[r][c] = 255;
            }
        terrainSet.size = n;
        terrainSet.minHeight = lo;
        terrainSet.maxHeight = hi > lo ? hi : lo + 1;
        terrainSet.labelCount = 0;
    }
};

// The camera's turns as rotation matrices, one axis at a time.
struct NaiveTurns {
    static void Turn(double& first, double& second, double degrees) {
        double a = degrees * M_PI / 180, f = first, s = second;
        first = f * cos(a) - s * sin(a);
        second = f * sin(a) + s * cos(a);
    }
    static void Apply(double& x, double& y, double& z, double zoom, double rotation, double tilt, double roll) {
        x *= zoom, y *= zoom, z *= zoom;
        Turn(x, z, rotation);  // about the vertical axis: x toward z
        Turn(y, z, tilt);      // about the east-west axis: height toward z
        Turn(x, y, roll);      // about the depth axis: x toward height
    }
};
