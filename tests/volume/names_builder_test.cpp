// The builder's names and gazetteers on a tiny set of sources written by the test: text
// conversion, source parsers, the files written end to end, and damaged sources.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "countries.h"
#include "gdal.h"
#include "names_build.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"

TEST(NameSources, Utf8ToWindows1252) {
    struct { const char* utf8; const char* cp1252; int ok; } cases[] = {
        {"Z\xc3\xbcrich", "Z\xfcrich", 1},                          // ü is in the code page
        {"\xc5\x81\xc3\xb3\x64\xc5\xba", "L\xf3" "dz", 1},          // Łódź: Ł and ź lose their marks
        {"Murba\xe1\xb8\xa9", "Murbah", 1},                         // ḩ from Latin Extended Additional
        {"Muzayri\xe2\x80\x98", "Muzayri\x91", 1},                  // ‘ has a Windows-1252 byte
        {"\xc5\xa0iauliai", "\x8a" "iauliai", 1},                   // Šiauliai keeps its Š (0x8A)
        {"Cafe\xcc\x81", "Cafe", 1},                                // a combining accent is dropped
        {"\xe4\xb8\x8a\xe6\xb5\xb7", "", 0},                        // 上海 has no Latin form
        {"bad\xc3", "bad", 0},                                      // cut inside a character
        {"bad\x80x", "bad", 0},                                     // not UTF-8
    };
    for (auto& c : cases) {
        std::string out;
        EXPECT_EQ(Utf8ToCp1252(c.utf8, &out), c.ok) << c.utf8;
        if (c.ok) {
            EXPECT_EQ(out, c.cp1252) << c.utf8;
        }
    }
}

TEST(NameSources, FactbookTexts) {
    double lat, lon;
    ASSERT_TRUE(ParseFactbookCoordinates("47 00 N, 8 00 E", &lat, &lon));
    EXPECT_DOUBLE_EQ(lat, 47);
    ASSERT_TRUE(ParseFactbookCoordinates("60 00 S, 90 30 W (nominally), but ...", &lat, &lon));
    EXPECT_DOUBLE_EQ(lat, -60);
    EXPECT_DOUBLE_EQ(lon, -90.5);
    EXPECT_FALSE(ParseFactbookCoordinates("somewhere", &lat, &lon));

    struct { const char* text; const char* name; int metres; } heights[] = {
        {"Zugspitze 2,963 m", "Zugspitze", 2963},
        {"Cheekha Dar (Kurdish for \"Black Tent\") 3,611 m", "Cheekha Dar", 3611},
        {"Mount Scenery 862 m (on the island of Saba in the Caribbean)", "Mount Scenery", 862},
        {"Mawson Peak on Big Ben volcano 2,745 m", "Mawson Peak on Big Ben volcano", 2745},
        {"Challenger Deep in the Mariana Trench -10,924 m", "Challenger Deep in the Mariana Trench", -10924},
    };
    for (auto& h : heights) {
        std::string name;
        int metres = 0;
        ASSERT_TRUE(ParseFactbookHeight(h.text, &name, &metres)) << h.text;
        EXPECT_EQ(name, h.name);
        EXPECT_EQ(metres, h.metres);
    }
    std::string name;
    int metres;
    EXPECT_FALSE(ParseFactbookHeight("no height here", &name, &metres));
    EXPECT_FALSE(ParseFactbookHeight("12 miles", &name, &metres));
    EXPECT_EQ(ParseFactbookArea("41,277 sq km"), 41277);
    EXPECT_EQ(ParseFactbookArea(""), 0);
}

TEST(NameSources, PlaceClasses) {
    struct { uint32_t population; const char* code; int cls, flags; } cases[] = {
        {8000000, "PPL", 1, 0},  {5197, "PPLC", 1, kPlaceNationalCapital},
        {600000, "PPLA", 2, kPlaceProvinceCapital}, {499999, "PPL", 3, 0}, {50000, "PPL", 4, 0},
        {25000, "PPL", 5, 0},    {24999, "PPL", 6, kPlaceNot3D}, {12000, "PPLA", 6, kPlaceProvinceCapital},
    };
    for (auto& c : cases) {
        SourcePlace p;
        p.population = c.population;
        p.featureCode = c.code;
        uint8_t cls, flags;
        ClassifyPlace(p, &cls, &flags);
        EXPECT_EQ(cls, c.cls) << c.population << c.code;
        EXPECT_EQ(flags, c.flags) << c.population << c.code;
    }
}

