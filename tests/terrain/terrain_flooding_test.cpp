// The flood palette's bands and fixed entries, the water level in metres and feet and its
// palette level, and the flooding tool driven through the water entry.
#include <gtest/gtest.h>

#include "terrain_screen_fixture.h"

using TerrainFlood = TerrainScreenTest;

static ColourRef LogPalEntry(int i) {
    const uint8_t* p = terrainBuffers.dtmLogPal + 4 + 4 * i;
    return MakeColour(p[0], p[1], p[2]);
}

TEST_F(TerrainFlood, PaletteBandsDarkenTheSampledScale) {
    ASSERT_TRUE(AllocateTerrainBuffers(350, 350, 64, 48));
    ASSERT_TRUE(BuildFloodPalette(ScalePath().c_str(), 1, 0, 0));
    for (int band = 0; band < 7; band++)
        for (int i = 0; i < 32; i++) {
            int index = i * 10000 / 32;  // the scale's colour k spells k
            ColourRef want = MakeColour(index / 256 * (8 - band) / 8, index % 256 * (8 - band) / 8, 7 * (8 - band) / 8);
            ASSERT_EQ(TerrainColourEntry(32 * band + i), want) << band << " " << i;
            ASSERT_EQ(LogPalEntry(32 * band + i), want);
            ASSERT_EQ(terrainBuffers.dtmLogPal[4 + 4 * (32 * band + i) + 3], 1);  // reserved for animation
        }
    EXPECT_EQ(TerrainColourEntry(224), MakeColour(0, 0, 128));
    EXPECT_EQ(TerrainColourEntry(225), MakeColour(0, 0, 0));
    EXPECT_EQ(TerrainColourEntry(226), MakeColour(0, 255, 0));
    EXPECT_EQ(PeekU16LE(terrainBuffers.dtmLogPal + 2), 227);

    // Flooding to level 3: levels 0..3 of every band turn blue, the rest keep their colour.
    ASSERT_TRUE(BuildFloodPalette(ScalePath().c_str(), 1, 1, 3));
    for (int band = 0; band < 7; band++) {
        EXPECT_EQ(TerrainColourEntry(32 * band + 3), MakeColour(0, 0, 7 * (8 - band) / 8 + 128));
        int index = 4 * 10000 / 32;
        EXPECT_EQ(TerrainColourEntry(32 * band + 4), MakeColour(index / 256 * (8 - band) / 8, index % 256 * (8 - band) / 8,
                                                                7 * (8 - band) / 8));
    }
    // Lowering the water starts again from the dry palette.
    ASSERT_TRUE(BuildFloodPalette(ScalePath().c_str(), 1, 1, 0));
    EXPECT_NE(ColourRed(TerrainColourEntry(3)) + ColourGreen(TerrainColourEntry(3)), 0);
    EXPECT_EQ(TerrainColourEntry(0), MakeColour(0, 0, 135));

    // The 128-level variant has no bands: the fixed entries follow at once.
    ASSERT_TRUE(BuildFloodPalette(ScalePath().c_str(), 0, 1, 127));
    EXPECT_EQ(TerrainColourEntry(127), MakeColour(0, 0, 135));
    EXPECT_EQ(TerrainColourEntry(128), MakeColour(0, 0, 128));
    EXPECT_EQ(TerrainColourEntry(130), MakeColour(0, 255, 0));
    EXPECT_EQ(PeekU16LE(terrainBuffers.dtmLogPal + 2), 131);

    TestClearShown();
    EXPECT_EQ(BuildFloodPalette((root.path + "\\scales\\none.sca").c_str(), 1, 0, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + root.path + "\\scales\\none.sca");
    FreeTerrainBuffers();
    EXPECT_EQ(BuildFloodPalette(ScalePath().c_str(), 1, 0, 0), 0);
    EXPECT_EQ(TestLastMessage(), "dtmInfoHdr not allocated yet");
}

TEST_F(TerrainFlood, WaterLevelsAndTheirPaletteLevel) {
    struct Typed { long typed; int feet, metres; } typed[] = {
        {100, 1, 30}, {100, 0, 100}, {-100, 1, -30}, {40000, 0, 32000}, {-40000, 0, -32000}, {40000, 1, 9753}};
    for (const Typed& t : typed) EXPECT_EQ(WaterLevelMetres(t.typed, t.feet), t.metres) << t.typed << " " << t.feet;

    // Over 0 .. 256 m a metre is one elevation index: a level floods once all its 8 indices are.
    struct Level { int metres, hmin, hmax, level; } levels[] = {
        {-1, 0, 256, -1}, {0, 0, 256, -1}, {6, 0, 256, -1}, {7, 0, 256, 0}, {15, 0, 256, 1},
        {255, 0, 256, 31}, {30000, 0, 256, 31}, {5, 5, 5, -1}, {6, 5, 5, 31}, {-4900, -5000, 10049, -1}, {-4500, -5000, 10049, 0},
    };
    for (const Level& l : levels)
        EXPECT_EQ(FloodLevelForWater(l.metres, l.hmin, l.hmax), l.level) << l.metres << " in " << l.hmin << ".." << l.hmax;
    // Against the renderer's rule: every height at or below the water lies in a flooded level
    // or in the level the water itself reaches into.
    for (int w = -10; w < 270; w += 3)
        for (int h = 0; h <= 256; h++) {
            int e = std::min(255, h * 256 / 256);
            int level = FloodLevelForWater(w, 0, 256);
            if (e / 8 <= level) ASSERT_LE(h, w + 7) << "height " << h << " flooded by water at " << w;
            if (h <= w && e / 8 > level) ASSERT_EQ(e / 8, level + 1) << h << " " << w;
        }
}

TEST_F(TerrainFlood, ToolFloodsByTheEntryAndLeavesOnEscape) {
    ASSERT_TRUE(OpenTerrainView());
    // An empty Enter is refused; then 7000 m over -5000 .. 10049 m.
    TestInjectKey(VK_RETURN);
    for (char c : std::string("7000")) Char(c);
    TestInjectKey(VK_RETURN);
    TestInjectKey(VK_ESCAPE);
    Press(31);
    EXPECT_EQ(ErrorCues(), 1);
    EXPECT_EQ(terrainView.displayType, kTerrainFlooding);
    EXPECT_EQ(WindowCaption(), "3D View: Flooding");
    EXPECT_EQ(terrainView.waterLevel, 7000);
    EXPECT_EQ(terrainDraw.flooding, 1);
    int level = FloodLevelForWater(7000, -5000, 10049);
    EXPECT_EQ(level, 24);
    EXPECT_EQ(ColourRed(TerrainColourEntry(level)) + ColourGreen(TerrainColourEntry(level)), 0);
    EXPECT_NE(ColourRed(TerrainColourEntry(level + 1)) + ColourGreen(TerrainColourEntry(level + 1)), 0);
    int slides = 0;
    for (const std::string& s : TestPlayedSounds()) slides += s.find("slide2.wav") != std::string::npos;
    EXPECT_GE(slides, 2);

    // In feet, with a backspace: 100 ft is 30 m.
    imperialUnits = 1;
    for (char c : std::string("1009")) Char(c);
    TestInjectKey(VK_BACK);
    TestInjectKey(VK_RETURN);
    TestInjectKey(VK_ESCAPE);
    Press(31);
    EXPECT_EQ(terrainView.waterLevel, 30);

    // Another type ends the flood.
    ChooseTerrainType(kTerrainRelief);
    EXPECT_EQ(terrainDraw.flooding, 0);
}
