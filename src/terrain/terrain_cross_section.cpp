// The cross-section tool: a miniature of the set's imagery on a panel, a line drawn on it with
// the mouse, and the height profile along that line filled in the strip under the map with
// its highest and lowest heights. The block is seen from the wide viewpoint meanwhile.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/core.h"
#include "imaging/imaging.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

constexpr double kFeetPerMetre = 3.280839895013123;

static struct {
    Point at;           // the panel's top-left corner
    int drawing;        // the left button is down on the miniature
    Point from, to;     // the line's ends in window pixels
} section;

Rect CrossSectionMiniature() {
    return Rect{section.at.x, section.at.y + 24, section.at.x + kMiniatureWidth, section.at.y + 24 + kMiniatureHeight};
}

Rect CrossSectionStrip() { return smallLayout ? Rect{19, 374, 19 + 520, 374 + 80} : Rect{24, 468, 24 + 650, 468 + 100}; }

// The cell under the pixel's centre.
void MiniatureCell(int px, int py, int n, int* column, int* row) {
    *column = std::clamp((int)((px + 0.5) * n / kMiniatureWidth), 0, n - 1);
    *row = std::clamp((int)((py + 0.5) * n / kMiniatureHeight), 0, n - 1);
}

void CrossSectionProfile(int c0, int r0, int c1, int r1, int samples, std::vector<int>* heights) {
    heights->assign((size_t)std::max(samples, 0), 0);
    for (int i = 0; i < samples; i++) {
        double t = samples > 1 ? (double)i / (samples - 1) : 0;
        int c = (int)std::lround(c0 + t * (c1 - c0)), r = (int)std::lround(r0 + t * (r1 - r0));
        (*heights)[(size_t)i] = terrainBuffers.rows.height[r][c];
    }
}

std::string CrossSectionLabel(int metres) {
    char text[32];
    if (imperialUnits) snprintf(text, sizeof text, "%d %s ", (int)(metres * kFeetPerMetre), "ft");
    else snprintf(text, sizeof text, "%d %s ", metres, "m");
    return text;
}

// [SECTION] Drawing

void DrawTerrainMiniature(Surface* w, int left, int top) {
    int n = terrainView.gridSize;
    const TerrainRows& rows = terrainBuffers.rows;
    for (int y = 0; y < kMiniatureHeight; y++)
        for (int x = 0; x < kMiniatureWidth; x++) {
            int c, r;
            MiniatureCell(x, y, n, &c, &r);
            SetPixel(w, left + x, top + y, MakeColour(rows.red[r][c], rows.green[r][c], rows.blue[r][c]));
        }
}

static void DrawMiniature() {
    Surface* w = WindowSurface();
    if (!w) return;
    DrawTerrainPanelFrame(w, Rect{section.at.x - 1, section.at.y, section.at.x + kMiniatureWidth + 1,
                                  section.at.y + 24 + kMiniatureHeight + 1}, "Cross-Section");
    Rect m = CrossSectionMiniature();
    DrawTerrainMiniature(w, m.left, m.top);
}

static void DrawLine(Point a, Point b) {
    Surface* w = WindowSurface();
    if (!w) return;
    SetRasterOp(w, ROP_XOR);
    SetPen(w, PEN_SOLID, 1, MakeColour(255, 255, 255));
    MoveTo(w, a.x, a.y);
    LineTo(w, b.x, b.y);
    SetRasterOp(w, ROP_COPY);
}

static void DrawProfile() {
    Surface* w = WindowSurface();
    if (!w) return;
    Rect s = CrossSectionStrip(), m = CrossSectionMiniature();
    int width = s.right - s.left, height = s.bottom - s.top, n = terrainView.gridSize;
    int c0, r0, c1, r1;
    MiniatureCell(section.from.x - m.left, section.from.y - m.top, n, &c0, &r0);
    MiniatureCell(section.to.x - m.left, section.to.y - m.top, n, &c1, &r1);
    std::vector<int> h;
    CrossSectionProfile(c0, r0, c1, r1, width, &h);
    int low = *std::min_element(h.begin(), h.end()), high = *std::max_element(h.begin(), h.end());
    double range = high > low ? high - low : 1;
    std::vector<Point> outline{{s.left, s.bottom - 1}};
    for (int i = 0; i < width; i++) outline.push_back(Point{s.left + i, s.bottom - 1 - (int)((h[(size_t)i] - low) / range * (height - 16))});
    outline.push_back(Point{s.right - 1, s.bottom - 1});
    FillRect(w, s, MakeColour(0, 0, 0));
    SetPen(w, PEN_SOLID, 1, MakeColour(0, 200, 0));
    SetSolidBrush(w, MakeColour(0, 120, 0));
    PolygonShape(w, outline.data(), (int)outline.size());
    FontSpec font;
    font.pixelHeight = smallLayout ? 9 : 11;
    SetFont(w, font);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_RIGHT | TA_TOP);
    TextOut(w, s.right - 2, s.top + 1, CrossSectionLabel(high).c_str());
    SetTextAlign(w, TA_RIGHT | TA_BOTTOM);
    TextOut(w, s.right - 2, s.bottom - 1, CrossSectionLabel(low).c_str());
    SetTextAlign(w, TA_LEFT | TA_TOP);
    TextOut(w, s.left + 2, s.top + 1, "Start");
}

// [SECTION] The tool

static int InsideRect(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

static Point ClampedToMiniature(int x, int y) {
    Rect m = CrossSectionMiniature();
    return Point{std::clamp(x, m.left, m.right - 1), std::clamp(y, m.top, m.bottom - 1)};
}

// 0 when the tool ends.
static int SectionMessage(const Message& m) {
    int x = MessageX(m), y = MessageY(m);
    switch (m.kind) {
    case MSG_KEYDOWN: return m.wParam != VK_ESCAPE;
    case MSG_LBUTTONDOWN:
        if (!InsideRect(CrossSectionMiniature(), x, y)) return 0;
        DrawMiniature();
        section.drawing = 1;
        section.from = section.to = Point{x, y};
        return 1;
    case MSG_MOUSEMOVE:
        if (!section.drawing) return 1;
        DrawLine(section.from, section.to);
        section.to = ClampedToMiniature(x, y);
        DrawLine(section.from, section.to);
        return 1;
    case MSG_LBUTTONUP:
        if (!section.drawing) return 1;
        section.drawing = 0;
        section.to = ClampedToMiniature(x, y);
        DrawProfile();
        return 1;
    default: return 1;
    }
}

static void RestoreScreen() {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    InvalidateWindow(nullptr);
}

int RunCrossSection() {
    int n = terrainView.gridSize;
    double zoom = GetTerrainZoom(), exaggeration = GetTerrainExaggeration();
    ResetTerrainCameraWide();
    SetTerrainZoom(GetTerrainZoom() * 150.0 / n);
    SetTerrainExaggeration(GetTerrainExaggeration() * n / 150.0);
    int ok = DrawTerrainView(terrainView.displayType, 1) && LoadTerrainDerivedLayers(n);
    section.at = ChooserPanelPosition(546, 45);
    section.drawing = 0;
    if (ok) DrawMiniature();
    for (;;) {
        Message m;
        if (!ok) break;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);
            break;
        }
        if (m.kind == MSG_PAINT) continue;  // the whole screen is put back on leaving
        if (!SectionMessage(m)) break;
    }
    ResetTerrainCamera();
    SetTerrainZoom(zoom);
    SetTerrainExaggeration(exaggeration);
    RestoreScreen();
    DrawTerrainView(terrainView.displayType, 1);
    return ok;
}
