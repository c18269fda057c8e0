// Moving the attribute texts of manholes and reaches, with their leaders, and
// freezing and restoring the sewer text layers.

#include <gtest/gtest.h>

#include <cmath>

#include "SewerTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/PolylineEntities.h"
#include "sewer/modTextosSAN.h"

using namespace sewertest;

namespace {

class Textos : public SewerTest {
protected:
    Textos() { GetLayer("TEXTO_PV", 3, ""); }

    std::vector<acad::LWPolyline*> Guias() { return Todos<acad::LWPolyline>(); }
    static double Largura(const acad::Entity* E)
    {
        acad::Point3d a, b;
        E->GetBoundingBox(a, b);
        return b.x - a.x;
    }
    // The user picks the text `Tag` of `Bloco`.
    void Escolhe(const acad::BlockReference* Bloco, const std::string& Tag)
    {
        script->Point(MeioDoTexto(Atributo(Bloco, Tag)));
    }
    void EsperaTexto(const acad::BlockReference* B, const std::string& Tag, int Alinhamento, const Ponto& P)
    {
        acad::AttributeReference* a = Atributo(B, Tag);
        EXPECT_EQ(a->Alignment(), Alinhamento) << Tag;
        EXPECT_TRUE(Perto(a->TextAlignmentPoint(), P)) << Tag;
        EXPECT_DOUBLE_EQ(a->Rotation(), 0.0) << Tag;
    }
    acad::BlockReference* TrechoComDegrau()
    {
        std::string codigo;
        return des.DrawTR(PV(Ponto(0, 0), "1", "100.000"), PV(Ponto(50, 0), "2", "99.000"), "150", "50.00", "0.010000",
                          "PVC", 1, "1-2", "Terra", codigo);
    }
};

}  // namespace

TEST_F(Textos, ManholeElevationsAreArrangedBesideTheDestinationWithALeader)
{
    acad::BlockReference* pv = PV(Ponto(0, 0), "PV-1", "98.500");
    app->ZoomCenter({0, 0, 0}, 40);  // picks as precise as a person's
    Escolhe(pv, "CT");
    script->Point({20, 10, 0}).Enter();
    des.MoverAtt();
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione Objeto: ", "Selecione destino: ", "Selecione Objeto: "}));
    EXPECT_EQ(script->Requests()[1].basePoint, acad::Point3d(0, 0, 0));

    // Right of the manhole: ground over invert in one right-aligned column, depth outside it.
    const double W = Largura(Atributo(pv, "CT")) + 1;
    EsperaTexto(pv, "CT", 14, Ponto(20 + W, 10, 0));
    EsperaTexto(pv, "CS", 8, Ponto(20 + W, 9.59, 0));
    EsperaTexto(pv, "CP", 9, Ponto(20 + W, 9.7, 0));
    ASSERT_EQ(Guias().size(), 1u);
    acad::LWPolyline* guia = Guias()[0];
    EXPECT_EQ(guia->Layer(), "TEXTO_PV");
    ASSERT_EQ(guia->NumberOfVertices(), 3);
    EXPECT_TRUE(Perto(guia->Coordinate(0), PontoPolar(Ponto(0, 0), Azimute(Ponto(0, 0), Ponto(20, 10)), 1.0)));
    EXPECT_TRUE(Perto(guia->Coordinate(1), Ponto(20, 10, 0)));
    EXPECT_TRUE(Perto(guia->Coordinate(2), Ponto(20 + W, 10, 0)));

    // Moved again, to the left: the old leader goes, a new one comes.
    Escolhe(pv, "CS");
    script->Point({-20, 10, 0}).Enter();
    des.MoverAtt();
    EsperaTexto(pv, "CT", 14, Ponto(-20, 10, 0));
    EsperaTexto(pv, "CS", 8, Ponto(-20, 9.59, 0));
    EsperaTexto(pv, "CP", 11, Ponto(-20 - W, 9.7, 0));
    ASSERT_EQ(Guias().size(), 1u);
    EXPECT_TRUE(Perto(Guias()[0]->Coordinate(2), Ponto(-20 - W, 10, 0)));
    EXPECT_EQ(Atributos(pv).at("CT"), "100.000");  // texts moved, never changed
}

TEST_F(Textos, AManholeNumberFollowsThePickWhetherOnTheTextOrOnTheBlock)
{
    acad::BlockReference* pv = PV(Ponto(0, 0), "PV-1", "98.500");
    Escolhe(pv, "NUMERO");
    script->Point({8, -6, 0});
    // A pick on the symbol's circle stands for the number.
    script->Point({0, -1, 0}).Point({-8, 6, 0}).Enter();
    app->ZoomCenter({0, 0, 0}, 40);
    acad::Point3d antes = Atributo(pv, "NUMERO")->InsertionPoint();
    des.MoverAtt();
    EXPECT_NE(Ponto(antes), Ponto(Atributo(pv, "NUMERO")->InsertionPoint()));
    EXPECT_TRUE(Perto(Atributo(pv, "NUMERO")->InsertionPoint(), Ponto(-8, 6, 0)));
    EXPECT_EQ(script->Remaining(), 0u);
    ASSERT_EQ(Guias().size(), 2u);
    EXPECT_TRUE(Perto(Guias()[1]->Coordinate(0), Ponto(0, 0, 0)));
    EXPECT_TRUE(Perto(Guias()[1]->Coordinate(1), Ponto(-8, 6, 0)));
}

