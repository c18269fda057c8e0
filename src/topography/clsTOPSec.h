#pragma once
// The topographic section along a polyline through survey points: made by the
// topography panel when its "Seções" tab is chosen, replaced at each press of
// "Selecione Polyline", released at the next tab change.
//
// Selecionar reads the survey point under every vertex of the picked polyline
// (from the end picked nearer) and shows the section's figures; Desenhar asks
// a window and draws in it the frame with its three-row table (elevations,
// stations, names), the grid and the profile, cut into pieces with their own
// datum when the elevations do not fit the window's height. Horizontally one
// drawing unit per unit of distance; vertically Exagero units per unit of
// elevation; the table takes the bottom 54 units.

#include <string>
#include <vector>

#include "cad/Ponto.h"

namespace forms {
class Label;
class TextBox;
class CommandButton;
}  // namespace forms
class ProgressBar;

class clsTOPSec {
public:
    clsTOPSec();
    ~clsTOPSec();

    // Set by the panel before the calls.
    double ZoomScale = 140.0;
    double ZoomCenter = 200.0;  // view size when a vertex lies outside the view
    int PRECDIST = 2;
    int PRECCOTA = 3;
    double Exagero = 10.0;  // horizontal over vertical scale
    double Equidist = 1.0;  // metres between the frame's elevation lines
    double TextHeight = 1.5;
    forms::Label* nPontosLbl = nullptr;
    forms::Label* ComprLbl = nullptr;
    forms::Label* MinCotaLbl = nullptr;
    forms::Label* MaxCotaLbl = nullptr;
    forms::Label* DiferenLbl = nullptr;
    forms::Label* MaxDifLbl = nullptr;
    forms::TextBox* ProgresTxt = nullptr;  // the start station; the next one after drawing
    forms::TextBox* EscalaTxt = nullptr;
    forms::CommandButton* CmdSelect = nullptr;
    forms::CommandButton* CmdDraw = nullptr;
    ProgressBar* ProgBar = nullptr;

    void Selecionar();
    void Desenhar();

    // One vertex of the section, in section order.
    struct Vertice {
        double Cota = 0.0;
        std::string Nome;
        double Progressiva = 0.0;  // from the section's start
        Ponto Posicao;
    };
    // Index 0 and 1 both hold the start vertex; empty until a selection has
    // found a valid point under every vertex.
    const std::vector<Vertice>& Vertices() const { return v_; }
    double Comprimento() const { return comprimento_; }
    // The profile pieces of the last drawing: first and last vertex index.
    const std::vector<std::pair<int, int>>& Pecas() const { return pecas_; }

    // What the entries must be: an equidistance that is a whole number of at
    // least 1, a ratio above 0. "" when they are fine, else the message.
    static std::string ConfereEquidistancia(const std::string& Texto);
    static std::string ConfereEscala(const std::string& Texto);

private:
    void DesenhaPerfil(int Primeiro, int Ultimo);
    void DesenhaQuadro();
    void DesenhaGrade(double Distancia, double Cota, const std::string& Nome);
    void CriaLayersSecao();
    void InsereErro(const Ponto& P, double Escala, const std::string& Mensagem, int Cor);

    // The datum of a piece: the lowest whole elevation of its vertices.
    double Datum(int Primeiro, int Ultimo) const;
    // Whether a piece's profile stays within the window's height.
    bool CabeNoQuadro(int Primeiro, int Ultimo) const;
    double ProgressivaInicial() const;
    void RestauraControles();

    std::vector<Vertice> v_;
    int n_ = 0;
    double comprimento_ = 0.0;
    double menorCota_ = 0.0, maiorCota_ = 0.0, maiorDiferenca_ = 0.0;
    // drawing state
    Ponto canto_;  // lower-left corner of the window
    double altura_ = 0.0;
    double rotacao_ = 0.0;
    double o_ = 0.0;  // station offset
    double datum_ = 0.0;
    std::vector<std::pair<int, int>> pecas_;
};
