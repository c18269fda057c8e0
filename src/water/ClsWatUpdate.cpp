#include "water/ClsWatUpdate.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "cad/AoSair.h"
#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "shell/modPainel.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"

namespace {

const std::string kAntigo = "0-Antigo";

std::string Maiusculas(std::string Texto)
{
    for (char& c : Texto)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return Texto;
}

std::string TrocaTudo(std::string Texto, const std::string& De, const std::string& Para)
{
    for (std::size_t p = Texto.find(De); p != std::string::npos; p = Texto.find(De, p + Para.size()))
        Texto.replace(p, De.size(), Para);
    return Texto;
}

acad::SelectionSet* SelecionaTudo(const FiltroTipos& Tipos, const FiltroDados& Dados)
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, Tipos, Dados);
    return ss;
}

// The fitting whose drawing passes through the pipe end.
acad::BlockReference* ConexaoNaPonta(const Ponto& P)
{
    bool vazio = true;
    acad::Entity* e = SelecionaObjetos(P, 50.0, {-4, 2, -4, 2, -4, -4},
                                       {acad::Variant("<AND"), acad::Variant("A-*"), acad::Variant("<NOT"),
                                        acad::Variant("A-TUBO"), acad::Variant("NOT>"), acad::Variant("AND>")},
                                       vazio, 0, 0.0);
    if (vazio) return nullptr;
    return dynamic_cast<acad::BlockReference*>(e);
}

// The socket of the fitting nearest the pipe end and the fitting's insertion point.
bool BolsaNaPonta(acad::BlockReference* Conexao, const Ponto& Ponta, Ponto& Bolsa, Ponto& Centro)
{
    std::string codigo, dp, ds, material, etapa, naoUsado, diametro, tubo;
    std::vector<double> percurso;
    if (!InfoBolsa(Conexao, codigo, dp, ds, material, etapa, Centro, Ponta, Bolsa, naoUsado, diametro, tubo, false,
                   percurso, false))
        return false;
    return true;
}

void Coloca(acad::AttributeReference* a, const Ponto& P)
{
    // A left-aligned text stands at its insertion point; the others at their alignment point.
    if (a->Alignment() == 0) a->SetInsertionPoint(P);
    a->SetTextAlignmentPoint(P);
}

std::string Coordenadas(const Ponto& P) { return FormatNum(P.X, 4) + "," + FormatNum(P.Y, 4); }

}  // namespace

ClsWatUpdate::Rotulo ClsWatUpdate::LeRotulo(acad::BlockReference& R)
{
    Rotulo L;
    L.EscalaY = R.YScaleFactor();
    L.Espelhado = L.EscalaY <= 0;
    L.Ancora = R.InsertionPoint();
    for (acad::AttributeReference* a : R.GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "TUBO") {
            L.Codigo = a->TextString();
            L.Alinhamento = a->Alignment();
            L.Ancora = L.Alinhamento == 0 ? Ponto(a->InsertionPoint()) : Ponto(a->TextAlignmentPoint());
            a->SetLayer(kAntigo);
            L.Rotacao = a->Rotation();
            a->Update();
        } else if (tag == "ETAPA") {
            L.Etapa = Apara(a->TextString());
        }
    }
    const std::size_t dn = L.Codigo.find("DN");
    if (dn != std::string::npos) {
        L.Tipo = L.Codigo.substr(0, dn);
        const std::size_t traco = L.Codigo.find('-', dn + 2);
        if (traco != std::string::npos) {
            L.Diametro = L.Codigo.substr(dn + 2, traco - dn - 2);
            L.TemDiametro = true;
        }
        for (const TipoTuboRec& t : gTiposTubo)
            if (t.Codigo == L.Tipo) {
                L.Material = t.NomeCatalogo;
                break;
            }
    }
    return L;
}