TEST_F(Textos, ReachTextsGoToADestinationOrBackToTheirPlacesAlongTheReach)
{
    acad::BlockReference* tr = TrechoComDegrau();
    app->ZoomCenter({25, 0, 0}, 40);
    Escolhe(tr, "DD");
    script->Point({35, 30, 0}).Enter();
    des.MoverAtt();
    const double W = Largura(Atributo(tr, "DD"));
    acad::Point3d a, b;
    Atributo(tr, "DD")->GetBoundingBox(a, b);
    const double H = b.y - a.y;
    EsperaTexto(tr, "DD", 13, Ponto(35 + W / 2, 30, 0));
    EsperaTexto(tr, "DEC", 7, Ponto(35 + W / 2, 29.7, 0));
    EsperaTexto(tr, "TRECHO", 7, Ponto(35 + W / 2, 31 + 2 * H, 0));
    ASSERT_EQ(Guias().size(), 1u);
    EXPECT_TRUE(Perto(Guias()[0]->Coordinate(0), Ponto(25, 0, 0)));  // no rim for a reach

    // The destination refused: back to the standard places, the leader (in
    // view, as the texts the user works on are) gone.
    app->ZoomCenter({30, 15, 0}, 50);
    Escolhe(tr, "DEC");
    script->Enter().Enter();
    des.MoverAtt();
    EsperaTexto(tr, "TRECHO", 13, Ponto(25, 3.1578, 0));
    EsperaTexto(tr, "DD", 13, Ponto(25, 1.1713, 0));
    EsperaTexto(tr, "DEC", 7, Ponto(25, -1.9397, 0));
    EXPECT_TRUE(Guias().empty());

    // A mirrored reach (east to west) keeps its name above the line, upright.
    std::string codigo;
    acad::BlockReference* espelho = des.DrawTR(PV(Ponto(50, 100), "3", "100.000"), PV(Ponto(0, 100), "4", "99.500"),
                                               "150", "50.00", "0.01", "PVC", 1, "3-4", "Terra", codigo);
    ASSERT_DOUBLE_EQ(espelho->YScaleFactor(), -1.0);
    // A pick on the block's arrow (turned half round) stands for its name.
    app->ZoomCenter({25, 100, 0}, 10);
    script->Point({25.9, 100.3, 0}).Enter().Enter();
    des.MoverAtt();
    EXPECT_EQ(script->Prompts()[script->Prompts().size() - 2], "Selecione destino: ");
    acad::AttributeReference* nome = Atributo(espelho, "TRECHO");
    EXPECT_TRUE(Perto(nome->TextAlignmentPoint(), Ponto(25, 103.1578, 0)));
    EXPECT_NEAR(std::remainder(nome->Rotation(), 2 * PI), 0.0, 1e-9);  // π − π
}

TEST_F(Textos, DropTextsMoveTogetherWithALeaderFromTheDownstreamEnd)
{
    acad::BlockReference* tr = TrechoComDegrau();
    app->ZoomCenter({50, 0, 0}, 40);
    Escolhe(tr, "TCS");
    script->Point({60, 10, 0}).Enter();
    des.MoverAtt();
    EXPECT_EQ(script->Requests()[1].basePoint, acad::Point3d(48.75, 0, 0));
    EsperaTexto(tr, "TCP", 12, Ponto(60, 10, 0));
    EsperaTexto(tr, "TCS", 6, Ponto(60, 9.7, 0));
    const double largura = std::max(Largura(Atributo(tr, "TCP")), Largura(Atributo(tr, "TCS")));
    ASSERT_EQ(Guias().size(), 1u);
    EXPECT_TRUE(Perto(Guias()[0]->Coordinate(0), Ponto(48.75, 0, 0)));
    EXPECT_TRUE(Perto(Guias()[0]->Coordinate(2), Ponto(60 + largura, 10, 0)));

    // A pick on anything but a sewer block ends the command.
    gModelSpace->AddCircle({0, -50, 0}, 2);
    script->Point({2, -50, 0}).Point({60, 10, 0});
    des.MoverAtt();
    EXPECT_EQ(script->Remaining(), 1u);
}

TEST_F(Textos, TextLayersAreFrozenForASelectionAndRestoredAfter)
{
    GetLayer("N_PV", 2, "");
    GetLayer("TRECHOS", 3, "");
    GetLayer("Num_Trecho", 4, "");
    Doc().Layers().Item("Num_Trecho")->SetFreeze(true);

    // A restore with nothing saved leaves the user's frozen layer alone.
    SalvaLayersTexto(false);
    EXPECT_TRUE(Doc().Layers().Item("Num_Trecho")->Freeze());

    SalvaLayersTexto(true);
    EXPECT_TRUE(Doc().Layers().Item("N_PV")->Freeze());
    EXPECT_TRUE(Doc().Layers().Item("TRECHOS")->Freeze());
    EXPECT_FALSE(Doc().Layers().Find("GEN_Coletor"));  // missing layers are passed over
    SalvaLayersTexto(false);
    EXPECT_FALSE(Doc().Layers().Item("N_PV")->Freeze());
    EXPECT_FALSE(Doc().Layers().Item("TRECHOS")->Freeze());
    EXPECT_TRUE(Doc().Layers().Item("Num_Trecho")->Freeze());
}
