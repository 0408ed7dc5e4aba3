// The terrain view's loop (mode 4): entering on the area last clipped, the blocking loop of
// mouse input, painting, and leaving with the code of the next screen. The buttons and drag
// controls are in terrain_commands.cpp, the legend in terrain_legend.cpp.
#include <cstdio>

#include "core/command_line.h"
#include "core/core.h"
#include "core/panel_layout.h"
#include "imaging/imaging.h"
#include "imaging/panel_buttons.h"
#include "names/place_search.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain/terrain_set.h"

TerrainView terrainView;
int terrainReliefLevel = 2;

static struct {
    int cameraPlaced;  // preset A has been applied in this run of the program
    std::string caption;  // the window's caption before the view
} screen;

const char* TerrainCaption(int displayType) {
    static const char* const captions[8] = {
        "3D View: Satellite Imagery", "3D View: Shaded Relief", "3D View: Elevation", "3D View: Aspect",
        "3D View: Slope",             "3D View: Details",       "3D View: Flooding",  "3D View: Panorama",
    };
    return displayType >= 0 && displayType < 8 ? captions[displayType] : "";
}

int TerrainPreviewStep(int gridSize) { return gridSize == 100 ? 4 : gridSize == 150 ? 6 : 14; }

Point TerrainImageCentre() { return Point{(mapRect.left + mapRect.right) / 2, (mapRect.top + mapRect.bottom) / 2}; }

// [SECTION] Drawing

static const char* ScaleForType(int displayType, std::string* keep) {
    if (displayType == kTerrainAspect) *keep = DataRootPath("scales\\aspect.sca");
    else if (displayType == kTerrainSlope) *keep = DataRootPath("scales\\slope.sca");
    else *keep = terrainView.scalePath;
    return keep->c_str();
}

int DrawTerrainView(int displayType, int step) {
    const TerrainBuffers& b = terrainBuffers;
    int n = terrainView.gridSize;
    if (!ProjectTerrainCells(terrainSet.minHeight, terrainSet.maxHeight, n, 0, 0, b.imageWidth, b.imageHeight, step))
        return 0;
    std::string scale;
    const char* path = ScaleForType(displayType, &scale);
    // The panorama set-up marks its cells straight on the window, without the frame.
    int frame = displayType != kTerrainPanoramaSetup;
    terrainDraw.namesOn = namesOn3D ? 1 : 0;
    if (displayType != kTerrainPreview) SetWindowCaption(TerrainCaption(displayType));
    return RenderTerrain(n, mapRect.left, mapRect.top, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
                         displayType, kTerrainShadingGain, path, step, frame);
}

static void ShowValue(const PanelRect& box, int value) {
    Rect r = LayoutArea(box, smallLayout);
    char text[8];
    snprintf(text, sizeof text, "%d", value);
    for (Surface* s : {WindowSurface(), hbmVirtual}) {
        if (!s) continue;
        FillRect(s, r, MakeColour(0, 0, 0));
        FontSpec font;
        font.pixelHeight = smallLayout ? 9 : 11;
        font.weight = 700;
        SetFont(s, font);
        SetTextColour(s, MakeColour(0, 255, 0));
        SetBackgroundMode(s, BK_TRANSPARENT);
        SetTextAlign(s, TA_CENTER | TA_TOP);
        TextOut(s, (r.left + r.right) / 2, r.top + (r.bottom - r.top - font.pixelHeight) / 2, text);
        SetTextAlign(s, TA_LEFT | TA_TOP);
    }
}

void ShowTerrainPanelValues() {
    ShowValue(kTerrainGridValue, terrainView.gridSize);
    ShowValue(kTerrainReliefValue, terrainReliefLevel);
}

// [SECTION] Painting and input

static void PaintTerrainView(const Rect& area) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    Blit(w, area.left, area.top, area.right - area.left, area.bottom - area.top, hbmVirtual, area.left, area.top);
    RedrawButtons(4);
    DrawUnitsSwitch(4);
    ShowTerrainPanelValues();
    if (!terrainView.ready) return;
    DrawTerrainLegend(terrainView.displayType, terrainView.scalePath.c_str());
    // The off-screen image keeps the last picture: showing it again costs no drawing.
    if (terrainBuffers.image)
        Blit(w, mapRect.left, mapRect.top, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top,
             terrainBuffers.image, 0, 0);
}

static void TerrainLeftDown(int x, int y) {
    if (terrainView.control != kControlNone) return;
    if (TerrainUnitLineClick(x, y)) return;
    int id;
    if (ButtonHitTest(x, y, 4, &id)) TerrainButton(id);
}

