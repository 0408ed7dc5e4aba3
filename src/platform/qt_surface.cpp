// Drawing surfaces on QImage: the drawing state of a classic device context (pen, brush,
// raster operation, text colour and background, alignment, font, clipping) and its operations.
// Thin solid lines are drawn pixel by pixel so XOR rubber bands and end points behave exactly
// as the views expect (the last point of a line is not drawn). A printer page takes the same
// calls through the printer's painter at the printer's resolution; it cannot be read back.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/platform.h"
#include "platform/qt_private.h"

QImage& SurfaceImage(Surface* s) { return s->image; }
const QImage& SurfaceImage(const Surface* s) { return s->image; }

static QColor ToQColor(ColourRef c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }
static uint32_t ToPixel(ColourRef c) { return 0xFF000000u | ((uint32_t)ColourRed(c) << 16) | ((uint32_t)ColourGreen(c) << 8) | (uint32_t)ColourBlue(c); }

QString FromCp1252(const char* text, int length) {
    if (length < 0) length = (int)strlen(text);
    static QStringDecoder decoder("windows-1252");
    if (decoder.isValid()) return decoder.decode(QByteArrayView(text, length));
    return QString::fromLatin1(text, length);
}

std::string ToCp1252(const QString& text) {
    static QStringEncoder encoder("windows-1252");
    QByteArray b = encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
    return std::string(b.constData(), (size_t)b.size());
}

Surface* CreateSurface(int width, int height) {
    VectorStateGuard guard;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
    Surface* s = new Surface();
    s->image = QImage(width, height, QImage::Format_RGB32);
    if (s->image.isNull()) {
        delete s;
        return nullptr;
    }
    s->image.fill(0xFF000000u);
    return s;
}

void DeleteSurface(Surface* s) {
    if (s && s->page) DeletePrinterPage(s);
    delete s;
}
int SurfaceWidth(const Surface* s) { return !s ? 0 : s->page ? PrinterPageWidth(s) : s->image.width(); }
int SurfaceHeight(const Surface* s) { return !s ? 0 : s->page ? PrinterPageHeight(s) : s->image.height(); }
uint32_t* SurfacePixels(Surface* s) { return s->page ? nullptr : reinterpret_cast<uint32_t*>(s->image.bits()); }
int IsPrinterSurface(const Surface* s) { return s && s->page ? 1 : 0; }
void SurfaceResolution(const Surface* s, int* dpiX, int* dpiY) {
    *dpiX = s ? s->dpiX : 96;
    *dpiY = s ? s->dpiY : 96;
}
void SetSurfaceResolution(Surface* s, int dpiX, int dpiY) {
    if (!s || s->page || dpiX <= 0 || dpiY <= 0) return;
    s->dpiX = dpiX;
    s->dpiY = dpiY;
}
double FontMagnification(const Surface* s) { return s ? s->fontMagnification : 1.0; }
void SetFontMagnification(Surface* s, double factor) {
    s->fontMagnification = factor > 0 ? factor : 1.0;
    s->font.reset();
}
int SurfaceStride(const Surface* s) { return (int)(s->image.bytesPerLine() / 4); }

static void Dirty(const Surface* s, const QRect& r) { MarkWindowDirty(s, r); }

DrawState GetDrawState(const Surface* s) { return s->state; }
void SetDrawState(Surface* s, const DrawState& state) {
    s->state = state;
    s->font.reset();
}
void SetPen(Surface* s, int style, int width, ColourRef colour) {
    s->state.penStyle = style;
    s->state.penWidth = width < 1 ? 1 : width;
    s->state.penColour = colour;
}
void SetSolidBrush(Surface* s, ColourRef colour) {
    s->state.brushKind = BRUSH_SOLID;
    s->state.brushColour = colour;
}
void SetHatchBrush(Surface* s, int hatch, ColourRef colour) {
    s->state.brushKind = BRUSH_HATCHED;
    s->state.hatch = hatch;
    s->state.brushColour = colour;
}
void SetNullBrush(Surface* s) { s->state.brushKind = BRUSH_NULL; }
void SetRasterOp(Surface* s, int rop) { s->state.rop = rop; }
void SetTextColour(Surface* s, ColourRef colour) { s->state.textColour = colour; }
void SetBackgroundColour(Surface* s, ColourRef colour) { s->state.backgroundColour = colour; }
void SetBackgroundMode(Surface* s, int mode) { s->state.backgroundMode = mode; }
void SetTextAlign(Surface* s, int align) { s->state.textAlign = align; }
void SetFont(Surface* s, const FontSpec& font) {
    s->state.font = font;
    s->font.reset();
}

