#include "topography/TOPDes98.h"

#include <array>
#include <exception>
#include <utility>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modInfoPonto.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "shell/clsCommonDialog.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPDb.h"
#include "topography/clsTOPMar.h"
#include "topography/clsTOPSec.h"
#include "topography/modFerramentasPontos.h"
#include "topography/modCadastro.h"
#include "topography/modPontosTopo.h"
#include "topography/modReparos.h"

using namespace forms;

namespace {

// Where the building-type markers stand: beside the buttons, or out of sight.
constexpr double kMarcaAoLado = 3;
constexpr double kMarcaFora = -100;

// The height of one row of the attribute map, in twips.
constexpr double kLinhaMapa = 315;

struct ItemMenu {
    const char* Key;
    const char* Descricao;
    int Coluna;
    int Linha;
};

// The point menu, by index from 1.
constexpr ItemMenu kMenuPontos[] = {
    {"Info", "Informações de um Ponto", 0, 0},
    {"InsPto", "Inserir Ponto", 1, 0},
    {"NoXd", "Localizar Pontos sem Xdata", 2, 0},
    {"Purge", "Purge XData não utilizados", 0, 1},
    {"MCota", "Mudar Cota do Ponto", 1, 1},
    {"Find", "Localizar Ponto", 2, 1},
    {"Import", "Importar Pontos de arquivo Texto", 0, 2},
    {"Textos", "Aplica texto dos Pontos", 1, 2},
    {"RemDupl", "Remover pontos duplicados", 2, 2},
};

}  // namespace

TOPDes98::TOPDes98(Init init) : UserControl(std::move(init))
{
    ArrumaControles();

    KeepSettings(kSettings);
    Resize += [this] { UserControl_Resize(); };

    SSTopo.Click += [this](int PreviousTab) { SSTopo_Click(PreviousTab); };
    PtoMenu.Click += [this](int Index) { PtoMenu_Click(Index); };
    PtoMenu.Mouse += [this](const std::string& d) { PtoMenu_Mouse(d); };
    Im.MouseDown += [this](int Index, int, int, double, double) { Im_MouseDown(Index); };
    Im.MouseMove += [this](int Index, int, int, double, double) { Im_MouseMove(Index); };
    Im.MouseUp += [this](int Index, int, int, double, double) { Im_MouseUp(Index); };
    MarArqs.Click += [this](int Index) { MarArqs_Click(Index); };
    MISCSpl2PlTxt.KeyPress += [this](int& KeyAscii) { MISCSpl2PlTxt_KeyPress(KeyAscii); };
    SECCmd.Click += [this](int Index) { SECCmd_Click(Index); };
    SECtxt.KeyPress += [this](int Index, int& KeyAscii) { SECtxt_KeyPress(Index, KeyAscii); };
    SECtxt.LostFocus += [this](int Index) { SECtxt_LostFocus(Index); };
    TRBlkExecutaCmd.Click += [this] { TRBlkExecutaCmd_Click(); };
    TRBlkCbo1.Click += [this] { TRBlkCbo1_Click(); };
    TRBlkCbo2.Click += [this] { TRBlkCbo2_Click(); };
    TRBlkCbo3.Click += [this](int Index) { TRBlkCbo3_Click(Index); };
    TRBlkScr.Change += [this] { TRBlkScr_Change(); };
    TRBlkTxt.KeyPress += [this](int Index, int& KeyAscii) { TRBlkTxt_KeyPress(Index, KeyAscii); };

    // "Cadastro"
    CADInsertCmd.Click += [this] { CADInsertCmd_Click(); };
    CADtxt.GotFocus += [this](int Index) { CADtxt_GotFocus(Index); };
    CADtxt.KeyDown += [this](int Index, int& KeyCode, int) { CADtxt_KeyDown(Index, KeyCode); };
    // "Misc."
    CorrigeHatchCmd.Click += [this] { CorrigeHatchCmd_Click(); };
    KMTopogCmd.Click += [this] { KMTopogCmd_Click(); };
    MISCSpl2PlCmd.Click += [this] { MISCSpl2PlCmd_Click(); };
    MISCZzeroCmd.Click += [this] { MISCZzeroCmd_Click(); };
    InsQuaCmd.Click += [this] { InsQuaCmd_Click(); };
    NumQuadCmd.Click += [this] { NumQuadCmd_Click(); };
    InsUTMCmd.Click += [this] { InsUTMCmd_Click(); };

    // Each bar's remaining time beside it, shown at once; the block
    // replacement's is not shown.
    auto mostra = [](Label& l) {
        return [&l](const std::string& t) {
            l.SetCaption(t);
            l.Refresh();
        };
    };
    PTSProgress.TimerMsg += mostra(PTSProgresslbl);
    MARProgress.TimerMsg += mostra(MARProgressLbl);
    MISCProgress.TimerMsg += mostra(MISCProgresslbl);
    BLKProgress.TimerMsg += [](const std::string&) {};

    // The panel opens on "Cadastro" with the first picture marked, and no
    // tab change announces it: its fields must agree from the start.
    SelecionaTipoCadastro(0);
}

