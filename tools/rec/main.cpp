// mundora-rec: shows a demonstration's record file as text, one line per event, and writes
// a record file from such text, for review and small edits.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "rec_text.h"

static int Usage(FILE* to) {
    fputs("Usage: mundora-rec print FILE.rec\n"
          "       mundora-rec write TEXT FILE.rec   (TEXT \"-\" reads standard input)\n"
          "Prints a demonstration's record file as text, one line per event (time in\n"
          "milliseconds, message, parameters), or writes a record file from such text.\n"
          "The first line is \"kestu COUNT START\" (or \"loop COUNT START\"); COUNT \"all\"\n"
          "plays every event that follows.\n",
          to);
    return to == stdout ? 0 : 2;
}

static int ReadAll(const char* name, std::vector<uint8_t>* out) {
    if (strcmp(name, "-") != 0) return ReadWholeFile(name, out, 256u << 20);
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, stdin)) > 0) out->insert(out->end(), buffer, buffer + n);
    return 1;
}

int main(int argc, char** argv) {
    if (argc == 2 && (!strcmp(argv[1], "--help") || !strcmp(argv[1], "-h"))) return Usage(stdout);
    std::string error;
    if (argc == 3 && !strcmp(argv[1], "print")) {
        std::vector<uint8_t> bytes;
        std::string text;
        if (!ReadAll(argv[2], &bytes)) {
            fprintf(stderr, "mundora-rec: cannot read %s\n", argv[2]);
            return 1;
        }
        if (!RecordFileToText(bytes, &text, &error)) {
            fprintf(stderr, "mundora-rec: %s: %s\n", argv[2], error.c_str());
            return 1;
        }
        fputs(text.c_str(), stdout);
        return 0;
    }
    if (argc == 4 && !strcmp(argv[1], "write")) {
        std::vector<uint8_t> bytes;
        if (!ReadAll(argv[2], &bytes)) {
            fprintf(stderr, "mundora-rec: cannot read %s\n", argv[2]);
            return 1;
        }
        RecordText record;
        if (!ParseRecordText(std::string(bytes.begin(), bytes.end()), &record, &error)) {
            fprintf(stderr, "mundora-rec: %s: %s\n", argv[2], error.c_str());
            return 1;
        }
        std::vector<uint8_t> file = EncodeRecordFile(record.header, record.events);
        if (!WriteFileAtomically(argv[3], file.data(), file.size())) {
            fprintf(stderr, "mundora-rec: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    return Usage(stderr);
}
