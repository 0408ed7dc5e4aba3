// What every subsystem reads: the data root and temporary folder, the screen layout and its
// rectangles, the settings record, the screen mode, the data-file lookup, the sound cues and
// media clips.
// Start-up fills this state once; the views read it and never reach up into the shell.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/platform.h"

// [SECTION] Global state established at start-up (shell_state.cpp)

extern int screenMode;
extern uint8_t labelSwitches[8];
extern Surface* hbmVirtual;  // the off-screen image of the whole window
extern FontSpec fhGeneric;   // the generic text font
extern int fhGenericCreated;
// Clears the screen mode, the switches and the settings flags; tests restart through this.
void ResetCoreState();

// [SECTION] Screen layout (screen_layout.cpp)

extern int smallLayout;      // 640x480 layout with the "640\" bitmap set
extern int screenWidth, screenHeight;
extern Rect mapRect, statusRect, legendRect;
// Sets mapRect, statusRect and legendRect for the layout.
void SetLayoutRectangles();
// The help-prompt line at the bottom left, which the progress indicator also covers.
Rect PromptLineRect();

// [SECTION] Settings (settings.cpp)

// The 60-byte settings record kept in "options.dat".
struct OptionsRecord {
    uint8_t version;           // always 1
    uint8_t windowScale;       // offset 1, beyond the original design: 0 automatic, else 1..3
    int32_t joyCentreX, joyCentreY, joyMinX, joyMinY, joyMaxX, joyMaxY;
    uint8_t monitorInches;     // 14, 15, 17 or 21
    float gamma;
    uint8_t preferredDepth;    // 15, 16, 24, 32 or 0
    uint8_t soundsOn;
    uint32_t carried;          // offset 40: kept unchanged through every save
    uint8_t gammaInUse;
    uint8_t joystickOn;
    uint32_t namesOn3D;
    uint32_t helpPrompts;
    uint32_t imperialUnits;
};
extern OptionsRecord options;
// The live switches; copied into the record at every save.
extern uint32_t namesOn3D, helpPromptsOn, imperialUnits;

struct GammaTable {
    uint8_t entry[256];
    int enabled;
};
extern GammaTable gammaTable;

constexpr int kOptionsSize = 60;
void EncodeOptions(const OptionsRecord& o, uint8_t out[kOptionsSize]);
void DecodeOptions(const uint8_t in[kOptionsSize], OptionsRecord* o);
// Loads "options.dat" from the data root; 1 when a valid record was read (defaults otherwise).
// Without any file (a fresh install) sounds start on when the machine has an audio output.
int LoadSettings();
// Writes "options.dat" in the data root; 1 when the file could be written. Sounds switched off
// by a failing sound are written as the user left them (see soundsFailedThisRun).
int SaveSettings();
void BuildGammaTable(double gamma);
// Sets the gamma value with its in-use flag (on when it differs from 1.0 by 0.01 or more).
void SetGammaSetting(float gamma);
inline uint8_t GammaLookup(uint8_t v) { return gammaTable.enabled ? gammaTable.entry[v] : v; }
// Joystick axis value mapped to 0..10000 with 5000 at the calibrated centre.
int JoystickAxis(int raw, int centre, int minimum, int maximum);
// 1 when the record holds a calibration: on both axes minimum < centre < maximum.
int JoystickCalibrated(const OptionsRecord& o);

// [SECTION] Data files (data_files.cpp)

extern char dataRoot[256];   // the working directory at start-up (absolute), or "."
extern char tempDir[256];    // dataRoot + "\tmp": every scratch file lives here
// "%s\%s" with the data root; the path stays written the volume's way (backslashes).
std::string DataRootPath(const char* relative);
std::string TempPath(const char* name);
// Opens a data file first under the data root, then by its bare relative path (the volume).
FILE* OpenDataFile(const char* relative, const char* mode);
// The real path OpenDataFile would open, or "" when neither exists.
std::string FindDataFile(const char* relative);

// [SECTION] Sound cues (sound_cues.cpp)

// Cue numbers: the wave files "panel.wav" .. "touch.wav", in the data root or on the volume.
enum : int { CUE_PANEL = 1, CUE_CLICK = 2, CUE_ERROR2 = 3, CUE_ERROR = 4, CUE_SLIDE = 5, CUE_PROCESS = 6, CUE_TOUCH = 7 };
// Plays a cue synchronously. Cues outside 1..7 do nothing; with sounds off the error cues
// (3 and 4) give the default beep and the others stay silent.
void PlayCue(int cue);
// Plays a wave file and waits until it has finished; 1 when it played. A file that cannot
// be opened shows "Cannot open file %s"; any failure switches sounds off for the run.
int PlaySoundFile(const char* name);
// 1 while sounds are off only because a sound failed this run: options.dat keeps them on.
extern int soundsFailedThisRun;
// The user's own choice of the sounds switch (the settings dialog): it replaces a switch-off
// that a failing sound made.
void SetSoundsSetting(int on);

// [SECTION] Media clips (media_clips.cpp)

// A media clip shown in a rectangle of the main window. Returns a device id, or 0 after
// showing "Cannot open file %s". startMs < 0: play from the beginning.
int OpenMediaClip(const char* name, const Rect* rect, long startMs);
// Plays from the current position; with notify the window gets MSG_MCINOTIFY when it ends.
int PlayMediaClip(int device, int notify, int repeat);
void CloseMediaClip(int device);
