// Labels on the map: placement without overprinting (one file against two, the 201st box),
// the label texts, names.dat, point in polygon against a naive reference, segment
// intersection, tags, the river picker, and the naming command's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "app/app.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

namespace {

struct LabelsTest : ::testing::Test {
    TempFolder folder;
    char savedRoot[256];
    Rect savedMap;
    void SetUp() override {
        strcpy(savedRoot, dataRoot);
        strcpy(dataRoot, folder.path.c_str());
        savedMap = mapRect;
        mapRect = Rect{0, 0, 300, 200};
        screenWidth = 800;
        options.monitorInches = 14;
        ResetZoomHistory();
        zoomHistory[1] = MapWindow{0, 30, 0, 20};
        zoomDepth = 1;
        TestClearShown();
    }
    void TearDown() override {
        strcpy(dataRoot, savedRoot);
        mapRect = savedMap;
        ResetZoomHistory();
        citiesDrawn = riversDrawn = 0;
        memset(labelSwitches, 0, sizeof labelSwitches);
    }
};

// [SECTION] Placement

TEST(LabelPlacement, BoxesOverlappingByOnePixelAreRefusedBoxesTouchingAreNot) {
    OverlapBoxes placed;
    EXPECT_TRUE(PlaceLabelBox(&placed, Rect{10, 10, 50, 20}));
    EXPECT_FALSE(PlaceLabelBox(&placed, Rect{49, 19, 90, 30}));  // one pixel in common
    EXPECT_TRUE(PlaceLabelBox(&placed, Rect{50, 10, 90, 20}));   // edge to edge
    EXPECT_TRUE(PlaceLabelBox(&placed, Rect{10, 20, 50, 30}));
    EXPECT_EQ(placed.count, 3);
}

TEST(LabelPlacement, TheTwoHundredAndFirstLabelIsPlacedButNotRemembered) {
    OverlapBoxes placed;
    for (int i = 0; i < 201; i++) ASSERT_TRUE(PlaceLabelBox(&placed, Rect{i * 10, 0, i * 10 + 5, 5})) << i;
    EXPECT_EQ(placed.count, 200);
    EXPECT_TRUE(PlaceLabelBox(&placed, Rect{2000, 0, 2005, 5}));   // over the 201st
    EXPECT_FALSE(PlaceLabelBox(&placed, Rect{1990, 0, 1995, 5}));  // over the 200th
}

std::string NamesDat(const char* switches) {
    std::string text;
    for (int i = 0; i < 7; i++) text += std::string(1, switches[i]) + "\n";
    for (int k = 0; k < kNameClasses; k++) text += "300000000 12 255 255 255\n";
    return text;
}

int CountLit(Surface* s) {
    int n = 0;
    for (int y = 0; y < SurfaceHeight(s); y++)
        for (int x = 0; x < SurfaceWidth(s); x++) n += GetPixel(s, x, y) != 0;
    return n;
}

// Draws class-1 labels of one or two files at the same spots and counts the lit pixels.
int DrawLabels(TempFolder& folder, const std::vector<std::vector<NameRecord>>& files) {
    NamesSettings ns;
    std::string text = NamesDat("0000000");
    EXPECT_TRUE(ParseNamesSettings(text.data(), text.size(), &ns));
    Surface* s = CreateSurface(300, 200);
    for (size_t i = 0; i < files.size(); i++) {
        std::string name = "names/f" + std::to_string(i) + ".dat";
        EXPECT_TRUE(WriteTestFile(folder / name, EncodeNameFile(files[i])));
        std::string rel = "names\\f" + std::to_string(i) + ".dat";
        EXPECT_EQ(DrawClassLabels(s, mapRect, ns, rel.c_str(), 3, 1, LABEL_PLAIN, nullptr), 1);
    }
    int lit = CountLit(s);
    DeleteSurface(s);
    return lit;
}

TEST_F(LabelsTest, LabelsOfOneFileNeverOverprintLabelsOfTwoFilesMay) {
    NameRecord a{10.0f, 10.0f, "WWWW", 1, 0}, b{10.2f, 10.5f, "MMMM", 1, 0};
    int first = DrawLabels(folder, {{a}});
    ASSERT_GT(first, 0);
    EXPECT_EQ(DrawLabels(folder, {{a, b}}), first);  // the second is dropped
    EXPECT_GT(DrawLabels(folder, {{a}, {b}}), first);
    // A record of another class or outside the window is not drawn at all.
    NameRecord other{10.0f, 10.0f, "WWWW", 2, 0}, outside{10.0f, 40.0f, "WWWW", 1, 0};
    EXPECT_EQ(DrawLabels(folder, {{other, outside}}), 0);
}

TEST_F(LabelsTest, ClassesBeyondTheirScaleAreNotDrawn) {
    NamesSettings ns;
    std::string text = NamesDat("0000000");
    ParseNamesSettings(text.data(), text.size(), &ns);
    ns.classes[3].maxScale = (int32_t)NamesMapScale(mapRect) - 1;
    ASSERT_TRUE(WriteTestFile(folder / "names/province.dat", EncodeNameFile({NameRecord{10.0f, 10.0f, "Somewhere", 1, 0}})));
    Surface* s = CreateSurface(300, 200);
    DrawClassLabels(s, mapRect, ns, "names\\province.dat", 3, 1, LABEL_PLAIN, nullptr);
    EXPECT_EQ(CountLit(s), 0);
    ns.classes[3].maxScale += 1;  // A equal to S draws
    DrawClassLabels(s, mapRect, ns, "names\\province.dat", 3, 1, LABEL_PLAIN, nullptr);
    EXPECT_GT(CountLit(s), 0);
    DeleteSurface(s);
}

TEST_F(LabelsTest, NamesBeyondTheDateLineShowInAWindowReachingAcrossIt) {
    zoomHistory[1] = MapWindow{170, 190, -10, 10};
    NameRecord fiji{0.0f, -179.0f, "IIII", 1, 0};  // at 181 degrees of the window
    Surface* s = CreateSurface(300, 200);
    NamesSettings ns;
    std::string text = NamesDat("0000000");
    ParseNamesSettings(text.data(), text.size(), &ns);
    ASSERT_TRUE(WriteTestFile(folder / "names/f.dat", EncodeNameFile({fiji})));
    DrawClassLabels(s, mapRect, ns, "names\\f.dat", 3, 1, LABEL_PLAIN, nullptr);
    int left = 300, right = -1;
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 300; x++)
            if (GetPixel(s, x, y)) left = std::min(left, x), right = std::max(right, x);
    EXPECT_LT(left, 165);  // centred on x = (181 - 170) / 20 * 300 = 165
    EXPECT_GT(right, 165);
    EXPECT_LT(right - left, 80);
    DeleteSurface(s);
}

