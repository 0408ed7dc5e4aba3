// The viewer's command line and geo: links (RFC 5870): plain text in, a place or a message
// out. Beyond the original design, which took no arguments.
#include "core/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// A decimal number as geo URIs write it: an optional sign, digits, an optional fraction.
static int ParseDecimal(const std::string& s, double* out) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) i++;
    size_t digits = 0;
    while (i < s.size() && isdigit((unsigned char)s[i])) i++, digits++;
    if (i < s.size() && s[i] == '.') {
        i++;
        while (i < s.size() && isdigit((unsigned char)s[i])) i++, digits++;
    }
    if (!digits || i != s.size()) return 0;
    *out = strtod(s.c_str(), nullptr);
    return 1;
}

static int LowerEquals(const std::string& a, const char* b) {
    if (a.size() != strlen(b)) return 0;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != b[i]) return 0;
    return 1;
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = (char)tolower((unsigned char)c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

static int PercentDecode(const std::string& s, std::string* out) {
    out->clear();
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] != '%') {
            out->push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return 0;
        int hi = HexValue(s[i + 1]), lo = HexValue(s[i + 2]);
        if (hi < 0 || lo < 0) return 0;
        out->push_back((char)(hi * 16 + lo));
        i += 2;
    }
    return 1;
}

static std::vector<std::string> Split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

static int Fail(std::string* error, const std::string& subject, const char* what) {
    *error = subject + ": " + what;
    return 0;
}

// "LAT,LON" or "LAT,LON,ALT" into a place; the messages name `subject`.
static int ParseCoordinates(const std::string& text, const std::string& subject, OpeningPlace* place, std::string* error) {
    std::vector<std::string> c = Split(text, ',');
    if (c.size() < 2 || c.size() > 3) return Fail(error, subject, "expected a latitude and a longitude separated by a comma");
    double lat, lon, alt;
    if (!ParseDecimal(c[0], &lat)) return Fail(error, subject, "the latitude is not a number");
    if (!ParseDecimal(c[1], &lon)) return Fail(error, subject, "the longitude is not a number");
    if (c.size() == 3 && !ParseDecimal(c[2], &alt)) return Fail(error, subject, "the altitude is not a number");
    if (lat < -90.0 || lat > 90.0) return Fail(error, subject, "the latitude must lie between -90 and 90");
    if (lon < -180.0 || lon > 180.0) return Fail(error, subject, "the longitude must lie between -180 and 180");
    place->latitude = lat;
    place->longitude = lon;
    return 1;
}

double ScaleForZoomLevel(int z) { return 559082264.028 / std::ldexp(1.0, z); }

int ParseGeoUri(const std::string& uri, OpeningPlace* place, std::string* error) {
    if (uri.size() < 4 || !LowerEquals(uri.substr(0, 4), "geo:")) return Fail(error, uri, "not a geo: link");
    std::string rest;
    if (!PercentDecode(uri.substr(4), &rest)) return Fail(error, uri, "a percent sign is not followed by two hexadecimal digits");
    std::string query;
    size_t q = rest.find('?');
    if (q != std::string::npos) {
        query = rest.substr(q + 1);
        rest.erase(q);
    }
    std::vector<std::string> params = Split(rest, ';');
    OpeningPlace p;
    if (!ParseCoordinates(params[0], uri, &p, error)) return 0;
    for (size_t i = 1; i < params.size(); i++) {
        size_t eq = params[i].find('=');
        std::string name = params[i].substr(0, eq), value = eq == std::string::npos ? "" : params[i].substr(eq + 1);
        if (LowerEquals(name, "crs") && !LowerEquals(value, "wgs84"))
            return Fail(error, uri, ("the coordinate reference system \"" + value + "\" is not supported (only wgs84)").c_str());
        // The uncertainty (u=) and unknown parameters do not change what is shown.
    }
    if (!query.empty()) {
        for (const std::string& field : Split(query, '&')) {
            if (field.size() < 2 || !LowerEquals(field.substr(0, 2), "z=")) continue;
            std::string z = field.substr(2);
            int ok = !z.empty() && z.size() <= 2;
            for (char ch : z) ok = ok && isdigit((unsigned char)ch);
            if (!ok || atoi(z.c_str()) > 23) return Fail(error, uri, "the zoom level z must be a whole number from 0 to 23");
            p.scale = ScaleForZoomLevel(atoi(z.c_str()));
        }
    }
    *place = p;
    return 1;
}

