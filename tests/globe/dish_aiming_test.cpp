// Dish aiming: the dialog's checks, where geo.tle comes from, and the report byte for byte.
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "satellite_tools_fixture.h"

namespace {

struct Day {
    int year, month, day;
};

Day Today() {
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return Day{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

struct Site {
    double latitude, longitude, altitude;
};
constexpr Site kDefaultSite{53.5, -113.5, 672.0};

SatelliteRecord ReportRecord(const ElementText& e, const Site& site, const Day& day) {
    std::string text = ElementSet("X", e);
    SatelliteRecord r{};
    EXPECT_TRUE(ParseElementSet((const uint8_t*)text.data(), text.size(), 0, &r));
    r.frequency = 146.0;
    r.observerLatitude = site.latitude, r.observerLongitude = site.longitude, r.observerAltitude = site.altitude;
    r.minimumElevation = 0.0, r.hours = 0.0;
    r.year = day.year, r.month = day.month, r.day = day.day;
    return r;
}

// A geostationary element set whose sub-satellite point lies within half a degree of
// `longitude` at 0:00 universal time of the day.
ElementText GeoAt(double longitude, const Day& day) {
    ElementText best;
    double nearest = 360.0;
    for (int anomaly = 0; anomaly < 360; anomaly++) {
        ElementText e;
        e.inclination = "  0.0100", e.eccentricity = "0000000", e.motion = " 1.00273791";
        e.node = "  0.0000", e.perigee = "  0.0000", e.anomaly = Format("%8.4f", anomaly);
        double away = fabs(PropagateSatellite(ReportRecord(e, kDefaultSite, day)).longitude - longitude);
        if (away < nearest) nearest = away, best = e;
    }
    return best;
}

struct GeoSatellite {
    std::string name;     // as in the file
    std::string listed;   // as in the report: at most 33 characters
    double longitude;
};

// The report as it should read: the columns put together by padding, not by a format string.
std::string ExpectedReport(const std::vector<GeoSatellite>& sorted, const Site& site, const Day& day) {
    char header[160];
    snprintf(header, sizeof header, "site location = (%f,%f,%f)\r\n\r\n", site.latitude, site.longitude, site.altitude);
    std::string out = header;
    out += "name                                azimuth  elevation\r\n";
    out += std::string(54, '-') + "\r\n";
    for (const GeoSatellite& g : sorted) {
        OrbitResult o = PropagateSatellite(ReportRecord(GeoAt(g.longitude, day), site, day));
        std::string line = g.listed + std::string(35 - g.listed.size(), ' ') + " ";
        if (o.visible) {
            std::string azimuth = Format("%.3f", o.azimuth), elevation = Format("%.3f", o.elevation);
            line += azimuth + std::string(azimuth.size() < 8 ? 8 - azimuth.size() : 0, ' ') + " ";
            line += elevation + std::string(elevation.size() < 7 ? 7 - elevation.size() : 0, ' ');
        } else {
            line += "(not visible)";
        }
        out += line + "\r\n";
    }
    return out;
}

std::string GeoFile(const std::vector<GeoSatellite>& satellites, const Day& day) {
    std::string text;
    for (const GeoSatellite& g : satellites) text += ElementSet(g.name, GeoAt(g.longitude, day));
    return text;
}

const std::vector<FieldText> kTypedNothing = {};

struct DishAimingTest : SatelliteToolsTest {
    std::string Report() {
        std::vector<uint8_t> bytes = ReadTestFile(root / "aim_dish.txt");
        return std::string(bytes.begin(), bytes.end());
    }
    int ReportWritten() { return FileExists((root / "aim_dish.txt").c_str()); }
    void WriteTwoSatellites(const char* where) {
        WriteRoot(where, GeoFile({{"ZULU", "ZULU", -110.0}, {"ALPHA", "ALPHA", -60.0}}, Today()));
    }
};

}  // namespace

// Names in the file from Z to A, one too long, one below the horizon, one in lower case and
// one with an accented capital (byte 0xC9): sorted as unsigned bytes, each in its columns.
TEST_F(DishAimingTest, ReportSortsNamesAsBytesAndKeepsItsColumns) {
    const Day day{1998, 1, 1};
    std::vector<GeoSatellite> file = {
        {"ZULU-1", "ZULU-1", -110.0},
        {"\xC9TOILE-3", "\xC9TOILE-3", -100.0},
        {"beta far side", "beta far side", 70.0},
        {"ALPHA-2", "ALPHA-2", -60.0},
        {"A VERY LONG GEOSTATIONARY SATELLITE NAME", "A VERY LONG GEOSTATIONARY SATELLI", -130.0},
    };
    ASSERT_FALSE(PropagateSatellite(ReportRecord(GeoAt(70.0, day), kDefaultSite, day)).visible);
    ASSERT_TRUE(PropagateSatellite(ReportRecord(GeoAt(-60.0, day), kDefaultSite, day)).visible);
    WriteRoot("geo.tle", GeoFile(file, day));
    ASSERT_TRUE(WriteDishReport((root / "geo.tle").c_str(), 53.5, -113.5, 672.0, 1998, 1, 1));
    std::vector<GeoSatellite> sorted = {file[4], file[3], file[0], file[2], file[1]};
    EXPECT_EQ(Report(), ExpectedReport(sorted, kDefaultSite, day));
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(DishAimingTest, OkWritesTheReportForTodayThenPlaysTheCueAndSaysWhere) {
    WriteTwoSatellites("tmp\\geo.tle");
    size_t dialogs = TestShownDialogs().size();
    TestPushDialogScript(TypeAndClick(kTypedNothing));
    DishAiming();
    ASSERT_EQ(TestShownDialogs().size(), dialogs + 1);
    EXPECT_EQ(TestShownDialogs().back(), "Dish Aiming");
    EXPECT_EQ(PlayedCues(), std::vector<std::string>{"process"});
    ASSERT_EQ(ShownTexts(), std::vector<std::string>{"Output saved to file " + root.path + "\\AIM_DISH.TXT"});
    EXPECT_EQ(TestShownMessages().back().caption, "");
    EXPECT_EQ(Report(), ExpectedReport({{"ALPHA", "ALPHA", -60.0}, {"ZULU", "ZULU", -110.0}}, kDefaultSite, Today()));
}

TEST_F(DishAimingTest, DialogShowsDefaultsAndCancelWritesNothing) {
    WriteTwoSatellites("tmp\\geo.tle");
    std::vector<std::string> texts;
    int north = 0, west = 0;
    TestPushDialogScript([&](Dialog* d) {
        for (int id : {kDishLatDegrees, kDishLatMinutes, kDishLatSeconds, kDishLonDegrees, kDishLonMinutes,
                       kDishLonSeconds, kDishAltitude})
            texts.push_back(GetItemText(d, id));
        north = GetItemCheck(d, kDishNorth), west = GetItemCheck(d, kDishWest);
        TestDialogCommand(d, IDCANCEL);
    });
    DishAiming();
    EXPECT_EQ(texts, (std::vector<std::string>{"53", "30", "0", "113", "30", "0", "672"}));
    EXPECT_TRUE(north && west);
    EXPECT_FALSE(ReportWritten());
    EXPECT_TRUE(ShownTexts().empty() && TestPlayedSounds().empty());
}

TEST_F(DishAimingTest, DialogChecksFieldsInOrder) {
    WriteTwoSatellites("tmp\\geo.tle");
    ExpectChecksInOrder({{kDishLatDegrees, "91", "Invalid degrees value for latitude"},
                         {kDishLatMinutes, "60", "Invalid minutes value for latitude"},
                         {kDishLatSeconds, "60", "Invalid seconds value for latitude"},
                         {kDishLonDegrees, "181", "Invalid degrees value for longitude"},
                         {kDishLonMinutes, "-1", "Invalid minutes value for longitude"},
                         {kDishLonSeconds, "60", "Invalid seconds value for longitude"},
                         {kDishAltitude, "8848.5", "Invalid value for altitude"}},
                        [&] {
                            DishAiming();
                            EXPECT_FALSE(ReportWritten());
                        });
}

// The limit degree takes no minutes or seconds; altitudes are decimals from -392 to 8848.
TEST_F(DishAimingTest, DialogRefusesMinutesPastThePoles) {
    WriteTwoSatellites("tmp\\geo.tle");
    struct Case {
        std::vector<FieldText> typed;
        const char* refusal;   // nullptr: accepted
    } cases[] = {
        {{{kDishLatDegrees, "90"}, {kDishLatMinutes, "30"}}, "Invalid minutes value for latitude"},
        {{{kDishLatDegrees, "90"}, {kDishLatMinutes, "0"}, {kDishLatSeconds, "0"}}, nullptr},
        {{{kDishLonDegrees, "180"}, {kDishLonMinutes, "0"}, {kDishLonSeconds, "1"}}, "Invalid seconds value for longitude"},
        {{{kDishAltitude, "-392"}}, nullptr},
        {{{kDishAltitude, "8848"}}, nullptr},
        {{{kDishAltitude, "-392.5"}}, "Invalid value for altitude"},
        {{{kDishAltitude, "0x10"}}, "Invalid value for altitude"},
        {{{kDishLatDegrees, "4.5"}}, "Invalid degrees value for latitude"},
    };
    for (const Case& c : cases) {
        TestClearShown();
        RemoveFile((root / "aim_dish.txt").c_str());
        TestPushDialogScript(TypeAndClick(c.typed));
        DishAiming();
        if (c.refusal) {
            EXPECT_EQ(ShownTexts(), std::vector<std::string>{c.refusal}) << c.typed.back().text;
            EXPECT_FALSE(ReportWritten());
        } else {
            EXPECT_EQ(ShownTexts().size(), 1u) << c.typed.back().text;   // "Output saved to file ..."
            EXPECT_TRUE(ReportWritten());
        }
    }
    // South and East: the latitude turns negative, the longitude positive.
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, kDishAltitude, "-12.5");
        TestDialogCommand(d, kDishSouth);
        TestDialogCommand(d, kDishEast);
        TestDialogCommand(d, IDOK);
    });
    DishAiming();
    EXPECT_EQ(Report().substr(0, 55), "site location = (-53.500000,113.500000,-12.500000)\r\n\r\nn");
}

