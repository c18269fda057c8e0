#include "cad/modSelecao.h"

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modVista.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSets.h"
#include "platform/forms/Application.h"

namespace {

constexpr int acSelectionSetCrossing = 1;

// Where an entity lies for "the nearest to P": none for kinds without a
// position of their own.
std::optional<Ponto> Posicao(acad::Entity* e, const Ponto& P)
{
    const std::string nome = e->ObjectName();
    if (nome == "AcDbPoint") return Ponto(static_cast<acad::Point*>(e)->Coordinates());
    if (nome == "AcDbBlockReference") return Ponto(static_cast<acad::BlockReference*>(e)->InsertionPoint());
    if (nome == "AcDbPolyline") {
        const std::vector<double> c = static_cast<acad::LWPolyline*>(e)->Coordinates();
        std::optional<Ponto> perto;
        double melhor = 500000;
        for (std::size_t i = 0; i + 1 < c.size(); i += 2) {
            const Ponto v(c[i], c[i + 1]);
            const double d = Distancia(P, v);
            if (d < melhor) {
                melhor = d;
                perto = v;
            }
        }
        return perto;
    }
    return std::nullopt;
}

// The position an object's Coordinates give: a point's own, the first vertex
// of a polyline or a face (the list begins with it). None for objects
// without Coordinates.
std::optional<Ponto> Coordenadas(acad::Entity* e)
{
    if (auto* p = acad::As<acad::Point>(e)) return Ponto(p->Coordinates());
    if (auto* l = acad::As<acad::LWPolyline>(e)) {
        const std::vector<double> c = l->Coordinates();
        if (c.size() >= 2) return Ponto(c[0], c[1], l->Elevation());
        return std::nullopt;
    }
    std::vector<double> c;
    if (auto* pl = acad::As<acad::PolylineBase>(e))
        c = pl->Coordinates();
    else if (auto* f = acad::As<acad::Face3D>(e))
        c = f->Coordinates();
    if (c.size() >= 3) return Ponto(c[0], c[1], c[2]);
    return std::nullopt;
}

// Crossing selection into the set; true when it found something.
bool Cruzando(acad::SelectionSet* ss, const Ponto& C1, const Ponto& C2, const FiltroTipos& Tipos,
              const FiltroDados& Dados)
{
    ss->Select(acSelectionSetCrossing, C1, C2, Tipos, Dados);
    return ss->Count() > 0;
}

// Asks until an answer comes; the failure `Repete` asks again, any other
// ends the request with nothing.
template <typename F>
auto Pergunta(std::uint32_t Repete, F pergunta) -> std::optional<decltype(pergunta())>
{
    for (;;) {
        if (!gAcadUtil) return std::nullopt;
        try {
            return pergunta();
        } catch (const acad::Error& e) {
            if (e.Code() != Repete) return std::nullopt;
        }
    }
}

std::optional<acad::Point3d> DoHost(const std::optional<Ponto>& P)
{
    if (!P) return std::nullopt;
    return acad::Point3d(*P);
}

}  // namespace

std::string NomeLiteral(const std::string& Nome)
{
    static const std::string kCuringas = "#@.*?~[]-,`";
    std::string r;
    r.reserve(Nome.size() * 2);
    for (char c : Nome) {
        if (kCuringas.find(c) != std::string::npos) r += '`';
        r += c;
    }
    return r;
}

acad::SelectionSet* RecriaConjunto(const std::string& Nome)
{
    acad::SelectionSets& sets = gAcadDoc->SelectionSets();
    if (acad::SelectionSet* velho = sets.Find(Nome)) velho->Delete();
    return sets.Add(Nome);
}

acad::SelectionSet* SelecionaJanela(const Ponto& P1, const Ponto& P2, const FiltroTipos& Tipos,
                                    const FiltroDados& Dados, bool& Vazio)
{
    Vazio = true;
    acad::SelectionSet* ss = RecriaConjunto("SStmp");
    // Selections see only what is on screen.
    if (PontoForaDaVista(P1) || PontoForaDaVista(P2)) ZoomJanela(P1, P2, 0.8);
    if (Cruzando(ss, P1, P2, Tipos, Dados)) Vazio = false;
    return ss;
}

acad::SelectionSet* SelecionaJanela(const Ponto& P1, double Meio, const FiltroTipos& Tipos, const FiltroDados& Dados,
                                    bool& Vazio)
{
    Vazio = true;
    acad::SelectionSet* ss = RecriaConjunto("SStmp");
    if (PontoForaDaVista(P1)) ZoomCentro(P1, 200);
    if (Cruzando(ss, JanelaPonto(P1, true, Meio), JanelaPonto(P1, false, Meio), Tipos, Dados)) Vazio = false;
    return ss;
}

