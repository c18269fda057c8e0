#include "common/modGradeLotes.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <set>

#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "common/modCadastro.h"
#include "common/modClipSetor.h"
#include "platform/acad/Acad.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/MsgBox.h"
#include "shell/ProgressBar.h"
#include "topography/TOPDes.h"

namespace {

constexpr double Passo = 10.0;        // one tick every 10 units of perimeter
constexpr double Coincide = 0.001;    // a vertex and the start point, in x and in y
constexpr double MesmoAngulo = 0.01;  // radians
constexpr double Normal = 10.0;       // offset of the auxiliary point of a perpendicular
constexpr double FatorZoom = 0.8;
constexpr double MeioJanela = 0.2;  // half side of the window around an end of the perimeter
constexpr double Largura = 3.0;     // of a perimeter polyline
constexpr double Corda = 0.5;       // chord length of arcs read from the perimeter and its pieces
const char* const CamadaPerimetro = "GRADE_10_LINHA";
const char* const Titulo = "GRADE_10";

const FiltroTipos TiposPerimetro{8, 0};
const FiltroDados DadosPerimetro{acad::Variant(std::string(CamadaPerimetro)), acad::Variant(std::string("LWPOLYLINE"))};

bool Sobre(const Ponto& A, const Ponto& B)
{
    return std::fabs(A.X - B.X) < Coincide && std::fabs(A.Y - B.Y) < Coincide;
}
double Reduz(double a) { return a > 2 * PI ? a - 2 * PI : a; }
// Two directions taken as the same: compared round the circle, so that a
// direction just below 2π and one just above 0 agree.
bool MesmaDirecao(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 2 * PI);
    if (d > PI) d = 2 * PI - d;
    return d < MesmoAngulo;
}
// The foot of the perpendicular from P to the line A-B lies ahead of A,
// towards B.
bool AFrente(const Ponto& A, const Ponto& B, const Ponto& P)
{
    const double a = Azimute(A, B);
    const std::optional<Ponto> X = Intersecao(A, B, P, PontoPolar(P, a + PI / 2, Normal));
    return X && MesmaDirecao(a, Azimute(A, *X));
}

std::optional<std::vector<double>> Vertices(acad::Entity* E)
{
    double comprimento = 0;
    try {
        return CurvaParaPontos(E, comprimento, std::nullopt, Corda);
    } catch (const acad::Error&) {
        return std::nullopt;
    }
}

void Escreve(forms::TextBox* T, const std::string& s)
{
    if (!T) return;
    T->SetText(s);
    T->Refresh();
}

// The application and its first string of an entity's extended data.
bool DadosEstendidos(acad::Entity* E, std::string& App, std::string& Texto)
{
    std::vector<int> tipos;
    std::vector<acad::Variant> valores;
    E->GetXData("", tipos, valores);
    App.clear();
    Texto.clear();
    for (std::size_t k = 0; k < tipos.size(); ++k) {
        if (tipos[k] == 1001 && App.empty() && valores[k].IsString())
            App = valores[k].AsString();
        else if (tipos[k] == 1000 && !App.empty() && valores[k].IsString()) {
            Texto = valores[k].AsString();
            break;
        }
    }
    return !App.empty();
}

bool NomeBloco(acad::Entity* E, const std::string& Nome)
{
    auto* b = dynamic_cast<acad::BlockReference*>(E);
    return b && b->Name() == Nome;
}

void ZoomEntidade(acad::Entity* E)
{
    acad::Point3d a, b;
    E->GetBoundingBox(a, b);
    ZoomJanela(Ponto(a), Ponto(b), FatorZoom);
}

bool DocumentoAberto(acad::Document* D) { return gAcadApp && AbertoNoHost(*gAcadApp, D); }

// A perimeter being merged: the list EncadeiaLinhas would give, kept in the
// order of the polyline's own vertices. Chaining at its start turns the list
// round; here that only flips a flag, and every piece goes to one end or the
// other, so a merge costs the piece, not the perimeter.
class Cadeia {
public:
    explicit Cadeia(const std::vector<double>& L)
    {
        for (std::size_t k = 0; k < NVertices(L); ++k) v_.push_back(Vertice(L, k));
    }
    Ponto Primeiro() const { return invertida_ ? v_.back() : v_.front(); }
    Ponto Ultimo() const { return invertida_ ? v_.front() : v_.back(); }
    bool Invertida() const { return invertida_; }

