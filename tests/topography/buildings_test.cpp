// The building registry of the "Cadastro" tab: each type's fields and focus,
// Enter walking to the insertion, the arrows stepping through the types, the
// rotation left to the user for all but the residential kinds, the marker of
// a low threshold beside a building, and the quantity table.

#include <gtest/gtest.h>

#include <cmath>

#include "TopoTestSupport.h"
#include "cad/modDesenho.h"
#include "platform/acad/CommandLine.h"
#include "shell/modGlobais.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "platform/forms/Testing.h"
#include "topography/TOPDes.h"

using namespace topotest;
using namespace forms;

namespace {

class Cadastro : public TopoTest {
protected:
    Cadastro() : TD(painel.TD)
    {
        TD.Start();
        user::ChooseTab(TD.SSTopo, 1);
        user::ChooseTab(TD.SSTopo, 0);
        fim = Doc().EndCommand.Connect([this](const std::string& n) { comandos.push_back(n); });
    }
    ~Cadastro() override { fim.Disconnect(); }

    void Escolhe(int Tipo)
    {
        user::MouseDown(TD.Im(Tipo), vbLeftButton, 0, 5, 5);
        user::MouseUp(TD.Im(Tipo), vbLeftButton, 0, 5, 5);
        forms::DoEvents();
    }
    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) v.push_back(b);
        return v;
    }
    std::string Atributo(acad::BlockReference* b, const std::string& Tag)
    {
        return GetAtributo(Tag, b).value_or("<sem atributo>");
    }
    // A building placed as the user of the common tools panel would leave it.
    acad::BlockReference* Edificacao(const std::string& Bloco, const Ponto& P, const std::string& Economias)
    {
        EXPECT_TRUE(DefineBloco(Bloco, false));
        acad::BlockReference* b = Doc().ModelSpace().InsertBlock(P, Bloco, 1, 1, 1, 0);
        SetAtributo("ECONOMIAS", Economias, b);
        return b;
    }

    FormTopo painel;
    TOPDes98& TD;
    std::vector<std::string> comandos;
    platform::Event<std::string>::Connection fim;
};

