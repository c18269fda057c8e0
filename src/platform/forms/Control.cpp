// The control base: state in twips, the widget it drives, and the hook that
// turns Qt's mouse and keyboard input into VB's events.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "platform/forms/Form.h"
#include "platform/forms/Private.h"
#include "platform/ProcessState.h"

namespace forms::detail {

namespace {

const char* const kControlProperty = "quoril.control";

std::unordered_set<const ControlData*>& LiveControls()
{
    static auto* live = new std::unordered_set<const ControlData*>;
    return *live;
}

long g_nextHwnd = 0x1000;
int g_buttons = 0;
QPoint g_lastPress;
int g_dispatch = 0;
const platform::ProcessStateReset kResetMouse([] {
    g_buttons = 0;
    g_lastPress = {};
});

ControlData* DataOfWidget(const QObject* w)
{
    const QVariant v = w->property(kControlProperty);
    if (!v.isValid()) return nullptr;
    auto* d = static_cast<ControlData*>(v.value<void*>());
    return Alive(d) ? d : nullptr;
}

bool StillThere(const ControlData* d) { return Alive(d) && d->CanRaise(); }

}  // namespace

bool Alive(const ControlData* d) { return d && LiveControls().count(d) != 0; }

ControlData* ControlOf(const QObject* o)
{
    for (; o; o = o->parent())
        if (auto* d = DataOfWidget(o)) return d;
    return nullptr;
}

Dispatching::Dispatching() { ++g_dispatch; }
Dispatching::~Dispatching() { --g_dispatch; }

void RaiseFromQt(ControlData* d, platform::Event<>& e)
{
    if (!Alive(d) || !d->CanRaise() || d->quiet != 0) return;
    Dispatching dispatching;
    e.Raise();
}

int CurrentButtons() { return g_buttons; }

QPoint LastPressGlobal() { return g_lastPress; }

int DispatchDepth() { return g_dispatch; }

void DropWidget(ControlData& d)
{
    d.dying = true;
    // The hook may be running right now (a handler unloading its own control).
    if (d.hook) {
        for (const auto& src : d.mouseFrom)
            if (src) src->removeEventFilter(d.hook.get());
        if (d.widget) d.widget->removeEventFilter(d.hook.get());
        d.hook->Detach();
        if (g_dispatch > 0)
            d.hook.release()->deleteLater();
        else
            d.hook.reset();
    }
    if (!d.widget) return;
    QWidget* w = d.widget;
    d.widget = nullptr;
    if (auto* surface = dynamic_cast<SurfaceWidget*>(w)) surface->Detach();
    w->blockSignals(true);
    if (g_dispatch > 0) {
        w->hide();
        w->setParent(nullptr);
        w->deleteLater();
    } else {
        delete w;
    }
}

void Restack(QWidget* parent)
{
    if (!parent) return;
    std::vector<QWidget*> light, other;
    bool misplaced = false;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        ControlData* d = DataOfWidget(w);
        if (d && d->widget == w && d->lightweight) {
            light.push_back(w);
            if (!other.empty()) misplaced = true;
        } else {
            other.push_back(w);
        }
    }
    if (!misplaced) return;
    for (QWidget* w : light) w->raise();
    for (QWidget* w : other) w->raise();
}

// ---------------------------------------------------------------- ContainerData

double ContainerData::ClientWidthTwips() const
{
    if (clientSize) return Tw(clientSize().width());
    return widget ? Tw(widget->width()) : 0;
}

double ContainerData::ClientHeightTwips() const
{
    if (clientSize) return Tw(clientSize().height());
    return widget ? Tw(widget->height()) : 0;
}

namespace {

double TwipsPerUnit(int mode, bool vertical)
{
    switch (mode) {
    case vbPoints: return 20;
    case vbPixels: return kTwipsPerPixel;
    case vbCharacters: return vertical ? 240 : 120;
    case vbInches: return 1440;
    case vbMillimeters: return 1440 / 25.4;
    case vbCentimeters: return 1440 / 2.54;
    default: return 1;
    }
}

}  // namespace

double ContainerData::TwipsPerUnitX() const
{
    if (scaleMode != vbUser) return TwipsPerUnit(scaleMode, false);
    const double w = ClientWidthTwips();
    return scaleWidth != 0 && w > 0 ? w / scaleWidth : 1;
}