TOPDes98::~TOPDes98() = default;

// The panel's design: captions, tool tips and places in twips.
void TOPDes98::ArrumaControles()
{
    Move(0, 0, 2595, 3735);
    SSTopo.Move(0, 0, 2595, 3735);
    SSTopo.SetTabsPerRow(3);
    SSTopo.SetTabHeight(300);
    // Three captions share each row.
    SSTopo.SetFontSize(7);
    const char* abas[] = {"Cadastro", "Margens", "Blocos", "Pontos", "Seções", "Misc."};
    for (int i = 0; i < 6; ++i) SSTopo.SetTabCaption(i, abas[i]);
    // Two rows of tabs: the pages begin below them.
    constexpr double y0 = 630;

    // ---- 0 "Cadastro"
    Picture1.Move(90, y0, 2415, 1260);
    Picture1.SetBorderStyle(0);
    const char* cad[] = {"Nome :", "Número :", "Aptos :", "Comercios :"};
    for (int i = 0; i < 4; ++i) {
        CADlbl(i).Move(0, 30 + i * 315, 915, 255);
        CADlbl(i).SetCaption(cad[i]);
        CADlbl(i).SetBackStyle(0);
        CADtxt(i).Move(930, i * 315, 1485, 285);
    }
    CADFrm.Move(90, y0 + 1320, 1620, 1680);
    CADFrm.SetBorderStyle(0);
    const char* tipos[] = {
        "Residencial Unifamiliar", "Residencial Multifamiliar", "Edificação Mista", "Edificação Comercail",
        "Edificação Industrial",   "Serviços Públicos",         "Quantidades",      "Soleira Baixa"};
    for (int i = 0; i < 8; ++i) {
        Im(i).Move(120, i * 210, 1440, 210);
        Im(i).SetToolTipText(tipos[i]);
        Im(i).SetPicture(Figura("TOPCAD" + std::to_string(i)));
    }
    Bu.Move(kMarcaFora, 0, 90, 210);
    Bu.SetPicture(Figura("TOPCADBU"));
    Bd.Move(kMarcaAoLado, 0, 90, 210);
    Bd.SetPicture(Figura("TOPCADBD"));
    // The type's name takes two rows beside the pictures.
    CADlbl2.Move(1710, y0 + 1320, 795, 600);
    CADlbl2.SetCaption("Tipo:");
    CADlbl2.SetBackStyle(0);
    CADInsertCmd.Move(1800, y0 + 2220, 705, 375);
    CADInsertCmd.SetCaption("Inserir");
    ProgressBar1.Move(1800, y0 + 2745, 705, 255);

    // ---- 1 "Margens"
    MARlbl(0).Move(90, y0, 2415, 225);
    MARlbl(0).SetCaption("Preparação em ModelSpace:");
    InsQuaCmd.Move(90, y0 + 240, 2415, 315);
    InsQuaCmd.SetCaption("Inserir Quadrícula");
    InsQuaCmd.SetToolTipText("Insere bloco Quadrícula");
    NumQuadCmd.Move(90, y0 + 585, 2415, 315);
    NumQuadCmd.SetCaption("Numerar as Quadrículas");
    InsUTMCmd.Move(90, y0 + 930, 2415, 315);
    InsUTMCmd.SetCaption("Inserir Grades UTM");
    MARlbl(1).Move(90, y0 + 1305, 2415, 405);
    MARlbl(1).SetWordWrap(true);
    MARlbl(1).SetCaption("Constução das Pranchas em PaperSpace:");
    const char* arqs[] = {"Em Arquivos individuais", "Em Layouts", "Modo Preview"};
    for (int i = 0; i < 3; ++i) {
        MarArqs(i).Move(90, y0 + 1725 + i * 345, 2415, 315);
        MarArqs(i).SetCaption(arqs[i]);
    }
    // The bar and its remaining time side by side.
    MARProgress.Move(90, y0 + 2805, 1455, 255);
    MARProgressLbl.Move(1590, y0 + 2820, 915, 225);
    for (Label& l : MARlbl) l.SetBackStyle(0);
    MARProgressLbl.SetBackStyle(0);

    // ---- 2 "Blocos"
    const char* blk[] = {"Trocar este:", "Por este:", "Escala Bloco:", "Escala Texto:"};
    for (int i = 0; i < 4; ++i) {
        TRBlkCap(i).SetCaption(blk[i]);
        TRBlkCap(i).SetBackStyle(0);
    }
    TRBlkCap(0).Move(90, y0 + 45, 855, 225);
    TRBlkCbo1.Move(960, y0, 1545, 315);
    TRBlkCap(1).Move(90, y0 + 405, 855, 225);
    TRBlkCbo2.Move(960, y0 + 360, 1545, 315);
    for (ComboBox* c : {&TRBlkCbo1, &TRBlkCbo2}) c->SetStyle(vbComboDropdownList);
    // Four rows of the map in sight.
    TRblkPic.Move(90, y0 + 720, 2160, 4 * kLinhaMapa);
    TRblkPic.SetBorderStyle(0);
    TRBlkFrm.Move(0, 0, 2160, 360);
    TRBlkFrm.SetBorderStyle(0);
    TRBlkLbl(0).Move(0, 0, 1020, 285);
    TRBlkLbl(0).SetBackStyle(0);
    TRBlkCbo3(0).Move(1035, 0, 1110, 315);
    TRBlkCbo3(0).SetStyle(vbComboDropdownList);
    TRBlkScr.Move(2250, y0 + 720, 255, 4 * kLinhaMapa);
    TRBlkScr.SetMin(0);
    TRBlkScr.SetMax(0);
    TRBlkCap(2).Move(90, y0 + 2085, 1005, 225);
    TRBlkTxt(0).Move(1095, y0 + 2055, 465, 285);
    TRBlkCap(3).Move(90, y0 + 2400, 1005, 225);
    TRBlkTxt(1).Move(1095, y0 + 2370, 465, 285);
    for (TextBox& t : TRBlkTxt) t.SetText("1");
    TRBlkExecutaCmd.Move(1620, y0 + 2055, 885, 600);
    TRBlkExecutaCmd.SetCaption("Inicia");
    BLKProgress.Move(90, y0 + 2760, 2415, 255);

    // ---- 3 "Pontos": the menu is 135 x 107 pixels
    PtoMenu.Move(285, y0 + 60, 2025, 1605);
    lblPtos.Move(90, y0 + 1740, 2415, 435);
    lblPtos.SetWordWrap(true);
    lblPtos.SetAlignment(vbCenter);
    lblPtos.SetBackStyle(0);
    PTSProgress.Move(90, y0 + 2355, 2415, 255);
    PTSProgresslbl.Move(90, y0 + 2655, 2415, 225);
    PTSProgresslbl.SetBackStyle(0);

    // ---- 4 "Seções"
    const char* sec[] = {"Pontos:",      "Menor Cota:",   "Maior Cota:",    "Diferença:", "Maior diferença:",
                         "Comprimento:", "Progressiva :", "Esc.Vert./Hor.", "/ 1",        "Equidistancia :"};
    for (int i = 0; i < 10; ++i) {
        SECcap(i).SetCaption(sec[i]);
        SECcap(i).SetBackStyle(0);
    }
    SECcap(6).Move(90, y0 + 30, 1170, 225);
    SECtxt(0).Move(1335, y0, 1170, 285);
    SECcap(7).Move(90, y0 + 360, 1170, 225);
    SECtxt(1).Move(1335, y0 + 330, 780, 285);
    SECtxt(1).SetToolTipText("Escala Horizontal dividido pela Escala Vertical");
    SECcap(8).Move(2160, y0 + 360, 345, 225);
    SECcap(9).Move(90, y0 + 690, 1170, 225);
    SECtxt(2).Move(1335, y0 + 660, 1170, 285);
    SECtxt(0).SetText("0");
    SECtxt(1).SetText("10");
    SECtxt(2).SetText("1");
    SECCmd(0).Move(90, y0 + 1035, 1335, 345);
    SECCmd(0).SetCaption("Selecione Polyline");
    SECCmd(1).Move(1485, y0 + 1035, 1020, 345);
    SECCmd(1).SetCaption("Desenhar");
    SECCmd(1).SetEnabled(false);
    for (int i = 0; i < 6; ++i) {
        SECcap(i).Move(90, y0 + 1470 + i * 225, 1410, 225);
        SEClbl(i).Move(1530, y0 + 1470 + i * 225, 975, 225);
        SEClbl(i).SetCaption("0");
        SEClbl(i).SetAlignment(vbRightJustify);
        SEClbl(i).SetBackStyle(0);
    }
    SECProgress.Move(90, y0 + 2835, 2415, 255);

    // ---- 5 "Misc."
    KMTopogCmd.Move(90, y0, 2415, 345);
    KMTopogCmd.SetCaption("Medir Levantamento");
    CorrigeHatchCmd.Move(90, y0 + 435, 2415, 345);
    CorrigeHatchCmd.SetCaption("Corrige Hatch");
    MISCSpl2PlTxt.Move(90, y0 + 885, 495, 315);
    MISCSpl2PlTxt.SetToolTipText("de 4 a 26 - Numero de pontos adicionais para cada segmento ");
    MISCSpl2PlCmd.Move(660, y0 + 870, 1845, 345);
    MISCSpl2PlCmd.SetCaption("Spline para Pline");
    MISCZzeroCmd.Move(90, y0 + 1305, 2415, 345);
    MISCZzeroCmd.SetCaption("Coordenada Z = zero");
    MISCProgress.Move(90, y0 + 2355, 2415, 255);
    MISCProgresslbl.Move(90, y0 + 2655, 2415, 225);
    MISCProgresslbl.SetBackStyle(0);
}

