// Where each country's highest point stands: the highest ETOPO5 cell (5 arc-minutes) inside
// the country's Natural Earth 1:10m polygons. The countries are burnt into a grid of the same
// cells, largest first, so an enclave keeps its own cells.
#include <algorithm>
#include <cmath>

#include "countries.h"
#include "gdal.h"
#include "gdal_alg.h"
#include "names_build.h"
#include "ogr_api.h"
#include "ogrsf_frmts.h"

enum { kGridWidth = 4320, kGridHeight = 2161 };  // cell centres at whole multiples of 1/12 degree

// ETOPO5 turned to start at 180 degrees west: row j has latitude 90 - j/12, column k longitude
// -180 + k/12.
static int ReadElevation(const std::string& path, std::vector<float>* grid) {
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (!ds) {
        BuildError("Cannot open the elevation grid %s", path.c_str());
        return 0;
    }
    int ok = GDALGetRasterXSize(ds) == kGridWidth && GDALGetRasterYSize(ds) == kGridHeight;
    std::vector<float> raw((size_t)kGridWidth * kGridHeight);
    if (ok)
        ok = GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, kGridWidth, kGridHeight, raw.data(), kGridWidth,
                          kGridHeight, GDT_Float32, 0, 0) == CE_None;
    GDALClose(ds);
    if (!ok) {
        BuildError("%s is not the 5-minute ETOPO5 grid of %dx%d cells or cannot be read", path.c_str(), kGridWidth,
                   kGridHeight);
        return 0;
    }
    grid->resize(raw.size());
    for (int j = 0; j < kGridHeight; j++)
        for (int k = 0; k < kGridWidth; k++)
            (*grid)[(size_t)j * kGridWidth + k] = raw[(size_t)j * kGridWidth + (k + kGridWidth / 2) % kGridWidth];
    return 1;
}

// Burns every Natural Earth country into a grid of country numbers; 0 where none.
static int RasteriseCountries(const std::string& path, std::vector<uint16_t>* numbers) {
    GDALDatasetH src = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!src) {
        BuildError("Cannot open the country outlines %s", path.c_str());
        return 0;
    }
    OGRLayerH layer = GDALDatasetGetLayerByName(src, "countries");
    if (!layer) layer = GDALDatasetGetLayer(src, 0);
    struct Shape {
        OGRGeometryH geometry;
        double area;
        double number;
    };
    std::vector<Shape> shapes;
    std::vector<OGRFeatureH> features;
    OGR_L_ResetReading(layer);
    while (OGRFeatureH f = layer ? OGR_L_GetNextFeature(layer) : nullptr) {
        features.push_back(f);
        int field = OGR_F_GetFieldIndex(f, "name");
        const Country* c = field >= 0 ? CountryByNaturalEarth(OGR_F_GetFieldAsString(f, field)) : nullptr;
        OGRGeometryH g = OGR_F_GetGeometryRef(f);
        if (!c || !g) continue;
        shapes.push_back(Shape{g, OGR_G_Area(g), (double)c->number});
    }
    if (shapes.empty()) {
        for (OGRFeatureH f : features) OGR_F_Destroy(f);
        GDALClose(src);
        BuildError("%s holds no country the volume's country list knows", path.c_str());
        return 0;
    }
    std::sort(shapes.begin(), shapes.end(), [](const Shape& a, const Shape& b) { return a.area > b.area; });
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", kGridWidth, kGridHeight, 1, GDT_UInt16, nullptr);
    double transform[6] = {-180 - 1.0 / 24, 1.0 / 12, 0, 90 + 1.0 / 24, 0, -1.0 / 12};
    GDALSetGeoTransform(mem, transform);
    std::vector<OGRGeometryH> geometries;
    std::vector<double> burn;
    for (const Shape& s : shapes) {
        geometries.push_back(s.geometry);
        burn.push_back(s.number);
    }
    int band = 1;
    int ok = GDALRasterizeGeometries(mem, 1, &band, (int)geometries.size(), geometries.data(), nullptr, nullptr,
                                     burn.data(), nullptr, nullptr, nullptr) == CE_None;
    numbers->assign((size_t)kGridWidth * kGridHeight, 0);
    if (ok)
        ok = GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Read, 0, 0, kGridWidth, kGridHeight, numbers->data(), kGridWidth,
                          kGridHeight, GDT_UInt16, 0, 0) == CE_None;
    GDALClose(mem);
    for (OGRFeatureH f : features) OGR_F_Destroy(f);
    GDALClose(src);
    if (!ok) BuildError("Cannot burn the country outlines of %s into a grid", path.c_str());
    return ok;
}

uint16_t CountryAt(const CountryGrid& grid, double lat, double lon) {
    if (grid.numbers.size() != (size_t)kGridWidth * kGridHeight) return 0;
    int row = (int)std::lround((90 - lat) * 12), col = (int)std::lround((lon + 180) * 12);
    for (int radius = 0; radius <= 1; radius++)
        for (int dr = -radius; dr <= radius; dr++)
            for (int dc = -radius; dc <= radius; dc++) {
                int r = row + dr, c = ((col + dc) % kGridWidth + kGridWidth) % kGridWidth;
                if (r < 0 || r >= kGridHeight) continue;
                uint16_t n = grid.numbers[(size_t)r * kGridWidth + c];
                if (n) return n;
            }
    return 0;
}

int FindHighestCells(const BuildContext& ctx, std::vector<HighestCell>* byCountry, CountryGrid* grid) {
    GDALAllRegister();
    std::vector<float> elevation;
    std::vector<uint16_t>& numbers = grid->numbers;
    if (!ReadElevation(RecipeValue(ctx, "etopo5", "/usr/share/ferret-vis/data/etopo5.cdf"), &elevation) ||
        !RasteriseCountries(SourcePath(ctx, "countries-10m", "world-atlas/countries-10m.json"), &numbers))
        return 0;
    byCountry->assign(kMaxCountryNumber + 1, HighestCell{});
    for (int j = 0; j < kGridHeight; j++)
        for (int k = 0; k < kGridWidth; k++) {
            size_t i = (size_t)j * kGridWidth + k;
            int n = numbers[i];
            float e = elevation[i];
            if (n <= 0 || n > kMaxCountryNumber || !std::isfinite(e) || e < -20000 || e > 20000) continue;
            HighestCell& h = (*byCountry)[n];
            if (!h.found || e > h.metres) {
                h.found = 1;
                h.metres = e;
                h.lat = 90 - j / 12.0;
                h.lon = -180 + k / 12.0;
            }
        }
    return 1;
}
