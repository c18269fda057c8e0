#pragma once
// The information of a survey point (a point entity carrying its name,
// elevation text and description as extended data) or of a free position.

#include <string>

#include "cad/Ponto.h"

// Connects and lets the user pick, with `Prompt`:
//  - with `PosicaoLivre`, any position: name "Sem nome", the elevation text of
//    its Z ("." as decimal point), description "Não tem"; Ponto comes back
//    with Z = 0;
//  - otherwise a survey point (with `DesenhaCirculo`, circled through the
//    picked position): its coordinates, and its name, elevation text and
//    description when it carries them.
// With `Mostra` the result is shown in frmPointInfo. A cancelled pick or an
// entity that is not a point leaves every argument as the caller gave it;
// nothing is reported.
void InfoPonto(bool Mostra, bool DesenhaCirculo, Ponto& P, std::string& Nome, std::string& Cota, std::string& Descricao,
               const std::string& Prompt, bool PosicaoLivre);
