// Start-up: the data root, the warnings about an unsuitable machine, finding the data volume
// by its title page, the settings, the main window, hbmVirtual and the title page.
// On Linux the "drives" searched for the volume are the mounted optical discs and removable
// drives, followed by the installed default volume.
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "imaging/panel_buttons.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/files.h"

static struct {
    int fontHandle;  // helv12.ttf registered for this run, or 0
    std::string volumeDir;  // from --volume, or ""
} startup;

void UseVolumeDirectory(const char* dir) { startup.volumeDir = dir ? dir : ""; }

// Shutdown unregisters the symbol font once, through this.
void UnregisterSymbolFont() {
    if (!startup.fontHandle) return;
    UnregisterFontFile(startup.fontHandle);
    startup.fontHandle = 0;
}

// The first seven lines of "names.dat" hold the label switches.
static void ReadLabelSwitches() {
    FILE* f = OpenDataFile("names.dat", "r");
    if (!f) return;
    char line[256];
    for (int i = 0; i < 7; i++) {
        if (!fgets(line, sizeof line, f)) break;
        labelSwitches[i] = (uint8_t)atoi(line);
    }
    labelSwitches[7] = 0;
    fclose(f);
}

// Step 1: the data root is the working directory, with a warning when its disk is nearly full.
static int SetDataRoot() {
    strcpy(dataRoot, ".");
    strcpy(tempDir, "tmp");
    std::string cwd = CurrentDirectory();
    if (!cwd.empty() && cwd[0] == '/') {
        if (cwd.size() >= sizeof dataRoot - 8) {
            MessageBox("Mundora cannot use a data folder whose path is longer than 240 characters. Please start it from a shorter path.",
                       "Cannot start", MB_OK);
            return 0;
        }
        strcpy(dataRoot, cwd.c_str());
        int64_t free = FreeDiskBytes(dataRoot);
        if (free >= 0 && free < 20000000) {
            char text[512];
            snprintf(text, sizeof text,
                     "You have less than 20 Mb of free space on drive %s. The program may not run properly as a result.", dataRoot);
            MessageBox(text, "Warning", MB_OK);
        }
    }
    snprintf(tempDir, sizeof tempDir, "%s\\tmp", dataRoot);
    MakeDirectories(tempDir);
    return 1;
}

static void WarnAboutMemory() {
    int64_t available = AvailableMemoryBytes();
    if (available >= 0 && available < 25000000)
        MessageBox("Your system is very low on available memory. Please check that the drive containing the Windows 95 swap file is not almost full.",
                   "Warning", MB_OK);
}

// Step 4: the volume is the working directory when it holds the title page, else the first
// drive that does. The working directory becomes the volume's root.
static int LocateDataVolume() {
    if (!startup.volumeDir.empty()) {
        if (ChangeDirectory(startup.volumeDir.c_str()) && FileExists("titlepg.bmp")) return 1;
        if (dataRoot[0] == '/') ChangeDirectory(dataRoot);
        char text[600];
        snprintf(text, sizeof text, "The folder %s holds no Mundora data volume (its title page titlepg.bmp is missing).",
                 startup.volumeDir.c_str());
        MessageBox(text, "Cannot find the data volume", MB_OK);
        return 0;
    }
    if (FileExists("titlepg.bmp")) return 1;
    std::vector<std::string> drives = RemovableVolumes();
    for (const std::string& d : InstalledVolumeDirectories()) drives.push_back(d);
    int counted = 0;
    for (const std::string& d : drives) {
        if (!DirectoryExists(d.c_str())) continue;
        counted++;
        if (!ChangeDirectory(d.c_str())) continue;
        if (FileExists("titlepg.bmp")) return 1;
    }
    if (!counted) {
        ShowMessage("No CDROM drive detected");
        return 0;
    }
    if (dataRoot[0] == '/') ChangeDirectory(dataRoot);
    MessageBox("Please insert the correct disc into the CDROM drive and run the program again", "Cannot find CDROM", MB_OK);
    return 0;
}

