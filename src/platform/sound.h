// Audio and video of the platform layer: wave files played synchronously for the sound cues,
// and media clips shown in a rectangle of the main window. Qt Multimedia does the playing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] Wave files

// What the header of a RIFF wave file says; enough to know how long it plays.
struct WaveInfo {
    int formatTag = 0;       // 1 PCM, 3 floating point
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    uint32_t byteRate = 0;
    uint32_t dataOffset = 0;
    uint32_t dataBytes = 0;  // cut to what the file really holds
    int durationMs = 0;
};
// Reads the "fmt " and "data" chunks of a wave file held in memory; 0 for anything that is
// not a playable PCM or floating-point wave.
int ParseWaveHeader(const uint8_t* data, size_t size, WaveInfo* out);

// Opens a wave file for playing: a handle > 0, or 0 when the file cannot be read or is not a
// wave file.
int WaveOpen(const char* path);
// Plays an opened wave and waits until it has finished. 0 when it could not be played: no
// audio output device, a refusing back end, or no end within the sound's length plus a margin.
int WavePlay(int handle);
void WaveClose(int handle);
// 1 when the machine offers at least one audio output device.
int AudioOutputAvailable();

// [SECTION] Media clips

// Opens a clip, shown at `rect` of the main window when a rectangle is given, positioned at
// startMs when that is not negative. A device id > 0, or 0 when it cannot be opened.
int ClipOpen(const char* path, const Rect* rect, long startMs);
// Plays from the current position, once or over and over; with notify MSG_MCINOTIFY
// (wParam MCI_NOTIFY_SUCCESSFUL, lParam the device id) is posted when a single play ends.
int ClipPlay(int device, int notify, int repeat);
void ClipClose(int device);
enum : int { MCI_NOTIFY_SUCCESSFUL = 1, MCI_NOTIFY_SUPERSEDED = 2, MCI_NOTIFY_ABORTED = 4, MCI_NOTIFY_FAILURE = 8 };

// [SECTION] Test mode
// While test mode is on nothing sounds and nothing waits: files are still opened and checked,
// and what would have played is recorded.

const std::vector<std::string>& TestPlayedSounds();
void TestClearSounds();
// Makes playing fail as it does on a machine without an audio device.
void TestSetNoAudioDevice(int missing);
// What AudioOutputAvailable answers in test mode: no device until a test says otherwise.
void TestSetAudioOutput(int present);
