// The flyby's instrument column on "menu\flymain.bmp": the heading dial with its needle and the
// aircraft symbol, the ALT and SPEED bars, the position readout and the throttle and climb
// tracks. Drawn on the window only, over the background kept in hbmVirtual, and only where a
// value changed since the last frame; clicks on the dial and tracks steer the aircraft.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/panel_layout.h"
#include "flyby/flyby_screen.h"
#include "imaging/imaging.h"
#include "map2d/map2d.h"
#include "platform/files.h"

// Places on the panel picture, measured from "menu\flymain.bmp" (800x600 pixels).
constexpr int kDialCentreX = 746, kDialCentreY = 212, kDialRadius = 41;
constexpr PanelRect kAltFill = {707, 271, 36, 50};     // inside the ALT well, above its label
constexpr PanelRect kSpeedFill = {749, 271, 36, 50};
constexpr PanelRect kReadout = {698, 363, 94, 76};
constexpr PanelRect kThrottleTrack = {699, 468, 94, 16};
constexpr PanelRect kClimbPad = {699, 513, 94, 36};

constexpr double kFeetPerMetre = 3.280839895013123;
constexpr float kMetresPerHeightUnit = 500.0f;

namespace {
// An 8-bit picture of the flyby's textures: indices top row first, 0 transparent.
struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> index;
    ColourRef colour[256] = {};
};
}  // namespace

static struct {
    Surface* dialMask;
    Surface* tracksMask;
    IndexedPicture symbol, altFill, speedFill;
    // What the panel shows now, so a frame redraws only what changed.
    int heading, altPixels, speedPixels, throttleX, climbY, imperial;
    std::string readout;
} panel;

static Rect Area(const PanelRect& r) { return LayoutArea(r, smallLayout); }
static int L(int v) { return LayoutLength(v, smallLayout); }
static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// 8-bit textures keep their indices so index 0 can stay transparent; the colours are the
// file's own table (the flyby palette).
static int LoadIndexedPicture(const char* name, IndexedPicture* out) {
    std::vector<uint8_t> bytes;
    // The 640x480 layout has its own smaller pictures under "640\", as every bitmap of it does.
    std::string path = smallLayout ? FindDataFile((std::string("640\\") + name).c_str()) : std::string();
    if (path.empty()) path = FindDataFile(name);
    BmpLayout layout;
    std::string reason;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes, 4 << 20) || bytes.size() < 14 ||
        !ParseBmpHeaders(bytes.data(), bytes.data() + 14, bytes.size() - 14, &layout, &reason) || layout.bitCount != 8) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    const uint8_t* rest = bytes.data() + 14;
    out->width = layout.width, out->height = layout.height;
    out->index.resize((size_t)layout.width * layout.height);
    for (int r = 0; r < layout.height; r++)
        std::copy_n(BmpRowFromTop(rest, layout, r), layout.width, out->index.begin() + (size_t)r * layout.width);
    for (int i = 0; i < 256; i++) out->colour[i] = BmpTableColour(rest, layout, i);
    return 1;
}

// Draws rows fromRow.. of a picture with its top-left corner at (x, y), skipping index 0.
static void DrawIndexed(const IndexedPicture& p, int x, int y, int fromRow, int rows) {
    Surface* w = WindowSurface();
    if (!w || p.index.empty()) return;
    uint32_t* pixels = SurfacePixels(w);
    int stride = SurfaceStride(w), width = SurfaceWidth(w), height = SurfaceHeight(w);
    for (int r = 0; r < rows && fromRow + r < p.height; r++) {
        int wy = y + r;
        if (wy < 0 || wy >= height) continue;
        const uint8_t* row = &p.index[(size_t)(fromRow + r) * p.width];
        for (int c = 0; c < p.width; c++) {
            int wx = x + c;
            if (!row[c] || wx < 0 || wx >= width) continue;
            ColourRef k = p.colour[row[c]];
            pixels[(size_t)wy * stride + wx] = 0xFF000000u | (ColourRed(k) << 16) | (ColourGreen(k) << 8) | ColourBlue(k);
        }
    }
}

// The aircraft symbol turned to the heading about its centre (nearest pixel), so it points
// where the aircraft flies.
static void DrawSymbolTurned(const IndexedPicture& p, int cx, int cy, int heading) {
    Surface* w = WindowSurface();
    if (!w || p.index.empty()) return;
    uint32_t* pixels = SurfacePixels(w);
    int stride = SurfaceStride(w), width = SurfaceWidth(w), height = SurfaceHeight(w);
    double a = heading * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    double half = std::hypot(p.width, p.height) / 2 + 1, pcx = (p.width - 1) / 2.0, pcy = (p.height - 1) / 2.0;
    for (int dy = (int)-half; dy <= (int)half; dy++)
        for (int dx = (int)-half; dx <= (int)half; dx++) {
            // Back from the window to the picture: a turn by -heading.
            int sx = (int)std::lround(pcx + dx * c + dy * s), sy = (int)std::lround(pcy - dx * s + dy * c);
            int wx = cx + dx, wy = cy + dy;
            if (sx < 0 || sy < 0 || sx >= p.width || sy >= p.height || wx < 0 || wy < 0 || wx >= width || wy >= height) continue;
            uint8_t index = p.index[(size_t)sy * p.width + sx];
            if (!index) continue;
            ColourRef k = p.colour[index];
            pixels[(size_t)wy * stride + wx] = 0xFF000000u | (ColourRed(k) << 16) | (ColourGreen(k) << 8) | ColourBlue(k);
        }
}

