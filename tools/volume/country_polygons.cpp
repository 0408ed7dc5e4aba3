// Country polygons for picking a country on the map: the DCW outline of every country in the
// country table, numbered from it. About 250 gmt runs, some 25,000 polygons and 500,000 points.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "countries.h"
#include "platform/le_bytes.h"
#include "vector_build.h"

// Makes longitudes continuous along the ring (no jumps of more than 180 degrees).
static GeoLine Unwrap(const GeoLine& ring) {
    GeoLine out = ring;
    for (size_t i = 1; i < out.size(); i++) {
        while (out[i].lon - out[i - 1].lon > 180.0) out[i].lon -= 360.0;
        while (out[i].lon - out[i - 1].lon < -180.0) out[i].lon += 360.0;
    }
    return out;
}

// The part of a closed ring on one side of a meridian (keepEast: longitude >= m).
static GeoLine ClipAtMeridian(const GeoLine& ring, double m, int keepEast) {
    GeoLine out;
    auto inside = [&](const GeoPoint& p) { return keepEast ? p.lon >= m : p.lon <= m; };
    for (size_t i = 0; i < ring.size(); i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[(i + 1) % ring.size()];
        if (inside(a)) out.push_back(a);
        if (inside(a) != inside(b) && a.lon != b.lon) {
            double t = (m - a.lon) / (b.lon - a.lon);
            out.push_back({m, a.lat + t * (b.lat - a.lat)});
        }
    }
    return out;
}

// Douglas-Peucker on a closed ring, anchored at its first point and the point farthest from it.
static GeoLine Simplify(const GeoLine& ring, double tolerance) {
    if (ring.size() < 4) return ring;
    size_t far = 0;
    double best = -1;
    for (size_t i = 1; i < ring.size(); i++) {
        double dx = ring[i].lon - ring[0].lon, dy = ring[i].lat - ring[0].lat;
        if (dx * dx + dy * dy > best) best = dx * dx + dy * dy, far = i;
    }
    GeoLine first(ring.begin(), ring.begin() + far + 1), second(ring.begin() + far, ring.end());
    second.push_back(ring[0]);
    GeoLine out = SimplifyLine(first, tolerance);
    GeoLine rest = SimplifyLine(second, tolerance);
    out.insert(out.end(), rest.begin() + 1, rest.end() - 1);
    return out;
}

static void AddPolygon(int country, GeoLine ring, double tolerance, std::vector<CountryPolygon>* out) {
    if (!ring.empty() && ring.front().lon == ring.back().lon && ring.front().lat == ring.back().lat) ring.pop_back();
    GeoLine simple = Simplify(ring, tolerance);
    for (double t = std::max(tolerance * 2, 1e-4); simple.size() > (size_t)kMaxCountryPolygonPoints; t *= 2)
        simple = Simplify(ring, t);
    if (simple.size() < 3) return;
    CountryPolygon p{country, 1e9, 1e9, -1e9, -1e9, simple};
    for (const GeoPoint& g : simple) {
        p.west = std::min(p.west, g.lon), p.east = std::max(p.east, g.lon);
        p.south = std::min(p.south, g.lat), p.north = std::max(p.north, g.lat);
    }
    if (p.east - p.west <= 0 || p.north - p.south <= 0) return;
    out->push_back(std::move(p));
}

void CountryRingsToPolygons(int country, const std::vector<GeoLine>& rings, double tolerance,
                            std::vector<CountryPolygon>* out) {
    for (const GeoLine& raw : rings) {
        if (raw.size() < 3) continue;
        GeoLine ring = Unwrap(raw);
        double lo = 1e9, hi = -1e9;
        for (const GeoPoint& g : ring) lo = std::min(lo, g.lon), hi = std::max(hi, g.lon);
        double shift = 0;
        while (lo + shift >= 180.0) shift -= 360.0;
        while (hi + shift <= -180.0) shift += 360.0;
        for (GeoPoint& g : ring) g.lon += shift;
        lo += shift, hi += shift;
        if (hi > 180.0) {
            AddPolygon(country, ClipAtMeridian(ring, 180.0, 0), tolerance, out);
            GeoLine east = ClipAtMeridian(ring, 180.0, 1);
            for (GeoPoint& g : east) g.lon -= 360.0;
            AddPolygon(country, east, tolerance, out);
        } else if (lo < -180.0) {
            AddPolygon(country, ClipAtMeridian(ring, -180.0, 1), tolerance, out);
            GeoLine west = ClipAtMeridian(ring, -180.0, 0);
            for (GeoPoint& g : west) g.lon += 360.0;
            AddPolygon(country, west, tolerance, out);
        } else {
            AddPolygon(country, ring, tolerance, out);
        }
    }
}