void TOPDes98::Start()
{
    if (gTopoCarregado == 0) {
        if (!Db_) Db_ = std::make_unique<clsTOPDb>();
        Db_->LoadDb();
    }
    PtoMenu.NewMenu("Pontos", 3, 3, 107, 135, Figura("PTOMENUFLAT"), Figura("PTOMENUMOVE"), Figura("PTOMENUCLICK"));
    int indice = 1;
    for (const ItemMenu& m : kMenuPontos)
        PtoMenu.AddBotao(indice++, m.Key, m.Descricao, "xx", "xx", m.Linha, m.Coluna, 0, 0);
}

void TOPDes98::PtoMenu_Click(int Index)
{
    // The long tools yield at every step: a second click meanwhile would start
    // a command inside the one running.
    const bool desligado = PtoMenu.MenuOff;
    PtoMenu.MenuOff = true;
    Protegido([&] {
        if (!ConectaAcad()) return;
        switch (Index) {
        case 1: {
            Ponto p;
            std::string nome, cota, descricao;
            InfoPonto(true, false, p, nome, cota, descricao, "Selecione ponto: ", false);
            break;
        }
        case 2: InserirPonto(); break;
        case 3: PontosSemXData(PTSProgress); break;
        case 4: PurgeXData(PTSProgress); break;
        case 5: MudarCotas(PTSProgress); break;
        case 6: LocalizarPonto(); break;
        case 7: ImportarPontosTxt(PTSProgress); break;
        case 8: RefazTextosPontos(PTSProgress); break;
        case 9: RemoverPontosDuplicados(PTSProgress); break;
        default: break;
        }
    });
    PtoMenu.MenuOff = desligado;
}

