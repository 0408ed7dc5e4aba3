// The flyby's art: the inverse-colour table against a search of the whole palette, and the
// loader over a tiny set of files written here: what it keeps, where it looks, and the
// message for each file that is missing or wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/core.h"
#include "flyby/flyby.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

// The nearest entry to the centre of the colour's 8 x 8 x 8 block, lowest index on a tie.
int BruteNearest(const ColourRef palette[256], int r5, int g5, int b5) {
    int r = r5 * 8 + 4, g = g5 * 8 + 4, b = b5 * 8 + 4, best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 256; i++) {
        int dr = ColourRed(palette[i]) - r, dg = ColourGreen(palette[i]) - g, db = ColourBlue(palette[i]) - b;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

TEST(FlybyInverseTable, MatchesASearchOfThePaletteForRandomColours) {
    std::mt19937 random(17);
    for (int palettes = 0; palettes < 4; palettes++) {
        ColourRef palette[256];
        for (int i = 0; i < 256; i++) palette[i] = MakeColour(random() % 256, random() % 256, random() % 256);
        if (palettes == 1)   // a palette of few distinct colours: ties everywhere
            for (int i = 0; i < 256; i++) palette[i] = palette[i % 7];
        if (palettes == 2)   // greys only: red, green and blue must not be swapped
            for (int i = 0; i < 256; i++) palette[i] = MakeColour(i, i / 2, 255 - i);
        static uint8_t inverse[32768];
        BuildInverseColourTable(palette, inverse);
        int wrong = 0;
        for (int n = 0; n < 3000; n++) {
            int r = random() % 32, g = random() % 32, b = random() % 32;
            wrong += inverse[b + 32 * g + 1024 * r] != BruteNearest(palette, r, g, b);
        }
        EXPECT_EQ(wrong, 0) << "palette " << palettes;
    }
}

// [SECTION] The loader

constexpr int kSpriteW = 4, kSpriteH = 3;

std::vector<uint8_t> PaletteRgb() {
    std::vector<uint8_t> rgb(768);
    for (int i = 0; i < 256; i++) rgb[3 * i] = (uint8_t)i, rgb[3 * i + 1] = (uint8_t)(255 - i), rgb[3 * i + 2] = (uint8_t)(i * 7);
    return rgb;
}

// An 8-bit picture whose pixel (x, y), y from the top, is value(x, y).
template <typename Value>
std::vector<uint8_t> Picture8(int w, int h, Value value) {
    std::vector<uint8_t> bottomUp((size_t)w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) bottomUp[(size_t)(h - 1 - y) * w + x] = (uint8_t)value(x, y);
    return EncodeBmp8(bottomUp.data(), w, h, PaletteRgb());
}

struct FlybyArtTest : ::testing::Test {
    TempFolder root, volume;
    std::string savedCwd;
    void SetUp() override {
        TestClearShown();
        savedCwd = CurrentDirectory();
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        ChangeDirectory(volume.path.c_str());
    }
    void TearDown() override { ChangeDirectory(savedCwd.c_str()); }

    // The whole set under a folder, each sprite class c with pixel (x, y) = c * 10 + x + y.
    void WriteArt(const std::string& folder) {
        WriteTestFile(folder + "/Textures/PrePals.pal", PaletteRgb());
        WriteTestFile(folder + "/Textures/AlphaBit.bmp", Picture8(256, kFlybyHazeLevels, [](int i, int k) { return (i + 3 * k) % 256; }));
        for (int c = 1; c < kFlybyClasses; c++) {
            std::string name = kFlybyClassTextures[c];
            name.replace(name.find('\\'), 1, "/");
            WriteTestFile(folder + "/" + name, Picture8(kSpriteW, kSpriteH, [c](int x, int y) { return c * 10 + x + y; }));
        }
        WriteTestFile(folder + "/Textures/Airport.bmp", Picture8(16, 16, [](int x, int y) { return x == y ? 9 : 0; }));
        std::vector<uint32_t> sky(8 * 2);
        for (int i = 0; i < 16; i++) sky[i] = 0xFF000000u | (uint32_t)(i * 16);
        WriteTestFile(folder + "/Textures/Sky.bmp", EncodeBmp24(sky.data(), 8, 2, 8));
    }
};

TEST_F(FlybyArtTest, LoadsEveryPieceInItsPlaceFromTheDataRootOrTheVolume) {
    for (int onVolume = 0; onVolume < 2; onVolume++) {
        WriteArt(onVolume ? volume.path : root.path);
        if (onVolume) RemoveFile((root / "Textures/PrePals.pal").c_str()), RemoveFile((root / "Textures/Sky.bmp").c_str());
        auto art = std::make_unique<FlybyArt>();
        ASSERT_EQ(LoadFlybyArt(art.get()), 1) << TestLastMessage();
        EXPECT_EQ(art->loaded, 1);
        EXPECT_EQ(art->palette[0], MakeColour(0, 255, 0));
        EXPECT_EQ(art->palette[200], MakeColour(200, 55, (200 * 7) & 255));
        EXPECT_EQ(art->inverse[(31 * 7 * 0) + 0], BruteNearest(art->palette, 0, 0, 0));
        // The haze table's rows from the top: row k, column i holds (i + 3k) mod 256.
        EXPECT_EQ(art->haze[0][5], 5);
        EXPECT_EQ(art->haze[kFlybyHazeLevels - 1][250], (250 + 3 * (kFlybyHazeLevels - 1)) % 256);
        for (int c = 1; c < kFlybyClasses; c++) {
            const FlybySprite& s = art->classSprites[c];
            ASSERT_EQ(s.width, kSpriteW);
            ASSERT_EQ(s.height, kSpriteH);
            EXPECT_EQ(s.pixels[0], c * 10);
            EXPECT_EQ(s.pixels[(kSpriteH - 1) * kSpriteW + 1], c * 10 + 1 + kSpriteH - 1) << "top row first";
        }
        EXPECT_EQ(art->airport.pixels[3 * 16 + 3], 9);
        EXPECT_EQ(art->airport.pixels[3 * 16 + 4], 0);
        ASSERT_EQ(art->skyWidth, 8);
        ASSERT_EQ(art->skyHeight, 2);
        EXPECT_EQ(art->sky[0], 0xFF000000u);
        EXPECT_EQ(art->sky[15], 0xFF0000F0u);
        EXPECT_TRUE(TestShownMessages().empty());
    }
}

// Each failure: the one thing wrong, the messages, and the art left as it was.
TEST_F(FlybyArtTest, EachMissingOrBrokenFileSaysWhich) {
    struct Case {
        const char* file;        // removed, or replaced when `replacement` is set
        int replacement;         // 0 remove, 1 a 24-bit picture, 2 a haze table of the wrong size, 3 a short palette
        std::vector<std::string> messages;
    } cases[] = {
        {"Textures/PrePals.pal", 0, {"Cannot open file prepals.pal"}},
        {"Textures/PrePals.pal", 3, {"File prepals.pal is shorter than its 256 colours"}},
        {"Textures/AlphaBit.bmp", 0, {"Cannot open file Textures\\AlphaBit.bmp"}},
        {"Textures/AlphaBit.bmp", 2, {"File Textures\\AlphaBit.bmp is not a valid BMP file", "the haze table is 256 x 15 where 256 x 16 is needed"}},
        {"Textures/Cactus.Bmp", 0, {"Cannot open file Textures\\Cactus.Bmp"}},
        {"Textures/Spruce.Bmp", 1, {"File Textures\\Spruce.Bmp is not a valid BMP file", "bit count 24 where a palette picture needs 8"}},
        {"Textures/Trees.bmp", 0, {"Cannot open file Textures\\Trees.bmp"}},
        {"Textures/Airport.bmp", 0, {"Cannot open file Textures\\Airport.bmp"}},
        {"Textures/Sky.bmp", 0, {"Cannot open file Textures\\Sky.bmp"}},
    };
    for (const Case& k : cases) {
        WriteArt(root.path);
        std::string path = root / k.file;
        if (k.replacement == 0) RemoveFile(path.c_str());
        if (k.replacement == 1) WriteTestFile(path, SolidBmp24(4, 4, 0x336699));
        if (k.replacement == 2) WriteTestFile(path, Picture8(256, kFlybyHazeLevels - 1, [](int, int) { return 1; }));
        if (k.replacement == 3) WriteTestFile(path, std::vector<uint8_t>(700, 1));
        TestClearShown();
        auto art = std::make_unique<FlybyArt>();
        art->skyWidth = 77;
        EXPECT_EQ(LoadFlybyArt(art.get()), 0) << k.file;
        std::vector<std::string> shown;
        for (const ShownText& t : TestShownMessages()) shown.push_back(t.text);
        EXPECT_EQ(shown, k.messages) << k.file;
        EXPECT_EQ(art->loaded, 0);
        EXPECT_EQ(art->skyWidth, 77) << "left as it was";
    }
}

}  // namespace