int EncodeCountryPolygons(std::vector<CountryPolygon>& polygons, std::vector<uint8_t>* index,
                          std::vector<uint8_t>* data) {
    std::stable_sort(polygons.begin(), polygons.end(), [](const CountryPolygon& a, const CountryPolygon& b) {
        return (a.east - a.west) * (a.north - a.south) < (b.east - b.west) * (b.north - b.south);
    });
    index->clear();
    data->clear();
    for (const CountryPolygon& p : polygons) {
        if (p.points.size() > (size_t)kMaxCountryPolygonPoints || p.country < 1 || p.country > 32767) return 0;
        if (data->size() > 0xFFFFFFF0u) return 0;
        auto f32 = [](std::vector<uint8_t>& out, double v) {
            float f = (float)v;
            uint32_t u;
            memcpy(&u, &f, 4);
            WriteU32LE(out, u);
        };
        f32(*index, p.west);
        f32(*index, p.south);
        f32(*index, p.east);
        f32(*index, p.north);
        WriteI16LE(*index, (int16_t)p.points.size());
        WriteI16LE(*index, (int16_t)p.country);
        WriteU32LE(*index, (uint32_t)data->size());
        for (const GeoPoint& g : p.points) {
            f32(*data, g.lon);
            f32(*data, g.lat);
        }
    }
    return 1;
}

// DCW draws the West Bank and the Gaza Strip as one code; the country table keeps them apart.
static int NumberForRing(const Country& c, const GeoLine& ring) {
    if (strcmp(c.dcw, "PS") != 0) return c.number;
    double lon = 0;
    for (const GeoPoint& g : ring) lon += g.lon;
    const Country* part = CountryByFactbook(lon / ring.size() < 34.6 ? "gz" : "we");
    return part ? part->number : c.number;
}

int BuildCountryPolygons(BuildContext& ctx) {
    int n = 0;
    const Country* table = CountryTable(&n);
    std::vector<const Country*> todo;
    for (int i = 0; i < n; i++)
        if (table[i].dcw[0] && (strcmp(table[i].dcw, "PS") != 0 || strcmp(table[i].factbook, "gz") == 0))
            todo.push_back(&table[i]);
    std::vector<CountryPolygon> polygons;
    std::vector<std::string> empty;
    std::atomic<int> gmtFailed{0};
    std::mutex lock;
    std::atomic<size_t> next{0};
    Progress progress;
    ProgressStart(progress, "country polygons", (int)todo.size());
    auto worker = [&]() {
        for (size_t i; !gmtFailed && (i = next++) < todo.size();) {
            std::vector<GeoLine> rings;
            std::vector<std::string> headers;
            std::vector<CountryPolygon> mine;
            if (!RunGmt(ctx, std::string("coast -M -E") + todo[i]->dcw, &rings, &headers)) {
                gmtFailed = 1;
                break;
            }
            for (size_t r = 0; r < rings.size(); r++)
                if (headers[r].find("-Ph") == std::string::npos)
                    CountryRingsToPolygons(NumberForRing(*todo[i], rings[r]), {rings[r]}, 0.005, &mine);
            std::lock_guard<std::mutex> hold(lock);
            if (mine.empty()) empty.push_back(todo[i]->name);
            polygons.insert(polygons.end(), mine.begin(), mine.end());
            ProgressStep(progress);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < std::max(1, ctx.jobs); t++) threads.emplace_back(worker);
    for (std::thread& t : threads) t.join();
    ProgressEnd(progress);
    // Half a table of polygons would make clicks on the other countries find nothing, so a
    // failing source leaves the files out altogether.
    if (gmtFailed || polygons.empty()) {
        ReportMissing(ctx, "stats\\cpoly.idx, stats\\cpoly.dat", "gmt could not extract the DCW country outlines");
        return 0;
    }
    std::vector<uint8_t> index, data;
    if (!EncodeCountryPolygons(polygons, &index, &data)) {
        BuildError("The country polygons do not fit their file format");
        return 0;
    }
    if (!WriteVolumeFile(ctx, "stats\\cpoly.dat", data) || !WriteVolumeFile(ctx, "stats\\cpoly.idx", index)) {
        remove(VolumePath(ctx, "stats\\cpoly.dat").c_str());
        return 0;
    }
    long points = (long)(data.size() / 8);
    ReportLine(ctx, "vectors: stats\\cpoly: %zu polygons, %ld points for %zu countries of DCW", polygons.size(), points,
               todo.size() - empty.size());
    for (const std::string& name : empty) ReportLine(ctx, "vectors: stats\\cpoly: DCW gave no outline for %s", name.c_str());
    for (int i = 0; i < n; i++)
        if (!table[i].dcw[0]) ReportLine(ctx, "vectors: stats\\cpoly: %s has no outline of its own in DCW", table[i].name);
    return 1;
}
