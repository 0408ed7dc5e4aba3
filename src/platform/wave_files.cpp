// The header of RIFF wave files: where the samples are and how long they play. Used to
// refuse files that are no sound before the audio back end sees them, and to bound the wait.
#include <cstring>

#include "platform/le_bytes.h"
#include "platform/sound.h"

static int ChunkIs(const uint8_t* id, const char* name) { return memcmp(id, name, 4) == 0; }

int ParseWaveHeader(const uint8_t* data, size_t size, WaveInfo* out) {
    *out = WaveInfo();
    ByteCursor c = MakeCursor(data, size);
    uint8_t riff[4], wave[4];
    ReadBytes(c, riff, 4);
    ReadU32LE(c);
    ReadBytes(c, wave, 4);
    if (c.bad || !ChunkIs(riff, "RIFF") || !ChunkIs(wave, "WAVE")) return 0;
    int haveFormat = 0;
    while (CursorLeft(c) >= 8) {
        uint8_t id[4];
        ReadBytes(c, id, 4);
        uint32_t length = ReadU32LE(c);
        size_t start = (size_t)(c.p - data);
        if (ChunkIs(id, "fmt ")) {
            if (length < 16 || CursorLeft(c) < 16) return 0;
            out->formatTag = ReadU16LE(c);
            out->channels = ReadU16LE(c);
            out->sampleRate = (int)ReadU32LE(c);
            out->byteRate = ReadU32LE(c);
            ReadU16LE(c);  // block alignment
            out->bitsPerSample = ReadU16LE(c);
            haveFormat = 1;
        } else if (ChunkIs(id, "data")) {
            if (!haveFormat) return 0;
            out->dataOffset = (uint32_t)start;
            size_t left = size - start;
            out->dataBytes = length < left ? length : (uint32_t)left;
            break;
        }
        // Chunks are padded to an even length.
        size_t next = start + (size_t)length + (length & 1);
        if (next > size || next < start) return 0;
        c.p = data + next;
    }
    if (!haveFormat || out->dataOffset == 0) return 0;
    int pcm = out->formatTag == 1 && (out->bitsPerSample == 8 || out->bitsPerSample == 16 || out->bitsPerSample == 24 || out->bitsPerSample == 32);
    int real = out->formatTag == 3 && out->bitsPerSample == 32;
    if (!pcm && !real) return 0;
    if (out->channels < 1 || out->channels > 8 || out->sampleRate < 1000 || out->sampleRate > 384000) return 0;
    uint32_t expectedRate = (uint32_t)out->sampleRate * (uint32_t)out->channels * (uint32_t)(out->bitsPerSample / 8);
    if (out->byteRate != expectedRate) return 0;
    out->durationMs = (int)((uint64_t)out->dataBytes * 1000 / out->byteRate);
    return 1;
}
