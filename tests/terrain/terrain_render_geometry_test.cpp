// The terrain camera and the renderer's geometry: the camera's framings and limits, the polar
// turns and the projection against rotation matrices, the projection of whole sets, the order
// of drawing, bearings and lines of sight.
#include <random>

#include "terrain_render_fixture.h"

TEST(TerrainCameraTest, FramingsAndLimits) {
    TerrainCamera saved = terrainCamera;
    int savedLayout = smallLayout;
    struct Case {
        int small, wide;
        double rotation, tilt, zoom, shiftX, shiftY;
    } cases[] = {
        {0, 0, 19, 33, 5.08, 16, 69},
        {1, 0, 19, 33, 4.4, 16, 69},
        {0, 1, 352, 43, 5.08, -64, 63},
        {1, 1, 334, 44, 3.3, -96, 91},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "small " << k.small << " wide " << k.wide);
        smallLayout = k.small;
        terrainCamera = TerrainCamera{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        k.wide ? ResetTerrainCameraWide() : ResetTerrainCamera();
        const TerrainCamera& c = terrainCamera;
        EXPECT_EQ(c.eyeX, 0);
        EXPECT_EQ(c.eyeHeight, 0);
        EXPECT_EQ(c.eyeDepth, 900);
        EXPECT_EQ(c.plane, 400);
        EXPECT_EQ(c.roll, 0);
        EXPECT_EQ(c.exaggeration, 7.0);
        EXPECT_EQ(c.rotation, k.rotation);
        EXPECT_EQ(c.tilt, k.tilt);
        EXPECT_EQ(c.zoom, k.zoom);
        EXPECT_EQ(c.shiftX, k.shiftX);
        EXPECT_EQ(c.shiftY, k.shiftY);
    }
    smallLayout = savedLayout;

    SetTerrainZoom(0);
    EXPECT_EQ(GetTerrainZoom(), 0.01);
    SetTerrainZoom(0.02);
    EXPECT_EQ(GetTerrainZoom(), 0.02);
    SetTerrainExaggeration(-2);
    EXPECT_EQ(GetTerrainExaggeration(), 0);
    SetTerrainExaggeration(60);
    EXPECT_EQ(GetTerrainExaggeration(), 60);
    // Angles and shifts are stored as given; the renderer brings the rotation into range.
    SetTerrainRotation(725);
    SetTerrainTilt(-30);
    double rotation, tilt;
    GetTerrainAngles(&rotation, &tilt);
    EXPECT_EQ(rotation, 725);
    EXPECT_EQ(tilt, -30);
    SetTerrainShift(-5000, 7);
    EXPECT_EQ(terrainCamera.shiftX, -5000);
    EXPECT_EQ(terrainCamera.shiftY, 7);
    terrainCamera = saved;
}

TEST(TerrainRenderGeometry, PolarTurnsMatchRotationMatrices) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-200, 200), angle(-720, 720), zoom(0.01, 8);
    int compared = 0;
    for (int i = 0; i < 20000; i++) {
        double x = coordinate(random), y = coordinate(random) / 10, z = coordinate(random);
        double k = zoom(random), a = angle(random), t = angle(random), w = i % 3 ? 0 : angle(random);
        double rx = x, ry = y, rz = z, nx = x, ny = y, nz = z;
        RotateTerrainPoint(&rx, &ry, &rz, k, a, t, w);
        NaiveTurns::Apply(nx, ny, nz, k, a, t, w);
        // Points near an axis keep their place in the polar form; they have their own case.
        if (hypot(x, z) * k < 0.05 || fabs(x * k) < 0.05 || fabs(z * k) < 0.05) continue;
        double scale = sqrt(x * x + y * y + z * z) * k;
        ASSERT_NEAR(rx, nx, 1e-7 * scale) << i;
        ASSERT_NEAR(ry, ny, 1e-7 * scale) << i;
        ASSERT_NEAR(rz, nz, 1e-7 * scale) << i;
        compared++;
    }
    EXPECT_GT(compared, 15000);
}

