#include "water/clsWATDes.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"
#include "water/frmWATTubo.h"
#include "shell/modPainel.h"

namespace {

// The stage index "0" to "3" as a number; -1 for anything else, which the
// four-entry stage table cannot colour.
int IndiceEtapa(const std::string& Etapa)
{
    if (Etapa.size() != 1 || Etapa[0] < '0' || Etapa[0] > '3') return -1;
    const int i = Etapa[0] - '0';
    return i < static_cast<int>(gEtapasAgua.size()) ? i : -1;
}

// The socket of a fitting that faces the pipe.
struct Bolsa {
    std::string CodBase;
    Ponto PtBolsa;
    std::string DiamBolsa;
    std::string TubBolsa;
    std::vector<double> Percurso;
};

bool LeBolsa(acad::Entity* Conexao, const Ponto& Perto, Bolsa& B)
{
    std::string sDP, sDS, material, etapa, naoUsado;
    Ponto insercao;
    return InfoBolsa(Conexao, B.CodBase, sDP, sDS, material, etapa, insercao, Perto, B.PtBolsa, naoUsado, B.DiamBolsa,
                     B.TubBolsa, false, B.Percurso, false) &&
           B.Percurso.size() >= 2;
}

bool EhCurva(const std::string& Nome)
{
    return Nome == "AcDb2dPolyline" || Nome == "AcDbPolyline" || Nome == "AcDbSpline" || Nome == "AcDbLine";
}

}  // namespace

clsWATDes::clsWATDes() = default;

clsWATDes::~clsWATDes() { SetCurDoc(nullptr); }

void clsWATDes::InsertConex(const std::string& Bloco, const std::string& Material, const std::string& Codigo,
                            const std::string& Etapa, const std::string& Cod1, const std::string& Cod2,
                            const std::string& Cod3, const std::string& Cod4)
{
    if (!ConectaAcad()) return;
    const int etapa = IndiceEtapa(Etapa);
    if (etapa < 0) return;
    // The turn of the fitting before may still wait for its angle: this
    // insertion's own command would be typed into that prompt.
    if (gAcadDoc->CommandLine().Active()) gAcadDoc->CommandLine().Cancel();
    if (!CriaBlocoConexao(Bloco, false)) return;
    const std::optional<Ponto> ponto = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!ponto) return;

    acad::BlockReference* blk = gModelSpace->InsertBlock(*ponto, Bloco, 0.5, 0.5, 0.5, 0.0);
    const std::string camada = "CONEXOES_" + Etapa;
    GetLayer(camada, gEtapasAgua[etapa].Cor, "");
    blk->SetLayer(camada);

    acad::AttributeReference* outro = nullptr;
    for (acad::AttributeReference* a : blk->GetAttributes()) {
        const std::string tag = a->TagString();
        const std::string* valor = nullptr;
        if (tag == "CODIGO")
            valor = &Codigo;
        else if (tag == "MATERIAL")
            valor = &Material;
        else if (tag == "ETAPA")
            valor = &Etapa;
        else if (tag == "CODIG1")
            valor = &Cod1;
        else if (tag == "CODIG2")
            valor = &Cod2;
        else if (tag == "CODIG3")
            valor = &Cod3;
        else if (tag == "CODIG4")
            valor = &Cod4;
        if (valor) {
            a->SetTextString(*valor);
            a->SetVisible(false);
            a->Update();
        } else {
            outro = a;
        }
    }

    gAcadDoc->SendCommand("ROTATE\rLAST\r\r" + JoinCoords(*ponto, 8) + "\r");
    if (outro) {
        outro->SetRotation(0.0);
        outro->Update();
    }
}

