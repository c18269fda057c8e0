#include "topography/clsTOPMar.h"

#include <cmath>

#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"

double LarguraQuadricula(double EscalaX) { return EscalaX == 1 ? 786 : EscalaX; }
double AlturaQuadricula(double EscalaY) { return EscalaY == 1 ? 499 : EscalaY; }

clsTOPMar::clsTOPMar() = default;
clsTOPMar::~clsTOPMar() = default;

bool clsTOPMar::InsertQuad() { return false; }
bool clsTOPMar::NumerarQuads() { return true; }
bool clsTOPMar::SelectQuads() { return true; }
bool clsTOPMar::InsertUTM() { return true; }
bool clsTOPMar::LocalizaQuads() { return true; }
bool clsTOPMar::LeXRefQuads() { return true; }
void clsTOPMar::AddQuad(const QuadriculaRec& Quad)
{
    Quads.push_back(Quad);
    ++NumQuads;
}
