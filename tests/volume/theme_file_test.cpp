// The theme file the builder writes, read back line by line by the column rules the map uses:
// every row must be accepted, every scale must get one backdrop band, one grid and one tick
// row; then the file through the map's own readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "countries.h"
#include "map2d/map2d.h"
#include "map2d/measurement.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "theme_file.h"
#include "volume.h"

// A field read as the map reads it: blanks skipped, optional minus, digits up to the first other character.
static long FieldAt(const std::string& line, size_t column) {
    if (column >= line.size()) return 0;
    const char* s = line.c_str() + column;
    while (*s == ' ') s++;
    int negative = *s == '-';
    if (negative) s++;
    long v = 0;
    while (*s >= '0' && *s <= '9') v = v * 10 + (*s++ - '0');
    return negative ? -v : v;
}

static std::string Between(const std::string& line, char open, char close) {
    size_t a = line.find(open);
    if (a == std::string::npos) return "";
    size_t b = line.find(close, a + 1);
    return line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
}

struct Row {
    int on;
    std::string name, description;
    int styleOk, rule, style, width1, width2;
    long a, b;
};

struct Theme {
    std::vector<std::string> lines;  // each with its line end
    long maxZoom = -1;
    std::vector<std::pair<long, long>> bands;
    std::vector<Row> rows;
};

static Theme ReadTheme(const std::string& text) {
    Theme t;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        t.lines.push_back(text.substr(at, end - at));
        at = end;
    }
    int layers = 0;  // inside the layer section
    for (const std::string& line : t.lines) {
        if (line.size() >= 5 && line.compare(0, 14, "[MaxZoomScale=") == 0 && t.maxZoom < 0) t.maxZoom = FieldAt(line, 14);
        if (line.size() >= 5 && line.compare(0, 10, "[Raster2D=") == 0) {
            long a = FieldAt(line, 15), b = FieldAt(line, 25);
            t.bands.push_back({std::min(a, b), std::max(a, b)});
        }
        if (line[0] == '[') layers = line.compare(0, 18, "[Vector 2D Layers]") == 0;
        else if (layers && line.size() > 1 && (line[0] == '0' || line[0] == '1') && line[1] == ',') {
            Row r{line[0] - '0', Between(line, '<', '>'), Between(line, '"', '"'), 0, 0, 0, 0, 0, 0, 0};
            std::string block = Between(line, '{', '}');
            r.styleOk = block.size() == 53;
            for (int c : {3, 7, 11, 15, 19, 23, 25, 28, 31, 41, 51}) r.styleOk = r.styleOk && block[c] == ',';
            if (r.styleOk) {
                r.style = (int)FieldAt(block, 24), r.width1 = (int)FieldAt(block, 26), r.width2 = (int)FieldAt(block, 29);
                r.a = FieldAt(block, 32), r.b = FieldAt(block, 42), r.rule = (int)FieldAt(block, 52);
                for (int c : {0, 4, 8, 12, 16, 20}) EXPECT_LE(FieldAt(block, c), 255) << line;
            }
            t.rows.push_back(r);
        }
    }
    return t;
}

static int RuleDraws(const Row& r, long s) {
    switch (r.rule) {
    case 0: return 1;
    case 1: return s < r.a;
    case 2: return s > r.b;
    case 3: return r.a < s && s < r.b;
    }
    return 0;
}

// Every row the builder can write: the fixed ones and those of layers a volume may hold.
static std::string FullThemeText() {
    int n = 0;
    const ThemeLayerStyle* rows = VolumeThemeLayers(&n);
    std::vector<std::string> names;
    for (int i = 0; i < n; i++) names.push_back(rows[i].name);
    return ThemeFileText(names);
}

