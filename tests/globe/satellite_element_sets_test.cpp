// The element-set reader: fields by column, hostile numbers, line limits, names, messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globe/satellites.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "satellite_test_files.h"

namespace {

const uint8_t* Bytes(const std::string& text) { return (const uint8_t*)text.data(); }

int Count(const std::string& text) { return CountElementSets(Bytes(text), text.size()); }

std::string Name(const std::string& text, int i, int size = kSatelliteNameSize) {
    char buffer[256];
    if (!ParseElementSetName(Bytes(text), text.size(), i, buffer, size)) return "<failed>";
    return buffer;
}

SatelliteRecord Parsed(const std::string& text, int i = 0) {
    SatelliteRecord r{};
    EXPECT_EQ(ParseElementSet(Bytes(text), text.size(), i, &r), 1);
    return r;
}

}  // namespace

// Each field fills its columns and digits stand between them, so a field cut one column
// too wide, too narrow or from a neighbour's place reads another number.
TEST(SatelliteElementSets, EveryFieldFromItsOwnColumns) {
    ElementText e{"98001.12345678", "-.00012345", "101.2345", "247.4627", "0012345", "130.53601", "325.0288",
                  "14.12345678", "56353", '7'};
    SatelliteRecord r = Parsed(ElementSet("SAT", e));
    EXPECT_DOUBLE_EQ(r.epoch, 98001.12345678);
    EXPECT_DOUBLE_EQ(r.decayRate, -0.00012345);
    EXPECT_DOUBLE_EQ(r.inclination, 101.2345);
    EXPECT_DOUBLE_EQ(r.node, 247.4627);
    EXPECT_DOUBLE_EQ(r.eccentricity, 0.0012345);
    EXPECT_DOUBLE_EQ(r.perigee, 130.53601);
    EXPECT_DOUBLE_EQ(r.meanAnomaly, 325.0288);
    EXPECT_DOUBLE_EQ(r.meanMotion, 14.12345678);
    EXPECT_EQ(r.revolution, 56353);
}

TEST(SatelliteElementSets, NumbersAsACLibraryReadsThemButNeverInfinities) {
    struct Row {
        const char* text;
        double value;
    } rows[] = {{"  1.0027000", 1.0027}, {"       -2.5", -2.5}, {"      1.5e1", 15.0}, {"      2.5E+", 2.5},
                {"        nan", 0.0},    {"        inf", 0.0},  {"      0x1p4", 0.0},  {"   12abc   ", 12.0},
                {"          .", 0.0},    {"           ", 0.0}};
    for (const Row& row : rows) {
        ElementText e;
        e.motion = row.text;
        EXPECT_DOUBLE_EQ(Parsed(ElementSet("SAT", e)).meanMotion, row.value) << row.text;
    }
}

// Counting and skipping take 199 characters a line, so a 199-character line leaves its line
// feed as a line of its own; the satellite's own lines take 119.
TEST(SatelliteElementSets, CountingAndReadingWithTheLineLimits) {
    std::string one = ElementSet("ONE"), two = ElementSet("TWO");
    std::string crlf;
    for (char c : one + two) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    auto named = [](int length) { return ElementSet(std::string(length, 'N')) + ElementSet(std::string(length, 'N')) +
                                         ElementSet(std::string(length, 'N')); };
    struct Row {
        std::string text;
        int count;
    } rows[] = {{"", 0}, {one, 1}, {one.substr(0, one.size() - 1), 0}, {one + two.substr(0, two.size() - 1), 1},
                {crlf, 2}, {"NAME\nLINE 1\n", 0}, {one + "EXTRA\n", 1}, {named(198), 3}, {named(199), 4}, {named(398), 5}};
    for (const Row& row : rows) EXPECT_EQ(Count(row.text), row.count) << row.text.substr(0, 40);

    EXPECT_DOUBLE_EQ(Parsed(ElementSet(std::string(118, 'N'))).epoch, 98001.0);
    EXPECT_EQ(Parsed(ElementSet(std::string(119, 'N'))).epoch, 0.0);   // the name's line feed became line 1
    ElementText second;
    second.epoch = "26339.50000000";
    std::string text = ElementSet(std::string(150, 'N')) + ElementSet("SECOND", second);
    EXPECT_DOUBLE_EQ(Parsed(text, 1).epoch, 26339.5);
    EXPECT_EQ(Name(text, 1), "SECOND");
}

