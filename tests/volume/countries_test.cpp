// The country numbering: the properties every file that names countries by number relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "countries.h"
#include "statistics_build.h"

TEST(Countries, TableIsOneConsistentNumbering) {
    int n = 0;
    const Country* t = CountryTable(&n);
    ASSERT_GT(n, 240);
    ASSERT_LE(n, kMaxCountryNumber);
    std::set<std::string> names, iso2, iso3, factbook;
    for (int i = 0; i < n; i++) {
        SCOPED_TRACE(t[i].name);
        EXPECT_GE(t[i].number, 1);
        EXPECT_LE(t[i].number, kMaxCountryNumber);
        if (i > 0) {
            EXPECT_GT(t[i].number, t[i - 1].number);
        }
        size_t len = strlen(t[i].name);
        EXPECT_GT(len, 0u);
        EXPECT_LE(len, 61u);
        // The search lists a name cut at its first comma or quote.
        EXPECT_EQ(strpbrk(t[i].name, ",\"\r\n"), nullptr);
        EXPECT_EQ(RegionOfCountry(t[i].number), t[i].region) << "number " << t[i].number;
        EXPECT_TRUE(names.insert(t[i].name).second);
        EXPECT_TRUE(factbook.insert(t[i].factbook).second);
        EXPECT_TRUE(strlen(t[i].iso2) == 0 || strlen(t[i].iso2) == 2);
        EXPECT_TRUE(strlen(t[i].iso3) == 0 || strlen(t[i].iso3) == 3);
        EXPECT_EQ(strlen(t[i].iso2) == 0, strlen(t[i].iso3) == 0);
        EXPECT_EQ(CountryByNumber(t[i].number), &t[i]);
    }
}

TEST(Countries, LookupsByEachCode) {
    struct {
        const Country* found;
        const char* name;
    } cases[] = {
        {CountryByIso2("de"), "Germany"},
        {CountryByIso3("FRA"), "France"},
        {CountryByDcw("NO"), "Norway"},
        {CountryByDcw("XK"), "Kosovo"},
        {CountryByDcw("cn.hk"), "Hong Kong"},
        {CountryByFactbook("uk"), "United Kingdom"},
        {CountryByFactbook("rs"), "Russia"},
        {CountryByNaturalEarth("Dem. Rep. Congo"), "Democratic Republic of the Congo"},
        {CountryByNaturalEarth("United States of America"), "United States"},
        {CountryByName("japan"), "Japan"},
        {CountryByNumber(1), "Afghanistan"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.found, nullptr) << c.name;
        EXPECT_STREQ(c.found->name, c.name);
    }
    EXPECT_EQ(CountryByIso2(""), nullptr);
    EXPECT_EQ(CountryByIso2("QQ"), nullptr);
    EXPECT_EQ(CountryByNumber(0), nullptr);
    EXPECT_EQ(CountryByNumber(262), nullptr);
}
