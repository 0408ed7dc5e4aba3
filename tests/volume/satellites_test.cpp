// The satellites step: reading three-line, two-line and keyed element sets, one set per object
// at its newest epoch, choosing the groups and geo.tle, the texts' epoch lines, the world
// outline, and the whole step on the recipe's own files.
#include "satellites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/le_bytes.h"
#include "support/test_volume.h"
#include "volume_helpers.h"

static const char* kLine1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
static const char* kLine2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";

static std::string Put(std::string line, size_t column, const char* text) {
    line.replace(column - 1, strlen(text), text);
    return line;
}

// Element lines of a made-up object: catalogue number, epoch "YYDDD.DDDDDDDD", inclination and
// mean motion; the other columns are those of a real set.
static std::string Line1(const char* number, const char* epoch) {
    char n[8];
    snprintf(n, sizeof n, "%5s", number);
    return Put(Put(kLine1, 3, n), 19, epoch);
}

static std::string Line2(const char* number, double inclination = 51.6416, double motion = 15.72125391) {
    char n[8], inc[16], mm[16];
    snprintf(n, sizeof n, "%5s", number);
    snprintf(inc, sizeof inc, "%8.4f", inclination);
    snprintf(mm, sizeof mm, "%11.8f", motion);
    return Put(Put(Put(kLine2, 3, n), 9, inc), 53, mm);
}

static std::string Three(const char* name, const char* number, const char* epoch, double inclination = 51.6,
                         double motion = 15.5, const char* end = "\n") {
    return std::string(name) + end + Line1(number, epoch) + end + Line2(number, inclination, motion) + end;
}

static ElementFile Parse(const std::string& text) {
    ElementFile f;
    ParseElementText(text, &f);
    return f;
}

TEST(SatelliteSources, ThreeAndTwoLineSetsWithEitherLineEnd) {
    std::string text = Three("0 ISS (ZARYA)", "25544", "22053.50000000", 51.6, 15.5, "\r\n") +
                       Line1("11", "22053.83197560") + "\n" + Line2("11") + "\n" + "\n" +
                       Three("NOAA 9 [P]", "15427", "18020.25000000") + Three("OLD MAC", "900", "90001.0", 0, 1, "\r");
    text.pop_back();  // no line break after the last line
    ElementFile f = Parse(text);
    ASSERT_EQ(f.sets.size(), 4u);
    EXPECT_EQ(f.badLines, 0);
    EXPECT_EQ(f.sets[0].name, "ISS (ZARYA)");  // Space-Track's "0 " is not part of the name
    EXPECT_EQ(f.sets[0].catalogue, "25544");
    EXPECT_EQ(f.sets[0].line1.back(), '7');  // no CR left on the lines
    EXPECT_DOUBLE_EQ(f.sets[0].epoch, 2022053.5);
    EXPECT_EQ(f.sets[1].name, "");
    EXPECT_EQ(f.sets[1].catalogue, "11");
    EXPECT_EQ(f.sets[2].name, "NOAA 9");
    EXPECT_EQ(f.sets[2].status, 'P');
    EXPECT_DOUBLE_EQ(f.sets[2].epoch, 2018020.25);
    EXPECT_EQ(f.sets[2].line2.size(), 69u);
    EXPECT_EQ(f.sets[3].name, "OLD MAC");    // lone CRs end lines too
    EXPECT_EQ(f.sets[3].line2.size(), 69u);  // the last line, without its line end
}

TEST(SatelliteSources, DamagedLinesAreCountedNotRead) {
    // A cut-off last set, element lines of two objects, and a line 1 too short to hold its fields.
    std::string text = Three("GOOD", "1000", "20001.00000000") + "LOOSE NAME\n" + Line1("2000", "20001.0") + "\n" +
                       Line2("2001") + "\n" + "SHORT\n1 3000U\n" + "0 ONEWEB-0094\n" + Line1("45450", "22053.1") +
                       "\n2 45450  ";
    ElementFile f = Parse(text);
    ASSERT_EQ(f.sets.size(), 1u);
    EXPECT_EQ(f.sets[0].name, "GOOD");
    EXPECT_EQ(f.badLines, 8);
}

