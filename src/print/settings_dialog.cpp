// The settings dialog: one template dialog over the settings record. A control takes effect
// and is saved the moment it changes, so closing the dialog never loses anything; Cancel
// restores the record, the live switches and the file as the dialog found them.
#include "print/settings_dialog.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "imaging/panel_buttons.h"
#include "platform/files.h"
#include "print/print.h"

static const int kMonitorSizes[] = {14, 15, 17, 21};
static const int kDepths[] = {0, 15, 16, 24, 32};

// [SECTION] What the dialog found, and saving

struct SettingsSnapshot {
    OptionsRecord record;
    uint32_t names, prompts, units;
    int soundsFailed;
    int fileExisted, fileRead;
    std::vector<uint8_t> fileBytes;
};

struct SettingsSession {
    SettingsSnapshot before;
    void (*applied)(int);
    int saved;  // "options.dat" was written since the dialog opened
};

static std::string OptionsPath() { return DataRootPath("options.dat"); }

static SettingsSnapshot TakeSnapshot() {
    SettingsSnapshot s;
    s.record = options;
    s.names = namesOn3D;
    s.prompts = helpPromptsOn;
    s.units = imperialUnits;
    s.soundsFailed = soundsFailedThisRun;
    std::string path = OptionsPath();
    s.fileExisted = FileExists(path.c_str());
    s.fileRead = s.fileExisted && ReadWholeFile(path.c_str(), &s.fileBytes, 4096);
    return s;
}

static int SaveOrSay() {
    if (SaveSettings()) return 1;
    ShowMessage("Cannot create file %s", OptionsPath().c_str());
    return 0;
}

// The prompt line and button 8 follow the help-prompt switch; the units switch is on the
// map, terrain and globe panels.
static void ShowSharedSwitches(int changes, int promptsWereOn) {
    if ((changes & SETTINGS_PROMPTS) && promptsWereOn && !helpPromptsOn) {
        uint32_t now = helpPromptsOn;
        helpPromptsOn = 1;  // the line is restored only while prompts are on
        HelpPrompt(0, 1);
        helpPromptsOn = now;
    }
    if (changes & SETTINGS_PROMPTS) DrawButton(8, 0);
    if ((changes & SETTINGS_UNITS) && (screenMode == 3 || screenMode == 4 || screenMode == 5)) DrawUnitsSwitch(screenMode);
}

// Saves the record after a change and lets the screen behind show it.
static void Changed(SettingsSession* s, int what, int promptsWereOn = 0) {
    s->saved = 1;
    SaveOrSay();
    ShowSharedSwitches(what, promptsWereOn);
    if (s->applied) s->applied(what);
}

static int Differences(const SettingsSnapshot& a) {
    const OptionsRecord& o = options;
    int d = 0;
    if (a.record.soundsOn != o.soundsOn || a.soundsFailed != soundsFailedThisRun) d |= SETTINGS_SOUNDS;
    if (a.record.monitorInches != o.monitorInches) d |= SETTINGS_MONITOR;
    if (a.units != imperialUnits) d |= SETTINGS_UNITS;
    if (memcmp(&a.record.gamma, &o.gamma, sizeof o.gamma) || a.record.gammaInUse != o.gammaInUse) d |= SETTINGS_GAMMA;
    if (a.record.preferredDepth != o.preferredDepth) d |= SETTINGS_DEPTH;
    if (a.record.windowScale != o.windowScale) d |= SETTINGS_WINDOW_SCALE;
    if (a.names != namesOn3D) d |= SETTINGS_NAMES;
    if (a.prompts != helpPromptsOn) d |= SETTINGS_PROMPTS;
    if (a.record.joystickOn != o.joystickOn || a.record.joyCentreX != o.joyCentreX || a.record.joyCentreY != o.joyCentreY ||
        a.record.joyMinX != o.joyMinX || a.record.joyMinY != o.joyMinY || a.record.joyMaxX != o.joyMaxX ||
        a.record.joyMaxY != o.joyMaxY)
        d |= SETTINGS_JOYSTICK;
    return d;
}

