// The palettes that colour the region images: every country's palette index takes the colour
// of its value on the variable's colour scale and a height class for the extruded chart.
// Index 0 is the background, 254 the graticule and 255 the borders; a country without a
// figure is grey.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/platform.h"
#include "stats/country_files.h"
#include "stats/stats.h"

constexpr ColourRef kNoFigureColour = MakeColour(64, 64, 64);
constexpr int kHeightClasses = 30;

std::string ChoroplethScalePath(int variable) {
    char name[32];
    snprintf(name, sizeof name, "scales\\choro%02d.sca", variable);
    return DataRootPath(name);
}

void ClassifyStatValue(float v, float min, float max, int* colourIndex, int* heightClass) {
    // In double: min + 1 is min again for a float as large as the range's start values.
    double lo = min, hi = max;
    if (!(hi > lo)) hi = lo + 1.0;
    double fraction = ((double)v - lo) / (hi - lo);
    *colourIndex = ScaleIndexForValue(v, lo, hi, 0);
    double scaled = fraction * kHeightClasses;
    if (!(scaled > 0)) *heightClass = 0;  // negative or not a number
    else if (scaled >= kHeightClasses) *heightClass = kHeightClasses;
    else *heightClass = (int)scaled;
}

static void StartPalette(ColourRef palette[256], int heights[256]) {
    palette[kRegionBackground] = MakeColour(0, 0, 0);
    for (int i = kFirstCountryIndex; i <= kLastCountryIndex; i++) palette[i] = kNoFigureColour;
    palette[kRegionBackground2] = MakeColour(254, 254, 254);
    palette[kRegionBorder] = MakeColour(255, 255, 255);
    for (int i = 0; i < 256; i++) heights[i] = -1;
}

// Colour and height class of one value; 0 when the scale file cannot be read there.
static int ColourOfValue(ScaleFile* scale, float v, int missing, float min, float max, ColourRef* colour, int* height) {
    int index;
    ClassifyStatValue(v, min, max, &index, height);
    if (missing) {
        *colour = kNoFigureColour;
        return 1;
    }
    return ScaleColour(scale, index, colour);
}

int BuildChoroplethPalette(const char* scaleFile, const float values[kCountryRecords], float min, float max,
                           ColourRef palette[256], int heights[256], float valuesOut[256]) {
    ScaleFile scale;
    if (!OpenScaleFile(scaleFile, &scale)) {
        ShowMessage("Cannot open file %s", scaleFile);
        return 0;
    }
    FILE* info = OpenDataFile(kCountryInfoFile, "rb");
    if (!info) {
        CloseScaleFile(&scale);
        ShowMessage("Cannot open file %s", "country.inf");
        return 0;
    }
    ColourRef built[256];
    int builtHeights[256];
    StartPalette(built, builtHeights);
    int ok = 1;
    char line[kCountryInfoLineBuffer];
    while (ok && ReadCountryInfoLine(info, line)) {
        if ((line[0] != '0' && line[0] != '1') || LeadingInteger(line, 0) == 0) continue;
        int r = LeadingInteger(line, 2);
        if (r < 0 || r >= kCountryRecords) {
            ShowMessage("country id out of range");
            continue;
        }
        int p = LeadingInteger(line, 6);
        if (p < kFirstCountryIndex || p > kLastCountryIndex) {
            ShowMessage("palette index out of range");
            continue;
        }
        ok = ColourOfValue(&scale, values[r], StatValueMissing(values[r]), min, max, &built[p], &builtHeights[p]);
        if (ok && valuesOut) valuesOut[p] = values[r];
    }
    fclose(info);
    CloseScaleFile(&scale);
    if (!ok) {
        ShowMessage("Cannot open file %s", scaleFile);
        return 0;
    }
    memcpy(palette, built, sizeof built);
    memcpy(heights, builtHeights, sizeof builtHeights);
    return 1;
}

int RecolourPalette(const char* scaleFile, const float valuesByIndex[256], float min, float max, ColourRef palette[256],
                    int heights[256], const uint8_t visible[256]) {
    ScaleFile scale;
    if (!OpenScaleFile(scaleFile, &scale)) {
        ShowMessage("Cannot open file %s", scaleFile);
        return 0;
    }
    ColourRef built[256];
    int builtHeights[256];
    StartPalette(built, builtHeights);
    int ok = 1;
    for (int i = kFirstCountryIndex; ok && i <= kLastCountryIndex; i++) {
        if (visible && !visible[i]) continue;
        float v = valuesByIndex[i];
        // Here a value counts as missing by its whole part: anything from -1.99 to -1.
        int missing = v > -2.0f && v <= -1.0f;
        ok = ColourOfValue(&scale, v, missing, min, max, &built[i], &builtHeights[i]);
    }
    CloseScaleFile(&scale);
    if (!ok) {
        ShowMessage("Cannot open file %s", scaleFile);
        return 0;
    }
    memcpy(palette, built, sizeof built);
    memcpy(heights, builtHeights, sizeof builtHeights);
    return 1;
}
