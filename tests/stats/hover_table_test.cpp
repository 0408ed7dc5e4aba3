// The hover table: which country.inf lines make entries, the stop at the first bad palette
// index, the values read for the variable, and the table's release on missing files.
#include <gtest/gtest.h>

#include "stats_files.h"

namespace {

TEST(HoverTable, EntriesFromCountryInfoUntilTheFirstBadIndex) {
    StatsRoot root;
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(kCountryRecords, [](int r, int k) {
                                  return r == 9 ? -1.0f : DistinctValue(r, k);
                              })));
    std::string longName(90, 'n');
    ASSERT_TRUE(WriteTestText(root / "table/country.inf",
                              "1 0   1   Aland\r\n"
                              "1 260 253 Last record\n"
                              "1 9   5   No figure\n"
                              "1 4   6   \n"                 // a name of nothing: no country
                              "0 4   7   Flagged zero\n"
                              "1 3 8\n"                      // shorter than 10 characters
                              "1 270 9   Beyond the table\n"
                              "1 11  10  " + longName + "\r\n"
                              "1 12  300 Bad index\n"
                              "1 13  11  After the bad line\n"));
    ASSERT_EQ(BuildHoverTable(14), 1);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"palette index out of range"});
    struct Row {
        int index, record;
        const char* name;
        float value;
    } rows[] = {
        {1, 0, "Aland", DistinctValue(0, 14)},
        {253, 260, "Last record", DistinctValue(260, 14)},
        {5, 9, "No figure", -1},
        {6, 4, "", -1},
        {7, 0, "", -1},
        {8, 0, "", -1},
        {9, 270, "Beyond the table", -1},
        {10, 11, "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn", DistinctValue(11, 14)},
        {11, 0, "", -1},  // after the bad index nothing is read
    };
    for (const Row& row : rows) {
        const StatHoverEntry* e = HoverEntry(row.index);
        ASSERT_NE(e, nullptr) << row.index;
        EXPECT_EQ(e->record, row.record) << row.index;
        EXPECT_STREQ(e->name, row.name) << row.index;
        EXPECT_EQ(e->value, row.value) << row.index;
    }
    EXPECT_EQ(strlen(HoverEntry(10)->name), (size_t)kCountryDisplayName);
    EXPECT_EQ(HoverEntry(0), nullptr);
    EXPECT_EQ(HoverEntry(254), nullptr);

    // A rebuild for another variable clears what was there.
    ASSERT_TRUE(WriteTestText(root / "table/country.inf", "1 2   5   Only\n"));
    ASSERT_EQ(BuildHoverTable(34), 1);
    EXPECT_STREQ(HoverEntry(1)->name, "");
    EXPECT_STREQ(HoverEntry(5)->name, "Only");
    EXPECT_EQ(HoverEntry(5)->value, DistinctValue(2, 34));
    ReleaseHoverTable();
    EXPECT_EQ(HoverEntry(5), nullptr);
}

TEST(HoverTable, MissingFilesReleaseTheTable) {
    StatsRoot root;
    ASSERT_TRUE(WriteTestText(root / "table/country.inf", "1 2   5   Only\n"));
    struct Row {
        const char* missing;
        const char* message;
    } rows[] = {{"table/country.dat", "Cannot open file country.dat"}, {"table/country.inf", "Cannot open file country.inf"}};
    for (const Row& row : rows) {
        ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(3, DistinctValue)));
        ASSERT_EQ(BuildHoverTable(1), 1);
        ASSERT_NE(HoverEntry(5), nullptr);
        remove((root / row.missing).c_str());
        TestClearShown();
        EXPECT_EQ(BuildHoverTable(1), 0);
        EXPECT_EQ(HoverEntry(5), nullptr);
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{row.message});
    }
}

}  // namespace
