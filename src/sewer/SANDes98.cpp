#include "sewer/SANDes98.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <exception>
#include <functional>
#include <utility>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modInfoPonto.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/Error.h"
#include "platform/os/Clipboard.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANEdit.h"
#include "sewer/clsSANQtt.h"
#include "sewer/frmCalcCotaPT.h"
#include "sewer/modBlocosSAN.h"
#include "sewer/modConfSAN.h"
#include "sewer/modRedeSAN.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"

using namespace forms;

namespace {

// Where the panel puts a tab set it does not show.
constexpr double kFora = 4000;
// A pressed numeric spinner.
constexpr long kRealceSpin = RGB(255, 255, 192);

void Atencao(const std::string& Texto) { ExibeMensagem(0, "Atenção", Texto); }

// A number typed by a person: blank, "." and "," are no number here (the
// reader would take them for 0).
bool LeNumero(const std::string& Texto, double& Valor)
{
    const std::string t = Apara(Texto);
    if (t.empty() || t == "." || t == "," || !IsNumero(t)) return false;
    Valor = StrToDbl(t);
    return true;
}

// Characters of a UTF-8 text, as the text boxes count them.
int Caracteres(const std::string& Texto)
{
    int n = 0;
    for (unsigned char c : Texto)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Byte where character `n` of a UTF-8 text begins (the end when beyond it).
std::size_t ByteDoCaractere(const std::string& Texto, int n)
{
    int k = 0;
    for (std::size_t i = 0; i < Texto.size(); ++i) {
        if ((static_cast<unsigned char>(Texto[i]) & 0xC0) == 0x80) continue;
        if (k++ == n) return i;
    }
    return Texto.size();
}

// The tolerances are shown and typed with "," as decimal separator.
std::string TextoTolerancia(double Valor)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, Valor, std::chars_format::fixed);
    std::string t(buf, r.ptr);
    std::replace(t.begin(), t.end(), '.', ',');
    return t;
}

// A number written with at least three digits ("7" → "007"); a text that is
// not a number is shown as it is.
std::string Formata000(const std::string& Texto)
{
    double v = 0;
    if (!LeNumero(Texto, v)) return Texto;
    std::string t = FormatNum(v, 0);
    const bool negativo = !t.empty() && t[0] == '-';
    if (negativo) t.erase(0, 1);
    if (t.size() < 3) t.insert(0, 3 - t.size(), '0');
    return negativo ? "-" + t : t;
}

// A number field read as a 16-bit whole number: a half goes to the even
// neighbour and zeros in front are dropped ("007" is 7, "12.5" is 12). None
// for a text that is not a number, or one beyond -32768 ... 32767.
std::optional<int> Inteiro16(const std::string& Texto)
{
    if (!NumeroEscrito(Texto)) return std::nullopt;
    const double n = std::nearbyint(StrToDbl(Texto));
    if (!(n >= -32768 && n <= 32767)) return std::nullopt;
    return static_cast<int>(n);
}

// The index n of a Tag "DesTxt(n)", -1 for any other text.
int IndiceDaTag(const std::string& Tag)
{
    const std::string prefixo = "DesTxt(";
    if (Tag.size() < prefixo.size() + 2 || Tag.compare(0, prefixo.size(), prefixo) != 0 || Tag.back() != ')') return -1;
    int n = -1;
    const char* inicio = Tag.data() + prefixo.size();
    const char* fim = Tag.data() + Tag.size() - 1;
    const auto r = std::from_chars(inicio, fim, n);
    return r.ec == std::errc() && r.ptr == fim ? n : -1;
}

// Selects the first entry of a list that has one: a catalogue table without
// rows leaves its lists empty and unselected.
template <class Lista>
void PrimeiroItem(Lista& L)
{
    if (L.ListCount() > 0) L.SetListIndex(0);
}

// Layout rows of the drawing pages, in twips.
constexpr double LinhaDoCampo(int r) { return 705 + r * 315; }

}  // namespace

SANDes98::SANDes98(Init init) : UserControl(std::move(init))
{
    ArrumaControles();

    KeepSettings(kSettings);
    ReadProperties += [this](PropertyBag&) { MostraPreferencias(); };
    Paint += [this] { UserControl_Paint(); };
    Resize += [this] { UserControl_Resize(); };

    DesInsertPVcmd.Click += [this] { DesInsertPVcmd_Click(); };
    DesInsertTRcmd.Click += [this](int Index) { DesInsertTRcmd_Click(Index); };
    DesInsertTRGenCmd.Click += [this] { DesInsertTRGenCmd_Click(); };
    DesInsertPVGenCmd.Click += [this] { DesInsertPVGenCmd_Click(); };
    CopyAttTRCmd.Click += [this] { CopyAttTRCmd_Click(); };
    DesMatTuboCbo.Click += [this](int Index) { DesMatTuboCbo_Click(Index); };
    DesMoveAttCmd.Click += [this] { DesMoveAttCmd_Click(); };
    SANAutoNumColChk.Click += [this] { SANAutoNumColChk_Click(); };
    SANAutoNumPVChk.Click += [this] { SANAutoNumPVChk_Click(); };
    SANColIniTxt.Change += [this] { SANColIniTxt_Change(); };
    // capture, collector numbering and DXF export
    SANCaptureCmd.Click += [this] { SANCaptureCmd_Click(); };
    SANNumereCmd.Click += [this] { SANNumereCmd_Click(); };
    SANSaveDXFCmd.Click += [this] { SANSaveDXFCmd_Click(); };

    DesTxt.GotFocus += [this](int Index) { DesTxt_GotFocus(Index); };
    DesTxt.Change += [this](int Index) { DesTxt_Change(Index); };
    DesTxt.KeyPress += [this](int Index, int& KeyAscii) { DesTxt_KeyPress(Index, KeyAscii); };
    DesTxt.LostFocus += [this](int Index) { DesTxt_LostFocus(Index); };
    lblDes.MouseDown += [this](int i, int b, int s, double x, double y) { lblDes_MouseDown(i, b, s, x, y); };
    lblDes.MouseMove += [this](int i, int b, int s, double x, double y) { lblDes_MouseMove(i, b, s, x, y); };
    SSDesenho.MouseMove += [this](int, int, double, double) { SSDesenho_AtualizaRotulos(); };
    lblMouseI.MouseDown += [this](int i, int b, int s, double x, double y) { lblMouseI_MouseDown(i, b, s, x, y); };
    lblMouseI.MouseMove += [this](int i, int b, int s, double x, double y) { lblMouseI_MouseMove(i, b, s, x, y); };
    lblMouseI.MouseUp += [this](int i, int b, int s, double x, double y) { lblMouseI_MouseUp(i, b, s, x, y); };
    lblMouse.MouseDown += [this](int i, int b, int s, double x, double y) { lblMouse_MouseDown(i, b, s, x, y); };
    lblMouse.MouseMove += [this](int i, int b, int s, double x, double y) { lblMouse_MouseMove(i, b, s, x, y); };
    lblMouse.MouseUp += [this](int i, int b, int s, double x, double y) { lblMouse_MouseUp(i, b, s, x, y); };
    CalcCotasUseObjZChk.Click += [this] { CalcCotasUseObjZChk_Click(); };
    PrefScr1.Change += [this](int Index) { PrefScr1_Change(Index); };
    PrefsTxt.Change += [this](int Index) { PrefsTxt_Change(Index); };
    PrefsTxt.KeyPress += [this](int Index, int& KeyAscii) { PrefsTxt_KeyPress(Index, KeyAscii); };

    NotasCmd.Click += [this](int Index) { NotasCmd_Click(Index); };
    PointInfoCmd.Click += [this] { PointInfoCmd_Click(); };

    CONFCmd.Click += [this](int Index) { CONFCmd_Click(Index); };
    CONFChk.Click += [this] { CONFChk_Click(); };
    ConfLimpaCmd.Click += [this] { ConfLimpaCmd_Click(); };
    // Before the verification object's own handler of the same click, which
    // may take the fault out of the list: the zoom reads it first.
    SANERRlst.Click += [this] { SANERRlst_Click(); };

    // quantities
    Data1.SetConnect("Excel 8.0;");
    InsMenu.Click += [this](int Index) { InsMenu_Click(Index); };
    InsMenu.Mouse += [this](const std::string& Texto) { InsMenu_Mouse(Texto); };

    // network tabs: tab change, bulk change, themes, progress text
    SSTabBrivan.Click += [this](int PreviousTab) { SSTabBrivan_Click(PreviousTab); };
    CHSelectCmd.Click += [this] { CHSelectCmd_Click(); };
    CHChangeCmd.Click += [this] { CHChangeCmd_Click(); };
    TEMAPesqCmd.Click += [this] { TEMAPesqCmd_Click(); };
    TEMAPrintCmd.Click += [this] { TEMAPrintCmd_Click(); };
    TEMAFlg.KeyDown += [this](int& KeyCode, int Shift) { TEMAFlg_CopiaTexto(KeyCode, Shift); };
    Progress1.TimerMsg += [this](const std::string& Texto) { Progress1_TimerMsg(Texto); };

    // import
    Data2.SetConnect("Excel 8.0;");
    ImpMenu.Click += [this](int Index) { ImpMenu_Click(Index); };
    ImpMenu.Mouse += [this](const std::string& Descricao) { ImpMenu_Mouse(Descricao); };
    SanRecuperaCmd.Click += [this] { SanRecuperaCmd_Click(); };
}

