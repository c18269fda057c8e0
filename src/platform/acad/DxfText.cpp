#include "platform/acad/DxfText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/acad/Error.h"
#include "platform/Utf8.h"

namespace acad::dxf {

namespace {

// Windows-1252 code points of the bytes 0x80..0x9F (the rest is Latin-1).
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 byte of a character, or -1 when the code page lacks it
// (control characters included: they would break the line structure).
int Cp1252Byte(char32_t cp)
{
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
    if (cp < 0x80 || cp > 0xFFFF) return -1;
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == cp && cp >= 0x100) return 0x80 + k;
    return -1;
}


// Decodes the UTF-8 sequence at s[i]; returns its length, 0 when it is not valid UTF-8.
std::size_t Utf8At(std::string_view s, std::size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t n;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool IsValidUtf8(std::string_view s)
{
    char32_t cp;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = Utf8At(s, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

constexpr int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The code unit of a "\U+XXXX" escape at s[i], or -1.
long EscapeAt(std::string_view s, std::size_t i)
{
    if (i + 7 > s.size() || s[i] != '\\' || (s[i + 1] != 'U' && s[i + 1] != 'u') || s[i + 2] != '+') return -1;
    long v = 0;
    for (std::size_t k = 3; k < 7; ++k) {
        int d = HexDigit(s[i + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

void AppendEscape(std::string& out, unsigned v)
{
    static const char* hex = "0123456789ABCDEF";
    char e[7] = {'\\', 'U', '+', hex[(v >> 12) & 15], hex[(v >> 8) & 15], hex[(v >> 4) & 15], hex[v & 15]};
    out.append(e, 7);
}


// Position of the first line break in the 16 bytes at s, or -1.
inline int LineBreakIn16(const char* s)
{
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
    return mask ? std::countr_zero(mask) : -1;
#else
    const void* nl = std::memchr(s, '\n', 16);
    return nl ? static_cast<int>(static_cast<const char*>(nl) - s) : -1;
#endif
}

// What Next needs ahead of a group to read it without looking for the end of
// what is held: up to 8 spaces, 4 digits, CR, LF and 16 bytes of the value.
constexpr std::size_t kQuickRoom = 32;

}  // namespace

char32_t Cp1252(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
    return b;
}

void DecodeText(std::string_view raw, std::string& out)
{
    out.clear();
    bool plain = true;
    for (char c : raw)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\') {
            plain = false;
            break;
        }
    if (plain) {
        out.assign(raw);
        return;
    }
    std::string latin;
    std::string_view s = raw;
    if (!IsValidUtf8(raw)) {
        latin.reserve(raw.size() * 2);
        for (char c : raw) platform::AppendUtf8(latin, Cp1252(static_cast<unsigned char>(c)));
        s = latin;
    }
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        long u = s[i] == '\\' ? EscapeAt(s, i) : -1;
        if (u < 0) {
            out += s[i++];
            continue;
        }
        i += 7;
        char32_t cp = static_cast<char32_t>(u);
        if (u >= 0xD800 && u <= 0xDBFF) {
            long lo = EscapeAt(s, i);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (static_cast<char32_t>(lo) - 0xDC00);
                i += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp != 0) platform::AppendUtf8(out, cp);
    }
}

std::string Quoted(std::string_view raw)
{
    std::string text;
    DecodeText(raw.substr(0, 40), text);
    std::string r = "\"";
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20) r += c;
    if (raw.size() > 40) r += "...";
    return r + "\"";
}

void EncodeText(std::string_view utf8, std::string& out)
{
    const std::size_t start = out.size();
    std::size_t firstHigh = std::string::npos;  // where the first byte of the code page's upper half went
    std::size_t i = 0;
    while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x20 && static_cast<unsigned char>(utf8[i]) < 0x7F)
        ++i;
    out.append(utf8.substr(0, i));
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t cp;
        std::size_t n = Utf8At(utf8, i, cp);
        if (n == 0) {  // not UTF-8: a byte of 8-bit text
            cp = Cp1252(b);
            n = 1;
        }
        i += n;
        if (int byte = Cp1252Byte(cp); byte >= 0) {
            if (firstHigh == std::string::npos) firstHigh = out.size();
            out += static_cast<char>(byte);
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendEscape(out, 0xD800 + static_cast<unsigned>(cp >> 10));
            AppendEscape(out, 0xDC00 + static_cast<unsigned>(cp & 0x3FF));
        } else {
            AppendEscape(out, static_cast<unsigned>(cp));
        }
    }
    // Code-page bytes that happen to be valid UTF-8 ("Ã©" is C3 A9) would read
    // back as other characters ("é"): the first of them goes as an escape,
    // which leaves the byte after it no longer valid UTF-8.
    if (firstHigh != std::string::npos && IsValidUtf8(std::string_view(out).substr(start))) {
        std::string escape;
        AppendEscape(escape, static_cast<unsigned>(Cp1252(static_cast<unsigned char>(out[firstHigh]))));
        out.replace(firstHigh, 1, escape);
    }
}

namespace {

// Powers of ten a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The values files mostly hold ("-12.5", "0.0", "450"): digits, at most one
// "." with digits after it, nothing around. When the digits make an integer a
// double holds exactly, one division by an exact power of ten rounds as
// from_chars does; anything else is left to it (false).
// The eight characters at p as a number when all are digits (false otherwise):
// a coordinate's digits come eight at a time rather than one multiply per digit.
inline bool EightDigits(const char* p, std::uint32_t& out)
{
    if constexpr (std::endian::native != std::endian::little) return false;
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    // Each byte is 0x30..0x39 exactly when its high nibble is 3 and adding 6 leaves it so.
    if (((v & 0xF0F0F0F0F0F0F0F0ull) | (((v + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4)) !=
        0x3333333333333333ull)
        return false;
    v -= 0x3030303030303030ull;
    v = v * 10 + (v >> 8);  // pairs of digits
    v = (((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
        32;
    out = static_cast<std::uint32_t>(v);
    return true;
}

// The digits from p on, appended to m; p is left on the first character that is not one.
inline void Digits(const char*& p, const char* end, std::uint64_t& m)
{
    for (std::uint32_t eight; end - p >= 8 && EightDigits(p, eight); p += 8) m = m * 100000000 + eight;
    for (unsigned d; p < end && (d = static_cast<unsigned>(*p - '0')) < 10; ++p) m = m * 10 + d;
}

inline bool QuickReal(std::string_view s, double& v)
{
    const char* p = s.data();
    const char* const end = p + s.size();
    if (p == end) return false;
    const bool negative = *p == '-';
    p += negative;
    const char* const first = p;
    std::uint64_t m = 0;  // wraps past 19 digits, which are refused below
    Digits(p, end, m);
    const auto whole = p - first;
    if (whole == 0) return false;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char* const point = ++p;
        Digits(p, end, m);
        fraction = p - point;
        if (fraction == 0) return false;
    }
    if (p != end || whole + fraction > 19 || m > (std::uint64_t{1} << 53)) return false;
    const double x = static_cast<double>(m) / kExactPow10[fraction];
    v = negative ? -x : x;
    return true;
}

bool GeneralReal(std::string_view s, double& v)
{
    // Blanks are rare: looked for only where a value starts or ends with one.
    if (!s.empty() && (IsBlank(s.front()) || IsBlank(s.back()))) s = Trim(s);
    if (s.empty()) {
        v = 0.0;
        return true;
    }
    if (s.size() > 64) return false;
    // Most values are plain numbers: read in place, copied only for "+" or ",".
    if (s[0] != '+') {
        auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
        if (r.ec == std::errc() && r.ptr == s.data() + s.size())
            return std::isfinite(v) && std::fabs(v) <= kMaxMagnitude;
    }
    char buf[65];
    std::size_t n = 0;
    const bool hasPoint = s.find('.') != std::string_view::npos;
    for (std::size_t i = (s[0] == '+' ? 1 : 0); i < s.size(); ++i) buf[n++] = (s[i] == ',' && !hasPoint) ? '.' : s[i];
    auto r = std::from_chars(buf, buf + n, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != buf + n) return false;
    return std::isfinite(v) && std::fabs(v) <= kMaxMagnitude;
}

// Integers as files mostly hold them: an optional "-" and at most 18 digits,
// nothing around (what from_chars reads to the same value).
inline bool QuickInteger(std::string_view s, long long& v)
{
    const char* p = s.data();
    const char* const end = p + s.size();
    if (p == end) return false;
    const bool negative = *p == '-';
    p += negative;
    if (p == end || end - p > 18) return false;
    std::uint64_t n = 0;  // 18 digits at most: no overflow
    Digits(p, end, n);
    if (p != end) return false;
    v = negative ? -static_cast<long long>(n) : static_cast<long long>(n);
    return true;
}

bool GeneralInteger(std::string_view s, long long& v)
{
    s = Trim(s);
    std::string_view t = (!s.empty() && s[0] == '+') ? s.substr(1) : s;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec == std::errc() && r.ptr == t.data() + t.size() && !t.empty()) return true;
    double d;
    if (s.empty() || !ParseReal(s, d) || d != std::floor(d) || std::fabs(d) > 9007199254740992.0) return false;
    v = static_cast<long long>(d);
    return true;
}

// Value of each byte as a hexadecimal digit, 16 for the others.
constexpr auto kHexValue = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const int d = HexDigit(static_cast<char>(c));
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(d < 0 ? 16 : d);
    }
    return t;
}();

}  // namespace

bool ParseReal(std::string_view s, double& v) { return QuickReal(s, v) || GeneralReal(s, v); }

bool ParseInteger(std::string_view s, long long& v) { return QuickInteger(s, v) || GeneralInteger(s, v); }

bool ParseHandle(std::string_view s, std::uint64_t& v)
{
    s = Trim(s);
    if (s.empty() || s.size() > 16) return false;
    // Sixteen digits at most: no overflow to look for.
    std::uint64_t h = 0;
    for (char c : s) {
        const unsigned d = kHexValue[static_cast<unsigned char>(c)];
        if (d > 15) return false;
        h = (h << 4) | d;
    }
    v = h;
    return h != 0;
}

void AppendReal(std::string& out, double v, int precision)
{
    if (v == 0.0) {
        out += "0.0";
        return;
    }
    // Beyond the largest double (a dimension measured between points near it) a
    // value is written as that largest one, of its sign: what no file holds
    // comes as near as one can, where "0.0" would move it to the origin.
    if (std::isinf(v)) v = std::copysign(std::numeric_limits<double>::max(), v);
    char buf[64];
    std::to_chars_result r;
    if (precision >= 16) {
        r = std::to_chars(buf, buf + sizeof buf, v);
    } else {
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, std::max(precision, 0));
        if (r.ec != std::errc()) r = std::to_chars(buf, buf + sizeof buf, v);
    }
    std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
    std::size_t e = s.find('e');
    std::string_view mant = s.substr(0, e);
    if (precision < 16 && mant.find('.') != std::string_view::npos) {  // 2.500000 -> 2.5
        while (mant.size() > 1 && mant.back() == '0') mant.remove_suffix(1);
        if (mant.back() == '.') mant.remove_suffix(1);
    }
    out.append(mant);
    if (mant.find('.') == std::string_view::npos) out += ".0";
    if (e != std::string_view::npos) {
        out += 'E';
        out.append(s.substr(e + 1));
    }
}

// --- GroupReader

GroupReader::GroupReader(std::string_view text, std::string sourceName)
    : data_(text.data()), size_(text.size()), source_(std::move(sourceName))
{
    CheckStart();
}

GroupReader::GroupReader(std::FILE* file, std::string sourceName, std::size_t piece)
    : file_(file), piece_(std::max<std::size_t>(piece, 1)), eof_(false), source_(std::move(sourceName))
{
    // Enough for the checks of the start (which look for binary content in all
    // that was read); Refill checks what it reads from there on.
    while (size_ < 64 && Refill()) {}
    CheckStart();
    checkBinary_ = true;
}

void GroupReader::CheckStart()
{
    const std::string_view head(data_, size_);
    if (head.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    if (head.substr(pos_, 18) == "AutoCAD Binary DXF")
        Refuse(1, "DXF binário não é suportado; salve o desenho como DXF em texto (ASCII)");
    const std::string_view magic = head.substr(0, 4);
    if ((magic == "AC10" || magic == "AC15" || magic == "AC18" || magic == "AC24" || magic == "AC27" ||
         magic == "AC32") &&
        std::memchr(head.data(), '\0', head.size()))
        Refuse(1, "é um desenho DWG binário (" + std::string(head.substr(0, 6)) +
                      "), não um DXF em texto; este programa lê só desenhos em DXF");
    if (const void* nul = std::memchr(head.data(), '\0', head.size())) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(nul) - head.data());
        std::size_t line = 1;
        for (std::size_t i = 0; i < at; ++i)
            if (head[i] == '\n') ++line;
        Refuse(line, "conteúdo binário; o arquivo não é um DXF em texto");
    }
}

bool GroupReader::Refill()
{
    if (eof_) return false;
    // Drop what lies before the previous group; views into what is kept move with it.
    const std::size_t keep = std::min(keepFrom_, pos_);
    const std::size_t valueAt = value_.data() ? static_cast<std::size_t>(value_.data() - data_) : 0;
    if (keep > 0) {
        dropped_ += keep;
        std::memmove(buf_.data(), buf_.data() + keep, size_ - keep);
        size_ -= keep;
        pos_ -= keep;
        keepFrom_ -= keep;
        groupStart_ -= keep;
    }
    if (buf_.size() - size_ < piece_) buf_.resize(std::max(buf_.size() * 2, size_ + piece_));
    const std::size_t n = std::fread(buf_.data() + size_, 1, piece_, file_);
    if (n == 0) {
        eof_ = true;
        if (std::ferror(file_)) Refuse(nextLine_, "erro de leitura do arquivo");
    }
    // Binary content past the start: the line of the first NUL byte.
    if (const void* nul = checkBinary_ ? std::memchr(buf_.data() + size_, '\0', n) : nullptr) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(nul) - buf_.data());
        std::size_t line = nextLine_;
        for (std::size_t i = pos_; i < at; ++i)
            if (buf_[i] == '\n') ++line;
        Refuse(line, "conteúdo binário; o arquivo não é um DXF em texto");
    }
    size_ += n;
    data_ = buf_.data();
    if (value_.data()) value_ = std::string_view(data_ + valueAt - keep, value_.size());
    return n > 0;
}

