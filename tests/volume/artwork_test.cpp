// The artwork step: every bitmap the screens name exists in both layouts as a 24-bit BMP, each
// rollover and hit image has exactly its button's size, the pictures with fixed sizes have them,
// and a second run leaves the volume alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/layout_table.h"
#include "imaging/imaging.h"
#include "support/built_fixtures.h"
#include "support/test_volume.h"
#include "volume.h"

// The artwork step run once for the test run (the setup test below) into a fixture folder.
static int BuildArtworkFixture(const std::string& folder) {
    // A striped colour overview stands in for the rasters step's output.
    std::vector<uint8_t> rgb(1600u * 1200u * 3u);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        size_t y = i / 3 / 1600;
        rgb[i] = (uint8_t)(y / 5), rgb[i + 1] = 120, rgb[i + 2] = (uint8_t)(255 - y / 5);
    }
    if (!WriteTestFile(folder + "/volume/raster/rgb/rgb2.top", rgb)) return 0;
    BuildContext ctx;
    ctx.outDir = folder + "/volume";
    return BuildArtwork(ctx);
}

TEST(FixtureBuild, Artwork) { EXPECT_EQ(BuildFixture("artwork", BuildArtworkFixture), 1); }

static std::string builtVolume;

class Artwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() { builtVolume = FixtureFolder("artwork", BuildArtworkFixture); }
    void SetUp() override { ASSERT_FALSE(builtVolume.empty()) << "the artwork step failed"; }

    // Decodes a volume bitmap of the 800x600 set or, with small, of the "640\" set.
    static int Load(const std::string& name, int small, DecodedBmp* out) {
        std::string path = std::string("volume/") + (small ? "640/" : "") + name;
        for (char& c : path)
            if (c == '\\') c = '/';
        std::vector<uint8_t> bytes = ReadTestFile(builtVolume + "/" + path);
        return !bytes.empty() && DecodeBmp(bytes.data(), bytes.size(), out);
    }
    static void ExpectSize(const std::string& name, int w, int h) {
        for (int small = 0; small <= 1; small++) {
            DecodedBmp bmp;
            ASSERT_TRUE(Load(name, small, &bmp)) << (small ? "640\\" : "") << name;
            EXPECT_EQ(bmp.bitCount, 24) << name;
            EXPECT_EQ(bmp.width, small ? w * 8 / 10 : w) << (small ? "640\\" : "") << name;
            EXPECT_EQ(bmp.height, small ? h * 8 / 10 : h) << (small ? "640\\" : "") << name;
        }
    }
};

TEST_F(Artwork, ScreensRoomAndPagesAreFullSize) {
    const char* screens[] = {"titlepg.bmp",        "menu\\2dmain.bmp",   "menu\\3dmain.bmp",  "menu\\glbmain.bmp",
                             "menu\\statmain.bmp", "menu\\flymain.bmp",  "room\\frame16.bmp", "room\\frame01.bmp",
                             "room\\dark.bmp",     "room\\prods_a.bmp",  "room\\btorvek.bmp", "room\\btpelndr.bmp",
                             "room\\triv_a.bmp"};
    for (const char* s : screens) ExpectSize(s, 800, 600);
}

TEST_F(Artwork, PicturesWithFixedSizes) {
    struct { const char* name; int w, h; } fixed[] = {
        {"menu\\152.bmp", 176, 26},    {"menu\\105a.bmp", 82, 12},   {"menu\\105b.bmp", 82, 12},  {"menu\\106.bmp", 94, 94},
        {"menu\\textbak.bmp", 665, 499}, {"menu\\125.bmp", 216, 96},   {"menu\\144a.bmp", 442, 17}, {"menu\\42.bmp", 143, 319},
        {"menu\\42m.bmp", 143, 319},   {"menu\\42r.bmp", 143, 319},  {"menu\\42h.bmp", 143, 319}, {"menu\\68.bmp", 144, 258},
        {"menu\\68m.bmp", 144, 258},   {"menu\\68r.bmp", 144, 258},  {"menu\\68h.bmp", 144, 258}, {"menu\\124.bmp", 144, 193},
        {"menu\\124m.bmp", 144, 193},  {"menu\\124r.bmp", 144, 193}, {"menu\\124h.bmp", 144, 193},
        // The trivia buttons, right and bottom edges excluded.
        {"menu\\137r.bmp", 44, 44},    {"menu\\140h.bmp", 44, 44},   {"menu\\141r.bmp", 126, 29}, {"menu\\142h.bmp", 152, 30},
        {"menu\\134r.bmp", 188, 39},   {"menu\\134h.bmp", 188, 39},
        // The statistics region highlights sit on their hot rectangles.
        {"menu\\96.bmp", 70, 70},      {"menu\\97.bmp", 142, 107},   {"menu\\104.bmp", 175, 130},
    };
    for (auto& f : fixed) ExpectSize(f.name, f.w, f.h);
}

