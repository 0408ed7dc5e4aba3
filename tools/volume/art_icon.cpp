// The program's icon for the desktop's menu and the window: the Earth drawn from the world
// imagery, seen over Africa and Europe, inside a tilted amber orbit ring. The build makes the
// 48, 128 and 256 pixel pictures with `mundora-volume --icons DIR`.
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "art.h"
#include "platform/files.h"

static void DrawOrbitHalf(QPainter& p, double size, int front) {
    QPen pen(art::Amber(), size * 0.034, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QRectF ring(-size * 0.47, -size * 0.16, size * 0.94, size * 0.32);
    // Qt's angles run counter-clockwise from three o'clock in sixteenths of a degree: the
    // upper half of the ring passes behind the globe, the lower half in front of it.
    p.drawArc(ring, front ? 180 * 16 : 0, 180 * 16);
}

QImage DrawProgramIcon(const QImage& world, int size) {
    // Drawn four times larger and scaled down, so the thin ring stays smooth at 48 pixels.
    int big = size * 4;
    QImage canvas(big, big, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    int diameter = (int)(big * 0.78);
    QImage globe = RenderGlobe(world, diameter, 15.0, 18.0);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(big / 2.0, big / 2.0);
    p.rotate(-24);
    DrawOrbitHalf(p, big, 0);
    p.rotate(24);
    p.drawImage(QPointF(-diameter / 2.0, -diameter / 2.0), globe);
    p.rotate(-24);
    DrawOrbitHalf(p, big, 1);
    p.end();
    return canvas.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
}

int WriteProgramIcons(BuildContext& ctx, const char* dir) {
    EnsureArtApplication();
    if (!MakeDirectories(dir)) {
        BuildError("Cannot create %s", dir);
        return 0;
    }
    if (ctx.outDir.empty()) ctx.outDir = dir;
    QImage world = LoadWorldImagery(ctx);
    if (world.isNull()) return 0;
    for (int size : {48, 128, 256}) {
        char path[1024];
        snprintf(path, sizeof path, "%s/mundora-%d.png", dir, size);
        if (!DrawProgramIcon(world, size).save(QString::fromLocal8Bit(path), "PNG")) {
            BuildError("Cannot write %s", path);
            return 0;
        }
    }
    return 1;
}
