// BMP loading: the 24-bit rule, gamma, the 640x480 fallbacks, 8-bit palettes and damaged files.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

// An 8-bit BMP with a grey colour table; `topDown` stores the rows top first.
std::vector<uint8_t> Bmp8(int w, int h, int topDown, uint8_t (*pixel)(int x, int y)) {
    size_t rowBytes = ((size_t)w + 3) & ~(size_t)3;
    std::vector<uint8_t> out;
    WriteU8(out, 'B');
    WriteU8(out, 'M');
    WriteU32LE(out, (uint32_t)(54 + 1024 + rowBytes * h));
    WriteU32LE(out, 0);
    WriteU32LE(out, 54 + 1024);
    WriteU32LE(out, 40);
    WriteI32LE(out, w);
    WriteI32LE(out, topDown ? -h : h);
    WriteU16LE(out, 1);
    WriteU16LE(out, 8);
    for (int i = 0; i < 6; i++) WriteU32LE(out, 0);
    for (int i = 0; i < 256; i++) WriteU32LE(out, (uint32_t)(i | (i << 8) | (i << 16)));
    for (int r = 0; r < h; r++) {
        int y = topDown ? r : h - 1 - r;
        for (size_t x = 0; x < rowBytes; x++) WriteU8(out, x < (size_t)w ? pixel((int)x, y) : 0);
    }
    return out;
}

struct BmpTest : ::testing::Test {
    TempFolder root, volume;
    std::string savedCwd;
    void SetUp() override {
        ResetShellState();
        TestClearShown();
        savedCwd = CurrentDirectory();
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        ChangeDirectory(volume.path.c_str());  // bare names resolve on the volume
        smallLayout = 0;
    }
    void TearDown() override {
        ChangeDirectory(savedCwd.c_str());
        smallLayout = 0;
        gammaTable.enabled = 0;
    }
};

TEST_F(BmpTest, EncodeDecodeRoundTrip) {
    std::vector<uint32_t> pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF123456u, 0xFFFFFFFFu, 0xFF000000u};
    std::vector<uint8_t> bytes = EncodeBmp24(pixels.data(), 3, 2, 3);
    EXPECT_EQ(bytes.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
    DecodedBmp d;
    ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), &d), 1);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.pixels, pixels);
}

TEST_F(BmpTest, LoadsFromDataRootBeforeVolume) {
    ASSERT_TRUE(WriteTestFile(volume / "menu/pic.bmp", SolidBmp24(4, 3, 0x0000FF)));
    Surface* s = nullptr;
    ASSERT_EQ(LoadBMPFromFile("MENU\\Pic.BMP", &s), 1);
    EXPECT_EQ(GetPixel(s, 3, 2), MakeColour(0, 0, 255));
    DeleteSurface(s);
    ASSERT_TRUE(WriteTestFile(root / "menu/pic.bmp", SolidBmp24(4, 3, 0xFF0000)));
    ASSERT_EQ(LoadBMPFromFile("menu\\pic.bmp", &s), 1);
    EXPECT_EQ(GetPixel(s, 0, 0), MakeColour(255, 0, 0));
    DeleteSurface(s);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(BmpTest, SmallLayoutPrefers640SetAndFallsBack) {
    smallLayout = 1;
    ASSERT_TRUE(WriteTestFile(volume / "menu/a.bmp", SolidBmp24(2, 2, 0x00FF00)));
    Surface* s = nullptr;
    ASSERT_EQ(LoadBMPFromFile("menu\\a.bmp", &s), 1);  // only the full-size set has it
    EXPECT_EQ(GetPixel(s, 0, 0), MakeColour(0, 255, 0));
    DeleteSurface(s);
    ASSERT_TRUE(WriteTestFile(volume / "640/menu/a.bmp", SolidBmp24(2, 2, 0x0000FF)));
    ASSERT_EQ(LoadBMPFromFile("menu\\a.bmp", &s), 1);
    EXPECT_EQ(GetPixel(s, 0, 0), MakeColour(0, 0, 255));
    DeleteSurface(s);
    ASSERT_TRUE(WriteTestFile(root / "640/menu/a.bmp", SolidBmp24(2, 2, 0xFF0000)));
    ASSERT_EQ(LoadBMPFromFile("menu\\a.bmp", &s), 1);
    EXPECT_EQ(GetPixel(s, 0, 0), MakeColour(255, 0, 0));
    DeleteSurface(s);
}

TEST_F(BmpTest, GammaAppliesToPixels) {
    ASSERT_TRUE(WriteTestFile(volume / "g.bmp", SolidBmp24(2, 2, 0x404040)));
    Surface* s = nullptr;
    BuildGammaTable(2.0);
    ASSERT_EQ(LoadBMPFromFile("g.bmp", &s), 1);
    EXPECT_EQ(GetPixel(s, 1, 1), MakeColour(128, 128, 128));
    DeleteSurface(s);
    gammaTable.enabled = 0;
    ASSERT_EQ(LoadBMPFromFile("g.bmp", &s), 1);
    EXPECT_EQ(GetPixel(s, 1, 1), MakeColour(64, 64, 64));
    DeleteSurface(s);
}

TEST_F(BmpTest, FailuresShowTheirMessages) {
    std::vector<uint8_t> good = SolidBmp24(8, 8, 0x123456);
    std::vector<uint8_t> notBm = good;
    notBm[0] = 'X';
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 100);
    std::vector<uint8_t> hugeWidth = good;
    PokeU32LE(&hugeWidth[18], 0x7FFFFFFF);
    std::vector<uint8_t> zeroHeight = good;
    PokeU32LE(&zeroHeight[22], 0);
    std::vector<uint8_t> offsetPastEnd = good;
    PokeU32LE(&offsetPastEnd[10], 1u << 30);
    std::vector<uint8_t> eightBit = Bmp8(4, 4, 0, [](int x, int y) { return (uint8_t)(x + y); });
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"nobm.bmp", notBm, {"File nobm.bmp is not a valid BMP file"}},
        {"short.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 10), {"File short.bmp is not a valid BMP file"}},
        {"eight.bmp", eightBit, {"File eight.bmp is not a 24-bit file"}},
        {"trunc.bmp", truncated, {"Cannot allocate *hBitmap, (0x00000057)", "The parameter is incorrect."}},
        {"wide.bmp", hugeWidth, {"Cannot allocate *hBitmap, (0x00000057)", "The parameter is incorrect."}},
        {"zero.bmp", zeroHeight, {"Cannot allocate *hBitmap, (0x00000057)", "The parameter is incorrect."}},
        {"offset.bmp", offsetPastEnd, {"Cannot allocate *hBitmap, (0x00000057)", "The parameter is incorrect."}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestFile(volume / c.file, c.bytes));
        TestClearShown();
        Surface* s = (Surface*)1;
        EXPECT_EQ(LoadBMPFromFile(c.file, &s), 0) << c.file;
        EXPECT_EQ(s, nullptr);
        ASSERT_EQ(TestShownMessages().size(), c.messages.size()) << c.file;
        for (size_t i = 0; i < c.messages.size(); i++) EXPECT_EQ(TestShownMessages()[i].text, c.messages[i]);
    }
    TestClearShown();
    Surface* s;
    EXPECT_EQ(LoadBMPFromFile("missing.bmp", &s), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file missing.bmp");
}