void clsWATDes::DrawTubo(const std::string& Tubulacao, const std::string& Diametro, const std::string& Etapa)
{
    const int etapa = IndiceEtapa(Etapa);
    if (etapa < 0) return;
    SalvaVista();
    if (!gAcadDoc) return;

    Ponto clique1, clique2;
    bool falhou = false;
    acad::Entity* escolhido = AtivaAcad("Selecione Conexão ou Polyline:", 2, clique1, falhou, "");
    if (falhou || !escolhido) return;

    acad::Entity* F1 = nullptr;
    acad::Entity* F2 = nullptr;
    Ponto P1, P2;
    std::vector<double> rota;
    bool modoCurva = false;
    Ponto M;
    double A = 0.0;
    const std::string tipo = escolhido->ObjectName();
    if (tipo == "AcDbBlockReference") {
        F1 = escolhido;
        F2 = AtivaAcad("Selecione Conexão:", 2, clique2, falhou, "AcDbBlockReference");
        if (falhou || !F2) return;
        P1 = clique1;
        P2 = clique2;
    } else if (EhCurva(tipo)) {
        modoCurva = true;
        double L0 = 0.0;
        const std::optional<std::vector<double>> lista = CurvaParaPontos(escolhido, L0, std::nullopt, 1.0);
        if (!lista || lista->size() < 4) return;
        rota = *lista;
        int segmento = 0;
        const std::optional<Ponto> meio = PontoAoLongo(rota, L0 / 2, segmento, A);
        if (!meio) return;
        M = *meio;
        P1 = Vertice(rota, 0);
        P2 = Vertice(rota, rota.size() / 2 - 1);
        if (PontoForaDaVista(P1) || PontoForaDaVista(P2)) ZoomJanela(P1, P2, 0.4);
        bool vazio = false;
        const FiltroTipos tipos{2};
        const FiltroDados dados{acad::Variant("A-*")};
        F1 = SelecionaObjetos(P1, 50.0, tipos, dados, vazio, 0, 0.0);
        if (!F1) return;
        F2 = SelecionaObjetos(P2, 50.0, tipos, dados, vazio, 0, 0.0);
        if (!F2) return;
    } else {
        return;
    }

    // A block that is no fitting with sockets (the pipe label among them)
    // cannot end a pipe.
    Bolsa b1, b2;
    if (!LeBolsa(F1, P1, b1) || !LeBolsa(F2, P2, b2)) return;

    if (b1.CodBase == "PDR") b1.DiamBolsa = b2.DiamBolsa;
    if (b2.CodBase == "PDR") b2.DiamBolsa = b1.DiamBolsa;

    if (!modoCurva) rota = {b1.PtBolsa.X, b1.PtBolsa.Y, b2.PtBolsa.X, b2.PtBolsa.Y};
    const std::vector<double> tracado = rota;  // what the pipe polyline follows in curve mode
    rota = AppendArray(AppendArray(InverteCoords(b1.Percurso), rota), b2.Percurso);
    double L = 0.0;
    for (std::size_t k = 1; k < rota.size() / 2; ++k) L += Distancia(Vertice(rota, k - 1), Vertice(rota, k));
    const Ponto H1 = Vertice(rota, 0);
    const Ponto H2 = Vertice(rota, rota.size() / 2 - 1);

    GetLayer("TRECHO", 170, "");
    if (!CriaBlocoConexao("A-TUBO", false)) return;

    std::string msg;
    bool problema = false;
    if (Distancia(b1.PtBolsa, b2.PtBolsa) < 0.75) {
        msg = "O comprimento da LINHA deve ser de no mínimo 0.75m.";
        problema = true;
    }
    if (b1.DiamBolsa != b2.DiamBolsa) {
        msg += "Os diametros não coincidem.";
        problema = true;
    }
    std::string T = b1.TubBolsa == "Indefinido" ? b2.TubBolsa : b1.TubBolsa;
    std::string D;
    if (!Tubulacao.empty()) {
        if (T != "Indefinido" && T != Tubulacao) {
            msg += "\r\nAs tubulações não coincidem.";
            problema = true;
        }
        T = Tubulacao;
        D = Diametro;
    } else {
        if (b1.TubBolsa != "Indefinido" && b2.TubBolsa != "Indefinido" && b1.TubBolsa != b2.TubBolsa) {
            msg += "\r\nAs tubulações não coincidem.";
            problema = true;
        }
        D = b1.DiamBolsa;
    }
    if (problema) {
        bool ok = false, cancel = false, check = false;
        int left = 0, top = 0;
        ExibeMensagem(4, "Atenção", msg + "\r\nContinuar assim mesmo?", ok, cancel, check, "", left, top);
        if (!ok) return;
    }

    RestauraVista();

    std::string comprimento, contrib;
    {
        frmWATTubo dlg;
        if (L > 500.0) dlg.Frame1(1).SetVisible(true);
        dlg.SetlCaption("DN" + D);
        dlg.Text1.SetText(FormatNum(L, 0));
        dlg.Coords = rota;
        dlg.SetTuboPref(T);
        dlg.Show(forms::vbModal, gMainForm);
        comprimento = dlg.Text1.Text();
        contrib = dlg.Contrib;
        T = dlg.TuboPref();
        const bool cancelou = dlg.Cancel;
        forms::Unload(dlg);
        if (cancelou) return;
    }

    if (T == "Indefinido") {
        ExibeMensagem(0, "Atenção", "Material indefinido.\r\nImpossivel continuar em modo automático.");
        return;
    }
    std::string K;
    const std::vector<DiametroAguaRec>* diametros = nullptr;
    for (const TipoTuboRec& t : gTiposTubo)
        if (t.Nome == T) {
            K = t.Codigo;
            diametros = &t.Diametros;
        }
    bool existe = false;
    if (diametros)
        for (const DiametroAguaRec& d : *diametros) existe = existe || d.DP == D;
    if (!existe) {
        ExibeMensagem(0, "Erro!!!", "O diâmetro " + D + " não existe para " + T);
        return;
    }

    if (!modoCurva) {
        A = Azimute(b1.PtBolsa, b2.PtBolsa);
        M = PontoPolar(b1.PtBolsa, A, Distancia(b1.PtBolsa, b2.PtBolsa) / 2);
    }
    const bool virado = A > 1.571 && A < 4.712;
    const double S = virado ? -1.0 : 1.0;

    acad::BlockReference* rotulo = gModelSpace->InsertBlock(M, "A-TUBO", 1.0, S, 1.0, A);
    rotulo->SetLayer("TRECHO");
    const std::string codigo = K + "DN" + D + "-" + AparaEspacos(comprimento) + "m";
    for (acad::AttributeReference* a : rotulo->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO") {
            a->SetTextString(codigo);
            a->SetAlignment(10);
            a->SetTextAlignmentPoint(PontoPolar(M, A + S * 1.5707963267949, 1.15));
            a->SetBackward(virado);
            a->SetLayer("TRECHO");
            a->SetVisible(true);
        } else if (tag == "MATERIAL") {
            a->SetTextString(T);
            a->SetAlignment(13);
            a->SetTextAlignmentPoint(M);
            a->SetBackward(virado);
            a->SetVisible(false);
        } else if (tag == "ETAPA") {
            a->SetTextString(Etapa);
            a->SetVisible(false);
        } else if (tag == "CONTRIB") {
            a->SetTextString(contrib);
            a->SetAlignment(10);
            a->SetTextAlignmentPoint(PontoPolar(M, A - S * 1.5707963267949, 1.15));
            a->SetLayer("TRECHO");
            a->SetBackward(virado);
            a->SetInvisible(true);
        } else if (tag == "H1" || tag == "H2") {
            const Ponto& bolsa = tag == "H1" ? b1.PtBolsa : b2.PtBolsa;
            a->SetTextString(FormatNum(bolsa.X, 4) + "," + FormatNum(bolsa.Y, 4));
            a->SetTextAlignmentPoint(tag == "H1" ? H1 : H2);
            a->SetHeight(0.00001);
        } else {
            continue;
        }
        a->Update();
    }

    int cor = 0;
    for (const DiamCorRec& c : gCoresDiam)
        if (c.Diametro == D) {
            cor = c.Cor;
            break;
        }
    bool temDesativar = false;
    for (acad::Linetype* lt : gAcadDoc->Linetypes()) temDesativar = temDesativar || lt->Name() == "DESATIVAR";
    if (!temDesativar) {
        try {
            gAcadDoc->Linetypes().Load("DESATIVAR", (std::filesystem::path(gAppPath) / "r-quoril.lin").string());
        } catch (const acad::Error&) {
        }
    }
    const std::string camada = "T_" + D + (etapa == 0 ? "" : "_" + Etapa);
    GetLayer(camada, cor, gEtapasAgua[etapa].LineType);

    if (modoCurva) {
        // The drawn curve gives way to the pipe only now that the pipe is there.
        escolhido->Delete();
    }
    acad::LWPolyline* tubo = gModelSpace->AddLightWeightPolyline(
        modoCurva ? tracado : std::vector<double>{b1.PtBolsa.X, b1.PtBolsa.Y, b2.PtBolsa.X, b2.PtBolsa.Y});
    tubo->SetLinetypeGeneration(true);
    tubo->SetLayer(camada);
    tubo->Update();
}

