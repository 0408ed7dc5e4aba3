// The web browser launcher. On this platform the desktop's default opener stands in for
// driving the registered browser directly; it brings a running browser forward itself.
#include "app/browser.h"

#include "platform/platform.h"

const char* const kMakerSiteAddress = "https://mundora.example.org/";
const char* const kMakerMailAddress = "mailto:atlas@mundora.example.org";

void OpenInBrowser(const char* address) {
    if (!address || !*address) return;
    int previous = SetCursorShape(CURSOR_APPSTARTING);
    OpenAddress(address);
    SetCursorShape(previous);
}
