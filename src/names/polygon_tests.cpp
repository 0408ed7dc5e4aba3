// Point in polygon by counting the edges a horizontal segment from the left of the polygon to
// the point crosses, and the segment intersection it relies on. Country polygons reach 8,200
// points and river bands four, so a test is a straight pass over the points.
#include <cmath>

#include "names/labels.h"

namespace {

enum SegmentKind { SEG_POINT, SEG_VERTICAL, SEG_HORIZONTAL, SEG_GENERAL };

struct Segment {
    double x1, y1, x2, y2;
    int kind;
    double m, b;  // general and horizontal: y = m x + b
};

Segment Classify(double x1, double y1, double x2, double y2) {
    Segment s{x1, y1, x2, y2, SEG_GENERAL, 0, 0};
    if (x1 == x2 && y1 == y2) s.kind = SEG_POINT;
    else if (std::fabs(x1 - x2) < 1e-6) s.kind = SEG_VERTICAL;
    else {
        s.kind = y1 == y2 ? SEG_HORIZONTAL : SEG_GENERAL;
        s.m = (y2 - y1) / (x2 - x1);
        s.b = y1 - s.m * x1;
    }
    return s;
}

bool InX(const Segment& s, double x) { return x >= std::fmin(s.x1, s.x2) && x <= std::fmax(s.x1, s.x2); }
bool InY(const Segment& s, double y) { return y >= std::fmin(s.y1, s.y2) && y <= std::fmax(s.y1, s.y2); }
bool RangesOverlap(double a1, double a2, double b1, double b2) {
    return std::fmax(std::fmin(a1, a2), std::fmin(b1, b2)) <= std::fmin(std::fmax(a1, a2), std::fmax(b1, b2));
}

int Intersect(const Segment& a, const Segment& b, double* x, double* y) {
    if (a.kind == SEG_POINT || b.kind == SEG_POINT) return 0;
    if (a.kind == SEG_VERTICAL && b.kind == SEG_VERTICAL) {
        if (std::fabs(a.x1 - b.x1) >= 1e-6 || !RangesOverlap(a.y1, a.y2, b.y1, b.y2)) return 0;
        *x = a.x1;
        *y = InY(b, a.y1) ? a.y1 : a.y2;
        return 1;
    }
    if (a.kind == SEG_VERTICAL || b.kind == SEG_VERTICAL) {
        const Segment& v = a.kind == SEG_VERTICAL ? a : b;
        const Segment& o = a.kind == SEG_VERTICAL ? b : a;
        double yy = o.m * v.x1 + o.b;
        if (!InX(o, v.x1) || !InY(v, yy) || !InY(o, yy)) return 0;
        *x = v.x1;
        *y = yy;
        return 1;
    }
    if (a.kind == SEG_HORIZONTAL && b.kind == SEG_HORIZONTAL) {
        if (a.y1 != b.y1 || !RangesOverlap(a.x1, a.x2, b.x1, b.x2)) return 0;
        *x = InX(b, a.x1) ? a.x1 : a.x2;
        *y = a.y1;
        return 1;
    }
    if (std::fabs(a.m - b.m) < 1e-6) return 0;
    double xx = (b.b - a.b) / (a.m - b.m);
    double yy = a.m * xx + a.b;
    if (a.kind == SEG_HORIZONTAL) yy = a.y1;
    if (b.kind == SEG_HORIZONTAL) yy = b.y1;
    if (!InX(a, xx) || !InX(b, xx) || !InY(a, yy) || !InY(b, yy)) return 0;
    *x = xx;
    *y = yy;
    return 1;
}

}  // namespace

int SegmentsIntersect(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                      double* x, double* y) {
    return Intersect(Classify(x1, y1, x2, y2), Classify(x3, y3, x4, y4), x, y);
}

int PointInPolygon(const float* xy, int n, double x0, double y0) {
    if (n <= 0) return 0;
    double minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
    for (int i = 1; i < n; i++) {
        minX = std::fmin(minX, xy[2 * i]);
        maxX = std::fmax(maxX, xy[2 * i]);
        minY = std::fmin(minY, xy[2 * i + 1]);
        maxY = std::fmax(maxY, xy[2 * i + 1]);
    }
    if (x0 < minX || x0 > maxX || y0 < minY || y0 > maxY) return 0;
    Segment ray = Classify(minX - 1, y0, x0, y0);
    int crossings = 0;
    for (int i = 0; i < n; i++) {
        int j = i + 1 == n ? 0 : i + 1;
        double ax = xy[2 * i], ay = xy[2 * i + 1], bx = xy[2 * j], by = xy[2 * j + 1];
        if (y0 < std::fmin(ay, by) || y0 > std::fmax(ay, by)) continue;
        double x, y;
        if (Intersect(ray, Classify(ax, ay, bx, by), &x, &y)) crossings++;
    }
    return crossings & 1;
}