// Cancel: everything as the dialog found it, the file included (or no file, when there was none).
static void RestoreSnapshot(SettingsSession* s) {
    const SettingsSnapshot& b = s->before;
    if (!s->saved) return;
    int what = Differences(b);
    int promptsWereOn = helpPromptsOn != 0;
    options = b.record;
    namesOn3D = b.names;
    helpPromptsOn = b.prompts;
    imperialUnits = b.units;
    soundsFailedThisRun = b.soundsFailed;
    if (options.gammaInUse) BuildGammaTable(options.gamma);
    else gammaTable.enabled = 0;
    std::string path = OptionsPath();
    if (!b.fileExisted) RemoveFile(path.c_str());
    else if (!b.fileRead || !WriteFileAtomically(path.c_str(), b.fileBytes.data(), b.fileBytes.size())) SaveOrSay();
    if (!what) return;
    ShowSharedSwitches(what, promptsWereOn);
    if (s->applied) s->applied(what);
}

// [SECTION] Joystick

// One reading; a missing driver or joystick is said with the error cue first.
static int ReadJoystickOrSay(JoystickReading* r) {
    int status = ReadJoystick(r);
    if (status == JOY_OK) return 1;
    PlayCue(CUE_ERROR);
    if (status == JOY_NO_DRIVER) ShowMessage("The software driver for the joystick has not been installed yet.");
    else ShowMessage("The joystick is not plugged into your computer");
    return 0;
}

constexpr int kCalibrationSteps = 5;  // the centre, then the four corners

static const char* const kStepTexts[kCalibrationSteps] = {
    "Let the joystick rest at its centre, then click Record.",
    "Hold the joystick in its upper left corner and click Record.",
    "Hold the joystick in its upper right corner and click Record.",
    "Hold the joystick in its lower right corner and click Record.",
    "Hold the joystick in its lower left corner and click Record.",
};

struct Calibration {
    int step;
    JoystickReading readings[kCalibrationSteps];
    int stored;
};

static DialogTemplate CalibrationTemplate() {
    DialogTemplate t;
    t.caption = "Joystick Calibration";
    t.width = 360;
    t.height = 132;
    t.items = {
        {DI_STATIC, kOptCalibrationStep, 12, 10, 336, 40, kStepTexts[0]},
        {DI_STATIC, kOptCalibrationRecorded, 12, 56, 336, 20, ""},
        {DI_DEFBUTTON, kOptCalibrationRecord, 180, 96, 80, 26, "Record"},
        {DI_BUTTON, IDCANCEL, 268, 96, 80, 26, "Cancel"},
    };
    return t;
}

// Minimum and maximum per axis over the four corners; 1 when the stick moved both ways on
// both axes, as JoystickAxis needs.
static int StoreCalibration(const Calibration& c) {
    OptionsRecord o = options;
    const JoystickReading& centre = c.readings[0];
    o.joyCentreX = centre.x;
    o.joyCentreY = centre.y;
    o.joyMinX = o.joyMaxX = c.readings[1].x;
    o.joyMinY = o.joyMaxY = c.readings[1].y;
    for (int i = 2; i < kCalibrationSteps; i++) {
        const JoystickReading& r = c.readings[i];
        if (r.x < o.joyMinX) o.joyMinX = r.x;
        if (r.x > o.joyMaxX) o.joyMaxX = r.x;
        if (r.y < o.joyMinY) o.joyMinY = r.y;
        if (r.y > o.joyMaxY) o.joyMaxY = r.y;
    }
    if (!JoystickCalibrated(o)) return 0;
    options = o;
    return 1;
}

