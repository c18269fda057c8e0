#pragma once
// The material quantities of the sewer network as drawn: `QTTMateriais`
// reads every manhole ("E-PV*") and reach label ("E-TRSAN") of the drawing
// and sums them per construction stage (manholes by type, with their extra
// height and chimneys; pipes by material and diameter, with drop pipes and
// steps); `QTTPrint` draws the sums as a table of "RQ-A", "RQ-E", "RQ-I" and
// "RQ-T" blocks. `Insumos` writes one row per reach into a copy of the
// quantity template "DadosOrca.xls", as text through the data control; numbers
// and formulas carry a leading "#" that the user replaces in the spreadsheet
// program.
//
// The panel makes one object per command and sets the public members first.
// A reach's manholes are found at its PV1 and PV2 points by insertion point,
// whatever the view shows. Blocks that cannot be counted (a stage not in the
// catalogue, a manhole not found, an attribute missing or unreadable) are left
// out and named in one report when the run ends.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cad/Ponto.h"
#include "platform/FileReplacement.h"
#include "platform/ado/DataControl.h"
#include "shell/ProgressBar.h"

namespace acad {
class BlockReference;
}

struct QttPVRec {
    std::string Descricao;
    std::string Bloco;  // the match key
    int Quantidade = 0;
    float Chamines = 0;   // manholes that need a chimney
    float Acrescimo = 0;  // summed extra height, metres
    float Chamine = 0;    // the type's chimney height, metres
};

struct QttDiametroRec {
    std::string Diametro;   // the match key
    float Comprimento = 0;  // pipe between the manhole walls, metres
    int TubosQueda = 0;
    int Degraus = 0;
    float AlturaTubosQueda = 0;
    float AlturaDegraus = 0;
};

struct QttMaterialRec {
    std::string Material;  // the match key
    bool Usado = false;
    std::vector<QttDiametroRec> Diametros;
};

struct QttEtapaRec {
    int Etapa = 0;  // the catalogue's stage number, by which blocks find it
    std::string Descricao;
    bool Usada = false;
    std::vector<QttPVRec> PVs;
    std::vector<QttMaterialRec> Materiais;
};

// One spreadsheet row: one reach.
struct PlanilhaTRRec {
    std::string TRECHO, PVM, PVJ, DN, EXT, PROFM, PROFJ, TPPV, PAVMTO, TCP;
};

class clsSANQtt {
public:
    ProgressBar* cProgress = nullptr;
    ado::DataControl* cDataControl = nullptr;  // spreadsheet only
    // Set by the panel with its zoom setting; the manholes are found by their
    // insertion points, so nothing is zoomed to.
    double gAcadZoomCenter = 400;
    int gPRECDIST = 2;
    int gPRECCOTA = 3;
    std::string gOrcaXLS;  // the spreadsheet template

    // The whole spreadsheet command: the file asked for, the reaches read,
    // the rows written, the workbook handed to its program.
    void Insumos();
    // Fills the stage table; `Cancelado` set when the user stopped the run.
    void QTTMateriais(bool& Cancelado);
    // Draws the table of the last QTTMateriais at `InsertPoint`; nothing,
    // with a message, when one of the four table blocks is not defined.
    void QTTPrint(const Ponto& InsertPoint);

    const std::vector<QttEtapaRec>& Etapas() const { return etapas_; }
    const std::vector<PlanilhaTRRec>& Linhas() const { return trs_; }

private:
    void Levanta(bool& Cancelado);  // the reading of QTTMateriais
    void CalcPVQtt(const std::string& Material, const std::string& Diametro, float Comprimento,
                   const std::string& CodigoQueda, float Queda, QttEtapaRec& Etapa, acad::BlockReference& PVM,
                   acad::BlockReference& PVJ);
    void AddInsumo(const std::string& Bloco, float Profundidade, QttEtapaRec& Etapa);
    QttEtapaRec* EtapaDoNumero(const std::string& Texto);

    void DrawQttHeader();
    void DrawQttEtapa(const std::string& Texto);
    void DrawQttItem(int Numero, const std::string& Texto, const std::string& Unidade, float Quantidade, int Decimais);
    void DrawQttTotal();
    void InsereLinha(const std::string& Bloco, const std::vector<std::pair<std::string, std::string>>& Valores);

    void OpenPlanilha(bool& Result);
    void InitFormulas();
    void ReadTRsForPlanilha(bool& Cancelado, bool& Result);
    void FillPlanilha(bool& Cancelado);
    void DescartaPlanilha();

    // Where the user left the cancel window (0: centred).
    int msgLeft_ = 0, msgTop_ = 0;
    // The table being drawn.
    double insX_ = 0, insY_ = 0;
    float total_ = 0;
    std::vector<QttEtapaRec> etapas_;
    // The blocks left out of the last run, one line each.
    std::vector<std::string> deixados_;

    std::vector<PlanilhaTRRec> trs_;
    std::vector<std::pair<std::string, std::string>> formulas_;
    std::string planilha_;  // the workbook chosen
    // The copy being filled, which takes the chosen workbook's place once written.
    std::unique_ptr<platform::FileReplacement> copia_;
};
