#include "terrain/modTerreno.h"

std::vector<VerticeRec> gPontos;
int32_t gNumPontos = 0;
std::vector<VerticeRec> gVertices(1);
int32_t gNumVertices = 0;
std::vector<TrianguloRec> gTriangulos(1);
int32_t gNumTriangulos = 0;
