#include "sewer/modConfSAN.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Error.h"
#include "platform/acad/Filter.h"
#include "platform/acad/PolylineEntities.h"
#include "sewer/clsSANDb.h"
#include "sewer/frmEditList.h"
#include "sewer/modBlocosSAN.h"
#include "sewer/modTextosSAN.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "platform/ProcessState.h"

std::vector<ErrRec> ErrList;
int ErrN = 0;
std::array<int, 22> ErrCount{};

namespace {
const platform::ProcessStateReset kResetConfSAN([] {
    ErrList.clear();
    ErrN = 0;
    ErrCount = {};
});
}  // namespace

namespace {

// A reach end and its manhole agree when they are this close: the end points
// are written with the coordinate decimals, so only a manhole moved away from
// its reach, or another place altogether, is farther.
constexpr double kToleranciaPV = 0.01;

// Blocks examined between two yields of a pass for each fault listed in the
// run: the cost of laying the fault list out again, spread over them.
constexpr long kBlocosPorFalha = 2;
// At most this many, so that the cancel window answers soon however many
// faults are listed.
constexpr long kBlocosEntreYields = 1000;

bool MesmaFalha(const ErrRec& A, const ErrRec& B)
{
    return A.Mensagem == B.Mensagem && A.ErrType == B.ErrType && A.ObjectId == B.ObjectId && A.Pt1 == B.Pt1;
}

}  // namespace

void RegistraErro(forms::ListBox& Lista, int ErrType, std::int32_t ObjectId, std::int32_t PVmId, std::int32_t PVjId,
                  const std::string& Mensagem, const Ponto& Pt1, const std::optional<Ponto>& Pt2)
{
    ErrList.resize(static_cast<std::size_t>(ErrN) + 1);
    if (ErrType >= 1 && ErrType <= 21) ++ErrCount[static_cast<std::size_t>(ErrType)];
    Lista.AddItem(Mensagem);
    ErrList[static_cast<std::size_t>(ErrN)] = ErrRec{Mensagem, Pt1, Pt2, ErrType, ObjectId, PVmId, PVjId};
    ++ErrN;
}

void LimpaErrCount() { ErrCount.fill(0); }

void RemoveErro(forms::ListBox& Lista, int i)
{
    if (i < 0) return;
    for (std::size_t k = static_cast<std::size_t>(i); k + 1 < ErrList.size(); ++k) ErrList[k] = ErrList[k + 1];
    if (i < Lista.ListCount()) Lista.RemoveItem(i);
}

std::string TextoEtapas()
{
    std::string s = "_";
    for (const TRLayerParamRec& e : gEtapas) s += std::to_string(e.Etapa) + "_";
    return s;
}

acad::BlockReference* PVNoPonto(const Ponto& P, const std::string& Padrao)
{
    acad::BlockReference* achado = nullptr;
    double melhor = 0.0;
    for (acad::Entity* e : gModelSpace->QueryBox(acad::Box::Around(P, kToleranciaPV))) {
        auto* b = acad::As<acad::BlockReference>(e);
        if (!b || b->IsErased() || !acad::WildcardMatch(b->Name(), Padrao)) continue;
        const double d = Distancia(P, b->InsertionPoint());
        // Of two at the same distance the first drawn stays.
        if (d <= kToleranciaPV && (!achado || d < melhor)) {
            achado = b;
            melhor = d;
        }
    }
    return achado;
}

void LinhaConferencia(const Ponto& A, const Ponto& B, int Cor)
{
    acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline({A.X, A.Y, B.X, B.Y});
    pl->SetLayer(gLayerConf);
    pl->SetConstantWidth(0.5);
    pl->SetColor(Cor);
    pl->Update();
}

bool PreparaMarcas() { return InsertBlockFile("ErroC"); }

void Marca(bool Disponivel, const Ponto& Pt, double Escala, const std::string& Texto, int Cor)
{
    if (Disponivel) InsertErrorMarker(Pt, Escala, Texto, Cor);
}

const std::vector<std::size_t>& NomesLidos::DoNome(const std::string& Nome) const
{
    static const std::vector<std::size_t> nenhum;
    const auto it = porNome_.find(Nome);
    return it == porNome_.end() ? nenhum : it->second;
}

