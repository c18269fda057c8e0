#include "water/ClsWATExp.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <unordered_set>
#include <utility>

#include "cad/AoSair.h"
#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/clsWATDb.h"
#include "platform/ProcessState.h"
#include "shell/modPainel.h"

std::vector<NoRec> gNos;
std::int32_t gNumNos = 0;
std::vector<ZonaRec> gZonas;
std::vector<TuboExpRec> gTubosExp;
std::int32_t gNumTubosExp = 0;
std::vector<TrechoZonaRec> gListaSalva;

namespace {
const platform::ProcessStateReset kResetWATExp([] {
    gNos.clear();
    gNumNos = 0;
    gZonas.clear();
    gTubosExp.clear();
    gNumTubosExp = 0;
    gListaSalva.clear();
});
}  // namespace

namespace {

// The label without blanks around it; "" when it is not a whole number.
std::string Digitos(const std::string& Label, bool& Negativo)
{
    std::size_t i = Label.find_first_not_of(" \t");
    std::size_t f = Label.find_last_not_of(" \t");
    Negativo = false;
    if (i == std::string::npos) return "";
    if (Label[i] == '+' || Label[i] == '-') {
        Negativo = Label[i] == '-';
        ++i;
    }
    if (i > f) return "";
    std::string d = Label.substr(i, f - i + 1);
    for (char c : d)
        if (!std::isdigit(static_cast<unsigned char>(c))) return "";
    const std::size_t nz = d.find_first_not_of('0');
    d = nz == std::string::npos ? "0" : d.substr(nz);
    if (d == "0") Negativo = false;
    return d;
}

}  // namespace

bool RotuloValido(const std::string& Label)
{
    bool neg = false;
    return !Digitos(Label, neg).empty();
}

int ComparaRotulos(const std::string& a, const std::string& b)
{
    bool na = false, nb = false;
    const std::string da = Digitos(a, na), db = Digitos(b, nb);
    if (na != nb) return na ? -1 : 1;
    int c = 0;
    if (da.size() != db.size())
        c = da.size() < db.size() ? -1 : 1;
    else
        c = da.compare(db) < 0 ? -1 : (da.compare(db) > 0 ? 1 : 0);
    return na ? -c : c;
}

ClsWATExp::ClsWATExp() = default;
ClsWATExp::~ClsWATExp() = default;

namespace {

constexpr const char* kMarcador = "ErroC";  // node and fault marker alike
constexpr const char* kRotulo = "A-TUBO";
constexpr const char* kCancelada = "\r\n\r\nOperação cancelada.";

void Inicia(ProgressBar* Barra, long long Max, const std::string& Caption)
{
    if (Barra) Barra->Progress_Start(Max, Caption);
}
void Avanca(ProgressBar* Barra)
{
    if (Barra) Barra->Progress();
}

std::vector<acad::BlockReference*> Referencias(acad::SelectionSet* Ss)
{
    std::vector<acad::BlockReference*> v;
    v.reserve(static_cast<std::size_t>(Ss->Count()));
    for (acad::Entity* e : *Ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) v.push_back(b);
    return v;
}

// Where a text is anchored: its alignment point, or its insertion point for a
// left-aligned text (whose alignment point the host leaves unset).
Ponto PontoDoTexto(const acad::AttributeReference* a)
{
    return a->Alignment() == 0 ? Ponto(a->InsertionPoint()) : Ponto(a->TextAlignmentPoint());
}

// A stage text as a whole number; anything else is stage 0 (its polyline
// layer already failed to match then).
std::int16_t Etapa(const std::string& Texto)
{
    const std::string t = Apara(Texto);
    int v = 0;
    const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size() || v < INT16_MIN || v > INT16_MAX) return 0;
    return static_cast<std::int16_t>(v);
}

