// The hydraulic-model database of the water network export: every pipe end
// attached to a node, every pipe given a continuous path from node to node
// through its end fittings, the path cut into zone (and pavement) stretches,
// each zone's demand spread over the pipe length inside it and carried to the
// two end nodes, the pipes oriented and ordered, and the rows written.

#include <algorithm>
#include <cmath>
#include <exception>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/FileReplacement.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "terrain/modRegioes.h"
#include "water/ClsWATExp.h"
#include "water/modExportacao.h"

namespace {

// A pipe end farther than this from its node gets a stub of kCoto out of the
// node, so that the path leaves the node along the pipe's own direction.
constexpr double kLimiteCoto = 3.0;
constexpr double kCoto = 1.5;
constexpr double kMelhorInicial = 10000.0;
// Zone and pavement lookups are taken about once per metre of path.
constexpr double kPasso = 1.0;
// Circles that show the pipe ends no node reaches.
constexpr double kRaioSemNode = 50.0;

// The first `N` nodes by cell of a square grid twice as wide as the largest
// capture radius: a node that reaches a point lies in the point's cell or in
// one of the eight around it, rounding included.
class NosPorCelula {
public:
    explicit NosPorCelula(std::int32_t N) : n_(N)
    {
        for (std::int32_t i = 0; i < n_; ++i)
            if (const double r = Alcance(i); r > 0) lado_ = std::max(lado_, 2 * r);
        for (std::int32_t i = 0; i < n_; ++i) {
            if (!(Alcance(i) > 0)) continue;
            std::int64_t x = 0, y = 0;
            if (Celula(No(i).Ponto, x, y))
                celulas_[{x, y}].push_back(i);
            else
                longe_.push_back(i);
        }
    }

    // The node whose capture radius reaches P, nearest first, the earlier one
    // on ties; −1 when none does. D receives its distance.
    int NoDaPonta(const Ponto& P, double& D) const
    {
        int melhor = -1;
        D = kMelhorInicial;
        const auto considera = [&](std::int32_t i) {
            const double d = Distancia(No(i).Ponto, P);
            if (d < No(i).Raio && (d < D || (d == D && i < melhor))) {
                D = d;
                melhor = i;
            }
        };
        std::int64_t x = 0, y = 0;
        if (lado_ > 0 && !Celula(P, x, y)) {
            for (std::int32_t i = 0; i < n_; ++i) considera(i);
            return melhor;
        }
        for (std::int32_t i : longe_) considera(i);
        for (std::int64_t cx = x - 1; cx <= x + 1; ++cx)
            for (std::int64_t cy = y - 1; cy <= y + 1; ++cy)
                if (const auto c = celulas_.find({cx, cy}); c != celulas_.end())
                    for (std::int32_t i : c->second) considera(i);
        return melhor;
    }

private:
    struct Hash {
        std::size_t operator()(const std::pair<std::int64_t, std::int64_t>& c) const
        {
            return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(c.first) * 0x9E3779B97F4A7C15ULL ^
                                              static_cast<std::uint64_t>(c.second));
        }
    };

    static const NoRec& No(std::int32_t i) { return gNos[static_cast<std::size_t>(i)]; }
    // How far a node captures: its radius, within the distance a match must beat.
    static double Alcance(std::int32_t i) { return std::min(No(i).Raio, kMelhorInicial); }
    // False for a point too far out (or not finite) for the grid.
    bool Celula(const Ponto& P, std::int64_t& x, std::int64_t& y) const
    {
        constexpr double kLimite = 1e15;
        const double cx = std::floor(P.X / lado_), cy = std::floor(P.Y / lado_);
        if (!(std::fabs(cx) < kLimite && std::fabs(cy) < kLimite)) return false;
        x = static_cast<std::int64_t>(cx);
        y = static_cast<std::int64_t>(cy);
        return true;
    }

