#include "water/frmWATTubo.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modGeometria.h"
#include "cad/modVista.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/clsWATDb.h"
#include "shell/modPainel.h"

using namespace forms;

namespace {

std::string Maiusculas(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// A number the user typed; blank is not one.
std::optional<double> LeNumero(const std::string& texto)
{
    const std::string t = Apara(texto);
    if (t.empty() || !IsNumero(t)) return std::nullopt;
    return StrToDbl(t);
}

// A length as the pipe's label and its later reading take it: digits, with
// one decimal point or comma between them, and more than zero.
bool ComprimentoValido(const std::string& texto)
{
    const std::string t = Apara(texto);
    const std::size_t separador = t.find_first_of(".,");
    const auto digitos = [&t](std::size_t de, std::size_t ate) {
        return ate > de &&
               std::all_of(t.begin() + static_cast<std::ptrdiff_t>(de), t.begin() + static_cast<std::ptrdiff_t>(ate),
                           [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    const bool escrito = separador == std::string::npos ? digitos(0, t.size())
                                                        : digitos(0, separador) && digitos(separador + 1, t.size());
    return escrito && StrToDbl(t) > 0;
}

}  // namespace

frmWATTubo::frmWATTubo() : Form("frmWATTubo")
{
    SetBorderStyle(0);
    Move(0, 0, 3000, 3495);
    Picture1(1).Move(120, 120, 855, 855);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1080, 120, 1815, 285);
    Titulo.SetCaption("Tubulação");
    Titulo.SetFontBold(true);

    Frame1(0).Move(1080, 480, 1815, 735);
    Frame1(0).SetCaption("Comprimento :");
    Text1.Move(360, 360, 855, 285);
    Label1(0).Move(1260, 390, 255, 255);
    Label1(0).SetCaption("m");

    Frame1(2).Move(120, 1320, 2775, 615);
    Frame1(2).SetCaption("Contribuição :");
    Option1(0).Move(240, 270, 735, 255);
    Option1(0).SetCaption("SIM");
    Option1(0).SetValue(true);
    Option1(1).Move(1080, 270, 735, 255);
    Option1(1).SetCaption("NÃO");
    Option1(2).Move(2040, 270, 690, 255);
    Option1(2).SetCaption("UNI");

    Combo1.Move(120, 2040, 2775, 315);
    Combo1.SetStyle(vbComboDropdownList);

    // Shown by the caller for a long reach only.
    Frame1(1).Move(120, 2400, 1695, 975);
    Frame1(1).SetCaption("Trecho longo:");
    Frame1(1).SetVisible(false);
    CortarTxt.Move(120, 240, 735, 285);
    CortarTxt.SetText("500");
    Label1.AddElement(1, Frame1(1));
    Label1(1).Move(900, 270, 255, 255);
    Label1(1).SetCaption("m");
    CortarCmd.Move(120, 570, 1455, 315);
    CortarCmd.SetCaption("Marcar >>");

    CmdOK.Move(1920, 2520, 975, 375);
    CmdOK.SetCaption("OK");
    CmdCancel.Move(1920, 3000, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

    Load += [this] { Form_Load(); };
    Paint += [this] { Form_Paint(); };
    Combo1.Click += [this] { Combo1_Click(); };
    Option1.Click += [this](int Index) { Option1_Click(Index); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
    CortarCmd.Click += [this] { CortarCmd_Click(); };
}

void frmWATTubo::Form_Load()
{
    Contrib = "SIM";
    // The pipe type names are longer than the box.
    Combo1.SetDropDownWidth(300 * Screen.TwipsPerPixelX());
}

void frmWATTubo::Form_Paint() { CmdOK.SetFocus(); }

void frmWATTubo::SetlCaption(const std::string& v)
{
    std::string chave;
    for (std::size_t i = 0; i < v.size();) {
        if (v.compare(i, 2, "DN") == 0) {
            chave += '_';
            i += 2;
        } else {
            chave += v[i++];
        }
    }
    chave = Maiusculas(chave + "_");
    Combo1.AddItem("Indefinido");
    for (const auto& tipo : gTiposTubo)
        if (Maiusculas(tipo.ListaDN).find(chave) != std::string::npos) Combo1.AddItem(tipo.Nome);
    Titulo.SetCaption(v);
}

std::string frmWATTubo::TuboPref() const { return tuboPref_; }

void frmWATTubo::SetTuboPref(const std::string& NewTuboPref)
{
    tuboPref_ = NewTuboPref;
    for (int i = 0; i < Combo1.ListCount(); ++i) {
        if (Combo1.List(i) == NewTuboPref) {
            Combo1.SetListIndex(i);
            break;
        }
    }
}

void frmWATTubo::Combo1_Click()
{
    if (Combo1.ListIndex() >= 0) tuboPref_ = Combo1.List(Combo1.ListIndex());
}

void frmWATTubo::Option1_Click(int Index)
{
    switch (Index) {
    case 0: Contrib = "SIM"; break;
    case 1: Contrib = "NAO"; break;
    case 2: Contrib = "UNI"; break;
    default: break;
    }
}

void frmWATTubo::CmdOK_Click()
{
    // The length goes into the pipe's label: a text that is not a length
    // would be drawn as one.
    if (!ComprimentoValido(Text1.Text())) {
        ExibeMensagem(0, "Atenção",
                      "O comprimento \"" + Text1.Text() +
                          "\" deve ser um número positivo, escrito com algarismos e um só separador decimal.");
        Text1.SetFocus();
        return;
    }
    OK = true;
    Cancel = false;
    Hide();
}

void frmWATTubo::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}

void frmWATTubo::CortarCmd_Click()
{
    // Only a point that lies on the route is marked; otherwise the dialog
    // stays as it is and the user may correct the distance.
    const auto d = LeNumero(CortarTxt.Text());
    if (!d) {
        ExibeMensagem(0, "Atenção", "A distância \"" + CortarTxt.Text() + "\" não é um número.");
        CortarTxt.SetFocus();
        return;
    }
    int segmento = 0;
    double direcao = 0;
    const auto p = *d < 0 ? std::nullopt : PontoAoLongo(Coords, *d, segmento, direcao);
    if (!p) {
        ExibeMensagem(0, "Atenção",
                      "A distância " + Apara(CortarTxt.Text()) + "m não cai no trecho, que mede " +
                          FormatNum(ComprimentoPolilinha(Coords), 2) + "m.");
        CortarTxt.SetFocus();
        return;
    }
    gModelSpace->AddCircle(*p, 2.0);
    ZoomCentro(*p, 50.0);
    Cancel = true;
    Hide();
}
