// Marching squares over a grid of samples, linking the segments of every cell into closed
// rings, and Douglas-Peucker for closed rings. A 4096 x 2048 night-lights image is traced
// area by area in well under a second.
#include "contour_rings.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

struct Crossing {
    int64_t edge;
    int exits;  // 1 when the walk round the cell leaves the area here
    GeoPoint at;
};

struct Link {
    int64_t next;
    GeoPoint at;
    int used;
};

}  // namespace

int ContourRings(const std::vector<float>& values, int w, int h, float level, std::vector<GeoLine>* rings) {
    rings->clear();
    auto value = [&](int x, int y) { return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : values[(size_t)y * w + x]; };
    // Edges are numbered by their first corner (the grid grown by one sample on every side) and
    // their direction: horizontal edges even, vertical ones odd.
    auto edgeId = [&](int x, int y, int vertical) { return ((int64_t)(y + 1) * (w + 2) + (x + 1)) * 2 + vertical; };
    std::unordered_map<int64_t, Link> links;
    Crossing found[4];
    for (int y = -1; y < h; y++)
        for (int x = -1; x < w; x++) {
            // The corners clockwise on the screen (rows grow downwards) and the edge from each to the next.
            const int cx[4] = {x, x + 1, x + 1, x}, cy[4] = {y, y, y + 1, y + 1};
            const int64_t edges[4] = {edgeId(x, y, 0), edgeId(x + 1, y, 1), edgeId(x, y + 1, 0), edgeId(x, y, 1)};
            float v[4];
            int inside = 0;
            for (int i = 0; i < 4; i++) v[i] = value(cx[i], cy[i]), inside |= (v[i] >= level) << i;
            if (inside == 0 || inside == 15) continue;
            int n = 0;
            for (int i = 0; i < 4; i++) {
                int j = (i + 1) % 4;
                int a = v[i] >= level, b = v[j] >= level;
                if (a == b) continue;
                double t = (level - v[i]) / (double)(v[j] - v[i]);
                found[n++] = {edges[i], a, {cx[i] + t * (cx[j] - cx[i]), cy[i] + t * (cy[j] - cy[i])}};
            }
            // Each exit joins the next crossing of the walk, an entry: the segment cuts off the
            // outside corners between them, so diagonal corners inside stay one area.
            for (int i = 0; i < n; i++)
                if (found[i].exits) links[found[i].edge] = {found[(i + 1) % n].edge, found[i].at, 0};
        }
    for (auto& [start, link] : links) {
        if (link.used) continue;
        GeoLine ring;
        int64_t edge = start;
        for (;;) {
            auto it = links.find(edge);
            if (it == links.end() || it->second.used) break;
            it->second.used = 1;
            ring.push_back(it->second.at);
            edge = it->second.next;
        }
        if (ring.size() >= 3) rings->push_back(std::move(ring));
    }
    return (int)rings->size();
}

double RingArea(const GeoLine& ring) {
    double sum = 0;
    for (size_t i = 0; i < ring.size(); i++) {
        const GeoPoint& p = ring[i];
        const GeoPoint& q = ring[(i + 1) % ring.size()];
        sum += p.lon * q.lat - q.lon * p.lat;
    }
    return sum / 2;
}

static double SegmentDistance(const GeoPoint& p, const GeoPoint& a, const GeoPoint& b) {
    double dx = b.lon - a.lon, dy = b.lat - a.lat;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? std::clamp(((p.lon - a.lon) * dx + (p.lat - a.lat) * dy) / len2, 0.0, 1.0) : 0.0;
    double ex = a.lon + t * dx - p.lon, ey = a.lat + t * dy - p.lat;
    return std::sqrt(ex * ex + ey * ey);
}

// Keeps the points of ring[first..last] (indices taken round the ring) that the tolerance needs.
static void KeepPoints(const GeoLine& ring, size_t first, size_t last, double tolerance, std::vector<uint8_t>* keep) {
    size_t n = ring.size();
    std::vector<std::pair<size_t, size_t>> spans{{first, last < first ? last + n : last}};
    while (!spans.empty()) {
        auto [a, b] = spans.back();
        spans.pop_back();
        double worst = -1;
        size_t at = a;
        for (size_t i = a + 1; i < b; i++) {
            double d = SegmentDistance(ring[i % n], ring[a % n], ring[b % n]);
            if (d > worst) worst = d, at = i;
        }
        if (worst <= tolerance) continue;
        (*keep)[at % n] = 1;
        spans.push_back({a, at});
        spans.push_back({at, b});
    }
}

GeoLine SimplifyRing(const GeoLine& ring, double tolerance) {
    size_t n = ring.size();
    if (n < 4) return ring;
    // The ring is cut at its first point and the point farthest from it; both halves are
    // simplified as lines, and at least one more point keeps the ring an area.
    size_t far = 1;
    for (size_t i = 1; i < n; i++)
        if (SegmentDistance(ring[i], ring[0], ring[0]) > SegmentDistance(ring[far], ring[0], ring[0])) far = i;
    std::vector<uint8_t> keep(n, 0);
    keep[0] = keep[far] = 1;
    KeepPoints(ring, 0, far, tolerance, &keep);
    KeepPoints(ring, far, 0, tolerance, &keep);
    if (std::count(keep.begin(), keep.end(), 1) < 3) {
        size_t third = 0;
        double best = -1;
        for (size_t i = 0; i < n; i++) {
            double d = keep[i] ? -1 : SegmentDistance(ring[i], ring[0], ring[far]);
            if (d > best) best = d, third = i;
        }
        keep[third] = 1;
    }
    GeoLine out;
    for (size_t i = 0; i < n; i++)
        if (keep[i]) out.push_back(ring[i]);
    return out;
}
