#include "common/COMDes98.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modSelecao.h"
#include "common/modCadastro.h"
#include "common/modClipSetor.h"
#include "common/modEdificacoes.h"
#include "platform/acad/Error.h"
#include "platform/acad/TextEntities.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPDb.h"

using namespace forms;

namespace {

// Where the meter markers stand: beside the pictures, or out of sight.
constexpr double kMarcaAoLado = 30;
constexpr double kMarcaFora = 1000;

}  // namespace

COMDes98::COMDes98(Init init) : UserControl(std::move(init))
{
    // Red, yellow, green, cyan, blue, magenta, black.
    const long cores[7] = {255, 65535, 65280, 16776960, 16711680, 16711935, 0};
    for (int i = 0; i < 7; ++i) CoresGrade[i] = cores[i];

    DrwCmd.AddElement(2, SSTab1.Page(1));
    DrwCmd.AddElement(3, SSTab1.Page(1));
    DrwCmd.AddElement(4, SSTab1.Page(2));
    DrwCmd.AddElement(5, SSTab1.Page(2));
    ArrumaControles();

    Resize += [this] { UserControl_Resize(); };
    SSTab1.Click += [this](int PreviousTab) { SSTab1_Click(PreviousTab); };
    SetorTxt.KeyPress += [this](int& k) { SetorTxt_KeyPress(k); };
    QuadraTxt.KeyPress += [this](int& k) { QuadraTxt_KeyPress(k); };
    QuadraDTxt.KeyPress += [this](int& k) { QuadraDTxt_KeyPress(k); };
    QuadraDDTxt.KeyPress += [this](int Index, int& k) { QuadraDDTxt_KeyPress(Index, k); };
    // The first ten characters are selected on entry, so a new number replaces the old.
    auto seleciona = [](TextBox& t) {
        return [&t] {
            t.SetSelStart(0);
            t.SetSelLength(10);
        };
    };
    SetorTxt.GotFocus += seleciona(SetorTxt);
    QuadraTxt.GotFocus += seleciona(QuadraTxt);
    QuadraDTxt.GotFocus += seleciona(QuadraDTxt);
    QuadraDDTxt.GotFocus += [this](int Index) {
        QuadraDDTxt(Index).SetSelStart(0);
        QuadraDDTxt(Index).SetSelLength(10);
    };
    UnidScr.Change += [this] { UnidScr_Change(); };
    GRScr.Change += [this] { GRScr_Change(); };
    SequencialCmd.Click += [this] { SequencialCmd_Click(); };
    DrwCmd.Click += [this](int Index) { DrwCmd_Click(Index); };

    GRPlineCmd.Click += [this] { GRPlineCmd_Click(); };
    GRJoinCmd.Click += [this] { GRJoinCmd_Click(); };
    GRExecCmd.Click += [this] { GRExecCmd_Click(); };
    GRUndo.Click += [this] { GRUndo_Click(); };
    DelGradeCmd.Click += [this] { DelGradeCmd_Click(); };

    EdifCmd.Click += [this] { EdifCmd_Click(); };
    HidrImg.MouseDown += [this](int Index, int, int, double, double) { HidrImg_MouseDown(Index); };
    HidrImg.MouseMove += [this](int Index, int, int, double, double) { HidrImg_MouseMove(Index); };
    HidrImg.MouseUp += [this](int Index, int, int, double, double) { HidrImg_MouseUp(Index); };

    SETClipCmd.Click += [this] { SETClipCmd_Click(); };
    UpgradeCmd.Click += [this] { UpgradeCmd_Click(); };

    // The scroll bars' first values, painted and written through their own events.
    UnidScr.SetValue(1);
    UnidScr_Change();
    GRScr.SetValue(1);
    GRScr_Change();
    SSTab1_Click(0);
}

COMDes98::~COMDes98() = default;