void ClsWatUpdate::Update(ProgressBar& Progresso)
{
    bool sim = false, nao = false, marca = false;
    ExibeMensagem(4, "Antes de iniciar verifique:",
                  "1) Todos os blocos R-TUBO no Layer TRECHO;\r\n2) Os Layers de tubos começam com 'T_'.\r\n\r\n"
                  "Os itens acima foram verificados?",
                  sim, nao, marca, "", MsgLeft, MsgTop);
    if (!sim) return;
    if (!ConectaAcad()) return;

    Progresso.SetCaption("Preparando...");
    gAcadDoc->PurgeAll();
    gAcadDoc->PurgeAll();
    // LTSCALE as it was before the conversion, back whichever way it ends.
    GuardaVariaveis ltscale{"LTSCALE"};
    gAcadDoc->SetVariable("LTSCALE", acad::Variant(100.0));
    AoSair limpa([&Progresso] { Progresso.Progress_Start(0, ""); });

    acad::SelectionSet* antigas =
        SelecionaTudo({-4, 2, -4, 2, -4, -4}, {acad::Variant("<AND"), acad::Variant("R-*"), acad::Variant("<NOT"),
                                               acad::Variant("R-TUBO"), acad::Variant("NOT>"), acad::Variant("AND>")});
    if (antigas->Count() > 0) {
        RedefineBlocos(Progresso);
        CorrigeConexoes(Progresso);
    }

    Progresso.Progress_Start(0, "");
    CriaBlocoConexao("A-TUBO", false);
    GetLayer(kAntigo, 2, "");
    ConverteAutomatico(Progresso);
    FaseManual([&ltscale] { ltscale.Restaura(); });
}

void ClsWatUpdate::RedefineBlocos(ProgressBar& Progresso)
{
    std::vector<acad::Block*> definicoes;
    for (acad::Block* b : gAcadDoc->Blocks()) definicoes.push_back(b);
    Progresso.Progress_Start(static_cast<long long>(definicoes.size()), "Redefinindo blocos...");
    for (acad::Block* b : definicoes) {
        forms::DoEvents();
        const std::string nome = Maiusculas(b->Name());
        if (nome.compare(0, 2, "R-") == 0 && nome != "R-TUBO") {
            const std::string novo = TrocaTudo(nome, "R-", "A-");
            bool temLinhas = false;
            for (const BlocoDefAguaRec& r : gBlocosAgua)
                if (r.Bloco == novo) temLinhas = true;
            if (ExisteBloco(novo)) {
                // The drawing has the new block already: the old references take it.
                std::vector<acad::BlockReference*> refs;
                for (acad::Entity* e : *gModelSpace)
                    if (auto* r = dynamic_cast<acad::BlockReference*>(e); r && Maiusculas(r->Name()) == nome)
                        refs.push_back(r);
                for (acad::BlockReference* r : refs) r->SetName(novo);
            } else {
                b->SetName(novo);
            }
            // Without catalogue rows the old drawing is all the fitting has: it stays.
            if (temLinhas) CriaBlocoConexao(novo, true);
        }
        Progresso.Progress();
    }
    gAcadDoc->Regen(acad::acAllViewports);
}

void ClsWatUpdate::CorrigeConexoes(ProgressBar& Progresso)
{
    acad::SelectionSet* ss = SelecionaTudo({2}, {acad::Variant("A-*")});
    std::vector<acad::BlockReference*> conexoes;
    for (acad::Entity* e : *ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) conexoes.push_back(b);
    Progresso.Progress_Start(static_cast<long long>(conexoes.size()), "Corrigindo conexões...");
    for (acad::BlockReference* b : conexoes) {
        // Each fitting says its own code: one without it gets no material.
        std::string codigo;
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == "CÓDIGO") {
                codigo = a->TextString();
                a->SetTagString(TrocaTudo(a->TagString(), "Ó", "O"));
                a->Update();
            }
        codigo = codigo.substr(0, codigo.find("DN"));
        std::string material;
        if (!codigo.empty())
            for (const ConexaoRec& c : gConexoes)
                if (c.Codigo == codigo) {
                    material = c.Material;
                    break;
                }
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == "MAT") {
                a->SetTagString("MATERIAL");
                a->SetTextString(material);
                a->Update();
            }
        Progresso.Progress();
    }
}

