// Cuts source polylines into the records of the cell-indexed vector files and rasterises them
// onto the world view's point grid. Handles the date line and the poles; coastlines of a few
// million points go through in a second or two.
#include <algorithm>
#include <cmath>

#include "vector_build.h"

static double WrapLongitude(double lon) {
    while (lon > 180.0) lon -= 360.0;
    while (lon < -180.0) lon += 360.0;
    return lon;
}

void NormaliseLine(const GeoLine& line, std::vector<GeoLine>* parts) {
    GeoLine current;
    for (size_t i = 0; i < line.size(); i++) {
        if (!std::isfinite(line[i].lon) || !std::isfinite(line[i].lat)) continue;
        GeoPoint p{WrapLongitude(line[i].lon), std::clamp(line[i].lat, -90.0, 90.0)};
        if (!current.empty()) {
            GeoPoint q = current.back();
            double d = p.lon - q.lon;
            if (std::fabs(d) > 180.0) {
                // The short way round crosses the date line: end on one side, restart on the other.
                double edge = d < 0 ? 180.0 : -180.0;       // the meridian q heads for
                double unwrapped = p.lon + (d < 0 ? 360.0 : -360.0);
                if (unwrapped != q.lon) {
                    double t = (edge - q.lon) / (unwrapped - q.lon);
                    double lat = q.lat + t * (p.lat - q.lat);
                    if (q.lon != edge) current.push_back({edge, lat});
                    if (current.size() >= 2) parts->push_back(current);
                    current.clear();
                    if (p.lon != -edge) current.push_back({-edge, lat});
                } else {  // q and p lie on the date line itself, one written as -180, one as 180
                    if (current.size() >= 2) parts->push_back(current);
                    current.clear();
                }
            }
        }
        current.push_back(p);
    }
    if (current.size() >= 2) parts->push_back(current);
}

static int CellOf(double lon, double lat) {
    int south = std::clamp((int)std::floor(lat), -90, 89);
    int west = std::clamp((int)std::floor(lon), -180, 179);
    return VectorCellNumber(south, west);
}

static VectorPoint OffsetIn(int cell, const GeoPoint& p) {
    double dx = std::round((p.lon - VectorCellWest(cell)) * kVectorUnitsPerDegree);
    double dy = std::round((p.lat - VectorCellSouth(cell)) * kVectorUnitsPerDegree);
    return {(int16_t)std::clamp(dx, -32768.0, 32767.0), (int16_t)std::clamp(dy, -32768.0, 32767.0)};
}

// Finishes a record: drops repeated points, sets its extent and reference point.
static int EmitRecord(int cell, const GeoLine& piece, std::vector<VectorCellRecord>* out) {
    VectorCellRecord r;
    r.cell = cell;
    for (const GeoPoint& p : piece) {
        VectorPoint v = OffsetIn(cell, p);
        if (!r.points.empty() && r.points.back().dLon == v.dLon && r.points.back().dLat == v.dLat) continue;
        r.points.push_back(v);
    }
    if (r.points.size() < 2) return 0;
    int minX = 32767, maxX = -32768, minY = 32767, maxY = -32768;
    for (const VectorPoint& v : r.points) {
        minX = std::min(minX, (int)v.dLon), maxX = std::max(maxX, (int)v.dLon);
        minY = std::min(minY, (int)v.dLat), maxY = std::max(maxY, (int)v.dLat);
    }
    r.record.extent = (uint16_t)std::min(65535, std::max(maxX - minX, maxY - minY));
    r.record.nPoints = (uint16_t)r.points.size();
    r.record.refLon = r.points[r.points.size() / 2].dLon;
    r.record.refLat = r.points[r.points.size() / 2].dLat;
    out->push_back(std::move(r));
    return 1;
}

// The parameters (0 < t < 1) where the segment p..q crosses a whole degree of longitude or latitude.
static void GridCrossings(const GeoPoint& p, const GeoPoint& q, std::vector<double>* ts) {
    ts->clear();
    auto add = [&](double a, double b) {
        if (a == b) return;
        double lo = std::min(a, b), hi = std::max(a, b);
        for (double k = std::floor(lo) + 1; k < hi; k += 1.0) ts->push_back((k - a) / (b - a));
    };
    add(p.lon, q.lon);
    add(p.lat, q.lat);
    std::sort(ts->begin(), ts->end());
}

