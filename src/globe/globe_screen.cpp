// The globe screen's loop (mode 5): entering and leaving, frames paced to about sixty a second
// while the globe turns or an overlay animates, and a blocking wait when the picture is still,
// so a still globe costs no processor time. Painting, the pointer and the tilt dial live here;
// the buttons and keys are in globe_commands.cpp.
#include <cmath>

#include "core/command_line.h"
#include "core/core.h"
#include "globe/globe_screen.h"
#include "globe/satellites.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"

GlobeScreenState globeScreen;

constexpr uint32_t kFrameMs = 16;
constexpr int kHandCursor = 107;

// [SECTION] Places on the panel

static Rect DialRect() { return smallLayout ? Rect{560, 364, 592, 426} : Rect{701, 455, 740, 533}; }
static Point DialCentre() { return smallLayout ? Point{592, 396} : Point{740, 496}; }
static Rect UnitsSwitchRect() { return smallLayout ? Rect{564, 104, 630, 114} : Rect{706, 131, 788, 143}; }
static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
static int OverlayShown() { return globeView.imageType == kGlobeOverlay && globeView.overlay != kOverlayNone; }

int TiltForBearing(double bearing) {
    if (bearing >= 337.5) return 0;
    if (bearing >= 292.5) return 1;
    if (bearing >= 247.5) return 2;
    if (bearing >= 202.5) return 3;
    return 4;
}

int DialTiltAt(int x, int y) {
    Point c = DialCentre();
    int dx = x - c.x, dy = y - c.y;
    if (dx == 0 && dy == 0) return -1;
    double bearing = std::atan2((double)dx, (double)-dy) * 180.0 / M_PI;
    if (bearing < 0) bearing += 360.0;
    return TiltForBearing(bearing);
}

// [SECTION] Frames

int GlobeAnimating() {
    if (!globeScreen.framesReady || std::fabs(globeView.rotationSpeed) < 0.001) return 0;
    return !globeView.rotationPaused || (globeView.imageType == kGlobeOverlay && !globeView.overlayFrozen);
}

static double WrapLongitude(double longitude) {
    double l = std::fmod(longitude + 180.0, 360.0);
    if (l < 0) l += 360.0;
    return l - 180.0;
}

void GlobeFrameStep() {
    int asked = globeScreen.redrawAsked;
    globeScreen.redrawAsked = 0;
    if (!asked && std::fabs(globeView.rotationSpeed) < 0.001) return;
    int animates = globeView.imageType == kGlobeOverlay && !globeView.overlayFrozen;
    // The months were stepped once a frame when frames came a few a second; at sixty a second
    // that would run five years a second, so each month stays kFramesPerMonth frames.
    if (animates && --globeScreen.monthFrames < 0) {
        StepOverlayMonth(globeView.rotationSpeed <= 0 ? 1 : -1);
        globeScreen.monthFrames = kFramesPerMonth - 1;
    }
    if (!globeView.rotationPaused) globeView.centreLongitude = WrapLongitude(globeView.centreLongitude + globeView.rotationSpeed);
    // One turn of the globe is one day of the satellites' clocks; turning east runs them forward.
    if (globeView.satDisplayOn && !globeView.rotationPaused) AdvanceSatelliteClocks(-globeView.rotationSpeed / 360.0 * 24.0);
    if (!globeScreen.framesReady || !(asked || !globeView.rotationPaused || animates)) return;
    DrawGlobe(WindowSurface(), mapRect.left, mapRect.top, globeView.centreLongitude, globeView.imageType);
}

// A deadline a little ahead of now at the least: a deadline already passed would return
// before the toolkit has had a chance to deliver input.
static uint32_t NextFrameTick(uint32_t previous) {
    uint32_t next = previous + kFrameMs, now = TickCount();
    if ((int32_t)(next - now) < 2) next = now + 2;
    return next ? next : 1;  // 0 means "no deadline"
}

// [SECTION] Painting and the pointer

void PaintGlobeScreen(const Rect& area) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
    RedrawButtons(5);
    DrawUnitsSwitch(5);
    DrawGlobeLegend();
    globeScreen.redrawAsked = 1;
}

static void SetHand(int on) {
    if (on == globeScreen.handCursor) return;
    globeScreen.handCursor = on;
    SetCursorShape(on ? kHandCursor : CURSOR_ARROW);
}

static void GlobeMouseMove(int x, int y) {
    int id;
    int overButton = ButtonHitTest(x, y, 5, &id);
    SetHand(overButton || Inside(DialRect(), x, y) || (!OverlayShown() && Inside(UnitsSwitchRect(), x, y)));
}

static void GlobeLeftClick(int x, int y) {
    if (Inside(DialRect(), x, y)) {
        int tilt = DialTiltAt(x, y);
        if (tilt >= 0) SetGlobeSizeAndTilt(globeView.size, tilt);
        return;
    }
    if (Inside(UnitsSwitchRect(), x, y)) {
        // While an overlay is shown the legend speaks of its own units, not of metres or feet.
        if (OverlayShown()) return;
        imperialUnits = !imperialUnits;
        DrawUnitsSwitch(5);
        DrawGlobeLegend();
        return;
    }
    int id;
    if (ButtonHitTest(x, y, 5, &id)) GlobeButton(id);
}