TEST(ThemeFile, EveryLineReadsAsMeant) {
    Theme t = ReadTheme(FullThemeText());
    for (const std::string& line : t.lines) {
        EXPECT_LE(line.size(), 114u) << line;  // the map reads at most 114 characters a line
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    }
    EXPECT_EQ(t.maxZoom, 1000000);

    static const std::set<std::string> known = {"PO13", "RIV01", "RIV02", "RIV03", "RIV04", "RIV05", "LAKES", "CITIES",
                                                "BORDERS", "PROV", "PO05", "RD01", "RD02", "RD03", "RD08",
                                                "RR01", "RR02", "RR03", "RR08"};
    int count = 0, volumeCount = 0;
    DefaultThemeLayers(&count);
    VolumeThemeLayers(&volumeCount);
    ASSERT_EQ((int)t.rows.size(), count + volumeCount);
    ASSERT_LE(t.rows.size(), 100u);
    for (const Row& r : t.rows) {
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(r.styleOk);
        EXPECT_LE(r.name.size(), 16u);
        EXPECT_LE(r.description.size(), 43u);
        EXPECT_FALSE(r.description.empty());
        EXPECT_GE(r.rule, 0);
        EXPECT_LE(r.rule, 3);
        EXPECT_LE(r.style, 5);
        EXPECT_TRUE((r.style != 0 && r.style != 4 && r.style != 5) || r.width1 >= 1);
        EXPECT_TRUE(r.style != 5 || r.width2 > r.width1);  // the casing shows on both sides
        if (r.name[0] == '~') {
            EXPECT_GT(atof(r.name.c_str() + 1), 0);
        } else if (r.name[0] == '*') {
            ASSERT_GE(r.name.size(), 7u);
            EXPECT_GT(FieldAt(r.name, 1), 0);
            EXPECT_EQ(r.name[4], '1');
            EXPECT_GT(atof(r.name.c_str() + 6), 0);
        } else {
            // A suffix names the scale band's source of the same group ("PO13_c").
            EXPECT_TRUE(known.count(r.name.substr(0, r.name.find('_'))));
        }
    }
}

TEST(ThemeFile, ScaleBandsLeaveNoGapsAndNoDoubles) {
    Theme t = ReadTheme(FullThemeText());
    // From the deepest zoom to the world on the smallest monitor (1:169,465,530).
    std::vector<long> scales;
    for (long s = t.maxZoom; s < 200000000; s = s * 21 / 20) scales.push_back(s);
    for (const Row& r : t.rows)
        for (long edge : {r.a, r.b})
            for (long d = -1; d <= 1; d++) scales.push_back(edge + d);
    for (long s : scales) {
        if (s < t.maxZoom || s > 200000000) continue;
        int bands = 0;
        for (auto [lower, upper] : t.bands) bands += lower <= s && s < upper;
        EXPECT_EQ(bands > 0, 1) << s;
        std::map<std::string, int> drawn;
        for (const Row& r : t.rows)
            if (r.on && RuleDraws(r, s))
                drawn[r.name[0] == '~' || r.name[0] == '*' ? r.name.substr(0, 1) : r.name.substr(0, r.name.find('_'))]++;
        // One grid, one set of ticks, and no layer (of any resolution) drawn twice over itself.
        EXPECT_EQ(drawn["~"], 1) << s;
        EXPECT_EQ(drawn["*"], 1) << s;
        for (auto [name, n] : drawn) EXPECT_LE(n, 1) << name << " at " << s;
        EXPECT_EQ(drawn["PO13"], 1) << s;
        EXPECT_EQ(drawn["LAKES"], 1) << s;
        EXPECT_EQ(drawn["BORDERS"], 1) << s;
        EXPECT_EQ(drawn["RIV01"], 1) << s;
    }
}

static std::vector<std::string> RowNames(const Theme& t) {
    std::vector<std::string> names;
    for (const Row& r : t.rows) names.push_back(r.name);
    return names;
}

