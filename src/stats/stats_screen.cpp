// The statistics screen's loop (mode 7): the region chooser, the flat map, the chart and the
// table, the buttons of its panel and the readout of the country under the pointer. The loop
// sleeps in GetMessage between messages; nothing here moves on its own.
#include <cstdio>
#include <cstdlib>

#include "core/browser.h"
#include "core/command_line.h"
#include "core/core.h"
#include "core/demonstrations.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "manual/manual.h"
#include "print/settings_dialog.h"
#include "print/print.h"
#include "stats/stats_screen.h"

StatsScreenState statsScreen = {1, 1, 14, {14, 0, 0, 0}, -1, 0, 255, -1, 0, 14, 0, 0};

constexpr int kHandCursor = 107;

void ResetStatisticsState() { statsScreen = StatsScreenState{1, 1, 14, {14, 0, 0, 0}, -1, 0, 255, -1, 0, 14, 0, 0}; }

static int CurrentView() { return std::abs(statsScreen.view); }

static int InsideRect(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// [SECTION] The readout on the title bar

static void ClearReadout() {
    Surface* w = WindowSurface();
    Rect bar = StatsTitleRect();
    int half = (bar.right - bar.left) / 2;
    if (w && hbmVirtual && statsScreen.readoutShown)
        Blit(w, bar.left + half, bar.top, bar.right - bar.left - half, bar.bottom - bar.top, hbmVirtual, bar.left + half, bar.top);
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
}

// The palette index under the pointer, read from the flat image file; -1 when it cannot be.
static int IndexUnderPointer(int x, int y) {
    RegionImageSize size = RegionImageSizeFor(smallLayout);
    int column = x - mapRect.left, row = (size.height - 1) - (y - mapRect.top);
    if (column < 0 || column >= size.width || row < 0 || row >= size.height) return -1;
    std::string name = RegionImageName(statsScreen.region, 0, smallLayout);
    FILE* f = OpenDataFile(name.c_str(), "rb");
    if (!f) return -1;
    int index = -1;
    uint8_t byte;
    if (fseek(f, (long)(kRegionImageDataOffset + (size_t)row * size.stride + column), SEEK_SET) == 0 && fread(&byte, 1, 1, f) == 1)
        index = byte;
    fclose(f);
    return index;
}

static void UpdateReadout(int x, int y) {
    if (statsScreen.view != 1 || !InsideRect(mapRect, x, y)) {
        ClearReadout();
        return;
    }
    int index = IndexUnderPointer(x, y);
    const StatHoverEntry* entry = index >= kFirstCountryIndex && index <= kLastCountryIndex ? HoverEntry(index) : nullptr;
    if (!entry || !entry->name[0]) {
        ClearReadout();
        return;
    }
    if (StatValueMissing(entry->value) || index == statsScreen.readoutIndex) return;
    ClearReadout();
    Surface* w = WindowSurface();
    Rect bar = StatsTitleRect();
    std::string text = HoverReadoutText(entry->name, entry->value, statsScreen.variable);
    DrawState saved = GetDrawState(w);
    SetFont(w, fhGeneric);
    SetTextColour(w, MakeColour(255, 255, 255));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_RIGHT | TA_TOP);
    Point extent = TextExtent(w, text.c_str());
    TextOut(w, bar.right - 5, bar.top + (bar.bottom - bar.top - extent.y) / 2, text.c_str());
    SetDrawState(w, saved);
    statsScreen.readoutShown = 1;
    statsScreen.readoutIndex = index;
}

// [SECTION] Views

static void ClearTitleAndLegend() {
    Surface* w = WindowSurface();
    Rect bar = StatsTitleRect();
    if (w && hbmVirtual) Blit(w, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, hbmVirtual, bar.left, bar.top);
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
}

static void MarkViewButton() {
    for (int id = 75; id <= 77; id++) {
        PanelButton* b = FindPanelButton(id);
        int pressed = statsScreen.view == id - 74;
        if (b && b->pressed != pressed) DrawButton(id, pressed);
    }
}

void RedrawStatisticsView() {
    switch (statsScreen.view) {
    case 1:
    case 2: DrawStatisticsMap(statsScreen.variable, statsScreen.region, statsScreen.view == 2); break;
    case 3: DrawStatisticsTable(); break;
    default: break;
    }
}

// Shows a view from the start: the table selects its countries and variables afresh.
static void ShowView(int view) {
    statsScreen.view = view;
    MarkViewButton();
    ClearTitleAndLegend();
    if (view == 3) {
        statsScreen.legendShown = 0;
        ReleaseHoverTable();
        SetSelectionForRegion(statsScreen.region, statsScreen.tableVariables);
    }
    // The legend box shows the backdrop again while the table has no colours.
    if (view == 3) ClearStatisticsLegend();
    RedrawStatisticsView();
}

