// "names.dat": which groups of names are on and, per name class, the largest scale at which
// the class is drawn, its font size (dot size for the dot classes) and its colour.
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "names/labels.h"

constexpr int kNamesLine = 115;  // 114 characters and the terminator

// The next line of the text, cut at the line length; 0 at the end.
static int NextLine(const char*& p, const char* end, char* line) {
    if (p >= end) return 0;
    int n = 0;
    while (p < end && *p != '\n') {
        if (n < kNamesLine - 1 && *p != '\r') line[n++] = *p;
        p++;
    }
    if (p < end) p++;
    line[n] = 0;
    return 1;
}

int ParseNamesSettings(const char* text, size_t size, NamesSettings* out) {
    memset(out, 0, sizeof *out);
    const char* p = text;
    const char* end = text + size;
    char line[kNamesLine];
    int lines = 0;
    for (int i = 0; i < 7 && NextLine(p, end, line); i++, lines++) out->switches[i] = (uint8_t)(ThemeFieldAt(line, 0) != 0);
    for (int k = 0; k < kNameClasses && NextLine(p, end, line); k++, lines++) {
        NameClass& c = out->classes[k];
        c.maxScale = ThemeFieldAt(line, 0);
        c.size = abs(ThemeFieldAt(line, 10));
        c.colour = MakeColour(ThemeFieldAt(line, 13), ThemeFieldAt(line, 17), ThemeFieldAt(line, 21));
    }
    return lines == 7 + kNameClasses;
}

int LoadNamesSettings(NamesSettings* out) {
    memset(out, 0, sizeof *out);
    FILE* f = OpenDataFile("names.dat", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "names.dat");
        return 0;
    }
    char text[8192];
    size_t n = fread(text, 1, sizeof text, f);
    fclose(f);
    ParseNamesSettings(text, n, out);
    return 1;
}

NameClass UserNameClass() { return NameClass{200000000, 9, MakeColour(255, 128, 128)}; }
