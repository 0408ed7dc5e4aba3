// The panorama tool's observer set-up: a panel with the set's miniature where the observer is
// placed, the viewing direction, the field of view and the eye height, while the block shows
// which cells lie in the field of view (red) and which of those the observer sees (green).
// The observer is kept for the program's run.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/core.h"
#include "imaging/imaging.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

constexpr int kTitle = 24, kRowHeight = 20, kRows = 4;
constexpr double kTurnStep = 15.0;
constexpr int kFieldStep = 10;

static struct {
    Point at;
    std::string typed;  // eye height digits being typed
} setup;

Rect PanoramaMiniature() {
    return Rect{setup.at.x, setup.at.y + kTitle, setup.at.x + kMiniatureWidth, setup.at.y + kTitle + kMiniatureHeight};
}

Rect PanoramaRow(int row) {
    int top = setup.at.y + kTitle + kMiniatureHeight + 4 + row * kRowHeight;
    return Rect{setup.at.x, top, setup.at.x + kMiniatureWidth, top + kRowHeight - 2};
}

// [SECTION] Drawing

static void DrawObserverMark(Surface* w) {
    Rect m = PanoramaMiniature();
    int n = terrainView.gridSize;
    int x = m.left + (int)((terrainDraw.observerX + 0.5) * kMiniatureWidth / n);
    int y = m.top + (int)((terrainDraw.observerY + 0.5) * kMiniatureHeight / n);
    SetPen(w, PEN_SOLID, 1, MakeColour(255, 0, 0));
    MoveTo(w, x - 4, y), LineTo(w, x + 5, y);
    MoveTo(w, x, y - 4), LineTo(w, x, y + 5);
    // The viewing direction, clockwise from north (up).
    double d = terrainDraw.direction * M_PI / 180.0;
    MoveTo(w, x, y);
    LineTo(w, x + (int)std::lround(12 * std::sin(d)), y - (int)std::lround(12 * std::cos(d)));
}

static void DrawSetupPanel() {
    Surface* w = WindowSurface();
    if (!w) return;
    Rect last = PanoramaRow(kRows - 1);
    DrawTerrainPanelFrame(w, Rect{setup.at.x - 1, setup.at.y, setup.at.x + kMiniatureWidth + 1, last.bottom + 4}, "Observer");
    Rect m = PanoramaMiniature();
    DrawTerrainMiniature(w, m.left, m.top);
    DrawObserverMark(w);
    char text[4][40];
    snprintf(text[0], sizeof text[0], "-  Direction %d  +", (int)std::lround(terrainDraw.direction));
    snprintf(text[1], sizeof text[1], "-  Field %d  +", (int)std::lround(terrainDraw.fieldOfView));
    if (setup.typed.empty()) snprintf(text[2], sizeof text[2], "Eye height %d m", (int)std::lround(terrainDraw.eyeHeight));
    else snprintf(text[2], sizeof text[2], "Eye height %s_", setup.typed.c_str());
    snprintf(text[3], sizeof text[3], "Done");
    for (int row = 0; row < kRows; row++) DrawTerrainPanelRow(w, PanoramaRow(row), text[row], row == 2 && !setup.typed.empty(), 1);
}

// The strip under the map where the view from the observer is shown.
static Rect PanoramaStrip() { return smallLayout ? Rect{31, 386, 31 + 496, 386 + 56} : Rect{39, 483, 39 + 620, 483 + 70}; }

// The imagery as the observer sees it: the camera turned to the viewing direction, tilted 5
// degrees, centred on the point a third of the grid ahead and zoomed so that the eye sits at
// the observer; the block flattened as the eye rises. The camera is put back afterwards.
static void DrawPanoramaStrip() {
    int n = terrainView.gridSize;
    TerrainCamera saved = terrainCamera;
    double d = terrainDraw.direction * M_PI / 180.0, ahead = n / 3.0;
    double cx = terrainDraw.observerX + ahead * std::sin(d), cy = terrainDraw.observerY - ahead * std::cos(d);
    double distance = std::max(1.0, std::hypot(cx - terrainDraw.observerX, cy - terrainDraw.observerY));
    SetTerrainRotation(-terrainDraw.direction);
    terrainCamera.roll = 0;
    SetTerrainTilt(5);
    SetTerrainShift(0, -((mapRect.bottom - mapRect.top) / 2));
    SetTerrainZoom(900.0 / distance);
    SetTerrainExaggeration(std::max(1.0, (1.0 - terrainDraw.eyeHeight / 6000.0) * (saved.exaggeration - 1.0) + 1.0));
    SetTerrainCentre(cx, cy);
    terrainDraw.panoramaStrip = 1;
    terrainDraw.strip = PanoramaStrip();
    RenderTerrain(n, mapRect.left, mapRect.top, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
                  kTerrainPanoramaSetup, kTerrainShadingGain, "", 1, 0);
    terrainDraw.panoramaStrip = 0;
    ResetTerrainCentre();
    terrainCamera = saved;
}

