// Label, CommandButton, CheckBox, OptionButton, Frame, Image, Shape, Line,
// Timer and the scroll bars.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "platform/forms/Controls.h"
#include "platform/forms/Private.h"

namespace forms::detail {

namespace {

template <class D>
D& DataOf(const Control& c)
{
    return static_cast<D&>(c.Impl());
}

// Applies f to the control's state, then shows the result.
template <class D, class F>
void Alter(const Control& c, F f)
{
    auto& d = DataOf<D>(c);
    f(d);
    d.Redraw();
}

Qt::PenStyle PenStyleFor(int borderStyle)
{
    switch (borderStyle) {
    case vbTransparent: return Qt::NoPen;
    case vbBSDash: return Qt::DashLine;
    case vbBSDot: return Qt::DotLine;
    case vbBSDashDot: return Qt::DashDotLine;
    case vbBSDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

}  // namespace

// ---------------------------------------------------------------- Label

struct LabelData : ControlData {
    struct S {
        std::string caption;
        int alignment = vbLeftJustify;
        bool autoSize = false;
        bool wordWrap = false;
        int borderStyle = 0;
        int backStyle = 1;
        int appearance = 1;
    } ls;

    QLabel* Label() const { return static_cast<QLabel*>(widget.data()); }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyLabel();
    }
    void ApplyColors() override { ApplyWindowColors(ls.backStyle == 1); }
    void ApplyFont() override
    {
        ControlData::ApplyFont();
        Fit();
    }
    void ApplyLabel()
    {
        QLabel* l = Label();
        if (!l) return;
        l->setText(StripAccessKeys(FromVbText(ls.caption)));
        Qt::Alignment a = Qt::AlignTop;
        a |= ls.alignment == vbRightJustify ? Qt::AlignRight
             : ls.alignment == vbCenter     ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
        l->setAlignment(a);
        l->setWordWrap(!ls.autoSize || ls.wordWrap);
        if (ls.borderStyle == 1) {
            l->setFrameStyle(ls.appearance == 1 ? (QFrame::Panel | QFrame::Sunken) : (QFrame::Box | QFrame::Plain));
            l->setLineWidth(1);
        } else {
            l->setFrameStyle(QFrame::NoFrame);
        }
        ApplyColors();
        Fit();
    }
    // AutoSize: the label takes its caption's size.
    void Fit()
    {
        QLabel* l = Label();
        if (!l || !ls.autoSize) return;
        QSize s = l->sizeHint();
        if (ls.wordWrap) s.setHeight(l->heightForWidth(std::max(1, Px(st.width))));
        if (!ls.wordWrap) st.width = Tw(s.width());
        st.height = Tw(s.height());
        ApplyGeometry();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        ls = static_cast<const LabelData&>(o).ls;
    }
};

// ---------------------------------------------------------------- CommandButton

struct ButtonData : ControlData {
    struct S {
        std::string caption;
        bool isDefault = false;
        bool isCancel = false;
        int style = 0;
        Picture picture;
    } bs;

    QPushButton* Button() const { return static_cast<QPushButton*>(widget.data()); }
    bool IsCommandButton() const override { return true; }
    bool IsDefault() const override { return bs.isDefault; }
    bool IsCancel() const override { return bs.isCancel; }
    void PressByKey() override
    {
        if (CanRaise()) self->Click.Raise();
    }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyButton();
    }
    void ApplyColors() override
    {
        ControlData::ApplyColors();
        if (widget) widget->setAutoFillBackground(bs.style == 1 && st.back.has_value());
    }
    void ApplyButton()
    {
        QPushButton* b = Button();
        if (!b) return;
        b->setText(Q(bs.caption));
        const QImage* img = bs.style == 1 ? ImageOf(bs.picture) : nullptr;
        if (img) {
            b->setIcon(QIcon(QPixmap::fromImage(*img)));
            b->setIconSize(img->size());
        } else {
            b->setIcon(QIcon());
        }
        ApplyColors();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        bs = static_cast<const ButtonData&>(o).bs;
        bs.isDefault = bs.isCancel = false;  // one Default and one Cancel per form
    }
};

// ---------------------------------------------------------------- CheckBox / OptionButton

struct CheckData : ControlData {
    std::string caption;
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget.data()); }
    // A check box or option button whose clicks run `clicked` (which raises Click).
    template <class F>
    void Create(QAbstractButton* b, F clicked)
    {
        dblClickEvent = false;
        QObject::connect(b, &QAbstractButton::clicked, b, clicked);
        st.width = 1215;
        st.height = 255;
        Attach(b);
    }
    void SetCaption(const std::string& c)
    {
        caption = c;
        if (Button()) Button()->setText(Q(c));
    }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        if (Button()) Button()->setText(Q(caption));
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        caption = static_cast<const CheckData&>(o).caption;
    }
};

