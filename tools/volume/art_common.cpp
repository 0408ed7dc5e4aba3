// The artwork kit: the offscreen painter set-up, the two-layout writer, and the shared shapes
// (backdrops, panels, wells, buttons, glyphs, the globe) every screen is drawn from.
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "art.h"
#include "imaging/imaging.h"
#include "platform/files.h"

static struct {
    std::vector<std::string> written;
    std::set<std::string> seen;
} artLog;

void EnsureArtApplication() {
    if (QGuiApplication::instance()) return;
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "mundora-volume";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends: tearing Qt down among the static destructors crashes.
    new QGuiApplication(argc, argv);
    QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf");
}

QFont ArtFont(double pixels, bool bold) {
    QFont f("Liberation Sans");
    f.setPixelSize(std::max(1, (int)std::lround(pixels)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QImage RenderArt(int w, int h, int small, const ArtDraw& draw) {
    EnsureArtApplication();
    int outW = small ? w * 8 / 10 : w, outH = small ? h * 8 / 10 : h;
    QImage image(std::max(1, outW), std::max(1, outH), QImage::Format_RGB32);
    image.fill(QColor(0, 0, 0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (small) p.scale(0.8, 0.8);
    draw(p);
    p.end();
    return image;
}

QImage CropArt(const QImage& picture, int small, int x, int y, int w, int h) {
    if (small) x = x * 8 / 10, y = y * 8 / 10, w = w * 8 / 10, h = h * 8 / 10;
    return picture.copy(x, y, std::max(1, w), std::max(1, h));
}

int WriteArt(BuildContext& ctx, const char* name, int small, const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<uint8_t> bmp =
        EncodeBmp24(reinterpret_cast<const uint32_t*>(rgb.constBits()), rgb.width(), rgb.height(), (int)(rgb.bytesPerLine() / 4));
    std::string target = small ? std::string("640\\") + name : std::string(name);
    if (!WriteVolumeFile(ctx, target.c_str(), bmp)) return 0;
    if (artLog.seen.insert(name).second) artLog.written.push_back(name);
    return 1;
}

int WriteArtBoth(BuildContext& ctx, const char* name, int w, int h, const ArtDraw& draw) {
    return WriteArt(ctx, name, 0, RenderArt(w, h, 0, draw)) && WriteArt(ctx, name, 1, RenderArt(w, h, 1, draw));
}

const std::vector<std::string>& ArtWritten() { return artLog.written; }

// [SECTION] Shapes

void FillBackdrop(QPainter& p, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, art::BackLight());
    g.setColorAt(0.45, art::Back());
    g.setColorAt(1, QColor(8, 13, 22));
    p.fillRect(r, g);
}

void DrawPanel(QPainter& p, const QRectF& r, const char* title) {
    p.save();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(32, 47, 69));
    g.setColorAt(1, QColor(21, 31, 47));
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.fillPath(path, g);
    p.setPen(QPen(art::PanelEdge(), 1));
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(r.left() + 6, r.top() + 1.5), QPointF(r.right() - 6, r.top() + 1.5));
    if (title) DrawLabel(p, QRectF(r.left() + 6, r.top() + 2, r.width() - 12, 14), title, 9.5, true, art::TextDim(), Qt::AlignLeft | Qt::AlignVCenter);
    p.restore();
}

void DrawWell(QPainter& p, const QRectF& r, double radius) {
    p.save();
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.fillPath(path, art::Well());
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() - 0.5), QPointF(r.right() - radius, r.bottom() - 0.5));
    p.restore();
}

void DrawLabel(QPainter& p, const QRectF& r, const char* text, double px, bool bold, const QColor& colour, int flags) {
    p.save();
    p.setFont(ArtFont(px, bold));
    p.setPen(colour);
    p.drawText(r, flags, QString::fromLatin1(text));
    p.restore();
}

static int IsGlyph(const char* label) {
    static const char* glyphs[] = {"<", ">", "+", "-", nullptr};
    for (int i = 0; glyphs[i]; i++)
        if (!strcmp(label, glyphs[i])) return 1;
    return 0;
}

