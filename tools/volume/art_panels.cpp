// Choosers, small panels and pictures: the elevation colour chooser, the globe's data-type
// chooser and its previews, the ocean-level slider, the statistics variable choosers, the
// flyby's pictures, the units switch, the progress panel, the compass and the text backdrop.
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstring>

#include "art.h"
#include "colour_ramps.h"
#include "core/panel_layout.h"

static QRectF R(const PanelRect& r) { return QRectF(r.x, r.y, r.w, r.h); }

// A list entry: plain text on the panel, a teal bar under the pointer, a lit bar when chosen.
static void DrawListRow(QPainter& p, const QRectF& r, const char* text, ArtState s) {
    if (s != kArtNormal) {
        QPainterPath path;
        path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        QColor fill = s == kArtRollover ? QColor(38, 190, 204, 70) : s == kArtMarked ? QColor(250, 185, 33, 60) : QColor(26, 150, 166);
        QColor edge = s == kArtRollover ? art::Accent() : s == kArtMarked ? art::Amber() : QColor(140, 235, 245);
        p.fillPath(path, fill);
        p.setPen(QPen(edge, 1));
        p.drawPath(path);
    }
    double px = 10.5;
    while (px > 7.5 && QFontMetricsF(ArtFont(px, s == kArtHit)).horizontalAdvance(QString::fromLatin1(text)) > r.width() - 10) px -= 0.5;
    QColor ink = s == kArtNormal ? art::Text() : s == kArtMarked ? QColor(255, 226, 150) : QColor(255, 255, 255);
    DrawLabel(p, r.adjusted(6, 0, -4, 0), text, px, s == kArtHit || s == kArtMarked, ink,
              Qt::AlignLeft | Qt::AlignVCenter);
}

static void DrawSwatchFrame(QPainter& p, const QRectF& r, ArtState s) {
    DrawWell(p, r, 2);
    if (s == kArtNormal) return;
    p.save();
    p.setBrush(Qt::NoBrush);
    QColor edge = s == kArtRollover ? art::Accent() : s == kArtMarked ? art::Amber() : QColor(255, 255, 255);
    p.setPen(QPen(edge, 2));
    p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), 3, 3);
    p.restore();
}

// Masks: black outside the panel's rounded shape, white on it, and area k filled with grey
// 20 * (k + 1), without smoothing.
static void DrawMask(QPainter& p, int w, int h, const std::vector<QRectF>& areas) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, 0, w, h), Qt::black);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);
    p.fillPath(shape, Qt::white);
    for (size_t k = 0; k < areas.size(); k++) {
        int g = std::min(255, 20 * (int)(k + 1));
        p.fillRect(areas[k], QColor(g, g, g));
    }
}

// [SECTION] Elevation colour chooser

static void DrawElevationChooser(QPainter& p, ArtState s) {
    DrawPanel(p, QRectF(0, 0, kElevationChooserW, kElevationChooserH), "Elevation Colors");
    for (int i = 0; i < 8; i++) DrawSwatchFrame(p, R(kElevationChooserAreas[i]), s);
    DrawButtonFace(p, R(kElevationChooserAreas[8]), "Fixed Range", s, 10.5);
    DrawButtonFace(p, R(kElevationChooserAreas[9]), "Range of Image", s, 10.5);
    DrawButtonFace(p, R(kElevationChooserAreas[10]), "OK", s, 12);
}

// [SECTION] Globe data-type chooser and previews

static const char* kDataTypes[8] = {"Satellite Imagery", "Shaded Relief", "Elevation", "Land Vegetation",
                                    "Ocean Vegetation", "Sunshine", "Precipitation", "Temperature"};

static void DrawDataChooser(QPainter& p, ArtState s) {
    DrawPanel(p, QRectF(0, 0, kDataChooserW, kDataChooserH), "Data Type");
    DrawButtonFace(p, R(kDataChooserConfirm), "OK", s, 10.5);
    for (int i = 0; i < 8; i++) DrawListRow(p, R(kDataChooserRows[i]), kDataTypes[i], s);
    DrawWell(p, R(kDataChooserPreview).adjusted(-2, -2, 2, 2), 3);
}

struct EarthLayers {
    QImage colour, height;  // equirectangular, any size
};

