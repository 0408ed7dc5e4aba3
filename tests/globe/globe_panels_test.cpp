// The globe screen's two panels driven by injected input: the data-type chooser (entries,
// previews, looks, confirm and cancel) and the ocean-level slider (level arithmetic, dragging,
// typed levels, the flood state while open and after), both in the two layouts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "core/panel_layout.h"
#include "globe/globe.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

const ColourRef kUnder = MakeColour(10, 20, 30);
const uint32_t kPanel = 0x808080, kMarked = 0x0000C0, kHover = 0x00C000, kPressed = 0xC00000;

ColourRef Rgb(uint32_t rgb) { return MakeColour((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }
uint32_t PreviewRgb(int entry) { return ((uint32_t)(20 * (entry + 1)) << 16) | 0x00C828; }

// A scale from black at index 0 to (249, 249, 0) at the top: colour k is (k / 40, k / 40, 0).
std::vector<uint8_t> Ramp() {
    std::vector<uint8_t> bytes(8 + 3 * kScaleColours);
    for (int k = 0; k < kScaleColours; k++) bytes[8 + 3 * k] = bytes[9 + 3 * k] = (uint8_t)(k / 40);
    return bytes;
}

std::vector<uint8_t> ShortWave() {
    return {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
            0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 0, 0, 0, 0};
}

// What the window showed, and the flood state, each time a paint message reached the window
// while a panel was open.
struct Snapshot {
    int floodMode, floodLevel;
    std::vector<ColourRef> pixels;
};
std::vector<Point> probes;
std::vector<Snapshot> snapshots;
int repaintFromVirtual;  // after the snapshot, repaint as the shell does: hbmVirtual over all

int64_t RecordingWindowProc(uint32_t kind, uint64_t, int64_t, const Message&) {
    if (kind != MSG_PAINT) return 0;
    Snapshot s{globeView.floodMode, globeView.floodLevel, {}};
    for (const Point& p : probes) s.pixels.push_back(GetPixel(WindowSurface(), p.x, p.y));
    snapshots.push_back(s);
    if (repaintFromVirtual) Blit(WindowSurface(), 0, 0, 800, 600, hbmVirtual, 0, 0);
    return 0;
}

struct GlobePanelsScreen : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Surface* savedVirtual = nullptr;
    OptionsRecord savedOptions;
    GammaTable savedGamma;
    GlobeView savedView;
    uint32_t savedImperial;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        savedOptions = options;
        savedGamma = gammaTable;
        savedView = globeView;
        savedImperial = imperialUnits;
        options.soundsOn = 1;
        gammaTable.enabled = 0;
        imperialUnits = 0;
        smallLayout = 0;
        SetLayoutRectangles();
        screenMode = 5;
        WriteLooks("", "68", kDataChooserW, kDataChooserH);
        WriteLooks("", "124", kOceanSliderW, kOceanSliderH);
        WritePreviews("", 107, 85);
        ASSERT_TRUE(WriteTestFile(folder / "scales/ian1.sca", Ramp()));
        ASSERT_TRUE(WriteTestFile(folder / "slide2.wav", ShortWave()));
        ASSERT_TRUE(WriteTestFile(folder / "error.wav", ShortWave()));
        ReadScaleList();
        ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, RecordingWindowProc));
        savedVirtual = hbmVirtual;
        hbmVirtual = CreateSurface(800, 600);
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, kUnder);
        Blit(WindowSurface(), 0, 0, 800, 600, hbmVirtual, 0, 0);
        FlushMessages(0, 0xFFFF);
        TestClearShown();
        TestClearSounds();
        probes.clear();
        snapshots.clear();
        repaintFromVirtual = 0;
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFF);
        repaintFromVirtual = 0;
        DestroyMainWindow();
        DeleteSurface(hbmVirtual);
        hbmVirtual = savedVirtual;
        options = savedOptions;
        gammaTable = savedGamma;
        globeView = savedView;
        imperialUnits = savedImperial;
        smallLayout = 0;
        SetLayoutRectangles();
        screenMode = 0;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        ReadScaleList();
    }
    // The four looks of a panel, each one colour, under "menu\" or "640\menu\".
    void WriteLooks(const std::string& set, const std::string& number, int w, int h) {
        const char* suffix[4] = {"", "m", "r", "h"};
        const uint32_t colour[4] = {kPanel, kMarked, kHover, kPressed};
        for (int i = 0; i < 4; i++)
            ASSERT_TRUE(WriteTestFile(folder / (set + "menu/" + number + suffix[i] + ".bmp"), SolidBmp24(w, h, colour[i])));
    }
    // "menu\71a.bmp" .. "menu\71h.bmp", each its own colour.
    void WritePreviews(const std::string& set, int w, int h) {
        for (int i = 0; i < 8; i++) {
            std::string name = set + "menu/71" + std::string(1, (char)('a' + i)) + ".bmp";
            ASSERT_TRUE(WriteTestFile(folder / name, SolidBmp24(w, h, PreviewRgb(i))));
        }
    }
    void Paint() { TestInjectMessage(MSG_PAINT, 0, 0); }
    void Mouse(uint32_t kind, Point p, uint64_t buttons = 0) { TestInjectMessage(kind, buttons, MakeMouseParam(p.x, p.y)); }
    void Type(const char* text) {
        for (const char* c = text; *c; c++) TestInjectMessage(MSG_CHAR, (uint8_t)*c, 0);
    }
    // A point inside area a of the panel at `at`, in the current layout.
    static Point Inside(const PanelRect& a, Point at, int dx = 0, int dy = 0) {
        Rect r = LayoutArea(a, smallLayout);
        return Point{at.x + (dx ? r.left + dx : (r.left + r.right) / 2), at.y + (dy ? r.top + dy : (r.top + r.bottom) / 2)};
    }
    int Restored(Point at, int w, int h) {
        for (int y = at.y; y < at.y + h; y += 5)
            for (int x = at.x; x < at.x + w; x += 5)
                if (GetPixel(WindowSurface(), x, y) != kUnder) return 0;
        return GetPixel(WindowSurface(), at.x + w - 1, at.y + h - 1) == kUnder;
    }
    int SlideCues() {
        int n = 0;
        for (const std::string& s : TestPlayedSounds()) n += s.find("slide2.wav") != std::string::npos;
        return n;
    }
    int ErrorCues() {
        int n = 0;
        for (const std::string& s : TestPlayedSounds()) n += s.find("error.wav") != std::string::npos;
        return n;
    }
    int QuitLeftForCaller() {
        Message m;
        while (PeekMessage(&m, 1))
            if (m.kind == MSG_QUIT) return 1;
        return 0;
    }
};