bool GroupReader::ReadLine(std::string_view& line)
{
    const void* nl = nullptr;
    while (true) {
        const std::size_t rest = size_ - pos_;
        if (pos_ < size_) {
            // Lines of a drawing are mostly a few characters long: looked at
            // directly, the longer ones handed to memchr.
            const char* p = data_ + pos_;
            // The longest line, its CR and its LF.
            const char* end = p + std::min(rest, kMaxLineLength + 2);
            const char* near = p + std::min(static_cast<std::size_t>(end - p), std::size_t{24});
            while (p < near && *p != '\n') ++p;
            nl = p < near ? p : p < end ? std::memchr(p, '\n', static_cast<std::size_t>(end - p)) : nullptr;
        }
        if (nl || rest > kMaxLineLength + 1) break;
        if (!Refill()) break;
    }
    if (pos_ >= size_) return false;
    const char* start = data_ + pos_;
    if (!nl && size_ - pos_ > kMaxLineLength + 1) {
        // Checked before more of the file is read: a line of a gigabyte never
        // reaches memory whole. Its rest is for Resync to pass over.
        pos_ += kMaxLineLength + 1;
        midLine_ = true;
        LineTooLong(nextLine_);
    }
    std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : size_ - pos_;
    pos_ += len + (nl ? 1 : 0);
    if (len > 0 && start[len - 1] == '\r') --len;
    if (len > kMaxLineLength) {
        ++nextLine_;
        LineTooLong(nextLine_ - 1);
    }
    line = std::string_view(start, len);
    ++nextLine_;
    return true;
}

