#include "app/Form1.h"

#include "app/frmAbrirDir.h"
#include "platform/os/Files.h"
#include "platform/os/TextFile.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/clsWATDb.h"
#include "water/frmTable.h"

using namespace forms;

namespace {

// The brand this build carries.
const std::string MARCA = "QUORIL";

const std::string kBanco = "/rereva2000r.mdb";
const std::string kIniFile = "/IniFile.txt";

// A picture of the program's own; a missing one leaves its place empty rather
// than keeping the program from starting.
Picture Figura(const std::string& Nome, int Tipo)
{
    try {
        return LoadResPicture(Nome, Tipo);
    } catch (const forms::Error&) {
        return {};
    }
}

Picture Figura(int Numero, int Tipo)
{
    try {
        return LoadResPicture(Numero, Tipo);
    } catch (const forms::Error&) {
        return {};
    }
}

}  // namespace

Form1::Form1() : Form("Form1")
{
    SetBorderStyle(0);
    SetCaption("QuorilCAD");
    Move(0, 0, 3015, 5775);

    Picture1(0).Move(60, 60, 2310, 600);
    Picture1(0).SetBorderStyle(0);
    cmdMinimize.Move(2430, 150, 255, 255);
    cmdMinimize.SetCaption("_");
    cmdEnd.Move(2700, 150, 255, 255);
    cmdEnd.SetCaption("X");

    SSIniciar.Move(60, 720, 2895, 4995);
    SSIniciar.SetTabsPerRow(5);
    SSIniciar.SetTabHeight(435);
    for (int i = 0; i < 5; ++i) SSIniciar.SetTabCaption(i, "");

    // The about pages.
    SSQuoril.Move(150, 495, 2595, 3810);
    SSQuoril.SetTabsPerRow(2);
    SSQuoril.SetTabHeight(300);
    SSQuoril.SetTabCaption(0, "Aplicativo");
    SSQuoril.SetTabCaption(1, "Autoria");
    SSQuoril.SetTabCaption(2, "Colaboração");
    SSQuoril.SetTabCaption(3, "Sobre o...");
    AplicativoLbl.Move(120, 720, 2355, 2895);
    AplicativoLbl.SetCaption(
        "Desenho, numeração, verificação, quantitativos e exportação das redes de esgoto e de "
        "água, seguindo os padrões de desenho da companhia de saneamento."
        "\r\n\r\n"
        "Trabalha ao lado do programa de desenho: insere PVs, trechos, conexões e tubulações, "
        "confere a rede e exporta os dados para os programas de cálculo.");
    const char* autores[] = {"Contato", "Autor", "Empresa"};
    for (int i = 0; i < 3; ++i) {
        AutorLbl(i).Move(120 + i * 795, 720, 765, 255);
        AutorLbl(i).SetCaption(autores[i]);
        AutorLbl(i).SetAlignment(vbCenter);
        AutorImg(i).Move(120, 1095, 2355, 1500);
        AutorImg(i).SetVisible(i == 0);
    }
    AutorLbl(0).SetFontBold(true);
    ColaboracaoLbl.Move(120, 720, 2355, 2895);
    ColaboracaoLbl.SetCaption(
        "Sugestões, correções e relatos de problemas são bem-vindos e melhoram o programa para "
        "todos os que o usam."
        "\r\n\r\n"
        "Descreva o que fazia, o desenho ou a tabela em uso e a mensagem que apareceu.");
    Label1(0).Move(120, 720, 2355, 420);
    Label1(0).SetFontSize(14);
    Label1(0).SetFontBold(true);
    Label1(0).SetAlignment(vbCenter);
    Label1(1).Move(120, 1200, 2355, 255);
    Label1(1).SetCaption("Distribuição Gratuita");
    Label1(1).SetAlignment(vbCenter);
    Label1(2).Move(120, 1560, 2355, 1215);
    Label1(2).SetCaption(
        "Agradecimentos aos projetistas e técnicos que usaram as primeiras versões e contribuíram "
        "com sugestões e relatos de problemas.");
    Label1(2).SetAlignment(vbCenter);
    VersaoLbl.Move(120, 2880, 2355, 255);
    VersaoLbl.SetCaption("Versão:");
    VersaoLbl.SetAlignment(vbCenter);
    MdbPathCmd.Move(600, 3240, 1395, 375);
    MdbPathCmd.SetCaption("Configuração");

    // The about texts lie on the page's own background.
    for (Label* l : {&AplicativoLbl, &ColaboracaoLbl, &VersaoLbl, &Label1(0), &Label1(1), &Label1(2), &AutorLbl(0),
                     &AutorLbl(1), &AutorLbl(2)})
        l->SetBackStyle(0);

    // The panels and their option groups.
    SD.Move(150, 495, 2595, 3810);
    WC.Move(150, 495, 2595, 3810);
    CM.Move(150, 495, 2595, 3810);
    TD.Move(150, 495, 2595, 3735);
    const char* esgDicas[] = {"Ferramentas de Desenho", "Ferramentas de Importação/Exportação",
                              "Ferramentas de Desenho"};
    for (int i = 0; i < 3; ++i) {
        ESGOption1(i).Move(150 + i * 480, 4380, 450, 255);
        ESGOption1(i).SetCaption(std::to_string(i + 1));
        ESGOption1(i).SetToolTipText(esgDicas[i]);
        AGUOption1(i).Move(150 + i * 480, 4380, 450, 255);
        AGUOption1(i).SetCaption(std::to_string(i + 1));
        AGUOption1(i).SetToolTipText("Ferramentas de Desenho");
    }
    // Out of view until the user asks for it (Shift over a water option).
    TableCmd.Move(3500, 4665, 2055, 285);
    TableCmd.SetCaption("Ver Tabela de conexões");

    Load += [this] { Form1_Form_Load(); };
    SSIniciar.Click += [this](int PreviousTab) { Form1_SSIniciar_Click(PreviousTab); };
    ESGOption1.Click += [this](int Index) { Form1_ESGOption1_Click(Index); };
    AGUOption1.Click += [this](int Index) { Form1_AGUOption1_Click(Index); };
    AGUOption1.MouseMove +=
        [this](int i, int b, int s, double x, double y) { Form1_AGUOption1_MouseMove(i, b, s, x, y); };
    TableCmd.Click += [this] { Form1_TableCmd_Click(); };
    MdbPathCmd.Click += [this] { Form1_MdbPathCmd_Click(); };
    WC.Exportando += [this](bool Value) { Form1_WC_Exportando(Value); };
    Picture1.MouseDown += [this](int i, int b, int s, double x, double y) { Form1_Picture1_MouseDown(i, b, s, x, y); };
    Picture1.DblClick += [this](int Index) { Form1_Picture1_DblClick(Index); };
    cmdMinimize.Click += [this] { Form1_cmdMinimize_Click(); };
    cmdEnd.Click += [this] { Form1_cmdEnd_Click(); };
    AutorLbl.MouseMove += [this](int i, int b, int s, double x, double y) { Form1_AutorLbl_MouseMove(i, b, s, x, y); };
}

