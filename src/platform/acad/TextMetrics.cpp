#include "platform/acad/TextMetrics.h"

#include "platform/acad/DxfText.h"
#include "platform/acad/EntityData.h"
#include "platform/acad/Tables.h"
#include "platform/Utf8.h"

namespace acad {

namespace Alignment {
int HorizontalMode(int a)
{
    switch (a) {
    case Center:
    case TopCenter:
    case MiddleCenter:
    case BottomCenter: return 1;
    case Right:
    case TopRight:
    case MiddleRight:
    case BottomRight: return 2;
    case Aligned: return 3;
    case Middle: return 4;
    case Fit: return 5;
    default: return 0;
    }
}

int VerticalMode(int a)
{
    if (a >= TopLeft && a <= TopRight) return 3;
    if (a >= MiddleLeft && a <= MiddleRight) return 2;
    if (a >= BottomLeft && a <= BottomRight) return 1;
    return 0;
}

int FromModes(int h, int v)
{
    if (h == 3) return Aligned;
    if (h == 4) return Middle;
    if (h == 5) return Fit;
    if (h < 0 || h > 2) h = 0;
    switch (v) {
    case 3: return TopLeft + h;
    case 2: return MiddleLeft + h;
    case 1: return BottomLeft + h;
    default: return h;  // Left, Center, Right on the baseline
    }
}
}  // namespace Alignment

namespace TextMetrics {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Same(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && Same(s.substr(0, prefix.size()), prefix);
}

Face WithCut(Face regular, bool bold, bool italic)
{
    auto f = static_cast<int>(regular);
    if (regular == Face::SansNarrow) return bold ? Face::SansNarrowBold : Face::SansNarrow;
    if (regular == Face::Shape) return Face::Shape;
    return static_cast<Face>(f + (bold ? 1 : 0) + (italic ? 2 : 0));
}

// The family a TrueType face name stands for; Sans for faces of no known widths.
Face FamilyOf(std::string_view name)
{
    for (std::string_view n : {"arial narrow", "liberation sans narrow", "helvetica narrow"})
        if (StartsWith(name, n)) return Face::SansNarrow;
    for (std::string_view n : {"times new roman", "times", "liberation serif", "tinos"})
        if (StartsWith(name, n)) return Face::Serif;
    for (std::string_view n : {"courier new", "courier", "liberation mono", "cousine"})
        if (StartsWith(name, n)) return Face::Mono;
    if (StartsWith(name, "dejavu sans")) return Face::Shape;
    return Face::Sans;
}

// The Windows file names of the common faces: the family and the cut in the name.
struct FileFace {
    std::string_view stem;
    Face face;
};
constexpr FileFace kFileFaces[] = {
    {"arial", Face::Sans},         {"arialbd", Face::SansBold},
    {"ariali", Face::SansItalic},  {"arialbi", Face::SansBoldItalic},
    {"arialn", Face::SansNarrow},  {"arialnb", Face::SansNarrowBold},
    {"arialni", Face::SansNarrow}, {"arialnbi", Face::SansNarrowBold},
    {"times", Face::Serif},        {"timesbd", Face::SerifBold},
    {"timesi", Face::SerifItalic}, {"timesbi", Face::SerifBoldItalic},
    {"cour", Face::Mono},          {"courbd", Face::MonoBold},
    {"couri", Face::MonoItalic},   {"courbi", Face::MonoBoldItalic},
};

// Slot of a code point in the table, or -1.
long SlotOf(char32_t c)
{
    std::size_t base = 0;
    for (const CodeRange& r : kRanges) {
        if (c < r.first) return -1;
        if (c < r.end) return static_cast<long>(base + (c - r.first));
        base += r.end - r.first;
    }
    return -1;
}

bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c < 0x1160) || (c >= 0x2E80 && c < 0xA4D0) || (c >= 0xAC00 && c < 0xD7A4) ||
           (c >= 0xF900 && c < 0xFB00) || (c >= 0xFF00 && c < 0xFF61) || (c >= 0xFFE0 && c < 0xFFE7) ||
           (c >= 0x20000 && c < 0x3FFFE);
}

}  // namespace

bool IsBold(Face f)
{
    switch (f) {
    case Face::SansBold:
    case Face::SansBoldItalic:
    case Face::SerifBold:
    case Face::SerifBoldItalic:
    case Face::MonoBold:
    case Face::MonoBoldItalic:
    case Face::SansNarrowBold: return true;
    default: return false;
    }
}

bool IsItalic(Face f)
{
    switch (f) {
    case Face::SansItalic:
    case Face::SansBoldItalic:
    case Face::SerifItalic:
    case Face::SerifBoldItalic:
    case Face::MonoItalic:
    case Face::MonoBoldItalic: return true;
    default: return false;
    }
}

Face FaceFor(std::string_view typeFace, std::string_view fontFile, bool bold, bool italic)
{
    if (!typeFace.empty()) return WithCut(FamilyOf(typeFace), bold, italic);
    // A font file: its name without folder and extension.
    std::string_view name = fontFile;
    if (const auto slash = name.find_last_of("/\\"); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    std::string_view ext;
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos) {
        ext = name.substr(dot);
        name = name.substr(0, dot);
    }
    if (!Same(ext, ".ttf") && !Same(ext, ".ttc") && !Same(ext, ".otf"))
        return Same(name, "monotxt") ? Face::Mono : Face::Shape;  // a shape font
    for (const FileFace& f : kFileFaces)
        if (Same(name, f.stem)) return f.face;
    return WithCut(FamilyOf(name), bold, italic);
}

