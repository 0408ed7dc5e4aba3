// The elevation scale chooser: swatches drawn from the scales of "scales.dat", selection,
// the range switch, confirm and cancel, the slide cue and the restored window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

const ColourRef kUnder = MakeColour(10, 20, 30);
const uint32_t kPanel = 0x808080, kMarked = 0x0000C0, kHover = 0x00C000, kPressed = 0xC00000;

// A scale that runs from black at the bottom to (250, 250, 0) at the top.
std::vector<uint8_t> Ramp() {
    std::vector<uint8_t> bytes(8 + 3 * kScaleColours);
    for (int k = 0; k < kScaleColours; k++) bytes[8 + 3 * k] = bytes[9 + 3 * k] = (uint8_t)(k / 40);
    return bytes;
}

int64_t NoWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

struct Snapshot {
    int calls = 0;
    std::vector<ColourRef> pixels;
} snapshot;

Point panelAt;
// The legend redraw hook: records what the panel shows at that moment.
void RecordPanel(int) {
    snapshot.calls++;
    Surface* w = WindowSurface();
    const Point probes[] = {{10, 32}, {10, 197}, {27, 32}, {44, 32}, {3, 10}, {20, 220}, {20, 250}};
    snapshot.pixels.clear();
    for (const Point& p : probes) snapshot.pixels.push_back(GetPixel(w, panelAt.x + p.x, panelAt.y + p.y));
}

struct ChooserScreen : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Surface* savedVirtual = nullptr;
    OptionsRecord savedOptions;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        savedOptions = options;
        options.soundsOn = 1;
        smallLayout = 0;
        screenMode = 3;
        fixedElevationRange = 0;
        gammaTable.enabled = 0;
        ASSERT_TRUE(WriteTestFile(folder / "menu/42.bmp", SolidBmp24(kChooserWidth, kChooserHeight, kPanel)));
        ASSERT_TRUE(WriteTestFile(folder / "menu/42m.bmp", SolidBmp24(kChooserWidth, kChooserHeight, kMarked)));
        ASSERT_TRUE(WriteTestFile(folder / "menu/42r.bmp", SolidBmp24(kChooserWidth, kChooserHeight, kHover)));
        ASSERT_TRUE(WriteTestFile(folder / "menu/42h.bmp", SolidBmp24(kChooserWidth, kChooserHeight, kPressed)));
        ASSERT_TRUE(WriteTestFile(folder / "scales/a.sca", Ramp()));
        ASSERT_TRUE(WriteTestFile(folder / "scales/c.sca", Ramp()));
        ASSERT_TRUE(WriteTestText(folder / "scales.dat", "0<a.sca>\n0<b.sca>\n1<c.sca>\n"));
        std::vector<uint8_t> wave = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                     0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 0, 0, 0, 0};
        ASSERT_TRUE(WriteTestFile(folder / "slide2.wav", wave));
        ASSERT_EQ(ReadScaleList(), 3);
        ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, NoWindowProc));
        savedVirtual = hbmVirtual;
        hbmVirtual = CreateSurface(800, 600);
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, kUnder);
        Blit(WindowSurface(), 0, 0, 800, 600, hbmVirtual, 0, 0);
        FlushMessages(0, 0xFFFF);
        TestClearShown();
        TestClearSounds();
        snapshot = Snapshot();
        panelAt = ChooserPanelPosition(546, 45);
    }
    void TearDown() override {
        DestroyMainWindow();
        DeleteSurface(hbmVirtual);
        hbmVirtual = savedVirtual;
        options = savedOptions;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        fixedElevationRange = 0;
        screenMode = 0;
        ReadScaleList();
    }
    void ClickArea(int area) {
        const Rect& a = kChooserArea[area];
        TestInjectClick(panelAt.x + (a.left + a.right) / 2, panelAt.y + (a.top + a.bottom) / 2);
    }
    int PanelRestored() {
        for (int y = panelAt.y; y < panelAt.y + kChooserHeight; y += 7)
            for (int x = panelAt.x; x < panelAt.x + kChooserWidth; x += 7)
                if (GetPixel(WindowSurface(), x, y) != kUnder) return 0;
        return 1;
    }
};