void DrawButtonFace(QPainter& p, const QRectF& r, const char* label, ArtState state, double fontPx) {
    p.save();
    QRectF face = r.adjusted(0.5, 0.5, -0.5, -0.5);
    double radius = std::min(5.0, std::min(r.width(), r.height()) / 4);
    QPainterPath path;
    path.addRoundedRect(face, radius, radius);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    QColor edge, text = art::Text();
    if (state == kArtNormal) {
        g.setColorAt(0, QColor(50, 70, 98));
        g.setColorAt(1, QColor(32, 46, 68));
        edge = QColor(70, 96, 128);
    } else if (state == kArtRollover) {
        g.setColorAt(0, QColor(48, 118, 142));
        g.setColorAt(1, QColor(28, 78, 100));
        edge = art::Accent();
        text = QColor(255, 255, 255);
    } else if (state == kArtMarked) {
        g.setColorAt(0, QColor(74, 64, 40));
        g.setColorAt(1, QColor(46, 40, 30));
        edge = art::Amber();
        text = QColor(255, 226, 150);
    } else {
        g.setColorAt(0, QColor(14, 92, 108));
        g.setColorAt(1, QColor(26, 150, 166));
        edge = QColor(120, 230, 240);
        text = QColor(255, 255, 255);
    }
    p.fillPath(path, g);
    if (state == kArtNormal || state == kArtRollover) {
        p.setPen(QPen(QColor(255, 255, 255, state == kArtNormal ? 30 : 60), 1));
        p.drawLine(QPointF(face.left() + radius, face.top() + 1), QPointF(face.right() - radius, face.top() + 1));
    }
    p.setPen(QPen(edge, 1));
    p.drawPath(path);
    QRectF inner = face.translated(state == kArtHit ? 0.6 : 0, state == kArtHit ? 0.6 : 0);
    if (label && *label) {
        if (IsGlyph(label)) {
            double s = std::min(inner.width(), inner.height()) * 0.5;
            DrawGlyph(p, QRectF(inner.center().x() - s / 2, inner.center().y() - s / 2, s, s), label, text);
        } else {
            DrawLabel(p, inner, label, fontPx, true, text);
        }
    }
    p.restore();
}

void DrawGlyph(QPainter& p, const QRectF& r, const char* name, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour, std::max(1.4, r.width() / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    QPointF c = r.center();
    double w = r.width(), h = r.height();
    if (!strcmp(name, "+")) {
        p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
        p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
    } else if (!strcmp(name, "-")) {
        p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
    } else if (!strcmp(name, "<") || !strcmp(name, ">") || !strcmp(name, "play") || !strcmp(name, "up") || !strcmp(name, "down")) {
        QPolygonF tri;
        if (!strcmp(name, "<")) tri << QPointF(r.right(), r.top()) << QPointF(r.left(), c.y()) << QPointF(r.right(), r.bottom());
        else if (!strcmp(name, "up")) tri << QPointF(r.left(), r.bottom()) << QPointF(c.x(), r.top()) << QPointF(r.right(), r.bottom());
        else if (!strcmp(name, "down")) tri << QPointF(r.left(), r.top()) << QPointF(c.x(), r.bottom()) << QPointF(r.right(), r.top());
        else tri << QPointF(r.left(), r.top()) << QPointF(r.right(), c.y()) << QPointF(r.left(), r.bottom());
        p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(tri);
    } else if (!strcmp(name, "pause")) {
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(r.left() + w * 0.1, r.top(), w * 0.3, h));
        p.drawRect(QRectF(r.left() + w * 0.6, r.top(), w * 0.3, h));
    } else if (!strcmp(name, "close")) {
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
    } else if (!strcmp(name, "minimise")) {
        p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()));
    } else if (!strcmp(name, "circle")) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r);
    } else if (!strcmp(name, "dot")) {
        p.setPen(Qt::NoPen);
        p.drawEllipse(r);
    }
    p.restore();
}

// [SECTION] The Earth

