#pragma once
// The host's current view: zooms, whether a point is on screen (window
// selections find only what is), the view kept across a command that zooms
// around, and the size of the active paper-space viewport. They use gAcadApp
// and gAcadDoc as they are and let the host's failures through (only
// SalvaVista connects by itself).

#include "cad/Ponto.h"

// A kept view: centre and height; height 0 until the first SalvaVista.
struct VistaSalva {
    Ponto Centro;
    double Altura = 0.0;
};
extern VistaSalva gVistaSalva;

// Zoom to the drawing's extents.
void ZoomTudo();

// Centre the view on P with view height `Altura`; a height of 0 does nothing.
void ZoomCentro(const Ponto& P, double Altura);

// Zoom to the window of the two corners, then by `Fator` relative to it (below
// 1 leaves a margin: 0.8 shows the window in 80 % of the view).
void ZoomJanela(const Ponto& Canto1, const Ponto& Canto2, double Fator);

// True when P lies outside the central 95 % of the current view.
bool PontoForaDaVista(const Ponto& P);

// Connects (ConectaAcad) and keeps the current view in gVistaSalva.
void SalvaVista();

// Back to the kept view (nothing before a first SalvaVista).
void RestauraVista();

// In paper space: switches into the active viewport's model space and gives
// that viewport's width and height, with `Achou` true. In model space `Achou`
// is false and the sizes are left as they are.
void TamanhoViewport(double& Largura, double& Altura, bool& Achou);
