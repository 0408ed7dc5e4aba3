// The colour ramps of the volume's scale files, shared by the scales step and the artwork that
// previews them (chooser swatches, data-type previews, the aspect compass).
#pragma once

#include <cstdint>

struct RampColour {
    uint8_t r, g, b;
};

// Colour k (0..9999) of the named scale file ("ian1.sca", "globe3.sca", "choro14.sca", ...);
// returns 0 for a name that is not one of the volume's scales.
int ScaleRampColour(const char* name, int k, RampColour* out);
// The elevation scales offered by "scales.dat", in its order; the first is the default.
struct ElevationScaleEntry {
    const char* file;
    const char* title;
};
constexpr int kElevationScaleCount = 6;
extern const ElevationScaleEntry kElevationScales[kElevationScaleCount];
// The volume's index of the elevation floor: indices below it are water.
constexpr int kElevationFloorIndex = 492;
