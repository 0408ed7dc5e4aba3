// The names drawn over the 2D map after the vector layers, in their fixed order: oceans,
// undersea and world-feature dots, countries, provinces, ranges and peaks, airports, populated
// places and the user's names. Labels of one file never overprint each other.
#include <algorithm>
#include <cstring>

#include "core/core.h"
#include "map2d/vector_layers.h"
#include "names/labels.h"
#include "names/names.h"
#include "names/user_names.h"

int ReadVolumeFile(const char* relative, std::vector<uint8_t>* out) {
    out->clear();
    FILE* f = OpenDataFile(relative, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", relative);
        return 0;
    }
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
    fclose(f);
    return 1;
}

double ShownLongitude(double lon) {
    const MapWindow& w = CurrentMapWindow();
    for (double shifted : {lon, lon + 360.0, lon - 360.0})
        if (w.west <= shifted && shifted <= w.east) return shifted;
    return lon;
}

int InCurrentWindow(double lat, double lon) {
    const MapWindow& w = CurrentMapWindow();
    lon = ShownLongitude(lon);
    return w.west <= lon && lon <= w.east && w.south <= lat && lat <= w.north;
}

static long namesScaleOverride;
void SetNamesScaleOverride(long scale) { namesScaleOverride = scale > 0 ? scale : 0; }

long NamesMapScale(const Rect& r) {
    if (namesScaleOverride) return namesScaleOverride;
    return (long)MapScaleOf(CurrentMapWindow(), options.monitorInches ? options.monitorInches : 14, screenWidth,
                            r.right - r.left);
}

static FontSpec LabelFont(const char* family, int points, int weight, int italic) {
    FontSpec f;
    f.family = family;
    f.points = points;
    f.weight = weight;
    f.italic = italic;
    return f;
}

// A scratch surface for darkened labels, as large as the labels on s may be.
static Surface* CreateWorkSurface(Surface* s, int w, int h) {
    double m = FontMagnification(s);
    Surface* work = CreateSurface((int)(w * m + 0.5), (int)(h * m + 0.5));
    if (work) SetFontMagnification(work, m);
    return work;
}

static void Anchor(const Rect& r, double lat, double lon, int* px, int* py) {
    GeoToPixelIn(CurrentMapWindow(), r, lat, ShownLongitude(lon), px, py);
}

// [SECTION] Class labels