// The catalogue fitting of a material by its code, or null.
const ConexaoAguaRec* ConexaoDoMaterial(const std::string& Material, const std::string& Tipo)
{
    for (const MaterialAguaRec& m : gMateriaisAgua) {
        if (m.Material != Material) continue;
        for (const ConexaoAguaRec& c : m.Conexoes)
            if (!c.Codigo.empty() && c.Codigo == Tipo) return &c;
        return nullptr;
    }
    return nullptr;
}

// A catalogue socket placed by the fitting's insertion point, mirroring,
// rotation and |Y scale|.
Ponto PosicaoBolsa(const BolsaPontoRec& B, const Ponto& Insercao, double EscalaX, double EscalaY, double Rotacao)
{
    double a = B.AnguloBolsa;
    if (EscalaX < 0) a = PI - a;
    if (EscalaY < 0) a = -a;
    return PontoPolar(Insercao, a + Rotacao, B.DistanciaBolsa * std::fabs(EscalaY));
}

// Scale and colour of the node marker, and the colour of the continuity
// circle, by the socket count at the end; an end the catalogue could not
// resolve gets the smallest marker and the layer's colour.
double EscalaDoNode(int n)
{
    switch (n) {
    case 2: return 3;
    case 3:
    case 4: return 5;
    default: return 2;
    }
}
int CorDaPonta(int n) { return n >= 1 && n <= 4 ? n : 256; }

}  // namespace

// ---------------------------------------------------------------- nodes

bool ClsWATExp::LoadNodes()
{
    if (!ConectaAcad()) return false;
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {2}, {acad::Variant(kMarcador)});
    const std::vector<acad::BlockReference*> blocos = Referencias(ss);
    if (blocos.empty()) {
        ExibeMensagem(0, "Lendo Nodes...", std::string("Nenhum Node encontrado.") + kCancelada);
        return false;
    }

    const std::size_t n = blocos.size();
    std::vector<NoRec> nos(n);
    Inicia(cProgress, 2 * static_cast<long long>(n), "Lendo Nodes...");
    for (std::size_t i = 0; i < n; ++i) {
        NoRec& no = nos[i];
        no.Ponto = blocos[i]->InsertionPoint();
        const std::vector<acad::AttributeReference*> atts = blocos[i]->GetAttributes();
        no.Label = atts.empty() ? "" : Apara(atts.front()->TextString());
        no.ObjectID = blocos[i]->ObjectID();
        no.Raio = blocos[i]->XScaleFactor();
        Avanca(cProgress);
    }

    // A label that is no whole number, or one shared by two nodes, would join
    // pipes to the wrong junction: the drawing is refused, naming them.
    std::vector<std::string> erros;
    auto onde = [](const NoRec& no) { return " em " + JoinCoords(no.Ponto, 2); };
    for (const NoRec& no : nos)
        if (!RotuloValido(no.Label))
            erros.push_back("Node \"" + no.Label + "\"" + onde(no) + ": o número não é um inteiro.");
    if (erros.empty()) {
        std::stable_sort(nos.begin(), nos.end(),
                         [](const NoRec& a, const NoRec& b) { return ComparaRotulos(a.Label, b.Label) < 0; });
        for (std::size_t i = 1; i < n; ++i)
            if (ComparaRotulos(nos[i - 1].Label, nos[i].Label) == 0)
                erros.push_back("Node \"" + nos[i].Label + "\"" + onde(nos[i - 1]) + " e" + onde(nos[i]) +
                                ": número repetido.");
    }
    for (std::size_t i = 0; i < n; ++i) Avanca(cProgress);
    Inicia(cProgress, 0, "");
    if (!erros.empty()) {
        std::string texto;
        constexpr std::size_t kMax = 20;
        for (std::size_t i = 0; i < erros.size() && i < kMax; ++i) texto += erros[i] + "\r\n";
        if (erros.size() > kMax) texto += "... e mais " + std::to_string(erros.size() - kMax) + ".\r\n";
        ExibeMensagem(0, "Lendo Nodes...", texto + "\r\nOperação cancelada.");
        return false;
    }
    gNos = std::move(nos);
    gNumNos = static_cast<std::int32_t>(n);
    return true;
}

