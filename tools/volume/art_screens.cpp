// The view screens: the common chrome (tabs, map well, status and prompt lines, bottom row)
// and each view's button column, drawn once per button state so that the backgrounds and
// every rollover and hit image are cut from the same picture and always line up.
#include <QPainterPath>
#include <cmath>
#include <cstring>

#include "art.h"
#include "core/layout_table.h"

static struct {
    const QImage* world = nullptr;
} screens;

// Chooser regions of the statistics screen (left, top, right, bottom) and their names.
static const int kRegionRects[9][4] = {
    {107, 319, 177, 389}, {189, 252, 331, 359}, {297, 217, 446, 329}, {384, 194, 487, 272}, {470, 261, 596, 358},
    {331, 174, 423, 246}, {465, 202, 586, 294}, {464, 155, 596, 255}, {106, 154, 281, 284},
};
static const char* kRegionNames[9] = {"World", "South America", "Africa", "W. Asia", "Oceania",
                                      "Europe", "S. Asia", "Northern Asia", "North America"};

static double FitFont(const char* label, double width, double px) {
    while (px > 7) {
        QFontMetricsF m(ArtFont(px, true));
        if (m.horizontalAdvance(QString::fromLatin1(label)) <= width) break;
        px -= 0.5;
    }
    return px;
}

static void DrawShiftIcon(QPainter& p, const QRectF& r, const QColor& c) {
    QPointF m = r.center();
    double s = std::min(r.width(), r.height()) * 0.34;
    p.save();
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m.x() - s, m.y()), QPointF(m.x() + s, m.y()));
    p.drawLine(QPointF(m.x(), m.y() - s), QPointF(m.x(), m.y() + s));
    double a = s * 0.4;
    DrawGlyph(p, QRectF(m.x() - a, m.y() - s - a * 0.6, 2 * a, a * 1.2), "up", c);
    DrawGlyph(p, QRectF(m.x() - a, m.y() + s - a * 0.6, 2 * a, a * 1.2), "down", c);
    DrawGlyph(p, QRectF(m.x() - s - a * 0.6, m.y() - a, a * 1.2, 2 * a), "<", c);
    DrawGlyph(p, QRectF(m.x() + s - a * 0.6, m.y() - a, a * 1.2, 2 * a), ">", c);
    p.restore();
}

static void DrawRotateIcon(QPainter& p, const QRectF& r, const QColor& c) {
    QPointF m = r.center();
    double s = std::min(r.width(), r.height()) * 0.3;
    p.save();
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QRectF ring(m.x() - s, m.y() - s, 2 * s, 2 * s);
    p.drawArc(ring, 30 * 16, 120 * 16);
    p.drawArc(ring, 210 * 16, 120 * 16);
    double a = s * 0.45;
    DrawGlyph(p, QRectF(m.x() + s * 0.86 - a / 2, m.y() - s * 0.5 - a / 2, a, a), "down", c);
    DrawGlyph(p, QRectF(m.x() - s * 0.86 - a / 2, m.y() + s * 0.5 - a / 2, a, a), "up", c);
    p.restore();
}

