// ExibeMensagem and frmMsgBox: the six layouts, the answers, the check box,
// and the position the box is shown at and gives back.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ShellTestSupport.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

using namespace forms;
using shelltest::ModalAnswers;

namespace {

struct Layout {
    bool okVisible, cancelVisible, checkVisible;
    std::string okCaption, cancelCaption;
    double okLeft, okWidth, cancelLeft;
};

Layout Seen(frmMsgBox& m)
{
    return {m.CmdOK.Visible(),     m.CmdCancel.Visible(), m.Check1.Visible(), m.CmdOK.Caption(),
            m.CmdCancel.Caption(), m.CmdOK.Left(),        m.CmdOK.Width(),    m.CmdCancel.Left()};
}

struct Answer {
    bool OK = false, Cancel = false, Check = false;
    int Left = 0, Top = 0;
};

Answer Show(long estilo, const std::string& button, bool check = false, int left = 0, int top = 0,
            Layout* layout = nullptr, const std::string& text = "Mensagem")
{
    ModalAnswers answers;
    answers.On("frmMsgBox", [&](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        if (layout) *layout = Seen(m);
        user::Click(button == "OK" ? static_cast<Control&>(m.CmdOK) : m.CmdCancel);
    });
    Answer a;
    a.Check = check;
    a.Left = left;
    a.Top = top;
    ExibeMensagem(estilo, "Título", text, a.OK, a.Cancel, a.Check, "Não mostrar mais esta mensagem.", a.Left, a.Top);
    EXPECT_EQ(answers.Count("frmMsgBox"), 1);
    return a;
}

}  // namespace

TEST(ExibeMensagem, TheSixLayoutsPlaceTheirButtonsAndCheckBox)
{
    Layout l{};
    Show(0, "OK", false, 0, 0, &l);
    EXPECT_TRUE(l.okVisible);
    EXPECT_FALSE(l.cancelVisible);
    EXPECT_FALSE(l.checkVisible);
    EXPECT_EQ(l.okCaption, "OK");
    EXPECT_EQ(l.okLeft, 1800);
    EXPECT_EQ(l.okWidth, 1335);

    Show(1, "OK", false, 0, 0, &l);
    EXPECT_TRUE(l.cancelVisible);
    EXPECT_FALSE(l.checkVisible);
    EXPECT_EQ(l.okCaption, "OK");
    EXPECT_EQ(l.cancelCaption, "Cancelar");
    EXPECT_EQ(l.okLeft, 2640);
    EXPECT_EQ(l.okWidth, 975);
    EXPECT_EQ(l.cancelLeft, 1440);

    Show(2, "OK", false, 0, 0, &l);
    EXPECT_FALSE(l.cancelVisible);
    EXPECT_TRUE(l.checkVisible);
    EXPECT_EQ(l.okLeft, 1800);
    EXPECT_EQ(l.okWidth, 1080);

    Show(3, "OK", false, 0, 0, &l);
    EXPECT_TRUE(l.cancelVisible);
    EXPECT_TRUE(l.checkVisible);
    EXPECT_EQ(l.okLeft, 3600);
    EXPECT_EQ(l.cancelLeft, 2520);

    // "Não" to the left of "Sim".
    Show(4, "OK", false, 0, 0, &l);
    EXPECT_EQ(l.okCaption, "Sim");
    EXPECT_EQ(l.cancelCaption, "Não");
    EXPECT_TRUE(l.cancelVisible);
    EXPECT_FALSE(l.checkVisible);
    EXPECT_EQ(l.okLeft, 2640);
    EXPECT_EQ(l.cancelLeft, 1440);
    EXPECT_LT(l.cancelLeft, l.okLeft);

    Show(5, "OK", false, 0, 0, &l);
    EXPECT_EQ(l.okCaption, "Sim");
    EXPECT_EQ(l.cancelCaption, "Não");
    EXPECT_TRUE(l.checkVisible);
    EXPECT_EQ(l.okLeft, 3600);
    EXPECT_EQ(l.cancelLeft, 2520);

    // Any other layout: the design OK button alone.
    Show(9, "OK", false, 0, 0, &l);
    EXPECT_TRUE(l.okVisible);
    EXPECT_FALSE(l.cancelVisible);
    EXPECT_FALSE(l.checkVisible);
    EXPECT_EQ(l.okLeft, 3600);
}

TEST(ExibeMensagem, ExactlyOneAnswerComesBackAndTheCheckBoxKeepsItsState)
{
    Answer a = Show(0, "OK");
    EXPECT_TRUE(a.OK);
    EXPECT_FALSE(a.Cancel);

    a = Show(4, "Cancel");
    EXPECT_FALSE(a.OK);
    EXPECT_TRUE(a.Cancel);

    // Ticking the box and answering "Sim".
    {
        ModalAnswers answers;
        answers.On("frmMsgBox", [](Form& f) {
            auto& m = dynamic_cast<frmMsgBox&>(f);
            EXPECT_EQ(m.Check1.Value(), vbUnchecked);
            EXPECT_EQ(m.Check1.Caption(), "Não mostrar mais esta mensagem.");
            user::Click(m.Check1);
            user::Click(m.CmdOK);
        });
        bool OK = false, Cancel = true, Check = false;
        int Left = 0, Top = 0;
        ExibeMensagem(5, "Atenção", "Continuar?", OK, Cancel, Check, "Não mostrar mais esta mensagem.", Left, Top);
        EXPECT_TRUE(OK);
        EXPECT_FALSE(Cancel);
        EXPECT_TRUE(Check);
    }

    // A ticked box comes in ticked; unticking it is reported.
    {
        ModalAnswers answers;
        answers.On("frmMsgBox", [](Form& f) {
            auto& m = dynamic_cast<frmMsgBox&>(f);
            EXPECT_EQ(m.Check1.Value(), vbChecked);
            user::ClickAt(m.Check1, 90, 120);  // on the box itself
            user::Click(m.CmdCancel);
        });
        bool OK = true, Cancel = false, Check = true;
        int Left = 0, Top = 0;
        ExibeMensagem(3, "Atenção", "Continuar?", OK, Cancel, Check, "Lembrar", Left, Top);
        EXPECT_FALSE(OK);
        EXPECT_TRUE(Cancel);
        EXPECT_FALSE(Check);
    }
}