void NomesLidos::Guarda(const RegistroNome& Atual)
{
    porNome_[Atual.Nome].push_back(registros_.size());
    registros_.push_back(Atual);
}

bool ConfereDuplicados(NomesLidos& Anteriores, RegistroNome& Atual,
                       const std::function<void(const RegistroNome&)>& Falha, long& NovasFalhas)
{
    for (const std::size_t i : Anteriores.DoNome(Atual.Nome)) {
        const RegistroNome& r = Anteriores[i];
        Atual.Marcado = true;
        Falha(Atual);
        // Only the later member of a pair is marked, so a block repeated by
        // several later ones is shown once for each of them.
        if (!r.Marcado) {
            Falha(r);
            ++NovasFalhas;
        }
        LinhaConferencia(Atual.P, r.P, 4);
    }
    return Atual.Marcado;
}

PasseDeBlocos::PasseDeBlocos(const std::string& Mensagem, const std::string& Bloco, const std::string& Progresso,
                             bool CongelaTextos, ProgressBar* Barra, int& Left, int& Top)
    : congela_(CongelaTextos), barra_(Barra), left_(Left), top_(Top)
{
    cancelar_->Cancel = false;
    PosicionaDialogo(*cancelar_, Left, Top);
    cancelar_->SetMensagem(Mensagem);
    cancelar_->Show(forms::vbModeless, gMainForm);
    // Frozen texts keep the blocks from being found by them.
    if (congela_) SalvaLayersTexto(true);
    GetLayer(gLayerConf, 6, "");
    ss_ = RecriaConjunto("SS1");
    ss_->Select(5, {}, {}, {0, 2}, {"INSERT", Bloco});
    if (barra_) barra_->Progress_Start(ss_->Count(), Progresso);
}

PasseDeBlocos::~PasseDeBlocos()
{
    left_ = static_cast<int>(std::lround(cancelar_->Left()));
    top_ = static_cast<int>(std::lround(cancelar_->Top()));
    forms::Unload(*cancelar_);
    if (congela_) SalvaLayersTexto(false);
    if (barra_) barra_->Progress_Start(0, "");
}

bool PasseDeBlocos::ParaCada(const std::function<void(acad::BlockReference&)>& Examina)
{
    long desde = 0, intervalo = 0;  // blocks since the last yield, and between two
    for (acad::Entity* e : *ss_) {
        if (desde >= intervalo) {
            forms::DoEvents();
            if (cancelar_->Cancel) return false;
            desde = 0;
            intervalo = std::clamp(kBlocosPorFalha * ErrN, 1L, kBlocosEntreYields);
        }
        ++desde;
        if (auto* bloco = acad::As<acad::BlockReference>(e)) Examina(*bloco);
        if (barra_) barra_->Progress();
    }
    return true;
}

void MostraRelatorio(const std::string& Texto)
{
    Dialogo<frmTips> frm;
    frm->SetOKButton(true);
    frm->SetMensagem(Texto);
    frm->Show(forms::vbModal, gMainForm);
    forms::Unload(*frm);
}

std::string LinhaContagem(long Contagem, const std::string& Texto)
{
    if (Contagem <= 0) return "";
    return std::to_string(Contagem) + Texto + "\r\n";
}

acad::BlockReference* BlocoComAtributos(std::int32_t Id, const std::vector<std::string>& Tags, std::string& Motivo)
{
    acad::BlockReference* bloco = BlocoDoId(Id);
    if (!bloco) {
        Motivo = "O bloco desta ocorrência não existe mais no desenho. Execute a verificação novamente.";
        return nullptr;
    }
    for (const std::string& tag : Tags) {
        if (!GetAtributo(tag, bloco)) {
            Motivo = "O bloco " + bloco->Name() + " desta ocorrência não tem o atributo " + tag + ".";
            return nullptr;
        }
    }
    return bloco;
}

acad::BlockReference* BlocoDoId(std::int32_t Id)
{
    if (Id == 0 || !gAcadDoc) return nullptr;
    try {
        return acad::As<acad::BlockReference>(gAcadDoc->ObjectIdToObject(Id));
    } catch (const acad::Error&) {
        return nullptr;
    }
}