// The panel's design: captions, tool tips and places in twips.
void SANDes98::ArrumaControles()
{
    Move(0, 0, 2595, 3810);

    // Elements of the arrays that sit on other pages than their first ones.
    lblDes.AddElement(4, SSDesenho.Page(1));
    lblDes.AddElement(5, SSDesenho.Page(1));
    lblDes.AddElement(6, SSDesenho.Page(1));
    lblDes.AddElement(9, SSDesenho.Page(1));
    lblDes.AddElement(13, SSDesenho.Page(1));
    lblDes.AddElement(14, SSDesenho.Page(1));
    lblDes.AddElement(10, SSDesenho.Page(2));
    lblDes.AddElement(11, SSDesenho.Page(2));
    lblDes.AddElement(12, SSDesenho.Page(2));
    lblDes.AddElement(15, SSDesenho.Page(2));
    lblDes.AddElement(16, SSDesenho.Page(2));
    lblDes.AddElement(17, DesGenContribFra);
    lblDes.AddElement(18, SSDesenho.Page(3));
    lblDes.AddElement(21, SSTabBrivan.Page(0));
    for (int i = 22; i <= 25; ++i) lblDes.AddElement(i, SSTabBrivan.Page(4));
    for (int i = 26; i <= 29; ++i) lblDes.AddElement(i, SSPrefs.Page(0));
    for (int i = 4; i <= 6; ++i) {
        DesTxt.AddElement(i, SSDesenho.Page(1));
        lblMouseI.AddElement(i, SSDesenho.Page(1));
    }
    DesTxt.AddElement(7, SSDesenho.Page(2));
    DesTxt.AddElement(8, SSDesenho.Page(2));
    lblMouseI.AddElement(8, SSDesenho.Page(2));
    DesTxtS.AddElement(0, SSDesenho.Page(2));
    DesMatTuboCbo.AddElement(1, SSDesenho.Page(2));
    DesPavmtoCbo.AddElement(1, SSDesenho.Page(1));
    for (int i : {1, 4, 5}) lblMouse.AddElement(i, SSDesenho.Page(1));
    for (int i : {2, 3}) lblMouse.AddElement(i, SSDesenho.Page(2));
    for (int i = 6; i <= 9; ++i) lblMouse.AddElement(i, SSTabBrivan.Page(4));

    // A caption, its field and the field's spinner on one row.
    const auto rotulo = [this](int i, double top, const std::string& caption) {
        lblDes(i).Move(90, top + 30, 1170, 255);
        lblDes(i).SetCaption(caption);
    };
    const auto campo = [](Control& c, double top) { c.Move(1275, top, 975, 285); };
    const auto spin = [](Label& l, double top, const std::string& tag) {
        l.Move(2280, top + 15, 225, 255);
        l.SetCaption("↔");
        l.SetAlignment(vbCenter);
        l.SetTag(tag);
    };
    const auto lista = [](ComboBox& c, double top) {
        c.Move(1275, top - 15, 975, 315);
        c.SetStyle(vbComboDropdownList);
    };
    // A number field with its caption and its spinner, named by the field.
    const auto numero = [&](int i, double top, const std::string& caption) {
        rotulo(i, top, caption);
        campo(DesTxt(i), top);
        spin(lblMouseI(i), top, "DesTxt(" + std::to_string(i) + ")");
    };
    // A list with its caption (lblDes element `r`) and its spinner.
    const auto escolha = [&](int r, ComboBox& c, Label& s, double top, const std::string& caption,
                             const std::string& tag) {
        rotulo(r, top, caption);
        lista(c, top);
        spin(s, top, tag);
    };

    // ---- drawing tab set
    SSDesenho.Move(0, 0, 2595, 3420);
    SSDesenho.SetTabsPerRow(2);
    SSDesenho.SetTabHeight(300);
    SSDesenho.SetTabCaption(0, "PV");
    SSDesenho.SetTabCaption(1, "TR");
    SSDesenho.SetTabCaption(2, "Genérico");
    SSDesenho.SetTabCaption(3, "Ferram.");

    // PV
    escolha(8, DesPVcbo, lblMouse(0), LinhaDoCampo(0), "Tipo:", "DesPVcbo");
    rotulo(7, LinhaDoCampo(1), "Prefixo:");
    campo(DesTxtS(1), LinhaDoCampo(1));
    numero(3, LinhaDoCampo(2), "Número:");
    numero(0, LinhaDoCampo(3), "C.Terreno:");
    numero(1, LinhaDoCampo(4), "C.Soleira:");
    numero(2, LinhaDoCampo(5), "Profundidade:");
    CalcCotasUseObjZChk.Move(90, LinhaDoCampo(6) + 15, 2415, 255);
    CalcCotasUseObjZChk.SetCaption("Usar Z do objeto");
    DesInsertPVcmd.Move(90, LinhaDoCampo(7) + 15, 2415, 375);
    DesInsertPVcmd.SetCaption("Inserir");

    // TR
    escolha(9, DesMatTuboCbo(0), lblMouse(1), LinhaDoCampo(0), "Material:", "DesMatTuboCbo(0)");
    rotulo(13, LinhaDoCampo(1), "Diâmetro:");
    DesTuboDiamlst.Move(1275, LinhaDoCampo(1), 975, 585);
    spin(lblMouse(5), LinhaDoCampo(1), "DesTuboDiamlst");
    escolha(14, DesPavmtoCbo(1), lblMouse(4), LinhaDoCampo(3), "Pavimento:", "DesPavmtoCbo(1)");
    numero(4, LinhaDoCampo(4), "Comprimento:");
    numero(5, LinhaDoCampo(5), "Declividade:");
    numero(6, LinhaDoCampo(6), "Altura:");
    DesInsertTRcmd(0).Move(90, LinhaDoCampo(7) + 15, 780, 375);
    DesInsertTRcmd(0).SetCaption("Param.");
    DesInsertTRcmd(1).Move(900, LinhaDoCampo(7) + 15, 780, 375);
    DesInsertTRcmd(1).SetCaption("&Inserir");
    DesInsertTRcmd(1).SetEnabled(false);
    CopyAttTRCmd.Move(1710, LinhaDoCampo(7) + 15, 795, 375);
    CopyAttTRCmd.SetCaption("Copiar");

    // Generic network: the PV above, the reach below, on rows of 285 twips.
    const auto gen = [](int r) { return 705.0 + r * 285; };
    rotulo(11, gen(0), "Número:");
    campo(DesTxt(8), gen(0));
    spin(lblMouseI(8), gen(0), "DesTxt(8)");
    rotulo(12, gen(1), "Prefixo:");
    campo(DesTxtS(0), gen(1));
    rotulo(10, gen(2), "C.Terreno:");
    campo(DesTxt(7), gen(2));
    DesGenChk.Move(90, gen(3) + 15, 2415, 255);
    DesGenChk.SetCaption("Incremento Automático");
    DesInsertPVGenCmd.Move(90, gen(4), 2415, 315);
    DesInsertPVGenCmd.SetCaption("Inserir PV");
    escolha(15, DesMatTuboCbo(1), lblMouse(2), gen(5) + 75, "Material:", "DesMatTuboCbo(1)");
    escolha(16, DesPavmtoCbo(0), lblMouse(3), gen(6) + 75, "Pavimento:", "DesPavmtoCbo(0)");
    DesGenContribFra.Move(90, gen(7) + 75, 2415, 255);
    DesGenContribFra.SetBorderStyle(0);
    lblDes(17).Move(0, 0, 705, 255);
    lblDes(17).SetCaption("Contrib.:");
    // A smaller type lets the three choices share the row with their caption.
    const char* contribuicoes[] = {"NÃO", "SIM", "UNI"};
    const double larguras[] = {600, 555, 555};
    for (int i = 0, left = 720; i < 3; left += static_cast<int>(larguras[i++])) {
        DesGenContribOpt(i).Move(left, 0, larguras[i], 255);
        DesGenContribOpt(i).SetCaption(contribuicoes[i]);
        DesGenContribOpt(i).SetFontSize(7);
    }
    DesInsertTRGenCmd.Move(90, gen(8) + 75, 2415, 315);
    DesInsertTRGenCmd.SetCaption("Inserir Trecho");

    // Tools
    DesMoveAttCmd.Move(90, LinhaDoCampo(0), 2415, 375);
    DesMoveAttCmd.SetCaption("Mover Texto");
    DesMoveAttCmd.SetToolTipText("Utilize esta ferramenta para mover os textos de PV's e de Trechos.");
    PointInfoCmd.Move(90, LinhaDoCampo(1) + 105, 2415, 375);
    PointInfoCmd.SetCaption("PointInfo");
    PointInfoCmd.SetToolTipText("Utilize este botão para obter os dados de um ponto topográfico no desenho.");
    lblDes(18).Move(90, LinhaDoCampo(3) - 45, 1080, 255);
    lblDes(18).SetCaption("Notas:");
    const char* carimbos[] = {"NOTASDATA", "NOTASHORA"};
    for (int i = 0; i < 2; ++i) {
        NotasCmd(i).Move(1830 + i * 345, LinhaDoCampo(3) - 120, 330, 330);
        NotasCmd(i).SetStyle(1);
        NotasCmd(i).SetPicture(Figura(carimbos[i]));
    }
    Notas.Move(90, LinhaDoCampo(3) + 240, 2415, 3330 - LinhaDoCampo(3) - 240);
    Notas.SetMultiLine(true);
    Notas.SetScrollBars(vbVertical);

    // Captions lie on their page's own background.
    for (Label& l : lblDes) l.SetBackStyle(0);

    DesEtapaCbo.Move(0, 3480, 2595, 315);
    DesEtapaCbo.SetStyle(vbComboDropdownList);

    // ---- network tab set, out of sight until chosen
    SSTabBrivan.Move(kFora, 0, 2595, 3420);
    SSTabBrivan.SetTabsPerRow(2);
    SSTabBrivan.SetTabHeight(255);
    const char* abas[] = {"Exportar", "Importar", "Conferir", "Insumos", "Alterar", "Temas"};
    for (int i = 0; i < 6; ++i) SSTabBrivan.SetTabCaption(i, abas[i]);

    // Capture: its design is the tab's starting state, before any capture.
    SANCaptureCmd.Move(90, 855, 2415, 345);
    SANCaptureCmd.SetCaption("Capturar Dados da Rede Genérica");
    SANCaptureCmd.SetFontSize(7);
    SANAutoNumColChk.Move(90, 1275, 1455, 255);
    SANAutoNumColChk.SetCaption("Coletor inicial:");
    SANAutoNumColChk.SetToolTipText("Numerar Coletores Automaticamente");
    SANColIniTxt.Move(1590, 1260, 915, 285);
    SANColIniTxt.SetToolTipText("Número primeiro Coletor");
    SANAutoNumPVChk.Move(90, 1590, 1455, 255);
    SANAutoNumPVChk.SetCaption("   PV inicial:");
    SANAutoNumPVChk.SetToolTipText("Numerar PVs Automaticamente");
    SANPVIniTxt.Move(1590, 1575, 915, 285);
    SANPVIniTxt.SetToolTipText("Número do primeiro PV");
    lblDes(21).Move(90, 1920, 1455, 255);
    lblDes(21).SetCaption("Prefixo para PVs:");
    SANPrefixtxt.Move(1590, 1890, 915, 285);
    SANPrefixtxt.SetToolTipText("Prefixo para PV renumerado");
    for (CheckBox* c : {&SANAutoNumColChk, &SANAutoNumPVChk}) c->SetEnabled(false);
    for (TextBox* t : {&SANColIniTxt, &SANPVIniTxt, &SANPrefixtxt}) {
        t->SetEnabled(false);
        t->SetBackColor(vbButtonFace);
    }
    lblDes(21).SetEnabled(false);
    SANColIniTxt.SetText("001");
    SANPVIniTxt.SetText("001");
    frmColetor.Move(90, 2220, 2415, 660);
    frmColetor.SetCaption("Numeração de Coletores:");
    frmColetor.SetEnabled(false);
    SANColetorLbl.Move(120, 285, 555, 285);
    SANColetorLbl.SetCaption("001");
    SANColetorLbl.SetAlignment(vbCenter);
    SANColetorLbl.SetBorderStyle(1);
    SANColetorLbl.SetEnabled(false);
    SANNumereCmd.Move(735, 240, 1590, 345);
    SANNumereCmd.SetCaption("Capture PV inicial");
    SANNumereCmd.SetEnabled(false);
    SANSaveDXFCmd.Move(90, 2955, 2415, 345);
    SANSaveDXFCmd.SetCaption("Salvar DXF");
    SANSaveDXFCmd.SetEnabled(false);

    // Import
    ImpMenu.Move(285, 885, 2025, 1605);
    IMPLbl.Move(90, 2535, 2415, 375);
    IMPLbl.SetAlignment(vbCenter);
    SanRecuperaCmd.Move(90, 2955, 2415, 345);
    SanRecuperaCmd.SetCaption("Recupera Des. Brivan");

    // Verification: the option list and the fault list share one place.
    CONFChk.Move(90, 885, 2415, 255);
    CONFChk.SetCaption("Generico");
    const char* conf[] = {"CONFINICIAR", "CONFEXECUTAR"};
    const char* confDicas[] = {"Iniciar", "Executar"};
    for (int i = 0; i < 2; ++i) {
        CONFCmd(i).Move(90 + i * 555, 1185, 495, 375);
        CONFCmd(i).SetStyle(1);
        CONFCmd(i).SetPicture(Figura(conf[i]));
        CONFCmd(i).SetToolTipText(confDicas[i]);
    }
    CONFCmd(1).SetEnabled(false);
    ConfLimpaCmd.Move(1590, 1185, 915, 375);
    ConfLimpaCmd.SetCaption("Limpar");
    SANERROptlst.Move(90, 1650, 2415, 1680);
    SANERROptlst.SetMultiSelect(vbMultiSelectSimple);
    SANERRlst.Move(90, 1650, 2415, 1680);
    SANERRlst.SetVisible(false);

    // Quantities
    InsMenu.Move(285, 885, 2025, 1605);

    // Bulk change
    CHchk.Move(90, 885, 2415, 255);
    CHchk.SetCaption("Filtrar");
    const char* chRotulos[] = {"Material:", "Pavimento:", "Contribuição:", "Etapa:"};
    ComboBox* chListas[] = {&CHMatCbo, &CHPavCbo, &CHConCbo, &CHEtCbo};
    const char* chTags[] = {"CHMatCbo", "CHPavCbo", "CHConCbo", "ChEtCbo"};
    for (int k = 0; k < 4; ++k) escolha(22 + k, *chListas[k], lblMouse(9 - k), 1230 + k * 330, chRotulos[k], chTags[k]);
    CHSelectCmd.Move(90, 2580, 1170, 375);
    CHSelectCmd.SetCaption("Selecionar");
    CHChangeCmd.Move(1335, 2580, 1170, 375);
    CHChangeCmd.SetCaption("Alterar");
    CHChangeCmd.SetEnabled(false);
    CHlbl.Move(90, 3060, 2415, 255);
    CHlbl.SetAlignment(vbCenter);

    // Themes
    TEMACbo.Move(90, 885, 1500, 315);
    TEMACbo.SetStyle(vbComboDropdownList);
    TEMAPesqCmd.Move(1650, 870, 855, 345);
    TEMAPesqCmd.SetCaption("Pesquisar");
    TEMAFlg.Move(90, 1305, 2415, 1560);
    TEMAPrintCmd.Move(90, 2955, 2415, 345);
    TEMAPrintCmd.SetCaption("Marcar no Desenho");
    TEMAPrintCmd.SetEnabled(false);

    Progress1.Move(kFora, 3480, 2595, 255);

    // ---- preferences
    SSPrefs.Move(kFora, 0, 2595, 3810);
    SSPrefs.SetTabsPerRow(1);
    SSPrefs.SetTabHeight(300);
    SSPrefs.SetTabCaption(0, "Preferências");
    // A scroll bar under its caption.
    const auto barra = [this](int i, double top, const std::string& caption, int Min, int Max, int Passo, int Salto) {
        lblDes(26 + i).Move(90, top, 2415, 255);
        lblDes(26 + i).SetCaption(caption);
        PrefScr1(i).Move(90, top + 270, 2415, 255);
        PrefScr1(i).SetMin(Min);
        PrefScr1(i).SetMax(Max);
        PrefScr1(i).SetSmallChange(Passo);
        PrefScr1(i).SetLargeChange(Salto);
    };
    barra(0, 480, "Altura da vista no ponto:", 0, 10000, 10, 100);
    barra(1, 1125, "Escala do zoom (x 10):", 1, 10, 1, 2);
    lblDes(28).Move(90, 1830, 1500, 255);
    lblDes(28).SetCaption("Tolerância cota:");
    lblDes(29).Move(90, 2160, 1500, 255);
    lblDes(29).SetCaption("Tolerância comp.:");
    PrefsTxt(0).Move(1620, 1800, 885, 285);
    PrefsTxt(1).Move(1620, 2130, 885, 285);
    Label1.Move(90, 2610, 2415, 495);
    Label1.SetCaption("Válido apenas para esta seção de trabalho.");
    Label1.SetAlignment(vbCenter);
    for (Label* l : {&IMPLbl, &CHlbl, &Label1}) l->SetBackStyle(0);
    PrefScr1(0).SetValue(AcadZoomCenter_);
    PrefScr1(1).SetValue(static_cast<int>(std::lround(AcadZoomScale_ * 10)));
    PrefsTxt(0).SetText(TextoTolerancia(TolVerifCota_));
    PrefsTxt(1).SetText(TextoTolerancia(TolVerifComp_));
}

