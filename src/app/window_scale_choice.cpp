// How large the window shows the program's 800 x 600 (or 640 x 480) pixels on today's screens:
// a whole factor of 1 to 3, so every pixel stays a crisp block. The environment overrides the
// setting, which overrides the choice made from the screen.
#include <cstdlib>
#include <cstring>

#include "app/app.h"

constexpr int kLargestScale = 3;

// A window of the factor fits on the screen with its frame, or covers the screen exactly
// (then without a frame, as the original's window did on a screen of its own size).
static int Fits(const ScreenScaleFacts& s, int w, int h, int factor) {
    if (w * factor == s.screenWidth && h * factor == s.screenHeight) return 1;
    return w * factor + s.frameWidth <= s.availableWidth && h * factor + s.frameHeight <= s.availableHeight;
}

// The variable's value as 1..3, 0 when unset or empty, -1 when it is anything else.
static int EnvironmentScale(const char* text) {
    if (!text || !*text) return 0;
    if (strlen(text) == 1 && text[0] >= '1' && text[0] <= '0' + kLargestScale) return text[0] - '0';
    return -1;
}

WindowScaleChoice ChooseWindowScale(const ScreenScaleFacts& screen, int clientWidth, int clientHeight,
                                    int setting, const char* environment) {
    WindowScaleChoice choice;
    int forced = EnvironmentScale(environment);
    if (forced < 0) {
        choice.note = std::string("mundora: MUNDORA_SCALE=") + environment + ": the scale must be 1, 2 or 3; ignored";
        forced = 0;
    }
    if (!forced && setting >= 1 && setting <= kLargestScale) forced = setting;
    if (forced) {
        choice.factor = forced;
    } else {
        // Sizes are in device pixels, so the largest factor that fits is never below the
        // rounded device pixel ratio when a window of that factor fits.
        choice.factor = 1;
        for (int f = kLargestScale; f > 1 && choice.factor == 1; f--)
            if (Fits(screen, clientWidth, clientHeight, f)) choice.factor = f;
    }
    // As the original's window on a screen no wider than itself: no frame.
    choice.framed = !(screen.screenWidth > 0 && screen.screenWidth <= clientWidth * choice.factor);
    return choice;
}