// [SECTION] A tiny set of sources

static void Varint(std::vector<uint8_t>& out, uint64_t v) {
    while (v >= 0x80) {
        out.push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    out.push_back((uint8_t)v);
}
static void Field(std::vector<uint8_t>& out, int tag, const std::string& s) {
    Varint(out, (uint64_t)tag << 3 | 2);
    Varint(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}
static void FieldVarint(std::vector<uint8_t>& out, int tag, uint64_t v) {
    Varint(out, (uint64_t)tag << 3);
    Varint(out, v);
}
static uint64_t Zigzag(int64_t v) { return (uint64_t)((v << 1) ^ (v >> 63)); }

struct TestPlace {
    const char* name;  // UTF-8
    const char* country;
    const char* code;
    const char* admin;
    uint32_t population;
    double lat, lon;
};
static const TestPlace testPlaces[] = {
    {"Z\xc3\xbcrich", "CH", "PPLA", "ZH", 341730, 47.36667, 8.55},
    {"Bern", "CH", "PPLC", "BE", 121631, 46.94809, 7.44744},
    {"Winterthur", "CH", "PPL", "ZH", 91908, 47.50564, 8.72413},
    {"Vaduz", "LI", "PPLC", "11", 5197, 47.14151, 9.52154},
    {"Testdorf", "ZZ", "PPL", "", 2000, 46.5, 9.0},  // a code the country list lacks
};

static std::vector<uint8_t> PlacesPbf() {
    std::vector<uint8_t> file;
    int64_t lastLat = 0, lastLon = 0;
    uint32_t id = 1000;
    for (const TestPlace& p : testPlaces) {
        std::vector<uint8_t> m;
        FieldVarint(m, 1, Zigzag(id++));
        Field(m, 2, p.name);
        Field(m, 3, p.country);
        Field(m, 7, p.code);
        Field(m, 8, p.admin);
        FieldVarint(m, 9, p.population);
        int64_t lon = llround(p.lon * 1e5), lat = llround(p.lat * 1e5);
        FieldVarint(m, 10, Zigzag(lon - lastLon));
        FieldVarint(m, 11, Zigzag(lat - lastLat));
        lastLon = lon;
        lastLat = lat;
        Varint(file, m.size());
        file.insert(file.end(), m.begin(), m.end());
    }
    return file;
}

// ETOPO5's layout: 4320 x 2161 cells, rows from 90 N, columns from 0 E.
static void WriteElevation(const std::string& path) {
    GDALAllRegister();
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), 4320, 2161, 1, GDT_Int16, nullptr);
    ASSERT_NE(ds, nullptr);
    double transform[6] = {-1.0 / 24, 1.0 / 12, 0, 90 + 1.0 / 24, 0, -1.0 / 12};
    GDALSetGeoTransform(ds, transform);
    std::vector<int16_t> row(4320, 200);
    for (int j = 0; j < 2161; j++) {
        std::fill(row.begin(), row.end(), 200);
        if (j == 529) row[94] = 4000;   // 45.9167 N, 7.8333 E: inside the test's Switzerland
        if (j == 529) row[240] = 5000;  // 20 E: higher, but outside every country
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, j, 4320, 1, row.data(), 4320, 1, GDT_Int16, 0, 0),
                  CE_None);
    }
    GDALClose(ds);
}