TEST_F(LabelsTest, APlaceIsDrawnOnlyWhileItsOwnClassIsInScale) {
    NamesSettings ns;
    std::string text = NamesDat("0000000");
    ParseNamesSettings(text.data(), text.size(), &ns);
    long scale = NamesMapScale(mapRect);
    PlaceRecord big, town;
    big.lat = 10, big.lon = 5, big.name = "Capital", big.cls = 1, big.flags = kPlaceNationalCapital;
    town.lat = 5, town.lon = 20, town.name = "Town", town.cls = 3;
    auto lit = [&](std::vector<PlaceRecord> places) {
        EXPECT_TRUE(WriteTestFile(folder / "names/pplace2.dat", EncodePlaceFile(places)));
        Surface* s = CreateSurface(300, 200);
        DrawPopulatedPlaces(s, mapRect, ns);
        int n = CountLit(s);
        DeleteSurface(s);
        return n;
    };
    int both = lit({big, town}), capital = lit({big});
    EXPECT_GT(capital, 0);
    EXPECT_GT(both, capital);
    ns.classes[12].maxScale = (int32_t)scale - 1;  // class 3 out of scale, class 1 still shown
    EXPECT_EQ(lit({big, town}), capital);
    ns.classes[10].maxScale = (int32_t)scale - 1;  // below class 1's scale nothing is drawn
    ns.classes[12].maxScale = 300000000;
    EXPECT_EQ(lit({big, town}), 0);
}

