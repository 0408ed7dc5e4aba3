// The flyby's art: the palette of "Textures\PrePals.pal" with its inverse-colour table, the haze
// table, the vegetation sprites, the place-name marker and the sky picture, read once when the
// flyby starts. Pictures go through the program's one BMP parser; palette pictures keep their
// indices, since their colour table is the flyby palette.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/core.h"
#include "flyby/flyby.h"
#include "flyby/flyby_internal.h"
#include "imaging/imaging.h"
#include "platform/files.h"

FlybyArt flybyArt;

// [SECTION] The inverse-colour table

// Every 15-bit colour stands for the centre of its 8 x 8 x 8 block of 24-bit colours, and goes
// to the palette entry nearest to that centre (squared distance in red, green and blue; the
// lowest index on a tie). The palette is the outer loop so that the inner one runs over a row
// of 32 blues with nothing but adds and compares: about 8 million of them, a few milliseconds.
void BuildInverseColourTable(const ColourRef palette[256], uint8_t inverse[32768]) {
    std::vector<int32_t> best(32768, INT32_MAX);
    for (int p = 0; p < 256; p++) {
        int32_t dr[32], dg[32], db[32];
        for (int v = 0; v < 32; v++) {
            int centre = v * 8 + 4;
            dr[v] = (centre - ColourRed(palette[p])) * (centre - ColourRed(palette[p]));
            dg[v] = (centre - ColourGreen(palette[p])) * (centre - ColourGreen(palette[p]));
            db[v] = (centre - ColourBlue(palette[p])) * (centre - ColourBlue(palette[p]));
        }
        for (int r = 0; r < 32; r++)
            for (int g = 0; g < 32; g++) {
                int32_t base = dr[r] + dg[g];
                int32_t* row = best.data() + 1024 * r + 32 * g;
                uint8_t* out = inverse + 1024 * r + 32 * g;
                for (int b = 0; b < 32; b++) {   // without branches, so that it vectorises
                    int32_t d = base + db[b];
                    int better = d < row[b];
                    row[b] = better ? d : row[b];
                    out[b] = better ? (uint8_t)p : out[b];
                }
            }
    }
}

// [SECTION] Reading the files

// A picture of the volume, whole, with its layout; "Cannot open file %s" or the parser's
// reason when it cannot be used.
struct ArtPicture {
    std::vector<uint8_t> bytes;   // the whole file
    BmpLayout layout;
    const uint8_t* Rest() const { return bytes.data() + 14; }
};

static int ReadArtPicture(const char* name, int bitCount, ArtPicture* out) {
    constexpr size_t kMostBytes = 16 << 20;
    if (!ReadWholeFile(DataRootPath(name).c_str(), &out->bytes, kMostBytes) && !ReadWholeFile(name, &out->bytes, kMostBytes)) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    std::string reason;
    if (out->bytes.size() < 14) reason = "the file ends inside its file header";
    else if (ParseBmp(out->bytes.data(), out->Rest(), out->bytes.size() - 14, &out->layout, &reason) && bitCount &&
             out->layout.bitCount != bitCount)
        reason = bitCount == 8 ? "bit count 24 where a palette picture needs 8" : "bit count 8 where a 24-bit picture is needed";
    if (reason.empty()) return 1;
    ShowMessage("File %s is not a valid BMP file", name);
    ShowMessage("%s", reason.c_str());
    return 0;
}

// A palette picture's indices, top row first.
static void CopyIndices(const ArtPicture& p, FlybySprite* out) {
    out->width = p.layout.width;
    out->height = p.layout.height;
    out->pixels.resize((size_t)out->width * out->height);
    for (int r = 0; r < out->height; r++)
        memcpy(&out->pixels[(size_t)r * out->width], BmpRowFromTop(p.Rest(), p.layout, r), out->width);
}

static int LoadSprite(const char* name, FlybySprite* out) {
    ArtPicture p;
    if (!ReadArtPicture(name, 8, &p)) return 0;
    CopyIndices(p, out);
    return 1;
}

// 768 bytes: red, green, blue for each of the 256 entries.
int LoadFlybyPalette(ColourRef palette[256]) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(DataRootPath("Textures\\PrePals.pal").c_str(), &bytes, 4096) &&
        !ReadWholeFile("Textures\\PrePals.pal", &bytes, 4096)) {
        ShowMessage("Cannot open file %s", "prepals.pal");
        return 0;
    }
    if (bytes.size() < 768) {
        ShowMessage("File %s is shorter than its 256 colours", "prepals.pal");
        return 0;
    }
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
    return 1;
}

static int LoadHazeTable(uint8_t haze[kFlybyHazeLevels][256]) {
    const char* name = "Textures\\AlphaBit.bmp";
    ArtPicture p;
    if (!ReadArtPicture(name, 8, &p)) return 0;
    if (p.layout.width != 256 || p.layout.height != kFlybyHazeLevels) {
        ShowMessage("File %s is not a valid BMP file", name);
        ShowMessage("the haze table is %d x %d where 256 x %d is needed", p.layout.width, p.layout.height, kFlybyHazeLevels);
        return 0;
    }
    for (int k = 0; k < kFlybyHazeLevels; k++) memcpy(haze[k], BmpRowFromTop(p.Rest(), p.layout, k), 256);
    return 1;
}

static int LoadSky(FlybyArt* art) {
    ArtPicture p;
    if (!ReadArtPicture("Textures\\Sky.bmp", 0, &p)) return 0;
    const BmpLayout& l = p.layout;
    art->skyWidth = l.width;
    art->skyHeight = l.height;
    art->sky.resize((size_t)l.width * l.height);
    for (int r = 0; r < l.height; r++) {
        const uint8_t* row = BmpRowFromTop(p.Rest(), l, r);
        uint32_t* to = &art->sky[(size_t)r * l.width];
        for (int x = 0; x < l.width; x++) {
            ColourRef c = l.bitCount == 24 ? MakeColour(row[3 * x + 2], row[3 * x + 1], row[3 * x]) : BmpTableColour(p.Rest(), l, row[x]);
            to[x] = 0xFF000000u | ((uint32_t)ColourRed(c) << 16) | ((uint32_t)ColourGreen(c) << 8) | ColourBlue(c);
        }
    }
    return 1;
}

// [SECTION] The whole set

// Everything is read into a fresh set first, so a failure leaves *art as it was.
int LoadFlybyArt(FlybyArt* art) {
    auto fresh = std::make_unique<FlybyArt>();
    if (!LoadFlybyPalette(fresh->palette)) return 0;
    BuildInverseColourTable(fresh->palette, fresh->inverse);
    if (!LoadHazeTable(fresh->haze)) return 0;
    for (int c = 1; c < kFlybyClasses; c++)
        if (!LoadSprite(kFlybyClassTextures[c], &fresh->classSprites[c])) return 0;
    if (!LoadSprite("Textures\\Airport.bmp", &fresh->airport)) return 0;
    if (!LoadSky(fresh.get())) return 0;
    fresh->loaded = 1;
    *art = std::move(*fresh);
    return 1;
}
