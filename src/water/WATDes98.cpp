#include "water/WATDes98.h"

#include <charconv>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/FileReplacement.h"
#include "platform/acad/Error.h"
#include "shell/clsCommonDialog.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"
#include "terrain/clsDelaunay.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"
#include "water/ClsWATExp.h"
#include "water/WATDes.h"
#include "water/ClsWatUpdate.h"
#include "water/clsWATDes.h"
#include "water/clsWATQtt.h"
#include "water/modCorrigeMaterial.h"
#include "water/modExportacao.h"
#include "water/modNodes.h"
#include "water/modZonas.h"

using namespace forms;

namespace {

// Where the panel puts a tab set it does not show.
constexpr double kFora = 4000;
// The open lists of the material and pipe choices: 300 pixels.
constexpr double kLarguraLista = 300 * 15;

// A diameter as a whole number; 0 for a text that is none.
int Inteiro(const std::string& Texto)
{
    int v = 0;
    std::from_chars(Texto.data(), Texto.data() + Texto.size(), v);
    return v;
}

// The material, and every socket of its fittings that took its preferred
// pipe, take the new one.
void TrocaTuboPreferencial(const std::string& Material, const std::string& Antigo, const std::string& Novo)
{
    for (MaterialAguaRec& m : gMateriaisAgua) {
        if (m.Material != Material) continue;
        m.Tubulacao = Novo;
        for (std::size_t k = 1; k < m.Conexoes.size(); ++k) {
            if (m.Conexoes[k].Bloco.empty()) continue;
            for (BolsaPontoRec& b : m.Conexoes[k].Bolsas)
                if (b.Tubulacao == Antigo) b.Tubulacao = Novo;
        }
    }
}

template <class Lista>
void PrimeiroItem(Lista& L)
{
    if (L.ListCount() > 0) L.SetListIndex(0);
}

}  // namespace

WATDes98::WATDes98(Init init) : UserControl(std::move(init))
{
    ArrumaControles();
    ArrumaFerramentas();

    KeepSettings(kSettings);
    Resize += [this] { UserControl_Resize(); };

    CatalogoRecarregado_ = CatalogoAguaCarregado() += [this] { ReaplicaTubosPreferenciais(); };
    Material.Click += [this] { Material_Click(); };
    WATMenu.Click += [this](int Index) { WATMenu_Click(Index); };
    WatDP.Click += [this] { WatDP_Click(); };
    WatDP.DblClick += [this] { WatDP_DblClick(); };
    WatDS.Click += [this] { WatDS_Click(); };
    WatDS.DblClick += [this] { WatDS_DblClick(); };
    DesCmd.Click += [this] { DesCmd_Click(); };
    TuboCmd.Click += [this] { TuboCmd_Click(); };
    FindCmd.Click += [this] { FindCmd_Click(); };
    PrefMatCbo.Click += [this] { PrefMatCbo_Click(); };
    PrefTubCbo.Click += [this] { PrefTubCbo_Click(); };
    SSLumbra.Click += [this](int) { SSLumbra_Click(); };

    ZonCmd.Click += [this](int Index) { ZonCmd_Click(Index); };
    ZonTxt.KeyPress += [this](int Index, int& KeyAscii) { ZonTxt_KeyPress(Index, KeyAscii); };
    NODScaleCmd.Click += [this] { NODScaleCmd_Click(); };
    NODNumeraCmd.Click += [this] { NODNumeraCmd_Click(); };
    NODLerDesenhoCmd.MouseMove += [this](int, int, double, double) { NODLerDesenhoCmd_MouseMove(); };
    NODNumeraCmd.MouseMove += [this](int, int, double, double) { NODNumeraCmd_MouseMove(); };
    NODScaleCmd.MouseMove += [this](int, int, double, double) { NODScaleCmd_MouseMove(); };
    Command3.Click += [this] { Command3_Click(); };
    WarVerifLimpaCmd.Click += [this] { WarVerifLimpaCmd_Click(); };
    WatVerifScr.Change += [this] { WatVerifScr_Change(); };
    NODLerDesenhoCmd.Click += [this] { NODLerDesenhoCmd_Click(); };
    WatVerifCmd.Click += [this] { WatVerifCmd_Click(); };

    ExpFileCmd.Click += [this] { ExpFileCmd_Click(); };
    ExpCmd.Click += [this] { ExpCmd_Click(); };
    QttCmd.Click += [this] { QttCmd_Click(); };
    AntigosCmd.Click += [this] { AntigosCmd_Click(); };
    AntigosManCmd.Click += [this] { AntigosManCmd_Click(); };
}

WATDes98::~WATDes98() = default;

