// The title page: the product name over a globe rendered from the volume's own imagery.
#include <QRadialGradient>

#include "art.h"

static void DrawTitlePage(QPainter& p, const QImage& globe) {
    DrawStarfield(p, QRectF(0, 0, 800, 600), 3);
    QPointF centre(566, 364);
    double radius = globe.width() / 2.0;
    QRadialGradient halo(centre, radius * 1.18);
    halo.setColorAt(0.80, QColor(80, 160, 255, 120));
    halo.setColorAt(0.86, QColor(60, 130, 255, 60));
    halo.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 1.18, radius * 1.18);
    p.drawImage(QPointF(centre.x() - radius, centre.y() - radius), globe);
    DrawLabel(p, QRectF(40, 96, 460, 90), "MUNDORA", 70, true, QColor(240, 246, 255), Qt::AlignLeft | Qt::AlignVCenter);
    p.fillRect(QRectF(46, 190, 150, 3), art::Amber());
    DrawLabel(p, QRectF(44, 200, 420, 34), "The Desktop Earth Atlas", 24, false, QColor(200, 216, 236), Qt::AlignLeft | Qt::AlignVCenter);
    DrawLabel(p, QRectF(44, 240, 330, 70), "Globe, maps, 3D terrain, flyby\nand country statistics", 15, false, art::TextDim(),
              Qt::AlignLeft | Qt::AlignTop);
    DrawLabel(p, QRectF(44, 520, 360, 24), "Click or press any key to begin", 15, true, art::Accent(), Qt::AlignLeft | Qt::AlignVCenter);
    DrawLabel(p, QRectF(44, 552, 360, 20), "Orvek  \xB7  imagery with Pelandor", 11, false, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
}

int BuildTitleArt(BuildContext& ctx, const QImage& world) {
    QImage globe = RenderGlobe(world, 440, 15, 18);
    return WriteArtBoth(ctx, "titlepg.bmp", 800, 600, [&](QPainter& p) { DrawTitlePage(p, globe); });
}
