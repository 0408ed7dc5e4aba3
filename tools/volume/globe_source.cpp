// Reads a source raster through GDAL onto the globe's world grid (2160 x 1080 cells, south
// row first, 180 degrees west first), whatever its row order, longitude range or size: finer
// sources are averaged down as GDAL streams them, coarser ones are interpolated.
#include <gdal.h>
#include <cpl_error.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "band_values.h"
#include "globe_build.h"

namespace {

// The source as held in memory: at most twice the output resolution.
struct SourceRaster {
    int width = 0, height = 0;
    double gt[6] = {0, 0, 0, 0, 0, 0};  // lon = gt[0] + x gt[1], lat = gt[3] + y gt[5] (pixel edges)
    int wrapsAround = 0;                // spans all longitudes: columns repeat with period width
    std::vector<std::vector<float>> planes;
};

const float kNoValue = std::numeric_limits<float>::quiet_NaN();

// Reads every wanted band of the open dataset into src at the resolution it has chosen.
int ReadBands(GDALDatasetH ds, const char* path, int nBands, int sourceWidth, int sourceHeight, SourceRaster* src) {
    int available = GDALGetRasterCount(ds);
    src->planes.assign(nBands, std::vector<float>());
    for (int b = 0; b < nBands; b++) {
        GDALRasterBandH band = GDALGetRasterBand(ds, available >= nBands ? b + 1 : 1);
        std::vector<float>& plane = src->planes[b];
        plane.resize((size_t)src->width * src->height);
        GDALRasterIOExtraArg extra;
        INIT_RASTERIO_EXTRA_ARG(extra);
        extra.eResampleAlg = GRIORA_Average;
        if (GDALRasterIOEx(band, GF_Read, 0, 0, sourceWidth, sourceHeight, plane.data(), src->width, src->height,
                           GDT_Float32, 0, 0, &extra) != CE_None) {
            BuildError("Cannot read band %d of %s: %s", b + 1, path, CPLGetLastErrorMsg());
            return 0;
        }
        BandValueRule rule = ReadBandValueRule(band);
        for (float& v : plane)
            if (!BandValue(rule, v, &v)) v = kNoValue;
    }
    return 1;
}

// Opens the raster and reads it into src; note receives what was assumed about it.
int LoadSource(const char* path, int nBands, int width, int height, SourceRaster* src, std::string* note) {
    GDALDatasetH ds = GDALOpen(path, GA_ReadOnly);
    if (!ds) {
        BuildError("Cannot open the raster %s: %s", path, CPLGetLastErrorMsg());
        return 0;
    }
    int w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
    int ok = 1;
    if (w <= 0 || h <= 0 || GDALGetRasterCount(ds) < 1) {
        BuildError("The raster %s holds no pixels", path);
        ok = 0;
    }
    double gt[6];
    if (ok && GDALGetGeoTransform(ds, gt) != CE_None) {
        gt[0] = -180.0, gt[1] = 360.0 / w, gt[2] = 0, gt[3] = 90.0, gt[4] = 0, gt[5] = -180.0 / h;
        *note = "no georeferencing, taken as the whole world with north up";
    }
    OGRSpatialReferenceH srs = ok ? GDALGetSpatialRef(ds) : nullptr;
    if (ok && srs && !OSRIsGeographic(srs)) {
        BuildError("The raster %s is not in latitude and longitude", path);
        ok = 0;
    }
    if (ok && (gt[2] != 0 || gt[4] != 0 || gt[1] == 0 || gt[5] == 0)) {
        BuildError("The raster %s is rotated; only rows along parallels can be read", path);
        ok = 0;
    }
    if (ok) {
        // Averaging down to half an output cell keeps memory bounded and loses nothing visible.
        double wantX = 180.0 / width, wantY = 90.0 / height;
        src->width = std::fabs(gt[1]) < 0.75 * wantX ? std::max(1, (int)std::ceil(w * std::fabs(gt[1]) / wantX)) : w;
        src->height = std::fabs(gt[5]) < 0.75 * wantY ? std::max(1, (int)std::ceil(h * std::fabs(gt[5]) / wantY)) : h;
        for (int i = 0; i < 6; i++) src->gt[i] = gt[i];
        src->gt[1] = gt[1] * w / src->width;
        src->gt[5] = gt[5] * h / src->height;
        src->wrapsAround = std::fabs(src->width * std::fabs(src->gt[1]) - 360.0) < 1.01 * std::fabs(src->gt[1]);
        ok = ReadBands(ds, path, nBands, w, h, src);
    }
    GDALClose(ds);
    return ok;
}

// Bilinear sample of one plane at fractional pixel-centre coordinates; missing neighbours are
// left out of the weights. NaN outside the source.
float SamplePlane(const SourceRaster& src, const std::vector<float>& plane, double px, double py) {
    if (py < -0.5 || py > src.height - 0.5) return kNoValue;
    if (!src.wrapsAround && (px < -0.5 || px > src.width - 0.5)) return kNoValue;
    py = std::max(0.0, std::min((double)src.height - 1, py));
    if (!src.wrapsAround) px = std::max(0.0, std::min((double)src.width - 1, px));
    double fx = std::floor(px), fy = std::floor(py);
    double ax = px - fx, ay = py - fy;
    int x0 = (int)fx, y0 = (int)fy;
    double sum = 0, weights = 0;
    for (int dy = 0; dy < 2; dy++) {
        int y = std::min(src.height - 1, y0 + dy);
        for (int dx = 0; dx < 2; dx++) {
            int x = x0 + dx;
            if (src.wrapsAround) x = ((x % src.width) + src.width) % src.width;
            else x = std::min(src.width - 1, x);
            double weight = (dx ? ax : 1 - ax) * (dy ? ay : 1 - ay);
            float v = plane[(size_t)y * src.width + x];
            if (weight <= 0 || std::isnan(v)) continue;
            sum += weight * v;
            weights += weight;
        }
    }
    return weights > 0 ? (float)(sum / weights) : kNoValue;
}

// The source column of a longitude, trying the turns that bring it into the source's span.
double SourceColumn(const SourceRaster& src, double lon) {
    double px = (lon - src.gt[0]) / src.gt[1] - 0.5;
    if (src.wrapsAround) return px;
    double period = 360.0 / std::fabs(src.gt[1]);
    for (double turn : {0.0, period, -period})
        if (px + turn >= -0.5 && px + turn <= src.width - 0.5) return px + turn;
    return px;
}

}  // namespace

