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
// The window procedure of the main window.
int64_t MainWindowProc(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg);
// Runs get / dispatch until the quit message; returns its exit code.
int RunMessageLoop();
// Tests restart the shell through this.
void ResetShellState();