bool GroupReader::Next()
{
    if (pushedBack_) {
        pushedBack_ = false;
        if (capture_) CaptureCurrent();
        return true;
    }
    keepFrom_ = groupStart_;
    groupStart_ = pos_;
    // Most groups of a file: a code of a few digits after a few spaces, and
    // both lines whole in what is held. Read here in one go, the value's line
    // break looked for 16 bytes at a time; anything else (blanks of other
    // kinds, a line cut by the end of what is held, a long line, a code that is
    // not plain, the end of the text) goes the general way, from the same place.
    if (size_ - pos_ >= kQuickRoom) {
        const char* const start = data_ + pos_;
        const char* p = start;
        while (p < start + 8 && *p == ' ') ++p;
        if (auto code = static_cast<unsigned>(*p - '0'); code < 10) {
            // Codes have at most 4 digits (1071): a fifth is not read here.
            if (auto d = static_cast<unsigned>(*++p - '0'); d < 10) {
                code = code * 10 + d;
                if (d = static_cast<unsigned>(*++p - '0'); d < 10) {
                    code = code * 10 + d;
                    if (d = static_cast<unsigned>(*++p - '0'); d < 10) {
                        code = code * 10 + d;
                        ++p;
                    }
                }
            }
            if (*p == '\r') ++p;
            if (*p == '\n' && code <= 1071) {
                const char* const value = p + 1;
                const char* const end = data_ + size_;
                for (const char* q = value; end - q >= 16 && static_cast<std::size_t>(q - value) <= kMaxLineLength + 1;
                     q += 16) {
                    const int at = LineBreakIn16(q);
                    if (at < 0) continue;
                    const char* const nl = q + at;
                    const char* valueEnd = nl;
                    if (valueEnd > value && valueEnd[-1] == '\r') --valueEnd;
                    if (static_cast<std::size_t>(valueEnd - value) > kMaxLineLength) break;
                    code_ = static_cast<int>(code);
                    value_ = std::string_view(value, static_cast<std::size_t>(valueEnd - value));
                    line_ = nextLine_;
                    nextLine_ += 2;
                    pos_ = static_cast<std::size_t>(nl + 1 - data_);
                    NoteLength();
                    if (capture_) CaptureCurrent();
                    return true;
                }
            }
        }
    }
    return NextGeneral();
}

