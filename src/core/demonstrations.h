// Recorded demonstrations: the record file format, its playback through the platform's input
// replay, and the recorder that makes such files from the user's input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] Record files (record_file.cpp)
// A 16-byte header (an 8-byte keyword: "kestu" plays once, "loop" repeats; the number of
// events to play; the start time in milliseconds) and 20-byte events in the JournalEvent
// layout, all little-endian.

constexpr size_t kRecordHeaderSize = 16;
constexpr size_t kRecordEventSize = 20;

struct RecordHeader {
    int looping = 0;
    uint32_t count = 0;      // events to play (a "kestu" recording)
    uint32_t startTime = 0;  // TickCount when recording began
};

// Reads the header from its 16 bytes; 0 when the keyword is neither "kestu" nor "loop".
int ParseRecordHeader(const uint8_t* bytes, size_t size, RecordHeader* header);
// Reads one event from its 20 bytes; 0 when fewer are given.
int ParseRecordEvent(const uint8_t* bytes, size_t size, JournalEvent* event);
// The whole file: header and events.
std::vector<uint8_t> EncodeRecordFile(const RecordHeader& header, const std::vector<JournalEvent>& events);

// [SECTION] Playback (demo_playback.cpp)

// Plays a record file of the data volume ("manual\2d.rec"; in the 640x480 layout the one
// under "640\" in the data root). A playback already running is stopped first. Shows
// "Cannot open file %s" or "Invalid file format for %s" and returns 0 when it cannot start.
int StartPlayback(const char* name);
// Stops a running playback with its "End of playback" box; does nothing when none runs.
void StopPlayback();
int PlaybackRunning();

// [SECTION] The recorder (demo_recorder.cpp), beyond the original design

// Arms the recorder with the file to write (the command line's --record).
void ArmRecorder(const char* path);
int RecorderArmed();
int RecordingRunning();
// The demonstration button of every screen: starts the recording when the recorder is armed
// and not yet recording, else plays the screen's demonstration.
int StartDemonstration(const char* name);
// Ends a recording and writes its file atomically ("Cannot write file %s" on failure); 1
// when written or when nothing was being recorded. The recorder is then disarmed.
int FinishRecording();