// ---------------------------------------------------------------- Frame

struct FrameData : ControlData {
    std::string caption;
    int borderStyle = 1;
    QGroupBox* Box() const { return static_cast<QGroupBox*>(widget.data()); }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyFrame();
    }
    void ApplyColors() override { ApplyWindowColors(true); }
    void ApplyFrame()
    {
        QGroupBox* g = Box();
        if (!g) return;
        g->setTitle(Q(caption));
        g->setFlat(borderStyle == 0);
        g->setStyleSheet(borderStyle == 0 ? QStringLiteral("QGroupBox { border: 0; }") : QString());
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        caption = static_cast<const FrameData&>(o).caption;
        borderStyle = static_cast<const FrameData&>(o).borderStyle;
    }
};

// ---------------------------------------------------------------- Image

struct ImageData : ControlData {
    struct S {
        Picture picture;
        bool stretch = false;
        int borderStyle = 0;
    } is;
    void Redraw()
    {
        FitPicture();
        if (widget) widget->update();
    }
    void FitPicture()
    {
        const QImage* img = ImageOf(is.picture);
        if (is.stretch || !img) return;
        const int b = is.borderStyle == 1 ? 2 : 0;
        st.width = Tw(img->width() + b);
        st.height = Tw(img->height() + b);
        ApplyGeometry();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        is = static_cast<const ImageData&>(o).is;
    }
};

class ImageWidget : public QWidget {
public:
    ImageWidget(QWidget* parent, ImageData* d) : QWidget(parent), d_(d) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int b = d_->is.borderStyle == 1 ? 1 : 0;
        const QRect inner = rect().adjusted(b, b, -b, -b);
        if (const QImage* img = ImageOf(d_->is.picture)) {
            if (d_->is.stretch)
                p.drawImage(inner, *img);
            else
                p.drawImage(inner.topLeft(), *img);
        }
        if (b) {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

private:
    ImageData* d_;
};

// ---------------------------------------------------------------- Shape

struct ShapeData : ControlData {
    struct S {
        int shape = vbShapeRectangle;
        long borderColor = vbWindowText;
        int borderWidth = 1;
        int borderStyle = vbBSSolid;
        int fillStyle = vbFSTransparent;
        long fillColor = vbBlack;
        int backStyle = 0;
    } ss;
    void Redraw()
    {
        if (widget) widget->update();
    }
    void ApplyColors() override
    {
        if (widget) widget->update();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        ss = static_cast<const ShapeData&>(o).ss;
    }
};

QBrush FillBrush(int fillStyle, long fillColor);  // Canvas.cpp

class ShapeWidget : public QWidget {
public:
    ShapeWidget(QWidget* parent, ShapeData* d) : QWidget(parent), d_(d)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const auto& s = d_->ss;
        QPainter p(this);
        QRectF r(0, 0, width(), height());
        if (s.shape == vbShapeSquare || s.shape == vbShapeCircle || s.shape == vbShapeRoundedSquare) {
            const double side = std::min(r.width(), r.height());
            r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
        }
        const int bw = s.borderStyle == vbTransparent ? 0 : std::max(1, s.borderWidth);
        // The border is drawn inside the shape's bounds.
        const QRectF inside = r.adjusted(bw / 2.0, bw / 2.0, -bw / 2.0, -bw / 2.0);
        const double round = std::min(r.width(), r.height()) / 6;
        auto draw = [&](const QRectF& rr) {
            switch (s.shape) {
            case vbShapeOval:
            case vbShapeCircle: p.drawEllipse(rr); break;
            case vbShapeRoundedRectangle:
            case vbShapeRoundedSquare: p.drawRoundedRect(rr, round, round); break;
            default: p.drawRect(rr); break;
            }
        };
        p.setPen(Qt::NoPen);
        if (s.backStyle == 1) {
            p.setBrush(ToQColor(d_->self->BackColor()));
            draw(inside);
        }
        const QBrush fill = FillBrush(s.fillStyle, s.fillColor);
        if (fill.style() != Qt::NoBrush) {
            p.setBrush(fill);
            draw(inside);
        }
        if (bw > 0) {
            QPen pen(ToQColor(s.borderColor));
            pen.setWidth(bw);
            pen.setStyle(bw == 1 ? PenStyleFor(s.borderStyle) : Qt::SolidLine);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            draw(bw == 1 ? r.adjusted(0.5, 0.5, -0.5, -0.5) : inside);
        }
    }

private:
    ShapeData* d_;
};

