// The message loop of a map tool: it waits on the queue inside the click that started it,
// drops paint requests, gives up at a deadline, and keeps the pointer inside an area.
#include "map2d/tool_loops.h"

#include "core/core.h"
#include "map2d/map2d.h"

int NextToolMessage(Message* m, uint32_t deadline) {
    // Under test nothing arrives that was not injected: an empty queue ends the tool.
    while (GetMessageUntil(m, deadline)) {
        if (m->kind == MSG_PAINT) continue;
        if (m->kind == MSG_QUIT) {
            PostQuitMessage((int)m->wParam);
            return 0;
        }
        return 1;
    }
    return 0;
}

Point ConfinePointer(const Rect& r, int x, int y) {
    Point p{x, y};
    if (p.x < r.left) p.x = r.left;
    if (p.x > r.right - 1) p.x = r.right - 1;
    if (p.y < r.top) p.y = r.top;
    if (p.y > r.bottom - 1) p.y = r.bottom - 1;
    if (p.x != x || p.y != y) SetCursorPosition(p.x, p.y);
    return p;
}

Rect MapAreaBetweenPoleRows() {
    int yNorth, ySouth;
    PoleRows(&yNorth, &ySouth);
    return Rect{mapRect.left, yNorth, mapRect.right, ySouth + 1};
}
