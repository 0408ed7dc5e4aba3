// Cursors (the program's own shapes are drawn here), clipboard text, the desktop's opener,
// fonts and the single-instance check.
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <cmath>
#include <deque>
#include <map>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/qt_private.h"
#include "platform/test_double.h"

void TestRecordAddress(const char* address);

static struct {
    int current = CURSOR_ARROW;
    std::string caption;
    std::map<int, QCursor> made;
    int madeScale = 1;  // the window scale the shapes in `made` were drawn at
    QLocalServer* server = nullptr;
    std::deque<std::string> handedOver;  // lines later starts sent, oldest first
} misc;

// The program's shapes are drawn on a 32 x 32 grid and grow with the window's scale; the
// pixmap carries the device pixel ratio so that the desktop shows it at that size.
static QPixmap BlankCursorPixmap() {
    WindowMapping m = CurrentWindowMapping();
    int side = 32 * m.factor;
    QPixmap pm(side, side);
    pm.setDevicePixelRatio(m.devicePixelRatio);
    pm.fill(Qt::transparent);
    return pm;
}

// Prepares a painter for the 32 x 32 grid of a cursor pixmap.
static void PaintOnCursorGrid(QPainter& p) {
    WindowMapping m = CurrentWindowMapping();
    double k = m.factor / m.devicePixelRatio;
    p.scale(k, k);
}

// A hot spot on the 32 x 32 grid in the pixmap's own coordinates.
static int CursorGridPoint(int v) {
    WindowMapping m = CurrentWindowMapping();
    return (int)std::lround(v * m.factor / m.devicePixelRatio);
}

static void StrokeOutlined(QPainter& p, const QPainterPath& path) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// An arrow pointing in direction (dx, dy) for the pan cursors.
static QCursor PanCursor(int dx, int dy) {
    QPixmap pm = BlankCursorPixmap();
    QPainter p(&pm);
    PaintOnCursorGrid(p);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF arrow;
    arrow << QPointF(14, 0) << QPointF(6, -8) << QPointF(6, -3) << QPointF(-10, -3) << QPointF(-10, 3) << QPointF(6, 3) << QPointF(6, 8);
    p.translate(16, 16);
    p.rotate(dx > 0 ? 0 : dx < 0 ? 180 : dy > 0 ? 90 : 270);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(255, 214, 64));
    p.drawPolygon(arrow);
    p.end();
    return QCursor(pm, CursorGridPoint(16 + 14 * dx), CursorGridPoint(16 + 14 * dy));
}

static QCursor MagnifierCursor(int plus) {
    QPixmap pm = BlankCursorPixmap();
    QPainter p(&pm);
    PaintOnCursorGrid(p);
    QPainterPath path;
    path.addEllipse(QPointF(12, 12), 8, 8);
    path.moveTo(18, 18);
    path.lineTo(28, 28);
    path.moveTo(8, 12);
    path.lineTo(16, 12);
    if (plus) {
        path.moveTo(12, 8);
        path.lineTo(12, 16);
    }
    StrokeOutlined(p, path);
    p.end();
    return QCursor(pm, CursorGridPoint(12), CursorGridPoint(12));
}

static QCursor HandCursor() { return QCursor(Qt::PointingHandCursor); }

static QCursor CursorFor(int id) {
    if (misc.madeScale != CurrentWindowMapping().factor) {
        misc.made.clear();
        misc.madeScale = CurrentWindowMapping().factor;
    }
    auto it = misc.made.find(id);
    if (it != misc.made.end()) return it->second;
    QCursor c;
    switch (id) {
    case CURSOR_HIDDEN: c = QCursor(Qt::BlankCursor); break;
    case CURSOR_WAIT: c = QCursor(Qt::WaitCursor); break;
    case CURSOR_CROSS: c = QCursor(Qt::CrossCursor); break;
    case CURSOR_APPSTARTING: c = QCursor(Qt::BusyCursor); break;
    case 107: c = HandCursor(); break;
    case 130: c = PanCursor(-1, 0); break;
    case 131: c = PanCursor(1, 0); break;
    case 132: c = PanCursor(0, -1); break;
    case 133: c = PanCursor(0, 1); break;
    case 141: c = MagnifierCursor(1); break;
    case 144: c = MagnifierCursor(0); break;
    default: c = QCursor(Qt::ArrowCursor); break;
    }
    misc.made[id] = c;
    return c;
}

int SetCursorShape(int id) {
    int previous = misc.current;
    misc.current = id;
    if (QWidget* w = MainWidgetForDialogs()) w->setCursor(CursorFor(id));
    return previous;
}