TEST(TerrainRenderGeometry, PolarTurnsNearAnAxis) {
    struct Case {
        double x, y, z, zoom, rotation, tilt, roll;
        double ex, ey, ez;  // what comes out
    } cases[] = {
        // Within 0.01 of the origin: zoomed, not turned.
        {0.001, 0.002, 0.003, 2, 30, 40, 50, 0.002, 0.004, 0.006},
        // Straight above the centre: the first turn finds it on its axis and ends the transform.
        {0, 5, 0, 2, 30, 40, 0, 0, 10, 0},
        // Angles within 0.00001 of a whole turn are skipped, whatever their sign.
        {3, 4, 5, 1, 360.000001, -720, 0, 3, 4, 5},
        // A rotation alone leaves the height; a tilt of 90 puts the height where the depth was.
        {10, 0, 0, 1, 90, 0, 0, 0, 0, 10},
        {0, 0, 10, 1, 0, 0, 90, 0, 0, 10},
    };
    for (const Case& k : cases) {
        double x = k.x, y = k.y, z = k.z;
        RotateTerrainPoint(&x, &y, &z, k.zoom, k.rotation, k.tilt, k.roll);
        EXPECT_NEAR(x, k.ex, 1e-9) << k.x << " " << k.y << " " << k.z;
        EXPECT_NEAR(y, k.ey, 1e-9);
        EXPECT_NEAR(z, k.ez, 1e-9);
    }
    // The tilt turns height toward depth.
    double x = 0.5, y = 10, z = 0.5;
    RotateTerrainPoint(&x, &y, &z, 1, 0, 90, 0);
    EXPECT_NEAR(y, -0.5, 1e-9);
    EXPECT_NEAR(z, 10, 1e-9);
}

// The projection written out in full: matrices, then the perspective onto the plane.
static int NaiveProject(const double p[3], double* sx, double* sy, int w, int h) {
    const TerrainCamera& c = terrainCamera;
    double x = p[0], y = p[1], z = p[2];
    NaiveTurns::Apply(x, y, z, c.zoom, c.rotation, c.tilt, c.roll);
    if (c.eyeDepth + 10 <= z) return 0;
    double t = (c.plane - z) / (c.eyeDepth - z);
    *sx = x + (c.eyeX - x) * t + w / 2 + c.shiftX;
    *sy = h - (y + (c.eyeHeight - y) * t + h / 2 + c.shiftY);
    return 1;
}

TEST_F(TerrainRenderTest, ProjectionMatchesTheNaiveCamera) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-175, 175), angle(0, 360), height(0, 60);
    int compared = 0;
    for (int i = 0; i < 5000; i++) {
        terrainCamera.rotation = angle(random), terrainCamera.tilt = angle(random) / 4;
        terrainCamera.zoom = 1 + i % 6, terrainCamera.shiftX = i % 50 - 25;
        double p[3] = {coordinate(random), height(random), coordinate(random)};
        if (fabs(p[0]) < 0.1 || fabs(p[2]) < 0.1) continue;
        int sx, sy;
        double nx = 0, ny = 0;
        int ok = ProjectTerrainPoint(p, &sx, &sy, 665, 499);
        ASSERT_EQ(ok, NaiveProject(p, &nx, &ny, 665, 499)) << i;
        if (!ok) {
            EXPECT_EQ(sx, -9999);
            EXPECT_EQ(sy, -9999);
            continue;
        }
        nx = std::clamp(nx, -32000.0, 32000.0), ny = std::clamp(ny, -32000.0, 32000.0);
        // Truncated toward zero; a value within rounding of a whole pixel may go either way.
        if (fabs(nx - std::round(nx)) > 1e-6) {
            ASSERT_EQ(sx, (int)nx) << i;
        }
        if (fabs(ny - std::round(ny)) > 1e-6) {
            ASSERT_EQ(sy, (int)ny) << i;
        }
        compared++;
    }
    EXPECT_GT(compared, 3000);
}

TEST_F(TerrainRenderTest, ProjectionRefusalsAndBounds) {
    double centre[3] = {0, 0, 0};
    int sx = 0, sy = 0;
    ASSERT_EQ(ProjectTerrainPoint(centre, &sx, &sy, 600, 400), 1);
    EXPECT_EQ(sx, 300 + 16);
    EXPECT_EQ(sy, 400 - (200 + 69));
    // Behind the picture plane's eye, a plane behind the eye, a negative plane: nothing.
    terrainCamera.rotation = terrainCamera.tilt = 0, terrainCamera.zoom = 1;
    double behind[3] = {1, 1, 910};
    EXPECT_EQ(ProjectTerrainPoint(behind, &sx, &sy, 600, 400), 0);
    EXPECT_EQ(sx, -9999);
    EXPECT_EQ(sy, -9999);
    double inFront[3] = {1, 1, 909};
    EXPECT_EQ(ProjectTerrainPoint(inFront, &sx, &sy, 600, 400), 1);
    terrainCamera.plane = 900;
    EXPECT_EQ(ProjectTerrainPoint(centre, &sx, &sy, 600, 400), 0);
    terrainCamera.plane = -1;
    EXPECT_EQ(ProjectTerrainPoint(centre, &sx, &sy, 600, 400), 0);
    terrainCamera.plane = 400;
    // A position that would read as "not projected" moves one pixel; far ones are clamped.
    terrainCamera.shiftX = -9999.5 - 300, terrainCamera.shiftY = 0;
    ASSERT_EQ(ProjectTerrainPoint(centre, &sx, &sy, 600, 400), 1);
    EXPECT_EQ(sx, -9998);
    terrainCamera.shiftX = 1e6, terrainCamera.shiftY = 1e6;
    ASSERT_EQ(ProjectTerrainPoint(centre, &sx, &sy, 600, 400), 1);
    EXPECT_EQ(sx, 32000);
    EXPECT_EQ(sy, -32000);
}

