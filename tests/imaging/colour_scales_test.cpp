// Colour scales: the index rules with the elevation floor, palettes read colour by colour
// from a scale file, the "scales.dat" line rules and the current elevation scale.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

// A scale whose colour k spells k: red = k / 256, green = k % 256, blue = 77.
static std::vector<uint8_t> CountingScale() {
    std::vector<uint8_t> bytes(8 + 3 * kScaleColours);
    memcpy(bytes.data(), "SCALEHDR", 8);
    for (int k = 0; k < kScaleColours; k++) {
        bytes[8 + 3 * k] = (uint8_t)(k / 256);
        bytes[9 + 3 * k] = (uint8_t)(k % 256);
        bytes[10 + 3 * k] = 77;
    }
    return bytes;
}

static int IndexOf(ColourRef c) { return ColourRed(c) * 256 + ColourGreen(c); }

struct ScaleRoot {
    TempFolder folder;
    char savedRoot[256];
    ScaleRoot() {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        TestClearShown();
    }
    ~ScaleRoot() {
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        ReadScaleList();
    }
    std::string Path(const char* name) const { return std::string(dataRoot) + "\\scales\\" + name; }
};

TEST(ColourScales, ValueToIndexClampsAndFloors) {
    struct Case {
        double v, lo, hi;
        int floor, expected;
    } cases[] = {
        {8848, -392, 8848, 0, 9999},     // f = 1.0 gives 10,000, clamped
        {-1000, -392, 8848, 0, 0},       // negative f
        {-1000, -392, 8848, 1, 492},     // ... raised to the floor
        {50, 0, 1000, 0, 500},
        {49.1, 0, 1000, 0, 491},
        {49.1, 0, 1000, 1, 492},
        {49.35, 0, 1000, 1, 493},
        {999.99, 0, 1000, 0, 9999},
        {0.5, 0, 1, 1, 5000},
        {5, 5, 5, 0, 0},                 // an empty range does not divide by zero
        {5, 5, 5, 1, 492},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleIndexForValue(c.v, c.lo, c.hi, c.floor), c.expected) << c.v << " over " << c.lo << ".." << c.hi;
}

TEST(ColourScales, PaletteEntriesAndBarRows) {
    // Under the floor, entries 0..12 of 256 all take colour 492: 12/256 gives 468, 13/256 gives 507.
    for (int i = 0; i <= 12; i++) EXPECT_EQ(ScaleIndexForEntry(i, 256, 1), 492) << i;
    EXPECT_EQ(ScaleIndexForEntry(12, 256, 0), 468);
    EXPECT_EQ(ScaleIndexForEntry(13, 256, 1), 507);
    EXPECT_EQ(ScaleIndexForEntry(255, 256, 0), 9960);
    EXPECT_EQ(ScaleIndexForEntry(128, 256, 0), 5000);
    // Legend bars count from the bottom, swatches from the top: the top shows the high end.
    EXPECT_EQ(ScaleIndexForRow(0, 56, 0, 0), 0);
    EXPECT_EQ(ScaleIndexForRow(55, 56, 0, 0), 9821);
    EXPECT_EQ(ScaleIndexForRow(7, 56, 0, 0), 1250);
    EXPECT_EQ(ScaleIndexForRow(0, 166, 1, 0), 9999);
    EXPECT_EQ(ScaleIndexForRow(165, 166, 1, 0), 60);
    EXPECT_EQ(ScaleIndexForRow(0, 56, 0, 1), 492);
}

TEST(ColourScales, PaletteReadFromScaleFile) {
    ScaleRoot root;
    ASSERT_TRUE(WriteTestFile(root.folder / "scales/ian1.sca", CountingScale()));
    std::string path = root.Path("ian1.sca");
    ColourRef palette[256];
    ASSERT_EQ(PaletteFromScale(path.c_str(), 256, 1, palette), 1);
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(IndexOf(palette[i]), ScaleIndexForEntry(i, 256, 1)) << i;
        EXPECT_EQ(ColourBlue(palette[i]), 77);
    }
    ColourRef small[10];
    ASSERT_EQ(PaletteFromScale(path.c_str(), 10, 0, small), 1);
    EXPECT_EQ(IndexOf(small[0]), 0);
    EXPECT_EQ(IndexOf(small[9]), 9000);
    EXPECT_TRUE(TestShownMessages().empty());

    // Colour lookup reads exactly the bytes at 8 + 3k, clamping k.
    ScaleFile scale;
    ASSERT_EQ(OpenScaleFile(path.c_str(), &scale), 1);
    ColourRef c;
    ASSERT_EQ(ScaleColour(&scale, 1234, &c), 1);
    EXPECT_EQ(IndexOf(c), 1234);
    ASSERT_EQ(ScaleColour(&scale, 12345, &c), 1);
    EXPECT_EQ(IndexOf(c), 9999);
    CloseScaleFile(&scale);
}

TEST(ColourScales, UnreadableScaleLeavesPaletteAlone) {
    ScaleRoot root;
    ColourRef palette[4] = {1, 2, 3, 4};
    std::string missing = root.Path("nothere.sca");
    EXPECT_EQ(PaletteFromScale(missing.c_str(), 4, 0, palette), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + missing);
    // A file cut short: the colours it lacks cannot be read, and nothing is half-replaced.
    std::vector<uint8_t> shortScale = CountingScale();
    shortScale.resize(8 + 3 * 6000);
    ASSERT_TRUE(WriteTestFile(root.folder / "scales/short.sca", shortScale));
    std::string cut = root.Path("short.sca");
    TestClearShown();
    EXPECT_EQ(PaletteFromScale(cut.c_str(), 4, 0, palette), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + cut);
    EXPECT_EQ(palette[0], 1u);
    EXPECT_EQ(palette[3], 4u);
}