    std::int32_t n_;
    double lado_ = 0;
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, std::vector<std::int32_t>, Hash> celulas_;
    std::vector<std::int32_t> longe_;  // nodes too far out for the grid: tried for every point
};

// Node labels are whole numbers; a label that is not one (only a test can
// hand one in: the node reading refuses them) compares as text after them.
int Compara(const std::string& a, const std::string& b)
{
    const bool va = RotuloValido(a), vb = RotuloValido(b);
    if (va && vb) return ComparaRotulos(a, b);
    if (va != vb) return va ? -1 : 1;
    return a.compare(b);
}

// The start piece S of a pipe path: out of node P (with a stub toward the
// pipe end when the end lies farther than kLimiteCoto), then through the
// start fittings from the outermost in; and the stop piece E: through the
// stop fittings outward, then into node P2.
void PontasDoCaminho(const TuboExpRec& Tubo, const Ponto& P, double D, const Ponto& P2, double D2,
                     std::vector<double>& S, std::vector<double>& E)
{
    std::vector<double> cotoIni, cotoFim, conIni, conFim;
    Acrescenta(cotoIni, P);
    if (D > kLimiteCoto) Acrescenta(cotoIni, PontoPolar(P, Azimute(P, Tubo.PontoIni), kCoto));
    if (D2 > kLimiteCoto) Acrescenta(cotoFim, PontoPolar(P2, Azimute(P2, Tubo.PontoFim), kCoto));
    Acrescenta(cotoFim, P2);

    const std::vector<PontaConexao>& ci = Tubo.ConexoesIni;
    const std::vector<PontaConexao>& cf = Tubo.ConexoesFim;
    if (ci.size() == 1) {
        Acrescenta(conIni, ci[0].PontoSaida);
        Acrescenta(conIni, ci[0].PontoBusca);
    } else {
        for (auto it = ci.rbegin(); it != ci.rend(); ++it) Acrescenta(conIni, it->PontoSaida);
    }
    if (cf.size() == 1) {
        Acrescenta(conFim, cf[0].PontoBusca);
        Acrescenta(conFim, cf[0].PontoSaida);
    } else {
        for (const PontaConexao& c : cf) Acrescenta(conFim, c.PontoSaida);
    }
    S = JuntaCoords(cotoIni, conIni);
    E = JuntaCoords(conFim, cotoFim);
}

// Walks the path W point by point and hands every run of points that share a
// key to Fecha(key, length, distance from W's start): the segment in which
// the key changes counts in the run it leaves, so a boundary is placed to
// within one step of W.
template <class ChaveDe, class Fecha>
void Trechos(const std::vector<double>& W, ChaveDe Chave, Fecha Fecha_)
{
    const std::size_t n = NVertices(W);
    if (n == 0) return;
    auto atual = Chave(Vertice(W, 0));
    double trecho = 0, inicio = 0;
    for (std::size_t k = 1; k < n; ++k) {
        trecho += Distancia(Vertice(W, k - 1), Vertice(W, k));
        auto chave = Chave(Vertice(W, k));
        if (chave != atual) {
            Fecha_(atual, trecho, inicio);
            inicio += trecho;
            trecho = 0;
            atual = std::move(chave);
        }
    }
    Fecha_(atual, trecho, inicio);
}

// One row: a new record, its columns by name, stored before the next begins.
struct Coluna {
    const char* Nome;
    ado::Value Valor;
};

class Tabela {
public:
    Tabela(ado::Recordset& rs, const char* nome, std::string& atual) : rs_(rs), nome_(nome), atual_(atual) {}
    void Linha(std::initializer_list<Coluna> colunas)
    {
        atual_ = nome_;
        rs_.AddNew();
        for (const Coluna& c : colunas) rs_.Fields(c.Nome).SetValue(c.Valor);
        rs_.Update();
    }

private:
    ado::Recordset& rs_;
    const char* nome_;
    std::string& atual_;
};

