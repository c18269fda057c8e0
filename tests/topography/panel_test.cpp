// The topography panel: its six tabs laid out, the point menu built at every
// start with its hover text and commands, the building-type markers, the key
// filter of the spline box, the section worker kept only while its tab is
// chosen, and the settings kept for the run.

#include <gtest/gtest.h>

#include <fstream>

#include "TopoTestSupport.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPSec.h"

using namespace topotest;
using namespace forms;

namespace {

class Painel : public TopoTest {
protected:
    Painel() : TD(painel.TD) { TD.Start(); }

    // Item `Index` of the point menu, pressed where a person sees it.
    void Aperta(int Index)
    {
        const PicMnuBotaoRec b = TD.PtoMenu.Botao(Index);
        user::ClickAt(TD.PtoMenu.Picture1, (b.Column + 0.5) * 45, (b.Row + 0.5) * 107.0 / 3);
    }

    FormTopo painel;
    TOPDes98& TD;
};

class PainelSemHost : public cadtest::CadTest {
protected:
    PainelSemHost() : cadtest::CadTest(false) {}
};

TEST_F(Painel, SixTabsWithTheirControlsAndAFixedSize)
{
    ASSERT_EQ(TD.SSTopo.Tabs(), 6);
    const char* abas[] = {"Cadastro", "Margens", "Blocos", "Pontos", "Seções", "Misc."};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(TD.SSTopo.TabCaption(i), abas[i]);
    EXPECT_EQ(TD.CADlbl(3).Caption(), "Comercios :");
    EXPECT_EQ(TD.CADInsertCmd.Caption(), "Inserir");
    EXPECT_EQ(TD.Im(3).ToolTipText(), "Edificação Comercail");
    EXPECT_EQ(TD.Im(7).ToolTipText(), "Soleira Baixa");
    EXPECT_EQ(TD.MarArqs(2).Caption(), "Modo Preview");
    EXPECT_EQ(TD.InsQuaCmd.ToolTipText(), "Insere bloco Quadrícula");
    EXPECT_EQ(TD.MARlbl(1).Caption(), "Constução das Pranchas em PaperSpace:");
    EXPECT_EQ(TD.TRBlkExecutaCmd.Caption(), "Inicia");
    EXPECT_EQ(TD.TRBlkCap(3).Caption(), "Escala Texto:");
    EXPECT_EQ(TD.SECCmd(0).Caption(), "Selecione Polyline");
    EXPECT_EQ(TD.SECCmd(1).Caption(), "Desenhar");
    EXPECT_EQ(TD.SECtxt(1).ToolTipText(), "Escala Horizontal dividido pela Escala Vertical");
    EXPECT_EQ(TD.SECcap(4).Caption(), "Maior diferença:");
    EXPECT_EQ(TD.SECcap(8).Caption(), "/ 1");
    EXPECT_EQ(TD.MISCSpl2PlTxt.ToolTipText(), "de 4 a 26 - Numero de pontos adicionais para cada segmento ");
    EXPECT_EQ(TD.MISCZzeroCmd.Caption(), "Coordenada Z = zero");
    // Every control lies inside the panel.
    for (Control* c : std::initializer_list<Control*>{&TD.CADFrm, &TD.ProgressBar1, &TD.MARProgressLbl, &TD.MarArqs(2),
                                                      &TD.BLKProgress, &TD.PtoMenu, &TD.PTSProgresslbl, &TD.SECProgress,
                                                      &TD.SEClbl(5), &TD.MISCProgresslbl}) {
        EXPECT_LE(c->Top() + c->Height(), 3735) << c->Name();
        EXPECT_LE(c->Width(), 2595) << c->Name();
    }
    TD.Move(0, 0, 5000, 6000);
    EXPECT_EQ(TD.Width(), 2595);
    EXPECT_EQ(TD.Height(), 3735);
}

TEST_F(Painel, EveryStartReadsTheCatalogueAndBuildsTheNineItemPointMenu)
{
    TD.Start();
    EXPECT_EQ(gBlocosTopo.size(), 20u) << "uma cópia de cada bloco";
    user::ChooseTab(TD.SSTopo, 3);
    EXPECT_FALSE(TD.PtoMenu.MenuOff);
    EXPECT_EQ(TD.PtoMenu.gDimX(), 3);
    EXPECT_EQ(TD.PtoMenu.gDimy(), 3);
    struct Item {
        const char* Key;
        const char* Descricao;
        int Coluna, Linha;
    };
    const Item itens[] = {{"Info", "Informações de um Ponto", 0, 0},
                          {"InsPto", "Inserir Ponto", 1, 0},
                          {"NoXd", "Localizar Pontos sem Xdata", 2, 0},
                          {"Purge", "Purge XData não utilizados", 0, 1},
                          {"MCota", "Mudar Cota do Ponto", 1, 1},
                          {"Find", "Localizar Ponto", 2, 1},
                          {"Import", "Importar Pontos de arquivo Texto", 0, 2},
                          {"Textos", "Aplica texto dos Pontos", 1, 2},
                          {"RemDupl", "Remover pontos duplicados", 2, 2}};
    for (int i = 1; i <= 9; ++i) {
        const PicMnuBotaoRec b = TD.PtoMenu.Botao(i);
        EXPECT_EQ(b.Key, itens[i - 1].Key);
        EXPECT_EQ(b.Description, itens[i - 1].Descricao);
        EXPECT_EQ(b.Column, itens[i - 1].Coluna);
        EXPECT_EQ(b.Row, itens[i - 1].Linha);
        EXPECT_EQ(b.Texto, "xx");
        // The hover text.
        user::MouseMove(TD.PtoMenu.Picture1, 0, 0, (b.Column + 0.5) * 45, (b.Row + 0.5) * 107.0 / 3);
        EXPECT_EQ(TD.lblPtos.Caption(), itens[i - 1].Descricao);
    }

    // A catalogue that cannot load: told once, the menu still built, the blocks kept.
    gMdbPath = (pasta / "falta.mdb").string();
    mensagens.Limpa();
    TD.Start();
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(gBlocosTopo.size(), 20u);
    EXPECT_EQ(TD.PtoMenu.Botao(9).Key, "RemDupl");
}

TEST_F(Painel, TheMenuRunsItsCommandsInTheDrawing)
{
    user::ChooseTab(TD.SSTopo, 3);
    bool mostrado = false;
    RespondeInsercao([&](frmInsPoint& f) {
        mostrado = true;
        user::Click(f.cmdEnd);
    });
    Aperta(2);
    EXPECT_TRUE(mostrado);
    EXPECT_TRUE(mensagens.Lista().empty());

    // An import: the menu pressed again while it yields starts nothing.
    const std::filesystem::path f = pasta / "pontos.txt";
    std::ofstream(f, std::ios::binary) << "A1\t1\t2\t3\tx\r\nA2\t4\t5\t6\t\r\n";
    int pedidos = 0;
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest&) {
        ++pedidos;
        return os::DialogAnswer::Path(f.string());
    });
    bool dentro = false;
    forms::YieldHook anterior = forms::SetYieldHook([&] {
        if (dentro) return;
        dentro = true;
        Aperta(7);
        Aperta(2);
        dentro = false;
    });
    Aperta(7);
    forms::SetYieldHook(std::move(anterior));
    EXPECT_EQ(pedidos, 1);
    EXPECT_EQ(Conta("AcDbPoint"), 2u);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Foram inseridos 2 pontos.");
    EXPECT_FALSE(TD.PtoMenu.MenuOff) << "o menu volta a responder";
}