double ContainerData::TwipsPerUnitY() const
{
    if (scaleMode != vbUser) return TwipsPerUnit(scaleMode, true);
    const double h = ClientHeightTwips();
    return scaleHeight != 0 && h > 0 ? h / scaleHeight : 1;
}

void ContainerData::SetScaleMode(int mode)
{
    if (mode < vbUser || mode > vbCentimeters) Fail(380, "Invalid property value: ScaleMode " + std::to_string(mode));
    if (mode == vbUser) {
        // the current extent becomes the user scale
        const double w = ClientWidthTwips() / TwipsPerUnitX();
        const double h = ClientHeightTwips() / TwipsPerUnitY();
        scaleWidth = w != 0 ? w : 1;
        scaleHeight = h != 0 ? h : 1;
    } else {
        scaleLeft = scaleTop = 0;
    }
    scaleMode = mode;
}

// ---------------------------------------------------------------- ControlData

ControlData::ControlData() : hwnd(g_nextHwnd++) { LiveControls().insert(this); }

ControlData::~ControlData()
{
    LiveControls().erase(this);
    ForgetFocus(this);
    if (widget) {
        QWidget* w = widget;
        widget = nullptr;
        delete w;
    }
}

bool ControlData::CanRaise() const
{
    if (dying) return false;
    for (const ControlHost* h = host; h;) {
        const ContainerData& c = h->ContainerImpl();
        if (c.dying) return false;
        if (!c.owner) break;
        h = c.owner->Impl().host;
    }
    return true;
}

Form* ControlData::TopForm() const
{
    const ControlData* d = this;
    while (d->host) {
        Control* owner = d->host->ContainerImpl().owner;
        if (!owner) return nullptr;
        d = &owner->Impl();
    }
    return dynamic_cast<Form*>(d->self);
}

QWidget* ControlData::ParentWidget() const { return container ? container->widget.data() : nullptr; }

void ControlData::AddMouseSource(QWidget* w)
{
    mouseFrom.emplace_back(w);
    w->setMouseTracking(true);
    if (!hook) hook = std::make_unique<Hook>(this);
    if (w != widget) w->installEventFilter(hook.get());
}

void ControlData::Attach(QWidget* w)
{
    widget = w;
    w->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
    if (!hook) hook = std::make_unique<Hook>(this);
    w->installEventFilter(hook.get());
    AddMouseSource(w);
    ApplyAll();
    if (container) Restack(container->widget);
}

void ControlData::ReplaceWidget(QWidget* w)
{
    QWidget* old = widget;
    mouseFrom.clear();
    widget = nullptr;
    if (old) {
        old->blockSignals(true);
        old->setProperty(kControlProperty, QVariant());
        if (g_dispatch > 0) {
            old->hide();
            old->setParent(nullptr);
            old->deleteLater();
        } else {
            delete old;
        }
    }
    Attach(w);
}

double ControlData::MouseX(double px) const
{
    if (own && own->scaled) return own->XFromTwips(Tw(px));
    if (container) return container->WFromTwips(Tw(px));
    return Tw(px);
}

double ControlData::MouseY(double py) const
{
    if (own && own->scaled) return own->YFromTwips(Tw(py));
    if (container) return container->HFromTwips(Tw(py));
    return Tw(py);
}

QPointF ControlData::MousePixels(double x, double y) const
{
    if (own && own->scaled) return {own->XToTwips(x) / kTwipsPerPixel, own->YToTwips(y) / kTwipsPerPixel};
    if (container) return {container->WToTwips(x) / kTwipsPerPixel, container->HToTwips(y) / kTwipsPerPixel};
    return {x / kTwipsPerPixel, y / kTwipsPerPixel};
}

void ControlData::ApplyAll()
{
    ApplyGeometry();
    ApplyColors();
    ApplyFont();
    ApplyEnabled();
    ApplyCursor();
    if (widget) widget->setToolTip(Q(st.toolTip));
    ApplyVisible();
}

void ControlData::ApplyGeometry()
{
    if (!widget) return;
    widget->setGeometry(Px(st.left), Px(st.top), std::max(0, Px(st.width)), std::max(0, Px(st.height)));
}