// The panel's design: captions, tool tips and places in twips.
void WATDes98::ArrumaControles()
{
    Move(0, 0, 2595, 3810);

    lblWat.AddElement(2, SSDesenho.Page(1));
    lblWat.AddElement(3, SSDesenho.Page(1));
    lblWat.AddElement(4, SSDesenho.Page(1));
    lblWat.AddElement(5, SSTools.Page(1));
    lblWat.AddElement(6, SSTools.Page(2));

    // ---- fittings and search, shown at first
    SSDesenho.Move(0, 0, 2595, 3810);
    SSDesenho.SetTabsPerRow(2);
    SSDesenho.SetTabHeight(300);
    SSDesenho.SetTabCaption(0, "Conexões");
    SSDesenho.SetTabCaption(1, "Ferramentas");

    lblWat(0).Move(90, 435, 2415, 225);
    lblWat(0).SetCaption("Material:");
    Material.Move(90, 660, 2415, 315);
    Material.SetStyle(vbComboDropdownList);
    WATMenu.Move(90, 1020, 2025, 1605);
    WatDP.Move(90, 2670, 690, 645);
    WatDS.Move(825, 2670, 690, 645);
    DesCmd.Move(1560, 2670, 945, 315);
    DesCmd.SetCaption("Desenhar");
    DesCmd.SetEnabled(false);
    TuboCmd.Move(1560, 3000, 945, 315);
    TuboCmd.SetCaption("Tubos");
    TuboCmd.SetStyle(1);
    TuboCmd.SetPicture(Figura("TUBOCMD"));
    TuboCmd.SetToolTipText("Desenhar um tubo entre duas conexões");
    lblWat(1).Move(90, 3405, 600, 225);
    lblWat(1).SetCaption("Etapa:");
    Etapa.Move(735, 3375, 1770, 315);
    Etapa.SetStyle(vbComboDropdownList);
    for (const char* e : {"Existente", "1a. Etapa", "2a. Etapa", "Desativar!"}) Etapa.AddItem(e);

    // The picture tools beside the menu, one column.
    FERPic.Move(2145, 1020, 360, 1605);
    FERPic.SetBorderStyle(0);
    for (int i = 0; i < 4; ++i) FERimg(i).Move(0, i * 225, 360, 225);
    for (int i = 0; i < 3; ++i) FERimg2(i).Move(0, 900 + i * 225, 360, 225);
    Bu.Move(0, 0, 360, 225);
    Bu.SetVisible(false);
    Bd.Move(0, 0, 360, 225);
    Bd.SetVisible(false);

    lblWat(2).Move(90, 435, 2415, 225);
    lblWat(2).SetCaption("Localizar Objeto:");
    FindTxt.Move(90, 660, 2415, 285);
    lblWat(3).Move(90, 1005, 2415, 225);
    lblWat(3).SetCaption("Procurar por :");
    FindChk(1).Move(90, 1230, 1170, 255);
    FindChk(1).SetCaption("em Conexões");
    FindChk(0).Move(1290, 1230, 1215, 255);
    FindChk(0).SetCaption("em Tubulações");
    FindCbo.Move(90, 1530, 1500, 315);
    FindCbo.SetStyle(vbComboDropdownList);
    for (const char* e : {"Existente", "1a. Etapa", "2a. Etapa", "A Demolir!"}) FindCbo.AddItem(e);
    FindCbo.SetListIndex(0);
    FindCmd.Move(1650, 1515, 855, 345);
    FindCmd.SetCaption("Procurar");
    lblWat(4).Move(90, 2010, 2415, 225);
    lblWat(4).SetCaption("Tubulação preferencial:");
    PrefMatCbo.Move(90, 2235, 2415, 315);
    PrefMatCbo.SetStyle(vbComboDropdownList);
    PrefTubCbo.Move(90, 2595, 2415, 315);
    PrefTubCbo.SetStyle(vbComboDropdownList);
    ProgressBar3.Move(90, 3045, 2415, 255);
    for (ComboBox* c : {&Material, &PrefMatCbo, &PrefTubCbo}) c->SetDropDownWidth(kLarguraLista);

    // ---- tools, out of sight until chosen
    SSTools.Move(kFora, 0, 2595, 3420);
    SSTools.SetTabsPerRow(3);
    SSTools.SetTabHeight(300);
    SSTools.SetTabCaption(0, "Insumos");
    SSTools.SetTabCaption(1, "Verif.");
    SSTools.SetTabCaption(2, "Temát.");
    // Three captions share one row.
    SSTools.SetFontSize(7);

    QttCmd.Move(90, 495, 2415, 375);
    QttCmd.SetCaption("Quantitativos");
    QttChk.Move(90, 945, 2415, 255);
    QttChk.SetCaption("Somente Tubulações");

    lblWat(5).Move(90, 465, 2415, 225);
    lblWat(5).SetCaption("Converter Antigos:");
    AntigosCmd.Move(90, 705, 1170, 375);
    AntigosCmd.SetCaption("Automático");
    AntigosManCmd.Move(1335, 705, 1170, 375);
    AntigosManCmd.SetCaption("Manual");
    InfoConexCmd.Move(90, 1245, 2415, 375);
    InfoConexCmd.SetCaption("Informação de Bolsa");
    Command3.Move(90, 1725, 2415, 375);
    Command3.SetCaption("Corrige Bug Material");

    WatVerifCmd.Move(90, 495, 2415, 375);
    WatVerifCmd.SetCaption("Continuidade e Nodes");
    WarVerifLimpaCmd.Move(90, 945, 2415, 375);
    WarVerifLimpaCmd.SetCaption("Limpa");
    lblWat(6).Move(90, 1455, 2415, 225);
    lblWat(6).SetCaption("Tolerância no comprimento:");
    WatVerifScr.Move(90, 1710, 1770, 255);
    // The length tolerance of the continuity check, in whole units.
    WatVerifScr.SetMin(5);
    WatVerifScr.SetMax(100);
    WatVerifScr.SetValue(10);
    WatVerifLbl.Move(1905, 1710, 600, 255);
    WatVerifLbl.SetAlignment(vbCenter);
    WatVerifLbl.SetCaption("10");

    ProgressBar2.Move(kFora, 3480, 2595, 255);

    // ---- zones, nodes and export, out of sight until chosen
    SSLumbra.Move(kFora, 0, 2595, 3420);
    SSLumbra.SetTabsPerRow(3);
    SSLumbra.SetTabHeight(300);
    SSLumbra.SetTabCaption(0, "Zonas");
    SSLumbra.SetTabCaption(1, "Nodes");
    SSLumbra.SetTabCaption(2, "MDB");

    ZonLbl.Move(90, 405, 2415, 1380);
    ZonLbl.SetWordWrap(true);
    ZonLbl.SetCaption(
        "Uma zona é definida por um Hatch e um bloco com atributos.\r\n"
        "A cor e o padrão do Hatch não são considerados nem a orientação ou escala do bloco mas sim o ponto "
        "de inserção do bloco e os dados nos atributos.");
    ZonTxt(0).Move(90, 1815, 2415, 285);
    ZonTxt(0).SetToolTipText("Nome da zona");
    ZonTxt(2).Move(90, 2160, 1500, 285);
    ZonTxt(2).SetToolTipText("Valor por metro");
    ZonCmd(0).Move(1650, 2145, 855, 315);
    ZonCmd(0).SetCaption("Inserir");
    ZonTxt(1).Move(90, 2520, 1500, 285);
    ZonTxt(1).SetToolTipText("Valor total");
    ZonCmd(1).Move(1650, 2505, 855, 315);
    ZonCmd(1).SetCaption("Inserir");

    // Room for the longest of the buttons' help texts, the buttons below it.
    NODLbl.Move(90, 405, 2415, 1545);
    NODLbl.SetWordWrap(true);
    NODLerDesenhoCmd.Move(90, 1995, 2415, 375);
    NODLerDesenhoCmd.SetCaption("Construir Desenho");
    NODNumeraCmd.Move(90, 2445, 2415, 375);
    NODNumeraCmd.SetCaption("Numerar os Nodes");
    NODScaleCmd.Move(90, 2895, 2415, 375);
    NODScaleCmd.SetCaption("Tamanho do círculo");

    ExpFileTxt.Move(90, 495, 2040, 285);
    ExpFileCmd.Move(2160, 480, 345, 315);
    ExpFileCmd.SetCaption("...");
    ExpCmd.Move(90, 945, 2415, 375);
    ExpCmd.SetCaption("Executar");
    ExpCmd.SetEnabled(false);

    ProgressBar1.Move(kFora, 3480, 2595, 255);

    for (Label& l : lblWat) l.SetBackStyle(0);
    ZonLbl.SetBackStyle(0);
    NODLbl.SetBackStyle(0);
}