void HandleGlobeMessage(const Message& m) {
    switch (m.kind) {
    case MSG_PAINT: PaintGlobeScreen(m.paintRect); break;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) {
            ShowMainWindow();
            globeScreen.redrawAsked = 1;
        }
        break;
    case MSG_MOUSEMOVE: GlobeMouseMove(MessageX(m), MessageY(m)); break;
    case MSG_LBUTTONDOWN: GlobeLeftClick(MessageX(m), MessageY(m)); break;
    case MSG_KEYDOWN: GlobeKeyDown((uint32_t)m.wParam); break;
    case MSG_MOUSEWHEEL: GlobeWheel(MessageWheelDelta(m)); break;
    case MSG_CHAR: GlobeCharacter((uint32_t)m.wParam); break;
    case MSG_COMMAND:
        if (m.wParam == CMD_PRINT || m.wParam == CMD_EXPORT) {
            PrintGlobeView(m.wParam == CMD_EXPORT);
            break;
        }
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        globeScreen.leaveCode = 0;
        break;
    default: break;
    }
}

// [SECTION] Entering and leaving

static void ClearImageArea() {
    FillRect(WindowSurface(), mapRect, MakeColour(0, 0, 0));
    if (hbmVirtual) FillRect(hbmVirtual, mapRect, MakeColour(0, 0, 0));
}

// The view starts over on each visit; the month, the pause, the names and the satellites'
// switch are kept.
static void ResetGlobeView() {
    globeView.size = 2;
    globeView.tilt = 1;
    globeView.centreLongitude = 0;
    globeView.rotationSpeed = -1.0;
    globeView.imageType = kGlobeImagery;
    globeView.overlay = kOverlayNone;
    globeView.overlayFrozen = 0;
    globeView.floodMode = 0;
    globeView.floodLevel = 0;
}

// 0 when the buffers could not be allocated (the allocator has said why).
static int EnterGlobeScreen() {
    globeScreen = GlobeScreenState{0, 0, -1, 0};
    climateDataLoaded = 0;
    EnterGlobeLegendRange();
    ResetGlobeView();
    if (!AllocateGlobeBuffers(mapRect.right - mapRect.left, mapRect.bottom - mapRect.top)) return 0;
    globeScreen.framesReady = 1;
    LoadGlobeFilter(90.0 - 45.0 * globeView.tilt, GlobeFilterName(globeView.size, globeView.tilt).c_str(), 0, 0);
    LoadGlobeImageType(kGlobeImagery, 1, 0);
    // Each visit starts with the first group's file; the group index goes on from where it was.
    satelliteDataLoaded = LoadSatelliteGroup(satelliteGroups[0].elementFile) > 0;
    SetTextColour(globeBuffers.output, MakeColour(0, 255, 0));
    SetBackgroundMode(globeBuffers.output, BK_TRANSPARENT);
    ClearImageArea();
    RedrawButtons(5);
    DrawUnitsSwitch(5);
    globeScreen.redrawAsked = 1;
    DrawGlobeLegend();
    return 1;
}

static void LeaveGlobeScreen() {
    if (globeScreen.framesReady) ReleaseGlobeBuffers();
    globeScreen.framesReady = 0;
    globeView.floodMode = 0;
    RestoreGlobeLegendRange();
    climateDataLoaded = 0;
    ReleaseSatelliteGroup();
    satelliteDataLoaded = 0;
    SetHand(0);
}

int RunGlobeScreen() {
    // Without its buffers the globe has nothing to show and every button would only repeat
    // the failure: the user is taken straight back to where the globe was asked for.
    if (!EnterGlobeScreen()) {
        LeaveGlobeScreen();
        return 0;
    }
    uint32_t nextFrame = TickCount();
    while (globeScreen.leaveCode < 0) {
        if (globeScreen.redrawAsked || (GlobeAnimating() && (int32_t)(TickCount() - nextFrame) >= 0)) {
            GlobeFrameStep();
            nextFrame = NextFrameTick(nextFrame);
        }
        Message m;
        if (GlobeAnimating()) {
            if (!GetMessageUntil(&m, nextFrame)) continue;
        } else {
            GetMessage(&m);
        }
        if (m.kind == MSG_QUIT) {
            // The quit is the shell's to act on: handed back to the queue for its loop.
            PostQuitMessage((int)m.wParam);
            globeScreen.leaveCode = 0;
            break;
        }
        HandleGlobeMessage(m);
        // A place handed over by a later start leaves for the map there. Looking after every
        // message also finds one that came while a chooser or the manual ran its own loop.
        if (TakeHandedOverPlace()) globeScreen.leaveCode = kViewCodeHandedOverPlace;
    }
    int code = globeScreen.leaveCode;
    LeaveGlobeScreen();
    return code;
}
