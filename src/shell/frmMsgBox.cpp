#include "shell/frmMsgBox.h"

#include <algorithm>

#include "shell/modJanela.h"

using namespace forms;

namespace {

// Design positions (twips) that the layouts start from.
constexpr double kLargura = 4800;
constexpr double kAltura = 1935;
constexpr double kMensagemTop = 480;
constexpr double kMensagemAltura = 600;
constexpr double kCheckTop = 1080;
constexpr double kBotoesTop = 1440;
constexpr double kOKLeft = 3600;
constexpr double kCancelLeft = 2520;
constexpr double kBotaoLargura = 975;
constexpr double kBotaoAltura = 375;

}  // namespace

frmMsgBox::frmMsgBox() : Form("frmMsgBox")
{
    SetBorderStyle(0);
    Move(0, 0, kLargura, kAltura);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1020, 150, 3660, 285);
    Titulo.SetFontBold(true);
    Mensagem.Move(1020, kMensagemTop, 3660, kMensagemAltura);
    // A long message grows the box downwards instead of being cut off.
    Mensagem.SetWordWrap(true);
    Mensagem.SetAutoSize(true);
    Check1.Move(1020, kCheckTop, 3660, 255);
    Check1.SetCaption("Não mostrar mais esta mensagem.");
    Check1.SetVisible(false);
    CmdOK.Move(kOKLeft, kBotoesTop, kBotaoLargura, kBotaoAltura);
    CmdOK.SetCaption("OK");
    CmdOK.SetDefault(true);
    CmdCancel.Move(kCancelLeft, kBotoesTop, kBotaoLargura, kBotaoAltura);
    CmdCancel.SetCaption("Cancelar");
    CmdCancel.SetVisible(false);
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Paint += [this] { Form_Paint(); };
    Mensagem.Change += [this] { Mensagem_Change(); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

void frmMsgBox::SetEstilo(long Estilo)
{
    estilo_ = Estilo;
    // Every layout starts from the design.
    CmdOK.SetCaption("OK");
    CmdOK.SetLeft(kOKLeft);
    CmdOK.SetWidth(kBotaoLargura);
    CmdCancel.SetCaption("Cancelar");
    CmdCancel.SetLeft(kCancelLeft);
    CmdCancel.SetVisible(false);
    Check1.SetVisible(false);
    switch (Estilo) {
    case 0:
        CmdOK.SetLeft(1800);
        CmdOK.SetWidth(1335);
        break;
    case 1:
        CmdOK.SetLeft(2640);
        CmdCancel.SetLeft(1440);
        CmdCancel.SetVisible(true);
        break;
    case 2:
        CmdOK.SetLeft(1800);
        CmdOK.SetWidth(1080);
        Check1.SetVisible(true);
        break;
    case 3:
        CmdCancel.SetVisible(true);
        Check1.SetVisible(true);
        break;
    case 4:
        CmdOK.SetCaption("Sim");
        CmdOK.SetLeft(2640);
        CmdCancel.SetCaption("Não");
        CmdCancel.SetLeft(1440);
        CmdCancel.SetVisible(true);
        break;
    case 5:
        CmdOK.SetCaption("Sim");
        CmdCancel.SetCaption("Não");
        CmdCancel.SetVisible(true);
        Check1.SetVisible(true);
        break;
    default: break;
    }
}

// Enter answers "OK" or "Sim".
void frmMsgBox::Form_Paint() { CmdOK.SetFocus(); }

void frmMsgBox::Mensagem_Change() { AjustaAltura(); }

// The check box and the buttons keep their distance below the message.
void frmMsgBox::AjustaAltura()
{
    const double extra = std::max(0.0, Mensagem.Height() - kMensagemAltura);
    Check1.SetTop(kCheckTop + extra);
    CmdOK.SetTop(kBotoesTop + extra);
    CmdCancel.SetTop(kBotoesTop + extra);
    SetHeight(kAltura + extra);
}

void frmMsgBox::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    CheckValue = Check1.Value() == vbChecked;
    Hide();
}

void frmMsgBox::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    CheckValue = Check1.Value() == vbChecked;
    Hide();
}