bool GroupReader::NextGeneral()
{
    std::string_view codeLine;
    const std::size_t codeLineNo = nextLine_;
    if (!ReadLine(codeLine)) {
        atEnd_ = true;
        return false;
    }
    std::string_view c = Trim(codeLine);
    if (c.empty()) {
        // Blank lines after the last group are harmless.
        std::size_t breaks = 0;
        while (true) {
            while (pos_ < size_ && (IsBlank(data_[pos_]) || data_[pos_] == '\n')) breaks += data_[pos_++] == '\n';
            if (pos_ < size_) break;
            // All of it blank so far: not kept while more is read.
            if (file_) size_ = pos_ = groupStart_;
            if (!Refill()) {
                atEnd_ = true;
                return false;
            }
        }
        // Text follows: the blank lines are damage, and reading goes on after them.
        nextLine_ += breaks;
        FailAt(codeLineNo, "linha vazia onde se esperava um código de grupo");
    }
    int code = 0;
    auto r = std::from_chars(c.data(), c.data() + c.size(), code);
    if (r.ec != std::errc() || r.ptr != c.data() + c.size() || code < -5 || code > 1071)
        FailAt(codeLineNo, "código de grupo inválido " + Quoted(c));
    std::string_view valueLine;
    if (!ReadLine(valueLine)) {
        atEnd_ = true;
        FailAt(codeLineNo, "o arquivo termina no meio de um grupo (arquivo truncado)");
    }
    code_ = code;
    value_ = valueLine;
    line_ = codeLineNo;
    NoteLength();
    if (capture_) CaptureCurrent();
    return true;
}

