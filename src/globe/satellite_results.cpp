// What the visible-satellites search found: the list of satellites at the bottom right of the
// screen and the path view in the map area, an orthographic map centred on the observer with
// graticule and world outline, over which a chosen satellite's hour is plotted second by second.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "globe/globe.h"
#include "globe/satellite_tools.h"
#include "platform/files.h"

constexpr double kRadians = 0.0174532925;
constexpr double kEarthRadiusKm = 6378.16;
constexpr double kMaxStroke = 2000.0;     // longer graticule strokes would cross the limb
constexpr double kOutlineBreak = -9999.0; // a longitude that starts a new polyline
constexpr size_t kMaxOutlineBytes = 16u << 20;
constexpr double kPathSpanHours = 0.5;
constexpr ColourRef kNavy = MakeColour(0, 0, 128), kTeal = MakeColour(0, 128, 128), kOlive = MakeColour(128, 128, 0);
constexpr ColourRef kGrey = MakeColour(128, 128, 128), kMagenta = MakeColour(255, 0, 255);
constexpr ColourRef kBlack = MakeColour(0, 0, 0), kWhite = MakeColour(255, 255, 255);
// The corner the readout lines cover, with room for the widest of them.
constexpr int kReadoutWidth = 400, kReadoutHeight = 170;
constexpr int kResultDialogWidth = 420, kResultDialogHeight = 340;

static struct {
    int radius = kPathRadiusMax;   // drawing units, kept while the program runs
} pathView;

int SatellitePathRadius() { return pathView.radius; }
void SetSatellitePathRadius(int radius) { pathView.radius = radius; }

// [SECTION] Readout

void FormatPathReadout(const OrbitResult& o, double clockHours, int zoneWestSeconds, PathReadout* out) {
    double local = clockHours - zoneWestSeconds / 3600.0 + kPathSpanHours;
    if (!std::isfinite(local)) local = 0.0;   // a damaged result file
    double whole = floor(local);
    int hour = (int)fmod(whole, 24.0);
    if (hour < 0) hour += 24;
    double minutes = trunc((local - whole) * 60.0);
    int minute = minutes < 0.0 ? 0 : minutes > 59.0 ? 59 : (int)minutes;
    snprintf(out->lines[0], sizeof out->lines[0], "Azimuth (deg): %.1f  ", o.azimuth);
    snprintf(out->lines[1], sizeof out->lines[1], "Elevation (deg): %.1f  ", o.elevation);
    snprintf(out->lines[2], sizeof out->lines[2], "Altitude (km): %.0f  ", o.height);
    snprintf(out->lines[3], sizeof out->lines[3], "Eclipsed: %c ", o.eclipsed ? 'Y' : 'N');
    snprintf(out->lines[4], sizeof out->lines[4], "Visible: %c ", o.visible ? 'Y' : 'N');
    snprintf(out->lines[5], sizeof out->lines[5], "Time: %02d:%02d  ", hour, minute);
}

ColourRef PathPointColour(const OrbitResult& o) {
    if (o.visible) return o.eclipsed ? MakeColour(0, 128, 0) : MakeColour(0, 255, 0);
    return o.eclipsed ? MakeColour(128, 0, 0) : MakeColour(255, 0, 0);
}

// [SECTION] The map

struct PathFrame {
    Surface* s;
    Rect area;
    double R, lambda0, phi0;
    int width, height;
};

static Point FramePixel(const PathFrame& f, double x, double y) {
    Point p = GlobeUnitsToPixel(x, y, f.width, f.height);
    return Point{p.x + f.area.left, p.y + f.area.top};
}

static void Stroke(const PathFrame& f, double lat0, double lon0, double lat1, double lon1) {
    double x0, y0, x1, y1;
    if (!OrthographicPoint(lat0, lon0, f.R, f.lambda0, f.phi0, &x0, &y0) ||
        !OrthographicPoint(lat1, lon1, f.R, f.lambda0, f.phi0, &x1, &y1))
        return;
    if (fabs(x1 - x0) > kMaxStroke || fabs(y1 - y0) > kMaxStroke) return;
    Point a = FramePixel(f, x0, y0), b = FramePixel(f, x1, y1);
    MoveTo(f.s, a.x, a.y);
    LineTo(f.s, b.x, b.y);
}

static void DrawPathGraticule(const PathFrame& f) {
    for (int lat = -90; lat <= 90; lat += 15) {
        SetPen(f.s, PEN_SOLID, 1, lat == 0 ? kTeal : kNavy);
        for (int lon = -180; lon <= 178; lon += 2) Stroke(f, lat, lon, lat, lon + 2);
    }
    for (int lon = -180; lon <= 165; lon += 15) {
        // Only the four main meridians reach the poles; the others stop where they crowd.
        int reach = lon == -180 || lon == -90 || lon == 0 || lon == 90 ? 90 : 75;
        SetPen(f.s, PEN_SOLID, 1, lon == 0 ? kOlive : kNavy);
        for (int lat = -reach; lat <= reach - 2; lat += 2) Stroke(f, lat, lon, lat + 2, lon);
    }
}

