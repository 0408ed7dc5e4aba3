// Shutdown: runs once, saves the settings, releases what start-up created and deletes the
// scratch files of the temporary directory.
#include <cstdio>

#include "app/app.h"
#include "app/panels.h"
#include "platform/files.h"


static struct {
    int done;
} shutdownState;

int ShutdownDone() { return shutdownState.done; }

void DeleteAllScreenCaches() {
    for (int d = 0; d < 10; d++) {
        char name[32];
        snprintf(name, sizeof name, "screen%02d.tmp", d);
        RemoveFile(TempPath(name).c_str());
    }
}

void Shutdown() {
    if (shutdownState.done) return;
    shutdownState.done = 1;
    SaveSettings();
    ReleasePanelButtons();
    DeleteAllScreenCaches();
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
    screenMode = 0;
    for (int i = 0; i < 8; i++) labelSwitches[i] = 0;
    namesOn3D = helpPromptsOn = imperialUnits = 0;
    gammaTable.enabled = 0;
}