TEST_F(PainelSemHost, AMenuClickWithoutTheHostRunsNoRoutine)
{
    gMdbPath = (cadtest::PastaDoPrograma() / "rereva2000r.mdb").string();
    FormTopo painel;
    painel.TD.Start();
    user::ChooseTab(painel.TD.SSTopo, 3);
    mensagens.Limpa();
    // The insertion's dialog would fail the test: nobody answers it.
    const PicMnuBotaoRec b = painel.TD.PtoMenu.Botao(2);
    user::ClickAt(painel.TD.PtoMenu.Picture1, (b.Column + 0.5) * 45, (b.Row + 0.5) * 107.0 / 3);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Inicie o AutoCAD"), std::string::npos);
    gMdbPath.clear();
    gBlocosTopo.clear();
}

TEST_F(Painel, TheBuildingTypeMarkersMoveBesideThePicturesAndTypesSixAndSevenActAtOnce)
{
    user::ChooseTab(TD.SSTopo, 0);
    auto abaixa = [&](int i) { user::MouseDown(TD.Im(i), vbLeftButton, 0, 5, 5); };
    auto solta = [&](int i) { user::MouseUp(TD.Im(i), vbLeftButton, 0, 5, 5); };
    auto passa = [&](int i) { user::MouseMove(TD.Im(i), 0, 0, 5, 5); };

    passa(2);
    EXPECT_EQ(TD.Bu.Left(), 3);
    EXPECT_EQ(TD.Bu.Top(), TD.Im(2).Top());
    // Over the same picture again, Bu is not moved again.
    TD.Bu.SetLeft(500);
    passa(2);
    EXPECT_EQ(TD.Bu.Left(), 500);

    abaixa(4);
    EXPECT_EQ(TD.Bu.Left(), -100);
    EXPECT_EQ(TD.Bd.Left(), 3);
    EXPECT_EQ(TD.Bd.Top(), TD.Im(4).Top());
    solta(4);
    EXPECT_EQ(TD.Bd.Left(), 3) << "o tipo escolhido fica marcado";
    EXPECT_EQ(TD.Bd.Top(), TD.Im(4).Top());
    EXPECT_EQ(TD.TipoCadastro(), 4);

    for (int i : {6, 7}) {
        abaixa(i);
        solta(i);
        EXPECT_EQ(TD.Bd.Left(), -100) << i;
        EXPECT_EQ(TD.Bd.Top(), TD.Im(i).Top());
        EXPECT_EQ(TD.Bu.Left(), 3);
    }
}

