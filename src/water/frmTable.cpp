#include "water/frmTable.h"

#include <algorithm>
#include <cmath>

#include "cad/modGeometria.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/WATDes.h"

using namespace forms;

namespace {

constexpr long kVerdeClaro = 0xC0FFC0;
constexpr int kLinhas = 4;  // socket rows; row 4 holds the headings
const char* const kNaoUsa = "Não usa";

// A text inside SQL quotes.
std::string Aspas(const std::string& Texto)
{
    std::string s = "'";
    for (char c : Texto) s += c == '\'' ? std::string("''") : std::string(1, c);
    return s + "'";
}

// The row's socket number, read as the loader reads it.
bool MesmoNumero(const ado::Value& Numero, int Bolsa)
{
    const std::string t = Numero.TextOr();
    if (t.empty() || !IsNumero(t)) return false;
    return StrToDbl(t) == static_cast<double>(Bolsa);
}

}  // namespace

frmTable::frmTable() : Form("frmTable")
{
    SetBorderStyle(0);
    SetCaption("Materiais");
    Move(0, 0, 8460, 5580);
    Picture1(1).Move(120, 120, 780, 780);
    Picture1(1).SetBorderStyle(0);
    cmdEnd.Move(8085, 120, 255, 255);
    cmdEnd.SetCaption("X");

    Combo1.Move(1020, 150, 3540, 315);
    Combo1.SetStyle(vbComboDropdownList);
    Combo2.Move(1020, 540, 3240, 315);
    Combo2.SetStyle(vbComboDropdownList);
    VScroll1.Move(4290, 540, 270, 315);
    VScroll1.SetMin(0);
    VScroll1.SetMax(0);

    Label1(0).Move(120, 1020, 1080, 255);
    Label1(0).SetCaption("  Código :");
    lblCodigo.Move(1200, 1020, 1800, 255);
    lblCodigo.SetFontBold(true);
    Label1(1).Move(120, 1320, 1080, 255);
    Label1(1).SetCaption("  Bloco :");
    lblBloco.Move(1200, 1320, 1800, 255);
    lblBloco.SetBackStyle(1);
    Label1(2).Move(120, 1620, 1080, 255);
    Label1(2).SetCaption("  Diâmetros :");
    List1.Move(120, 1920, 1080, 1140);
    Label1(3).Move(1320, 1620, 1080, 255);
    Label1(3).SetCaption("Deriv.");
    List2.Move(1320, 1920, 1080, 1140);

    Picture2.Move(3120, 1020, 2700, 2040);
    Picture2.SetBackColor(0xFFFFFF);

    // The socket rows under their headings (the last element, first row);
    // cells are light green until one is being edited.
    for (int k = 0; k <= kLinhas; ++k) {
        Frame1(k).Move(120, 3180 + (k < kLinhas ? k + 1 : 0) * 300, 5700, 255);
        Frame1(k).SetBorderStyle(0);
        Label2.AddElement(k, Frame1(k)).Move(0, 0, 600, 255);
        Label3.AddElement(k, Frame1(k)).Move(660, 0, 2640, 255);
        Label4.AddElement(k, Frame1(k)).Move(3360, 0, 1200, 255);
        Label5.AddElement(k, Frame1(k)).Move(4620, 0, 1080, 255);
        for (Label* l : {&Label2(k), &Label3(k), &Label4(k), &Label5(k)}) {
            l->SetBorderStyle(1);
            l->SetBackStyle(1);
            if (k < kLinhas && l != &Label2(k)) l->SetBackColor(kVerdeClaro);
        }
        if (k < kLinhas) Frame1(k).SetVisible(false);
    }
    Label2(kLinhas).SetCaption("Bolsas");
    Label3(kLinhas).SetCaption("Tubulação preferencial");
    Label4(kLinhas).SetCaption("Anel");
    Label5(kLinhas).SetCaption("Bitol.");
    for (Label* l : {&Label2(kLinhas), &Label3(kLinhas), &Label4(kLinhas), &Label5(kLinhas)}) l->SetFontBold(true);

    // One place: the diameters until a cell is clicked, then its choices.
    List3.Move(5940, 1020, 2400, 3840);
    List4.Move(5940, 1020, 2400, 3840);
    List4.SetVisible(false);

    UpgCmd.Move(6465, 4980, 855, 375);
    UpgCmd.SetCaption("Update");
    UpgCmd.SetEnabled(false);
    Command1.Move(7485, 4980, 855, 375);
    Command1.SetCaption("Fechar");
    // Not kept on top: the user works beside it.
    AplicaPele(*this, Shape1, &Picture1(1), false, {&Picture1(1)});

    Load += [this] { Form_Load(); };
    Unload += [this](int& Cancel) { Form_Unload(Cancel); };
    Combo1.Click += [this] { Combo1_Click(); };
    Combo2.Click += [this] { Combo2_Click(); };
    VScroll1.Change += [this] { VScroll1_Change(); };
    List1.Click += [this] { List1_Click(); };
    List2.Click += [this] { List2_Click(); };
    Label3.Click += [this](int k) { Celula_Click(Label3(k)); };
    Label4.Click += [this](int k) { Celula_Click(Label4(k)); };
    Label5.Click += [this](int k) { Celula_Click(Label5(k)); };
    List4.Click += [this] { List4_Click(); };
    UpgCmd.Click += [this] { UpgCmd_Click(); };
    Command1.Click += [this] { Command1_Click(); };
    cmdEnd.Click += [this] { cmdEnd_Click(); };
}

