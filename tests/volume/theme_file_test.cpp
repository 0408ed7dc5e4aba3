// The theme file the builder writes, read back through the map's own readers: every row must
// come back as the style the builder meant, every scale must get one backdrop band, one grid
// and one tick row; the volume's roads and railways, the country list and the custom units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "countries.h"
#include "map2d/map2d.h"
#include "map2d/measurement.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "theme_file.h"
#include "volume.h"

namespace {

// Every row the builder can write: the fixed ones and those of layers a volume may hold.
std::string FullThemeText() {
    int n = 0;
    const ThemeLayerStyle* rows = VolumeThemeLayers(&n);
    std::vector<std::string> names;
    for (int i = 0; i < n; i++) names.push_back(rows[i].name);
    return ThemeFileText(names);
}

std::vector<long> Fields(const VectorLayer& v) {
    return {v.on, v.red1, v.green1, v.blue1, v.red2, v.green2, v.blue2, v.lineStyle, v.width1, v.width2,
            v.scaleA, v.scaleB, v.scaleRule};
}
std::vector<long> Fields(const ThemeLayerStyle& s) {
    return {s.on, s.red1, s.green1, s.blue1, s.red2, s.green2, s.blue2, s.lineStyle, s.width1, s.width2,
            s.scaleA, s.scaleB, s.scaleRule};
}

// A row as the map read it is one of the builder's styles (a layer may have a row for each
// scale band): a name or description cut short, a misplaced comma in the style block or a
// field out of range all show here.
void ExpectStyleMeant(const VectorLayer& v) {
    int matched = 0;
    for (auto table : {DefaultThemeLayers, VolumeThemeLayers}) {
        int n = 0;
        const ThemeLayerStyle* rows = table(&n);
        for (int i = 0; i < n; i++)
            matched += !strcmp(v.name, rows[i].name) && !strcmp(v.description, rows[i].description) &&
                       Fields(v) == Fields(rows[i]);
    }
    EXPECT_EQ(matched, 1) << v.name << " \"" << v.description << "\" " << ::testing::PrintToString(Fields(v));
}

// The layer group a row draws: "~" for a grid, "*" for ticks, else its name before any "_".
std::string Group(const std::string& name) {
    return name[0] == '~' || name[0] == '*' ? name.substr(0, 1) : name.substr(0, name.find('_'));
}

struct ThemeFile : ::testing::Test {
    TempFolder folder;
    char savedRoot[sizeof dataRoot];
    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        TestClearShown();
    }
    void TearDown() override { memcpy(dataRoot, savedRoot, sizeof dataRoot); }
    // The layer rows of a theme text as the map loads them from theme1.dat.
    std::vector<VectorLayer> Load(const std::string& text) {
        EXPECT_TRUE(WriteTestText(folder / "theme1.dat", text));
        return Loaded();
    }
    static std::vector<VectorLayer> Loaded() {
        int n = LoadVectorLayerTable();
        return std::vector<VectorLayer>(vectorLayers, vectorLayers + std::max(n, 0));
    }
    static std::vector<std::string> Names(const std::vector<VectorLayer>& rows) {
        std::vector<std::string> names;
        for (const VectorLayer& r : rows) names.push_back(r.name);
        return names;
    }
};

}  // namespace

TEST_F(ThemeFile, EveryRowReadsBackAsTheStyleMeant) {
    std::string text = FullThemeText();
    for (size_t at = 0; at < text.size();) {
        size_t end = std::min(text.find('\n', at), text.size() - 1);
        std::string line = text.substr(at, end + 1 - at);
        EXPECT_LE(line.size(), 114u) << line;  // the map reads at most 114 characters a line
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
        at = end + 1;
    }
    std::vector<VectorLayer> rows = Load(text);
    int32_t maxZoom = 0;
    ASSERT_EQ(ReadMaxZoomScale(&maxZoom), 1);
    EXPECT_EQ(maxZoom, 1000000);

    static const std::set<std::string> known = {"PO13", "RIV01", "RIV02", "RIV03", "RIV04", "RIV05", "LAKES", "CITIES",
                                                "BORDERS", "PROV", "PO05", "RD01", "RD02", "RD03", "RD08",
                                                "RR01", "RR02", "RR03", "RR08"};
    int count = 0, volumeCount = 0;
    DefaultThemeLayers(&count);
    VolumeThemeLayers(&volumeCount);
    ASSERT_EQ((int)rows.size(), count + volumeCount);  // the map reads at most 100
    for (const VectorLayer& r : rows) {
        std::string name = r.name;
        SCOPED_TRACE(name);
        ExpectStyleMeant(r);
        EXPECT_STRNE(r.description, "");
        EXPECT_LE(r.scaleRule, 3);
        EXPECT_LE(r.lineStyle, 5);
        EXPECT_TRUE((r.lineStyle != 0 && r.lineStyle != 4 && r.lineStyle != 5) || r.width1 >= 1);
        EXPECT_TRUE(r.lineStyle != 5 || r.width2 > r.width1);  // the casing shows on both sides
        if (name[0] == '~') {
            EXPECT_GT(atof(name.c_str() + 1), 0);
        } else if (name[0] == '*') {
            ASSERT_GE(name.size(), 7u);
            EXPECT_GT(atoi(name.c_str() + 1), 0);
            EXPECT_EQ(name[4], '1');
            EXPECT_GT(atof(name.c_str() + 6), 0);
        } else {
            // A suffix names the scale band's source of the same group ("PO13_c").
            EXPECT_TRUE(known.count(Group(name)));
        }
    }
}

