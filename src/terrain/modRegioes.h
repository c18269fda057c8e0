#pragma once
// Regions read back from the hatches of a drawing (service zones, pavement
// types) and the point-in-region lookups.
//
// A region is the set of closed boundary loops of one or more hatches. Its
// boundary segments are indexed by horizontal bands 100 drawing units high,
// in scaled units: a coordinate v becomes 10·⌊10·v⌋ (hundredths cut to whole
// tenths), so every scaled vertex coordinate is a multiple of 10 and a query
// ordinate, placed 5 scaled units above its own tenth, never meets a vertex.
// A point lies in a region when the horizontal ray from it toward decreasing
// X crosses an odd number of the region's segments; holes and islands come
// out of the parity.
//
// The arrays live for the program run: clsHatchs::ReadHatchs rebuilds
// gHatchs, and the export keeps copies as the zone and the pavement regions.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cad/Ponto.h"

// One boundary segment, in scaled units; (xLow, yLow) is the end with the
// smaller scaled Y.
struct SegmentoRec {
    long long xLow = 0;
    long long yLow = 0;
    long long xHigh = 0;
    long long yHigh = 0;
};

// One band: the segments that reach into it.
struct FaixaRec {
    long long Count = 0;
    std::vector<SegmentoRec> Segmentos;
};

// One region.
struct HatchRec {
    std::string Nome;  // the hatches' pattern name, or the zone name given later
    std::string Tipo;  // not filled by the reading
    // Bands PrimeiraFaixa .. PrimeiraFaixa + Faixas.size() − 1. Band numbers are
    // those of the drawing's ordinates (near 75,000 at UTM coordinates), so a
    // region keeps only the range it spans.
    long long PrimeiraFaixa = 0;
    std::vector<FaixaRec> Faixas;
    double MaxY = 0;  // largest Y of its loops, never below 0
    double MinY = 0;  // smallest Y of its loops

    // The band numbered `Numero`, or none outside the region's range.
    const FaixaRec* Faixa(long long Numero) const;
};

// Regions of the last read, in the order their names first appeared.
extern std::vector<HatchRec> gHatchs;
extern int32_t gNumHatchs;
// The zone regions and the pavement regions kept by the export.
extern std::vector<HatchRec> gHatchZonas;
extern std::vector<HatchRec> gHatchPavimentos;

// The largest coordinate (in absolute value) that the band index holds: its
// scaled unit, and the band of any segment within the bounds, stay well inside
// 64-bit whole numbers.
constexpr double kMaxCoordenadaIndexada = 1e15;
// Whether the band index can hold the coordinate (false for NaN and infinities).
bool CoordenadaIndexavel(double v);

// Scaled unit of a coordinate: 10·⌊10·v⌋ (1.234 → 120, −1.234 → −130). Only for
// coordinates the index can hold.
long long Escala(double v);
// Band of a scaled ordinate: Fix(y′/10000), truncated toward zero.
long long FaixaEscalada(long long yEscalado);

// The crossing test of a lookup: whether the ray from P (scaled) crosses A–B
// (scaled, A the lower end), for the segments that are neither wholly left
// nor wholly right of P.
using TesteCruzamento = bool (*)(const Ponto& P, const Ponto& A, const Ponto& B);
bool PontoNaRegiao(const Ponto& P, const Ponto& A, const Ponto& B);

// The region of `Regioes` that holds the point (the last one in array order
// when several do); −1 when none does, and for a point the index cannot hold.
// Only the regions r for which `Conta(r)` holds take part (all without it): a
// region left out neither answers nor hides one below it.
int RegiaoDoPonto(const std::vector<HatchRec>& Regioes, const Ponto& P,
                  const std::function<bool(std::size_t)>& Conta = {}, TesteCruzamento Cruza = PontoNaRegiao);

// Name of the zone region of gHatchZonas that holds the point; Indice receives
// its position. "" with Indice untouched when no zone holds it.
std::string ZonaDoPonto(const Ponto& P, int& Indice);

// Name of the pavement region of gHatchPavimentos that holds the point;
// "Sem Pavimento" when none does.
std::string PavimentoDoPonto(const Ponto& P);

// Whether the horizontal ray from P toward decreasing X crosses the segment
// A–B. P and A, B hold scaled coordinates, A the end with the smaller Y.
// Codigo receives which case answered (6: the segment lies wholly at or left
// of P; 5 or 1: one end on each side, P on the line or to its right, seen
// from A toward B; 5 when A lies left of B); nothing reads it.
bool PontoNaRegiao(const Ponto& P, const Ponto& A, const Ponto& B, int& Codigo);
