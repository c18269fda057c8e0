// The reach and manhole correction dialogs: what they show of the fault, the
// profile's two variants, the calculators, the numbers they accept and how
// they write them back, and a second run clean after a correction.

#include <gtest/gtest.h>

#include "VerifTestSupport.h"
#include "sewer/clsSANVerif.h"
#include "sewer/frmEditPV.h"
#include "sewer/frmEditTR.h"
#include "shell/frmMsgBox.h"

using namespace veriftest;
using sewertest::Atributo;
using sewertest::Atributos;

namespace {

class Dialogos : public VerifTest {
protected:
    Dialogos() { NovaVerificacao(); }

    void NovaVerificacao() { Nova(verif, &clsSANVerif::ConfereErroMsg); }
    void Executa(const std::set<std::string>& Opcoes)
    {
        VerifTest::Executa(*verif, Opcoes);
        respostas.Limpa();
    }
    // Manholes PV-1 (CS 100.5), PV-2 (99.9), PV-3 (99.2) and the reaches T-1
    // (no drop) and T-2 (a step of 0.2 at PV-3).
    void Rede()
    {
        p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
        p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
        p3 = PVd(Ponto(60, -50), "PV-3", 99.2);
        t1 = TRd(p1, p2, "T-1", "60.00", "0.010000");
        t2 = TRd(p2, p3, "T-2", "50.00", "0.010000");
    }
    static bool Sobre(forms::Control& A, forms::Control& B)
    {
        return A.Left() == B.Left() && A.Top() == B.Top() && A.Width() == B.Width();
    }

    std::unique_ptr<clsSANVerif> verif;
    acad::BlockReference *p1 = nullptr, *p2 = nullptr, *p3 = nullptr, *t1 = nullptr, *t2 = nullptr;
    const std::set<std::string> trechos = {"VERIFICAR TRECHOS", "TR: Declividades", "TR: Comprimentos"};
};

}  // namespace