// Pipes and nodes as counted, within what the lists hold.
std::int32_t NumTubos() { return std::min<std::int32_t>(gNumTubosExp, static_cast<std::int32_t>(gTubosExp.size())); }
std::int32_t NumNos() { return std::min<std::int32_t>(gNumNos, static_cast<std::int32_t>(gNos.size())); }

// The zone record of a zone region: the one whose block lies in it, as the
// export linked them when it named the regions; a region no block names is
// no zone.
std::int32_t ZonaDaRegiao(int Regiao)
{
    return Regiao >= 0 && static_cast<std::size_t>(Regiao) < gZonaDaRegiao.size()
               ? gZonaDaRegiao[static_cast<std::size_t>(Regiao)]
               : -1;
}

}  // namespace

bool ClsWATExp::Salva_Rede(const std::string& CaminhoMdb, bool Detalhado)
{
    return GravaRede(CaminhoMdb, Detalhado, nullptr);
}

bool ClsWATExp::Salva_Rede(const platform::FileReplacement& Copia, bool Detalhado)
{
    return GravaRede(Copia.Path(), Detalhado, &Copia);
}

bool ClsWATExp::GravaRede(const std::string& CaminhoMdb, bool Detalhado, const platform::FileReplacement* Copia)
{
    if (!ConectaAcad("")) return false;
    GetLayer(gLayerConf, 8, "");

    // Node attachment for every pipe first: an end that no node reaches
    // stops the export before any row is written.
    std::vector<Ligacao> ligacoes;
    if (!LigaAosNos(ligacoes)) return false;

    // A run that failed elsewhere than in the database may have left them open.
    FechaBanco();
    try {
        tabelaAtual_.clear();
        AbreTabelas(CaminhoMdb, Detalhado);
        if (Detalhado) GravaNos();
        MontaTubos(ligacoes, Detalhado);
        GravaZonas();
        DistribuiDemanda();
        if (Detalhado) GravaTubosDetalhe();
        GravaTubos();
        GravaJunctions();
        FechaTabelas(Detalhado);
    } catch (const std::exception& e) {
        // What the file holds is not a finished export; let it go.
        FechaBanco();
        IniciaProgresso(0);
        const auto* ado = dynamic_cast<const ado::Error*>(&e);
        const std::string onde = !ado                   ? "Erro ao gravar a rede em " + CaminhoMdb
                                 : tabelaAtual_.empty() ? "Erro no banco de dados " + CaminhoMdb
                                                        : "Erro na tabela " + tabelaAtual_ + " de " + CaminhoMdb;
        const std::string texto = onde + ":\r\n" + (ado ? ado->Description() : std::string(e.what())) +
                                  "\r\n\r\nA exportação não foi concluída.";
        ExibeMensagem(0, "Atenção", Copia ? Copia->NamingTarget(texto) : texto);
        return false;
    }
    IniciaProgresso(0);
    return true;
}

bool ClsWATExp::LigaAosNos(std::vector<Ligacao>& Ligacoes)
{
    const std::int32_t nTubos = NumTubos();
    Ligacoes.assign(static_cast<std::size_t>(nTubos), Ligacao());
    std::vector<Ponto> soltas;
    const NosPorCelula nos(NumNos());
    for (std::int32_t t = 0; t < nTubos; ++t) {
        const TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(t)];
        Ligacao& l = Ligacoes[static_cast<std::size_t>(t)];
        l.Ini = nos.NoDaPonta(tubo.PontoIni, l.DIni);
        l.Fim = nos.NoDaPonta(tubo.PontoFim, l.DFim);
        if (l.Ini < 0) soltas.push_back(tubo.PontoIni);
        if (l.Fim < 0) soltas.push_back(tubo.PontoFim);
    }
    if (soltas.empty()) return true;
    for (const Ponto& p : soltas) gModelSpace->AddCircle(Ponto(p.X, p.Y, 0), kRaioSemNode)->SetLayer(gLayerConf);
    gAcadDoc->Regen(acad::acActiveViewport);
    const std::string n = std::to_string(soltas.size());
    ExibeMensagem(0, "Atenção",
                  (soltas.size() == 1 ? "1 extremidade de tubo não alcançada por nenhum Node."
                                      : n + " extremidades de tubo não alcançadas por nenhum Node.") +
                      "\r\n\r\nOperação cancelada.");
    return false;
}