void ControlData::ApplyColors()
{
    if (!widget) return;
    QPalette pal = widget->palette();
    if (st.back) {
        const QColor c = ToQColor(*st.back);
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::Base, c);
        pal.setColor(QPalette::Button, c);
    }
    if (st.fore) {
        const QColor c = ToQColor(*st.fore);
        pal.setColor(QPalette::WindowText, c);
        pal.setColor(QPalette::Text, c);
        pal.setColor(QPalette::ButtonText, c);
    }
    widget->setPalette(pal);
}

void ControlData::ApplyWindowColors(bool opaque)
{
    if (!widget) return;
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, ToQColor(self->BackColor()));
    pal.setColor(QPalette::WindowText, ToQColor(self->ForeColor()));
    widget->setPalette(pal);
    widget->setAutoFillBackground(opaque);
}

void ControlData::ApplyFont()
{
    if (widget) widget->setFont(MakeQFont(st.font));
}

void ControlData::ApplyVisible()
{
    if (widget) widget->setVisible(st.visible);
}

void ControlData::ApplyEnabled()
{
    if (widget) widget->setEnabled(st.enabled);
}

void ControlData::ApplyCursor()
{
    if (!widget) return;
    if (st.mousePointer == vbDefault)
        widget->unsetCursor();
    else
        widget->setCursor(CursorShapeFor(st.mousePointer));
}

void ControlData::CopyStateFrom(const ControlData& o) { st = o.st; }

// ---------------------------------------------------------------- Hook

bool Hook::eventFilter(QObject* watched, QEvent* e)
{
    ControlData* d = d_;
    if (!d || !d->CanRaise()) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return Mouse(watched, static_cast<QMouseEvent*>(e));
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (watched != d->widget && watched != d->FocusWidget()) return false;
        // A key another control had (and let pass up to its container) is not this one's.
        auto* w = static_cast<QWidget*>(watched);
        if (QWidget* fw = w->window()->focusWidget(); fw && fw != w && w->isAncestorOf(fw) && ControlOf(fw) != d)
            return false;
        if (e->type() == QEvent::KeyPress) return KeyDown(watched, static_cast<QKeyEvent*>(e));
        return KeyUp(static_cast<QKeyEvent*>(e));
    }
    default: return false;
    }
}

bool Hook::Mouse(QObject* watched, QMouseEvent* e)
{
    ControlData* d = d_;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || std::find(d->mouseFrom.begin(), d->mouseFrom.end(), w) == d->mouseFrom.end()) return false;
    // Input that reached another control's widget inside this one, or
    // another widget of this control, and was passed up, is handled already.
    if (QWidget* child = w->childAt(e->position().toPoint())) {
        if (ControlOf(child) != d) return false;
        for (const auto& src : d->mouseFrom)
            if (src && src != w && (src == child || src->isAncestorOf(child))) return false;
    }

    Dispatching dispatching;
    const QPoint global = e->globalPosition().toPoint();
    QWidget* origin = d->MouseOrigin();
    const QPointF local = origin ? QPointF(origin->mapFromGlobal(global)) : e->position();
    const double x = d->MouseX(local.x());
    const double y = d->MouseY(local.y());
    const int shift = VbShift(e->modifiers());
    Control* c = d->self;
    Form* form = d->TopForm();

    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        g_buttons = VbButtons(e->buttons()) | VbButton(e->button());
        g_lastPress = global;
        const int button = VbButton(e->button());
        if (e->type() == QEvent::MouseButtonDblClick && d->dblClickEvent) {
            d->afterDblClick = true;
            if (button == vbLeftButton) c->DblClick.Raise();
            return !StillThere(d);
        }
        d->leftDown = button == vbLeftButton;
        d->afterDblClick = false;
        c->MouseDown.Raise(button, shift, x, y);
        return !StillThere(d);
    }
    case QEvent::MouseMove:
        if (form && FormDragging(*form)) {
            FormDragTo(*form, global);
            return true;
        }
        c->MouseMove.Raise(VbButtons(e->buttons()), shift, x, y);
        return !StillThere(d);
    case QEvent::MouseButtonRelease: {
        g_buttons = VbButtons(e->buttons());
        if (form && FormDragging(*form)) FormDragEnd(*form);
        const int button = VbButton(e->button());
        c->MouseUp.Raise(button, shift, x, y);
        if (!StillThere(d)) return true;
        const bool click = d->clickOnRelease && d->leftDown && button == vbLeftButton && !d->afterDblClick &&
                           w->rect().contains(e->position().toPoint());
        if (button == vbLeftButton) d->leftDown = false;
        if (click) {
            c->Click.Raise();
            return !StillThere(d);
        }
        return false;
    }
    default: return false;
    }
}