static double HeightAt(const EarthLayers& e, double u, double v) {
    if (e.height.isNull()) return 0;
    int x = std::clamp((int)(u * e.height.width()), 0, e.height.width() - 1);
    int y = std::clamp((int)(v * e.height.height()), 0, e.height.height() - 1);
    return qGray(e.height.pixel(x, y)) / 255.0;
}

// The preview of data type t over the Atlantic, Europe and Africa (longitude -40..50, latitude
// 65..-5 mapped onto 107 x 85).
static QImage DataPreview(const EarthLayers& e, int t, int w, int h) {
    QImage out(w, h, QImage::Format_RGB32);
    const char* scale = t == 2 ? "ian1.sca" : t == 3 ? "globe1.sca" : t == 4 ? "globe2.sca" : t == 5 ? "globe5.sca"
                      : t == 6 ? "globe4.sca" : "globe3.sca";
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            double lon = -40 + 90.0 * (x + 0.5) / w, lat = 65 - 70.0 * (y + 0.5) / h;
            double u = (lon + 180) / 360, v = (90 - lat) / 180;
            QRgb c = e.colour.isNull() ? qRgb(0, 0, 0)
                                       : e.colour.pixel(std::clamp((int)(u * e.colour.width()), 0, e.colour.width() - 1),
                                                        std::clamp((int)(v * e.colour.height()), 0, e.colour.height() - 1));
            double hgt = HeightAt(e, u, v);
            int land = hgt > 0.02;
            // Light from the north-west over one preview pixel's distance.
            double du = 90.0 / w / 360, dv = 70.0 / h / 180, shade = 1;
            if (!e.height.isNull())
                shade = std::clamp(1 + (HeightAt(e, u - du, v - dv) - HeightAt(e, u + du, v + dv)) * 7, 0.45, 1.45);
            double coslat = std::cos(lat * M_PI / 180);
            double f = 0;
            RampColour rc{0, 0, 0};
            switch (t) {
            case 0: out.setPixel(x, y, c); continue;
            case 1: {
                int g = std::clamp((int)(150 * shade), 0, 255);
                out.setPixel(x, y, land ? qRgb(g, g, g) : qRgb(40, 46, 60));
                continue;
            }
            case 2: f = land ? 0.0492 + hgt * 0.6 : 0.02 + 0.02 * coslat; break;
            case 3: f = std::clamp((qGreen(c) - qRed(c) + 5) / 35.0, 0.0, 1.0); break;  // greener than red: plants
            case 4: f = std::clamp(0.3 + 0.5 * std::pow(1 - coslat, 0.5) + (qGreen(c) - qBlue(c)) / 300.0, 0.0, 1.0); break;
            case 5: f = std::clamp(1 - std::fabs(std::fabs(lat) - 22) / 55.0 - (land ? 0 : 0.15), 0.0, 1.0); break;
            case 6: {  // wet tropics and westerlies, dry subtropics; greener land is wetter
                double wet = 0.75 * std::exp(-(lat / 9) * (lat / 9)) + 0.45 * std::exp(-std::pow((std::fabs(lat) - 50) / 12, 2)) + 0.08;
                if (land) wet = 0.6 * wet + std::clamp((qGreen(c) - qRed(c) + 10) / 90.0, 0.0, 0.5);
                f = std::clamp(wet, 0.0, 1.0);
                break;
            }
            default: f = std::clamp(coslat * 1.05 - (land ? hgt * 0.8 : 0) - 0.1, 0.0, 1.0); break;
            }
            if ((t == 3 && !land) || (t == 4 && land)) {
                out.setPixel(x, y, t == 3 ? qRgb(16, 30, 60) : qRgb(90, 84, 74));
                continue;
            }
            ScaleRampColour(scale, (int)(f * 9999), &rc);
            double k = t == 2 ? std::clamp(shade, 0.6, 1.3) : 1.0;
            out.setPixel(x, y, qRgb(std::min(255, (int)(rc.r * k)), std::min(255, (int)(rc.g * k)), std::min(255, (int)(rc.b * k))));
        }
    }
    return out;
}

// [SECTION] Ocean-level slider