void GroupReader::LineTooLong(std::size_t line) const
{
    FailAt(line, "linha com mais de " + std::to_string(kMaxLineLength >> 20) +
                     " MiB; nenhum valor de um desenho tem esse tamanho (arquivo danificado ou que não é um DXF)");
}

void GroupReader::CheckSavedLength() const
{
    // The writer makes of a value its text encoded again, or (groups kept as
    // read) the value itself encoded: the longer of the two must fit.
    std::string text, saved;
    DecodeText(value_, text);
    EncodeText(text, saved);
    std::size_t longest = saved.size();
    saved.clear();
    EncodeText(Trim(value_), saved);
    longest = std::max(longest, saved.size());
    if (longest > kMaxLineLength)
        FailAt(line_ + 1, "valor que, gravado, ocuparia " + std::to_string(longest) + " bytes numa linha, mais que " +
                              std::to_string(kMaxLineLength >> 20) +
                              " MiB (cada caractere fora da página de código do desenho ocupa 7 bytes); o desenho "
                              "não poderia ser aberto de novo depois de salvo");
}

void GroupReader::CaptureCurrent() { capture_->push_back({code_, std::string(Raw()), line_}); }

void GroupReader::CheckRest()
{
    value_ = {};
    long_ = false;
    pushedBack_ = false;
    while (file_ && !eof_) {
        keepFrom_ = groupStart_ = pos_ = size_;
        Refill();
    }
}