TEST(ExibeMensagem, ShowsTitleMessageAndBannerAndEnterAnswersOK)
{
    gBanner = shelltest::SolidPicture(52, 52, vbBlue);
    ModalAnswers answers;
    answers.On("frmMsgBox", [](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        EXPECT_EQ(m.Titulo.Caption(), "Atenção");
        EXPECT_EQ(m.Mensagem.Caption(), "Arquivo: rede.dwg não existe");
        EXPECT_TRUE(m.Picture1(1).Picture() == gBanner);
        EXPECT_TRUE(m.TopMost());
        EXPECT_EQ(m.BorderStyle(), 0);
        EXPECT_EQ(m.ActiveControl(), &m.CmdOK);
        user::PressKey(m.CmdOK, vbKeyReturn);
    });
    bool OK = false, Cancel = false, Check = false;
    int Left = 0, Top = 0;
    ExibeMensagem(4, "Atenção", "Arquivo: rede.dwg não existe", OK, Cancel, Check, "", Left, Top);
    EXPECT_TRUE(OK);
    EXPECT_FALSE(Cancel);
    gBanner = Picture();
}

TEST(ExibeMensagem, ThePositionGoesAndComesBack)
{
    // Centred, and the centred place comes back.
    double shownLeft = -1, shownTop = -1;
    ModalAnswers answers;
    auto press = [&](Form& f) {
        shownLeft = f.Left();
        shownTop = f.Top();
        user::Click(dynamic_cast<frmMsgBox&>(f).CmdOK);
    };
    answers.On("frmMsgBox", press).On("frmMsgBox", press).On("frmMsgBox", press).On("frmMsgBox", press);
    bool OK = false, Cancel = false, Check = false;
    int Left = 0, Top = 0;
    ExibeMensagem(0, "T", "M", OK, Cancel, Check, "", Left, Top);
    const double centredLeft = Screen.Width() / 2 - 4800 / 2.0;
    EXPECT_NEAR(shownLeft, centredLeft, 15);
    EXPECT_NEAR(Left, centredLeft, 15);
    EXPECT_GT(Left, 0);
    EXPECT_GT(Top, 0);

    // Shown again at those values: the same place.
    const int firstLeft = Left, firstTop = Top;
    ExibeMensagem(0, "T", "M", OK, Cancel, Check, "", Left, Top);
    EXPECT_NEAR(shownLeft, firstLeft, 15);
    EXPECT_NEAR(shownTop, firstTop, 15);
    EXPECT_NEAR(Left, firstLeft, 15);

    // A negative left counts as unset; the top is taken as given.
    Left = -300;
    Top = 1500;
    ExibeMensagem(0, "T", "M", OK, Cancel, Check, "", Left, Top);
    EXPECT_NEAR(shownLeft, centredLeft, 15);
    EXPECT_NEAR(shownTop, 1500, 15);

    // Far beyond 16-bit twips (a second monitor): kept as it is.
    Left = 40000;
    Top = 1500;
    ExibeMensagem(0, "T", "M", OK, Cancel, Check, "", Left, Top);
    EXPECT_NEAR(shownLeft, 40000, 15);
    EXPECT_NEAR(Left, 40000, 15);
}

TEST(ExibeMensagem, ALongMessagePushesTheButtonsDown)
{
    std::string longo;
    for (int i = 0; i < 12; ++i) longo += "Linha " + std::to_string(i) + " da mensagem\r\n";
    ModalAnswers answers;
    answers.On("frmMsgBox", [](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        EXPECT_GT(m.Mensagem.Height(), 600);
        EXPECT_GE(m.CmdOK.Top(), m.Mensagem.Top() + m.Mensagem.Height());
        EXPECT_GE(m.Check1.Top(), m.Mensagem.Top() + m.Mensagem.Height());
        EXPECT_GT(m.Height(), 1935);
        EXPECT_LE(m.CmdOK.Top() + m.CmdOK.Height(), m.Height());
        user::Click(m.CmdOK);
    });
    bool OK = false, Cancel = false, Check = false;
    int Left = 0, Top = 0;
    ExibeMensagem(2, "Relatório", longo, OK, Cancel, Check, "Não mostrar mais esta mensagem.", Left, Top);
    EXPECT_TRUE(OK);

    // A short one keeps the design.
    frmMsgBox m;
    m.Mensagem.SetCaption("Cancelado");
    EXPECT_EQ(m.CmdOK.Top(), 1440);
    EXPECT_EQ(m.Height(), 1935);
}
