// The record file's text form. Mouse events show the pointer's x and y in window pixels, the
// wheel its turn as well, keys their virtual-key code, scan code and an auto-repeat mark,
// characters their code; other kinds their number and both parameters in hexadecimal.
#include "rec_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

static const struct {
    uint32_t kind;
    const char* name;
} kNames[] = {
    {MSG_MOUSEMOVE, "mousemove"}, {MSG_LBUTTONDOWN, "lbuttondown"}, {MSG_LBUTTONUP, "lbuttonup"},
    {MSG_RBUTTONDOWN, "rbuttondown"}, {MSG_RBUTTONUP, "rbuttonup"}, {MSG_MOUSEWHEEL, "mousewheel"},
    {MSG_KEYDOWN, "keydown"}, {MSG_KEYUP, "keyup"}, {MSG_CHAR, "char"},
};
constexpr uint32_t kRepeatBit = 1u << 30;

static const char* NameOf(uint32_t kind) {
    for (auto& n : kNames)
        if (n.kind == kind) return n.name;
    return nullptr;
}

static int ParseEventLine(std::vector<std::string>& w, JournalEvent* e, std::string* why);

static void FormatEvent(const JournalEvent& e, std::string* out) {
    char line[160];
    const char* name = NameOf(e.message);
    if (!name) {
        snprintf(line, sizeof line, "%" PRIu32 " 0x%04" PRIX32 " 0x%08" PRIX32 " 0x%08" PRIX32, e.time, e.message, e.paramL, e.paramH);
    } else if (e.message == MSG_MOUSEWHEEL) {
        snprintf(line, sizeof line, "%" PRIu32 " %s %u %u %d", e.time, name, e.paramL & 0xFFFF, e.paramH & 0xFFFF, (int)(int16_t)(e.paramL >> 16));
    } else if (e.message == MSG_KEYDOWN || e.message == MSG_KEYUP) {
        snprintf(line, sizeof line, "%" PRIu32 " %s 0x%02X %u%s", e.time, name, e.paramL & 0xFF, e.paramH,
                 (e.paramL & kRepeatBit) ? " repeat" : "");
    } else if (e.message == MSG_CHAR) {
        snprintf(line, sizeof line, "%" PRIu32 " %s %u", e.time, name, e.paramL & 0xFF);
    } else {
        snprintf(line, sizeof line, "%" PRIu32 " %s %u %u", e.time, name, e.paramL & 0xFFFF, e.paramH & 0xFFFF);
    }
    // Fields the named form cannot carry (a mouse event's high word, a character's second
    // parameter) are written out raw, so that every line reads back to the same event.
    std::string named = line;
    std::istringstream words(named);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    JournalEvent back;
    std::string why;
    if (!ParseEventLine(w, &back, &why) || back.message != e.message || back.paramL != e.paramL || back.paramH != e.paramH)
        snprintf(line + strlen(line), sizeof line - strlen(line), " raw 0x%08" PRIX32 " 0x%08" PRIX32, e.paramL, e.paramH);
    *out += line;
    if (e.window) {
        snprintf(line, sizeof line, " window %" PRIu32, e.window);
        *out += line;
    }
    *out += "\n";
}

std::string FormatRecordText(const RecordText& record) {
    char line[96];
    snprintf(line, sizeof line, "%s %" PRIu32 " %" PRIu32 "\n", record.header.looping ? "loop" : "kestu", record.header.count,
             record.header.startTime);
    std::string out = "# time (ms) message parameters\n";
    out += line;
    for (const JournalEvent& e : record.events) FormatEvent(e, &out);
    return out;
}

int RecordFileToText(const std::vector<uint8_t>& bytes, std::string* text, std::string* error) {
    RecordText r;
    if (bytes.size() < kRecordHeaderSize || !ParseRecordHeader(bytes.data(), bytes.size(), &r.header)) {
        *error = "not a record file (it must start with \"kestu\" or \"loop\" in 16 bytes of header)";
        return 0;
    }
    size_t at = kRecordHeaderSize;
    for (; at + kRecordEventSize <= bytes.size(); at += kRecordEventSize) {
        JournalEvent e;
        ParseRecordEvent(bytes.data() + at, kRecordEventSize, &e);
        r.events.push_back(e);
    }
    *text = FormatRecordText(r);
    if (at != bytes.size()) *text += "# " + std::to_string(bytes.size() - at) + " bytes after the last whole event are left out\n";
    return 1;
}

// [SECTION] Reading the text

static int Number(const std::string& word, int64_t low, int64_t high, int64_t* value) {
    if (word.empty()) return 0;
    char* end = nullptr;
    long long v = strtoll(word.c_str(), &end, 0);
    if (*end || v < low || v > high) return 0;
    *value = v;
    return 1;
}

