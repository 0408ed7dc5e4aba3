// Helpers shared by the map's interactive tools (zoom box, point picks, measuring): their own
// message loops with time-outs and the pointer held inside a rectangle.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Sleeps until the next message for a tool's loop and takes it. Paint requests are dropped (the tool repaints
// when it ends) and a quit request is put back for the main loop. Returns 0 when the
// deadline (a TickCount value, 0 for none) passes first or the program is quitting.
int NextToolMessage(Message* m, uint32_t deadline);
// Holds a pointer position inside r (right and bottom exclusive), moving the real pointer
// back when it had left; returns the held position.
Point ConfinePointer(const Rect& r, int x, int y);
// The rectangle of the map area between the rows of latitude +-89.9.
Rect MapAreaBetweenPoleRows();
