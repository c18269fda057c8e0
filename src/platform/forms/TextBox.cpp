// TextBox: one line (QLineEdit) or several (QPlainTextEdit), with VB's
// selection counted in characters where a line break is "\r\n".

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Private.h"

namespace forms::detail {

namespace {

// VB counts a line break as two characters, the widgets as one.
int QtPos(const QString& text, int vbPos)
{
    int vb = 0;
    qsizetype i = 0;
    for (; i < text.size() && vb < vbPos; ++i) vb += text[i] == QChar('\n') ? 2 : 1;
    return static_cast<int>(i);
}

int VbPos(const QString& text, int qtPos)
{
    const auto upto = std::min<qsizetype>(qtPos, text.size());
    return qtPos + static_cast<int>(text.left(upto).count(QChar('\n')));
}

}  // namespace

struct TextBoxData : ControlData {
    struct S {
        bool multiLine = false;
        int scrollBars = vbSBNone;
        bool locked = false;
        int maxLength = 0;
        int alignment = vbLeftJustify;
        int borderStyle = 1;
        int appearance = 1;
    } ts;
    std::string dataField;
    bool dataChanged = false;
    std::shared_ptr<void> binding;  // DataBinding.cpp's, while bound to a recordset

    QLineEdit* Line() const { return ts.multiLine ? nullptr : static_cast<QLineEdit*>(widget.data()); }
    QPlainTextEdit* Plain() const { return ts.multiLine ? static_cast<QPlainTextEdit*>(widget.data()) : nullptr; }

    QString QText() const
    {
        if (auto* l = Line()) return l->text();
        if (auto* p = Plain()) return p->toPlainText();
        return {};
    }

    void SetQText(const QString& t)
    {
        ++quiet;
        if (auto* l = Line()) {
            l->setText(t);
            l->setCursorPosition(0);
        } else if (auto* p = Plain()) {
            p->setPlainText(t);
        }
        --quiet;
    }

    // The selection in the widget's own positions.
    std::pair<int, int> Selection() const
    {
        if (auto* l = Line()) {
            if (l->hasSelectedText()) return {l->selectionStart(), static_cast<int>(l->selectedText().size())};
            return {l->cursorPosition(), 0};
        }
        if (auto* p = Plain()) {
            const QTextCursor c = p->textCursor();
            return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
        }
        return {0, 0};
    }

    void Select(int start, int length)
    {
        const int n = static_cast<int>(QText().size());
        start = std::clamp(start, 0, n);
        length = std::clamp(length, 0, n - start);
        if (auto* l = Line()) {
            if (length == 0)
                l->setCursorPosition(start);
            else
                l->setSelection(start, length);
        } else if (auto* p = Plain()) {
            QTextCursor c = p->textCursor();
            c.setPosition(start);
            c.setPosition(start + length, QTextCursor::KeepAnchor);
            p->setTextCursor(c);
        }
    }

    QWidget* Make(QWidget* parent)
    {
        ControlData* self_ = this;
        if (!ts.multiLine) {
            auto* l = new QLineEdit(parent);
            QObject::connect(l, &QLineEdit::textChanged, l, [self_] {
                if (Alive(self_)) RaiseFromQt(self_, self_->self->Change);
            });
            return l;
        }
        auto* p = new QPlainTextEdit(parent);
        p->setTabChangesFocus(true);
        QObject::connect(p, &QPlainTextEdit::textChanged, p, [self_] {
            if (Alive(self_)) RaiseFromQt(self_, self_->self->Change);
        });
        return p;
    }

    void ApplyAll() override
    {
        ControlData::ApplyAll();
        ApplyText();
    }