TEST_F(ThemeFile, ScaleBandsLeaveNoGapsAndNoDoubles) {
    std::vector<VectorLayer> rows = Load(FullThemeText());
    int32_t maxZoom = 0;
    ASSERT_EQ(ReadMaxZoomScale(&maxZoom), 1);
    // From the deepest zoom to the world on the smallest monitor (1:169,465,530).
    std::vector<long> scales;
    for (long s = maxZoom; s < 200000000; s = s * 21 / 20) scales.push_back(s);
    for (const VectorLayer& r : rows)
        for (long edge : {r.scaleA, r.scaleB})
            for (long d = -1; d <= 1; d++) scales.push_back(edge + d);
    for (long s : scales) {
        if (s < maxZoom || s > 200000000) continue;
        RasterEntry band{};
        EXPECT_EQ(ChooseRasterEntry((int32_t)s, &band), 1) << s;
        std::map<std::string, int> drawn;
        for (const VectorLayer& r : rows)
            if (r.on && LayerDrawnAtScale(r, (int32_t)s)) drawn[Group(r.name)]++;
        // One grid, one set of ticks, and no layer (of any resolution) drawn twice over itself.
        for (const char* group : {"~", "*", "PO13", "LAKES", "BORDERS", "RIV01"}) EXPECT_EQ(drawn[group], 1) << group << " at " << s;
        for (auto [name, n] : drawn) EXPECT_LE(n, 1) << name << " at " << s;
    }
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
}

TEST_F(ThemeFile, RoadRailwayAndStateBorderRowsFollowTheVolume) {
    BuildContext ctx;
    ctx.outDir = folder.path;
    ASSERT_EQ(BuildTheme(ctx), 1);
    std::vector<std::string> without = Names(Loaded());
    int count = 0;
    DefaultThemeLayers(&count);
    EXPECT_EQ((int)without.size(), count);
    for (const std::string& name : without) EXPECT_TRUE(name.compare(0, 2, "RD") && name.compare(0, 2, "RR") && name != "PO05") << name;
    ASSERT_FALSE(ctx.report.empty());
    EXPECT_NE(ctx.report.back().find("not in the volume: RD01 RD02 RD03 RD08 RR01 RR02 RR03 RR08 PO05"), std::string::npos)
        << ctx.report.back();

    // Layers as the vectors step leaves them: only a layer whose index is written counts, and
    // classes without a switch (RD04) are never listed.
    for (const char* name : {"RD01", "RD04", "RD08", "RR02", "PO05"}) {
        ASSERT_TRUE(WriteTestFile(folder / (std::string("v_index/") + name + ".idx"), std::vector<uint8_t>(258)));
        ASSERT_TRUE(WriteTestFile(folder / (std::string("v_data/") + name + ".dat"), std::vector<uint8_t>(256)));
    }
    ASSERT_TRUE(WriteTestFile(folder / "v_data/RR01.dat", std::vector<uint8_t>(256)));  // no index: not listed
    ASSERT_EQ(BuildTheme(ctx), 1);
    std::vector<VectorLayer> with = Loaded();
    std::vector<std::string> names = Names(with);
    ASSERT_EQ((int)names.size(), count + 4);
    auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    // Drawn after the rivers and before the borders and cities, which stay on top.
    EXPECT_LT(at("RIV04"), at("RD01"));
    EXPECT_LT(at("RD01"), at("RD08"));
    EXPECT_LT(at("RD08"), at("RR02"));
    EXPECT_LT(at("PO05"), at("PROV"));
    EXPECT_LT(at("PROV"), at("BORDERS"));
    EXPECT_EQ(at("RD04"), (long)names.size());
    EXPECT_EQ(at("RR01"), (long)names.size());
    for (const VectorLayer& r : with) ExpectStyleMeant(r);
    EXPECT_NE(ctx.report.back().find("listed from the volume: RD01 RD08 RR02 PO05;"), std::string::npos) << ctx.report.back();
}