// ---------------------------------------------------------------- Line

struct LineData : ControlData {
    struct S {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // twips
        long borderColor = vbWindowText;
        int borderWidth = 1;
        int borderStyle = vbBSSolid;
    } ls;
    int Margin() const { return ls.borderWidth + 1; }
    void Redraw() { ApplyGeometry(); }
    void ApplyGeometry() override
    {
        st.left = std::min(ls.x1, ls.x2);
        st.top = std::min(ls.y1, ls.y2);
        st.width = std::abs(ls.x2 - ls.x1);
        st.height = std::abs(ls.y2 - ls.y1);
        if (!widget) return;
        const int m = Margin();
        const int l = std::min(Px(ls.x1), Px(ls.x2)) - m, t = std::min(Px(ls.y1), Px(ls.y2)) - m;
        const int r = std::max(Px(ls.x1), Px(ls.x2)) + m, b = std::max(Px(ls.y1), Px(ls.y2)) + m;
        widget->setGeometry(l, t, r - l + 1, b - t + 1);
        widget->update();
    }
    void ApplyColors() override
    {
        if (widget) widget->update();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        ls = static_cast<const LineData&>(o).ls;
    }
};

class LineWidget : public QWidget {
public:
    LineWidget(QWidget* parent, LineData* d) : QWidget(parent), d_(d)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const auto& s = d_->ls;
        if (s.borderStyle == vbTransparent) return;
        QPainter p(this);
        QPen pen(ToQColor(s.borderColor));
        pen.setWidth(std::max(1, s.borderWidth));
        pen.setStyle(s.borderWidth <= 1 ? PenStyleFor(s.borderStyle) : Qt::SolidLine);
        pen.setCapStyle(s.borderWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
        p.setPen(pen);
        const QPoint o = pos();
        p.drawLine(QPoint(Px(s.x1), Px(s.y1)) - o, QPoint(Px(s.x2), Px(s.y2)) - o);
    }

private:
    LineData* d_;
};

// ---------------------------------------------------------------- Timer

struct TimerData : ControlData {
    std::unique_ptr<QTimer> timer;
    int interval = 0;
    void ApplyEnabled() override
    {
        if (!timer) return;
        if (st.enabled && interval > 0)
            timer->start(interval);
        else
            timer->stop();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        interval = static_cast<const TimerData&>(o).interval;
    }
};

// ---------------------------------------------------------------- ScrollBar

struct ScrollData : ControlData {
    struct S {
        int min = 0, max = 32767, value = 0, small = 1, large = 1;
    } ss;
    int valueAtPress = 0;
    QScrollBar* Bar() const { return static_cast<QScrollBar*>(widget.data()); }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyBar();
    }
    void ApplyBar()
    {
        QScrollBar* b = Bar();
        if (!b) return;
        Quiet q(*this);
        b->setRange(std::min(ss.min, ss.max), std::max(ss.min, ss.max));
        // VB allows Min > Max: the value then grows towards the start.
        b->setInvertedAppearance(ss.min > ss.max);
        b->setInvertedControls(ss.min > ss.max);
        b->setSingleStep(ss.small);
        b->setPageStep(ss.large);
        b->setValue(ss.value);
        ss.value = b->value();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        ss = static_cast<const ScrollData&>(o).ss;
    }
};

}  // namespace forms::detail

