// Shared set-up for the builder's tests: small GeoTIFF sources, stand-in scripts, file times
// and the lines of a step's report.
#pragma once

#include <gdal.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/le_bytes.h"
#include "support/test_volume.h"

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

// The offset of the pixels of an uncompressed 8-bit BMP of w x h, with the file size in its
// header and a colour table after the 40-byte header; 0 when any of that is wrong.
inline uint32_t Bmp8PixelOffset(const std::vector<uint8_t>& file, int w, int h) {
    ByteCursor c = MakeCursor(file.data(), file.size());
    int ok = ReadU16LE(c) == 0x4D42 && ReadU32LE(c) == file.size();
    ReadU32LE(c);
    uint32_t offset = ReadU32LE(c);
    ok = ok && ReadU32LE(c) == 40 && ReadI32LE(c) == w && ReadI32LE(c) == h;
    ok = ok && ReadU16LE(c) == 1 && ReadU16LE(c) == 8 && ReadU32LE(c) == 0;
    return ok && !c.bad && offset > 54 && file.size() == offset + (size_t)w * h ? offset : 0;
}

inline std::string TextOf(const std::string& path) {
    std::vector<uint8_t> b = ReadTestFile(path);
    return std::string(b.begin(), b.end());
}

// Size in bytes, -1 when the file is missing.
inline long long FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

// Modification time in seconds, -1 when the file is missing.
inline double FileTime(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec + st.st_mtim.tv_nsec * 1e-9 : -1;
}

// An executable shell script standing in for an outside program.
inline std::string MakeScript(const TempFolder& dir, const char* name, const std::string& text) {
    std::string path = dir / name;
    WriteTestText(path, text);
    chmod(path.c_str(), 0755);
    return path;
}

// How many lines (of a report or a missing-file list) contain text.
inline int LinesWith(const std::vector<std::string>& lines, const std::string& text) {
    int n = 0;
    for (const std::string& line : lines) n += line.find(text) != std::string::npos;
    return n;
}
