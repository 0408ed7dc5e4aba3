// The ocean-level slider of the globe screen: the elevation globe flooded up to a height picked
// on a track coloured like the elevation scale, or typed in metres (feet with imperial units).
// A panel with its own loop on the message queue; the screen reloads its own layers after it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/core.h"
#include "core/panel_layout.h"
#include "globe/globe.h"
#include "imaging/imaging.h"

// [SECTION] Level arithmetic

constexpr double kFeetPerMetre = 3.280839895013123;
constexpr int kTypedLimit = 32000;

double OceanTrackFraction(int y, int trackTop, int trackBottom) {
    if (trackBottom <= trackTop) return 0;
    double f = (double)(trackBottom - y) / (trackBottom - trackTop);
    return std::clamp(f, 0.0, 1.0);
}

int FloodLevelForFraction(double f) {
    return std::clamp((int)(256 * f), 0, 255);
}

std::string OceanLevelText(double f, int imperial) {
    char text[32];
    double metres = f * kOceanLevelTopMetres;
    if (imperial)
        snprintf(text, sizeof text, "%.0f ft", metres * kFeetPerMetre);
    else
        snprintf(text, sizeof text, "%.0f m", metres);
    return text;
}

int TypedOceanLevel(const std::string& text, int imperial, int* typed, int* metres) {
    size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    if (i == text.size()) return 0;
    long value = 0;
    for (; i < text.size(); i++) {
        if (text[i] < '0' || text[i] > '9') return 0;
        // Past the limit the digits no longer matter; stopping the sum keeps it from overflowing.
        value = std::min(value * 10 + (text[i] - '0'), (long)kTypedLimit + 1);
    }
    if (text[0] == '-') value = -value;
    *typed = (int)std::clamp(value, (long)-kTypedLimit, (long)kTypedLimit);
    *metres = imperial ? (int)(*typed * 0.3048) : *typed;
    return 1;
}

int FloodLevelForMetres(int metres) {
    return std::clamp((int)(metres / kOceanLevelTopMetres * 256), 0, 255);
}

// [SECTION] The panel

namespace {

enum Look { LOOK_NORMAL = 0, LOOK_MARKED = 1, LOOK_HOVER = 2, LOOK_PRESSED = 3 };
enum Area { AREA_TRACK = 0, AREA_ENTRY = 1, AREA_CONFIRM = 2, kAreas = 3 };
constexpr int kThumbW = 17, kThumbH = 9;
constexpr int kTypedDigits = 6;
constexpr int kOutline = 2;

struct Slider {
    Point at;
    int width, height;
    Surface* look[4] = {};
    std::vector<ColourRef> trackRows;  // top row first, through the gamma table
    double fraction = 0;               // of the track below the thumb
    std::string readout;
    std::string typed;
    int hover = -1, pressed = -1;
    int dragging = 0;
};

}  // namespace

static const char* const kLookNames[4] = {"menu\\124.bmp", "menu\\124m.bmp", "menu\\124r.bmp", "menu\\124h.bmp"};

static Rect AreaRect(int area) {
    const PanelRect& a = area == AREA_TRACK ? kOceanSliderTrack : area == AREA_ENTRY ? kOceanSliderEntry : kOceanSliderConfirm;
    return LayoutArea(a, smallLayout);
}

static Rect Offset(const Rect& r, Point at) { return Rect{r.left + at.x, r.top + at.y, r.right + at.x, r.bottom + at.y}; }

static void ReleaseLooks(Slider& s) {
    for (Surface*& look : s.look) {
        if (look) DeleteSurface(look);
        look = nullptr;
    }
}

static int LoadLooks(Slider& s) {
    for (int i = 0; i < 4; i++) {
        if (!LoadBMPFromFile(kLookNames[i], &s.look[i])) {
            ReleaseLooks(s);
            return 0;
        }
    }
    return 1;
}

// The track shows the elevation scale over the same heights the thumb floods, floored as the
// globe's own palette is. A scale that cannot be read leaves the track as the panel draws it;
// the layer loader has said so already.
static void ReadTrackColours(Slider& s) {
    Rect t = AreaRect(AREA_TRACK);
    int height = t.bottom - t.top;
    std::string path = ElevationScalePath();
    ScaleFile scale;
    if (!OpenScaleFile(path.c_str(), &scale)) return;
    for (int row = 0; row < height; row++) {
        ColourRef c = 0;
        if (!ScaleColour(&scale, ScaleIndexForRow(row, height, 1, 1), &c)) {
            s.trackRows.clear();
            break;
        }
        s.trackRows.push_back(MakeColour(GammaLookup(ColourRed(c)), GammaLookup(ColourGreen(c)), GammaLookup(ColourBlue(c))));
    }
    CloseScaleFile(&scale);
}

static int AreaLook(const Slider& s, int area) {
    if (area == AREA_TRACK) return LOOK_NORMAL;
    if (area == s.pressed) return LOOK_PRESSED;
    if (area == s.hover) return LOOK_HOVER;
    return area == AREA_ENTRY && !s.typed.empty() ? LOOK_MARKED : LOOK_NORMAL;
}

