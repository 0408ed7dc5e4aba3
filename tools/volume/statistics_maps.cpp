// The statistics screen's region images: 8-bit maps in which every pixel of a country holds
// the country's palette index, drawn from the volume's country polygons. The world is drawn
// in the Eckert IV projection and each region in a Lambert azimuthal projection centred on
// it, both equal-area, so a country's share of the map matches its share of the land. The
// chart images hold the same map tilted away from the viewer, with room above it for the
// blocks the screen raises (up to 30 pixels).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/imaging.h"
#include "platform/le_bytes.h"
#include "statistics_build.h"

// [SECTION] Views

enum ViewProjection { kEckertIV, kAzimuthal };

struct RegionView {
    ViewProjection projection;
    double lon0, lat0;                 // centre of the azimuthal projection
    double west, east, south, north;   // the area the map shows (east may pass 180)
    double graticule;                  // degrees between graticule lines
    double extraLon, extraLat;         // a point the map must also show, when not 0, 0
};

// Each region's map is fitted to the outlines of its countries that lie inside the view's
// area (by the middle of their boxes); outlying islands beyond it (Bouvet Island, the French
// Southern Lands, Heard Island) are left out rather than shrinking the rest, and the report
// names them. South America's map reaches down to the Antarctic Peninsula.
static const RegionView views[kStatRegions] = {
    {kEckertIV, 0, 0, -180, 180, -90, 90, 30, 0, 0},
    {kAzimuthal, -60, -24, -92, -26, -62, 13, 10, -58, -64},   // South America
    {kAzimuthal, 17, 2, -26, 58, -36, 38, 10, 0, 0},           // Africa and its islands
    {kAzimuthal, 48, 29, 25, 76, 11, 44, 10, 0, 0},            // the Middle East to Afghanistan
    {kAzimuthal, 160, -12, 92, 232, -50, 22, 10, 0, 0},        // South-East Asia, Australia and Oceania
    {kAzimuthal, 12, 53, -24, 47, 35, 71, 10, 0, 0},           // Europe from Iceland to Armenia
    {kAzimuthal, 88, 18, 60, 113, -8, 37, 10, 0, 0},           // the Indian subcontinent and Indochina
    {kAzimuthal, 100, 52, 19, 191, 18, 82, 10, 0, 0},          // Russia, Central and East Asia
    {kAzimuthal, -98, 45, -180, -12, 7, 84, 10, 0, 0},         // North and Central America, Greenland
};

static const double kPi = 3.14159265358979323846;
static const double kDegree = kPi / 180.0;

// Great-circle distance in degrees.
static double ArcDegrees(double lon1, double lat1, double lon2, double lat2) {
    double c = sin(lat1 * kDegree) * sin(lat2 * kDegree) + cos(lat1 * kDegree) * cos(lat2 * kDegree) * cos((lon2 - lon1) * kDegree);
    return acos(std::clamp(c, -1.0, 1.0)) / kDegree;
}

// Projected coordinates, y pointing north; 0 where the point cannot be shown (the antipode).
static int Project(const RegionView& v, double lon, double lat, double* x, double* y) {
    double phi = lat * kDegree;
    if (v.projection == kEckertIV) {
        double target = (2 + kPi / 2) * sin(phi), theta = phi / 2;
        for (int i = 0; i < 12; i++) {
            double c = cos(theta), f = theta + sin(theta) * c + 2 * sin(theta) - target;
            double d = 2 * c * (c + 1);
            if (fabs(d) < 1e-12) break;
            theta -= f / d;
        }
        *x = 2 / sqrt(kPi * (4 + kPi)) * (lon * kDegree) * (1 + cos(theta));
        *y = 2 * sqrt(kPi / (4 + kPi)) * sin(theta);
        return 1;
    }
    double phi0 = v.lat0 * kDegree, dl = (lon - v.lon0) * kDegree;
    double denominator = 1 + sin(phi0) * sin(phi) + cos(phi0) * cos(phi) * cos(dl);
    if (denominator < 1e-9) return 0;
    double k = sqrt(2 / denominator);
    *x = k * cos(phi) * sin(dl);
    *y = k * (cos(phi0) * sin(phi) - sin(phi0) * cos(phi) * cos(dl));
    return 1;
}

