// The window shown at a whole multiple of the program's 800 x 600 (or 640 x 480) pixels: the
// crisp copy of the window image into the larger one, and the arithmetic that takes pointer
// positions back to program pixels and program pixels out to the window.
#include <cmath>
#include <cstring>

#include "platform/qt_private.h"

// Rounds towards minus infinity, so that a pointer just left of the image lands at -1, not 0.
static int FloorDivide(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void ScaleImageArea(const QImage& source, const QRect& area, int factor, QImage* target) {
    QRect r = area & source.rect();
    if (r.isEmpty() || factor < 1) return;
    if (target->width() < source.width() * factor || target->height() < source.height() * factor) return;
    const size_t rowBytes = (size_t)r.width() * factor * 4;
    for (int y = r.top(); y <= r.bottom(); y++) {
        const uint32_t* from = reinterpret_cast<const uint32_t*>(source.constScanLine(y)) + r.left();
        uint32_t* to = reinterpret_cast<uint32_t*>(target->scanLine(y * factor)) + r.left() * factor;
        for (int x = 0; x < r.width(); x++)
            for (int k = 0; k < factor; k++) *to++ = from[x];
        // The other rows of the block are the same row again.
        const uchar* first = target->constScanLine(y * factor) + (size_t)r.left() * factor * 4;
        for (int k = 1; k < factor; k++) memcpy(target->scanLine(y * factor + k) + (size_t)r.left() * factor * 4, first, rowBytes);
    }
}

Point ProgramPointFromDevice(const WindowMapping& m, int deviceX, int deviceY) {
    return Point{FloorDivide(deviceX - m.offsetX, m.factor), FloorDivide(deviceY - m.offsetY, m.factor)};
}

Point ProgramPointFromWindow(const WindowMapping& m, double windowX, double windowY) {
    return ProgramPointFromDevice(m, (int)std::floor(windowX * m.devicePixelRatio), (int)std::floor(windowY * m.devicePixelRatio));
}

QPointF WindowPointFromProgram(const WindowMapping& m, int x, int y) {
    // The middle of the block the program pixel became.
    double dx = x * m.factor + m.offsetX + m.factor / 2.0;
    double dy = y * m.factor + m.offsetY + m.factor / 2.0;
    return QPointF(dx / m.devicePixelRatio, dy / m.devicePixelRatio);
}

QRect DeviceRectFromProgram(const WindowMapping& m, const QRect& r) {
    return QRect(r.x() * m.factor + m.offsetX, r.y() * m.factor + m.offsetY, r.width() * m.factor, r.height() * m.factor);
}

QRect WindowRectFromDevice(const WindowMapping& m, const QRect& r) {
    double k = 1.0 / m.devicePixelRatio;
    return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k).toAlignedRect();
}
