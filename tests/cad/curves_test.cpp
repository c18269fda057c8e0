// Point lists from every curve kind (arcs and bulges of half a circle and
// more, splines left in place) and the work on such lists.

#include <cmath>

#include "CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modGeometria.h"

using namespace cadtest;

namespace {

class Curvas : public CadTest {
protected:
    Curvas() { Conecta(); }
};

}  // namespace

TEST_F(Curvas, LinesArcsAndPolylinesWithTheirLengthAndDirection)
{
    double comp = -1;
    acad::Entity* linha = gModelSpace->AddLine({0, 0, 5}, {30, 40, 5});
    auto L = CurvaParaPontos(linha, comp, std::nullopt, 1);
    ASSERT_TRUE(L);
    EXPECT_EQ(*L, (std::vector<double>{0, 0, 30, 40}));
    EXPECT_DOUBLE_EQ(comp, 50);
    // Started at the end nearer to the reference point; same length.
    L = CurvaParaPontos(linha, comp, Ponto(29, 41), 1);
    EXPECT_EQ(*L, (std::vector<double>{30, 40, 0, 0}));
    EXPECT_DOUBLE_EQ(comp, 50);
    L = CurvaParaPontos(linha, comp, Ponto(15, 20), 1);  // equally near: as drawn
    EXPECT_EQ(*L, (std::vector<double>{0, 0, 30, 40}));

    // An arc of 270°, from 90° counterclockwise to 0°.
    acad::Entity* arco = gModelSpace->AddArc({0, 0, 0}, 10, PI / 2, 0);
    L = CurvaParaPontos(arco, comp, std::nullopt, 1);
    auto v = Vertices(*L);
    ASSERT_EQ(v.size(), 48u);
    ExpectPonto(v.front(), 0, 10);
    ExpectPonto(v.back(), 10, 0);
    for (const Ponto& p : v) EXPECT_NEAR(Distancia(Ponto(0, 0), p), 10, 1e-9);
    EXPECT_NEAR(comp, 15 * PI, 0.05);

    // A closed rectangle ends where it starts; its ring without repeats is its corners.
    acad::LWPolyline* ret = gModelSpace->AddLightWeightPolyline({0, 0, 10, 0, 10, 5, 0, 5});
    ret->SetClosed(true);
    L = CurvaParaPontos(ret, comp, std::nullopt, 1);
    EXPECT_EQ(*L, (std::vector<double>{0, 0, 10, 0, 10, 5, 0, 5, 0, 0}));
    EXPECT_DOUBLE_EQ(comp, 30);
    EXPECT_EQ(RemoveVerticesDuplicados(*L, true), (std::vector<double>{0, 0, 10, 0, 10, 5, 0, 5}));
}

TEST_F(Curvas, BulgesOfHalfACircleAndMoreBecomeArcs)
{
    // Two half circles: an "S" from (0,0) to (20,0).
    acad::LWPolyline* s = gModelSpace->AddLightWeightPolyline({0, 0, 10, 0, 20, 0});
    s->SetBulge(0, 1);
    s->SetBulge(1, -1);
    double comp = 0;
    auto L = CurvaParaPontos(s, comp, std::nullopt, 1);
    ASSERT_TRUE(L);
    auto v = Vertices(*L);
    EXPECT_NEAR(comp, 10 * PI, 0.2);
    ExpectPonto(v.front(), 0, 0);
    ExpectPonto(v.back(), 20, 0);
    double minY = 0, maxY = 0;
    for (const Ponto& p : v) {
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
        const Ponto c = p.X <= 10 ? Ponto(5, 0) : Ponto(15, 0);
        EXPECT_NEAR(Distancia(c, p), 5, 1e-6);
    }
    EXPECT_NEAR(minY, -5, 0.05);  // counterclockwise from (0,0) to (10,0) passes below
    EXPECT_NEAR(maxY, 5, 0.05);

    // Without a step the bulges stay chords.
    L = CurvaParaPontos(s, comp, std::nullopt, 0);
    EXPECT_EQ(*L, (std::vector<double>{0, 0, 10, 0, 20, 0}));
    EXPECT_DOUBLE_EQ(comp, 20);

    // The older 2-D polyline, closed, its last bulge closing the ring.
    acad::Polyline2D* p2 = gModelSpace->AddPolyline({0, 0, 0, 10, 0, 0});
    p2->SetBulge(1, 1);
    p2->SetClosed(true);
    L = CurvaParaPontos(p2, comp, std::nullopt, 1);
    v = Vertices(*L);
    ExpectPonto(v[1], 10, 0);
    ExpectPonto(v.back(), 0, 0);
    EXPECT_NEAR(comp, 10 + 5 * PI, 0.2);
    for (std::size_t k = 1; k < v.size(); ++k) EXPECT_GT(v[k].Y, -1e-9);  // back over the top
    // Opened, it keeps that bulge, which then draws nothing: no way back.
    p2->SetClosed(false);
    L = CurvaParaPontos(p2, comp, std::nullopt, 1);
    EXPECT_EQ(*L, (std::vector<double>{0, 0, 10, 0}));
    EXPECT_DOUBLE_EQ(comp, 10);

    // A spline-fitted 2-D polyline is refused with the message.
    p2->SetType(acad::PolylineType::QuadSpline);
    EXPECT_FALSE(CurvaParaPontos(p2, comp, std::nullopt, 1));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Edite a PolyLine");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Execute um Break em uma das extremidades da PolyLine.");
}

