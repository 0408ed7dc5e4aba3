// The search results over the 2D map, drawn after the place names on every repaint while the
// user keeps them shown: all locations of the chosen name, or the ones kept in "locate.tmp".
// A result is a white pixel at its position with its name in red beside it.
#include "core/core.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"
#include "names/place_search.h"

// Every location of the chosen name as the results drawing needs them.
static int LocationsOfChosenName(std::vector<LocateRecord>* out) {
    std::vector<GazetteerLocation> locations;
    int ok = ChosenNameLocations(1 << 30, &locations);
    out->clear();
    for (const GazetteerLocation& l : locations) out->push_back(LocateRecord{l.lon, l.lat, l.name});
    return ok;
}

// The results now on the map: empty while none are shown.
static int SearchResultsOnMap(std::vector<LocateRecord>* out) {
    out->clear();
    if (placeSearch.show == SEARCH_SHOW_FILE) return ReadLocateFile(out);
    if (placeSearch.show == SEARCH_SHOW_NAME) return LocationsOfChosenName(out);
    return 1;
}

void DrawSearchResults(Surface* s, const Rect& r) {
    if (placeSearch.show == SEARCH_SHOW_NONE || !s) return;
    std::vector<LocateRecord> results;
    if (!SearchResultsOnMap(&results)) return;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetTextColour(s, MakeColour(255, 0, 0));
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_TOP);
    FontSpec font;
    font.points = 10;
    SetFont(s, font);
    RestartEscapePolling();
    const MapWindow& w = CurrentMapWindow();
    for (const LocateRecord& l : results) {
        // Only the drawing of a whole name's locations can be long enough to want stopping.
        if (placeSearch.show == SEARCH_SHOW_NAME && EscapePending()) break;
        if (!InCurrentWindow(l.lat, l.lon)) continue;
        int x, y;
        GeoToPixelIn(w, r, l.lat, ShownLongitude(l.lon), &x, &y);
        SetPixel(s, x, y, MakeColour(255, 255, 255));
        TextOut(s, x, y, l.name.c_str());
    }
    ClearClip(s);
    SetDrawState(s, saved);
}