// ---------------------------------------------------------------- zones

bool ClsWATExp::LoadZonas()
{
    if (!ConectaAcad()) return false;
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {-4, 2, 2, -4},
               {acad::Variant("<XOR"), acad::Variant("Zon_PorM"), acad::Variant("Zon_Total"), acad::Variant("XOR>")});
    const std::vector<acad::BlockReference*> blocos = Referencias(ss);
    if (blocos.empty()) {
        ExibeMensagem(0, "Lendo Zonas...", std::string("Nenhum informação de Zona encontrada.") + kCancelada);
        return false;
    }
    std::vector<ZonaRec> zonas(blocos.size());
    for (std::size_t k = 0; k < blocos.size(); ++k) {
        // Each block on its own: one without a name or value must not take
        // the block before it's.
        ZonaRec& z = zonas[k];
        for (acad::AttributeReference* a : blocos[k]->GetAttributes()) {
            const std::string tag = a->TagString();
            if (tag == "NOME") {
                z.Nome = a->TextString();
            } else if (tag == "VPM" || tag == "VTZ") {
                z.Valor = StrToDbl(a->TextString());
                z.Tipo = tag;
            }
        }
        z.Ponto = blocos[k]->InsertionPoint();
    }
    gZonas = std::move(zonas);
    return true;
}

// ---------------------------------------------------------------- pipes

bool ClsWATExp::LerTrechos(double Tolerancia, bool Geral)
{
    Falhas_ = 0;
    marcadas_.clear();
    if (!ConectaAcad()) return false;
    if (!InsertBlockFile(kMarcador)) return false;
    GetLayer(gLayerConf, 6, "");

    // What the reading changes in the drawing's state comes back however it
    // ends, in this order: the bar, LTSCALE, the view, the regeneration that
    // shows them, the main window and the host's.
    bool vistaSalva = false;
    AoSair restaura([&vistaSalva] {
        if (vistaSalva) RestauraVista();
        if (gAcadDoc) gAcadDoc->Regen(acad::acAllViewports);
        if (gMainForm) gMainForm->SetWindowState(forms::vbNormal);
        AtivaJanelaAcad();
    });
    GuardaVariaveis ltscale{"LTSCALE"};
    AoSair barra([this] { Inicia(cProgress, 0, ""); });
    gAcadDoc->SetVariable("LTSCALE", 100.0);
    bool cancelado = false;
    AtivaJanelaAcad();

    acad::SelectionSet* ss = RecriaConjunto("SS2");
    const std::vector<int> tipos{2};
    const std::vector<acad::Variant> dados{acad::Variant(kRotulo)};
    if (Geral)
        ss->Select(acad::acSelectionSetAll, {}, {}, tipos, dados);
    else
        ss->SelectOnScreen(tipos, dados);
    const std::vector<acad::BlockReference*> blocos = Referencias(ss);
    if (blocos.empty()) {
        ExibeMensagem(0, "Lendo Trechos...", "Rede não encontrada.\r\n\r\nOperação Cancelada.");
        return false;
    }

    std::unique_ptr<frmCancelar> janela;
    if (!Geral) {
        janela = std::make_unique<frmCancelar>();
        janela->Cancel = false;
        PosicionaDialogo(*janela, gMsgLeft, gMsgTop);
        janela->SetMensagem("Levantando Dados da Rede...");
        janela->Show(forms::vbModeless, gMainForm);
    }
    AoSair fecha([&janela] {
        if (!janela) return;
        gMsgLeft = static_cast<int>(std::lround(janela->Left()));
        gMsgTop = static_cast<int>(std::lround(janela->Top()));
        forms::Unload(*janela);
        janela.reset();
    });

    gTubosExp.clear();
    gNumTubosExp = 0;
    SalvaVista();
    vistaSalva = true;
    ZoomCentro(Ponto(gAcadDoc->GetVariable("VIEWCTR").AsPoint()), 60.0);

    Inicia(cProgress, static_cast<long long>(blocos.size()), "");
    bool erro = false;
    for (acad::BlockReference* b : blocos) {
        forms::DoEvents();
        if (janela && janela->Cancel) {
            cancelado = true;
            break;
        }
        LerTrecho(b, Tolerancia, erro);
        Avanca(cProgress);
    }
    return !cancelado && !erro;
}

