#include "sewer/frmEditPV.h"

#include "cad/modGeometria.h"
#include "sewer/clsSANDes.h"
#include "shell/modMensagem.h"

using namespace forms;

namespace {

bool Preenchido(const std::string& Texto)
{
    return Texto.find_first_not_of(' ') != std::string::npos && IsNumero(Texto);
}

}  // namespace

frmEditPV::frmEditPV() : DialogoDeCorrecao("frmEditPV", 4575, 3480)
{
    Label1.SetCaption("O valor de Profundidade não coincide.");
    const char* campos[3] = {"C.Terreno:", "C.Soleira:", "Profundidade:"};
    TextBox* textos[3] = {&Text1, &Text2, &Text3};
    for (int i = 0; i < 3; ++i) {
        Label2(i).Move(120, 1140 + i * 420, 1215, 255);
        Label2(i).SetCaption(campos[i]);
        textos[i]->Move(1380, 1095 + i * 420, 1095, 315);
    }
    CalcCmd(5).Move(2640, 1095, 1815, 315);
    CalcCmd(0).Move(2640, 1515, 555, 315);
    CalcCmd(0).SetCaption("+");
    CalcCmd(1).Move(3270, 1515, 555, 315);
    CalcCmd(1).SetCaption("-");
    CalcCmd(4).Move(3900, 1515, 555, 315);
    CalcCmd(4).SetCaption("=");
    Check1.Move(120, 2460, 4335, 255);
    Check1.SetCaption("Não mostrar mais esta mensagem.");

    // The arithmetic is the drawing class's, so it is there before any field
    // is set, loaded or not.
    des_ = std::make_unique<clsSANDes>();

    Load += [this] { Form_Load(); };
    Text1.Change += [this] { Text1_Change(); };
    Text2.Change += [this] { Text2_Change(); };
    Text3.Change += [this] { Text3_Change(); };
    for (TextBox* t : textos) t->Click += [this, t] { CalcCmd(5).SetCaption(t->Text()); };
    CalcCmd.Click += [this](int Index) { CalcCmd_Click(Index); };
    Check1.Click += [this] { Check1_Click(); };
}

frmEditPV::~frmEditPV() = default;

void frmEditPV::Form_Load()
{
    Check1.SetValue(vbUnchecked);
    NaoOferecer = false;
    Guarda = false;
    operando_ = 0;
    operador_ = 0;
}

// Copies of the fields go in; only the computed depth comes back, so what the
// user typed is never rewritten.
void frmEditPV::RecalculaProfundidade()
{
    std::string ct = Text1.Text(), cs = Text2.Text(), cp = Text3.Text();
    if (!des_->Val_PVCtTer(Decimais, ct, cs, cp)) return;
    Guarda = true;
    Text3.SetText(cp);
    Guarda = false;
}

// A new ground elevation always recomputes the depth.
void frmEditPV::Text1_Change() { RecalculaProfundidade(); }

void frmEditPV::Text2_Change()
{
    if (!Guarda) RecalculaProfundidade();
}

void frmEditPV::Text3_Change()
{
    if (Guarda) return;
    std::string ct = Text1.Text(), cs = Text2.Text(), cp = Text3.Text();
    if (!des_->Val_PVCtPrf(Decimais, ct, cs, cp)) return;
    Guarda = true;
    Text2.SetText(cs);
    Guarda = false;
}

void frmEditPV::CalcCmd_Click(int Index)
{
    const std::string visor = CalcCmd(5).Caption();
    if (Index == 5) {
        Text3.SetText(visor);
        return;
    }
    if (!IsNumero(visor)) {
        Beep();
        return;
    }
    const double valor = StrToDbl(visor);
    if (Index <= 1) {
        operando_ = valor;
        operador_ = Index;
        return;
    }
    CalcCmd(5).SetCaption(FormatNum(operador_ == 1 ? operando_ - valor : operando_ + valor, Decimais));
}

// Elevations are written back as numbers or not at all.
bool frmEditPV::Aceita()
{
    for (TextBox* t : {&Text1, &Text2, &Text3}) {
        if (!Preenchido(t->Text())) {
            ExibeMensagem(0, "Atenção", "O valor \"" + t->Text() + "\" não é um número.");
            return false;
        }
    }
    return true;
}

void frmEditPV::Check1_Click()
{
    if (Check1.Value() == vbChecked) NaoOferecer = true;
}