    void ApplyText()
    {
        if (auto* l = Line()) {
            l->setReadOnly(ts.locked);
            l->setFrame(ts.borderStyle != 0);
            Qt::Alignment a = Qt::AlignVCenter;
            a |= ts.alignment == vbRightJustify ? Qt::AlignRight
                 : ts.alignment == vbCenter     ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
            l->setAlignment(a);
        } else if (auto* p = Plain()) {
            p->setReadOnly(ts.locked);
            p->setFrameStyle(ts.borderStyle != 0 ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
            const bool h = ts.scrollBars == vbHorizontal || ts.scrollBars == vbBoth;
            const bool v = ts.scrollBars == vbVertical || ts.scrollBars == vbBoth;
            // Without a horizontal scroll bar the lines wrap, as in VB.
            p->setLineWrapMode(h ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            p->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            p->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        }
    }

    // A new widget of the kind ts.multiLine asks for, holding `text`.
    void Rebuild(const QString& text)
    {
        QWidget* w = Make(ParentWidget());
        ReplaceWidget(w);
        if (ts.multiLine) AddMouseSource(static_cast<QPlainTextEdit*>(w)->viewport());
        SetQText(ts.multiLine ? text : QString(text).replace(QChar('\n'), QChar(' ')));
        if (container) Restack(container->widget);
    }

    bool AcceptsMoreText() const override
    {
        if (ts.maxLength <= 0) return true;
        const auto [start, length] = Selection();
        (void)start;
        return VbPos(QText(), static_cast<int>(QText().size())) - length < ts.maxLength;
    }

    void CopyStateFrom(const ControlData& o) override
    {
        const auto& t = static_cast<const TextBoxData&>(o);
        ControlData::CopyStateFrom(o);
        const bool rebuild = ts.multiLine != t.ts.multiLine;
        ts = t.ts;
        if (rebuild)
            Rebuild(t.QText());
        else
            SetQText(t.QText());
    }
};

}  // namespace forms::detail

namespace forms {

using namespace detail;

namespace {

TextBoxData& Data(const TextBox& t) { return static_cast<TextBoxData&>(t.Impl()); }

}  // namespace

TextBox::TextBox(Init init) : Control(std::move(init), std::make_unique<TextBoxData>())
{
    auto& d = Data(*this);
    d.clickOnRelease = true;
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    d.st.width = 1215;
    d.st.height = 495;
    d.Attach(d.Make(d.ParentWidget()));
}

std::string TextBox::Text() const { return ToVbText(Data(*this).QText()); }

void TextBox::SetText(const std::string& text)
{
    auto& d = Data(*this);
    const QString t = d.ts.multiLine ? FromVbText(text) : Q(text);
    if (t == d.QText()) return;
    d.SetQText(t);
    Change.Raise();
}

int TextBox::SelStart() const
{
    auto& d = Data(*this);
    return VbPos(d.QText(), d.Selection().first);
}

void TextBox::SetSelStart(int v)
{
    auto& d = Data(*this);
    d.Select(QtPos(d.QText(), std::max(0, v)), 0);
}

int TextBox::SelLength() const
{
    auto& d = Data(*this);
    const auto [start, length] = d.Selection();
    const QString t = d.QText();
    return VbPos(t, start + length) - VbPos(t, start);
}

void TextBox::SetSelLength(int v)
{
    auto& d = Data(*this);
    const QString t = d.QText();
    const int start = d.Selection().first;
    const int end = QtPos(t, VbPos(t, start) + std::max(0, v));
    d.Select(start, end - start);
}

std::string TextBox::SelText() const
{
    auto& d = Data(*this);
    const auto [start, length] = d.Selection();
    return ToVbText(d.QText().mid(start, length));
}

void TextBox::SetSelText(const std::string& text)
{
    auto& d = Data(*this);
    const QString before = d.QText();
    const auto [start, length] = d.Selection();
    const QString insert = d.ts.multiLine ? FromVbText(text) : Q(text);
    QString after = before;
    after.replace(start, length, insert);
    if (after == before) return;
    d.SetQText(after);
    d.Select(start + static_cast<int>(insert.size()), 0);
    Change.Raise();
}

int TextBox::MaxLength() const { return Data(*this).ts.maxLength; }
void TextBox::SetMaxLength(int n) { Data(*this).ts.maxLength = std::max(0, n); }
bool TextBox::MultiLine() const { return Data(*this).ts.multiLine; }

void TextBox::SetMultiLine(bool v)
{
    auto& d = Data(*this);
    if (d.ts.multiLine == v) return;
    const QString text = d.QText();
    d.ts.multiLine = v;
    d.Rebuild(text);
}

int TextBox::ScrollBars() const { return Data(*this).ts.scrollBars; }
void TextBox::SetScrollBars(int v)
{
    Data(*this).ts.scrollBars = v;
    Data(*this).ApplyText();
}
bool TextBox::Locked() const { return Data(*this).ts.locked; }
void TextBox::SetLocked(bool v)
{
    Data(*this).ts.locked = v;
    Data(*this).ApplyText();
}
int TextBox::Alignment() const { return Data(*this).ts.alignment; }
void TextBox::SetAlignment(int a)
{
    Data(*this).ts.alignment = a;
    Data(*this).ApplyText();
}
int TextBox::BorderStyle() const { return Data(*this).ts.borderStyle; }
void TextBox::SetBorderStyle(int s)
{
    Data(*this).ts.borderStyle = s;
    Data(*this).ApplyText();
}
int TextBox::Appearance() const { return Data(*this).ts.appearance; }
void TextBox::SetAppearance(int a) { Data(*this).ts.appearance = a; }
std::string TextBox::DataField() const { return Data(*this).dataField; }
bool TextBox::DataChanged() const { return Data(*this).dataChanged; }
void TextBox::SetDataChanged(bool v) { Data(*this).dataChanged = v; }

void TextBox::SetDataField(const std::string& field)
{
    auto& d = Data(*this);
    if (d.dataField == field) return;
    d.dataField = field;
    if (d.binding) DataFieldChanged(*this);
}

std::shared_ptr<void>& detail::DataBindingOf(TextBox& box) { return Data(box).binding; }

}  // namespace forms
