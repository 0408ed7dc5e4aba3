// Element-set text for the satellite tests: the two element lines built column by column from
// chosen values, and a data root in a temporary folder for the files.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "core/core.h"
#include "support/test_volume.h"

// The values a test puts in the element lines, written as the file shows them.
struct ElementText {
    std::string epoch = "98001.00000000";    // columns 19-32 of line 1
    std::string decay = " .00000000";        // 34-43
    std::string inclination = " 51.6400";    // 9-16 of line 2
    std::string node = "247.4627";           // 18-25
    std::string eccentricity = "0006703";    // 27-33
    std::string perigee = " 130.5360";       // 34-42
    std::string anomaly = "325.0288";        // 44-51
    std::string motion = "15.49000000";      // 53-63
    std::string revolution = "56353";        // 64-68
    char filler = ' ';                       // what the columns between the fields hold
};

// Puts text right-aligned into columns first..last (from 1) of a line.
inline void PutColumns(std::string& line, int first, int last, const std::string& text) {
    int width = last - first + 1;
    std::string field = text.size() >= (size_t)width ? text.substr(0, width) : std::string(width - text.size(), ' ') + text;
    line.replace(first - 1, width, field);
}

inline std::string ElementLine1(const ElementText& e) {
    std::string line(69, e.filler);
    PutColumns(line, 1, 7, "1 25544");
    PutColumns(line, 19, 32, e.epoch);
    PutColumns(line, 34, 43, e.decay);
    PutColumns(line, 45, 68, " 00000-0  40768-4 0  999");
    return line;
}

inline std::string ElementLine2(const ElementText& e) {
    std::string line(69, e.filler);
    PutColumns(line, 1, 7, "2 25544");
    PutColumns(line, 9, 16, e.inclination);
    PutColumns(line, 18, 25, e.node);
    PutColumns(line, 27, 33, e.eccentricity);
    PutColumns(line, 34, 42, e.perigee);
    PutColumns(line, 44, 51, e.anomaly);
    PutColumns(line, 53, 63, e.motion);
    PutColumns(line, 64, 68, e.revolution);
    return line;
}

inline std::string ElementSet(const std::string& name, const ElementText& e = ElementText()) {
    return name + "\n" + ElementLine1(e) + "\n" + ElementLine2(e) + "\n";
}

// A data root in a fresh folder for the length of a test; the previous root comes back after.
struct SatelliteVolume {
    TempFolder folder;
    char savedRoot[sizeof dataRoot];
    SatelliteVolume() {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
    }
    ~SatelliteVolume() { memcpy(dataRoot, savedRoot, sizeof dataRoot); }
    // Writes a file given by its volume name ("sats\\noaa.dat").
    void Write(const std::string& volumeName, const std::string& text) {
        std::string relative = volumeName;
        for (char& c : relative)
            if (c == '\\') c = '/';
        WriteTestText(folder / relative, text);
    }
};
