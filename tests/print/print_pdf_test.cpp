// Printing for real, offscreen: the 2D map's page written through the printer's PDF output and
// read back with pdfinfo and pdftotext (one page of the chosen size, the title, the scale,
// the year, the legend), the same-scale page's scale on paper against the screen's, export to
// PNG, and the table and manual prints' pagination, one job a page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cmath>
#include <ctime>
#include <vector>

#include "app/window_fixture.h"
#include "core/core.h"
#include "map2d/vector_layers.h"
#include "manual/manual.h"
#include "manual/manual_page.h"
#include "names/labels.h"
#include "print/print.h"
#include "support/vector_layer_files.h"

namespace {

std::string Run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
    return out;
}

int HaveTool(const char* tool) { return !Run(std::string("command -v ") + tool).empty(); }

std::string PdfText(const std::string& path) { return Run("pdftotext -layout '" + path + "' - 2>/dev/null"); }
std::string PdfInfo(const std::string& path) { return Run("pdfinfo '" + path + "' 2>/dev/null"); }

// The denominator after "Scale = 1:" with its commas taken out; 0 when absent.
double ScaleInText(const std::string& text) {
    size_t at = text.find("Scale = 1:");
    if (at == std::string::npos) return 0;
    std::string digits;
    for (size_t i = at + 10; i < text.size() && (isdigit((unsigned char)text[i]) || text[i] == ','); i++)
        if (text[i] != ',') digits += text[i];
    return atof(digits.c_str());
}

int ThisYear() {
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    return t.tm_year + 1900;
}

struct PrintPdfTest : ::testing::Test {
    TempFolder folder;
    WindowFixture window;
    char savedRoot[sizeof dataRoot];
    void SetUp() override {
        if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils are not installed";
        window.Open();
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        options.monitorInches = 14;
        zoomHistory[1] = MapWindow{0, 40, 20, 50};
        zoomDepth = 1;
        screenMode = 3;
        mapBackground = 1;
        ResetLayerSwitches();
        ResetPrintOptions();
        std::string theme = "[Vector 2D Layers]\n"
                            "1,<BORDERS>\"National borders\"{255,000,000,000,000,000,0,01,00,000000000,000000000,0}\n"
                            "1,<RIV01>\"Rivers and streams\"{000,000,255,000,000,000,1,01,00,000000000,000000000,0}\n"
                            "1,<RIV02>\"Rivers and streams\"{000,000,255,000,000,000,1,01,00,000000000,000000000,0}\n"
                            "1,<~10>\"Grid 10 degrees\"{000,255,000,000,000,000,0,01,00,000000000,000000000,0}\n";
        ASSERT_TRUE(WriteTestText(folder / "theme1.dat", theme));
        VectorCellRecord line;
        line.cell = VectorCellNumber(35, 5);
        line.points = {{0, 5000}, {9999, 5000}};
        line.record = {60000, 2, 0, 0};
        for (const char* layer : {"BORDERS", "RIV01", "RIV02"}) ASSERT_TRUE(WriteTestVectorLayer(folder.path, layer, {line}));
        std::string names;
        for (int i = 0; i < 7; i++) names += "0\n";
        for (int k = 0; k < 18; k++) names += "300000000 12 255 255 255\n";
        ASSERT_TRUE(WriteTestText(folder / "names.dat", names));
        memset(labelSwitches, 0, sizeof labelSwitches);
        FillRect(hbmVirtual, Rect{0, 0, 800, 600}, MakeColour(20, 60, 140));
        FillRect(WindowSurface(), Rect{0, 0, 800, 600}, MakeColour(20, 60, 140));
        TestClearShown();
    }
    void TearDown() override {
        if (!window.made) return;
        ResetPrintOptions();
        ResetLayerSwitches();
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        window.Close();
    }
};