// The panel's design: captions, tool tips and places in twips.
void COMDes98::ArrumaControles()
{
    Move(0, 0, 2595, 3810);

    // ---- above the tabs: the sector and the city block
    const char* topo[] = {" Setor:", " Quadra:"};
    for (int i = 0; i < 2; ++i) {
        Frame1(i).Move(120, i * 390, 2355, 375);
        Frame1(i).SetBorderStyle(0);
        Label1(i).Move(0, 75, 855, 225);
        Label1(i).SetCaption(topo[i]);
        Label1(i).SetBackStyle(0);
        DrwCmd(i).Move(1950, 30, 405, 315);
        DrwCmd(i).SetCaption(">");
    }
    SetorTxt.Move(885, 45, 1005, 285);
    QuadraTxt.Move(885, 45, 1005, 285);

    SSTab1.Move(0, 810, 2595, 2640);
    SSTab1.SetTabsPerRow(4);
    SSTab1.SetTabHeight(300);
    // Four captions share the row.
    SSTab1.SetFontSize(6);
    const char* abas[] = {"Setor", "Quad.", "Lote", "Editar"};
    for (int i = 0; i < 4; ++i) SSTab1.SetTabCaption(i, abas[i]);
    // One row of tabs: the pages begin below it.
    constexpr double y0 = 390;

    // ---- 0 "Setor"
    SETClipCmd.Move(90, y0 + 60, 2415, 345);
    SETClipCmd.SetCaption("Clip Setor");

    // ---- 1 "Quad."
    QuadraDTxt.Move(90, y0, 1890, 285);
    DrwCmd(2).Move(2055, y0 - 15, 405, 315);
    DrwCmd(2).SetCaption(">");
    QuadraDDTxt(0).Move(90, y0 + 375, 825, 285);
    QuadraDDLbl.Move(960, y0 + 405, 195, 225);
    QuadraDDLbl.SetCaption("a");
    QuadraDDLbl.SetBackStyle(0);
    QuadraDDTxt(1).Move(1155, y0 + 375, 825, 285);
    DrwCmd(3).Move(2055, y0 + 360, 405, 315);
    DrwCmd(3).SetCaption(">");
    GRLbl.Move(90, y0 + 825, 915, 225);
    GRLbl.SetCaption(" Grade_10");
    GRLbl.SetBackStyle(0);
    GRScr.Move(1035, y0 + 810, 900, 255);
    GRScr.SetMin(0);
    GRScr.SetMax(7);
    GRPic.Move(2010, y0 + 810, 450, 255);
    GRPic.SetBorderStyle(1);
    GRPlineCmd.Move(90, y0 + 1185, 1155, 345);
    GRPlineCmd.SetCaption("Perímetro");
    GRJoinCmd.Move(1305, y0 + 1185, 1155, 345);
    GRJoinCmd.SetCaption("Poly Join");
    GRExecCmd.Move(90, y0 + 1575, 1155, 345);
    GRExecCmd.SetCaption("Executa");
    GRUndo.Move(1305, y0 + 1575, 1155, 345);
    GRUndo.SetCaption("Desfaz");
    GRUndo.SetEnabled(false);
    GRDispLbl.Move(90, y0 + 1995, 2370, 225);
    GRDispLbl.SetCaption(" Disponível:");
    GRDispLbl.SetBackStyle(0);

    // ---- 2 "Lote"
    LoteLbl.Move(90, y0 + 30, 735, 225);
    LoteLbl.SetCaption(" Lote:");
    LoteLbl.SetBackStyle(0);
    LoteTxt.Move(840, y0, 735, 285);
    DrwCmd(5).Move(1620, y0 - 15, 375, 315);
    DrwCmd(5).SetCaption(">");
    DrwCmd(5).SetToolTipText("Conforme o texto");
    DrwCmd(4).Move(2040, y0 - 15, 420, 315);
    DrwCmd(4).SetCaption(">>");
    DrwCmd(4).SetToolTipText("Captura em planta");
    UnidLbl.Move(90, y0 + 405, 735, 225);
    UnidLbl.SetCaption(" Unidade:");
    UnidLbl.SetBackStyle(0);
    UnidTxt.Move(840, y0 + 375, 735, 285);
    UnidTxt.SetText("01");
    UnidScr.Move(1620, y0 + 390, 840, 255);
    UnidScr.SetMin(1);
    UnidScr.SetMax(99);
    EdifCmd.Move(90, y0 + 810, 1335, 345);
    EdifCmd.SetCaption("Edificações >>");
    SequencialCmd.Move(90, y0 + 1230, 1335, 255);
    SequencialCmd.SetCaption("Sequencial");
    SequencialCmd.SetToolTipText("Sequencia: Lote, Edificação e Hidrometro - Clique no Hidrometro para acionar.");
    // The markers' place out of sight (left 1000) lies beyond the box's width.
    Picture1.Move(1530, y0 + 780, 975, 1065);
    Picture1.SetBorderStyle(0);
    for (int i = 0; i < 4; ++i) {
        HidrImg(i).Move(150, 30 + i * 255, 795, 240);
        HidrImg(i).SetPicture(Figura("HIDRIMG" + std::to_string(i)));
    }
    HidUp(0).Move(kMarcaFora, 30, 105, 240);
    HidUp(1).Move(kMarcaFora, 30, 105, 240);
    for (int i = 0; i < 2; ++i) HidUp(i).SetPicture(Figura("HIDUP" + std::to_string(i)));

    // ---- 3 "Editar"
    DelGradeCmd.Move(90, y0 + 60, 2415, 345);
    DelGradeCmd.SetCaption("Apagar Grade");
    UpgradeCmd.Move(90, y0 + 495, 2415, 345);
    UpgradeCmd.SetCaption("Atualiza Blocos Cadastro");

    // ---- below the tabs
    Progress.Move(120, 3510, 2355, 255);
}

