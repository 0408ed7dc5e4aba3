// A data root of the test's own for the place-name search: its temporary folder, a theme
// with a country table, and gazetteer files built from locations.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/core.h"
#include "map2d/map2d.h"
#include "names/names.h"
#include "names/place_search.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

struct SearchRoot : ::testing::Test {
    TempFolder root;
    void SetUp() override {
        TestModeEnable(1);
        TestClearShown();
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s/tmp", root.path.c_str());
        MakeDirectories(tempDir);
        MakeDirectories((root / "names").c_str());
        WriteTestText(root / "theme1.dat", "[Names Country IDs]\n1 \"France, French Republic\"\n2 \"Italy\"\n");
        ResetPlaceSearch();
        ResetZoomHistory();
    }
    void TearDown() override {
        ResetPlaceSearch();
        ResetZoomHistory();
        snprintf(dataRoot, sizeof dataRoot, ".");
        snprintf(tempDir, sizeof tempDir, "tmp");
    }
    // The three files of one type's gazetteer; the world's type has the longer prefix table.
    void WriteGazetteer(int type, const std::vector<GazetteerLocation>& locations) {
        GazetteerFiles g;
        BuildGazetteer(locations, type == 1 ? 4 : 2, &g);
        std::string stem = root / (std::string("names/") + GazetteerStem(type));
        WriteTestFile(stem + ".ix2", g.index);
        WriteTestFile(stem + ".dat", g.data);
        WriteTestFile(stem + (type == 1 ? ".ix4" : ".ix3"), g.prefix);
    }
};