// One panel button in its state, with the pictures some of them carry instead of words.
static void DrawLayoutButton(QPainter& p, const ButtonLayout& b, ArtState state, int helpOn) {
    QRectF r(b.x, b.y, b.w, b.h);
    QColor ink = state == kArtNormal ? art::Text() : QColor(255, 255, 255);
    if (b.id == 8) {
        const char* label = helpOn ? "Prompts On" : "Prompts Off";
        DrawButtonFace(p, r, label, state, FitFont(label, b.w - 8, 11));
        return;
    }
    if (b.id == 95) {
        DrawButtonFace(p, r, "", state);
        DrawGlyph(p, r.adjusted(4, 3, -4, -4), "minimise", ink);
        return;
    }
    if (b.id >= 39 && b.id <= 42) {
        p.save();
        QPainterPath disc;
        disc.addEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setClipPath(disc);
        DrawButtonFace(p, r.adjusted(-2, -2, 2, 2), "", state);
        p.restore();
        DrawRotateIcon(p, r, ink);
        return;
    }
    if (b.id == 38) {
        DrawButtonFace(p, r, "", state);
        DrawShiftIcon(p, r, ink);
        return;
    }
    if (b.id >= 56 && b.id <= 59) {
        DrawButtonFace(p, r, "", state);
        double d = 5 + (b.id - 56) * 3.5;
        DrawGlyph(p, QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d), "circle", ink);
        return;
    }
    if (b.id == 21) {  // find names of features: a map pin with a label tag
        DrawButtonFace(p, r, "", state);
        p.save();
        QPointF tip(r.left() + 13, r.bottom() - 6);
        QPainterPath pin;
        pin.moveTo(tip);
        pin.cubicTo(tip + QPointF(-9, -9), tip + QPointF(-8, -19), tip + QPointF(0, -19));
        pin.cubicTo(tip + QPointF(8, -19), tip + QPointF(9, -9), tip);
        p.fillPath(pin, ink);
        p.setBrush(state == kArtNormal ? QColor(40, 58, 84) : QColor(30, 90, 110));
        p.setPen(Qt::NoPen);
        p.drawEllipse(tip + QPointF(0, -13), 2.6, 2.6);
        p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() + 21, r.top() + 10), QPointF(r.right() - 4, r.top() + 10));
        p.drawLine(QPointF(r.left() + 21, r.top() + 15), QPointF(r.right() - 7, r.top() + 15));
        p.restore();
        return;
    }
    if (b.id == 65) {
        DrawButtonFace(p, r, "", state);
        DrawGlyph(p, r.adjusted(7, 6, -6, -6), "play", ink);
        return;
    }
    if (b.id == 64) {
        DrawButtonFace(p, r, "", state);
        DrawGlyph(p, QRectF(r.left() + 12, r.top() + 7, 9, 10), "play", ink);
        DrawGlyph(p, QRectF(r.left() + 30, r.top() + 7, 10, 10), "pause", ink);
        return;
    }
    DrawButtonFace(p, r, b.label, state, FitFont(b.label, b.w - 8, b.h >= 19 ? 11 : 10));
}

static void DrawButtonsOfMode(QPainter& p, int mode, ArtState state, int helpOn) {
    for (const ButtonLayout& b : kButtonLayout) {
        if (!(b.modes & ModeBit(mode)) || b.w <= 0 || !strcmp(b.folder, "room")) continue;
        if (b.id >= 40 && b.id <= 42) continue;  // drawn once as button 39's cluster
        DrawLayoutButton(p, b, state, helpOn);
    }
}

void DrawUnitsSwitch(QPainter& p, double x, double y, int imperial) {
    QRectF r(x, y, 82, 12);
    p.save();
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.fillPath(path, QColor(8, 13, 22));
    p.setPen(QPen(art::PanelEdge(), 1));
    p.drawPath(path);
    QRectF half = imperial ? QRectF(x + 41, y + 1, 40, 10) : QRectF(x + 1, y + 1, 40, 10);
    QPainterPath knob;
    knob.addRoundedRect(half, 5, 5);
    p.fillPath(knob, art::AccentDeep());
    DrawLabel(p, QRectF(x, y, 41, 12), "Metric", 8.5, true, imperial ? art::TextDim() : QColor(255, 255, 255));
    DrawLabel(p, QRectF(x + 41, y, 41, 12), "Imperial", 8.5, true, imperial ? QColor(255, 255, 255) : art::TextDim());
    p.restore();
}