// The panel keeps its size whatever its host gives it.
void COMDes98::UserControl_Resize() { Size(2595, 3810); }

void COMDes98::Start()
{
    if (gTopoCarregado == 0) {
        if (!Db_) Db_ = std::make_unique<clsTOPDb>();
        Db_->LoadDb();
    }
}

// ============================================================ the panel and the numbered blocks

namespace {

// Digits and Backspace pass. Enter and space are dropped and tell the caller
// to run the box's shortcut (true); every other key is dropped.
bool FiltraNumero(int& KeyAscii)
{
    if (KeyAscii == 8 || (KeyAscii >= '0' && KeyAscii <= '9')) return false;
    const bool atalho = KeyAscii == 13 || KeyAscii == 32;
    KeyAscii = 0;
    return atalho;
}

// A box that must hold a number, the message of its button when it does not.
struct Exigido {
    TextBox* Caixa;
    const char* Mensagem;
};

}  // namespace

void COMDes98::SSTab1_Click(int)
{
    const int aba = SSTab1.Tab();
    Frame1(0).SetVisible(aba != 3);
    Frame1(1).SetVisible(aba == 1 || aba == 2);
    DrwCmd(0).SetVisible(aba == 0);
    DrwCmd(1).SetVisible(aba == 1);
}

void COMDes98::SetorTxt_KeyPress(int& KeyAscii)
{
    if (FiltraNumero(KeyAscii) && SSTab1.Tab() == 0) DrwCmd_Click(0);
}

void COMDes98::QuadraTxt_KeyPress(int& KeyAscii)
{
    if (FiltraNumero(KeyAscii) && SSTab1.Tab() == 1) DrwCmd_Click(1);
}

void COMDes98::QuadraDTxt_KeyPress(int& KeyAscii)
{
    if (FiltraNumero(KeyAscii) && SSTab1.Tab() == 1) DrwCmd_Click(2);
}

void COMDes98::QuadraDDTxt_KeyPress(int Index, int& KeyAscii)
{
    if (!FiltraNumero(KeyAscii)) return;
    if (Index == 0)
        QuadraDDTxt(1).SetFocus();
    else
        DrwCmd_Click(3);
}

void COMDes98::UnidScr_Change()
{
    const int v = UnidScr.Value();
    UnidTxt.SetText((v < 10 ? "0" : "") + std::to_string(v));
}

// The swatch runs round: past magenta comes red again, before red magenta.
void COMDes98::GRScr_Change()
{
    const int v = GRScr.Value();
    if (v > 6) {
        GRScr.SetValue(1);
        return;
    }
    if (v < 1) {
        GRScr.SetValue(6);
        return;
    }
    GRPic.SetBackColor(CoresGrade[v - 1]);
    GRPic.Cls();
}

void COMDes98::SequencialCmd_Click() { EdifCmd.SetVisible(SequencialCmd.Value() != 1); }

