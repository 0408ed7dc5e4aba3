// The main window on Qt and the program's own message queue. Qt events become plain
// messages appended to the queue; the window shows the window surface's image.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>

#include "platform/platform.h"
#include "platform/qt_private.h"
#include "platform/test_double.h"

static struct {
    QApplication* app = nullptr;
    int ownsApp = 0;
    QElapsedTimer clock;
    std::deque<Message> queue;
    WindowProc proc = nullptr;
    QWidget* window = nullptr;
    Surface* windowSurface = nullptr;
    std::map<int, QTimer*> timers;
    int quitPosted = 0;
    int exitCode = 0;
    int sleeping = 0;  // inside the toolkit's blocking wait
    // Beyond the original design: the window's image at a whole multiple of its pixels.
    int scale = 1;
    QImage scaled;        // the window surface `scale` times as large (scale > 1 only)
    QRect staleScaled;    // the area of the window surface not yet copied into it
    int fullScreen = 0;
    int framed = 1;
    QSize normalSize;     // the widget's size outside full screen
    QPoint normalPosition;  // and its place before full screen
    int offsetX = 0, offsetY = 0;  // the image's corner in device pixels (full screen centres it)
} win;

static int argcKeep = 1;
static char argv0[] = "mundora";
static char* argvKeep[] = {argv0, nullptr};

static uint32_t VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    default: return 0;
    }
}

static uint64_t MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    uint64_t k = 0;
    if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

WindowMapping CurrentWindowMapping() {
    WindowMapping m;
    m.factor = win.scale;
    m.devicePixelRatio = win.window ? win.window->devicePixelRatioF() : 1.0;
    m.offsetX = win.offsetX;
    m.offsetY = win.offsetY;
    return m;
}

// A pointer position of the toolkit as the program's lParam: divided back to program pixels.
static int64_t PointerParam(const QPointF& position) {
    Point p = ProgramPointFromWindow(CurrentWindowMapping(), position.x(), position.y());
    return MakeMouseParam(p.x, p.y);
}

// Brings the scaled image up to date with what was drawn into the window surface.
static void RefreshScaledImage() {
    if (win.scale <= 1 || win.staleScaled.isEmpty() || !win.windowSurface) return;
    ScaleImageArea(SurfaceImage(win.windowSurface), win.staleScaled, win.scale, &win.scaled);
    win.staleScaled = QRect();
}

// The image's corner: the widget's middle, which is the corner itself when the widget has the
// image's size (it may be a pixel larger where the device pixel ratio is fractional).
static void PlaceImageInWidget(QWidget* w) {
    if (!win.windowSurface) return;
    double dpr = w->devicePixelRatioF();
    int deviceWidth = (int)std::lround(w->width() * dpr), deviceHeight = (int)std::lround(w->height() * dpr);
    win.offsetX = (deviceWidth - SurfaceWidth(win.windowSurface) * win.scale) / 2;
    win.offsetY = (deviceHeight - SurfaceHeight(win.windowSurface) * win.scale) / 2;
}

// The user's input goes into the queue unless a replay shuts it out; a recording keeps it.
static void UserInput(uint32_t kind, uint64_t wParam, int64_t lParam, uint32_t scanCode = 0) {
    if (AcceptUserInput(kind, wParam, lParam, scanCode)) PostMessage(kind, wParam, lParam);
}

