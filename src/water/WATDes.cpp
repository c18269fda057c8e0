#include "water/WATDes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>
#include <stdexcept>

#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "cad/BlocoDXF.h"
#include "shell/modMensagem.h"
#include "water/clsWATDb.h"

namespace {

// ---------------------------------------------------------------- block builder

Ponto PontoDaLinha(const std::string& Texto, const std::string& OQue)
{
    const std::optional<Ponto> p = SplitCoords(Texto);
    if (!p) throw std::invalid_argument(OQue + " não é um ponto \"x,y\": \"" + Texto + "\"");
    return *p;
}

double NumeroDaLinha(const std::string& Texto, const std::string& OQue)
{
    if (!IsNumero(Texto)) throw std::invalid_argument(OQue + " não é um número: \"" + Texto + "\"");
    return StrToDbl(Texto);
}

// The water table keeps an arc's radius alone in S3 and its two angles in S4,
// unlike the other areas' tables, so arcs are read here; every other kind is
// read the common way, points going on "DefPoints" where the sockets belong.
void DesenhaLinhaAgua(acad::Block& Def, const DXFRowRec& L)
{
    if (L.S1 == "Arc") {
        const Ponto centro = PontoDaLinha(L.S2, "centro do arco");
        const double raio = NumeroDaLinha(L.S3, "raio do arco");
        const Ponto angulos = PontoDaLinha(L.S4, "ângulos do arco");
        acad::Arc* a = Def.AddArc(centro, raio, angulos.X, angulos.Y);
        a->SetLayer("0");
        a->Update();
    } else {
        DesenhaLinhaDXF(Def, L, L.S1 == "Point" ? "DefPoints" : "0");
    }
}

void AtributoPadrao(acad::Block& Def, const std::string& Tag, int Modo, const std::string& Camada)
{
    acad::AttributeDefinition* a = Def.AddAttribute(1.5, Modo, "", {0, 0, 0}, Tag, "");
    a->SetStyleName("ROMANS");
    a->SetLayer(Camada);
    a->Update();
}

// The standard attributes and the rows of `nome` into `Def`. `Onde` names
// the row being built when something fails.
void PreencheBloco(acad::Block& Def, const std::string& nome, const BlocoDefAguaRec* Rec, std::string& Onde)
{
    Onde.clear();
    if (nome.compare(0, 2, "A-") == 0) {
        AtributoPadrao(Def, "CODIGO", 0, "TEXTO_CON");
        AtributoPadrao(Def, "MATERIAL", 1, "0");
        AtributoPadrao(Def, "ETAPA", 1, "0");
    }
    if (!Rec) return;
    for (std::size_t i = 0; i < Rec->Linhas.size(); ++i) {
        Onde = " (" + DescreveLinhaDXF(i, Rec->Linhas[i]) + ")";
        DesenhaLinhaAgua(Def, Rec->Linhas[i]);
    }
    Onde.clear();
}

// ---------------------------------------------------------------- sockets

// Where a block reference sits: what places its socket points in the drawing.
struct Colocacao {
    Ponto Insercao;
    double Rotacao = 0.0;
    double EscalaX = 1.0;
    double EscalaY = 1.0;

    explicit Colocacao(const acad::BlockReference& B)
        : Insercao(B.InsertionPoint()), Rotacao(B.Rotation()), EscalaX(B.XScaleFactor()), EscalaY(B.YScaleFactor())
    {
    }

