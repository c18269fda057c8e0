// The sewer panel's start with the shipped catalogue (and spoilt copies of
// it), its settings kept by the host, and the switch between its tab sets.

#include <gtest/gtest.h>

#include <filesystem>

#include "PanelTestSupport.h"
#include "shell/modGlobais.h"

using namespace sewertest;
using namespace forms;

namespace {

class PainelInicio : public PainelTest {
protected:
    // A copy of the catalogue changed by `Sql`, made the one the panels load.
    void CatalogoAlterado(const std::string& Sql)
    {
        const std::filesystem::path copia = pasta / "rereva2000r.mdb";
        std::filesystem::copy_file(PastaCatalogo() / "rereva2000r.mdb", copia,
                                   std::filesystem::copy_options::overwrite_existing);
        ExecutaSql(copia, Sql);
        gMdbPath = copia.string();
    }

    static std::vector<std::string> Itens(const ComboBox& C)
    {
        std::vector<std::string> v;
        for (int i = 0; i < C.ListCount(); ++i) v.push_back(C.List(i));
        return v;
    }
};

}  // namespace

TEST_F(PainelInicio, StartFillsEveryListFromTheCatalogueAndSelectsTheFirstEntries)
{
    ASSERT_FALSE(gPVBlocos.empty());
    ASSERT_EQ(SD.DesPVcbo.ListCount(), static_cast<int>(gPVBlocos.size()));
    EXPECT_EQ(SD.DesPVcbo.List(0), gPVBlocos[0].Abrev);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), 0);

    // Materials in both reach lists; the bulk-change lists begin with "Não usar".
    ASSERT_EQ(SD.DesMatTuboCbo(0).ListCount(), static_cast<int>(gMateriais.size()));
    EXPECT_EQ(Itens(SD.DesMatTuboCbo(1)), Itens(SD.DesMatTuboCbo(0)));
    EXPECT_EQ(SD.CHMatCbo.List(0), "Não usar");
    EXPECT_EQ(SD.CHMatCbo.List(1), gMateriais[0].Material);
    EXPECT_EQ(SD.CHMatCbo.ListCount(), static_cast<int>(gMateriais.size()) + 1);

    // The first material's diameters, the first one chosen.
    ASSERT_EQ(SD.DesTuboDiamlst.ListCount(), static_cast<int>(gMateriais[0].Diametros.size()));
    EXPECT_EQ(SD.DesTuboDiamlst.List(0), gMateriais[0].Diametros[0].Diametro);
    EXPECT_EQ(SD.DesTuboDiamlst.ListIndex(), 0);

    // Stages: descriptions on the drawing side, numbers in the bulk change,
    // both in stage order.
    ASSERT_EQ(SD.DesEtapaCbo.ListCount(), static_cast<int>(gEtapas.size()));
    for (std::size_t i = 0; i < gEtapas.size(); ++i) {
        EXPECT_EQ(SD.DesEtapaCbo.List(static_cast<int>(i)), gEtapas[i].Descricao);
        EXPECT_EQ(SD.CHEtCbo.List(static_cast<int>(i) + 1), std::to_string(gEtapas[i].Etapa));
    }
    EXPECT_EQ(SD.DesEtapaCbo.Text(), "Existente");

    EXPECT_EQ(SD.DesPavmtoCbo(0).ListCount(), static_cast<int>(gPavimentos.size()));
    EXPECT_EQ(SD.DesPavmtoCbo(1).Text(), gPavimentos[0].Nome);
    EXPECT_EQ(SD.CHPavCbo.ListCount(), static_cast<int>(gPavimentos.size()) + 1);
    EXPECT_EQ(Itens(SD.CHConCbo), (std::vector<std::string>{"Não usar", "SIM", "NAO", "UNI"}));
    for (ComboBox* c : {&SD.CHMatCbo, &SD.CHPavCbo, &SD.CHConCbo, &SD.CHEtCbo}) EXPECT_EQ(c->Text(), "Não usar");
    EXPECT_EQ(Itens(SD.TEMACbo), (std::vector<std::string>{"Etapa", "Material", "Pavimento", "Contribuição"}));
    EXPECT_EQ(SD.TEMACbo.ListIndex(), 0);

    // The two picture menus.
    EXPECT_FALSE(SD.InsMenu.MenuOff);
    EXPECT_EQ(SD.InsMenu.gDimX(), 2);
    EXPECT_EQ(SD.InsMenu.gDimy(), 2);
    EXPECT_EQ(SD.InsMenu.Botao(1).Description, "Inserir Quantitativos no desenho");
    EXPECT_EQ(SD.InsMenu.Botao(2).Key, "Plan");
    EXPECT_EQ(SD.ImpMenu.gDimX(), 3);
    EXPECT_EQ(SD.ImpMenu.gDimy(), 6);
    EXPECT_EQ(SD.ImpMenu.Botao(1).Description, "Abrir Tabela");
    EXPECT_EQ(SD.ImpMenu.Botao(1).ExtraRows, 2);
    EXPECT_EQ(SD.ImpMenu.Botao(4).Description, "Editar Tabela");
    EXPECT_EQ(SD.ImpMenu.Botao(4).Column, 2);
    EXPECT_EQ(Screen.MousePointer(), vbDefault);
    EXPECT_TRUE(mensagens.Lista().empty());

    // Choosing the tab again changes nothing; a reload starts the lists afresh.
    user::Choose(SD.DesPVcbo, 2);
    user::Choose(SD.DesMatTuboCbo(0), 1);
    const std::vector<std::string> diametros = [&] {
        std::vector<std::string> v;
        for (int i = 0; i < SD.DesTuboDiamlst.ListCount(); ++i) v.push_back(SD.DesTuboDiamlst.List(i));
        return v;
    }();
    SD.Start(false);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), 2);
    EXPECT_EQ(SD.DesMatTuboCbo(0).ListIndex(), 1);
    EXPECT_EQ(SD.DesTuboDiamlst.ListCount(), static_cast<int>(diametros.size()));
    SD.Start(true);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), 0);
    EXPECT_EQ(SD.DesPVcbo.ListCount(), static_cast<int>(gPVBlocos.size()));
    EXPECT_EQ(SD.CHMatCbo.ListCount(), static_cast<int>(gMateriais.size()) + 1);
}

