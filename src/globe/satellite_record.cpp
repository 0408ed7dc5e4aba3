// The satellite record and the loaded group: the 128-byte record the group tables and the
// visibility search's result file share, the fourteen groups, the loader with its 34-satellite
// limit, and the clocks the globe advances as it turns (one clock a satellite, moved together).
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <new>

#include "globe/satellites.h"

SatelliteRecord* globeSatInfo;
char** globeSatNames;
int globeSatCount;
int globeSatGroup;

const SatelliteGroup satelliteGroups[kSatelliteGroups] = {
    {"sats\\noaa.dat", "sats\\goes.txt"},         {"sats\\leasat.dat", "sats\\leasat.txt"},
    {"sats\\landsat.dat", "sats\\landsat.txt"},   {"sats\\nadezhda.dat", "sats\\nadezhda.txt"},
    {"sats\\glonas.dat", "sats\\glonass.txt"},    {"sats\\ake.dat", "sats\\akebono.txt"},
    {"sats\\landsat.dat", "sats\\landsat.txt"},   {"sats\\spot.dat", "sats\\spot.txt"},
    {"sats\\gps.dat", "sats\\gps.txt"},           {"sats\\ers.dat", "sats\\ers.txt"},
    {"sats\\mir.dat", "sats\\mir.txt"},           {"sats\\oscar.dat", "sats\\sats.txt"},
    {"sats\\radarsat.dat", "sats\\radarsat.txt"}, {"sats\\spy.dat", "sats\\sats.txt"},
};

// [SECTION] The record

void EncodeSatelliteRecord(const SatelliteRecord& r, std::vector<uint8_t>& out) {
    WriteF64LE(out, r.epoch);
    WriteF64LE(out, r.inclination);
    WriteF64LE(out, r.node);
    WriteF64LE(out, r.eccentricity);
    WriteF64LE(out, r.perigee);
    WriteF64LE(out, r.meanAnomaly);
    WriteF64LE(out, r.meanMotion);
    WriteF64LE(out, r.decayRate);
    WriteF64LE(out, r.frequency);
    WriteF64LE(out, r.observerLatitude);
    WriteF64LE(out, r.observerLongitude);
    WriteF64LE(out, r.observerAltitude);
    WriteF64LE(out, r.minimumElevation);
    WriteF64LE(out, r.hours);
    WriteI32LE(out, r.revolution);
    WriteI32LE(out, r.year);
    WriteI32LE(out, r.month);
    WriteI32LE(out, r.day);
}

int DecodeSatelliteRecord(ByteCursor& c, SatelliteRecord* r) {
    if (CursorLeft(c) < (size_t)kSatelliteRecordSize) {
        c.bad = 1;
        return 0;
    }
    r->epoch = ReadF64LE(c);
    r->inclination = ReadF64LE(c);
    r->node = ReadF64LE(c);
    r->eccentricity = ReadF64LE(c);
    r->perigee = ReadF64LE(c);
    r->meanAnomaly = ReadF64LE(c);
    r->meanMotion = ReadF64LE(c);
    r->decayRate = ReadF64LE(c);
    r->frequency = ReadF64LE(c);
    r->observerLatitude = ReadF64LE(c);
    r->observerLongitude = ReadF64LE(c);
    r->observerAltitude = ReadF64LE(c);
    r->minimumElevation = ReadF64LE(c);
    r->hours = ReadF64LE(c);
    r->revolution = ReadI32LE(c);
    r->year = ReadI32LE(c);
    r->month = ReadI32LE(c);
    r->day = ReadI32LE(c);
    return 1;
}

// [SECTION] Group tables

void ReleaseSatelliteGroup() {
    if (globeSatNames) {
        for (int i = 0; i < kSatelliteSlots; i++) delete[] globeSatNames[i];
        delete[] globeSatNames;
        globeSatNames = nullptr;
    }
    delete[] globeSatInfo;
    globeSatInfo = nullptr;
    globeSatCount = 0;
}