void TOPDes98::PtoMenu_Mouse(const std::string& Descricao) { lblPtos.SetCaption(Descricao); }

// The section worker lives only while its tab is the one chosen last.
void TOPDes98::SSTopo_Click(int)
{
    Secao_.reset();
    const int aba = SSTopo.Tab();
    if (aba == 0) SelecionaTipoCadastro(0);
    if (aba == 4) Secao_ = std::make_unique<clsTOPSec>();
}

void TOPDes98::Im_MouseDown(int Index)
{
    Bu.SetLeft(kMarcaFora);
    Bd.SetTop(Im(Index).Top());
    Bd.SetLeft(kMarcaAoLado);
}

void TOPDes98::Im_MouseMove(int Index)
{
    if (Index == ImAnterior_) return;
    Bu.SetTop(Im(Index).Top());
    Bu.SetLeft(kMarcaAoLado);
    ImAnterior_ = Index;
}

// Types 6 and 7 act at once and keep no pressed marker; 0 to 5 stay chosen.
void TOPDes98::Im_MouseUp(int Index)
{
    if (Index > 5) {
        Bu.SetLeft(kMarcaAoLado);
        Bd.SetTop(Im(Index).Top());
        Bd.SetLeft(kMarcaFora);
    }
    SelecionaTipoCadastro(Index);
}

void TOPDes98::MISCSpl2PlTxt_KeyPress(int& KeyAscii)
{
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn) return;
    KeyAscii = 0;
}

// ---------------------------------------------------------------- "Cadastro"

void TOPDes98::SelecionaTipoCadastro(int Index)
{
    if (Index >= 0 && Index <= 5) {
        const TipoCadastroRec& t = kTiposCadastro[Index];
        BlocoCadastro_ = t.Bloco;
        CADlbl2.SetCaption(t.Legenda);
        for (int i : {0, 2, 3}) {
            CADlbl(i).SetVisible(t.Visiveis[i]);
            CADtxt(i).SetVisible(t.Visiveis[i]);
        }
        TipoCadastro_ = Index;
        CADtxt(t.Foco).SetFocus();
        CADtxt(t.Foco).SetSelStart(0);
        CADtxt(t.Foco).SetSelLength(50);
    } else if (Index == 6) {
        QuantidadesCadastro();
    } else if (Index == 7) {
        Protegido([] {
            if (ConectaAcad()) InsereSoleiraBaixa();
        });
    }
}

void TOPDes98::CADInsertCmd_Click()
{
    Protegido([&] {
        if (!ConectaAcad()) return;
        if (BlocoCadastro_.empty()) {
            ExibeMensagem(0, "Atenção", "Escolha o tipo da edificação.");
            return;
        }
        // A field the chosen type hides writes nothing into its tag.
        const TipoCadastroRec& t = kTiposCadastro[TipoCadastro_];
        std::array<std::string, 4> textos;
        for (int i = 0; i < 4; ++i)
            if (t.Visiveis[i]) textos[static_cast<std::size_t>(i)] = CADtxt(i).Text();
        InsereEdificacao(BlocoCadastro_, textos);
    });
}

