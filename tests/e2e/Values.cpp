#include "e2e/Values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/acad/InputReader.h"

namespace e2e {

std::optional<int> ParseInteger(const std::string& text)
{
    int v = 0;
    const char* e = text.data() + text.size();
    const auto r = std::from_chars(text.data(), e, v);
    if (text.empty() || r.ec != std::errc() || r.ptr != e) return std::nullopt;
    return v;
}

std::optional<bool> ParseBool(const std::string& text)
{
    std::string t;
    for (char c : text) t += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (t == "true") return true;
    if (t == "false") return false;
    return std::nullopt;
}

std::string FormatNumber(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string FormatBool(bool v) { return v ? "true" : "false"; }

std::string Quote(const std::string& text)
{
    std::string q = "\"";
    for (char c : text) {
        switch (c) {
        case '\r': q += "\\r"; break;
        case '\n': q += "\\n"; break;
        case '\t': q += "\\t"; break;
        case '"': q += "\\\""; break;
        case '\\': q += "\\\\"; break;
        default: q += c;
        }
    }
    return q + "\"";
}

bool Matches(const std::string& expected, const std::string& found, bool contains)
{
    if (contains) return found.find(expected) != std::string::npos;
    if (expected == found) return true;
    const auto a = acad::input::ParseReal(expected), b = acad::input::ParseReal(found);
    if (a && b) return *a == *b || std::fabs(*a - *b) <= 1e-9 * std::max(std::fabs(*a), std::fabs(*b));
    const auto p = ParseBool(expected), q = ParseBool(found);
    return p && q && *p == *q;
}

}  // namespace e2e