class MainWidget : public QWidget {
public:
    MainWidget() { setMouseTracking(true); setFocusPolicy(Qt::StrongFocus); setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    // The exposed area in device pixels: black where it lies beside the image, the image's
    // blocks copied one to one elsewhere, so nothing is smoothed.
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        if (!win.windowSurface) return;
        WindowMapping m = CurrentWindowMapping();
        if (m.factor == 1 && m.devicePixelRatio == 1.0 && m.offsetX == 0 && m.offsetY == 0) {
            p.drawImage(e->rect(), SurfaceImage(win.windowSurface), e->rect());
            return;
        }
        RefreshScaledImage();
        const QImage& shown = m.factor > 1 ? win.scaled : SurfaceImage(win.windowSurface);
        double k = m.devicePixelRatio;
        QRect exposed = QRectF(e->rect().x() * k, e->rect().y() * k, e->rect().width() * k, e->rect().height() * k).toAlignedRect();
        QRect image(m.offsetX, m.offsetY, shown.width(), shown.height());
        p.scale(1.0 / k, 1.0 / k);
        if (!image.contains(exposed)) p.fillRect(exposed, Qt::black);
        QRect part = exposed & image;
        if (!part.isEmpty()) p.drawImage(part.topLeft(), shown, part.translated(-m.offsetX, -m.offsetY));
    }
    void resizeEvent(QResizeEvent* e) override {
        PlaceImageInWidget(this);
        QWidget::resizeEvent(e);
        update();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        UserInput(MSG_MOUSEMOVE, MouseKeys(e->buttons(), e->modifiers()), PointerParam(e->position()));
    }
    void mousePressEvent(QMouseEvent* e) override {
        uint32_t kind = e->button() == Qt::RightButton ? MSG_RBUTTONDOWN : MSG_LBUTTONDOWN;
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        UserInput(kind, MouseKeys(e->buttons(), e->modifiers()), PointerParam(e->position()));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        uint32_t kind = e->button() == Qt::RightButton ? MSG_RBUTTONUP : MSG_LBUTTONUP;
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        UserInput(kind, MouseKeys(e->buttons(), e->modifiers()), PointerParam(e->position()));
    }
    // Beyond the original design: wheel turns, in the classic units of 120 a notch.
    void wheelEvent(QWheelEvent* e) override {
        int delta = e->angleDelta().y();
        if (delta == 0) return;
        if (delta > 32767) delta = 32767;
        if (delta < -32768) delta = -32768;
        UserInput(MSG_MOUSEWHEEL, MakeWheelParam(delta, (uint32_t)MouseKeys(e->buttons(), e->modifiers())),
                    PointerParam(e->position()));
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (ReplayKeyPress(e->key(), e->isAutoRepeat())) return;
        uint32_t vk = VirtualKeyFromQt(e->key());
        // Full screen belongs to the window, not to a screen of the program: F11 works on
        // every one and never reaches them (Escape already means something on each).
        if (e->key() == Qt::Key_F11) {
            if (!e->isAutoRepeat()) SetFullScreen(!win.fullScreen);
            return;
        }
        uint32_t scan = e->nativeScanCode();
        if (e->key() == Qt::Key_F4 && (e->modifiers() & Qt::AltModifier)) {
            UserInput(MSG_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        if (e->key() == Qt::Key_Q && (e->modifiers() & Qt::ControlModifier)) {
            UserInput(MSG_COMMAND, 40005, 0);  // the exit command
            return;
        }
        if (e->key() == Qt::Key_F && (e->modifiers() & Qt::ControlModifier)) {
            UserInput(MSG_COMMAND, 40007, 0);  // beyond the original design: the find command
            return;
        }
        if ((e->key() == Qt::Key_P || e->key() == Qt::Key_S) && (e->modifiers() & Qt::ControlModifier)) {
            UserInput(MSG_COMMAND, e->key() == Qt::Key_P ? CMD_PRINT : CMD_EXPORT, 0);
            return;
        }
        if (vk) UserInput(MSG_KEYDOWN, vk, e->isAutoRepeat() ? (1ll << 30) : 0, scan);
        QByteArray text = e->text().toLatin1();
        for (char c : text)
            if ((uint8_t)c >= 32) UserInput(MSG_CHAR, (uint8_t)c, 0);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_F11) return;
        ReplayKeyRelease(e->key(), e->isAutoRepeat());
        uint32_t vk = VirtualKeyFromQt(e->key());
        if (vk && !e->isAutoRepeat()) UserInput(MSG_KEYUP, vk, 0, e->nativeScanCode());
    }
    void closeEvent(QCloseEvent* e) override {
        // The window is left only through the program's exit button or command.
        if (win.proc) {
            e->ignore();
            PostMessage(MSG_CLOSE, 0, 0);
        }
    }
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized) &&
            (static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMinimized))
            PostMessage(MSG_SYSCOMMAND, SC_RESTORE, 0);
        QWidget::changeEvent(e);
    }
};

// Drawing marks areas of the window image as changed; they are handed to the toolkit in one
// update before it next runs, so thousands of small strokes cost one repaint request.
static QRect pendingDirty;

void MarkWindowDirty(const Surface* s, const QRect& r) {
    if (win.window && s == win.windowSurface) {
        pendingDirty = pendingDirty.united(r);
        if (win.scale > 1) win.staleScaled = win.staleScaled.united(r & SurfaceImage(s).rect());
    }
}

