#pragma once
// Typed value of a system variable or an extended-data item: what the
// automation interface hands back as a Variant.

#include <concepts>
#include <cstdint>
#include <string>
#include <variant>

#include "platform/acad/Geometry.h"

namespace acad {

class Variant {
public:
    using Storage = std::variant<std::monostate, std::int32_t, double, std::string, Point3d>;

    Variant() = default;
    template <std::integral T>
    Variant(T v) : v_(static_cast<std::int32_t>(v))
    {
    }
    template <std::floating_point T>
    Variant(T v) : v_(static_cast<double>(v))
    {
    }
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(const Point3d& p) : v_(p) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool IsInteger() const { return std::holds_alternative<std::int32_t>(v_); }
    bool IsDouble() const { return std::holds_alternative<double>(v_); }
    bool IsNumber() const { return IsInteger() || IsDouble(); }
    bool IsString() const { return std::holds_alternative<std::string>(v_); }
    bool IsPoint() const { return std::holds_alternative<Point3d>(v_); }

    // Accessors fail with InvalidInput on a value of another kind; numbers convert
    // between integer and double (a double is rounded to the nearest integer).
    std::int32_t AsInt() const;
    double AsDouble() const;
    const std::string& AsString() const;
    const Point3d& AsPoint() const;
    // Text as VB's CStr would give it ("." as decimal point, whatever the locale).
    std::string ToString() const;

    const Storage& Get() const { return v_; }
    bool operator==(const Variant&) const = default;

private:
    Storage v_;
};

}  // namespace acad