static void FlushOutline(Surface* s, std::vector<Point>* run) {
    if (run->size() >= 2) Polyline(s, run->data(), (int)run->size());
    run->clear();
}

int DrawWorldOutline(Surface* s, const Rect& area, double radius, double lambda0, double phi0) {
    std::vector<uint8_t> bytes;
    std::string path = FindDataFile(kWorldOutlineFile);
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes, kMaxOutlineBytes)) return 0;
    PathFrame f{s, area, radius, lambda0, phi0, area.right - area.left, area.bottom - area.top};
    SetPen(s, PEN_SOLID, 1, kGrey);
    std::vector<Point> run;
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
    while (CursorLeft(c) >= 8) {
        double lon = ReadF32LE(c), lat = ReadF32LE(c);
        double x, y;
        if (lon >= 180.0) lon -= 360.0;   // the projection takes -180..180
        if (lon == kOutlineBreak || !OrthographicPoint(lat, lon, radius, lambda0, phi0, &x, &y)) {
            FlushOutline(s, &run);
            continue;
        }
        run.push_back(FramePixel(f, x, y));
    }
    FlushOutline(s, &run);
    return 1;
}

static void MarkObserver(const PathFrame& f) {
    Point c = FramePixel(f, 0.0, 0.0);
    for (int k = -2; k <= 2; k++) {
        SetPixel(f.s, c.x + k, c.y, kMagenta);
        SetPixel(f.s, c.x, c.y + k, kMagenta);
    }
}

static void DrawPathMap(const PathFrame& f) {
    FillRect(f.s, f.area, kBlack);
    DrawPathGraticule(f);
    DrawWorldOutline(f.s, f.area, f.R, f.lambda0, f.phi0);
    MarkObserver(f);
}

// [SECTION] The path

// Writes the lines that differ from what the corner shows; redrawing the same text over itself
// would change nothing, and six lines a second over an hour are most of the view's time.
static void WriteReadout(const PathFrame& f, const PathReadout& readout, PathReadout* shown) {
    for (int k = 0; k < 6; k++) {
        if (strcmp(readout.lines[k], shown->lines[k]) == 0) continue;
        TextOut(f.s, f.area.left + 10, f.area.top + 30 + 20 * k, readout.lines[k]);
        memcpy(shown->lines[k], readout.lines[k], sizeof readout.lines[k]);
    }
}

// The satellite as one pixel where the Earth does not hide it, on a sphere raised by its height.
// Returns 1 when the pixel fell where the readout is written.
static int PlotPosition(const PathFrame& f, const OrbitResult& o) {
    double ux = 0.0, uy = 0.0;
    int facing = OrthographicPoint(o.latitude, o.longitude, 1.0, f.lambda0, f.phi0, &ux, &uy);
    double lifted = f.R * (o.height + kEarthRadiusKm) / kEarthRadiusKm;
    double x = lifted * ux, y = lifted * uy;
    if ((!facing && hypot(x, y) <= f.R) || !std::isfinite(x) || !std::isfinite(y)) return 0;
    if (fabs(x) > 1e6 || fabs(y) > 1e6) return 0;   // absurd elements; cannot be on screen
    Point p = FramePixel(f, x, y);
    if (p.x < f.area.left || p.x >= f.area.right || p.y < f.area.top || p.y >= f.area.bottom) return 0;
    SetPixel(f.s, p.x, p.y, PathPointColour(o));
    return p.x < f.area.left + kReadoutWidth && p.y < f.area.top + kReadoutHeight;
}

// An hour of the entry's path, from half an hour before its time, one second a step.
static void DrawPath(const PathFrame& f, const SearchEntry& e, PathReadout* last) {
    TextOut(f.s, f.area.left + 10, f.area.top + 10, e.name);
    SatelliteRecord r = e.record;
    AdvanceSatelliteClock(&r, -kPathSpanHours);
    int zone = LocalZoneWestSeconds();
    PathReadout readout{}, shown{};
    for (int k = 0; k < kPathSteps; k++) {
        OrbitResult o = PropagateSatellite(r);
        AdvanceSatelliteClock(&r, 1.0 / 3600.0);
        FormatPathReadout(o, r.hours, zone, &readout);
        WriteReadout(f, readout, &shown);
        if (PlotPosition(f, o)) shown = PathReadout{};   // the next step writes every line over it
    }
    if (last) *last = readout;
}

static int ReadEntry(const char* resultFile, int index, SearchEntry* e) {
    std::vector<SearchEntry> entries;
    if (!ReadSearchEntries(resultFile, &entries)) return 0;
    if (index < 0 || index >= (int)entries.size()) {
        ShowMessage("Cannot open file %s", resultFile);
        return 0;
    }
    *e = entries[index];
    return 1;
}

static void CopyToWindow(Surface* window, Surface* s, const Rect& area) {
    if (window && window != s)
        Blit(window, area.left, area.top, area.right - area.left, area.bottom - area.top, s, area.left, area.top);
}