void SetClipRect(Surface* s, const Rect& r) {
    s->clipKind = 1;
    s->clipRect = QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}
void ClearClip(Surface* s) { s->clipKind = 0; }

static const QFont& SurfaceFont(Surface* s) {
    if (!s->font) {
        const FontSpec& f = s->state.font;
        int px = f.pixelHeight > 0 ? f.pixelHeight : (int)((double)f.points * f.dpi / 72.0 + 0.5);
        if (s->fontMagnification != 1.0) px = (int)(px * s->fontMagnification + 0.5);
        auto q = std::make_unique<QFont>(QString::fromLatin1(f.family.c_str()));
        q->setPixelSize(px < 1 ? 1 : px);
        q->setWeight(QFont::Weight(std::clamp(f.weight, 100, 900)));
        q->setItalic(f.italic != 0);
        q->setUnderline(f.underline != 0);
        q->setStyleStrategy(QFont::PreferAntialias);
        s->font = std::move(q);
    }
    return *s->font;
}

// A painter set up with the surface's clip and raster operation.
static void PreparePainter(Surface* s, QPainter& p) {
    if (s->clipKind == 1) p.setClipRect(s->clipRect);
    else if (s->clipKind == 2) p.setClipRegion(QRegion(s->clipPolygon));
    else p.setClipping(false);
    if (s->page) return;  // paper knows no raster operations
    if (s->state.rop == ROP_XOR) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    else if (s->state.rop == ROP_INVERT) p.setCompositionMode(QPainter::RasterOp_NotDestination);
}

// The painter of a drawing call: the printer page's own (its state saved for the call), or
// one opened on the image for the call.
struct SurfacePainter {
    Surface* s;
    QPainter own;
    QPainter* p;
    explicit SurfacePainter(Surface* surface) : s(surface), p(nullptr) {
        if (s->page) {
            p = PrinterPainter(s);
            if (p) p->save();
        } else {
            own.begin(&s->image);
            p = &own;
        }
        if (p) PreparePainter(s, *p);
    }
    ~SurfacePainter() {
        if (s->page && p) p->restore();
    }
    SurfacePainter(const SurfacePainter&) = delete;
    SurfacePainter& operator=(const SurfacePainter&) = delete;
};

