// The map view: conversions between geographic positions and window pixels for the current
// window of the zoom history, and the true map scale on the user's monitor.
// Every computed pixel coordinate truncates toward zero.
#include <cmath>

#include "core/core.h"
#include "map2d/map2d.h"

void GeoToPixelIn(const MapWindow& w, const Rect& r, double latitude, double longitude, int* x, int* y) {
    double width = r.right - r.left, height = r.bottom - r.top;
    *x = r.left + (int)((longitude - w.west) / (w.east - w.west) * width);
    *y = r.top + (int)((latitude - w.north) / (w.south - w.north) * height);
}

void GeoToPixel(double latitude, double longitude, int* x, int* y) {
    GeoToPixelIn(CurrentMapWindow(), mapRect, latitude, longitude, x, y);
}

void PixelToGeoIn(const MapWindow& w, const Rect& r, int x, int y, double* latitude, double* longitude) {
    double width = r.right - r.left, height = r.bottom - r.top;
    double lon = w.west + (x - r.left) / width * (w.east - w.west);
    double lat = w.north + (y - r.top) / height * (w.south - w.north);
    while (lon < -180.0) lon += 360.0;
    while (lon > 180.0) lon -= 360.0;
    if (lat < -90.0) lat = -90.0;
    if (lat > 90.0) lat = 90.0;
    *latitude = lat;
    *longitude = lon;
}

void PixelToGeo(int x, int y, double* latitude, double* longitude) {
    PixelToGeoIn(CurrentMapWindow(), mapRect, x, y, latitude, longitude);
}

static int ClampRow(int y) {
    if (y < mapRect.top) return mapRect.top;
    if (y > mapRect.bottom - 1) return mapRect.bottom - 1;
    return y;
}

void PoleRows(int* yNorth, int* ySouth) {
    const MapWindow& w = CurrentMapWindow();
    double height = mapRect.bottom - mapRect.top;
    *yNorth = ClampRow(mapRect.top + (int)((89.9 - w.north) / (w.south - w.north) * height));
    *ySouth = ClampRow(mapRect.top + (int)((-89.9 - w.north) / (w.south - w.north) * height));
}

// Physical width of a 4:3 monitor of the given diagonal, in inches.
static double ScreenWidthInches(int inches) {
    return inches * sin(atan2(0.7500018750046875, 1.0)) * 1.33333;
}

static int MonitorInches() { return options.monitorInches ? options.monitorInches : 14; }

double MapScaleOf(const MapWindow& w, int inches, int screenPixels, int mapWidth) {
    double centre = (w.north + w.south) / 2.0 * M_PI / 180.0;
    double groundMetres = cos(centre) * fabs(w.east - w.west) * kMetresPerDegree;
    return groundMetres * 39.37007874015748 / ScreenWidthInches(inches) * ((double)screenPixels / mapWidth);
}

double MapScale() {
    return MapScaleOf(CurrentMapWindow(), MonitorInches(), screenWidth, mapRect.right - mapRect.left);
}

double MapScaleForSpan(double latitude, double lon1, double lon2) {
    double width = mapRect.right - mapRect.left;
    return cos(latitude * M_PI / 180.0) * fabs(lon2 - lon1) * kMetresPerDegree * 0.03937007874015748 * 1000.0 /
           ScreenWidthInches(MonitorInches()) * (screenWidth / width);
}

double WindowWidthMetres() {
    const MapWindow& w = CurrentMapWindow();
    double centre = (w.north + w.south) / 2.0 * M_PI / 180.0;
    return fabs(w.east - w.west) * cos(centre) * kMetresPerDegree;
}