void ClsWATExp::LerTrecho(acad::BlockReference* Bloco, double Tolerancia, bool& Erro)
{
    const int falhasAntes = Falhas_;
    std::string codigo, material, etapa;
    bool temCodigo = false;
    Ponto pontoRotulo = Bloco->InsertionPoint();
    Ponto pontoBusca = pontoRotulo;
    for (acad::AttributeReference* a : Bloco->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO") {
            codigo = a->TextString();
            temCodigo = true;
            pontoRotulo = PontoDoTexto(a);
        } else if (tag == "MATERIAL") {
            pontoBusca = PontoDoTexto(a);
            material = a->TextString();
        } else if (tag == "ETAPA") {
            etapa = a->TextString();
        }
        // CONTRIB holds the engineer's contribution choice: read-only here.
    }

    const std::size_t hifen = codigo.find('-');
    const std::string antes = codigo.substr(0, hifen);
    const std::size_t dn = antes.find("DN");
    if (!temCodigo || hifen == std::string::npos || dn == std::string::npos) {
        MarcaFalha(pontoRotulo, "Código inválido");
        Erro = true;
        return;
    }
    TuboExpRec t;
    t.Tipo = antes.substr(0, dn);
    t.Diametro = antes.substr(dn + 2);
    for (char c : codigo.substr(hifen + 1))
        if (c != 'm') t.CompNominal += c;
    // A nominal length that is no number (kept as written by the conversion of
    // old drawings) is a fault of the code like any other, not of the reading.
    double nominal = 0;
    try {
        nominal = StrToDbl(t.CompNominal);
    } catch (const std::invalid_argument&) {
        MarcaFalha(pontoRotulo, "Código inválido");
        Erro = true;
        return;
    }
    t.Material = material;

    const std::string camada = "T_" + t.Diametro + (etapa != "0" ? "_" + etapa : "");
    bool vazio = true;
    auto* linha = dynamic_cast<acad::LWPolyline*>(SelecionaObjetos(
        pontoBusca, 60.0, {0, 8}, {acad::Variant("LWPOLYLINE"), acad::Variant(NomeLiteral(camada))}, vazio, 0, 0.5));
    if (vazio || !linha) {
        MarcaFalha(pontoRotulo, "Tubo não encontrado");
        Erro = true;
        return;
    }
    t.Coords = linha->Coordinates();
    const std::size_t nv = t.Coords.size() / 2;
    if (nv == 0) {
        MarcaFalha(pontoRotulo, "Tubo não encontrado");
        Erro = true;
        return;
    }
    const Ponto primeiro(t.Coords[0], t.Coords[1], 0);
    const Ponto ultimo(t.Coords[2 * nv - 2], t.Coords[2 * nv - 1], 0);

    double c1 = 0, c2 = 0;
    if (!LerExtremidade(primeiro, t.ConexoesIni, c1, true)) MarcaFalha(primeiro, "Conexão não encontrada");
    if (!LerExtremidade(ultimo, t.ConexoesFim, c2, true)) MarcaFalha(ultimo, "Conexão não encontrada");

    const double medido = ComprimentoPolilinha(t.Coords) + c1 + c2;
    // The socket geometry is kept in single precision: a length the user sees
    // equal to nominal plus tolerance is not off.
    if (Tolerancia > 0 && std::fabs(medido - nominal) > Tolerancia + 1e-6)
        MarcaFalha(pontoRotulo, FormatNum(medido, 2) + " x " + t.CompNominal);

    t.PontoIni = t.ConexoesIni.empty() ? primeiro : t.ConexoesIni.back().PontoSaida;
    t.nBolsasIni = t.ConexoesIni.empty() ? 0 : t.ConexoesIni.back().nBolsas;
    t.PontoFim = t.ConexoesFim.empty() ? ultimo : t.ConexoesFim.back().PontoSaida;
    t.nBolsasFim = t.ConexoesFim.empty() ? 0 : t.ConexoesFim.back().nBolsas;
    t.Etapa = Etapa(etapa);
    t.AHandle = Bloco->Handle();
    t.LHandle = linha->Handle();
    gTubosExp.push_back(std::move(t));
    gNumTubosExp = static_cast<std::int32_t>(gTubosExp.size());
    if (Falhas_ != falhasAntes) Erro = true;
}