void FlushWindowDirty() {
    VectorStateGuard guard;
    if (pendingDirty.isEmpty()) return;
    if (win.window) {
        WindowMapping m = CurrentWindowMapping();
        if (m.factor == 1 && m.devicePixelRatio == 1.0 && m.offsetX == 0 && m.offsetY == 0) {
            win.window->update(pendingDirty);
        } else {
            RefreshScaledImage();
            win.window->update(WindowRectFromDevice(m, DeviceRectFromProgram(m, pendingDirty)));
        }
    }
    pendingDirty = QRect();
}

int PlatformInit(int argc, char** argv) {
    VectorStateGuard guard;
    if (QApplication::instance()) {
        win.app = qobject_cast<QApplication*>(QApplication::instance());
    } else {
        if (argc > 0 && argv) {
            argcKeep = argc;
            win.app = new QApplication(argcKeep, argv);
        } else {
            win.app = new QApplication(argcKeep, argvKeep);
        }
        win.ownsApp = 1;
    }
    win.clock.start();
    QApplication::setQuitOnLastWindowClosed(false);
    return win.app != nullptr;
}

void PlatformShutdown() {
    StopJoystick();
    DestroyMainWindow();
    if (win.ownsApp) {
        delete win.app;
        win.app = nullptr;
        win.ownsApp = 0;
    }
}

uint32_t TickCount() { return win.clock.isValid() ? (uint32_t)win.clock.elapsed() : 0; }

// Hands what was drawn to the toolkit, then sleeps until it has an event to handle (input, a
// repaint, a timer) and handles it; with a limit (timeoutMs >= 0) a timer ends the sleep then.
static void SleepUntilToolkitEvent(int timeoutMs) {
    FlushWindowDirty();
    QTimer wake;
    if (timeoutMs >= 0) {
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(timeoutMs);
    }
    win.sleeping = 1;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    ClearUpperVectorState();
    win.sleeping = 0;
}

void Delay(double seconds) {
    uint32_t ms = seconds > 0 ? (uint32_t)(seconds * 1000.0) : 0;
    // Tests run animations at once and check the pauses they asked for.
    if (TestPausesSkipped()) {
        TestRecordPause((int)ms);
        return;
    }
    uint32_t deadline = TickCount() + ms;
    if (!win.app) {
        QThread::msleep(ms);
        return;
    }
    // Show first what was drawn just before the pause (a flashed button, an animation frame).
    FlushWindowDirty();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ClearUpperVectorState();
    for (;;) {
        int32_t left = (int32_t)(deadline - TickCount());
        if (left <= 0) return;
        SleepUntilToolkitEvent(left);
    }
}

// The icon the build embeds in the viewer; without it (a build without the volume builder)
// the icon the desktop has installed under the program's name.
static QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {48, 128, 256}) {
        QString name = QString(":/mundora/mundora-%1.png").arg(size);
        if (QFile::exists(name)) icon.addFile(name, QSize(size, size));
    }
    return icon.isNull() ? QIcon::fromTheme("mundora") : icon;
}

static QScreen* ScreenUnderPointer() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

// What a window manager's frame usually adds, in the toolkit's coordinates. The real frame is
// known only once the window is shown, after its size has been chosen.
constexpr int kFrameAllowanceWidth = 8, kFrameAllowanceHeight = 32;

static struct {
    int width, height, depth, dpi;
} fakeScreen;

ScreenScaleFacts ScreenFactsForScaling() {
    ScreenScaleFacts f;
    if (fakeScreen.width && fakeScreen.height) {
        f.screenWidth = f.availableWidth = fakeScreen.width;
        f.screenHeight = f.availableHeight = fakeScreen.height;
        f.frameWidth = kFrameAllowanceWidth, f.frameHeight = kFrameAllowanceHeight;
        return f;
    }
    QScreen* screen = ScreenUnderPointer();
    if (!screen) return f;
    double dpr = screen->devicePixelRatio();
    f.devicePixelRatio = dpr;
    f.screenWidth = (int)std::lround(screen->geometry().width() * dpr);
    f.screenHeight = (int)std::lround(screen->geometry().height() * dpr);
    f.availableWidth = (int)std::lround(screen->availableGeometry().width() * dpr);
    f.availableHeight = (int)std::lround(screen->availableGeometry().height() * dpr);
    f.frameWidth = (int)std::lround(kFrameAllowanceWidth * dpr);
    f.frameHeight = (int)std::lround(kFrameAllowanceHeight * dpr);
    return f;
}

// The old top-left placement suited a single small desktop, not today's multi-monitor one:
// the window opens centred on the screen that holds the pointer.
static void CentreOnScreen(QWidget* w, int width, int height) {
    QScreen* screen = ScreenUnderPointer();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    w->move(area.x() + std::max(0, (area.width() - width) / 2), area.y() + std::max(0, (area.height() - height) / 2));
}

