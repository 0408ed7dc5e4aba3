// The satellite record's bytes, the group loader with its limit and defaults, the group table
// and its stepping, and the clocks with their fixed month lengths.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "globe/satellites.h"
#include "platform/test_double.h"
#include "satellite_test_files.h"

namespace {

std::vector<uint8_t> Encoded(const SatelliteRecord& r) {
    std::vector<uint8_t> out;
    EncodeSatelliteRecord(r, out);
    return out;
}

SatelliteRecord Distinct() {
    SatelliteRecord r;
    r.epoch = 98001.125, r.inclination = 51.5, r.node = 247.25, r.eccentricity = 0.0625;
    r.perigee = 130.75, r.meanAnomaly = 325.5, r.meanMotion = 15.25, r.decayRate = -0.000125;
    r.frequency = 137.5, r.observerLatitude = 45.25, r.observerLongitude = -75.75;
    r.observerAltitude = 120.5, r.minimumElevation = 10.25, r.hours = 23.875;
    r.revolution = 56353, r.year = 2026, r.month = 12, r.day = 31;
    return r;
}

double F64At(const std::vector<uint8_t>& b, size_t offset) {
    ByteCursor c = MakeCursor(b.data() + offset, 8);
    return ReadF64LE(c);
}

struct SatelliteGroups : ::testing::Test {
    SatelliteVolume volume;
    void SetUp() override {
        ResetSatelliteState();
        TestClearShown();
    }
    void TearDown() override { ResetSatelliteState(); }
    std::string Sets(int count) {
        std::string text;
        for (int i = 0; i < count; i++) {
            ElementText e;
            char inclination[16];
            snprintf(inclination, sizeof inclination, "%8.4f", 10.0 + i);
            e.inclination = inclination;
            text += ElementSet("SAT " + std::to_string(i), e);
        }
        return text;
    }
};

}  // namespace

TEST(SatelliteRecord, FieldsAtTheirOffsetsAndBack) {
    SatelliteRecord r = Distinct();
    std::vector<uint8_t> bytes = Encoded(r);
    ASSERT_EQ(bytes.size(), (size_t)kSatelliteRecordSize);
    const double doubles[] = {r.epoch, r.inclination, r.node, r.eccentricity, r.perigee, r.meanAnomaly, r.meanMotion,
                              r.decayRate, r.frequency, r.observerLatitude, r.observerLongitude,
                              r.observerAltitude, r.minimumElevation, r.hours};
    for (int k = 0; k < 14; k++) EXPECT_EQ(F64At(bytes, 8 * k), doubles[k]) << "offset " << 8 * k;
    const int32_t integers[] = {r.revolution, r.year, r.month, r.day};
    for (int k = 0; k < 4; k++) EXPECT_EQ(PeekI32LE(&bytes[112 + 4 * k]), integers[k]) << "offset " << 112 + 4 * k;
    EXPECT_EQ(bytes[112], 0x21);   // 56353 = 0xDC21, lowest byte first
    EXPECT_EQ(bytes[113], 0xDC);

    std::vector<uint8_t> two = bytes;
    two.insert(two.end(), bytes.begin(), bytes.end());
    ByteCursor c = MakeCursor(two.data(), two.size());
    SatelliteRecord back{}, again{};
    ASSERT_EQ(DecodeSatelliteRecord(c, &back), 1);
    ASSERT_EQ(DecodeSatelliteRecord(c, &again), 1);
    EXPECT_EQ(Encoded(back), bytes);
    EXPECT_EQ(Encoded(again), bytes);
    EXPECT_EQ(CursorLeft(c), 0u);

    SatelliteRecord untouched = Distinct();
    ByteCursor shortCursor = MakeCursor(bytes.data(), kSatelliteRecordSize - 1);
    EXPECT_EQ(DecodeSatelliteRecord(shortCursor, &untouched), 0);
    EXPECT_EQ(Encoded(untouched), bytes);
    EXPECT_TRUE(shortCursor.bad);
}

