// Fuzz target: the four theme file readers over damaged and hostile "theme1.dat" files.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "map2d/map2d.h"

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::string theme =
        "[MaxZoomScale=  250000\n"
        "[Raster2D=0 -2 000050000 004000000\n"
        "[Raster2D=2 0  200000000 004000000\n"
        "[Vector 2D Layers]\n"
        "1,<BORDERS> \"National borders\" {255,128,001,010,020,030,2,03,01,000500000,020000000,3}\n"
        "0,<CITIES> \"Cities\" {255,255,255,000,000,000,0,01,00,000000000,000000000,0}\n"
        "1,<*5 1 10> \"Ticks\"\n"
        "[Names Country IDs]\n"
        "1 \"Afghanistan\",\n"
        "250 \"Cote d'Ivoire\"\r\n";
    return {std::vector<uint8_t>(theme.begin(), theme.end()), {}, std::vector<uint8_t>(300, '[')};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = (const char*)data;
    int32_t scale;
    ParseMaxZoomScale(text, size, &scale);
    RasterEntry entry;
    ParseRasterEntry(text, size, 1000000, &entry);
    int layers = ParseVectorLayerTable(text, size);
    if (layers < 0 || layers > kMaxVectorLayers) __builtin_trap();
    for (int i = 0; i < layers; i++)
        if (strlen(vectorLayers[i].name) > 16 || strlen(vectorLayers[i].description) > 43) __builtin_trap();
    int countries = ParseCountryIds(text, size);
    if (countries < 0 || countries > kMaxCountryIds) __builtin_trap();
    for (int i = 0; i < countries; i++)
        if (strlen(countryIds[i].name) > 61) __builtin_trap();
    return 0;
}
