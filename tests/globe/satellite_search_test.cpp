// The visible-satellites search over a catalogue whose cases the propagator finds first (seen
// only at +5 minutes, never seen, geostationary): dialog checks, names, entries, path view.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "globe/globe.h"
#include "satellite_tools_fixture.h"

namespace {

// The search of these tests: 53 30 0 N, 113 30 0 W, 1 January 1998 at 19:30 (the observer's
// noon, so that what is above the horizon is mostly in sunlight), universal time as the zone.
constexpr double kLatitude = 53.5, kLongitude = -113.5, kHours = 19.5;
const std::vector<FieldText> kSearchWhen = {
    {kSearchDay, "1"}, {kSearchMonth, "1"}, {kSearchYear, "1998"}, {kSearchHour, "19"}, {kSearchMinute, "30"},
};

// The record the search makes of an element set, as the element-set parser reads it.
SatelliteRecord SearchRecord(const ElementText& e) {
    std::string text = ElementSet("X", e);
    SatelliteRecord r{};
    EXPECT_TRUE(ParseElementSet((const uint8_t*)text.data(), text.size(), 0, &r));
    r.frequency = 146.0;
    r.observerLatitude = kLatitude, r.observerLongitude = kLongitude;
    r.observerAltitude = 0.0, r.minimumElevation = 0.0;
    r.year = 1998, r.month = 1, r.day = 1, r.hours = kHours;
    return r;
}

OrbitResult At(SatelliteRecord r, double minutes) {
    r.hours = kHours + minutes / 60.0;
    return PropagateSatellite(r);
}

int Seen(const SatelliteRecord& r, double minutes) {
    OrbitResult o = At(r, minutes);
    return o.visible && !o.eclipsed;
}

// Element sets for the cases, found by turning a space-station orbit's node and mean anomaly.
struct CatalogueCases {
    ElementText lateRiser, neverSeen, geostationary;
    int found = 0;
};

const CatalogueCases& Cases() {
    static CatalogueCases c;
    if (c.found) return c;
    int late = 0, never = 0;
    for (int node = 0; node < 360 && !(late && never); node += 10) {
        for (int anomaly = 0; anomaly < 360 && !(late && never); anomaly++) {
            ElementText e;
            e.node = Format("%8.4f", node);
            e.anomaly = Format("%8.4f", anomaly);
            SatelliteRecord r = SearchRecord(e);
            int before = Seen(r, -5), now = Seen(r, 0), after = Seen(r, 5);
            if (!late && after && !now && !before) c.lateRiser = e, late = 1;
            if (!never && !after && !now && !before) c.neverSeen = e, never = 1;
        }
    }
    // A geostationary object high over the observer's meridian.
    double best = -90.0;
    for (int anomaly = 0; anomaly < 360; anomaly++) {
        ElementText e;
        e.inclination = "  0.0500", e.eccentricity = "0000000", e.motion = " 1.00273791";
        e.node = "  0.0000", e.perigee = "  0.0000", e.anomaly = Format("%8.4f", anomaly);
        double elevation = At(SearchRecord(e), 0).elevation;
        if (elevation > best) best = elevation, c.geostationary = e;
    }
    c.found = late && never;
    return c;
}

std::string Catalogue() {
    const CatalogueCases& c = Cases();
    return ElementSet("LATE RISER", c.lateRiser) + ElementSet("NEVER SEEN", c.neverSeen) +
           ElementSet("GEO BIRD", c.geostationary) + ElementSet("Cos 1234", c.lateRiser) +
           ElementSet("Cosmos 1234", c.lateRiser) + ElementSet("ARIANE deb", c.lateRiser) +
           ElementSet("ATLAS r", c.lateRiser) + ElementSet("DELTA rocket", c.lateRiser) +
           ElementSet("TITAN r2", c.lateRiser) + ElementSet("TITAN R", c.lateRiser) +
           ElementSet("THOR d12", c.lateRiser) + ElementSet("THOR d123", c.lateRiser) +
           ElementSet("A NAME OF FORTY-FIVE CHARACTERS, FAR TOO LONG", c.lateRiser) +
           ElementSet("SPACED   \r", c.lateRiser);
}

const std::vector<std::string> kListed = {
    "LATE RISER", "Cosmos 1234", "Cosmos 1234", "DELTA rocket", "TITAN R", "THOR d123",
    "A NAME OF FORTY-FIVE CHARACTERS, FAR TO", "SPACED",
};

struct ResultDialogSeen {
    std::string countText;
    std::vector<std::string> names;
    std::vector<int> selected;
};

std::function<void(Dialog*)> RecordResults(ResultDialogSeen* seen) {
    return [seen](Dialog* d) {
        seen->countText = GetItemText(d, kResultCountText);
        for (int i = 0; i < ListCount(d, kResultList); i++) seen->names.push_back(ListGetText(d, kResultList, i));
        seen->selected = ListGetSelections(d, kResultList);
        TestDialogCommand(d, IDCANCEL);
    };
}

struct SatelliteSearchTest : SatelliteToolsTest {
    std::string ResultPath() { return TempPath(kSearchResultName); }
};

}  // namespace

