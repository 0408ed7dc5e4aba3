// The zoom, pan and area commands: their limits (depth 9, the edges of the world, the typed
// scale range, MaxZoomScale), the exact refusal messages, the dialogs driven as a user would,
// and the drag loops fed with injected pointer messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "map2d/geomagnetic_model.h"
#include "map2d/measurement.h"
#include "map2d/zoom_commands.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

int64_t IgnoreMessages(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

struct ZoomTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        strcpy(dataRoot, folder.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", folder.path.c_str());
        MakeDirectories(tempDir);
        mapRect = Rect{16, 39, 681, 538};
        statusRect = Rect{18, 539, 679, 563};
        screenWidth = 800;
        options.monitorInches = 14;
        options.soundsOn = 0;  // refusals beep, and the test double counts the beeps
        zoomOutTool = 0;
        ResetZoomHistory();
        ResetMeasureUnits();
        Theme("; no limits\n");
        TestClearShown();
    }
    void TearDown() override {
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
        if (MainWindowExists()) DestroyMainWindow();
        TestPumpMessages();
    }
    void Theme(const std::string& text) { ASSERT_TRUE(WriteTestText(folder / "theme1.dat", text)); }
    void OpenWindow() {
        WindowOptions o{"Mundora", 800, 600, 1};
        ASSERT_TRUE(CreateMainWindow(o, IgnoreMessages));
        TestPumpMessages();
    }
    void At(int depth, MapWindow w) {
        zoomHistory[depth] = w;
        zoomDepth = depth;
    }
    void MakeCache(int depth) {
        FILE* f = OpenFile(ScreenCachePath(depth).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    int CacheExists(int depth) { return FileExists(ScreenCachePath(depth).c_str()); }
    static void ExpectWindow(const MapWindow& a, const MapWindow& b) {
        EXPECT_NEAR(a.west, b.west, 1e-9);
        EXPECT_NEAR(a.east, b.east, 1e-9);
        EXPECT_NEAR(a.south, b.south, 1e-9);
        EXPECT_NEAR(a.north, b.north, 1e-9);
    }
    int PixelX(double lon) { int x, y; GeoToPixel(0, lon, &x, &y); return x; }
    int PixelY(double lat) { int x, y; GeoToPixel(lat, 0, &x, &y); return y; }
};

// [SECTION] Panning, back and zoom out

TEST_F(ZoomTest, PanRefusalsAtTheEdgesOfTheWorld) {
    // At depth 0 every pan fails.
    for (int direction : {PAN_WEST, PAN_EAST, PAN_NORTH, PAN_SOUTH}) EXPECT_EQ(PanMap(direction), 0);
    EXPECT_EQ(TestBeepCount(), 4);
    ExpectWindow(zoomHistory[0], MapWindow{-180, 180, -135, 135});

    // West edge at -179: -179 - 0.8 x 10 is past -180. And a pan landing exactly on -180.
    At(1, MapWindow{-179, -169, 0, 7.5});
    EXPECT_EQ(PanMap(PAN_WEST), 0);
    At(1, MapWindow{-172, -162, 0, 7.5});
    EXPECT_EQ(PanMap(PAN_WEST), 0);
    ExpectWindow(zoomHistory[1], MapWindow{-172, -162, 0, 7.5});
    At(1, MapWindow{162, 172, 80, 87.5});
    EXPECT_EQ(PanMap(PAN_EAST), 0);
    EXPECT_EQ(PanMap(PAN_NORTH), 0);
    EXPECT_EQ(TestBeepCount(), 8);

    // An allowed pan moves by 0.8 of the span, discards the cache of its depth and
    // re-centres the depth before it on the new place.
    At(1, MapWindow{-40, 40, -30, 30});
    At(2, MapWindow{0, 10, 0, 7.5});
    MakeCache(1);
    MakeCache(2);
    EXPECT_EQ(PanMap(PAN_EAST), 1);
    ExpectWindow(zoomHistory[2], MapWindow{8, 18, 0, 7.5});
    ExpectWindow(zoomHistory[1], MapWindow{-27, 53, -26.25, 33.75});
    EXPECT_FALSE(CacheExists(1));
    EXPECT_FALSE(CacheExists(2));
    EXPECT_EQ(PanMap(PAN_SOUTH), 1);
    ExpectWindow(zoomHistory[2], MapWindow{8, 18, -6, 1.5});
    // A re-centred previous depth that would leave the world stays where it was.
    At(1, MapWindow{-100, 100, -75, 75});
    At(2, MapWindow{150, 160, 0, 7.5});
    EXPECT_EQ(PanMap(PAN_EAST), 1);
    ExpectWindow(zoomHistory[1], MapWindow{-100, 100, -75, 75});
}

TEST_F(ZoomTest, BackAndZoomOut) {
    EXPECT_EQ(ZoomBack(), 0);
    EXPECT_EQ(ZoomOut(), 0);
    EXPECT_EQ(TestBeepCount(), 2);
    At(1, MapWindow{-40, 40, -30, 30});
    At(2, MapWindow{0, 10, 0, 7.5});
    MakeCache(1);
    EXPECT_EQ(ZoomBack(), 1);
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_TRUE(CacheExists(1)) << "going back reuses the cached image";
    // 2.3 times as large around the centre.
    EXPECT_EQ(ZoomOut(), 1);
    ExpectWindow(zoomHistory[1], MapWindow{-92, 92, -69, 69});
    EXPECT_FALSE(CacheExists(1));
    // Too large: refused but still recomposed; the window stays.
    EXPECT_EQ(ZoomOut(), 1);
    ExpectWindow(zoomHistory[1], MapWindow{-92, 92, -69, 69});
    EXPECT_EQ(TestBeepCount(), 3);
}

TEST_F(ZoomTest, RecentreKeepsTheScale) {
    At(1, MapWindow{-10, 10, -7.5, 7.5});
    double before = MapScale();
    EXPECT_EQ(RecentreAt(60.0, 20.0), 1);
    EXPECT_NEAR(MapScale(), before, 1.0);
    EXPECT_NEAR((zoomHistory[1].west + zoomHistory[1].east) / 2, 20.0, 1e-9);
    EXPECT_NEAR(zoomHistory[1].east - zoomHistory[1].west, 40.0, 1e-6);  // cos 60 = 1/2
    EXPECT_EQ(RecentreAt(85.0, 20.0), 0);
    EXPECT_EQ(TestLastMessage(), "New zoom window would extend past end of map");
    At(0, zoomHistory[0]);
    EXPECT_EQ(RecentreAt(0, 0), 0);
}

// [SECTION] Scale dialog

TEST_F(ZoomTest, ScaleDialogLimitsAndMessages) {
    At(3, MapWindow{-100, 100, 0, 20});
    MakeCache(3);
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, 1036, "");
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1036, "130000001");
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1036, "499999");  // below the default limit of 500,000
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1036, "130000000");
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(ScaleDialog(), 1);
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Please specify a value first", "Scale value out of range",
                                               "Scale value out of range"}));
    EXPECT_EQ(zoomDepth, 3) << "a typed scale replaces the window at the current depth";
    EXPECT_NEAR(MapScale(), 130000000.0, 1.0);
    EXPECT_NEAR(zoomHistory[3].west + zoomHistory[3].east, 0.0, 1e-9);
    EXPECT_FALSE(CacheExists(3));
}

