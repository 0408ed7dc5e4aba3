// The country data readers on hand-made tables: every field of country.dat read back by
// variable and record, the ranges over all records and over a selection, the selection of a
// region with its paging, the variable names and the two "not available" tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "stats_files.h"

namespace {

TEST(CountryData, VariableRangeReadsEveryFieldAndSkipsMissingValues) {
    StatsRoot root;
    // Records 3 and 7 carry no figure; -1.005 is within 0.01 of -1, -0.98 is a figure.
    auto value = [](int r, int k) {
        if (r == 3) return -1.0f;
        if (r == 7) return -1.005f;
        if (r == 260 && k == 2) return -0.98f;
        return DistinctValue(r, k);
    };
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(kCountryRecords, value)));
    for (int k = 1; k <= kCountryVariables; k++) {
        SCOPED_TRACE("variable " + std::to_string(k));
        float min = 1e8f, max = -1e8f;
        ASSERT_EQ(ReadVariableRange(k, &min, &max), kCountryRecords);
        for (int r = 0; r < kCountryRecords; r++) ASSERT_EQ(countryValues[r], value(r, k)) << r;
        EXPECT_EQ(min, k == 2 ? -0.98f : DistinctValue(0, k));
        EXPECT_EQ(max, k == 2 ? DistinctValue(259, k) : DistinctValue(260, k));
    }
    // The range is only ever widened.
    float min = -5e6f, max = 5e6f;
    ReadVariableRange(14, &min, &max);
    EXPECT_EQ(min, -5e6f);
    EXPECT_EQ(max, 5e6f);
    EXPECT_TRUE(TestShownMessages().empty());

    // A short file: the records it holds, the rest not available.
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(100, value)));
    min = 1e8f, max = -1e8f;
    EXPECT_EQ(ReadVariableRange(34, &min, &max), 100);
    EXPECT_EQ(countryValues[99], DistinctValue(99, 34));
    EXPECT_EQ(countryValues[100], -1.0f);
    EXPECT_EQ(max, DistinctValue(99, 34));
    // Variables outside 1..34 read nothing.
    EXPECT_EQ(ReadVariableRange(0, &min, &max), 0);
    EXPECT_EQ(ReadVariableRange(35, &min, &max), 0);
    EXPECT_TRUE(TestShownMessages().empty());

    // All missing: the range keeps its start values.
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(kCountryRecords, [](int, int) { return -1.0f; })));
    min = 1e8f, max = -1e8f;
    EXPECT_EQ(ReadVariableRange(5, &min, &max), kCountryRecords);
    EXPECT_EQ(min, 1e8f);
    EXPECT_EQ(max, -1e8f);

    remove((root / "table/country.dat").c_str());
    EXPECT_EQ(ReadVariableRange(5, &min, &max), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file table\\country.dat"});
}