TEST_F(Painel, TheSplineBoxTakesDigitsOnlyAndTheSectionWorkerLivesWithItsTab)
{
    user::ChooseTab(TD.SSTopo, 5);
    user::Type(TD.MISCSpl2PlTxt, "1a2-.,3 ");
    EXPECT_EQ(TD.MISCSpl2PlTxt.Text(), "123");
    user::PressKey(TD.MISCSpl2PlTxt, vbKeyBack);
    EXPECT_EQ(TD.MISCSpl2PlTxt.Text(), "12");

    EXPECT_EQ(TD.Secao(), nullptr);
    user::ChooseTab(TD.SSTopo, 4);
    ASSERT_NE(TD.Secao(), nullptr);
    const clsTOPSec* primeira = TD.Secao();
    user::ChooseTab(TD.SSTopo, 3);
    EXPECT_EQ(TD.Secao(), nullptr);
    user::ChooseTab(TD.SSTopo, 4);
    EXPECT_NE(TD.Secao(), nullptr);
    (void)primeira;
}

TEST_F(Painel, TheProgressTextsShowBesideTheirBars)
{
    long long agora = 0;
    for (ProgressBar* b : {&TD.PTSProgress, &TD.MARProgress, &TD.MISCProgress, &TD.BLKProgress}) {
        b->SetRelogio([&] { return agora; });
        b->SetEnabledTimer(true);
        b->Progress_Start(100);
    }
    agora = 10000;
    for (ProgressBar* b : {&TD.PTSProgress, &TD.MARProgress, &TD.MISCProgress, &TD.BLKProgress})
        for (int i = 0; i < 50; ++i) b->Progress();
    EXPECT_FALSE(TD.PTSProgresslbl.Caption().empty());
    EXPECT_EQ(TD.PTSProgresslbl.Caption(), TD.MARProgressLbl.Caption());
    EXPECT_EQ(TD.MISCProgresslbl.Caption(), TD.MARProgressLbl.Caption());
}

TEST_F(Painel, TheNineSettingsHaveTheirDefaultsAndAreKeptForTheRun)
{
    {
        FormTopo f("frmTopoPreferencias");
        TOPDes98& P = f.TD;
        EXPECT_DOUBLE_EQ(P.MARVPDimX(), 786);
        EXPECT_DOUBLE_EQ(P.MARVPDimY(), 499);
        EXPECT_DOUBLE_EQ(P.MAREscala(), 1000);
        EXPECT_EQ(P.AcadZoomCenter(), 400);
        EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.4);
        EXPECT_EQ(P.SeparadorDecimal(), 1);
        EXPECT_EQ(P.PRECCOTA(), 3);
        EXPECT_EQ(P.PRECOORD(), 4);
        EXPECT_EQ(P.PRECDIST(), 2);
        EXPECT_NE(P.hwnd(), 0);
        P.SetMARVPDimX(800.5);
        P.SetMARVPDimY(500);
        P.SetMAREscala(2000);
        P.SetAcadZoomCenter(250);
        P.SetAcadZoomScale(0.7);
        P.SetSeparadorDecimal(0);
        P.SetPRECCOTA(1);
        P.SetPRECOORD(2);
        P.SetPRECDIST(5);
    }
    FormTopo f("frmTopoPreferencias");
    TOPDes98& P = f.TD;
    EXPECT_DOUBLE_EQ(P.MARVPDimX(), 800.5);
    EXPECT_DOUBLE_EQ(P.MARVPDimY(), 500);
    EXPECT_DOUBLE_EQ(P.MAREscala(), 2000);
    EXPECT_EQ(P.AcadZoomCenter(), 250);
    EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.7);
    EXPECT_EQ(P.SeparadorDecimal(), 0);
    EXPECT_EQ(P.PRECCOTA(), 1);
    EXPECT_EQ(P.PRECOORD(), 2);
    EXPECT_EQ(P.PRECDIST(), 5);
}

}  // namespace