void WATDes98::Start(bool Recarregar)
{
    if (Iniciado_ && !Recarregar) return;
    {
        clsWATDb db;
        db.FirstPIC += [this](const forms::Picture& p) { MyclsWATDb_FirstPIC(p); };
        if (!db.LoadDb()) return;
    }
    Iniciado_ = true;

    Material.Clear();
    PrefMatCbo.Clear();
    for (const MaterialAguaRec& m : gMateriaisAgua) {
        Material.AddItem(m.Material);
        if (!MaterialDeTubos(m.Material)) PrefMatCbo.AddItem(m.Material);
    }

    if (!Des_) Des_ = std::make_unique<clsWATDes>();

    Etapa.SetListIndex(0);
    PrimeiroItem(Material);
    PrimeiroItem(PrefMatCbo);

    MontaTiposTubo();
    PrefTubCbo.Clear();
    PrefTubCbo.AddItem("Indefinido");
    for (const TipoTuboRec& t : gTiposTubo)
        if (!t.Nome.empty()) PrefTubCbo.AddItem(t.Nome);
}

void WATDes98::MyclsWATDb_FirstPIC(const forms::Picture& Pic) { WATMenu.SetBackGround(Pic); }

// The material's fittings become the picture menu; the diameters wait for
// a fitting.
void WATDes98::Material_Click()
{
    if (!Iniciado_) return;
    MaterialAtual = Material.Text();
    for (const MaterialAguaRec& m : gMateriaisAgua)
        if (m.Material == MaterialAtual) {
            MenuAtual = m.Menu;
            ConexoesAtuais = m.Conexoes;
        }
    WATMenu.NewMenu(MenuAtual.Name, MenuAtual.DimX, MenuAtual.DimY, 107, 135, MenuAtual.PicFlat, MenuAtual.PicUp,
                    MenuAtual.PicDown);
    for (std::size_t k = 1; k < MenuAtual.Botoes.size(); ++k) {
        const PicMnuBotaoRec& b = MenuAtual.Botoes[k];
        WATMenu.AddBotao(static_cast<int>(k), b.Key, b.Description, b.Extra1, b.Texto, b.Row, b.Column, b.ExtraRows,
                         b.ExtraColumns);
    }
    ConexaoAtual = ConexaoAguaRec();
    DiametroAtual = DiametroAguaRec();
    WatDP.Clear();
    WatDS.Clear();
    Material.SetToolTipText(MaterialAtual);
    DesCmd.SetEnabled(false);
}

// A button finds its fitting by its code: only fittings with a block have
// buttons, so the button's number and the fitting's place may differ.
void WATDes98::WATMenu_Click(int Index)
{
    TuboCmd.SetPicture(forms::Picture());
    TuboCmd.SetToolTipText("");
    ConexaoAtual = ConexaoAguaRec();
    DiametroAtual = DiametroAguaRec();
    if (Index > 0 && static_cast<std::size_t>(Index) < MenuAtual.Botoes.size()) {
        const std::string& codigo = MenuAtual.Botoes[static_cast<std::size_t>(Index)].Key;
        for (std::size_t k = 1; k < ConexoesAtuais.size(); ++k)
            if (ConexoesAtuais[k].Codigo == codigo && !ConexoesAtuais[k].Bloco.empty()) {
                ConexaoAtual = ConexoesAtuais[k];
                break;
            }
    }
    WatDP.Clear();
    for (const DiametroAguaRec& d : ConexaoAtual.Diametros) WatDP.AddItem(d.DP);
    WatDS.Clear();
    DesCmd.SetEnabled(false);
}

// A click on a diameter that completes the choice draws at once.
void WATDes98::WatDP_Click()
{
    WatDS.Clear();
    DSAtual.clear();
    const int i = WatDP.ListIndex();
    if (i < 0 || static_cast<std::size_t>(i) >= ConexaoAtual.Diametros.size()) return;
    DiametroAtual = ConexaoAtual.Diametros[static_cast<std::size_t>(i)];
    if (DiametroAtual.TemDS) {
        DSAtuais = DiametroAtual.DS;
        for (const std::string& ds : DSAtuais) WatDS.AddItem(ds);
        DesCmd.SetEnabled(false);
    } else {
        DesCmd.SetEnabled(true);
        DesenhaDoClique();
    }
}

void WATDes98::WatDP_DblClick()
{
    if (WatDP.ListIndex() >= 0 && !DiametroAtual.TemDS) DesenhaDoDuploClique();
}

void WATDes98::WatDS_Click()
{
    if (WatDP.ListIndex() < 0 || WatDS.ListIndex() < 0 || !DiametroAtual.TemDS) return;
    DesCmd.SetEnabled(true);
    DSAtual = WatDS.Text();
    DesenhaDoClique();
}

void WATDes98::WatDS_DblClick()
{
    if (WatDS.ListIndex() >= 0 && DiametroAtual.TemDS) DesenhaDoDuploClique();
}

