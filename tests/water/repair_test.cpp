// The water panel's "Verif." and "Temát." commands of its own through the real
// panel and drawing host: the material of old and current pipe labels put
// right from the pipe-type table, the verification layer cleared, and the
// length tolerance bar with its label.

#include "PainelAgua.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/Block.h"
#include "water/WATDes.h"

using namespace watertest;
using namespace forms;

namespace {

class Verificacao : public PainelAguaTest {
protected:
    Verificacao() { WC.SetInterface(1); }

    // A label block of the older format with the attributes given.
    void DefineRotulo(const std::string& Nome, const std::vector<std::string>& Tags)
    {
        acad::Block* b = Doc().Blocks().Add({0, 0, 0}, Nome);
        b->AddLine({-5, 0, 0}, {5, 0, 0});
        double y = 1;
        for (const std::string& t : Tags) b->AddAttribute(1.0, 0, "", {0, y -= 2, 0}, t, "");
    }
    acad::BlockReference* Rotulo(const std::string& Nome, double x,
                                 const std::vector<std::pair<std::string, std::string>>& Valores)
    {
        acad::BlockReference* r = gModelSpace->InsertBlock({x, 0, 0}, Nome, 1, 1, 1, 0);
        for (const auto& [tag, valor] : Valores) SetAtributo(tag, valor, r);
        return r;
    }
    // Selects everything from -50,-50 to X,50 and corrects.
    void Corrige(double X)
    {
        script->Window({-50, -50, 0}, {X, 50, 0}).Enter();
        user::ChooseTab(WC.SSTools, 1);
        user::Click(WC.Command3);
    }
    static bool TemAtributo(acad::BlockReference* b, const std::string& Tag)
    {
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == Tag) return true;
        return false;
    }
};

}  // namespace

TEST_F(Verificacao, OldLabelsTakeTheMaterialOfTheirPipeTypeAndCurrentOnesStay)
{
    DefineRotulo("R-TUBO", {"TUBO", "MAT", "ETAPA"});
    DefineRotulo("R-TE", {"CÓDIGO", "MAT"});
    ASSERT_TRUE(CriaBlocoConexao("A-TUBO"));
    acad::BlockReference* pba = Rotulo("R-TUBO", 0, {{"TUBO", "PBA15DN50-6m"}, {"MAT", "PVC"}});
    // After a match, one that matches nothing gets nothing, not the last material.
    acad::BlockReference* nenhum = Rotulo("R-TUBO", 20, {{"TUBO", "XYZDN75-6m"}, {"MAT", "PVC"}});
    acad::BlockReference* inicio = Rotulo("R-TUBO", 40, {{"TUBO", "DNPBA15"}, {"MAT", "PVC"}});
    acad::BlockReference* semDN = Rotulo("R-TUBO", 60, {{"TUBO", "PBA20-6m"}, {"MAT", "PVC"}});
    acad::BlockReference* fofo = Rotulo("R-TUBO", 80, {{"TUBO", "FFK7DN100-6m"}, {"MAT", ""}});
    acad::BlockReference* atual = Rotulo("A-TUBO", 100, {{"CODIGO", "PE10DN50-6m"}, {"MATERIAL", "Tubo PVC"}});
    acad::BlockReference* te = Rotulo("R-TE", 120, {{"CÓDIGO", "TEDN50"}, {"MAT", "PVC"}});
    const std::size_t atributosAtual = atual->GetAttributes().size();

    Corrige(200);
    ASSERT_FALSE(mensagens.Lista().empty());
    EXPECT_EQ(mensagens.Lista().back().Texto, "6");
    EXPECT_EQ(Texto(pba, "MAT"), "Tubo PVC PBA JE Classe 15");
    EXPECT_EQ(Texto(nenhum, "MAT"), "");
    EXPECT_EQ(Texto(inicio, "MAT"), "");
    EXPECT_EQ(Texto(semDN, "MAT"), "");
    EXPECT_EQ(Texto(fofo, "MAT"), "Tubo FoFo K7 JGS");
    // The current label has no MAT and gets none; a fitting is not a label.
    EXPECT_FALSE(TemAtributo(atual, "MAT"));
    EXPECT_EQ(atual->GetAttributes().size(), atributosAtual);
    EXPECT_EQ(Texto(atual, "MATERIAL"), "Tubo PVC");
    EXPECT_EQ(Texto(te, "MAT"), "PVC");
    // The view is left on the last label, close up.
    EXPECT_EQ(Centro().X, 100);
    EXPECT_DOUBLE_EQ(Altura(), 20);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Verificacao, TheCodeComesFromCodigoBeforeTuboAndAnEmptySelectionOnlyCounts)
{
    DefineRotulo("R-TUBO", {"CODIGO", "TUBO", "MAT"});
    DefineRotulo("A-TUBO", {"MAT"});
    acad::BlockReference* ambos =
        Rotulo("R-TUBO", 0, {{"CODIGO", "PE10DN50-6m"}, {"TUBO", "PBA15DN50-6m"}, {"MAT", "PVC"}});
    acad::BlockReference* nenhum = Rotulo("A-TUBO", 20, {{"MAT", "PVC"}});

    // Nothing selected: the count alone.
    script->Escape();
    user::ChooseTab(WC.SSTools, 1);
    user::Click(WC.Command3);
    EXPECT_EQ(mensagens.Lista().back().Texto, "0");
    EXPECT_EQ(Texto(ambos, "MAT"), "PVC");

    Corrige(50);
    EXPECT_EQ(mensagens.Lista().back().Texto, "2");
    EXPECT_EQ(Texto(ambos, "MAT"), "Tubo PEAD PE100 PN10");
    EXPECT_EQ(Texto(nenhum, "MAT"), "");
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Verificacao, LimpaErasesTheVerificationLayerOnly)
{
    GetLayer("0-Conferencia", 0, "");
    acad::Entity* marca = gModelSpace->AddCircle({0, 0, 0}, 5);
    marca->SetLayer("0-Conferencia");
    gModelSpace->AddLightWeightPolyline({0, 0, 10, 10})->SetLayer("0-Conferencia");
    acad::Entity* rede = gModelSpace->AddLine({0, 0, 0}, {10, 0, 0});
    const std::int32_t id = rede->ObjectID();
    user::ChooseTab(WC.SSTools, 2);
    user::Click(WC.WarVerifLimpaCmd);
    int n = 0;
    for (acad::Entity* e : Doc().ModelSpace()) {
        ++n;
        EXPECT_EQ(e->ObjectID(), id);
    }
    EXPECT_EQ(n, 1);
}

TEST_F(Verificacao, TheToleranceLabelFollowsTheBar)
{
    EXPECT_EQ(WC.WatVerifScr.Min(), 5);
    EXPECT_EQ(WC.WatVerifScr.Max(), 100);
    EXPECT_EQ(WC.WatVerifScr.Value(), 10);
    EXPECT_EQ(WC.WatVerifLbl.Caption(), "10");
    user::ChooseTab(WC.SSTools, 2);
    user::Scroll(WC.WatVerifScr, 3);
    EXPECT_EQ(WC.WatVerifLbl.Caption(), std::to_string(WC.WatVerifScr.Value()));
    EXPECT_GT(WC.WatVerifScr.Value(), 10);
    user::Scroll(WC.WatVerifScr, -200);
    EXPECT_EQ(WC.WatVerifScr.Value(), 5);
    EXPECT_EQ(WC.WatVerifLbl.Caption(), "5");
    WC.WatVerifScr.SetValue(100);
    EXPECT_EQ(WC.WatVerifLbl.Caption(), "100");
}