bool ClsWATExp::LerExtremidade(const ::Ponto& Ponto, std::vector<PontaConexao>& Conexoes, double& Comprimento,
                               bool Primeira)
{
    Conexoes.clear();
    Comprimento = 0;
    ::Ponto busca = Ponto;
    std::vector<std::int32_t> visitados{0};
    bool segue = true;
    bool primeira = Primeira;
    bool inicio = true;
    PontaConexao f;
    f.nBolsas = 2;
    std::int32_t id = 0;
    while (segue) {
        forms::DoEvents();
        const Busca r = FindConexao(busca, f.Tipo, f.Diametro1, f.Diametro2, f.PontoSaida, f.nBolsas, f.PontoInsercao,
                                    f.EscalaX, f.EscalaY, f.Rotacao, id, primeira);
        primeira = false;
        if (inicio && r == Busca::NaoAchou) return false;
        inicio = false;
        if (r == Busca::ForaDoCatalogo && marcadas_.insert(id).second)
            MarcaFalha(f.PontoInsercao, "Conexão fora do catálogo");
        f.PontoBusca = busca;
        if (std::find(visitados.begin(), visitados.end(), id) == visitados.end()) {
            Conexoes.push_back(f);
            busca = f.PontoSaida;
        } else {
            segue = false;
            if (Conexoes.empty())
                Conexoes.push_back(f);
            else
                Conexoes.back().PontoSaida = f.PontoInsercao;
        }
        if (f.nBolsas != 2) segue = false;
        visitados.push_back(id);
    }

    // A chain of two-socket fittings between two pipes is shared: each keeps
    // the half next to its end.
    if (f.nBolsas == 2) {
        const std::size_t u = Conexoes.size() - 1;
        if (u <= 8) {
            if (u % 2 == 1) {
                Conexoes.resize((u - 1) / 2 + 1);
            } else {
                Conexoes.resize(u / 2 + 1);
                Conexoes.back().PontoSaida = Conexoes.back().PontoInsercao;
            }
        }
    }
    // Measured along what this end keeps: a fitting beyond the half of the
    // chain, or the walk back through the fitting found again, belongs to the
    // neighbour, not to this pipe's length.
    for (const PontaConexao& c : Conexoes)
        Comprimento += Distancia(c.PontoBusca, c.PontoInsercao) + Distancia(c.PontoInsercao, c.PontoSaida);
    return true;
}

