// Forms: top-level windows with VB's load, show, hide and unload cycle.

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QMoveEvent>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "platform/forms/Application.h"
#include "platform/forms/Form.h"
#include "platform/forms/Private.h"
#include "platform/forms/UserControl.h"

namespace forms::detail {

std::vector<Form*>& AllForms()
{
    static auto* all = new std::vector<Form*>;
    return *all;
}

std::vector<Form*>& LoadedForms()
{
    static auto* loaded = new std::vector<Form*>;
    return *loaded;
}

struct FormData : ControlData {
    Form* form = nullptr;
    std::string caption;
    Picture icon;
    int borderStyle = 2;
    bool topMost = false;
    int windowState = vbNormal;
    bool keyPreview = false;
    bool shownSinceLoad = false;
    bool modal = false;
    QEventLoop* loop = nullptr;
    double reportedW = -1, reportedH = -1;
    ControlData* focused = nullptr;
    bool dragging = false;
    QPoint dragStartGlobal, dragStartPos;
    bool placing = false;    // geometry being set by code
    bool unloading = false;  // closing the window from Unload

    void ApplyGeometry() override;
    void ApplyVisible() override {}
    void SizeChanged() override;
    void ApplyFlags();
    void ReportResize();
};

// The form's window: its surface, plus what a top-level window tells VB.
class FormWidget : public SurfaceWidget {
public:
    FormWidget(CanvasData* cv, FormData* fd) : SurfaceWidget(nullptr, cv), fd_(fd) {}
    void Detach() override
    {
        SurfaceWidget::Detach();
        fd_ = nullptr;
    }

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    FormData* fd_;
};

namespace {

bool UnloadForm(Form& f, int mode);

// The forms shown modally now, the innermost last.
std::vector<Form*>& ModalForms()
{
    static auto* forms = new std::vector<Form*>;
    return *forms;
}

// While a form is shown modally the user reaches no other form, as VB
// disables them; windows that are not forms (the drawing host, drop-down
// lists) stay usable, so that a dialog can ask for points in the drawing.
class ModalGate : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu: break;
        default: return false;
        }
        if (ModalForms().empty() || !watched->isWidgetType()) return false;
        ControlData* d = ControlOf(static_cast<QWidget*>(watched)->window());
        auto* form = d ? dynamic_cast<Form*>(d->self) : nullptr;
        return form && form != ModalForms().back();
    }
};

// One modal show: the form heads the modal forms until it ends.
struct ModalShow {
    explicit ModalShow(Form& f) : f_(f)
    {
        static ModalGate* gate = nullptr;
        if (!gate) {
            gate = new ModalGate;
            qApp->installEventFilter(gate);
        }
        ModalForms().push_back(&f_);
    }
    ~ModalShow()
    {
        auto& m = ModalForms();
        m.erase(std::remove(m.begin(), m.end(), &f_), m.end());
    }
    Form& f_;
};

// A dialog its caller put nowhere (its design place, the corner 0,0) opens
// over the middle of the window that opened it, whole on that window's
// screen, rather than in the screen's corner over the other windows.
void CentreOnOwner(FormData& fd, Form& owner)
{
    const auto& od = static_cast<const FormData&>(owner.Impl());
    if (!od.widget || !od.widget->isVisible()) return;
    double left = od.st.left + (od.st.width - fd.st.width) / 2;
    double top = od.st.top + (od.st.height - fd.st.height) / 2;
    if (const QScreen* screen = od.widget->screen()) {
        const QRect a = screen->availableGeometry();
        left = std::max(Tw(a.left()), std::min(left, Tw(a.left() + a.width()) - fd.st.width));
        top = std::max(Tw(a.top()), std::min(top, Tw(a.top() + a.height()) - fd.st.height));
    }
    fd.st.left = left;
    fd.st.top = top;
}

}  // namespace

FormData* FormDataOf(Form& f) { return static_cast<FormData*>(&f.Impl()); }

void FormData::ApplyGeometry()
{
    if (!widget) return;
    placing = true;
    widget->move(Px(st.left), Px(st.top));
    widget->resize(std::max(1, Px(st.width)), std::max(1, Px(st.height)));
    placing = false;
}

void FormData::ReportResize()
{
    reportedW = st.width;
    reportedH = st.height;
    if (CanRaise()) form->Resize.Raise();
}

