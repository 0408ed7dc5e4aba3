// The 2D map's part of a printed page: the window widened to keep the screen's scale, the map
// re-rendered at printer resolution (background, vector layers at the line thickness, place
// names at their point sizes on paper), and the notes under the image: imagery credit, scale,
// surface area, scale bar and the legend of the vector layers.
#include <algorithm>
#include <cstring>

#include "core/core.h"
#include "map2d/measurement.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "print/print_internal.h"

static constexpr ColourRef kBlack = MakeColour(0, 0, 0);

void KeepScreenScale(int imageWidth, int dpiX) {
    double f = SameScaleFactor(imageWidth, dpiX, MapScale(), WindowWidthMetres());
    zoomHistory[zoomDepth] = ScaleWindowAboutCentre(CurrentMapWindow(), f);
    if (!printOptions.imagery) return;
    DiscardScreenCache(zoomDepth);
    ComposeMapBackground();
}

void RestoreScreenWindow(const MapWindow& saved) {
    zoomHistory[zoomDepth] = saved;
    if (!printOptions.imagery) return;
    DiscardScreenCache(zoomDepth);
    ComposeMapBackground();
}

// Labels given in points for the screen (96 dpi) come out at their point size on paper.
int DrawRenderedMap(Surface* page, const PageLayout& l, const Surface* capture, const Rect& source, int dpi) {
    Surface* art = CreateSurface(l.imageWidth, l.imageHeight);
    if (!art) {
        ShowMessage("Cannot allocate hBitmap");
        return 0;
    }
    const Rect area{0, 0, l.imageWidth, l.imageHeight};
    if (printOptions.imagery)
        StretchBlit(art, 0, 0, l.imageWidth, l.imageHeight, capture, source.left, source.top,
                    source.right - source.left, source.bottom - source.top);
    else
        FillRect(art, area, MakeColour(255, 255, 255));
    if (printOptions.vectors) {
        int dpiX, dpiY;
        SurfaceResolution(page, &dpiX, &dpiY);
        long scale = (long)PaperScale(WindowWidthMetres(), l.imageWidth, dpiX);
        SetFontMagnification(art, dpi / 96.0);
        drawAborted = 0;
        VectorPassOptions pass;
        pass.thickness = printOptions.thickness;
        pass.ruleScale = (int32_t)std::min<long>(scale, 2000000000L);
        pass.describe = 0;
        DrawVectorLayersWith(art, area, pass);
        SetNamesScaleOverride(scale);
        if (!drawAborted) DrawPlaceNames(art, area);
        SetNamesScaleOverride(0);
        drawAborted = 0;
    }
    Blit(page, l.imageX, l.imageY, l.imageWidth, l.imageHeight, art, 0, 0);
    DeleteSurface(art);
    return 1;
}

// [SECTION] Notes under the image

static void DrawImageryCredit(Surface* page, const PageFonts& f, const PageLayout& l) {
    if (mapBackground != 0 || !(printOptions.imagery || printOptions.copyFromScreen)) return;
    std::string credit = "Satellite imagery \xA9 " + NoticeYearText(CurrentYear()) + " Pelandor, from NASA Blue Marble";
    ColourRef ink = printOptions.invert ? kBlack : MakeColour(128, 128, 128);
    DrawPageText(page, f.f7, TA_RIGHT | TA_BOTTOM, l.imageX + l.imageWidth, l.imageY + l.imageHeight, credit, ink);
}

// The status line's bar, scaled up for paper, outlined so that its white band shows on white.
static void DrawPaperScaleBar(Surface* page, const PageFonts& f, const PageLayout& l, int dpiY) {
    const MapWindow& w = CurrentMapWindow();
    double target = 0.25 * WindowWidthInUnit(w, measureUnits.distance, measureUnits.custom);
    ScaleBarChoice bar = ChooseScaleBar(target);
    int pixels = ScaleBarPixels(bar.length, target, l.imageWidth);
    if (pixels <= 0) return;
    int u = std::max(1, dpiY / 96);
    int centreX = l.imageX + l.imageWidth / 2, top = l.imageY + l.imageHeight + 2 * u;
    DrawScaleBar(page, centreX, top, pixels, bar.divisions, u);
    SetPen(page, PEN_SOLID, 1, kBlack);
    SetNullBrush(page);
    RectangleShape(page, centreX - pixels / 2, top, centreX - pixels / 2 + pixels, top + 5 * u);
    std::string label = " " + formatGrouped(bar.length, 0) + " " + DistanceUnitLabel(measureUnits.distance, measureUnits.custom) + " ";
    DrawPageText(page, f.f9, TA_CENTER | TA_TOP, centreX, top + 7 * u, label, kBlack);
}