namespace forms {

using namespace detail;

// ---------------------------------------------------------------- Label

Label::Label(Init init) : Control(std::move(init), std::make_unique<LabelData>())
{
    auto& d = DataOf<LabelData>(*this);
    d.lightweight = true;
    d.clickOnRelease = true;
    auto* l = new QLabel(d.ParentWidget());
    l->setTextFormat(Qt::PlainText);
    d.st.width = 1215;
    d.st.height = 255;
    d.Attach(l);
}

std::string Label::Caption() const { return DataOf<LabelData>(*this).ls.caption; }

void Label::SetCaption(const std::string& caption)
{
    auto& d = DataOf<LabelData>(*this);
    if (d.ls.caption == caption) return;
    d.ls.caption = caption;
    d.ApplyLabel();
    Change.Raise();
}

int Label::Alignment() const { return DataOf<LabelData>(*this).ls.alignment; }
void Label::SetAlignment(int a)
{
    DataOf<LabelData>(*this).ls.alignment = a;
    DataOf<LabelData>(*this).ApplyLabel();
}
bool Label::AutoSize() const { return DataOf<LabelData>(*this).ls.autoSize; }
void Label::SetAutoSize(bool v)
{
    DataOf<LabelData>(*this).ls.autoSize = v;
    DataOf<LabelData>(*this).ApplyLabel();
}
bool Label::WordWrap() const { return DataOf<LabelData>(*this).ls.wordWrap; }
void Label::SetWordWrap(bool v)
{
    DataOf<LabelData>(*this).ls.wordWrap = v;
    DataOf<LabelData>(*this).ApplyLabel();
}
int Label::BorderStyle() const { return DataOf<LabelData>(*this).ls.borderStyle; }
void Label::SetBorderStyle(int s)
{
    DataOf<LabelData>(*this).ls.borderStyle = s;
    DataOf<LabelData>(*this).ApplyLabel();
}
int Label::BackStyle() const { return DataOf<LabelData>(*this).ls.backStyle; }
void Label::SetBackStyle(int s)
{
    DataOf<LabelData>(*this).ls.backStyle = s;
    DataOf<LabelData>(*this).ApplyLabel();
}
int Label::Appearance() const { return DataOf<LabelData>(*this).ls.appearance; }
void Label::SetAppearance(int a)
{
    DataOf<LabelData>(*this).ls.appearance = a;
    DataOf<LabelData>(*this).ApplyLabel();
}

// ---------------------------------------------------------------- CommandButton

CommandButton::CommandButton(Init init) : Control(std::move(init), std::make_unique<ButtonData>())
{
    auto& d = DataOf<ButtonData>(*this);
    d.dblClickEvent = false;
    auto* b = new QPushButton(d.ParentWidget());
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    ControlData* dp = &d;
    QObject::connect(b, &QPushButton::clicked, b, [dp] { RaiseFromQt(dp, dp->self->Click); });
    d.st.width = 1215;
    d.st.height = 495;
    d.Attach(b);
}

std::string CommandButton::Caption() const { return DataOf<ButtonData>(*this).bs.caption; }
void CommandButton::SetCaption(const std::string& c)
{
    DataOf<ButtonData>(*this).bs.caption = c;
    DataOf<ButtonData>(*this).ApplyButton();
}
bool CommandButton::Value() const { return false; }

void CommandButton::SetValue(bool v)
{
    if (v) Click.Raise();
}

bool CommandButton::Default() const { return DataOf<ButtonData>(*this).bs.isDefault; }

void CommandButton::SetDefault(bool v)
{
    // One Default button per form: setting one clears the others.
    if (v && Parent())
        for (Control& c : Parent()->Controls())
            if (auto* b = dynamic_cast<CommandButton*>(&c); b && b != this) DataOf<ButtonData>(*b).bs.isDefault = false;
    DataOf<ButtonData>(*this).bs.isDefault = v;
}

bool CommandButton::Cancel() const { return DataOf<ButtonData>(*this).bs.isCancel; }

void CommandButton::SetCancel(bool v)
{
    if (v && Parent())
        for (Control& c : Parent()->Controls())
            if (auto* b = dynamic_cast<CommandButton*>(&c); b && b != this) DataOf<ButtonData>(*b).bs.isCancel = false;
    DataOf<ButtonData>(*this).bs.isCancel = v;
}

int CommandButton::Style() const { return DataOf<ButtonData>(*this).bs.style; }
void CommandButton::SetStyle(int s)
{
    DataOf<ButtonData>(*this).bs.style = s;
    DataOf<ButtonData>(*this).ApplyButton();
}
forms::Picture CommandButton::Picture() const { return DataOf<ButtonData>(*this).bs.picture; }
void CommandButton::SetPicture(const forms::Picture& p)
{
    DataOf<ButtonData>(*this).bs.picture = p;
    DataOf<ButtonData>(*this).ApplyButton();
}

// ---------------------------------------------------------------- CheckBox

namespace {
// VB's check boxes and option buttons answer a click anywhere on the control,
// not only on the box and the caption's text.
template <class Base>
class WholeAreaButton : public Base {
public:
    using Base::Base;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};
}  // namespace

CheckBox::CheckBox(Init init) : Control(std::move(init), std::make_unique<CheckData>())
{
    auto& d = DataOf<CheckData>(*this);
    auto* b = new WholeAreaButton<QCheckBox>(d.ParentWidget());
    ControlData* dp = &d;
    d.Create(b, [dp, b] {
        if (dp->quiet) return;
        // The user's clicks go between unchecked and checked only.
        if (b->checkState() == Qt::PartiallyChecked) {
            Quiet q(*dp);
            b->setCheckState(Qt::Checked);
        }
        b->setTristate(false);
        RaiseFromQt(dp, dp->self->Click);
    });
}

std::string CheckBox::Caption() const { return DataOf<CheckData>(*this).caption; }
void CheckBox::SetCaption(const std::string& c) { DataOf<CheckData>(*this).SetCaption(c); }

int CheckBox::Value() const
{
    auto* b = static_cast<QCheckBox*>(DataOf<CheckData>(*this).widget.data());
    if (!b) return vbUnchecked;
    switch (b->checkState()) {
    case Qt::Checked: return vbChecked;
    case Qt::PartiallyChecked: return vbGrayed;
    default: return vbUnchecked;
    }
}

void CheckBox::SetValue(int v)
{
    if (v < vbUnchecked || v > vbGrayed) Fail(380, "Invalid property value: CheckBox.Value " + std::to_string(v));
    if (v == Value()) return;
    auto& d = DataOf<CheckData>(*this);
    if (auto* b = static_cast<QCheckBox*>(d.widget.data())) {
        Quiet q(d);
        b->setCheckState(v == vbChecked ? Qt::Checked : v == vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    Click.Raise();
}

// ---------------------------------------------------------------- OptionButton

OptionButton::OptionButton(Init init) : Control(std::move(init), std::make_unique<CheckData>())
{
    auto& d = DataOf<CheckData>(*this);
    ControlData* dp = &d;
    d.Create(new WholeAreaButton<QRadioButton>(d.ParentWidget()), [dp] { RaiseFromQt(dp, dp->self->Click); });
}

std::string OptionButton::Caption() const { return DataOf<CheckData>(*this).caption; }
void OptionButton::SetCaption(const std::string& c) { DataOf<CheckData>(*this).SetCaption(c); }

bool OptionButton::Value() const
{
    auto* b = DataOf<CheckData>(*this).Button();
    return b && b->isChecked();
}

void OptionButton::SetValue(bool v)
{
    if (v == Value()) return;
    auto& d = DataOf<CheckData>(*this);
    QAbstractButton* b = d.Button();
    if (!b) return;
    {
        Quiet q(d);
        if (v) {
            b->setChecked(true);
        } else {
            // An exclusive group never unchecks its checked button by itself.
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }
    if (v) Click.Raise();
}

// ---------------------------------------------------------------- Frame

Frame::Frame(Init init) : Control(std::move(init), std::make_unique<FrameData>())
{
    auto& d = DataOf<FrameData>(*this);
    d.clickOnRelease = true;
    auto* g = new QGroupBox(d.ParentWidget());
    cd_->self = this;
    cd_->owner = this;
    cd_->host = d.host;
    cd_->widget = g;
    d.own = cd_.get();
    d.st.width = 1815;
    d.st.height = 1215;
    d.Attach(g);
}

std::string Frame::Caption() const { return DataOf<FrameData>(*this).caption; }
void Frame::SetCaption(const std::string& c)
{
    DataOf<FrameData>(*this).caption = c;
    DataOf<FrameData>(*this).ApplyFrame();
}
int Frame::BorderStyle() const { return DataOf<FrameData>(*this).borderStyle; }
void Frame::SetBorderStyle(int s)
{
    DataOf<FrameData>(*this).borderStyle = s;
    DataOf<FrameData>(*this).ApplyFrame();
}

// ---------------------------------------------------------------- Image

Image::Image(Init init) : Control(std::move(init), std::make_unique<ImageData>())
{
    auto& d = DataOf<ImageData>(*this);
    d.lightweight = true;
    d.clickOnRelease = true;
    d.st.width = 975;
    d.st.height = 975;
    d.Attach(new ImageWidget(d.ParentWidget(), &d));
}

forms::Picture Image::Picture() const { return DataOf<ImageData>(*this).is.picture; }
void Image::SetPicture(const forms::Picture& p)
{
    Alter<ImageData>(*this, [&p](auto& d) { d.is.picture = p; });
}
bool Image::Stretch() const { return DataOf<ImageData>(*this).is.stretch; }
void Image::SetStretch(bool v)
{
    Alter<ImageData>(*this, [v](auto& d) { d.is.stretch = v; });
}
int Image::BorderStyle() const { return DataOf<ImageData>(*this).is.borderStyle; }
void Image::SetBorderStyle(int v)
{
    Alter<ImageData>(*this, [v](auto& d) { d.is.borderStyle = v; });
}

// ---------------------------------------------------------------- Shape

Shape::Shape(Init init) : Control(std::move(init), std::make_unique<ShapeData>())
{
    auto& d = DataOf<ShapeData>(*this);
    d.lightweight = true;
    d.defaultBack = vbWindowBackground;
    d.st.width = 1215;
    d.st.height = 1215;
    d.Attach(new ShapeWidget(d.ParentWidget(), &d));
}

int Shape::ShapeKind() const { return DataOf<ShapeData>(*this).ss.shape; }
void Shape::SetShape(int v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.shape = v; });
}
long Shape::BorderColor() const { return DataOf<ShapeData>(*this).ss.borderColor; }
void Shape::SetBorderColor(long v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.borderColor = v; });
}
int Shape::BorderWidth() const { return DataOf<ShapeData>(*this).ss.borderWidth; }

