// Value texts of the statistics screen (the readout, the table, the legend's ends) and the
// four variables the table shows, most recent first.
#include <cmath>
#include <cstdio>

#include "map2d/map2d.h"
#include "stats/stats_screen.h"

std::string FormatStatValue(float value, int variable) {
    if (StatValueMissing(value)) return "N.A.";
    double v = value, a = std::fabs(v);
    char text[64];
    if (a >= 1e12) {
        snprintf(text, sizeof text, "%.3f trillion", v * 1e-12);
    } else if (a >= 1e9) {
        snprintf(text, sizeof text, "%.2f billion", v * 1e-9);
    } else if (a >= 1e6) {
        snprintf(text, sizeof text, "%.2f million", v * 1e-6);
    } else {
        const StatVariable* info = StatVariableInfo(variable);
        return formatGrouped(v, info && info->decimals ? 1 : 0);
    }
    return text;
}

std::string HoverReadoutText(const char* name, float value, int variable) {
    return std::string(name) + ": " + FormatStatValue(value, variable);
}

void UpdateTableVariables(int slots[4], int variable) {
    slots[3] = slots[2];
    slots[2] = slots[1];
    slots[1] = slots[0];
    slots[0] = variable;
    // The variable may already have been among the older ones: its old place is filled from
    // the last slot, which empties, so no variable shows twice.
    int found = 0;
    for (int k = 3; k >= 1; k--)
        if (slots[k] == variable) found = k;
    if (!found) return;
    if (found == 1 || found == 2) slots[found] = slots[3];
    slots[3] = 0;
}
