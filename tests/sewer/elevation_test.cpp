// The field rules of a manhole's and a reach's numbers, the elevation of a
// point (from a survey point, a free position, or interpolated between two),
// and the dialog that chooses how.

#include <gtest/gtest.h>

#include "SewerTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/CurveEntities.h"
#include "platform/forms/Testing.h"
#include "sewer/frmCalcCotaPT.h"

using namespace sewertest;

namespace {

class Cotas : public SewerTest {
protected:
    void PontoTopografico(const Ponto& P, const std::string& Nome, const std::string& Cota)
    {
        gModelSpace->AddPoint(P)->SetXData({1001, 1000, 1000}, {Nome, Cota, "-"});
    }
};

// Shows the dialog and lets `Usuario` act on it.
void Mostra(frmCalcCotaPT& F, const std::function<void(frmCalcCotaPT&)>& Usuario)
{
    forms::ScopedTestDriver driver([&](forms::Form& f) { Usuario(dynamic_cast<frmCalcCotaPT&>(f)); });
    F.Show(forms::vbModal);
}

}  // namespace

TEST_F(Cotas, ManholeRulesRecomputeTheDependentValue)
{
    std::string ct = "100.5", cs = "98,25", cp = "x";
    EXPECT_TRUE(des.Val_PVCtTer(3, ct, cs, cp));
    EXPECT_EQ(cs, "98.250");
    EXPECT_EQ(cp, "2.250");
    EXPECT_EQ(ct, "100.5");

    ct = "10";
    cp = "1.5";
    EXPECT_TRUE(des.Val_PVCtPrf(2, ct, cs, cp));
    EXPECT_EQ(ct, "10.00");
    EXPECT_EQ(cs, "8.50");

    cs = "7.25";
    EXPECT_TRUE(des.Val_PVCtSol(2, ct, cs, cp));
    EXPECT_EQ(cp, "2.75");

    // An empty field, or a lone separator, is 0.
    ct = "100";
    cs = "";
    cp = "x";
    EXPECT_TRUE(des.Val_PVCtTer(3, ct, cs, cp));
    EXPECT_EQ(cs + "|" + cp, "0.000|100.000");
    cs = ",";
    EXPECT_TRUE(des.Val_PVCtSol(3, ct, cs, cp));
    EXPECT_EQ(ct + "|" + cp, "100.000|100.000");
    cp = "";
    EXPECT_TRUE(des.Val_PVCtPrf(3, ct, cs, cp));
    EXPECT_EQ(cs, "100.000");
    ct = ".";
    cp = "2";
    EXPECT_TRUE(des.Val_PVCtPrf(3, ct, cs, cp));
    EXPECT_EQ(ct + "|" + cs, "0.000|-2.000");

    // A text that is not a number changes nothing, whichever field it is in.
    ct = "1O0";
    cs = "98";
    cp = "2";
    EXPECT_FALSE(des.Val_PVCtTer(3, ct, cs, cp));
    EXPECT_FALSE(des.Val_PVCtSol(3, ct, cs, cp));
    EXPECT_FALSE(des.Val_PVCtPrf(3, ct, cs, cp));
    EXPECT_EQ(ct + "|" + cs + "|" + cp, "1O0|98|2");
}

TEST_F(Cotas, ReachRulesKeepInvertsLengthSlopeAndDropTogether)
{
    std::string decl = "0.01", altura = "?";
    EXPECT_TRUE(des.Val_TRDecl(3, 10.0, 9.0, "50", decl, altura));
    EXPECT_EQ(altura, "0.500");
    altura = "0.5";
    decl = "?";
    EXPECT_TRUE(des.Val_TRAltr(6, 10.0, 9.0, "50", decl, altura));
    EXPECT_EQ(decl, "0.010000");
    // No length, no slope: the slope stays.
    EXPECT_FALSE(des.Val_TRAltr(6, 10.0, 9.0, "0", decl, altura));
    EXPECT_FALSE(des.Val_TRAltr(6, 10.0, 9.0, "5O", decl, altura));
    EXPECT_EQ(decl, "0.010000");

    // An emptied drop or slope is 0, and so is a lone separator.
    altura = "";
    EXPECT_TRUE(des.Val_TRAltr(6, 100.5, 100.0, "40", decl, altura));
    EXPECT_EQ(decl, "0.012500");
    altura = ",";
    decl = "?";
    EXPECT_TRUE(des.Val_TRAltr(6, 100.5, 100.0, "40", decl, altura));
    EXPECT_EQ(decl, "0.012500");
    decl = "";
    altura = "?";
    EXPECT_TRUE(des.Val_TRDecl(3, 100.5, 100.0, "50", decl, altura));
    EXPECT_EQ(altura, "0.500");
    // An emptied length is 0 too, as the reach would be drawn with it: the
    // slope then leaves the whole fall to the drop, and no slope follows from
    // a drop.
    decl = "0.01";
    altura = "?";
    EXPECT_TRUE(des.Val_TRDecl(3, 100.5, 99.7, "", decl, altura));
    EXPECT_EQ(altura, "0.800");
    altura = "0.3";
    EXPECT_FALSE(des.Val_TRAltr(6, 100.5, 99.7, "", decl, altura));
    EXPECT_TRUE(des.Val_TRDecl(3, 100.5, 99.7, ".", decl, altura));
    EXPECT_EQ(decl + "|" + altura, "0.01|0.800");
}

