// The country numbering: the properties every file that names countries by number relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "countries.h"

// The statistics screen's fixed region membership: a country must carry a number of its region.
static const std::set<int> regionNumbers[9] = {
    {},
    {8, 10, 12, 29, 33, 48, 53, 76, 82, 101, 170, 187, 188, 217, 222, 235, 247, 250},
    {3,   6,   22,  26,  31,  32,  38,  40,  42,  44,  46,  47,  54,  55,  65,  69,  71,  72,  74,  75,  81,  84,
     85,  89,  91,  99,  100, 103, 59,  124, 126, 136, 137, 138, 144, 145, 148, 153, 154, 155, 163, 164, 165, 174,
     175, 195, 198, 199, 205, 207, 209, 210, 215, 216, 221, 224, 230, 236, 237, 242, 256, 259, 260, 261},
    {1, 16, 18, 86, 112, 113, 115, 123, 125, 131, 132, 135, 180, 194, 206, 227, 229, 238, 239, 244, 248, 255, 258},
    {4,   13,  14,  19,  36,  50,  52,  56,  57,  78,  83,  107, 111, 120, 122, 127, 128, 146, 151, 157, 166,
     167, 171, 172, 176, 177, 182, 183, 185, 189, 190, 211, 214, 232, 233, 234, 241, 249, 253, 254, 257},
    {2,   5,   11,  15,  23,  24,  30,  37,  60,  62,  63,  64,  73,  77,  79,  80,  87,  88,  90,  92,  98,  104,
     108, 109, 114, 150, 116, 118, 121, 134, 139, 140, 141, 143, 149, 159, 160, 169, 179, 191, 192, 196, 204, 208,
     212, 213, 218, 223, 225, 226, 243, 245},
    {20, 28, 34, 39, 41, 110, 133, 147, 168, 181, 219, 220, 231, 251},
    {49, 96, 106, 119, 129, 130, 142, 158, 161, 178, 186, 197, 228},
    {7,   9,   17,  21,  25,  27,  35,  43,  45,  51,  58,  61,  66,  67,  68,  70,  93,  94,
     95,  97,  102, 105, 117, 152, 156, 162, 173, 184, 193, 200, 201, 202, 203, 240, 246, 252},
};

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
        ASSERT_GE(t[i].region, 1);
        ASSERT_LE(t[i].region, 8);
        EXPECT_TRUE(regionNumbers[t[i].region].count(t[i].number)) << "number " << t[i].number;
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
