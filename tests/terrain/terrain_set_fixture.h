// What the terrain set tests share: a temporary folder that is both the data root and the
// temporary folder, set files written cell by cell with values that tell cells apart, and a
// scale whose colours spell their own index.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "support/test_volume.h"
#include "terrain/terrain_set.h"

struct TerrainSetTest : ::testing::Test {
    TempFolder root;
    char savedRoot[256], savedTemp[256];

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s", root.path.c_str());
        TerrainFailAllocation(0);
        TestClearShown();
    }
    void TearDown() override {
        FreeTerrainBuffers();
        terrainSet = TerrainSet{};
        TerrainFailAllocation(0);
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        memcpy(tempDir, savedTemp, sizeof tempDir);
        TestClearShown();
    }

    std::string File(int n, const char* extension) { return root / (std::to_string(n) + "." + extension); }
    // The name the loader composes and shows in its messages.
    std::string Shown(int n, const char* extension) { return root.path + "\\" + std::to_string(n) + "." + extension; }

    void WriteHeights(int n, const char* extension, const std::function<int(int r, int c)>& height) {
        std::vector<uint8_t> bytes;
        for (int r = 0; r < n; r++)
            for (int c = 0; c < n; c++) WriteI16LE(bytes, (int16_t)height(r, c));
        ASSERT_TRUE(WriteTestFile(File(n, extension), bytes));
    }
    void WriteCells(int n, const char* extension, int cellBytes, const std::function<uint8_t(int r, int c, int k)>& value) {
        std::vector<uint8_t> bytes;
        for (int r = 0; r < n; r++)
            for (int c = 0; c < n; c++)
                for (int k = 0; k < cellBytes; k++) WriteU8(bytes, value(r, c, k));
        ASSERT_TRUE(WriteTestFile(File(n, extension), bytes));
    }
    void WriteNames(int n, const char* extension, const std::vector<TerrainNameRecord>& records) {
        ASSERT_TRUE(WriteTestFile(File(n, extension), EncodeTerrainNameFile(records)));
    }

    // Cell values of the standard set: each layer says which cell and which layer it is.
    static int Height(int r, int c) { return r * 100 + c - 5000; }
    static uint8_t Shade(int r, int c) { return (uint8_t)(r * 7 + c); }
    static uint8_t Imagery(int r, int c, int k) { return (uint8_t)(k == 0 ? r : k == 1 ? c : r + c + 1); }
    static uint8_t Details(int r, int c, int k) { return (uint8_t)(k == 0 ? c : k == 1 ? r + 3 : 255 - c); }

    // A whole set of grid n: heights, shade, imagery, details for 350, one gazetteer name, no results.
    void WriteSet(int n) {
        WriteHeights(n, "hts", Height);
        WriteCells(n, "sha", 1, [](int r, int c, int) { return Shade(r, c); });
        WriteCells(n, "rgb", 3, Imagery);
        if (n == 350) WriteCells(n, "vec", 3, Details);
        TerrainNameRecord name;
        name.name = "Ridge";
        name.nameClass = 2;
        WriteNames(n, "nam", {name});
        WriteNames(n, "n2", {});
        WriteScale();
    }

    // Colour k of the scale spells k: red = k / 256, green = k % 256, blue 7.
    void WriteScale(int colours = 10000) {
        std::vector<uint8_t> bytes(8, 0);
        for (int k = 0; k < colours; k++) bytes.insert(bytes.end(), {(uint8_t)(k / 256), (uint8_t)(k % 256), 7});
        MakeDirectories((root / "scales").c_str());
        ASSERT_TRUE(WriteTestFile(root / "scales/test.sca", bytes));
    }
    std::string ScalePath() { return root.path + "\\scales\\test.sca"; }
    static int ScaleIndexOf(ColourRef c) { return ColourRed(c) * 256 + ColourGreen(c); }

    std::vector<std::string> ShownTexts() {
        std::vector<std::string> texts;
        for (const ShownText& s : TestShownMessages()) texts.push_back(s.text);
        return texts;
    }
};
