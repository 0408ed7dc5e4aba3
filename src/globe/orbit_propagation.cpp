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
        double correction = (E - e * sin(E) - M) / (1.0 - e * cos(E));
        E -= correction;
        if (fabs(correction) < kKeplerTolerance) break;
    }
    if (fabs(E - kPi) < kKeplerTolerance) return kPi;   // the tangent of E/2 would blow up
    double nu = 2.0 * atan(sqrt((1.0 + e) / (1.0 - e)) * tan(E / 2.0));
    if (nu < 0.0) nu += kTwoPi;
    return nu;
}

// Position and velocity of an orbit with semi-major axis a at true anomaly nu, turned by the
// argument of perigee w, the inclination i and the node O (radians).
static void OrbitPoint(double a, double e, double nu, double w, double i, double O, Vec3* position, Vec3* velocity) {
    double p = a * (1.0 - e * e);
    double r = p / (1.0 + e * cos(nu));
    double x = r * cos(nu), y = r * sin(nu);
    double speed = sqrt(kGravity / p);
    double vx = -speed * sin(nu), vy = speed * (cos(nu) + e);
    double cw = cos(w), sw = sin(w), ci = cos(i), si = sin(i), cO = cos(O), sO = sin(O);
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
    OrbitPoint(kSunDistance, e, nu, s.perigee, s.obliquity, 0.0, &position, nullptr);
    s.x = position.x, s.y = position.y, s.z = position.z;
    return s;
}

// [SECTION] Propagation

// Not eclipsed while the Sun's disk shows past the Earth's limb (the penumbra counts as lit).
static int InShadow(const Vec3& satellite, const SunReference& sun) {
    Vec3 toSun{sun.x, sun.y, sun.z};
    double R = Length(satellite);
    double c = Dot(satellite, toSun) / (Length(toSun) * R) * sun.cosP + R * kInverseEarthRadius * sun.sinP;
    if (c >= 0.0) return 0;
    return R * kInverseEarthRadius * sun.sinP - sqrt(R * R - kEarthRadiusSquared) / R * sun.cosP > c;
}

// The observer's position and velocity in the same frame as the satellite, for the local
// sidereal angle theta; phi is the observer's latitude after the ellipsoid factor.
static void ObserverPoint(double phi, double height, double theta, Vec3* site, Vec3* velocity) {
    double N = kEarthRadius / sqrt(1.0 - kEllipsoidE2 * sin(phi) * sin(phi));
    *site = Vec3{(N + height) * cos(phi) * cos(theta), (N + height) * cos(phi) * sin(theta),
                 (kEllipsoidOneMinusE2 * N + height) * sin(phi)};
    *velocity = Vec3{-kEarthRotation * site->y, kEarthRotation * site->x, 0.0};
}

OrbitResult PropagateSatellite(const SatelliteRecord& r) {
    OrbitResult out{};
    // Epoch as a day number; the year is bounded so that a hostile epoch stays an integer.
    double epochYear = fmax(-1e6, fmin(1e6, trunc(r.epoch / 1000.0)));
    double epochDay = SatelliteDayNumber((int)epochYear, 1, 0) + (r.epoch - 1000.0 * epochYear);

    double inclination = r.inclination * kDegToRad, node0 = r.node * kDegToRad;
    double perigee0 = r.perigee * kDegToRad, anomaly0 = r.meanAnomaly * kDegToRad;
    double latitude = r.observerLatitude * kDegToRad, minimum = r.minimumElevation * kDegToRad;
    double westLongitude = r.observerLongitude * -kDegToRad;
    double altitude = r.observerAltitude * 0.001;
    double e = r.eccentricity, n = r.meanMotion;

    double t = SatelliteDayNumber(r.year, r.month, r.day) + r.hours / 24.0;
    SunReference sun = ComputeSunReference(t);

    double a0 = 331.25 * pow(1440.0 / n, 2.0 / 3.0);
    double oblateness = pow(kEarthRadius / a0, 3.5) / ((1.0 - e * e) * (1.0 - e * e));
    double nodeRate = kNodePrecession * oblateness * cos(inclination);
    double perigeeRate = kPerigeePrecession * oblateness * (5.0 * cos(inclination) * cos(inclination) - 1.0);

    double dt = t - epochDay;
    double motion = n + r.decayRate * dt;
    double a = 331.25 * pow(1440.0 / motion, 2.0 / 3.0);
    double orbits = anomaly0 / kTwoPi + r.revolution + dt * (n + r.decayRate * dt / 2.0);
    double M = (orbits - floor(orbits)) * kTwoPi;
    double nu = KeplerTrueAnomaly(M, e);

    Vec3 satellite, velocity;
    OrbitPoint(a, e, nu, perigee0 + dt * perigeeRate, inclination, node0 - dt * nodeRate, &satellite, &velocity);

    double phi = atan(kLatitudeFactor * tan(latitude));
    double sidereal = kTwoPi * ((t - sun.siderealOrigin) * kSiderealRate + sun.siderealReference);
    double theta = sidereal - westLongitude;
    Vec3 site, siteVelocity;
    ObserverPoint(phi, altitude, theta, &site, &siteVelocity);

    Vec3 d{satellite.x - site.x, satellite.y - site.y, satellite.z - site.z};
    double south = cos(theta) * sin(phi) * d.x + sin(theta) * sin(phi) * d.y - cos(phi) * d.z;
    double east = -sin(theta) * d.x + cos(theta) * d.y;
    double up = cos(theta) * cos(phi) * d.x + sin(theta) * cos(phi) * d.y + sin(phi) * d.z;
    double elevation = atan(up / sqrt(south * south + east * east));
    double azimuth = kPi - atan2(east, south);
    if (azimuth < 0.0) azimuth += kPi;   // only reachable through the short pi, kept as designed
    out.visible = elevation >= minimum;

    double west = sidereal - atan2(satellite.y, satellite.x);
    double turns = trunc(west / kTwoPi);
    if (west < 0.0) turns -= 1.0;
    west -= kTwoPi * turns;
    out.latitude = atan(satellite.z / sqrt(satellite.x * satellite.x + satellite.y * satellite.y)) * kRadToDeg;
    out.height = Length(satellite) - kEarthRadius;
    out.longitude = -west * kRadToDeg;
    if (out.longitude < -180.0) out.longitude += 360.0;
    else if (out.longitude > 180.0) out.longitude -= 360.0;

    out.eclipsed = InShadow(satellite, sun);

    out.range = Length(d);
    Vec3 relative{velocity.x - siteVelocity.x, velocity.y - siteVelocity.y, velocity.z - siteVelocity.z};
    double rangeRate = Dot(relative, d) / out.range;
    out.doppler = r.frequency * 1e6 * rangeRate * kDopplerFactor;
    out.azimuth = azimuth * kRadToDeg;
    out.elevation = elevation * kRadToDeg;
    return out;
}
