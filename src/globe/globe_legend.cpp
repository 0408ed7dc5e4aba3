// The globe's legend: the elevation scale, or the scale of the overlay shown with its value
// range, in the black box under the units switch. The globe labels elevations over the whole
// Earth (-392 m to 8848 m) whatever range the 2D map used; that range is put back on leaving.
#include <cstdio>

#include "core/core.h"
#include "globe/globe_screen.h"
#include "imaging/imaging.h"

static struct {
    ElevationRange fixed, observed;
    int saved;
} legendRange;

void GlobeLegendRange(int overlay, int* low, int* high) {
    switch (overlay) {
    case kOverlayLandVegetation:
    case kOverlayOceanVegetation: *low = *high = kLegendQualitative; return;
    case kOverlayTemperature: *low = -583, *high = 441; return;
    case kOverlayPrecipitation: *low = 0, *high = 6750; return;
    case kOverlaySunshine: *low = 0, *high = 1000; return;
    default: *low = *high = kLegendElevation; return;
    }
}

std::string GlobeLegendScalePath(int overlay) {
    if (overlay == kOverlayNone) return ElevationScalePath();
    char relative[32];
    snprintf(relative, sizeof relative, "scales\\globe%d.sca", overlay);
    return DataRootPath(relative);
}

Rect GlobeLegendBox() { return smallLayout ? Rect{559, 117, 635, 195} : Rect{699, 147, 794, 244}; }

void DrawGlobeLegend() {
    Surface* w = WindowSurface();
    if (!w) return;
    int overlay = globeView.imageType == kGlobeOverlay ? globeView.overlay : kOverlayNone;
    int low, high;
    GlobeLegendRange(overlay, &low, &high);
    std::string path = GlobeLegendScalePath(overlay);
    FillRect(w, GlobeLegendBox(), MakeColour(0, 0, 0));
    DrawLegend(w, GlobeLegendBox(), path.c_str(), 0, 1, 0, nullptr, 1, globeView.imageType, low, high);
}

void EnterGlobeLegendRange() {
    if (!legendRange.saved) {
        legendRange.fixed = fixedElevation;
        legendRange.observed = observedElevation;
        legendRange.saved = 1;
    }
    // Both ranges, so the labels read the same whichever the 2D map's range switch says.
    fixedElevation = observedElevation = ElevationRange{-392, 8848};
}

void RestoreGlobeLegendRange() {
    if (!legendRange.saved) return;
    fixedElevation = legendRange.fixed;
    observedElevation = legendRange.observed;
    legendRange.saved = 0;
}