void FormData::SizeChanged()
{
    if (!form->Loaded()) return;
    if (st.width == reportedW && st.height == reportedH) return;
    ReportResize();
}

void FormData::ApplyFlags()
{
    if (!widget) return;
    Qt::WindowFlags flags = Qt::Window;
    if (borderStyle == 0) flags |= Qt::FramelessWindowHint;
    if (topMost) flags |= Qt::WindowStaysOnTopHint;
    if (widget->windowFlags() == flags) return;
    const bool shown = widget->isVisible();
    widget->setWindowFlags(flags);  // hides the window
    ApplyGeometry();
    if (shown) widget->show();
}

bool FormWidget::event(QEvent* e)
{
    if (fd_ && fd_->CanRaise() && fd_->form->Loaded()) {
        Dispatching dispatching;
        if (e->type() == QEvent::WindowActivate) {
            fd_->form->Activate.Raise();
            // The focus starts on the first control the keyboard reaches, as
            // VB's lowest TabIndex, unless it already is on one that shows.
            if (fd_ && fd_->CanRaise() && fd_->form->Loaded()) FocusFirstStopUnlessInView(*fd_->form);
        }
        if (e->type() == QEvent::WindowDeactivate) fd_->form->Deactivate.Raise();
    }
    return SurfaceWidget::event(e);
}

void FormWidget::closeEvent(QCloseEvent* e)
{
    if (!fd_ || fd_->unloading || !fd_->CanRaise()) {
        e->accept();
        return;
    }
    // The close button: the form decides (QueryUnload/Unload), and unloading
    // hides the window itself.
    e->ignore();
    Dispatching dispatching;
    UnloadForm(*fd_->form, vbFormControlMenu);
}

void FormWidget::moveEvent(QMoveEvent* e)
{
    SurfaceWidget::moveEvent(e);
    if (!fd_ || fd_->placing) return;
    if (Px(fd_->st.left) != x()) fd_->st.left = Tw(x());
    if (Px(fd_->st.top) != y()) fd_->st.top = Tw(y());
}

void FormWidget::resizeEvent(QResizeEvent* e)
{
    SurfaceWidget::resizeEvent(e);
    if (!fd_ || fd_->placing) return;
    bool changed = false;
    if (Px(fd_->st.width) != width()) {
        fd_->st.width = Tw(width());
        changed = true;
    }
    if (Px(fd_->st.height) != height()) {
        fd_->st.height = Tw(height());
        changed = true;
    }
    if (changed) fd_->SizeChanged();
}

void FormWidget::changeEvent(QEvent* e)
{
    SurfaceWidget::changeEvent(e);
    if (fd_ && e->type() == QEvent::WindowStateChange) {
        fd_->windowState = isMinimized() ? vbMinimized : isMaximized() ? vbMaximized : vbNormal;
        if (!isMinimized()) cv_->paintPending = true;  // restored: exposed again
    }
}

ControlData* DefaultButton(Form& f, bool cancel)
{
    for (Control& c : f.Controls()) {
        ControlData& d = c.Impl();
        if (!(cancel ? d.IsCancel() : d.IsDefault())) continue;
        if (d.st.visible && d.st.enabled && d.widget && d.widget->isVisible()) return &d;
    }
    return nullptr;
}

bool FormKeyPreview(Form& f) { return FormDataOf(f)->keyPreview; }

bool FormDragging(Form& f) { return FormDataOf(f)->dragging; }

void FormDragTo(Form& f, QPoint global)
{
    FormData* fd = FormDataOf(f);
    if (fd->widget) fd->widget->move(fd->dragStartPos + (global - fd->dragStartGlobal));
}

void FormDragEnd(Form& f) { FormDataOf(f)->dragging = false; }

void FocusMoved(ControlData* now)
{
    if (!Alive(now) || dynamic_cast<Form*>(now->self) || dynamic_cast<UserControl*>(now->self)) return;
    Form* form = now->TopForm();
    if (!form) return;
    FormData* fd = FormDataOf(*form);
    ControlData* before = fd->focused;
    if (before == now) return;
    fd->focused = now;
    if (Alive(before) && before->CanRaise()) before->self->LostFocus.Raise();
    if (Alive(now) && now->CanRaise()) now->self->GotFocus.Raise();
}

