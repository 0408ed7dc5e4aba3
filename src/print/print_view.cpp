// Printing a view: the options dialog, the printer, and one page holding the title, the
// screen image stretched into a black frame and the maker's notice; the 2D map adds its own
// notes (map_page.cpp). Export writes the same page to a PDF or PNG file instead.
#include <cctype>
#include <cstring>
#include <ctime>

#include "core/core.h"
#include "imaging/imaging.h"
#include "print/print_internal.h"

Surface* PickPrinter() { return ShowPrintDialog(); }
void PrinterSetup() { ShowPageSetupDialog(); }

const char* MapPrintTitle(int background) {
    switch (background) {
    case 0: return "Satellite Imagery";
    case 1: return "Shaded Relief";
    case 2: case 4: return "Elevation";
    case 3: return "Land Silhouette";
    default: return "Mundora";
    }
}

int CurrentYear() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

FontSpec PageFont(int points, int dpi) {
    FontSpec f;
    f.family = "Arial";
    f.points = points;
    f.dpi = dpi;
    return f;
}

int MeasurePageFonts(Surface* page, PageFonts* fonts) {
    int dpiX, dpiY;
    SurfaceResolution(page, &dpiX, &dpiY);
    fonts->f7 = PageFont(7, dpiY);
    fonts->f14 = PageFont(14, dpiY);
    fonts->f9 = PageFont(9, dpiY);
    const FontSpec* all[3] = {&fonts->f7, &fonts->f14, &fonts->f9};
    int* heights[3] = {&fonts->h7, &fonts->h14, &fonts->h9};
    for (int i = 0; i < 3; i++) {
        SetFont(page, *all[i]);
        *heights[i] = TextExtent(page, "This is a test: jgXIi").y;
        if (*heights[i] <= 0) {
            ShowMessage("Failed to create Font");
            return 0;
        }
    }
    return 1;
}

// The 800 x 600 capture as a surface, top row first.
Surface* CaptureAsSurface(int fromWindow, int invert) {
    std::vector<uint8_t> rows;
    if (!CaptureWindow(fromWindow, invert, &rows)) return nullptr;
    Surface* s = CreateSurface(kCaptureWidth, kCaptureHeight);
    if (!s) {
        ShowMessage("Cannot allocate hBitmap");
        return nullptr;
    }
    const int stride = kCaptureWidth * 3;
    for (int y = 0; y < kCaptureHeight; y++)
        DrawBgrImage(s, 0, y, rows.data() + (size_t)(kCaptureHeight - 1 - y) * stride, kCaptureWidth, 1, stride);
    return s;
}

void DrawPageText(Surface* page, const FontSpec& font, int align, int x, int y, const std::string& text, ColourRef colour) {
    SetFont(page, font);
    SetTextColour(page, colour);
    SetBackgroundMode(page, BK_TRANSPARENT);
    SetTextAlign(page, align);
    TextOut(page, x, y, text.c_str());
}

static void DrawImageFrame(Surface* page, const PageLayout& l, int dpi) {
    SetPen(page, PEN_SOLID, dpi >= 200 ? dpi / 200 : 1, MakeColour(0, 0, 0));
    SetNullBrush(page);
    RectangleShape(page, l.imageX, l.imageY, l.imageX + l.imageWidth, l.imageY + l.imageHeight);
}

static void DrawTitleAndNotice(Surface* page, const PageFonts& f, const PageLayout& l) {
    int P = SurfaceWidth(page), Q = SurfaceHeight(page);
    DrawPageText(page, f.f14, TA_CENTER | TA_TOP, P / 2, 0, printOptions.title, MakeColour(0, 0, 0));
    std::string notice = "Mundora \xA9 " + NoticeYearText(CurrentYear()) + " Orvek. All rights reserved.";
    DrawPageText(page, f.f7, TA_RIGHT | TA_BOTTOM, P, NoticeBottom(l, P, Q, f.h7), notice, MakeColour(0, 0, 0));
}

static Rect WholeScreen() { return Rect{0, 0, screenWidth, screenHeight}; }

