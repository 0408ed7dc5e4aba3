// The "vectors" step end to end with a stand-in for gmt: layer files read back through the
// viewer's readers match the source positions, country polygons carry the table's numbers,
// and a damaged source gives a clear message and leaves no file behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <set>

#include "countries.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"
#include "vector_build.h"
#include "volume_helpers.h"

static const char* kGoodGmt =
    "#!/bin/sh\n"
    "case \"$*\" in\n"
    "  *+L*) printf 'US.CA\\tCalifornia\\nUS.NV\\tNevada\\n' ;;\n"
    "  *-E*) printf '> ring\\n10 10\\n12 10\\n12 12\\n10 12\\n10 10\\n> -Ph hole\\n10.5 10.5\\n11 10.5\\n11 11\\n' ;;\n"
    "  *) printf '> seg\\n170 -5.5\\n-170 -5.5\\n> seg 2\\n7.25 45.5\\n9.75 46.25\\n' ;;\n"
    "esac\n";

static std::set<std::string> FilesUnder(const std::string& root) {
    std::set<std::string> out;
    DIR* d = opendir(root.c_str());
    if (!d) return out;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        std::string path = root + "/" + name;
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            for (const std::string& f : FilesUnder(path)) out.insert(name + "/" + f);
        } else {
            out.insert(name);
        }
    }
    closedir(d);
    return out;
}

// Every point of a layer, as geographic positions, through the viewer's readers.
static std::vector<GeoPoint> LayerPoints(const TempFolder& volume, const char* name) {
    std::vector<uint8_t> index = ReadTestFile(volume / ("v_index/" + std::string(name) + ".idx"));
    std::vector<uint8_t> data = ReadTestFile(volume / ("v_data/" + std::string(name) + ".dat"));
    std::vector<VectorCellEntry> cells;
    EXPECT_EQ(ParseVectorIndex(index.data(), index.size(), &cells), 1);
    std::vector<GeoPoint> out;
    for (size_t i = 0; i < cells.size(); i++) {
        if (i) {
            EXPECT_LT(cells[i - 1].cell, cells[i].cell);
        }
        std::vector<VectorRecord> records;
        std::vector<VectorPoint> points;
        EXPECT_EQ(ParseVectorCell(data.data(), data.size(), cells[i], &records, &points), 1);
        for (const VectorPoint& p : points)
            out.push_back({VectorCellWest(cells[i].cell) + p.dLon / 1e4, VectorCellSouth(cells[i].cell) + p.dLat / 1e4});
    }
    return out;
}

static int Has(const std::vector<GeoPoint>& points, double lon, double lat) {
    for (const GeoPoint& p : points)
        if (std::fabs(p.lon - lon) < 1e-4 && std::fabs(p.lat - lat) < 1e-4) return 1;
    return 0;
}

TEST(VectorStep, LayersAndCountryPolygonsFromGmt) {
    TempFolder tools, volume;
    BuildContext ctx;
    ctx.outDir = volume.path;
    ctx.recipe["gmt"] = MakeScript(tools, "gmt", kGoodGmt);
    testing::internal::CaptureStderr();
    ASSERT_EQ(BuildVectors(ctx), 1);
    testing::internal::GetCapturedStderr();

    // The states of DCW come from gmt coast -E, which the stand-in answers with a ring.
    std::vector<GeoPoint> prov = LayerPoints(volume, "PROV");
    for (GeoPoint corner : {GeoPoint{10, 10}, GeoPoint{12, 10}, GeoPoint{12, 12}, GeoPoint{10, 12}, GeoPoint{11, 11}})
        EXPECT_TRUE(Has(prov, corner.lon, corner.lat)) << corner.lon << " " << corner.lat;
    for (const char* name : {"PO13", "LAKES", "RIV01", "RIV02", "RIV03", "RIV04", "RIV05", "BORDERS", "PO05"}) {
        SCOPED_TRACE(name);
        std::vector<GeoPoint> points = LayerPoints(volume, name);
        // Source vertices, and the cuts on the date line and on the meridians 8 and 9.
        for (GeoPoint p : {GeoPoint{170, -5.5}, GeoPoint{180, -5.5}, GeoPoint{-180, -5.5}, GeoPoint{-170, -5.5},
                           GeoPoint{7.25, 45.5}, GeoPoint{9.75, 46.25}, GeoPoint{8, 45.5 + 0.75 * 0.3}})
            EXPECT_TRUE(Has(points, p.lon, p.lat)) << p.lon << " " << p.lat;
        std::vector<uint8_t> top = ReadTestFile(volume / ("800_z0/" + std::string(name) + ".top"));
        std::vector<WorldPoint> world;
        ASSERT_EQ(ParseWorldPoints(top.data(), top.size(), &world), 1);
        EXPECT_GT(world.size(), 20u);
        for (const WorldPoint& w : world) EXPECT_TRUE(w.column >= 770 || w.column <= 30 || (w.column >= 410 && w.column <= 425));
    }
    std::set<std::string> files = FilesUnder(volume.path);
    EXPECT_FALSE(files.count("v_index/RD01.idx"));  // no road source in the recipe
    EXPECT_EQ(LinesWith(ctx.missing, "RD01"), 1);

    // One 24-byte entry for each country DCW outlines; the hole is not a polygon of its own.
    std::vector<uint8_t> index = ReadTestFile(volume / "stats/cpoly.idx");
    std::vector<uint8_t> data = ReadTestFile(volume / "stats/cpoly.dat");
    ASSERT_EQ(index.size() % 24, 0u);
    int n = 0;
    const Country* table = CountryTable(&n);
    std::set<std::string> codes;
    for (int i = 0; i < n; i++)
        if (table[i].dcw[0]) codes.insert(table[i].dcw);
    size_t withOutline = codes.size();
    ASSERT_EQ(index.size() / 24, withOutline);
    std::set<int> numbers;
    for (size_t at = 0; at < index.size(); at += 24) {
        ByteCursor c = MakeCursor(index.data() + at, 24);
        std::vector<float> box = {ReadF32LE(c), ReadF32LE(c), ReadF32LE(c), ReadF32LE(c)};  // W S E N
        int count = ReadI16LE(c), number = ReadI16LE(c);
        uint32_t offset = ReadU32LE(c);
        EXPECT_EQ(box, (std::vector<float>{10, 10, 12, 12}));
        EXPECT_EQ(count, 4);
        ASSERT_LE(offset + count * 8u, data.size());
        ByteCursor p = MakeCursor(data.data() + offset, 8);
        EXPECT_EQ(ReadF32LE(p), 10.0f);
        EXPECT_EQ(ReadF32LE(p), 10.0f);
        EXPECT_NE(CountryByNumber(number), nullptr);
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), withOutline);
}