void GroupReader::Unget()
{
    pushedBack_ = true;
    if (capture_ && !capture_->empty()) capture_->pop_back();
}

std::string GroupReader::Where(std::size_t line, const std::string& what) const
{
    return "Arquivo de desenho inválido \"" + source_ + "\", linha " + std::to_string(line) + ": " + what;
}

void GroupReader::FailAt(std::size_t line, const std::string& what) const
{
    throw DamagedGroup(line, what, Where(line, what));
}

void GroupReader::Fail(const std::string& what) const { FailAt(line_, what); }

void GroupReader::Refuse(std::size_t line, const std::string& what) const
{
    throw Error(ErrorCode::FileError, Where(line, what));
}

// Out of line, so that reading a good value needs no room for the message.
void GroupReader::BadValue(const char* why) const
{
    if (sink_) {
        sink_->BadValue(*this);
        return;
    }
    Fail(why + Quoted(Piece()) + " (grupo " + std::to_string(code_) + ")");
}

double GroupReader::Real(double def) const
{
    double v;
    if (QuickReal(value_, v) || GeneralReal(value_, v)) [[likely]]
        return v;
    BadValue("valor numérico inválido ou fora do intervalo ");
    return def;
}

bool GroupReader::ReadReal(double& v) const
{
    double r;
    if (QuickReal(value_, r) || GeneralReal(value_, r)) [[likely]] {
        v = r;
        return true;
    }
    BadValue("valor numérico inválido ou fora do intervalo ");
    return false;
}

bool GroupReader::ReadAngle(double& v) const
{
    double r;
    if (!ReadReal(r)) return false;
    v = r * (kPi / 180.0);
    return true;
}

bool GroupReader::ReadInt(int& v) const
{
    bool bad = false;
    const int r = IntOr(bad);
    if (!bad) v = r;
    return !bad;
}

bool GroupReader::IsReal() const
{
    double v;
    return QuickReal(value_, v) || GeneralReal(value_, v);
}

double GroupReader::Angle(double def) const
{
    double v;
    if (QuickReal(value_, v) || GeneralReal(value_, v)) [[likely]]
        return v * (kPi / 180.0);
    BadValue("valor numérico inválido ou fora do intervalo ");
    return def;
}

int GroupReader::Int(int def) const
{
    bool bad = false;
    const int v = IntOr(bad);
    return bad ? def : v;
}

int GroupReader::IntOr(bool& bad) const
{
    long long v;
    if (!QuickInteger(value_, v) && !GeneralInteger(value_, v)) [[unlikely]] {
        BadValue("valor inteiro inválido ");
        bad = true;
        return 0;
    }
    // Within 16 bits: right for every code, no need to look up which range it has.
    if (v >= -32768 && v <= 32767) return static_cast<int>(v);
    long long lo = -2147483648LL, hi = 2147483647LL;
    const int c = code_;
    if ((c >= 60 && c <= 79) || (c >= 170 && c <= 179) || (c >= 270 && c <= 289) || (c >= 370 && c <= 389) ||
        (c >= 400 && c <= 409) || (c >= 1060 && c <= 1070)) {
        lo = -32768;
        hi = 32767;
    }
    if (v < lo || v > hi) {
        BadValue("valor inteiro fora do intervalo ");
        bad = true;
        return 0;
    }
    return static_cast<int>(v);
}

