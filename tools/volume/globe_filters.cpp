// The globe's lookup tables: for each pixel of the globe disk, which world-layer cell the
// orthographic view shows there at centre longitude 0. Four sizes x five tilts, 24-byte
// header and up to 490,000 signed 32-bit entries each; all twenty take about a second.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "globe_build.h"
#include "platform/le_bytes.h"

// The large globe fills the height of the 800x600 image area (499 rows); the medium one still
// fits the 640x480 area (399 rows), the two smaller ones step down from it.
static const int radii[kGlobeSizes] = {96, 144, 192, 249};

int GlobeRadius(int size) { return size >= 0 && size < kGlobeSizes ? radii[size] : 0; }

double GlobeViewLatitude(int tilt) { return 90.0 - 45.0 * tilt; }

int OrthographicInverse(double x, double y, double viewLat, double* lat, double* lon) {
    const double toRadians = M_PI / 180.0;
    double rho = std::sqrt(x * x + y * y);
    if (rho > 1.0) return 0;
    double phi0 = viewLat * toRadians;
    if (rho == 0.0) {
        *lat = viewLat;
        *lon = 0.0;
        return 1;
    }
    double sinC = rho, cosC = std::sqrt(std::max(0.0, 1.0 - rho * rho));
    double s = cosC * std::sin(phi0) + y * sinC * std::cos(phi0) / rho;
    *lat = std::asin(std::max(-1.0, std::min(1.0, s))) / toRadians;
    *lon = std::atan2(x * sinC, rho * cosC * std::cos(phi0) - y * sinC * std::sin(phi0)) / toRadians;
    return 1;
}

int32_t GlobeLayerOffset(double lat, double lon) {
    int row = (int)std::floor((lat + 90.0) * (kGlobeHeight / 180.0));
    row = std::max(0, std::min(kGlobeHeight - 1, row));
    double wrapped = std::fmod(lon + 180.0, 360.0);
    if (wrapped < 0) wrapped += 360.0;
    int column = (int)std::floor(wrapped * (kGlobeWidth / 360.0));
    if (column >= kGlobeWidth) column -= kGlobeWidth;
    return (int32_t)row * kGlobeWidth + column;
}

int32_t GlobeFilterEntry(int r, double viewLat, int row, int column) {
    // Pixel centres, in units of the radius, measured from the disk's centre with y up.
    double x = (column + 0.5 - r) / r, y = (row + 0.5 - r) / r;
    double lat, lon;
    if (!OrthographicInverse(x, y, viewLat, &lat, &lon)) return -1;
    return GlobeLayerOffset(lat, lon);
}

std::vector<uint8_t> EncodeGlobeFilter(int r, double viewLat) {
    int side = 2 * r;
    std::vector<uint8_t> out;
    out.reserve(kGlobeFilterHeader + (size_t)side * side * 4);
    WriteU32LE(out, (uint32_t)side * side);
    WriteU32LE(out, (uint32_t)r);
    for (int i = 0; i < 16; i++) WriteU8(out, 0);
    for (int row = 0; row < side; row++)
        for (int column = 0; column < side; column++) WriteU32LE(out, (uint32_t)GlobeFilterEntry(r, viewLat, row, column));
    return out;
}

int WriteGlobeFilters(BuildContext& ctx) {
    int ok = 1;
    for (int size = 0; size < kGlobeSizes; size++) {
        for (int tilt = 0; tilt < kGlobeTilts; tilt++) {
            ok = WriteVolumeFile(ctx, GlobeFilterName(size, tilt).c_str(), EncodeGlobeFilter(GlobeRadius(size), GlobeViewLatitude(tilt))) && ok;
        }
    }
    if (ok)
        ReportLine(ctx, "globe: 20 lookup tables, radii %d, %d, %d and %d pixels", radii[0], radii[1], radii[2], radii[3]);
    return ok;
}