TEST_F(Dialogos, ASlopeFaultOpensOnTheSlopeAndWritesTheComputedOne)
{
    Rede();
    Atributo(t1, "DEC")->SetTextString("0.009000");
    Executa(trechos);
    ASSERT_EQ(LinhasDaLista(), std::vector<std::string>{"Dec=0.010000(0.060)"});

    respostas.Proxima<frmEditTR>([&](frmEditTR& f) {
        EXPECT_EQ(f.Titulo.Caption(), "Trecho: T-1");
        EXPECT_EQ(f.Label1.Caption(), "A declividade de 0.009 causa um erro de 0.060 na cota da soleira.");
        const char* esperados[14] = {"102.000",  "1.500", "100.500", "102.000", "2.100",   "99.900", "60.00",
                                     "0.009000", "0.000", "0.000",   "0.600",   "(59.00)", "1000mm", "1000mm"};
        for (int k = 0; k < 14; ++k) EXPECT_EQ(f.Label3(k).Caption(), esperados[k]) << k;
        // No step: the pipe runs straight into the downstream invert.
        EXPECT_FALSE(f.Label3(8).Visible());
        EXPECT_FALSE(f.Label3(9).Visible());
        EXPECT_FALSE(f.Line1(1).Visible());
        EXPECT_DOUBLE_EQ(f.Line1(0).X2(), 3480);
        EXPECT_DOUBLE_EQ(f.Line1(0).Y2(), 3600);
        EXPECT_DOUBLE_EQ(f.Label3(10).Top(), 3000);
        // The field lies over the slope; the display holds the slope the check computed.
        EXPECT_TRUE(Sobre(f.Text1, f.Label3(7)));
        EXPECT_EQ(f.Text1.Text(), "0.009000");
        EXPECT_EQ(f.CalcCmd(5).Caption(), "0.010000");
        forms::user::Click(f.CalcCmd(5));
        EXPECT_EQ(f.Text1.Text(), "0.010000");
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(respostas.Pendentes(), 0u);
    EXPECT_EQ(Atributos(t1).at("DEC"), "0.010000");
    EXPECT_TRUE(LinhasDaLista().empty());
    EXPECT_EQ(listas.Barra.Caption(), "0 itens");

    NovaVerificacao();
    Executa(trechos);
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Dialogos, ALengthIsAcceptedOnlyAsANumberAndWrittenWithThePanelsDecimals)
{
    Rede();
    Atributo(t1, "DD")->SetTextString("150-60.20");
    verif->gPRECDIST = 2;
    Executa(trechos);
    ASSERT_EQ(LinhasDaLista(), std::vector<std::string>{"Comp=60.00(-0.20)"});

    respostas.Proxima<frmEditTR>([&](frmEditTR& f) {
        EXPECT_EQ(f.Label1.Caption(), "A diferença entre o comprimento de 60.2m e o real de 60.00m é igual a -0.20m.");
        EXPECT_TRUE(Sobre(f.Text1, f.Label3(6)));
        EXPECT_EQ(f.Text1.Text(), "60.20");
        f.Text1.SetText("sessenta");
        forms::user::Click(f.CmdOK);  // told, and the dialog stays
        EXPECT_TRUE(f.Visible());
        f.Text1.SetText("42,5");
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mensagens(), std::vector<std::string>{"O valor \"sessenta\" não é um número."});
    EXPECT_EQ(Atributos(t1).at("DD"), "150-42.50");
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Dialogos, AnEmptiedValueIsWrittenAsZero)
{
    Rede();
    Atributo(t1, "DD")->SetTextString("150-60.20");
    Atributo(t2, "TCP")->SetTextString("0.150");
    verif->gPRECDIST = 2;
    Executa(trechos);
    ASSERT_EQ(LinhasDaLista().size(), 2u);

    // The length, then the step height, emptied and taken as they stand.
    for (int vez = 0; vez < 2; ++vez) {
        respostas.Proxima<frmEditTR>([](frmEditTR& f) {
            f.Text1.SetText("");
            forms::user::Click(f.CmdOK);
            EXPECT_FALSE(f.Visible());
        });
        ClicaFalha(0);
    }
    EXPECT_EQ(respostas.Pendentes(), 0u);
    EXPECT_TRUE(respostas.Mensagens().empty());
    EXPECT_EQ(Atributos(t1).at("DD"), "150-0.00");
    EXPECT_EQ(Atributos(t2).at("TCP"), "0.000");
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Dialogos, AStepFaultShowsTheStepAndItsHeight)
{
    Rede();
    Atributo(t2, "TCP")->SetTextString("0.150");
    Executa(trechos);
    ASSERT_EQ(LinhasDaLista(), std::vector<std::string>{"Deg=0.200(0.050)"});

    respostas.Proxima<frmEditTR>([&](frmEditTR& f) {
        EXPECT_EQ(f.Label1.Caption(), "A altura do Degrau de 0.15 tem um erro de 0.050m.");
        EXPECT_TRUE(f.Label3(8).Visible());
        EXPECT_TRUE(f.Label3(9).Visible());
        EXPECT_EQ(f.Label3(8).Caption(), "99.400");
        EXPECT_EQ(f.Label3(10).Caption(), "0.550");  // 99.9 − 99.2 − 0.15
        EXPECT_DOUBLE_EQ(f.Label3(10).Top(), 2760);
        EXPECT_DOUBLE_EQ(f.Line1(0).X2(), 3360);
        EXPECT_DOUBLE_EQ(f.Line1(0).Y2(), 3120);
        EXPECT_TRUE(f.Line1(1).Visible());
        EXPECT_DOUBLE_EQ(f.Line2(3).X1(), 2040);
        EXPECT_TRUE(Sobre(f.Text1, f.Label3(9)));
        EXPECT_EQ(f.CalcCmd(5).Caption(), "0.200");
        forms::user::Click(f.CalcCmd(5));
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(t2).at("TCP"), "0.200");

    NovaVerificacao();
    Executa(trechos);
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Dialogos, TheReachCalculator)
{
    frmEditTR f;
    f.CalcCmd(5).SetCaption("2");
    forms::user::Click(f.CalcCmd(4));  // "=" before any operator adds to 0
    EXPECT_EQ(f.CalcCmd(5).Caption(), "2.000000");
    forms::user::Click(f.CalcCmd(2));  // x
    f.CalcCmd(5).SetCaption("1,5");
    forms::user::Click(f.CalcCmd(4));
    EXPECT_EQ(f.CalcCmd(5).Caption(), "3.000000");
    forms::user::Click(f.CalcCmd(4));  // again: the same operation on the new display
    EXPECT_EQ(f.CalcCmd(5).Caption(), "6.000000");
    forms::user::Click(f.CalcCmd(3));  // a division by zero leaves the display
    f.CalcCmd(5).SetCaption("0");
    forms::user::Click(f.CalcCmd(4));
    EXPECT_EQ(f.CalcCmd(5).Caption(), "0");
    // A label or the field goes to the display; the display to the field.
    f.Label3(6).SetCaption("42.00");
    forms::user::Click(f.Label3(6));
    EXPECT_EQ(f.CalcCmd(5).Caption(), "42.00");
    forms::user::Click(f.CalcCmd(5));
    EXPECT_EQ(f.Text1.Text(), "42.00");
    f.Text1.SetText("7");
    forms::user::Click(f.Text1);
    EXPECT_EQ(f.CalcCmd(5).Caption(), "7");
}

TEST_F(Dialogos, ReachCorrectionsNeedBothManholesAndCanBeSwitchedOff)
{
    Rede();
    Atributo(t1, "DEC")->SetTextString("0.009000");
    Atributo(t2, "DEC")->SetTextString("0.007000");
    Executa(trechos);
    ASSERT_EQ(LinhasDaLista().size(), 2u);

    // Cancelled with the box ticked: nothing written, and no more offers.
    respostas.Proxima<frmEditTR>([](frmEditTR& f) {
        forms::user::Click(f.Check1);
        forms::user::Click(f.Check1);  // unticking does not take it back
        forms::user::Click(f.CmdCancel);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(t1).at("DEC"), "0.009000");
    EXPECT_EQ(LinhasDaLista().size(), 2u);
    respostas.Limpa();
    ClicaFalha(1);
    EXPECT_TRUE(respostas.Mostradas().empty());

    // A manhole gone since the run: told, no dialog.
    NovaVerificacao();
    Executa(trechos);
    p3->Delete();
    ClicaFalha(1);
    EXPECT_EQ(respostas.Mensagens(),
              std::vector<std::string>{"O bloco desta ocorrência não existe mais no desenho. Execute a verificação "
                                       "novamente."});
    EXPECT_EQ(LinhasDaLista().size(), 2u);
}

TEST_F(Dialogos, TheManholeDialogKeepsItsThreeValuesConsistent)
{
    acad::BlockReference* pv = des.DrawPV(Ponto(0, 0), 0.0, "E-PV", "PV-1", "10.000", "8.500", "1.400", 1, false);
    Executa({"VERIFICAR PVs", "PV: Profundidades"});
    ASSERT_EQ(LinhasDaLista(), std::vector<std::string>{"Prof = 1.500"});

    respostas.Proxima<frmEditPV>([](frmEditPV& f) {
        EXPECT_EQ(f.Titulo.Caption(), "PV: PV-1");
        EXPECT_EQ(f.Label1.Caption(), "O valor de Profundidade não coincide.");
        EXPECT_EQ(f.Text1.Text(), "10.000");
        EXPECT_EQ(f.Text2.Text(), "8.500");
        EXPECT_EQ(f.Text3.Text(), "1.400");
        EXPECT_EQ(f.CalcCmd(5).Caption(), "1.500");
        // Depth typed: the invert follows; invert typed: the depth; ground
        // typed: the depth, the invert staying as typed.
        f.Text3.SetText("2");
        EXPECT_EQ(f.Text2.Text(), "8.000");
        f.Text2.SetText("7,5");
        EXPECT_EQ(f.Text3.Text(), "2.500");
        f.Text1.SetText("11");
        EXPECT_EQ(f.Text3.Text(), "3.500");
        EXPECT_EQ(f.Text2.Text(), "7,5");
        // An emptied field is 0: no invert makes the ground the depth, no
        // depth leaves the invert at the ground.
        f.Text2.SetText("");
        EXPECT_EQ(f.Text3.Text(), "11.000");
        f.Text3.SetText("");
        EXPECT_EQ(f.Text2.Text(), "11.000");
        // ... but "OK" takes no empty field.
        f.Text3.SetText(" ");
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        f.Text3.SetText("");
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        f.Text3.SetText("3.5");
        EXPECT_EQ(f.Text2.Text(), "7.500");
        // The calculator: 1.5 + 0.25, into the depth.
        f.CalcCmd(5).SetCaption("1.5");
        forms::user::Click(f.CalcCmd(0));
        f.CalcCmd(5).SetCaption("0.25");
        forms::user::Click(f.CalcCmd(4));
        EXPECT_EQ(f.CalcCmd(5).Caption(), "1.750");
        forms::user::Click(f.CalcCmd(5));
        EXPECT_EQ(f.Text3.Text(), "1.750");
        EXPECT_EQ(f.Text2.Text(), "9.250");
        // Only numbers are written.
        f.Text1.SetText("dez");
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        f.Text1.SetText("10");
        f.Text2.SetText("8.5");
        f.Text3.SetText("1,5");
        EXPECT_EQ(f.Text2.Text(), "8.500");
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mensagens(),
              (std::vector<std::string>{"O valor \" \" não é um número.", "O valor \"\" não é um número.",
                                        "O valor \"dez\" não é um número."}));
    const auto a = Atributos(pv);
    EXPECT_EQ(a.at("CT"), "10.000");
    EXPECT_EQ(a.at("CS"), "8.500");
    EXPECT_EQ(a.at("CP"), "1.500");
    EXPECT_TRUE(LinhasDaLista().empty());

    NovaVerificacao();
    Executa({"VERIFICAR PVs", "PV: Profundidades"});
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Dialogos, TheManholeDialogCancelledChangesNothingButRemembersTheBox)
{
    acad::BlockReference* pv = des.DrawPV(Ponto(0, 0), 0.0, "E-PV", "PV-1", "10.000", "8.500", "1.400", 1, false);
    des.DrawPV(Ponto(20, 0), 0.0, "E-PV", "PV-2", "10.000", "8.500", "1.400", 1, false);
    Executa({"VERIFICAR PVs", "PV: Profundidades"});
    ASSERT_EQ(LinhasDaLista().size(), 2u);
    int left = 0;
    respostas.Proxima<frmEditPV>([&](frmEditPV& f) {
        // Not yet shown: centred on the screen; then moved by the user.
        EXPECT_NEAR(f.Left(), (forms::Screen.Width() - f.Width()) / 2, 15);
        f.Move(300, 450);
        left = 300;
        f.Text3.SetText("1.5");
        forms::user::Click(f.Check1);
        forms::user::Click(f.CmdCancel);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(pv).at("CP"), "1.400");
    EXPECT_EQ(left, 300);
    respostas.Limpa();
    ClicaFalha(1);
    EXPECT_TRUE(respostas.Mostradas().empty());
    EXPECT_EQ(LinhasDaLista().size(), 2u);
}