namespace {

int AsciiOf(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return 0;
    default: break;
    }
    const QString t = e.text();
    if (!t.isEmpty()) {
        const char32_t ch = t.toUcs4().value(0);
        if (ch == 127 || ch == '\t') return 0;
        return static_cast<int>(ch);
    }
    if (e.modifiers().testFlag(Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
        return e.key() - Qt::Key_A + 1;
    return 0;
}

int QtKeyForAscii(int a)
{
    switch (a) {
    case 13: return Qt::Key_Return;
    case 8: return Qt::Key_Backspace;
    case 27: return Qt::Key_Escape;
    default: break;
    }
    if (a >= 'a' && a <= 'z') return Qt::Key_A + (a - 'a');
    if (a >= 1 && a <= 26) return Qt::Key_A + (a - 1);
    if (a < 128) return a;
    return QChar::toUpper(static_cast<char32_t>(a));
}

}  // namespace

bool Hook::KeyDown(QObject* watched, QKeyEvent* e)
{
    if (forwarding) return false;
    ControlData* d = d_;
    const int qtKey = e->key();
    if (qtKey == Qt::Key_Tab || qtKey == Qt::Key_Backtab) return false;
    Dispatching dispatching;
    Control* c = d->self;
    Form* form = d->TopForm();
    const int shift = VbShift(e->modifiers());

    // Enter clicks the focused button, else the form's Default button; Escape its Cancel button.
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (form && plain && (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)) {
        if (d->IsCommandButton()) {
            d->PressByKey();
            return true;
        }
        if (ControlData* b = DefaultButton(*form, false)) {
            b->PressByKey();
            return true;
        }
    }
    if (form && qtKey == Qt::Key_Escape)
        if (ControlData* b = DefaultButton(*form, true)) {
            b->PressByKey();
            return true;
        }

    const bool preview = form && c != form && FormKeyPreview(*form);
    const int code = VbKeyCode(*e);
    if (code >= 0) {
        if (preview) {
            int k = code;
            form->KeyDown.Raise(k, shift);
            if (!StillThere(d) || k == 0) return true;
        }
        int k = code;
        c->KeyDown.Raise(k, shift);
        if (!StillThere(d) || k == 0) return true;
    }

    const int ascii = AsciiOf(*e);
    if (ascii <= 0) return false;
    int a = ascii;
    if (preview) {
        form->KeyPress.Raise(a);
        if (!StillThere(d) || a == 0) return true;
    }
    c->KeyPress.Raise(a);
    if (!StillThere(d) || a == 0) return true;
    if (a >= 32 && !d->AcceptsMoreText()) return true;
    if (a == ascii) return false;
    // The handler rewrote the key: the widget gets the new one instead.
    const char32_t ch = static_cast<char32_t>(a);
    QKeyEvent rewritten(QEvent::KeyPress, QtKeyForAscii(a), e->modifiers(), QString::fromUcs4(&ch, 1),
                        e->isAutoRepeat(), static_cast<quint16>(e->count()));
    forwarding = true;
    QCoreApplication::sendEvent(watched, &rewritten);
    if (Alive(d)) forwarding = false;
    return true;
}

bool Hook::KeyUp(QKeyEvent* e)
{
    ControlData* d = d_;
    const int code = VbKeyCode(*e);
    if (code < 0 || e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return false;
    Dispatching dispatching;
    Control* c = d->self;
    Form* form = d->TopForm();
    const int shift = VbShift(e->modifiers());
    if (form && c != form && FormKeyPreview(*form)) {
        int k = code;
        form->KeyUp.Raise(k, shift);
        if (!StillThere(d) || k == 0) return true;
    }
    int k = code;
    c->KeyUp.Raise(k, shift);
    return !StillThere(d) || k == 0;
}

}  // namespace forms::detail

// ==================================================================== public

namespace forms {

using namespace detail;

Container::Container() : cd_(std::make_unique<ContainerData>()) { cd_->self = this; }

Container::~Container() = default;

Control::Control(Init init, std::unique_ptr<ControlData> d) : d_(std::move(d))
{
    EnsureApplication();
    d_->self = this;
    d_->host = init.host_;
    d_->container = &init.in_->ContainerImpl();
    d_->name = std::move(init.name_);
    d_->index = init.index_;
    d_->container->children.push_back(this);
}

Control::Control(std::unique_ptr<ControlData> d) : d_(std::move(d))
{
    EnsureApplication();
    d_->self = this;
}

Control::~Control()
{
    d_->dying = true;
    if (d_->container) {
        auto& ch = d_->container->children;
        ch.erase(std::remove(ch.begin(), ch.end(), this), ch.end());
    }
}

void Control::ThrowTypeMismatch() { Fail(13, "Type mismatch"); }

const std::string& Control::Name() const { return d_->name; }
int Control::Index() const { return d_->index; }
ControlHost* Control::Parent() const { return d_->host; }
std::string Control::Tag() const { return d_->st.tag; }
void Control::SetTag(const std::string& tag) { d_->st.tag = tag; }

double Control::Left() const { return d_->container ? d_->container->XFromTwips(d_->st.left) : d_->st.left; }
double Control::Top() const { return d_->container ? d_->container->YFromTwips(d_->st.top) : d_->st.top; }
double Control::Width() const { return d_->container ? d_->container->WFromTwips(d_->st.width) : d_->st.width; }
double Control::Height() const { return d_->container ? d_->container->HFromTwips(d_->st.height) : d_->st.height; }

void Control::SetLeft(double v) { Move(v); }
void Control::SetTop(double v) { Move(Left(), v); }
void Control::SetWidth(double v) { Move(Left(), Top(), v); }
void Control::SetHeight(double v) { Move(Left(), Top(), Width(), v); }

void Control::Move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    if ((width && *width < 0) || (height && *height < 0))
        Fail(380, "Invalid property value: negative size of " + d_->name);
    ContainerData* c = d_->container;
    CommonState& s = d_->st;
    const double oldW = s.width, oldH = s.height;
    s.left = c ? c->XToTwips(left) : left;
    if (top) s.top = c ? c->YToTwips(*top) : *top;
    if (width) s.width = c ? c->WToTwips(*width) : *width;
    if (height) s.height = c ? c->HToTwips(*height) : *height;
    d_->ApplyGeometry();
    if (s.width != oldW || s.height != oldH) d_->SizeChanged();
}

bool Control::Visible() const { return d_->st.visible; }

void Control::SetVisible(bool v)
{
    d_->st.visible = v;
    d_->ApplyVisible();
}

bool Control::Enabled() const { return d_->st.enabled; }

void Control::SetEnabled(bool v)
{
    d_->st.enabled = v;
    d_->ApplyEnabled();
}

std::string Control::ToolTipText() const { return d_->st.toolTip; }

void Control::SetToolTipText(const std::string& text)
{
    d_->st.toolTip = text;
    if (d_->widget) d_->widget->setToolTip(Q(text));
}

long Control::BackColor() const { return d_->st.back.value_or(d_->defaultBack); }

void Control::SetBackColor(long color)
{
    d_->st.back = color;
    d_->ApplyColors();
}

long Control::ForeColor() const { return d_->st.fore.value_or(d_->defaultFore); }

void Control::SetForeColor(long color)
{
    d_->st.fore = color;
    d_->ApplyColors();
}

forms::Font Control::Font() const { return d_->st.font; }

void Control::SetFont(const forms::Font& font)
{
    d_->st.font = font;
    d_->ApplyFont();
}

bool Control::FontBold() const { return d_->st.font.Bold; }
bool Control::FontItalic() const { return d_->st.font.Italic; }
bool Control::FontUnderline() const { return d_->st.font.Underline; }
double Control::FontSize() const { return d_->st.font.Size; }

std::string Control::FontName() const
{
    return d_->st.font.Name.empty() ? U(MakeQFont(d_->st.font).family()) : d_->st.font.Name;
}

void Control::SetFontBold(bool v)
{
    auto f = d_->st.font;
    f.Bold = v;
    SetFont(f);
}

void Control::SetFontItalic(bool v)
{
    auto f = d_->st.font;
    f.Italic = v;
    SetFont(f);
}

void Control::SetFontUnderline(bool v)
{
    auto f = d_->st.font;
    f.Underline = v;
    SetFont(f);
}

void Control::SetFontName(const std::string& v)
{
    auto f = d_->st.font;
    f.Name = v;
    SetFont(f);
}

void Control::SetFontSize(double v)
{
    if (v <= 0) Fail(380, "Invalid property value: FontSize");
    auto f = d_->st.font;
    f.Size = v;
    SetFont(f);
}

int Control::MousePointer() const { return d_->st.mousePointer; }

void Control::SetMousePointer(int pointer)
{
    d_->st.mousePointer = pointer;
    d_->ApplyCursor();
}

void Control::ZOrder(int position)
{
    QWidget* w = d_->widget;
    if (!w) return;
    if (position == vbSendToBack)
        w->lower();
    else if (w->isWindow())
        RaiseWindow(w);
    else
        w->raise();
    if (d_->container) Restack(d_->container->widget);
}

void Control::SetFocus()
{
    if (!d_->st.visible || !d_->st.enabled) return;
    QWidget* f = d_->FocusWidget();
    if (!f || !f->isVisible() || !f->isEnabled()) return;
    if (QWidget* win = f->window(); win && !win->isActiveWindow()) win->activateWindow();
    f->setFocus(Qt::OtherFocusReason);
}

bool Control::HasFocus() const { return ControlOf(QApplication::focusWidget()) == d_.get(); }

void Control::Refresh()
{
    if (d_->canvas) d_->canvas->paintPending = true;
    if (!d_->widget || !d_->widget->isVisible()) return;
    if (PaintDepth() > 0)
        d_->widget->update();  // not inside a paint: after it
    else
        d_->widget->repaint();
}

long Control::hWnd() const { return d_->hwnd; }

// ---------------------------------------------------------------- ControlHost

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

ControlHost::ControlHost() = default;

ControlHost::~ControlHost()
{
    cd_->dying = true;
    // Later controls may sit inside earlier ones: drop them first.
    for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) DropWidget((*it)->Impl());
    while (!owned_.empty()) owned_.pop_back();
    arrays_.clear();
}

