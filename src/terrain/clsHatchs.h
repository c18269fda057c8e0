#pragma once
// Hatches of a drawing read back as regions. The drawing host writes the
// hatches to a DXF file (CreateDXF); the file is read back (ReadHatchs): every
// boundary path becomes point lists, the pieces of one hatch are chained into
// closed loops, and the loops of the hatches that bear one pattern name form
// one region of gHatchs (or each hatch its own region, see RegiaoPorHatch),
// with its band index for the lookups of modRegioes.
//
//     clsHatchs zonas;
//     zonas.cProgress = &ProgressBar1;
//     zonas.RegiaoPorHatch = true;
//     zonas.CreateDXF("");          // the active drawing's hatches
//     zonas.ReadHatchs();           // gHatchs, gNumHatchs
//     gHatchZonas = gHatchs;

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cad/Ponto.h"

class ProgressBar;
namespace os {
class TextReader;
}

class clsHatchs {
public:
    // One DXF group as the reader keeps it.
    struct GrupoDXF {
        int Codigo = 0;
        std::string Valor;
    };

    // A boundary piece of the hatch being read.
    struct LoopBruto {
        std::string Nome;
        std::vector<double> Pontos;  // flat x0, y0, x1, y1, ...
        int Externo = 0;             // the path was flagged External
        int Estado = 0;              // 0 open, 1 closed, 2 merged into another, 3 closed by force
    };

    // A closed loop of a region.
    struct LoopRegiao {
        std::string Nome;
        int Hatch = 0;  // 0 for the first hatch read, then +1 per hatch
        int Loop = 0;   // within the hatch, from 0
        std::vector<double> Pontos;
        int Externo = 0;
    };

    // The most boundary points one read keeps, some hundreds of megabytes.
    static constexpr long long kMaxPontosLidos = 10'000'000;

    clsHatchs();
    ~clsHatchs();
    clsHatchs(const clsHatchs&) = delete;
    clsHatchs& operator=(const clsHatchs&) = delete;

    // Where progress is shown; none shows nothing.
    ProgressBar* cProgress = nullptr;
    // One region per hatch instead of one per pattern name: zones drawn with
    // the same pattern stay apart. Pavements keep one region per pattern, the
    // pattern naming the pavement type.
    bool RegiaoPorHatch = false;

    // Files the hatch file must never replace: those the user chose for the
    // run that reads the hatches (its drawings and its output).
    std::vector<std::string> Protegidos;

    // Writes the hatches of the active drawing (those on `Layer` when it is not
    // empty) to the DXF file that ReadHatchs reads: ArquivoDXF of the drawing;
    // when that is the drawing's own file (a drawing kept as ".dxf", also
    // through a link), or for one never saved, in the temporary folder. The
    // file is the program's intermediate, removed once read. A file of
    // Protegidos there refuses the export (DestinoProtegido). A file already
    // there is not the program's (its own are gone once read): it goes to the
    // trash first, and when it cannot, the user is told why and nothing is
    // exported.
    void CreateDXF(const std::string& Layer);
    // The hatch file of the drawing `Desenho`: in its folder, named like it
    // with ".dxf" in place of its extension.
    static std::string ArquivoDXF(const std::string& Desenho);
    // True, and the user told naming both files, when the hatch file of
    // `Desenho` would take the place of one of Protegidos.
    bool DestinoProtegido(const std::string& Desenho) const;
    // Reads the file of the last CreateDXF into gHatchs and the loop list. A
    // file that cannot be opened or read to its end gives a message naming it
    // and no regions. False when there was no file to read (CreateDXF failed
    // and said so) or it could not be read.
    bool ReadHatchs();

    // The groups of entities of type `Entidade` in section `Secao` whose codes
    // are in `Codigos` (",0,2,8,"): false, with a message, when the file cannot
    // be opened or is not a complete DXF file.
    bool LeDXFSecao(const std::string& Caminho, const std::string& Secao, const std::string& Entidade,
                    const std::string& Codigos);
    // Decodes the stored groups into loops and regions (gHatchs emptied first).
    // False, with a message, when a value that should be a number is not or
    // the boundaries hold more than kMaxPontosLidos points.
    bool ProcessaHatchs();
    // A boundary piece of the hatch being read. Past kMaxPontosLidos points in
    // one read, std::length_error: a damaged file of a few lines would
    // otherwise fill the memory with the curves it describes. A point the band
    // index cannot hold (CoordenadaIndexavel): std::invalid_argument.
    void AddLoop(const std::vector<double>& Pontos, const std::string& Nome, int Externo);
    // Chains the pieces of the hatch just read into loops and adds them to its region.
    void MontaLoops();
    // The band index of every region of gHatchs.
    void IndexaRegioes();
    // Renames the loops of zone region `Indice` of gHatchZonas (the loops of its
    // pattern name, or of its own hatch when each hatch is a region).
    void SetTipo(int Indice, const std::string& NovoNome);
    // The region of gHatchs that holds the point ("" when none).
    void Info_Pavto(const Ponto& P, std::string& Nome);

    // Appends the loop list to table `Tabela` ("Pavimentos" or "WATZonas") of
    // the database `Caminho` (made from the program's template when missing).
    void DbSave(const std::string& Caminho, const std::string& Tabela);
    // Appends the loops stored in table `Tabela` ("Pavimentos" or "WATZonas")
    // to the loop list; a database or table that cannot be read changes nothing.
    void DbLoad(const std::string& Caminho, const std::string& Tabela);
    // Draws every loop as a polyline on the layer of its name (width 1.0 for
    // the loops of External paths).
    void DrawBoundaries();

    // The file that ReadHatchs reads ("" before CreateDXF, after it failed, and
    // once its file has been read).
    const std::string& CaminhoDXF() const { return caminhoDXF_; }
    // Nosso: the program wrote the file for this read, and removes it once
    // read (or when another file takes its place).
    void SetCaminhoDXF(const std::string& Caminho, bool Nosso = false);
    const std::vector<GrupoDXF>& Grupos() const { return grupos_; }
    const std::vector<LoopBruto>& LoopsBrutos() const { return brutos_; }
    const std::vector<LoopRegiao>& Loops() const { return loops_; }

private:
    // The next group of the file being read: code and value, blanks and the
    // line ends around them removed; false at the end of the text.
    bool LeGrupoDXF(std::pair<std::string, std::string>& Grupo);
    void EsvaziaRegioes();
    void Passo();
    void Inicia(long long Maximo, const std::string& Legenda);
    void Cede();

    std::string caminhoDXF_;
    bool nosso_ = false;  // the file was written by CreateDXF: removed once read
    std::vector<GrupoDXF> grupos_;
    std::vector<LoopBruto> brutos_;
    std::vector<LoopRegiao> loops_;
    int numHatch_ = 0;
    long long pontosLidos_ = 0;  // points of the pieces added since the regions were emptied
    // Which hatches form region r of the last read (its own hatch when each
    // hatch is a region).
    std::vector<int> hatchDaRegiao_;

    // The file being read by LeGrupoDXF.
    std::unique_ptr<os::TextReader> leitor_;
    long long chamadas_ = 0;
    long long ultimaCessao_ = 0;
};
