#pragma once
// Preparing a drawing for cadastre work: an external reference (the town's
// base map) clipped to the outline of one sector through the host's XCLIP,
// and the six building blocks rebuilt from the current catalogue.

#include <string>
#include <vector>

class ProgressBar;

// A vertex list without each vertex that lies within 0.01 in x and in y of
// the vertex kept before it, and nothing else: an open outline keeps its end.
std::vector<double> SemVerticesProximos(const std::vector<double>& L);

// The command text that clips the external reference of handle `Handle` to
// the polygon `Contorno` (x and y with four decimals), ending with the Enter
// that closes the polygon.
std::string ComandoXClip(const std::string& Handle, const std::vector<double>& Contorno);

// "Clip Setor": the user picks the outline, then the reference. A cancelled
// pick sends nothing; a command the host refuses is told with its reason.
void ClipSetor();

// "Atualiza Blocos Cadastro": CAD_COM, CAD_IND, CAD_MIX, CAD_RUF, CAD_RMF and
// CAD_SVP built again from the catalogue, the bar advancing once for each.
void AtualizaBlocosCadastro(ProgressBar& Barra);
