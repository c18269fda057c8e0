#include "sewer/frmDBF.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "platform/forms/DataBinding.h"
#include "sewer/clsTabela1.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"

using namespace forms;

namespace {

struct Campo {
    const char* Legenda;
    const char* Nome;
};

constexpr std::array<Campo, 14> kCampos = {{{"CLTAT:", "CLTAT"},
                                            {"CLTLX:", "CLTLX"},
                                            {"CLTLY:", "CLTLY"},
                                            {"CLTAN:", "CLTAN"},
                                            {"CLTLC:", "CLTLC"},
                                            {"PVM:", "PVM"},
                                            {"PVJ:", "PVJ"},
                                            {"COMP:", "COMP"},
                                            {"DIAM:", "DIAM"},
                                            {"DECL:", "DECL"},
                                            {"PAVIM:", "PAVIM"},
                                            {"CONTRIB:", "CONTRIB"},
                                            {"MAT.:", "MATER"},
                                            {"OBS:", "OBS"}}};

constexpr std::array<const char*, 9> kOrdens = {" Order By CLTAT", " Order By PVM",   " Order By PVJ",
                                                " Order By DIAM",  " Order By COMP",  " Order By DECL",
                                                " Order By PAVIM", " Order By MATER", " Order By OBS"};

void Atencao(const std::string& Texto) { ExibeMensagem(0, "Atenção", Texto); }

}  // namespace

frmDBF::frmDBF() : Form("frmDBF")
{
    SetBorderStyle(0);
    SetWidth(4935);
    SetHeight(7545);
    SetKeyPreview(true);
    Picture1(1).Move(120, 120, 4695, 495);
    Label1.Move(120, 660, 4695, 255);
    Label1.SetAlignment(vbCenter);
    Label1.SetFontBold(true);
    for (int i = 0; i < 14; ++i) {
        const double y = 1020 + 360.0 * i;
        lblLabels(i).Move(120, y + 30, 1095, 255);
        lblLabels(i).SetCaption(kCampos[static_cast<std::size_t>(i)].Legenda);
        lblLabels(i).SetAlignment(vbRightJustify);
        txtFields(i).Move(1290, y, 3525, 315);
        txtFields(i).SetDataField(kCampos[static_cast<std::size_t>(i)].Nome);
    }
    Combo1.Move(120, 6120, 2895, 315);
    Combo1.SetStyle(vbComboDropdownList);
    for (const char* o : kOrdens) Combo1.AddItem(o);
    lblStatus.Move(3090, 6150, 1725, 255);
    lblStatus.SetBorderStyle(1);
    const struct {
        CommandButton* Botao;
        const char* Legenda;
        const char* Dica;
        double Left;
    } botoes[] = {{&cmdFirst, "|◀", "Primeiro registro", 120},     {&CmdBack, "<", "Dez registros atrás", 780},
                  {&cmdPrevious, "◀", "Registro anterior", 1440},  {&cmdNext, "▶", "Próximo registro", 2100},
                  {&CmdFront, ">", "Dez registros adiante", 2760}, {&cmdLast, "▶|", "Último registro", 3420}};
    for (const auto& b : botoes) {
        b.Botao->Move(b.Left, 6600, 615, 375);
        b.Botao->SetCaption(b.Legenda);
        b.Botao->SetToolTipText(b.Dica);
    }
    cmdEnd.Move(4200, 6600, 615, 375);
    cmdEnd.SetCaption("X");
    cmdEnd.SetToolTipText("Gravar e fechar");
    AplicaPele(*this, Shape1, &Picture1(1), false, {&Picture1(1), &Label1});

    KeyDown += [this](int& KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };
    QueryUnload += [this](int& Cancel, int UnloadMode) { Form_QueryUnload(Cancel, UnloadMode); };
    Unload += [this](int&) { Form_Unload(); };
    Combo1.Click += [this] { Combo1_Click(); };
    cmdFirst.Click += [this] { cmdFirst_Click(); };
    cmdLast.Click += [this] { cmdLast_Click(); };
    cmdNext.Click += [this] { cmdNext_Click(); };
    cmdPrevious.Click += [this] { cmdPrevious_Click(); };
    CmdBack.Click += [this] { CmdBack_Click(); };
    CmdFront.Click += [this] { CmdFront_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
    adoPrimaryRS.MoveComplete() += [this] { adoPrimaryRS_MoveComplete(); };
}

bool frmDBF::Start()
{
    Fecha();
    contada_.clear();
    try {
        db_.SetCursorLocation(ado::adUseClient);
        db_.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"},
                                             {"Data Source", FilePath},
                                             {"Extended Properties", "dBase 5.0"}}),
                 "", "");
        Label1.SetCaption(Filename);
        consulta_ = "select CLTAT,CLTLX,CLTLY,CLTAN,CLTLC,PVM,PVJ,COMP,MATER,DIAM,DECL,PAVIM,CONTRIB,OBS from " +
                    NomeTabelaSQL(Filename);
        adoPrimaryRS.Open(consulta_, db_, ado::adOpenStatic, ado::adLockOptimistic);
    } catch (const ado::Error& e) {
        Fecha();
        Atencao("Não foi possível abrir a tabela " + FilePath + Filename + ":\r\n" + e.Description());
        return false;
    }
    Liga();
    // A window used before may still show order 0, which would raise no Click.
    ordem_ = -1;
    trocando_ = true;
    Combo1.SetListIndex(-1);
    trocando_ = false;
    Combo1.SetListIndex(0);
    return true;
}

