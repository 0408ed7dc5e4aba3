// The zoom history commands of the map's tools as the window procedure reaches them. Going
// back one depth is here; panning, the zoom boxes, the locator, the scale dialog and the
// measuring tool join with the zoom commands and refuse with the error cue until then.
#include "map2d/map_commands.h"

#include "app/app.h"
#include "app/screens.h"
#include "map2d/map2d.h"

static int Refuse() {
    PlayCue(CUE_ERROR);
    return 0;
}

int MapEdgePan(int direction) { return Refuse(); }
int MapZoomBox(int x, int y, int corner) { return Refuse(); }
int MapLocatorClick(int x, int y) { return Refuse(); }
int MapScaleBoxClick(int x, int y) { return Refuse(); }
int MapToolButton(int id) { return Refuse(); }

// The window of the depth above did not change, so its screen cache serves it again.
int MapBackOneDepth() {
    if (zoomDepth <= 0) return Refuse();
    zoomDepth--;
    RecomposeAndRepaintMap();
    return 1;
}
