// The statistics screen's value texts and the order of the table's four variables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stats/stats_screen.h"

namespace {

TEST(StatValueText, MillionsBillionsAndTrillionsFromTheirFirstValue) {
    // Population (14) has no decimals; the last whole number has separators.
    EXPECT_EQ(FormatStatValue(999999.0f, 14), "999,999");
    EXPECT_EQ(FormatStatValue(1000000.0f, 14), "1.00 million");
    EXPECT_EQ(FormatStatValue(1e9f, 14), "1.00 billion");
    EXPECT_EQ(FormatStatValue(1357380000.0f, 14), "1.36 billion");
    EXPECT_EQ(FormatStatValue(999.9e9f, 25), "999.90 billion");
    // 1e12 is not a float: the nearest one lies just below and stays in billions.
    EXPECT_EQ(FormatStatValue(1e12f, 25), "1000.00 billion");
    EXPECT_EQ(FormatStatValue(1.1e12f, 25), "1.100 trillion");
    EXPECT_EQ(FormatStatValue(17.4e12f, 25), "17.400 trillion");
    EXPECT_EQ(FormatStatValue(-2.5e6f, 32), "-2.50 million");
    EXPECT_EQ(FormatStatValue(-1234.0f, 32), "-1,234");
}

TEST(StatValueText, NotAvailableAndDecimalsByVariable) {
    EXPECT_EQ(FormatStatValue(-1.0f, 14), "N.A.");
    EXPECT_EQ(FormatStatValue(-1.005f, 1), "N.A.");
    EXPECT_EQ(FormatStatValue(-1.02f, 1), "-1.0");  // outside the marker's tolerance
    // Arable land (1) and the rates carry one decimal; areas (11) and people (14) none.
    EXPECT_EQ(FormatStatValue(12.345f, 1), "12.3");
    EXPECT_EQ(FormatStatValue(4512.66f, 16), "4,512.7");
    EXPECT_EQ(FormatStatValue(4512.66f, 11), "4,513");
    EXPECT_EQ(FormatStatValue(0.0f, 14), "0");
}

TEST(StatValueText, HoverReadout) {
    EXPECT_EQ(HoverReadoutText("India", 1251695584.0f, 14), "India: 1.25 billion");
    EXPECT_EQ(HoverReadoutText("Nauru", 9540.0f, 14), "Nauru: 9,540");
    EXPECT_EQ(HoverReadoutText("Chad", 35.4f, 16), "Chad: 35.4");
}

struct Slots {
    int s[4];
};
Slots After(Slots start, int variable) {
    UpdateTableVariables(start.s, variable);
    return start;
}
MATCHER_P4(SlotsAre, a, b, c, d, "") { return arg.s[0] == a && arg.s[1] == b && arg.s[2] == c && arg.s[3] == d; }

TEST(TableVariables, MostRecentFirstWithoutRepeats) {
    EXPECT_THAT(After({14, 0, 0, 0}, 14), SlotsAre(14, 0, 0, 0));   // the same variable twice
    EXPECT_THAT(After({14, 0, 0, 0}, 8), SlotsAre(8, 14, 0, 0));
    EXPECT_THAT(After({8, 14, 0, 0}, 26), SlotsAre(26, 8, 14, 0));
    EXPECT_THAT(After({26, 8, 14, 0}, 1), SlotsAre(1, 26, 8, 14));
    EXPECT_THAT(After({1, 26, 8, 14}, 5), SlotsAre(5, 1, 26, 8));    // the oldest drops out
    // Found again in the second, third or fourth slot: its old place is filled from the last.
    EXPECT_THAT(After({1, 26, 8, 14}, 1), SlotsAre(1, 8, 26, 0));    // S2 after the shift takes S4
    EXPECT_THAT(After({1, 26, 8, 14}, 26), SlotsAre(26, 1, 8, 0));   // S3
    EXPECT_THAT(After({1, 26, 8, 14}, 8), SlotsAre(8, 1, 26, 0));    // S4
    EXPECT_THAT(After({26, 8, 0, 0}, 8), SlotsAre(8, 26, 0, 0));
}

TEST(TableVariables, NeverAVariableTwice) {
    Slots s{{14, 0, 0, 0}};
    unsigned seed = 7;
    for (int step = 0; step < 500; step++) {
        seed = seed * 1103515245u + 12345u;
        s = After(s, 1 + (int)((seed >> 16) % 6));
        for (int i = 0; i < 4; i++)
            for (int j = i + 1; j < 4; j++)
                if (s.s[i]) ASSERT_NE(s.s[i], s.s[j]) << step;
        // Empty slots stay at the end.
        for (int i = 1; i < 4; i++)
            if (!s.s[i - 1]) ASSERT_EQ(s.s[i], 0) << step;
    }
}

}  // namespace
