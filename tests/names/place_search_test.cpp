// The place-name search over gazetteer files in a data root of the test's own: the best
// matches against a naive scan, the location list and its "locate.tmp", the kept selection,
// the window fitted to the results and the results drawn over the map.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "core/core.h"
#include "map2d/map2d.h"
#include "map2d/vector_layers.h"
#include "names/names.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/search_root.h"

namespace {

using SearchVolume = SearchRoot;

GazetteerLocation At(const char* name, float lat, float lon, uint16_t country = 1) {
    return GazetteerLocation{lat, lon, name, country};
}

// The distinct names in the order the search defines, folded first.
std::vector<std::string> SortedNames(const std::map<std::string, int>& counts) {
    std::vector<std::string> names;
    for (auto& entry : counts) names.push_back(entry.first);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string fa = FoldComparisonName(a), fb = FoldComparisonName(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

// The best matches as the search defines them, found by scanning every name in sorted order
// from the start (no prefix table): names at least as long as the key whose beginning equals
// the key (for a key with a specially treated letter, equal also before folding), then every
// later name, at most 14.
std::vector<std::string> NaiveMatches(const std::vector<std::string>& names, const std::map<std::string, int>& counts,
                                      const std::string& key) {
    std::string upper = UpperCase1252(key);
    int special = upper.find_first_of("\xdf\xd6\xc4\xdc\xc9\xc8") != std::string::npos;
    std::string folded = FoldComparisonName(upper);
    std::vector<std::string> out;
    int following = 0;
    for (const std::string& name : names) {
        if (out.size() == 14) break;
        if (name.size() < upper.size()) continue;
        if (!following) {
            int r = FoldComparisonName(name).compare(0, folded.size(), folded);
            if (r < 0) continue;
            if (r > 0) following = 1;
            else if (special && name.compare(0, upper.size(), upper) != 0) continue;
        }
        char row[300];
        snprintf(row, sizeof row, "%s  (%d)", name.c_str(), counts.at(name));
        out.push_back(row);
    }
    return out;
}

TEST_F(SearchVolume, BestMatchesAgreeWithANaiveScanOnRandomKeys) {
    std::mt19937 random(11);
    // No ß: it is looked up in the prefix table as S but compared as SS, so next to names with
    // it the scan may start past names that fold after the key. That is the lookup the tables
    // are built for; the gazetteer tests check ß on its own.
    const char alphabet[] = "aeorsuzAEORSUZ09 -\xe4\xf6\xfc\xe9\xe8\xc4\xd6\xdc\xc9\xe5";
    std::vector<GazetteerLocation> locations;
    std::map<std::string, int> counts;
    for (int i = 0; i < 1500; i++) {
        std::string name;
        int n = 1 + random() % 9;
        for (int k = 0; k < n; k++) name.push_back(alphabet[random() % (sizeof alphabet - 1)]);
        if (SymbolCode(NormaliseSearchKey(name)[0]) < 0) name[0] = 'S';
        locations.push_back(GazetteerLocation{0, 0, name, 1});
        counts[UpperCase1252(name)]++;
    }
    for (int type : {1, 2}) WriteGazetteer(type, locations);
    std::vector<std::string> sorted = SortedNames(counts);
    for (int type : {1, 2}) {
        placeSearch.type = type;
        for (int trial = 0; trial < 600; trial++) {
            std::string key;
            if (trial % 3) {  // a prefix of a name, in random letter case
                key = locations[random() % locations.size()].name;
                key = key.substr(0, 1 + random() % key.size());
                for (char& c : key)
                    if (random() % 2) c = (char)UpperCase1252((unsigned char)c);
            } else {
                int n = 1 + random() % 5;
                for (int k = 0; k < n; k++) key.push_back(alphabet[random() % (sizeof alphabet - 1)]);
            }
            std::vector<std::string> rows;
            long position = SearchBestMatches(key, &rows);
            std::string normalised = NormaliseSearchKey(key);
            if (SymbolCode((unsigned char)normalised[0]) < 0) {
                EXPECT_EQ(position, -1) << key;
                EXPECT_TRUE(rows.empty()) << key;
                continue;
            }
            ASSERT_EQ(rows, NaiveMatches(sorted, counts, key)) << "type " << type << " key " << ::testing::PrintToString(key);
            EXPECT_EQ(position >= 0, !rows.empty()) << key;
        }
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

TEST_F(SearchVolume, EachTypeReadsItsOwnFilesAndReportsMissingOnes) {
    WriteGazetteer(1, {At("Springfield", 39.8f, -89.6f), At("Springfield", 42.1f, -72.6f), At("Spring", 30, -95)});
    WriteGazetteer(6, {At("Springfield-Branson National", 37.2f, -93.4f)});
    std::vector<std::string> rows;
    placeSearch.type = 1;
    EXPECT_GE(SearchBestMatches("spring", &rows), 0);
    EXPECT_EQ(rows, (std::vector<std::string>{"SPRING  (1)", "SPRINGFIELD  (2)"}));
    placeSearch.type = 6;
    EXPECT_GE(SearchBestMatches("spring", &rows), 0);
    EXPECT_EQ(rows, (std::vector<std::string>{"SPRINGFIELD-BRANSON NATIONAL  (1)"}));
    // No cities gazetteer: its prefix table is reported once, not at every keystroke.
    placeSearch.type = 2;
    EXPECT_EQ(SearchBestMatches("spring", &rows), -1);
    EXPECT_EQ(SearchBestMatches("springf", &rows), -1);
    ASSERT_EQ(TestShownMessages().size(), 1u);
    EXPECT_EQ(TestLastMessage(), "Cannot open file names\\search6.ix3");
    // The next search session looks again.
    RetryMissingGazetteers();
    WriteGazetteer(2, {At("Springe", 52.2f, 9.5f)});
    EXPECT_GE(SearchBestMatches("spring", &rows), 0);
    EXPECT_EQ(rows, (std::vector<std::string>{"SPRINGE  (1)"}));
    EXPECT_EQ(MatchRowName("SAN JOSE   (12)"), "SAN JOSE");
    EXPECT_EQ(MatchRowName("SPRINGE"), "SPRINGE");
}

std::vector<LocateRecord> LocateFile(const std::string& path) {
    std::vector<uint8_t> bytes = ReadTestFile(path);
    EXPECT_EQ(bytes.size() % kLocateRecordSize, 0u);
    std::vector<LocateRecord> out;
    DecodeLocateFile(bytes.data(), bytes.size(), &out);
    return out;
}

TEST_F(SearchVolume, LocationListRowsAndTheLocateFile) {
    std::vector<GazetteerLocation> many;
    for (int i = 0; i < 260; i++) many.push_back(At("San Jose", (float)(i % 80), (float)i / 2, (uint16_t)(i % 4)));
    many.push_back(At("Paris", 48.85f, 2.35f, 1));
    WriteGazetteer(1, many);
    std::vector<std::string> rows;
    placeSearch.type = 1;
    placeSearch.position = SearchBestMatches("san jose", &rows);
    ASSERT_GE(placeSearch.position, 0);
    EXPECT_EQ(rows[0], "SAN JOSE  (260)");
    // 250 of the 260 are listed: the 251st is not.
    ASSERT_EQ(ListSearchLocations(&rows), 250);
    EXPECT_EQ(placeSearch.listed, 250);
    EXPECT_EQ(rows[0], "San Jose\t ");                 // country 0 is not in the theme's table
    EXPECT_EQ(rows[1], "San Jose\tFrance");            // cut at the comma
    EXPECT_EQ(rows[2], "San Jose\tItaly");
    std::vector<LocateRecord> written = LocateFile(root / "tmp/locate.tmp");
    ASSERT_EQ(written.size(), 250u);
    EXPECT_EQ(written[249].lat, 249 % 80);
    EXPECT_EQ(written[249].lon, 124.5);
    EXPECT_EQ(written[249].name, "San Jose");

    // Ocean features show "(ocean)", countries their own name twice.
    WriteGazetteer(4, {At("Bay of Biscay", 45, -4, 1)});
    WriteGazetteer(7, {At("France", 46, 2, 1)});
    placeSearch.type = 4;
    placeSearch.position = SearchBestMatches("bay", &rows);
    ASSERT_EQ(ListSearchLocations(&rows), 1);
    EXPECT_EQ(rows[0], "Bay of Biscay\t(ocean)");
    placeSearch.type = 7;
    placeSearch.position = SearchBestMatches("fra", &rows);
    ASSERT_EQ(ListSearchLocations(&rows), 1);
    EXPECT_EQ(rows[0], "France\tFrance");

    // Without the theme's country table: the message and an empty list.
    WriteTestText(root / "theme1.dat", "[Other]\n");
    TestClearShown();
    EXPECT_EQ(ListSearchLocations(&rows), 0);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(TestLastMessage(), "Cannot load country names");
}

TEST_F(SearchVolume, ExactNameOnlySkipsLocationsFiledUnderAnotherSpelling) {
    // A location record whose name is not the one it is indexed under (as a hand-made or older
    // gazetteer may have): the exact switch leaves it out, in any letter case the same passes.
    std::vector<GazetteerLocation> locations = {At("Koeln", 50.9f, 6.9f), At("koeln", 50.9f, 7.0f)};
    GazetteerFiles g;
    std::vector<uint8_t> data;
    std::vector<uint32_t> offsets;
    for (const GazetteerLocation& l : locations) offsets.push_back((uint32_t)data.size()), AppendGazetteerLocation(data, l);
    offsets.push_back((uint32_t)data.size());
    AppendGazetteerLocation(data, At("K\xf6ln", 50.94f, 6.96f));
    std::vector<GazetteerLocation> indexed = locations;
    indexed.push_back(At("Koeln", 50.94f, 6.96f));  // filed under KOELN
    BuildGazetteerIndex(indexed, offsets, 4, &g);
    WriteTestFile(root / "names/world.ix2", g.index);
    WriteTestFile(root / "names/world.ix4", g.prefix);
    WriteTestFile(root / "names/world.dat", data);
    std::vector<std::string> rows;
    placeSearch.type = 1;
    placeSearch.position = SearchBestMatches("koeln", &rows);
    ASSERT_EQ(rows, (std::vector<std::string>{"KOELN  (3)"}));
    EXPECT_EQ(ListSearchLocations(&rows), 3);
    placeSearch.exactOnly = 1;
    EXPECT_EQ(ListSearchLocations(&rows), 2);
    EXPECT_EQ(rows, (std::vector<std::string>{"Koeln\tFrance", "koeln\tFrance"}));
}

TEST_F(SearchVolume, LocateRecordsAndTheKeptSelection) {
    std::vector<uint8_t> bytes;
    AppendLocateRecord(bytes, LocateRecord{-73.5, 45.5, "Montr\xe9" "al"});
    AppendLocateRecord(bytes, LocateRecord{1, 2, std::string(300, 'x')});
    ASSERT_EQ(bytes.size(), 2u * kLocateRecordSize);
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    EXPECT_EQ(ReadF64LE(c), -73.5);  // longitude first
    EXPECT_EQ(ReadF64LE(c), 45.5);
    EXPECT_EQ(bytes[16 + 8], 0);
    EXPECT_EQ(bytes[kLocateRecordSize + 16 + 255], 0);  // a long name keeps its terminator
    std::vector<LocateRecord> decoded;
    DecodeLocateFile(bytes.data(), bytes.size() - 1, &decoded);  // a partial record is ignored
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].name, "Montr\xe9" "al");
    bytes[kLocateRecordSize + 16 + 255] = 'y';  // no terminator: the name ends with its field
    DecodeLocateFile(bytes.data(), bytes.size(), &decoded);
    EXPECT_EQ(decoded[1].name.size(), 256u);

    std::vector<uint8_t> three;
    for (int i = 0; i < 3; i++) AppendLocateRecord(three, LocateRecord{(double)i, (double)i, "P" + std::to_string(i)});
    WriteTestFile(root / "tmp/locate.tmp", three);
    ASSERT_TRUE(KeepSelectedLocations({0, 2}));
    std::vector<LocateRecord> kept = LocateFile(root / "tmp/locate.tmp");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].name, "P0");
    EXPECT_EQ(kept[1].name, "P2");
    EXPECT_FALSE(FileExists((root / "tmp/locate2.tmp").c_str()));
    RemoveFile((root / "tmp/locate.tmp").c_str());
    EXPECT_FALSE(KeepSelectedLocations({0}));
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + std::string(tempDir) + "\\locate.tmp");
}

