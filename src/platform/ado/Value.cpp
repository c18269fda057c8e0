#include "platform/ado/Value.h"

#include "platform/ado/Error.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ado {

namespace {

std::string TwoDigits(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

bool ReadInt(std::string_view s, size_t pos, size_t len, int& out)
{
    if (pos + len > s.size()) return false;
    int v = 0;
    for (size_t i = pos; i < pos + len; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    out = v;
    return true;
}

bool ValidDate(const Date& d)
{
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > days[d.month - 1]) return false;
    if (d.month == 2 && d.day == 29) {
        const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
        if (!leap) return false;
    }
    return d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 && d.second >= 0 && d.second < 60;
}

std::string KindName(ValueKind k)
{
    switch (k) {
    case ValueKind::Null: return "Null";
    case ValueKind::Text: return "texto";
    case ValueKind::Integer: return "número inteiro";
    case ValueKind::Real: return "número";
    case ValueKind::Boolean: return "Booleano";
    case ValueKind::Date: return "data";
    }
    return "?";
}

[[noreturn]] void Mismatch(const Value& v, const char* wanted)
{
    std::string shown = v.Kind() == ValueKind::Text ? "'" + *TextOf(v) + "'" : KindName(v.Kind());
    throw Error(errTypeMismatch, "Tipo incompatível: " + shown + " não pode ser lido como " + wanted + ".");
}

[[noreturn]] void NullUse() { throw Error(errInvalidUseOfNull, "Uso inválido de Null."); }

}  // namespace

std::string Date::ToIso() const
{
    std::string s = std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
    if (hour || minute || second) s += " " + TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
    return s;
}

std::optional<Date> Date::FromIso(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    Date d;
    if (s.size() == 8 && ReadInt(s, 0, 4, d.year) && ReadInt(s, 4, 2, d.month) && ReadInt(s, 6, 2, d.day))
        return ValidDate(d) ? std::optional<Date>(d) : std::nullopt;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    if (!ReadInt(s, 0, 4, d.year) || !ReadInt(s, 5, 2, d.month) || !ReadInt(s, 8, 2, d.day)) return std::nullopt;
    if (s.size() > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || s.size() < 16 || s[13] != ':') return std::nullopt;
        if (!ReadInt(s, 11, 2, d.hour) || !ReadInt(s, 14, 2, d.minute)) return std::nullopt;
        if (s.size() > 16) {
            if (s.size() != 19 || s[16] != ':' || !ReadInt(s, 17, 2, d.second)) return std::nullopt;
        }
    }
    return ValidDate(d) ? std::optional<Date>(d) : std::nullopt;
}

std::string FormatNumber(double x)
{
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    if (x == 0) return "0";
    char buf[64];
    if (x == std::trunc(x) && std::fabs(x) < 1e15) {
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x));
        return std::string(buf, r.ptr);
    }
    // 15 significant digits: what a Double shows without noise from its last bits.
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

std::optional<double> ParseNumber(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty()) return std::nullopt;
    std::string t(s);
    if (t[0] == '+') t.erase(0, 1);
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty() || t.find_first_of("xXpP") != std::string::npos) return std::nullopt;
    double x = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), x);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return x;
}

std::string Value::ToText() const
{
    switch (Kind()) {
    case ValueKind::Null: NullUse();
    case ValueKind::Text: return std::get<std::string>(v_);
    case ValueKind::Integer: return std::to_string(std::get<long long>(v_));
    case ValueKind::Real: return FormatNumber(std::get<double>(v_));
    case ValueKind::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case ValueKind::Date: return std::get<ado::Date>(v_).ToIso();
    }
    return {};
}

double Value::ToDouble() const
{
    switch (Kind()) {
    case ValueKind::Null: NullUse();
    case ValueKind::Text: {
        auto x = ParseNumber(std::get<std::string>(v_));
        if (!x) Mismatch(*this, "número");
        return *x;
    }
    case ValueKind::Integer: return static_cast<double>(std::get<long long>(v_));
    case ValueKind::Real: return std::get<double>(v_);
    case ValueKind::Boolean: return std::get<bool>(v_) ? -1.0 : 0.0;
    case ValueKind::Date: Mismatch(*this, "número");
    }
    return 0;
}

long long Value::ToLong() const
{
    if (Kind() == ValueKind::Integer) return std::get<long long>(v_);
    const double x = ToDouble();
    const double r = std::nearbyint(x);  // half to even under the default rounding mode
    if (!(r >= -9.2e18 && r <= 9.2e18))
        throw Error(errOverflow, "Estouro: " + FormatNumber(x) + " não cabe num número inteiro.");
    return static_cast<long long>(r);
}

bool Value::ToBool() const
{
    switch (Kind()) {
    case ValueKind::Null: NullUse();
    case ValueKind::Boolean: return std::get<bool>(v_);
    case ValueKind::Integer: return std::get<long long>(v_) != 0;
    case ValueKind::Real: return std::get<double>(v_) != 0;
    case ValueKind::Text: {
        std::string t;
        for (char c : std::get<std::string>(v_))
            if (c != ' ') t += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (t == "true") return true;
        if (t == "false") return false;
        if (auto x = ParseNumber(t)) return *x != 0;
        Mismatch(*this, "Booleano");
    }
    case ValueKind::Date: Mismatch(*this, "Booleano");
    }
    return false;
}

ado::Date Value::ToDate() const
{
    switch (Kind()) {
    case ValueKind::Null: NullUse();
    case ValueKind::Date: return std::get<ado::Date>(v_);
    case ValueKind::Text:
        if (auto d = ado::Date::FromIso(std::get<std::string>(v_))) return *d;
        [[fallthrough]];
    default: Mismatch(*this, "data");
    }
}

}  // namespace ado