// [SECTION] The dialog

TEST_F(SatelliteSearchTest, DialogChecksFieldsInOrder) {
    WriteRoot(kSearchCatalogue, Catalogue());
    ExpectChecksInOrder({{kSearchLatDegrees, "91", "Invalid degrees value for latitude"},
                         {kSearchLatMinutes, "60", "Invalid minutes value for latitude"},
                         {kSearchLatSeconds, "-1", "Invalid seconds value for latitude"},
                         {kSearchLonDegrees, "181", "Invalid degrees value for longitude"},
                         {kSearchLonMinutes, "60", "Invalid minutes value for longitude"},
                         {kSearchLonSeconds, "60", "Invalid seconds value for longitude"},
                         {kSearchHour, "24", "Invalid hour value"},
                         {kSearchMinute, "60", "Invalid minutes"},
                         {kSearchDay, "32", "Invalid day value"},
                         {kSearchMonth, "13", "Invalid month value"},
                         {kSearchYear, "2100", "Invalid year value"}},
                        [&] {
                            SatelliteQuery q{};
                            EXPECT_EQ(SearchDialog(&q), 0);
                            EXPECT_FALSE(FileExists(ResultPath().c_str()));
                        });
}

TEST_F(SatelliteSearchTest, DialogTakesTheLimitsAndRefusesPastThem) {
    WriteRoot(kSearchCatalogue, Catalogue());
    struct Case {
        std::vector<FieldText> typed;
        const char* refusal;   // nullptr: accepted and searched
    } cases[] = {
        {{{kSearchLatDegrees, "90"}, {kSearchLatMinutes, "30"}, {kSearchLatSeconds, "59"}}, nullptr},
        {{{kSearchLonDegrees, "180"}, {kSearchLonMinutes, "59"}}, nullptr},
        {{{kSearchYear, "1957"}}, nullptr},
        {{{kSearchYear, "2099"}}, nullptr},
        {{{kSearchYear, "1956"}}, "Invalid year value"},
        {{{kSearchDay, "0"}}, "Invalid day value"},
        {{{kSearchLatDegrees, "12x"}}, "Invalid degrees value for latitude"},
        {{{kSearchMinute, " 7 "}}, nullptr},
    };
    for (const Case& c : cases) {
        TestClearShown();
        TestPushDialogScript(TypeAndClick(c.typed));
        SatelliteQuery q{};
        int searched = SearchDialog(&q);
        EXPECT_EQ(searched, c.refusal ? 0 : 1) << c.typed[0].text;
        if (c.refusal) EXPECT_EQ(ShownTexts(), std::vector<std::string>{c.refusal});
        else EXPECT_TRUE(ShownTexts().empty()) << c.typed[0].text;
    }
    // 90 30' is taken as it stands; South and East turn the signs.
    SatelliteQuery q{};
    TestPushDialogScript([](Dialog* d) {
        SetItemText(d, kSearchLatDegrees, "90");
        SetItemText(d, kSearchLatMinutes, "30");
        TestDialogCommand(d, kSearchSouth);
        TestDialogCommand(d, kSearchEast);
        TestDialogCommand(d, IDOK);
    });
    ASSERT_EQ(SearchDialog(&q), 1);
    EXPECT_DOUBLE_EQ(q.latitude, -90.5);
    EXPECT_DOUBLE_EQ(q.longitude, 113.5);
}

