// Entry point of the viewer.
#include "app/app.h"

int main(int argc, char** argv) {
    if (!PlatformInit(argc, argv)) return 1;
    if (AnotherInstanceRunning("KestuMainWClass")) return 0;
    if (!InitInstance()) {
        PlatformShutdown();
        return 0;
    }
    int code = RunMessageLoop();
    Shutdown();
    PlatformShutdown();
    return code;
}