ColourRef Rgb(uint32_t rgb) { return MakeColour((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

}  // namespace

TEST_F(ChooserScreen, ChoosingAScaleAndConfirming) {
    ClickArea(0);
    ClickArea(10);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 1);
    EXPECT_EQ(ElevationScaleIndex(), 0);
    ASSERT_EQ(snapshot.calls, 1);  // the legend was redrawn when the swatch was chosen
    // Swatch 0 (hovered): the ramp from its top (high end) to its bottom.
    EXPECT_EQ(snapshot.pixels[0], MakeColour(249, 249, 0));
    EXPECT_EQ(ColourRed(snapshot.pixels[1]), 1);  // 166 rows: the last is index 60, red 60 / 40
    // Swatch 1 names a scale that is missing: left blank (the panel picture shows through).
    EXPECT_EQ(snapshot.pixels[2], Rgb(kPanel));
    EXPECT_EQ(snapshot.pixels[3], MakeColour(249, 249, 0));
    EXPECT_EQ(snapshot.pixels[4], Rgb(kPanel));
    EXPECT_EQ(snapshot.pixels[5], Rgb(kPanel));   // fixed range: not in force
    EXPECT_EQ(snapshot.pixels[6], Rgb(kMarked));  // observed range: in force
    ASSERT_EQ(TestPlayedSounds().size(), 1u);
    EXPECT_NE(TestPlayedSounds()[0].find("slide2.wav"), std::string::npos);
    EXPECT_TRUE(PanelRestored());
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(ChooserScreen, EscapeRestoresWhatWasInForce) {
    ClickArea(0);
    ClickArea(8);
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 0);
    EXPECT_EQ(ElevationScaleIndex(), 2);
    EXPECT_EQ(fixedElevationRange, 0);
    EXPECT_EQ(snapshot.calls, 3);  // swatch, range switch, and the redraw on cancelling
    EXPECT_EQ(TestPlayedSounds().size(), 1u);
    EXPECT_TRUE(PanelRestored());
}

// Swatch 1 names a missing scale: choosing it says so once and keeps the scale in force, so
// neither the legend nor the map is redrawn with it.
TEST_F(ChooserScreen, UnreadableScaleIsRefusedWithOneMessage) {
    ClickArea(1);
    ClickArea(10);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 0);
    EXPECT_EQ(ElevationScaleIndex(), 2);
    EXPECT_EQ(snapshot.calls, 1);  // only the closing redraw, with the scale still in force
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text, "Cannot open file " + std::string(dataRoot) + "\\scales\\b.sca");
}

TEST_F(ChooserScreen, RangeSwitchAloneIsAChange) {
    ClickArea(8);
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 1);
    EXPECT_EQ(fixedElevationRange, 1);
    EXPECT_EQ(ElevationScaleIndex(), 2);
    ASSERT_EQ(snapshot.calls, 1);
    EXPECT_EQ(snapshot.pixels[5], Rgb(kHover));  // released, still under the pointer
}

TEST_F(ChooserScreen, ConfirmingWithoutAChangeReturnsFalse) {
    ClickArea(2);  // the entry already in force
    ClickArea(10);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 0);
    EXPECT_EQ(ElevationScaleIndex(), 2);
}

TEST_F(ChooserScreen, MissingPanelPictureIsReported) {
    RemoveFile((folder / "menu/42m.bmp").c_str());
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 2, RecordPanel), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\42m.bmp");
    EXPECT_TRUE(TestPlayedSounds().empty());
}

TEST(ChooserPosition, SmallLayoutKeepsTheRightEdge) {
    smallLayout = 1;
    Point p = ChooserPanelPosition(546, 45);
    smallLayout = 0;
    EXPECT_EQ(p.x, 408);  // trunc(689 * 0.8) - 143
    EXPECT_EQ(p.y, 36);
    Point q = ChooserPanelPosition(546, 45);
    EXPECT_EQ(q.x, 546);
    EXPECT_EQ(q.y, 45);
}

TEST_F(ChooserScreen, WithoutAHookTheMapLegendIsRedrawn) {
    ClickArea(0);
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(ElevationScaleChooser(546, 45, 4, nullptr), 1);
    // The map bar over the observed range starts at the floor: index 492 of the ramp.
    Rect bar = LegendBarRect();
    EXPECT_EQ(GetPixel(WindowSurface(), bar.left, bar.bottom - 1), MakeColour(12, 12, 0));
    EXPECT_EQ(GetPixel(hbmVirtual, bar.left, bar.bottom - 1), MakeColour(12, 12, 0));
    EXPECT_EQ(GetPixel(hbmVirtual, bar.left, bar.top), MakeColour(245, 245, 0));  // row 55 of 56: index 9821
}
