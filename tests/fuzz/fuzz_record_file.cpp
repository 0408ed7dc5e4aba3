// Fuzz target for demonstration record files: any file either is refused with its message or
// plays to its end (the count, the end of the file, or a stop after a few wraps of a loop),
// and prints as text that reads back to the same events.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "core/demonstrations.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "rec_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path;
    if (path.empty()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        PlatformInit(0, nullptr);
        TestModeEnable(1);
        // Recorded delays of up to 24 days play in a millisecond or two.
        TestSetReplaySpeed(1 << 30);
        char pattern[] = "/tmp/mundora-fuzz-record-XXXXXX";
        path = std::string(mkdtemp(pattern) ? pattern : "/tmp") + "/demo.rec";
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    TestClearShown();
    RecordHeader h;
    int valid = size >= kRecordHeaderSize && ParseRecordHeader(data, size, &h);
    int started = StartPlayback(path.c_str());
    if (started != valid) abort();
    if (!started) {
        if (TestShownMessages().size() != 1 || TestLastMessage() != "Invalid file format for " + path) abort();
        return 0;
    }
    size_t events = (size - kRecordHeaderSize) / kRecordEventSize;
    size_t limit = h.looping ? 3 * events + 3 : std::min<size_t>(events, h.count ? h.count : 1);
    size_t replayed = 0;
    Message m;
    while (GetMessage(&m)) {
        if (m.replayed) replayed++;
        if (replayed > limit) abort();
        if (h.looping && replayed == limit) StopPlayback();
    }
    if (PlaybackRunning() || InputReplayRunning()) abort();
    if (TestLastMessage() != "End of playback") abort();

    std::string text, error;
    RecordText back;
    if (!RecordFileToText(std::vector<uint8_t>(data, data + size), &text, &error)) abort();
    if (!ParseRecordText(text, &back, &error)) abort();
    if (back.events.size() != events) abort();
    std::vector<uint8_t> again = EncodeRecordFile(back.header, back.events);
    if (memcmp(again.data() + 8, data + 8, again.size() - 8) != 0) abort();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<JournalEvent> events;
    const uint32_t kinds[] = {0x0200, 0x0201, 0x0202, 0x020A, 0x0100, 0x0101, 0x0102, 0x0012};
    for (int i = 0; i < 8; i++) {
        JournalEvent e;
        e.message = kinds[i];
        e.paramL = 100 + i;
        e.paramH = 200 + i;
        e.time = 1000 + 10 * i;
        events.push_back(e);
    }
    RecordHeader once;
    once.count = 5;
    once.startTime = 990;
    RecordHeader loop = once;
    loop.looping = 1;
    return {EncodeRecordFile(once, events), EncodeRecordFile(loop, events), std::vector<uint8_t>(EncodeRecordFile(once, {}))};
}
