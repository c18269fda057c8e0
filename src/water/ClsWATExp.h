#pragma once
// The water network export: what is read from the four drawings of a network
// (nodes, zones, pipes with the fittings at their ends) into module-wide
// tables, the drawings made from them (the nodes drawing, the continuity
// check) and the hydraulic-model database written from them.
//
//     ClsWATExp exp;
//     exp.cProgress = &ProgressBar2;
//     if (exp.LerTrechos(10.0, false))   // the pipes picked on screen
//         exp.Reproduz();                // their paths on "0-Conferencia"
//
// The tables live as long as the program; each reader replaces its table
// entirely. Tables hold exactly their counted entries (an empty table is
// empty). Node labels are whole numbers of any size: compare them with
// ComparaRotulos, never through a fixed-size integer.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cad/Ponto.h"

class ProgressBar;
namespace acad {
class BlockReference;
}
namespace ado {
class Connection;
class Recordset;
}  // namespace ado
namespace platform {
class FileReplacement;
}

// One node of the network: an "ErroC" block of the nodes drawing.
struct NoRec {
    std::string Label;  // MENSAGEM of the node block: a whole number
    ::Ponto Ponto;      // insertion point of the node block
    std::int32_t ObjectID = 0;
    double Raio = 0.0;       // the block's X scale: a pipe end closer than this joins the node
    double Elevation = 0.0;  // terrain elevation at Ponto
    std::string Zona;        // zone region holding Ponto; "" when none does
    double Demanda = 0.0;    // demand gathered on the node
};

// One zone block of the zones drawing ("Zon_PorM" or "Zon_Total").
struct ZonaRec {
    std::string Nome;             // NOME; "" when the block has none
    std::string Tipo;             // "VPM" or "VTZ": the value tag met; "" when none
    ::Ponto Ponto;                // insertion point of the zone block
    double Valor = 0.0;           // the VPM or VTZ number; 0 when the block has none
    double TotalTubos = 0.0;      // length of pipe path inside the zone
    std::int32_t TotalNodes = 0;  // nodes inside the zone
    double ContribM = 0.0;        // demand per metre of pipe
    double ContribT = 0.0;        // total demand of the zone
};

// One fitting block ("A-*", not "A-TUBO") met at a pipe end.
struct PontaConexao {
    std::string Tipo;  // the fitting's CODIGO before "DN"
    double EscalaX = 1.0;
    double EscalaY = 1.0;
    double Rotacao = 0.0;
    ::Ponto PontoInsercao;
    ::Ponto PontoBusca;  // where the fitting was searched from
    ::Ponto PontoSaida;  // the socket through which the path goes on
    std::string Diametro2;
    std::string Diametro1;
    // Sockets of the fitting; the walk goes on through fittings with 2. A
    // fitting the catalogue cannot resolve ends the walk with 0.
    std::int16_t nBolsas = 0;
};

// One pipe: an "A-TUBO" label, its polyline and the fittings at its ends.
struct TuboExpRec {
    std::string Tipo;          // CODIGO before "DN"
    std::string Material;      // MATERIAL
    std::string Diametro;      // CODIGO between "DN" and the first "-"
    double Comprimento = 0.0;  // length of the assembled path (database writer)
    std::string CompNominal;   // CODIGO after the first "-", every "m" removed
    ::Ponto PontoIni;          // PontoSaida of the last of ConexoesIni (the polyline's first vertex without fittings)
    ::Ponto PontoFim;          // PontoSaida of the last of ConexoesFim (the polyline's last vertex without fittings)
    std::int16_t nBolsasIni = 0;  // nBolsas of the last of ConexoesIni; 0 without fittings
    std::int16_t nBolsasFim = 0;
    std::vector<PontaConexao> ConexoesIni;  // from the first vertex outward, in the order met
    std::vector<PontaConexao> ConexoesFim;  // from the last vertex outward
    std::string StartNode;                  // node label at PontoIni (database writer)
    std::string StopNode;                   // node label at PontoFim (database writer)
    std::vector<double> Coords;             // the polyline's vertices, x0, y0, x1, y1, ...
    std::int16_t Etapa = 0;                 // ETAPA as a whole number
    std::string Handle;                     // check polyline (database writer, detail mode)
    std::string LHandle;                    // the pipe polyline
    std::string AHandle;                    // the "A-TUBO" block
    double DemIni = 0.0;                    // demand carried to the start node (database writer)
    double DemFim = 0.0;                    // demand carried to the stop node (database writer)
};