TEST_F(SearchVolume, WindowFittedToTheResults) {
    struct Case { std::vector<LocateRecord> records; int inside; MapWindow w; } cases[] = {
        // One place: a 2 x 2 degree box, widened to 4:3 across.
        {{{10, 20, "A"}}, 1, {10 - 1.3333, 10 + 1.3333, 19, 21}},
        // Wider than high: the latitude span becomes 42 x 0.75.
        {{{-10, 0, "A"}, {30, 5, "B"}}, 1, {-11, 31, 2.5 - 42 * 0.7500187504687618 / 2, 2.5 + 42 * 0.7500187504687618 / 2}},
        // Higher than wide: the longitude span becomes 12 x 1.3333 about the same centre.
        {{{5, -5, "A"}, {6, 5, "B"}}, 1, {5.5 - 12 * 1.3333 / 2, 5.5 + 12 * 1.3333 / 2, -6, 6}},
        // Past the date line or a pole: not inside the world.
        {{{179.5, 0, "A"}}, 0, {}},
        {{{0, -89.5, "A"}}, 0, {}},
    };
    for (const Case& c : cases) {
        MapWindow w{};
        EXPECT_EQ(FitSearchWindow(c.records, &w), c.inside) << c.records[0].lon;
        if (!c.inside) continue;
        EXPECT_NEAR(w.west, c.w.west, 1e-9);
        EXPECT_NEAR(w.east, c.w.east, 1e-9);
        EXPECT_NEAR(w.south, c.w.south, 1e-9);
        EXPECT_NEAR(w.north, c.w.north, 1e-9);
    }
    MapWindow none;
    EXPECT_EQ(FitSearchWindow({}, &none), 0);

    // Applied to the zoom history: the world view becomes depth 1, a deeper depth is replaced,
    // results outside the world bring the map back to the world view.
    std::vector<uint8_t> one;
    AppendLocateRecord(one, LocateRecord{10, 20, "A"});
    WriteTestFile(root / "tmp/locate.tmp", one);
    zoomDepth = 0;
    ASSERT_TRUE(RecentreOnSearchResults());
    EXPECT_EQ(zoomDepth, 1);
    EXPECT_NEAR(zoomHistory[1].west, 10 - 1.3333, 1e-9);
    EXPECT_EQ(zoomHistory[0].west, -180);
    zoomDepth = 3;
    ASSERT_TRUE(RecentreOnSearchResults());
    EXPECT_EQ(zoomDepth, 3);
    EXPECT_EQ(zoomHistory[3].south, 19);
    one.clear();
    AppendLocateRecord(one, LocateRecord{-179.9, 0, "A"});
    WriteTestFile(root / "tmp/locate.tmp", one);
    ASSERT_TRUE(RecentreOnSearchResults());
    EXPECT_EQ(zoomDepth, 0);
}

