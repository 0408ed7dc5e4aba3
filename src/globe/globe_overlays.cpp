// The monthly climate overlays of the globe: their file names and titles, the month that
// steps through the year (one 720 x 360 file a month, each cell widened to 3 x 3 layer
// cells in globeLayerB) and the overlay's own colour scale.
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/globe_renderer.h"
#include "imaging/imaging.h"

static const char* const kMonthNames[12] = {
    "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December",
};

std::string OverlayMonthFile(int overlay, int month) {
    const char* format = nullptr;
    switch (overlay) {
    case kOverlayLandVegetation:
    case kOverlayOceanVegetation: format = "globe\\vege%02d.raw"; break;
    case kOverlayTemperature: format = "globe\\temp%02d.raw"; break;
    case kOverlayPrecipitation: format = "globe\\precip%02d.raw"; break;
    case kOverlaySunshine: format = "globe\\cloud%02d.raw"; break;
    default: return std::string();
    }
    char name[64];
    snprintf(name, sizeof name, format, month + 1);
    return name;
}

std::string OverlayTitle(int overlay, int month) {
    if (month < 0 || month > 11) return std::string();
    char title[96];
    switch (overlay) {
    case kOverlayLandVegetation: snprintf(title, sizeof title, "Land Vegetation"); break;
    case kOverlayOceanVegetation: snprintf(title, sizeof title, "Ocean Vegetation"); break;
    case kOverlayTemperature: snprintf(title, sizeof title, "Avg. Temperature, degrees C"); break;
    case kOverlayPrecipitation: snprintf(title, sizeof title, "Avg. Precipitation, mm/month"); break;
    case kOverlaySunshine: snprintf(title, sizeof title, "Avg. %% Sunshine"); break;  // one percent sign
    default: return std::string();
    }
    return std::string(title) + " (" + kMonthNames[month] + ")";
}

// Each cell of the month fills a 3 x 3 block of globeLayerB.
static void ExpandMonth(const uint8_t* month, uint8_t* layer) {
    for (int row = 0; row < kOverlayRows; row++) {
        const uint8_t* from = month + (size_t)row * kOverlayColumns;
        uint8_t* to = layer + (size_t)3 * row * kGlobeLayerWidth;
        for (int col = 0; col < kOverlayColumns; col++) memset(to + 3 * col, from[col], 3);
        memcpy(to + kGlobeLayerWidth, to, kGlobeLayerWidth);
        memcpy(to + 2 * kGlobeLayerWidth, to, kGlobeLayerWidth);
    }
}

int StepOverlayMonth(int step) {
    GlobeBuffers& b = globeBuffers;
    int month = globeView.overlayMonth;
    std::string name = OverlayMonthFile(globeView.overlay, month);
    globeView.overlayTitle = OverlayTitle(globeView.overlay, month);
    globeView.overlayMonth = ((month + step) % 12 + 12) % 12;
    if (name.empty() || !b.monthBuffer || !b.rotationData) return 0;
    FILE* f = OpenDataFile(name.c_str(), "rb");
    if (!f) return 0;  // a month without its file keeps the previous month on the globe
    // A short file leaves the rest of the previous month in the buffer.
    size_t got = fread(b.monthBuffer, 1, kOverlayBytes, f);
    fclose(f);
    (void)got;
    ExpandMonth(b.monthBuffer, GlobeLayerB());
    return 1;
}

int LoadOverlayPalette(const char* scalePath, int floor) {
    GlobeBuffers& b = globeBuffers;
    if (!b.paletteBuf) return 0;
    if (!PaletteFromScale(scalePath, 256, floor, b.paletteBuf)) return 0;
    b.paletteEntries = 256;
    SyncGlobeInfoHeader();
    return 1;
}
