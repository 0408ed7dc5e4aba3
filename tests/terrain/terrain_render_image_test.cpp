// The terrain renderer's pictures: a cone and a ridge against a depth-buffered renderer, the
// corner colours of every display type, flooding, the panorama view mask and label pushing.
#include "imaging/imaging.h"
#include "terrain_render_fixture.h"

namespace {

constexpr int kW = 240, kH = 180;

// Packed 0xRRGGBB of a pixel of the 24-bit image; 0 is the black background.
int Pixel24(int x, int y) {
    const uint8_t* p = terrainBuffers.dtmBmpData + ((size_t)y * terrainBuffers.imageWidth + x) * 3;
    return p[2] << 16 | p[1] << 8 | p[0];
}

// Every square of the set as its two triangles (split as the renderer splits them for this
// rotation), drawn in no particular order with a depth buffer: the nearest surface wins, or
// the farthest when asked, which no correct picture looks like.
std::vector<int> DepthBufferedPicture(int n, int farthestWins) {
    std::vector<int> colour((size_t)kW * kH, 0);
    std::vector<double> depth((size_t)kW * kH, farthestWins ? 1e300 : -1e300);
    TerrainTraversal t = ChooseTerrainTraversal(terrainCamera.rotation, 1);
    int dc = t.columnDelta, dr = t.rowDelta;
    const TerrainRows& rows = terrainBuffers.rows;
    auto corner = [&](int c, int r, double* out) {
        double x = c - n / 2, z = r - n / 2;
        double y = (double)(rows.height[r][c] - terrainSet.minHeight) / (terrainSet.maxHeight - terrainSet.minHeight) *
                   terrainCamera.exaggeration;
        const TerrainCamera& k = terrainCamera;
        NaiveTurns::Apply(x, y, z, k.zoom, k.rotation, k.tilt, k.roll);
        TerrainScreenPoint p = rows.screen[r][c];
        out[0] = p.x, out[1] = p.y, out[2] = z;  // larger z is nearer the eye
        out[3] = rows.red[r][c], out[4] = rows.green[r][c], out[5] = rows.blue[r][c];
    };
    auto triangle = [&](const double* a, const double* b, const double* c) {
        double area = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
        if (area == 0) return;
        int x0 = std::max(0, (int)std::min({a[0], b[0], c[0]})), x1 = std::min(kW - 1, (int)std::max({a[0], b[0], c[0]}));
        int y0 = std::max(0, (int)std::min({a[1], b[1], c[1]})), y1 = std::min(kH - 1, (int)std::max({a[1], b[1], c[1]}));
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                double wa = (b[0] - x) * (c[1] - y) - (c[0] - x) * (b[1] - y);
                double wb = (c[0] - x) * (a[1] - y) - (a[0] - x) * (c[1] - y);
                double wc = (a[0] - x) * (b[1] - y) - (b[0] - x) * (a[1] - y);
                if (!((wa >= 0 && wb >= 0 && wc >= 0) || (wa <= 0 && wb <= 0 && wc <= 0))) continue;
                wa /= area, wb /= area, wc /= area;
                double z = wa * a[2] + wb * b[2] + wc * c[2];
                double& d = depth[(size_t)y * kW + x];
                if (farthestWins ? z >= d : z <= d) continue;
                d = z;
                int v[3];
                for (int k = 0; k < 3; k++) v[k] = (int)(wa * a[3 + k] + wb * b[3 + k] + wc * c[3 + k] + 0.5);
                colour[(size_t)y * kW + x] = v[0] << 16 | v[1] << 8 | v[2];
            }
    };
    int cFirst = dc > 0 ? 1 : 2, rFirst = dr > 0 ? 1 : 2;
    for (int r = rFirst; r < rFirst + n - 2; r++)
        for (int c = cFirst; c < cFirst + n - 2; c++) {
            double p00[6], p10[6], p01[6], p11[6];
            corner(c, r, p00), corner(c + dc, r, p10), corner(c, r + dr, p01), corner(c + dc, r + dr, p11);
            triangle(p00, p10, p01);
            triangle(p11, p10, p01);
        }
    return colour;
}

struct Comparison {
    int covered = 0;  // pixels either picture covers
    int wrong = 0;    // pixels that differ by more than rounding
};

Comparison Compare(const std::vector<int>& reference) {
    Comparison k;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++) {
            int a = Pixel24(x, y), b = reference[(size_t)y * kW + x];
            if (!a && !b) continue;
            k.covered++;
            int far = 0;
            for (int shift : {0, 8, 16}) far |= abs((a >> shift & 255) - (b >> shift & 255)) > 2;
            k.wrong += far;
        }
    return k;
}

}  // namespace

