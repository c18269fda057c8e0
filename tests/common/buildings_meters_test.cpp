// Buildings and water meters of the common tools panel through the real
// drawing host, forms and catalogue: a building given its address in place
// or inserted again with everything it carried, the blocks that take no
// address, the boxes checked before anything is asked, the meter with its
// direction, horizontal unit and extended data, object snaps back on every
// path, the meter pictures' frames, and the sequence stopping at a step that
// did nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "common/COMDes98.h"
#include "common/modEdificacoes.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Picture.h"
#include "platform/forms/Testing.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"

using namespace forms;

namespace {

// The script's answers, noting the object snaps in force at each request.
class SnapsAoPerguntar : public acad::InputSource {
public:
    SnapsAoPerguntar(std::shared_ptr<acad::ScriptedInput> Script, acad::Application& App, std::vector<int>& Vistos)
        : script_(std::move(Script)), app_(App), vistos_(Vistos)
    {
    }
    acad::InputAnswer Ask(const acad::InputRequest& r) override
    {
        vistos_.push_back(app_.ActiveDocument()->GetVariable("OSMODE").AsInt());
        return script_->Ask(r);
    }

private:
    std::shared_ptr<acad::ScriptedInput> script_;
    acad::Application& app_;
    std::vector<int>& vistos_;
};

class Medidores : public cadtest::CadTest {
protected:
    Medidores() : figuras_(FigurasDoPrograma()), form("frmComum"), CM(form.Add<COMDes98>("CM"))
    {
        gMdbPath = (cadtest::PastaDoPrograma() / "rereva2000r.mdb").string();
        app->SetInputSource(std::make_shared<SnapsAoPerguntar>(script, *app, osmodes));
        form.Move(0, 0, 2800, 4000);
        form.Show();
        Conecta();
        CM.Start();
        user::ChooseTab(CM.SSTab1, 2);
        Doc().SetVariable("OSMODE", acad::Variant(35));
        app->ZoomCenter({0, 0, 0}, 300);
    }
    ~Medidores() override
    {
        Unload(form);
        gMdbPath.clear();
        gBlocosTopo.clear();
        SetResourcePictureFolder(figuras_);
    }

    void Endereco(const std::string& S, const std::string& Q, const std::string& L, const std::string& U = "01")
    {
        CM.SetorTxt.SetText(S);
        CM.QuadraTxt.SetText(Q);
        CM.LoteTxt.SetText(L);
        CM.UnidTxt.SetText(U);
    }
    // A building of the registry as its tab leaves it, the S-Q-L given.
    acad::BlockReference* Edificacao(const std::string& Bloco, const Ponto& P, const std::string& SQL,
                                     double Escala = 1, double Rotacao = 0)
    {
        EXPECT_TRUE(DefineBloco(Bloco, false));
        acad::BlockReference* b = Doc().ModelSpace().InsertBlock(P, Bloco, Escala, Escala, Escala, Rotacao);
        b->SetLayer("CADASTRO");
        SetAtributo("NUMERO", "35", b);
        SetAtributo("NOME", "Padaria", b);
        SetAtributo("ECONOMIAS", "4", b);
        SetAtributo("S-Q-L", SQL, b);
        return b;
    }
    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) v.push_back(b);
        return v;
    }
    static std::string Atributo(acad::BlockReference* b, const std::string& Tag)
    {
        return GetAtributo(Tag, b).value_or("<sem atributo>");
    }
    static acad::AttributeReference* AtributoRef(acad::BlockReference* b, const std::string& Tag)
    {
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == Tag) return a;
        return nullptr;
    }
    static std::string DadosEstendidos(acad::Entity* e)
    {
        std::vector<int> t;
        std::vector<acad::Variant> v;
        e->GetXData("", t, v);
        std::string s;
        for (const auto& x : v) s += (s.empty() ? "" : "|") + x.ToString();
        return s;
    }
    void Hidrometro(int Indice)
    {
        user::MouseMove(CM.HidrImg(Indice), 0, 0, 5, 5);
        user::MouseDown(CM.HidrImg(Indice), vbLeftButton, 0, 5, 5);
        user::MouseUp(CM.HidrImg(Indice), vbLeftButton, 0, 5, 5);
    }
    int Osmode() { return Doc().GetVariable("OSMODE").AsInt(); }

    // The panel loads its pictures as it is made: from the program folder.
    static std::string FigurasDoPrograma()
    {
        std::string antes = ResourcePictureFolder();
        SetResourcePictureFolder((cadtest::PastaDoPrograma() / "pictures").string());
        return antes;
    }

    std::vector<int> osmodes;  // OSMODE at each request of the host
    std::string figuras_;
    Form form;
    COMDes98& CM;
};