int CreateMainWindow(const WindowOptions& options, WindowProc proc) {
    VectorStateGuard guard;
    if (win.window) return 0;
    win.windowSurface = CreateSurface(options.clientWidth, options.clientHeight);
    if (!win.windowSurface) return 0;
    win.proc = proc;
    win.quitPosted = 0;
    win.queue.clear();
    win.scale = options.scale >= 1 && options.scale <= 3 ? options.scale : 1;
    win.scaled = QImage();
    win.staleScaled = QRect();
    win.fullScreen = 0;
    win.framed = options.framed;
    win.offsetX = win.offsetY = 0;
    if (win.scale > 1) {
        win.scaled = QImage(options.clientWidth * win.scale, options.clientHeight * win.scale, QImage::Format_RGB32);
        if (win.scaled.isNull()) {
            DeleteSurface(win.windowSurface);
            win.windowSurface = nullptr;
            return 0;
        }
        win.staleScaled = QRect(0, 0, options.clientWidth, options.clientHeight);
    }
    MainWidget* w = new MainWidget();
    w->setWindowTitle(QString::fromLatin1(options.title));
    // The widget covers the scaled image in device pixels; where the device pixel ratio is
    // fractional it is rounded up and the image sits in its corner.
    double dpr = w->devicePixelRatioF();
    win.normalSize = QSize((int)std::ceil(options.clientWidth * win.scale / dpr - 1e-9),
                           (int)std::ceil(options.clientHeight * win.scale / dpr - 1e-9));
    if (options.framed) {
        w->setFixedSize(win.normalSize);
    } else {
        w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        w->resize(win.normalSize);
    }
    // The desktop matches the window to the menu entry mundora.desktop and its icon.
    QGuiApplication::setDesktopFileName("mundora");
    QIcon icon = ProgramIcon();
    QApplication::setWindowIcon(icon);
    w->setWindowIcon(icon);
    CentreOnScreen(w, win.normalSize.width(), win.normalSize.height());
    win.window = w;
    PlaceImageInWidget(w);
    PostMessage(MSG_CREATE, 0, 0);
    return 1;
}

void ShowMainWindow() {
    VectorStateGuard guard;
    if (!win.window) return;
    win.window->show();
    win.window->raise();
    win.window->activateWindow();
}

void MinimiseMainWindow() {
    if (win.window) win.window->showMinimized();
}

void RaiseMainWindow() {
    if (!win.window) return;
    if (win.window->isMinimized()) {
        if (win.fullScreen) win.window->showFullScreen();
        else win.window->showNormal();
    }
    win.window->raise();
    win.window->activateWindow();
}

void DestroyMainWindow() {
    for (auto& t : win.timers) delete t.second;
    win.timers.clear();
    if (win.window) {
        win.proc = nullptr;
        win.window->hide();
        delete win.window;
        win.window = nullptr;
    }
    if (win.windowSurface) {
        DeleteSurface(win.windowSurface);
        win.windowSurface = nullptr;
    }
}

int MainWindowExists() { return win.window != nullptr; }

void SetFullScreen(int on) {
    VectorStateGuard guard;
    if (!win.window || (on != 0) == (win.fullScreen != 0)) return;
    win.fullScreen = on != 0;
    if (on) {
        win.normalPosition = win.window->pos();
        // A fixed size would keep the window from covering the screen.
        win.window->setMinimumSize(0, 0);
        win.window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        win.window->showFullScreen();
        // Without a window manager nobody acts on the full-screen request: cover the screen here.
        if (QScreen* screen = win.window->screen()) win.window->setGeometry(screen->geometry());
    } else {
        win.window->showNormal();
        if (win.framed) win.window->setFixedSize(win.normalSize);
        else win.window->resize(win.normalSize);
        win.window->move(win.normalPosition);
    }
    PlaceImageInWidget(win.window);
    win.window->update();
}

int IsFullScreen() { return win.fullScreen; }

Surface* WindowSurface() { return win.windowSurface; }

QWidget* MainWidgetForDialogs() { return win.window; }

void SetWindowTimer(int id, int milliseconds) {
    KillWindowTimer(id);
    QTimer* t = new QTimer();
    QObject::connect(t, &QTimer::timeout, [id]() { PostMessage(MSG_TIMER, (uint64_t)id, 0); });
    t->start(milliseconds);
    win.timers[id] = t;
}