const Point kAt{546, 45};
const Point kSmallAt{408, 36};

}  // namespace

// [SECTION] The data-type chooser

using GlobePanelsChooser = GlobePanelsScreen;

TEST_F(GlobePanelsChooser, ClickingARowHighlightsItAndTheConfirmAreaTakesIt) {
    probes = {Inside(kDataChooserRows[3], kAt, 3), Inside(kDataChooserRows[0], kAt, 3), Inside(kDataChooserPreview, kAt),
              Inside(kDataChooserConfirm, kAt, 2)};
    Paint();
    Mouse(MSG_MOUSEMOVE, Inside(kDataChooserRows[3], kAt));
    Mouse(MSG_LBUTTONDOWN, Inside(kDataChooserRows[3], kAt), MK_LBUTTON);
    Mouse(MSG_LBUTTONUP, Inside(kDataChooserRows[3], kAt));
    Mouse(MSG_MOUSEMOVE, Point{300, 300});
    Paint();
    TestInjectClick(Inside(kDataChooserConfirm, kAt).x, Inside(kDataChooserConfirm, kAt).y);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), kEntryLandVegetation);

    ASSERT_EQ(snapshots.size(), 2u);
    // On opening the current entry is marked and previewed.
    EXPECT_EQ(snapshots[0].pixels[0], Rgb(kPanel));
    EXPECT_EQ(snapshots[0].pixels[1], Rgb(kMarked));
    EXPECT_EQ(snapshots[0].pixels[2], Rgb(PreviewRgb(0)));
    EXPECT_EQ(snapshots[0].pixels[3], Rgb(kPanel));
    // After the click the mark and the preview have moved to the row clicked.
    EXPECT_EQ(snapshots[1].pixels[0], Rgb(kMarked));
    EXPECT_EQ(snapshots[1].pixels[1], Rgb(kPanel));
    EXPECT_EQ(snapshots[1].pixels[2], Rgb(PreviewRgb(3)));
    EXPECT_EQ(SlideCues(), 2);
    EXPECT_TRUE(Restored(kAt, kDataChooserW, kDataChooserH));
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobePanelsChooser, KeysConfirmOrCancelAndOnlyAChangeCounts) {
    struct Case {
        int current, clickRow;
        uint32_t key;
        int expected;
    } cases[] = {
        {kEntryImagery, 5, VK_RETURN, kEntrySunshine},
        {kEntryTemperature, 0, VK_RETURN, kEntryImagery},
        {kEntryRelief, 2, VK_ESCAPE, -1},        // a highlighted entry is not taken by Escape
        {kEntryElevation, -1, VK_RETURN, -1},    // the current entry confirmed
        {kEntryOceanVegetation, 4, VK_RETURN, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        TestClearSounds();
        if (c.clickRow >= 0) {
            Point p = Inside(kDataChooserRows[c.clickRow], kAt);
            TestInjectClick(p.x, p.y);
        }
        TestInjectKey(c.key);
        EXPECT_EQ(GlobeDataChooser(c.current), c.expected);
        EXPECT_EQ(SlideCues(), 2);
        EXPECT_TRUE(Restored(kAt, kDataChooserW, kDataChooserH));
        FlushMessages(0, 0xFFFF);
    }
}

TEST_F(GlobePanelsChooser, HoverAndPressedLooksAndAClickThatSlidesOff) {
    Point row6 = Inside(kDataChooserRows[6], kAt);
    probes = {Inside(kDataChooserRows[6], kAt, 3), Inside(kDataChooserRows[2], kAt, 3), Inside(kDataChooserPreview, kAt)};
    Mouse(MSG_MOUSEMOVE, row6);
    Paint();
    Mouse(MSG_LBUTTONDOWN, row6, MK_LBUTTON);
    Paint();
    // Released outside the row: no choice.
    Mouse(MSG_MOUSEMOVE, Point{300, 300}, MK_LBUTTON);
    Mouse(MSG_LBUTTONUP, Point{300, 300});
    Paint();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryElevation), -1);
    ASSERT_EQ(snapshots.size(), 3u);
    EXPECT_EQ(snapshots[0].pixels[0], Rgb(kHover));
    EXPECT_EQ(snapshots[0].pixels[1], Rgb(kMarked));
    EXPECT_EQ(snapshots[1].pixels[0], Rgb(kPressed));
    EXPECT_EQ(snapshots[2].pixels[0], Rgb(kPanel));
    EXPECT_EQ(snapshots[2].pixels[1], Rgb(kMarked));
    EXPECT_EQ(snapshots[2].pixels[2], Rgb(PreviewRgb(2)));
}

