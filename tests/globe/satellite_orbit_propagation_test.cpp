// The orbit propagator against a reference written another way (days counted one by one,
// Kepler's equation by bisection, rotations as matrices, look angles from an east-north-up
// frame) and against known facts: the sidereal time and the Sun's distance and declination on
// given dates, a satellite at its node at epoch, a geostationary one, a space-station orbit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "globe/satellites.h"

namespace {

// [SECTION] The reference

// The model's own constants, short forms included: they are part of its definition.
constexpr double kDeg = 0.0174532925;
constexpr double kShortPi = 3.14159265;
constexpr double kShortTwoPi = 6.2831853;
constexpr double kRe = 6378.16;
constexpr double kFullTwoPi = 6.283185307179586;

struct V3 {
    double v[3];
    double operator[](int k) const { return v[k]; }
};
struct M3 {
    double m[3][3];
};

M3 Multiply(const M3& a, const M3& b) {
    M3 c{};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            for (int k = 0; k < 3; k++) c.m[i][j] += a.m[i][k] * b.m[k][j];
    return c;
}
V3 Apply(const M3& a, const V3& x) {
    V3 y{};
    for (int i = 0; i < 3; i++)
        for (int k = 0; k < 3; k++) y.v[i] += a.m[i][k] * x[k];
    return y;
}
M3 RotZ(double t) { return M3{{{cos(t), -sin(t), 0}, {sin(t), cos(t), 0}, {0, 0, 1}}}; }
M3 RotX(double t) { return M3{{{1, 0, 0}, {0, cos(t), -sin(t)}, {0, sin(t), cos(t)}}}; }
double Dot3(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Norm(const V3& a) { return sqrt(Dot3(a, a)); }
V3 Minus(const V3& a, const V3& b) { return V3{{a[0] - b[0], a[1] - b[1], a[2] - b[2]}}; }

int FullYear(int y) { return y >= 0 && y < 50 ? 2000 + y : y >= 50 && y <= 99 ? 1900 + y : y; }

// 1 January 1901 is day 366; every later day one more.
int CountedDayNumber(int year, int month, int day) {
    year = FullYear(year);
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int n = 365;
    for (int y = 1901; y < year; y++) n += y % 4 == 0 ? 366 : 365;
    for (int m = 1; m < month; m++) n += lengths[m - 1] + (m == 2 && year % 4 == 0 ? 1 : 0);
    return n + day;
}

// Kepler's equation by bisection (it is increasing in E), the true anomaly from atan2; the
// model turns a negative anomaly up by its short two pi, which moves the point by 7e-9 rad.
double BisectedTrueAnomaly(double M, double e) {
    double lo = M - 1.0, hi = M + 1.0;
    for (int k = 0; k < 200; k++) {
        double mid = 0.5 * (lo + hi);
        if (mid - e * sin(mid) - M < 0.0) lo = mid;
        else hi = mid;
    }
    double E = 0.5 * (lo + hi);
    double nu = atan2(sqrt(1.0 - e * e) * sin(E), cos(E) - e);
    if (nu < 0.0 && nu > -1e-12) return 0.0;   // bisection noise around an anomaly of zero
    return nu < 0.0 ? nu + kShortTwoPi : nu;
}

double AngleGap(double a, double b, double turn) {
    double d = fmod(fabs(a - b), turn);
    return fmin(d, turn - d);
}

// Position and velocity for an orbit given by perifocal coordinates and three rotations.
void Orbit(double a, double e, double nu, double w, double i, double node, V3* r, V3* v) {
    double p = a * (1.0 - e * e);
    double radius = p / (1.0 + e * cos(nu));
    double h = sqrt(398600.0 * p);   // specific angular momentum
    M3 toInertial = Multiply(Multiply(RotZ(node), RotX(i)), RotZ(w));
    *r = Apply(toInertial, V3{{radius * cos(nu), radius * sin(nu), 0.0}});
    *v = Apply(toInertial, V3{{-398600.0 / h * sin(nu), 398600.0 / h * (e + cos(nu)), 0.0}});
}

struct Reference {
    double lon, lat, height, az, el, range, doppler;
    int visible;
    V3 satellite, sun;
};

double GreenwichAngle(double t) {
    double day = floor(t), T = (day - 0.5) / 36525.0;
    double hoursAtMidnight = fmod(6.6460656 + 2400.051262 * T + 2.581e-5 * T * T, 24.0);
    return kShortTwoPi * (hoursAtMidnight / 24.0 + (t - day) * 1.0027379093);
}

V3 SunPosition(double t) {
    double T = (floor(t) - 0.5) / 36525.0;
    double e = 0.01675104 - 4.18e-5 * T - 1.26e-7 * T * T;
    double M = fmod((358.475845 + 35999.04975 * T - 0.00015 * T * T - 3.33333e-6 * T * T * T) * kDeg, kShortTwoPi);
    double w = (281.220833 + 1.719175 * T + 0.0004527 * T * T + 3.3e-6 * T * T * T) * kDeg;
    double moonNode = (259.18 - 1934.142 * T) * kDeg;
    double eps = (23.452294 - 0.0130125 * T - 1.64e-6 * T * T + 5.03e-7 * T * T * T + 0.00256 * cos(moonNode)) * kDeg;
    V3 r, v;
    Orbit(149598845.0, e, BisectedTrueAnomaly(M, e), w, eps, 0.0, &r, &v);
    return r;
}

Reference Propagated(const SatelliteRecord& s) {
    int epochYear = (int)(s.epoch / 1000.0);
    double epochDay = CountedDayNumber(epochYear, 1, 1) - 1 + (s.epoch - 1000.0 * epochYear);
    double t = CountedDayNumber(s.year, s.month, s.day) + s.hours / 24.0;
    double dt = t - epochDay;
    double e = s.eccentricity, i = s.inclination * kDeg;

    double a0 = 331.25 * cbrt((1440.0 / s.meanMotion) * (1440.0 / s.meanMotion));
    double q = kRe / a0;
    double j2 = q * q * q * sqrt(q) / ((1.0 - e * e) * (1.0 - e * e));
    double node = s.node * kDeg - dt * 9.95 * kDeg * j2 * cos(i);
    double perigee = s.perigee * kDeg + dt * 4.97 * kDeg * j2 * (5.0 * cos(i) * cos(i) - 1.0);
    double nowMotion = s.meanMotion + s.decayRate * dt;
    double a = 331.25 * cbrt((1440.0 / nowMotion) * (1440.0 / nowMotion));
    double revolutions = s.meanAnomaly * kDeg / kShortTwoPi + s.revolution + dt * s.meanMotion + 0.5 * s.decayRate * dt * dt;
    double M = (revolutions - floor(revolutions)) * kShortTwoPi;

    Reference out{};
    V3 velocity;
    Orbit(a, e, BisectedTrueAnomaly(M, e), perigee, i, node, &out.satellite, &velocity);
    out.sun = SunPosition(t);

    double gmst = GreenwichAngle(t);
    double lat = atan(1.0000112420102683 * tan(s.observerLatitude * kDeg));
    double lst = gmst + s.observerLongitude * kDeg;
    double h = s.observerAltitude / 1000.0;
    double N = kRe / sqrt(1.0 - 0.006694541854587637 * sin(lat) * sin(lat));
    V3 fixed{{(N + h) * cos(lat), 0.0, (N * (1.0 - 0.006694541854587637) + h) * sin(lat)}};
    V3 site = Apply(RotZ(lst), fixed);
    V3 spin{{0.0, 0.0, 7.292115846604739e-5}};
    V3 siteVelocity{{spin[1] * site[2] - spin[2] * site[1], spin[2] * site[0] - spin[0] * site[2], 0.0}};

    V3 d = Minus(out.satellite, site);
    V3 east{{-sin(lst), cos(lst), 0.0}};
    V3 north{{-sin(lat) * cos(lst), -sin(lat) * sin(lst), cos(lat)}};
    V3 up{{cos(lat) * cos(lst), cos(lat) * sin(lst), sin(lat)}};
    out.range = Norm(d);
    out.el = asin(Dot3(d, up) / out.range) / kDeg;
    out.az = atan2(Dot3(d, east), Dot3(d, north)) / kDeg;
    if (out.az < 0.0) out.az += 360.0;
    out.visible = out.el * kDeg >= s.minimumElevation * kDeg;
    out.doppler = -s.frequency * 1e6 * Dot3(Minus(velocity, siteVelocity), d) / out.range / 299792.458;

    double lon = (atan2(out.satellite[1], out.satellite[0]) - gmst) / kDeg;
    out.lon = lon - 360.0 * floor((lon + 180.0) / 360.0);
    out.lat = atan2(out.satellite[2], hypot(out.satellite[0], out.satellite[1])) / kDeg;
    out.height = Norm(out.satellite) - kRe;
    return out;
}

// [SECTION] Element sets for the tests

SatelliteRecord Elements(double epoch, double i, double node, double e, double w, double M, double n, double decay,
                         int revolution) {
    SatelliteRecord r{};
    r.epoch = epoch, r.inclination = i, r.node = node, r.eccentricity = e, r.perigee = w;
    r.meanAnomaly = M, r.meanMotion = n, r.decayRate = decay, r.revolution = revolution;
    r.frequency = 146.0, r.observerLatitude = 53.5, r.observerLongitude = -113.5, r.observerAltitude = 670.0;
    return r;
}

SatelliteRecord At(SatelliteRecord r, int year, int month, int day, double hours) {
    r.year = year, r.month = month, r.day = day, r.hours = hours;
    return r;
}

SatelliteRecord Station() { return Elements(98001.0, 51.64, 247.4627, 0.0006703, 130.536, 325.0288, 15.49, 0.00002182, 56353); }
SatelliteRecord Geostationary() { return Elements(26300.0, 0.05, 80.0, 0.0002, 100.0, 250.0, 1.00273791, 0.0, 5000); }

void ExpectMatches(const SatelliteRecord& s, const char* what) {
    OrbitResult o = PropagateSatellite(s);
    Reference ref = Propagated(s);
    SCOPED_TRACE(::testing::Message() << what << " on " << s.year << "-" << s.month << "-" << s.day << " " << s.hours);
    EXPECT_LT(AngleGap(o.longitude, ref.lon, 360.0), 1e-6);
    EXPECT_GE(o.longitude, -180.0);
    EXPECT_LE(o.longitude, 180.0);
    EXPECT_NEAR(o.latitude, ref.lat, 1e-6);
    EXPECT_NEAR(o.height, ref.height, 1e-5);
    EXPECT_NEAR(o.elevation, ref.el, 1e-6);
    if (fabs(ref.el) < 89.9) {
        EXPECT_LT(AngleGap(o.azimuth, ref.az, 360.0), 1e-6);
    }
    EXPECT_GE(o.azimuth, 0.0);
    EXPECT_LT(o.azimuth, 360.0);
    EXPECT_NEAR(o.range, ref.range, 1e-5);
    EXPECT_NEAR(o.doppler, ref.doppler, 1e-3);
    EXPECT_EQ(o.visible, ref.visible);
}

}  // namespace

// [SECTION] Day numbers and Kepler's equation

TEST(OrbitDayNumber, CountsEveryDayFrom1901To2099) {
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int expected = 366;
    for (int year = 1901; year <= 2099; year++)
        for (int month = 1; month <= 12; month++) {
            int days = lengths[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
            for (int day = 1; day <= days; day++, expected++) ASSERT_EQ(SatelliteDayNumber(year, month, day), expected) << year << "-" << month << "-" << day;
        }
    struct Row {
        int twoDigit, full;
    } years[] = {{0, 2000}, {1, 2001}, {49, 2049}, {50, 1950}, {98, 1998}, {99, 1999}};
    for (const Row& y : years) {
        EXPECT_EQ(SatelliteDayNumber(y.twoDigit, 1, 0), SatelliteDayNumber(y.full, 1, 0)) << y.twoDigit;
        EXPECT_EQ(SatelliteDayNumber(y.twoDigit, 7, 4), SatelliteDayNumber(y.full, 7, 4)) << y.twoDigit;
    }
    // The epoch 98001.0 is the first of January 1998.
    EXPECT_EQ(SatelliteDayNumber(98, 1, 0) + 1, SatelliteDayNumber(1998, 1, 1));
    EXPECT_EQ(SatelliteDayNumber(1998, 1, 1), CountedDayNumber(1998, 1, 1));
}

TEST(OrbitKepler, AgreesWithBisection) {
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> anomaly(0.0, kShortTwoPi), eccentricity(0.0, 0.95);
    for (int k = 0; k < 5000; k++) {
        double M = anomaly(random), e = eccentricity(random);
        double nu = KeplerTrueAnomaly(M, e);
        ASSERT_GE(nu, 0.0);
        ASSERT_LT(nu, kFullTwoPi);
        EXPECT_LT(AngleGap(nu, BisectedTrueAnomaly(M, e), kFullTwoPi), 2e-8) << "M " << M << " e " << e;
    }
    // A circular orbit: the true anomaly is the mean anomaly.
    for (double M : {0.0, 0.5, 1.5, 3.0, 3.2, 4.7, 6.2})
        EXPECT_LT(AngleGap(KeplerTrueAnomaly(M, 0.0), M, kFullTwoPi), 1e-8) << M;
    // At pi exactly the tangent formula is not used: the model's pi comes back.
    EXPECT_EQ(KeplerTrueAnomaly(M_PI, 0.3), kShortPi);
    EXPECT_EQ(KeplerTrueAnomaly(kShortPi, 0.0), kShortPi);
    EXPECT_EQ(KeplerTrueAnomaly(M_PI, 0.0), kShortPi);
    EXPECT_NE(KeplerTrueAnomaly(M_PI + 1e-3, 0.0), kShortPi);
    // Hostile eccentricities end, whatever they give.
    KeplerTrueAnomaly(1.0, 1.0);
    KeplerTrueAnomaly(1.0, 5.0);
    KeplerTrueAnomaly(1.0, NAN);
}

// [SECTION] The Sun and the sidereal clock against published values

TEST(OrbitSunReference, SiderealTimeAndTheSunOnKnownDates) {
    // Greenwich mean sidereal time at 0h UT: 1 January 2000 6h 39m 52.3s, 1 January 1998 6h 41m 46.9s.
    struct Sidereal {
        int year, month, day;
        double hours;
    } sidereal[] = {{2000, 1, 1, 6.0 + 39.0 / 60.0 + 52.3 / 3600.0}, {1998, 1, 1, 6.0 + 41.0 / 60.0 + 46.9 / 3600.0}};
    for (const Sidereal& s : sidereal) {
        SunReference sun = ComputeSunReference(SatelliteDayNumber(s.year, s.month, s.day));
        EXPECT_NEAR(sun.siderealReference * 24.0, s.hours, 2.0 / 3600.0) << s.year;
        EXPECT_EQ(sun.siderealOrigin, SatelliteDayNumber(s.year, s.month, s.day));
    }
    SunReference noon = ComputeSunReference(SatelliteDayNumber(2000, 1, 1) + 0.75);
    EXPECT_EQ(noon.siderealOrigin, SatelliteDayNumber(2000, 1, 1));

    // Perihelion early in January, aphelion early in July; the solstices and an equinox.
    struct Sun {
        int year, month, day;
        double distance, declination, tolerance;
    } suns[] = {
        {2026, 1, 3, 147.10e6, -22.9, 0.5},  {2026, 7, 6, 152.09e6, 22.6, 0.5},
        {2026, 6, 21, 152.03e6, 23.44, 0.1}, {2026, 12, 21, 147.16e6, -23.44, 0.1},
        {2026, 9, 23, 150.1e6, 0.0, 0.5},
    };
    for (const Sun& s : suns) {
        SunReference sun = ComputeSunReference(SatelliteDayNumber(s.year, s.month, s.day) + 0.5);
        EXPECT_NEAR(sun.distance, s.distance, 0.1e6) << s.month << "/" << s.day;
        double r = sqrt(sun.x * sun.x + sun.y * sun.y + sun.z * sun.z);
        EXPECT_NEAR(r, sun.distance, 1.0);
        EXPECT_NEAR(asin(sun.z / r) * 57.29577957855229, s.declination, s.tolerance) << s.month << "/" << s.day;
        EXPECT_NEAR(sun.sinP, 688621.84 / sun.distance, 1e-15);
        EXPECT_NEAR(sun.sinP * sun.sinP + sun.cosP * sun.cosP, 1.0, 1e-12);
        EXPECT_GE(sun.meanAnomaly, 0.0);
        EXPECT_LT(sun.meanAnomaly, kShortTwoPi);
    }
}

// [SECTION] Propagation against the reference

TEST(OrbitPropagation, MatchesTheReferenceAcrossEpochsAndClockDates) {
    struct Set {
        const char* what;
        SatelliteRecord elements;
    } sets[] = {
        {"station", Station()},
        {"eccentric", Elements(25100.5, 63.4, 120.0, 0.72, 270.0, 10.0, 2.006, 0.0, 1234)},
        {"polar", Elements(26339.25, 98.7, 10.0, 0.0012, 90.0, 200.0, 14.2, -0.00001, 40000)},
        {"geostationary", Geostationary()},
        {"circular 2049", Elements(49365.75, 45.0, 300.0, 0.0, 0.0, 0.0, 12.0, 0.0, 0)},
        {"epoch 1950", Elements(50001.0, 30.0, 45.0, 0.01, 10.0, 20.0, 13.0, 0.0, 7)},
        {"retrograde", Elements(12150.125, 142.0, 200.0, 0.05, 300.0, 359.0, 9.5, 0.00005, 999)},
    };
    struct Clock {
        int year, month, day;
        double hours;
    } clocks[] = {
        {2026, 12, 6, 1.75}, {1998, 1, 1, 0.0}, {2000, 2, 28, 23.9}, {2000, 3, 1, 0.1},
        {2001, 3, 1, 12.0}, {2049, 12, 31, 23.99}, {1999, 12, 31, 0.0}, {2025, 4, 10, 17.3},
    };
    int n = 0;
    for (const Set& set : sets)
        for (const Clock& c : clocks) {
            SatelliteRecord s = At(set.elements, c.year, c.month, c.day, c.hours);
            s.observerLatitude = -60.0 + 17.0 * (n % 8);
            s.observerLongitude = -170.0 + 43.0 * (n % 9);
            s.observerAltitude = 100.0 * (n % 5);
            s.minimumElevation = 5.0 * (n % 3);
            s.frequency = 100.0 + 50.0 * (n % 4);
            ExpectMatches(s, set.what);
            n++;
        }
}

TEST(OrbitPropagation, MatchesTheReferenceForRandomElements) {
    std::mt19937 random(6122026);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    for (int k = 0; k < 400; k++) {
        int epochYear = (int)uniform(0, 100);
        SatelliteRecord s = Elements(epochYear * 1000.0 + uniform(1.0, 365.0), uniform(0.0, 180.0), uniform(0.0, 360.0),
                                     uniform(0.0, 0.8), uniform(0.0, 360.0), uniform(0.0, 360.0), uniform(1.0, 16.0),
                                     uniform(-1e-5, 1e-5), (int)uniform(0, 90000));
        s = At(s, (int)uniform(1960, 2040), 1 + (int)uniform(0, 12), 1 + (int)uniform(0, 28), uniform(0.0, 24.0));
        s.observerLatitude = uniform(-89.0, 89.0);
        s.observerLongitude = uniform(-180.0, 180.0);
        s.observerAltitude = uniform(0.0, 4000.0);
        ExpectMatches(s, "random");
    }
}

// At epoch, with no anomaly and no perigee argument, the satellite sits on its ascending node:
// on the equator at the node's longitude less Greenwich sidereal time (1 January 1998, 0h UT:
// 6h 41m 46.9s, 100.445 degrees).
TEST(OrbitPropagation, EpochOnTheAscendingNode) {
    SatelliteRecord s = At(Elements(98001.0, 51.64, 247.46, 0.0, 0.0, 0.0, 15.25, 0.0, 0), 1998, 1, 1, 0.0);
    OrbitResult o = PropagateSatellite(s);
    EXPECT_NEAR(o.latitude, 0.0, 1e-6);
    EXPECT_NEAR(o.longitude, 247.46 - 100.445 - 0.0, 0.01);
    // A day off in the epoch would put it a quarter of a revolution away.
    SatelliteRecord later = s;
    later.epoch = 98002.0;
    EXPECT_GT(fabs(PropagateSatellite(later).latitude), 1.0);
}

TEST(OrbitPropagation, GeostationaryBarelyMovesInTenMinutes) {
    for (int day = 1; day <= 28; day += 9) {
        SatelliteRecord s = At(Geostationary(), 2026, 11, day, 6.0);
        OrbitResult a = PropagateSatellite(s);
        AdvanceSatelliteClock(&s, 10.0 / 60.0);
        OrbitResult b = PropagateSatellite(s);
        EXPECT_LT(AngleGap(a.longitude, b.longitude, 360.0), 0.01) << day;
        EXPECT_LT(fabs(a.latitude - b.latitude), 0.01) << day;
        EXPECT_LT(fabs(a.latitude), 0.06) << day;
        EXPECT_NEAR(a.height, 35786.0, 40.0) << day;
    }
}

TEST(OrbitPropagation, SpaceStationLikeOrbitIsPlausible) {
    SatelliteRecord s = At(Station(), 1998, 1, 3, 0.0);
    double maxLatitude = 0.0, previousLatitude = 0.0, firstCrossing = -1.0, secondCrossing = -1.0;
    for (int minute = 0; minute < 24 * 60; minute++) {
        OrbitResult o = PropagateSatellite(s);
        EXPECT_GT(o.height, 400.0);
        EXPECT_LT(o.height, 430.0);
        EXPECT_LE(fabs(o.latitude), 51.7);
        maxLatitude = fmax(maxLatitude, fabs(o.latitude));
        if (minute > 0 && previousLatitude < 0.0 && o.latitude >= 0.0) {
            if (firstCrossing < 0.0) firstCrossing = minute;
            else if (secondCrossing < 0.0) secondCrossing = minute;
        }
        previousLatitude = o.latitude;
        AdvanceSatelliteClock(&s, 1.0 / 60.0);
    }
    EXPECT_GT(maxLatitude, 51.0);
    EXPECT_NEAR(secondCrossing - firstCrossing, 1440.0 / 15.49, 1.5);   // one period, in minutes
}

// Seen from the point under the satellite it is overhead at its height; the Doppler shift
// agrees with how fast the range changes.
TEST(OrbitPropagation, ObserverBelowAndDopplerFromTheRangeChange) {
    SatelliteRecord s = At(Station(), 1998, 1, 2, 7.25);
    OrbitResult o = PropagateSatellite(s);
    s.observerLatitude = o.latitude;
    s.observerLongitude = o.longitude;
    s.observerAltitude = 0.0;
    OrbitResult overhead = PropagateSatellite(s);
    EXPECT_GT(overhead.elevation, 80.0);
    EXPECT_NEAR(overhead.range, o.height, 30.0);
    s.minimumElevation = overhead.elevation - 0.01;
    EXPECT_EQ(PropagateSatellite(s).visible, 1);
    s.minimumElevation = overhead.elevation + 0.01;
    EXPECT_EQ(PropagateSatellite(s).visible, 0);

    s = At(Station(), 1998, 1, 2, 7.25);
    int approaching = 0, receding = 0;
    for (int k = 0; k < 120; k++) {
        SatelliteRecord before = s, after = s;
        AdvanceSatelliteClock(&before, -1.0 / 3600.0);
        AdvanceSatelliteClock(&after, 1.0 / 3600.0);
        double rangeRate = (PropagateSatellite(after).range - PropagateSatellite(before).range) / 2.0;
        double expected = -146.0e6 * rangeRate / 299792.458;
        OrbitResult now = PropagateSatellite(s);
        EXPECT_NEAR(now.doppler, expected, 15.0) << k;
        (now.doppler > 0.0 ? approaching : receding)++;
        AdvanceSatelliteClock(&s, 1.0 / 60.0);
    }
    EXPECT_GT(approaching, 0);
    EXPECT_GT(receding, 0);
}

// The shadow agrees with a cylinder behind the Earth wherever the satellite is well away
// from the shadow's edge (the model's cone widens it by at most a few hundred kilometres).
TEST(OrbitPropagation, ShadowAgreesWithACylinderAwayFromItsEdge) {
    int eclipsed = 0, lit = 0;
    for (const SatelliteRecord& elements : {Station(), Geostationary(), Elements(26300.0, 98.0, 30.0, 0.001, 0.0, 0.0, 14.3, 0.0, 0)}) {
        SatelliteRecord s = At(elements, 2026, 3, 1, 0.0);
        for (int k = 0; k < 2000; k++, AdvanceSatelliteClock(&s, 0.37)) {
            Reference ref = Propagated(s);
            double sunDistance = Norm(ref.sun);
            double along = Dot3(ref.satellite, ref.sun) / sunDistance;
            double across = sqrt(fmax(0.0, Dot3(ref.satellite, ref.satellite) - along * along));
            int flag = PropagateSatellite(s).eclipsed;
            if (along < -300.0 && across < kRe - 300.0) {
                EXPECT_EQ(flag, 1) << k;
                eclipsed++;
            } else if (along > 300.0 || across > kRe + 300.0) {
                EXPECT_EQ(flag, 0) << k;
                lit++;
            }   // near the edge the cone and the cylinder differ
        }
    }
    EXPECT_GT(eclipsed, 100);
    EXPECT_GT(lit, 100);
}

// Absurd elements give absurd numbers, not a hang or a crash.
TEST(OrbitPropagation, HostileElementsEnd) {
    SatelliteRecord cases[] = {
        Elements(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0),
        Elements(1e14, 1e300, -1e300, 1.0, NAN, INFINITY, -5.0, 1e10, INT32_MAX),
        Elements(-1e14, 0.0, 0.0, 2.0, 0.0, 0.0, 15.0, -100.0, INT32_MIN),
    };
    for (SatelliteRecord s : cases) {
        s = At(s, INT32_MAX, 13, -5, 1e300);
        PropagateSatellite(s);
        s = At(s, 2026, 0, 0, NAN);
        PropagateSatellite(s);
    }
}

// Satellites propagated one after another that differ in a single field each: nothing of the
// previous one may carry over. The ground point is the same computation without the observer.
TEST(OrbitPropagation, ConsecutiveSatellitesDifferingInOneField) {
    SatelliteRecord base = At(Station(), 2026, 12, 6, 1.75);
    std::vector<SatelliteRecord> sequence{base};
    auto vary = [&](auto change) {
        SatelliteRecord r = sequence.back();
        change(r);
        sequence.push_back(r);
    };
    vary([](SatelliteRecord& r) { r.epoch += 1.0; });
    vary([](SatelliteRecord& r) { r.inclination += 10.0; });
    vary([](SatelliteRecord& r) { r.eccentricity += 0.1; });
    vary([](SatelliteRecord& r) { r.meanMotion -= 1.0; });
    vary([](SatelliteRecord& r) { r.node += 30.0; });
    vary([](SatelliteRecord& r) { r.observerLatitude = -33.9; });
    vary([](SatelliteRecord& r) { r.observerLongitude = 151.2; });
    vary([](SatelliteRecord& r) { r.day += 1; });
    vary([](SatelliteRecord& r) { r.hours = 23.5; });
    vary([](SatelliteRecord& r) { r.year -= 1; });
    for (size_t k = 0; k < sequence.size(); k++) {
        ExpectMatches(sequence[k], "sequence");
        OrbitResult full = PropagateSatellite(sequence[k]), ground = SatelliteGroundPoint(sequence[k]);
        EXPECT_EQ(ground.longitude, full.longitude) << k;
        EXPECT_EQ(ground.latitude, full.latitude) << k;
        EXPECT_EQ(ground.height, full.height) << k;
        EXPECT_EQ(ground.range, 0.0);
    }
    // Back to the first after all the others gives the first result again.
    OrbitResult first = PropagateSatellite(sequence.front());
    ExpectMatches(sequence.front(), "again");
    EXPECT_EQ(PropagateSatellite(sequence.front()).doppler, first.doppler);
}
