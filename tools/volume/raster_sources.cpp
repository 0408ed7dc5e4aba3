// Reading raster sources through GDAL into the builder's sample grids: bilinear when the
// output is finer than the source, GDAL's averaging when it is coarser; longitudes of a
// global source wrap (ETOPO5 runs 0..360, the tiles -180..180).
#include "raster_sources.h"

#include <gdal.h>
#include <cpl_conv.h>

#include <cmath>
#include <cstdio>
#include <mutex>

#include "platform/files.h"
#include "volume.h"

std::string ElevationSourcePath(const BuildContext& ctx) {
    return RecipeValue(ctx, "elevation", "/usr/share/ferret-vis/data/etopo5.cdf");
}

// The Blue Marble of the npm package installed beside the sources (or in the working folder).
std::string ImagerySourcePath(const BuildContext& ctx) {
    std::string root = MUNDORA_CONTENT_DIR;
    size_t slash = root.rfind('/');
    root = slash == std::string::npos ? std::string(".") : root.substr(0, slash);
    const char* image = "/node_modules/three-globe/example/img/earth-blue-marble.jpg";
    std::string fallback = root + image;
    if (!FileExists(fallback.c_str()) && FileExists((std::string(".") + image).c_str())) fallback = std::string(".") + image;
    return RecipeValue(ctx, "imagery", fallback.c_str());
}

SampleGrid TileGrid(double west, double north, double degrees, int n, int margin) {
    SampleGrid g;
    g.stepX = g.stepY = degrees / n;
    g.west = west - margin * g.stepX;
    g.north = north + margin * g.stepY;
    g.width = g.height = n + 2 * margin;
    return g;
}

int SetSourceUpsampling(RasterSource* src, const std::string& name) {
    if (name == "bilinear") src->upsampling = GRIORA_Bilinear;
    else if (name == "cubic") src->upsampling = GRIORA_Cubic;
    else if (name == "cubicspline") src->upsampling = GRIORA_CubicSpline;
    else return 0;
    return 1;
}

static std::once_flag gdalOnce;

int OpenRasterSource(const std::string& path, const std::string& extent, RasterSource* src) {
    std::call_once(gdalOnce, [] {
        GDALAllRegister();
        CPLSetConfigOption("GDAL_CACHEMAX", "256");
    });
    *src = RasterSource();
    src->path = path;
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (!ds) {
        BuildError("Cannot open the raster source %s", path.c_str());
        return 0;
    }
    src->dataset = ds;
    src->width = GDALGetRasterXSize(ds);
    src->height = GDALGetRasterYSize(ds);
    src->bands = GDALGetRasterCount(ds);
    if (src->width <= 0 || src->height <= 0 || src->bands <= 0) {
        BuildError("The raster source %s holds no raster", path.c_str());
        CloseRasterSource(src);
        return 0;
    }
    double gt[6];
    double w = -180, e = 180, s = -90, n = 90;
    if (!extent.empty()) {
        if (sscanf(extent.c_str(), "%lf,%lf,%lf,%lf", &w, &e, &s, &n) != 4 || !(e > w) || !(n > s)) {
            BuildError("The extent of %s should read west,east,south,north, not %s", path.c_str(), extent.c_str());
            CloseRasterSource(src);
            return 0;
        }
        src->west = w, src->north = n;
        src->dx = (e - w) / src->width, src->dy = (n - s) / src->height;
    } else if (GDALGetGeoTransform(ds, gt) == CE_None && gt[2] == 0 && gt[4] == 0 && gt[1] != 0 && gt[5] != 0) {
        if (gt[1] < 0) {
            BuildError("The raster source %s runs east to west, which is not supported", path.c_str());
            CloseRasterSource(src);
            return 0;
        }
        src->west = gt[0], src->dx = gt[1];
        // Rows running south to north are read flipped below.
        src->north = gt[5] < 0 ? gt[3] : gt[3] + gt[5] * src->height;
        src->dy = fabs(gt[5]);
        if (gt[5] > 0) {
            BuildError("The raster source %s stores rows south to north; convert it first", path.c_str());
            CloseRasterSource(src);
            return 0;
        }
    } else {
        src->west = -180, src->north = 90;
        src->dx = 360.0 / src->width, src->dy = 180.0 / src->height;
    }
    // A source whose columns span the whole circle (within half a pixel) wraps around.
    if (fabs(src->dx * src->width - 360.0) < 0.5 * src->dx) {
        src->global = 1;
        src->dx = 360.0 / src->width;
    }
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    src->noData = GDALGetRasterNoDataValue(band, &src->hasNoData);
    return 1;
}

