// The tabbed dialog control: tab buttons in rows over one page; the controls
// of the pages not shown wait 75000 twips to the left, as VB's control keeps them.

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

#include "platform/forms/Private.h"
#include "platform/forms/TabControl.h"

namespace forms::detail {

constexpr double kPageShift = 75000;

struct TabControlData;

class TabPage : public Container {
public:
    TabPage(TabControlData& d, int tab);
};

struct TabInfo {
    std::string caption;
    Picture picture;
    bool enabled = true;
    bool visible = true;
    std::unique_ptr<TabPage> page;
};

struct TabControlData : ControlData {
    TabControl* tc = nullptr;
    std::vector<TabInfo> tabs;
    int current = 0;
    int perRow = 3;
    double tabHeight = 300;
    bool shifted = false;  // the design is over: hidden pages' controls are out of view

    void Resize(int count)
    {
        while (static_cast<int>(tabs.size()) < count) {
            TabInfo t;
            t.caption = "Tab " + std::to_string(tabs.size());
            t.page = std::make_unique<TabPage>(*this, static_cast<int>(tabs.size()));
            tabs.push_back(std::move(t));
        }
        while (static_cast<int>(tabs.size()) > count) {
            if (!tabs.back().page->ContainerImpl().children.empty())
                Fail(380, "Invalid property value: Tabs " + std::to_string(count) + " of " + name +
                              " (a removed tab holds controls)");
            tabs.pop_back();
        }
        if (current >= count) current = std::max(0, count - 1);
        if (widget) widget->update();
    }

    void ShiftPage(int tab, double dx)
    {
        if (tab < 0 || tab >= static_cast<int>(tabs.size())) return;
        for (Control* c : tabs[static_cast<std::size_t>(tab)].page->ContainerImpl().children) {
            c->Impl().st.left += dx;
            c->Impl().ApplyGeometry();
        }
    }

    const ContainerData* ShownInside() const override
    {
        if (current < 0 || current >= static_cast<int>(tabs.size())) return nullptr;
        return &tabs[static_cast<std::size_t>(current)].page->ContainerImpl();
    }

    void HostLoaded() override
    {
        if (shifted) return;
        shifted = true;
        for (int i = 0; i < static_cast<int>(tabs.size()); ++i)
            if (i != current) ShiftPage(i, -kPageShift);
    }

    void Switch(int tab)
    {
        if (tab == current) return;
        const int previous = current;
        if (shifted) {
            ShiftPage(previous, -kPageShift);
            ShiftPage(tab, kPageShift);
        }
        current = tab;
        if (widget) {
            widget->update();
            DropFocusOutOfView(widget);
        }
        if (CanRaise()) tc->Click.Raise(previous);
    }

    int Rows() const
    {
        const auto shown = std::count_if(tabs.begin(), tabs.end(), [](const TabInfo& t) { return t.visible; });
        return std::max<int>(1, static_cast<int>((shown + perRow - 1) / std::max(1, perRow)));
    }

    QRect ButtonRect(int tab) const
    {
        if (!widget || tab < 0 || tab >= static_cast<int>(tabs.size()) || !tabs[static_cast<std::size_t>(tab)].visible)
            return {};
        int k = 0;
        for (int i = 0; i < tab; ++i)
            if (tabs[static_cast<std::size_t>(i)].visible) ++k;
        const int n = std::max(1, perRow);
        const int w = widget->width() / n, h = std::max(1, Px(tabHeight));
        const int col = k % n, row = k / n;
        const int right = col == n - 1 ? widget->width() : (col + 1) * w;
        return QRect(col * w, row * h, right - col * w, h);
    }

    // The style's description of tab `tab`, its button where it lies now.
    QStyleOptionTab TabOption(int tab, const QWidget* w) const
    {
        QStyleOptionTab opt;
        opt.initFrom(w);
        opt.rect = ButtonRect(tab);
        opt.shape = QTabBar::RoundedNorth;
        const TabInfo& t = tabs[static_cast<std::size_t>(tab)];
        opt.text = StripAccessKeys(Q(t.caption));
        if (const QImage* img = ImageOf(t.picture)) {
            opt.icon = QIcon(QPixmap::fromImage(*img));
            opt.iconSize = img->size().boundedTo(QSize(opt.rect.height() - 4, opt.rect.height() - 4));
        }
        // Where the tab stands in its row: the ends of a row draw their
        // outer edge inside the button.
        bool first = true, last = true;
        for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
            if (i == tab || !tabs[static_cast<std::size_t>(i)].visible) continue;
            const QRect o = ButtonRect(i);
            if (o.top() != opt.rect.top()) continue;
            if (o.left() < opt.rect.left()) first = false;
            if (o.left() > opt.rect.left()) last = false;
        }
        opt.position = first && last ? QStyleOptionTab::OnlyOneTab
                       : first       ? QStyleOptionTab::Beginning
                       : last        ? QStyleOptionTab::End
                                     : QStyleOptionTab::Middle;
        opt.state &= ~QStyle::State_Selected;
        if (tab == current) opt.state |= QStyle::State_Selected;
        if (!t.enabled || !st.enabled) opt.state &= ~QStyle::State_Enabled;
        return opt;
    }

    int TabAt(QPoint p) const
    {
        for (int i = 0; i < static_cast<int>(tabs.size()); ++i)
            if (ButtonRect(i).contains(p)) return i;
        return -1;
    }
};

TabPage::TabPage(TabControlData& d, int tab)
{
    cd_->self = this;
    cd_->owner = d.self;
    cd_->host = d.host;
    cd_->widget = d.widget;
    cd_->tab = tab;
    TabControlData* dp = &d;
    cd_->pageShown = [dp, tab] { return dp->current == tab; };
}