acad::BlockReference* BlocoDoId(std::int32_t Id, const std::vector<std::string>& Tags)
{
    std::string motivo;
    acad::BlockReference* bloco = BlocoComAtributos(Id, Tags, motivo);
    if (!bloco) ExibeMensagem(0, "Atenção", motivo);
    return bloco;
}

acad::BlockReference* BlocoDaFalha(int i, const std::vector<std::string>& Tags)
{
    if (i < 0 || i >= static_cast<int>(ErrList.size())) return nullptr;
    return BlocoDoId(ErrList[static_cast<std::size_t>(i)].ObjectId, Tags);
}

std::string EntreParenteses(const std::string& Texto)
{
    const std::size_t abre = Texto.find('(');
    if (abre == std::string::npos) return Texto;
    const std::size_t fecha = Texto.find(')', abre + 1);
    if (fecha == std::string::npos) return Texto;
    return Texto.substr(abre + 1, fecha - abre - 1);
}

std::string NumeroTexto(double Valor)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, Valor, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

void CliquesDeFalha::Clique(forms::ListBox& Lista, const std::function<void(int)>& Trata)
{
    const int i = Lista.ListIndex();
    if (i < 0 || i >= Lista.ListCount() || i >= static_cast<int>(ErrList.size())) return;
    if (andando_) {
        retido_ = ErrList[static_cast<std::size_t>(i)];
        return;
    }
    Trata(i);
    Retomado(Lista, Trata);
}

void CliquesDeFalha::Enquanto(const std::function<void()>& Trabalho)
{
    // Whatever the walk's end, the next click is handled again.
    andando_ = true;
    AoSair livre([this] { andando_ = false; });
    Trabalho();
}

void CliquesDeFalha::Retomado(forms::ListBox& Lista, const std::function<void(int)>& Trata)
{
    while (retido_ && !andando_) {
        const ErrRec clicada = *retido_;
        retido_.reset();
        const int j = Lista.ListIndex();
        if (j >= 0 && j < Lista.ListCount() && j < static_cast<int>(ErrList.size()) &&
            MesmaFalha(ErrList[static_cast<std::size_t>(j)], clicada))
            Trata(j);
    }
}

int CliquesDeFalha::RemoveSemelhantes(forms::ListBox& Lista, int i, const std::function<bool(int)>& Corrige)
{
    if (i < 0 || i >= static_cast<int>(ErrList.size())) return 0;
    andando_ = true;
    AoSair livre([this] { andando_ = false; });
    const std::string mensagem = ErrList[static_cast<std::size_t>(i)].Mensagem;
    int recusadas = 0;
    int j = i;
    while (j < Lista.ListCount() && j < static_cast<int>(ErrList.size())) {
        forms::DoEvents();
        if (j >= Lista.ListCount() || j >= static_cast<int>(ErrList.size())) break;
        if (ErrList[static_cast<std::size_t>(j)].Mensagem == mensagem) {
            if (Corrige(j)) {
                RemoveErro(Lista, j);
                continue;
            }
            ++recusadas;
        }
        ++j;
    }
    return recusadas;
}

bool EscolheNaLista(const EscolhaLista& Pedido, int& Left, int& Top, std::string& Escolha1, std::string& Escolha2,
                    bool& Repassar, bool& NaoMostrar)
{
    Dialogo<frmEditList> dialogo;
    frmEditList& frm = *dialogo;
    PosicionaDialogo(frm, Left, Top);
    frm.Titulo.SetCaption(Pedido.Titulo);
    frm.SetObjetivo(Pedido.Objetivo);
    frm.SetMensagem(Pedido.Explicacao);
    frm.Check1.SetVisible(Pedido.OfereceTodas);
    if (frm.List1.ListCount() == 0) {
        // Nothing to choose: the dialog could only be cancelled.
        ExibeMensagem(0, "Atenção", "O catálogo não tem nenhum item para esta correção (" + Pedido.Objetivo + ").");
        Repassar = false;
        NaoMostrar = false;
        forms::Unload(frm);
        return false;
    }
    frm.Show(forms::vbModal, gMainForm);
    const bool ok = frm.OK;
    Escolha1 = frm.Escolha1;
    Escolha2 = frm.Escolha2;
    Repassar = frm.Repassar;
    NaoMostrar = frm.NaoMostrar;
    Left = static_cast<int>(std::lround(frm.Left()));
    Top = static_cast<int>(std::lround(frm.Top()));
    forms::Unload(frm);
    return ok;
}