// The place defaults to 53 30 0 N, 113 30 0 W; the date and time are today's and now.
TEST_F(SatelliteSearchTest, DialogOpensWithDefaultsAndDeletesTheOldResult) {
    WriteRoot("tmp\\sats.tmp", "left over");
    std::vector<std::string> texts;
    int north = 0, west = 0, oldFileGone = 0;
    std::string path = ResultPath();
    TestPushDialogScript([&](Dialog* d) {
        for (int id : {kSearchLatDegrees, kSearchLatMinutes, kSearchLatSeconds, kSearchLonDegrees, kSearchLonMinutes, kSearchLonSeconds})
            texts.push_back(GetItemText(d, id));
        texts.push_back(GetItemText(d, kSearchHour).size() == 2 && GetItemText(d, kSearchMinute).size() == 2 ? "hh mm" : "");
        north = GetItemCheck(d, kSearchNorth), west = GetItemCheck(d, kSearchWest);
        oldFileGone = !FileExists(path.c_str());
        TestDialogCommand(d, IDCANCEL);
    });
    VisibleSatellitesSearch();
    EXPECT_EQ(texts, (std::vector<std::string>{"53", "30", "0", "113", "30", "0", "hh mm"}));
    EXPECT_TRUE(north && west);
    EXPECT_TRUE(oldFileGone);
    EXPECT_EQ(TestShownDialogs().back(), "Search for Visible Satellites");   // and no result dialog
    EXPECT_TRUE(ShownTexts().empty());
}

// [SECTION] The search

TEST_F(SatelliteSearchTest, ListsSunlitPassesAndSkipsStationaryObjectsAndDebris) {
    ASSERT_TRUE(Cases().found);
    // The cases are what their names say.
    SatelliteRecord late = SearchRecord(Cases().lateRiser), geo = SearchRecord(Cases().geostationary);
    ASSERT_TRUE(Seen(late, 5) && !Seen(late, 0) && !Seen(late, -5));
    ASSERT_TRUE(Seen(geo, -5) && Seen(geo, 0) && Seen(geo, 5));   // it would count but for standing still
    ASSERT_LT(fabs(At(geo, -5).latitude - At(geo, 5).latitude), 0.05);
    ASSERT_LT(fabs(At(geo, -5).longitude - At(geo, 5).longitude), 0.05);

    WriteRoot(kSearchCatalogue, Catalogue());
    size_t dialogs = TestShownDialogs().size();
    ResultDialogSeen seen;
    TestPushDialogScript(TypeAndClick(kSearchWhen));
    TestPushDialogScript(RecordResults(&seen));
    VisibleSatellitesSearch();
    EXPECT_TRUE(ShownTexts().empty());
    ASSERT_EQ(TestShownDialogs().size(), dialogs + 2);
    EXPECT_EQ(TestShownDialogs().back(), "Visible Satellites");
    EXPECT_EQ(seen.countText, "There were 8 satellites visible from your location:");
    EXPECT_EQ(seen.names, kListed);
    EXPECT_EQ(seen.selected, std::vector<int>{0});
}