TEST_F(Medidores, TheAddressOfTheExampleOnTheBuildingAndItsMeter)
{
    acad::BlockReference* casa = Edificacao("CAD_RUF", {100, 50}, "1-1-1");
    Endereco("007", "012", "0120");
    script->Point({100, 50, 0});
    user::Click(CM.EdifCmd);
    EXPECT_EQ(script->Prompts().back(), "Selecione Edificação");
    ASSERT_EQ(Blocos("CAD_RUF").size(), 1u);
    EXPECT_EQ(Blocos("CAD_RUF")[0], casa) << "com S-Q-L, numerado no lugar";
    EXPECT_EQ(Atributo(casa, "S-Q-L"), "7-12-120");
    EXPECT_EQ(Atributo(casa, "UNIDADE"), "01");
    EXPECT_EQ(Atributo(casa, "NUMERO"), "35");
    EXPECT_EQ(Atributo(casa, "NOME"), "Padaria");
    EXPECT_EQ(casa->Layer(), "SETOR_7");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A meter in a box, turned a quarter: its unit stays horizontal, the
    // address its extended data; object snaps off while asked, back after.
    osmodes.clear();
    script->Point({120, 60, 0});
    script->Angle(M_PI / 2);
    Hidrometro(2);
    EXPECT_EQ(osmodes, (std::vector<int>{0, 0}));
    const auto prompts = script->Prompts();
    ASSERT_GE(prompts.size(), 2u);
    EXPECT_EQ(prompts[prompts.size() - 2], "Ponto de inserção:");
    EXPECT_EQ(prompts.back(), "Direção:");
    auto h = Blocos("COM_HSIMC");
    ASSERT_EQ(h.size(), 1u);
    EXPECT_NEAR(h[0]->InsertionPoint().x, 120, 1e-9);
    EXPECT_NEAR(h[0]->Rotation(), M_PI / 2, 1e-9);
    EXPECT_EQ(h[0]->Layer(), "SETOR_7");
    EXPECT_EQ(DadosEstendidos(h[0]), "7-12-120-01|7-12-120-01");
    EXPECT_EQ(Atributo(h[0], "UNIDADE"), "01");
    EXPECT_EQ(Atributo(h[0], "S-Q-L"), "7-12-120");
    EXPECT_EQ(Atributo(h[0], "NUMERO"), "");
    EXPECT_NEAR(AtributoRef(h[0], "UNIDADE")->Rotation(), 0, 1e-12);
    EXPECT_NEAR(AtributoRef(h[0], "S-Q-L")->Rotation(), M_PI / 2, 1e-9);
    EXPECT_EQ(Osmode(), 35);
    EXPECT_EQ(Doc().Layers().Item("LIGACAO")->Color(), 5);

    // Numbers of any size, a unit of three digits.
    Endereco("40000", "12", "7", "123");
    script->Point({-50, 0, 0});
    script->Angle(0.3);
    Hidrometro(0);
    auto h0 = Blocos("COM_HSIM");
    ASSERT_EQ(h0.size(), 1u);
    EXPECT_EQ(DadosEstendidos(h0[0]), "40000-12-7-123|40000-12-7-123");
    EXPECT_EQ(h0[0]->Layer(), "SETOR_40000");
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Medidores, ABuildingWithoutAddressIsInsertedAgainKeepingWhatItCarried)
{
    // Scaled and turned, with an application of someone else's and an empty S-Q-L.
    acad::BlockReference* loja = Edificacao("CAD_COM", {0, 0}, "", 2, 0.5);
    loja->SetXData({1001, 1000}, {acad::Variant("VISTORIA"), acad::Variant("2024")});
    SetAtributo("COM", "3", loja);
    Endereco("7", "12", "120", "02");
    script->Point({0, 0, 0});
    user::Click(CM.EdifCmd);
    auto com = Blocos("CAD_COM");
    ASSERT_EQ(com.size(), 1u);
    EXPECT_NE(com[0], loja);
    EXPECT_TRUE(loja->IsErased());
    EXPECT_NEAR(com[0]->XScaleFactor(), 2, 1e-12);
    EXPECT_NEAR(com[0]->YScaleFactor(), 2, 1e-12);
    EXPECT_NEAR(com[0]->Rotation(), 0.5, 1e-12);
    EXPECT_EQ(Atributo(com[0], "ECONOMIAS"), "4");
    EXPECT_EQ(Atributo(com[0], "NUMERO"), "35");
    EXPECT_EQ(Atributo(com[0], "NOME"), "Padaria");
    EXPECT_EQ(Atributo(com[0], "COM"), "3");
    EXPECT_EQ(Atributo(com[0], "S-Q-L"), "7-12-120");
    EXPECT_EQ(Atributo(com[0], "UNIDADE"), "02");
    EXPECT_EQ(DadosEstendidos(com[0]), "VISTORIA|2024");
    EXPECT_EQ(com[0]->Layer(), "SETOR_7");

    // Inserted before its block had the address: the block's present
    // definition brings S-Q-L and UNIDADE, the old texts stay.
    acad::Block* velho = Doc().Blocks().Add({0, 0, 0}, "CAD_RUF");
    velho->AddLine({-2, -2, 0}, {2, 2, 0});
    velho->AddAttribute(1.5, 0, "", {0, 0, 0}, "NUMERO", "");
    velho->AddAttribute(1, 0, "", {0, -4, 0}, "ECONOMIAS", "");
    acad::BlockReference* antiga = Doc().ModelSpace().InsertBlock({50, 0, 0}, "CAD_RUF", 1.5, 1.5, 1, 0);
    SetAtributo("NUMERO", "8", antiga);
    SetAtributo("ECONOMIAS", "6", antiga);
    ASSERT_TRUE(DefineBloco("CAD_RUF", true));
    ASSERT_FALSE(GetAtributo("S-Q-L", antiga));
    script->Point({50, 0, 0});
    user::Click(CM.EdifCmd);
    auto ruf = Blocos("CAD_RUF");
    ASSERT_EQ(ruf.size(), 1u);
    EXPECT_NEAR(ruf[0]->XScaleFactor(), 1.5, 1e-12);
    EXPECT_EQ(Atributo(ruf[0], "NUMERO"), "8");
    EXPECT_EQ(Atributo(ruf[0], "ECONOMIAS"), "6");
    EXPECT_EQ(Atributo(ruf[0], "S-Q-L"), "7-12-120");
    EXPECT_EQ(Atributo(ruf[0], "UNIDADE"), "02");
    EXPECT_EQ(Atributo(ruf[0], "NOME"), "");
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Medidores, BlocksThatTakeNoAddressAndBoxesThatAreNotNumbers)
{
    // The low-threshold marker and a water meter are not buildings: nothing changes.
    ASSERT_TRUE(DefineBloco("CAD_SBX", false));
    acad::BlockReference* sbx = Doc().ModelSpace().InsertBlock({0, 0, 0}, "CAD_SBX", 1, 1, 1, 0);
    sbx->SetLayer("0");
    Endereco("7", "12", "120");
    script->Point({0, 0, 0});
    user::Click(CM.EdifCmd);
    EXPECT_FALSE(sbx->IsErased());
    EXPECT_EQ(sbx->Layer(), "0");
    EXPECT_TRUE(mensagens.Lista().empty());

    // Each box checked in turn before the drawing host is asked anything;
    // the first wrong one says so and takes the focus.
    acad::BlockReference* casa = Edificacao("CAD_RUF", {100, 0}, "1-1-1");
    struct Caso {
        const char *S, *Q, *L, *U;
        const char* mensagem;
        TextBox* caixa;
    };
    const Caso casos[] = {{"", "12", "120", "01", "Preencha o número do Setor.", &CM.SetorTxt},
                          {"7", "", "120", "01", "Preencha o número da Quadra.", &CM.QuadraTxt},
                          {"7", "1.5", "120", "01", "Preencha o número da Quadra.", &CM.QuadraTxt},
                          {"7", "12", "12a", "01", "Preencha o número do Lote.", &CM.LoteTxt},
                          {"7", "12", "-3", "01", "Preencha o número do Lote.", &CM.LoteTxt},
                          {"7", "12", "120", "", "Preencha o número da Unidade.", &CM.UnidTxt},
                          {"7", "12", "120", "u1", "Preencha o número da Unidade.", &CM.UnidTxt}};
    const std::size_t pedidos = script->Prompts().size();
    for (const Caso& c : casos) {
        for (bool edificacao : {true, false}) {
            SCOPED_TRACE(std::string(c.S) + "/" + c.Q + "/" + c.L + "/" + c.U +
                         (edificacao ? " edificação" : " hidrômetro"));
            mensagens.Limpa();
            Endereco(c.S, c.Q, c.L, c.U);
            if (edificacao)
                user::Click(CM.EdifCmd);
            else
                Hidrometro(1);
            ASSERT_EQ(mensagens.Lista().size(), 1u);
            EXPECT_EQ(mensagens.Lista()[0].Titulo, edificacao ? "Inserir bloco SETOR" : "Inserir Hidrometro");
            EXPECT_EQ(mensagens.Lista()[0].Texto, c.mensagem);
            DoEvents();
            EXPECT_TRUE(c.caixa->HasFocus());
        }
    }
    EXPECT_EQ(script->Prompts().size(), pedidos);
    EXPECT_EQ(Atributo(casa, "S-Q-L"), "1-1-1");
    EXPECT_TRUE(Blocos("COM_HNAO").empty());
    EXPECT_FALSE((Doc().Layers().Find("SETOR_") != nullptr));
}

