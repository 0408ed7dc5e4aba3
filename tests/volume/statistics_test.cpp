// The statistics step: the record order against the regions' fixed lists, the Factbook's
// figures of every unit on real excerpts, the table files field by field, and a region map
// whose palette indices are the ones country.inf gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "manual_pages.h"
#include "platform/le_bytes.h"
#include "statistics_build.h"
#include "support/test_volume.h"
#include "volume_helpers.h"
#include "volume.h"

TEST(Statistics, EveryRegionListHoldsExactlyItsCountries) {
    // Region 0 is every record in order; 1..8 share the 261 numbers out, each once.
    const StatRegion* world = StatRegionInfo(0);
    ASSERT_EQ(world->count, kCountryRecords);
    for (int i = 0; i < kCountryRecords; i++) EXPECT_EQ(world->members[i], i + 1);
    std::vector<int> seen(kCountryRecords + 1, 0);
    for (int region = 1; region < kStatRegions; region++) {
        const StatRegion* r = StatRegionInfo(region);
        for (int i = 0; i < r->count; i++) {
            ASSERT_GE(r->members[i], 1);
            ASSERT_LE(r->members[i], kCountryRecords);
            seen[r->members[i]]++;
        }
    }
    for (int n = 1; n <= kCountryRecords; n++) EXPECT_EQ(seen[n], 1) << "country number " << n;
    EXPECT_EQ(StatRegionInfo(9), nullptr);

    // Each record is a country of the table or a remaining territory, never both, and sits in
    // the list of its own region.
    int nRemaining = 0;
    const RemainingTerritory* remaining = RemainingTerritories(&nRemaining);
    int nTable = 0;
    CountryTable(&nTable);
    EXPECT_EQ(nTable + nRemaining, kCountryRecords);
    for (int i = 0; i < nRemaining; i++) {
        SCOPED_TRACE(remaining[i].name);
        EXPECT_EQ(CountryByNumber(remaining[i].number), nullptr);
        EXPECT_EQ(RegionOfCountry(remaining[i].number), remaining[i].region);
    }
    for (int n = 1; n <= kCountryRecords; n++) {
        const Country* c = CountryByNumber(n);
        if (c) {
            EXPECT_EQ(RegionOfCountry(n), c->region) << c->name;
        }
    }
    EXPECT_STREQ(CountryByNumber(14)->name, "Australia");
    EXPECT_EQ(RegionOfCountry(14), 4);
    EXPECT_EQ(RegionOfCountry(150), 5);  // out of ascending order in Europe's list
}

