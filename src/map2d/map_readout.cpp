// The pointer readout of the 2D map: latitude and longitude under the pointer, the marker of
// the elevation there on the legend, and the compass of the magnetic declination. Everything
// is drawn on the window only; hbmVirtual keeps the clean panel that erases it.
#include <cmath>

#include "core/core.h"
#include "imaging/imaging.h"
#include "map2d/geomagnetic_model.h"
#include "map2d/map2d.h"

int readoutCleared, elevationMarkerShown, compassShown;
Rect readoutRect{695, 443, 797, 480}, compassRect{714, 349, 777, 412};

static struct {
    DeclinationSource declination;  // the geomagnetic model for today's date
} readout = {TodaysMagneticDeclination};

void SetDeclinationSource(DeclinationSource source) { readout.declination = source; }

void SetReadoutRectangles() {
    if (smallLayout) {
        readoutRect = Rect{556, 354, 637, 384};
        compassRect = Rect{571, 279, 621, 329};
    } else {
        readoutRect = Rect{695, 443, 797, 480};
        compassRect = Rect{714, 349, 777, 412};
    }
}

static void RestoreFromVirtual(const Rect& r) {
    if (!hbmVirtual || !WindowSurface() || r.right <= r.left || r.bottom <= r.top) return;
    Blit(WindowSurface(), r.left, r.top, r.right - r.left, r.bottom - r.top, hbmVirtual, r.left, r.top);
}

static void PrepareText(Surface* s, int align) {
    SetFont(s, fhGeneric);
    SetTextColour(s, MakeColour(255, 255, 255));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, align);
}

static void DrawPositionTexts(double latitude, double longitude) {
    Surface* w = WindowSurface();
    if (!w) return;
    RestoreFromVirtual(readoutRect);
    std::string latText, lonText;
    formatDms(latitude, longitude, &latText, &lonText);
    DrawState saved = GetDrawState(w);
    int cx = (readoutRect.left + readoutRect.right) / 2, cy = (readoutRect.top + readoutRect.bottom) / 2;
    PrepareText(w, TA_CENTER | TA_BOTTOM);
    TextOut(w, cx, cy, latText.c_str());
    SetTextAlign(w, TA_CENTER | TA_TOP);
    TextOut(w, cx, cy, lonText.c_str());
    SetDrawState(w, saved);
}

void DrawDeclinationCompass(Surface* s, const Rect& box, double declination) {
    DrawState saved = GetDrawState(s);
    SetPen(s, PEN_SOLID, 1, MakeColour(255, 255, 255));
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    MoveTo(s, cx, cy);
    LineTo(s, cx, box.top);
    MoveTo(s, cx, box.top);
    LineTo(s, cx - 3, box.top + 4);
    MoveTo(s, cx, box.top);
    LineTo(s, cx + 3, box.top + 4);
    int length = (int)(0.8 * (cy - box.top));
    double radians = declination * M_PI / 180.0;
    MoveTo(s, cx, cy);
    LineTo(s, cx + (int)(length * sin(radians)), cy - (int)(length * cos(radians)));
    int degrees = (int)declination;
    while (degrees > 180) degrees -= 360;
    while (degrees < -179) degrees += 360;
    char text[32];
    snprintf(text, sizeof text, "%d\xB0%c", degrees < 0 ? -degrees : degrees, degrees >= 0 ? 'E' : 'W');
    PrepareText(s, TA_CENTER | TA_TOP);
    TextOut(s, cx, cy, text);
    SetDrawState(s, saved);
}

static void UpdateElevationMarker(double latitude, double longitude) {
    if (!ElevationLegendShown()) return;
    int height;
    if (PointElevation(latitude, longitude, &height)) {
        RedrawElevationLegend(1, height);
        elevationMarkerShown = 1;
    } else if (elevationMarkerShown) {
        RedrawElevationLegend(0, 0);
        elevationMarkerShown = 0;
    }
}

static void UpdateCompass(double latitude, double longitude) {
    double declination = 0;
    if (readout.declination(latitude, longitude, &declination) && declination != -999.0) {
        RestoreFromVirtual(compassRect);
        if (WindowSurface()) DrawDeclinationCompass(WindowSurface(), compassRect, declination);
        compassShown = 1;
        readoutCleared = 0;
        return;
    }
    if (compassShown) {
        RestoreFromVirtual(compassRect);
        compassShown = 0;
    }
    readoutCleared = 0;
}

void MapPointerReadout(int x, int y) {
    double latitude, longitude;
    PixelToGeo(x, y, &latitude, &longitude);
    int onMap = x >= mapRect.left && x < mapRect.right && y >= mapRect.top && y < mapRect.bottom &&
                latitude > -89.99 && latitude < 89.99 && longitude >= -180.0 && longitude <= 180.0;
    if (onMap) {
        DrawPositionTexts(latitude, longitude);
        UpdateElevationMarker(latitude, longitude);
        UpdateCompass(latitude, longitude);
        return;
    }
    if (readoutCleared) return;
    RestoreFromVirtual(readoutRect);
    if (ElevationLegendShown()) RedrawElevationLegend(0, 0);
    elevationMarkerShown = 0;
    RestoreFromVirtual(compassRect);
    compassShown = 0;
    readoutCleared = 1;
}