TEST(SatelliteRecord, GroupTable) {
    struct Row {
        int index;
        const char* file;
        const char* text;
    } rows[] = {
        {0, "sats\\noaa.dat", "sats\\goes.txt"},       {1, "sats\\leasat.dat", "sats\\leasat.txt"},
        {2, "sats\\landsat.dat", "sats\\landsat.txt"}, {3, "sats\\nadezhda.dat", "sats\\nadezhda.txt"},
        {4, "sats\\glonas.dat", "sats\\glonass.txt"},  {5, "sats\\ake.dat", "sats\\akebono.txt"},
        {6, "sats\\landsat.dat", "sats\\landsat.txt"}, {7, "sats\\spot.dat", "sats\\spot.txt"},
        {8, "sats\\gps.dat", "sats\\gps.txt"},         {9, "sats\\ers.dat", "sats\\ers.txt"},
        {10, "sats\\mir.dat", "sats\\mir.txt"},        {11, "sats\\oscar.dat", "sats\\sats.txt"},
        {12, "sats\\radarsat.dat", "sats\\radarsat.txt"}, {13, "sats\\spy.dat", "sats\\sats.txt"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(satelliteGroups[row.index].elementFile, row.file);
        EXPECT_STREQ(satelliteGroups[row.index].informationText, row.text);
    }
    EXPECT_STREQ(kSatelliteIndexText, "sats\\sats.txt");
}

TEST_F(SatelliteGroups, OfThirtyFourLoadsWithDefaults) {
    volume.Write("sats\\noaa.dat", Sets(34));
    time_t before = time(nullptr);
    ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 34);
    time_t after = time(nullptr);
    EXPECT_EQ(globeSatCount, 34);
    EXPECT_TRUE(TestShownMessages().empty());
    tm a{}, b{};
    localtime_r(&before, &a);
    localtime_r(&after, &b);
    for (int i = 0; i < 34; i++) {
        const SatelliteRecord& r = globeSatInfo[i];
        EXPECT_DOUBLE_EQ(r.inclination, 10.0 + i);
        EXPECT_DOUBLE_EQ(r.epoch, 98001.0);
        EXPECT_EQ(r.revolution, 56353);
        EXPECT_EQ(r.frequency, 146.0);
        EXPECT_EQ(r.observerLatitude, 53.5);
        EXPECT_EQ(r.observerLongitude, -113.5);
        EXPECT_EQ(r.observerAltitude, 670.0);
        EXPECT_EQ(r.minimumElevation, 0.0);
        EXPECT_EQ(r.hours, 0.0);
        bool today = (r.year == a.tm_year + 1900 && r.month == a.tm_mon + 1 && r.day == a.tm_mday) ||
                     (r.year == b.tm_year + 1900 && r.month == b.tm_mon + 1 && r.day == b.tm_mday);
        EXPECT_TRUE(today) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(std::string(globeSatNames[i]), "SAT " + std::to_string(i));
    }
}

TEST_F(SatelliteGroups, OfThirtyFiveIsRefused) {
    volume.Write("sats\\small.dat", Sets(3));
    volume.Write("sats\\large.dat", Sets(35));
    ASSERT_EQ(LoadSatelliteGroup("sats\\small.dat"), 3);
    EXPECT_EQ(LoadSatelliteGroup("sats\\large.dat"), 0);
    EXPECT_EQ(globeSatCount, 0);   // the group is left empty, nothing from before is drawn
    EXPECT_EQ(TestLastMessage(), "Too many satellites in ephimeris file");
    ASSERT_NE(globeSatInfo, nullptr);

    TestClearShown();
    EXPECT_EQ(LoadSatelliteGroup("sats\\missing.dat"), 0);
    EXPECT_EQ(globeSatCount, 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file sats\\missing.dat");
}

// The count drops a last satellite whose line has no break; the others load without a message.
TEST_F(SatelliteGroups, WithoutTheLastLineBreak) {
    std::string text = Sets(3);
    volume.Write("sats\\noaa.dat", text.substr(0, text.size() - 1));
    EXPECT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 2);
    EXPECT_EQ(std::string(globeSatNames[1]), "SAT 1");
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(SatelliteGroups, StepsWrapAndSurviveRelease) {
    EXPECT_EQ(globeSatGroup, 0);
    EXPECT_EQ(StepSatelliteGroup(-1), 13);
    EXPECT_EQ(StepSatelliteGroup(+1), 0);
    for (int k = 0; k < 13; k++) StepSatelliteGroup(+1);
    EXPECT_EQ(globeSatGroup, 13);
    EXPECT_EQ(StepSatelliteGroup(+1), 0);
    StepSatelliteGroup(+1);
    StepSatelliteGroup(+1);

    volume.Write("sats\\noaa.dat", Sets(2));
    ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 2);
    ReleaseSatelliteGroup();
    EXPECT_EQ(globeSatInfo, nullptr);
    EXPECT_EQ(globeSatNames, nullptr);
    EXPECT_EQ(globeSatCount, 0);
    EXPECT_EQ(globeSatGroup, 2);   // the next visit continues from here
    AdvanceSatelliteClocks(1.0);   // harmless without tables
    ResetSatelliteState();
    EXPECT_EQ(globeSatGroup, 0);
}

