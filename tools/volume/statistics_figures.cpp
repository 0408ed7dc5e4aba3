// The Factbook's figures read into the 34 statistics variables. The Factbook writes each
// figure as text with its unit and a note: "$3.722 trillion (2014 est.) ++ $3.663 trillion
// (2013 est.)", "8.47 births/1,000 population (2015 est.)", "NA%". Only a figure that opens its
// entry counts; anything else ("see entry for West Bank", "uninhabited") is not available.
#include <cctype>
#include <cstring>

#include "names_build.h"
#include "statistics_build.h"

static std::string Trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

static int StartsWith(const std::string& s, size_t at, const char* prefix) {
    return s.compare(at, strlen(prefix), prefix) == 0;
}

// A plain number at s[*at]: an optional minus, digits with thousands commas, an optional
// fraction (".25" too). *at moves past it; 0 when there are no digits.
static int ReadNumber(const std::string& s, size_t* at, double* value) {
    size_t i = *at;
    int negative = 0;
    if (i < s.size() && s[i] == '-') negative = 1, i++;
    double v = 0;
    int digits = 0;
    while (i < s.size()) {
        if (isdigit((unsigned char)s[i])) {
            v = v * 10 + (s[i] - '0');
            digits++;
            i++;
        } else if (s[i] == ',' && digits && i + 3 < s.size() && isdigit((unsigned char)s[i + 1]) &&
                   isdigit((unsigned char)s[i + 2]) && isdigit((unsigned char)s[i + 3]) &&
                   (i + 4 >= s.size() || !isdigit((unsigned char)s[i + 4]))) {
            i++;  // a thousands separator: exactly three digits follow
        } else {
            break;
        }
    }
    if (i + 1 < s.size() && s[i] == '.' && isdigit((unsigned char)s[i + 1])) {
        i++;
        double scale = 0.1;
        while (i < s.size() && isdigit((unsigned char)s[i])) {
            v += (s[i] - '0') * scale;
            scale *= 0.1;
            digits++;
            i++;
        }
    }
    if (!digits) return 0;
    *at = i;
    *value = negative ? -v : v;
    return 1;
}

// What may follow a figure and its unit: nothing, or a note in brackets or after ";".
static int EndsFigure(const std::string& s, size_t at) {
    while (at < s.size() && s[at] == ' ') at++;
    return at == s.size() || s[at] == '(' || s[at] == ';';
}

// One entry (the text between "++"): the figure with its unit, or 0.
static int ParseEntry(const std::string& entry, FactbookUnit unit, double* value) {
    size_t at = 0;
    for (const char* hedge : {"ca. ", "approximately ", "about "})
        if (StartsWith(entry, at, hedge)) at += strlen(hedge);
    if (unit == kFigureDollars) {
        if (!StartsWith(entry, at, "$")) return 0;
        at++;
    }
    double v;
    if (!ReadNumber(entry, &at, &v)) return 0;
    if (unit == kFigureDollars || unit == kFigureCount || unit == kFigureSquareKm) {
        static const struct {
            const char* word;
            double factor;
        } scales[] = {{" million", 1e6}, {" billion", 1e9}, {" trillion", 1e12}};
        for (const auto& s : scales)
            if (StartsWith(entry, at, s.word) && (at + strlen(s.word) == entry.size() || !isalpha((unsigned char)entry[at + strlen(s.word)]))) {
                v *= s.factor;
                at += strlen(s.word);
                break;
            }
    }
    switch (unit) {
    case kFigurePercent:
        if (!StartsWith(entry, at, "%")) return 0;
        at++;
        break;
    case kFigurePerThousand: {
        // "births/1,000 population", "migrant(s)/1,000 population", "deaths/1,000 live births"
        if (!StartsWith(entry, at, " ")) return 0;
        size_t end = entry.find(" (", at + 1);
        size_t semicolon = entry.find(';', at);
        if (semicolon < end) end = semicolon;
        if (end == std::string::npos) end = entry.size();
        std::string words = entry.substr(at, end - at);
        if (words.find("/1,000 ") == std::string::npos) return 0;
        for (char c : words)
            if (!isalpha((unsigned char)c) && !strchr(" /,01()", c)) return 0;
        at = end;
        break;
    }
    case kFigureYears:
        if (StartsWith(entry, at, " years")) at += 6;
        break;
    case kFigurePerWoman:
        if (!StartsWith(entry, at, " children born/woman")) return 0;
        at += 20;
        break;
    case kFigureSquareKm:
        if (!StartsWith(entry, at, " sq km")) return 0;
        at += 6;
        break;
    case kFigureCount:
    case kFigureDollars:
        break;
    }
    if (!EndsFigure(entry, at)) return 0;
    *value = v;
    return 1;
}