// The chooser's backdrop over the whole screen, and the panels.
static void ShowRegionChooser() {
    statsScreen.view = -CurrentView();
    statsScreen.legendShown = 0;
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
    ReleaseHoverTable();
    LoadBMPToBackground("menu\\statmain.bmp");
    DrawButton(3, 1);
    MarkViewButton();
    if (WindowSurface() && hbmVirtual) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
    HighlightRegion(-1);
    RedrawButtons(7);
}

void PaintStatisticsScreen(const Rect& area) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
    RedrawButtons(7);
    // The maps live on the window only: they are drawn again from the palette.
    if (statsScreen.view == 1 || statsScreen.view == 2) RedrawStatisticsView();
    DrawStatisticsLegend();
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
}

// [SECTION] Buttons

static void Leave(int id, int code) {
    DrawButton(id, 1);
    statsScreen.leaveCode = code;
}

// The manual, the "about" text or the country list over the screen; afterwards the screen is
// put back as it was, unless a map link asks for the 2D map.
static void StatsManual(int id, const char* file, const char* index) {
    FlashButton(id);
    int result = ShowManualScreen(7, file, index, nullptr, nullptr);
    screenMode = 7;
    if (result == kManualMapLink) {
        statsScreen.leaveCode = 3;
        return;
    }
    LoadBMPToBackground("menu\\statmain.bmp");
    DrawButton(3, 1);
    if (CurrentView() != 3 && statsScreen.view > 0 && hbmVirtual) FillRect(hbmVirtual, mapRect, MakeColour(0, 0, 0));
    HighlightRegion(-1);
    ClearButtonStates();
    DrawButton(3, 1);
    MarkViewButton();
    PaintStatisticsScreen(Rect{0, 0, screenWidth, screenHeight});
    if (statsScreen.view == 3) DrawStatisticsTable();
}

static void PickVariable(int button) {
    int picked = ChooseStatVariable(button, statsScreen.variable);
    if (picked) {
        statsScreen.variable = picked;
        UpdateTableVariables(statsScreen.tableVariables, picked);
        statsScreen.view = CurrentView();
        if (statsScreen.view == 3) {
            ShowView(3);
            return;
        }
        // Out of the chooser the backdrop goes in first; the map then covers its area.
        if (WindowSurface() && hbmVirtual) Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
        ShowView(statsScreen.view);
        return;
    }
    // Nothing picked: the panel lay over the view, which is drawn again.
    if (statsScreen.view > 0) RedrawStatisticsView();
}

// What the settings dialog changed: the view and its legend are coloured through the gamma table.
static void StatsSettingsApplied(int changes) {
    if ((changes & SETTINGS_GAMMA) && statsScreen.view > 0) RedrawStatisticsView();
}

// Views 1 and 2 print the map area as an image under the variable's name, the table prints
// its pages; the export writes the screen's image either way.
static void PrintStatisticsView(int toFile) {
    int view = statsScreen.view;
    std::string title = view == 1 || view == 2 ? ReadVariableName(statsScreen.variable) : std::string("Mundora");
    if (toFile) ExportScreenImage(mapRect, title.c_str());
    else if (view == 3) PrintStatisticsTable();
    else PrintScreenImage(mapRect, title.c_str());
}

static void StatsButton(int id) {
    switch (id) {
    case 1: Leave(1, 3); return;
    case 2: Leave(2, 4); return;
    case 3: PlayCue(CUE_ERROR); return;
    case 4: Leave(4, 8); return;
    case 5: Leave(5, 5); return;
    case 6: Leave(6, 1); return;
    case 7: FlashButton(7); SettingsDialog(StatsSettingsApplied); return;
    case 8:
        ToggleHelpPrompts();
        Delay(0.2);
        RedrawButtons(7);
        return;
    case 9: StatsManual(9, "manual\\m_stats.txt", "manual\\m_index.txt"); return;
    case 10: StatsManual(10, "manual\\about.txt", nullptr); return;
    case 93: StatsManual(93, "stats\\country.txt", "stats\\country.txt"); return;
    case 11: FlashButton(11); OpenAboutPage(); return;
    case 12: FlashButton(12); PrintStatisticsView(0); return;
    case 13: FlashButton(13); PrinterSetup(); return;
    case 14: StartDemonstration("manual\\stats.rec"); return;
    case 75: case 76: case 77:
        if (statsScreen.view < 0 && WindowSurface() && hbmVirtual) {
            HighlightRegion(-1);
            Blit(WindowSurface(), 0, 0, screenWidth, screenHeight, hbmVirtual, 0, 0);
        }
        ShowView(id - 74);
        return;
    case 78: case 79: case 80: case 81: PickVariable(id); return;
    case 94:
        FlashButton(94);
        ShowRegionChooser();
        return;
    case 95: MinimiseMainWindow(); return;
    default: Beep(); return;
    }
}

