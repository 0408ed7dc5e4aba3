// The globe screen's data-type chooser and ocean-level slider, driven by injected input.
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
#include "globe_test_support.h"
#include "support/test_volume.h"

namespace {

const ColourRef kUnder = MakeColour(10, 20, 30);
const uint32_t kLookRgb[4] = {0x808080, 0x0000C0, 0x00C000, 0xC00000};  // normal, marked, hover, pressed
const Point kAt{546, 45}, kSmallAt{408, 36};

ColourRef Rgb(uint32_t rgb) { return MakeColour((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }
ColourRef Look(int i) { return Rgb(kLookRgb[i]); }
uint32_t PreviewRgb(int entry) { return ((uint32_t)(20 * (entry + 1)) << 16) | 0x00C828; }

// Colour k of this scale is (k / 40, k / 40, 0): (249, 249, 0) at the top.
std::vector<uint8_t> Ramp() {
    std::vector<uint8_t> bytes(8 + 3 * kScaleColours);
    for (int k = 0; k < kScaleColours; k++) bytes[8 + 3 * k] = bytes[9 + 3 * k] = (uint8_t)(k / 40);
    return bytes;
}

// Each paint that reaches the window while a panel is open records the flood state and the
// probed pixels, then repaints as the shell does: hbmVirtual over everything.
struct Snapshot {
    int floodMode, floodLevel;
    std::vector<ColourRef> pixels;
};
std::vector<Point> probes;
std::vector<Snapshot> snapshots;

int64_t RecordingWindowProc(uint32_t kind, uint64_t, int64_t, const Message&) {
    if (kind != MSG_PAINT) return 0;
    Snapshot s{globeView.floodMode, globeView.floodLevel, {}};
    for (const Point& p : probes) s.pixels.push_back(GetPixel(WindowSurface(), p.x, p.y));
    snapshots.push_back(s);
    Blit(WindowSurface(), 0, 0, 800, 600, hbmVirtual, 0, 0);
    return 0;
}

struct GlobePanelsScreen : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Surface* savedVirtual = nullptr;
    OptionsRecord savedOptions;
    GlobeView savedView;
    GammaTable savedGamma;
    uint32_t savedImperial;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        savedOptions = options;
        savedView = globeView;
        savedGamma = gammaTable;
        savedImperial = imperialUnits;
        options.soundsOn = 1;
        gammaTable.enabled = 0;
        imperialUnits = 0;
        smallLayout = 0;
        SetLayoutRectangles();
        screenMode = 5;
        WritePictures("", 1);
        ASSERT_TRUE(WriteTestFile(folder / "scales/ian1.sca", Ramp()));
        ASSERT_TRUE(WriteTestFile(folder / "slide2.wav", SilentWave()));
        ASSERT_TRUE(WriteTestFile(folder / "error.wav", SilentWave()));
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
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFF);
        DestroyMainWindow();
        DeleteSurface(hbmVirtual);
        hbmVirtual = savedVirtual;
        options = savedOptions;
        globeView = savedView;
        gammaTable = savedGamma;
        imperialUnits = savedImperial;
        smallLayout = 0;
        SetLayoutRectangles();
        screenMode = 0;
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        ReadScaleList();
    }
    // The four looks of both panels, each one colour, and the eight previews, under "menu\" or
    // "640\menu\" at the sizes of that set.
    void WritePictures(const std::string& set, int full) {
        const char* suffix[4] = {"", "m", "r", "h"};
        auto write = [&](std::string name, int w, int h, uint32_t rgb) {
            ASSERT_TRUE(WriteTestFile(folder / (set + "menu/" + name + ".bmp"), SolidBmp24(w, h, rgb)));
        };
        for (int i = 0; i < 4; i++) {
            write(std::string("68") + suffix[i], full ? 144 : 115, full ? 258 : 206, kLookRgb[i]);
            write(std::string("124") + suffix[i], full ? 144 : 115, full ? 193 : 154, kLookRgb[i]);
        }
        for (int i = 0; i < 8; i++) write("71" + std::string(1, (char)('a' + i)), full ? 107 : 85, full ? 85 : 68, PreviewRgb(i));
    }
    static void Paint() { TestInjectMessage(MSG_PAINT, 0, 0); }
    static void Mouse(uint32_t kind, Point p, uint64_t buttons = 0) {
        TestInjectMessage(kind, buttons, MakeMouseParam(p.x, p.y));
    }
    static void Click(Point p) { TestInjectClick(p.x, p.y); }
    // A point of area a of the panel at `at`: dx pixels in from its left (its middle for 0).
    static Point Inside(const PanelRect& a, Point at, int dx = 0) {
        Rect r = LayoutArea(a, smallLayout);
        return Point{at.x + (dx ? r.left + dx : (r.left + r.right) / 2), at.y + (r.top + r.bottom) / 2};
    }
    static int Restored(Point at, int w, int h) {
        for (int y = at.y; y < at.y + h; y += 3)
            for (int x = at.x; x < at.x + w; x += 3)
                if (GetPixel(WindowSurface(), x, y) != kUnder) return 0;
        return GetPixel(WindowSurface(), at.x + w - 1, at.y + h - 1) == kUnder;
    }
    static int Cues(const char* wave) {
        int n = 0;
        for (const std::string& s : TestPlayedSounds()) n += s.find(wave) != std::string::npos;
        return n;
    }
    static int QuitLeftForCaller() {
        Message m;
        while (PeekMessage(&m, 1))
            if (m.kind == MSG_QUIT) return 1;
        return 0;
    }
};

}  // namespace

