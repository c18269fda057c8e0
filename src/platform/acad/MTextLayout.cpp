#include "platform/acad/MTextLayout.h"

#include <iconv.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "platform/Utf8.h"
#include "platform/acad/Entity.h"

namespace acad {

namespace {

using TextMetrics::Face;

// Baseline to baseline, in heights of a line's tallest letters (line spacing 1).
constexpr double kLinePitch = 5.0 / 3.0;
// Tab stops, in heights of the text.
constexpr double kTabStep = 4.0;
// A format's height or width factor past this many times the text's own is not taken.
constexpr double kFormatRange = 1e6;
constexpr double kUnbounded = std::numeric_limits<double>::infinity();

enum class Align : std::uint8_t { Left, Center, Right };

struct Format {
    double height = 0.0;
    double widthFactor = 1.0;
    double oblique = 0.0;
    Face face = Face::Shape;
    Align align = Align::Left;
    int color = -1;
    bool underline = false, overline = false;
    bool operator==(const Format&) const = default;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsLetter(char c) { return IsLower(c) || (c >= 'A' && c <= 'Z'); }

// The end of the number at `s[i]` ("2.5", "-3", ".5", "1e-2"; with `relative`
// also "0.7x"): `i` when there is none.
std::size_t NumberEnd(std::string_view s, std::size_t i, bool relative)
{
    std::size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t first = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    bool digits = j > first;
    if (j < s.size() && s[j] == '.') {
        std::size_t k = j + 1;
        while (k < s.size() && IsDigit(s[k])) ++k;
        if (digits || k > j + 1) {
            digits = true;
            j = k;
        }
    }
    if (!digits) return i;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < s.size() && IsDigit(s[k])) {
            while (k < s.size() && IsDigit(s[k])) ++k;
            j = k;
        }
    }
    if (relative && j < s.size() && (s[j] == 'x' || s[j] == 'X')) ++j;
    return j;
}

// The argument of a code that ends with a ";" where one closes it, and
// otherwise where `end` says it does: `s[i, stop)` may hold it, `stop` on the
// ";" when there is one. Moves `i` past the argument and its ";".
template <typename End>
std::string_view Argument(std::string_view s, std::size_t& i, std::size_t stop, End end)
{
    std::size_t to = stop;
    if (stop >= s.size() || s[stop] != ';') to = std::min(stop, end());
    const std::string_view v = s.substr(i, to - i);
    i = to < s.size() && s[to] == ';' ? to + 1 : to;
    return v;
}

// One code point of UTF-8 text at `i`, moving `i` past it; a byte that is not
// UTF-8 is one character of its own.
char32_t NextCodePoint(std::string_view s, std::size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const std::size_t n = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    if (n == 1 || i + n > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto cb = static_cast<unsigned char>(s[i + k]);
        if ((cb & 0xC0) != 0x80) {
            i += k;
            return 0xFFFD;
        }
        c = (c << 6) | (cb & 0x3F);
    }
    i += n;
    return c;
}

// The character `code` stands for in the double-byte code page `page` of the
// "\M+" codes (0 Japanese, 1 Traditional Chinese, 2 Korean, 3 Korean Johab,
// 4 Simplified Chinese); U+FFFD when the system has no such page or letter.
// iconv_open says it failed with the handle (iconv_t)-1.
bool IconvOpened(iconv_t cd) { return reinterpret_cast<std::intptr_t>(cd) != -1; }

char32_t CodePageCharacter(int page, unsigned code)
{
    static constexpr const char* kPages[5] = {"CP932", "CP950", "CP949", "JOHAB", "CP936"};
    // Each thread opens a page once, when a text first needs it.
    struct Converters {
        iconv_t page[5];
        bool tried[5] = {};
        ~Converters()
        {
            for (int k = 0; k < 5; ++k)
                if (tried[k] && IconvOpened(page[k])) iconv_close(page[k]);
        }
    };
    thread_local Converters converters;
    if (!converters.tried[page]) {
        converters.page[page] = iconv_open("UTF-32LE", kPages[page]);
        converters.tried[page] = true;
    }
    const iconv_t cd = converters.page[page];
    if (!IconvOpened(cd)) return 0xFFFD;
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char* from = code > 0xFF ? in : in + 1;
    std::size_t left = code > 0xFF ? 2 : 1;
    unsigned char out[4] = {};
    char* to = reinterpret_cast<char*>(out);
    std::size_t room = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &from, &left, &to, &room) == static_cast<std::size_t>(-1) || room != 0) return 0xFFFD;
    const char32_t c = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
    return c >= 0x20 && c <= 0x10FFFF ? c : 0xFFFD;
}

