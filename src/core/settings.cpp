// The settings record "options.dat": 60 bytes in the data root, read and written field by
// field, and the gamma table built from it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "platform/le_bytes.h"
#include "platform/sound.h"

OptionsRecord options;
uint32_t namesOn3D, helpPromptsOn, imperialUnits;
GammaTable gammaTable;

void EncodeOptions(const OptionsRecord& o, uint8_t out[kOptionsSize]) {
    memset(out, 0, kOptionsSize);
    out[0] = o.version;
    out[1] = o.windowScale;  // a spare byte of the record: the window's HiDPI scale
    PokeU32LE(out + 4, (uint32_t)o.joyCentreX);
    PokeU32LE(out + 8, (uint32_t)o.joyCentreY);
    PokeU32LE(out + 12, (uint32_t)o.joyMinX);
    PokeU32LE(out + 16, (uint32_t)o.joyMinY);
    PokeU32LE(out + 20, (uint32_t)o.joyMaxX);
    PokeU32LE(out + 24, (uint32_t)o.joyMaxY);
    out[28] = o.monitorInches;
    uint32_t g;
    memcpy(&g, &o.gamma, 4);
    PokeU32LE(out + 32, g);
    out[36] = o.preferredDepth;
    out[37] = o.soundsOn;
    PokeU32LE(out + 40, o.carried);
    out[44] = o.gammaInUse;
    out[45] = o.joystickOn;
    PokeU32LE(out + 48, o.namesOn3D);
    PokeU32LE(out + 52, o.helpPrompts);
    PokeU32LE(out + 56, o.imperialUnits);
}

void DecodeOptions(const uint8_t in[kOptionsSize], OptionsRecord* o) {
    o->version = in[0];
    o->windowScale = in[1] <= 3 ? in[1] : 0;
    o->joyCentreX = PeekI32LE(in + 4);
    o->joyCentreY = PeekI32LE(in + 8);
    o->joyMinX = PeekI32LE(in + 12);
    o->joyMinY = PeekI32LE(in + 16);
    o->joyMaxX = PeekI32LE(in + 20);
    o->joyMaxY = PeekI32LE(in + 24);
    o->monitorInches = in[28];
    uint32_t g = PeekU32LE(in + 32);
    memcpy(&o->gamma, &g, 4);
    o->preferredDepth = in[36];
    o->soundsOn = in[37];
    o->carried = PeekU32LE(in + 40);
    o->gammaInUse = in[44];
    o->joystickOn = in[45];
    o->namesOn3D = PeekU32LE(in + 48);
    o->helpPrompts = PeekU32LE(in + 52);
    o->imperialUnits = PeekU32LE(in + 56);
}

void BuildGammaTable(double gamma) {
    if (!(gamma > 0) || !std::isfinite(gamma)) gamma = 1.0;  // a damaged record must not poison the table
    for (int i = 0; i < 256; i++) {
        double v = 255.0 * std::pow(i / 255.0, 1.0 / gamma) + 0.5;
        gammaTable.entry[i] = (uint8_t)std::clamp(v, 0.0, 255.0);
    }
    gammaTable.enabled = 1;
}

void SetGammaSetting(float gamma) {
    options.gamma = gamma;
    options.gammaInUse = std::fabs(gamma - 1.0f) >= 0.01f ? 1 : 0;
    if (options.gammaInUse) BuildGammaTable(gamma);
    else gammaTable.enabled = 0;
}

int LoadSettings() {
    memset(&options, 0, sizeof options);
    options.monitorInches = 14;
    std::string name = DataRootPath("options.dat");
    FILE* f = OpenFile(name.c_str(), "rb");
    if (!f) {
        // A first start: sounds are on out of the box wherever they can be heard. A damaged
        // file keeps every switch off, as before.
        if (!FileExists(name.c_str())) options.soundsOn = AudioOutputAvailable() ? 1 : 0;
        return 0;
    }
    uint8_t bytes[kOptionsSize];
    int first = fgetc(f);
    rewind(f);
    int ok = first == 1 && fread(bytes, 1, kOptionsSize, f) == (size_t)kOptionsSize;
    fclose(f);
    if (!ok) return 0;
    DecodeOptions(bytes, &options);
    namesOn3D = options.namesOn3D;
    helpPromptsOn = options.helpPrompts;
    imperialUnits = options.imperialUnits;
    if (options.gammaInUse) BuildGammaTable(options.gamma);
    return 1;
}

int SaveSettings() {
    options.version = 1;
    options.namesOn3D = namesOn3D;
    options.helpPrompts = helpPromptsOn;
    options.imperialUnits = imperialUnits;
    OptionsRecord stored = options;
    // A sound that failed this run silenced the session only; the user's switch stays on.
    if (soundsFailedThisRun) stored.soundsOn = 1;
    uint8_t bytes[kOptionsSize];
    EncodeOptions(stored, bytes);
    return WriteFileAtomically(DataRootPath("options.dat").c_str(), bytes, kOptionsSize);
}

int JoystickAxis(int raw, int centre, int minimum, int maximum) {
    if (raw >= centre) {
        if (maximum == centre) return 5000;
        return 5000 + (int)(5000LL * (raw - centre) / (maximum - centre));
    }
    if (centre == minimum) return 5000;
    return (int)(5000LL * (raw - minimum) / (centre - minimum));
}

int JoystickCalibrated(const OptionsRecord& o) {
    return o.joyMinX < o.joyCentreX && o.joyCentreX < o.joyMaxX && o.joyMinY < o.joyCentreY && o.joyCentreY < o.joyMaxY;
}
