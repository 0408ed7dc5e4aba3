// The window's shared pieces: the button table and its 640x480 scaling, which buttons each
// mode shows to the hit test, hover flags, help prompts and the progress bar's pixels.
#include <gtest/gtest.h>

#include "app/screens.h"
#include "core/layout_table.h"
#include "window_fixture.h"

namespace {

struct PanelsTest : ::testing::Test {
    WindowFixture window;
    void SetUp() override { window.Open(); }
    void TearDown() override { window.Close(); }
};

TEST_F(PanelsTest, ButtonTableScalesEveryRectangleOnceInTheSmallLayout) {
    for (int small = 0; small <= 1; small++) {
        smallLayout = small;
        BuildButtonTable();
        BuildButtonTable();  // building again must not scale twice
        for (int i = 0; i < kPanelButtons; i++) {
            const ButtonLayout& l = kButtonLayout[i];
            const PanelButton& b = panelButtons[i];
            EXPECT_EQ(b.id, i + 1);
            int f = small ? 8 : 10;
            EXPECT_EQ(b.x, l.x * f / 10) << b.id;
            EXPECT_EQ(b.y, l.y * f / 10) << b.id;
            EXPECT_EQ(b.w, l.w * f / 10) << b.id;
            EXPECT_EQ(b.h, l.h * f / 10) << b.id;
        }
    }
    // The product page's back button: (309, 552, 188, 39) -> (247, 441, 150, 31).
    EXPECT_EQ(FindPanelButton(87)->x, 247);
    EXPECT_EQ(FindPanelButton(87)->y, 441);
    EXPECT_EQ(FindPanelButton(87)->w, 150);
    EXPECT_EQ(FindPanelButton(87)->h, 31);
}

TEST_F(PanelsTest, BitmapNamesFollowTheButtonsAndTheirStates) {
    std::string names[6];
    int n;
    PanelBitmapNames(20, names, &n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(names[0], "menu\\20r.bmp");
    EXPECT_EQ(names[1], "menu\\20h.bmp");
    PanelBitmapNames(8, names, &n);
    ASSERT_EQ(n, 6);
    EXPECT_EQ(names[0], "menu\\8r0.bmp");
    EXPECT_EQ(names[5], "menu\\8n1.bmp");
    PanelBitmapNames(73, names, &n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(names[0], "room\\73r.bmp");
    PanelBitmapNames(69, names, &n);  // no object in the room
    EXPECT_EQ(n, 0);
    PanelBitmapNames(41, names, &n);  // shares button 39's images
    EXPECT_EQ(n, 0);
    EXPECT_EQ(PanelBitmapCount(), 2 * 93 + 4);
}

TEST_F(PanelsTest, MissingBitmapReleasesEverythingAndLeavesTheTableUnbuilt) {
    TempFolder folder;
    char saved[256];
    strcpy(saved, dataRoot);
    strcpy(dataRoot, folder.path.c_str());
    panelButtonsBuilt = 1;
    EXPECT_EQ(LoadPanelButtons(), 0);
    EXPECT_EQ(panelButtonsBuilt, 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\1r.bmp");
    strcpy(dataRoot, saved);
}

TEST_F(PanelsTest, VisibilityByMode) {
    struct Case { int id, mode, visible; } cases[] = {
        {1, 3, 1}, {1, 1, 0}, {1, 2, 0}, {6, 13, 1}, {7, 13, 0}, {95, 13, 0}, {14, 7, 1}, {95, 4, 1},
        {12, 6, 1}, {9, 6, 0}, {82, 6, 1}, {83, 6, 0}, {15, 3, 1}, {15, 4, 0}, {96, 3, 1}, {24, 3, 0}, {25, 3, 0},
        {26, 4, 1}, {43, 3, 0}, {44, 8, 1}, {47, 13, 1}, {47, 8, 1}, {47, 4, 0}, {48, 5, 1}, {52, 5, 0},
        {65, 5, 0}, {97, 5, 0}, {66, 1, 1}, {74, 1, 1}, {73, 3, 0}, {75, 7, 1}, {93, 7, 1}, {87, 9, 1},
        {90, 11, 1}, {90, 12, 0}, {89, 12, 1}, {1, 9, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ButtonVisible(c.id, c.mode), c.visible) << c.id << " in mode " << c.mode;
    mapZoomedIn = 1;
    satelliteDataLoaded = climateDataLoaded = textHasIndex = 1;
    EXPECT_EQ(ButtonVisible(24, 3), 1);
    EXPECT_EQ(ButtonVisible(25, 3), 1);
    EXPECT_EQ(ButtonVisible(52, 5), 1);
    EXPECT_EQ(ButtonVisible(65, 5), 1);
    EXPECT_EQ(ButtonVisible(83, 6), 1);
    satelliteDataLoaded = climateDataLoaded = textHasIndex = 0;
    mapZoomedIn = 0;
}

TEST_F(PanelsTest, HitTestFindsVisibleButtonsAndKeepsHoverFlags) {
    int id;
    EXPECT_EQ(ButtonHitTest(700, 50, 3, &id), 1);  // 15 Background
    EXPECT_EQ(id, 15);
    EXPECT_EQ(FindPanelButton(15)->hover, 1);
    EXPECT_EQ(ButtonHitTest(700, 73, 3, &id), 1);  // 16, and 15 is left
    EXPECT_EQ(id, 16);
    EXPECT_EQ(FindPanelButton(15)->hover, 0);
    EXPECT_EQ(ButtonHitTest(720, 540, 3, &id), 0);  // 24 hides at depth 0
    EXPECT_EQ(id, 0);
    EXPECT_EQ(FindPanelButton(16)->hover, 0);
    EXPECT_EQ(ButtonHitTest(700, 50, 1, &id), 0);  // the map's buttons are not in the room
    EXPECT_EQ(ButtonHitTest(150, 140, 1, &id), 1);
    EXPECT_EQ(id, 73);
    // The rotation cluster lights up as one over its shared area.
    ButtonHitTest(760, 530, 4, &id);
    EXPECT_EQ(id, 39);
    for (int b = 39; b <= 42; b++) EXPECT_EQ(FindPanelButton(b)->hover, 1) << b;
    ButtonHitTest(10, 300, 4, &id);
    for (int b = 39; b <= 42; b++) EXPECT_EQ(FindPanelButton(b)->hover, 0) << b;
    // Right and bottom edges are outside (rectangles end before x + w).
    EXPECT_EQ(ButtonHitTest(695 + 102, 50, 3, &id), 0);
    EXPECT_EQ(ButtonHitTest(695 + 101, 48 + 19, 3, &id), 1);
}

TEST_F(PanelsTest, PromptTexts) {
    struct Case { int id; const char* text; } cases[] = {
        {-5, "Pan down"}, {-1, "Zoom in or out of map"}, {1, "View data in 2D mode"}, {8, "Turn off help prompts"},
        {10, "Contact information for Orvek"}, {11, "Connect to Orvek's web site"}, {24, "Set new map center point"},
        {51, "Turn satellite orbits on/off"}, {72, "Contact information about Pelandor"}, {86, "Search for word(s)"},
        {97, "Search for visible satellites"}, {19, nullptr}, {20, nullptr}, {26, nullptr}, {0, nullptr}, {-6, nullptr},
    };
    for (const Case& c : cases) {
        if (c.text) EXPECT_STREQ(HelpPromptText(c.id), c.text) << c.id;
        else EXPECT_EQ(HelpPromptText(c.id), nullptr) << c.id;
    }
}

static int LitPixels(const Rect& r) {
    int lit = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) lit += WindowPixel(x, y) != 0;
    return lit;
}

TEST_F(PanelsTest, PromptsShowOnlyWhileSwitchedOnAndOutsideTheTextViewer) {
    Rect line{3, 569, 234, 600};
    screenMode = 3;
    int id;
    helpPromptsOn = 0;
    ButtonHitTest(700, 50, 3, &id);
    EXPECT_EQ(LitPixels(line), 0);
    ButtonHitTest(10, 300, 3, &id);
    helpPromptsOn = 1;
    ButtonHitTest(700, 50, 3, &id);
    EXPECT_GT(LitPixels(line), 20);
    ButtonHitTest(10, 300, 3, &id);  // leaving erases the line from hbmVirtual
    EXPECT_EQ(LitPixels(line), 0);
    screenMode = 6;
    HelpPrompt(15, 0);
    EXPECT_EQ(LitPixels(line), 0);
}

TEST_F(PanelsTest, ProgressBarPixels) {
    screenMode = 3;
    const uint32_t green = 0x00FF00;
    struct Case { int percent, lastGreen; } cases[] = {{0, 71}, {50, 121}, {100, 171}, {150, 171}, {-20, 71}};
    for (const Case& c : cases) {
        FillRect(WindowSurface(), Rect{0, 560, 800, 600}, MakeColour(0, 0, 0));
        ProgressIndicator(0, c.percent);
        EXPECT_EQ(WindowPixel(71, 578), green) << c.percent;
        EXPECT_EQ(WindowPixel(c.lastGreen, 586), green) << c.percent;
        EXPECT_NE(WindowPixel(c.lastGreen + 1, 580), green) << c.percent;
        EXPECT_NE(WindowPixel(71, 587), green) << c.percent;
        EXPECT_NE(WindowPixel(70, 580), green) << c.percent;
    }
    ProgressIndicator(1, 100);  // finishing restores the panel area from hbmVirtual
    EXPECT_EQ(WindowPixel(100, 580), 0u);
    // Not in the room.
    screenMode = 1;
    ProgressIndicator(0, 100);
    EXPECT_EQ(WindowPixel(100, 580), 0u);
}

TEST(PanelsSmall, ProgressBarOfTheSmallLayout) {
    WindowFixture window;
    window.Open(1);
    screenMode = 3;
    ProgressIndicator(0, 50);
    EXPECT_EQ(WindowPixel(56, 462), 0x00FF00u);
    EXPECT_EQ(WindowPixel((int)(0.8 * 122) - 1, 468), 0x00FF00u);
    EXPECT_NE(WindowPixel((int)(0.8 * 122), 465), 0x00FF00u);
    EXPECT_NE(WindowPixel(56, 469), 0x00FF00u);
    window.Close();
}

}  // namespace
