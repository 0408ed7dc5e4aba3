// The fourteen layer switches: each turns on a group of rows of the layer table by name. The
// first load of the table in a run derives them from the rows the theme file has on; after
// that they belong to the user and every load re-applies them.
#include <cstring>

#include "map2d/vector_layers.h"

uint8_t layerSwitches[kLayerSwitches];

static struct {
    int derived;
} switches;

struct SwitchName {
    const char* name;
    int sw;
};

// Rows named in full; the grid ("~") and tick ("*") rows are matched by their first letter.
// A name with a suffix after "_" ("PO13_c", "BORDERS_l") is the same group drawn from a
// coarser source in its own scale band, so it answers to its group's switch.
static const SwitchName kNamedRows[] = {
    {"PO13", 0}, {"RIV01", 2}, {"RIV02", 2}, {"RIV05", 2}, {"RIV04", 3}, {"RIV03", 4},
    {"CITIES", 5}, {"BORDERS", 6}, {"PROV", 7}, {"PO05", 7}, {"RD01", 8}, {"RD02", 9},
    {"RD03", 10}, {"RR01", 11}, {"RR02", 12}, {"RR03", 13},
};

// The group a row belongs to: its name up to a "_" (grid and tick names are kept whole).
static const char* GroupName(const char* name, char* group, size_t size) {
    if (name[0] == '~' || name[0] == '*') return name;
    size_t n = strcspn(name, "_");
    if (n >= size) n = size - 1;
    memcpy(group, name, n);
    group[n] = 0;
    return group;
}

int LayerSwitchOfRow(const char* fullName) {
    char group[20];
    const char* name = GroupName(fullName, group, sizeof group);
    if (name[0] == '~') return 0;
    if (name[0] == '*') return 1;
    if (!strcmp(name, "PO13")) return -1;  // drawn under switch 0, but never switches it on
    for (const SwitchName& n : kNamedRows)
        if (!strcmp(name, n.name)) return n.sw;
    return -1;
}

int LayerOnUnderSwitches(const char* fullName, const uint8_t sw[kLayerSwitches]) {
    char group[20];
    const char* name = GroupName(fullName, group, sizeof group);
    if (!strcmp(name, "PO13")) return sw[0] != 0;
    if (!strcmp(name, "LAKES")) return sw[2] || sw[3] || sw[4];
    if (!strcmp(name, "RD08")) return sw[8] || sw[9] || sw[10];
    if (!strcmp(name, "RR08")) return sw[11] || sw[12] || sw[13];
    int i = LayerSwitchOfRow(name);
    return i >= 0 && sw[i] != 0;
}

int LoadLayerTableWithSwitches() {
    int n = LoadVectorLayerTable();
    if (!switches.derived) {
        memset(layerSwitches, 0, sizeof layerSwitches);
        for (int i = 0; i < n; i++) {
            int sw = LayerSwitchOfRow(vectorLayers[i].name);
            if (vectorLayers[i].on && sw >= 0) layerSwitches[sw] = 1;
        }
        switches.derived = n > 0;  // a table that did not load leaves the derivation for later
    }
    for (int i = 0; i < n; i++) vectorLayers[i].on = (uint8_t)LayerOnUnderSwitches(vectorLayers[i].name, layerSwitches);
    return n;
}

void ResetLayerSwitches() {
    switches.derived = 0;
    memset(layerSwitches, 0, sizeof layerSwitches);
}