// [SECTION] Texts and settings

TEST(LabelTexts, PeakHeightsRangeNamesAndTheirTurn) {
    EXPECT_EQ(PeakNameInUnits("Mont Blanc (4807)", 1), "Mont Blanc (15771 ft)");
    EXPECT_EQ(PeakNameInUnits("Mont Blanc (4807)", 0), "Mont Blanc (4807)");
    EXPECT_EQ(PeakNameInUnits("Nameless", 1), "Nameless");
    EXPECT_EQ(SpacedRangeName("Alpen"), "A L P E N");
    EXPECT_EQ(SpacedRangeName("\xf6sterreich"), "\xd6 S T E R R E I C H");  // ö becomes Ö
    EXPECT_EQ(SpacedRangeName(""), "");
    struct { int direction, angle; } turns[] = {{0, 90}, {30, 60}, {45, 45}, {60, 30}, {90, 0}, {100, 0},
                                                {120, -30}, {135, -45}, {150, -60}, {180, -90}, {255, 0}};
    for (auto t : turns) EXPECT_EQ(RangeAngle(t.direction), t.angle) << t.direction;
}

TEST(NamesSettingsFile, SwitchesAndClassColumns) {
    std::string text = "1\n0\n7 trailing words\n\n1\n0\n1\n";
    text += "12000000   8 255 200  64  airports\n";
    text += "5000000   -9   1   2   3\n";
    NamesSettings ns;
    EXPECT_FALSE(ParseNamesSettings(text.data(), text.size(), &ns));  // classes missing
    const uint8_t switches[7] = {1, 0, 1, 0, 1, 0, 1};
    EXPECT_EQ(memcmp(ns.switches, switches, 7), 0);
    EXPECT_EQ(ns.classes[0].maxScale, 12000000);
    EXPECT_EQ(ns.classes[0].size, 8);
    EXPECT_EQ(ns.classes[0].colour, MakeColour(255, 200, 64));
    EXPECT_EQ(ns.classes[1].size, 9);  // a negative size counts as its absolute value
    EXPECT_EQ(ns.classes[1].colour, MakeColour(1, 2, 3));
    EXPECT_EQ(ns.classes[18].maxScale, 0);
}

// [SECTION] Geometry

// Even-odd crossing count written the plain way.
int NaiveInside(const std::vector<float>& xy, double x, double y) {
    int n = (int)xy.size() / 2, inside = 0;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

TEST(PointInPolygon, AgreesWithANaiveReferenceOnRandomPolygons) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> coord(-50.0f, 50.0f);
    int disagreements = 0, insideSeen = 0;
    for (int poly = 0; poly < 300; poly++) {
        int n = 3 + (int)(rng() % 30);
        std::vector<float> xy;
        for (int i = 0; i < 2 * n; i++) xy.push_back(coord(rng));  // self-crossing shapes included
        for (int t = 0; t < 100; t++) {
            double x = coord(rng) * 1.1, y = coord(rng) * 1.1;
            int expected = NaiveInside(xy, x, y);
            insideSeen += expected;
            disagreements += PointInPolygon(xy.data(), n, x, y) != expected;
        }
    }
    EXPECT_EQ(disagreements, 0);
    EXPECT_GT(insideSeen, 1000);
}

TEST(PointInPolygon, SquareEdgesAndDegenerateInput) {
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    EXPECT_TRUE(PointInPolygon(square, 4, 5, 5));
    EXPECT_FALSE(PointInPolygon(square, 4, 15, 5));
    EXPECT_FALSE(PointInPolygon(square, 4, 5, -0.1));
    EXPECT_FALSE(PointInPolygon(square, 0, 0, 0));
}