// The first press of a double click is a click of its own, and it has drawn
// already (its point may even still be asked while the second press comes).
void WATDes98::DesenhaDoClique()
{
    CliqueDesenhou_ = true;
    DesCmd_Click();
}

void WATDes98::DesenhaDoDuploClique()
{
    if (std::exchange(CliqueDesenhou_, false)) return;
    DesCmd_Click();
}

void WATDes98::CodigosDaConexao(std::string& Codigo, std::string (&Extras)[4]) const
{
    const std::string dn = "DN" + DiametroAtual.DP;
    Codigo = ConexaoAtual.Codigo + dn;
    for (std::string& e : Extras) e.clear();
    if (ConexaoAtual.TemExtras) {
        for (const ConExtraRec& x : ConexaoAtual.Extras) {
            std::string valor = x.Cod;
            if (valor == "RCFC") valor += Inteiro(DiametroAtual.DP) > 400 ? "16" : "10";
            if (x.Att == "CODIGO")
                Codigo = valor + dn;
            else if (x.Att.size() == 6 && x.Att.compare(0, 5, "CODIG") == 0 && x.Att[5] >= '1' && x.Att[5] <= '4')
                Extras[x.Att[5] - '1'] = valor + dn;
        }
    }
    if (DiametroAtual.TemDS) Codigo += "x" + DSAtual;
}

// Draws the current choice: a fitting, or a pipe of the chosen type and
// diameter when the material is one of pipes.
void WATDes98::DesCmd_Click()
{
    if (!Des_ || DiametroAtual.DP.empty()) return;
    Protegido([this] {
        if (!ConectaAcad()) return;
        const std::string etapa = std::to_string(Etapa.ListIndex());
        if (MaterialDeTubos(MaterialAtual)) {
            Des_->DrawTubo(ConexaoAtual.Conexao, DiametroAtual.DP, etapa);
            return;
        }
        std::string codigo, extras[4];
        CodigosDaConexao(codigo, extras);
        Des_->InsertConex(ConexaoAtual.Bloco, MaterialAtual, codigo, etapa, extras[0], extras[1], extras[2], extras[3]);
    });
}

// A pipe between two fittings, its type and diameter taken from their sockets.
void WATDes98::TuboCmd_Click()
{
    if (!Des_) return;
    Protegido([this] {
        if (!ConectaAcad()) return;
        Des_->DrawTubo("", "", std::to_string(Etapa.ListIndex()));
    });
}

void WATDes98::FindCmd_Click()
{
    if (!Des_) return;
    Protegido([this] {
        bool emConexoes = FindChk(1).Value() == vbChecked;
        Des_->Find(FindTxt.Text(), FindChk(0).Value() == vbChecked, emConexoes, static_cast<short>(FindCbo.ListIndex()),
                   ProgressBar3);
        FindChk(1).SetValue(emConexoes ? vbChecked : vbUnchecked);
    });
}

void WATDes98::PrefMatCbo_Click()
{
    MaterialPref = PrefMatCbo.Text();
    for (const MaterialAguaRec& m : gMateriaisAgua)
        if (m.Material == MaterialPref) {
            TuboPref = m.Tubulacao;
            break;
        }
    for (int i = 0; i < PrefTubCbo.ListCount(); ++i)
        if (PrefTubCbo.List(i) == TuboPref) {
            PrefTubCbo.SetListIndex(i);
            break;
        }
}

// The preferred pipe of a material changes in the loaded catalogue only: the
// sockets that took the old one take the new one until the program ends.
void WATDes98::PrefTubCbo_Click()
{
    const std::string novo = PrefTubCbo.Text();
    if (novo == TuboPref) return;
    bool sim = false, nao = false, marca = false;
    int left = 0, top = 0;
    ExibeMensagem(4, "Alterar Tubo Preferencial", "de: " + TuboPref + "\r\n" + "para: " + novo + "?", sim, nao, marca,
                  "", left, top);
    if (!sim) {
        // The list goes back to the pipe still in force.
        for (int i = 0; i < PrefTubCbo.ListCount(); ++i)
            if (PrefTubCbo.List(i) == TuboPref) {
                PrefTubCbo.SetListIndex(i);
                return;
            }
        return;
    }
    TrocaTuboPreferencial(MaterialPref, TuboPref, novo);
    TubosEscolhidos_[MaterialPref] = novo;
    TuboPref = novo;
}

// A catalogue read again (after the fittings table) brings back the pipes
// the database holds: the choices confirmed in this run are made again.
void WATDes98::ReaplicaTubosPreferenciais()
{
    for (const auto& [material, tubo] : TubosEscolhidos_) {
        for (const MaterialAguaRec& m : gMateriaisAgua)
            if (m.Material == material) {
                const std::string catalogo = m.Tubulacao;
                TrocaTuboPreferencial(material, catalogo, tubo);
                break;
            }
    }
}

void WATDes98::SSLumbra_Click() { ExpCmd.SetEnabled(true); }

// ---------------------------------------------------------------- zones, nodes, "Verif." and "Temát."

// A zone block valued per metre (0) or with a total (1), named by the first
// box. A box left empty, or a value that is no number, gets the focus and
// nothing is inserted.
void WATDes98::ZonCmd_Click(int Index)
{
    Protegido([this, Index] {
        if (!ConectaAcad()) return;
        if (Apara(ZonTxt(0).Text()).empty()) {
            ZonTxt(0).SetFocus();
            return;
        }
        if (Index != 0 && Index != 1) return;
        TextBox& valor = ZonTxt(Index == 0 ? 2 : 1);
        if (Apara(valor.Text()).empty()) {
            valor.SetFocus();
            return;
        }
        // The keys let "1..2" or "-" through; the export could not read them.
        if (!ValorDeZona(valor.Text())) {
            ExibeMensagem(0, "Atenção", "O valor \"" + valor.Text() + "\" não é um número.");
            valor.SetFocus();
            return;
        }
        InsereZona(Index == 0 ? "Zon_PorM" : "Zon_Total", Index == 0 ? "VPM" : "VTZ", ZonTxt(0).Text(), valor.Text());
    });
}

