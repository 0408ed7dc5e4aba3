// Shared between the Qt files of the platform layer only.
#pragma once

#include <QFont>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <memory>

#include "platform/platform.h"

class QWidget;
class QPainter;
struct PrinterPage;

struct Surface {
    QImage image;                   // null for a printer page
    DrawState state;
    int clipKind = 0;               // 0 none, 1 rectangle, 2 polygon
    QRect clipRect;
    QPolygon clipPolygon;
    std::unique_ptr<QFont> font;    // built lazily from state.font
    int dpiX = 96, dpiY = 96;
    double fontMagnification = 1.0;
    PrinterPage* page = nullptr;    // set for a printer page (qt_printer.cpp)
};

// A printer page: its painter while a document is open, its size in printer pixels.
QPainter* PrinterPainter(Surface* s);  // 0 when no document is open
int PrinterPageWidth(const Surface* s);
int PrinterPageHeight(const Surface* s);
void DeletePrinterPage(Surface* s);

QImage& SurfaceImage(Surface* s);
const QImage& SurfaceImage(const Surface* s);
// Asks the window to show a changed area of the window surface.
void MarkWindowDirty(const Surface* s, const QRect& r);
// Hands the areas marked since the last call to the toolkit (before it runs an event loop).
void FlushWindowDirty();
QWidget* MainWidgetForDialogs();
// Windows-1252 bytes to and from Qt text.
QString FromCp1252(const char* text, int length = -1);
std::string ToCp1252(const QString& text);

// Qt's vectorised drawing and event code can leave the upper halves of the AVX registers in
// use; until they are cleared every ordinary floating-point instruction that follows pays a
// transition penalty on many processors (the satellite propagator ran seven times slower).
// The clearing instruction exists only with AVX, so it is issued only where the processor has it.
inline void ClearUpperVectorState() {
#if defined(__x86_64__)
    static const int hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx) __asm__ volatile("vzeroupper" ::: "memory");
#endif
}
// Clears it when the drawing call that declares it returns.
struct VectorStateGuard {
    ~VectorStateGuard() { ClearUpperVectorState(); }
};

// Closes the joystick and its subsystem (joystick.cpp).
void StopJoystick();