void frmDBF::Liga()
{
    for (int i = 0; i < 14; ++i) {
        try {
            SetDataSource(txtFields(i), adoPrimaryRS);
        } catch (const ado::Error&) {
            // The query names every field: a box left unbound shows nothing.
        }
    }
}

void frmDBF::Fecha()
{
    for (int i = 0; i < 14; ++i) ClearDataSource(txtFields(i));
    if (adoPrimaryRS.State() == ado::adStateOpen) adoPrimaryRS.Close();
    if (db_.State() == ado::adStateOpen) db_.Close();
}

void frmDBF::Recusa(const std::string& Motivo, bool Pedido)
{
    if (Pedido || Motivo != contada_) Atencao(Motivo);
    contada_ = Motivo;
}

bool frmDBF::TextosAceitos(bool Pedido)
{
    for (int i = 0; i < 14; ++i) {
        if (auto e = DataError(txtFields(i))) {
            Recusa(e->Description(), Pedido);
            return false;
        }
    }
    return true;
}

bool frmDBF::GravaPendente(bool Pedido)
{
    if (!TextosAceitos(Pedido)) return false;
    try {
        if (adoPrimaryRS.State() == ado::adStateOpen && adoPrimaryRS.EditMode() != ado::adEditNone)
            adoPrimaryRS.Update();
    } catch (const ado::Error& e) {
        Recusa(e.Description(), Pedido);
        return false;
    }
    contada_.clear();
    return true;
}

void frmDBF::Combo1_Click()
{
    if (trocando_) return;
    const int nova = Combo1.ListIndex();
    if (nova < 0 || nova == ordem_) return;
    // The change of the current record is written first; refused, it stays
    // pending and so does the order it was typed in.
    if (!GravaPendente()) {
        trocando_ = true;
        Combo1.SetListIndex(ordem_);
        trocando_ = false;
        return;
    }
    const int anterior = ordem_;
    ordem_ = nova;
    try {
        if (adoPrimaryRS.State() == ado::adStateOpen) adoPrimaryRS.Close();
        adoPrimaryRS.Open(consulta_ + kOrdens[static_cast<std::size_t>(nova)], db_, ado::adOpenStatic,
                          ado::adLockOptimistic);
    } catch (const ado::Error&) {
        // Passed over, as before; the records stay readable in the order they had.
        try {
            if (adoPrimaryRS.State() != ado::adStateOpen && anterior >= 0) {
                adoPrimaryRS.Open(consulta_ + kOrdens[static_cast<std::size_t>(anterior)], db_, ado::adOpenStatic,
                                  ado::adLockOptimistic);
                ordem_ = anterior;
                trocando_ = true;
                Combo1.SetListIndex(anterior);
                trocando_ = false;
            }
        } catch (const ado::Error&) {
        }
    }
    Liga();
}