enum { kMaxRecordPoints = 16000 };

int SplitLineIntoRecords(const GeoLine& line, std::vector<VectorCellRecord>* out) {
    std::vector<GeoLine> parts;
    NormaliseLine(line, &parts);
    int added = 0;
    std::vector<double> ts;
    for (const GeoLine& part : parts) {
        GeoLine piece{part[0]};
        int cell = -1;
        for (size_t i = 1; i < part.size(); i++) {
            const GeoPoint& p = part[i - 1];
            const GeoPoint& q = part[i];
            GridCrossings(p, q, &ts);
            ts.push_back(1.0);
            double t0 = 0.0;
            for (double t : ts) {
                GeoPoint a{p.lon + t0 * (q.lon - p.lon), p.lat + t0 * (q.lat - p.lat)};
                GeoPoint b{p.lon + t * (q.lon - p.lon), p.lat + t * (q.lat - p.lat)};
                if (t == 1.0) b = q;
                int c = CellOf((a.lon + b.lon) / 2, (a.lat + b.lat) / 2);
                if (cell < 0) cell = c;
                if (c != cell || piece.size() >= kMaxRecordPoints) {
                    added += EmitRecord(cell, piece, out);
                    piece.assign(1, a);
                    cell = c;
                }
                piece.push_back(b);
                t0 = t;
            }
        }
        if (cell >= 0) added += EmitRecord(cell, piece, out);
    }
    return added;
}

static void MarkSegment(std::vector<uint8_t>& grid, int x0, int y0, int x1, int y1) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        grid[(size_t)y0 * kWorldGridColumns + x0] = 1;
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void RasteriseWorldPoints(const std::vector<GeoLine>& lines, std::vector<WorldPoint>* out) {
    std::vector<uint8_t> grid((size_t)kWorldGridColumns * kWorldGridRows, 0);
    std::vector<GeoLine> parts;
    for (const GeoLine& line : lines) {
        parts.clear();
        NormaliseLine(line, &parts);
        for (const GeoLine& part : parts)
            for (size_t i = 0; i < part.size(); i++) {
                int x1 = WorldGridColumn(part[i].lon), y1 = WorldGridRow(part[i].lat);
                int x0 = i ? WorldGridColumn(part[i - 1].lon) : x1, y0 = i ? WorldGridRow(part[i - 1].lat) : y1;
                MarkSegment(grid, x0, y0, x1, y1);
            }
    }
    out->clear();
    for (int row = 0; row < kWorldGridRows; row++)
        for (int col = 0; col < kWorldGridColumns; col++)
            if (grid[(size_t)row * kWorldGridColumns + col]) out->push_back({(int16_t)col, (int16_t)row});
}

GeoLine SimplifyLine(const GeoLine& line, double tolerance) {
    if (line.size() < 3) return line;
    std::vector<uint8_t> keep(line.size(), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<size_t, size_t>> spans{{0, line.size() - 1}};
    while (!spans.empty()) {
        auto [first, last] = spans.back();
        spans.pop_back();
        if (last <= first + 1) continue;
        double dx = line[last].lon - line[first].lon, dy = line[last].lat - line[first].lat;
        double length = std::sqrt(dx * dx + dy * dy);
        double worst = -1;
        size_t at = first;
        for (size_t i = first + 1; i < last; i++) {
            double ex = line[i].lon - line[first].lon, ey = line[i].lat - line[first].lat;
            double d = length > 0 ? std::fabs(ex * dy - ey * dx) / length : std::sqrt(ex * ex + ey * ey);
            if (d > worst) worst = d, at = i;
        }
        if (worst <= tolerance) continue;
        keep[at] = 1;
        spans.push_back({first, at});
        spans.push_back({at, last});
    }
    GeoLine out;
    for (size_t i = 0; i < line.size(); i++)
        if (keep[i]) out.push_back(line[i]);
    return out;
}