TEST_F(Cadastro, EachTypeShowsItsFieldsTakesTheFocusAndEnterWalksToTheInsertion)
{
    // The tab change chose the single-family type.
    EXPECT_EQ(TD.BlocoCadastro(), "CAD_RUF");
    EXPECT_EQ(TD.CADlbl2.Caption(), "Residencial UniFamiliar");
    struct Caso {
        int tipo;
        const char* bloco;
        const char* legenda;
        bool visiveis[4];
        int foco;
    };
    const Caso casos[] = {{0, "CAD_RUF", "Residencial UniFamiliar", {false, true, false, false}, 1},
                          {1, "CAD_RMF", "Residencial Multifamiliar", {false, true, true, false}, 1},
                          {2, "CAD_MIX", "Edificação Mista", {true, true, true, true}, 0},
                          {3, "CAD_COM", "Edificação Comercial", {true, true, false, true}, 0},
                          {4, "CAD_IND", "Edificação Industrial", {true, true, false, false}, 0},
                          {5, "CAD_SVP", "Serviços Públicos", {true, true, false, false}, 0}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tipo);
        TD.CADtxt(c.foco).SetText("abc");
        Escolhe(c.tipo);
        EXPECT_EQ(TD.TipoCadastro(), c.tipo);
        EXPECT_EQ(TD.BlocoCadastro(), c.bloco);
        EXPECT_EQ(TD.CADlbl2.Caption(), c.legenda);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(TD.CADtxt(i).Visible(), c.visiveis[i]) << i;
            EXPECT_EQ(TD.CADlbl(i).Visible(), c.visiveis[i]) << i;
        }
        EXPECT_TRUE(TD.CADtxt(c.foco).HasFocus());
        EXPECT_EQ(TD.CADtxt(c.foco).SelLength(), 3) << "o texto fica selecionado";
    }

    // Commercial: Enter walks Nome -> Número -> Comercios and then inserts,
    // leaving the new building turning about its point.
    Escolhe(3);
    user::Type(TD.CADtxt(0), "Padaria");
    user::PressKey(TD.CADtxt(0), vbKeyReturn);
    EXPECT_TRUE(TD.CADtxt(1).HasFocus());
    user::Type(TD.CADtxt(1), "120");
    user::PressKey(TD.CADtxt(1), vbKeyReturn);
    EXPECT_TRUE(TD.CADtxt(3).HasFocus());
    user::Type(TD.CADtxt(3), "2");
    TD.CADtxt(2).SetText("99");  // hidden for this type
    script->Point({1000.25, 2000.5, 0});
    user::PressKey(TD.CADtxt(3), vbKeyReturn);
    EXPECT_EQ(script->Prompts().back(), "Ponto de inserção: ");
    auto com = Blocos("CAD_COM");
    ASSERT_EQ(com.size(), 1u);
    EXPECT_EQ(com[0]->Layer(), "CADASTRO");
    EXPECT_EQ(Doc().Layers().Item("CADASTRO")->Color(), 250);
    EXPECT_EQ(Atributo(com[0], "NOME"), "Padaria");
    EXPECT_EQ(Atributo(com[0], "NUMERO"), "120");
    EXPECT_EQ(Atributo(com[0], "COM"), "2");
    EXPECT_EQ(Atributo(com[0], "APTOS"), "") << "um campo escondido não escreve";
    EXPECT_EQ(Atributo(com[0], "ECONOMIAS"), "");
    ASSERT_TRUE(Doc().CommandLine().Active());
    EXPECT_EQ(Doc().CommandLine().ActiveCommandName(), "ROTATE");
    script->Angle(M_PI / 6);
    Doc().CommandLine().Continue();
    EXPECT_NEAR(com[0]->Rotation(), M_PI / 6, 1e-9);
    EXPECT_NEAR(com[0]->InsertionPoint().x, 1000.25, 1e-9);
    EXPECT_NEAR(com[0]->InsertionPoint().y, 2000.5, 1e-9);

    // Single-family: Enter in Número inserts at once, without a rotation; the
    // name typed for the mixed type before is hidden and writes nothing.
    comandos.clear();
    Escolhe(2);
    user::Type(TD.CADtxt(0), "Edifício");
    Escolhe(0);
    user::Type(TD.CADtxt(1), "7");
    script->Point({10, 20, 0});
    user::PressKey(TD.CADtxt(1), vbKeyReturn);
    auto ruf = Blocos("CAD_RUF");
    ASSERT_EQ(ruf.size(), 1u);
    EXPECT_EQ(Atributo(ruf[0], "NUMERO"), "7");
    EXPECT_EQ(Atributo(ruf[0], "NOME"), "");
    EXPECT_DOUBLE_EQ(ruf[0]->Rotation(), 0);
    EXPECT_FALSE(Doc().CommandLine().Active());
    EXPECT_TRUE(comandos.empty());

    // No point: nothing inserted.
    script->Enter();
    user::Click(TD.CADInsertCmd);
    EXPECT_EQ(Blocos("CAD_RUF").size(), 1u);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Cadastro, TheArrowsStepThroughTheSixTypesAndWrap)
{
    Escolhe(5);
    TD.Bu.SetLeft(3);
    user::PressKey(TD.CADtxt(1), vbKeyRight);
    EXPECT_EQ(TD.TipoCadastro(), 0);
    EXPECT_EQ(TD.Bd.Top(), TD.Im(0).Top());
    EXPECT_EQ(TD.Bd.Left(), 3);
    EXPECT_EQ(TD.Bu.Left(), -100);
    EXPECT_EQ(TD.CADtxt(1).Text(), "") << "a seta não chega à caixa";
    user::PressKey(TD.CADtxt(1), vbKeyUp);
    EXPECT_EQ(TD.TipoCadastro(), 5);
    EXPECT_EQ(TD.BlocoCadastro(), "CAD_SVP");
    EXPECT_TRUE(TD.CADtxt(0).HasFocus());
    user::PressKey(TD.CADtxt(0), vbKeyLeft);
    EXPECT_EQ(TD.TipoCadastro(), 4);
    user::PressKey(TD.CADtxt(0), vbKeyDown);
    user::PressKey(TD.CADtxt(0), vbKeyDown);
    EXPECT_EQ(TD.TipoCadastro(), 0);
    EXPECT_EQ(TD.Bd.Top(), TD.Im(0).Top());
    // Types 6 and 7 are buttons, never a type.
    script->Escape();
    Escolhe(7);
    EXPECT_EQ(TD.TipoCadastro(), 0);
    EXPECT_EQ(TD.BlocoCadastro(), "CAD_RUF");
}

TEST_F(Cadastro, TheMarkerStandsBesideTheBuildingTowardsTheDirectionGiven)
{
    app->ZoomCenter({50, 50, 0}, 200);
    Edificacao("CAD_RMF", {10, 10, 0}, "");
    Edificacao("CAD_IND", {60, 10, 0}, "");
    Doc().ModelSpace().AddLine({0, 80, 0}, {100, 80, 0});
    struct Caso {
        Ponto edificio, clique, direcao;
        double afastamento;
    };
    // Picked on an edge; the direction is shown from the insertion point.
    const Caso casos[] = {{{10, 10}, {10, 7.525}, {10, 40}, 3.5}, {{60, 10}, {60, 5.0882}, {90, 40}, 6.9462}};
    for (const Caso& c : casos) {
        script->Point(c.clique).Point(c.direcao);
        Escolhe(7);
        EXPECT_EQ(script->Prompts()[script->Prompts().size() - 2], "Selecione objeto: ");
        EXPECT_EQ(script->Prompts().back(), "Direção: ");
    }
    auto marcas = Blocos("CAD_SBX");
    ASSERT_EQ(marcas.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        const Caso& c = casos[k];
        const double a = std::atan2(c.direcao.Y - c.edificio.Y, c.direcao.X - c.edificio.X);
        EXPECT_NEAR(marcas[k]->InsertionPoint().x, c.edificio.X + c.afastamento * std::cos(a), 1e-9);
        EXPECT_NEAR(marcas[k]->InsertionPoint().y, c.edificio.Y + c.afastamento * std::sin(a), 1e-9);
        EXPECT_NEAR(marcas[k]->Rotation(), a, 1e-9);
        EXPECT_EQ(marcas[k]->Layer(), "CADASTRO");
    }
    // A line picked: nothing, and no word.
    script->Point({50, 80, 0});
    Escolhe(7);
    EXPECT_EQ(Blocos("CAD_SBX").size(), 2u);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(TD.Bd.Left(), -100) << "o botão não fica marcado";
}