// The value boxes take a number written with "." (a comma becomes one); the
// name box takes every key.
void WATDes98::ZonTxt_KeyPress(int Index, int& KeyAscii)
{
    if (KeyAscii == 8 || KeyAscii == 13 || Index == 0) return;
    if (KeyAscii == ',') KeyAscii = '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return;
    KeyAscii = 0;
}

void WATDes98::NODScaleCmd_Click()
{
    Protegido([] {
        if (!ConectaAcad()) return;
        EscalaNode();
    });
}

void WATDes98::NODNumeraCmd_Click()
{
    Protegido([this] {
        if (!ConectaAcad()) return;
        NumeraNodes(ProgressBar1);
    });
}

void WATDes98::NODLerDesenhoCmd_MouseMove()
{
    NODLbl.SetCaption(
        "Com o desenho da REDE aberto este comando construirá um novo desenho para definição dos NODES. Os NODES "
        "serão representados por círculos. A cor  é apenas informativa.");
}

void WATDes98::NODNumeraCmd_MouseMove()
{
    NODLbl.SetCaption(
        "Este comando irá numerar os nodes de cima para baixo. Isso finaliza a preparação deste arquivo. Os NODES "
        "que se cruzam serão ajustados. ");
}

void WATDes98::NODScaleCmd_MouseMove()
{
    NODLbl.SetCaption(
        "Cada extremidade de TRECHO está representada por um círculo cor MAGENTA. O círculo do NODE deverá conter as "
        "extremidades que se deseja juntar. Deve ser evitado que os círculos se cruzem.");
}

void WATDes98::Command3_Click()
{
    Protegido([] {
        if (!ConectaAcad()) return;
        CorrigeMaterial();
    });
}

void WATDes98::WarVerifLimpaCmd_Click()
{
    Protegido([] {
        if (!ConectaAcad()) return;
        LimpaConferencia();
    });
}

void WATDes98::WatVerifScr_Change() { WatVerifLbl.SetCaption(std::to_string(WatVerifScr.Value())); }

// ---------------------------------------------------------------- nodes drawing and continuity check

void WATDes98::AvisaFalhas(const ClsWATExp& Exp, bool Cancelada)
{
    if (Exp.Falhas() == 0) return;
    ExibeMensagem(0, "Lendo Trechos...",
                  "Trechos com falhas: " + std::to_string(Exp.Falhas()) + " (marcadas na camada \"" + gLayerConf +
                      "\")." + (Cancelada ? "\r\n\r\nOperação cancelada." : ""));
}

void WATDes98::NODLerDesenhoCmd_Click()
{
    Protegido([this] {
        if (!ExpNodes_) ExpNodes_ = std::make_unique<ClsWATExp>();
        ExpNodes_->cProgress = &ProgressBar1;
        if (!ConectaAcad()) return;
        // The nodes drawing references the network by its file and is saved
        // beside it: a network never saved has neither.
        const std::string rede = gAcadDoc->FullName();
        if (rede.empty()) {
            ExibeMensagem(0, "Construir Desenho",
                          "Salve o desenho da REDE antes de construir o desenho dos NODES.\r\n\r\nOperação "
                          "cancelada.");
            return;
        }
        if (!ExpNodes_->LerTrechos(200.0, false)) {
            AvisaFalhas(*ExpNodes_, true);
            return;
        }
        if (!ConectaAcad("", "Acad")) return;
        ExpNodes_->DrawNodes(rede);
        // An earlier nodes drawing may hold the engineer's numbering: it goes
        // to the trash, not under the new one.
        const std::string nodes = NomeAoLado(rede, "_NOD.dwg");
        std::error_code ec;
        if (std::filesystem::exists(nodes, ec) && !DeleteToRecycle(nodes)) {
            ExibeMensagem(0, "Construir Desenho",
                          "Não foi possível enviar à lixeira o arquivo " + nodes +
                              ".\r\n\r\nO novo desenho dos NODES não foi salvo.");
            return;
        }
        gAcadDoc->SaveAs(nodes);
    });
}

void WATDes98::WatVerifCmd_Click()
{
    Protegido([this] {
        ClsWATExp exp;
        exp.cProgress = &ProgressBar2;
        if (exp.LerTrechos(static_cast<double>(WatVerifScr.Value()), false))
            exp.Reproduz();
        else
            AvisaFalhas(exp, false);
    });
}

// ---------------------------------------------------------------- export to the hydraulic-model database

namespace {

const std::string kNenhumArquivo = "Nenhum arquivo selecionado";

}  // namespace

// The output database: it need not exist yet.
void WATDes98::ExpFileCmd_Click()
{
    if (!ExpDlg_) ExpDlg_ = std::make_unique<clsCommonDialog>();
    clsCommonDialog& dlg = *ExpDlg_;
    dlg.SetDialogTitle("Criando o Arquivos de Dados");
    dlg.SetDefaultExt("mdb");
    dlg.SetFLAGS(2);
    dlg.SetFilter("Arquivo do Access (*.mdb) |*.mdb");
    if (EscolheSaida(dlg, ExpArquivo_, "pelo banco de dados", true) > 0) {
        ExpArquivo_ = dlg.Filename();
        ExpFileTxt.SetText(dlg.FileTitle());
        return;
    }
    ExibeMensagem(0, "Atenção", kNenhumArquivo);
}

