// The flyby screen's own pieces, shared by its files and its tests: the flight controls, the
// joystick, the start-point picker, the panel on the right and the display options.
#pragma once

#include <cstdint>
#include <vector>

#include "core/core.h"
#include "flyby/flyby.h"

// [SECTION] Flight controls (flyby_controls.cpp)

// Kilometres flown in one frame per unit of speed: at the top speed of 5 the aircraft covers
// 0.1 km a frame, 6 km a second at sixty frames, and crosses its 512 km window in 85 s.
constexpr float kFlybyKmPerFrame = 0.02f;
constexpr float kFlybySpeedStep = 0.02f, kFlybyTopSpeed = 5.0f;
constexpr float kFlybyAltitudeStep = 0.2f, kFlybyLowestAltitude = 2.0f, kFlybyHighestAltitude = 40.0f;
constexpr float kFlybyClearance = 2.0f, kFlybyClearanceRise = 0.5f;
constexpr int kFlybyHeadingStep = 2, kFlybySkyStep = 8;
// The climb pad sets at most this many height units a frame, the step of Page Up and Down.
constexpr float kFlybyTopClimb = 0.2f;

// The directions a key or the joystick gives.
enum : int { FLY_LEFT = 1, FLY_RIGHT = 2, FLY_UP = 4, FLY_DOWN = 8 };

// What the controls add to the flight beyond the design's fields: the climb pad's rate.
struct FlybyControls {
    float climb = 0.0f;       // height units a frame, -kFlybyTopClimb .. kFlybyTopClimb
    int joystick = 0;         // the joystick is read this flight
    std::vector<uint32_t> pendingKeys;  // key-downs taken from the queue before their frame
};
extern FlybyControls flybyControls;

// Keeps a key-down the screen took from the queue between frames for the next frame.
void HoldFlybyKey(uint32_t key);
// The controls of one frame: the keys held since the last frame and those still queued, in
// order, then one joystick reading. 1 when Escape asks to leave (the keys after it are left).
int ReadFlybyControls(FlybyFlight* f, int skyWidth);
// Applies one key of the flight to it: Up/Down speed, Left/Right heading (with the sky),
// Page Up/Down altitude. 1 when the key was one of them.
int ApplyFlybyKey(FlybyFlight* f, uint32_t key, int skyWidth);
// Applies the directions of a joystick reading (FLY_* bits) as the arrow keys would.
void ApplyFlybyDirections(FlybyFlight* f, int directions, int skyWidth);
// The unit vector of a heading in whole degrees, from the table at 0.1-degree steps: east
// (+x) and south (+y) components.
void FlybyHeadingVector(int heading, float* east, float* south);
// The ground under the aircraft at (x, y) km in height units, as the frame draws it (0 outside
// the grids or before any window).
float FlybyGroundUnder(const FlybyGrids& g, float x, float y);
// One frame of flight after the controls: velocity from speed and heading, the position
// moved by it, the sky's drift, the climb pad and the ground clearance.
void AdvanceFlyby(FlybyFlight* f, float ground, float climb, int skyWidth);
// Keeps the aircraft inside the world (256 km from its edges); at an edge it stops.
void KeepFlybyInsideWorld(FlybyFlight* f);

// [SECTION] The joystick

// The FLY_* directions of a reading through the calibration of the settings: each axis mapped
// to 0..10000, below 2500 or above 7500 counting as a direction.
int JoystickDirections(const JoystickReading& r, const OptionsRecord& o);
// 1 when the settings hold no calibration (every calibration field 0).
int JoystickUncalibrated(const OptionsRecord& o);
// Switches the joystick on for the flight after its checks: calibration, driver, plugged in;
// each failure plays the error cue and says so. 1 when it is on.
int StartFlybyJoystick();
// Once a frame: the directions of a reading, 0 when it fails (ignored in flight).
int ReadFlybyJoystick();

// [SECTION] Start point (flyby_start.cpp)

// The point of the world picture under window pixel (x, y), in km; 0 outside the picture.
int FlybyStartAt(int x, int y, float* km_x, float* km_y);
// Runs the picker over the view area until a point is clicked (1, the position set on f),
// Escape (0, *leaveCode -1) or a tab (0, *leaveCode its screen's code).
int PickFlybyStart(FlybyFlight* f, int* leaveCode);

// [SECTION] The panel (flyby_panel.cpp)

// Loads the panel's pictures (the dial and track masks, the needle symbol, the bar fills); a
// missing one has been reported and leaves that piece of the view plain.
void OpenFlybyPanel();
void CloseFlybyPanel();
// Draws the heading dial, the ALT and SPEED bars, the position readout and the two tracks
// for the flight as it is, on the window (only what changed unless `all`).
void DrawFlybyPanel(const FlybyFlight& f, const FlybyGrids& g, int all);
// A click on the dial or the tracks: sets heading, speed or climb; 1 when it took the click.
int FlybyPanelClick(FlybyFlight* f, int x, int y);
// The heading a click on the dial at window pixel (x, y) gives, -1 at its very centre.
int DialHeadingAt(int x, int y);
// The speed a click on the throttle track gives, and the climb rate of one on the climb pad.
float ThrottleSpeedAt(int x);
float ClimbRateAt(int y);
// The readout's texts: latitude, longitude and altitude ("1,234 m" or "4,049 ft").
void FlybyReadoutTexts(const FlybyFlight& f, const FlybyGrids& g, int imperial, std::string* lat,
                       std::string* lon, std::string* alt);

// [SECTION] Display options (flyby_options.cpp)

extern FlybyDisplay flybyDisplay;
// The "Display Options" panel over the view: its five switches until OK or Enter (kept) or
// Escape (undone). 1 when something changed.
int FlybyDisplayOptions();
