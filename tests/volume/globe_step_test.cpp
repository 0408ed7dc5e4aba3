// The "globe" step end to end on small synthetic sources: every file, its size and header,
// the values at known places, names burnt in once a gazetteer exists, and up-to-date skipping.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cmath>
#include <cstring>

#include "globe_build.h"
#include "names/names.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"
#include "volume_helpers.h"

namespace {

// A 1-degree world: sea at -4000 m, a plain of 1000 m at 10...30 N, 10...30 E, and a block above
// Everest at 20...10 S, 100...110 E. The imagery is blue with a red square over the plain.
struct Sources {
    std::string elevation, imagery;
};

Sources WriteSources(const TempFolder& dir) {
    double gt[6] = {-180.0, 1.0, 0, 90.0, 0, -1.0};
    Sources s{dir / "elevation.tif", dir / "imagery.tif"};
    EXPECT_TRUE(WriteTestRaster(s.elevation, 360, 180, 1, gt, [](int, int x, int y) {
        double lon = -180.0 + x + 0.5, lat = 90.0 - y - 0.5;
        if (lat > 10 && lat < 30 && lon > 10 && lon < 30) return 1000.0f;
        if (lat > -20 && lat < -10 && lon > 100 && lon < 110) return 9000.0f;
        return -4000.0f;
    }));
    EXPECT_TRUE(WriteTestRaster(s.imagery, 360, 180, 3, gt, [](int b, int x, int y) {
        double lon = -180.0 + x + 0.5, lat = 90.0 - y - 0.5;
        int red = lat > 10 && lat < 30 && lon > 10 && lon < 30;
        static const float colours[2][3] = {{20, 40, 160}, {220, 30, 10}};
        return colours[red][b];
    }));
    return s;
}

int Cell(const std::vector<uint8_t>& layer, double lat, double lon) { return layer[GlobeLayerOffset(lat, lon)]; }

BuildContext Context(const TempFolder& out, const Sources& s) {
    BuildContext ctx;
    ctx.outDir = out.path;
    ctx.recipe["elevation"] = s.elevation;
    ctx.recipe["imagery"] = s.imagery;
    return ctx;
}

PlaceRecord Place(float lat, float lon, const char* name, int placeClass, int flags) {
    PlaceRecord r;
    r.lat = lat, r.lon = lon, r.name = name, r.cls = (uint8_t)placeClass, r.flags = (uint8_t)flags;
    return r;
}

}  // namespace

TEST(GlobeStep, WritesEveryGlobeFileFromTheSources) {
    TempFolder sources, out;
    Sources s = WriteSources(sources);
    BuildContext ctx = Context(out, s);
    ASSERT_EQ(BuildGlobe(ctx), 1);

    std::vector<uint8_t> hts = ReadTestFile(out / "globe/2160.hts");
    std::vector<uint8_t> sha = ReadTestFile(out / "globe/2160.sha");
    std::vector<uint8_t> named = ReadTestFile(out / "globe/2160n.sha");
    std::vector<uint8_t> bmp = ReadTestFile(out / "globe/2160.bmp");
    ASSERT_EQ(hts.size(), (size_t)kGlobeLayerBytes);
    ASSERT_EQ(sha.size(), (size_t)kGlobeLayerBytes);
    EXPECT_EQ(named, sha);  // no gazetteer in this volume
    ASSERT_EQ(ctx.missing.size(), 1u);
    EXPECT_NE(ctx.missing[0].find("globe\\2160n.sha"), std::string::npos);

    // Heights: sea 0, the plain class 28, the block above Everest 255; shading 0 only at sea.
    EXPECT_EQ(Cell(hts, 0, -100), 0);
    EXPECT_EQ(Cell(hts, 20, 20), HeightClass(1000));
    EXPECT_EQ(Cell(hts, -15, 105), 255);
    EXPECT_EQ(Cell(sha, 0, -100), 0);
    EXPECT_GT(Cell(sha, 20, 20), 100);
    EXPECT_GT(Cell(sha, -15, 105), 100);
    // South is the first row of every layer.
    EXPECT_EQ(hts[GlobeLayerOffset(-15, 105)], hts[(size_t)((-15 + 90) * 6) * kGlobeWidth + (105 + 180) * 6]);

    // The imagery: a valid 8-bit BMP of 2160 x 1080 whose colour table gives back the source colours.
    uint32_t dataOffset = Bmp8PixelOffset(bmp, kGlobeWidth, kGlobeHeight);
    ASSERT_NE(dataOffset, 0u);
    uint32_t nColours = (dataOffset - 54) / 4;
    ASSERT_GE(nColours, 2u);
    ASSERT_LE(nColours, 256u);
    auto colourAt = [&](double lat, double lon) {
        int index = bmp[dataOffset + GlobeLayerOffset(lat, lon)];
        EXPECT_LT((uint32_t)index, nColours);
        const uint8_t* e = &bmp[54 + 4 * index];
        return std::vector<int>{e[2], e[1], e[0]};
    };
    EXPECT_EQ(colourAt(20, 20), (std::vector<int>{220, 30, 10}));
    EXPECT_EQ(colourAt(-40, -100), (std::vector<int>{20, 40, 160}));
}