// A number at the start of `s` ("2.5", "0.7x"): its value and whether it is relative.
bool ParseNumber(std::string_view s, double& value, bool& relative)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return false;
    relative = p != s.data() + s.size() && (*p == 'x' || *p == 'X');
    return true;
}

class Builder {
public:
    Builder(const MTextData& d, Face face, bool linked) : d_(d), linked_(linked)
    {
        Format f;
        h0_ = d.height > 0 && std::isfinite(d.height) ? d.height : 0.0;
        f.height = h0_;
        f.face = face;
        const int col = (std::clamp(d.attachment, 1, 9) - 1) % 3;
        f.align = col == 0 ? Align::Left : col == 1 ? Align::Center : Align::Right;
        formats_.push_back(f);
        const double columnWidth = d.columns.type != MTextColumnType::None ? d.columns.width : 0.0;
        limit_ = columnWidth > 0 && std::isfinite(columnWidth) ? columnWidth
                 : d.width > 0 && std::isfinite(d.width)       ? d.width
                                                               : 0.0;
        spacing_ = d.lineSpacing > 0 && std::isfinite(d.lineSpacing) ? d.lineSpacing : 1.0;
        ResetWhitespace();
    }

    void Read(std::string_view s);
    // A column break between the text and each linked column, but for the
    // one the text itself ends with.
    void ColumnBreak()
    {
        if (!(nextInNewColumn_ && word_.empty() && !lineHasWords_ && columnCode_ == lines_.size())) Break(true, true);
    }
    MTextLayout Finish();

private:
    struct Piece {
        std::size_t begin, end;
        double x, width;
        std::size_t format;
    };
    struct Line {
        std::size_t first, end;  // its pieces
        double width, height;
        Align align;
        bool newColumn;
        std::size_t column = 0;
        double baseline = 0.0;
    };

    const Format& Current() const { return formats_[current_]; }
    void SetFormat(const Format& f)
    {
        if (f == Current()) return;
        // Consecutive changes reuse the last format made.
        if (!(formats_.back() == f)) formats_.push_back(f);
        current_ = formats_.size() - 1;
    }
    double Advance(char32_t c) const
    {
        const Format& f = Current();
        return TextMetrics::Advance(f.face, c) * f.height * f.widthFactor;
    }

    void Letter(char32_t c);
    void Space();
    void Tab();
    void FlushWord();
    void Break(bool paragraph, bool column);
    void CloseLine();
    void ResetWhitespace()
    {
        spaceBegin_ = letters_.size();
        spaceFormat_ = kNoFormat;
    }
    // The arguments of the codes at `i` (past the code's letter): each moves
    // `i` past the argument and the ";" that may close it.
    static std::string_view Number(std::string_view s, std::size_t& i, bool relative);
    static std::string_view Digits(std::string_view s, std::size_t& i);
    static std::string_view ParagraphArgument(std::string_view s, std::size_t& i);
    static std::string_view FontArgument(std::string_view s, std::size_t& i);
    static std::string_view StackArgument(std::string_view s, std::size_t& i);
    void Colour(std::string_view v, bool trueColour);
    void Lines(bool under, bool on);
    void Font(std::string_view v, bool file);
    void Paragraph(std::string_view v);
    void Stack(std::string_view v);
    void Scale(std::string_view v, bool height);

    static constexpr std::size_t kNoFormat = static_cast<std::size_t>(-1);
    static constexpr std::size_t kMixed = static_cast<std::size_t>(-2);

