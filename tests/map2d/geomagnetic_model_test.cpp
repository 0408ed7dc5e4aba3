// The geomagnetic model against an independent evaluation of the same published coefficients,
// against the test values published with WMM-2025, and its checks, poles and the southward case.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <random>
#include <vector>

#include "map2d/geomagnetic_model.h"

namespace {

// [SECTION] An independent reference
// Built another way on purpose: unnormalised Ferrers functions by the textbook recursion in
// order, Schmidt factors from factorials, the field as minus the numerical gradient of the
// potential, and the geodetic conversion through Earth-centred Cartesian coordinates.

constexpr double kPi = 3.14159265358979323846;

double Factorial(int n) {
    double f = 1.0;
    for (int i = 2; i <= n; i++) f *= i;
    return f;
}

// Schmidt semi-normalised P(n, m)(cos colatitude).
double SchmidtP(int n, int m, double x) {
    double s = sqrt(1.0 - x * x);
    double pmm = 1.0;  // P(m, m) without the Condon-Shortley phase: (2m-1)!! s^m
    for (int i = 1; i <= m; i++) pmm *= (2.0 * i - 1.0) * s;
    double value = pmm;
    if (n > m) {
        double pm1 = x * (2.0 * m + 1.0) * pmm;
        double a = pmm, b = pm1;
        for (int k = m + 2; k <= n; k++) {
            double c = ((2.0 * k - 1.0) * x * b - (k + m - 1.0) * a) / (k - m);
            a = b;
            b = c;
        }
        value = b;
    }
    if (m > 0) value *= sqrt(2.0 * Factorial(n - m) / Factorial(n + m));
    return value;
}

double Potential(const GeomagneticModel& model, double t, double r, double colat, double lon) {
    double years = t - model.epoch;
    double sum = 0.0;
    for (int i = 0; i < model.rowCount; i++) {
        const GeomagneticRow& c = model.rows[i];
        double rate = c.n <= model.maxSecularDegree ? 1.0 : 0.0;
        double g = c.g + years * c.gDot * rate, h = c.h + years * c.hDot * rate;
        sum += pow(6371.2 / r, c.n + 1) * (g * cos(c.m * lon) + h * sin(c.m * lon)) *
               SchmidtP(c.n, c.m, cos(colat));
    }
    return 6371.2 * sum;
}

struct Field {
    double x, y, z;
};

Field ReferenceField(const GeomagneticModel& model, double t, double altKm, double latDeg, double lonDeg) {
    double a = sqrt(model.a2), b = sqrt(model.b2);
    double e2 = 1.0 - b * b / (a * a);
    double lat = latDeg * kPi / 180.0, lon = lonDeg * kPi / 180.0;
    double nu = a / sqrt(1.0 - e2 * sin(lat) * sin(lat));
    double p = (nu + altKm) * cos(lat), z = (nu * (1.0 - e2) + altKm) * sin(lat);
    double r = sqrt(p * p + z * z), latc = atan2(z, p), colat = kPi / 2.0 - latc;
    double hr = 1e-4, ha = 1e-7;
    double dVdr = (Potential(model, t, r + hr, colat, lon) - Potential(model, t, r - hr, colat, lon)) / (2 * hr);
    double dVdt = (Potential(model, t, r, colat + ha, lon) - Potential(model, t, r, colat - ha, lon)) / (2 * ha);
    double dVdl = (Potential(model, t, r, colat, lon + ha) - Potential(model, t, r, colat, lon - ha)) / (2 * ha);
    // B = -grad V; north = -B_colat, east = B_lon, down = -B_r.
    double north = dVdt / r, east = -dVdl / (r * sin(colat)), down = dVdr;
    double psi = lat - latc;
    return Field{north * cos(psi) + down * sin(psi), east, down * cos(psi) - north * sin(psi)};
}

double DeclinationOf(const Field& f) { return atan2(f.y, f.x) * 180.0 / kPi; }

// [SECTION] Agreement with the reference

TEST(GeomagneticModel, AgreesWithIndependentSynthesisAtRandomPlacesAndDates) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> lat(-88.0, 88.0), lon(-180.0, 179.99), alt(-1.0, 599.0);
    struct Case { const GeomagneticModel* model; int year0, years; };
    for (Case c : {Case{&wmm90Model, 1990, 10}, Case{&wmm2025Model, 2025, 5}}) {
        for (int i = 0; i < 200; i++) {
            int year = c.year0 + (int)(rng() % c.years), month = 1 + (int)(rng() % 12), day = 1 + (int)(rng() % 28);
            if (year == c.year0 + c.years - 1 && month == 12) day = 1;
            double la = lat(rng), lo = lon(rng), h = alt(rng);
            GeomagneticResult r;
            ASSERT_EQ(EvaluateGeomagneticField(*c.model, year, month, day, kGeodetic, 'k', h, la, lo, &r), 0);
            Field ref = ReferenceField(*c.model, GeomagneticDecimalDate(year, month, day), h, la, lo);
            SCOPED_TRACE(testing::Message() << c.model->name << " " << year << "-" << month << "-" << day
                                            << " lat " << la << " lon " << lo << " alt " << h);
            EXPECT_NEAR(r.north, ref.x, 0.05);
            EXPECT_NEAR(r.east, ref.y, 0.05);
            EXPECT_NEAR(r.down, ref.z, 0.05);
            double h2 = hypot(ref.x, ref.y);
            if (h2 + ref.x < 199.0) {
                EXPECT_DOUBLE_EQ(r.declination, 3.141592654 * 57.29577951);
            } else if (h2 + ref.x > 201.0) {
                EXPECT_NEAR(r.declination, DeclinationOf(ref), 1e-4);
            }
            EXPECT_NEAR(r.inclination, atan2(ref.z, h2) * 180.0 / kPi, 1e-4);
            EXPECT_NEAR(r.total, sqrt(h2 * h2 + ref.z * ref.z), 0.05);
        }
    }
}

