// The flyby screen (mode 8 on "menu\flymain.bmp"): the start point, the window cut around it,
// then the flight: sixty frames a second, each one reading the keys that came since the last
// (and the joystick), moving the aircraft, drawing the terrain with the cockpit over it into
// the view area and updating the instrument column. Between frames the loop sleeps on the
// queue until the next frame time; a new window is cut beside the flight, so no frame waits.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/browser.h"
#include "core/command_line.h"
#include "core/demonstrations.h"
#include "flyby/flyby_screen.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "platform/files.h"
#include "print/print.h"
#include "print/settings_dialog.h"

namespace {
// A run of opaque cockpit pixels on one row of the view.
struct CockpitSpan {
    int row, from, count;
};

struct FrameTimes {
    int frames = 0;
    double totalMs = 0, worstMs = 0;
    double renderMs = 0, worstRenderMs = 0;  // the terrain alone
    uint32_t firstTick = 0, lastTick = 0;
};
}  // namespace

static struct {
    int leaveCode;
    Surface* frame;                     // the view area's picture, drawn every frame
    int width, height;
    std::vector<uint32_t> cockpit;      // the cockpit picture, 0xFFRRGGBB
    int cockpitWidth;
    std::vector<CockpitSpan> spans;     // where it is not magenta
    int panelAll;                       // the whole instrument column must be drawn again
    std::vector<FlybyLabel> labels;     // the names in view this frame
    FrameTimes times;
} screen;

// [SECTION] The cockpit

static void LoadCockpit() {
    screen.cockpit.clear();
    screen.spans.clear();
    const char* name = smallLayout ? "Textures\\C640.bmp" : "Textures\\C800.bmp";
    std::vector<uint8_t> bytes;
    std::string path = FindDataFile(name);
    DecodedBmp picture;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes, 16 << 20) || !DecodeBmp(bytes.data(), bytes.size(), &picture)) {
        ShowMessage("Cannot open file %s", name);
        return;
    }
    // Placed at the view's top-left corner; whatever overhangs the view is left out.
    int w = std::min(picture.width, screen.width), h = std::min(picture.height, screen.height);
    screen.cockpit.assign((size_t)w * h, 0);
    for (int r = 0; r < h; r++) {
        const uint32_t* row = &picture.pixels[(size_t)r * picture.width];
        std::copy_n(row, w, &screen.cockpit[(size_t)r * w]);
        for (int c = 0; c < w;) {
            if ((row[c] & 0xFFFFFF) == 0xFF00FF) {
                c++;
                continue;
            }
            int start = c;
            while (c < w && (row[c] & 0xFFFFFF) != 0xFF00FF) c++;
            screen.spans.push_back(CockpitSpan{r, start, c - start});
        }
    }
    screen.cockpitWidth = w;
}

static void DrawCockpit(uint32_t* pixels, int stride) {
    if (screen.cockpit.empty()) return;
    int w = screen.cockpitWidth;
    const uint32_t* picture = screen.cockpit.data();
    for (const CockpitSpan& s : screen.spans)
        std::copy_n(picture + (size_t)s.row * w + s.from, s.count, pixels + (size_t)s.row * stride + s.from);
}

// [SECTION] Frames

static void ShowFrame() {
    Surface* w = WindowSurface();
    if (w && screen.frame) Blit(w, mapRect.left, mapRect.top, screen.width, screen.height, screen.frame, 0, 0);
}

// The texts of the place names in view, over the frame's markers.
static void DrawNameTexts(const FlybyCamera& camera) {
    FlybyLabelsFor(flybyGrids, camera, screen.width, screen.height, &screen.labels);
    if (screen.labels.empty()) return;
    Surface* s = screen.frame;
    FontSpec font;
    font.pixelHeight = smallLayout ? 10 : 12;
    font.weight = 700;
    SetFont(s, font);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_CENTER | TA_BOTTOM);
    // Nearest first: a farther name that would overlap a nearer one is left out.
    std::vector<Rect> taken;
    for (const FlybyLabel& label : screen.labels) {
        const char* name = flybyGrids.names[label.name].name;
        Point size = TextExtent(s, name);
        Rect box{label.x - size.x / 2 - 2, label.y - size.y, label.x + size.x / 2 + 2, label.y + 1};
        auto overlaps = [&](const Rect& r) {
            return r.left < box.right && box.left < r.right && r.top < box.bottom && box.top < r.bottom;
        };
        if (std::any_of(taken.begin(), taken.end(), overlaps)) continue;
        taken.push_back(box);
        SetTextColour(s, MakeColour(0, 0, 0));
        TextOut(s, label.x + 1, label.y + 1, name);
        SetTextColour(s, MakeColour(255, 255, 210));
        TextOut(s, label.x, label.y, name);
    }
    SetTextAlign(s, TA_LEFT | TA_TOP);
}

