// The data root a user starts the viewer from: the test volume found as an installed one
// through XDG_DATA_HOME, and the user's own theme and names files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "support/test_volume.h"

inline void PrepareUserDataRoot(const std::string& volume, const TempFolder& root, const TempFolder& xdg) {
    ASSERT_TRUE(FileExists((volume + "/titlepg.bmp").c_str())) << "the builder made no volume";
    std::filesystem::create_directories(xdg.path + "/mundora");
    std::filesystem::create_symlink(volume, xdg.path + "/mundora/volume");
    setenv("XDG_DATA_HOME", xdg.path.c_str(), 1);
    // A theme file of the user's in the data root: one raster entry for every scale.
    WriteTestText(root / "theme1.dat", "[MaxZoomScale=100000\n[Raster2D=0 0  000000001 999999999\n");
    // Every map repaint reads names.dat for its labels; this volume has no name files, so
    // all groups stay off.
    std::string names = "0\n0\n0\n0\n0\n0\n0\n";
    for (int k = 0; k < 19; k++) names += "1000000    8 255 255 255\n";
    WriteTestText(root / "names.dat", names);
}