static int ParseEventLine(std::vector<std::string>& w, JournalEvent* e, std::string* why) {
    int64_t v[4] = {};
    size_t n = w.size();
    // Trailing "window N" and "raw L H" go on top of the named fields.
    int64_t window = 0, rawL = -1, rawH = -1;
    if (n >= 2 && w[n - 2] == "window") {
        if (!Number(w[n - 1], 0, UINT32_MAX, &window)) return *why = "bad window " + w[n - 1], 0;
        w.resize(n -= 2);
    }
    if (n >= 3 && w[n - 3] == "raw") {
        if (!Number(w[n - 2], 0, UINT32_MAX, &rawL) || !Number(w[n - 1], 0, UINT32_MAX, &rawH)) return *why = "bad raw parameters", 0;
        w.resize(n -= 3);
    }
    if (n < 2 || !Number(w[0], 0, UINT32_MAX, &v[0])) return *why = "a line starts with the time in milliseconds", 0;
    *e = JournalEvent{};
    e->time = (uint32_t)v[0];
    e->window = (uint32_t)window;
    const std::string& name = w[1];
    uint32_t kind = 0;
    for (auto& k : kNames)
        if (name == k.name) kind = k.kind;
    if (!kind) {
        if (n != 4 || !Number(name, 0, UINT32_MAX, &v[1]) || !Number(w[2], 0, UINT32_MAX, &v[2]) || !Number(w[3], 0, UINT32_MAX, &v[3]))
            return *why = "unknown message " + name, 0;
        e->message = (uint32_t)v[1];
        e->paramL = (uint32_t)v[2];
        e->paramH = (uint32_t)v[3];
    } else if (kind == MSG_MOUSEWHEEL) {
        if (n != 5 || !Number(w[2], 0, 65535, &v[1]) || !Number(w[3], 0, 65535, &v[2]) || !Number(w[4], -32768, 32767, &v[3]))
            return *why = "mousewheel needs x, y and the turn", 0;
        e->message = kind;
        e->paramL = (uint32_t)v[1] | ((uint32_t)(uint16_t)v[3] << 16);
        e->paramH = (uint32_t)v[2];
    } else if (kind == MSG_KEYDOWN || kind == MSG_KEYUP) {
        int repeat = n == 5 && w[4] == "repeat";
        if ((n != 4 && !repeat) || !Number(w[2], 0, 255, &v[1]) || !Number(w[3], 0, UINT32_MAX, &v[2]))
            return *why = name + " needs the key code and the scan code", 0;
        e->message = kind;
        e->paramL = (uint32_t)v[1] | (repeat ? kRepeatBit : 0);
        e->paramH = (uint32_t)v[2];
    } else if (kind == MSG_CHAR) {
        if (n != 3 || !Number(w[2], 0, 255, &v[1])) return *why = "char needs the character code", 0;
        e->message = kind;
        e->paramL = (uint32_t)v[1];
    } else {
        if (n != 4 || !Number(w[2], 0, 65535, &v[1]) || !Number(w[3], 0, 65535, &v[2])) return *why = name + " needs x and y", 0;
        e->message = kind;
        e->paramL = (uint32_t)v[1];
        e->paramH = (uint32_t)v[2];
    }
    if (rawL >= 0) {
        e->paramL = (uint32_t)rawL;
        e->paramH = (uint32_t)rawH;
    }
    return 1;
}

int ParseRecordText(const std::string& text, RecordText* out, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0, haveHeader = 0, countAll = 0;
    RecordText r;
    while (std::getline(in, line)) {
        lineNo++;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        std::string why;
        if (!haveHeader) {
            int64_t count = 0, start = 0;
            if (w.size() != 3 || (w[0] != "kestu" && w[0] != "loop") || !(w[1] == "all" || Number(w[1], 0, UINT32_MAX, &count)) ||
                !Number(w[2], 0, UINT32_MAX, &start)) {
                *error = "line " + std::to_string(lineNo) + ": the first line is \"kestu COUNT START\" or \"loop COUNT START\"";
                return 0;
            }
            r.header.looping = w[0] == "loop";
            r.header.count = (uint32_t)count;
            r.header.startTime = (uint32_t)start;
            countAll = w[1] == "all";
            haveHeader = 1;
            continue;
        }
        JournalEvent e;
        if (!ParseEventLine(w, &e, &why)) {
            *error = "line " + std::to_string(lineNo) + ": " + why;
            return 0;
        }
        r.events.push_back(e);
    }
    if (!haveHeader) {
        *error = "no header line \"kestu COUNT START\"";
        return 0;
    }
    if (countAll) r.header.count = (uint32_t)r.events.size();
    *out = r;
    return 1;
}