TEST_F(ZoomTest, ScaleDialogAtTheWorldViewCreatesDepthOne) {
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, 1036, "130000000");  // would reach past the poles from the world view
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1036, "50,000,000");  // read as a number: 50
        TestDialogCommand(d, IDOK);
        SetItemText(d, 1036, "50000000");
        TestDialogCommand(d, IDOK);
    });
    EXPECT_EQ(ScaleDialog(), 1);
    EXPECT_EQ(TestShownMessages().size(), 2u);
    EXPECT_EQ(TestShownMessages()[0].text, "New zoom window would extend past end of map");
    EXPECT_EQ(TestShownMessages()[1].text, "Scale value out of range");
    EXPECT_EQ(zoomDepth, 1);
    ExpectWindow(zoomHistory[0], MapWindow{-180, 180, -135, 135});
    EXPECT_NEAR(MapScale(), 50000000.0, 1.0);

    // The theme's MaxZoomScale replaces the default; Cancel changes nothing.
    Theme("[MaxZoomScale=1000000\n");
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, 1036, "900000");
        TestDialogCommand(d, IDOK);
        TestDialogCommand(d, IDCANCEL);
    });
    MapWindow before = zoomHistory[1];
    EXPECT_EQ(ScaleDialog(), 0);
    EXPECT_EQ(TestLastMessage(), "Scale value out of range");
    ExpectWindow(zoomHistory[1], before);
}

