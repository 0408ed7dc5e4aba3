// The arithmetic of a printed page against values worked out by hand: the image area for two
// page sizes and resolutions with wide and tall sources, the notice's place, the year text,
// the scale on paper, the factor that keeps the screen's scale, and the legend's columns.
#include <gtest/gtest.h>

#include "print/print.h"

namespace {

TEST(PageLayout, ImageAreaForPagesAndSources) {
    struct Case {
        const char* what;
        int P, Q, h7, h14, h9, srcW, srcH;
        PageLayout expected;  // x, y, width, height, available
    } cases[] = {
        // A4 at 300 dpi. Top 1.1 x 67 = 73.7 -> 73; available 3508 - 37 - 73 - 47 = 3351.
        // The map area 665 x 499: 499 / 665 x 2480 = 1860.93 -> 1860, full width.
        {"A4 300 dpi, map area", 2480, 3508, 34, 67, 43, 665, 499, {0, 73, 2480, 1860, 3351}},
        // A tall source would need 4960 rows: held to 3351, width 300 / 600 x 3351 = 1675.5 -> 1675,
        // centred: (2480 - 1675) / 2 = 402.
        {"A4 300 dpi, tall", 2480, 3508, 34, 67, 43, 300, 600, {402, 73, 1675, 3351, 3351}},
        // Letter at 600 dpi. Top 1.1 x 134 = 147.4 -> 147; available 6600 - 74 - 147 - 93 = 6286.
        // The whole screen 800 x 600: 0.75 x 5100 = 3825.
        {"Letter 600 dpi, whole screen", 5100, 6600, 68, 134, 85, 800, 600, {0, 147, 5100, 3825, 6286}},
        // 400 x 1000 needs 12750 rows: held to 6286, width 0.4 x 6286 = 2514.4 -> 2514, x 1293.
        {"Letter 600 dpi, tall", 5100, 6600, 68, 134, 85, 400, 1000, {1293, 147, 2514, 6286, 6286}},
        // Landscape A4: 2480 - 37 - 73 - 47 = 2323 rows; the map area would need 2632, so its
        // width becomes 665 / 499 x 2323 = 3095.8 -> 3095, centred at (3508 - 3095) / 2 = 206.
        {"A4 landscape, map area", 3508, 2480, 34, 67, 43, 665, 499, {(3508 - 3095) / 2, 73, 3095, 2323, 2323}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageLayout l = LayoutPage(c.P, c.Q, c.h7, c.h14, c.h9, c.srcW, c.srcH);
        EXPECT_EQ(l.imageX, c.expected.imageX);
        EXPECT_EQ(l.imageY, c.expected.imageY);
        EXPECT_EQ(l.imageWidth, c.expected.imageWidth);
        EXPECT_EQ(l.imageHeight, c.expected.imageHeight);
        EXPECT_EQ(l.available, c.expected.available);
    }
}

TEST(PageLayout, NoticeSitsOnTheBottomOfALandscapePageOnly) {
    PageLayout portrait = LayoutPage(2480, 3508, 34, 67, 43, 665, 499);
    EXPECT_EQ(NoticeBottom(portrait, 2480, 3508, 34), 3508 - 34);
    PageLayout landscape = LayoutPage(3508, 2480, 34, 67, 43, 665, 499);
    EXPECT_EQ(NoticeBottom(landscape, 3508, 2480, 34), 2480);
}

TEST(PageLayout, YearText) {
    EXPECT_EQ(NoticeYearText(1990), "1998");
    EXPECT_EQ(NoticeYearText(1998), "1998");
    EXPECT_EQ(NoticeYearText(1999), "1998-1999");
    EXPECT_EQ(NoticeYearText(2000), "1998-2000");
    EXPECT_EQ(NoticeYearText(2026), "1998-2026");
}

TEST(PageLayout, ScaleOnPaper) {
    // 2540 pixels at 254 dpi are 10 inches, 0.254 m; 1,234,567.8 m / 0.254 m = 4,860,503.15.
    EXPECT_DOUBLE_EQ(PrintedWidthMetres(2540, 254), 0.254);
    EXPECT_EQ(PaperScaleText(1234567.8, 2540, 254), "Scale = 1:4,860,503 ");
    // The same ground on half the paper is twice the denominator.
    EXPECT_NEAR(PaperScale(1234567.8, 1270, 254), 9721006.30, 0.01);
}

TEST(PageLayout, SameScaleFactorAndWindow) {
    // At 254 dpi a metre is 10,000 pixels. A window 1,000 km wide on a screen at 1:5,000,000
    // is 0.2 m wide there; an image of 2000 pixels (0.2 m) keeps it as it is.
    const MapWindow w{10, 20, 40, 50};
    double f = SameScaleFactor(2000, 254, 5e6, 1e6);
    EXPECT_NEAR(f, 1.0, 1e-12);
    MapWindow same = ScaleWindowAboutCentre(w, f);
    EXPECT_NEAR(same.west, 10, 1e-9);
    EXPECT_NEAR(same.east, 20, 1e-9);
    EXPECT_NEAR(same.south, 40, 1e-9);
    EXPECT_NEAR(same.north, 50, 1e-9);
    // 3000 pixels (0.3 m) need 1.5 times the ground: both spans grow about the centre.
    f = SameScaleFactor(3000, 254, 5e6, 1e6);
    EXPECT_NEAR(f, 1.5, 1e-12);
    MapWindow wider = ScaleWindowAboutCentre(w, f);
    EXPECT_NEAR(wider.west, 7.5, 1e-9);
    EXPECT_NEAR(wider.east, 22.5, 1e-9);
    EXPECT_NEAR(wider.south, 37.5, 1e-9);
    EXPECT_NEAR(wider.north, 52.5, 1e-9);
    // And the wider ground on that paper reads at the screen's scale again.
    EXPECT_NEAR(PaperScale(1e6 * f, 3000, 254), 5e6, 1e-3);
}

TEST(PageLayout, LegendRowsAndColumns) {
    // Box rows 1000..1300, "X" 20 x 40, descriptions 50 high (one 60), the widest 500.
    // Rows step 60 from 1000 + 20; 1260 would reach 1300 - 60, so the fifth row opens a
    // column moved by the sample (2000 / 20 = 100), X, the widest text and 2 X: 660.
    const Rect box{100, 1000, 2100, 1300};
    std::vector<Point> sizes = {{300, 50}, {500, 60}, {300, 50}, {300, 50}, {300, 50}, {300, 50}};
    std::vector<LegendSlot> slots = LayoutLegend(box, 2000, 20, 40, sizes);
    ASSERT_EQ(slots.size(), sizes.size());
    const LegendSlot expected[] = {
        {120, 220, 1020, 240}, {120, 220, 1080, 240}, {120, 220, 1140, 240},
        {120, 220, 1200, 240}, {780, 880, 1020, 900}, {780, 880, 1080, 900},
    };
    for (size_t i = 0; i < slots.size(); i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(slots[i].x1, expected[i].x1);
        EXPECT_EQ(slots[i].x2, expected[i].x2);
        EXPECT_EQ(slots[i].y, expected[i].y);
        EXPECT_EQ(slots[i].textX, expected[i].textX);
    }
}

}  // namespace