static ColourRef Grey(int v) { return MakeColour(GammaLookup(v), GammaLookup(v), GammaLookup(v)); }

// The thumb is a bright bar with a dark outline, centred on the track at the current level.
static void DrawTrack(Surface* win, const Slider& s) {
    Rect t = Offset(AreaRect(AREA_TRACK), s.at);
    for (size_t row = 0; row < s.trackRows.size(); row++) {
        int y = t.top + (int)row;
        FillRect(win, Rect{t.left, y, t.right, y + 1}, s.trackRows[row]);
    }
    int w = LayoutLength(kThumbW, smallLayout), h = LayoutLength(kThumbH, smallLayout);
    int centre = t.bottom - 1 - (int)std::lround(s.fraction * (t.bottom - t.top - 1));
    int left = (t.left + t.right - w) / 2, top = centre - h / 2;
    FillRect(win, Rect{left, top, left + w, top + h}, Grey(16));
    FillRect(win, Rect{left + 1, top + 1, left + w - 1, top + h - 1}, Grey(236));
}

// White text in a field, vertically centred, with a caret after it when asked.
static void DrawFieldText(Surface* win, const Rect& r, const std::string& text, int caret) {
    DrawState saved = GetDrawState(win);
    SetFont(win, fhGeneric);
    SetTextColour(win, MakeColour(255, 255, 255));
    SetBackgroundMode(win, BK_TRANSPARENT);
    SetTextAlign(win, TA_LEFT | TA_TOP);
    Point size = TextExtent(win, text.empty() ? "0" : text.c_str());
    int x = r.left + 5, y = r.top + (r.bottom - r.top - size.y) / 2;
    if (!text.empty()) TextOut(win, x, y, text.c_str());
    if (caret) {
        int cx = x + (text.empty() ? 0 : size.x) + 1;
        FillRect(win, Rect{cx, y, cx + 1, y + size.y}, MakeColour(255, 255, 255));
    }
    SetDrawState(win, saved);
}

static void DrawPanel(const Slider& s) {
    Surface* win = WindowSurface();
    if (!win) return;
    Blit(win, s.at.x, s.at.y, s.width, s.height, s.look[LOOK_NORMAL], 0, 0);
    for (int area = AREA_ENTRY; area < kAreas; area++) {
        int look = AreaLook(s, area);
        if (look == LOOK_NORMAL) continue;
        // The outlines of the field and the button lie just outside their areas.
        Rect a = AreaRect(area);
        a = Rect{a.left - kOutline, a.top - kOutline, a.right + kOutline, a.bottom + kOutline};
        Blit(win, s.at.x + a.left, s.at.y + a.top, a.right - a.left, a.bottom - a.top, s.look[look], a.left, a.top);
    }
    DrawTrack(win, s);
    DrawFieldText(win, Offset(LayoutArea(kOceanSliderReadout, smallLayout), s.at), s.readout, 0);
    DrawFieldText(win, Offset(AreaRect(AREA_ENTRY), s.at), s.typed, 1);
}

// The flooded elevation globe; the frame fills the whole map area, the panel included, so the
// panel goes back on top before anything is shown.
static int DrawFloodedGlobe(const Slider* s) {
    Surface* win = WindowSurface();
    // The status line below takes the overlay's title away as the flooded frame replaces it.
    SetClipRect(win, Rect{std::min(mapRect.left, statusRect.left), mapRect.top, std::max(mapRect.right, statusRect.right),
                          std::max(mapRect.bottom, statusRect.bottom)});
    int drawn = DrawGlobe(win, mapRect.left, mapRect.top, globeView.centreLongitude, kGlobeElevation);
    ClearClip(win);
    if (s) DrawPanel(*s);
    return drawn;
}

// The track takes presses a little above and below itself, where the thumb overhangs it.
static int AreaAt(const Slider& s, int x, int y) {
    int overhang = LayoutLength(kThumbH, smallLayout) / 2;
    for (int area = 0; area < kAreas; area++) {
        Rect a = Offset(AreaRect(area), s.at);
        if (area == AREA_TRACK) a.top -= overhang, a.bottom += overhang;
        if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return area;
    }
    return -1;
}

static void SetFraction(Slider& s, double f) {
    s.fraction = f;
    globeView.floodLevel = FloodLevelForFraction(f);
    DrawFloodedGlobe(&s);
}

static void Drag(Slider& s, int y) {
    Rect t = Offset(AreaRect(AREA_TRACK), s.at);
    double f = OceanTrackFraction(y, t.top, t.bottom);
    if (f == s.fraction) return;
    s.readout = OceanLevelText(f, imperialUnits);
    SetFraction(s, f);
}