// On paper a dashed pen keeps its width (a printed map's line thickness applies to every style).
static QPen MakePen(const DrawState& st, int paper = 0) {
    if (st.penStyle == PEN_NULL) return QPen(Qt::NoPen);
    QPen pen(ToQColor(st.penColour));
    int dashed = st.penStyle == PEN_DASH || st.penStyle == PEN_DOT || st.penStyle == PEN_DASHDOTDOT || st.penStyle == PEN_DASHDOT;
    pen.setWidth(dashed && !paper ? 1 : st.penWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (st.penStyle) {
    case PEN_DASH: pen.setDashPattern({18, 6}); break;
    case PEN_DOT: pen.setDashPattern({3, 3}); break;
    case PEN_DASHDOT: pen.setDashPattern({9, 6, 3, 6}); break;
    case PEN_DASHDOTDOT: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    if (st.penWidth > 1 && !dashed) pen.setCapStyle(Qt::RoundCap), pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

static QBrush MakeBrush(const DrawState& st) {
    if (st.brushKind == BRUSH_NULL) return QBrush(Qt::NoBrush);
    if (st.brushKind == BRUSH_SOLID) return QBrush(ToQColor(st.brushColour));
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    int h = st.hatch >= 0 && st.hatch < 6 ? st.hatch : 4;
    return QBrush(ToQColor(st.brushColour), hatches[h]);
}

static void PaperLine(Surface* s, int x0, int y0, int x1, int y1) {
    SurfacePainter sp(s);
    if (!sp.p) return;
    sp.p->setPen(MakePen(s->state, 1));
    sp.p->drawLine(x0, y0, x1, y1);
}

static int InsideClip(const Surface* s, int x, int y) {
    if (x < 0 || y < 0 || x >= s->image.width() || y >= s->image.height()) return 0;
    if (s->clipKind == 1) return s->clipRect.contains(x, y);
    if (s->clipKind == 2) return s->clipPolygon.containsPoint(QPoint(x, y), Qt::OddEvenFill);
    return 1;
}

static void PlotPixel(Surface* s, int x, int y, uint32_t pixel) {
    if (!InsideClip(s, x, y)) return;
    uint32_t* row = reinterpret_cast<uint32_t*>(s->image.scanLine(y));
    if (s->state.rop == ROP_XOR) row[x] = 0xFF000000u | ((row[x] ^ pixel) & 0xFFFFFFu);
    else if (s->state.rop == ROP_INVERT) row[x] = 0xFF000000u | (~row[x] & 0xFFFFFFu);
    else row[x] = pixel;
}

// A segment reaching far outside the image (a zoomed-in map layer) is cut to the image with a
// margin first, so that stepping along it costs no more than its visible part. Segments
// within the margin are left exactly as given.
static int CutToImage(const Surface* s, int* x0, int* y0, int* x1, int* y1) {
    const int margin = 4096;
    const double left = -8, top = -8, right = s->image.width() + 8, bottom = s->image.height() + 8;
    auto near = [&](int x, int y) { return x > -margin && y > -margin && x < right + margin && y < bottom + margin; };
    if (near(*x0, *y0) && near(*x1, *y1)) return 1;
    double t0 = 0, t1 = 1, dx = (double)*x1 - *x0, dy = (double)*y1 - *y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {*x0 - left, right - *x0, *y0 - top, bottom - *y0};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0) return 0;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return 0;
    int ax = (int)lround(*x0 + t0 * dx), ay = (int)lround(*y0 + t0 * dy);
    int bx = (int)lround(*x0 + t1 * dx), by = (int)lround(*y0 + t1 * dy);
    *x0 = ax, *y0 = ay, *x1 = bx, *y1 = by;
    return 1;
}

// Map layers draw thousands of short polylines a repaint; stroking each through the toolkit
// costs far more than the pixels. Wide solid pens (up to 5 pixels) and the dashed styles are
// therefore plotted here: a round-ish stamp along Bresenham's line, or the dash pattern
// running on across the segments of the line, as the toolkit's own pens draw them.
struct DashWalk {
    const int* pattern;
    int n, index, left, on;
};

static int DashPattern(int style, const int** pattern) {
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6}, dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case PEN_DASH: *pattern = dash; return 2;
    case PEN_DOT: *pattern = dot; return 2;
    case PEN_DASHDOT: *pattern = dashDot; return 4;
    case PEN_DASHDOTDOT: *pattern = dashDotDot; return 6;
    default: return 0;
    }
}

static void Stamp(Surface* s, int x, int y, int width, uint32_t pixel) {
    int lo = -(width - 1) / 2, hi = lo + width - 1;
    for (int dy = lo; dy <= hi; dy++)
        for (int dx = lo; dx <= hi; dx++) {
            if (width >= 3 && (dx == lo || dx == hi) && (dy == lo || dy == hi)) continue;  // rounded corners
            PlotPixel(s, x + dx, y + dy, pixel);
        }
}