TEST_F(PrintPdfTest, MapPageHoldsTitleScaleYearAndLegend) {
    std::string pdf = folder / "map.pdf";
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDOK); });
    TestPushPrinterChoice(TestPrinterChoice{1, pdf, 300, 0});
    ASSERT_EQ(PrintCurrentView(mapRect, MapPrintTitle(mapBackground)), 1) << TestLastMessage();
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    ASSERT_EQ(TestPrintJobs().size(), 1u);
    EXPECT_EQ(TestPrintJobs()[0].title, "Mundora");
    EXPECT_EQ(TestPrintJobs()[0].pages, 1);
    std::string info = PdfInfo(pdf);
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("595 x 842 pts (A4)"), std::string::npos) << info;
    std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Shaded Relief"), std::string::npos) << text;
    EXPECT_NE(text.find("Scale = 1:"), std::string::npos);
    EXPECT_NE(text.find(NoticeYearText(ThisYear())), std::string::npos);
    EXPECT_NE(text.find("Surface area is"), std::string::npos);
    // The legend lists the drawn layers, not the grid.
    EXPECT_NE(text.find("National borders"), std::string::npos);
    // A layer of several rows is named once.
    size_t rivers = text.find("Rivers and streams");
    EXPECT_NE(rivers, std::string::npos);
    EXPECT_EQ(text.find("Rivers and streams", rivers + 1), std::string::npos);
    EXPECT_EQ(text.find("Grid 10 degrees"), std::string::npos);
    // Shaded relief carries no imagery credit.
    EXPECT_EQ(text.find("Pelandor"), std::string::npos);
}

TEST_F(PrintPdfTest, WorldViewOpensWithVectorsOff) {
    zoomDepth = 0;
    int shown = -1;
    TestPushDialogScript([&](Dialog* d) { shown = GetItemCheck(d, kPrintVectorsBox); });
    EXPECT_EQ(PrintCurrentView(mapRect, "Satellite Imagery"), 0);
    EXPECT_EQ(shown, 0);
    zoomDepth = 1;
    printOptions.vectors = 1;
    TestPushDialogScript([&](Dialog* d) { shown = GetItemCheck(d, kPrintVectorsBox); });
    PrintCurrentView(mapRect, "Satellite Imagery");
    EXPECT_EQ(shown, 1);
}

TEST_F(PrintPdfTest, CancelledDialogsPrintNothing) {
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDCANCEL); });
    EXPECT_EQ(PrintCurrentView(mapRect, "Elevation"), 0);
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDOK); });
    TestPushPrinterChoice(TestPrinterChoice{0, "", 300, 0});
    EXPECT_EQ(PrintScreenImage(mapRect, "3D View: Slope"), 0);
    EXPECT_TRUE(TestPrintJobs().empty());
}

TEST_F(PrintPdfTest, SameMapScaleKeepsTheScreensScaleOnPaper) {
    const MapWindow before = zoomHistory[1];
    double screenScale = MapScale();
    std::string pdf = folder / "scale.pdf";
    // Letter at 600 dpi this time; imagery off, so the map is not composed again.
    TestPushDialogScript([](Dialog* d) {
        TestDialogCommand(d, kPrintImageryBox);
        TestDialogCommand(d, kPrintSameScaleRadio);
        SetItemText(d, kPrintThicknessEdit, "3");
        TestDialogCommand(d, IDOK);
    });
    TestPushPrinterChoice(TestPrinterChoice{1, pdf, 600, 1});
    ASSERT_EQ(PrintCurrentView(mapRect, "Elevation"), 1);
    std::string info = PdfInfo(pdf);
    EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
    double paper = ScaleInText(PdfText(pdf));
    EXPECT_NEAR(paper / screenScale, 1.0, 0.01) << paper << " against " << screenScale;
    // The window of the screen is back as it was.
    EXPECT_EQ(zoomHistory[1].west, before.west);
    EXPECT_EQ(zoomHistory[1].east, before.east);
    EXPECT_EQ(zoomHistory[1].north, before.north);
    // The same surface area prints the screen's window, at another scale on paper.
    TestPushDialogScript([](Dialog* d) { TestDialogCommand(d, IDOK); });
    TestPushPrinterChoice(TestPrinterChoice{1, pdf, 600, 1});
    ASSERT_EQ(PrintCurrentView(mapRect, "Elevation"), 1);
    EXPECT_GT(std::fabs(ScaleInText(PdfText(pdf)) / screenScale - 1.0), 0.05);
}

