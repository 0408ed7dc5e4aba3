// Input replay and recording: a timer feeds recorded events into the queue real input uses,
// one at a time, each after its delay; the user's own input is recorded as events of the
// same kind. Replay holds its events while a modal dialog or message box is up.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "platform/platform.h"
#include "platform/qt_private.h"
#include "platform/test_double.h"

// [SECTION] State

constexpr int kCancelHoldMs = 1000;  // Escape held this long cancels a replay
// A held key repeats as releases and presses; the toolkit does not always mark them as
// repeats, so a release only ends the hold when no press follows within this time.
constexpr int kRepeatGraceMs = 150;
constexpr uint32_t kRepeatBit = 1u << 30;

static struct {
    int installed = 0;
    int cancelled = 0;     // the cancel key was held: no more events, the monitor stays
    InputReplaySource source{};
    QTimer* timer = nullptr;
    int wantsNext = 0;     // ask the source for its next event when the program next waits
    int inQueue = 0;       // a replayed event is in the queue, not yet taken
    int armed = 0;         // the timer runs for `current`
    JournalEvent current;
    uint32_t keys = 0;     // MK_ bits of the replayed buttons, Shift and Ctrl
    int modalDepth = 0;
    int heldMs = -1;       // the timer's remaining time while a modal loop holds it
    int speed = 1;
    QTimer* escapeHold = nullptr;   // runs from the first press while Escape stays down
    QTimer* escapeGrace = nullptr;  // from a release: a press within it was the key's repeat
    int swallowEscape = 0;          // the cancel key is still down after it cancelled
    int recording = 0;
    void (*onStopKey)() = nullptr;
    std::vector<JournalEvent> recorded;
} rp;

void TestSetReplaySpeed(int factor) { rp.speed = factor >= 1 ? factor : 1; }

static int IsMouseKind(uint32_t k) { return k >= MSG_MOUSEMOVE && k <= MSG_MOUSEWHEEL; }
static int IsKeyKind(uint32_t k) { return k == MSG_KEYDOWN || k == MSG_KEYUP || k == MSG_CHAR; }

// [SECTION] Events and messages

// The record of a user's message; 0 for messages that are not recorded input (commands,
// system commands).
static int RecordOfMessage(uint32_t kind, uint64_t wParam, int64_t lParam, uint32_t scanCode, JournalEvent* e) {
    Message m;
    m.lParam = lParam;
    *e = JournalEvent{};
    e->message = kind;
    if (kind == MSG_MOUSEWHEEL) {
        int delta = (int16_t)((wParam >> 16) & 0xFFFF);
        e->paramL = (uint32_t)(uint16_t)MessageX(m) | ((uint32_t)(uint16_t)delta << 16);
        e->paramH = (uint16_t)MessageY(m);
    } else if (IsMouseKind(kind)) {
        e->paramL = (uint16_t)MessageX(m);
        e->paramH = (uint16_t)MessageY(m);
    } else if (kind == MSG_KEYDOWN || kind == MSG_KEYUP) {
        e->paramL = (uint32_t)(wParam & 0xFF) | ((lParam & kRepeatBit) ? kRepeatBit : 0);
        e->paramH = scanCode;
    } else if (kind == MSG_CHAR) {
        e->paramL = (uint32_t)(wParam & 0xFF);
    } else {
        return 0;
    }
    return 1;
}

// The message a replayed event becomes; 0 for kinds that are not input.
static int MessageOfRecord(const JournalEvent& e, Message* m) {
    *m = Message{};
    m->kind = e.message;
    m->replayed = 1;
    if (IsMouseKind(e.message)) {
        if (e.message == MSG_LBUTTONDOWN) rp.keys |= MK_LBUTTON;
        if (e.message == MSG_LBUTTONUP) rp.keys &= ~MK_LBUTTON;
        if (e.message == MSG_RBUTTONDOWN) rp.keys |= MK_RBUTTON;
        if (e.message == MSG_RBUTTONUP) rp.keys &= ~MK_RBUTTON;
        if (e.message == MSG_MOUSEWHEEL) {
            m->wParam = MakeWheelParam((int16_t)(e.paramL >> 16), rp.keys);
            m->lParam = MakeMouseParam((int)(e.paramL & 0xFFFF), (int)(e.paramH & 0xFFFF));
        } else {
            m->wParam = rp.keys;
            m->lParam = MakeMouseParam((int)(e.paramL & 0xFFFF), (int)(e.paramH & 0xFFFF));
        }
        return 1;
    }
    if (IsKeyKind(e.message)) {
        uint32_t vk = e.paramL & 0xFF;
        m->wParam = vk;
        if (e.message == MSG_KEYDOWN || e.message == MSG_KEYUP) {
            uint32_t bit = vk == VK_SHIFT ? MK_SHIFT : vk == VK_CONTROL ? MK_CONTROL : 0;
            if (e.message == MSG_KEYDOWN) rp.keys |= bit;
            else rp.keys &= ~bit;
            m->lParam = e.paramL & kRepeatBit;
        }
        return 1;
    }
    return 0;
}