TEST_F(PainelInicio, EmptyCatalogueTablesLeaveTheirListsEmpty)
{
    CatalogoAlterado("DELETE FROM E_Pavimentos; DELETE FROM E_TRLayerParam;");
    FormPainel outro("frmSemPavimentos");
    outro.SD.Start(false);
    ASSERT_TRUE(outro.SD.Iniciado());
    EXPECT_EQ(outro.SD.DesPavmtoCbo(0).ListCount(), 0);
    EXPECT_EQ(outro.SD.DesPavmtoCbo(1).ListCount(), 0);
    EXPECT_EQ(outro.SD.DesPavmtoCbo(1).ListIndex(), -1);
    EXPECT_EQ(Itens(outro.SD.CHPavCbo), std::vector<std::string>{"Não usar"});
    EXPECT_EQ(outro.SD.DesEtapaCbo.ListCount(), 0);
    EXPECT_EQ(outro.SD.CHEtCbo.Text(), "Não usar");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A reach needs a pavement: told before anything is asked.
    MostraPagina(outro.SD, outro.SD.DesInsertTRGenCmd);
    user::Click(outro.SD.DesInsertTRGenCmd);
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Obrigatório o preenchimento do campo Pavimento!"});
    EXPECT_TRUE(script->Requests().empty());
}