int ParseFactbookFigure(const std::string& text, FactbookUnit unit, double* value, int* older) {
    size_t start = 0;
    int first = 1;
    if (older) *older = 0;
    while (start <= text.size()) {
        size_t plus = text.find("++", start);
        std::string entry = Trimmed(text.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
        start = plus == std::string::npos ? text.size() + 1 : plus + 2;
        size_t at = StartsWith(entry, 0, "$") ? 1 : 0;
        if (StartsWith(entry, at, "NA") && (entry.size() == at + 2 || !isalpha((unsigned char)entry[at + 2]))) {
            first = 0;  // not available this year: an older figure may stand in
            continue;
        }
        if (!ParseEntry(entry, unit, value)) return 0;
        if (older) *older = !first;
        return 1;
    }
    return 0;
}

int ParseLandUseShare(const std::string& text, const char* label, double* value) {
    size_t at = text.find(label);
    if (at == std::string::npos) return 0;
    at += strlen(label);
    while (at < text.size() && text[at] == ' ') at++;
    double v;
    if (!ReadNumber(text, &at, &v) || !StartsWith(text, at, "%")) return 0;
    *value = v;
    return 1;
}

// Where each variable comes from; a null path marks the two worked out from several fields.
static const struct {
    const char* path;
    FactbookUnit unit;
} sources[kCountryVariables] = {
    {nullptr, kFigurePercent},  // 1 arable land, from the land use text
    {nullptr, kFigurePercent},  // 2 permanent crops
    {nullptr, kFigurePercent},  // 3 permanent pasture
    {"Geography/Land use/forest", kFigurePercent},
    {"People and Society/Age structure/0-14 years", kFigurePercent},
    {nullptr, kFigurePercent},  // 6 ages 15 to 64: 15-24, 25-54 and 55-64 together
    {"People and Society/Age structure/65 years and over", kFigurePercent},
    {"People and Society/Literacy/total population", kFigurePercent},
    {"People and Society/Literacy/male", kFigurePercent},
    {"People and Society/Literacy/female", kFigurePercent},
    {"Geography/Area/total", kFigureSquareKm},
    {"Geography/Area/land", kFigureSquareKm},
    {"Geography/Irrigated land", kFigureSquareKm},
    {"People and Society/Population", kFigureCount},
    {"People and Society/Population growth rate", kFigurePercent},
    {"People and Society/Birth rate", kFigurePerThousand},
    {"People and Society/Death rate", kFigurePerThousand},
    {"People and Society/Infant mortality rate/total", kFigurePerThousand},
    {"People and Society/Total fertility rate", kFigurePerWoman},
    {"People and Society/Net migration rate", kFigurePerThousand},
    {"People and Society/Life expectancy at birth/total population", kFigureYears},
    {"People and Society/Life expectancy at birth/male", kFigureYears},
    {"People and Society/Life expectancy at birth/female", kFigureYears},
    {"Economy/Labor force", kFigureCount},
    {"Economy/GDP (purchasing power parity)", kFigureDollars},
    {"Economy/GDP - per capita (PPP)", kFigureDollars},
    {"Economy/GDP - real growth rate", kFigurePercent},
    {"Economy/Exports", kFigureDollars},
    {"Economy/Budget/revenues", kFigureDollars},
    {"Economy/Budget/expenditures", kFigureDollars},
    {"Economy/Imports", kFigureDollars},
    {"Economy/Debt - external", kFigureDollars},
    {"Economy/Inflation rate (consumer prices)", kFigurePercent},
    {"Economy/Unemployment rate", kFigurePercent},
};

void ReadFactbookVariables(const CPLJSONObject& profile, float values[kCountryVariables],
                           int olderUsed[kCountryVariables]) {
    for (int k = 0; k < kCountryVariables; k++) {
        values[k] = kStatNotAvailable;
        olderUsed[k] = 0;
        double v;
        if (sources[k].path && ParseFactbookFigure(FactbookText(profile, sources[k].path), sources[k].unit, &v, &olderUsed[k]))
            values[k] = (float)v;
    }
    std::string landUse = FactbookText(profile, "Geography/Land use/agricultural land");
    const char* kinds[3] = {"arable land", "permanent crops", "permanent pasture"};
    for (int k = 0; k < 3; k++) {
        double v;
        if (ParseLandUseShare(landUse, kinds[k], &v)) values[k] = (float)v;
    }
    double sum = 0;
    int parts = 0;
    for (const char* band : {"15-24 years", "25-54 years", "55-64 years"}) {
        double v = 0;
        std::string path = std::string("People and Society/Age structure/") + band;
        parts += ParseFactbookFigure(FactbookText(profile, path.c_str()), kFigurePercent, &v);
        sum += v;
    }
    if (parts == 3) values[5] = (float)sum;
}