// From projected coordinates to image pixels: a scale and offset that fit the view's area
// into the image, then for the chart a perspective that tilts the map away from the viewer.
struct PixelFrame {
    double scale, x0, y0;       // pixel = (x * scale + x0, y0 - y * scale) before the tilt
    int chart;
    double virtualW, virtualH;  // the untilted map the tilt starts from
    double board[4], boardTop, boardBottom;  // the tilted map's corners: far left, far right, near right, near left
    double a, b, c, d, e, f, g, h;  // unit square to the trapezoid
};

static void TiltTransform(PixelFrame* t, const double qx[4], const double qy[4]) {
    double dx1 = qx[1] - qx[2], dx2 = qx[3] - qx[2], dx3 = qx[0] - qx[1] + qx[2] - qx[3];
    double dy1 = qy[1] - qy[2], dy2 = qy[3] - qy[2], dy3 = qy[0] - qy[1] + qy[2] - qy[3];
    double den = dx1 * dy2 - dx2 * dy1;
    t->g = (dx3 * dy2 - dx2 * dy3) / den;
    t->h = (dx1 * dy3 - dx3 * dy1) / den;
    t->a = qx[1] - qx[0] + t->g * qx[1];
    t->b = qx[3] - qx[0] + t->h * qx[3];
    t->c = qx[0];
    t->d = qy[1] - qy[0] + t->g * qy[1];
    t->e = qy[3] - qy[0] + t->h * qy[3];
    t->f = qy[0];
}

static int InViewArea(const RegionView& v, double lon, double lat) {
    if (lat < v.south || lat > v.north) return 0;
    for (double shift : {0.0, 360.0, -360.0})
        if (lon + shift >= v.west && lon + shift <= v.east) return 1;
    return 0;
}

// The projected extent the map must show: the whole area for the world, otherwise the
// outlines of the region's countries inside the view's area.
static void MapExtent(const RegionView& v, int region, const std::vector<CountryPolygon>& polygons, double* minX,
                      double* maxX, double* minY, double* maxY) {
    *minX = *minY = 1e9, *maxX = *maxY = -1e9;
    auto add = [&](double lon, double lat) {
        double x, y;
        if (!Project(v, lon, lat, &x, &y)) return;
        *minX = std::min(*minX, x), *maxX = std::max(*maxX, x);
        *minY = std::min(*minY, y), *maxY = std::max(*maxY, y);
    };
    if (v.projection == kEckertIV) {
        for (int i = 0; i <= 60; i++)
            for (int j = 0; j <= 60; j++) add(v.west + (v.east - v.west) * i / 60.0, v.south + (v.north - v.south) * j / 60.0);
        return;
    }
    std::vector<char> member(kCountryRecords + 1, 0);
    const StatRegion* r = StatRegionInfo(region);
    for (int i = 0; i < r->count; i++) member[r->members[i]] = 1;
    for (const CountryPolygon& p : polygons) {
        if (p.country < 1 || p.country > kCountryRecords || !member[p.country] ||
            !InViewArea(v, (p.west + p.east) / 2, (p.south + p.north) / 2))
            continue;
        for (const GeoPoint& g : p.points) add(g.lon, g.lat);
    }
    if (v.extraLon || v.extraLat) add(v.extraLon, v.extraLat);
    if (*maxX <= *minX || *maxY <= *minY)  // no outlines: the view's area itself
        for (int i = 0; i <= 20; i++)
            for (int j = 0; j <= 20; j++) add(v.west + (v.east - v.west) * i / 20.0, v.south + (v.north - v.south) * j / 20.0);
}

