// The manual viewer's loop: the open text with its page-start table, paging by keys and
// buttons, Escape back through the one-level return file, the index, links of every kind,
// the product pages, and the screens' help buttons that open the viewer over themselves.
// The loop sleeps in GetMessage while nothing happens.
#include "manual/manual_viewer.h"

#include <cstdlib>
#include <cstring>

#include "core/browser.h"
#include "core/core.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "map2d/map2d.h"

ManualViewer manualViewer;

static constexpr int kSelectCursor = 107;
static constexpr size_t kManualFileLimit = 16u << 20;  // far beyond any manual text

// [SECTION] Text area and pages

static Rect Scaled(int l, int t, int r, int b) {
    if (!smallLayout) return Rect{l, t, r, b};
    return Rect{(int)(l * 0.8), (int)(t * 0.8), (int)(r * 0.8), (int)(b * 0.8)};
}

Rect ManualTextArea(int mode) {
    if (mode == 6) return Rect{mapRect.left, mapRect.top, mapRect.right, smallLayout ? 404 : 506};
    // The product pages keep their three product buttons where the information pages have
    // their text: the text goes into the panel below them.
    if (mode >= 9 && mode <= 11) return Scaled(36, 240, 764, 540);
    return smallLayout ? Rect{32, 48, 505, 378} : Rect{41, 60, 632, 473};
}

static void CloseVideo() {
    if (!manualViewer.video) return;
    CloseMediaClip(manualViewer.video);
    manualViewer.video = 0;
}

static void StartVideo() {
    const ManualPage& page = manualViewer.shown;
    if (!page.hasVideo) return;
    std::string path = FindDataFile(page.videoFile);
    if (path.empty()) path = page.videoFile;
    Rect box = page.videoBox;
    int device = OpenMediaClip(path.c_str(), &box, -1);
    if (!device) {
        manualViewer.shown.hasVideo = 0;  // the page stays without it
        return;
    }
    manualViewer.video = device;
    PlayMediaClip(device, 1, 0);
}

static void RestoreTextArea(const Rect& area) {
    Surface* w = WindowSurface();
    if (w && hbmVirtual) Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
}

// Draws the page from its recorded start over the restored text area.
static int DrawManualPage(int page) {
    ManualPage& shown = manualViewer.shown;
    Surface* w = WindowSurface();
    shown.area = ManualTextArea(screenMode);
    RestoreTextArea(shown.area);
    if (!w) return 0;
    ManualPageFonts(smallLayout, &shown.fonts);
    shown.lineStep = ManualLineStep(w, shown.fonts);
    shown.search = manualViewer.search;
    shown.matchFound = 0;
    ByteCursor cursor = MakeCursor(manualViewer.text.data(), manualViewer.text.size());
    cursor.p += manualViewer.pageStart[page];
    int more = RenderManualPage(w, cursor, &shown);
    manualViewer.pageStart[page + 1] = (size_t)(cursor.p - manualViewer.text.data());
    return more;
}

int ShowManualPage(int page) {
    CloseVideo();
    int more = DrawManualPage(page);
    manualViewer.page = page;
    if (!more) manualViewer.pageCount = page + 1;
    StartVideo();
    return more;
}

int OpenManualText(const char* file) {
    FILE* f = OpenDataFile(file, "rb");
    std::vector<uint8_t> text;
    if (f) {
        uint8_t chunk[8192];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0 && text.size() < kManualFileLimit) text.insert(text.end(), chunk, chunk + n);
        fclose(f);
    }
    if (!f) {
        ShowMessage("Cannot open file %s", file);
        return 0;
    }
    manualViewer.text.swap(text);
    manualViewer.file = file;
    manualViewer.pageCount = kManualMaxPages;
    manualViewer.pageStart[0] = 0;
    ShowManualPage(0);
    return 1;
}

// [SECTION] Paging, Escape, index

static void StepPage(int step) {
    int page = manualViewer.page + step;
    if (page < 0 || page >= manualViewer.pageCount) {
        PlayCue(CUE_ERROR);
        return;
    }
    ShowManualPage(page);
}

// Opens another text at page 0 and keeps the shown one as the way back; when the other one
// cannot be read, the shown one stays.
static void FollowToText(const std::string& file) {
    std::string previous = manualViewer.file;
    std::string keptReturn = manualViewer.returnFile;
    manualViewer.returnFile = previous;
    if (OpenManualText(file.c_str())) return;
    manualViewer.returnFile = keptReturn;
    DrawManualPage(manualViewer.page);
}

static void End(int result) {
    manualViewer.ended = 1;
    manualViewer.result = result;
}

static void EscapeKey() {
    if (manualViewer.returnFile.empty()) {
        End(kManualEnded);
        return;
    }
    std::string back = manualViewer.returnFile;
    manualViewer.returnFile.clear();
    if (!OpenManualText(back.c_str())) End(kManualEnded);
}

static void ShowIndex() {
    if (manualViewer.indexFile.empty()) {
        PlayCue(CUE_ERROR);
        return;
    }
    FollowToText(manualViewer.indexFile);
}

// [SECTION] Links

static void FollowLink(const ManualLink& link) {
    switch (link.kind) {
    case kLinkWeb:
        CloseVideo();
        OpenInBrowser(link.target);
        return;
    case kLinkValue:
        if (manualViewer.valueOut1) *manualViewer.valueOut1 = atoi(link.target);
        if (manualViewer.valueOut2) *manualViewer.valueOut2 = atoi(link.target + 3);
        End(kManualEnded);
        return;
    case kLinkFile: FollowToText(link.target); return;
    case kLinkMap:
        // The area becomes the first zoom level of the 2D map, composed afresh.
        zoomHistory[1] = MapWindow{link.numbers[0], link.numbers[3], link.numbers[2], link.numbers[1]};
        zoomDepth = 1;
        DiscardScreenCache(1);
        End(kManualMapLink);
        return;
    default: return;
    }
}