class TabWidget : public QWidget {
public:
    TabWidget(QWidget* parent, TabControlData* d) : QWidget(parent), d_(d) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), ToQColor(d_->self->BackColor()));
        const int top = d_->Rows() * std::max(1, Px(d_->tabHeight));
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = QRect(0, top - 1, width(), height() - top + 1);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &p, this);
        for (int i = 0; i < static_cast<int>(d_->tabs.size()); ++i) {
            const QRect r = d_->ButtonRect(i);
            if (r.isEmpty()) continue;
            QStyleOptionTab opt = d_->TabOption(i, this);
            // The style draws a tab as on a tab bar of its own, at the origin;
            // a selected one it extends downwards to merge it with the page,
            // which here would paint over the row below or the page's top.
            // Each tab is drawn in its own button, the selected one reaching
            // the page's top line only.
            opt.rect = QRect(QPoint(0, 0), r.size());
            const bool mergesWithPage = i == d_->current && r.bottom() + 1 >= top;
            p.save();
            p.translate(r.topLeft());
            p.setClipRect(QRect(0, 0, r.width(), r.height() + (mergesWithPage ? 1 : 0)));
            style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
            p.restore();
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton) return;
        Dispatching dispatching;
        TabControlData* d = d_;
        const int tab = d->TabAt(e->position().toPoint());
        if (tab >= 0 && d->tabs[static_cast<std::size_t>(tab)].enabled) d->Switch(tab);
        e->accept();
    }

private:
    TabControlData* d_;
};

QRect TabButtonRect(const Control& tabControl, int tab)
{
    return static_cast<const TabControlData&>(tabControl.Impl()).ButtonRect(tab);
}

QRect TabCaptionRect(const Control& tabControl, int tab)
{
    const auto& d = static_cast<const TabControlData&>(tabControl.Impl());
    if (!d.widget || d.ButtonRect(tab).isEmpty()) return {};
    const QStyleOptionTab opt = d.TabOption(tab, d.widget);
    return d.widget->style()->subElementRect(QStyle::SE_TabBarTabText, &opt, d.widget);
}

}  // namespace forms::detail

namespace forms {

using namespace detail;

namespace {

TabControlData& TD(const TabControl& t) { return static_cast<TabControlData&>(t.Impl()); }

TabInfo& TabAt(const TabControl& t, int tab)
{
    auto& d = TD(t);
    if (tab < 0 || tab >= static_cast<int>(d.tabs.size()))
        Fail(381, "Invalid property array index: tab " + std::to_string(tab) + " of " + d.name);
    return d.tabs[static_cast<std::size_t>(tab)];
}

}  // namespace

TabControl::TabControl(Init init) : Control(std::move(init), std::make_unique<TabControlData>())
{
    auto& d = TD(*this);
    d.tc = this;
    d.st.width = 4815;
    d.st.height = 2895;
    d.Attach(new TabWidget(d.ParentWidget(), &d));
    d.Resize(3);
}

TabControl::~TabControl() { DropWidget(*d_); }

int TabControl::Tabs() const { return static_cast<int>(TD(*this).tabs.size()); }

void TabControl::SetTabs(int count)
{
    if (count < 1) Fail(380, "Invalid property value: Tabs " + std::to_string(count));
    TD(*this).Resize(count);
}

int TabControl::Tab() const { return TD(*this).current; }

void TabControl::SetTab(int tab)
{
    TabAt(*this, tab);
    auto& d = TD(*this);
    if (!d.shifted) {
        // a design value: no Click, nothing moved yet
        d.current = tab;
        if (d.widget) d.widget->update();
        return;
    }
    d.Switch(tab);
}

int TabControl::TabsPerRow() const { return TD(*this).perRow; }

void TabControl::SetTabsPerRow(int n)
{
    if (n < 1) Fail(380, "Invalid property value: TabsPerRow " + std::to_string(n));
    TD(*this).perRow = n;
    if (d_->widget) d_->widget->update();
}

double TabControl::TabHeight() const { return TD(*this).tabHeight; }

void TabControl::SetTabHeight(double twips)
{
    TD(*this).tabHeight = std::max(15.0, twips);
    if (d_->widget) d_->widget->update();
}

std::string TabControl::TabCaption(int tab) const { return TabAt(*this, tab).caption; }

void TabControl::SetTabCaption(int tab, const std::string& caption)
{
    TabAt(*this, tab).caption = caption;
    if (d_->widget) d_->widget->update();
}

forms::Picture TabControl::TabPicture(int tab) const { return TabAt(*this, tab).picture; }

void TabControl::SetTabPicture(int tab, const forms::Picture& picture)
{
    TabAt(*this, tab).picture = picture;
    if (d_->widget) d_->widget->update();
}

bool TabControl::TabEnabled(int tab) const { return TabAt(*this, tab).enabled; }

void TabControl::SetTabEnabled(int tab, bool v)
{
    TabAt(*this, tab).enabled = v;
    if (d_->widget) d_->widget->update();
}

bool TabControl::TabVisible(int tab) const { return TabAt(*this, tab).visible; }

void TabControl::SetTabVisible(int tab, bool v)
{
    TabAt(*this, tab).visible = v;
    if (d_->widget) d_->widget->update();
}

std::string TabControl::Caption() const { return TabCaption(Tab()); }
void TabControl::SetCaption(const std::string& caption) { SetTabCaption(Tab(), caption); }

Container& TabControl::Page(int tab) { return *TabAt(*this, tab).page; }

}  // namespace forms
