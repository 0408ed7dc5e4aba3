// Shutdown: runs once, saves the settings, releases what start-up created and deletes the
// scratch files of the temporary directory.
#include <cstdio>

#include "app/app.h"
#include "core/demonstrations.h"
#include "imaging/panel_buttons.h"
#include "map2d/map2d.h"
#include "platform/files.h"

static struct {
    int done;
} shutdownState;

int ShutdownDone() { return shutdownState.done; }

void Shutdown() {
    if (shutdownState.done) return;
    shutdownState.done = 1;
    SaveSettings();
    StopPlayback();
    FinishRecording();
    ReleasePanelButtons();
    DiscardAllScreenCaches();
    fhGenericCreated = 0;
    UnregisterSymbolFont();
    if (hbmVirtual) {
        DeleteSurface(hbmVirtual);
        hbmVirtual = nullptr;
    }
    static const char* scratch[] = {"locate.tmp", "locate2.tmp", "clpboard.tmp", "sats.tmp", "names.tmp", "100.n2", "150.n2", "350.n2"};
    for (const char* name : scratch) RemoveFile(TempPath(name).c_str());
}

void ResetShellState() {
    shutdownState.done = 0;
    ResetCoreState();
}
