// The overlay chooser of the map's panel: one check box for each of the fourteen layer
// switches and one for each of the eight groups of names (the user's own among them), applied
// when the user presses OK.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/core.h"
#include "map2d/vector_layers.h"

constexpr int kLayerBox = kOverlayLayerBox, kNameBox = kOverlayNameBox;

static const char* const kLayerTitles[kLayerSwitches] = {
    "Grid and coastline", "Degree ticks", "Rivers", "Canals", "Intermittent rivers", "Cities",
    "National borders", "State and province borders", "Major roads", "Roads", "Minor roads",
    "Major railways", "Railways", "Minor railways",
};
static const char* const kNameTitles[8] = {
    "Populated places", "Mountains and peaks", "Provinces and states", "Oceans and undersea features",
    "Countries", "World localities", "Airports", "Your own place names",
};

// Roads and railways come only from sources the volume's builder was given, so a volume may
// lack them: the layers behind switches 8 to 13 (class 8 draws under all three of its kind).
static const char* const kRoadRailLayers[6][2] = {
    {"RD01", "RD08"}, {"RD02", "RD08"}, {"RD03", "RD08"}, {"RR01", "RR08"}, {"RR02", "RR08"}, {"RR03", "RR08"},
};
constexpr int kFirstRoadRailSwitch = 8;

struct ChooserState {
    uint8_t layers[kLayerSwitches];
    uint8_t names[8];
    uint8_t available[kLayerSwitches];
};

static int LayerInVolume(const char* name) {
    char index[64];
    snprintf(index, sizeof index, "v_index\\%s.idx", name);
    return !FindDataFile(index).empty();
}

static void FindAvailableSwitches(uint8_t available[kLayerSwitches]) {
    for (int i = 0; i < kLayerSwitches; i++) {
        available[i] = 1;
        if (i < kFirstRoadRailSwitch) continue;
        const char* const* layers = kRoadRailLayers[i - kFirstRoadRailSwitch];
        available[i] = (uint8_t)(LayerInVolume(layers[0]) || LayerInVolume(layers[1]));
    }
}

static DialogTemplate OverlayTemplate(const ChooserState& st) {
    DialogTemplate t;
    t.caption = "Overlays";
    t.width = 520;
    t.height = 340;
    t.items.push_back({DI_GROUPBOX, 900, 10, 8, 270, 290, "Map layers"});
    for (int i = 0; i < kLayerSwitches; i++) {
        std::string title = kLayerTitles[i];
        if (!st.available[i]) title += " (not in this volume)";
        t.items.push_back({DI_CHECKBOX, kLayerBox + i, 20, 28 + i * 19, 255, 18, title});
    }
    t.items.push_back({DI_GROUPBOX, 901, 290, 8, 220, 180, "Names"});
    for (int i = 0; i < 8; i++) t.items.push_back({DI_CHECKBOX, kNameBox + i, 300, 28 + i * 19, 205, 18, kNameTitles[i]});
    t.items.push_back({DI_DEFBUTTON, IDOK, 340, 304, 80, 26, "OK"});
    t.items.push_back({DI_BUTTON, IDCANCEL, 430, 304, 80, 26, "Cancel"});
    return t;
}

static int OverlayProc(Dialog* d, int event, int itemId, int notification, void* user) {
    ChooserState* st = (ChooserState*)user;
    if (event == DLG_INIT) {
        for (int i = 0; i < kLayerSwitches; i++) {
            SetItemCheck(d, kLayerBox + i, st->layers[i]);
            EnableItem(d, kLayerBox + i, st->available[i]);
        }
        for (int i = 0; i < 8; i++) SetItemCheck(d, kNameBox + i, st->names[i]);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        for (int i = 0; i < kLayerSwitches; i++)
            if (st->available[i]) st->layers[i] = (uint8_t)(GetItemCheck(d, kLayerBox + i) != 0);
        for (int i = 0; i < 8; i++) st->names[i] = (uint8_t)(GetItemCheck(d, kNameBox + i) != 0);
        EndDialog(d, IDOK);
        return 1;
    }
    if (itemId == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return 1;
    }
    return 0;
}

int OverlayChooser() {
    LoadLayerTableWithSwitches();  // the first use in a run derives the switches
    ChooserState st;
    memcpy(st.layers, layerSwitches, sizeof st.layers);
    memcpy(st.names, labelSwitches, sizeof st.names);
    FindAvailableSwitches(st.available);
    if (DialogBox(OverlayTemplate(st), OverlayProc, &st) != IDOK) return 0;
    int changed = memcmp(st.layers, layerSwitches, sizeof st.layers) || memcmp(st.names, labelSwitches, sizeof st.names);
    memcpy(layerSwitches, st.layers, sizeof st.layers);
    memcpy(labelSwitches, st.names, sizeof st.names);
    return changed;
}