TEST(VectorStep, DamagedGmtOutputLeavesNoFile) {
    struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"#!/bin/sh\nprintf '> a\\n10 10\\n12 abc\\n'\n", "printed a malformed segment list: line 3 is not a longitude and latitude: \"12 abc\""},
        {"#!/bin/sh\necho 'gmt: no GSHHG data' >&2\nexit 3\n", "failed (exit status 3)"},
    };
    for (const auto& c : cases) {
        TempFolder tools, volume;
        BuildContext ctx;
        ctx.outDir = volume.path;
        ctx.recipe["gmt"] = MakeScript(tools, "gmt", c.script);
        testing::internal::CaptureStderr();
        EXPECT_EQ(BuildVectors(ctx), 0);
        std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors.substr(0, 400);
        EXPECT_EQ(FilesUnder(volume.path), std::set<std::string>{});
        int missingCoast = 0, missingPolygons = 0;
        for (const std::string& m : ctx.missing) {
            missingCoast += m.find("v_data\\PO13.dat") == 0;
            missingPolygons += m.find("stats\\cpoly.idx") == 0;
        }
        EXPECT_EQ(missingCoast, 1);
        EXPECT_EQ(missingPolygons, 1);
    }
}

// The real gmt writes gmt.history into its working folder even when told not to keep a
// history; the builder's runs must leave the folder it was started in untouched.
TEST(VectorStep, GmtLeavesNoHistoryBehind) {
    TempFolder work;
    std::string saved = CurrentDirectory();
    ASSERT_EQ(ChangeDirectory(work.path.c_str()), 1);
    BuildContext ctx;
    std::string list;
    int ran = RunGmtText(ctx, "coast -E+L", &list);
    std::set<std::string> left = FilesUnder(work.path);
    ChangeDirectory(saved.c_str());
    ASSERT_EQ(ran, 1);
    EXPECT_NE(list.find("US.CA"), std::string::npos);
    EXPECT_EQ(left, std::set<std::string>{});
}

TEST(VectorStep, RoadsAndRailwaysFromOgrSources) {
    TempFolder tools, volume;
    std::string roads = tools / "roads.geojson", rails = tools / "rails.geojson", plain = tools / "plain.geojson";
    WriteTestText(roads,
                  "{\"type\":\"FeatureCollection\",\"features\":["
                  "{\"type\":\"Feature\",\"properties\":{\"kind\":2},"
                  "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[2.35,48.85],[4.83,45.76]]}},"
                  "{\"type\":\"Feature\",\"properties\":{\"kind\":9},"
                  "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[0,0],[1,1]]}}]}");
    WriteTestText(rails, "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"prop");
    WriteTestText(plain,
                  "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"name\":\"x\"},"
                  "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[0,0],[1,1]]}}]}");
    BuildContext ctx;
    ctx.outDir = volume.path;
    ctx.recipe["gmt"] = MakeScript(tools, "gmt", kGoodGmt);
    ctx.recipe["roads"] = roads;
    ctx.recipe["roads_class"] = "kind";
    ctx.recipe["railways"] = rails;
    testing::internal::CaptureStderr();
    EXPECT_EQ(BuildVectors(ctx), 0);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Cannot open the vector source " + rails), std::string::npos) << errors;

    std::set<std::string> files = FilesUnder(volume.path);
    for (int i = 1; i <= 8; i++) {
        char name[32];
        snprintf(name, sizeof name, "v_index/RD%02d.idx", i);
        EXPECT_TRUE(files.count(name)) << name;
        snprintf(name, sizeof name, "v_data/RR%02d.dat", i);
        EXPECT_FALSE(files.count(name)) << name;
    }
    std::vector<GeoPoint> points = LayerPoints(volume, "RD02");
    EXPECT_TRUE(Has(points, 2.35, 48.85));
    EXPECT_TRUE(Has(points, 4.83, 45.76));
    EXPECT_TRUE(LayerPoints(volume, "RD01").empty());
    EXPECT_EQ(LinesWith(ctx.report, "1 roads features left out"), 1);

    // A source without the class attribute is refused by name.
    TempFolder volume2;
    ctx.outDir = volume2.path;
    ctx.recipe.erase("railways");
    ctx.recipe["roads"] = plain;
    testing::internal::CaptureStderr();
    EXPECT_EQ(BuildVectors(ctx), 0);
    errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("has no attribute kind giving the class 1..8"), std::string::npos) << errors;
    EXPECT_FALSE(FilesUnder(volume2.path).count("v_index/RD01.idx"));
}