Control::Init ControlHost::MakeInit(Container& in, const std::string& name, int index)
{
    if (in.ContainerImpl().host != this)
        Fail(5, "Invalid procedure call: " + name + " placed in a container of another form");
    return Control::Init(this, &in, name, index);
}

void ControlHost::Adopt(std::unique_ptr<Control> c)
{
    ControlData& d = c->Impl();
    if (d.index < 0 && Controls().Find(d.name))
        Fail(5, "Invalid procedure call: a control named " + d.name + " already exists");
    ContainerData* in = d.container;
    // Placed at run time on a page not shown: out of view, as the tab control keeps it.
    if (cd_->loaded && in && in->pageShown && !in->pageShown()) {
        d.st.left -= 75000;
        d.ApplyGeometry();
    }
    owned_.push_back(std::move(c));
}

void ControlHost::AdoptArray(std::unique_ptr<ControlArrayBase> a)
{
    for (const auto& x : arrays_)
        if (SameName(x->Name(), a->Name()))
            Fail(5, "Invalid procedure call: a control array named " + a->Name() + " already exists");
    arrays_.push_back(std::move(a));
}

void ControlHost::Destroy(Control* c)
{
    auto it = std::find_if(owned_.begin(), owned_.end(), [c](const auto& p) { return p.get() == c; });
    if (it == owned_.end()) return;
    DropWidget(c->Impl());
    std::unique_ptr<Control> gone = std::move(*it);
    owned_.erase(it);
}

