#include "cad/modCurvas.h"

#include <algorithm>
#include <cmath>

#include "cad/modGeometria.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/forms/Application.h"
#include "platform/os/Dialogs.h"
#include "shell/modMensagem.h"

namespace {

bool Perto(const Ponto& A, const Ponto& B, double Tol)
{
    return std::fabs(A.X - B.X) < Tol && std::fabs(A.Y - B.Y) < Tol;
}

// Vertices of a polyline with its arc segments cut at `Passo` (when positive),
// the first vertex repeated at the end of a closed one.
template <typename Polilinha>
std::vector<double> PontosDaPolilinha(const Polilinha& pl, std::vector<double> L, double Passo)
{
    if (Passo > 0) {
        std::vector<double> bulges;
        for (std::size_t k = 0; k < NVertices(L); ++k) bulges.push_back(pl.GetBulge(static_cast<int>(k)));
        // An open polyline's last bulge draws nothing (one opened from a
        // closed polyline keeps the arc that closed it): no way back to the
        // start, in its points or in its length.
        if (!pl.Closed() && !bulges.empty()) bulges.back() = 0.0;
        L = DensifyBulges(L, bulges, Passo);
    }
    if (pl.Closed() && !L.empty()) Acrescenta(L, Vertice(L, 0));
    return L;
}

// Points on the spline itself, from its start to its end, about `Passo` apart
// along the curve; with no step, the points the host draws it with. The
// spline is only read.
std::vector<double> PontosDaSpline(const acad::Spline& s, double Passo)
{
    std::vector<double> L;
    const double u0 = s.StartParameter(), u1 = s.EndParameter();
    if (!(Passo > 0) || !(u1 > u0)) {
        for (const acad::Point3d& p : acad::SampleSpline(s.Data())) Acrescenta(L, p);
        return L;
    }
    // A fine walk along the parameter measures the curve; the points wanted
    // are then placed at equal lengths and evaluated on the curve.
    const int m = std::max(64, 32 * s.NumberOfControlPoints());
    std::vector<double> u(static_cast<std::size_t>(m) + 1), acum(static_cast<std::size_t>(m) + 1, 0.0);
    Ponto anterior;
    for (int i = 0; i <= m; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        u[k] = u0 + (u1 - u0) * i / m;
        const Ponto p = s.PointAt(u[k]);
        if (i > 0) acum[k] = acum[k - 1] + Distancia(anterior, p);
        anterior = p;
    }
    const double total = acum.back();
    const long long n = std::max(1LL, DivisoesDoArco(total, Passo));
    std::size_t j = 0;
    for (long long i = 0; i <= n; ++i) {
        const double alvo = total * static_cast<double>(i) / static_cast<double>(n);
        while (j + 1 < static_cast<std::size_t>(m) && acum[j + 1] < alvo) ++j;
        const double trecho = acum[j + 1] - acum[j];
        const double f = trecho > 0 ? std::clamp((alvo - acum[j]) / trecho, 0.0, 1.0) : 0.0;
        const double par = i == 0 ? u0 : i == n ? u1 : u[j] + (u[j + 1] - u[j]) * f;
        Acrescenta(L, Ponto(s.PointAt(par)));
    }
    return L;
}

}  // namespace

std::optional<std::vector<double>> CurvaParaPontos(acad::Entity* Entidade, double& Comprimento,
                                                   const std::optional<Ponto>& Referencia, double Passo)
{
    Comprimento = 0;
    if (!Entidade) return std::nullopt;
    std::vector<double> L;
    try {
        const std::string nome = Entidade->ObjectName();
        if (auto* arco = acad::As<acad::Arc>(Entidade)) {
            L = ArcoPontos(arco->Center(), arco->Radius(), arco->StartAngle(), arco->EndAngle(), Passo);
        } else if (auto* linha = acad::As<acad::Line>(Entidade)) {
            Acrescenta(L, linha->StartPoint());
            Acrescenta(L, linha->EndPoint());
        } else if (auto* pl2d = acad::As<acad::Polyline2D>(Entidade)) {
            // A spline-fitted polyline has no vertices of its own to follow.
            if (pl2d->Type() > 1) {
                ExibeMensagem(0, "Edite a PolyLine", "Execute um Break em uma das extremidades da PolyLine.");
                return std::nullopt;
            }
            L = PontosDaPolilinha(*pl2d, Coords3DPara2D(pl2d->Coordinates()), Passo);
        } else if (auto* lw = acad::As<acad::LWPolyline>(Entidade)) {
            L = PontosDaPolilinha(*lw, lw->Coordinates(), Passo);
        } else if (auto* spline = acad::As<acad::Spline>(Entidade)) {
            L = PontosDaSpline(*spline, Passo);
        } else {
            os::ShowWarning(0, "", "coords2d " + nome);
            return std::nullopt;
        }
    } catch (const acad::Error&) {
        return std::nullopt;
    }
    const std::size_t nv = NVertices(L);
    if (Referencia && nv > 0 && Distancia(*Referencia, Vertice(L, nv - 1)) < Distancia(*Referencia, Vertice(L, 0)))
        L = InverteCoords(L);
    Comprimento = ComprimentoPolilinha(L);
    return L;
}

