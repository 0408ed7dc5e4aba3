// Small GeoTIFF sources for the builder's tests, written through GDAL.
#pragma once

#include <gdal.h>

#include <functional>
#include <string>
#include <vector>

// Writes a Float32 GeoTIFF of w x h pixels and nBands bands, value(band, column, row) with row 0
// the first row stored. Without a geotransform the file carries no georeferencing.
inline int WriteTestRaster(const std::string& path, int w, int h, int nBands, const double* geoTransform,
                           const std::function<float(int, int, int)>& value) {
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (!driver) return 0;
    GDALDatasetH ds = GDALCreate(driver, path.c_str(), w, h, nBands, GDT_Float32, nullptr);
    if (!ds) return 0;
    if (geoTransform) GDALSetGeoTransform(ds, const_cast<double*>(geoTransform));
    int ok = 1;
    std::vector<float> plane((size_t)w * h);
    for (int b = 0; b < nBands; b++) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) plane[(size_t)y * w + x] = value(b, x, y);
        ok = GDALRasterIO(GDALGetRasterBand(ds, b + 1), GF_Write, 0, 0, w, h, plane.data(), w, h, GDT_Float32, 0, 0) ==
                 CE_None && ok;
    }
    GDALClose(ds);
    return ok;
}