TEST_F(GlobePanelsChooser, AfterTheWindowRepaintsTheGlobeAndThePanelComeBack) {
    ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
    repaintFromVirtual = 1;
    probes = {Point{mapRect.left + 4, mapRect.top + 4}, Inside(kDataChooserRows[1], kAt, 3)};
    Paint();
    Paint();
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(GlobeDataChooser(kEntryRelief), -1);
    ReleaseGlobeBuffers();
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_NE(snapshots[1].pixels[0], kUnder);
    EXPECT_EQ(snapshots[1].pixels[1], Rgb(kMarked));
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobePanelsChooser, MissingPreviewIsReportedAndTheEntryStillChosen) {
    RemoveFile((folder / "menu/71c.bmp").c_str());
    probes = {Inside(kDataChooserPreview, kAt)};
    Point row2 = Inside(kDataChooserRows[2], kAt);
    TestInjectClick(row2.x, row2.y);
    Paint();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), kEntryElevation);
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text, "Cannot open file menu\\71c.bmp");
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].pixels[0], Rgb(kPanel));  // not the previous entry's preview
}

TEST_F(GlobePanelsChooser, MissingLookOpensNothing) {
    RemoveFile((folder / "menu/68r.bmp").c_str());
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), -1);
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\68r.bmp");
    EXPECT_TRUE(TestPlayedSounds().empty());
    EXPECT_TRUE(Restored(kAt, kDataChooserW, kDataChooserH));
}