static void Restore(const Rect& r) {
    if (WindowSurface() && hbmVirtual) Blit(WindowSurface(), r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

void OpenFlybyPanel() {
    CloseFlybyPanel();
    LoadBMPFromFile("menu\\151m.bmp", &panel.dialMask);
    LoadBMPFromFile("menu\\151m2.bmp", &panel.tracksMask);
    LoadIndexedPicture("Textures\\C3.bmp", &panel.symbol);
    LoadIndexedPicture("Textures\\C4.bmp", &panel.altFill);
    LoadIndexedPicture("Textures\\C5.bmp", &panel.speedFill);
}

void CloseFlybyPanel() {
    if (panel.dialMask) DeleteSurface(panel.dialMask);
    if (panel.tracksMask) DeleteSurface(panel.tracksMask);
    panel.dialMask = panel.tracksMask = nullptr;
    panel.symbol = panel.altFill = panel.speedFill = IndexedPicture{};
    panel.heading = panel.altPixels = panel.speedPixels = panel.throttleX = panel.climbY = -1;
    panel.readout.clear();
}

// [SECTION] Positions and values

int DialHeadingAt(int x, int y) {
    int dx = x - L(kDialCentreX), dy = y - L(kDialCentreY);
    if (dx == 0 && dy == 0) return -1;
    int heading = (int)std::lround(std::atan2((double)dx, (double)-dy) * 180.0 / M_PI);
    return (heading % 360 + 360) % 360;
}

float ThrottleSpeedAt(int x) {
    Rect t = Area(kThrottleTrack);
    double v = (double)(x - t.left) / (t.right - t.left - 1) * 2.0 * kFlybyTopSpeed - kFlybyTopSpeed;
    v = std::clamp(v, (double)-kFlybyTopSpeed, (double)kFlybyTopSpeed);
    return (float)(std::lround(v / kFlybySpeedStep) * kFlybySpeedStep);  // on the keys' steps
}

float ClimbRateAt(int y) {
    Rect c = Area(kClimbPad);
    double half = (c.bottom - c.top) / 2.0, centre = c.top + half;
    if (std::fabs(y - centre) <= 2) return 0.0f;  // a little dead band for level flight
    double v = (centre - y) / half * kFlybyTopClimb;
    return (float)std::clamp(v, (double)-kFlybyTopClimb, (double)kFlybyTopClimb);
}

static int MaskWhite(Surface* mask, const PanelRect& where, int x, int y) {
    Rect r = Area(where);
    if (!Inside(r, x, y)) return 0;
    if (!mask) return 1;  // without its mask the panel takes clicks on the whole rectangle
    return ColourRed(GetPixel(mask, x - r.left, y - r.top)) > 127;
}

int FlybyPanelClick(FlybyFlight* f, int x, int y) {
    if (MaskWhite(panel.dialMask, kFlybyDialMask, x, y)) {
        int heading = DialHeadingAt(x, y);
        if (heading >= 0) f->heading = heading;
        return 1;
    }
    if (!MaskWhite(panel.tracksMask, kFlybyTracksMask, x, y)) return 0;
    Rect throttle = Area(kThrottleTrack), pad = Area(kClimbPad);
    if (y < (throttle.bottom + pad.top) / 2) f->speed = ThrottleSpeedAt(x);
    else flybyControls.climb = ClimbRateAt(y);
    return 1;
}

void FlybyReadoutTexts(const FlybyFlight& f, const FlybyGrids& g, int imperial, std::string* lat, std::string* lon,
                       std::string* alt) {
    double longitude = f.x / kFlybyWorldWidthKm * 360.0 - 180.0;
    double latitude = 90.0 - f.y / kFlybyWorldHeightKm * 180.0;
    // To the nearest second, and a hair beyond it, so that 8.9999999 reads 9 degrees and not
    // 8 degrees 59 minutes 60 seconds.
    auto toSecond = [](double v) { return (std::round(v * 3600.0) + (v < 0 ? -1e-3 : 1e-3)) / 3600.0; };
    formatDms(toSecond(latitude), toSecond(longitude), lat, lon);
    // Heights count from the window's lowest cell; adding it back gives height above the sea.
    double metres = (f.altitude + (g.prepared ? g.lowestHeight : 0.0f)) * kMetresPerHeightUnit;
    *alt = imperial ? formatGrouped(std::round(metres * kFeetPerMetre), 0) + " ft" : formatGrouped(std::round(metres), 0) + " m";
}

// [SECTION] Drawing

static void DrawDial(int heading) {
    Rect dial = Area(kFlybyDialMask);
    Restore(dial);
    Surface* w = WindowSurface();
    int cx = L(kDialCentreX), cy = L(kDialCentreY);
    double radians = heading * M_PI / 180.0, reach = L(kDialRadius - 7);
    SetPen(w, PEN_SOLID, 2, MakeColour(255, 200, 40));
    MoveTo(w, cx, cy);
    LineTo(w, cx + (int)std::lround(reach * std::sin(radians)), cy - (int)std::lround(reach * std::cos(radians)));
    DrawSymbolTurned(panel.symbol, cx, cy, heading);
}

// A bar filled from the bottom: the lowest `pixels` rows of its fill picture, or plain green.
static void DrawBar(const PanelRect& where, const IndexedPicture& fill, int pixels) {
    Rect r = Area(where);
    Restore(r);
    if (pixels <= 0) return;
    int top = r.bottom - pixels;
    if (fill.index.empty()) {
        FillRect(WindowSurface(), Rect{r.left, top, r.right, r.bottom}, MakeColour(40, 200, 60));
        return;
    }
    int fromRow = std::max(0, fill.height - pixels);
    DrawIndexed(fill, r.left, top + (pixels - std::min(pixels, fill.height)), fromRow, std::min(pixels, fill.height));
}

static int BarPixels(const PanelRect& where, double fraction) {
    Rect r = Area(where);
    return (int)std::lround(std::clamp(fraction, 0.0, 1.0) * (r.bottom - r.top));
}

static void DrawReadout(const std::string& text) {
    Surface* w = WindowSurface();
    Rect r = Area(kReadout);
    FillRect(w, r, MakeColour(6, 10, 17));
    FontSpec font;
    font.pixelHeight = smallLayout ? 9 : 11;
    font.weight = 700;
    SetFont(w, font);
    SetTextColour(w, MakeColour(0, 255, 0));
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    int y = r.top + 2, line = font.pixelHeight + (smallLayout ? 2 : 4);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        TextOut(w, r.left + 3, y, text.c_str() + start, (int)(end - start));
        y += line;
        start = end + 1;
    }
}

static void DrawThrottle(int markerX) {
    Rect t = Area(kThrottleTrack);
    Restore(t);
    Surface* w = WindowSurface();
    int centre = (t.left + t.right) / 2;
    FillRect(w, Rect{std::min(centre, markerX), t.top + 5, std::max(centre, markerX) + 1, t.bottom - 5}, MakeColour(40, 200, 60));
    FillRect(w, Rect{markerX - 2, t.top + 2, markerX + 2, t.bottom - 2}, MakeColour(255, 200, 40));
}

static void DrawClimb(int markerY) {
    Rect c = Area(kClimbPad);
    Restore(c);
    Surface* w = WindowSurface();
    int centre = (c.top + c.bottom) / 2;
    FillRect(w, Rect{c.left + 6, centre, c.right - 6, centre + 1}, MakeColour(90, 110, 140));
    FillRect(w, Rect{c.left + 6, markerY - 1, c.right - 6, markerY + 2}, MakeColour(255, 200, 40));
}

void DrawFlybyPanel(const FlybyFlight& f, const FlybyGrids& g, int all) {
    if (!WindowSurface() || !hbmVirtual) return;
    if (all || f.heading != panel.heading) DrawDial(panel.heading = f.heading);
    int alt = BarPixels(kAltFill, f.altitude / kFlybyHighestAltitude);
    if (all || alt != panel.altPixels) DrawBar(kAltFill, panel.altFill, panel.altPixels = alt);
    int speed = BarPixels(kSpeedFill, std::fabs(f.speed) / kFlybyTopSpeed);
    if (all || speed != panel.speedPixels) DrawBar(kSpeedFill, panel.speedFill, panel.speedPixels = speed);
    Rect t = Area(kThrottleTrack);
    int throttleX = t.left + (int)std::lround((f.speed + kFlybyTopSpeed) / (2 * kFlybyTopSpeed) * (t.right - t.left - 1));
    if (all || throttleX != panel.throttleX) DrawThrottle(panel.throttleX = throttleX);
    Rect c = Area(kClimbPad);
    int climbY = (c.top + c.bottom) / 2 - (int)std::lround(flybyControls.climb / kFlybyTopClimb * ((c.bottom - c.top) / 2 - 3));
    if (all || climbY != panel.climbY) DrawClimb(panel.climbY = climbY);
    std::string lat, lon, altText;
    FlybyReadoutTexts(f, g, imperialUnits, &lat, &lon, &altText);
    char more[64];
    snprintf(more, sizeof more, "Heading %03d\xB0\nSpeed %+.2f", f.heading, f.speed);
    std::string readout = lat + "\n" + lon + "\nAlt " + altText + "\n" + more;
    if (all || readout != panel.readout) DrawReadout(panel.readout = readout);
}