void TOPDes98::QuantidadesCadastro()
{
    Protegido([&] {
        if (ConectaAcad()) DesenhaQuantidades(ProgressBar1);
    });
}

void TOPDes98::CADtxt_GotFocus(int Index)
{
    CADtxt(Index).SetSelStart(0);
    CADtxt(Index).SetSelLength(50);
}

// Enter walks to the next field shown and, after the last, inserts; the
// arrows step through the six building types.
void TOPDes98::CADtxt_KeyDown(int Index, int& KeyCode)
{
    if (KeyCode == vbKeyReturn) {
        for (int i = Index + 1; i < 4; ++i) {
            if (kTiposCadastro[TipoCadastro_].Visiveis[i]) {
                CADtxt(i).SetFocus();
                return;
            }
        }
        CADInsertCmd_Click();
        return;
    }
    int tipo = TipoCadastro_;
    if (KeyCode == vbKeyLeft || KeyCode == vbKeyUp)
        tipo = tipo == 0 ? 5 : tipo - 1;
    else if (KeyCode == vbKeyRight || KeyCode == vbKeyDown)
        tipo = tipo == 5 ? 0 : tipo + 1;
    else
        return;
    KeyCode = 0;
    Bd.SetTop(Im(tipo).Top());
    Bd.SetLeft(kMarcaAoLado);
    Bu.SetLeft(kMarcaFora);
    SelecionaTipoCadastro(tipo);
}

// ---------------------------------------------------------------- "Misc."

void TOPDes98::CorrigeHatchCmd_Click()
{
    Protegido([] { CorrigeHatch(); });
}

void TOPDes98::KMTopogCmd_Click()
{
    Protegido([&] { MedirLevantamento(MISCProgress); });
}

void TOPDes98::MISCSpl2PlCmd_Click()
{
    Protegido([&] { SplineParaPline(MISCSpl2PlTxt.Text(), MISCProgress); });
}

void TOPDes98::MISCZzeroCmd_Click()
{
    Protegido([&] { CoordenadaZZero(MISCProgress); });
}

// ---------------------------------------------------------------- "Blocos"

namespace {

}  // namespace

// The caption's first letter tells the step: "Inicia" fills the lists,
// "Executa" runs the replacement.
void TOPDes98::TRBlkExecutaCmd_Click()
{
    Protegido([&] {
        const std::string c = TRBlkExecutaCmd.Caption();
        if (c.rfind('I', 0) == 0)
            TRBlkInicia();
        else if (c.rfind('E', 0) == 0)
            TRBlkExecuta();
    });
}

void TOPDes98::TRBlkInicia()
{
    if (!ConectaAcad()) return;
    TRBlkCbo1.Clear();
    TRBlkCbo2.Clear();
    const std::vector<std::string> nomes = BlocosDoDesenho();
    for (const std::string& n : nomes) {
        TRBlkCbo1.AddItem(n);
        TRBlkCbo2.AddItem(n);
    }
    if (nomes.empty()) {
        ExibeMensagem(0, "Atenção", "Nenhum bloco neste desenho!");
        return;
    }
    TRBlkCbo2.AddItem(kArquivoBloco);
    TRBlkFrm.SetHeight(360);
    // The first items are shown chosen without running their commands.
    ListasProntas = false;
    TRBlkCbo1.SetListIndex(0);
    TRBlkCbo2.SetListIndex(0);
    ListasProntas = true;
    TRBlkLbl(0).SetCaption("");
    TRBlkLbl(0).SetToolTipText("");
    // A replacement chosen in an earlier run is not the one shown now.
    BlocoNovo.clear();
    TagsNovas_.clear();
    LinhasAtributo_ = 0;
    Cbo2Anterior_ = 0;
    // The block shown in "Trocar este:" shows its rows, as if chosen; one
    // without insertions shows none, without a word until it is chosen.
    TRBlkLinhasDoBloco(Apara(TRBlkCbo1.Text()));
    TRBlkTxt(0).SetText("1");
    TRBlkTxt(1).SetText("1");
    TRBlkExecutaCmd.SetCaption("Executa");
}