QImage LoadWorldImagery(BuildContext& ctx) {
    std::vector<uint8_t> rgb;
    std::string overview = VolumePath(ctx, "raster\\rgb\\rgb2.top");
    if (ReadWholeFile(overview.c_str(), &rgb, 6u << 20) && rgb.size() == 1600u * 1200u * 3u) {
        QImage world(1600, 1200, QImage::Format_RGB32);
        for (int y = 0; y < 1200; y++) {
            QRgb* row = reinterpret_cast<QRgb*>(world.scanLine(y));
            const uint8_t* s = rgb.data() + (size_t)y * 1600 * 3;
            for (int x = 0; x < 1600; x++) row[x] = qRgb(s[3 * x], s[3 * x + 1], s[3 * x + 2]);
        }
        return world;
    }
    std::string jpeg = RecipeValue(ctx, "imagery", MUNDORA_SOURCE_ROOT "/node_modules/three-globe/example/img/earth-blue-marble.jpg");
    QImage world(QString::fromStdString(jpeg));
    if (world.isNull()) {
        BuildError("Cannot read the world imagery %s (and the volume has no raster\\rgb\\rgb2.top yet)", jpeg.c_str());
        return world;
    }
    return world.scaled(2048, 1024, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

static QRgb SampleWorld(const QImage& world, double lon, double lat) {
    double u = (lon + 180.0) / 360.0, v = (90.0 - lat) / 180.0;
    u -= std::floor(u);
    int x = std::min(world.width() - 1, (int)(u * world.width()));
    int y = std::clamp((int)(v * world.height()), 0, world.height() - 1);
    return reinterpret_cast<const QRgb*>(world.constScanLine(y))[x];
}

QImage RenderGlobe(const QImage& world, int diameter, double lon0, double lat0) {
    QImage out(diameter, diameter, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    if (world.isNull() || diameter < 2) return out;
    double radius = diameter / 2.0;
    double phi0 = lat0 * M_PI / 180;
    double lx = -0.55, ly = 0.45, lz = 0.70;  // light from the upper left, in front
    double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll, ly /= ll, lz /= ll;
    const int ss = 2;  // supersampling per axis
    for (int y = 0; y < diameter; y++) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < diameter; x++) {
            double r = 0, g = 0, b = 0;
            int hits = 0;
            for (int sy = 0; sy < ss; sy++) {
                for (int sx = 0; sx < ss; sx++) {
                    double nx = (x + (sx + 0.5) / ss - radius) / radius;
                    double ny = (radius - (y + (sy + 0.5) / ss)) / radius;
                    double d2 = nx * nx + ny * ny;
                    if (d2 > 1) continue;
                    double nz = std::sqrt(1 - d2);
                    double lat = std::asin(std::clamp(ny * std::cos(phi0) + nz * std::sin(phi0), -1.0, 1.0)) * 180 / M_PI;
                    double lon = lon0 + std::atan2(nx, nz * std::cos(phi0) - ny * std::sin(phi0)) * 180 / M_PI;
                    QRgb c = SampleWorld(world, lon, lat);
                    double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
                    double shade = 0.18 + 0.95 * diffuse;
                    double rim = std::pow(1 - nz, 2.5);
                    double cr = qRed(c) * shade, cg = qGreen(c) * shade, cb = qBlue(c) * shade;
                    cr = cr * (1 - rim * 0.7) + 110 * rim * 0.7;
                    cg = cg * (1 - rim * 0.7) + 170 * rim * 0.7;
                    cb = cb * (1 - rim * 0.7) + 255 * rim * 0.7;
                    r += cr, g += cg, b += cb;
                    hits++;
                }
            }
            if (!hits) continue;
            int a = 255 * hits / (ss * ss);
            row[x] = qRgba(std::min(255, (int)(r / hits)), std::min(255, (int)(g / hits)), std::min(255, (int)(b / hits)), a);
        }
    }
    return out;
}

void DrawStarfield(QPainter& p, const QRectF& r, unsigned seed) {
    p.save();
    p.fillRect(r, QColor(3, 6, 14));
    QRadialGradient nebula(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3, r.width() * 0.6);
    nebula.setColorAt(0, QColor(40, 60, 110, 90));
    nebula.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(r, nebula);
    QRandomGenerator rng(seed);
    p.setPen(Qt::NoPen);
    int count = (int)(r.width() * r.height() / 900);
    for (int i = 0; i < count; i++) {
        double x = r.left() + rng.bounded(r.width()), y = r.top() + rng.bounded(r.height());
        int bright = 90 + rng.bounded(165);
        double size = rng.bounded(100) < 8 ? 1.6 : 0.9;
        p.setBrush(QColor(bright, bright, std::min(255, bright + 30)));
        p.drawEllipse(QPointF(x, y), size / 2, size / 2);
    }
    p.restore();
}
