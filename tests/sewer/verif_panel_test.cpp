// The sewer panel's verification page: preparing and running a verification
// of either network, the fault list and its counts, the zoom to a fault
// clicked, the markers erased, and a network switched between prepare and run.

#include <gtest/gtest.h>

#include "PanelTestSupport.h"
#include "VerifTestSupport.h"
#include "cad/modGeometria.h"
#include "sewer/frmEditList.h"
#include "sewer/modConfSAN.h"
#include "shell/frmMsgBox.h"

using namespace sewertest;
using veriftest::Respostas;

namespace {

class PainelVerificacao : public PainelTest {
protected:
    PainelVerificacao()
    {
        ErrList.clear();
        ErrN = 0;
        SD.SetInterface(1);
    }

    // Opens the groups of the option list: every option chosen.
    void EscolheTudo()
    {
        forms::ListBox& l = SD.SANERROptlst;
        for (int i = 0; i < l.ListCount(); ++i)
            if (l.List(i).rfind("VERIFICAR", 0) == 0) forms::user::Choose(l, i);
    }
    std::vector<std::string> Falhas()
    {
        std::vector<std::string> v;
        for (int i = 0; i < SD.SANERRlst.ListCount(); ++i) v.push_back(SD.SANERRlst.List(i));
        return v;
    }
    acad::BlockReference* PVd(const Ponto& P, const std::string& Numero, int Etapa = 1)
    {
        return des.DrawPV(P, 0.0, "E-PV", Numero, "102.000", "100.000", "2.000", Etapa, false);
    }
    void Nao()
    {
        respostas.Proxima<frmMsgBox>([](frmMsgBox& m) { forms::user::Click(m.CmdCancel); });
    }

    Respostas respostas;
};

}  // namespace

TEST_F(PainelVerificacao, ADesignedNetworkIsVerifiedFromThePanel)
{
    PVd(Ponto(0, 0), "PV-1");
    PVd(Ponto(100, 100), "PV-1");
    PVd(Ponto(200, 0), "PV-3", 9);
    EXPECT_FALSE(SD.CONFCmd(1).Enabled());

    Clica(SD.CONFCmd(0));
    EXPECT_TRUE(SD.SANERROptlst.Visible());
    EXPECT_FALSE(SD.SANERRlst.Visible());
    EXPECT_TRUE(SD.CONFCmd(1).Enabled());
    ASSERT_EQ(SD.SANERROptlst.ListCount(), 2);
    EXPECT_EQ(SD.SANERROptlst.List(1), "VERIFICAR TRECHOS");
    EXPECT_EQ(SD.Progress1.Caption(), "0 itens");
    EXPECT_FALSE(SD.Progress1.Visible());

    EscolheTudo();
    Clica(SD.CONFCmd(1));
    EXPECT_FALSE(SD.SANERROptlst.Visible());
    EXPECT_TRUE(SD.SANERRlst.Visible());
    EXPECT_FALSE(SD.CONFCmd(1).Enabled());
    EXPECT_EQ(Falhas(), (std::vector<std::string>{"Número Duplicado", "Número Duplicado", "Etapa: (9)"}));
    EXPECT_EQ(ErrN, 3);
    EXPECT_EQ(ErrCount[1], 2);
    EXPECT_EQ(ErrCount[3], 1);
    EXPECT_EQ(Blocos("ErroC").size(), 3u);
    EXPECT_EQ(SD.Progress1.Caption(), "3 itens");
    EXPECT_FALSE(SD.Progress1.Visible());
    ASSERT_EQ(respostas.Relatorios().size(), 1u);
    EXPECT_TRUE(veriftest::Comeca(respostas.Relatorios()[0], "ERROS LOCALIZADOS EM PVs:\r\n1 Pvs com número"));

    // A new prepare erases the markers and the list.
    Clica(SD.CONFCmd(0));
    EXPECT_TRUE(Blocos("ErroC").empty());
    EXPECT_EQ(SD.SANERRlst.ListCount(), 0);
}

