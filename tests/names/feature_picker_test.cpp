// The naming command driven through the window's queue: a click pins the nearest place's name,
// a second click on it takes the tag off, an empty spot is refused, a country answers with its
// page, and Escape ends the command.
#include <gtest/gtest.h>

#include <cstring>

#include "app/window_fixture.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"
#include "platform/le_bytes.h"

namespace {

struct FeaturePickerTest : ::testing::Test {
    TempFolder folder;
    WindowFixture window;
    char savedRoot[256];
    void SetUp() override {
        window.Open();
        strcpy(savedRoot, dataRoot);
        strcpy(dataRoot, folder.path.c_str());
        options.monitorInches = 14;
        zoomHistory[1] = MapWindow{0, 20, 40, 55};
        zoomDepth = 1;
        std::string names;
        for (int i = 0; i < 7; i++) names += "0\n";
        for (int k = 0; k < kNameClasses; k++) names += "300000000 12 255 255 255\n";
        ASSERT_TRUE(WriteTestText(folder / "names.dat", names));
        PlaceRecord lyon;
        lyon.lat = 45.76f, lyon.lon = 4.84f, lyon.name = "Lyon", lyon.cls = 2;
        PlaceRecord bern;
        bern.lat = 46.95f, bern.lon = 7.45f, bern.name = "Bern", bern.cls = 1;
        ASSERT_TRUE(WriteTestFile(folder / "names/pplace2.dat", EncodePlaceFile({lyon, bern})));
        citiesDrawn = 1;
        TestClearShown();
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        citiesDrawn = riversDrawn = 0;
        memset(labelSwitches, 0, sizeof labelSwitches);
        tags.clear();
        strcpy(dataRoot, savedRoot);
        window.Close();
    }
    Point At(double lat, double lon) {
        int x, y;
        GeoToPixel(lat, lon, &x, &y);
        return Point{x, y};
    }
    void Click(Point p) {
        TestInjectMessage(MSG_LBUTTONDOWN, 0, MakeMouseParam(p.x, p.y));
        TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(p.x, p.y));
    }
    int Shown(const char* text) {
        int n = 0;
        for (const ShownText& t : TestShownMessages()) n += t.text == text;
        return n;
    }
};

TEST_F(FeaturePickerTest, ClicksPinAndUnpinTheNearestPlace) {
    Point lyon = At(45.76, 4.84);
    Click(Point{lyon.x + 3, lyon.y + 2});  // 3.6 pixels away: found
    Click(Point{lyon.x + 60, lyon.y});      // nothing near
    Click(At(46.95, 7.45));
    TestInjectKey(VK_ESCAPE);
    int country = -1;
    EXPECT_EQ(PickNamedFeatures(&country), 1);  // the caller recomposes the map to clear the marks
    EXPECT_EQ(country, 0);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "Lyon");
    EXPECT_EQ(tags[0].kind, 1);
    EXPECT_EQ(tags[0].x, lyon.x);
    EXPECT_EQ(tags[1].name, "Bern");
    EXPECT_EQ(Shown("You did not click on a named feature"), 1);

    // The same place picked twice leaves no tag; the one at 5 pixels is out of reach.
    TestClearShown();
    Click(lyon);
    Click(lyon);
    Click(Point{lyon.x + 3, lyon.y + 4});
    TestInjectKey(VK_ESCAPE);
    PickNamedFeatures(&country);
    EXPECT_TRUE(tags.empty());
    EXPECT_EQ(Shown("You did not click on a named feature"), 1);
}

TEST_F(FeaturePickerTest, OnlyPlacesTheMapShowsAnswer) {
    // A small place beside Lyon whose class is not drawn at this scale.
    std::string names;
    for (int i = 0; i < 7; i++) names += "0\n";
    for (int k = 0; k < kNameClasses; k++) names += k == 15 ? "1000000    7 255 255 255\n" : "300000000 12 255 255 255\n";
    ASSERT_TRUE(WriteTestText(folder / "names.dat", names));
    PlaceRecord lyon, suburb;
    lyon.lat = 45.76f, lyon.lon = 4.84f, lyon.name = "Lyon", lyon.cls = 2;
    suburb.lat = 45.77f, suburb.lon = 4.90f, suburb.name = "Villeurbanne", suburb.cls = 6;
    ASSERT_TRUE(WriteTestFile(folder / "names/pplace2.dat", EncodePlaceFile({lyon, suburb})));
    Click(At(45.77, 4.90));
    TestInjectKey(VK_ESCAPE);
    int country;
    PickNamedFeatures(&country);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].name, "Lyon");
}

std::vector<uint8_t> F32s(std::initializer_list<float> values) {
    std::vector<uint8_t> out;
    for (float v : values) {
        uint32_t u;
        memcpy(&u, &v, 4);
        WriteU32LE(out, u);
    }
    return out;
}

TEST_F(FeaturePickerTest, ACountryClickEndsTheCommandWithThatCountry) {
    citiesDrawn = 0;
    labelSwitches[4] = 1;
    // One country: the square 10..14 E, 47..50 N, number 42.
    std::vector<uint8_t> index = F32s({10, 47, 14, 50});
    WriteU16LE(index, 5);
    WriteU16LE(index, 42);
    WriteU32LE(index, 0);
    ASSERT_TRUE(WriteTestFile(folder / "stats/cpoly.idx", index));
    ASSERT_TRUE(WriteTestFile(folder / "stats/cpoly.dat", F32s({10, 47, 14, 47, 14, 50, 10, 50, 10, 47})));
    Click(At(48.0, 15.0));  // outside: refused, and the pick goes on
    Click(At(48.0, 12.0));
    int country = 0;
    EXPECT_EQ(PickNamedFeatures(&country), 1);
    EXPECT_EQ(Shown("You did not click on a named feature"), 1);
    EXPECT_EQ(country, 42);  // the command ends there: the shell shows the country's page
    int number = 0;
    EXPECT_TRUE(PickCountry(48.0, 12.0, &number));
    EXPECT_EQ(number, 42);
    EXPECT_FALSE(PickCountry(46.0, 12.0, &number));
}

}  // namespace