ControlArrayBase& ControlHost::Array(const std::string& name) const
{
    for (const auto& a : arrays_)
        if (SameName(a->Name(), name)) return *a;
    Fail(340, "Control array element '" + name + "' doesn't exist");
}

bool ControlHost::Loaded() const { return cd_->loaded; }

// ---------------------------------------------------------------- ControlCollection

int ControlCollection::Count() const { return static_cast<int>(host_->owned_.size()); }

Control& ControlCollection::Item(int i) const
{
    if (i < 0 || i >= Count()) Fail(9, "Subscript out of range: Controls(" + std::to_string(i) + ")");
    return *host_->owned_[static_cast<std::size_t>(i)];
}

Control* ControlCollection::Find(const std::string& name, int index) const
{
    for (const auto& c : host_->owned_)
        if (c->Index() == index && SameName(c->Name(), name)) return c.get();
    return nullptr;
}

Control& ControlCollection::Item(const std::string& name, int index) const
{
    if (Control* c = Find(name, index)) return *c;
    Fail(730, "Control '" + name + (index >= 0 ? "(" + std::to_string(index) + ")" : "") + "' not found");
}

ControlCollection::iterator ControlCollection::begin() const { return iterator(&host_->owned_, 0); }
ControlCollection::iterator ControlCollection::end() const { return iterator(&host_->owned_, host_->owned_.size()); }

