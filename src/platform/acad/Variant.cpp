#include "platform/acad/Variant.h"

#include <charconv>
#include <cmath>

#include "platform/acad/Error.h"

namespace acad {

namespace {
const char* KindName(const Variant::Storage& v)
{
    switch (v.index()) {
    case 0: return "vazio";
    case 1: return "inteiro";
    case 2: return "número";
    case 3: return "texto";
    default: return "ponto";
    }
}

std::string Number(double d)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}
}  // namespace

std::int32_t Variant::AsInt() const
{
    if (auto* i = std::get_if<std::int32_t>(&v_)) return *i;
    if (auto* d = std::get_if<double>(&v_)) {
        if (std::isfinite(*d) && std::fabs(*d) < 2147483648.0) return static_cast<std::int32_t>(std::lround(*d));
    }
    throw Error(ErrorCode::InvalidInput, std::string("Valor inválido: esperado um inteiro, recebido ") + KindName(v_));
}

double Variant::AsDouble() const
{
    if (auto* d = std::get_if<double>(&v_)) return *d;
    if (auto* i = std::get_if<std::int32_t>(&v_)) return *i;
    throw Error(ErrorCode::InvalidInput, std::string("Valor inválido: esperado um número, recebido ") + KindName(v_));
}

const std::string& Variant::AsString() const
{
    if (auto* s = std::get_if<std::string>(&v_)) return *s;
    throw Error(ErrorCode::InvalidInput, std::string("Valor inválido: esperado um texto, recebido ") + KindName(v_));
}

const Point3d& Variant::AsPoint() const
{
    if (auto* p = std::get_if<Point3d>(&v_)) return *p;
    throw Error(ErrorCode::InvalidInput, std::string("Valor inválido: esperado um ponto, recebido ") + KindName(v_));
}

std::string Variant::ToString() const
{
    switch (v_.index()) {
    case 0: return "";
    case 1: return std::to_string(std::get<std::int32_t>(v_));
    case 2: return Number(std::get<double>(v_));
    case 3: return std::get<std::string>(v_);
    default: {
        const auto& p = std::get<Point3d>(v_);
        return Number(p.x) + "," + Number(p.y) + "," + Number(p.z);
    }
    }
}

}  // namespace acad
