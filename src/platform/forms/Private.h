#pragma once
// The Qt side of the forms layer: what each control keeps, the widgets that
// show it, and the event hook that turns Qt's input into VB's events.
// Included by the layer's own sources only.

#include <QEvent>
#include <QFont>
#include <QColor>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/Canvas.h"
#include "platform/forms/Control.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Picture.h"
#include "platform/forms/Types.h"

class QCoreApplication;
class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace forms {
class Form;
class TextBox;
}  // namespace forms

namespace forms::detail {

inline constexpr double kTwipsPerPixel = 15.0;

// Twips to whole pixels (nearest) and back.
int Px(double twips);
inline double Tw(double pixels) { return pixels * kTwipsPerPixel; }

QString Q(const std::string& s);
std::string U(const QString& s);
QColor ToQColor(long vbColor);
long FromQColor(const QColor& c);
QFont MakeQFont(const Font& f);
Qt::CursorShape CursorShapeFor(int mousePointer);
// "&x" access keys of a caption shown by a plain label: "&&" is "&", a lone "&" vanishes.
QString StripAccessKeys(const QString& caption);
QString FromVbText(const std::string& s);  // "\r\n" -> "\n"
std::string ToVbText(const QString& s);    // "\n" -> "\r\n"

// The QApplication, created on first use when the program has none (tests).
void EnsureApplication();
// Raises a top-level window, where the platform stacks windows at all.
void RaiseWindow(QWidget* w);
[[noreturn]] void Fail(int number, const std::string& description);

// VB's keyboard and mouse arguments.
int VbKeyCode(const QKeyEvent& e);
int QtKeyFor(int vbKeyCode);
int VbShift(Qt::KeyboardModifiers m);
int VbButton(Qt::MouseButton b);
int VbButtons(Qt::MouseButtons b);
Qt::MouseButton QtButton(int vbButton);
Qt::KeyboardModifiers QtModifiers(int vbShift);

struct PictureData {
    QImage image;
};
Picture MakePicture(QImage image);
const QImage* ImageOf(const Picture& p);  // nullptr for the empty picture

struct ControlData;

// A place controls live in, and the scale their positions use.
struct ContainerData {
    Container* self = nullptr;
    Control* owner = nullptr;     // the control showing it (the form or user control for hosts)
    ControlHost* host = nullptr;  // the host whose controls are placed here
    QPointer<QWidget> widget;     // parent of the controls' widgets
    int tab = -1;                 // page of a tab control
    bool scaled = false;          // has its own ScaleMode (form, user control, picture box)
    int scaleMode = vbTwips;
    double scaleLeft = 0, scaleTop = 0, scaleWidth = 1, scaleHeight = 1;  // with vbUser
    std::function<QSize()> clientSize;                                    // inner size in pixels
    std::function<bool()> pageShown;                                      // tab pages: is this page the one shown
    std::vector<Control*> children;
    // Hosts only: loaded (a form) or sited (a user control); being destroyed.
    bool loaded = false;
    bool dying = false;

    double ClientWidthTwips() const;
    double ClientHeightTwips() const;
    double TwipsPerUnitX() const;
    double TwipsPerUnitY() const;
    double XToTwips(double u) const { return (u - scaleLeft) * TwipsPerUnitX(); }
    double YToTwips(double u) const { return (u - scaleTop) * TwipsPerUnitY(); }
    double WToTwips(double u) const { return u * TwipsPerUnitX(); }
    double HToTwips(double u) const { return u * TwipsPerUnitY(); }
    double XFromTwips(double t) const { return t / TwipsPerUnitX() + scaleLeft; }
    double YFromTwips(double t) const { return t / TwipsPerUnitY() + scaleTop; }
    double WFromTwips(double t) const { return t / TwipsPerUnitX(); }
    double HFromTwips(double t) const { return t / TwipsPerUnitY(); }
    void SetScaleMode(int mode);
};

class Hook;

struct CommonState {
    double left = 0, top = 0, width = 0, height = 0;  // twips
    bool visible = true;
    bool enabled = true;
    std::string tag;
    std::string toolTip;
    std::optional<long> back;
    std::optional<long> fore;
    Font font;
    int mousePointer = vbDefault;
};

struct ControlData {
    ControlData();
    virtual ~ControlData();
    ControlData(const ControlData&) = delete;
    ControlData& operator=(const ControlData&) = delete;

    Control* self = nullptr;
    ControlHost* host = nullptr;
    ContainerData* container = nullptr;  // where it is placed; nullptr for forms
    ContainerData* own = nullptr;        // its own inside, for containers
    std::string name;
    int index = -1;
    long hwnd = 0;
    ControlArrayBase* array = nullptr;
    bool loadedAtRunTime = false;

