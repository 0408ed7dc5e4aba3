// The viewer's command line and geo: links (RFC 5870). Beyond the original design: the
// original program took no arguments; these let a shell, a browser or a mail program open
// the atlas at a place.
#pragma once

#include <string>

constexpr double kDefaultOpeningScale = 5000000.0;

// A place to open the 2D map at: centre and scale denominator.
struct OpeningPlace {
    double latitude = 0.0, longitude = 0.0;
    double scale = kDefaultOpeningScale;
};

struct CommandLine {
    int showHelp = 0, showVersion = 0;
    std::string volumeDir, dataRootDir;
    std::string recordFile;  // --record: the record file the recorder writes
    int hasPlace = 0;
    OpeningPlace place;
};

// Parses a geo URI ("geo:48.2,16.37;u=30?z=12"); 0 with the message in *error when it is not
// a place this program can show.
int ParseGeoUri(const std::string& uri, OpeningPlace* place, std::string* error);
// The web map zoom level z as a scale denominator at the equator.
double ScaleForZoomLevel(int z);
// Parses the arguments after the program name; 0 with the message in *error.
int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error);
// The text --help prints.
const char* UsageText();
// A place as one line for the running copy, and back.
std::string FormatPlaceMessage(const OpeningPlace& place);
int ParsePlaceMessage(const std::string& text, OpeningPlace* place);

// [SECTION] A place handed over while the program runs (handed_over_place.cpp)

// The code a view with its own loop hands back when a later start handed over a place: the
// shell then opens the 2D map there.
constexpr int kViewCodeHandedOverPlace = 18;
// Takes every line later starts have handed over and keeps the last one that names a place
// for the shell; returns 1 when a place is waiting. Lines that name no place are dropped.
int TakeHandedOverPlace();
// 1 while a place waits for the shell.
int HandedOverPlaceWaiting();
// Takes the waiting place; 0 when none waits.
int TakeWaitingPlace(OpeningPlace* place);