void frmTable::Form_Load()
{
    // Opened before the water panel ever loaded the catalogue: it is loaded
    // here. A load that fails has said why; there is nothing to show.
    if (gMateriaisAgua.empty() && !clsWATDb().LoadDb()) {
        forms::Unload(*this);
        return;
    }
    // The form may be shown again: what the last showing left is cleared.
    celulaAtual_ = &lblBloco;
    conexoes_.clear();
    conexao_ = ConexaoAguaRec();
    diametros_.clear();
    Combo1.Clear();
    Combo2.Clear();
    List1.Clear();
    List2.Clear();
    List3.Clear();
    List4.Clear();
    List4.SetVisible(false);
    List3.SetVisible(true);
    UpgCmd.SetEnabled(false);
    lblBloco.SetBackColor(BackColor());
    for (int k = 0; k < kLinhas; ++k)
        for (Label* l : {&Label3(k), &Label4(k), &Label5(k)}) l->SetBackColor(kVerdeClaro);

    for (const MaterialAguaRec& m : gMateriaisAgua) Combo1.AddItem(m.Material);
    for (const std::string& d : gDiametros) List3.AddItem(d);
    // The first material, and with it its first fitting.
    Combo1.SetListIndex(0);
    Conecta();
}

void frmTable::Form_Unload(int&)
{
    try {
        if (cn_.State() != ado::adStateClosed) cn_.Close();
    } catch (const ado::Error&) {
        // Every change was written when it was made: nothing is pending.
    }
}

bool frmTable::Conecta()
{
    if (cn_.State() != ado::adStateClosed) return true;
    try {
        cn_.SetCursorLocation(ado::adUseClient);
        // The engine takes no password: none is written here.
        cn_.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", gMdbPath}}), "",
                 "");
        return true;
    } catch (const ado::Error& e) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível abrir o catálogo " + gMdbPath + ":\r" + e.Description() +
                          "\r\rAs bolsas não podem ser alteradas.");
        return false;
    }
}

void frmTable::Combo1_Click()
{
    indiceMaterial_ = Combo1.ListIndex();
    if (indiceMaterial_ < 0 || indiceMaterial_ >= static_cast<int>(gMateriaisAgua.size())) return;
    conexoes_ = gMateriaisAgua[static_cast<std::size_t>(indiceMaterial_)].Conexoes;
    Combo2.Clear();
    for (std::size_t i = 1; i < conexoes_.size(); ++i) Combo2.AddItem(conexoes_[i].Conexao);
    VScroll1.SetMax(std::max(0, Combo2.ListCount() - 1));
    if (Combo2.ListCount() > 0) Combo2.SetListIndex(0);
}