// The entries as bytes: the name in 40 bytes with NULs after it, then the record with the
// observer, frequency, altitude 0 and the universal time of the search.
TEST_F(SatelliteSearchTest, EntriesCarryNameObserverAndUniversalTime) {
    WriteRoot(kSearchCatalogue, Catalogue());
    SetZone("MST7");   // seven hours behind universal time
    SatelliteQuery q{kLatitude, kLongitude, 1, 1, 1998, 12, 30};
    int count = 0;
    ASSERT_TRUE(SearchVisibleSatellites(q, kSearchCatalogue, ResultPath().c_str(), &count));
    std::vector<uint8_t> bytes = ReadTestFile(root / "tmp/sats.tmp");
    ASSERT_EQ(bytes.size(), (size_t)count * 168);
    ASSERT_EQ(count, 8);   // 12:30 local is 19:30 universal: the same passes as above
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    char name[40];
    ReadBytes(c, name, 40);
    EXPECT_EQ(std::string(name, 40), std::string("LATE RISER") + std::string(30, '\0'));
    // Epoch, the five orbit elements, motion, decay, frequency, the observer (latitude,
    // longitude, altitude, minimum elevation), universal hours; then revolution, year, month, day.
    const ElementText& e = Cases().lateRiser;
    const double fields[] = {98001.0, 51.64, atof(e.node.c_str()), 6703 * 1e-7, 130.536, atof(e.anomaly.c_str()), 15.49,
                             0.0, 146.0, kLatitude, kLongitude, 0.0, 0.0, 19.5};
    for (int k = 0; k < 14; k++) EXPECT_DOUBLE_EQ(ReadF64LE(c), fields[k]) << "field " << k;
    for (int v : {56353, 1998, 1, 1}) EXPECT_EQ(ReadI32LE(c), v);
    ReadBytes(c, name, 40);
    EXPECT_EQ(std::string(name, 40), std::string("Cosmos 1234") + std::string(29, '\0'));
    ASSERT_FALSE(c.bad);

    std::vector<SearchEntry> entries;
    ASSERT_TRUE(ReadSearchEntries(ResultPath().c_str(), &entries));
    ASSERT_EQ(entries.size(), kListed.size());
    for (size_t i = 0; i < entries.size(); i++) EXPECT_EQ(entries[i].name, kListed[i]);
}

TEST_F(SatelliteSearchTest, LocalTimeBecomesUniversalTime) {
    SatelliteQuery q{0, 0, 1, 1, 1998, 19, 30};
    struct Zone {
        const char* tz;
        double hours;
    } zones[] = {{"UTC0", 19.5}, {"MST7", 26.5}, {"JST-9", 10.5}, {"NST3:30", 23.0}};
    for (const Zone& z : zones) {
        SetZone(z.tz);
        EXPECT_DOUBLE_EQ(QueryUniversalHours(q), z.hours) << z.tz;
    }
}

TEST_F(SatelliteSearchTest, MissingCatalogueAndEmptyResult) {
    size_t dialogs = TestShownDialogs().size();
    TestPushDialogScript(TypeAndClick(kSearchWhen));
    VisibleSatellitesSearch();
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file sats\\kepler.tle"});
    EXPECT_EQ(TestShownDialogs().size(), dialogs + 1);   // no result dialog
    EXPECT_FALSE(FileExists(ResultPath().c_str()));

    // Only a geostationary object: nothing found, and the result dialog still opens.
    WriteRoot(kSearchCatalogue, ElementSet("GEO BIRD", Cases().geostationary));
    TestClearShown();
    ResultDialogSeen seen;
    TestPushDialogScript(TypeAndClick(kSearchWhen));
    TestPushDialogScript(RecordResults(&seen));
    VisibleSatellitesSearch();
    EXPECT_EQ(seen.countText, "There were 0 satellites visible from your location:");
    EXPECT_TRUE(seen.names.empty() && seen.selected.empty());
    EXPECT_EQ(ReadTestFile(root / "tmp/sats.tmp").size(), 0u);
}

