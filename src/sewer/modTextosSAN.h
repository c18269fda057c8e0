#pragma once
// The sewer text layers, frozen while a command selects the network (so that
// window selections do not find the blocks by their texts) and restored after.

#include <array>

// The frozen state of the nine text layers between a save and a restore, in the
// order "GEN_TextosPV", "GEN_Texto_TR", "GEN_Texto_TR2", "GEN_Texto_TR3",
// "N_PV", "Texto_PV", "TRECHOS", "Num_Trecho", "GEN_Coletor" (elements 0 to 8).
extern std::array<bool, 11> gSysVarsTexto;

// True notes whether each text layer is frozen and freezes them all; False
// puts back the states noted by the last True (without one, nothing changes).
// A layer the drawing lacks, or one that cannot be frozen, is passed over.
void SalvaLayersTexto(bool Salvar);