void frmTable::Combo2_Click()
{
    const int i = Combo2.ListIndex();
    if (i < 0) return;
    VScroll1.SetValue(i);
    const std::string nome = Combo2.List(i);
    for (std::size_t j = 1; j < conexoes_.size(); ++j)
        if (conexoes_[j].Conexao == nome) indiceConexao_ = static_cast<int>(j);
    conexao_ = conexoes_[static_cast<std::size_t>(indiceConexao_)];
    // A choice made for the last fitting does not carry over to this one.
    List4.Clear();
    UpgCmd.SetEnabled(false);

    lblCodigo.SetCaption(conexao_.Codigo);
    List2.SetVisible(conexao_.HasDS);
    Label1(3).SetVisible(conexao_.HasDS);
    if (!conexao_.Bloco.empty()) {
        DesenhaBlocoPic(Picture2, conexao_.Bloco);
        lblBloco.SetCaption(conexao_.Bloco);
    } else {
        Picture2.Cls();
        lblBloco.SetCaption("");
    }
    diametros_ = conexao_.Diametros;
    List1.Clear();
    List2.Clear();
    for (const DiametroAguaRec& d : diametros_) List1.AddItem(d.DP);
    if (List1.ListCount() > 0) List1.SetListIndex(0);

    for (int k = 0; k < kLinhas; ++k) Frame1(k).SetVisible(false);
    const int n = std::min({conexao_.NumBolsas, static_cast<int>(conexao_.Bolsas.size()), kLinhas});
    for (int k = 0; k < n; ++k) {
        const BolsaPontoRec& b = conexao_.Bolsas[static_cast<std::size_t>(k)];
        Label2(k).SetCaption(std::to_string(b.Numero));
        Label3(k).SetCaption(b.Tubulacao);
        Label4(k).SetCaption(b.Anel.empty() ? kNaoUsa : b.Anel);
        Label5(k).SetCaption(b.Principal ? "Prim" : "Deriv");
        Frame1(k).SetVisible(true);
    }
}

void frmTable::VScroll1_Change()
{
    if (VScroll1.Value() < Combo2.ListCount()) Combo2.SetListIndex(VScroll1.Value());
    List4.Clear();
    UpgCmd.SetEnabled(false);
}

void frmTable::List1_Click()
{
    const int i = List1.ListIndex();
    List2.Clear();
    if (i >= 0 && i < static_cast<int>(diametros_.size()) && diametros_[static_cast<std::size_t>(i)].TemDS)
        for (const std::string& ds : diametros_[static_cast<std::size_t>(i)].DS) List2.AddItem(ds);
    celulaAtual_->SetBackColor(kVerdeClaro);
    UpgCmd.SetEnabled(false);
}

void frmTable::List2_Click()
{
    celulaAtual_->SetBackColor(kVerdeClaro);
    UpgCmd.SetEnabled(false);
}

void frmTable::Celula_Click(Label& Celula)
{
    // The headings share the cells' arrays but are no socket.
    if (Celula.Index() >= kLinhas) return;
    List3.SetVisible(false);
    List4.SetVisible(true);
    List4.Clear();
    if (Celula.Name() == "Label3") {
        List4.AddItem("Indefinido");
        for (const ConexaoRec& t : gTubosCat) List4.AddItem(t.Conexao);
    } else if (Celula.Name() == "Label4") {
        List4.AddItem(kNaoUsa);
        for (const std::string& a : gAneis) List4.AddItem(a);
    } else {
        List4.AddItem("Bitola Primária");
        List4.AddItem("Bitola da Derivação");
    }
    celulaAtual_->SetBackColor(kVerdeClaro);
    celulaAtual_ = &Celula;
    Celula.SetBackColor(vbWindowBackground);
    UpgCmd.SetEnabled(false);
}

