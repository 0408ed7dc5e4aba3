// The statistics table on paper: every page a print job of its own, the rows of a page
// following from the printer's page height, and jobs going on while rows remain.
#include <gtest/gtest.h>

#include "core/core.h"
#include "platform/files.h"
#include "stats/stats_files.h"
#include "stats/stats_screen.h"

namespace {

std::string PdfText(const std::string& path) {
    std::string out;
    FILE* p = popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
    return out;
}

// The height of "X" in the table's font (Arial 9 points) on a printed page.
int PrintedRowHeight(const std::string& scratch, int dpi, int* pageHeight) {
    Surface* p = CreatePdfPrinter(scratch.c_str(), dpi, 0);
    StartDocument(p, "Mundora");
    StartPage(p);
    FontSpec f;
    f.family = "Arial";
    f.points = 9;
    f.dpi = dpi;
    SetFont(p, f);
    int h = TextExtent(p, "X").y;
    *pageHeight = SurfaceHeight(p);
    EndDocument(p);
    DeleteSurface(p);
    return h;
}

TEST(PrintTable, EveryPageIsAJobUntilTheRowsRunOut) {
    StatsRoot root;
    std::string vars;
    for (int k = 1; k <= kCountryVariables; k++) vars += "Variable_" + std::to_string(k) + "\r\n";
    ASSERT_TRUE(WriteTestText(root / "table/vars.inf", vars));
    std::vector<uint8_t> data = CountryDataBytes(kCountryRecords, [](int r, int k) { return DistinctValue(r, k); });
    for (int r = 0; r < kCountryRecords; r++) {
        std::string n = "Land " + std::to_string(r);
        size_t at = CountryNameOffset(r);
        std::fill(data.begin() + (long)at, data.begin() + (long)at + kCountryRecordNameBytes, 0);
        std::copy(n.begin(), n.end(), data.begin() + (long)at);
    }
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", data));
    int variables[4] = {14, 0, 0, 0};
    ASSERT_EQ(SetSelectionForRegion(0, variables), kCountryRecords);
    for (int dpi : {300, 150}) {
        SCOPED_TRACE(dpi);
        int Q = 0;
        int H = PrintedRowHeight(root / "scratch.pdf", dpi, &Q);
        ASSERT_GT(H, 0);
        // Rows start three rows down and stop before the one that would end within a row of the bottom.
        int rows = 0;
        for (int y = 3 * H; y < Q - H; y += H) rows++;
        int jobs = (kCountryRecords + rows - 1) / rows;
        TestClearShown();
        Surface* printer = CreatePdfPrinter((root / "table%d.pdf").c_str(), dpi, 0);
        EXPECT_EQ(PrintTableOn(printer), jobs);
        DeleteSurface(printer);
        ASSERT_EQ((int)TestPrintJobs().size(), jobs);
        EXPECT_EQ(TestPrintJobs()[0].title, "Mundora");
        std::string first = PdfText(TestPrintJobs()[0].path), last = PdfText(TestPrintJobs().back().path);
        EXPECT_NE(first.find("Country"), std::string::npos);
        EXPECT_NE(first.find("Land " + std::to_string(rows - 1) + " "), std::string::npos);
        EXPECT_EQ(first.find("Land " + std::to_string(rows) + " "), std::string::npos);
        EXPECT_NE(last.find("Land 260"), std::string::npos);
        EXPECT_NE(last.find("Land " + std::to_string((jobs - 1) * rows) + " "), std::string::npos);
    }
}

}  // namespace