TEST_F(PainelVerificacao, AFaultClickedIsZoomedToBeforeItsCorrection)
{
    acad::BlockReference* pvm = des.DrawPV(Ponto(0, 0), 0.0, "E-PV", "PV-1", "101.5", "100.000", "1.500", 1, false);
    acad::BlockReference* pvj = des.DrawPV(Ponto(60, 0), 0.0, "E-PV", "PV-2", "101.0", "99.200", "1.800", 1, false);
    std::string codigo;
    acad::BlockReference* tr = des.DrawTR(pvm, pvj, "150", "60.00", "0.010000", "PVC", 1, "T-1", "Asfalto", codigo);
    sewertest::Atributo(tr, "DG")->SetTextString("");  // a step without its mark
    PVd(Ponto(300, 300), "PV-9", 9);
    SD.SetAcadZoomCenter(50);
    SD.SetAcadZoomScale(0.5);
    SD.CONFChk.SetValue(forms::vbUnchecked);
    Clica(SD.CONFCmd(0));
    forms::user::Choose(SD.SANERROptlst, 1);  // the reaches only, slopes aside
    ASSERT_EQ(SD.SANERROptlst.List(3), "TR: Declividades");
    forms::user::Choose(SD.SANERROptlst, 3);
    Clica(SD.CONFCmd(1));
    ASSERT_EQ(Falhas(), std::vector<std::string>{"Use Degrau"});

    // Between its two points: the manhole and the reach, then scaled.
    Nao();
    SD.SANERRlst.SetListIndex(0);
    EXPECT_EQ(respostas.Mostradas().back().Titulo, "Aplicar Degrau");
    EXPECT_TRUE(Perto(Centro(), Ponto(45, 0, 0)));

    // A point alone: centred at the panel's view height, and no zoom at 0.
    Clica(SD.CONFCmd(0));
    EscolheTudo();
    Clica(SD.CONFCmd(1));
    ASSERT_EQ(Falhas(), std::vector<std::string>{"Etapa: (9)"});
    respostas.Proxima<frmEditList>([](frmEditList& f) { forms::user::Click(f.CmdCancel); });
    SD.SANERRlst.SetListIndex(0);
    EXPECT_TRUE(Perto(Centro(), Ponto(300, 300, 0)));
    EXPECT_DOUBLE_EQ(Altura(), 50);
    SD.SetAcadZoomCenter(0);
    app->ZoomCenter({10, 10, 0}, 80);
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        forms::user::Choose(f.List1, 1);
        forms::user::Click(f.CmdOK);
    });
    SD.SANERRlst.SetListIndex(-1);
    SD.SANERRlst.SetListIndex(0);
    EXPECT_TRUE(Perto(Centro(), Ponto(10, 10, 0)));
    EXPECT_DOUBLE_EQ(Altura(), 80);
    // The correction took it out of the list: a click on no line does nothing.
    EXPECT_EQ(SD.SANERRlst.ListCount(), 0);
    EXPECT_EQ(SD.Progress1.Caption(), "0 itens");
    respostas.Limpa();
    SD.SANERRlst.SetListIndex(-1);
    EXPECT_TRUE(respostas.Mostradas().empty());
}

TEST_F(PainelVerificacao, TheGenericChoiceEmptiesTheListAndLimparErasesTheMarkers)
{
    PVd(Ponto(0, 0), "PV-1", 9);
    Clica(SD.CONFCmd(0));
    EscolheTudo();
    Clica(SD.CONFCmd(1));
    ASSERT_EQ(SD.SANERRlst.ListCount(), 1);
    Clica(SD.CONFChk);
    EXPECT_EQ(SD.SANERRlst.ListCount(), 0);
    EXPECT_EQ(Blocos("ErroC").size(), 1u);
    EXPECT_EQ(ErrList.size(), 1u);
    Clica(SD.ConfLimpaCmd);
    EXPECT_TRUE(Blocos("ErroC").empty());
}

