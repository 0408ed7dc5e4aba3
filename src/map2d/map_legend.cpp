// The elevation legend as the 2D map shows it: drawn after every repaint of the map and
// redrawn with a marker at the height under the pointer.
#include "core/core.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"

int ElevationLegendShown() {
    Rect bar = LegendHotArea(legendCache, 0);
    return bar.right > bar.left && bar.bottom > bar.top;
}

// The legend shows colours only for the elevation backgrounds; the others get the empty bar.
static std::string LegendScalePath() {
    return mapBackground == 2 || mapBackground == 4 ? ElevationScalePath() : std::string("undefined.sca");
}

void RedrawElevationLegend(int withMarker, int height) {
    Surface* w = WindowSurface();
    if (!w) return;
    const ElevationRange& range = fixedElevationRange ? fixedElevation : observedElevation;
    int value = withMarker ? height : (int)((range.minimum + range.maximum) / 2);
    FillRect(w, ElevationLegendBox(), MakeColour(0, 0, 0));
    std::string path = LegendScalePath();
    DrawLegend(w, ElevationLegendBox(), path.c_str(), value, 1, withMarker, legendCache, 1, mapBackground, kLegendElevation,
               kLegendElevation);
}

void DrawMapElevationLegend() {
    if (hbmVirtual) ElevationLegend(hbmVirtual, mapBackground);
    if (WindowSurface()) ElevationLegend(WindowSurface(), mapBackground);
}
