// Where a satellite is at its clock time: a Keplerian orbit whose node and perigee precess
// with the Earth's oblateness and whose mean motion changes linearly, seen from a geocentric
// observer on an ellipsoid, with an analytical Sun for the shadow. The constants keep their
// short forms (pi to eight decimals, degrees to radians to ten) so results match the tables.
#include <cmath>
#include <cstdint>

#include "globe/satellites.h"

constexpr double kDegToRad = 0.0174532925;
constexpr double kRadToDeg = 57.29577957855229;
constexpr double kPi = 3.14159265;
constexpr double kTwoPi = 6.2831853;
constexpr double kEarthRadius = 6378.16;                     // km
constexpr double kInverseEarthRadius = 0.00015678502891115933;
constexpr double kEarthRadiusSquared = 40680924.9856;
constexpr double kGravity = 398600.0;                        // km^3/s^2
constexpr double kNodePrecession = 9.95 * kDegToRad;         // rad/day at the reference orbit
constexpr double kPerigeePrecession = 4.97 * kDegToRad;
constexpr double kKeplerTolerance = 4.848136805555556e-6;    // one arc second
constexpr double kSiderealRate = 1.0027379093;
constexpr double kEarthRotation = 7.292115846604739e-5;      // rad/s
constexpr double kLatitudeFactor = 1.0000112420102683;
constexpr double kEllipsoidE2 = 0.006694541854587637;
constexpr double kEllipsoidOneMinusE2 = 0.9933054581454123;
constexpr double kSunDistance = 149598845.0;                 // km
constexpr double kSunMinusEarthRadius = 688621.84;           // km
constexpr double kDopplerFactor = -3.3356404846685625e-6;    // s/km
constexpr int kKeplerIterations = 100;                       // a sane orbit needs a handful

struct Vec3 {
    double x, y, z;
};

static double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
static double Length(const Vec3& a) { return sqrt(Dot(a, a)); }

// [SECTION] Day numbers, Kepler's equation, the Sun

int SatelliteDayNumber(int year, int month, int day) {
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t y = year;
    if (y >= 0 && y < 50) y += 2000;
    else if (y >= 50 && y <= 99) y += 1900;
    int64_t quarters = (y - 1901) * 1461;
    int64_t whole = quarters >= 0 ? quarters / 4 : -((-quarters + 3) / 4);   // floor
    int m = month >= 1 && month <= 12 ? month : 1;   // a record file may hold anything
    int64_t d = whole + kDaysBefore[m - 1] + (int64_t)day + 365;
    if (y % 4 == 0 && m > 2) d++;
    return (int)(d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : d);
}

double KeplerTrueAnomaly(double M, double e) {
    double E = M;
    // Bounded: a hostile eccentricity (1 or more, or not a number) would never converge.
    for (int k = 0; k < kKeplerIterations; k++) {
        double sinE = sin(E), cosE = cos(E);
        double correction = (E - e * sinE - M) / (1.0 - e * cosE);
        E -= correction;
        if (fabs(correction) < kKeplerTolerance) break;
    }
    if (fabs(E - kPi) < kKeplerTolerance) return kPi;   // the tangent of E/2 would blow up
    double nu = 2.0 * atan(sqrt((1.0 + e) / (1.0 - e)) * tan(E / 2.0));
    if (nu < 0.0) nu += kTwoPi;
    return nu;
}

// Position and velocity of an orbit with semi-major axis a at true anomaly nu, turned by the
// argument of perigee w, the inclination (its sine and cosine) and the node O (radians).
static void OrbitPoint(double a, double e, double nu, double w, double si, double ci, double O, Vec3* position,
                       Vec3* velocity) {
    double p = a * (1.0 - e * e);
    double cosNu = cos(nu), sinNu = sin(nu);
    double r = p / (1.0 + e * cosNu);
    double x = r * cosNu, y = r * sinNu;
    double speed = sqrt(kGravity / p);
    double vx = -speed * sinNu, vy = speed * (cosNu + e);
    double cw = cos(w), sw = sin(w), cO = cos(O), sO = sin(O);
    Vec3 P{cw * cO - sw * sO * ci, cw * sO + sw * cO * ci, sw * si};
    Vec3 Q{-sw * cO - cw * sO * ci, -sw * sO + cw * cO * ci, cw * si};
    *position = Vec3{P.x * x + Q.x * y, P.y * x + Q.y * y, P.z * x + Q.z * y};
    if (velocity) *velocity = Vec3{P.x * vx + Q.x * vy, P.y * vx + Q.y * vy, P.z * vx + Q.z * vy};
}

