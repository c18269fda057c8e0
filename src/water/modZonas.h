#pragma once
// Zone blocks: "Zon_PorM" (NOME, VPM: a value per metre of pipe) and
// "Zon_Total" (NOME, VTZ: a total for the zone), placed inside the zone's
// hatch. Their definitions come from the block drawings of the database folder.

#include <string>

// True when the text, blanks around aside, is a number as the value boxes
// write it: digits with at most one "." and an optional leading "-" ("0.35",
// "-2", ".5", "10."), at least one digit.
bool ValorDeZona(const std::string& Texto);

// Loads the block when the drawing lacks it, asks "Ponto de inserção:" and
// inserts it there at scale 1 and rotation 0 on the current layer, with NOME
// and the value tag as given. A block that cannot be had (its message is
// shown) or a cancelled point inserts nothing: false. Callers have connected.
bool InsereZona(const std::string& Bloco, const std::string& Tag, const std::string& Nome, const std::string& Valor);
