// The settings dialog behind the options button (7) of every screen: sounds, monitor size,
// units, gamma, preferred colour depth, window scale, names in 3D, help prompts and the
// joystick with its calibration. Every change goes into "options.dat" at once.
#pragma once

// What a change touched; the screen behind the dialog shows it (see SettingsDialog).
enum : int {
    SETTINGS_SOUNDS = 1 << 0,
    SETTINGS_MONITOR = 1 << 1,
    SETTINGS_UNITS = 1 << 2,
    SETTINGS_GAMMA = 1 << 3,
    SETTINGS_DEPTH = 1 << 4,
    SETTINGS_WINDOW_SCALE = 1 << 5,
    SETTINGS_NAMES = 1 << 6,
    SETTINGS_PROMPTS = 1 << 7,
    SETTINGS_JOYSTICK = 1 << 8,
};

// The dialog's items, by which a script drives it as a user would.
enum : int {
    kOptSounds = 1100, kOptTestSound, kOptMonitor14, kOptMonitor15, kOptMonitor17, kOptMonitor21, kOptMetric,
    kOptImperial, kOptGammaEdit, kOptGammaApply, kOptDepthNone, kOptDepth15, kOptDepth16, kOptDepth24, kOptDepth32,
    kOptScaleAutomatic, kOptScale1, kOptScale2, kOptScale3, kOptNames, kOptPrompts, kOptJoystick, kOptCalibrate, kOptPrinter,
};
// The calibration dialog's items.
enum : int { kOptCalibrationStep = 1200, kOptCalibrationRecorded, kOptCalibrationRecord };

// Gamma values the dialog accepts; 1.00 leaves colours as they are.
constexpr double kGammaLowest = 0.25, kGammaHighest = 4.0;

// Runs the dialog. Each change is saved at once and handed to `applied` (when given) with the
// bits of what changed, so that the screen behind shows it while the dialog stays open; the
// help-prompt line, button 8 and the units switch are redrawn here. Cancel puts the record,
// the live switches and "options.dat" back as they were and reports what that changed back
// the same way. Returns the bits that differ from when the dialog opened.
int SettingsDialog(void (*applied)(int changes));

// The joystick's calibration run on its own: the centre, then the four corners, minimum and
// maximum per axis kept in the settings record. 1 when a calibration was stored; a missing
// driver or joystick is reported (cue 4 first) and gives 0.
int CalibrateJoystick();