    // EncadeiaLinhas(list, M) in place; false when no ends meet.
    bool Encadeia(const std::vector<double>& M)
    {
        const std::size_t n = NVertices(M);
        if (n == 0) return false;
        const std::optional<Encadeamento> como = ComoEncadear(Primeiro(), Ultimo(), Vertice(M, 0), Vertice(M, n - 1));
        if (!como) return false;
        if (como->InverteA) invertida_ = !invertida_;
        for (std::size_t i = 0; i < n; ++i) {
            const Ponto p = Vertice(M, como->InverteB ? n - 1 - i : i);
            if (i == 0 && RepeteVertice(Ultimo(), p)) continue;
            if (invertida_) {
                v_.push_front(p);
                ++frente_;
            } else {
                v_.push_back(p);
                ++tras_;
            }
        }
        return true;
    }

    // The list, in the order EncadeiaLinhas gives it.
    std::vector<double> Lista() const
    {
        std::vector<double> L;
        L.reserve(2 * v_.size());
        if (invertida_)
            for (auto it = v_.rbegin(); it != v_.rend(); ++it) Acrescenta(L, *it);
        else
            for (const Ponto& p : v_) Acrescenta(L, p);
        return L;
    }

    // The polyline has just taken Lista(): its order becomes the kept one.
    void Acerta()
    {
        if (invertida_) std::reverse(v_.begin(), v_.end());
        invertida_ = false;
        frente_ = tras_ = 0;
    }

    // The polyline, which held the vertices before the last merges, gains
    // the new ones at its two ends.
    void Estende(acad::LWPolyline& pl)
    {
        for (std::size_t k = frente_; k-- > 0;) pl.AddVertex(0, acad::Point3d(v_[k].X, v_[k].Y, 0));
        for (std::size_t k = v_.size() - tras_; k < v_.size(); ++k)
            pl.AddVertex(pl.NumberOfVertices(), acad::Point3d(v_[k].X, v_[k].Y, 0));
        frente_ = tras_ = 0;
    }

private:
    std::deque<Ponto> v_;
    bool invertida_ = false;
    std::size_t frente_ = 0, tras_ = 0;  // vertices added at each end since the polyline was last told
};

// No arcs and one width: drawn the same whichever way its vertices run.
bool Simples(const acad::LWPolyline& pl)
{
    for (int i = 0; i < pl.NumberOfVertices(); ++i)
        if (pl.GetBulge(i) != 0.0) return false;
    try {
        (void)pl.ConstantWidth();
    } catch (const acad::Error&) {
        return false;
    }
    return true;
}

}  // namespace

void LeCoordsPline(acad::Entity* P)
{
    auto* pl = dynamic_cast<acad::LWPolyline*>(P);
    if (!pl || pl->IsErased()) return;
    const std::int32_t id = P->ObjectID();
    const std::optional<std::vector<double>> lido = Vertices(P);
    if (!lido || NVertices(*lido) < 2) return;
    Cadeia L(*lido);
    // Once P holds the merged list, a plain P (no arcs, one width) only
    // gains the new vertices at its ends, as drawn; else it takes the whole
    // list at every pass.
    const bool simples = Simples(*pl);
    bool espelho = false;
    // Pieces already merged are never looked at again, even one that could
    // not be deleted: the passes always come to an end.
    std::set<std::int32_t> juntados;
    bool mudou;
    do {
        forms::DoEvents();
        mudou = false;
        std::vector<acad::Entity*> pecas;
        for (int ponta = 0; ponta < 2; ++ponta) {
            const Ponto extremo = ponta == 0 ? L.Primeiro() : L.Ultimo();
            bool vazio = true;
            acad::SelectionSet* ss = SelecionaJanela(extremo, MeioJanela, TiposPerimetro, DadosPerimetro, vazio);
            if (vazio || ss->Count() < 2) continue;
            std::vector<acad::Entity*> achados;
            for (acad::Entity* e : *ss) achados.push_back(e);
            for (acad::Entity* e : achados) {
                if (e->ObjectID() == id || juntados.count(e->ObjectID())) continue;
                const std::optional<std::vector<double>> M = Vertices(e);
                if (!M || !L.Encadeia(*M)) continue;
                mudou = true;
                juntados.insert(e->ObjectID());
                pecas.push_back(e);
            }
        }
        if (mudou) {
            if (espelho) {
                L.Estende(*pl);
            } else {
                // The list holds the arcs as points already: a bulge kept on
                // its old vertex index would bend a chord it never belonged to.
                for (int i = 0; i < pl->NumberOfVertices(); ++i)
                    if (pl->GetBulge(i) != 0.0) pl->SetBulge(i, 0.0);
                pl->SetCoordinates(L.Lista());
                espelho = simples;
                if (espelho) L.Acerta();
            }
            for (acad::Entity* e : pecas) {
                try {
                    e->Delete();
                } catch (const acad::Error&) {
                }
            }
        }
    } while (mudou);
    // Grown the other way round: P takes the list in its own order.
    if (espelho && L.Invertida()) pl->SetCoordinates(L.Lista());
}

