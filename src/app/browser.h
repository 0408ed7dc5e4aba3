// The web browser launcher: one operation that hands an address to the user's browser or
// mail program, and the addresses the screens open.
#pragma once

// The project's site (buttons 11 and 66) and contact address (button 67).
extern const char* const kMakerSiteAddress;
extern const char* const kMakerMailAddress;

// Opens a web or "mailto:" address through the desktop's default opener, which reuses a
// running browser where the desktop does. Failures are silent: nothing happens.
void OpenInBrowser(const char* address);