// The painter's order alone must hide the far side: up to 0.5% of covered pixels may differ,
// along silhouettes. Against a farthest-wins buffer a tenth or more differ, so the comparison
// would catch a far square drawn over a near one.
TEST_F(TerrainRenderTest, ConeAndRidgeMatchADepthBufferedRenderer) {
    constexpr int n = 41;
    ASSERT_EQ(AllocateTerrainBuffers(n, n, kW, kH), 1);
    struct Shape {
        const char* name;
        std::function<int(int, int)> height;
    } shapes[] = {
        {"cone", [](int r, int c) { return std::max(0, (int)(1000 - 60 * hypot(r - 20, c - 20))); }},
        {"ridge", [](int, int c) { return std::max(0, 800 - 90 * abs(c - 20)); }},
    };
    double rotations[] = {19, 60, 100, 150, 200, 240, 300, 340};
    for (const Shape& shape : shapes)
        for (double rotation : rotations) {
            SCOPED_TRACE(testing::Message() << shape.name << " at " << rotation);
            MakeSet(n, shape.height);
            terrainCamera.rotation = rotation, terrainCamera.tilt = 12 + rotation / 30;
            terrainCamera.zoom = 8, terrainCamera.exaggeration = 25;
            terrainCamera.shiftX = 0, terrainCamera.shiftY = 0;
            ASSERT_EQ(RenderTerrain(n, 0, 0, kW, kH, kTerrainImagery, 1.4, "", 1, 0), 1);
            Comparison near = Compare(DepthBufferedPicture(n, 0));
            Comparison far = Compare(DepthBufferedPicture(n, 1));
            EXPECT_GT(near.covered, 5000);
            EXPECT_LE(near.wrong * 1000, near.covered * 5) << near.wrong << " of " << near.covered;
            EXPECT_GE(far.wrong * 10, far.covered) << far.wrong << " of " << far.covered;
            EXPECT_GT(far.wrong, 4 * near.wrong);
        }
}

// Every display type draws each cell's corner in its colour: on a flat picture (no
// exaggeration) the pixel at a cell's point is that corner's value, unless truncating the
// points put it inside a neighbouring square drawn later (a few in a hundred).
TEST_F(TerrainRenderTest, CornerColoursOfEveryDisplayType) {
    ASSERT_EQ(AllocateTerrainBuffers(100, 100, 320, 240), 1);
    WriteSet(100);
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 100, 0), 1) << TestLastMessage();
    const TerrainRows& rows = terrainBuffers.rows;
    for (int r = 0; r < 100; r++)
        for (int c = 0; c < 100; c++) {
            rows.slope[r][c] = (uint8_t)(r + 2 * c), rows.aspect[r][c] = (uint8_t)(3 * r + c);
            rows.detailRed[r][c] = (uint8_t)(c + 1), rows.detailGreen[r][c] = (uint8_t)(r + 5), rows.detailBlue[r][c] = 33;
        }
    terrainSet.derivedLoaded = 1;
    int hmin = terrainSet.minHeight, hmax = terrainSet.maxHeight;
    auto heightClass = [&](int r, int c) {
        return std::clamp((int)((double)(Height(r, c) - hmin) / (hmax - hmin) * 256), 0, 255);
    };
    // The fixture's scale spells its own index k: red k / 256, green k % 256, blue 7.
    auto tableColour = [](int e) {
        int k = e * 10000 / 256;
        return MakeColour(k / 256, k % 256, 7);
    };
    auto expected = [&](int type, int r, int c) -> ColourRef {
        int s = Shade(r, c);
        ColourRef imagery = MakeColour(Imagery(r, c, 0), Imagery(r, c, 1), Imagery(r, c, 2));
        switch (type) {
            case 1: return MakeColour(s, s, s);
            case 2: {
                if (!s) return imagery;
                ColourRef t = tableColour(heightClass(r, c));
                auto lit = [&](int v) { return std::min(255, (int)(v * s / 256.0 * 1.4)); };
                return MakeColour(lit(ColourRed(t)), lit(ColourGreen(t)), lit(ColourBlue(t)));
            }
            case 3: return s ? tableColour((3 * r + c) & 255) : MakeColour(0, 0, 128);
            case 4: return s ? tableColour((r + 2 * c) & 255) : MakeColour(0, 0, 128);
            case 5: return MakeColour(c + 1, r + 5, 33);
            default: return imagery;
        }
    };
    SetTerrainExaggeration(0);
    for (int type : {0, 1, 2, 3, 4, 5, 8}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(RenderTerrain(100, 0, 0, 320, 240, type, 1.4, ScalePath().c_str(), 1, 0), 1) << TestLastMessage();
        int checked = 0, wrong = 0, wrongPixels = 0;
        for (int r = 1; r < 99; r += 7)
            for (int c = 1; c < 99; c += 3) {
                ColourRef want = expected(type, r, c);
                wrong += TerrainCornerColour(type, c, r, 1.4) != want;
                TerrainScreenPoint p = rows.screen[r][c];
                if (p.x < 0 || p.y < 0 || p.x >= 320 || p.y >= 240) continue;
                checked++;
                wrongPixels += Pixel24(p.x, p.y) != (ColourRed(want) << 16 | ColourGreen(want) << 8 | ColourBlue(want));
            }
        EXPECT_GT(checked, 100);
        EXPECT_EQ(wrong, 0);
        EXPECT_LE(wrongPixels * 100, checked * 5) << wrongPixels << " of " << checked;
    }
    // Flooded land under the water level turns blue; the fixed map range changes the classes.
    int r = 40, c = 30, e = heightClass(r, c);
    ColourRef dry = TerrainCornerColour(kTerrainElevation, c, r, 1.4);
    terrainDraw.flooding = 1, terrainDraw.waterLevel = e;
    EXPECT_EQ(TerrainCornerColour(kTerrainElevation, c, r, 1.4), dry);
    terrainDraw.waterLevel = e + 1;
    EXPECT_EQ(TerrainCornerColour(kTerrainElevation, c, r, 1.4), MakeColour(0, 0, std::min(255, ColourBlue(dry) + 128)));
    terrainDraw.flooding = 0;
    int savedRange = fixedElevationRange;
    fixedElevationRange = 1;
    int fixedClass = std::clamp((int)((Height(r, c) + 392) / 9240.0 * 256), 0, 255);
    EXPECT_EQ(ColourRed(TerrainCornerColour(kTerrainElevation, c, r, 0.0)), 0);
    EXPECT_EQ(TerrainCornerColour(kTerrainRelief, c, r, 1.4), MakeColour(Shade(r, c), Shade(r, c), Shade(r, c)));
    EXPECT_EQ(TerrainCornerColour(kTerrainFlooding, c, r, 1.4) % 32, (ColourRef)(fixedClass / 8));
    fixedElevationRange = savedRange;
}

