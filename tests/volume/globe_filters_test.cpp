// The globe lookup tables against the orthographic projection the globe screen draws its
// graticule and satellites with: every entry of all twenty tables, the limb, and the headers.
#include <gtest/gtest.h>

#include <cmath>

#include "globe_build.h"
#include "platform/le_bytes.h"
#include "support/test_volume.h"

namespace {

struct Projected {
    double x, y;
    int visible;
};

// The forward projection as the globe screen computes it (centre longitude 0), for points on
// the twelfth-degree grid that cell corners and centres lie on, from sines and cosines
// computed once: the full check visits millions of corners.
struct GridProjection {
    std::vector<double> sinLat, cosLat, sinLon, cosLon;  // index = (angle + 90 or 180) * 12
    double radius, sinPhi0, cosPhi0;
};
GridProjection MakeGridProjection(double radius, double viewLat) {
    GridProjection g;
    const double k = M_PI / 180.0;
    for (int i = 0; i <= 180 * 12; i++) g.sinLat.push_back(std::sin((-90.0 + i / 12.0) * k)), g.cosLat.push_back(std::cos((-90.0 + i / 12.0) * k));
    for (int i = 0; i <= 360 * 12; i++) g.sinLon.push_back(std::sin((-180.0 + i / 12.0) * k)), g.cosLon.push_back(std::cos((-180.0 + i / 12.0) * k));
    g.radius = radius, g.sinPhi0 = std::sin(viewLat * k), g.cosPhi0 = std::cos(viewLat * k);
    return g;
}
Projected ForwardOnGrid(const GridProjection& g, int lat12, int lon12) {
    double sinPhi = g.sinLat[lat12], cosPhi = g.cosLat[lat12], sinDelta = g.sinLon[lon12], cosDelta = g.cosLon[lon12];
    double x = g.radius * cosPhi * sinDelta;
    double y = g.radius * (g.cosPhi0 * sinPhi - g.sinPhi0 * cosPhi * cosDelta);
    double cosC = g.sinPhi0 * sinPhi + g.cosPhi0 * cosPhi * cosDelta;
    return {x, y, cosC > 0};
}

double Cross(const Projected& a, const Projected& b, double px, double py) {
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Whether (px, py) lies in the quadrilateral of projected cell corners, allowing tolerance
// pixels outside each edge (a parallel is drawn as a tiny ellipse arc, not a chord).
int InsideCell(const Projected c[4], double px, double py, double tolerance) {
    int negative = 0, positive = 0;
    for (int i = 0; i < 4; i++) {
        const Projected& a = c[i];
        const Projected& b = c[(i + 1) % 4];
        double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length < 1e-9) continue;  // the two corners at a pole
        double side = Cross(a, b, px, py);
        if (side < -tolerance * length) negative = 1;
        if (side > tolerance * length) positive = 1;
    }
    return !(negative && positive);
}

struct Table {
    uint32_t count, radius;
    std::vector<int32_t> entries;
    int unusedZero;
};

Table Decode(const std::vector<uint8_t>& file) {
    Table t{};
    ByteCursor c = MakeCursor(file.data(), file.size());
    t.count = ReadU32LE(c);
    t.radius = ReadU32LE(c);
    t.unusedZero = 1;
    for (int i = 0; i < 16; i++) t.unusedZero = ReadU8(c) == 0 && t.unusedZero;
    for (uint32_t i = 0; i < t.count && !c.bad; i++) t.entries.push_back(ReadI32LE(c));
    EXPECT_FALSE(c.bad);
    EXPECT_EQ(CursorLeft(c), 0u);
    return t;
}

}  // namespace