// The whole-set projection turns by sines and cosines where the polar form is regular, so a
// position that lands on a whole pixel may truncate one pixel apart (seen at turns of exactly
// 90 degrees); anything more is a fault.
TEST_F(TerrainRenderTest, ProjectingAllCellsAgreesWithOneCellAtATime) {
    ASSERT_EQ(AllocateTerrainBuffers(60, 60, 320, 240), 1);
    MakeSet(60, [](int r, int c) { return (r * 37 + c * 11) % 900 - 100; });
    struct Camera {
        double rotation, tilt, roll, zoom, exaggeration;
    } cameras[] = {{19, 33, 0, 5.08, 7}, {0, 0, 0, 1, 7}, {90, 90, 0, 3, 20}, {352, 43, 15, 0.01, 7}, {240, 10, 0, 8, 0}};
    for (const Camera& k : cameras) {
        SCOPED_TRACE(k.rotation);
        terrainCamera.rotation = k.rotation, terrainCamera.tilt = k.tilt, terrainCamera.roll = k.roll;
        terrainCamera.zoom = k.zoom, terrainCamera.exaggeration = k.exaggeration;
        for (int step : {1, 6}) {
            for (int r = 0; r < 60; r++)
                for (int c = 0; c < 60; c++) terrainBuffers.rows.screen[r][c] = TerrainScreenPoint{1, 2};
            ASSERT_EQ(ProjectTerrainCells(-100, 799, 60, 7, -3, 320, 240, step), 1);
            int wrong = 0, offByOne = 0, cells = 0;
            for (int r = 0; r < 60; r++)
                for (int c = 0; c < 60; c++) {
                    TerrainScreenPoint p = terrainBuffers.rows.screen[r][c];
                    if (r % step || c % step) {
                        wrong += p.x != 1 || p.y != 2;  // cells between the steps are left alone
                        continue;
                    }
                    cells++;
                    int sx, sy;
                    if (!ProjectTerrainCell(c, r, -100, 799, 60, 7, -3, 320, 240, &sx, &sy)) {
                        wrong += p.x != -9999 || p.y != -9999;
                        continue;
                    }
                    int dx = abs(p.x - sx), dy = abs(p.y - sy);
                    wrong += dx > 1 || dy > 1;
                    offByOne += dx + dy > 0;
                }
            EXPECT_EQ(wrong, 0) << "step " << step;
            EXPECT_LE(offByOne * 100, cells) << "step " << step;
        }
    }
}

