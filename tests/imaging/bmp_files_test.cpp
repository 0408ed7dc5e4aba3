// BMP loading: the 24-bit rule, gamma, the 640x480 fallbacks, 8-bit palettes and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    return texts;
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
    std::vector<uint8_t> shortHeader = good;
    PokeU32LE(&shortHeader[14], 12);
    std::vector<uint8_t> compressed = good;
    PokeU32LE(&compressed[30], 1);
    std::vector<uint8_t> eightBit = Bmp8(4, 4, 0, [](int x, int y) { return (uint8_t)(x + y); });
    const char* invalid = "Cannot allocate *hBitmap, (0x00000016)";  // EINVAL: the file's own fault
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"nobm.bmp", notBm, {"File nobm.bmp is not a valid BMP file"}},
        {"short.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 10), {"File short.bmp is not a valid BMP file"}},
        {"eight.bmp", eightBit, {"File eight.bmp is not a 24-bit file"}},
        {"trunc.bmp", truncated, {invalid, "the file ends before its pixel rows"}},
        {"info.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 40), {invalid, "the file ends inside its information header"}},
        {"wide.bmp", hugeWidth, {invalid, "width 2147483647 out of range"}},
        {"zero.bmp", zeroHeight, {invalid, "height 0 out of range"}},
        {"offset.bmp", offsetPastEnd, {invalid, "pixel data offset 1073741824 lies beyond the end of the file"}},
        {"os2.bmp", shortHeader, {invalid, "information header of 12 bytes, fewer than 40"}},
        {"rle.bmp", compressed, {invalid, "unsupported compression 1"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestFile(volume / c.file, c.bytes));
        TestClearShown();
        Surface* s = (Surface*)1;
        EXPECT_EQ(LoadBMPFromFile(c.file, &s), 0) << c.file;
        EXPECT_EQ(s, nullptr);
        EXPECT_EQ(ShownTexts(), c.messages) << c.file;
    }
    TestClearShown();
    Surface* s;
    EXPECT_EQ(LoadBMPFromFile("missing.bmp", &s), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file missing.bmp"});
}

// One parser reads BMP files for the whole program: the 8-bit loader, the pixel buffers and
// the in-memory decoder give the same reasons for the same damage.
TEST_F(BmpTest, EveryReaderSaysWhatIsWrongWithTheFile) {
    auto diagonal = [](int x, int y) { return (uint8_t)(x == y ? 1 : 0); };
    std::vector<uint8_t> good = Bmp8(6, 4, 0, diagonal);
    std::vector<uint8_t> rows = good;
    rows.resize(good.size() - 3);
    std::vector<uint8_t> table(good.begin(), good.begin() + 54 + 500);
    PokeU32LE(&table[10], 54);  // the pixels claim to start right after the headers
    std::vector<uint8_t> fourBit = good;
    PokeU16LE(&fourBit[28], 4);
    std::vector<uint8_t> colour = SolidBmp24(3, 3, 0x102030);
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        std::string reason;
    } cases[] = {
        {"rows.bmp", rows, "the file ends before its pixel rows"},
        {"table.bmp", table, "the file ends inside its colour table"},
        {"four.bmp", fourBit, "unsupported bit count 4"},
        {"colour.bmp", colour, "bit count 24 where a palette picture needs 8"},
    };
    ColourRef palette[256] = {};
    PbInitialise();
    int buffer = PbCreate(8, 8);
    ASSERT_EQ(PbActivate(buffer), 0);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestFile(volume / c.file, c.bytes));
        TestClearShown();
        Bitmap8 b;
        EXPECT_EQ(Load8BitBMP(palette, c.file, &b), 0) << c.file;
        EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"hBitmap == NULL", c.reason})) << c.file;
        EXPECT_TRUE(b.loadBuf.empty());
        TestClearShown();
        EXPECT_EQ(PbLoadBMP(c.file, 1), 0) << c.file;
        EXPECT_EQ(ShownTexts(), (std::vector<std::string>{std::string("File ") + c.file + " is not a valid BMP file", c.reason})) << c.file;
        std::string reason;
        DecodedBmp d;
        int decoded = DecodeBmp(c.bytes.data(), c.bytes.size(), &d, &reason);
        if (c.bytes == colour) {
            EXPECT_EQ(decoded, 1);  // a 24-bit picture is fine for the decoder
        } else {
            EXPECT_EQ(reason, c.reason) << c.file;
        }
    }
    EXPECT_TRUE(std::all_of(PbAddress(buffer), PbAddress(buffer) + 64, [](uint8_t v) { return v == 0; }));

    // The good file through the pixel buffers: indices as stored (flags 1), or each table
    // colour mapped to the nearest palette entry.
    ASSERT_TRUE(WriteTestFile(volume / "good.bmp", good));
    PbMove(1, 2);
    ASSERT_EQ(PbLoadBMP("good.bmp", 1), 1);
    const uint8_t* p = PbAddress(buffer);
    EXPECT_EQ(p[2 * 8 + 1], 1);  // picture (0, 0)
    EXPECT_EQ(p[5 * 8 + 4], 1);  // picture (3, 3)
    EXPECT_EQ(p[2 * 8 + 2], 0);
    ColourRef distinct[256];
    for (int i = 0; i < 256; i++) distinct[i] = MakeColour(255, 255, 255);
    distinct[40] = MakeColour(1, 1, 1);  // nearest to the file's grey 1
    distinct[41] = MakeColour(0, 0, 0);  // the file's grey 0 exactly
    PbSetPalette(distinct);
    PbMove(1, 2);
    ASSERT_EQ(PbLoadBMP("good.bmp", 0), 1);
    EXPECT_EQ(p[2 * 8 + 1], 40);
    EXPECT_EQ(p[2 * 8 + 2], 41);
    TestClearShown();
    PbDeactivate();
    PbFree(buffer);
    PbDeactivate();
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