TEST(GeomagneticModel, AnnualChangesFollowTheSecularVariation) {
    // A year later the rates must equal the difference of two reference evaluations.
    const double lat = 45.0, lon = -75.0;
    GeomagneticResult r;
    ASSERT_EQ(EvaluateWmm90(1995, 7, 2, kGeodetic, 'k', 0.0, lat, lon, &r), 0);
    double t = GeomagneticDecimalDate(1995, 7, 2);
    Field a = ReferenceField(wmm90Model, t, 0.0, lat, lon), b = ReferenceField(wmm90Model, t + 1.0, 0.0, lat, lon);
    EXPECT_NEAR(r.northChange, b.x - a.x, 0.05);
    EXPECT_NEAR(r.eastChange, b.y - a.y, 0.05);
    EXPECT_NEAR(r.downChange, b.z - a.z, 0.05);
    EXPECT_NEAR(r.declinationChange, (DeclinationOf(b) - DeclinationOf(a)) * 60.0, 0.01);
    EXPECT_NE(r.declinationChange, 0.0);
}

TEST(GeomagneticModel, SecularVariationStopsAtDegreeEightForWmm90) {
    // A table with a rate only at degree 9 must give the same field as one without it.
    std::vector<GeomagneticRow> rows(wmm90Model.rows, wmm90Model.rows + 90);
    for (GeomagneticRow& row : rows)
        if (row.n == 9) row.gDot = 1000.0;
    GeomagneticModel changed = wmm90Model;
    changed.rows = rows.data();
    GeomagneticResult a, b;
    ASSERT_EQ(EvaluateGeomagneticField(changed, 1998, 1, 1, kGeodetic, 'k', 0.0, 10.0, 20.0, &a), 0);
    ASSERT_EQ(EvaluateWmm90(1998, 1, 1, kGeodetic, 'k', 0.0, 10.0, 20.0, &b), 0);
    EXPECT_DOUBLE_EQ(a.north, b.north);
    EXPECT_DOUBLE_EQ(a.down, b.down);
}