Face FaceOf(const TextStyle* style) { return style ? static_cast<Face>(style->MeasuredFace()) : Face::Shape; }

std::string FaceFile(Face f) { return std::string(kFontFolder) + "/" + kFaceFiles[static_cast<std::size_t>(f)]; }

Code CodeAt(std::string_view s, std::size_t i, std::size_t& length, char32_t& letter)
{
    if (i + 2 >= s.size() || s[i] != '%' || s[i + 1] != '%') return Code::None;
    length = 3;
    switch (Lower(s[i + 2])) {
    case 'c': letter = U'\u00D8'; return Code::Letter;
    case 'd': letter = U'\u00B0'; return Code::Letter;
    case 'p': letter = U'\u00B1'; return Code::Letter;
    case '%': letter = '%'; return Code::Letter;
    case 'u': return Code::Underline;
    case 'o': return Code::Overline;
    default: break;
    }
    // "%%nnn": three digits, a character of the code page; one that draws nothing is not a code.
    unsigned n = 0;
    for (std::size_t k = i + 2; k < i + 5; ++k) {
        if (k >= s.size() || s[k] < '0' || s[k] > '9') return Code::None;
        n = n * 10 + static_cast<unsigned>(s[k] - '0');
    }
    letter = n < 256 ? dxf::Cp1252(static_cast<unsigned char>(n)) : static_cast<char32_t>(n);
    if (letter < 0x20 || letter == 0x7F || (letter >= 0x80 && letter < 0xA0)) return Code::None;
    length = 5;
    return Code::Letter;
}

bool ReadCodes(std::string_view text, DrawnText& out)
{
    std::size_t i = text.find("%%");
    if (i == std::string_view::npos) return false;
    out.letters.assign(text.substr(0, i));
    out.strokes.clear();
    // The open stroke of each kind, by its start (npos: none).
    std::size_t open[2] = {std::string::npos, std::string::npos};
    auto close = [&](int k) {
        if (open[k] != std::string::npos && open[k] < out.letters.size())
            out.strokes.push_back({open[k], out.letters.size(), k == 1});
        open[k] = std::string::npos;
    };
    while (i < text.size()) {
        std::size_t length = 0;
        char32_t letter = 0;
        const Code code = CodeAt(text, i, length, letter);
        if (code == Code::None) {
            out.letters += text[i++];
            continue;
        }
        i += length;
        if (code == Code::Letter) {
            platform::AppendUtf8(out.letters, letter);
            continue;
        }
        const int k = code == Code::Overline ? 1 : 0;
        if (open[k] == std::string::npos)
            open[k] = out.letters.size();
        else
            close(k);
    }
    close(0);
    close(1);
    return true;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;  // count lead bytes only
    return n;
}

double Advance(Face f, char32_t c)
{
    const FaceWidths& w = kFaceWidths[static_cast<std::size_t>(f)];
    const long slot = SlotOf(c);
    double units = slot >= 0 ? w.advances[slot] : 0.0;
    if (units == 0.0 && slot >= 0 && c >= 0x20) {
        // A letter the face lacks is drawn from another face: the shape face has most.
        const FaceWidths& other = kFaceWidths[static_cast<std::size_t>(Face::Shape)];
        if (other.advances[slot] != 0) return other.advances[slot] / other.capHeight;
    }
    if (units == 0.0) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x200B || c == 0xFEFF) return 0.0;  // drawn as nothing
        units = IsWide(c) ? w.em : w.mean;
    }
    return units / w.capHeight;
}

double Width(Face f, std::string_view text)
{
    const FaceWidths& w = kFaceWidths[static_cast<std::size_t>(f)];
    double units = 0.0, other = 0.0;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            // Plain ASCII letters, the most of every drawing, straight from the table.
            ++i;
            if (b >= 0x20 && b < 0x7F) {
                units += w.advances[b - 0x20];
                continue;
            }
            other += Advance(f, b);
            continue;
        }
        char32_t c = 0xFFFD;
        std::size_t n = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        if (n > 1 && i + n <= text.size()) {
            c = b & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k) {
                const auto cb = static_cast<unsigned char>(text[i + k]);
                if ((cb & 0xC0) != 0x80) {
                    c = 0xFFFD;
                    n = k;
                    break;
                }
                c = (c << 6) | (cb & 0x3F);
            }
        } else {
            n = 1;
        }
        i += n;
        other += Advance(f, c);
    }
    return units / w.capHeight + other;
}

double TextWidth(std::string_view text, double height, double widthFactor, const TextStyle* style)
{
    return Width(FaceOf(style), text) * height * widthFactor;
}

Point3d AlignmentOffset(int alignment, double width, double height)
{
    double x = 0.0;
    switch (Alignment::HorizontalMode(alignment)) {
    case 1:
    case 4: x = width / 2; break;
    case 2:
    case 3:
    case 5: x = width; break;
    default: break;
    }
    double y = 0.0;
    if (alignment == Alignment::Middle) {
        y = height / 2;
    } else {
        switch (Alignment::VerticalMode(alignment)) {
        case 3: y = height; break;
        case 2: y = height / 2; break;
        case 1: y = -kDescent * height; break;
        default: break;
        }
    }
    return {x, y, 0.0};
}

}  // namespace TextMetrics
}  // namespace acad