    QPointer<QWidget> widget;                  // the outer widget
    std::vector<QPointer<QWidget>> mouseFrom;  // widgets whose mouse input is this control's
    std::unique_ptr<Hook> hook;
    bool dying = false;

    CanvasData* canvas = nullptr;  // forms, user controls and picture boxes
    bool lightweight = false;      // windowless in VB: stays beneath the other controls
    bool clickOnRelease = false;   // Click = left press and release on the control
    bool dblClickEvent = true;     // a double click raises DblClick (buttons: a second press)
    long defaultBack = vbButtonFace;
    long defaultFore = vbButtonText;
    CommonState st;
    int quiet = 0;  // > 0 while code sets a value: Qt's signals then raise nothing

    // mouse state between press and release
    bool leftDown = false;
    bool afterDblClick = false;

    bool CanRaise() const;
    Form* TopForm() const;
    QWidget* ParentWidget() const;

    // Takes the widget: event hook, mouse tracking, the state, z-order.
    void Attach(QWidget* w);
    void AddMouseSource(QWidget* w);
    void ReplaceWidget(QWidget* w);  // a new widget for the same control (TextBox.MultiLine)

    // Mouse position in pixels of MouseOrigin() to the units of the control's
    // events, and back.
    double MouseX(double px) const;
    double MouseY(double py) const;
    QPointF MousePixels(double x, double y) const;

    // Push state to the widget.
    virtual void ApplyAll();
    virtual void ApplyGeometry();
    virtual void ApplyColors();
    virtual void ApplyFont();
    virtual void ApplyVisible();
    virtual void ApplyEnabled();
    virtual void ApplyCursor();
    virtual void CopyStateFrom(const ControlData& o);
    // Labels and frames: BackColor and ForeColor as the widget's window colours.
    void ApplyWindowColors(bool opaque);
    virtual QWidget* FocusWidget() const { return widget; }
    // Containers: the inside whose controls show now (a tab control's page shown).
    virtual const ContainerData* ShownInside() const { return own; }
    virtual QWidget* MouseOrigin() const { return widget; }  // where mouse units start
    // The size changed by code (forms, user controls and picture boxes raise Resize).
    virtual void SizeChanged() {}
    // The host finished its design: loaded or sited.
    virtual void HostLoaded() {}
    // Default and Cancel buttons answer Enter and Escape.
    virtual bool IsCommandButton() const { return false; }
    virtual bool IsDefault() const { return false; }
    virtual bool IsCancel() const { return false; }
    virtual void PressByKey() {}
    // TextBox: whether one more typed character fits MaxLength.
    virtual bool AcceptsMoreText() const { return true; }
};

// Deletes the control's widget now, or after the event being handled when a
// VB event is being raised (the handler may be running on that widget).
void DropWidget(ControlData& d);
// Marks a VB event raised from inside Qt's handling of input or a signal:
// widgets dropped meanwhile wait for the event loop before they go.
struct Dispatching {
    Dispatching();
    ~Dispatching();
    Dispatching(const Dispatching&) = delete;
    Dispatching& operator=(const Dispatching&) = delete;
};
int DispatchDepth();

// Code is setting a value: Qt's change signals raise nothing meanwhile.
struct Quiet {
    explicit Quiet(ControlData& d) : d_(d) { ++d_.quiet; }
    ~Quiet() { --d_.quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
    ControlData& d_;
};

// Raises a VB event for a Qt signal, unless code is setting the value or the
// control is going away.
void RaiseFromQt(ControlData* d, platform::Event<>& e);

// The control of a widget (or of the nearest ancestor that is a control's
// widget); nullptr when none is alive.
ControlData* ControlOf(const QObject* w);
bool Alive(const ControlData* d);

// Keeps Label, Image, Shape and Line beneath the other controls of a container.
void Restack(QWidget* parent);

// Turns Qt's input on the control's widgets into VB events.
class Hook : public QObject {
public:
    explicit Hook(ControlData* d) : d_(d) {}
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The control is gone while Qt still holds the hook (deleted later, and
    // perhaps still filtering widgets the control did not list): from now on
    // it lets every event pass.
    void Detach() { d_ = nullptr; }
    bool forwarding = false;  // a rewritten key on its way to the widget

private:
    bool Mouse(QObject* watched, QMouseEvent* e);
    bool KeyDown(QObject* watched, QKeyEvent* e);
    bool KeyUp(QKeyEvent* e);
    ControlData* d_;
};

// Tests: lets go of the buttons a simulated press still holds (Testing.cpp).
void ReleaseSimulatedMouse();

// The last mouse buttons pressed through any control (VB button mask) and
// where: DragWindow starts only while the left button is down.
int CurrentButtons();
QPoint LastPressGlobal();

// Drawing state of forms, user controls and picture boxes.
struct CanvasData {
    ControlData* owner = nullptr;    // ForeColor, Font, BackColor
    ContainerData* scale = nullptr;  // scale and inner widget
    QImage layer;                    // the drawings; transparent elsewhere
    Picture picture;                 // shown beneath the drawings
    double currentX = 0, currentY = 0;
    int drawWidth = 1;
    int drawStyle = vbSolid;
    int fillStyle = vbFSTransparent;
    long fillColor = vbBlack;
    bool fontTransparent = true;
    bool autoRedraw = false;
    bool painting = false;
    // VB raises Paint when the surface itself is exposed (shown, resized,
    // restored, Refresh), not when a control on it repaints.
    bool paintPending = true;
    std::function<void()> onPaint;  // the owner's Paint event

