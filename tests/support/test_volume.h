// Helpers for tests that build tiny volumes of their own in a temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh empty folder under /tmp, removed by the destructor.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string& relative) const { return path + "/" + relative; }
};

int WriteTestFile(const std::string& path, const std::vector<uint8_t>& bytes);
int WriteTestText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadTestFile(const std::string& path);
// A 24-bit BMP of w x h filled with one colour (0xRRGGBB).
std::vector<uint8_t> SolidBmp24(int w, int h, uint32_t rgb);
// Writes a small picture for every panel button bitmap the viewer loads at start-up.
int WritePanelBitmaps(const std::string& volume);
// Where the source tree is (for content files), from the environment ctest sets.
std::string SourceDir();
