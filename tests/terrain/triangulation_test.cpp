// The triangles of the terrain model: those of the triangulation as first
// written wherever its circumcircle test is exact, and a true Delaunay
// triangulation everywhere else.

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/convex_hull_2.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>

#include "TerrainTestSupport.h"
#include "terrain/clsDelaunay.h"

using namespace terraintest;

namespace {

// Signed area of a polygon (counterclockwise positive).
double Area(const std::vector<VerticeRec>& P)
{
    double a = 0;
    for (std::size_t i = 0; i < P.size(); ++i) {
        const VerticeRec &p = P[i], &q = P[(i + 1) % P.size()];
        a += p.X * q.Y - q.X * p.Y;
    }
    return a / 2;
}

// The convex hull of the points, counterclockwise.
std::vector<VerticeRec> Casca(const std::vector<VerticeRec>& Pontos)
{
    std::vector<CGAL::Epick::Point_2> p, h;
    for (const VerticeRec& v : Pontos) p.emplace_back(v.X, v.Y);
    CGAL::convex_hull_2(p.begin(), p.end(), std::back_inserter(h));
    std::vector<VerticeRec> r;
    for (const auto& q : h) r.push_back({q.x(), q.y(), 0});
    return r;
}

// Triangulates the points twice; both runs must give the same Delaunay set.
std::vector<Triangulo> TriangulaDuasVezes(const std::vector<VerticeRec>& Pontos)
{
    clsDelaunay d;
    CarregaVertices(Pontos);
    gNumTriangulos = d.Triangulate(static_cast<int32_t>(Pontos.size()));
    std::vector<Triangulo> primeira = ConjuntoDaMalha();
    EXPECT_EQ(FalhaDelaunay(primeira, static_cast<int32_t>(Pontos.size())), "");
    CarregaVertices(Pontos);
    gNumTriangulos = d.Triangulate(static_cast<int32_t>(Pontos.size()));
    EXPECT_EQ(ConjuntoDaMalha(), primeira);
    return primeira;
}

}  // namespace

// Points whose ordinates lie at least 1.0 apart, where the original
// circumcircle test is exact: the very same triangles, and those along the
// outline that the enclosing triangle cost, so that the triangles cover the
// points' convex hull and every point inside it has its elevation.
TEST(Triangulation, SameTrianglesAsFirstWrittenAndTheWholeHull)
{
    for (unsigned semente : {1u, 2u}) {
        const std::vector<VerticeRec> pontos = PontosEspacados(2000, semente);
        CarregaVertices(pontos);
        const std::vector<Triangulo> original = TriangulacaoOriginal(2000);
        CarregaVertices(pontos);
        clsDelaunay d;
        gNumTriangulos = d.Triangulate(2000);
        const std::vector<Triangulo> malha = ConjuntoDaMalha();
        EXPECT_TRUE(std::includes(malha.begin(), malha.end(), original.begin(), original.end()))
            << "semente " << semente;
        EXPECT_EQ(FalhaDelaunay(malha, 2000), "");
        d.OtimizaMalha();
        const std::vector<VerticeRec> casca = Casca(pontos);
        double area = 0;
        for (const Triangulo& t : malha) area += std::fabs(Area({gVertices[t[0]], gVertices[t[1]], gVertices[t[2]]}));
        EXPECT_NEAR(area, Area(casca), 1e-6 * Area(casca)) << "semente " << semente;
        // Just inside every side of the hull.
        VerticeRec centro{};
        for (const VerticeRec& v : casca) centro.X += v.X / casca.size(), centro.Y += v.Y / casca.size();
        for (std::size_t i = 0; i < casca.size(); ++i) {
            const VerticeRec &a = casca[i], &b = casca[(i + 1) % casca.size()];
            const Ponto p((a.X + b.X) / 2 * 0.999 + centro.X * 0.001, (a.Y + b.Y) / 2 * 0.999 + centro.Y * 0.001);
            bool noModelo = false;
            CotaNoPonto(p, noModelo);
            EXPECT_TRUE(noModelo) << p.X << "," << p.Y;
        }
        // The enclosing triangle takes the three entries after the points.
        EXPECT_LT(gVertices[2001].X, 0);
        EXPECT_EQ(gVertices[2002].X, gVertices[2001].X / 2 + gVertices[2003].X / 2);
        EXPECT_GT(gVertices[2002].Y, 2000 * 1.25);
    }
}

