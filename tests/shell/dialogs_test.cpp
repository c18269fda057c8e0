// The report, input, cancel and point-information windows, and the skin they
// share: frame, banner, always on top, dragging.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ShellTestSupport.h"
#include "shell/frmCancelar.h"
#include "shell/frmInput.h"
#include "shell/frmMsgBox.h"
#include "shell/frmPointInfo.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"

using namespace forms;
using shelltest::ModalAnswers;

namespace {

std::string Repete(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

void PressOK(Form& f) { user::Click(dynamic_cast<frmMsgBox&>(f).CmdOK); }

}  // namespace

TEST(frmTips, TypingPastTheLimitWarnsAndKeeps254Characters)
{
    frmTips tips;
    tips.SetMensagem(Repete('a', 250));
    ModalAnswers answers;
    std::string warning;
    answers.On("frmTips", [](Form& f) {
        auto& t = dynamic_cast<frmTips&>(f);
        user::Focus(t.Text1);
        t.Text1.SetSelStart(250);
        user::Type(t.Text1, "bcdef");
    });
    answers.On("frmMsgBox", [&](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        warning = m.Mensagem.Caption();
        EXPECT_EQ(m.Titulo.Caption(), " ");
        PressOK(f);
    });
    tips.Show(vbModal);
    EXPECT_EQ(warning, "Excedeu o limite de caracteres.");
    EXPECT_EQ(answers.Count("frmMsgBox"), 1);
    EXPECT_EQ(tips.Mensagem().size(), 254u);
    EXPECT_EQ(tips.Mensagem(), Repete('a', 250) + "bcde");
    forms::Unload(tips);
}

TEST(frmTips, AReportSetByCodeIsShownWholeAndTypingCannotCutIt)
{
    // A verification report far beyond 254 characters, with line breaks.
    std::string report;
    for (int i = 0; i < 60; ++i) report += "PV-" + std::to_string(i) + ": cota do fundo acima do terreno\r\n";
    ASSERT_GT(report.size(), 1000u);
    frmTips tips;
    tips.SetTitulo("Verificação");
    tips.SetMensagem(report);
    EXPECT_EQ(tips.Mensagem(), report);
    EXPECT_EQ(tips.Titulo(), "Verificação");

    ModalAnswers answers;
    answers.On("frmTips", [](Form& f) { user::Type(dynamic_cast<frmTips&>(f).Text1, "x"); });
    answers.On("frmMsgBox", PressOK);
    tips.Show(vbModal);
    // The one character too many is refused; the report stays as long as it came.
    EXPECT_EQ(answers.Count("frmMsgBox"), 1);
    EXPECT_LE(tips.Mensagem().size(), report.size());
    EXPECT_GE(tips.Mensagem().size(), report.size() - 1);
    forms::Unload(tips);
}

TEST(frmTips, ButtonsCloseBoxAndCheckBox)
{
    {
        frmTips tips;
        EXPECT_FALSE(tips.OKButton());
        EXPECT_FALSE(tips.CancelButton());
        EXPECT_FALSE(tips.NoMoreChk());
        EXPECT_TRUE(tips.LimiteTexto);
        tips.SetOKButton(true);
        tips.SetCancelButton(true);
        tips.SetNoMoreChk(true);
        ModalAnswers answers;
        answers.On("frmTips", [](Form& f) {
            auto& t = dynamic_cast<frmTips&>(f);
            user::ClickAt(t.Check1, 90, 120);
            user::Click(t.cmdOK);
        });
        tips.Show(vbModal);
        EXPECT_TRUE(tips.OK);
        EXPECT_FALSE(tips.Cancel);
        EXPECT_TRUE(tips.NaoMostrar);
        EXPECT_TRUE(tips.Loaded());
        forms::Unload(tips);
    }
    {
        // The close box while "OK" shows answers "Cancelar" and only hides.
        frmTips tips;
        tips.SetOKButton(true);
        ModalAnswers answers;
        answers.On("frmTips", [](Form& f) { user::Click(dynamic_cast<frmTips&>(f).cmdEnd); });
        tips.Show(vbModal);
        EXPECT_TRUE(tips.Cancel);
        EXPECT_FALSE(tips.OK);
        EXPECT_TRUE(tips.Loaded());
        forms::Unload(tips);
    }
    {
        // A plain report: the close box unloads it.
        frmTips tips;
        ModalAnswers answers;
        answers.On("frmTips", [](Form& f) {
            auto& t = dynamic_cast<frmTips&>(f);
            user::Click(t.CancelCmd);  // hidden: nothing happens
            EXPECT_TRUE(t.Visible());
            user::Click(t.cmdEnd);
        });
        tips.Show(vbModal);
        EXPECT_FALSE(tips.Cancel);
        EXPECT_FALSE(tips.Loaded());
    }
}

TEST(frmInput, TheNumericFilterAndEnter)
{
    {
        frmInput in;
        in.SoNumeros = true;
        in.EnterAceita = true;
        in.Titulo.SetCaption("Cota");
        ModalAnswers answers;
        answers.On("frmInput", [](Form& f) {
            auto& i = dynamic_cast<frmInput&>(f);
            EXPECT_EQ(i.ActiveControl(), &i.Text1);
            user::Type(i.Text1, "-1,5abc");
            EXPECT_EQ(i.Text1.Text(), "-1.5");
            user::PressKey(i.Text1, vbKeyBack);
            user::Type(i.Text1, "7");
            user::PressKey(i.Text1, vbKeyReturn);
            EXPECT_FALSE(i.Visible());
        });
        in.Show(vbModal);
        EXPECT_TRUE(in.OK);
        EXPECT_FALSE(in.Cancel);
        EXPECT_EQ(in.Texto, "-1.7");
        forms::Unload(in);
    }
    {
        // No filter, no Enter: letters pass, Enter leaves the box open, Cancelar answers.
        frmInput in;
        ModalAnswers answers;
        answers.On("frmInput", [](Form& f) {
            auto& i = dynamic_cast<frmInput&>(f);
            user::Type(i.Text1, "P12,a");
            user::PressKey(i.Text1, vbKeyReturn);
            EXPECT_TRUE(i.Visible());
            user::Click(i.CmdCancel);
        });
        in.Show(vbModal);
        EXPECT_TRUE(in.Cancel);
        EXPECT_FALSE(in.OK);
        EXPECT_EQ(in.Texto, "P12,a");
        forms::Unload(in);
    }
    frmInput in;
    EXPECT_FALSE(in.Check());
    in.SetCheck(true);
    EXPECT_TRUE(in.Check());
    EXPECT_EQ(in.Check1.Value(), vbChecked);
    in.SetCheck(false);
    EXPECT_FALSE(in.Check());
}

TEST(frmCancelar, ALongOperationStopsAtThePollAfterCancelAndRemembersThePlace)
{
    gMsgLeft = 0;
    gMsgTop = 0;
    gBanner = shelltest::SolidPicture(52, 52, vbGreen);
    int passos = 0;
    double primeiroLeft = 0, primeiroTop = 0;
    {
        frmCancelar frm;
        PosicionaDialogo(frm, gMsgLeft, gMsgTop);
        frm.SetMensagem("Purgando XData não utilizado...");
        frm.Show(vbModeless);
        EXPECT_NEAR(frm.Left(), Screen.Width() / 2 - frm.Width() / 2, 15);
        EXPECT_NEAR(frm.Top(), Screen.Height() / 2 - frm.Height() / 2, 15);
        EXPECT_EQ(frm.Label2.Caption(), "Purgando XData não utilizado...");
        EXPECT_TRUE(frm.Picture1(1).Picture() == gBanner);
        EXPECT_TRUE(frm.TopMost());
        for (int i = 0; i < 100; ++i) {
            DoEvents();
            if (frm.Cancel) break;
            ++passos;
            if (i == 3) {
                // Twice is harmless; the window stays until the operation closes it.
                user::Click(frm.CmdCancel);
                user::Click(frm.CmdCancel);
                EXPECT_TRUE(frm.Visible());
            }
        }
        // The user moves the window during the run.
        frm.Move(2400, 1800);
        gMsgLeft = static_cast<int>(std::lround(frm.Left()));
        gMsgTop = static_cast<int>(std::lround(frm.Top()));
        primeiroLeft = frm.Left();
        primeiroTop = frm.Top();
        forms::Unload(frm);
        EXPECT_TRUE(frm.Cancel);
    }
    EXPECT_EQ(passos, 4);
    // The next one opens where the first was left.
    frmCancelar frm;
    EXPECT_FALSE(frm.Cancel);
    PosicionaDialogo(frm, gMsgLeft, gMsgTop);
    frm.Show(vbModeless);
    EXPECT_NEAR(frm.Left(), primeiroLeft, 15);
    EXPECT_NEAR(frm.Top(), primeiroTop, 15);
    forms::Unload(frm);
    gMsgLeft = gMsgTop = 0;
    gBanner = Picture();
}

TEST(frmCancelar, DraggedByItsTextWithTheLeftButtonOnly)
{
    frmCancelar frm;
    frm.Move(1500, 1500);
    frm.Show(vbModeless);
    const double left = frm.Left();
    user::Drag(frm.Picture1(1), vbRightButton, 100, 100, 1600, 1600);
    EXPECT_EQ(frm.Left(), left);
    user::Drag(frm.Label2, vbLeftButton, 100, 100, 1600, 1600);
    EXPECT_GT(frm.Left(), left);
    forms::Unload(frm);
}

TEST(frmPointInfo, ShowsItsTextAndOKUnloadsIt)
{
    frmPointInfo info;
    info.Mensagem.SetCaption("Nome: P12\r\nN: 20.250\r\nE: 10.500\r\nCota: 101.25\r\nInfo: BL");
    ModalAnswers answers;
    answers.On("frmPointInfo", [](Form& f) {
        auto& i = dynamic_cast<frmPointInfo&>(f);
        EXPECT_EQ(i.Titulo.Caption(), "Ponto");
        EXPECT_TRUE(i.TopMost());
        EXPECT_TRUE(i.Picture1.Picture().Empty());  // no banner on this one
        user::Click(i.CmdOK);
    });
    info.Show(vbModal);
    EXPECT_FALSE(info.Loaded());
}

TEST(DialogSkin, TheFrameFollowsEveryResize)
{
    frmTips tips;
    tips.Show(vbModeless);
    auto check = [&] {
        const double W = tips.Width(), H = tips.Height();
        EXPECT_EQ(tips.Shape1(0).Left(), 0);
        EXPECT_EQ(tips.Shape1(0).Top(), 0);
        EXPECT_EQ(tips.Shape1(0).Width(), W);
        EXPECT_EQ(tips.Shape1(0).Height(), H);
        EXPECT_EQ(tips.Shape1(1).Left(), 0);
        EXPECT_EQ(tips.Shape1(1).Width(), W + 100);
        EXPECT_EQ(tips.Shape1(1).Height(), H + 100);
        EXPECT_EQ(tips.Shape1(2).Left(), -100);
        EXPECT_EQ(tips.Shape1(2).Top(), -100);
        EXPECT_EQ(tips.Shape1(2).Width(), W + 100);
        EXPECT_EQ(tips.Shape1(2).Height(), H + 100);
    };
    check();
    tips.Move(tips.Left(), tips.Top(), 7200, 6000);
    DoEvents();
    EXPECT_EQ(tips.Width(), 7200);
    check();
    forms::Unload(tips);
}
