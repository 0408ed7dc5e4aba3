// The orbit propagator against a reference written another way (days counted one by one,
// Kepler by bisection, rotations as matrices, look angles in an east-north-up frame) and
// against known facts: sidereal time, the Sun, the node at epoch, the shadow, the Doppler shift.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "globe/satellites.h"

namespace {

// [SECTION] The reference. The model's short constants are part of its definition.

constexpr double kDeg = 0.0174532925, kShortPi = 3.14159265, kShortTwoPi = 6.2831853, kRe = 6378.16;

struct V3 {
    double x, y, z;
};
using M3 = std::vector<std::vector<double>>;

M3 Times(const M3& a, const M3& b) {
    M3 c(3, std::vector<double>(3, 0.0));
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            for (int k = 0; k < 3; k++) c[i][j] += a[i][k] * b[k][j];
    return c;
}
V3 Apply(const M3& a, V3 v) {
    return {a[0][0] * v.x + a[0][1] * v.y + a[0][2] * v.z, a[1][0] * v.x + a[1][1] * v.y + a[1][2] * v.z,
            a[2][0] * v.x + a[2][1] * v.y + a[2][2] * v.z};
}
M3 RotZ(double t) { return {{cos(t), -sin(t), 0}, {sin(t), cos(t), 0}, {0, 0, 1}}; }
M3 RotX(double t) { return {{1, 0, 0}, {0, cos(t), -sin(t)}, {0, sin(t), cos(t)}}; }
double Dot3(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Minus(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// 1 January 1901 is day 366; every later day one more.
int CountedDayNumber(int year, int month, int day) {
    year = year >= 0 && year < 50 ? 2000 + year : year >= 50 && year <= 99 ? 1900 + year : year;
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int n = 365 + day;
    for (int y = 1901; y < year; y++) n += y % 4 == 0 ? 366 : 365;
    for (int m = 1; m < month; m++) n += lengths[m - 1] + (m == 2 && year % 4 == 0);
    return n;
}

// Kepler's equation by bisection (it increases with E); a negative anomaly is turned up by
// the model's short two pi, a rounding just below zero is zero.
double BisectedTrueAnomaly(double M, double e) {
    double lo = M - 1.0, hi = M + 1.0;
    for (int k = 0; k < 200; k++) {
        double mid = 0.5 * (lo + hi);
        if (mid - e * sin(mid) < M) lo = mid;
        else hi = mid;
    }
    double E = 0.5 * (lo + hi), nu = atan2(sqrt(1.0 - e * e) * sin(E), cos(E) - e);
    return nu < -1e-12 ? nu + kShortTwoPi : fmax(nu, 0.0);
}

double AngleGap(double a, double b, double turn) {
    double d = fmod(fabs(a - b), turn);
    return fmin(d, turn - d);
}

// Position and velocity from perifocal coordinates turned by three rotations.
void Orbit(double a, double e, double nu, double w, double i, double node, V3* r, V3* v) {
    double p = a * (1.0 - e * e), radius = p / (1.0 + e * cos(nu)), h = sqrt(398600.0 * p);
    M3 turn = Times(Times(RotZ(node), RotX(i)), RotZ(w));
    *r = Apply(turn, {radius * cos(nu), radius * sin(nu), 0.0});
    *v = Apply(turn, {-398600.0 / h * sin(nu), 398600.0 / h * (e + cos(nu)), 0.0});
}

struct Reference {
    double lon, lat, height, az, el, range, doppler;
    V3 satellite, sun;
};

Reference Propagated(const SatelliteRecord& s) {
    int epochYear = (int)(s.epoch / 1000.0);
    double t = CountedDayNumber(s.year, s.month, s.day) + s.hours / 24.0;
    double dt = t - (CountedDayNumber(epochYear, 1, 1) - 1 + (s.epoch - 1000.0 * epochYear));
    double e = s.eccentricity, i = s.inclination * kDeg;
    double q = kRe / (331.25 * cbrt((1440.0 / s.meanMotion) * (1440.0 / s.meanMotion)));
    double j2 = q * q * q * sqrt(q) / ((1.0 - e * e) * (1.0 - e * e));
    double nowMotion = s.meanMotion + s.decayRate * dt;
    double revolutions = s.meanAnomaly * kDeg / kShortTwoPi + s.revolution + dt * s.meanMotion + 0.5 * s.decayRate * dt * dt;
    Reference out{};
    V3 velocity;
    Orbit(331.25 * cbrt((1440.0 / nowMotion) * (1440.0 / nowMotion)), e,
          BisectedTrueAnomaly((revolutions - floor(revolutions)) * kShortTwoPi, e),
          s.perigee * kDeg + dt * 4.97 * kDeg * j2 * (5.0 * cos(i) * cos(i) - 1.0), i,
          s.node * kDeg - dt * 9.95 * kDeg * j2 * cos(i), &out.satellite, &velocity);

    double day = floor(t), T = (day - 0.5) / 36525.0;
    double eSun = 0.01675104 - 4.18e-5 * T - 1.26e-7 * T * T;
    double mSun = fmod((358.475845 + 35999.04975 * T - 0.00015 * T * T - 3.33333e-6 * T * T * T) * kDeg, kShortTwoPi);
    double eps = 23.452294 - 0.0130125 * T - 1.64e-6 * T * T + 5.03e-7 * T * T * T + 0.00256 * cos((259.18 - 1934.142 * T) * kDeg);
    V3 ignored;
    Orbit(149598845.0, eSun, BisectedTrueAnomaly(mSun, eSun), (281.220833 + 1.719175 * T + 0.0004527 * T * T + 3.3e-6 * T * T * T) * kDeg,
          eps * kDeg, 0.0, &out.sun, &ignored);

    double gmst = kShortTwoPi * (fmod(6.6460656 + 2400.051262 * T + 2.581e-5 * T * T, 24.0) / 24.0 + (t - day) * 1.0027379093);
    double lat = atan(1.0000112420102683 * tan(s.observerLatitude * kDeg)), lst = gmst + s.observerLongitude * kDeg;
    double h = s.observerAltitude / 1000.0, N = kRe / sqrt(1.0 - 0.006694541854587637 * sin(lat) * sin(lat));
    V3 site = Apply(RotZ(lst), {(N + h) * cos(lat), 0.0, (N * (1.0 - 0.006694541854587637) + h) * sin(lat)});
    V3 siteVelocity{-7.292115846604739e-5 * site.y, 7.292115846604739e-5 * site.x, 0.0};   // spin x site

    V3 d = Minus(out.satellite, site);
    out.range = sqrt(Dot3(d, d));
    out.el = asin(Dot3(d, {cos(lat) * cos(lst), cos(lat) * sin(lst), sin(lat)}) / out.range) / kDeg;
    out.az = atan2(Dot3(d, {-sin(lst), cos(lst), 0.0}), Dot3(d, {-sin(lat) * cos(lst), -sin(lat) * sin(lst), cos(lat)})) / kDeg;
    out.az += out.az < 0.0 ? 360.0 : 0.0;
    out.doppler = -s.frequency * 1e6 * Dot3(Minus(velocity, siteVelocity), d) / out.range / 299792.458;
    double lon = (atan2(out.satellite.y, out.satellite.x) - gmst) / kDeg;
    out.lon = lon - 360.0 * floor((lon + 180.0) / 360.0);
    out.lat = atan2(out.satellite.z, hypot(out.satellite.x, out.satellite.y)) / kDeg;
    out.height = sqrt(Dot3(out.satellite, out.satellite)) - kRe;
    return out;
}

// [SECTION] Element sets

SatelliteRecord Elements(double epoch, double i, double node, double e, double w, double M, double n, double decay, int rev) {
    return SatelliteRecord{epoch, i, node, e, w, M, n, decay, 146.0, 53.5, -113.5, 670.0, 0.0, 0.0, rev, 2026, 12, 6};
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
    EXPECT_LE(fabs(o.longitude), 180.0);
    EXPECT_NEAR(o.latitude, ref.lat, 1e-6);
    EXPECT_NEAR(o.height, ref.height, 1e-5);
    EXPECT_NEAR(o.elevation, ref.el, 1e-6);
    if (fabs(ref.el) < 89.9) {
        EXPECT_LT(AngleGap(o.azimuth, ref.az, 360.0), 1e-6);
    }
    EXPECT_TRUE(o.azimuth >= 0.0 && o.azimuth < 360.0);
    EXPECT_NEAR(o.range, ref.range, 1e-5);
    EXPECT_NEAR(o.doppler, ref.doppler, 1e-3);
    EXPECT_EQ(o.visible, ref.el >= s.minimumElevation);
    OrbitResult ground = SatelliteGroundPoint(s);
    EXPECT_TRUE(ground.longitude == o.longitude && ground.latitude == o.latitude && ground.height == o.height);
}

}  // namespace

TEST(OrbitDayNumber, CountsEveryDayFrom1901To2099) {
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int expected = 366;
    for (int year = 1901; year <= 2099; year++)
        for (int month = 1; month <= 12; month++)
            for (int day = 1; day <= lengths[month - 1] + (month == 2 && year % 4 == 0); day++)
                ASSERT_EQ(SatelliteDayNumber(year, month, day), expected++) << year << "-" << month << "-" << day;
    for (int y : {0, 1, 49, 50, 98, 99}) EXPECT_EQ(SatelliteDayNumber(y, 7, 4), CountedDayNumber(y, 7, 4)) << y;
    EXPECT_EQ(SatelliteDayNumber(98, 1, 0) + 1, SatelliteDayNumber(1998, 1, 1));   // the epoch 98001.0
}

TEST(OrbitKepler, AgreesWithBisectionCircularAndAtPi) {
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> anomaly(0.0, kShortTwoPi), eccentricity(0.0, 0.95);
    for (int k = 0; k < 5000; k++) {
        double M = anomaly(random), e = eccentricity(random), nu = KeplerTrueAnomaly(M, e);
        ASSERT_TRUE(nu >= 0.0 && nu < 2.0 * M_PI) << nu;
        EXPECT_LT(AngleGap(nu, BisectedTrueAnomaly(M, e), 2.0 * M_PI), 2e-8) << "M " << M << " e " << e;
    }
    for (double M : {0.0, 0.5, 3.0, 3.2, 4.7, 6.2}) EXPECT_LT(AngleGap(KeplerTrueAnomaly(M, 0.0), M, 2.0 * M_PI), 1e-8) << M;
    EXPECT_EQ(KeplerTrueAnomaly(M_PI, 0.3), kShortPi);   // without the tangent formula
    EXPECT_EQ(KeplerTrueAnomaly(M_PI, 0.0), kShortPi);
    EXPECT_NE(KeplerTrueAnomaly(M_PI + 1e-3, 0.0), kShortPi);
    for (double e : {1.0, 5.0, (double)NAN}) KeplerTrueAnomaly(1.0, e);   // these end too
}

// Greenwich sidereal time at 0h UT (1 January 2000: 6h 39m 52.3s) and the Sun at perihelion,
// aphelion, the solstices and the September equinox of 2026.
TEST(OrbitSunReference, SiderealTimeAndTheSunOnKnownDates) {
    SunReference j2000 = ComputeSunReference(SatelliteDayNumber(2000, 1, 1) + 0.75);
    EXPECT_NEAR(j2000.siderealReference * 24.0, 6.0 + 39.0 / 60.0 + 52.3 / 3600.0, 2.0 / 3600.0);
    EXPECT_EQ(j2000.siderealOrigin, SatelliteDayNumber(2000, 1, 1));
    struct Row {
        int month, day;
        double distance, declination, tolerance;
    } rows[] = {{1, 3, 147.10e6, -22.9, 0.5}, {7, 6, 152.09e6, 22.6, 0.5}, {6, 21, 152.03e6, 23.44, 0.1},
                {12, 21, 147.16e6, -23.44, 0.1}, {9, 23, 150.1e6, 0.0, 0.5}};
    for (const Row& row : rows) {
        SunReference sun = ComputeSunReference(SatelliteDayNumber(2026, row.month, row.day) + 0.5);
        double r = sqrt(sun.x * sun.x + sun.y * sun.y + sun.z * sun.z);
        EXPECT_NEAR(sun.distance, row.distance, 0.1e6) << row.month;
        EXPECT_NEAR(r, sun.distance, 1.0);
        EXPECT_NEAR(asin(sun.z / r) / kDeg, row.declination, row.tolerance) << row.month;
        EXPECT_NEAR(sun.sinP * r, 688621.84, 1e-6);
        EXPECT_NEAR(sun.sinP * sun.sinP + sun.cosP * sun.cosP, 1.0, 1e-12);
    }
}

// Orbits of every shape, clocks around leap days and year ends; then one field changed at a
// time, so nothing may carry over from one call to the next.
TEST(OrbitPropagation, MatchesTheReference) {
    const SatelliteRecord sets[] = {
        Station(), Geostationary(), Elements(25100.5, 63.4, 120.0, 0.72, 270.0, 10.0, 2.006, 0.0, 1234),
        Elements(49365.75, 45.0, 300.0, 0.0, 0.0, 0.0, 12.0, 0.0, 0),
        Elements(12150.125, 142.0, 200.0, 0.05, 300.0, 359.0, 9.5, 0.00005, 999)};
    struct Clock {
        int year, month, day;
        double hours;
    } clocks[] = {{1998, 1, 1, 0.0}, {2000, 2, 28, 23.9}, {2000, 3, 1, 0.1}, {2049, 12, 31, 23.99}, {1999, 12, 31, 0.0}};
    int n = 0;
    for (const SatelliteRecord& set : sets)
        for (const Clock& c : clocks) {
            SatelliteRecord s = At(set, c.year, c.month, c.day, c.hours);
            s.observerLatitude = -60.0 + 17.0 * (n % 8), s.observerLongitude = -170.0 + 43.0 * (n % 9);
            s.observerAltitude = 100.0 * (n % 5), s.minimumElevation = 5.0 * (n % 3), s.frequency = 100.0 + 50.0 * (n++ % 4);
            ExpectMatches(s, "table");
        }
    SatelliteRecord s = Station();
    const std::vector<std::function<void(SatelliteRecord&)>> changes = {
        [](SatelliteRecord& r) { r.epoch += 1.0; },       [](SatelliteRecord& r) { r.inclination += 10.0; },
        [](SatelliteRecord& r) { r.eccentricity += 0.1; }, [](SatelliteRecord& r) { r.meanMotion -= 1.0; },
        [](SatelliteRecord& r) { r.observerLatitude = -33.9; }, [](SatelliteRecord& r) { r.day += 1; },
        [](SatelliteRecord& r) { r.year -= 1; }};
    for (const auto& change : changes) {
        ExpectMatches(s, "before a change");
        change(s);
        ExpectMatches(s, "changed");
    }
}

// At epoch with no anomaly and no perigee argument the satellite is on its ascending node:
// on the equator at the node less Greenwich sidereal time (1 January 1998 0h: 100.445 degrees).
TEST(OrbitPropagation, EpochOnTheAscendingNode) {
    SatelliteRecord s = At(Elements(98001.0, 51.64, 247.46, 0.0, 0.0, 0.0, 15.25, 0.0, 0), 1998, 1, 1, 0.0);
    EXPECT_NEAR(PropagateSatellite(s).latitude, 0.0, 1e-6);
    EXPECT_NEAR(PropagateSatellite(s).longitude, 247.46 - 100.445, 0.01);
    s.epoch = 98002.0;   // a day off would put it a quarter of a revolution away
    EXPECT_GT(fabs(PropagateSatellite(s).latitude), 40.0);
}

// Over a day: height 400-430 km, latitude within the inclination, one period between two
// northward equator crossings; the Doppler shift follows the range's change, both ways.
TEST(OrbitPropagation, SpaceStationOrbitIsPlausible) {
    SatelliteRecord s = At(Station(), 1998, 1, 3, 0.0);
    double maxLatitude = 0.0, previous = 0.0;
    std::vector<int> crossings;
    int approaching = 0;
    for (int minute = 0; minute < 24 * 60; minute++, AdvanceSatelliteClock(&s, 1.0 / 60.0)) {
        OrbitResult o = PropagateSatellite(s);
        EXPECT_TRUE(o.height > 400.0 && o.height < 430.0) << o.height;
        maxLatitude = fmax(maxLatitude, fabs(o.latitude));
        if (minute > 0 && previous < 0.0 && o.latitude >= 0.0) crossings.push_back(minute);
        previous = o.latitude;
        SatelliteRecord before = s, after = s;
        AdvanceSatelliteClock(&before, -1.0 / 3600.0);
        AdvanceSatelliteClock(&after, 1.0 / 3600.0);
        double rangeRate = (PropagateSatellite(after).range - PropagateSatellite(before).range) / 2.0;
        EXPECT_NEAR(o.doppler, -146.0e6 * rangeRate / 299792.458, 15.0) << minute;
        approaching += o.doppler > 0.0;
    }
    EXPECT_TRUE(maxLatitude > 51.0 && maxLatitude <= 51.7) << maxLatitude;
    ASSERT_GE(crossings.size(), 2u);
    EXPECT_NEAR(crossings[1] - crossings[0], 1440.0 / 15.49, 1.5);
    EXPECT_TRUE(approaching > 100 && approaching < 1340) << approaching;
}

// The shadow agrees with a cylinder behind the Earth wherever the satellite is well away from
// its edge (the model's cone widens it by at most a few hundred kilometres).
TEST(OrbitPropagation, ShadowAgreesWithACylinderAwayFromItsEdge) {
    int eclipsed = 0, lit = 0;
    for (const SatelliteRecord& elements : {Station(), Geostationary(), Elements(26300.0, 98.0, 30.0, 0.001, 0.0, 0.0, 14.3, 0.0, 0)}) {
        SatelliteRecord s = At(elements, 2026, 3, 1, 0.0);
        for (int k = 0; k < 2000; k++, AdvanceSatelliteClock(&s, 0.37)) {
            Reference ref = Propagated(s);
            double along = Dot3(ref.satellite, ref.sun) / sqrt(Dot3(ref.sun, ref.sun));
            double across = sqrt(fmax(0.0, Dot3(ref.satellite, ref.satellite) - along * along));
            int flag = PropagateSatellite(s).eclipsed;
            if (along < -300.0 && across < kRe - 300.0) {
                eclipsed++;
                EXPECT_EQ(flag, 1) << k;
            } else if (along > 300.0 || across > kRe + 300.0) {
                lit++;
                EXPECT_EQ(flag, 0) << k;
            }
        }
    }
    EXPECT_GT(eclipsed, 100);
    EXPECT_GT(lit, 100);
}