TEST_F(TerrainRenderTest, FloodingIndicesAndBands) {
    ASSERT_EQ(AllocateTerrainBuffers(20, 20, 160, 120), 1);
    MakeSet(20, [](int r, int c) { return r * 20 + c; });
    struct Case {
        int shade, band;  // band -1: no relief data
    } cases[] = {{0, -1}, {255, 0}, {224, 0}, {223, 1}, {192, 1}, {191, 2}, {128, 3}, {127, 4}, {96, 4},
                 {95, 5}, {64, 5}, {63, 6}, {1, 6}};
    for (const Case& k : cases)
        for (int r : {0, 7, 19})
            for (int c : {0, 11, 19}) {
                terrainBuffers.rows.shade[r][c] = (uint8_t)k.shade;
                int e = std::min(255, (int)((r * 20.0 + c) / 399 * 256));
                ColourRef want = k.band < 0 ? 224 : (ColourRef)(e / 8 + 32 * k.band);
                EXPECT_EQ(TerrainCornerColour(kTerrainFlooding, c, r, 1.4), want) << k.shade << " at " << r << "," << c;
            }
    // The 8-bit picture: black of the flood palette around, the indices at the cells' points.
    MakeSet(20, [](int r, int c) { return r * 20 + c; }, 150);
    SetTerrainExaggeration(0);
    terrainCamera.zoom = 8, terrainCamera.shiftX = terrainCamera.shiftY = 0, terrainCamera.tilt = 60;
    ASSERT_EQ(RenderTerrain(20, 0, 0, 160, 120, kTerrainFlooding, 1.4, nullptr, 1, 1), 1);
    EXPECT_EQ(TerrainImageDepth(), 8);
    EXPECT_EQ(terrainBuffers.dtmBmpData[0], 225);
    int checked = 0, wrong = 0;
    for (int r = 1; r < 19; r++)
        for (int c = 1; c < 19; c++) {
            TerrainScreenPoint p = terrainBuffers.rows.screen[r][c];
            if (p.x < 0 || p.y < 0 || p.x >= 160 || p.y >= 120) continue;
            checked++;
            wrong += terrainBuffers.dtmBmpData[(size_t)p.y * 160 + p.x] != TerrainCornerColour(kTerrainFlooding, c, r, 1.4);
        }
    EXPECT_GT(checked, 100);
    EXPECT_LE(wrong * 100, checked * 5) << wrong << " of " << checked;
}

