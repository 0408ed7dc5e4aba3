// The elevation range of a map window, which colours heights over the observed range: the
// precise variant samples the 60-degree height tiles once per map pixel column and row, the
// quick one the 800 x 600 world height grid "hts.top". Both give the fixed range for the world.
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "core/core.h"
#include "imaging/imaging.h"
#include "imaging/raster_compose.h"
#include "platform/files.h"
#include "platform/le_bytes.h"

namespace {

constexpr double kLowestLand = -392, kHighestSummit = 8848;

struct Seen {
    int found = 0;
    int low = 0, high = 0;
    void Add(int h) {
        if (!found || h < low) low = h;
        if (!found || h > high) high = h;
        found = 1;
    }
};

// The clamps of the observed range: sea level for the coast's -5, the lowest dry land and the
// highest summit as bounds, and a span of at least one metre.
void SetObservedRange(const Seen& seen) {
    if (!seen.found) {
        observedElevation = ElevationRange{kLowestLand, kHighestSummit};
        return;
    }
    ElevationRange r{(double)seen.low, (double)seen.high};
    if (r.minimum == -5) r.minimum = 0;
    if (r.minimum < kLowestLand) r.minimum = kLowestLand;
    if (r.maximum > kHighestSummit) r.maximum = kHighestSummit;
    if ((int)r.maximum <= (int)r.minimum) r.maximum = r.minimum + 1;
    observedElevation = r;
}

// Sample s0 + i (s1 - s0) / n for each of n pixels, truncated toward zero; -1 outside 0..samples-1.
void MapPixels(double s0, double s1, int n, int samples, std::vector<int>* out) {
    out->assign((size_t)n, -1);
    for (int i = 0; i < n; i++) {
        double s = s0 + i * (s1 - s0) / n;
        if (s > -1.0 && s < samples) (*out)[(size_t)i] = (int)s;
    }
}

}  // namespace

int WindowElevationRangePrecise(const ComposeRequest& q) {
    observedElevation = ElevationRange{kLowestLand, kHighestSummit};
    if (q.wholeWorld || q.width <= 0 || q.height <= 0) return 1;
    std::vector<int16_t> row;
    try {
        row.resize(kCoarseSamples);
    } catch (const std::bad_alloc&) {
        ShowMessage("Cannot allocate sPtr[]");
        return 0;
    }
    double west = fmin(q.west, q.east), east = fmax(q.west, q.east);
    double south = fmin(q.south, q.north), north = fmax(q.south, q.north);
    Seen seen;
    std::vector<int> cols, rows;
    for (int j = 0; j < kCoarseTileColumns; j++) {
        int tw = CoarseTileWest(j);
        if (tw > east || tw + kCoarseDegrees < west) continue;
        for (int i = 0; i < kCoarseTileRows; i++) {
            int tn = CoarseTileNorth(i);
            if (tn < south || tn - kCoarseDegrees > north) continue;
            FILE* f = OpenDataFile(TileNameCoarse(kLayerHeight, tw, tn).c_str(), "rb");
            if (!f) continue;
            MapPixels((west - tw) / kCoarseDegrees * kCoarseSamples, (east - tw) / kCoarseDegrees * kCoarseSamples, q.width,
                      kCoarseSamples, &cols);
            MapPixels((tn - north) / kCoarseDegrees * kCoarseSamples, (tn - south) / kCoarseDegrees * kCoarseSamples, q.height,
                      kCoarseSamples, &rows);
            int lastRow = -1;
            for (int r : rows) {
                if (r < 0 || r == lastRow) continue;  // a repeated row holds nothing new
                lastRow = r;
                if (!ReadCoarseRow(f, r, row.data())) continue;
                for (int c : cols)
                    if (c >= 0) seen.Add(row[(size_t)c]);
            }
            fclose(f);
        }
    }
    SetObservedRange(seen);
    return 1;
}

int WindowElevationRangeQuick(const ComposeRequest& q) {
    observedElevation = ElevationRange{kLowestLand, kHighestSummit};
    if (q.wholeWorld || q.width <= 0 || q.height <= 0) return 1;
    const char* name = "raster\\hts\\hts.top";
    FILE* f = OpenDataFile(name, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", name);
        return 0;
    }
    std::vector<uint8_t> grid;
    try {
        grid.resize((size_t)kTopWidth * kTopHeight * 2);
    } catch (const std::bad_alloc&) {
        fclose(f);
        ShowMessage("Cannot allocate buffer[]");
        return 0;
    }
    size_t got = fread(grid.data(), 1, grid.size(), f);
    fclose(f);
    grid.resize(got - got % 2);  // a short file samples only what it holds
    int width = q.width > 1023 ? 1023 : q.width;
    Seen seen;
    for (int y = 0; y < q.height; y++) {
        double latitude = q.north - y * (q.north - q.south) / q.height;
        if (!(latitude > -90.0 && latitude < 90.0)) continue;
        int r = (int)((90.0 - latitude) / 180.0 * kTopHeight);
        r = r < 0 ? 0 : r > kTopHeight - 1 ? kTopHeight - 1 : r;
        for (int x = 0; x < width; x++) {
            double longitude = q.west + x * (q.east - q.west) / width;
            if (!(longitude >= -180.0 && longitude <= 180.0)) continue;
            int c = (int)((longitude + 180.0) / 360.0 * kTopWidth);
            c = c < 0 ? 0 : c > kTopWidth - 1 ? kTopWidth - 1 : c;
            size_t at = ((size_t)r * kTopWidth + c) * 2;
            if (at + 2 <= grid.size()) seen.Add(PeekI16LE(&grid[at]));
        }
    }
    SetObservedRange(seen);
    return 1;
}