static PixelFrame FrameFor(const RegionView& v, int region, const std::vector<CountryPolygon>& polygons, int width,
                           int height, int chart, double unit) {
    double minX, maxX, minY, maxY;
    MapExtent(v, region, polygons, &minX, &maxX, &minY, &maxY);
    // A little room around the countries, so that the outermost do not touch the edge.
    double padX = (maxX - minX) * 0.03, padY = (maxY - minY) * 0.03;
    minX -= padX, maxX += padX, minY -= padY, maxY += padY;
    PixelFrame t{};
    t.chart = chart;
    double margin = 6 * unit;
    if (!chart) {
        t.scale = std::min((width - 2 * margin) / (maxX - minX), (height - 2 * margin) / (maxY - minY));
        t.x0 = width / 2.0 - (minX + maxX) / 2 * t.scale;
        t.y0 = height / 2.0 + (minY + maxY) / 2 * t.scale;
        return t;
    }
    // The chart's board: the map tilted away from the viewer, its far edge 0.75 of its near
    // edge, seen at 0.62 to 0.85 of its depth (the steeper view where the width limits the
    // map), with 40 pixels above it for the raised blocks of its back row.
    double room = 40 * unit, available = height - margin - room, widest = width - 2 * margin;
    t.scale = std::min(widest / (maxX - minX), available / 0.62 / (maxY - minY));
    t.virtualW = (maxX - minX) * t.scale;
    t.virtualH = (maxY - minY) * t.scale;
    t.x0 = -minX * t.scale;
    t.y0 = maxY * t.scale;
    double depth = std::min(0.85, available / t.virtualH) * t.virtualH;
    double top = room + (available - depth) / 2, bottom = top + depth;
    double cx = width / 2.0, nearWidth = t.virtualW, farWidth = nearWidth * 0.75;
    t.board[0] = cx - farWidth / 2, t.board[1] = cx + farWidth / 2, t.board[2] = cx + nearWidth / 2, t.board[3] = cx - nearWidth / 2;
    t.boardTop = top, t.boardBottom = bottom;
    double qy[4] = {top, top, bottom, bottom};
    TiltTransform(&t, t.board, qy);
    return t;
}

// Clears what lies outside the chart's board: the map ends at its edges.
static void ClipToBoard(const PixelFrame& t, RegionImage* img) {
    for (int y = 0; y < img->height; y++) {
        double cy = y + 0.5, f = (cy - t.boardTop) / (t.boardBottom - t.boardTop);
        double left = t.board[0] + (t.board[3] - t.board[0]) * f, right = t.board[1] + (t.board[2] - t.board[1]) * f;
        for (int x = 0; x < img->width; x++)
            if (f < 0 || f > 1 || x + 0.5 < left || x + 0.5 > right) img->pixels[(size_t)y * img->width + x] = kRegionBackground;
    }
}

static void ToPixel(const PixelFrame& t, double x, double y, double* px, double* py) {
    double fx = x * t.scale + t.x0, fy = t.y0 - y * t.scale;
    if (!t.chart) {
        *px = fx, *py = fy;
        return;
    }
    double u = fx / t.virtualW, v = fy / t.virtualH;
    double w = t.g * u + t.h * v + 1;
    *px = (t.a * u + t.b * v + t.c) / w;
    *py = (t.d * u + t.e * v + t.f) / w;
}

// [SECTION] Drawing

// Fills the pixels whose centres lie inside the ring (even-odd), counting them per index.
static void FillRing(const std::vector<double>& xs, const std::vector<double>& ys, uint8_t value, RegionImage* img,
                     std::vector<int>* counts) {
    size_t n = xs.size();
    double lo = 1e18, hi = -1e18;
    for (double y : ys) lo = std::min(lo, y), hi = std::max(hi, y);
    int rowFirst = std::max(0, (int)ceil(lo - 0.5)), rowLast = std::min(img->height - 1, (int)floor(hi - 0.5));
    std::vector<double> crossings;
    for (int row = rowFirst; row <= rowLast; row++) {
        double cy = row + 0.5;
        crossings.clear();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            double y1 = ys[j], y2 = ys[i];
            if ((y1 <= cy) == (y2 <= cy)) continue;
            crossings.push_back(xs[j] + (cy - y1) / (y2 - y1) * (xs[i] - xs[j]));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            int first = std::max(0, (int)ceil(crossings[k] - 0.5)), last = std::min(img->width - 1, (int)floor(crossings[k + 1] - 0.5));
            uint8_t* line = &img->pixels[(size_t)row * img->width];
            for (int x = first; x <= last; x++) {
                (*counts)[line[x]]--;
                line[x] = value;
                (*counts)[value]++;
            }
        }
    }
}

