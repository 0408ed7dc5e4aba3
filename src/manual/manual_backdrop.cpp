// The screen behind the manual's text: a room page's own picture, or the screen the viewer
// was opened from with its buttons greyed out, the text backdrop over the map area and the
// viewer's control panel at the bottom left.
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"

// The tabs and the bottom row of buttons, greyed out whatever the screen (800x600 pixels).
static const Rect kAlwaysDimmed[] = {
    {255, 4, 350, 21}, {367, 4, 463, 21}, {480, 3, 603, 21}, {620, 3, 700, 21},
    {715, 3, 794, 21}, {249, 578, 646, 600}, {756, 578, 800, 600},
};
// The panel of each screen the viewer opens over.
static const Rect kMapPanel[] = {
    {695, 46, 797, 164}, {695, 190, 797, 307}, {695, 334, 797, 415}, {735, 416, 757, 429}, {704, 444, 787, 489},
    {695, 501, 797, 556}, {706, 556, 787, 565}, {762, 496, 775, 501}, {709, 495, 729, 501},
};
static const Rect kTerrainPanel[] = {
    {695, 47, 797, 165}, {695, 120, 797, 326}, {695, 351, 797, 404},
    {695, 416, 797, 462}, {706, 462, 787, 472}, {704, 485, 789, 559},
};
static const Rect kGlobePanel[] = {
    {695, 44, 797, 120}, {695, 143, 797, 269}, {695, 294, 797, 365}, {695, 452, 797, 536},
    {769, 538, 790, 559}, {706, 561, 786, 566}, {701, 547, 768, 560},
};
static const Rect kStatisticsPanel[] = {
    {694, 47, 796, 110}, {694, 129, 796, 222}, {694, 243, 796, 363}, {694, 374, 796, 468},
};
static const Rect kFlybyPanel[] = {
    {695, 45, 797, 140}, {704, 171, 788, 254}, {706, 270, 786, 334},
    {695, 349, 797, 441}, {695, 452, 797, 489}, {695, 509, 797, 553},
};

static int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

Rect ManualDimRect(const Rect& r, int small) {
    if (!small) return r;
    auto x = [](int v) { return Clamp((int)(Clamp(v, 0, 800) * 0.8), 0, 640); };
    auto y = [](int v) { return Clamp((int)(Clamp(v, 0, 600) * 0.8), 0, 480); };
    return Rect{x(r.left), y(r.top), x(r.right), y(r.bottom)};
}

void DimPixels(uint32_t* pixels, int stride, int width, int height, const Rect& r) {
    int left = Clamp(r.left, 0, width), right = Clamp(r.right, 0, width);
    int top = Clamp(r.top, 0, height), bottom = Clamp(r.bottom, 0, height);
    for (int y = top; y < bottom; y++) {
        uint32_t* row = pixels + (size_t)y * stride;
        for (int x = left; x < right; x++) {
            uint32_t p = row[x];
            uint32_t grey = (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 6;
            row[x] = 0xFF000000u | (grey << 16) | (grey << 8) | grey;
        }
    }
}

static void DimAll(Surface* image, const Rect* rects, int count) {
    for (int i = 0; i < count; i++)
        DimPixels(SurfacePixels(image), SurfaceStride(image), SurfaceWidth(image), SurfaceHeight(image),
                  ManualDimRect(rects[i], smallLayout));
}

#define DIM(table) DimAll(image, table, (int)(sizeof table / sizeof table[0]))

static void DimModePanel(Surface* image, int mode) {
    switch (mode) {
    case 3: DIM(kMapPanel); break;
    case 4: DIM(kTerrainPanel); break;
    case 5: DIM(kGlobePanel); break;
    case 7: DIM(kStatisticsPanel); break;
    case 8: DIM(kFlybyPanel); break;
    default: break;
    }
}

// A bitmap of the volume drawn at (x, y), no larger than w x h.
static void DrawArt(Surface* image, const char* name, int x, int y, int w, int h) {
    Surface* art = nullptr;
    if (!LoadBMPFromFile(name, &art)) return;
    Blit(image, x, y, SurfaceWidth(art) < w ? SurfaceWidth(art) : w, SurfaceHeight(art) < h ? SurfaceHeight(art) : h, art, 0, 0);
    DeleteSurface(art);
}

static void ShowWhole() {
    if (WindowSurface() && hbmVirtual) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
}

int PrepareManualBackdrop(int mode, const char* backdropFile) {
    if (backdropFile && *backdropFile) {
        int ok = LoadBMPToBackground(backdropFile);
        ShowWhole();
        return ok;
    }
    HelpPrompt(0, 1);
    Surface* window = WindowSurface();
    if (!window || !hbmVirtual) return 0;
    Surface* image = CreateSurface(screenWidth, screenHeight);
    if (!image) {
        ShowMessage("Cannot allocate bmpData[]");
        return 0;
    }
    Blit(image, 0, 0, screenWidth, screenHeight, window, 0, 0);
    DIM(kAlwaysDimmed);
    DimModePanel(image, mode);
    // The title strip left of the tabs as the screen keeps it, without a passing rollover.
    Rect title = ManualDimRect(Rect{0, 0, 250, 24}, smallLayout);
    Blit(image, 0, 0, title.right, title.bottom, hbmVirtual, 0, 0);
    if (smallLayout) {
        DrawArt(image, "menu\\textbak.bmp", 12, 31, 532, 399);
        DrawArt(image, "menu\\125.bmp", 0, 403, 172, 76);
    } else {
        DrawArt(image, "menu\\textbak.bmp", 16, 39, 665, 499);
        DrawArt(image, "menu\\125.bmp", 0, 504, 216, 96);
    }
    // Without an index its button is greyed out like the screen's own.
    if (!textHasIndex) {
        PanelButton* b = FindPanelButton(83);
        if (b) DimPixels(SurfacePixels(image), SurfaceStride(image), SurfaceWidth(image), SurfaceHeight(image),
                         Rect{b->x, b->y, b->x + b->w, b->y + b->h});
    }
    Blit(hbmVirtual, 0, 0, screenWidth, screenHeight, image, 0, 0);
    DeleteSurface(image);
    ShowWhole();
    return 1;
}