void ForgetFocus(ControlData* gone)
{
    for (Form* f : AllForms()) {
        FormData* fd = FormDataOf(*f);
        if (fd->focused == gone) fd->focused = nullptr;
    }
}

namespace {

void RaiseShowOfUserControls(ControlHost& host)
{
    for (Control& c : host.Controls())
        if (auto* uc = dynamic_cast<UserControl*>(&c)) {
            RaiseShowOfUserControls(*uc);
            if (c.Impl().CanRaise()) uc->Show.Raise();
        }
}

bool UnloadForm(Form& f, int mode)
{
    FormData* fd = FormDataOf(f);
    if (!f.Loaded()) return true;
    int cancel = 0;
    f.QueryUnload.Raise(cancel, mode);
    if (cancel) return false;
    f.Unload.Raise(cancel);
    if (cancel) return false;
    if (!f.Loaded()) return true;  // unloaded by a handler meanwhile
    UnsiteHost(f);
    f.ContainerImpl().loaded = false;
    auto& loaded = LoadedForms();
    loaded.erase(std::remove(loaded.begin(), loaded.end(), &f), loaded.end());
    fd->st.visible = false;
    fd->shownSinceLoad = false;
    fd->focused = nullptr;
    fd->dragging = false;
    if (fd->widget) {
        fd->unloading = true;
        fd->widget->close();
        fd->unloading = false;
    }
    if (fd->loop) fd->loop->exit();
    return true;
}

}  // namespace

}  // namespace forms::detail

namespace forms {

using namespace detail;

Form::Form(const std::string& name) : Control(std::make_unique<FormData>())
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.form = this;
    fd.name = name;
    fd.st.visible = false;
    fd.st.width = 4800;
    fd.st.height = 3600;
    BindSurface(this, this, fd, *cd_, *cv_, [this] { Paint.Raise(); });
    auto* w = new FormWidget(cv_.get(), &fd);
    cd_->widget = w;
    fd.Attach(w);
    fd.ApplyFlags();
    AllForms().push_back(this);
}

Form::~Form()
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.dying = true;
    cd_->dying = true;
    if (fd.loop) fd.loop->exit();
    auto& all = AllForms();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    auto& loaded = LoadedForms();
    loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
    DropWidget(fd);
}

void Load(Form& f)
{
    FormData* fd = FormDataOf(f);
    if (f.Loaded()) return;
    f.ContainerImpl().loaded = true;
    LoadedForms().push_back(&f);
    fd->reportedW = fd->st.width;
    fd->reportedH = fd->st.height;
    SiteHost(f, f.Name());
    if (fd->CanRaise()) f.Load.Raise();
}

void Unload(Form& f) { UnloadForm(f, vbFormCode); }

void Form::Show(int modal, Form* owner)
{
    auto& fd = static_cast<FormData&>(*d_);
    QWidget* w = fd.widget;
    if (modal && w && w->isVisible() && !fd.modal) Fail(400, "Form already displayed; can't show modally: " + fd.name);
    if (modal && fd.modal) Fail(400, "Form already displayed modally: " + fd.name);
    forms::Load(*this);
    if (!Loaded() || !fd.widget) return;  // unloaded by its Load handler

    if (owner && owner != this && owner->Impl().widget) {
        owner->Impl().widget->winId();
        w->winId();
        if (QWindow* ow = owner->Impl().widget->windowHandle()) w->windowHandle()->setTransientParent(ow);
    }
    if (!fd.shownSinceLoad && owner && owner != this && fd.windowState == vbNormal && fd.st.left == 0 && fd.st.top == 0)
        CentreOnOwner(fd, *owner);
    fd.st.visible = true;
    // Before its first show a window is placed by its inside; once shown, by
    // its frame, which is what Left and Top give.
    fd.placing = true;
    if (fd.windowState == vbMinimized)
        w->showMinimized();
    else if (fd.windowState == vbMaximized)
        w->showMaximized();
    else
        w->show();
    fd.placing = false;
    if (fd.windowState == vbNormal) fd.ApplyGeometry();
    if (!fd.shownSinceLoad) {
        fd.shownSinceLoad = true;
        fd.ReportResize();
        RaiseShowOfUserControls(*this);
        if (!Loaded() || !fd.widget) return;
    }
    RaiseWindow(w);
    w->activateWindow();
    if (!modal) return;

    fd.modal = true;
    ModalShow shown(*this);
    if (auto& driver = CurrentTestDriver()) {
        ReleaseSimulatedMouse();
        DoEvents();
        std::function<void(Form&)> run = driver;  // the driver may install another one meanwhile
        run(*this);
        if (Loaded() && fd.widget && fd.widget->isVisible()) Hide();
    } else {
        QEventLoop loop;
        fd.loop = &loop;
        if (fd.st.visible) loop.exec(QEventLoop::DialogExec);  // unless hidden already while showing
        fd.loop = nullptr;
    }
    fd.modal = false;
}