TEST(SatelliteSources, KeyedCatalogueAndCategoryLists) {
    std::string keyed = "[25544]\nVERSION=1.1\nNAME=ISS (ZARYA)\nNICKNAME=ISS\nTLE1=" + Line1("25544", "18020.5") +
                        "\nTLE2=" + Line2("25544") + "\n\n[4793]\nNAME=NOAA 1 [-]\nTLE1=" + Line1("4793", "18019.5") +
                        "\r\nTLE2=" + Line2("4793") + "\r\n";
    ElementFile f;
    ParseKeyedElements(keyed, &f);
    ASSERT_EQ(f.sets.size(), 2u);
    EXPECT_EQ(f.sets[0].name, "ISS (ZARYA)");
    EXPECT_EQ(f.sets[1].name, "NOAA 1");
    EXPECT_EQ(f.sets[1].status, '-');

    std::multimap<std::string, std::string> categories;
    ParseCategoryList("NOAA\n4793\n06235\r\n\n", "noaa", &categories);
    EXPECT_EQ(categories.count("4793"), 1u);
    EXPECT_EQ(categories.count("6235"), 1u);  // leading zeros dropped, as in element lines
    EXPECT_EQ(categories.count("NOAA"), 0u);  // the title line is no number
}

TEST(SatelliteSources, NewestEpochWinsPerObject) {
    ElementFile older = Parse(Three("STATION [-]", "100", "99365.90000000") + Three("KEEP", "7", "05001.0") +
                              Three("TIE OLD", "300", "10010.0"));
    // Year 00 is 2000, after 1999; a two-line set keeps the older name; alpha-5 numbers sort last.
    ElementFile newer =
        Parse(Line1("00100", "00001.10000000") + "\n" + Line2("00100") + "\n" + Three("TIE NEW", "300", "10010.0") +
              Three("OLD SET", "7", "04360.0") + Three("ALPHA", "A0001", "20001.0"));
    std::vector<ElementSet> all = NewestPerObject({&older, &newer});
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].catalogue, "7");
    EXPECT_EQ(all[0].name, "KEEP");
    EXPECT_EQ(all[1].catalogue, "100");
    EXPECT_DOUBLE_EQ(all[1].epoch, 2000001.1);
    EXPECT_EQ(all[1].name, "STATION");
    EXPECT_EQ(all[1].status, '-');
    EXPECT_EQ(all[2].name, "TIE NEW");  // the later file wins a tie
    EXPECT_EQ(all[3].catalogue, "A0001");

    ElementFile unnamed = Parse(Line1("555", "21001.0") + "\n" + Line2("555") + "\n");
    EXPECT_EQ(NewestPerObject({&unnamed})[0].name, "555");
}

TEST(SatelliteSources, EpochDates) {
    struct { double epoch; const char* date; } dates[] = {
        {2020060.5, "2020-02-29"}, {2021060.5, "2021-03-01"}, {1999365.99, "1999-12-31"}, {2000366.0, "2000-12-31"}};
    for (const auto& d : dates) EXPECT_EQ(EpochDate(d.epoch), d.date) << d.epoch;
    EXPECT_DOUBLE_EQ(EpochDays(2000001.5) - EpochDays(1999365.5), 1.0);
    EXPECT_DOUBLE_EQ(EpochDays(2021001.0) - EpochDays(2020001.0), 366.0);
    ElementFile f = Parse(Three("A", "1", "18020.5") + Three("B", "2", "22053.2") + Three("C", "3", "19100.0"));
    EXPECT_EQ(EpochRange(f.sets), "2018-01-20 to 2022-02-22");
    EXPECT_EQ(EpochRange({}), "no element sets");
    EXPECT_DOUBLE_EQ(EpochOfLine(Line1("1", "20366.50000000")), 2020366.5);  // a leap year's last day
    EXPECT_EQ(EpochOfLine(Line1("1", "21366.50000000")), 0);
    EXPECT_EQ(EpochOfLine(Line1("1", "21000.50000000")), 0);
    EXPECT_EQ(EpochOfLine(Line1("1", "2x001.50000000")), 0);
}

TEST(SatelliteGroups, GeostationaryLimits) {
    struct Case {
        double motion, inclination;
        int geo;
    } cases[] = {{0.9899, 0.1, 0}, {0.99, 0.1, 1},   {1.0027, 14.99, 1}, {1.0027, 15.0, 0},
                 {1.01, 3.0, 1},   {1.0101, 0.0, 0}, {2.0056, 55.0, 0}};
    for (const Case& c : cases) {
        ElementFile f = Parse(Three("SAT", "1", "22001.0", c.inclination, c.motion));
        ASSERT_EQ(f.sets.size(), 1u);
        EXPECT_EQ(IsGeostationary(f.sets[0]), c.geo) << c.motion << " rev/day, " << c.inclination << " degrees";
    }
}

