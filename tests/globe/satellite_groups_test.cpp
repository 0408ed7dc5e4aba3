// The satellite record's bytes, group loading and stepping, and the clocks.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "globe/satellites.h"
#include "platform/test_double.h"
#include "satellite_test_files.h"

namespace {

struct SatelliteGroups : ::testing::Test {
    SatelliteVolume volume;
    void SetUp() override {
        ResetSatelliteState();
        TestClearShown();
    }
    void TearDown() override { ResetSatelliteState(); }
    // Satellites "SAT 0" .. with inclinations 10, 11, ...
    void WriteGroup(const char* file, int count, int lastLineBreak = 1) {
        std::string text;
        for (int i = 0; i < count; i++) {
            ElementText e;
            e.inclination = std::to_string(10 + i) + ".0000";
            text += ElementSet("SAT " + std::to_string(i), e);
        }
        volume.Write(file, lastLineBreak ? text : text.substr(0, text.size() - 1));
    }
};

}  // namespace

TEST(SatelliteRecord, EveryFieldAtItsOffsetAndBack) {
    SatelliteRecord r{98001.125, 51.5,  247.25, 0.0625, 130.75, 325.5, 15.25, -0.000125, 137.5,
                      45.25,     -75.75, 120.5, 10.25,  23.875, 56353, 2026,  12,        31};
    std::vector<uint8_t> bytes;
    EncodeSatelliteRecord(r, bytes);
    ASSERT_EQ(bytes.size(), (size_t)kSatelliteRecordSize);
    const double doubles[] = {r.epoch,     r.inclination, r.node,      r.eccentricity,    r.perigee,
                              r.meanAnomaly, r.meanMotion, r.decayRate, r.frequency,       r.observerLatitude,
                              r.observerLongitude, r.observerAltitude, r.minimumElevation, r.hours};
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    for (double d : doubles) EXPECT_EQ(ReadF64LE(c), d);
    for (int32_t i : {r.revolution, r.year, r.month, r.day}) EXPECT_EQ(ReadI32LE(c), i);
    EXPECT_EQ(bytes[112], 0x21);   // 56353 = 0xDC21, lowest byte first

    // Back again; one byte short decodes nothing.
    SatelliteRecord back{};
    std::vector<uint8_t> again;
    c = MakeCursor(bytes.data(), bytes.size());
    ASSERT_EQ(DecodeSatelliteRecord(c, &back), 1);
    EncodeSatelliteRecord(back, again);
    EXPECT_EQ(again, bytes);
    back.day = 7;
    c = MakeCursor(bytes.data(), kSatelliteRecordSize - 1);
    EXPECT_EQ(DecodeSatelliteRecord(c, &back), 0);
    EXPECT_EQ(back.day, 7);
}

TEST_F(SatelliteGroups, ThirtyFourLoadWithDefaultsAndTodaysDate) {
    WriteGroup("sats\\noaa.dat", 34);
    time_t now = time(nullptr);
    tm today{};
    localtime_r(&now, &today);
    ASSERT_EQ(LoadSatelliteGroup("sats\\noaa.dat"), 34);
    EXPECT_EQ(globeSatCount, 34);
    EXPECT_TRUE(TestShownMessages().empty());
    for (int i = 0; i < 34; i++) {
        const SatelliteRecord& r = globeSatInfo[i];
        EXPECT_EQ(r.inclination, 10.0 + i);
        EXPECT_EQ(r.revolution, 56353);
        EXPECT_EQ(std::string(globeSatNames[i]), "SAT " + std::to_string(i));
        const double defaults[] = {r.frequency, r.observerLatitude, r.observerLongitude, r.observerAltitude,
                                   r.minimumElevation, r.hours};
        const double expected[] = {146.0, 53.5, -113.5, 670.0, 0.0, 0.0};
        for (int k = 0; k < 6; k++) EXPECT_EQ(defaults[k], expected[k]) << k;
        EXPECT_EQ(r.year, today.tm_year + 1900);   // a run across midnight may fail once here
        EXPECT_EQ(r.month, today.tm_mon + 1);
        EXPECT_EQ(r.day, today.tm_mday);
    }
    // The clocks move together.
    AdvanceSatelliteClocks(1.0);
    AdvanceSatelliteClocks(-2.0);
    for (int i = 0; i < 34; i++) EXPECT_DOUBLE_EQ(globeSatInfo[i].hours, 23.0);
}

