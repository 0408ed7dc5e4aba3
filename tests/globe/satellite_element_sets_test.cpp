// The element-set reader: every field from its own columns, counting with the line limits,
// names as shown, numbers a hostile file may hold, and where the files are looked for.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "globe/satellites.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "satellite_test_files.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

int Count(const std::string& text) {
    std::vector<uint8_t> b = Bytes(text);
    return CountElementSets(b.data(), b.size());
}

int Parse(const std::string& text, int i, SatelliteRecord* r) {
    std::vector<uint8_t> b = Bytes(text);
    return ParseElementSet(b.data(), b.size(), i, r);
}

std::string Name(const std::string& text, int i, int size = kSatelliteNameSize) {
    std::vector<uint8_t> b = Bytes(text);
    char buffer[256] = "untouched";
    if (!ParseElementSetName(b.data(), b.size(), i, buffer, size)) return "<failed>";
    return buffer;
}

std::vector<uint8_t> Encoded(const SatelliteRecord& r) {
    std::vector<uint8_t> out;
    EncodeSatelliteRecord(r, out);
    return out;
}

}  // namespace

// Every field fills its columns completely and the columns between them hold digits, so a
// field cut one column too wide, too narrow or from the wrong place reads another number.
TEST(SatelliteElementSets, EveryFieldFromItsOwnColumns) {
    ElementText e;
    e.epoch = "98001.12345678";
    e.decay = "-.00012345";
    e.inclination = "101.2345";
    e.node = "247.4627";
    e.eccentricity = "0012345";
    e.perigee = "130.53601";
    e.anomaly = "325.0288";
    e.motion = "14.12345678";
    e.revolution = "56353";
    e.filler = '7';
    SatelliteRecord r{};
    r.frequency = 1.5;
    r.year = 1999;
    ASSERT_EQ(Parse(ElementSet("SAT", e), 0, &r), 1);
    EXPECT_DOUBLE_EQ(r.epoch, 98001.12345678);
    EXPECT_DOUBLE_EQ(r.decayRate, -0.00012345);
    EXPECT_DOUBLE_EQ(r.inclination, 101.2345);
    EXPECT_DOUBLE_EQ(r.node, 247.4627);
    EXPECT_DOUBLE_EQ(r.eccentricity, 0.0012345);
    EXPECT_DOUBLE_EQ(r.perigee, 130.53601);
    EXPECT_DOUBLE_EQ(r.meanAnomaly, 325.0288);
    EXPECT_DOUBLE_EQ(r.meanMotion, 14.12345678);
    EXPECT_EQ(r.revolution, 56353);
    // Only the nine element fields are the reader's.
    EXPECT_EQ(r.frequency, 1.5);
    EXPECT_EQ(r.year, 1999);
}

TEST(SatelliteElementSets, NumbersAsTheFileWritesThem) {
    struct Row {
        const char* motion;
        double expected;
    } rows[] = {
        {"15.49000000", 15.49}, {"  1.0027000", 1.0027}, {"       -2.5", -2.5}, {"       +3.5", 3.5},
        {"      1.5e1", 15.0},  {"      2.5E+", 2.5},    {"        nan", 0.0}, {"        inf", 0.0},
        {"      0x1p4", 0.0},   {"   12abc   ", 12.0},   {"          .", 0.0}, {"           ", 0.0},
        {"      .5   ", 0.5},
    };
    for (const Row& row : rows) {
        ElementText e;
        e.motion = row.motion;
        SatelliteRecord r{};
        ASSERT_EQ(Parse(ElementSet("SAT", e), 0, &r), 1) << row.motion;
        EXPECT_DOUBLE_EQ(r.meanMotion, row.expected) << row.motion;
    }
}

TEST(SatelliteElementSets, CountingTakesCompleteGroupsOfThreeLines) {
    std::string one = ElementSet("ONE"), two = ElementSet("TWO");
    std::string unterminated = one + two.substr(0, two.size() - 1);
    std::string crlf;
    for (char c : one + two) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    auto named = [](int length) {
        std::string text;
        for (int k = 0; k < 3; k++) text += ElementSet(std::string(length, 'N'));
        return text;
    };
    struct Row {
        const char* what;
        std::string text;
        int expected;
    } rows[] = {
        {"empty", "", 0},
        {"one set", one, 1},
        {"last line without a line break", one.substr(0, one.size() - 1), 0},
        {"second set unterminated", unterminated, 1},
        {"carriage returns", crlf, 2},
        {"two lines", "NAME\nLINE 1\n", 0},
        {"a stray fourth line", one + "EXTRA\n", 1},
        {"198-character names", named(198), 3},
        {"199-character names leave the line feed as a line", named(199), 4},
        {"398-character names read as three lines", named(398), 5},
    };
    for (const Row& row : rows) EXPECT_EQ(Count(row.text), row.expected) << row.what;
}