TEST_F(PainelInicio, ACatalogueThatCannotBeLoadedLeavesThePanelUnstartedUntilItCan)
{
    const std::string bom = gMdbPath;
    gMdbPath = (pasta / "nada.mdb").string();
    FormPainel outro("frmSemCatalogo");
    outro.SD.Start(false);
    EXPECT_FALSE(outro.SD.Iniciado());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Textos()[0].find("nada.mdb"), std::string::npos);
    EXPECT_EQ(outro.SD.DesPVcbo.ListCount(), 0);
    // The catalogue already loaded by others is kept.
    EXPECT_FALSE(gPVBlocos.empty());

    // Its commands say why they cannot work.
    mensagens.Limpa();
    user::Click(outro.SD.DesInsertPVcmd);
    EXPECT_EQ(mensagens.Textos(),
              std::vector<std::string>{"O catálogo de esgoto não foi carregado: escolha de novo a aba de esgoto."});
    EXPECT_TRUE(script->Requests().empty());

    // The next choice of the tab tries again.
    gMdbPath = bom;
    outro.SD.Start(false);
    EXPECT_TRUE(outro.SD.Iniciado());
    EXPECT_EQ(outro.SD.DesPVcbo.ListCount(), static_cast<int>(gPVBlocos.size()));
}

TEST_F(PainelInicio, SettingsHaveTheirDefaultsAndAreKeptForTheRun)
{
    {
        FormPainel f("frmPreferencias");
        SANDes98& P = f.SD;
        EXPECT_EQ(P.PRECCOTA(), 3);
        EXPECT_EQ(P.PRECDIST(), 2);
        EXPECT_EQ(P.PRECDECL(), 6);
        EXPECT_EQ(P.PRECOORD(), 4);
        EXPECT_EQ(P.Interface(), 0);
        EXPECT_EQ(P.SeparadorDecimal(), 1);
        EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.4);
        EXPECT_EQ(P.AcadZoomCenter(), 400);
        EXPECT_DOUBLE_EQ(P.TolVerifCota(), 0.01);
        EXPECT_DOUBLE_EQ(P.TolVerifComp(), 0.1);
        // The preference controls show them; tolerances with "," as separator.
        EXPECT_EQ(P.PrefScr1(0).Value(), 400);
        EXPECT_EQ(P.PrefScr1(1).Value(), 4);
        EXPECT_EQ(P.PrefsTxt(0).Text(), "0,01");
        EXPECT_EQ(P.PrefsTxt(1).Text(), "0,1");

        P.SetPRECCOTA(2);
        P.SetSeparadorDecimal(0);
        P.SetAcadZoomCenter(250);
        P.SetAcadZoomScale(0.7);
        P.SetTolVerifCota(0.005);
        P.SetInterface(1);
    }
    // The next panel of the same host and name reads what this one kept.
    FormPainel f("frmPreferencias");
    SANDes98& P = f.SD;
    EXPECT_EQ(P.PRECCOTA(), 2);
    EXPECT_EQ(P.PRECDIST(), 2);
    EXPECT_EQ(P.SeparadorDecimal(), 0);
    EXPECT_EQ(P.AcadZoomCenter(), 250);
    EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.7);
    EXPECT_DOUBLE_EQ(P.TolVerifCota(), 0.005);
    EXPECT_DOUBLE_EQ(P.TolVerifComp(), 0.1);
    EXPECT_EQ(P.Interface(), 1);
    EXPECT_EQ(P.PrefScr1(0).Value(), 250);
    EXPECT_EQ(P.PrefScr1(1).Value(), 7);
    EXPECT_EQ(P.PrefsTxt(0).Text(), "0,005");
    // Shown at the first paint.
    DoEvents();
    EXPECT_EQ(P.SSTabBrivan.Left(), 0);
    EXPECT_EQ(P.SSDesenho.Left(), 4000);
}

