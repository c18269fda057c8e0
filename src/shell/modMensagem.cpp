#include "shell/modMensagem.h"

#include <cmath>
#include <memory>
#include <vector>

#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "platform/ProcessState.h"

int gMsgLeft = 0;
int gMsgTop = 0;

namespace {
const platform::ProcessStateReset kResetMensagem([] { gMsgLeft = gMsgTop = 0; });
}  // namespace

namespace {

// Messages are asked for from inside handlers of every kind, and a window
// destroyed inside the handler that showed it would still be sent that
// handler's pending events. So each nesting level has its box, made once and
// kept for the run, as the form's default instance was.
int g_nivel = 0;

frmMsgBox& Caixa(int nivel)
{
    static auto* caixas = new std::vector<std::unique_ptr<frmMsgBox>>;
    while (static_cast<int>(caixas->size()) <= nivel) caixas->push_back(std::make_unique<frmMsgBox>());
    return *(*caixas)[static_cast<std::size_t>(nivel)];
}

struct Nivel {
    Nivel() { ++g_nivel; }
    ~Nivel() { --g_nivel; }
};

}  // namespace

void ExibeMensagem(long Estilo, const std::string& Titulo, const std::string& Mensagem, bool& OK, bool& Cancel,
                   bool& CheckValue, const std::string& CheckCaption, int& Left, int& Top)
{
    frmMsgBox& frm = Caixa(g_nivel);
    Nivel nivel;
    frm.OK = false;
    frm.Cancel = false;
    // The layout first: it decides which buttons and whether the check box show.
    frm.SetEstilo(Estilo);
    frm.Titulo.SetCaption(Titulo);
    frm.Mensagem.SetCaption(Mensagem);
    frm.Check1.SetValue(CheckValue ? forms::vbChecked : forms::vbUnchecked);
    frm.Check1.SetCaption(CheckCaption);
    // Closed without a button, the box leaves the caller's check value as it was.
    frm.CheckValue = CheckValue;
    PosicionaDialogo(frm, Left, Top);

    frm.Show(forms::vbModal, gMainForm);

    OK = frm.OK;
    Cancel = frm.Cancel;
    CheckValue = frm.CheckValue;
    Left = static_cast<int>(std::lround(frm.Left()));
    Top = static_cast<int>(std::lround(frm.Top()));
    forms::Unload(frm);
}

void ExibeMensagem(long Estilo, const std::string& Titulo, const std::string& Mensagem)
{
    bool OK = false, Cancel = false, CheckValue = false;
    int Left = 0, Top = 0;
    ExibeMensagem(Estilo, Titulo, Mensagem, OK, Cancel, CheckValue, "", Left, Top);
}