TEST_F(Cotas, APointsElevationComesFromASurveyPointOrAFreePosition)
{
    PontoTopografico(Ponto(12, 7, 101.25), "P1", "101.25");
    std::optional<Ponto> pt;
    script->Point({12.5, 7, 0});
    EXPECT_EQ(des.CalcCotaPoint(pt, true, false), "101.25");
    EXPECT_EQ(script->Prompts(), std::vector<std::string>{"Selecione ponto: "});
    ASSERT_TRUE(pt);
    EXPECT_EQ(pt->X, 12);
    EXPECT_EQ(Todos<acad::Circle>().size(), 1u);  // the picked point marked

    script->Point({5, 6, 42.5});
    EXPECT_EQ(des.CalcCotaPoint(pt, false, true), "42.5");
    EXPECT_EQ(*pt, Ponto(5, 6, 0));

    // Nothing picked: no elevation, the point as it was.
    script->Enter();
    EXPECT_EQ(des.CalcCotaPoint(pt, false, true), "");
    EXPECT_EQ(*pt, Ponto(5, 6, 0));
}

TEST_F(Cotas, AnElevationIsInterpolatedAlongTheLineOfTwoPoints)
{
    PontoTopografico(Ponto(0, 0, 10), "A", "10");
    PontoTopografico(Ponto(100, 0, 20), "B", "20");
    std::optional<Ponto> pt;
    script->Point({25, 7, 0}).Point({0, 0, 0}).Point({100, 0, 0});
    EXPECT_EQ(des.CalcCotaInterp(pt, false, false), "12.500");
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione local do PV: ", "Selecione Ponto 1: ", "Selecione Ponto 2: "}));
    EXPECT_EQ(*pt, Ponto(25, 7, 0));

    // Beyond A, away from B, the slope goes on downwards.
    des.gPRECCOTA = 2;
    script->Point({-25, -3, 0}).Point({0, 0, 0}).Point({100, 0, 0});
    EXPECT_EQ(des.CalcCotaInterp(pt, false, false), "7.50");

    // One place cancelled: every prompt is still asked, no elevation.
    script->Enter().Point({0, 0, 0}).Point({100, 0, 0});
    EXPECT_EQ(des.CalcCotaInterp(pt, false, false), "");
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());

    // The same point twice: told, no division by zero.
    script->Point({25, 7, 0}).Point({0, 0, 0}).Point({0, 0, 0});
    EXPECT_EQ(des.CalcCotaInterp(pt, false, false), "");
    const std::string aviso = "Os pontos 1 e 2 estão no mesmo local: não há como interpolar a cota entre eles.";
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{aviso});
}

TEST(frmCalcCotaPT, TheChoiceAndTheCheckBoxAreReadAfterItCloses)
{
    frmCalcCotaPT f;
    EXPECT_EQ(f.Titulo.Caption(), "Cota do Terreno");
    EXPECT_EQ(f.Command1.Caption(), "Sobre o Ponto");
    EXPECT_EQ(f.Command2.Caption(), "Interpolado");
    EXPECT_EQ(f.Check1.Caption(), "Evidenciar Erro de Zirizev");
    Mostra(f, [](frmCalcCotaPT& d) {
        forms::user::Click(d.Check1);
        forms::user::Click(d.Check1);
        forms::user::Click(d.Command2);
    });
    EXPECT_EQ(f.Opcao, 2);
    EXPECT_FALSE(f.EvidenciarErro);
    forms::Unload(f);

    frmCalcCotaPT g;
    Mostra(g, [](frmCalcCotaPT& d) {
        forms::user::Click(d.Check1);
        forms::user::Click(d.cmdEnd);
    });
    EXPECT_EQ(g.Opcao, 0);
    EXPECT_TRUE(g.EvidenciarErro);
    forms::Unload(g);

    frmCalcCotaPT h;
    Mostra(h, [](frmCalcCotaPT& d) { forms::user::Click(d.Command1); });
    EXPECT_EQ(h.Opcao, 1);
    EXPECT_FALSE(h.IsModal());
    forms::Unload(h);
}
