// The zoom history commands of the map's tools as the window procedure reaches them: edge
// and arrow-key pans, zoom boxes, going back one depth, the locator and scale-text dialogs,
// and the panel's measuring, zoom and re-centre buttons. Each recomposes and repaints the map
// when the command changed it.
#include "app/map_commands.h"

#include "app/panels.h"
#include "app/screens.h"
#include "core/core.h"
#include "map2d/map2d.h"
#include "map2d/measurement.h"
#include "map2d/zoom_commands.h"

static int Repaint(int changed) {
    if (changed) RecomposeAndRepaintMap();
    return changed;
}

int MapEdgePan(int direction) { return Repaint(PanMap(direction)); }

int MapZoomBox(int x, int y, int corner) { return Repaint(ZoomBox(x, y, corner)); }

int MapLocatorClick(int x, int y) { return Repaint(PositionDialog()); }

int MapScaleBoxClick(int x, int y) { return Repaint(ScaleDialog()); }

// The window of the depth above did not change, so its screen cache serves it again.
int MapBackOneDepth() { return Repaint(ZoomBack()); }

static void RecomposeAfterMeasuring() { RecomposeAndRepaintMap(); }

int MapToolButton(int id) {
    switch (id) {
    case 18:
        FlashButton(18);
        MeasureDistanceTool(RecomposeAfterMeasuring);
        return 0;
    case 22: return Repaint(ZoomInTool());
    case 23:
        FlashButton(23);
        return Repaint(ZoomOut());
    case 24: return Repaint(RecentreTool());
    default:
        PlayCue(CUE_ERROR);  // 21, the feature names, joins with the place names
        return 0;
    }
}

// The 3D view's first step when entered by its tab: the area the terrain will show.
int MapPickAreaFor3D() {
    SetMapRecomposer(RecomposeAndRepaintMap);  // the pick shows the world view first
    return Repaint(AreaFor3DTool());
}