TEST(SatelliteGroups, NamesMatchWholeWordsAtTheStartOrAfterABracket) {
    struct { const char *name, *pattern; int match; } cases[] = {
        {"ERS 1", "ERS|ENVISAT", 0}, {"ERS-2", "ERS|ENVISAT", 0}, {"Envisat", "ERS|ENVISAT", 1},
        {"CBERS 4", "ERS|ENVISAT", -1}, {"PERSEUS M1", "ERS|ENVISAT", -1}, {"MIRANDA (X-4)", "ISS|MIR", -1},
        {"UME 1 (ISS 1)", "ISS|MIR", -1}, {"ISS (ZARYA)", "ISS|MIR", 0}, {"FOX-1B (AO-91)", "OSCAR|(AO-", 1},
        {"DMSP 5D-3 F19 (USA 249)", "USA|(USA", 1}, {"USAT 1", "USA|(USA", -1}, {"anything", "", -1}};
    for (const auto& c : cases) EXPECT_EQ(MatchNamePattern(c.name, c.pattern), c.match) << c.name;
}

static const SatelliteGroup& Group(const char* file) {
    for (const SatelliteGroup& g : SatelliteGroups())
        if (strcmp(g.file, file) == 0) return g;
    static SatelliteGroup none{};
    ADD_FAILURE() << file;
    return none;
}

static std::vector<std::string> Names(const std::vector<const ElementSet*>& sets) {
    std::vector<std::string> out;
    for (const ElementSet* s : sets) out.push_back(s->name);
    return out;
}

TEST(SatelliteGroups, RankingAndTheLimitOf34) {
    std::string text;
    char name[32], number[8];
    for (int i = 1; i <= 40; i++) {  // 40 LANDSAT objects: the 34 highest numbers stay
        snprintf(name, sizeof name, "LANDSAT %d", i);
        snprintf(number, sizeof number, "%d", 1000 + i);
        text += Three(name, number, "22001.0");
    }
    ElementFile f = Parse(text);
    std::vector<ElementSet> catalogue = NewestPerObject({&f});
    int matched = 0;
    std::vector<const ElementSet*> landsat = SelectGroup(Group("sats\\landsat.dat"), catalogue, {}, &matched);
    EXPECT_EQ(matched, 40);
    ASSERT_EQ(landsat.size(), 34u);
    EXPECT_EQ(landsat.front()->name, "LANDSAT 40");
    EXPECT_EQ(landsat.back()->name, "LANDSAT 7");

    // Weather: listed in a category before unlisted, pattern order next, not operational last,
    // unidentified objects never.
    ElementFile w = Parse(Three("NOAA 1 [-]", "4793", "18001.0") + Three("NOAA 19", "33591", "18001.0") +
                          Three("METEOSAT-11 (MSG-4)", "40732", "18001.0") + Three("GOES 16", "41866", "18001.0") +
                          Three("NOAA 20", "43013", "22001.0") + Three("OBJECT A", "50000", "22001.0") +
                          Three("CBERS 4", "40336", "22001.0"));
    std::multimap<std::string, std::string> categories = {
        {"33591", "noaa"}, {"40732", "weather"}, {"41866", "weather"}, {"4793", "noaa"}, {"50000", "weather"}};
    std::vector<ElementSet> weather = NewestPerObject({&w});
    std::vector<const ElementSet*> noaa = SelectGroup(Group("sats\\noaa.dat"), weather, categories, &matched);
    EXPECT_EQ(Names(noaa),
              (std::vector<std::string>{"GOES 16", "NOAA 19", "METEOSAT-11 (MSG-4)", "NOAA 20", "NOAA 1"}));
}

TEST(SatelliteGroups, OrbitAndExclusionRules) {
    ElementFile f = Parse(
        Three("COSMOS 2425 (716)", "29672", "18001.0", 64.8, 2.1316) +
        Three("COSMOS 2428", "32052", "18001.0", 71.0, 14.1) +
        Three("NAVSTAR 43 (USA 132)", "24876", "22001.0", 55.0, 2.0056) +
        Three("SBSS (USA 216)", "37168", "22001.0", 97.8, 14.8) + Three("HELIOS 1B", "25977", "22001.0", 98.3, 14.8) +
        Three("LEASAT 5", "20410", "22001.0", 10.0, 1.0027) + Three("INTELSAT 901", "26824", "22001.0", 1.0, 1.05));
    std::vector<ElementSet> all = NewestPerObject({&f});
    int matched = 0;
    EXPECT_EQ(Names(SelectGroup(Group("sats\\glonas.dat"), all, {}, &matched)),
              (std::vector<std::string>{"COSMOS 2425 (716)"}));  // a Cosmos on the GLONASS orbit only
    EXPECT_EQ(Names(SelectGroup(Group("sats\\gps.dat"), all, {}, &matched)),
              (std::vector<std::string>{"NAVSTAR 43 (USA 132)"}));
    EXPECT_EQ(Names(SelectGroup(Group("sats\\spy.dat"), all, {}, &matched)),
              (std::vector<std::string>{"SBSS (USA 216)", "HELIOS 1B"}));  // GPS is not among them
    EXPECT_EQ(Names(SelectGroup(Group("sats\\leasat.dat"), all, {}, &matched)),
              (std::vector<std::string>{"LEASAT 5"}));  // the drifting one is not geostationary
}