namespace {

void AlternaGrupo(forms::ListBox& Lista, int k, GrupoDeOpcoes& Grupo)
{
    const int n = static_cast<int>(Grupo.Itens.size());
    if (!Grupo.Aberto) {
        for (int m = 0; m < n; ++m) Lista.AddItem(Grupo.Itens[static_cast<std::size_t>(m)], k + 1 + m);
        for (int m = k; m <= k + n; ++m) Lista.SetSelected(m, true);
        Grupo.Aberto = true;
    } else {
        Lista.SetSelected(k, false);
        for (int m = k + n; m > k; --m)
            if (m < Lista.ListCount()) Lista.RemoveItem(m);
        Grupo.Aberto = false;
    }
}

}  // namespace

void CliqueOpcoes(forms::ListBox& Lista, bool& Ocupado, GrupoDeOpcoes& Grupo1, GrupoDeOpcoes& Grupo2)
{
    if (Ocupado) return;
    Ocupado = true;
    AoSair livre([&Ocupado] { Ocupado = false; });
    const int k = Lista.ListIndex();
    if (k < 0) return;
    const std::string texto = Lista.List(k);
    if (texto == Grupo1.Cabecalho)
        AlternaGrupo(Lista, k, Grupo1);
    else if (texto == Grupo2.Cabecalho)
        AlternaGrupo(Lista, k, Grupo2);
}

void LeOpcoes(forms::ListBox& Lista, const std::vector<std::string>& Legendas, std::vector<bool>& NaoEscolhida)
{
    for (int i = 0; i < Lista.ListCount(); ++i) {
        if (!Lista.Selected(i)) continue;
        const std::string texto = Lista.List(i);
        for (std::size_t o = 0; o < Legendas.size() && o < NaoEscolhida.size(); ++o)
            if (texto == Legendas[o]) NaoEscolhida[o] = false;
    }
    Lista.Clear();
}

bool Excede(double Valor, double Tolerancia)
{
    return static_cast<float>(std::fabs(Valor)) > static_cast<float>(Tolerancia);
}

bool EscolheCorrecao(int i, const std::string& Tag, const std::string& Objetivo, const std::string& Antes,
                     const std::string& Depois, int& Left, int& Top, std::string& Valor, bool& ForAll, bool& NoMore)
{
    acad::BlockReference* bloco = BlocoDaFalha(i, {Tag});
    if (!bloco) return false;
    const std::optional<std::string> numero = GetAtributo("NUMERO", bloco);
    const std::string titulo = numero ? "PV: " + *numero : "Trecho: " + GetAtributo("TRECHO", bloco).value_or("");
    const std::string valor = EntreParenteses(ErrList[static_cast<std::size_t>(i)].Mensagem);
    std::string segunda;
    return EscolheNaLista({titulo, Objetivo, Antes + valor + Depois, true}, Left, Top, Valor, segunda, ForAll, NoMore);
}

bool PerguntaSimNao(const std::string& Titulo, const std::string& Texto, bool& NoMore, int& Left, int& Top)
{
    bool ok = false, cancel = false;
    ExibeMensagem(5, Titulo, Texto, ok, cancel, NoMore, "Não mostrar mais esta mensagem.", Left, Top);
    return ok;
}

void PerguntaRemocao(CliquesDeFalha& Cliques, forms::ListBox& Lista, int i, bool& NoMore, int& Left, int& Top)
{
    if (!PerguntaSimNao("Use a ferramenta adequada!", "Quer remover este tipo de ocorrência da lista?", NoMore, Left,
                        Top))
        return;
    Cliques.RemoveSemelhantes(Lista, i, [](int) { return true; });
}