// The rows of the block to replace, one per attribute of its first insertion,
// each with its list of the replacement's tags. False when the block has no
// insertion: only row 0 is left, as it was.
bool TOPDes98::TRBlkLinhasDoBloco(const std::string& Nome)
{
    for (Label& l : TRBlkLbl)
        if (l.Index() > 0) l.SetVisible(false);
    if (LinhasAtributo_ > 1) LinhasAtributo_ = 1;
    Conjunto_ = InsercoesDoBloco("SS1", Nome);
    const bool achou = Conjunto_->Count() >= 1;
    if (achou) {
        const std::vector<std::string> tags = TagsDaPrimeira(*Conjunto_);
        TRBlkFrm.SetTop(0);
        TRBlkScr.SetValue(0);
        const int n = static_cast<int>(tags.size());
        for (int i = 0; i < n; ++i) {
            if (!TRBlkLbl.Exists(i)) {
                TRBlkLbl.Load(i);
                TRBlkLbl(i).SetTop(TRBlkLbl(i - 1).Top() + kLinhaMapa);
                UltimaLinhaAtributo = i;
            }
            TRBlkFrm.SetHeight(TRBlkLbl(i).Top() + kLinhaMapa);
            const int maximo = static_cast<int>(TRBlkFrm.Height() / kLinhaMapa) - 4;
            TRBlkScr.SetMax(maximo < 1 ? 0 : maximo);
            TRBlkLbl(i).SetCaption(tags[i]);
            TRBlkLbl(i).SetToolTipText(tags[i]);
            TRBlkLbl(i).SetVisible(true);
        }
        // No row of another block stays in sight, nor in the map.
        if (n == 0) {
            TRBlkLbl(0).SetCaption("");
            TRBlkLbl(0).SetToolTipText("");
        }
        LinhasAtributo_ = n;
    }
    TRBlkListas();
    return achou;
}

// Beside every row in use a list of the replacement's tags, whichever of the
// two blocks was chosen first; none beside the other rows.
void TOPDes98::TRBlkListas()
{
    const int linhas = TRBlkLinhas();
    for (int i = 0; i < linhas; ++i) {
        if (!TRBlkCbo3.Exists(i)) {
            TRBlkCbo3.Load(i);
            TRBlkCbo3(i).SetTop(TRBlkLbl(i).Top());
        }
        TRBlkCbo3(i).SetVisible(true);
    }
    for (ComboBox& c : TRBlkCbo3) {
        if (c.Index() >= linhas) c.SetVisible(false);
        c.Clear();
        c.SetToolTipText("");
        for (const std::string& t : TagsNovas_) c.AddItem(t);
    }
}

// The block to replace: its rows.
void TOPDes98::TRBlkCbo1_Click()
{
    if (!ListasProntas) return;
    Protegido([&] {
        const std::string nome = Apara(TRBlkCbo1.Text());
        TRBlkCbo1.SetToolTipText(nome);
        if (!ConectaAcad()) return;
        if (!TRBlkLinhasDoBloco(nome)) ExibeMensagem(0, nome, "Nenhuma inserção deste bloco neste desenho");
    });
}

// The replacement: a block of the drawing, or one defined from a drawing file;
// its tags fill the list of every row in use. A file not chosen (or not read)
// puts back the replacement chosen before it.
void TOPDes98::TRBlkCbo2_Click()
{
    if (!ListasProntas) return;
    const std::string anterior = BlocoNovo;
    bool escolhido = false;
    Protegido([&] {
        if (!ConectaAcad()) return;
        BlocoNovo = TRBlkCbo2.Text();
        int indice = TRBlkCbo2.ListIndex();
        if (BlocoNovo == kArquivoBloco) {
            clsCommonDialog dlg;
            dlg.SetDefaultExt("dwg");
            dlg.SetFilter("AutoCAD Drawing *.dwg|*.dwg");
            if (dlg.ShowOpen(gMainForm) <= 0) {
                ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
                return;
            }
            BlocoNovo = DefineBlocoDeArquivo(dlg.Filename());
            TRBlkCbo2.SetToolTipText(BlocoNovo);
            TRBlkCbo2.AddItem(BlocoNovo);
            // Shown as the choice, as a block of the list would be.
            indice = TRBlkCbo2.NewIndex();
            ListasProntas = false;
            TRBlkCbo2.SetListIndex(indice);
            ListasProntas = true;
        }
        TagsNovas_ = TagsDoBlocoNovo(BlocoNovo, ConjuntoNovo);
        Cbo2Anterior_ = indice;
        escolhido = true;
        TRBlkListas();
    });
    if (escolhido) return;
    BlocoNovo = anterior;
    ListasProntas = false;
    TRBlkCbo2.SetListIndex(Cbo2Anterior_);
    ListasProntas = true;
}

void TOPDes98::TRBlkCbo3_Click(int Index) { TRBlkCbo3(Index).SetToolTipText(TRBlkCbo3(Index).Text()); }

void TOPDes98::TRBlkScr_Change() { TRBlkFrm.SetTop(-kLinhaMapa * TRBlkScr.Value()); }

void TOPDes98::TRBlkTxt_KeyPress(int, int& KeyAscii)
{
    if (KeyAscii == ',') KeyAscii = '.';
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == '.' || KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn)
        return;
    KeyAscii = 0;
}

