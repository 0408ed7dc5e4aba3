// End to end: the settings button of the 2D map and of the globe opens the settings dialog on
// the small volume; what it changes shows on the screen behind it at once and is what the
// next start reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/screens.h"
#include "globe/globe.h"
#include "imaging/panel_buttons.h"
#include "map2d/map2d.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "print/settings_dialog.h"
#include "support/test_volume.h"
#include "e2e/user_data_root.h"

namespace fs = std::filesystem;

namespace {

// The volume the test run's "e2e_volume" step builds beside the test program.
std::string Volume() { return fs::read_symlink("/proc/self/exe").parent_path().string() + "/e2e-volume"; }

struct SettingsViewer : ::testing::Test {
    TempFolder root, xdg;
    std::string savedCwd;
    void SetUp() override {
        PrepareUserDataRoot(Volume(), root, xdg);
        if (HasFatalFailure()) return;
        savedCwd = CurrentDirectory();
        Start();
    }
    // Started from the data root, as a user starts it (start-up moves into the volume).
    void Start() {
        ChangeDirectory(root.path.c_str());
        ResetShellState();
        TestClearShown();
        ASSERT_EQ(InitInstance(), 1) << TestLastMessage();
        TestPumpMessages();
    }
    void Stop() {
        Shutdown();
        DestroyMainWindow();
        ResetShellState();
    }
    void TearDown() override {
        Stop();
        ChangeDirectory(savedCwd.c_str());
        unsetenv("XDG_DATA_HOME");
    }
    void ToMap() {
        TestInjectClick(400, 300);  // title page -> room
        TestInjectClick(200, 150);  // the room's start button
        TestPumpMessages();
        ASSERT_EQ(screenMode, 3);
    }
    static void ClickSettings() {
        const PanelButton* b = FindPanelButton(7);
        TestInjectClick(b->x + b->w / 2, b->y + b->h / 2);
    }
    std::vector<uint8_t> Stored() { return ReadTestFile(root / "options.dat"); }
    // The status line as the window shows it, where the map's scale is written.
    static std::vector<uint32_t> StatusLinePixels() {
        std::vector<uint32_t> p;
        Surface* w = WindowSurface();
        for (int y = statusRect.top; y < statusRect.bottom; y++)
            for (int x = statusRect.left; x < statusRect.right; x++) p.push_back(SurfacePixels(w)[(size_t)y * SurfaceStride(w) + x]);
        return p;
    }
};

TEST_F(SettingsViewer, FromTheMapAndTheGlobeKeptOverARestart) {
    ToMap();
    double scale14 = MapScale();
    double scaleSeen = 0;
    std::vector<uint32_t> statusBefore = StatusLinePixels(), statusSeen;
    TestPushDialogScript([&](Dialog* d) {
        TestDialogCommand(d, kOptMonitor21);
        scaleSeen = MapScale();
        statusSeen = StatusLinePixels();  // the map behind already shows the new scale
        TestDialogCommand(d, kOptImperial);
        TestDialogCommand(d, kOptNames);
        TestDialogCommand(d, IDOK);
    });
    ClickSettings();
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_TRUE(TestShownMessages().empty()) << TestLastMessage();
    ASSERT_EQ(TestShownDialogs().back(), "Program Settings");
    // A larger screen shows the same window at a smaller scale: 1:N with N 14/21 as large.
    EXPECT_NEAR(scaleSeen, scale14 * 14.0 / 21.0, scale14 * 1e-6);
    EXPECT_TRUE(statusSeen != statusBefore) << "the status line was not redrawn";
    ASSERT_EQ(Stored().size(), 60u);
    EXPECT_EQ(Stored()[28], 21);
    EXPECT_EQ(Stored()[56], 1);

    // The globe's settings button: the units back to metric, prompts on.
    TestInjectClick(754, 12);
    TestPushDialogScript([](Dialog* d) {
        TestDialogCommand(d, kOptMetric);
        TestDialogCommand(d, kOptPrompts);
        TestDialogCommand(d, IDOK);
    });
    ClickSettings();
    TestInjectKey(VK_ESCAPE);
    TestPumpMessages();
    EXPECT_EQ(screenMode, 3);
    EXPECT_EQ(Stored()[56], 0);
    EXPECT_EQ(Stored()[52], 1);

    // Kept over a restart.
    Stop();
    Start();
    EXPECT_EQ(options.monitorInches, 21);
    EXPECT_EQ(imperialUnits, 0u);
    EXPECT_EQ(namesOn3D, 1u);
    EXPECT_EQ(helpPromptsOn, 1u);
}

}  // namespace