// The pointer follows replayed mouse events, but only while the window is the active one:
// moving it over another program the user went to would take it from them.
static void MovePointerAlong(const Message& m) {
    if (!IsMouseKind(m.kind) || TestModeEnabled()) return;
    QWidget* w = MainWidgetForDialogs();
    if (!w || !w->isActiveWindow()) return;
    QCursor::setPos(w->mapToGlobal(QPoint(MessageX(m), MessageY(m))));
}

// [SECTION] The replay

static void MakeCancelKeyTimers();

static void Deliver() {
    rp.armed = 0;
    if (!rp.installed || rp.cancelled) return;
    Message m;
    // A kind that is not input goes in as an empty message: it keeps its place and its time
    // in the recording, and nothing acts on it.
    if (!MessageOfRecord(rp.current, &m)) {
        m = Message{};
        m.replayed = 1;
    }
    m.time = TickCount();
    rp.inQueue = 1;
    MovePointerAlong(m);
    QueueReplayedMessage(m);
}

void ReplayPoll() {
    if (!rp.installed || rp.cancelled || !rp.wantsNext || rp.inQueue || rp.armed || rp.modalDepth) return;
    JournalEvent e;
    int32_t delay = 0;
    if (!rp.source.nextEvent || !rp.source.nextEvent(&e, &delay)) return;
    rp.wantsNext = 0;
    rp.current = e;
    if (delay < 0) delay = 0;  // an event older than the one before plays at once
    rp.armed = 1;
    rp.timer->start(delay / rp.speed);
}

int StartInputReplay(const InputReplaySource& source) {
    StopInputReplay();
    if (!rp.timer) {
        rp.timer = new QTimer();
        rp.timer->setSingleShot(true);
        rp.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(rp.timer, &QTimer::timeout, []() { Deliver(); });
    }
    MakeCancelKeyTimers();
    rp.source = source;
    rp.installed = 1;
    rp.cancelled = 0;
    rp.inQueue = 0;
    rp.armed = 0;
    rp.keys = 0;
    rp.heldMs = -1;
    rp.modalDepth = 0;  // a replay stopped while a dialog was up left its count behind
    rp.wantsNext = 1;
    ReplayPoll();
    return 1;
}

void StopInputReplay() {
    if (!rp.installed) return;
    rp.installed = 0;
    rp.cancelled = 0;
    rp.armed = 0;
    rp.wantsNext = 0;
    rp.inQueue = 0;
    rp.source = InputReplaySource{};
    if (rp.timer) rp.timer->stop();
    // A cancel key still held stays ignored until released (the grace timer ends that).
    if (rp.escapeHold && !rp.swallowEscape) {
        rp.escapeHold->stop();
        rp.escapeGrace->stop();
    }
}

int InputReplayRunning() { return rp.installed; }

// (ReplayPoll has just asked the source: an event still wanted but not armed is none to come.)
int ReplayExpectsEvents() { return rp.installed && !rp.cancelled && (rp.armed || rp.inQueue); }

void ReplayNoteTaken(const Message& m) {
    if (!rp.installed) return;
    void (*monitor)(const Message&) = rp.source.monitor;
    if (m.replayed && rp.inQueue) {
        rp.inQueue = 0;
        if (!rp.cancelled && rp.source.skip) rp.source.skip();
        if (rp.installed) rp.wantsNext = 1;
    }
    // The monitor may stop the replay, and a stop shows its message box: it comes last.
    if (rp.installed && monitor) monitor(m);
}

// The cancel key: the replay stops asking for events at once; the monitor hears of it
// through the queue, as it hears of everything else.
static void CancelReplay() {
    if (!rp.installed || rp.cancelled) return;
    rp.cancelled = 1;
    rp.swallowEscape = 1;
    rp.armed = 0;
    rp.timer->stop();
    PostMessage(MSG_CANCELJOURNAL, 0, 0);
}