void ResetSatelliteState() {
    ReleaseSatelliteGroup();
    globeSatGroup = 0;
}

// Both tables, or neither with the message of what failed.
static int AllocateSatelliteTables() {
    if (globeSatInfo && globeSatNames) return 1;
    globeSatInfo = new (std::nothrow) SatelliteRecord[kSatelliteSlots]();
    if (!globeSatInfo) {
        ShowMessage("Cannot allocate globeSatInfo[]");
        return 0;
    }
    globeSatNames = new (std::nothrow) char*[kSatelliteSlots]();
    if (!globeSatNames) {
        ShowMessage("Cannot allocate globeSatNames[]");
        ReleaseSatelliteGroup();
        return 0;
    }
    for (int i = 0; i < kSatelliteSlots; i++) {
        globeSatNames[i] = new (std::nothrow) char[kSatelliteNameSize]();
        if (!globeSatNames[i]) {
            ShowMessage("Cannot allocate globeSatNames[i]");
            ReleaseSatelliteGroup();
            return 0;
        }
    }
    return 1;
}

// Frequency, observer and visibility threshold every loaded satellite starts with.
static void SetSatelliteDefaults(SatelliteRecord* r, const tm& today) {
    r->hours = 0.0;
    r->year = today.tm_year + 1900;
    r->month = today.tm_mon + 1;
    r->day = today.tm_mday;
    r->frequency = 146.0;
    r->observerLatitude = 53.5;
    r->observerLongitude = -113.5;
    r->observerAltitude = 670.0;
    r->minimumElevation = 0.0;
}

int LoadSatelliteGroup(const char* file) {
    if (!AllocateSatelliteTables()) return 0;
    globeSatCount = 0;
    int count = CountSatellites(file);
    if (count >= kSatelliteSlots) {
        ShowMessage("Too many satellites in ephimeris file");
        return 0;
    }
    time_t now = time(nullptr);
    tm today{};
    localtime_r(&now, &today);
    for (int i = 0; i < count; i++) {
        ReadSatellite(file, i, &globeSatInfo[i]);   // a slot it cannot fill keeps its old elements
        SetSatelliteDefaults(&globeSatInfo[i], today);
        strcpy(globeSatNames[i], "xxx");
        ReadSatelliteName(file, i, globeSatNames[i], kSatelliteNameSize);
    }
    globeSatCount = count;
    return count;
}

int StepSatelliteGroup(int step) {
    globeSatGroup = ((globeSatGroup + step) % kSatelliteGroups + kSatelliteGroups) % kSatelliteGroups;
    return globeSatGroup;
}

// [SECTION] Clocks

// Leap years are left out on purpose: the clock only has to run on smoothly.
static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

static int MonthLength(int month) { return kMonthDays[month >= 1 && month <= 12 ? month - 1 : 0]; }

// Dates from a record file may be anything; the steps are made in 64 bits so none overflows.
static int32_t Clamp32(int64_t v) { return (int32_t)(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v); }

void AdvanceSatelliteClock(SatelliteRecord* r, double hours) {
    int64_t year = r->year, month = r->month, day = r->day;
    r->hours += hours;
    if (r->hours >= 24.0) {
        r->hours -= 24.0;
        if (++day > MonthLength((int)month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                year++;
            }
        }
    } else if (r->hours < 0.0) {
        r->hours += 24.0;
        if (--day < 1) {
            if (--month < 1) {
                month = 12;
                year--;
            }
            day = MonthLength((int)month);
        }
    }
    r->year = Clamp32(year);
    r->month = Clamp32(month);
    r->day = Clamp32(day);
}

void AdvanceSatelliteClocks(double hours) {
    if (!globeSatInfo) return;
    for (int i = 0; i < globeSatCount; i++) AdvanceSatelliteClock(&globeSatInfo[i], hours);
}