// ---------------------------------------------------------------- start

void SANDes98::Start(bool Recarregar)
{
    if (Iniciado_ && !Recarregar) return;
    if (!clsSANDb().LoadDb()) return;
    Iniciado_ = true;

    DesPVcbo.Clear();
    for (const PVBlockRec& t : gPVBlocos) DesPVcbo.AddItem(t.Abrev);

    DesMatTuboCbo(0).Clear();
    DesMatTuboCbo(1).Clear();
    CHMatCbo.Clear();
    CHMatCbo.AddItem("Não usar");
    for (const MaterialRec& m : gMateriais) {
        CHMatCbo.AddItem(m.Material);
        DesMatTuboCbo(0).AddItem(m.Material);
        DesMatTuboCbo(1).AddItem(m.Material);
    }

    DesEtapaCbo.Clear();
    CHEtCbo.Clear();
    CHEtCbo.AddItem("Não usar");
    for (const TRLayerParamRec& e : gEtapas) {
        CHEtCbo.AddItem(std::to_string(e.Etapa));
        DesEtapaCbo.AddItem(e.Descricao);
    }

    DesPavmtoCbo(0).Clear();
    DesPavmtoCbo(1).Clear();
    CHPavCbo.Clear();
    CHPavCbo.AddItem("Não usar");
    for (const PavimentoRec& p : gPavimentos) {
        DesPavmtoCbo(0).AddItem(p.Nome);
        DesPavmtoCbo(1).AddItem(p.Nome);
        CHPavCbo.AddItem(p.Nome);
    }

    PrimeiroItem(DesPVcbo);
    PrimeiroItem(DesMatTuboCbo(0));
    PrimeiroItem(DesMatTuboCbo(1));
    DesMatTuboCbo_Click(0);
    PrimeiroItem(DesEtapaCbo);
    PrimeiroItem(DesPavmtoCbo(0));
    PrimeiroItem(DesPavmtoCbo(1));

    CHConCbo.Clear();
    for (const char* c : {"Não usar", "SIM", "NAO", "UNI"}) CHConCbo.AddItem(c);
    for (ComboBox* c : {&CHPavCbo, &CHEtCbo, &CHConCbo, &CHMatCbo}) PrimeiroItem(*c);

    Screen.SetMousePointer(vbDefault);

    TEMACbo.Clear();
    for (const char* t : {"Etapa", "Material", "Pavimento", "Contribuição"}) TEMACbo.AddItem(t);
    PrimeiroItem(TEMACbo);

    InsMenu.NewMenu("Insumos", 2, 2, 107, 135, Figura("INSMENUFLAT"), Figura("INSMENUMOVE"), Figura("INSMENUCLICK"));
    InsMenu.AddBotao(1, "QTTs", "Inserir Quantitativos no desenho", "xx", "xx", 1, 0, 0, 0);
    InsMenu.AddBotao(2, "Plan", "Construir Planilha de Insumos", "xx", "xx", 1, 1, 0, 0);
    ImpMenu.NewMenu("Importar", 3, 6, 107, 135, Figura("IMPMENUFLAT"), Figura("IMPMENUMOVE"), Figura("IMPMENUCLICK"));
    ImpMenu.AddBotao(1, "OPEN", "Abrir Tabela", "xx", "xx", 0, 1, 2, 2);
    ImpMenu.AddBotao(2, "DRAW", "Desenhar", "xx", "xx", 2, 0, 1, 0);
    ImpMenu.AddBotao(3, "DRAW", "Planilha Final", "xx", "xx", 4, 0, 1, 0);
    ImpMenu.AddBotao(4, "DRAW", "Editar Tabela", "xx", "xx", 4, 2, 1, 0);

    CreateSANDes();
}

// The decimals are copied once: a later change of a setting reaches the
// drawing object at the next full start.
void SANDes98::CreateSANDes()
{
    Des_ = std::make_unique<clsSANDes>();
    Des_->gPRECCOTA = PRECCOTA_;
    Des_->gPRECDECL = PRECDECL_;
    Des_->gPRECDIST = PRECDIST_;
    Des_->gPRECOORD = PRECOORD_;
}

// ---------------------------------------------------------------- quantities