static void SoftLine(Surface* s, int x0, int y0, int x1, int y1, int width, DashWalk* dash) {
    if (!CutToImage(s, &x0, &y0, &x1, &y1)) return;
    uint32_t pixel = ToPixel(s->state.penColour);
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        if (dash) {
            if (dash->on) PlotPixel(s, x, y, pixel);
            if (--dash->left == 0) {
                dash->index = (dash->index + 1) % dash->n;
                dash->left = dash->pattern[dash->index];
                dash->on = !dash->on;
            }
        } else {
            Stamp(s, x, y, width, pixel);
        }
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    if (!dash && width > 1) Stamp(s, x1, y1, width, pixel);
}

// Bresenham from (x0, y0) to (x1, y1), the end point excluded.
static void ThinLine(Surface* s, int x0, int y0, int x1, int y1) { SoftLine(s, x0, y0, x1, y1, 1, nullptr); }

static int ThinSolidPen(const DrawState& st) { return st.penStyle == PEN_SOLID && st.penWidth <= 1; }

static void DrawSegment(Surface* s, int x0, int y0, int x1, int y1) {
    if (s->state.penStyle == PEN_NULL) return;
    if (s->page) {
        PaperLine(s, x0, y0, x1, y1);
        return;
    }
    if (ThinSolidPen(s->state)) {
        ThinLine(s, x0, y0, x1, y1);
    } else {
        QPainter p(&s->image);
        PreparePainter(s, p);
        p.setPen(MakePen(s->state));
        p.drawLine(x0, y0, x1, y1);
    }
    int w = s->state.penWidth + 1;
    Dirty(s, QRect(QPoint(std::min(x0, x1) - w, std::min(y0, y1) - w), QPoint(std::max(x0, x1) + w, std::max(y0, y1) + w)));
}

void MoveTo(Surface* s, int x, int y) { s->state.current = Point{x, y}; }

void LineTo(Surface* s, int x, int y) {
    DrawSegment(s, s->state.current.x, s->state.current.y, x, y);
    s->state.current = Point{x, y};
}

static int SoftPolyline(Surface* s, const Point* points, int count) {
    const DrawState& st = s->state;
    if (st.rop != ROP_COPY) return 0;
    const int* pattern = nullptr;
    int n = DashPattern(st.penStyle, &pattern);
    if (n) {
        DashWalk walk{pattern, n, 0, pattern[0], 1};
        for (int i = 1; i < count; i++) SoftLine(s, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, 1, &walk);
        return 1;
    }
    if (st.penStyle != PEN_SOLID || st.penWidth > 5) return 0;
    for (int i = 1; i < count; i++) SoftLine(s, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, st.penWidth, nullptr);
    return 1;
}

