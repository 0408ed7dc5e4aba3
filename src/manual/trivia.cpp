// The quiz's files: the question file "manual\trivia.txt" (a count, then six lines a question)
// and the progress file "trivia.tmp", which keeps the index of the next question between runs.
// The question file holds a few hundred short lines; only the lines up to the one asked are read.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "manual/manual.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

// Reads one line into a kTriviaLineSize buffer, cut at its line feed (and a carriage return
// before it). A line longer than the buffer keeps its first kTriviaLineSize - 1 characters and
// the rest is passed over, so a long line never shifts the questions after it.
// 0 at the end of the file.
static int ReadTriviaLine(FILE* f, char line[kTriviaLineSize]) {
    line[0] = 0;
    if (!fgets(line, kTriviaLineSize, f)) {
        line[0] = 0;
        return 0;
    }
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = 0;
    } else if (length == (size_t)kTriviaLineSize - 1) {
        int c;
        while ((c = fgetc(f)) != EOF && c != '\n') {}
    }
    if (length > 0 && line[length - 1] == '\r') line[--length] = 0;
    return 1;
}

int ReadTriviaQuestion(FILE* f, int* index, TriviaQuestion* q) {
    memset(q, 0, sizeof *q);
    char line[kTriviaLineSize];
    ReadTriviaLine(f, line);
    long count = strtol(line, nullptr, 10);
    if (count <= 0 || count > 0x7FFFFFFF) {
        *index = 0;
        return 0;
    }
    int n = (int)count;
    // The stored index may come from an earlier, longer question file: it wraps round.
    int i = *index < 0 ? 0 : *index % n;
    q->number = i;
    int ended = 0;
    for (long skip = (long)i * 6; skip > 0 && !ended; skip--) ended = !ReadTriviaLine(f, line);
    if (!ended) {
        ReadTriviaLine(f, q->question);
        for (int k = 0; k < 4; k++) ReadTriviaLine(f, q->answers[k]);
        ReadTriviaLine(f, q->judgement);
    }
    *index = i + 1 == n ? 0 : i + 1;
    return n;
}

// [SECTION] Progress

int LoadTriviaIndex() {
    FILE* f = OpenFile(TempPath("trivia.tmp").c_str(), "rb");
    if (!f) return 0;
    uint8_t bytes[4];
    size_t got = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    ByteCursor c = MakeCursor(bytes, got);
    int32_t index = ReadI32LE(c);
    return c.bad || index < 0 ? 0 : index;
}

int SaveTriviaIndex(int index) {
    std::vector<uint8_t> bytes;
    WriteI32LE(bytes, index);
    return WriteFileAtomically(TempPath("trivia.tmp").c_str(), bytes.data(), bytes.size());
}