void clsWATDes::Find(const std::string& Codigo, bool EmTubos, bool& EmConexoes, short /*Etapa*/, ProgressBar& Progresso)
{
    if (!ConectaAcad()) return;

    // Only block references are read: with neither box ticked every block
    // reference is a candidate, as a code can only live in their attributes.
    FiltroTipos tipos;
    FiltroDados dados;
    if (EmTubos && !EmConexoes) {
        tipos = {2};
        dados = {acad::Variant("A-TUBO")};
    } else if (EmConexoes && !EmTubos) {
        tipos = {-4, 2, -4, 2, -4, -4};
        dados = {acad::Variant("<AND"),   acad::Variant("A-*"),  acad::Variant("<NOT"),
                 acad::Variant("A-TUBO"), acad::Variant("NOT>"), acad::Variant("AND>")};
    } else if (EmConexoes && EmTubos) {
        tipos = {2};
        dados = {acad::Variant("A-*")};
    } else {
        tipos = {0};
        dados = {acad::Variant("INSERT")};
    }

    // Whatever ends the search, the cancel window goes and the main window
    // comes back.
    AoSair fim([this] {
        FechaCancelar();
        if (gMainForm && gMainForm->WindowState() == forms::vbMinimized) gMainForm->SetWindowState(forms::vbNormal);
    });

    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen(tipos, dados);
    std::vector<acad::BlockReference*> blocos;
    blocos.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) blocos.push_back(b);

    fCancel = std::make_unique<frmCancelar>();
    fCancel->Cancel = false;
    fCancel->SetMensagem("Localizar Código");
    PosicionaDialogo(*fCancel, gMsgLeft, gMsgTop);
    fCancel->Show(forms::vbModeless, gMainForm);

    Progresso.Progress_Start(static_cast<long long>(blocos.size()), "");
    std::vector<acad::BlockReference*> achados;
    for (acad::BlockReference* b : blocos) {
        forms::DoEvents();
        if (!fCancel || fCancel->Cancel) return;
        for (acad::AttributeReference* a : b->GetAttributes()) {
            if (a->TagString().compare(0, 5, "CODIG") != 0) continue;
            const std::string texto = a->TextString();
            if (!texto.empty() && texto.find(Codigo) != std::string::npos) achados.push_back(b);
        }
        Progresso.Progress();
    }
    FechaCancelar();
    Progresso.Progress_Start(0, "");

    if (achados.empty()) {
        ExibeMensagem(0, "Localizar " + Codigo, "Nenhuma ocorrencia encontrada.");
        return;
    }
    if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
    const std::string n = std::to_string(achados.size());
    // The hit is shown at the centre of the view, which fills the screen: the
    // question opens up in a corner, and then where the engineer leaves it.
    int left = static_cast<int>(forms::Screen.Width() / 10), top = static_cast<int>(forms::Screen.Height() / 10);
    for (std::size_t i = 0; i < achados.size(); ++i) {
        acad::BlockReference* achado = achados[i];
        // Marked while its question is open; one erased meanwhile is not.
        const auto marca = [achado](bool Sim) {
            try {
                achado->Highlight(Sim);
                achado->Update();
            } catch (const acad::Error&) {
            }
        };
        ZoomCentro(Ponto(achado->InsertionPoint()), 50);
        marca(true);
        bool ok = false, cancel = false, check = false;
        ExibeMensagem(4, "Localizar Código - " + std::to_string(i + 1) + " de " + n, "Continuar?", ok, cancel, check,
                      "", left, top);
        marca(false);
        if (!ok) break;
    }
}