TEST_F(PainelInicio, InterfaceShowsOneTabSetAndMovesTheOthersOutOfSight)
{
    DoEvents();
    EXPECT_EQ(SD.SSDesenho.Left(), 0);
    EXPECT_EQ(SD.DesEtapaCbo.Left(), 0);
    EXPECT_EQ(SD.SSTabBrivan.Left(), 4000);
    EXPECT_EQ(SD.Progress1.Left(), 4000);
    EXPECT_EQ(SD.SSPrefs.Left(), 4000);

    SD.SetInterface(1);
    EXPECT_EQ(SD.SSTabBrivan.Left(), 0);
    EXPECT_EQ(SD.Progress1.Left(), 0);
    EXPECT_EQ(SD.SSDesenho.Left(), 4000);
    EXPECT_EQ(SD.DesEtapaCbo.Left(), 4000);
    EXPECT_EQ(SD.SSPrefs.Left(), 4000);

    // The preferences show the tolerances in force.
    SD.SetTolVerifCota(0.02);
    SD.SetTolVerifComp(0.25);
    SD.SetInterface(2);
    EXPECT_EQ(SD.SSPrefs.Left(), 0);
    EXPECT_EQ(SD.SSTabBrivan.Left(), 4000);
    EXPECT_EQ(SD.SSDesenho.Left(), 4000);
    EXPECT_EQ(SD.PrefsTxt(0).Text(), "0,02");
    EXPECT_EQ(SD.PrefsTxt(1).Text(), "0,25");

    // Another value is kept, nothing moves.
    SD.SetInterface(3);
    EXPECT_EQ(SD.Interface(), 3);
    EXPECT_EQ(SD.SSPrefs.Left(), 0);
    DoEvents();
    EXPECT_EQ(SD.SSPrefs.Left(), 0);

    // Painting lays out the theme grid; the panel keeps its size.
    EXPECT_EQ(SD.TEMAFlg.FormatString(), "|Tipo|Qtt");
    // Widths are whole pixels of 15 twips.
    EXPECT_NEAR(SD.TEMAFlg.ColWidth(0), 275, 15);
    EXPECT_NEAR(SD.TEMAFlg.ColWidth(1), 1300, 15);
    EXPECT_NEAR(SD.TEMAFlg.ColWidth(2), 400, 15);
    SD.Move(0, 0, 5000, 1000);
    EXPECT_EQ(SD.Width(), 2595);
    EXPECT_EQ(SD.Height(), 3810);
}

// Each picture of a menu is the whole menu in one state: the three differ
// inside every button the panel adds, and nowhere else.
TEST_F(PainelInicio, TheMenuPicturesChangeOnlyInsideTheirButtons)
{
    for (PicMnuUsrCtl* menu : {&SD.InsMenu, &SD.ImpMenu}) {
        const std::string nome = menu == &SD.InsMenu ? "INSMENU" : "IMPMENU";
        const Picture plano = LoadResPicture(nome + "FLAT", vbResBitmap);
        const Picture realce = LoadResPicture(nome + "MOVE", vbResBitmap);
        const Picture pressionado = LoadResPicture(nome + "CLICK", vbResBitmap);
        for (const Picture* p : {&plano, &realce, &pressionado}) {
            EXPECT_EQ(p->Width(), 135 * 15) << nome;
            EXPECT_EQ(p->Height(), 107 * 15) << nome;
        }
        // The button under each pixel, by the menu's own grid.
        const auto botaoEm = [&](int x, int y) {
            for (int k = 1; k <= menu->gDimX() * menu->gDimy(); ++k) {
                const PicMnuBotaoRec b = menu->Botao(k);
                if (b.Key.empty()) continue;
                const int x0 = 135 * b.Column / menu->gDimX();
                const int x1 = 135 * (b.Column + b.ExtraColumns + 1) / menu->gDimX();
                const int y0 = 107 * b.Row / menu->gDimy(), y1 = 107 * (b.Row + b.ExtraRows + 1) / menu->gDimy();
                if (x >= x0 && x < x1 && y >= y0 && y < y1) return k;
            }
            return 0;
        };
        std::vector<bool> muda(static_cast<std::size_t>(menu->gDimX() * menu->gDimy() + 1), false);
        int foraDiferentes = 0;
        for (int y = 0; y < 107; ++y)
            for (int x = 0; x < 135; ++x) {
                const long f = plano.Pixel(x, y), r = realce.Pixel(x, y), c = pressionado.Pixel(x, y);
                const int k = botaoEm(x, y);
                if (k == 0 && (f != r || f != c)) ++foraDiferentes;
                if (k != 0 && f != r && f != c) muda[static_cast<std::size_t>(k)] = true;
            }
        EXPECT_EQ(foraDiferentes, 0) << nome;
        for (int k = 1; k < static_cast<int>(muda.size()); ++k) {
            if (menu->Botao(k).Key.empty()) continue;
            EXPECT_TRUE(muda[static_cast<std::size_t>(k)]) << nome << " botão " << k;
        }
    }
}
