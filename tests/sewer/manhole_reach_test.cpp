// Designed manholes and the reach between two of them: blocks, layers,
// attributes, rotation, the mirror rule, the drop code and refused numbers.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>

#include "SewerTestSupport.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/CurveEntities.h"
#include "sewer/clsSANDes.h"

using namespace sewertest;

namespace {

class Rede : public SewerTest {
protected:
    // A reach from a manhole at P1 (CS 100.000) to one at P2 (CS `CS2`), 50 long
    // and 0.01 steep as written, PVC 150, stage 2.
    acad::BlockReference* Trecho(const Ponto& P1, const Ponto& P2, const std::string& CS2,
                                 const std::string& Comp = "50.00")
    {
        acad::BlockReference* pvm = PV(P1, "1", "100.000");
        acad::BlockReference* pvj = PV(P2, "2", CS2);
        return des.DrawTR(pvm, pvj, "150", Comp, "0.010000", "PVC", 2, "1-2", "Asfalto", codigo);
    }
    std::string codigo = "?";
};

}  // namespace

TEST_F(Rede, AManholeIsInsertedWithItsAttributesAtTheAskedPlaceAndDirection)
{
    script->Point({20, 30, 0}).Angle(PI / 2);
    acad::BlockReference* pv =
        des.DrawPV(std::nullopt, std::nullopt, "E-PV", "PV-12", "101.250", "99.800", "1.450", 2, false);
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Ponto de inserção: ", "Direção: "}));
    EXPECT_EQ(script->Requests()[1].basePoint, acad::Point3d(20, 30, 0));
    EXPECT_EQ(pv->Name(), "E-PV");
    EXPECT_EQ(pv->Layer(), "PV");
    EXPECT_EQ(Ponto(pv->InsertionPoint()), Ponto(20, 30, 0));
    EXPECT_DOUBLE_EQ(pv->Rotation(), PI / 2);
    const std::map<std::string, std::string> escritos = {
        {"NUMERO", "PV-12"}, {"CT", "101.250"}, {"CS", "99.800"}, {"CP", "1.450"}, {"ET", "2"}};
    EXPECT_EQ(Atributos(pv), escritos);
    // The block turns, its texts stay horizontal.
    for (acad::AttributeReference* a : pv->GetAttributes()) EXPECT_DOUBLE_EQ(a->Rotation(), 0.0) << a->TagString();

    // A rotation of 0 given is used; a given point asks nothing.
    script->Point({0, 0, 0});
    acad::BlockReference* pv2 = des.DrawPV(Ponto(40, 30), 0.0, "E-PV", "PV-13", "", "", "", 0, false);
    ASSERT_NE(pv2, nullptr);
    EXPECT_EQ(script->Remaining(), 1u);
    EXPECT_EQ(Atributos(pv2).at("ET"), "0");
    EXPECT_EQ(Atributos(pv2).at("CT"), "");

    // Escape at the direction: nothing is inserted.
    script->Escape();
    EXPECT_EQ(des.DrawPV(std::nullopt, std::nullopt, "E-PV", "PV-14", "", "", "", 0, false), nullptr);
    EXPECT_EQ(Blocos("E-PV").size(), 2u);
    EXPECT_DOUBLE_EQ(des.ValorParam("E-PV250"), 1.25);
    EXPECT_DOUBLE_EQ(des.ValorParam("E-NADA"), 0.0);
}