void ClsWATExp::IniciaProgresso(long long Max)
{
    if (cProgress) cProgress->Progress_Start(Max, "");
}

void ClsWATExp::AbreTabelas(const std::string& CaminhoMdb, bool Detalhado)
{
    if (!cn_) cn_ = std::make_unique<ado::Connection>();
    cn_->SetCursorLocation(ado::adUseClient);
    cn_->Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"},
                                          {"Data Source", CaminhoMdb},
                                          {"Jet OLEDB:Database Password", "582736"}}),
              "", "", -1);
    const auto Abre = [&](std::unique_ptr<ado::Recordset>& rs, const char* nome, const std::string& fonte) {
        tabelaAtual_ = nome;
        if (!rs) rs = std::make_unique<ado::Recordset>();
        rs->Open("SELECT * FROM " + fonte, *cn_, ado::adOpenDynamic, ado::adLockOptimistic, -1);
    };
    Abre(rsPressurePipe_, "Pressure Pipe", "[Pressure Pipe]");
    Abre(rsPressureJunction_, "Pressure Junction", "[Pressure Junction]");
    Abre(rsZonas_, "Zonas", "Zonas");
    if (!Detalhado) return;
    Abre(rsTmpTubos_, "tmp_TUBOS", "tmp_TUBOS");
    Abre(rsTmpBends_, "tmp_BENDs", "tmp_BENDs");
    Abre(rsTmpPavs_, "tmp_PAVs", "tmp_PAVs");
    Abre(rsTmpZonas_, "tmp_Zonas", "tmp_Zonas");
    Abre(rsTmpNodes_, "tmp_Nodes", "tmp_Nodes");
}

void ClsWATExp::GravaNos()
{
    Tabela nodes(*rsTmpNodes_, "tmp_Nodes", tabelaAtual_);
    const std::int32_t nNos = NumNos();
    for (std::int32_t i = 0; i < nNos; ++i) {
        const NoRec& no = gNos[static_cast<std::size_t>(i)];
        nodes.Linha({{"Label", no.Label},
                     {"X", no.Ponto.X},
                     {"Y", no.Ponto.Y},
                     {"r", no.Raio},
                     {"Zona", no.Zona},
                     {"Elevation", no.Elevation}});
    }
}

void ClsWATExp::MontaTubos(const std::vector<Ligacao>& Ligacoes, bool Detalhado)
{
    const std::int32_t nTubos = NumTubos();
    IniciaProgresso(nTubos);
    gListaSalva.clear();
    for (std::int32_t t = 0; t < nTubos; ++t) {
        forms::DoEvents();
        if (cProgress) cProgress->Progress();
        MontaTubo(t, Ligacoes[static_cast<std::size_t>(t)], Detalhado);
    }
}