static void DrawFrame() {
    uint32_t* pixels = SurfacePixels(screen.frame);
    int stride = SurfaceStride(screen.frame);
    FlybyCamera camera = FlybyCameraFor(flyby, flybyGrids);
    auto started = std::chrono::steady_clock::now();
    RenderFlybyFrame(flybyGrids, flybyArt, camera, flybyDisplay, flyby.skyOffset, pixels, screen.width, screen.height, stride);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    screen.times.renderMs += ms;
    screen.times.worstRenderMs = std::max(screen.times.worstRenderMs, ms);
    if (flybyDisplay.names) DrawNameTexts(camera);
    if (flybyDisplay.instruments) DrawCockpit(pixels, stride);
    ShowFrame();
    DrawFlybyPanel(flyby, flybyGrids, screen.panelAll);
    screen.panelAll = 0;
}

static void FlyOneFrame() {
    auto started = std::chrono::steady_clock::now();
    if (ReadFlybyControls(&flyby, flybyArt.skyWidth)) {
        screen.leaveCode = 0;
        return;
    }
    AdvanceFlyby(&flyby, FlybyGroundUnder(flybyGrids, flyby.x, flyby.y), flybyControls.climb, flybyArt.skyWidth);
    KeepFlybyInsideWorld(&flyby);
    TakeFlybyPreparation();
    if (FlybyWindowNeeded(flyby, flybyGrids)) StartFlybyPreparation();
    DrawFrame();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    FrameTimes& t = screen.times;
    if (!t.frames) t.firstTick = TickCount();
    t.lastTick = TickCount();
    t.frames++;
    t.totalMs += ms;
    t.worstMs = std::max(t.worstMs, ms);
}

// Frame n is due 1000 n / 60 ms after the count began.
static uint32_t FrameDue(uint32_t start, int n) { return start + (uint32_t)((n * 1000LL + 59) / 60); }

// After a frame: when the next one is already due (a slow frame, a panel, the manual) the count
// starts afresh with a frame at once, rather than racing to catch up or waiting a whole period.
// "At once" leaves 2 ms so that input waiting in the toolkit is still taken first.
static uint32_t NextFrameDue(uint32_t* start, int* frame) {
    uint32_t due = FrameDue(*start, *frame), now = TickCount();
    if ((int32_t)(due - now) >= 2) return due;
    *start = now + 2;
    *frame = 0;
    return *start;
}

// With MUNDORA_FRAME_TIMES set, the flight's frame costs go to the standard error at its end.
static void ReportFrameTimes() {
    const FrameTimes& t = screen.times;
    if (!getenv("MUNDORA_FRAME_TIMES") || !t.frames) return;
    double seconds = (t.lastTick - t.firstTick) / 1000.0;
    fprintf(stderr,
            "flyby: %d frames in %.1f s (%.1f a second), work per frame mean %.2f ms, worst %.2f ms; "
            "the terrain alone mean %.2f ms, worst %.2f ms\n",
            t.frames, seconds, seconds > 0 ? (t.frames - 1) / seconds : 0.0, t.totalMs / t.frames, t.worstMs,
            t.renderMs / t.frames, t.worstRenderMs);
}

// [SECTION] Buttons

static void Leave(int id, int code) {
    DrawButton(id, 1);
    screen.leaveCode = code;
}

// The screen's own background again after the picker or the manual drew over it.
static void RestoreBackground() {
    LoadBMPToBackground("menu\\flymain.bmp");
    if (WindowSurface() && hbmVirtual) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    DrawButton(4, 1);
    RedrawButtons(8);
}