// [SECTION] The data-type chooser

using GlobePanelsChooser = GlobePanelsScreen;

TEST_F(GlobePanelsChooser, ARowClickedMovesMarkAndPreviewAndTheConfirmAreaTakesIt) {
    probes = {Inside(kDataChooserRows[3], kAt, 3), Inside(kDataChooserRows[0], kAt, 3), Inside(kDataChooserPreview, kAt),
              Inside(kDataChooserConfirm, kAt, 2)};
    Paint();
    Click(Inside(kDataChooserRows[3], kAt));
    Paint();  // still under the pointer
    Mouse(MSG_MOUSEMOVE, Point{300, 300});
    Paint();
    Mouse(MSG_LBUTTONDOWN, Inside(kDataChooserConfirm, kAt), MK_LBUTTON);
    Paint();
    Mouse(MSG_LBUTTONUP, Inside(kDataChooserConfirm, kAt));
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), kEntryLandVegetation);

    ASSERT_EQ(snapshots.size(), 4u);
    const ColourRef expected[4][4] = {
        {Look(0), Look(1), Rgb(PreviewRgb(0)), Look(0)},  // on opening the current entry is marked
        {Look(2), Look(0), Rgb(PreviewRgb(3)), Look(0)},
        {Look(1), Look(0), Rgb(PreviewRgb(3)), Look(0)},
        {Look(1), Look(0), Rgb(PreviewRgb(3)), Look(3)},
    };
    for (size_t i = 0; i < 4; i++)
        for (size_t p = 0; p < 4; p++) EXPECT_EQ(snapshots[i].pixels[p], expected[i][p]) << i << " " << p;
    EXPECT_EQ(Cues("slide2.wav"), 2);
    EXPECT_TRUE(Restored(kAt, kDataChooserW, kDataChooserH));
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobePanelsChooser, OnlyAnotherEntryConfirmedCounts) {
    struct Case {
        int current, clickRow;
        uint32_t key;
        int expected;
    } cases[] = {
        {kEntryImagery, 5, VK_RETURN, kEntrySunshine},
        {kEntryTemperature, 0, VK_RETURN, kEntryImagery},
        {kEntryRelief, 2, VK_ESCAPE, -1},
        {kEntryElevation, -1, VK_RETURN, -1},
        {kEntryOceanVegetation, 4, VK_RETURN, -1},
        {kEntryRelief, 6, 0, -1},  // the queue runs dry: a quit, which the screen must still see
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        TestClearSounds();
        if (c.clickRow >= 0) Click(Inside(kDataChooserRows[c.clickRow], kAt));
        if (c.key) TestInjectKey(c.key);
        EXPECT_EQ(GlobeDataChooser(c.current), c.expected);
        EXPECT_EQ(Cues("slide2.wav"), 2);
        EXPECT_TRUE(Restored(kAt, kDataChooserW, kDataChooserH));
        EXPECT_EQ(QuitLeftForCaller(), c.key == 0);
    }
}

