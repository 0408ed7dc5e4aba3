// The flyby's artwork: the vegetation sprites (8-bit on the flyby palette, 0 transparent, the
// trunk's foot at the middle of the bottom row), the place marker, the aircraft symbol and the
// ALT and SPEED bar fills of the panel, the sky behind the terrain (its columns wrap) and the
// cockpit frames over the view of each layout (magenta transparent).
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>

#include "art.h"
#include "flyby/flyby.h"
#include "flyby_build.h"
#include "imaging/imaging.h"

namespace {

const QColor kMagenta(255, 0, 255);

// Rendered with a transparent surround, then each pixel of enough cover to its palette entry.
int WriteIndexed(BuildContext& ctx, const char* name, int small, int w, int h, const std::vector<uint8_t>& palette,
                 const std::function<void(QPainter&)>& draw) {
    EnsureArtApplication();
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    int stride = w;  // the encoder pads the rows itself
    std::vector<uint8_t> rows((size_t)stride * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            QRgb c = image.pixel(x, y);
            if (qAlpha(c) < 128) continue;
            // Rows go bottom first; entry 0 stays the transparent one.
            rows[(size_t)(h - 1 - y) * stride + x] = (uint8_t)NearestFlybyIndex(palette, qRed(c), qGreen(c), qBlue(c), 1);
        }
    std::string target = small ? std::string("640\\") + name : std::string(name);
    return WriteVolumeFile(ctx, target.c_str(), EncodeBmp8(rows.data(), w, h, palette));
}

// [SECTION] Trees

void Trunk(QPainter& p, double x, double base, double height, double width, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(x - width / 2, base - height, width, height));
}