void HandleTerrainMessage(const Message& m) {
    int id;
    switch (m.kind) {
    case MSG_PAINT: PaintTerrainView(m.paintRect); break;
    case MSG_SYSCOMMAND:
        if (m.wParam == SC_RESTORE) ShowMainWindow();
        break;
    case MSG_MOUSEMOVE:
        if (terrainView.control != kControlNone) TerrainDragMove(MessageX(m), MessageY(m));
        else ButtonHitTest(MessageX(m), MessageY(m), 4, &id);
        break;
    case MSG_LBUTTONDOWN: TerrainLeftDown(MessageX(m), MessageY(m)); break;
    case MSG_MOUSEWHEEL:
        if (terrainView.control == kControlNone) TerrainWheel(MessageWheelDelta(m));
        break;
    case MSG_LBUTTONUP:
    case MSG_RBUTTONUP:
        if (terrainView.control != kControlNone) EndTerrainDrag();
        break;
    case MSG_KEYDOWN:
        // The view's manual page, as its Manual button; not while a drag control is held.
        if (m.wParam == VK_F1 && terrainView.control == kControlNone) TerrainButton(9);
        break;
    case MSG_COMMAND:
        if (m.wParam == CMD_PRINT || m.wParam == CMD_EXPORT) {
            PrintTerrainView(m.wParam == CMD_EXPORT);
            break;
        }
        // The exit command belongs to the shell: leave, and let it arrive there.
        PostMessage(m.kind, m.wParam, m.lParam);
        terrainView.leaveCode = 0;
        break;
    default: break;  // the view reads the mouse only
    }
}

// [SECTION] Entering and leaving

void CloseTerrainView() {
    if (terrainView.ready || terrainBuffers.dtmDataBuf) {
        RestoreTerrainLegendRects();
        FreeTerrainBuffers();
    }
    terrainView.ready = 0;
    terrainSet.size = 0;
    terrainDraw.flooding = 0;
    if (terrainView.control != kControlNone) SetCursorShape(CURSOR_ARROW);
    terrainView.control = kControlNone;
}

int OpenTerrainView() {
    terrainView = TerrainView{};
    terrainView.gridSize = 150;
    terrainView.leaveCode = -1;
    terrainView.scalePath = DataRootPath("scales\\ian1.sca");
    if (!screen.cameraPlaced) {
        ResetTerrainCamera();
        screen.cameraPlaced = 1;
    }
    if (!AllocateTerrainBuffers(kTerrainMaxGrid, kTerrainMaxGrid, mapRect.right - mapRect.left, mapRect.bottom - mapRect.top))
        return 0;
    EnterTerrainLegendRects();
    terrainView.ready = 1;
    if (!LoadTerrainSet(terrainView.scalePath.c_str(), terrainView.gridSize, placeSearch.show != SEARCH_SHOW_NONE)) return 0;
    terrainDraw.flooding = 0;
    terrainDraw.observerX = terrainDraw.observerY = terrainView.gridSize / 2;
    ShowTerrainPanelValues();
    DrawTerrainLegend(kTerrainImagery, terrainView.scalePath.c_str());
    DrawTerrainView(kTerrainImagery, 1);
    return 1;
}

// The camera goes back to its medium-grid values, which is the grid the next visit opens on.
static void CameraToMediumGrid() {
    int n = terrainView.gridSize;
    if (n == 150 || n == 0) return;
    SetTerrainZoom(GetTerrainZoom() * n / 150.0);
    SetTerrainExaggeration(GetTerrainExaggeration() * 150.0 / n);
}

int RunTerrainView() {
    screen.caption = WindowCaption();
    if (!OpenTerrainView()) {
        CloseTerrainView();
        return 0;
    }
    while (terrainView.leaveCode < 0) {
        Message m;
        if (!GetMessage(&m)) {
            // The quit is the shell's to act on: handed back to the queue for its loop.
            PostQuitMessage((int)m.wParam);
            terrainView.leaveCode = 0;
            break;
        }
        HandleTerrainMessage(m);
        // A place handed over by a later start leaves for the map there. Looking after every
        // message also finds one that came while a chooser or the manual ran its own loop.
        if (TakeHandedOverPlace()) terrainView.leaveCode = kViewCodeHandedOverPlace;
    }
    int code = terrainView.leaveCode;
    if (terrainView.ready) CameraToMediumGrid();
    CloseTerrainView();
    SetWindowCaption(screen.caption.c_str());
    return code;
}
