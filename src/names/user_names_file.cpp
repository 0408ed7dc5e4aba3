// "userdef.dat", the user's own place names: 80-byte name records with class 1 and flags 0,
// usually a few dozen. It is the user's data, so it is checked before use, never replaced by an
// empty list, and written atomically with the version it replaces kept as "userdef.bak".
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "names/names.h"
#include "names/user_names.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

// A million names: far beyond any list typed by hand, and still a small table.
constexpr int64_t kLargestUserNamesFile = 80000000;

std::string UserNamesPath() { return TempPath("userdef.dat"); }
std::string UserNamesBackupPath() { return TempPath("userdef.bak"); }

static float F32At(const uint8_t* b) {
    uint32_t u = PeekU32LE(b);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

static void PutF32(uint8_t* b, float f) {
    uint32_t u;
    memcpy(&u, &f, 4);
    PokeU32LE(b, u);
}

int CheckUserNamesBytes(const uint8_t* data, size_t size, std::string* problem) {
    char text[160];
    if (size % kNameRecordSize) {
        snprintf(text, sizeof text, "its size (%zu bytes) is not a whole number of %d-byte records", size,
                 (int)kNameRecordSize);
        *problem = text;
        return 0;
    }
    ByteCursor c = MakeCursor(data, size);
    for (size_t i = 0; CursorLeft(c) >= kNameRecordSize; i++) {
        float lat = ReadF32LE(c), lon = ReadF32LE(c);
        const uint8_t* name = nullptr;
        CursorTake(c, kNameRecordNameBytes, &name);
        ReadU8(c);
        ReadU8(c);
        if (c.bad) break;
        const char* what = nullptr;
        if (!memchr(name, 0, kNameRecordNameBytes)) what = "its name has no end";
        else if (!std::isfinite(lat) || lat < -90 || lat > 90) what = "its latitude is not between -90 and 90 degrees";
        else if (!std::isfinite(lon) || lon < -180 || lon > 180) what = "its longitude is not between -180 and 180 degrees";
        if (what) {
            snprintf(text, sizeof text, "record %zu: %s", i + 1, what);
            *problem = text;
            return 0;
        }
    }
    return 1;
}

void DecodeUserNameRecord(const uint8_t* in, UserNameRecord* r) {
    r->lat = F32At(in);
    r->lon = F32At(in + 4);
    memcpy(r->name, in + 8, sizeof r->name);
    r->name[sizeof r->name - 1] = 0;
    r->cls = in[78];
    r->flags = in[79];
}

void EncodeUserNameRecord(const UserNameRecord& r, uint8_t* out) {
    PutF32(out, r.lat);
    PutF32(out + 4, r.lon);
    memset(out + 8, 0, kNameRecordNameBytes);
    memcpy(out + 8, r.name, strnlen(r.name, kUserNameUsedBytes));
    out[78] = r.cls;
    out[79] = r.flags;
}

static std::string DamagedMessage(const std::string& path, const std::string& problem) {
    return "The file " + ResolvePath(path.c_str()) + " of your place names is damaged: " + problem +
           ". It has been left as it is. Move it away (userdef.bak beside it holds the version before your "
           "last change) before you edit your place names again.";
}

int ReadUserNamesFile(std::vector<uint8_t>* out, std::string* message) {
    out->clear();
    std::string path = UserNamesPath();
    if (!FileExists(path.c_str())) return 1;
    FILE* f = OpenFile(path.c_str(), "rb");
    if (!f) {
        *message = "Cannot open file userdef.dat";
        return 0;
    }
    int64_t length = OpenFileLength(f);
    if (length < 0 || length > kLargestUserNamesFile) {
        fclose(f);
        *message = length < 0 ? std::string("Cannot open file userdef.dat")
                              : DamagedMessage(path, "it is larger than any list of names (" + std::to_string(length) +
                                                         " bytes)");
        return 0;
    }
    out->resize((size_t)length);
    size_t got = length ? fread(out->data(), 1, out->size(), f) : 0;
    fclose(f);
    if (got != out->size()) {
        out->clear();
        *message = "Cannot open file userdef.dat";
        return 0;
    }
    std::string problem;
    if (!CheckUserNamesBytes(out->data(), out->size(), &problem)) {
        out->clear();
        *message = DamagedMessage(path, problem);
        return 0;
    }
    return 1;
}

int WriteUserNamesFile(const std::vector<uint8_t>& bytes) {
    std::string path = UserNamesPath();
    std::vector<uint8_t> previous;
    if (FileExists(path.c_str())) {
        if (!ReadWholeFile(path.c_str(), &previous, (size_t)kLargestUserNamesFile * 2)) return 0;
        if (previous == bytes) return 1;
        // The version being replaced goes to the backup first: a crash between the two renames
        // leaves the old list in both files, never none.
        if (!previous.empty() &&
            !WriteFileAtomically(UserNamesBackupPath().c_str(), previous.data(), previous.size()))
            return 0;
    }
    return WriteFileAtomically(path.c_str(), bytes.data(), bytes.size());
}
