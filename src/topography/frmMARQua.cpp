#include "topography/frmMARQua.h"

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "shell/modJanela.h"

using namespace forms;

namespace {

// A size as the user would type it: no decimals when it is whole.
std::string TextoNumero(double v)
{
    std::string t = FormatNum(v, 6);
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    return t;
}

}  // namespace

frmMARQua::frmMARQua() : Form("frmMARQua")
{
    SetBorderStyle(0);
    Move(0, 0, 3990, 3615);
    Picture1(1).Move(120, 120, 855, 855);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1080, 120, 2775, 285);
    Titulo.SetCaption("Bloco Quadrícula");
    Titulo.SetFontBold(true);

    Frame1(0).Move(120, 1080, 3735, 975);
    Frame1(0).SetCaption("Dimensões da Viewport no papel :");
    const char* rotulos[] = {"Horizontal :", "mm", "Vertical :", "mm"};
    for (int i = 0; i < 2; ++i) {
        Label1(2 * i).Move(120, 300 + i * 330, 1095, 225);
        Label1(2 * i).SetCaption(rotulos[2 * i]);
        Text1(i).Move(1260, 270 + i * 330, 1095, 285);
        Label1(2 * i + 1).Move(2430, 300 + i * 330, 495, 225);
        Label1(2 * i + 1).SetCaption(rotulos[2 * i + 1]);
    }
    for (Label& l : Label1) l.SetBackStyle(0);

    Label2.Move(240, 2190, 1095, 225);
    Label2.SetCaption("Escala: 1/");
    Label2.SetBackStyle(0);
    Combo1.Move(1380, 2160, 1095, 315);
    for (const char* e : {"500", "1000", "2000"}) Combo1.AddItem(e);

    Frame1(1).Move(120, 2580, 2415, 855);
    Frame1(1).SetCaption("Aplicar em todo o desenho:");
    Check1.Move(120, 300, 975, 255);
    Check1.SetCaption("Aplicar");
    Check1.SetValue(vbUnchecked);
    LimitesCmd.Move(1140, 270, 1155, 315);
    LimitesCmd.SetCaption("Limites >>");
    LimitesCmd.SetEnabled(false);

    cmdOK.Move(2640, 2640, 1215, 345);
    cmdOK.SetCaption("OK");
    CancelCmd.Move(2640, 3060, 1215, 345);
    CancelCmd.SetCaption("Cancelar");
    cmdEnd.Move(3600, 120, 255, 255);
    cmdEnd.SetCaption("X");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Resize += [this] { Form_Resize(); };
    Check1.Click += [this] { Check1_Click(); };
    LimitesCmd.Click += [this] { LimitesCmd_Click(); };
    cmdOK.Click += [this] { cmdOK_Click(); };
    CancelCmd.Click += [this] { CancelCmd_Click(); };
    cmdEnd.Click += [this] { CancelCmd_Click(); };
}

double frmMARQua::MARVPDimX() const { return StrToDbl(Text1(0).Text()); }
void frmMARQua::SetMARVPDimX(double v) { Text1(0).SetText(TextoNumero(v)); }
double frmMARQua::MARVPDimY() const { return StrToDbl(Text1(1).Text()); }
void frmMARQua::SetMARVPDimY(double v) { Text1(1).SetText(TextoNumero(v)); }
double frmMARQua::MAREscala() const { return StrToDbl(Combo1.Text()); }
void frmMARQua::SetMAREscala(double v) { Combo1.SetText(TextoNumero(v)); }

// In paper space the sheet is the active viewport: its size is proposed.
void frmMARQua::Form_Resize()
{
    if (!gAcadDoc) return;
    double largura = 0, altura = 0;
    bool achou = false;
    TamanhoViewport(largura, altura, achou);
    // Otherwise the sizes passed in stay as they were typed.
    if (!achou) return;
    SetMARVPDimX(largura);
    SetMARVPDimY(altura);
}

void frmMARQua::Check1_Click()
{
    AplicAll = Check1.Value() == vbChecked;
    LimitesCmd.SetEnabled(AplicAll);
}

void frmMARQua::LimitesCmd_Click() { GetJanela(ExtMin, ExtMax, "Selecione limites: "); }

void frmMARQua::cmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmMARQua::CancelCmd_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}
