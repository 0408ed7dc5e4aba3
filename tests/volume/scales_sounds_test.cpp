// Colour scales and cue sounds: file sizes and formats, the elevation scale's water/land
// boundary at index 492, the scale list read by the viewer's rules, and distinct, well-formed
// wave files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "colour_ramps.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"
#include "volume.h"

static void ColourAt(const std::vector<uint8_t>& file, int k, int rgb[3]) {
    for (int c = 0; c < 3; c++) rgb[c] = file[8 + 3 * k + c];
}

struct Scales : ::testing::Test {
    TempFolder folder;
    void SetUp() override {
        BuildContext ctx;
        ctx.outDir = folder.path;
        ASSERT_EQ(BuildScales(ctx), 1);
    }
};

TEST_F(Scales, FilesHaveTenThousandColours) {
    std::vector<std::string> names = {"ian1", "globe1", "globe2", "globe3", "globe4", "globe5", "slope", "aspect", "undefined"};
    for (int i = 1; i <= 34; i++) {
        char n[16];
        snprintf(n, sizeof n, "choro%02d", i);
        names.push_back(n);
    }
    for (const std::string& n : names) EXPECT_EQ(ReadTestFile(folder / ("scales/" + n + ".sca")).size(), 30008u) << n;

    // Elevation: blue water up to index 491, then land; high mountains end white.
    std::vector<uint8_t> ian1 = ReadTestFile(folder / "scales/ian1.sca");
    ASSERT_EQ(ian1.size(), 30008u);
    int c[3];
    for (int k : {0, 200, 491}) {
        ColourAt(ian1, k, c);
        EXPECT_GT(c[2], c[0] + 40) << k;
        EXPECT_GT(c[2], c[1]) << k;
    }
    ColourAt(ian1, 492, c);
    EXPECT_GT(c[1], c[2]) << "index 492 is the lowest land, green";
    EXPECT_GT(c[1], c[0]);
    ColourAt(ian1, 9999, c);
    EXPECT_GT(std::min({c[0], c[1], c[2]}), 240);
    // The slope and aspect scales differ from the elevation scale; aspect wraps around.
    std::vector<uint8_t> aspect = ReadTestFile(folder / "scales/aspect.sca");
    int first[3], last[3];
    ColourAt(aspect, 0, first);
    ColourAt(aspect, 9999, last);
    for (int i = 0; i < 3; i++) EXPECT_NEAR(first[i], last[i], 3);
    EXPECT_NE(ReadTestFile(folder / "scales/slope.sca"), ian1);
    EXPECT_NE(ReadTestFile(folder / "scales/choro01.sca"), ReadTestFile(folder / "scales/choro25.sca"));
}

// "scales.dat" read the way the viewer reads it: a line counts when it starts with 0 or 1 and
// holds a name between < and >; a leading 1 marks the default.
TEST_F(Scales, ScaleListFollowsTheLineRules) {
    std::vector<uint8_t> bytes = ReadTestFile(folder / "scales.dat");
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> entries;
    int defaultIndex = -1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        EXPECT_LE(line.size(), 115u);
        if (line.empty() || (line[0] != '0' && line[0] != '1')) continue;
        size_t open = line.find('<');
        if (open == std::string::npos) continue;
        size_t close = line.find('>', open);
        std::string name = line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        if (name.empty()) continue;
        if (line[0] == '1') defaultIndex = (int)entries.size();
        entries.push_back(name);
    }
    ASSERT_EQ((int)entries.size(), kElevationScaleCount);
    EXPECT_EQ(defaultIndex, 0);
    EXPECT_EQ(entries[0], "ian1.sca");
    for (const std::string& e : entries) {
        EXPECT_LE(e.size(), 12u) << e;
        EXPECT_EQ(ReadTestFile(folder / ("scales/" + e)).size(), 30008u) << e;
    }
    RampColour rc;
    EXPECT_EQ(ScaleRampColour("choro35.sca", 0, &rc), 0);
    EXPECT_EQ(ScaleRampColour("nosuch.sca", 0, &rc), 0);
    EXPECT_EQ(ScaleRampColour("choro07.sca", 0, &rc), 1);
}

TEST(Sounds, SevenShortDistinctWaveFiles) {
    TempFolder folder;
    BuildContext ctx;
    ctx.outDir = folder.path;
    ASSERT_EQ(BuildSounds(ctx), 1);
    std::set<std::vector<uint8_t>> seen;
    for (const char* name : {"panel.wav", "click.wav", "error2.wav", "error.wav", "slide2.wav", "process.wav", "touch.wav"}) {
        std::vector<uint8_t> w = ReadTestFile(folder / name);
        ASSERT_GT(w.size(), 44u) << name;
        ByteCursor c = MakeCursor(w.data(), w.size());
        // "RIFF" size "WAVE" "fmt " 16, then PCM, mono, the rate, bytes a second, alignment, 16 bits.
        std::vector<uint32_t> riff = {ReadU32LE(c), ReadU32LE(c), ReadU32LE(c), ReadU32LE(c), ReadU32LE(c)};
        EXPECT_EQ(riff, (std::vector<uint32_t>{0x46464952u, (uint32_t)w.size() - 8, 0x45564157u, 0x20746d66u, 16}));
        uint16_t format = ReadU16LE(c), channels = ReadU16LE(c);
        uint32_t rate = ReadU32LE(c), byteRate = ReadU32LE(c);
        uint16_t align = ReadU16LE(c), bits = ReadU16LE(c);
        EXPECT_EQ(std::vector<uint32_t>({format, channels, byteRate, align, bits}),
                  std::vector<uint32_t>({1, 1, rate * 2, 2, 16}));
        EXPECT_EQ(ReadU32LE(c), 0x61746164u);  // "data"
        uint32_t dataSize = ReadU32LE(c);
        ASSERT_EQ(dataSize, w.size() - 44);
        double seconds = dataSize / 2.0 / rate;
        EXPECT_GT(seconds, 0.02) << name;
        EXPECT_LT(seconds, 1.0) << name;  // cues block the program while they play
        int peak = 0;
        double energy = 0;
        for (uint32_t i = 0; i < dataSize / 2; i++) {
            int v = (int16_t)ReadU16LE(c);
            peak = std::max(peak, std::abs(v));
            energy += (double)v * v;
        }
        EXPECT_GT(peak, 3000) << name << " is too quiet";
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(energy, 0);
        EXPECT_TRUE(seen.insert(w).second) << name << " repeats another cue";
    }
}
