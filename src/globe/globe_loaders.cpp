// Loading what a globe frame reads: the lookup table of a size and tilt, the shading and
// height layers with the palette of their image type, and the shading alone when the names
// are switched. A failure shows its message and leaves what was loaded before.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/globe_renderer.h"
#include "imaging/imaging.h"
#include "platform/le_bytes.h"

// [SECTION] Lookup tables

std::string GlobeFilterName(int size, int tilt) {
    char name[32];
    snprintf(name, sizeof name, "globe\\%02d_%02d.FLT", size, tilt);
    return name;
}

// Reads the n entries after the header into `entries`; 0 when the file ends before them.
static int ReadFilterEntries(FILE* f, int n, std::vector<int32_t>* entries) {
    std::vector<uint8_t> bytes((size_t)n * 4);
    if (n > 0 && fread(bytes.data(), 4, (size_t)n, f) != (size_t)n) return 0;
    entries->resize((size_t)n);
    for (int i = 0; i < n; i++) (*entries)[(size_t)i] = PeekI32LE(&bytes[(size_t)i * 4]);
    return 1;
}

int LoadGlobeFilter(double viewLatitude, const char* name, int alignBottom, int alignTop) {
    GlobeBuffers& b = globeBuffers;
    if (!b.rotationFilter) {
        ShowMessage("rotationFilter[] not allocated yet");
        return 0;
    }
    FILE* f = OpenDataFile(name, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    uint8_t header[kFilterHeaderBytes];
    if (fread(header, 1, sizeof header, f) != sizeof header) {
        fclose(f);  // a file without even its header is passed over silently
        return 0;
    }
    uint32_t n = PeekU32LE(header), r = PeekU32LE(header + 4);
    if (n > (uint32_t)kMaxFilterEntries) {
        fclose(f);
        ShowMessage("File %s too large to load", name);
        return 0;
    }
    std::vector<int32_t> entries;
    // A radius whose rows could not fit the table is as unreadable as a table cut short.
    int ok = r >= 1 && r <= (uint32_t)kMaxFilterEntries && ReadFilterEntries(f, (int)n, &entries);
    fclose(f);
    if (!ok) {
        ShowMessage("Cannot read data from file %s", name);
        return 0;
    }
    std::copy(entries.begin(), entries.end(), b.rotationFilter);
    b.filterEntries = (int)n;
    b.filterRadius = (int)r;
    b.alignBottom = alignBottom;
    b.alignTop = alignTop;
    b.radiusUnits = 2.0 * r / (b.viewportHeight > 0 ? b.viewportHeight : 1) * 16000.0;
    b.viewLatitude = std::clamp(viewLatitude, -90.0, 90.0);
    MarkGlobeImageCleared();
    return 1;
}

// [SECTION] Shading and height layers

// Reads up to one layer of bytes from an open file; the count read.
static int ReadLayer(FILE* f, uint8_t* layer) { return (int)fread(layer, 1, kGlobeLayerBytes, f); }

static void GreyRamp(ColourRef* palette) {
    for (int i = 0; i < 256; i++) palette[i] = MakeColour(i, i, i);
}

// The palette of image types 1, 2 and 4; 0 when the scale cannot be read (message shown).
static int BuildLayerPalette(int imageType, const char* scalePath) {
    GlobeBuffers& b = globeBuffers;
    if (imageType == kGlobeRelief) GreyRamp(b.paletteBuf);
    else if (imageType == kGlobeElevation || imageType == kGlobeOverlay) {
        if (!PaletteFromScale(scalePath, 256, 1, b.paletteBuf)) return 0;
    } else {
        return 1;  // any other type keeps the palette it has
    }
    b.paletteEntries = 256;
    SyncGlobeInfoHeader();
    return 1;
}

// Reads shading into globeLayerA and heights into globeLayerB. Both files are opened before
// either is read, so a missing one leaves both layers as they were.
static int LoadShadingAndHeights(const char* shading, const char* heights) {
    GlobeBuffers& b = globeBuffers;
    FILE* fa = OpenDataFile(shading, "rb");
    if (!fa) {
        ShowMessage("Cannot open file %s", shading);
        return 0;
    }
    FILE* fb = OpenDataFile(heights, "rb");
    if (!fb) {
        fclose(fa);
        ShowMessage("Cannot open file %s", heights);
        return 0;
    }
    int readA = ReadLayer(fa, GlobeLayerA()), readB = ReadLayer(fb, GlobeLayerB());
    fclose(fa);
    fclose(fb);
    // Past the shorter of the two, one of the layers holds stale bytes.
    b.layerBytes = std::min(readA, readB);
    b.layerWidth = kGlobeLayerWidth;
    return 1;
}

int LoadGlobeLayers(const char* imagery, const char* shading, const char* heights, const char* scalePath,
                    int imageType, int loadFlag, int clearFlag) {
    GlobeBuffers& b = globeBuffers;
    if (!b.rotationData || !b.paletteBuf) {
        ShowMessage("rotationData[] not allocated yet");
        return 0;
    }
    if (imageType == kGlobeImagery) {
        if (!LoadGlobeImagery(imagery, loadFlag)) return 0;
    } else {
        if (loadFlag && !LoadShadingAndHeights(shading, heights)) return 0;
        if (!BuildLayerPalette(imageType, scalePath)) return 0;
    }
    if (clearFlag) ClearGlobeImage();
    return b.layerBytes;
}

int ReloadShading(int imageType, const char* shading) {
    GlobeBuffers& b = globeBuffers;
    if (imageType == kGlobeImagery) return 1;
    if (!b.rotationData) {
        ShowMessage("rotationData[] not allocated yet");
        return 0;
    }
    FILE* f = OpenDataFile(shading, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", shading);
        return 0;
    }
    int read = ReadLayer(f, GlobeLayerA());
    fclose(f);
    b.layerBytes = std::min(b.layerBytes, read);
    return 1;
}