void Polyline(Surface* s, const Point* points, int count) {
    VectorStateGuard guard;
    if (count < 2 || s->state.penStyle == PEN_NULL) return;
    if (s->page) {
        SurfacePainter sp(s);
        if (!sp.p) return;
        sp.p->setPen(MakePen(s->state, 1));
        QPolygon poly;
        for (int i = 0; i < count; i++) poly << QPoint(points[i].x, points[i].y);
        sp.p->drawPolyline(poly);
        return;
    }
    if (ThinSolidPen(s->state)) {
        for (int i = 1; i < count; i++) ThinLine(s, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    } else if (SoftPolyline(s, points, count)) {
    } else {
        QPainter p(&s->image);
        PreparePainter(s, p);
        p.setPen(MakePen(s->state));
        QPolygon poly;
        for (int i = 0; i < count; i++) poly << QPoint(points[i].x, points[i].y);
        p.drawPolyline(poly);
    }
    if (s == WindowSurface()) {
        QRect box;
        for (int i = 0; i < count; i++) box = box.united(QRect(points[i].x - 4, points[i].y - 4, 9, 9));
        Dirty(s, box.adjusted(-s->state.penWidth, -s->state.penWidth, s->state.penWidth, s->state.penWidth));
    }
}

void PolygonShape(Surface* s, const Point* points, int count) {
    VectorStateGuard guard;
    if (count < 2) return;
    QPolygon poly;
    for (int i = 0; i < count; i++) poly << QPoint(points[i].x, points[i].y);
    {
        SurfacePainter sp(s);
        if (!sp.p) return;
        sp.p->setPen(MakePen(s->state, s->page != nullptr));
        sp.p->setBrush(MakeBrush(s->state));
        sp.p->drawPolygon(poly);
    }
    Dirty(s, poly.boundingRect().adjusted(-s->state.penWidth, -s->state.penWidth, s->state.penWidth, s->state.penWidth));
}

void RectangleShape(Surface* s, int left, int top, int right, int bottom) {
    VectorStateGuard guard;
    if (right - left < 1 || bottom - top < 1) return;
    if (s->page) {
        SurfacePainter sp(s);
        if (!sp.p) return;
        if (s->state.brushKind != BRUSH_NULL) sp.p->fillRect(QRect(left, top, right - left, bottom - top), MakeBrush(s->state));
        if (s->state.penStyle != PEN_NULL) {
            QPen pen = MakePen(s->state, 1);
            pen.setJoinStyle(Qt::MiterJoin);
            sp.p->setPen(pen);
            sp.p->setBrush(Qt::NoBrush);
            int w = s->state.penWidth;  // the outline inside the rectangle, as on screen
            sp.p->drawRect(QRectF(left + w / 2.0, top + w / 2.0, right - left - w, bottom - top - w));
        }
        return;
    }
    QPainter p(&s->image);
    PreparePainter(s, p);
    if (s->state.brushKind != BRUSH_NULL) p.fillRect(QRect(left, top, right - left, bottom - top), MakeBrush(s->state));
    p.end();
    if (s->state.penStyle != PEN_NULL) {
        Point corners[5] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}};
        if (ThinSolidPen(s->state)) {
            for (int i = 1; i < 5; i++) ThinLine(s, corners[i - 1].x, corners[i - 1].y, corners[i].x, corners[i].y);
        } else {
            QPainter q(&s->image);
            PreparePainter(s, q);
            q.setPen(MakePen(s->state));
            q.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
        }
    }
    Dirty(s, QRect(left - 2, top - 2, right - left + 4, bottom - top + 4));
}

void EllipseShape(Surface* s, int left, int top, int right, int bottom) {
    VectorStateGuard guard;
    {
        SurfacePainter sp(s);
        if (!sp.p) return;
        sp.p->setPen(MakePen(s->state, s->page != nullptr));
        sp.p->setBrush(MakeBrush(s->state));
        sp.p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    }
    Dirty(s, QRect(left - 2, top - 2, right - left + 4, bottom - top + 4));
}

void FillRect(Surface* s, const Rect& r, ColourRef colour) {
    VectorStateGuard guard;
    if (s->page) {
        SurfacePainter sp(s);
        if (sp.p) sp.p->fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(colour));
        return;
    }
    QRect q = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).intersected(s->image.rect());
    if (s->clipKind == 1) q = q.intersected(s->clipRect);
    if (q.isEmpty()) return;
    if (s->clipKind == 2) {
        QPainter p(&s->image);
        PreparePainter(s, p);
        p.fillRect(q, ToQColor(colour));
    } else {
        uint32_t pixel = ToPixel(colour);
        for (int y = q.top(); y <= q.bottom(); y++) {
            uint32_t* row = reinterpret_cast<uint32_t*>(s->image.scanLine(y));
            std::fill(row + q.left(), row + q.right() + 1, pixel);
        }
    }
    Dirty(s, q);
}

void SetPixel(Surface* s, int x, int y, ColourRef colour) {
    if (s->page) {
        FillRect(s, Rect{x, y, x + 1, y + 1}, colour);
        return;
    }
    if (!InsideClip(s, x, y)) return;
    reinterpret_cast<uint32_t*>(s->image.scanLine(y))[x] = ToPixel(colour);
    Dirty(s, QRect(x, y, 1, 1));
}