// [SECTION] Published test values of WMM-2025
// From the test value table NOAA/NCEI and the British Geological Survey publish with the
// WMM-2025 release (decimal year, height above the ellipsoid in km, geodetic latitude and
// longitude; X, Y, Z in nT, D in degrees).

TEST(GeomagneticModel, MatchesPublishedWmm2025TestValues) {
    struct Row { double date, alt, lat, lon, x, y, z, decl; };
    const Row rows[] = {
        {2025.0, 28, 89, -121, -255.388723, -1482.460628, 56194.288771, -99.77},
        {2025.0, 48, 80, -96, 1875.982280, -1079.269389, 55623.044051, -29.91},
        {2025.0, 65, 43, 93, 24299.852822, 210.517066, 50037.923998, 0.50},
        {2025.0, 51, -33, 109, 21737.778822, -2090.274098, -52710.003920, -5.49},
        {2025.0, 3, -50, -103, 19526.532799, 10362.990980, -31437.562789, 27.96},
        {2025.0, 18, 0, 21, 29274.811882, 659.800118, -14316.722540, 1.29},
        {2025.5, 63, 26, 81, 34802.613433, 308.431881, 30332.056989, 0.51},
        {2025.5, 50, -70, -133, 9021.847823, 14001.865232, -51084.838301, 57.21},
        {2025.5, 22, -37, 140, 21404.761773, 3498.897430, -55397.587760, 9.28},
        {2026.0, 74, -57, 3, 13268.119649, -5498.179626, -23576.062921, -22.51},
        {2027.0, 54, 54, 178, 20615.871559, 225.041793, 45149.631876, 0.63},
        {2027.0, 12, -63, 178, 6233.774935, 9925.455386, -61075.730989, 57.87},
    };
    for (const Row& row : rows) {
        GeomagneticResult r;
        SCOPED_TRACE(testing::Message() << row.date << " " << row.lat << " " << row.lon);
        ASSERT_EQ(SynthesizeGeomagneticField(wmm2025Model, row.date, kGeodetic, row.alt, row.lat, row.lon, &r), 0);
        EXPECT_NEAR(r.north, row.x, 0.01);
        EXPECT_NEAR(r.east, row.y, 0.01);
        EXPECT_NEAR(r.down, row.z, 0.01);
        EXPECT_NEAR(r.declination, row.decl, 0.006);
    }
}

// [SECTION] Checks, dates and special places

TEST(GeomagneticModel, ChecksAreMadeInOrder) {
    GeomagneticResult r;
    struct Case { int year, month, day, coords; char unit; double alt, lat, lon; int code; };
    const Case cases[] = {
        {1995, 6, 0, 1, 'k', 0, 0, 0, 1},
        {1995, 6, 32, 1, 'k', 0, 0, 0, 1},
        {1995, 13, 0, 1, 'k', 0, 0, 0, 2},    // month before day
        {1989, 13, 0, 1, 'k', 0, 0, 0, 3},    // year before month
        {2001, 1, 1, 1, 'k', 0, 0, 0, 3},
        {2000, 1, 1, 1, 'k', 0, 0, 0, 4},     // year 2000 is accepted, its dates are not
        {1999, 12, 31, 1, 'k', 0, 0, 0, 4},   // 365/365 reaches 2000.0
        {1999, 12, 31, 1, 'x', 1e6, 95, 200, 6},
        {1995, 6, 1, 1, 'k', 600, 0, 0, 5},
        {1995, 6, 1, 1, 'k', -1.01, 0, 0, 5},
        {1995, 6, 1, 1, 'f', 600 / 0.0003048 - 1, 0, 0, 0},
        {1995, 6, 1, 1, 'm', 600 / 1.60935, 95, 0, 5},
        {1995, 6, 1, 2, 'k', 6370.1, 0, 0, 5},
        {1995, 6, 1, 2, 'k', 6971.2, 0, 0, 5},
        {1995, 6, 1, 2, 'k', 6371.2, 0, 0, 0},
        {1995, 6, 1, 1, 'k', 0, 90, 180, 7},
        {1995, 6, 1, 1, 'k', 0, -90.001, 0, 7},
        {1995, 6, 1, 1, 'k', 0, -90, 180, 8},
        {1995, 6, 1, 1, 'k', 0, 0, -180.001, 8},
        {1999, 12, 31, 1, 'k', 0, 0, -180, 4},
        {1999, 12, 30, 1, 'k', 0, 0, -180, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << " " << c.unit << " " << c.alt);
        EXPECT_EQ(EvaluateWmm90(c.year, c.month, c.day, c.coords, c.unit, c.alt, c.lat, c.lon, &r), c.code);
    }
}

