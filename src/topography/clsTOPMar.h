#pragma once
// The map sheet worker of the "Margens" tab. A map sheet is the rectangle of
// model space that one paper-space viewport shows at a chosen scale, marked by
// an insertion of "QUADRICULA2": its insertion point is the sheet's top-left
// corner and its X and Y scales the sheet's width and height (the block is a
// unit frame); its first attribute holds the sheet's number.
//
// The panel makes a new worker for every button press, hands it the progress
// bar (and, for the sheet insertion, its three sheet settings), and calls one
// operation: the sheet list read by SelectQuads is the one MARLayout walks in
// the same press.
//
// Coordinates, sizes and counts are doubles and plain ints: sheets lie at
// northings of millions, where single precision would round the corners.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"

class ProgressBar;
class frmCancelar;
namespace acad {
class BlockReference;
}

// One sheet of the worker's list.
struct QuadriculaRec {
    int ObjectId = 0;    // object id of the sheet block's first attribute
    double X = 0;        // insertion point: west edge
    double Y = 0;        //                  north edge
    int Numero = 0;      // the first attribute's text as a whole number
    int Coluna = 0;      // 1 = westmost
    int Linha = 0;       // 1 = northmost
    double Largura = 0;  // sheet width W
    double Altura = 0;   // sheet height H
};

// The sheet block's width and height read back from its scales: a scale of
// exactly 1 is the default viewport at 1:1000, 786 by 499.
double LarguraQuadricula(double EscalaX);
double AlturaQuadricula(double EscalaY);

// The grid of whole sheets of W by H centred on the window of corners A and B
// (in any order): its lower-left corner and its columns and rows. Limits
// narrower than W or lower than H give no column or no row.
struct GradeQuadriculas {
    Ponto P0;
    int nx = 0;
    int ny = 0;
};
GradeQuadriculas CalculaGrade(const Ponto& A, const Ponto& B, double W, double H);

// The UTM grid lines of one sheet: the multiples of `s` from the sheet's west
// (south) edge, inclusive, up to its east (north) edge rounded to the nearest
// whole number.
std::vector<double> LinhasUTM(double Inicio, double Fim, double s);

// A whole number written alone (" 12 ", "-3", "0010"), when it lies within
// `Maior` (below 10^17) either side of 0.
std::optional<long long> Inteiro(const std::string& Texto, long long Maior);
// The text of a whole number written in a combo ("500", " 1000 "), when it is
// one of at least 1.
std::optional<long long> InteiroPositivo(const std::string& Texto);

class clsTOPMar {
public:
    clsTOPMar();
    ~clsTOPMar();
    clsTOPMar(const clsTOPMar&) = delete;
    clsTOPMar& operator=(const clsTOPMar&) = delete;

    // Set by the panel before the call.
    ::ProgressBar* ProgressBar = nullptr;
    double fMARVPDimX = 786;   // viewport width on paper, mm
    double fMARVPDimY = 499;   // viewport height on paper, mm
    double fMAREscala = 1000;  // scale denominator

    // Asks the sheet size (frmMARQua) and inserts one sheet at a picked point,
    // or covers the drawing (or the picked limits) with a grid of sheets
    // numbered 1, 2, ... over the cells that hold anything but sheets, row by
    // row from the north, west to east in a row. True only when the user
    // stopped the grid in the cancel window.
    bool InsertQuad();

    // Renumbers every sheet of the drawing in reading order (rows from the
    // north, west to east). True when there is no sheet or the user cancels.
    bool NumerarQuads();

    // Reads the drawing's sheets, or, when it has none, those of a reference
    // the user picks, into the sheet list with each sheet's row and column.
    // True when the user cancelled or no sheet was found (MARLayout runs only
    // after false).
    bool SelectQuads();

    // Draws the UTM grid lines and their labels "TOP_UTM" inside every sheet,
    // with the spacing and label scale asked in frmMARExe ("Grade UTM").
    // True when stopped in the cancel window or when there is no sheet.
    bool InsertUTM();

    // The printable sheets from the list read by SelectQuads: mode 0 one file
    // per sheet, 1 one layout per sheet, 2 a preview. A file of an earlier
    // run is written again, the old one sent to the trash first.
    void MARLayout(int Modo);

    // ---- the sheet list, in reading order
    std::vector<QuadriculaRec> Quads;
    int NumQuads = 0;
    // Extents of the listed insertion points and the cell size (that of the
    // last sheet read).
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    double CelulaLargura = 0, CelulaAltura = 0;

    // Appends a copy of the sheet, widens the extents and puts the list back
    // in reading order.
    void AddQuad(const QuadriculaRec& Quad);

private:
    // Fill the list from the drawing's sheets / from a picked reference's
    // definition; true on cancel or when none is found.
    bool LocalizaQuads();
    bool LeXRefQuads();

    // A sheet block's record, or none (after a message naming its insertion
    // point) when it has no attribute or its number is not whole.
    std::optional<QuadriculaRec> LeQuadricula(acad::BlockReference& Bloco, bool ComNumero);

    // The cancel window of a long run, placed where this worker's last one was
    // left (centred the first time); FechaCancelar keeps that place.
    void AbreCancelar(const std::string& Mensagem);
    void FechaCancelar();
    bool Cancelado() const;

    void ProgressStart(long long Max);
    void ProgressStep();

    std::unique_ptr<frmCancelar> fCancel;  // alive only during one run
    int MsgLeft_ = 0;
    int MsgTop_ = 0;
};