TEST_F(Medidores, ACancelledMeterPlacesNothingAndGivesTheSnapsBack)
{
    Endereco("7", "12", "120");
    script->Enter();  // no point
    Hidrometro(3);
    EXPECT_EQ(Osmode(), 35);
    script->Point({10, 10, 0});
    script->Escape();  // no direction
    Hidrometro(3);
    EXPECT_EQ(Osmode(), 35);
    EXPECT_TRUE(Blocos("COM_HNAOC").empty());
    // Made before the point is asked.
    EXPECT_TRUE((Doc().Layers().Find("SETOR_7") != nullptr));
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Medidores, ThePicturesFramesFollowTheMouse)
{
    user::MouseMove(CM.HidrImg(2), 0, 0, 5, 5);
    EXPECT_EQ(CM.HidUp(0).Left(), 30);
    EXPECT_EQ(CM.HidUp(0).Top(), CM.HidrImg(2).Top());
    user::MouseDown(CM.HidrImg(2), vbLeftButton, 0, 5, 5);
    EXPECT_EQ(CM.HidUp(0).Left(), 1000);
    EXPECT_EQ(CM.HidUp(1).Left(), 30);
    EXPECT_EQ(CM.HidUp(1).Top(), CM.HidrImg(2).Top());
    Endereco("", "", "");
    user::MouseUp(CM.HidrImg(2), vbLeftButton, 0, 5, 5);
    EXPECT_EQ(CM.HidUp(1).Left(), 1000);
    EXPECT_TRUE(CM.HidrImg(0).Picture()) << "a figura do botão foi desenhada";
}

