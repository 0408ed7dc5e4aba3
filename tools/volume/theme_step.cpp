// Builder step "theme": writes "theme1.dat" with the deepest zoom, the scale bands of the
// raster backdrop, the vector layer table and the country numbers of the search. The layer
// styles are chosen here; the country list comes from the country table, so every file
// agrees on the numbers.
#include "theme_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "countries.h"
#include "platform/files.h"
#include "volume.h"

// Fine tiles hold one sample per 1/111.3 degree (about 1 km). On a 14-inch monitor one map
// pixel is 0.356 mm, so the map shows 1 km per pixel at about 1:2,800,000; the deepest zoom,
// 1:1,000,000, magnifies the fine samples about three times.
static const int kMaxZoomScale = 1000000;

// Scale bands of the backdrop, following the layer choice of the raster composition: the
// overviews and the 4 km layer down to about 1:11,000,000, the fine tiles below, smoothed
// where they are magnified (below about 1:2,800,000). Columns 10, 12, 15 and 25 are read.
static const char* const rasterRows[] = {
    "[Raster2D=0,0, 011000000,999999999] world overviews and 4 km tiles",
    "[Raster2D=0,0, 002800000,011000000] fine tiles, at most one sample per pixel",
    "[Raster2D=0,1, 000100000,002800000] fine tiles magnified, smoothed",
};

// Scale at which the map is about 85 degrees wide (a continent), 21 (a country), 6 (a region).
enum : int32_t { kContinent = 40000000, kCountry = 10000000, kRegion = 3000000 };