void ClsWatUpdate::ConverteAutomatico(ProgressBar& Progresso)
{
    acad::SelectionSet* ss = SelecionaTudo({2, 8}, {acad::Variant("R-TUBO"), acad::Variant("TRECHO")});
    if (ss->Count() == 0) return;
    std::vector<std::int32_t> ids;
    Progresso.Progress_Start(ss->Count(), "Listando tubos...");
    for (acad::Entity* e : *ss) {
        ids.push_back(e->ObjectID());
        Progresso.Progress();
    }
    Progresso.Progress_Start(static_cast<long long>(ids.size()), "Tubos: Automático");
    for (std::int32_t id : ids) {
        auto* r = dynamic_cast<acad::BlockReference*>(gAcadDoc->ObjectIdToObject(id));
        if (!r || r->IsErased()) {
            Progresso.Progress();
            continue;
        }
        const Rotulo L = LeRotulo(*r);
        bool convertido = false;
        // A code whose diameter cannot be cut out names no pipe layer: the
        // label waits for the manual phase.
        if (L.TemDiametro) {
            const std::string camada = L.Etapa == "0" ? "T_" + L.Diametro : "T_" + L.Diametro + "_" + L.Etapa;
            bool vazio = true;
            acad::SelectionSet* tubos = SelecionaJanela(
                r->InsertionPoint(), 4.0, {-4, 8, -4, 0, 0, -4, -4},
                {acad::Variant("<AND"), acad::Variant(NomeLiteral(camada)), acad::Variant("<OR"), acad::Variant("LINE"),
                 acad::Variant("LWPOLYLINE"), acad::Variant("OR>"), acad::Variant("AND>")},
                vazio);
            if (!vazio && tubos->Count() == 1) {
                ConverteTubo(tubos->Item(0), L, r);
                convertido = true;
            }
        }
        if (!convertido) {
            r->SetLayer(kAntigo);
            r->Update();
        }
        Progresso.Progress();
    }
    Progresso.Progress_Start(0, "");
}

void ClsWatUpdate::FaseManual(const std::function<void()>& RestauraLtscale)
{
    MsgLeft = static_cast<int>(forms::Screen.Width() / 2);
    MsgTop = static_cast<int>(forms::Screen.Height() / 2);
    // The main window minimised while the user works in the drawing, and back.
    if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
    AoSair janela([] {
        if (gMainForm) gMainForm->SetWindowState(forms::vbNormal);
    });
    for (;;) {
        forms::DoEvents();
        acad::SelectionSet* ss = SelecionaTudo({2}, {acad::Variant("R-TUBO")});
        if (ss->Count() == 0) {
            RestauraLtscale();
            gAcadDoc->Regen(acad::acAllViewports);
            bool ok = false, cancel = false, marca = false;
            ExibeMensagem(0, "Desenhos Antigos", "\r\nConcluido.", ok, cancel, marca, "", MsgLeft, MsgTop);
            return;
        }
        auto* r = dynamic_cast<acad::BlockReference*>(ss->Item(0));
        bool sim = false, nao = false, ocultar = false;
        ExibeMensagem(5, "Converter antigos",
                      std::to_string(ss->Count()) +
                          " não puderam ser atualizadas automaticamente e deverão ser atualizadas "
                          "individualmente.\r\n\r\nContinuar? ",
                      sim, nao, ocultar, "Ocultar este diálogo", MsgLeft, MsgTop);
        if (!sim) return;
        if (r) ZoomCentro(r->InsertionPoint(), 50.0);
        RepareTuboManual();
        AtivaJanelaAcad();
    }
}

void ClsWatUpdate::RepareTuboManual()
{
    if (!ConectaAcad()) return;
    SalvaVista();
    GetLayer(kAntigo, 2, "");

    Ponto clique;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione Código", 1, clique, falhou, "");
    auto* r = dynamic_cast<acad::BlockReference*>(e);
    if (falhou || !r || r->Name() != "R-TUBO") return;
    acad::Entity* tubo = AtivaAcad("Selecione linha do tubo:", 1, clique, falhou, "");
    if (falhou || !tubo) return;
    const std::string tipo = tubo->ObjectName();
    if (tipo != "AcDbPolyline" && tipo != "AcDbLine" && tipo != "AcDb2dPolyline" && tipo != "AcDbSpline") return;

    const Rotulo L = LeRotulo(*r);
    const bool ok = ConverteTubo(tubo, L, r);
    RestauraVista();
    if (!ok) {
        bool b1 = false, b2 = false, b3 = false;
        ExibeMensagem(0, "Atenção", "Corrija as conexões", b1, b2, b3, "", MsgLeft, MsgTop);
    }
}