TEST_F(GlobePanelsChooser, MissingPicturesAreReported) {
    RemoveFile((folder / "menu/71c.bmp").c_str());
    probes = {Inside(kDataChooserPreview, kAt)};
    Click(Inside(kDataChooserRows[2], kAt));
    Paint();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), kEntryElevation);  // a preview is no reason to refuse
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\71c.bmp");
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].pixels[0], Look(0));  // not the previous entry's preview

    RemoveFile((folder / "menu/68r.bmp").c_str());
    TestClearSounds();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryImagery), -1);
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\68r.bmp");
    EXPECT_TRUE(TestPlayedSounds().empty());
}

TEST_F(GlobePanelsChooser, SmallLayoutScalesThePanelAndItsAreas) {
    WritePictures("640/", 0);
    smallLayout = 1;
    SetLayoutRectangles();
    ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
    Rect preview = LayoutArea(kDataChooserPreview, 1);
    probes = {Inside(kDataChooserRows[7], kSmallAt, 2), Point{kSmallAt.x + preview.left + 2, kSmallAt.y + preview.top + 66},
              Point{kSmallAt.x + 116, kSmallAt.y + 10}, Point{mapRect.left + 2, mapRect.top + 2}};
    Click(Inside(kDataChooserRows[7], kSmallAt));
    Mouse(MSG_MOUSEMOVE, Point{100, 100});
    Paint();
    Paint();
    TestInjectKey(VK_RETURN);
    EXPECT_EQ(GlobeDataChooser(kEntryRelief), kEntryTemperature);
    ReleaseGlobeBuffers();
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_EQ(snapshots[0].pixels[0], Look(1));
    EXPECT_EQ(snapshots[0].pixels[1], Rgb(PreviewRgb(7)));
    EXPECT_EQ(snapshots[0].pixels[2], kUnder);  // nothing right of the 115-pixel panel
    EXPECT_NE(snapshots[1].pixels[3], kUnder);  // the globe came back after the first repaint
    EXPECT_EQ(snapshots[1].pixels[0], Look(1));
    EXPECT_TRUE(Restored(kSmallAt, 115, 206));
}

// [SECTION] Ocean level arithmetic

