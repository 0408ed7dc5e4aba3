// Message boxes and template-driven modal dialogs on Qt widgets, and the script that
// answers them while test mode is on.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QGuiApplication>
#include <QScreen>
#include <cstdarg>
#include <deque>
#include <map>

#include "platform/platform.h"
#include "platform/qt_private.h"
#include "platform/test_double.h"

static struct {
    int testMode = 0;
    std::deque<int> answers;
    std::vector<ShownText> shown;
    std::deque<std::function<void(Dialog*)>> dialogScripts;
    std::vector<std::string> dialogCaptions;
    std::vector<std::string> addresses;
    int beeps = 0;
    int skipPauses = 0;
    std::vector<int> pauses;
    std::vector<TestPrintJob> printJobs;
    int pageSetups = 0;
    std::deque<std::string> saveFileAnswers;
} script;

void TestModeEnable(int on) { script.testMode = on; }
int TestModeEnabled() { return script.testMode; }
void TestPushAnswer(int answer) { script.answers.push_back(answer); }
const std::vector<ShownText>& TestShownMessages() { return script.shown; }
void TestClearShown() {
    script.shown.clear();
    script.dialogCaptions.clear();
    script.addresses.clear();
    script.beeps = 0;
    script.pauses.clear();
    script.printJobs.clear();
    script.pageSetups = 0;
}
const std::vector<TestPrintJob>& TestPrintJobs() { return script.printJobs; }
void TestRecordPrintJob(const TestPrintJob& job) { script.printJobs.push_back(job); }
int TestPageSetupsShown() { return script.pageSetups; }
void TestRecordPageSetup() { script.pageSetups++; }
void TestPushSaveFileAnswer(const std::string& path) { script.saveFileAnswers.push_back(path); }
std::string TestTakeSaveFileAnswer(int* answered) {
    *answered = !script.saveFileAnswers.empty();
    if (!*answered) return std::string();
    std::string path = script.saveFileAnswers.front();
    script.saveFileAnswers.pop_front();
    return path;
}
std::string TestLastMessage() { return script.shown.empty() ? std::string() : script.shown.back().text; }
void TestPushDialogScript(std::function<void(Dialog*)> s) { script.dialogScripts.push_back(std::move(s)); }
const std::vector<std::string>& TestShownDialogs() { return script.dialogCaptions; }
const std::vector<std::string>& TestOpenedAddresses() { return script.addresses; }
int TestBeepCount() { return script.beeps; }
void TestSkipPauses(int on) { script.skipPauses = on; }
int TestPausesSkipped() { return script.testMode && script.skipPauses; }
void TestRecordPause(int milliseconds) { script.pauses.push_back(milliseconds); }
const std::vector<int>& TestRecordedPauses() { return script.pauses; }

void TestRecordAddress(const char* address) { script.addresses.push_back(address); }

void Beep() {
    script.beeps++;
    if (!script.testMode) QApplication::beep();
}

int MessageBox(const char* text, const char* caption, int buttons) {
    script.shown.push_back(ShownText{caption ? caption : "", text ? text : ""});
    if (script.testMode) {
        if (!script.answers.empty()) {
            int a = script.answers.front();
            script.answers.pop_front();
            return a;
        }
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    }
    QMessageBox box(MainWidgetForDialogs());
    box.setWindowTitle(caption && *caption ? FromCp1252(caption) : QString("Mundora"));
    box.setText(FromCp1252(text ? text : ""));
    switch (buttons) {
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    FlushWindowDirty();
    NoteModalLoop(1);
    int r = box.exec();
    NoteModalLoop(0);
    switch (r) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    default: return IDOK;
    }
}

void ShowMessage(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MessageBox(text, "", MB_OK);
}

// [SECTION] Dialogs

// Draws list rows whose text holds tabs in columns starting at the template's tab stops.
class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(const std::vector<int>& stops, QObject* parent) : QStyledItemDelegate(parent), stops_(stops) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        QString text = o.text;
        o.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &o, p);
        p->save();
        p->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        QStringList columns = text.split('\t');
        for (int i = 0; i < columns.size(); i++) {
            int x = o.rect.left() + 3 + (i == 0 ? 0 : (i - 1 < (int)stops_.size() ? stops_[i - 1] : stops_.back() + 60 * (i - (int)stops_.size())));
            int right = i + 1 < columns.size() && i < (int)stops_.size() ? o.rect.left() + stops_[i] : o.rect.right();
            p->drawText(QRect(x, o.rect.top(), std::max(0, right - x), o.rect.height()), Qt::AlignVCenter | Qt::AlignLeft, columns[i]);
        }
        p->restore();
    }

private:
    std::vector<int> stops_;
};