TEST_F(Curvas, SplinesStayInTheDrawingAndGivePointsOnTheCurve)
{
    acad::Spline* sp = gModelSpace->AddSpline({0, 0, 0, 10, 8, 0, 20, 0, 0, 30, -8, 0, 40, 0, 0}, {0, 0, 0}, {0, 0, 0});
    const int antes = gModelSpace->Count();
    acad::Entity* e = sp;
    double comp = 0;
    auto L = CurvaParaPontos(e, comp, std::nullopt, 2);
    ASSERT_TRUE(L);
    EXPECT_EQ(e, sp);
    EXPECT_FALSE(sp->IsErased());
    EXPECT_EQ(sp->Degree(), 3);  // not raised
    EXPECT_EQ(gModelSpace->Count(), antes);

    auto v = Vertices(*L);
    ExpectPonto(v.front(), 0, 0, 1e-6);
    ExpectPonto(v.back(), 40, 0, 1e-6);
    // Every point lies on the curve, the chords about the step apart.
    std::vector<Ponto> fina;
    for (int i = 0; i <= 20000; ++i)
        fina.push_back(sp->PointAt(sp->StartParameter() + (sp->EndParameter() - sp->StartParameter()) * i / 20000));
    for (const Ponto& p : v) {
        double perto = 1e9;
        for (const Ponto& q : fina) perto = std::min(perto, Distancia(p, q));
        EXPECT_LT(perto, 0.01);
    }
    for (std::size_t k = 1; k < v.size(); ++k) EXPECT_NEAR(Distancia(v[k - 1], v[k]), comp / (v.size() - 1), 0.05);
    EXPECT_GT(comp, 40);
    EXPECT_NEAR(comp / (v.size() - 1), 2, 0.25);

    // From the other end when the reference point says so.
    auto R = CurvaParaPontos(e, comp, Ponto(41, 0), 2);
    EXPECT_EQ(*R, InverteCoords(*L));
    // Without a step: the points the host draws it with, ends included.
    R = CurvaParaPontos(e, comp, std::nullopt, 0);
    ASSERT_TRUE(R);
    ExpectPonto(Vertices(*R).back(), 40, 0, 1e-6);
}

TEST_F(Curvas, OtherKindsAndNothingGiveNoList)
{
    double comp = 7;
    acad::Entity* circulo = gModelSpace->AddCircle({0, 0, 0}, 3);
    EXPECT_FALSE(CurvaParaPontos(circulo, comp, std::nullopt, 1));
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"coords2d AcDbCircle"});
    EXPECT_EQ(comp, 0);
    mensagens.Limpa();
    EXPECT_FALSE(CurvaParaPontos(nullptr, comp, std::nullopt, 1));
    acad::Entity* linha = gModelSpace->AddLine({0, 0, 0}, {1, 0, 0});
    linha->Delete();
    EXPECT_FALSE(CurvaParaPontos(linha, comp, std::nullopt, 1));
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST(Listas, LengthsAndPointsAlongAList)
{
    const std::vector<double> L{0, 0, 10, 0, 10, 10};
    EXPECT_DOUBLE_EQ(ComprimentoPolilinha(L), 20);
    EXPECT_DOUBLE_EQ(ComprimentoPolilinha({5, 5}), 0);
    EXPECT_DOUBLE_EQ(ComprimentoPolilinha({}), 0);

    int seg = -1;
    double dir = -1;
    auto p = PontoAoLongo(L, 0, seg, dir);
    ASSERT_TRUE(p);
    ExpectPonto(*p, 0, 0);
    EXPECT_EQ(seg, 0);
    EXPECT_DOUBLE_EQ(dir, 0);
    p = PontoAoLongo(L, 15, seg, dir);
    ExpectPonto(*p, 10, 5);
    EXPECT_EQ(seg, 1);
    EXPECT_DOUBLE_EQ(dir, PI / 2);
    seg = 9;
    dir = 9;
    EXPECT_FALSE(PontoAoLongo(L, 20, seg, dir));  // exactly the whole length
    EXPECT_FALSE(PontoAoLongo(L, 25, seg, dir));
    EXPECT_FALSE(PontoAoLongo({}, 0, seg, dir));
    EXPECT_EQ(seg, 9);
    EXPECT_EQ(dir, 9);

    // Spacing 3 along 10: the start, 3, 6 and 9.
    auto v = Vertices(PontosEspacados({0, 0, 10, 0}, 3, false));
    ASSERT_EQ(v.size(), 4u);
    for (int i = 0; i < 4; ++i) ExpectPonto(v[i], 3.0 * i, 0);
    // Keeping the vertices, in their place along the line.
    v = Vertices(PontosEspacados(L, 4, true));
    const std::vector<Ponto> esperados{{0, 0}, {4, 0}, {8, 0}, {10, 0}, {10, 2}, {10, 6}, {10, 10}};
    ASSERT_EQ(v.size(), esperados.size());
    for (std::size_t k = 0; k < v.size(); ++k) ExpectPonto(v[k], esperados[k].X, esperados[k].Y);
    // No spacing: no points between.
    EXPECT_EQ(PontosEspacados(L, 0, false), (std::vector<double>{0, 0}));
    EXPECT_EQ(PontosEspacados({}, 3, true), std::vector<double>{});
}

