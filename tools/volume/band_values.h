// How a GDAL band's stored numbers become values: its no-data marker, and the scale and offset
// of packed sources (16-bit heights with a scale, say). The globe and climate readers share it.
#pragma once

#include <gdal.h>

#include <cmath>

struct BandValueRule {
    int hasNoData = 0;
    double noData = 0, scale = 1, offset = 0;
};

inline BandValueRule ReadBandValueRule(GDALRasterBandH band) {
    BandValueRule r;
    int hasScale = 0, hasOffset = 0;
    r.noData = GDALGetRasterNoDataValue(band, &r.hasNoData);
    double scale = GDALGetRasterScale(band, &hasScale), offset = GDALGetRasterOffset(band, &hasOffset);
    if (hasScale) r.scale = scale;
    if (hasOffset) r.offset = offset;
    return r;
}

// 1 and *value for a stored number that holds a value; 0 for the no-data marker, a number that
// is not finite, or a fill beyond 1e30.
inline int BandValue(const BandValueRule& r, float stored, float* value) {
    if (!std::isfinite(stored) || std::fabs(stored) > 1e30f || (r.hasNoData && stored == (float)r.noData)) return 0;
    *value = (float)(stored * r.scale + r.offset);
    return 1;
}