    // A mirror in X turns the catalogue angle a into π − a, one in Y into −a;
    // the distance grows with the Y scale.
    Ponto Posicao(const BolsaPontoRec& Bolsa) const
    {
        double a = Bolsa.AnguloBolsa;
        if (EscalaX < 0) a = PI - a;
        if (EscalaY < 0) a = -a;
        return PontoPolar(Insercao, a + Rotacao, Bolsa.DistanciaBolsa * std::fabs(EscalaY));
    }
};

const double LimiteBolsa = 5000.0;

const BlocoDefAguaRec* BlocoAgua(const std::string& Nome)
{
    for (const BlocoDefAguaRec& b : gBlocosAgua)
        if (b.Bloco == Nome) return &b;
    return nullptr;
}

// The fitting of the catalogue that a drawn fitting names, or null.
const ConexaoAguaRec* ConexaoDoCatalogo(const std::string& Material, const std::string& Codigo, bool& AchouMaterial)
{
    AchouMaterial = false;
    for (const MaterialAguaRec& m : gMateriaisAgua) {
        if (m.Material != Material) continue;
        AchouMaterial = true;
        for (const ConexaoAguaRec& c : m.Conexoes)
            if (c.Codigo == Codigo) return &c;
        return nullptr;
    }
    return nullptr;
}

// Follows the chain of two-socket fittings out of socket `k` of `Inicio`,
// appending to `Percurso` each socket reached and the next fitting's insertion
// point; `Ultimo` ends as the insertion point of the last fitting reached.
void SegueCadeia(acad::BlockReference* Inicio, const std::vector<BolsaPontoRec>& BolsasInicio, std::size_t k,
                 std::vector<double>& Percurso, Ponto& Ultimo)
{
    acad::BlockReference* f = Inicio;
    const std::vector<BolsaPontoRec>* bolsas = &BolsasInicio;
    // A ring of fittings would lead back to where the chain began and never end.
    std::set<std::string> visitados{f->Handle()};
    for (;;) {
        forms::DoEvents();
        if (f->IsErased() || k >= bolsas->size()) return;
        const Colocacao cf(*f);
        const Ponto q = cf.Posicao((*bolsas)[k]);
        bool vazio = true;
        acad::SelectionSet* ss = SelecionaJanela(q, std::fabs(cf.EscalaY), {2}, {acad::Variant("A-*")}, vazio);
        if (vazio || ss->Count() <= 1) return;
        acad::BlockReference* g = nullptr;
        for (acad::Entity* e : *ss)
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Handle() != f->Handle()) g = b;
        if (!g || visitados.count(g->Handle())) return;
        Acrescenta(Percurso, q);
        Ultimo = Ponto(g->InsertionPoint());
        Acrescenta(Percurso, Ultimo);
        // A neighbour the catalogue has no geometry for ends the chain like one
        // that is not a two-socket fitting.
        const BlocoDefAguaRec* def = BlocoAgua(g->Name());
        if (!def || def->NumPontos != 2 || def->Pontos.size() != 2) return;
        visitados.insert(g->Handle());
        f = g;
        bolsas = &def->Pontos;
        // Leave by the socket farther from the one arrived at.
        const Colocacao cg(*g);
        double melhor = LimiteBolsa;
        k = 0;
        for (std::size_t i = 0; i < bolsas->size(); ++i) {
            const double e = Distancia(cg.Posicao((*bolsas)[i]), q);
            if (e >= melhor)
                k = i;
            else
                melhor = e;
        }
    }
}

}  // namespace

bool CriaBlocoConexao(const std::string& nome, bool redefinir)
{
    if (!ConectaAcad()) return false;
    const bool existia = ExisteBloco(nome);
    if (existia && !redefinir) return true;

    const BlocoDefAguaRec* rec = BlocoAgua(nome);
    std::string onde;
    std::string erro;
    std::string oQue = "construir";
    {
        GuardaVariaveis cecolor{"CECOLOR"};
        acad::Block* rascunho = nullptr;
        acad::Block* def = nullptr;
        try {
            GetLayer("DefPoints", 10, "");
            GetLayer("TEXTO_CON", 156, "");
            gAcadDoc->SetVariable("CECOLOR", "BYLAYER");
            PreparaEstilosDXF();
            // Built first where nobody sees it: a row that cannot be built then
            // leaves neither a half block nor a block being redefined emptied.
            rascunho = gAcadDoc->Blocks().Add({0, 0, 0}, "*U");
            PreencheBloco(*rascunho, nome, rec, onde);
            ApagaBlocoDXF(rascunho);
            rascunho = nullptr;

            oQue = "criar";
            def = gAcadDoc->Blocks().Add({0, 0, 0}, nome);
            oQue = "construir";
            def->Clear();
            PreencheBloco(*def, nome, rec, onde);
        } catch (const acad::Error& e) {
            erro = e.Description();
        } catch (const std::exception& e) {
            erro = e.what();
        }
        ApagaBlocoDXF(rascunho);
        // Only what the rows built once already can fail here; a new block is
        // not left half built.
        if (!erro.empty() && !existia) ApagaBlocoDXF(def);
    }
    if (erro.empty()) return true;
    ExibeMensagem(0, "Atenção", "Não foi possível " + oQue + " o bloco " + nome + onde + ":\r" + erro);
    return false;
}

