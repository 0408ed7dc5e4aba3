// Shared between the Qt files of the platform layer only.
#pragma once

#include <QFont>
#include <QImage>
#include <QPolygon>
#include <QPointF>
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

// [SECTION] The window at a whole multiple of the program's pixels (window_scale.cpp)

// How program pixels sit in the window: each becomes a factor x factor block of device
// pixels, the image's top-left corner at (offsetX, offsetY) device pixels (non-zero in full
// screen, where the image is centred); the toolkit's window coordinates are device pixels
// divided by the device pixel ratio.
struct WindowMapping {
    int factor = 1;
    double devicePixelRatio = 1.0;
    int offsetX = 0, offsetY = 0;
};
// The mapping the main window uses now.
WindowMapping CurrentWindowMapping();
// Copies an area of the source into the target image `factor` times as large, each pixel
// as a block of its own colour (no smoothing). The target must be that large.
void ScaleImageArea(const QImage& source, const QRect& area, int factor, QImage* target);
Point ProgramPointFromDevice(const WindowMapping& m, int deviceX, int deviceY);
Point ProgramPointFromWindow(const WindowMapping& m, double windowX, double windowY);
// The middle of a program pixel in the toolkit's window coordinates.
QPointF WindowPointFromProgram(const WindowMapping& m, int x, int y);
QRect DeviceRectFromProgram(const WindowMapping& m, const QRect& r);
// The smallest rectangle of window coordinates that covers the device rectangle.
QRect WindowRectFromDevice(const WindowMapping& m, const QRect& r);

// Closes the joystick and its subsystem (joystick.cpp).
void StopJoystick();

// [SECTION] Input replay and recording (qt_replay.cpp), called by the window and the queue

// Appends a message the replay delivers (qt_window.cpp).
void QueueReplayedMessage(const Message& m);
// The program is about to take or wait for a message: a replay that waits for the program to
// come back for more arms its timer for the next event now.
void ReplayPoll();
// A message left the queue (taken, or dropped by FlushMessages).
void ReplayNoteTaken(const Message& m);
// A replay is running whose events are still to come: an empty queue is not the end.
int ReplayExpectsEvents();
// The user's own input from the window (or injected by a test as if from it): 1 when it
// goes into the queue, 0 when a running replay shuts it out. Recorded while recording.
int AcceptUserInput(uint32_t kind, uint64_t wParam, int64_t lParam, uint32_t scanCode);
// Key presses and releases seen first by the replay and the recorder (the cancel key, the
// recorder's stop key); 1 when the key is theirs and goes no further.
int ReplayKeyPress(int qtKey, int autoRepeat);
void ReplayKeyRelease(int qtKey, int autoRepeat);
// Message boxes and dialogs run their modal loops between these.
void NoteModalLoop(int on);
