// The 2D map screen's own rules: where the flyby starts and the Ctrl switch of the zoom tool.
#include <gtest/gtest.h>

#include "app/screens.h"
#include "window_fixture.h"

namespace {

TEST(MapScreen, FlybyStartsOverTheMapCentreInsideTheWorld) {
    struct Case { MapWindow w; int x, y; } cases[] = {
        {{-180, 180, -135, 135}, 20040, 10020},
        {{170, 180, 80, 90}, 39500, 556},     // (39522, 556.7): x held 500 km from the edge
        {{-180, -178, -90, -88}, 500, 19500},
        {{10, 20, 40, 50}, 21710, 5010},
    };
    for (const Case& c : cases) {
        zoomHistory[1] = c.w;
        zoomDepth = 1;
        int x, y;
        FlybyStartPosition(&x, &y);
        EXPECT_EQ(x, c.x) << c.w.west;
        EXPECT_EQ(y, c.y) << c.w.south;
    }
    ResetZoomHistory();
}

TEST(MapScreen, ControlSwitchesTheZoomToolOnlyOverTheMap) {
    WindowFixture window;
    window.Open();
    screenMode = 3;
    zoomOutTool = 0;
    mapHoverState = 0;
    MapMouseMove(300, 300);
    EXPECT_EQ(mapHoverState, 6);
    MapKeyDown(VK_CONTROL);
    EXPECT_EQ(zoomOutTool, 1);
    EXPECT_EQ(mapHoverState, 7);
    MapKeyDown(VK_CONTROL);
    EXPECT_EQ(mapHoverState, 6);
    MapMouseMove(750, 580);  // off the map: Ctrl does nothing
    MapKeyDown(VK_CONTROL);
    EXPECT_EQ(zoomOutTool, 0);
    EXPECT_EQ(FindPanelButton(22)->pressed, 0);
    EXPECT_EQ(FindPanelButton(23)->pressed, 0);
    window.Close();
}

}  // namespace