TEST_F(PrintPdfTest, ImageryCreditAndTheEntireScreen) {
    mapBackground = 0;  // satellite imagery
    struct Case {
        const char* what;
        std::vector<int> clicks;
        int credit, scale;
    } cases[] = {
        {"re-rendered over imagery", {}, 1, 1},
        {"re-rendered without imagery", {kPrintImageryBox}, 0, 1},
        {"copied from the screen", {kPrintImageryBox, kPrintCopyBox}, 1, 1},
        {"the entire screen", {kPrintCopyBox, kPrintEntireBox}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetPrintOptions();
        std::string pdf = folder / "credit.pdf";
        TestPushDialogScript([&](Dialog* d) {
            for (int id : c.clicks) TestDialogCommand(d, id);
            TestDialogCommand(d, IDOK);
        });
        TestPushPrinterChoice(TestPrinterChoice{1, pdf, 150, 0});
        ASSERT_EQ(PrintCurrentView(mapRect, "Satellite Imagery"), 1);
        std::string text = PdfText(pdf);
        EXPECT_EQ(text.find("Pelandor") != std::string::npos, c.credit == 1) << text;
        EXPECT_EQ(text.find("Scale = 1:") != std::string::npos, c.scale == 1);
        EXPECT_EQ(text.find("Surface area is") != std::string::npos, c.scale == 1);
    }
}

TEST_F(PrintPdfTest, ScreenImagePrintHasNoMapNotes) {
    std::string pdf = folder / "globe.pdf";
    TestPushDialogScript([](Dialog* d) {
        // Off the map only the title and the inversion take part.
        EXPECT_EQ(TestItemEnabled(d, kPrintVectorsBox), 0);
        SetItemText(d, kPrintTitleEdit, "Avg. Temperature, degrees C (March)");
        TestDialogCommand(d, IDOK);
    });
    TestPushPrinterChoice(TestPrinterChoice{1, pdf, 300, 0});
    ASSERT_EQ(PrintScreenImage(mapRect, "Mundora"), 1) << TestLastMessage();
    std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Avg. Temperature, degrees C (March)"), std::string::npos) << text;
    EXPECT_EQ(text.find("Scale = 1:"), std::string::npos);
    EXPECT_EQ(text.find("Surface area"), std::string::npos);
}

TEST_F(PrintPdfTest, ExportWritesA4PngAt300DpiAndPdf) {
    std::string png = folder / "page.png";
    TestPushSaveFileAnswer(png);
    ASSERT_EQ(ExportCurrentView(mapRect, "Shaded Relief"), 1);
    std::vector<uint8_t> bytes = ReadTestFile(png);
    ASSERT_GT(bytes.size(), 24u);
    // The PNG header: width and height at bytes 16..23, big-endian.
    auto be32 = [&](size_t at) { return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]; };
    EXPECT_EQ(be32(16), 2480);
    EXPECT_EQ(be32(20), 3507);
    // A name without an ending becomes a PDF.
    std::string pdf = folder / "page";
    TestPushSaveFileAnswer(pdf);
    ASSERT_EQ(ExportScreenImage(mapRect, "Mundora"), 1);
    EXPECT_NE(PdfInfo(pdf + ".pdf").find("Pages:           1\n"), std::string::npos);
    // A cancelled save-file dialog writes nothing.
    EXPECT_EQ(ExportCurrentView(mapRect, "Shaded Relief"), 0);
}

// [SECTION] Pagination of the manual

// The step between lines of the printed body font, measured on a page as the print does.
int PrintedLineStep(const std::string& scratch, int* pageHeight) {
    Surface* p = CreatePdfPrinter(scratch.c_str(), 300, 0);
    StartDocument(p, "Mundora");
    StartPage(p);
    ManualFonts fonts;
    ManualPrintFonts(300, &fonts);
    int step = ManualLineStep(p, fonts);
    *pageHeight = SurfaceHeight(p);
    EndDocument(p);
    DeleteSurface(p);
    return step;
}

TEST_F(PrintPdfTest, ManualPrintsOneJobAPageUntilTheTextEnds) {
    int Q = 0;
    int step = PrintedLineStep(folder / "scratch.pdf", &Q);
    ASSERT_GT(step, 3);
    // Lines start 20 pixels down and the page ends once y reaches 20 pixels above the bottom.
    int perPage = 0;
    for (int y = 20; y < Q - 20; y += step) perPage++;
    struct Case {
        int lines, pages;
    } cases[] = {{1, 1}, {perPage, 1}, {perPage + 1, 2}, {3 * perPage + 5, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string text;
        for (int i = 0; i < c.lines; i++) text += "Line " + std::to_string(i) + "\r\n";
        std::vector<uint8_t> bytes(text.begin(), text.end());
        TestClearShown();
        Surface* printer = CreatePdfPrinter((folder / "manual%d.pdf").c_str(), 300, 0);
        EXPECT_EQ(PrintManualTextOn(printer, bytes), c.pages);
        DeleteSurface(printer);
        ASSERT_EQ((int)TestPrintJobs().size(), c.pages);
        for (const TestPrintJob& job : TestPrintJobs()) EXPECT_EQ(job.pages, 1);
        std::string last = PdfText(TestPrintJobs().back().path);
        EXPECT_NE(last.find("Line " + std::to_string(c.lines - 1)), std::string::npos);
    }
}

}  // namespace