// One zone stretch of a pipe path (database writer).
struct TrechoZonaRec {
    std::string Handle;     // the pipe's check polyline; "" outside detail mode
    std::int32_t Tubo = 0;  // index of the pipe in gTubosExp
    std::string Diametro;
    std::int32_t IdZon = -1;  // index of the zone region holding the stretch; -1 in none
    std::int32_t Zona = -1;   // index in gZonas of the zone record linked to that region; -1 in none
    double Distancia = 0.0;   // length along the path
    double Inicial = 0.0;     // from the start node to the stretch's start
};

extern std::vector<NoRec> gNos;
extern std::int32_t gNumNos;
extern std::vector<ZonaRec> gZonas;  // its count is its size
extern std::vector<TuboExpRec> gTubosExp;
extern std::int32_t gNumTubosExp;
extern std::vector<TrechoZonaRec> gListaSalva;

// A node label is a whole number: an optional sign and digits, blanks around
// it aside, of any length.
bool RotuloValido(const std::string& Label);
// Compares two valid labels by their numeric value: <0, 0 or >0. "007" and
// "7" are equal.
int ComparaRotulos(const std::string& a, const std::string& b);

class ClsWATExp {
public:
    ClsWATExp();
    ~ClsWATExp();
    ClsWATExp(const ClsWATExp&) = delete;
    ClsWATExp& operator=(const ClsWATExp&) = delete;

    // Where progress is shown; none shows nothing.
    ProgressBar* cProgress = nullptr;

    // The pipes of the active drawing (all "A-TUBO" labels with Geral, else
    // those picked on screen) into gTubosExp. A measured length off its
    // nominal length by more than Tolerancia (0: no check), a label without
    // its polyline, a pipe end without a fitting, a fitting the catalogue
    // cannot resolve and a pipe code without "DN" or "-" each leave an "ErroC"
    // marker on "0-Conferencia". True when every pipe was read and nothing was
    // marked; False when cancelled, nothing was found or anything was marked.
    // LTSCALE and the view come back on every way out.
    bool LerTrechos(double Tolerancia, bool Geral);
    // Markers left by the last LerTrechos.
    int Falhas() const { return Falhas_; }
    // The zone blocks of the active drawing into gZonas. False, with a
    // message, when there is none (gZonas kept).
    bool LoadZonas();
    // The "ErroC" blocks of the active drawing into gNos, sorted by label.
    // False, with a message, when there is none, or when a label is not a
    // whole number or is on two nodes (gNos then kept).
    bool LoadNodes();
    // Into the active (new) drawing: the network drawing `Arquivo` as the
    // reference "REDE" and one node marker per distinct pipe end of gTubosExp.
    void DrawNodes(const std::string& Arquivo);
    // Writes nodes, zones and pipes into the database file CaminhoMdb (a
    // copy of the template); Detalhado adds the detail tables and the check
    // polylines. False, after a message naming the table and the provider's
    // text, when a database call failed.
    bool Salva_Rede(const std::string& CaminhoMdb, bool Detalhado);
    // The same into the template's copy that is to replace the output (made
    // beside it): the messages name the output, not the hidden copy.
    bool Salva_Rede(const platform::FileReplacement& Copia, bool Detalhado);
    // The path of every pipe of gTubosExp, tapered at its ends, and a circle
    // at each end coloured by its socket count, on "0-Conferencia".
    void Reproduz();

