// The window shown at a whole multiple of the program's pixels: what the toolkit paints against
// a naive block-by-block reference, pointer events of the toolkit divided back through the real
// event path, the pointer put back on a program pixel, and full screen (F11) centring the image.
// The suite also runs on a larger screen with a fractional device pixel ratio (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "platform/test_double.h"

namespace {

constexpr int kF11 = 0x0100003a;  // the toolkit's number for F11

std::vector<Message> seen;
int64_t Record(uint32_t kind, uint64_t, int64_t, const Message& m) {
    if (kind != MSG_PAINT && kind != MSG_CREATE) seen.push_back(m);
    return 0;
}

// A pattern where every program pixel differs from its neighbours.
uint32_t PatternColour(int x, int y) { return MakeColour(x * 7 + y, y * 13 + x * 3, (x ^ y) * 5); }

struct ScaledWindow : ::testing::Test {
    int Open(int scale, int w = 800, int h = 600) {
        seen.clear();
        if (!CreateMainWindow(WindowOptions{"Test", w, h, 1, scale}, Record)) return 0;
        ShowMainWindow();
        return 1;
    }
    void TearDown() override {
        SetFullScreen(0);
        DestroyMainWindow();
        FlushMessages(0, 0xFFFFFFFF);
    }
    static void DrawPattern(int w, int h) {
        Surface* s = WindowSurface();
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) SetPixel(s, x, y, PatternColour(x, y));
    }
    // The messages the given toolkit events became, one event at a time.
    static Message Translate(uint32_t kind, double x, double y) {
        seen.clear();
        TestSendPointer(kind, x, y);
        TestPumpMessages();
        return seen.empty() ? Message{} : seen.back();
    }
};

uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }
uint32_t ColourAsRgb(ColourRef c) { return (uint32_t)ColourRed(c) << 16 | (uint32_t)ColourGreen(c) << 8 | (uint32_t)ColourBlue(c); }

// Every device pixel of the shown image is the program pixel it lies in, at each factor: no
// smoothing, no seam, no shift. The device pixels outside the image are black.
TEST_F(ScaledWindow, PaintsEachPixelAsABlockOfItsColour) {
    for (int scale = 1; scale <= 3; scale++) {
        SCOPED_TRACE(scale);
        ASSERT_EQ(Open(scale, 120, 90), 1);
        DrawPattern(120, 90);
        ShownWindow shown;
        ASSERT_EQ(TestGrabShownWindow(&shown), 1);
        // The window covers the image in device pixels, with at most the one pixel a fractional
        // ratio rounds up to.
        EXPECT_GE(shown.width, 120 * scale);
        EXPECT_LE(shown.width, 120 * scale + 1);
        EXPECT_GE(shown.height, 90 * scale);
        EXPECT_LE(shown.height, 90 * scale + 1);
        int wrong = 0;
        for (int dy = 0; dy < shown.height; dy++)
            for (int dx = 0; dx < shown.width; dx++) {
                uint32_t expected = dx < 120 * scale && dy < 90 * scale ? ColourAsRgb(PatternColour(dx / scale, dy / scale)) : 0;
                wrong += Rgb(shown.pixels[(size_t)dy * shown.width + dx]) != expected;
            }
        EXPECT_EQ(wrong, 0);
        // A later stroke shows scaled too, in its own area only.
        FillRect(WindowSurface(), Rect{10, 20, 11, 21}, MakeColour(255, 0, 0));
        ASSERT_EQ(TestGrabShownWindow(&shown), 1);
        for (int k = 0; k < scale; k++) {
            EXPECT_EQ(Rgb(shown.pixels[(size_t)(20 * scale + k) * shown.width + 10 * scale + k]), 0xFF0000u);
        }
        EXPECT_EQ(Rgb(shown.pixels[(size_t)(20 * scale) * shown.width + 11 * scale]), ColourAsRgb(PatternColour(11, 20)));
        DestroyMainWindow();
    }
}

// A pointer anywhere on a program pixel's block arrives as that pixel; the buttons, the wheel and
// moves alike. Positions left of or above the image arrive negative.
TEST_F(ScaledWindow, PointerEventsArriveInProgramPixels) {
    struct Case { uint32_t kind, expected; } kinds[] = {
        {MSG_MOUSEMOVE, MSG_MOUSEMOVE}, {MSG_LBUTTONDOWN, MSG_LBUTTONDOWN}, {MSG_LBUTTONUP, MSG_LBUTTONUP},
        {MSG_RBUTTONDOWN, MSG_RBUTTONDOWN}, {MSG_RBUTTONUP, MSG_RBUTTONUP}};
    Point targets[] = {{0, 0}, {1, 1}, {399, 299}, {740, 183}, {799, 599}};
    for (int scale = 1; scale <= 3; scale++) {
        SCOPED_TRACE(scale);
        ASSERT_EQ(Open(scale), 1);
        ShownWindow shown;
        ASSERT_EQ(TestGrabShownWindow(&shown), 1);
        double k = shown.devicePixelRatio;
        for (const Case& c : kinds)
            for (Point p : targets)
                for (int corner = 0; corner < scale; corner++) {
                    // The device pixel `corner` steps into the block, in the toolkit's coordinates.
                    double wx = (p.x * scale + corner + 0.5) / k, wy = (p.y * scale + corner + 0.5) / k;
                    Message m = Translate(c.kind, wx, wy);
                    ASSERT_EQ(m.kind, c.expected);
                    EXPECT_EQ(MessageX(m), p.x) << "at device " << p.x * scale + corner;
                    EXPECT_EQ(MessageY(m), p.y);
                }
        Message m = Translate(MSG_MOUSEMOVE, -1.0 / k, -1.0 / k);
        EXPECT_EQ(MessageX(m), -1);
        EXPECT_EQ(MessageY(m), -1);
        DestroyMainWindow();
    }
}