TEST_F(Rede, AManholeTurnedAnyWayKeepsItsTextsStackedUprightBesideIt)
{
    // The texts' boxes, relative to the insertion point, of a manhole turned by R.
    const auto caixas = [&](double R, double X) {
        acad::BlockReference* pv = des.DrawPV(Ponto(X, 0), R, "E-PV", "PV-7", "101.981", "100.020", "1.961", 1, false);
        std::vector<std::array<double, 4>> v;
        for (acad::AttributeReference* a : pv->GetAttributes()) {
            if (a->Invisible()) continue;
            acad::Point3d c[4];
            a->TextBoxCorners(c);
            std::array<double, 4> b = {1e9, 1e9, -1e9, -1e9};
            for (const acad::Point3d& p : c)
                b = {std::min(b[0], p.x - X), std::min(b[1], p.y), std::max(b[2], p.x - X), std::max(b[3], p.y)};
            v.push_back(b);
        }
        return v;
    };
    const auto direito = caixas(0, 0);
    ASSERT_EQ(direito.size(), 4u);
    for (std::size_t i = 0; i < direito.size(); ++i)
        for (std::size_t j = i + 1; j < direito.size(); ++j)
            EXPECT_FALSE(direito[i][0] < direito[j][2] && direito[j][0] < direito[i][2] &&
                         direito[i][1] < direito[j][3] && direito[j][1] < direito[i][3])
                << i << " over " << j;
    for (int graus : {90, 180, 270}) {
        const auto girado = caixas(graus * PI / 180, graus);
        ASSERT_EQ(girado.size(), direito.size());
        for (std::size_t i = 0; i < direito.size(); ++i)
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(girado[i][k], direito[i][k], 1e-9) << graus << "° text " << i;
    }
}

TEST_F(Rede, AReachCarriesItsDataBetweenTheRimsOnItsDiameterAndStageLayer)
{
    acad::BlockReference* tr = Trecho(Ponto(0, 0), Ponto(50, 0), "99.000");
    ASSERT_NE(tr, nullptr);
    EXPECT_EQ(codigo, "D");  // a drop of 0.500 within PVC 150's step limit of 500
    EXPECT_EQ(tr->Name(), "E-TRSAN");
    EXPECT_EQ(tr->Layer(), "FLUXO");
    EXPECT_EQ(Ponto(tr->InsertionPoint()), Ponto(25, 0, 0));
    EXPECT_DOUBLE_EQ(tr->YScaleFactor(), 1.0);
    const auto a = Atributos(tr);
    EXPECT_EQ(a.at("DD"), "150-50.00");
    EXPECT_EQ(a.at("DEC"), "0.010000");
    EXPECT_EQ(a.at("MAT"), "PVC");
    EXPECT_EQ(a.at("ET"), "2");
    EXPECT_EQ(a.at("PV1"), "0.0000,0.0000");
    EXPECT_EQ(a.at("PV2"), "50.0000,0.0000");
    EXPECT_EQ(a.at("TRECHO"), "1-2");
    EXPECT_EQ(a.at("PAVMTO"), "Asfalto");
    EXPECT_EQ(a.at("TCP"), "0.500");
    EXPECT_EQ(a.at("TCS"), "99.500");
    EXPECT_EQ(a.at("TQ"), "");
    EXPECT_EQ(a.at("DG"), "O");

    acad::AttributeReference* pv2 = Atributo(tr, "PV2");
    EXPECT_EQ(Ponto(pv2->InsertionPoint()), Ponto(50, 0, 0));
    EXPECT_DOUBLE_EQ(pv2->Height(), 0.00001);
    EXPECT_TRUE(pv2->Visible());
    // The drop texts at the end-text point, 0.25 before the flow line's end.
    for (const char* tag : {"TCP", "TCS", "TQ", "DG"})
        EXPECT_EQ(Ponto(Atributo(tr, tag)->TextAlignmentPoint()), Ponto(48.75, 0, 0)) << tag;
    EXPECT_EQ(Atributo(tr, "DG")->Alignment(), 10);
    for (acad::AttributeReference* at : tr->GetAttributes()) EXPECT_FALSE(at->Backward());

    const auto linhas = Todos<acad::Line>();
    ASSERT_EQ(linhas.size(), 1u);
    EXPECT_EQ(Ponto(linhas[0]->StartPoint()), Ponto(1, 0, 0));  // E-PV's rim: DwgDiam 1
    EXPECT_EQ(Ponto(linhas[0]->EndPoint()), Ponto(49, 0, 0));
    EXPECT_EQ(linhas[0]->Layer(), "T_150_E2");
    acad::Layer* camada = Doc().Layers().Item("T_150_E2");
    EXPECT_EQ(camada->Color(), 1);
    EXPECT_EQ(camada->Linetype(), "DASHDOT");
}