static void DrawSampleLine(Surface* page, const VectorLayer& row, const LegendSlot& slot, int t) {
    ColourRef primary = MakeColour(row.red1, row.green1, row.blue1);
    int width1 = (row.width1 ? row.width1 : 1) * t;
    switch (row.lineStyle) {
    case 1: SetPen(page, PEN_DASH, t, primary); break;
    case 2: SetPen(page, PEN_DOT, t, primary); break;
    case 3: SetPen(page, PEN_DASHDOTDOT, t, primary); break;
    case 5:
        SetPen(page, PEN_SOLID, (row.width2 ? row.width2 : 1) * t, MakeColour(row.red2, row.green2, row.blue2));
        MoveTo(page, slot.x1, slot.y);
        LineTo(page, slot.x2, slot.y);
        SetPen(page, PEN_SOLID, width1, primary);
        break;
    default: SetPen(page, PEN_SOLID, width1, primary); break;
    }
    MoveTo(page, slot.x1, slot.y);
    LineTo(page, slot.x2, slot.y);
}

// The rows of the layer table that are on and are not grids or ticks, in table order. A
// theme gives one layer several rows for ranges of scale under one description; the legend
// names it once, with the first row's line.
static std::vector<int> LegendRows() {
    std::vector<int> rows;
    int n = LoadLayerTableWithSwitches();
    for (int i = 0; i < n; i++) {
        const VectorLayer& l = vectorLayers[i];
        if (!l.on || l.name[0] == '~' || l.name[0] == '*') continue;
        int named = 0;
        for (int k : rows) named |= !strcmp(vectorLayers[k].description, l.description);
        if (!named) rows.push_back(i);
    }
    return rows;
}

static void DrawLayerLegend(Surface* page, const PageFonts& f, const PageLayout& l) {
    Rect box{l.imageX, l.imageY + l.imageHeight + 2 * f.h9, l.imageX + l.imageWidth, l.available - f.h9};
    if (box.bottom <= box.top) return;
    SetFont(page, f.f9);
    Point x = TextExtent(page, "X");
    std::vector<int> rows = LegendRows();
    std::vector<Point> sizes;
    for (int i : rows) sizes.push_back(TextExtent(page, vectorLayers[i].description));
    std::vector<LegendSlot> slots = LayoutLegend(box, l.imageWidth, x.x, x.y, sizes);
    SetClipRect(page, box);
    SetPen(page, PEN_SOLID, 1, kBlack);
    SetNullBrush(page);
    RectangleShape(page, box.left, box.top, box.right, box.bottom);
    for (size_t k = 0; k < rows.size(); k++) {
        DrawSampleLine(page, vectorLayers[rows[k]], slots[k], printOptions.thickness);
        DrawPageText(page, f.f9, TA_LEFT | TA_TOP, slots[k].textX, slots[k].y - sizes[k].y / 2,
                     vectorLayers[rows[k]].description, kBlack);
    }
    ClearClip(page);
}

void DrawMapNotes(Surface* page, const PageFonts& f, const PageLayout& l, int dpiX, int dpiY) {
    DrawImageryCredit(page, f, l);
    int bottom = l.imageY + l.imageHeight;
    DrawPageText(page, f.f9, TA_RIGHT | TA_TOP, l.imageX + l.imageWidth, bottom,
                 PaperScaleText(WindowWidthMetres(), l.imageWidth, dpiX), kBlack);
    DrawPageText(page, f.f9, TA_LEFT | TA_TOP, l.imageX, bottom, StatusAreaText(measureUnits.area), kBlack);
    DrawPaperScaleBar(page, f, l, dpiY);
    int P = SurfaceWidth(page);
    if (l.available > P && (printOptions.vectors || printOptions.copyFromScreen)) DrawLayerLegend(page, f, l);
}