std::optional<std::vector<double>> OrdenaPerimetro(const std::vector<double>& L, bool Fechada, const Ponto& Inicio,
                                                   const Ponto& Lado)
{
    const std::size_t n = NVertices(L);
    if (n < 2) return std::nullopt;
    const std::size_t u = n - 1;
    if (!Fechada) {
        if (Sobre(Inicio, Vertice(L, 0))) return L;
        if (Sobre(Inicio, Vertice(L, u))) return InverteCoords(L);
    }
    std::optional<std::size_t> k;
    for (std::size_t i = 0; i < n; ++i)
        if (Sobre(Inicio, Vertice(L, i))) k = i;
    if (!k) return std::nullopt;
    const std::size_t seguinte = *k == u ? 0 : *k + 1;
    const bool frente = AFrente(Vertice(L, *k), Vertice(L, seguinte), Lado);
    std::vector<double> R;
    if (frente) {
        for (std::size_t i = *k; i <= u; ++i) Acrescenta(R, Vertice(L, i));
        if (Fechada)
            for (std::size_t i = 0; i <= *k; ++i) Acrescenta(R, Vertice(L, i));
    } else {
        for (std::size_t i = *k + 1; i-- > 0;) Acrescenta(R, Vertice(L, i));
        if (Fechada)
            for (std::size_t i = u; i >= *k; --i) {
                Acrescenta(R, Vertice(L, i));
                if (i == 0) break;
            }
    }
    return R;
}

void GradeLotes::Habilita(bool v)
{
    if (GRUndo) GRUndo->SetEnabled(v);
}

void GradeLotes::Perimetro()
{
    if (!ConectaAcad()) return;
    Ponto escolhido;
    bool falhou = true;
    std::vector<acad::BlockReference*> contexto;
    acad::Entity* e = PegaCoordenadas("Selecione Poly:", 2, false, escolhido, falhou, contexto);
    if (falhou || !e) return;
    const std::optional<std::vector<double>> L = Vertices(e);
    if (!L || NVertices(*L) < 2) return;
    GetLayer(CamadaPerimetro, 0, "");
    acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline(*L);
    pl->SetLayer(CamadaPerimetro);
    pl->SetConstantWidth(Largura);
    pl->SetColor(acad::Color::Magenta);
    pl->Update();
}

void GradeLotes::PolyJoin(int Cor)
{
    if (!ConectaAcad()) return;
    Ponto escolhido;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione Pline: ", 2, escolhido, falhou, "AcDbPolyline");
    if (falhou || !e) return;
    LeCoordsPline(e);
    ZoomEntidade(e);
    e->SetColor(Cor);
    e->Update();
}