TEST_F(Artwork, ChooserSetsAndRoomFramesExist) {
    std::vector<std::string> names;
    for (const char* base : {"92", "93", "94", "95"})
        for (const char* v : {"", "r", "h"}) names.push_back(std::string("menu\\") + base + v + ".bmp");
    for (const char* n : {"menu\\92m.bmp", "menu\\93m.bmp", "menu\\144b.bmp", "menu\\144c.bmp", "menu\\145.bmp", "menu\\145m.bmp",
                          "menu\\151m.bmp", "menu\\151m2.bmp", "room\\a.bmp", "room\\b.bmp", "room\\c.bmp", "room\\d.bmp",
                          "room\\e.bmp", "room\\f.bmp", "room\\g.bmp", "room\\1.bmp", "room\\1n.bmp"})
        names.push_back(n);
    for (char c = 'a'; c <= 'h'; c++) names.push_back(std::string("menu\\71") + c + ".bmp");
    for (int i = 96; i <= 104; i++) names.push_back("menu\\" + std::to_string(i) + ".bmp");
    for (const char* v : {"n0", "n1", "r0", "r1", "h0", "h1"}) names.push_back(std::string("menu\\120") + v + ".bmp");
    for (const std::string& n : names) {
        for (int small = 0; small <= 1; small++) {
            DecodedBmp bmp;
            EXPECT_TRUE(Load(n, small, &bmp)) << (small ? "640\\" : "") << n;
            EXPECT_EQ(bmp.bitCount, 24) << n;
        }
    }
    DecodedBmp preview;
    ASSERT_TRUE(Load("menu\\71c.bmp", 0, &preview));
    EXPECT_EQ(preview.width, 107);
    EXPECT_EQ(preview.height, 85);
}

// Every button image of the layout table exists in both sets at exactly the button's size
// (scaled like the table in the small layout), and looks different from the screen under it.
TEST_F(Artwork, ButtonImagesMatchTheirRectangles) {
    int checked = 0;
    for (const ButtonLayout& b : kButtonLayout) {
        for (int state = b.twoState ? 0 : -1; state <= (b.twoState ? 1 : -1); state++) {
            for (char kind : {'n', 'r', 'h'}) {
                char name[48];
                if (!ButtonImageName(b.id, kind, state, name, sizeof name)) continue;
                for (int small = 0; small <= 1; small++) {
                    int x, y, w, h;
                    ScaleButtonRect(b, small, &x, &y, &w, &h);
                    DecodedBmp bmp;
                    ASSERT_TRUE(Load(name, small, &bmp)) << name;
                    EXPECT_EQ(bmp.bitCount, 24);
                    EXPECT_EQ(bmp.width, w) << name << (small ? " (640)" : "");
                    EXPECT_EQ(bmp.height, h) << name << (small ? " (640)" : "");
                    checked++;
                }
            }
        }
    }
    EXPECT_GT(checked, 300);
    // A rollover must show: compare "menu\20r.bmp" with the map screen under button 20.
    DecodedBmp screen, rollover, hit;
    ASSERT_TRUE(Load("menu\\2dmain.bmp", 0, &screen));
    ASSERT_TRUE(Load("menu\\20r.bmp", 0, &rollover));
    ASSERT_TRUE(Load("menu\\20h.bmp", 0, &hit));
    const ButtonLayout* b = FindButtonLayout(20);
    int differentR = 0, differentH = 0;
    for (int y = 0; y < b->h; y++) {
        for (int x = 0; x < b->w; x++) {
            uint32_t under = screen.pixels[(size_t)(b->y + y) * 800 + b->x + x];
            differentR += rollover.pixels[(size_t)y * b->w + x] != under;
            differentH += hit.pixels[(size_t)y * b->w + x] != rollover.pixels[(size_t)y * b->w + x];
        }
    }
    EXPECT_GT(differentR, b->w * b->h / 3);
    EXPECT_GT(differentH, b->w * b->h / 3);
    // The help-prompt switch's normal look "on" is what the screen shows.
    DecodedBmp on;
    ASSERT_TRUE(Load("menu\\8n1.bmp", 0, &on));
    const ButtonLayout* help = FindButtonLayout(8);
    for (int y = 0; y < help->h; y++)
        for (int x = 0; x < help->w; x++)
            ASSERT_EQ(on.pixels[(size_t)y * help->w + x], screen.pixels[(size_t)(help->y + y) * 800 + help->x + x]) << x << "," << y;
}

TEST_F(Artwork, SecondRunKeepsTheVolume) {
    // The second run works on a copy, so the shared fixture stays as the first run left it.
    TempFolder copy;
    ASSERT_EQ(CopyTree(builtVolume, copy.path), 1);
    struct stat before, after;
    std::string title = copy / "volume/titlepg.bmp";
    ASSERT_EQ(stat(title.c_str(), &before), 0);
    BuildContext ctx;
    ctx.outDir = copy / "volume";
    EXPECT_EQ(BuildArtwork(ctx), 1);
    ASSERT_EQ(stat(title.c_str(), &after), 0);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    ASSERT_FALSE(ctx.report.empty());
    EXPECT_NE(ctx.report.back().find("up to date"), std::string::npos);
    // The contact sheet was written beside the volume.
    EXPECT_FALSE(ReadTestFile(builtVolume + "/contact-sheet.png").empty());
}