acad::Entity* SelecionaObjetos(const Ponto& P, double AlturaZoom, const FiltroTipos& Tipos, const FiltroDados& Dados,
                               bool& Vazio, std::int32_t Excluido, double Meio)
{
    Vazio = false;
    double melhor = 50000;
    acad::SelectionSet* ss = RecriaConjunto("SStmp");
    if (AlturaZoom <= 0)
        ZoomCentro(P, 140);
    else if (PontoForaDaVista(P))
        ZoomCentro(P, AlturaZoom);

    if (!Cruzando(ss, JanelaPonto(P, true, Meio), JanelaPonto(P, false, Meio), Tipos, Dados)) {
        Vazio = true;
        return nullptr;
    }
    if (ss->Count() == 1) return ss->Item(0);

    acad::Entity* resultado = nullptr;
    for (acad::Entity* e : *ss) {
        if (e->ObjectID() == Excluido) continue;
        const std::optional<Ponto> pos = Posicao(e, P);
        if (!pos) continue;
        const double d = Distancia(P, *pos);
        // Strictly nearer: of two at the same distance the first listed stays.
        if (d < melhor) {
            melhor = d;
            resultado = e;
        }
    }
    return resultado;
}

acad::Entity* AtivaAcad(const std::string& Prompt, int Tentativas, Ponto& PontoEscolhido, bool& Falhou,
                        const std::string& NomeObjeto)
{
    Falhou = true;
    AtivaJanelaAcad();
    forms::DoEvents();
    for (;;) {
        acad::Entity* objeto = nullptr;
        acad::Point3d ponto;
        bool aceito = false;
        try {
            if (gAcadUtil) {
                gAcadUtil->GetEntity(objeto, ponto, Prompt);
                // The point of a pick refused for its kind still goes back:
                // the caller may use where the user clicked.
                if (objeto) PontoEscolhido = ponto;
                aceito = objeto && (NomeObjeto.empty() || objeto->ObjectName() == NomeObjeto);
            }
        } catch (const acad::Error&) {
        }
        if (aceito) {
            Falhou = false;
            return objeto;
        }
        if (--Tentativas <= 0) return nullptr;
    }
}

acad::Entity* PegaCoordenadas(const std::string& Prompt, int Tentativas, bool DesenhaCirculo, Ponto& PontoEscolhido,
                              bool& Falhou, std::vector<acad::BlockReference*>& Contexto)
{
    Falhou = true;
    AtivaJanelaAcad();
    forms::DoEvents();
    acad::Entity* objeto = nullptr;
    acad::Point3d ponto;
    for (;;) {
        objeto = nullptr;
        try {
            if (gAcadUtil) {
                acad::Transform matriz;
                std::vector<acad::BlockReference*> contexto;
                gAcadUtil->GetSubEntity(objeto, ponto, matriz, contexto, Prompt);
                if (objeto) Contexto = std::move(contexto);
            }
        } catch (const acad::Error&) {
            objeto = nullptr;
        }
        if (objeto) break;
        if (--Tentativas <= 0) return nullptr;
    }
    PontoEscolhido = ponto;
    // The circle goes around the object's coordinates, through where the user
    // clicked; objects without coordinates (blocks, lines, texts) get none.
    if (DesenhaCirculo) {
        if (const std::optional<Ponto> centro = Coordenadas(objeto)) {
            try {
                gModelSpace->AddCircle(*centro, Distancia(PontoEscolhido, *centro));
            } catch (const acad::Error&) {
            }
        }
    }
    Falhou = false;
    return objeto;
}

std::optional<Ponto> GetPonto(const std::optional<Ponto>& Base, const std::string& Prompt)
{
    AtivaJanelaAcad();
    return Pergunta(acad::ErrorCode::Cancelled, [&] { return Ponto(gAcadUtil->GetPoint(DoHost(Base), Prompt)); });
}

std::optional<double> GetValorUsuario(const std::optional<Ponto>& Base, const std::string& Prompt)
{
    AtivaJanelaAcad();
    return Pergunta(acad::ErrorCode::EmptyInput, [&] { return gAcadUtil->GetAngle(DoHost(Base), Prompt); });
}

void GetJanela(std::optional<Ponto>& InferiorEsquerdo, std::optional<Ponto>& SuperiorDireito, const std::string& Prompt)
{
    AtivaJanelaAcad();
    InferiorEsquerdo.reset();
    SuperiorDireito.reset();
    const std::optional<Ponto> p1 =
        Pergunta(acad::ErrorCode::Cancelled, [&] { return Ponto(gAcadUtil->GetPoint(std::nullopt, Prompt)); });
    if (!p1) return;
    const std::optional<Ponto> p2 =
        Pergunta(acad::ErrorCode::Cancelled, [&] { return Ponto(gAcadUtil->GetCorner(*p1, "Segundo ponto: ")); });
    if (!p2) return;
    double xMax, xMin, yMax, yMin;
    OrdenaJanela(p1->X, p2->X, p2->X, xMax, xMin);
    OrdenaJanela(p1->Y, p2->Y, p2->Y, yMax, yMin);
    InferiorEsquerdo = Ponto(xMin, yMin, 0.0);
    SuperiorDireito = Ponto(xMax, yMax, 0.0);
}