void NoteModalLoop(int on) {
    if (!rp.installed) return;
    if (on) {
        if (rp.modalDepth++ == 0) {
            if (rp.armed) {
                rp.heldMs = std::max(0, rp.timer->remainingTime());
                rp.timer->stop();
            }
            if (rp.source.systemModal) rp.source.systemModal(1);
        }
        return;
    }
    if (rp.modalDepth == 0 || --rp.modalDepth > 0) return;
    if (rp.source.systemModal) rp.source.systemModal(0);
    if (rp.armed && rp.heldMs >= 0) rp.timer->start(rp.heldMs);
    rp.heldMs = -1;
}

// [SECTION] The user's input: shut out during a replay, kept during a recording

int AcceptUserInput(uint32_t kind, uint64_t wParam, int64_t lParam, uint32_t scanCode) {
    int input = IsMouseKind(kind) || IsKeyKind(kind) || kind == MSG_COMMAND || kind == MSG_SYSCOMMAND;
    if (rp.installed && input) return 0;
    JournalEvent e;
    if (rp.recording && RecordOfMessage(kind, wParam, lParam, scanCode, &e)) {
        e.time = TickCount();
        rp.recorded.push_back(e);
    }
    return 1;
}

int ReplayKeyPress(int qtKey, int autoRepeat) {
    if (rp.recording && qtKey == Qt::Key_Pause) {
        if (!autoRepeat && rp.onStopKey) rp.onStopKey();
        return 1;
    }
    if (!rp.installed) return 0;
    if (qtKey == Qt::Key_Escape) {
        rp.escapeGrace->stop();
        if (!rp.escapeHold->isActive()) rp.escapeHold->start(kCancelHoldMs);
    }
    return 1;
}

void ReplayKeyRelease(int qtKey, int autoRepeat) {
    if (qtKey == Qt::Key_Escape && rp.escapeHold && rp.escapeHold->isActive()) rp.escapeGrace->start(kRepeatGraceMs);
}

// The cancel key goes on repeating until the user lets go: those repeats must neither close
// the "End of playback" box nor reach a screen as Escape, so the whole program ignores Escape
// until it is released.
class CancelKeyFilter : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!rp.swallowEscape || (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)) return false;
        if (static_cast<QKeyEvent*>(e)->key() != Qt::Key_Escape) return false;
        if (e->type() == QEvent::KeyPress) rp.escapeGrace->stop();
        else rp.escapeGrace->start(kRepeatGraceMs);
        return true;
    }
};

static void MakeCancelKeyTimers() {
    if (rp.escapeHold) return;
    rp.escapeHold = new QTimer();
    rp.escapeHold->setSingleShot(true);
    rp.escapeHold->setTimerType(Qt::PreciseTimer);
    QObject::connect(rp.escapeHold, &QTimer::timeout, []() { CancelReplay(); });
    rp.escapeGrace = new QTimer();
    rp.escapeGrace->setSingleShot(true);
    QObject::connect(rp.escapeGrace, &QTimer::timeout, []() {
        rp.escapeHold->stop();
        rp.swallowEscape = 0;
    });
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(new CancelKeyFilter());
}

void StartInputRecording(void (*onStopKey)()) {
    rp.recording = 1;
    rp.onStopKey = onStopKey;
    rp.recorded.clear();
}

std::vector<JournalEvent> StopInputRecording() {
    rp.recording = 0;
    rp.onStopKey = nullptr;
    std::vector<JournalEvent> out;
    out.swap(rp.recorded);
    return out;
}

int InputRecordingRunning() { return rp.recording; }

void TestUserEscape(int down) {
    if (rp.swallowEscape) {
        if (down) rp.escapeGrace->stop();
        else rp.escapeGrace->start(kRepeatGraceMs);
        return;
    }
    if (down) {
        if (!ReplayKeyPress(Qt::Key_Escape, 0) && AcceptUserInput(MSG_KEYDOWN, VK_ESCAPE, 0, 0)) PostMessage(MSG_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    ReplayKeyRelease(Qt::Key_Escape, 0);
    if (AcceptUserInput(MSG_KEYUP, VK_ESCAPE, 0, 0)) PostMessage(MSG_KEYUP, VK_ESCAPE, 0);
}
