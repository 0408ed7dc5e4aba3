// The seven cue sounds, synthesised: short, soft-edged tones and noises written as 16-bit mono
// PCM wave files at 22,050 Hz.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/le_bytes.h"
#include "volume.h"

static const int kRate = 22050;

std::vector<uint8_t> EncodeWave16(const std::vector<float>& samples, int rate) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = (uint32_t)samples.size() * 2;
    const char* riff = "RIFF";
    for (int i = 0; i < 4; i++) WriteU8(out, (uint8_t)riff[i]);
    WriteU32LE(out, 36 + dataBytes);
    const char* wavefmt = "WAVEfmt ";
    for (int i = 0; i < 8; i++) WriteU8(out, (uint8_t)wavefmt[i]);
    WriteU32LE(out, 16);
    WriteU16LE(out, 1);             // PCM
    WriteU16LE(out, 1);             // mono
    WriteU32LE(out, (uint32_t)rate);
    WriteU32LE(out, (uint32_t)rate * 2);
    WriteU16LE(out, 2);             // block align
    WriteU16LE(out, 16);            // bits per sample
    const char* data = "data";
    for (int i = 0; i < 4; i++) WriteU8(out, (uint8_t)data[i]);
    WriteU32LE(out, dataBytes);
    for (float s : samples) {
        float c = std::max(-1.0f, std::min(1.0f, s));
        WriteU16LE(out, (uint16_t)(int16_t)std::lround(c * 32767));
    }
    return out;
}

// A struck tone: fundamental with soft partials, a 4 ms attack and an exponential decay.
static void AddTone(std::vector<float>& buf, double start, double freq, double length, double gain, double decay) {
    int from = (int)(start * kRate), n = (int)(length * kRate);
    if ((int)buf.size() < from + n) buf.resize(from + n, 0);
    for (int i = 0; i < n; i++) {
        double t = (double)i / kRate;
        double env = std::min(1.0, t / 0.004) * std::exp(-t * decay) * std::min(1.0, (length - t) / 0.01);
        double v = std::sin(2 * M_PI * freq * t) + 0.3 * std::sin(4 * M_PI * freq * t) + 0.08 * std::sin(6 * M_PI * freq * t);
        buf[from + i] += (float)(gain * env * v / 1.38);
    }
}

// A tone whose pitch glides from f0 to f1.
static void AddGlide(std::vector<float>& buf, double start, double f0, double f1, double length, double gain, double decay) {
    int from = (int)(start * kRate), n = (int)(length * kRate);
    if ((int)buf.size() < from + n) buf.resize(from + n, 0);
    double phase = 0;
    for (int i = 0; i < n; i++) {
        double t = (double)i / kRate;
        double f = f0 + (f1 - f0) * t / length;
        phase += 2 * M_PI * f / kRate;
        double env = std::min(1.0, t / 0.005) * std::exp(-t * decay) * std::min(1.0, (length - t) / 0.015);
        buf[from + i] += (float)(gain * env * (std::sin(phase) + 0.25 * std::sin(2 * phase)));
    }
}

// Band-passed noise whose centre sweeps from f0 to f1: a soft whoosh.
static void AddSweep(std::vector<float>& buf, double start, double f0, double f1, double length, double gain) {
    int from = (int)(start * kRate), n = (int)(length * kRate);
    if ((int)buf.size() < from + n) buf.resize(from + n, 0);
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> noise(-1, 1);
    double low = 0, band = 0;
    for (int i = 0; i < n; i++) {
        double t = (double)i / kRate;
        double f = f0 * std::pow(f1 / f0, t / length);
        double q = 2 * std::sin(M_PI * f / kRate);
        double high = noise(rng) - low - 0.5 * band;  // state-variable filter
        band += q * high;
        low += q * band;
        double env = std::sin(M_PI * t / length);
        buf[from + i] += (float)(gain * env * band);
    }
}

static std::vector<float> CueSamples(const char* name) {
    std::vector<float> b;
    if (!strcmp(name, "panel.wav")) {           // two rising notes: a panel opens
        AddTone(b, 0, 659.25, 0.16, 0.35, 14);
        AddTone(b, 0.07, 987.77, 0.2, 0.3, 12);
    } else if (!strcmp(name, "click.wav")) {    // a short, bright tick
        AddTone(b, 0, 1800, 0.035, 0.45, 110);
        AddTone(b, 0, 3600, 0.02, 0.12, 200);
    } else if (!strcmp(name, "error2.wav")) {   // two falling low notes
        AddTone(b, 0, 392.0, 0.13, 0.4, 16);
        AddTone(b, 0.13, 311.13, 0.2, 0.4, 12);
    } else if (!strcmp(name, "error.wav")) {    // a soft low bump
        AddGlide(b, 0, 260, 170, 0.24, 0.5, 9);
    } else if (!strcmp(name, "slide2.wav")) {   // a rising whoosh
        AddSweep(b, 0, 400, 2400, 0.26, 0.9);
    } else if (!strcmp(name, "process.wav")) {  // a rising major arpeggio: work is done
        const double notes[4] = {523.25, 659.25, 783.99, 1046.5};
        for (int i = 0; i < 4; i++) AddTone(b, i * 0.08, notes[i], 0.5 - i * 0.05, 0.26, 7);
    } else if (!strcmp(name, "touch.wav")) {    // a gentle tap
        AddTone(b, 0, 1174.66, 0.07, 0.3, 45);
    }
    // Room to end cleanly and no sample beyond full scale.
    float peak = 0;
    for (float s : b) peak = std::max(peak, std::fabs(s));
    if (peak > 0.9f)
        for (float& s : b) s *= 0.9f / peak;
    b.resize(b.size() + kRate / 100, 0);
    return b;
}

static const char* kCueFiles[7] = {"panel.wav", "click.wav", "error2.wav", "error.wav", "slide2.wav", "process.wav", "touch.wav"};

int BuildSounds(BuildContext& ctx) {
    std::string self = BuilderExecutablePath();
    int ok = 1, written = 0;
    for (const char* name : kCueFiles) {
        if (VolumeFileUpToDate(ctx, name, {self})) continue;
        ok = WriteVolumeFile(ctx, name, EncodeWave16(CueSamples(name), kRate)) && ok;
        written++;
    }
    ReportLine(ctx, "sounds: 7 cue sounds, %d written", written);
    return ok;
}

std::string BuilderExecutablePath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    path[n] = 0;
    return path;
}