void Form::Hide()
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.st.visible = false;
    fd.dragging = false;
    if (fd.widget) fd.widget->hide();
    if (fd.loop) fd.loop->exit();
}

void Form::SetVisible(bool v)
{
    if (v)
        Show(vbModeless);
    else
        Hide();
}

bool Form::IsModal() const { return static_cast<FormData&>(*d_).modal; }

std::string Form::Caption() const { return static_cast<FormData&>(*d_).caption; }

void Form::SetCaption(const std::string& caption)
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.caption = caption;
    if (fd.widget) fd.widget->setWindowTitle(Q(caption));
}

forms::Picture Form::Icon() const { return static_cast<FormData&>(*d_).icon; }

void Form::SetIcon(const forms::Picture& icon)
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.icon = icon;
    if (!fd.widget) return;
    if (const QImage* img = ImageOf(icon))
        fd.widget->setWindowIcon(QIcon(QPixmap::fromImage(*img)));
    else
        fd.widget->setWindowIcon(QIcon());
}

forms::Picture Form::Picture() const { return cv_->picture; }

void Form::SetPicture(const forms::Picture& picture)
{
    cv_->picture = picture;
    if (!cv_->layer.isNull()) cv_->layer.fill(Qt::transparent);
    cv_->Changed();
}

int Form::BorderStyle() const { return static_cast<FormData&>(*d_).borderStyle; }

void Form::SetBorderStyle(int style)
{
    if (style < 0 || style > 5) Fail(380, "Invalid property value: BorderStyle " + std::to_string(style));
    auto& fd = static_cast<FormData&>(*d_);
    fd.borderStyle = style;
    fd.ApplyFlags();
}

bool Form::TopMost() const { return static_cast<FormData&>(*d_).topMost; }

void Form::SetTopMost(bool v)
{
    auto& fd = static_cast<FormData&>(*d_);
    fd.topMost = v;
    fd.ApplyFlags();
}

int Form::WindowState() const { return static_cast<FormData&>(*d_).windowState; }

void Form::SetWindowState(int state)
{
    if (state < vbNormal || state > vbMaximized)
        Fail(380, "Invalid property value: WindowState " + std::to_string(state));
    auto& fd = static_cast<FormData&>(*d_);
    fd.windowState = state;
    QWidget* w = fd.widget;
    if (!w || !w->isVisible()) return;
    if (state == vbMinimized)
        w->showMinimized();
    else if (state == vbMaximized)
        w->showMaximized();
    else
        w->showNormal();
    fd.windowState = state;  // the platform may report the change later
}

bool Form::KeyPreview() const { return static_cast<FormData&>(*d_).keyPreview; }
void Form::SetKeyPreview(bool v) { static_cast<FormData&>(*d_).keyPreview = v; }

Control* Form::ActiveControl() const
{
    ControlData* f = static_cast<FormData&>(*d_).focused;
    return Alive(f) ? f->self : nullptr;
}

void Form::DragWindow()
{
    auto& fd = static_cast<FormData&>(*d_);
    if (!(CurrentButtons() & vbLeftButton) || !fd.widget || !fd.widget->isVisible()) return;
    if (QWindow* win = fd.widget->windowHandle(); win && win->startSystemMove()) return;
    // No window move from the platform (offscreen, some window managers):
    // follow the mouse ourselves until the button is let go.
    fd.dragging = true;
    fd.dragStartGlobal = LastPressGlobal();
    fd.dragStartPos = fd.widget->pos();
}

}  // namespace forms