// The quantity table of the drawing's network at a point the user picks.
void SANDes98::InsertQuantities()
{
    Protegido([&] {
        clsSANQtt qtt;
        std::optional<Ponto> ponto;
        if (ConectaAcad("", "")) ponto = GetPonto(std::nullopt, "Ponto de inserção: ");
        if (!ponto) {
            Atencao("Cancelado");
            return;
        }
        for (const char* b : {"RQ-A", "RQ-E", "RQ-I", "RQ-T"}) DefineBlocoSAN(b);
        qtt.gAcadZoomCenter = AcadZoomCenter_;
        qtt.gPRECCOTA = PRECCOTA_;
        qtt.gPRECDIST = PRECDIST_;
        qtt.cProgress = &Progress1;
        bool cancelado = false;
        qtt.QTTMateriais(cancelado);
        if (!cancelado) qtt.QTTPrint(*ponto);
    });
}

void SANDes98::InsMenu_Click(int Index)
{
    InsMenu.MenuOff = true;
    if (Index == 1) {
        InsertQuantities();
    } else {
        Protegido([&] {
            if (!ConectaAcad()) return;
            clsSANQtt qtt;
            qtt.cProgress = &Progress1;
            qtt.cDataControl = &Data1;
            qtt.gAcadZoomCenter = AcadZoomCenter_;
            qtt.gOrcaXLS = (std::filesystem::path(PastaPrograma()) / "DadosOrca.xls").string();
            qtt.Insumos();
        });
    }
    InsMenu.MenuOff = false;
}

void SANDes98::InsMenu_Mouse(const std::string&) {}

// ---------------------------------------------------------------- host

const forms::Settings<SANDes98> SANDes98::kSettings = {
    {"PRECCOTA", &SANDes98::PRECCOTA_, 3},
    {"PRECDIST", &SANDes98::PRECDIST_, 2},
    {"PRECDECL", &SANDes98::PRECDECL_, 6},
    {"PRECOORD", &SANDes98::PRECOORD_, 4},
    {"Interface", &SANDes98::Interface_, 0},
    {"SeparadorDecimal", &SANDes98::SeparadorDecimal_, 1},
    {"AcadZoomScale", &SANDes98::AcadZoomScale_, 0.4},
    {"AcadZoomCenter", &SANDes98::AcadZoomCenter_, 400},
    {"TolVerifCota", &SANDes98::TolVerifCota_, 0.01},
    {"TolVerifComp", &SANDes98::TolVerifComp_, 0.1},
};

// The preference controls show the settings just read; a value beyond a
// scroll bar's range is shown at its end.
void SANDes98::MostraPreferencias()
{
    const auto dentro = [](HScrollBar& s, long long v) {
        return static_cast<int>(std::clamp<long long>(v, s.Min(), s.Max()));
    };
    PrefScr1(0).SetValue(dentro(PrefScr1(0), AcadZoomCenter_));
    PrefScr1(1).SetValue(dentro(PrefScr1(1), std::llround(AcadZoomScale_ * 10)));
    PrefsTxt(0).SetText(TextoTolerancia(TolVerifCota_));
    PrefsTxt(1).SetText(TextoTolerancia(TolVerifComp_));
}

// Painting shows the chosen tab set again and the theme grid's columns. The
// host paints far more often than a person acts, so a paint only moves the
// tab sets back (the fields keep what is being typed into them), and changes
// nothing that is already so: a paint must not cause another.
void SANDes98::UserControl_Paint()
{
    MostraConjunto(Interface_);
    if (TEMAFlg.FormatString() != "|Tipo|Qtt") TEMAFlg.SetFormatString("|Tipo|Qtt");
    const double larguras[] = {275, 1300, 400};
    for (int c = 0; c < 3; ++c)
        if (std::fabs(TEMAFlg.ColWidth(c) - larguras[c]) >= Screen.TwipsPerPixelX())
            TEMAFlg.SetColWidth(c, larguras[c]);
}

// The panel keeps its size whatever its host gives it.
void SANDes98::UserControl_Resize() { Size(2595, 3810); }

// ---------------------------------------------------------------- properties

void SANDes98::SetPRECCOTA(int v)
{
    PRECCOTA_ = v;
    PropertyChanged("PRECCOTA");
}

void SANDes98::SetPRECDIST(int v)
{
    PRECDIST_ = v;
    PropertyChanged("PRECDIST");
}

void SANDes98::SetPRECDECL(int v)
{
    PRECDECL_ = v;
    PropertyChanged("PRECDECL");
}

void SANDes98::SetPRECOORD(int v)
{
    PRECOORD_ = v;
    PropertyChanged("PRECOORD");
}

void SANDes98::SetSeparadorDecimal(long v)
{
    SeparadorDecimal_ = v;
    PropertyChanged("SeparadorDecimal");
}

void SANDes98::SetAcadZoomScale(double v)
{
    AcadZoomScale_ = v;
    PropertyChanged("AcadZoomScale");
}

void SANDes98::SetAcadZoomCenter(int v)
{
    AcadZoomCenter_ = v;
    PropertyChanged("AcadZoomCenter");
}

void SANDes98::SetTolVerifCota(double v)
{
    TolVerifCota_ = v;
    PropertyChanged("TolVerifCota");
}

void SANDes98::SetTolVerifComp(double v)
{
    TolVerifComp_ = v;
    PropertyChanged("TolVerifComp");
}

void SANDes98::SetInterface(int v)
{
    Interface_ = v;
    MostraConjunto(v);
    if (v == 2) {
        PrefsTxt(0).SetText(TextoTolerancia(TolVerifCota_));
        PrefsTxt(1).SetText(TextoTolerancia(TolVerifComp_));
    }
    PropertyChanged("Interface");
}

// The tab sets not chosen wait beyond the panel's right edge; another value
// moves nothing.
void SANDes98::MostraConjunto(int v)
{
    const auto poe = [](Control& c, double left) {
        if (c.Left() != left) c.SetLeft(left);
    };
    Control* mostrados[3][2] = {{&SSDesenho, &DesEtapaCbo}, {&SSTabBrivan, &Progress1}, {&SSPrefs, nullptr}};
    if (v < 0 || v > 2) return;
    for (int k = 0; k < 3; ++k)
        for (Control* c : mostrados[k])
            if (c) poe(*c, k == v ? 0 : kFora);
}

// ---------------------------------------------------------------- drawing commands

namespace {

// Commands need the catalogue and the drawing object of a started panel.
bool Pronto(const std::unique_ptr<clsSANDes>& Des)
{
    if (!Des) Atencao("O catálogo de esgoto não foi carregado: escolha de novo a aba de esgoto.");
    return Des != nullptr;
}

// An elevation of a designed PV goes into its block as it stands: empty, or
// a number. A text that is not a number is told; the command then does nothing.
bool CampoNumerico(const std::string& Texto, const std::string& Campo, const std::string& Objeto)
{
    if (Texto.empty() || NumeroEscrito(Texto)) return true;
    Atencao(Objeto + " não foi inserido: \"" + Texto + "\" no campo " + Campo + " não é um número.");
    return false;
}

}  // namespace

void SANDes98::DesInsertPVcmd_Click()
{
    Protegido([&] {
        if (!Pronto(Des_) || !ConectaAcad("", "")) return;
        const int tipo = DesPVcbo.ListIndex();
        const std::string prefixo = DesTxtS(1).Text();
        const std::string numero = DesTxt(3).Text();
        const std::string ct = DesTxt(0).Text(), cs = DesTxt(1).Text(), cp = DesTxt(2).Text();
        const int etapa = EtapaDoItem(DesEtapaCbo.ListIndex());
        if (tipo < 0 || tipo >= static_cast<int>(gPVBlocos.size())) {
            Atencao("O PV não foi inserido: escolha o tipo do PV.");
            return;
        }
        if (!CampoNumerico(ct, "C.Terreno", "O PV") || !CampoNumerico(cs, "C.Soleira", "O PV") ||
            !CampoNumerico(cp, "Profundidade", "O PV"))
            return;
        const std::string bloco = gPVBlocos[static_cast<std::size_t>(tipo)].Bloco;

        // A computed point places one manhole only; the next one is asked for.
        const std::optional<Ponto> ponto = UsarPontoCalculado ? PontoCalculado : std::nullopt;
        const acad::BlockReference* pv =
            Des_->DrawPV(ponto, std::nullopt, bloco, prefixo + numero, ct, cs, cp, etapa, false);
        if (pv && ponto) UsarPontoCalculado = false;
    });
}

bool SANDes98::EscolhePV(const std::string& Prompt, std::int32_t Excluido, std::int32_t& Id, double& CS)
{
    const acad::BlockReference* excluido = BlocoDoId(Excluido);
    const std::string montante = excluido ? excluido->Handle() : "";
    for (;;) {
        DoEvents();
        Ponto ponto;
        bool falhou = true;
        acad::Entity* e = AtivaAcad(Prompt, 0, ponto, falhou, "");
        if (falhou || !e) return false;
        if (!montante.empty() && e->Handle() == montante) {
            ExibeMensagem(0, "", "Selecione o PV de Jusante!");
            continue;
        }
        auto* b = acad::As<acad::BlockReference>(e);
        if (!b || b->ObjectName() != "AcDbBlockReference" || b->Name().compare(0, 4, "E-PV") != 0) continue;
        // A generic manhole has no invert: the reach cannot be computed from it.
        const std::optional<std::string> cs = GetAtributo("CS", b);
        if (!cs) {
            Atencao("O bloco " + b->Name() + " não tem a cota de soleira (CS): selecione um PV projetado.");
            continue;
        }
        // An empty invert is 0, as the reach reads it when it is drawn.
        if (!IsNumero(*cs)) {
            Atencao("A cota de soleira (CS) \"" + *cs + "\" do PV " + GetAtributo("NUMERO", b).value_or("") +
                    " não é um número: corrija o PV ou selecione outro.");
            continue;
        }
        CS = StrToDbl(*cs);
        Id = b->ObjectID();
        return true;
    }
}