void AplicaCorrecao(CliquesDeFalha& Cliques, forms::ListBox& Lista, int Index, bool ForAll, const std::string& Valor,
                    const std::string& Tag)
{
    if (!ForAll) {
        acad::BlockReference* bloco = BlocoDaFalha(Index, {Tag});
        if (!bloco) return;
        SetAtributo(Tag, Valor, bloco);
        RemoveErro(Lista, Index);
        return;
    }
    const int recusadas = Cliques.RemoveSemelhantes(Lista, Index, [&](int j) {
        std::string motivo;
        acad::BlockReference* bloco = BlocoComAtributos(ErrList[static_cast<std::size_t>(j)].ObjectId, {Tag}, motivo);
        if (!bloco) return false;
        SetAtributo(Tag, Valor, bloco);
        return true;
    });
    if (recusadas > 0)
        ExibeMensagem(0, "Atenção",
                      std::to_string(recusadas) +
                          (recusadas == 1 ? " ocorrência não foi corrigida" : " ocorrências não foram corrigidas") +
                          ": o bloco não existe mais no desenho ou não tem o atributo " + Tag + ".");
}

std::string TextoItens(const forms::ListBox& Lista) { return std::to_string(Lista.ListCount()) + " itens"; }

VerificacaoSAN::VerificacaoSAN(GrupoDeOpcoes PVs, GrupoDeOpcoes TRs)
    : grupoPVs_(std::move(PVs)), grupoTRs_(std::move(TRs))
{
    legendas_.push_back(grupoPVs_.Cabecalho);
    legendas_.insert(legendas_.end(), grupoPVs_.Itens.begin(), grupoPVs_.Itens.end());
    legendas_.push_back(grupoTRs_.Cabecalho);
    legendas_.insert(legendas_.end(), grupoTRs_.Itens.begin(), grupoTRs_.Itens.end());
    naoEscolhida_.assign(legendas_.size(), true);
}

VerificacaoSAN::~VerificacaoSAN() = default;

void VerificacaoSAN::SetcListBox1(forms::ListBox* Lista)
{
    cListBox1_ = Lista;
    clique1_ = Lista ? platform::ScopedConnection(Lista->Click += [this] { cListBox1_Click(); })
                     : platform::ScopedConnection();
}

void VerificacaoSAN::SetcListBox2(forms::ListBox* Lista)
{
    cListBox2_ = Lista;
    clique2_ = Lista ? platform::ScopedConnection(Lista->Click += [this] { cListBox2_Click(); })
                     : platform::ScopedConnection();
}

void VerificacaoSAN::Prepare()
{
    if (cListBox1_) {
        cListBox1_->Clear();
        cListBox1_->AddItem(grupoPVs_.Cabecalho);
        cListBox1_->AddItem(grupoTRs_.Cabecalho);
    }
    ocupado_ = false;
}

void VerificacaoSAN::Execute()
{
    // The options are read once; an option is only ever chosen, never unchosen.
    if (cListBox1_) LeOpcoes(*cListBox1_, legendas_, naoEscolhida_);
    ErrN = 0;
    falhas_ = 0;
    repetidosPV_ = 0;
    repetidosTR_ = 0;
    const int cabecalhoTRs = static_cast<int>(grupoPVs_.Itens.size()) + 1;
    try {
        cliques_.Enquanto([&] {
            long contagem = 0;
            bool cancelado = false;
            if (Escolhida(0)) {
                contagem = Conf_PVs(cancelado);
                if (contagem > 0) MostraRelatorio(RelatorioPVs());
            }
            // Faults among the manholes come first: the reaches wait for the next run.
            if (contagem == 0 && !cancelado && Escolhida(cabecalhoTRs)) {
                if (Conf_TRs() > 0) MostraRelatorio(RelatorioTRs());
            }
        });
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", "A verificação foi interrompida:\r" + e.Description());
    }
    if (cListBox2_) cliques_.Retomado(*cListBox2_, [this](int i) { TrataClique(i); });
}

void VerificacaoSAN::cListBox1_Click()
{
    if (cListBox1_) CliqueOpcoes(*cListBox1_, ocupado_, grupoPVs_, grupoTRs_);
}

void VerificacaoSAN::cListBox2_Click()
{
    if (cListBox2_) cliques_.Clique(*cListBox2_, [this](int i) { TrataClique(i); });
}

void VerificacaoSAN::TrataClique(int i)
{
    if (!ConectaAcad()) return;
    TrataFalha(i);
    if (cProgress && cListBox2_) cProgress->SetCaption(TextoItens(*cListBox2_));
}
