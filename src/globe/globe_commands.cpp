// What the globe's panel buttons and keys do: the data type and overlays, names, the
// elevation colours, the ocean level, size, tilt, speed and direction of the turn, and the
// tabs that leave for another screen. Each button shows pressed while it acts.
#include <cmath>

#include "core/core.h"
#include "core/browser.h"
#include "core/demonstrations.h"
#include "globe/globe_screen.h"
#include "globe/satellite_tools.h"
#include "globe/satellites.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "print/settings_dialog.h"
#include "print/print.h"

static struct {
    uint32_t skipChar;  // the character a key already acted on as a key-down
    int wheelTurn;      // wheel turn not yet a whole notch
} keys;

const char* GlobeShadingFile() { return globeView.namesShown ? "globe\\2160n.sha" : "globe\\2160.sha"; }

void LoadGlobeImageType(int imageType, int load, int overlayFloor) {
    std::string scale = ElevationScalePath();
    LoadGlobeLayers("globe\\2160.bmp", GlobeShadingFile(), "globe\\2160.hts", scale.c_str(), imageType, load, 0);
    if (imageType != kGlobeOverlay) return;
    LoadOverlayPalette(GlobeLegendScalePath(globeView.overlay).c_str(), overlayFloor);
    StepOverlayMonth(0);  // fills the layer with the current month
}

void SetGlobeSizeAndTilt(int size, int tilt) {
    globeView.size = size;
    globeView.tilt = tilt;
    ClearGlobeImage();
    LoadGlobeFilter(90.0 - 45.0 * tilt, GlobeFilterName(size, tilt).c_str(), 0, 0);
    globeScreen.redrawAsked = 1;
}

static void Redisplay() {
    globeScreen.redrawAsked = 1;
    DrawGlobeLegend();
}

// [SECTION] Data type and overlays

static const char* OverlayDataName(int overlay) {
    switch (overlay) {
    case kOverlayLandVegetation: return "land vegetation";
    case kOverlayOceanVegetation: return "ocean vegetation";
    case kOverlayTemperature: return "temperature";
    case kOverlayPrecipitation: return "precipitation";
    default: return "sunshine";
    }
}

int OverlayDataPresent(int overlay) {
    for (int month = 0; month < 12; month++)
        if (!FindDataFile(OverlayMonthFile(overlay, month).c_str()).empty()) return 1;
    return 0;
}

static int CurrentDataEntry() {
    if (globeView.imageType != kGlobeOverlay) return globeView.imageType;
    static const int entries[6] = {-1, kEntryLandVegetation, kEntryOceanVegetation, kEntryTemperature, kEntryPrecipitation,
                                   kEntrySunshine};
    return globeView.overlay >= 1 && globeView.overlay <= 5 ? entries[globeView.overlay] : -1;
}

void ApplyGlobeDataEntry(int entry) {
    int previous = globeView.imageType;
    if (entry <= kEntryElevation) {
        int load = (previous == kGlobeImagery) != (entry == kGlobeImagery) || previous == kGlobeOverlay;
        globeView.imageType = entry;
        globeView.overlay = kOverlayNone;
        climateDataLoaded = 0;
        LoadGlobeImageType(entry, load, 0);
        Redisplay();
        return;
    }
    static const int overlays[5] = {kOverlayLandVegetation, kOverlayOceanVegetation, kOverlaySunshine, kOverlayPrecipitation,
                                    kOverlayTemperature};
    int overlay = overlays[entry - kEntryLandVegetation];
    // A volume built without a climatology has no monthly files for it. Rather than animate
    // whatever the layer last held under the overlay's name, we say so and keep the picture.
    if (!OverlayDataPresent(overlay)) {
        ShowMessage("This data volume has no %s data. See the README to add it.", OverlayDataName(overlay));
        return;
    }
    globeView.imageType = kGlobeOverlay;
    globeView.overlay = overlay;
    globeView.overlayFrozen = 0;
    climateDataLoaded = 1;
    LoadGlobeImageType(kGlobeOverlay, previous == kGlobeImagery, 0);
    Redisplay();
}

static void ChooseDataType() {
    DrawButton(48, 1);
    int entry = GlobeDataChooser(CurrentDataEntry());
    DrawButton(48, 0);
    if (entry >= kEntryImagery && entry <= kEntryTemperature) ApplyGlobeDataEntry(entry);
    globeScreen.redrawAsked = 1;  // the panel lay over the picture
}

// [SECTION] Names, elevation colours, ocean level

static void FlipNames() {
    FlashButton(49);
    globeView.namesShown = !globeView.namesShown;
    ReloadShading(globeView.imageType, GlobeShadingFile());
    globeScreen.redrawAsked = 1;
}