TEST(GlobePanelsArithmetic, LevelsFromTheTrackAndFromTypedText) {
    const int ys[] = {223, 148, 73, 400, 0};  // off the track the thumb stays at its ends
    const double at[] = {0, 0.5, 1, 0, 1};
    for (int i = 0; i < 5; i++) EXPECT_EQ(OceanTrackFraction(ys[i], 73, 223), at[i]) << ys[i];
    const double fractions[] = {0, 0.5, 1, 0.999, 0.0039, 0.00391, -0.1, 254.5 / 256};
    const int levels[] = {0, 128, 255, 255, 0, 1, 0, 254};
    for (int i = 0; i < 8; i++) EXPECT_EQ(FloodLevelForFraction(fractions[i]), levels[i]) << fractions[i];
    EXPECT_EQ(OceanLevelText(0, 0), "0 m");
    EXPECT_EQ(OceanLevelText(0.5, 0), "4424 m");
    EXPECT_EQ(OceanLevelText(0.5, 1), "14514 ft");  // 14514.4
    EXPECT_EQ(OceanLevelText(1, 1), "29029 ft");    // 29028.9

    struct {
        const char* text;
        int imperial, ok, typed, metres, level;
    } cases[] = {
        {"", 0, 0},  {"-", 0, 0},  {"12a", 0, 0}, {" 5", 0, 0}, {"--5", 0, 0}, {"5-", 0, 0},
        {"1000", 0, 1, 1000, 1000, 28},    {"1000", 1, 1, 1000, 304, 8},      {"007", 0, 1, 7, 7, 0},
        {"8813", 0, 1, 8813, 8813, 254},   {"35", 0, 1, 35, 35, 1},           {"34", 0, 1, 34, 34, 0},
        {"-100", 0, 1, -100, -100, 0},     {"-32001", 0, 1, -32000, -32000, 0}, {"999999", 0, 1, 32000, 32000, 255},
        {"99999999999999999999", 1, 1, 32000, 9753, 255}, {"-40000", 1, 1, -32000, -9753, 0}, {"-3", 1, 1, -3, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.imperial ? " ft" : " m"));
        int typed = -1, metres = -1;
        ASSERT_EQ(TypedOceanLevel(c.text, c.imperial, &typed, &metres), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(typed, c.typed);
        EXPECT_EQ(metres, c.metres);
        EXPECT_EQ(FloodLevelForMetres(metres), c.level);
    }
}

// [SECTION] The ocean-level slider

struct GlobePanelsSlider : GlobePanelsScreen {
    Rect track{};  // window pixels: 560, 73 .. 580, 223
    void SetUp() override {
        GlobePanelsScreen::SetUp();
        globeView.imageType = kGlobeElevation;
        globeView.centreLongitude = 0;
        ReleaseGlobeBuffers();
        ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
        Rect t = LayoutArea(kOceanSliderTrack, 0);
        track = Rect{kAt.x + t.left, kAt.y + t.top, kAt.x + t.right, kAt.y + t.bottom};
    }
    void TearDown() override {
        ReleaseGlobeBuffers();
        GlobePanelsScreen::TearDown();
    }
    Point OnTrack(int y) const { return Point{(track.left + track.right) / 2, y}; }
};