void COMDes98::DrwCmd_Click(int Index)
{
    Protegido([&] {
        if (!ConectaAcad()) return;
        if (Index == 4) {
            // The scroll bar already at 1 would not write the box.
            UnidScr.SetValue(1);
            UnidTxt.SetText("01");
            InsereLoteGrade();
            return;
        }

        std::string bloco, titulo;
        std::vector<Exigido> exigidos;
        const char* kSetor = "Preencha o número do Setor.";
        const char* kQuadra = "Preencha o número da Quadra.";
        switch (Index) {
        case 0:
            bloco = "COM_SETOR";
            titulo = "Inserir bloco SETOR";
            exigidos = {{&SetorTxt, kSetor}};
            break;
        case 1:
            bloco = "COM_QUADRA";
            titulo = "Inserir bloco QUADRA";
            exigidos = {{&SetorTxt, kSetor}, {&QuadraTxt, kQuadra}};
            break;
        case 2:
            bloco = "COM_QUADRAD";
            titulo = "Inserir bloco QUADRA";
            exigidos = {{&SetorTxt, kSetor}, {&QuadraDTxt, kQuadra}};
            break;
        case 3:
            bloco = "COM_QUADRADD";
            titulo = "Inserir bloco QUADRA";
            exigidos = {{&SetorTxt, kSetor}, {&QuadraDDTxt(0), kQuadra}, {&QuadraDDTxt(1), kQuadra}};
            break;
        case 5:
            bloco = "COM_LOTE";
            titulo = "Inserir bloco LOTE";
            exigidos = {{&SetorTxt, kSetor}, {&QuadraTxt, kQuadra}, {&LoteTxt, "Preencha o número do Lote."}};
            break;
        default: return;
        }

        // A box whose text is not a whole number counts as empty. The city
        // blocks make the sector layer as soon as the sector is known, the
        // parcel only once all three numbers are.
        std::vector<std::string> numeros;
        for (const Exigido& e : exigidos) {
            const auto n = NumeroCadastro(e.Caixa->Text());
            if (!n) {
                ExibeMensagem(0, titulo, e.Mensagem);
                e.Caixa->SetFocus();
                return;
            }
            numeros.push_back(*n);
            if (Index != 5 && numeros.size() == 1) CamadaSetor(numeros[0]);
        }
        if (Index == 5) CamadaSetor(numeros[0]);

        if (!DefineBloco(bloco, false)) return;
        const std::optional<Ponto> p = GetPonto(std::nullopt, "Ponto de inserção:");
        if (!p) return;
        acad::BlockReference* b = gModelSpace->InsertBlock(*p, bloco, 1, 1, 1, 0);
        b->SetLayer(NomeCamadaSetor(numeros[0]));

        // The numbers are read again as they are now: the user may have
        // changed a box while pointing. One that no longer reads as a
        // number keeps the value checked above.
        auto numero = [&](std::size_t i) { return NumeroCadastro(exigidos[i].Caixa->Text()).value_or(numeros[i]); };
        const std::string setor = numero(0);
        switch (Index) {
        case 0: {
            const auto atributos = b->GetAttributes();
            if (!atributos.empty()) {
                atributos.front()->SetTextString(setor);
                atributos.front()->Update();
            }
            break;
        }
        case 1:
        case 2:
            SetAtributo("QUADRA", numero(1), b);
            SetAtributo("SETOR", setor, b);
            break;
        case 3:
            SetAtributo("QI", numero(1), b);
            SetAtributo("QF", numero(2), b);
            SetAtributo("SETOR", setor, b);
            break;
        case 5:
            SetAtributo("LOTE", numero(2), b);
            SetAtributo("S-Q", setor + "-" + numero(1), b);
            break;
        default: break;
        }
    });
}

// ============================================================ the parcel grid

namespace {

// The grid worker writes into the panel's boxes, undo button and bar.
GradeLotes& Liga(GradeLotes& Grade, COMDes98& Painel)
{
    Grade.SetorTxt = &Painel.SetorTxt;
    Grade.QuadraTxt = &Painel.QuadraTxt;
    Grade.LoteTxt = &Painel.LoteTxt;
    Grade.GRUndo = &Painel.GRUndo;
    Grade.Progress = &Painel.Progress;
    return Grade;
}

}  // namespace

void COMDes98::GRPlineCmd_Click()
{
    Protegido([&] { Liga(Grade, *this).Perimetro(); });
}

void COMDes98::GRJoinCmd_Click()
{
    Protegido([&] { Liga(Grade, *this).PolyJoin(GRScr.Value()); });
}