namespace {

// The name of a record as a (0, name) group gives it: letters, digits and
// "_", with a letter among them ("LINE", "3DFACE", "ACAD_TABLE"). No value
// line of a file whose groups stay in step follows a line "0" so.
bool IsRecordName(std::string_view s)
{
    bool letter = false;
    for (char c : s) {
        if (c >= 'A' && c <= 'Z') {
            letter = true;
        } else if (!((c >= '0' && c <= '9') || c == '_')) {
            return false;
        }
    }
    return letter;
}

}  // namespace

bool GroupReader::SkipOrReadLine(std::string_view& line, bool& tooLong)
{
    tooLong = false;
    const void* nl = nullptr;
    while (true) {
        const std::size_t rest = size_ - pos_;
        nl = rest ? std::memchr(data_ + pos_, '\n', std::min(rest, kMaxLineLength + 2)) : nullptr;
        if (nl || rest > kMaxLineLength + 1) break;
        if (!Refill()) break;
    }
    if (pos_ >= size_) return false;
    const char* start = data_ + pos_;
    std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : size_ - pos_;
    if (nl) {
        pos_ += len + 1;
        if (len > 0 && start[len - 1] == '\r') --len;
    } else if (len <= kMaxLineLength + 1) {
        pos_ = size_;  // the last line, without a line break
    } else {
        // No line break within reach: passed over a piece at a time, none of it kept.
        while (true) {
            if (const void* end = std::memchr(data_ + pos_, '\n', size_ - pos_)) {
                pos_ = static_cast<std::size_t>(static_cast<const char*>(end) - data_) + 1;
                break;
            }
            pos_ = size_;
            keepFrom_ = groupStart_ = pos_;
            if (!Refill()) break;
        }
        len = kMaxLineLength + 1;
        start = data_ + pos_;
    }
    ++nextLine_;
    tooLong = len > kMaxLineLength;
    line = tooLong ? std::string_view() : std::string_view(start, len);
    return true;
}

bool GroupReader::Resync()
{
    if (pushedBack_) {
        // A record's start read and given back: it is where the reading goes on,
        // unless it is where the last resync stopped.
        pushedBack_ = false;
        if (code_ == 0 && IsRecordName(Trim(value_)) && dropped_ + groupStart_ != lastResync_) {
            lastResync_ = dropped_ + groupStart_;
            pushedBack_ = true;
            return true;
        }
    }
    // The group read last is left behind: what holds it may go while lines are passed over.
    value_ = {};
    long_ = false;
    if (atEnd_) return false;
    if (midLine_) {
        // The rest of a line too long to hold.
        midLine_ = false;
        std::string_view rest;
        bool tooLong = false;
        if (!SkipOrReadLine(rest, tooLong)) {
            atEnd_ = true;
            return false;
        }
    }
    bool zero = false;  // the line before was "0"
    std::size_t zeroAt = 0, zeroLine = 0;
    while (true) {
        const std::size_t at = pos_;
        const std::size_t lineNo = nextLine_;
        if (zero) keepFrom_ = groupStart_ = zeroAt;  // the "0" line stays while the next one is read
        std::string_view line;
        bool tooLong = false;
        const std::uint64_t before = dropped_;
        if (!SkipOrReadLine(line, tooLong)) {
            atEnd_ = true;
            return false;
        }
        // What Refill let go moved the lines held.
        const std::size_t moved = static_cast<std::size_t>(dropped_ - before);
        const std::string_view word = Trim(line);
        if (zero && !tooLong && IsRecordName(word) && dropped_ + zeroAt - moved != lastResync_) {
            groupStart_ = zeroAt - moved;
            keepFrom_ = groupStart_;
            lastResync_ = dropped_ + groupStart_;
            code_ = 0;
            value_ = line;
            line_ = zeroLine;
            NoteLength();
            pushedBack_ = true;
            return true;
        }
        zero = !tooLong && word == "0";
        if (zero) {
            zeroAt = at - moved;
            zeroLine = lineNo;
        } else {
            keepFrom_ = groupStart_ = pos_;
        }
    }
}

std::uint64_t GroupReader::Handle() const
{
    std::uint64_t h;
    return ParseHandle(value_, h) ? h : 0;
}

std::string GroupReader::Text() const
{
    std::string s;
    DecodeText(Raw(), s);
    return s;
}