void GradeLotes::Executa()
{
    if (!ConectaAcad()) return;
    // A new run forgets the last one: after a failed run "Desfaz" changes nothing.
    SelGrade.clear();
    CoordsPerimetro.clear();
    DocGrade = nullptr;

    std::string erro;
    // OSMODE as it was when the run began, back whatever way the run ends.
    GuardaVariaveis osmode{"OSMODE"};
    try {
        SalvaVista();
        if (!DefineBloco("COM_GRADE", false) || !DefineBloco("COM_SETA", false)) return;
        // True: on to the end steps (with the error text, if any).
        auto corre = [&]() -> bool {
            gAcadDoc->SetVariable("OSMODE", acad::Variant(1));
            erro = "Faltou ponto inicial";
            const std::optional<Ponto> inicio = GetPonto(std::nullopt, "Inicial:");
            if (!inicio) return true;

            gAcadDoc->SetVariable("OSMODE", acad::Variant(0));
            erro = "Não selecionou polilinha";
            bool vazio = true;
            acad::Entity* achado = SelecionaObjetos(*inicio, 0, TiposPerimetro, DadosPerimetro, vazio, 0, 0.0);
            auto* pl = dynamic_cast<acad::LWPolyline*>(achado);
            if (vazio || !pl) return true;
            LeCoordsPline(pl);
            RestauraVista();

            erro = "Não processou polilinha";
            std::optional<std::vector<double>> L = Vertices(pl);
            if (!L || NVertices(*L) < 2) return true;
            bool fechada = pl->Closed();

            erro = "Faltou o ponto do Lado da grade";
            const std::optional<Ponto> lado = GetPonto(*inicio, "Lado:");
            if (!lado) return true;

            if (Sobre(Vertice(*L, 0), Vertice(*L, NVertices(*L) - 1))) {
                L->resize(L->size() - 2);
                fechada = true;
            }
            ZoomEntidade(pl);

            const std::optional<std::vector<double>> O = OrdenaPerimetro(*L, fechada, *inicio, *lado);
            if (!O || NVertices(*O) < 2) {
                forms::MsgBox("Falhou", forms::vbOKOnly);
                return false;
            }

            // The city block: the one COM_QUADRA that the perimeter holds or
            // crosses, else the one the user picks. Only repeats go from the
            // polygon: an open perimeter keeps its end vertex.
            acad::Entity* quadra = nullptr;
            {
                acad::SelectionSet* ss2 = RecriaConjunto("SS2");
                try {
                    ss2->SelectByPolygon(
                        7, Coords2DPara3D(SemVerticesProximos(*O)), {0, 2},
                        {acad::Variant(std::string("INSERT")), acad::Variant(std::string("COM_QUADRA"))});
                } catch (const acad::Error&) {
                    // Too few vertices left for a polygon: the user picks the block.
                }
                if (ss2->Count() == 1) quadra = ss2->Item(0);
            }
            if (!quadra) {
                Ponto escolhido;
                bool falhou = true;
                quadra = AtivaAcad("Selecione Número de QUADRA.", 2, escolhido, falhou, "AcDbBlockReference");
                if (falhou || !NomeBloco(quadra, "COM_QUADRA")) {
                    return false;
                }
            }

            const std::string S = GetAtributo("SETOR", quadra).value_or("");
            const std::string Q = GetAtributo("QUADRA", quadra).value_or("");
            const std::optional<std::string> setor = NumeroCadastro(S), numero = NumeroCadastro(Q);
            erro = "O bloco COM_QUADRA não tem números de Setor e Quadra.";
            if (!setor || !numero) return true;
            Escreve(QuadraTxt, *numero);
            const std::string camada = NomeCamadaSetor(*setor);
            CamadaSetor(*setor);
            const std::string app = S + "-" + Q;

            // The side flag: false when the side point lies to the left of
            // the first edge.
            const Ponto P0 = Vertice(*O, 0), P1 = Vertice(*O, 1);
            const double m = Reduz(Azimute(P0, P1) + PI / 2);
            const std::optional<Ponto> X = Intersecao(P0, P1, *lado, PontoPolar(*lado, m, Normal));
            const bool F = !(X && MesmaDirecao(m, Azimute(*X, *lado)));
            const double volta = F ? 0.0 : PI;

            DocGrade = gAcadDoc;
            acad::BlockReference* seta =
                gModelSpace->InsertBlock(*inicio, "COM_SETA", 1, 1, 1, Reduz(Azimute(P1, P0) + volta));
            seta->SetLayer(camada);
            seta->SetXData({1001, 1000}, {acad::Variant(app), acad::Variant(std::string("0"))});
            SelGrade.push_back(seta->ObjectID());

            double proximo = Passo, percorrido = 0;
            const std::size_t n = NVertices(*O);
            if (Progress) Progress->Progress_Start(std::llround((O->size() - 1) / 2.0));
            Ponto A = P0;
            for (std::size_t i = 1; i < n; ++i) {
                const Ponto B = Vertice(*O, i);
                percorrido += Distancia(A, B);
                while (percorrido > proximo) {
                    forms::DoEvents();
                    const double d = Azimute(B, A);
                    const Ponto T = PontoPolar(B, d, percorrido - proximo);
                    const double r = Reduz(d + volta);
                    acad::BlockReference* tique = gModelSpace->InsertBlock(T, "COM_GRADE", 1, 1, 1, r);
                    tique->SetLayer(camada);
                    SelGrade.push_back(tique->ObjectID());
                    const double t = (r > PI / 2 && r < 3 * PI / 2) ? r + PI : r;
                    const std::string rotulo = FormatNum(proximo, 0);
                    for (acad::AttributeReference* a : tique->GetAttributes()) {
                        a->SetRotation(t);
                        if (a->TagString() == "LOTE") {
                            a->SetTextString(rotulo);
                            a->SetInvisible(rotulo.size() < 2 || rotulo.substr(rotulo.size() - 2) != "00");
                        } else {
                            a->SetTextString(Q);
                            a->SetInvisible(true);
                        }
                        a->Update();
                    }
                    tique->SetXData({1001, 1000}, {acad::Variant(app), acad::Variant(rotulo)});
                    proximo += Passo;
                }
                A = B;
                if (Progress) Progress->Progress();
            }

            CoordsPerimetro = pl->Coordinates();
            PerimetroFechado = pl->Closed();
            pl->Delete();
            erro.clear();
            return true;
        };
        // "Falhou", or no city block: OSMODE back (the guard), nothing else.
        if (!corre()) {
            SelGrade.clear();
            return;
        }
    } catch (const acad::Error& e) {
        erro = e.Description();
        // A run the host stopped halfway leaves none of its arrow and ticks.
        for (std::int32_t id : SelGrade) {
            try {
                gAcadDoc->ObjectIdToObject(id)->Delete();
            } catch (const acad::Error&) {
            }
        }
        SelGrade.clear();
    }

    if (!erro.empty()) {
        // A run that did not consume its perimeter leaves nothing to take back.
        CoordsPerimetro.clear();
    }
    if (Progress) Progress->Progress_Start(0);
    Habilita(true);
    if (!erro.empty()) forms::MsgBox(erro, forms::vbCritical, Titulo);
}