TEST(GlobeStep, BurnsPlaceNamesAndSkipsWhatIsUpToDate) {
    TempFolder sources, out;
    Sources s = WriteSources(sources);
    std::vector<PlaceRecord> gazetteer = {
        Place(20.0f, 21.0f, "Overlapping", 1, 0),       // would cover Roma's label
        Place(20.0f, 20.0f, "Roma", 1, kPlaceNationalCapital),  // a capital goes first
        Place(-40.0f, -100.0f, "Smallville", 4, 0),     // not large enough for the globe
        Place(-40.0f, -130.0f, "Provincia", 3, kPlaceProvinceCapital),  // nor is a small province capital
        Place(-40.0f, -60.0f, "Grande", 1, 0),
        Place(85.0f, 0.0f, "Polar", 1, 0),              // too far north to keep its shape
    };
    ASSERT_TRUE(WriteTestFile(out / "names/pplace2.dat", EncodePlaceFile(gazetteer)));

    BuildContext ctx = Context(out, s);
    ASSERT_EQ(BuildGlobe(ctx), 1);
    EXPECT_TRUE(ctx.missing.empty());
    std::vector<uint8_t> sha = ReadTestFile(out / "globe/2160.sha");
    std::vector<uint8_t> named = ReadTestFile(out / "globe/2160n.sha");
    ASSERT_EQ(named.size(), sha.size());
    auto changedNear = [&](double lat, double lon, double width) {
        int count = 0;
        for (double y = lat - 1; y <= lat + 1; y += 1 / 6.0)
            for (double x = lon - 0.5; x <= lon + width; x += 1 / 6.0) count += Cell(named, y, x) != Cell(sha, y, x);
        return count;
    };
    EXPECT_EQ(Cell(named, 20, 20), 255);         // the dot on the place
    EXPECT_GT(changedNear(20, 20, 5), 30);       // and its name beside it
    EXPECT_EQ(changedNear(-40, -100, 8), 0);
    EXPECT_EQ(changedNear(-40, -130, 8), 0);
    EXPECT_GT(changedNear(-40, -60, 8), 30);
    EXPECT_EQ(changedNear(20, 31, 6), 0);        // a label that would overlap Roma's is left out
    EXPECT_EQ(changedNear(85, 0, 8), 0);
    int changed = 0;
    for (size_t i = 0; i < sha.size(); i++) changed += named[i] != sha[i];
    EXPECT_LT(changed, 3500);                   // two labels, no more

    // A second run finds everything up to date and rewrites nothing.
    double before = FileTime(out / "globe/2160.bmp"), filterBefore = FileTime(out / "globe/03_04.FLT");
    BuildContext again = Context(out, s);
    ASSERT_EQ(BuildGlobe(again), 1);
    EXPECT_EQ(FileTime(out / "globe/2160.bmp"), before);
    EXPECT_EQ(FileTime(out / "globe/03_04.FLT"), filterBefore);
    // A newer elevation source rebuilds the relief layers and nothing else.
    double reliefBefore = FileTime(out / "globe/2160.hts");
    struct timeval later[2];
    gettimeofday(&later[0], nullptr);
    later[0].tv_sec += 10;
    later[1] = later[0];
    ASSERT_EQ(utimes(s.elevation.c_str(), later), 0);
    BuildContext third = Context(out, s);
    ASSERT_EQ(BuildGlobe(third), 1);
    EXPECT_GT(FileTime(out / "globe/2160.hts"), reliefBefore);
    EXPECT_EQ(FileTime(out / "globe/2160.bmp"), before);
    EXPECT_EQ(ReadTestFile(out / "globe/2160n.sha"), named);
}

TEST(GlobeStep, MissingSourcesFailButKeepTheTables) {
    TempFolder out;
    BuildContext ctx;
    ctx.outDir = out.path;
    ctx.recipe["elevation"] = out / "no-such-elevation.tif";
    ctx.recipe["imagery"] = out / "no-such-imagery.jpg";
    EXPECT_EQ(BuildGlobe(ctx), 0);
    EXPECT_EQ(ReadTestFile(out / "globe/02_01.FLT").size(), (size_t)kGlobeFilterHeader + 16 * 192 * 192);
    EXPECT_TRUE(ReadTestFile(out / "globe/2160.sha").empty());
    EXPECT_TRUE(ReadTestFile(out / "globe/2160.bmp").empty());
}
