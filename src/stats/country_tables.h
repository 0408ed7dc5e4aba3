// The country statistics' fixed tables and record layout, shared by the statistics screen and
// the volume builder that writes its files: the 34 variables, the nine regions with their
// member lists and images, and the 396-byte record of "table\country.dat".
#pragma once

#include <cstddef>
#include <cstdint>

enum : int {
    kCountryRecords = 261,        // records of country.dat; country numbers run 1..261
    kCountryVariables = 34,
    kCountryRecordNameBytes = 260,      // NUL-terminated, NUL-padded name at the end of a record
    kCountryRecordBytes = kCountryVariables * 4 + kCountryRecordNameBytes,  // 396
    kCountryDisplayName = 75,     // longest name country.inf carries
    kStatRegions = 9,             // 0 the world, 1..8 the regions that share the countries out
    kFirstCountryIndex = 1,       // palette indices of countries in the region images
    kLastCountryIndex = 253,
    kRegionBackground = 0,
    kRegionBackground2 = 254,     // the second background shade
    kRegionBorder = 255,
    kRegionImageDataOffset = 1078,  // 14 + 40 header bytes and a 256-entry colour table
};

// The value that stands for "not available" in country.dat.
constexpr float kStatNotAvailable = -1.0f;

// Where variable (1..34) of record (0..260) lies in country.dat.
inline size_t CountryValueOffset(int record, int variable) {
    return (size_t)record * kCountryRecordBytes + (size_t)(variable - 1) * 4;
}
inline size_t CountryNameOffset(int record) { return (size_t)record * kCountryRecordBytes + kCountryVariables * 4; }

struct StatVariable {
    const char* title;  // the title over the statistics map
    int decimals;       // 1: values are shown with one decimal, 0: as whole numbers
};
// Variable 1..34; null outside.
const StatVariable* StatVariableInfo(int variable);

struct StatRegion {
    const char* flatImage;   // "table\s_amer.bmp"; "640\" goes in front in the small layout
    const char* chartImage;  // "table\s_amer3d.bmp"
    const int* members;      // 1-based country numbers in list order
    int count;
};
// Region 0..8; null outside. Region 0 lists every country 1..261 in ascending order; regions
// 1..8 share the countries out, each country in exactly one of them.
const StatRegion* StatRegionInfo(int region);

// The region map images: width x height pixels, rows padded to `stride` bytes, bottom row first.
struct RegionImageSize {
    int width, height, stride;
};
inline RegionImageSize RegionImageSizeFor(int smallLayout) {
    return smallLayout ? RegionImageSize{532, 399, 532} : RegionImageSize{665, 499, 668};
}