Form1::~Form1()
{
    if (gMainForm == this) gMainForm = nullptr;
}

void Form1::AplicaMarca(const std::string& Marca)
{
    if (Marca == "QUORIL") {
        SetIcon(Figura("_ICOQUORIL", vbResIcon));
        SetCaption("QuorilCAD");
        Label1(0).SetCaption("QuorilCAD");
        gLogo = Figura("_QUORIL", vbResBitmap);
        gBanner = Figura("_QUORIL2", vbResBitmap);
    } else if (Marca == "TELDRA") {
        SetIcon(Figura(101, vbResIcon));
        SetCaption("CADASTRO");
        Label1(0).SetCaption("Cadastro");
        gLogo = Figura("_TELDRA", vbResBitmap);
        gBanner = Figura("_TELDRA2", vbResBitmap);
    } else {
        gLogo = forms::Picture();
        gBanner = forms::Picture();
    }
}

void Form1::Form1_Form_Load()
{
    CarregaFigurasDoDesenho();

    // Branding, size, always on top.
    AplicaMarca(MARCA);
    Picture1(0).SetPicture(gLogo);
    SetHeight(5775);
    SetWidth(3015);
    StayOnTop(*this);

    // The settings every part reads.
    gAppPath = PastaPrograma();
    gAcadProgID = "AutoCAD.Application";
    gLayerConf = "0-Conferencia";

    // The database folder named by "IniFile.txt"; a missing file is no error.
    std::string pasta;
    if (os::FileExists(gAppPath + kIniFile)) {
        os::TextReader ini;
        if (ini.Open(gAppPath + kIniFile)) {
            ini.ReadLine(pasta);
            ini.Close();
        }
    }

    // A folder whose name the picker refuses is not taken from the file
    // either: the user is told why and chooses again.
    bool recusada = false;
    if (os::FileExists(pasta + kBanco)) {
        if (const std::string motivo = frmAbrirDir::Recusa(pasta); !motivo.empty()) {
            ExibeMensagem(0, "Atenção",
                          "A pasta do banco de dados indicada em " + gAppPath + kIniFile +
                              " não pode ser usada.\r\n\r\n" + motivo);
            recusada = true;
        }
    }

    // A folder without the database is never taken: the program folder,
    // else the user's choice.
    if (recusada || !os::FileExists(pasta + kBanco)) {
        if (!recusada && os::FileExists(gAppPath + kBanco)) {
            pasta = gAppPath;
            // A program folder the user may not write to is found the same
            // way at every start: nothing to tell.
            GravaIniFile(pasta);
        } else if (!EscolhePastaBanco(pasta, nullptr)) {
            // "Cancelar" at start-up: without a catalogue there is nothing to
            // work with, so the program ends.
            forms::Unload(*this);
            return;
        }
    }

    // The database and the block files and pictures beside it.
    gBlocosPath = pasta;
    gImagensPath = pasta;
    gMdbPath = pasta + kBanco;

    // Decimals to the panels.
    PRECCOTA = 3;
    PRECDIST = 2;
    PRECOORD = 4;
    PRECDECL = 6;
    gMainForm = this;
    SD.SetPRECCOTA(PRECCOTA);
    SD.SetPRECDECL(PRECDECL);
    SD.SetPRECDIST(PRECDIST);
    SD.SetPRECOORD(PRECOORD);
    WC.SetPRECCOTA(PRECCOTA);
    WC.SetPRECDIST(PRECDIST);

    // The build number.
    VersaoLbl.SetCaption("Compilação No. " + std::to_string(App.Major()) + " . " + std::to_string(App.Minor()) + " . " +
                         std::to_string(App.Revision()));
}

