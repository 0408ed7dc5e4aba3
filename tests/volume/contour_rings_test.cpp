// Marching squares against crossings worked out by hand, against a naive count of connected
// areas on random grids, and ring simplification against its tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "contour_rings.h"

// The ring's points from the one with the smallest column, so a hand-written order compares.
static GeoLine FromLeftmost(GeoLine ring) {
    auto left = std::min_element(ring.begin(), ring.end(), [](const GeoPoint& a, const GeoPoint& b) {
        return a.lon < b.lon || (a.lon == b.lon && a.lat < b.lat);
    });
    std::rotate(ring.begin(), left, ring.end());
    return ring;
}

TEST(ContourRings, CrossingsAreInterpolatedAlongTheCellEdges) {
    struct Case {
        int w, h;
        std::vector<float> values;
        float level;
        GeoLine expected;  // clockwise on the screen from the leftmost point
    } cases[] = {
        // One bright sample: 8 falls to 0 a pixel away, so 2 is met three quarters of the way out.
        {3, 3, {0, 0, 0, 0, 8, 0, 0, 0, 0}, 2, {{0.25, 1}, {1, 0.25}, {1.75, 1}, {1, 1.75}}},
        // A dim neighbour (4) pulls the west crossing towards the bright sample: 1 + 1/6.
        {4, 3, {0, 0, 0, 0, 0, 4, 10, 0, 0, 0, 0, 0}, 5, {{1 + 1.0 / 6, 1}, {2, 0.5}, {2.5, 1}, {2, 1.5}}},
        // On the grid's edge: the samples beyond it count as 0.
        {1, 1, {4}, 1, {{-0.75, 0}, {0, -0.75}, {0.75, 0}, {0, 0.75}}},
    };
    for (const Case& c : cases) {
        std::vector<GeoLine> rings;
        ASSERT_EQ(ContourRings(c.values, c.w, c.h, c.level, &rings), 1);
        GeoLine ring = FromLeftmost(rings[0]);
        ASSERT_EQ(ring.size(), c.expected.size());
        for (size_t i = 0; i < ring.size(); i++) {
            EXPECT_NEAR(ring[i].lon, c.expected[i].lon, 1e-9) << i;
            EXPECT_NEAR(ring[i].lat, c.expected[i].lat, 1e-9) << i;
        }
        EXPECT_GT(RingArea(ring), 0);
    }
}

TEST(ContourRings, DiagonalNeighboursAreOneAreaAndHolesRunTheOtherWay) {
    std::vector<GeoLine> rings;
    // Two samples touching at a corner: one ring, as the areas are 8-connected.
    ASSERT_EQ(ContourRings({10, 0, 0, 10}, 2, 2, 5, &rings), 1);
    EXPECT_EQ(rings[0].size(), 8u);
    // A ring of samples round a dark centre: the outline and a hole of opposite sign.
    ASSERT_EQ(ContourRings({10, 10, 10, 10, 0, 10, 10, 10, 10}, 3, 3, 5, &rings), 2);
    double a = RingArea(rings[0]), b = RingArea(rings[1]);
    EXPECT_LT(std::min(a, b), 0);
    EXPECT_GT(std::max(a, b), 0);
    EXPECT_NEAR(std::min(a, b), -0.5, 1e-9);  // the hole: a diamond of half-pixel radius
    EXPECT_TRUE(ContourRings({1, 2, 3}, 3, 1, 5, &rings) == 0 && rings.empty());
}

// Naive reference: 8-connected areas counted by flood fill; each has exactly one outer ring.
static int CountAreas(const std::vector<float>& v, int w, int h, float level) {
    std::vector<int> seen(v.size(), 0);
    int areas = 0;
    for (int start = 0; start < w * h; start++) {
        if (v[start] < level || seen[start]) continue;
        areas++;
        std::vector<int> stack{start};
        seen[start] = 1;
        while (!stack.empty()) {
            int i = stack.back();
            stack.pop_back();
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    int x = i % w + dx, y = i / w + dy;
                    if (x < 0 || y < 0 || x >= w || y >= h) continue;
                    int n = y * w + x;
                    if (v[n] >= level && !seen[n]) seen[n] = 1, stack.push_back(n);
                }
        }
    }
    return areas;
}

TEST(ContourRings, OneOuterRingPerAreaOnRandomGrids) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; trial++) {
        int w = 1 + (int)(rng() % 14), h = 1 + (int)(rng() % 14);
        std::vector<float> v((size_t)w * h);
        for (float& x : v) x = (float)(rng() % 100);
        std::vector<GeoLine> rings;
        ContourRings(v, w, h, 60.5f, &rings);
        int outer = 0;
        for (const GeoLine& ring : rings) {
            outer += RingArea(ring) > 0;
            // Closed and continuous: each step stays within one cell, the last one back to the first.
            for (size_t i = 0; i < ring.size(); i++) {
                const GeoPoint& p = ring[i];
                const GeoPoint& q = ring[(i + 1) % ring.size()];
                ASSERT_LE(std::fabs(p.lon - q.lon), 1.0) << trial;
                ASSERT_LE(std::fabs(p.lat - q.lat), 1.0) << trial;
                // Every crossing lies on a cell edge.
                ASSERT_TRUE(p.lon == std::floor(p.lon) || p.lat == std::floor(p.lat)) << trial;
            }
        }
        EXPECT_EQ(outer, CountAreas(v, w, h, 60.5f)) << "trial " << trial;
    }
}

static double DistanceToRing(const GeoPoint& p, const GeoLine& ring) {
    double best = 1e300;
    for (size_t i = 0; i < ring.size(); i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[(i + 1) % ring.size()];  // the closing edge counts too
        double dx = b.lon - a.lon, dy = b.lat - a.lat, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? std::clamp(((p.lon - a.lon) * dx + (p.lat - a.lat) * dy) / len2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(a.lon + t * dx - p.lon, a.lat + t * dy - p.lat));
    }
    return best;
}

TEST(SimplifyRing, StaysClosedAndWithinTolerance) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (double tolerance : {0.02, 0.1, 0.3, 2.0}) {
        GeoLine ring;
        for (int i = 0; i < 300; i++) {
            double a = i * 2 * M_PI / 300, r = 3 + 0.5 * std::sin(5 * a) + noise(rng);
            ring.push_back({r * std::cos(a), r * std::sin(a)});
        }
        GeoLine simple = SimplifyRing(ring, tolerance);
        SCOPED_TRACE(tolerance);
        ASSERT_GE(simple.size(), 3u);
        EXPECT_LT(simple.size(), ring.size());
        EXPECT_EQ(simple[0].lon, ring[0].lon);  // a subsequence that keeps the start
        size_t at = 0;
        for (const GeoPoint& p : simple) {
            while (at < ring.size() && (ring[at].lon != p.lon || ring[at].lat != p.lat)) at++;
            ASSERT_LT(at, ring.size());
        }
        for (const GeoPoint& p : ring) EXPECT_LE(DistanceToRing(p, simple), tolerance + 1e-12);
    }
    // However loose the tolerance, an area stays an area; three points come back as they are.
    GeoLine square{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    EXPECT_EQ(SimplifyRing(square, 10).size(), 3u);
    EXPECT_EQ(SimplifyRing({{0, 0}, {1, 0}, {0, 1}}, 10).size(), 3u);
}