int ReadGlobeSource(const char* path, int nBands, int width, int height, GlobeGrid* out, std::string* note) {
    GDALAllRegister();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    SourceRaster src;
    note->clear();
    int ok = LoadSource(path, nBands, width, height, &src, note);
    CPLPopErrorHandler();
    if (!ok) return 0;

    out->width = width;
    out->height = height;
    out->planes.assign(nBands, std::vector<float>((size_t)width * height, kNoValue));
    double cellX = 360.0 / width, cellY = 180.0 / height;
    // Each cell is the mean of four samples a quarter cell from its centre.
#pragma omp parallel for schedule(dynamic, 8)
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            double lat = -90.0 + (row + 0.5) * cellY, lon = -180.0 + (column + 0.5) * cellX;
            for (int b = 0; b < nBands; b++) {
                double sum = 0;
                int count = 0;
                for (int k = 0; k < 4; k++) {
                    double sampleLat = lat + ((k & 2) ? 0.25 : -0.25) * cellY;
                    double sampleLon = lon + ((k & 1) ? 0.25 : -0.25) * cellX;
                    double py = (sampleLat - src.gt[3]) / src.gt[5] - 0.5;
                    float v = SamplePlane(src, src.planes[b], SourceColumn(src, sampleLon), py);
                    if (std::isnan(v)) continue;
                    sum += v;
                    count++;
                }
                if (count) out->planes[b][(size_t)row * width + column] = (float)(sum / count);
            }
        }
    }
    return 1;
}