TEST_F(ZoomTest, DialogsAndZoomBoxRefusedAtDepthNine) {
    At(9, MapWindow{0, 0.1, 0, 0.075});
    size_t dialogs = TestShownDialogs().size();
    EXPECT_EQ(ScaleDialog(), 0);
    EXPECT_EQ(PositionDialog(), 0);
    EXPECT_EQ(TestShownDialogs().size(), dialogs);
    EXPECT_EQ(ZoomBox(300, 300, 0), 0);
    EXPECT_EQ(TestLastMessage(), "Maximum zooming level reached");
    EXPECT_EQ(TestBeepCount(), 3);
    EXPECT_EQ(zoomDepth, 9);
}

// [SECTION] Position dialog

TEST_F(ZoomTest, PositionDialogChecksAndCommits) {
    OpenWindow();
    At(1, MapWindow{-40, 40, -30, 30});
    struct Seen { std::string lat, lon; uint32_t crossPixel, clearedPixel; } seen{};
    int x = 0, y = 0;
    GeoToPixel(10.0, 20.0, &x, &y);
    TestPushDialogScript([&](Dialog* d) {
        seen.lat = GetItemText(d, 1044);
        seen.lon = GetItemText(d, 1045);
        SetItemText(d, 1044, "10");
        SetItemText(d, 1045, "20");
        TestDialogCommand(d, 1045, NOTIFY_CHANGED);
        seen.crossPixel = GetPixel(WindowSurface(), x, y + 40);  // on the preview's vertical line
        SetItemText(d, 1044, "");
        TestDialogCommand(d, IDOK);  // empty latitude: a beep only
        SetItemText(d, 1044, "1O");
        TestDialogCommand(d, IDOK);  // a letter O: refused
        SetItemText(d, 1044, "29");
        TestDialogCommand(d, IDOK);  // north 38 passes
        SetItemText(d, 1044, "85");
        TestDialogCommand(d, IDOK);  // north 94: off-screen
        SetItemText(d, 1044, "10");
        TestDialogCommand(d, 1044, NOTIFY_CHANGED);
        TestDialogCommand(d, IDOK);
    });
    // The first OK that passes closes the dialog: latitude 29 is accepted.
    EXPECT_EQ(PositionDialog(), 1);
    EXPECT_EQ(seen.lat, "0.000000");
    EXPECT_EQ(seen.lon, "0.000000");
    EXPECT_EQ(seen.crossPixel, MakeColour(255, 255, 255));
    EXPECT_EQ(TestBeepCount(), 2);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(zoomDepth, 2);
    ExpectWindow(zoomHistory[2], MapWindow{8, 32, 20, 38});
}