static void DrawChrome(QPainter& p) {
    FillBackdrop(p, QRectF(0, 0, 800, 600));
    QLinearGradient top(0, 0, 0, 25);
    top.setColorAt(0, QColor(30, 44, 66));
    top.setColorAt(1, QColor(16, 25, 39));
    p.fillRect(QRectF(0, 0, 800, 25), top);
    p.fillRect(QRectF(0, 25, 800, 1), QColor(52, 74, 102));
    // The wordmark between the minimise button and the tabs.
    p.save();
    p.setPen(Qt::NoPen);
    QRadialGradient dot(QPointF(33, 12.5), 7);
    dot.setColorAt(0, QColor(120, 220, 255));
    dot.setColorAt(1, QColor(20, 90, 160));
    p.setBrush(dot);
    p.drawEllipse(QPointF(33, 12.5), 6.5, 6.5);
    p.restore();
    DrawLabel(p, QRectF(44, 3, 120, 19), "MUNDORA", 14, true, art::Text(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawLabel(p, QRectF(135, 3, 112, 19), "Earth Atlas", 10.5, false, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    // Map well, status line and prompt line.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(12.5, 35.5, 673, 532), 5, 5);
    p.fillPath(frame, QColor(14, 22, 35));
    p.setPen(QPen(art::PanelEdge(), 1));
    p.drawPath(frame);
    p.fillRect(QRectF(16, 39, 666, 500), QColor(0, 0, 0));
    p.fillRect(QRectF(16, 539, 666, 26), QColor(9, 15, 25));
    p.fillRect(QRectF(16, 539, 666, 1), QColor(40, 58, 82));
    DrawWell(p, QRectF(3, 570, 231, 29), 4);
}

static void DrawDial(QPainter& p, const QPointF& c, double radius, const char* north) {
    p.save();
    QRadialGradient g(c, radius);
    g.setColorAt(0, QColor(16, 26, 40));
    g.setColorAt(1, QColor(6, 10, 17));
    p.setBrush(g);
    p.setPen(QPen(art::PanelEdge(), 1.2));
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(art::TextDim(), 1));
    for (int i = 0; i < 24; i++) {
        double a = i * M_PI / 12, inner = radius - (i % 6 == 0 ? 6 : 3);
        p.drawLine(QPointF(c.x() + inner * std::sin(a), c.y() - inner * std::cos(a)),
                   QPointF(c.x() + (radius - 1) * std::sin(a), c.y() - (radius - 1) * std::cos(a)));
    }
    if (north) DrawLabel(p, QRectF(c.x() - 8, c.y() - radius + 6, 16, 11), north, 9, true, art::Amber());
    p.restore();
}

static void DrawMapColumn(QPainter& p) {
    DrawPanel(p, QRectF(691, 43, 108, 126));
    DrawPanel(p, QRectF(691, 172, 108, 142));
    DrawUnitsSwitch(p, 705, 178, 0);
    p.fillRect(QRectF(699, 211, 95, 79), QColor(0, 0, 0));
    DrawPanel(p, QRectF(691, 330, 108, 92), "Declination");
    DrawWell(p, QRectF(712, 347, 68, 68), 34);
    DrawPanel(p, QRectF(691, 426, 108, 66), "Position");
    DrawWell(p, QRectF(695, 443, 103, 38), 4);
    DrawPanel(p, QRectF(691, 494, 108, 73));
}

static void DrawTerrainColumn(QPainter& p) {
    DrawPanel(p, QRectF(691, 43, 108, 126));
    DrawPanel(p, QRectF(691, 172, 108, 140));
    DrawUnitsSwitch(p, 705, 178, 0);
    p.fillRect(QRectF(700, 212, 93, 92), QColor(0, 0, 0));
    DrawPanel(p, QRectF(691, 333, 108, 73), "Flooding");
    DrawWell(p, QRectF(700, 377, 92, 24), 4);
    DrawPanel(p, QRectF(691, 412, 108, 55));
    DrawLabel(p, QRectF(697, 418, 32, 20), "Grid", 10, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawLabel(p, QRectF(697, 441, 32, 20), "Relief", 10, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawWell(p, QRectF(752, 418, 22, 20), 3);
    DrawWell(p, QRectF(752, 441, 22, 20), 3);
    DrawPanel(p, QRectF(691, 482, 108, 85));
    DrawLabel(p, QRectF(749, 511, 38, 10), "ZOOM", 7.5, true, art::TextDim());
}

static void DrawGlobeColumn(QPainter& p) {
    DrawPanel(p, QRectF(691, 41, 108, 77));
    DrawPanel(p, QRectF(691, 124, 108, 147));
    DrawUnitsSwitch(p, 706, 131, 0);
    p.fillRect(QRectF(699, 147, 95, 97), QColor(0, 0, 0));
    DrawPanel(p, QRectF(691, 278, 108, 89), "Satellites");
    DrawPanel(p, QRectF(691, 374, 108, 62), "Globe Size");
    DrawPanel(p, QRectF(691, 446, 108, 92));
    // The tilt dial: a half disc whose five marks are the viewing latitudes 90, 45, 0, -45, -90.
    p.save();
    QPointF c(740, 494);
    QPainterPath half;
    half.moveTo(c);
    half.arcTo(QRectF(c.x() - 37, c.y() - 37, 74, 74), 90, 180);
    half.closeSubpath();
    p.fillPath(half, art::Well());
    p.setPen(QPen(art::PanelEdge(), 1.2));
    p.drawPath(half);
    for (int k = 0; k < 5; k++) {
        double a = (k * 45) * M_PI / 180;  // 0 = straight up, anticlockwise to straight down
        QPointF tip(c.x() - 31 * std::sin(a), c.y() - 31 * std::cos(a));
        p.setPen(QPen(art::Accent(), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 20 * std::sin(a), c.y() - 20 * std::cos(a)), tip);
        p.setPen(Qt::NoPen);
        p.setBrush(art::Accent());
        p.drawEllipse(tip, 2.2, 2.2);
    }
    p.restore();
    DrawLabel(p, QRectF(712, 487, 26, 14), "TILT", 7, true, art::TextDim());
    DrawPanel(p, QRectF(691, 538, 108, 28));
    DrawWell(p, QRectF(699, 541, 67, 21), 3);
}

// Where each region's name sits: inside its own rectangle and, where the rectangles overlap,
// clear of the others.
static const int kRegionLabels[9][2] = {{142, 354}, {255, 335}, {372, 300}, {444, 206}, {533, 330},
                                        {365, 190}, {526, 258}, {530, 176}, {193, 219}};

// The world drawn so that each region lies in its chooser rectangle: longitude -170 at x 106,
// 1.46 pixels a degree; latitude 72 at y 154, 2.28 pixels a degree north of the equator and 0.9
// south of it (the southern continents are squeezed to fit their rectangles).
static QImage RegionWorld(const QImage& world) {
    QImage out(666, 500, QImage::Format_RGB32);
    out.fill(QColor(4, 10, 20));
    if (world.isNull()) return out;
    for (int row = 0; row < 500; row++) {
        double y = 39 + row + 0.5;
        double lat = y <= 318 ? 72 - (y - 154) / 2.28 : -(y - 318) / 0.9;
        if (lat > 89.9 || lat < -62) continue;
        int sy = std::clamp((int)((90 - lat) / 180 * world.height()), 0, world.height() - 1);
        const QRgb* src = reinterpret_cast<const QRgb*>(world.constScanLine(sy));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(row));
        for (int col = 0; col < 666; col++) {
            double lon = -170 + (16 + col + 0.5 - 106) / 1.46;
            double u = (lon + 180) / 360;
            u -= std::floor(u);
            dst[col] = src[std::min(world.width() - 1, (int)(u * world.width()))];
        }
    }
    return out;
}

static void DrawRegionChooser(QPainter& p, int highlight) {
    static QImage map;
    static const QImage* mapFrom = nullptr;
    if (screens.world != mapFrom) map = RegionWorld(screens.world ? *screens.world : QImage()), mapFrom = screens.world;
    p.save();
    p.setClipRect(QRectF(16, 39, 666, 500));
    p.setOpacity(0.55);
    p.drawImage(QRectF(16, 39, 666, 500), map);
    p.setOpacity(1);
    p.fillRect(QRectF(16, 39, 666, 500), QColor(0, 8, 20, 90));
    DrawLabel(p, QRectF(16, 48, 666, 30), "Choose a region", 22, true, art::Text());
    DrawLabel(p, QRectF(16, 78, 666, 20), "Click a part of the world to see its statistics", 12, false, art::TextDim());
    if (highlight >= 0) {
        const int* k = kRegionRects[highlight];
        QRectF r(k[0] + 1, k[1] + 1, k[2] - k[0] - 2, k[3] - k[1] - 2);
        QPainterPath path;
        path.addRoundedRect(r, 8, 8);
        p.fillPath(path, QColor(38, 190, 204, 90));
        p.setPen(QPen(QColor(160, 245, 255), 2));
        p.drawPath(path);
    }
    for (int i = 0; i < 9; i++) {
        int on = i == highlight;
        QRectF box(kRegionLabels[i][0] - 60, kRegionLabels[i][1] - 9, 120, 18);
        QFontMetricsF m(ArtFont(on ? 13 : 12, true));
        double w = m.horizontalAdvance(QString::fromLatin1(kRegionNames[i])) + 14;
        QRectF pill(kRegionLabels[i][0] - w / 2, box.top(), w, 18);
        QPainterPath path;
        path.addRoundedRect(pill, 9, 9);
        p.fillPath(path, on ? QColor(250, 185, 33, 230) : QColor(8, 16, 30, 190));
        p.setPen(QPen(on ? QColor(255, 230, 160) : QColor(110, 160, 200, 180), 1));
        p.drawPath(path);
        DrawLabel(p, pill, kRegionNames[i], on ? 13 : 12, true, on ? QColor(40, 24, 0) : art::Text());
    }
    p.restore();
}

static void DrawStatsColumn(QPainter& p) {
    DrawPanel(p, QRectF(691, 43, 108, 70));
    DrawPanel(p, QRectF(691, 126, 108, 99));
    DrawPanel(p, QRectF(691, 231, 108, 138));
    p.fillRect(QRectF(694, 234, 102, 138), QColor(0, 0, 0));
    DrawPanel(p, QRectF(691, 372, 108, 98));
    DrawWell(p, QRectF(697, 424, 97, 42), 4);
}

static void DrawFlybyColumn(QPainter& p) {
    DrawPanel(p, QRectF(691, 42, 108, 98));
    DrawPanel(p, QRectF(691, 146, 108, 196), "Heading");
    DrawDial(p, QPointF(746, 212), 41, "N");
    DrawWell(p, QRectF(706, 270, 38, 64), 3);
    DrawWell(p, QRectF(748, 270, 38, 64), 3);
    DrawLabel(p, QRectF(706, 322, 38, 10), "ALT", 7.5, true, art::TextDim());
    DrawLabel(p, QRectF(748, 322, 38, 10), "SPEED", 7.5, true, art::TextDim());
    DrawPanel(p, QRectF(691, 346, 108, 98), "Position");
    DrawWell(p, QRectF(697, 362, 96, 78), 3);
    DrawPanel(p, QRectF(691, 450, 108, 41), "Throttle");
    DrawWell(p, QRectF(699, 468, 94, 16), 8);
    DrawPanel(p, QRectF(691, 495, 108, 60), "Climb");
    DrawWell(p, QRectF(699, 513, 94, 36), 4);
}

void DrawViewScreen(QPainter& p, int mode, ArtState state, int helpOn) {
    DrawChrome(p);
    if (mode == 3) DrawMapColumn(p);
    if (mode == 4) DrawTerrainColumn(p);
    if (mode == 5) DrawGlobeColumn(p);
    if (mode == 7) {
        DrawStatsColumn(p);
        DrawRegionChooser(p, -1);
    }
    if (mode == 8) DrawFlybyColumn(p);
    DrawButtonsOfMode(p, mode, state, helpOn);
}

// The text viewer's screen: its control panel at the bottom left over a dimmed view.
static void DrawManualScreen(QPainter& p, ArtState state) {
    DrawViewScreen(p, 3, kArtNormal);
    p.fillRect(QRectF(0, 0, 800, 600), QColor(0, 0, 0, 120));
    p.fillRect(QRectF(0, 504, 216, 96), QColor(11, 18, 30));
    DrawPanel(p, QRectF(2, 505, 212, 93));
    DrawLabel(p, QRectF(108, 541, 100, 20), "Manual", 13, true, art::Amber());
    for (const ButtonLayout& b : kButtonLayout)
        if ((b.modes & ModeBit(6)) && b.id >= 82 && b.id <= 86) DrawLayoutButton(p, b, state, 1);
}

static int WriteCrops(BuildContext& ctx, const QImage pictures[3], int small, int mode, int helpOn, std::vector<int>& done) {
    int ok = 1;
    char name[64];
    for (const ButtonLayout& b : kButtonLayout) {
        if (!(b.modes & ModeBit(mode)) || b.w <= 0 || !strcmp(b.folder, "room")) continue;
        if (b.id == 8 && mode != 3) continue;
        if (std::find(done.begin(), done.end(), b.id * 2 + small) != done.end() && b.id != 8) continue;
        const char kinds[3] = {'n', 'r', 'h'};
        for (int k = 0; k < 3; k++) {
            int state = b.twoState ? helpOn : -1;
            if (!ButtonImageName(b.id, kinds[k], state, name, sizeof name)) continue;
            ok = WriteArt(ctx, name, small, CropArt(pictures[k], small, b.x, b.y, b.w, b.h)) && ok;
        }
        done.push_back(b.id * 2 + small);
    }
    return ok;
}

int BuildViewArt(BuildContext& ctx) {
    struct { int mode; const char* name; } views[] = {
        {3, "menu\\2dmain.bmp"}, {4, "menu\\3dmain.bmp"}, {5, "menu\\glbmain.bmp"}, {7, "menu\\statmain.bmp"}, {8, "menu\\flymain.bmp"},
    };
    int ok = 1;
    std::vector<int> done;
    for (int small = 0; small <= 1; small++) {
        for (auto& v : views) {
            for (int helpOn = 1; helpOn >= 0; helpOn--) {
                if (v.mode != 3 && helpOn == 0) continue;
                QImage pictures[3];
                for (int s = 0; s < 3; s++)
                    pictures[s] = RenderArt(800, 600, small, [&](QPainter& p) { DrawViewScreen(p, v.mode, (ArtState)s, helpOn); });
                if (helpOn) ok = WriteArt(ctx, v.name, small, pictures[0]) && ok;
                ok = WriteCrops(ctx, pictures, small, v.mode, helpOn, done) && ok;
            }
        }
        // Region highlights of the statistics chooser.
        for (int i = 0; i < 9; i++) {
            QImage lit = RenderArt(800, 600, small, [&](QPainter& p) {
                DrawChrome(p);
                DrawRegionChooser(p, i);
            });
            const int* k = kRegionRects[i];
            char name[32];
            snprintf(name, sizeof name, "menu\\%d.bmp", 96 + i);
            ok = WriteArt(ctx, name, small, CropArt(lit, small, k[0], k[1], k[2] - k[0], k[3] - k[1])) && ok;
        }
        // "menu\120n1.bmp" and companions: the names switch of the 3D views as a two-state
        // button, drawn at button 29's place ("Names On" / "Names Off").
        const ButtonLayout* names = FindButtonLayout(29);
        for (int on = 0; on <= 1; on++) {
            for (int s = 0; s < 3; s++) {
                QImage shot = RenderArt(800, 600, small, [&](QPainter& p) {
                    DrawViewScreen(p, 4, kArtNormal);
                    DrawButtonFace(p, QRectF(names->x, names->y, names->w, names->h), on ? "Names On" : "Names Off", (ArtState)s, 11);
                });
                char name[32];
                snprintf(name, sizeof name, "menu\\120%c%d.bmp", "nrh"[s], on);
                ok = WriteArt(ctx, name, small, CropArt(shot, small, names->x, names->y, names->w, names->h)) && ok;
            }
        }
        QImage manual[3];
        for (int s = 0; s < 3; s++) manual[s] = RenderArt(800, 600, small, [&](QPainter& p) { DrawManualScreen(p, (ArtState)s); });
        ok = WriteArt(ctx, "menu\\125.bmp", small, CropArt(manual[0], small, 0, 504, 216, 96)) && ok;
        ok = WriteCrops(ctx, manual, small, 6, 1, done) && ok;
    }
    return ok;
}

void SetArtWorld(const QImage* world) { screens.world = world; }