bool InfoBolsa(acad::Entity* blk, std::string& CodBase, std::string& sDP, std::string& sDS, std::string& Material,
               std::string& Etapa, Ponto& PtInsercao, Ponto PtClique, Ponto& PtBolsa, std::string& NaoUsado,
               std::string& DiamBolsa, std::string& TubBolsa, bool Seguir, std::vector<double>& Percurso, bool Mostrar)
{
    auto* bloco = dynamic_cast<acad::BlockReference*>(blk);
    if (!bloco) return false;
    if (bloco->Name() == "A-TUBO") return false;
    const Colocacao colocacao(*bloco);
    PtInsercao = colocacao.Insercao;

    std::optional<std::string> codigo;
    for (acad::AttributeReference* a : bloco->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO")
            codigo = a->TextString();
        else if (tag == "MATERIAL")
            Material = a->TextString();
        else if (tag == "ETAPA")
            Etapa = a->TextString();
    }
    const std::string c = codigo.value_or("");
    const std::size_t p = c.find("DN");
    if (p == std::string::npos) {
        if (Mostrar)
            ExibeMensagem(0, "Info Conexão",
                          "O código \"" + c + "\" do bloco " + bloco->Name() + " não traz \"DN\" e o diâmetro.");
        return false;
    }
    CodBase = c.substr(0, p);
    const std::size_t q = c.find('x', p);
    if (q == std::string::npos) {
        sDP = c.substr(p + 2);
        sDS.clear();
    } else {
        sDP = c.substr(p + 2, q - p - 2);
        sDS = c.substr(q + 1);
    }

    for (const TipoTuboRec& t : gTiposTubo) {
        if (t.Codigo == c) {
            Material = t.NomeCatalogo;
            break;
        }
    }

    bool achouMaterial = false;
    const ConexaoAguaRec* conexao = ConexaoDoCatalogo(Material, CodBase, achouMaterial);
    if (!conexao) {
        // Marked where it is, for the user to find and mend.
        ZoomCentro(PtInsercao, 50.0);
        gModelSpace->AddCircle(PtInsercao, 20.0);
        return false;
    }
    const std::vector<BolsaPontoRec>& bolsas = conexao->Bolsas;
    const std::size_t n = std::min<std::size_t>(bolsas.size(), conexao->NumBolsas < 0 ? 0 : conexao->NumBolsas);

    double melhor = LimiteBolsa;
    std::optional<std::size_t> k;
    for (std::size_t i = 0; i < n; ++i) {
        const Ponto pos = colocacao.Posicao(bolsas[i]);
        const double e = Distancia(pos, PtClique);
        if (e < melhor) {
            melhor = e;
            k = i;
        }
    }
    if (!k) {
        if (Mostrar)
            ExibeMensagem(0, "Info Conexão",
                          Material + "\r" + CodBase + "\rNenhuma bolsa a menos de " + FormatNum(LimiteBolsa, 0) +
                              " unidades do ponto indicado.");
        return false;
    }
    const BolsaPontoRec& bolsa = bolsas[*k];
    PtBolsa = colocacao.Posicao(bolsa);
    DiamBolsa = bolsa.Principal ? sDP : sDS;
    TubBolsa = bolsa.Tubulacao;

    Percurso.clear();
    Acrescenta(Percurso, PtBolsa);
    Acrescenta(Percurso, PtInsercao);
    Ponto ultimo = PtInsercao;
    if (Seguir && n == 2) SegueCadeia(bloco, bolsas, *k, Percurso, ultimo);
    Acrescenta(Percurso, ultimo);

    if (Mostrar)
        ExibeMensagem(
            0, "Info Conexão",
            Material + "\r" + CodBase + " - " + DiamBolsa + " (bolsa No." + std::to_string(*k) + ")\r" + TubBolsa);
    return true;
}