void GroupReader::TextInto(std::string& out) const { DecodeText(Raw(), out); }

// --- GroupWriter

GroupWriter::GroupWriter(std::FILE* file, int precision) : file_(file), precision_(precision)
{
    buf_.reserve(file ? kChunk + 4096 : 1 << 16);
}

void GroupWriter::CodeLine(int code)
{
    char b[16];
    auto r = std::to_chars(b, b + sizeof b, code);
    const auto n = static_cast<std::size_t>(r.ptr - b);
    if (n < 3) buf_.append(3 - n, ' ');
    buf_.append(b, n);
    buf_ += "\r\n";
}

void GroupWriter::String(int code, std::string_view utf8)
{
    CodeLine(code);
    const std::size_t start = buf_.size();
    EncodeText(utf8, buf_);
    EndValue(code, start);
}

void GroupWriter::Keyword(int code, std::string_view ascii)
{
    CodeLine(code);
    const std::size_t start = buf_.size();
    buf_.append(ascii);
    EndValue(code, start);
}

void GroupWriter::TooLong(int code, std::size_t start) const
{
    const std::string_view value = std::string_view(buf_).substr(start);
    throw Error(ErrorCode::FileError, "o valor " + Quoted(value) + " (grupo " + std::to_string(code) + ") ocuparia " +
                                          std::to_string(value.size()) + " bytes numa linha do arquivo, mais que " +
                                          std::to_string(kMaxLineLength >> 20) +
                                          " MiB (cada caractere fora da página de código do desenho ocupa 7 bytes); "
                                          "encurte-o para salvar o desenho");
}

void GroupWriter::NotANumber(int code) const
{
    throw Error(ErrorCode::FileError,
                "o valor do grupo " + std::to_string(code) +
                    " não é um número (NaN) e nenhum leitor o aceitaria; o desenho não foi salvo");
}

void GroupWriter::Real(int code, double v)
{
    if (std::isnan(v)) [[unlikely]]
        NotANumber(code);
    CodeLine(code);
    AppendReal(buf_, v, precision_);
    buf_ += "\r\n";
    MaybeFlush();
}

namespace {

// Degrees that read back as `radians` (GroupReader::Angle), where a number
// near the plain product does: that product alone may read as the next
// number over, and a drawing read and saved again would move a last digit.
double DegreesOf(double radians)
{
    constexpr double toDegrees = 180.0 / kPi, toRadians = kPi / 180.0;
    const double plain = radians * toDegrees;
    if (!std::isfinite(radians) || plain * toRadians == radians) return plain;
    constexpr double inf = std::numeric_limits<double>::infinity();
    double up = std::isinf(plain) ? std::copysign(std::numeric_limits<double>::max(), plain) : plain;
    if (std::isinf(plain) && up * toRadians == radians) return up;
    double down = up;
    for (int step = 0; step < 4; ++step) {
        up = std::nextafter(up, inf);
        down = std::nextafter(down, -inf);
        if (down * toRadians == radians) return down;
        if (up * toRadians == radians) return up;
    }
    return plain;
}

}  // namespace

void GroupWriter::Angle(int code, double radians) { Real(code, DegreesOf(radians)); }

void GroupWriter::Int(int code, long long v)
{
    CodeLine(code);
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, v);
    buf_.append(b, static_cast<std::size_t>(r.ptr - b));
    buf_ += "\r\n";
    MaybeFlush();
}

void GroupWriter::Handle(int code, std::uint64_t h)
{
    CodeLine(code);
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, h, 16);
    for (char* p = b; p < r.ptr; ++p)
        if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
    buf_.append(b, static_cast<std::size_t>(r.ptr - b));
    buf_ += "\r\n";
    MaybeFlush();
}

void GroupWriter::Point(int code, const Point3d& p)
{
    Real(code, p.x);
    Real(code + 10, p.y);
    Real(code + 20, p.z);
}

void GroupWriter::Point2(int code, const Point3d& p)
{
    Real(code, p.x);
    Real(code + 10, p.y);
}

void GroupWriter::Flush()
{
    if (!file_ || buf_.empty()) return;
    if (std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) failed_ = true;
    buf_.clear();
}

}  // namespace acad::dxf