static void DrawOceanSlider(QPainter& p, ArtState s) {
    DrawPanel(p, QRectF(0, 0, kOceanSliderW, kOceanSliderH), "Ocean Level");
    DrawWell(p, R(kOceanSliderTrack).adjusted(-2, -2, 2, 2), 3);
    DrawLabel(p, QRectF(44, 32, 92, 14), "Sea level rise", 9.5, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawWell(p, R(kOceanSliderReadout), 3);
    DrawLabel(p, QRectF(44, 84, 92, 14), "Type a level", 9.5, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawWell(p, R(kOceanSliderEntry), 3);
    if (s != kArtNormal) {
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s == kArtRollover ? art::Accent() : s == kArtMarked ? art::Amber() : QColor(255, 255, 255), 1.5));
        p.drawRoundedRect(R(kOceanSliderEntry).adjusted(-1, -1, 1, 1), 3, 3);
        p.restore();
    }
    DrawLabel(p, QRectF(44, 126, 92, 22), "Enter to apply", 9, false, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawButtonFace(p, R(kOceanSliderConfirm), "OK", s, 12);
}

// [SECTION] Statistics variable choosers

struct VariableChooser {
    const char* file;
    const char* title;
    std::vector<const char*> items;
    int rows;
};

static const std::vector<VariableChooser>& VariableChoosers() {
    static const std::vector<VariableChooser> choosers = {
        {"95", "Geography", {"Arable Land (%)", "Forest (%)", "Irrigated Land", "Land Area", "Total Area"}, kVariableChooserRowsSmall},
        {"93", "Land Use", {"Arable Land (%)", "Permanent Crops (%)", "Meadows, Pastures (%)", "Forest (%)", "Irrigated Land"}, kVariableChooserRowsSmall},
        {"94", "Economy", {"GDP", "GDP per Capita", "GDP Growth", "Exports", "Revenues", "Expenditures", "Imports", "External Debt",
                           "Inflation", "Unemployment"}, kVariableChooserRowsSmall},
        {"92", "People", {"Literacy (%)", "Male Literacy (%)", "Female Literacy (%)", "Age 0 to 14", "Age 15 to 65", "Age over 65",
                          "Life Expectancy", "Male Expectancy", "Female Expectancy", "Unemployment", "Labor Force", "Fertility Rate",
                          "Birth Rate", "Death Rate", "Infant Mortality", "Population", "Population Growth", "Migration Rate"},
         kVariableChooserRowsLarge},
    };
    return choosers;
}

static void DrawVariableChooser(QPainter& p, const VariableChooser& c, ArtState s) {
    DrawPanel(p, QRectF(0, 0, kVariableChooserW, VariableChooserHeight(c.rows)), c.title);
    for (size_t i = 0; i < c.items.size(); i++) {
        PanelRect r = VariableChooserRow((int)i);
        DrawListRow(p, R(r), c.items[i], s);
    }
}

// [SECTION] Small pictures

static void DrawProgressPanel(QPainter& p) {
    DrawPanel(p, QRectF(0, 0, 176, 26));
    DrawLabel(p, QRectF(7, 0, 50, 26), "Working", 10, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawWell(p, QRectF(56, 2, 107, 13), 3);  // the bar runs from (58, 4) to (159, 13)
    DrawLabel(p, QRectF(56, 15, 107, 10), "Esc to stop", 7.5, false, art::TextDim());
}

static void DrawAspectCompass(QPainter& p) {
    p.fillRect(QRectF(0, 0, 94, 94), Qt::black);
    QPointF c(47, 47);
    for (int a = 0; a < 360; a += 2) {
        RampColour rc{};
        ScaleRampColour("aspect.sca", a * 10000 / 360, &rc);
        QPainterPath wedge;
        wedge.moveTo(c);
        // Qt angles run anticlockwise from east; aspect runs clockwise from north.
        wedge.arcTo(QRectF(5, 5, 84, 84), 90 - a - 2.5, 3.0);
        wedge.closeSubpath();
        p.fillPath(wedge, QColor(rc.r, rc.g, rc.b));
    }
    p.setBrush(QColor(0, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 22, 22);
    p.setPen(QPen(QColor(255, 255, 255), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 5, 84, 84));
    const char* marks[4] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; i++) {
        double a = i * M_PI / 2;
        DrawLabel(p, QRectF(c.x() + 34 * std::sin(a) - 8, c.y() - 34 * std::cos(a) - 7, 16, 14), marks[i], 11, true, QColor(255, 255, 255));
    }
    DrawLabel(p, QRectF(25, 38, 44, 18), "Aspect", 9, true, art::Text());
}

static void DrawTextBackdrop(QPainter& p, const QImage& globe) {
    QLinearGradient g(0, 0, 0, 499);
    g.setColorAt(0, QColor(16, 26, 42));
    g.setColorAt(1, QColor(8, 12, 22));
    p.fillRect(QRectF(0, 0, 665, 499), g);
    if (!globe.isNull()) {
        p.setOpacity(0.10);
        p.drawImage(QRectF(400, 230, 300, 300), globe);
        p.setOpacity(1);
    }
    p.setPen(QPen(QColor(60, 84, 114), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 664, 498));
    p.fillRect(QRectF(10, 8, 645, 1), QColor(250, 185, 33, 90));
}

static void DrawStartMap(QPainter& p, const QImage& world, int lit) {
    p.drawImage(QRectF(0, 0, kStartMapW, kStartMapH), world);
    if (!lit) p.fillRect(QRectF(0, 0, kStartMapW, kStartMapH), QColor(0, 0, 0, 70));
    p.setPen(QPen(QColor(255, 255, 255, lit ? 70 : 40), 1));
    for (int lon = -150; lon < 180; lon += 30) p.drawLine(QPointF((lon + 180) / 360.0 * kStartMapW, 0), QPointF((lon + 180) / 360.0 * kStartMapW, kStartMapH));
    for (int lat = -60; lat <= 60; lat += 30) p.drawLine(QPointF(0, (90 - lat) / 180.0 * kStartMapH), QPointF(kStartMapW, (90 - lat) / 180.0 * kStartMapH));
    p.setPen(QPen(lit ? art::Accent() : art::PanelEdge(), 2));
    p.drawRect(QRectF(1, 1, kStartMapW - 2, kStartMapH - 2));
}

static void DrawFlybyOptions(QPainter& p, ArtState s) {
    static const char* rows[5] = {"Place Names", "Airports", "Ground Textures", "Haze", "Instruments"};
    DrawPanel(p, QRectF(0, 0, kFlybyOptionsW, kFlybyOptionsH), "Display Options");
    for (int i = 0; i < 5; i++) {
        QRectF r = R(kFlybyOptionRows[i]);
        DrawListRow(p, r.adjusted(20, 0, 0, 0), rows[i], s);
        DrawWell(p, QRectF(r.left() + 3, r.top() + 5, 12, 12), 2);
    }
    DrawButtonFace(p, R(kFlybyOptionsConfirm), "OK", s, 12);
}

int BuildPanelArt(BuildContext& ctx, const QImage& world) {
    int ok = 1;
    const char* looks[4] = {"", "r", "h", "m"};  // in ArtState order
    for (int s = 0; s < 4; s++) {
        std::string n = std::string("menu\\42") + looks[s] + ".bmp";
        ok = WriteArtBoth(ctx, n.c_str(), kElevationChooserW, kElevationChooserH, [&](QPainter& p) { DrawElevationChooser(p, (ArtState)s); }) && ok;
        n = std::string("menu\\68") + looks[s] + ".bmp";
        ok = WriteArtBoth(ctx, n.c_str(), kDataChooserW, kDataChooserH, [&](QPainter& p) { DrawDataChooser(p, (ArtState)s); }) && ok;
        n = std::string("menu\\124") + looks[s] + ".bmp";
        ok = WriteArtBoth(ctx, n.c_str(), kOceanSliderW, kOceanSliderH, [&](QPainter& p) { DrawOceanSlider(p, (ArtState)s); }) && ok;
        for (const VariableChooser& c : VariableChoosers()) {
            if (s == kArtMarked) break;  // their current item is shown pressed
            n = std::string("menu\\") + c.file + looks[s] + ".bmp";
            ok = WriteArtBoth(ctx, n.c_str(), kVariableChooserW, VariableChooserHeight(c.rows), [&](QPainter& p) { DrawVariableChooser(p, c, (ArtState)s); }) && ok;
        }
    }
    std::vector<QRectF> areas;
    for (int rows : {kVariableChooserRowsSmall, kVariableChooserRowsLarge}) {
        areas.clear();
        for (int i = 0; i < rows; i++) areas.push_back(R(VariableChooserRow(i)));
        const char* name = rows == kVariableChooserRowsSmall ? "menu\\93m.bmp" : "menu\\92m.bmp";
        ok = WriteArtBoth(ctx, name, kVariableChooserW, VariableChooserHeight(rows), [&](QPainter& p) { DrawMask(p, kVariableChooserW, VariableChooserHeight(rows), areas); }) && ok;
    }
    // The data-type previews.
    EarthLayers earth;
    earth.colour = world;
    earth.height = QImage(QString::fromLatin1(MUNDORA_SOURCE_ROOT "/node_modules/three-globe/example/img/earth-topology.png"));
    if (earth.height.isNull()) BuildError("No relief picture for the data-type previews; relief previews are drawn flat");
    for (int t = 0; t < 8; t++) {
        char name[24];
        snprintf(name, sizeof name, "menu\\71%c.bmp", 'a' + t);
        ok = WriteArt(ctx, name, 0, DataPreview(earth, t, 107, 85)) && ok;
        ok = WriteArt(ctx, name, 1, DataPreview(earth, t, 85, 68)) && ok;
    }
    ok = WriteArtBoth(ctx, "menu\\152.bmp", 176, 26, DrawProgressPanel) && ok;
    ok = WriteArtBoth(ctx, "menu\\105a.bmp", 82, 12, [](QPainter& p) { DrawUnitsSwitch(p, 0, 0, 0); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\105b.bmp", 82, 12, [](QPainter& p) { DrawUnitsSwitch(p, 0, 0, 1); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\106.bmp", 94, 94, DrawAspectCompass) && ok;
    QImage globe = RenderGlobe(world, 300, 20, 20);
    ok = WriteArtBoth(ctx, "menu\\textbak.bmp", 665, 499, [&](QPainter& p) { DrawTextBackdrop(p, globe); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\144a.bmp", 442, 17, [](QPainter& p) {
        QLinearGradient g(0, 0, 442, 0);
        g.setColorAt(0, QColor(18, 120, 138));
        g.setColorAt(1, QColor(24, 36, 54));
        p.fillRect(QRectF(0, 0, 442, 17), g);
        DrawLabel(p, QRectF(8, 0, 430, 17), "Preparing the flight area, please wait...", 11, true, QColor(255, 255, 255), Qt::AlignLeft | Qt::AlignVCenter);
    }) && ok;
    ok = WriteArtBoth(ctx, "menu\\144b.bmp", kStartMapW, kStartMapH, [&](QPainter& p) { DrawStartMap(p, world, 0); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\144c.bmp", kStartMapW, kStartMapH, [&](QPainter& p) { DrawStartMap(p, world, 1); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\145.bmp", kFlybyOptionsW, kFlybyOptionsH, [](QPainter& p) { DrawFlybyOptions(p, kArtNormal); }) && ok;
    areas.clear();
    for (const PanelRect& r : kFlybyOptionRows) areas.push_back(R(r));
    areas.push_back(R(kFlybyOptionsConfirm));
    ok = WriteArtBoth(ctx, "menu\\145m.bmp", kFlybyOptionsW, kFlybyOptionsH, [&](QPainter& p) { DrawMask(p, kFlybyOptionsW, kFlybyOptionsH, areas); }) && ok;
    ok = WriteArtBoth(ctx, "menu\\151m.bmp", kFlybyDialMask.w, kFlybyDialMask.h, [](QPainter& p) {
        p.fillRect(QRectF(0, 0, kFlybyDialMask.w, kFlybyDialMask.h), Qt::black);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(42, 41), 41, 41);
    }) && ok;
    ok = WriteArtBoth(ctx, "menu\\151m2.bmp", kFlybyTracksMask.w, kFlybyTracksMask.h, [](QPainter& p) {
        p.fillRect(QRectF(0, 0, kFlybyTracksMask.w, kFlybyTracksMask.h), Qt::black);
        p.fillRect(QRectF(4, 16, 94, 16), Qt::white);   // throttle track at (699, 468)
        p.fillRect(QRectF(4, 61, 94, 36), Qt::white);   // climb pad at (699, 513)
    }) && ok;
    return ok;
}