TEST(SegmentIntersection, EachKindOfSegment) {
    struct Case {
        double s[8];
        int meets;
        double x, y;
    } cases[] = {
        {{0, 0, 10, 10, 0, 10, 10, 0}, 1, 5, 5},        // general crossing
        {{0, 0, 10, 10, 20, 0, 30, 10}, 0, 0, 0},       // parallel
        {{0, 0, 10, 10, 11, 0, 20, -9}, 0, 0, 0},       // lines meet beyond the segments
        {{5, -5, 5, 5, 0, 0, 10, 0}, 1, 5, 0},          // vertical with horizontal
        {{5, -5, 5, 5, 6, 0, 10, 0}, 0, 0, 0},          // horizontal ends before the vertical
        {{5, -5, 5, 5, 0, -10, 10, 10}, 1, 5, 0},       // vertical with general
        {{5, 0, 5, 5, 5, 3, 5, 9}, 1, 5, 5},            // overlapping verticals: the first one's end inside the other
        {{5, 0, 5, 5, 6, 3, 6, 9}, 0, 0, 0},            // two verticals apart
        {{0, 2, 5, 2, 4, 2, 9, 2}, 1, 5, 2},            // overlapping horizontals, likewise
        {{0, 2, 5, 2, 6, 2, 9, 2}, 0, 0, 0},
        {{3, 3, 3, 3, 0, 0, 10, 10}, 0, 0, 0},          // a point never meets anything
    };
    for (const Case& c : cases) {
        double x = -1, y = -1;
        int meets = SegmentsIntersect(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5], c.s[6], c.s[7], &x, &y);
        EXPECT_EQ(meets, c.meets) << c.s[0] << "," << c.s[1] << " " << c.s[4] << "," << c.s[5];
        if (meets && c.meets) {
            EXPECT_NEAR(x, c.x, 1e-9);
            EXPECT_NEAR(y, c.y, 1e-9);
        }
    }
}

// [SECTION] Picking

TEST(Tags, PickingTwiceRemovesAndAHundredAndFirstIsRefused) {
    tags.clear();
    NameTag paris{10, 20, 1, "Paris"};
    EXPECT_EQ(ToggleTag(paris), 1);
    EXPECT_EQ(ToggleTag(NameTag{10, 20, 3, "Paris"}), 1);  // another kind is another tag
    EXPECT_EQ(ToggleTag(paris), 0);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].kind, 3);
    tags.clear();
    for (int i = 0; i < kMaxTags; i++) ASSERT_EQ(ToggleTag(NameTag{i, 0, 1, "x"}), 1);
    EXPECT_EQ(ToggleTag(NameTag{500, 0, 1, "x"}), -1);
    EXPECT_EQ((int)tags.size(), kMaxTags);
    tags.clear();
}

void WriteF32(std::vector<uint8_t>& out, float f) {
    uint8_t b[4];
    memcpy(b, &f, 4);
    out.insert(out.end(), b, b + 4);
}

TEST_F(LabelsTest, RiversAreFoundWithinADegreeOfTheirLine) {
    // Line 2 of rivers.txt: a river along latitude 10 from longitude 10 to 20.
    std::vector<uint8_t> data{0, 0, 0, 0}, index;
    uint16_t number = 1002, n = 3;
    data.push_back(number & 255), data.push_back(number >> 8), data.push_back(n & 255), data.push_back(0);
    for (float v : {10.0f, 10.0f, 15.0f, 10.0f, 20.0f, 12.0f}) WriteF32(data, v);
    for (float v : {20.0f, 10.0f, 12.0f, 10.0f, 4.0f}) WriteF32(index, v);  // east, west, north, south, offset
    ASSERT_TRUE(WriteTestFile(folder / "names/rivers.dat", data));
    ASSERT_TRUE(WriteTestFile(folder / "names/rivers.idx", index));
    ASSERT_TRUE(WriteTestText(folder / "names/rivers.txt", "1,Volga\r\n7,Danube?x\n3,Rhine\n"));
    NameTag t;
    ASSERT_TRUE(PickRiver(mapRect, 10.5, 12.0, &t));
    EXPECT_EQ(t.name, "Danube");
    EXPECT_EQ(t.kind, 2);
    int x, y;
    GeoToPixelIn(CurrentMapWindow(), mapRect, 10.0, 10.0, &x, &y);  // the hit segment's first point
    EXPECT_EQ(t.x, x);
    EXPECT_EQ(t.y, y);
    ASSERT_TRUE(PickRiver(mapRect, 11.5, 19.0, &t));  // near the second segment
    GeoToPixelIn(CurrentMapWindow(), mapRect, 10.0, 15.0, &x, &y);
    EXPECT_EQ(t.x, x);
    EXPECT_FALSE(PickRiver(mapRect, 11.5, 12.0, &t));  // inside the index box, 1.5 degrees off the line
    EXPECT_FALSE(PickRiver(mapRect, 10.0, 25.0, &t));  // outside the index box
}

