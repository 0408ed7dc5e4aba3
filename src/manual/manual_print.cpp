// Printing a manual text: every page a print job of its own, in black, laid out by the page
// renderer over the printer's whole page with the fonts of paper, until the text ends.
#include <vector>

#include "core/core.h"
#include "manual/manual.h"
#include "manual/manual_page.h"
#include "platform/files.h"

// Pages go out one job each (oneJob 0), or all in one document (a PDF export); an image
// surface keeps only the page numbered lastPage (or the last one).
static int PrintManualPages(Surface* printer, const std::vector<uint8_t>& text, int oneJob, int lastPage) {
    if (!printer) return 0;
    int dpiX, dpiY;
    SurfaceResolution(printer, &dpiX, &dpiY);
    static ManualPage page;  // large (its link table); one print at a time
    page = ManualPage{};
    page.area = Rect{0, 0, SurfaceWidth(printer), SurfaceHeight(printer)};
    ManualPrintFonts(dpiY, &page.fonts);
    page.search = "";
    page.black = 1;
    page.placeScale = dpiY / (double)ScreenLogicalDpi();
    ByteCursor cursor = MakeCursor(text.data(), text.size());
    int pages = 0;
    if (oneJob && !StartDocument(printer, "Mundora")) return 0;
    for (int more = CursorLeft(cursor) > 0; more && (lastPage < 0 || pages <= lastPage);) {
        if (!oneJob && !StartDocument(printer, "Mundora")) break;
        if (!StartPage(printer)) {
            if (!oneJob) EndDocument(printer);
            break;
        }
        if (!IsPrinterSurface(printer)) FillRect(printer, page.area, MakeColour(255, 255, 255));
        page.lineStep = ManualLineStep(printer, page.fonts);
        const uint8_t* before = cursor.p;
        more = RenderManualPage(printer, cursor, &page);
        EndPage(printer);
        if (!oneJob) EndDocument(printer);
        pages++;
        if (cursor.p == before) break;  // a page that took nothing would repeat for ever
    }
    if (oneJob) EndDocument(printer);
    return pages;
}

int PrintManualTextOn(Surface* printer, const std::vector<uint8_t>& text) { return PrintManualPages(printer, text, 0, -1); }

// Export, beyond the original design: the whole text as one PDF document, or the page shown
// as an A4 image at 300 dpi.
int ExportManualText(const std::vector<uint8_t>& text, int shownPage) {
    std::string path;
    if (!PickSaveFile("Export", "manual.pdf", "PDF document (*.pdf);;PNG image (*.png)", &path)) return 0;
    int png = path.size() > 4 && (path.compare(path.size() - 4, 4, ".png") == 0 || path.compare(path.size() - 4, 4, ".PNG") == 0);
    if (!png && (path.size() < 4 || (path.compare(path.size() - 4, 4, ".pdf") != 0 && path.compare(path.size() - 4, 4, ".PDF") != 0)))
        path += ".pdf";
    const int dpi = 300, width = (int)(210 / 25.4 * dpi), height = (int)(297 / 25.4 * dpi);
    Surface* page = png ? CreateSurface(width, height) : CreatePdfPrinter(path.c_str(), dpi, 0);
    if (!page) return 0;
    if (png) SetSurfaceResolution(page, dpi, dpi);
    int previous = SetCursorShape(CURSOR_WAIT);
    int pages = PrintManualPages(page, text, 1, png ? shownPage : -1);
    int ok = pages > 0 && (!png || SaveSurfacePng(page, path.c_str()));
    SetCursorShape(previous);
    DeleteSurface(page);
    if (!ok) ShowMessage("Cannot create file %s", path.c_str());
    return ok;
}

int PrintManualFile(const char* file) {
    std::vector<uint8_t> text;
    FILE* f = OpenDataFile(file, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", file);
        return 0;
    }
    uint8_t chunk[8192];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) text.insert(text.end(), chunk, chunk + n);
    fclose(f);
    Surface* printer = ShowPrintDialog();
    if (!printer) return 0;
    int previous = SetCursorShape(CURSOR_WAIT);
    int jobs = PrintManualTextOn(printer, text);
    SetCursorShape(previous);
    DeleteSurface(printer);
    return jobs > 0;
}