void SANDes98::DesInsertTRcmd_Click(int Index)
{
    Protegido([&] {
        if (!Pronto(Des_) || !ConectaAcad("", "")) return;
        DefineBlocoSAN("E-TRSAN");
        if (Index == 0) {
            DesTxt(4).SetText("0");
            DesTxt(5).SetText("0");
            DesTxt(6).SetText("0");
            // The fields are zero now: what a half-done pick leaves cannot be inserted.
            std::int32_t id1 = 0, id2 = 0;
            double cs1 = 0, cs2 = 0;
            if (!EscolhePV("Selecione PV 1: ", 0, id1, cs1) || !EscolhePV("Selecione PV 2: ", id1, id2, cs2)) {
                DesInsertTRcmd(1).SetEnabled(false);
                return;
            }
            // The upstream manhole is the one with the higher invert.
            if (cs2 > cs1) {
                std::swap(id1, id2);
                std::swap(cs1, cs2);
            }
            PV1Obj = id1;
            PV2Obj = id2;
            CS1 = cs1;
            CS2 = cs2;
            acad::BlockReference* pv1 = BlocoDoId(PV1Obj);
            acad::BlockReference* pv2 = BlocoDoId(PV2Obj);
            Comprimento = Distancia(pv1->InsertionPoint(), pv2->InsertionPoint());
            DesTxt(4).SetText(FormatNum(Comprimento, PRECDIST_));
            DesTxt(5).SetText(Comprimento != 0 ? FormatNum(std::fabs(CS1 - CS2) / Comprimento, PRECDECL_) : "0");
            DesInsertTRcmd(1).SetEnabled(true);
            TrechoNome = GetAtributo("NUMERO", pv1).value_or("") + "-" + GetAtributo("NUMERO", pv2).value_or("");
            return;
        }

        if (DesPavmtoCbo(1).Text().empty()) {
            Atencao("Obrigatório o preenchimento do campo Pavimento!");
            return;
        }
        const std::string diametro = DesTuboDiamlst.List(DesTuboDiamlst.ListIndex());
        const std::string comprimento = DesTxt(4).Text(), declividade = DesTxt(5).Text();
        const std::string material = DesMatTuboCbo(0).List(DesMatTuboCbo(0).ListIndex());
        const int etapa = EtapaDoItem(DesEtapaCbo.ListIndex());
        const std::string pavimento = DesPavmtoCbo(1).Text();
        if (diametro.empty()) {
            Atencao("O trecho não foi inserido: escolha o diâmetro.");
            return;
        }
        acad::BlockReference* pv1 = BlocoDoId(PV1Obj);
        acad::BlockReference* pv2 = BlocoDoId(PV2Obj);
        if (!pv1 || !pv2) {
            Atencao("Os PVs escolhidos com \"Param.\" não estão mais neste desenho: escolha-os de novo.");
            DesInsertTRcmd(1).SetEnabled(false);
            return;
        }
        std::string codigo;
        // A reach goes in once per pick of its manholes; one that could not be
        // drawn may be tried again after its fields are corrected.
        if (Des_->DrawTR(pv1, pv2, diametro, comprimento, declividade, material, etapa, TrechoNome, pavimento, codigo))
            DesInsertTRcmd(1).SetEnabled(false);
    });
}

void SANDes98::DesInsertTRGenCmd_Click()
{
    if (DesPavmtoCbo(0).Text().empty()) {
        Atencao("Obrigatório o preenchimento do campo Pavimento!");
        return;
    }
    std::string contribuicao;
    for (int i = 0; i < 3; ++i)
        if (DesGenContribOpt(i).Value()) contribuicao = DesGenContribOpt(i).Caption();
    Protegido([&] {
        if (!Pronto(Des_) || !ConectaAcad("", "")) return;
        Des_->InsertTRGen(EtapaDoItem(DesEtapaCbo.ListIndex()), contribuicao, DesPavmtoCbo(0).Text(),
                          DesMatTuboCbo(1).Text());
    });
}

void SANDes98::DesInsertPVGenCmd_Click()
{
    Protegido([&] {
        if (!Pronto(Des_) || !ConectaAcad("", "")) return;
        const std::string nome = DesTxtS(0).Text() + DesTxt(8).Text();
        const std::string cota = DesTxt(7).Text();
        const int etapa = EtapaDoItem(DesEtapaCbo.ListIndex());
        const acad::BlockReference* pv = nullptr;
        if (UsarPontoCalculado) {
            pv = Des_->InsertPVGen(PontoCalculado, nome, cota, etapa);
            UsarPontoCalculado = false;
        } else {
            pv = Des_->InsertPVGen(std::nullopt, nome, cota, etapa);
        }
        // The next number follows only a PV that went in.
        if (!pv || DesGenChk.Value() != vbChecked) return;
        const std::string numero = DesTxt(8).Text();
        const std::optional<int> n = Inteiro16(numero);
        if (n && *n < 32767)
            DesTxt(8).SetText(std::to_string(*n + 1));
        else if (n)
            Atencao("Incremento Automático: depois de 32767 não há número seguinte; o campo Número não foi alterado.");
        else
            Atencao("Incremento Automático: \"" + numero +
                    "\" não é um número inteiro; o campo Número não foi alterado.");
    });
}

void SANDes98::CopyAttTRCmd_Click()
{
    Protegido([&] {
        if (!Pronto(Des_) || !ConectaAcad("", "")) return;
        Ponto ponto;
        bool falhou = true;
        acad::Entity* e = AtivaAcad("Selecione TR:", 0, ponto, falhou, "");
        if (falhou || !e) return;
        // Any reach block gives what it carries: a designed one all of it, a
        // generic one ("E-TRCGEN") its pavement and its name.
        auto* b = acad::As<acad::BlockReference>(e);
        const std::vector<acad::AttributeReference*> atributos =
            b ? b->GetAttributes() : std::vector<acad::AttributeReference*>();
        const auto DoTrecho = [](const acad::AttributeReference* a) {
            const std::string tag = a->TagString();
            return tag == "DD" || tag == "MAT" || tag == "DEC" || tag == "PAVMTO" || tag == "TRECHO";
        };
        if (std::none_of(atributos.begin(), atributos.end(), DoTrecho)) {
            Atencao("O objeto selecionado não é um trecho: nada foi copiado.");
            return;
        }
        std::string diametro, material, pavimento;
        for (acad::AttributeReference* a : atributos) {
            const std::string tag = a->TagString();
            const std::string valor = a->TextString();
            if (tag == "DD") {
                // Diameter "-" length; without the hyphen the whole text is the diameter.
                diametro = Apara(valor.substr(0, valor.find('-')));
            } else if (tag == "MAT") {
                material = Apara(valor);
            } else if (tag == "DEC") {
                CampoComFoco = 5;
                DesTxt(5).SetText(Apara(valor));
            } else if (tag == "PAVMTO") {
                pavimento = Apara(valor);
            } else if (tag == "TRECHO") {
                TrechoNome = Apara(valor);
            }
        }
        for (int i = 0; i < DesMatTuboCbo(0).ListCount(); ++i)
            if (DesMatTuboCbo(0).List(i) == material) DesMatTuboCbo(0).SetListIndex(i);
        for (int i = 0; i < DesTuboDiamlst.ListCount(); ++i)
            if (DesTuboDiamlst.List(i) == diametro) DesTuboDiamlst.SetListIndex(i);
        for (int i = 0; i < DesPavmtoCbo(1).ListCount(); ++i)
            if (DesPavmtoCbo(1).List(i) == pavimento) DesPavmtoCbo(1).SetListIndex(i);
    });
}

// The diameters of the designed reach's material.
void SANDes98::DesMatTuboCbo_Click(int Index)
{
    if (Index != 0) return;
    DesTuboDiamlst.Clear();
    const int m = DesMatTuboCbo(0).ListIndex();
    if (m < 0 || m >= static_cast<int>(gMateriais.size())) return;
    for (const DiamDegrauRec& d : gMateriais[static_cast<std::size_t>(m)].Diametros) DesTuboDiamlst.AddItem(d.Diametro);
    PrimeiroItem(DesTuboDiamlst);
}

void SANDes98::DesMoveAttCmd_Click()
{
    Protegido([&] {
        if (Pronto(Des_) && ConectaAcad("", "")) Des_->MoverAtt();
    });
}

void SANDes98::SANAutoNumColChk_Click()
{
    const bool marcado = SANAutoNumColChk.Value() == vbChecked;
    SANColIniTxt.SetEnabled(marcado);
    SANColIniTxt.SetBackColor(marcado ? vbWindowBackground : vbButtonFace);
}

void SANDes98::SANAutoNumPVChk_Click()
{
    const bool marcado = SANAutoNumPVChk.Value() == vbChecked;
    for (TextBox* t : {&SANPVIniTxt, &SANPrefixtxt}) {
        t->SetEnabled(marcado);
        t->SetBackColor(marcado ? vbWindowBackground : vbButtonFace);
    }
    lblDes(21).SetEnabled(marcado);
}

void SANDes98::SANColIniTxt_Change() { SANColetorLbl.SetCaption(Formata000(SANColIniTxt.Text())); }

// ---------------------------------------------------------------- numeric fields

void SANDes98::DesTxt_GotFocus(int Index)
{
    CampoComFoco = Index;
    DesTxt(Index).SetSelStart(0);
    DesTxt(Index).SetSelLength(Caracteres(DesTxt(Index).Text()));
}

// Only the field being edited recomputes the others: the fields it writes
// change without cascading.
void SANDes98::DesTxt_Change(int Index)
{
    if (Index != CampoComFoco || !Des_) return;
    if (Index >= 0 && Index <= 2) {
        // A manhole: ground, invert or depth moves the two others.
        using Regra = bool (clsSANDes::*)(int, std::string&, std::string&, std::string&);
        const Regra regra = Index == 0   ? &clsSANDes::Val_PVCtTer
                            : Index == 1 ? &clsSANDes::Val_PVCtSol
                                         : &clsSANDes::Val_PVCtPrf;
        std::string t[3] = {DesTxt(0).Text(), DesTxt(1).Text(), DesTxt(2).Text()};
        if (((*Des_).*regra)(PRECCOTA_, t[0], t[1], t[2]))
            for (int k = 0; k < 3; ++k)
                if (k != Index) DesTxt(k).SetText(t[k]);
        return;
    }
    // A reach: length or drop gives the slope, the slope gives the drop.
    const std::string comprimento = DesTxt(4).Text();
    std::string declividade = DesTxt(5).Text(), altura = DesTxt(6).Text();
    if (Index == 4 || Index == 6) {
        if (Des_->Val_TRAltr(PRECDECL_, CS1, CS2, comprimento, declividade, altura)) DesTxt(5).SetText(declividade);
    } else if (Index == 5) {
        if (Des_->Val_TRDecl(PRECCOTA_, CS1, CS2, comprimento, declividade, altura)) DesTxt(6).SetText(altura);
    }
}