ColourRef GetPixel(const Surface* s, int x, int y) {
    if (s->page) return MakeColour(255, 255, 255);  // paper is not read back
    if (x < 0 || y < 0 || x >= s->image.width() || y >= s->image.height()) return 0xFFFFFFFFu;
    uint32_t p = reinterpret_cast<const uint32_t*>(s->image.constScanLine(y))[x];
    return MakeColour((p >> 16) & 255, (p >> 8) & 255, p & 255);
}

// Metrics of the surface's font on its own device (a printer measures at its resolution).
static QFontMetrics SurfaceMetrics(Surface* s) {
    QPainter* p = s->page ? PrinterPainter(s) : nullptr;
    return p ? QFontMetrics(SurfaceFont(s), p->device()) : QFontMetrics(SurfaceFont(s));
}

Point TextExtent(Surface* s, const char* text, int length) {
    QFontMetrics m = SurfaceMetrics(s);
    QString t = FromCp1252(text, length);
    return Point{m.horizontalAdvance(t), m.height()};
}

int FontAscent(Surface* s) { return SurfaceMetrics(s).ascent(); }

void TextOut(Surface* s, int x, int y, const char* text, int length) {
    VectorStateGuard guard;
    QString t = FromCp1252(text, length);
    if (t.isEmpty()) return;
    const QFont& font = SurfaceFont(s);
    QFontMetrics m = SurfaceMetrics(s);
    int w = m.horizontalAdvance(t), h = m.height();
    int align = s->state.textAlign;
    int dx = 0;
    if ((align & TA_CENTER) == TA_CENTER) dx = -w / 2;
    else if (align & TA_RIGHT) dx = -w;
    int top = 0;  // offset of the text box's top from the reference point
    if ((align & TA_BASELINE) == TA_BASELINE) top = -m.ascent();
    else if (align & TA_BOTTOM) top = -h;
    QRect bounds;
    {
        SurfacePainter sp(s);
        if (!sp.p) return;
        QPainter& p = *sp.p;
        p.setFont(font);
        p.translate(x, y);
        double angle = s->state.font.escapement / 10.0;
        if (angle != 0) p.rotate(-angle);
        QRect box(dx, top, w, h);
        if (s->state.backgroundMode == BK_OPAQUE) p.fillRect(box, ToQColor(s->state.backgroundColour));
        p.setPen(ToQColor(s->state.textColour));
        p.drawText(QPoint(dx, top + m.ascent()), t);
        bounds = p.transform().mapRect(box).adjusted(-2, -2, 2, 2);
    }
    Dirty(s, bounds);
}

void Blit(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, int rop) {
    VectorStateGuard guard;
    if (src->page) {  // paper reads back as white
        if (!dst->page) FillRect(dst, Rect{x, y, x + w, y + h}, MakeColour(255, 255, 255));
        return;
    }
    if (dst->page) {
        SurfacePainter sp(dst);
        if (sp.p) sp.p->drawImage(QPoint(x, y), src->image, QRect(sx, sy, w, h));
        return;
    }
    // Clip against both images.
    if (sx < 0) { x -= sx; w += sx; sx = 0; }
    if (sy < 0) { y -= sy; h += sy; sy = 0; }
    if (x < 0) { sx -= x; w += x; x = 0; }
    if (y < 0) { sy -= y; h += y; y = 0; }
    w = std::min({w, src->image.width() - sx, dst->image.width() - x});
    h = std::min({h, src->image.height() - sy, dst->image.height() - y});
    if (w <= 0 || h <= 0) return;
    if (dst->clipKind != 0) {
        QPainter p(&dst->image);
        PreparePainter(dst, p);
        if (rop == ROP_XOR) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawImage(QPoint(x, y), src->image, QRect(sx, sy, w, h));
    } else {
        for (int r = 0; r < h; r++) {
            const uint32_t* from = reinterpret_cast<const uint32_t*>(src->image.constScanLine(sy + r)) + sx;
            uint32_t* to = reinterpret_cast<uint32_t*>(dst->image.scanLine(y + r)) + x;
            if (rop == ROP_XOR)
                for (int c = 0; c < w; c++) to[c] = 0xFF000000u | ((to[c] ^ from[c]) & 0xFFFFFFu);
            else
                memmove(to, from, (size_t)w * 4);
        }
    }
    Dirty(dst, QRect(x, y, w, h));
}