static void Redisplay() {
    DrawTerrainView(kTerrainPanoramaSetup, 1);
    DrawPanoramaStrip();
    DrawSetupPanel();
}

// [SECTION] Changes

void PlaceObserver(int px, int py) {
    MiniatureCell(px, py, terrainView.gridSize, &terrainDraw.observerX, &terrainDraw.observerY);
    Redisplay();
}

void TurnObserver(double degrees) {
    double d = std::fmod(terrainDraw.direction + degrees, 360.0);
    terrainDraw.direction = d < 0 ? d + 360.0 : d;
    Redisplay();
}

void WidenField(int degrees) {
    terrainDraw.fieldOfView = std::clamp((int)std::lround(terrainDraw.fieldOfView) + degrees, kMinField, kMaxField);
    Redisplay();
}

void SetEyeHeight(long metres) {
    terrainDraw.eyeHeight = std::clamp(metres, (long)kMinEyeHeight, (long)kMaxEyeHeight);
    Redisplay();
}

// [SECTION] Input

static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A click on a row with halves: the left half steps down, the right half up.
static int Half(const Rect& r, int x) { return x < (r.left + r.right) / 2 ? -1 : 1; }

// 0 when the set-up ends.
static int SetupClick(int x, int y) {
    Rect m = PanoramaMiniature();
    if (Inside(m, x, y)) PlaceObserver(x - m.left, y - m.top);
    else if (Inside(PanoramaRow(0), x, y)) TurnObserver(Half(PanoramaRow(0), x) * kTurnStep);
    else if (Inside(PanoramaRow(1), x, y)) WidenField(Half(PanoramaRow(1), x) * kFieldStep);
    else if (Inside(PanoramaRow(3), x, y)) return 0;
    return 1;
}

static int SetupKey(uint32_t key) {
    switch (key) {
    case VK_ESCAPE: return 0;
    case VK_LEFT: TurnObserver(-kTurnStep); return 1;
    case VK_RIGHT: TurnObserver(kTurnStep); return 1;
    case VK_BACK:
        if (!setup.typed.empty()) setup.typed.pop_back();
        DrawSetupPanel();
        return 1;
    case VK_RETURN:
        if (setup.typed.empty()) {
            PlayCue(CUE_ERROR);
            return 1;
        }
        {
            long metres = std::strtol(setup.typed.c_str(), nullptr, 10);
            setup.typed.clear();
            SetEyeHeight(metres);
        }
        return 1;
    default: return 1;
    }
}

static void SetupCharacter(uint32_t c) {
    if (c < '0' || c > '9' || setup.typed.size() >= 5) return;
    setup.typed.push_back((char)c);
    DrawSetupPanel();
}

// [SECTION] The tool

static void RestoreScreen() {
    Surface* w = WindowSurface();
    if (w && hbmVirtual) Blit(w, 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    InvalidateWindow(nullptr);
}

int RunPanorama() {
    int n = terrainView.gridSize;
    double zoom = GetTerrainZoom(), exaggeration = GetTerrainExaggeration();
    ResetTerrainCameraWide();
    SetTerrainZoom(GetTerrainZoom() * 150.0 / n);
    SetTerrainExaggeration(GetTerrainExaggeration() * n / 150.0);
    terrainDraw.observerX = terrainDraw.observerY = n / 2;
    if (terrainDraw.fieldOfView < kMinField) terrainDraw.fieldOfView = 60;
    if (terrainDraw.eyeHeight < kMinEyeHeight) terrainDraw.eyeHeight = 100;
    setup.at = ChooserPanelPosition(546, 45);
    setup.typed.clear();
    int ok = DrawTerrainView(kTerrainPanoramaSetup, 1);
    if (ok) DrawPanoramaStrip(), DrawSetupPanel();
    for (int going = ok; going;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);
            break;
        }
        if (m.kind == MSG_LBUTTONDOWN) going = SetupClick(MessageX(m), MessageY(m));
        else if (m.kind == MSG_KEYDOWN) going = SetupKey((uint32_t)m.wParam);
        else if (m.kind == MSG_CHAR) SetupCharacter((uint32_t)m.wParam);
    }
    ResetTerrainCamera();
    SetTerrainZoom(zoom);
    SetTerrainExaggeration(exaggeration);
    RestoreScreen();
    SetWindowCaption(TerrainCaption(terrainView.displayType));
    DrawTerrainView(terrainView.displayType, 1);
    return ok;
}
