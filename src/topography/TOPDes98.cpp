#include "topography/TOPDes98.h"

#include <exception>
#include <utility>

#include "cad/modAcad.h"
#include "cad/modInfoPonto.h"
#include "platform/acad/Error.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPDb.h"
#include "topography/clsTOPMar.h"
#include "topography/clsTOPSec.h"
#include "topography/modPontosTopo.h"

using namespace forms;

namespace {

// Where the building-type markers stand: beside the buttons, or out of sight.
constexpr double kMarcaAoLado = 3;
constexpr double kMarcaFora = -100;

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

    InitProperties += [this] { UserControl_InitProperties(); };
    ReadProperties += [this](PropertyBag& b) { UserControl_ReadProperties(b); };
    WriteProperties += [this](PropertyBag& b) { UserControl_WriteProperties(b); };
    Resize += [this] { UserControl_Resize(); };

    SSTopo.Click += [this](int PreviousTab) { SSTopo_Click(PreviousTab); };
    PtoMenu.Click += [this](int Index) { PtoMenu_Click(Index); };
    PtoMenu.Mouse += [this](const std::string& d) { PtoMenu_Mouse(d); };
    Im.MouseDown += [this](int Index, int, int, double, double) { Im_MouseDown(Index); };
    Im.MouseMove += [this](int Index, int, int, double, double) { Im_MouseMove(Index); };
    Im.MouseUp += [this](int Index, int, int, double, double) { Im_MouseUp(Index); };
    MarArqs.Click += [this](int Index) { MarArqs_Click(Index); };
    MISCSpl2PlTxt.KeyPress += [this](int& KeyAscii) { MISCSpl2PlTxt_KeyPress(KeyAscii); };
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
    const char* tipos[] = {"Residencial Unifamiliar", "Residencial Multifamiliar", "Edificação Mista",
                           "Edificação Comercail",    "Edificação Industrial",     "Serviços Públicos",
                           "Quantidades",             "Soleira Baixa"};
    for (int i = 0; i < 8; ++i) {
        Im(i).Move(120, i * 210, 1440, 210);
        Im(i).SetToolTipText(tipos[i]);
        Im(i).SetPicture(Figura("TOPCAD" + std::to_string(i)));
    }
    Bu.Move(kMarcaFora, 0, 90, 210);
    Bu.SetPicture(Figura("TOPCADBU"));
    Bd.Move(kMarcaAoLado, 0, 90, 210);
    Bd.SetPicture(Figura("TOPCADBD"));
    CADlbl2.Move(1800, y0 + 1320, 705, 255);
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
    TRBlkLbl(0).Move(90, y0, 2415, 225);
    TRBlkCbo1.Move(90, y0 + 225, 2415, 315);
    TRBlkLbl(1).Move(90, y0 + 585, 2415, 225);
    TRBlkCbo2.Move(90, y0 + 810, 2415, 315);
    TRblkPic.Move(90, y0 + 1170, 1215, 915);
    TRBlkCbo3.Move(1350, y0 + 1170, 1155, 315);
    TRBlkScr.Move(1350, y0 + 1530, 1155, 255);
    TRBlkLbl(2).Move(90, y0 + 2130, 1170, 225);
    TRBlkTxt(0).Move(90, y0 + 2355, 1170, 285);
    TRBlkLbl(3).Move(1335, y0 + 2130, 1170, 225);
    TRBlkTxt(1).Move(1335, y0 + 2355, 1170, 285);
    TRBlkExecutaCmd.Move(1560, y0 + 1830, 945, 285);
    TRBlkExecutaCmd.SetCaption("Inicia");
    BLKProgress.Move(90, y0 + 2730, 2415, 255);
    for (int i = 0; i < 4; ++i) {
        TRBlkLbl(i).SetCaption(blk[i]);
        TRBlkLbl(i).SetBackStyle(0);
    }
    for (ComboBox* c : {&TRBlkCbo1, &TRBlkCbo2, &TRBlkCbo3}) c->SetStyle(vbComboDropdownList);

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
    const char* sec[] = {"Pontos:",      "Menor Cota:",    "Maior Cota:", "Diferença:", "Maior diferença:",
                         "Comprimento:", "Progressiva :", "Esc.Vert./Hor.", "/ 1",     "Equidistancia :"};
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
        case 2:
            InserirPonto();
            break;
        case 7:
            ImportarPontosTxt(PTSProgress);
            break;
        default:
            break;
        }
    });
    PtoMenu.MenuOff = desligado;
}

void TOPDes98::PtoMenu_Mouse(const std::string& Descricao)
{
    lblPtos.SetCaption(Descricao);
}