// Where the original test was approximate: close ordinates, a square grid
// (every four neighbours on one circle), survey points at UTM coordinates.
TEST(Triangulation, DelaunayWhereTheOriginalTestWasApproximate)
{
    std::mt19937 g(7);
    std::vector<VerticeRec> perto;
    std::uniform_real_distribution<double> u(0, 500);
    std::uniform_real_distribution<double> pouco(0, 0.3);
    for (int i = 0; i < 1500; ++i) perto.push_back({u(g), std::floor(i / 50) * 0.4 + pouco(g), 0});
    const auto a = TriangulaDuasVezes(perto);
    EXPECT_GT(a.size(), 2500u);

    std::vector<VerticeRec> grade;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j) grade.push_back({i * 5.0, j * 5.0, 0});
    const auto b = TriangulaDuasVezes(grade);
    // 29 × 29 squares, two triangles each, whatever diagonal each one took.
    EXPECT_EQ(b.size(), 2u * 29 * 29);

    std::vector<VerticeRec> utm;
    std::uniform_real_distribution<double> dx(0, 1200), dy(0, 1200);
    for (int i = 0; i < 3000; ++i) utm.push_back({734000 + dx(g), 7456000 + dy(g), 0});
    const auto c = TriangulaDuasVezes(utm);
    EXPECT_GT(c.size(), 5800u);
}

// Fewer than three points, or all on one line: no triangle.
TEST(Triangulation, NothingToTriangulate)
{
    clsDelaunay d;
    for (const std::vector<VerticeRec>& pontos :
         {std::vector<VerticeRec>{}, std::vector<VerticeRec>{{5, 5, 1}}, std::vector<VerticeRec>{{5, 5, 1}, {9, 7, 2}},
          std::vector<VerticeRec>{{0, 0, 0}, {10, 10, 0}, {20, 20, 0}, {35, 35, 0}, {-7, -7, 0}},
          std::vector<VerticeRec>{{734000, 7456000, 0}, {734000, 7456010, 0}, {734000, 7456020, 0}}}) {
        CarregaVertices(pontos);
        EXPECT_EQ(d.Triangulate(static_cast<int32_t>(pontos.size())), 0) << pontos.size();
    }
    // Three points within one whole unit still make their triangle.
    CarregaVertices({{0.1, 0.1, 0}, {0.3, 0.1, 0}, {0.2, 0.3, 0}});
    EXPECT_EQ(d.Triangulate(3), 1);
}

// The finishing pass disables only triangles that hold another kept point;
// with a true triangulation none does, and every box is the vertices' extent.
TEST(Triangulation, FinishingPasses)
{
    clsDelaunay d;
    const std::vector<VerticeRec> pontos = PontosEspacados(300, 3);
    gPontos = pontos;
    gNumPontos = 300;
    CarregaVertices(pontos);
    gNumTriangulos = d.Triangulate(300);
    d.OtimizaMalha();
    d.FinalizaMalha();
    for (int32_t t = 1; t <= gNumTriangulos; ++t) {
        const TrianguloRec& r = gTriangulos[t];
        EXPECT_GT(r.MaxX, 0);
        EXPECT_EQ(r.MaxX, std::max({gVertices[r.vv0].X, gVertices[r.vv1].X, gVertices[r.vv2].X}));
        EXPECT_EQ(r.MinY, std::min({gVertices[r.vv0].Y, gVertices[r.vv1].Y, gVertices[r.vv2].Y}));
    }
    // A kept point that is no vertex, inside triangle 1: that triangle only.
    const TrianguloRec& t1 = gTriangulos[1];
    const VerticeRec &a = gVertices[t1.vv0], &b = gVertices[t1.vv1], &c = gVertices[t1.vv2];
    gPontos.push_back({(a.X + b.X + c.X) / 3, (a.Y + b.Y + c.Y) / 3, 0});
    gNumPontos = 301;
    d.FinalizaMalha();
    EXPECT_EQ(gTriangulos[1].MaxX, 0);
    EXPECT_EQ(gTriangulos[1].MaxY, 0);
    int desativados = 0;
    for (int32_t t = 1; t <= gNumTriangulos; ++t) desativados += gTriangulos[t].MaxX == 0;
    EXPECT_EQ(desativados, 1);
    gPontos.clear();
    gNumPontos = 0;
}

// The side test in exact integer arithmetic, far beyond 32-bit products.
TEST(Triangulation, CrossSign)
{
    EXPECT_EQ(clsDelaunay::SinalCruzado(0, 1, 0, 0, 10, 0), -1);  // left of the line: e > 0
    EXPECT_EQ(clsDelaunay::SinalCruzado(0, -1, 0, 0, 10, 0), 1);
    EXPECT_EQ(clsDelaunay::SinalCruzado(5, 0, 0, 0, 10, 0), 0);
    const int32_t m = 2'000'000'000;
    EXPECT_EQ(clsDelaunay::SinalCruzado(m, m, -m, -m, m, m - 1), -1);
    EXPECT_EQ(clsDelaunay::SinalCruzado(-m, m, -m, -m, m, m), -1);
    EXPECT_EQ(clsDelaunay::SinalCruzado(m, -m, -m, -m, m, m), 1);
}
