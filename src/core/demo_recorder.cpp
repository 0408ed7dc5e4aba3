// The recorder, beyond the original design, whose demonstrations were made with tools of
// their own: started with --record FILE, it records the user's input from the click on a
// screen's demonstration button until Pause or the end of the program, into a record file
// that the same button plays back.
#include <string>

#include "core/core.h"
#include "core/demonstrations.h"
#include "platform/files.h"

static struct {
    std::string path;
    int armed;
    int recording;
    uint32_t startTime;
} recorder;

void ArmRecorder(const char* path) {
    recorder.path = path ? path : "";
    recorder.armed = !recorder.path.empty();
}

int RecorderArmed() { return recorder.armed; }
int RecordingRunning() { return recorder.recording; }

static void StopKey() { FinishRecording(); }

static void StartRecording() {
    recorder.recording = 1;
    // The playback starts where this click starts the recording: the start time is now.
    recorder.startTime = TickCount();
    StartInputRecording(StopKey);
    SetWindowCaption("Mundora (recording: Pause ends)");
}

int StartDemonstration(const char* name) {
    if (recorder.armed && !recorder.recording && !PlaybackRunning()) {
        StartRecording();
        return 1;
    }
    if (recorder.recording) return 1;  // the button pressed again while recording is recorded only
    return StartPlayback(name);
}

int FinishRecording() {
    if (!recorder.recording) return 1;
    std::vector<JournalEvent> events = StopInputRecording();
    recorder.recording = 0;
    recorder.armed = 0;
    SetWindowCaption("Mundora");
    RecordHeader header;
    header.count = (uint32_t)events.size();
    header.startTime = recorder.startTime;
    std::vector<uint8_t> bytes = EncodeRecordFile(header, events);
    if (!WriteFileAtomically(recorder.path.c_str(), bytes.data(), bytes.size())) {
        ShowMessage("Cannot write file %s", recorder.path.c_str());
        return 0;
    }
    Beep();
    return 1;
}