void clsWATDes::FechaCancelar()
{
    if (!fCancel) return;
    gMsgLeft = static_cast<int>(std::lround(fCancel->Left()));
    gMsgTop = static_cast<int>(std::lround(fCancel->Top()));
    forms::Unload(*fCancel);
    fCancel.reset();
}

// ---------------------------------------------------------------- label movers and tie dimension

namespace {

// The label layer of the fitting blocks; a drawing whose blocks came from
// elsewhere gets it as the block builder makes it.
constexpr const char* kCamadaRotulos = "TEXTO_CON";
constexpr const char* kCamadaAmarracao = "Amarracao";

bool EhRotuloDeCodigo(const std::string& Tag) { return Tag.compare(0, 5, "CODIG") == 0; }

// Text alignment of a label at D for a block at P0: the label reads away
// from the block. On the block's own X or Y it counts as left or below.
int AlinhamentoQuadrante(const Ponto& P0, const Ponto& D)
{
    const bool direita = D.X > P0.X;
    const bool acima = D.Y > P0.Y;
    if (direita) return acima ? 0 : 6;
    return acima ? 2 : 8;
}

// Places the text at N whatever its alignment: left texts by their
// insertion point, the others by their alignment point.
void PoeEm(acad::AttributeReference* a, const Ponto& N)
{
    if (a->Alignment() != 0)
        a->SetTextAlignmentPoint(N);
    else
        a->SetInsertionPoint(N);
}

// The leader ending at a label's place, deleted when there is one.
void ApagaChamada(const Ponto& P)
{
    bool vazio = false;
    const FiltroTipos tipos{0, 8};
    const FiltroDados dados{acad::Variant("LWPolyline"), acad::Variant(kCamadaRotulos)};
    if (acad::Entity* chamada = SelecionaObjetos(P, 140, tipos, dados, vazio, 0, 0.0)) chamada->Delete();
}

void DesenhaChamada(const Ponto& De, const Ponto& Para)
{
    if (!gAcadDoc->Layers().Find(kCamadaRotulos)) GetLayer(kCamadaRotulos, 156, "");
    acad::LWPolyline* chamada = gModelSpace->AddLightWeightPolyline({De.X, De.Y, Para.X, Para.Y});
    chamada->SetColor(256);
    chamada->SetLayer(kCamadaRotulos);
    chamada->Update();
}

// An event handler has nobody above it to tell the user what failed.
template <class Acao>
void Avisando(Acao&& Executa)
{
    try {
        Executa();
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", e.Description());
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Atenção", e.what());
    }
}

}  // namespace