void Shape::SetBorderWidth(int v)
{
    if (v < 1) Fail(380, "Invalid property value: BorderWidth " + std::to_string(v));
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.borderWidth = v; });
}

int Shape::BorderStyle() const { return DataOf<ShapeData>(*this).ss.borderStyle; }
void Shape::SetBorderStyle(int v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.borderStyle = v; });
}
int Shape::FillStyle() const { return DataOf<ShapeData>(*this).ss.fillStyle; }
void Shape::SetFillStyle(int v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.fillStyle = v; });
}
long Shape::FillColor() const { return DataOf<ShapeData>(*this).ss.fillColor; }
void Shape::SetFillColor(long v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.fillColor = v; });
}
int Shape::BackStyle() const { return DataOf<ShapeData>(*this).ss.backStyle; }
void Shape::SetBackStyle(int v)
{
    Alter<ShapeData>(*this, [v](auto& d) { d.ss.backStyle = v; });
}

// ---------------------------------------------------------------- Line

Line::Line(Init init) : Control(std::move(init), std::make_unique<LineData>())
{
    auto& d = DataOf<LineData>(*this);
    d.lightweight = true;
    d.ls.x2 = 1215;
    d.Attach(new LineWidget(d.ParentWidget(), &d));
}

double Line::X1() const { return DataOf<LineData>(*this).container->XFromTwips(DataOf<LineData>(*this).ls.x1); }
double Line::Y1() const { return DataOf<LineData>(*this).container->YFromTwips(DataOf<LineData>(*this).ls.y1); }
double Line::X2() const { return DataOf<LineData>(*this).container->XFromTwips(DataOf<LineData>(*this).ls.x2); }
double Line::Y2() const { return DataOf<LineData>(*this).container->YFromTwips(DataOf<LineData>(*this).ls.y2); }
void Line::SetX1(double v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.x1 = d.container->XToTwips(v); });
}
void Line::SetY1(double v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.y1 = d.container->YToTwips(v); });
}
void Line::SetX2(double v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.x2 = d.container->XToTwips(v); });
}
void Line::SetY2(double v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.y2 = d.container->YToTwips(v); });
}
long Line::BorderColor() const { return DataOf<LineData>(*this).ls.borderColor; }
void Line::SetBorderColor(long v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.borderColor = v; });
}
int Line::BorderWidth() const { return DataOf<LineData>(*this).ls.borderWidth; }