// The tab's panel starts (its catalogue loads the first time).
void Form1::Form1_SSIniciar_Click(int)
{
    try {
        switch (SSIniciar.Tab()) {
        case 0: SSQuoril.SetTab(0); break;
        case 1: SD.Start(false); break;
        case 2: WC.Start(false); break;
        case 3: CM.Start(); break;
        case 4: TD.Start(); break;
        default: break;
        }
    } catch (const std::exception& e) {
        // A panel that cannot start (a damaged catalogue) says why; the window stays usable.
        ExibeMensagem(0, "Atenção", e.what());
    }
}

void Form1::Form1_ESGOption1_Click(int Index) { SD.SetInterface(Index); }

void Form1::Form1_AGUOption1_Click(int Index) { WC.SetInterface(Index); }

// Shift over a water option brings the fittings-table button into view.
void Form1::Form1_AGUOption1_MouseMove(int, int, int Shift, double, double)
{
    if (Shift == vbShiftMask) TableCmd.SetLeft(720);
}

void Form1::Form1_TableCmd_Click()
{
    gMainForm->SetWindowState(vbMinimized);
    try {
        // The editor loads the catalogue itself when no panel has yet; a load
        // that fails has given its message and the editor does not open.
        if (!tabela_) tabela_ = std::make_unique<frmTable>();
        tabela_->Show(vbModal, gMainForm);
        forms::Unload(*tabela_);
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Atenção", e.what());
    }
    gMainForm->SetWindowState(vbNormal);
    // The editor may have changed the sockets: the water catalogue is read
    // again. Without a catalogue there was nothing to change, and a reload
    // would only repeat the message of the load that failed. A reload that
    // fails says why and keeps the catalogue as it was.
    if (!gMateriaisAgua.empty()) clsWATDb().LoadDb();
    TableCmd.SetLeft(3500);
}

