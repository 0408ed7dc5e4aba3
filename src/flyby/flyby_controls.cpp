// The flight controls of the flyby: what a key or the joystick does to speed, heading and
// altitude, and one frame of flight (the aircraft moved by its velocity, kept off the ground).
// Plain functions over the flight so the tests drive them with injected keys.
#include <cmath>

#include "flyby/flyby_render_internal.h"
#include "flyby/flyby_screen.h"

FlybyControls flybyControls;

static int WrapSky(int offset, int width) {
    if (width <= 0) return 0;
    offset %= width;
    return offset < 0 ? offset + width : offset;
}

static void Turn(FlybyFlight* f, int step, int skyWidth) {
    f->heading = ((f->heading + step) % 360 + 360) % 360;
    // The sky turns with the aircraft so the horizon keeps its clouds where they were.
    f->skyOffset = WrapSky(f->skyOffset + (step > 0 ? kFlybySkyStep : -kFlybySkyStep), skyWidth);
}

int ApplyFlybyKey(FlybyFlight* f, uint32_t key, int skyWidth) {
    switch (key) {
    case VK_UP:
        if (f->speed < kFlybyTopSpeed) f->speed = std::fmin(kFlybyTopSpeed, f->speed + kFlybySpeedStep);
        return 1;
    case VK_DOWN:
        if (f->speed > -kFlybyTopSpeed) f->speed = std::fmax(-kFlybyTopSpeed, f->speed - kFlybySpeedStep);
        return 1;
    case VK_LEFT: Turn(f, -kFlybyHeadingStep, skyWidth); return 1;
    case VK_RIGHT: Turn(f, kFlybyHeadingStep, skyWidth); return 1;
    case VK_PRIOR:
        if (f->altitude < kFlybyHighestAltitude) f->altitude = std::fmin(kFlybyHighestAltitude, f->altitude + kFlybyAltitudeStep);
        return 1;
    case VK_NEXT:
        if (f->altitude > kFlybyLowestAltitude) f->altitude = std::fmax(kFlybyLowestAltitude, f->altitude - kFlybyAltitudeStep);
        return 1;
    default: return 0;
    }
}

void ApplyFlybyDirections(FlybyFlight* f, int directions, int skyWidth) {
    if (directions & FLY_LEFT) ApplyFlybyKey(f, VK_LEFT, skyWidth);
    if (directions & FLY_RIGHT) ApplyFlybyKey(f, VK_RIGHT, skyWidth);
    if (directions & FLY_UP) ApplyFlybyKey(f, VK_UP, skyWidth);
    if (directions & FLY_DOWN) ApplyFlybyKey(f, VK_DOWN, skyWidth);
}

void HoldFlybyKey(uint32_t key) { flybyControls.pendingKeys.push_back(key); }

int ReadFlybyControls(FlybyFlight* f, int skyWidth) {
    Message m;
    while (PeekMessageInRange(&m, MSG_KEYDOWN, MSG_KEYDOWN, 1)) HoldFlybyKey((uint32_t)m.wParam);
    std::vector<uint32_t> keys;
    keys.swap(flybyControls.pendingKeys);
    for (uint32_t key : keys) {
        if (key == VK_ESCAPE) return 1;
        ApplyFlybyKey(f, key, skyWidth);
    }
    ApplyFlybyDirections(f, ReadFlybyJoystick(), skyWidth);
    return 0;
}

// [SECTION] Motion

static struct {
    float east[3600], south[3600];
    int built;
} headings;

void FlybyHeadingVector(int heading, float* east, float* south) {
    if (!headings.built) {
        for (int i = 0; i < 3600; i++) {
            double radians = i * 0.1 * M_PI / 180.0;
            headings.east[i] = (float)std::sin(radians);
            headings.south[i] = (float)-std::cos(radians);  // heading 0 is north, where y falls
        }
        headings.built = 1;
    }
    int i = ((heading % 360 + 360) % 360) * 10;
    *east = headings.east[i];
    *south = headings.south[i];
}

float FlybyGroundUnder(const FlybyGrids& g, float x, float y) {
    if (!g.prepared || g.heights.size() < (size_t)kFlybyGrid * kFlybyGrid) return 0.0f;
    float column = (x - g.west) / (g.east - g.west) * kFlybyGrid, row = (y - g.north) / (g.south - g.north) * kFlybyGrid;
    if (column < 0 || row < 0 || column >= kFlybyGrid || row >= kFlybyGrid) return 0.0f;
    return FlybyGroundHeight(g, column, row);
}

void AdvanceFlyby(FlybyFlight* f, float ground, float climb, int skyWidth) {
    float east, south;
    FlybyHeadingVector(f->heading, &east, &south);
    f->vx = f->speed * east;
    f->vy = f->speed * south;
    f->x += f->vx * kFlybyKmPerFrame;
    f->y += f->vy * kFlybyKmPerFrame;
    f->skyOffset = WrapSky(f->skyOffset + 1, skyWidth);
    if (climb > 0 && f->altitude < kFlybyHighestAltitude) f->altitude = std::fmin(kFlybyHighestAltitude, f->altitude + climb);
    if (climb < 0 && f->altitude > kFlybyLowestAltitude) f->altitude = std::fmax(kFlybyLowestAltitude, f->altitude + climb);
    if (f->altitude < ground + kFlybyClearance) f->altitude += kFlybyClearanceRise;
}

void KeepFlybyInsideWorld(FlybyFlight* f) {
    float vx = f->vx, vy = f->vy;
    ClampFlybyPosition(f);
    // The velocity follows the speed every frame, so stopping means the speed too.
    if ((vx != 0 || vy != 0) && f->vx == 0 && f->vy == 0) f->speed = 0;
}

// [SECTION] The joystick

int JoystickDirections(const JoystickReading& r, const OptionsRecord& o) {
    int x = JoystickAxis(r.x, o.joyCentreX, o.joyMinX, o.joyMaxX);
    int y = JoystickAxis(r.y, o.joyCentreY, o.joyMinY, o.joyMaxY);
    int directions = 0;
    if (x < 2500) directions |= FLY_LEFT;
    if (x > 7500) directions |= FLY_RIGHT;
    if (y < 2500) directions |= FLY_UP;
    if (y > 7500) directions |= FLY_DOWN;
    return directions;
}

int JoystickUncalibrated(const OptionsRecord& o) {
    return !o.joyCentreX && !o.joyCentreY && !o.joyMinX && !o.joyMinY && !o.joyMaxX && !o.joyMaxY;
}

int StartFlybyJoystick() {
    flybyControls.joystick = 0;
    if (JoystickUncalibrated(options)) {
        PlayCue(CUE_ERROR);
        ShowMessage("You have not calibrated the joystick yet");
        return 0;
    }
    JoystickReading r;
    int status = ReadJoystick(&r);
    if (status == JOY_NO_DRIVER) {
        PlayCue(CUE_ERROR);
        ShowMessage("The software driver for the joystick has not been installed yet.");
        return 0;
    }
    if (status != JOY_OK) {
        PlayCue(CUE_ERROR);
        ShowMessage("The joystick is not plugged into your computer");
        return 0;
    }
    flybyControls.joystick = 1;
    return 1;
}

int ReadFlybyJoystick() {
    if (!flybyControls.joystick) return 0;
    JoystickReading r;
    if (ReadJoystick(&r) != JOY_OK) return 0;  // a reading lost in flight costs one frame only
    return JoystickDirections(r, options);
}