TEST_F(LabelsTest, NamingRefusesWhenNothingIsPickable) {
    ASSERT_TRUE(WriteTestText(folder / "names.dat", NamesDat("1110101")));
    memcpy(labelSwitches, "\1\1\1\0\0\0\1", 7);  // neither oceans, world features nor countries
    citiesDrawn = riversDrawn = 0;
    int country;
    EXPECT_EQ(PickNamedFeatures(&country), 0);  // refused: nothing to recompose
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestShownMessages()[0].text, "There are no named features currently turned on.");
    EXPECT_EQ(TestShownMessages()[0].caption, "Hint");

    NamesSettings ns;
    std::string text = NamesDat("0000000");
    ParseNamesSettings(text.data(), text.size(), &ns);
    labelSwitches[2] = 0, labelSwitches[3] = 1;
    riversDrawn = 1;
    PickSources src = PickableSources(ns, 300000000);  // class 16's A is not above S: no ocean dots
    EXPECT_EQ(src.rivers, 1);
    EXPECT_EQ(src.ocean, 0);
    EXPECT_EQ(PickableSources(ns, 299999999).ocean, 1);
    EXPECT_EQ(src.places, 0);
}

TEST_F(LabelsTest, AMissingNamesFileIsReported) {
    NamesSettings ns;
    EXPECT_EQ(LoadNamesSettings(&ns), 0);
    EXPECT_EQ(TestLastMessage(), "Cannot open file names.dat");
}

}  // namespace

// [SECTION] Ocean and country names

// names.dat with the ocean classes in pure red and no dots, so ocean and country text
// (cyan) can be told apart pixel by pixel.
std::string OceanCountryNamesDat() {
    std::string text = "0\n0\n0\n1\n1\n0\n0\n";
    for (int k = 0; k < kNameClasses; k++)
        text += k >= 4 && k <= 7 ? "300000000 12 255 000 000\n" : "000000000 12 255 255 255\n";
    return text;
}

CountryNameRecord Country(float lat, float lon, const char* name) {
    CountryNameRecord c;
    c.lat = lat, c.lon = lon, c.name = name;
    for (uint8_t& code : c.sizeCode) code = 1;
    return c;
}

struct Painted {
    int ocean = 0, country = 0, both = 0;
};

// Draws the two groups as the map does and sorts the lit pixels by colour.
Painted PaintOceansAndCountries(TempFolder& folder, const std::vector<NameRecord>& oceans,
                                const std::vector<CountryNameRecord>& countries, Rect map = mapRect) {
    EXPECT_TRUE(WriteTestText(folder / "names.dat", OceanCountryNamesDat()));
    EXPECT_TRUE(WriteTestFile(folder / "names/ocean2.dat", EncodeNameFile(oceans)));
    EXPECT_TRUE(WriteTestFile(folder / "names/cnames.dat", EncodeCountryNameFile(countries)));
    memset(labelSwitches, 0, sizeof labelSwitches);
    labelSwitches[3] = labelSwitches[4] = 1;
    Surface* s = CreateSurface(300, 200);
    DrawPlaceNames(s, map);
    Painted p;
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 300; x++) {
            ColourRef c = GetPixel(s, x, y);
            int red = ColourRed(c) > 40, cyan = ColourGreen(c) > 40 && ColourBlue(c) > 40;
            p.ocean += red && !cyan, p.country += cyan && !red, p.both += red && cyan;
        }
    DeleteSurface(s);
    return p;
}