// "1:250000", "1:5,000,000" or a bare "250000".
static int ParseScale(const std::string& text, double* scale) {
    std::string s = text;
    if (s.size() > 2 && s[0] == '1' && s[1] == ':') s = s.substr(2);
    std::string digits;
    for (char c : s) {
        if (c == ',' || c == '_') continue;
        if (!isdigit((unsigned char)c)) return 0;
        digits.push_back(c);
    }
    if (digits.empty() || digits.size() > 12) return 0;
    double value = atof(digits.c_str());
    if (value < 1.0) return 0;
    *scale = value;
    return 1;
}

int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error) {
    CommandLine c;
    int hasScale = 0;
    double scale = 0.0;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i], value;
        size_t eq = arg.find('=');
        int inlineValue = arg.rfind("--", 0) == 0 && eq != std::string::npos;
        if (inlineValue) {
            value = arg.substr(eq + 1);
            arg.erase(eq);
        }
        if (arg == "--help" || arg == "-h") {
            c.showHelp = 1;
            continue;
        }
        if (arg == "--version") {
            c.showVersion = 1;
            continue;
        }
        if (arg == "--volume" || arg == "--data-root" || arg == "--at" || arg == "--scale" || arg == "--record") {
            if (!inlineValue) {
                if (i + 1 >= argc) {
                    const char* what = arg == "--at" ? "a position such as 48.21,16.37" : arg == "--scale" ? "a scale such as 1:250000" : arg == "--record" ? "a file name" : "a folder";
                    *error = arg + " needs " + what;
                    return 0;
                }
                value = argv[++i];
            }
            if (value.empty()) {
                *error = arg + " needs a value";
                return 0;
            }
            if (arg == "--volume") c.volumeDir = value;
            else if (arg == "--data-root") c.dataRootDir = value;
            else if (arg == "--record") c.recordFile = value;
            else if (arg == "--scale") {
                if (!ParseScale(value, &scale)) {
                    *error = "--scale " + value + ": the scale must be written 1:N with N a whole number of at least 1";
                    return 0;
                }
                hasScale = 1;
            } else {
                if (c.hasPlace) {
                    *error = "only one place can be given (--at or a geo: link)";
                    return 0;
                }
                if (!ParseCoordinates(value, "--at " + value, &c.place, error)) return 0;
                c.hasPlace = 1;
            }
            continue;
        }
        if (arg.size() >= 4 && LowerEquals(arg.substr(0, 4), "geo:")) {
            if (c.hasPlace) {
                *error = "only one place can be given (--at or a geo: link)";
                return 0;
            }
            if (!ParseGeoUri(argv[i], &c.place, error)) return 0;
            c.hasPlace = 1;
            continue;
        }
        if (arg.rfind("-", 0) == 0) *error = "unknown option " + arg + " (see mundora --help)";
        else *error = "unexpected argument \"" + arg + "\" (see mundora --help)";
        return 0;
    }
    if (hasScale) {
        if (!c.hasPlace) {
            *error = "--scale needs a place: --at LAT,LON or a geo: link";
            return 0;
        }
        c.place.scale = scale;
    }
    *out = c;
    return 1;
}

const char* UsageText() {
    return "Usage: mundora [OPTION]... [geo:LAT,LON[;u=M][?z=N]]\n"
           "A desktop Earth atlas: globe, maps, terrain and country statistics.\n"
           "\n"
           "  --volume DIR         read the data volume in DIR\n"
           "  --data-root DIR      keep settings and scratch files in DIR (default: the\n"
           "                       folder the program is started from)\n"
           "  --at LAT,LON         open the 2D map centred on the place (decimal degrees,\n"
           "                       south and west negative)\n"
           "  --scale 1:N          the map's scale with --at or a geo: link (default\n"
           "                       1:5,000,000)\n"
           "  geo:LAT,LON          a geo: link (RFC 5870); ?z=N sets the zoom level\n"
           "  --record FILE        record a demonstration: a screen's demo button starts\n"
           "                       the recording, Pause or leaving the program writes FILE\n"
           "  -h, --help           print this help and exit\n"
           "      --version        print the version and exit\n"
           "\n"
           "A place given while the atlas runs is shown by the running copy.\n";
}

std::string FormatPlaceMessage(const OpeningPlace& place) {
    char text[128];
    snprintf(text, sizeof text, "at %.9g %.9g %.9g", place.latitude, place.longitude, place.scale);
    return text;
}

int ParsePlaceMessage(const std::string& text, OpeningPlace* place) {
    OpeningPlace p;
    char tail;
    if (sscanf(text.c_str(), "at %lf %lf %lf%c", &p.latitude, &p.longitude, &p.scale, &tail) != 3) return 0;
    if (!(p.latitude >= -90.0 && p.latitude <= 90.0 && p.longitude >= -180.0 && p.longitude <= 180.0 && p.scale >= 1.0)) return 0;
    *place = p;
    return 1;
}