TEST(CountryData, SelectionRangeOverTheRegionsCountries) {
    StatsRoot root;
    auto value = [](int r, int k) { return r % 11 == 0 ? -1.0f : DistinctValue(r, k) * (r % 2 ? 1 : -1); };
    ASSERT_TRUE(WriteTestFile(root / "table/country.dat", CountryDataBytes(kCountryRecords, value)));
    for (int region = 0; region < kStatRegions; region++) {
        int variables[4] = {0, 26, 0, 0};
        ASSERT_EQ(SetSelectionForRegion(region, variables), StatRegionInfo(region)->count);
        for (int k : {1, 26, 34}) {
            SCOPED_TRACE("region " + std::to_string(region) + " variable " + std::to_string(k));
            // The reference: the members' available values, straight from the table above.
            float lo = 9.9e13f, hi = -9.9e13f;
            const StatRegion* info = StatRegionInfo(region);
            for (int i = 0; i < info->count; i++) {
                float v = value(info->members[i] - 1, k);
                if (v != -1.0f) lo = std::min(lo, v), hi = std::max(hi, v);
            }
            float min = 0, max = 0;
            EXPECT_EQ(ReadSelectionRange(k - 1, &min, &max), info->count);
            EXPECT_EQ(min, lo);
            EXPECT_EQ(max, hi);
        }
    }
    // Only missing values: the start values stay, 9.9e13 as a single.
    int one[4] = {0, 0, 0, 1};
    SetSelectionForRegion(0, one);
    statSelection.countryCount = 2;
    statSelection.countries[0] = 1;
    statSelection.countries[1] = 12;
    float min = 0, max = 0;
    EXPECT_EQ(ReadSelectionRange(0, &min, &max), 2);
    EXPECT_EQ(min, 99000002805760.0f);
    EXPECT_EQ(max, -99000002805760.0f);
    // Without the file: the start values and 0, silently.
    remove((root / "table/country.dat").c_str());
    min = max = 0;
    EXPECT_EQ(ReadSelectionRange(0, &min, &max), 0);
    EXPECT_EQ(min, 9.9e13f);
    EXPECT_EQ(max, -9.9e13f);
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(CountryData, SelectionForRegion) {
    struct Row {
        int region;
        int variables[4];
        int count;                       // returned and stored
        std::vector<int> indices;        // 0-based variables stored
        int first, twentyNinth;          // countries[0] and countries[28] (0: not checked)
    } rows[] = {
        {0, {14, 0, 0, 0}, 261, {13}, 1, 29},
        {2, {3, 0, 7, 0}, 64, {2, 6}, 3, 59},   // 59 stands out of order in Africa's list
        {5, {1, 2, 33, 34}, 52, {0, 1, 32, 33}, 2, 0},
        {8, {0, 0, 0, 9}, 36, {8}, 7, 0},
        {9, {5, 0, 0, 0}, 0, {4}, 0, 0},        // no such region: an empty list
        {-1, {5, 6, 0, 0}, 0, {4, 5}, 0, 0},
        {1, {35, -2, 4, 0}, 18, {3}, 8, 0},     // numbers outside 1..34 count as none
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("region " + std::to_string(row.region));
        statTablePages.page = 7;
        statTablePages.start[3] = 40;
        statSelection.countryCount = 99;
        EXPECT_EQ(SetSelectionForRegion(row.region, row.variables), row.count);
        EXPECT_EQ(statSelection.countryCount, row.count);
        EXPECT_EQ(std::vector<int>(statSelection.variables, statSelection.variables + statSelection.variableCount), row.indices);
        if (row.first) {
            EXPECT_EQ(statSelection.countries[0], row.first);
        }
        if (row.twentyNinth) {
            EXPECT_EQ(statSelection.countries[28], row.twentyNinth);
        }
        if (row.count) {
            const StatRegion* info = StatRegionInfo(row.region);
            EXPECT_TRUE(std::equal(info->members, info->members + info->count, statSelection.countries));
        }
        EXPECT_EQ(statTablePages.page, 0);
        EXPECT_EQ(statTablePages.start[0], 0);
        for (int i = 1; i < kStatTablePages; i++) EXPECT_EQ(statTablePages.start[i], -1) << i;
    }

    // No variable at all: only the variable count changes.
    int none[4] = {0, 0, 0, 0};
    int some[4] = {4, 0, 0, 0};
    SetSelectionForRegion(6, some);
    statTablePages.page = 3;
    statTablePages.start[1] = 25;
    StatSelection before = statSelection;
    EXPECT_EQ(SetSelectionForRegion(1, none), 0);
    EXPECT_EQ(statSelection.variableCount, 0);
    EXPECT_EQ(statSelection.countryCount, before.countryCount);
    EXPECT_TRUE(std::equal(before.countries, before.countries + before.countryCount, statSelection.countries));
    EXPECT_EQ(statTablePages.page, 3);
    EXPECT_EQ(statTablePages.start[1], 25);
}

TEST(CountryData, VariableNamesFromTheirLines) {
    StatsRoot root;
    ASSERT_TRUE(WriteTestText(root / "table/vars.inf",
                              "Arable_Land\t%_of_Land_Area\r\n"
                              "Second line\n"
                              "\n"
                              "Fourth_Name with\tTabs\r"));
    struct Row {
        int variable;
        const char* name;
    } rows[] = {
        {1, "Arable Land % of Land Area"}, {2, "Second line"}, {3, ""}, {4, "Fourth Name with Tabs"},
        {5, "Mundora"},  // the file ends before
        {0, "Mundora"},   {35, "Mundora"},  {-3, "Mundora"},
    };
    for (const Row& row : rows) EXPECT_EQ(ReadVariableName(row.variable), row.name) << row.variable;
    remove((root / "table/vars.inf").c_str());
    EXPECT_EQ(ReadVariableName(1), "Mundora");
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST(CountryData, NotAvailableOnScreenAndInTheClipboard) {
    struct Row {
        float v;
        int screen, clipboard;
    } rows[] = {
        {-1.0f, 1, 1},    {-1.0005f, 1, 1}, {-0.9995f, 1, 1}, {-1.005f, 1, 0}, {-0.995f, 1, 0},
        {-1.02f, 0, 0},   {-0.98f, 0, 0},   {0.0f, 0, 0},     {1.0f, 0, 0},    {NAN, 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(StatValueMissing(row.v), row.screen) << row.v;
        EXPECT_EQ(StatValueMissingInClipboard(row.v), row.clipboard) << row.v;
    }
}

}  // namespace
