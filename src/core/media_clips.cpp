// Media clips: video played inside a rectangle of the main window, as the manual's video
// box uses them. A clip that cannot be opened is reported with the file's name.
#include "core/core.h"
#include "platform/sound.h"

int OpenMediaClip(const char* name, const Rect* rect, long startMs) {
    int device = ClipOpen(name, rect, startMs);
    if (!device) ShowMessage("Cannot open file %s", name);
    return device;
}

int PlayMediaClip(int device, int notify, int repeat) {
    if (!device) return 0;
    return ClipPlay(device, notify, repeat);
}

void CloseMediaClip(int device) {
    if (device) ClipClose(device);
}

