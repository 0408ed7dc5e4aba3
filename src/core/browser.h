// The web browser launcher: one operation that hands an address to the user's browser or
// mail program, and the two places the room and the map's panel send the user.
#pragma once

#include <string>

// Opens a web, file or "mailto:" address through the desktop's default opener, which reuses a
// running browser where the desktop does. Failures are silent: nothing happens.
void OpenInBrowser(const char* address);

// Buttons 11 and 66: the volume's page about the program and its data ("about.html", looked
// up like every data file) opened as a file: address; a message says so when there is none.
void OpenAboutPage();
// Button 67: a new message in the user's mail program, to the volume's contact address
// ("contact.txt") when it has one, else to nobody yet.
void OpenMailProgram();

// "file://" and the absolute path, with every byte outside the plain path characters
// percent-encoded.
std::string FileAddress(const std::string& path);