// A last satellite whose line 2 has no line break is not complete; a 120-character name line
// reads as two lines and puts the following satellite out of step, so it is not found.
TEST_F(SatelliteSearchTest, CatalogueLinesAsALineBufferTakesThem) {
    std::string late = ElementSet("FIRST", Cases().lateRiser);
    std::string last = ElementSet("LAST", Cases().lateRiser);
    last.pop_back();
    WriteRoot(kSearchCatalogue, late + last);
    SatelliteQuery q{kLatitude, kLongitude, 1, 1, 1998, 19, 30};
    int count = 0;
    ASSERT_TRUE(SearchVisibleSatellites(q, kSearchCatalogue, ResultPath().c_str(), &count));
    EXPECT_EQ(count, 1);
    WriteRoot(kSearchCatalogue, late + ElementSet(std::string(120, 'N'), Cases().lateRiser) + late);
    ASSERT_TRUE(SearchVisibleSatellites(q, kSearchCatalogue, ResultPath().c_str(), &count));
    std::vector<SearchEntry> entries;
    ASSERT_TRUE(ReadSearchEntries(ResultPath().c_str(), &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0].name, "FIRST");
}

// [SECTION] The result dialog and the path view

TEST_F(SatelliteSearchTest, RadiusStepsStopAtTheLimitsWithTheErrorCue) {
    WriteRoot(kSearchCatalogue, Catalogue());
    SetSatellitePathRadius(20000);
    std::vector<int> radii;
    TestPushDialogScript(TypeAndClick(kSearchWhen));
    TestPushDialogScript([&](Dialog* d) {
        TestDialogCommand(d, kResultBigger);
        radii.push_back(SatellitePathRadius());
        TestDialogCommand(d, kResultSmaller);
        radii.push_back(SatellitePathRadius());
        for (int k = 0; k < 18; k++) TestDialogCommand(d, kResultSmaller);
        radii.push_back(SatellitePathRadius());
        TestDialogCommand(d, kResultSmaller);
        radii.push_back(SatellitePathRadius());
        TestDialogCommand(d, kResultBigger);
        radii.push_back(SatellitePathRadius());
        TestDialogCommand(d, IDCANCEL);
    });
    VisibleSatellitesSearch();
    EXPECT_EQ(radii, (std::vector<int>{20000, 19000, 1000, 1000, 2000}));
    EXPECT_EQ(PlayedCues(), (std::vector<std::string>{"error", "error"}));
    EXPECT_EQ(SatellitePathRadius(), 2000);   // kept for the next time
    SetSatellitePathRadius(20000);
}

TEST_F(SatelliteSearchTest, ReadoutLinesAndPointColours) {
    struct Row {
        OrbitResult o;
        double clock;
        int zone;
        const char* lines[6];
    } rows[] = {
        {{0, 0, 412.6, 123.25, -5.0625, 0, 0, 0, 1}, 23.75, 0,
         {"Azimuth (deg): 123.2  ", "Elevation (deg): -5.1  ", "Altitude (km): 413  ", "Eclipsed: Y ", "Visible: N ", "Time: 00:15  "}},
        {{0, 0, 35786.0, 0.0, 89.96, 0, 0, 1, 0}, 3.25, 25200,
         {"Azimuth (deg): 0.0  ", "Elevation (deg): 90.0  ", "Altitude (km): 35786  ", "Eclipsed: N ", "Visible: Y ", "Time: 20:45  "}},
        {{0, 0, 800.0, 359.96, 10.0, 0, 0, 1, 1}, 14.5, -32400,
         {"Azimuth (deg): 360.0  ", "Elevation (deg): 10.0  ", "Altitude (km): 800  ", "Eclipsed: Y ", "Visible: Y ", "Time: 00:00  "}},
    };
    for (const Row& r : rows) {
        PathReadout out;
        FormatPathReadout(r.o, r.clock, r.zone, &out);
        for (int k = 0; k < 6; k++) EXPECT_STREQ(out.lines[k], r.lines[k]);
    }
    OrbitResult o{};
    struct Colour {
        int visible, eclipsed;
        ColourRef colour;
    } colours[] = {{1, 1, MakeColour(0, 128, 0)}, {1, 0, MakeColour(0, 255, 0)},
                   {0, 0, MakeColour(255, 0, 0)}, {0, 1, MakeColour(128, 0, 0)}};
    for (const Colour& c : colours) {
        o.visible = c.visible, o.eclipsed = c.eclipsed;
        EXPECT_EQ(PathPointColour(o), c.colour);
    }
}

