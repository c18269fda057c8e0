#pragma once
// What the water export command does between its readers: the zone regions
// named by the zone blocks that lie in them, and the nodes given their zone
// and their ground elevation.
//
// A zone is one hatch of the zones drawing (clsHatchs::RegiaoPorHatch) with
// one zone block inside it. A region and its zone record are linked through
// the block lying in the region, never by their positions in gHatchZonas and
// gZonas: the node counts here, like the pipe lengths and demands of the
// database writer, go to the zone record whose block lies in the region.

#include <cstdint>
#include <string>
#include <vector>

#include "cad/Ponto.h"

class clsHatchs;
class ProgressBar;

// Per region of gHatchZonas: the index in gZonas of the zone whose block lies
// in it; -1 for a region that no zone block names, which is no zone.
extern std::vector<std::int32_t> gZonaDaRegiao;

// Links each zone block of gZonas to the region of gHatchZonas that holds its
// insertion point, and gives the region (its name in gHatchZonas and its
// loops in `Zonas`) the zone's name. A block in no region names nothing.
// Two blocks in one region: a message naming both, and false.
bool NomeiaZonas(clsHatchs& Zonas);

// The region of gHatchZonas of the zone that holds P, among the regions a
// zone block names (whatever other hatches lie over P); -1 when P lies in no
// zone.
int RegiaoDeZona(const Ponto& P);
// The zone record (index in gZonas) of the zone that holds P; -1 when P lies
// in no zone.
int ZonaDoNo(const Ponto& P);

// Each node of gNos gets the name of its zone (and its zone record one more
// node) and its ground elevation from the terrain model. A node in no zone
// gets a circle of radius 50.0 in the active drawing, the view on it and the
// message "NODE fora de Zona". `Barra` counts every node. The labels of the
// nodes the terrain model gave no elevation (theirs stays 0) go to
// `SemCota`. False when a node lay in no zone.
bool DadosAosNodes(ProgressBar& Barra, std::vector<std::string>& SemCota);

// The message that names the nodes without ground elevation.
std::string MensagemSemCota(const std::vector<std::string>& SemCota);