TEST_F(BmpTest, EightBitLoadUsesCallersPaletteAndReportsPositiveHeight) {
    auto diagonal = [](int x, int y) { return (uint8_t)(x == y ? 1 : 0); };
    ASSERT_TRUE(WriteTestFile(volume / "up.bmp", Bmp8(5, 3, 0, diagonal)));
    ASSERT_TRUE(WriteTestFile(volume / "down.bmp", Bmp8(5, 3, 1, diagonal)));
    ColourRef palette[256];
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(0, 0, 0);
    palette[1] = MakeColour(250, 10, 20);
    for (const char* name : {"up.bmp", "down.bmp"}) {
        Bitmap8 b;
        ASSERT_EQ(Load8BitBMP(palette, name, &b), 1) << name;
        EXPECT_EQ(b.width, 5);
        EXPECT_EQ(b.height, 3);
        EXPECT_EQ(GetPixel(b.bitmap, 2, 2), MakeColour(250, 10, 20)) << name;
        EXPECT_EQ(GetPixel(b.bitmap, 2, 1), MakeColour(0, 0, 0)) << name;
        EXPECT_FALSE(b.loadBuf.empty());
        Release8BitBMP(&b);
        EXPECT_TRUE(b.loadBuf.empty());
    }
    Bitmap8 b;
    EXPECT_EQ(Load8BitBMP(palette, "absent.bmp", &b), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file absent.bmp");
}

TEST_F(BmpTest, BackgroundNeedsHbmVirtual) {
    ASSERT_TRUE(WriteTestFile(volume / "bg.bmp", SolidBmp24(800, 600, 0x336699)));
    Surface* saved = hbmVirtual;
    hbmVirtual = nullptr;
    EXPECT_EQ(LoadBMPToBackground("bg.bmp"), 0);
    EXPECT_EQ(TestLastMessage(), "hbmVirtual not allocated yet");
    hbmVirtual = CreateSurface(800, 600);
    screenWidth = 800, screenHeight = 600;
    ASSERT_EQ(LoadBMPToBackground("bg.bmp"), 1);
    EXPECT_EQ(GetPixel(hbmVirtual, 799, 599), MakeColour(0x33, 0x66, 0x99));
    TestClearShown();
    EXPECT_EQ(LoadBMPToBackground("nothere.bmp"), 0);
    ASSERT_EQ(TestShownMessages().size(), 2u);
    EXPECT_EQ(TestShownMessages()[1].text, "LoadBMPFromFile() == FALSE");
    EXPECT_EQ(TestShownMessages()[1].caption, "LoadBMPToBackground()");
    DeleteSurface(hbmVirtual);
    hbmVirtual = saved;
}

TEST_F(BmpTest, CaptureIsBottomUpAndTurnsBlackWhite) {
    Surface* saved = hbmVirtual;
    hbmVirtual = CreateSurface(800, 600);
    FillRect(hbmVirtual, Rect{0, 0, 800, 1}, MakeColour(10, 20, 30));
    std::vector<uint8_t> out;
    ASSERT_EQ(CaptureWindow(0, 0, &out), 1);
    ASSERT_EQ(out.size(), 1440000u);
    size_t topRow = (size_t)599 * 800 * 3;
    EXPECT_EQ(out[topRow], 30);  // blue first
    EXPECT_EQ(out[topRow + 2], 10);
    EXPECT_EQ(out[0], 0);
    ASSERT_EQ(CaptureWindow(0, 1, &out), 1);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[topRow], 30);
    DeleteSurface(hbmVirtual);
    hbmVirtual = saved;
}

}  // namespace