TEST(SatelliteClock, StepsAcrossDaysMonthsAndYears) {
    struct Row {
        int year, month, day;
        double hours, step;
        int toYear, toMonth, toDay;
        double toHours;
    } rows[] = {
        {2026, 2, 28, 23.0, 1.5, 2026, 3, 1, 0.5},
        {2024, 2, 28, 23.0, 1.5, 2024, 3, 1, 0.5},   // no 29 February, even in a leap year
        {2026, 1, 1, 10.0 / 60.0, -0.5, 2025, 12, 31, 23.0 + 40.0 / 60.0},
        {2026, 3, 1, 0.25, -0.5, 2026, 2, 28, 23.75},
        {2026, 12, 31, 23.5, 1.0, 2027, 1, 1, 0.5},
        {2026, 6, 15, 12.0, 11.5, 2026, 6, 15, 23.5},
        {2026, 6, 15, 12.0, -12.0, 2026, 6, 15, 0.0},
        {2026, 6, 15, 12.0, 12.0, 2026, 6, 16, 0.0},
        {2026, 6, 15, 0.0, -24.0, 2026, 6, 14, 0.0},
        {2026, 6, 15, 0.0, 0.0, 2026, 6, 15, 0.0},
    };
    for (const Row& row : rows) {
        SatelliteRecord r{};
        r.year = row.year, r.month = row.month, r.day = row.day, r.hours = row.hours;
        AdvanceSatelliteClock(&r, row.step);
        EXPECT_EQ(r.year, row.toYear) << row.year << "-" << row.month << "-" << row.day << " " << row.step;
        EXPECT_EQ(r.month, row.toMonth) << row.year << "-" << row.month << "-" << row.day << " " << row.step;
        EXPECT_EQ(r.day, row.toDay) << row.year << "-" << row.month << "-" << row.day << " " << row.step;
        EXPECT_NEAR(r.hours, row.toHours, 1e-12);
    }
}

// Every month end, both ways: the last day of a month steps to the 1st of the next and back.
TEST(SatelliteClock, EveryMonthEnd) {
    const int lastDay[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; month++) {
        SatelliteRecord r{};
        r.year = 2025, r.month = month, r.day = lastDay[month - 1], r.hours = 23.0;
        AdvanceSatelliteClock(&r, 2.0);
        int nextMonth = month % 12 + 1;
        EXPECT_EQ(r.month, nextMonth) << month;
        EXPECT_EQ(r.day, 1) << month;
        EXPECT_EQ(r.year, month == 12 ? 2026 : 2025) << month;
        AdvanceSatelliteClock(&r, -2.0);
        EXPECT_EQ(r.month, month) << month;
        EXPECT_EQ(r.day, lastDay[month - 1]) << month;
        EXPECT_EQ(r.year, 2025) << month;
        EXPECT_NEAR(r.hours, 23.0, 1e-12);
        // The day before the last steps within the month.
        r.day--;
        AdvanceSatelliteClock(&r, 2.0);
        EXPECT_EQ(r.month, month);
        EXPECT_EQ(r.day, lastDay[month - 1]);
    }
}

TEST_F(SatelliteGroups, ClocksMoveTogether) {
    volume.Write("sats\\noaa.dat", Sets(3));
    ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 3);
    for (int i = 0; i < 3; i++) globeSatInfo[i].year = 2026, globeSatInfo[i].month = 12, globeSatInfo[i].day = 31;
    for (int step = 0; step < 100; step++) AdvanceSatelliteClocks(0.25);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(globeSatInfo[i].year, 2027);
        EXPECT_EQ(globeSatInfo[i].month, 1);
        EXPECT_EQ(globeSatInfo[i].day, 1);
        EXPECT_NEAR(globeSatInfo[i].hours, 1.0, 1e-9);
    }
}

TEST(SatelliteClock, StatusText) {
    struct Row {
        int year, month, day;
        double hours;
        const char* expected;
    } rows[] = {
        {1997, 12, 31, 23.0 + 40.0 / 60.0 + 1e-9, "12/31/1997 23:40 UTC"},
        {2026, 3, 1, 0.5, "3/1/2026 00:30 UTC"},
        {2026, 3, 1, 0.0, "3/1/2026 00:00 UTC"},
        {2026, 3, 1, 23.9999999, "3/1/2026 23:59 UTC"},
        {2026, 3, 1, 24.5, "3/1/2026 23:30 UTC"},   // clamped hour, minute from the fraction
        {2026, 3, 1, -0.5, "3/1/2026 00:30 UTC"},
    };
    for (const Row& row : rows) {
        SatelliteRecord r{};
        r.year = row.year, r.month = row.month, r.day = row.day, r.hours = row.hours;
        char text[64];
        FormatSatelliteClock(r, text, sizeof text);
        EXPECT_STREQ(text, row.expected);
    }
}