// Asks for the four drawings of the network, then exports it. The main
// window's tabs stay locked from the first change on until the export ends,
// however it ends.
void WATDes98::ExpCmd_Click()
{
    if (ExpArquivo_.empty()) {
        ExibeMensagem(0, "Atenção", kNenhumArquivo);
        return;
    }
    if (!ExpDlg_) ExpDlg_ = std::make_unique<clsCommonDialog>();
    if (!Exp_) Exp_ = std::make_unique<ClsWATExp>();
    if (!HatchZonas_) HatchZonas_ = std::make_unique<clsHatchs>();
    if (!HatchPavimentos_) HatchPavimentos_ = std::make_unique<clsHatchs>();
    if (!Delaunay_) Delaunay_ = std::make_unique<clsDelaunay>();
    Exp_->cProgress = &ProgressBar1;
    HatchZonas_->cProgress = &ProgressBar1;
    HatchPavimentos_->cProgress = &ProgressBar1;
    Delaunay_->cProgress = &ProgressBar1;
    // Zones drawn with one pattern stay apart: each hatch is named by the zone
    // block inside it.
    HatchZonas_->RegiaoPorHatch = true;

    const struct {
        const char* Titulo;
        const char* Filtro;
    } pedidos[4] = {
        {"Abrir o arquivo da Rede [*-CAD.dwg]", "AutoCAD Drawing (*CAD.dwg) |*CAD.dwg"},
        {"Abrir o arquivo da Topografia", "AutoCAD Drawing (*TOP.dwg) |*TOP.dwg"},
        {"Abrir o arquivo de ZONAS", "AutoCAD Drawing (*ZON.dwg) |*ZON.dwg"},
        {"Abrir o arquivo de NODES", "AutoCAD Drawing (*NOD.dwg) |*NOD.dwg"},
    };
    std::string desenhos[4];
    clsCommonDialog& dlg = *ExpDlg_;
    for (int i = 0; i < 4; ++i) {
        dlg.SetDialogTitle(pedidos[i].Titulo);
        dlg.SetDefaultExt("dwg");
        dlg.SetFLAGS(2);
        dlg.SetFilename("");
        dlg.SetFilter(pedidos[i].Filtro);
        if (dlg.ShowOpen(gMainForm) <= 0) {
            ExibeMensagem(0, "Atenção", kNenhumArquivo + "\r\n\r\nOperação cancelada.");
            return;
        }
        desenhos[i] = dlg.Filename();
    }
    // The database takes the output's place: over one of these drawings, the
    // drawing would be lost. What the output may not replace is asked again
    // now, since a drawing may have been opened, or the catalogue moved,
    // since the output was chosen.
    std::vector<std::unique_ptr<ArquivoEmUso>> lidos;
    for (const std::string& desenho : desenhos)
        lidos.push_back(std::make_unique<ArquivoEmUso>(desenho, "um dos desenhos da exportação"));
    if (SaidaRecusada(ExpArquivo_, "pelo banco de dados", nullptr, "Operação cancelada.")) return;

    Exportando(false);
    if (gMainForm) gMainForm->Refresh();
    Protegido([&] { ExportaRede(desenhos[0], desenhos[1], desenhos[2], desenhos[3]); });
    Exportando(true);
}

// The export proper: nodes, zones, terrain, node zones and elevations,
// pavements, pipes and the database, in this order. False when it stopped
// (each way out has told why); the output is then as it was before.
bool WATDes98::ExportaRede(const std::string& Rede, const std::string& Topografia, const std::string& Zonas,
                           const std::string& Nodes)
{
    // The hatch files are written beside the zones and the topography: never
    // over a file of this export, which would lose it or read it as another.
    for (clsHatchs* h : {HatchZonas_.get(), HatchPavimentos_.get()})
        h->Protegidos = {Rede, Topografia, Zonas, Nodes, ExpArquivo_};
    if (HatchZonas_->DestinoProtegido(Zonas) || HatchPavimentos_->DestinoProtegido(Topografia)) return false;

    // The database is built in a copy of the template beside the old output,
    // which goes to the trash only once the export is complete: a run that
    // stops leaves it as it was.
    platform::FileReplacement banco(ExpArquivo_);
    const bool copiado = CopyFileBeside(PastaPrograma() + "/Lumbra.mdb", banco);

    if (!ConectaAcad(Nodes)) return false;
    const bool nosLidos = Exp_->LoadNodes();

    if (!ConectaAcad(Zonas)) return false;
    HatchZonas_->CreateDXF("");
    if (!HatchZonas_->ReadHatchs()) return false;
    gHatchZonas = gHatchs;
    gHatchs.clear();
    gNumHatchs = 0;
    const bool zonasLidas = Exp_->LoadZonas();
    if (!copiado || !nosLidos || !zonasLidas) return false;
    if (!NomeiaZonas(*HatchZonas_)) return false;

    if (!ConectaAcad(Topografia)) return false;
    Delaunay_->Execute();

    // The circles of the nodes in no zone go to the zones drawing.
    if (!ConectaAcad(Zonas)) return false;
    std::vector<std::string> semCota;
    if (!DadosAosNodes(ProgressBar1, semCota)) {
        ExibeMensagem(0, "Atenção", "NODEs fora de Zona\r\n\r\nOperação cancelada.");
        return false;
    }
    if (!semCota.empty()) ExibeMensagem(0, "Atenção", MensagemSemCota(semCota));

    if (!ConectaAcad(Topografia)) return false;
    HatchPavimentos_->CreateDXF("PAVIMENTO");
    if (!HatchPavimentos_->ReadHatchs()) return false;
    gHatchPavimentos = gHatchs;

    if (!ConectaAcad(Rede)) return false;
    // A pipe that cannot be read is marked, never left out of the network.
    if (!Exp_->LerTrechos(1000.0, true)) {
        AvisaFalhas(*Exp_, true);
        return false;
    }
    // A database that failed, or pipe ends no node reaches, are told by the writer.
    return Exp_->Salva_Rede(banco, false) && ReplaceToRecycle(banco);
}

// ---- the quantity table ("Insumos") and the conversion of old drawings ("Verif.")

void WATDes98::QttCmd_Click()
{
    Protegido([this] {
        clsWATQtt qtt;
        qtt.Progresso = &ProgressBar2;
        bool cancelado = false;
        qtt.INS_Capture(cancelado, QttChk.Value() == vbChecked);
    });
}

void WATDes98::AntigosCmd_Click()
{
    Protegido([this] {
        Atualiza_ = std::make_unique<ClsWatUpdate>();
        Atualiza_->Update(ProgressBar2);
    });
}

void WATDes98::AntigosManCmd_Click()
{
    Protegido([this] {
        Atualiza_ = std::make_unique<ClsWatUpdate>();
        Atualiza_->RepareTuboManual();
    });
}

void WATDes98::SetInterface(int v)
{
    Interface_ = v;
    MostraConjunto(v);
    PropertyChanged("Interface");
}