TEST(Listas, ReversingJoiningAndChaining)
{
    EXPECT_EQ(InverteCoords({1, 2, 3, 4, 5, 6}), (std::vector<double>{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(Coords3DPara2D({1, 2, 3, 4, 5, 6}), (std::vector<double>{1, 2, 4, 5}));
    EXPECT_EQ(Coords2DPara3D({1, 2, 4, 5}), (std::vector<double>{1, 2, 0, 4, 5, 0}));

    EXPECT_EQ(JuntaCoords({0, 0, 1, 1}, {1.0005, 0.9995, 2, 2}), (std::vector<double>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(JuntaCoords({0, 0, 1, 1}, {1.002, 1, 2, 2}), (std::vector<double>{0, 0, 1, 1, 1.002, 1, 2, 2}));
    EXPECT_EQ(JuntaCoords({}, {1, 1}), (std::vector<double>{1, 1}));

    const std::vector<double> A{0, 0, 10, 0}, B{10.2, 0.1, 20, 0};
    EXPECT_EQ(EncadeiaLinhas(A, B), (std::vector<double>{0, 0, 10, 0, 10.2, 0.1, 20, 0}));
    EXPECT_EQ(EncadeiaLinhas(A, InverteCoords(B)), (std::vector<double>{0, 0, 10, 0, 10.2, 0.1, 20, 0}));
    // Touching only start to start: the first reversed, then the second.
    EXPECT_EQ(EncadeiaLinhas({5, 5, 10, 10}, {5.1, 5, 0, 5}), (std::vector<double>{10, 10, 5, 5, 5.1, 5, 0, 5}));
    EXPECT_EQ(EncadeiaLinhas({5, 5, 10, 10}, {0, 5, 5.1, 5.2}), (std::vector<double>{10, 10, 5, 5, 5.1, 5.2, 0, 5}));
    EXPECT_FALSE(EncadeiaLinhas({0, 0, 1, 0}, {1.3, 0, 2, 0}));
    EXPECT_FALSE(EncadeiaLinhas({}, {1, 0}));

    // Repeats within 0.01 dropped; the ring's closing vertex is never copied.
    EXPECT_EQ(RemoveVerticesDuplicados({0, 0, 0.005, 0.005, 5, 0, 5, 5, 0, 0}, false),
              (std::vector<double>{0.005, 0.005, 5, 0, 5, 5}));
    EXPECT_EQ(RemoveVerticesDuplicados({0, 0, 5, 0, 5, 5, 0.004, 0, 0, 0.02}, true),
              (std::vector<double>{0, 0, 5, 0, 5, 5}));
}

TEST_F(Curvas, ListsAreNotBoundBy16BitCounters)
{
    std::vector<double> muitos;
    for (int i = 0; i < 20000; ++i) {
        muitos.push_back(i);
        muitos.push_back(i % 2);
    }
    acad::Entity* pl = gModelSpace->AddLightWeightPolyline(muitos);
    double comp = 0;
    auto L = CurvaParaPontos(pl, comp, Ponto(20000, 0), 1);
    ASSERT_TRUE(L);
    ASSERT_EQ(L->size(), 40000u);
    EXPECT_EQ((*L)[0], 19999);
    EXPECT_NEAR(comp, 19999 * std::sqrt(2.0), 1e-6);
    int seg = 0;
    double dir = 0;
    ASSERT_TRUE(PontoAoLongo(*L, comp - 0.5, seg, dir));
    EXPECT_EQ(seg, 19998);
    EXPECT_EQ(PontosEspacados(*L, 0.5, false).size(), 2 * (static_cast<std::size_t>(comp / 0.5) + 1));
}