TEST(GlobeFilters, EveryEntryIsTheCellTheOrthographicViewShows) {
    for (int size = 0; size < kGlobeSizes; size++) {
        for (int tilt = 0; tilt < kGlobeTilts; tilt++) {
            SCOPED_TRACE("size " + std::to_string(size) + " tilt " + std::to_string(tilt));
            double viewLat = GlobeViewLatitude(tilt);
            Table t = Decode(EncodeGlobeFilter(GlobeRadius(size), viewLat));
            int r = (int)t.radius, side = 2 * r;
            GridProjection grid = MakeGridProjection(r, viewLat);
            ASSERT_EQ(t.count, (uint32_t)(side * side));
            ASSERT_EQ(t.entries.size(), t.count);
            // A cell's diagonal half is at most sqrt(2)/12 degrees; the projection never stretches.
            double limbBound = r * M_PI / 180.0 * std::sqrt(2.0) / 12.0 + 1e-9;
            int onDisk = 0, failures = 0;
            for (int row = 0; row < side && failures < 5; row++) {
                for (int column = 0; column < side && failures < 5; column++) {
                    int32_t e = t.entries[(size_t)row * side + column];
                    double px = column + 0.5 - r, py = row + 0.5 - r;
                    int outside = px * px + py * py > (double)r * r;
                    if (outside) {
                        if (e != -1) failures++, ADD_FAILURE() << "pixel off the disk at " << row << "," << column;
                        continue;
                    }
                    onDisk++;
                    if (e < 0 || e >= kGlobeLayerBytes) {
                        failures++, ADD_FAILURE() << "entry " << e << " at " << row << "," << column;
                        continue;
                    }
                    int lat12 = 2 * (e / kGlobeWidth), lon12 = 2 * (e % kGlobeWidth);
                    Projected c[4] = {ForwardOnGrid(grid, lat12, lon12), ForwardOnGrid(grid, lat12, lon12 + 2),
                                      ForwardOnGrid(grid, lat12 + 2, lon12 + 2), ForwardOnGrid(grid, lat12 + 2, lon12)};
                    int allVisible = c[0].visible && c[1].visible && c[2].visible && c[3].visible;
                    if (allVisible) {
                        if (!InsideCell(c, px, py, 1e-3))
                            failures++, ADD_FAILURE() << "pixel " << row << "," << column << " not in cell " << e;
                    } else {
                        Projected centre = ForwardOnGrid(grid, lat12 + 1, lon12 + 1);
                        if (std::hypot(centre.x - px, centre.y - py) > limbBound)
                            failures++, ADD_FAILURE() << "limb pixel " << row << "," << column << " far from cell " << e;
                    }
                }
            }
            // The disk holds about pi r^2 pixels.
            EXPECT_NEAR(onDisk, M_PI * r * r, 4.0 * side);
        }
    }
}

TEST(GlobeFilters, TwentyFilesFitTheImageArea) {
    TempFolder dir;
    BuildContext ctx;
    ctx.outDir = dir.path;
    ASSERT_EQ(WriteGlobeFilters(ctx), 1);
    int previous = 0;
    for (int size = 0; size < kGlobeSizes; size++) {
        int r = GlobeRadius(size);
        EXPECT_GT(r, previous);
        previous = r;
        // The image area of the 800x600 layout is 665 x 499 pixels.
        EXPECT_LE(2 * r, 499);
        EXPECT_LE(4 * r * r, kGlobeMaxEntries);
        for (int tilt = 0; tilt < kGlobeTilts; tilt++) {
            char name[32];
            snprintf(name, sizeof name, "globe/%02d_%02d.FLT", size, tilt);
            std::vector<uint8_t> file = ReadTestFile(dir / name);
            ASSERT_EQ(file.size(), (size_t)kGlobeFilterHeader + 4 * 4 * r * r) << name;
            Table t = Decode(file);
            EXPECT_EQ(t.radius, (uint32_t)r);
            EXPECT_TRUE(t.unusedZero);
            // The centre of the disk looks straight down on the viewing latitude of the tilt.
            int32_t centre = t.entries[(size_t)r * 2 * r + r];
            EXPECT_NEAR(-90.0 + (centre / kGlobeWidth + 0.5) / 6.0, 90.0 - 45.0 * tilt, 0.5) << name;
        }
    }
    EXPECT_EQ(GlobeRadius(2) * 2 <= 399, true);  // the medium globe also fits the 640x480 image area
}
