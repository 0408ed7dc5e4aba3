// The screen cache files of the 2D map: one composed background per zoom depth,
// "screen00.tmp" .. "screen09.tmp" in the temporary directory.
#include <cstdio>

#include "app/app.h"
#include "map2d/map2d.h"
#include "platform/files.h"

std::string ScreenCachePath(int depth) {
    char name[32];
    snprintf(name, sizeof name, "screen%02d.tmp", depth);
    return TempPath(name);
}

void DiscardScreenCache(int depth) {
    if (depth < 0 || depth >= kZoomDepths) return;
    RemoveFile(ScreenCachePath(depth).c_str());
}

void DiscardAllScreenCaches() { DeleteAllScreenCaches(); }