void CloseRasterSource(RasterSource* src) {
    if (src->dataset) GDALClose((GDALDatasetH)src->dataset);
    src->dataset = nullptr;
}

// Reads output columns [c0, c1) from source columns [x0, x1) (floating, inside the raster)
// and source rows [y0, y1) into the rows of out.
static int ReadPiece(RasterSource* src, int band, double x0, double x1, double y0, double y1, int c0, int c1, int r0,
                     int r1, int outWidth, float* out) {
    GDALRasterBandH b = GDALGetRasterBand((GDALDatasetH)src->dataset, band);
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = (GDALRIOResampleAlg)src->upsampling;
    double sx = (x1 - x0) / (c1 - c0), sy = (y1 - y0) / (r1 - r0);
    if (src->categorical) extra.eResampleAlg = sx > 1.5 || sy > 1.5 ? GRIORA_Mode : GRIORA_NearestNeighbour;
    else if (sx > 1.5 || sy > 1.5) extra.eResampleAlg = GRIORA_Average;
    extra.bFloatingPointWindowValidity = TRUE;
    extra.dfXOff = x0, extra.dfYOff = y0, extra.dfXSize = x1 - x0, extra.dfYSize = y1 - y0;
    int ix0 = (int)floor(x0), iy0 = (int)floor(y0);
    int ix1 = std::min(src->width, (int)ceil(x1)), iy1 = std::min(src->height, (int)ceil(y1));
    if (ix1 <= ix0) ix1 = ix0 + 1;
    if (iy1 <= iy0) iy1 = iy0 + 1;
    CPLErr err = GDALRasterIOEx(b, GF_Read, ix0, iy0, ix1 - ix0, iy1 - iy0, out + (size_t)r0 * outWidth + c0, c1 - c0,
                                r1 - r0, GDT_Float32, sizeof(float), (GSpacing)sizeof(float) * outWidth, &extra);
    return err == CE_None;
}

int ReadSourceGrid(RasterSource* src, int band, const SampleGrid& grid, float fill, std::vector<float>* out) {
    out->assign((size_t)grid.width * grid.height, fill);
    if (band < 1 || band > src->bands) return 0;
    // Rows: the output rows whose centres fall inside the source.
    double south = src->north - src->dy * src->height;
    int r0 = grid.height, r1 = 0;
    for (int j = 0; j < grid.height; j++) {
        double lat = grid.north - (j + 0.5) * grid.stepY;
        if (lat < src->north && lat > south) r0 = std::min(r0, j), r1 = std::max(r1, j + 1);
    }
    if (r0 >= r1) return 1;
    double y0 = std::max(0.0, (src->north - (grid.north - r0 * grid.stepY)) / src->dy);
    double y1 = std::min((double)src->height, (src->north - (grid.north - r1 * grid.stepY)) / src->dy);
    // Columns: runs of output columns that fall in one turn of a global source (or inside a
    // regional one), each read as its own window.
    int i = 0;
    while (i < grid.width) {
        double x = (grid.west + (i + 0.5) * grid.stepX - src->west) / src->dx;
        double turn = src->global ? floor(x / src->width) : 0;
        double local = x - turn * src->width;
        if (local < 0 || local >= src->width) {
            i++;
            continue;
        }
        int k = i + 1;
        while (k < grid.width) {
            double xk = (grid.west + (k + 0.5) * grid.stepX - src->west) / src->dx - turn * src->width;
            if (xk < 0 || xk >= src->width) break;
            k++;
        }
        double x0 = (grid.west + i * grid.stepX - src->west) / src->dx - turn * src->width;
        double x1 = (grid.west + k * grid.stepX - src->west) / src->dx - turn * src->width;
        x0 = std::max(0.0, x0), x1 = std::min((double)src->width, x1);
        if (!ReadPiece(src, band, x0, x1, y0, y1, i, k, r0, r1, grid.width, out->data())) {
            BuildError("Cannot read %s", src->path.c_str());
            return 0;
        }
        i = k;
    }
    {
        for (float& v : *out)
            if (!std::isfinite(v) || (src->hasNoData && v == (float)src->noData) || fabs(v) > 1e30f) v = fill;
    }
    return 1;
}