TEST_F(ZoomTest, PositionDialogMessagesAndPreviewErased) {
    OpenWindow();
    At(1, MapWindow{-40, 40, -30, 30});
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, 1044, "85");
        SetItemText(d, 1045, "0");
        TestDialogCommand(d, IDOK);
        TestDialogCommand(d, IDCANCEL);
    });
    EXPECT_EQ(PositionDialog(), 0);
    EXPECT_EQ(TestLastMessage(), "selected area would be off-screen");
    // Cancel took the preview away: the map area is black again.
    int x, y;
    GeoToPixel(0, 0, &x, &y);
    EXPECT_EQ(GetPixel(WindowSurface(), x, y + 40), MakeColour(0, 0, 0));
    EXPECT_EQ(GetPixel(WindowSurface(), x + 40, y), MakeColour(0, 0, 0));

    Theme("[MaxZoomScale=200000000\n");
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDOK); });
    EXPECT_EQ(PositionDialog(), 0);
    EXPECT_EQ(TestLastMessage(), "Selected zoom area too small");
    EXPECT_EQ(zoomDepth, 1);
}

// [SECTION] Zoom box drag loop

TEST_F(ZoomTest, DraggedBoxZoomsToItsWindow) {
    OpenWindow();
    int sx = PixelX(0), sy = PixelY(0);
    // Key releases between the moves keep the queue from merging them into one.
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(sx + 40, sy + 10));
    TestInjectMessage(MSG_KEYUP, VK_SHIFT, 0);
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(sx + 60, sy + 10));
    TestInjectMessage(MSG_KEYUP, VK_SHIFT, 0);
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(sx + 80, sy + 10));
    TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(sx + 80, sy + 10));
    EXPECT_EQ(ZoomBox(sx, sy, 0), 1);
    EXPECT_EQ(zoomDepth, 1);
    // Half-width 80 pixels of 665 across 360 degrees, half-height trunc(499/665 x 80) = 60.
    const MapWindow& w = zoomHistory[1];
    EXPECT_NEAR(w.east - w.west, 160.0 / 665.0 * 360.0, 1e-9);
    EXPECT_NEAR(w.north - w.south, 120.0 / 499.0 * 270.0, 1e-9);
    // The crosshair, the box and every scale label shown on the way were erased: the map
    // area is black again.
    Surface* s = WindowSurface();
    int lit = 0;
    for (int y = mapRect.top; y < mapRect.bottom; y++)
        for (int x = mapRect.left; x < mapRect.right; x++) lit += GetPixel(s, x, y) != MakeColour(0, 0, 0);
    EXPECT_EQ(lit, 0);
}

TEST_F(ZoomTest, ShortDragIsAPlainClickZoom) {
    OpenWindow();
    int sx = PixelX(20), sy = PixelY(10);
    double lat, lon;
    PixelToGeo(sx, sy, &lat, &lon);
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(sx + 2, sy));
    TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(sx + 2, sy));
    EXPECT_EQ(ZoomBox(sx, sy, 0), 1);  // a 4-pixel box
    ExpectWindow(zoomHistory[1], MapWindow{lon - 54, lon + 54, lat - 40.5, lat + 40.5});

    // Refused below MaxZoomScale: the depth stays.
    Theme("[MaxZoomScale=200000000\n");
    TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(sx, sy));
    EXPECT_EQ(ZoomBox(sx, sy, 1), 0);
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_EQ(TestBeepCount(), 1);
}

// [SECTION] The wheel

