// Reading published element sets: three-line and two-line text as CelesTrak and Space-Track
// publish it, keyed catalogues with category lists, and merging them into one set per object
// at its newest epoch.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "satellites.h"

// Lines end at CR LF, LF or a lone CR, as the viewer's reader ends them.
static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        while (!line.empty() && strchr(" \t", line.back())) line.pop_back();
        lines.push_back(line);
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

static std::string Trim(const std::string& s) {
    size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Space-Track writes "0 " before each name; CelesTrak's lists may end a name with a status
// mark such as " [+]" (operational) or " [-]" (not), which is kept apart from the name.
static std::string CleanName(const std::string& line, char* status) {
    std::string name = Trim(line);
    if (name.size() > 2 && name[0] == '0' && name[1] == ' ') name = Trim(name.substr(2));
    size_t n = name.size();
    if (n > 4 && name[n - 1] == ']' && name[n - 3] == '[' && name[n - 4] == ' ') {
        *status = name[n - 2];
        name = Trim(name.substr(0, n - 4));
    }
    return name;
}

static std::string CatalogueOf(const std::string& line) {
    std::string number = Trim(line.size() >= 7 ? line.substr(2, 5) : "");
    if (number.find_first_not_of("0123456789") != std::string::npos) return number;  // alpha-5 numbers stay
    size_t nonZero = number.find_first_not_of('0');
    return nonZero == std::string::npos ? (number.empty() ? "" : "0") : number.substr(nonZero);
}

// An element line: its line number, a blank, and the columns the viewer reads (up to 68).
static int IsElementLine(const std::string& line, char number) {
    return line.size() >= 68 && line[0] == number && line[1] == ' ';
}

static int IsElementPair(const std::string& a, const std::string& b) {
    return IsElementLine(a, '1') && IsElementLine(b, '2') && CatalogueOf(a) == CatalogueOf(b) &&
           !CatalogueOf(a).empty();
}

static void AddSet(const std::string& name, const std::string& l1, const std::string& l2, ElementFile* file) {
    ElementSet s;
    s.name = CleanName(name, &s.status);
    s.line1 = l1, s.line2 = l2;
    s.catalogue = CatalogueOf(l1);
    s.epoch = EpochOfLine(l1);
    if (s.epoch <= 0) {
        file->badLines += 2;
        return;
    }
    file->sets.push_back(s);
}

void ParseElementText(const std::string& text, ElementFile* file) {
    std::vector<std::string> lines = SplitLines(text);
    size_t i = 0;
    while (i < lines.size()) {
        if (Trim(lines[i]).empty()) {
            i++;
        } else if (i + 1 < lines.size() && IsElementPair(lines[i], lines[i + 1])) {
            AddSet("", lines[i], lines[i + 1], file);
            i += 2;
        } else if (i + 2 < lines.size() && IsElementPair(lines[i + 1], lines[i + 2])) {
            AddSet(lines[i], lines[i + 1], lines[i + 2], file);
            i += 3;
        } else {
            file->badLines++;
            i++;
        }
    }
}

void ParseKeyedElements(const std::string& text, ElementFile* file) {
    std::string name, l1;
    for (const std::string& line : SplitLines(text)) {
        if (line.rfind("[", 0) == 0)
            name.clear(), l1.clear();
        else if (line.rfind("NAME=", 0) == 0)
            name = line.substr(5);
        else if (line.rfind("TLE1=", 0) == 0)
            l1 = line.substr(5);
        else if (line.rfind("TLE2=", 0) == 0) {
            std::string l2 = line.substr(5);
            if (IsElementPair(l1, l2))
                AddSet(name, l1, l2, file);
            else
                file->badLines++;
            l1.clear();
        }
    }
}

int ReadElementFile(const std::string& path, ElementFile* file) {
    std::vector<uint8_t> bytes;
    file->path = path;
    if (!ReadWholeFile(path.c_str(), &bytes, 512u << 20)) {
        BuildError("Cannot read the element sets %s", path.c_str());
        return 0;
    }
    std::string text(bytes.begin(), bytes.end());
    if (text.find("TLE1=") != std::string::npos)
        ParseKeyedElements(text, file);
    else
        ParseElementText(text, file);
    return 1;
}

void ParseCategoryList(const std::string& text, const std::string& category,
                       std::multimap<std::string, std::string>* categories) {
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 1; i < lines.size(); i++) {
        std::string number = Trim(lines[i]);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) continue;
        size_t nonZero = number.find_first_not_of('0');
        categories->insert({nonZero == std::string::npos ? "0" : number.substr(nonZero), category});
    }
}

// Catalogue numbers sort as numbers; alpha-5 numbers (a letter first) come after 99999.
static bool CatalogueBefore(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<ElementSet> NewestPerObject(const std::vector<const ElementFile*>& files) {
    std::map<std::string, ElementSet, bool (*)(const std::string&, const std::string&)> byNumber(CatalogueBefore);
    for (const ElementFile* f : files)
        for (const ElementSet& s : f->sets) {
            auto it = byNumber.find(s.catalogue);
            if (it == byNumber.end()) {
                byNumber.insert({s.catalogue, s});
            } else if (s.epoch >= it->second.epoch) {
                ElementSet older = it->second;
                it->second = s;
                if (s.name.empty()) it->second.name = older.name;
                if (!s.status) it->second.status = older.status;
            } else {
                if (it->second.name.empty()) it->second.name = s.name;
                if (!it->second.status) it->second.status = s.status;
            }
        }
    std::vector<ElementSet> out;
    for (auto& entry : byNumber) {
        out.push_back(entry.second);
        if (out.back().name.empty()) out.back().name = entry.first;
    }
    return out;
}

static int IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

static double Field(const std::string& line, size_t column, size_t width) {
    if (line.size() < column - 1 + width) return NAN;
    std::string text = Trim(line.substr(column - 1, width));
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    return text.empty() || *end ? NAN : v;
}

double EpochOfLine(const std::string& line1) {
    double twoDigits = Field(line1, 19, 2), day = Field(line1, 21, 12);
    if (std::isnan(twoDigits) || std::isnan(day) || twoDigits < 0 || twoDigits != std::floor(twoDigits)) return 0;
    // Two-digit years 57..99 are 1957..1999, the rest this century.
    int year = (int)twoDigits + (twoDigits < 57 ? 2000 : 1900);
    if (day < 1 || day >= 366 + IsLeapYear(year)) return 0;
    return year * 1000.0 + day;
}

double EpochDays(double epoch) {
    int year = (int)(epoch / 1000);
    double days = epoch - year * 1000.0 - 1;
    for (int y = 1950; y < year; y++) days += 365 + IsLeapYear(y);
    return days;
}

std::string EpochDate(double epoch) {
    int year = (int)(epoch / 1000);
    int day = (int)(epoch - year * 1000.0);
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    for (; month < 11; month++) {
        int length = lengths[month] + (month == 1 && IsLeapYear(year));
        if (day <= length) break;
        day -= length;
    }
    char text[16];
    snprintf(text, sizeof text, "%04d-%02d-%02d", year, month + 1, day);
    return text;
}

std::string EpochRange(const std::vector<ElementSet>& sets) {
    if (sets.empty()) return "no element sets";
    double oldest = sets[0].epoch, newest = sets[0].epoch;
    for (const ElementSet& s : sets) oldest = std::min(oldest, s.epoch), newest = std::max(newest, s.epoch);
    return EpochDate(oldest) + " to " + EpochDate(newest);
}

double MeanMotion(const ElementSet& s) { return Field(s.line2, 53, 11); }
double Inclination(const ElementSet& s) { return Field(s.line2, 9, 8); }