TEST_F(GlobePanelsSlider, OpensUnfloodedAndEscapeOrAQuitUndoesTheFlood) {
    probes = {Point{mapRect.left + 4, mapRect.top + 4}, Point{kAt.x + 3, kAt.y + 3}};
    for (int quit = 0; quit < 2; quit++) {
        SCOPED_TRACE(quit);
        globeView.floodLevel = 77;  // left over: opening starts with nothing flooded
        snapshots.clear();
        TestClearSounds();
        Paint();
        Paint();  // after the first, the window shows hbmVirtual and no globe
        if (!quit) TestInjectKey(VK_ESCAPE);
        OceanLevelSlider();
        ASSERT_EQ(snapshots.size(), 2u);
        for (const Snapshot& s : snapshots) {
            EXPECT_EQ(s.floodMode, 1);
            EXPECT_EQ(s.floodLevel, 0);
            EXPECT_NE(s.pixels[0], kUnder);  // the globe was drawn over the map area
            EXPECT_EQ(s.pixels[1], Look(0));  // but not over the panel
        }
        EXPECT_EQ(globeView.floodMode, 0);
        EXPECT_EQ(globeView.floodLevel, 0);
        EXPECT_EQ(Cues("slide2.wav"), 2);
        EXPECT_TRUE(Restored(kAt, kOceanSliderW, kOceanSliderH));
        EXPECT_EQ(QuitLeftForCaller(), quit);
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(GlobePanelsSlider, DraggingTheThumbFloodsByTheTrackBelowIt) {
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
    Mouse(MSG_MOUSEMOVE, OnTrack(180), MK_LBUTTON);  // held, but not pressed on the track
    Paint();
    Mouse(MSG_LBUTTONDOWN, OnTrack(148), MK_LBUTTON);
    Mouse(MSG_MOUSEMOVE, OnTrack(100), MK_LBUTTON);
    Paint();  // also keeps the queue from merging consecutive moves
    Mouse(MSG_MOUSEMOVE, OnTrack(200));  // the button came up outside the window
    Paint();
    Mouse(MSG_MOUSEMOVE, OnTrack(180), MK_LBUTTON);
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();

    ASSERT_EQ(snapshots.size(), 8u);
    const int expected[8] = {128, 209, 255, 0, 209, 209, 209, 209};
    for (size_t i = 0; i < 8; i++) EXPECT_EQ(snapshots[i].floodLevel, expected[i]) << i;
    const ColourRef thumb = MakeColour(236, 236, 236);
    EXPECT_NE(snapshots[0].pixels[0], thumb);
    EXPECT_EQ(snapshots[1].pixels[0], thumb);
    EXPECT_EQ(snapshots[3].pixels[3], thumb);
    // The track: the high end at the top, the floored low end (index 492) at the bottom.
    EXPECT_EQ(snapshots[1].pixels[1], MakeColour(249, 249, 0));
    EXPECT_EQ(snapshots[1].pixels[2], MakeColour(12, 12, 0));
    EXPECT_EQ(globeView.floodLevel, 0);
}

TEST_F(GlobePanelsSlider, TypedLevelsApplyWithEnterOrTheConfirmArea) {
    struct Step {
        const char* keys;  // '<' is Backspace
        int confirmArea;   // a click on the confirm area instead of Enter
        int level;
    } steps[] = {
        {"1000", 0, 28}, {"500<00", 0, 144}, {"-5", 1, 0}, {"1234567", 0, 255},
        {"-", 0, 255},   {"<", 1, 255},      {"5-", 0, 0}, {"4424", 1, 128},     // a lone minus stays
    };
    probes = {Inside(kOceanSliderEntry, kAt, 1)};
    for (const Step& s : steps) {
        for (const char* c = s.keys; *c; c++) {
            if (*c == '<') TestInjectKey(VK_BACK);
            else TestInjectMessage(MSG_CHAR, (uint8_t)*c, 0);
        }
        if (s.confirmArea) Click(Inside(kOceanSliderConfirm, kAt));
        else TestInjectKey(VK_RETURN);
        Paint();
    }
    TestInjectMessage(MSG_CHAR, '7', 0);
    Paint();
    TestInjectKey(VK_ESCAPE);
    OceanLevelSlider();
    ASSERT_EQ(snapshots.size(), 9u);
    for (size_t i = 0; i < 8; i++) EXPECT_EQ(snapshots[i].floodLevel, steps[i].level) << steps[i].keys;
    EXPECT_EQ(snapshots[0].pixels[0], Look(0));  // applied: the field is empty again
    EXPECT_EQ(snapshots[4].pixels[0], Look(1));  // refused: the minus waits in the field
    EXPECT_EQ(Cues("error.wav"), 2);             // the lone minus, then the field emptied
    EXPECT_EQ(Cues("slide2.wav"), 2);
}

TEST_F(GlobePanelsSlider, NothingOpensWithoutItsPicturesOrAFrame) {
    RemoveFile((folder / "menu/124h.bmp").c_str());
    OceanLevelSlider();
    EXPECT_EQ(TestLastMessage(), "Cannot open file menu\\124h.bmp");
    WritePictures("", 1);
    ReleaseGlobeBuffers();
    OceanLevelSlider();
    EXPECT_EQ(TestLastMessage(), "rotationFilter[] not allocated yet");
    // Imagery holds no heights: they are loaded first, and a missing file stops there.
    ASSERT_TRUE(AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top));
    globeView.imageType = kGlobeImagery;
    TestClearShown();
    OceanLevelSlider();
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text.rfind("Cannot open file ", 0), 0u);
    EXPECT_NE(TestShownMessages()[0].text.find("2160"), std::string::npos);
    EXPECT_TRUE(TestPlayedSounds().empty());
    EXPECT_EQ(globeView.floodMode, 0);
    EXPECT_TRUE(Restored(kAt, kOceanSliderW, kOceanSliderH));
}