static void ScaleChooserLegend(int) {
    // The chooser shows the colours being picked, whatever the globe shows now.
    int saved = globeView.imageType;
    globeView.imageType = kGlobeElevation;
    DrawGlobeLegend();
    globeView.imageType = saved;
}

static void ChooseElevationColours() {
    DrawButton(50, 1);
    int chosen = ElevationScaleChooser(546, 45, globeView.imageType, ScaleChooserLegend);
    DrawButton(50, 0);
    if (chosen) {
        int load = globeView.imageType == kGlobeImagery || globeView.imageType == kGlobeOverlay;
        globeView.imageType = kGlobeElevation;
        globeView.overlay = kOverlayNone;
        climateDataLoaded = 0;
        LoadGlobeImageType(kGlobeElevation, load, 0);
    }
    Redisplay();
}

static void RaiseOceanLevel() {
    DrawButton(55, 1);
    int type = globeView.imageType;
    // The slider floods the elevation picture: heights in the second layer, elevation colours.
    LoadGlobeImageType(kGlobeElevation, type == kGlobeImagery || type == kGlobeOverlay, 0);
    // The legend speaks of the heights being flooded while the slider is open.
    int overlay = globeView.overlay;
    globeView.imageType = kGlobeElevation, globeView.overlay = kOverlayNone;
    DrawGlobeLegend();
    OceanLevelSlider();
    globeView.imageType = type, globeView.overlay = overlay;
    LoadGlobeImageType(type, type == kGlobeImagery, 1);
    DrawButton(55, 0);
    Redisplay();
}

// [SECTION] Size, tilt, speed

static void StepSize(int step) {
    int size = globeView.size + step;
    if (size < 0 || size >= kGlobeSizes) {
        PlayCue(CUE_ERROR);
        return;
    }
    SetGlobeSizeAndTilt(size, globeView.tilt);
}

// Beyond the original design: a wheel notch away from the user is the next larger size, one
// towards the user the next smaller, as the size buttons and the + and - keys step them.
void GlobeWheel(int delta) {
    keys.wheelTurn += delta;
    int notches = keys.wheelTurn / kWheelDelta;
    keys.wheelTurn -= notches * kWheelDelta;
    for (; notches > 0; notches--) StepSize(1);
    for (; notches < 0; notches++) StepSize(-1);
}

static void StepTilt(int step) {
    int tilt = globeView.tilt + step;
    if (tilt < 0 || tilt >= kGlobeTilts) {
        PlayCue(CUE_ERROR);
        return;
    }
    SetGlobeSizeAndTilt(globeView.size, tilt);
}

static void SpeedButton(int id) {
    FlashButton(id);
    double& speed = globeView.rotationSpeed;
    switch (id) {
    case 60: speed += 0.5; break;
    case 61: speed = std::fabs(speed); break;
    case 62: speed = -std::fabs(speed); break;
    case 63: speed -= 0.5; break;
    case 64: globeView.rotationPaused = !globeView.rotationPaused; break;
    case 65: globeView.overlayFrozen = !globeView.overlayFrozen; break;
    }
    globeScreen.redrawAsked = 1;
}

// [SECTION] Buttons

static void Leave(int id, int code) {
    DrawButton(id, 1);
    globeScreen.leaveCode = code;
}

// The next or previous of the fourteen groups, wrapping; it is loaded and shown at once.
static void NextSatelliteGroup(int step) {
    FlashButton(step > 0 ? 53 : 54);
    satelliteDataLoaded = LoadSatelliteGroup(satelliteGroups[StepSatelliteGroup(step)].elementFile) > 0 || satelliteDataLoaded;
    globeScreen.redrawAsked = 1;
}

// The manual, the "about" text or the current group's text over the globe. A value link that
// names a group (0-13) and a size (0-3) shows that group's orbits at that size; a map link
// leaves for the 2D map.
static void GlobeManual(int id, const char* file, const char* index) {
    FlashButton(id);
    int group = -1, size = -1;
    int result = ShowManualScreen(5, file, index, &group, &size);
    screenMode = 5;
    LoadBMPToBackground("menu\\glbmain.bmp");
    DrawButton(5, 1);
    globeScreen.handCursor = 0;
    if (result == kManualMapLink) {
        globeScreen.leaveCode = 3;
        return;
    }
    if (group >= 0 && group < kSatelliteGroups && size >= 0 && size < kGlobeSizes) {
        globeSatGroup = group;
        satelliteDataLoaded = LoadSatelliteGroup(satelliteGroups[group].elementFile) > 0 || satelliteDataLoaded;
        SetGlobeSizeAndTilt(size, globeView.tilt);
        globeView.satDisplayOn = 1;
    }
    PaintGlobeScreen(Rect{0, 0, screenWidth, screenHeight});
}

