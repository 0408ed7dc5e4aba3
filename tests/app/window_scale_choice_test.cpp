// The window's scale chosen from the screen, the setting and MUNDORA_SCALE.
#include <gtest/gtest.h>

#include "app/app.h"

namespace {

// A screen of w x h device pixels with a panel of 48 device pixels and the usual frame.
ScreenScaleFacts Screen(double dpr, int w, int h, int panel = 48) {
    ScreenScaleFacts s;
    s.devicePixelRatio = dpr;
    s.screenWidth = w;
    s.screenHeight = h;
    s.availableWidth = w;
    s.availableHeight = h - panel;
    s.frameWidth = (int)(8 * dpr + 0.5);
    s.frameHeight = (int)(32 * dpr + 0.5);
    return s;
}

TEST(WindowScaleChoice, FromTheScreenTheSettingAndTheEnvironment) {
    struct Case {
        const char* what;
        ScreenScaleFacts screen;
        int clientWidth, clientHeight, setting;
        const char* environment;
        int factor, framed;
    } cases[] = {
        {"a laptop at ratio 1", Screen(1.0, 1366, 768), 800, 600, 0, nullptr, 1, 1},
        {"full HD at ratio 1: 1200 rows do not fit in 1080", Screen(1.0, 1920, 1080), 800, 600, 0, nullptr, 1, 1},
        {"1600 x 1200: exactly the screen, frameless as the original on a screen of its size", Screen(1.0, 1600, 1200), 800, 600, 0, nullptr, 2, 0},
        {"1680 x 1200: 2 would need its frame too", Screen(1.0, 1680, 1200), 800, 600, 0, nullptr, 1, 1},
        {"a large screen at ratio 1 takes the largest that fits", Screen(1.0, 2560, 1440), 800, 600, 0, nullptr, 2, 1},
        {"4K at ratio 1", Screen(1.0, 3840, 2160), 800, 600, 0, nullptr, 3, 1},
        {"ratio 1.5 on 2880 x 1620", Screen(1.5, 2880, 1620), 800, 600, 0, nullptr, 2, 1},
        {"ratio 2 on 2560 x 1600", Screen(2.0, 2560, 1600), 800, 600, 0, nullptr, 2, 1},
        {"ratio 2 on a screen too small for 2", Screen(2.0, 1600, 1000), 800, 600, 0, nullptr, 1, 1},
        {"ratio 3 on 4K: 3 fits", Screen(3.0, 3840, 2160), 800, 600, 0, nullptr, 3, 1},
        {"ratio 3 where 3 does not fit with its frame", Screen(3.0, 2560, 1800), 800, 600, 0, nullptr, 2, 1},
        {"an empty 2400 x 1800 desktop: 3 covers it", Screen(1.0, 2400, 1800, 0), 800, 600, 0, nullptr, 3, 0},
        {"the small layout on a 640 screen stays frameless", Screen(1.0, 640, 480, 0), 640, 480, 0, nullptr, 1, 0},
        {"the small layout scales the same way", Screen(1.0, 1920, 1200), 640, 480, 0, nullptr, 2, 1},
        {"the setting wins over the screen", Screen(1.0, 3840, 2160), 800, 600, 1, nullptr, 1, 1},
        {"the setting may ask for more than fits", Screen(1.0, 1366, 768), 800, 600, 2, nullptr, 2, 0},
        {"a setting out of range is automatic", Screen(1.0, 3840, 2160), 800, 600, 7, nullptr, 3, 1},
        {"the environment wins over the setting", Screen(1.0, 3840, 2160), 800, 600, 1, "2", 2, 1},
        {"an empty variable is unset", Screen(1.0, 3840, 2160), 800, 600, 1, "", 1, 1},
    };
    for (const Case& c : cases) {
        WindowScaleChoice got = ChooseWindowScale(c.screen, c.clientWidth, c.clientHeight, c.setting, c.environment);
        EXPECT_EQ(got.factor, c.factor) << c.what;
        EXPECT_EQ(got.framed, c.framed) << c.what;
        EXPECT_EQ(got.note, "") << c.what;
    }
}

// Anything but 1, 2 or 3 is ignored with a line saying so; the choice goes on without it.
TEST(WindowScaleChoice, InvalidEnvironmentIsNamedAndIgnored) {
    for (const char* text : {"0", "4", "2.0", "two", " 2", "22", "-1"}) {
        WindowScaleChoice got = ChooseWindowScale(Screen(1.0, 3840, 2160), 800, 600, 2, text);
        EXPECT_EQ(got.factor, 2) << text;  // the setting's
        EXPECT_EQ(got.note, std::string("mundora: MUNDORA_SCALE=") + text + ": the scale must be 1, 2 or 3; ignored");
    }
}

}  // namespace
