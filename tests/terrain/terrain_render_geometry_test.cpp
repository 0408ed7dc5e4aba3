// The renderer's geometry: turns and projection against rotation matrices, whole sets, the order
// of drawing, bearings and lines of sight.
#include <random>

#include "terrain_render_fixture.h"

TEST(TerrainRenderGeometry, PolarTurnsMatchRotationMatrices) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-200, 200), angle(-720, 720), zoom(0.01, 8);
    int compared = 0;
    for (int i = 0; i < 4000; i++) {
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
    EXPECT_GT(compared, 2500);
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
    for (int i = 0; i < 1500; i++) {
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
    EXPECT_GT(compared, 700);
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
