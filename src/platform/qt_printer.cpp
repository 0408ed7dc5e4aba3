// Printers on Qt's print support: the desktop's print and page set-up dialogs, printer pages
// as drawing surfaces, print jobs with their pages, PDF files written through the same path,
// and the save-file dialog that export uses. Under test mode the dialogs are answered from the
// test double's queues and a chosen printer writes PDF files, so tests print for real.
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <deque>
#include <memory>

#include "platform/platform.h"
#include "platform/qt_private.h"
#include "platform/test_double.h"

struct PrinterPage {
    QPrinter* printer = nullptr;          // the desktop's printer, or `owned`
    std::unique_ptr<QPrinter> owned;
    QPainter painter;
    std::string title;
    std::string pathPattern;              // PDF printers: "%d" takes the job's number
    QString firstFile;                    // printing to a file: the name the user gave
    int jobs = 0;
    int pagesInJob = 0;
};

static struct {
    std::unique_ptr<QPrinter> desktop;    // kept for the run, so set-up and choice persist
    std::deque<TestPrinterChoice> choices;
} printing;

// Printing to a file offers the home folder, not the working folder (the read-only volume).
static QPrinter* DesktopPrinter() {
    if (!printing.desktop) {
        printing.desktop = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printing.desktop->setOutputFileName(QDir::home().filePath("mundora.pdf"));
    }
    return printing.desktop.get();
}

void TestPushPrinterChoice(const TestPrinterChoice& choice) { printing.choices.push_back(choice); }

static Surface* NewPrinterSurface(QPrinter* printer, std::unique_ptr<QPrinter> owned, const std::string& pattern) {
    Surface* s = new Surface();
    s->page = new PrinterPage();
    s->page->printer = printer;
    s->page->owned = std::move(owned);
    s->page->pathPattern = pattern;
    s->dpiX = printer->logicalDpiX();
    s->dpiY = printer->logicalDpiY();
    return s;
}

Surface* CreatePdfPrinter(const char* path, int dpi, int letter) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(dpi > 0 ? dpi : 300);
    printer->setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setOutputFileName(QString::fromLocal8Bit(path));
    QPrinter* p = printer.get();
    return NewPrinterSurface(p, std::move(printer), path);
}

Surface* ShowPrintDialog() {
    if (TestModeEnabled()) {
        if (printing.choices.empty()) return nullptr;
        TestPrinterChoice c = printing.choices.front();
        printing.choices.pop_front();
        return c.accept ? CreatePdfPrinter(c.pdfPath.c_str(), c.dpi, c.letter) : nullptr;
    }
    QPrinter* printer = DesktopPrinter();
    QPrintDialog dialog(printer, MainWidgetForDialogs());
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setWindowTitle("Print");
    FlushWindowDirty();
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    printer->setCopyCount(1);
    printer->setPrintRange(QPrinter::AllPages);
    return NewPrinterSurface(printer, nullptr, "");
}

void ShowPageSetupDialog() {
    if (TestModeEnabled()) {
        TestRecordPageSetup();
        return;
    }
    QPageSetupDialog dialog(DesktopPrinter(), MainWidgetForDialogs());
    FlushWindowDirty();
    dialog.exec();
}

void DeletePrinterPage(Surface* s) {
    if (s->page->painter.isActive()) s->page->painter.end();
    delete s->page;
    s->page = nullptr;
}

QPainter* PrinterPainter(Surface* s) { return s->page && s->page->painter.isActive() ? &s->page->painter : nullptr; }
int PrinterPageWidth(const Surface* s) { return s->page->printer->width(); }
int PrinterPageHeight(const Surface* s) { return s->page->printer->height(); }

static std::string JobPath(const PrinterPage* page) {
    std::string path = page->pathPattern;
    size_t at = path.find("%d");
    if (at != std::string::npos) path.replace(at, 2, std::to_string(page->jobs));
    return path;
}

// Printing to a file, a second job would overwrite the first: it goes to "name-2.pdf" and so on.
static void NumberFileOfJob(PrinterPage* page) {
    if (page->jobs == 1) {
        page->firstFile = page->printer->outputFileName();
        return;
    }
    QString name = page->firstFile;
    int dot = name.lastIndexOf('.');
    int slash = name.lastIndexOf('/');
    QString suffix = QString("-%1").arg(page->jobs);
    if (dot > slash) name.insert(dot, suffix);
    else name += suffix;
    page->printer->setOutputFileName(name);
}

int StartDocument(Surface* s, const char* title) {
    if (!s || !s->page) return s ? 1 : 0;
    PrinterPage* page = s->page;
    if (page->painter.isActive()) return 0;
    page->jobs++;
    page->pagesInJob = 0;
    page->title = title;
    page->printer->setDocName(QString::fromLocal8Bit(title));
    page->printer->setCreator(QString::fromLocal8Bit(title));
    if (!page->pathPattern.empty()) page->printer->setOutputFileName(QString::fromLocal8Bit(JobPath(page).c_str()));
    else if (page->printer->outputFormat() == QPrinter::PdfFormat) NumberFileOfJob(page);
    return page->painter.begin(page->printer) ? 1 : 0;
}

// The painter's first page opens with the document; each further page asks for a new sheet.
int StartPage(Surface* s) {
    if (!s || !s->page) return s ? 1 : 0;
    PrinterPage* page = s->page;
    if (!page->painter.isActive()) return 0;
    if (page->pagesInJob > 0 && !page->printer->newPage()) return 0;
    page->pagesInJob++;
    s->clipKind = 0;
    return 1;
}

int EndPage(Surface* s) { return s && (!s->page || s->page->painter.isActive()) ? 1 : 0; }

int EndDocument(Surface* s) {
    if (!s || !s->page) return s ? 1 : 0;
    PrinterPage* page = s->page;
    if (!page->painter.isActive()) return 0;
    int ok = page->painter.end() ? 1 : 0;
    if (TestModeEnabled()) TestRecordPrintJob(TestPrintJob{page->title, page->pagesInJob, JobPath(page)});
    return ok;
}

int PickSaveFile(const char* caption, const char* suggestedName, const char* filters, std::string* path) {
    if (TestModeEnabled()) {
        int answered = 0;
        *path = TestTakeSaveFileAnswer(&answered);
        return answered && !path->empty();
    }
    FlushWindowDirty();
    QString chosen = QFileDialog::getSaveFileName(MainWidgetForDialogs(), QString::fromLocal8Bit(caption),
                                                  QDir::home().filePath(QString::fromLocal8Bit(suggestedName)),
                                                  QString::fromLocal8Bit(filters));
    if (chosen.isEmpty()) return 0;
    QByteArray bytes = chosen.toLocal8Bit();
    *path = std::string(bytes.constData(), (size_t)bytes.size());
    return 1;
}
