// A record file as text, one line per event, for review and small edits: the header line
// "kestu COUNT START" (or "loop ..."), then "TIME NAME FIELDS" per event. COUNT may be "all",
// the number of events that follow.
#pragma once

#include <string>
#include <vector>

#include "core/demonstrations.h"

struct RecordText {
    RecordHeader header;
    std::vector<JournalEvent> events;
};

// The text of a record file's bytes; 0 with the reason in *error when they are not one.
int RecordFileToText(const std::vector<uint8_t>& bytes, std::string* text, std::string* error);
// The events of a text; 0 with "line N: reason" in *error.
int ParseRecordText(const std::string& text, RecordText* out, std::string* error);
std::string FormatRecordText(const RecordText& record);