// The world view gets the crude outlines, a continent the low ones, a country the
// intermediate ones and a region the finest, with thin borders wherever many share the map.
TEST_F(ThemeFile, EachScaleDrawsTheResolutionMeantForIt) {
    std::vector<VectorLayer> rows = Load(ThemeFileText());
    struct {
        int32_t scale;
        const char* coast;
        const char* lakes;
        const char* borders;
        int borderWidth;  // of the line drawn on top
    } cases[] = {
        {169465530, "PO13_c", "LAKES_c", "BORDERS_c", 1},  // the world, 14-inch monitor
        {75000001, "PO13_c", "LAKES_c", "BORDERS_c", 1},
        {75000000, "PO13_l", "LAKES_l", "BORDERS_l", 1},
        {18000000, "PO13_l", "LAKES_l", "BORDERS_l", 1},   // Europe
        {15000000, "PO13_i", "LAKES_i", "BORDERS_i", 1},
        {6000000, "PO13_i", "LAKES_i", "BORDERS_i", 1},
        {4000000, "PO13", "LAKES", "BORDERS", 1},
        {1800000, "PO13", "LAKES", "BORDERS", 1},          // the Alps
    };
    for (const auto& c : cases) {
        std::map<std::string, const VectorLayer*> drawn;
        for (const VectorLayer& r : rows)
            if (r.on && LayerDrawnAtScale(r, c.scale)) drawn[Group(r.name)] = &r;
        ASSERT_TRUE(drawn.count("PO13") && drawn.count("LAKES") && drawn.count("BORDERS")) << c.scale;
        EXPECT_STREQ(drawn["PO13"]->name, c.coast) << c.scale;
        EXPECT_STREQ(drawn["LAKES"]->name, c.lakes) << c.scale;
        EXPECT_STREQ(drawn["BORDERS"]->name, c.borders) << c.scale;
        EXPECT_EQ(drawn["BORDERS"]->width1, c.borderWidth) << c.scale;
        EXPECT_EQ(drawn["PO13"]->width1, 1) << c.scale;
        // No casing around the borders until a country fills the map.
        if (c.scale > 4000000) {
            EXPECT_NE(drawn["BORDERS"]->lineStyle, 5) << c.scale;
        }
    }
}

TEST_F(ThemeFile, RasterBandsAndCountries) {
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", ThemeFileText()));
    int32_t maxZoom = 0;
    ASSERT_EQ(ReadMaxZoomScale(&maxZoom), 1);
    struct {
        int32_t scale;
        int smoothing;
    } bands[] = {{169465530, 0}, {11000000, 0}, {10999999, 0}, {2800000, 0}, {2799999, 1}, {maxZoom, 1}};
    for (const auto& b : bands) {
        RasterEntry e{};
        ASSERT_EQ(ChooseRasterEntry(b.scale, &e), 1) << b.scale;
        EXPECT_EQ(e.smoothing, b.smoothing) << b.scale;
    }
    int n = 0;
    const Country* table = CountryTable(&n);
    ASSERT_EQ(LoadCountryIds(), n);
    for (int i = 0; i < n; i++) {
        EXPECT_EQ(countryIds[i].number, table[i].number);
        std::string name = countryIds[i].name;
        EXPECT_EQ(name.substr(0, name.find_first_of("\",\r\n")), table[i].name);
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(ThemeFile, CustomDistanceUnits) {
    std::vector<uint8_t> units = ReadTestFile(SourceDir() + "/content/distance.dat");
    ASSERT_FALSE(units.empty());
    ASSERT_TRUE(WriteTestFile(folder / "distance.dat", units));
    struct {
        double metres;
        const char* name;
    } want[] = {{185.2, "cables"}, {201.168, "furlongs"}, {4828.032, "leagues"},
                {1.8288, "fathoms"}, {20.1168, "chains"}, {299792458, "light-seconds"}};
    int k = 0;
    for (const auto& w : want) {
        double size = 0;
        std::string name;
        ASSERT_EQ(ReadCustomUnit(k++, &size, &name), 1) << w.name;
        EXPECT_DOUBLE_EQ(size, w.metres);
        EXPECT_EQ(name, w.name);
    }
    double size = 0;
    std::string name;
    EXPECT_EQ(ReadCustomUnit(k, &size, &name), 0);
}
