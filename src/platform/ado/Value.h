#pragma once
// A field value: Null, text, whole number, real, Boolean or date.
//
// The conversions follow one fixed rule whatever the machine's locale (the
// old engine formatted numbers with the system's decimal separator; we do not):
// - to text: whole numbers in decimal; reals with up to 15 significant digits,
//   "." as decimal point, no thousands separator, no trailing zeros
//   (2000 -> "2000", 2.5 -> "2.5"); Booleans "True"/"False"; dates ISO
//   ("2024-03-01" or "2024-03-01 13:45:00"); Null is an error ("Invalid use of
//   Null"), use TextOr for the usual "Null becomes empty" reads;
// - from text to number: blanks around are ignored, "." or "," is the decimal
//   point; anything else (the empty text included) is a type mismatch;
// - Booleans as numbers are -1 (True) and 0 (False); numbers as Booleans are
//   true when not 0;
// - to whole numbers: rounded half to even, as the old engine did.

#include <compare>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace ado {

struct Date {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;

    auto operator<=>(const Date&) const = default;
    // "YYYY-MM-DD", with " HH:MM:SS" when the time is not midnight.
    std::string ToIso() const;
    // Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" (or with "T"), "YYYYMMDD".
    static std::optional<Date> FromIso(std::string_view text);
};

enum class ValueKind { Null, Text, Integer, Real, Boolean, Date };

class Value {
public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(const char* text) : v_(std::string(text ? text : "")) {}
    Value(std::string text) : v_(std::move(text)) {}
    Value(std::string_view text) : v_(std::string(text)) {}
    template <std::integral T>
    requires(!std::same_as<T, bool>) Value(T n) : v_(static_cast<long long>(n)) {}
    Value(double x) : v_(x) {}
    Value(bool b) : v_(b) {}
    Value(ado::Date d) : v_(d) {}
    // Any other pointer would silently become a Boolean.
    template <typename T>
    requires(!std::same_as<std::remove_cv_t<T>, char>) Value(T*)
    = delete;

    static Value Null() { return {}; }

    ValueKind Kind() const { return static_cast<ValueKind>(v_.index()); }
    bool IsNull() const { return Kind() == ValueKind::Null; }
    bool IsNumber() const { return Kind() == ValueKind::Integer || Kind() == ValueKind::Real; }

    std::string ToText() const;
    std::string TextOr(std::string_view ifNull = "") const { return IsNull() ? std::string(ifNull) : ToText(); }
    double ToDouble() const;
    long long ToLong() const;
    bool ToBool() const;
    ado::Date ToDate() const;

    // Same kind and same content (a Null equals a Null).
    bool operator==(const Value& other) const { return v_ == other.v_; }

private:
    std::variant<std::monostate, std::string, long long, double, bool, ado::Date> v_;

    friend const std::string* TextOf(const Value&);
};

// The stored text of a text value, nullptr for any other kind.
inline const std::string* TextOf(const Value& v) { return std::get_if<std::string>(&v.v_); }

// Number formatting and parsing with the rule above, for callers that hold
// plain numbers.
std::string FormatNumber(double x);
std::optional<double> ParseNumber(std::string_view text);

}  // namespace ado
