// Element-set files: three text lines a satellite (name, element line 1, element line 2) in the
// published two-line layout. A group file holds a few dozen satellites, the catalogue a few
// thousand. Lines are taken as a 200- or 120-byte line buffer takes them, so an overlong
// line reads as several.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/core.h"
#include "globe/satellites.h"
#include "platform/files.h"

constexpr int kSkipLine = 199;     // characters when counting and skipping
constexpr int kReadLine = 119;     // characters of the satellite being read
constexpr size_t kMaxElementFileBytes = 32u << 20;

// [SECTION] Lines and fields

struct ElementLine {
    char text[kSkipLine + 1];
    int length;
};

// The next line, up to and including its line feed, at most `limit` characters. Returns the
// number taken (0 when nothing was left); *ended is 1 when the text ran out before a line feed
// or the limit, which is when a stream would have seen its end.
static int NextLine(ByteCursor& c, int limit, ElementLine* line, int* ended) {
    int n = 0;
    *ended = 0;
    while (n < limit) {
        if (CursorLeft(c) == 0) {
            *ended = 1;
            break;
        }
        char ch = (char)ReadU8(c);
        line->text[n++] = ch;
        if (ch == '\n') break;
    }
    line->text[n] = 0;
    line->length = n;
    return n;
}

// Skips `count` lines; 0 when the text ends first.
static int SkipLines(ByteCursor& c, int64_t count) {
    ElementLine line;
    int ended;
    for (int64_t k = 0; k < count; k++)
        if (!NextLine(c, kSkipLine, &line, &ended)) return 0;
    return 1;
}

// The characters of columns first..last (counted from 1) that the line has.
static std::string Columns(const ElementLine& line, int first, int last) {
    std::string field;
    for (int k = first - 1; k < last && k < line.length; k++) field += line.text[k];
    return field;
}

// A decimal number at the start of the field as a C library would read it (blanks, sign,
// digits, fraction, exponent), but never "inf", "nan" or hexadecimal: 0 when nothing fits.
static double FieldNumber(const ElementLine& line, int first, int last) {
    std::string field = Columns(line, first, last);
    size_t k = 0;
    while (k < field.size() && (field[k] == ' ' || field[k] == '\t')) k++;
    std::string number;
    if (k < field.size() && (field[k] == '-' || field[k] == '+')) number += field[k++];
    int digits = 0;
    while (k < field.size() && field[k] >= '0' && field[k] <= '9') number += field[k++], digits++;
    if (k < field.size() && field[k] == '.') {
        number += field[k++];
        while (k < field.size() && field[k] >= '0' && field[k] <= '9') number += field[k++], digits++;
    }
    if (!digits) return 0.0;
    if (k + 1 < field.size() && (field[k] == 'e' || field[k] == 'E')) {
        size_t e = k + 1;
        std::string exponent = "e";
        if (e < field.size() && (field[e] == '-' || field[e] == '+')) exponent += field[e++];
        if (e < field.size() && field[e] >= '0' && field[e] <= '9') {
            while (e < field.size() && field[e] >= '0' && field[e] <= '9') exponent += field[e++];
            number += exponent;
        }
    }
    return strtod(number.c_str(), nullptr);
}

static int32_t FieldInteger(const ElementLine& line, int first, int last) {
    std::string field = Columns(line, first, last);
    return (int32_t)strtol(field.c_str(), nullptr, 10);   // at most five characters
}

// [SECTION] Text in memory

int CountElementSets(const uint8_t* text, size_t size) {
    ByteCursor c = MakeCursor(text, size);
    ElementLine line;
    int count = 0, ended = 0;
    for (;;) {
        for (int k = 0; k < 3 && !ended; k++) NextLine(c, kSkipLine, &line, &ended);
        if (ended) return count;
        count++;
    }
}

// The three lines of satellite i; 0 when the text ends first.
static int SatelliteLines(const uint8_t* text, size_t size, int i, ElementLine lines[3]) {
    if (i < 0) return 0;
    ByteCursor c = MakeCursor(text, size);
    if (!SkipLines(c, 3 * (int64_t)i)) return 0;
    int ended;
    for (int k = 0; k < 3; k++)
        if (!NextLine(c, kReadLine, &lines[k], &ended)) return 0;
    return 1;
}

int ParseElementSet(const uint8_t* text, size_t size, int i, SatelliteRecord* r) {
    ElementLine lines[3];
    if (!SatelliteLines(text, size, i, lines)) return 0;
    const ElementLine& one = lines[1];
    const ElementLine& two = lines[2];
    r->epoch = FieldNumber(one, 19, 32);
    r->decayRate = FieldNumber(one, 34, 43);
    r->inclination = FieldNumber(two, 9, 16);
    r->node = FieldNumber(two, 18, 25);
    r->eccentricity = FieldNumber(two, 27, 33) * 1e-7;   // the leading decimal point is implied
    r->perigee = FieldNumber(two, 34, 42);
    r->meanAnomaly = FieldNumber(two, 44, 51);
    r->meanMotion = FieldNumber(two, 53, 63);
    r->revolution = FieldInteger(two, 64, 68);
    return 1;
}

int ParseElementSetName(const uint8_t* text, size_t size, int i, char* buffer, int bufferSize) {
    if (i < 0 || bufferSize < 1) return 0;
    ByteCursor c = MakeCursor(text, size);
    ElementLine line;
    int ended;
    if (!SkipLines(c, 3 * (int64_t)i) || !NextLine(c, kReadLine, &line, &ended)) return 0;
    int n = (int)strcspn(line.text, "\r\n");
    while (n > 0 && (line.text[n - 1] == ' ' || line.text[n - 1] == '\t')) n--;
    if (n > bufferSize - 1) n = bufferSize - 1;
    memcpy(buffer, line.text, n);
    buffer[n] = 0;
    return 1;
}

// [SECTION] Files of the volume

// The whole file, data root first; "Cannot open file %s" when neither place has it.
static int ReadElementFile(const char* file, std::vector<uint8_t>* text) {
    std::string path = FindDataFile(file);
    if (path.empty() || !ReadWholeFile(path.c_str(), text, kMaxElementFileBytes)) {
        ShowMessage("Cannot open file %s", file);
        return 0;
    }
    return 1;
}

int CountSatellites(const char* file) {
    std::vector<uint8_t> text;
    if (!ReadElementFile(file, &text)) return 0;
    return CountElementSets(text.data(), text.size());
}

int ReadSatellite(const char* file, int i, SatelliteRecord* r) {
    std::vector<uint8_t> text;
    if (!ReadElementFile(file, &text)) return 0;
    return ParseElementSet(text.data(), text.size(), i, r);
}

int ReadSatelliteName(const char* file, int i, char* buffer, int size) {
    if (size < 1) return 0;
    std::vector<uint8_t> text;
    if (!ReadElementFile(file, &text)) return 0;
    if (ParseElementSetName(text.data(), text.size(), i, buffer, size)) return 1;
    ShowMessage("Unexpected end of file %s", file);
    return 0;
}
