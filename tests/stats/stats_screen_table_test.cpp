// The statistics table on a window over hand-made country tables: the columns that fit, the
// clipboard text byte for byte, and the paging with its beeps at both ends.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/core.h"
#include "platform/files.h"
#include "stats/stats_files.h"
#include "stats/stats_screen.h"

namespace {

int64_t NoWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

struct TableScreen : ::testing::Test {
    StatsRoot root;
    Surface* savedVirtual = nullptr;
    char savedTemp[sizeof tempDir];
    void SetUp() override {
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(tempDir, sizeof tempDir, "%s", (root / "tmp").c_str());
        ASSERT_TRUE(MakeDirectories(tempDir));
        std::string vars;
        for (int k = 1; k <= kCountryVariables; k++) vars += "V" + std::to_string(k) + "\tlong_name\bof_it  \r\n";
        ASSERT_TRUE(WriteTestText(root / "table/vars.inf", vars));
        ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, NoWindowProc));
        smallLayout = 0;
        SetLayoutRectangles();
        savedVirtual = hbmVirtual;
        hbmVirtual = CreateSurface(800, 600);
        TestClearShown();
    }
    void TearDown() override {
        DestroyMainWindow();
        DeleteSurface(hbmVirtual);
        hbmVirtual = savedVirtual;
        memcpy(tempDir, savedTemp, sizeof tempDir);
    }
    // country.dat whose record r is named by `name` and holds DistinctValue, -1 where `missing`.
    template <typename N>
    void WriteCountries(N name, int missingRecord = -1, int missingVariable = 0) {
        std::vector<uint8_t> data = CountryDataBytes(kCountryRecords, [&](int r, int k) {
            return r == missingRecord && k == missingVariable ? kStatNotAvailable : DistinctValue(r, k);
        });
        for (int r = 0; r < kCountryRecords; r++) {
            std::string n = name(r);
            size_t at = CountryNameOffset(r);
            std::fill(data.begin() + (long)at, data.begin() + (long)at + kCountryRecordNameBytes, 0);
            std::copy(n.begin(), n.end(), data.begin() + (long)at);
        }
        ASSERT_TRUE(WriteTestFile(root / "table/country.dat", data));
    }
};

TEST_F(TableScreen, HeaderWordsKeepTheirUnderscoredSpacesTogether) {
    EXPECT_EQ(ColumnHeaderWords(3), (std::vector<std::string>{"V3", "long name", "of it"}));
}

TEST_F(TableScreen, ClipboardTextByteForByte) {
    std::vector<std::string> names = {"Aland", "Bolt"};
    int variables[2] = {14, 1};
    std::vector<std::vector<float>> values = {{1234567.0f, -1.0f}, {12.34f, -1.0005f}};
    EXPECT_EQ(TableClipboardText(names, variables, 2, values),
              "Country\tV14 long name of it\tV1 long name of it\n"
              "Aland\t1234567\t12.3\n"
              "Bolt\t\t\n");
    EXPECT_EQ(TableClipboardText(names, variables, 1, values), "Country\tV14 long name of it\nAland\t1234567\nBolt\t\n");
}

TEST_F(TableScreen, OnlyTheColumnsThatFitAreDrawnAndCopied) {
    // One very long name leaves room for fewer than the four variables.
    WriteCountries([](int r) { return r == 19 ? std::string(28, 'W') : "Land " + std::to_string(r); }, 27, 8);
    int variables[4] = {14, 8, 26, 11};
    ASSERT_EQ(SetSelectionForRegion(6, variables), 14);
    EXPECT_EQ(DrawStatisticsTable(), 0);  // fourteen rows: the last country is drawn
    std::vector<std::string> names;
    ASSERT_TRUE(ReadSelectionNames(&names));
    Surface* w = WindowSurface();
    FontSpec f;
    f.points = 9;
    f.dpi = ScreenLogicalDpi();
    SetFont(w, f);
    TableLayout t = LayoutTable(w, mapRect, names);
    ASSERT_GE(t.columns, 1);
    ASSERT_LT(t.columns, 4);
    EXPECT_LE(t.columnStart[t.columns - 1] + t.columnWidth[t.columns - 1] + 2 * t.x, mapRect.right);
    const std::string& clip = TestClipboardText();
    size_t firstLine = clip.find('\n');
    EXPECT_EQ(std::count(clip.begin(), clip.begin() + (long)firstLine, '\t'), t.columns);
    EXPECT_EQ(std::count(clip.begin(), clip.end(), '\n'), 15);
    // South Asia's fifth member is country 41, record 40: "Land 40" with its values.
    std::string row = "\nLand 40\t" + std::to_string((int)DistinctValue(40, 14));
    EXPECT_NE(clip.find(row), std::string::npos) << clip;
    // Record 27 (country 28) has no literacy: an empty field.
    if (t.columns >= 2) EXPECT_NE(clip.find("\nLand 27\t2714\t\n"), std::string::npos) << clip;
    EXPECT_FALSE(FileExists(TempPath("clpboard.tmp").c_str()));
    // The table went into the screen buffer, yellow on its dark green.
    EXPECT_EQ(GetPixel(hbmVirtual, mapRect.right - 2, mapRect.bottom - 2), MakeColour(40, 80, 87));
    EXPECT_EQ(GetPixel(WindowSurface(), mapRect.right - 2, mapRect.bottom - 2), MakeColour(40, 80, 87));
}

TEST_F(TableScreen, PagesThroughTheWorldWithBeepsAtBothEnds) {
    WriteCountries([](int r) { return "Land " + std::to_string(r); });
    int variables[4] = {14, 0, 0, 0};
    ASSERT_EQ(SetSelectionForRegion(0, variables), kCountryRecords);
    int rows = DrawStatisticsTable();
    ASSERT_GT(rows, 10);
    EXPECT_EQ(statTablePages.start[1], rows);
    int beeps = TestBeepCount();
    StepTablePage(-1);
    EXPECT_EQ(TestBeepCount(), beeps + 1);
    EXPECT_EQ(statTablePages.page, 0);
    int pages = 1;
    while (TestBeepCount() == beeps + 1 && pages < 25) {
        StepTablePage(1);
        if (TestBeepCount() == beeps + 1) pages++;
    }
    // The pages hold every country once: the last one starts where the rows run out.
    EXPECT_EQ(pages, (kCountryRecords + rows - 1) / rows);
    EXPECT_EQ(statTablePages.page, pages - 1);
    EXPECT_EQ(statTablePages.start[pages - 1], (pages - 1) * rows);
    EXPECT_NE(TestClipboardText().find("\nLand 260\t"), std::string::npos);
    StepTablePage(-1);
    EXPECT_EQ(statTablePages.page, pages - 2);
    EXPECT_EQ(TestBeepCount(), beeps + 2);
}

}  // namespace