void clsWATDes::MoverAtt()
{
    if (!ConectaAcad()) return;
    const bool movia = Movendo_;
    Movendo_ = true;
    AoSair volta([this, movia] { Movendo_ = movia; });
    Ponto clique;
    bool falhou = false;
    acad::Entity* escolhido = AtivaAcad("Selecione objeto:", 2, clique, falhou, "");
    if (falhou || !escolhido) return;
    // Only a block carries labels to move.
    auto* blk = dynamic_cast<acad::BlockReference*>(escolhido);
    if (!blk) return;
    if (blk->Name() == "A-TUBO") {
        ExibeMensagem(0, "Atenção", "Use Ferramenta específica para Tubulações.");
        return;
    }

    const Ponto P0(blk->InsertionPoint());
    const std::optional<Ponto> D = GetPonto(P0, "Destino:");
    const std::vector<acad::AttributeReference*> atributos = blk->GetAttributes();
    if (!D) {
        for (acad::AttributeReference* a : atributos)
            if (EhRotuloDeCodigo(a->TagString())) {
                a->SetVisible(false);
                a->Update();
            }
        return;
    }

    const int alinhamento = AlinhamentoQuadrante(P0, *D);
    Ponto N(D->X, D->Y);
    std::optional<Ponto> antigo;  // where CODIGO was: its leader ends there
    for (acad::AttributeReference* a : atributos) {
        const std::string tag = a->TagString();
        if (tag == "CODIG1")
            N.Y = D->Y + 3.9;
        else if (tag == "CODIG2")
            N.Y = D->Y + 1.95;
        else if (tag == "CODIG3")
            N.Y = D->Y - 1.95;
        else if (tag == "CODIG4")
            N.Y = D->Y - 3.9;
        else if (tag == "CODIGO") {
            antigo = Ponto(a->Alignment() != 0 ? a->TextAlignmentPoint() : a->InsertionPoint());
            N.Y = D->Y;
        }
        if (!EhRotuloDeCodigo(tag)) continue;
        a->SetAlignment(0);
        a->SetInsertionPoint(N);
        a->SetAlignment(alinhamento);
        PoeEm(a, N);
        a->SetBackward(false);
        a->SetRotation(0.0);
        a->SetHeight(1.5);
        a->SetInvisible(false);
        a->SetVisible(true);
        a->Update();
    }

    // A block without CODIGO has no old place to look for a leader at.
    if (antigo) ApagaChamada(*antigo);
    const double angulo = gAcadUtil->AngleFromXAxis(P0, *D);
    DesenhaChamada(PontoPolar(P0, angulo, 2.0), Ponto(D->X, D->Y));

    SetCurDoc(gAcadDoc);
    Ferramenta_ = "MoverAtt";
}