void KillWindowTimer(int id) {
    auto it = win.timers.find(id);
    if (it == win.timers.end()) return;
    delete it->second;
    win.timers.erase(it);
}

void PostMessage(uint32_t kind, uint64_t wParam, int64_t lParam) {
    Message m;
    m.kind = kind;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = TickCount();
    // Consecutive pointer moves collapse into the latest, as a busy queue would deliver them.
    // A replayed move stays: the replay waits for the program to take it.
    if (kind == MSG_MOUSEMOVE && !win.queue.empty() && win.queue.back().kind == MSG_MOUSEMOVE && !win.queue.back().replayed) {
        win.queue.back() = m;
        return;
    }
    win.queue.push_back(m);
    // A message queued by a toolkit handler must end the wait that handler ran in.
    if (win.sleeping)
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

void QueueReplayedMessage(const Message& m) {
    win.queue.push_back(m);
    if (win.sleeping)
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

// Takes a message out of the queue; the replay and its monitor see every one taken.
static Message TakeMessage(std::deque<Message>::iterator it) {
    Message m = *it;
    win.queue.erase(it);
    ReplayNoteTaken(m);
    return m;
}

void PostQuitMessage(int exitCode) {
    win.exitCode = exitCode;
    win.quitPosted = 1;
    PostMessage(MSG_QUIT, (uint64_t)exitCode, 0);
}

void InvalidateWindow(const Rect* area) {
    Rect r = area ? *area : Rect{0, 0, win.windowSurface ? SurfaceWidth(win.windowSurface) : 0,
                                 win.windowSurface ? SurfaceHeight(win.windowSurface) : 0};
    for (Message& m : win.queue) {
        if (m.kind != MSG_PAINT) continue;
        m.paintRect.left = std::min(m.paintRect.left, r.left);
        m.paintRect.top = std::min(m.paintRect.top, r.top);
        m.paintRect.right = std::max(m.paintRect.right, r.right);
        m.paintRect.bottom = std::max(m.paintRect.bottom, r.bottom);
        return;
    }
    Message m;
    m.kind = MSG_PAINT;
    m.paintRect = r;
    m.time = TickCount();
    win.queue.push_back(m);
}

void FlushMessages(uint32_t fromKind, uint32_t toKind) {
    std::deque<Message> kept, dropped;
    for (const Message& m : win.queue)
        (m.kind < fromKind || m.kind > toKind ? kept : dropped).push_back(m);
    win.queue.swap(kept);
    // A replayed event dropped unread counts as taken, or the replay would wait for it forever.
    for (const Message& m : dropped)
        if (m.replayed) ReplayNoteTaken(m);
}

int PeekMessage(Message* msg, int remove) {
    ReplayPoll();
    if (win.app) FlushWindowDirty(), QCoreApplication::processEvents(QEventLoop::AllEvents);
    ClearUpperVectorState();
    if (win.queue.empty()) return 0;
    *msg = remove ? TakeMessage(win.queue.begin()) : win.queue.front();
    return 1;
}

int PeekMessageInRange(Message* msg, uint32_t fromKind, uint32_t toKind, int remove) {
    ReplayPoll();
    if (win.app) FlushWindowDirty(), QCoreApplication::processEvents(QEventLoop::AllEvents);
    ClearUpperVectorState();
    for (auto it = win.queue.begin(); it != win.queue.end(); ++it) {
        if (it->kind < fromKind || it->kind > toKind) continue;
        *msg = remove ? TakeMessage(it) : *it;
        return 1;
    }
    return 0;
}

// Sleeps until the queue holds a message (1) or the deadline passes (0; `timed` only). Under
// the test double nothing arrives that was not injected, except from a running window timer:
// an empty queue without one gives 0 at once.
static int WaitForQueue(int timed, uint32_t deadline) {
    for (;;) {
        ReplayPoll();
        if (!win.queue.empty()) return 1;
        if (!win.app) return 0;
        if (TestModeEnabled()) {
            FlushWindowDirty(), QCoreApplication::processEvents(QEventLoop::AllEvents);
            ClearUpperVectorState();
            if (!win.queue.empty()) return 1;
            if (win.timers.empty() && !ReplayExpectsEvents()) return 0;
        }
        int left = -1;
        if (timed) {
            left = (int32_t)(deadline - TickCount());
            if (left <= 0) return 0;
        }
        SleepUntilToolkitEvent(left);
    }
}

int GetMessage(Message* msg) {
    if (!WaitForQueue(0, 0)) {
        // Nothing will ever arrive: report a quit.
        msg->kind = MSG_QUIT;
        msg->wParam = 0;
        return 0;
    }
    *msg = TakeMessage(win.queue.begin());
    return msg->kind != MSG_QUIT;
}

int GetMessageUntil(Message* msg, uint32_t deadline) {
    if (!WaitForQueue(deadline != 0, deadline)) return 0;
    *msg = TakeMessage(win.queue.begin());
    return 1;
}

int64_t DispatchMessage(const Message& msg) {
    if (!win.proc || msg.kind == MSG_QUIT) return 0;
    return win.proc(msg.kind, msg.wParam, msg.lParam, msg);
}

void TestSetScreen(int width, int height, int depth, int dpi) { fakeScreen = {width, height, depth, dpi}; }

int ScreenWidth() {
    if (fakeScreen.width) return fakeScreen.width;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 800;
}

int ScreenDepth() {
    if (fakeScreen.depth) return fakeScreen.depth;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->depth() : 24;
}

int ScreenLogicalDpi() {
    if (fakeScreen.dpi) return fakeScreen.dpi;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? (int)(s->logicalDotsPerInchY() + 0.5) : 96;
}

// [SECTION] Test hooks that need the queue

// Injected input arrives as the user's would: a replay shuts it out and a recording keeps it.
void TestInjectMessage(uint32_t kind, uint64_t wParam, int64_t lParam) { UserInput(kind, wParam, lParam); }

void TestInjectClick(int x, int y) {
    UserInput(MSG_MOUSEMOVE, 0, MakeMouseParam(x, y));
    UserInput(MSG_LBUTTONDOWN, MK_LBUTTON, MakeMouseParam(x, y));
    UserInput(MSG_LBUTTONUP, 0, MakeMouseParam(x, y));
}

void TestInjectWheel(int x, int y, int delta, uint32_t keys) {
    UserInput(MSG_MOUSEMOVE, keys, MakeMouseParam(x, y));
    UserInput(MSG_MOUSEWHEEL, MakeWheelParam(delta, keys), MakeMouseParam(x, y));
}

void TestInjectKey(uint32_t virtualKey) {
    UserInput(MSG_KEYDOWN, virtualKey, 0);
    UserInput(MSG_KEYUP, virtualKey, 0);
}

int TestPumpMessages() {
    int n = 0;
    Message m;
    while (PeekMessage(&m, 1)) {
        if (m.kind == MSG_QUIT) break;
        DispatchMessage(m);
        n++;
    }
    return n;
}

void TestSendPointer(uint32_t kind, double x, double y) {
    if (!win.window) return;
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons held = Qt::NoButton;
    switch (kind) {
    case MSG_LBUTTONDOWN: type = QEvent::MouseButtonPress, button = Qt::LeftButton, held = Qt::LeftButton; break;
    case MSG_LBUTTONUP: type = QEvent::MouseButtonRelease, button = Qt::LeftButton; break;
    case MSG_RBUTTONDOWN: type = QEvent::MouseButtonPress, button = Qt::RightButton, held = Qt::RightButton; break;
    case MSG_RBUTTONUP: type = QEvent::MouseButtonRelease, button = Qt::RightButton; break;
    default: break;
    }
    QPointF local(x, y);
    QMouseEvent e(type, local, win.window->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(win.window, &e);
}

void TestSendKey(int toolkitKey) {
    if (!win.window) return;
    QKeyEvent down(QEvent::KeyPress, toolkitKey, Qt::NoModifier);
    QCoreApplication::sendEvent(win.window, &down);
    QKeyEvent up(QEvent::KeyRelease, toolkitKey, Qt::NoModifier);
    QCoreApplication::sendEvent(win.window, &up);
}

int TestGrabShownWindow(ShownWindow* shown) {
    if (!win.window) return 0;
    FlushWindowDirty();
    QImage image = win.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return 0;
    shown->windowWidth = win.window->width();
    shown->windowHeight = win.window->height();
    shown->devicePixelRatio = win.window->devicePixelRatioF();
    shown->width = image.width();
    shown->height = image.height();
    shown->pixels.resize((size_t)image.width() * image.height());
    for (int y = 0; y < image.height(); y++)
        memcpy(&shown->pixels[(size_t)y * image.width()], image.constScanLine(y), (size_t)image.width() * 4);
    return 1;
}

int TestSaveWindowPng(const char* path) { return win.windowSurface && SaveSurfacePng(win.windowSurface, path); }