int GetCursorShape() { return misc.current; }

int TestCursorDeviceSize() {
    QWidget* w = MainWidgetForDialogs();
    if (!w || w->cursor().shape() != Qt::BitmapCursor) return 0;
    QPixmap pm = w->cursor().pixmap();
    return (int)std::lround(pm.width());
}

void SetCursorPosition(int x, int y) {
    QWidget* w = MainWidgetForDialogs();
    if (w) QCursor::setPos(w->mapToGlobal(WindowPointFromProgram(CurrentWindowMapping(), x, y)).toPoint());
}

void SetWindowCaption(const char* text) {
    misc.caption = text ? text : "";
    if (QWidget* w = MainWidgetForDialogs()) w->setWindowTitle(QString::fromLatin1(misc.caption.c_str()));
}

std::string WindowCaption() { return misc.caption; }

static std::string testClipboard;

const std::string& TestClipboardText() { return testClipboard; }

int SetClipboardText(const std::string& text) {
    if (TestModeEnabled()) {
        testClipboard = text;
        return 1;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return 0;
    clipboard->clear();
    clipboard->setText(FromCp1252(text.data(), (int)text.size()));
    return 1;
}

int OpenAddress(const char* address) {
    if (TestModeEnabled()) {
        TestRecordAddress(address);
        return 1;
    }
    // The desktop's opener hands the address to the running browser or mail program when
    // there is one, and starts it otherwise.
    return QDesktopServices::openUrl(QUrl(QString::fromLatin1(address))) ? 1 : 0;
}

void OpenDisplaySettings() {
    if (TestModeEnabled()) {
        TestRecordAddress("display-settings");
        return;
    }
    static const char* tools[][2] = {{"gnome-control-center", "display"}, {"systemsettings", "kcm_kscreen"}, {"xfce4-display-settings", ""}, {"arandr", ""}};
    for (auto& t : tools) {
        QString path = QStandardPaths::findExecutable(t[0]);
        if (path.isEmpty()) continue;
        QStringList args;
        if (*t[1]) args << t[1];
        if (QProcess::startDetached(path, args)) return;
    }
}

int IsFontFamilyInstalled(const char* family) {
    return QFontDatabase::families().contains(QString::fromLatin1(family), Qt::CaseInsensitive) ? 1 : 0;
}

int RegisterFontFile(const char* path) {
    int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(path));
    return id < 0 ? 0 : id + 1;
}

void UnregisterFontFile(int handle) {
    if (handle > 0) QFontDatabase::removeApplicationFont(handle - 1);
}

// A later start's line: "raise" brings the window up, anything else waits for the program.
static void ReceiveInstanceLine(const QByteArray& line) {
    std::string text = line.trimmed().toStdString();
    if (text.empty()) return;
    RaiseMainWindow();
    if (text == "raise") return;
    misc.handedOver.push_back(text);
    PostMessage(MSG_COPYDATA, 0, 0);
}

int AnotherInstanceRunning(const char* key, const char* message) {
    QString name = QString("%1-%2").arg(QString::fromLatin1(key)).arg((qulonglong)getuid());
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(300)) {
        // Handing over a place to open was added to the plain "come to the top" request.
        std::string line = message && *message ? message : "raise";
        line.push_back('\n');
        probe.write(line.data(), (qint64)line.size());
        probe.waitForBytesWritten(1000);
        probe.disconnectFromServer();
        if (probe.state() != QLocalSocket::UnconnectedState) probe.waitForDisconnected(1000);
        return 1;
    }
    // A server left behind by a crashed copy is removed before we listen.
    QLocalServer::removeServer(name);
    misc.server = new QLocalServer();
    if (!misc.server->listen(name)) return 0;
    QObject::connect(misc.server, &QLocalServer::newConnection, []() {
        while (QLocalSocket* s = misc.server->nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::readyRead, s, [s]() {
                while (s->canReadLine()) ReceiveInstanceLine(s->readLine(4096));
            });
            QObject::connect(s, &QLocalSocket::disconnected, s, [s]() {
                // A line without its end still counts; a sender of old only connected.
                QByteArray rest = s->readAll();
                if (!rest.trimmed().isEmpty()) ReceiveInstanceLine(rest.left(4096));
                s->deleteLater();
            });
        }
    });
    return 0;
}

void TestHandOverLine(const char* line) { ReceiveInstanceLine(QByteArray(line)); }

std::string TakeInstanceMessage() {
    if (misc.handedOver.empty()) return "";
    std::string text = misc.handedOver.front();
    misc.handedOver.pop_front();
    return text;
}