namespace {

// Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z: the editing shortcuts, which the
// numeric fields let through.
constexpr int kCtrlV = 22;
bool Atalho(int KeyAscii)
{
    return KeyAscii == 1 || KeyAscii == 3 || KeyAscii == kCtrlV || KeyAscii == 24 || KeyAscii == 26;
}

// A key typed into a drawing field: the key it becomes, 0 when refused.
// The PV number (field 3) is a name and takes any key.
int TeclaDeDesenho(int Index, int KeyAscii)
{
    if (KeyAscii == ',') return Index == 3 ? ',' : '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return KeyAscii;
    return Index == 3 ? KeyAscii : 0;
}

// A key typed into a tolerance field: "," is the decimal separator there.
int TeclaDeTolerancia(int KeyAscii)
{
    if (KeyAscii == ',' || (KeyAscii >= '0' && KeyAscii <= '9')) return KeyAscii;
    return KeyAscii == '.' ? ',' : 0;
}

// The clipboard's text as it would have gone in typed key by key: each
// character through `Tecla`, line ends and other control characters left out.
std::string ColaComoDigitado(const std::function<int(int)>& Tecla)
{
    const std::string texto = os::Clipboard::GetText();
    std::string colado;
    for (std::size_t i = 0; i < texto.size();) {
        const unsigned char c = static_cast<unsigned char>(texto[i]);
        // A character of several bytes goes in only where any key does: a
        // key (0x100) beyond those a number takes stands for it.
        std::size_t n = 1;
        if (c >= 0xF0)
            n = 4;
        else if (c >= 0xE0)
            n = 3;
        else if (c >= 0xC0)
            n = 2;
        n = std::min(n, texto.size() - i);
        if (n == 1 && c >= 32 && c != 127) {
            if (const int k = Tecla(c)) colado += static_cast<char>(k);
        } else if (n > 1 && Tecla(0x100) != 0) {
            colado += texto.substr(i, n);
        }
        i += n;
    }
    return colado;
}

}  // namespace

void SANDes98::DesTxt_KeyPress(int Index, int& KeyAscii)
{
    if (KeyAscii == 8) return;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        DesTxt(Index == 0 ? 1 : Index == 1 ? 2 : 0).SetFocus();
        return;
    }
    if (KeyAscii == kCtrlV) {
        // What is pasted goes in as if it had been typed.
        KeyAscii = 0;
        DesTxt(Index).SetSelText(ColaComoDigitado([Index](int k) { return TeclaDeDesenho(Index, k); }));
        return;
    }
    if (Atalho(KeyAscii)) return;
    KeyAscii = TeclaDeDesenho(Index, KeyAscii);
}

// Elevations leave their field with the elevation decimals and "." as
// separator; a text that is not a number stays, its "," made ".".
void SANDes98::DesTxt_LostFocus(int Index)
{
    if (Index > 2) return;
    std::string t = DesTxt(Index).Text();
    double v = 0;
    if (LeNumero(t, v))
        t = FormatNum(v, PRECCOTA_);
    else
        std::replace(t.begin(), t.end(), ',', '.');
    DesTxt(Index).SetText(t);
}

// ---------------------------------------------------------------- elevation labels

void SANDes98::lblDes_MouseMove(int Index, int, int, double, double)
{
    if (Index == 0 || Index == 10) lblDes(Index).SetBorderStyle(1);
}

void SANDes98::SSDesenho_AtualizaRotulos()
{
    for (int i : {0, 10}) {
        lblDes(i).SetAppearance(0);
        lblDes(i).SetBorderStyle(0);
        lblDes(i).SetBackColor(vbButtonFace);
    }
}

void SANDes98::lblDes_MouseDown(int Index, int, int, double, double)
{
    const int alvo = Index == 0 ? 0 : Index == 10 ? 7 : -1;
    if (alvo >= 0) {
        lblDes(Index).SetAppearance(1);
        lblDes(Index).SetBorderStyle(1);
        // A new dialog for each use; the last one goes only now, well after
        // the click that closed it.
        cotaDlg_ = std::make_unique<frmCalcCotaPT>();
        frmCalcCotaPT& f = *cotaDlg_;
        f.Show(vbModal, gMainForm);
        if (f.Opcao == 1 || f.Opcao == 2) {
            Protegido([&] {
                if (!Pronto(Des_)) return;
                std::optional<Ponto> ponto;
                const std::string cota = f.Opcao == 1 ? Des_->CalcCotaPoint(ponto, f.EvidenciarErro, UsarZObjeto)
                                                      : Des_->CalcCotaInterp(ponto, f.EvidenciarErro, UsarZObjeto);
                // Nothing obtained: the field and the kept point stay as they were.
                if (cota.empty() || !ponto) return;
                DesTxt(alvo).SetText(cota);
                UsarPontoCalculado = true;
                PontoCalculado = ponto;
            });
        }
        forms::Unload(f);
    }
    lblDes(Index).SetAppearance(0);
    lblDes(Index).SetBorderStyle(0);
    lblDes(Index).SetBackColor(vbButtonFace);
}

void SANDes98::CalcCotasUseObjZChk_Click() { UsarZObjeto = CalcCotasUseObjZChk.Value() == vbChecked; }

// ---------------------------------------------------------------- spinners

// A drag over a numeric spinner steps its field from the value it had when
// the button went down: right and up increase, the vertical movement is the
// coarse one.
void SANDes98::lblMouseI_MouseDown(int Index, int, int, double X, double Y)
{
    SpinCampo = lblMouseI(Index).Tag();
    SpinX0 = static_cast<int>(std::lround(X));
    SpinY0 = static_cast<int>(std::lround(Y));
    lblMouseI(Index).SetBackColor(kRealceSpin);
    SetMousePointer(vbSizeWE);
    SpinLido = false;
    const int campo = IndiceDaTag(SpinCampo);
    if (campo < 0 || campo > 8 || campo == 7 || !DesTxt.Exists(campo)) return;
    DesTxt(campo).SetFocus();
    CampoComFoco = campo;
    // An empty field starts from 0; one that holds a text that is not a
    // number is left as it is by the drag.
    const std::string texto = DesTxt(campo).Text();
    SpinLido = IsNumero(texto);
    if (SpinLido) SpinValor0 = StrToDbl(texto);
}

void SANDes98::lblMouseI_MouseMove(int, int Button, int, double X, double Y)
{
    if (Button != vbLeftButton || !SpinLido) return;
    const int campo = IndiceDaTag(SpinCampo);
    const double dx = (X - SpinX0) / 750000.0;
    const double dy = (SpinY0 - Y) / 15000.0;
    double valor = SpinValor0;
    int decimais = 0;
    switch (campo) {
    case 0:
    case 1:
    case 2:
    case 6:
        valor += dx + dy;
        decimais = PRECCOTA_;
        break;
    case 3:
    case 8: valor += 1000 * dx + 1000 * dy; break;
    case 4:
        valor += 10 * (dx + dy);
        decimais = PRECDIST_;
        break;
    case 5:
        valor += (dx + dy) / 1000;
        decimais = PRECDECL_;
        break;
    default: return;
    }
    DesTxt(campo).SetText(FormatNum(valor, decimais));
}

void SANDes98::lblMouseI_MouseUp(int Index, int, int, double, double)
{
    lblMouseI(Index).SetBackColor(vbButtonFace);
    SetMousePointer(vbDefault);
    SpinLido = false;
}

// The list a list spinner's Tag names; none for another Tag.
SANDes98::ListaSpin SANDes98::ListaDaTag(const std::string& Tag)
{
    ListaSpin l;
    if (Tag == "DesPVcbo")
        l.Combo = &DesPVcbo;
    else if (Tag == "DesMatTuboCbo(0)")
        l.Combo = &DesMatTuboCbo(0);
    else if (Tag == "DesMatTuboCbo(1)")
        l.Combo = &DesMatTuboCbo(1);
    else if (Tag == "DesPavmtoCbo(0)")
        l.Combo = &DesPavmtoCbo(0);
    else if (Tag == "DesPavmtoCbo(1)")
        l.Combo = &DesPavmtoCbo(1);
    else if (Tag == "DesTuboDiamlst")
        l.Lista = &DesTuboDiamlst;
    else if (Tag == "ChEtCbo")
        l.Combo = &CHEtCbo;
    else if (Tag == "CHConCbo")
        l.Combo = &CHConCbo;
    else if (Tag == "CHPavCbo")
        l.Combo = &CHPavCbo;
    else if (Tag == "CHMatCbo")
        l.Combo = &CHMatCbo;
    return l;
}

// A drag over a list spinner steps its list one entry per 300 twips to the
// right (to the left backwards), going round past either end. Every drag
// starts from step 0.
void SANDes98::lblMouse_MouseDown(int Index, int, int, double X, double)
{
    ListaCampo = lblMouse(Index).Tag();
    ListaX0 = static_cast<int>(std::lround(X));
    ListaPasso = 0;
    ListaIndice0 = 0;
    ListaContagem = 0;
    if (const ListaSpin l = ListaDaTag(ListaCampo)) {
        ListaIndice0 = l.ListIndex();
        ListaContagem = l.ListCount();
    }
    SetMousePointer(vbSizeWE);
}

void SANDes98::lblMouse_MouseMove(int, int Button, int, double X, double)
{
    if (Button != vbLeftButton) return;
    const ListaSpin l = ListaDaTag(ListaCampo);
    if (!l || ListaContagem <= 0) return;
    const int passo = static_cast<int>(std::trunc((X - ListaX0) / 300.0));
    if (passo == ListaPasso) return;
    ListaPasso = passo;
    const int posicao = ((ListaIndice0 + passo) % ListaContagem + ListaContagem) % ListaContagem;
    // The list may have been refilled meanwhile (a material's diameters).
    if (posicao < l.ListCount()) l.SetListIndex(posicao);
}

void SANDes98::lblMouse_MouseUp(int, int, int, double, double) { SetMousePointer(vbDefault); }

// ---------------------------------------------------------------- preferences

void SANDes98::PrefScr1_Change(int Index)
{
    if (Index == 0)
        SetAcadZoomCenter(PrefScr1(0).Value());
    else
        SetAcadZoomScale(PrefScr1(1).Value() / 10.0);
}

// A tolerance that cannot be read, the empty one included, is 0, silently.
void SANDes98::PrefsTxt_Change(int Index)
{
    const std::string texto = PrefsTxt(Index).Text();
    const double v = IsNumero(texto) ? StrToDbl(texto) : 0.0;
    if (Index == 0)
        SetTolVerifCota(v);
    else
        SetTolVerifComp(v);
}