// A round crown lit from the upper left.
void Crown(QPainter& p, const QPointF& c, double rx, double ry, const QColor& colour) {
    QRadialGradient light(c + QPointF(-rx * 0.35, -ry * 0.4), std::max(rx, ry) * 1.3);
    light.setColorAt(0, colour.lighter(150));
    light.setColorAt(0.6, colour);
    light.setColorAt(1, colour.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawEllipse(c, rx, ry);
}

void Broadleaf(QPainter& p, double x, double base, double height, const QColor& leaves) {
    Trunk(p, x, base, height * 0.45, std::max(2.0, height * 0.09), QColor(92, 64, 38));
    double r = height * 0.33;
    Crown(p, QPointF(x - r * 0.45, base - height + r * 1.2), r * 0.7, r * 0.65, leaves.darker(110));
    Crown(p, QPointF(x + r * 0.45, base - height + r * 1.15), r * 0.7, r * 0.65, leaves.darker(105));
    Crown(p, QPointF(x, base - height + r * 0.8), r * 0.8, r * 0.75, leaves);
}

// Tiers of a conifer from the ground up, each narrower.
void Conifer(QPainter& p, double x, double base, double height, double width, const QColor& needles, int tiers) {
    Trunk(p, x, base, height * 0.2, std::max(2.0, width * 0.14), QColor(80, 56, 34));
    double tierHeight = height * 0.85 / tiers * 1.45;
    for (int t = 0; t < tiers; t++) {
        double bottom = base - height * 0.12 - t * (height * 0.85 / tiers);
        double w = width * (1.0 - 0.75 * t / tiers);
        QPainterPath tier;
        tier.moveTo(x - w / 2, bottom);
        tier.lineTo(x + w / 2, bottom);
        tier.lineTo(x, bottom - tierHeight);
        tier.closeSubpath();
        QLinearGradient shade(x - w / 2, 0, x + w / 2, 0);
        shade.setColorAt(0, needles.lighter(135));
        shade.setColorAt(1, needles.darker(150));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPath(tier);
    }
}

void Acacia(QPainter& p, double x, double base, double height, const QColor& leaves) {
    QPen bark(QColor(96, 70, 44), 2.4);
    p.setPen(bark);
    p.drawLine(QPointF(x, base), QPointF(x, base - height * 0.45));
    p.drawLine(QPointF(x, base - height * 0.45), QPointF(x - height * 0.22, base - height * 0.78));
    p.drawLine(QPointF(x, base - height * 0.45), QPointF(x + height * 0.25, base - height * 0.8));
    Crown(p, QPointF(x, base - height * 0.85), height * 0.48, height * 0.13, leaves);
}

void Shrub(QPainter& p, double x, double base, double size, const QColor& leaves) {
    Crown(p, QPointF(x - size * 0.5, base - size * 0.35), size * 0.45, size * 0.35, leaves.darker(115));
    Crown(p, QPointF(x + size * 0.45, base - size * 0.3), size * 0.4, size * 0.3, leaves.darker(105));
    Crown(p, QPointF(x, base - size * 0.5), size * 0.5, size * 0.45, leaves);
}

// A rain-forest giant: a tall bare trunk under a wide layered canopy, with an undergrowth.
void Emergent(QPainter& p, double x, double base, double height, const QColor& leaves) {
    Trunk(p, x, base, height * 0.7, 3.2, QColor(120, 100, 78));
    Crown(p, QPointF(x - 10, base - height * 0.78), 12, 8, leaves.darker(115));
    Crown(p, QPointF(x + 10, base - height * 0.8), 12, 8, leaves.darker(110));
    Crown(p, QPointF(x, base - height * 0.9), 15, 9, leaves);
    Crown(p, QPointF(x - 14, base - 7), 9, 7, leaves.darker(130));
    Crown(p, QPointF(x + 14, base - 6), 9, 6, leaves.darker(125));
}

void Cactus(QPainter& p, double x, double base) {
    QColor skin(72, 128, 62);
    QLinearGradient shade(x - 5, 0, x + 5, 0);
    shade.setColorAt(0, skin.lighter(140));
    shade.setColorAt(1, skin.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(x - 4.5, base - 46, 9, 46), 4.5, 4.5);
    // The arms: out, then up.
    p.drawRoundedRect(QRectF(x - 17, base - 30, 13, 6), 3, 3);
    p.drawRoundedRect(QRectF(x - 17, base - 42, 6, 18), 3, 3);
    p.drawRoundedRect(QRectF(x + 4, base - 22, 12, 6), 3, 3);
    p.drawRoundedRect(QRectF(x + 10, base - 35, 6, 19), 3, 3);
    Shrub(p, x - 20, base, 7, QColor(130, 120, 70));
    Shrub(p, x + 21, base, 6, QColor(130, 120, 70));
}

struct Sprite {
    int cls;
    std::function<void(QPainter&)> draw;
};

std::vector<Sprite> Sprites() {
    const double foot = 64, mid = 32;
    return {
        {1, [=](QPainter& p) { Broadleaf(p, mid, foot, 58, QColor(96, 160, 60)); }},
        {2, [=](QPainter& p) {
             Conifer(p, mid - 12, foot - 4, 44, 20, QColor(40, 96, 60), 3);
             Broadleaf(p, mid + 10, foot - 2, 40, QColor(104, 150, 56));
             Trunk(p, mid, foot, 3, 3, QColor(92, 64, 38));
         }},
        {3, [=](QPainter& p) { Acacia(p, mid, foot, 46, QColor(118, 138, 52)); }},
        {4, [=](QPainter& p) { Shrub(p, mid, foot, 18, QColor(112, 128, 64)); }},
        {5, [=](QPainter& p) {
             Broadleaf(p, mid - 15, foot - 8, 44, QColor(40, 112, 40));
             Broadleaf(p, mid + 15, foot - 6, 46, QColor(46, 118, 42));
             Broadleaf(p, mid, foot, 60, QColor(52, 128, 46));
         }},
        {6, [=](QPainter& p) {
             Conifer(p, mid - 16, foot - 6, 50, 20, QColor(34, 86, 56), 4);
             Broadleaf(p, mid + 14, foot - 5, 46, QColor(70, 128, 50));
             Conifer(p, mid + 2, foot, 60, 24, QColor(30, 80, 52), 4);
         }},
        {7, [=](QPainter& p) {
             Conifer(p, mid - 15, foot - 5, 56, 18, QColor(30, 92, 70), 5);
             Conifer(p, mid + 15, foot - 4, 54, 18, QColor(34, 96, 72), 5);
             Conifer(p, mid, foot, 63, 22, QColor(26, 86, 64), 5);
             Shrub(p, mid, foot, 10, QColor(70, 130, 70));
         }},
        {8, [=](QPainter& p) { Conifer(p, mid, foot, 63, 22, QColor(26, 70, 58), 5); }},
        {9, [=](QPainter& p) { Emergent(p, mid, foot, 62, QColor(28, 120, 36)); }},
        {10, [=](QPainter& p) { Cactus(p, mid, foot); }},
    };
}

// [SECTION] Panel symbols

void AirportMarker(QPainter& p) {
    p.setPen(QPen(QColor(20, 24, 30), 1.2));
    p.setBrush(QColor(250, 185, 33));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(QColor(20, 24, 30), 2.4));
    p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));  // the runway
}

