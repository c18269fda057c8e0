#include "sewer/frmEditTR.h"

#include "cad/modGeometria.h"
#include "shell/modMensagem.h"

using namespace forms;

namespace {

struct Traco {
    double x1, y1, x2, y2;
};

// The profile's thin lines as designed for a reach with a step; DrawDegrau
// moves the few that differ without one.
constexpr Traco kLinhas2[21] = {
    {480, 1800, 1200, 1800},   // 0 upstream ground
    {480, 2640, 1200, 2640},   // 1 upstream invert
    {3735, 2760, 4500, 2760},  // 2 downstream ground
    {2040, 3600, 3480, 3600},  // 3 downstream invert
    {1327, 1440, 3607, 1440},  // 4 length between the manhole axes
    {600, 2640, 600, 3240},    // 5 fall between the inverts
    {2040, 3120, 3360, 3120},  // 6 level of the pipe's end
    {2160, 3120, 2160, 3600},  // 7 step height
    {1455, 1680, 3480, 1680},  // 8 clear length between the inner faces
    {1327, 1320, 1327, 1800},  // 9 upstream axis
    {3607, 1320, 3607, 2760},  // 10 downstream axis
    {1455, 1560, 1455, 1800},  // 11 upstream inner face
    {3480, 1560, 3480, 2760},  // 12 downstream inner face
    {360, 1800, 360, 2640},    // 13 upstream depth
    {4440, 2760, 4440, 3600},  // 14 downstream depth
    {2280, 2040, 2400, 2950},  // 15 leader from the slope to the pipe
    {1455, 1800, 3480, 2760},  // 16 ground between the manholes
    {2640, 2580, 3000, 2580},  // 17 leader from TCS ...
    {3000, 2580, 3360, 3120},  // 18 ... to the top of the step
    {3735, 3600, 4500, 3600},  // 19 downstream invert, outside
    {480, 3720, 720, 3720},    // 20 end of the fall dimension
};

struct Marca {
    double left, top;
};
constexpr Marca kMarcas[8] = {{1297, 1410}, {3577, 1410}, {1425, 1650}, {2130, 3090},
                              {3330, 3090}, {2040, 3570}, {570, 2610},  {3450, 1650}};

struct Rotulo {
    double left, top;
};
constexpr Rotulo kRotulos[14] = {{120, 1485},  {240, 1920},  {120, 2325},  {3960, 2445}, {3840, 2880},
                                 {3960, 3285}, {2040, 1200}, {1920, 1800}, {2160, 2440}, {1800, 3240},
                                 {240, 2760},  {1920, 1440}, {240, 1200},  {3840, 1200}};

const char* const kCalc[6] = {"+", "-", "x", "/", "=", ""};

}  // namespace

frmEditTR::frmEditTR() : DialogoDeCorrecao("frmEditTR", 6300, 4800)
{
    // The pipe, five pixels thick: into the step, the step, into the manhole.
    Line1(0).SetX1(1440);
    Line1(0).SetY1(2640);
    Line1(1).SetX1(3360);
    Line1(1).SetY1(3120);
    Line1(1).SetX2(3360);
    Line1(1).SetY2(3600);
    Line1(2).SetX1(3360);
    Line1(2).SetY1(3600);
    Line1(2).SetX2(3480);
    Line1(2).SetY2(3600);
    for (int i = 0; i < 3; ++i) Line1(i).SetBorderWidth(5);
    for (int i = 0; i < 21; ++i) {
        const Traco& t = kLinhas2[i];
        Line2(i).SetX1(t.x1);
        Line2(i).SetY1(t.y1);
        Line2(i).SetX2(t.x2);
        Line2(i).SetY2(t.y2);
    }
    Shape2(0).Move(1200, 1800, 255, 855);
    Shape2(1).Move(3480, 2760, 255, 855);
    for (int i = 0; i < 8; ++i) {
        Shape4(i).Move(kMarcas[i].left, kMarcas[i].top, 60, 60);
        Shape4(i).SetFillStyle(vbFSSolid);
        Shape4(i).SetFillColor(vbBlack);
    }
    for (int i = 0; i < 14; ++i) {
        Label3(i).Move(kRotulos[i].left, kRotulos[i].top, 840, 255);
        Label3(i).SetBackStyle(0);
    }
    Text1.Move(4920, 2580, 1215, 315);  // where it stays for a fault without a value to edit

    CalcCmd(5).Move(4920, 1200, 1215, 375);
    CalcCmd(0).Move(4920, 1680, 375, 375);
    CalcCmd(1).Move(5340, 1680, 375, 375);
    CalcCmd(2).Move(5760, 1680, 375, 375);
    CalcCmd(3).Move(4920, 2100, 375, 375);
    CalcCmd(4).Move(5340, 2100, 795, 375);
    for (int i = 0; i < 5; ++i) CalcCmd(i).SetCaption(kCalc[i]);

    Check1.Move(120, 3900, 4335, 255);
    Check1.SetCaption("Não mostrar mais esta mensagem.");
    DrawDegrau(false);

    Load += [this] { Form_Load(); };
    Label3.Click += [this](int Index) { Label3_Click(Index); };
    Text1.Click += [this] { Text1_Click(); };
    CalcCmd.Click += [this](int Index) { CalcCmd_Click(Index); };
    Check1.Click += [this] { Check1_Click(); };
}