TEST_F(GlobePanelsChooser, AQuitClosesItAndIsLeftForTheScreen) {
    Point row1 = Inside(kDataChooserRows[1], kAt);
    TestInjectClick(row1.x, row1.y);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), -1);  // the queue runs dry: a quit
    EXPECT_TRUE(QuitLeftForCaller());
    EXPECT_EQ(SlideCues(), 2);
}

TEST_F(GlobePanelsChooser, SmallLayoutScalesThePanelAndItsAreas) {
    WriteLooks("640/", "68", 115, 206);
    WritePreviews("640/", 85, 68);
    smallLayout = 1;
    SetLayoutRectangles();
    probes = {Inside(kDataChooserRows[7], kSmallAt, 2), Inside(kDataChooserPreview, kSmallAt, 0, 66),
              Point{kSmallAt.x + 116, kSmallAt.y + 10}};
    Point row7 = Inside(kDataChooserRows[7], kSmallAt);
    TestInjectClick(row7.x, row7.y);
    Mouse(MSG_MOUSEMOVE, Point{100, 100});
    Paint();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryRelief), kEntryTemperature);
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].pixels[0], Rgb(kMarked));
    EXPECT_EQ(snapshots[0].pixels[1], Rgb(PreviewRgb(7)));  // row 66 of the scaled preview place
    EXPECT_EQ(snapshots[0].pixels[2], kUnder);              // nothing right of the 115-pixel panel
    EXPECT_TRUE(Restored(kSmallAt, 115, 206));
}

// [SECTION] Ocean level arithmetic

TEST(GlobePanelsArithmetic, TrackFractionAndFloodLevel) {
    struct {
        int y;
        double fraction;
    } rows[] = {{223, 0}, {73, 1}, {148, 0.5}, {222, 1.0 / 150}, {400, 0}, {0, 1}};
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(OceanTrackFraction(r.y, 73, 223), r.fraction) << r.y;
    EXPECT_EQ(OceanTrackFraction(50, 60, 60), 0);

    struct {
        double f;
        int level;
    } levels[] = {{0, 0}, {0.5, 128}, {1, 255}, {0.999, 255}, {0.0039, 0}, {0.00391, 1}, {-0.1, 0}, {254.5 / 256, 254}};
    for (const auto& l : levels) EXPECT_EQ(FloodLevelForFraction(l.f), l.level) << l.f;
}

TEST(GlobePanelsArithmetic, ReadoutInMetresOrFeet) {
    EXPECT_EQ(OceanLevelText(0, 0), "0 m");
    EXPECT_EQ(OceanLevelText(0.5, 0), "4424 m");
    EXPECT_EQ(OceanLevelText(1, 0), "8848 m");
    EXPECT_EQ(OceanLevelText(0.5, 1), "14514 ft");  // 4424 m is 14514.4 ft
    EXPECT_EQ(OceanLevelText(1, 1), "29029 ft");    // 29028.9
    EXPECT_EQ(OceanLevelText(1.0 / 150, 0), "59 m");
}

TEST(GlobePanelsArithmetic, TypedLevels) {
    struct {
        const char* text;
        int imperial, ok, typed, metres, level;
    } cases[] = {
        {"", 0, 0, 0, 0, 0},           {"-", 0, 0, 0, 0, 0},          {"12a", 0, 0, 0, 0, 0},
        {" 5", 0, 0, 0, 0, 0},         {"--5", 0, 0, 0, 0, 0},        {"5-", 0, 0, 0, 0, 0},
        {"1000", 0, 1, 1000, 1000, 28}, {"1000", 1, 1, 1000, 304, 8}, {"007", 0, 1, 7, 7, 0},
        {"4424", 0, 1, 4424, 4424, 128}, {"8848", 0, 1, 8848, 8848, 255}, {"8813", 0, 1, 8813, 8813, 254},
        {"35", 0, 1, 35, 35, 1},       {"34", 0, 1, 34, 34, 0},       {"-100", 0, 1, -100, -100, 0},
        {"-32001", 0, 1, -32000, -32000, 0}, {"999999", 0, 1, 32000, 32000, 255},
        {"99999999999999999999", 1, 1, 32000, 9753, 255}, {"-40000", 1, 1, -32000, -9753, 0},
        {"3", 1, 1, 3, 0, 0},          {"-3", 1, 1, -3, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.imperial ? " ft" : " m"));
        int typed = -1, metres = -1;
        EXPECT_EQ(TypedOceanLevel(c.text, c.imperial, &typed, &metres), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(typed, c.typed);
        EXPECT_EQ(metres, c.metres);
        EXPECT_EQ(FloodLevelForMetres(metres), c.level);
    }
}