// Peaks and airports stand on a darkened patch: half brightness under the label, at most
// 200 x 20 pixels, with the symbol glyph over the label's first character.
static void DrawDarkenedLabel(Surface* s, Surface* work, const std::string& text, int px, int top, int w, int h,
                              int glyph, const FontSpec& font, const FontSpec& symbols, ColourRef colour) {
    int bw = std::min(w, SurfaceWidth(work)), bh = std::min(h, SurfaceHeight(work));
    Blit(work, 0, 0, bw, bh, s, px, top);
    uint32_t* pixels = SurfacePixels(work);
    int stride = SurfaceStride(work);
    for (int y = 0; y < bh; y++)
        for (int x = 0; x < bw; x++) {
            uint32_t& p = pixels[y * stride + x];
            uint32_t r = ((p >> 16) & 0xFD) >> 1, g = ((p >> 8) & 0xFD) >> 1, b = (p & 0xFD) >> 1;
            p = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    SetFont(work, font);
    SetTextColour(work, colour);
    SetBackgroundMode(work, BK_TRANSPARENT);
    SetTextAlign(work, TA_LEFT | TA_TOP);
    std::string shown = text;
    if (glyph) shown[0] = ' ';
    TextOut(work, 0, 0, shown.c_str());
    if (glyph) {
        char g = (char)glyph;
        SetFont(work, symbols);
        TextOut(work, 0, 0, &g, 1);
    }
    Blit(s, px, top, bw, bh, work, 0, 0);
}

// Ocean names are centred on their anchor, so their box is the text as drawn, moved inside the
// map when the anchor lies near an edge ("Pacific Ocean" on the date line would be cut in two).
// Italic letters lean past their advance, so the box keeps a margin of an eighth of the height.
// An ocean is wide: when its spot is taken the name may move up to two lines up or down and
// half its width sideways, the nearest free spot first.
static int PlaceCentredLabel(OverlapBoxes* placed, const Rect& r, int px, int py, int w, int h, Rect* box) {
    static const int8_t kShifts[][2] = {{0, 0},  {0, -1},  {0, 1},  {-1, 0}, {1, 0},  {0, -2},  {0, 2}, {-1, -1},
                                        {1, -1}, {-1, 1},  {1, 1},  {-1, -2}, {1, -2}, {-1, 2}, {1, 2}};
    int lean = h / 8 + 1;
    for (const int8_t* shift : kShifts) {
        int left = px - w / 2 + shift[0] * (w / 2), top = py - h / 2 + shift[1] * h;
        *box = Rect{left - lean, top, left + w + lean, top + h};
        if (!KeepBoxInside(r, box) || !PlaceLabelBox(placed, *box)) continue;
        box->left += lean;
        return 1;
    }
    return 0;
}

int DrawClassLabels(Surface* s, const Rect& r, const NamesSettings& ns, const char* file, int firstClass,
                    int classCount, int style, OverlapBoxes* shared) {
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile(file, &bytes)) return 0;
    std::vector<NameRecord> records;
    DecodeNameFile(bytes.data(), bytes.size(), &records);
    long scale = NamesMapScale(r);
    int symbolFont = IsFontFamilyInstalled("Orvek");
    Surface* work = (style == LABEL_PEAK || style == LABEL_AIRPORT) ? CreateWorkSurface(s, 200, 20) : nullptr;
    OverlapBoxes* placed = shared ? shared : new OverlapBoxes;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetBackgroundMode(s, BK_TRANSPARENT);
    for (int k = 0; k < classCount; k++) {
        const NameClass& c = ns.classes[firstClass + k];
        if (c.maxScale < scale) continue;
        FontSpec font = LabelFont("Arial", c.size, 400, style == LABEL_ITALIC);
        FontSpec symbols = LabelFont("Orvek", c.size, 400, 0);
        SetFont(s, font);
        SetTextColour(s, c.colour);
        int height = TextExtent(s, "X").y;
        for (const NameRecord& rec : records) {
            if (rec.cls != k + 1 || !InCurrentWindow(rec.lat, rec.lon)) continue;
            int px, py;
            Anchor(r, rec.lat, rec.lon, &px, &py);
            if (style != LABEL_ITALIC && LabelBoxCovered(placed, Rect{px, py - height, px + 1, py}))
                continue;
            std::string text = rec.name;
            int glyph = 0;
            if (style == LABEL_AIRPORT) {
                text = std::string("+") + (symbolFont ? "   " : " ") + rec.name;
                glyph = symbolFont ? 224 : 0;
            } else if (style == LABEL_PEAK) {
                text = std::string("+") + (symbolFont ? "  " : " ") + PeakNameInUnits(rec.name, imperialUnits != 0);
                glyph = symbolFont ? (k == 0 ? 234 : 225) : 0;
            }
            Point ext = TextExtent(s, text.c_str());
            int w = ext.x, h = ext.y;
            if (style == LABEL_ITALIC) {
                Rect box;
                if (!PlaceCentredLabel(placed, r, px, py, w, h, &box)) continue;
                SetTextAlign(s, TA_LEFT | TA_TOP);
                TextOut(s, box.left, box.top, text.c_str());
                continue;
            }
            if (!PlaceLabelBox(placed, Rect{px, py - h, px + w, py + 0})) continue;
            if (work) {
                DrawDarkenedLabel(s, work, text, px, py - h / 2, w, h, glyph, font, symbols, c.colour);
            } else {
                SetTextAlign(s, TA_CENTER | TA_TOP);
                TextOut(s, px, py - h / 2, text.c_str());
            }
        }
    }
    SetDrawState(s, saved);
    ClearClip(s);
    if (!shared) delete placed;
    if (work) DeleteSurface(work);
    return 1;
}

// [SECTION] Mountain ranges

int DrawRangeLabels(Surface* s, const Rect& r, const NamesSettings& ns) {
    const NameClass& c = ns.classes[18];
    if (c.maxScale < NamesMapScale(r)) return 1;
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\range.dat", &bytes)) return 0;
    std::vector<NameRecord> records;
    DecodeNameFile(bytes.data(), bytes.size(), &records);
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextColour(s, c.colour);
    SetTextAlign(s, TA_CENTER | TA_BASELINE);
    for (const NameRecord& rec : records) {
        if (!InCurrentWindow(rec.lat, rec.lon)) continue;
        FontSpec font = LabelFont("Arial", std::min(c.size, 15), 700, 0);
        font.escapement = RangeAngle(rec.cls) * 10;
        SetFont(s, font);
        int px, py;
        Anchor(r, rec.lat, rec.lon, &px, &py);
        TextOut(s, px, py, SpacedRangeName(rec.name).c_str());
    }
    SetDrawState(s, saved);
    ClearClip(s);
    return 1;
}

// [SECTION] Country names

static void CountryFonts(FontSpec fonts[4]) {
    static const int kPoints[4] = {12, 10, 8, 7};
    for (int i = 0; i < 4; i++) fonts[i] = LabelFont("Arial", kPoints[i], 700, 0);
}