SunReference ComputeSunReference(double t) {
    SunReference s{};
    double day = floor(t);
    double T = (day - 0.5) / 36525.0, T2 = T * T, T3 = T2 * T;
    s.centuries = T;
    s.siderealOrigin = day;
    double revolutions = (2.581e-5 * T2 + 2400.051262 * T + 6.6460656) / 24.0;
    s.siderealReference = revolutions - floor(revolutions);
    double moonNode = 259.18 - 1934.142 * T;
    s.obliquity = (23.452294 - 0.0130125 * T - 1.64e-6 * T2 + 5.03e-7 * T3 + 0.00256 * cos(moonNode * kDegToRad)) * kDegToRad;
    s.eccentricity = 0.01675104 - 4.18e-5 * T - 1.26e-7 * T2;
    s.perigee = (281.220833 + 1.719175 * T + 0.0004527 * T2 + 3.3e-6 * T3) * kDegToRad;
    double M = (358.475845 + 35999.04975 * T - 0.00015 * T2 - 3.33333e-6 * T3) * kDegToRad;
    s.meanAnomaly = M - kTwoPi * floor(M / kTwoPi);
    s.meanMotion = 1.0 / (365.24219879 - 6.14e-6 * T);
    double nu = KeplerTrueAnomaly(s.meanAnomaly, s.eccentricity);
    double e = s.eccentricity;
    s.distance = kSunDistance * (1.0 - e * e) / (1.0 + e * cos(nu));
    s.sinP = kSunMinusEarthRadius / s.distance;
    s.cosP = sqrt(1.0 - s.sinP * s.sinP);
    Vec3 position;
    OrbitPoint(kSunDistance, e, nu, s.perigee, sin(s.obliquity), cos(s.obliquity), 0.0, &position, nullptr);
    s.x = position.x, s.y = position.y, s.z = position.z;
    return s;
}

// [SECTION] Propagation

// The Earth's shadow as a cone widened by the Sun's size (its sin P and cos P).
static int InShadow(const Vec3& satellite, const SunReference& sun) {
    Vec3 toSun{sun.x, sun.y, sun.z};
    double R = Length(satellite);
    double c = Dot(satellite, toSun) / (Length(toSun) * R) * sun.cosP + R * kInverseEarthRadius * sun.sinP;
    if (c >= 0.0) return 0;
    return R * kInverseEarthRadius * sun.sinP - sqrt(R * R - kEarthRadiusSquared) / R * sun.cosP > c;
}

// Sines and cosines of the observer's latitude phi (after the ellipsoid factor) and of the
// local sidereal angle theta, used by the site and by the look angles.
struct ObserverAngles {
    double sinPhi, cosPhi, sinTheta, cosTheta;
};

// The observer's position and velocity in the same frame as the satellite.
static void ObserverPoint(const ObserverAngles& o, double height, Vec3* site, Vec3* velocity) {
    double N = kEarthRadius / sqrt(1.0 - kEllipsoidE2 * o.sinPhi * o.sinPhi);
    *site = Vec3{(N + height) * o.cosPhi * o.cosTheta, (N + height) * o.cosPhi * o.sinTheta,
                 (kEllipsoidOneMinusE2 * N + height) * o.sinPhi};
    *velocity = Vec3{-kEarthRotation * site->y, kEarthRotation * site->x, 0.0};
}

// Every propagation within one day shares the day's Sun and sidereal reference; the drawing
// and the searches propagate many satellites to nearby times, so the last day is kept.
static const SunReference& SunForDay(double t) {
    static struct {
        double day = NAN;
        SunReference sun;
    } cache;
    double day = floor(t);
    if (!(cache.day == day)) {
        cache.sun = ComputeSunReference(t);
        cache.day = day;
    }
    return cache.sun;
}

// What depends only on the epoch, inclination, eccentricity and mean motion. The drawing
// propagates each satellite 40 times in a row, so the last satellite's terms are kept.
struct ElementTerms {
    double epoch, inclination, eccentricity, meanMotion;   // what they were computed from
    double epochDay, sinI, cosI, nodeRate, perigeeRate;
};

static const ElementTerms& TermsFor(const SatelliteRecord& r) {
    static ElementTerms last{NAN};
    if (last.epoch == r.epoch && last.inclination == r.inclination && last.eccentricity == r.eccentricity &&
        last.meanMotion == r.meanMotion)
        return last;
    last = ElementTerms{r.epoch, r.inclination, r.eccentricity, r.meanMotion};
    // Epoch as a day number; the year is bounded so that a hostile epoch stays an integer.
    double epochYear = fmax(-1e6, fmin(1e6, trunc(r.epoch / 1000.0)));
    last.epochDay = SatelliteDayNumber((int)epochYear, 1, 0) + (r.epoch - 1000.0 * epochYear);
    double inclination = r.inclination * kDegToRad, e = r.eccentricity;
    last.sinI = sin(inclination);
    last.cosI = cos(inclination);
    double a0 = 331.25 * pow(1440.0 / r.meanMotion, 2.0 / 3.0);
    double oblateness = pow(kEarthRadius / a0, 3.5) / ((1.0 - e * e) * (1.0 - e * e));
    last.nodeRate = kNodePrecession * oblateness * last.cosI;
    last.perigeeRate = kPerigeePrecession * oblateness * (5.0 * last.cosI * last.cosI - 1.0);
    return last;
}

