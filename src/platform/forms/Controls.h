#pragma once
// The plain controls: Label, TextBox, CommandButton, CheckBox, OptionButton,
// Frame, Image, Shape, Line, Timer and the scroll bars.

#include <string>

#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"

namespace forms {

// A caption. "&" marks an access key ("&&" shows "&"); "\r\n" breaks lines;
// without AutoSize long captions wrap at word boundaries.
class Label : public Control {
public:
    explicit Label(Init init);
    std::string Caption() const;
    void SetCaption(const std::string& caption);  // raises Change when it differs
    int Alignment() const;                        // vbLeftJustify, vbRightJustify, vbCenter
    void SetAlignment(int a);
    bool AutoSize() const;
    void SetAutoSize(bool v);
    bool WordWrap() const;  // with AutoSize: grow downwards instead of sideways
    void SetWordWrap(bool v);
    int BorderStyle() const;  // 0 none, 1 fixed single
    void SetBorderStyle(int style);
    int BackStyle() const;  // 0 transparent, 1 opaque
    void SetBackStyle(int style);
    int Appearance() const;  // 0 flat, 1 3D
    void SetAppearance(int a);
};

class TextBox : public Control {
public:
    explicit TextBox(Init init);
    // Setting Text raises Change when it differs; "\r\n" are the line breaks
    // of a multi-line box.
    std::string Text() const;
    void SetText(const std::string& text);
    // Selection in characters ("\r\n" counts two, as in VB).
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SetSelText(const std::string& text);  // replaces the selection
    // The most characters the user may type (0: no limit); text set by code is kept whole.
    int MaxLength() const;
    void SetMaxLength(int n);
    bool MultiLine() const;
    void SetMultiLine(bool v);
    int ScrollBars() const;  // vbSBNone, vbHorizontal, vbVertical, vbBoth (multi-line only)
    void SetScrollBars(int v);
    bool Locked() const;  // read-only for the user
    void SetLocked(bool v);
    int Alignment() const;
    void SetAlignment(int a);
    int BorderStyle() const;  // 0 none, 1 fixed single
    void SetBorderStyle(int style);
    int Appearance() const;
    void SetAppearance(int a);
    // Data binding (DataBinding.h): the name of the field shown, and whether
    // the text was changed since the field's value was last shown.
    std::string DataField() const;
    void SetDataField(const std::string& field);
    bool DataChanged() const;
    void SetDataChanged(bool v);
};

class CommandButton : public Control {
public:
    explicit CommandButton(Init init);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // Setting Value to True clicks the button (raises Click).
    bool Value() const;
    void SetValue(bool v);
    // Enter anywhere on the form clicks the Default button, Escape the Cancel one.
    bool Default() const;
    void SetDefault(bool v);
    bool Cancel() const;
    void SetCancel(bool v);
    // 0 standard, 1 graphical (shows Picture and honours BackColor).
    int Style() const;
    void SetStyle(int style);
    forms::Picture Picture() const;
    void SetPicture(const forms::Picture& picture);
};

class CheckBox : public Control {
public:
    explicit CheckBox(Init init);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // vbUnchecked, vbChecked, vbGrayed; setting a different value raises Click.
    int Value() const;
    void SetValue(int v);
};

// Option buttons of one container form one group.
class OptionButton : public Control {
public:
    explicit OptionButton(Init init);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // Setting True clears the rest of the group and raises Click when it was False.
    bool Value() const;
    void SetValue(bool v);
};

class Frame : public Control, public Container {
public:
    explicit Frame(Init init);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    int BorderStyle() const;  // 0 none, 1 fixed single
    void SetBorderStyle(int style);
};

// A picture; without Stretch the control takes the picture's size.
class Image : public Control {
public:
    explicit Image(Init init);
    forms::Picture Picture() const;
    void SetPicture(const forms::Picture& picture);
    bool Stretch() const;
    void SetStretch(bool v);
    int BorderStyle() const;
    void SetBorderStyle(int style);
};

// A rectangle, square, oval, circle or rounded one; it takes no mouse input.
class Shape : public Control {
public:
    explicit Shape(Init init);
    int ShapeKind() const;  // VB's Shape property: vbShapeRectangle ... vbShapeRoundedSquare
    void SetShape(int shape);
    long BorderColor() const;
    void SetBorderColor(long color);
    int BorderWidth() const;  // pixels
    void SetBorderWidth(int pixels);
    int BorderStyle() const;  // vbTransparent, vbBSSolid ... vbBSInsideSolid
    void SetBorderStyle(int style);
    int FillStyle() const;
    void SetFillStyle(int style);
    long FillColor() const;
    void SetFillColor(long color);
    int BackStyle() const;  // 0 transparent, 1 opaque (BackColor)
    void SetBackStyle(int style);
};

// A line from (X1, Y1) to (X2, Y2) in the container's scale; no mouse input.
class Line : public Control {
public:
    explicit Line(Init init);
    double X1() const;
    void SetX1(double v);
    double Y1() const;
    void SetY1(double v);
    double X2() const;
    void SetX2(double v);
    double Y2() const;
    void SetY2(double v);
    long BorderColor() const;
    void SetBorderColor(long color);
    int BorderWidth() const;  // pixels
    void SetBorderWidth(int pixels);
    int BorderStyle() const;
    void SetBorderStyle(int style);
};

// Raises Tick (VB's Timer event) every Interval milliseconds while Enabled,
// Interval > 0 and its form (or user control) is loaded, from the event loop
// (DoEvents or a modal Show).
class Timer : public Control {
public:
    explicit Timer(Init init);
    ~Timer() override;
    int Interval() const;
    void SetInterval(int milliseconds);
    platform::Event<> Tick;
};

// Min may exceed Max (the value then grows towards the top or left).
class ScrollBar : public Control {
public:
    ScrollBar(Init init, bool vertical);
    explicit ScrollBar(Init init) : ScrollBar(std::move(init), true) {}
    ~ScrollBar() override;
    bool Vertical() const;
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    // Setting a different value raises Change; outside Min..Max: Error 380.
    int Value() const;
    void SetValue(int v);
    int SmallChange() const;
    void SetSmallChange(int v);
    int LargeChange() const;
    void SetLargeChange(int v);
    // Scroll: while the thumb is dragged; Change when it is let go.
    platform::Event<> Scroll;
};

class HScrollBar : public ScrollBar {
public:
    explicit HScrollBar(Init init) : ScrollBar(std::move(init), false) {}
};
class VScrollBar : public ScrollBar {
public:
    explicit VScrollBar(Init init) : ScrollBar(std::move(init), true) {}
};

}  // namespace forms
