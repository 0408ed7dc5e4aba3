// The window layout: 800x600, or 640x480 with the "640\" bitmaps, and the rectangles of the
// map, its status line, the legend and the help-prompt line in that layout.
#include "core/core.h"

int smallLayout;
int screenWidth = 800, screenHeight = 600;
Rect mapRect, statusRect, legendRect;

void SetLayoutRectangles() {
    if (smallLayout) {
        mapRect = Rect{12, 31, 544, 430};
        statusRect = Rect{14, 431, 543, 450};
        legendRect = Rect{559, 168, 634, 245};
    } else {
        mapRect = Rect{16, 39, 681, 538};
        statusRect = Rect{18, 539, 679, 563};
        legendRect = Rect{699, 211, 793, 307};
    }
}

Rect PromptLineRect() { return smallLayout ? Rect{2, 455, 187, 480} : Rect{3, 569, 234, 600}; }