// The observer's latitude after the ellipsoid factor, kept for the last latitude asked: a
// group or a search shares one observer.
static void ObserverLatitude(double degrees, double* sinPhi, double* cosPhi) {
    static struct {
        double degrees = NAN, sinPhi, cosPhi;
    } last;
    if (!(last.degrees == degrees)) {
        double phi = atan(kLatitudeFactor * tan(degrees * kDegToRad));
        last = {degrees, sin(phi), cos(phi)};
    }
    *sinPhi = last.sinPhi;
    *cosPhi = last.cosPhi;
}

// The satellite in the inertial frame at its clock time, and the Greenwich sidereal angle.
struct OrbitState {
    Vec3 satellite, velocity;
    double sidereal;
    const SunReference* sun;
};

static OrbitState OrbitStateAt(const SatelliteRecord& r) {
    OrbitState state;
    const ElementTerms& terms = TermsFor(r);
    double node0 = r.node * kDegToRad, perigee0 = r.perigee * kDegToRad, anomaly0 = r.meanAnomaly * kDegToRad;
    double e = r.eccentricity, n = r.meanMotion;
    double t = SatelliteDayNumber(r.year, r.month, r.day) + r.hours / 24.0;
    state.sun = &SunForDay(t);

    double dt = t - terms.epochDay;
    double motion = n + r.decayRate * dt;
    double a = 331.25 * pow(1440.0 / motion, 2.0 / 3.0);
    double orbits = anomaly0 / kTwoPi + r.revolution + dt * (n + r.decayRate * dt / 2.0);
    double M = (orbits - floor(orbits)) * kTwoPi;
    double nu = KeplerTrueAnomaly(M, e);
    OrbitPoint(a, e, nu, perigee0 + dt * terms.perigeeRate, terms.sinI, terms.cosI, node0 - dt * terms.nodeRate,
               &state.satellite, &state.velocity);
    state.sidereal = kTwoPi * ((t - state.sun->siderealOrigin) * kSiderealRate + state.sun->siderealReference);
    return state;
}

// Longitude (west reduced into [0, 2 pi) and turned east), latitude and height of the point
// under the satellite.
static void SubSatellitePoint(const OrbitState& state, OrbitResult* out) {
    const Vec3& p = state.satellite;
    double west = state.sidereal - atan2(p.y, p.x);
    double turns = trunc(west / kTwoPi);
    if (west < 0.0) turns -= 1.0;
    west -= kTwoPi * turns;
    out->latitude = atan(p.z / sqrt(p.x * p.x + p.y * p.y)) * kRadToDeg;
    out->height = Length(p) - kEarthRadius;
    out->longitude = -west * kRadToDeg;
    if (out->longitude < -180.0) out->longitude += 360.0;
    else if (out->longitude > 180.0) out->longitude -= 360.0;
}

// Look angles, range and Doppler shift from the record's observer.
static void ObserverView(const SatelliteRecord& r, const OrbitState& state, OrbitResult* out) {
    double theta = state.sidereal - r.observerLongitude * -kDegToRad;
    ObserverAngles o{0.0, 0.0, sin(theta), cos(theta)};
    ObserverLatitude(r.observerLatitude, &o.sinPhi, &o.cosPhi);
    Vec3 site, siteVelocity;
    ObserverPoint(o, r.observerAltitude * 0.001, &site, &siteVelocity);

    const Vec3& p = state.satellite;
    Vec3 d{p.x - site.x, p.y - site.y, p.z - site.z};
    double south = o.cosTheta * o.sinPhi * d.x + o.sinTheta * o.sinPhi * d.y - o.cosPhi * d.z;
    double east = -o.sinTheta * d.x + o.cosTheta * d.y;
    double up = o.cosTheta * o.cosPhi * d.x + o.sinTheta * o.cosPhi * d.y + o.sinPhi * d.z;
    double elevation = atan(up / sqrt(south * south + east * east));
    double azimuth = kPi - atan2(east, south);
    if (azimuth < 0.0) azimuth += kPi;   // reachable only through the short pi; the model adds pi
    out->visible = elevation >= r.minimumElevation * kDegToRad;

    out->range = Length(d);
    const Vec3& v = state.velocity;
    Vec3 relative{v.x - siteVelocity.x, v.y - siteVelocity.y, v.z - siteVelocity.z};
    double rangeRate = Dot(relative, d) / out->range;
    out->doppler = r.frequency * 1e6 * rangeRate * kDopplerFactor;
    out->azimuth = azimuth * kRadToDeg;
    out->elevation = elevation * kRadToDeg;
}

OrbitResult PropagateSatellite(const SatelliteRecord& r) {
    OrbitResult out{};
    OrbitState state = OrbitStateAt(r);
    ObserverView(r, state, &out);
    SubSatellitePoint(state, &out);
    out.eclipsed = InShadow(state.satellite, *state.sun);
    return out;
}

OrbitResult SatelliteGroundPoint(const SatelliteRecord& r) {
    OrbitResult out{};
    SubSatellitePoint(OrbitStateAt(r), &out);
    return out;
}
