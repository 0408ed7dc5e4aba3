// The joystick, read through SDL2's joystick API: the first device attached, its first two
// axes and its buttons. SDL is started on first use, for the joystick only.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/test_double.h"

static struct {
    int started = 0;         // 1 running, -1 failed to start
    SDL_Joystick* device = nullptr;
    int testStatus = JOY_UNPLUGGED;
    JoystickReading testReading;
} joy;

static int StartJoystickSubsystem() {
    if (joy.started) return joy.started > 0;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Qt owns the signals
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    joy.started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 ? 1 : -1;
    return joy.started > 0;
}

static int OpenFirstJoystick() {
    if (joy.device && SDL_JoystickGetAttached(joy.device)) return 1;
    if (joy.device) SDL_JoystickClose(joy.device);
    joy.device = nullptr;
    if (SDL_NumJoysticks() < 1) return 0;
    joy.device = SDL_JoystickOpen(0);
    return joy.device != nullptr;
}

int ReadJoystick(JoystickReading* reading) {
    if (TestModeEnabled()) {
        if (joy.testStatus == JOY_OK) *reading = joy.testReading;
        return joy.testStatus;
    }
    if (!StartJoystickSubsystem()) return JOY_NO_DRIVER;
    SDL_JoystickUpdate();  // also notices devices plugged in or pulled out
    if (!OpenFirstJoystick()) return JOY_UNPLUGGED;
    reading->x = SDL_JoystickGetAxis(joy.device, 0) + 32768;
    reading->y = SDL_JoystickGetAxis(joy.device, 1) + 32768;
    reading->buttons = 0;
    int buttons = SDL_JoystickNumButtons(joy.device);
    for (int i = 0; i < buttons && i < 32; i++)
        if (SDL_JoystickGetButton(joy.device, i)) reading->buttons |= 1u << i;
    return JOY_OK;
}

void StopJoystick() {
    if (joy.device) SDL_JoystickClose(joy.device);
    joy.device = nullptr;
    if (joy.started > 0) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    joy.started = 0;
}

void TestSetJoystick(int status, int x, int y, uint32_t buttons) {
    joy.testStatus = status;
    joy.testReading.x = x;
    joy.testReading.y = y;
    joy.testReading.buttons = buttons;
}