static void RedrawWhole() {
    Rect whole{0, 0, screenWidth, screenHeight};
    InvalidateWindow(&whole);
    screen.panelAll = 1;
}

// The manual or the "about" text over the flyby; then the flight again, or the 2D map when a
// map link was followed.
static void FlybyManual(int id, const char* file, const char* index) {
    if (id) FlashButton(id);
    int result = ShowManualScreen(8, file, index, nullptr, nullptr);
    screenMode = 8;
    LoadBMPToBackground("menu\\flymain.bmp");
    DrawButton(4, 1);
    if (result == kManualMapLink) {
        screen.leaveCode = 3;
        return;
    }
    RedrawWhole();
}

static void FlipJoystick() {
    FlashButton(45);
    if (flybyControls.joystick) {
        flybyControls.joystick = 0;
        options.joystickOn = 0;
        return;
    }
    options.joystickOn = (uint8_t)StartFlybyJoystick();
}

static void FlipNames() {
    FlashButton(46);
    namesOn3D = !namesOn3D;
    flybyDisplay.names = namesOn3D ? 1 : 0;
}

static void DisplayOptions() {
    DrawButton(44, 1);
    FlybyDisplayOptions();
    namesOn3D = flybyDisplay.names ? 1 : 0;
    DrawButton(44, 0);
    RedrawWhole();
}

static int PrepareAtStart();

// New Area: the picker again; Escape goes back to the flight where it was.
static void NewArea() {
    DrawButton(47, 1);
    FlybyFlight before = flyby;
    int leaveCode;
    int chosen = PickFlybyStart(&flyby, &leaveCode);
    RestoreBackground();
    DrawButton(47, 0);
    if (chosen) {
        if (!PrepareAtStart()) screen.leaveCode = 0;
    } else if (leaveCode >= 0) {
        screen.leaveCode = leaveCode;
    } else {
        flyby = before;
    }
    RedrawWhole();
}

// What the settings dialog changed: the panel's readout speaks in the units; the next frame
// shows the rest.
static void FlybySettingsApplied(int changes) {
    if (changes & (SETTINGS_UNITS | SETTINGS_GAMMA)) RedrawWhole();
}

// The frame under the product's name, on paper or into a file.
static void PrintFlybyView(int toFile) {
    if (toFile) ExportScreenImage(mapRect, "Mundora");
    else PrintScreenImage(mapRect, "Mundora");
    RedrawWhole();
}

static void FlybyButton(int id) {
    switch (id) {
    case 1: Leave(1, 3); return;
    case 2: Leave(2, 4); return;
    case 3: Leave(3, 7); return;
    case 5: Leave(5, 5); return;
    case 6: Leave(6, 1); return;
    case 4: PlayCue(CUE_ERROR); return;  // the screen's own tab
    case 8: ToggleHelpPrompts(); return;
    case 9: FlybyManual(9, "manual\\m_flyby.txt", "manual\\m_index.txt"); return;
    case 10: FlybyManual(10, "manual\\about.txt", nullptr); return;
    case 11: FlashButton(11); OpenAboutPage(); return;
    case 7: FlashButton(7); SettingsDialog(FlybySettingsApplied); return;
    case 12: FlashButton(12); PrintFlybyView(0); return;
    case 13: FlashButton(13); PrinterSetup(); return;
    case 14: StartDemonstration("manual\\flyby.rec"); return;
    case 95: MinimiseMainWindow(); return;
    case 44: DisplayOptions(); return;
    case 45: FlipJoystick(); return;
    case 46: FlipNames(); return;
    case 47: NewArea(); return;
    default: Beep(); return;
    }
}

// [SECTION] Messages between frames