int DrawPathView(Surface* window, Surface* s, int index, const char* resultFile, int radius,
                 double longitude, double latitude, int drawPath, PathReadout* last) {
    if (!s || mapRect.right <= mapRect.left || mapRect.bottom <= mapRect.top) return 0;
    PathFrame f{s, mapRect, (double)radius, longitude * kRadians, latitude * kRadians,
                mapRect.right - mapRect.left, mapRect.bottom - mapRect.top};
    DrawState saved = GetDrawState(s);
    SetClipRect(s, mapRect);
    DrawPathMap(f);
    CopyToWindow(window, s, mapRect);
    int ok = 1;
    if (drawPath) {
        SearchEntry e{};
        ok = ReadEntry(resultFile, index, &e);
        if (ok) {
            if (fhGenericCreated) SetFont(s, fhGeneric);
            SetTextColour(s, kWhite);
            SetBackgroundColour(s, kBlack);
            SetBackgroundMode(s, BK_OPAQUE);
            SetTextAlign(s, TA_LEFT | TA_TOP);
            // The readout is redrawn every step as the path grows, but the window is shown the
            // finished hour in one copy: 3,600 copies of the map area would cost seconds.
            DrawPath(f, e, last);
            CopyToWindow(window, s, mapRect);
        }
    }
    ClearClip(s);
    SetDrawState(s, saved);
    return ok;
}

// [SECTION] The result dialog

struct ResultDialogState {
    const char* file;
    double latitude, longitude;
    Surface* scratch;   // the path view is drawn here and copied to the window
};

static DialogTemplate ResultDialogTemplate() {
    DialogTemplate t;
    t.caption = "Visible Satellites";
    t.width = kResultDialogWidth;
    t.height = kResultDialogHeight;
    t.items = {
        {DI_STATIC, kResultCountText, 12, 10, 396, 20, ""},
        // The heading wraps onto a second line at the dialog's width.
        {DI_STATIC, kResultHeading, 12, 32, 396, 36, "Satellites visible from ground within 5-minute window of specified time:"},
        {DI_LISTBOX, kResultList, 12, 72, 396, 216, ""},
        {DI_BUTTON, kResultBigger, 12, 300, 90, 28, "Bigger"},
        {DI_BUTTON, kResultSmaller, 110, 300, 90, 28, "Smaller"},
        {DI_BUTTON, kResultShowPath, 208, 300, 100, 28, "Show Path..."},
        {DI_DEFBUTTON, IDCANCEL, 318, 300, 90, 28, "Close"},
    };
    return t;
}

static void ShowPathView(const ResultDialogState& st, int index, int drawPath) {
    Surface* window = WindowSurface();
    Surface* s = st.scratch ? st.scratch : window;
    DrawPathView(window, s, index, st.file, pathView.radius, st.longitude, st.latitude, drawPath, nullptr);
}

static void FillResultList(Dialog* d, const ResultDialogState& st) {
    std::vector<SearchEntry> entries;
    ReadSearchEntries(st.file, &entries);
    char text[96];
    snprintf(text, sizeof text, "There were %d satellites visible from your location:", (int)entries.size());
    SetItemText(d, kResultCountText, text);
    for (const SearchEntry& e : entries) ListAdd(d, kResultList, e.name);
    if (!entries.empty()) ListSetSelected(d, kResultList, 0, 1);
}

// Moves the view radius a step; past a limit it stays at the limit and the error cue plays.
static void StepPathRadius(int step) {
    pathView.radius += step;
    if (pathView.radius > kPathRadiusMax || pathView.radius < kPathRadiusMin) {
        pathView.radius = pathView.radius > kPathRadiusMax ? kPathRadiusMax : kPathRadiusMin;
        PlayCue(CUE_ERROR);
    }
}

static int ResultDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    ResultDialogState* st = (ResultDialogState*)user;
    if (event == DLG_INIT) {
        MoveDialog(d, screenWidth - kResultDialogWidth, screenHeight - kResultDialogHeight);
        FillResultList(d, *st);
        ShowPathView(*st, 0, 0);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    switch (itemId) {
    case kResultBigger:
    case kResultSmaller:
        StepPathRadius(itemId == kResultBigger ? kPathRadiusStep : -kPathRadiusStep);
        ShowPathView(*st, 0, 0);
        return 1;
    case kResultShowPath: {
        std::vector<int> selected = ListGetSelections(d, kResultList);
        if (!selected.empty()) ShowPathView(*st, selected[0], 1);
        return 1;
    }
    case IDCANCEL:
        EndDialog(d, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}

void SearchResultDialog(const char* resultFile, double latitude, double longitude) {
    ResultDialogState st{resultFile, latitude, longitude, nullptr};
    Surface* window = WindowSurface();
    if (window) st.scratch = CreateSurface(SurfaceWidth(window), SurfaceHeight(window));
    DialogBox(ResultDialogTemplate(), ResultDialogProc, &st);
    DeleteSurface(st.scratch);
}
