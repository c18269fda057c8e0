#include "TerrainTestSupport.h"

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "platform/acad/CurveEntities.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"

namespace terraintest {

acad::Point* PoePonto(acad::Document& Doc, double x, double y, const std::string& Cota, const std::string& Nome,
                      const std::string& Descricao)
{
    static int contador = 0;
    const std::string nome = Nome.empty() ? "P" + std::to_string(++contador) : Nome;
    const auto camada = [&](const std::string& n, int cor) {
        Doc.Layers().Add(n)->SetColor(cor);
        return n;
    };
    acad::Point* p = Doc.ModelSpace().AddPoint({x, y, 0});
    p->SetXData({1001, 1000, 1000}, {nome, Cota, Descricao});
    p->SetLayer(camada("PONTO", 10));
    // The three texts beside it, which no reader of the model takes for a point.
    const std::pair<std::string, double> textos[] = {{nome, 5.0}, {Cota, 3.0}, {Descricao, 1.0}};
    const std::string camadas[] = {camada("PONTO_TEXTO", 170), camada("PONTO_COTA", 170), camada("PONTO_DESCRICAO", 3)};
    for (int i = 0; i < 3; ++i)
        Doc.ModelSpace().AddText(textos[i].first, {x, y + textos[i].second, 0}, 1.5)->SetLayer(camadas[i]);
    return p;
}

BarraEspiao::BarraEspiao() : form_(std::make_unique<forms::Form>("frmTerreno"))
{
    barra_ = &form_->Add<ProgressBar>("ProgressBar1");
    form_->Move(0, 0, 6000, 2000);
    barra_->Move(120, 120, 5580, 255);
    // The clock is read once at every start of a run, after the caption is set.
    barra_->SetRelogio([this] {
        const std::string c = barra_->Caption();
        if (legendas_.empty() || legendas_.back() != c) legendas_.push_back(c);
        return 0LL;
    });
    form_->Show(forms::vbModeless);
}

BarraEspiao::~BarraEspiao() { forms::Unload(*form_); }

std::vector<Triangulo> ConjuntoDaMalha()
{
    std::vector<Triangulo> r;
    for (int32_t t = 1; t <= gNumTriangulos; ++t) {
        Triangulo k{gTriangulos[t].vv0, gTriangulos[t].vv1, gTriangulos[t].vv2};
        std::sort(k.begin(), k.end());
        r.push_back(k);
    }
    std::sort(r.begin(), r.end());
    return r;
}

namespace {

double ArredondaPar(double v)
{
    const double f = std::floor(v);
    const double d = v - f;
    if (d < 0.5) return f;
    if (d > 0.5) return f + 1;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

// The circumcircle test as first written: ordinates within 1.0 count as level.
bool CircumCircle(float xp, float yp, float x1, float y1, float x2, float y2, float x3, float y3)
{
    const double eps = 1.0;
    double xc, yc;
    if (std::abs(static_cast<float>(y1 - y2)) < eps && std::abs(static_cast<float>(y2 - y3)) < eps) return false;
    if (std::abs(static_cast<float>(y2 - y1)) < eps) {
        const double m2 = -(static_cast<double>(x3) - x2) / (static_cast<double>(y3) - y2);
        const double mx2 = (static_cast<double>(x2) + x3) / 2, my2 = (static_cast<double>(y2) + y3) / 2;
        xc = static_cast<float>((static_cast<double>(x1) + x2) / 2);
        yc = m2 * (xc - mx2) + my2;
    } else if (std::abs(static_cast<float>(y3 - y2)) < eps) {
        const double m1 = -(static_cast<double>(x2) - x1) / (static_cast<double>(y2) - y1);
        const double mx1 = (static_cast<double>(x1) + x2) / 2, my1 = (static_cast<double>(y1) + y2) / 2;
        xc = static_cast<float>((static_cast<double>(x3) + x2) / 2);
        yc = m1 * (xc - mx1) + my1;
    } else {
        const double m1 = -(static_cast<double>(x2) - x1) / (static_cast<double>(y2) - y1);
        const double m2 = -(static_cast<double>(x3) - x2) / (static_cast<double>(y3) - y2);
        const double mx1 = (static_cast<double>(x1) + x2) / 2, mx2 = (static_cast<double>(x2) + x3) / 2;
        const double my1 = (static_cast<double>(y1) + y2) / 2, my2 = (static_cast<double>(y2) + y3) / 2;
        if (m1 == m2) return false;
        xc = (m1 * mx1 - m2 * mx2 + my2 - my1) / (m1 - m2);
        yc = m1 * (xc - mx1) + my1;
    }
    const double rsqr = (x2 - xc) * (x2 - xc) + (y2 - yc) * (y2 - yc);
    const double drsqr = (xp - xc) * (xp - xc) + (yp - yc) * (yp - yc);
    if (!std::isfinite(rsqr) || !std::isfinite(drsqr)) return false;
    return drsqr <= rsqr;
}

}  // namespace

std::vector<Triangulo> TriangulacaoOriginal(int32_t nvert)
{
    struct V {
        float X, Y;
    };
    std::vector<V> v(nvert + 4);
    for (int32_t i = 1; i <= nvert; ++i)
        v[i] = {static_cast<float>(gVertices[i].X), static_cast<float>(gVertices[i].Y)};
    double xmin = ArredondaPar(v[1].X), xmax = xmin, ymin = ArredondaPar(v[1].Y), ymax = ymin;
    for (int32_t i = 2; i <= nvert; ++i) {
        if (v[i].X < xmin) xmin = ArredondaPar(v[i].X);
        if (v[i].X > xmax) xmax = ArredondaPar(v[i].X);
        if (v[i].Y < ymin) ymin = ArredondaPar(v[i].Y);
        if (v[i].Y > ymax) ymax = ArredondaPar(v[i].Y);
    }
    const double dx = xmax - xmin, dy = ymax - ymin;
    const double dmax = dx > dy ? dx : dy;
    const double xmid = ArredondaPar((xmax + xmin) / 2), ymid = ArredondaPar((ymax + ymin) / 2);
    v[nvert + 1] = {static_cast<float>(xmid - 2 * dmax), static_cast<float>(ymid - dmax)};
    v[nvert + 2] = {static_cast<float>(xmid), static_cast<float>(ymid + 2 * dmax)};
    v[nvert + 3] = {static_cast<float>(xmid + 2 * dmax), static_cast<float>(ymid - dmax)};
    std::vector<Triangulo> tri(4 * static_cast<size_t>(nvert) + 10);
    tri[1] = {nvert + 1, nvert + 2, nvert + 3};
    int32_t ntri = 1;
    std::vector<std::array<int32_t, 2>> arestas;
    for (int32_t i = 1; i <= nvert; ++i) {
        arestas.clear();
        int32_t j = 0;
        do {
            ++j;
            const Triangulo& t = tri[j];
            if (CircumCircle(v[i].X, v[i].Y, v[t[0]].X, v[t[0]].Y, v[t[1]].X, v[t[1]].Y, v[t[2]].X, v[t[2]].Y)) {
                arestas.push_back({t[0], t[1]});
                arestas.push_back({t[1], t[2]});
                arestas.push_back({t[2], t[0]});
                tri[j] = tri[ntri];
                --j;
                --ntri;
            }
        } while (j < ntri);
        const size_t ne = arestas.size();
        for (size_t a = 0; a + 1 < ne; ++a) {
            if (arestas[a][0] == 0 && arestas[a][1] == 0) continue;
            for (size_t b = a + 1; b < ne; ++b) {
                if (arestas[b][0] == 0 && arestas[b][1] == 0) continue;
                if (arestas[a][0] == arestas[b][1] && arestas[a][1] == arestas[b][0]) {
                    arestas[a] = {0, 0};
                    arestas[b] = {0, 0};
                    break;
                }
            }
        }
        for (const auto& e : arestas) {
            if (e[0] == 0 && e[1] == 0) continue;
            ++ntri;
            if (static_cast<size_t>(ntri) >= tri.size()) tri.resize(tri.size() * 2);
            tri[ntri] = {e[0], e[1], i};
        }
    }
    int32_t i = 0;
    do {
        ++i;
        if (i > ntri) break;
        if (tri[i][0] > nvert || tri[i][1] > nvert || tri[i][2] > nvert) {
            tri[i] = tri[ntri];
            --i;
            --ntri;
        }
    } while (i < ntri);
    std::vector<Triangulo> r(tri.begin() + 1, tri.begin() + 1 + ntri);
    for (auto& t : r) std::sort(t.begin(), t.end());
    std::sort(r.begin(), r.end());
    return r;
}

std::string FalhaDelaunay(const std::vector<Triangulo>& Tri, int32_t n)
{
    using K = CGAL::Exact_predicates_inexact_constructions_kernel;
    const auto P = [](int32_t v) { return K::Point_2(gVertices[v].X, gVertices[v].Y); };
    std::map<std::pair<int32_t, int32_t>, int> lados;
    std::vector<Triangulo> ccw;
    for (const Triangulo& t0 : Tri) {
        Triangulo t = t0;
        for (int32_t v : t)
            if (v < 1 || v > n) return "vértice fora do modelo";
        const CGAL::Orientation o = CGAL::orientation(P(t[0]), P(t[1]), P(t[2]));
        if (o == CGAL::COLLINEAR) return "triângulo achatado";
        if (o == CGAL::CLOCKWISE) std::swap(t[1], t[2]);
        ccw.push_back(t);
        for (int i = 0; i < 3; ++i)
            if (++lados[{t[i], t[(i + 1) % 3]}] > 1) return "lado repetido na mesma direção";
    }
    // The empty-circle property, each triangle against the vertices near it
    // would be enough; against all of them keeps the check plain.
    std::vector<int32_t> ordem(n);
    std::iota(ordem.begin(), ordem.end(), 1);
    std::sort(ordem.begin(), ordem.end(), [](int32_t a, int32_t b) { return gVertices[a].X < gVertices[b].X; });
    for (const Triangulo& t : ccw) {
        const K::Point_2 a = P(t[0]), b = P(t[1]), c = P(t[2]);
        // Bound the search by the circumcircle's extent in X.
        const K::Point_2 cc = CGAL::circumcenter(a, b, c);
        const double r = std::sqrt(CGAL::squared_distance(cc, a)) * (1 + 1e-9) + 1e-9;
        auto it = std::lower_bound(ordem.begin(), ordem.end(), cc.x() - r,
                                   [](int32_t v, double x) { return gVertices[v].X < x; });
        for (; it != ordem.end() && gVertices[*it].X <= cc.x() + r; ++it) {
            const int32_t v = *it;
            if (v == t[0] || v == t[1] || v == t[2]) continue;
            if (CGAL::side_of_oriented_circle(a, b, c, P(v)) == CGAL::ON_POSITIVE_SIDE)
                return "o vértice " + std::to_string(v) + " está dentro do círculo de um triângulo";
        }
    }
    return "";
}

std::vector<VerticeRec> PontosEspacados(int n, unsigned semente)
{
    std::mt19937 gerador(semente);
    std::vector<int> ordenadas(n);
    std::iota(ordenadas.begin(), ordenadas.end(), 0);
    std::shuffle(ordenadas.begin(), ordenadas.end(), gerador);
    std::uniform_int_distribution<int> abscissa(0, 8 * 2 * n);
    std::vector<VerticeRec> r;
    for (int i = 0; i < n; ++i)
        r.push_back({abscissa(gerador) / 8.0, ordenadas[i] * 1.25 + (abscissa(gerador) % 2) * 0.125, 0});
    return r;
}

void CarregaVertices(const std::vector<VerticeRec>& Pontos)
{
    gVertices.assign(Pontos.size() + 4, VerticeRec{});
    std::copy(Pontos.begin(), Pontos.end(), gVertices.begin() + 1);
    gNumVertices = static_cast<int32_t>(Pontos.size());
    MalhaAlterada();
}

}  // namespace terraintest
