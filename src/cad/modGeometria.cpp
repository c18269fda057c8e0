#include "cad/modGeometria.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace {

// Adds one to a string of decimal digits.
void SomaUm(std::string& Digitos)
{
    for (std::size_t i = Digitos.size(); i-- > 0;) {
        if (Digitos[i] != '9') {
            ++Digitos[i];
            return;
        }
        Digitos[i] = '0';
    }
    Digitos.insert(Digitos.begin(), '1');
}

bool Branco(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string FormatNum(double Valor, int Decimais)
{
    const int n = Decimais > 0 ? Decimais : 0;
    if (!std::isfinite(Valor)) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, Valor);
        return std::string(buf, r.ptr);
    }
    // The value as a decimal of 15 significant digits, as it was always
    // written: S × 10^(E − 14). Rounding that decimal (not the binary value)
    // makes 2.675 give 2.68, halves going away from zero.
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(Valor), std::chars_format::scientific, 14);
    const std::string sci(buf, r.ptr);  // d.dddddddddddddde±XX
    const std::size_t e = sci.find('e');
    std::string S = sci.substr(0, 1) + sci.substr(2, e - 2);
    const int E = std::stoi(sci.substr(e + 1));

    // M = Valor × 10^n, rounded to a whole number, as digits.
    const int shift = E - 14 + n;
    std::string M;
    if (shift >= 0) {
        M = S + std::string(static_cast<std::size_t>(shift), '0');
    } else {
        const int keep = static_cast<int>(S.size()) + shift;
        if (keep < 0) {
            M = "0";
        } else {
            M = keep > 0 ? S.substr(0, static_cast<std::size_t>(keep)) : std::string("0");
            if (S[static_cast<std::size_t>(keep)] >= '5') SomaUm(M);
        }
    }
    const std::size_t first = M.find_first_not_of('0');
    M = first == std::string::npos ? std::string("0") : M.substr(first);
    const bool zero = M == "0";
    if (M.size() < static_cast<std::size_t>(n) + 1) M.insert(0, static_cast<std::size_t>(n) + 1 - M.size(), '0');

    std::string out = (Valor < 0 && !zero) ? "-" : "";
    out += M.substr(0, M.size() - static_cast<std::size_t>(n));
    if (n > 0) out += "." + M.substr(M.size() - static_cast<std::size_t>(n));
    return out;
}

double StrToDbl(const std::string& Texto)
{
    std::string s = Texto;
    for (char& c : s)
        if (c == '.') c = ',';
    if (s.empty() || s == ",") s = "0";

    // Blanks around, a sign, digits with at most one decimal comma (at least
    // one digit), an exponent.
    std::size_t i = 0, end = s.size();
    while (i < end && Branco(s[i])) ++i;
    while (end > i && Branco(s[end - 1])) --end;
    std::string numero;
    if (i < end && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') numero += '-';
        ++i;
    }
    // The decimal position of the first significant digit (for telling a
    // number too large for a double from one too small).
    int ordem = 0, expoenteLido = 0;
    bool significativo = false;
    bool digitos = false, virgula = false, valido = i < end;
    for (; i < end && valido; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digitos = true;
            numero += c;
            if (c != '0') significativo = true;
            if (!virgula && significativo) ++ordem;
            if (virgula && !significativo) --ordem;
        } else if (c == ',' && !virgula) {
            virgula = true;
            numero += '.';
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digitos) {
            numero += 'e';
            std::string exp;
            ++i;
            if (i < end && (s[i] == '+' || s[i] == '-')) exp += s[i++];
            while (i < end && s[i] >= '0' && s[i] <= '9') exp += s[i++];
            valido = i == end && !exp.empty() && exp.back() >= '0' && exp.back() <= '9';
            if (valido) {
                numero += exp;
                const bool negativo = exp[0] == '-';
                expoenteLido = exp.size() > 7 ? (negativo ? -9999999 : 9999999) : std::stoi(exp);
            }
            break;
        } else {
            valido = false;
        }
    }
    double valor = 0.0;
    if (valido && digitos) {
        const char* b = numero.data();
        const char* f = b + numero.size();
        auto res = std::from_chars(b, f, valor);
        if (res.ec == std::errc() && res.ptr == f) return valor;
        // A number too small for a double is zero; too large is no number.
        if (res.ec == std::errc::result_out_of_range && res.ptr == f && ordem + expoenteLido <= 0) return 0.0;
    }
    throw std::invalid_argument("Valor numérico inválido: \"" + Texto + "\"");
}

bool IsNumero(const std::string& Texto)
{
    try {
        StrToDbl(Texto);
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    }
}

bool NumeroEscrito(const std::string& Texto)
{
    return std::any_of(Texto.begin(), Texto.end(), [](char c) { return c >= '0' && c <= '9'; }) && IsNumero(Texto);
}

std::vector<double> AppendArray(const std::vector<double>& A, const std::vector<double>& B)
{
    std::vector<double> R;
    R.reserve(A.size() + B.size());
    R.insert(R.end(), A.begin(), A.end());
    R.insert(R.end(), B.begin(), B.end());
    return R;
}