void frmTable::List4_Click() { UpgCmd.SetEnabled(true); }

int frmTable::LinhaAtual() const
{
    if (celulaAtual_ == &lblBloco) return -1;
    const int k = celulaAtual_->Index();
    const int n = std::min({conexao_.NumBolsas, static_cast<int>(conexao_.Bolsas.size()), kLinhas});
    return k >= 0 && k < n ? k : -1;
}

void frmTable::UpgCmd_Click()
{
    const int k = LinhaAtual();
    const int escolha = List4.ListIndex();
    UpgCmd.SetEnabled(false);
    if (k < 0 || escolha < 0) return;
    const std::string v = List4.List(escolha);
    const std::string coluna = celulaAtual_->Name();
    const BolsaPontoRec& bolsa = conexao_.Bolsas[static_cast<std::size_t>(k)];
    const std::string codigo = lblCodigo.Caption();
    const bool principal = escolha == 0;

    // The row is the socket's own: the fitting's exact code and the socket's
    // number, not its place in the list. The code is a text to compare, never
    // a pattern.
    if (!Conecta()) return;
    try {
        ado::Recordset rs;
        rs.Open("SELECT * FROM A_Bolsas WHERE Codigo = " + Aspas(codigo), cn_, ado::adOpenDynamic,
                ado::adLockOptimistic);
        while (!rs.Eof() && !(rs.Fields("Codigo").Value().TextOr() == codigo &&
                              MesmoNumero(rs.Fields("Numero").Value(), bolsa.Numero)))
            rs.MoveNext();
        if (rs.Eof()) {
            rs.Close();
            ExibeMensagem(0, "Atenção",
                          "A bolsa " + std::to_string(bolsa.Numero) + " da conexão " + codigo +
                              " não está na tabela A_Bolsas.\r\rNada foi alterado.");
            return;
        }
        if (coluna == "Label3")
            rs.Fields("Tubulacao").SetValue(v);
        else if (coluna == "Label4")
            // No ring is no value: a text here would be counted as a ring.
            rs.Fields("Anel").SetValue(v == kNaoUsa ? ado::Value::Null() : ado::Value(v));
        else
            rs.Fields("Principal").SetValue(principal);
        rs.Update();
        rs.Close();
    } catch (const ado::Error& e) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível gravar a bolsa " + std::to_string(bolsa.Numero) + " da conexão " + codigo +
                          " em " + gMdbPath + ":\r" + e.Description() + "\r\rNada foi alterado.");
        return;
    }

    // Written: the same change in the fitting shown, the material's copy and
    // the catalogue.
    auto muda = [&](BolsaPontoRec& b) {
        if (coluna == "Label3")
            b.Tubulacao = v;
        else if (coluna == "Label4")
            b.Anel = v == kNaoUsa ? "" : v;
        else
            b.Principal = principal;
    };
    const auto s = static_cast<std::size_t>(k);
    const auto c = static_cast<std::size_t>(indiceConexao_);
    muda(conexao_.Bolsas[s]);
    if (c < conexoes_.size() && s < conexoes_[c].Bolsas.size()) muda(conexoes_[c].Bolsas[s]);
    if (indiceMaterial_ >= 0 && static_cast<std::size_t>(indiceMaterial_) < gMateriaisAgua.size()) {
        std::vector<ConexaoAguaRec>& lista = gMateriaisAgua[static_cast<std::size_t>(indiceMaterial_)].Conexoes;
        if (c < lista.size() && s < lista[c].Bolsas.size()) muda(lista[c].Bolsas[s]);
    }
    if (coluna == "Label5")
        celulaAtual_->SetCaption(principal ? "Prim" : "Deriv");
    else
        celulaAtual_->SetCaption(v);
}

void frmTable::Command1_Click() { forms::Unload(*this); }

void frmTable::cmdEnd_Click() { forms::Unload(*this); }
