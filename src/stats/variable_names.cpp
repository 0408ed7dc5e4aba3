// The long names of the 34 variables from "table\vars.inf", one line each, for the table's
// column headers and the printed page's title.
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "stats/country_files.h"
#include "stats/stats.h"

std::string ReadVariableName(int variable) {
    std::string title = "Mundora";
    if (variable < 1 || variable > kCountryVariables) return title;
    FILE* f = OpenDataFile(kVariableNamesFile, "rb");
    if (!f) return title;
    char line[kCountryInfoLineBuffer];
    int k = 0;
    while (ReadCountryInfoLine(f, line)) {
        if (++k < variable) continue;
        CutLineEnd(line);
        for (char* p = line; *p; p++)
            if (*p == '\t' || *p == '_') *p = ' ';
        title = line;
        break;
    }
    fclose(f);
    return title;
}