// ---------------------------------------------------------------- ControlArrayBase

ControlArrayBase::ControlArrayBase(ControlHost& host, Container& in, std::string name)
    : host_(&host), in_(&in), name_(std::move(name))
{
}

ControlArrayBase::~ControlArrayBase() = default;

int ControlArrayBase::LBound() const
{
    if (items_.empty()) Fail(340, "Control array " + name_ + " has no elements");
    return items_.begin()->first;
}

int ControlArrayBase::UBound() const
{
    if (items_.empty()) Fail(340, "Control array " + name_ + " has no elements");
    return items_.rbegin()->first;
}

Control& ControlArrayBase::ItemBase(int index) const
{
    auto it = items_.find(index);
    if (it == items_.end()) Fail(340, "Control array element '" + std::to_string(index) + "' doesn't exist: " + name_);
    return *it->second;
}

Control& ControlArrayBase::Create(int index, Container& in, bool atRunTime)
{
    if (index < 0) Fail(380, "Invalid property value: Index " + std::to_string(index) + " of " + name_);
    if (items_.count(index)) Fail(360, "Object already loaded: " + name_ + "(" + std::to_string(index) + ")");
    std::unique_ptr<Control> c = Make(host_->MakeInit(in, name_, index));
    Control& r = *c;
    r.Impl().array = this;
    r.Impl().loadedAtRunTime = atRunTime;
    host_->Adopt(std::move(c));
    items_[index] = &r;
    Relay(r, index);
    return r;
}

void ControlArrayBase::Load(int index)
{
    if (items_.empty()) Fail(340, "Control array " + name_ + " has no elements");
    Control& from = *items_.begin()->second;
    Container* in = from.Impl().container ? from.Impl().container->self : in_;
    Control& c = Create(index, *in, true);
    ControlData& d = c.Impl();
    d.CopyStateFrom(from.Impl());
    d.st.visible = false;
    d.ApplyAll();
}

void ControlArrayBase::Unload(int index)
{
    Control& c = ItemBase(index);
    if (!c.Impl().loadedAtRunTime)
        Fail(362, "Can't unload controls created at design time: " + name_ + "(" + std::to_string(index) + ")");
    items_.erase(index);
    host_->Destroy(&c);
}

void ControlArrayBase::Relay(Control& e, int index)
{
    e.Click += [this, index] { Click.Raise(index); };
    e.DblClick += [this, index] { DblClick.Raise(index); };
    e.Change += [this, index] { Change.Raise(index); };
    e.GotFocus += [this, index] { GotFocus.Raise(index); };
    e.LostFocus += [this, index] { LostFocus.Raise(index); };
    e.KeyDown += [this, index](int& k, int s) { KeyDown.Raise(index, k, s); };
    e.KeyUp += [this, index](int& k, int s) { KeyUp.Raise(index, k, s); };
    e.KeyPress += [this, index](int& k) { KeyPress.Raise(index, k); };
    e.MouseDown += [this, index](int b, int s, double x, double y) { MouseDown.Raise(index, b, s, x, y); };
    e.MouseMove += [this, index](int b, int s, double x, double y) { MouseMove.Raise(index, b, s, x, y); };
    e.MouseUp += [this, index](int b, int s, double x, double y) { MouseUp.Raise(index, b, s, x, y); };
}

}  // namespace forms