// The tolerances are typed with "," as decimal separator.
void SANDes98::PrefsTxt_KeyPress(int Index, int& KeyAscii)
{
    if (KeyAscii == 8 || KeyAscii == 13) return;
    if (KeyAscii == kCtrlV) {
        KeyAscii = 0;
        PrefsTxt(Index).SetSelText(ColaComoDigitado(TeclaDeTolerancia));
        return;
    }
    if (Atalho(KeyAscii)) return;
    KeyAscii = TeclaDeTolerancia(KeyAscii);
}

// ---------------------------------------------------------------- notes and point information

// A date (0) or time (1) stamp at the notes' cursor, one space on each side.
void SANDes98::NotasCmd_Click(int Index)
{
    const std::time_t agora = std::time(nullptr);
    std::tm t{};
    localtime_r(&agora, &t);
    char buf[32];
    std::strftime(buf, sizeof buf, Index == 0 ? "%d/%m/%y" : "%H:%M", &t);
    const std::string carimbo = std::string(" ") + buf + " ";
    const int cursor = Notas.SelStart();
    const std::string texto = Notas.Text();
    const std::size_t b = ByteDoCaractere(texto, cursor);
    Notas.SetText(texto.substr(0, b) + carimbo + texto.substr(b));
    Notas.SetSelStart(cursor + Caracteres(carimbo));
}

void SANDes98::PointInfoCmd_Click()
{
    Protegido([&] {
        if (!ConectaAcad("", "")) return;
        Ponto p;
        std::string nome, cota, descricao;
        InfoPonto(true, false, p, nome, cota, descricao, "Selecione ponto: ", false);
    });
}

// ---------------------------------------------------------------- verification

// 0 prepares a verification (a new object and its option list), 1 runs the
// one prepared; the network is the one CONFChk names.
void SANDes98::CONFCmd_Click(int Index)
{
    LimpaErrCount();
    Progress1.SetVisible(true);
    if (!ConectaAcad()) return;
    Protegido([&] {
        LimpaConferencia();
        const bool generica = CONFChk.Value() != vbUnchecked;
        // The network was switched since the options were offered: they are
        // offered again for the one chosen now.
        const bool preparada = generica ? MyClsSANVerifGen != nullptr : MyClsSANVerif != nullptr;
        if (Index == 0 || !preparada)
            PreparaVerificacao(generica);
        else
            ExecutaVerificacao(generica);
    });
    Progress1.Progress_Start(SANERRlst.ListCount(), std::to_string(SANERRlst.ListCount()) + " itens");
    Progress1.SetVisible(false);
    Protegido([] { ZoomTudo(); });
}

void SANDes98::PreparaVerificacao(bool Generica)
{
    MyClsSANVerif.reset();
    MyClsSANVerifGen.reset();
    SANERRlst.Clear();
    SANERRlst.SetVisible(false);
    SANERROptlst.SetVisible(true);
    const auto falha = [this](int ErrType, std::int32_t ObjectId, std::int32_t PVmId, std::int32_t PVjId,
                              const std::string& Mensagem, Ponto Pt1, std::optional<Ponto> Pt2) {
        MyClsSANVerif_ConfereErroMsg(ErrType, ObjectId, PVmId, PVjId, Mensagem, Pt1, Pt2);
    };
    VerificacaoSAN* verif = nullptr;
    if (Generica) {
        MyClsSANVerifGen = std::make_unique<clsSANVerifGen>();
        MyClsSANVerifGen->ConfereGenErroMsg += falha;
        MyClsSANVerifGen->gAcadZoomScale = AcadZoomScale_;
        verif = MyClsSANVerifGen.get();
    } else {
        MyClsSANVerif = std::make_unique<clsSANVerif>();
        MyClsSANVerif->ConfereErroMsg += falha;
        verif = MyClsSANVerif.get();
    }
    verif->SetcListBox1(&SANERROptlst);
    verif->SetcListBox2(&SANERRlst);
    verif->Prepare();
    CONFCmd(1).SetEnabled(true);
}

void SANDes98::ExecutaVerificacao(bool Generica)
{
    // A run with nothing chosen would end in an empty list, which reads as a
    // clean network: the options stay offered instead.
    if (SANERROptlst.SelCount() == 0) {
        ExibeMensagem(0, "Atenção", "Nenhuma opção escolhida.\r\nEscolha na lista o que verificar.");
        return;
    }
    SANERROptlst.SetVisible(false);
    SANERRlst.SetVisible(true);
    VerificacaoSAN& verif = Generica ? static_cast<VerificacaoSAN&>(*MyClsSANVerifGen) : *MyClsSANVerif;
    verif.cProgress = &Progress1;
    // The designed network's run has always been given these view values; the
    // manholes are found by their place, so no view value changes a result.
    verif.gAcadZoomCenter = Generica ? static_cast<double>(AcadZoomCenter_) : 400;
    verif.gAcadZoomScale = Generica ? AcadZoomScale_ : 0.4;
    verif.gPRECCOTA = PRECCOTA_;
    verif.gPRECDECL = PRECDECL_;
    verif.gPRECDIST = PRECDIST_;
    verif.gTolVerifComp = TolVerifComp_;
    if (!Generica) MyClsSANVerif->gTolVerifCota = TolVerifCota_;
    verif.Execute();
    CONFCmd(1).SetEnabled(false);
}

// The fault list is emptied; the verification object and its faults stay.
void SANDes98::CONFChk_Click() { SANERRlst.Clear(); }

void SANDes98::ConfLimpaCmd_Click()
{
    Protegido([] {
        if (ConectaAcad()) LimpaConferencia();
    });
}

// The view goes to the fault clicked: the window of its two points, or its
// point at the panel's view height. The correction it offers is the
// verification object's.
void SANDes98::SANERRlst_Click()
{
    const int i = SANERRlst.ListIndex();
    if (i < 0 || i >= static_cast<int>(ErrList.size())) return;
    const ErrRec falha = ErrList[static_cast<std::size_t>(i)];
    Protegido([&] {
        if (!ConectaAcad()) return;
        if (falha.Pt2)
            ZoomJanela(falha.Pt1, *falha.Pt2, AcadZoomScale_);
        else
            ZoomCentro(falha.Pt1, AcadZoomCenter_);
    });
}

void SANDes98::MyClsSANVerif_ConfereErroMsg(int ErrType, std::int32_t ObjectId, std::int32_t PVmId, std::int32_t PVjId,
                                            const std::string& Mensagem, const Ponto& Pt1,
                                            const std::optional<Ponto>& Pt2)
{
    RegistraErro(SANERRlst, ErrType, ObjectId, PVmId, PVjId, Mensagem, Pt1, Pt2);
}


// ---------------------------------------------------------------- network tabs: tab change, bulk change, themes

void SANDes98::SSTabBrivan_Click(int /*PreviousTab*/)
{
    MyClsSANEdit.reset();
    MyClsSANImp.reset();
    switch (SSTabBrivan.Tab()) {
    case 0:
        // The capture tab as before any capture. Unticking first: the boxes'
        // clicks enable their fields.
        SANCaptureCmd.SetEnabled(true);
        SANAutoNumColChk.SetValue(vbUnchecked);
        SANAutoNumPVChk.SetValue(vbUnchecked);
        SANAutoNumColChk.SetEnabled(false);
        SANAutoNumPVChk.SetEnabled(false);
        for (TextBox* t : {&SANColIniTxt, &SANPVIniTxt, &SANPrefixtxt}) {
            t->SetEnabled(false);
            t->SetBackColor(vbButtonFace);
        }
        SANSaveDXFCmd.SetEnabled(false);
        frmColetor.SetEnabled(false);
        SANNumereCmd.SetEnabled(false);
        SANColIniTxt.SetText("001");
        SANPVIniTxt.SetText("001");
        SANColetorLbl.SetCaption("001");
        SANColetorLbl.SetEnabled(false);
        break;
    case 1: NovoSANImp(); break;
    case 4:
    case 5:
        MyClsSANEdit = std::make_unique<clsSANEdit>();
        MyClsSANEdit->cProgress = &Progress1;
        break;
    default: break;
    }
    Progress1.Progress_Start(0, "");
}

void SANDes98::CHValores(std::string& Material, std::string& Pavimento, std::string& Contrib, std::string& Etapa)
{
    const auto valor = [](const ComboBox& C) { return C.Text() == "Não usar" ? std::string() : C.Text(); };
    Material = valor(CHMatCbo);
    Pavimento = valor(CHPavCbo);
    Contrib = valor(CHConCbo);
    Etapa = valor(CHEtCbo);
}

void SANDes98::CHSelectCmd_Click()
{
    if (!MyClsSANEdit) return;
    std::string mat, pav, con, et;
    if (CHchk.Value() == vbChecked) CHValores(mat, pav, con, et);
    long n = 0;
    Protegido([&] { n = MyClsSANEdit->CHSelect(mat, pav, con, et); });
    CHlbl.SetCaption(std::to_string(n) + " objetos");
    CHChangeCmd.SetEnabled(true);
}

void SANDes98::CHChangeCmd_Click()
{
    if (!MyClsSANEdit) return;
    std::string mat, pav, con, et;
    CHValores(mat, pav, con, et);
    bool feito = false;
    Protegido([&] { feito = MyClsSANEdit->CHChange(mat, pav, con, et); });
    // A refused value leaves the pick and the lists as they are, to be mended.
    if (!feito) return;
    CHChangeCmd.SetEnabled(false);
    CHlbl.SetCaption("");
    for (ComboBox* c : {&CHMatCbo, &CHPavCbo, &CHConCbo, &CHEtCbo}) PrimeiroItem(*c);
}

void SANDes98::TEMAPesqCmd_Click()
{
    if (!MyClsSANEdit) return;
    TEMAPesqCmd.SetEnabled(false);
    const int i = TEMACbo.ListIndex();
    const std::string classe = i >= 0 ? TEMACbo.List(i) : std::string();
    Protegido([&] { MyClsSANEdit->TEMA_Select(classe); });

    // Exactly one row per class: rows of an earlier, longer tally would
    // otherwise stay as if they were classes of this one.
    static const long kCores[] = {0xFF, 0xFFFF, 0xFF00, 0xFFFF00, 0xFF0000, 0xFF00FF};
    const int n = static_cast<int>(gTemas.size());
    if (TEMAFlg.Cols() < 3) TEMAFlg.SetFormatString("|Tipo|Qtt");
    TEMAFlg.SetRows(std::max(n + 1, 2));
    if (n == 0)
        for (int c = 1; c < 3; ++c) TEMAFlg.SetTextMatrix(1, c, "");
    for (int k = 0; k < n; ++k) {
        TEMAFlg.SetRow(k + 1);
        TEMAFlg.SetCol(0);
        TEMAFlg.SetCellBackColor(kCores[std::min(k, 5)]);
        TEMAFlg.SetTextMatrix(k + 1, 1, gTemas[static_cast<std::size_t>(k)].valor);
        TEMAFlg.SetTextMatrix(k + 1, 2, std::to_string(gTemas[static_cast<std::size_t>(k)].contagem));
    }
    TEMAPesqCmd.SetEnabled(true);
    TEMAPrintCmd.SetEnabled(true);
}