void WATDes98::MostraConjunto(int v)
{
    if (v < 0 || v > 2) return;
    Control* conjuntos[3][2] = {{&SSDesenho, nullptr}, {&SSTools, &ProgressBar2}, {&SSLumbra, &ProgressBar1}};
    for (int k = 0; k < 3; ++k)
        for (Control* c : conjuntos[k])
            if (c) c->SetLeft(k == v ? 0 : kFora);
}

void WATDes98::SetAcadZoomCenter(int v)
{
    AcadZoomCenter_ = v;
    PropertyChanged("AcadZoomCenter");
}

void WATDes98::SetAcadZoomScale(double v)
{
    AcadZoomScale_ = v;
    PropertyChanged("AcadZoomScale");
}

void WATDes98::SetSeparadorDecimal(int v)
{
    SeparadorDecimal_ = v;
    PropertyChanged("SeparadorDecimal");
}

void WATDes98::SetPRECCOTA(int v)
{
    PRECCOTA_ = v;
    PropertyChanged("PRECCOTA");
}

void WATDes98::SetPRECDIST(int v)
{
    PRECDIST_ = v;
    PropertyChanged("PRECDIST");
}

// Reading them only stores Interface: the tab sets move when it is assigned.
const forms::Settings<WATDes98> WATDes98::kSettings = {
    {"Interface", &WATDes98::Interface_, 1},
    {"AcadZoomCenter", &WATDes98::AcadZoomCenter_, 400},
    {"AcadZoomScale", &WATDes98::AcadZoomScale_, 0.4},
    {"SeparadorDecimal", &WATDes98::SeparadorDecimal_, 1},
    {"PRECCOTA", &WATDes98::PRECCOTA_, 3},
    {"PRECDIST", &WATDes98::PRECDIST_, 2},
};

// The panel keeps its size whatever its host gives it.
void WATDes98::UserControl_Resize() { Size(2595, 3810); }

// ================================================================ panel drawing tools
//
// "Conexões" carries two rows of picture tools: the first moves, couples,
// mirrors and rotates the fittings the user selects, using the axis of one
// fitting (its centre to the socket picked); the second starts the label
// movers and the tie dimension of the drawing object. "Verif." tells a
// picked socket's information.

namespace {

// Where the highlight images wait while no tool is under the mouse, and
// after a tool has ended.
constexpr double kParqueBu = 100;
constexpr double kParqueBd = 200;

const char* const kFerramentas[] = {"Engatar", "Mover", "Espelhar", "Rotacionar"};
const char* const kFerramentas2[] = {"Mover Atributo Conexões", "Mover Atributo Tubulações", "Amarração"};
const std::string kNaoEConexao = "O objeto selecionado não é uma conexão com bolsas.";

// A fitting's axis: its centre (insertion point) to the socket nearest the
// pick, with the fitting's material and that socket's diameter.
struct ReferenciaBolsa {
    std::string Material;
    Ponto Centro;
    Ponto Bolsa;
    std::string Diametro;
};

// Asks for a fitting with "Selecione conexão:". A missed pick ends the tool
// silently; a pick that gives no socket (not a fitting, or one the catalogue
// does not know) ends it with a message, so no tool goes on with an axis it
// did not get.
std::optional<ReferenciaBolsa> PegaReferencia(const std::string& Titulo)
{
    Ponto clique;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione conexão:", 1, clique, falhou, "");
    if (falhou || !e) return std::nullopt;
    ReferenciaBolsa r;
    std::string codigo, dp, ds, etapa, naoUsado, tubo;
    std::vector<double> percurso;
    if (!InfoBolsa(e, codigo, dp, ds, r.Material, etapa, r.Centro, clique, r.Bolsa, naoUsado, r.Diametro, tubo, false,
                   percurso, false)) {
        ExibeMensagem(0, Titulo, kNaoEConexao);
        return std::nullopt;
    }
    return r;
}

// "Sim" to a question of the couple tool.
bool Continua(const std::string& Texto)
{
    bool sim = false, nao = false, marca = false;
    int left = 0, top = 0;
    ExibeMensagem(4, "Engatar", Texto + "\r\n" + "Continuar?", sim, nao, marca, "", left, top);
    return sim;
}

// The tool `Index` of the first row on the fittings the user selects. True
// when it ran to its end (a cancelled point included); false when it stopped
// for want of a selection, a fitting or a "Sim".
bool FerramentaConexoes(int Index)
{
    const std::string titulo = kFerramentas[Index];
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    try {
        ss->SelectOnScreen({2, -4, 2, -4}, {acad::Variant("A-*"), acad::Variant("<NOT"), acad::Variant("A-TUBO"),
                                            acad::Variant("NOT>")});
    } catch (const acad::Error& e) {
        if (e.Code() == acad::ErrorCode::Cancelled) return false;
        throw;
    }
    std::vector<acad::Entity*> selecionados;
    for (acad::Entity* e : *ss) selecionados.push_back(e);
    if (selecionados.empty()) return false;

    // SNAPANG and ORTHOMODE as they were before the tool, whatever ends it.
    GuardaVariaveis orto{"SNAPANG", "ORTHOMODE"};
    const std::optional<ReferenciaBolsa> ref = PegaReferencia(titulo);
    if (!ref) return false;
    const Ponto C1 = ref->Centro, S1 = ref->Bolsa;
    const double a1 = gAcadUtil->AngleFromXAxis(C1, S1);

    switch (Index) {
    case 0: {
        const std::optional<ReferenciaBolsa> alvo = PegaReferencia(titulo);
        if (!alvo) return false;
        if (ref->Diametro != alvo->Diametro &&
            !Continua("Diâmetros não coincidentes (" + ref->Diametro + " e " + alvo->Diametro + ")"))
            return false;
        if (ref->Material != alvo->Material && !Continua("Materiais não coincidentes.")) return false;
        const Ponto S2 = alvo->Bolsa;
        const double a2 = gAcadUtil->AngleFromXAxis(S2, alvo->Centro);
        for (acad::Entity* e : selecionados) {
            e->Move(S1, S2);
            e->Rotate(S2, -a1);
            e->Rotate(S2, a2);
            e->Update();
        }
        break;
    }
    case 1: {
        gAcadDoc->SetVariable("SNAPANG", acad::Variant(a1));
        gAcadDoc->SetVariable("ORTHOMODE", acad::Variant(1));
        if (const std::optional<Ponto> p = GetPonto(S1, "Destino: "))
            for (acad::Entity* e : selecionados) {
                e->Move(S1, *p);
                e->Update();
            }
        break;
    }
    case 2:
        for (acad::Entity* e : selecionados) {
            e->Mirror(C1, S1)->Update();
            e->Delete();
        }
        break;
    case 3: {
        gAcadDoc->SetVariable("ORTHOMODE", acad::Variant(0));
        if (const std::optional<Ponto> p = GetPonto(C1, "Rotação:")) {
            const double a = gAcadUtil->AngleFromXAxis(C1, *p);
            for (acad::Entity* e : selecionados) {
                e->Rotate(C1, -a1);
                e->Rotate(C1, a);
                e->Update();
            }
        }
        break;
    }
    default: return false;
    }
    return true;
}

}  // namespace