TEST(GeomagneticModel, TableOutOfOrderIsRefused) {
    std::vector<GeomagneticRow> rows(wmm90Model.rows, wmm90Model.rows + 90);
    std::swap(rows[40], rows[41]);
    GeomagneticModel broken = wmm90Model;
    broken.rows = rows.data();
    GeomagneticResult r;
    testing::internal::CaptureStdout();
    EXPECT_EQ(EvaluateGeomagneticField(broken, 1995, 1, 1, kGeodetic, 'k', 0, 0, 0, &r), 9);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: ((nn != n) || (mm != m))\n");
    testing::internal::CaptureStdout();
    broken.rows = wmm90Model.rows;
    broken.rowCount = 89;  // a table that stops short of (12, 12)
    EXPECT_EQ(EvaluateGeomagneticField(broken, 1995, 1, 1, kGeodetic, 'k', 0, 0, 0, &r), 9);
    testing::internal::GetCapturedStdout();
}

TEST(GeomagneticModel, DecimalDatesCountLeapDaysFromMarch) {
    EXPECT_DOUBLE_EQ(GeomagneticDecimalDate(1995, 1, 1), 1995.0 + 1.0 / 365.0);
    EXPECT_DOUBLE_EQ(GeomagneticDecimalDate(1996, 2, 29), 1996.0 + 60.0 / 365.0);
    EXPECT_DOUBLE_EQ(GeomagneticDecimalDate(1996, 3, 1), 1996.0 + 61.0 / 366.0);
    EXPECT_DOUBLE_EQ(GeomagneticDecimalDate(1900, 3, 1), 1900.0 + 60.0 / 365.0);
    EXPECT_DOUBLE_EQ(GeomagneticDecimalDate(2028, 12, 31), 2028.0 + 366.0 / 366.0);
}

TEST(GeomagneticModel, PolesAreEvaluatedJustOffThePole) {
    GeomagneticResult atPole, near;
    ASSERT_EQ(EvaluateWmm90(1995, 1, 1, kGeodetic, 'k', 0, -90.0, 0.0, &atPole), 0);
    ASSERT_EQ(EvaluateWmm90(1995, 1, 1, kGeodetic, 'k', 0, -89.999, 0.0, &near), 0);
    EXPECT_DOUBLE_EQ(atPole.declination, near.declination);
    EXPECT_DOUBLE_EQ(atPole.down, near.down);
    EXPECT_TRUE(std::isfinite(atPole.east));
    GeomagneticResult north;
    ASSERT_EQ(SynthesizeGeomagneticField(wmm2025Model, 2026.0, kGeodetic, 0, 90.0, 0.0, &north), 0);
    GeomagneticResult north2;
    ASSERT_EQ(SynthesizeGeomagneticField(wmm2025Model, 2026.0, kGeodetic, 0, 89.999, 0.0, &north2), 0);
    EXPECT_DOUBLE_EQ(north.declination, north2.declination);
}