TEST(SatelliteElementSets, NamesWithoutLineEndsAndTrailingBlanks) {
    std::string sixty;
    for (int k = 0; k < 60; k++) sixty += (char)('A' + k % 26);
    struct Row {
        std::string line;
        int size;
        std::string name;
    } rows[] = {{"  NOAA 15 \t \t\r", 40, "  NOAA 15"}, {"NOAA 15\rRUBBISH", 40, "NOAA 15"}, {sixty, 40, sixty.substr(0, 39)},
                {std::string(38, 'a') + "  b", 40, std::string(38, 'a') + " "},   // trimmed before it is cut
                {" \t ", 40, ""}, {"NOAA 15", 5, "NOAA"}, {"NOAA 15", 1, ""}};
    for (const Row& row : rows) EXPECT_EQ(Name(ElementSet("FIRST") + ElementSet(row.line), 1, row.size), row.name) << row.line;
    for (int i : {1, -1, 0x7FFFFFFF}) EXPECT_EQ(Name(ElementSet("FIRST"), i), "<failed>") << i;
}

TEST(SatelliteElementSets, FilesFromTheDataRootOrTheVolumeAndTheirMessages) {
    SatelliteVolume volume;
    TempFolder disc;
    WriteTestText(disc / "sats/two.dat", ElementSet("FROM THE VOLUME"));
    std::string savedDirectory = CurrentDirectory();
    ASSERT_TRUE(ChangeDirectory(disc.path.c_str()));
    char name[kSatelliteNameSize] = "";
    EXPECT_EQ(ReadSatelliteName("sats\\two.dat", 0, name, sizeof name), 1);
    EXPECT_STREQ(name, "FROM THE VOLUME");
    ElementText e;
    e.inclination = "98.7000";
    volume.Write("sats\\two.dat", ElementSet("FIRST") + ElementSet("SECOND", e));   // the user's copy wins
    TestClearShown();
    EXPECT_EQ(CountSatellites("sats\\two.dat"), 2);
    SatelliteRecord r{};
    EXPECT_EQ(ReadSatellite("sats\\two.dat", 1, &r), 1);
    EXPECT_DOUBLE_EQ(r.inclination, 98.7);
    EXPECT_EQ(ReadSatelliteName("sats\\two.dat", 1, name, sizeof name), 1);
    EXPECT_STREQ(name, "SECOND");
    EXPECT_TRUE(TestShownMessages().empty());

    // Past the end the slot and the name keep what they had.
    EXPECT_EQ(ReadSatellite("sats\\two.dat", 2, &r), 0);
    EXPECT_DOUBLE_EQ(r.inclination, 98.7);
    EXPECT_TRUE(TestShownMessages().empty());
    EXPECT_EQ(ReadSatelliteName("sats\\two.dat", 2, name, sizeof name), 0);
    EXPECT_STREQ(name, "SECOND");
    EXPECT_EQ(TestLastMessage(), "Unexpected end of file sats\\two.dat");

    TestClearShown();
    EXPECT_EQ(CountSatellites("sats\\none.dat") + ReadSatellite("sats\\none.dat", 0, &r) +
                  ReadSatelliteName("sats\\none.dat", 0, name, sizeof name), 0);
    ASSERT_EQ(TestShownMessages().size(), 3u);
    EXPECT_EQ(TestLastMessage(), "Cannot open file sats\\none.dat");
    ChangeDirectory(savedDirectory.c_str());
}