static void HandleFlybyMessage(const Message& m) {
    int id;
    switch (m.kind) {
    case MSG_PAINT:
        DispatchMessage(m);  // the background, the tabs and the buttons of mode 8
        ShowFrame();
        screen.panelAll = 1;
        DrawFlybyPanel(flyby, flybyGrids, 1);
        break;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) ShowMainWindow();
        break;
    case MSG_MOUSEMOVE: ButtonHitTest(MessageX(m), MessageY(m), 8, &id); break;
    case MSG_LBUTTONDOWN:
        if (FlybyPanelClick(&flyby, MessageX(m), MessageY(m))) break;
        if (ButtonHitTest(MessageX(m), MessageY(m), 8, &id)) FlybyButton(id);
        break;
    case MSG_KEYDOWN:
        // F1 opens the manual as on the 2D map; every other key waits for the next frame.
        if (m.wParam == VK_F1) FlybyManual(0, "manual\\m_flyby.txt", "manual\\m_index.txt");
        else HoldFlybyKey((uint32_t)m.wParam);
        break;
    case MSG_COMMAND:
        if (m.wParam == CMD_PRINT || m.wParam == CMD_EXPORT) {
            PrintFlybyView(m.wParam == CMD_EXPORT);
            break;
        }
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        screen.leaveCode = 0;
        break;
    default: break;
    }
}

// [SECTION] Entering and leaving

// Cuts the window around the start point with the banner and progress bar; the flight then runs.
static int PrepareAtStart() {
    flyby.running = 0;
    flyby.vx = flyby.vy = 0;
    int ok = PrepareFlybyWindow(0);
    flyby.running = ok;
    return ok;
}

static int OpenFlybyScreen(int startX, int startY) {
    screen.leaveCode = -1;
    flybyControls.pendingKeys.clear();
    screen.times = FrameTimes{};
    flybyDisplay.names = namesOn3D ? 1 : 0;
    flybyControls.climb = 0;
    flyby.speed = 0;  // every visit starts at rest
    if (!flybyArt.loaded && !LoadFlybyArt(&flybyArt)) return 0;
    RedrawButtons(8);  // the two-state prompts button as it stands, over the picture's own look
    if (startX >= 0 && startY >= 0) {
        flyby.x = (float)startX, flyby.y = (float)startY;
        flyby.startChosen = 1;
    } else {
        int leaveCode;
        if (!PickFlybyStart(&flyby, &leaveCode)) {
            screen.leaveCode = leaveCode < 0 ? 0 : leaveCode;
            return 0;
        }
        RestoreBackground();
    }
    screen.width = mapRect.right - mapRect.left;
    screen.height = mapRect.bottom - mapRect.top;
    screen.frame = CreateSurface(screen.width, screen.height);
    if (!screen.frame) {
        ShowMessage("Cannot allocate flyby frame");
        return 0;
    }
    OpenFlybyPanel();
    LoadCockpit();
    if (!PrepareAtStart()) return 0;
    flybyControls.joystick = 0;
    if (options.joystickOn) options.joystickOn = (uint8_t)StartFlybyJoystick();
    screen.panelAll = 1;
    return 1;
}

static void CloseFlybyScreen() {
    StopFlybyPreparation();
    flyby.running = 0;
    flybyControls.joystick = 0;
    CloseFlybyPanel();
    if (screen.frame) DeleteSurface(screen.frame);
    screen.frame = nullptr;
    screen.cockpit.clear();
    screen.spans.clear();
    ReportFrameTimes();
}

int RunFlybyScreen(int startX, int startY) {
    if (!OpenFlybyScreen(startX, startY)) {
        CloseFlybyScreen();
        return screen.leaveCode < 0 ? 0 : screen.leaveCode;
    }
    // The first picture at once, before any key: the user sees where the flight begins.
    DrawFrame();
    uint32_t start = TickCount();
    int frame = 1;  // the next to draw; the first is on the screen
    uint32_t due = FrameDue(start, frame);
    while (screen.leaveCode < 0) {
        Message m;
        if (GetMessageUntil(&m, due)) {
            if (m.kind == MSG_QUIT) {
                PostQuitMessage((int)m.wParam);  // the shell's to act on
                screen.leaveCode = 0;
                break;
            }
            HandleFlybyMessage(m);
            // A place handed over by a later start leaves for the map there.
            if (TakeHandedOverPlace()) screen.leaveCode = kViewCodeHandedOverPlace;
            continue;
        }
        FlyOneFrame();
        frame++;
        due = NextFrameDue(&start, &frame);
    }
    CloseFlybyScreen();
    return screen.leaveCode;
}
