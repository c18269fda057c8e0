#include "topography/frmMARExe.h"

#include "shell/modJanela.h"

using namespace forms;

namespace {

// Where a frame stands when shown, and out of the dialog's sight.
constexpr double kFrameTop = 1080;
constexpr double kFrameFora = 5000;

}  // namespace

frmMARExe::frmMARExe() : Form("frmMARExe")
{
    SetBorderStyle(0);
    Move(0, 0, 5295, 3045);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    Label1.Move(1020, 150, 4140, 285);
    Label1.SetFontBold(true);

    // ---- the title-block number, the layouts and the files
    Frame1(0).Move(120, kFrameTop, 5055, 1350);
    Frame1(0).SetBorderStyle(0);
    struct Rotulo {
        int Indice;
        const char* Texto;
        double Left, Top, Width;
    };
    // "No Selo:" prefix - first number - suffix, then the step and the layout prefix.
    const Rotulo rotulos[] = {
        {0, "No Selo:", 0, 0, 1500},
        {10, "Inicial:", 1560, 0, 1050},
        {4, "Sufixo:", 2790, 0, 1050},
        {5, "-", 1500, 270, 60},
        {9, "-", 2670, 270, 60},
        {2, "Incremento:", 0, 630, 1050},
        {3, "No Layout:", 1170, 630, 1050},
        {1, "Sufixo arquivo:", 2340, 630, 1290},
        {6, "Layouts por arquivo:", 3690, 630, 1365},
    };
    for (const Rotulo& r : rotulos) {
        Label2(r.Indice).Move(r.Left, r.Top, r.Width, 225);
        Label2(r.Indice).SetCaption(r.Texto);
        Label2(r.Indice).SetBackStyle(0);
    }
    MARtxt(0).Move(0, 225, 1470, 285);
    MARtxt(2).Move(1560, 225, 1080, 285);
    MARtxt(1).Move(2730, 225, 1080, 285);
    MARtxt(3).Move(0, 855, 1080, 285);
    MARtxt(4).Move(1170, 855, 1080, 285);
    MarCbo.Move(2340, 855, 1290, 315);
    NLayCbo.Move(3690, 855, 1365, 315);

    // ---- the UTM grid
    Label2.AddElement(7, Frame1(1));
    Label2.AddElement(8, Frame1(1));
    Frame1(1).Move(120, kFrameFora, 5055, 1350);
    Frame1(1).SetBorderStyle(0);
    Label2(7).Move(0, 0, 5055, 225);
    Label2(7).SetCaption("Distanciamento das linhas de Grade UTM:");
    Label2(7).SetBackStyle(0);
    UTMCbo.Move(0, 255, 1290, 315);
    Label2(8).Move(0, 690, 1050, 225);
    Label2(8).SetCaption("Escala: 1/");
    Label2(8).SetBackStyle(0);
    UTMEscCbo.Move(1110, 660, 1290, 315);

    CmdCancel.Move(2970, 2520, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    CmdCancel.SetCancel(true);
    CmdOK.Move(4080, 2520, 975, 375);
    CmdOK.SetCaption("OK");
    CmdOK.SetDefault(true);
    AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Label1});

    Resize += [this] { Form_Resize(); };
    MARtxt.KeyPress += [this](int Index, int& KeyAscii) { MARtxt_KeyPress(Index, KeyAscii); };
    MARtxt.LostFocus += [this](int Index) { MARtxt_LostFocus(Index); };
    NLayCbo.KeyPress += [this](int& KeyAscii) { NLayCbo_KeyPress(KeyAscii); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
    // The caller fills its prefixes before showing it: the lists and the
    // texts a run starts from are there at once.
    Form_Load();
}

void frmMARExe::Form_Load()
{
    for (const char* s : {"100", "200", "250", "500", "1000"}) UTMCbo.AddItem(s);
    UTMCbo.SetListIndex(0);
    for (const char* s : {"500", "1000", "2000"}) UTMEscCbo.AddItem(s);
    UTMEscCbo.SetText("1000");
    MARtxt(2).SetText("0010");
    MARtxt(3).SetText("0010");
    MarCbo.AddItem("Folha #");
    MarCbo.SetListIndex(0);
    NLayCbo.AddItem("Não limitar");
    for (int n = 2; n <= 9; ++n) NLayCbo.AddItem(std::to_string(n));
    NLayCbo.SetListIndex(0);
}

// The dialog keeps its size.
void frmMARExe::Form_Resize()
{
    if (WindowState() != vbNormal) return;
    if (Width() != 5295 || Height() != 3045) Move(Left(), Top(), 5295, 3045);
}

void frmMARExe::SetfrmEstilo(int Estilo)
{
    switch (Estilo) {
    case 0:
    case 1: {
        const bool layouts = Estilo == 1;
        Label1.SetCaption(layouts ? "Gerar Layouts" : "Gerar Arquivos");
        for (Control* c : std::initializer_list<Control*>{&Label2(3), &Label2(6), &MARtxt(4), &NLayCbo})
            c->SetVisible(layouts);
        break;
    }
    case 3:
        Label1.SetCaption("Grade UTM");
        Frame1(0).SetTop(kFrameFora);
        Frame1(1).SetTop(kFrameTop);
        break;
    default: break;
    }
}

// The first number, the layout prefix and the layout count take digits and
// "-" only.
void frmMARExe::MARtxt_KeyPress(int Index, int& KeyAscii)
{
    if (Index != 2 && Index != 4) return;
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == '-' || KeyAscii == vbKeyBack) return;
    KeyAscii = 0;
}

void frmMARExe::NLayCbo_KeyPress(int& KeyAscii)
{
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == '-' || KeyAscii == vbKeyBack) return;
    KeyAscii = 0;
}

void frmMARExe::MARtxt_LostFocus(int Index)
{
    int caracteres = 0;
    for (unsigned char c : MARtxt(Index).Text())
        if ((c & 0xC0) != 0x80) ++caracteres;
    MARtxt(Index).SetSelStart(caracteres);
}

void frmMARExe::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmMARExe::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}
