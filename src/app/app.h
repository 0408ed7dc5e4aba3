// The application shell: start-up, the main window procedure, shutdown and media clips. The
// state every view reads lives below it, in core/core.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/core.h"
#include "platform/platform.h"

// [SECTION] Start-up and shutdown

// The whole start-up sequence; 1 when the message loop may start.
int InitInstance();
int InitializeProgramData();
void Shutdown();
int ShutdownDone();
// Unregisters "helv12.ttf" when start-up registered it; later calls do nothing.
void UnregisterSymbolFont();
// The window procedure of the main window.
int64_t MainWindowProc(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg);
// Runs get / dispatch until the quit message; returns its exit code.
int RunMessageLoop();
// Tests restart the shell through this.
void ResetShellState();

// [SECTION] Media clips

// A media clip shown in a rectangle of the main window. Returns a device id, or 0 after
// showing "Cannot open file %s". startMs < 0: play from the beginning.
int OpenMediaClip(const char* name, const Rect* rect, long startMs);
// Plays from the current position; with notify the window gets MSG_MCINOTIFY when it ends.
int PlayMediaClip(int device, int notify, int repeat);
void CloseMediaClip(int device);
