// Tab and Shift+Tab inside a form. The keyboard's way through the controls
// follows the layout, top to bottom and left to right, a frame, tab page,
// picture box or user control taking its turn where it lies; it stops only
// where the user can see and use a control, never on a control that is
// hidden, disabled, on a tab page not shown, or parked outside its container.

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Private.h"

namespace forms::detail {

namespace {

// Shown, and not lying outside any of the widgets that hold it.
bool InView(const QWidget* w)
{
    if (!w->isVisible()) return false;
    QRect r = w->rect();
    for (const QWidget* p = w; p && !p->isWindow() && p->parentWidget(); p = p->parentWidget()) {
        r.translate(p->pos());
        r &= p->parentWidget()->rect();
        if (r.isEmpty()) return false;
    }
    return true;
}

bool TakesTab(const ControlData& d)
{
    if (!d.st.visible || !d.st.enabled || d.dying) return false;
    const QWidget* f = d.FocusWidget();
    if (!f) return false;
    // Qt takes the Tab stop from all options of a group but the last one
    // chosen; here the group's stop is decided by Collect.
    const bool option = dynamic_cast<const OptionButton*>(d.self) != nullptr;
    const bool stop = option ? f->focusPolicy() != Qt::NoFocus : (f->focusPolicy() & Qt::TabFocus) != 0;
    return stop && f->isEnabled() && InView(f);
}

struct Item {
    double top, left, height;
    ControlData* d;
};

// The container's stops and containers in reading order (`also` among
// them): rows from the top, each row from the left. A control whose top lies
// in the upper half of a row's first control (or of itself, the smaller)
// stands on that row; captions and pictures, which the keyboard never
// reaches, make no rows.
std::vector<ControlData*> ReadingOrder(const ContainerData& c, const ControlData* also)
{
    std::vector<Item> items;
    for (Control* child : c.children) {
        ControlData& d = child->Impl();
        // What a hidden or disabled container holds is hidden or disabled too.
        if (!d.st.visible || !d.st.enabled || d.dying || !d.widget) continue;
        if (&d != also && !d.ShownInside() && !TakesTab(d)) continue;
        items.push_back({d.st.top, d.st.left, std::max(0.0, d.st.height), &d});
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.top != b.top ? a.top < b.top : a.left < b.left; });
    std::vector<ControlData*> order;
    for (std::size_t i = 0; i < items.size();) {
        const Item& first = items[i];
        std::size_t end = i + 1;
        while (end < items.size() && items[end].top < first.top + std::min(first.height, items[end].height) / 2) ++end;
        std::stable_sort(items.begin() + static_cast<std::ptrdiff_t>(i),
                         items.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Item& a, const Item& b) { return a.left < b.left; });
        for (; i < end; ++i) order.push_back(items[i].d);
    }
    return order;
}

// The stops of a container, in order, into `out`. The option buttons of a
// container are one group: the keyboard stops at the chosen one (the first
// when none is chosen); the arrow keys move within the group. `also` is
// listed where it lies even when it is no stop, so that a walk can start
// from it.
void Collect(const ContainerData& c, const ControlData* also, std::vector<ControlData*>& out)
{
    const std::vector<ControlData*> order = ReadingOrder(c, also);
    ControlData* option = nullptr;
    for (ControlData* d : order)
        if (auto* o = dynamic_cast<OptionButton*>(d->self); o && TakesTab(*d)) {
            if (!option) option = d;
            if (o->Value()) {
                option = d;
                break;
            }
        }
    for (ControlData* d : order) {
        const bool isOption = dynamic_cast<OptionButton*>(d->self) != nullptr;
        if (d == also || (TakesTab(*d) && (!isOption || d == option))) out.push_back(d);
        if (const ContainerData* inside = d->ShownInside()) Collect(*inside, also, out);
    }
}

// Tab and Shift+Tab, before the focused widget (a grid, a multi-line box)
// takes them for itself.
class TabKeys : public QObject {
public:
    explicit TabKeys(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) return false;
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        ControlData* fd = ControlOf(window);
        auto* form = fd ? dynamic_cast<Form*>(fd->self) : nullptr;
        if (!form || fd->widget != window) return false;
        const bool forward = k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier);
        Dispatching dispatching;
        StepFocus(*form, ControlOf(static_cast<QWidget*>(watched)), forward);
        return true;
    }
};

void Give(ControlData& d)
{
    QWidget* f = d.FocusWidget();
    // Shown as moved by the keyboard (focus frames), without the selection
    // Qt makes on a Tab: the control's GotFocus decides what is selected.
    f->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    f->setFocus(Qt::OtherFocusReason);
}

}  // namespace

std::vector<ControlData*> TabStops(Form& f)
{
    std::vector<ControlData*> out;
    if (const ContainerData* inside = f.Impl().own) Collect(*inside, nullptr, out);
    return out;
}

void StepFocus(Form& f, ControlData* from, bool forward)
{
    std::vector<ControlData*> chain;
    if (const ContainerData* inside = f.Impl().own) Collect(*inside, from, chain);
    const auto at = std::find(chain.begin(), chain.end(), from);
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(chain.size());
    // A start that is no stop (the form itself, a control now out of view)
    // leads to the first stop, or with Shift+Tab to the last.
    std::ptrdiff_t i = at == chain.end() ? (forward ? -1 : n) : at - chain.begin();
    for (std::ptrdiff_t step = 0; step < n; ++step) {
        i = ((forward ? i + 1 : i - 1) % n + n) % n;
        ControlData* d = chain[static_cast<std::size_t>(i)];
        if (d != from && Alive(d) && TakesTab(*d)) {
            Give(*d);
            return;
        }
    }
}

void FocusFirstStopUnlessInView(Form& f)
{
    QWidget* w = f.Impl().widget;
    if (!w) return;
    if (QWidget* now = w->focusWidget()) {
        ControlData* d = ControlOf(now);
        if (d && d != &f.Impl() && TakesTab(*d)) return;
    }
    const std::vector<ControlData*> stops = TabStops(f);
    if (!stops.empty()) stops.front()->FocusWidget()->setFocus(Qt::OtherFocusReason);
}

void DropFocusOutOfView(QWidget* area)
{
    QWidget* now = area ? area->window()->focusWidget() : nullptr;
    if (!now || !area->isAncestorOf(now)) return;
    if (const ControlData* d = ControlOf(now); d && TakesTab(*d)) return;
    now->clearFocus();
}

void InstallTabKeys(QCoreApplication* app) { app->installEventFilter(new TabKeys(app)); }

}  // namespace forms::detail