void Form1::Form1_MdbPathCmd_Click()
{
    std::string pasta;
    if (!EscolhePastaBanco(pasta, this)) return;
    // Catalogues already loaded stay; the next loads read the new folder.
    gBlocosPath = pasta;
    gImagensPath = pasta;
    gMdbPath = pasta + kBanco;
}

void Form1::Form1_WC_Exportando(bool Value)
{
    // No tab change while the water export runs.
    SSIniciar.SetEnabled(Value);
}

void Form1::Form1_Picture1_MouseDown(int, int Button, int, double, double) { ArrastaJanela(*this, Button); }

void Form1::Form1_Picture1_DblClick(int) { SetWindowState(vbMinimized); }

void Form1::Form1_cmdMinimize_Click() { SetWindowState(vbMinimized); }

void Form1::Form1_cmdEnd_Click() { forms::Unload(*this); }

void Form1::Form1_AutorLbl_MouseMove(int Index, int, int, double, double)
{
    if (Index == autorAnterior_) return;
    for (int i = 0; i < 3; ++i) {
        AutorLbl(i).SetFontBold(false);
        AutorImg(i).SetVisible(false);
    }
    AutorLbl(Index).SetFontBold(true);
    AutorImg(Index).SetVisible(true);
    autorAnterior_ = Index;
}

// The pictures of the tabs and of the about page.
void Form1::CarregaFigurasDoDesenho()
{
    const char* abas[] = {"TAB_SOBRE", "TAB_ESGOTO", "TAB_AGUA", "TAB_COMUM", "TAB_TOPO"};
    for (int i = 0; i < 5; ++i) SSIniciar.SetTabPicture(i, Figura(abas[i], vbResIcon));
    const char* autores[] = {"AUTOR_CONTATO", "AUTOR_AUTOR", "AUTOR_EMPRESA"};
    for (int i = 0; i < 3; ++i) AutorImg(i).SetPicture(Figura(autores[i], vbResBitmap));
}

// Shows the folder picker until a folder holding the database is chosen, and
// then writes it into "IniFile.txt". False when the user cancelled.
bool Form1::EscolhePastaBanco(std::string& Pasta, forms::Form* Owner)
{
    if (!picker_) picker_ = std::make_unique<frmAbrirDir>();
    frmAbrirDir& picker = *picker_;
    bool escolhida = false;
    while (!escolhida) {
        DoEvents();
        picker.OK = false;
        picker.Cancel = false;
        picker.Show(vbModal, Owner);
        if (!picker.OK) break;
        Pasta = picker.Dir1.Path();
        if (os::FileExists(Pasta + kBanco)) {
            // The choice holds for this run anyway; unsaved, it is asked for again next time.
            if (const os::Status s = GravaIniFile(Pasta); !s)
                ExibeMensagem(0, "Atenção", "Não foi possível gravar o arquivo IniFile.txt.\r\n" + s.message);
            escolhida = true;
        }
    }
    forms::Unload(picker);
    return escolhida;
}

// "IniFile.txt": the folder as its only line, the file replaced each time.
os::Status Form1::GravaIniFile(const std::string& Pasta) { return os::WriteTextLines(gAppPath + kIniFile, {Pasta}); }