namespace {

int GreyNear(Surface* s, Point p) {
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if (GetPixel(s, p.x + dx, p.y + dy) == MakeColour(128, 128, 128)) return 1;
    return 0;
}

Point MapPixel(double latitude, double longitude, double radius, double lon0, double lat0) {
    double x, y;
    EXPECT_TRUE(OrthographicPoint(latitude, longitude, radius, lon0 * 0.0174532925, lat0 * 0.0174532925, &x, &y));
    Point p = GlobeUnitsToPixel(x, y, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top);
    return Point{p.x + mapRect.left, p.y + mapRect.top};
}

void WriteOutline(SatelliteToolsTest* t, const std::vector<float>& values) {
    std::vector<uint8_t> bytes;
    for (float v : values) WriteF32LE(bytes, v);
    ASSERT_TRUE(WriteTestFile(t->root / "sats/worldmap.deg", bytes));
}

}  // namespace

// Centred on 0 N 0 E: the equator in teal and the prime meridian in olive through the magenta
// observer, black around, the outline joined where it faces us and broken by a far point.
TEST_F(SatelliteSearchTest, PathViewMap) {
    Surface* s = CreateSurface(800, 600);
    ASSERT_TRUE(s);
    FillRect(s, Rect{0, 0, 800, 600}, MakeColour(9, 9, 9));
    WriteOutline(this, {-9999, 0, 80, 0, 120, 0, 80, 10, -9999, 0, 20, 30, 20, 40});
    ASSERT_TRUE(DrawPathView(nullptr, s, 0, "", 20000, 0.0, 0.0, 0, nullptr));
    Point c = MapPixel(0, 0, 20000, 0, 0);
    for (int k = -2; k <= 2; k++) {
        EXPECT_EQ(GetPixel(s, c.x + k, c.y), MakeColour(255, 0, 255));
        EXPECT_EQ(GetPixel(s, c.x, c.y + k), MakeColour(255, 0, 255));
    }
    EXPECT_EQ(GetPixel(s, c.x + 10, c.y), MakeColour(0, 128, 128));
    EXPECT_EQ(GetPixel(s, c.x, c.y - 10), MakeColour(128, 128, 0));
    Point p15 = MapPixel(15, 8, 20000, 0, 0);
    EXPECT_EQ(GetPixel(s, p15.x, p15.y), MakeColour(0, 0, 128));   // the 15th parallel
    EXPECT_EQ(GetPixel(s, c.x + 7, c.y + 9), MakeColour(0, 0, 0));
    EXPECT_EQ(GetPixel(s, mapRect.left - 1, mapRect.top + 5), MakeColour(9, 9, 9));   // clipped
    Point a = MapPixel(0, 80, 20000, 0, 0), b = MapPixel(10, 80, 20000, 0, 0);
    Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    EXPECT_FALSE(GreyNear(s, mid));
    Point q = MapPixel(30, 20, 20000, 0, 0), r = MapPixel(40, 20, 20000, 0, 0);
    EXPECT_TRUE(GreyNear(s, Point{(q.x + r.x) / 2, (q.y + r.y) / 2}));
    // Without the far point the same two points are joined.
    WriteOutline(this, {-9999, 0, 80, 0, 80, 10});
    ASSERT_TRUE(DrawPathView(nullptr, s, 0, "", 20000, 0.0, 0.0, 0, nullptr));
    EXPECT_TRUE(GreyNear(s, mid));
    DeleteSurface(s);
}