// [SECTION] The ocean-level slider

struct GlobePanelsSlider : GlobePanelsScreen {
    Rect track{};  // window pixels
    void SetUp() override {
        GlobePanelsScreen::SetUp();
        globeView.imageType = kGlobeElevation;
        globeView.overlay = kOverlayNone;
        globeView.centreLongitude = 0;
        globeView.floodMode = 0;
        globeView.floodLevel = 0;
        ReleaseGlobeBuffers();
        ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
        Rect t = LayoutArea(kOceanSliderTrack, smallLayout);
        track = Rect{kAt.x + t.left, kAt.y + t.top, kAt.x + t.right, kAt.y + t.bottom};
    }
    void TearDown() override {
        ReleaseGlobeBuffers();
        GlobePanelsScreen::TearDown();
    }
    Point OnTrack(int y) const { return Point{(track.left + track.right) / 2, y}; }
};

TEST_F(GlobePanelsSlider, OpensOnAnUnfloodedGlobeAndEscapeUndoesTheFlood) {
    probes = {Point{mapRect.left + 4, mapRect.top + 4}, Inside(kOceanSliderConfirm, kAt, 2), Point{kAt.x + 3, kAt.y + 3}};
    globeView.floodLevel = 77;  // left over: opening starts from nothing flooded
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].floodMode, 1);
    EXPECT_EQ(snapshots[0].floodLevel, 0);
    EXPECT_NE(snapshots[0].pixels[0], kUnder);  // the globe was drawn over the map area
    EXPECT_EQ(snapshots[0].pixels[1], Rgb(kPanel));
    EXPECT_EQ(snapshots[0].pixels[2], Rgb(kPanel));  // the frame did not cover the panel
    EXPECT_EQ(globeView.floodMode, 0);
    EXPECT_EQ(globeView.floodLevel, 0);
    EXPECT_EQ(SlideCues(), 2);
    EXPECT_TRUE(Restored(kAt, kOceanSliderW, kOceanSliderH));
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_FALSE(QuitLeftForCaller());
}

TEST_F(GlobePanelsSlider, AfterTheWindowRepaintsTheFloodAndThePanelComeBack) {
    repaintFromVirtual = 1;
    probes = {Point{mapRect.left + 4, mapRect.top + 4}, Point{kAt.x + 3, kAt.y + 3}};
    Paint();
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_NE(snapshots[1].pixels[0], kUnder);
    EXPECT_EQ(snapshots[1].pixels[1], Rgb(kPanel));
}

