// The geomagnetic field model: the 2D map's pointer readout asks it for the magnetic
// declination, and any later screen that shows the field reads it from here.
#pragma once

// [SECTION] Geomagnetic model

// One row of a spherical-harmonic coefficient table: degree n, order m, the main field g and h
// at the model's epoch (nT) and their secular variation (nT per year).
struct GeomagneticRow {
    int n, m;
    double g, h, gDot, hDot;
};

// A built-in world magnetic model: 90 rows for n = 1..12, m = 0..n in that order.
struct GeomagneticModel {
    const char* name;
    double epoch;            // decimal year of the main-field coefficients
    int firstYear, lastYear; // calendar years accepted at all (error 3 outside)
    double validFrom, validTo;  // decimal dates accepted: validFrom <= t < validTo (error 4)
    int maxSecularDegree;    // secular variation is used up to this degree
    double a2, b2;           // squared semi-axes of the model's reference ellipsoid, km^2
    const GeomagneticRow* rows;
    int rowCount;
};

extern const GeomagneticModel wmm90Model;    // "WMM-90", 1990.0 <= t < 2000.0
extern const GeomagneticModel wmm2025Model;  // "WMM-2025", 2025.0 <= t < 2030.0

// The field at one place and date. Angles in degrees (999.0 when undefined), their annual
// changes in minutes of arc per year; intensities in nT and their changes in nT per year.
struct GeomagneticResult {
    double declination, inclination;   // D east positive, I down positive
    double horizontal, north, east, down, total;  // H, X, Y, Z, F
    double declinationChange, inclinationChange;
    double horizontalChange, northChange, eastChange, downChange, totalChange;
};

enum : int { kGeodetic = 1, kGeocentric = 2 };
constexpr double kUndefinedAngle = 999.0;

// Evaluates a model at a calendar date. coordinates: kGeodetic (altitude above the ellipsoid)
// or kGeocentric (altitude is the distance from the Earth's centre); unit 'k' km, 'm' miles,
// 'f' feet. Returns 0 and fills *out, or the first failed check:
// 1 day, 2 month, 3 year, 4 decimal date, 5 altitude, 6 unit, 7 latitude, 8 longitude,
// 9 coefficient table out of order.
int EvaluateGeomagneticField(const GeomagneticModel& model, int year, int month, int day,
                             int coordinates, char altitudeUnit, double altitude,
                             double latitude, double longitude, GeomagneticResult* out);
// The same with WMM-90, the map's original model (1990-2000).
int EvaluateWmm90(int year, int month, int day, int coordinates, char altitudeUnit,
                  double altitude, double latitude, double longitude, GeomagneticResult* out);
// The synthesis alone at a decimal date, with the altitude in km; no checks but the table's.
int SynthesizeGeomagneticField(const GeomagneticModel& model, double decimalDate, int coordinates,
                               double altitudeKm, double latitude, double longitude,
                               GeomagneticResult* out);
// The decimal date of a calendar date as the models count it (1 January is day 1).
double GeomagneticDecimalDate(int year, int month, int day);
// The built-in model whose validity covers the date, WMM-90 first; 0 when none does.
const GeomagneticModel* GeomagneticModelForDate(int year, int month, int day);
// Declination in degrees at a place on a date (geodetic, 1 km up) from the covering model;
// 1 when defined.
int MagneticDeclination(int year, int month, int day, double latitude, double longitude,
                        double* declination);
// The same for today's local date at a position: the map readout's declination source.
int TodaysMagneticDeclination(double latitude, double longitude, double* declination);