static int CalibrationProc(Dialog* d, int event, int itemId, int notification, void* user) {
    Calibration* c = (Calibration*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    if (itemId != kOptCalibrationRecord) return 0;
    if (!ReadJoystickOrSay(&c->readings[c->step])) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    char text[96];
    snprintf(text, sizeof text, "Recorded: %d, %d", c->readings[c->step].x, c->readings[c->step].y);
    SetItemText(d, kOptCalibrationRecorded, text);
    if (++c->step < kCalibrationSteps) {
        SetItemText(d, kOptCalibrationStep, kStepTexts[c->step]);
        return 1;
    }
    if (StoreCalibration(*c)) {
        c->stored = 1;
        EndDialog(d, IDOK);
        return 1;
    }
    PlayCue(CUE_ERROR);
    ShowMessage("The joystick did not reach its corners. Please calibrate it again.");
    c->step = 0;
    SetItemText(d, kOptCalibrationStep, kStepTexts[0]);
    SetItemText(d, kOptCalibrationRecorded, "");
    return 1;
}

int CalibrateJoystick() {
    JoystickReading probe;
    if (!ReadJoystickOrSay(&probe)) return 0;
    Calibration c{};
    DialogBox(CalibrationTemplate(), CalibrationProc, &c);
    if (!c.stored) return 0;
    SaveOrSay();
    return 1;
}

// Switching the joystick on needs a joystick that answers and a calibration.
static int SwitchJoystickOn() {
    JoystickReading r;
    if (!ReadJoystickOrSay(&r)) return 0;
    if (!JoystickCalibrated(options)) {
        PlayCue(CUE_ERROR);
        ShowMessage("You have not calibrated the joystick yet");
        return 0;
    }
    options.joystickOn = 1;
    return 1;
}

// [SECTION] Gamma

// The typed gamma, when it is a number (nothing else around it) within the accepted range.
static int ParseGamma(const std::string& text, double* value) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    double v = strtod(start, &end);
    if (end == start || errno) return 0;
    while (*end == ' ') end++;
    if (*end || !std::isfinite(v) || v < kGammaLowest || v > kGammaHighest) return 0;
    *value = v;
    return 1;
}

static std::string GammaText(float gamma) {
    char text[32];
    snprintf(text, sizeof text, "%.2f", gamma > 0 && std::isfinite(gamma) ? gamma : 1.0f);
    return text;
}

// Applies the typed gamma when it differs from the one in use; 0 (after saying why) when the
// text is no gamma the dialog accepts.
static int ApplyTypedGamma(Dialog* d, SettingsSession* s) {
    std::string text = GetItemText(d, kOptGammaEdit);
    double gamma;
    if (!ParseGamma(text, &gamma)) {
        PlayCue(CUE_ERROR);
        ShowMessage("The gamma value must be a number from %.2f to %.2f", kGammaLowest, kGammaHighest);
        FocusItem(d, kOptGammaEdit);
        return 0;
    }
    if (GammaText((float)gamma) == GammaText(options.gamma)) return 1;  // nothing new typed
    SetGammaSetting((float)gamma);
    SetItemText(d, kOptGammaEdit, GammaText(options.gamma).c_str());
    Changed(s, SETTINGS_GAMMA);
    return 1;
}

// [SECTION] The dialog