TEST_F(SearchVolume, ResultsDrawnAtTheirPixelsClippedAndStoppedByEscape) {
    Surface* s = CreateSurface(200, 150);
    ASSERT_TRUE(s);
    Rect r{20, 10, 180, 130};  // 160 x 120 pixels showing 0..16 E, 0..12 N: ten pixels a degree
    zoomHistory[1] = MapWindow{0, 16, 0, 12};
    zoomDepth = 1;
    std::vector<uint8_t> bytes;
    AppendLocateRecord(bytes, LocateRecord{4, 6, "Inside"});
    AppendLocateRecord(bytes, LocateRecord{15.5, 1, "Edge"});
    AppendLocateRecord(bytes, LocateRecord{30, 6, "Outside"});
    WriteTestFile(root / "tmp/locate.tmp", bytes);
    auto pixel = [&](int x, int y) { return SurfacePixels(s)[(size_t)y * SurfaceStride(s) + x] & 0xFFFFFF; };
    auto redIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) {
                uint32_t p = pixel(x, y);
                n += (p >> 16) >= 0x80 && ((p >> 8) & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
            }
        return n;
    };

    placeSearch.show = SEARCH_SHOW_NONE;
    DrawSearchResults(s, r);
    EXPECT_EQ(redIn(0, 0, 200, 150), 0);

    placeSearch.show = SEARCH_SHOW_FILE;
    DrawSearchResults(s, r);
    int x, y;
    GeoToPixelIn(zoomHistory[1], r, 6, 4, &x, &y);
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 70);
    EXPECT_EQ(pixel(x, y), 0xFFFFFFu);           // the white dot at the place
    EXPECT_GT(redIn(x, y, x + 50, y + 16), 10);  // its name in red from there
    EXPECT_EQ(redIn(0, 0, x, 150), 0);           // nothing left of or above it
    EXPECT_EQ(redIn(0, 0, 200, y), 0);
    GeoToPixelIn(zoomHistory[1], r, 1, 15.5, &x, &y);
    EXPECT_EQ(pixel(x, y), 0xFFFFFFu);
    EXPECT_GT(redIn(x, y, r.right, r.bottom), 0);
    EXPECT_EQ(redIn(r.right, 0, 200, 150), 0);   // the long name is cut at the map's edge
    EXPECT_EQ(redIn(0, r.bottom, 200, 150), 0);
    EXPECT_TRUE(TestShownMessages().empty());

    // Escape pending before the first location of a whole name: nothing drawn, drawing aborted.
    WriteGazetteer(1, {At("Inside", 6, 4)});
    std::vector<std::string> rows;
    placeSearch.type = 1;
    placeSearch.position = SearchBestMatches("inside", &rows);
    FillRect(s, Rect{0, 0, 200, 150}, 0);
    placeSearch.show = SEARCH_SHOW_NAME;
    drawAborted = 0;
    DrawSearchResults(s, r);
    EXPECT_GT(redIn(0, 0, 200, 150), 10);
    FillRect(s, Rect{0, 0, 200, 150}, 0);
    PostMessage(MSG_KEYDOWN, VK_ESCAPE, 0);
    DrawSearchResults(s, r);
    EXPECT_EQ(drawAborted, 1);
    EXPECT_EQ(redIn(0, 0, 200, 150), 0);
    drawAborted = 0;

    // The results file gone: its message.
    RemoveFile((root / "tmp/locate.tmp").c_str());
    placeSearch.show = SEARCH_SHOW_FILE;
    DrawSearchResults(s, r);
    EXPECT_EQ(TestLastMessage(), "Cannot open file " + std::string(tempDir) + "\\locate.tmp");
    DeleteSurface(s);
}

}  // namespace