void ClsWATExp::MontaTubo(std::int32_t t, const Ligacao& l, bool Detalhado)
{
    TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(t)];
    const NoRec& noIni = gNos[static_cast<std::size_t>(l.Ini)];
    const NoRec& noFim = gNos[static_cast<std::size_t>(l.Fim)];
    tubo.StartNode = noIni.Label;
    tubo.StopNode = noFim.Label;

    std::vector<double> S, E;
    PontasDoCaminho(tubo, Ponto(noIni.Ponto.X, noIni.Ponto.Y, 0), l.DIni, Ponto(noFim.Ponto.X, noFim.Ponto.Y, 0),
                    l.DFim, S, E);
    const std::vector<double> caminho = JuntaCoords(JuntaCoords(S, tubo.Coords), E);
    tubo.Comprimento = ComprimentoPolilinha(caminho);
    if (Detalhado && caminho.size() >= 4) {
        acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline(caminho);
        pl->SetLayer(gLayerConf);
        const int segmentos = static_cast<int>(caminho.size() / 2) - 1;
        pl->SetWidth(0, 0.0, 1.5);
        pl->SetWidth(segmentos - 1, 1.5, 0.0);
        tubo.Handle = pl->Handle();
    }

    const std::vector<double> W = JuntaCoords(JuntaCoords(S, PontosEspacados(tubo.Coords, kPasso, true)), E);
    if (Detalhado) {
        Tabela pavs(*rsTmpPavs_, "tmp_PAVs", tabelaAtual_);
        Trechos(W, PavimentoDoPonto, [&](const std::string& pav, double distancia, double) {
            pavs.Linha(
                {{"Handle", tubo.Handle}, {"Diametro", tubo.Diametro}, {"Pavimento", pav}, {"Distancia", distancia}});
        });
    }

    // Zone stretches, keyed by the zone region (−1: in no zone).
    Trechos(W, RegiaoDeZona, [&](int regiao, double distancia, double inicial) {
        TrechoZonaRec z;
        z.Handle = tubo.Handle;
        z.Tubo = t;
        z.Diametro = tubo.Diametro;
        z.IdZon = regiao;
        z.Zona = ZonaDaRegiao(regiao);
        z.Distancia = distancia;
        z.Inicial = inicial;
        if (Detalhado)
            Tabela(*rsTmpZonas_, "tmp_Zonas", tabelaAtual_)
                .Linha({{"Handle", z.Handle},
                        {"Diametro", z.Diametro},
                        {"Zona", z.Zona >= 0 ? gZonas[static_cast<std::size_t>(z.Zona)].Nome : std::string()},
                        {"IdZon", z.IdZon},
                        {"Distancia", z.Distancia},
                        {"Inicial", z.Inicial}});
        gListaSalva.push_back(std::move(z));
    });

    if (Detalhado) GravaEventos(tubo);
}

void ClsWATExp::GravaEventos(const TuboExpRec& Tubo)
{
    Tabela bends(*rsTmpBends_, "tmp_BENDs", tabelaAtual_);
    bool primeiro = true;
    Ponto anterior;
    const auto Evento = [&](const Ponto& p, const std::string* tipo) {
        const double d = primeiro ? 0.0 : Distancia(anterior, p);
        primeiro = false;
        anterior = p;
        if (tipo)
            bends.Linha({{"Handle", Tubo.Handle}, {"Evento", *tipo}, {"X", p.X}, {"Y", p.Y}, {"d", d}});
        else
            bends.Linha({{"Handle", Tubo.Handle}, {"X", p.X}, {"Y", p.Y}, {"d", d}});
    };
    for (auto it = Tubo.ConexoesIni.rbegin(); it != Tubo.ConexoesIni.rend(); ++it) Evento(it->PontoInsercao, &it->Tipo);
    for (std::size_t k = 0; k + 1 < Tubo.Coords.size(); k += 2)
        Evento(Ponto(Tubo.Coords[k], Tubo.Coords[k + 1]), nullptr);
    for (const PontaConexao& c : Tubo.ConexoesFim) Evento(c.PontoInsercao, &c.Tipo);
}