bool ClsWatUpdate::ConverteTubo(acad::Entity* Tubo, const std::string& Material, const Ponto& Ancora, int Alinhamento,
                                const std::string& Codigo, double Rotacao, double EscalaY, bool Espelhado,
                                const std::string& Etapa, acad::BlockReference* Antigo)
{
    const std::string camada = Tubo->Layer();
    double comprimento = 0.0;
    const std::optional<std::vector<double>> lista = CurvaParaPontos(Tubo, comprimento, std::nullopt, 1.0);
    if (!lista || lista->size() < 4) return false;
    std::vector<double> vertices = *lista;
    const Ponto S(vertices[0], vertices[1]);
    const Ponto E(vertices[vertices.size() - 2], vertices[vertices.size() - 1]);
    int segmento = 0;
    double direcao = 0.0;
    const Ponto P = PontoAoLongo(vertices, comprimento / 2.0, segmento, direcao).value_or(S);

    if (Distancia(S, E) > 1e-9)
        ZoomJanela(S, E, 0.8);
    else
        ZoomCentro(S, 50.0);

    // Both ends must touch a fitting before anything changes.
    acad::BlockReference* inicio = ConexaoNaPonta(S);
    if (!inicio) return false;
    acad::BlockReference* fim = ConexaoNaPonta(E);
    if (!fim) return false;
    Ponto bolsaInicio, centroInicio, bolsaFim, centroFim;
    if (!BolsaNaPonta(inicio, S, bolsaInicio, centroInicio)) return false;
    if (!BolsaNaPonta(fim, E, bolsaFim, centroFim)) return false;

    vertices[0] = bolsaInicio.X;
    vertices[1] = bolsaInicio.Y;
    vertices[vertices.size() - 2] = bolsaFim.X;
    vertices[vertices.size() - 1] = bolsaFim.Y;

    Tubo->Delete();
    acad::LWPolyline* nova = gModelSpace->AddLightWeightPolyline(vertices);
    nova->SetLayer(camada);
    nova->Update();

    // The pipe's path from fitting centre to fitting centre: its ends are H1 and H2.
    const Ponto H1 = centroInicio;
    const Ponto H2 = centroFim;

    if (Antigo) Antigo->Delete();
    GetLayer("TRECHO", 0, "");
    // A label flattened to nothing would insert an invisible one.
    const double escala = EscalaY == 0.0 ? 1.0 : EscalaY;
    acad::BlockReference* rotulo = gModelSpace->InsertBlock(P, "A-TUBO", 1.0, escala, 1.0, Rotacao);
    rotulo->SetLayer("TRECHO");
    rotulo->Update();

    for (acad::AttributeReference* a : rotulo->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO") {
            a->SetTextString(Codigo);
            a->SetAlignment(Alinhamento);
            if (Alinhamento != 0)
                a->SetTextAlignmentPoint(Ancora);
            else
                a->SetInsertionPoint(Ancora);
            a->SetUpsideDown(Espelhado);
            a->SetLayer("TRECHO");
            a->SetInvisible(false);
        } else if (tag == "MATERIAL") {
            a->SetTextString(Material);
            a->SetAlignment(13);
            a->SetTextAlignmentPoint(P);
            a->SetUpsideDown(Espelhado);
            a->SetInvisible(true);
        } else if (tag == "ETAPA") {
            a->SetTextString(Etapa);
            a->SetInvisible(true);
        } else if (tag == "H1" || tag == "H2") {
            const Ponto& H = tag == "H1" ? H1 : H2;
            a->SetTextString(Coordenadas(H));
            Coloca(a, H);
            a->SetHeight(0.00001);
        } else if (tag == "CONTRIB") {
            a->SetTextString("SIM");
            a->SetLayer("TRECHO");
            a->SetAlignment(7);
            a->SetTextAlignmentPoint(P);
            a->SetUpsideDown(Espelhado);
            a->SetInvisible(true);
        } else {
            continue;
        }
        a->Update();
    }
    return true;
}
