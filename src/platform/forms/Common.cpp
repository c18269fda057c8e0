// Conversions shared by the whole layer: twips, colours, fonts, pointers,
// keys and mouse buttons; the application object.

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>

#include <cmath>
#include <cstdint>

#include "platform/forms/Private.h"

namespace forms::detail {

int Px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string U(const QString& s) { return s.toUtf8().toStdString(); }

QString FromVbText(const std::string& s)
{
    QString q = Q(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QChar('\r'), QChar('\n'));
    return q;
}

std::string ToVbText(const QString& s)
{
    QString q = s;
    q.replace(QChar(0x2029), QChar('\n'));  // paragraph separators of the text widgets
    q.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return U(q);
}

QString StripAccessKeys(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QChar('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QChar('&')) {
                out += QChar('&');
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

namespace {

QColor SystemColor(int index)
{
    const QPalette pal = QApplication::palette();
    // One case per system colour, though several share a palette role.
    // NOLINTBEGIN(bugprone-branch-clone)
    switch (index) {
    case 0x00: return pal.color(QPalette::Button);           // scroll bars
    case 0x01: return pal.color(QPalette::Dark);             // desktop
    case 0x02: return pal.color(QPalette::Highlight);        // active title bar
    case 0x03: return pal.color(QPalette::Mid);              // inactive title bar
    case 0x04: return pal.color(QPalette::Button);           // menu bar
    case 0x05: return pal.color(QPalette::Base);             // window background
    case 0x06: return pal.color(QPalette::WindowText);       // window frame
    case 0x07: return pal.color(QPalette::WindowText);       // menu text
    case 0x08: return pal.color(QPalette::Text);             // window text
    case 0x09: return pal.color(QPalette::HighlightedText);  // title bar text
    case 0x0A: return pal.color(QPalette::Button);           // active border
    case 0x0B: return pal.color(QPalette::Button);           // inactive border
    case 0x0C: return pal.color(QPalette::Mid);              // application workspace
    case 0x0D: return pal.color(QPalette::Highlight);
    case 0x0E: return pal.color(QPalette::HighlightedText);
    case 0x0F: return pal.color(QPalette::Button);  // button face
    case 0x10: return pal.color(QPalette::Dark);    // button shadow
    case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
    case 0x12: return pal.color(QPalette::ButtonText);
    case 0x13: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 0x14: return pal.color(QPalette::Light);     // 3D highlight
    case 0x15: return pal.color(QPalette::Shadow);    // 3D dark shadow
    case 0x16: return pal.color(QPalette::Midlight);  // 3D light
    case 0x17: return pal.color(QPalette::ToolTipText);
    case 0x18: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Button);
    }
    // NOLINTEND(bugprone-branch-clone)
}

}  // namespace

QColor ToQColor(long vbColor)
{
    const auto u = static_cast<std::uint32_t>(vbColor);
    if ((u & 0xFF000000u) == 0x80000000u) {
        EnsureApplication();
        return SystemColor(static_cast<int>(u & 0xFFu));
    }
    return QColor(static_cast<int>(u & 0xFFu), static_cast<int>((u >> 8) & 0xFFu), static_cast<int>((u >> 16) & 0xFFu));
}

long FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

QFont MakeQFont(const Font& f)
{
    EnsureApplication();
    QFont q = QApplication::font();
    if (!f.Name.empty()) {
        q.setFamily(Q(f.Name));
    } else {
        // The forms' sizes in twips were laid out for a narrow 8-point sans
        // serif; the desktop's usual face is much wider and cuts captions and
        // list entries. The condensed face stands in where the narrow one is
        // not installed.
        q.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")});
    }
    q.setPointSizeF(f.Size > 0 ? f.Size : 8);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.Strikethrough);
    return q;
}

Qt::CursorShape CursorShapeFor(int p)
{
    switch (p) {
    case vbCrosshair: return Qt::CrossCursor;
    case vbIbeam: return Qt::IBeamCursor;
    case vbSizePointer:
    case vbSizeAll: return Qt::SizeAllCursor;
    case vbSizeNESW: return Qt::SizeBDiagCursor;
    case vbSizeNS: return Qt::SizeVerCursor;
    case vbSizeNWSE: return Qt::SizeFDiagCursor;
    case vbSizeWE: return Qt::SizeHorCursor;
    case vbUpArrow: return Qt::UpArrowCursor;
    case vbHourglass: return Qt::WaitCursor;
    case vbNoDrop: return Qt::ForbiddenCursor;
    case vbArrowHourglass: return Qt::BusyCursor;
    case vbArrowQuestion: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

void Fail(int number, const std::string& description) { throw Error(number, description); }

namespace {

struct KeyPair {
    int qt;
    int vb;
};

// Keys whose VB code is not their Qt code.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, vbKeyBack},
    {Qt::Key_Tab, vbKeyTab},
    {Qt::Key_Backtab, vbKeyTab},
    {Qt::Key_Return, vbKeyReturn},
    {Qt::Key_Enter, vbKeyReturn},
    {Qt::Key_Shift, vbKeyShift},
    {Qt::Key_Control, vbKeyControl},
    {Qt::Key_Alt, vbKeyMenu},
    {Qt::Key_Pause, vbKeyPause},
    {Qt::Key_CapsLock, vbKeyCapital},
    {Qt::Key_Escape, vbKeyEscape},
    {Qt::Key_Space, vbKeySpace},
    {Qt::Key_PageUp, vbKeyPageUp},
    {Qt::Key_PageDown, vbKeyPageDown},
    {Qt::Key_End, vbKeyEnd},
    {Qt::Key_Home, vbKeyHome},
    {Qt::Key_Left, vbKeyLeft},
    {Qt::Key_Up, vbKeyUp},
    {Qt::Key_Right, vbKeyRight},
    {Qt::Key_Down, vbKeyDown},
    {Qt::Key_Insert, vbKeyInsert},
    {Qt::Key_Delete, vbKeyDelete},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    // shifted digits of the usual layout
    {Qt::Key_Exclam, vbKey0 + 1},
    {Qt::Key_At, vbKey0 + 2},
    {Qt::Key_NumberSign, vbKey0 + 3},
    {Qt::Key_Dollar, vbKey0 + 4},
    {Qt::Key_Percent, vbKey0 + 5},
    {Qt::Key_AsciiCircum, vbKey0 + 6},
    {Qt::Key_Ampersand, vbKey0 + 7},
    {Qt::Key_Asterisk, vbKey0 + 8},
    {Qt::Key_ParenLeft, vbKey0 + 9},
    {Qt::Key_ParenRight, vbKey0},
};

}  // namespace

int VbKeyCode(const QKeyEvent& e)
{
    const int k = e.key();
    const bool keypad = e.modifiers().testFlag(Qt::KeypadModifier);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return keypad ? vbKeyNumpad0 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return vbKeyF1 + (k - Qt::Key_F1);
    if (keypad) {
        switch (k) {
        case Qt::Key_Asterisk: return vbKeyMultiply;
        case Qt::Key_Plus: return vbKeyAdd;
        case Qt::Key_Minus: return vbKeySubtract;
        case Qt::Key_Period:
        case Qt::Key_Comma: return vbKeyDecimal;
        case Qt::Key_Slash: return vbKeyDivide;
        default: break;
        }
    }
    for (const auto& p : kKeys)
        if (p.qt == k) return p.vb;
    return -1;  // a key VB has no code for (accented letters ...): KeyPress only
}

int QtKeyFor(int vb)
{
    if (vb >= vbKeyA && vb <= vbKeyA + 25) return vb;
    if (vb >= vbKey0 && vb <= vbKey0 + 9) return vb;
    if (vb >= vbKeyNumpad0 && vb <= vbKeyNumpad0 + 9) return Qt::Key_0 + (vb - vbKeyNumpad0);
    if (vb >= vbKeyF1 && vb < vbKeyF1 + 24) return Qt::Key_F1 + (vb - vbKeyF1);
    switch (vb) {
    case vbKeyMultiply: return Qt::Key_Asterisk;
    case vbKeyAdd: return Qt::Key_Plus;
    case vbKeySubtract: return Qt::Key_Minus;
    case vbKeyDecimal: return Qt::Key_Period;
    case vbKeyDivide: return Qt::Key_Slash;
    default: break;
    }
    for (const auto& p : kKeys)
        if (p.vb == vb) return p.qt;
    return Qt::Key_unknown;
}

int VbShift(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) s |= vbShiftMask;
    if (m & Qt::ControlModifier) s |= vbCtrlMask;
    if (m & Qt::AltModifier) s |= vbAltMask;
    return s;
}

Qt::KeyboardModifiers QtModifiers(int s)
{
    Qt::KeyboardModifiers m;
    if (s & vbShiftMask) m |= Qt::ShiftModifier;
    if (s & vbCtrlMask) m |= Qt::ControlModifier;
    if (s & vbAltMask) m |= Qt::AltModifier;
    return m;
}

int VbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

int VbButtons(Qt::MouseButtons b)
{
    int r = 0;
    if (b & Qt::LeftButton) r |= vbLeftButton;
    if (b & Qt::RightButton) r |= vbRightButton;
    if (b & Qt::MiddleButton) r |= vbMiddleButton;
    return r;
}

Qt::MouseButton QtButton(int vb)
{
    switch (vb) {
    case vbRightButton: return Qt::RightButton;
    case vbMiddleButton: return Qt::MiddleButton;
    case vbLeftButton: return Qt::LeftButton;
    default: return Qt::NoButton;
    }
}

}  // namespace forms::detail

namespace forms {

long ResolveColor(long color) { return detail::FromQColor(detail::ToQColor(color)); }

}  // namespace forms
