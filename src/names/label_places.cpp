// Populated places: six classes by size, each with its symbol glyph before the name, the
// two largest upper-cased, national and provincial capitals marked by their own glyphs.
#include <algorithm>
#include <vector>

#include "core/core.h"
#include "names/labels.h"
#include "names/names.h"

static int NeedsTextFont(const std::string& label) {
    for (size_t i = 2; i < label.size(); i++) {
        unsigned char ch = (unsigned char)label[i];
        if (ch == 171 || (ch >= 224 && ch <= 234)) return 1;
    }
    return 0;
}

int DrawPopulatedPlaces(Surface* s, const Rect& r, const NamesSettings& ns) {
    long scale = NamesMapScale(r);
    if (ns.classes[10].maxScale < scale) return 1;
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\pplace2.dat", &bytes)) return 0;
    std::vector<PlaceRecord> places;
    DecodePlaceFile(bytes.data(), bytes.size(), &places);
    FontSpec fonts[6];
    for (int c = 0; c < 6; c++) {
        fonts[c].family = "Orvek";
        fonts[c].points = ns.classes[10 + c].size;
    }
    FontSpec textFonts[6];
    for (int c = 0; c < 6; c++) textFonts[c].points = fonts[c].points;  // "Arial"
    static const unsigned char kGlyph[6] = {226, 231, 229, 233, 171, '.'};
    OverlapBoxes* placed = new OverlapBoxes;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_BASELINE);
    int current = -1, height = 0;
    for (const PlaceRecord& p : places) {
        int c = p.cls;
        if (c < 1 || c > 6 || !InCurrentWindow(p.lat, p.lon)) continue;
        const NameClass& nc = ns.classes[9 + c];
        if (nc.maxScale < scale) continue;
        if (current != c) {
            SetFont(s, fonts[c - 1]);
            SetTextColour(s, nc.colour);
            current = c;
            height = TextExtent(s, "X").y;
        }
        unsigned char glyph = kGlyph[c - 1];
        if (c == 1 && (p.flags & kPlaceNationalCapital)) glyph = 230;
        else if (c == 1 && (p.flags & kPlaceProvinceCapital)) glyph = 227;
        std::string label = std::string(1, (char)glyph) + " " + (c <= 2 ? UpperCaseLabel(p.name) : p.name);
        int px, py;
        GeoToPixelIn(CurrentMapWindow(), r, p.lat, ShownLongitude(p.lon), &px, &py);
        if (LabelBoxCovered(placed, Rect{px, py - height, px + 1, py})) continue;
        // The symbol font keeps its map symbols where letters such as à..ê and « stand, so a
        // name holding one of them is set in the text font after the symbol and the blank.
        int split = NeedsTextFont(label) ? 2 : 0;
        Point ext = TextExtent(s, label.c_str());
        int prefix = 0;
        if (split) {
            prefix = TextExtent(s, label.c_str(), 2).x;
            SetFont(s, textFonts[c - 1]);
            Point name = TextExtent(s, label.c_str() + 2);
            ext = Point{prefix + name.x, std::max(ext.y, name.y)};
            SetFont(s, fonts[c - 1]);
        }
        if (!PlaceLabelBox(placed, Rect{px, py - ext.y, px + ext.x, py})) continue;
        int baseline = c <= 5 ? py + ext.y / 2 : py;
        if (c == 6) {
            char capital = (p.flags & kPlaceNationalCapital) ? (char)231 : (p.flags & kPlaceProvinceCapital) ? (char)229 : 0;
            if (capital) TextOut(s, px + 1, py, &capital, 1);
        }
        if (!split) {
            TextOut(s, px, baseline, label.c_str());
            continue;
        }
        TextOut(s, px, baseline, label.c_str(), 2);
        SetFont(s, textFonts[c - 1]);
        TextOut(s, px + prefix, baseline, label.c_str() + 2);
        SetFont(s, fonts[c - 1]);
    }
    SetDrawState(s, saved);
    ClearClip(s);
    delete placed;
    return 1;
}