static int CheckDisplay() {
    if (smallLayout && !DirectoryExists(DataRootPath("640\\menu").c_str()) && !DirectoryExists("640\\menu")) {
        MessageBox("You did not install 640x480 support during setup of the Mundora. Please change to 800x600 or higher, or run the setup program to install 640x480 support.",
                   "", MB_OK);
        OpenDisplaySettings();
        return 0;
    }
    screenWidth = smallLayout ? 640 : 800;
    screenHeight = smallLayout ? 480 : 600;
    if (ScreenLogicalDpi() > 96 &&
        MessageBox("Your display properties are not set to 'small fonts'. As a result, the text in the program may not display properly. Do you wish to continue running the program anyway?",
                   "Warning", MB_YESNO) == IDNO)
        return 0;
    int depth = ScreenDepth();
    if (depth < 9) {
        PlayCue(CUE_ERROR);
        if (MessageBox("This version will NOT run properly at 256 colors or less. Continue anyway?", "Warning", MB_YESNO) == IDNO) {
            MessageBox("You can use the 'settings' tab under the Windows display properties tool to change color depth and resolution.", "Note", MB_OK);
            OpenDisplaySettings();
            return 0;
        }
    }
    if (options.preferredDepth != 0 && options.preferredDepth != depth) {
        PlayCue(CUE_ERROR);
        MessageBox("The video display is  not set to your preferred color depth for this program. You can exit the program and use Desktop Properties to change the color depth.",
                   "Note", MB_OK);
    }
    return 1;
}

static void RegisterSymbolFont() {
    if (IsFontFamilyInstalled("Orvek")) return;
    std::string path = ResolvePath("helv12.ttf");
    startup.fontHandle = RegisterFontFile(path.c_str());
}

int InitializeProgramData() {
    if (!WindowSurface()) {
        MessageBox("GetDC(hWnd) == NULL", "InitializeProgramData()", MB_OK);
        return 0;
    }
    fhGeneric = FontSpec();
    fhGeneric.family = "Arial";
    fhGeneric.weight = 400;
    fhGeneric.points = smallLayout ? 7 : 8;
    fhGeneric.dpi = ScreenLogicalDpi();
    fhGenericCreated = 1;
    return 1;
}

static void ShowTitlePage() {
    screenMode = 2;
    SetCursorShape(CURSOR_ARROW);
    LoadBMPToBackground("titlepg.bmp");
    SetCursorShape(CURSOR_ARROW);
}

int InitInstance() {
    if (!SetDataRoot()) return 0;
    WarnAboutMemory();
    if (!LocateDataVolume()) return 0;
    smallLayout = ScreenWidth() == 640;
    LoadSettings();
    SetLayoutRectangles();
    ClearLegendHotAreas();
    ReadLabelSwitches();
    ReadScaleList();
    ResetZoomHistory();
    SetReadoutRectangles();
    WindowOptions window{"Mundora", smallLayout ? 640 : 800, smallLayout ? 480 : 600, 1};
    // Beyond the original design: today's screens show the window at a whole multiple.
    WindowScaleChoice scale = ChooseWindowScale(ScreenFactsForScaling(), window.clientWidth, window.clientHeight,
                                                options.windowScale, getenv("MUNDORA_SCALE"));
    if (!scale.note.empty()) fprintf(stderr, "%s\n", scale.note.c_str());
    window.framed = scale.framed;
    window.scale = scale.factor;
    if (!CreateMainWindow(window, MainWindowProc)) return 0;
    RegisterSymbolFont();
    if (!CheckDisplay()) {
        DestroyMainWindow();
        return 0;
    }
    hbmVirtual = CreateSurface(screenWidth, screenHeight);
    if (!hbmVirtual) {
        ShowMessage("Cannot allocate hbmVirtual");
        DestroyMainWindow();
        return 0;
    }
    LoadPanelButtons();
    ShowTitlePage();
    InitializeProgramData();
    DiscardAllScreenCaches();
    ShowMainWindow();
    Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    InvalidateWindow(nullptr);
    SetCursorShape(CURSOR_ARROW);
    return 1;
}