ClsWATExp::Busca ClsWATExp::FindConexao(const ::Ponto& Ponto, std::string& Tipo, std::string& Diametro1,
                                        std::string& Diametro2, ::Ponto& PontoSaida, std::int16_t& nBolsas,
                                        ::Ponto& PontoInsercao, double& EscalaX, double& EscalaY, double& Rotacao,
                                        std::int32_t& ObjectID, bool Primeira)
{
    FiltroTipos tipos;
    FiltroDados dados;
    if (Primeira) {
        tipos = {-4, 2, -4, 2, -4, -4};
        dados = {acad::Variant("<AND"),  acad::Variant("A-*"),  acad::Variant("<NOT"),
                 acad::Variant(kRotulo), acad::Variant("NOT>"), acad::Variant("AND>")};
    } else {
        tipos = {2};
        dados = {acad::Variant("A-*")};
    }
    bool vazio = true;
    auto* b = dynamic_cast<acad::BlockReference*>(SelecionaObjetos(Ponto, 60.0, tipos, dados, vazio, ObjectID, 0.5));
    if (vazio || !b || acad::NamesEqual(b->Name(), kRotulo)) return Busca::NaoAchou;

    ObjectID = b->ObjectID();
    PontoInsercao = b->InsertionPoint();
    EscalaX = b->XScaleFactor();
    EscalaY = b->YScaleFactor();
    Rotacao = b->Rotation();
    std::string codigo, material;
    for (acad::AttributeReference* a : b->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "CODIGO")
            codigo = a->TextString();
        else if (tag == "MATERIAL")
            material = a->TextString();
    }

    // What the catalogue cannot place ends the pipe at the fitting itself.
    auto fora = [&] {
        PontoSaida = PontoInsercao;
        nBolsas = 0;
        return Busca::ForaDoCatalogo;
    };
    const std::size_t dn = codigo.find("DN");
    if (dn == std::string::npos) {
        Tipo = codigo;
        Diametro1.clear();
        Diametro2.clear();
        return fora();
    }
    Tipo = codigo.substr(0, dn);
    std::string d1, d2;
    const std::size_t x = codigo.find('x', dn);
    if (x == std::string::npos) {
        d1 = codigo.substr(dn + 2);
    } else {
        d1 = codigo.substr(dn + 2, x - dn - 2);
        d2 = codigo.substr(x + 1);
    }
    if (d2.empty()) d2 = d1;

    const ConexaoAguaRec* c = ConexaoDoMaterial(material, Tipo);
    if (!c || c->NumBolsas < 1 || c->Bolsas.empty() || (c->NumBolsas == 2 && c->Bolsas.size() < 2)) {
        Diametro1 = d1;
        Diametro2.clear();
        return fora();
    }
    const std::vector<BolsaPontoRec>& bolsas = c->Bolsas;
    if (c->NumBolsas == 2) {
        const ::Ponto p0 = PosicaoBolsa(bolsas[0], PontoInsercao, EscalaX, EscalaY, Rotacao);
        const ::Ponto p1 = PosicaoBolsa(bolsas[1], PontoInsercao, EscalaX, EscalaY, Rotacao);
        const std::size_t entrada = Distancia(p0, Ponto) < Distancia(p1, Ponto) ? 0 : 1;
        const std::size_t saida = 1 - entrada;
        PontoSaida = saida == 0 ? p0 : p1;
        Diametro1 = bolsas[entrada].Principal ? d1 : d2;
        Diametro2 = bolsas[saida].Principal ? d1 : d2;
    } else {
        PontoSaida = PontoInsercao;
        Diametro1 = bolsas[0].Principal ? d1 : d2;
        Diametro2.clear();
    }
    nBolsas = static_cast<std::int16_t>(std::min(c->NumBolsas, 32767));
    return Busca::Achou;
}

void ClsWATExp::MarcaFalha(const ::Ponto& P, const std::string& Texto)
{
    acad::BlockReference* m = gModelSpace->InsertBlock(P, kMarcador, 20.0, 20.0, 20.0, 0.0);
    m->SetLayer(gLayerConf);
    SetAtributo("MENSAGEM", Texto, m);
    m->Update();
    ++Falhas_;
}

// ---------------------------------------------------------------- nodes drawing

