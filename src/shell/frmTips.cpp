#include "shell/frmTips.h"

#include <algorithm>

#include "shell/modJanela.h"
#include "shell/modMensagem.h"

using namespace forms;

namespace {

constexpr std::size_t kLimiteDigitacao = 254;

// Characters, not bytes: the text is UTF-8.
std::size_t Caracteres(const std::string& s)
{
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string PrimeirosCaracteres(const std::string& s, std::size_t n)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            if (count == n) return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

}  // namespace

frmTips::frmTips() : Form("frmTips")
{
    SetBorderStyle(0);
    Move(0, 0, 5400, 4530);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Label1.Move(1020, 150, 3900, 285);
    Label1.SetFontBold(true);
    cmdEnd.Move(5025, 120, 255, 255);
    cmdEnd.SetCaption("X");
    Text1.SetMultiLine(true);
    Text1.SetScrollBars(vbVertical);
    Text1.Move(120, 1020, 5160, 2760);
    Check1.Move(120, 3900, 3030, 255);
    Check1.SetCaption("Não mostrar mais esta mensagem.");
    Check1.SetVisible(false);
    CancelCmd.Move(3180, 4020, 975, 375);
    CancelCmd.SetCaption("Cancelar");
    CancelCmd.SetVisible(false);
    cmdOK.Move(4260, 4020, 975, 375);
    cmdOK.SetCaption("OK");
    cmdOK.SetVisible(false);
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Label1});

    cmdOK.Click += [this] { cmdOK_Click(); };
    CancelCmd.Click += [this] { CancelCmd_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
    Check1.Click += [this] { Check1_Click(); };
    Text1.Change += [this] { Text1_Change(); };
}

void frmTips::SetTitulo(const std::string& Titulo) { Label1.SetCaption(Titulo); }

void frmTips::SetMensagem(const std::string& Mensagem)
{
    // The limit is for what the user types; a long report stays whole, and
    // typing into it may not make it shorter than it came.
    limite_ = std::max(kLimiteDigitacao, Caracteres(Mensagem));
    textoPorCodigo_ = true;
    Text1.SetText(Mensagem);
    textoPorCodigo_ = false;
}

void frmTips::SetOKButton(bool v) { cmdOK.SetVisible(v); }

void frmTips::SetCancelButton(bool v) { CancelCmd.SetVisible(v); }

void frmTips::SetNoMoreChk(bool v) { Check1.SetVisible(v); }

void frmTips::cmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmTips::CancelCmd_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}

// With a question on screen the close box answers "Cancelar"; a plain report just goes.
void frmTips::cmdEnd_Click()
{
    if (cmdOK.Visible())
        CancelCmd_Click();
    else
        forms::Unload(*this);
}

void frmTips::Check1_Click() { NaoMostrar = Check1.Value() == vbChecked; }

void frmTips::Text1_Change()
{
    if (textoPorCodigo_ || !LimiteTexto) return;
    const std::string texto = Text1.Text();
    if (Caracteres(texto) <= limite_) return;
    ExibeMensagem(0, " ", "Excedeu o limite de caracteres.");
    std::string cortado = PrimeirosCaracteres(texto, limite_);
    // Never half a line break: the box would make a whole one of it again.
    if (!cortado.empty() && cortado.back() == '\r') cortado.pop_back();
    Text1.SetText(cortado);
}