TEST_F(TerrainRenderTest, FlatPictures) {
    ASSERT_EQ(AllocateTerrainBuffers(40, 40, 320, 240), 1);
    // No exaggeration and a flat set both draw the slab at height 0.
    SetTerrainExaggeration(-2);
    MakeSet(40, [](int r, int c) { return r * c; });
    ASSERT_EQ(ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, 40, 0, 0, 320, 240, 1), 1);
    std::vector<TerrainScreenPoint> cone;
    for (int r = 0; r < 40; r++) cone.insert(cone.end(), terrainBuffers.rows.screen[r], terrainBuffers.rows.screen[r] + 40);
    SetTerrainExaggeration(7);
    MakeSet(40, [](int, int) { return 250; });
    EXPECT_EQ(terrainSet.maxHeight, 251);
    ASSERT_EQ(ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, 40, 0, 0, 320, 240, 1), 1);
    int wrong = 0;
    for (int r = 0; r < 40; r++)
        for (int c = 0; c < 40; c++) {
            double p[3] = {(double)(c - 20), 0, (double)(r - 20)};
            int sx, sy;
            ProjectTerrainPoint(p, &sx, &sy, 320, 240);
            TerrainScreenPoint q = terrainBuffers.rows.screen[r][c], f = cone[(size_t)r * 40 + c];
            wrong += q.x != sx || q.y != sy || f.x != sx || f.y != sy;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(TerrainRenderGeometry, DrawingOrderByRotation) {
    struct Case {
        double rotation;
        int columnsInner, rowDelta, columnDelta;
    } cases[] = {
        {0, 1, 1, 1},       {44.999, 1, 1, 1},  {45, 0, 1, 1},     {89.9, 0, 1, 1},   {90, 0, -1, 1},
        {135, 1, -1, 1},    {180, 1, -1, -1},   {225, 0, -1, -1},  {240, 0, -1, -1},  {270, 0, 1, -1},
        {315, 1, 1, -1},    {359.99, 1, 1, -1}, {360, 1, 1, 1},    {-10, 1, 1, -1},   {765, 0, 1, 1},
        {-360, 1, 1, 1},    {-1e-17, 1, 1, 1},
    };
    for (const Case& k : cases) {
        TerrainTraversal t = ChooseTerrainTraversal(k.rotation, 3);
        EXPECT_EQ(t.columnsInner, k.columnsInner) << k.rotation;
        EXPECT_EQ(t.rowDelta, 3 * k.rowDelta) << k.rotation;
        EXPECT_EQ(t.columnDelta, 3 * k.columnDelta) << k.rotation;
    }
}

TEST(TerrainRenderGeometry, BearingsBetweenCells) {
    struct Case {
        int x1, y1, x2, y2, ok;
        double degrees;
    } cases[] = {
        {5, 5, 5, 5, 0, 0},   {5, 5, 5, 0, 1, 0},     {5, 5, 9, 5, 1, 90},   {5, 5, 5, 9, 1, 180},
        {5, 5, 1, 5, 1, 270}, {5, 5, 8, 2, 1, 45},    {5, 5, 8, 8, 1, 135},  {5, 5, 2, 8, 1, 225},
        {5, 5, 2, 2, 1, -45}, {0, 0, 2, -1, 1, 90 - atan2(1, 2) * 180 / M_PI},
    };
    for (const Case& k : cases) {
        double d = -1;
        EXPECT_EQ(TerrainBearing(k.x1, k.y1, k.x2, k.y2, &d), k.ok);
        EXPECT_NEAR(d, k.degrees, 1e-9) << k.x2 << "," << k.y2;
    }
}

TEST_F(TerrainRenderTest, LinesOfSight) {
    ASSERT_EQ(AllocateTerrainBuffers(30, 30, 320, 240), 1);
    // Flat ground at 100 m with a wall 400 m high along column 15, rows 0..9, and a tower at (25, 20).
    MakeSet(30, [](int r, int c) { return c == 15 && r < 10 ? 400 : r == 20 && c == 25 ? 900 : 100; });
    struct Case {
        int x0, y0;
        double eye;
        int x1, y1, seen;
        const char* why;
    } cases[] = {
        {5, 5, 2, 25, 5, 0, "behind the wall"},
        {5, 5, 2, 25, 15, 1, "past the wall's end"},
        {5, 5, 1000, 25, 5, 1, "from above the wall"},
        {5, 5, 2, 5, 5, 1, "the observer's own cell"},
        {5, 5, 2, 30, 5, 0, "outside the grid"},
        {5, 5, 2, 5, -1, 0, "outside the grid"},
        {5, 20, 2, 25, 20, 1, "the tower itself"},
        {5, 20, 2, 29, 20, 0, "behind the tower"},
        // The sample next to the target is not looked at: a tower there hides nothing.
        {5, 20, 2, 26, 20, 1, "just past the tower"},
        {5, 20, 2, 27, 20, 0, "two past the tower"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(TerrainLineOfSight(k.x0, k.y0, k.eye, k.x1, k.y1, 30), k.seen) << k.why;
}

TEST_F(TerrainRenderTest, RefusalsWithoutBuffers) {
    EXPECT_EQ(ProjectTerrainCells(0, 1, 100, 0, 0, 320, 240, 1), 0);
    EXPECT_EQ(TestLastMessage(), "dtmDataBuf not allocated yet");
    TestClearShown();
    EXPECT_EQ(RenderTerrain(100, 0, 0, 320, 240, kTerrainImagery, 1.4, "", 1, 1), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"dtmDataBuf not allocated yet"});
    ASSERT_EQ(AllocateTerrainBuffers(100, 100, 320, 240), 1);
    TestClearShown();
    EXPECT_EQ(ProjectTerrainCells(0, 1, 150, 0, 0, 320, 240, 1), 0);
    EXPECT_EQ(TestLastMessage(), "xSize/ySize (150,150) > (100,100)");
    TestClearShown();
    EXPECT_EQ(RenderTerrain(100, 0, 0, 320, 240, 9, 1.4, "", 1, 1), 0);
    EXPECT_EQ(TestLastMessage(), "Unknown 3D display type 9");
    TestClearShown();
    EXPECT_EQ(RenderTerrain(100, 0, 0, 320, 240, kTerrainElevation, 1.4, "missing.sca", 1, 1), 0);
    EXPECT_EQ(TestLastMessage().rfind("Cannot open file", 0), 0u) << TestLastMessage();
}

TEST(TerrainRenderGeometry, CellsOfADrawingStep) {
    struct Case {
        int n, step;
        std::vector<int> cells;
    } cases[] = {
        {6, 1, {0, 1, 2, 3, 4, 5}},
        {12, 4, {0, 4, 8}},
        // Not a multiple: the descending orders start at n - step.
        {10, 4, {0, 2, 4, 6, 8}},
        {11, 3, {0, 2, 3, 5, 6, 8, 9}},
        {3, 5, {0}},
    };
    for (const Case& k : cases) {
        std::vector<int> out((size_t)k.n, -1);
        int count = TerrainStepCells(k.n, k.step, out.data());
        out.resize((size_t)count);
        EXPECT_EQ(out, k.cells) << k.n << " step " << k.step;
    }
    std::vector<int> out(350);
    EXPECT_EQ(TerrainStepCells(350, 14, out.data()), 25);
    EXPECT_EQ(out[24], 336);
}

// Every cell a drawing at a step reaches is projected, whatever n and the step.
TEST_F(TerrainRenderTest, StepsThatDoNotDivideTheGrid) {
    ASSERT_EQ(AllocateTerrainBuffers(40, 40, 320, 240), 1);
    MakeSet(40, [](int r, int c) { return r + c; });
    terrainCamera.zoom = 1;
    for (double rotation : {10.0, 100.0, 200.0, 300.0}) {
        terrainCamera.rotation = rotation;
        for (int r = 0; r < 40; r++)
            for (int c = 0; c < 40; c++) terrainBuffers.rows.screen[r][c] = TerrainScreenPoint{-9999, -9999};
        ASSERT_EQ(ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, 40, 0, 0, 320, 240, 7), 1);
        TerrainTraversal t = ChooseTerrainTraversal(rotation, 7);
        int missing = 0;
        auto reach = [&](int first, int delta) {
            std::vector<int> v;
            for (int i = first; delta > 0 ? i < 40 - 7 : i > 7; i += delta) v.push_back(i);
            return v;
        };
        for (int r : reach(t.rowDelta > 0 ? 7 : 33, t.rowDelta))
            for (int c : reach(t.columnDelta > 0 ? 7 : 33, t.columnDelta))
                for (int dr : {0, t.rowDelta})
                    for (int dc : {0, t.columnDelta}) missing += terrainBuffers.rows.screen[r + dr][c + dc].x == -9999;
        EXPECT_EQ(missing, 0) << rotation;
    }
}

TEST_F(TerrainRenderTest, ProjectionCentre) {
    ASSERT_EQ(AllocateTerrainBuffers(40, 40, 320, 240), 1);
    MakeSet(40, [](int r, int c) { return r * 3 + c; });
    SetTerrainCentre(10.5, 5);
    double cx, cy;
    TerrainCentre(40, &cx, &cy);
    EXPECT_EQ(cx, 10.5);
    EXPECT_EQ(cy, 5);
    int sx, sy, px, py;
    ASSERT_EQ(ProjectTerrainCell(12, 5, terrainSet.minHeight, terrainSet.maxHeight, 40, 3, 4, 320, 240, &sx, &sy), 1);
    double p[3] = {1.5, (12 + 15.0) / 156 * 7, 0};
    ASSERT_EQ(ProjectTerrainPoint(p, &px, &py, 320, 240), 1);
    EXPECT_EQ(sx, px + 3);
    EXPECT_EQ(sy, py + 4);
    ASSERT_EQ(ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, 40, 3, 4, 320, 240, 1), 1);
    EXPECT_NEAR(terrainBuffers.rows.screen[5][12].x, sx, 1);
    EXPECT_NEAR(terrainBuffers.rows.screen[5][12].y, sy, 1);
    ResetTerrainCamera();
    TerrainCentre(40, &cx, &cy);
    EXPECT_EQ(cx, 20);
    EXPECT_EQ(cy, 20);
    SetTerrainCentre(1, 1);
    ResetTerrainCameraWide();
    TerrainCentre(41, &cx, &cy);
    EXPECT_EQ(cx, 20);
}
