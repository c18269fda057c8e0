#include "platform/ado/JetText.h"
#include "platform/Utf8.h"

namespace ado::detail {

namespace {

// Code points 0x80-0x9F of Windows-1252 (0 where the code page has a hole).
const char32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Base letters of U+00C0..U+00FF; 0 keeps the character itself.
const char kLatin1Base[64] = {'A', 'A', 'A', 'A', 'A', 'A', 'A', 'C', 'E', 'E', 'E', 'E', 'I', 'I', 'I', 'I',
                              'D', 'N', 'O', 'O', 'O', 'O', 'O', 0,   'O', 'U', 'U', 'U', 'U', 'Y', 0,   0,
                              'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
                              'd', 'n', 'o', 'o', 'o', 'o', 'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 0,   'y'};

std::u32string PrimaryKey(const std::u32string& s)
{
    std::u32string k(s.size(), 0);
    for (size_t i = 0; i < s.size(); ++i) k[i] = FoldCase(BaseLetter(s[i]));
    return k;
}

std::u32string SecondaryKey(const std::u32string& s)
{
    std::u32string k(s.size(), 0);
    for (size_t i = 0; i < s.size(); ++i) k[i] = FoldCase(s[i]);
    return k;
}

int Compare(const std::u32string& a, const std::u32string& b) { return a < b ? -1 : (b < a ? 1 : 0); }

}  // namespace

std::u32string DecodeUtf8(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += cp;
        i += static_cast<size_t>(len);
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) platform::AppendUtf8(out, c);
    return out;
}

bool IsValidUtf8(std::string_view s)
{
    for (char32_t c : DecodeUtf8(s))
        if (c == U'\uFFFD') return false;
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::u32string u;
    u.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0)
            u += kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : char32_t(c);
        else
            u += char32_t(c);
    }
    return EncodeUtf8(u);
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    for (char32_t c : DecodeUtf8(text)) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        // The bytes the code page leaves undefined were read as the control
        // characters of their number: they go back as those bytes.
        char b = c >= 0x80 && c < 0xA0 && kCp1252High[c - 0x80] == 0 ? static_cast<char>(c) : '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == c && c != 0) b = static_cast<char>(0x80 + k);
        out += b;
    }
    return out;
}

char32_t FoldCase(char32_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}

char32_t BaseLetter(char32_t c)
{
    if (c >= 0xC0 && c <= 0xFF && kLatin1Base[c - 0xC0]) return static_cast<char32_t>(kLatin1Base[c - 0xC0]);
    return c;
}

int JetCompare(std::string_view a, std::string_view b)
{
    if (a == b) return 0;
    // Plain ASCII (most keys) needs no decoding: case folded, there is nothing else to weigh.
    bool ascii = true;
    for (size_t i = 0; ascii && i < a.size() && i < b.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) {
            ascii = false;
        } else {
            const int fx = (x >= 'A' && x <= 'Z') ? x + 32 : x, fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
            if (fx != fy) return fx < fy ? -1 : 1;
        }
    }
    if (ascii) {
        const std::string_view rest = a.size() > b.size() ? a.substr(b.size()) : b.substr(a.size());
        for (char c : rest) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    const std::u32string ua = DecodeUtf8(a), ub = DecodeUtf8(b);
    if (int p = Compare(PrimaryKey(ua), PrimaryKey(ub))) return p;
    return Compare(SecondaryKey(ua), SecondaryKey(ub));
}

bool JetEquals(std::string_view a, std::string_view b) { return JetCompare(a, b) == 0; }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() == b.size()) {
        bool same = true;
        for (size_t i = 0; i < a.size() && same; ++i) {
            const char x = a[i], y = b[i];
            same = x == y || ((x | 0x20) == (y | 0x20) && ((x | 0x20) >= 'a' && (x | 0x20) <= 'z'));
        }
        if (same) return true;
    }
    return SecondaryKey(DecodeUtf8(a)) == SecondaryKey(DecodeUtf8(b));
}

bool JetLike(std::string_view textUtf8, std::string_view patternUtf8)
{
    const std::u32string t = SecondaryKey(DecodeUtf8(textUtf8));
    const std::u32string p = SecondaryKey(DecodeUtf8(patternUtf8));
    // Greedy match with one back-tracking point: the last star seen.
    size_t ti = 0, pi = 0, starP = std::u32string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == U'%' || p[pi] == U'*')) {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && (p[pi] == U'_' || p[pi] == U'?' || p[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && (p[pi] == U'%' || p[pi] == U'*')) ++pi;
    return pi == p.size();
}

std::string AsciiUpper(std::string_view s)
{
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

}  // namespace ado::detail