// ------------------------------------------------------------ block preview

int DesenhaBlocoPic(forms::PictureBox& Pic, const std::string& Bloco)
{
    constexpr long kPreto = 0x000000;
    constexpr long kLaranja = 33023;
    static const long kCoresBolsa[] = {0x0000FF, 0x00FFFF, 0x00FF00, 0xFF0000};

    Pic.Cls();
    const double cx = std::round(Pic.ScaleWidth() / 2.0);
    const double cy = std::round(Pic.ScaleHeight() / 2.0);
    const double unidade = Pic.ScaleWidth() / 18.0;

    Pic.SetDrawWidth(1);
    Pic.Line(0, cy, Pic.ScaleWidth(), cy, forms::vbButtonShadow);
    Pic.Line(cx, 0, cx, Pic.ScaleHeight(), forms::vbButtonShadow);
    Pic.SetForeColor(kPreto);
    Pic.SetDrawStyle(0);
    Pic.SetDrawWidth(3);

    const BlocoDefAguaRec* rec = BlocoAgua(Bloco);
    if (!rec) return 0;
    auto px = [&](double x) { return std::round(cx + x * unidade); };
    auto py = [&](double y) { return std::round(cy - y * unidade); };
    // An angle the picture's arcs take: 0 to 2π (a negative one would draw a pie).
    auto angulo = [](double a) {
        a = std::fmod(a, 2.0 * std::numbers::pi);
        return a < 0.0 ? a + 2.0 * std::numbers::pi : a;
    };

    int pontos = 0;
    int atributos = 0;
    for (const DXFRowRec& l : rec->Linhas) {
        // The catalogue is data: a row that cannot be read leaves its part out
        // of the picture rather than stopping the editor.
        const std::optional<Ponto> p = SplitCoords(l.S2);
        if (l.S1 == "Line") {
            const std::optional<Ponto> q = SplitCoords(l.S3);
            if (p && q) Pic.Line(px(p->X), py(p->Y), px(q->X), py(q->Y));
        } else if (l.S1 == "Arc") {
            const std::optional<Ponto> a = SplitCoords(l.S4);
            if (p && a && IsNumero(l.S3) && !l.S3.empty())
                Pic.Circle(px(p->X), py(p->Y), StrToDbl(l.S3) * unidade, std::nullopt, angulo(a->X), angulo(a->Y));
        } else if (l.S1 == "Circle") {
            if (p && IsNumero(l.S3) && !l.S3.empty()) Pic.Circle(px(p->X), py(p->Y), StrToDbl(l.S3) * unidade);
        } else if (l.S1 == "Point") {
            if (!p) continue;
            // A socket is a dot of its colour, the fill included.
            const long cor = pontos < 4 ? kCoresBolsa[pontos] : kPreto;
            Pic.SetDrawWidth(5);
            Pic.SetFillStyle(0);
            Pic.SetFillColor(cor);
            Pic.Circle(px(p->X), py(p->Y), 50, cor);
            Pic.SetDrawWidth(2);
            Pic.SetFillStyle(1);
            ++pontos;
        } else if (l.S1 == "Attribute") {
            Pic.SetForeColor(kLaranja);
            Pic.SetCurrentX(60);
            Pic.SetCurrentY(60 + 200 * atributos++);
            Pic.Print(l.S4);
            Pic.SetForeColor(kPreto);
        }
    }
    return pontos;
}