void ClsWATExp::GravaZonas()
{
    for (const TrechoZonaRec& z : gListaSalva)
        if (z.Zona >= 0) gZonas[static_cast<std::size_t>(z.Zona)].TotalTubos += z.Distancia;
    Tabela zonas(*rsZonas_, "Zonas", tabelaAtual_);
    for (ZonaRec& zona : gZonas) {
        if (zona.Tipo == "VPM") {
            zona.ContribM = zona.Valor;
            zona.ContribT = zona.TotalTubos * zona.Valor;
        } else if (zona.Tipo == "VTZ") {
            // A total over no pipe has nothing to spread over.
            zona.ContribM = zona.TotalTubos > 0 ? zona.Valor / zona.TotalTubos : 0.0;
            zona.ContribT = zona.Valor;
        }
        zonas.Linha({{"Nome", zona.Nome},
                     {"Tipo", zona.Tipo},
                     {"TotalTubos", zona.TotalTubos},
                     {"TotalNodes", zona.TotalNodes},
                     {"Contrib", zona.Valor},
                     {"ContribM", zona.ContribM},
                     {"ContribT", zona.ContribT}});
    }
}

void ClsWATExp::DistribuiDemanda()
{
    // Per pipe end, by where each stretch's midpoint lies.
    for (const TrechoZonaRec& z : gListaSalva) {
        if (z.Zona < 0) continue;
        TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(z.Tubo)];
        const double dz = z.Distancia * gZonas[static_cast<std::size_t>(z.Zona)].ContribM;
        const double f = tubo.Comprimento > 0 ? (z.Inicial + z.Distancia / 2) / tubo.Comprimento : 0.5;
        tubo.DemIni += (1 - f) * dz;
        tubo.DemFim += f * dz;
    }

    // Per node: the first node in list order that bears the label.
    const std::int32_t nNos = NumNos(), nTubos = NumTubos();
    std::vector<std::int32_t> porRotulo(static_cast<std::size_t>(nNos));
    std::iota(porRotulo.begin(), porRotulo.end(), 0);
    std::stable_sort(porRotulo.begin(), porRotulo.end(), [](std::int32_t a, std::int32_t b) {
        return Compara(gNos[static_cast<std::size_t>(a)].Label, gNos[static_cast<std::size_t>(b)].Label) < 0;
    });
    const auto NoDoRotulo = [&](const std::string& rotulo) -> NoRec* {
        if (!RotuloValido(rotulo)) return nullptr;
        const auto it =
            std::lower_bound(porRotulo.begin(), porRotulo.end(), rotulo, [](std::int32_t i, const std::string& r) {
                return Compara(gNos[static_cast<std::size_t>(i)].Label, r) < 0;
            });
        if (it == porRotulo.end() || Compara(gNos[static_cast<std::size_t>(*it)].Label, rotulo) != 0) return nullptr;
        return &gNos[static_cast<std::size_t>(*it)];
    };
    for (std::int32_t t = 0; t < nTubos; ++t) {
        const TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(t)];
        if (NoRec* no = NoDoRotulo(tubo.StartNode)) no->Demanda += tubo.DemIni;
        if (NoRec* no = NoDoRotulo(tubo.StopNode)) no->Demanda += tubo.DemFim;
    }
}

void ClsWATExp::GravaTubosDetalhe()
{
    Tabela tubos(*rsTmpTubos_, "tmp_TUBOS", tabelaAtual_);
    const std::int32_t nTubos = NumTubos();
    for (std::int32_t t = 0; t < nTubos; ++t) {
        const TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(t)];
        tubos.Linha({{"Handle", tubo.Handle},
                     {"StartNode", tubo.StartNode},
                     {"StopNode", tubo.StopNode},
                     {"Comprimento", tubo.Comprimento},
                     {"CompNominal", tubo.CompNominal},
                     {"Codigo", tubo.Tipo},
                     {"Material", tubo.Material},
                     {"Diametro", tubo.Diametro},
                     {"Etapa", tubo.Etapa},
                     {"nBolsasIni", tubo.nBolsasIni},
                     {"nBolsasFim", tubo.nBolsasFim},
                     {"PTIni", JoinCoords(tubo.PontoIni, 3)},
                     {"PTFim", JoinCoords(tubo.PontoFim, 3)},
                     {"LHandle", tubo.LHandle},
                     {"AHandle", tubo.AHandle},
                     {"DemIni", tubo.DemIni},
                     {"DemFim", tubo.DemFim}});
    }
}