void frmEditTR::SetErrType(int Tipo)
{
    errType_ = Tipo;
    int rotulo = -1;
    if (Tipo == 6 || Tipo == 8)
        rotulo = 7;
    else if (Tipo == 7)
        rotulo = 9;
    else if (Tipo == 11)
        rotulo = 6;
    if (rotulo < 0) {
        Text1.Move(4920, 2580, 1215);
        return;
    }
    Label& l = Label3(rotulo);
    Text1.Move(l.Left(), l.Top(), l.Width());
    Text1.SetText(l.Caption());
    Text1.ZOrder(vbBringToFront);
}

void frmEditTR::DrawDegrau(bool ComDegrau)
{
    Label3(8).SetVisible(ComDegrau);
    Label3(9).SetVisible(ComDegrau);
    Label3(10).SetTop(ComDegrau ? 2760 : 3000);
    Line1(1).SetVisible(ComDegrau);
    Line1(2).SetVisible(ComDegrau);
    Line1(0).SetX2(ComDegrau ? 3360 : 3480);
    Line1(0).SetY2(ComDegrau ? 3120 : 3600);
    Line2(3).SetX1(ComDegrau ? 2040 : 480);
    Line2(5).SetY2(ComDegrau ? 3240 : 3720);
    for (int i : {6, 7, 17, 18}) Line2(i).SetVisible(ComDegrau);
    Shape4(3).SetVisible(ComDegrau);
    Shape4(4).SetVisible(ComDegrau);
    Shape4(5).SetLeft(ComDegrau ? 2040 : 480);
}

void frmEditTR::Form_Load()
{
    Check1.SetValue(vbUnchecked);
    NaoOferecer = false;
    operando_ = 0;
    operador_ = 0;
}

void frmEditTR::Label3_Click(int Index) { CalcCmd(5).SetCaption(Label3(Index).Caption()); }

void frmEditTR::Text1_Click() { CalcCmd(5).SetCaption(Text1.Text()); }

void frmEditTR::CalcCmd_Click(int Index)
{
    const std::string visor = CalcCmd(5).Caption();
    if (Index == 5) {
        Text1.SetText(visor);
        return;
    }
    // What is not a number cannot be calculated with; the display stays.
    if (!IsNumero(visor)) {
        Beep();
        return;
    }
    const double valor = StrToDbl(visor);
    if (Index <= 3) {
        operando_ = valor;
        operador_ = Index;
        return;
    }
    double resultado = 0;
    switch (operador_) {
    case 0: resultado = operando_ + valor; break;
    case 1: resultado = operando_ - valor; break;
    case 2: resultado = operando_ * valor; break;
    default:
        if (valor == 0) {
            Beep();
            return;
        }
        resultado = operando_ / valor;
        break;
    }
    CalcCmd(5).SetCaption(FormatNum(resultado, 6));
}

// Only the faulty value is written back, and only a number may be; an
// emptied field is 0, as the drawing's numbers read.
bool frmEditTR::Aceita()
{
    const bool editado = errType_ == 6 || errType_ == 7 || errType_ == 8 || errType_ == 11;
    if (editado && !IsNumero(Text1.Text())) {
        ExibeMensagem(0, "Atenção", "O valor \"" + Text1.Text() + "\" não é um número.");
        return false;
    }
    return true;
}

void frmEditTR::Check1_Click()
{
    if (Check1.Value() == vbChecked) NaoOferecer = true;
}