    const MTextData& d_;
    bool linked_;  // its linked columns hold lines of their own
    double h0_ = 0.0, limit_ = 0.0, spacing_ = 1.0;
    std::vector<Format> formats_;
    std::size_t current_ = 0;
    std::vector<std::size_t> stack_;  // formats at each open brace
    std::string letters_;
    std::vector<Piece> pieces_;
    std::vector<Line> lines_;
    // The word being read: its pieces, not yet placed on a line.
    std::vector<Piece> word_;
    double wordWidth_ = 0.0;
    // The line being filled.
    std::size_t lineFirst_ = 0;
    double lineX_ = 0.0;  // end of its last word
    double gapX_ = 0.0;   // where its next word starts, past the spaces and tabs read
    bool lineHasWords_ = false;
    bool paragraphStart_ = true;
    bool nextInNewColumn_ = false;
    std::size_t columnCode_ = kNoFormat;  // lines closed when the last "\N" was read
    // The spaces since the last word: letters from spaceBegin_, in one format or mixed.
    std::size_t spaceBegin_ = 0;
    std::size_t spaceFormat_ = kNoFormat;
};

void Builder::Letter(char32_t c)
{
    const std::size_t begin = letters_.size();
    platform::AppendUtf8(letters_, c);
    const double w = Advance(c);
    if (!word_.empty() && word_.back().format == current_ && word_.back().end == begin) {
        word_.back().end = letters_.size();
        word_.back().width += w;
    } else {
        word_.push_back(Piece{begin, letters_.size(), 0.0, w, current_});
    }
    wordWidth_ += w;
}

void Builder::Space()
{
    FlushWord();
    // The space a line was broken at, and those after it, start no line.
    if (!lineHasWords_ && !paragraphStart_) return;
    letters_ += ' ';
    gapX_ += Advance(' ');
    spaceFormat_ = spaceFormat_ == kNoFormat || spaceFormat_ == current_ ? current_ : kMixed;
}

void Builder::Tab()
{
    FlushWord();
    const double step = kTabStep * h0_;
    if (step > 0) gapX_ = (std::floor(gapX_ / step + 1e-9) + 1) * step;
    spaceFormat_ = kMixed;  // a gap, not letters
}

void Builder::FlushWord()
{
    if (word_.empty()) return;
    double x = gapX_;
    bool joinSpaces = spaceFormat_ != kMixed;
    if (lineHasWords_ && limit_ > 0 && x + wordWidth_ > limit_ * (1 + 1e-9)) {
        CloseLine();
        x = 0.0;
        joinSpaces = false;
    }
    for (std::size_t k = 0; k < word_.size(); ++k) {
        Piece p = word_[k];
        p.x = x;
        Piece* last = pieces_.size() > lineFirst_ ? &pieces_.back() : nullptr;
        // A word in the format of the last one and of the spaces between them
        // joins it: a line of one format is one piece, spaces and all.
        const bool join =
            last && last->format == p.format &&
            (k > 0 ? last->end == p.begin
                   : joinSpaces && last->end == spaceBegin_ && (spaceFormat_ == kNoFormat || spaceFormat_ == p.format));
        if (join) {
            last->width = p.x + p.width - last->x;
            last->end = p.end;
        } else {
            pieces_.push_back(p);
        }
        x += p.width;
    }
    word_.clear();
    wordWidth_ = 0.0;
    lineX_ = gapX_ = x;
    lineHasWords_ = true;
    ResetWhitespace();
}

void Builder::CloseLine()
{
    double height = 0.0;
    for (std::size_t k = lineFirst_; k < pieces_.size(); ++k)
        height = std::max(height, formats_[pieces_[k].format].height);
    if (pieces_.size() == lineFirst_) height = Current().height;
    lines_.push_back(Line{lineFirst_, pieces_.size(), lineX_, height, Current().align, nextInNewColumn_});
    nextInNewColumn_ = false;
    lineFirst_ = pieces_.size();
    lineX_ = gapX_ = 0.0;
    lineHasWords_ = false;
    paragraphStart_ = false;
    ResetWhitespace();
}