TEST_F(LabelsTest, OceanAndCountryNamesStayWholeInsideTheMap) {
    // Each name alone at the middle, then anchored on every edge and corner of the map (the
    // window is 30 x 20 degrees): a label cut by the edge would light fewer pixels.
    struct Spot {
        float lat, lon;
    } spots[] = {{10, 0}, {10, 30}, {0, 15}, {20, 15}, {0, 0}, {20, 30}, {19.5f, 29.5f}, {0.5f, 0.5f}};
    for (const char* name : {"Pacific Ocean", "Atlantic Ocean"}) {
        int whole = PaintOceansAndCountries(folder, {NameRecord{10, 15, name, 1, 0}}, {}).ocean;
        ASSERT_GT(whole, 50);
        for (const Spot& at : spots)
            EXPECT_EQ(PaintOceansAndCountries(folder, {NameRecord{at.lat, at.lon, name, 1, 0}}, {}).ocean, whole)
                << name << " at " << at.lat << ", " << at.lon;
    }
    for (const char* name : {"Russia", "Democratic Republic of the Congo"}) {
        int whole = PaintOceansAndCountries(folder, {}, {Country(10, 15, name)}).country;
        ASSERT_GT(whole, 50);
        for (const Spot& at : spots)
            EXPECT_EQ(PaintOceansAndCountries(folder, {}, {Country(at.lat, at.lon, name)}).country, whole)
                << name << " at " << at.lat << ", " << at.lon;
    }
    // A name wider than the map cannot be shown whole, so it is not shown.
    EXPECT_EQ(PaintOceansAndCountries(folder, {NameRecord{10, 15, std::string(60, 'W'), 1, 0}}, {}).ocean, 0);
}

TEST_F(LabelsTest, OceanAndCountryNamesNeverOverprintEachOther) {
    // The same spot: the country keeps it and the ocean's name moves off it, whole.
    NameRecord atlantic{10, 15, "Atlantic Ocean", 1, 0};
    int wholeOcean = PaintOceansAndCountries(folder, {atlantic}, {}).ocean;
    int wholeCountry = PaintOceansAndCountries(folder, {}, {Country(10, 15, "Congo")}).country;
    Painted p = PaintOceansAndCountries(folder, {atlantic}, {Country(10, 15, "Congo")});
    EXPECT_EQ(p.ocean, wholeOcean);
    EXPECT_EQ(p.country, wholeCountry);
    EXPECT_EQ(p.both, 0);
    // On a map one line high the ocean's name has nowhere to go and is left out.
    Rect strip{0, 90, 300, 112};
    p = PaintOceansAndCountries(folder, {atlantic}, {Country(10, 15, "Congo")}, strip);
    EXPECT_EQ(p.ocean, 0);
    EXPECT_EQ(p.country, wholeCountry);
    // Apart, both are drawn.
    p = PaintOceansAndCountries(folder, {NameRecord{17, 15, "Atlantic Ocean", 1, 0}}, {Country(3, 15, "Angola")});
    EXPECT_GT(p.ocean, 0);
    EXPECT_GT(p.country, 0);
    // Many of both kinds scattered over the map, edges included: no pixel is lit by both.
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> lat(0, 20), lon(0, 30);
    static const char* const oceanNames[] = {"Pacific Ocean", "Atlantic Ocean", "Indian Ocean", "Arctic Ocean"};
    static const char* const countryNames[] = {"Brazil", "Democratic Republic of the Congo", "Norway", "Chad",
                                               "Papua New Guinea", "Russia"};
    for (int trial = 0; trial < 10; trial++) {
        std::vector<NameRecord> oceans;
        std::vector<CountryNameRecord> countries;
        for (const char* n : oceanNames) oceans.push_back(NameRecord{lat(rng), lon(rng), n, (uint8_t)(1 + rng() % 4), 0});
        for (const char* n : countryNames) countries.push_back(Country(lat(rng), lon(rng), n));
        p = PaintOceansAndCountries(folder, oceans, countries);
        EXPECT_GT(p.ocean, 0);
        EXPECT_EQ(p.both, 0) << "trial " << trial;
    }
}