// The aircraft seen from above, nose up (north), in 800x600 units about 21 across.
void AircraftSymbol(QPainter& p) {
    QPainterPath plane;
    plane.moveTo(10.5, 0.5);
    plane.lineTo(12, 7);
    plane.lineTo(20.5, 11.5);
    plane.lineTo(20.5, 13);
    plane.lineTo(12, 11.5);
    plane.lineTo(11.8, 17);
    plane.lineTo(15, 19.5);
    plane.lineTo(15, 20.5);
    plane.lineTo(10.5, 19.5);
    plane.lineTo(6, 20.5);
    plane.lineTo(6, 19.5);
    plane.lineTo(9.2, 17);
    plane.lineTo(9, 11.5);
    plane.lineTo(0.5, 13);
    plane.lineTo(0.5, 11.5);
    plane.lineTo(9, 7);
    plane.closeSubpath();
    p.setPen(QPen(QColor(20, 24, 30), 0.8));
    p.setBrush(art::Amber());
    p.drawPath(plane);
}

// A bar fill: the full bar, of which the panel shows the part the value reaches.
void BarFill(QPainter& p, const QColor& low, const QColor& high) {
    QLinearGradient g(0, 60, 0, 0);
    g.setColorAt(0, low);
    g.setColorAt(1, high);
    p.fillRect(QRectF(0, 0, 36, 60), g);
    p.setPen(QPen(QColor(10, 14, 22), 1));
    for (int y = 6; y < 60; y += 6) p.drawLine(QPointF(0, y + 0.5), QPointF(36, y + 0.5));  // scale marks
}

// [SECTION] Sky and cockpit

QColor Horizon() { return QColor((kFlybyHorizonRgb >> 16) & 255, (kFlybyHorizonRgb >> 8) & 255, kFlybyHorizonRgb & 255); }

QImage Sky() {
    const int w = kFlybySkyWidth, h = 240;
    QImage sky(w, h, QImage::Format_RGB32);
    QPainter p(&sky);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(46, 92, 160));
    g.setColorAt(0.6, QColor(118, 162, 212));
    g.setColorAt(1, Horizon());
    p.fillRect(sky.rect(), g);
    // Clouds: clusters of soft puffs at fixed places; each drawn a turn to either side too, so
    // the last column meets the first.
    struct Cloud {
        double x, y, size;
    } clouds[] = {{60, 150, 30}, {250, 120, 44}, {420, 175, 24}, {560, 95, 36}, {720, 160, 40}, {890, 130, 28}, {1000, 185, 22}};
    for (const Cloud& c : clouds)
        for (double shift : {-w, 0, w})
            for (int k = 0; k < 6; k++) {
                double dx = (k - 2.5) * c.size * 0.45, dy = (k % 2) * c.size * 0.18;
                double r = c.size * (0.45 + 0.12 * ((k * 7) % 3));
                QPointF at(c.x + shift + dx, c.y - dy);
                QRadialGradient puff(at, r);
                puff.setColorAt(0, QColor(255, 255, 255, 200));
                puff.setColorAt(0.7, QColor(246, 248, 252, 120));
                puff.setColorAt(1, QColor(240, 244, 250, 0));
                p.setPen(Qt::NoPen);
                p.setBrush(puff);
                p.drawEllipse(at, r * 1.3, r * 0.75);
            }
    return sky;
}