void GradeLotes::Desfaz()
{
    Habilita(false);
    if (CoordsPerimetro.empty() || !DocumentoAberto(DocGrade)) return;
    for (std::int32_t id : SelGrade) {
        try {
            DocGrade->ObjectIdToObject(id)->Delete();
        } catch (const acad::Error&) {
            // Erased since: nothing to take back.
        }
    }
    SelGrade.clear();
    acad::Document* doc = DocGrade;
    acad::Layer* camada = doc->Layers().Add(CamadaPerimetro);
    (void)camada;
    acad::LWPolyline* pl = doc->ModelSpace().AddLightWeightPolyline(CoordsPerimetro);
    pl->SetLayer(CamadaPerimetro);
    pl->SetConstantWidth(Largura);
    pl->SetClosed(PerimetroFechado);
    pl->Update();
    CoordsPerimetro.clear();
    DocGrade = nullptr;
    AtivaJanelaAcad();
}

void GradeLotes::ApagaGrade()
{
    if (!ConectaAcad()) return;
    Ponto escolhido;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione um objeto:", 2, escolhido, falhou, "");
    if (falhou || !e) return;
    if (!NomeBloco(e, "COM_GRADE") && !NomeBloco(e, "COM_SETA")) return;
    std::string app, texto;
    if (!DadosEstendidos(e, app, texto)) return;
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(5, {}, {}, {0, -4, 2, 2, -4, 1001},
               {acad::Variant(std::string("INSERT")), acad::Variant(std::string("<OR")),
                acad::Variant(std::string("COM_GRADE")), acad::Variant(std::string("COM_SETA")),
                acad::Variant(std::string("OR>")), acad::Variant(NomeLiteral(app))});
    ss->Erase();
}

bool GradeLotes::InsereLoteGrade()
{
    Ponto escolhido;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione Item da Grade:", 3, escolhido, falhou, "AcDbBlockReference");
    if (falhou || !NomeBloco(e, "COM_GRADE")) return false;
    std::string app, lote;
    DadosEstendidos(e, app, lote);
    const std::size_t traco = app.find('-');
    const std::optional<std::string> setor = NumeroCadastro(app.substr(0, traco));
    const std::optional<std::string> quadra =
        traco == std::string::npos ? std::nullopt
                                   : NumeroCadastro(app.substr(traco + 1, app.find('-', traco + 1) - traco - 1));
    const std::optional<std::string> numero = NumeroCadastro(lote);
    if (!setor || !quadra || !numero) {
        forms::MsgBox("Item da grade sem Setor, Quadra e Lote.", forms::vbCritical, Titulo);
        return false;
    }
    Escreve(SetorTxt, *setor);
    Escreve(QuadraTxt, *quadra);
    Escreve(LoteTxt, *numero);
    const std::string camada = NomeCamadaSetor(*setor);
    CamadaSetor(*setor);
    if (!DefineBloco("COM_LOTE", false)) return false;
    const std::optional<Ponto> P = GetPonto(std::nullopt, "Ponto de inserção:");
    if (!P) return false;
    acad::BlockReference* b = gModelSpace->InsertBlock(*P, "COM_LOTE", 1, 1, 1, 0);
    b->SetLayer(camada);
    SetAtributo("LOTE", *numero, b);
    SetAtributo("S-Q", *setor + "-" + *quadra, b);
    return true;
}