static void WriteNightLights(const std::string& path) {
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", 720, 360, 3, GDT_Byte, nullptr);
    std::vector<uint8_t> band(720 * 360, 10);
    for (int y = 82; y <= 88; y++)  // a lit block over Zürich and Winterthur
        for (int x = 374; x <= 380; x++) band[y * 720 + x] = 200;
    band[300 * 720 + 100] = 200;  // a lit speck where nobody lives
    band[300 * 720 + 101] = 200;
    band[301 * 720 + 100] = 200;
    for (int b = 1; b <= 3; b++)
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(mem, b), GF_Write, 0, 0, 720, 360, band.data(), 720, 360, GDT_Byte, 0, 0),
                  CE_None);
    GDALDatasetH png = GDALCreateCopy(GDALGetDriverByName("PNG"), path.c_str(), mem, 0, nullptr, nullptr, nullptr);
    GDALClose(png);
    GDALClose(mem);
}

struct TinySources {
    TempFolder folder;
    BuildContext ctx;
    TinySources() {
        std::string f = folder.path;
        WriteTestFile(f + "/cities.pbf", PlacesPbf());
        WriteTestText(f + "/admin1.json",
                      "[{\"code\":\"CH.ZH\",\"name\":\"Z\xc3\xbcrich\"},{\"code\":\"CH.BE\",\"name\":\"Bern\"},"
                      "{\"code\":\"CH.GE\",\"name\":\"Gen\xc3\xa8ve\"}]");
        WriteTestText(f + "/airports.json",
                      "[{\"name\":\"Z\xc3\xbcrich Airport\",\"city\":\"Zurich\",\"country\":\"Switzerland\","
                      "\"latitude\":47.464699,\"longitude\":8.54917,\"type\":\"airport\"}]");
        WriteTestText(f + "/factbook/europe/sz.json",
                      "{\"Geography\":{\"Geographic coordinates\":{\"text\":\"47 00 N, 8 00 E\"},"
                      "\"Area\":{\"total\":{\"text\":\"41,277 sq km\"}},"
                      "\"Elevation\":{\"highest point\":{\"text\":\"Dufourspitze 4,634 m\"}}}}");
        WriteTestText(f + "/factbook/oceans/zh.json",
                      "{\"Introduction\":{\"Background\":{\"text\":\"The Atlantic Ocean is the second largest.\"}},"
                      "\"Geography\":{\"Geographic coordinates\":{\"text\":\"0 00 N, 25 00 W\"}}}");
        WriteTestText(f + "/countries.geojson",
                      "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":"
                      "{\"name\":\"Switzerland\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":"
                      "[[[5.9,45.8],[10.5,45.8],[10.5,47.8],[5.9,47.8],[5.9,45.8]]]}}]}");
        WriteElevation(f + "/etopo5.tif");
        WriteNightLights(f + "/night.png");
        ctx.outDir = f + "/volume";
        ctx.recipe = {{"geonames", f + "/cities.pbf"},     {"admin1", f + "/admin1.json"},
                      {"airports", f + "/airports.json"},  {"factbook", f + "/factbook"},
                      {"countries-10m", f + "/countries.geojson"}, {"etopo5", f + "/etopo5.tif"},
                      {"night-lights", f + "/night.png"}};
    }
    std::vector<uint8_t> Out(const char* name) { return ReadTestFile(ctx.outDir + "/" + name); }
};