// The ring projected to pixels, with long edges split so that curved meridians and parallels
// stay curved. 0 when a point cannot be projected.
static int RingToPixels(const RegionView& v, const PixelFrame& t, const GeoLine& ring, std::vector<double>* xs,
                        std::vector<double>* ys) {
    xs->clear();
    ys->clear();
    for (size_t i = 0; i < ring.size(); i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[(i + 1) % ring.size()];
        int steps = (int)std::max(fabs(b.lon - a.lon), fabs(b.lat - a.lat)) + 1;
        for (int s = 0; s < steps; s++) {
            double lon = a.lon + (b.lon - a.lon) * s / steps, lat = a.lat + (b.lat - a.lat) * s / steps, x, y, px, py;
            if (!Project(v, lon, lat, &x, &y)) return 0;
            ToPixel(t, x, y, &px, &py);
            xs->push_back(px);
            ys->push_back(py);
        }
    }
    return xs->size() >= 3;
}

static int Shown(const RegionView& v, const CountryPolygon& p) {
    if (v.projection == kEckertIV) return 1;
    // Beyond about 100 degrees an azimuthal map turns inside out; nothing that far is in view.
    return ArcDegrees(v.lon0, v.lat0, (p.west + p.east) / 2, (p.south + p.north) / 2) < 100;
}

// Meridians and parallels over the sea in the second background shade, every third pixel.
static void DrawGraticule(const RegionView& v, const PixelFrame& t, RegionImage* img) {
    struct Pen {
        int lastX = -1, lastY = -1, step = 0;
    };
    auto plot = [&](double lon, double lat, Pen* pen) {
        double x, y, px, py;
        if (!Project(v, lon, lat, &x, &y)) return;
        ToPixel(t, x, y, &px, &py);
        int ix = (int)floor(px), iy = (int)floor(py);
        if (ix == pen->lastX && iy == pen->lastY) return;
        pen->lastX = ix, pen->lastY = iy;
        if (ix < 0 || iy < 0 || ix >= img->width || iy >= img->height || pen->step++ % 3) return;
        uint8_t& pixel = img->pixels[(size_t)iy * img->width + ix];
        if (pixel == kRegionBackground) pixel = kRegionBackground2;
    };
    double g = v.graticule;
    for (double lon = -180; lon < 180; lon += g) {
        Pen pen;
        for (double lat = -80; lat <= 80; lat += 0.02) plot(lon, lat, &pen);
    }
    for (double lat = -60; lat <= 80; lat += g) {
        Pen pen;
        for (double lon = -180; lon <= 180; lon += 0.02) plot(lon, lat, &pen);
    }
}

// White lines between neighbouring countries: of two different countries side by side the
// left or upper pixel becomes the border, unless its country is so small that the border
// would swallow it; then the other pixel does.
static void DrawBorders(RegionImage* img, const std::vector<int>& counts) {
    const int kSmall = 16;
    std::vector<uint8_t> before = img->pixels;
    auto isCountry = [](uint8_t p) { return p >= kFirstCountryIndex && p <= kLastCountryIndex; };
    for (int y = 0; y < img->height; y++)
        for (int x = 0; x < img->width; x++) {
            size_t at = (size_t)y * img->width + x;
            uint8_t a = before[at];
            if (!isCountry(a)) continue;
            size_t next[2] = {x + 1 < img->width ? at + 1 : at, y + 1 < img->height ? at + img->width : at};
            for (size_t other : next) {
                uint8_t b = before[other];
                if (other == at || !isCountry(b) || b == a) continue;
                if (counts[a] > kSmall) img->pixels[at] = kRegionBorder;
                else if (counts[b] > kSmall) img->pixels[other] = kRegionBorder;
            }
        }
}