static const ThemeLayerStyle layerRows[] = {
    // on, name, description, colour 1, colour 2, style, widths, A, B, rule
    {1, "~30", "Grid 30 degrees", 150, 150, 150, 0, 0, 0, 0, 1, 0, 0, kContinent, 2},
    {1, "~10", "Grid 10 degrees", 150, 150, 150, 0, 0, 0, 0, 1, 0, kCountry, kContinent + 1, 3},
    {1, "~5", "Grid 5 degrees", 150, 150, 150, 0, 0, 0, 0, 1, 0, kRegion, kCountry + 1, 3},
    {1, "~1", "Grid 1 degree", 150, 150, 150, 0, 0, 0, 0, 1, 0, kRegion + 1, 0, 1},
    {1, "PO13", "Coastline", 215, 230, 240, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {1, "LAKES", "Lakes", 100, 180, 255, 0, 0, 0, 0, 1, 0, 60000000, 0, 1},
    {1, "RIV01", "Major rivers", 90, 160, 255, 0, 0, 0, 0, 1, 0, 0, kCountry, 2},
    {1, "RIV01", "Major rivers", 90, 160, 255, 0, 0, 0, 0, 2, 0, kCountry + 1, 0, 1},
    {1, "RIV02", "Rivers", 110, 170, 255, 0, 0, 0, 0, 1, 0, 25000000, 0, 1},
    {1, "RIV05", "Minor rivers", 130, 185, 255, 0, 0, 0, 0, 1, 0, 6000000, 0, 1},
    {1, "RIV03", "Intermittent rivers", 130, 185, 255, 0, 0, 0, 1, 1, 0, 6000000, 0, 1},
    {0, "RIV04", "Canals", 0, 220, 220, 0, 0, 0, 0, 1, 0, 6000000, 0, 1},
    {1, "PROV", "State and province borders", 255, 200, 120, 0, 0, 0, 2, 1, 0, 30000000, 0, 1},
    {1, "BORDERS", "National borders", 255, 80, 80, 0, 0, 0, 0, 1, 0, 0, kContinent, 2},
    {1, "BORDERS", "National borders", 255, 90, 90, 90, 0, 0, 5, 1, 3, kContinent + 1, 0, 1},
    {1, "CITIES", "Cities", 255, 255, 0, 255, 128, 0, 0, 1, 0, 6000000, 0, 1},
    {1, "*4  1 30", "Degrees", 255, 255, 255, 0, 0, 0, 0, 1, 0, 0, kContinent, 2},
    {1, "*4  1 10", "Degrees", 255, 255, 255, 0, 0, 0, 0, 1, 0, kCountry, kContinent + 1, 3},
    {1, "*4  1 5", "Degrees", 255, 255, 255, 0, 0, 0, 0, 1, 0, kRegion, kCountry + 1, 3},
    {1, "*4  1 1", "Degrees", 255, 255, 255, 0, 0, 0, 0, 1, 0, kRegion + 1, 0, 1},
};

// Rows listed only when the volume holds the layer's files. Roads and railways come from the
// OGR sources a recipe names (classes 1, 2, 3 and 8 have switches); the widest classes appear
// from a country's scale, the rest only when a region fills the map. PO05, the GSHHG state
// borders of the Americas, stands in for the province outlines at continental scales, where
// PROV is not drawn.
static const ThemeLayerStyle volumeRows[] = {
    {1, "RD01", "Major roads", 230, 70, 40, 0, 0, 0, 0, 2, 0, kCountry, 0, 1},
    {1, "RD02", "Roads", 235, 130, 60, 0, 0, 0, 0, 1, 0, kRegion, 0, 1},
    {1, "RD03", "Minor roads", 225, 185, 120, 0, 0, 0, 0, 1, 0, 2000000, 0, 1},
    {1, "RD08", "Other roads", 225, 185, 120, 0, 0, 0, 2, 1, 0, 2000000, 0, 1},
    {1, "RR01", "Major railways", 235, 235, 235, 0, 0, 0, 3, 1, 0, kCountry, 0, 1},
    {1, "RR02", "Railways", 210, 210, 210, 0, 0, 0, 3, 1, 0, kRegion, 0, 1},
    {1, "RR03", "Minor railways", 190, 190, 190, 0, 0, 0, 2, 1, 0, 2000000, 0, 1},
    {1, "RR08", "Other railways", 190, 190, 190, 0, 0, 0, 2, 1, 0, 2000000, 0, 1},
    {1, "PO05", "State borders of the Americas", 255, 200, 120, 0, 0, 0, 2, 1, 0, 30000000 - 1, kContinent * 2, 3},
};

const ThemeLayerStyle* VolumeThemeLayers(int* count) {
    *count = (int)(sizeof volumeRows / sizeof volumeRows[0]);
    return volumeRows;
}

const ThemeLayerStyle* DefaultThemeLayers(int* count) {
    *count = (int)(sizeof layerRows / sizeof layerRows[0]);
    return layerRows;
}

std::string ThemeStyleBlock(const ThemeLayerStyle& s) {
    char block[80];
    snprintf(block, sizeof block, "%03d,%03d,%03d,%03d,%03d,%03d,%d,%02d,%02d,%09d,%09d,%d", s.red1, s.green1,
             s.blue1, s.red2, s.green2, s.blue2, s.lineStyle, s.width1, s.width2, (int)s.scaleA, (int)s.scaleB,
             s.scaleRule);
    return block;
}

std::string ThemeFileText(const std::vector<std::string>& inVolume) {
    std::string t;
    auto line = [&](const std::string& s) { t += s + "\r\n"; };
    line("; Mundora map theme: zoom limit, raster backdrop bands, vector layers, country numbers.");
    line("; Fields stand at fixed columns; lines the map does not recognise are ignored.");
    char text[160];
    snprintf(text, sizeof text, "[MaxZoomScale=%d]", kMaxZoomScale);
    line(text);
    for (const char* row : rasterRows) line(row);
    line("[Vector 2D Layers]");
    line("; on,<layer>\"description\"{red,green,blue,red2,green2,blue2,style,width,width2,A,B,rule}");
    line("; rule 0 always, 1 when the scale is below A, 2 above B, 3 between A and B");
    auto layerLine = [&](const ThemeLayerStyle& s) {
        snprintf(text, sizeof text, "%d,<%s>\"%s\"{%s}", s.on, s.name, s.description, ThemeStyleBlock(s).c_str());
        line(text);
    };
    // The volume's own rows go before the state borders, so that borders and cities draw over them.
    auto volumeLines = [&]() {
        for (const ThemeLayerStyle& s : volumeRows)
            if (std::find(inVolume.begin(), inVolume.end(), s.name) != inVolume.end()) layerLine(s);
    };
    int volumeWritten = 0;
    for (const ThemeLayerStyle& s : layerRows) {
        if (!volumeWritten && !strcmp(s.name, "PROV")) {
            volumeLines();
            volumeWritten = 1;
        }
        layerLine(s);
    }
    if (!volumeWritten) volumeLines();
    line("[Names Country IDs]");
    int n = 0;
    const Country* countries = CountryTable(&n);
    for (int i = 0; i < n; i++) {
        snprintf(text, sizeof text, "%d,\"%s\"", countries[i].number, countries[i].name);
        line(text);
    }
    return t;
}

int BuildTheme(BuildContext& ctx) {
    // A layer is in the volume once its index is: the vectors step writes the index last.
    std::vector<std::string> inVolume;
    std::string listed, absent;
    for (const ThemeLayerStyle& s : volumeRows) {
        std::string index = std::string("v_index\\") + s.name + ".idx";
        std::string& names = FileExists(VolumePath(ctx, index.c_str()).c_str()) ? listed : absent;
        if (&names == &listed) inVolume.push_back(s.name);
        names += std::string(names.empty() ? "" : " ") + s.name;
    }
    std::string text = ThemeFileText(inVolume);
    if (!WriteVolumeFile(ctx, "theme1.dat", text.data(), text.size())) return 0;
    int nLayers = 0, nCountries = 0;
    DefaultThemeLayers(&nLayers);
    CountryTable(&nCountries);
    ReportLine(ctx, "theme: theme1.dat with %d layer rows and %d country numbers; listed from the volume: %s; "
               "not in the volume: %s", nLayers + (int)inVolume.size(), nCountries, listed.empty() ? "none" : listed.c_str(),
               absent.empty() ? "none" : absent.c_str());
    return 1;
}