// Texts as the Factbook writes them (from its 2015 profiles); NAN marks "not available".
TEST(Statistics, FactbookFiguresOfEachUnit) {
    struct {
        const char* text;
        FactbookUnit unit;
        double value;
        int older;
    } cases[] = {
        {"$3.722 trillion (2014 est.) ++ $3.663 trillion (2013 est.) ++ $3.655 trillion (2012 est.)", kFigureDollars, 3.722e12, 0},
        {"$45,900 (2014 est.) ++ $45,200 (2013 est.) ++ $45,100 (2012 est.)", kFigureDollars, 45900, 0},
        {"$650.3 million (2014 est.) ++ $352 million (2013 est.)", kFigureDollars, 650.3e6, 0},
        {"$1.124 billion (2014 est.) ++ $991.5 million (2013 est.)", kFigureDollars, 1.124e9, 0},
        {"$600,000 (2010 est.) ++ $1 million (2004 est.)", kFigureDollars, 600000, 0},
        {"$31.1 million (FY09/10 est.)", kFigureDollars, 31.1e6, 0},
        {"$NA", kFigureDollars, NAN, 0},
        {"see entry for West Bank", kFigureDollars, NAN, 0},
        {"409.3 billion (2014 est.)", kFigureDollars, NAN, 0},
        {"-0.17% (2015 est.)", kFigurePercent, -0.17, 0},
        {".25% (2015 est.)", kFigurePercent, 0.25, 0},
        {"12.88% (male 5,346,086/female 5,068,071)", kFigurePercent, 12.88, 0},
        {"5% (2014 est.) ++ 5.3% (2013 est.)", kFigurePercent, 5, 0},
        {"NA% (2014 est.) ++ 4.1% (2013 est.) ++ 4.8% (2012 est.)", kFigurePercent, 4.1, 1},
        {"NA%", kFigurePercent, NAN, 0},
        {"5.1% (2014 est.) 6.7% (2013 est.)", kFigurePercent, 5.1, 0},
        {"8.47 births/1,000 population (2015 est.)", kFigurePerThousand, 8.47, 0},
        {"-0.07 migrant(s)/1,000 population (2015 est.)", kFigurePerThousand, -0.07, 0},
        {"3.43 deaths/1,000 live births", kFigurePerThousand, 3.43, 0},
        {"NA 13.8 births/1,000 population (2015 est.)", kFigurePerThousand, NAN, 0},
        {"13.8%", kFigurePerThousand, NAN, 0},
        {"80.57 years", kFigureYears, 80.57, 0},
        {"79.6 (2012 est.)", kFigureYears, 79.6, 0},
        {"NA", kFigureYears, NAN, 0},
        {"1.44 children born/woman (2015 est.)", kFigurePerWoman, 1.44, 0},
        {"357,022 sq km", kFigureSquareKm, 357022, 0},
        {"1.267 million sq km", kFigureSquareKm, 1.267e6, 0},
        {"14 million sq km (280,000 sq km ice-free, 13.72 million sq km ice-covered) (est.)", kFigureSquareKm, 14e6, 0},
        {"ca. 7.75 sq km", kFigureSquareKm, 7.75, 0},
        {"60 sq km; Diego Garcia 44 sq km", kFigureSquareKm, 60, 0},
        {"less than 5 sq km", kFigureSquareKm, NAN, 0},
        {"Saint Helena Island 122 sq km; Ascension Island 88 sq km", kFigureSquareKm, NAN, 0},
        {"0 sq km NA (2003)", kFigureSquareKm, NAN, 0},
        {"80,854,408 (July 2015 est.)", kFigureCount, 80854408, 0},
        {"42.65 million (2014 est.)", kFigureCount, 42.65e6, 0},
        {"22,910 (2001) (2013 est.)", kFigureCount, 22910, 0},
        {"approximately 15,700 live on the Sovereign Base Areas of Akrotiri and Dhekelia", kFigureCount, NAN, 0},
        {"uninhabited", kFigureCount, NAN, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -12345;
        int older = -1;
        int found = ParseFactbookFigure(c.text, c.unit, &v, &older);
        EXPECT_EQ(found, std::isnan(c.value) ? 0 : 1);
        if (found) {
            EXPECT_NEAR(v, c.value, fabs(c.value) * 1e-9);
            EXPECT_EQ(older, c.older);
        }
    }
    const char* landUse = "48% ++ arable land 34.1%; permanent crops 0.6%; permanent pasture 13.3%";
    double share = 0;
    EXPECT_TRUE(ParseLandUseShare(landUse, "arable land", &share));
    EXPECT_DOUBLE_EQ(share, 34.1);
    EXPECT_TRUE(ParseLandUseShare(landUse, "permanent pasture", &share));
    EXPECT_DOUBLE_EQ(share, 13.3);
    EXPECT_FALSE(ParseLandUseShare("22.7% ++ arable land 16.9%; permanent crops 5.8%; permanent pasture NA", "permanent pasture", &share));
}

// A profile read whole: the age bands 15-24, 25-54 and 55-64 add up to variable 6, and a
// field the profile lacks stays "not available".
TEST(Statistics, ProfileVariables) {
    CPLJSONDocument doc;
    ASSERT_TRUE(doc.LoadMemory(R"json({
        "Geography": {"Land use": {"agricultural land": {"text": "48% ++ arable land 34.1%; permanent crops 0.6%; permanent pasture 13.3%"},
                                   "forest": {"text": "31.8%"}},
                      "Area": {"total": {"text": "357,022 sq km"}}},
        "People and Society": {"Age structure": {"0-14 years": {"text": "12.88% (male 5,346,086/female 5,068,071)"},
                                                 "15-24 years": {"text": "10.38% (male 4,279,962/female 4,113,746)"},
                                                 "25-54 years": {"text": "41.38% (male 16,934,180/female 16,519,932)"},
                                                 "55-64 years": {"text": "13.91% (male 5,571,694/female 5,675,104)"}},
                               "Infant mortality rate": {"total": {"text": "3.43 deaths/1,000 live births"}}},
        "Economy": {"GDP (purchasing power parity)": {"text": "$3.722 trillion (2014 est.) ++ $3.663 trillion (2013 est.)"},
                    "Budget": {"revenues": {"text": "$1.68 trillion"}}}})json"));
    float v[kCountryVariables];
    int older[kCountryVariables];
    ReadFactbookVariables(doc.GetRoot(), v, older);
    struct { int k; float value; } expected[] = {
        {0, 34.1f}, {2, 13.3f}, {3, 31.8f}, {4, 12.88f}, {5, 10.38f + 41.38f + 13.91f}, {6, kStatNotAvailable},
        {10, 357022.0f}, {11, kStatNotAvailable}, {17, 3.43f}, {24, 3.722e12f}, {28, 1.68e12f}, {29, kStatNotAvailable},
    };
    for (const auto& e : expected) EXPECT_FLOAT_EQ(v[e.k], e.value) << "variable " << e.k;
}

// The three table files read back field by field the way the screen reads them.
TEST(Statistics, TableFilesFieldByField) {
    std::vector<StatCountry> records(3);
    const char* names[3] = {"Aruba", "C\xF4te d'Ivoire", "United States Pacific Island Wildlife Refuges"};
    for (int r = 0; r < 3; r++) {
        records[r].number = r + 1;
        records[r].name = names[r];
        records[r].paletteIndex = r == 1 ? 0 : 200 + r;
        for (int k = 0; k < kCountryVariables; k++) records[r].values[k] = r * 1000 + k + 0.5f;
    }
    records[2].values[13] = kStatNotAvailable;
    std::vector<uint8_t> data = EncodeCountryData(records);
    ASSERT_EQ(data.size(), 3u * kCountryRecordBytes);
    for (int r = 0; r < 3; r++) {
        for (int k = 1; k <= kCountryVariables; k++) {
            ByteCursor c = MakeCursor(data.data() + CountryValueOffset(r, k), 4);
            float expected = r == 2 && k == 14 ? -1.0f : r * 1000 + (k - 1) + 0.5f;
            EXPECT_EQ(ReadF32LE(c), expected) << r << " " << k;
        }
        const char* name = (const char*)data.data() + CountryNameOffset(r);
        EXPECT_STREQ(name, names[r]);
        for (size_t i = strlen(names[r]); i < (size_t)kCountryRecordNameBytes; i++) ASSERT_EQ(name[i], 0);
    }

    // country.inf: flag in column 0, record number from column 2, palette index from
    // column 6, name from column 10; a record without an index is flagged 0.
    std::istringstream info(CountryInfoText(records));
    std::string line;
    for (int r = 0; r < 3; r++) {
        ASSERT_TRUE(std::getline(info, line));
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        ASSERT_GE(line.size(), 11u);
        EXPECT_LE(line.size(), 115u);
        EXPECT_EQ(line[0], r == 1 ? '0' : '1');
        EXPECT_EQ(atoi(line.c_str() + 2), r);
        EXPECT_EQ(atoi(line.c_str() + 6), r == 1 ? 0 : 200 + r);
        EXPECT_EQ(line.substr(10), names[r]);
    }
    EXPECT_FALSE(std::getline(info, line));

    // vars.inf: one line per variable; a column header is at most three words.
    std::istringstream vars(VariableNamesText());
    std::set<std::string> distinct;
    for (int k = 1; k <= kCountryVariables; k++) {
        ASSERT_TRUE(std::getline(vars, line));
        line.pop_back();
        EXPECT_TRUE(distinct.insert(line).second) << line;
        EXPECT_LE(std::count(line.begin(), line.end(), ' '), 2) << line;
        EXPECT_EQ(line.find('\t'), std::string::npos);
    }
    EXPECT_FALSE(std::getline(vars, line));
}

// A volume holding three country outlines, far apart: the maps carry exactly the palette
// indices country.inf gives those countries, each region's map only its own, in both layouts.
TEST(Statistics, RegionMapsUseTheIndicesOfCountryInfo) {
    TempFolder volume;
    std::vector<CountryPolygon> polygons;
    auto square = [&](int country, double w, double s, double e, double n) {
        CountryRingsToPolygons(country, {{{w, s}, {e, s}, {e, n}, {w, n}}}, 0.0, &polygons);
    };
    square(14, 120, -33, 145, -18);  // Australia
    square(33, -60, -20, -42, -3);   // Brazil
    square(80, 6, 47, 14, 54);       // Germany
    std::vector<uint8_t> index, data;
    ASSERT_TRUE(EncodeCountryPolygons(polygons, &index, &data));
    ASSERT_TRUE(WriteTestFile(volume / "stats/cpoly.idx", index));
    ASSERT_TRUE(WriteTestFile(volume / "stats/cpoly.dat", data));
    ASSERT_STREQ(CountryByNumber(80)->name, "Germany");
    BuildContext ctx;
    ctx.outDir = volume.path;
    ASSERT_EQ(BuildStatistics(ctx), 1);

    std::map<int, int> paletteOf;  // country number -> palette index
    std::istringstream info(TextOf(volume / "table/country.inf"));
    std::string line;
    int lines = 0;
    while (std::getline(info, line)) {
        lines++;
        if (line[0] == '1') paletteOf[atoi(line.c_str() + 2) + 1] = atoi(line.c_str() + 6);
    }
    EXPECT_EQ(lines, kCountryRecords);
    ASSERT_EQ(paletteOf.size(), 3u);
    EXPECT_EQ(FileSize(volume / "table/country.dat"), (long long)kCountryRecords * kCountryRecordBytes);

    struct {
        const char* image;
        std::set<int> countries;
    } cases[] = {
        {"table/world.bmp", {14, 33, 80}}, {"table/world3d.bmp", {14, 33, 80}}, {"table/austr.bmp", {14}},
        {"table/s_amer3d.bmp", {33}},      {"table/europe.bmp", {80}},          {"640/table/austr3d.bmp", {14}},
        {"640/table/world.bmp", {14, 33, 80}}, {"640/table/europe3d.bmp", {80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        int small = strncmp(c.image, "640", 3) == 0;
        RegionImageSize size = RegionImageSizeFor(small);
        std::vector<uint8_t> file = ReadTestFile(volume / c.image);
        ASSERT_EQ(file.size(), (size_t)kRegionImageDataOffset + (size_t)size.stride * size.height);
        ByteCursor h = MakeCursor(file.data(), 30);
        EXPECT_EQ(ReadU16LE(h), 0x4D42);
        ReadU32LE(h), ReadU32LE(h);
        EXPECT_EQ(ReadU32LE(h), (uint32_t)kRegionImageDataOffset);
        ReadU32LE(h);
        EXPECT_EQ(ReadI32LE(h), size.width);
        EXPECT_EQ(ReadI32LE(h), size.height);
        ReadU16LE(h);
        EXPECT_EQ(ReadU16LE(h), 8);
        std::set<int> indices;
        for (int row = 0; row < size.height; row++)
            for (int col = 0; col < size.width; col++) indices.insert(file[kRegionImageDataOffset + (size_t)row * size.stride + col]);
        std::set<int> expected = {kRegionBackground};
        for (int number : c.countries) expected.insert(paletteOf[number]);
        indices.erase(kRegionBackground2);  // the graticule
        EXPECT_EQ(indices, expected);
    }

    // Every country has a page, and the index links each page once.
    std::string index2 = TextOf(volume / "stats/country.txt");
    for (int n = 1; n <= kCountryRecords; n++) {
        std::string link = "{f \"stats\\" + std::to_string(n) + ".txt\" ";
        size_t at = index2.find(link);
        EXPECT_NE(at, std::string::npos) << n;
        EXPECT_EQ(index2.find(link, at + 1), std::string::npos) << n;
        EXPECT_GT(FileSize(volume / ("stats/" + std::to_string(n) + ".txt")), 0) << n;
    }
}

// Country pages keep to the viewer's lines: at most 194 characters, braces only as tags.
TEST(Statistics, CountryPageLines) {
    StatCountry c;
    c.number = 92;
    c.name = "Germany";
    c.hasProfile = 1;
    c.capital = "Berlin";
    c.area = "357,022 sq km";
    c.population = "80,854,408 (July 2015 est.)";
    std::string longWord(300, 'x');
    c.background = {"As Europe's largest economy and second most populous nation (after Russia), Germany is a key member "
                    "of the continent's economic, political, and defense organizations. {Braces} " + longWord,
                    "A second paragraph."};
    std::string page = CountryPageText(c, "2015 edition");
    std::istringstream in(page);
    std::string line, text;
    while (std::getline(in, line)) {
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        EXPECT_LE(line.size(), 194u) << line;
        text += line + "\n";
    }
    EXPECT_EQ(text.rfind("{bigtext=26,96,\"Germany\"}\n", 0), 0u);
    EXPECT_NE(text.find("{2}Capital\n{4}Berlin\n"), std::string::npos);
    EXPECT_NE(text.find("(Braces)"), std::string::npos);
    EXPECT_EQ(text.find("{Braces}"), std::string::npos);
    EXPECT_NE(text.find("{f \"stats\\country.txt\" "), std::string::npos);
    // The wrapped background holds every character of the original, the long word cut.
    std::vector<std::string> wrapped = WrapManualText(c.background[0], 645, 0, 194);
    std::string joined, original;
    for (const std::string& w : wrapped) {
        EXPECT_FALSE(w.empty());
        joined += w;
    }
    for (char ch : c.background[0]) if (ch != ' ') original += ch;
    joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
    EXPECT_EQ(joined, original);
    EXPECT_GT(wrapped.size(), 3u);
}