    QPointF ToPx(double x, double y) const;
    double WPx(double w) const;
    double HPx(double h) const;
    QImage& Layer();  // grown to the inner size
    void Changed();   // schedule a repaint (not while painting)
    void PaintSurface(QPainter& p, const QRect& clip) const;
    QImage Composite() const;
    QPen Pen(std::optional<long> color) const;
};

// Ties a form, user control or picture box to its inside (scale, children)
// and its drawings; `paint` raises its Paint event.
void BindSurface(Control* owner, ControlHost* host, ControlData& d, ContainerData& inside, CanvasData& cv,
                 std::function<void()> paint);

// > 0 while a surface is being painted (its Paint handlers may ask for
// repaints, which then wait for the next paint).
int& PaintDepth();

// The inner surface of forms, user controls and picture boxes.
class SurfaceWidget : public QWidget {
public:
    SurfaceWidget(QWidget* parent, CanvasData* cv) : QWidget(parent), cv_(cv) {}
    CanvasData* cv_;
    // The control is gone but Qt deletes its window later (it was unloaded
    // inside one of its own events): from now on the window must not reach
    // back into the control's data.
    virtual void Detach() { cv_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};

// Sites the user controls owned by `host` (inner ones first) and tells every
// control that the design is over; UnsiteHost writes back changed properties.
void SiteHost(ControlHost& host, const std::string& bagPrefix);
void UnsiteHost(ControlHost& host);
// Forms: Enter/Escape reach the Default/Cancel button; KeyPreview.
ControlData* DefaultButton(Form& f, bool cancel);
bool FormKeyPreview(Form& f);
// Forms: move by the mouse (the DragWindow fallback where the platform has no window move).
bool FormDragging(Form& f);
void FormDragTo(Form& f, QPoint global);
void FormDragEnd(Form& f);
// Every form object alive, and the forms loaded now (in load order).
std::vector<Form*>& AllForms();
std::vector<Form*>& LoadedForms();
// The test driver that answers modal shows (Testing.h).
std::function<void(Form&)>& CurrentTestDriver();
std::function<void()>& CurrentYieldHook();  // Testing.cpp: called after each DoEvents
// Where a tab's button is drawn (pixels of the tab control), for the test user.
QRect TabButtonRect(const Control& tabControl, int tab);
// Where a tab's caption is drawn (pixels of the tab control), for the tests.
QRect TabCaptionRect(const Control& tabControl, int tab);
// The keyboard's way through a form (TabOrder.cpp): the controls Tab stops
// at, in order; one step from a control (nullptr: from the form); the first
// stop focused when the focus is on none that shows; Tab and Shift+Tab
// handled for every form of the application.
std::vector<ControlData*> TabStops(Form& f);
void StepFocus(Form& f, ControlData* from, bool forward);
void FocusFirstStopUnlessInView(Form& f);
// A control inside `area` that had the focus and no longer shows (its tab
// page was put away) lets go of it: keys typed then reach no unseen field.
void DropFocusOutOfView(QWidget* area);
void InstallTabKeys(QCoreApplication* app);
// Focus bookkeeping of a form: VB's GotFocus/LostFocus pairs.
void FocusMoved(ControlData* now);
void ForgetFocus(ControlData* gone);

// Where DataBinding.cpp keeps a text box's binding (empty while unbound), and
// its answer to a new DataField of a bound box.
std::shared_ptr<void>& DataBindingOf(TextBox& box);
void DataFieldChanged(TextBox& box);

}  // namespace forms::detail
