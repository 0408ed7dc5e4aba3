// The information texts of the satellite groups: written by hand under content/sats, each with
// a line "@EPOCHS@" that the builder replaces by how old the group's element sets are.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "satellites.h"

static const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};

// "20 January 2018" from "2018-01-20".
static std::string LongDate(const std::string& iso) {
    int year = 0, month = 0, day = 0;
    if (sscanf(iso.c_str(), "%d-%d-%d", &year, &month, &day) != 3 || month < 1 || month > 12) return iso;
    return std::to_string(day) + " " + kMonths[month - 1] + " " + std::to_string(year);
}

static std::string GroupSentence(const GroupSummary& g) {
    if (g.count == 0) return std::string("This volume holds no element sets of ") + g.group->title + ".";
    std::string title = g.group->title;
    title[0] = (char)toupper((unsigned char)title[0]);
    std::string from = g.range.substr(0, 10), to = g.range.substr(g.range.size() - 10);
    std::string sentence = title + " on this volume: " + std::to_string(g.count) + ", with element sets ";
    if (from == to) return sentence + "of " + LongDate(from) + ".";
    return sentence + "from " + LongDate(from) + " to " + LongDate(to) + ".";
}

// The viewer does not wrap lines, so sentences are broken at 80 characters.
static void AppendWrapped(const std::string& sentence, std::string* out) {
    std::string line;
    size_t at = 0;
    while (at < sentence.size()) {
        size_t space = sentence.find(' ', at);
        std::string word = sentence.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? sentence.size() : space + 1;
        if (!line.empty() && line.size() + 1 + word.size() > 80) *out += line + "\r\n", line.clear();
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) *out += line + "\r\n";
}

std::string FillEpochLines(const std::string& text, const char* textName, const std::vector<GroupSummary>& groups) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line != "@EPOCHS@") {
            out += line + "\r\n";
            continue;
        }
        for (const GroupSummary& g : groups)
            if (strcmp(g.group->text, textName) == 0) AppendWrapped(GroupSentence(g), &out);
    }
    return out;
}

int WriteGroupTexts(BuildContext& ctx, const std::string& folder, const std::vector<GroupSummary>& groups) {
    int ok = 1;
    std::vector<std::string> done;
    for (const GroupSummary& g : groups) {
        std::string name = g.group->text;
        if (std::find(done.begin(), done.end(), name) != done.end()) continue;
        done.push_back(name);
        std::string path = folder + "/" + name.substr(strlen("sats\\"));
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path.c_str(), &bytes, 1u << 20)) {
            ReportMissing(ctx, name.c_str(), ("its text " + path + " cannot be read").c_str());
            ok = 0;
            continue;
        }
        std::string text = FillEpochLines(std::string(bytes.begin(), bytes.end()), name.c_str(), groups);
        ok = WriteVolumeFile(ctx, name.c_str(), text.data(), text.size()) && ok;
    }
    ReportLine(ctx, "satellites: %zu information texts from %s, each stating the epochs of its groups", done.size(),
               folder.c_str());
    return ok;
}