void Builder::Break(bool paragraph, bool column)
{
    FlushWord();
    CloseLine();
    paragraphStart_ = paragraph;
    if (column) nextInNewColumn_ = true;
}

std::string_view Builder::Number(std::string_view s, std::size_t& i, bool relative)
{
    const std::size_t end = NumberEnd(s, i, relative);
    const std::string_view v = s.substr(i, end - i);
    i = end < s.size() && s[end] == ';' ? end + 1 : end;
    return v;
}

std::string_view Builder::Digits(std::string_view s, std::size_t& i)
{
    std::size_t end = i;
    while (end < s.size() && IsDigit(s[end])) ++end;
    const std::string_view v = s.substr(i, end - i);
    i = end < s.size() && s[end] == ';' ? end + 1 : end;
    return v;
}

std::string_view Builder::ParagraphArgument(std::string_view s, std::size_t& i)
{
    // \pxi-3,l3,t3,6,qc; : items apart by ",", each a letter or two and a
    // number, or a number alone (a further tab stop); "x" may stand before
    // the first. It ends at its ";", or where no item follows.
    std::size_t j = i;
    if (j < s.size() && s[j] == 'x') ++j;
    for (;;) {
        std::size_t k = j;
        while (k < s.size() && k < j + 2 && IsLower(s[k])) ++k;
        const std::size_t end = NumberEnd(s, k, false);
        if (end == j) break;  // no item here
        j = end;
        if (j + 1 < s.size() && s[j] == ',' && (IsLower(s[j + 1]) || NumberEnd(s, j + 1, false) > j + 1)) {
            ++j;
            continue;
        }
        break;
    }
    return Argument(s, i, j, [j] { return j; });
}

std::string_view Builder::FontArgument(std::string_view s, std::size_t& i)
{
    // \fArial|b1|i0|c0|p34; or \Fromans.shx|c0; : to its ";", which no code or
    // brace comes before; without one, its name runs to its first space,
    // option or the end of a file's extension, and each option is "|", a
    // letter and a number.
    std::size_t stop = i;
    while (stop < s.size() && s[stop] != ';' && s[stop] != '\\' && s[stop] != '{' && s[stop] != '}' && s[stop] != '\n')
        ++stop;
    return Argument(s, i, stop, [&] {
        std::size_t k = i;
        while (k < stop && s[k] != '|' && s[k] != ' ') {
            if (s[k] == '.' && k + 3 < stop && IsLetter(s[k + 1]) && IsLetter(s[k + 2]) && IsLetter(s[k + 3])) {
                k += 4;
                break;
            }
            ++k;
        }
        while (k + 1 < stop && s[k] == '|' && IsLetter(s[k + 1])) {
            k += 2;
            while (k < stop && IsDigit(s[k])) ++k;
        }
        return k;
    });
}

std::string_view Builder::StackArgument(std::string_view s, std::size_t& i)
{
    // \S1/2; or \S+0.1^-0.1; (a ";" of its own written "\;"): to its ";",
    // which no other code or brace comes before; without one, to its first space.
    std::size_t stop = i;
    for (; stop < s.size(); ++stop) {
        const char c = s[stop];
        if (c == ';' || c == '{' || c == '}' || c == '\n') break;
        if (c != '\\') continue;
        if (stop + 1 >= s.size() || (s[stop + 1] != ';' && s[stop + 1] != '\\')) break;
        ++stop;
    }
    return Argument(s, i, stop, [&] {
        std::size_t k = i;
        while (k < stop && s[k] != ' ') k += s[k] == '\\' ? 2 : 1;
        return std::min(k, stop);
    });
}

void Builder::Colour(std::string_view v, bool trueColour)
{
    // \C1; an index (0 and 256, by block and by layer: the text's own); \c255;
    // a true colour, its red in the lowest byte.
    unsigned n = 0;
    const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || p != v.data() + v.size()) return;
    Format f = Current();
    if (trueColour) {
        if (n > 0xFFFFFF) return;
        f.color = Color::TrueColor | static_cast<int>(((n & 0xFF) << 16) | (n & 0xFF00) | ((n >> 16) & 0xFF));
    } else {
        if (n > 256) return;
        f.color = n == 0 || n == 256 ? -1 : static_cast<int>(n);
    }
    SetFormat(f);
}

