// The manual viewer on texts of its own, driven through the message queue: links of every
// kind and what they hand back, Escape through the return file and the index, the 99-page
// and 50-link limits, pictures, search, and the backdrop's grey buttons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/window_fixture.h"
#include "core/core.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/rect_edges.h"
#include "support/test_volume.h"

namespace {

struct ManualViewerTest : ::testing::Test {
    WindowFixture window;
    TempFolder root;
    char savedRoot[256], savedTemp[256];
    uint8_t savedSounds;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", root.path.c_str());
        MakeDirectories(tempDir);
        savedSounds = options.soundsOn;
        options.soundsOn = 0;  // refusals beep, and the beeps are counted
        window.Open();
        screenMode = 6;
        FlushMessages(0, 0xFFFFFFFF);
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        window.Close();
        options.soundsOn = savedSounds;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        memcpy(tempDir, savedTemp, sizeof tempDir);
    }
    void Text(const char* name, const std::string& text) { ASSERT_TRUE(WriteTestText(root / name, text)); }
    // The hot rectangle of a link on the first page of a text, drawn without running the loop.
    Rect LinkRect(const char* file, int i) {
        EXPECT_EQ(RunManualViewer(file, 1, nullptr, nullptr, nullptr), kManualEnded);
        EXPECT_GT(manualViewer.shown.nLinks, i);
        return manualViewer.shown.links[i].hot;
    }
    static void ClickAt(const Rect& r) { TestInjectClick((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    static void ClickButton(int id) {
        PanelButton* b = FindPanelButton(id);
        TestInjectClick(b->x + b->w / 2, b->y + b->h / 2);
    }
    // Whether the loop ended through the quit of an empty queue (the quit is then queued
    // again for the shell) rather than by itself.
    static int EndedByQuit() {
        Message m;
        int quit = PeekMessageInRange(&m, MSG_QUIT, MSG_QUIT, 1);
        FlushMessages(0, 0xFFFFFFFF);
        return quit;
    }
};

TEST_F(ManualViewerTest, ValueAndMapLinksEndTheViewerWithWhatTheyCarryWebLinksDoNot) {
    Text("manual/v.txt", "{4}Pick one: {s \"11 02\" amateur radio} or {z \"5.5,48,45.8,10.5\" Switzerland}\n"
                         "See {u \"https://example.org/atlas\" our site} for more\n");
    Rect value = LinkRect("manual\\v.txt", 0), map = LinkRect("manual\\v.txt", 1), site = LinkRect("manual\\v.txt", 2);
    EXPECT_EQ(manualViewer.shown.links[0].kind, kLinkValue);
    EXPECT_EQ(manualViewer.shown.links[1].kind, kLinkMap);
    EXPECT_EQ(manualViewer.shown.links[2].kind, kLinkWeb);
    EXPECT_LT(value.right, map.left);

    // A web link opens its address and the viewer stays.
    ClickAt(site);
    EXPECT_EQ(RunManualViewer("manual\\v.txt", 0, nullptr, nullptr, nullptr), kManualEnded);
    EXPECT_TRUE(EndedByQuit());
    ASSERT_FALSE(TestOpenedAddresses().empty());
    EXPECT_EQ(TestOpenedAddresses().back(), "https://example.org/atlas");

    int a = -1, b = -1;
    ClickAt(value);
    EXPECT_EQ(RunManualViewer("manual\\v.txt", 0, &a, &b, nullptr), kManualEnded);
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 2);
    EXPECT_FALSE(EndedByQuit());

    ResetZoomHistory();
    ASSERT_TRUE(WriteTestText(ScreenCachePath(1), "stale"));
    ClickAt(map);
    EXPECT_EQ(RunManualViewer("manual\\v.txt", 0, nullptr, nullptr, nullptr), kManualMapLink);
    EXPECT_EQ(zoomDepth, 1);
    const MapWindow& w = zoomHistory[1];
    EXPECT_EQ((std::array<double, 4>{w.west, w.north, w.south, w.east}), (std::array<double, 4>{5.5, 48, 45.8, 10.5}));
    EXPECT_FALSE(FileExists(ScreenCachePath(1).c_str()));
    EXPECT_FALSE(EndedByQuit());
    ResetZoomHistory();
}

TEST_F(ManualViewerTest, FileLinksIndexAndEscapeGoBackOneLevel) {
    Text("manual/a.txt", "{f \"manual\\b.txt\" to b}\n");
    Text("manual/b.txt", "{f \"manual\\c.txt\" to c}\n");
    Text("manual/c.txt", "the end\n");
    Text("manual/index.txt", "index\n");
    Rect toB = LinkRect("manual\\a.txt", 0), toC = LinkRect("manual\\b.txt", 0);

    // a -> b -> c, then Escape: back to b only, the way back is one level deep.
    ClickAt(toB);
    ClickAt(toC);
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(RunManualViewer("manual\\a.txt", 0, nullptr, nullptr, nullptr), kManualEnded);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(manualViewer.file, "manual\\b.txt");
    EXPECT_EQ(manualViewer.returnFile, "");
    // A second Escape ends the viewer.
    ClickAt(toB);
    TestInjectKey(VK_ESCAPE);
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(RunManualViewer("manual\\a.txt", 0, nullptr, nullptr, nullptr), kManualEnded);
    EXPECT_FALSE(EndedByQuit());
    EXPECT_EQ(manualViewer.file, "manual\\a.txt");

    // The index button opens the index with the shown text as the way back.
    ClickButton(83);
    EXPECT_EQ(RunManualViewer("manual\\a.txt", 0, nullptr, nullptr, "manual\\index.txt"), kManualEnded);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(manualViewer.file, "manual\\index.txt");
    EXPECT_EQ(manualViewer.returnFile, "manual\\a.txt");
    EXPECT_EQ(textHasIndex, 1);
    // Without an index the button is not there.
    ClickButton(83);
    EXPECT_EQ(RunManualViewer("manual\\a.txt", 0, nullptr, nullptr, nullptr), kManualEnded);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(manualViewer.file, "manual\\a.txt");
    EXPECT_EQ(textHasIndex, 0);

    // A link to a text that is missing says so and leaves the shown one.
    Text("manual/d.txt", "{f \"manual\\none.txt\" nowhere}\n");
    Rect nowhere = LinkRect("manual\\d.txt", 0);
    TestClearShown();
    ClickAt(nowhere);
    RunManualViewer("manual\\d.txt", 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(TestLastMessage(), "Cannot open file manual\\none.txt");
    EXPECT_EQ(manualViewer.file, "manual\\d.txt");
    EXPECT_EQ(manualViewer.returnFile, "");
    EXPECT_EQ(RunManualViewer("manual\\none.txt", 1, nullptr, nullptr, nullptr), kManualFailed);
}

TEST_F(ManualViewerTest, OnlyNinetyNinePagesAndCuesAtBothEnds) {
    // A caption low in the text area ends its page at once: one page per caption.
    std::string text;
    for (int i = 0; i < 150; i++) text += "{bigtext=30,470,\"Page " + std::to_string(i) + "\"}\n";
    Text("manual/long.txt", text);
    int beeps = TestBeepCount();
    TestInjectKey(VK_UP);  // at page 0: refused
    for (int i = 0; i < 120; i++) TestInjectKey(i % 2 ? VK_DOWN : VK_NEXT);
    RunManualViewer("manual\\long.txt", 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(manualViewer.page, 98);
    EXPECT_EQ(manualViewer.pageCount, 99);
    EXPECT_EQ(TestBeepCount() - beeps, 1 + (120 - 98));
    EXPECT_EQ(manualViewer.pageStart[98], text.find("{bigtext=30,470,\"Page 98\"}"));

    // A short text: its page count is fixed once its end is met; the buttons page too.
    Text("manual/short.txt", "{bigtext=30,470,\"One\"}\n{bigtext=30,470,\"Two\"}\nlast line\n");
    beeps = TestBeepCount();
    ClickButton(85);
    ClickButton(85);
    ClickButton(85);  // beyond the end
    ClickButton(84);
    RunManualViewer("manual\\short.txt", 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_EQ(manualViewer.pageCount, 3);
    EXPECT_EQ(manualViewer.page, 1);
    EXPECT_EQ(TestBeepCount() - beeps, 1);
}

TEST_F(ManualViewerTest, FiftyLinksAPageTheLaterReplacingTheLast) {
    // Fourteen links a line keep each line within its 194 characters.
    std::string text;
    char link[32];
    for (int i = 0; i < 51; i++) {
        snprintf(link, sizeof link, "{s \"%02d 00\" %c}", i, 'a' + i % 26);
        text += link;
        if (i % 14 == 13 || i == 50) text += "\n";
    }
    Text("manual/links.txt", text);
    RunManualViewer("manual\\links.txt", 1, nullptr, nullptr, nullptr);
    ASSERT_EQ(manualViewer.shown.nLinks, 50);
    EXPECT_STREQ(manualViewer.shown.links[48].target, "48 00");
    EXPECT_STREQ(manualViewer.shown.links[49].target, "50 00");
    // The lines' links sit on their baselines, one line step apart, from the text's left edge.
    const ManualPage& page = manualViewer.shown;
    EXPECT_EQ(page.links[0].hot.left, page.area.left + 10);
    EXPECT_EQ(page.links[0].hot.bottom, page.area.top + 20);
    EXPECT_EQ(page.links[14].hot.bottom, page.area.top + 20 + page.lineStep);
    EXPECT_EQ(page.links[14].hot.left, page.area.left + 10);
    EXPECT_EQ(page.links[1].hot.left, page.links[0].hot.right);
}

TEST_F(ManualViewerTest, PicturesAndTheLineAfterThemAreDrawnBeyondTheBottom) {
    ASSERT_TRUE(WriteTestFile(root / "manual/pic.bmp", SolidBmp24(300, 200, 0x20C040)));
    std::string text;
    for (int i = 0; i < 3; i++) text += "{bitmap=100,100,\"manual\\pic.bmp\"}\n";
    text += "{s \"01 00\" after the pictures}\n{s \"02 00\" next page}\n";
    Text("manual/pics.txt", text);
    RunManualViewer("manual\\pics.txt", 1, nullptr, nullptr, nullptr);
    ASSERT_EQ(manualViewer.shown.nLinks, 1);
    EXPECT_STREQ(manualViewer.shown.links[0].target, "01 00");
    EXPECT_EQ(manualViewer.pageCount, 99);  // more follows
    // 200 x 133 pixels of the picture, no more.
    EXPECT_EQ(WindowPixel(299, 232), 0x20C040u);
    EXPECT_NE(WindowPixel(300, 150), 0x20C040u);
    EXPECT_NE(WindowPixel(150, 233), 0x20C040u);
}

TEST_F(ManualViewerTest, VideoBoxPlaysItsClipOrIsForgotten) {
    Text("manual/video.txt", "{4}A clip:\n{v \"20,260,180,180\" video\\clip.avi\"}\n");
    TestClearShown();
    RunManualViewer("manual\\video.txt", 1, nullptr, nullptr, nullptr);
    EXPECT_EQ(TestLastMessage(), "Cannot open file video\\clip.avi");
    EXPECT_EQ(manualViewer.shown.hasVideo, 0);
    EXPECT_EQ(manualViewer.video, 0);

    ASSERT_TRUE(WriteTestText(root / "video/clip.avi", "clip"));
    TestClearShown();
    FillRect(WindowSurface(), Rect{0, 0, 800, 600}, MakeColour(255, 255, 255));
    FillRect(hbmVirtual, Rect{0, 0, 800, 600}, MakeColour(255, 255, 255));
    RunManualViewer("manual\\video.txt", 1, nullptr, nullptr, nullptr);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    ASSERT_EQ(manualViewer.shown.hasVideo, 1);
    EXPECT_EQ(Edges(manualViewer.shown.videoBox), Edges(Rect{20, 180, 180, 260}));  // the smaller coordinates first
    EXPECT_EQ(WindowPixel(20, 180), 0u);   // the black frame
    EXPECT_EQ(WindowPixel(179, 259), 0u);
    EXPECT_EQ(WindowPixel(181, 200), 0xFFFFFFu);
    EXPECT_EQ(manualViewer.video, 0);  // drawn only: nothing is left playing
}

TEST_F(ManualViewerTest, SearchStartsAtTheFirstPageAndSaysWhenNothingMatches) {
    Text("manual/s.txt",
         "{bigtext=30,470,\"Zero\"}\nA needle here\n"
         "{bigtext=30,470,\"One\"}\nnothing\n"
         "{bigtext=30,470,\"Two\"}\nanother Needle\n");
    auto typeText = [](const char* text) {
        ClickButton(86);
        for (const char* p = text; *p; p++) TestInjectMessage(MSG_CHAR, (uint8_t)*p, 0);
        TestInjectKey(VK_RETURN);
    };
    // Shown on its last page, where the text is too: the search still starts at page 0.
    for (int i = 0; i < 4; i++) TestInjectKey(VK_DOWN);
    typeText("needle");
    RunManualViewer("manual\\s.txt", 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(EndedByQuit());
    EXPECT_STREQ(manualViewer.search, "NEEDLE");
    EXPECT_EQ(manualViewer.page, 1);  // "A needle here" is the line after page 0's caption
    EXPECT_EQ(manualViewer.shown.matchFound, 1);

    TestClearShown();
    int beeps = TestBeepCount();
    TestInjectKey(VK_DOWN);
    TestInjectKey(VK_DOWN);
    typeText("hay!stack");  // "!" is not taken
    RunManualViewer("manual\\s.txt", 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(EndedByQuit());
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text, "The text 'HAYSTACK' was not found");
    EXPECT_EQ(TestShownMessages()[0].caption, "");
    EXPECT_EQ(TestBeepCount() - beeps, 1);
    EXPECT_EQ(manualViewer.page, 2);  // the page shown before
    EXPECT_STREQ(manualViewer.search, "");
}

TEST_F(ManualViewerTest, SearchEntryTakesItsCharactersAndLength) {
    Rect field{183, 540, 386, 558};
    char buffer[32];
    struct Case {
        const char* typed;
        uint32_t end;
        int result;
        const char* text;
    } cases[] = {
        {"abc 12", VK_RETURN, 1, "ABC 12"},
        {"\xF6\xE9\xDF\xA3\xE7-_.", VK_RETURN, 1, "\xD6\xC9\xDF\xA3\xE7"},
        {"abc", VK_ESCAPE, 0, "abc"},
        {"", VK_RETURN, 0, ""},
        {"0123456789012345678901234567890", VK_RETURN, 1, "0123456789012345678901234"},
    };
    for (const Case& c : cases) {
        for (const char* p = c.typed; *p; p++) TestInjectMessage(MSG_CHAR, (uint8_t)*p, 0);
        TestInjectKey(c.end);
        EXPECT_EQ(EnterSearchText(buffer, 25, field, 1), c.result) << c.typed;
        EXPECT_STREQ(buffer, c.text) << c.typed;
    }
    // Backspace takes the last character and beeps on an empty entry.
    int beeps = TestBeepCount();
    TestInjectKey(VK_BACK);
    for (const char* p = "xyz"; *p; p++) TestInjectMessage(MSG_CHAR, (uint8_t)*p, 0);
    TestInjectKey(VK_BACK);
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(EnterSearchText(buffer, 25, field, 1), 1);
    EXPECT_STREQ(buffer, "XY");
    EXPECT_EQ(TestBeepCount() - beeps, 1);
}

TEST_F(ManualViewerTest, BackdropGreysTheButtonsOfTheScreenUnderneath) {
    // (r + g + b) / 6 for each of red, green and blue.
    uint32_t px[4] = {0xFF5A3C1E, 0xFFFFFFFF, 0xFF010101, 0xFF123456};
    DimPixels(px, 2, 2, 2, Rect{0, 0, 2, 2});
    EXPECT_EQ(px[0], 0xFF1E1E1Eu);  // (90 + 60 + 30) / 6 = 30
    EXPECT_EQ(px[1], 0xFF7F7F7Fu);
    EXPECT_EQ(px[2], 0xFF000000u);
    EXPECT_EQ(px[3], 0xFF1A1A1Au);  // (18 + 52 + 86) / 6 = 26
    // The 640x480 layout: held to 800x600, scaled by 0.8, truncated, held to 640x480.
    EXPECT_EQ(Edges(ManualDimRect(Rect{756, 578, 800, 600}, 1)), Edges(Rect{604, 462, 640, 480}));
    EXPECT_EQ(Edges(ManualDimRect(Rect{-10, 3, 900, 700}, 1)), Edges(Rect{0, 2, 640, 480}));

    // A window of one colour over the 2D map: the tabs and the map's panel go grey, the globe's
    // panel rectangles do not, the title strip comes back from hbmVirtual.
    ASSERT_TRUE(WriteTestFile(root / "menu/textbak.bmp", SolidBmp24(665, 499, 0x102030)));
    ASSERT_TRUE(WriteTestFile(root / "menu/125.bmp", SolidBmp24(216, 96, 0x405060)));
    struct Case {
        int mode, x, y;
        uint32_t expected;
    } cases[] = {
        {3, 300, 10, 0x1E1E1E},   // a tab
        {3, 700, 290, 0x1E1E1E},  // the map's panel
        {5, 700, 290, 0x5A3C1E},  // the same point over the globe is not a button
        {5, 700, 200, 0x1E1E1E},
        {7, 700, 100, 0x1E1E1E},
        {3, 10, 10, 0x000000},    // the title strip, as hbmVirtual keeps it
        {3, 100, 100, 0x102030},  // the text backdrop
        {3, 20, 520, 0x405060},   // the viewer's panel
    };
    for (const Case& c : cases) {
        FillRect(WindowSurface(), Rect{0, 0, 800, 600}, MakeColour(0x5A, 0x3C, 0x1E));
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, 0);
        textHasIndex = 1;
        ASSERT_EQ(PrepareManualBackdrop(c.mode, nullptr), 1);
        EXPECT_EQ(WindowPixel(c.x, c.y), c.expected) << c.mode << " " << c.x << "," << c.y;
        EXPECT_EQ(SurfacePixels(hbmVirtual)[c.y * SurfaceStride(hbmVirtual) + c.x] & 0xFFFFFF, c.expected);
    }
    // Without an index its button is greyed too.
    textHasIndex = 0;
    PrepareManualBackdrop(3, nullptr);
    PanelButton* index = FindPanelButton(83);
    EXPECT_EQ(WindowPixel(index->x + 2, index->y + 2), (uint32_t)((0x40 + 0x50 + 0x60) / 6 * 0x010101));
}

TEST_F(ManualViewerTest, TextAreasOfEachScreen) {
    struct Case {
        int small, mode;
        Rect area;
    } cases[] = {
        {0, 6, {16, 39, 681, 506}},     {1, 6, {12, 31, 544, 404}},    {0, 12, {41, 60, 632, 473}},
        {1, 12, {32, 48, 505, 378}},    {0, 9, {36, 240, 764, 540}},   {1, 11, {28, 192, 611, 432}},
    };
    for (const Case& c : cases) {
        window.Close();
        window.Open(c.small);
        EXPECT_EQ(Edges(ManualTextArea(c.mode)), Edges(c.area)) << c.small << " " << c.mode;
    }
}

}  // namespace
