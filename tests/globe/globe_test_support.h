// What the globe's tests share: a data root and a volume of their own, tables in the filter
// file layout, and pixels read back from the bottom-up output image.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "globe/globe.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

// A volume-style name ("globe\\02_01.FLT") as a path under a folder.
inline std::string SlashPath(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

// A short silent wave for the cue files.
inline std::vector<uint8_t> SilentWave() {
    return {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
            0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 0, 0, 0, 0};
}

struct GlobeTest : ::testing::Test {
    TempFolder root, volume;
    std::string savedCwd;
    char savedRoot[256];
    GlobeView savedView = globeView;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        savedCwd = CurrentDirectory();
        ChangeDirectory(volume.path.c_str());  // bare names resolve on the volume
        SetLayoutRectangles();
        TestClearShown();
    }
    void TearDown() override {
        ReleaseGlobeBuffers();
        ChangeDirectory(savedCwd.c_str());
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        globeView = savedView;
        TestClearShown();
    }
    // A file of the data root under a volume-style name ("globe\\02_01.FLT").
    void WriteRoot(const std::string& name, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(WriteTestFile(root / SlashPath(name), bytes));
    }
};

// Count, radius, 16 unused bytes, the entries.
inline std::vector<uint8_t> FilterFile(int r, const std::vector<int32_t>& entries) {
    std::vector<uint8_t> out;
    WriteU32LE(out, (uint32_t)entries.size());
    WriteU32LE(out, (uint32_t)r);
    out.resize(kFilterHeaderBytes, 0);
    for (int32_t e : entries) WriteI32LE(out, e);
    return out;
}

// Pixel (x, row) of the output image, rows counted from the bottom as the table stores them.
inline ColourRef StoredPixel(int x, int row) {
    const uint8_t* p = globeBuffers.bmpDataBits + (size_t)row * globeBuffers.rowBytes + 3 * x;
    return MakeColour(p[2], p[1], p[0]);
}

inline std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const ShownText& t : TestShownMessages()) texts.push_back(t.text);
    return texts;
}