int PlaceCountryNames(Surface* s, const Rect& r, OverlapBoxes* placed, std::vector<CountryLabel>* out) {
    out->clear();
    std::vector<uint8_t> bytes;
    if (!ReadVolumeFile("names\\cnames.dat", &bytes)) return 0;
    std::vector<CountryNameRecord> records;
    DecodeCountryNameFile(bytes.data(), bytes.size(), &records);
    int band = CountryScaleBand(NamesMapScale(r));
    FontSpec fonts[4];
    CountryFonts(fonts);
    // The font of each name in the window, in file order (a code other than 1..4 keeps the
    // previous font); then the larger names are placed first, so a small neighbour gives way
    // to a large country rather than the other way round.
    std::vector<std::pair<int, const CountryNameRecord*>> shown;
    int font = 0;
    for (const CountryNameRecord& rec : records) {
        int code = rec.sizeCode[band];
        if (!code || !InCurrentWindow(rec.lat, rec.lon)) continue;
        if (code >= 1 && code <= 4) font = code - 1;
        shown.push_back({font, &rec});
    }
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    DrawState saved = GetDrawState(s);
    for (auto [font, record] : shown) {
        const CountryNameRecord& rec = *record;
        SetFont(s, fonts[font]);
        Point ext = TextExtent(s, rec.name.c_str());
        int px, py;
        Anchor(r, rec.lat, rec.lon, &px, &py);
        Rect box{px - ext.x / 2, py - ext.y / 2, px - ext.x / 2 + ext.x, py - ext.y / 2 + ext.y};
        if (!KeepBoxInside(r, &box) || !PlaceLabelBox(placed, box)) continue;
        out->push_back(CountryLabel{rec.name, font, box});
    }
    SetDrawState(s, saved);
    return 1;
}

// Each name in bold cyan on the map darkened to two thirds under its box.
int DrawPlacedCountryNames(Surface* s, const Rect& r, const std::vector<CountryLabel>& labels) {
    FontSpec fonts[4];
    CountryFonts(fonts);
    SetFont(s, fonts[0]);
    std::string xs(31, 'X');
    Point workSize = TextExtent(s, xs.c_str());
    Surface* work = CreateSurface(std::max(workSize.x, 1), std::max(workSize.y, 1));
    if (work) SetFontMagnification(work, FontMagnification(s));
    if (!work) return 0;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, r);
    SetTextColour(work, MakeColour(0, 255, 255));
    SetBackgroundMode(work, BK_TRANSPARENT);
    SetTextAlign(work, TA_LEFT | TA_TOP);
    uint32_t* pixels = SurfacePixels(work);
    int stride = SurfaceStride(work);
    for (const CountryLabel& l : labels) {
        SetFont(work, fonts[l.font]);
        int w = std::min(l.box.right - l.box.left, workSize.x), h = std::min(l.box.bottom - l.box.top, workSize.y);
        Blit(work, 0, 0, w, h, s, l.box.left, l.box.top);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint32_t& p = pixels[y * stride + x];
                uint32_t rr = (p >> 16) & 255, gg = (p >> 8) & 255, bb = p & 255;
                p = 0xFF000000u | ((rr / 3 * 2) << 16) | ((gg / 3 * 2) << 8) | (bb / 3 * 2);
            }
        TextOut(work, 0, 0, l.name.c_str());
        Blit(s, l.box.left, l.box.top, w, h, work, 0, 0);
    }
    SetDrawState(s, saved);
    ClearClip(s);
    DeleteSurface(work);
    return 1;
}

// [SECTION] The drawing order

void DrawPlaceNames(Surface* s, const Rect& r) {
    NamesSettings ns;
    if (!LoadNamesSettings(&ns)) return;
    long scale = NamesMapScale(r);
    const uint8_t* on = labelSwitches;
    // Ocean and country names share one set of boxes: both are large labels of the small
    // scales, and with a set each an ocean's name could sit on a country's. The countries
    // are placed first, as a country's name belongs on its country while an ocean's may move
    // a line or two; they are still drawn after the oceans and the dots.
    OverlapBoxes* large = new OverlapBoxes;
    std::vector<CountryLabel> countries;
    int countriesPlaced = on[4] && PlaceCountryNames(s, r, large, &countries);
    if (on[3]) {
        DrawClassLabels(s, r, ns, "names\\ocean2.dat", 4, 4, LABEL_ITALIC, large);
        if (ns.classes[16].maxScale > scale) DrawOceanDots(s, r, ns.classes[16]);
    }
    if (on[5] && ns.classes[17].maxScale > scale && !drawAborted) DrawWorldFeatureDots(s, r, ns.classes[17]);
    if (countriesPlaced) DrawPlacedCountryNames(s, r, countries);
    delete large;
    if (on[2]) DrawClassLabels(s, r, ns, "names\\province.dat", 3, 1, LABEL_PLAIN, nullptr);
    if (on[1]) {
        DrawRangeLabels(s, r, ns);
        DrawClassLabels(s, r, ns, "names\\mount2.dat", 8, 2, LABEL_PEAK, nullptr);
    }
    if (on[6]) DrawClassLabels(s, r, ns, "names\\airport.dat", 0, 3, LABEL_AIRPORT, nullptr);
    if (on[0]) DrawPopulatedPlaces(s, r, ns);
    // While the user edits them, the editor draws the names itself, over everything.
    if (on[7] && !editingUserNames) DrawSavedUserNames(s, r, scale);
}