// [SECTION] Pointer and keys

static void SetHand(int on) {
    static int shown = 0;
    if (on == shown && GetCursorShape() == (on ? kHandCursor : CURSOR_ARROW)) return;
    shown = on;
    SetCursorShape(on ? kHandCursor : CURSOR_ARROW);
}

static void StatsMouseMove(int x, int y) {
    int id;
    int overButton = ButtonHitTest(x, y, 7, &id);
    UpdateReadout(x, y);
    int region = statsScreen.view < 0 ? RegionAt(x, y) : -1;
    if (statsScreen.view < 0) {
        HighlightRegion(region);
        statsScreen.hoveredRegion = region;
    }
    SetHand(overButton || region >= 0);
}

static void StatsLeftClick(int x, int y) {
    if (statsScreen.view < 0) {
        int region = RegionAt(x, y);
        if (region >= 0) {
            statsScreen.region = region;
            HighlightRegion(-1);
            statsScreen.hoveredRegion = -1;
            ShowView(CurrentView());
            return;
        }
    }
    int id;
    if (ButtonHitTest(x, y, 7, &id)) StatsButton(id);
}

static void StatsKeyDown(uint32_t key) {
    if (key == VK_ESCAPE) {
        statsScreen.leaveCode = 0;
        return;
    }
    if (key == VK_F1) {  // the screen's manual page, as its Manual button
        StatsButton(9);
        return;
    }
    if (statsScreen.view != 3) return;
    if (key == VK_UP || key == VK_PRIOR) StepTablePage(-1);
    if (key == VK_DOWN || key == VK_NEXT) StepTablePage(1);
}

static void HandleStatsMessage(const Message& m) {
    switch (m.kind) {
    case MSG_PAINT: PaintStatisticsScreen(m.paintRect); break;
    case MSG_SYSCOMMAND:
        // The window coming back from the task bar: shown and painted whole.
        if (m.wParam == SC_RESTORE) {
            ShowMainWindow();
            PaintStatisticsScreen(Rect{0, 0, screenWidth, screenHeight});
        }
        break;
    case MSG_MOUSEMOVE: StatsMouseMove(MessageX(m), MessageY(m)); break;
    case MSG_LBUTTONDOWN: StatsLeftClick(MessageX(m), MessageY(m)); break;
    case MSG_KEYDOWN: StatsKeyDown((uint32_t)m.wParam); break;
    case MSG_COMMAND:
        if (m.wParam == CMD_PRINT || m.wParam == CMD_EXPORT) {
            PrintStatisticsView(m.wParam == CMD_EXPORT);
            break;
        }
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        statsScreen.leaveCode = 0;
        break;
    default: break;
    }
}

// [SECTION] Entering and leaving

static void LeaveStatisticsScreen() {
    ReleaseRegionHighlights();
    ReleaseRegionImageCache();
    ReleaseHoverTable();
    statsScreen.legendShown = 0;
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
    SetHand(0);
}

int RunStatisticsScreen() {
    if (!LoadRegionHighlights()) {
        ReleaseHoverTable();
        return 0;
    }
    statsScreen.view = -1;
    statsScreen.leaveCode = -1;
    statsScreen.hoveredRegion = -1;
    statsScreen.legendShown = 0;
    statsScreen.readoutShown = 0;
    statsScreen.readoutIndex = 255;
    for (int k = 1; k < 4; k++) statsScreen.tableVariables[k] = 0;
    MarkViewButton();
    RedrawButtons(7);
    while (statsScreen.leaveCode < 0) {
        Message m;
        if (!GetMessage(&m)) {
            // The quit is the shell's to act on: handed back to the queue for its loop.
            PostQuitMessage((int)m.wParam);
            statsScreen.leaveCode = 0;
            break;
        }
        HandleStatsMessage(m);
        // A place handed over by a later start leaves for the map there. Looking after every
        // message also finds one that came while a chooser or the manual ran its own loop.
        if (TakeHandedOverPlace()) statsScreen.leaveCode = kViewCodeHandedOverPlace;
    }
    int code = statsScreen.leaveCode;
    LeaveStatisticsScreen();
    return code;
}