void frmDBF::adoPrimaryRS_MoveComplete()
{
    const long long p = adoPrimaryRS.State() == ado::adStateOpen ? adoPrimaryRS.AbsolutePosition() : 0;
    lblStatus.SetCaption("Record: " + (p > 0 ? std::to_string(p) : std::string()));
}

template <class F>
bool frmDBF::Navega(F Passo)
{
    if (!TextosAceitos()) return false;
    try {
        if (adoPrimaryRS.State() != ado::adStateOpen) return false;
        Passo();
    } catch (const ado::Error& e) {
        Recusa(e.Description());
        return false;
    }
    contada_.clear();
    return true;
}

bool frmDBF::cmdFirst_Click()
{
    return Navega([this] { adoPrimaryRS.MoveFirst(); });
}

bool frmDBF::cmdLast_Click()
{
    return Navega([this] { adoPrimaryRS.MoveLast(); });
}

bool frmDBF::cmdNext_Click()
{
    return Navega([this] {
        if (adoPrimaryRS.Eof()) return;
        adoPrimaryRS.MoveNext();
        if (adoPrimaryRS.Eof() && adoPrimaryRS.RecordCount() > 0) {
            Beep();
            adoPrimaryRS.MoveLast();
        }
    });
}

bool frmDBF::cmdPrevious_Click()
{
    return Navega([this] {
        if (adoPrimaryRS.Bof()) return;
        adoPrimaryRS.MovePrevious();
        if (adoPrimaryRS.Bof() && adoPrimaryRS.RecordCount() > 0) {
            Beep();
            adoPrimaryRS.MoveFirst();
        }
    });
}

// A refused record stops the ten steps at once: one message, not ten.
void frmDBF::CmdBack_Click()
{
    for (int i = 0; i < 10; ++i)
        if (!cmdPrevious_Click()) return;
}

void frmDBF::CmdFront_Click()
{
    for (int i = 0; i < 10; ++i)
        if (!cmdNext_Click()) return;
}

void frmDBF::cmdEnd_Click()
{
    // The move writes the change; a refused one keeps the window open with it.
    if (adoPrimaryRS.State() == ado::adStateOpen && !cmdNext_Click()) return;
    forms::Unload(*this);
}

void frmDBF::Form_KeyDown(int& KeyCode, int Shift)
{
    const bool ctrl = (Shift & vbCtrlMask) != 0;
    bool tratada = true;
    switch (KeyCode) {
    case vbKeyHome: cmdFirst_Click(); break;
    case vbKeyEnd: cmdLast_Click(); break;
    case vbKeyUp:
    case vbKeyPageUp:
        if (ctrl)
            cmdFirst_Click();
        else
            cmdPrevious_Click();
        break;
    case vbKeyDown:
    case vbKeyPageDown:
        if (ctrl)
            cmdLast_Click();
        else
            cmdNext_Click();
        break;
    default: tratada = false;
    }
    if (tratada) KeyCode = 0;
}

void frmDBF::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // Closed some other way than "X": the pending change is still written;
    // refused, the window stays, unless the program or the session is ending.
    // Closed by the program (as it ends, once or more), a refusal the user
    // was already told of is not told again.
    if (adoPrimaryRS.State() != ado::adStateOpen) return;
    if (!GravaPendente(UnloadMode == vbFormControlMenu) &&
        (UnloadMode == vbFormControlMenu || UnloadMode == vbFormCode))
        Cancel = 1;
}

void frmDBF::Form_Unload()
{
    Fecha();
    Screen.SetMousePointer(vbDefault);
}

frmDBF& NovoEditorDBF()
{
    // Kept for the whole run, as every form of the program is.
    static auto* editores = new std::vector<std::unique_ptr<frmDBF>>;
    const std::vector<Form*> abertos = forms::Forms();
    for (auto& e : *editores)
        if (std::find(abertos.begin(), abertos.end(), e.get()) == abertos.end()) return *e;
    editores->push_back(std::make_unique<frmDBF>());
    return *editores->back();
}