TEST(NamesBuilder, WritesEveryNameFileFromTheSources) {
    TinySources s;
    ASSERT_TRUE(BuildNames(s.ctx));

    std::vector<uint8_t> bytes = s.Out("names/pplace2.dat");
    std::vector<PlaceRecord> places;
    DecodePlaceFile(bytes.data(), bytes.size(), &places);
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[0].name, "Z\xfcrich");
    EXPECT_EQ(places[0].cls, 3);
    EXPECT_EQ(places[0].flags, kPlaceProvinceCapital);
    EXPECT_EQ(places[1].cls, 1);  // Bern: a national capital
    EXPECT_EQ(places[1].flags, kPlaceNationalCapital);
    EXPECT_EQ(places[3].name, "Vaduz");
    EXPECT_NEAR(places[3].lat, 47.14151, 1e-4);
    EXPECT_NEAR(places[3].lon, 9.52154, 1e-4);

    // The highest point at the highest cell inside the country, not the higher one outside.
    bytes = s.Out("names/mount2.dat");
    std::vector<NameRecord> peaks;
    DecodeNameFile(bytes.data(), bytes.size(), &peaks);
    ASSERT_EQ(peaks.size(), 1u);
    EXPECT_EQ(peaks[0].name, "Dufourspitze (4634)");
    EXPECT_EQ(peaks[0].cls, 1);
    EXPECT_NEAR(peaks[0].lat, 90 - 529 / 12.0, 1e-4);
    EXPECT_NEAR(peaks[0].lon, 94 / 12.0, 1e-4);

    // Divisions at the population-weighted centre of their places; Genève has none.
    bytes = s.Out("names/province.dat");
    std::vector<NameRecord> provinces;
    DecodeNameFile(bytes.data(), bytes.size(), &provinces);
    ASSERT_EQ(provinces.size(), 2u);
    EXPECT_EQ(provinces[0].name, "Z\xfcrich");
    double expectLat = (47.36667 * 341730 + 47.50564 * 91908) / (341730 + 91908);
    EXPECT_NEAR(provinces[0].lat, expectLat, 0.01);
    EXPECT_GT(provinces[0].lon, 8.55);
    EXPECT_LT(provinces[0].lon, 8.72413);

    bytes = s.Out("names/cnames.dat");
    std::vector<CountryNameRecord> countries;
    DecodeCountryNameFile(bytes.data(), bytes.size(), &countries);
    ASSERT_EQ(countries.size(), 1u);
    EXPECT_EQ(countries[0].name, "Switzerland");
    EXPECT_EQ(countries[0].countryNumber, CountryByIso2("CH")->number);
    EXPECT_EQ(countries[0].sizeCode[0], 0);  // too small to name at the world view
    EXPECT_NE(countries[0].sizeCode[6], 0);

    bytes = s.Out("names/airport.dat");
    std::vector<NameRecord> airports;
    DecodeNameFile(bytes.data(), bytes.size(), &airports);
    ASSERT_EQ(airports.size(), 1u);
    EXPECT_EQ(airports[0].cls, 2);  // serves Zürich: more than 100,000 people

    // World localities by cell: Zürich and Winterthur share cell 47 N 8 E.
    std::vector<uint8_t> idx = s.Out("names/world.idx"), dat = s.Out("names/world.dat");
    std::vector<WorldCell> cells;
    ASSERT_TRUE(DecodeWorldIndex(idx.data(), idx.size(), &cells));
    int found = 0;
    for (const WorldCell& c : cells) {
        std::vector<WorldFeature> features;
        for (const WorldGroup& g : c.groups)
            ASSERT_TRUE(DecodeWorldFeatures(dat.data(), dat.size(), g.offset, g.count, &features));
        for (const WorldFeature& f : features) {
            EXPECT_EQ(c.cell, CellOfPosition(f.lat, f.lon)) << f.name;
            found++;
        }
    }
    EXPECT_EQ(found, 5);

    // One lit area, named after its most populous place; the empty speck is left out.
    std::vector<uint8_t> cIdx = s.Out("poly/cities.idx"), cIx2 = s.Out("poly/cities.ix2"), cDat = s.Out("poly/cities.dat");
    ASSERT_EQ(cIdx.size(), 64800u * 8);
    CityIndexEntry entry;
    ASSERT_TRUE(DecodeCityIndexEntry(cIdx.data(), cIdx.size(), CellOfPosition(47.4, 8.6), &entry));
    ASSERT_EQ(entry.count, 1u);
    CityBox box;
    ASSERT_TRUE(DecodeCityBox(cIx2.data(), cIx2.size(), entry.offset, &box));
    CityPolygon polygon;
    ASSERT_TRUE(DecodeCityPolygon(cDat.data(), cDat.size(), box.offset, &polygon));
    EXPECT_EQ(polygon.name, "Z\xfcrich");
    EXPECT_GE(polygon.points.size(), 8u);
    EXPECT_LE(box.west, 8.55f);
    EXPECT_GE(box.east, 8.72f);

    EXPECT_TRUE(FileExists((s.ctx.outDir + "/names/rivers.idx").c_str()));
    EXPECT_TRUE(s.Out("names/rivers.idx").empty());
}