void SANDes98::TEMAPrintCmd_Click()
{
    if (MyClsSANEdit) Protegido([&] { MyClsSANEdit->TEMA_Print(); });
    TEMAPrintCmd.SetEnabled(false);
}

void SANDes98::TEMAFlg_CopiaTexto(int& KeyCode, int /*Shift*/)
{
    if (KeyCode != 67) return;
    os::Clipboard::Clear();
    os::Clipboard::SetText(TEMAFlg.Text());
}

void SANDes98::Progress1_TimerMsg(const std::string& Texto)
{
    if (Progress1.EnabledTimer()) Progress1.SetCaption(Texto);
}

// ---------------------------------------------------------------- capture, collector numbering and DXF export

namespace {

// A number field read as a whole number; otherwise told, naming the field.
bool CampoInteiro(const std::string& Texto, const std::string& Campo, int& Valor)
{
    std::string t = Texto;
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    int v = 0;
    const char* fim = t.data() + t.size();
    const char* inicio = t.data() + (!t.empty() && t[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(inicio, fim, v);
    if (t.empty() || r.ec != std::errc() || r.ptr != fim) {
        ExibeMensagem(0, "Atenção", Campo + ": \"" + Texto + "\" não é um número inteiro.\r\n\r\nNada foi alterado.");
        return false;
    }
    Valor = v;
    return true;
}

std::string Tres(int n)
{
    std::string t = std::to_string(n < 0 ? -static_cast<long long>(n) : n);
    if (t.size() < 3) t.insert(0, 3 - t.size(), '0');
    return n < 0 ? "-" + t : t;
}

void Descongela(const std::string& Layer)
{
    if (acad::Layer* l = gAcadDoc->Layers().Find(Layer)) l->SetFreeze(false);
}

const char* const kNumeracaoRuim =
    "Coletores com numeração duplicada, inexistente ou imprópria.\r\n\r\nRefaça a numeração.";

}  // namespace

clsSANExp& SANDes98::Exportacao()
{
    if (!MyClsSANExp) MyClsSANExp = std::make_unique<clsSANExp>();
    MyClsSANExp->cProgress = &Progress1;
    MyClsSANExp->cTxtPrefix = &SANPrefixtxt;
    MyClsSANExp->gAcadZoomCenter = AcadZoomCenter_;
    return *MyClsSANExp;
}

void SANDes98::SANCaptureCmd_Click()
{
    Protegido([&] {
        if (!ConectaAcad("", "") || !InsertBlockFile("ErroC")) return;
        ColetorAtual = 0;
        LimpaConferencia();
        SalvaVista();
        for (Control* c : std::initializer_list<Control*>{&SANPVIniTxt, &SANPrefixtxt, &SANSaveDXFCmd, &frmColetor,
                                                          &SANNumereCmd, &SANAutoNumPVChk, &SANColetorLbl})
            c->SetEnabled(false);
        SANColetorLbl.SetCaption("001");

        MyClsSANExp = std::make_unique<clsSANExp>();
        bool numerados = false;
        int primeiro = 0;
        NumColetores = Exportacao().CaptureRedeGen(numerados, primeiro, gListPLs);
        if (NumColetores == 0) {
            Progress1.Progress_Start(0, "");
            return;
        }
        // The drawing as the user will pick in it, before he reads the message.
        Descongela("GEN_Coletor");
        RestauraVista();
        gAcadDoc->Regen(1);
        if (numerados)
            SANSaveDXFCmd.SetEnabled(true);
        else
            ExibeMensagem(0, "Coletando Dados da Rede...", kNumeracaoRuim);

        for (CheckBox* c : {&SANAutoNumColChk, &SANAutoNumPVChk}) {
            c->SetEnabled(true);
            c->SetValue(vbUnchecked);
        }
        // With no start numbered yet the numbering begins at 1: a collector
        // 000 would read back as unnumbered and block the export.
        SANColIniTxt.SetText(Tres(primeiro > 0 ? primeiro : 1));
        for (Control* c : std::initializer_list<Control*>{&frmColetor, &SANColetorLbl, &SANNumereCmd})
            c->SetEnabled(true);
        SANCaptureCmd.SetEnabled(false);
    });
}

void SANDes98::SANNumereCmd_Click()
{
    Protegido([&] {
        int coletor = 0, pvIni = 0;
        if (!CampoInteiro(SANColetorLbl.Caption(), "Coletor a numerar", coletor)) return;
        if (ColetorAtual == 0 && !CampoInteiro(SANPVIniTxt.Text(), "PV inicial", pvIni)) return;
        if (!ConectaAcad("", "")) return;
        for (Control* c :
             std::initializer_list<Control*>{&SANAutoNumColChk, &SANAutoNumPVChk, &lblDes(21), &SANColIniTxt,
                                             &SANPVIniTxt, &SANPrefixtxt, &SANSaveDXFCmd, &SANNumereCmd})
            c->SetEnabled(false);
        clsSANExp& exportacao = Exportacao();
        if (ColetorAtual == 0) exportacao.CaptureNumPVs = pvIni - 1;
        const bool numerou = exportacao.Capture2(SANColetorLbl.Caption(), SANAutoNumPVChk.Value() == vbChecked);
        SANNumereCmd.SetEnabled(true);
        // Given up: the same collector is asked for at the next press.
        if (!numerou) return;
        if (ColetorAtual + 2 > NumColetores) {
            SANSaveDXFCmd.SetEnabled(true);
            SANNumereCmd.SetEnabled(false);
            for (CheckBox* c : {&SANAutoNumColChk, &SANAutoNumPVChk}) {
                c->SetValue(vbUnchecked);
                c->SetEnabled(true);
            }
        }
        SANColetorLbl.SetCaption(Tres(coletor + 1));
        ++ColetorAtual;
    });
}

void SANDes98::SANSaveDXFCmd_Click()
{
    Protegido([&] {
        const bool autoCol = SANAutoNumColChk.Value() == vbChecked;
        const bool autoPV = SANAutoNumPVChk.Value() == vbChecked;
        int colIni = 1, pvIni = 1;
        if (autoCol && !CampoInteiro(SANColIniTxt.Text(), "Coletor inicial", colIni)) return;
        if (autoPV && !CampoInteiro(SANPVIniTxt.Text(), "PV inicial", pvIni)) return;
        std::string prefixo = SANPrefixtxt.Text();
        prefixo.erase(0, prefixo.find_first_not_of(' '));
        prefixo.erase(prefixo.find_last_not_of(' ') + 1);

        const std::string texto = (autoCol ? "Renumerar Coletores a partir de " + SANColIniTxt.Text()
                                           : std::string("Manter os números de coletores como estão.")) +
                                  "\r\n" +
                                  (autoPV ? "Renumerar PVs a partir de " + prefixo + SANPVIniTxt.Text()
                                          : std::string("Manter os números de PVs como estão.")) +
                                  "\r\n\r\nContinuar ?";
        bool sim = false, nao = false, marcado = false;
        int esquerda = 0, topo = 0;
        ExibeMensagem(4, "Salvar DXF...", texto, sim, nao, marcado, "", esquerda, topo);
        if (!sim || !ConectaAcad("", "")) return;

        LimpaConferencia();
        Descongela("GEN_TextosPV");
        Descongela("GEN_Texto_TR");
        gAcadDoc->Regen(1);
        clsSANExp& exportacao = Exportacao();
        bool numerados = false;
        int primeiro = 0;
        if (exportacao.CaptureRedeGen(numerados, primeiro, gListPLs) == 0) {
            ExibeMensagem(0, "Salvar DXF", "Rede não encontrada.");
            return;
        }
        if (!numerados) {
            ExibeMensagem(0, "Salvar DXF...", kNumeracaoRuim);
            return;
        }
        exportacao.CaptureAuto(colIni, autoCol, autoPV, pvIni, prefixo);
        exportacao.SaveDXF();
    });
}

// ---------------------------------------------------------------- import of design tables

void SANDes98::NovoSANImp()
{
    MyClsSANImp = std::make_unique<clsSANImp>();
    IMPLbl.SetCaption("");  // the new worker has no table open
    MyClsSANImp->cData = &Data2;
    MyClsSANImp->cProgress = &Progress1;
    MyClsSANImp->cLabel = &IMPLbl;
    MyClsSANImp->gAcadZoomCenter = AcadZoomCenter_;
    MyClsSANImp->gAcadZoomScale = AcadZoomScale_;
    MyClsSANImp->gPRECCOTA = PRECCOTA_;
    MyClsSANImp->gPRECDECL = PRECDECL_;
    MyClsSANImp->gPRECDIST = PRECDIST_;
    MyClsSANImp->gPRECOORD = PRECOORD_;
}

void SANDes98::ImpMenu_Click(int Index)
{
    if (!MyClsSANImp) NovoSANImp();
    clsSANImp& imp = *MyClsSANImp;
    ImpMenu.MenuOff = true;
    Protegido([&] {
        switch (Index) {
        case 1: imp.OpenTable(); break;
        case 2:
        case 3:
            if (imp.IMPFilename.empty())
                IMPLbl.SetCaption("Abra uma Tabela primeiro");
            else if (Index == 2)
                imp.DrawCmd();
            else
                imp.SaveXLS();
            break;
        case 4: imp.EditTable(); break;
        default: break;
        }
    });
    ImpMenu.MenuOff = false;
}

// The label names the open table; only while none is open does it tell what
// the button under the mouse does (the buttons keep their tool tips).
void SANDes98::ImpMenu_Mouse(const std::string& Descricao)
{
    if (MyClsSANImp && MyClsSANImp->Tabela()) return;
    IMPLbl.SetCaption(Descricao);
}

void SANDes98::SanRecuperaCmd_Click()
{
    if (!MyClsSANImp) NovoSANImp();
    Protegido([&] { MyClsSANImp->CaptureOld(); });
}
