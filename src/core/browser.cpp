// The web browser launcher. On this platform the desktop's default opener stands in for
// driving the registered browser directly; it brings a running browser forward itself.
#include "core/browser.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "platform/platform.h"

void OpenInBrowser(const char* address) {
    if (!address || !*address) return;
    int previous = SetCursorShape(CURSOR_APPSTARTING);
    OpenAddress(address);
    SetCursorShape(previous);
}

// Percent-encodes every byte but letters, digits, "-._~" and the extra characters kept.
static std::string PercentEncode(const std::string& text, const char* keep) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || strchr("-._~", c) || (c && strchr(keep, c))) {
            out += (char)c;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string FileAddress(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') absolute = CurrentDirectory() + "/" + path;
    return "file://" + PercentEncode(absolute, "/");
}

void OpenAboutPage() {
    std::string page = FindDataFile("about.html");
    if (page.empty()) {
        ShowMessage("This data volume has no page about Mundora (about.html). Build the volume again with "
                    "mundora-volume to add it.");
        return;
    }
    OpenInBrowser(FileAddress(page).c_str());
}

// The first line of "contact.txt" without surrounding blanks, or "" when there is none.
static std::string ContactAddress() {
    FILE* f = OpenDataFile("contact.txt", "r");
    if (!f) return std::string();
    char line[256] = "";
    if (!fgets(line, sizeof line, f)) line[0] = 0;
    fclose(f);
    std::string address = line;
    address.erase(0, address.find_first_not_of(" \t\r\n"));
    address.erase(address.find_last_not_of(" \t\r\n") + 1);
    return address;
}

void OpenMailProgram() {
    std::string address = "mailto:" + PercentEncode(ContactAddress(), "@+!$'*,;=") + "?subject=Mundora";
    OpenInBrowser(address.c_str());
}