TEST_F(DishAimingTest, GeoTleFromTheTemporaryFolderElseTheDataFileLookupElseABeep) {
    size_t dialogs = TestShownDialogs().size();
    int beeps = TestBeepCount();
    DishAiming();
    EXPECT_EQ(TestBeepCount(), beeps + 1);
    EXPECT_EQ(TestShownDialogs().size(), dialogs);
    EXPECT_TRUE(ShownTexts().empty() && TestPlayedSounds().empty());
    EXPECT_EQ(DishElementFile(), "");

    // The data root's copy (a fresh data root has no temporary one).
    WriteRoot("geo.tle", GeoFile({{"FROM ROOT", "FROM ROOT", -100.0}}, Today()));
    TestPushDialogScript(TypeAndClick(kTypedNothing));
    DishAiming();
    EXPECT_NE(Report().find("FROM ROOT"), std::string::npos);

    // The temporary folder's copy comes first.
    WriteRoot("tmp\\geo.tle", GeoFile({{"FROM TEMP", "FROM TEMP", -100.0}}, Today()));
    TestPushDialogScript(TypeAndClick(kTypedNothing));
    DishAiming();
    EXPECT_NE(Report().find("FROM TEMP"), std::string::npos);
    EXPECT_EQ(Report().find("FROM ROOT"), std::string::npos);
}
