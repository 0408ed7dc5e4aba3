// The Earth's main magnetic field from a built-in world magnetic model: validation of the
// request, spherical-harmonic synthesis to degree 12 at a date and a year later, and the
// angles (declination, inclination) with their annual change. The 2D map asks for the
// declination under the pointer on every mouse move, so one evaluation is two syntheses
// over 90 coefficients and no allocation.
#include <cmath>
#include <cstdio>
#include <ctime>

#include "map2d/geomagnetic_model.h"

constexpr int kMaxDegree = 12;
constexpr double kRadiansToDegrees = 57.29577951;
constexpr double kUndefinedMarker = 57238.48373049;  // 999 radians in degrees
constexpr double kReferenceRadius = 6371.2;          // km

// Coefficients of one model arranged by degree and order.
struct CoefficientSet {
    double g[kMaxDegree + 1][kMaxDegree + 1];
    double h[kMaxDegree + 1][kMaxDegree + 1];
};

struct FieldVector {
    double x, y, z;  // north, east, down in nT
};

// [SECTION] Dates and checks

static int IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

double GeomagneticDecimalDate(int year, int month, int day) {
    static const int kMonthStart[12] = {1, 32, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    int leap = (IsLeapYear(year) && month >= 3) ? 1 : 0;
    int dayOfYear = kMonthStart[month - 1] + leap + day - 1;
    return year + dayOfYear / (leap ? 366.0 : 365.0);
}

// Converts an altitude to km; 0 for an unknown unit.
static int AltitudeToKm(char unit, double altitude, double* km) {
    switch (unit) {
    case 'k': *km = altitude; return 1;
    case 'm': *km = altitude * 1.60935; return 1;
    case 'f': *km = altitude * 0.0003048; return 1;
    default: return 0;
    }
}

// Reads the table into main-field and secular-variation sets; 0 when a row is out of order.
static int LoadCoefficients(const GeomagneticModel& model, CoefficientSet* main, CoefficientSet* rate) {
    *main = CoefficientSet{};
    *rate = CoefficientSet{};
    int row = 0;
    for (int n = 1; n <= kMaxDegree; n++) {
        for (int m = 0; m <= n; m++, row++) {
            if (row >= model.rowCount || model.rows[row].n != n || model.rows[row].m != m) {
                printf("Error: ((nn != n) || (mm != m))\n");
                fflush(stdout);
                return 0;
            }
            const GeomagneticRow& r = model.rows[row];
            main->g[n][m] = r.g;
            main->h[n][m] = r.h;
            if (n <= model.maxSecularDegree) {
                rate->g[n][m] = r.gDot;
                rate->h[n][m] = r.hDot;
            }
        }
    }
    return 1;
}

static void CoefficientsAt(const CoefficientSet& main, const CoefficientSet& rate, double years,
                           CoefficientSet* out) {
    for (int n = 1; n <= kMaxDegree; n++) {
        for (int m = 0; m <= n; m++) {
            out->g[n][m] = main.g[n][m] + years * rate.g[n][m];
            out->h[n][m] = main.h[n][m] + years * rate.h[n][m];
        }
    }
}

// [SECTION] Synthesis

// Where the field is evaluated: geocentric colatitude terms, radius and longitude terms, and
// the rotation from geocentric back to geodetic axes.
struct SynthesisPoint {
    double cosColat, sinColat;  // sine and cosine of the geocentric latitude
    double ratio;               // reference radius / r
    double sinLon, cosLon;
    double cd, sd;
};

static SynthesisPoint PrepareSynthesisPoint(const GeomagneticModel& model, int coordinates,
                                            double altitudeKm, double latitude, double longitude) {
    // Keeping the latitude off the poles keeps the east component's 1/sin(colatitude) finite.
    double lat = latitude;
    if (lat > 89.999) lat = 89.999;
    if (lat < -89.999) lat = -89.999;
    double sinLat = sin(lat / kRadiansToDegrees), cosLat = cos(lat / kRadiansToDegrees);
    SynthesisPoint p{};
    double r = altitudeKm, cd = 1.0, sd = 0.0;
    if (coordinates != kGeocentric) {
        double a2cos = model.a2 * cosLat * cosLat;
        double b2sin = model.b2 * sinLat * sinLat;
        double s = a2cos + b2sin, d = sqrt(s);
        double h = altitudeKm;
        r = sqrt(h * (h + 2.0 * d) + (model.a2 * a2cos + model.b2 * b2sin) / s);
        cd = (h + d) / r;
        sd = (model.a2 - model.b2) * sinLat * cosLat / (d * r);
    }
    p.cosColat = sinLat * cd - cosLat * sd;
    p.sinColat = cosLat * cd + sinLat * sd;
    p.ratio = kReferenceRadius / r;
    p.sinLon = sin(longitude / kRadiansToDegrees);
    p.cosLon = cos(longitude / kRadiansToDegrees);
    p.cd = cd;
    p.sd = sd;
    return p;
}

// Schmidt semi-normalised associated Legendre functions of the geocentric colatitude and
// their derivatives with respect to it, by the recursion in degree.
static void LegendreFunctions(double ct, double st, double p[kMaxDegree + 1][kMaxDegree + 1],
                              double dp[kMaxDegree + 1][kMaxDegree + 1]) {
    for (int n = 0; n <= kMaxDegree; n++)
        for (int m = 0; m <= kMaxDegree; m++) p[n][m] = dp[n][m] = 0.0;
    p[0][0] = 1.0;
    p[1][0] = ct;
    dp[1][0] = -st;
    p[1][1] = st;
    dp[1][1] = ct;
    for (int n = 2; n <= kMaxDegree; n++) {
        for (int m = 0; m < n; m++) {
            double a = 2.0 * n - 1.0;
            double b = sqrt((double)((n - 1) * (n - 1) - m * m));
            double k = sqrt((double)(n * n - m * m));
            p[n][m] = (a * ct * p[n - 1][m] - b * p[n - 2][m]) / k;
            dp[n][m] = (a * (ct * dp[n - 1][m] - st * p[n - 1][m]) - b * dp[n - 2][m]) / k;
        }
        double f = sqrt((2.0 * n - 1.0) / (2.0 * n));
        p[n][n] = f * st * p[n - 1][n - 1];
        dp[n][n] = f * (ct * p[n - 1][n - 1] + st * dp[n - 1][n - 1]);
    }
}

static FieldVector SynthesizeAt(const CoefficientSet& c, const SynthesisPoint& pt,
                                const double p[kMaxDegree + 1][kMaxDegree + 1],
                                const double dp[kMaxDegree + 1][kMaxDegree + 1]) {
    double cosM[kMaxDegree + 1], sinM[kMaxDegree + 1];
    cosM[0] = 1.0;
    sinM[0] = 0.0;
    for (int m = 1; m <= kMaxDegree; m++) {
        cosM[m] = cosM[m - 1] * pt.cosLon - sinM[m - 1] * pt.sinLon;
        sinM[m] = sinM[m - 1] * pt.cosLon + cosM[m - 1] * pt.sinLon;
    }
    double x = 0.0, y = 0.0, z = 0.0;
    double radial = pt.ratio * pt.ratio;
    for (int n = 1; n <= kMaxDegree; n++) {
        radial *= pt.ratio;  // ratio^(n+2)
        for (int m = 0; m <= n; m++) {
            double t = c.g[n][m] * cosM[m] + c.h[n][m] * sinM[m];
            x += radial * t * dp[n][m];
            y += radial * m * (c.g[n][m] * sinM[m] - c.h[n][m] * cosM[m]) * p[n][m];
            z -= radial * (n + 1) * t * p[n][m];
        }
    }
    y /= pt.sinColat;
    return FieldVector{x * pt.cd + z * pt.sd, y, z * pt.cd - x * pt.sd};
}

// D and I in radians, or the undefined marker.
static void FieldAngles(const FieldVector& v, double* d, double* i, double* h, double* f) {
    *h = sqrt(v.x * v.x + v.y * v.y);
    *f = sqrt(*h * *h + v.z * v.z);
    if (*f < 0.0001) {
        *d = *i = kUndefinedMarker;
        return;
    }
    *i = atan2(v.z, *h);
    if (*h < 0.0001) *d = kUndefinedMarker;
    else if (*h + v.x < 200.0) *d = 3.141592654;  // the half-angle form is unstable pointing south
    else *d = 2.0 * atan2(v.y, *h + v.x);
}

static void AngleAndChange(double first, double second, double* angle, double* change) {
    if (first == kUndefinedMarker) {
        *angle = *change = kUndefinedAngle;
        return;
    }
    *angle = first * kRadiansToDegrees;
    *change = second == kUndefinedMarker ? kUndefinedAngle : (second - first) * kRadiansToDegrees * 60.0;
}

int SynthesizeGeomagneticField(const GeomagneticModel& model, double decimalDate, int coordinates,
                               double altitudeKm, double latitude, double longitude,
                               GeomagneticResult* out) {
    CoefficientSet main, rate, now, later;
    if (!LoadCoefficients(model, &main, &rate)) return 9;
    double years = decimalDate - model.epoch;
    CoefficientsAt(main, rate, years, &now);
    CoefficientsAt(main, rate, years + 1.0, &later);

    SynthesisPoint pt = PrepareSynthesisPoint(model, coordinates, altitudeKm, latitude, longitude);
    double p[kMaxDegree + 1][kMaxDegree + 1], dp[kMaxDegree + 1][kMaxDegree + 1];
    LegendreFunctions(pt.cosColat, pt.sinColat, p, dp);
    FieldVector v1 = SynthesizeAt(now, pt, p, dp);
    FieldVector v2 = SynthesizeAt(later, pt, p, dp);

    double d1, i1, h1, f1, d2, i2, h2, f2;
    FieldAngles(v1, &d1, &i1, &h1, &f1);
    FieldAngles(v2, &d2, &i2, &h2, &f2);
    AngleAndChange(d1, d2, &out->declination, &out->declinationChange);
    AngleAndChange(i1, i2, &out->inclination, &out->inclinationChange);
    out->horizontal = h1;
    out->north = v1.x;
    out->east = v1.y;
    out->down = v1.z;
    out->total = f1;
    out->horizontalChange = h2 - h1;
    out->northChange = v2.x - v1.x;
    out->eastChange = v2.y - v1.y;
    out->downChange = v2.z - v1.z;
    out->totalChange = f2 - f1;
    return 0;
}

// [SECTION] Requests by calendar date

int EvaluateGeomagneticField(const GeomagneticModel& model, int year, int month, int day,
                             int coordinates, char altitudeUnit, double altitude,
                             double latitude, double longitude, GeomagneticResult* out) {
    if (year < model.firstYear || year > model.lastYear) return 3;
    if (month < 1 || month > 12) return 2;
    if (day < 1 || day > 31) return 1;
    double km;
    if (!AltitudeToKm(altitudeUnit, altitude, &km)) return 6;
    if (coordinates == kGeocentric ? (km < 6370.2 || km >= 6971.2) : (km < -1.0 || km >= 600.0)) return 5;
    if (latitude < -90.0 || latitude >= 90.0) return 7;
    if (longitude < -180.0 || longitude >= 180.0) return 8;
    double t = GeomagneticDecimalDate(year, month, day);
    if (t < model.validFrom || t >= model.validTo) return 4;
    return SynthesizeGeomagneticField(model, t, coordinates, km, latitude, longitude, out);
}

int EvaluateWmm90(int year, int month, int day, int coordinates, char altitudeUnit,
                  double altitude, double latitude, double longitude, GeomagneticResult* out) {
    return EvaluateGeomagneticField(wmm90Model, year, month, day, coordinates, altitudeUnit,
                                    altitude, latitude, longitude, out);
}

const GeomagneticModel* GeomagneticModelForDate(int year, int month, int day) {
    static const GeomagneticModel* const kModels[] = {&wmm90Model, &wmm2025Model};
    if (month < 1 || month > 12 || day < 1 || day > 31) return nullptr;
    double t = GeomagneticDecimalDate(year, month, day);
    for (const GeomagneticModel* m : kModels)
        if (year >= m->firstYear && year <= m->lastYear && t >= m->validFrom && t < m->validTo) return m;
    return nullptr;
}

int MagneticDeclination(int year, int month, int day, double latitude, double longitude,
                        double* declination) {
    const GeomagneticModel* model = GeomagneticModelForDate(year, month, day);
    if (!model) return 0;
    GeomagneticResult r;
    if (EvaluateGeomagneticField(*model, year, month, day, kGeodetic, 'k', 1.0, latitude, longitude, &r) != 0)
        return 0;
    if (r.declination == kUndefinedAngle || r.declination == -kUndefinedAngle) return 0;
    *declination = r.declination;
    return 1;
}

int TodaysMagneticDeclination(double latitude, double longitude, double* declination) {
    time_t now = time(nullptr);
    struct tm local;
    if (!localtime_r(&now, &local)) return 0;
    return MagneticDeclination(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, latitude, longitude, declination);
}