// [SECTION] Product pages

static const char* const kProductTexts[3] = {"manual\\prod1.txt", "manual\\prod2.txt", "manual\\prod3.txt"};

// The product pages' buttons: the shown page's marked, the other two not.
static void MarkProductButton(int mode) {
    for (int id = 90; id <= 92; id++) DrawButton(id, id - 90 == mode - 9);
}

static void ShowProductPage(int id) {
    CloseVideo();
    screenMode = 9 + (id - 90);
    MarkProductButton(screenMode);
    manualViewer.returnFile.clear();
    if (OpenManualText(kProductTexts[id - 90])) return;
    manualViewer.text.clear();
    manualViewer.shown.nLinks = 0;
    RestoreTextArea(ManualTextArea(screenMode));
}

// [SECTION] Input

static void ViewerButton(int id) {
    if (id != 90 && id != 91 && id != 92) FlashButton(id);
    switch (id) {
    case 82: case 87: End(kManualEnded); return;
    case 83: ShowIndex(); return;
    case 84: StepPage(-1); return;
    case 85: StepPage(1); return;
    case 86: SearchManualText(); return;
    case 90: case 91: case 92: ShowProductPage(id); return;
    case 95: MinimiseMainWindow(); return;
    case 12: case 88: PrintManualFile(manualViewer.file.c_str()); return;
    case 13: case 89: ShowPageSetupDialog(); return;
    default: Beep(); return;
    }
}

static void MouseMove(int x, int y) {
    int id = 0;
    int overButton = ButtonHitTest(x, y, screenMode, &id);
    int overLink = ManualLinkAt(manualViewer.shown, x, y) >= 0;
    SetCursorShape(overButton || overLink ? kSelectCursor : CURSOR_ARROW);
}

static void LeftDown(int x, int y) {
    int link = ManualLinkAt(manualViewer.shown, x, y);
    if (link >= 0) {
        ManualLink chosen = manualViewer.shown.links[link];
        FollowLink(chosen);
        return;
    }
    int id;
    if (ButtonHitTest(x, y, screenMode, &id)) ViewerButton(id);
}

static void KeyDown(uint32_t key) {
    switch (key) {
    case VK_UP: case VK_PRIOR: StepPage(-1); return;
    case VK_DOWN: case VK_NEXT: StepPage(1); return;
    case VK_ESCAPE: EscapeKey(); return;
    default: return;
    }
}

void PaintManualScreen(const Rect& area) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
    RedrawButtons(screenMode);
    if (!manualViewer.text.empty()) DrawManualPage(manualViewer.page);
}

static void HandleViewerMessage(const Message& m) {
    switch (m.kind) {
    case MSG_PAINT: PaintManualScreen(m.paintRect); break;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) ShowMainWindow();
        break;
    case MSG_MOUSEMOVE: MouseMove(MessageX(m), MessageY(m)); break;
    case MSG_LBUTTONDOWN: LeftDown(MessageX(m), MessageY(m)); break;
    case MSG_KEYDOWN: KeyDown((uint32_t)m.wParam); break;
    case MSG_COMMAND:
        if (m.wParam == CMD_PRINT) {
            PrintManualFile(manualViewer.file.c_str());
            break;
        }
        if (m.wParam == CMD_EXPORT) {
            ExportManualText(manualViewer.text, manualViewer.page);
            break;
        }
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        End(kManualEnded);
        break;
    default: break;
    }
}

// [SECTION] Entry points

int RunManualViewer(const char* file, int drawOnly, int* valueOut1, int* valueOut2, const char* indexFile) {
    CloseVideo();
    manualViewer.text.clear();
    manualViewer.returnFile.clear();
    manualViewer.indexFile = indexFile ? indexFile : "";
    manualViewer.search[0] = 0;
    manualViewer.shown.nLinks = 0;
    manualViewer.ended = 0;
    manualViewer.result = kManualEnded;
    manualViewer.valueOut1 = valueOut1;
    manualViewer.valueOut2 = valueOut2;
    textHasIndex = !manualViewer.indexFile.empty();
    if (!OpenManualText(file)) return kManualFailed;
    if (drawOnly) {
        CloseVideo();
        return kManualEnded;
    }
    while (!manualViewer.ended) {
        Message m;
        if (!GetMessage(&m)) {
            // The quit is the shell's to act on: handed back to the queue for its loop.
            PostQuitMessage((int)m.wParam);
            End(kManualEnded);
            break;
        }
        HandleViewerMessage(m);
    }
    CloseVideo();
    manualViewer.shown.nLinks = 0;
    SetCursorShape(CURSOR_ARROW);
    return manualViewer.result;
}

int ShowManualScreen(int fromMode, const char* file, const char* indexFile, int* valueOut1, int* valueOut2) {
    ClearButtonStates();
    textHasIndex = indexFile && *indexFile;
    PrepareManualBackdrop(fromMode, nullptr);
    screenMode = 6;
    int result = RunManualViewer(file, 0, valueOut1, valueOut2, indexFile);
    ClearButtonStates();
    return result;
}

int ShowManualPageScreen(int mode, const char* backdropFile, const char* file) {
    ClearButtonStates();
    HelpPrompt(0, 1);
    screenMode = mode;
    PrepareManualBackdrop(mode, backdropFile);
    if (mode >= 9 && mode <= 11) MarkProductButton(mode);
    return RunManualViewer(file, 0, nullptr, nullptr, nullptr);
}