TEST_F(Cadastro, TheQuantityTableCountsEachKindAndSumsItsEconomias)
{
    gBlocosPath = cadtest::PastaDoPrograma().string();
    Edificacao("CAD_RUF", {0, 0, 0}, "1");
    Edificacao("CAD_RUF", {20, 0, 0}, "2");
    Edificacao("CAD_COM", {40, 0, 0}, "3");
    // Not numbers, a half that rounds to even, and markers: none counts more.
    Edificacao("CAD_MIX", {60, 0, 0}, "dois");
    Edificacao("CAD_MIX", {80, 0, 0}, "");
    Edificacao("CAD_IND", {100, 0, 0}, "2.5");
    Edificacao("CAD_SVP", {120, 0, 0}, "1,5");
    DefineBloco("CAD_SBX", false);
    Doc().ModelSpace().InsertBlock({140, 0, 0}, "CAD_SBX", 1, 1, 1, 0);

    script->Point({500, 500, 0});
    Escolhe(6);
    EXPECT_EQ(script->Prompts().back(), "Ponto de inserção:");
    auto t = Blocos("CAD_QTT");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Layer(), Doc().ActiveLayer().Name());
    const std::pair<const char*, const char*> esperado[] = {
        {"QTT_RUF", "2"}, {"ECO_RUF", "3"}, {"QTT_RMF", "0"},   {"ECO_RMF", "0"},   {"QTT_MIX", "2"},
        {"ECO_MIX", "0"}, {"QTT_COM", "1"}, {"ECO_COM", "3"},   {"QTT_IND", "1"},   {"ECO_IND", "2"},
        {"QTT_SVP", "1"}, {"ECO_SVP", "2"}, {"QTT_TOTAL", "7"}, {"ECO_TOTAL", "10"}};
    for (const auto& [tag, valor] : esperado) EXPECT_EQ(Atributo(t[0], tag), valor) << tag;
    EXPECT_EQ(TD.Bd.Left(), -100);

    // A drawing without buildings still gets its table, all zeros.
    for (acad::Entity* e : Doc().ModelSpace()) e->Delete();
    script->Point({0, 0, 0});
    Escolhe(6);
    t = Blocos("CAD_QTT");
    ASSERT_EQ(t.size(), 1u);
    for (const auto& [tag, valor] : esperado) EXPECT_EQ(Atributo(t[0], tag), "0") << tag;

    // No point: no table.
    script->Enter();
    Escolhe(6);
    EXPECT_EQ(Blocos("CAD_QTT").size(), 1u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

}  // namespace

namespace {

TEST_F(TopoTest, TheFirstShowingIsTheMarkedTypeAndInsertsIt)
{
    // The panel opens on "Cadastro" without a tab change, the first picture
    // marked: its type, its one field, and "Inserir" places it.
    FormTopo painel;
    TOPDes98& TD = painel.TD;
    TD.Start();
    EXPECT_EQ(TD.Bd.Top(), TD.Im(0).Top());
    EXPECT_EQ(TD.BlocoCadastro(), "CAD_RUF");
    EXPECT_EQ(TD.TipoCadastro(), 0);
    EXPECT_EQ(TD.CADlbl2.Caption(), "Residencial UniFamiliar");
    for (int i : {0, 2, 3}) {
        EXPECT_FALSE(TD.CADtxt(i).Visible()) << i;
        EXPECT_FALSE(TD.CADlbl(i).Visible()) << i;
    }
    EXPECT_TRUE(TD.CADtxt(1).Visible());
    TD.CADtxt(1).SetText("21");
    script->Point({40, 0, 0});
    user::Click(TD.CADInsertCmd);
    EXPECT_TRUE(mensagens.Lista().empty());
    int n = 0;
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "CAD_RUF") {
            ++n;
            EXPECT_EQ(GetAtributo("NUMERO", b).value_or(""), "21");
        }
    EXPECT_EQ(n, 1);
}

}  // namespace
