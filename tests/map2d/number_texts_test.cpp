// Number and angle texts: thousands separators and degrees-minutes-seconds with the carry.
#include <gtest/gtest.h>

#include "map2d/map2d.h"

TEST(NumberTexts, GroupedNumbers) {
    struct Case { double value; int decimals; const char* text; } cases[] = {
        {1234567.891, 2, "1,234,567.89"}, {999, 0, "999"}, {1000, 0, "1,000"}, {12345.678, 1, "12,345.7"},
        {100, 0, "100"}, {123456, 0, "123,456"}, {169465530.4, 0, "169,465,530"}, {0.5, 3, "0.500"},
        {1234.5, 9, "1,234"}, {-1234567, 0, "-1,234,567"}, {-123, 0, "-123"}, {12.345678, 5, "12.34568"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatGrouped(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
}

TEST(NumberTexts, DegreesMinutesSeconds) {
    struct Case { double lat, lon; const char *latText, *lonText; } cases[] = {
        {0.5, -0.25, "0\xB0" "30'00\" N", "0\xB0" "15'00\" W"},
        {0.0, 0.0, "0\xB0" "00'00\" S", "0\xB0" "00'00\" W"},
        {-33.8568, 151.2153, "33\xB0" "51'24\" S", "151\xB0" "12'55\" E"},
        // 59.64 seconds carry only when the unrounded value reaches 60: printed as 60.
        {10.9999, -10.9999, "10\xB0" "59'60\" N", "10\xB0" "59'60\" W"},
        {89.99999, 179.999999, "89\xB0" "59'60\" N", "179\xB0" "59'60\" E"},
    };
    for (const Case& c : cases) {
        std::string lat, lon;
        formatDms(c.lat, c.lon, &lat, &lon);
        EXPECT_EQ(lat, c.latText) << c.lat;
        EXPECT_EQ(lon, c.lonText) << c.lon;
    }
}
