// A main window and hbmVirtual for tests of the window's pieces, without the data volume.
#pragma once

#include <cstring>

#include "app/app.h"
#include "imaging/panel_buttons.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

struct WindowFixture {
    int made = 0;
    void Open(int small = 0) {
        smallLayout = small;
        screenWidth = small ? 640 : 800;
        screenHeight = small ? 480 : 600;
        WindowOptions o{"Mundora", screenWidth, screenHeight, 1};
        made = CreateMainWindow(o, MainWindowProc);
        hbmVirtual = CreateSurface(screenWidth, screenHeight);
        mapRect = small ? Rect{12, 31, 544, 430} : Rect{16, 39, 681, 538};
        statusRect = small ? Rect{14, 431, 543, 450} : Rect{18, 539, 679, 563};
        legendRect = small ? Rect{559, 168, 634, 245} : Rect{699, 211, 793, 307};
        memset(legendCache, 0xFF, sizeof legendCache);
        SetReadoutRectangles();
        ResetZoomHistory();
        BuildButtonTable();
        ClearButtonStates();
        TestClearShown();
    }
    void Close() {
        ClearButtonStates();
        if (hbmVirtual) DeleteSurface(hbmVirtual);
        hbmVirtual = nullptr;
        DestroyMainWindow();
        smallLayout = 0;
        helpPromptsOn = 0;
        screenMode = 0;
    }
};

inline uint32_t WindowPixel(int x, int y) { return SurfacePixels(WindowSurface())[(size_t)y * SurfaceStride(WindowSurface()) + x] & 0xFFFFFF; }