void Builder::Lines(bool under, bool on)
{
    Format f = Current();
    (under ? f.underline : f.overline) = on;
    SetFormat(f);
}

void Builder::Font(std::string_view v, bool file)
{
    // \fArial|b1|i0|c0|p34; or \Fromans.shx|c0;
    const std::size_t bar = v.find('|');
    const std::string_view name = v.substr(0, bar);
    bool bold = false, italic = false;
    for (std::size_t i = bar; i != std::string_view::npos;) {
        const std::size_t next = v.find('|', i + 1);
        const std::string_view option = v.substr(i + 1, next == std::string_view::npos ? v.npos : next - i - 1);
        if (option.size() >= 2 && (option[0] == 'b' || option[0] == 'B')) bold = option[1] == '1';
        if (option.size() >= 2 && (option[0] == 'i' || option[0] == 'I')) italic = option[1] == '1';
        i = next;
    }
    if (name.empty()) return;
    Format f = Current();
    f.face = file ? TextMetrics::FaceFor({}, name, bold, italic) : TextMetrics::FaceFor(name, {}, bold, italic);
    SetFormat(f);
}

void Builder::Paragraph(std::string_view v)
{
    // \pxi-3,l3,t3,qc; the alignment (q) is what the layout takes.
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        if (v[i] != 'q' || (i > 0 && v[i - 1] != ',' && v[i - 1] != 'x')) continue;
        Format f = Current();
        switch (v[i + 1]) {
        case 'c': f.align = Align::Center; break;
        case 'r': f.align = Align::Right; break;
        case 'l':
        case 'j':
        case 'd': f.align = Align::Left; break;
        default: continue;
        }
        SetFormat(f);
    }
}

void Builder::Stack(std::string_view v)
{
    // A stacked fraction ("1/2", "1#2", or "+0.1^-0.1") is drawn on the line as "1/2".
    for (std::size_t i = 0; i < v.size();) {
        char32_t c = NextCodePoint(v, i);
        if (c == '^' || c == '#') c = '/';
        if (c == '\\' && i < v.size()) c = NextCodePoint(v, i);  // \; and the like
        if (c == ' ')
            Letter(0xA0);  // one unbreakable piece
        else
            Letter(c);
    }
}

void Builder::Scale(std::string_view v, bool height)
{
    double value = 0;
    bool relative = false;
    if (!ParseNumber(v, value, relative) || !(value > 0)) return;
    Format f = Current();
    double& member = height ? f.height : f.widthFactor;
    const double next = relative ? member * value : value;
    const double base = height ? h0_ : 1.0;
    if (!(next > base / kFormatRange && next < base * kFormatRange)) return;
    member = next;
    SetFormat(f);
}

