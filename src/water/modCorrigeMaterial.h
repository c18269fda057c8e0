#pragma once
// The repair of the material of pipe labels: drawings made before the pipe
// types named their material carry a wrong or empty MAT in their old labels.

#include <string>

// The catalogue name (NomeCatalogo of gTiposTubo) of the pipe type whose code
// is the part of `Codigo` before its first "DN"; "" for a code without "DN",
// with nothing before it, or of a pipe type the catalogue lacks.
std::string MaterialDoCodigo(const std::string& Codigo);

// The user selects pipe labels ("A-TUBO", "R-TUBO"); their count is shown,
// and each one, the view centred on it, gets in MAT the material of its code
// (CODIGO, or TUBO in a label without CODIGO). A label without MAT (the
// current "A-TUBO") stays as it is. Callers have connected.
void CorrigeMaterial();