TEST(ThemeFile, RoadRailwayAndStateBorderRowsFollowTheVolume) {
    TempFolder folder;
    BuildContext ctx;
    ctx.outDir = folder.path;
    ASSERT_EQ(BuildTheme(ctx), 1);
    std::vector<uint8_t> bytes = ReadTestFile(folder / "theme1.dat");
    Theme without = ReadTheme(std::string(bytes.begin(), bytes.end()));
    int count = 0;
    DefaultThemeLayers(&count);
    EXPECT_EQ((int)without.rows.size(), count);
    for (const std::string& name : RowNames(without)) EXPECT_TRUE(name.compare(0, 2, "RD") && name.compare(0, 2, "RR") && name != "PO05") << name;
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
    bytes = ReadTestFile(folder / "theme1.dat");
    Theme with = ReadTheme(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> names = RowNames(with);
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
    for (const Row& r : with.rows) EXPECT_TRUE(r.styleOk) << r.name;
    EXPECT_NE(ctx.report.back().find("listed from the volume: RD01 RD08 RR02 PO05;"), std::string::npos) << ctx.report.back();
}

// The world view gets the crude outlines, a continent the low ones, a country the
// intermediate ones and a region the finest, with thin borders wherever many share the map.
TEST(ThemeFile, EachScaleDrawsTheResolutionMeantForIt) {
    Theme t = ReadTheme(ThemeFileText());
    struct {
        long scale;
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
        std::map<std::string, const Row*> drawn;
        for (const Row& r : t.rows)
            if (r.on && RuleDraws(r, c.scale)) drawn[r.name.substr(0, r.name.find('_'))] = &r;
        ASSERT_TRUE(drawn.count("PO13") && drawn.count("LAKES") && drawn.count("BORDERS")) << c.scale;
        EXPECT_EQ(drawn["PO13"]->name, c.coast) << c.scale;
        EXPECT_EQ(drawn["LAKES"]->name, c.lakes) << c.scale;
        EXPECT_EQ(drawn["BORDERS"]->name, c.borders) << c.scale;
        EXPECT_EQ(drawn["BORDERS"]->width1, c.borderWidth) << c.scale;
        EXPECT_EQ(drawn["PO13"]->width1, 1) << c.scale;
        // No casing around the borders until a country fills the map.
        if (c.scale > 4000000) {
            EXPECT_NE(drawn["BORDERS"]->style, 5) << c.scale;
        }
    }
}

// The same file through the map's own readers, with the volume's custom distance units.
struct ThemeThroughViewerReaders : ::testing::Test {
    TempFolder folder;
    char savedRoot[sizeof dataRoot];
    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        TestClearShown();
    }
    void TearDown() override { memcpy(dataRoot, savedRoot, sizeof dataRoot); }
};

TEST_F(ThemeThroughViewerReaders, ZoomRasterLayersAndCountries) {
    ASSERT_TRUE(WriteTestText(folder / "theme1.dat", ThemeFileText()));
    int32_t maxZoom = 0;
    ASSERT_EQ(ReadMaxZoomScale(&maxZoom), 1);
    EXPECT_EQ(maxZoom, 1000000);
    struct {
        int32_t scale;
        int smoothing;
    } bands[] = {{169465530, 0}, {11000000, 0}, {10999999, 0}, {2800000, 0}, {2799999, 1}, {maxZoom, 1}};
    for (const auto& b : bands) {
        RasterEntry e{};
        ASSERT_EQ(ChooseRasterEntry(b.scale, &e), 1) << b.scale;
        EXPECT_EQ(e.smoothing, b.smoothing) << b.scale;
    }
    int rows = 0;
    const ThemeLayerStyle* styles = DefaultThemeLayers(&rows);
    ASSERT_EQ(LoadVectorLayerTable(), rows);
    for (int i = 0; i < rows; i++) {
        const VectorLayer& v = vectorLayers[i];
        const ThemeLayerStyle& s = styles[i];
        SCOPED_TRACE(s.name);
        EXPECT_EQ(std::string(v.name) + "|" + v.description, std::string(s.name) + "|" + s.description);
        EXPECT_EQ(std::tie(v.on, v.red1, v.blue2, v.lineStyle, v.width1, v.width2, v.scaleA, v.scaleB, v.scaleRule),
                  std::tie(s.on, s.red1, s.blue2, s.lineStyle, s.width1, s.width2, s.scaleA, s.scaleB, s.scaleRule));
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

TEST_F(ThemeThroughViewerReaders, CustomDistanceUnits) {
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