void Line::SetBorderWidth(int v)
{
    if (v < 1) Fail(380, "Invalid property value: BorderWidth " + std::to_string(v));
    Alter<LineData>(*this, [v](auto& d) { d.ls.borderWidth = v; });
}

int Line::BorderStyle() const { return DataOf<LineData>(*this).ls.borderStyle; }
void Line::SetBorderStyle(int v)
{
    Alter<LineData>(*this, [v](auto& d) { d.ls.borderStyle = v; });
}

// ---------------------------------------------------------------- Timer

Timer::Timer(Init init) : Control(std::move(init), std::make_unique<TimerData>())
{
    auto& d = DataOf<TimerData>(*this);
    d.st.visible = false;
    d.timer = std::make_unique<QTimer>();
    ControlData* dp = &d;
    QObject::connect(d.timer.get(), &QTimer::timeout, d.timer.get(), [this, dp] {
        // A timer lives with its loaded form, as VB's controls do.
        if (!Alive(dp) || !dp->CanRaise() || !dp->host->Loaded()) return;
        Dispatching dispatching;
        Tick.Raise();
    });
}

Timer::~Timer()
{
    auto& d = DataOf<TimerData>(*this);
    d.dying = true;
    // Possibly from inside its own Tick.
    d.timer->stop();
    if (DispatchDepth() > 0)
        d.timer.release()->deleteLater();
    else
        d.timer.reset();
}

