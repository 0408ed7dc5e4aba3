// The application shell: start-up, the main window procedure and shutdown. The state every
// view reads, the sound cues, media clips and the browser launcher live below it, in core/.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/core.h"
#include "platform/platform.h"

// [SECTION] Start-up and shutdown

// The whole start-up sequence; 1 when the message loop may start.
int InitInstance();
// A data volume folder given on the command line, searched before every other place (beyond
// the original design); "" for the usual search.
void UseVolumeDirectory(const char* dir);
int InitializeProgramData();
void Shutdown();
int ShutdownDone();
// Unregisters "helv12.ttf" when start-up registered it; later calls do nothing.
void UnregisterSymbolFont();
// [SECTION] The window's scale (window_scale_choice.cpp), beyond the original design

struct WindowScaleChoice {
    int factor = 1;     // each program pixel shown as factor x factor device pixels
    int framed = 1;     // 0 when the window covers the whole screen, as the original did at 800 x 600
    std::string note;   // a line for standard error about an ignored MUNDORA_SCALE, or ""
};
// The window's scale for a client of clientWidth x clientHeight pixels: MUNDORA_SCALE (the
// environment's text, nullptr when unset) when it is 1, 2 or 3; otherwise the setting
// (options.windowScale 1..3); otherwise (0) the largest factor whose window fits the available
// screen with its frame, and at least the rounded device pixel ratio when that fits.
WindowScaleChoice ChooseWindowScale(const ScreenScaleFacts& screen, int clientWidth, int clientHeight,
                                    int setting, const char* environment);
// The window procedure of the main window.
int64_t MainWindowProc(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg);
// Runs get / dispatch until the quit message; returns its exit code.
int RunMessageLoop();
// Tests restart the shell through this.
void ResetShellState();
