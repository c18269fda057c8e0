#pragma once
// The base of every control and form: name, position and size in twips,
// appearance, focus, and the events every VB control may raise.

#include <memory>
#include <optional>
#include <string>

#include "platform/Event.h"
#include "platform/forms/Types.h"

namespace forms {

class Control;
class ControlHost;
class ControlArrayBase;

namespace detail {
struct ControlData;
struct ContainerData;
}  // namespace detail

// Something controls are placed in: a form, a user control, a frame, a
// picture box, or one page of a tab control. Positions of the controls inside
// are in the container's scale (twips unless its ScaleMode says otherwise).
class Container {
public:
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container();

    detail::ContainerData& ContainerImpl() const { return *cd_; }

protected:
    Container();
    std::unique_ptr<detail::ContainerData> cd_;
};

class Control {
public:
    // How a control learns its owner, container, name and index; only a
    // ControlHost (Add, AddArray) and a control array (Load) make one.
    class Init {
    private:
        friend class Control;
        friend class ControlHost;
        friend class ControlArrayBase;
        Init(ControlHost* host, Container* in, std::string name, int index)
            : host_(host), in_(in), name_(std::move(name)), index_(index)
        {
        }
        ControlHost* host_;
        Container* in_;
        std::string name_;
        int index_;
    };

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    const std::string& Name() const;
    int Index() const;  // -1 unless an element of a control array
    // The form or user control that owns this control (nullptr for a form).
    ControlHost* Parent() const;

    std::string Tag() const;
    void SetTag(const std::string& tag);

    // Position and size in twips (or the container's scale units).
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double v);
    void SetTop(double v);
    void SetWidth(double v);
    void SetHeight(double v);
    void Move(double left, std::optional<double> top = {}, std::optional<double> width = {},
              std::optional<double> height = {});

    bool Visible() const;
    virtual void SetVisible(bool v);
    bool Enabled() const;
    void SetEnabled(bool v);
    std::string ToolTipText() const;
    void SetToolTipText(const std::string& text);

    long BackColor() const;
    void SetBackColor(long color);
    long ForeColor() const;
    void SetForeColor(long color);

    forms::Font Font() const;
    void SetFont(const forms::Font& font);
    bool FontBold() const;
    void SetFontBold(bool v);
    bool FontItalic() const;
    void SetFontItalic(bool v);
    bool FontUnderline() const;
    void SetFontUnderline(bool v);
    std::string FontName() const;
    void SetFontName(const std::string& v);
    double FontSize() const;
    void SetFontSize(double v);

    int MousePointer() const;
    void SetMousePointer(int pointer);

    // 0 brings to the front, 1 sends to the back. Label, Image, Shape and
    // Line stay beneath the other controls of their container, as in VB.
    void ZOrder(int position = vbBringToFront);
    // Gives the keyboard focus; a hidden or disabled control (or one on a
    // form not shown) cannot take it and the call does nothing.
    void SetFocus();
    bool HasFocus() const;
    // Repaints now.
    void Refresh();
    // A number that identifies this window for the whole run.
    long hWnd() const;

    // The control as its own kind; throws Error 13 for another kind.
    template <class T>
    T& As()
    {
        if (auto* p = dynamic_cast<T*>(this)) return *p;
        ThrowTypeMismatch();
    }

    // Events. Buttons are vbLeftButton/vbRightButton/vbMiddleButton, Shift is
    // vbShiftMask|vbCtrlMask|vbAltMask, X and Y are in twips (or the scale of
    // the control's container, or the object's own scale for forms, user
    // controls and picture boxes). KeyAscii and KeyCode may be rewritten;
    // setting them to 0 drops the key.
    platform::Event<> Click;
    platform::Event<> DblClick;
    platform::Event<> Change;
    platform::Event<> GotFocus;
    platform::Event<> LostFocus;
    platform::Event<int&, int> KeyDown;                   // KeyCode, Shift
    platform::Event<int&, int> KeyUp;                     // KeyCode, Shift
    platform::Event<int&> KeyPress;                       // KeyAscii
    platform::Event<int, int, double, double> MouseDown;  // Button, Shift, X, Y
    platform::Event<int, int, double, double> MouseMove;
    platform::Event<int, int, double, double> MouseUp;

    detail::ControlData& Impl() const { return *d_; }

protected:
    Control(Init init, std::unique_ptr<detail::ControlData> d);
    explicit Control(std::unique_ptr<detail::ControlData> d);  // forms: no host, no container

    std::unique_ptr<detail::ControlData> d_;

private:
    [[noreturn]] static void ThrowTypeMismatch();
};

}  // namespace forms