TEST_F(ZoomTest, WheelKeepsThePointUnderThePointerThroughTheHistory) {
    struct Spot { int x, y; } spots[] = {{mapRect.left + 1, 250}, {350, 290}, {mapRect.right - 2, 320}, {200, 200}};
    for (const Spot& p : spots) {
        ResetZoomHistory();
        double lat, lon;
        PixelToGeo(p.x, p.y, &lat, &lon);
        std::vector<MapWindow> seen{CurrentMapWindow()};
        // In four notches, then out three: the point stays within a pixel of the pointer.
        for (int notch : {1, 1, 1, 1, -1, -1, -1}) {
            ASSERT_EQ(WheelZoom(p.x, p.y, notch), 1) << p.x << "," << p.y << " depth " << zoomDepth;
            int x, y;
            GeoToPixel(lat, lon, &x, &y);
            EXPECT_LE(std::abs(x - p.x), 1) << p.x << "," << p.y << " depth " << zoomDepth;
            EXPECT_LE(std::abs(y - p.y), 1) << p.x << "," << p.y << " depth " << zoomDepth;
            if (notch > 0) seen.push_back(CurrentMapWindow());
        }
        // Each notch in took the click zoom's 30 % of the spans at the next depth.
        EXPECT_EQ(zoomDepth, 4);
        EXPECT_NEAR(seen[4].east - seen[4].west, 360 * 0.3 * 0.3 * 0.3 * 0.3, 1e-9);
        // Out replaced the deepest window by one as large as the depth above it showed.
        EXPECT_NEAR(CurrentMapWindow().east - CurrentMapWindow().west, seen[1].east - seen[1].west, 1e-9);
        // Back goes back through the windows the wheel committed.
        EXPECT_EQ(ZoomBack(), 1);
        ExpectWindow(CurrentMapWindow(), seen[3]);
    }
    EXPECT_EQ(TestBeepCount(), 0);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(ZoomTest, WheelRefusalsAndTheEdgesOfTheWorld) {
    // Out at the world view, in beyond the pole rows: the error cue only.
    EXPECT_EQ(WheelZoom(350, 290, -1), 0);
    EXPECT_EQ(WheelZoom(350, mapRect.top + 5, 1), 0);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(TestBeepCount(), 2);
    // Depth 9: the zoom box's message.
    At(9, MapWindow{10, 10.1, 20, 20.075});
    EXPECT_EQ(WheelZoom(350, 290, 1), 0);
    EXPECT_EQ(TestLastMessage(), "Maximum zooming level reached");
    EXPECT_EQ(zoomDepth, 9);
    // Below MaxZoomScale: refused, the history as it was.
    Theme("[MaxZoomScale=200000000\n");
    ResetZoomHistory();
    EXPECT_EQ(WheelZoom(350, 290, 1), 0);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(TestBeepCount(), 4);
    Theme("; no limits\n");
    // Out near an edge, pointing away from it: the larger window moves inside the world, its
    // cache is discarded.
    At(1, MapWindow{160, 180, 0, 15});
    MakeCache(1);
    EXPECT_EQ(WheelZoom(mapRect.left + 1, 290, -1), 1);
    const MapWindow& w = CurrentMapWindow();
    EXPECT_NEAR(w.east, 180, 1e-9);
    EXPECT_NEAR(w.east - w.west, 20 / 0.3, 1e-9);
    EXPECT_NEAR(w.north - w.south, 15 / 0.3, 1e-9);
    EXPECT_TRUE(WindowInsideWorld(w));
    EXPECT_FALSE(CacheExists(1));
    // Out past the size of the world: the world view.
    At(1, MapWindow{-150, 150, -60, 60});
    EXPECT_EQ(WheelZoom(350, 290, -1), 1);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(TestBeepCount(), 4);
}

TEST_F(ZoomTest, ZoomBoxRefusalsAndCancel) {
    OpenWindow();
    EXPECT_EQ(ZoomBox(300, mapRect.top + 10, 0), 0);  // beyond the pole at the world view
    EXPECT_EQ(TestBeepCount(), 1);
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(400, 300));
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(ZoomBox(350, 280, 0), 0);
    EXPECT_EQ(zoomDepth, 0);
    // A box too small for MaxZoomScale is refused on release.
    Theme("[MaxZoomScale=200000000\n");
    TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(400, 300));
    TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(400, 300));
    EXPECT_EQ(ZoomBox(350, 280, 1), 0);
    EXPECT_EQ(zoomDepth, 0);
    EXPECT_EQ(TestBeepCount(), 2);
}

// What the pointer readout shows, taken each time the readout asks for the declination: by
// then it has drawn the position texts.
std::vector<std::vector<uint32_t>> readoutSnapshots;