void clsWATDes::MoverAttTubo()
{
    Ferramenta_.clear();
    if (!ConectaAcad()) return;
    const bool movia = Movendo_;
    Movendo_ = true;
    AoSair volta([this, movia] { Movendo_ = movia; });
    Ponto clique;
    bool falhou = false;
    acad::Entity* escolhido = AtivaAcad("Selecione objeto:", 2, clique, falhou, "AcDbBlockReference");
    if (falhou || !escolhido) return;
    auto* blk = dynamic_cast<acad::BlockReference*>(escolhido);
    if (!blk) return;
    if (blk->Name() != "A-TUBO") {
        ExibeMensagem(0, "Atenção", "Use Ferramenta específica para Conexões.");
        return;
    }

    const Ponto P0(blk->InsertionPoint());
    const std::optional<Ponto> D = GetPonto(P0, "Destino:");
    acad::AttributeReference* codigo = nullptr;
    acad::AttributeReference* material = nullptr;
    const std::vector<acad::AttributeReference*> atributos = blk->GetAttributes();
    for (acad::AttributeReference* a : atributos) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO" && !codigo) codigo = a;
        if (tag == "MATERIAL" && !material) material = a;
    }
    // A label moved to the right and up is placed by its insertion point:
    // its leader ends there.
    if (codigo) ApagaChamada(Ponto(codigo->Alignment() != 0 ? codigo->TextAlignmentPoint() : codigo->InsertionPoint()));

    if (!D) {
        // Back beside the pipe, along it, on the side drawing put it: a label
        // drawn from right to left is mirrored, and its text still reads
        // above the pipe.
        const double r = material ? material->Rotation() : 0.0;
        const double lado = blk->YScaleFactor() > 0 ? 1.0 : -1.0;
        if (codigo) {
            codigo->SetAlignment(10);
            codigo->SetTextAlignmentPoint(PontoPolar(P0, blk->Rotation() + lado * 1.5707963267949, 1.15));
            codigo->SetRotation(r);
            codigo->Update();
        }
    } else if (const std::optional<Ponto> R = GetPonto(*D, "Rotação:")) {
        // A mirrored label reads its angle the other way round.
        const double s = blk->YScaleFactor() > 0 ? 1.0 : -1.0;
        if (codigo) {
            codigo->SetAlignment(12);
            codigo->SetTextAlignmentPoint(*D);
            codigo->SetRotation(Azimute(*D, *R) * s);
            codigo->Update();
        }
    } else {
        const int alinhamento = AlinhamentoQuadrante(P0, *D);
        for (acad::AttributeReference* a : atributos) {
            if (a->TagString() != "CODIGO") continue;
            a->SetAlignment(alinhamento);
            PoeEm(a, *D);
            a->SetRotation(0.0);
            a->Update();
        }
        DesenhaChamada(P0, *D);
    }

    SetCurDoc(gAcadDoc);
    Ferramenta_ = "MoverAttTubo";
}

