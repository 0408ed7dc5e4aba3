// The builder's flyby step: raster\owe14d.img, Textures\PrePals.pal, Textures\AlphaBit.bmp and
// the flyby's artwork, with a picture of the classes beside the volume for checking them.
#include <cstdio>

#include "climate_fields.h"
#include "climate_step.h"
#include "flyby/flyby.h"
#include "flyby_build.h"
#include "imaging/imaging.h"
#include "raster_sources.h"

namespace {

std::string ClassPicturePath(const BuildContext& ctx) {
    std::string out = ctx.outDir;
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    size_t slash = out.rfind('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : out.substr(0, slash);
    return RecipeValue(ctx, "flyby-classes-picture", (parent + "/flyby-classes.png").c_str());
}

int WritePalette(BuildContext& ctx, const std::vector<uint8_t>& palette) {
    std::vector<uint8_t> haze = BuildHazeTable(palette);
    // The BMP keeps its rows bottom first; row 0 of the table is the picture's top row.
    std::vector<uint8_t> rows(haze.size());
    for (int k = 0; k < kFlybyHazeLevels; k++)
        std::copy(haze.begin() + k * 256, haze.begin() + (k + 1) * 256, rows.begin() + (kFlybyHazeLevels - 1 - k) * 256);
    int ok = WriteVolumeFile(ctx, "Textures\\PrePals.pal", palette) &&
             WriteVolumeFile(ctx, "Textures\\AlphaBit.bmp", EncodeBmp8(rows.data(), 256, kFlybyHazeLevels, palette));
    ReportLine(ctx, "flyby: Textures\\PrePals.pal: a 6 x 8 x 5 colour cube (red, green, blue levels evenly from 0 to "
                    "255, entry 0 black), the sky's horizon colour, and 15 entries fitted to the imagery's land "
                    "colours: seeded with the 5-bit bins most common weighed by the cube's error, then 8 rounds "
                    "of k-means with the cube and the horizon held still");
    ReportLine(ctx, "flyby: Textures\\AlphaBit.bmp: %d haze levels toward the sky's horizon colour (%d, %d, %d), "
               "each colour to its nearest palette entry", kFlybyHazeLevels, (int)(kFlybyHorizonRgb >> 16) & 255,
               (int)(kFlybyHorizonRgb >> 8) & 255, (int)kFlybyHorizonRgb & 255);
    return ok;
}

}  // namespace

int BuildFlyby(BuildContext& ctx) {
    // Whole-world files, not tiles: the first shard builds them.
    if (ctx.shardIndex != 0) return 1;
    std::vector<std::string> sources = {BuilderExecutablePath(), SourceFileOf(ElevationSourcePath(ctx)),
                                        SourceFileOf(ImagerySourcePath(ctx)), SourceFileOf(LandTemperatureSource(ctx)),
                                        RecipeValue(ctx, "landcover", ""), RecipeValue(ctx, "landcover-classes", "")};
    // The first file the step writes and the last stand for all of them.
    if (VolumeFileUpToDate(ctx, "raster\\owe14d.img", sources) && VolumeFileUpToDate(ctx, "Textures\\C640.bmp", sources)) {
        ReportLine(ctx, "flyby: raster\\owe14d.img, the palette and the artwork up to date");
        return 1;
    }
    double start = NowSeconds();
    std::vector<float> heights = ClassCellHeights(ctx), bands[3];
    int haveImagery = ReadClassImagery(ctx, bands);
    std::vector<uint8_t> classes;
    if (!BuildClassRaster(ctx, heights, bands, &classes) || !WriteVolumeFile(ctx, "raster\\owe14d.img", classes)) return 0;
    std::string picture = ClassPicturePath(ctx);
    if (WriteClassPicture(classes, &heights, picture)) ReportLine(ctx, "flyby: the classes drawn in %s", picture.c_str());
    if (!haveImagery) ReportLine(ctx, "flyby: no imagery, so the palette's last 15 entries are greys");
    std::vector<uint8_t> palette = BuildFlybyPalette(haveImagery ? LandColours(heights, bands) : std::vector<uint32_t>());
    int ok = WritePalette(ctx, palette) && BuildFlybyArt(ctx, palette);
    ReportLine(ctx, "flyby: sprites, markers, bar fills, sky and cockpit frames drawn; %.1f s", NowSeconds() - start);
    return ok;
}