static void ApplyTyped(Slider& s) {
    int typed = 0, metres = 0;
    if (!TypedOceanLevel(s.typed, imperialUnits, &typed, &metres)) {
        PlayCue(CUE_ERROR);
        return;
    }
    char text[32];
    snprintf(text, sizeof text, imperialUnits ? "%d ft" : "%d m", typed);
    s.readout = text;
    s.typed.clear();
    globeView.floodLevel = FloodLevelForMetres(metres);
    s.fraction = std::clamp(metres / kOceanLevelTopMetres, 0.0, 1.0);
    DrawFloodedGlobe(&s);
}

static void TypeKey(Slider& s, uint64_t key) {
    if (key == VK_RETURN) {
        ApplyTyped(s);
    } else if (key == VK_BACK && !s.typed.empty()) {
        s.typed.pop_back();
        DrawPanel(s);
    }
}

static void TypeCharacter(Slider& s, uint64_t c) {
    size_t digits = s.typed.size() - (!s.typed.empty() && s.typed[0] == '-');
    if (c == '-' && s.typed.empty()) s.typed = "-";
    if (c >= '0' && c <= '9' && digits < kTypedDigits) s.typed += (char)c;
    DrawPanel(s);
}

static void Press(Slider& s, int x, int y) {
    s.pressed = AreaAt(s, x, y);
    if (s.pressed == AREA_TRACK) {
        s.dragging = 1;
        s.pressed = -1;
        Drag(s, y);
        return;
    }
    if (s.pressed >= 0) DrawPanel(s);
}

static void Release(Slider& s, int x, int y) {
    int pressed = s.pressed;
    s.pressed = -1;
    s.dragging = 0;
    if (pressed == AREA_CONFIRM && AreaAt(s, x, y) == AREA_CONFIRM) {
        ApplyTyped(s);
        DrawPanel(s);
        return;
    }
    if (pressed >= 0) DrawPanel(s);
}

static void Move(Slider& s, const Message& m) {
    // A release outside the window never reaches us; the button state of the move tells.
    if (s.dragging && !(m.wParam & MK_LBUTTON)) s.dragging = 0;
    if (s.dragging) {
        Drag(s, MessageY(m));
        return;
    }
    int area = AreaAt(s, MessageX(m), MessageY(m));
    if (area == AREA_TRACK) area = -1;
    if (area != s.hover) {
        s.hover = area;
        DrawPanel(s);
    }
}

// Acts on one message; 0 once the slider is to close.
static int HandleMessage(Slider& s, const Message& m) {
    switch (m.kind) {
    case MSG_KEYDOWN:
        if (m.wParam == VK_ESCAPE) return 0;
        TypeKey(s, m.wParam);
        return 1;
    case MSG_CHAR:
        TypeCharacter(s, m.wParam);
        return 1;
    case MSG_MOUSEMOVE:
        Move(s, m);
        return 1;
    case MSG_LBUTTONDOWN:
        Press(s, MessageX(m), MessageY(m));
        return 1;
    case MSG_LBUTTONUP:
        Release(s, MessageX(m), MessageY(m));
        return 1;
    case MSG_PAINT:
        // The window repaints from hbmVirtual, which holds no globe: the flooded frame and the
        // panel go back on top.
        DispatchMessage(m);
        DrawFloodedGlobe(&s);
        return 1;
    case MSG_TIMER:
        DispatchMessage(m);
        return 1;
    default:
        return 1;
    }
}

static void RunSlider(Slider& s) {
    for (;;) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);  // left for the screen's own loop
            return;
        }
        if (!HandleMessage(s, m)) return;
    }
}

// The elevation layers under the flood: the heights must be in layer B and the palette must
// be the elevation scale's, which only an elevation globe already has.
static int LoadElevationLayers() {
    if (globeView.imageType == kGlobeElevation) return 1;
    const char* shading = globeView.namesShown ? "globe\\2160n.sha" : "globe\\2160.sha";
    std::string scale = ElevationScalePath();
    return LoadGlobeLayers("globe\\2160.bmp", shading, "globe\\2160.hts", scale.c_str(), kGlobeElevation, 1, 0) > 0;
}

void OceanLevelSlider() {
    Surface* win = WindowSurface();
    if (!win) return;
    Slider s;
    s.at = ChooserPanelPosition(546, 45);
    s.width = LayoutLength(kOceanSliderW, smallLayout);
    s.height = LayoutLength(kOceanSliderH, smallLayout);
    if (!LoadLooks(s)) return;
    globeView.floodMode = 0;
    globeView.floodLevel = 0;
    if (!LoadElevationLayers() || !DrawFloodedGlobe(nullptr)) {
        ReleaseLooks(s);
        return;
    }
    globeView.floodMode = 1;
    s.readout = OceanLevelText(0, imperialUnits);
    ReadTrackColours(s);
    PlayCue(CUE_SLIDE);
    DrawPanel(s);

    RunSlider(s);
    globeView.floodMode = 0;
    globeView.floodLevel = 0;
    PlayCue(CUE_SLIDE);
    if (hbmVirtual) Blit(win, s.at.x, s.at.y, s.width, s.height, hbmVirtual, s.at.x, s.at.y);
    ReleaseLooks(s);
}
