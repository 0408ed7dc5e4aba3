// Playback of a recorded demonstration: the record file is read one event at a time and each
// event handed to the platform's input replay after its delay, so every screen sees it as the
// user's own input. A "kestu" recording ends after its count, a "loop" one when cancelled.
#include <cstring>
#include <string>

#include "core/core.h"
#include "core/demonstrations.h"
#include "platform/files.h"

static struct {
    int playing;
    int looping;
    FILE* file;
    uint32_t count;         // events to play
    uint32_t delivered;     // events taken by the program so far
    JournalEvent current;
    int haveCurrent;        // current holds an event still to deliver
    uint32_t previousTime;  // time of the event before current (the start time at first)
    int pendingStop;        // the file ended: stop at the next message the program takes
    int heldByModal;        // a dialog or message box holds the events
} playback;

int PlaybackRunning() { return playback.playing; }

static int ReadNextEvent() {
    uint8_t bytes[kRecordEventSize];
    size_t got = fread(bytes, 1, sizeof bytes, playback.file);
    return ParseRecordEvent(bytes, got, &playback.current);
}

// The file ran out before the count: the stop waits for the next message the program takes,
// and an empty one is queued so that an idle program takes one soon.
static void StopAtNextMessage() {
    playback.haveCurrent = 0;
    playback.pendingStop = 1;
    PostMessage(MSG_NULL, 0, 0);
}

static int NextEvent(JournalEvent* event, int32_t* delayMs) {
    if (!playback.playing || !playback.haveCurrent) return 0;
    *event = playback.current;
    *delayMs = (int32_t)(playback.current.time - playback.previousTime);
    playback.previousTime = playback.current.time;
    return 1;
}

static void SkipEvent() {
    if (!playback.playing) return;
    if (playback.looping) {
        if (ReadNextEvent()) return;
        // The end of a looping recording: a beep, and round again from the first event.
        Beep();
        fseek(playback.file, (long)kRecordHeaderSize, SEEK_SET);
        playback.delivered = 0;
        if (!ReadNextEvent()) StopAtNextMessage();
        return;
    }
    // The event just taken was the last of the count: nothing more is read.
    if (++playback.delivered >= playback.count) {
        StopPlayback();
        return;
    }
    if (!ReadNextEvent()) StopAtNextMessage();
}

static void SystemModal(int on) { playback.heldByModal = on; }

static void Monitor(const Message& msg) {
    if (playback.pendingStop) {
        playback.pendingStop = 0;
        StopPlayback();
        return;
    }
    if (msg.kind == MSG_CANCELJOURNAL) StopPlayback();
}

// The 640x480 layout reads its own recordings, under "640\" in the data root; the 800x600 one
// reads them from the volume.
static FILE* OpenRecordFile(const char* name) {
    if (smallLayout) {
        char path[600];
        snprintf(path, sizeof path, "%s\\640\\%s", dataRoot, name);
        return OpenFile(path, "rb");
    }
    return OpenFile(name, "rb");
}

int StartPlayback(const char* name) {
    if (playback.playing) StopPlayback();
    playback.pendingStop = 0;
    FILE* f = OpenRecordFile(name);
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    uint8_t header[kRecordHeaderSize];
    RecordHeader h;
    size_t got = fread(header, 1, sizeof header, f);
    if (got < sizeof header || !ParseRecordHeader(header, got, &h)) {
        fclose(f);
        ShowMessage("Invalid file format for %s", name);
        return 0;
    }
    playback.file = f;
    playback.looping = h.looping;
    playback.count = h.count;
    playback.delivered = 0;
    playback.previousTime = h.startTime;
    playback.heldByModal = 0;
    playback.playing = 1;
    playback.haveCurrent = ReadNextEvent();
    if (!playback.haveCurrent) StopAtNextMessage();
    InputReplaySource source;
    source.nextEvent = NextEvent;
    source.skip = SkipEvent;
    source.systemModal = SystemModal;
    source.monitor = Monitor;
    StartInputReplay(source);
    return 1;
}

void StopPlayback() {
    if (!playback.playing) return;
    StopInputReplay();
    fclose(playback.file);
    playback.file = nullptr;
    playback.playing = 0;
    playback.haveCurrent = 0;
    playback.pendingStop = 0;
    MessageBox("End of playback", "", MB_OK);
    RaiseMainWindow();
    Beep();
}
