// Element-set text built column by column, and a data root in a temporary folder.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "core/core.h"
#include "globe_test_support.h"
#include "support/test_volume.h"

// The field texts of the two element lines; the defaults are a space-station orbit.
struct ElementText {
    std::string epoch = "98001.00000000", decay = " .00000000";   // line 1: 19-32, 34-43
    std::string inclination = " 51.6400", node = "247.4627";      // line 2: 9-16, 18-25
    std::string eccentricity = "0006703", perigee = " 130.5360";  // 27-33, 34-42
    std::string anomaly = "325.0288", motion = "15.49000000";     // 44-51, 53-63
    std::string revolution = "56353";                             // 64-68
    char filler = ' ';                                            // between the fields
};

// Text right-aligned into columns first..last, counted from 1.
inline void PutColumns(std::string& line, int first, int last, const std::string& text) {
    size_t width = last - first + 1;
    line.replace(first - 1, width, text.size() >= width ? text.substr(0, width) : std::string(width - text.size(), ' ') + text);
}

inline std::string ElementSet(const std::string& name, const ElementText& e = ElementText()) {
    std::string one(69, e.filler), two(69, e.filler);
    PutColumns(one, 1, 7, "1 25544");
    PutColumns(one, 19, 32, e.epoch);
    PutColumns(one, 34, 43, e.decay);
    PutColumns(two, 1, 7, "2 25544");
    PutColumns(two, 9, 16, e.inclination);
    PutColumns(two, 18, 25, e.node);
    PutColumns(two, 27, 33, e.eccentricity);
    PutColumns(two, 34, 42, e.perigee);
    PutColumns(two, 44, 51, e.anomaly);
    PutColumns(two, 53, 63, e.motion);
    PutColumns(two, 64, 68, e.revolution);
    return name + "\n" + one + "\n" + two + "\n";
}

// A data root in a fresh folder for the length of a test.
struct SatelliteVolume {
    TempFolder folder;
    char savedRoot[sizeof dataRoot];
    SatelliteVolume() {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
    }
    ~SatelliteVolume() { memcpy(dataRoot, savedRoot, sizeof dataRoot); }
    // Writes a file given by its volume name ("sats\\noaa.dat").
    void Write(const std::string& name, const std::string& text) { WriteTestText(folder / SlashPath(name), text); }
};
