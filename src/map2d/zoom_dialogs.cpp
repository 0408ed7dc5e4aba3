// The two typed zoom commands of the 2D map: the scale dialog (resource 117), opened from the
// status line's scale text, and the position dialog (resource 119), opened from the pointer
// readout, which previews the prospective window on the map while the user types.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/core.h"
#include "map2d/zoom_commands.h"

enum : int { kScaleEdit = 1036, kLatitudeEdit = 1044, kLongitudeEdit = 1045 };
constexpr int kPositionDialogWidth = 400, kPositionDialogHeight = 140;

static void Refuse(const char* message) {
    PlayCue(CUE_ERROR);
    if (message) ShowMessage("%s", message);
}

// [SECTION] Scale dialog

static DialogTemplate ScaleDialogTemplate() {
    DialogTemplate t;
    t.caption = "Specify Scale";
    t.width = 400;
    t.height = 110;
    t.items = {
        {DI_STATIC, 100, 12, 10, 376, 20, "Specify scale at center of window at current latitude:"},
        {DI_STATIC, 101, 12, 40, 30, 20, "1 to"},
        {DI_EDIT, kScaleEdit, 46, 38, 160, 22, "", 0, 70},
        {DI_DEFBUTTON, IDOK, 220, 76, 80, 26, "OK"},
        {DI_BUTTON, IDCANCEL, 308, 76, 80, 26, "Cancel"},
    };
    return t;
}

// Checks the typed scale and applies it; 1 when the dialog may close.
static int ApplyTypedScale(const std::string& text) {
    if (text.empty()) {
        Refuse("Please specify a value first");
        return 0;
    }
    double value = atof(text.c_str());
    if (value < ZoomLimit(kScaleDialogDefaultMaxScale) || value > kLargestTypedScale) {
        Refuse("Scale value out of range");
        return 0;
    }
    const MapWindow& w = CurrentMapWindow();
    double f = value / MapScale();
    double cx = (w.west + w.east) / 2.0, cy = (w.south + w.north) / 2.0;
    double halfLon = f * fabs(w.east - w.west) / 2.0, halfLat = f * fabs(w.north - w.south) / 2.0;
    MapWindow next{cx - halfLon, cx + halfLon, cy - halfLat, cy + halfLat};
    if (!(next.west >= -180.0 && next.east <= 180.0 && next.south > -90.0 && next.north < 90.0)) {
        Refuse("New zoom window would extend past end of map");
        return 0;
    }
    if (zoomDepth == 0) zoomDepth = 1;  // the world view itself never changes
    zoomHistory[zoomDepth] = next;
    DiscardScreenCache(zoomDepth);
    return 1;
}

static int ScaleDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    int* changed = (int*)user;
    if (event == DLG_INIT) {
        CentreDialogHorizontally(d);
        FocusItem(d, kScaleEdit);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        if (ApplyTypedScale(GetItemText(d, kScaleEdit))) {
            *changed = 1;
            EndDialog(d, IDOK);
        }
        return 1;
    }
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

int ScaleDialog() {
    if (zoomDepth >= 9) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    int changed = 0;
    DialogBox(ScaleDialogTemplate(), ScaleDialogProc, &changed);
    return changed;
}

// [SECTION] Position dialog

struct PositionState {
    int previewShown;
    MapWindow preview;
    double latitude, longitude;
    int changed;
};

static DialogTemplate PositionDialogTemplate() {
    DialogTemplate t;
    t.caption = "Specify Position";
    t.width = kPositionDialogWidth;
    t.height = kPositionDialogHeight;
    t.items = {
        {DI_STATIC, 100, 12, 10, 376, 20, "Specify center latitude/longitude of new zoom location:"},
        {DI_STATIC, 101, 12, 42, 150, 20, "Latitude (degrees):"},
        {DI_EDIT, kLatitudeEdit, 170, 40, 160, 22, "", 0, 70},
        {DI_STATIC, 102, 12, 72, 150, 20, "Longitude (degrees):"},
        {DI_EDIT, kLongitudeEdit, 170, 70, 160, 22, "", 0, 70},
        {DI_DEFBUTTON, IDOK, 220, 106, 80, 26, "OK"},
        {DI_BUTTON, IDCANCEL, 308, 106, 80, 26, "Cancel"},
    };
    return t;
}

// The window the dialog would zoom to: 30 % of the current spans around the position.
static MapWindow ProspectiveWindow(double latitude, double longitude) {
    const MapWindow& w = CurrentMapWindow();
    double dLon = 0.15 * fabs(w.east - w.west), dLat = 0.15 * fabs(w.north - w.south);
    return MapWindow{longitude - dLon, longitude + dLon, latitude - dLat, latitude + dLat};
}

