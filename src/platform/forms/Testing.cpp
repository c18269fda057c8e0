// The test driver of modal shows and the simulated user: Qt input events sent
// to the controls' widgets, so that they take the path a person's input takes.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>

#include <cmath>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Private.h"
#include "platform/forms/Testing.h"
#include "platform/ProcessState.h"

namespace forms::detail {

std::function<void(Form&)>& CurrentTestDriver()
{
    static auto* driver = new std::function<void(Form&)>;
    return *driver;
}

std::function<void()>& CurrentYieldHook()
{
    static auto* hook = new std::function<void()>;
    return *hook;
}

namespace {
const platform::ProcessStateReset kResetTesting([] {
    CurrentTestDriver() = nullptr;
    CurrentYieldHook() = nullptr;
});
}  // namespace

}  // namespace forms::detail

namespace forms {

using namespace detail;

TestDriver SetTestDriver(TestDriver driver)
{
    TestDriver previous = std::move(CurrentTestDriver());
    CurrentTestDriver() = std::move(driver);
    return previous;
}

bool HasTestDriver() { return static_cast<bool>(CurrentTestDriver()); }

YieldHook SetYieldHook(YieldHook hook)
{
    YieldHook previous = std::move(CurrentYieldHook());
    CurrentYieldHook() = std::move(hook);
    return previous;
}

// The control's own widget, never another one that still carries its mark: a
// form unloaded and loaded again at once leaves its old widgets waiting for
// deletion, and they may carry the same marks.
ScreenState ScreenStateOf(Control& c)
{
    ScreenState s;
    QWidget* w = c.Impl().widget;
    if (!w) return s;
    s.hasWidget = true;
    s.shown = w->isVisible();
    s.enabled = w->isEnabled();
    QWidget* win = w->window();
    s.insideWindow = win == w || win->rect().contains(w->mapTo(win, w->rect().center()));
    return s;
}

namespace {

// The widget a press went to keeps the mouse until the buttons are let go.
QPointer<QWidget> g_grab;
Qt::MouseButtons g_held;
QPoint g_lastGlobal;
// A test that ends with a button held leaves the next one with none.
const platform::ProcessStateReset kResetTestingMouse([] {
    g_grab = nullptr;
    g_held = {};
    g_lastGlobal = {};
});

void Send(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (!target) return;
    g_lastGlobal = global;
    const QPointF local = target->mapFromGlobal(global);
    QMouseEvent e(type, local, QPointF(global), button, g_held, mods);
    QApplication::sendEvent(target, &e);
}

// The widget under a point (global), inside `root`.
QWidget* TargetAt(QWidget* root, QPoint global)
{
    if (g_grab) return g_grab;
    const QPoint local = root->mapFromGlobal(global);
    QWidget* w = root->childAt(local);
    return w ? w : root;
}

void Press(QWidget* root, QPoint global, Qt::MouseButton button, Qt::KeyboardModifiers mods, bool dbl = false)
{
    QWidget* target = TargetAt(root, global);
    g_held |= button;
    g_grab = target;
    Send(target, dbl ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, global, button, mods);
}

void Release(QWidget* root, QPoint global, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    QWidget* target = TargetAt(root, global);
    g_held &= ~button;
    if (!g_held) g_grab = nullptr;
    Send(target, QEvent::MouseButtonRelease, global, button, mods);
}

void Moved(QWidget* root, QPoint global, Qt::KeyboardModifiers mods)
{
    Send(TargetAt(root, global), QEvent::MouseMove, global, Qt::NoButton, mods);
}

// A point given in the control's mouse units, on the screen.
QPoint Global(Control& c, double x, double y)
{
    ControlData& d = c.Impl();
    QWidget* origin = d.MouseOrigin();
    const QPointF px = d.MousePixels(x, y);
    return origin->mapToGlobal(QPoint(static_cast<int>(std::floor(px.x())), static_cast<int>(std::floor(px.y()))));
}

QPoint Centre(QWidget* w) { return w->mapToGlobal(w->rect().center()); }

void ClickWidgetAt(QWidget* root, QPoint global, bool dbl = false)
{
    Press(root, global, Qt::LeftButton, {});
    Release(root, global, Qt::LeftButton, {});
    if (dbl) {
        Press(root, global, Qt::LeftButton, {}, true);
        Release(root, global, Qt::LeftButton, {});
    }
}

// Keys go where the focus is: the control's widget, focused if it was not.
QWidget* KeyTarget(Control& c)
{
    QWidget* f = QApplication::focusWidget();
    if (f && ControlOf(f) == &c.Impl()) return f;
    QWidget* w = c.Impl().FocusWidget();
    if (w && w->window()->focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
    return w;
}

QString TextOfKey(int vbKey, int shift)
{
    if (vbKey >= vbKeyA && vbKey <= vbKeyA + 25) {
        if (shift & vbCtrlMask) return QString(QChar(vbKey - vbKeyA + 1));
        return QString(QChar(shift & vbShiftMask ? vbKey : vbKey + 32));
    }
    if (vbKey >= vbKey0 && vbKey <= vbKey0 + 9 && !(shift & vbCtrlMask)) return QString(QChar(vbKey));
    switch (vbKey) {
    case vbKeySpace: return QStringLiteral(" ");
    case vbKeyReturn: return QStringLiteral("\r");
    case vbKeyBack: return QStringLiteral("\b");
    case vbKeyEscape: return QString(QChar(27));
    default: return {};
    }
}

void SendKey(QWidget* target, int qtKey, Qt::KeyboardModifiers mods, const QString& text)
{
    if (!target) return;
    QKeyEvent down(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(target, &up);
}

}  // namespace

namespace user {

void MouseDown(Control& c, int button, int shift, double x, double y)
{
    Press(c.Impl().widget->window(), Global(c, x, y), QtButton(button), QtModifiers(shift));
}

void MouseMove(Control& c, int button, int shift, double x, double y)
{
    (void)button;  // the buttons held are those pressed and not yet let go
    Moved(c.Impl().widget->window(), Global(c, x, y), QtModifiers(shift));
}

void MouseUp(Control& c, int button, int shift, double x, double y)
{
    Release(c.Impl().widget->window(), Global(c, x, y), QtButton(button), QtModifiers(shift));
}

void ClickAt(Control& c, double x, double y, int button, int shift)
{
    MouseDown(c, button, shift, x, y);
    MouseUp(c, button, shift, x, y);
}

void Click(Control& c, int button)
{
    QWidget* root = c.Impl().widget->window();
    const QPoint g = Centre(c.Impl().MouseOrigin());
    Press(root, g, QtButton(button), {});
    Release(root, g, QtButton(button), {});
}

void DblClick(Control& c) { ClickWidgetAt(c.Impl().widget->window(), Centre(c.Impl().MouseOrigin()), true); }

void Hover(Control& c, int shift)
{
    Moved(c.Impl().widget->window(), Centre(c.Impl().MouseOrigin()), QtModifiers(shift));
}

void Drag(Control& c, int button, double x0, double y0, double x1, double y1)
{
    // A person's hand moves over the screen: the points are where the
    // control was when the button went down.
    QWidget* root = c.Impl().widget->window();
    const QPoint g0 = Global(c, x0, y0), g1 = Global(c, x1, y1);
    const Qt::MouseButton b = QtButton(button);
    Press(root, g0, b, {});
    constexpr int kSteps = 5;
    for (int i = 1; i <= kSteps; ++i) {
        const QPoint g = g0 + (g1 - g0) * i / kSteps;
        Moved(root, g, {});
    }
    Release(root, g1, b, {});
}

void Focus(Control& c)
{
    QWidget* w = c.Impl().FocusWidget();
    if (!w) return;
    if (QWidget* win = w->window(); win->isVisible() && !win->isActiveWindow()) {
        win->activateWindow();
        QCoreApplication::processEvents();
    }
    c.SetFocus();
}

void Type(Control& c, const std::string& text)
{
    Focus(c);
    for (char32_t ch : Q(text).toUcs4()) {
        QWidget* target = KeyTarget(c);
        QString t = QString::fromUcs4(&ch, 1);
        int key = Qt::Key_unknown;
        if (ch == '\r' || ch == '\n') {
            key = Qt::Key_Return;
            t = QStringLiteral("\r");
        } else if (ch == '\b') {
            key = Qt::Key_Backspace;
        } else if (ch < 128) {
            key = QChar::toUpper(ch);
        } else {
            key = static_cast<int>(QChar::toUpper(ch));
        }
        SendKey(target, key, (ch >= 'A' && ch <= 'Z') ? Qt::ShiftModifier : Qt::NoModifier, t);
    }
}

void PressKey(Control& c, int keyCode, int shift)
{
    Focus(c);
    SendKey(KeyTarget(c), QtKeyFor(keyCode), QtModifiers(shift), TextOfKey(keyCode, shift));
}

void Choose(ListBox& list, int index)
{
    auto* l = static_cast<QListWidget*>(list.Impl().widget.data());
    QListWidgetItem* it = l->item(index);
    if (!it) Fail(381, "Invalid property array index: " + list.Name() + "(" + std::to_string(index) + ")");
    l->scrollToItem(it);
    const QRect r = l->visualItemRect(it);
    ClickWidgetAt(l->window(), l->viewport()->mapToGlobal(r.center()));
}

void Choose(ComboBox& combo, int index)
{
    auto* c = static_cast<QComboBox*>(combo.Impl().widget.data());
    if (index < 0 || index >= c->count())
        Fail(381, "Invalid property array index: " + combo.Name() + "(" + std::to_string(index) + ")");
    Focus(combo);
    // What the drop-down list does when an entry is picked.
    c->setCurrentIndex(index);
    emit c->activated(index);
}

void ChooseTab(TabControl& tabs, int tab)
{
    QWidget* w = tabs.Impl().widget;
    const QRect r = TabButtonRect(tabs, tab);
    if (r.isEmpty()) Fail(381, "Invalid property array index: tab " + std::to_string(tab) + " of " + tabs.Name());
    ClickWidgetAt(w->window(), w->mapToGlobal(r.center()));
}

void ClickCell(FlexGrid& grid, int row, int col)
{
    auto* t = static_cast<QTableWidget*>(grid.Impl().widget.data());
    if (row < 0 || col < 0 || row >= t->rowCount() || col >= t->columnCount())
        Fail(381, "Invalid property array index: cell of " + grid.Name());
    const QModelIndex idx = t->model()->index(row, col);
    t->scrollTo(idx);
    ClickWidgetAt(t->window(), t->viewport()->mapToGlobal(t->visualRect(idx).center()));
}

void Scroll(ScrollBar& bar, int steps)
{
    auto* b = static_cast<QScrollBar*>(bar.Impl().widget.data());
    const bool towardsMaxIsUp = bar.Max() >= bar.Min();
    const bool up = (steps > 0) == towardsMaxIsUp;
    for (int i = 0; i < std::abs(steps); ++i)
        b->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
}

void ChooseDrive(DriveListBox& drives, int index)
{
    auto* c = static_cast<QComboBox*>(drives.Impl().widget.data());
    if (index < 0 || index >= c->count()) Fail(381, "Invalid property array index: drive " + std::to_string(index));
    c->setCurrentIndex(index);
    emit c->activated(index);
}

void OpenFolder(DirListBox& dirs, int listIndex)
{
    auto* l = static_cast<QListWidget*>(dirs.Impl().widget.data());
    const int row = listIndex + (l->count() - dirs.ListCount());
    QListWidgetItem* it = l->item(row);
    if (!it) Fail(381, "Invalid property array index: " + dirs.Name() + "(" + std::to_string(listIndex) + ")");
    l->scrollToItem(it);
    ClickWidgetAt(l->window(), l->viewport()->mapToGlobal(l->visualItemRect(it).center()), true);
}

void CloseWindow(Form& form)
{
    if (QWidget* w = form.Impl().widget) w->close();
}

}  // namespace user

long CellBackColorAt(FlexGrid& grid, int row, int col)
{
    auto* t = static_cast<QTableWidget*>(grid.Impl().widget.data());
    if (row < 0 || col < 0 || row >= t->rowCount() || col >= t->columnCount())
        Fail(381, "Invalid property array index: cell of " + grid.Name());
    QColor c;
    if (QTableWidgetItem* it = t->item(row, col); it && it->background().style() != Qt::NoBrush)
        c = it->background().color();
    else
        c = t->palette().color(row < grid.FixedRows() || col < grid.FixedCols() ? QPalette::Button : QPalette::Base);
    return static_cast<long>(c.red()) + 256L * c.green() + 65536L * c.blue();
}

Picture Snapshot(Control& c)
{
    QWidget* w = c.Impl().widget;
    if (!w) return Picture();
    return MakePicture(w->grab().toImage());
}

}  // namespace forms

namespace forms::detail {

// A person lets go of the mouse before answering a dialog that a press opened
// (a list click, a label's MouseDown): the release goes where the press went.
void ReleaseSimulatedMouse()
{
    while (g_held) {
        const Qt::MouseButton button = g_held & Qt::LeftButton    ? Qt::LeftButton
                                       : g_held & Qt::RightButton ? Qt::RightButton
                                                                  : Qt::MiddleButton;
        QWidget* target = g_grab;
        g_held &= ~button;
        if (!g_held) g_grab = nullptr;
        if (!target) continue;
        Send(target, QEvent::MouseButtonRelease, g_lastGlobal, button, {});
    }
    g_grab = nullptr;
}

}  // namespace forms::detail