static DialogTemplate SettingsTemplate() {
    DialogTemplate t;
    t.caption = "Program Settings";
    t.width = 470;
    t.height = 478;
    t.items = {
        {DI_GROUPBOX, 1001, 12, 8, 218, 70, "Sounds"},
        {DI_CHECKBOX, kOptSounds, 24, 32, 104, 22, "Play sounds"},
        {DI_BUTTON, kOptTestSound, 130, 30, 88, 26, "Test sound"},
        {DI_GROUPBOX, 1002, 12, 86, 218, 84, "Monitor size"},
        {DI_RADIO, kOptMonitor14, 24, 112, 50, 22, "14\"", DS_GROUPSTART},
        {DI_RADIO, kOptMonitor15, 74, 112, 50, 22, "15\""},
        {DI_RADIO, kOptMonitor17, 124, 112, 50, 22, "17\""},
        {DI_RADIO, kOptMonitor21, 174, 112, 50, 22, "21\""},
        {DI_STATIC, 1003, 24, 140, 196, 20, "For the map's true scale."},
        {DI_GROUPBOX, 1004, 12, 178, 218, 80, "Units"},
        {DI_RADIO, kOptMetric, 24, 200, 196, 22, "Metric (metres, kilometres)", DS_GROUPSTART},
        {DI_RADIO, kOptImperial, 24, 226, 196, 22, "Imperial (feet, miles)"},
        {DI_GROUPBOX, 1005, 12, 266, 218, 120, "Gamma"},
        {DI_STATIC, 1006, 24, 286, 196, 36, "Above 1.00 brightens the colours, below darkens them."},
        {DI_EDIT, kOptGammaEdit, 24, 324, 80, 24, "", 0, 8},
        {DI_BUTTON, kOptGammaApply, 112, 323, 80, 26, "Apply"},
        {DI_STATIC, 1007, 24, 352, 196, 20, "From 0.25 to 4.00; 1.00 is none."},
        {DI_GROUPBOX, 1008, 240, 8, 218, 104, "Preferred colour depth"},
        {DI_RADIO, kOptDepthNone, 252, 30, 196, 22, "No preference", DS_GROUPSTART},
        {DI_RADIO, kOptDepth15, 252, 56, 96, 22, "15 bits"},
        {DI_RADIO, kOptDepth16, 252, 80, 96, 22, "16 bits"},
        {DI_RADIO, kOptDepth24, 352, 56, 96, 22, "24 bits"},
        {DI_RADIO, kOptDepth32, 352, 80, 96, 22, "32 bits"},
        {DI_GROUPBOX, 1009, 240, 120, 218, 94, "Window scale"},
        {DI_RADIO, kOptScaleAutomatic, 252, 142, 96, 22, "Automatic", DS_GROUPSTART},
        {DI_RADIO, kOptScale1, 352, 142, 48, 22, "1x"},
        {DI_RADIO, kOptScale2, 252, 166, 48, 22, "2x"},
        {DI_RADIO, kOptScale3, 302, 166, 48, 22, "3x"},
        {DI_STATIC, 1010, 252, 190, 196, 20, "Applies at the next start."},
        {DI_GROUPBOX, 1011, 240, 222, 218, 76, "Display"},
        {DI_CHECKBOX, kOptNames, 252, 244, 196, 22, "Names on 3D views"},
        {DI_CHECKBOX, kOptPrompts, 252, 268, 196, 22, "Help prompts"},
        {DI_GROUPBOX, 1012, 240, 306, 218, 80, "Joystick (flyby)"},
        {DI_CHECKBOX, kOptJoystick, 252, 328, 196, 22, "Use the joystick"},
        {DI_BUTTON, kOptCalibrate, 252, 354, 100, 26, "Calibrate..."},
        {DI_BUTTON, kOptPrinter, 12, 396, 130, 26, "Printer Setup..."},
        {DI_STATIC, 1013, 12, 436, 260, 34, "Every change is kept at once; Cancel puts back what was changed here."},
        {DI_DEFBUTTON, IDOK, 290, 440, 80, 26, "Close"},
        {DI_BUTTON, IDCANCEL, 378, 440, 80, 26, "Cancel"},
    };
    return t;
}

static int IndexOf(const int* values, int count, int value) {
    for (int i = 0; i < count; i++)
        if (values[i] == value) return i;
    return -1;
}

static void ShowRadio(Dialog* d, int firstId, int count, int index) {
    for (int i = 0; i < count; i++) SetItemCheck(d, firstId + i, i == index);
}

static void ShowSettings(Dialog* d) {
    SetItemCheck(d, kOptSounds, options.soundsOn);
    int monitor = IndexOf(kMonitorSizes, 4, options.monitorInches);
    ShowRadio(d, kOptMonitor14, 4, monitor < 0 ? 0 : monitor);
    ShowRadio(d, kOptMetric, 2, imperialUnits ? 1 : 0);
    SetItemText(d, kOptGammaEdit, GammaText(options.gamma).c_str());
    ShowRadio(d, kOptDepthNone, 5, IndexOf(kDepths, 5, options.preferredDepth));
    ShowRadio(d, kOptScaleAutomatic, 4, options.windowScale <= 3 ? options.windowScale : 0);
    SetItemCheck(d, kOptNames, namesOn3D != 0);
    SetItemCheck(d, kOptPrompts, helpPromptsOn != 0);
    SetItemCheck(d, kOptJoystick, options.joystickOn);
}