TEST_F(Medidores, TheSequenceRunsParcelBuildingAndMeterAndStopsAtTheFirstStepThatDidNothing)
{
    // A tick of the grid of sector 7, city block 12, at 120.
    ASSERT_TRUE(DefineBloco("COM_GRADE", false));
    acad::BlockReference* marca = Doc().ModelSpace().InsertBlock({0, -30, 0}, "COM_GRADE", 1, 1, 1, 0);
    marca->SetXData({1001, 1000}, {acad::Variant("7-12"), acad::Variant("120")});
    acad::BlockReference* casa = Edificacao("CAD_RUF", {100, 0}, "1-1-1");
    ASSERT_TRUE(DefineBloco("CAD_SBX", false));
    acad::BlockReference* sbx = Doc().ModelSpace().InsertBlock({-100, 0, 0}, "CAD_SBX", 1, 1, 1, 0);
    Endereco("", "", "", "03");
    user::Click(CM.SequencialCmd);
    ASSERT_EQ(CM.SequencialCmd.Value(), 1);
    EXPECT_FALSE(CM.EdifCmd.Visible());

    // The whole sequence: the boxes filled from the tick, the parcel, the
    // building, the meter.
    script->Point({0, -30, 0});
    script->Point({5, -40, 0});
    script->Point({100, 0, 0});
    script->Point({110, 10, 0});
    script->Angle(0);
    Hidrometro(1);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(CM.LoteTxt.Text(), "120");
    ASSERT_EQ(Blocos("COM_LOTE").size(), 1u);
    EXPECT_EQ(Atributo(casa, "S-Q-L"), "7-12-120");
    EXPECT_EQ(Atributo(casa, "UNIDADE"), "03");
    ASSERT_EQ(Blocos("COM_HNAO").size(), 1u);
    EXPECT_EQ(DadosEstendidos(Blocos("COM_HNAO")[0]), "7-12-120-03|7-12-120-03");

    // The parcel's point not given: no building asked, no meter.
    const auto depoisDe = [&](std::size_t n) {
        const auto p = script->Prompts();
        return std::vector<std::string>(p.begin() + static_cast<std::ptrdiff_t>(n), p.end());
    };
    std::size_t n = script->Prompts().size();
    SetAtributo("S-Q-L", "1-1-1", casa);
    script->Point({0, -30, 0});
    script->Enter();
    Hidrometro(1);
    EXPECT_EQ(depoisDe(n), (std::vector<std::string>{"Selecione Item da Grade:", "Ponto de inserção:"}));
    EXPECT_EQ(Atributo(casa, "S-Q-L"), "1-1-1");
    EXPECT_EQ(Blocos("COM_LOTE").size(), 1u);
    EXPECT_EQ(Blocos("COM_HNAO").size(), 1u);

    // The marker picked for the building: no meter.
    n = script->Prompts().size();
    script->Point({0, -30, 0});
    script->Point({5, -50, 0});
    script->Point({-100, 0, 0});
    Hidrometro(1);
    EXPECT_EQ(depoisDe(n),
              (std::vector<std::string>{"Selecione Item da Grade:", "Ponto de inserção:", "Selecione Edificação"}));
    EXPECT_FALSE(sbx->IsErased());
    EXPECT_EQ(Blocos("COM_LOTE").size(), 2u);
    EXPECT_EQ(Blocos("COM_HNAO").size(), 1u);
    EXPECT_EQ(Osmode(), 35);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
}

}  // namespace