TEST_F(GlobePanelsSlider, DraggingTheThumbFloodsByTheFractionBelowIt) {
    const int x = (track.left + track.right) / 2;
    // The thumb's middle row for a fraction f sits at bottom - 1 - round(f * 149).
    probes = {Point{x, 100}, Point{track.left, track.top}, Point{track.left, track.bottom - 1}, Point{x, track.bottom - 1}};
    Mouse(MSG_LBUTTONDOWN, OnTrack(148), MK_LBUTTON);  // half way: 128
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(100), MK_LBUTTON);  // 123 of 150 rows below: trunc(209.9)
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(5), MK_LBUTTON);  // above the track: the top
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(590), MK_LBUTTON);  // below it: nothing
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(100), MK_LBUTTON);
    Mouse(MSG_LBUTTONUP, OnTrack(100));
    Mouse(MSG_MOUSEMOVE, OnTrack(200));  // released: moves no longer drag
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(180), MK_LBUTTON);  // held down outside, never pressed on the track
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();

    ASSERT_EQ(snapshots.size(), 6u);
    const int expected[6] = {128, 209, 255, 0, 209, 209};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(snapshots[(size_t)i].floodMode, 1) << i;
        EXPECT_EQ(snapshots[(size_t)i].floodLevel, expected[i]) << i;
    }
    const ColourRef thumb = MakeColour(236, 236, 236);
    EXPECT_EQ(snapshots[1].pixels[0], thumb);
    EXPECT_NE(snapshots[0].pixels[0], thumb);
    // The track: the high end at the top, the floored low end at the bottom (index 492).
    EXPECT_EQ(snapshots[1].pixels[1], MakeColour(249, 249, 0));
    EXPECT_EQ(snapshots[1].pixels[2], MakeColour(12, 12, 0));
    EXPECT_EQ(snapshots[3].pixels[3], thumb);  // at the bottom with nothing flooded
    EXPECT_EQ(globeView.floodLevel, 0);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobePanelsSlider, TypedLevelsApplyWithEnterOrTheConfirmArea) {
    struct Step {
        const char* keys;  // characters typed; '<' is Backspace
        int confirmArea;   // 1: a click on the confirm area instead of Enter
        int level;
    } steps[] = {
        {"1000", 0, 28},  {"500<00", 0, 144}, {"-5", 1, 0},   {"1234567", 0, 255},  // six digits at most
        {"-", 0, 255},    {"<", 1, 255},      {"5-", 0, 0},   {"4424", 1, 128},  // a lone minus is kept
    };
    Point confirm = Inside(kOceanSliderConfirm, kAt);
    for (const Step& s : steps) {
        for (const char* c = s.keys; *c; c++) {
            if (*c == '<')
                TestInjectKey(VK_BACK);
            else
                TestInjectMessage(MSG_CHAR, (uint8_t)*c, 0);
        }
        if (s.confirmArea)
            TestInjectClick(confirm.x, confirm.y);
        else
            TestInjectKey(VK_RETURN);
        Paint();
    }
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 8u);
    for (size_t i = 0; i < 8; i++) EXPECT_EQ(snapshots[i].floodLevel, steps[i].level) << steps[i].keys;
    EXPECT_EQ(ErrorCues(), 2);  // the lone minus, then the field emptied by Backspace
    EXPECT_EQ(SlideCues(), 2);
    EXPECT_EQ(globeView.floodLevel, 0);
}

TEST_F(GlobePanelsSlider, ImperialLevelsAreTypedInFeet) {
    imperialUnits = 1;
    const char* typed[] = {"1000", "29029", "32000", "-40000"};
    for (const char* t : typed) {
        Type(t);
        TestInjectKey(VK_RETURN);
        Paint();
    }
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 4u);
    EXPECT_EQ(snapshots[0].floodLevel, 8);    // 304 m
    EXPECT_EQ(snapshots[1].floodLevel, 255);  // 8848 m
    EXPECT_EQ(snapshots[2].floodLevel, 255);  // 9753 m, beyond the top
    EXPECT_EQ(snapshots[3].floodLevel, 0);
    EXPECT_EQ(ErrorCues(), 0);
}

TEST_F(GlobePanelsSlider, HoverPressedAndTypedLooks) {
    Point confirm = Inside(kOceanSliderConfirm, kAt);
    probes = {Inside(kOceanSliderConfirm, kAt, 2, 2), Inside(kOceanSliderEntry, kAt, 1, 1)};
    Mouse(MSG_MOUSEMOVE, confirm);
    Paint();
    Mouse(MSG_LBUTTONDOWN, confirm, MK_LBUTTON);
    Paint();
    Mouse(MSG_MOUSEMOVE, Point{300, 300}, MK_LBUTTON);
    Mouse(MSG_LBUTTONUP, Point{300, 300});  // released elsewhere: nothing applied
    Type("7");
    Paint();
    Mouse(MSG_MOUSEMOVE, Inside(kOceanSliderEntry, kAt));
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 4u);
    EXPECT_EQ(snapshots[0].pixels[0], Rgb(kHover));
    EXPECT_EQ(snapshots[1].pixels[0], Rgb(kPressed));
    EXPECT_EQ(snapshots[2].pixels[0], Rgb(kPanel));
    EXPECT_EQ(snapshots[2].pixels[1], Rgb(kMarked));  // a typed level waits in the field
    EXPECT_EQ(snapshots[3].pixels[1], Rgb(kHover));
    EXPECT_EQ(ErrorCues(), 0);
    EXPECT_EQ(snapshots[3].floodLevel, 0);
}