int DrawViewPage(Surface* page, const Rect& source, int onMap) {
    if (!page) return 0;
    int dpiX, dpiY;
    SurfaceResolution(page, &dpiX, &dpiY);
    PageFonts fonts;
    if (!StartDocument(page, "Mundora")) return 0;
    if (!StartPage(page) || !MeasurePageFonts(page, &fonts)) {
        EndDocument(page);
        return 0;
    }
    const PrintOptions& o = printOptions;
    int copy = !onMap || o.copyFromScreen;
    int entire = onMap && o.copyFromScreen && o.entireScreen;
    Rect src = entire ? WholeScreen() : source;
    PageLayout l = LayoutPage(SurfaceWidth(page), SurfaceHeight(page), fonts.h7, fonts.h14, fonts.h9,
                              src.right - src.left, src.bottom - src.top);
    MapWindow saved = CurrentMapWindow();
    int rescaled = onMap && !copy && o.sameScale;
    if (rescaled) KeepScreenScale(l.imageWidth, dpiX);
    int ok = 1;
    Surface* capture = CaptureAsSurface(copy, o.invert);
    if (!capture) ok = 0;
    else if (onMap && !copy) ok = DrawRenderedMap(page, l, capture, src, dpiY);
    else StretchBlit(page, l.imageX, l.imageY, l.imageWidth, l.imageHeight, capture, src.left, src.top,
                     src.right - src.left, src.bottom - src.top);
    if (ok) {
        DrawImageFrame(page, l, dpiY);
        DrawTitleAndNotice(page, fonts, l);
        if (onMap && !entire) DrawMapNotes(page, fonts, l, dpiX, dpiY);
    }
    if (capture) DeleteSurface(capture);
    int ended = EndPage(page);
    ended = EndDocument(page) && ended;
    if (rescaled) RestoreScreenWindow(saved);
    return ok && ended;
}

// Prints through the dialogs: the options, then the printer.
static int PrintView(const Rect& source, const char* title, int onMap) {
    printOptions.title = title ? title : "Mundora";
    if (onMap && zoomDepth == 0) printOptions.vectors = 0;
    if (!PrintOptionsDialog(onMap)) return 0;
    Surface* printer = PickPrinter();
    if (!printer) return 0;
    int previous = SetCursorShape(CURSOR_WAIT);
    int ok = DrawViewPage(printer, source, onMap);
    SetCursorShape(previous);
    DeleteSurface(printer);
    return ok;
}

int PrintCurrentView(const Rect& source, const char* title) { return PrintView(source, title, 1); }
int PrintScreenImage(const Rect& source, const char* title) { return PrintView(source, title, 0); }

// [SECTION] Export

static int EndsWithNoCase(const std::string& s, const char* tail) {
    size_t n = strlen(tail);
    if (s.size() < n) return 0;
    for (size_t i = 0; i < n; i++)
        if (tolower((unsigned char)s[s.size() - n + i]) != tail[i]) return 0;
    return 1;
}

// An A4 page at 300 dpi as an image, white like paper.
static int ExportPng(const std::string& path, const Rect& source, int onMap) {
    const int width = (int)(210 / 25.4 * kExportDpi), height = (int)(297 / 25.4 * kExportDpi);
    Surface* page = CreateSurface(width, height);
    if (!page) {
        ShowMessage("Cannot allocate page (%dx%d)", width, height);
        return 0;
    }
    SetSurfaceResolution(page, kExportDpi, kExportDpi);
    FillRect(page, Rect{0, 0, width, height}, MakeColour(255, 255, 255));
    int ok = DrawViewPage(page, source, onMap);
    if (ok && !SaveSurfacePng(page, path.c_str())) {
        ShowMessage("Cannot create file %s", path.c_str());
        ok = 0;
    }
    DeleteSurface(page);
    return ok;
}

static int ExportPdf(const std::string& path, const Rect& source, int onMap) {
    Surface* page = CreatePdfPrinter(path.c_str(), kExportDpi, 0);
    int ok = DrawViewPage(page, source, onMap);
    if (page && !ok) ShowMessage("Cannot create file %s", path.c_str());
    DeleteSurface(page);
    return ok;
}

static int ExportView(const Rect& source, const char* title, int onMap) {
    std::string path;
    if (!PickSaveFile("Export", "mundora.pdf", "PDF document (*.pdf);;PNG image (*.png)", &path)) return 0;
    printOptions.title = title ? title : "Mundora";
    PrintOptions kept = printOptions;
    if (onMap && zoomDepth == 0) printOptions.vectors = 0;  // as the print button does
    int previous = SetCursorShape(CURSOR_WAIT);
    int ok = EndsWithNoCase(path, ".png") ? ExportPng(path, source, onMap)
           : ExportPdf(EndsWithNoCase(path, ".pdf") ? path : path + ".pdf", source, onMap);
    SetCursorShape(previous);
    printOptions = kept;
    return ok;
}

int ExportCurrentView(const Rect& source, const char* title) { return ExportView(source, title, 1); }
int ExportScreenImage(const Rect& source, const char* title) { return ExportView(source, title, 0); }