void ClsWATExp::DrawNodes(const std::string& Arquivo)
{
    if (!ConectaAcad()) return;
    if (!InsertBlockFile(kMarcador)) return;
    gAcadDoc->SetActiveLayer(*GetLayer("REDE", 6, ""));
    gModelSpace->AttachExternalReference(Arquivo, "REDE", {0, 0, 0}, 1.0, 1.0, 1.0, 0.0, false);
    gAcadDoc->SendCommand(
        "-LAYER\rC\r8\r*\rFreeze\r*\rThaw\rREDE,NODES,REDE|CONEXOES*,REDE|T_*,REDE|TEXTO_CON,REDE|TRECHO\r\r");
    ZoomTudo();
    GetLayer("NODES", 6, "");
    GetLayer("REDE", 6, "");

    // Ends that agree to the millimetre are one node; the first pipe to reach
    // it chooses its marker.
    std::unordered_set<std::string> marcados;
    const std::size_t n = std::min(gTubosExp.size(), static_cast<std::size_t>(std::max(gNumTubosExp, 0)));
    for (std::size_t i = 0; i < n; ++i) {
        const TuboExpRec& t = gTubosExp[i];
        for (const auto& [p, bolsas] : {std::pair{t.PontoIni, t.nBolsasIni}, std::pair{t.PontoFim, t.nBolsasFim}}) {
            if (!marcados.insert(JoinCoords(p, 3)).second) continue;
            gModelSpace->AddCircle(p, 0.2);
            const double e = EscalaDoNode(bolsas);
            acad::BlockReference* no = gModelSpace->InsertBlock(p, kMarcador, e, e, e, 0.0);
            no->SetColor(bolsas >= 1 && bolsas <= 4 ? bolsas : 1);
            no->SetLayer("NODES");
            // Its number goes with it: an attribute left on the current
            // layer "REDE" would be locked against the numbering.
            for (acad::AttributeReference* a : no->GetAttributes()) a->SetLayer("NODES");
            no->Update();
        }
    }
    GetLayer("REDE", 0, "")->SetLock(true);
}

// ---------------------------------------------------------------- continuity check

void ClsWATExp::Reproduz()
{
    if (!ConectaAcad()) return;
    GetLayer(gLayerConf, 8, "");
    const std::size_t n = std::min(gTubosExp.size(), static_cast<std::size_t>(std::max(gNumTubosExp, 0)));
    for (std::size_t i = 0; i < n; ++i) {
        forms::DoEvents();
        const TuboExpRec& t = gTubosExp[i];
        std::vector<double> a, b;
        const std::vector<PontaConexao>& ini = t.ConexoesIni;
        const std::vector<PontaConexao>& fim = t.ConexoesFim;
        if (ini.size() == 1) {
            Acrescenta(a, ini[0].PontoSaida);
            Acrescenta(a, ini[0].PontoBusca);
        } else {
            for (auto it = ini.rbegin(); it != ini.rend(); ++it) Acrescenta(a, it->PontoSaida);
        }
        if (fim.size() == 1) {
            Acrescenta(b, fim[0].PontoBusca);
            Acrescenta(b, fim[0].PontoSaida);
        } else {
            for (const PontaConexao& c : fim) Acrescenta(b, c.PontoSaida);
        }
        const std::vector<double> caminho = JuntaCoords(JuntaCoords(a, t.Coords), b);
        const int segmentos = static_cast<int>(caminho.size() / 2) - 1;
        if (segmentos >= 1) {
            acad::LWPolyline* p = gModelSpace->AddLightWeightPolyline(caminho);
            p->SetWidth(0, 0.0, 1.5);
            p->SetWidth(segmentos - 1, 1.5, 0.0);
            p->SetLayer(gLayerConf);
            p->Update();
        }
        for (const auto& [c, bolsas] : {std::pair{t.PontoIni, t.nBolsasIni}, std::pair{t.PontoFim, t.nBolsasFim}}) {
            acad::Circle* k = gModelSpace->AddCircle(c, 5.0);
            k->SetColor(CorDaPonta(bolsas));
            k->SetLayer(gLayerConf);
            k->Update();
        }
    }
}