void ClsWATExp::GravaTubos()
{
    const std::int32_t nTubos = NumTubos();
    // Every pipe from the lower node number to the higher.
    for (std::int32_t t = 0; t < nTubos; ++t) {
        TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(t)];
        if (Compara(tubo.StopNode, tubo.StartNode) < 0) {
            std::swap(tubo.StartNode, tubo.StopNode);
            std::swap(tubo.DemIni, tubo.DemFim);
        }
    }
    // By start node, then stop node; pipes between the same two nodes keep
    // their list order.
    std::vector<std::int32_t> ordem(static_cast<std::size_t>(nTubos));
    std::iota(ordem.begin(), ordem.end(), 0);
    std::stable_sort(ordem.begin(), ordem.end(), [](std::int32_t a, std::int32_t b) {
        const TuboExpRec& ta = gTubosExp[static_cast<std::size_t>(a)];
        const TuboExpRec& tb = gTubosExp[static_cast<std::size_t>(b)];
        const int c = Compara(ta.StartNode, tb.StartNode);
        return c != 0 ? c < 0 : Compara(ta.StopNode, tb.StopNode) < 0;
    });
    Tabela pipes(*rsPressurePipe_, "Pressure Pipe", tabelaAtual_);
    for (std::size_t n = 0; n < ordem.size(); ++n) {
        const TuboExpRec& tubo = gTubosExp[static_cast<std::size_t>(ordem[n])];
        pipes.Linha({{"Label", "P-" + std::to_string(n)},
                     {"StartNode", "J-" + tubo.StartNode},
                     {"StopNode", "J-" + tubo.StopNode},
                     {"Diameter", tubo.Diametro},
                     {"Demand", tubo.DemIni + tubo.DemFim},
                     {"Comprimento", IsNumero(tubo.CompNominal) ? StrToDbl(tubo.CompNominal) : 0.0},
                     {"Material", tubo.Tipo},
                     {"Etapa", tubo.Etapa}});
    }
}

void ClsWATExp::GravaJunctions()
{
    Tabela junctions(*rsPressureJunction_, "Pressure Junction", tabelaAtual_);
    const std::int32_t nNos = NumNos();
    for (std::int32_t i = 0; i < nNos; ++i) {
        const NoRec& no = gNos[static_cast<std::size_t>(i)];
        junctions.Linha({{"Label", "J-" + no.Label},
                         {"X", no.Ponto.X},
                         {"Y", no.Ponto.Y},
                         {"Elevation", no.Elevation},
                         {"Demand", no.Demanda},
                         {"Zone", no.Zona},
                         {"Numero", no.Label}});
    }
}

void ClsWATExp::FechaTabelas(bool Detalhado)
{
    tabelaAtual_.clear();
    for (auto* rs : {&rsPressurePipe_, &rsPressureJunction_, &rsZonas_}) (*rs)->Close();
    if (Detalhado)
        for (auto* rs : {&rsTmpTubos_, &rsTmpBends_, &rsTmpPavs_, &rsTmpZonas_, &rsTmpNodes_}) (*rs)->Close();
    cn_->Close();
}

void ClsWATExp::FechaBanco()
{
    for (auto* rs : {&rsPressurePipe_, &rsPressureJunction_, &rsZonas_, &rsTmpTubos_, &rsTmpBends_, &rsTmpPavs_,
                     &rsTmpZonas_, &rsTmpNodes_})
        if (*rs && (*rs)->State() != ado::adStateClosed) try {
                (*rs)->Close();
            } catch (const ado::Error&) {
            }
    if (cn_ && cn_->State() != ado::adStateClosed) try {
            cn_->Close();
        } catch (const ado::Error&) {
        }
}
