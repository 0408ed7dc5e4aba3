// Little-endian field readers and writers. Readers take a cursor over caller-owned bytes and
// check every read against its end; a failed read leaves the cursor marked bad.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

struct ByteCursor {
    const uint8_t* p;
    const uint8_t* end;
    int bad = 0;
};

inline ByteCursor MakeCursor(const uint8_t* data, size_t size) { return ByteCursor{data, data + size, 0}; }
inline size_t CursorLeft(const ByteCursor& c) { return c.bad ? 0 : (size_t)(c.end - c.p); }

inline int CursorTake(ByteCursor& c, size_t n, const uint8_t** out) {
    if (c.bad || (size_t)(c.end - c.p) < n) {
        c.bad = 1;
        return 0;
    }
    *out = c.p;
    c.p += n;
    return 1;
}
inline uint8_t ReadU8(ByteCursor& c) {
    const uint8_t* b;
    return CursorTake(c, 1, &b) ? b[0] : 0;
}
inline uint16_t ReadU16LE(ByteCursor& c) {
    const uint8_t* b;
    return CursorTake(c, 2, &b) ? (uint16_t)(b[0] | (b[1] << 8)) : 0;
}
inline int16_t ReadI16LE(ByteCursor& c) { return (int16_t)ReadU16LE(c); }
inline uint32_t ReadU32LE(ByteCursor& c) {
    const uint8_t* b;
    return CursorTake(c, 4, &b) ? (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24) : 0;
}
inline int32_t ReadI32LE(ByteCursor& c) { return (int32_t)ReadU32LE(c); }
inline float ReadF32LE(ByteCursor& c) {
    uint32_t u = ReadU32LE(c);
    float f;
    memcpy(&f, &u, 4);
    return f;
}
inline double ReadF64LE(ByteCursor& c) {
    uint64_t lo = ReadU32LE(c), hi = ReadU32LE(c);
    uint64_t u = lo | (hi << 32);
    double d;
    memcpy(&d, &u, 8);
    return d;
}
inline void ReadBytes(ByteCursor& c, void* out, size_t n) {
    const uint8_t* b;
    if (CursorTake(c, n, &b)) memcpy(out, b, n);
    else memset(out, 0, n);
}

// Unchecked helpers for fixed buffers whose size the caller has already checked.
inline uint16_t PeekU16LE(const uint8_t* b) { return (uint16_t)(b[0] | (b[1] << 8)); }
inline int16_t PeekI16LE(const uint8_t* b) { return (int16_t)PeekU16LE(b); }
inline uint32_t PeekU32LE(const uint8_t* b) {
    return (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
}
inline int32_t PeekI32LE(const uint8_t* b) { return (int32_t)PeekU32LE(b); }
inline void PokeU16LE(uint8_t* b, uint16_t v) { b[0] = (uint8_t)v; b[1] = (uint8_t)(v >> 8); }
inline void PokeU32LE(uint8_t* b, uint32_t v) {
    b[0] = (uint8_t)v; b[1] = (uint8_t)(v >> 8); b[2] = (uint8_t)(v >> 16); b[3] = (uint8_t)(v >> 24);
}

// Appending writers for building records in memory.
inline void WriteU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void WriteU16LE(std::vector<uint8_t>& out, uint16_t v) { out.push_back((uint8_t)v); out.push_back((uint8_t)(v >> 8)); }
inline void WriteI16LE(std::vector<uint8_t>& out, int16_t v) { WriteU16LE(out, (uint16_t)v); }
inline void WriteU32LE(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
}
inline void WriteI32LE(std::vector<uint8_t>& out, int32_t v) { WriteU32LE(out, (uint32_t)v); }
inline void WriteF32LE(std::vector<uint8_t>& out, float f) {
    uint32_t u;
    memcpy(&u, &f, 4);
    WriteU32LE(out, u);
}
inline void WriteF64LE(std::vector<uint8_t>& out, double d) {
    uint64_t u;
    memcpy(&u, &d, 8);
    WriteU32LE(out, (uint32_t)u);
    WriteU32LE(out, (uint32_t)(u >> 32));
}
inline void WriteBytes(std::vector<uint8_t>& out, const void* data, size_t n) {
    const uint8_t* b = (const uint8_t*)data;
    out.insert(out.end(), b, b + n);
}