// The panorama set-up colours what the observer could see: red inside the field of view,
// green where also in sight; a cell exactly at the field's edge is outside it.
TEST_F(TerrainRenderTest, PanoramaViewMask) {
    ASSERT_EQ(AllocateTerrainBuffers(30, 30, 200, 150), 1);
    MakeSet(30, [](int r, int c) { return c == 13 && r < 7 ? 400 : 100; }, 180);
    terrainDraw.observerX = 10, terrainDraw.observerY = 10;
    terrainDraw.direction = 45, terrainDraw.fieldOfView = 90, terrainDraw.eyeHeight = 2;
    struct Case {
        int c, r, mask;
        const char* why;
    } cases[] = {
        {15, 10, 0, "due east: exactly half the field away"},
        {15, 8, 1, "inside the field, in sight"},
        {16, 2, 2, "inside the field, behind the wall"},
        {5, 15, 0, "behind the observer"},
    };
    for (const Case& k : cases) {
        terrainBuffers.rows.viewMask[k.r][k.c] = 255;
        ColourRef colour = TerrainCornerColour(kTerrainPanoramaSetup, k.c, k.r, 1.4);
        EXPECT_EQ(terrainBuffers.rows.viewMask[k.r][k.c], k.mask) << k.why;
        ColourRef want = k.mask == 2 ? MakeColour(180, 0, 0) : k.mask == 1 ? MakeColour(0, 180, 0) : MakeColour(180, 180, 180);
        EXPECT_EQ(colour, want) << k.why;
        // A mask already worked out is kept.
        terrainBuffers.rows.viewMask[k.r][k.c] = 2;
        EXPECT_EQ(TerrainCornerColour(kTerrainPanoramaSetup, k.c, k.r, 1.4), MakeColour(180, 0, 0));
    }

    // Drawn straight into the window's image within the area; every cell's mask is worked out anew.
    Surface* saved = hbmVirtual;
    hbmVirtual = CreateSurface(300, 250);
    ASSERT_NE(hbmVirtual, nullptr);
    FillRect(hbmVirtual, Rect{0, 0, 300, 250}, MakeColour(255, 0, 255));
    terrainCamera.zoom = 6, terrainCamera.shiftX = terrainCamera.shiftY = 0;
    ASSERT_EQ(RenderTerrain(30, 40, 30, 200, 150, kTerrainPanoramaSetup, 1.4, "", 1, 1), 1);
    Surface* window = WindowSurface() ? WindowSurface() : hbmVirtual;
    int red = 0, green = 0, outside = 0;
    for (int y = 0; y < 250; y++)
        for (int x = 0; x < 300; x++) {
            ColourRef p = GetPixel(window, x, y);
            int inArea = x >= 40 && x < 240 && y >= 30 && y < 180;
            if (!inArea) outside += p != MakeColour(255, 0, 255);
            red += inArea && ColourRed(p) > 100 && ColourGreen(p) == 0;
            green += inArea && ColourGreen(p) > 100 && ColourRed(p) == 0 && ColourBlue(p) == 0;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(red, 20);
    EXPECT_GT(green, 20);
    EXPECT_EQ(terrainBuffers.rows.viewMask[10][13], 0);   // was 2 above: reset and worked out again
    EXPECT_EQ(terrainBuffers.rows.viewMask[2][16], 2);
    DeleteSurface(hbmVirtual);
    hbmVirtual = saved;
}

TEST(TerrainRenderLabels, BoxesArePushedUpClearOfEarlierOnes) {
    struct Case {
        Rect box;
        std::vector<Rect> placed;
        int top, bottom;
    } cases[] = {
        {{20, 15, 60, 27}, {}, 15, 27},
        {{20, 15, 60, 27}, {{10, 10, 50, 22}}, -2, 10},
        {{20, 15, 60, 27}, {{60, 10, 90, 22}}, 15, 27},  // touching on the right is not overlapping
        // Clear of the first label it meets the second, and then the first must be looked at again.
        {{20, 15, 60, 27}, {{0, -30, 100, -5}, {10, 10, 50, 22}, {30, -12, 40, 9}}, -42, -30},
    };
    for (const Case& k : cases) {
        Rect box = k.box;
        PushTerrainLabelBox(&box, k.placed.data(), (int)k.placed.size());
        EXPECT_EQ(box.top, k.top);
        EXPECT_EQ(box.bottom, k.bottom);
        EXPECT_EQ(box.left, k.box.left);
        EXPECT_EQ(box.right, k.box.right);
    }
}