void clsWATDes::DimUno()
{
    if (!ConectaAcad()) return;
    // A tie dimension still waiting in this drawing keeps the snap it found.
    const bool pendente = Ferramenta_ == "DimUno" && DocumentoObservado() == gAcadDoc;
    SetCurDoc(gAcadDoc);
    Ferramenta_ = "DimUno";
    GetLayer(kCamadaAmarracao, 10, "");
    if (!pendente) OsmodeSalvo_ = gAcadDoc->GetVariable("OSMODE").AsInt();
    const acad::Block& modelo = gAcadDoc->ModelSpace();
    UltimoAntesDaCota_ = modelo.Count() > 0 ? modelo.Item(modelo.Count() - 1) : nullptr;
    gAcadDoc->SetVariable("OSMODE", acad::Variant(512));
    try {
        gAcadDoc->SendCommand("_dimaligned\r");
    } catch (...) {
        // A command that never started ends nothing: the snap goes back now.
        if (Ferramenta_ == "DimUno" && !gAcadDoc->CommandActive()) {
            Ferramenta_.clear();
            acad::Document* doc = gAcadDoc;
            SetCurDoc(nullptr);
            TerminaDimUno(*doc, false);
        }
        throw;
    }
}

acad::Document* clsWATDes::DocumentoObservado()
{
    if (CurDoc && !(CliqueDireito_.Connected() && FimComando_.Connected())) SetCurDoc(nullptr);
    return CurDoc;
}

void clsWATDes::SetCurDoc(acad::Document* Doc)
{
    const bool vivo = CurDoc && CliqueDireito_.Connected() && FimComando_.Connected();
    if (vivo && CurDoc == Doc) return;
    // A tie dimension left waiting in the drawing no longer heard gives its
    // snap back there.
    if (vivo && Ferramenta_ == "DimUno") {
        try {
            CurDoc->SetVariable("OSMODE", acad::Variant(OsmodeSalvo_));
        } catch (const acad::Error&) {
        }
    }
    CliqueDireito_.Disconnect();
    FimComando_.Disconnect();
    CurDoc = Doc;
    if (!Doc) return;
    CliqueDireito_ = Doc->BeginRightClick.Connect([this](acad::Point3d p) { CurDoc_BeginRightClick(p); });
    FimComando_ = Doc->EndCommand.Connect([this](const std::string& nome) { CurDoc_EndCommand(nome); });
}

void clsWATDes::CurDoc_BeginRightClick(const acad::Point3d& /*PickPoint*/)
{
    // A right click that answers a question (the mover's own, or a command's)
    // is that answer, not a new move.
    if (Movendo_ || !CurDoc || CurDoc->CommandActive()) return;
    Avisando([this] {
        if (Ferramenta_ == "MoverAtt")
            MoverAtt();
        else if (Ferramenta_ == "MoverAttTubo")
            MoverAttTubo();
    });
}

void clsWATDes::CurDoc_EndCommand(const std::string& CommandName)
{
    if (Ferramenta_ == "DimUno" && CurDoc) {
        acad::Document* doc = CurDoc;
        Ferramenta_.clear();
        SetCurDoc(nullptr);
        Avisando([&] { TerminaDimUno(*doc, CommandName == "DIMALIGNED"); });
    }
    Ferramenta_.clear();
}

void clsWATDes::TerminaDimUno(acad::Document& Doc, bool Cotou)
{
    // Whatever happens to the dimension, the user's snap comes back.
    AoSair devolve([&Doc, osmode = OsmodeSalvo_] { Doc.SetVariable("OSMODE", acad::Variant(osmode)); });
    if (!Cotou) return;

    // Only a dimension the command drew takes the text: a command cancelled
    // before its last point leaves model space as it was.
    const acad::Block& modelo = Doc.ModelSpace();
    acad::Entity* ultimo = modelo.Count() > 0 ? modelo.Item(modelo.Count() - 1) : nullptr;
    auto* cota = dynamic_cast<acad::DimAligned*>(ultimo);
    if (!cota || ultimo == UltimoAntesDaCota_) return;

    Doc.Utility().Prompt("\r\n");
    std::optional<std::string> texto;
    try {
        texto = Doc.Utility().GetString(false, "Distância:");
    } catch (const acad::Error& e) {
        // Escape keeps the measured distance.
        if (e.Code() != acad::ErrorCode::Cancelled) throw;
    }
    if (texto) cota->SetTextOverride(*texto);
    cota->SetLayer(kCamadaAmarracao);
    cota->Update();
}
