// The colour scale files: 8-byte header plus 10,000 RGB colours each. The elevation scales
// keep water below index 492 (about 60 m over the -392..8848 m range) and land above it.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "colour_ramps.h"
#include "platform/le_bytes.h"
#include "volume.h"

const ElevationScaleEntry kElevationScales[kElevationScaleCount] = {
    {"ian1.sca", "Classic atlas"}, {"atlas.sca", "Hypsometric tints"}, {"desert.sca", "Desert and sea"},
    {"polar.sca", "Polar ice"},    {"grey.sca", "Grey relief"},         {"spectrum.sca", "Spectrum"},
};

struct Stop {
    double at;  // 0..1 along the ramp
    uint8_t r, g, b;
};

static RampColour Interpolate(const Stop* stops, int n, double f) {
    if (f <= stops[0].at) return {stops[0].r, stops[0].g, stops[0].b};
    for (int i = 1; i < n; i++) {
        if (f <= stops[i].at) {
            double t = (f - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            auto mix = [t](uint8_t a, uint8_t b) { return (uint8_t)std::lround(a + (b - a) * t); };
            return {mix(stops[i - 1].r, stops[i].r), mix(stops[i - 1].g, stops[i].g), mix(stops[i - 1].b, stops[i].b)};
        }
    }
    return {stops[n - 1].r, stops[n - 1].g, stops[n - 1].b};
}

// Elevation scales: water ramp over indices 0..491, land ramp over 492..9999 (about 60 m to
// 8848 m; land index k is elevation -392 + k * 0.924 metres).
static RampColour Elevation(const Stop* water, int nWater, const Stop* land, int nLand, int k) {
    if (k < kElevationFloorIndex) return Interpolate(water, nWater, k / (double)(kElevationFloorIndex - 1));
    double metres = -392 + k * 0.924;
    return Interpolate(land, nLand, std::max(0.0, metres) / 8848.0);
}

static const Stop kSea[] = {{0, 8, 24, 72}, {0.55, 20, 70, 150}, {0.9, 60, 130, 200}, {1, 110, 175, 225}};
static const Stop kIan1Land[] = {{0, 60, 130, 70},    {0.03, 92, 160, 80},  {0.1, 170, 190, 110}, {0.2, 200, 180, 120},
                                 {0.35, 165, 120, 70}, {0.5, 130, 90, 60},  {0.65, 150, 130, 120}, {0.8, 220, 220, 225},
                                 {1, 255, 255, 255}};
static const Stop kAtlasLand[] = {{0, 40, 120, 60},   {0.05, 110, 170, 80}, {0.12, 220, 215, 120}, {0.25, 225, 170, 80},
                                  {0.4, 190, 110, 60}, {0.6, 140, 80, 60},   {0.8, 200, 190, 200},  {1, 250, 250, 255}};
static const Stop kDesertSea[] = {{0, 10, 40, 70}, {1, 60, 150, 170}};
static const Stop kDesertLand[] = {{0, 232, 214, 170}, {0.15, 214, 180, 120}, {0.35, 190, 140, 90},
                                   {0.6, 150, 100, 70}, {0.85, 200, 180, 170}, {1, 255, 250, 245}};
static const Stop kPolarSea[] = {{0, 4, 10, 40}, {1, 60, 100, 160}};
static const Stop kPolarLand[] = {{0, 120, 140, 150}, {0.2, 170, 190, 205}, {0.5, 215, 228, 240}, {1, 255, 255, 255}};
static const Stop kGreySea[] = {{0, 20, 24, 32}, {1, 70, 78, 92}};
static const Stop kGreyLand[] = {{0, 90, 90, 90}, {1, 250, 250, 250}};
static const Stop kSpectrumSea[] = {{0, 40, 0, 80}, {1, 40, 60, 200}};
static const Stop kSpectrumLand[] = {{0, 0, 160, 200}, {0.15, 0, 190, 90}, {0.35, 230, 230, 40},
                                     {0.55, 250, 130, 20}, {0.75, 220, 30, 30}, {1, 255, 220, 255}};
// Climate overlays and derived layers.
static const Stop kLandVegetation[] = {{0, 190, 170, 120}, {0.3, 200, 200, 90}, {0.6, 90, 170, 60}, {1, 10, 80, 30}};
static const Stop kOceanVegetation[] = {{0, 20, 20, 90}, {0.35, 20, 90, 170}, {0.6, 30, 170, 140}, {0.8, 170, 220, 60}, {1, 240, 240, 80}};
static const Stop kTemperature[] = {{0, 80, 0, 120},   {0.2, 40, 60, 220}, {0.4, 80, 180, 240},  {0.55, 240, 240, 220},
                                    {0.7, 250, 200, 60}, {0.85, 240, 100, 30}, {1, 170, 10, 20}};
static const Stop kPrecipitation[] = {{0, 245, 235, 200}, {0.15, 190, 225, 150}, {0.4, 70, 180, 170}, {0.7, 30, 90, 190}, {1, 90, 20, 140}};
static const Stop kSunshine[] = {{0, 30, 30, 60}, {0.3, 110, 80, 120}, {0.6, 230, 140, 60}, {0.85, 255, 220, 80}, {1, 255, 255, 210}};
static const Stop kSlope[] = {{0, 40, 150, 70}, {0.15, 170, 210, 80}, {0.35, 250, 220, 60}, {0.6, 240, 110, 40}, {1, 110, 20, 70}};
static const Stop kUndefined[] = {{0, 60, 64, 72}, {1, 150, 156, 168}};
static const Stop kChoroLand[] = {{0, 240, 248, 225}, {0.5, 120, 195, 110}, {1, 0, 90, 50}};
static const Stop kChoroPeople[] = {{0, 250, 240, 250}, {0.5, 200, 120, 200}, {1, 90, 10, 110}};
static const Stop kChoroHealth[] = {{0, 255, 245, 225}, {0.5, 250, 150, 80}, {1, 160, 30, 20}};
static const Stop kChoroEconomy[] = {{0, 240, 245, 255}, {0.5, 100, 160, 220}, {1, 10, 50, 130}};
#define N(a) (int)(sizeof(a) / sizeof(a[0]))

// The aspect wheel: north blue, east green, south orange, west purple, continuous around.
static RampColour Aspect(int k) {
    static const Stop wheel[] = {{0, 40, 90, 230},  {0.25, 60, 200, 90}, {0.5, 250, 160, 40},
                                 {0.75, 190, 70, 190}, {1, 40, 90, 230}};
    return Interpolate(wheel, N(wheel), k / 10000.0);
}

// Which ramp a statistics variable uses: land and area, people, health, economy.
static const Stop* ChoroRamp(int variable, int* n) {
    if (variable <= 4 || (variable >= 11 && variable <= 13)) return *n = N(kChoroLand), kChoroLand;
    if (variable >= 15 && variable <= 23 && variable != 19 && variable != 20) return *n = N(kChoroHealth), kChoroHealth;
    if (variable >= 25) return *n = N(kChoroEconomy), kChoroEconomy;
    return *n = N(kChoroPeople), kChoroPeople;
}

int ScaleRampColour(const char* name, int k, RampColour* out) {
    if (k < 0) k = 0;
    if (k > 9999) k = 9999;
    double f = k / 9999.0;
    int variable = 0;
    char tail = 0;
    if (!strcmp(name, "ian1.sca")) *out = Elevation(kSea, N(kSea), kIan1Land, N(kIan1Land), k);
    else if (!strcmp(name, "atlas.sca")) *out = Elevation(kSea, N(kSea), kAtlasLand, N(kAtlasLand), k);
    else if (!strcmp(name, "desert.sca")) *out = Elevation(kDesertSea, N(kDesertSea), kDesertLand, N(kDesertLand), k);
    else if (!strcmp(name, "polar.sca")) *out = Elevation(kPolarSea, N(kPolarSea), kPolarLand, N(kPolarLand), k);
    else if (!strcmp(name, "grey.sca")) *out = Elevation(kGreySea, N(kGreySea), kGreyLand, N(kGreyLand), k);
    else if (!strcmp(name, "spectrum.sca")) *out = Elevation(kSpectrumSea, N(kSpectrumSea), kSpectrumLand, N(kSpectrumLand), k);
    else if (!strcmp(name, "globe1.sca")) *out = Interpolate(kLandVegetation, N(kLandVegetation), f);
    else if (!strcmp(name, "globe2.sca")) *out = Interpolate(kOceanVegetation, N(kOceanVegetation), f);
    else if (!strcmp(name, "globe3.sca")) *out = Interpolate(kTemperature, N(kTemperature), f);
    else if (!strcmp(name, "globe4.sca")) *out = Interpolate(kPrecipitation, N(kPrecipitation), f);
    else if (!strcmp(name, "globe5.sca")) *out = Interpolate(kSunshine, N(kSunshine), f);
    else if (!strcmp(name, "slope.sca")) *out = Interpolate(kSlope, N(kSlope), f);
    else if (!strcmp(name, "aspect.sca")) *out = Aspect(k);
    else if (!strcmp(name, "undefined.sca")) *out = Interpolate(kUndefined, N(kUndefined), f);
    else if (sscanf(name, "choro%2d.sc%c", &variable, &tail) == 2 && tail == 'a' && strlen(name) == 11 && variable >= 1 && variable <= 34) {
        int n = 0;
        const Stop* ramp = ChoroRamp(variable, &n);
        *out = Interpolate(ramp, n, f);
    } else {
        return 0;
    }
    return 1;
}

static std::vector<uint8_t> ScaleFileBytes(const char* name) {
    std::vector<uint8_t> out;
    out.reserve(8 + 30000);
    const char header[4] = {'S', 'C', 'A', '1'};
    for (char c : header) WriteU8(out, (uint8_t)c);
    WriteU32LE(out, 10000);
    for (int k = 0; k < 10000; k++) {
        RampColour c{};
        ScaleRampColour(name, k, &c);
        WriteU8(out, c.r);
        WriteU8(out, c.g);
        WriteU8(out, c.b);
    }
    return out;
}

static std::string ScalesList() {
    std::string text =
        "; Elevation colour scales offered by the colour chooser, in its order.\r\n"
        "; A line counts when it starts with 0 or 1 and names a file of the scales folder in <>;\r\n"
        "; 1 marks the default scale.\r\n";
    for (int i = 0; i < kElevationScaleCount; i++)
        text += std::string(i == 0 ? "1" : "0") + " <" + kElevationScales[i].file + "> " + kElevationScales[i].title + "\r\n";
    return text;
}

int BuildScales(BuildContext& ctx) {
    std::vector<std::string> names;
    for (const ElevationScaleEntry& e : kElevationScales) names.push_back(e.file);
    for (int i = 1; i <= 5; i++) names.push_back("globe" + std::to_string(i) + ".sca");
    for (int i = 1; i <= 34; i++) {
        char n[16];
        snprintf(n, sizeof n, "choro%02d.sca", i);
        names.push_back(n);
    }
    names.push_back("slope.sca");
    names.push_back("aspect.sca");
    names.push_back("undefined.sca");
    std::string self = BuilderExecutablePath();
    int ok = 1, written = 0;
    for (const std::string& n : names) {
        std::string volumeName = "scales\\" + n;
        if (VolumeFileUpToDate(ctx, volumeName.c_str(), {self})) continue;
        ok = WriteVolumeFile(ctx, volumeName.c_str(), ScaleFileBytes(n.c_str())) && ok;
        written++;
    }
    if (!VolumeFileUpToDate(ctx, "scales.dat", {self})) {
        std::string list = ScalesList();
        ok = WriteVolumeFile(ctx, "scales.dat", list.data(), list.size()) && ok;
        written++;
    }
    ReportLine(ctx, "scales: %zu scale files and scales.dat, %d written", names.size(), written);
    return ok;
}
