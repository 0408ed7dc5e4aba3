// Hand-made country tables for the statistics tests: a data root of its own in a temporary
// folder, and the three table files and a colour scale written into it.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "stats/stats.h"
#include "support/test_volume.h"

// Sets the data root to a fresh folder for its lifetime and clears the recorded messages.
struct StatsRoot {
    TempFolder folder;
    char savedRoot[sizeof dataRoot];
    StatsRoot() {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.path.c_str());
        TestClearShown();
    }
    ~StatsRoot() {
        ReleaseHoverTable();
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
    }
    std::string operator/(const std::string& relative) const { return folder / relative; }
};

// Value of variable k (1..34) of record r in the files these tests write: every field differs.
inline float DistinctValue(int r, int k) { return (float)(r * 100 + k) + 0.25f; }

// country.dat of `records` records; value(r, k) gives each field.
template <typename F>
std::vector<uint8_t> CountryDataBytes(int records, F value) {
    std::vector<uint8_t> out;
    for (int r = 0; r < records; r++) {
        for (int k = 1; k <= kCountryVariables; k++) {
            float v = value(r, k);
            uint32_t u;
            memcpy(&u, &v, 4);
            WriteU32LE(out, u);
        }
        std::string name = "Country " + std::to_string(r);
        size_t start = out.size();
        out.insert(out.end(), name.begin(), name.end());
        out.resize(start + kCountryRecordBytes - kCountryVariables * 4, 0);
    }
    return out;
}

// A scale whose colour k is (k % 256, k / 256, 7), so that a colour names its index.
inline std::vector<uint8_t> IndexScaleBytes(int colours = 10000) {
    std::vector<uint8_t> out(8, 'h');
    for (int k = 0; k < colours; k++) {
        out.push_back((uint8_t)(k % 256));
        out.push_back((uint8_t)(k / 256));
        out.push_back(7);
    }
    return out;
}
inline ColourRef IndexColour(int k) { return MakeColour(k % 256, k / 256, 7); }
constexpr ColourRef kGrey = MakeColour(64, 64, 64);

inline std::vector<std::string> ShownTexts() {
    std::vector<std::string> out;
    for (const ShownText& s : TestShownMessages()) out.push_back(s.text);
    return out;
}