    // --- the steps of LerTrechos, public for the tests
    // One pipe from its label; appends it to gTubosExp when its polyline is
    // found. Sets Erro on any fault marked (never clears it).
    void LerTrecho(acad::BlockReference* Bloco, double Tolerancia, bool& Erro);
    // The fittings met walking from a pipe end outward, and the length of
    // that walk. False when the first search finds no fitting (Conexoes then
    // empty, Comprimento 0).
    bool LerExtremidade(const ::Ponto& Ponto, std::vector<PontaConexao>& Conexoes, double& Comprimento, bool Primeira);
    // The fitting nearest to Ponto (skipping the one whose identifier ObjectID
    // holds on entry). Outputs it cannot fill keep their values.
    enum class Busca {
        Achou,           // found and resolved by the catalogue
        NaoAchou,        // no fitting within reach
        ForaDoCatalogo,  // found, but its material, type or socket rows are missing: its
                         // insertion point is the exit, nBolsas 0
    };
    Busca FindConexao(const ::Ponto& Ponto, std::string& Tipo, std::string& Diametro1, std::string& Diametro2,
                      ::Ponto& PontoSaida, std::int16_t& nBolsas, ::Ponto& PontoInsercao, double& EscalaX,
                      double& EscalaY, double& Rotacao, std::int32_t& ObjectID, bool Primeira);

private:
    int Falhas_ = 0;
    std::set<std::int32_t> marcadas_;  // fittings out of the catalogue already marked
    // Marks a fault of the pipe reading: an "ErroC" on "0-Conferencia" at P
    // with scale 20 and MENSAGEM = Texto.
    void MarcaFalha(const ::Ponto& P, const std::string& Texto);

    // The export database (Salva_Rede): one connection and one recordset per
    // table, made on first use.
    std::unique_ptr<ado::Connection> cn_;
    std::unique_ptr<ado::Recordset> rsPressurePipe_, rsPressureJunction_, rsZonas_, rsTmpTubos_, rsTmpBends_,
        rsTmpPavs_, rsTmpZonas_, rsTmpNodes_;
    // The table being written, named in the message of a failure.
    std::string tabelaAtual_;

    // --- the steps of Salva_Rede, in their order
    bool GravaRede(const std::string& CaminhoMdb, bool Detalhado, const platform::FileReplacement* Copia);
    // The nodes the two ends of a pipe attach to (indexes in gNos, -1 for
    // none), and how far each end lies from its node.
    struct Ligacao {
        int Ini = -1, Fim = -1;
        double DIni = 0, DFim = 0;
    };
    // Node attachment: each end of every pipe to the nearest node whose
    // radius reaches it. False, after a circle on each end no node reaches and
    // a message, when any is left.
    bool LigaAosNos(std::vector<Ligacao>& Ligacoes);
    // The connection and a recordset per table (the detail tables with
    // Detalhado).
    void AbreTabelas(const std::string& CaminhoMdb, bool Detalhado);
    // The tmp_Nodes rows.
    void GravaNos();
    // Every pipe in list order, the progress bar advanced once per pipe.
    void MontaTubos(const std::vector<Ligacao>& Ligacoes, bool Detalhado);
    // One pipe: its node labels, path and length, check polyline, pavement
    // and zone stretches (into gListaSalva) and events.
    void MontaTubo(std::int32_t t, const Ligacao& l, bool Detalhado);
    // The tmp_BENDs rows of one pipe: its end fittings and vertices.
    void GravaEventos(const TuboExpRec& Tubo);
    // Zone totals, then the Zonas rows.
    void GravaZonas();
    // Demand per pipe end, then node demand.
    void DistribuiDemanda();
    // The tmp_TUBOS rows, in the drawn direction.
    void GravaTubosDetalhe();
    // Orientation and pipe order, then the Pressure Pipe rows.
    void GravaTubos();
    // The Pressure Junction rows.
    void GravaJunctions();
    // The recordsets and the connection of a finished run closed.
    void FechaTabelas(bool Detalhado);
    // Whatever a failed run left open, closed without a word.
    void FechaBanco();
    void IniciaProgresso(long long Max);
};