// An image drawn on a printer page goes through a surface of its own.
static void DrawThroughImage(Surface* page, int x, int y, int w, int h, void (*draw)(Surface*, const void*), const void* what) {
    Surface* tmp = CreateSurface(w, h);
    if (!tmp) return;
    draw(tmp, what);
    Blit(page, x, y, w, h, tmp, 0, 0);
    DeleteSurface(tmp);
}

void DrawPaletteImage(Surface* dst, int x, int y, const uint8_t* pixels, int w, int h, int stride, const ColourRef* palette) {
    VectorStateGuard guard;
    if (dst->page) {
        struct Args { const uint8_t* pixels; int w, h, stride; const ColourRef* palette; } a{pixels, w, h, stride, palette};
        DrawThroughImage(dst, x, y, w, h, [](Surface* t, const void* v) {
            const Args* a = (const Args*)v;
            DrawPaletteImage(t, 0, 0, a->pixels, a->w, a->h, a->stride, a->palette);
        }, &a);
        return;
    }
    uint32_t lut[256];
    for (int i = 0; i < 256; i++) lut[i] = ToPixel(palette[i]);
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(dst->image.width(), x + w), y1 = std::min(dst->image.height(), y + h);
    for (int yy = y0; yy < y1; yy++) {
        const uint8_t* from = pixels + (size_t)(yy - y) * stride;
        uint32_t* to = reinterpret_cast<uint32_t*>(dst->image.scanLine(yy));
        for (int xx = x0; xx < x1; xx++) to[xx] = lut[from[xx - x]];
    }
    if (x1 > x0 && y1 > y0) Dirty(dst, QRect(x0, y0, x1 - x0, y1 - y0));
}

void DrawBgrImage(Surface* dst, int x, int y, const uint8_t* pixels, int w, int h, int stride) {
    VectorStateGuard guard;
    if (dst->page) {
        struct Args { const uint8_t* pixels; int w, h, stride; } a{pixels, w, h, stride};
        DrawThroughImage(dst, x, y, w, h, [](Surface* t, const void* v) {
            const Args* a = (const Args*)v;
            DrawBgrImage(t, 0, 0, a->pixels, a->w, a->h, a->stride);
        }, &a);
        return;
    }
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(dst->image.width(), x + w), y1 = std::min(dst->image.height(), y + h);
    for (int yy = y0; yy < y1; yy++) {
        const uint8_t* from = pixels + (size_t)(yy - y) * stride;
        uint32_t* to = reinterpret_cast<uint32_t*>(dst->image.scanLine(yy));
        for (int xx = x0; xx < x1; xx++) {
            const uint8_t* b = from + 3 * (xx - x);
            to[xx] = 0xFF000000u | ((uint32_t)b[2] << 16) | ((uint32_t)b[1] << 8) | b[0];
        }
    }
    if (x1 > x0 && y1 > y0) Dirty(dst, QRect(x0, y0, x1 - x0, y1 - y0));
}

void StretchBlit(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, int sw, int sh) {
    VectorStateGuard guard;
    if (src->page || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    {
        SurfacePainter sp(dst);
        if (!sp.p) return;
        sp.p->setRenderHint(QPainter::SmoothPixmapTransform, true);
        sp.p->drawImage(QRect(x, y, w, h), src->image, QRect(sx, sy, sw, sh));
    }
    Dirty(dst, QRect(x, y, w, h));
}

// The surface's resolution goes into the file, so a page exported at 300 dpi prints at its size.
int SaveSurfacePng(const Surface* s, const char* path) {
    if (!s || s->page) return 0;
    QImage copy = s->image;
    copy.setDotsPerMeterX((int)(s->dpiX / 0.0254 + 0.5));
    copy.setDotsPerMeterY((int)(s->dpiY / 0.0254 + 0.5));
    return copy.save(QString::fromLocal8Bit(path), "PNG") ? 1 : 0;
}