TEST(SatelliteTexts, EpochLinesReplaceTheMarker) {
    ElementFile f = Parse(Three("A", "1", "18020.5") + Three("B", "2", "22053.2"));
    std::vector<GroupSummary> groups = {{&Group("sats\\oscar.dat"), 2, EpochRange(f.sets)},
                                        {&Group("sats\\spy.dat"), 0, EpochRange({})},
                                        {&Group("sats\\gps.dat"), 5, "2018-01-19 to 2018-01-19"}};
    std::string text =
        FillEpochLines("{bigtext=51,100,\"Satellites\"}\nIntro\n@EPOCHS@\nEnd", "sats\\sats.txt", groups);
    EXPECT_EQ(text,
              "{bigtext=51,100,\"Satellites\"}\r\nIntro\r\n"
              "Amateur radio satellites on this volume: 2, with element sets from 20 January\r\n"
              "2018 to 22 February 2022.\r\n"
              "This volume holds no element sets of military satellites (US military spacecraft\r\n"
              "under their USA numbers, France's Helios reconnaissance satellites).\r\nEnd\r\n");
    std::string gps = FillEpochLines("@EPOCHS@\r\n", "sats\\gps.txt", groups);
    EXPECT_EQ(gps, "GPS navigation satellites on this volume: 5, with element sets of 19 January\r\n2018.\r\n");
}

// The authored texts: one for every text the group table names, each with its epoch marker and
// no line longer than the viewer reads, and the index links to every other text.
TEST(SatelliteTexts, EveryGroupTextIsWritten) {
    std::string folder = SourceDir() + "/content/sats/";
    std::vector<uint8_t> index = ReadTestFile(folder + "sats.txt");
    std::string indexText(index.begin(), index.end());
    for (const SatelliteGroup& g : SatelliteGroups()) {
        std::string name = std::string(g.text).substr(5);
        std::vector<uint8_t> bytes = ReadTestFile(folder + name);
        ASSERT_FALSE(bytes.empty()) << name;
        std::string text(bytes.begin(), bytes.end());
        EXPECT_NE(text.find("\n@EPOCHS@\n"), std::string::npos) << name;
        EXPECT_EQ(text.rfind("{bigtext=", 0), 0u) << name;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = std::min(text.find('\n', at), text.size());
            EXPECT_LE(end - at, 194u) << name;
            at = end + 1;
        }
        for (uint8_t c : bytes) EXPECT_LT(c, 128) << name;
        if (name != "sats.txt") {
            EXPECT_NE(indexText.find("{f \"sats\\" + name + "\" "), std::string::npos) << name;
        }
    }
}

TEST(SatelliteOutline, PolylinesStartWithTheMarkerPair) {
    std::vector<uint8_t> bytes =
        EncodeWorldOutline({{{10, 20}, {190, -5.5}}, {{1, 1}}, {{-170, 0}, {-171, 1}, {-172, 2}}});
    ASSERT_EQ(bytes.size(), (3 + 4) * 8u);  // the one-point line is left out
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    float expect[] = {-9999, 0, 10, 20, -170, -5.5f, -9999, 0, -170, 0, -171, 1, -172, 2};
    for (float v : expect) EXPECT_FLOAT_EQ(ReadF32LE(c), v);
}

// [SECTION] The whole step

static const char* kFakeGmt =
    "#!/bin/sh\nprintf '> Shore Bin # 1, Level 1\\n20 80.5\\n19.5 80.6\\n> seg\\n-5 36\\n-6 36.1\\n-7 36.2\\n'\n";

static int LinesEndInCrLf(const std::string& text) {
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return 0;
    return !text.empty() && text.back() == '\n';
}