TEST(NamesBuilder, GazetteersCarryCountryNumbersAndFindAccentedNames) {
    TinySources s;
    ASSERT_TRUE(BuildNames(s.ctx));
    std::vector<uint8_t> worldFeatures = s.Out("names/world.dat");
    ASSERT_TRUE(BuildGazetteers(s.ctx));
    // The localities gazetteer points into the world-feature records: both steps write one file.
    EXPECT_EQ(s.Out("names/world.dat"), worldFeatures);
    std::vector<uint8_t> ix2 = s.Out("names/world.ix2"), ix4 = s.Out("names/world.ix4"), dat = s.Out("names/world.dat");
    ASSERT_EQ(ix4.size(), (size_t)kIx4Entries * 4);
    ASSERT_EQ(s.Out("names/search5.ix3").size(), (size_t)kIx3Entries * 4);
    std::vector<GazetteerMatch> matches;
    ASSERT_GE(FindBestMatches(ix2.data(), ix2.size(), ix4.data(), ix4.size(), 4, "zur", 14, &matches), 0);
    ASSERT_FALSE(matches.empty());
    EXPECT_EQ(matches[0].name, "Z\xdcRICH");
    GazetteerName record;
    ASSERT_TRUE(DecodeGazetteerName(ix2.data(), ix2.size(), matches[0].offset, &record, nullptr));
    GazetteerLocation location;
    ASSERT_TRUE(DecodeGazetteerLocation(dat.data(), dat.size(), record.locations[0], &location));
    EXPECT_EQ(location.name, "Z\xfcrich");
    EXPECT_EQ(location.country, CountryByIso2("CH")->number);

    // A place whose country code the list lacks gets the country it stands in.
    FindBestMatches(ix2.data(), ix2.size(), ix4.data(), ix4.size(), 4, "testdorf", 14, &matches);
    ASSERT_FALSE(matches.empty());
    ASSERT_TRUE(DecodeGazetteerName(ix2.data(), ix2.size(), matches[0].offset, &record, nullptr));
    ASSERT_TRUE(DecodeGazetteerLocation(dat.data(), dat.size(), record.locations[0], &location));
    EXPECT_EQ(location.name, "Testdorf");
    EXPECT_EQ(location.country, CountryByIso2("CH")->number);

    // Mountains are searched by name without the height the map label carries.
    std::vector<uint8_t> m2 = s.Out("names/search1.ix2"), m3 = s.Out("names/search1.ix3");
    FindBestMatches(m2.data(), m2.size(), m3.data(), m3.size(), 2, "dufour", 14, &matches);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].name, "DUFOURSPITZE");
}

TEST(NamesBuilder, DamagedSourcesLeaveNoFiles) {
    struct { const char* key; const char* file; std::vector<uint8_t> bytes; const char* message; } cases[] = {
        {"geonames", "cities.pbf", {}, "damaged"},
        {"admin1", "admin1.json", {'[', '{', '"', 'c'}, "not valid JSON"},
        {"airports", "airports.json", {'{', '}'}, "holds no list of airports"},
        {"night-lights", "night.png", {'n', 'o'}, "Cannot open the night-lights image"},
    };
    cases[0].bytes = PlacesPbf();
    cases[0].bytes.resize(cases[0].bytes.size() - 3);
    for (auto& c : cases) {
        TinySources s;
        WriteTestFile(s.folder / c.file, c.bytes);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(BuildNames(s.ctx)) << c.key;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.message), std::string::npos) << c.key << ": " << err;
        EXPECT_FALSE(DirectoryExists((s.ctx.outDir + "/names").c_str())) << c.key;
        EXPECT_FALSE(DirectoryExists((s.ctx.outDir + "/poly").c_str())) << c.key;
    }
    // A missing source names the file it looked for.
    TinySources s;
    s.ctx.recipe["factbook"] = s.folder / "nowhere";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(BuildGazetteers(s.ctx));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("nowhere"), std::string::npos);
}