TEST_F(SatelliteSearchTest, PathViewReadoutOfAKnownEntry) {
    WriteRoot(kSearchCatalogue, Catalogue());
    SatelliteQuery q{kLatitude, kLongitude, 1, 1, 1998, 19, 30};
    int count = 0;
    ASSERT_TRUE(SearchVisibleSatellites(q, kSearchCatalogue, ResultPath().c_str(), &count));
    Surface* s = CreateSurface(800, 600);
    PathReadout last{};
    ASSERT_TRUE(DrawPathView(nullptr, s, 1, ResultPath().c_str(), 20000, kLongitude, kLatitude, 1, &last));

    // The readout is that of the hour's last second.
    SatelliteRecord r = SearchRecord(Cases().lateRiser);
    AdvanceSatelliteClock(&r, -0.5);
    OrbitResult o{};
    for (int k = 0; k < 3600; k++, AdvanceSatelliteClock(&r, 1.0 / 3600.0)) o = PropagateSatellite(r);
    char expected[6][48];
    snprintf(expected[0], 48, "Azimuth (deg): %.1f  ", o.azimuth);
    snprintf(expected[1], 48, "Elevation (deg): %.1f  ", o.elevation);
    snprintf(expected[2], 48, "Altitude (km): %.0f  ", o.height);
    snprintf(expected[3], 48, "Eclipsed: %c ", o.eclipsed ? 'Y' : 'N');
    snprintf(expected[4], 48, "Visible: %c ", o.visible ? 'Y' : 'N');
    double minutes = (r.hours + 0.5 - 20.0) * 60.0;   // the clock ends at 20:00 and reads half an hour on
    snprintf(expected[5], 48, "Time: 20:%02d  ", (int)minutes);
    for (int k = 0; k < 6; k++) EXPECT_STREQ(last.lines[k], expected[k]);

    // An entry beyond the file's end.
    TestClearShown();
    EXPECT_FALSE(DrawPathView(nullptr, s, count, ResultPath().c_str(), 20000, kLongitude, kLatitude, 1, nullptr));
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Cannot open file " + ResultPath()});
    DeleteSurface(s);
}

namespace {

int64_t NoWindowProc(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

// Light grey to white pixels (the text is smoothed) where the path view writes the entry's name.
int NameWritten(Surface* s) {
    int light = 0;
    for (int y = mapRect.top + 10; y < mapRect.top + 26; y++)
        for (int x = mapRect.left + 10; x < mapRect.left + 120; x++) {
            ColourRef c = GetPixel(s, x, y);
            light += ColourRed(c) > 160 && ColourGreen(c) > 160 && ColourBlue(c) > 160;
        }
    return light > 10;
}

}  // namespace

// On the window: the list opens over the map alone; Show Path with nothing selected does
// nothing, with an entry selected it writes the name and the hour's path.
TEST_F(SatelliteSearchTest, ResultDialogDrawsTheMapThenThePathOfTheSelection) {
    WriteRoot(kSearchCatalogue, Catalogue());
    ASSERT_TRUE(CreateMainWindow(WindowOptions{"Mundora", 800, 600, 1}, NoWindowProc));
    Surface* w = WindowSurface();
    ASSERT_TRUE(w);
    FillRect(w, Rect{0, 0, 800, 600}, MakeColour(9, 9, 9));
    int cursor = GetCursorShape();
    Point centre = MapPixel(kLatitude, kLongitude, 20000, kLongitude, kLatitude);
    ColourRef atOpening = 0;
    int nameAfterDeselect = -1, nameAfterShow = -1;
    TestPushDialogScript(TypeAndClick(kSearchWhen));
    TestPushDialogScript([&](Dialog* d) {
        atOpening = GetPixel(w, centre.x, centre.y);
        ListSetSelected(d, kResultList, 0, 0);
        TestDialogCommand(d, kResultShowPath);
        nameAfterDeselect = NameWritten(w);
        ListSetSelected(d, kResultList, 3, 1);
        TestDialogCommand(d, kResultShowPath);
        nameAfterShow = NameWritten(w);
        TestDialogCommand(d, IDCANCEL);
    });
    VisibleSatellitesSearch();
    EXPECT_EQ(atOpening, MakeColour(255, 0, 255));
    EXPECT_EQ(nameAfterDeselect, 0);
    EXPECT_EQ(nameAfterShow, 1);
    EXPECT_EQ(GetPixel(w, mapRect.left - 1, mapRect.top), MakeColour(9, 9, 9));
    EXPECT_EQ(GetCursorShape(), cursor);   // the wait cursor is gone again
    EXPECT_TRUE(ShownTexts().empty());
    DestroyMainWindow();
}