// The section worker lives only while its tab is the one chosen last.
void TOPDes98::SSTopo_Click(int)
{
    Secao_.reset();
    const int aba = SSTopo.Tab();
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
    TipoCadastro_ = Index;
}

void TOPDes98::MISCSpl2PlTxt_KeyPress(int& KeyAscii)
{
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == vbKeyBack || KeyAscii == vbKeyReturn) return;
    KeyAscii = 0;
}

// ---------------------------------------------------------------- "Margens"
// The sheet tools: a new worker per press, reporting on the tab's bar.

void TOPDes98::InsQuaCmd_Click()
{
    Protegido([&] {
        clsTOPMar mar;
        MARProgress.SetVisible(true);
        mar.ProgressBar = &MARProgress;
        mar.fMARVPDimX = MARVPDimX_;
        mar.fMARVPDimY = MARVPDimY_;
        mar.fMAREscala = MAREscala_;
        mar.InsertQuad();
    });
}

void TOPDes98::NumQuadCmd_Click()
{
    Protegido([&] {
        clsTOPMar mar;
        MARProgress.SetVisible(true);
        mar.ProgressBar = &MARProgress;
        mar.NumerarQuads();
    });
}

void TOPDes98::InsUTMCmd_Click()
{
    Protegido([&] {
        clsTOPMar mar;
        MARProgress.SetVisible(true);
        mar.ProgressBar = &MARProgress;
        mar.InsertUTM();
    });
}

// ---------------------------------------------------------------- sheet layouts and files

namespace {
// A sheet run yields at every sheet: a button pressed meanwhile would start a
// second walk over the drawing the first one is changing.
bool gMarArqsRodando = false;
}  // namespace

// Each press reads the sheets afresh into a worker of its own.
void TOPDes98::MarArqs_Click(int Index)
{
    if (gMarArqsRodando) return;
    gMarArqsRodando = true;
    Protegido([&] {
        clsTOPMar Mar;
        MARProgress.SetVisible(true);
        Mar.ProgressBar = &MARProgress;
        if (!Mar.SelectQuads()) Mar.MARLayout(Index);
    });
    gMarArqsRodando = false;
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

void TOPDes98::UserControl_InitProperties()
{
    MARVPDimX_ = 786;
    MARVPDimY_ = 499;
    MAREscala_ = 1000;
    AcadZoomCenter_ = 400;
    AcadZoomScale_ = 0.4;
    SeparadorDecimal_ = 1;
    PRECCOTA_ = 3;
    PRECOORD_ = 4;
    PRECDIST_ = 2;
}

void TOPDes98::UserControl_ReadProperties(PropertyBag& PropBag)
{
    MARVPDimX_ = PropBag.ReadProperty("MARVPDimX", 786.0);
    MARVPDimY_ = PropBag.ReadProperty("MARVPDimY", 499.0);
    MAREscala_ = PropBag.ReadProperty("MAREscala", 1000.0);
    AcadZoomCenter_ = PropBag.ReadProperty("AcadZoomCenter", 400);
    AcadZoomScale_ = PropBag.ReadProperty("AcadZoomScale", 0.4);
    SeparadorDecimal_ = PropBag.ReadProperty("SeparadorDecimal", 1);
    PRECCOTA_ = PropBag.ReadProperty("PRECCOTA", 3);
    PRECOORD_ = PropBag.ReadProperty("PRECOORD", 4);
    PRECDIST_ = PropBag.ReadProperty("PRECDIST", 2);
}

void TOPDes98::UserControl_WriteProperties(PropertyBag& PropBag)
{
    PropBag.WriteProperty("MARVPDimX", MARVPDimX_, 786.0);
    PropBag.WriteProperty("MARVPDimY", MARVPDimY_, 499.0);
    PropBag.WriteProperty("MAREscala", MAREscala_, 1000.0);
    PropBag.WriteProperty("AcadZoomCenter", AcadZoomCenter_, 400);
    PropBag.WriteProperty("AcadZoomScale", AcadZoomScale_, 0.4);
    PropBag.WriteProperty("SeparadorDecimal", SeparadorDecimal_, 1);
    PropBag.WriteProperty("PRECCOTA", PRECCOTA_, 3);
    PropBag.WriteProperty("PRECOORD", PRECOORD_, 4);
    PropBag.WriteProperty("PRECDIST", PRECDIST_, 2);
}

// The panel keeps its size whatever its host gives it.
void TOPDes98::UserControl_Resize()
{
    Size(2595, 3735);
}
