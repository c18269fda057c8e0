#include "water/WATDes98.h"

#include <charconv>
#include <exception>
#include <utility>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/Error.h"
#include "shell/modMensagem.h"
#include "water/clsWATDes.h"
#include "water/modCorrigeMaterial.h"
#include "water/modNodes.h"
#include "water/modZonas.h"

using namespace forms;

namespace {

// Where the panel puts a tab set it does not show.
constexpr double kFora = 4000;
// The open lists of the material and pipe choices: 300 pixels.
constexpr double kLarguraLista = 300 * 15;

// A command's failure is told to the user and ends the command, not the
// program: the window's event handlers have nobody above them to catch it.
template <class Comando>
void Protegido(Comando&& Executa)
{
    try {
        Executa();
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", e.Description());
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Atenção", e.what());
    }
}

// A diameter as a whole number; 0 for a text that is none.
int Inteiro(const std::string& Texto)
{
    int v = 0;
    std::from_chars(Texto.data(), Texto.data() + Texto.size(), v);
    return v;
}

// A picture of the program's own; a missing one leaves its place empty
// rather than keeping the panel from starting.
Picture Figura(const std::string& Nome)
{
    try {
        return LoadResPicture(Nome, vbResBitmap);
    } catch (const forms::Error&) {
        return {};
    }
}

// Without the blanks around it.
std::string Apara(const std::string& Texto)
{
    const auto i = Texto.find_first_not_of(" \t");
    if (i == std::string::npos) return "";
    return Texto.substr(i, Texto.find_last_not_of(" \t") - i + 1);
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

    InitProperties += [this] { UserControl_InitProperties(); };
    ReadProperties += [this](PropertyBag& b) { UserControl_ReadProperties(b); };
    WriteProperties += [this](PropertyBag& b) { UserControl_WriteProperties(b); };
    Resize += [this] { UserControl_Resize(); };

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

    NODLbl.Move(90, 405, 2415, 735);
    NODLbl.SetWordWrap(true);
    NODLerDesenhoCmd.Move(90, 1200, 2415, 375);
    NODLerDesenhoCmd.SetCaption("Construir Desenho");
    NODNumeraCmd.Move(90, 1650, 2415, 375);
    NODNumeraCmd.SetCaption("Numerar os Nodes");
    NODScaleCmd.Move(90, 2100, 2415, 375);
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

void WATDes98::MyclsWATDb_FirstPIC(const forms::Picture& Pic)
{
    WATMenu.SetBackGround(Pic);
}

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
        DesCmd_Click();
    }
}

void WATDes98::WatDP_DblClick()
{
    if (WatDP.ListIndex() >= 0 && !DiametroAtual.TemDS) DesCmd_Click();
}

void WATDes98::WatDS_Click()
{
    if (WatDP.ListIndex() < 0 || WatDS.ListIndex() < 0 || !DiametroAtual.TemDS) return;
    DesCmd.SetEnabled(true);
    DSAtual = WatDS.Text();
    DesCmd_Click();
}

void WATDes98::WatDS_DblClick()
{
    if (WatDS.ListIndex() >= 0 && DiametroAtual.TemDS) DesCmd_Click();
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
        Des_->InsertConex(ConexaoAtual.Bloco, MaterialAtual, codigo, etapa, extras[0], extras[1], extras[2],
                          extras[3]);
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
        Des_->Find(FindTxt.Text(), FindChk(0).Value() == vbChecked, emConexoes,
                   static_cast<short>(FindCbo.ListIndex()), ProgressBar3);
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
    ExibeMensagem(4, "Alterar Tubo Preferencial", "de: " + TuboPref + "\r\n" + "para: " + novo + "?", sim, nao,
                  marca, "", left, top);
    if (!sim) {
        // The list goes back to the pipe still in force.
        for (int i = 0; i < PrefTubCbo.ListCount(); ++i)
            if (PrefTubCbo.List(i) == TuboPref) {
                PrefTubCbo.SetListIndex(i);
                return;
            }
        return;
    }
    for (MaterialAguaRec& m : gMateriaisAgua) {
        if (m.Material != MaterialPref) continue;
        m.Tubulacao = novo;
        for (std::size_t k = 1; k < m.Conexoes.size(); ++k) {
            if (m.Conexoes[k].Bloco.empty()) continue;
            for (BolsaPontoRec& b : m.Conexoes[k].Bolsas)
                if (b.Tubulacao == TuboPref) b.Tubulacao = novo;
        }
    }
    TuboPref = novo;
}

void WATDes98::SSLumbra_Click()
{
    ExpCmd.SetEnabled(true);
}

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

void WATDes98::WatVerifScr_Change()
{
    WatVerifLbl.SetCaption(std::to_string(WatVerifScr.Value()));
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

void WATDes98::UserControl_InitProperties()
{
    Interface_ = 1;
    AcadZoomCenter_ = 400;
    AcadZoomScale_ = 0.4;
    SeparadorDecimal_ = 1;
    PRECCOTA_ = 3;
    PRECDIST_ = 2;
}

void WATDes98::UserControl_ReadProperties(PropertyBag& PropBag)
{
    Interface_ = PropBag.ReadProperty("Interface", 1);
    AcadZoomCenter_ = PropBag.ReadProperty("AcadZoomCenter", 400);
    AcadZoomScale_ = PropBag.ReadProperty("AcadZoomScale", 0.4);
    SeparadorDecimal_ = PropBag.ReadProperty("SeparadorDecimal", 1);
    PRECCOTA_ = PropBag.ReadProperty("PRECCOTA", 3);
    PRECDIST_ = PropBag.ReadProperty("PRECDIST", 2);
}

void WATDes98::UserControl_WriteProperties(PropertyBag& PropBag)
{
    PropBag.WriteProperty("Interface", Interface_, 1);
    PropBag.WriteProperty("AcadZoomCenter", AcadZoomCenter_, 400);
    PropBag.WriteProperty("AcadZoomScale", AcadZoomScale_, 0.4);
    PropBag.WriteProperty("SeparadorDecimal", SeparadorDecimal_, 1);
    PropBag.WriteProperty("PRECCOTA", PRECCOTA_, 3);
    PropBag.WriteProperty("PRECDIST", PRECDIST_, 2);
}

// The panel keeps its size whatever its host gives it.
void WATDes98::UserControl_Resize()
{
    Size(2595, 3810);
}