void COMDes98::GRExecCmd_Click()
{
    Protegido([&] { Liga(Grade, *this).Executa(); });
}

void COMDes98::GRUndo_Click()
{
    Protegido([&] { Liga(Grade, *this).Desfaz(); });
}

void COMDes98::DelGradeCmd_Click()
{
    Protegido([&] { Liga(Grade, *this).ApagaGrade(); });
}

bool COMDes98::InsereLoteGrade()
{
    bool inserido = false;
    Protegido([&] { inserido = Liga(Grade, *this).InsereLoteGrade(); });
    return inserido;
}

// ============================================================ buildings and water meters

// The address of the boxes, checked in order: the first empty one, or one
// that is not a whole number, gives its message under `Titulo` and takes the
// focus. None when one failed.
std::optional<EnderecoCadastro> COMDes98::EnderecoDasCaixas(const std::string& Titulo)
{
    struct Caixa {
        forms::TextBox& Txt;
        const char* Mensagem;
    };
    const Caixa caixas[] = {{SetorTxt, "Preencha o número do Setor."},
                            {QuadraTxt, "Preencha o número da Quadra."},
                            {LoteTxt, "Preencha o número do Lote."},
                            {UnidTxt, "Preencha o número da Unidade."}};
    std::optional<std::string> lidos[4];
    for (int i = 0; i < 4; ++i) {
        lidos[i] = i == 3 ? UnidadeCadastro(caixas[i].Txt.Text()) : NumeroCadastro(caixas[i].Txt.Text());
        if (!lidos[i]) {
            ExibeMensagem(0, Titulo, caixas[i].Mensagem);
            caixas[i].Txt.SetFocus();
            return std::nullopt;
        }
    }
    return EnderecoCadastro{*lidos[0], *lidos[1], *lidos[2], *lidos[3]};
}

void COMDes98::EdifCmd_Click()
{
    Protegido([this] { NumeraEdificacao(); });
}

bool COMDes98::NumeraEdificacao()
{
    // Every number is checked before the drawing is touched, so a building
    // never gets half an address.
    const std::optional<EnderecoCadastro> endereco = EnderecoDasCaixas("Inserir bloco SETOR");
    if (!endereco) return false;
    if (!ConectaAcad()) return false;
    GetLayer(endereco->CamadaSetor(), 0, "");
    Ponto escolhido;
    bool falhou = false;
    acad::Entity* e = AtivaAcad("Selecione Edificação", 3, escolhido, falhou, "AcDbBlockReference");
    if (falhou || !e) return false;
    return EnderecaEdificacao(*e, *endereco) != nullptr;
}

void COMDes98::HidrImg_MouseMove(int Index) { HidUp(0).Move(kMarcaAoLado, HidrImg(Index).Top()); }

void COMDes98::HidrImg_MouseDown(int)
{
    const double topo = HidUp(0).Top();
    HidUp(0).SetLeft(kMarcaFora);
    HidUp(1).Move(kMarcaAoLado, topo);
}

void COMDes98::HidrImg_MouseUp(int Index)
{
    HidUp(1).SetLeft(kMarcaFora);
    const std::string bloco = BlocoHidrometro(Index);
    if (bloco.empty()) return;
    Protegido([&] {
        if (!ConectaAcad()) return;
        if (SequencialCmd.Value() == 1) {
            Sequencia(bloco);
            return;
        }
        InsereUnidade(bloco);
    });
}

void COMDes98::Sequencia(const std::string& Bloco)
{
    // Each step works on what the one before it wrote into the boxes: one
    // cancelled or failed leaves the rest undone rather than done with stale
    // numbers.
    if (!InsereLoteGrade()) return;
    if (!NumeraEdificacao()) return;
    InsereUnidade(Bloco);
}

bool COMDes98::InsereUnidade(const std::string& Bloco)
{
    const std::optional<EnderecoCadastro> endereco = EnderecoDasCaixas("Inserir Hidrometro");
    if (!endereco) return false;
    return InsereHidrometro(Bloco, *endereco) != nullptr;
}

// ============================================================ sector clipping and block update

void COMDes98::SETClipCmd_Click()
{
    Protegido([] { ClipSetor(); });
}

void COMDes98::UpgradeCmd_Click()
{
    Protegido([this] { AtualizaBlocosCadastro(Progress); });
}