static void SoundsClicked(Dialog* d, SettingsSession* s) {
    SetSoundsSetting(GetItemCheck(d, kOptSounds));
    Changed(s, SETTINGS_SOUNDS);
}

// Plays the "process" cue as the program would; a sound that fails switches sounds off for
// the run, which the check box then shows. With sounds off only the default beep is heard.
static void TestSound(Dialog* d) {
    if (!options.soundsOn) {
        Beep();
        return;
    }
    PlayCue(CUE_PROCESS);
    SetItemCheck(d, kOptSounds, options.soundsOn);
}

static void JoystickClicked(Dialog* d, SettingsSession* s) {
    int was = options.joystickOn;
    if (!GetItemCheck(d, kOptJoystick)) options.joystickOn = 0;
    else SwitchJoystickOn();  // says why when it cannot
    SetItemCheck(d, kOptJoystick, options.joystickOn);
    if (options.joystickOn != was) Changed(s, SETTINGS_JOYSTICK);
}

// A radio button of one of the groups; 1 when the click belonged to one.
static int RadioClicked(int id, SettingsSession* s) {
    if (id >= kOptMonitor14 && id <= kOptMonitor21) {
        uint8_t inches = (uint8_t)kMonitorSizes[id - kOptMonitor14];
        if (inches == options.monitorInches) return 1;
        options.monitorInches = inches;
        Changed(s, SETTINGS_MONITOR);
        return 1;
    }
    if (id == kOptMetric || id == kOptImperial) {
        uint32_t imperial = id == kOptImperial;
        if (imperial == imperialUnits) return 1;
        imperialUnits = imperial;
        Changed(s, SETTINGS_UNITS);
        return 1;
    }
    if (id >= kOptDepthNone && id <= kOptDepth32) {
        uint8_t depth = (uint8_t)kDepths[id - kOptDepthNone];
        if (depth == options.preferredDepth) return 1;
        options.preferredDepth = depth;
        Changed(s, SETTINGS_DEPTH);
        return 1;
    }
    if (id >= kOptScaleAutomatic && id <= kOptScale3) {
        uint8_t scale = (uint8_t)(id - kOptScaleAutomatic);
        if (scale == options.windowScale) return 1;
        options.windowScale = scale;
        Changed(s, SETTINGS_WINDOW_SCALE);
        return 1;
    }
    return 0;
}

static int SettingsProc(Dialog* d, int event, int itemId, int notification, void* user) {
    SettingsSession* s = (SettingsSession*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        ShowSettings(d);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (RadioClicked(itemId, s)) return 1;
    switch (itemId) {
    case kOptSounds: SoundsClicked(d, s); return 1;
    case kOptTestSound: TestSound(d); return 1;
    case kOptGammaApply: ApplyTypedGamma(d, s); return 1;
    case kOptNames:
        namesOn3D = GetItemCheck(d, kOptNames) ? 1 : 0;
        Changed(s, SETTINGS_NAMES);
        return 1;
    case kOptPrompts: {
        int wereOn = helpPromptsOn != 0;
        helpPromptsOn = GetItemCheck(d, kOptPrompts) ? 1 : 0;
        Changed(s, SETTINGS_PROMPTS, wereOn);
        return 1;
    }
    case kOptJoystick: JoystickClicked(d, s); return 1;
    case kOptCalibrate:
        if (CalibrateJoystick()) Changed(s, SETTINGS_JOYSTICK);
        return 1;
    case kOptPrinter: PrinterSetup(); return 1;  // the desktop's page set-up, as the Printer buttons open it
    case IDOK:
        // A gamma typed but not applied yet is taken with the Close button (or Enter).
        if (ApplyTypedGamma(d, s)) EndDialog(d, IDOK);
        return 1;
    case IDCANCEL:
        RestoreSnapshot(s);
        EndDialog(d, IDCANCEL);
        return 1;
    default: return 0;
    }
}

int SettingsDialog(void (*applied)(int changes)) {
    SettingsSession s{TakeSnapshot(), applied, 0};
    DialogBox(SettingsTemplate(), SettingsProc, &s);
    return Differences(s.before);
}
