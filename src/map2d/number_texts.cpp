// Number and angle texts of the map: numbers with thousands separators for the scale and
// measurements, and degrees-minutes-seconds for the pointer readout.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "map2d/map2d.h"

std::string formatGrouped(double value, int decimals) {
    static const char* formats[] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f"};
    const char* format = decimals >= 0 && decimals <= 5 ? formats[decimals] : "%.f";
    char printed[400];
    snprintf(printed, sizeof printed, format, value);
    int length = (int)strlen(printed);
    const char* point = strchr(printed, '.');
    int integerEnd = point ? (int)(point - printed) : length;
    // Walk from the last character to the first, building the result back to front.
    std::string reversed;
    for (int i = length - 1; i >= integerEnd; i--) reversed += printed[i];
    int counted = 0;
    for (int i = integerEnd - 1; i >= 0; i--) {
        reversed += printed[i];
        counted++;
        // A sign to the left is not a digit to group: -123 stays "-123".
        if (counted % 3 == 0 && i > 0 && printed[i - 1] >= '0' && printed[i - 1] <= '9') reversed += ',';
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

static std::string DmsText(double v, char letter) {
    double a = fabs(v);
    int degrees = (int)a;
    int minutes = (int)(60.0 * a - 60.0 * degrees);
    double seconds = 3600.0 * a - 3600.0 * degrees - 60.0 * minutes;
    if (seconds >= 60.0) {
        minutes += 1;
        seconds -= 60.0;
    }
    if (minutes >= 60) {
        degrees += 1;
        minutes -= 60;
    }
    char text[64];
    snprintf(text, sizeof text, "%d\xB0%02d'%02.0f\" %c", degrees, minutes, seconds, letter);
    return text;
}

void formatDms(double latitude, double longitude, std::string* latText, std::string* lonText) {
    *latText = DmsText(latitude, latitude > 0 ? 'N' : 'S');
    *lonText = DmsText(longitude, longitude > 0 ? 'E' : 'W');
}
