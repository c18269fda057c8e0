#pragma once
// The tables of the water network export. For now only the node table: the
// node numbering of the nodes drawing fills it, and the export reads it back
// from the numbered drawing.

#include <cstdint>
#include <string>
#include <vector>

#include "cad/Ponto.h"

// One node of the network: an "ErroC" circle of the nodes drawing.
struct NoRec {
    std::string Label;        // MENSAGEM of the node block: a whole number
    ::Ponto Ponto;            // insertion point of the node block
    std::int32_t ObjectID = 0;
    double Raio = 0.0;        // the block's X scale: a pipe end closer than this joins the node
    double Elevation = 0.0;   // terrain elevation at Ponto
    std::string Zona;         // zone region holding Ponto; "" when none does
    double Demanda = 0.0;     // demand gathered on the node
};

extern std::vector<NoRec> gNos;
extern std::int32_t gNumNos;