TEST_F(PainelVerificacao, ANetworkSwitchedBetweenPrepareAndRunIsPreparedAgain)
{
    des.InsertPVGen(Ponto(0, 0), "", "100", 1);
    Clica(SD.CONFCmd(0));
    ASSERT_EQ(SD.SANERROptlst.List(0), "VERIFICAR PVs");
    Clica(SD.CONFChk);
    Clica(SD.CONFCmd(1));
    // Nothing ran: the generic network's options are offered.
    ASSERT_EQ(SD.SANERROptlst.ListCount(), 2);
    EXPECT_EQ(SD.SANERROptlst.List(0), "VERIFICAR PVs Gen.");
    EXPECT_TRUE(SD.SANERROptlst.Visible());
    EXPECT_TRUE(SD.CONFCmd(1).Enabled());
    EXPECT_TRUE(respostas.Mostradas().empty());

    forms::user::Choose(SD.SANERROptlst, 0);
    Clica(SD.CONFCmd(1));
    EXPECT_EQ(Falhas(), std::vector<std::string>{"PV sem nome"});
    EXPECT_EQ(ErrCount[17], 1);
    EXPECT_EQ(respostas.Relatorios().size(), 1u);
}

TEST_F(PainelVerificacao, AGenericReachDrawnWithTheNoOptionVerifiesClean)
{
    des.InsertPVGen(Ponto(0, 0), "G-1", "100", 1);
    des.InsertPVGen(Ponto(60, 0), "G-2", "99", 1);
    des.InsertPVGen(Ponto(120, 0), "G-3", "98", 1);
    SD.SetInterface(0);  // the drawing tabs
    const auto escolhe = [this](forms::ComboBox& C, const std::string& Texto) {
        MostraPagina(SD, C);
        for (int i = 0; i < C.ListCount(); ++i)
            if (C.List(i) == Texto) return forms::user::Choose(C, i);
        ADD_FAILURE() << Texto << " não está na lista " << C.Name();
    };
    escolhe(SD.DesPavmtoCbo(0), "Terra");
    escolhe(SD.DesMatTuboCbo(1), "PEAD");
    forms::user::Choose(SD.DesEtapaCbo, 1);
    // "NÃO", then "SIM" for a second reach: both are contributions the check knows.
    MostraPagina(SD, SD.DesGenContribFra);
    forms::user::Click(SD.DesGenContribOpt(0));
    ASSERT_EQ(SD.DesGenContribOpt(0).Caption(), "NÃO");
    script->Point({0, 0, 0}).Point({60, 0, 0});
    Clica(SD.DesInsertTRGenCmd);
    forms::user::Click(SD.DesGenContribOpt(1));
    app->ZoomCenter({90, 0, 0}, 80);
    script->Point({60.3, 0.3, 0}).Point({120.3, 0.3, 0});
    Clica(SD.DesInsertTRGenCmd);
    const auto trechos = Blocos("E-TRCGEN");
    ASSERT_EQ(trechos.size(), 2u);
    EXPECT_EQ(Atributos(trechos[0]).at("CONTRIB"), "NÃO");

    SD.SetInterface(1);
    Clica(SD.CONFChk);
    Clica(SD.CONFCmd(0));
    ASSERT_EQ(SD.SANERROptlst.List(1), "VERIFICAR TRs Gen.");
    EscolheTudo();
    Clica(SD.CONFCmd(1));
    EXPECT_EQ(Falhas(), std::vector<std::string>{});
    EXPECT_EQ(ErrCount[21], 0);
    EXPECT_TRUE(respostas.Relatorios().empty());
    // The text written stays as the panel wrote it.
    EXPECT_EQ(Atributos(trechos[0]).at("CONTRIB"), "NÃO");
    EXPECT_EQ(Atributos(trechos[1]).at("CONTRIB"), "SIM");
}
