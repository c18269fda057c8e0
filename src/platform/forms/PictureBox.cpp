// PictureBox: a bordered frame around a drawing surface that also holds
// controls and a picture.

#include <QFrame>

#include <algorithm>

#include "platform/forms/PictureBox.h"
#include "platform/forms/Private.h"

namespace forms::detail {

struct PictureBoxData : ControlData {
    PictureBox* pb = nullptr;
    CanvasData* cv = nullptr;
    QPointer<QWidget> client;
    struct S {
        bool autoSize = false;
        int borderStyle = 1;
        int appearance = 1;
    } ps;
    double reportedW = -1, reportedH = -1;

    int Border() const { return ps.borderStyle == 1 ? (ps.appearance == 1 ? 2 : 1) : 0; }
    QSize ClientSize() const
    {
        const int b = Border();
        return {std::max(0, Px(st.width) - 2 * b), std::max(0, Px(st.height) - 2 * b)};
    }
    QFrame* Outer() const { return static_cast<QFrame*>(widget.data()); }
    QWidget* MouseOrigin() const override { return client; }

    void ApplyGeometry() override
    {
        ControlData::ApplyGeometry();
        if (client) client->setGeometry(QRect(QPoint(Border(), Border()), ClientSize()));
    }
    void ApplyColors() override
    {
        ControlData::ApplyColors();
        if (client) client->update();
    }
    void ApplyBorder()
    {
        if (QFrame* f = Outer()) {
            if (ps.borderStyle == 0)
                f->setFrameStyle(QFrame::NoFrame);
            else if (ps.appearance == 1)
                f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            else
                f->setFrameStyle(QFrame::Box | QFrame::Plain);
            f->setLineWidth(ps.borderStyle == 0 ? 0 : ps.appearance == 1 ? 2 : 1);
        }
        ApplyGeometry();
    }
    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyBorder();
    }
    void SizeChanged() override
    {
        if (st.width == reportedW && st.height == reportedH) return;
        reportedW = st.width;
        reportedH = st.height;
        if (CanRaise()) pb->Resize.Raise();
    }
    // AutoSize: the box takes the picture's size (and its border).
    void Fit()
    {
        const QImage* img = ImageOf(cv->picture);
        if (!ps.autoSize || !img) return;
        st.width = Tw(img->width() + 2 * Border());
        st.height = Tw(img->height() + 2 * Border());
        ApplyGeometry();
        SizeChanged();
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        const auto& p = static_cast<const PictureBoxData&>(o);
        ps = p.ps;
        cv->picture = p.cv->picture;
    }
};

}  // namespace forms::detail

namespace forms {

using namespace detail;

namespace {

PictureBoxData& PB(const PictureBox& p) { return static_cast<PictureBoxData&>(p.Impl()); }

}  // namespace

PictureBox::PictureBox(Init init) : Control(std::move(init), std::make_unique<PictureBoxData>())
{
    auto& d = PB(*this);
    d.pb = this;
    d.cv = cv_.get();
    BindSurface(this, d.host, d, *cd_, *cv_, [this] { Paint.Raise(); });
    PictureBoxData* dp = &d;
    cd_->clientSize = [dp] { return dp->ClientSize(); };
    auto* outer = new QFrame(d.ParentWidget());
    auto* client = new SurfaceWidget(outer, cv_.get());
    d.client = client;
    cd_->widget = client;
    d.st.width = 1215;
    d.st.height = 1215;
    d.reportedW = d.st.width;
    d.reportedH = d.st.height;
    d.Attach(outer);
    d.AddMouseSource(client);
}

PictureBox::~PictureBox() { DropWidget(*d_); }

forms::Picture PictureBox::Picture() const { return cv_->picture; }

void PictureBox::SetPicture(const forms::Picture& picture)
{
    cv_->picture = picture;
    if (!cv_->layer.isNull()) cv_->layer.fill(Qt::transparent);
    PB(*this).Fit();
    cv_->Changed();
}

bool PictureBox::AutoSize() const { return PB(*this).ps.autoSize; }

void PictureBox::SetAutoSize(bool v)
{
    PB(*this).ps.autoSize = v;
    PB(*this).Fit();
}

int PictureBox::BorderStyle() const { return PB(*this).ps.borderStyle; }

void PictureBox::SetBorderStyle(int style)
{
    PB(*this).ps.borderStyle = style;
    PB(*this).ApplyBorder();
}

int PictureBox::Appearance() const { return PB(*this).ps.appearance; }

void PictureBox::SetAppearance(int a)
{
    PB(*this).ps.appearance = a;
    PB(*this).ApplyBorder();
}

}  // namespace forms