void Builder::Read(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size()) {
            const char k = s[i + 1];
            i += 2;
            switch (k) {
            case 'P':
            case 'X': Break(true, false); break;
            case 'N':
                Break(true, true);
                columnCode_ = lines_.size();
                break;
            case '~': Letter(0xA0); break;
            case '\\':
            case '{':
            case '}': Letter(static_cast<unsigned char>(k)); break;
            case 'L':
            case 'l': Lines(true, k == 'L'); break;
            case 'O':
            case 'o': Lines(false, k == 'O'); break;
            case 'K':
            case 'k': break;  // strike-through lines are not drawn
            case 'H': Scale(Number(s, i, true), true); break;
            case 'W': Scale(Number(s, i, true), false); break;
            case 'Q': {
                double a = 0;
                bool relative = false;
                if (ParseNumber(Number(s, i, false), a, relative) && std::fabs(a) <= 85) {
                    Format f = Current();
                    f.oblique = a * kPi / 180.0;
                    SetFormat(f);
                }
                break;
            }
            case 'f': Font(FontArgument(s, i), false); break;
            case 'F': Font(FontArgument(s, i), true); break;
            case 'p': Paragraph(ParagraphArgument(s, i)); break;
            case 'S': Stack(StackArgument(s, i)); break;
            case 'C': Colour(Digits(s, i), false); break;
            case 'c': Colour(Digits(s, i), true); break;
            case 'A':
                // Vertical alignment in the line (0, 1 or 2): not drawn.
                if (i < s.size() && s[i] >= '0' && s[i] <= '2') ++i;
                if (i < s.size() && s[i] == ';') ++i;
                break;
            case 'T': Number(s, i, true); break;  // tracking: not drawn
            case 'U': {
                // \U+00B0: a character by its number.
                unsigned cp = 0;
                const char* from = s.data() + i + 1;
                const char* to = s.data() + std::min(s.size(), i + 5);
                if (i < s.size() && s[i] == '+' && std::from_chars(from, to, cp, 16).ptr == to && cp != 0) {
                    Letter(static_cast<char32_t>(cp));
                    i += 5;
                } else {
                    Letter('\\');
                    Letter(static_cast<unsigned char>(k));
                }
                break;
            }
            case 'M': {
                // \M+1XXXX: a character of a double-byte code page by its number.
                unsigned code = 0;
                const char* from = s.data() + i + 2;
                const char* to = s.data() + i + 6;
                if (i + 6 <= s.size() && s[i] == '+' && s[i + 1] >= '1' && s[i + 1] <= '5' &&
                    std::from_chars(from, to, code, 16).ptr == to) {
                    Letter(CodePageCharacter(s[i + 1] - '1', code));
                    i += 6;
                } else {
                    Letter('\\');
                    Letter(static_cast<unsigned char>(k));
                }
                break;
            }
            default:
                // Not a code: drawn as written.
                Letter('\\');
                i -= 1;
                break;
            }
            continue;
        }
        if (c == '^' && i + 1 < s.size()) {
            // Caret codes: a control character, "^ " a caret.
            const char k = s[i + 1];
            if (k == ' ') {
                Letter('^');
                i += 2;
                continue;
            }
            if (k >= '@' && k <= '_') {
                i += 2;
                if (k == 'J') Break(false, false);
                if (k == 'I') Tab();
                continue;  // other control characters draw nothing
            }
        }
        if (c == '%') {
            std::size_t length = 0;
            char32_t letter = 0;
            const TextMetrics::Code code = TextMetrics::CodeAt(s, i, length, letter);
            if (code != TextMetrics::Code::None) {
                i += length;
                if (code == TextMetrics::Code::Underline)
                    Lines(true, !Current().underline);
                else if (code == TextMetrics::Code::Overline)
                    Lines(false, !Current().overline);
                else if (letter == ' ')
                    Space();
                else
                    Letter(letter);
                continue;
            }
        }
        if (c == '{') {
            stack_.push_back(current_);
            ++i;
            continue;
        }
        if (c == '}') {
            if (!stack_.empty()) {
                current_ = stack_.back();
                stack_.pop_back();
            }
            ++i;
            continue;
        }
        if (c == '\n') {
            Break(true, false);
            ++i;
            continue;
        }
        const char32_t cp = NextCodePoint(s, i);
        if (cp == ' ')
            Space();
        else if (cp == '\t')
            Tab();
        else if (cp >= 0x20 || cp == 0xFFFD)
            Letter(cp);
    }
}