// The cockpit over a view of w x h: a window frame with corner struts and a low instrument hood
// along the bottom; everything else magenta, so most of the view stays clear.
QImage Cockpit(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kMagenta);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);  // hard edges: no blend toward magenta
    QColor frame(38, 44, 54), edge(70, 80, 96);
    double s = w / 665.0;
    QPainterPath top;
    top.moveTo(0, 0);
    top.lineTo(w, 0);
    top.lineTo(w, 22 * s);
    top.lineTo(w - 60 * s, 12 * s);
    top.lineTo(60 * s, 12 * s);
    top.lineTo(0, 22 * s);
    top.closeSubpath();
    p.fillPath(top, frame);
    // Corner struts from the top corners down the sides.
    for (int side : {0, 1}) {
        QPainterPath strut;
        double x0 = side ? w : 0, dir = side ? -1 : 1;
        strut.moveTo(x0, 0);
        strut.lineTo(x0 + dir * 34 * s, 16 * s);
        strut.lineTo(x0 + dir * 16 * s, h * 0.62);
        strut.lineTo(x0, h * 0.66);
        strut.closeSubpath();
        p.fillPath(strut, frame);
        p.setPen(QPen(edge, std::max(1.0, 2 * s)));
        p.drawLine(QPointF(x0 + dir * 34 * s, 16 * s), QPointF(x0 + dir * 16 * s, h * 0.62));
    }
    // The hood: a shallow arch across the bottom with three round gauges.
    QPainterPath hood;
    hood.moveTo(0, h);
    hood.lineTo(0, h - 40 * s);
    hood.cubicTo(w * 0.3, h - 64 * s, w * 0.7, h - 64 * s, w, h - 40 * s);
    hood.lineTo(w, h);
    hood.closeSubpath();
    p.fillPath(hood, frame);
    for (int k = 0; k < 3; k++) {
        QPointF c(w * (0.35 + 0.15 * k), h - 24 * s);
        p.setBrush(QColor(12, 16, 22));
        p.setPen(QPen(edge, std::max(1.0, 1.5 * s)));
        p.drawEllipse(c, 15 * s, 15 * s);
        p.setPen(QPen(art::Amber(), std::max(1.0, 1.6 * s)));
        double a = -0.9 + 0.8 * k;
        p.drawLine(c, c + QPointF(11 * s * std::sin(a), -11 * s * std::cos(a)));
    }
    return image;
}

}  // namespace

int BuildFlybyArt(BuildContext& ctx, const std::vector<uint8_t>& palette) {
    int ok = 1;
    for (const Sprite& s : Sprites())
        ok = WriteIndexed(ctx, kFlybyClassTextures[s.cls], 0, kFlybySpriteSize, kFlybySpriteSize, palette, s.draw) && ok;
    ok = WriteIndexed(ctx, "Textures\\Airport.bmp", 0, 16, 16, palette, AirportMarker) && ok;
    // The panel's symbols follow the layout's scale; the 3D view's sprites do not.
    for (int small : {0, 1}) {
        double f = small ? 0.8 : 1.0;
        auto scaled = [f](void (*draw)(QPainter&)) {
            return [f, draw](QPainter& p) {
                p.scale(f, f);
                draw(p);
            };
        };
        ok = WriteIndexed(ctx, "Textures\\C3.bmp", small, (int)(21 * f), (int)(21 * f), palette, scaled(AircraftSymbol)) && ok;
        ok = WriteIndexed(ctx, "Textures\\C4.bmp", small, (int)(36 * f), (int)(60 * f), palette, scaled([](QPainter& p) {
                 BarFill(p, QColor(18, 120, 138), QColor(38, 210, 224));
             })) && ok;
        ok = WriteIndexed(ctx, "Textures\\C5.bmp", small, (int)(36 * f), (int)(60 * f), palette, scaled([](QPainter& p) {
                 BarFill(p, QColor(170, 96, 16), QColor(250, 185, 33));
             })) && ok;
    }
    ok = WriteArt(ctx, "Textures\\Sky.bmp", 0, Sky()) && ok;
    ok = WriteArt(ctx, "Textures\\C800.bmp", 0, Cockpit(665, 499)) && ok;
    ok = WriteArt(ctx, "Textures\\C640.bmp", 0, Cockpit(532, 399)) && ok;
    return ok;
}