struct Dialog {
    QDialog* widget = nullptr;
    DialogProc proc = nullptr;
    void* user = nullptr;
    std::map<int, QWidget*> items;
    std::map<int, int> kinds;
    int ended = 0;
    int result = IDCANCEL;
};

static QWidget* Item(Dialog* d, int id) {
    auto it = d->items.find(id);
    return it == d->items.end() ? nullptr : it->second;
}

static void Notify(Dialog* d, int id, int notification) {
    if (d->proc && !d->ended) d->proc(d, DLG_COMMAND, id, notification, d->user);
    // What the procedure drew on the window behind (a preview, a setting applied at once)
    // shows while the dialog stays open.
    FlushWindowDirty();
}

static QWidget* BuildItem(Dialog* d, const DialogItem& item, const DialogTemplate& t, QButtonGroup** radioGroup) {
    QWidget* parent = d->widget;
    QWidget* w = nullptr;
    QString text = FromCp1252(item.text.c_str());
    switch (item.kind) {
    case DI_STATIC: {
        QLabel* l = new QLabel(text, parent);
        l->setWordWrap(true);
        w = l;
        break;
    }
    case DI_EDIT: {
        QLineEdit* e = new QLineEdit(text, parent);
        if (item.limit > 0) e->setMaxLength(item.limit);
        e->setReadOnly((item.style & DS_READONLY) != 0);
        int id = item.id;
        QObject::connect(e, &QLineEdit::textEdited, [d, id]() { Notify(d, id, NOTIFY_CHANGED); });
        w = e;
        break;
    }
    case DI_BUTTON:
    case DI_DEFBUTTON: {
        QPushButton* b = new QPushButton(text, parent);
        b->setDefault(item.kind == DI_DEFBUTTON);
        b->setAutoDefault(item.kind == DI_DEFBUTTON);
        int id = item.id;
        QObject::connect(b, &QPushButton::clicked, [d, id]() { Notify(d, id, NOTIFY_CLICKED); });
        w = b;
        break;
    }
    case DI_CHECKBOX: {
        QCheckBox* c = new QCheckBox(text, parent);
        int id = item.id;
        QObject::connect(c, &QCheckBox::clicked, [d, id]() { Notify(d, id, NOTIFY_CLICKED); });
        w = c;
        break;
    }
    case DI_RADIO: {
        QRadioButton* r = new QRadioButton(text, parent);
        if ((item.style & DS_GROUPSTART) || !*radioGroup) *radioGroup = new QButtonGroup(parent);
        (*radioGroup)->addButton(r);
        int id = item.id;
        QObject::connect(r, &QRadioButton::clicked, [d, id]() { Notify(d, id, NOTIFY_CLICKED); });
        w = r;
        break;
    }
    case DI_GROUPBOX: w = new QGroupBox(text, parent); break;
    case DI_LISTBOX: {
        QListWidget* l = new QListWidget(parent);
        l->setSelectionMode((item.style & DS_MULTISELECT) ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
        if ((item.style & DS_TABSTOPS) && !t.tabStops.empty()) l->setItemDelegate(new TabStopDelegate(t.tabStops, l));
        int id = item.id;
        QObject::connect(l, &QListWidget::itemSelectionChanged, [d, id]() { Notify(d, id, NOTIFY_SELCHANGE); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, [d, id]() { Notify(d, id, NOTIFY_DBLCLK); });
        w = l;
        break;
    }
    default: return nullptr;
    }
    w->setGeometry(item.x, item.y, item.w, item.h);
    if (item.kind == DI_GROUPBOX) w->lower();
    return w;
}

int DialogBox(const DialogTemplate& t, DialogProc proc, void* user) {
    Dialog d;
    d.proc = proc;
    d.user = user;
    QDialog widget(MainWidgetForDialogs());
    d.widget = &widget;
    widget.setWindowTitle(FromCp1252(t.caption.c_str()));
    widget.setFixedSize(t.width, t.height);
    QButtonGroup* radioGroup = nullptr;
    for (const DialogItem& item : t.items) {
        QWidget* w = BuildItem(&d, item, t, &radioGroup);
        if (!w) continue;
        d.items[item.id] = w;
        d.kinds[item.id] = item.kind;
    }
    script.dialogCaptions.push_back(t.caption);
    if (proc) proc(&d, DLG_INIT, 0, 0, user);
    if (d.ended) return d.result;
    if (script.testMode) {
        if (!script.dialogScripts.empty()) {
            auto s = std::move(script.dialogScripts.front());
            script.dialogScripts.pop_front();
            NoteModalLoop(1);
            s(&d);
            NoteModalLoop(0);
        }
        return d.ended ? d.result : IDCANCEL;
    }
    QObject::connect(&widget, &QDialog::rejected, [&d]() {
        // The window manager's close button and Escape count as Cancel.
        if (!d.ended) Notify(&d, IDCANCEL, NOTIFY_CLICKED);
        if (!d.ended) { d.ended = 1; d.result = IDCANCEL; }
    });
    while (!d.ended) {
        FlushWindowDirty();
        NoteModalLoop(1);
        widget.exec();
        NoteModalLoop(0);
        if (!d.ended && !widget.isVisible()) {
            d.ended = 1;
            d.result = IDCANCEL;
        }
    }
    return d.result;
}

void EndDialog(Dialog* d, int result) {
    d->ended = 1;
    d->result = result;
    if (d->widget && d->widget->isVisible()) d->widget->done(result);
}

void MoveDialog(Dialog* d, int x, int y) {
    if (!d->widget) return;
    QWidget* main = MainWidgetForDialogs();
    // (x, y) is in the program's pixels; the window may show them larger.
    d->widget->move(main ? main->mapToGlobal(WindowPointFromProgram(CurrentWindowMapping(), x, y)).toPoint() : QPoint(x, y));
}

void CentreDialogHorizontally(Dialog* d) {
    if (!d->widget) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->geometry();
    QRect frame = d->widget->frameGeometry();
    // Before it is shown a dialog has no position of its own yet: keep it at mid height.
    QWidget* main = MainWidgetForDialogs();
    int y = main ? main->mapToGlobal(QPoint(0, (main->height() - frame.height()) / 2)).y()
                 : area.top() + (area.height() - frame.height()) / 2;
    d->widget->move(area.left() + (area.width() - frame.width()) / 2, y);
}

void TestDialogCommand(Dialog* d, int itemId, int notification) {
    QWidget* w = Item(d, itemId);
    if (w && notification == NOTIFY_CLICKED) {
        if (auto* c = qobject_cast<QCheckBox*>(w)) c->setChecked(!c->isChecked());
        else if (auto* r = qobject_cast<QRadioButton*>(w)) r->setChecked(true);
    }
    Notify(d, itemId, notification);
}

void TestTypeItemText(Dialog* d, int itemId, const char* text) {
    auto* e = qobject_cast<QLineEdit*>(Item(d, itemId));
    if (!e) return;
    for (const char* c = text; *c; c++) {
        QString before = e->text();
        // setText keeps to the length limit as a keystroke does, without a notification of its own.
        e->setText(before + FromCp1252(c, 1));
        if (e->text() != before) Notify(d, itemId, NOTIFY_CHANGED);
    }
}

std::string GetItemText(Dialog* d, int id) {
    QWidget* w = Item(d, id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return ToCp1252(e->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return ToCp1252(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return ToCp1252(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return ToCp1252(g->title());
    return std::string();
}

void SetItemText(Dialog* d, int id, const char* text) {
    QWidget* w = Item(d, id);
    QString t = FromCp1252(text);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(t);
}

int GetItemCheck(Dialog* d, int id) {
    auto* b = qobject_cast<QAbstractButton*>(Item(d, id));
    return b && b->isChecked() ? 1 : 0;
}

void SetItemCheck(Dialog* d, int id, int checked) {
    if (auto* b = qobject_cast<QAbstractButton*>(Item(d, id))) b->setChecked(checked != 0);
}

void EnableItem(Dialog* d, int id, int enabled) {
    if (QWidget* w = Item(d, id)) w->setEnabled(enabled != 0);
}

int TestItemEnabled(Dialog* d, int id) {
    QWidget* w = Item(d, id);
    return w && w->isEnabled() ? 1 : 0;
}

void FocusItem(Dialog* d, int id) {
    if (QWidget* w = Item(d, id)) w->setFocus();
}

static QListWidget* List(Dialog* d, int id) { return qobject_cast<QListWidget*>(Item(d, id)); }

int ListAdd(Dialog* d, int id, const char* text) {
    auto* l = List(d, id);
    if (!l) return -1;
    l->addItem(FromCp1252(text));
    return l->count() - 1;
}

void ListClear(Dialog* d, int id) {
    if (auto* l = List(d, id)) l->clear();
}

int ListCount(Dialog* d, int id) {
    auto* l = List(d, id);
    return l ? l->count() : 0;
}

std::vector<int> ListGetSelections(Dialog* d, int id) {
    std::vector<int> rows;
    auto* l = List(d, id);
    if (!l) return rows;
    for (int i = 0; i < l->count(); i++)
        if (l->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

void ListSetSelected(Dialog* d, int id, int index, int selected) {
    auto* l = List(d, id);
    if (l && index >= 0 && index < l->count()) l->item(index)->setSelected(selected != 0);
}

std::string ListGetText(Dialog* d, int id, int index) {
    auto* l = List(d, id);
    if (!l || index < 0 || index >= l->count()) return std::string();
    return ToCp1252(l->item(index)->text());
}