// Everything is checked before anything is deleted: the map's choices, the
// replacement block, the factors. Only the rows and lists the user sees make
// the map.
void TOPDes98::TRBlkExecuta()
{
    if (!ConectaAcad()) return;
    const int linhas = TRBlkLinhas();
    auto lista = [&](int i) -> ComboBox* {
        if (i >= linhas || !TRBlkCbo3.Exists(i) || !TRBlkCbo3(i).Visible()) return nullptr;
        return &TRBlkCbo3(i);
    };
    for (int i = 0; i < linhas; ++i) {
        ComboBox* a = lista(i);
        if (!a || a->ListIndex() < 0) continue;
        for (int j = i + 1; j < linhas; ++j) {
            ComboBox* b = lista(j);
            if (b && b->ListIndex() == a->ListIndex()) {
                ExibeMensagem(0, "Atenção", "Valores repetidos");
                b->SetFocus();
                return;
            }
        }
    }
    const std::string porque = ConfereTroca(BlocoNovo, TRBlkTxt(0).Text(), TRBlkTxt(1).Text());
    if (!porque.empty()) {
        ExibeMensagem(0, "Atenção", porque);
        return;
    }
    const double fb = StrToDbl(TRBlkTxt(0).Text());
    const double ft = StrToDbl(TRBlkTxt(1).Text());

    MapaAtributos.assign(static_cast<std::size_t>(linhas), MapaAtributoRec{});
    for (int k = 0; k < linhas; ++k) {
        MapaAtributos[k].TagAntigo = TRBlkLbl(k).Caption();
        if (ComboBox* c = lista(k); c && c->ListIndex() >= 0) MapaAtributos[k].TagNovo = c->Text();
    }

    AtivaJanelaAcad();
    Conjunto_ = RecriaConjunto("SS1");
    Conjunto_->SelectOnScreen({0, 2}, {acad::Variant("INSERT"), acad::Variant(NomeLiteral(Apara(TRBlkCbo1.Text())))});
    std::vector<acad::BlockReference*> antigas;
    for (acad::Entity* e : *Conjunto_)
        if (auto* r = dynamic_cast<acad::BlockReference*>(e)) antigas.push_back(r);
    if (antigas.empty()) return;

    BLKProgress.SetEnabledTimer(true);
    BLKProgress.Progress_Start(static_cast<long long>(antigas.size()));
    try {
        TrocaInsercoes(antigas, BlocoNovo, fb, ft, MapaAtributos, BLKProgress);
    } catch (...) {
        gAcadDoc->Regen(acad::acActiveViewport);
        BLKProgress.Progress_Start(0, "");
        throw;
    }
    gAcadDoc->Regen(acad::acActiveViewport);
    BLKProgress.Progress_Start(0, "");
    TRBlkExecutaCmd.SetCaption("Inicia");
}

// ---------------------------------------------------------------- "Margens"
// The sheet tools: a new worker per press, reporting on the tab's bar.

namespace {
// Every sheet run yields at each sheet or row: a button pressed meanwhile
// would start a second run that re-creates the selection the first one is
// walking, over the drawing it is changing.
bool gMarArqsRodando = false;

template <typename Comando>
void Margens(ProgressBar& Barra, Comando&& Executa)
{
    if (gMarArqsRodando) return;
    gMarArqsRodando = true;
    AoSair libera([] { gMarArqsRodando = false; });
    Protegido([&] {
        clsTOPMar mar;
        Barra.SetVisible(true);
        mar.ProgressBar = &Barra;
        Executa(mar);
    });
}
}  // namespace

void TOPDes98::InsQuaCmd_Click()
{
    Margens(MARProgress, [&](clsTOPMar& mar) {
        mar.fMARVPDimX = MARVPDimX_;
        mar.fMARVPDimY = MARVPDimY_;
        mar.fMAREscala = MAREscala_;
        mar.InsertQuad();
    });
}

void TOPDes98::NumQuadCmd_Click()
{
    Margens(MARProgress, [](clsTOPMar& mar) { mar.NumerarQuads(); });
}

void TOPDes98::InsUTMCmd_Click()
{
    Margens(MARProgress, [](clsTOPMar& mar) { mar.InsertUTM(); });
}

// ---------------------------------------------------------------- sheet layouts and files

// Each press reads the sheets afresh into a worker of its own.
void TOPDes98::MarArqs_Click(int Index)
{
    Margens(MARProgress, [&](clsTOPMar& mar) {
        if (!mar.SelectQuads()) mar.MARLayout(Index);
    });
}

// ---------------------------------------------------------------- settings

void TOPDes98::SetMARVPDimX(double v)
{
    MARVPDimX_ = v;
    PropertyChanged("MARVPDimX");
}

void TOPDes98::SetMARVPDimY(double v)
{
    MARVPDimY_ = v;
    PropertyChanged("MARVPDimY");
}

void TOPDes98::SetMAREscala(double v)
{
    MAREscala_ = v;
    PropertyChanged("MAREscala");
}