TEST_F(Rede, TheDropDecidesBetweenNoneStepAndDropPipe)
{
    const auto codigoDe = [&](const std::string& CS2, double x) {
        Trecho(Ponto(x, 100), Ponto(x + 50, 100), CS2);
        return codigo;
    };
    EXPECT_EQ(codigoDe("99.4995", 0), "");    // 0.0005: below 0.001
    EXPECT_EQ(codigoDe("99.499", 100), "D");  // 0.001 is looked up
    EXPECT_EQ(codigoDe("98.990", 200), "T");  // 0.51 beyond the limit
    const auto tr = Blocos("E-TRSAN");
    ASSERT_EQ(tr.size(), 3u);
    // Without a code the drop texts keep their defined values; the marks move all the same.
    EXPECT_EQ(Atributos(tr[0]).at("TCP"), "");
    EXPECT_EQ(Atributos(tr[0]).at("DG"), "");
    EXPECT_EQ(Ponto(Atributo(tr[0], "TQ")->TextAlignmentPoint()), Ponto(48.75, 100, 0));
    EXPECT_EQ(Atributos(tr[2]).at("TQ"), "O");
    EXPECT_EQ(Atributos(tr[2]).at("DG"), "O");
    EXPECT_EQ(Atributos(tr[2]).at("TCP"), "0.510");

    // A diameter the material does not have: no code even with a drop.
    acad::BlockReference* pvm = PV(Ponto(0, 200), "7", "100.000");
    acad::BlockReference* pvj = PV(Ponto(50, 200), "8", "98.000");
    ASSERT_NE(des.DrawTR(pvm, pvj, "375", "50.00", "0.01", "PVC", 1, "7-8", "Terra", codigo), nullptr);
    EXPECT_EQ(codigo, "");
    EXPECT_EQ(Todos<acad::Line>().back()->Layer(), "T_375");  // stage 1 has no suffix
}

TEST_F(Rede, ReachesPointingLeftAreMirroredToReadFromLeftToRight)
{
    struct Caso {
        double direcao;
        bool espelhado;
    };
    const Caso casos[] = {{0.0, false},   {PI, true},          {PI / 2, false},
                          {1.5711, true}, {3 * PI / 2, false}, {4.7119, true}};
    double y = 0;
    for (const Caso& c : casos) {
        const Ponto p1(0, y);
        acad::BlockReference* tr = Trecho(p1, PontoPolar(p1, c.direcao, 50), "99.000");
        ASSERT_NE(tr, nullptr);
        EXPECT_NEAR(tr->Rotation(), c.direcao, 1e-9);
        EXPECT_DOUBLE_EQ(tr->YScaleFactor(), c.espelhado ? -1.0 : 1.0) << c.direcao;
        for (acad::AttributeReference* a : tr->GetAttributes())
            EXPECT_EQ(a->Backward(), c.espelhado) << c.direcao << " " << a->TagString();
        y += 200;
    }
}

TEST_F(Rede, AReachThatCannotBeComputedDrawsNothing)
{
    acad::BlockReference* pvm = PV(Ponto(0, 0), "1", "100.000");
    acad::BlockReference* pvj = PV(Ponto(50, 0), "2", "cota?");
    EXPECT_EQ(des.DrawTR(pvm, pvj, "150", "50,0x", "0.01", "PVC", 1, "1-2", "Terra", codigo), nullptr);
    EXPECT_EQ(codigo, "");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "O trecho 1-2 não foi desenhado:\nO comprimento \"50,0x\" não é um número.\n"
              "A cota de soleira (CS) do PV de jusante \"cota?\" não é um número.");
    EXPECT_TRUE(Todos<acad::Line>().empty());
    EXPECT_TRUE(Blocos("E-TRSAN").empty());

    // Two manholes at one place have no direction.
    acad::BlockReference* pvx = PV(Ponto(0, 0), "3", "99.000");
    EXPECT_EQ(des.DrawTR(pvm, pvx, "150", "0", "0.01", "PVC", 1, "1-3", "Terra", codigo), nullptr);
    EXPECT_TRUE(Todos<acad::Line>().empty());
    EXPECT_EQ(mensagens.Lista().size(), 2u);
}