// 0 when the window passes, else the message of the first failed test.
static const char* ProspectiveWindowFault(const MapWindow& w) {
    if (!(w.east - w.west >= 0.05 && (int64_t)ScaleAtNextDepth(w) >= ZoomLimit(kZoomBoxDefaultMaxScale)))
        return "Selected zoom area too small";
    if (!(w.west >= -180.0 && w.east <= 180.0 && w.north <= 90.0 && w.south >= -90.0))
        return "selected area would be off-screen";
    return nullptr;
}

static void XorPreview(const PositionState& st) {
    Surface* s = WindowSurface();
    if (!s) return;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, mapRect);
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 255, 255));
    SetNullBrush(s);
    SetRasterOp(s, ROP_XOR);
    int x, y, yNorth, ySouth, left, top, right, bottom;
    GeoToPixel(st.latitude, st.longitude, &x, &y);
    PoleRows(&yNorth, &ySouth);
    MoveTo(s, x, yNorth);
    LineTo(s, x, ySouth + 1);
    MoveTo(s, mapRect.left, y);
    LineTo(s, mapRect.right, y);
    GeoToPixel(st.preview.north, st.preview.west, &left, &top);
    GeoToPixel(st.preview.south, st.preview.east, &right, &bottom);
    RectangleShape(s, left, top, right + 1, bottom + 1);
    SetDrawState(s, saved);
    ClearClip(s);
}

static void ErasePreview(PositionState* st) {
    if (st->previewShown) XorPreview(*st);
    st->previewShown = 0;
}

// A latitude of digits, "." and "-" only, as a number; 0 when it is not one.
static int ParseCoordinate(const std::string& text, double* value) {
    if (text.empty() || text.find_first_not_of("0123456789.-") != std::string::npos) return 0;
    *value = atof(text.c_str());
    return 1;
}

static void UpdatePreview(Dialog* d, PositionState* st) {
    double lat, lon;
    if (!ParseCoordinate(GetItemText(d, kLatitudeEdit), &lat) || !ParseCoordinate(GetItemText(d, kLongitudeEdit), &lon))
        return;
    if (lat < -90.0 || lat > 90.0 || lon < -180.0 || lon > 180.0) return;
    ErasePreview(st);
    MapWindow w = ProspectiveWindow(lat, lon);
    if (ProspectiveWindowFault(w)) return;
    st->latitude = lat;
    st->longitude = lon;
    st->preview = w;
    st->previewShown = 1;
    XorPreview(*st);
}

static int ApplyTypedPosition(Dialog* d, PositionState* st) {
    std::string latText = GetItemText(d, kLatitudeEdit), lonText = GetItemText(d, kLongitudeEdit);
    double lat, lon;
    if (!ParseCoordinate(latText, &lat) || lat < -90.0 || lat > 90.0) {
        Refuse(nullptr);
        return 0;
    }
    if (!ParseCoordinate(lonText, &lon) || lon < -180.0 || lon > 180.0) {
        Refuse(nullptr);
        return 0;
    }
    MapWindow w = ProspectiveWindow(lat, lon);
    if (const char* fault = ProspectiveWindowFault(w)) {
        Refuse(fault);
        return 0;
    }
    ErasePreview(st);
    zoomHistory[zoomDepth + 1] = w;
    zoomDepth++;
    DiscardScreenCache(zoomDepth);
    return 1;
}

static int PositionDialogProc(Dialog* d, int event, int itemId, int notification, void* user) {
    PositionState* st = (PositionState*)user;
    if (event == DLG_INIT) {
        MoveDialog(d, mapRect.right - kPositionDialogWidth, mapRect.bottom - kPositionDialogHeight);
        const MapWindow& w = CurrentMapWindow();
        char text[64];
        snprintf(text, sizeof text, "%f", (w.south + w.north) / 2.0);
        SetItemText(d, kLatitudeEdit, text);
        snprintf(text, sizeof text, "%f", (w.west + w.east) / 2.0);
        SetItemText(d, kLongitudeEdit, text);
        UpdatePreview(d, st);
        return 1;
    }
    if (event != DLG_COMMAND) return 0;
    if ((itemId == kLatitudeEdit || itemId == kLongitudeEdit) && notification == NOTIFY_CHANGED) {
        UpdatePreview(d, st);
        return 1;
    }
    if (notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        if (ApplyTypedPosition(d, st)) {
            st->changed = 1;
            EndDialog(d, IDOK);
        }
        return 1;
    }
    if (itemId == IDCANCEL) {
        ErasePreview(st);
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

int PositionDialog() {
    if (zoomDepth >= 9) {
        PlayCue(CUE_ERROR);
        return 0;
    }
    PositionState st{};
    DialogBox(PositionDialogTemplate(), PositionDialogProc, &st);
    ErasePreview(&st);  // closed by the window manager
    return st.changed;
}