// The tools' pictures and tips, and their events.
void WATDes98::ArrumaFerramentas()
{
    for (int i = 0; i < 4; ++i) {
        FERimg(i).SetPicture(Figura("FERIMG" + std::to_string(i)));
        FERimg(i).SetToolTipText(kFerramentas[i]);
    }
    for (int i = 0; i < 3; ++i) {
        FERimg2(i).SetPicture(Figura("FERIMG2_" + std::to_string(i)));
        FERimg2(i).SetToolTipText(kFerramentas2[i]);
    }
    // Beneath the tools: the tools' pictures are clear around their drawing,
    // and the mouse keeps reaching the tool while its highlight lies under it.
    Bu.SetPicture(Figura("FERBU"));
    Bd.SetPicture(Figura("FERBD"));
    Bu.ZOrder(vbSendToBack);
    Bd.ZOrder(vbSendToBack);
    Estaciona(Bu, kParqueBu);
    Estaciona(Bd, kParqueBu);

    FERimg.MouseDown += [this](int i, int b, int s, double x, double y) { FERimg_MouseDown(i, b, s, x, y); };
    FERimg.MouseMove += [this](int i, int b, int s, double x, double y) { FERimg_MouseMove(i, b, s, x, y); };
    FERimg.MouseUp += [this](int i, int b, int s, double x, double y) { FERimg_MouseUp(i, b, s, x, y); };
    FERimg2.MouseDown += [this](int i, int b, int s, double x, double y) { FERimg2_MouseDown(i, b, s, x, y); };
    FERimg2.MouseMove += [this](int i, int b, int s, double x, double y) { FERimg2_MouseMove(i, b, s, x, y); };
    FERimg2.MouseUp += [this](int i, int b, int s, double x, double y) { FERimg2_MouseUp(i, b, s, x, y); };
    InfoConexCmd.Click += [this] { InfoConexCmd_Click(); };
}

void WATDes98::Destaca(forms::Image& Fundo, const forms::Image& Ferramenta)
{
    Fundo.Move(Ferramenta.Left(), Ferramenta.Top());
    Fundo.SetVisible(true);
}

void WATDes98::Estaciona(forms::Image& Fundo, double Left)
{
    Fundo.SetVisible(false);
    Fundo.SetLeft(Left);
}

void WATDes98::FERimg_MouseMove(int Index, int, int, double, double)
{
    if (FerramentaSobMouse_ == &FERimg(Index)) return;
    Estaciona(Bd, kParqueBu);
    Destaca(Bu, FERimg(Index));
    FerramentaSobMouse_ = &FERimg(Index);
}

void WATDes98::FERimg2_MouseMove(int Index, int, int, double, double)
{
    if (FerramentaSobMouse_ == &FERimg2(Index)) return;
    Estaciona(Bd, kParqueBu);
    Destaca(Bu, FERimg2(Index));
    FerramentaSobMouse_ = &FERimg2(Index);
}

void WATDes98::FERimg_MouseUp(int, int, int, double, double)
{
    Estaciona(Bu, kParqueBu);
    Estaciona(Bd, kParqueBu);
    FerramentaSobMouse_ = nullptr;
}

void WATDes98::FERimg2_MouseUp(int Index, int Button, int Shift, double X, double Y)
{
    FERimg_MouseUp(Index, Button, Shift, X, Y);
}

void WATDes98::FERimg_MouseDown(int Index, int, int, double, double)
{
    if (Index < 0 || Index > 3) return;
    Estaciona(Bu, kParqueBu);
    Destaca(Bd, FERimg(Index));
    Protegido([&] {
        if (!ConectaAcad()) return;
        AtivaJanelaAcad();
        if (FerramentaConexoes(Index)) Estaciona(Bd, kParqueBd);
    });
}

void WATDes98::FERimg2_MouseDown(int Index, int, int, double, double)
{
    if (Index < 0 || Index > 2) return;
    Destaca(Bd, FERimg2(Index));
    Protegido([&] {
        if (!ConectaAcad() || !Des_) return;
        AtivaJanelaAcad();
        switch (Index) {
        case 0: Des_->MoverAtt(); break;
        case 1: Des_->MoverAttTubo(); break;
        case 2: Des_->DimUno(); break;
        }
        Estaciona(Bd, kParqueBd);
    });
}

// The socket nearest to where a fitting is picked, told in "Info Conexão".
void WATDes98::InfoConexCmd_Click()
{
    Protegido([] {
        if (!ConectaAcad()) return;
        Ponto clique;
        bool falhou = true;
        acad::Entity* e = AtivaAcad("Selecione bolsa:", 1, clique, falhou, "");
        if (falhou || !e) return;
        auto* bloco = dynamic_cast<acad::BlockReference*>(e);
        if (!bloco || bloco->Name() == "A-TUBO") {
            ExibeMensagem(0, "Info Conexão", kNaoEConexao);
            return;
        }
        std::string codigo, dp, ds, material, etapa, naoUsado, diametro, tubo;
        Ponto insercao, bolsa;
        std::vector<double> percurso;
        InfoBolsa(e, codigo, dp, ds, material, etapa, insercao, clique, bolsa, naoUsado, diametro, tubo, false,
                  percurso, true);
    });
}