TEST_F(SatelliteGroups, ThirtyFiveAreRefusedAndTheGroupLeftEmpty) {
    WriteGroup("sats\\small.dat", 3, 0);   // the last satellite has no final line break
    WriteGroup("sats\\large.dat", 35);
    ASSERT_EQ(LoadSatelliteGroup("sats\\small.dat"), 2);
    EXPECT_EQ(LoadSatelliteGroup("sats\\large.dat"), 0);
    EXPECT_EQ(globeSatCount, 0);
    EXPECT_EQ(TestLastMessage(), "Too many satellites in ephimeris file");
    EXPECT_EQ(LoadSatelliteGroup("sats\\missing.dat"), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file sats\\missing.dat");
    EXPECT_EQ(TestShownMessages().size(), 2u);
}

TEST_F(SatelliteGroups, StepsWrapAndTheIndexOutlivesRelease) {
    EXPECT_EQ(StepSatelliteGroup(-1), 13);
    EXPECT_EQ(StepSatelliteGroup(+1), 0);
    for (int k = 0; k < 16; k++) StepSatelliteGroup(+1);
    EXPECT_EQ(globeSatGroup, 2);
    EXPECT_STREQ(satelliteGroups[globeSatGroup].elementFile, "sats\\landsat.dat");
    WriteGroup("sats\\noaa.dat", 2);
    ASSERT_EQ(LoadSatelliteGroup(satelliteGroups[0].elementFile), 2);
    ReleaseSatelliteGroup();
    EXPECT_EQ(globeSatInfo, nullptr);
    EXPECT_EQ(globeSatNames, nullptr);
    EXPECT_EQ(globeSatCount, 0);
    EXPECT_EQ(globeSatGroup, 2);
    AdvanceSatelliteClocks(1.0);   // harmless without tables
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
        {2026, 12, 31, 23.5, 1.0, 2027, 1, 1, 0.5},
        {2026, 6, 15, 12.0, 11.5, 2026, 6, 15, 23.5},
        {2026, 6, 15, 12.0, 12.0, 2026, 6, 16, 0.0},
        {2026, 6, 15, 0.0, -24.0, 2026, 6, 14, 0.0},
    };
    for (const Row& row : rows) {
        SatelliteRecord r{};
        r.year = row.year, r.month = row.month, r.day = row.day, r.hours = row.hours;
        AdvanceSatelliteClock(&r, row.step);
        EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, row.toYear * 10000 + row.toMonth * 100 + row.toDay);
        EXPECT_NEAR(r.hours, row.toHours, 1e-12);
    }
    // Every month's last day steps to the 1st of the next and back.
    const int lastDay[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; month++) {
        SatelliteRecord r{};
        r.year = 2025, r.month = month, r.day = lastDay[month - 1], r.hours = 23.0;
        AdvanceSatelliteClock(&r, 2.0);
        EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, month == 12 ? 20260101 : 20250001 + 100 * (month + 1));
        AdvanceSatelliteClock(&r, -2.0);
        EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, 20250000 + 100 * month + lastDay[month - 1]);
    }
}

TEST(SatelliteClock, StatusText) {
    struct Row {
        double hours;
        const char* text;
    } rows[] = {{23.0 + 40.0 / 60.0, "12/31/1997 23:40 UTC"}, {0.5, "12/31/1997 00:30 UTC"},
                {23.9999999, "12/31/1997 23:59 UTC"},       {24.5, "12/31/1997 23:30 UTC"},
                {-0.5, "12/31/1997 00:30 UTC"}};   // hour clamped, minute from what is left
    for (const Row& row : rows) {
        SatelliteRecord r{};
        r.year = 1997, r.month = 12, r.day = 31, r.hours = row.hours;
        char text[64];
        FormatSatelliteClock(r, text, sizeof text);
        EXPECT_STREQ(text, row.text);
    }
}