void TOPDes98::SetAcadZoomCenter(int v)
{
    AcadZoomCenter_ = v;
    PropertyChanged("AcadZoomCenter");
}

void TOPDes98::SetAcadZoomScale(double v)
{
    AcadZoomScale_ = v;
    PropertyChanged("AcadZoomScale");
}

void TOPDes98::SetSeparadorDecimal(long v)
{
    SeparadorDecimal_ = v;
    PropertyChanged("SeparadorDecimal");
}

void TOPDes98::SetPRECCOTA(int v)
{
    PRECCOTA_ = v;
    PropertyChanged("PRECCOTA");
}

void TOPDes98::SetPRECOORD(int v)
{
    PRECOORD_ = v;
    PropertyChanged("PRECOORD");
}

void TOPDes98::SetPRECDIST(int v)
{
    PRECDIST_ = v;
    PropertyChanged("PRECDIST");
}

const forms::Settings<TOPDes98> TOPDes98::kSettings = {
    {"MARVPDimX", &TOPDes98::MARVPDimX_, 786},
    {"MARVPDimY", &TOPDes98::MARVPDimY_, 499},
    {"MAREscala", &TOPDes98::MAREscala_, 1000},
    {"AcadZoomCenter", &TOPDes98::AcadZoomCenter_, 400},
    {"AcadZoomScale", &TOPDes98::AcadZoomScale_, 0.4},
    {"SeparadorDecimal", &TOPDes98::SeparadorDecimal_, 1},
    {"PRECCOTA", &TOPDes98::PRECCOTA_, 3},
    {"PRECOORD", &TOPDes98::PRECOORD_, 4},
    {"PRECDIST", &TOPDes98::PRECDIST_, 2},
};

// The panel keeps its size whatever its host gives it.
void TOPDes98::UserControl_Resize() { Size(2595, 3735); }

// ---------------------------------------------------------------- "Seções"

void TOPDes98::SECCmd_Click(int Index)
{
    Protegido([&] {
        // Entries that would make the drawing's loops endless are refused
        // before anything is selected or drawn.
        std::string erro = clsTOPSec::ConfereEquidistancia(SECtxt(2).Text());
        if (erro.empty() && Index == 1) erro = clsTOPSec::ConfereEscala(SECtxt(1).Text());
        if (!erro.empty()) {
            ExibeMensagem(0, "Seções", erro);
            return;
        }
        if (Index == 0) {
            for (int i = 0; i <= 5; ++i) SEClbl(i).SetCaption("0");
            Secao_ = std::make_unique<clsTOPSec>();
            clsTOPSec& s = *Secao_;
            s.ZoomScale = 140.0;
            s.ZoomCenter = 200.0;
            s.PRECDIST = PRECDIST_;
            s.PRECCOTA = PRECCOTA_;
            s.Equidist = StrToDbl(SECtxt(2).Text());
            s.nPontosLbl = &SEClbl(0);
            s.ComprLbl = &SEClbl(5);
            s.MinCotaLbl = &SEClbl(1);
            s.MaxCotaLbl = &SEClbl(2);
            s.DiferenLbl = &SEClbl(3);
            s.MaxDifLbl = &SEClbl(4);
            s.ProgresTxt = &SECtxt(0);
            s.EscalaTxt = &SECtxt(1);
            s.CmdSelect = &SECCmd(0);
            s.CmdDraw = &SECCmd(1);
            s.ProgBar = &SECProgress;
            s.Selecionar();
            return;
        }
        if (Index != 1) return;
        // The worker of the tab's last visit has read nothing: there is no
        // section to draw until the polyline is selected again.
        if (!Secao_ || Secao_->Vertices().empty()) {
            SECCmd(1).SetEnabled(false);
            return;
        }
        SECProgress.SetEnabledTimer(true);
        SECCmd(0).SetVisible(false);
        SECCmd(1).SetEnabled(false);
        SECtxt(0).SetEnabled(false);
        SECtxt(1).SetEnabled(false);
        Secao_->Exagero = StrToDbl(SECtxt(1).Text());
        Secao_->Equidist = StrToDbl(SECtxt(2).Text());
        Secao_->TextHeight = 1.5;
        Secao_->Desenhar();
    });
}

void TOPDes98::SECtxt_KeyPress(int Index, int& KeyAscii)
{
    if (KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn) return;
    if (KeyAscii == ',') KeyAscii = '.';
    // The equidistance is a whole number.
    if (KeyAscii == '.' && Index != 2) return;
    if (KeyAscii >= '0' && KeyAscii <= '9') return;
    KeyAscii = 0;
}

void TOPDes98::SECtxt_LostFocus(int Index)
{
    if (!SECtxt(Index).Text().empty()) return;
    if (Index == 0) SECtxt(0).SetText("0");
    if (Index == 1) SECtxt(1).SetText("10");
}