TEST(ColourScales, ScaleListLineRules) {
    struct Case {
        const char* text;
        std::vector<std::string> names;
        int defaultIndex;
    } cases[] = {
        {"0<a.sca>\n1<b.sca>\n0<c.sca>\n", {"a.sca", "b.sca", "c.sca"}, 1},
        {"1<a.sca>\n0<b.sca>\n1<c.sca>\n", {"a.sca", "b.sca", "c.sca"}, 2},  // the last 1 wins
        {"2<x.sca>\n<y.sca>\n 0<z.sca>\n0 no name\n0<>\n", {}, -1},
        {"0 Rainbow <rain.sca> colours\r\n0<open.sca\r\n", {"rain.sca", "open.sca"}, -1},
        {"0<a>b>\n1<<c>\n", {"a", "<c"}, 1},
        {"0<abcdefghijklmnop.sca>\n", {"abcdefghijkl"}, -1},  // names hold 12 characters
        {"", {}, -1},
        {"1<last.sca>", {"last.sca"}, 0},
    };
    for (const Case& c : cases) {
        ScaleListEntries list;
        ParseScaleList(c.text, strlen(c.text), kMaxScaleEntries, 12, &list);
        ASSERT_EQ(list.count, (int)c.names.size()) << c.text;
        for (int i = 0; i < list.count; i++) EXPECT_EQ(list.names[i], c.names[(size_t)i]) << c.text;
        EXPECT_EQ(list.defaultIndex, c.defaultIndex) << c.text;
    }
}

TEST(ColourScales, ScaleListStopsAfterTwentyFiveEntries) {
    std::string text;
    for (int i = 0; i < 30; i++) text += (i == 27 ? "1<" : "0<") + std::to_string(i) + ".sca>\n";
    ScaleListEntries list;
    ParseScaleList(text.data(), text.size(), kMaxScaleEntries, 12, &list);
    EXPECT_EQ(list.count, 25);
    EXPECT_STREQ(list.names[24], "24.sca");
    EXPECT_EQ(list.defaultIndex, -1);  // the marked line came after the limit
    // An overlong line is taken in pieces of 115 characters; the lines after it still count.
    std::string longLine = "0<" + std::string(300, 'x') + ">\n0<next.sca>\n";
    ParseScaleList(longLine.data(), longLine.size(), kMaxScaleEntries, 12, &list);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(std::string(list.names[0]), std::string(12, 'x'));
    EXPECT_STREQ(list.names[1], "next.sca");
}

TEST(ColourScales, CurrentElevationScale) {
    ScaleRoot root;
    // No "scales.dat": an empty list, no message, and the caller's default path stands.
    EXPECT_EQ(ReadScaleList(), 0);
    EXPECT_TRUE(TestShownMessages().empty());
    char path[300] = "preset";
    EXPECT_EQ(CurrentElevationScalePath(path, sizeof path), 0);
    EXPECT_STREQ(path, "preset");
    EXPECT_EQ(ElevationScalePath(), std::string(dataRoot) + "\\scales\\ian1.sca");

    ASSERT_TRUE(WriteTestText(root.folder / "scales.dat", "0<one.sca>\n1<two.sca>\n0<three.sca>\n"));
    EXPECT_EQ(ReadScaleList(), 3);
    EXPECT_EQ(ElevationScaleIndex(), 1);
    EXPECT_EQ(CurrentElevationScalePath(path, sizeof path), 1);
    EXPECT_EQ(std::string(path), std::string(dataRoot) + "\\scales\\two.sca");
    SetElevationScaleIndex(3);   // at the number of entries: ignored
    SetElevationScaleIndex(-1);
    EXPECT_EQ(ElevationScaleIndex(), 1);
    SetElevationScaleIndex(2);
    EXPECT_EQ(ElevationScalePath(), std::string(dataRoot) + "\\scales\\three.sca");
}

TEST(ColourScales, ChooserListFillsEightNames) {
    ScaleRoot root;
    char names[kChooserScales][20];
    EXPECT_EQ(ReadChooserList(names), 0);
    for (auto& n : names) EXPECT_STREQ(n, "ian1.sca");

    ASSERT_TRUE(WriteTestText(root.folder / "scales.dat", "0<a.sca>\n2<skip.sca>\n0<a-very-long-scale-name.sca>\n"));
    EXPECT_EQ(ReadChooserList(names), 2);
    EXPECT_STREQ(names[0], "a.sca");
    EXPECT_STREQ(names[1], "a-very-long-scale-n");  // 19 characters
    EXPECT_STREQ(names[2], "ian1.sca");
    EXPECT_STREQ(names[7], "ian1.sca");

    std::string ten;
    for (int i = 0; i < 10; i++) ten += "0<s" + std::to_string(i) + ".sca>\n";
    ASSERT_TRUE(WriteTestText(root.folder / "scales.dat", ten));
    EXPECT_EQ(ReadChooserList(names), 8);
    EXPECT_STREQ(names[7], "s7.sca");
}