int SnapshotReadout(double, double longitude, double* declination) {
    std::vector<uint32_t> pixels;
    for (int y = readoutRect.top; y < readoutRect.bottom; y++)
        for (int x = readoutRect.left; x < readoutRect.right; x++) pixels.push_back(GetPixel(WindowSurface(), x, y));
    readoutSnapshots.push_back(pixels);
    *declination = longitude / 10.0;
    return 1;
}

int LitPixels(const std::vector<uint32_t>& pixels) {
    int n = 0;
    for (uint32_t p : pixels) n += p != MakeColour(0, 0, 0);
    return n;
}

TEST_F(ZoomTest, ReadoutFollowsThePointerDuringADrag) {
    OpenWindow();
    SetReadoutRectangles();
    readoutSnapshots.clear();
    SetDeclinationSource(SnapshotReadout);
    int sx = PixelX(0), sy = PixelY(0);
    for (int step = 1; step <= 3; step++) {
        TestInjectMessage(MSG_MOUSEMOVE, MK_LBUTTON, MakeMouseParam(sx + 30 * step, sy + 25 * step));
        TestInjectMessage(MSG_KEYUP, VK_SHIFT, 0);  // keeps the moves apart in the queue
    }
    TestInjectKey(VK_ESCAPE);
    EXPECT_EQ(ZoomBox(sx, sy, 0), 0);
    SetDeclinationSource(TodaysMagneticDeclination);
    // The start and three moves: each shows its own position, drawn outside the map's clip.
    ASSERT_EQ(readoutSnapshots.size(), 4u);
    for (size_t i = 0; i < readoutSnapshots.size(); i++) {
        EXPECT_GT(LitPixels(readoutSnapshots[i]), 20) << i;
        if (i > 0) EXPECT_NE(readoutSnapshots[i], readoutSnapshots[i - 1]) << i;
    }
    // The compass of the last position stands in its box, drawn with a plain white pen.
    int compassLit = 0;
    for (int y = compassRect.top; y < compassRect.bottom; y++)
        for (int x = compassRect.left; x < compassRect.right; x++)
            compassLit += GetPixel(WindowSurface(), x, y) == MakeColour(255, 255, 255);
    EXPECT_GT(compassLit, 20);
}

// [SECTION] Scale texts

