#include "terrain/modTerreno.h"

#include <algorithm>
#include <cmath>

#include "platform/ProcessState.h"

std::vector<VerticeRec> gPontos;
int32_t gNumPontos = 0;
std::vector<VerticeRec> gVertices(1);
int32_t gNumVertices = 0;
std::vector<TrianguloRec> gTriangulos(1);
int32_t gNumTriangulos = 0;

namespace {

// A uniform grid over a rectangle; each cell lists items in ascending index
// order, so a cell's list gives the items in the order a linear scan would.
struct Grade {
    double x0 = 0, y0 = 0, cel = 1;
    int nx = 0, ny = 0;
    std::vector<int32_t> inicio;  // nx*ny + 1 offsets into itens
    std::vector<int32_t> itens;

    int Col(double x) const { return std::clamp(static_cast<int>(std::floor((x - x0) / cel)), 0, nx - 1); }
    int Lin(double y) const { return std::clamp(static_cast<int>(std::floor((y - y0) / cel)), 0, ny - 1); }

    // Items are boxes [minx, maxx] × [miny, maxy], given by index 1..n.
    template <class Caixa>
    void Monta(int32_t n, Caixa caixa)
    {
        nx = ny = 0;
        inicio.assign(1, 0);
        itens.clear();
        double x1 = 0, y1 = 0;
        bool algum = false;
        for (int32_t i = 1; i <= n; ++i) {
            double a, b, c, d;
            if (!caixa(i, a, b, c, d)) continue;
            if (!algum) {
                x0 = a, x1 = b, y0 = c, y1 = d;
                algum = true;
            } else {
                x0 = std::min(x0, a), x1 = std::max(x1, b), y0 = std::min(y0, c), y1 = std::max(y1, d);
            }
        }
        if (!algum) return;
        const double w = std::max(x1 - x0, 1e-9), h = std::max(y1 - y0, 1e-9);
        // About one item per cell, at most a few million cells.
        cel = std::max(std::sqrt(w * h / std::max<int32_t>(n, 1)), std::max(w, h) / 2000.0);
        nx = std::clamp(static_cast<int>(w / cel) + 1, 1, 2048);
        ny = std::clamp(static_cast<int>(h / cel) + 1, 1, 2048);
        std::vector<int32_t> conta(static_cast<size_t>(nx) * ny + 1, 0);
        for (int pass = 0; pass < 2; ++pass) {
            for (int32_t i = 1; i <= n; ++i) {
                double a, b, c, d;
                if (!caixa(i, a, b, c, d)) continue;
                const int ca = Col(a), cb = Col(b), la = Lin(c), lb = Lin(d);
                for (int l = la; l <= lb; ++l)
                    for (int k = ca; k <= cb; ++k) {
                        const size_t cell = static_cast<size_t>(l) * nx + k;
                        if (pass == 0)
                            ++conta[cell + 1];
                        else
                            itens[conta[cell]++] = i;
                    }
            }
            if (pass == 0) {
                for (size_t k = 1; k < conta.size(); ++k) conta[k] += conta[k - 1];
                inicio = conta;
                itens.assign(conta.back(), 0);
            }
        }
    }

    bool Dentro(double x, double y) const
    {
        return nx > 0 && x >= x0 && y >= y0 && x <= x0 + cel * nx && y <= y0 + cel * ny;
    }
};

struct IndiceMalha {
    long long versao = -1;
    int32_t numTri = -1, numVert = -1;
    Grade tri, vert;
};

long long gVersaoMalha = 0;
IndiceMalha gIndice;

const platform::ProcessStateReset kResetTerreno([] {
    gPontos.clear();
    gNumPontos = 0;
    gVertices.assign(1, VerticeRec{});
    gNumVertices = 0;
    gTriangulos.assign(1, TrianguloRec{});
    gNumTriangulos = 0;
    gIndice = IndiceMalha{};
});

const IndiceMalha& Indice()
{
    if (gIndice.versao == gVersaoMalha && gIndice.numTri == gNumTriangulos && gIndice.numVert == gNumVertices)
        return gIndice;
    const int32_t nt = std::min<int32_t>(gNumTriangulos, static_cast<int32_t>(gTriangulos.size()) - 1);
    gIndice.tri.Monta(nt, [](int32_t t, double& a, double& b, double& c, double& d) {
        const TrianguloRec& r = gTriangulos[t];
        a = r.MinX, b = r.MaxX, c = r.MinY, d = r.MaxY;
        return a <= b && c <= d;  // an empty box never passes the box test
    });
    const int32_t nv = std::min<int32_t>(gNumVertices, static_cast<int32_t>(gVertices.size()) - 1);
    gIndice.vert.Monta(nv, [](int32_t v, double& a, double& b, double& c, double& d) {
        a = b = gVertices[v].X;
        c = d = gVertices[v].Y;
        return std::isfinite(a) && std::isfinite(c);
    });
    gIndice.versao = gVersaoMalha;
    gIndice.numTri = gNumTriangulos;
    gIndice.numVert = gNumVertices;
    return gIndice;
}

// The cosine that AnguloVertice measures, or false when a side has no length.
bool Cosseno(const VerticeRec& A, const VerticeRec& B, const VerticeRec& C, double& cosseno, double& d1, double& d2)
{
    const double bx = A.X - B.X, by = A.Y - B.Y, cx = A.X - C.X, cy = A.Y - C.Y;
    d1 = std::sqrt(bx * bx + by * by);
    d2 = std::sqrt(cx * cx + cy * cy);
    if (d1 == 0 || d2 == 0) return false;
    cosseno = (bx * cx + by * cy) / (d1 * d2);
    return true;
}

bool Valido(int32_t v) { return v >= 1 && v < static_cast<int32_t>(gVertices.size()); }

}  // namespace