double ComprimentoPolilinha(const std::vector<double>& L)
{
    double total = 0;
    for (std::size_t k = 1; k < NVertices(L); ++k) total += Distancia(Vertice(L, k - 1), Vertice(L, k));
    return total;
}

std::optional<Ponto> PontoAoLongo(const std::vector<double>& L, double Distancia_, int& Segmento, double& Direcao)
{
    double acum = 0;
    for (std::size_t k = 1; k < NVertices(L); ++k) {
        const Ponto A = Vertice(L, k - 1), B = Vertice(L, k);
        acum += Distancia(A, B);
        if (acum > Distancia_) {
            Segmento = static_cast<int>(k - 1);
            Direcao = Azimute(A, B);
            return PontoPolar(B, Azimute(B, A), acum - Distancia_);
        }
    }
    return std::nullopt;
}

std::vector<double> PontosEspacados(const std::vector<double>& L, double Espacamento, bool MantemVertices)
{
    std::vector<double> R;
    if (NVertices(L) == 0) return R;
    // Refuses a spacing so fine that the points would not fit in memory.
    DivisoesDoArco(ComprimentoPolilinha(L), Espacamento);
    Ponto anterior = Vertice(L, 0);
    Acrescenta(R, anterior);
    double acum = 0, proximo = Espacamento;
    for (std::size_t k = 1; k < NVertices(L); ++k) {
        const Ponto V = Vertice(L, k);
        acum += Distancia(anterior, V);
        while (Espacamento > 0 && acum > proximo) {
            forms::DoEvents();
            Acrescenta(R, PontoPolar(V, Azimute(V, anterior), acum - proximo));
            proximo += Espacamento;
        }
        if (MantemVertices) Acrescenta(R, V);
        anterior = V;
    }
    return R;
}

std::vector<double> Coords3DPara2D(const std::vector<double>& L)
{
    std::vector<double> R;
    R.reserve(L.size() / 3 * 2);
    for (std::size_t i = 0; i + 2 < L.size(); i += 3) {
        R.push_back(L[i]);
        R.push_back(L[i + 1]);
    }
    return R;
}

std::vector<double> Coords2DPara3D(const std::vector<double>& L)
{
    std::vector<double> R;
    R.reserve(NVertices(L) * 3);
    for (std::size_t k = 0; k < NVertices(L); ++k) {
        R.push_back(L[2 * k]);
        R.push_back(L[2 * k + 1]);
        R.push_back(0.0);
    }
    return R;
}

std::vector<double> InverteCoords(const std::vector<double>& L)
{
    std::vector<double> R;
    R.reserve(L.size());
    for (std::size_t k = NVertices(L); k-- > 0;) Acrescenta(R, Vertice(L, k));
    return R;
}

std::vector<double> JuntaCoords(const std::vector<double>& A, const std::vector<double>& B)
{
    if (NVertices(A) == 0) return B;
    if (NVertices(B) == 0) return A;
    const bool repete = RepeteVertice(Vertice(A, NVertices(A) - 1), Vertice(B, 0));
    std::vector<double> R(A.begin(), A.begin() + static_cast<std::ptrdiff_t>(2 * NVertices(A)));
    R.insert(R.end(), B.begin() + (repete ? 2 : 0), B.begin() + static_cast<std::ptrdiff_t>(2 * NVertices(B)));
    return R;
}

std::optional<std::vector<double>> EncadeiaLinhas(const std::vector<double>& A, const std::vector<double>& B)
{
    if (NVertices(A) == 0 || NVertices(B) == 0) return std::nullopt;
    const std::optional<Encadeamento> como =
        ComoEncadear(Vertice(A, 0), Vertice(A, NVertices(A) - 1), Vertice(B, 0), Vertice(B, NVertices(B) - 1));
    if (!como) return std::nullopt;
    return JuntaCoords(como->InverteA ? InverteCoords(A) : A, como->InverteB ? InverteCoords(B) : B);
}

std::optional<Encadeamento> ComoEncadear(const Ponto& InicioA, const Ponto& FimA, const Ponto& InicioB,
                                         const Ponto& FimB)
{
    if (Perto(FimA, InicioB, 0.25)) return Encadeamento{false, false};
    if (Perto(FimA, FimB, 0.25)) return Encadeamento{false, true};
    if (Perto(InicioA, FimB, 0.25)) return Encadeamento{true, true};
    if (Perto(InicioA, InicioB, 0.25)) return Encadeamento{true, false};
    return std::nullopt;
}

bool RepeteVertice(const Ponto& Ultimo, const Ponto& Seguinte) { return Perto(Ultimo, Seguinte, 0.001); }

std::vector<double> RemoveVerticesDuplicados(const std::vector<double>& L, bool Fechada)
{
    std::vector<double> R;
    const std::size_t nv = NVertices(L);
    // The last vertex closes the ring: it is never copied.
    for (std::size_t k = 0; k + 1 < nv; ++k) {
        const Ponto V = Vertice(L, k), W = Vertice(L, k + 1);
        if (std::fabs(V.X - W.X) > 0.01 || std::fabs(V.Y - W.Y) > 0.01) Acrescenta(R, V);
    }
    if (Fechada && NVertices(R) > 1 && Perto(Vertice(R, NVertices(R) - 1), Vertice(R, 0), 0.01)) R.resize(R.size() - 2);
    return R;
}
