// The flyby's art as the builder writes it, read back by the viewer's loader: the haze table's
// first row is the clear palette and its last the haze, the sprites stand on their feet, the
// sky has the width the flyby scrolls over.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/core.h"
#include "flyby/flyby.h"
#include "flyby_build.h"
#include "support/test_volume.h"
#include "volume.h"
#include "volume_helpers.h"

namespace {

TEST(FlybyArtRoundTrip, TheLoaderReadsWhatTheBuilderWrites) {
    TempFolder dir;
    BuildContext ctx;
    ctx.outDir = dir / "vol";
    // World sources of 36 x 18 cells of 10 degrees: land of a few colours, mild temperatures.
    const double world10[6] = {-180, 10, 0, 90, 0, -10};
    WriteTestRaster(dir / "h.tif", 36, 18, 1, world10, [](int, int c, int) { return c == 0 ? -200.f : 300.f; });
    WriteTestRaster(dir / "i.tif", 36, 18, 3, world10, [](int b, int c, int) {
        static const float colours[3][3] = {{30, 46, 13}, {180, 155, 120}, {65, 68, 33}};
        return colours[c % 3][b];
    });
    WriteTestRaster(dir / "t.tif", 36, 18, 12, world10, [](int month, int, int) { return month == 6 ? 22.f : 8.f; });
    ctx.recipe["elevation"] = dir / "h.tif";
    ctx.recipe["imagery"] = dir / "i.tif";
    ctx.recipe["temperature"] = dir / "t.tif";
    ctx.recipe["flyby-classes-picture"] = dir / "classes.png";
    ASSERT_EQ(BuildFlyby(ctx), 1);

    char savedRoot[sizeof dataRoot];
    memcpy(savedRoot, dataRoot, sizeof dataRoot);
    snprintf(dataRoot, sizeof dataRoot, "%s", ctx.outDir.c_str());
    auto art = std::make_unique<FlybyArt>();
    int loaded = LoadFlybyArt(art.get());
    memcpy(dataRoot, savedRoot, sizeof dataRoot);
    ASSERT_EQ(loaded, 1);

    int identity = 0, hazeColours = 0;
    for (int i = 0; i < 256; i++) identity += art->haze[0][i] == i;
    for (int i = 0; i < 256; i++) hazeColours += art->haze[kFlybyHazeLevels - 1][i] == art->haze[kFlybyHazeLevels - 1][0];
    EXPECT_EQ(identity, 256) << "the top row is the clear palette";
    EXPECT_EQ(hazeColours, 256) << "the bottom row is all haze";
    for (int c = 1; c < kFlybyClasses; c++) {
        const FlybySprite& s = art->classSprites[c];
        ASSERT_EQ(s.width, kFlybySpriteSize) << c;
        ASSERT_EQ(s.height, kFlybySpriteSize) << c;
        int foot = 0;
        for (int r = 0; r < 4; r++) foot |= s.pixels[(size_t)(kFlybySpriteSize - 1 - r) * kFlybySpriteSize + kFlybySpriteSize / 2] != 0;
        EXPECT_TRUE(foot) << kFlybyClassTextures[c] << ": the foot at the middle of the bottom row";
        EXPECT_EQ(s.pixels[kFlybySpriteSize - 1], 0) << kFlybyClassTextures[c] << ": the top right corner is clear";
    }
    EXPECT_EQ(art->skyWidth, kFlybySkyWidth);
    EXPECT_EQ(art->airport.width, 16);
}

}  // namespace