// F11 switches full screen in the platform: no key message reaches the program. The image is
// centred (cut equally on both sides when it is larger than the screen) and the pointer follows.
TEST_F(ScaledWindow, FullScreenCentresTheImageAndThePointerFollows) {
    for (int scale = 1; scale <= 3; scale++) {
        SCOPED_TRACE(scale);
        ASSERT_EQ(Open(scale), 1);
        DrawPattern(800, 600);
        ShownWindow before;
        ASSERT_EQ(TestGrabShownWindow(&before), 1);
        TestSendKey(kF11);
        TestPumpMessages();
        EXPECT_EQ(IsFullScreen(), 1);
        for (const Message& m : seen) EXPECT_NE(m.kind, (uint32_t)MSG_KEYDOWN);
        ShownWindow shown;
        ASSERT_EQ(TestGrabShownWindow(&shown), 1);
        int offsetX = (shown.width - 800 * scale) / 2, offsetY = (shown.height - 600 * scale) / 2;
        // The window's middle shows the image's middle, and a click there is the middle pixel.
        double k = shown.devicePixelRatio;
        Message m = Translate(MSG_LBUTTONDOWN, (offsetX + 400 * scale + 0.5) / k, (offsetY + 300 * scale + 0.5) / k);
        EXPECT_EQ(MessageX(m), 400);
        EXPECT_EQ(MessageY(m), 300);
        EXPECT_EQ(Rgb(shown.pixels[(size_t)(offsetY + 300 * scale) * shown.width + offsetX + 400 * scale]),
                  ColourAsRgb(PatternColour(400, 300)));
        // Beside the image, where the screen is larger, it is black.
        if (offsetX > 0) {
            EXPECT_EQ(Rgb(shown.pixels[(size_t)(shown.height / 2) * shown.width + offsetX - 1]), 0u);
            EXPECT_EQ(Rgb(shown.pixels[(size_t)(shown.height / 2) * shown.width + offsetX]),
                      ColourAsRgb(PatternColour(0, (shown.height / 2 - offsetY) / scale)));
        }
        // F11 again restores the window as it was, and the mapping with it.
        TestSendKey(kF11);
        TestPumpMessages();
        EXPECT_EQ(IsFullScreen(), 0);
        ShownWindow after;
        ASSERT_EQ(TestGrabShownWindow(&after), 1);
        EXPECT_EQ(after.width, before.width);
        EXPECT_EQ(after.height, before.height);
        m = Translate(MSG_LBUTTONDOWN, (5 * scale + 0.5) / k, (7 * scale + 0.5) / k);
        EXPECT_EQ(MessageX(m), 5);
        EXPECT_EQ(MessageY(m), 7);
        DestroyMainWindow();
    }
}

// The program's own pointer shapes (pan arrows, magnifiers) grow with the window; the
// desktop's own shapes are left to the desktop.
TEST_F(ScaledWindow, ProgramCursorShapesGrowWithTheWindow) {
    for (int scale = 1; scale <= 3; scale++) {
        ASSERT_EQ(Open(scale), 1);
        for (int shape : {130, 133, 141, 144}) {
            SetCursorShape(shape);
            EXPECT_EQ(TestCursorDeviceSize(), 32 * scale) << "shape " << shape << " at " << scale;
        }
        SetCursorShape(CURSOR_ARROW);
        EXPECT_EQ(TestCursorDeviceSize(), 0);
        DestroyMainWindow();
    }
}

// Other keys still arrive as before; F11's release is not passed on either.
TEST_F(ScaledWindow, KeysOtherThanF11StillArrive) {
    ASSERT_EQ(Open(2), 1);
    seen.clear();
    TestSendKey(0x01000030);  // F1
    TestPumpMessages();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, (uint32_t)MSG_KEYDOWN);
    EXPECT_EQ(seen[0].wParam, (uint64_t)VK_F1);
    EXPECT_EQ(seen[1].kind, (uint32_t)MSG_KEYUP);
}

}  // namespace
