// The overlay chooser of the map's panel: one check box for each of the fourteen layer
// switches and one for each group of names, applied when the user presses OK.
#include <cstring>

#include "core/core.h"
#include "map2d/vector_layers.h"

constexpr int kLayerBox = kOverlayLayerBox, kNameBox = kOverlayNameBox;

static const char* const kLayerTitles[kLayerSwitches] = {
    "Grid and coastline", "Degree ticks", "Rivers", "Canals", "Intermittent rivers", "Cities",
    "National borders", "State and province borders", "Major roads", "Roads", "Minor roads",
    "Major railways", "Railways", "Minor railways",
};
static const char* const kNameTitles[7] = {
    "Populated places", "Mountains and peaks", "Provinces and states", "Oceans and undersea features",
    "Countries", "World localities", "Airports",
};

struct ChooserState {
    uint8_t layers[kLayerSwitches];
    uint8_t names[7];
};

static DialogTemplate OverlayTemplate() {
    DialogTemplate t;
    t.caption = "Overlays";
    t.width = 470;
    t.height = 340;
    t.items.push_back({DI_GROUPBOX, 900, 10, 8, 220, 290, "Map layers"});
    for (int i = 0; i < kLayerSwitches; i++)
        t.items.push_back({DI_CHECKBOX, kLayerBox + i, 20, 28 + i * 19, 205, 18, kLayerTitles[i]});
    t.items.push_back({DI_GROUPBOX, 901, 240, 8, 220, 160, "Names"});
    for (int i = 0; i < 7; i++) t.items.push_back({DI_CHECKBOX, kNameBox + i, 250, 28 + i * 19, 205, 18, kNameTitles[i]});
    t.items.push_back({DI_DEFBUTTON, IDOK, 290, 304, 80, 26, "OK"});
    t.items.push_back({DI_BUTTON, IDCANCEL, 380, 304, 80, 26, "Cancel"});
    return t;
}

static int OverlayProc(Dialog* d, int event, int itemId, int notification, void* user) {
    ChooserState* st = (ChooserState*)user;
    if (event == DLG_INIT) {
        for (int i = 0; i < kLayerSwitches; i++) SetItemCheck(d, kLayerBox + i, st->layers[i]);
        for (int i = 0; i < 7; i++) SetItemCheck(d, kNameBox + i, st->names[i]);
        return 1;
    }
    if (event != DLG_COMMAND || notification != NOTIFY_CLICKED) return 0;
    if (itemId == IDOK) {
        for (int i = 0; i < kLayerSwitches; i++) st->layers[i] = (uint8_t)(GetItemCheck(d, kLayerBox + i) != 0);
        for (int i = 0; i < 7; i++) st->names[i] = (uint8_t)(GetItemCheck(d, kNameBox + i) != 0);
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
    if (DialogBox(OverlayTemplate(), OverlayProc, &st) != IDOK) return 0;
    int changed = memcmp(st.layers, layerSwitches, sizeof st.layers) || memcmp(st.names, labelSwitches, sizeof st.names);
    memcpy(layerSwitches, st.layers, sizeof st.layers);
    memcpy(labelSwitches, st.names, sizeof st.names);
    return changed;
}