// A reversed axial dipole (g(1,0) > 0) points the horizontal field due south everywhere on
// the equator: X = -H, so H + X stays under 200 nT and D is given as 180 degrees.
TEST(GeomagneticModel, SouthwardFieldGivesHalfTurn) {
    std::vector<GeomagneticRow> rows(wmm90Model.rows, wmm90Model.rows + 90);
    for (GeomagneticRow& row : rows) row.g = row.h = row.gDot = row.hDot = 0.0;
    rows[0].g = 30000.0;
    GeomagneticModel dipole = wmm90Model;
    dipole.rows = rows.data();
    GeomagneticResult r;
    ASSERT_EQ(SynthesizeGeomagneticField(dipole, 1990.0, kGeocentric, 6371.2, 0.0, 40.0, &r), 0);
    EXPECT_NEAR(r.north, -30000.0, 1e-6);
    EXPECT_LT(r.horizontal + r.north, 200.0);
    EXPECT_DOUBLE_EQ(r.declination, 3.141592654 * 57.29577951);
    rows[0].g = -30000.0;
    ASSERT_EQ(SynthesizeGeomagneticField(dipole, 1990.0, kGeocentric, 6371.2, 0.0, 40.0, &r), 0);
    EXPECT_NEAR(r.declination, 0.0, 1e-9);
    // With no field at all both angles are undefined.
    for (GeomagneticRow& row : rows) row.g = row.h = 0.0;
    ASSERT_EQ(SynthesizeGeomagneticField(dipole, 1990.0, kGeocentric, 6371.2, 10.0, 10.0, &r), 0);
    EXPECT_EQ(r.declination, 999.0);
    EXPECT_EQ(r.inclination, 999.0);
    EXPECT_EQ(r.declinationChange, 999.0);
}

TEST(GeomagneticModel, ModelChoiceFollowsTheDate) {
    EXPECT_EQ(GeomagneticModelForDate(1995, 5, 5), &wmm90Model);
    EXPECT_EQ(GeomagneticModelForDate(1999, 12, 31), nullptr);
    EXPECT_EQ(GeomagneticModelForDate(2010, 1, 1), nullptr);
    EXPECT_EQ(GeomagneticModelForDate(2026, 12, 5), &wmm2025Model);
    EXPECT_EQ(GeomagneticModelForDate(2030, 1, 1), nullptr);
    double d = 0;
    EXPECT_EQ(MagneticDeclination(2010, 1, 1, 0, 0, &d), 0);
    ASSERT_EQ(MagneticDeclination(2026, 12, 5, 45.0, -75.0, &d), 1);
    GeomagneticResult r;
    ASSERT_EQ(EvaluateGeomagneticField(wmm2025Model, 2026, 12, 5, kGeodetic, 'k', 1.0, 45.0, -75.0, &r), 0);
    EXPECT_DOUBLE_EQ(d, r.declination);
    EXPECT_EQ(EvaluateGeomagneticField(wmm2025Model, 2024, 12, 5, kGeodetic, 'k', 1.0, 45.0, -75.0, &r), 3);
}

TEST(GeomagneticModel, TodaysCompassUsesTheCoveringModel) {
    time_t now = time(nullptr);
    struct tm local;
    ASSERT_NE(localtime_r(&now, &local), nullptr);
    int year = local.tm_year + 1900, month = local.tm_mon + 1, day = local.tm_mday;
    double today = 0.0, expected = 0.0;
    int shown = TodaysMagneticDeclination(51.5, -0.1, &today);
    if (GeomagneticModelForDate(year, month, day) == nullptr) {
        EXPECT_EQ(shown, 0);
        return;
    }
    ASSERT_EQ(shown, 1);
    ASSERT_EQ(MagneticDeclination(year, month, day, 51.5, -0.1, &expected), 1);
    EXPECT_DOUBLE_EQ(today, expected);
}

}  // namespace