int Timer::Interval() const { return DataOf<TimerData>(*this).interval; }

void Timer::SetInterval(int ms)
{
    if (ms < 0) Fail(380, "Invalid property value: Interval " + std::to_string(ms));
    auto& d = DataOf<TimerData>(*this);
    d.interval = ms;
    d.ApplyEnabled();
}

// ---------------------------------------------------------------- ScrollBar

ScrollBar::ScrollBar(Init init, bool vertical) : Control(std::move(init), std::make_unique<ScrollData>())
{
    auto& d = DataOf<ScrollData>(*this);
    d.dblClickEvent = false;
    auto* b = new QScrollBar(vertical ? Qt::Vertical : Qt::Horizontal, d.ParentWidget());
    ScrollData* dp = &d;
    QObject::connect(b, &QScrollBar::valueChanged, b, [this, dp, b](int v) {
        if (dp->quiet) return;
        dp->ss.value = v;
        if (b->isSliderDown())
            RaiseFromQt(dp, Scroll);
        else
            RaiseFromQt(dp, Change);
    });
    QObject::connect(b, &QScrollBar::sliderPressed, b, [dp] { dp->valueAtPress = dp->ss.value; });
    QObject::connect(b, &QScrollBar::sliderReleased, b, [this, dp] {
        if (dp->ss.value != dp->valueAtPress) RaiseFromQt(dp, Change);
    });
    d.st.width = vertical ? 255 : 1215;
    d.st.height = vertical ? 1215 : 255;
    d.Attach(b);
}

ScrollBar::~ScrollBar() { DropWidget(*d_); }

bool ScrollBar::Vertical() const
{
    auto* b = DataOf<ScrollData>(*this).Bar();
    return !b || b->orientation() == Qt::Vertical;
}

int ScrollBar::Min() const { return DataOf<ScrollData>(*this).ss.min; }
int ScrollBar::Max() const { return DataOf<ScrollData>(*this).ss.max; }
int ScrollBar::Value() const { return DataOf<ScrollData>(*this).ss.value; }
int ScrollBar::SmallChange() const { return DataOf<ScrollData>(*this).ss.small; }
int ScrollBar::LargeChange() const { return DataOf<ScrollData>(*this).ss.large; }

void ScrollBar::SetMin(int v)
{
    auto& d = DataOf<ScrollData>(*this);
    d.ss.min = v;
    d.ApplyBar();
}

void ScrollBar::SetMax(int v)
{
    auto& d = DataOf<ScrollData>(*this);
    d.ss.max = v;
    d.ApplyBar();
}

void ScrollBar::SetValue(int v)
{
    auto& d = DataOf<ScrollData>(*this);
    if (v < std::min(d.ss.min, d.ss.max) || v > std::max(d.ss.min, d.ss.max))
        Fail(380, "Invalid property value: " + d.name + ".Value " + std::to_string(v));
    if (v == d.ss.value) return;
    d.ss.value = v;
    d.ApplyBar();
    Change.Raise();
}

void ScrollBar::SetSmallChange(int v)
{
    if (v < 1) Fail(380, "Invalid property value: SmallChange " + std::to_string(v));
    DataOf<ScrollData>(*this).ss.small = v;
    DataOf<ScrollData>(*this).ApplyBar();
}

void ScrollBar::SetLargeChange(int v)
{
    if (v < 1) Fail(380, "Invalid property value: LargeChange " + std::to_string(v));
    DataOf<ScrollData>(*this).ss.large = v;
    DataOf<ScrollData>(*this).ApplyBar();
}

}  // namespace forms