TEST(SatellitesStep, RecipeFilesReplaceThePackagedSources) {
    TempFolder inputs, volume;
    WriteTestText(inputs / "stations.txt", Three("ISS (ZARYA)", "25544", "22050.5", 51.6, 15.5, "\r\n") +
                                               Three("LANDSAT 8", "39084", "22040.5", 98.2, 14.57));
    // A two-line file, a newer ISS set, a geostationary weather satellite, no line break at the end.
    std::string two = Line1("25544", "22053.5") + "\n" + Line2("25544", 51.6, 15.49) + "\n" + "GOES 16\n" +
                      Line1("41866", "22001.25") + "\n" + Line2("41866", 0.05, 1.0027);
    WriteTestText(inputs / "more.tle", two);
    BuildContext ctx;
    ctx.outDir = volume.path;
    ctx.recipe["tle"] = inputs / "stations.txt" + ", " + inputs / "more.tle";
    ctx.recipe["gmt"] = MakeScript(inputs, "gmt", kFakeGmt);
    ctx.recipe["content"] = SourceDir() + "/content";
    testing::internal::CaptureStderr();
    EXPECT_EQ(BuildSatellites(ctx), 1);
    testing::internal::GetCapturedStderr();

    std::string kepler = TextOf(volume / "sats/kepler.tle");
    EXPECT_TRUE(LinesEndInCrLf(kepler));
    EXPECT_EQ(kepler, "ISS (ZARYA)\r\n" + Line1("25544", "22053.5") + "\r\n" + Line2("25544", 51.6, 15.49) + "\r\n" +
                          "LANDSAT 8\r\n" + Line1("39084", "22040.5") + "\r\n" + Line2("39084", 98.2, 14.57) + "\r\n" +
                          "GOES 16\r\n" + Line1("41866", "22001.25") + "\r\n" + Line2("41866", 0.05, 1.0027) + "\r\n");
    std::string geo = TextOf(volume / "geo.tle");
    EXPECT_EQ(geo.substr(0, 9), "GOES 16\r\n");
    EXPECT_EQ(std::count(geo.begin(), geo.end(), '\n'), 3);
    EXPECT_EQ(TextOf(volume / "sats/mir.dat").substr(0, 13), "ISS (ZARYA)\r\n");
    EXPECT_EQ(TextOf(volume / "sats/noaa.dat").substr(0, 9), "GOES 16\r\n");
    EXPECT_EQ(TextOf(volume / "sats/gps.dat"), "");  // written, but empty
    EXPECT_TRUE(LinesWith(ctx.report, "sats\\gps.dat is empty: the sources name no GPS navigation satellites"));
    EXPECT_TRUE(LinesWith(ctx.report, "more.tle: 2 element sets, epochs 2022-01-01 to 2022-02-22"));
    EXPECT_TRUE(LinesWith(ctx.report, "sats\\kepler.tle: every object: 3, epochs 2022-01-01 to 2022-02-22"));
    EXPECT_TRUE(LinesWith(ctx.report, "below 15 degrees): 1, epochs 2022-01-01 to 2022-01-01"));
    EXPECT_TRUE(LinesWith(ctx.report, "sats\\mir.dat: space stations: 1, epochs 2022-02-22 to 2022-02-22"));

    std::string goes = TextOf(volume / "sats/goes.txt");
    EXPECT_TRUE(LinesEndInCrLf(goes));
    EXPECT_NE(goes.find("\r\nWeather satellites on this volume: 1, with element sets of 1 January 2022.\r\n"),
              std::string::npos);
    EXPECT_EQ(goes.find("@EPOCHS@"), std::string::npos);
    EXPECT_EQ(ReadTestFile(volume / "sats/worldmap.deg").size(), (2 + 3 + 2) * 8u);

    // Another recipe rebuilds every file, however new the volume's files are.
    WriteTestText(inputs / "only.tle", Three("RADARSAT 2", "32382", "22053.5", 98.6, 14.3));
    ctx.recipe["tle"] = inputs / "only.tle";
    ctx.report.clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(BuildSatellites(ctx), 1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(TextOf(volume / "sats/kepler.tle").substr(0, 12), "RADARSAT 2\r\n");
    EXPECT_EQ(TextOf(volume / "sats/mir.dat"), "");
    EXPECT_EQ(TextOf(volume / "geo.tle"), "");
    EXPECT_TRUE(LinesWith(ctx.report, "sats\\radarsat.dat: RADARSAT radar satellites: 1"));
}

TEST(SatellitesStep, NoReadableSourceFails) {
    TempFolder volume;
    BuildContext ctx;
    ctx.outDir = volume.path;
    ctx.recipe["tle"] = volume / "missing.tle";
    testing::internal::CaptureStderr();
    EXPECT_EQ(BuildSatellites(ctx), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("missing.tle"), std::string::npos);
    EXPECT_FALSE(ctx.missing.empty());
}