Ponto Ponto3D(double x, double y, double z) { return Ponto(x, y, z); }

double Distancia(const Ponto& P1, const Ponto& P2)
{
    return std::sqrt((P2.X - P1.X) * (P2.X - P1.X) + (P2.Y - P1.Y) * (P2.Y - P1.Y));
}

double Azimute(const Ponto& P1, const Ponto& P2)
{
    const double dx = P2.X - P1.X;
    const double dy = P2.Y - P1.Y;
    if (std::fabs(dx) < 0.0001) return P1.Y < P2.Y ? PI / 2 : 1.5 * PI;
    double a = std::atan(dy / dx);
    if (dx > 0 && dy < 0) a += 2 * PI;
    if (dx < 0) a += PI;
    return a;
}

Ponto PontoPolar(const Ponto& P, double Angulo, double Distancia)
{
    return Ponto(P.X + Distancia * std::cos(Angulo), P.Y + Distancia * std::sin(Angulo), 0.0);
}

std::optional<Ponto> Intersecao(const Ponto& P1, const Ponto& P2, const Ponto& P3, std::optional<Ponto>& P4)
{
    constexpr double tol = 0.00001;
    const double a1 = P2.Y - P1.Y;
    const double b1 = P1.X - P2.X;
    const double c1 = a1 * P1.X + b1 * P1.Y;
    if (!P4) {
        // The perpendicular through P3; the vertical case is tested last and wins.
        if (std::fabs(a1) < tol) P4 = Ponto(P3.X, P3.Y + 100, 0.0);
        if (std::fabs(b1) < tol) P4 = Ponto(P3.X + 100, P3.Y, 0.0);
        if (!(std::fabs(a1) < tol) && !(std::fabs(b1) < tol)) P4 = Ponto(P3.X + 100, P3.Y + 100 * b1 / a1, 0.0);
    }
    const double a2 = P4->Y - P3.Y;
    const double b2 = P3.X - P4->X;
    const double c2 = a2 * P3.X + b2 * P3.Y;
    const double det = a1 * b2 - a2 * b1;
    // Parallel lines meet nowhere; a determinant lost in the rounding of its
    // own terms counts as zero.
    const bool paralelas = det == 0.0 || std::fabs(det) <= 1e-12 * (std::fabs(a1 * b2) + std::fabs(a2 * b1));

    double x, y;
    if (std::fabs(b1) < tol) {
        x = P1.X;
    } else if (std::fabs(b2) < tol) {
        x = P3.X;
    } else {
        if (paralelas) return std::nullopt;
        x = (c1 * b2 - c2 * b1) / det;
    }
    if (std::fabs(a2) < tol) {
        y = P3.Y;
    } else if (std::fabs(a1) < tol) {
        y = P1.Y;
    } else {
        if (paralelas) return std::nullopt;
        y = (a1 * c2 - a2 * c1) / det;
    }
    return Ponto(x, y, 0.0);
}

std::optional<Ponto> Intersecao(const Ponto& P1, const Ponto& P2, const Ponto& P3, const Ponto& P4)
{
    std::optional<Ponto> Q = P4;
    return Intersecao(P1, P2, P3, Q);
}

double AnguloDeflexao(const Ponto& C, const Ponto& P1, const Ponto& P2)
{
    const double d1 = Distancia(C, P1);
    const double d2 = Distancia(C, P2);
    if (d1 == 0 || d2 == 0) return 0.0;
    const double cs = ((P1.X - C.X) * (P2.X - C.X) + (P1.Y - C.Y) * (P2.Y - C.Y)) / (d1 * d2);
    if (cs == 1.0) return 0.0;
    // arccos as arctan(−cos / √(1 − cos²)) + π/2; undefined (0) at and beyond −1.
    if (!(std::fabs(cs) < 1.0)) return 0.0;
    const double a = std::atan(-cs / std::sqrt(1 - cs * cs)) + 2 * std::atan(1.0);
    return a * 180 / PI;
}

