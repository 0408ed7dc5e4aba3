// The record file of a demonstration: its header and 20-byte events, read and written field
// by field. The playback, the recorder and the record tool share this one reader.
#include <cstring>

#include "core/demonstrations.h"
#include "platform/le_bytes.h"

int ParseRecordHeader(const uint8_t* bytes, size_t size, RecordHeader* header) {
    ByteCursor c = MakeCursor(bytes, size);
    uint8_t keyword[8];
    ReadBytes(c, keyword, sizeof keyword);
    RecordHeader h;
    h.count = ReadU32LE(c);
    h.startTime = ReadU32LE(c);
    if (c.bad) return 0;
    // Only the keyword and its terminator count; what follows the terminator is not read.
    if (memcmp(keyword, "loop", 5) == 0) h.looping = 1;
    else if (memcmp(keyword, "kestu", 6) != 0) return 0;
    *header = h;
    return 1;
}

int ParseRecordEvent(const uint8_t* bytes, size_t size, JournalEvent* event) {
    ByteCursor c = MakeCursor(bytes, size);
    JournalEvent e;
    e.message = ReadU32LE(c);
    e.paramL = ReadU32LE(c);
    e.paramH = ReadU32LE(c);
    e.time = ReadU32LE(c);
    e.window = ReadU32LE(c);
    if (c.bad) return 0;
    *event = e;
    return 1;
}

std::vector<uint8_t> EncodeRecordFile(const RecordHeader& header, const std::vector<JournalEvent>& events) {
    std::vector<uint8_t> out;
    uint8_t keyword[8] = {};
    memcpy(keyword, header.looping ? "loop" : "kestu", header.looping ? 4 : 5);
    WriteBytes(out, keyword, sizeof keyword);
    WriteU32LE(out, header.count);
    WriteU32LE(out, header.startTime);
    for (const JournalEvent& e : events) {
        WriteU32LE(out, e.message);
        WriteU32LE(out, e.paramL);
        WriteU32LE(out, e.paramH);
        WriteU32LE(out, e.time);
        WriteU32LE(out, e.window);
    }
    return out;
}