// The satellite's own lines are taken 119 characters at a time, the lines before it 199.
TEST(SatelliteElementSets, ReadingUsesTheShorterLimitForItsOwnLines) {
    SatelliteRecord r{};
    ASSERT_EQ(Parse(ElementSet(std::string(118, 'N')), 0, &r), 1);
    EXPECT_DOUBLE_EQ(r.epoch, 98001.0);
    r = SatelliteRecord{};
    ASSERT_EQ(Parse(ElementSet(std::string(119, 'N')), 0, &r), 1);
    EXPECT_EQ(r.epoch, 0.0);   // the name's line feed was taken as element line 1
    ElementText second;
    second.epoch = "26339.50000000";
    std::string text = ElementSet(std::string(150, 'N')) + ElementSet("SECOND", second);
    ASSERT_EQ(Parse(text, 1, &r), 1);
    EXPECT_DOUBLE_EQ(r.epoch, 26339.5);
    EXPECT_EQ(Name(text, 1), "SECOND");
    EXPECT_EQ(Name(text, 0), std::string(39, 'N'));
}

TEST(SatelliteElementSets, NamesWithoutLineEndsAndTrailingBlanks) {
    std::string sixty(60, 'x');
    for (int k = 0; k < 60; k++) sixty[k] = (char)('A' + k % 26);
    struct Row {
        std::string line;
        int size;
        std::string expected;
    } rows[] = {
        {"NOAA 15", 40, "NOAA 15"},
        {"  NOAA 15 \t \t\r", 40, "  NOAA 15"},
        {"NOAA 15\rRUBBISH", 40, "NOAA 15"},
        {sixty, 40, sixty.substr(0, 39)},
        {std::string(38, 'a') + "  b", 40, std::string(38, 'a') + " "},
        {" \t ", 40, ""},
        {"", 40, ""},
        {"NOAA 15", 5, "NOAA"},
        {"NOAA 15", 1, ""},
    };
    for (const Row& row : rows) {
        std::string text = ElementSet("FIRST") + ElementSet(row.line);
        EXPECT_EQ(Name(text, 1, row.size), row.expected) << "[" << row.line << "]";
    }
    EXPECT_EQ(Name(ElementSet("FIRST"), 1), "<failed>");
    EXPECT_EQ(Name(ElementSet("FIRST"), -1), "<failed>");
    EXPECT_EQ(Name(ElementSet("FIRST"), 0x7FFFFFFF), "<failed>");
}

TEST(SatelliteElementSets, FilesAndTheirMessages) {
    SatelliteVolume volume;
    ElementText e;
    e.inclination = "98.7000";
    volume.Write("sats\\two.dat", ElementSet("FIRST") + ElementSet("SECOND", e));
    TestClearShown();
    EXPECT_EQ(CountSatellites("sats\\two.dat"), 2);
    SatelliteRecord r{};
    ASSERT_EQ(ReadSatellite("sats\\two.dat", 1, &r), 1);
    EXPECT_DOUBLE_EQ(r.inclination, 98.7);
    char name[kSatelliteNameSize] = "";
    ASSERT_EQ(ReadSatelliteName("sats\\two.dat", 1, name, sizeof name), 1);
    EXPECT_STREQ(name, "SECOND");
    EXPECT_TRUE(TestShownMessages().empty());

    // Past the end: the slot and the name keep what they had.
    SatelliteRecord before{};
    before.epoch = 1.0, before.inclination = 2.0, before.node = 3.0, before.eccentricity = 0.4;
    before.perigee = 5.0, before.meanAnomaly = 6.0, before.meanMotion = 7.0, before.decayRate = 8.0;
    before.revolution = 9;
    SatelliteRecord kept = before;
    EXPECT_EQ(ReadSatellite("sats\\two.dat", 2, &kept), 0);
    EXPECT_EQ(Encoded(kept), Encoded(before));
    EXPECT_TRUE(TestShownMessages().empty());
    strcpy(name, "xxx");
    EXPECT_EQ(ReadSatelliteName("sats\\two.dat", 2, name, sizeof name), 0);
    EXPECT_STREQ(name, "xxx");
    EXPECT_EQ(TestLastMessage(), "Unexpected end of file sats\\two.dat");

    struct Row {
        const char* what;
        int result;
    } missing[] = {
        {"count", CountSatellites("sats\\none.dat")},
        {"read", ReadSatellite("sats\\none.dat", 0, &r)},
        {"name", ReadSatelliteName("sats\\none.dat", 0, name, sizeof name)},
    };
    for (const Row& row : missing) EXPECT_EQ(row.result, 0) << row.what;
    TestClearShown();
    ReadSatelliteName("sats\\none.dat", 0, name, sizeof name);
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestLastMessage(), "Cannot open file sats\\none.dat");
}

// A copy under the data root wins over the volume's, which is found by its bare name.
TEST(SatelliteElementSets, DataRootBeforeTheVolume) {
    SatelliteVolume volume;
    TempFolder disc;
    WriteTestText(disc / "sats/noaa.dat", ElementSet("FROM THE VOLUME"));
    std::string savedDirectory = CurrentDirectory();
    ASSERT_TRUE(ChangeDirectory(disc.path.c_str()));
    char name[kSatelliteNameSize] = "";
    EXPECT_EQ(ReadSatelliteName("sats\\noaa.dat", 0, name, sizeof name), 1);
    EXPECT_STREQ(name, "FROM THE VOLUME");
    volume.Write("sats\\noaa.dat", ElementSet("USER COPY") + ElementSet("SECOND"));
    EXPECT_EQ(ReadSatelliteName("sats\\noaa.dat", 0, name, sizeof name), 1);
    EXPECT_STREQ(name, "USER COPY");
    EXPECT_EQ(CountSatellites("sats\\noaa.dat"), 2);
    ChangeDirectory(savedDirectory.c_str());
}