// What the settings dialog changed: the legend speaks in the units and is coloured through
// the gamma table; the next frame shows the rest.
static void GlobeSettingsApplied(int changes) {
    if (changes & (SETTINGS_UNITS | SETTINGS_GAMMA)) Redisplay();
}

// The print title: the overlay's title with its month, else the product's name.
static const char* GlobePrintTitle() {
    return globeView.imageType == kGlobeOverlay && !globeView.overlayTitle.empty() ? globeView.overlayTitle.c_str()
                                                                                     : "Mundora";
}

void PrintGlobeView(int toFile) {
    if (toFile) ExportScreenImage(mapRect, GlobePrintTitle());
    else PrintScreenImage(mapRect, GlobePrintTitle());
    globeScreen.redrawAsked = 1;
}

void GlobeButton(int id) {
    switch (id) {
    case 1: Leave(1, 3); return;
    case 2: Leave(2, 4); return;
    case 3: Leave(3, 7); return;
    case 4: Leave(4, 8); return;
    case 6: Leave(6, 1); return;
    case 5: PlayCue(CUE_ERROR); return;
    case 7: FlashButton(7); SettingsDialog(GlobeSettingsApplied); return;
    case 8: ToggleHelpPrompts(); return;
    case 9: GlobeManual(9, "manual\\m_globe.txt", "manual\\m_index.txt"); return;
    case 10: GlobeManual(10, "manual\\about.txt", nullptr); return;
    case 11: FlashButton(11); OpenAboutPage(); return;
    case 14: StartDemonstration("manual\\globe.rec"); return;
    case 12: FlashButton(12); PrintGlobeView(0); return;
    case 13: FlashButton(13); PrinterSetup(); return;
    case 95: MinimiseMainWindow(); return;
    case 48: ChooseDataType(); return;
    case 49: FlipNames(); return;
    case 50: ChooseElevationColours(); return;
    case 51:
        FlashButton(51);
        globeView.satDisplayOn = !globeView.satDisplayOn;
        globeScreen.redrawAsked = 1;
        return;
    case 53: case 54: NextSatelliteGroup(id == 53 ? 1 : -1); return;
    case 52: GlobeManual(52, satelliteGroups[globeSatGroup].informationText, kSatelliteIndexText); return;
    case 97:
        FlashButton(97);
        VisibleSatellitesSearch();
        PaintGlobeScreen(Rect{0, 0, screenWidth, screenHeight});  // the tool drew over the map and status line
        return;
    case 55: RaiseOceanLevel(); return;
    case 56: case 57: case 58: case 59:
        FlashButton(id);
        SetGlobeSizeAndTilt(id - 56, globeView.tilt);
        return;
    case 60: case 61: case 62: case 63: case 64: case 65: SpeedButton(id); return;
    default: Beep(); return;
    }
}

// [SECTION] Keys

static void StepFrozenMonth() {
    if (globeView.imageType != kGlobeOverlay || !globeView.overlayFrozen) return;
    StepOverlayMonth(globeView.rotationSpeed <= 0 ? 1 : -1);
    globeScreen.redrawAsked = 1;
}

void GlobeKeyDown(uint32_t key) {
    keys.skipChar = 0;
    switch (key) {
    case VK_ESCAPE: globeScreen.leaveCode = 0; return;
    case VK_F1: GlobeButton(9); return;  // the globe's manual page, as its Manual button
    // The keypad's keys arrive as key-downs in recordings; the character that may follow is
    // the same key and is not taken twice.
    case VK_ADD: case VK_OEM_PLUS: keys.skipChar = '+'; StepSize(1); return;
    case VK_SUBTRACT: case VK_OEM_MINUS: keys.skipChar = '-'; StepSize(-1); return;
    case VK_UP: StepTilt(-1); return;
    case VK_DOWN: StepTilt(1); return;
    case VK_LEFT: globeView.rotationSpeed += 0.5; return;
    case VK_RIGHT: globeView.rotationSpeed -= 0.5; return;
    case VK_F5:
        DishAiming();
        PaintGlobeScreen(Rect{0, 0, screenWidth, screenHeight});  // the tool drew over the map and status line
        return;
    default: return;
    }
}

void GlobeCharacter(uint32_t c) {
    int taken = c == keys.skipChar;
    keys.skipChar = 0;
    if (taken) return;
    switch (c) {
    case '+': StepSize(1); return;
    case '-': StepSize(-1); return;
    case 'f': case 'F': StepFrozenMonth(); return;
    default: return;
    }
}