RegionImage DrawRegionImage(const std::vector<CountryPolygon>& polygons, const int paletteIndex[kCountryRecords + 1],
                            int region, int chart, int smallLayout) {
    RegionImageSize size = RegionImageSizeFor(smallLayout);
    RegionImage img;
    img.width = size.width;
    img.height = size.height;
    img.pixels.assign((size_t)img.width * img.height, kRegionBackground);
    const RegionView& v = views[region];
    PixelFrame t = FrameFor(v, region, polygons, img.width, img.height, chart, smallLayout ? 0.8 : 1.0);
    std::vector<int> counts(256, 0);
    counts[kRegionBackground] = (int)img.pixels.size();
    // Largest first, so that a country inside another (Lesotho, San Marino) is drawn over it.
    std::vector<double> xs, ys;
    std::vector<int> largest(kCountryRecords + 1, -1);
    for (size_t k = polygons.size(); k-- > 0;) {
        const CountryPolygon& p = polygons[k];
        if (p.country < 1 || p.country > kCountryRecords || !paletteIndex[p.country] || !Shown(v, p)) continue;
        if (largest[p.country] < 0) largest[p.country] = (int)k;
        if (RingToPixels(v, t, p.points, &xs, &ys)) FillRing(xs, ys, (uint8_t)paletteIndex[p.country], &img, &counts);
    }
    // A country smaller than a few pixels gets a dot at the middle of its largest polygon, or
    // as near it as the dots already placed leave room for.
    std::vector<uint8_t> dotted(img.pixels.size(), 0);
    for (int number = 1; number <= kCountryRecords; number++) {
        int index = paletteIndex[number];
        if (!index || largest[number] < 0 || counts[index] >= 4) continue;
        const CountryPolygon& p = polygons[largest[number]];
        double x, y, px, py;
        if (!Project(v, (p.west + p.east) / 2, (p.south + p.north) / 2, &x, &y)) continue;
        ToPixel(t, x, y, &px, &py);
        int cx = (int)floor(px - 0.5), cy = (int)floor(py - 0.5), found = 0, ix = 0, iy = 0;
        for (int radius = 0; radius <= 4 && !found; radius++)
            for (int dy = -radius; dy <= radius && !found; dy++)
                for (int dx = -radius; dx <= radius && !found; dx++) {
                    if (std::max(abs(dx), abs(dy)) != radius) continue;
                    ix = cx + dx, iy = cy + dy;
                    if (ix < 0 || iy < 0 || ix + 1 >= img.width || iy + 1 >= img.height) continue;
                    found = 1;
                    for (int k = 0; k < 4; k++) found &= !dotted[(size_t)(iy + k / 2) * img.width + ix + k % 2];
                }
        if (!found) continue;
        for (int k = 0; k < 4; k++) {
            size_t at = (size_t)(iy + k / 2) * img.width + ix + k % 2;
            counts[img.pixels[at]]--;
            img.pixels[at] = (uint8_t)index;
            counts[index]++;
            dotted[at] = 1;
        }
    }
    DrawBorders(&img, counts);
    DrawGraticule(v, t, &img);
    if (chart) ClipToBoard(t, &img);
    return img;
}

std::vector<uint8_t> EncodeRegionImage(const RegionImage& image) {
    std::vector<uint8_t> grey(256 * 3);
    for (int i = 0; i < 256; i++) grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = (uint8_t)i;
    std::vector<uint8_t> bottomUp(image.pixels.size());
    for (int r = 0; r < image.height; r++)
        memcpy(&bottomUp[(size_t)r * image.width], &image.pixels[(size_t)(image.height - 1 - r) * image.width], image.width);
    return EncodeBmp8(bottomUp.data(), image.width, image.height, grey);
}

int DecodeCountryPolygons(const std::vector<uint8_t>& index, const std::vector<uint8_t>& data,
                          std::vector<CountryPolygon>* out) {
    out->clear();
    if (index.size() % 24) return 0;
    ByteCursor c = MakeCursor(index.data(), index.size());
    while (CursorLeft(c) >= 24) {
        CountryPolygon p;
        p.west = ReadF32LE(c);
        p.south = ReadF32LE(c);
        p.east = ReadF32LE(c);
        p.north = ReadF32LE(c);
        int n = ReadI16LE(c);
        p.country = ReadI16LE(c);
        uint32_t offset = ReadU32LE(c);
        if (n < 3 || n > kMaxCountryPolygonPoints || offset > data.size() || data.size() - offset < (size_t)n * 8) return 0;
        ByteCursor points = MakeCursor(data.data() + offset, (size_t)n * 8);
        p.points.resize(n);
        for (GeoPoint& g : p.points) {
            g.lon = ReadF32LE(points);
            g.lat = ReadF32LE(points);
        }
        out->push_back(std::move(p));
    }
    return !c.bad;
}