TEST_F(GlobePanelsSlider, TrackColoursPassThroughTheGammaTable) {
    for (int v = 0; v < 256; v++) gammaTable.entry[v] = (uint8_t)(255 - v);
    gammaTable.enabled = 1;
    probes = {Point{track.left, track.top}, Point{track.right - 1, track.bottom - 1}};
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].pixels[0], MakeColour(6, 6, 255));
    EXPECT_EQ(snapshots[0].pixels[1], MakeColour(243, 243, 255));
}

TEST_F(GlobePanelsSlider, AQuitClosesItAndIsLeftForTheScreen) {
    Type("300");
    TestInjectKey(VK_RETURN);
    OceanLevelSlider();
    EXPECT_TRUE(QuitLeftForCaller());
    EXPECT_EQ(globeView.floodMode, 0);
    EXPECT_EQ(globeView.floodLevel, 0);
    EXPECT_EQ(SlideCues(), 2);
    EXPECT_TRUE(Restored(kAt, kOceanSliderW, kOceanSliderH));
}

TEST_F(GlobePanelsSlider, WithoutAFrameOrItsPicturesNothingOpens) {
    RemoveFile((folder / "menu/124h.bmp").c_str());
    OceanLevelSlider();
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\124h.bmp");
    ASSERT_TRUE(WriteTestFile(folder / "menu/124h.bmp", SolidBmp24(kOceanSliderW, kOceanSliderH, kPressed)));
    ReleaseGlobeBuffers();
    TestClearShown();
    OceanLevelSlider();
    EXPECT_EQ(TestLastMessage(), "rotationFilter[] not allocated yet");
    EXPECT_TRUE(TestPlayedSounds().empty());
    EXPECT_EQ(globeView.floodMode, 0);
    EXPECT_TRUE(Restored(kAt, kOceanSliderW, kOceanSliderH));
}

// Imagery and overlays keep other things in the layers: the heights and the elevation palette
// are loaded before anything is flooded, and a missing layer file stops the slider there.
TEST_F(GlobePanelsSlider, OtherImageTypesLoadTheElevationLayersFirst) {
    globeView.imageType = kGlobeImagery;
    OceanLevelSlider();
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text.rfind("Cannot open file ", 0), 0u);
    EXPECT_NE(TestShownMessages()[0].text.find("2160"), std::string::npos);
    EXPECT_TRUE(TestPlayedSounds().empty());

    std::vector<uint8_t> layer((size_t)kGlobeLayerBytes, 1);
    ASSERT_TRUE(WriteTestFile(folder / "globe/2160.sha", layer));
    ASSERT_TRUE(WriteTestFile(folder / "globe/2160.hts", layer));
    TestClearShown();
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].floodMode, 1);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(SlideCues(), 2);
}

TEST_F(GlobePanelsSlider, SmallLayoutPlacesAndScalesThePanel) {
    WriteLooks("640/", "124", 115, 154);
    ReleaseGlobeBuffers();
    smallLayout = 1;
    SetLayoutRectangles();
    ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
    Rect t = LayoutArea(kOceanSliderTrack, 1);  // 11, 22 .. 27, 142
    EXPECT_EQ(t.left, 11);
    EXPECT_EQ(t.bottom, 142);
    int x = kSmallAt.x + (t.left + t.right) / 2;
    probes = {Point{kSmallAt.x + 120, kSmallAt.y + 10}, Point{kSmallAt.x + t.left, kSmallAt.y + t.top}};
    Mouse(MSG_LBUTTONDOWN, Point{x, kSmallAt.y + 82}, MK_LBUTTON);  // 60 of 120 rows below
    Mouse(MSG_LBUTTONUP, Point{x, kSmallAt.y + 82});
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].floodLevel, 128);
    EXPECT_NE(snapshots[0].pixels[0], Rgb(kPanel));  // nothing of the panel right of 115 pixels
    EXPECT_EQ(snapshots[0].pixels[1], MakeColour(249, 249, 0));
    EXPECT_TRUE(Restored(kSmallAt, 115, 154));
}