void MalhaAlterada() { ++gVersaoMalha; }

double AnguloVertice(const VerticeRec& A, const VerticeRec& B, const VerticeRec& C)
{
    double c, d1, d2;
    if (!Cosseno(A, B, C, c, d1, d2)) return 0;
    if (c == 1 || c == -1) return 0;
    const double s = 1 - c * c;
    if (!(s > 0)) return 0;  // rounding took |cos| past 1
    const double ang = std::atan(-c / std::sqrt(s)) + 2 * std::atan(1.0);
    return ang * 180 / M_PI;
}

double CotaNoPlano(double x, double y, int32_t t)
{
    if (t < 1 || t > gNumTriangulos || t >= static_cast<int32_t>(gTriangulos.size())) return 0;
    const TrianguloRec& r = gTriangulos[t];
    if (!Valido(r.vv0) || !Valido(r.vv1) || !Valido(r.vv2)) return 0;
    const VerticeRec &p1 = gVertices[r.vv0], &p2 = gVertices[r.vv1], &p3 = gVertices[r.vv2];
    const double a = (p3.Z - p1.Z) * (p2.Y - p1.Y) - (p3.Y - p1.Y) * (p2.Z - p1.Z);
    const double b = (p3.X - p1.X) * (p2.Z - p1.Z) - (p3.Z - p1.Z) * (p2.X - p1.X);
    const double c = (p3.Y - p1.Y) * (p2.X - p1.X) - (p2.Y - p1.Y) * (p3.X - p1.X);
    if (c == 0) return 0;
    const double d = -(a * p1.X + b * p1.Y + c * p1.Z);
    return (a * x + b * y + d) / (-c);
}

double CotaNoPonto(const Ponto& P)
{
    bool noModelo;
    return CotaNoPonto(P, noModelo);
}

double CotaNoPonto(const Ponto& P, bool& NoModelo)
{
    NoModelo = false;
    const double x = P.X, y = P.Y;
    const VerticeRec p{x, y, 0};
    const IndiceMalha& ind = Indice();
    double z = 0;
    bool achou = false;
    // A point lying exactly on a side sees that side under 180°, taken as 0:
    // no triangle passes, and the first side it lies on answers instead.
    bool temLado = false;
    double zLado = 0;

    if (ind.tri.Dentro(x, y)) {
        const size_t cell = static_cast<size_t>(ind.tri.Lin(y)) * ind.tri.nx + ind.tri.Col(x);
        for (int32_t k = ind.tri.inicio[cell]; k < ind.tri.inicio[cell + 1]; ++k) {
            const int32_t t = ind.tri.itens[k];
            const TrianguloRec& r = gTriangulos[t];
            if (!(r.MinX <= x && x <= r.MaxX && r.MinY <= y && y <= r.MaxY)) continue;
            if (!Valido(r.vv0) || !Valido(r.vv1) || !Valido(r.vv2)) continue;
            const VerticeRec* v[3] = {&gVertices[r.vv0], &gVertices[r.vv1], &gVertices[r.vv2]};
            const double s =
                AnguloVertice(p, *v[0], *v[1]) + AnguloVertice(p, *v[1], *v[2]) + AnguloVertice(p, *v[2], *v[0]);
            if (std::abs(s - 360) < 0.01) {
                z = CotaNoPlano(x, y, t);
                achou = true;
                break;
            }
            if (temLado) continue;
            for (int i = 0; i < 3 && !temLado; ++i) {
                const VerticeRec &a = *v[i], &b = *v[(i + 1) % 3];
                double c, d1, d2;
                if (Cosseno(p, a, b, c, d1, d2) && c <= -1) {
                    zLado = a.Z + (b.Z - a.Z) * d1 / (d1 + d2);
                    temLado = true;
                }
            }
        }
    }
    if (!achou && temLado) {
        z = zLado;
        achou = true;
    }

    if (z == 0 && ind.vert.nx > 0) {
        // Only the current model's vertices; the last one within reach wins.
        const Grade& g = ind.vert;
        const double gx1 = g.x0 + g.cel * g.nx, gy1 = g.y0 + g.cel * g.ny;
        if (x + 0.01 >= g.x0 && y + 0.01 >= g.y0 && x - 0.01 <= gx1 && y - 0.01 <= gy1) {
            int32_t ultimo = 0;
            for (int l = g.Lin(y - 0.01); l <= g.Lin(y + 0.01); ++l)
                for (int k = g.Col(x - 0.01); k <= g.Col(x + 0.01); ++k) {
                    const size_t cell = static_cast<size_t>(l) * g.nx + k;
                    for (int32_t j = g.inicio[cell]; j < g.inicio[cell + 1]; ++j) {
                        const int32_t v = g.itens[j];
                        if (v > ultimo && std::abs(x - gVertices[v].X) < 0.01 && std::abs(y - gVertices[v].Y) < 0.01)
                            ultimo = v;
                    }
                }
            if (ultimo > 0) {
                z = gVertices[ultimo].Z;
                achou = true;
            }
        }
    }
    NoModelo = achou;
    return z;
}
