// The country tables of the installed default volume read back through the viewer's readers:
// the figures agree with the builder's country pages and its variable names, and the region
// images carry exactly the palette indices country.inf gives the region's countries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "imaging/imaging.h"
#include "statistics_build.h"
#include "stats_files.h"

namespace {

std::string DefaultVolume() {
    const char* home = getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/mundora/volume";
}

// The figure under a heading of a country page: "{2}Population", CR LF, "{4}80,854,408 (...)".
std::string PageField(const std::string& page, const std::string& heading) {
    size_t at = page.find("{2}" + heading + "\r\n{4}");
    if (at == std::string::npos) return "";
    at += heading.size() + 8;
    return page.substr(at, page.find_first_of("\r\n", at) - at);
}

struct VolumeRoot {
    char savedRoot[sizeof dataRoot];
    explicit VolumeRoot(const std::string& path) {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", path.c_str());
        TestClearShown();
    }
    ~VolumeRoot() {
        ReleaseHoverTable();
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
};

TEST(VolumeTables, FiguresNamesAndRegionImagesOfTheDefaultVolume) {
    std::string volume = DefaultVolume();
    std::vector<uint8_t> data = ReadTestFile(volume + "/table/country.dat");
    if (data.empty()) GTEST_SKIP() << "no default volume with country tables at " << volume;
    VolumeRoot root(volume);
    ASSERT_EQ(data.size(), (size_t)kCountryRecords * kCountryRecordBytes);

    // Every variable as the raw file holds it.
    for (int k = 1; k <= kCountryVariables; k++) {
        float min = 1e8f, max = -1e8f;
        ASSERT_EQ(ReadVariableRange(k, &min, &max), kCountryRecords);
        for (int r = 0; r < kCountryRecords; r++) {
            ByteCursor c = MakeCursor(data.data() + CountryValueOffset(r, k), 4);
            ASSERT_EQ(countryValues[r], ReadF32LE(c)) << r << " " << k;
        }
        EXPECT_LT(min, max) << k;
    }

    // Germany through the hover table, its population and area as its page gives them.
    ASSERT_EQ(BuildHoverTable(14), 1);
    int germany = 0;
    for (int p = 1; p <= 253; p++)
        if (strcmp(HoverEntry(p)->name, "Germany") == 0) germany = p;
    ASSERT_NE(germany, 0);
    int record = HoverEntry(germany)->record;
    float population = HoverEntry(germany)->value;
    std::vector<uint8_t> pageBytes = ReadTestFile(volume + "/stats/" + std::to_string(record + 1) + ".txt");
    std::string page(pageBytes.begin(), pageBytes.end());
    double figure = 0;
    ASSERT_TRUE(ParseFactbookFigure(PageField(page, "Population"), kFigureCount, &figure));
    EXPECT_EQ(population, (float)figure);
    EXPECT_GT(population, 75e6f);
    EXPECT_LT(population, 90e6f);
    float min = 1e8f, max = -1e8f;
    ReadVariableRange(11, &min, &max);
    ASSERT_TRUE(ParseFactbookFigure(PageField(page, "Area"), kFigureSquareKm, &figure));
    EXPECT_EQ(countryValues[record], (float)figure);

    // Germany's colour on the population map is the scale's colour at its class.
    min = 1e8f, max = -1e8f;
    ReadVariableRange(14, &min, &max);
    ColourRef palette[256];
    int heights[256];
    std::string scalePath = ChoroplethScalePath(14);
    ASSERT_EQ(BuildChoroplethPalette(scalePath.c_str(), countryValues, min, max, palette, heights, nullptr), 1);
    int index, height;
    ClassifyStatValue(population, min, max, &index, &height);
    ScaleFile scale;
    ColourRef colour;
    ASSERT_TRUE(OpenScaleFile(scalePath.c_str(), &scale));
    ASSERT_TRUE(ScaleColour(&scale, index, &colour));
    CloseScaleFile(&scale);
    EXPECT_EQ(palette[germany], colour);
    EXPECT_EQ(heights[germany], height);

    // The long names are the builder's, "_" read as a space.
    std::istringstream names(VariableNamesText());
    std::string line;
    for (int k = 1; k <= kCountryVariables && std::getline(names, line); k++) {
        line = line.substr(0, line.find_first_of("\r\n"));
        for (char& ch : line)
            if (ch == '_') ch = ' ';
        EXPECT_EQ(ReadVariableName(k), line) << k;
    }

    // Each region's map shows every one of its countries and, around them, only indices that
    // country.inf gives to a country; the world map shows them all. Three islands of the far
    // south lie below the frames of the Africa and Oceania maps and only show on the world's.
    const std::set<std::string> southOfTheFrames = {"Bouvet Island", "French Southern and Antarctic Lands",
                                                     "Heard Island and McDonald Islands"};
    for (int small = 0; small <= 1; small++) {
        RegionImageSize size = RegionImageSizeFor(small);
        for (int region = 0; region < kStatRegions; region++) {
            const StatRegion* info = StatRegionInfo(region);
            SCOPED_TRACE(std::string(small ? "640\\" : "") + info->flatImage);
            std::string name = (small ? "640/" : "") + std::string(info->flatImage);
            for (char& ch : name)
                if (ch == '\\') ch = '/';
            std::vector<uint8_t> image = ReadTestFile(volume + "/" + name);
            ASSERT_EQ(image.size(), (size_t)kRegionImageDataOffset + (size_t)size.stride * size.height);
            std::set<int> shown, members(info->members, info->members + info->count), own, countries;
            for (int row = 0; row < size.height; row++)
                for (int col = 0; col < size.width; col++) shown.insert(image[kRegionImageDataOffset + (size_t)row * size.stride + col]);
            for (int fixed : {kRegionBackground, kRegionBackground2, kRegionBorder}) shown.erase(fixed);
            for (int p = 1; p <= 253; p++) {
                if (!HoverEntry(p)->name[0]) continue;
                countries.insert(p);
                if (members.count(HoverEntry(p)->record + 1)) own.insert(p);
            }
            EXPECT_FALSE(own.empty());
            for (int p : own)
                if (!southOfTheFrames.count(HoverEntry(p)->name)) {
                    EXPECT_TRUE(shown.count(p)) << HoverEntry(p)->name << " missing";
                }
            for (int p : shown) EXPECT_TRUE(countries.count(p)) << p << " is nobody's index";
            if (region == 0) {
                EXPECT_EQ(shown, countries);
            }
        }
    }
    EXPECT_TRUE(TestShownMessages().empty());
}

}  // namespace