TEST_F(Rede, AManholeWithADropIntoItIsPickedAnywhereOnItsCircle)
{
    // Reaches with a step (drop 0.5) and with a drop pipe (drop 0.6), along
    // and against the X axis (mirrored), and slanting both ways.
    struct Caso {
        double direcao;
        const char* cs2;
        const char* codigo;
    };
    const Caso casos[] = {{0.0, "99.000", "D"},        {0.0, "98.900", "T"},    {PI, "99.000", "D"},
                          {PI, "98.900", "T"},         {PI / 4, "98.900", "T"}, {3 * PI / 4, "98.900", "T"},
                          {5 * PI / 4, "99.000", "D"}, {-PI / 3, "98.900", "T"}};
    double y = 0;
    for (const Caso& c : casos) {
        const Ponto p1(0, y);
        const Ponto p2 = PontoPolar(p1, c.direcao, 50);
        acad::BlockReference* tr = Trecho(p1, p2, c.cs2);
        ASSERT_NE(tr, nullptr);
        ASSERT_EQ(codigo, c.codigo);
        acad::BlockReference* pvm = Blocos("E-PV").end()[-2];
        acad::BlockReference* pvj = Blocos("E-PV").back();
        // The drop texts end 0.25 before the flow line's end and run upstream.
        for (const char* tag : {"TCP", "TCS"}) {
            acad::Point3d a, b;
            Atributo(tr, tag)->GetBoundingBox(a, b);
            const Ponto meio((a.x + b.x) / 2, (a.y + b.y) / 2);
            EXPECT_GT(Distancia(meio, p2), Distancia(Ponto(a.x, a.y), Ponto(b.x, b.y)) / 2 + 0.5)
                << tag << " " << c.direcao;
        }
        // Every point of both circles but the two where the flow line meets them,
        // and those the box of the drop pipe's letter covers (an "O" 0.65 wide
        // centred 1.25 upstream reaches 0.07 into the circle): there the reach is picked.
        std::optional<std::pair<acad::Point3d, acad::Point3d>> queda;
        for (acad::AttributeReference* a : tr->GetAttributes())
            if (a->TagString() == "TQ" && !a->TextString().empty()) {
                acad::Point3d lo, hi;
                a->GetBoundingBox(lo, hi);
                queda = std::make_pair(lo, hi);
            }
        EXPECT_EQ(queda.has_value(), std::string(c.codigo) == "T");
        for (acad::BlockReference* pv : {pvj, pvm}) {
            const Ponto centro = pv->InsertionPoint();
            app->ZoomCenter({centro.X, centro.Y, 0}, 20);
            for (int k = 0; k < 36; ++k) {
                const Ponto p = PontoPolar(centro, (5.0 + 10.0 * k) * PI / 180 + c.direcao, 1.0);
                if (queda && p.X >= queda->first.x && p.X <= queda->second.x && p.Y >= queda->first.y &&
                    p.Y <= queda->second.y)
                    continue;
                script->Point({p.X, p.Y, 0});
                Ponto escolhido;
                bool falhou = true;
                acad::Entity* e = AtivaAcad("Selecione PV 2: ", 0, escolhido, falhou, "");
                EXPECT_EQ(e, pv) << c.direcao << " " << c.codigo << " " << (5 + 10 * k) << "°";
            }
        }
        y += 200;
    }
}