// The status line's number for a typed scale, grouped by hand: "5000000" -> "5,000,000".
std::string Grouped(long value) {
    std::string digits = std::to_string(value), out;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

TEST_F(ZoomTest, TypedScalesReadBackAsTyped) {
    Theme("[MaxZoomScale=100000\n");
    // Every scale 1:100,000 .. 1:130,000,000 with three significant digits, in steps of 3
    // in the third, and the scales users type most.
    std::vector<long> typed = {100000, 250000, 500000, 1000000, 2500000, 5000000, 10000000, 50000000, 130000000};
    for (long p = 1000; p <= 1000000; p *= 10)
        for (long m = 100; m < 1000 && m * p <= 130000000; m += 3) typed.push_back(m * p);
    int mismatches = 0;
    for (long v : typed) {
        At(3, MapWindow{-100, 100, 0, 20});  // wide enough for the largest typed scale
        TestPushDialogScript([v](Dialog* d) {
            SetItemText(d, 1036, std::to_string(v).c_str());
            TestDialogCommand(d, IDOK);
        });
        ASSERT_EQ(ScaleDialog(), 1) << v;
        std::string shown = StatusScaleText(MapScale());
        if (shown != "Scale = 1:" + Grouped(v) + " ") {
            mismatches++;
            ADD_FAILURE() << "typed " << v << ", shown \"" << shown << "\"";
        }
    }
    EXPECT_GT(typed.size(), 900u);
    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(ZoomTest, ZoomBoxLabelAndStatusLineAgree) {
    // Boxes of the map's shape at many places and sizes: the label shown while dragging is
    // the number the status line shows once the box is the map.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) / 16777216.0;
    };
    int compared = 0;
    for (int i = 0; i < 3000; i++) {
        double width = 0.05 + next() * 230.0, height = width * 0.75;  // the map's 4:3
        double cx = -180 + width / 2 + next() * (360 - width), cy = -89 + height / 2 + next() * (178 - height);
        if (height >= 178) continue;
        MapWindow w{cx - width / 2, cx + width / 2, cy - height / 2, cy + height / 2};
        std::string label = ZoomBoxScaleLabel(w, 0);
        At(1, w);
        EXPECT_EQ("Scale = " + label + " ", StatusScaleText(MapScale())) << w.west << " " << w.east << " " << w.south;
        compared++;
    }
    EXPECT_GT(compared, 2000);
    EXPECT_EQ(ZoomBoxScaleLabel(MapWindow{0, 0.1, 0, 0.075}, 1000000), "(too small)");
}

// [SECTION] Area for 3D

TEST_F(ZoomTest, AreaForThreeDWindow) {
    int x = mapRect.left + (int)((178.0 + 180.0) / 360.0 * 665);
    MapWindow w = AreaWindowForPick(x, PixelY(0));
    EXPECT_NEAR(w.west, 160.0, 1e-9);
    EXPECT_NEAR(w.east, 180.0, 1e-9);
    EXPECT_NEAR(w.north - w.south, 20.0, 1e-9);
    int yTop, yBottom;
    PoleRows(&yTop, &yBottom);
    w = AreaWindowForPick(mapRect.left, yTop);
    EXPECT_NEAR(w.west, -180.0, 1e-9);
    EXPECT_NEAR(w.north, 90.0, 1e-9);
}

TEST_F(ZoomTest, SmallWindowAsksBeforeExtracting) {
    At(2, MapWindow{0, 20, 0, 15});
    EXPECT_EQ(CurrentAreaFitsFor3D(), 1);
    TestPushAnswer(IDNO);
    EXPECT_EQ(ConfirmAreaFor3D(), 0);
    EXPECT_EQ(TestLastMessage(), "Would you like to clip out this new area to view in 3D?");
    TestPushAnswer(IDYES);
    EXPECT_EQ(ConfirmAreaFor3D(), 1);
    At(2, MapWindow{0, 20.01, 0, 15});
    EXPECT_EQ(CurrentAreaFitsFor3D(), 0);
}

// [SECTION] Measuring tool

TEST_F(ZoomTest, MeasuringToolAddsLegsAndRefusesThePolarBands) {
    OpenWindow();
    hbmVirtual = CreateSurface(800, 600);
    int y = PixelY(0);
    int x1 = PixelX(-90), x2 = PixelX(0);
    double lat1, lon1, lat2, lon2;
    PixelToGeo(x1, y, &lat1, &lon1);
    PixelToGeo(x2, y, &lat2, &lon2);
    measureUnits.distance = kUnitNauticalMiles;
    TestInjectClick(x1, y);
    TestInjectMessage(MSG_MOUSEMOVE, 0, MakeMouseParam(x1 + 50, y + 30));
    TestInjectClick(x2, y);
    TestInjectClick(x2, mapRect.top + 5);  // beyond the pole: a beep
    TestInjectClick(x1, y);
    TestInjectKey(VK_ESCAPE);
    TestInjectClick(x2, y);  // after Escape: not measured
    int recomposed = 0;
    static int* counter;
    counter = &recomposed;
    MeasureDistanceTool([] { (*counter)++; });
    double leg = GreatCircleDistance(lat1, lon1, lat2, lon2, kUnitNauticalMiles, 0);
    EXPECT_NEAR(leg, 5400.0, 60.0);
    EXPECT_NEAR(LastMeasuredTotal(), 2 * leg, 1e-9);
    EXPECT_EQ(TestBeepCount(), 1);
    EXPECT_EQ(recomposed, 1);
    DeleteSurface(hbmVirtual);
    hbmVirtual = nullptr;
}

}  // namespace
