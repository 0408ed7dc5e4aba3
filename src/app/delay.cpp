// The delay of animations and button flashes: the program sleeps while it waits.
#include "app/panels.h"

void Delay(double seconds) {
    uint32_t start = TickCount();
    uint32_t wait = (uint32_t)(seconds * 1000.0);
    while (TickCount() - start < wait) SleepMs(5);
}
