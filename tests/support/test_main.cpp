// Test entry: the toolkit runs offscreen and the platform's test double answers every box
// and runs animations without their pauses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/test_double.h"

int main(int argc, char** argv) {
    // Always offscreen; a run may give the offscreen screens a configuration of its own.
    const char* platform = getenv("QT_QPA_PLATFORM");
    if (!platform || strncmp(platform, "offscreen", 9) != 0) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    PlatformInit(0, nullptr);
    TestModeEnable(1);
    TestSkipPauses(1);
    int result = RUN_ALL_TESTS();
    PlatformShutdown();
    return result;
}