std::optional<Ponto> SplitCoords(const std::string& Texto)
{
    std::vector<std::string> partes;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t k = Texto.find(',', inicio);
        partes.push_back(Texto.substr(inicio, k == std::string::npos ? std::string::npos : k - inicio));
        if (k == std::string::npos) break;
        inicio = k + 1;
    }
    if (partes.size() < 2 || partes.size() > 3) return std::nullopt;
    try {
        const double x = StrToDbl(partes[0]);
        const double y = StrToDbl(partes[1]);
        const double z = partes.size() == 3 ? StrToDbl(partes[2]) : 0.0;
        return Ponto(x, y, z);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

std::string JoinCoords(const Ponto& P, int n) { return FormatNum(P.X, n) + "," + FormatNum(P.Y, n); }

Ponto JanelaPonto(const Ponto& P, bool Superior, double d)
{
    return Superior ? Ponto(P.X + d, P.Y + d, 0.0) : Ponto(P.X - d, P.Y - d, 0.0);
}

std::vector<double> DensifyBulges(const std::vector<double>& L, const std::vector<double>& B, double Passo)
{
    const std::size_t nv = L.size() / 2;
    std::vector<double> R;
    R.reserve(L.size());
    for (std::size_t k = 0; k < nv; ++k) {
        const double b = k < B.size() ? B[k] : 0.0;
        const Ponto P1 = Vertice(L, k);
        if (b == 0) {
            Acrescenta(R, P1);
            continue;
        }
        const Ponto P2 = Vertice(L, k + 1 < nv ? k + 1 : 0);
        const double teta = std::atan(std::fabs(b));
        const double alfa = PI / 2 - 2 * teta;  // between the chord and the line to the centre
        const double corda = Distancia(P1, P2);
        const double raio = (corda / 2) / std::cos(alfa);
        const double az = Azimute(P1, P2);
        const Ponto C = b > 0 ? PontoPolar(P1, az + alfa, std::fabs(raio)) : PontoPolar(P1, az - alfa, std::fabs(raio));
        // The arc's own sweep (four times the bulge's angle): half circles and
        // larger arcs keep their true size.
        const double delta = 4 * teta;
        const double s = raio * delta;
        const long long n = s > Passo ? DivisoesDoArco(s, Passo) : 0;
        if (n == 0) {
            Acrescenta(R, P1);
            continue;
        }
        const double dA = delta / static_cast<double>(n);
        const double inicio = Azimute(C, P1);
        for (long long i = 0; i <= n; ++i) {
            const double ang = b > 0 ? inicio + static_cast<double>(i) * dA : inicio - static_cast<double>(i) * dA;
            Acrescenta(R, PontoPolar(C, ang, raio));
        }
    }
    return R;
}

namespace {

// Counterclockwise sweep from angle A1 to A2, half turns and larger included;
// angles a whole turn apart are a whole turn.
double VarreduraAntiHoraria(double A1, double A2)
{
    const double d = A2 - A1;
    double delta = std::fmod(d, 2 * PI);
    if (delta < 0) delta += 2 * PI;
    if (delta < 1e-12 && std::fabs(d) > 1e-12) delta = 2 * PI;
    return delta;
}

}  // namespace

std::vector<double> ArcoPontos(const Ponto& C, double R, double A1, double A2, double Passo)
{
    const Ponto P1 = PontoPolar(C, A1, R);
    const Ponto P2 = PontoPolar(C, A2, R);
    const double delta = VarreduraAntiHoraria(A1, A2);
    const long long n = DivisoesDoArco(R * delta, Passo);
    std::vector<double> L;
    if (n == 0) {
        Acrescenta(L, P1);
        Acrescenta(L, P2);
        return L;
    }
    L.reserve(static_cast<std::size_t>(2 * (n + 1)));
    for (long long i = 0; i <= n; ++i)
        Acrescenta(L, PontoPolar(C, A1 + static_cast<double>(i) * delta / static_cast<double>(n), R));
    return L;
}

std::vector<double> CirculoPontos(const Ponto& C, const Ponto& Eixo, double Razao, double Passo, double Inicio,
                                  double Fim)
{
    // P(t) = C + cos t · major axis + sin t · minor axis.
    const double mx = -Eixo.Y * Razao, my = Eixo.X * Razao;
    auto em = [&](double t) {
        return Ponto(C.X + std::cos(t) * Eixo.X + std::sin(t) * mx, C.Y + std::cos(t) * Eixo.Y + std::sin(t) * my, 0.0);
    };
    const double delta = VarreduraAntiHoraria(Inicio, Fim);
    const long long n = DivisoesDoArco(std::hypot(Eixo.X, Eixo.Y) * delta, Passo);
    std::vector<double> L;
    if (n == 0) {
        Acrescenta(L, em(Inicio));
        Acrescenta(L, em(Fim));
        return L;
    }
    L.reserve(static_cast<std::size_t>(2 * (n + 1)));
    for (long long i = 0; i <= n; ++i)
        Acrescenta(L, em(Inicio + static_cast<double>(i) * delta / static_cast<double>(n)));
    return L;
}

long long DivisoesDoArco(double Comprimento, double Passo)
{
    if (!(Passo > 0.0) || !std::isfinite(Comprimento)) return 0;
    const double n = std::floor(std::fabs(Comprimento) / Passo);
    // Beyond this the list would not fit in memory: the caller's mistake,
    // reported rather than attempted.
    constexpr double kMaximo = 10'000'000.0;
    if (n > kMaximo)
        throw std::invalid_argument("Passo de divisão " + FormatNum(Passo, 6) + " pequeno demais para uma curva de " +
                                    FormatNum(Comprimento, 3));
    return static_cast<long long>(n);
}

void OrdenaJanela(double a, double b, double c, double& Maior, double& Menor)
{
    Maior = a;
    Menor = a;
    for (double v : {b, c}) {
        if (v > Maior) Maior = v;
        if (v < Menor) Menor = v;
    }
}