MTextLayout Builder::Finish()
{
    FlushWord();
    // A last paragraph break adds no empty line.
    if (lineHasWords_) CloseLine();
    MTextLayout out;
    if (lines_.empty()) return out;

    // The columns: their width, and the height each holds.
    const MTextColumns& cols = d_.columns;
    const bool columned = cols.type != MTextColumnType::None;
    double widest = 0.0;
    for (const Line& l : lines_) widest = std::max(widest, l.width);
    const double width = limit_ > 0 ? limit_ : widest;
    const double gutter = columned && cols.gutter > 0 && std::isfinite(cols.gutter) ? cols.gutter : 0.0;
    // Linked columns hold the lines the file put in them: they are not flowed
    // again (but the text flows when it holds them all, its linked columns empty).
    const bool flow = columned && !linked_;
    // The height the file gives column `i`, if any.
    auto heightOf = [&](std::size_t i) {
        if (!columned) return kUnbounded;
        double h = kUnbounded;
        if (!cols.autoHeight && !cols.heights.empty()) {
            if (i < cols.heights.size()) h = cols.heights[i];
        } else {
            h = cols.height > 0 ? cols.height : d_.definedHeight;
        }
        return h > 0 && std::isfinite(h) ? h : kUnbounded;
    };
    // How much of the lines column `i` takes before the next column: the last of given heights takes the rest.
    auto limitOf = [&](std::size_t i) {
        const bool last = !cols.autoHeight && !cols.heights.empty() && i + 1 >= cols.heights.size();
        return flow && !last ? heightOf(i) : kUnbounded;
    };
    std::vector<double> used(1, 0.0);
    std::size_t column = 0, inColumn = 0;
    double depth = 0.0;
    for (Line& l : lines_) {
        if (l.newColumn && columned) {
            ++column;
            depth = 0.0;
            inColumn = 0;
        }
        if (inColumn > 0 && depth + l.height > limitOf(column) * (1 + 1e-9)) {
            ++column;
            depth = 0.0;
            inColumn = 0;
        }
        if (used.size() <= column) used.resize(column + 1, 0.0);
        l.column = column;
        l.baseline = -(depth + l.height);
        used[column] = depth + l.height;
        depth += l.height * kLinePitch * spacing_;
        ++inColumn;
    }
    const std::size_t count =
        std::max(used.size(), columned && cols.count > 0 ? static_cast<std::size_t>(std::min(cols.count, 1000)) : 1);
    used.resize(count, 0.0);
    double boxHeight = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double h = heightOf(i);
        if (h < kUnbounded) used[i] = std::max(h, used[i]);
        boxHeight = std::max(boxHeight, used[i]);
    }
    const double boxWidth = static_cast<double>(count) * width + static_cast<double>(count - 1) * gutter;
    const int attachment = std::clamp(d_.attachment, 1, 9);
    const double dx = -boxWidth * ((attachment - 1) % 3) / 2.0;
    const double dy = boxHeight * ((attachment - 1) / 3) / 2.0;

    out.letters = std::move(letters_);
    out.runs.reserve(pieces_.size());
    for (const Line& l : lines_) {
        const double left = dx + static_cast<double>(l.column) * (width + gutter);
        const double shift = l.align == Align::Center  ? (width - l.width) / 2
                             : l.align == Align::Right ? width - l.width
                                                       : 0.0;
        for (std::size_t k = l.first; k < l.end; ++k) {
            const Piece& p = pieces_[k];
            const Format& f = formats_[p.format];
            out.runs.push_back(MTextRun{p.begin, p.end, left + shift + p.x, dy + l.baseline, p.width, f.height,
                                        f.widthFactor, f.oblique, f.face, f.color, f.underline, f.overline});
        }
    }
    out.columns.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double left = dx + static_cast<double>(i) * (width + gutter);
        out.columns.push_back(MTextRect{left, dy - used[i], left + width, dy});
    }
    out.box = MTextRect{dx, dy - boxHeight, dx + boxWidth, dy};
    return out;
}

}  // namespace

MTextLayout LayOutMText(const MTextData& d, TextMetrics::Face face)
{
    // A text of no height draws nothing.
    if (!(d.height > 0) || !std::isfinite(d.height)) return {};
    // Some writers put all of the text in the first of its linked columns.
    const bool linked =
        std::any_of(d.linkedColumns.begin(), d.linkedColumns.end(), [](const std::string& c) { return !c.empty(); });
    Builder b(d, face, linked);
    b.Read(d.text);
    if (linked) {
        for (const std::string& column : d.linkedColumns) {
            b.ColumnBreak();
            b.Read(column);
        }
    }
    return b.Finish();
}

}  // namespace acad
