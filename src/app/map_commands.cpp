// The zoom history commands of the map's tools as the window procedure reaches them: edge
// and arrow-key pans, zoom boxes, going back one depth, the locator and scale-text dialogs,
// and the panel's measuring, zoom and re-centre buttons. Each recomposes and repaints the map
// when the command changed it.
#include "app/map_commands.h"

#include "imaging/panel_buttons.h"
#include "app/screens.h"
#include "core/core.h"
#include "map2d/map2d.h"
#include "map2d/measurement.h"
#include "map2d/zoom_commands.h"
#include "terrain/terrain_extraction.h"

static int Repaint(int changed) {
    if (changed) RecomposeAndRepaintMap();
    return changed;
}

int MapEdgePan(int direction) { return Repaint(PanMap(direction)); }

int MapZoomBox(int x, int y, int corner) { return Repaint(ZoomBox(x, y, corner)); }

int MapWheelZoom(int x, int y, int notches) { return Repaint(WheelZoom(x, y, notches)); }

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

// The chosen area is cut into a terrain set in the temporary folder and the terrain view opens
// on it. 1 when the view ran: it has left the screen to where its code leads.
static int HandAreaToTerrain(const MapWindow& area) {
    if (!ExtractTerrainSet(area, 0)) return 0;
    EnterTerrainView();
    return 1;
}

// The 3D view's first step when entered by its tab: the area the terrain will show, picked
// on the world view unless the map is already narrow enough.
int MapPickAreaFor3D() {
    if (CurrentAreaFitsFor3D()) {
        if (ConfirmAreaFor3D()) HandAreaToTerrain(CurrentMapWindow());
        return 0;
    }
    int changed = zoomDepth > 0;
    if (changed) {
        zoomDepth = 0;
        RecomposeAndRepaintMap();
    }
    MapWindow area;
    if (PickAreaFor3D(&area) && HandAreaToTerrain(area)) return 0;
    return Repaint(changed);  // clears the pick's prompt and box
}
